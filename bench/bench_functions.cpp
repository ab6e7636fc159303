// The volume-at-price and window functions over the 48,000-bar minute sample, as one replay
// step reruns them.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "formula/function_kernels.h"
#include "sample_bars.h"

namespace {

namespace k = vantor::kernels;

struct Bars {
    std::vector<double> high, low, close, vol;
};

const Bars& MinuteSample() {
    static const Bars bars = [] {
        Bars b;
        for (const vantor::Price& p : vantor::bench::MinuteSampleBars()) {
            b.high.push_back(p.Spg);
            b.low.push_back(p.Spd);
            b.close.push_back(p.Sps);
            b.vol.push_back(p.Scjl);
        }
        return b;
    }();
    return bars;
}

// The first n bars of the sample.
Bars FirstBars(int n) {
    const Bars& b = MinuteSample();
    const auto take = [n](const std::vector<double>& v) {
        return std::vector<double>(v.begin(), v.begin() + std::min<size_t>(n, v.size()));
    };
    return {take(b.high), take(b.low), take(b.close), take(b.vol)};
}

void BM_Cost50(benchmark::State& state) {
    const Bars b = FirstBars(static_cast<int>(state.range(0)));
    std::vector<double> out(b.close.size());
    for (auto _ : state) {
        k::CostWinner(b.high, b.low, b.vol, 50.0, false, out);
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["bars"] = static_cast<double>(out.size());
}
BENCHMARK(BM_Cost50)->Arg(10000)->Arg(25000)->Arg(48000)->Unit(benchmark::kMillisecond);

void BM_WinnerClose(benchmark::State& state) {
    const Bars b = FirstBars(static_cast<int>(state.range(0)));
    std::vector<double> out(b.close.size());
    for (auto _ : state) {
        k::CostWinner(b.high, b.low, b.vol, k::Operand(b.close), true, out);
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["bars"] = static_cast<double>(out.size());
}
BENCHMARK(BM_WinnerClose)->Arg(10000)->Arg(25000)->Arg(48000)->Unit(benchmark::kMillisecond);

void BM_HhvBars250(benchmark::State& state) {
    const Bars& b = MinuteSample();
    std::vector<double> out(b.close.size());
    for (auto _ : state) {
        k::ExtremeBars(b.high, 250.0, true, out);
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_HhvBars250)->Unit(benchmark::kMillisecond);

void BM_Hod250(benchmark::State& state) {
    const Bars& b = MinuteSample();
    std::vector<double> out(b.close.size());
    for (auto _ : state) {
        k::HighLowOrder(b.close, 250.0, true, out);
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_Hod250)->Unit(benchmark::kMillisecond);

void BM_SumBarsVolume(benchmark::State& state) {
    const Bars& b = MinuteSample();
    std::vector<double> out(b.close.size());
    for (auto _ : state) {
        k::SumBars(b.vol, 1e6, out);
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_SumBarsVolume)->Unit(benchmark::kMillisecond);

void BM_TopRange(benchmark::State& state) {
    const Bars& b = MinuteSample();
    std::vector<double> out(b.close.size());
    for (auto _ : state) {
        k::TopLowRange(k::Operand(b.close), true, out);
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_TopRange)->Unit(benchmark::kMillisecond);

void BM_Zig(benchmark::State& state) {
    const Bars& b = MinuteSample();
    std::vector<double> out(b.close.size());
    for (auto _ : state) {
        k::Zig(b.close, 0.5, out);
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_Zig)->Unit(benchmark::kMillisecond);

void BM_FindHigh(benchmark::State& state) {
    const Bars& b = MinuteSample();
    std::vector<double> out(b.close.size());
    for (auto _ : state) {
        k::FindRanked(b.close, 5, 60, 3, true, false, out);
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_FindHigh)->Unit(benchmark::kMillisecond);

} // namespace
