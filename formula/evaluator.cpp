// The run loop: each compiled statement, read once when the program is installed, is
// bound to its series and constants by name at run time and handed to its handler.

#include <cstdio>
#include <cstring>

#include "formula/builtin_formulas.h"
#include "formula/front_end.h"
#include "formula/function_args.h"
#include "formula/function_table.h"
#include "formula/gs.h"

namespace vantor {

namespace {

const std::string kDefaultColors[] = {"colorwhite", "coloryellow", "colormagenta",
                                      "colorgreen", "colorgray",   "colorblue"};

// Formula references may name other formulas; a chain this deep is a loop.
constexpr int kMaxReferenceLevel = 8;

int IntOrZero(const std::string& text) {
    std::string t = Trim(text);
    if (t.empty()) return 0;
    size_t i = (t[0] == '-' || t[0] == '+') ? 1 : 0;
    if (i == t.size()) return 0;
    for (size_t k = i; k < t.size(); ++k)
        if (t[k] < '0' || t[k] > '9') return 0;
    long long v = 0;
    for (size_t k = i; k < t.size() && v < 10000000000LL; ++k) v = v * 10 + (t[k] - '0');
    if (v > 2147483647LL) return 0;
    return static_cast<int>(t[0] == '-' ? -v : v);
}

// The first ')' after `open` that is not inside a quoted string, or npos.
size_t CallEnd(const std::string& expr, size_t open) {
    bool quoted = false;
    for (size_t i = open + 1; i < expr.size(); ++i) {
        if (expr[i] == '\'')
            quoted = !quoted;
        else if (expr[i] == ')' && !quoted)
            return i;
    }
    return std::string::npos;
}

std::string WithoutQuotes(const std::string& s) {
    std::string r;
    for (char c : s)
        if (c != '"') r += c;
    return r;
}

// The name of a program's first output record (between "=" and "::").
std::string FirstRecordName(const TGS& gs) {
    if (gs.LineName.empty()) return {};
    const std::string& rec = gs.LineName.front();
    size_t eq = rec.find('=');
    size_t colons = rec.find("::", eq == std::string::npos ? 0 : eq);
    if (eq == std::string::npos) return {};
    return rec.substr(eq + 1, colons == std::string::npos ? std::string::npos : colons - eq - 1);
}

} // namespace

TGS::TGS(TGS* gs) {
    FillFunctionTable(FUNC);
    if (gs) {
        mainbian = gs->mainbian;
        FStockInfo = gs->FStockInfo;
        FDYNAINFO = gs->FDYNAINFO;
        FFINANCE = gs->FFINANCE;
        FIndex = gs->FIndex;
        FQuan = gs->FQuan;
        FComm = true;
        ZhouQi = gs->ZhouQi;
        StkLabel = gs->StkLabel;
        programDir_ = gs->programDir_;
        formulaSource = gs->formulaSource;
        host_ = FUNC.host = gs->host_;
    } else {
        mainbian = std::make_shared<BianList>();
    }
    if (!formulaSource) formulaSource = FindBuiltinFormula;
}

void TGS::SetHost(const Host* h) {
    host_ = FUNC.host = h;
    for (auto& [name, sub] : subPrograms_)
        if (sub.gs) sub.gs->SetHost(h);
}

TGS::~TGS() = default;

void TGS::Prepare() {
    lastRun_ = {};
    stmtState_.assign(pg1.size(), StatementState{});
    prog_.clear();
    prog_.reserve(pg1.size());
    resultNames_.clear();
    for (const std::string& line : pg1) {
        CompiledStatement cs;
        cs.text = line;
        StatementParts p = ReadCompiledStatement(line);
        if (p.skip) {
            prog_.push_back(std::move(cs));
            continue;
        }
        cs.name = std::move(p.name);
        cs.output = p.output;
        cs.expr = std::move(p.expr);
        cs.attrs = std::move(p.attrs);
        cs.hasColor = cs.attrs.find("color") != std::string::npos;
        if (cs.name == "techtitle" || cs.name == "drawk" || cs.name == "techname") {
            cs.kind = CompiledStatement::kHeader;
        } else {
            size_t open = cs.expr.find('(');
            size_t close = open == std::string::npos ? open : CallEnd(cs.expr, open);
            if (open != std::string::npos && close != std::string::npos && open < close) {
                std::string func = cs.expr.substr(0, open);
                std::string argText = cs.expr.substr(open + 1, close - open - 1);
                if (FUNC.has(func)) {
                    cs.kind = CompiledStatement::kCall;
                    cs.handler = FUNC.getfunc(func);
                    cs.drawing = IsDrawingCall(func);
                    std::vector<std::string> args = SplitArgs(argText);
                    if (args.size() > static_cast<size_t>(kMaxCallArgs))
                        cs.handler = nullptr; // reported when run
                    cs.args.count = static_cast<int>(std::min<size_t>(args.size(), kMaxCallArgs));
                    for (int i = 0; i < cs.args.count; ++i)
                        cs.args.item[static_cast<size_t>(i)] =
                            std::move(args[static_cast<size_t>(i)]);
                    cs.args.item[static_cast<size_t>(cs.args.count)] = "::" + cs.attrs;
                } else {
                    cs.kind = CompiledStatement::kReference;
                    cs.argText = argText;
                }
                cs.func = std::move(func);
            } else {
                cs.kind = CompiledStatement::kPlain;
            }
        }
        if (!cs.name.empty())
            resultNames_.insert(cs.name);
        else if (cs.kind == CompiledStatement::kCall && !cs.drawing)
            resultNames_.insert("@tt_" + std::to_string(prog_.size()));
        prog_.push_back(std::move(cs));
    }
}

const std::string& TGS::NextDefaultColor() {
    const std::string& c = kDefaultColors[colorCycle_];
    colorCycle_ = (colorCycle_ + 1) % 6;
    return c;
}

bool TGS::Run(const std::string& FParamStr) {
    if (prog_.empty() || getdatalen() == 0) {
        FErrorString = "公式长度为零或原始数据为零!";
        return false;
    }
    ++runSerial_;
    lastParams_ = FParamStr;
    LineName.clear();
    ls.clear();
    std::vector<std::string> params;
    if (!FParamStr.empty()) params = SplitArgs(FParamStr);
    for (size_t k = 0; k < 40; ++k) {
        ParamStr[k].Name.clear();
        ParamStr[k].val1 = k < params.size() ? IntOrZero(params[k]) : 0;
    }
    if (QuanStyle != qsNone && !ShowFs && !quanCopies_.find("q_close")) ApplyQuan(QuanStyle);
    FErrorString.clear();
    colorCycle_ = 0;
    abortRun_ = false;
    ownRaw_.clear();

    // Which bars may differ from the previous run: none before the first changed raw bar,
    // as long as the program, its parameters, the context words and the price adjustment
    // stay as they were and the data only grew.
    const int n = fn::DataLen(*this);
    std::vector<double> context = RunContext();
    incremental_ = lastRun_.ok && lastRun_.params == FParamStr && lastRun_.period == ZhouQi &&
                   lastRun_.context == context && QuanStyle == qsNone && n >= lastRun_.len &&
                   lastRun_.len > 0 && stmtState_.size() == prog_.size();
    rawFrom_ = 0;
    rawFroms_.clear();
    if (incremental_) {
        // A statement reads only some of the raw series; each has its own first changed bar.
        rawFrom_ = std::min(mainbian->ChangedSince(lastRun_.version), lastRun_.len);
        for (size_t k = 0; k < mainbian->size(); ++k) {
            const Tbian& b = (*mainbian)[k];
            rawFroms_.emplace_back(
                &b, std::min(mainbian->ChangedSince(lastRun_.version, &b.name), lastRun_.len));
        }
    }
    constsChecked_ = 0;
    constsDiffer_ = false;
    lastRun_.ok = false;
    size_t failed = prog_.size();
    running_ = true;
    runWrites_ = writeCounter_;
    for (size_t s = 0; s < prog_.size(); ++s) {
        if (!RunStatement(prog_[s], static_cast<int>(s))) {
            failed = s;
            break;
        }
        stmtState_[s].serial = runSerial_;
        CompareConsts();
    }
    running_ = false;
    const bool ok = failed == prog_.size();
    lastRun_.version = mainbian->version;
    lastRun_.len = n;
    lastRun_.params = FParamStr;
    lastRun_.period = ZhouQi;
    lastRun_.context = std::move(context);
    lastRun_.consts.resize(ls.size());
    for (size_t k = 0; k < ls.size(); ++k) lastRun_.consts[k] = ls.line(k);
    lastRun_.ok = ok;
    if (ok) return true;
    if (abortRun_) return false;
    FErrorString += "\r\n" + StkName + ":" + FFileName + "\r\n" + "第" +
                    std::to_string(failed + 1) + "行发现错误:" + prog_[failed].text;
    return false;
}

std::vector<double> TGS::RunContext() const {
    std::vector<double> c;
    c.push_back(FStockInfo ? FStockInfo->FMARK : -1.0);
    c.push_back(FFINANCE ? (*FFINANCE)[1] : -1.0);
    c.push_back(FFINANCE ? (*FFINANCE)[7] : -1.0);
    c.push_back(FIndex ? FIndex->INDEXADV : -1.0);
    c.push_back(FIndex ? FIndex->INDEXDEC : -1.0);
    c.push_back(ShowFs ? 1.0 : 0.0);
    return c;
}

// A constant that differs from the previous run's at the same place makes every later
// statement compute all its bars.
void TGS::CompareConsts() {
    for (; constsChecked_ < ls.size(); ++constsChecked_)
        if (constsChecked_ >= lastRun_.consts.size() ||
            ls.line(constsChecked_) != lastRun_.consts[constsChecked_])
            constsDiffer_ = true;
}

bool TGS::LeftByAnEarlierRun(const Tbian& b) const {
    return running_ && b.writes <= runWrites_ && resultNames_.count(b.name) > 0;
}

int TGS::SeriesFrom(const Tbian* b) const {
    if (!b) return 0;
    if (mainbian->find(b->name) == b) {
        for (const auto& [raw, from] : rawFroms_)
            if (raw == b) return from;
        return 0;
    }
    return b->stampSerial == runSerial_ ? b->from : 0;
}

// Marks the result series of the statement being run: its bars before `from` are those of
// the previous run.
void TGS::StampResult(const std::string& name, int from) {
    Tbian* b = namebian.find(LowerAscii(name));
    if (!b || b->writes <= runWrites_) return; // a constant this time: the series is older
    b->stampSerial = runSerial_;
    b->from = std::max(from, 0);
}

bool TGS::RunStatement(const CompiledStatement& st, int index) {
    switch (st.kind) {
    case CompiledStatement::kSkip:
        return true;
    case CompiledStatement::kHeader:
        if (st.name == "techtitle")
            Ftechtitle = st.expr;
        else if (st.name == "drawk")
            showk = st.expr == "true" ? 1 : 0;
        else
            Ftechname = st.expr;
        return true;
    default:
        break;
    }
    if (st.output && !st.name.empty())
        LineName.push_back("syline=" + st.name +
                           "::" + (st.hasColor ? st.attrs : NextDefaultColor() + "," + st.attrs));
    switch (st.kind) {
    case CompiledStatement::kCall: {
        if (!st.handler) {
            FErrorString = st.args.count >= kMaxCallArgs ? "函数:" + st.func + " 参数个数超过" +
                                                               std::to_string(kMaxCallArgs) + "个!"
                                                         : "不存在函数:" + st.func + " !";
            return false;
        }
        std::string name = st.name;
        if (name.empty() && !st.drawing) {
            name = "@TT_" + std::to_string(index);
            LineName.push_back("syline=" + name + "::" + st.attrs);
        }
        // The statement may keep its previous results when it completed in the previous
        // run, no other write has touched its result series since, and the constants so far
        // are those of the previous run.
        StatementState& ss = stmtState_[static_cast<size_t>(index)];
        const Tbian* before = name.empty() ? nullptr : namebian.find(LowerAscii(name));
        call = CallWindow{};
        call.allowed = incremental_ && !constsDiffer_ && ss.serial + 1 == runSerial_ && before &&
                       before->writes == ss.writes;
        call.from = lastRun_.len; // bars past the previous data are always computed
        call.saved = ss.points;
        ss.points = {};
        call.keep = &ss.points;
        const bool ok = st.handler(*this, name, st.func, st.args);
        const int used = call.used;
        call = CallWindow{};
        if (!ok || name.empty()) return ok;
        StampResult(name, used);
        if (const Tbian* after = namebian.find(LowerAscii(name))) ss.writes = after->writes;
        return true;
    }
    case CompiledStatement::kReference:
        return RunReference(st, index);
    default:
        break;
    }
    double v = 0;
    if (st.name.empty()) {
        if (teststr(st.expr, v))
            LineName.push_back("syline=" + st.expr + "::" +
                               (st.hasColor ? st.attrs : NextDefaultColor() + "," + st.attrs));
        return true;
    }
    if (Tbian* src = check(st.expr)) {
        const int n = fn::DataLen(*this);
        src->Reserve(n);
        StatementState& ss = stmtState_[static_cast<size_t>(index)];
        const Tbian* before = namebian.find(st.name);
        const bool keep = incremental_ && !constsDiffer_ && ss.serial + 1 == runSerial_ && before &&
                          before->writes == ss.writes && before != src;
        const int from = keep ? SeriesFrom(src) : 0;
        Tbian* dst = AddBian(st.name, n);
        if (!dst) return false;
        if (dst != src) std::memcpy(dst->value.data(), src->value.data(), sizeof(double) * n);
        StampResult(st.name, from);
        ss.writes = dst->writes;
        return true;
    }
    if (teststr(st.expr, v)) {
        AddConst(st.name, v);
        return true;
    }
    return false;
}

bool TGS::Current(const Cached& c) const {
    return c.serial == runSerial_ && c.version == mainbian->version;
}

void TGS::Stamp(Cached& c, bool ok) const {
    c.serial = runSerial_;
    c.version = mainbian->version;
    c.ok = ok;
}

TGS* TGS::SubProgram(const std::string& formula, const std::string& params) {
    if (refLevel_ >= kMaxReferenceLevel || formula.empty()) return nullptr;
    const std::string key = formula + "|" + params;
    auto it = subPrograms_.find(key);
    if (it != subPrograms_.end()) {
        SubProgramEntry& e = it->second;
        if (!Current(e.stamp)) {
            e.gs->ZhouQi = ZhouQi;
            e.gs->StkLabel = StkLabel;
            Stamp(e.stamp, e.gs->Run(params));
        }
        return e.stamp.ok ? e.gs.get() : nullptr;
    }
    std::string text;
    if (!formulaSource || !formulaSource(formula, text)) return nullptr;
    SubProgramEntry e;
    e.gs = std::make_unique<TGS>(this);
    e.gs->refLevel_ = refLevel_ + 1;
    bool ok = e.gs->SetProgText(text, params) && !e.gs->prog_.empty();
    if (!ok) FErrorString = e.gs->FErrorString;
    Stamp(e.stamp, ok);
    TGS* sub = e.gs.get();
    subPrograms_.emplace(key, std::move(e));
    return ok ? sub : nullptr;
}

Tbian* TGS::ResolveReference(const std::string& lowerName) {
    const std::string key = WithoutQuotes(lowerName);
    auto cached = refResults_.find(key);
    if (cached != refResults_.end() && Current(cached->second.stamp))
        return cached->second.stamp.ok ? cached->second.bian.get() : nullptr;
    size_t dot = key.find('.');
    std::string formula = key.substr(0, dot);
    std::string line = dot == std::string::npos ? std::string() : key.substr(dot + 1);
    std::string text;
    // Names that are no formula at all are answered without building anything.
    if (formula.empty() || !formulaSource || !formulaSource(formula, text)) return nullptr;
    RefResult& slot = refResults_[key];
    Tbian* found = nullptr;
    if (TGS* sub = SubProgram(formula, "")) {
        if (line.empty()) line = FirstRecordName(*sub);
        found = line.empty() ? nullptr : sub->check(line);
    }
    Stamp(slot.stamp, found != nullptr);
    if (!found) return nullptr;
    if (!slot.bian) slot.bian = std::make_unique<Tbian>();
    slot.bian->SetBian(*found);
    slot.bian->name = key;
    return slot.bian.get();
}

bool TGS::RunReference(const CompiledStatement& st, int index) {
    const std::string key = WithoutQuotes(st.func);
    size_t dot = key.find('.');
    std::string formula = key.substr(0, dot);
    std::string line = dot == std::string::npos ? std::string() : key.substr(dot + 1);
    std::string text;
    // A name that is no formula is reported as such before its arguments are read.
    if (formula.empty() || !formulaSource || !formulaSource(formula, text)) {
        FErrorString = "不存在函数:" + key + " !";
        return false;
    }
    std::string params;
    for (const std::string& a : SplitArgs(st.argText)) {
        double v = 0;
        if (!teststr(a, v)) {
            FErrorString = key + "(" + st.argText + ")中的变量未定义!";
            abortRun_ = true;
            return false;
        }
        char buf[400];
        std::snprintf(buf, sizeof buf, "%.0f,", v);
        params += buf;
    }
    TGS* sub = SubProgram(formula, params);
    if (!sub) return false;
    if (line.empty()) line = FirstRecordName(*sub);
    Tbian* src = line.empty() ? nullptr : sub->check(line);
    if (!src) return false;
    const int n = fn::DataLen(*this);
    src->Reserve(n);
    Tbian* dst = AddBian(st.name.empty() ? "@tt_" + std::to_string(index) : st.name, n);
    if (!dst) return false;
    std::memcpy(dst->value.data(), src->value.data(), sizeof(double) * n);
    return true;
}

std::unique_ptr<Tbian> TGS::Get(const std::string& FUNC1, const std::string& BStr) {
    std::string text;
    if (!formulaSource || !formulaSource(LowerAscii(FUNC1), text)) return nullptr;
    TGS sub(this);
    sub.refLevel_ = refLevel_ + 1;
    if (!sub.SetProgText(text, "")) return nullptr;
    std::string line = BStr.empty() ? FirstRecordName(sub) : BStr;
    Tbian* b = line.empty() ? nullptr : sub.check(line);
    if (!b) return nullptr;
    auto copy = std::make_unique<Tbian>();
    copy->SetBian(*b);
    return copy;
}

double* TGS::Scratch(int slot, int n) {
    std::vector<double>& v = scratch_[static_cast<size_t>(slot)];
    if (static_cast<int>(v.size()) < n) v.resize(static_cast<size_t>(n));
    return v.data();
}

void TGS::AddConst(const std::string& name, double value) {
    std::string text = FormatFixed(value);
    double back = 0;
    bool numeric = ReadsAsNumber(text, &back);
    ls.add(LowerAscii(name), std::move(text), back, numeric);
}

void TGS::AddConstText(const std::string& name, const std::string& text) {
    // A stored number may carry the blanks of a fixed-width format ("%7.3f"); it still reads
    // as that number.
    std::string_view digits = text;
    while (!digits.empty() && digits.front() == ' ') digits.remove_prefix(1);
    while (!digits.empty() && digits.back() == ' ') digits.remove_suffix(1);
    double v = 0;
    bool numeric = ReadsAsNumber(digits, &v);
    ls.add(LowerAscii(name), text, v, numeric);
}

} // namespace vantor
