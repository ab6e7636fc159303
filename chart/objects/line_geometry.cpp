// Geometry of the drawing objects: the shape of every kind from its pixel points, the hit
// geometry, the selection by a press and the moves by the body or a control square.

#include "chart/objects/line_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace vantor {

namespace {

// Pixel coordinates stay within this distance of the window, so nothing overflows and no
// line is walked across millions of pixels.
constexpr double kFar = 1 << 20;

int Pix(double v) {
    if (std::isnan(v)) return 0;
    return static_cast<int>(std::trunc(std::clamp(v, -kFar, kFar)));
}

std::string Fmt(const char* f, double v) {
    char buf[96];
    std::snprintf(buf, sizeof buf, f, v);
    return buf;
}

std::string Fmt2(const char* f, double a, double b) {
    char buf[96];
    std::snprintf(buf, sizeof buf, f, a, b);
    return buf;
}

// Liang-Barsky: the part of the line a + t(b - a), t in [t0, t1], inside the rectangle.
bool ClipD(double& ax, double& ay, double& bx, double& by, double left, double top, double right,
           double bottom, double t0 = 0, double t1 = 1) {
    const double dx = bx - ax, dy = by - ay;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {ax - left, right - ax, ay - top, bottom - ay};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1) return false;
    }
    const double nax = ax + t0 * dx, nay = ay + t0 * dy;
    bx = ax + t1 * dx;
    by = ay + t1 * dy;
    ax = nax;
    ay = nay;
    return true;
}

class ShapeBuilder {
public:
    ShapeBuilder(const ObjectView& v, ObjectShape& s) : v_(v), s_(s) {}

    // A segment in window pixels, kept to the window (a pixel of margin on every side).
    void Seg(double ax, double ay, double bx, double by, bool dotted = false) {
        if (!ClipD(ax, ay, bx, by, -1, -1, v_.width, v_.height)) return;
        s_.lines.push_back({{Pix(std::round(ax)), Pix(std::round(ay))},
                            {Pix(std::round(bx)), Pix(std::round(by))},
                            dotted});
    }
    void Seg(QPoint a, QPoint b, bool dotted = false) { Seg(a.x(), a.y(), b.x(), b.y(), dotted); }
    void HLine(int y, bool dotted = false) { Seg(v_.L, y, v_.R, y, dotted); }
    void VLine(int x) { Seg(x, v_.T, x, v_.B); }
    void Label(double x, double y, std::string text, bool angle = false) {
        s_.labels.push_back({{Pix(x), Pix(y)}, std::move(text), angle});
    }
    // A labelled level line across the plot, or nothing when its row is not strictly inside.
    void Level(double value, const std::string& text) {
        const int y = v_.RowOf(value);
        if (y <= v_.T || y >= v_.B) return;
        HLine(y, true);
        Label(v_.L + 2, y - v_.textHeight, text);
    }
    // The line from a through b to the top border (b above a) or the bottom border, pulled
    // in to the left or right border; nothing when a and b share a row or a column.
    QPoint BorderRay(QPoint a, QPoint b, bool dotted) {
        if (a.x() == b.x() || a.y() == b.y()) return a;
        const double ty = b.y() < a.y() ? v_.T : v_.B;
        const double k = static_cast<double>(b.x() - a.x()) / (b.y() - a.y());
        double x = a.x() + k * (ty - a.y()), y = ty;
        if (x < v_.L || x > v_.R) {
            x = x < v_.L ? v_.L : v_.R;
            y = a.y() + (x - a.x()) / k;
        }
        Seg(a.x(), a.y(), x, y, dotted);
        return {Pix(x), Pix(y)};
    }
    // The whole line through p with the slope dx/dy (dy not 0) across the plot: its
    // crossings with the top and bottom borders, pulled in to the left or right border.
    void Across(double px, double py, double dx, double dy) {
        double ax = px + dx * (v_.T - py) / dy, ay = v_.T;
        double bx = px + dx * (v_.B - py) / dy, by = v_.B;
        if (!ClipD(ax, ay, bx, by, v_.L, v_.T, v_.R, v_.B)) return;
        Seg(ax, ay, bx, by);
    }
    // A bar centre: x snapped to the middle of the bar it lies on.
    int Snap(int x) const {
        const double s = v_.scale > 0 ? v_.scale : 1;
        return Pix(std::trunc(std::trunc((x - v_.L) / s) * s + s / 2)) + v_.L - 1;
    }

private:
    const ObjectView& v_;
    ObjectShape& s_;
};

