// Painting of a window's drawing objects over its formula outputs: the anchor to pixel
// mapping, the hit geometry and the geometry of each kind.

#include <algorithm>

#include "chart/objects/object_painter.h"
#include "chart/paint_context.h"
#include "chart/trade_markers.h"

namespace vantor {

namespace {

// A position line: a tick above the anchor, its label above the tick and a horizontal
// line at the anchor's value across the whole window.
void DrawPositionLine(PaintContext& p, const XXLine& o, QPoint p0) {
    Canvas& c = p.c;
    c.Line(p0.x(), p0.y() - 10, p0.x(), p0.y() - 25);
    c.TextOut(p0.x() - 4, p0.y() - 45, o.FString);
    c.Line(0, p0.y(), p.g.W + 1, p0.y());
}

} // namespace

QPoint AnchorPixel(const PaintContext& p, int bar, double value) {
    int x = SatPixel(p.scale * (bar - p.leftBar) + p.scale / 2) + p.g.X1;
    return {x, p.Y(value)};
}

void DrawObjects(PaintContext& p) {
    Canvas& c = p.c;
    const int ox = p.f.plot.Left - p.g.Lm, oy = p.f.plot.Top - p.g.T; // window origin
    // The plot as painted, for turning the mouse into anchors until the next paint.
    ObjectPlot& plot = p.win.objectPlot;
    plot = {true,    ox + p.g.X1, oy + p.g.T,   ox + p.g.X2, oy + p.g.H - p.g.B,
            p.scale, p.leftBar,   p.f.maxValue, p.f.minValue};
    if (p.win.FShowLine) {
        for (XXLine& o : p.win.FLine) {
            std::array<QPoint, 3> pt;
            for (size_t k = 0; k < pt.size(); ++k) pt[k] = AnchorPixel(p, o.FXX[k], o.FYY[k]);
            c.SetPen(o.FColor, o.FLineWidth, PenOf(o.FLineType));
            c.SetFontColor(o.FColor);
            c.SetBrushClear();
            c.SetTextOpaque(false);
            switch (o.FType) {
            case kPositionLine:
                o.FBody = {ox, oy + pt[0].y() - 2, ox + p.g.W, oy + pt[0].y() + 3};
                DrawPositionLine(p, o, pt[0]);
                break;
            case kTradeMarker:
                DrawTradeMarker(p, o);
                break;
            default:
                PaintUserObject(p, o, pt);
                break;
            }
        }
    }
    if (p.win.preview) PaintPreview(p, *p.win.preview);
}

} // namespace vantor
