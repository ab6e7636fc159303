#pragma once
// The state of one window painting, shared by the frame and K-line painting and the
// output records.

#include <QImage>
#include <string>
#include <vector>

#include "chart/canvas.h"
#include "chart/chart_window.h"
#include "chart/color_words.h"
#include "chart/scale.h"

namespace vantor {

struct PaintContext {
    PaintContext(ChartWindow& w, WindowProgram& pr, Canvas& cv) : win(w), prog(pr), c(cv) {}

    ChartWindow& win;
    WindowProgram& prog;
    Canvas& c;
    WindowGeometry g;
    ValueMap m;
    ScaleFormat fmt;
    int leftBar = 0, end = 0, len = 0;
    double scale = 1, bw = 1;
    int cursorX = -1;
    TColor bg = kBlack;
    int TW = 0;          // title width; readouts follow it
    bool shaded = false; // KBar3d and bw >= 2
    QImage up, down;     // shading bitmaps: red to black, cyan to black
    ConstTextFn constText;

    bool Series(const std::string& name, SeriesView& s) const { return prog.Series(name, s); }
    int Y(double v) const { return m.Y(v); }
    int X(int l) const { return m.X(l); }
    int CX(int l) const { return m.CX(l); }
    int BW() const { return static_cast<int>(bw); }
};

// The K-line bars of a drawkline record (high, open, low, close), then the ex-rights markers.
void DrawKLines(PaintContext& p, const OutputRecord& r);
// One output record (the loop body); the K-line record goes to DrawKLines.
void DrawOutputRecord(PaintContext& p, const OutputRecord& r);
// A bar between two heights in `color`, shaded when the window wants shaded bars.
void DrawBar3D(PaintContext& p, int x1, int y1, int x2, int y2, TColor color);
// The window pixel of an object's anchor: the centre of bar `bar`, the height of `value`.
QPoint AnchorPixel(const PaintContext& p, int bar, double value);
// The window's drawing objects in list order, while FShowLine is on; sets their hit
// geometry (control pixels).
void DrawObjects(PaintContext& p);
// An anti-aliased line blended into the image.
void DrawLineAA(Canvas& c, int x1, int y1, int x2, int y2, TColor color);

} // namespace vantor
