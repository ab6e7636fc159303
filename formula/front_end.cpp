#include "formula/front_end.h"

#include <cstdlib>

namespace vantor {

const std::vector<TModalStr>& FormulaModalTable() {
    static const std::vector<TModalStr> table = {
        {"'", "'", "", 1},   {"{$", "}", "", 2},        {"{", "}", "", 3},
        {"(*", "*)", "", 4}, {"//", "\r\n", "\r\n", 5},
    };
    return table;
}

std::string GetModalStr(std::string_view text, const std::vector<TModalStr>& table,
                        std::initializer_list<int> keptKinds) {
    auto kept = [&](int kind) {
        for (int k : keptKinds)
            if (k == kind) return true;
        return false;
    };
    std::string out;
    out.reserve(text.size());
    const TModalStr* region = nullptr;
    size_t i = 0;
    while (i < text.size()) {
        std::string_view rest = text.substr(i);
        if (!region) {
            for (const TModalStr& m : table) {
                if (!m.rBegin.empty() && rest.starts_with(m.rBegin)) {
                    region = &m;
                    break;
                }
            }
            if (region) {
                if (kept(region->rSingle)) out += region->rBegin;
                i += region->rBegin.size();
            } else {
                out += text[i++];
            }
            continue;
        }
        if (!region->rEnd.empty() && rest.starts_with(region->rEnd)) {
            out += kept(region->rSingle) ? region->rEnd : region->rAppend;
            i += region->rEnd.size();
            region = nullptr;
            continue;
        }
        if (kept(region->rSingle)) out += text[i];
        ++i;
    }
    return out;
}

static bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string Trim(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return std::string(s.substr(b, e - b));
}

std::string LowerAscii(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return r;
}

// UpperAscii is defined beside the built-in formula table (func_str.cpp).

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            lines.emplace_back(text.substr(start, i - start));
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            start = i + 1;
        }
    }
    if (start < text.size()) lines.emplace_back(text.substr(start));
    return lines;
}

bool IsOperatorChar(char c) {
    switch (c) {
    case '!':
    case '&':
    case '*':
    case '+':
    case '-':
    case '/':
    case '<':
    case '=':
    case '>':
    case '^':
    case '|':
        return true;
    default:
        return false;
    }
}

bool IsFuncNameChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '.' || c == '"';
}

bool ReadsAsNumber(std::string_view s, double* value) {
    size_t i = 0;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
    size_t digits = 0, points = 0;
    for (; i < s.size(); ++i) {
        if (s[i] >= '0' && s[i] <= '9') {
            ++digits;
        } else if (s[i] == '.') {
            if (++points > 1) return false;
        } else {
            return false;
        }
    }
    if (digits == 0) return false;
    if (value) *value = std::strtod(std::string(s).c_str(), nullptr);
    return true;
}

int OperatorCount(std::string_view s) {
    if (s.empty() || ReadsAsNumber(s)) return 0;
    int count = 0;
    bool quote = false;
    for (size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (c == '\'') {
            quote = !quote;
            continue;
        }
        if (quote || !IsOperatorChar(c)) continue;
        if (c == '-' && i > 0 && (s[i - 1] == '(' || s[i - 1] == ',')) continue;
        ++count;
        if ((c == '<' || c == '>' || c == '!') && i + 1 < s.size() && s[i + 1] == '=') ++i;
    }
    return count;
}

std::vector<std::string> SplitArgs(std::string_view s) {
    std::vector<std::string> out;
    bool quoted = false;
    std::string cur;
    for (char c : s) {
        if (c == '\'') quoted = !quoted;
        if (c == ',' && !quoted) {
            out.push_back(cur);
            cur.clear();
            continue;
        }
        cur += c;
    }
    out.push_back(cur);
    return out;
}

namespace {

// Letters, digits and the bytes of non-ASCII characters (Chinese names) make up names.
bool IsNameByte(char c) {
    const unsigned char u = static_cast<unsigned char>(c);
    return u >= 0x80 || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
           (c >= '0' && c <= '9') || c == '_' || c == '.' || c == '@';
}

// What may end the operand before a word operator, and start the one after it.
bool EndsOperand(char c) {
    return IsNameByte(c) || c == ')' || c == '\'' || c == '"';
}
bool StartsOperand(char c) {
    return IsNameByte(c) || c == '(' || c == '\'' || c == '"' || c == '-' || c == '!';
}

// Walks a text and calls step(i) for each position outside quoted texts (single or double);
// step returns how many characters it consumed (at least 1).
template <typename Step> void OutsideQuotes(std::string_view s, Step step) {
    char quote = 0;
    for (size_t i = 0; i < s.size();) {
        const char c = s[i];
        if (quote) {
            if (c == quote) quote = 0;
            ++i;
        } else if (c == '\'' || c == '"') {
            quote = c;
            ++i;
        } else {
            i += step(i);
        }
    }
}

// The length of the word operator AND or OR at position i, 0 when there is none.
size_t WordOperatorAt(std::string_view s, size_t i) {
    for (std::string_view w : {std::string_view("and"), std::string_view("or")}) {
        if (i + w.size() > s.size() || LowerAscii(s.substr(i, w.size())) != w) continue;
        if (i > 0 && IsNameByte(s[i - 1])) continue;
        if (i + w.size() < s.size() && IsNameByte(s[i + w.size()])) continue;
        return w.size();
    }
    return 0;
}

} // namespace

