// Choice and crossings: IF, CROSS, LONGCROSS, BETWEEN, RANGE.

#include "formula/function_kernels.h"

namespace vantor::kernels {

std::int64_t BarCount(double v) {
    if (!(v == v)) return 0;
    if (v >= 1e9) return 1000000000;
    if (v <= -1e9) return -1000000000;
    return static_cast<std::int64_t>(v);
}

// Bars before the first bar with a valid condition have no value; from there on, B where
// the condition is exactly 0 and A elsewhere (an invalid condition chooses A).
void If(Operand x, Operand a, Operand b, std::span<double> out) {
    const int n = static_cast<int>(out.size());
    int i = 0;
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
