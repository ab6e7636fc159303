// Turning points (ZIG, PEAK, PEAKBARS, TROUGH, TROUGHBARS), stop and reverse (SAR, SARTURN)
// and the volume-at-price functions (COST, WINNER).

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <deque>
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
} // namespace

// Walks the bars keeping the running highest (hi at bar d) and lowest (lo at bar f) since
// the last confirmed point. A trough is confirmed when the value rises more than x percent
// above lo, a peak when it falls more than x percent below hi; the walk then resumes after
// the confirmed bar. The last bar closes the last swing.
std::vector<int> TurningPoints(std::span<const double> s, double x) {
    const int n = static_cast<int>(s.size());
    std::vector<char> mark(static_cast<size_t>(n), 0);
    enum { kEither, kTroughNext, kPeakNext } state = kEither;
    const double up = 1 + x / 100, down = 1 - x / 100;
    const int last = n - 1;
    bool seen = false;
    double hi = 0, lo = 0;
    int d = -1, f = -1;
    int t = 0;
    while (t < n) {
        const double v = s[static_cast<size_t>(t)];
        if (!Valid(v)) {
            ++t;
            continue;
        }
        if (!seen || v > hi) hi = v, d = t;
        if (!seen || v < lo) lo = v, f = t;
        seen = true;
        if (state != kPeakNext && t >= 1 && t != f && (v / lo > up || t == last)) {
            mark[static_cast<size_t>(f)] = 1;
            if (t == last) mark[static_cast<size_t>(t)] = 1;
            seen = false;
            state = kPeakNext;
            t = t == last ? t + 1 : f + 1;
            continue;
        }
        if (state != kTroughNext && t >= 1 && t != d && (v / hi < down || t == last)) {
            mark[static_cast<size_t>(d)] = 1;
            if (t == last) mark[static_cast<size_t>(t)] = 1;
            seen = false;
            state = kTroughNext;
            t = t == last ? t + 1 : d + 1;
            continue;
        }
        ++t;
    }
    // The first and the last bar with a value always hold the source values.
    int first = 0, end = n - 1;
    while (first < n && !Valid(s[static_cast<size_t>(first)])) ++first;
    while (end >= 0 && !Valid(s[static_cast<size_t>(end)])) --end;
    if (first < n) mark[static_cast<size_t>(first)] = 1;
    if (end >= 0) mark[static_cast<size_t>(end)] = 1;
    std::vector<int> points;
    for (int i = 0; i < n; ++i)
        if (mark[static_cast<size_t>(i)]) points.push_back(i);
    return points;
}

void Zig(std::span<const double> s, double x, std::span<double> out) {
    std::fill(out.begin(), out.end(), kInvalid);
    const std::vector<int> points = TurningPoints(s.first(out.size()), x);
    if (points.empty()) return;
    out[static_cast<size_t>(points[0])] = s[static_cast<size_t>(points[0])];
    for (size_t k = 1; k < points.size(); ++k) {
        const int a = points[k - 1], b = points[k];
        const double sa = s[static_cast<size_t>(a)], sb = s[static_cast<size_t>(b)];
        for (int j = a; j <= b; ++j)
            out[static_cast<size_t>(j)] = Finite(sa + (sb - sa) / (b - a) * (j - a));
    }
}

// A turning point above (below) the one before it is a peak (trough); bar i reads the m-th
// most recent one at or before it.
void PeakTrough(std::span<const double> s, double x, std::int64_t m, bool peak, bool bars,
                std::span<double> out) {
    const int n = Len(out);
    const std::vector<int> points = TurningPoints(s.first(out.size()), x);
    std::vector<int> found;
    for (size_t k = 1; k < points.size(); ++k) {
        const double now = s[static_cast<size_t>(points[k])];
        const double before = s[static_cast<size_t>(points[k - 1])];
        if (peak ? now > before : now < before) found.push_back(points[k]);
    }
    std::int64_t known = 0;
    for (int i = 0; i < n; ++i) {
        while (known < static_cast<std::int64_t>(found.size()) &&
               found[static_cast<size_t>(known)] <= i)
            ++known;
        if (m < 1 || known < m) {
            out[i] = kInvalid;
            continue;
        }
        const int at = found[static_cast<size_t>(known - m)];
        out[i] = bars ? i - at : s[static_cast<size_t>(at)];
    }
}