void Arrow(ShapeBuilder& b, QPoint p0, QPoint p1) {
    b.Seg(p0, p1);
    const double ux = p0.x() - p1.x(), uy = p0.y() - p1.y(), d = std::hypot(ux, uy);
    if (d == 0) return;
    b.Seg(p1.x(), p1.y(), p1.x() + 8 * (ux + uy / 2) / d, p1.y() + 8 * (uy - ux / 2) / d);
    b.Seg(p1.x(), p1.y(), p1.x() + 8 * (ux - uy / 2) / d, p1.y() + 8 * (uy + ux / 2) / d);
}

void Channel(ShapeBuilder& b, const ObjectView& v, const std::array<QPoint, 3>& p, bool mirror) {
    const QPoint p0 = p[0], p1 = p[1], p2 = p[2];
    if (p0.y() == p1.y()) return; // a horizontal base line has no crossings to draw
    if (p0.x() == p1.x()) {
        b.VLine(p0.x());
        b.VLine(p2.x());
        if (mirror) b.VLine(Pix(2.0 * p0.x() - p2.x()));
        return;
    }
    const double dx = p1.x() - p0.x(), dy = p1.y() - p0.y();
    b.Across(p0.x(), p0.y(), dx, dy);
    b.Across(p2.x(), p2.y(), dx, dy);
    if (mirror) {
        const double onBase = p0.x() + dx * (p2.y() - p0.y()) / dy;
        b.Across(2 * onBase - p2.x(), p2.y(), dx, dy);
    }
    (void)v;
}

// Half of the ellipse that starts at p0 and has p1 as its extreme point, counter-clockwise
// on the screen.
void Arc(ShapeBuilder& b, QPoint p0, QPoint p1) {
    if (p0 == p1) return;
    const double dx = std::abs(p1.x() - p0.x()), dy = std::abs(p1.y() - p0.y());
    const bool below = p1.y() > p0.y(), left = p1.x() < p0.x();
    double cx = p0.x(), cy = p0.y(), start = 0;
    if (below && left) {
        cy += dy;
        start = 90;
    } else if (below) {
        cx += dx;
        start = 180;
    } else if (left) {
        cx -= dx;
        start = 0;
    } else {
        cy -= dy;
        start = 270;
    }
    constexpr int kSteps = 36;
    double px = p0.x(), py = p0.y();
    for (int i = 1; i <= kSteps; ++i) {
        const double a = (start + 180.0 * i / kSteps) * M_PI / 180;
        double x = cx + dx * std::cos(a), y = cy - dy * std::sin(a);
        if (i == kSteps) { // exactly the opposite end
            x = 2 * cx - p0.x();
            y = 2 * cy - p0.y();
        }
        b.Seg(px, py, x, y);
        px = x;
        py = y;
    }
}

// Horizontal levels between two anchors: the base at y0, 100% at y1 and the ratios dotted.
void Levels(ShapeBuilder& b, const ObjectView& v, QPoint p0, QPoint p1,
            std::initializer_list<double> ratios) {
    const double v0 = v.ValueAt(p0.y()), v1 = v.ValueAt(p1.y());
    b.HLine(p0.y());
    b.Label(v.L + 2, p0.y() - v.textHeight, Fmt("  Base %6.3f", v0));
    b.HLine(p1.y());
    b.Label(v.L + 2, p1.y() - v.textHeight, Fmt("100.0%% %6.3f", v1));
    for (double r : ratios) {
        const double value = v0 + r * (v1 - v0);
        b.Level(value, Fmt2("%5.1f%% %6.3f", r * 100, value));
    }
}

void TimeIntervals(ShapeBuilder& b, const ObjectView& v, QPoint p0, QPoint p1) {
    const int x0 = b.Snap(p0.x()), x1 = b.Snap(p1.x());
    const long long w = std::abs(static_cast<long long>(x1) - x0);
    if (w == 0) {
        b.VLine(x0);
        return;
    }
    long long x = std::min(x0, x1), k = 0;
    if (x < v.L - w) { // lines far left of the plot are skipped, not walked
        k = (v.L - x) / w;
        x += k * w;
    }
    bool first = true;
    for (; x < v.R; x += w, ++k) {
        b.VLine(static_cast<int>(x));
        b.Label(x + 2, v.T, std::to_string(k));
        if (first) b.Label(x + 2, v.height / 2.0, Fmt("间隔%.f", w / (v.scale > 0 ? v.scale : 1)));
        first = false;
    }
    b.VLine(Pix(static_cast<double>(x)));
}

