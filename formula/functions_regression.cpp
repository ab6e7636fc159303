// Least-squares regression over a window: FORCAST and SLOPE.

#include <algorithm>

#include "formula/front_end.h"
#include "formula/function_kernels.h"
#include "formula/function_table.h"
#include "formula/functions_common.h"

namespace vantor::kernels {

// Fits y = c0 + c1 * x through the points (1, X[i-N+1]) .. (N, X[i]) on every bar from the
// bar of the N-th valid value on. The window sums slide by one bar per step, compensated, and
// are summed afresh every N bars, so the rounding of the sliding never builds up.
void Regression(std::span<const double> x, std::int64_t n, bool slope, std::span<double> out) {
    const int len = static_cast<int>(out.size());
    std::fill(out.begin(), out.end(), kInvalid);
    if (n < 2 || n > len) return;
    const int w = static_cast<int>(n);
    int first = -1, seen = 0;
    for (int i = 0; i < len && first < 0; ++i)
        if (Valid(x[static_cast<size_t>(i)]) && ++seen == w) first = i;
    if (first < 0) return;
    const double xbar = (w + 1) / 2.0;
    const double sxx = static_cast<double>(w) * (static_cast<double>(w) * w - 1) / 12;
    double syS = 0, syC = 0, sxyS = 0, sxyC = 0;
    fn::RunningSum sy{syS, syC}, sxy{sxyS, sxyC};
    for (int i = first; i < len; ++i) {
        if ((i - first) % w == 0) {
            syS = syC = sxyS = sxyC = 0;
            for (int k = 1; k <= w; ++k) {
                const double y = x[static_cast<size_t>(i - w + k)];
                sy.Add(y);
                sxy.Add(k * y);
            }
        } else {
            const double y = x[static_cast<size_t>(i)];
            sxy.Add(w * y); // every older point moves one step left
            sxy.Add(-sy.Value());
            sy.Add(y);
            sy.Add(-x[static_cast<size_t>(i - w)]);
        }
        const double c1 = (sxy.Value() - xbar * sy.Value()) / sxx;
        const double c0 = sy.Value() / w - c1 * xbar;
        out[static_cast<size_t>(i)] = Finite(slope ? c1 : c0 + c1 * w);
    }
}

} // namespace vantor::kernels

namespace vantor {

namespace {

template <bool slope>
bool Regression(TGS& gs, const std::string& name, const std::string&, const TXX& xx) {
    const int n = fn::DataLen(gs);
    const std::string prefix = slope ? "SLOPE(X,N)参数" : "FORCAST(X,N)参数";
    fn::Operand x;
    double w = 0;
    if (!fn::SeriesArg(gs, xx, 0, n, x, prefix + "X:", "未定义!") ||
        !fn::ConstArg(gs, xx, 1, w, prefix + "N:", "未定义!"))
        return false;
    if (fn::Bars(w) <= 1) return fn::Fail(gs, prefix + "N必须大于1!");
    auto out = fn::Output(gs, name, n, {&x});
    if (out.data() == nullptr) return false;
    kernels::Regression(fn::Span(x, n), fn::Bars(w), slope, out);
    return true;
}

} // namespace

void RegisterRegressionFunctions(HandlerRegistry& r) {
    r["forcast"] = Regression<false>;
    r["slope"] = Regression<true>;
}

} // namespace vantor