// Stop and reverse over the highest high and lowest low of the n bars before each bar,
// kept on monotonic queues.
bool Sar(std::span<const double> high, std::span<const double> low, std::int64_t n, double s,
         double m, bool turn, std::span<double> out, SarResume* resume) {
    const int len = Len(out);
    if (len < 2 || n < 1 || n > len) return false;
    const double step = static_cast<double>(BarCount(s)) / 100;
    const double limit = static_cast<double>(BarCount(m)) / 100;
    const int w = static_cast<int>(n);
    // The trend starts from bars 0 and 1, so a resumed run begins at bar 2 at the earliest.
    const int from = resume && resume->from >= 2 ? std::min(resume->from, len) : 0;
    for (int i = from; i < w; ++i) out[i] = turn ? 0 : kInvalid;
    bool rising = !((high[1] - high[0]) + (low[1] - low[0]) < 0);
    double a = step, prev = 0;
    std::int64_t k = 0;
    if (from > 0) {
        rising = resume->start.rising;
        a = resume->start.a;
        prev = resume->start.prev;
        k = resume->start.k;
    }
    auto state = [&] { return SarState{rising, a, prev, k}; };
    std::deque<int> hq, lq; // bars of the window, highs falling and lows rising
    // The queues hold bars of the window only, so they are rebuilt from the window of the
    // first bar computed.
    for (int i = std::max(1, from - w); i < len; ++i) {
        if (resume && i == len - 1 && i >= from) {
            resume->atLast = state();
            resume->hasLast = true;
        }
        const int j = i - 1;
        while (!hq.empty() && high[static_cast<size_t>(hq.back())] <= high[static_cast<size_t>(j)])
            hq.pop_back();
        hq.push_back(j);
        while (!lq.empty() && low[static_cast<size_t>(lq.back())] >= low[static_cast<size_t>(j)])
            lq.pop_back();
        lq.push_back(j);
        while (hq.front() < i - w) hq.pop_front();
        while (lq.front() < i - w) lq.pop_front();
        if (i < w || i < from) continue;
        const double hh = high[static_cast<size_t>(hq.front())];
        const double ll = low[static_cast<size_t>(lq.front())];
        double sar;
        if (k == 0) {
            sar = rising ? ll : hh;
        } else {
            if (rising ? high[static_cast<size_t>(i)] > hh : low[static_cast<size_t>(i)] <= ll)
                a = std::min(a + step, limit);
            sar = prev + ((rising ? hh : ll) - prev) * a;
        }
        const bool turns =
            rising ? sar >= low[static_cast<size_t>(i)] : sar < high[static_cast<size_t>(i)];
        if (turn)
            out[i] = turns ? (rising ? -1 : 1) : 0;
        else
            out[i] = Finite(sar);
        if (turns) {
            rising = !rising;
            k = 0;
            a = step;
        } else {
            ++k;
        }
        prev = sar;
    }
    if (resume) {
        resume->atEnd = state();
        resume->from = from;
    }
    return true;
}

