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
    int quotes = 0; // quote characters seen; the first quoted stretch is protected
    std::string cur;
    for (char c : s) {
        if (c == '\'') ++quotes;
        if (c == ',' && quotes != 1) {
            out.push_back(cur);
            cur.clear();
            continue;
        }
        cur += c;
    }
    out.push_back(cur);
    return out;
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
