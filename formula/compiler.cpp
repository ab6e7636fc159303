// The compiler: formula text into the flat compiled program, in which every call has
// only plain arguments and every operator has become a call of BIAO.

#include <cstdio>
#include <filesystem>
#include <unordered_map>

#include "formula/front_end.h"
#include "formula/gs.h"
#include "market/data_files.h"

namespace vantor {

namespace {

const char* const kStringPlaceholder = "@@@@_s";

std::string Num(int n) {
    return std::to_string(n);
}

std::string TempName(const char* prefix, int line, size_t count) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "@%s_%d_%zu", prefix, line, count);
    return buf;
}

void ReplaceAll(std::string& s, std::string_view from, std::string_view to) {
    if (from.empty()) return;
    size_t pos = 0;
    while ((pos = s.find(from, pos)) != std::string::npos) {
        s.replace(pos, from.size(), to);
        pos += to.size();
    }
}

// The first string literal of a text, protected by a placeholder while the text is cut.
struct ProtectedLiteral {
    std::string literal;
    std::string Protect(std::string s) {
        size_t q1 = s.find('\'');
        if (q1 == std::string::npos) return s;
        size_t q2 = s.find('\'', q1 + 1);
        literal = s.substr(q1, q2 == std::string::npos ? std::string::npos : q2 - q1 + 1);
        ReplaceAll(s, literal, kStringPlaceholder);
        return s;
    }
    std::string Restore(std::string s) const {
        if (!literal.empty()) ReplaceAll(s, kStringPlaceholder, literal);
        return s;
    }
};

// The name part of a statement: through the first ":=", else the first ':'. A single '='
// never names a statement; it is the equality operator.
size_t NamePartEnd(const std::string& s) {
    size_t sep = s.find(":=");
    if (sep != std::string::npos) return sep + 2;
    sep = s.find(':');
    if (sep != std::string::npos && s.find('\'') > sep) return sep + 1;
    return 0;
}

std::string Join(const std::vector<std::string>& parts) {
    std::string out;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i) out += ',';
        out += parts[i];
    }
    return out;
}

} // namespace

// What the compiler knows about the program compiled so far: which right-hand side each
// name assigns, so identical calls and operations are computed once.
struct CompilerState {
    std::vector<std::string>* dst = nullptr;
    std::unordered_map<std::string, std::string> rhsName; // first name assigning a text
    std::unordered_map<std::string, int> assignments;     // how often a name is assigned

    void Emit(std::string line) {
        size_t sep = line.find(":=");
        std::string name;
        if (sep != std::string::npos) {
            name = line.substr(0, sep);
            rhsName.emplace(line.substr(sep + 2), name);
        } else if ((sep = line.find(':')) != std::string::npos && line.find('\'') > sep) {
            name = line.substr(0, sep);
        }
        if (!name.empty()) ++assignments[name];
        dst->push_back(std::move(line));
    }
    // The name of an earlier line that assigns exactly `rhs`, unless that name has been
    // assigned again since (then its first value is gone).
    const std::string* Reusable(const std::string& rhs) const {
        auto it = rhsName.find(rhs);
        if (it == rhsName.end()) return nullptr;
        auto a = assignments.find(it->second);
        if (a != assignments.end() && a->second > 1) return nullptr;
        // A name that would not read back as one operand is not put into an expression.
        for (char c : it->second)
            if (c == '(' || c == ')' || c == ',' || c == '\'' || IsOperatorChar(c)) return nullptr;
        return &it->second;
    }
    size_t Count() const { return dst->size(); }
};

