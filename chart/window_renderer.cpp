// Painting of one chart window: geometry, title, frame and grid, value range and scale,
// K-lines and the markers tied to them. The output records are drawn by output_renderer.cpp.

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "chart/chart_window.h"
#include "chart/icons.h"
#include "chart/paint_context.h"
#include "formula/func_str.h"

namespace vantor {

namespace {

constexpr TColor kTitleGround = 0x800040;
constexpr TColor kMarkerPanel = 0x181818;

std::string Fmt(const char* f, double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, f, v);
    return buf;
}

} // namespace

std::string WindowTitle(ChartWindow& w) {
    WindowProgram& prog = *w.prog;
    std::string t = w.StkName.empty() ? w.StkLabel : w.StkName;
    if (!w.ShowFs) {
        if (!w.Week.empty()) {
            t += "(" + w.Week;
            if (w.QuanStyle == qsBefore) t += ".前复权";
            if (w.QuanStyle == qsBack) t += ".后复权";
            t += ")";
        }
        std::string tech = prog.TechName();
        if (!w.Main && !tech.empty()) t += UpperAscii(tech);
    }
    if (!w.Main) {
        std::string ps = "(";
        auto params = prog.ParamValues();
        for (size_t i = 0; i < params.size() && i < 51; ++i) {
            if (i) ps += "_";
            ps += std::to_string(params[i]);
        }
        ps += ")";
        if (ps.size() > 2) t += ps;
    }
    return t;
}

