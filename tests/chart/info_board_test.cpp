// The information board: quote rows and their colours, the price table, and the board as
// painted with a fixed quote snapshot (red above the previous close, green otherwise; the
// 分价 table's order and bars; tab clicks and resizing).

#include <gtest/gtest.h>

#include "chart/info_board.h"
#include "chart/tgp.h"
#include "pixels.h"
#include "quote_snapshot.h"

namespace vantor {
namespace {

TTDX_PKBASE Snapshot(float price) {
    return QuoteSnapshot(100, price);
}

const BoardRow* Find(const std::vector<BoardRow>& rows, const std::string& label) {
    for (const BoardRow& r : rows)
        if (r.label1 == label) return &r;
    return nullptr;
}

TEST(QuoteRows, BidAskBalanceLevelsAndTheRedGreenRule) {
    const auto rows = QuoteRows(Snapshot(102), 0, "%7.2f");
    const BoardRow* wb = Find(rows, "委比");
    ASSERT_TRUE(wb);
    EXPECT_EQ(wb->value1, "71.43%"); // (150 - 25) * 100 / 175
    EXPECT_EQ(wb->label2, "委差");
    EXPECT_EQ(wb->value2, "   125");
    EXPECT_EQ(wb->color1, kBoardUp);
    // Levels: 卖五 first, then 卖一, 买一 .. 买五; price and quantity.
    std::vector<std::string> labels;
    for (const BoardRow& r : rows)
        if (!r.rule) labels.push_back(r.label1);
    EXPECT_EQ(labels, (std::vector<std::string>{"委比", "卖五", "卖四", "卖三", "卖二", "卖一",
                                                "买一", "买二", "买三", "买四", "买五", "现价",
                                                "涨跌", "涨幅", "总量", "外盘"}));
    EXPECT_EQ(Find(rows, "卖五")->value1, " 104.50");
    EXPECT_EQ(Find(rows, "买五")->value2, "50");
    EXPECT_EQ(Find(rows, "买五")->color2, kBoardVolume);

    struct Case {
        float price;
        TColor now, change;
        const char* changeText;
        const char* percent;
    };
    const Case cases[] = {{102, kBoardUp, kBoardUp, "   2.00", "  2.00%"},
                          {98, kBoardDown, kBoardDown, "  -2.00", " -2.00%"},
                          {100, kBoardDown, kBoardDown, "   0.00", "  0.00%"}};
    for (const Case& c : cases) {
        const auto r = QuoteRows(Snapshot(c.price), 7, "%7.2f");
        ASSERT_EQ(r[0].label1, "现价"); // type 7: no balance and no levels
        EXPECT_EQ(r[0].color1, c.now) << c.price;
        EXPECT_EQ(r[0].color2, kBoardDown) << "今开 99.5 is below 100";
        EXPECT_EQ(Find(r, "涨跌")->value1, c.changeText);
        EXPECT_EQ(Find(r, "涨跌")->color1, c.change);
        EXPECT_EQ(Find(r, "涨幅")->value1, c.percent);
        EXPECT_EQ(Find(r, "涨跌")->label2, "最高");
        EXPECT_EQ(Find(r, "总量")->value1, " 12.3万");
        EXPECT_EQ(Find(r, "总量")->value2, "9877万");
        EXPECT_EQ(Find(r, "外盘")->value1, "    700");
    }
}

TEST(QuoteRows, NoQuantitiesAndNoPrice) {
    TTDX_PKBASE q;
    q.last = 50;
    q.sell[0] = 51;
    const auto rows = QuoteRows(q, 0, "%.1f");
    EXPECT_EQ(Find(rows, "委比")->value1, "0%");
    // No price: the change is taken from the first ask.
    EXPECT_EQ(Find(rows, "涨跌")->value1, "1.0");
}

TEST(PriceTable, VolumesSummedPerPriceHighestFirst) {
    std::vector<TTDX_DEALInfo> ticks = {
        {930, 101, 40, 0, 1}, {931, 100, 25, 1, 1}, {932, 102, 50, 0, 2}, {933, 101, 60, 1, 1}};
    const auto t = PriceTable(ticks);
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[0].price, 102);
    EXPECT_EQ(t[1].price, 101);
    EXPECT_EQ(t[1].volume, 100);
    EXPECT_EQ(t[2].price, 100);
    std::vector<TTDX_DEALInfo> many;
    for (int i = 0; i < 1200; ++i) many.push_back({930, static_cast<float>(i), 1, 0, 1});
    EXPECT_EQ(PriceTable(many).size(), 1001u);
}

TEST(TickRow, TimePriceVolumeMarkAndCount) {
    struct Case {
        TTDX_DEALInfo tick;
        const char *time, *price, *volume, *mark, *count;
    };
    const Case cases[] = {{{905, 3672.5f, 12, 0, 3}, "09:05", "3672.50", "12", "B", "  3"},
                          {{1431, 98, 1500, 1, 120}, "14:31", "  98.00", "1500", "S", "120"},
                          {{2359, 1, 0, 5, 0}, "23:59", "   1.00", "0", " ", "  0"}};
    for (const Case& c : cases) {
        const TickTexts r = TickRow(c.tick, "%7.2f");
        EXPECT_EQ(r.time, c.time);
        EXPECT_EQ(r.price, c.price);
        EXPECT_EQ(r.volume, c.volume);
        EXPECT_EQ(r.mark, c.mark);
        EXPECT_EQ(r.count, c.count);
    }
}

class BoardTest : public ::testing::Test {
protected:
    TGP chart;
    int W = 0;
    void SetUp() override {
        chart.SetSize(700, 560);
        chart.UseMainWindowSettings();
        chart.SetShowBoard(true);
        W = 700 - chart.FBoardWidth();
    }
    void Show(float price, int type) {
        TStockinfoRecord rec;
        rec.code = "RB888";
        rec.Name = "螺纹";
        rec.FTYPE = type;
        rec.INFO = Snapshot(price);
        chart.SetStockInfo(rec);
    }
};

TEST_F(BoardTest, PriceValuesTurnRedAboveThePreviousCloseAndGreenBelow) {
    // The left value column holds 现价, 涨跌, 涨幅 (following the price), 总量 and 外盘.
    auto column = [&](TColor c) {
        const QImage& img = chart.Image();
        return Count(img, W + chart.FBoardWidth() / 4, 0, W + chart.FBoardWidth() / 2 - 2,
                     chart.FJHeight(), c);
    };
    Show(102, 7);
    const int redUp = column(kBoardUp), greenUp = column(kBoardDown);
    Show(98, 7);
    const int redDown = column(kBoardUp), greenDown = column(kBoardDown);
    EXPECT_GT(redUp, 2 * redDown);
    EXPECT_GT(greenDown, 2 * greenUp + 1);
    // Labels silver, the header yellow over the board.
    const QImage& img = chart.Image();
    EXPECT_GT(Count(img, W, 20, W + 40, chart.FJHeight(), kBoardLabel), 20);
    EXPECT_GT(Count(img, W, 0, 700, 22, kCyan) + Count(img, W, 0, 700, 22, kYellow), 10);
}

TEST_F(BoardTest, PriceTableListsPricesHighToLowWithBarsByVolume) {
    Show(101, 7);
    std::vector<TTDX_DEALInfo> ticks = {
        {930, 101, 40, 0, 1}, {931, 100, 25, 1, 1}, {932, 102, 50, 0, 2}, {933, 101, 60, 1, 1}};
    chart.SetFenBi(ticks.data(), static_cast<int>(ticks.size()));
    chart.Image();
    const int tabs = chart.FInfoWidth();
    ASSERT_GT(tabs, 0);
    chart.MouseDown(W + 1 + tabs + tabs / 2, 560 - 9); // the 分价 tab
    EXPECT_EQ(chart.FInfoType(), 1);
    const QImage& img = chart.Image();

    // Bars start 7 pixels right of 2/3 of the board; find the rows by their bars.
    const int barLeft = W + chart.FBoardWidth() * 2 / 3 + 7;
    std::vector<int> rows;
    for (int y = chart.FJHeight(); y < 560 - 18; ++y)
        if (At(img, barLeft + 1, y) == kBoardVolume && At(img, barLeft + 1, y - 1) != kBoardVolume)
            rows.push_back(y);
    ASSERT_EQ(rows.size(), 3u);
    auto barLength = [&](int y) { return Count(img, barLeft, y, 700, y + 1, kBoardVolume); };
    const int full = barLength(rows[1]); // 101: volume 100, the largest
    EXPECT_GT(full, 40);
    EXPECT_NEAR(barLength(rows[0]), full / 2, 2); // 102: 50
    EXPECT_NEAR(barLength(rows[2]), full / 4, 2); // 100: 25
    // Prices: 102 red, 101 red (previous close 100), 100 green.
    // A row begins 2 pixels above its bar.
    const int rh = rows[1] - rows[0];
    auto price = [&](int y, TColor c) { return Count(img, W + 1, y - 2, W + 60, y - 2 + rh, c); };
    EXPECT_GT(price(rows[0], kBoardUp), 3);
    EXPECT_GT(price(rows[2], kBoardDown), 3);
    EXPECT_EQ(price(rows[2], kBoardUp), 0);
}

TEST_F(BoardTest, DraggingTheEdgeResizesAndTheChartAreaFollows) {
    Show(101, 0);
    chart.Image();
    chart.MouseDown(W, 100);
    ASSERT_EQ(chart.FWeiStyle(), TWeiStyle::wsBSize);
    chart.MouseMove(W - 60, 100, true);
    chart.MouseUp();
    EXPECT_EQ(chart.FBoardWidth(), 260);
    const QImage& img = chart.Image();
    // The board's left rule now stands at the new edge.
    EXPECT_EQ(At(img, 700 - 260, 300), chart.FLineColor());
    // Too wide is refused.
    chart.MouseDown(700 - 260, 100);
    chart.MouseMove(50, 100, true);
    EXPECT_EQ(chart.FBoardWidth(), 260);
}

} // namespace
} // namespace vantor