namespace {

// Compiles "NAME:=X" (or an output) whose X holds no calls: every operator becomes a BIAO
// call, innermost level first. `attrs` is appended to the last line.
bool OperatorCompile(const std::string& statement, const std::string& attrs, int n,
                     CompilerState& st, std::string& error) {
    ProtectedLiteral lit;
    std::string t = lit.Protect(statement);
    size_t nameEnd = NamePartEnd(t);
    std::string namePart = t.substr(0, nameEnd);
    std::string x = t.substr(nameEnd);
    if (OperatorCount(x) == 0) {
        st.Emit(lit.Restore(namePart + x + attrs));
        return true;
    }
    if (x.size() > 1 && x[0] == '-' && !((x[1] >= '0' && x[1] <= '9') || x[1] == '.')) x = "0" + x;

    std::vector<std::string> tokens;
    bool operand = true;
    size_t i = 0;
    while (i < x.size()) {
        size_t b = i;
        if (operand) {
            if (x[i] == '-') ++i;
            while (i < x.size() && !IsOperatorChar(x[i])) ++i;
        } else {
            char c = x[i++];
            if ((c == '<' || c == '>' || c == '!') && i < x.size() && x[i] == '=') ++i;
        }
        tokens.push_back(x.substr(b, i - b));
        operand = !operand;
    }
    bool empty = false;
    for (size_t k = 0; k < tokens.size(); k += 2)
        if (tokens[k].empty() || tokens[k] == "-") empty = true;
    auto mismatch = [&] {
        error = "第 " + Num(n) + " 行:" + "运算符不配匹!";
        return false;
    };
    if (empty || tokens.size() % 2 == 0) return mismatch();

    auto reduce = [&](size_t k) {
        std::string text =
            lit.Restore("BIAO(" + tokens[k - 1] + "," + tokens[k] + "," + tokens[k + 1] + ")");
        std::string name;
        if (const std::string* reuse = st.Reusable(text)) {
            name = *reuse;
        } else {
            name = TempName("L", n, st.Count());
            st.Emit(name + ":=" + text);
        }
        tokens[k - 1] = name;
        tokens.erase(tokens.begin() + static_cast<long>(k),
                     tokens.begin() + static_cast<long>(k) + 2);
    };
    auto pass = [&](std::initializer_list<const char*> ops) {
        while (tokens.size() > 3) {
            size_t hit = 0;
            for (size_t k = 1; k < tokens.size() && !hit; k += 2)
                for (const char* op : ops)
                    if (tokens[k] == op) {
                        hit = k;
                        break;
                    }
            if (!hit) return;
            reduce(hit);
        }
    };
    pass({"*", "/"});
    pass({"-", "+"});
    for (const char* op : {"*", "/", "+", "-", "<", ">", "<=", ">=", "=", "!=", "&", "|", "^"})
        pass({op});
    if (tokens.size() != 3) return mismatch();
    st.Emit(lit.Restore(namePart + "BIAO(" + tokens[0] + "," + tokens[1] + "," + tokens[2] + ")" +
                        attrs));
    return true;
}

} // namespace

