// Compiles arbitrary formula text and runs what compiles over a short series of bars, then
// reads the same bytes as a formula data file. Any text must compile or fail with a
// message; a data file must load or be refused with the window unchanged; no input may
// crash, hang or grow memory without bound.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include <unistd.h>

#include "formula/gs.h"

namespace {

// Reads the bytes as a data file into a window that already holds bars and a program.
void LoadDataFile(vantor::TGS& gs, const std::uint8_t* data, std::size_t size) {
    static const std::string path = "/tmp/vantor_formula_fuzz_" + std::to_string(::getpid());
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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    vantor::TGS gs;
    // A short series whose shape follows the input, with an invalid bar in it.
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
    if (!gs.SetProgText(text, "3,5,0") && gs.FErrorString.empty()) __builtin_trap();
    gs.Run(""); // a second run reuses every series of the first
    LoadDataFile(gs, data, size);
    return 0;
}
