#include "formula/function_args.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

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

double* BeginSeries(TGS& gs, const std::string& name, int n,
                    std::initializer_list<Operand*> inputs) {
    Tbian* result = gs.AddBian(name, n);
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
    double* out = BeginSeries(gs, name, n, {&x});
    if (!out) return false;
    if (out != x.data) std::memcpy(out, x.data, sizeof(double) * static_cast<size_t>(n));
    return true;
}

void MovingMean(const double* x, int n, const Operand& window, double* out) {
    double s = 0, c = 0;
    MovingMeanBars(x, window, 0, n, {s, c}, out);
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

} // namespace

void MovingMeanBars(const double* x, const Operand& window, int from, int to, RunningSum sum,
                    double* out) {
    // The sums are carried in locals, so the stores into `out` cannot be taken to change
    // them and they stay in registers from bar to bar.
    double total = sum.s, carry = sum.c;
    RunningSum s{total, carry};
    MeanOverBars(x, window, from, to, s, out);
    sum.s = total;
    sum.c = carry;
}

} // namespace fn
} // namespace vantor
