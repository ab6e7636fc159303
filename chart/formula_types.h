#pragma once
// Types the chart shares with the formula engine: K-line style, price-adjustment style and
// events. They live here until the chart links the formula engine's own definitions.

#include <array>
#include <cstdint>

namespace vantor {

enum TKStyple { ksBar, ksAmericia, ksClose };
enum TQuanStyle { qsNone, qsBefore, qsBack };

// One price-adjustment (ex-rights) event.
struct TStockQuan {
    std::uint8_t Mode = 0; // 1 marks an event; 0 ends the list
    std::int32_t date = 0; // yyyymmdd
    float money = 0;       // cash per 10 shares
    float PeiMoney = 0;    // price of offered shares
    float Number = 0;      // bonus shares per 10
    float PeiNumber = 0;   // offered shares per 10
};

// Financial and quote blocks: 101 single floats each.
using TFINANCE = std::array<float, 101>;
using TDYNAINFO = std::array<float, 101>;

// Index values read by the data words INDEXA ... INDEXV.
struct TIndex {
    float INDEXA = 0, INDEXADV = 0, INDEXDEC = 0, INDEXC = 0, INDEXH = 0, INDEXL = 0,
          INDEXO = 0, INDEXV = 0;
};

} // namespace vantor
