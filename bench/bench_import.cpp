// Converting a generated minute file of a million records into data-file text: the whole
// file conversion (read, format, write, rename) and the formatting alone. Throughput is
// reported as input bytes per second.

#include <benchmark/benchmark.h>

#include <bit>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "market/tdx_records.h"

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kRecords = 1000000;

void Put32(unsigned char* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

// A million 1-minute records of a made-up contract: 240 bars a day, prices on a 0.2 tick.
const std::string& MinuteBytes() {
    static const std::string bytes = [] {
        std::string b(kRecords * vantor::kTdxRecordSize, '\0');
        auto* p = reinterpret_cast<unsigned char*>(b.data());
        std::uint32_t seed = 12345;
        float price = 3500.0f;
        for (std::size_t i = 0; i < kRecords; ++i, p += vantor::kTdxRecordSize) {
            seed = seed * 1664525u + 1013904223u;
            price += static_cast<float>(static_cast<int>(seed >> 29) - 4) * 0.2f;
            std::uint16_t day = static_cast<std::uint16_t>(i / 240);
            std::uint16_t date = static_cast<std::uint16_t>((11 + day / 250) * 2048 + 101 +
                                                            day % 250 / 21 * 100 + day % 21);
            std::uint16_t minutes = static_cast<std::uint16_t>(570 + i % 240);
            p[0] = date & 0xff;
            p[1] = date >> 8;
            p[2] = minutes & 0xff;
            p[3] = minutes >> 8;
            Put32(p + 4, std::bit_cast<std::uint32_t>(price));
            Put32(p + 8, std::bit_cast<std::uint32_t>(price + 1.0f));
            Put32(p + 12, std::bit_cast<std::uint32_t>(price - 0.8f));
            Put32(p + 16, std::bit_cast<std::uint32_t>(price + 0.2f));
            Put32(p + 20, 100 + (seed >> 20));
            Put32(p + 24, (seed >> 8) & 0xffff);
        }
        return b;
    }();
    return bytes;
}

void BM_ConvertMinuteFile(benchmark::State& state) {
    fs::path dir =
        fs::temp_directory_path() / ("vantor_bench_import_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::string source = (dir / "47#IF1509.lc1").string();
    std::string target = (dir / "IF1509.txt").string();
    std::ofstream(source, std::ios::binary) << MinuteBytes();
    for (auto _ : state) {
        std::size_t lines = 0;
        std::string error;
        if (!vantor::ConvertTdxFile(source, vantor::TdxLayout::Minute, target, lines, error)) {
            state.SkipWithError(error.c_str());
            break;
        }
        benchmark::DoNotOptimize(lines);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * MinuteBytes().size()));
    state.counters["output_MB"] = static_cast<double>(fs::file_size(target)) / 1e6;
    fs::remove_all(dir);
}
BENCHMARK(BM_ConvertMinuteFile)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FormatMinuteRecords(benchmark::State& state) {
    const std::string& bytes = MinuteBytes();
    std::string out;
    for (auto _ : state) {
        out.clear();
        vantor::AppendTdxLines(vantor::TdxLayout::Minute,
                               reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                               out);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_FormatMinuteRecords)->Unit(benchmark::kMillisecond);

} // namespace