namespace {

// Visits the prices at which a bar spreads its volume: low, low + step, ... while below
// high, with the step (high - low) / q. The steps are counted, each price computed from its
// step number, so the bar spreads exactly its volume over at most q prices, and a step too
// small to move the price cannot make the walk endless.
template <class F> void ForEachStep(double lowPrice, double highPrice, int q, F&& visit) {
    if (!(highPrice > lowPrice)) return;
    const double step = (highPrice - lowPrice) / q;
    for (int k = 0; k < q; ++k) {
        const double p = lowPrice + k * step;
        if (!(p < highPrice)) break;
        visit(p);
    }
}

// Prices are held to 0.1: ten times the price rounded to the nearest integer, halves to even.
constexpr double kMaxKey = 1e15;
// std::nearbyint is a library call on the baseline instruction set; this is the same
// rounding done inline: below 2^52 adding and taking away 2^52 leaves the nearest integer
// (halves to even), and above it every double is an integer already.
inline double NearestInteger(double x) {
    constexpr double kTwo52 = 4503599627370496.0;
    if (!(std::fabs(x) < kTwo52)) return x;
    return x >= 0 ? (x + kTwo52) - kTwo52 : (x - kTwo52) + kTwo52;
}
bool LevelKey(double price, std::int64_t& key) {
    const double r = NearestInteger(price * 10);
    if (!(std::fabs(r) < kMaxKey)) return false;
    key = static_cast<std::int64_t>(r);
    return true;
}

template <class V> class Fenwick {
public:
    explicit Fenwick(int size) : tree_(static_cast<size_t>(size) + 1, V{}) {
        top_ = 1;
        while (top_ * 2 <= size) top_ *= 2;
    }
    void Add(int index, V v) {
        for (size_t i = static_cast<size_t>(index) + 1; i < tree_.size(); i += i & (~i + 1))
            tree_[i] += v;
    }
    // Sum of the first `count` entries.
    V Prefix(int count) const {
        V s{};
        for (size_t i = static_cast<size_t>(count); i > 0; i -= i & (~i + 1)) s += tree_[i];
        return s;
    }
    // The largest count whose prefix sum keeps `keep` true (keep(0) is assumed).
    template <class P> int LastKept(P&& keep) const {
        size_t pos = 0;
        V acc{};
        for (size_t stepSize = static_cast<size_t>(top_); stepSize > 0; stepSize /= 2) {
            const size_t next = pos + stepSize;
            if (next < tree_.size() && keep(acc + tree_[next])) {
                pos = next;
                acc += tree_[next];
            }
        }
        return static_cast<int>(pos);
    }

private:
    std::vector<V> tree_;
    int top_;
};

// The price levels that occur, as a dense range of keys or, for scattered prices, a sorted
// list of the keys.
class Levels {
public:
    Levels(std::span<const double> high, std::span<const double> low, int n, int q) {
        // Every step price lies in [low, high) of its bar and rounding keeps the order, so
        // the keys lie between the keys of the lowest low and the highest high.
        double least = 0, most = -1;
        for (int t = 0; t < n; ++t) {
            const double l = low[static_cast<size_t>(t)], h = high[static_cast<size_t>(t)];
            if (!(h > l)) continue;
            if (most < least) least = l, most = h;
            least = std::min(least, l);
            most = std::max(most, h);
        }
        if (most < least) return;
        std::int64_t lo = 0, hi = 0;
        if (LevelKey(least, lo) && LevelKey(most, hi) && hi - lo < kDenseLimit) {
            base_ = lo;
            size_ = static_cast<int>(hi - lo + 1);
            return;
        }
        std::vector<std::int64_t> all;
        for (int t = 0; t < n; ++t)
            ForEachStep(low[static_cast<size_t>(t)], high[static_cast<size_t>(t)], q,
                        [&](double p) {
                            std::int64_t key;
                            if (LevelKey(p, key)) all.push_back(key);
                        });
        std::sort(all.begin(), all.end());
        all.erase(std::unique(all.begin(), all.end()), all.end());
        keys_ = std::move(all);
        size_ = static_cast<int>(keys_.size());
    }
    int Size() const { return size_; }
    int Index(std::int64_t key) const {
        if (keys_.empty()) return static_cast<int>(key - base_);
        return static_cast<int>(std::lower_bound(keys_.begin(), keys_.end(), key) - keys_.begin());
    }
    double Price(int index) const {
        const std::int64_t key = keys_.empty() ? base_ + index : keys_[static_cast<size_t>(index)];
        return static_cast<double>(key) / 10;
    }
    // The first level whose price is above n (Size() when none).
    int FirstAbove(double n) const {
        if (keys_.empty() && std::fabs(n) < kMaxKey) {
            // Dense keys: start next to n and step to the first level priced above it.
            const double guess = std::floor(n * 10) - static_cast<double>(base_);
            int at = static_cast<int>(std::clamp(guess, 0.0, static_cast<double>(size_)));
            while (at > 0 && Price(at - 1) > n) --at;
            while (at < size_ && !(Price(at) > n)) ++at;
            return at;
        }
        int lo = 0, hi = size_;
        while (lo < hi) {
            const int mid = lo + (hi - lo) / 2;
            if (Price(mid) > n)
                hi = mid;
            else
                lo = mid + 1;
        }
        return lo;
    }

private:
    static constexpr std::int64_t kDenseLimit = 4000000;
    std::int64_t base_ = 0;
    int size_ = 0;
    std::vector<std::int64_t> keys_;
};

// Whole volumes per price level with the sum of the levels below a cursor kept up to date.
// A bar adds its levels in one rising pass and its query moves the cursor from where
// the last one left it: prices move a little from bar to bar, so the walk is short, and block
// sums keep a long jump a walk over blocks. The sums are exact, so their order is free.
class WholeLevels {
public:
    explicit WholeLevels(int size)
        : size_(size), volume_(static_cast<size_t>(size), 0), blocks_(Blocks(size), 0),
          present_(Blocks(size), 0) {}
    // Adds the volumes v at the rising level indexes `index` (one bar's runs): the block
    // sums and presence bits of neighbouring levels are gathered before they are stored.
    void AddRising(const int* index, const std::int64_t* v, int count) {
        if (count == 0) return;
        size_t block = Block(index[0]);
        std::int64_t blockSum = 0, below = 0;
        std::uint64_t bits = 0;
        for (int r = 0; r < count; ++r) {
            const auto i = static_cast<size_t>(index[r]);
            if ((i >> kShift) != block) {
                blocks_[block] += blockSum;
                present_[block] |= bits;
                block = i >> kShift;
                blockSum = 0;
                bits = 0;
            }
            volume_[i] += v[r];
            blockSum += v[r];
            bits |= std::uint64_t{1} << (i & kMask);
            below += index[r] < pos_ ? v[r] : 0;
        }
        blocks_[block] += blockSum;
        present_[block] |= bits;
        below_ += below;
    }
    // The volume of the levels below `index` (0 <= index <= size).
    std::int64_t Below(int index) {
        while (pos_ < index) {
            if (Aligned() && pos_ + kBlock <= index)
                below_ += blocks_[Block(pos_)], pos_ += kBlock;
            else
                below_ += volume_[static_cast<size_t>(pos_++)];
        }
        while (pos_ > index) {
            if (Aligned() && pos_ - kBlock >= index)
                pos_ -= kBlock, below_ -= blocks_[Block(pos_)];
            else
                below_ -= volume_[static_cast<size_t>(--pos_)];
        }
        return below_;
    }
    // The largest count of levels whose volume keeps `keep` true; keep(0) is assumed and
    // keep turns false at most once as the volume grows.
    template <class P> int LastKept(P&& keep) {
        while (pos_ < size_) {
            if (Aligned() && pos_ + kBlock <= size_ && keep(below_ + blocks_[Block(pos_)])) {
                below_ += blocks_[Block(pos_)], pos_ += kBlock;
                continue;
            }
            const std::int64_t next = below_ + volume_[static_cast<size_t>(pos_)];
            if (!keep(next)) break;
            below_ = next, ++pos_;
        }
        while (pos_ > 0 && !keep(below_)) {
            if (Aligned() && pos_ >= kBlock && !keep(below_ - blocks_[Block(pos_) - 1]))
                pos_ -= kBlock, below_ -= blocks_[Block(pos_)];
            else
                below_ -= volume_[static_cast<size_t>(--pos_)];
        }
        return pos_;
    }
    // The first level at or above `index` that a bar has reached (size when none).
    int FirstPresentFrom(int index) const {
        if (index >= size_) return size_;
        size_t word = static_cast<size_t>(index) >> kShift;
        std::uint64_t bits = present_[word] & (~std::uint64_t{0} << (index & kMask));
        while (bits == 0) {
            if (++word >= present_.size()) return size_;
            bits = present_[word];
        }
        const int at = static_cast<int>(word << kShift) + std::countr_zero(bits);
        return std::min(at, size_);
    }

private:
    static constexpr int kShift = 6, kBlock = 1 << kShift, kMask = kBlock - 1;
    static size_t Blocks(int size) { return (static_cast<size_t>(size) >> kShift) + 1; }
    static size_t Block(int index) { return static_cast<size_t>(index) >> kShift; }
    bool Aligned() const { return (pos_ & kMask) == 0; }

