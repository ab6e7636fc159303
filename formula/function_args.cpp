#include "formula/function_args.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>

#include "formula/front_end.h"

namespace vantor {

std::string UpperName(std::string_view name) {
    return UpperAscii(name);
}

std::string FormatFixed(double v) {
    char buf[400];
    std::snprintf(buf, sizeof buf, "%f", v);
    return buf;
}

namespace fn {

int DataLen(const TGS& gs) {
    int n = gs.getdatalen();
    return n < 0 ? 0 : (n >= kMaxBars ? kMaxBars - 1 : n);
}

bool Fail(TGS& gs, const std::string& message) {
    gs.FErrorString = message;
    return false;
}

bool AsSeries(TGS& gs, const std::string& text, int n, Operand& out) {
    Tbian* b = gs.check(text);
    if (!b) return false;
    b->Reserve(n);
    gs.call.inputs = std::min(gs.call.inputs, gs.SeriesFrom(b));
    out.series = b;
    out.data = b->value.data();
    out.value = 0;
    return true;
}

bool AsConstant(TGS& gs, const std::string& text, double& out) {
    return gs.teststr(text, out);
}

bool AsEither(TGS& gs, const std::string& text, int n, Operand& out) {
    if (AsSeries(gs, text, n, out)) return true;
    out = Operand{};
    return gs.teststr(text, out.value);
}

double* BeginSeries(TGS& gs, const std::string& name, int n, std::initializer_list<Operand*> inputs,
                    bool fills) {
    const CallWindow& c = gs.call;
    const bool fromFirstBar = !c.allowed || std::min(c.from, c.inputs) <= 0;
    Tbian* result = gs.AddBian(name, n, !(fills && fromFirstBar));
    if (!result) return nullptr;
    int slot = 0;
    for (Operand* in : inputs) {
        if (in && in->series == result) {
            double* copy = gs.Scratch(slot++, n);
            std::memcpy(copy, in->data, sizeof(double) * static_cast<size_t>(n));
            in->data = copy;
            in->series = nullptr;
        }
    }
    // Inputs were grown to n when they were resolved, so AddBian did not move the storage
    // of an input that is the result itself before it was copied.
    return result->value.data();
}

int FirstBar(TGS& gs, int n) {
    const CallWindow& c = gs.call;
    const int from = c.allowed ? std::max(0, std::min({c.from, c.inputs, n})) : 0;
    gs.call.used = from;
    return from;
}

int EveryBar(TGS& gs) {
    gs.call.used = 0;
    return 0;
}

bool Resume(TGS& gs, int from, ResumeState& state) {
    for (const ResumePoint& p : gs.call.saved) {
        if (p.at == from && from > 0) {
            state = p.value;
            // The points stay good until the handler replaces them.
            if (gs.call.keep) *gs.call.keep = gs.call.saved;
            return true;
        }
    }
    return false;
}

void Keep(TGS& gs, int slot, int at, const ResumeState& state) {
    if (gs.call.keep) (*gs.call.keep)[static_cast<size_t>(slot)] = {at, state};
}

void StoreConst(TGS& gs, const std::string& name, double v) {
    gs.AddConst(name, Finite(v));
}

bool StoreCopy(TGS& gs, const std::string& name, int n, Operand& x) {
    double* out = BeginSeries(gs, name, n, {&x}, true);
    if (!out) return false;
    if (out != x.data) std::memcpy(out, x.data, sizeof(double) * static_cast<size_t>(n));
    return true;
}

void MovingMean(const double* x, int n, const Operand& window, double* out) {
    double s = 0, c = 0, exact = 0;
    MovingMeanBars(x, window, 0, n, {s, c, exact}, out, true);
}

namespace {

inline void MeanOverBars(const double* x, const Operand& window, int from, int to, RunningSum& s,
                         double* out) {
    const std::int64_t constK = Bars(window.value);
    if (!window.IsSeries() && IsValid(window.value) && constK > 0) {
        // A constant window: the same sums as below without reading the window per bar.
        const double k = static_cast<double>(constK);
        for (int i = from; i < to; ++i) {
            const bool valid = IsValid(x[i]);
            if (valid) s.Add(x[i]);
            if (i < constK - 1) {
                out[i] = kInvalidValue;
                continue;
            }
            const double first = x[i - constK + 1];
            if (IsValid(first)) {
                out[i] = valid ? Finite(s.Value() / k) : kInvalidValue;
                s.Add(-first);
            } else {
                out[i] = kInvalidValue;
            }
        }
        return;
    }
    for (int i = from; i < to; ++i) {
        const bool valid = IsValid(x[i]);
        if (valid) s.Add(x[i]);
        const double nv = window[i];
        const std::int64_t k = Bars(nv);
        if (!IsValid(nv) || k < 0) {
            out[i] = kInvalidValue;
        } else if (k == 0) {
            out[i] = valid ? Finite(s.Value() / (i + 1)) : kInvalidValue;
        } else if (i >= k - 1) {
            const double first = x[i - k + 1];
            if (IsValid(first)) {
                out[i] = valid ? Finite(s.Value() / static_cast<double>(k)) : kInvalidValue;
                s.Add(-first);
            } else {
                out[i] = kInvalidValue;
            }
        } else {
            out[i] = kInvalidValue;
        }
    }
}

// The exact moving mean. Prices and most series built from them are whole numbers of a small
// power of two (3485.2 is a whole number of 2^-41 as a double): when every value the window
// takes in, and the state it starts from, are whole numbers of one 2^-u and the sums stay below
// 2^63 such units, the sum is kept as a 64-bit integer count of 2^-u. It is then exact, and so is
// the compensated sum on the same values: every rounding error it carries is a whole number of
// 2^-u far below 2^(53-u), so its remainder sums without loss and s + c is the exact sum. Both
// give that sum rounded once, divided by the window: the same bits. The integer sum has no
// chain of floating-point additions from bar to bar, and the divisions are left to a loop of
// their own that the optimiser vectorizes.
// Returns false when the values do not allow it, having changed nothing but bars of `out` that
// are then computed again.
bool ExactMovingMean(const double* x, std::int64_t k, int from, int to, double& s, double& c,
                     double* out) {
    const int lo = static_cast<int>(std::max<std::int64_t>(0, from - k + 1));
    // The units come from the largest magnitude of a sample of the values taken in: the first
    // and the last window and 64 bars between. A value well above it fails to convert, or the
    // sum overflows, and the work is left to the compensated sum.
    double largest = 0;
    const auto look = [&](int a, int b) {
        for (int i = std::max(a, lo); i < std::min(b, to); ++i)
            if (IsValid(x[i]) && std::fabs(x[i]) <= DBL_MAX)
                largest = std::max(largest, std::fabs(x[i]));
    };
    const int window = static_cast<int>(std::min<std::int64_t>(k + 1, to - lo));
    look(lo, lo + window);
    look(to - window, to);
    for (int step = 1; step < 64; ++step) {
        const int i = lo + static_cast<int>(static_cast<std::int64_t>(to - lo) * step / 64);
        look(i, i + 1);
    }
    // The finest units that keep the sum of a window (and the bar it takes in) below 2^62 units;
    // a value that is not a whole number of them leaves the work to the compensated sum.
    const double most = (static_cast<double>(k) + 1) * largest;
    int u = most > 0 ? 61 - std::ilogb(most) : 61;
    if (u > 1000) u = 1000; // sums of finer units could round to a subnormal
    if (u < 0) return false;
    const double scale = std::ldexp(1.0, u), unit = std::ldexp(1.0, -u);
    std::int64_t whole = 0;
    // Whether v is a whole number of units (then in `whole`); false for NaN, infinities and
    // magnitudes of 2^63 units or more, which convert to the lowest integer.
    const auto units = [&](double v) {
        const double y = v * scale;
        whole = static_cast<std::int64_t>(std::fabs(y) < 0x1p63 ? y : 0.5);
        return static_cast<double>(whole) == y;
    };
    // The invalid value, when it is a whole number of units, is told apart by its units; else
    // by the lowest integer, which no value converts to.
    const std::int64_t invalidUnits =
        units(kInvalidValue) ? whole : std::numeric_limits<std::int64_t>::min();
    // The state comes in as whole units too. The remainder the compensated sum carries must stay
    // far below 2^(53-u) with what it gathers here (at most 2^(42-u) on sums below 2^63 units).
    if (!(std::fabs(s) * scale < 0x1p62 && std::fabs(c) * scale < 0x1p52) || !units(s))
        return false;
    std::int64_t sum = whole;
    if (!units(c)) return false;
    sum += whole;
    bool gaps = false;
    for (int i = lo; i < from; ++i) {
        if (!IsValid(x[i]))
            gaps = true;
        else if (!units(x[i]))
            return false;
    }
    // Bars with a value hold the sum (rounded) until the divisions below, bars without NaN.
    constexpr double kNoValue = std::numeric_limits<double>::quiet_NaN();
    int i = from;
    // Every value of the windows valid: no test of the value leaving the window.
    const auto plain = [&](double v) {
        std::int64_t next;
        if (!units(v) || whole == invalidUnits || __builtin_add_overflow(sum, whole, &next))
            return false;
        sum = next;
        return true;
    };
    if (!gaps) {
        for (; i < to && i < k - 1 && plain(x[i]); ++i) out[i] = kNoValue;
        if (i >= k - 1 || i == to)
            for (; i < to && plain(x[i]); ++i) {
                out[i] = static_cast<double>(sum);
                // The value leaving the window converted when it came in.
                const auto leaving = static_cast<std::int64_t>(x[i - k + 1] * scale);
                if (__builtin_sub_overflow(sum, leaving, &sum)) return false;
            }
    }
    // From the first missing value (or one `plain` refused, taken again here) on.
    for (; i < to; ++i) {
        const bool valid = IsValid(x[i]);
        if (valid && (!units(x[i]) || __builtin_add_overflow(sum, whole, &sum))) return false;
        if (i < k - 1) {
            out[i] = kNoValue;
            continue;
        }
        const double first = x[i - k + 1];
        if (IsValid(first)) {
            out[i] = valid ? static_cast<double>(sum) : kNoValue;
            units(first);
            if (__builtin_sub_overflow(sum, whole, &sum)) return false;
        } else {
            out[i] = kNoValue;
        }
    }
    const double kd = static_cast<double>(k);
    for (int j = from; j < to; ++j) {
        // Without a branch, so the loop vectorizes: the mean of a sum is finite, NaN is not.
        const double mean = out[j] * unit / kd;
        out[j] = std::fabs(mean) <= DBL_MAX ? mean : kInvalidValue;
    }
    // The state: the sum rounded, and the remainder (below 2^11 units, so exact).
    const double rounded = static_cast<double>(sum);
    if (!(std::fabs(rounded) < 0x1p63)) return false;
    s = rounded * unit;
    c = static_cast<double>(sum - static_cast<std::int64_t>(rounded)) * unit;
    return true;
}

} // namespace

bool MovingMeanBars(const double* x, const Operand& window, int from, int to, MeanState state,
                    double* out, bool exactAllowed) {
    if (from >= to) return true;
    const std::int64_t k = Bars(window.value);
    if (!window.IsSeries() && IsValid(window.value) && k > 0 && exactAllowed &&
        ExactMovingMean(x, k, from, to, state.s, state.c, out)) {
        state.exact = 1;
        return true;
    }
    // The compensated sum goes on only from a state it left itself: from one the exact sum
    // left, its own rounding could take another way than in a run from the first bar.
    if (state.exact != 0) return false;
    // The sums are carried in locals, so the stores into `out` cannot be taken to change
    // them and they stay in registers from bar to bar.
    double total = state.s, carry = state.c;
    RunningSum s{total, carry};
    MeanOverBars(x, window, from, to, s, out);
    state.s = total;
    state.c = carry;
    return true;
}

} // namespace fn
} // namespace vantor
