#include <gtest/gtest.h>

#include "chart/layout.h"

namespace vantor {
namespace {

TEST(DefaultDivision, MainWindowTwiceAsHighAndBottomTakesRemainder) {
    struct Case {
        int n, avail;
        std::vector<int> want;
    } cases[] = {
        {3, 382, {190, 95, 97}}, // a 600x400 control with the tab strip
        {1, 382, {382}},         {2, 100, {66, 34}}, {5, 10, {2, 1, 1, 1, 5}},
        {3, -30, {0, 0, 0}}, // a control lower than the tab strip: no negative heights
    };
    for (const auto& c : cases) {
        WindowHeights h{};
        DefaultDivision(h, c.n, c.avail);
        for (int i = 0; i < c.n; ++i)
            EXPECT_EQ(h[i], c.want[i]) << "n=" << c.n << " avail=" << c.avail;
    }
}

TEST(ProportionalRedivision, KeepsRatioAndFallsBackToDefault) {
    WindowHeights h{200, 100, 100};
    ProportionalRedivision(h, 3, 400, 800);
    EXPECT_EQ(h[0], 400);
    EXPECT_EQ(h[1], 200);
    EXPECT_EQ(h[2], 200);
    // Rounding loses less than a default share: the last window takes the shortfall.
    WindowHeights r{190, 95, 97};
    ProportionalRedivision(r, 3, 382, 383);
    EXPECT_EQ(r[0] + r[1] + r[2], 383);
    EXPECT_EQ(r[0], 190);
    // Heights that no longer add up (lost share) return to the 2:1:1 division.
    WindowHeights z{0, 0, 0};
    ProportionalRedivision(z, 3, 382, 400);
    EXPECT_EQ(z[0], 200);
    EXPECT_EQ(z[2], 100);
    // No old height: default division, never a division by zero.
    WindowHeights q{10, 10, 10};
    ProportionalRedivision(q, 3, 0, 400);
    EXPECT_EQ(q[0], 200);
}

TEST(TabStrip, TabsThatAreNotDrawnCannotBeClicked) {
    TabStrip s = LayoutTabs({20, 20, 20, 20}, 80);
    ASSERT_EQ(s.x.size(), 2u); // the third tab would need 58 + 20 + 29 > 80 pixels
    EXPECT_EQ(s.x[1], 29);
    EXPECT_EQ(s.fillFrom, 58);
    EXPECT_EQ(TabAt(s, 0), 0);
    EXPECT_EQ(TabAt(s, 30), 1);
    EXPECT_EQ(TabAt(s, 60), -1); // the green filler
    EXPECT_EQ(TabAt(s, 79), -1);
}

TEST(HitTest, RegionsOfBarAndTickViews) {
    HitLayout bar;
    bar.width = 600;
    bar.height = 400;
    bar.showBoard = false;
    bar.windows = 3;
    bar.gsh = {190, 95, 97};
    HitLayout board = bar;
    board.showBoard = true;
    board.jHeight = 200;
    HitLayout one = bar;
    one.windows = 1;
    one.gsh = {382};
    HitLayout tick = bar;
    tick.tickView = true;
    tick.fsh = 266;
    tick.fsRightScale = true;
    struct Case {
        const HitLayout* lay;
        int x, y;
        TWeiStyle want;
        int window;
    } cases[] = {
        {&bar, 100, 100, TWeiStyle::wsGS1, 0},     {&bar, 100, 250, TWeiStyle::wsGS2, 1},
        {&bar, 100, 300, TWeiStyle::wsGS3, 2},     {&bar, 100, 190, TWeiStyle::wsKSize, -1},
        {&bar, 100, 189, TWeiStyle::wsKSize, -1},  {&bar, 100, 385, TWeiStyle::wsTab, -1},
        {&one, 100, 385, TWeiStyle::wsTab, -1},    {&one, 100, 10, TWeiStyle::wsGS1, 0},
        {&board, 450, 100, TWeiStyle::wsInfo, -1}, {&board, 450, 300, TWeiStyle::wsFenJia, -1},
        {&board, 450, 395, TWeiStyle::wsBTab, -1}, {&board, 399, 100, TWeiStyle::wsBSize, -1},
        {&board, 100, 100, TWeiStyle::wsGS1, 0},   {&tick, 100, 100, TWeiStyle::wsFS, -1},
        {&tick, 100, 300, TWeiStyle::wsVol, -1},   {&tick, 100, 266, TWeiStyle::wsFSize, -1},
        {&tick, 580, 100, TWeiStyle::wsNone, -1}, // the right scale of the tick view
    };
    for (const auto& c : cases) {
        HitResult r = HitTest(*c.lay, c.x, c.y);
        EXPECT_EQ(r.region, c.want) << c.x << "," << c.y;
        EXPECT_EQ(r.window, c.window) << c.x << "," << c.y;
    }
}

TEST(VisibleRange, RulesThatKeepBarWidthAndFirstBarValid) {
    // A plot 300 pixels wide at bar width 5 shows 60 bars.
    VisibleRange r;
    r.oldWidth = 300;
    EXPECT_EQ(SettleVisibleRange(r, 300, 0, 1000), 60);
    EXPECT_EQ(r.leftBar, 0);
    r.oldLeftBar = r.leftBar;
    // Zooming to width 8 keeps the right-edge bar.
    r.scale = 8;
    EXPECT_EQ(SettleVisibleRange(r, 300, 0, 1000), 37);
    EXPECT_EQ(r.leftBar, 23);
    // At width 80 only 3 bars fit: the width is halved.
    VisibleRange z;
    z.oldWidth = 300;
    z.scale = z.oldScale = 80;
    EXPECT_EQ(SettleVisibleRange(z, 300, 0, 1000), 7);
    EXPECT_EQ(z.scale, 40);
    // Widening by 100 pixels moves the first bar 20 bars left, not below 0.
    VisibleRange w;
    w.oldWidth = 300;
    w.leftBar = w.oldLeftBar = 100;
    SettleVisibleRange(w, 400, 0, 1000);
    EXPECT_EQ(w.leftBar, 80);
    VisibleRange w0;
    w0.oldWidth = 300;
    w0.leftBar = w0.oldLeftBar = 10;
    SettleVisibleRange(w0, 400, 0, 1000);
    EXPECT_EQ(w0.leftBar, 0);
    // 30 bars in a plot that holds 60; a first bar past the end snaps back.
    VisibleRange s;
    s.oldWidth = 300;
    s.leftBar = 501;
    SettleVisibleRange(s, 300, 0, 30);
    EXPECT_EQ(s.leftBar, 0);
    VisibleRange e;
    e.oldWidth = 350;
    e.leftBar = 501;
    SettleVisibleRange(e, 350, 50, 500);
    EXPECT_EQ(e.leftBar, 440);
    // A plot narrower than one bar: width 1, no division by zero.
    VisibleRange tiny;
    tiny.oldWidth = 0;
    tiny.scale = tiny.oldScale = 1;
    EXPECT_EQ(SettleVisibleRange(tiny, 0, 100, 10), 0);
    EXPECT_EQ(tiny.leftBar, 0);
}

} // namespace
} // namespace vantor