bool TGS::CompileStatement(const std::string& statement, int n, std::vector<std::string>& dst,
                           CompilerState& st) {
    (void)dst;
    ProtectedLiteral lit;
    std::string s = lit.Protect(statement);
    size_t nameEnd = NamePartEnd(s);
    std::string namePart = s.substr(0, nameEnd);
    std::string e = s.substr(nameEnd);
    const bool named = !namePart.empty();

    int depth = 0;
    bool balanced = true;
    for (char c : e) {
        if (c == '(') ++depth;
        if (c == ')' && --depth < 0) balanced = false;
    }
    if (!balanced || depth != 0) {
        FErrorString = "第 " + Num(n) + " 行:" + "括号不配匹";
        return false;
    }
    std::string attrs;
    if (size_t comma = AttributeComma(e); comma != std::string::npos) {
        attrs = Trim(e.substr(comma));
        e.resize(comma);
    }

    auto tempFailed = [&] {
        FErrorString = "第" + Num(n) + "行错误!";
        return false;
    };
    // Each pass removes one pair of parentheses, so flattening ends.
    while (true) {
        size_t p = e.find(')');
        if (p == std::string::npos) break;
        size_t o = e.rfind('(', p);
        if (o == std::string::npos) {
            FErrorString = "第 " + Num(n) + " 行:" + "括号不配匹";
            return false;
        }
        size_t start = o;
        while (start > 0 && IsFuncNameChar(e[start - 1])) --start;
        std::string inner = e.substr(o + 1, p - o - 1);
        std::string f = e.substr(start, o - start);
        const bool whole = start == 0 && p + 1 == e.size();
        const bool ops = OperatorCount(inner) > 0;
        if (!f.empty()) {
            if (f.find('"') == std::string::npos && !FUNC.getfunc(f) && !(whole && !ops)) {
                FErrorString = "第" + Num(n) + "行 函数:" + f + " 尚不支持!";
                return false;
            }
            if (SplitArgs(inner).size() > static_cast<size_t>(kMaxCallArgs)) {
                FErrorString =
                    "第" + Num(n) + "行 函数:" + f + " 参数个数超过" + Num(kMaxCallArgs) + "个!";
                return false;
            }
            if (!ops && whole) break;
        }
        std::string g;
        if (f.empty()) {
            g = inner;
        } else if (ops) {
            std::vector<std::string> args = SplitArgs(inner);
            for (std::string& a : args) {
                if (OperatorCount(a) == 0) continue;
                std::string rhs = lit.Restore(a);
                if (const std::string* reuse = st.Reusable(rhs)) {
                    a = *reuse;
                    continue;
                }
                std::string temp = TempName(named || start != 0 ? "M" : "T", n, st.Count());
                if (!OperatorCompile(temp + ":=" + rhs, "", n, st, FErrorString))
                    return tempFailed();
                a = temp;
            }
            g = f + "(" + Join(args) + ")";
        } else {
            g = f + "(" + inner + ")";
        }
        if (whole) {
            e = g; // a group around the whole expression opens up; a call stays as it is
            if (f.empty()) continue;
            break;
        }
        std::string rhs = lit.Restore(g);
        std::string name;
        if (const std::string* reuse = st.Reusable(rhs)) {
            name = *reuse;
        } else {
            bool k = !named && (start == 0 || (p + 1 < e.size() && e[p + 1] == ','));
            name = TempName(k ? "K" : "P", n, st.Count());
            if (!OperatorCompile(name + ":=" + rhs, "", n, st, FErrorString)) return tempFailed();
        }
        e = e.substr(0, start) + name + e.substr(p + 1);
    }
    return OperatorCompile(lit.Restore(namePart + e), lit.Restore(attrs), n, st, FErrorString);
}

namespace {

// The statements of a source: lines joined while a statement goes on (an open parenthesis,
// a trailing operator or comma), each numbered by the line where it starts. Empty and
// comment lines are passed over.
std::vector<std::pair<std::string, int>> LogicalLines(const std::vector<std::string>& src) {
    std::vector<std::pair<std::string, int>> out;
    std::string pending;
    int first = 0;
    for (size_t li = 0; li < src.size(); ++li) {
        const int n = static_cast<int>(li) + 1;
        std::string line = Trim(src[li]);
        if (line.empty() || line[0] == '*' || line[0] == '#') continue;
        if (!pending.empty()) {
            // A line that names a statement of its own never continues the one before.
            if (!StartsNamedStatement(line)) {
                pending += ' ';
                pending += line;
                if (!StatementContinues(pending)) {
                    out.emplace_back(std::move(pending), first);
                    pending.clear();
                }
                continue;
            }
            out.emplace_back(std::move(pending), first);
            pending.clear();
        }
        if (StatementContinues(line)) {
            pending = std::move(line);
            first = n;
            continue;
        }
        out.emplace_back(std::move(line), n);
    }
    if (!pending.empty()) out.emplace_back(std::move(pending), first);
    return out;
}

} // namespace