namespace {

void FrameAndGrid(PaintContext& p) {
    Canvas& c = p.c;
    const auto& g = p.g;
    c.SetPen(p.win.LineColor);
    if (!p.win.ShowFs) {
        c.Line(0, 0, g.X2, 0);
        c.Line(g.Lm, 0, g.Lm, g.H);
        if (p.win.ShowBottom) c.Line(g.Lm, g.H - 18, g.X2, g.H - 18);
        c.Line(g.X2 - 1, 0, g.X2 - 1, g.H);
        if (g.Rm > 0) c.Line(g.X2 + g.Rm - 1, 0, g.X2 + g.Rm - 1, g.H);
        if (g.T + g.B + 2 * g.h < g.H) {
            int rows = GridRows(g.P, g.L);
            double D = static_cast<double>(g.P) / rows;
            c.SetPen(p.win.LineColor, 1, PenStyle::Dot);
            for (int i = 0; i <= rows; ++i) {
                int y = static_cast<int>(std::trunc(i * D)) + g.T;
                c.Line(g.Lm, y, g.X2, y);
            }
            c.SetPen(p.win.LineColor);
        }
        return;
    }
    c.Line(0, 0, g.X2 + g.Rm, 0);
    c.Line(g.Lm, g.T, g.X2, g.T);
    c.Line(g.X2 + g.Rm - 1, 0, g.X2 + g.Rm - 1, g.H);
    c.Line(0, g.H + g.h - g.B, g.X2 + g.Lm, g.H + g.h - g.B);
    int nslots = std::max(p.win.FfsCount, 1);
    double D = static_cast<double>(g.X2 - g.Lm) / nslots;
    SeriesView time;
    bool hasTime = p.Series("time", time);
    for (int l = 0; l < p.len; l += 30) {
        int x = static_cast<int>(std::trunc(l * D)) + g.Lm;
        c.SetPen(p.win.LineColor, 1, PenStyle::Dot);
        c.Line(x, g.T, x, g.H + g.h - g.B);
        c.SetPen(p.win.LineColor);
        if (g.L < g.B) {
            double tv = hasTime ? time.at(l) : 0;
            int t = IsFinite(tv) ? static_cast<int>(std::trunc(tv)) : 0;
            char buf[32];
            std::snprintf(buf, sizeof buf, "%.02d:%.02d", t / 100, t % 100);
            c.TextOut(static_cast<int>(std::trunc(l * D - c.TextWidth(buf) / 2.0)) + g.Lm,
                      g.H + g.h - g.B + 1, buf);
        }
    }
}

// The row of the last-close marker's box (its text at yy - 4); false when there is none.
bool LastCloseRow(PaintContext& p, double& v, int& yy) {
    if (!p.win.Main || !p.win.ShowLeft) return false;
    SeriesView close;
    if (!p.Series("close", close)) return false;
    v = close.at(p.end - 1); // no visible bar: the invalid value, nothing drawn
    if (v == kInvalidValue || v < p.m.minValue || v > p.m.maxValue) return false;
    const auto& g = p.g;
    const int y = p.Y(v);
    yy = y;
    if (y - 7 < g.T) yy = g.T + 7;
    if (y + g.L - 4 > g.H) yy = g.H - g.L + 4;
    return true;
}

void ScaleLabelsBarView(PaintContext& p) {
    Canvas& c = p.c;
    const auto& g = p.g;
    int rows = GridRows(g.P, g.L);
    double D = static_cast<double>(g.P) / rows;
    c.SetBrushClear();
    // A label takes one text line. It never reaches below the window, never overlaps the
    // label above it, the divisor badge or the last-close marker: one that would is left
    // out, so every number shown can be read.
    const int lh = g.L - 2;
    int bottom = g.H;
    if (p.fmt.divisor > 1) bottom = g.H - g.L - 2;
    double close;
    int yy = 0;
    const bool marker = LastCloseRow(p, close, yy);
    int free = 0; // first row below the last label drawn
    for (int i = 0; i <= rows; ++i) {
        double v = p.m.ValueAtRow(i * D) / p.fmt.divisor;
        if (i == 0) v = p.m.maxValue / p.fmt.divisor;
        if (i == rows) v = p.m.minValue / p.fmt.divisor;
        int y = std::max(static_cast<int>(std::trunc(i * D)) + g.T - 6, 0);
        y = std::min(y, g.H - lh - 2); // the underlined decimals are one row taller
        if (y < free || y + lh > bottom) continue;
        if (marker && y < yy + g.L - 4 && yy - 7 < y + lh) continue;
        free = y + lh + 1;
        c.SetFontColor(v > 0 ? kRed : v < 0 ? kBlue : kWhite);
        std::string text = p.fmt.Format(std::fabs(v));
        if (p.win.ShowLeft) TextOutNumber(c, g.Lm - NumberWidth(c, text) - 2, y, text);
        if (p.win.ShowRight) TextOutNumber(c, g.X2 + 2, y, text);
    }
    if (p.fmt.divisor > 1) {
        std::string badge = DivisorBadge(p.fmt.divisor);
        c.SetPen(kRed);
        c.SetFontColor(kRed);
        c.SetBrushClear();
        if (p.win.ShowLeft) {
            c.Rectangle(1, g.H - g.L - 2, g.Lm, g.H - 1);
            c.TextOut((g.Lm - c.TextWidth(badge)) / 2, g.H - g.L, badge);
        }
        if (p.win.ShowRight) {
            c.Rectangle(g.X2 + 1, g.H - g.L - 2, g.X2 + g.Lm, g.H - 1);
            c.TextOut(g.X2 + 2, g.H - g.L, badge);
        }
    }
}

void ScaleLabelsTickPrice(PaintContext& p) {
    Canvas& c = p.c;
    const auto& g = p.g;
    const auto& w = p.win;
    int rows = std::max(std::min(g.P / std::max(g.L, 1) + 1, w.FsCol), 1);
    double D = static_cast<double>(g.P) / rows;
    bool known = w.Prevclose != kInvalidValue && w.Prevclose != 0;
    c.SetBrushClear();
    for (int i = 0; i < rows; ++i) {
        int y = static_cast<int>(std::trunc(i * D)) + g.T;
        double v = p.m.ValueAtRow(i * D) / p.fmt.divisor;
        c.SetPen(w.LineColor, 1, PenStyle::Dot);
        c.Line(g.Lm, y, g.X2, y);
        TColor col = kWhite;
        if (known) {
            double ch = std::trunc((v - w.Prevclose) * 10000 / w.Prevclose);
            col = ch > 0 ? kRed : ch < 0 ? kGreen : kWhite;
        }
        c.SetFontColor(col);
        if (w.ShowLeft) {
            std::string text = p.fmt.Format(v);
            TextOutNumber(c, g.Lm - NumberWidth(c, text) - 1, y - 6, text);
        }
        if (w.ShowRight && known) {
            double q = std::fabs(v - w.Prevclose) * 100 / w.Prevclose;
            c.TextOut(g.X2 + 4, y - 6, Fmt(q > 100 ? "%.1f%%" : "%.2f%%", q));
        }
    }
    c.SetPen(w.LineColor);
}

void ScaleLabelsTickVolume(PaintContext& p) {
    Canvas& c = p.c;
    const auto& g = p.g;
    int rows = std::max(std::min(g.P / std::max(g.L + 6, 1) + 1, 7), 1);
    double D = static_cast<double>(g.P) / rows;
    c.SetFontColor(kYellow);
    c.SetBrushClear();
    for (int i = 1; i < rows; ++i) {
        int y = static_cast<int>(std::trunc(i * D)) + g.T;
        c.SetPen(p.win.LineColor, 1, PenStyle::Dot);
        c.Line(g.Lm, y, g.X2, y);
        std::string text = p.fmt.Format(std::fabs(p.m.ValueAtRow(i * D)) / p.fmt.divisor);
        int ty = std::max(0, y - 6);
        TextOutNumber(c, g.Lm - NumberWidth(c, text) - 2, ty, text);
        TextOutNumber(c, g.X2, ty, text);
    }
    c.SetPen(p.win.LineColor);
}

void HourLines(PaintContext& p) {
    SeriesView time;
    if (!p.Series("time", time)) return;
    Canvas& c = p.c;
    const auto& g = p.g;
    for (int l = std::max(p.leftBar, 1); l < p.end; ++l) {
        double a = time.at(l), b = time.at(l - 1);
        if (a == kInvalidValue || b == kInvalidValue) continue;
        int t = static_cast<int>(std::trunc(a));
        if (t / 100 != static_cast<int>(std::trunc(b)) / 100 + 1) continue;
        int x = p.X(l);
        c.SetPen(kRed, 1, PenStyle::Dot);
        c.Line(x, g.T, x, g.H - g.B);
        if (p.win.ShowBottom) {
            char buf[32];
            std::snprintf(buf, sizeof buf, "%.02d:%.02d", t / 100, t % 100);
            c.SetFontColor(kWhite);
            c.TextOut(std::max(x - c.TextWidth(buf), g.Lm), g.H - g.B + 2, buf);
        }
    }
}

void CloseDots(PaintContext& p) {
    SeriesView close;
    if (!p.Series("close", close) || p.bw <= 1) return;
    Canvas& c = p.c;
    int r = static_cast<int>(p.bw / 2);
    for (int l = p.leftBar; l < p.end; ++l) {
        double v = close.at(l);
        if (v == kInvalidValue) continue;
        double prev = close.at(l - 1);
        TColor col = (l > 0 && prev != kInvalidValue && v > prev) ? kRed : kCyan;
        c.SetPen(col);
        c.SetBrush(col);
        int y = p.Y(v), x = p.X(l);
        c.Ellipse(x, y - r, x + p.BW(), y + r);
    }
}

void LastCloseMarker(PaintContext& p) {
    double v;
    int yy;
    if (!LastCloseRow(p, v, yy)) return;
    Canvas& c = p.c;
    const auto& g = p.g;
    c.SetBrush(kGray);
    c.SetPen(kRed);
    c.Rectangle(1, yy - 7, g.Lm - 1, yy + g.L - 4);
    c.SetFontColor(kWhite);
    c.SetBrushClear();
    std::string text = p.fmt.Format(v / p.fmt.divisor);
    TextOutNumber(c, g.Lm - NumberWidth(c, text) - 2, yy - 4, text);
}

} // namespace

