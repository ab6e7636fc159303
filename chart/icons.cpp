// The icon pictures, painted with smoothed shapes on a 16 x 16 transparent image. Every
// picture is a small function of a painter; the table below names them.

#include "chart/icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <cctype>
#include <map>
#include <mutex>

namespace vantor {

namespace {

using Draw = void (*)(QPainter&);

const QColor kOutline(40, 40, 40);
const QColor kRedC(230, 30, 30), kGreenC(20, 170, 50), kBlueC(40, 90, 230);
const QColor kYellowC(250, 210, 30), kPurpleC(150, 60, 200), kPinkC(245, 110, 180);
const QColor kOrangeC(250, 140, 20), kTealC(0, 160, 160), kGoldC(220, 170, 40);

void Solid(QPainter& g, const QColor& fill, const QColor& line = kOutline, double w = 1) {
    g.setBrush(fill);
    if (w > 0)
        g.setPen(QPen(line, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    else
        g.setPen(Qt::NoPen);
}

void Poly(QPainter& g, std::initializer_list<QPointF> pts) {
    g.drawPolygon(QPolygonF(QList<QPointF>(pts)));
}

// --- arrows, letters and marks ---
void Arrow(QPainter& g, bool up, const QColor& col) {
    Solid(g, col, col.darker(150));
    if (up)
        Poly(g, {{8, 1}, {15, 8}, {10.5, 8}, {10.5, 15}, {5.5, 15}, {5.5, 8}, {1, 8}});
    else
        Poly(g, {{8, 15}, {15, 8}, {10.5, 8}, {10.5, 1}, {5.5, 1}, {5.5, 8}, {1, 8}});
}

void Letter(QPainter& g, const char* text, const QColor& col) {
    QFont f("DejaVu Sans");
    f.setPixelSize(15);
    f.setBold(true);
    g.setFont(f);
    g.setPen(col);
    g.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, text);
}

void Cross(QPainter& g, const QColor& col) {
    g.setPen(QPen(col, 3.2, Qt::SolidLine, Qt::RoundCap));
    g.drawLine(QPointF(3, 3), QPointF(13, 13));
    g.drawLine(QPointF(13, 3), QPointF(3, 13));
}

void Triangle(QPainter& g, bool up, const QColor& col) {
    Solid(g, col, col.darker(150));
    if (up)
        Poly(g, {{8, 2}, {15, 14}, {1, 14}});
    else
        Poly(g, {{8, 14}, {15, 2}, {1, 2}});
}

void ChevronDisc(QPainter& g, bool up, const QColor& col) {
    Solid(g, col, col.darker(160));
    g.drawEllipse(QRectF(0.5, 0.5, 15, 15));
    g.setPen(QPen(Qt::white, 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    g.setBrush(Qt::NoBrush);
    if (up)
        g.drawPolyline(QPolygonF(QList<QPointF>{{4, 10}, {8, 5.5}, {12, 10}}));
    else
        g.drawPolyline(QPolygonF(QList<QPointF>{{4, 6}, {8, 10.5}, {12, 6}}));
}

// --- faces ---
enum class Mouth { Open, Sad, Smile, Frown };
void Face(QPainter& g, const QColor& skin, Mouth mouth) {
    Solid(g, skin);
    g.drawEllipse(QRectF(0.5, 0.5, 15, 15));
    g.setBrush(kOutline);
    g.setPen(Qt::NoPen);
    g.drawEllipse(QRectF(4, 4.5, 2.5, 3));
    g.drawEllipse(QRectF(9.5, 4.5, 2.5, 3));
    g.setPen(QPen(kOutline, 1.4, Qt::SolidLine, Qt::RoundCap));
    g.setBrush(Qt::NoBrush);
    switch (mouth) {
    case Mouth::Open:
        g.setBrush(kOutline);
        g.drawEllipse(QRectF(6, 9.5, 4, 4));
        break;
    case Mouth::Sad:
        g.drawArc(QRectF(4.5, 10, 7, 5), 30 * 16, 120 * 16);
        break;
    case Mouth::Smile:
        g.drawArc(QRectF(4, 6, 8, 6.5), 200 * 16, 140 * 16);
        break;
    case Mouth::Frown:
        g.drawArc(QRectF(4, 10.5, 8, 5), 20 * 16, 140 * 16);
        g.drawLine(QPointF(3.5, 3.5), QPointF(6.5, 4.5)); // brows
        g.drawLine(QPointF(12.5, 3.5), QPointF(9.5, 4.5));
        break;
    }
}

// --- balls, fruit and gems ---
void Ball(QPainter& g, const QRectF& box, const QColor& col) {
    QRadialGradient shade(box.center() - QPointF(box.width() / 5, box.height() / 5),
                          box.width() * 0.7);
    shade.setColorAt(0, col.lighter(170));
    shade.setColorAt(1, col.darker(130));
    g.setBrush(shade);
    g.setPen(QPen(col.darker(170), 0.8));
    g.drawEllipse(box);
}

void Gem(QPainter& g, const QColor& col) {
    Solid(g, col, col.darker(170));
    Poly(g, {{4, 2}, {12, 2}, {15, 6}, {8, 15}, {1, 6}});
    g.setPen(QPen(col.lighter(160), 0.8));
    g.drawLine(QPointF(1, 6), QPointF(15, 6));
    g.drawLine(QPointF(5.5, 6), QPointF(8, 15));
    g.drawLine(QPointF(10.5, 6), QPointF(8, 15));
    g.drawLine(QPointF(5.5, 6), QPointF(8, 2));
    g.drawLine(QPointF(10.5, 6), QPointF(8, 2));
}

void Apple(QPainter& g) {
    Ball(g, QRectF(1.5, 3.5, 13, 12), kGreenC);
    g.setPen(QPen(QColor(110, 70, 30), 1.5, Qt::SolidLine, Qt::RoundCap));
    g.drawLine(QPointF(8, 4.5), QPointF(9, 1));
    Solid(g, QColor(60, 200, 60), QColor(30, 120, 30), 0.6);
    g.drawEllipse(QRectF(9, 1, 4.5, 2.5));
}

void Orange(QPainter& g) {
    Ball(g, QRectF(1, 2, 14, 13.5), kOrangeC);
    Solid(g, QColor(60, 170, 60), QColor(30, 110, 30), 0.6);
    g.drawEllipse(QRectF(7, 0.5, 5, 3));
}

void ThreeBalls(QPainter& g) {
    Ball(g, QRectF(0.5, 8, 7.5, 7.5), kRedC);
    Ball(g, QRectF(8, 8, 7.5, 7.5), kBlueC);
    Ball(g, QRectF(4.2, 1, 7.5, 7.5), kYellowC);
}

// --- things ---
void MoneyBag(QPainter& g) {
    Solid(g, QColor(200, 160, 80), QColor(110, 80, 30));
    QPainterPath bag;
    bag.moveTo(5.5, 4.5);
    bag.cubicTo(0, 8, 0.5, 15.5, 8, 15.5);
    bag.cubicTo(15.5, 15.5, 16, 8, 10.5, 4.5);
    bag.closeSubpath();
    g.drawPath(bag);
    Poly(g, {{5, 1}, {11, 1}, {10, 4.5}, {6, 4.5}});
    QFont f("DejaVu Sans");
    f.setPixelSize(9);
    f.setBold(true);
    g.setFont(f);
    g.setPen(QColor(0, 110, 0));
    g.drawText(QRectF(0, 6, 16, 10), Qt::AlignCenter, "$");
}

void SignBoard(QPainter& g) {
    Solid(g, QColor(140, 90, 40), QColor(90, 55, 20));
    g.drawRect(QRectF(7, 8, 2, 7.5));
    Solid(g, QColor(250, 240, 200), QColor(140, 90, 40), 1.2);
    g.drawRect(QRectF(1, 1.5, 14, 7));
    g.setPen(QPen(QColor(120, 120, 120), 1));
    g.drawLine(QPointF(3.5, 4), QPointF(12.5, 4));
    g.drawLine(QPointF(3.5, 6), QPointF(10, 6));
}

void Hand(QPainter& g, bool up) {
    if (!up) {
        g.translate(16, 16);
        g.rotate(180);
    }
    Solid(g, QColor(250, 215, 170), QColor(150, 100, 60));
    g.drawRoundedRect(QRectF(6.5, 0.5, 3.5, 9), 1.7, 1.7); // the pointing finger
    g.drawRoundedRect(QRectF(3.5, 7, 10, 8.5), 2.5, 2.5);  // the fist
    g.setPen(QPen(QColor(150, 100, 60), 0.8));
    g.drawLine(QPointF(6.5, 10), QPointF(13, 10));
    g.drawLine(QPointF(6.5, 12.5), QPointF(13, 12.5));
}

void RunningMan(QPainter& g) {
    const QColor col(30, 90, 200);
    Solid(g, col, col, 0);
    g.drawEllipse(QRectF(8.5, 0.5, 4, 4));
    g.setPen(QPen(col, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    g.setBrush(Qt::NoBrush);
    g.drawLine(QPointF(9.5, 5.5), QPointF(7, 10));                                          // body
    g.drawPolyline(QPolygonF(QList<QPointF>{{3, 6.5}, {6.5, 5.5}, {9.5, 5.5}, {12.5, 8}})); // arms
    g.drawPolyline(QPolygonF(QList<QPointF>{{7, 10}, {10.5, 12}, {10.5, 15}}));             // legs
    g.drawPolyline(QPolygonF(QList<QPointF>{{7, 10}, {5, 13.5}, {2, 14}}));
}

void Cup(QPainter& g) {
    Solid(g, QColor(240, 240, 240), QColor(90, 90, 110), 1.2);
    g.setBrush(Qt::NoBrush);
    g.drawArc(QRectF(10, 5, 5, 6), -90 * 16, 180 * 16); // handle
    g.setBrush(QColor(240, 240, 240));
    Poly(g, {{2, 4}, {12, 4}, {11, 14}, {3, 14}});
    g.setBrush(QColor(140, 80, 40));
    g.setPen(Qt::NoPen);
    g.drawRect(QRectF(3, 5, 8, 2));
}

void Phone(QPainter& g) {
    Solid(g, QColor(60, 60, 70), QColor(20, 20, 25));
    g.drawRoundedRect(QRectF(4, 0.5, 8, 15), 1.8, 1.8);
    Solid(g, QColor(120, 200, 240), QColor(20, 20, 25), 0.6);
    g.drawRect(QRectF(5.5, 2.5, 5, 6));
    g.setPen(Qt::NoPen);
    g.setBrush(QColor(200, 200, 200));
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 3; ++c) g.drawRect(QRectF(5.5 + c * 1.8, 10 + r * 2, 1.2, 1.2));
}

void House(QPainter& g, const QColor& wall, const QColor& roof) {
    Solid(g, wall, wall.darker(160));
    g.drawRect(QRectF(3, 7.5, 10, 8));
    Solid(g, roof, roof.darker(160));
    Poly(g, {{8, 1}, {15.5, 8}, {0.5, 8}});
    Solid(g, QColor(110, 70, 30), QColor(60, 40, 20), 0.6);
    g.drawRect(QRectF(6.5, 10.5, 3, 5));
}

void RedCrossDisc(QPainter& g) {
    Solid(g, Qt::white, QColor(150, 150, 150));
    g.drawEllipse(QRectF(0.5, 0.5, 15, 15));
    g.setPen(Qt::NoPen);
    g.setBrush(kRedC);
    g.drawRect(QRectF(6.5, 3, 3, 10));
    g.drawRect(QRectF(3, 6.5, 10, 3));
}

// A small winged creature: round body, two wings raised, eyes.
void Winged(QPainter& g, const QColor& col) {
    Solid(g, col.lighter(130), col.darker(160));
    Poly(g, {{6, 8}, {0.5, 2}, {1.5, 10}});
    Poly(g, {{10, 8}, {15.5, 2}, {14.5, 10}});
    Solid(g, col, col.darker(170));
    g.drawEllipse(QRectF(4, 5, 8, 10));
    g.setPen(Qt::NoPen);
    g.setBrush(Qt::white);
    g.drawEllipse(QRectF(5.5, 7.5, 2.2, 2.2));
    g.drawEllipse(QRectF(8.3, 7.5, 2.2, 2.2));
}

// A horse's head and neck in profile.
void Horse(QPainter& g, const QColor& col) {
    Solid(g, col, col.darker(170));
    QPainterPath head;
    head.moveTo(4, 15.5);
    head.lineTo(5, 7);
    head.lineTo(8, 2.5);
    head.lineTo(9, 0.5);
    head.lineTo(10.5, 2.5);
    head.lineTo(14.5, 7);
    head.lineTo(15, 9.5);
    head.lineTo(13, 10);
    head.lineTo(10, 8.5);
    head.lineTo(10.5, 15.5);
    head.closeSubpath();
    g.drawPath(head);
    g.setPen(QPen(col.darker(200), 1.6, Qt::SolidLine, Qt::RoundCap));
    g.drawLine(QPointF(7.5, 3.5), QPointF(5, 9)); // mane
    g.setPen(Qt::NoPen);
    g.setBrush(kOutline);
    g.drawEllipse(QRectF(10, 4, 1.6, 1.6));
}

void DollarArrow(QPainter& g) {
    QFont f("DejaVu Sans");
    f.setPixelSize(14);
    f.setBold(true);
    g.setFont(f);
    const QColor red(255, 0, 0);
    g.setPen(red);
    g.drawText(QRectF(0, 1, 10, 15), Qt::AlignCenter, "$");
    Solid(g, red, red, 0);
    Poly(g, {{12.5, 1}, {16, 5.5}, {13.5, 5.5}, {13.5, 15}, {11.5, 15}, {11.5, 5.5}, {9, 5.5}});
}

struct Entry {
    int number;
    Draw draw;
};

const Entry kPictures[] = {
    {1, [](QPainter& g) { Arrow(g, true, kRedC); }},
    {2, [](QPainter& g) { Arrow(g, false, kGreenC); }},
    {3, [](QPainter& g) { Face(g, kYellowC, Mouth::Open); }},
    {4, [](QPainter& g) { Face(g, kYellowC, Mouth::Sad); }},
    {5, [](QPainter& g) { Face(g, kYellowC, Mouth::Smile); }},
    {6, [](QPainter& g) { Face(g, kPurpleC, Mouth::Frown); }},
    {7, [](QPainter& g) { Letter(g, "B", kRedC); }},
    {8, [](QPainter& g) { Letter(g, "S", kGreenC); }},
    {9, MoneyBag},
    {10, SignBoard},
    {11, [](QPainter& g) { Hand(g, true); }},
    {12, [](QPainter& g) { Hand(g, false); }},
    {13, [](QPainter& g) { Ball(g, QRectF(1, 1, 14, 14), kRedC); }},
    {14, [](QPainter& g) { Ball(g, QRectF(1, 1, 14, 14), kBlueC); }},
    {15, RunningMan},
    {16, Apple},
    {17, Orange},
    {18, ThreeBalls},
    {19, Cup},
    {20, Phone},
    {21, [](QPainter& g) { House(g, QColor(120, 170, 240), kBlueC); }},
    {22, [](QPainter& g) { House(g, QColor(245, 230, 190), kRedC); }},
    {23, RedCrossDisc},
    {24, [](QPainter& g) { Gem(g, kBlueC); }},
    {25, [](QPainter& g) { Gem(g, kPinkC); }},
    {26, [](QPainter& g) { Gem(g, kOrangeC); }},
    {27, [](QPainter& g) { Gem(g, kGreenC); }},
    {28, [](QPainter& g) { Winged(g, kBlueC); }},
    {29, [](QPainter& g) { Winged(g, kGreenC); }},
    {30, [](QPainter& g) { Winged(g, kPurpleC); }},
    {31, [](QPainter& g) { Horse(g, kGoldC); }},
    {32, [](QPainter& g) { Horse(g, kRedC); }},
    {33, [](QPainter& g) { Horse(g, kPinkC); }},
    {34, [](QPainter& g) { ChevronDisc(g, true, kYellowC); }},
    {35, [](QPainter& g) { ChevronDisc(g, false, kTealC); }},
    {36, [](QPainter& g) { Cross(g, kRedC); }},
    {37, [](QPainter& g) { Cross(g, kGreenC); }},
    {38, [](QPainter& g) { Triangle(g, true, kRedC); }},
    {39, [](QPainter& g) { Triangle(g, false, kGreenC); }},
    {40,
     [](QPainter& g) {
         Solid(g, QColor(150, 150, 150), QColor(90, 90, 90));
         g.drawRect(QRectF(2.5, 2.5, 11, 11));
     }},
    {41,
     [](QPainter& g) {
         Solid(g, kYellowC, QColor(180, 140, 0));
         g.drawEllipse(QRectF(4, 4, 8, 8));
     }},
    {100, DollarArrow},
};

QImage Paint(Draw draw) {
    QImage img(kIconSize, kIconSize, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter g(&img);
    g.setRenderHint(QPainter::Antialiasing, true);
    g.setRenderHint(QPainter::TextAntialiasing, true);
    draw(g);
    return img;
}

// The number of a name "IC<digits>", -1 for anything else.
int NumberOf(const std::string& name) {
    if (name.size() < 3 || name.size() > 5 || name[0] != 'I' || name[1] != 'C') return -1;
    int n = 0;
    for (size_t i = 2; i < name.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i]))) return -1;
        n = n * 10 + (name[i] - '0');
    }
    return name[2] == '0' ? -1 : n;
}

} // namespace

const QImage& Icon(const std::string& name) {
    static std::mutex mu;
    static std::map<int, QImage> built;
    static const QImage none;
    const int n = NumberOf(name);
    for (const auto& e : kPictures) {
        if (e.number != n) continue;
        std::lock_guard<std::mutex> lock(mu);
        auto it = built.find(n);
        if (it == built.end()) it = built.emplace(n, Paint(e.draw)).first;
        return it->second;
    }
    return none;
}

std::vector<std::string> IconNames() {
    std::vector<std::string> names;
    for (const auto& e : kPictures) names.push_back("IC" + std::to_string(e.number));
    return names;
}

} // namespace vantor
