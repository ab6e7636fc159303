#include <gtest/gtest.h>

#include <climits>

#include "chart/scale.h"

namespace vantor {
namespace {

TEST(ScaleFormat, DigitsThatFitFiftyPixels) {
    struct Case {
        double max;
        int digitWidth;
        int width, decimals;
        double divisor;
        const char* badge;
    } cases[] = {
        {123456.7, 7, 6, 0, 1, ""}, {98765432, 7, 6, 0, 100, "×100"}, {1.2345, 7, 1, 3, 1, ""},
        {3859.0, 7, 4, 2, 1, ""},   {2e9, 7, 6, 0, 10000, "×1万"},    {1e14, 7, 8, 2, 1, ""},
        {100, 0, 3, 3, 1, ""}, // a zero digit width never divides
    };
    for (const auto& c : cases) {
        ScaleFormat f = MakeScaleFormat(c.max, c.digitWidth);
        EXPECT_EQ(f.width, c.width) << c.max;
        EXPECT_EQ(f.decimals, c.decimals) << c.max;
        EXPECT_EQ(f.divisor, c.divisor) << c.max;
        EXPECT_EQ(DivisorBadge(f.divisor), c.badge) << c.max;
    }
    EXPECT_EQ(DivisorBadge(20000), "×2万");
    EXPECT_EQ(MakeScaleFormat(1.2345, 7).Format(1.2345), "1.234");
}

TEST(ScaleGeometry, MarginsFromTheSideFlags) {
    WindowGeometry g = ComputeGeometry(600, 190, 15, false, false, false, false, false);
    EXPECT_EQ(g.L, 17);
    EXPECT_EQ(g.T, 8);
    EXPECT_EQ(g.B, 8);
    EXPECT_EQ(g.Lm, 0);
    EXPECT_EQ(g.X2, 600);
    WindowGeometry t = ComputeGeometry(600, 190, 15, true, true, true, true, false);
    EXPECT_EQ(t.T, 17 / 3 + 17);
    EXPECT_EQ(t.B, 8 + 18);
    EXPECT_EQ(t.X2, 550);
    EXPECT_EQ(t.P, 190 - t.T - t.B);
    WindowGeometry k = ComputeGeometry(600, 100, 15, false, false, true, true, true);
    EXPECT_EQ(k.T, 0);
    EXPECT_EQ(k.B, 2);
}

TEST(ValueMap, PixelsSaturateInsteadOfOverflowing) {
    ValueMap m;
    m.H = 200;
    m.B = 10;
    m.SetRange(0, 100, 180);
    EXPECT_EQ(m.Y(0), 190);
    EXPECT_EQ(m.Y(100), 10);
    EXPECT_LT(m.Y(1e300), -1000);
    EXPECT_GT(m.Y(-1e300), 1000);
    EXPECT_GT(m.Y(-1e300), 0); // no wrap-around
    m.SetRange(5, 5, 180);     // an empty range: no division by zero
    EXPECT_EQ(m.K, 0);
    EXPECT_EQ(m.Y(5), 190);
    m.scale = 1e9;
    m.Lm = 50;
    EXPECT_GT(m.X(INT_MAX / 2), 0);
    EXPECT_EQ(BarWidth(5), 4);
    EXPECT_EQ(BarWidth(10), 8);
    EXPECT_EQ(BarWidth(2), 2);
}

} // namespace
} // namespace vantor