void FibonacciZones(ShapeBuilder& b, const ObjectView& v, QPoint p1) {
    const long long start = b.Snap(p1.x()), m = std::max<long long>(Pix(v.scale), 1);
    for (long long f = 1, g = 1; f < kFar; g = f + g, f = g - f) {
        const long long x = start + (f - 1) * m;
        if (x >= v.R) break;
        if (x < v.L) continue; // left of the plot
        b.VLine(static_cast<int>(x));
        b.Label(x + 2, v.T, std::to_string(f));
    }
}

void CycleLines(ShapeBuilder& b, const ObjectView& v, QPoint p1) {
    static constexpr int kCycle[] = {1,  5,  9,  11, 14, 17, 21, 23, 25, 32, 37, 41,
                                     45, 50, 57, 59, 61, 65, 68, 71, 73, 77, 81};
    const long long start = b.Snap(p1.x()), m = std::max<long long>(Pix(v.scale), 1);
    for (int k = 0; k < 23; ++k) {
        const long long x = k == 0 ? start : start + kCycle[k - 1] * m;
        if (x > v.R) break;
        if (x < v.L) continue;
        b.VLine(static_cast<int>(x));
        b.Label(x + 2, v.T, std::to_string(k == 0 ? 1 : kCycle[k]));
    }
}

void SpeedLines(ShapeBuilder& b, QPoint p0, QPoint p1) {
    if (p0.x() >= p1.x()) return;
    const double dy = p1.y() - p0.y();
    const QPoint a(p1.x(), Pix(p0.y() + dy / 3)), c(p1.x(), Pix(p0.y() + 2 * dy / 3));
    b.BorderRay(p0, a, true);
    b.Label(a.x() + 2, a.y(), "3:1");
    b.BorderRay(p0, c, true);
    b.Label(c.x() + 2, c.y(), "3:2");
    b.BorderRay(p0, p1, false);
}

void GannFan(ShapeBuilder& b, const ObjectView& v, QPoint p0, QPoint p1) {
    if (p0.x() >= p1.x()) return;
    b.Seg(p0.x(), p0.y(), p0.x(), p1.y() < p0.y() ? v.T : v.B);
    b.Seg(p0.x(), p0.y(), v.R, p0.y());
    b.BorderRay(p0, p1, false);
    const double dx = p1.x() - p0.x(), dy = p1.y() - p0.y();
    for (int k : {2, 3, 4, 8}) {
        const QPoint a(p1.x(), Pix(p0.y() + dy / k)), c(Pix(p0.x() + dx / k), p1.y());
        b.BorderRay(p0, a, true);
        b.Label(a.x() + 2, a.y(), std::to_string(k) + ":1");
        b.BorderRay(p0, c, true);
    }
}

} // namespace

int PointCountOf(int kind) {
    switch (kind) {
    case kEquidistantChannel:
    case kChannel:
    case kGoldenProjection:
        return 3;
    case kMarkUp:
    case kMarkDown:
    case kText:
    case kHorizontalLine:
    case kVerticalLine:
    case 31:
    case 32:
        return 1;
    default:
        return 2;
    }
}

double ObjectView::ValueAt(int y) const {
    if (B == T) return maxValue;
    return maxValue - (y - T) * (maxValue - minValue) / (B - T);
}

int ObjectView::RowOf(double v) const {
    if (maxValue == minValue) return T;
    return Pix(B - std::trunc((v - minValue) * (B - T) / (maxValue - minValue)));
}

bool ClipSegment(QPoint& a, QPoint& b, int left, int top, int right, int bottom) {
    double ax = a.x(), ay = a.y(), bx = b.x(), by = b.y();
    if (!ClipD(ax, ay, bx, by, left, top, right, bottom)) return false;
    a = {Pix(std::round(ax)), Pix(std::round(ay))};
    b = {Pix(std::round(bx)), Pix(std::round(by))};
    return true;
}

