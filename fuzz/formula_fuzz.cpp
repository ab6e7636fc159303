// Compiles arbitrary formula text and runs what compiles over a short series of bars.
// Any text must compile or fail with a message; no input may crash, hang or grow memory
// without bound.

#include <cstddef>
#include <cstdint>
#include <string>

#include "formula/gs.h"

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
    return 0;
}
