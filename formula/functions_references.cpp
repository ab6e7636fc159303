// Position and references: ISLASTBAR, CURRBARSCOUNT, TOTALBARSCOUNT, BARSTATUS, TFILT,
// REFDATE, and the ranked values FINDHIGH, FINDLOW, FINDHIGHBARS, FINDLOWBARS.

#include <algorithm>
#include <cstdio>
#include <vector>

#include "formula/front_end.h"
#include "formula/function_kernels.h"
#include "formula/function_table.h"
#include "formula/functions_common.h"
#include "market/period_stamp.h"

namespace vantor::kernels {

namespace {
int Len(std::span<double> out) {
    return static_cast<int>(out.size());
}
} // namespace

void IsLastBar(std::span<double> out) {
    for (int i = 0; i < Len(out); ++i) out[i] = i == Len(out) - 1 ? 1 : 0;
}

void CurrBarsCount(std::span<double> out) {
    for (int i = 0; i < Len(out); ++i) out[i] = Len(out) - i;
}

void TotalBarsCount(std::span<double> out) {
    std::fill(out.begin(), out.end(), static_cast<double>(out.size()));
}

void BarStatus(std::span<double> out) {
    for (int i = 0; i < Len(out); ++i) out[i] = i == Len(out) - 1 ? 2 : (i == 0 ? 1 : 0);
}

void TFilt(std::span<const double> x, std::span<const double> date, double day1, double day2,
           std::span<double> out) {
    const double from = static_cast<double>(BarCount(day1));
    const double to = static_cast<double>(BarCount(day2));
    for (int i = 0; i < Len(out); ++i) {
        const double d = static_cast<double>(BarCount(date[i]));
        out[i] = from <= d && d <= to ? x[i] : kInvalid;
    }
}

std::optional<double> RefDate(std::span<const double> x, std::span<const double> date, double day) {
    const size_t n = std::min(x.size(), date.size());
    for (size_t i = 0; i < n; ++i)
        if (date[i] == day) return x[i];
    return std::nullopt;
}

// The window's values are kept in a list of M slots sorted highest (lowest) first, empty
// slots holding the invalid value. Each step drops the value leaving the window and inserts
// the new one; bar s+N reads slot s during the first T steps, then slot T-1.
void FindRanked(std::span<const double> x, std::int64_t n, std::int64_t m, std::int64_t t,
                bool high, bool bars, std::span<double> out) {
    const int len = Len(out);
    if (t > m) t = m;
    if (n < 0 || m < 1 || t < 1) {
        std::fill(out.begin(), out.end(), kInvalid);
        return;
    }
    for (int i = 0; i < len && i < n; ++i) out[i] = kInvalid;
    // A list longer than the data never fills past the data, so it is cut there.
    const int slots = static_cast<int>(std::min<std::int64_t>(m, len + 1));
    std::vector<double> value(static_cast<size_t>(slots), kInvalid);
    std::vector<int> bar(static_cast<size_t>(slots), -1);
    auto beats = [high](double a, double b) { return high ? a > b : a < b; };
    for (std::int64_t s = 0; s + n < len; ++s) {
        if (s >= m) {
            const double leaving = x[static_cast<size_t>(s - m)];
            auto it = std::find(value.begin(), value.end(), leaving);
            if (it != value.end()) {
                const auto k = it - value.begin();
                std::move(value.begin() + k + 1, value.end(), value.begin() + k);
                std::move(bar.begin() + k + 1, bar.end(), bar.begin() + k);
                value.back() = kInvalid;
                bar.back() = -1;
            }
        }
        const double v = x[static_cast<size_t>(s)];
        for (int k = 0; k < slots; ++k) {
            const bool empty = !Valid(value[static_cast<size_t>(k)]);
            if (empty || beats(v, value[static_cast<size_t>(k)])) {
                if (!empty) {
                    std::move_backward(value.begin() + k, value.end() - 1, value.end());
                    std::move_backward(bar.begin() + k, bar.end() - 1, bar.end());
                }
                value[static_cast<size_t>(k)] = v;
                bar[static_cast<size_t>(k)] = static_cast<int>(s);
                break;
            }
        }
        const std::int64_t slot = s < t ? s : t - 1;
        const int at = static_cast<int>(s + n);
        if (slot >= slots || !Valid(value[static_cast<size_t>(slot)]))
            out[at] = kInvalid;
        else
            out[at] = bars ? at - bar[static_cast<size_t>(slot)] : value[static_cast<size_t>(slot)];
    }
}

} // namespace vantor::kernels

