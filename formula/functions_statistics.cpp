// Moving statistics: VAR, VARP, STD, STDP, DEVSQ, AVEDEV. X is a series and N a constant;
// otherwise the function fails without a message.

#include <algorithm>
#include <array>
#include <cfloat>
#include <cmath>

#include "formula/front_end.h"
#include "formula/function_args.h"
#include "formula/function_table.h"

namespace vantor {

namespace {

enum class Stat { Var, VarP, Std, StdP, DevSq, AveDev };

// The moving means of x and of its squares from bar `from` on; false as MovingMeanBars. Their
// running sums are kept before the newest bar and after the last, as MA keeps its own. Squares are
// needed back to the start of the first window.
template <Stat stat>
bool MeansFrom(TGS& gs, const double* x, const fn::Operand& window, int& from, bool exactAllowed,
               double* mean, double* meanSq) {
    const int n = fn::DataLen(gs);
    const std::int64_t k = fn::Bars(window.value);
    ResumeState sums{};
    if (from > 0 && !fn::Resume(gs, from, sums)) from = fn::EveryBar(gs);
    const int last = std::max(from, n - 1);
    constexpr bool avedev = stat == Stat::AveDev;
    double* squares = gs.Scratch(5, n);
    const int firstSquare =
        k > 0 ? static_cast<int>(std::max<std::int64_t>(0, from - k + 1)) : from;
    for (int i = firstSquare; i < n && !avedev; ++i)
        squares[i] = IsValid(x[i]) ? x[i] * x[i] : kInvalidValue;
    const fn::MeanState ofX{sums[0], sums[2], sums[4]}, ofSquares{sums[1], sums[3], sums[5]};
    for (int part = 0; part < 2; ++part) {
        const int a = part == 0 ? from : last, b = part == 0 ? last : n;
        if (!fn::MovingMeanBars(x, window, a, b, ofX, mean, exactAllowed)) return false;
        if (!avedev && !fn::MovingMeanBars(squares, window, a, b, ofSquares, meanSq, exactAllowed))
            return false;
        if (b == n - 1 || part == 1) fn::Keep(gs, part, b, sums);
    }
    return true;
}

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

    double* out = fn::BeginSeries(gs, name, n, {&x}, true);
    if (!out) return false;
    double* mean = gs.Scratch(4, n);
    double* meanSq = gs.Scratch(6, n);
    fn::Operand window;
    window.value = static_cast<double>(k);
    int from = fn::FirstBar(gs, n);
    if (!MeansFrom<stat>(gs, x.data, window, from, true, mean, meanSq)) {
        from = fn::EveryBar(gs);
        MeansFrom<stat>(gs, x.data, window, from, false, mean, meanSq);
    }
    constexpr bool avedev = stat == Stat::AveDev;
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
    // Without a branch, so the loop vectorizes: every bar works out its result, and bars
    // without both means take the invalid value instead.
    const double kd = static_cast<double>(k);
    const bool single = k == 1;
    for (int i = from; i < n; ++i) {
        const double m = mean[i], m2 = meanSq[i];
        const bool valid = static_cast<int>(IsValid(m)) & static_cast<int>(IsValid(m2));
        const double p = m2 - m * m; // population variance
        double r;
        if constexpr (stat == Stat::VarP) {
            r = p;
        } else if constexpr (stat == Stat::StdP) {
            r = std::sqrt(p > 0 ? p : 0); // rounding may leave p just below 0
        } else if constexpr (stat == Stat::Var) {
            const double q = p * kd / (kd - 1);
            r = single ? p : q;
        } else if constexpr (stat == Stat::Std) {
            // p * kd / (kd - 1) is above 0 exactly when p is, or rounds to 0 from just above.
            const double q = p * kd / (kd - 1);
            const double root = std::sqrt(q > 0 ? q : 0);
            r = single ? p : root;
        } else {
            r = p * kd; // DEVSQ
        }
        out[i] = (static_cast<int>(valid) & static_cast<int>(std::fabs(r) <= DBL_MAX))
                     ? r
                     : kInvalidValue;
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
