#pragma once
// The geometry of the drawing objects as plain numbers: what each kind draws (lines, dotted
// lines, labels, an arc as a polyline, a picture or a text box) from its three pixel points
// and the window's plot, and the hit geometry (control squares and body) a press is tested
// against. Nothing here paints, so every kind can be checked on fixed points.

#include <QPoint>
#include <array>
#include <string>
#include <vector>

#include "chart/xx_line.h"

namespace vantor {

// The drawing tools' kinds.
enum LineKind : int {
    kSegment = 1,
    kArrow = 3,
    kRay = 4,
    kEquidistantChannel = 5,
    kChannel = 6,
    kArc = 7,
    kPercentBands = 8,
    kGoldenProjection = 9,
    kGoldenLevels = 10,
    kQuarterLevels = 11,
    kEighthLevels = 12,
    kAngle = 13,
    kSpanLines = 15,
    kTimeIntervals = 16,
    kFibonacciZones = 17,
    kCycleLines = 18,
    kSpeedLines = 19,
    kGannFan = 20,
    kRectangle = 21,
    kMarkUp = 22,
    kMarkDown = 23,
    kText = 24,
    kHorizontalLine = 29,
    kVerticalLine = 30,
};

// The anchors a kind takes: 3 for the channels and the projection, 1 for the marks, the
// text and the horizontal and vertical lines, else 2.
int PointCountOf(int kind);

// What the geometry needs of a window: its size, the plot (left, top, right, bottom as
// pixel rows and columns the values map onto), the bar pitch and the value at a height.
struct ObjectView {
    int width = 0, height = 0; // the window
    int L = 0, T = 0, R = 0, B = 0;
    double scale = 5;
    double maxValue = 1, minValue = 0;
    int textHeight = 12; // of the window's font: labels sit that far above their line
    // The value shown at pixel row y (linear between T and B; the top value when flat).
    double ValueAt(int y) const;
    // The pixel row of value v (inverse of ValueAt, saturated far outside).
    int RowOf(double v) const;
};

struct ShapeLine {
    QPoint a, b;
    bool dotted = false;
    bool operator==(const ShapeLine&) const = default;
};

struct ShapeLabel {
    QPoint at; // top-left corner of the text
    std::string text;
    bool angle = false; // the angle readout, drawn in magenta
    bool operator==(const ShapeLabel&) const = default;
};

// What one object draws, in the window's pixels.
struct ObjectShape {
    std::vector<ShapeLine> lines;
    std::vector<ShapeLabel> labels;
    int picture = 0; // kMarkUp / kMarkDown: the picture at pictureAt (top-left)
    QPoint pictureAt;
    bool textBox = false; // the object's text inside textRect
    TRectI textRect;
};

// The shape of kind `kind` from the points p (only the first PointCountOf(kind) are read),
// clipped to the window: no line reaches far outside it, degenerate parts draw nothing.
ObjectShape ShapeOf(int kind, const std::array<QPoint, 3>& p, const ObjectView& v);

// The part of the segment a-b inside the rectangle [left, right] x [top, bottom]; false when
// none of it lies there.
bool ClipSegment(QPoint& a, QPoint& b, int left, int top, int right, int bottom);

// The hit geometry of an object with the window pixel points p: its control squares (Frec)
// and its body (FBody), moved by `origin` (the window's corner in the control). Squares an
// object does not use are left empty.
void SetHitGeometry(XXLine& o, const std::array<QPoint, 3>& p, const ObjectView& v,
                    QPoint origin = {});

// Whether (x, y) lies in r (left and top edges included, right and bottom excluded).
bool Contains(const TRectI& r, int x, int y);

// The selection by a press at (x, y), last object first: every object whose body or squares
// contain the press is selected (position lines never; trade marks only by a square), all
// others are deselected; the last matching square wins its nCtrPt (8 the body). The start of
// a move is noted in every object. The result is what the last match started, in the order
// the objects were visited: none, a move by the body or a move of a square.
enum class Grab { None, Body, Square };
Grab SelectAt(std::vector<XXLine>& objects, int x, int y);

// Moves the selected objects for a drag of (dx, dy) pixels (dy upwards positive) from the
// press. By the body every point moves (index by dx / pitch, value by dy over the plot height
// less 12); by a square the points the object's grabbed square controls (index by
// dx / barScale, value by dy over the plot height). `span` is the window's value span, `h`
// its plot height.
void MoveSelected(std::vector<XXLine>& objects, Grab grab, int dx, int dy, double pitch,
                  int barScale, double span, int h);

} // namespace vantor
