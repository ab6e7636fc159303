// The chart's cursor and navigation: showing the cross-hair and its information window,
// the arrow keys, Enter, the double click, the wheel and the loss of the focus. The
// arithmetic is in navigation.cpp; the windows draw the cross-hair from curx and cury.

#include <Qt>
#include <algorithm>

#include "chart/navigation.h"
#include "chart/tgp.h"

namespace vantor {

void TGP::ShowCursorHint(bool moveMouse) {
    if (moveMouse && OnMovePointerAway) OnMovePointerAway();
    const bool ticks = FShowFs_;
    const int x = ticks ? 80 : 30, y = ticks ? FSH_ / 2 + 10 : GSH_[0] * 2 / 3;
    if (OnHintShow) OnHintShow(x, y, ticks ? kHintHeightTicks : kHintHeightBars, FHint_.First);
    FHint_.First = false;
    FHint_.BZ = true;
    dirty_ = true; // the readout is filled in with the next painting
}

void TGP::HintHide() {
    if (OnHintHide) OnHintHide();
    FHint_.BZ = false;
}

void TGP::SetShowCursor(bool v) {
    if (!v) {
        HintHide();
        curx_ = cury_ = -1;
    } else if (!FHint_.BZ) {
        ShowCursorHint(false);
    }
    ForAll([v](ChartWindow& w) { w.Cursor = v; });
    ReDraw();
}

void TGP::SetKeyboardCursor(int bar) {
    curx_ = bar;
    cury_ = -2;
    SetShowCursor(true);
}

bool TGP::HostNavigationKey(int qtKey) {
    if (FShowFs_) return false;
    const int W = width_ - (FShowBoard_ ? FBoardWidth_ : 0);
    const int plot = W - BarViewMargins(K_Main_->ShowLeft, K_Main_->ShowRight);
    const int visible = plot / std::max(range_.scale, 1);
    switch (qtKey) {
    case Qt::Key_Home:
        range_.leftBar = 0;
        SetKeyboardCursor(0);
        return true;
    case Qt::Key_End:
        range_.leftBar = BarCount(); // the visible-range rule shows the last screen
        SetKeyboardCursor(BarCount() - 1);
        return true;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        range_.leftBar = PagedLeftBar(range_.leftBar, visible, qtKey == Qt::Key_PageUp ? -1 : 1);
        ReDraw();
        return true;
    default:
        return false;
    }
}

void TGP::FocusLost() {
    if (!(HintIsForeground && HintIsForeground())) {
        HintHide();
        curx_ = cury_ = -1;
    }
    MPress_ = {-1, -1};
    ReDraw();
}

std::string TGP::CursorHintText() {
    Render(); // the windows' cursor bar and value are those of the current picture
    if (FShowFs_) return TickReadout(*FS_Main_->prog, FS_Main_->FCurLeft, FS_Main_->Prevclose);
    return BarReadout(*K_Main_->prog, K_Main_->FCurLeft, K_Main_->ZhouQi, K_Main_->FCurValue,
                      K_Main_->FQuan);
}

void TGP::ArrowKey(bool left) {
    Render(); // the cursor bar as the current picture shows it
    ChartWindow* t = FShowFs_ ? FS_Main_ : K_Main_;
    const bool shown = ShowCursor();
    if (!shown && !FHint_.BZ) ShowCursorHint(true);
    const int count = t->prog->DataLen();
    if (FShowFs_) {
        curx_ = left ? TickStepLeft(shown, t->FCurLeft, count, FfsCount_)
                     : TickStepRight(shown, t->FCurLeft, count, FfsCount_);
    } else {
        const int W = width_ - (FShowBoard_ ? FBoardWidth_ : 0);
        KeyCursor k = left ? StepLeft(shown, t->FCurLeft, count, range_.leftBar)
                           : StepRight(shown, t->FCurLeft, count, range_.leftBar, range_.scale,
                                       ScaleWidth(K_Main_->ShowLeft) + kBarInset, W - kBarInset);
        curx_ = k.bar;
        range_.leftBar = k.leftBar;
    }
    const bool scrolled = !FShowFs_ && range_.leftBar != range_.oldLeftBar;
    cury_ = -2;
    FCurWindow_ = t;
    if (shown && FHint_.BZ && !scrolled)
        CursorMoved(); // only the cursor moved
    else
        SetShowCursor(true);
}

bool TGP::KeyDown(int qtKey, bool shift, bool ctrl) {
    (void)shift;
    if (ToolKey(qtKey, ctrl)) return true; // Escape, Delete, Ctrl+A of the drawing tools
    switch (qtKey) {
    case Qt::Key_Up:
    case Qt::Key_Down: {
        if (FShowFs_) return false;
        const int W = width_ - (FShowBoard_ ? FBoardWidth_ : 0);
        const int s = qtKey == Qt::Key_Up ? ZoomedIn(range_.scale, W) : ZoomedOut(range_.scale);
        if (s == range_.scale) return false;
        range_.scale = s;
        ReDraw();
        return true;
    }
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (!ShowHint_) return false;
        ArrowKey(qtKey == Qt::Key_Left);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        if (FShowFs_ || !ShowCursor()) return false;
        Render();
        int date = 0;
        float price = 0;
        if (DateOfBar(*K_Main_->prog, K_Main_->FCurLeft, date, price) && OnGPDate)
            OnGPDate(date, price);
        return true;
    }
    default:
        return false;
    }
}

void TGP::DblClick(int x, int y) {
    HitTest(x, y);
    const bool cursorRegion = FWeiStyle_ == TWeiStyle::wsGS1 || FWeiStyle_ == TWeiStyle::wsFS;
    if (ShowHint_ && cursorRegion) {
        if (FHint_.BZ) {
            SetShowCursor(false);
        } else {
            ShowCursorHint(false);
            SetShowCursor(true);
        }
        return;
    }
    if (OnGPDBClick) OnGPDBClick(FWeiStyle_);
}

void TGP::MouseWheel(int delta, int x, int y) {
    (void)x;
    (void)y;
    if (delta == 120 && OnMouseWheelUp) OnMouseWheelUp();
    if (delta == -120 && OnMouseWheelDown) OnMouseWheelDown();
}

} // namespace vantor
