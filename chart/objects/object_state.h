#pragma once
// What the drawing tools keep between events: the chart's mouse mode, the object being
// placed with its pixel points, and per window the plot and value range of its last paint,
// which turn a pixel into an anchor (bar index and value) and back.

#include <QPoint>
#include <array>

#include "chart/xx_line.h"

namespace vantor {

// The chart's mouse mode: no tool, placing a new object, moving selected objects by their
// body, or moving one control square of them.
enum TCursorType { ctNone, ctDrawLine, ctPan, ctEdit };

// A window's plot as its last paint left it, in control pixels: left, top, right and the
// bottom row (where the bottom of the value range lies), the bar pitch and first bar, and
// the value range. Not valid until the window painted its plot.
struct ObjectPlot {
    bool valid = false;
    int L = 0, T = 0, R = 0, B = 0;
    double scale = 5;
    int leftBar = 0;
    double maxValue = 0, minValue = 0;

    // The anchor of a pixel: the bar it lies on and the value at its height.
    int IndexAt(int x) const;
    double ValueAt(int y) const;
    // The pixel kept inside the plot.
    QPoint Clamp(QPoint p) const;
};

// The object being placed: the tool's template and the pixel points (control pixels) placed
// so far, the last one following the mouse.
struct LinePreview {
    XXLine tpl;
    std::array<QPoint, 3> points{};
    int placed = 0; // FLineCount
};

} // namespace vantor
