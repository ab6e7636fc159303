#include "chart/scale.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "chart/layout.h"

namespace vantor {

WindowGeometry ComputeGeometry(int w, int h, int textHeight, bool showTop, bool showBottom,
                               bool showLeft, bool showRight, bool tickView) {
    WindowGeometry g;
    g.W = std::max(w, 0);
    g.H = std::max(h, 0);
    g.L = textHeight + 2;
    g.h = g.L / 2;
    g.T = g.h;
    if (showTop)
        g.T = g.L / 3 + g.L;
    else if (tickView)
        g.T = 0;
    g.B = g.h;
    if (showBottom)
        g.B = g.h + 18;
    else if (tickView)
        g.B = 2;
    g.Lm = ScaleWidth(showLeft);
    g.Rm = ScaleWidth(showRight);
    g.X2 = g.W - g.Rm;
    g.X1 = g.Lm + (tickView ? 0 : kBarInset);
    g.P = g.H - g.T - g.B;
    return g;
}

int GridRows(int P, int L) {
    int denom = std::max(L + 6, 1);
    return std::clamp(P / denom + 1, 1, 4);
}

std::string ScaleFormat::Format(double v) const {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%*.*f", width, decimals, v);
    return buf;
}

ScaleFormat MakeScaleFormat(double maxValue, int digitWidth) {
    ScaleFormat f;
    // A zero text width (no font) must not divide: take one digit per pixel column.
    int chars = static_cast<int>(
        std::trunc(static_cast<double>(kScaleWidth) / std::max(digitWidth, 1) - 1));
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.0f", std::clamp(maxValue, -1e300, 1e300));
    int digits = static_cast<int>(std::string(buf).size());
    if (digits >= 13) {
        f.width = 8;
        f.decimals = 2;
        return f;
    }
    if (chars < digits) {
        f.width = std::max(chars, 0);
        f.decimals = 0;
        f.divisor = std::trunc(std::pow(10.0, digits - std::max(chars, 0)));
    } else if (chars == digits || chars == digits + 1) {
        f.width = chars;
        f.decimals = 0;
    } else {
        f.width = digits;
        f.decimals = std::min(chars - digits, 3);
    }
    return f;
}

std::string DivisorBadge(double divisor) {
    if (divisor <= 1) return {};
    char buf[64];
    if (divisor > 9999)
        std::snprintf(buf, sizeof buf, "×%d万", static_cast<int>(std::trunc(divisor / 10000)));
    else
        std::snprintf(buf, sizeof buf, "×%d", static_cast<int>(divisor));
    return buf;
}

int SatPixel(double v) {
    constexpr double kLimit = 1 << 20;
    if (std::isnan(v)) return 0;
    return static_cast<int>(std::trunc(std::clamp(v, -kLimit, kLimit)));
}

void ValueMap::SetRange(double minv, double maxv, int P) {
    minValue = minv;
    maxValue = maxv;
    K = maxv != minv ? P / (maxv - minv) : 0;
}

int ValueMap::Y(double v) const {
    return SatPixel(static_cast<double>(H) - SatPixel((v - minValue) * K) - B);
}

int ValueMap::X(int bar) const {
    return SatPixel(scale * (bar - leftBar)) + Lm;
}

double BarWidth(double scale) {
    if (scale > 8) return scale - 2;
    if (scale > 2) return scale - 1;
    return scale;
}

} // namespace vantor
