// Loading the 48,000-bar minute sample into a store with all thirteen caches, and one Next.

#include <benchmark/benchmark.h>

#include "market/stock.h"

namespace {

const char* kMinuteSample = VANTOR_SAMPLE_DIR "/mindata/IFL8.txt";

void BM_LoadMinuteSample(benchmark::State& state) {
    for (auto _ : state) {
        vantor::Tstock store;
        store.fileName = kMinuteSample;
        store.startrow = 0;
        store.setLastrow(47999);
        store.loaddata();
        benchmark::DoNotOptimize(store.DMP[0].value.size());
    }
}
BENCHMARK(BM_LoadMinuteSample)->Unit(benchmark::kMillisecond);

void BM_Next(benchmark::State& state) {
    vantor::Tstock store;
    store.fileName = kMinuteSample;
    store.startrow = 0;
    store.setLastrow(1000);
    store.loaddata();
    vantor::Price bar;
    for (auto _ : state) {
        if (store.Blast()) {
            state.PauseTiming();
            store.nIndex = 1000;
            store.ReCal(vantor::wsmin1);
            state.ResumeTiming();
        }
        store.Next(bar);
    }
}
BENCHMARK(BM_Next);

} // namespace