void TextOutNumber(Canvas& c, int x, int y, const std::string& text) {
    int d = c.TextWidth(".");
    size_t dot = text.find('.');
    if (dot == std::string::npos) {
        c.TextOut(x + d, y, text);
        return;
    }
    std::string ip = text.substr(0, dot + 1), dec = text.substr(dot + 1);
    c.TextOut(x + d, y, ip);
    int h = c.Font().height;
    c.SetFontUnderline(true);
    c.SetFontHeight(h + 1);
    c.TextOut(x + d + c.TextWidth(ip), y, dec);
    c.SetFontUnderline(false);
    c.SetFontHeight(h);
}

int NumberWidth(Canvas& c, const std::string& text) {
    int d = c.TextWidth(".");
    size_t dot = text.find('.');
    if (dot == std::string::npos) return d + c.TextWidth(text);
    std::string ip = text.substr(0, dot + 1), dec = text.substr(dot + 1);
    int w = d + c.TextWidth(ip);
    int h = c.Font().height;
    c.SetFontHeight(h + 1);
    w += c.TextWidth(dec);
    c.SetFontHeight(h);
    return w;
}

void FillGradient(QImage& bmp, TColor c1, TColor c2, BackStyle kind) {
    int w = bmp.width(), h = bmp.height();
    if (w <= 0 || h <= 0) return;
    auto mix = [&](double t) -> QRgb {
        t = std::clamp(t, 0.0, 1.0);
        auto ch = [&](int a, int b) {
            return static_cast<int>(std::lround(static_cast<float>(a + (b - a) * t)));
        };
        return qRgb(ch(RedOf(c1), RedOf(c2)), ch(GreenOf(c1), GreenOf(c2)),
                    ch(BlueOf(c1), BlueOf(c2)));
    };
    auto set = [&](int x, int y, QRgb v) {
        if (x >= 0 && y >= 0 && x < w && y < h) reinterpret_cast<QRgb*>(bmp.scanLine(y))[x] = v;
    };
    switch (kind) {
    case wNone:
        bmp.fill(ToQColor(c1));
        return;
    case wLeft:
    case wRight:
        for (int x = 0; x < w; ++x) {
            QRgb v = mix(static_cast<double>(x) / w);
            int xx = kind == wLeft ? x : w - 1 - x;
            for (int y = 0; y < h; ++y) set(xx, y, v);
        }
        return;
    case wTop:
    case wBottom:
        for (int y = 0; y < h; ++y) {
            QRgb v = mix(static_cast<double>(y) / h);
            int yy = kind == wTop ? y : h - 1 - y;
            for (int x = 0; x < w; ++x) set(x, yy, v);
        }
        return;
    case wLeftTop:
    case wLeftBottom:
    case wRightTop:
    case wRightBottom:
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                int xd = (kind == wLeftTop || kind == wLeftBottom) ? x : w - 1 - x;
                int yd = (kind == wLeftTop || kind == wRightTop) ? y : h - 1 - y;
                set(x, y, mix((xd + yd * static_cast<double>(w) / h) / (2.0 * w)));
            }
        return;
    case wCenter: {
        int hw = static_cast<int>(std::lround(w / 2.0));
        for (int xd = 0; xd <= hw; ++xd) {
            int m = static_cast<int>(std::lround(xd * static_cast<double>(h) / w));
            QRgb v = mix((w / 2.0 - xd) / (w / 2.0));
            for (int y = m; y < h - m; ++y) {
                set(xd, y, v);
                set(w - 1 - xd, y, v);
            }
        }
        int hh = static_cast<int>(std::lround(h / 2.0));
        for (int yd = 0; yd <= hh; ++yd) {
            int m = static_cast<int>(std::lround(yd * static_cast<double>(w) / h));
            QRgb v = mix((h / 2.0 - yd) / (h / 2.0));
            for (int x = m; x < w - m; ++x) {
                set(x, yd, v);
                set(x, h - 1 - yd, v);
            }
        }
        return;
    }
    }
}

