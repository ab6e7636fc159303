#pragma once
// The state of one window painting, shared by the frame and K-line painting and the
// output records; the numbers come from the window's frame.

#include <QImage>
#include <string>
#include <vector>

#include "chart/canvas.h"
#include "chart/chart_window.h"
#include "chart/color_words.h"
#include "chart/scale.h"
#include "chart/window_frame.h"

namespace vantor {

struct PaintContext {
    PaintContext(ChartWindow& w, WindowProgram& pr, Canvas& cv, const WindowFrame& fr)
        : win(w), prog(pr), c(cv), f(fr), g(fr.g), m(fr.m), fmt(fr.fmt), leftBar(fr.leftBar),
          end(fr.end), len(fr.len), scale(fr.scale), bw(fr.bw), cursorX(fr.cursorX) {}

    ChartWindow& win;
    WindowProgram& prog;
    Canvas& c;
    // The frame settled before painting, and its parts the painters read most.
    const WindowFrame& f;
    const WindowGeometry& g;
    const ValueMap& m;
    const ScaleFormat& fmt;
    const int leftBar, end, len;
    const double scale, bw;
    const int cursorX;
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
// High/low marks, date axis and cursor lines, in that order (the window's overlays).
void DrawOverlays(PaintContext& p);
// The cursor lines and boxes of a window alone, painted over `bmp` (the window's pixels);
// the rectangles they cover (control pixels) are added to `damage`.
void DrawCursorLines(ChartWindow& win, const WindowFrame& f, QImage& bmp, TColor bg,
                     std::vector<QRect>& damage);
// An anti-aliased line blended into the image.
void DrawLineAA(Canvas& c, int x1, int y1, int x2, int y2, TColor color);

} // namespace vantor
