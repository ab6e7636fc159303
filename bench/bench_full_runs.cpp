// Full runs of the common built-in indicators over the first N bars of the minute sample:
// every iteration recomputes every bar (the previous run is forgotten, its storage kept),
// as a period or parameter change does. And the same run right after ClearData and a new
// feed, as loading an instrument does.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

#include "formula/builtin_formulas.h"
#include "formula/gs.h"
#include "sample_bars.h"

namespace {

// Feeds the first `bars` bars of the minute sample into the raw series of `gs`.
void Feed(vantor::TGS& gs, int bars) {
    const auto& all = vantor::bench::MinuteSampleBars();
    const int n = std::min<int>(bars, static_cast<int>(all.size()));
    std::vector<double> date(n), open(n), high(n), low(n), close(n), vol(n);
    for (int i = 0; i < n; ++i) {
        date[i] = vantor::BarDateNumber(all[i].Srq);
        open[i] = all[i].Spk;
        high[i] = all[i].Spg;
        low[i] = all[i].Spd;
        close[i] = all[i].Sps;
        vol[i] = all[i].Scjl;
    }
    gs.AddAll("date", date.data(), n);
    gs.AddAll("open", open.data(), n);
    gs.AddAll("high", high.data(), n);
    gs.AddAll("low", low.data(), n);
    gs.AddAll("close", close.data(), n);
    gs.AddAll("vol", vol.data(), n);
}

bool Install(vantor::TGS& gs, const char* name, benchmark::State& state) {
    std::string text;
    if (!vantor::FindBuiltinFormula(name, text) || !gs.SetProgText(text, "")) {
        state.SkipWithError(("cannot install " + std::string(name)).c_str());
        return false;
    }
    return true;
}

void FullRun(benchmark::State& state, const char* name) {
    vantor::TGS gs;
    Feed(gs, static_cast<int>(state.range(0)));
    if (!Install(gs, name, state)) return;
    gs.Run("");
    for (auto _ : state) {
        gs.ForgetLastRun();
        bool ok = gs.Run("");
        benchmark::DoNotOptimize(ok);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_FullRunMa(benchmark::State& s) {
    FullRun(s, "MA");
}
void BM_FullRunMacd(benchmark::State& s) {
    FullRun(s, "MACD");
}
void BM_FullRunKdj(benchmark::State& s) {
    FullRun(s, "KDJ");
}
void BM_FullRunRsi(benchmark::State& s) {
    FullRun(s, "RSI");
}
void BM_FullRunBoll(benchmark::State& s) {
    FullRun(s, "BOLL");
}
BENCHMARK(BM_FullRunMa)->Arg(10000)->Arg(25000)->Arg(48000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FullRunMacd)->Arg(10000)->Arg(25000)->Arg(48000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FullRunKdj)->Arg(10000)->Arg(25000)->Arg(48000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FullRunRsi)->Arg(10000)->Arg(25000)->Arg(48000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FullRunBoll)->Arg(10000)->Arg(25000)->Arg(48000)->Unit(benchmark::kMicrosecond);

// ClearData, the same bars fed again, then the run; with `feedTimed` false only the run is
// timed.
void RsiAfterClearData(benchmark::State& state, bool feedTimed) {
    vantor::TGS gs;
    const int bars = static_cast<int>(state.range(0));
    Feed(gs, bars);
    if (!Install(gs, "RSI", state)) return;
    gs.Run("");
    for (auto _ : state) {
        if (!feedTimed) state.PauseTiming();
        gs.ClearData();
        Feed(gs, bars);
        if (!feedTimed) state.ResumeTiming();
        bool ok = gs.Run("");
        benchmark::DoNotOptimize(ok);
    }
    state.SetItemsProcessed(state.iterations() * bars);
}

// What loading an instrument costs the window beyond the run itself.
void BM_FullRunRsiAfterClearData(benchmark::State& state) {
    RsiAfterClearData(state, true);
}
// The run alone: what it pays for series storage made anew, against BM_FullRunRsi on kept
// storage.
void BM_RunRsiRightAfterClearData(benchmark::State& state) {
    RsiAfterClearData(state, false);
}
BENCHMARK(BM_FullRunRsiAfterClearData)
    ->Arg(10000)
    ->Arg(25000)
    ->Arg(48000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RunRsiRightAfterClearData)
    ->Arg(10000)
    ->Arg(25000)
    ->Arg(48000)
    ->Unit(benchmark::kMicrosecond);

// The feed alone, to read the run's share of BM_FullRunRsiAfterClearData.
void BM_FeedAfterClearData(benchmark::State& state) {
    vantor::TGS gs;
    const int bars = static_cast<int>(state.range(0));
    for (auto _ : state) {
        gs.ClearData();
        Feed(gs, bars);
        benchmark::DoNotOptimize(gs.getdatalen());
    }
}
BENCHMARK(BM_FeedAfterClearData)->Arg(48000)->Unit(benchmark::kMicrosecond);

} // namespace
