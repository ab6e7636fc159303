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
    const bool ticks = FShowFs;
    const int x = ticks ? 80 : 30, y = ticks ? FSH / 2 + 10 : GSH[0] * 2 / 3;
    if (OnHintShow) OnHintShow(x, y, ticks ? kHintHeightTicks : kHintHeightBars, FHint.First);
    FHint.First = false;
    FHint.BZ = true;
    dirty_ = true; // the readout is filled in with the next painting
}

void TGP::HintHide() {
    if (OnHintHide) OnHintHide();
    FHint.BZ = false;
}

void TGP::SetShowCursor(bool v) {
    if (!v) {
        HintHide();
        curx = cury = -1;
    } else if (!FHint.BZ) {
        ShowCursorHint(false);
    }
    ForAll([v](ChartWindow& w) { w.Cursor = v; });
    ReDraw();
}

void TGP::SetKeyboardCursor(int bar) {
    curx = bar;
    cury = -2;
    SetShowCursor(true);
}

bool TGP::HostNavigationKey(int qtKey) {
    if (FShowFs) return false;
    const int W = width_ - (FShowBoard ? FBoardWidth : 0);
    const int plot =
        W - ScaleWidth(K_Main->ShowLeft) - ScaleWidth(K_Main->ShowRight) - 2 * kBarInset;
    const int visible = plot / std::max(range.scale, 1);
    switch (qtKey) {
    case Qt::Key_Home:
        range.leftBar = 0;
        SetKeyboardCursor(0);
        return true;
    case Qt::Key_End:
        range.leftBar = BarCount(); // the visible-range rule shows the last screen
        SetKeyboardCursor(BarCount() - 1);
        return true;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        range.leftBar = PagedLeftBar(range.leftBar, visible, qtKey == Qt::Key_PageUp ? -1 : 1);
        ReDraw();
        return true;
    default:
        return false;
    }
}

void TGP::FocusLost() {
    if (!(HintIsForeground && HintIsForeground())) {
        HintHide();
        curx = cury = -1;
    }
    MPress = {-1, -1};
    ReDraw();
}

std::string TGP::CursorHintText() {
    Render(); // the windows' cursor bar and value are those of the current picture
    if (FShowFs) return TickReadout(*FS_Main->prog, FS_Main->FCurLeft, FS_Main->Prevclose);
    return BarReadout(*K_Main->prog, K_Main->FCurLeft, K_Main->ZhouQi, K_Main->FCurValue,
                      K_Main->FQuan);
}

void TGP::ArrowKey(bool left) {
    Render(); // the cursor bar as the current picture shows it
    ChartWindow* t = FShowFs ? FS_Main : K_Main;
    const bool shown = ShowCursor();
    if (!shown && !FHint.BZ) ShowCursorHint(true);
    const int count = t->prog->DataLen();
    if (FShowFs) {
        curx = left ? TickStepLeft(shown, t->FCurLeft, count, FfsCount)
                    : TickStepRight(shown, t->FCurLeft, count, FfsCount);
    } else {
        const int W = width_ - (FShowBoard ? FBoardWidth : 0);
        KeyCursor k = left ? StepLeft(shown, t->FCurLeft, count, range.leftBar)
                           : StepRight(shown, t->FCurLeft, count, range.leftBar, range.scale,
                                       ScaleWidth(K_Main->ShowLeft) + kBarInset, W - kBarInset);
        curx = k.bar;
        range.leftBar = k.leftBar;
    }
    const bool scrolled = !FShowFs && range.leftBar != range.oldLeftBar;
    cury = -2;
    FCurWindow = t;
    if (shown && FHint.BZ && !scrolled)
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
        if (FShowFs) return false;
        const int W = width_ - (FShowBoard ? FBoardWidth : 0);
        const int s = qtKey == Qt::Key_Up ? ZoomedIn(range.scale, W) : ZoomedOut(range.scale);
        if (s == range.scale) return false;
        range.scale = s;
        ReDraw();
        return true;
    }
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (!ShowHint) return false;
        ArrowKey(qtKey == Qt::Key_Left);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        if (FShowFs || !ShowCursor()) return false;
        Render();
        int date = 0;
        float price = 0;
        if (DateOfBar(*K_Main->prog, K_Main->FCurLeft, date, price) && OnGPDate)
            OnGPDate(date, price);
        return true;
    }
    default:
        return false;
    }
}

void TGP::DblClick(int x, int y) {
    HitTest(x, y);
    const bool cursorRegion = FWeiStyle == TWeiStyle::wsGS1 || FWeiStyle == TWeiStyle::wsFS;
    if (ShowHint && cursorRegion) {
        if (FHint.BZ) {
            SetShowCursor(false);
        } else {
            ShowCursorHint(false);
            SetShowCursor(true);
        }
        return;
    }
    if (OnGPDBClick) OnGPDBClick(FWeiStyle);
}

void TGP::MouseWheel(int delta, int x, int y) {
    (void)x;
    (void)y;
    if (delta == 120 && OnMouseWheelUp) OnMouseWheelUp();
    if (delta == -120 && OnMouseWheelDown) OnMouseWheelDown();
}

} // namespace vantor
