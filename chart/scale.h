#pragma once
// Window geometry, the value scale and its number format: the arithmetic of a chart
// window's painting, kept apart so it can be checked without painting.

#include <cmath>
#include <string>

#include "formula/bian.h"

namespace vantor {

inline bool IsFinite(double v) {
    return std::isfinite(v);
}

struct WindowGeometry {
    int W = 0, H = 0; // bitmap size
    int L = 0, h = 0; // line height (TextHeight("H") + 2) and its half
    int T = 0, B = 0; // top and bottom margins
    int Lm = 0, Rm = 0;
    int X2 = 0; // plot right edge
    int X1 = 0; // left edge of the first visible bar: kBarInset right of Lm in the bar view
    int P = 0;  // plot height
};
WindowGeometry ComputeGeometry(int w, int h, int textHeight, bool showTop, bool showBottom,
                               bool showLeft, bool showRight, bool tickView);

// Rows of the dotted grid and of the scale labels of a bar-view window.
int GridRows(int P, int L);

// The number format of a window's scale, derived from the top of the range and the width
// of a digit.
struct ScaleFormat {
    int width = 7, decimals = 2; // printf %width.decimalsf
    double divisor = 1;
    std::string Format(double v) const;
};
ScaleFormat MakeScaleFormat(double maxValue, int digitWidth);
// "×100", "×2万" ...; empty for a divisor of 1 or less.
std::string DivisorBadge(double divisor);

// The value and bar mapping of one window painting. Pixel results saturate instead of
// overflowing, so an absurd value is drawn at the far edge and never wraps around.
struct ValueMap {
    double minValue = 0, maxValue = 0, K = 0;
    int H = 0, B = 0;
    double scale = 1;
    int leftBar = 0, Lm = 0;
    double bw = 1; // bar width

    void SetRange(double minv, double maxv, int P);
    int Y(double v) const;
    int X(int bar) const;
    int CX(int bar) const { return X(bar) + static_cast<int>(bw / 2); }
    // The value at pixel row y (inverse of Y), for the scale labels.
    double ValueAtRow(double offset) const { return K > 0 ? maxValue - offset / K : maxValue; }
};

// Saturating conversion of a real pixel position to an int.
int SatPixel(double v);

// Bar width drawn for a pitch: the pitch, less 1 above 2 pixels, less 2 above 8.
double BarWidth(double scale);

} // namespace vantor