bool TGS::Compile(const std::vector<std::string>& src, std::vector<std::string>& dst) {
    dst.clear();
    FErrorString.clear();
    CompilerState st;
    st.dst = &dst;
    for (auto& [text, n] : LogicalLines(src)) {
        const std::string line = SingleQuoteTexts(RewriteWordOperators(text));
        std::string packed;
        packed.reserve(line.size());
        bool quote = false;
        for (char c : line) {
            if (c == '\'') quote = !quote;
            if (!quote && (c == ' ' || c == '\t' || c == '\r' || c == '\n')) continue;
            packed += quote ? c : UpperAscii(std::string_view(&c, 1))[0];
        }
        packed = RewriteOperatorSpellings(packed);
        if (!packed.empty() && packed.back() == ';') packed.pop_back();

        // Split at ';' except inside quoted texts.
        std::vector<std::string> statements;
        std::string cur;
        quote = false;
        for (char c : packed) {
            if (c == '\'') quote = !quote;
            if (c == ';' && !quote) {
                statements.push_back(cur);
                cur.clear();
            } else {
                cur += c;
            }
        }
        statements.push_back(cur);
        for (size_t k = 0; k < statements.size() && k < 100; ++k) {
            if (statements[k].empty()) break;
            if (!CompileStatement(statements[k], n, dst, st)) return false;
        }
    }
    return true;
}

bool TGS::SetProgText(const std::string& Text, const std::string& FParamStr) {
    if (Text.empty()) {
        FErrorString = "程序长度不能为空!";
        return false;
    }
    FFileName.clear();
    std::vector<std::string> source, compiled;
    if (!CompileText(Text, source, compiled)) return false;
    if (compiled.empty()) return true;
    Install(std::move(source), std::move(compiled));
    return Run(FParamStr);
}

bool TGS::CompileText(const std::string& Text, std::vector<std::string>& source,
                      std::vector<std::string>& compiled) {
    // Line comments end at CR LF; texts with bare LF or CR line ends are read the same way.
    std::string text;
    text.reserve(Text.size() + 16);
    for (size_t i = 0; i < Text.size(); ++i) {
        char c = Text[i];
        if (c == '\r' || c == '\n') {
            text += "\r\n";
            if (c == '\r' && i + 1 < Text.size() && Text[i + 1] == '\n') ++i;
        } else {
            text += c;
        }
    }
    source = SplitLines(GetModalStr(text, FormulaModalTable(), {0, 1, 2}));
    return Compile(source, compiled);
}

bool TGS::loadprogram(const std::string& FileName, const std::string& FParamStr) {
    std::error_code ec;
    std::string path = FileName;
    if (!std::filesystem::is_regular_file(path, ec)) {
        std::filesystem::path p(FileName);
        std::string base = p.has_parent_path() ? p.parent_path().string() : ".";
        path = FindPathNoCase(base, p.filename().string());
    }
    std::vector<std::string> source;
    if (!std::filesystem::is_regular_file(path, ec) || !ReadLines(path, source)) {
        FErrorString = "公式文件: " + FileName + " 不存在!";
        return false;
    }
    if (!source.empty() && source[0].starts_with("\xEF\xBB\xBF")) source[0].erase(0, 3);
    std::vector<std::string> compiled;
    if (!Compile(source, compiled)) return false;
    if (compiled.empty()) return true;
    Install(std::move(source), std::move(compiled));
    FFileName = FileName;
    return Run(FParamStr);
}

void TGS::Install(std::vector<std::string> source, std::vector<std::string> compiled) {
    Clear();
    pg = std::move(source);
    pg1 = std::move(compiled);
    Prepare();
}

std::string TGS::GetProgText() const {
    std::string out;
    for (size_t i = 0; i < pg.size(); ++i) {
        if (i) out += "\r\n";
        out += pg[i];
    }
    return out;
}

} // namespace vantor
