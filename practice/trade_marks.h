#pragma once
// The trades the chart marks: each journal row of the loaded instrument with the base bar it
// was made at, and where those bars lie in the series of the displayed period.

#include <string>
#include <vector>

#include "chart/xx_line.h"
#include "market/stock.h"

namespace vantor {

struct TradeMark {
    int date = 0, time = 0; // the revealed base bar when the trade was made
    double price = 0;
    std::string direction;
};

// The bar text a trade row keeps: "yyyymmdd hhmm", or the date alone for a bar without time.
std::string TradeBarText(const Price& bar);
// Reads a bar text back; false for text that names no bar (rows written without one).
bool ParseTradeBar(const std::string& text, int& date, int& time);

// The marks of `trades` on the displayed series: the newest `shownBars` bars of `cache`
// (the period `period`). A trade made after the bar `current` (the replay position) is not
// marked, nor one whose bar is not in the shown bars.
std::vector<XXLine> TradeMarkers(const std::vector<TradeMark>& trades, const NperdPrice& cache,
                                 TWeekStyle period, int shownBars, const Price& current);

} // namespace vantor
