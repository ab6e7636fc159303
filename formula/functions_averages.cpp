// Moving-window functions (MA, EMA, MEMA, EXPMEMA, WMA, XMA, DMA, SUM, HHV, LLV, REF,
// FORECAST) and the smoothing SMA. X is a series; N a series or a constant, truncated to
// whole bars where it counts bars.

#include <algorithm>
#include <array>
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <vector>

#include "formula/front_end.h"
#include "formula/function_args.h"
#include "formula/function_table.h"
#include "formula/functions_common.h"

namespace vantor {

namespace {

using fn::Bars;
using fn::Operand;
using fn::Window;

constexpr double kInvalid = kInvalidValue;

// Prefix sums of x (invalid values as numbers): p[i] is the sum of x[0..i-1], compensated.
double* PrefixSums(TGS& gs, const double* x, int n) {
    double* p = gs.Scratch(4, n + 1);
    double s = 0, c = 0;
    fn::RunningSum sum{s, c};
    p[0] = 0;
    for (int i = 0; i < n; ++i) {
        sum.Add(x[i]);
        p[i + 1] = sum.Value();
    }
    return p;
}

// The running sum of MovingMean is kept before the newest bar and after the last, so that
// a replay step (newest bar changed, or one bar added) resumes it exactly.
bool MaFrom(TGS& gs, const Window& w, int from, bool exactAllowed, double* out) {
    ResumeState s{};
    if (from > 0 && !fn::Resume(gs, from, s)) from = fn::EveryBar(gs);
    const int last = std::max(from, w.len - 1);
    const fn::MeanState state{s[0], s[1], s[2]};
    if (!fn::MovingMeanBars(w.x.data, w.n, from, last, state, out, exactAllowed)) return false;
    if (last == w.len - 1) fn::Keep(gs, 0, last, s);
    if (!fn::MovingMeanBars(w.x.data, w.n, last, w.len, state, out, exactAllowed)) return false;
    fn::Keep(gs, 1, w.len, s);
    return true;
}

void Ma(TGS& gs, const Window& w, double* out) {
    if (!MaFrom(gs, w, fn::FirstBar(gs, w.len), true, out))
        MaFrom(gs, w, fn::EveryBar(gs), false, out);
}

// y = keep * (the bar before) + take * x over bars from..n-1: an invalid x gives an
// invalid bar, and the bar after an invalid one (or bar 0) starts again at x. The bar
// before is carried in a register, not read back from `out`. Runs of ordinary bars take the
// inner loop, whose chain from one bar to the next is one product and one sum: every test
// there leaves the loop instead of choosing a value, and the bar that left it is worked out
// by the general step below, with the same arithmetic.
void Smooth(const double* x, int from, int n, double keep, double take, double* out) {
    double prev = from > 0 ? out[from - 1] : kInvalid;
    int i = from;
    while (i < n) {
        if (IsValid(prev)) {
            for (; i < n; ++i) {
                const double xi = x[i];
                const double v = keep * prev + take * xi;
                if (!IsValid(xi) || !(std::fabs(v) <= DBL_MAX) || !IsValid(v)) break;
                out[i] = v;
                prev = v;
            }
            if (i == n) break;
        }
        const double xi = x[i];
        double v;
        if (!IsValid(xi))
            v = kInvalid;
        else if (!IsValid(prev))
            v = xi;
        else
            v = Finite(keep * prev + take * xi);
        out[i] = v;
        prev = v;
        ++i;
    }
}

// The EMA step from bar `from` on; weights from N (per bar for a series N).
void EmaFrom(const Window& w, std::int64_t constN, int from, double* out) {
    if (!w.n.IsSeries()) {
        // A constant window: the weights are worked out once, keeping the division out of
        // the chain from one bar to the next.
        const double k = static_cast<double>(constN);
        if (!IsValid(k) || k + 1 == 0) {
            for (int i = from; i < w.len; ++i) out[i] = kInvalid;
            return;
        }
        Smooth(w.x.data, from, w.len, (k - 1) / (k + 1), 2 / (k + 1), out);
        return;
    }
    for (int i = from; i < w.len; ++i) {
        const double xi = w.x.data[i];
        const double nv = w.n.IsSeries() ? w.n.data[i] : static_cast<double>(constN);
        const double k = w.n.IsSeries() ? static_cast<double>(Bars(nv)) : nv;
        if (!IsValid(xi) || !IsValid(nv))
            out[i] = kInvalid;
        else if (!IsValid(out[i - 1]))
            out[i] = xi;
        else
            out[i] = k + 1 == 0 ? kInvalid : Finite(((k - 1) * out[i - 1] + 2 * xi) / (k + 1));
    }
}

void Ema(TGS& gs, const Window& w, double* out) {
    if (w.len == 0) return;
    int from = fn::FirstBar(gs, w.len);
    std::int64_t k = Bars(w.n.value);
    // A constant window is clipped to the data; bars kept from the previous run saw the
    // same window only when it did not reach past them.
    if (!w.n.IsSeries() && k > from - 1) from = fn::EveryBar(gs);
    if (!w.n.IsSeries() && k > w.len - 1) k = w.len - 1;
    if (from == 0) out[0] = w.x.data[0];
    EmaFrom(w, k, std::max(from, 1), out);
}

void Mema(TGS&, const Window& w, double* out) {
    std::int64_t k = Bars(w.n.value);
    if (k > w.len - 1) k = w.len - 1;
    if (w.n.IsSeries() || k <= 0) { // a window clipped to nothing has no mean
        for (int i = 0; i < w.len; ++i) out[i] = kInvalid;
        return;
    }
    double sum = 0;
    for (int i = 0; i < w.len; ++i) {
        const double xi = w.x.data[i];
        if (i < k) {
            sum += xi;
            out[i] = Finite(sum / (i + 1));
        } else if (!IsValid(xi)) {
            out[i] = kInvalid;
        } else if (!IsValid(out[i - 1])) {
            out[i] = xi;
        } else {
            out[i] = Finite(((k - 1) * out[i - 1] + xi) / static_cast<double>(k));
        }
    }
}

void ExpMema(TGS&, const Window& w, double* out) {
    const std::int64_t k = Bars(w.n.value);
    if (w.len == 0) return;
    if (w.n.IsSeries() || k <= 0) {
        for (int i = 0; i < w.len; ++i) out[i] = kInvalid;
        return;
    }
    out[0] = w.x.data[0];
    double sum = w.x.data[0];
    int i = 1;
    for (; i < w.len && i < k; ++i) {
        sum += w.x.data[i];
        out[i] = Finite(sum / (i + 1));
    }
    Window c = w;
    c.n = Operand{};
    c.n.value = static_cast<double>(k);
    EmaFrom(c, k, i, out);
}

// Weighted mean of one bar: newer bars weigh more.
double WmaAt(const double* x, int i, std::int64_t k, double& prefixWeighted) {
    if (i < k) return Finite(prefixWeighted / ((i + 1.0) * (i + 2.0) / 2.0));
    double s = 0;
    for (std::int64_t m = 0; m < k; ++m) s += static_cast<double>(k - m) * x[i - m];
    return Finite(s / (static_cast<double>(k) * (k + 1.0) / 2.0));
}

void Wma(TGS&, const Window& w, double* out) {
    double prefix = 0; // sum of (j+1) * x[j] for j = 0..i
    for (int i = 0; i < w.len; ++i) {
        prefix += (i + 1.0) * w.x.data[i];
        const double nv = w.n.IsSeries() ? w.n.data[i] : w.n.value;
        const std::int64_t k = Bars(nv);
        out[i] = (!IsValid(nv) || k <= 0) ? kInvalid : WmaAt(w.x.data, i, k, prefix);
    }
}

void Xma(TGS& gs, const Window& w, double* out) {
    const double* p = PrefixSums(gs, w.x.data, w.len);
    const std::int64_t constHalf = Bars(w.n.value) - (Bars(w.n.value) / 2 + 1);
    for (int i = 0; i < w.len; ++i) {
        std::int64_t half = constHalf;
        if (w.n.IsSeries()) half = IsValid(w.n.data[i]) ? Bars(w.n.data[i]) - 1 : -1;
        if (half < 0) {
            out[i] = kInvalid;
            continue;
        }
        const std::int64_t a = std::max<std::int64_t>(0, i - half);
        const std::int64_t b = std::min<std::int64_t>(w.len - 1, i + half);
        out[i] = Finite((p[b + 1] - p[a]) / static_cast<double>(b - a + 1));
    }
}

void Dma(TGS& gs, const Window& w, double* out) {
    for (int i = fn::FirstBar(gs, w.len); i < w.len; ++i) {
        const double xi = w.x.data[i];
        const double a = w.n[i];
        if (!IsValid(xi) || !IsValid(a))
            out[i] = kInvalid;
        else if (i == 0 || !IsValid(out[i - 1]) || a >= 1)
            out[i] = xi;
        else
            out[i] = Finite(a * xi + (1 - a) * out[i - 1]);
    }
}

void Sum(TGS& gs, const Window& w, double* out) {
    if (!w.n.IsSeries()) {
        // The running sum is kept as MA keeps its own.
        const std::int64_t k = Bars(w.n.value);
        int from = fn::FirstBar(gs, w.len);
        ResumeState state{};
        if (from > 0 && !fn::Resume(gs, from, state)) from = fn::EveryBar(gs);
        fn::RunningSum s{state[0], state[1]};
        for (int i = from; i < w.len; ++i) {
            if (i == w.len - 1) fn::Keep(gs, 0, i, state);
            s.Add(w.x.data[i]);
            if (k > 0 && i >= k) s.Add(-w.x.data[i - k]);
            out[i] = k < 0 ? kInvalid : Finite(s.Value());
        }
        fn::Keep(gs, 1, w.len, state);
        return;
    }
    const double* p = PrefixSums(gs, w.x.data, w.len);
    for (int i = 0; i < w.len; ++i) {
        const double nv = w.n.data[i];
        const std::int64_t k = Bars(nv);
        const std::int64_t a = (!IsValid(nv) || k <= 0) ? 0 : std::max<std::int64_t>(0, i - k + 1);
        out[i] = Finite(p[i + 1] - p[a]);
    }
}

// Of a bar and a later one, the later unless the earlier is strictly better: the window's
// extreme is then its best value at the latest bar that holds it, whatever the grouping.
template <bool highest> inline double Pick(double earlier, double later) {
    return (highest ? earlier > later : earlier < later) ? earlier : later;
}

// The extreme of every window of k > 0 bars ending at from..n-1 by blocks of k bars from bar
// 0: each block's running extreme from its start (g) and towards its end (h), so a window
// that straddles two blocks is Pick(h of its first bar, g of its last). A few steps per bar
// whatever k, without the unpredictable branches of a queue. Values that do not compare
// (NaN) would make Pick depend on the grouping: then nothing is written and false returned.
template <bool highest>
bool BlockExtreme(TGS& gs, const double* x, std::int64_t k, std::int64_t start, int from, int n,
                  double* out) {
    const std::int64_t first = start - start % k; // the block holding `start`
    bool unordered = false;
    for (std::int64_t j = first; j < n; ++j) unordered |= x[j] != x[j];
    if (unordered) return false;
    double* g = gs.Scratch(4, n);
    double* h = gs.Scratch(5, n);
    for (std::int64_t b = first; b < n; b += k) {
        const std::int64_t end = std::min<std::int64_t>(b + k, n);
        g[b] = x[b];
        for (std::int64_t j = b + 1; j < end; ++j) g[j] = Pick<highest>(g[j - 1], x[j]);
        h[end - 1] = x[end - 1];
        for (std::int64_t j = end - 2; j >= b; --j) h[j] = Pick<highest>(x[j], h[j + 1]);
    }
    for (int i = from; i < n; ++i) {
        const std::int64_t s = i - k + 1; // the window's first bar
        const double best = s > 0 ? Pick<highest>(h[s], g[i]) : g[i];
        out[i] = (i == 0 || !IsValid(x[i])) ? x[i] : best;
    }
    return true;
}

// HHV (highest) and LLV (lowest): the extreme of the window, invalid values as numbers.
// A window of 0 or fewer bars reaches back to bar 0.
template <bool highest> void Extreme(TGS& gs, const Window& w, double* out) {
    auto better = [](double a, double b) { return highest ? a > b : a < b; };
    const double* x = w.x.data;
    const int from = fn::FirstBar(gs, w.len);
    if (!w.n.IsSeries()) {
        const std::int64_t k = Bars(w.n.value);
        // The candidates of a window depend only on the bars inside it, so the queue is
        // rebuilt from the first window that ends at `from`.
        const std::int64_t start = k > 0 ? std::max<std::int64_t>(0, from - k + 1) : 0;
        if (start >= w.len) return;
        if (k > 0 && BlockExtreme<highest>(gs, x, k, start, from, w.len, out)) return;
        // The bars of the window whose values may still be the extreme, oldest first, in a
        // ring: a window of k bars never holds more than k + 1 of them.
        const std::int64_t span = w.len - start;
        const auto room = static_cast<std::size_t>(k > 0 ? std::min(k + 1, span) : span);
        std::vector<int> ring(std::bit_ceil(room));
        const std::size_t mask = ring.size() - 1;
        std::size_t head = 0, tail = 0; // the queue is ring[head..tail), indices taken & mask
        for (int i = static_cast<int>(start); i < w.len; ++i) {
            while (tail != head && !better(x[ring[(tail - 1) & mask]], x[i])) --tail;
            ring[tail++ & mask] = i;
            if (k > 0)
                while (ring[head & mask] < i - k + 1) ++head;
            if (i >= from) out[i] = (i == 0 || !IsValid(x[i])) ? x[i] : x[ring[head & mask]];
        }
        return;
    }
    for (int i = from; i < w.len; ++i) {
        const double nv = w.n.data[i];
        if (i == 0 || !IsValid(x[i])) {
            out[i] = x[i];
            continue;
        }
        if (!IsValid(nv)) {
            out[i] = x[0];
            continue;
        }
        const std::int64_t k = Bars(nv);
        const std::int64_t a = k <= 0 ? 0 : std::max<std::int64_t>(0, i - k + 1);
        double best = x[a];
        for (std::int64_t j = a + 1; j <= i; ++j)
            if (better(x[j], best)) best = x[j];
        out[i] = best;
    }
}

void Ref(TGS& gs, const Window& w, double* out) {
    // Only a constant distance of 0 or more bars looks back alone.
    const bool back = !w.n.IsSeries() && IsValid(w.n.value) && Bars(w.n.value) >= 0;
    for (int i = back ? fn::FirstBar(gs, w.len) : 0; i < w.len; ++i) {
        const double nv = w.n[i];
        if (!IsValid(nv)) {
            out[i] = kInvalid;
            continue;
        }
        const std::int64_t k = Bars(nv);
        const std::int64_t j = i - k;
        // Bars past the data read as the zero-filled storage beyond the series.
        out[i] = i < k ? w.x.data[0] : (j < w.len ? w.x.data[j] : 0.0);
    }
}

void Forecast(TGS& gs, const Window& w, double* out) {
    Wma(gs, w, out);
    const double* p = PrefixSums(gs, w.x.data, w.len);
    for (int i = 0; i < w.len; ++i) {
        const double nv = w.n[i];
        const std::int64_t k = Bars(nv);
        if (!IsValid(out[i]) || !IsValid(nv) || k <= 0) {
            out[i] = kInvalid;
            continue;
        }
        const std::int64_t cnt = std::min<std::int64_t>(i + 1, k);
        const double mean = (p[i + 1] - p[i + 1 - cnt]) / static_cast<double>(cnt);
        out[i] = Finite(3 * out[i] - 2 * mean);
    }
}

// When a member returns X unchanged: for a constant N of 0 (most), never (SUM: the running
// sum), or for a constant N of 1 and more (DMA: the weight of the newest bar is 1).
enum class Unchanged { OnZero, Never, OnOneOrMore };

using Member = void (*)(TGS& gs, const Window& w, double* out);

// One member of the family: the arguments as the family reads them (reported under
// `shown`, else under the name called), X unchanged where the member says so, else its
// kernel over the output series.
// The members reported under the name called.
constexpr char kCalled[] = "";

template <Member kernel, Unchanged unchanged, const char* shown = kCalled>
bool MovingWindow(TGS& gs, const std::string& name, const std::string& func, const TXX& xx) {
    Window w;
    if (!fn::WindowArgs(gs, shown[0] ? std::string(shown) : func, xx, w)) return false;
    const bool constN = !w.n.IsSeries();
    if ((unchanged == Unchanged::OnZero && constN && Bars(w.n.value) == 0) ||
        (unchanged == Unchanged::OnOneOrMore && constN && w.n.value >= 1))
        return fn::StoreCopy(gs, name, w.len, w.x);
    // These kernels set every bar from FirstBar on.
    constexpr bool fills = kernel == &Ma || kernel == &Ema || kernel == &Ref;
    double* out = fn::BeginSeries(gs, name, w.len, {&w.x, &w.n}, fills);
    if (!out) return false;
    kernel(gs, w, out);
    return true;
}

// EMA and EXPMA are one function, reported as EMA.
constexpr char kEma[] = "EMA";

bool Sma(TGS& gs, const std::string& name, const std::string&, const TXX& xx) {
    const int n = fn::DataLen(gs);
    Operand x, nArg;
    double m = 0;
    auto arg = [&](int i) { return i < xx.count ? xx[i] : std::string(); };
    if (!fn::AsSeries(gs, arg(0), n, x))
        return fn::Fail(gs, "SMA(X,N,M)参数X:" + arg(0) + "没有定义!");
    if (!fn::AsEither(gs, arg(1), n, nArg))
        return fn::Fail(gs, "SMA(X,N,M)参数N:" + arg(1) + "没有定义!");
    if (!fn::AsConstant(gs, arg(2), m))
        return fn::Fail(gs, "SMA(X,N,M)参数M:" + arg(2) + "没有定义!");
    double* out = fn::BeginSeries(gs, name, n, {&x, &nArg}, true);
    if (!out) return false;
    const int from = fn::FirstBar(gs, n);
    const double constK = static_cast<double>(Bars(nArg.value));
    if (!nArg.IsSeries() && IsValid(nArg.value) && constK != 0) {
        // A constant N: the weights are worked out once, keeping the division out of the
        // chain from one bar to the next.
        Smooth(x.data, from, n, (constK - m) / constK, m / constK, out);
        return true;
    }
    for (int i = from; i < n; ++i) {
        const double xi = x.data[i];
        const double nv = nArg[i];
        const double k = static_cast<double>(Bars(nv));
        if (!IsValid(xi) || !IsValid(nv) || k == 0)
            out[i] = kInvalid;
        else if (i == 0 || !IsValid(out[i - 1]))
            out[i] = xi;
        else
            out[i] = Finite(((k - m) * out[i - 1] + m * xi) / k);
    }
    return true;
}

// MULAR(X,N): the product of X over the last N bars, over every bar so far when N is 0;
// invalid where X is or where the window reaches before bar 0 or over an invalid value.
bool Mular(TGS& gs, const std::string& name, const std::string&, const TXX& xx) {
    Window w;
    if (!fn::WindowArgs(gs, "MULAR", xx, w)) return false;
    double* out = fn::BeginSeries(gs, name, w.len, {&w.x, &w.n});
    if (!out) return false;
    double running = 1;
    for (int i = 0; i < w.len; ++i) {
        const double xi = w.x.data[i];
        if (IsValid(xi)) running *= xi;
        const double nv = w.n[i];
        const std::int64_t k = Bars(nv);
        if (!IsValid(xi) || !IsValid(nv) || k < 0 || k > i + 1) {
            out[i] = kInvalid;
        } else if (k == 0) {
            out[i] = Finite(running);
        } else {
            double p = 1;
            for (std::int64_t j = i - k + 1; j <= i && IsValid(p); ++j)
                p = IsValid(w.x.data[j]) ? p * w.x.data[j] : kInvalid;
            out[i] = Finite(p);
        }
    }
    return true;
}

} // namespace

void RegisterAverageFunctions(HandlerRegistry& r) {
    r["mular"] = Mular;
    r["ma"] = MovingWindow<Ma, Unchanged::OnZero>;
    r["ema"] = r["expma"] = MovingWindow<Ema, Unchanged::OnZero, kEma>;
    r["mema"] = MovingWindow<Mema, Unchanged::OnZero>;
    r["expmema"] = MovingWindow<ExpMema, Unchanged::OnZero>;
    r["wma"] = MovingWindow<Wma, Unchanged::OnZero>;
    r["xma"] = MovingWindow<Xma, Unchanged::OnZero>;
    r["dma"] = MovingWindow<Dma, Unchanged::OnOneOrMore>;
    r["sum"] = MovingWindow<Sum, Unchanged::Never>;
    r["hhv"] = MovingWindow<Extreme<true>, Unchanged::OnZero>;
    r["llv"] = MovingWindow<Extreme<false>, Unchanged::OnZero>;
    r["ref"] = MovingWindow<Ref, Unchanged::OnZero>;
    r["forecast"] = MovingWindow<Forecast, Unchanged::OnZero>;
    r["sma"] = Sma;
}

} // namespace vantor
