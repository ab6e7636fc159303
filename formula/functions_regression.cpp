// Least-squares regression over a window: FORCAST and SLOPE.

#include <algorithm>

#include "formula/function_kernels.h"

namespace vantor::kernels {

// Fits y = c0 + c1 * x through the points (1, X[i-N+1]) .. (N, X[i]) on every bar from the
// bar of the N-th valid value on. The window sums slide by one bar per step and are summed
// afresh every N bars, so the rounding of the sliding never builds up.
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
    double sy = 0, sxy = 0;
    for (int i = first; i < len; ++i) {
        if ((i - first) % w == 0) {
            sy = sxy = 0;
            for (int k = 1; k <= w; ++k) {
                const double y = x[static_cast<size_t>(i - w + k)];
                sy += y;
                sxy += k * y;
            }
        } else {
            const double y = x[static_cast<size_t>(i)];
            sxy += w * y - sy; // every older point moves one step left
            sy += y - x[static_cast<size_t>(i - w)];
        }
        const double c1 = (sxy - xbar * sy) / sxx;
        const double c0 = sy / w - c1 * xbar;
        out[static_cast<size_t>(i)] = Finite(slope ? c1 : c0 + c1 * w);
    }
}

} // namespace vantor::kernels
