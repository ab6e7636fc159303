#pragma once
// The date axis under the bottom window: which bars get a tick and which labels fit.
// Day bars label the year under the first visible bar and each new month by its number;
// intraday bars mark each new day (month-day) and label the first bar of each hour; weekly
// and longer bars mark each new year and label months. Labels go in order of importance
// (years and days first), and one that would overlap a label already placed or leave the
// plot is left out; its tick stays.

#include <functional>
#include <string>
#include <vector>

#include "chart/window_program.h"
#include "market/price.h"

namespace vantor {

struct AxisLabel {
    int x = 0; // left edge of the text
    std::string text;
};
struct AxisMarks {
    std::vector<int> ticks; // columns of the ticks from the axis line down
    std::vector<AxisLabel> labels;
};

// `x(bar)` is a bar's left edge, `width(text)` a text's width; labels stay within
// [left, right).
AxisMarks DateAxisMarks(TWeekStyle period, const SeriesView& date, const SeriesView& time,
                        int leftBar, int end, const std::function<int(int)>& x,
                        const std::function<int(const std::string&)>& width, int left, int right);

} // namespace vantor
