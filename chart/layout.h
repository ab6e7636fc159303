#pragma once
// Layout arithmetic of the chart control: dividing the height among the bar-view windows,
// re-dividing it proportionally, the tab strip, the region of a point and the visible
// range of bars. Everything here returns numbers; painting takes the results.

#include <array>
#include <string>
#include <vector>

namespace vantor {

constexpr int kMaxWindows = 10;
constexpr int kTabHeight = 18;
// The width of a window's value scale at its left or right side.
constexpr int kScaleWidth = 50;
constexpr int ScaleWidth(bool shown) {
    return shown ? kScaleWidth : 0;
}
// The bars of the bar view keep this many pixels from the frame at either side, so the
// first and the last candle never touch it (nor cover the scale's frame line).
constexpr int kBarInset = 2;
// The pixels of a bar-view window's width that hold no bars: its scales and the insets.
constexpr int BarViewMargins(bool showLeft, bool showRight) {
    return ScaleWidth(showLeft) + ScaleWidth(showRight) + 2 * kBarInset;
}

// Region of a point of the chart control.
enum class TWeiStyle {
    wsNone,
    wsFS,
    wsVol,
    wsKx,
    wsGS1,
    wsGS2,
    wsGS3,
    wsGS4,
    wsGS5,
    wsGS6,
    wsGS7,
    wsGS8,
    wsGS9,
    wsGS10,
    wsFSize,
    wsKSize,
    wsInfo,
    wsFenJia,
    wsBTab,
    wsBSize,
    wsTab
};

using WindowHeights = std::array<int, kMaxWindows>;

// Main window twice as high as each other one, the bottom window absorbing the remainder.
// A negative available height is taken as 0, so no height is ever negative.
void DefaultDivision(WindowHeights& gsh, int n, int avail);

// Scales the visible heights from `oldAvail` to `newAvail`; when rounding loses at least one
// window's default share the default division is applied instead. An old height of 0 or
// less applies the default division.
void ProportionalRedivision(WindowHeights& gsh, int n, int oldAvail, int newAvail);

// The tab strip: where each tab goes and where the green filler starts.
struct TabStrip {
    std::vector<int> x;     // left edge of each drawn tab
    std::vector<int> width; // text width + 9
    int fillFrom = -1;      // x where the green filler begins, -1 when every tab fits
};
// `textWidths` are the caption widths in order; `controlWidth` the strip's width.
TabStrip LayoutTabs(const std::vector<int>& textWidths, int controlWidth);
// The index of the drawn tab under x, -1 for none (a tab that was not drawn is never hit).
int TabAt(const TabStrip& strip, int x);

// Everything the region test needs to know about the control.
struct HitLayout {
    int width = 0, height = 0;
    bool showBoard = false;
    int boardWidth = 200;
    int jHeight = 0; // top of the board's lower panel
    bool tickView = false;
    int fsh = 0; // tick price window height
    bool fsRightScale = false;
    int windows = 1; // visible bar-view windows
    WindowHeights gsh{};
    std::array<bool, kMaxWindows> rightScale{};
};
struct HitResult {
    TWeiStyle region = TWeiStyle::wsNone;
    int window = -1;   // bar-view window index for wsGS1..wsGS10; -1 for FS/VOL/none
    int boundary = -1; // window above a wsKSize boundary
    bool clearCursor = false;
};
HitResult HitTest(const HitLayout& lay, int x, int y);

// The first visible bar and the bar width, with their values at the last paint.
struct VisibleRange {
    int leftBar = 0, oldLeftBar = 0;
    int scale = 5, oldScale = 5;
    int oldWidth = 0; // chart width at the last paint, 0 before the first
};
// Settles the range for a chart `width` wide with `margins` pixels of scales and `len`
// bars: halves a bar width that leaves fewer than 4 bars, anchors the right edge when the
// width or the bar width changed, never leaves space right of the last bar when there are
// enough bars, and never goes below bar 0. Returns the number of bars that fit.
int SettleVisibleRange(VisibleRange& r, int width, int margins, int len);

} // namespace vantor
