// Bar distances: BARSLAST, BARSSINCE, BARSNEXT, BARSCOUNT, TOPRANGE, LOWRANGE, BARSSINCEN,
// HOD, LOD, HHVBARS, LLVBARS, SUMBARS.
//
// The functions that look back over a window use structures that answer each bar without
// rescanning the window (a monotonic stack, a next-signal table, offline rank counting, a
// sparse table, a prefix-sum tree); each bar's result is the one the rescan would give.

#include <algorithm>
#include <array>
#include <bit>
#include <limits>
#include <vector>

#include "formula/front_end.h"
#include "formula/function_kernels.h"
#include "formula/function_table.h"
#include "formula/functions_common.h"

namespace vantor::kernels {

namespace {

int Len(std::span<double> out) {
    return static_cast<int>(out.size());
}

// Counts of inserted ranks below a rank (Fenwick tree).
class RankCounter {
public:
    explicit RankCounter(int size) : tree_(static_cast<size_t>(size) + 1, 0) {}
    void Add(int rank) {
        for (size_t i = static_cast<size_t>(rank) + 1; i < tree_.size(); i += i & (~i + 1))
            ++tree_[i];
    }
    // Number of inserted ranks below `rank`.
    int Below(int rank) const {
        int s = 0;
        for (size_t i = static_cast<size_t>(rank); i > 0; i -= i & (~i + 1)) s += tree_[i];
        return s;
    }

private:
    std::vector<int> tree_;
};

// Position of the highest (or lowest) value of any bar range, the earliest of equal values
// winning, in constant time per range.
class ExtremeTable {
public:
    ExtremeTable(std::span<const double> x, bool highest) : x_(x), highest_(highest) {
        const int n = static_cast<int>(x.size());
        levels_.emplace_back(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i) levels_[0][static_cast<size_t>(i)] = i;
        for (int w = 1; 2 * w <= n; w *= 2) {
            const std::vector<int>& prev = levels_.back();
            std::vector<int> next(static_cast<size_t>(n - 2 * w + 1));
            for (size_t i = 0; i < next.size(); ++i) next[i] = Better(prev[i], prev[i + w]);
            levels_.push_back(std::move(next));
        }
    }
    int Find(int lo, int hi) const {
        const int level = std::bit_width(static_cast<unsigned>(hi - lo + 1)) - 1;
        const auto& row = levels_[static_cast<size_t>(level)];
        return Better(row[static_cast<size_t>(lo)],
                      row[static_cast<size_t>(hi - (1 << level) + 1)]);
    }

private:
    int Better(int a, int b) const {
        const double va = x_[static_cast<size_t>(a)], vb = x_[static_cast<size_t>(b)];
        if (va == vb) return std::min(a, b);
        return (highest_ ? vb > va : vb < va) ? b : a;
    }
    std::span<const double> x_;
    bool highest_;
    std::vector<std::vector<int>> levels_;
};

} // namespace

void BarsLast(std::span<const double> x, std::span<double> out) {
    int last = -1;
    for (int i = 0; i < Len(out); ++i) {
        if (!Valid(x[i])) {
            out[i] = kInvalid;
            continue;
        }
        if (x[i] > 0) last = i;
        out[i] = last >= 0 ? i - last : kInvalid;
    }
}

void BarsSince(std::span<const double> x, std::span<double> out) {
    int first = -1;
    for (int i = 0; i < Len(out); ++i) {
        if (!Valid(x[i])) {
            out[i] = kInvalid;
            continue;
        }
        if (first < 0 && x[i] != 0) first = i;
        out[i] = first < 0 ? 0 : i - first + 1;
    }
}

// Walked from the last bar: 1 on a signal, 2, 3, ... on the bars before it; invalid bars are
// passed over without counting.
void BarsNext(std::span<const double> x, std::span<double> out) {
    int count = 0;
    for (int i = Len(out) - 1; i >= 0; --i) {
        if (!Valid(x[i])) {
            out[i] = kInvalid;
        } else if (x[i] != 0) {
            count = 1;
            out[i] = 1;
        } else if (count > 0) {
            out[i] = ++count;
        } else {
            out[i] = kInvalid;
        }
    }
}

void BarsCount(Operand x, std::span<double> out) {
    for (int i = 0; i < Len(out); ++i) out[i] = x.IsConst() || Valid(x[i]) ? i : kInvalid;
}

// The number of bars directly before bar i whose X is below (TOPRANGE) or above (LOWRANGE)
// X[i]: the distance to the nearest earlier bar that is not, found on a monotonic stack.
void TopLowRange(Operand x, bool top, std::span<double> out) {
    const int n = Len(out);
    if (x.IsConst()) {
        std::fill(out.begin(), out.end(), 0.0);
        return;
    }
    std::vector<int> stack;
    stack.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        const double v = x[i];
        while (!stack.empty() && (top ? x[stack.back()] < v : x[stack.back()] > v))
            stack.pop_back();
        const int stop = stack.empty() ? -1 : stack.back();
        out[i] = Valid(v) ? i - stop - 1 : 0;
        stack.push_back(i);
    }
}

