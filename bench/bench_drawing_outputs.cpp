// The cost of the drawing calls in a repaint: the 5-minute chart of the minute sample at
// 1920x1080 with an indicator window whose formula puts a stick, a text and an icon on
// every bar, against the same window with its plain line alone.
//   build/bench/vantor_bench --benchmark_filter=DrawingCalls

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "bench/gui_app.h"
#include "chart/tgp.h"
#include "market/stock.h"

namespace {

using vantor::bench::EnsureGuiApp;

constexpr const char* kPlain = "MA5:MA(C,5);\n";
constexpr const char* kDrawing = "MA5:MA(C,5);\n"
                                 "STICKLINE(C>0,C,O,3,0),COLORYELLOW;\n"
                                 "DRAWTEXT(C>0,H,'B'),COLORRED;\n"
                                 "DRAWICON(C>0,L,1);\n";

struct FiveMinuteChart {
    vantor::Tstock store;
    vantor::TGP chart;

    bool Load(const char* formula) {
        store.fileName = VANTOR_SAMPLE_DIR "/mindata/IFL8.txt";
        store.startrow = 0;
        store.setLastrow(47999);
        if (!store.loaddata()) return false;
        chart.BeginUpdate();
        chart.SetSize(1920, 1080);
        chart.UseMainWindowSettings();
        chart.SetTechWindows(3);
        chart.ClearData();
        chart.SetZhouQi(vantor::wsMin5);
        const bool ok = chart.SetWFCString(1, formula);
        vantor::ShowPeriodBars(chart, store, false);
        chart.EndUpdate();
        benchmark::DoNotOptimize(chart.Image().constBits());
        return ok && chart.WindowOf(1)->prog->ErrorString().empty();
    }
};

void Repaint(benchmark::State& state, const char* formula) {
    EnsureGuiApp();
    auto c = std::make_unique<FiveMinuteChart>();
    if (!c->Load(formula)) {
        state.SkipWithError("minute sample or formula missing");
        return;
    }
    for (auto _ : state) {
        c->chart.ReDraw();
        benchmark::DoNotOptimize(c->chart.Image().constBits());
    }
}

void BM_DrawingCallsRepaint(benchmark::State& state, const char* formula) {
    Repaint(state, formula);
}
// The plain window, each call alone on top of it, and all three.
BENCHMARK_CAPTURE(BM_DrawingCallsRepaint, plain, kPlain)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9);
BENCHMARK_CAPTURE(BM_DrawingCallsRepaint, stickline,
                  "MA5:MA(C,5);STICKLINE(C>0,C,O,3,0),COLORYELLOW;")
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9);
BENCHMARK_CAPTURE(BM_DrawingCallsRepaint, drawtext, "MA5:MA(C,5);DRAWTEXT(C>0,H,'B'),COLORRED;")
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9);
BENCHMARK_CAPTURE(BM_DrawingCallsRepaint, drawicon, "MA5:MA(C,5);DRAWICON(C>0,L,1);")
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9);
BENCHMARK_CAPTURE(BM_DrawingCallsRepaint, all_three, kDrawing)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9);

} // namespace
