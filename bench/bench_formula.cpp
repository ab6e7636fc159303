// Formula engine: compiling the longest built-in texts, and one run of a MACD-sized
// program over the bar count a replay step may hand to a window.

#include <benchmark/benchmark.h>

#include <cmath>
#include <string>
#include <vector>

#include "formula/gs.h"

namespace {

const char* const kIndicators =
    "TECHNAME:=MACD;\r\nTECHTITLE:=平滑异同平均;\r\nDRAWK:=FALSE;\r\n"
    "SHORT:=INPUT(2,200,12,12,'Param日快线移动平均');\r\n"
    "LONG:=INPUT(2,200,26,26,'Param日慢线移动平均');\r\n"
    "MID:=INPUT(2,200,9,9,'Param日移动平均');\r\n"
    "DIF:EMA(CLOSE,SHORT)-EMA(CLOSE,LONG);\r\nDEA:EMA(DIF,MID);\r\n"
    "MACD:(DIF-DEA)*2,COLORSTICK;\r\n0,LINEDOT,COLORWHITE;\r\n"
    "N:=INPUT(2,90,9,9,'天数:Param天');\r\nM1:=INPUT(2,30,3,3,'天数:Param天');\r\n"
    "M2:=INPUT(2,30,3,3,'天数:Param天');\r\n"
    "RSV:=(CLOSE-LLV(LOW,N))/(HHV(HIGH,N)-LLV(LOW,N))*100;\r\n"
    "K:SMA(RSV,M1,1);\r\nD:SMA(K,M2,1);\r\nJ:3*K-2*D;\r\n"
    "NB:=INPUT(5,100,20,20);\r\nMIDB :MA(CLOSE,NB);\r\n"
    "UPPER:MIDB+2*STD(CLOSE,NB);\r\nLOWER:MIDB-2*STD(CLOSE,NB);\r\n";

const char* const kMacd =
    "SHORT:=INPUT(2,200,12,12);\r\nLONG:=INPUT(2,200,26,26);\r\nMID:=INPUT(2,200,9,9);\r\n"
    "DIF:EMA(CLOSE,SHORT)-EMA(CLOSE,LONG);\r\nDEA:EMA(DIF,MID);\r\n"
    "MACD:(DIF-DEA)*2,COLORSTICK;\r\n0,LINEDOT,COLORWHITE;\r\n";

void BM_CompileIndicators(benchmark::State& state) {
    vantor::TGS gs;
    const std::vector<std::string> lines = [] {
        std::vector<std::string> v;
        std::string text = kIndicators, line;
        for (char c : text) {
            if (c == '\n') {
                v.push_back(line);
                line.clear();
            } else if (c != '\r') {
                line += c;
            }
        }
        return v;
    }();
    std::vector<std::string> out;
    for (auto _ : state) {
        gs.Compile(lines, out);
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["statements"] = static_cast<double>(out.size());
}
BENCHMARK(BM_CompileIndicators)->Unit(benchmark::kMicrosecond);

// A window holding `bars` bars with the MACD text installed.
void LoadBars(vantor::TGS& gs, int bars) {
    std::vector<double> close(bars), open(bars), high(bars), low(bars), vol(bars), date(bars);
    for (int i = 0; i < bars; ++i) {
        close[i] = 3000 + 200 * std::sin(i / 50.0) + (i % 7);
        open[i] = close[i] - 3;
        high[i] = close[i] + 5;
        low[i] = close[i] - 6;
        vol[i] = 1000 + i % 100;
        date[i] = 20000101 + i;
    }
    gs.AddAll("date", date.data(), bars);
    gs.AddAll("open", open.data(), bars);
    gs.AddAll("high", high.data(), bars);
    gs.AddAll("low", low.data(), bars);
    gs.AddAll("close", close.data(), bars);
    gs.AddAll("vol", vol.data(), bars);
}

void BM_RunMacd(benchmark::State& state) {
    vantor::TGS gs;
    LoadBars(gs, static_cast<int>(state.range(0)));
    if (!gs.SetProgText(kMacd, "")) state.SkipWithError(gs.FErrorString.c_str());
    for (auto _ : state) {
        gs.ForgetLastRun(); // a rerun of unchanged data would compute nothing
        bool ok = gs.Run("");
        benchmark::DoNotOptimize(ok);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_RunMacd)->Arg(10000)->Arg(25000)->Arg(49000)->Unit(benchmark::kMicrosecond);

// Two references to the lines of one formula: the formula runs once per run.
void BM_RunReferences(benchmark::State& state) {
    vantor::TGS gs;
    LoadBars(gs, 49000);
    gs.formulaSource = [](const std::string& name, std::string& text) {
        if (name != "macd") return false;
        text = kMacd;
        return true;
    };
    if (!gs.SetProgText("X:MACD.DIF-MACD.DEA;", "")) state.SkipWithError(gs.FErrorString.c_str());
    for (auto _ : state) {
        gs.ForgetLastRun();
        bool ok = gs.Run("");
        benchmark::DoNotOptimize(ok);
    }
}
BENCHMARK(BM_RunReferences)->Unit(benchmark::kMicrosecond);

// A replay step: one new bar appended, then the program rerun.
void BM_ReplayStepMacd(benchmark::State& state) {
    vantor::TGS gs;
    LoadBars(gs, 40000);
    if (!gs.SetProgText(kMacd, "")) state.SkipWithError(gs.FErrorString.c_str());
    double price = 3000;
    for (auto _ : state) {
        price += 1;
        gs.AddOne("close", price, false);
        bool ok = gs.Run("");
        benchmark::DoNotOptimize(ok);
    }
}
BENCHMARK(BM_ReplayStepMacd)->Unit(benchmark::kMicrosecond);

} // namespace
