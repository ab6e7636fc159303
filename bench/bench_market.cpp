// Loading the 48,000-bar minute sample into a store with all thirteen caches (the first N
// bars), and one Next.

#include <benchmark/benchmark.h>

#include "market/stock.h"

namespace {

const char* kMinuteSample = VANTOR_SAMPLE_DIR "/mindata/IFL8.txt";

void BM_LoadMinuteSample(benchmark::State& state) {
    for (auto _ : state) {
        vantor::Tstock store;
        store.fileName = kMinuteSample;
        store.startrow = 0;
        store.setLastrow(static_cast<int>(state.range(0)) - 1);
        store.loaddata();
        benchmark::DoNotOptimize(store.DMP[0].value.size());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
// The whole file is read and parsed each time; the argument is the bars put into the caches.
BENCHMARK(BM_LoadMinuteSample)->Arg(10000)->Arg(25000)->Arg(48000)->Unit(benchmark::kMillisecond);

// The same load into one store again and again, as the practice window loads one instrument
// after another into its store: the memory of the previous load serves the next.
void BM_ReloadMinuteSample(benchmark::State& state) {
    vantor::Tstock store;
    store.fileName = kMinuteSample;
    for (auto _ : state) {
        store.startrow = 0;
        store.setLastrow(static_cast<int>(state.range(0)) - 1);
        store.loaddata();
        benchmark::DoNotOptimize(store.DMP[0].value.size());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ReloadMinuteSample)->Arg(48000)->Unit(benchmark::kMillisecond);

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