    int size_;
    std::vector<std::int64_t> volume_, blocks_;
    std::vector<std::uint64_t> present_;
    int pos_ = 0;
    std::int64_t below_ = 0;
};

// One bar's result from a table of volume per level that gives the largest count of levels
// whose volume keeps a predicate true (LastKept), the first level a bar has reached from an
// index on (FirstPresentFrom) and the volume below a level (Below). `out` is left as it is
// where no level answers.
template <class Table>
void AnswerBar(Table& table, const Levels& levels, double want, double all, bool winner,
               double& out) {
    if (!Valid(want) || all == 0) {
        out = kInvalid;
        return;
    }
    const int size = std::max(levels.Size(), 1);
    if (!winner) {
        // The first level with the volume below it above want percent of the total.
        const double share = want / 100;
        int from = 0;
        if (0 / all <= share)
            from = table.LastKept([&](auto below) {
                return static_cast<double>(below) / all <= share;
            }) + 1;
        const int at = table.FirstPresentFrom(from);
        if (at < size) out = levels.Price(at);
    } else {
        // The share of the volume below the first level priced above want.
        const int at = table.FirstPresentFrom(levels.FirstAbove(want));
        if (at < size) out = Finite(static_cast<double>(table.Below(at)) / all);
    }
}

// The levels a bar spreads its volume over (its steps as ForEachStep visits them) as runs
// of equal level keys in rising order: the key and the count of steps of each run. Returns
// the count of runs (at most q <= 100).
int StepRuns(double lowPrice, double highPrice, int q, std::int64_t* runKey,
             std::int64_t* runSteps) {
    if (!(highPrice > lowPrice)) return 0;
    const double step = (highPrice - lowPrice) / q;
    // The step prices never fall, so the steps below high are the first `count`.
    int count = q;
    while (count > 1 && !(lowPrice + (count - 1) * step < highPrice)) --count;
    const double last = (lowPrice + (count - 1) * step) * 10;
    if (!(lowPrice * 10 >= 0 && last < kMaxKey - 1)) {
        // Keys that may not exist or prices below zero: level by level.
        int runs = 0;
        std::int64_t previous = 0;
        ForEachStep(lowPrice, highPrice, q, [&](double p) {
            std::int64_t key;
            if (!LevelKey(p, key)) return;
            if (runs == 0 || key != previous) runKey[runs] = key, runSteps[runs] = 0, ++runs;
            ++runSteps[runs - 1];
            previous = key;
        });
        return runs;
    }
    // Every key exists and no price is below zero: NearestInteger's rounding of each step
    // without a branch, then the runs found where the key changes.
    constexpr double kTwo52 = 4503599627370496.0;
    std::array<double, 100> keys;
    for (int k = 0; k < count; ++k) keys[k] = ((lowPrice + k * step) * 10 + kTwo52) - kTwo52;
    std::array<int, 101> starts;
    starts[0] = 0;
    int runs = 0;
    for (int k = 1; k < count; ++k) {
        starts[static_cast<size_t>(runs) + 1] = k;
        runs += keys[static_cast<size_t>(k)] != keys[static_cast<size_t>(k) - 1];
    }
    starts[static_cast<size_t>(++runs)] = count;
    for (int r = 0; r < runs; ++r) {
        runKey[r] = static_cast<std::int64_t>(keys[static_cast<size_t>(starts[r])]);
        runSteps[r] = starts[static_cast<size_t>(r) + 1] - starts[r];
    }
    return runs;
}

// WINNER and COST of whole volumes, summed exactly in units of 1/q.
void CostWinnerWhole(std::span<const double> high, std::span<const double> low,
                     std::span<const double> vol, Operand n, bool winner, std::span<double> out) {
    const int len = Len(out);
    const int q = winner ? 100 : 10;
    const Levels levels(high, low, len, q);
    const int size = std::max(levels.Size(), 1);
    WholeLevels table(size);
    std::int64_t total = 0;
    std::array<std::int64_t, 100> runKey{}, runSteps{};
    std::array<int, 100> runIndex{};
    for (int t = 0; t < len; ++t) {
        const double v = vol[static_cast<size_t>(t)];
        // v * q / q is v itself: a step carries v units, the bar v * q.
        const auto stepVolume = static_cast<std::int64_t>(v);
        total += static_cast<std::int64_t>(v * q);
        // The step prices rise, so equal levels come in runs: each run's volume is added
        // once.
        const int runs = StepRuns(low[static_cast<size_t>(t)], high[static_cast<size_t>(t)], q,
                                  runKey.data(), runSteps.data());
        for (int r = 0; r < runs; ++r) {
            runIndex[static_cast<size_t>(r)] = levels.Index(runKey[static_cast<size_t>(r)]);
            runSteps[static_cast<size_t>(r)] *= stepVolume;
        }
        table.AddRising(runIndex.data(), runSteps.data(), runs);

        AnswerBar(table, levels, n[t], static_cast<double>(total), winner, out[t]);
    }
}

// The fractional volumes per level as AnswerBar reads them: prefix sums of the volume and
// of the levels reached so far.
struct FractionalTable {
    const Fenwick<double>& volume;
    const Fenwick<int>& present;
    const int& presentCount;
    int size;
    template <class P> int LastKept(P&& keep) const { return volume.LastKept(keep); }
    // The index of the first present level at or above `index`, size when none.
    int FirstPresentFrom(int index) const {
        const int k = index >= size ? presentCount : present.Prefix(index);
        if (k >= presentCount) return size;
        return present.LastKept([k](int c) { return c <= k; });
    }
    double Below(int index) const { return volume.Prefix(index); }
};

// WINNER and COST of fractional volumes, summed in doubles: the table of volume per price
// level grows bar by bar; each bar's result is found by descending prefix sums instead of
// walking the levels.
void CostWinnerFractional(std::span<const double> high, std::span<const double> low,
                          std::span<const double> vol, Operand n, bool winner,
                          std::span<double> out) {
    using V = double;
    const int len = Len(out);
    const int q = winner ? 100 : 10;
    const Levels levels(high, low, len, q);
    const int size = std::max(levels.Size(), 1);
    Fenwick<V> volume(size);
    Fenwick<int> present(size);
    std::vector<char> isPresent(static_cast<size_t>(size), 0);
    int presentCount = 0;
    V total{};
    const FractionalTable table{volume, present, presentCount, size};
    for (int t = 0; t < len; ++t) {
        const double v = vol[static_cast<size_t>(t)];
        const V stepVolume = v / q;
        total += v;
        int pending = -1;
        V pendingVolume{};
        ForEachStep(low[static_cast<size_t>(t)], high[static_cast<size_t>(t)], q, [&](double p) {
            std::int64_t key;
            if (!LevelKey(p, key)) return;
            const int index = levels.Index(key);
            if (!isPresent[static_cast<size_t>(index)]) {
                isPresent[static_cast<size_t>(index)] = 1;
                present.Add(index, 1);
                ++presentCount;
            }
            if (index != pending) {
                if (pending >= 0) volume.Add(pending, pendingVolume);
                pending = index;
                pendingVolume = V{};
            }
            pendingVolume += stepVolume;
        });
        if (pending >= 0) volume.Add(pending, pendingVolume);

        AnswerBar(table, levels, n[t], total, winner, out[t]);
    }
}

} // namespace

