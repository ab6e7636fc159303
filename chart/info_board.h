#pragma once
// The information board at the right of the chart: what its quote rows say and in which
// colours, the tick list's price table, and the tab row's geometry. Painting reads these.

#include <string>
#include <vector>

#include "chart/canvas.h"
#include "chart/quote_records.h"

namespace vantor {

constexpr TColor kBoardLabel = RGBColor(192, 192, 192);
constexpr TColor kBoardUp = RGBColor(255, 60, 60);
constexpr TColor kBoardDown = RGBColor(0, 230, 0);
constexpr TColor kBoardVolume = RGBColor(200, 200, 0);
constexpr int kBoardTabHeight = 18;

// One line of the quote block: a rule, or up to two label/value pairs. A level row ("卖一")
// has one label, its price in the left value and its quantity in the right one.
struct BoardRow {
    bool rule = false;
    std::string label1, value1, label2, value2;
    TColor color1 = kBoardDown, color2 = kBoardDown;
};

// The quote rows of a snapshot, top to bottom, with the rules between the blocks; `type` 7
// leaves out 委比, 委差 and the ten levels; `fmt` formats prices.
std::vector<BoardRow> QuoteRows(const TTDX_PKBASE& q, int type, const std::string& fmt);

// The volumes of the ticks summed per price (at most 1001 prices), highest price first.
struct PriceLevel {
    float price = 0;
    double volume = 0;
};
std::vector<PriceLevel> PriceTable(const std::vector<TTDX_DEALInfo>& ticks);

// The texts of one row of the tick list: time "hh:mm", price, volume, "B" (buy) / "S"
// (sell) / " ", and the trade count.
struct TickTexts {
    std::string time, price, volume, mark, count;
};
TickTexts TickRow(const TTDX_DEALInfo& t, const std::string& fmt);

// A text formatted by a printf format with one double.
std::string FormatValue(const char* fmt, double v);

} // namespace vantor