// The distance from bar i back to the first bar with X not 0 among bars i-N .. i.
void BarsSinceN(std::span<const double> x, Operand n, std::span<double> out) {
    const int len = Len(out);
    std::vector<int> next(static_cast<size_t>(len) + 1, len); // first signal at or after p
    for (int p = len - 1; p >= 0; --p)
        next[static_cast<size_t>(p)] = x[p] != 0 ? p : next[static_cast<size_t>(p) + 1];
    for (int i = 0; i < len; ++i) {
        if (i == 0) {
            out[i] = kInvalid;
            continue;
        }
        const std::int64_t from = std::max<std::int64_t>(0, i - BarCount(n[i]));
        const int j = from > i ? len : next[static_cast<size_t>(from)];
        out[i] = j <= i ? i - j : kInvalid;
    }
}

// N minus the number of bars of the window before bar i with X below (HOD) or above (LOD)
// X[i]. The window counts are differences of prefix counts, answered offline in bar order
// over the ranks of the values, so each bar costs a logarithm instead of its window.
void HighLowOrder(std::span<const double> x, Operand n, bool high, std::span<double> out) {
    const int len = Len(out);
    if (len == 0) return;
    // NaN has no place in an order; it is ranked as the invalid value.
    auto ordered = [](double v) { return v == v ? v : kInvalid; };
    std::vector<double> sorted(static_cast<size_t>(len));
    for (int i = 0; i < len; ++i)
        sorted[static_cast<size_t>(i)] = ordered(x[static_cast<size_t>(i)]);
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    auto rank = [&](double v) {
        return static_cast<int>(std::lower_bound(sorted.begin(), sorted.end(), v) - sorted.begin());
    };
    std::vector<int> ranks(static_cast<size_t>(len));
    for (int i = 0; i < len; ++i) ranks[static_cast<size_t>(i)] = rank(ordered(x[i]));

    // counted(i, p): bars before p with X beyond X[i] (below for HOD, above for LOD).
    // Queries are bucketed by p: the window lo .. i-1 gives counted(i, i) - counted(i, lo).
    std::vector<int> head(static_cast<size_t>(len) + 1, -1), link(static_cast<size_t>(len), -1);
    std::vector<std::int64_t> k(static_cast<size_t>(len));
    std::vector<int> lo(static_cast<size_t>(len), 0), counts(static_cast<size_t>(len), 0);
    for (int i = 1; i < len; ++i) {
        const std::int64_t w = BarCount(n[i]);
        k[static_cast<size_t>(i)] = w;
        const std::int64_t from = std::max<std::int64_t>(0, i - w + 1);
        if (from >= i) {
            lo[static_cast<size_t>(i)] = i; // empty window
            continue;
        }
        lo[static_cast<size_t>(i)] = static_cast<int>(from);
        if (from > 0) {
            link[static_cast<size_t>(i)] = head[static_cast<size_t>(from)];
            head[static_cast<size_t>(from)] = i;
        }
    }
    RankCounter counter(static_cast<int>(sorted.size()));
    auto counted = [&](int i, int p) {
        const int r = ranks[static_cast<size_t>(i)];
        return high ? counter.Below(r) : p - counter.Below(r + 1);
    };
    for (int p = 0; p < len; ++p) {
        for (int i = head[static_cast<size_t>(p)]; i >= 0; i = link[static_cast<size_t>(i)])
            counts[static_cast<size_t>(i)] -= counted(i, p);
        if (p > 0 && lo[static_cast<size_t>(p)] < p)
            counts[static_cast<size_t>(p)] += counted(p, p);
        counter.Add(ranks[static_cast<size_t>(p)]);
    }
    out[0] = kInvalid;
    for (int i = 1; i < len; ++i)
        out[i] = static_cast<double>(k[static_cast<size_t>(i)] - counts[static_cast<size_t>(i)]);
}

