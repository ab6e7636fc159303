// Drawing of the formula output records: plain outputs with their line and stick styles,
// the anti-aliased line, the btx and twr bars, and the value readouts in the title line.

#include <algorithm>
#include <cmath>

#include "chart/output_kinds.h"
#include "chart/output_painters.h"
#include "chart/paint_context.h"
#include "formula/func_str.h"

namespace vantor {

namespace {

bool Valid(double v) {
    return v != kInvalidValue && IsFinite(v);
}

void StickTo(PaintContext& p, int cx, int y, int base) {
    if (y == base) y -= 1;
    p.c.Line(cx, y, cx, base);
}

// volstick: bars coloured by each bar's own move from open to close. `fixed` draws the
// constant `cval` on every bar instead of a series.
bool VolStick(PaintContext& p, const std::string& name, const SeriesView* s, double cval) {
    SeriesView op, cl;
    if (!p.Series("open", op) || !p.Series("close", cl)) {
        p.prog.ErrorString() += name + ":volstick输出需要开盘,收盘原始数据!";
        return false;
    }
    Canvas& c = p.c;
    const auto& g = p.g;
    int Yb = p.m.minValue < 0 ? p.Y(0) : g.H - g.B;
    for (int l = p.leftBar; l < p.end; ++l) {
        double v = s ? s->at(l) : cval;
        if (!Valid(v)) continue;
        int y = p.Y(v);
        if (y == Yb) y -= 1;
        int x = p.X(l);
        bool rising = cl.at(l) > op.at(l);
        if (p.scale < 1) {
            c.SetPen(rising ? kRed : kCyan);
            c.Line(x, y, x, Yb);
            continue;
        }
        if (rising) {
            c.SetPen(kRed);
            c.SetBrush(p.bg);
        } else {
            c.SetPen(kCyan);
            c.SetBrush(kCyan);
        }
        if (p.shaded)
            c.StretchDraw(x, y, x + p.BW(), Yb, rising ? p.up : p.down);
        else if (p.win.ShowFs && !p.win.Main)
            c.Line(p.CX(l), y - 1, p.CX(l), Yb - 1);
        else
            c.Rectangle(x, y, x + p.BW(), Yb);
    }
    return true;
}

// pointdot, circledot and crossdot: a mark at every visible bar whose height `yOf` gives.
// False when the record asks for none of them.
template <class YOf> bool Dots(PaintContext& p, const OutputRecord& r, YOf yOf) {
    bool point = r.HasWord("pointdot"), circle = !point && r.HasWord("circledot");
    if (!point && !circle && !r.HasWord("crossdot")) return false;
    Canvas& c = p.c;
    int rr = static_cast<int>(p.bw / 2);
    if (!point && !circle && rr > 4) rr -= 2;
    if (circle) c.SetBrush(c.PenColor());
    for (int l = p.leftBar; l < p.end; ++l) {
        int y;
        if (!yOf(l, y)) continue;
        int cx = p.CX(l);
        if (point)
            c.Line(cx, y, cx + 1, y);
        else if (circle)
            c.Ellipse(cx - rr, y - rr, cx + rr, y + rr);
        else {
            c.Line(cx - rr, y - rr, cx + rr, y + rr);
            c.Line(cx - rr, y + rr, cx + rr, y - rr);
        }
    }
    return true;
}

bool SeriesOutput(PaintContext& p, const OutputRecord& r, const SeriesView& s) {
    if (r.HasWord("nodraw")) return true;
    Canvas& c = p.c;
    const auto& g = p.g;
    const int bw = p.BW();
    if (Dots(p, r, [&](int l, int& y) {
            double v = s.at(l);
            if (!Valid(v)) return false;
            y = p.Y(v);
            return true;
        }))
        return true;
    bool color = r.HasWord("colorstick"), fs = !color && r.HasWord("fsstick");
    if (color || fs) {
        int Yb = p.m.minValue < 0 ? p.Y(0) : g.H - g.B;
        for (int l = p.leftBar; l < p.end; ++l) {
            double v = s.at(l);
            if (!Valid(v)) continue;
            int x = p.X(l), y = p.Y(v);
            if (p.shaded) {
                if (v <= 0) {
                    if (y == Yb) {
                        c.SetPen(kWhite);
                        c.Line(x, y, x + bw, y);
                    } else
                        c.StretchDraw(x, y, x + static_cast<int>(p.scale), Yb, p.down);
                } else
                    c.StretchDraw(x, y, x + static_cast<int>(p.scale), Yb, p.up);
                continue;
            }
            bool down = v <= 0;
            if (fs) {
                // Without a previous value (bar 0, or a gap) the change counts as none.
                double prev = s.at(l - 1);
                down = !Valid(prev) || v - prev <= 0;
            }
            c.SetPen(down ? kCyan : kRed);
            c.Line(p.CX(l), y, p.CX(l), Yb);
        }
        return true;
    }
    if (r.HasWord("volstick")) return VolStick(p, r.arg(1), &s, 0);
    bool linestick = r.HasWord("linestick");
    bool stick = !linestick && r.HasWord("stick");
    if (linestick || stick) {
        int Ys = p.m.minValue < (linestick ? 0.000001 : 0.0000001) ? p.Y(0) : g.H + g.h - g.B;
        for (int l = p.leftBar; l < p.end; ++l) {
            double v = s.at(l);
            if (Valid(v)) StickTo(p, p.CX(l), p.Y(v), Ys);
        }
        if (stick) return true;
    }
    // The connecting line, broken at every invalid value.
    bool open = false;
    int lx = 0, ly = 0;
    const TColor pen = c.PenColor();
    for (int l = p.leftBar; l < p.end; ++l) {
        double v = s.at(l);
        if (!Valid(v)) {
            open = false;
            continue;
        }
        int x = p.CX(l), y = p.Y(v);
        if (!open) {
            c.MoveTo(x, y);
            open = true;
        } else if (p.win.High) {
            DrawLineAA(c, lx, ly, x, y, pen);
        } else {
            c.LineTo(x, y);
        }
        lx = x;
        ly = y;
    }
    return true;
}

void ConstantOutput(PaintContext& p, const OutputRecord& r, double cv) {
    ApplyLineAttrs(p.c, r.attrWords, p.constText);
    Canvas& c = p.c;
    const auto& g = p.g;
    const int y = p.Y(cv), bw = p.BW();
    if (r.HasWord("nodraw")) return;
    if (Dots(p, r, [y](int, int& yy) {
            yy = y;
            return true;
        }))
        return;
    if (r.HasWord("colorstick")) {
        int Yb = p.m.minValue < 0 ? p.Y(0) : g.H + g.h - g.B;
        for (int l = p.leftBar; l < p.end; ++l) {
            if (p.shaded)
                c.StretchDraw(p.X(l), y, p.X(l) + bw, Yb, p.up);
            else
                c.Line(p.CX(l), y, p.CX(l), Yb);
        }
        return;
    }
    if (r.HasWord("volstick")) {
        VolStick(p, r.arg(1), nullptr, cv);
        return;
    }
    bool linestick = r.HasWord("linestick");
    if (linestick || r.HasWord("stick")) {
        int Ys = p.m.minValue < (linestick ? 0.000001 : 0.0000001) ? p.Y(0) : g.H + g.h - g.B;
        for (int l = p.leftBar; l < p.end; ++l) StickTo(p, p.CX(l), y, Ys);
        if (linestick && p.end > p.leftBar) c.Line(p.CX(p.leftBar), y, p.CX(p.end - 1), y);
        return;
    }
    if (r.HasWord("linedot")) {
        for (int x = g.Lm + (g.Lm & 1); x <= g.X2; x += 2) c.SetPixel(x, y, c.PenColor());
        return;
    }
    if (p.end > p.leftBar) c.Line(g.Lm, y, p.CX(p.end - 1), y);
}

// A bar at bar l between the values a and b (one pixel high when they meet), for btx and twr.
void ValueBar(PaintContext& p, int l, double a, double b, TColor col) {
    int y1 = p.Y(a), y2 = p.Y(b);
    if (y1 == y2) y1 -= 1;
    p.c.SetBrush(col);
    DrawBar3D(p, p.X(l), y1, p.X(l) + p.BW(), y2, col);
}

void BtxBars(PaintContext& p, const SeriesView& s) {
    auto bar = [&p](int l, double a, double b, TColor col) { ValueBar(p, l, a, b, col); };
    for (int l = std::max(p.leftBar, 4); l < p.end; ++l) {
        double s0 = s.at(l);
        if (!Valid(s0)) continue;
        double s1 = s.at(l - 1), s2 = s.at(l - 2), s3 = s.at(l - 3), s4 = s.at(l - 4);
        double hi = std::max({s0, s1, s2, s3}), lo = std::min({s0, s1, s2, s3});
        if ((s0 == hi && (s1 >= s2 || s1 >= s3)) ||
            (s1 == hi && (s2 == lo || s3 == lo) && s0 >= s2) ||
            (s2 == hi && s3 == lo && s0 >= s1) || (s3 == hi && s0 >= s1 && s0 >= s2))
            bar(l, s1, s0, 0x0221F7);
        if (s1 == hi && s0 == lo) bar(l, s2, s0, 0x009900);
        if (s0 == hi && s1 == lo) bar(l, s2, s0, 0xEE00EE);
        if ((s0 == lo && (s1 < s2 || s1 < s3)) || (s1 == lo && (s2 == lo || s3 == lo) && s0 < s2) ||
            (s2 == lo && s3 == lo && s0 < s1) || (s3 == lo && s0 < s1 && s0 < s2))
            bar(l, s1, s0, 0x03F163);
        if ((s1 == lo && s0 >= s2) ||
            (((s2 == lo && s1 <= s3) || (s3 == lo && s1 <= s2)) && s2 < s4 && s0 >= s1))
            bar(l, s1, s2, 0xFCFCFC);
        if ((s1 == hi && s0 < s2) ||
            (((s2 == hi && s1 > s3) || (s3 == hi && s1 > s2)) && s2 >= s4 && s0 < s1))
            bar(l, s1, s2, 0x00FFFF);
    }
}

void TwrBars(PaintContext& p, const SeriesView& s) {
    auto bar = [&p](int l, double a, double b, TColor col) { ValueBar(p, l, a, b, col); };
    for (int l = p.leftBar; l < p.end; ++l) {
        double v = s.at(l), v1 = s.at(l - 1); // bar 0 has no previous value and is skipped
        if (!Valid(v) || !Valid(v1)) continue;
        if (l > p.leftBar) bar(l, v1, v, v >= v1 ? kRed : kLime);
        double v2 = s.at(l - 2);
        if (l - p.leftBar > 2 && Valid(v2)) {
            double m = std::max(v, v2);
            if (v1 >= v2 && v < v1) bar(l, v1, m, kRed);
            if (v1 < v2 && v >= v1) bar(l, v1, m, kLime);
        }
    }
}

void Readout(PaintContext& p, const OutputRecord& r, TColor color) {
    if (!p.win.ShowTop) return;
    const std::string& a = r.arg(1);
    double v;
    SeriesView s;
    if (p.Series(a, s)) {
        int k = p.end - 1;
        if (p.win.Cursor && p.cursorX != -1) {
            int kk = static_cast<int>(std::trunc((p.cursorX - p.g.X1) / p.scale)) + p.leftBar;
            if (kk >= 0 && kk < p.end) k = kk;
        }
        v = s.at(k);
    } else if (!p.prog.Constant(a, v)) {
        return;
    }
    std::string text = (!a.empty() && a[0] == '@') ? std::string() : UpperAscii(a);
    text += ":";
    text += Valid(v) ? p.fmt.Format(v) : std::string("-");
    Canvas& c = p.c;
    c.SetFontColor(color);
    c.SetBrushClear();
    TextOutNumber(c, p.g.Lm + p.TW + 2, 2, text);
    p.TW += NumberWidth(c, text) + 3; // the decimals are drawn in a larger font
}

} // namespace

void DrawBar3D(PaintContext& p, int x1, int y1, int x2, int y2, TColor color) {
    int oy1 = y1, oy2 = y2;
    if (y2 == y1) y1 -= 2;
    Canvas& c = p.c;
    if (p.win.KBar3d && x2 - x1 > 1) {
        QImage g = MakeImage(x2 - x1, 1, kBlack);
        FillGradient(g, color, kBlack, wLeft);
        c.StretchDraw(x1, y1, x2, y2, g);
        c.SetPen(color);
        c.Line(x1, oy2, x2 - 1, oy2);
        (void)oy1;
    } else {
        c.FillRect(x1, y1, x2, y2);
    }
}

void DrawLineAA(Canvas& c, int x1, int y1, int x2, int y2, TColor color) {
    if (x1 == x2) {
        c.SetPenColor(color);
        c.Line(x1, y1, x2, y2);
        return;
    }
    auto blend = [&](int x, int y, double wc, double wo) {
        TColor old = c.Pixel(x, y);
        auto ch = [&](int o, int n) {
            return std::min(255, static_cast<int>(std::trunc(o * wo + n * wc + 0.5)));
        };
        c.SetPixel(x, y,
                   RGBColor(ch(RedOf(old), RedOf(color)), ch(GreenOf(old), GreenOf(color)),
                            ch(BlueOf(old), BlueOf(color))));
    };
    auto plot = [&](double px, double py) {
        double fx = std::floor(px), cx = std::ceil(px), fy = std::floor(py), cy = std::ceil(py);
        if (fx == cx && fy == cy) {
            c.SetPixel(static_cast<int>(px), static_cast<int>(py), color);
            return;
        }
        blend(static_cast<int>(fx), static_cast<int>(fy), (cx - px) + (cy - py),
              (px - fx) + (py - fy));
        if (fy != cy)
            blend(static_cast<int>(fx), static_cast<int>(cy), (cx - px) + (py - fy),
                  (cy - py) + (px - fx));
        if (fx != cx)
            blend(static_cast<int>(cx), static_cast<int>(fy), (cy - py) + (px - fx),
                  (cx - px) + (py - fy));
        if (fx != cx && fy != cy)
            blend(static_cast<int>(cx), static_cast<int>(cy), (px - fx) + (py - fy),
                  (cx - px) + (cy - py));
    };
    // Only the part of the walk that can touch the image is plotted.
    if (std::abs(y2 - y1) < std::abs(x2 - x1)) {
        double s = static_cast<double>(y2 - y1) / (x2 - x1);
        int from = std::max(std::min(x1, x2), -1), to = std::min(std::max(x1, x2), c.Width());
        for (int x = from; x <= to; ++x) plot(x, y1 + (x - x1) * s);
    } else {
        double s = static_cast<double>(x2 - x1) / (y2 - y1);
        int from = std::max(std::min(y1, y2), -1), to = std::min(std::max(y1, y2), c.Height());
        for (int y = from; y <= to; ++y) plot(x1 + (y - y1) * s, y);
    }
}

bool PaintSyline(PaintContext& p, const OutputRecord& r) {
    SeriesView s;
    if (p.Series(r.arg(1), s)) return SeriesOutput(p, r, s);
    double cv;
    if (p.prog.Constant(r.arg(1), cv) && Valid(cv)) ConstantOutput(p, r, cv);
    return false; // a constant or unknown name has no readout
}

bool PaintBtx(PaintContext& p, const OutputRecord& r) {
    SeriesView s;
    if (!p.Series(r.arg(1), s)) return false;
    BtxBars(p, s);
    return true;
}

bool PaintTwr(PaintContext& p, const OutputRecord& r) {
    SeriesView s;
    if (!p.Series(r.arg(1), s)) return false;
    TwrBars(p, s);
    return true;
}

bool PaintKLines(PaintContext& p, const OutputRecord& r) {
    DrawKLines(p, r);
    return true;
}

void DrawOutputRecord(PaintContext& p, const OutputRecord& r) {
    Canvas& c = p.c;
    c.SetPen(kWhite, 1, PenStyle::Solid);
    c.SetBrushClear();
    c.SetFontColor(kWhite);
    if (!r.attrs.empty()) ApplyLineAttrs(c, r.attrWords, p.constText);
    const TColor color = c.PenColor(); // the output's colour, for its readout
    const OutputKind& kind = FindOutputKind(r.kind);
    const auto& g = p.g;
    if (kind.clip) c.SetClip(g.Lm, g.T, g.X2, g.H - g.B + 1);
    const bool drawn = !kind.paint || kind.paint(p, r);
    if (kind.clip) c.ClearClip();
    if (drawn && kind.readout) Readout(p, r, color);
}

} // namespace vantor
