#pragma once
// Shared rules of the function handlers: resolving an argument text as a series, a
// constant or either, storing a series or constant result, and reporting a failure.
// Every family of functions (functions_<family>.cpp) builds on these.

#include <array>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "formula/bian.h"
#include "formula/gs.h"
#include "formula/operand.h"

namespace vantor {

// Upper-case form of a function name, for messages.
std::string UpperName(std::string_view name);
// A number as "%f" (six decimals), the text form of every stored constant.
std::string FormatFixed(double v);

namespace fn {

// Truncates a count of bars toward zero, bounded so that it always fits an int64 and
// stays far beyond any series length. The invalid value stays the invalid value.
inline std::int64_t Bars(double v) {
    if (!(v == v)) return 0;
    if (v > 1e12) return 1000000000000LL;
    if (v < -1e12) return -1000000000000LL;
    return static_cast<std::int64_t>(v);
}

// Truncates to a 64-bit integer; false when the value does not fit (or is NaN).
inline bool ToInt64(double v, std::int64_t& out) {
    if (!(v > -9.2e18 && v < 9.2e18)) return false;
    out = static_cast<std::int64_t>(v);
    return true;
}

// One resolved argument: a series (data holds at least the data length) or a constant.
using vantor::Operand;

// The data length of the program (the length of close), within the series capacity.
int DataLen(const TGS& gs);

// Puts `message` into FErrorString and returns false.
bool Fail(TGS& gs, const std::string& message);

// Resolves `text` as a series (full name resolution); its storage is grown to n.
bool AsSeries(TGS& gs, const std::string& text, int n, Operand& out);
// Resolves `text` as a constant.
bool AsConstant(TGS& gs, const std::string& text, double& out);
// Resolves `text` as a series, failing that as a constant.
bool AsEither(TGS& gs, const std::string& text, int n, Operand& out);

// The series result `name` of length n (found or created through AddBian). An input that
// is the result series itself is first copied aside, so the handler may read it while
// writing the result. Returns nullptr (with FErrorString set) when the name is refused.
// `fills`: the handler sets every bar from FirstBar on, so a new series need not be zeroed
// first when that is bar 0.
double* BeginSeries(TGS& gs, const std::string& name, int n, std::initializer_list<Operand*> inputs,
                    bool fills = false);

// Incremental runs. A handler whose value at bar i depends only on its inputs at bars up
// to i and on its own results before i may compute only the bars from FirstBar on: the
// bars before it hold the previous run's results, which a full run would reproduce. It
// asks after resolving every argument (the series read count). A handler that does not
// ask computes every bar.
int FirstBar(TGS& gs, int n);
// Records that the handler computed every bar after all; returns 0.
int EveryBar(TGS& gs);
// The running state the previous run kept for the bar `from` (see Keep); false when it
// kept none for that bar.
bool Resume(TGS& gs, int from, ResumeState& state);
// Keeps the running state before bar `at` (slot 0 or 1) for the next run.
void Keep(TGS& gs, int slot, int at, const ResumeState& state);

// Stores a constant result name=value ("%f"); NaN and infinities store the invalid value.
void StoreConst(TGS& gs, const std::string& name, double v);

// Copies X (first n values) into the result, for the members that return X unchanged.
bool StoreCopy(TGS& gs, const std::string& name, int n, Operand& x);

// A running sum that carries the rounding error of each step (Neumaier's compensation), so a
// sum of many bars is as exact as one of few: two averages that are equal in decimal
// arithmetic come out equal, whatever came before the window. The value is s + c.
struct RunningSum {
    double& s;
    double& c;
    void Add(double v) {
        const double t = s + v;
        c += std::fabs(s) >= std::fabs(v) ? (s - t) + v : (v - t) + s;
        s = t;
    }
    double Value() const { return s + c; }
};

// Moving mean of x as MA computes it: a running sum, invalid until the window holds only
// valid values. The window (bars, truncated) is a constant or read per bar; 0 gives the
// running mean of all bars so far; a negative or invalid window gives no value.
void MovingMean(const double* x, int n, const Operand& window, double* out);
// The running state of MovingMeanBars between calls: the compensated sum, and `exact`, 1
// when the last call summed in whole units (the sum is then s + c split as a rounded value and
// its remainder, which the compensated sum need not reach on the same bars).
struct MeanState {
    double& s;
    double& c;
    double& exact;
};
// Bars from..to-1 of MovingMean, carrying its running sum from bar to bar. Returns false, and
// computes nothing, when the state was left by the exact sum and these bars must be summed with
// the compensated sum: the caller then runs every bar again from a zero state with exactAllowed
// false, which always succeeds and gives what a run from the first bar gives.
bool MovingMeanBars(const double* x, const Operand& window, int from, int to, MeanState state,
                    double* out, bool exactAllowed);
inline void MovingMean(const double* x, int n, std::int64_t k, double* out) {
    Operand w;
    w.value = static_cast<double>(k);
    MovingMean(x, n, w, out);
}

} // namespace fn
} // namespace vantor
