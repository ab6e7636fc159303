// Moving the chart's cursor by one bar and repainting, at 1920x1080 with three windows
// over the 48,000 bars of the minute sample: with the keyboard (Left and Right in turn, so
// the view never scrolls) and with the mouse (one bar width per move).
//   build/bench/vantor_bench --benchmark_filter=Cursor

#include <benchmark/benchmark.h>

#include <Qt>
#include <memory>

#include "bench/gui_app.h"
#include "chart/tgp.h"
#include "market/stock.h"

namespace {

struct CursorChart {
    vantor::Tstock store;
    vantor::TGP chart;

    bool Load() {
        store.fileName = VANTOR_SAMPLE_DIR "/mindata/IFL8.txt";
        store.startrow = 0;
        store.setLastrow(47999);
        if (!store.loaddata()) return false;
        chart.BeginUpdate();
        chart.SetSize(1920, 1080);
        chart.UseMainWindowSettings();
        chart.SetTechWindows(3);
        chart.ClearData();
        chart.SetZhouQi(vantor::wsmin1);
        vantor::ShowPeriodBars(chart, store, false);
        chart.EndUpdate();
        chart.SetShowHint(true);
        chart.HasFocus = [] { return true; };
        chart.OnHintText = [](const std::string&, const std::string& text) {
            benchmark::DoNotOptimize(text.data());
        };
        chart.KeyDown(Qt::Key_Left, false, false); // the cursor and its readout are shown
        benchmark::DoNotOptimize(chart.Image().constBits());
        return chart.BarCount() > 40000;
    }
};

void BM_CursorKeyOneBar(benchmark::State& state) {
    vantor::bench::EnsureGuiApp();
    auto s = std::make_unique<CursorChart>();
    if (!s->Load()) {
        state.SkipWithError("minute sample missing");
        return;
    }
    bool left = true;
    for (auto _ : state) {
        s->chart.KeyDown(left ? Qt::Key_Left : Qt::Key_Right, false, false);
        benchmark::DoNotOptimize(s->chart.Image().constBits());
        left = !left;
    }
}
BENCHMARK(BM_CursorKeyOneBar)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->DisplayAggregatesOnly(true);

void BM_CursorMouseOneBar(benchmark::State& state) {
    vantor::bench::EnsureGuiApp();
    auto s = std::make_unique<CursorChart>();
    if (!s->Load()) {
        state.SkipWithError("minute sample missing");
        return;
    }
    s->chart.SetShowCursor(true);
    int x = 900;
    for (auto _ : state) {
        x = x == 900 ? 905 : 900; // one bar at the default width of 5
        s->chart.MouseMove(x, 300, false);
        benchmark::DoNotOptimize(s->chart.Image().constBits());
    }
}
BENCHMARK(BM_CursorMouseOneBar)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->DisplayAggregatesOnly(true);

} // namespace
