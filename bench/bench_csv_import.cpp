// Converting a generated CSV file of a million 1-minute bars into a data file: the whole
// import (read, parse, sort check, format, write, rename) and the reading alone, from text in
// memory. Throughput is reported as CSV bytes per second.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "market/csv_import.h"
#include "market/csv_reader.h"

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kBars = 1000000;

// A million 1-minute bars of a made-up contract, 240 a day, prices on a 0.2 tick, in the
// common "Date,Time,Open,High,Low,Close,Volume,Amount" style.
const std::string& MinuteCsv() {
    static const std::string csv = [] {
        std::string s = "Date,Time,Open,High,Low,Close,Volume,Amount\n";
        s.reserve(kBars * 64);
        std::uint32_t seed = 12345;
        int tenths = 35000; // price in tenths
        char line[128];
        for (std::size_t i = 0; i < kBars; ++i) {
            seed = seed * 1664525u + 1013904223u;
            tenths += (static_cast<int>(seed >> 29) - 4) * 2;
            if (tenths < 20000 || tenths > 50000) tenths = 35000;
            std::size_t day = i / 240;
            int year = 2010 + static_cast<int>(day / 250),
                month = 1 + static_cast<int>(day % 250 / 21),
                dom = 1 + static_cast<int>(day % 250 % 21);
            int minute = 570 + static_cast<int>(i % 240);
            std::snprintf(
                line, sizeof line, "%04d-%02d-%02d,%02d:%02d,%d.%d,%d.%d,%d.%d,%d.%d,%u,%u\n", year,
                month, dom, minute / 60, minute % 60, tenths / 10, tenths % 10, (tenths + 10) / 10,
                (tenths + 10) % 10, (tenths - 8) / 10, (tenths - 8) % 10, (tenths + 2) / 10,
                (tenths + 2) % 10, 100 + (seed >> 20), (seed >> 8) & 0xffffff);
            s += line;
        }
        return s;
    }();
    return csv;
}

void BM_ImportMinuteCsv(benchmark::State& state) {
    fs::path dir = fs::temp_directory_path() / ("vantor_bench_csv_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::string source = (dir / "IF1509.csv").string();
    std::ofstream(source, std::ios::binary) << MinuteCsv();
    vantor::CsvImportResult result;
    for (auto _ : state) {
        if (!vantor::ImportCsvFiles({source}, "IF1509", dir.string(), false, {}, nullptr, result)) {
            state.SkipWithError(result.sMessage.c_str());
            break;
        }
        benchmark::DoNotOptimize(result.nBars);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * MinuteCsv().size()));
    state.counters["bars"] = static_cast<double>(result.nBars);
    state.counters["input_MB"] = static_cast<double>(MinuteCsv().size()) / 1e6;
    fs::remove_all(dir);
}
BENCHMARK(BM_ImportMinuteCsv)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReadMinuteCsv(benchmark::State& state) {
    const std::string& csv = MinuteCsv();
    std::string text;
    for (auto _ : state) {
        vantor::TCsvReader reader;
        if (!reader.Add(csv, "IF1509.csv") || !reader.Finish(text)) {
            state.SkipWithError(reader.FErrorString.c_str());
            break;
        }
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * csv.size()));
}
BENCHMARK(BM_ReadMinuteCsv)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
