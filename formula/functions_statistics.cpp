// Moving statistics: VAR, VARP, STD, STDP, DEVSQ, AVEDEV. X is a series and N a constant;
// otherwise the function fails without a message.

#include <algorithm>
#include <array>
#include <cmath>

#include "formula/front_end.h"
#include "formula/function_args.h"
#include "formula/function_table.h"

namespace vantor {

namespace {

enum class Stat { Var, VarP, Std, StdP, DevSq, AveDev };

template <Stat stat>
bool Statistics(TGS& gs, const std::string& name, const std::string&, const TXX& xx) {
    const int n = fn::DataLen(gs);
    fn::Operand x;
    double nValue = 0;
    if (!fn::AsSeries(gs, xx[0], n, x)) return false;
    if (xx.count < 2 || !fn::AsConstant(gs, xx[1], nValue)) return false;
    const std::int64_t k = fn::Bars(nValue);
    if (k == 0 && (stat == Stat::Var || stat == Stat::Std || stat == Stat::DevSq))
        return fn::StoreCopy(gs, name, n, x);

    double* out = fn::BeginSeries(gs, name, n, {&x});
    if (!out) return false;
    // The moving means of x and of its squares are needed from the first bar computed on;
    // their running sums are kept before the newest bar and after the last, as MA keeps
    // its own. Squares are needed back to the start of the first window.
    int from = fn::FirstBar(gs, n);
    ResumeState sums{};
    if (from > 0 && !fn::Resume(gs, from, sums)) from = fn::EveryBar(gs);
    const int last = std::max(from, n - 1);
    constexpr bool avedev = stat == Stat::AveDev;
    double* mean = gs.Scratch(4, n);
    double* squares = gs.Scratch(5, n);
    double* meanSq = gs.Scratch(6, n);
    fn::Operand window;
    window.value = static_cast<double>(k);
    const int firstSquare =
        k > 0 ? static_cast<int>(std::max<std::int64_t>(0, from - k + 1)) : from;
    for (int i = firstSquare; i < n && !avedev; ++i)
        squares[i] = IsValid(x.data[i]) ? x.data[i] * x.data[i] : kInvalidValue;
    for (int part = 0; part < 2; ++part) {
        const int a = part == 0 ? from : last, b = part == 0 ? last : n;
        fn::MovingMeanBars(x.data, window, a, b, {sums[0], sums[2]}, mean);
        if (!avedev) fn::MovingMeanBars(squares, window, a, b, {sums[1], sums[3]}, meanSq);
        if (b == n - 1 || part == 1) fn::Keep(gs, part, b, sums);
    }
    if constexpr (avedev) {
        for (int i = from; i < n; ++i) {
            if (k <= 0 || i < k - 1 || !IsValid(mean[i])) {
                out[i] = kInvalidValue;
                continue;
            }
            double s = 0;
            for (std::int64_t j = i - k + 1; j <= i; ++j) s += std::fabs(x.data[j] - mean[i]);
            out[i] = Finite(s / static_cast<double>(k));
        }
        return true;
    }
    const double kd = static_cast<double>(k);
    for (int i = from; i < n; ++i) {
        if (!IsValid(mean[i]) || !IsValid(meanSq[i])) {
            out[i] = kInvalidValue;
            continue;
        }
        const double p = meanSq[i] - mean[i] * mean[i]; // population variance
        double r;
        if constexpr (stat == Stat::VarP)
            r = p;
        else if constexpr (stat == Stat::StdP)
            r = std::sqrt(p > 0 ? p : 0); // rounding may leave p just below 0
        else if constexpr (stat == Stat::Var)
            r = k == 1 ? p : p * kd / (kd - 1);
        else if constexpr (stat == Stat::Std)
            r = k == 1 ? p : (p > 0 ? std::sqrt(p * kd / (kd - 1)) : 0);
        else
            r = p * kd; // DEVSQ
        out[i] = Finite(r);
    }
    return true;
}

} // namespace

void RegisterStatisticsFunctions(HandlerRegistry& r) {
    r["var"] = Statistics<Stat::Var>;
    r["varp"] = Statistics<Stat::VarP>;
    r["std"] = Statistics<Stat::Std>;
    r["stdp"] = Statistics<Stat::StdP>;
    r["devsq"] = Statistics<Stat::DevSq>;
    r["avedev"] = Statistics<Stat::AveDev>;
}

} // namespace vantor
