// The overlays that finish a window painting, in this order: labels at the local highs and
// lows of the visible bars, the date axis under the bottom window, and the cursor lines
// with their value, change and date/time boxes. The cursor bar itself is settled with the
// frame.

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "chart/date_axis.h"
#include "chart/paint_context.h"

namespace vantor {

namespace {

constexpr TColor kPeakColor = 0x0080FF;
constexpr TColor kConnector = 0x00FFFF;

std::string Fmt(const char* f, double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, f, v);
    return buf;
}

void HighLowMarks(PaintContext& p) {
    if (!p.win.FHighLow || !p.f.kLines || p.win.ShowFs || p.end <= p.leftBar) return;
    SeriesView hi, lo;
    if (!p.Series("high", hi) || !p.Series("low", lo)) {
        if (!p.Series("close", hi)) return;
        lo = hi;
    }
    const int n = p.end - p.leftBar;
    std::vector<float> hs(static_cast<size_t>(n)), ls(static_cast<size_t>(n));
    for (int r = 0; r < n; ++r) {
        hs[static_cast<size_t>(r)] = static_cast<float>(hi.at(p.leftBar + r));
        ls[static_cast<size_t>(r)] = static_cast<float>(lo.at(p.leftBar + r));
    }
    auto valid = [](float v) { return v != static_cast<float>(kInvalidValue); };
    float top = -1e30f, bottom = 1e30f;
    for (int r = 0; r < n; ++r) {
        if (valid(hs[static_cast<size_t>(r)])) top = std::max(top, hs[static_cast<size_t>(r)]);
        if (valid(ls[static_cast<size_t>(r)]))
            bottom = std::min(bottom, ls[static_cast<size_t>(r)]);
    }
    if (!(top > bottom)) return;
    const int a = std::max((p.end - p.leftBar) / 20, 10);
    Canvas& c = p.c;
    const auto& g = p.g;
    const int oldHeight = c.Font().height;
    c.SetFontHeight(12);
    c.SetBrushClear();
    for (int r = 0; r < n; ++r) {
        const int from = std::max(r - a, 0), to = std::min(r + a, n - 1);
        float mx = -1e30f, mn = 1e30f;
        for (int k = from; k <= to; ++k) {
            if (valid(hs[static_cast<size_t>(k)])) mx = std::max(mx, hs[static_cast<size_t>(k)]);
            if (valid(ls[static_cast<size_t>(k)])) mn = std::min(mn, ls[static_cast<size_t>(k)]);
        }
        const float h = hs[static_cast<size_t>(r)], l = ls[static_cast<size_t>(r)];
        const bool peak = valid(h) && h == mx;
        if (!peak && !(valid(l) && l == mn)) continue;
        const double v = peak ? h : l;
        const std::string text = Fmt("%.2f", v);
        const int tw = c.TextWidth(text), th = c.TextHeight(text);
        const int x0 = static_cast<int>(std::trunc(p.scale * (r + 0.5))) + g.X1 - tw / 2;
        int tx = std::min(std::max(x0, g.Lm + 2), g.X2 - tw - 2);
        int ty, limit;
        if (peak) {
            ty = std::max(p.Y(v) - th - 2, g.T);
            limit = g.T;
        } else {
            limit = g.H - g.B - th - 2;
            ty = std::min(p.Y(v) + 2, limit);
        }
        const bool moved = ty == limit; // no room beside the bar's end: right of the bar
        if (moved)
            tx = std::min(std::max(g.Lm + 2, tx + tw / 2 + static_cast<int>(p.scale / 2) + 2),
                          g.X2 - tw - 2);
        c.SetFontColor(peak ? kPeakColor : kGreen);
        c.TextOut(tx, ty, text);
        if (moved) {
            c.SetPen(kConnector);
            c.Line(x0 + tw / 2, p.Y(v), tx, ty + th / 2);
        }
    }
    c.SetFontHeight(oldHeight);
}

void DateAxis(PaintContext& p) {
    if (p.win.ShowFs || !p.win.ShowBottom) return;
    Canvas& c = p.c;
    const auto& g = p.g;
    const int A = g.H + g.h - g.B;
    c.SetPen(p.win.LineColor);
    c.SetFontColor(p.win.LineColor);
    c.SetBrushClear();
    c.Line(0, A, g.X2, A);
    SeriesView date, time;
    if (!p.Series("date", date)) return;
    p.Series("time", time);
    const AxisMarks marks = DateAxisMarks(
        p.win.ZhouQi, date, time, p.leftBar, p.end, [&p](int l) { return p.X(l); },
        [&c](const std::string& t) { return c.TextWidth(t); }, g.Lm, g.X2 - 1);
    for (int x : marks.ticks) c.Line(x, A, x, g.H);
    for (const auto& l : marks.labels) c.TextOut(l.x, A + 4, l.text);
}

// The change box of the tick price window, over its right value box.
void ChangeBox(PaintContext& p, double v, int by) {
    const auto& w = p.win;
    const double pc = w.Prevclose;
    if (!(w.ShowFs && w.Main && w.ShowRight && std::fabs(pc) > 0.001 && pc != kInvalidValue))
        return;
    const double q = std::fabs(v - pc) * 100 / pc;
    if (!((pc > p.m.minValue && pc < p.m.maxValue) || q < 30)) return;
    Canvas& c = p.c;
    const auto& g = p.g;
    c.SetBrush(kBlue);
    c.SetPen(kRed);
    c.Rectangle(g.X2 + 1, by - 7, g.X2 + g.Rm, by + g.L - 4);
    c.SetFontColor(v >= pc ? kRed : kGreen);
    c.TextOut(g.X2 + 3, by - 4, Fmt(q > 100 ? "%.1f%%" : q >= 10 ? "%.2f%%" : "%.3f%%", q));
}

void CursorLines(PaintContext& p, std::vector<QRect>* damage) {
    const WindowFrame& f = p.f;
    if (!f.cursorLines) return;
    Canvas& c = p.c;
    const auto& g = p.g;
    const TColor color = (~p.bg) & 0xFFFFFF;
    const int x = p.cursorX, y = f.cursorY;
    c.SetPen(color);
    auto covered = [damage, &p](int x1, int y1, int x2, int y2) {
        if (damage) damage->push_back(QRect(x1, p.f.plot.Top - p.g.T + y1, x2 - x1, y2 - y1));
    };
    if (g.T < y && y < g.H - g.B) {
        c.Line(g.Lm, y, g.X2, y);
        const double v = f.curValue;
        int by = y;
        if (y + g.L - 4 > g.H) by = g.H - g.L + 3;
        if (by < 7) by = 7;
        covered(0, std::min(y, by - 7) - 1, g.W, std::max(y, by + g.L - 4) + 1);
        const std::string text = p.fmt.Format(std::fabs(v) / p.fmt.divisor);
        auto box = [&](int x1, int x2, int tx) {
            c.SetBrush(kBlue);
            c.SetPen(kRed);
            c.Rectangle(x1, by - 7, x2, by + g.L - 4);
            c.SetFontColor(kWhite);
            c.SetBrushClear();
            TextOutNumber(c, tx, by - 4, text);
        };
        if (p.win.ShowLeft) box(1, g.Lm, g.Lm - NumberWidth(c, text) - 2);
        if (p.win.ShowRight) box(g.X2 + 1, g.X2 + g.Rm, g.X2 + 2);
        if (p.win.ShowRight) ChangeBox(p, v, by);
        c.SetPen(color);
    }
    if (x >= g.Lm) {
        c.Line(x, g.T, x, g.H);
        covered(x - 1, 0, x + 2, g.H);
    }
    const int A = g.H + g.h - g.B;
    if (g.B < g.L) return; // no bottom axis: no time or date box
    covered(0, A - 1, g.W, g.H);
    SeriesView date, time;
    const bool hasDate = p.Series("date", date), hasTime = p.Series("time", time);
    auto clock = [](double t) {
        int v = IsFinite(t) ? static_cast<int>(std::trunc(t)) : 0;
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.02d:%.02d", v / 100, v % 100);
        return std::string(buf);
    };
    const int k = static_cast<int>(std::trunc((x - g.X1) / p.scale));
    if (p.win.ShowFs) {
        const int half = c.TextWidth("88:88") / 2 + 3;
        if (k >= p.win.FfsCount || x < 0) return;
        const int bx = std::max(g.Lm + half, x);
        c.SetBrush(kBlue);
        c.SetPen(kRed);
        c.Rectangle(bx - half, A, bx + half, g.H);
        c.SetFontColor(kWhite);
        c.SetBrushClear();
        c.TextOut(std::max(g.Lm + 1, x - half + 3), A + 2, clock(time.at(k)));
        return;
    }
    const int bar = k + p.leftBar;
    if (bar >= p.len || bar >= p.end || x < 0) return;
    std::string text;
    if (hasDate) {
        const double d = date.at(bar);
        text = Fmt("%08.0f", IsFinite(d) ? std::trunc(d) : 0);
    }
    if (hasTime) text += (text.empty() ? "" : " ") + clock(time.at(bar));
    if (text.empty()) return;
    const int tw = c.TextWidth(text), half = tw / 2 + 3;
    int bx = x;
    if (x + tw / 2 + 6 > g.X2)
        bx = g.X2 - tw / 2 - 5;
    else if (x - half < g.Lm)
        bx = g.Lm + half + 1;
    c.SetBrush(kBlue);
    c.SetPen(kRed);
    c.Rectangle(bx - half, A, bx + half, g.H);
    c.SetFontColor(kWhite);
    c.SetBrushClear();
    c.TextOut(bx - half + 3, A + 2, text);
}

} // namespace

void DrawOverlays(PaintContext& p) {
    HighLowMarks(p);
    DateAxis(p);
    CursorLines(p, nullptr);
    p.c.SetPen(p.win.LineColor);
    p.c.SetBrushClear();
}

void DrawCursorLines(ChartWindow& win, const WindowFrame& f, QImage& bmp, TColor bg,
                     std::vector<QRect>& damage) {
    if (!win.prog || bmp.isNull() || !f.plotted) return;
    Canvas c(bmp);
    c.SetFont(win.font);
    PaintContext p(win, *win.prog, c, f);
    p.bg = bg;
    CursorLines(p, &damage);
}

} // namespace vantor
