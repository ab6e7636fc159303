#pragma once
// Instrument records a formula program reads: market mark, financial and quote blocks,
// the index block and the price-adjustment events.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace vantor {

// Financial and quote blocks: 101 single floats each.
using TFINANCE = std::array<float, 101>;
using TDYNAINFO = std::array<float, 101>;

struct TIndex {
    float INDEXA = 0, INDEXADV = 0, INDEXDEC = 0, INDEXC = 0, INDEXH = 0, INDEXL = 0, INDEXO = 0,
          INDEXV = 0;
};

// The instrument record; only the fields the formula engine reads are kept here.
struct TStockinfo {
    int NO = 0;
    std::string key;
    int FMARK = 0; // market mark (data word SETCODE)
    int FTYPE = 0;
    int NCode = 0;
};

// One price-adjustment event (packed 21 bytes on disk).
struct TStockQuan {
    std::uint8_t Mode = 0; // 1 marks an event; 0 ends the list
    std::int32_t date = 0; // YYYYMMDD
    float money = 0;       // cash per 10 shares
    float PeiMoney = 0;    // price of offered shares
    float Number = 0;      // bonus shares per 10
    float PeiNumber = 0;   // offered shares per 10
};

enum TQuanStyle { qsNone, qsBefore, qsBack };

// One parameter slot of a formula.
struct Param {
    std::string Name;
    std::int32_t min1 = 0, max1 = 0, def1 = 0, val1 = 0;
};

} // namespace vantor
