// Choice and crossings: IF, CROSS, LONGCROSS, BETWEEN, RANGE.

#include "formula/front_end.h"
#include "formula/function_kernels.h"
#include "formula/function_table.h"
#include "formula/functions_common.h"

namespace vantor::kernels {

std::int64_t BarCount(double v) {
    if (!(v == v)) return 0;
    if (v >= 1e9) return 1000000000;
    if (v <= -1e9) return -1000000000;
    return static_cast<std::int64_t>(v);
}

// Bars before the first bar with a valid condition have no value; from there on, B where
// the condition is exactly 0 and A elsewhere (an invalid condition chooses A).
// Bars before `from` are left as they are.
void If(Operand x, Operand a, Operand b, std::span<double> out, int from) {
    const int n = static_cast<int>(out.size());
    int i = 0;
    while (i < from && !Valid(x[i])) ++i;
    if (i < from)
        i = from; // the first valid condition lies before `from`
    else
        for (; i < n && !Valid(x[i]); ++i) out[i] = kInvalid;
    for (; i < n; ++i) out[i] = Valid(x[i]) && x[i] == 0 ? b[i] : a[i];
}

// 1 on a bar where A reaches B from below: A at least B, with a bar of A below B since the
// last bar of A at least B. Bars with an invalid value neither count nor break the run, and
// bar 0 never counts as a bar below.
void Cross(Operand a, Operand b, std::span<double> out) {
    const int n = static_cast<int>(out.size());
    bool below = false;
    for (int i = 0; i < n; ++i) {
        if (!Valid(a[i]) || !Valid(b[i])) {
            out[i] = kInvalid;
            continue;
        }
        if (i == 0) {
            out[i] = 0;
            continue;
        }
        if (a[i] < b[i]) {
            below = true;
            out[i] = 0;
        } else {
            out[i] = below ? 1 : 0;
            below = false;
        }
    }
}

// 1 where X reaches A after at least N bars of X below A.
void LongCross(Operand x, Operand a, double n, std::span<double> out) {
    const int len = static_cast<int>(out.size());
    const std::int64_t need = BarCount(n);
    std::int64_t run = 0;
    for (int i = 0; i < len; ++i) {
        if (!Valid(x[i]) || !Valid(a[i])) {
            out[i] = kInvalid;
            run = 0;
            continue;
        }
        out[i] = 0;
        if (x[i] >= a[i]) {
            if (run >= need) out[i] = 1;
            run = 0;
        } else {
            ++run;
        }
    }
}

void Between(Operand a, Operand b, Operand c, bool either, std::span<double> out) {
    const int n = static_cast<int>(out.size());
    for (int i = 0; i < n; ++i) {
        const bool in = (b[i] < a[i] && a[i] < c[i]) || (either && c[i] < a[i] && a[i] < b[i]);
        out[i] = in ? 1 : 0;
    }
}

} // namespace vantor::kernels

namespace vantor {

namespace {

using fn::Arg;
using fn::Operand;

bool If(TGS& gs, const std::string& name, const std::string&, const TXX& xx) {
    const int n = fn::DataLen(gs);
    Operand x, a, b;
    if (!fn::EitherArg(gs, xx, 0, n, x, "IF(X,A,B)参数X:", "不存在!") ||
        !fn::EitherArg(gs, xx, 1, n, a, "IF(X,A,B)参数A:", "错误!") ||
        !fn::EitherArg(gs, xx, 2, n, b, "IF(X,A,B)参数B:", "错误!"))
        return false;
    if (!x.IsSeries() && !a.IsSeries() && !b.IsSeries()) {
        fn::StoreConst(gs, name, x.value <= 0 ? b.value : a.value);
        return true;
    }
    double* out = fn::BeginSeries(gs, name, n, {&x, &a, &b});
    if (!out) return false;
    kernels::If(x, a, b, {out, static_cast<size_t>(n)}, fn::FirstBar(gs, n));
    return true;
}

// CROSS belongs to the two-operand family and reports with its messages.
bool Cross(TGS& gs, const std::string& name, const std::string& func, const TXX& xx) {
    const int n = fn::DataLen(gs);
    Operand a, b;
    if (!fn::EitherArg(gs, xx, 0, n, a, func + "(A,B)参数A:", "不存在!") ||
        !fn::EitherArg(gs, xx, 1, n, b, func + "(A,B)参数B:", "不存在!"))
        return false;
    double* out = fn::BeginSeries(gs, name, n, {&a, &b});
    if (!out) return false;
    kernels::Cross(a, b, {out, static_cast<size_t>(n)});
    return true;
}

bool LongCross(TGS& gs, const std::string& name, const std::string&, const TXX& xx) {
    const int n = fn::DataLen(gs);
    Operand x, a;
    double w = 0;
    if (!fn::EitherArg(gs, xx, 0, n, x, "LONGCROSS(X,A,B)参数X:", "未定义!") ||
        !fn::EitherArg(gs, xx, 1, n, a, "LONGCROSS(X,A,B)参数A:", "未定义!") ||
        !fn::ConstArg(gs, xx, 2, w, "LONGCROSS(X,A,B)参数B:", "未定义!"))
        return false;
    double* out = fn::BeginSeries(gs, name, n, {&x, &a});
    if (!out) return false;
    kernels::LongCross(x, a, w, {out, static_cast<size_t>(n)});
    return true;
}

// BETWEEN and RANGE read each argument as a constant or as the exact name of a series.
template <bool either>
bool BetweenRange(TGS& gs, const std::string& name, const std::string&, const TXX& xx) {
    const int n = fn::DataLen(gs);
    const std::string prefix = either ? "BETWEEN(A,B,C)参数" : "RANGE(A,B,C)参数";
    Operand args[3];
    for (int i = 0; i < 3; ++i) {
        Operand& o = args[i];
        if (gs.teststr(Arg(xx, i), o.value)) continue;
        Tbian* b = gs.GetBian(Arg(xx, i));
        if (!b) return fn::Fail(gs, prefix + "ABC"[i] + ":" + Arg(xx, i) + "不存在!");
        b->Reserve(n);
        o.series = b;
        o.data = b->value.data();
    }
    double* out = fn::BeginSeries(gs, name, n, {&args[0], &args[1], &args[2]});
    if (!out) return false;
    kernels::Between(args[0], args[1], args[2], either, {out, static_cast<size_t>(n)});
    return true;
}

} // namespace

void RegisterConditionFunctions(HandlerRegistry& r) {
    r["if"] = If;
    r["iff"] = If;
    r["cross"] = Cross;
    r["longcross"] = LongCross;
    r["between"] = BetweenRange<true>;
    r["range"] = BetweenRange<false>;
}

} // namespace vantor
