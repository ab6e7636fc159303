// Counting and signal shaping: COUNT, EXIST, EVERY, LAST, BARSLASTCOUNT, UPNDAY, DOWNNDAY,
// NDAY, FILTER, FILTERX, BACKSET. Each is one pass over the bars.

#include <algorithm>
#include <limits>

#include "formula/function_kernels.h"

namespace vantor::kernels {

namespace {
int Len(std::span<double> out) {
    return static_cast<int>(out.size());
}
} // namespace

// count(i) = count(i-1) + [X[i] > 0] - [X[i-N] > 0], the last term once N > 0 and i >= N;
// a series N uses its own value on each bar.
void Count(std::span<const double> x, Operand n, std::span<double> out) {
    const int len = Len(out);
    std::int64_t count = 0;
    for (int i = 0; i < len; ++i) {
        const std::int64_t k = BarCount(n[i]);
        if (x[i] > 0) ++count;
        if (k > 0 && i >= k && x[i - k] > 0) --count;
        out[i] = static_cast<double>(count);
    }
}

// 1 where the sum of X over the last N bars is above 0. The sum is kept in single precision,
// as the values are conditions of 0 and 1 whose sums single precision holds exactly.
void Exist(std::span<const double> x, std::int64_t n, std::span<double> out) {
    const int len = Len(out);
    float sum = 0;
    for (int i = 0; i < len; ++i) {
        sum += static_cast<float>(x[i]);
        if (i >= n) sum -= static_cast<float>(x[i - n]);
        out[i] = sum > 0 ? 1 : 0;
    }
}

// 1 on the bar that completes a run of exactly N bars with X equal to 1.
void Every(std::span<const double> x, std::int64_t n, std::span<double> out) {
    const int len = Len(out);
    std::int64_t run = 0;
    for (int i = 0; i < len; ++i) {
        const bool valid = Valid(x[i]);
        if (valid) run = x[i] == 1 ? run + 1 : 0;
        if (i < n)
            out[i] = 0;
        else
            out[i] = !valid ? kInvalid : (run == n ? 1 : 0);
    }
}

bool Last(std::span<const double> x, std::int64_t a, std::int64_t b, std::span<double> out) {
    if (!(0 < b && b < a)) return false;
    const int len = Len(out);
    std::int64_t run = 0;
    for (int i = 0; i < len; ++i) {
        run = x[i] == 1 ? run + 1 : 0;
        out[i] = i < a ? 0 : (run == a - b ? 1 : 0);
    }
    return true;
}

void BarsLastCount(std::span<const double> x, std::span<double> out) {
    const int len = Len(out);
    std::int64_t run = 0;
    for (int i = 0; i < len; ++i) {
        run = x[i] != 0 ? run + 1 : 0;
        out[i] = static_cast<double>(run);
    }
}

void UpDownNDay(std::span<const double> x, std::int64_t n, bool up, std::span<double> out) {
    const int len = Len(out);
    std::int64_t run = 0;
    for (int i = 1; i < len; ++i) {
        const bool step = up ? x[i] > x[i - 1] : x[i] < x[i - 1];
        run = step ? run + 1 : 0;
        out[i] = run >= n ? 1 : 0;
    }
}

void NDay(std::span<const double> x1, std::span<const double> x2, std::int64_t n,
          std::span<double> out) {
    const int len = Len(out);
    std::int64_t count = 0;
    for (int i = 0; i < len; ++i) {
        if (x1[i] > x2[i]) ++count;
        if (n > 0 && i >= n && x1[i - n] > x2[i - n]) --count;
        out[i] = count == n ? 1 : 0;
    }
}

// A signal gives 1 and silences the next N bars; scanning resumes after them.
void Filter(std::span<const double> x, Operand n, std::span<double> out) {
    const int len = Len(out);
    int i = 0;
    while (i < len) {
        if (x[i] > 0) {
            out[i] = 1;
            const std::int64_t k = std::max<std::int64_t>(0, BarCount(n[i]));
            const int end = static_cast<int>(std::min<std::int64_t>(len - 1, i + k));
            for (int j = i + 1; j <= end; ++j) out[j] = 0;
            i = end + 1;
        } else {
            out[i] = 0;
            ++i;
        }
    }
}

// FILTER walked from the last bar backwards; an invalid X stays invalid.
void FilterX(std::span<const double> x, std::int64_t n, std::span<double> out) {
    const std::int64_t k = std::max<std::int64_t>(0, n);
    int i = Len(out) - 1;
    while (i >= 0) {
        if (!Valid(x[i])) {
            out[i] = kInvalid;
            --i;
        } else if (x[i] > 0) {
            out[i] = 1;
            const int end = static_cast<int>(std::max<std::int64_t>(0, i - k));
            for (int j = i - 1; j >= end; --j) out[j] = 0;
            i = end - 1;
        } else {
            out[i] = 0;
            --i;
        }
    }
}

// Every bar i with X exactly 1 sets bars i-N+1 .. i to 1; a bar whose series N is invalid is
// set to 0 unless a later signal covers it. Walked backwards with the lowest bar any later
// signal reaches, so each bar is written once.
void BackSet(std::span<const double> x, Operand n, std::span<double> out) {
    std::int64_t reach = std::numeric_limits<std::int64_t>::max();
    for (int i = Len(out) - 1; i >= 0; --i) {
        const bool nValid = Valid(n[i]);
        if (nValid && x[i] == 1) reach = std::min<std::int64_t>(reach, i - BarCount(n[i]) + 1);
        if (reach <= i)
            out[i] = 1;
        else if (!nValid)
            out[i] = 0;
    }
}

} // namespace vantor::kernels
