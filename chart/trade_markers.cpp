#include "chart/trade_markers.h"

#include <QPoint>
#include <cmath>

#include "chart/paint_context.h"

namespace vantor {

namespace {

constexpr TColor kBuyColour = 0x0000FF;  // red
constexpr TColor kSellColour = 0x00FF00; // green
constexpr int kGap = 4;                  // between the bar and the first arrow
constexpr int kArrow = 16;               // length of an arrow, head and shaft
constexpr int kHalfWidth = 5;            // of the arrow's head
constexpr int kPitch = kArrow + 2;       // between stacked arrows

bool Opens(const XXLine& mark) {
    return mark.FString.find("开") != std::string::npos;
}

// The bar the title readouts describe: under the cursor, else the newest visible bar.
int ReadoutBar(const PaintContext& p) {
    int k = p.end - 1;
    if (p.win.Cursor && p.cursorX != -1) {
        int kk = static_cast<int>(std::trunc((p.cursorX - p.g.X1) / p.scale)) + p.leftBar;
        if (kk >= 0 && kk < p.end) k = kk;
    }
    return k;
}

} // namespace

bool BuysIn(const std::string& direction) {
    return direction == "多开" || direction == "空平";
}

XXLine TradeMarker(int bar, double price, const std::string& direction, int slot) {
    XXLine m;
    m.FType = kTradeMarker;
    m.FString = direction;
    m.FColor = BuysIn(direction) ? kBuyColour : kSellColour;
    m.FPointCount = 1;
    m.FXX = {bar, slot, 0};
    m.FYY = {static_cast<float>(price), 0, 0};
    return m;
}

bool TradeMarkerTip(const PaintContext& p, const XXLine& mark, int& x, int& y) {
    const int bar = mark.FXX[0];
    if (bar < p.leftBar || bar >= p.end) return false;
    SeriesView side;
    if (!p.Series(BuysIn(mark.FString) ? "low" : "high", side) || bar >= side.len) return false;
    const double v = side.at(bar);
    if (v == kInvalidValue) return false;
    x = p.CX(bar);
    const int offset = kGap + mark.FXX[1] * kPitch;
    y = BuysIn(mark.FString) ? p.Y(v) + offset : p.Y(v) - offset;
    return true;
}

void DrawTradeMarker(PaintContext& p, const XXLine& mark) {
    Canvas& c = p.c;
    int x = 0, y = 0;
    if (TradeMarkerTip(p, mark, x, y)) {
        const int dir = BuysIn(mark.FString) ? 1 : -1; // the arrow points up (1) or down (-1)
        const int head = kArrow / 2;
        const QPoint tri[3] = {
            {x, y}, {x - kHalfWidth, y + dir * head}, {x + kHalfWidth, y + dir * head}};
        c.SetPen(mark.FColor);
        if (Opens(mark))
            c.SetBrush(mark.FColor);
        else
            c.SetBrush(p.bg);
        c.Polygon(tri, 3);
        for (int dx = -1; dx <= 1; ++dx) c.Line(x + dx, y + dir * head, x + dx, y + dir * kArrow);
        c.SetBrushClear();
    }
    if (!p.win.ShowTop || mark.FXX[0] != ReadoutBar(p)) return;
    const std::string text = mark.FString + ":" + p.fmt.Format(mark.FYY[0]);
    c.SetFontColor(mark.FColor);
    c.TextOut(p.g.Lm + p.TW + 2, 2, text);
    p.TW += c.TextWidth(text) + 3;
}

} // namespace vantor
