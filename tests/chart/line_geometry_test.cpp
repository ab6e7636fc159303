// Geometry of the drawing objects on fixed points: what each kind draws, its degenerate
// cases, the hit geometry and the selection and moves by body and control squares.

#include <gtest/gtest.h>

#include <algorithm>

#include "chart/objects/line_geometry.h"

namespace vantor {
namespace {

// A 400 x 300 window whose plot spans columns 50..350 and rows 20..280, values 200 (top)
// to 100 (bottom) at a bar pitch of 5.
ObjectView View() {
    ObjectView v;
    v.width = 400;
    v.height = 300;
    v.L = 50;
    v.T = 20;
    v.R = 350;
    v.B = 280;
    v.scale = 5;
    v.maxValue = 200;
    v.minValue = 100;
    v.textHeight = 12;
    return v;
}

using Pts = std::array<QPoint, 3>;
const Pts kRising{QPoint(100, 200), QPoint(200, 100), QPoint(150, 250)};

struct L {
    int ax, ay, bx, by;
    bool dotted = false;
};

struct Case {
    const char* name;
    int kind;
    Pts p;
    int lines;                       // lines drawn in all
    std::vector<L> has;              // among them
    std::vector<std::string> labels; // labels shown (the angle readout included)
};

bool HasLine(const ObjectShape& s, const L& l) {
    return std::any_of(s.lines.begin(), s.lines.end(), [&](const ShapeLine& x) {
        return x.a == QPoint(l.ax, l.ay) && x.b == QPoint(l.bx, l.by) && x.dotted == l.dotted;
    });
}

bool HasLabel(const ObjectShape& s, const std::string& t) {
    return std::any_of(s.labels.begin(), s.labels.end(),
                       [&](const ShapeLabel& x) { return x.text == t; });
}

TEST(LineGeometry, EveryKindOnFixedPoints) {
    const Pts vertical{QPoint(100, 200), QPoint(100, 100), QPoint(150, 250)};
    const Pts speed{QPoint(100, 200), QPoint(200, 110), QPoint()};
    const Case cases[] = {
        {"segment", kSegment, kRising, 1, {{100, 200, 200, 100}}, {"-45.00°"}},
        {"arrow",
         kArrow,
         kRising,
         3,
         {{100, 200, 200, 100}, {200, 100, 197, 108}, {200, 100, 192, 103}},
         {"-45.00°"}},
        {"ray to the top border", kRay, kRising, 1, {{100, 200, 280, 20}}, {}},
        {"vertical ray", kRay, vertical, 1, {{100, 200, 100, 20}}, {"-90.00°"}},
        {"channel", kChannel, kRising, 2, {{280, 20, 50, 250}, {350, 50, 120, 280}}, {}},
        {"equidistant channel",
         kEquidistantChannel,
         kRising,
         3,
         {{280, 20, 50, 250}, {350, 50, 120, 280}, {180, 20, 50, 150}},
         {}},
        {"channel on a vertical base",
         kEquidistantChannel,
         vertical,
         3,
         {{100, 20, 100, 280}, {150, 20, 150, 280}, {50, 20, 50, 280}},
         {}},
        {"channel on a flat base",
         kChannel,
         {QPoint(100, 200), QPoint(200, 200), QPoint(150, 100)},
         0,
         {},
         {}},
        {"percentage bands",
         kPercentBands,
         kRising,
         3,
         {{50, 100, 350, 100}, {50, 185, 350, 185, true}},
         {"  Base 169.231", " 80.9% 136.908", " 61.8% 104.585"}},
        {"golden projection",
         kGoldenProjection,
         kRising,
         9,
         {{100, 200, 200, 100}, {200, 100, 150, 250}, {50, 250, 350, 250}},
         {"  Base 111.538", "100.0% 150.000"}},
        {"golden levels",
         kGoldenLevels,
         kRising,
         9,
         {{50, 200, 350, 200}, {50, 100, 350, 100}},
         {"  Base 130.769", "100.0% 169.231", " 50.0% 150.000", "161.8% 193.000"}},
        {"quarter levels", kQuarterLevels, kRising, 5, {}, {" 33.3% 143.577"}},
        {"eighth levels", kEighthLevels, kRising, 9, {}, {" 12.5% 135.577", " 87.5% 164.423"}},
        {"angle only", kAngle, kRising, 0, {}, {"-45.00°"}},
        {"segment with verticals",
         kSpanLines,
         kRising,
         3,
         {{100, 200, 200, 100}, {100, 20, 100, 280}, {200, 20, 200, 280}},
         {}},
        {"time intervals",
         kTimeIntervals,
         kRising,
         3,
         {{101, 20, 101, 280}, {201, 20, 201, 280}, {301, 20, 301, 280}},
         {"0", "1", "2", "间隔20"}},
        {"Fibonacci zones",
         kFibonacciZones,
         kRising,
         8,
         {{201, 20, 201, 280}, {206, 20, 206, 280}, {301, 20, 301, 280}},
         {"1", "13", "21"}},
        {"cycle lines",
         kCycleLines,
         kRising,
         10,
         {{201, 20, 201, 280}, {206, 20, 206, 280}, {326, 20, 326, 280}},
         {"1", "5", "32"}},
        {"speed lines",
         kSpeedLines,
         speed,
         3,
         {{100, 200, 350, 125, true}, {100, 200, 350, 50, true}, {100, 200, 300, 20}},
         {"3:1", "3:2"}},
        {"Gann fan",
         kGannFan,
         kRising,
         11,
         {{100, 200, 100, 20},
          {100, 200, 350, 200},
          {100, 200, 280, 20},
          {100, 200, 350, 75, true},
          {100, 200, 190, 20, true}},
         {"2:1", "8:1"}},
        {"rectangle",
         kRectangle,
         kRising,
         4,
         {{100, 200, 200, 200}, {200, 200, 200, 100}, {200, 100, 100, 100}, {100, 100, 100, 200}},
         {}},
        {"horizontal line", kHorizontalLine, kRising, 1, {{0, 200, 400, 200}}, {"130.769"}},
        {"vertical line", kVerticalLine, kRising, 1, {{100, 20, 100, 280}}, {}},
        {"speed lines drawn right to left",
         kSpeedLines,
         {kRising[1], kRising[0], QPoint()},
         0,
         {},
         {}},
        {"Gann fan drawn right to left", kGannFan, {kRising[1], kRising[0], QPoint()}, 0, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ObjectShape s = ShapeOf(c.kind, c.p, View());
        EXPECT_EQ(static_cast<int>(s.lines.size()), c.lines);
        for (const L& l : c.has)
            EXPECT_TRUE(HasLine(s, l)) << l.ax << "," << l.ay << " " << l.bx << "," << l.by;
        for (const auto& t : c.labels) EXPECT_TRUE(HasLabel(s, t)) << t;
    }
}

TEST(LineGeometry, ArcPicturesAndText) {
    // p1 above and right of p0: centre straight above p0, from p0 through p1 to the top.
    const ObjectShape arc = ShapeOf(kArc, kRising, View());
    ASSERT_FALSE(arc.lines.empty());
    EXPECT_EQ(arc.lines.front().a, QPoint(100, 200));
    EXPECT_EQ(arc.lines.back().b, QPoint(100, 0));
    EXPECT_EQ(arc.lines[arc.lines.size() / 2].a, QPoint(200, 100));
    // p1 below and left: centre below p0, through the left extreme to the bottom.
    const ObjectShape down = ShapeOf(kArc, {QPoint(200, 100), QPoint(150, 150), QPoint()}, View());
    EXPECT_EQ(down.lines.back().b, QPoint(200, 200));
    EXPECT_EQ(down.lines[down.lines.size() / 2].a, QPoint(150, 150));

    const ObjectShape mark = ShapeOf(kMarkDown, kRising, View());
    EXPECT_EQ(mark.picture, kMarkDown);
    EXPECT_EQ(mark.pictureAt, QPoint(92, 200));
    const ObjectShape text = ShapeOf(kText, kRising, View());
    EXPECT_TRUE(text.textBox);
    EXPECT_EQ(text.textRect.Left, 0);
    EXPECT_EQ(text.textRect.Bottom, 300);
}

// Identical points, a zero-height box and anchors a million pixels away: every kind draws
// only inside the window, and no part divides by zero.
TEST(LineGeometry, DegeneratePointsStayInsideTheWindow) {
    const Pts degenerate[] = {
        {QPoint(100, 200), QPoint(100, 200), QPoint(100, 200)},
        {QPoint(100, 200), QPoint(300, 200), QPoint(200, 200)},
        {QPoint(-1000000, 200), QPoint(1000000, 100), QPoint(-1000000, -1000000)},
        {QPoint(1000000, -1000000), QPoint(-1000000, 1000000), QPoint(5, 1000000)},
        {QPoint(-1000000, 150), QPoint(-999990, 150), QPoint(0, 0)},
    };
    const int kinds[] = {1,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13,
                         15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 29, 30};
    for (const Pts& p : degenerate)
        for (int kind : kinds) {
            SCOPED_TRACE(kind);
            const ObjectShape s = ShapeOf(kind, p, View());
            for (const ShapeLine& l : s.lines)
                for (QPoint q : {l.a, l.b}) {
                    EXPECT_GE(q.x(), -1);
                    EXPECT_LE(q.x(), 400);
                    EXPECT_GE(q.y(), -1);
                    EXPECT_LE(q.y(), 300);
                }
            for (const ShapeLabel& t : s.labels) EXPECT_EQ(t.text.find("nan"), std::string::npos);
        }
    // Identical points: no arrowhead, no ray, no arc.
    for (int kind : {kArrow, kRay, kArc}) {
        const ObjectShape s = ShapeOf(kind, degenerate[0], View());
        EXPECT_LE(s.lines.size(), kind == kArrow ? 1u : 0u) << kind;
    }
}

TEST(LineGeometry, HitGeometryOfEachPointCount) {
    XXLine seg;
    seg.FType = kSegment;
    seg.FPointCount = 2;
    SetHitGeometry(seg, kRising, View(), QPoint(0, 40)); // window 40 rows down the control
    const int sq[8][2] = {{100, 240}, {150, 240}, {200, 240}, {200, 190},
                          {200, 140}, {150, 140}, {100, 140}, {100, 190}};
    for (int j = 0; j < 8; ++j) {
        EXPECT_EQ(seg.Frec[static_cast<size_t>(j)].Left, sq[j][0] - 5) << j;
        EXPECT_EQ(seg.Frec[static_cast<size_t>(j)].Top, sq[j][1] - 5) << j;
    }
    EXPECT_EQ(seg.FBody.Left, 100);
    EXPECT_EQ(seg.FBody.Top, 140);
    EXPECT_EQ(seg.FBody.Right, 200);
    EXPECT_EQ(seg.FBody.Bottom, 240);

    struct OnePoint {
        int kind, frec0Left, bodyLeft, bodyRight;
    };
    for (const OnePoint& c :
         {OnePoint{kHorizontalLine, 250, 0, 8000}, OnePoint{kVerticalLine, 50, 95, 105},
          OnePoint{kMarkUp, 95, 90, 110}, OnePoint{kText, 75, 0, 200}}) {
        XXLine o;
        o.FType = c.kind;
        o.FPointCount = 1;
        SetHitGeometry(o, kRising, View());
        EXPECT_EQ(o.Frec[0].Left, c.frec0Left) << c.kind;
        EXPECT_EQ(o.FBody.Left, c.bodyLeft) << c.kind;
        EXPECT_EQ(o.FBody.Right, c.bodyRight) << c.kind;
        EXPECT_EQ(o.Frec[1].Right, 0) << c.kind; // unused squares stay empty
    }

    XXLine ch;
    ch.FType = kChannel;
    ch.FPointCount = 3;
    SetHitGeometry(ch, kRising, View());
    EXPECT_EQ(ch.Frec[4].Left, 145);
    EXPECT_EQ(ch.Frec[4].Top, 245);
    EXPECT_EQ(ch.Frec[1].Right, 0);
    EXPECT_EQ(ch.FBody.Bottom, 250);
}

XXLine Placed(int kind, std::array<QPoint, 3> p) {
    XXLine o;
    o.FType = kind;
    o.FPointCount = PointCountOf(kind);
    o.FXX = {10, 20, 30};
    o.FYY = {150, 160, 170};
    SetHitGeometry(o, p, View());
    return o;
}

TEST(LineGeometry, PressSelectsByBodyAndSquaresLastSquareWins) {
    std::vector<XXLine> list{Placed(kSegment, kRising),
                             Placed(kSegment, {QPoint(300, 100), QPoint(304, 100), QPoint()}),
                             Placed(kPositionLine, kRising)};
    list[2].FBody = {0, 198, 400, 203}; // a position line across the window at row 200
    // Inside the first segment's body only.
    EXPECT_EQ(SelectAt(list, 150, 150), Grab::Body);
    EXPECT_TRUE(list[0].Bedit);
    EXPECT_EQ(list[0].nCtrPt, 8);
    EXPECT_FALSE(list[1].Bedit);
    // All eight squares of the tiny segment hold (303, 100): the last one wins.
    EXPECT_EQ(SelectAt(list, 303, 100), Grab::Square);
    EXPECT_FALSE(list[0].Bedit); // deselected
    EXPECT_TRUE(list[1].Bedit);
    EXPECT_EQ(list[1].nCtrPt, 7);
    // A press on the position line starts a move but never selects it.
    EXPECT_EQ(SelectAt(list, 380, 200), Grab::Body);
    EXPECT_FALSE(list[2].Bedit);
    EXPECT_EQ(list[2].nCtrPt, 8);
    // Nothing under the press: all deselected.
    EXPECT_EQ(SelectAt(list, 10, 10), Grab::None);
    for (const XXLine& o : list) EXPECT_FALSE(o.Bedit);
}

TEST(LineGeometry, MovesByBodyAndBySquare) {
    struct Move {
        int square;
        std::array<int, 3> fxx;
        std::array<float, 3> fyy;
    };
    // dx 10 pixels = 2 bars at scale 5; dy 26 pixels up = 10 over 260 rows for 100.
    const Move moves[] = {
        {0, {12, 20, 30}, {160, 160, 170}}, {1, {10, 20, 30}, {160, 160, 170}},
        {2, {10, 22, 32}, {160, 160, 170}}, {3, {10, 22, 32}, {150, 160, 170}},
        {4, {10, 22, 32}, {150, 170, 180}}, {5, {10, 20, 30}, {150, 170, 180}},
        {6, {12, 20, 30}, {150, 170, 180}}, {7, {12, 20, 30}, {150, 160, 170}},
    };
    for (const Move& m : moves) {
        std::vector<XXLine> list{Placed(kSegment, kRising)};
        list[0].Bedit = true;
        list[0].nCtrPt = m.square;
        list[0].oldfxx = list[0].FXX;
        list[0].oldfyy = list[0].FYY;
        MoveSelected(list, Grab::Square, 10, 26, 5, 5, 100, 260);
        EXPECT_EQ(list[0].FXX, m.fxx) << m.square;
        for (size_t k = 0; k < 3; ++k) EXPECT_NEAR(list[0].FYY[k], m.fyy[k], 1e-4) << m.square;
    }
    // By the body every point moves; the value by dy over the height less 12.
    std::vector<XXLine> list{Placed(kChannel, kRising), Placed(kSegment, kRising)};
    for (auto& o : list) {
        o.oldfxx = o.FXX;
        o.oldfyy = o.FYY;
    }
    list[0].Bedit = true;
    MoveSelected(list, Grab::Body, -10, 124, 5, 5, 100, 136);
    EXPECT_EQ(list[0].FXX, (std::array<int, 3>{8, 18, 28}));
    EXPECT_NEAR(list[0].FYY[2], 270, 1e-3);
    EXPECT_EQ(list[1].FXX[0], 10); // not selected: stays
    // A plot of no height moves no value.
    MoveSelected(list, Grab::Square, 0, 50, 5, 5, 100, 0);
    EXPECT_NEAR(list[0].FYY[2], 270, 1e-3);
}

} // namespace
} // namespace vantor