void DrawKLines(PaintContext& p, const OutputRecord& r) {
    SeriesView hi, op, lo, cl;
    if (!p.Series(r.arg(1), hi) || !p.Series(r.arg(2), op) || !p.Series(r.arg(3), lo) ||
        !p.Series(r.arg(4), cl))
        return;
    Canvas& c = p.c;
    const auto style = p.win.KStype;
    const int bw = p.BW();
    for (int l = p.leftBar; l < p.end; ++l) {
        double o = op.at(l), h = hi.at(l), lw = lo.at(l), cv = cl.at(l);
        if (o == kInvalidValue || h == kInvalidValue || lw == kInvalidValue || cv == kInvalidValue)
            continue;
        int x = p.X(l), cx = p.CX(l);
        int yo = p.Y(o), yc = p.Y(cv), yh = p.Y(h), yl = p.Y(lw);
        bool rising = cv >= o;
        int width = style == ksAmericia ? 2 : 1;
        if (rising) {
            c.SetPen(kRed, width);
            c.SetBrush(p.bg);
        } else {
            c.SetPen(style == ksBar ? kCyan : kGreen, width);
            c.SetBrush(kCyan);
        }
        c.Line(cx, yh, cx, yl);
        if (style == ksBar && !p.shaded) {
            if (yo == yc) yc = yo + 1;
            c.Rectangle(x, yo, x + bw, yc);
        } else if (style == ksBar) {
            if (cv > o) {
                c.StretchDraw(x, yo, x + bw, yc, p.up);
            } else {
                if (yo == yc)
                    c.Line(x, yo, x + bw, yo);
                else
                    c.StretchDraw(x, yo, x + bw, yc, p.down);
                c.SetPen(kCyan);
                c.SetBrush(kCyan);
                c.Line(cx, yh, cx, yl);
                if (yo == yc)
                    c.Line(x, yo, x + bw, yo);
                else
                    c.StretchDraw(x, yo, x + bw, yc, p.down);
            }
        } else if (style == ksAmericia) {
            c.Line(x, yc, cx, yc);
            c.Line(cx, yo, x + bw, yo);
        }
        // ksClose: the wick alone.
    }
    // Ex-rights markers under the bars of their dates.
    SeriesView date;
    if (p.win.FQuan.empty() || !p.Series("date", date) || date.len == 0) return;
    const QImage& icon = Icon("IC100");
    int count = 0;
    for (const auto& q : p.win.FQuan) {
        if (q.Mode == 0 || ++count > 41) break;
        double d = q.date;
        if (d < date.at(0) || d > date.at(date.len - 1)) continue;
        int lo2 = 0, hi2 = date.len - 1;
        while (lo2 < hi2) { // first bar dated on or after the event
            int mid = lo2 + (hi2 - lo2) / 2;
            if (date.at(mid) < d)
                lo2 = mid + 1;
            else
                hi2 = mid;
        }
        if (lo2 >= p.leftBar && lo2 < p.end) c.DrawImage(p.CX(lo2) - 8, p.g.H - 16, icon);
    }
}

