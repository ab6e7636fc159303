// The drawing tools of the chart: placing a new object with the mouse, selecting and moving
// objects by their body or a control square, deleting, clearing and hiding them.

#include <Qt>
#include <algorithm>
#include <cmath>

#include "chart/objects/line_geometry.h"
#include "chart/objects/object_file.h"
#include "chart/tgp.h"

namespace vantor {

int ObjectPlot::IndexAt(int x) const {
    const double s = scale > 0 ? scale : 1;
    return static_cast<int>(std::trunc((x - L) / s)) + leftBar;
}

double ObjectPlot::ValueAt(int y) const {
    if (B == T) return maxValue;
    return maxValue - (y - T) * (maxValue - minValue) / (B - T);
}

QPoint ObjectPlot::Clamp(QPoint p) const {
    return {std::clamp(p.x(), L, std::max(L, R - 1)), std::clamp(p.y(), T, std::max(T, B))};
}

int TGP::WindowHeight(const ChartWindow* w) const {
    if (!w) return 0;
    if (FShowFs_) return w == FS_Main_ ? FSH_ : w == FS_VOL_ ? VOLH_ : 0;
    for (int i = 0; i < FTechWindows_; ++i)
        if (GS_[static_cast<size_t>(i)] == w) return GSH_[static_cast<size_t>(i)];
    return 0;
}

void TGP::StartTool(int kind, const std::string& hint) {
    EndTool();
    XXLine t;
    t.FType = kind;
    t.FName = hint;
    t.FPointCount = PointCountOf(kind);
    t.FColor = RGBColor(255, 255, 0);
    t.FLineWidth = 1;
    t.FLineType = psSolid;
    t.FFontSize = 8;
    tool_.line = {t, {}, 0};
    tool_.mode = ctDrawLine;
    ReDraw();
}

void TGP::EndTool() {
    if (tool_.window) tool_.window->preview = nullptr;
    tool_.line.placed = 0;
    if (tool_.mode == ctDrawLine) tool_.mode = ctNone;
    ReDraw();
}

void TGP::ClearLine() {
    ForAll([](ChartWindow& w) { w.FLine.clear(); });
    ReDraw();
}

void TGP::delLastline() {
    if (!FlastWindow_ || FlastWindow_->FLine.empty()) return;
    FlastWindow_->FLine.pop_back();
    ReDraw();
}

void TGP::HideLine(bool value) {
    ForAll([value](ChartWindow& w) { w.FShowLine = value; });
    ReDraw();
}

std::array<std::vector<XXLine>, kMaxWindows> TGP::UserObjects() const {
    std::array<std::vector<XXLine>, kMaxWindows> out;
    for (size_t i = 0; i < GS_.size(); ++i)
        for (const XXLine& o : GS_[i]->FLine)
            if (IsUserObject(o)) out[i].push_back(o);
    return out;
}

void TGP::SetUserObjects(const std::array<std::vector<XXLine>, kMaxWindows>& objects) {
    EndTool();
    for (size_t i = 0; i < GS_.size(); ++i) {
        std::erase_if(GS_[i]->FLine, [](const XXLine& o) { return IsUserObject(o); });
        GS_[i]->FLine.insert(GS_[i]->FLine.end(), objects[i].begin(), objects[i].end());
    }
    ReDraw();
}

int TGP::CurWindowObjectCount() const {
    return FCurWindow_ ? static_cast<int>(FCurWindow_->FLine.size()) : 0;
}

bool TGP::ToolPress(int x, int y) {
    ChartWindow* w = FCurWindow_;
    // A window takes objects only where it was painted with a plot: never a window of no
    // height or one of the view not shown.
    const bool usable = w && w->ShowFs == FShowFs_ && WindowHeight(w) > 0 && w->objectPlot.valid;
    if (tool_.mode == ctDrawLine) {
        if (tool_.line.placed == 0 && usable) {
            tool_.window = w;
            tool_.line.points.fill(w->objectPlot.Clamp({x, y}));
            tool_.line.placed = 1;
            w->preview = &tool_.line;
            ReDraw();
        }
        return true; // the tool owns the press, whatever lies under it
    }
    if (!usable) return false;
    tool_.oldx = x;
    tool_.oldy = y;
    tool_.window = w;
    const bool hadSelection =
        std::any_of(w->FLine.begin(), w->FLine.end(), [](const XXLine& o) { return o.Bedit; });
    const Grab grab = SelectAt(w->FLine, x, y);
    tool_.mode = grab == Grab::Body ? ctPan : grab == Grab::Square ? ctEdit : ctNone;
    if (hadSelection || grab != Grab::None) ReDraw();
    return false;
}

bool TGP::ToolMove(int x, int y, bool buttonDown) {
    tool_.lastx = x;
    tool_.lasty = y;
    ChartWindow* w = tool_.window;
    if (tool_.mode == ctDrawLine) {
        if (tool_.line.placed == 0 || !w) return false;
        tool_.line.points[static_cast<size_t>(std::min(tool_.line.placed, 2))] =
            w->objectPlot.Clamp({x, y});
        ReDraw();
        return true;
    }
    if ((tool_.mode != ctPan && tool_.mode != ctEdit) || !buttonDown || !w) return false;
    const ObjectPlot& pl = w->objectPlot;
    MoveSelected(w->FLine, tool_.mode == ctPan ? Grab::Body : Grab::Square, x - tool_.oldx,
                 tool_.oldy - y, pl.scale, FScale(), pl.maxValue - pl.minValue, pl.B - pl.T);
    ReDraw();
    return true;
}

bool TGP::ToolRelease(int x, int y) {
    ChartWindow* w = tool_.window;
    if (tool_.mode == ctPan || tool_.mode == ctEdit) {
        if (w)
            for (XXLine& o : w->FLine) {
                o.oldfxx = o.FXX;
                o.oldfyy = o.FYY;
            }
        tool_.mode = ctNone;
        return true;
    }
    if (tool_.mode != ctDrawLine || tool_.line.placed == 0 || !w) return false;
    LinePreview& pv = tool_.line;
    const ObjectPlot& pl = w->objectPlot;
    for (int k = pv.placed; k < 3; ++k) pv.points[static_cast<size_t>(k)] = pl.Clamp({x, y});
    if (++pv.placed < pv.tpl.FPointCount) {
        ReDraw();
        return true;
    }
    // The last point: the tool ends and the object joins the window.
    tool_.mode = ctNone;
    w->preview = nullptr;
    XXLine o = pv.tpl;
    pv.placed = 0;
    if (o.FType == kText && OnAddText) {
        XXLine asked = o;
        if (OnAddText(asked)) {
            o.FColor = asked.FColor;
            o.FString = asked.FString;
            o.FFontSize = asked.FFontSize;
        }
    }
    for (size_t k = 0; k < 3; ++k) {
        o.FXX[k] = pl.IndexAt(pv.points[k].x());
        o.FYY[k] = static_cast<float>(pl.ValueAt(pv.points[k].y()));
    }
    o.oldfxx = o.FXX;
    o.oldfyy = o.FYY;
    o.Bedit = false;
    o.nCtrPt = -1;
    w->FLine.push_back(o);
    ReDraw();
    return true;
}

bool TGP::ToolKey(int qtKey, bool ctrl) {
    if (qtKey == Qt::Key_Escape && tool_.mode == ctDrawLine) {
        EndTool();
        return true;
    }
    ChartWindow* w = FCurWindow_ ? FCurWindow_ : CurrentWindow();
    if (!w) return false;
    if (qtKey == Qt::Key_Delete) {
        const auto n = std::erase_if(w->FLine, [](const XXLine& o) { return o.Bedit; });
        if (n > 0) ReDraw();
        return n > 0;
    }
    if (ctrl && qtKey == Qt::Key_A) {
        for (XXLine& o : w->FLine) o.Bedit = true;
        ReDraw();
        return true;
    }
    return false;
}

void TGP::MouseUp(int x, int y) {
    if (x == -1 && y == -1) {
        x = tool_.lastx;
        y = tool_.lasty;
    }
    ToolRelease(x, y);
    MPress_ = {-1, -1};
}

} // namespace vantor
