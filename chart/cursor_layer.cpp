// The cursor layer of the bar view. A full painting leaves the windows without their cursor
// lines in FBase and draws the lines over a copy; a cursor move restores the rectangles the
// last lines covered from FBase, repaints the title rows of the windows whose readouts
// moved to another bar, and draws the new lines. A move costs a few rows and columns of
// pixels instead of a repaint of every window.

#include <climits>
#include <cmath>
#include <cstring>

#include "chart/paint_context.h"
#include "chart/tgp.h"
#include "chart/window_frame.h"

namespace vantor {

namespace {

// The bar the title readouts show (INT_MIN: the last visible bar, no cursor).
int ReadoutKey(const ChartWindow& w, const WindowFrame& f) {
    if (!w.Cursor || f.cursorX == -1) return INT_MIN;
    return static_cast<int>(std::floor((f.cursorX - f.g.X1) / f.scale));
}

void CopyRows(const QImage& from, QImage& to, int y0, int y1) {
    y0 = std::max(y0, 0);
    y1 = std::min({y1, from.height(), to.height()});
    const auto n = static_cast<size_t>(std::min(from.bytesPerLine(), to.bytesPerLine()));
    for (int y = y0; y < y1; ++y) std::memcpy(to.scanLine(y), from.constScanLine(y), n);
}

void CopyRect(const QImage& from, QImage& to, QRect r) {
    r = r.intersected(from.rect()).intersected(to.rect());
    if (r.isEmpty()) return;
    const auto n = static_cast<size_t>(r.width()) * 4;
    for (int y = r.top(); y <= r.bottom(); ++y)
        std::memcpy(to.scanLine(y) + r.left() * 4, from.constScanLine(y) + r.left() * 4, n);
}

} // namespace

bool TGP::CursorLayered() const {
    return !FShowFs && ratio_ == 1 && FFillStyle == wNone;
}

void TGP::CursorMoved() {
    if (updateLock_ > 0) {
        dirty_ = true;
        return;
    }
    cursorDirty_ = true;
    SettleFrame();
}

void TGP::KeepBaseAndDrawCursor(int W) {
    if (FBase.size() != FCache.size() || FBase.format() != FCache.format())
        FBase = FCache.copy();
    else
        CopyRows(FCache, FBase, 0, FCache.height());
    cursorDamage_.clear();
    DrawCursorLayer(W, false);
}

bool TGP::RenderCursorLayer() {
    const int W = width_ - (FShowBoard ? FBoardWidth : 0);
    if (!CursorLayered() || FBase.size() != FCache.size() || W < 10 || height_ < 10) return false;
    cursorDirty_ = false;
    for (const QRect& r : cursorDamage_) CopyRect(FBase, FCache, r);
    cursorDamage_.clear();
    DrawCursorLayer(W, true);
    ++repaintCount_;
    if (FHint.BZ && OnHintText) OnHintText(FSTKNAME, CursorHintText());
    return true;
}

void TGP::DrawCursorLayer(int W, bool repaintTitles) {
    int y = 0;
    for (int i = 0; i < FTechWindows; ++i) {
        ChartWindow* w = GS[static_cast<size_t>(i)];
        const int h = GSH[static_cast<size_t>(i)];
        if (h <= 0 || y + h > FCache.height() || !w->prog) {
            y += std::max(h, 0);
            continue;
        }
        const int cy = cury == -2 ? -2 : (cury > y ? cury - y : -1);
        const WindowFrame f = ComputeFrame(
            *w, *w->prog, RequestFor(*w, W, h, range.leftBar, range.scale, curx, cy, 0, y));
        w->FCurLeft = f.curBar;
        w->FCurValue = f.curValue;
        const int key = ReadoutKey(*w, f);
        auto& kept = readoutKey_[static_cast<size_t>(i)];
        if (repaintTitles && key != kept && w->ShowTop) {
            // The title rows only: the window painted whole into a view of its top rows,
            // everything below them falls outside and is left as it is.
            const int rows = std::min(f.g.T, h);
            QImage top(FBase.scanLine(y), W, rows, FBase.bytesPerLine(), FBase.format());
            top.fill(ToQColor(FColor));
            WindowFrame base = f;
            base.cursorLines = false;
            DrawLine(*w, base, top, FColor);
            CopyRows(FBase, FCache, y, y + rows);
        }
        kept = key;
        QImage band(FCache.scanLine(y), W, h, FCache.bytesPerLine(), FCache.format());
        DrawCursorLines(*w, f, band, FColor, cursorDamage_);
        y += h;
    }
}

} // namespace vantor
