// One replay step of the default chart: the newest bar changes in the main window's raw
// series and every window reruns its built-in formula over the 49,000 one-minute bars
// (the main window's MA, then VOL, MACD, KDJ, RSI, BOLL, CCI, DMA, DMI and SAR).
//   build/bench/vantor_bench --benchmark_filter=Replay
// BM_ReplayStep gives the step (its median over the repetitions); BM_ReplayWindow gives
// each window's share.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "formula/func_str.h"
#include "formula/gs.h"
#include "sample_bars.h"

namespace {

using vantor::TGS;

const char* const kWindows[] = {"MA",   "VOL", "MACD", "KDJ", "RSI",
                                "BOLL", "CCI", "DMA",  "DMI", "SAR"};
const char* const kRaw[] = {"date", "time", "open", "high", "low", "close", "amount", "vol"};
constexpr int kBars = 49000;

// The raw series of 49,000 real one-minute bars: the 48,000 bars of the minute sample
// followed by its first 1,000 bars once more.
struct Bars {
    std::vector<std::vector<double>> raw; // in the order of kRaw
};

const Bars& MinuteBars() {
    static const Bars bars = [] {
        const std::vector<vantor::Price>& p = vantor::bench::MinuteSampleBars();
        Bars b;
        b.raw.resize(8);
        auto number = [](const vantor::ShortStr& s) {
            return s.empty() ? 0.0 : std::stod(s.str());
        };
        for (int i = 0; i < kBars && !p.empty(); ++i) {
            const vantor::Price& bar = p[static_cast<size_t>(i) % p.size()];
            const double v[] = {number(bar.Srq), number(bar.Ssj), bar.Spk,  bar.Spg,
                                bar.Spd,         bar.Sps,         bar.Scje, bar.Scjl};
            for (int k = 0; k < 8; ++k) b.raw[static_cast<size_t>(k)].push_back(v[k]);
        }
        return b;
    }();
    return bars;
}

// The chart's windows: the main one holds the bars, the others borrow them.
struct Chart {
    TGS main;
    std::vector<std::unique_ptr<TGS>> windows; // windows[0] is `main`

    bool Load(const std::vector<const char*>& formulas, std::string& error) {
        const Bars& bars = MinuteBars();
        if (bars.raw[0].size() != static_cast<size_t>(kBars)) {
            error = "minute sample missing";
            return false;
        }
        for (int k = 0; k < 8; ++k)
            main.AddAll(kRaw[k], bars.raw[static_cast<size_t>(k)].data(), kBars);
        main.FStockInfo = std::make_shared<vantor::TStockinfo>();
        main.FDYNAINFO = std::make_shared<vantor::TDYNAINFO>();
        main.FFINANCE = std::make_shared<vantor::TFINANCE>();
        main.FIndex = std::make_shared<vantor::TIndex>();
        for (const char* f : formulas) {
            TGS* gs = &main;
            if (f != formulas.front() || std::string(f) != "MA") {
                windows.push_back(std::make_unique<TGS>(&main));
                gs = windows.back().get();
            }
            if (!gs->SetProgText(vantor::TFuncStr::Builtins().GetStr(f), "")) {
                error = std::string(f) + ": " + gs->FErrorString;
                return false;
            }
        }
        return true;
    }

    // The newest bar takes the values of bar `k` of the sample, as a replay step hands in a
    // bar, and every window reruns.
    bool Step(int k) {
        const Bars& bars = MinuteBars();
        for (int r = 0; r < 8; ++r)
            main.AddOne(kRaw[r], bars.raw[static_cast<size_t>(r)][static_cast<size_t>(k)], false);
        bool ok = !main.Program().empty() ? main.Run("") : true;
        for (auto& w : windows) ok = w->Run("") && ok;
        return ok;
    }
};

void BM_ReplayStep(benchmark::State& state) {
    Chart chart;
    std::string error;
    if (!chart.Load(std::vector<const char*>(std::begin(kWindows), std::end(kWindows)), error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    int k = 0;
    for (auto _ : state) {
        if (!chart.Step(k)) {
            state.SkipWithError("a window failed to run");
            break;
        }
        k = (k + 1) % kBars;
    }
}
BENCHMARK(BM_ReplayStep)->Unit(benchmark::kMillisecond)->Repetitions(10)->ReportAggregatesOnly();

// One window of the step on its own; the argument indexes kWindows.
void BM_ReplayWindow(benchmark::State& state) {
    const char* formula = kWindows[state.range(0)];
    Chart chart;
    std::string error;
    if (!chart.Load({formula}, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    state.SetLabel(formula);
    int k = 0;
    for (auto _ : state) {
        if (!chart.Step(k)) {
            state.SkipWithError("the window failed to run");
            break;
        }
        k = (k + 1) % kBars;
    }
}
BENCHMARK(BM_ReplayWindow)->DenseRange(0, 9)->Unit(benchmark::kMillisecond);

} // namespace
