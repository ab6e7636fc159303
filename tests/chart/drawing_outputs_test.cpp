// Pixel tests of the drawing calls' records on a small series of ten bars: which bars a
// condition picks, where texts, icons, sticks, bands and lines land, pictures from the
// program folder, and records that name missing series or far values.

#include <gtest/gtest.h>

#include <QDir>
#include <filesystem>

#include "chart/icons.h"
#include "pixels.h"
#include "temp_dir.h"
#include "test_window.h"

namespace vantor {
namespace {

// An indicator window (no K-lines) over ten bars whose prices stay between 10 and 20.
class DrawingTest : public ::testing::Test {
protected:
    TestWindow t;
    void SetUp() override {
        t.Bars({10, 12, 14, 12, 10, 12, 14, 16, 14, 12}, {20, 20, 20, 20, 20, 20, 20, 20, 20, 20},
               {10, 10, 10, 10, 10, 10, 10, 10, 10, 10}, {12, 14, 12, 10, 12, 14, 16, 14, 12, 10});
        t.Series("two", std::vector<double>(10, 2));
        t.Series("one", std::vector<double>(10, 1));
        t.Series("lo", std::vector<double>(10, 10));
        t.Series("hi", std::vector<double>(10, 20));
    }
    // Every painting also holds two invisible outputs at 10 and 20, so the value range
    // and with it the scale labels stay the same from one painting to the next.
    QImage Paint(std::vector<std::string> records, int left = 0) {
        records.insert(records.begin(), {"syline=lo::colorblack", "syline=hi::colorblack"});
        t.raw->Records() = records;
        return t.Paint(left);
    }
    // Pixels that differ from a painting of nothing else, by default below the title line.
    int Drawn(const QImage& img, int x1 = 0, int y1 = -1, int x2 = 1 << 20, int y2 = 1 << 20) {
        if (blank_.isNull()) {
            std::vector<std::string> keep = t.raw->Records();
            blank_ = Paint({});
            t.raw->Records() = keep;
        }
        int n = 0;
        for (int y = y1 < 0 ? t.Top() : y1; y < std::min(y2, img.height()); ++y)
            for (int x = std::max(x1, 0); x < std::min(x2, img.width()); ++x)
                n += img.pixel(x, y) != blank_.pixel(x, y);
        return n;
    }

private:
    QImage blank_;
};

TEST_F(DrawingTest, AConditionOfTwoHoldsForSticklineAndPloylineOnly) {
    struct Case {
        const char* record;
        bool drawnWithTwo;
    };
    const Case cases[] = {
        {"drawtext=COND,15,'up'::colorred", false},
        {"drawnumber=COND,15,7::colorred", false},
        {"drawicon=COND,15,1::", false},
        {"drawgbk=COND,255,65280,1,::", false},
        {"stickline=COND,12,18,3,0::colorred", true},
        {"ployline=COND,close::colorred", true},
    };
    for (const auto& c : cases) {
        std::string rec = c.record;
        for (const char* cond : {"one", "two"}) {
            std::string r = rec;
            r.replace(r.find("COND"), 4, cond);
            const int drawn = Drawn(Paint({r}));
            const bool expected = std::string(cond) == "one" || c.drawnWithTwo;
            EXPECT_EQ(drawn > 0, expected) << r;
        }
    }
}

TEST_F(DrawingTest, DrawTextAtTheBarsLeftEdgeCentredOnThePrice) {
    t.Series("rise", {0, 1, 0, 0, 0, 0, 0, 0, 0, 0});
    QImage img = Paint({"drawtext=rise,lo,'up'::colorred"});
    const auto m = t.Map();
    // Bar 1 starts at x = 60; the text rows surround the low's height.
    const int y = m.Y(10), L = t.frame.g.L;
    EXPECT_GT(Count(img, 60, y - L / 2, 80, y + L / 2 + 1, kRed), 0);
    EXPECT_EQ(Drawn(img, 0, 0, 60), 0); // nothing left of bar 1
    EXPECT_EQ(Count(img, 60, 0, t.W, y - L / 2, kRed), 0);
}

TEST_F(DrawingTest, DrawTextFixAtItsFractionOfThePlot) {
    const auto& g = t.frame.g;
    for (const char* cond : {"1", "one"}) {
        QImage img = Paint({std::string("drawtext_fix=") + cond + ",0.5,0.5,1,'mid'::colorred"});
        const int px = (g.X2 - g.Lm) / 2 + g.Lm, py = g.P / 2 + g.T;
        EXPECT_GT(Count(img, px - 40, py - g.L, px, py + g.L, kRed), 0) << cond;
        EXPECT_EQ(Count(img, px + 1, 0, t.W, t.H, kRed), 0) << cond; // right-aligned at px
        EXPECT_EQ(Drawn(img, 0, py + g.L), 0) << cond;
    }
    // Drawn once, for the first bar where the condition holds: with two holding bars the
    // text is not drawn twice over itself at another place.
    t.Series("late", {0, 0, 0, 0, 0, 0, 0, 0, 1, 1});
    QImage a = Paint({"drawtext_fix=late,0.1,0.2,0,'x'::colorred"});
    QImage b = Paint({"drawtext_fix=1,0.1,0.2,0,'x'::colorred"});
    EXPECT_EQ(a, b);
    EXPECT_EQ(Drawn(Paint({"drawtext_fix=0,0.1,0.2,0,'x'::colorred"})), 0);
}

TEST_F(DrawingTest, SticklineWidthsAndDottedOutline) {
    // Bars are 8 pixels wide (pitch 10): WIDTH 3 gives half = 4, a box cx-4 .. cx+3;
    // WIDTH 6 doubles it.
    t.Series("rise", {0, 0, 0, 1, 0, 0, 0, 0, 0, 0});
    struct Case {
        const char* record;
        int left, right; // covered columns relative to cx, inclusive
    };
    for (const Case& c : {Case{"stickline=rise,12,18,3,0::colorred", -4, 3},
                          Case{"stickline=rise,12,18,6,0::colorred", -8, 7},
                          Case{"stickline=rise,12,18,0,0::colorred", 0, 0}}) {
        QImage img = Paint({c.record});
        const auto m = t.Map();
        const int cx = m.CX(3), y = m.Y(15);
        for (int dx = c.left - 1; dx <= c.right + 1; ++dx) {
            const bool inside = dx >= c.left && dx <= c.right;
            EXPECT_EQ(At(img, cx + dx, y) == kRed, inside) << c.record << " dx " << dx;
        }
        EXPECT_EQ(At(img, cx, m.Y(19)), kBlack) << c.record; // not above PRICE2
    }
    // EMPTY -1: a hollow box whose outline is dotted.
    QImage img = Paint({"stickline=rise,12,18,3,-1::colorred"});
    const auto m = t.Map();
    const int cx = m.CX(3), top = m.Y(18), bottom = m.Y(12);
    int on = 0, off = 0;
    for (int y = top + 1; y < bottom - 1; ++y) (At(img, cx - 4, y) == kRed ? on : off)++;
    EXPECT_GT(on, 3);
    EXPECT_GT(off, 3);
    EXPECT_EQ(At(img, cx, (top + bottom) / 2 + 1), kBlack);
}

TEST_F(DrawingTest, DrawbandFillsEachSideInItsColour) {
    // a is above b on bars 0..4 and below on 5..9: red (255) over, blue ($FF0000) under.
    t.Series("a", {17, 17, 17, 17, 17, 13, 13, 13, 13, 13});
    t.Series("b", {13, 13, 13, 13, 13, 17, 17, 17, 17, 17});
    QImage img = Paint({"drawband=a,255,b,16711680::"});
    const auto m = t.Map();
    const int y = m.Y(15) + 2;
    EXPECT_EQ(At(img, m.CX(2), y), kRed);
    EXPECT_EQ(At(img, m.CX(7), y), kBlue);
    EXPECT_EQ(At(img, m.CX(2), m.Y(18.5)), kBlack); // outside the band
    EXPECT_EQ(Drawn(img, 0, -1, m.X(0)), 0);
}

TEST_F(DrawingTest, DrawRectRelFrameAndLine) {
    const auto& g = t.frame.g;
    QImage img = Paint({"drawrectrel=0,0,1000,1000,0::"});
    const int midY = g.T + g.P / 2 + 3, midX = (g.Lm + g.X2) / 2 + 3;
    EXPECT_EQ(At(img, g.Lm, midY), kWhite);
    EXPECT_EQ(At(img, g.X2 - 1, midY), kWhite);
    EXPECT_EQ(At(img, midX, g.T + 1), kWhite);
    EXPECT_EQ(At(img, midX, midY), kBlack); // an outline: clear inside
    img = Paint({"drawrectrel=100,500,900,500,255::"});
    const int y = g.T + g.P / 2 + 1;
    EXPECT_EQ(At(img, midX, y), kRed);
    EXPECT_EQ(Drawn(img, 0, y + 1) + Drawn(img, 0, -1, t.W, y), 0);
}

TEST_F(DrawingTest, DrawIconStandsOnThePriceCentredOnTheBar) {
    t.Series("at4", {0, 0, 0, 0, 1, 0, 0, 0, 0, 0});
    QImage img = Paint({"drawicon=at4,15,41::"});
    const auto m = t.Map();
    const int cx = m.CX(4), y = m.Y(15);
    EXPECT_GT(Drawn(img, cx - 7, y - 16, cx + 9, y), 20);
    EXPECT_EQ(Drawn(img), Drawn(img, cx - 7, y - 16, cx + 9, y));
    EXPECT_EQ(Drawn(Paint({"drawicon=at4,15,42::"})), 0); // no such icon
}

TEST_F(DrawingTest, StickbarAndPartlineColourEachStep) {
    QImage img = Paint({"stickbar=close,open,colorred,colorgreen::"});
    const auto m = t.Map();
    EXPECT_EQ(At(img, m.CX(0), m.Y(11)), kRed);  // close 12 over open 10
    EXPECT_EQ(At(img, m.CX(2), m.Y(13)), kLime); // close 12 under open 14
    // partline: rising steps in the first colour, falling in the second.
    img = Paint({"partline=close,colorred,colorgreen::colorblue"});
    const auto n = t.Map();
    auto near = [&](int x, double v, TColor c) {
        return Count(img, x - 1, n.Y(v) - 2, x + 2, n.Y(v) + 3, c);
    };
    EXPECT_GT(near((n.CX(0) + n.CX(1)) / 2, 13, kRed), 0);
    EXPECT_EQ(near((n.CX(0) + n.CX(1)) / 2, 13, kLime), 0);
    EXPECT_GT(near((n.CX(2) + n.CX(3)) / 2, 11, kLime), 0);
    EXPECT_EQ(Count(img, 0, 0, t.W, t.Top(), kBlue), 0); // no readout in the title
}

TEST_F(DrawingTest, PloylineEntersFromTheLeftWithoutReadout) {
    t.Series("ends", {1, 0, 0, 0, 0, 0, 0, 0, 0, 1});
    QImage img = Paint({"ployline=ends,close::colorred"}, 3);
    // Bar 0 lies left of the plot; the segment to bar 9 comes in at its left edge.
    EXPECT_GT(Count(img, t.frame.g.Lm + 1, t.Top(), t.frame.g.Lm + 6, t.H, kRed), 0);
    EXPECT_EQ(Drawn(img, 0, -1, t.frame.g.Lm), 0); // clipped at the plot
    EXPECT_EQ(Drawn(img, 60, 0, t.W, t.Top()), 0); // no readout in the title
}

TEST_F(DrawingTest, DrawNumberFixReportsAnUnusableArgument) {
    Paint({"drawnumber_fix=nosuch,0.5,0.5,0,close::"});
    EXPECT_EQ(t.raw->ErrorString(), "DRAWNUMBER_FIX(COND,X,Y,TYPE,NUMBER)中COND错误!");
    Paint({"drawnumber_fix=1,0.5,0.5,0,nosuch::"});
    EXPECT_EQ(t.raw->ErrorString(), "DRAWNUMBER_FIX(COND,X,Y,TYPE,NUMBER)中NUMBER错误!");
    t.raw->ErrorString().clear();
    EXPECT_GT(Drawn(Paint({"drawnumber_fix=1,0.5,0.5,0,close::colorred"})), 0);
    EXPECT_TRUE(t.raw->ErrorString().empty());
}

TEST_F(DrawingTest, PicturesFromTheProgramFolderWhateverTheirCase) {
    test::TempDir home;
    std::filesystem::create_directories(home.file("Signals"));
    QImage pic = MakeImage(6, 6, kRed);
    ASSERT_TRUE(pic.save(QString::fromStdString(home.file("Signals/UP.BMP")), "BMP"));
    ASSERT_TRUE(pic.save(QString::fromStdString(home.file("Ground.bmp")), "BMP"));
    t.w.ProgramDir = home.path();
    t.Series("at4", {0, 0, 0, 0, 1, 0, 0, 0, 0, 0});
    QImage img = Paint({"drawbmp=at4,15,'up'::"});
    const auto m = t.Map();
    EXPECT_EQ(Count(img, m.X(4), m.Y(15), m.X(4) + 6, m.Y(15) + 6, kRed), 36);
    img = Paint({"drawgbk=at4,0,0,0,'ground'::"});
    EXPECT_EQ(Count(img, t.frame.g.Lm, t.Top(), t.frame.g.Lm + 6, t.Top() + 6, kRed), 36);
    // Missing pictures, or names that leave the folder, draw nothing.
    for (const char* r :
         {"drawbmp=at4,15,'down'::", "drawgbk=at4,0,0,0,'none'::", "drawbmp=at4,15,'../ground'::"})
        EXPECT_EQ(Drawn(Paint({r})), 0) << r;
}

TEST_F(DrawingTest, MissingSeriesAndFarValuesDrawNothingOrClipped) {
    t.Series("bad", std::vector<double>(10, kInvalidValue));
    t.Series("short", {0});
    for (const char* r :
         {"drawtext=nosuch,15,'x'::", "drawtext=one,nosuch,'x'::", "drawtext=one,bad,'x'::",
          "drawicon=one,bad,1::", "drawnumber=one,15,bad::", "stickline=bad,12,18,3,0::",
          "stickbar=nosuch,close,colorred,colorred::", "partline=bad,colorred,colorred::",
          "ployline=one,bad::", "drawband=bad,255,lo,255::", "drawband=nosuch,255,lo,255::",
          "drawtext_fix=1,1e12,-1e12,0,'x'::", "drawrectrel=-1e12,-1e12,-1e12,-1e12,255::",
          "drawtext=short,hi,'x'::"})
        EXPECT_EQ(Drawn(Paint({r})), 0) << r;
    // Far values are drawn clipped to the window: a box reaching far off still fills the
    // plot's part of it.
    QImage img = Paint({"stickline=one,-1e12,1e12,3,0::colorred", "syline=lo::", "syline=hi::"});
    EXPECT_GT(Count(img, 0, t.Top() + 1, t.W, t.H - 1, kRed), 100);
    img = Paint({"drawrectrel=-100000,-100000,100000,100000,255::"});
    EXPECT_EQ(At(img, t.W / 2, t.H / 2), kRed);
}

TEST(Icons, EveryIconIsSixteenSquareOnATransparentGround) {
    const auto names = IconNames();
    EXPECT_EQ(names.front(), "IC1");
    EXPECT_EQ(names.back(), "IC100");
    for (const auto& n : names) {
        const QImage& icon = Icon(n);
        ASSERT_EQ(icon.size(), QSize(kIconSize, kIconSize)) << n;
        int clear = 0;
        for (int y = 0; y < kIconSize; ++y)
            for (int x = 0; x < kIconSize; ++x) clear += qAlpha(icon.pixel(x, y)) == 0;
        EXPECT_GT(clear, 0) << n;        // a transparent ground
        EXPECT_GT(256 - clear, 40) << n; // and a picture on it
        EXPECT_EQ(&Icon(n), &icon) << n; // built once
    }
    for (const char* bad : {"IC0", "IC42", "ic1", "IC", "IC01", "X1"})
        EXPECT_TRUE(Icon(bad).isNull()) << bad;
    // IC1 is a red arrow up, IC2 a green one down.
    const QImage& up = Icon("IC1");
    EXPECT_GT(qRed(up.pixel(8, 10)), 150);
    EXPECT_EQ(qAlpha(up.pixel(1, 14)), 0);
    const QImage& down = Icon("IC2");
    EXPECT_GT(qGreen(down.pixel(8, 5)), 120);
    EXPECT_EQ(qAlpha(down.pixel(1, 1)), 0);
}

} // namespace
} // namespace vantor
