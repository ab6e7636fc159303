// The frame of a window painting: everything the painters read, computed from the window,
// its program, the size, the first bar, the scale and the cursor.

#include "chart/window_frame.h"

#include "chart/navigation.h"
#include "chart/output_kinds.h"

#include <algorithm>
#include <cmath>

namespace vantor {

namespace {

// Whether the window wants K-lines: stated by the formula, or by default in the main
// window of the bar view.
bool WantsKLines(const ChartWindow& w, int showk) {
    return showk == 1 || (showk == -1 && w.Main && !w.ShowFs);
}

// The cursor bar, the row of the horizontal cursor line and its value.
void CursorOfFrame(const ChartWindow& w, WindowProgram& prog, const FrameRequest& r,
                   WindowFrame& f) {
    const auto& g = f.g;
    if (r.curY == -2)
        f.curBar =
            w.ShowFs ? r.curX : std::clamp(r.curX, f.leftBar, std::max(f.end - 1, f.leftBar));
    else if (w.ShowFs)
        f.curBar = TickUnderX(f.cursorX, g.X1, f.scale, f.len);
    else
        f.curBar = BarUnderX(f.cursorX, g.X1, f.scale, f.leftBar, f.len);
    f.cursorLines = w.Cursor || r.curY == -2;
    if (!f.cursorLines) return;
    f.cursorY = r.curY;
    SeriesView close;
    if (r.curY == -2 && w.Main && prog.Series("close", close)) {
        int k = static_cast<int>(std::trunc((f.cursorX - g.X1) / f.scale)) + f.leftBar;
        if (k >= 0 && k < close.len) f.cursorY = f.m.Y(close.at(k));
    }
    if (g.T < f.cursorY && f.cursorY < g.H - g.B && (w.ShowLeft || w.ShowRight))
        f.curValue = f.m.ValueAtRow(f.cursorY - g.T);
}

} // namespace

bool WantsKLines(const ChartWindow& win) {
    return win.prog && WantsKLines(win, win.prog->ShowK());
}

bool HasKLinePrices(WindowProgram& prog) {
    SeriesView s;
    return prog.Series("high", s) && prog.Series("low", s) && prog.Series("open", s) &&
           prog.Series("close", s);
}

void ValueRange(const ChartWindow& w, WindowProgram& prog, const std::vector<OutputRecord>& recs,
                int showk, int leftBar, int end, double& mx, double& mn) {
    mx = kInvalidValue;
    mn = -kInvalidValue;
    bool sym = w.ShowFs && w.Main && w.FsAll && w.Prevclose != kInvalidValue;
    if (sym) mx = mn = w.Prevclose;
    std::vector<SeriesView> list;
    auto take = [&](const std::string& a) {
        if (a.empty()) return;
        SeriesView s;
        double v;
        if (prog.Constant(a, v)) {
            if (IsFinite(v) && v != kInvalidValue) {
                mx = std::max(mx, v);
                mn = std::min(mn, v);
            }
        } else if (prog.Series(a, s))
            list.push_back(s);
    };
    for (const auto& r : recs) {
        if (r.HasWord("nodraw")) continue;
        for (int a : FindOutputKind(r.kind).valueArgs)
            if (a > 0) take(r.arg(a));
    }
    if (!w.ShowFs && WantsKLines(w, showk))
        for (const char* n : {"open", "close", "high", "low"}) {
            SeriesView s;
            if (prog.Series(n, s)) list.push_back(s);
        }
    for (const auto& s : list)
        for (int l = leftBar; l < end; ++l) {
            double v = s.at(l);
            if (v == kInvalidValue || !IsFinite(v)) continue;
            mx = std::max(mx, v);
            mn = std::min(mn, v);
        }
    if (sym) {
        double d = std::max(std::fabs(mx - w.Prevclose), std::fabs(mn - w.Prevclose));
        mn = std::min(mn, w.Prevclose - d);
        mx = std::max(mx, w.Prevclose + d);
    }
    if (mx == kInvalidValue) mx = 0;
    if (mn == -kInvalidValue) mn = 0;
    if (std::trunc(mx * 10000) == std::trunc(mn * 10000)) {
        mx += 0.001;
        mn -= 0.001;
    }
    if (w.ShowFs && w.Main && w.FPercent10 && w.Prevclose != kInvalidValue) {
        double pc = w.Prevclose;
        if (pc * 1.1 > mx && pc * 0.9 < mn) {
            bool st = w.StkName.find("ST") != std::string::npos;
            mx = pc * (st ? 1.05 : 1.1);
            mn = pc * (st ? 0.95 : 0.9);
            mx = std::trunc((mx + 0.005) * 100) / 100;
            mn = std::trunc((mn + 0.005) * 100) / 100;
        }
    }
}

FrameRequest RequestFor(const ChartWindow& win, int width, int height, int leftBar, double scale,
                        int curX, int curY, int originX, int originY) {
    return {width, height, leftBar, scale, curX, curY, originX, originY, MeasureFont(win.font)};
}

WindowFrame ComputeFrame(const ChartWindow& win, WindowProgram& prog, const FrameRequest& r) {
    WindowFrame f;
    f.g = ComputeGeometry(r.width, r.height, r.font.lineHeight, win.ShowTop, win.ShowBottom,
                          win.ShowLeft, win.ShowRight, win.ShowFs);
    const auto& g = f.g;
    f.plot = {r.originX + g.Lm, r.originY + g.T, r.originX + g.W - g.Rm + 1,
              r.originY + g.H - g.B + 1};

    // Visible bars: the tick view spreads its slots over the plot from bar 0.
    int leftBar = std::max(r.leftBar, 0);
    double scale = r.scale;
    if (win.ShowFs && win.FfsCount > 0) {
        scale = static_cast<double>(g.X2 - g.Lm) / win.FfsCount;
        leftBar = 0;
    }
    f.len = prog.DataLen();
    // The bar view leaves kBarInset free at both sides; the tick view's slots fill the plot.
    const int barArea = g.X2 - g.Lm - 2 * (g.X1 - g.Lm);
    int n = scale > 0 ? static_cast<int>(std::trunc(std::max(barArea, 0) / scale)) : 0;
    f.leftBar = leftBar;
    f.end = std::min(leftBar + n, f.len);
    f.scale = scale > 0 ? scale : 1;
    f.bw = BarWidth(f.scale);

    // The cursor line: a keyboard cursor sits on the centre of its bar (kept on a visible
    // bar in the bar view), the mouse where it is.
    f.cursorX = r.curX;
    if (r.curY == -2) {
        if (!win.ShowFs) {
            int bar = std::max(r.curX, leftBar);
            if (bar >= f.end) bar = f.end - 1;
            f.cursorX = SatPixel(f.scale * (bar - leftBar)) + g.X1 + static_cast<int>(f.scale / 2);
            if (f.scale > 8) f.cursorX -= 1;
        } else {
            f.cursorX = SatPixel(f.scale * (r.curX - leftBar)) + g.X1;
        }
    }

    f.m.H = g.H;
    f.m.B = g.B;
    f.m.scale = f.scale;
    f.m.leftBar = leftBar;
    f.m.Lm = g.X1;
    f.m.bw = f.bw;

    f.plotted = g.X2 > g.Rm && g.H >= g.T + g.B + 5 && f.len > 0;
    if (!f.plotted) return f;

    f.showK = prog.ShowK();
    const auto& lines = prog.Records();
    f.records.reserve(lines.size() + 1);
    for (const auto& s : lines) f.records.push_back(ParseRecord(s));
    ValueRange(win, prog, f.records, f.showK, f.leftBar, f.end, f.maxValue, f.minValue);
    f.m.SetRange(f.minValue, f.maxValue, g.P);
    f.fmt = MakeScaleFormat(f.maxValue, r.font.digitWidth);

    CursorOfFrame(win, prog, r, f);

    f.kLines = WantsKLines(win, f.showK);
    if (f.kLines) {
        f.hourLines = win.ZhouQi == wsFenBi;
        f.kRecord = HasKLinePrices(prog);
        if (f.kRecord && (f.records.empty() || f.records.front().kind != "drawkline"))
            f.records.insert(f.records.begin(), ParseRecord(kKLineRecord));
    }
    return f;
}

} // namespace vantor