// The distance from bar i to the highest (lowest) X among bars i-N+1 .. i, the earliest of
// equal values winning.
void ExtremeBars(std::span<const double> x, Operand n, bool highest, std::span<double> out) {
    const int len = Len(out);
    if (len == 0) return;
    const ExtremeTable table(x.first(static_cast<size_t>(len)), highest);
    for (int i = 0; i < len; ++i) {
        if (!n.IsConst() && !Valid(n[i])) {
            out[i] = kInvalid;
            continue;
        }
        if (i == 0 || !Valid(x[i])) {
            out[i] = 0;
            continue;
        }
        const std::int64_t w = BarCount(n[i]);
        if (w < 1) {
            out[i] = 0;
            continue;
        }
        const int from = static_cast<int>(std::max<std::int64_t>(0, i - w + 1));
        out[i] = i - table.Find(from, i);
    }
}

// Walking back from bar i over the bars with a value, the number of bars summed when the sum
// first reaches A. With P the prefix sums of the valid values, that is the nearest earlier
// prefix q with P[q] <= P[c] - A, found by descending a tree of prefix minima.
void SumBars(std::span<const double> x, double a, std::span<double> out) {
    const int len = Len(out);
    std::vector<double> prefix{0.0};
    std::vector<int> validUpTo(static_cast<size_t>(len)); // valid bars in 0 .. i
    for (int i = 0; i < len; ++i) {
        if (Valid(x[i])) prefix.push_back(prefix.back() + x[i]);
        validUpTo[static_cast<size_t>(i)] = static_cast<int>(prefix.size()) - 1;
    }
    const int m = static_cast<int>(prefix.size());
    int size = 1;
    while (size < m) size *= 2;
    std::vector<double> tree(2 * static_cast<size_t>(size), std::numeric_limits<double>::max());
    for (int q = 0; q < m; ++q)
        tree[static_cast<size_t>(size + q)] = prefix[static_cast<size_t>(q)];
    for (int v = size - 1; v >= 1; --v)
        tree[static_cast<size_t>(v)] =
            std::min(tree[2 * static_cast<size_t>(v)], tree[2 * static_cast<size_t>(v) + 1]);
    // The largest q <= last with prefix[q] <= limit, or -1.
    std::vector<std::array<int, 3>> todo;
    auto lastAtMost = [&](int last, double limit) {
        todo.assign(1, {1, 0, size - 1});
        while (!todo.empty()) {
            auto [v, l, h] = todo.back();
            todo.pop_back();
            if (l > last || tree[static_cast<size_t>(v)] > limit) continue;
            if (l == h) return l;
            const int mid = (l + h) / 2;
            todo.push_back({2 * v, l, mid}); // searched after the right half
            todo.push_back({2 * v + 1, mid + 1, h});
        }
        return -1;
    };
    for (int i = 0; i < len; ++i) {
        const int c = validUpTo[static_cast<size_t>(i)];
        if (c == 0) {
            out[i] = 0;
            continue;
        }
        const int q = lastAtMost(c - 1, prefix[static_cast<size_t>(c)] - a);
        out[i] = q < 0 ? c : c - q;
    }
}

} // namespace vantor::kernels

