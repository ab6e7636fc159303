// The computed line DRAWLINE.

#include <algorithm>

#include "formula/function_kernels.h"

namespace vantor::kernels {

// Walking back from the last bar, each bar with X2 at least 1 ends a straight line that
// starts at the nearest earlier bar with X1 above 0; with EX exactly 1 the line runs on up
// to the bar before the next line (before the last bar for the latest line).
void DrawLine(Operand x1, Operand v1, Operand x2, Operand v2, double ex, std::span<double> out) {
    const int len = static_cast<int>(out.size());
    std::fill(out.begin(), out.end(), kInvalid);
    int end = len - 1;
    int p = len - 1;
    while (p >= 1) {
        if (!(Valid(x2[p]) && x2[p] >= 1)) {
            --p;
            continue;
        }
        int j = p - 1;
        while (j >= 0 && !(Valid(x1[j]) && x1[j] > 0)) --j;
        if (j < 0) break;
        const double from = v1[j], to = v2[p];
        auto line = [&](int i) { return Finite(from + (to - from) * (i - j) / (p - j)); };
        for (int i = j; i <= p; ++i) out[static_cast<size_t>(i)] = line(i);
        if (ex == 1)
            for (int i = p; i < end; ++i) out[static_cast<size_t>(i)] = line(i);
        end = j - 1;
        p = j;
    }
}

} // namespace vantor::kernels
