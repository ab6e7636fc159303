// The cursor layer of the bar view. A full painting leaves the windows without their cursor
// lines in FBase and draws the lines over a copy; a cursor move restores the rectangles the
// last lines covered from FBase, repaints the title rows of the windows whose readouts
// moved to another bar, and draws the new lines. A move costs a few rows and columns of
// pixels instead of a repaint of every window. The copy into FBase is taken only when a
// cursor line is about to be drawn over the painting: until then the painting itself is the
// base, and a repaint without a cursor copies nothing.

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
    return !FShowFs_ && ratio_ == 1 && FFillStyle_ == wNone;
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
    baseInCache_ = true;
    cursorDamage_.clear();
    DrawCursorLayer(W, false);
}

void TGP::TakeBase() {
    if (!baseInCache_) return;
    baseInCache_ = false;
    if (FBase.size() != FCache_.size() || FBase.format() != FCache_.format())
        FBase = FCache_.copy();
    else
        CopyRows(FCache_, FBase, 0, FCache_.height());
}

bool TGP::RenderCursorLayer() {
    const int W = width_ - (FShowBoard_ ? FBoardWidth_ : 0);
    if (!CursorLayered() || (!baseInCache_ && FBase.size() != FCache_.size()) || W < 10 ||
        height_ < 10)
        return false;
    cursorDirty_ = false;
    // With the base still in the cache no cursor line has been drawn over it: no damage.
    for (const QRect& r : cursorDamage_) CopyRect(FBase, FCache_, r);
    cursorDamage_.clear();
    DrawCursorLayer(W, true);
    ++repaintCount_;
    if (FHint_.BZ && OnHintText) OnHintText(FSTKNAME_, CursorHintText());
    return true;
}

void TGP::DrawCursorLayer(int W, bool repaintTitles) {
    int y = 0;
    for (int i = 0; i < FTechWindows_; ++i) {
        ChartWindow* w = GS_[static_cast<size_t>(i)];
        const int h = GSH_[static_cast<size_t>(i)];
        if (h <= 0 || y + h > FCache_.height() || !w->prog) {
            y += std::max(h, 0);
            continue;
        }
        const int cy = cury_ == -2 ? -2 : (cury_ > y ? cury_ - y : -1);
        const WindowFrame f = ComputeFrame(
            *w, *w->prog, RequestFor(*w, W, h, range_.leftBar, range_.scale, curx_, cy, 0, y));
        w->FCurLeft = f.curBar;
        w->FCurValue = f.curValue;
        const int key = ReadoutKey(*w, f);
        auto& kept = readoutKey_[static_cast<size_t>(i)];
        if (repaintTitles && key != kept && w->ShowTop) {
            TakeBase();
            // The title rows only: the window painted whole into a view of its top rows,
            // everything below them falls outside and is left as it is.
            const int rows = std::min(f.g.T, h);
            QImage top(FBase.scanLine(y), W, rows, FBase.bytesPerLine(), FBase.format());
            top.fill(ToQColor(FColor_));
            WindowFrame base = f;
            base.cursorLines = false;
            DrawLine(*w, base, top, FColor_);
            CopyRows(FBase, FCache_, y, y + rows);
        }
        kept = key;
        if (f.cursorLines) TakeBase();
        QImage band(FCache_.scanLine(y), W, h, FCache_.bytesPerLine(), FCache_.format());
        DrawCursorLines(*w, f, band, FColor_, cursorDamage_);
        y += h;
    }
}

} // namespace vantor