namespace vantor {

namespace {

using fn::Operand;
using fn::Span;

// BARSLAST, BARSSINCE, BARSNEXT, BARSCOUNT, TOPRANGE, LOWRANGE: members of the one-operand
// family. A constant X stands for a series holding it on every bar.
enum class Distance { Last, Since, Next, Count, TopRange, LowRange };

template <Distance D>
bool DistanceOf(TGS& gs, const std::string& name, const std::string& func, const TXX& xx) {
    const int n = fn::DataLen(gs);
    Operand x;
    if (!fn::EitherArg(gs, xx, 0, n, x, UpperName(func) + "(X)参数X:", "不存在!")) return false;
    auto out = fn::Output(gs, name, n, {&x});
    if (out.data() == nullptr) return false;
    if constexpr (D == Distance::Count) {
        kernels::BarsCount(x, out);
    } else if constexpr (D == Distance::TopRange || D == Distance::LowRange) {
        kernels::TopLowRange(x, D == Distance::TopRange, out);
    } else {
        std::span<const double> xs;
        if (x.IsSeries()) {
            xs = Span(x, n);
        } else {
            double* filled = gs.Scratch(7, n);
            std::fill_n(filled, n, x.value);
            xs = {filled, static_cast<size_t>(n)};
        }
        if constexpr (D == Distance::Last)
            kernels::BarsLast(xs, out);
        else if constexpr (D == Distance::Since)
            kernels::BarsSince(xs, out);
        else
            kernels::BarsNext(xs, out);
    }
    return true;
}

// BARSSINCEN, HOD, LOD, HHVBARS, LLVBARS, SUMBARS: members of the moving-window family.
enum class WindowDistance { SinceN, Hod, Lod, HhvBars, LlvBars, SumBars };

template <WindowDistance D>
bool DistanceWindow(TGS& gs, const std::string& name, const std::string& func, const TXX& xx) {
    fn::Window w;
    if (!fn::WindowArgs(gs, func, xx, w)) return false;
    if (w.Unchanged()) return fn::StoreCopy(gs, name, w.len, w.x);
    auto out = fn::Output(gs, name, w.len, {&w.x, &w.n});
    if (out.data() == nullptr) return false;
    const auto x = Span(w.x, w.len);
    if constexpr (D == WindowDistance::SinceN)
        kernels::BarsSinceN(x, w.n, out);
    else if constexpr (D == WindowDistance::Hod || D == WindowDistance::Lod)
        kernels::HighLowOrder(x, w.n, D == WindowDistance::Hod, out);
    else if constexpr (D == WindowDistance::HhvBars || D == WindowDistance::LlvBars)
        kernels::ExtremeBars(x, w.n, D == WindowDistance::HhvBars, out);
    else
        kernels::SumBars(x, fn::ValueOf(w.n, w.len), out);
    return true;
}

} // namespace

void RegisterBarDistanceFunctions(HandlerRegistry& r) {
    r["barslast"] = DistanceOf<Distance::Last>;
    r["barssince"] = DistanceOf<Distance::Since>;
    r["barsnext"] = DistanceOf<Distance::Next>;
    r["barscount"] = DistanceOf<Distance::Count>;
    r["toprange"] = DistanceOf<Distance::TopRange>;
    r["lowrange"] = DistanceOf<Distance::LowRange>;
    r["barssincen"] = DistanceWindow<WindowDistance::SinceN>;
    r["hod"] = DistanceWindow<WindowDistance::Hod>;
    r["lod"] = DistanceWindow<WindowDistance::Lod>;
    r["hhvbars"] = DistanceWindow<WindowDistance::HhvBars>;
    r["llvbars"] = DistanceWindow<WindowDistance::LlvBars>;
    r["sumbars"] = DistanceWindow<WindowDistance::SumBars>;
}

} // namespace vantor
