// Compiles arbitrary formula text and runs what compiles over a short series of bars, then
// reads the same bytes as a formula data file. Any text must compile or fail with a
// message; a rerun over unchanged bars must leave every series, constant and output record
// as the first run and as a fresh window over the same bars compute them, bit for bit; a
// data file must load or be refused with the window unchanged; no input may crash, hang or
// grow memory without bound.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "formula/gs.h"
#include "fuzz_temp.h"

namespace {

// What a run leaves in a window: output records, constants and computed series.
struct RunResult {
    std::vector<std::string> records, consts, names;
    std::vector<std::vector<double>> series;

    explicit RunResult(const vantor::TGS& gs) : records(gs.LineName) {
        for (std::size_t k = 0; k < gs.ls.size(); ++k) consts.push_back(gs.ls.line(k));
        for (std::size_t k = 0; k < gs.namebian.size(); ++k) {
            const vantor::Tbian& b = gs.namebian[k];
            names.push_back(b.name);
            series.emplace_back(b.value.begin(), b.value.begin() + b.len);
        }
    }
    // Compared bit for bit, so that NaN equals NaN and -0 differs from 0.
    bool operator==(const RunResult& o) const {
        if (records != o.records || consts != o.consts || names != o.names) return false;
        for (std::size_t k = 0; k < series.size(); ++k)
            if (series[k].size() != o.series[k].size() ||
                std::memcmp(series[k].data(), o.series[k].data(),
                            series[k].size() * sizeof(double)) != 0)
                return false;
        return true;
    }
};

// Reads the bytes as a data file into a window that already holds bars and a program.
void LoadDataFile(vantor::TGS& gs, const std::uint8_t* data, std::size_t size) {
    static const std::string path = vantor::fuzz::TempFolder() + "/data_file.dat";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    const bool written = std::fwrite(data, 1, size, f) == size;
    if (std::fclose(f) != 0 || !written) return;
    const int bars = gs.getdatalen();
    const double last = gs.GetLast("close");
    const std::string text = gs.GetProgText();
    if (gs.DataFromFile(path)) {
        gs.Run(""); // the loaded program runs again over the loaded bars
    } else if (gs.FErrorString.empty() || gs.getdatalen() != bars || gs.GetLast("close") != last ||
               gs.GetProgText() != text) {
        __builtin_trap(); // a refused file must leave the window as it was
    }
    std::remove(path.c_str());
}

// A window over a short series whose shape follows the input, with an invalid bar in it.
void FillBars(vantor::TGS& gs, const std::uint8_t* data, std::size_t size) {
    constexpr int kBars = 24;
    double open[kBars], high[kBars], low[kBars], close[kBars], vol[kBars], date[kBars];
    std::uint32_t seed = 2166136261u;
    for (std::size_t i = 0; i < size && i < 64; ++i) seed = (seed ^ data[i]) * 16777619u;
    for (int i = 0; i < kBars; ++i) {
        seed = seed * 1664525u + 1013904223u;
        close[i] = 100 + static_cast<int>(seed >> 24) % 21 - 10;
        open[i] = close[i] - 1;
        high[i] = close[i] + 2;
        low[i] = close[i] - 2;
        vol[i] = (seed >> 8) % 1000;
        date[i] = 20240101 + i;
    }
    close[kBars / 2] = vantor::kInvalidValue;
    gs.AddAll("date", date, kBars);
    gs.AddAll("open", open, kBars);
    gs.AddAll("high", high, kBars);
    gs.AddAll("low", low, kBars);
    gs.AddAll("close", close, kBars);
    gs.AddAll("vol", vol, kBars);
    // Formula references reach two small formulas, one of which names itself.
    gs.formulaSource = [](const std::string& name, std::string& source) {
        if (name == "two")
            source = "P:=INPUT(1,9,2,2);A:C*P;B:C+1;";
        else if (name == "self")
            source = "X:SELF.X+1;";
        else
            return false;
        return true;
    };
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    vantor::TGS gs;
    FillBars(gs, data, size);
    static const std::string kParams = "3,5,0";
    const bool compiled = gs.SetProgText(text, kParams); // compiles and runs once
    if (!compiled && gs.FErrorString.empty()) __builtin_trap();
    if (compiled && !gs.pg1.empty()) { // a text of comments only compiles to nothing to run
        const RunResult first(gs);
        const bool rerun = gs.Run(kParams); // the same bars and parameters: nothing to redo
        const RunResult second(gs);
        vantor::TGS fresh;
        FillBars(fresh, data, size);
        const bool freshOk = fresh.SetProgText(text, kParams);
        if (rerun != freshOk) __builtin_trap();
        if (rerun && (!(second == first) || !(second == RunResult(fresh)))) __builtin_trap();
    } else {
        gs.Run("");
    }
    LoadDataFile(gs, data, size);
    return 0;
}
