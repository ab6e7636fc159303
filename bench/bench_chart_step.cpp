// One replay step as the practice takes it: the store reveals the next one-minute bar, the
// chart takes the minute cache (ShowPeriodBars) and its image is rendered at 1920x1080.
// Arguments: bars revealed before the first step, and the number of indicator windows.
//   build/bench/vantor_bench --benchmark_filter=ChartStep

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdlib>
#include <memory>

#include "bench/gui_app.h"
#include "chart/tgp.h"
#include "market/stock.h"

namespace {

using vantor::bench::EnsureGuiApp;

struct Session {
    vantor::Tstock store;
    vantor::TGP chart;

    // The minute sample revealed up to row `shown - 1`, on a chart of `windows` windows.
    bool Load(int shown, int windows) {
        store.fileName = VANTOR_SAMPLE_DIR "/mindata/IFL8.txt";
        store.startrow = 0;
        store.setLastrow(shown - 1);
        if (!store.loaddata() || store.fcount < shown) return false;
        chart.BeginUpdate();
        chart.SetSize(1920, 1080);
        chart.UseMainWindowSettings();
        chart.SetTechWindows(windows);
        chart.ClearData();
        chart.SetZhouQi(vantor::wsmin1);
        vantor::ShowPeriodBars(chart, store, false);
        chart.EndUpdate();
        benchmark::DoNotOptimize(chart.Image().constBits());
        return true;
    }
};

void BM_ChartStep(benchmark::State& state) {
    EnsureGuiApp();
    const int shown = static_cast<int>(state.range(0));
    const int windows = static_cast<int>(state.range(1));
    auto s = std::make_unique<Session>();
    if (!s->Load(shown, windows)) {
        state.SkipWithError("minute sample missing");
        return;
    }
    for (auto _ : state) {
        if (s->store.Blast()) {
            state.PauseTiming();
            s = std::make_unique<Session>();
            s->Load(shown, windows);
            state.ResumeTiming();
        }
        vantor::Price bar;
        s->store.Next(bar);
        benchmark::DoNotOptimize(vantor::ShowPeriodBars(s->chart, s->store, false));
        benchmark::DoNotOptimize(s->chart.Image().constBits());
    }
}
// 47,000 bars leave a thousand steps before the end of the 48,000-bar sample.
BENCHMARK(BM_ChartStep)
    ->Args({10000, 3})
    ->Args({10000, 10})
    ->Args({47000, 3})
    ->Args({47000, 10})
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

} // namespace