namespace vantor {

namespace {

using fn::Operand;
using fn::Span;

std::string Format3(double v) {
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.3f", Finite(v));
    return buf;
}

// ISLASTBAR, CURRBARSCOUNT, TOTALBARSCOUNT, BARSTATUS: no arguments.
template <void (*kernel)(std::span<double>)>
bool Position(TGS& gs, const std::string& name, const std::string&, const TXX&) {
    auto out = fn::Output(gs, name, fn::DataLen(gs), {});
    if (out.data() == nullptr) return false;
    kernel(out);
    return true;
}

bool TFilt(TGS& gs, const std::string& name, const std::string&, const TXX& xx) {
    const int n = fn::DataLen(gs);
    const std::string prefix = "TFILT(X,day1,time1,day2,time2)参数";
    Operand x;
    double day1 = 0, day2 = 0;
    if (!fn::SeriesArg(gs, xx, 0, n, x, prefix + "X:", "未定义!") ||
        !fn::ConstArg(gs, xx, 1, day1, prefix + "day1:", "未定义!") ||
        !fn::ConstArg(gs, xx, 3, day2, prefix + "day2:", "未定义!"))
        return false;
    Tbian* date = gs.GetBian("date");
    if (!date) return fn::Fail(gs, "没有为TFLIT提供日期原始数据!");
    date->Reserve(n);
    auto out = fn::Output(gs, name, n, {&x});
    if (out.data() == nullptr) return false;
    kernels::TFilt(Span(x, n), {date->value.data(), static_cast<size_t>(n)}, day1, day2, out);
    return true;
}

bool RefDate(TGS& gs, const std::string& name, const std::string&, const TXX& xx) {
    const int n = fn::DataLen(gs);
    Tbian* date = gs.GetBian("date");
    if (!date) return fn::Fail(gs, "没有Date原始数据,不能使用:REFDATE!");
    Operand x, a;
    if (!fn::EitherArg(gs, xx, 0, n, x, "REFDATE(X,A)参数X:", "未定义!") ||
        !fn::EitherArg(gs, xx, 1, n, a, "REFDATE(X,A)参数A:", "未定义!"))
        return false;
    if (!x.IsSeries()) {
        gs.AddConstText(name, Format3(x.value));
        return true;
    }
    date->Reserve(n);
    const double day = static_cast<double>(fn::Bars(fn::ValueOf(a, n)));
    const auto found =
        kernels::RefDate(Span(x, n), {date->value.data(), static_cast<size_t>(n)}, day);
    if (!found) return false;
    gs.AddConstText(name, Format3(*found));
    return true;
}

bool Const(TGS& gs, const std::string& name, const std::string&, const TXX& xx) {
    const int n = fn::DataLen(gs);
    Operand x;
    if (!fn::EitherArg(gs, xx, 0, n, x, "CONST(N)参数N:", "未定义!")) return false;
    gs.AddConstText(name, Format3(fn::ValueOf(x, n)));
    return true;
}

// FINDHIGH, FINDLOW, FINDHIGHBARS, FINDLOWBARS. Their messages differ in spelling, each as
// the users of the formulas know it.
struct RankedTexts {
    const char* x;
    const char* rest; // prefix of the messages for N, M and T
    const char* mt;   // prefix for M and T when it differs
};
constexpr RankedTexts kFindHigh{"FINDHIGH(X,N,M,T)", "FINDHIGH(X,N,M,T)", "FindHIGH(X,N,M,T)"};
constexpr RankedTexts kFindLow{"FINDLOW(X,N,M,T)", "FINDLOW(X,N,M,T)", "FINDLOW(X,N,M,T)"};
constexpr RankedTexts kFindHighBars{"FindHIGHBARS(X,N,M,T)", "FindHIGHBARS((X,N,M,T)",
                                    "FindHIGHBARS((X,N,M,T)"};
constexpr RankedTexts kFindLowBars{"FINDLOWBARS(X,N,M,T)", "FINDLOWBARS(X,N,M,T)",
                                   "FINDLOWBARS(X,N,M,T)"};

template <const RankedTexts& t, bool high, bool bars>
bool FindRanked(TGS& gs, const std::string& name, const std::string&, const TXX& xx) {
    const int n = fn::DataLen(gs);
    const std::string x0 = t.x, nPrefix = t.rest, mtPrefix = t.mt;
    Operand x;
    double back = 0, m = 0, rank = 0;
    if (!fn::SeriesArg(gs, xx, 0, n, x, x0 + "参数X:", "未定义!") ||
        !fn::ConstArg(gs, xx, 1, back, nPrefix + "参数N:", "未定义!") ||
        !fn::ConstArg(gs, xx, 2, m, mtPrefix + "参数M:", "未定义!") ||
        !fn::ConstArg(gs, xx, 3, rank, mtPrefix + "参数T:", "未定义!"))
        return false;
    auto out = fn::Output(gs, name, n, {&x});
    if (out.data() == nullptr) return false;
    kernels::FindRanked(Span(x, n), fn::Bars(back), fn::Bars(m), fn::Bars(rank), high, bars, out);
    return true;
}

} // namespace

// REFX(X,N), REFXV(X,N): the value N bars later, invalid where that bar is not there yet (or
// where N is invalid). They look ahead, so they compute every bar on every run.
bool RefX(TGS& gs, const std::string& name, const std::string& func, const TXX& xx) {
    fn::Window w;
    if (!fn::WindowArgs(gs, func, xx, w)) return false;
    auto out = fn::Output(gs, name, w.len, {&w.x, &w.n});
    if (out.data() == nullptr) return false;
    for (int i = 0; i < w.len; ++i) {
        const double nv = w.n[i];
        const std::int64_t j = i + fn::Bars(nv);
        out[static_cast<size_t>(i)] =
            IsValid(nv) && j >= 0 && j < w.len ? w.x.data[j] : kInvalidValue;
    }
    return true;
}

// TOTALFZNUM: the minutes of the instrument's trading day, counted in the data: the most
// bars any date holds, times the minutes of the period. Without intraday bars it is 240, the
// trading day of the exchanges the sample data comes from.
bool TotalFzNum(TGS& gs, const std::string& name, const std::string&, const TXX&) {
    const int n = fn::DataLen(gs);
    double minutes = 240;
    const Tbian* date = gs.mainbian->find("date");
    const int period = static_cast<int>(gs.ZhouQi);
    if (date && period >= 0 && period < 7) {
        int most = 0, run = 0;
        for (int i = 0; i < n; ++i) {
            run = i > 0 && date->at(i) == date->at(i - 1) ? run + 1 : 1;
            most = std::max(most, run);
        }
        if (most > 1) minutes = static_cast<double>(most) * kIntradayMinutes[period];
    }
    auto out = fn::Output(gs, name, n, {});
    if (out.data() == nullptr) return false;
    std::fill(out.begin(), out.end(), minutes);
    return true;
}

void RegisterReferenceFunctions(HandlerRegistry& r) {
    r["refx"] = RefX;
    r["refxv"] = RefX;
    r["totalfznum"] = TotalFzNum;
    r["islastbar"] = Position<kernels::IsLastBar>;
    r["currbarscount"] = Position<kernels::CurrBarsCount>;
    r["totalbarscount"] = Position<kernels::TotalBarsCount>;
    r["barstatus"] = Position<kernels::BarStatus>;
    r["tfilt"] = TFilt;
    r["refdate"] = RefDate;
    r["const"] = Const;
    r["findhigh"] = FindRanked<kFindHigh, true, false>;
    r["findlow"] = FindRanked<kFindLow, false, false>;
    r["findhighbars"] = FindRanked<kFindHighBars, true, true>;
    r["findlowbars"] = FindRanked<kFindLowBars, false, true>;
}

} // namespace vantor