std::string RewriteWordOperators(std::string_view line) {
    std::string out;
    size_t copied = 0;
    OutsideQuotes(line, [&](size_t i) -> size_t {
        const size_t len = WordOperatorAt(line, i);
        if (!len) return 1;
        size_t b = i, a = i + len;
        while (b > 0 && IsBlank(line[b - 1])) --b;
        while (a < line.size() && IsBlank(line[a])) ++a;
        if (b == 0 || a == line.size() || !EndsOperand(line[b - 1]) || !StartsOperand(line[a]))
            return len;
        out.append(line, copied, i - copied);
        out += len == 3 ? " & " : " | ";
        copied = i + len;
        return len;
    });
    out.append(line, copied, std::string_view::npos);
    return out;
}

std::string RewriteOperatorSpellings(std::string_view packed) {
    std::string out;
    size_t copied = 0;
    OutsideQuotes(packed, [&](size_t i) -> size_t {
        if (i + 1 >= packed.size()) return 1;
        const char a = packed[i], b = packed[i + 1];
        const char* to = nullptr;
        if (a == '=' && b == '=')
            to = "=";
        else if (a == '<' && b == '>')
            to = "!=";
        else if (a == '|' && b == '|')
            to = "|";
        else if (a == '&' && b == '&')
            to = "&";
        if (!to) return 1;
        out.append(packed, copied, i - copied);
        out += to;
        copied = i + 2;
        return 2;
    });
    out.append(packed, copied, std::string_view::npos);
    return out;
}

std::string SingleQuoteTexts(std::string_view line) {
    std::string out(line);
    for (size_t i = 0; i < out.size(); ++i) {
        if (out[i] == '\'') { // a single-quoted text is passed over whole
            size_t end = out.find('\'', i + 1);
            if (end == std::string::npos) break;
            i = end;
            continue;
        }
        if (out[i] != '"') continue;
        size_t end = out.find('"', i + 1);
        if (end == std::string::npos) break;
        bool name = true;
        for (size_t k = i + 1; k < end; ++k)
            if (!IsFuncNameChar(out[k])) name = false;
        if (!name && out.find('\'', i + 1) > end) {
            out[i] = '\'';
            out[end] = '\'';
        }
        i = end;
    }
    return out;
}

bool StatementContinues(std::string_view text) {
    int depth = 0;
    size_t last = std::string_view::npos; // the last character outside quotes and blanks
    OutsideQuotes(text, [&](size_t i) -> size_t {
        const char c = text[i];
        if (c == '(') ++depth;
        if (c == ')') --depth;
        if (!IsBlank(c)) last = i;
        return 1;
    });
    const size_t end = text.find_last_not_of(" \t\r\n");
    if (end == std::string_view::npos || text[end] == ';') return false;
    if (depth > 0) return true;
    if (last != end) return false; // the text ends with a quoted text
    if (IsOperatorChar(text[end]) || text[end] == ',') return true;
    for (size_t len : {size_t(3), size_t(2)}) {
        if (end + 1 < len || WordOperatorAt(text, end + 1 - len) != len) continue;
        size_t b = end + 1 - len;
        while (b > 0 && IsBlank(text[b - 1])) --b;
        if (b > 0 && EndsOperand(text[b - 1])) return true;
    }
    return false;
}

bool StartsNamedStatement(std::string_view line) {
    size_t i = 0;
    while (i < line.size() && IsNameByte(line[i])) ++i;
    while (i < line.size() && IsBlank(line[i])) ++i;
    return i > 0 && i < line.size() && line[i] == ':';
}

size_t AttributeComma(std::string_view expr) {
    size_t comma = std::string_view::npos;
    for (size_t i = expr.size(); i-- > 0;) {
        if (expr[i] == ')') break;
        if (expr[i] == ',') comma = i;
    }
    return comma;
}

StatementParts ReadCompiledStatement(std::string_view statement) {
    StatementParts p;
    std::string s = LowerAscii(Trim(statement));
    if (s.empty() || s[0] == '#' || s[0] == '*' || s[0] == '{') {
        p.skip = true;
        return p;
    }
    size_t sep = s.find(":=");
    size_t exprStart = 0;
    if (sep != std::string::npos) {
        p.name = s.substr(0, sep);
        exprStart = sep + 2;
    } else {
        sep = s.find(':');
        if (sep != std::string::npos && s.find('\'') > sep) {
            p.name = s.substr(0, sep);
            p.output = true;
            exprStart = sep + 1;
        }
    }
    std::string expr = s.substr(exprStart, 1000);
    size_t comma = AttributeComma(expr);
    if (comma != std::string::npos) {
        p.attrs = expr.substr(comma + 1);
        p.hasAttrs = true;
        expr.resize(comma);
    }
    p.expr = std::move(expr);
    return p;
}

} // namespace vantor