ObjectShape ShapeOf(int kind, const std::array<QPoint, 3>& p, const ObjectView& v) {
    ObjectShape s;
    ShapeBuilder b(v, s);
    const QPoint p0 = p[0], p1 = p[1], p2 = p[2];
    switch (kind) {
    case kSegment:
        b.Seg(p0, p1);
        break;
    case kArrow:
        Arrow(b, p0, p1);
        break;
    case kRay:
        if (p0.x() == p1.x() && p0.y() != p1.y())
            b.Seg(p0.x(), p0.y(), p0.x(), p1.y() < p0.y() ? v.T : v.B);
        else
            b.BorderRay(p0, p1, false);
        break;
    case kEquidistantChannel:
    case kChannel:
        Channel(b, v, p, kind == kEquidistantChannel);
        break;
    case kArc:
        Arc(b, p0, p1);
        break;
    case kPercentBands: {
        const double base = v.ValueAt(p1.y());
        b.HLine(p1.y());
        b.Label(v.L + 2, p1.y() - v.textHeight, Fmt("  Base %6.3f", base));
        for (double r : {0.191, 0.382, 0.5, 0.618, 0.809, 1.0})
            for (double sign : {1.0, -1.0}) {
                const double value = (1 + sign * r) * base;
                b.Level(value, Fmt2("%5.1f%% %6.3f", (1 + sign * r) * 100, value));
            }
        break;
    }
    case kGoldenProjection: {
        b.Seg(p0, p1);
        b.Seg(p1, p2);
        const double base = v.ValueAt(p2.y()), move = v.ValueAt(p1.y()) - v.ValueAt(p0.y());
        b.HLine(p2.y());
        b.Label(v.L + 2, p2.y() - v.textHeight, Fmt("  Base %6.3f", base));
        for (double r : {0.191, 0.382, 0.5, 0.618, 0.809, 1.0})
            b.Level(base + r * move, Fmt2("%5.1f%% %6.3f", r * 100, base + r * move));
        break;
    }
    case kGoldenLevels:
        Levels(b, v, p0, p1, {0.236, 0.382, 0.5, 0.618, 0.809, 1.382, 1.618, 2.0, 2.382, 2.618});
        break;
    case kQuarterLevels:
        Levels(b, v, p0, p1, {0.25, 0.333, 0.5});
        break;
    case kEighthLevels:
        Levels(b, v, p0, p1, {0.125, 0.25, 0.375, 0.5, 0.625, 0.75, 0.875});
        break;
    case kSpanLines:
        b.Seg(p0, p1);
        b.VLine(p0.x());
        b.VLine(p1.x());
        break;
    case kTimeIntervals:
        TimeIntervals(b, v, p0, p1);
        break;
    case kFibonacciZones:
        FibonacciZones(b, v, p1);
        break;
    case kCycleLines:
        CycleLines(b, v, p1);
        break;
    case kSpeedLines:
        SpeedLines(b, p0, p1);
        break;
    case kGannFan:
        GannFan(b, v, p0, p1);
        break;
    case kRectangle:
        b.Seg(p0.x(), p0.y(), p1.x(), p0.y());
        b.Seg(p1.x(), p0.y(), p1.x(), p1.y());
        b.Seg(p1.x(), p1.y(), p0.x(), p1.y());
        b.Seg(p0.x(), p1.y(), p0.x(), p0.y());
        break;
    case kMarkUp:
    case kMarkDown:
        s.picture = kind;
        s.pictureAt = {p0.x() - 8, p0.y()};
        break;
    case kText:
        s.textBox = true;
        s.textRect = {p0.x() - 100, p0.y() - 100, p0.x() + 100, p0.y() + 100};
        break;
    case kHorizontalLine:
        b.Seg(0, p0.y(), v.width, p0.y());
        b.Label(2, p0.y() - v.textHeight, Fmt("%.3f", v.ValueAt(p0.y())));
        break;
    case kVerticalLine:
        b.VLine(p0.x());
        break;
    default: // kAngle: the readout alone
        break;
    }
    if (PointCountOf(kind) == 2) {
        const double deg = std::atan2(p1.y() - p0.y(), p1.x() - p0.x()) * 57.2956;
        const double cx = (static_cast<double>(p0.x()) + p1.x()) / 2;
        const double cy = (static_cast<double>(p0.y()) + p1.y()) / 2;
        b.Label(cx - 10, cy - 10, Fmt("%.2f°", deg), true);
    }
    return s;
}

namespace {
TRectI Square(double x, double y, int r) {
    return {Pix(x - r), Pix(y - r), Pix(x + r), Pix(y + r)};
}
int Mid(int a, int b) {
    return static_cast<int>(std::trunc((static_cast<double>(a) + b) / 2));
}
} // namespace

