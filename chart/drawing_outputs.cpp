// Drawing of the records of the formula's drawing calls: texts and numbers, icons and
// pictures, the background, rectangles, bands, sticks and polylines. Every painter walks
// only the visible bars and reads series through SeriesView, so a short series reads as
// invalid instead of past its end; positions saturate, so far values land off the image.

#include <QPoint>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "chart/icons.h"
#include "chart/output_painters.h"
#include "chart/paint_context.h"
#include "chart/pictures.h"

namespace vantor {

namespace {

bool Valid(double v) {
    return v != kInvalidValue && IsFinite(v);
}

// A condition holds at a bar only where it is exactly 1.
bool Holds(double v) {
    return v == 1;
}

// An argument that is a series when one of that name exists, else a number.
struct DrawArg {
    bool ok = false, series = false;
    SeriesView s;
    double n = 0;
    double at(int l) const { return series ? s.at(l) : n; }
};

DrawArg SeriesOrNumber(PaintContext& p, const std::string& a, bool truncate = false) {
    DrawArg o;
    if (a.empty()) return o;
    if (p.Series(a, o.s)) {
        o.ok = o.series = true;
    } else if (p.prog.Constant(a, o.n) && IsFinite(o.n)) {
        o.ok = true;
        if (truncate && Valid(o.n)) o.n = std::trunc(o.n);
    }
    return o;
}

// A number argument through the program's constant test; `otherwise` when it is none.
double NumberArg(PaintContext& p, const std::string& a, double otherwise) {
    double v;
    return p.prog.Constant(a, v) && IsFinite(v) ? v : otherwise;
}

// The argument text read directly as a decimal number (0 when it is none).
double DirectNumber(const std::string& a) {
    const char* s = a.c_str();
    char* end = nullptr;
    double v = std::strtod(s, &end);
    return end != s && IsFinite(v) ? v : 0;
}

// The argument text read directly as a decimal integer; `otherwise` when it is none.
long DirectInteger(const std::string& a, long otherwise = 0) {
    const char* s = a.c_str();
    char* end = nullptr;
    long v = std::strtol(s, &end, 10);
    return end != s && *end == '\0' ? v : otherwise;
}

// A text argument without its single quotes.
std::string TextArg(const std::string& a) {
    std::string t;
    for (char ch : a)
        if (ch != '\'') t += ch;
    return t;
}

std::string Fixed3(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.3f", v);
    return buf;
}

// A point at a fraction of the plot: X across from its left edge, Y down from its top.
QPoint PlotFraction(const PaintContext& p, double fx, double fy) {
    const auto& g = p.g;
    return {SatPixel((g.X2 - g.Lm) * fx) + g.Lm, SatPixel(g.P * fy) + g.T};
}

// The first visible bar where the series condition holds, -1 when there is none.
int FirstHolding(const PaintContext& p, const SeriesView& cond) {
    for (int l = p.leftBar; l < p.end; ++l)
        if (Holds(cond.at(l))) return l;
    return -1;
}

// A path joined by lines, or by blended lines with the window's High flag.
struct Path {
    PaintContext& p;
    bool open = false;
    int x = 0, y = 0;
    void To(int nx, int ny, TColor color) {
        Canvas& c = p.c;
        if (!open) {
            c.MoveTo(nx, ny);
            open = true;
        } else if (p.win.High) {
            DrawLineAA(c, x, y, nx, ny, color);
        } else {
            c.SetPenColor(color);
            c.MoveTo(x, y);
            c.LineTo(nx, ny);
        }
        x = nx;
        y = ny;
    }
};

} // namespace

bool PaintDrawText(PaintContext& p, const OutputRecord& r) {
    SeriesView cond;
    if (!p.Series(r.arg(1), cond)) return false;
    const DrawArg price = SeriesOrNumber(p, r.arg(2));
    if (!price.ok) return false;
    // The same text at many bars: drawn once, then stamped.
    const QImage text = p.c.TextStamp(TextArg(r.arg(3)));
    for (int l = p.leftBar; l < p.end; ++l) {
        if (!Holds(cond.at(l))) continue;
        const double v = price.at(l);
        if (Valid(v)) p.c.Stamp(p.X(l), p.Y(v) - p.g.L / 2, text);
    }
    return true;
}

bool PaintDrawTextFix(PaintContext& p, const OutputRecord& r) {
    const DrawArg cond = SeriesOrNumber(p, r.arg(1));
    if (!cond.ok) return false;
    if (cond.series ? FirstHolding(p, cond.s) < 0 : !Holds(cond.n)) return true;
    const std::string text = TextArg(r.arg(5));
    QPoint at = PlotFraction(p, DirectNumber(r.arg(2)), DirectNumber(r.arg(3)));
    if (DirectNumber(r.arg(4)) == 1) at.rx() -= p.c.TextWidth(text);
    p.c.TextOut(at.x(), at.y() - p.g.L / 2, text);
    return true;
}

bool PaintDrawNumber(PaintContext& p, const OutputRecord& r) {
    SeriesView cond;
    if (!p.Series(r.arg(1), cond)) return false;
    const DrawArg price = SeriesOrNumber(p, r.arg(2), true);
    const DrawArg number = SeriesOrNumber(p, r.arg(3), true);
    if (!price.ok || !number.ok) return false;
    for (int l = p.leftBar; l < p.end; ++l) {
        if (!Holds(cond.at(l))) continue;
        const double v = price.at(l), n = number.at(l);
        if (Valid(v) && Valid(n)) p.c.TextOut(p.X(l), p.Y(v), Fixed3(n));
    }
    return true;
}

bool PaintDrawNumberFix(PaintContext& p, const OutputRecord& r) {
    const DrawArg cond = SeriesOrNumber(p, r.arg(1));
    if (!cond.ok) {
        p.prog.ErrorString() = "DRAWNUMBER_FIX(COND,X,Y,TYPE,NUMBER)中COND错误!";
        return false;
    }
    const DrawArg number = SeriesOrNumber(p, r.arg(5));
    if (!number.ok) {
        p.prog.ErrorString() = "DRAWNUMBER_FIX(COND,X,Y,TYPE,NUMBER)中NUMBER错误!";
        return false;
    }
    QPoint at = PlotFraction(p, DirectNumber(r.arg(2)), DirectNumber(r.arg(3)));
    const bool right = DirectNumber(r.arg(4)) == 1;
    auto draw = [&](double v) {
        const std::string text = Valid(v) ? Fixed3(v) : std::string("-");
        if (right) at.rx() -= p.c.TextWidth(text);
        p.c.TextOut(at.x(), at.y(), text);
    };
    if (!cond.series) {
        if (Holds(cond.n)) draw(number.series ? number.s.last() : number.n);
        return true;
    }
    // A series number draws again at every holding bar (moving left when right-aligned);
    // a plain number once.
    for (int l = p.leftBar; l < p.end; ++l) {
        if (!Holds(cond.s.at(l))) continue;
        draw(number.at(l));
        if (!number.series) break;
    }
    return true;
}

bool PaintDrawIcon(PaintContext& p, const OutputRecord& r) {
    SeriesView cond;
    if (!p.Series(r.arg(1), cond)) return false;
    const DrawArg price = SeriesOrNumber(p, r.arg(2));
    const QImage& icon = Icon("IC" + TextArg(r.arg(3)));
    if (!price.ok || icon.isNull()) return false;
    const int w = icon.width(), h = icon.height();
    for (int l = p.leftBar; l < p.end; ++l) {
        if (!Holds(cond.at(l))) continue;
        const double v = price.at(l);
        if (Valid(v)) p.c.Stamp(p.CX(l) - w / 2 + 1, p.Y(v) - h, icon);
    }
    return true;
}

bool PaintDrawBmp(PaintContext& p, const OutputRecord& r) {
    SeriesView cond;
    if (!p.Series(r.arg(1), cond)) return false;
    const DrawArg price = SeriesOrNumber(p, r.arg(2), true);
    if (!price.ok) return false;
    const QImage& pic = Picture(p.win.ProgramDir, "signals/" + TextArg(r.arg(3)) + ".bmp");
    if (pic.isNull()) return false;
    for (int l = p.leftBar; l < p.end; ++l) {
        if (!Holds(cond.at(l))) continue;
        const double v = price.at(l);
        if (Valid(v)) p.c.DrawImage(p.X(l), p.Y(v), pic);
    }
    return true;
}

bool PaintDrawGbk(PaintContext& p, const OutputRecord& r) {
    SeriesView cond;
    if (!p.Series(r.arg(1), cond) || FirstHolding(p, cond) < 0) return false;
    const auto& g = p.g;
    const long c1 = DirectInteger(r.arg(2)), c2 = DirectInteger(r.arg(3));
    if (c1 != 0 && c2 != 0) {
        QImage ground = MakeImage(g.X2 - g.Lm, g.P, kBlack);
        FillGradient(ground, static_cast<TColor>(c1), static_cast<TColor>(c2),
                     DirectInteger(r.arg(4)) == 1 ? wLeft : wTop);
        p.c.DrawImage(g.Lm, g.T, ground);
        return true;
    }
    const QImage& pic = Picture(p.win.ProgramDir, TextArg(r.arg(5)) + ".bmp");
    if (pic.isNull()) return false;
    p.c.DrawImage(g.Lm, g.T, pic);
    return true;
}

bool PaintDrawRectRel(PaintContext& p, const OutputRecord& r) {
    const auto& g = p.g;
    double k[4];
    for (int i = 0; i < 4; ++i) k[i] = std::trunc(NumberArg(p, r.arg(i + 1), -1));
    const int x1 = SatPixel((g.X2 - g.Lm) * k[0] / 1000) + g.Lm;
    const int x2 = SatPixel((g.X2 - g.Lm) * k[2] / 1000) + g.Lm;
    int y1 = SatPixel(g.P * k[1] / 1000) + g.T + 1, y2 = SatPixel(g.P * k[3] / 1000) + g.T + 1;
    if (y2 < y1) std::swap(y1, y2);
    std::string colour = p.prog.ConstText(r.arg(5));
    if (colour.empty()) colour = r.arg(5);
    const auto col = static_cast<TColor>(DirectInteger(colour, 255));
    Canvas& c = p.c;
    if (col != 0) {
        c.SetPenColor(col);
        c.SetBrush(col);
    } else {
        c.SetPenColor(kWhite);
        c.SetBrushClear();
    }
    if (y1 == y2 || x1 == x2)
        c.Line(x1, y1, x2, y2);
    else
        c.Rectangle(x1, y1, x2, y2);
    return true;
}

bool PaintDrawBand(PaintContext& p, const OutputRecord& r) {
    const DrawArg a = SeriesOrNumber(p, r.arg(1), true), b = SeriesOrNumber(p, r.arg(3), true);
    if (!a.ok || !b.ok) return false;
    const TColor colours[2] = {static_cast<TColor>(std::trunc(NumberArg(p, r.arg(2), 0))),
                               static_cast<TColor>(std::trunc(NumberArg(p, r.arg(4), 0)))};
    Canvas& c = p.c;
    std::vector<QPoint> upper, lower, poly;
    int state = 0; // 1: VAL1 above VAL2, 2: otherwise
    auto fill = [&](int st) {
        const TColor col = colours[st == 1 ? 0 : 1];
        c.SetPenColor(col);
        c.SetBrush(col);
        poly.assign(upper.begin(), upper.end());
        poly.insert(poly.end(), lower.rbegin(), lower.rend());
        c.Polygon(poly.data(), static_cast<int>(poly.size()));
    };
    for (int l = p.leftBar; l < p.end; ++l) {
        const double v1 = a.at(l), v2 = b.at(l);
        if (!Valid(v1) || !Valid(v2)) continue;
        const int y1 = p.Y(v1), y2 = p.Y(v2), cx = p.CX(l);
        const int st = v1 > v2 ? 1 : 2;
        if (state == 0) {
            upper = {QPoint(p.X(l), y1)};
            lower = {QPoint(p.X(l), y2)};
            state = st;
        } else if (st != state) {
            // Where the upper edge towards this bar crosses the lower one.
            const QPointF u = upper.back(), d = lower.back();
            const QPointF du = QPointF(cx, y1) - u, dd = QPointF(cx, y2) - d;
            const double den = du.x() * dd.y() - du.y() * dd.x();
            if (den != 0) {
                const QPointF w = d - u;
                const double t = (w.x() * dd.y() - w.y() * dd.x()) / den;
                const QPoint cross(static_cast<int>(std::trunc(u.x() + t * du.x())),
                                   static_cast<int>(std::trunc(u.y() + t * du.y())));
                upper.push_back(cross);
                lower.push_back(cross);
                fill(state);
                upper = {cross};
                lower = {cross};
            }
            state = st;
        }
        upper.emplace_back(cx, y1);
        lower.emplace_back(cx, y2);
    }
    if (upper.size() + lower.size() > 2) fill(state);
    c.SetBrushClear();
    return true;
}

bool PaintStickLine(PaintContext& p, const OutputRecord& r) {
    const DrawArg cond = SeriesOrNumber(p, r.arg(1)), p1 = SeriesOrNumber(p, r.arg(2)),
                  p2 = SeriesOrNumber(p, r.arg(3));
    if (!cond.ok || !p1.ok || !p2.ok) return false;
    Canvas& c = p.c;
    ApplyLineAttrs(c, r.attrWords, p.constText);
    const double width = NumberArg(p, r.arg(4), 0), empty = NumberArg(p, r.arg(5), 0);
    const int half = SatPixel(p.bw * width / 6);
    if (empty == 0) {
        c.SetBrush(c.PenColor());
    } else {
        c.SetBrush(p.bg);
        if (empty == -1) c.SetPen(c.PenColor(), 1, PenStyle::Dot);
    }
    for (int l = p.leftBar; l < p.end; ++l) {
        const double k = cond.at(l);
        if (!Valid(k) || k <= 0) continue;
        const int cx = p.CX(l), m = p.Y(p1.at(l));
        int q = p.Y(p2.at(l));
        if (half < 1) {
            c.Line(cx, m, cx, q);
            continue;
        }
        if (q == m) q -= 1;
        c.Rectangle(cx - half, m, cx + half, q);
    }
    return true;
}

bool PaintStickBar(PaintContext& p, const OutputRecord& r) {
    SeriesView a, b;
    if (!p.Series(r.arg(1), a) || !p.Series(r.arg(2), b)) return false;
    const TColor up = ColorOfWord(r.arg(3), p.constText), down = ColorOfWord(r.arg(4), p.constText);
    Canvas& c = p.c;
    for (int l = p.leftBar; l < p.end; ++l) {
        const double v1 = a.at(l), v2 = b.at(l);
        c.SetPenColor(v1 > v2 ? up : down);
        c.Line(p.CX(l), p.Y(v1), p.CX(l), p.Y(v2));
    }
    return true;
}

bool PaintPartLine(PaintContext& p, const OutputRecord& r) {
    SeriesView s;
    if (!p.Series(r.arg(1), s)) return false;
    const TColor up = ColorOfWord(r.arg(2), p.constText), down = ColorOfWord(r.arg(3), p.constText);
    Path path{p};
    double last = 0;
    for (int l = p.leftBar; l < p.end; ++l) {
        const double v = s.at(l);
        if (!Valid(v)) continue; // bridged: the next value joins the last point
        path.To(p.CX(l), p.Y(v), path.open && v > last ? up : down);
        last = v;
    }
    return true;
}

bool PaintPloyLine(PaintContext& p, const OutputRecord& r) {
    SeriesView cond, price;
    if (!p.Series(r.arg(1), cond) || !p.Series(r.arg(2), price)) return false;
    auto vertex = [&](int l) {
        const double k = cond.at(l);
        return Valid(k) && k != 0 && Valid(price.at(l));
    };
    const TColor pen = p.c.PenColor();
    Path path{p};
    // The line enters from the last vertex at or before the first visible bar, cut where
    // it crosses the plot's left edge.
    int from = p.leftBar;
    bool entering = false;
    QPoint start;
    for (int l = std::min(p.leftBar, std::max(price.len, cond.len) - 1); l >= 0; --l)
        if (vertex(l)) {
            start = {p.CX(l), p.Y(price.at(l))};
            entering = true;
            from = l + 1;
            break;
        }
    for (int l = std::max(from, p.leftBar); l < p.end; ++l) {
        if (!vertex(l)) continue;
        const QPoint v(p.CX(l), p.Y(price.at(l)));
        if (entering) {
            const int left = p.g.Lm;
            if (start.x() < left && v.x() > start.x())
                start = {left, static_cast<int>(start.y() + static_cast<double>(v.y() - start.y()) *
                                                                (left - start.x()) /
                                                                (v.x() - start.x()))};
            path.To(start.x(), start.y(), pen);
            entering = false;
        }
        path.To(v.x(), v.y(), pen);
    }
    return true;
}

} // namespace vantor
