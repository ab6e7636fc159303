#pragma once
// Trade marks: the executed trades of the instrument, each drawn at the bar it was made at
// as an arrow under the bar for a buy (多开, 空平) or over it for a sell (空开, 多平), filled for
// an opening and hollow for a closing, with its direction and price in the title readout
// while the cursor (or, without a cursor, the newest bar) is on that bar. They are drawing
// objects of their own kind in the K-line window's list, put there by the practice.

#include <string>

#include "chart/xx_line.h"

namespace vantor {

struct PaintContext;

constexpr int kTradeMarker = 51;

// The mark of one trade at `bar` (an index of the displayed series); `slot` stacks the marks
// of one bar and side away from the bar (0 nearest).
XXLine TradeMarker(int bar, double price, const std::string& direction, int slot);

// Whether a direction ("多开", "空平", ...) buys.
bool BuysIn(const std::string& direction);

// The arrow's tip in window pixels: below the bar's low for a buy, above its high for a sell.
// False when the bar has no prices or is not visible.
bool TradeMarkerTip(const PaintContext& p, const XXLine& mark, int& x, int& y);

// Paints one mark and, when it sits on the readout bar, its readout.
void DrawTradeMarker(PaintContext& p, const XXLine& mark);

} // namespace vantor
