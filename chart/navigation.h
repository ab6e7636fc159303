#pragma once
// Arithmetic of moving through the chart: zoom steps, panning, the bar under a pixel, the
// keyboard cursor's steps, the date Enter reports, and the cursor readout. Numbers and
// texts only; the chart applies them and paints.

#include <string>
#include <vector>

#include "chart/formula_types.h"
#include "chart/window_program.h"
#include "market/price.h"

namespace vantor {

// The hint the main window gives its chart.
inline constexpr const char* kChartHint = "按住鼠标左键可以拖动,键盘上下箭头放大缩小！";

// Height of the cursor-information window in the bar view and in the tick view.
inline constexpr int kHintHeightBars = 215;
inline constexpr int kHintHeightTicks = 120;

// The bar width after Up: one wider while six bars stay narrower than the chart.
int ZoomedIn(int scale, int chartWidth);
// The bar width after Down: one narrower, never below 1.
int ZoomedOut(int scale);
// The first bar after a drag from pressX to x: one bar per pixel, never below 0.
int PannedLeftBar(int leftBar, int pressX, int x);
// The first bar after paging `pages` screens of `visible` bars (negative: earlier bars).
int PagedLeftBar(int leftBar, int visible, int pages);
// The bar under pixel column x of a plot starting at lm (bar view): a column left of the
// plot gives leftBar, one beyond the last bar the last bar.
int BarUnderX(int x, int lm, double scale, int leftBar, int len);
// The same in the tick view, whose slots start at bar 0.
int TickUnderX(int x, int lm, double scale, int len);

// The keyboard cursor after Left or Right: the bar it is on and the first visible bar.
struct KeyCursor {
    int bar = 0, leftBar = 0;
};
// `shown`: the cursor was shown before the key; `bar`: the bar it was on (the window's
// cursor bar); `count`: the bars of the window.
KeyCursor StepLeft(bool shown, int bar, int count, int leftBar);
// `scale`: the bar width last painted, `lm` the left scale's width, `chartWidth` the chart.
KeyCursor StepRight(bool shown, int bar, int count, int leftBar, double scale, int lm,
                    int chartWidth);
// The tick view's cursor after Left or Right (`ticks` the ticks held, `slots` fsCount).
int TickStepLeft(bool shown, int tick, int ticks, int slots);
int TickStepRight(bool shown, int tick, int ticks, int slots);

// What Enter reports on bar `bar`: its yyyymmdd date and close. False on bar 0, beyond the
// last bar or without the series date and close.
bool DateOfBar(WindowProgram& prog, int bar, int& date, float& price);

// The cursor-information text of bar `i` ("\r\n" ends each line), empty outside the bars.
// `value` is the value at the cursor's height (the invalid value when none was shown);
// `quan` the window's adjustment events.
std::string BarReadout(WindowProgram& prog, int i, TWeekStyle period, double value,
                       const std::vector<TStockQuan>& quan);
// The same for tick `i` of the tick view with the previous close `prevClose`.
std::string TickReadout(WindowProgram& prog, int i, double prevClose);

} // namespace vantor