void SetHitGeometry(XXLine& o, const std::array<QPoint, 3>& pw, const ObjectView& v,
                    QPoint origin) {
    o.Frec.fill({});
    std::array<QPoint, 3> p;
    for (size_t k = 0; k < p.size(); ++k) p[k] = pw[k] + origin;
    const int x0 = p[0].x(), y0 = p[0].y(), x1 = p[1].x(), y1 = p[1].y();
    const int T = v.T + origin.y(), B = v.B + origin.y();
    switch (std::clamp(o.FPointCount, 1, 3)) {
    case 1:
        if (o.FType == kHorizontalLine) {
            o.Frec[0] = Square(v.R + origin.x() - 50, y0, 50);
            o.FBody = {origin.x(), y0 - 5, 8000, y0 + 5};
        } else if (o.FType == kVerticalLine) {
            o.Frec[0] = Square(x0, T, 50);
            o.FBody = {x0 - 5, T - 5, x0 + 5, B + 5};
        } else if (o.FType == kMarkUp || o.FType == kMarkDown) {
            o.Frec[0] = Square(x0, y0, 5);
            o.FBody = Square(x0, y0, 10);
        } else {
            o.Frec[0] = Square(x0, y0, 25);
            o.FBody = Square(x0, y0, 100);
        }
        break;
    case 2: {
        const int mx = Mid(x0, x1), my = Mid(y0, y1);
        const QPoint at[8] = {{x0, y0}, {mx, y0}, {x1, y0}, {x1, my},
                              {x1, y1}, {mx, y1}, {x0, y1}, {x0, my}};
        for (int j = 0; j < 8; ++j)
            o.Frec[static_cast<size_t>(j)] = Square(at[j].x(), at[j].y(), 5);
        o.FBody = {std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)};
        break;
    }
    default:
        for (int k = 0; k < 3; ++k)
            o.Frec[static_cast<size_t>(2 * k)] =
                Square(p[static_cast<size_t>(k)].x(), p[static_cast<size_t>(k)].y(), 5);
        o.FBody = {
            std::min({p[0].x(), p[1].x(), p[2].x()}), std::min({p[0].y(), p[1].y(), p[2].y()}),
            std::max({p[0].x(), p[1].x(), p[2].x()}), std::max({p[0].y(), p[1].y(), p[2].y()})};
        break;
    }
}

bool Contains(const TRectI& r, int x, int y) {
    return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
}

Grab SelectAt(std::vector<XXLine>& objects, int x, int y) {
    Grab grab = Grab::None;
    for (auto it = objects.rbegin(); it != objects.rend(); ++it) {
        XXLine& o = *it;
        o.nCtrPt = -1;
        o.Bedit = false;
        o.oldfxx = o.FXX;
        o.oldfyy = o.FYY;
        if (Contains(o.FBody, x, y)) {
            o.Bedit = o.FType != kPositionLine && o.FType != 51;
            o.nCtrPt = 8;
            grab = Grab::Body;
        }
        for (int j = 0; j < 8; ++j)
            if (Contains(o.Frec[static_cast<size_t>(j)], x, y)) {
                o.Bedit = o.FType != kPositionLine;
                o.nCtrPt = j;
                grab = Grab::Square;
            }
    }
    return grab;
}

void MoveSelected(std::vector<XXLine>& objects, Grab grab, int dx, int dy, double pitch,
                  int barScale, double span, int h) {
    auto index = [](int old, double d) {
        return static_cast<int>(std::clamp(std::trunc(old + d), -kFar, kFar));
    };
    for (XXLine& o : objects) {
        if (!o.Bedit) continue;
        if (grab == Grab::Body) {
            for (size_t k = 0; k < 3; ++k) {
                if (pitch > 0) o.FXX[k] = index(o.oldfxx[k], dx / pitch);
                if (h > 12) o.FYY[k] = static_cast<float>(o.oldfyy[k] + dy * span / (h - 12));
            }
            continue;
        }
        if (grab != Grab::Square || o.nCtrPt < 0 || o.nCtrPt > 7) continue;
        // Per square: which index (0, or 1 and 2) and which value (0, or 1 and 2) it moves.
        struct Moves {
            bool i0, v0, i12, v12;
        };
        static constexpr Moves kMoves[8] = {
            {true, true, false, false},  {false, true, false, false}, {false, true, true, false},
            {false, false, true, false}, {false, false, true, true},  {false, false, false, true},
            {true, false, false, true},  {true, false, false, false}};
        const Moves m = kMoves[o.nCtrPt];
        const double di = barScale > 0 ? static_cast<double>(dx) / barScale : 0;
        const double dv = h > 0 ? dy * span / h : 0;
        if (m.i0) o.FXX[0] = index(o.oldfxx[0], di);
        if (m.v0) o.FYY[0] = static_cast<float>(o.oldfyy[0] + dv);
        for (size_t k = 1; k < 3; ++k) {
            if (m.i12) o.FXX[k] = index(o.oldfxx[k], di);
            if (m.v12) o.FYY[k] = static_cast<float>(o.oldfyy[k] + dv);
        }
    }
}

} // namespace vantor