bool AddKLineRecord(ChartWindow& win) {
    WindowProgram& prog = *win.prog;
    if (!HasKLinePrices(prog)) return false;
    static const std::string kRecord = kKLineRecord;
    auto& lines = prog.Records();
    if (lines.empty() || lines.front() != kRecord) lines.insert(lines.begin(), kRecord);
    return true;
}

void DrawLine(ChartWindow& win, const WindowFrame& f, QImage& bmp, TColor bg) {
    if (!win.prog || bmp.isNull()) return;
    WindowProgram& prog = *win.prog;
    Canvas c(bmp);
    c.SetFont(win.font);
    PaintContext p(win, prog, c, f);
    // The cursor readout reads these back.
    win.FCurLeft = f.curBar;
    win.FCurValue = f.curValue;
    p.bg = bg;
    p.constText = [&prog](const std::string& n) { return prog.ConstText(n); };
    const auto& g = f.g;

    // Title line.
    std::string title = WindowTitle(win);
    p.TW = c.TextWidth(title);
    if (win.ShowTop) {
        c.SetFontColor((~bg) & 0xFFFFFF);
        c.SetTextOpaque(win.Focus, kTitleGround);
        c.TextOut(g.Lm + 2, 2, title);
        c.SetTextOpaque(false);
    }
    // Current-window marker.
    if (win.ShowCurWindow && win.CurGS && win.ShowLeft) {
        c.SetPen(win.LineColor);
        c.SetBrush(kMarkerPanel);
        c.Rectangle(0, 0, g.Lm + 1, g.H - g.B + g.h);
    }
    c.SetBrush(bg);
    FrameAndGrid(p);
    if (!f.plotted) return;

    // Scale labels.
    if (!win.ShowFs)
        ScaleLabelsBarView(p);
    else if (win.Main)
        ScaleLabelsTickPrice(p);
    else
        ScaleLabelsTickVolume(p);
    // K-line preparation: the program keeps the K-line record in front of its outputs.
    if (f.kLines) {
        if (f.hourLines) HourLines(p);
        if (f.kRecord)
            AddKLineRecord(win);
        else
            CloseDots(p);
    }
    p.shaded = win.KBar3d && p.bw >= 2;
    if (p.shaded) {
        p.up = MakeImage(p.BW(), 2, kBlack);
        p.down = MakeImage(p.BW(), 2, kBlack);
        FillGradient(p.up, kRed, kBlack, wLeft);
        FillGradient(p.down, kCyan, kBlack, wLeft);
    }
    LastCloseMarker(p);
    // Output records in list order; the K-line record, when present, comes first.
    for (const auto& r : f.records) DrawOutputRecord(p, r);
    DrawOverlays(p);
    DrawObjects(p);
}

} // namespace vantor
