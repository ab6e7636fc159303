// Scale labels, readouts and markers that must stay readable: nothing drawn over a number,
// no number over the frame or cut by the window's edge.

#include <gtest/gtest.h>

#include "pixels.h"
#include "window_fixture.h"

namespace vantor {
namespace {

// The rows holding colour c in the columns x1..x2-1, as runs [first, last].
std::vector<std::pair<int, int>> RowRuns(const QImage& img, int x1, int x2, TColor c) {
    std::vector<std::pair<int, int>> runs;
    for (int y = 0; y < img.height(); ++y) {
        if (Count(img, x1, y, x2, y + 1, c) == 0) continue;
        if (!runs.empty() && runs.back().second == y - 1)
            runs.back().second = y;
        else
            runs.push_back({y, y});
    }
    return runs;
}

int LastColumn(const QImage& img, int y1, int y2, TColor c) {
    for (int x = img.width() - 1; x >= 0; --x)
        if (Count(img, x, y1, x + 1, y2, c) > 0) return x;
    return -1;
}

int FirstColumn(const QImage& img, int y1, int y2, TColor c) {
    for (int x = 0; x < img.width(); ++x)
        if (Count(img, x, y1, x + 1, y2, c) > 0) return x;
    return -1;
}

TEST(Legibility, ReadoutsWithDecimalsDoNotRunIntoTheNext) {
    PixelWindow t;
    t.w.Main = false;
    t.W = 500;
    t.Series("close", std::vector<double>(10, 26));
    t.Series("dif", std::vector<double>(10, 27.789));
    t.Series("dea", std::vector<double>(10, 24.078));
    // The constant widens the range so that no line runs through the title row.
    t.raw->Records() = {"syline=dif::colorred", "syline=dea::colorgreen", "syline=40::colorwhite"};
    t.raw->SetTechName("macd");
    QImage img = t.Paint(10);
    const int top = t.frame.g.T;
    const int difEnd = LastColumn(img, 0, top, kRed), deaStart = FirstColumn(img, 0, top, kLime);
    ASSERT_GT(difEnd, 0);
    EXPECT_LT(difEnd + 1, deaStart); // at least one clear column between them
}

TEST(Legibility, ScaleLabelsEndLeftOfTheFrameLine) {
    PixelWindow t;
    t.w.Main = false;
    t.Series("close", {10.125, 12.5, 11.25, 13.875});
    t.Series("ma", {10.125, 12.5, 11.25, 13.875});
    t.raw->Records() = {"syline=ma::colorgreen"};
    QImage img = t.Paint(10);
    // Positive labels are red; nothing red may reach the frame line at x = 50 or the plot.
    EXPECT_GT(Count(img, 0, 0, 48, t.H, kRed), 20);
    EXPECT_EQ(Count(img, 50, t.frame.g.T - 6, 56, t.H, kRed), 0);
}

TEST(Legibility, LabelsThatDoNotFitAreLeftOut) {
    struct Case {
        const char* what;
        int height;
        double top;
        bool main;
    } cases[] = {
        {"a low window: neighbouring rows would overlap", 80, 13.5, false},
        {"the divisor badge over the bottom label", 120, 9876543, false},
        {"the last-close marker over a label", 120, 13.5, true},
    };
    for (const auto& c : cases) {
        PixelWindow t;
        t.H = c.height;
        t.w.Main = c.main;
        std::vector<double> v = {1, c.top / 2, c.top * 0.75, c.top}; // lows from 0
        t.Highs(v);
        t.Series("ma", v);
        t.raw->Records() = {"syline=ma::colorgreen"};
        QImage img = t.Paint(10);
        const int L = t.frame.g.L;
        // Each run of label rows holds one whole line of text: no two labels touch or
        // overlap, none is cut by the window's bottom edge or half covered by a box (a run
        // of one row is the outline of the marker or the badge).
        for (TColor colour : {kRed, kWhite, kBlue})
            for (auto [from, to] : RowRuns(img, 2, 48, colour)) {
                const int rows = to - from + 1;
                EXPECT_TRUE(rows == 1 || (rows >= 9 && rows <= L))
                    << c.what << " rows " << from << ".." << to;
                EXPECT_LT(to, t.H - 1) << c.what;
            }
        // Nothing of a label is left beside the badge or the marker.
        if (t.frame.fmt.divisor > 1) {
            EXPECT_EQ(Count(img, 2, t.H - L - 1, 48, t.H - 1, kWhite), 0) << c.what;
        }
    }
}

} // namespace
} // namespace vantor
