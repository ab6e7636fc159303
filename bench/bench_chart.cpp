// A full repaint of the chart at 1920x1080 with its default windows over 48,000 bars, and
// one replay step (a new bar appended: every visible window rerun, then a repaint).

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

#include "bench/gui_app.h"
#include "chart/tgp.h"

namespace {

using vantor::bench::EnsureGuiApp;

// A chart as the practice shows it, fed with a random walk of n bars.
std::unique_ptr<vantor::TGP> MakeChart(int n) {
    EnsureGuiApp();
    auto chart = std::make_unique<vantor::TGP>();
    chart->BeginUpdate();
    chart->SetSize(1920, 1080);
    chart->UseMainWindowSettings();
    chart->ClearData();
    chart->SetStkName("训练");
    std::vector<double> date(n), time(n, 0), open(n), high(n), low(n), close(n), amount(n, 0),
        vol(n);
    double p = 3000;
    unsigned seed = 12345;
    for (int i = 0; i < n; ++i) {
        seed = seed * 1103515245u + 12345u;
        double step = ((seed >> 16) % 2001 - 1000) / 50.0;
        auto k = static_cast<size_t>(i);
        open[k] = p;
        close[k] = p + step;
        high[k] = std::max(open[k], close[k]) + 5;
        low[k] = std::min(open[k], close[k]) - 5;
        vol[k] = 1000 + (seed >> 8) % 5000;
        date[k] = 20000101 + i;
        p = close[k];
    }
    for (auto [name, v] : {std::pair{"date", &date},
                           {"time", &time},
                           {"open", &open},
                           {"high", &high},
                           {"low", &low},
                           {"close", &close},
                           {"amount", &amount}})
        chart->AddALL(name, v->data(), n, false);
    chart->AddALL("vol", vol.data(), n, true);
    chart->EndUpdate();
    return chart;
}

void BM_ReDraw1920x1080(benchmark::State& state) {
    auto chart = MakeChart(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        chart->ReDraw();
        benchmark::DoNotOptimize(chart->Image().constBits());
    }
}
BENCHMARK(BM_ReDraw1920x1080)->Arg(10000)->Arg(25000)->Arg(48000)->Unit(benchmark::kMillisecond);

void BM_AppendBarRerunAndReDraw(benchmark::State& state) {
    auto chart = MakeChart(48000);
    double c = chart->GetLast("close");
    for (auto _ : state) {
        if (chart->BarCount() >= 49990) {
            state.PauseTiming();
            chart = MakeChart(48000);
            state.ResumeTiming();
        }
        chart->AddCandle(20991231, 0, c, c + 3, c - 3, c + 1, 0, 2000, 0, 0);
        benchmark::DoNotOptimize(chart->Image().constBits()); // the repaint is on demand
    }
}
BENCHMARK(BM_AppendBarRerunAndReDraw)->Unit(benchmark::kMillisecond);

} // namespace
