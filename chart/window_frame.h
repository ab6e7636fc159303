#pragma once
// The frame of one window painting, settled before anything is painted: geometry, the
// visible bars, the cursor bar, the value range and its mapping, the number format of the
// scale and the output records in painting order. The painters only read it, so its
// numbers can be checked without painting.

#include <vector>

#include "chart/chart_window.h"
#include "chart/color_words.h"
#include "chart/scale.h"

namespace vantor {

// The record that draws the K-lines, put in front of a window's outputs.
inline constexpr const char* kKLineRecord = "drawkline=high,open,low,close";

// What the chart knows of a window when it is about to paint it.
struct FrameRequest {
    int width = 0, height = 0; // the window's size in pixels
    int leftBar = 0;           // first bar of the view (negative taken as 0)
    double scale = 5;          // bar pitch in pixels
    // curY -2: a keyboard cursor on bar curX; else the mouse at pixel (curX, curY) of the
    // window, curY -1 when it is not in this window.
    int curX = -1, curY = -1;
    int originX = 0, originY = 0; // the window's top-left corner in the control
    FontMeasure font;             // of the window's font
};

struct WindowFrame {
    WindowGeometry g;
    TRectI plot; // the plot area in control pixels
    int leftBar = 0, end = 0, len = 0;
    double scale = 1, bw = 1;
    int cursorX = -1; // pixel column of the cursor line
    int curBar = 0;   // the bar under the cursor (the readout's bar)
    // The cursor lines: drawn at all, the row of the horizontal line (outside T..H-B: none;
    // a keyboard cursor in a price window follows the close) and the value at that row.
    bool cursorLines = false;
    int cursorY = -1;
    double curValue = kInvalidValue;
    // Room to plot and bars to plot: the range, the map's values, the format and the
    // records below are set; otherwise only the title and the frame are painted.
    bool plotted = false;
    double maxValue = 0, minValue = 0;
    ValueMap m;
    ScaleFormat fmt;
    int showK = -1;                    // the program's K-line request
    bool kLines = false;               // K-lines wanted
    bool kRecord = false;              // ... and the four prices are there: the K-line record leads
    bool hourLines = false;            // tick-by-tick bars: red lines at every full hour
    std::vector<OutputRecord> records; // in painting order
};

// The request for a window of `width` x `height` at (originX, originY), measured in its font.
FrameRequest RequestFor(const ChartWindow& win, int width, int height, int leftBar, double scale,
                        int curX, int curY, int originX = 0, int originY = 0);

// The frame of `win` painting its program's last run for `r`.
WindowFrame ComputeFrame(const ChartWindow& win, WindowProgram& prog, const FrameRequest& r);

// Top and bottom of the values the window shows over bars leftBar..end-1: the series and
// constants its records plot, the four prices when it draws K-lines, symmetric about the
// previous close in the tick price window, spread when flat.
void ValueRange(const ChartWindow& win, WindowProgram& prog,
                const std::vector<OutputRecord>& records, int showK, int leftBar, int end,
                double& mx, double& mn);

// Whether the program holds the four prices a K-line record reads.
bool HasKLinePrices(WindowProgram& prog);

} // namespace vantor