void CostWinner(std::span<const double> high, std::span<const double> low,
                std::span<const double> vol, Operand n, bool winner, std::span<double> out) {
    const int q = winner ? 100 : 10;
    // Whole volumes are summed exactly in units of 1/q; anything else in doubles.
    bool whole = true;
    double sum = 0;
    for (size_t t = 0; t < out.size(); ++t) {
        const double v = vol[t];
        if (!(v >= 0) || v != std::floor(v)) {
            whole = false;
            break;
        }
        sum += v;
    }
    if (whole && sum * q < 9e15)
        CostWinnerWhole(high, low, vol, n, winner, out);
    else
        CostWinnerFractional(high, low, vol, n, winner, out);
}

} // namespace vantor::kernels

namespace vantor {

namespace {

using fn::Operand;
using fn::Span;

// The raw series a source number K chooses: 0 open, 1 high, 2 low, 3 close, 4 vol.
// `prefix` is the function's signature in its messages.
bool Source(TGS& gs, const TXX& xx, const std::string& prefix, int n, const double*& src) {
    double k = 0;
    if (!fn::ConstArg(gs, xx, 0, k, prefix + "参数K:", "未定义!")) return false;
    const std::int64_t which = fn::Bars(k);
    if (which < 0 || which > 4)
        return fn::Fail(gs, prefix + "参数K:" + fn::Arg(xx, 0) + "在0到3之间!");
    static const char* const kNames[] = {"open", "high", "low", "close", "vol"};
    Tbian* b = gs.check(kNames[which]); // open, high and low fall back to close
    if (!b) return fn::Fail(gs, prefix + "需要开盘价,最高价,最低价,收盘价原始数据!");
    b->Reserve(n);
    src = b->value.data();
    return true;
}

bool Zig(TGS& gs, const std::string& name, const std::string&, const TXX& xx) {
    const int n = fn::DataLen(gs);
    const double* src = nullptr;
    double x = 0;
    if (!Source(gs, xx, "ZIG(K,N)", n, src) ||
        !fn::ConstArg(gs, xx, 1, x, "ZIG(K,N)参数N:", "未定义!"))
        return false;
    auto out = fn::Output(gs, name, n, {});
    if (out.data() == nullptr) return false;
    kernels::Zig({src, static_cast<size_t>(n)}, x, out);
    return true;
}

// PEAK, PEAKBARS, TROUGH, TROUGHBARS.
template <bool peak, bool bars>
bool PeakTrough(TGS& gs, const std::string& name, const std::string& func, const TXX& xx) {
    const int n = fn::DataLen(gs);
    const std::string prefix = UpperName(func) + "(K,N,M)";
    const double* src = nullptr;
    double x = 0, m = 0;
    if (!Source(gs, xx, prefix, n, src) ||
        !fn::ConstArg(gs, xx, 1, x, prefix + "参数N:", "未定义!") ||
        !fn::ConstArg(gs, xx, 2, m, prefix + "参数M:", "未定义!"))
        return false;
    if (fn::Bars(m) < 1) return fn::Fail(gs, prefix + "参数M:" + fn::Arg(xx, 2) + "必须大于等于1!");
    auto out = fn::Output(gs, name, n, {});
    if (out.data() == nullptr) return false;
    kernels::PeakTrough({src, static_cast<size_t>(n)}, x, fn::Bars(m), peak, bars, out);
    return true;
}

// SAR and SARTURN; the turn variant names itself SARTRUN in its messages.
template <bool turn> bool Sar(TGS& gs, const std::string& name, const std::string&, const TXX& xx) {
    const int n = fn::DataLen(gs);
    Tbian* high = gs.GetBian("high");
    Tbian* low = gs.GetBian("low");
    if (!high || !low)
        return fn::Fail(gs, turn ? "没最高价或最低价原始数据!" : "没最高价或最低价数据!");
    const std::string prefix = turn ? "SARTRUN(N,S,M)参数" : "SAR(N,S,M)参数";
    double w = 0, step = 0, limit = 0;
    if (!fn::ConstArg(gs, xx, 0, w, prefix + "N:", "未定义!") ||
        !fn::ConstArg(gs, xx, 1, step, prefix + "S:", "未定义!") ||
        !fn::ConstArg(gs, xx, 2, limit, prefix + "M:", "未定义!"))
        return false;
    high->Reserve(n);
    low->Reserve(n);
    gs.call.inputs = std::min({gs.call.inputs, gs.SeriesFrom(high), gs.SeriesFrom(low)});
    auto out = fn::Output(gs, name, n, {});
    if (out.data() == nullptr) return false;
    // The state before the newest bar and after the last is kept for the next run, as MA
    // keeps its running sum; the four numbers of the state go into two points each.
    // The state before the newest bar and after the last is kept for the next run, as MA
    // keeps its running sum.
    kernels::SarResume resume;
    resume.from = fn::FirstBar(gs, n);
    ResumeState saved{};
    if (resume.from > 0 && !fn::Resume(gs, resume.from, saved)) resume.from = 0;
    resume.start = {saved[0] != 0, saved[1], saved[2], static_cast<std::int64_t>(saved[3])};
    if (!kernels::Sar({high->value.data(), static_cast<size_t>(n)},
                      {low->value.data(), static_cast<size_t>(n)}, fn::Bars(w), step, limit, turn,
                      out, &resume))
        return fn::Fail(gs, turn ? "SARTRUN 参数N小于1 或 数据长度小于N!"
                                 : "SAR 参数N小于1 或 数据长度小于N!");
    if (resume.from == 0) fn::EveryBar(gs);
    auto keep = [](const kernels::SarState& s) {
        return ResumeState{s.rising ? 1.0 : 0.0, s.a, s.prev, static_cast<double>(s.k)};
    };
    if (resume.hasLast) fn::Keep(gs, 0, n - 1, keep(resume.atLast));
    fn::Keep(gs, 1, n, keep(resume.atEnd));
    return true;
}

template <bool winner>
bool CostWinner(TGS& gs, const std::string& name, const std::string&, const TXX& xx) {
    const int n = fn::DataLen(gs);
    const std::string prefix = winner ? "WINNER(N)" : "COST(N)";
    Tbian* high = gs.GetBian("high");
    Tbian* low = gs.GetBian("low");
    Tbian* vol = gs.GetBian("vol");
    if (!high || !low || !vol) return fn::Fail(gs, prefix + "需要最高，最低，成交量三种原始数据!");
    Operand want;
    if (!fn::EitherArg(gs, xx, 0, n, want, prefix + "参数N:", "未定义!")) return false;
    for (Tbian* b : {high, low, vol}) b->Reserve(n);
    auto out = fn::Output(gs, name, n, {&want});
    if (out.data() == nullptr) return false;
    kernels::CostWinner({high->value.data(), static_cast<size_t>(n)},
                        {low->value.data(), static_cast<size_t>(n)},
                        {vol->value.data(), static_cast<size_t>(n)}, want, winner, out);
    return true;
}

} // namespace

void RegisterPatternFunctions(HandlerRegistry& r) {
    r["zig"] = Zig;
    r["peak"] = PeakTrough<true, false>;
    r["peakbars"] = PeakTrough<true, true>;
    r["trough"] = PeakTrough<false, false>;
    r["troughbars"] = PeakTrough<false, true>;
    r["sar"] = Sar<false>;
    r["sarturn"] = Sar<true>;
    r["cost"] = CostWinner<false>;
    r["winner"] = CostWinner<true>;
}

} // namespace vantor
