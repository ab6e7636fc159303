// Painting of the user-drawn objects: hit geometry, selection marks and shapes, and the
// preview of the object being placed.

#include "chart/objects/object_painter.h"

#include <QPainter>

#include "chart/canvas.h"
#include "chart/paint_context.h"

namespace vantor {

namespace {

constexpr TColor kMagenta = RGBColor(255, 0, 255);
constexpr TColor kMarkGreen = RGBColor(0, 255, 0);

bool Empty(const TRectI& r) {
    return r.Right <= r.Left || r.Bottom <= r.Top;
}

void Outline(Canvas& c, int l, int t, int r, int b) {
    c.Line(l, t, r, t);
    c.Line(r, t, r, b);
    c.Line(r, b, l, b);
    c.Line(l, b, l, t);
}

// The bottom-left pixel is the ground the picture leaves out.
QImage Arrow(bool up, TColor color) {
    QImage img(16, 16, QImage::Format_RGB32);
    img.fill(Qt::white);
    const QRgb fill = ToQColor(color).rgb();
    for (int y = 0; y < 15; ++y) {
        const int row = up ? y : 14 - y;
        const int half = y < 7 ? y : 2; // head widening, then the shaft
        for (int x = 7 - half; x <= 7 + half; ++x) img.setPixel(x, row, fill);
    }
    return img;
}

} // namespace

PenStyle PenOf(TPenStyle s) {
    switch (s) {
    case psDash:
        return PenStyle::Dash;
    case psDot:
    case psAlternate:
        return PenStyle::Dot;
    case psDashDot:
        return PenStyle::DashDot;
    case psDashDotDot:
        return PenStyle::DashDotDot;
    case psClear:
        return PenStyle::Clear;
    default:
        return PenStyle::Solid;
    }
}

const QImage& MarkPicture(int kind) {
    static const QImage up = Arrow(true, RGBColor(255, 0, 0));
    static const QImage down = Arrow(false, RGBColor(0, 200, 0));
    return kind == kMarkDown ? down : up;
}

ObjectView ViewOf(const PaintContext& p) {
    ObjectView v;
    v.width = p.g.W;
    v.height = p.g.H;
    v.L = p.g.X1;
    v.T = p.g.T;
    v.R = p.g.X2;
    v.B = p.g.H - p.g.B;
    v.scale = p.scale;
    v.maxValue = p.f.maxValue;
    v.minValue = p.f.minValue;
    v.textHeight = p.c.TextHeight("H");
    return v;
}

void PaintShape(Canvas& c, const ObjectShape& s, const XXLine& o) {
    for (const ShapeLine& l : s.lines) {
        c.SetPen(o.FColor, o.FLineWidth, l.dotted ? PenStyle::Dot : PenOf(o.FLineType));
        c.Line(l.a.x(), l.a.y(), l.b.x(), l.b.y());
    }
    c.SetTextOpaque(false);
    for (const ShapeLabel& t : s.labels) {
        c.SetFontColor(t.angle ? kMagenta : o.FColor);
        c.TextOut(t.at.x(), t.at.y(), t.text);
    }
    if (s.picture) c.DrawTransparent(s.pictureAt.x(), s.pictureAt.y(), MarkPicture(s.picture));
    if (s.textBox && !o.FString.empty()) {
        QPainter& qp = c.Painter();
        qp.save();
        const QRect box(s.textRect.Left, s.textRect.Top, s.textRect.Right - s.textRect.Left,
                        s.textRect.Bottom - s.textRect.Top);
        qp.setClipRect(box);
        qp.setFont(MakeFont(c.Font().name, c.Font().height));
        qp.setPen(ToQColor(o.FColor));
        qp.drawText(box, Qt::AlignLeft | Qt::AlignTop, QString::fromStdString(o.FString));
        qp.restore();
    }
}

void PaintUserObject(PaintContext& p, XXLine& o, const std::array<QPoint, 3>& pt) {
    Canvas& c = p.c;
    const ObjectView v = ViewOf(p);
    const QPoint origin(p.f.plot.Left - p.g.Lm, p.f.plot.Top - p.g.T);
    SetHitGeometry(o, pt, v, origin);
    if (o.Bedit) {
        c.SetPen(kMarkGreen);
        c.SetBrushClear();
        for (const TRectI& r : o.Frec)
            if (!Empty(r))
                Outline(c, r.Left - origin.x(), r.Top - origin.y(), r.Right - origin.x(),
                        r.Bottom - origin.y());
        c.SetPen(kMagenta, 1, PenStyle::Dot);
        const int n = std::clamp(o.FPointCount, 1, 3);
        const TRectI r = n == 1 ? o.Frec[0] : o.FBody;
        if (n == 3) {
            for (size_t k = 0; k < 3; ++k) {
                QPoint a = pt[k], b = pt[(k + 1) % 3];
                if (ClipSegment(a, b, -1, -1, v.width, v.height))
                    c.Line(a.x(), a.y(), b.x(), b.y());
            }
        } else {
            Outline(c, std::max(r.Left - origin.x(), -1), std::max(r.Top - origin.y(), -1),
                    std::min(r.Right - origin.x(), v.width),
                    std::min(r.Bottom - origin.y(), v.height));
        }
    }
    c.SetBrushClear();
    PaintShape(c, ShapeOf(o.FType, pt, v), o);
}

void PaintPreview(PaintContext& p, const LinePreview& pv) {
    Canvas& c = p.c;
    const ObjectView v = ViewOf(p);
    const QPoint origin(p.f.plot.Left - p.g.Lm, p.f.plot.Top - p.g.T);
    const XXLine& t = pv.tpl;
    c.SetBrushClear();
    c.SetPen(t.FColor, t.FLineWidth, PenStyle::Dot);
    Outline(c, v.L, v.T, v.R, v.B);
    // The points in window pixels; those not reached yet take the one following the mouse.
    const int last = std::clamp(pv.placed, 0, 2);
    std::array<QPoint, 3> pt;
    for (int k = 0; k < 3; ++k)
        pt[static_cast<size_t>(k)] = pv.points[static_cast<size_t>(std::min(k, last))] - origin;
    c.SetPen(t.FColor, t.FLineWidth);
    for (int k = 0; k <= last; ++k) {
        const QPoint s = pt[static_cast<size_t>(k)];
        Outline(c, s.x() - 5, s.y() - 5, s.x() + 5, s.y() + 5);
    }
    XXLine solid = t;
    solid.FLineType = psSolid;
    PaintShape(c, ShapeOf(t.FType, pt, v), solid);
    if (t.FType == kArc) {
        c.SetPen(t.FColor, t.FLineWidth);
        c.Line(pt[0].x(), pt[0].y(), pt[1].x(), pt[1].y());
    }
}

} // namespace vantor
