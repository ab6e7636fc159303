// The trade actions driven headless: journal rows, screenshots, equity points and the
// position lines on the chart.

#include "practice_fixture.h"

namespace vantor::test {
namespace {

void TwoBars(PracticeEnv& e, const std::string& keys, double second = 110) {
    e.Write("mindata/TST.txt", MinuteLines({{20240102, 931, 100, 100, 100, 100},
                                            {20240102, 932, second, second, second, second}}));
    e.Config("etj=1\n步长=0\n" + keys);
    e.Start();
}

std::vector<XXLine> PositionLines(PracticeEnv& e) {
    std::vector<XXLine> lines;
    for (const XXLine& l : e.form->Chart().Objects(0))
        if (l.FType == kPositionLine) lines.push_back(l);
    return lines;
}

TEST(Trades, OpenThenCloseWritesTwoRowsTwoPicturesAndOneEquityPoint) {
    PracticeEnv e;
    TwoBars(e, "计费方式=0\n");
    e.form->Controls().lotsBox = "1";
    e.form->BuyOpenButton();
    e.form->NextBar();
    e.form->BuyCloseButton();
    auto rows = e.Journal();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].direction(), "多开");
    EXPECT_EQ(rows[0].values[7], "0");
    EXPECT_EQ(rows[1].direction(), "多平");
    EXPECT_EQ(rows[1].values[7], "100"); // 10 points × multiplier 10, read back as a number
    EXPECT_EQ(rows[1].values[4], "1");
    EXPECT_EQ(rows[1].values[1], "20240102");
    EXPECT_EQ(e.JpegCount(), 2);
    for (const JournalEntry& r : rows) {
        EXPECT_EQ(r.picPath().rfind("log\\", 0), 0u);
        std::string file = e.dir.path() + "/log/" + r.picPath().substr(4);
        EXPECT_TRUE(std::filesystem::is_regular_file(file)) << file;
    }
    auto points = e.Equity();
    ASSERT_EQ(points.size(), 2u); // the account's first point, then the one after the close
    // Per lot: 6 opening and 6 closing on 10000 with a gain of 100; the point holds the funds
    // after the close's commission.
    EXPECT_DOUBLE_EQ(points[1].second, 10088);
    EXPECT_TRUE(PositionLines(e).empty());
}

TEST(Trades, FailedTradesWriteNothingAndShowTheReason) {
    PracticeEnv e;
    TwoBars(e, "");
    struct Case {
        const char* lots;
        void (TForm1::*button)();
        const char* message;
    };
    for (const Case& c : {Case{"0", &TForm1::BuyOpenButton, "买卖数量不对！"},
                          Case{"abc", &TForm1::SellOpenButton, "买卖数量不对！"},
                          Case{"1", &TForm1::BuyCloseButton, "买卖数量不对！"},
                          Case{"0.0000000001", &TForm1::SellCloseButton, "买卖数量不对！"},
                          Case{"1000", &TForm1::BuyOpenButton, "资金不足！"}}) {
        e.host.messages.clear();
        e.form->Controls().lotsBox = c.lots;
        (e.form.get()->*c.button)();
        EXPECT_EQ(e.host.messages, std::vector<std::string>{c.message}) << c.lots;
    }
    EXPECT_TRUE(e.Journal().empty());
    EXPECT_EQ(e.JpegCount(), 0);
}

TEST(Trades, ReverseALongOfTwoLeavesOneGreenShortLine) {
    PracticeEnv e;
    TwoBars(e, "");
    e.form->Controls().lotsBox = "2";
    e.form->BuyOpenButton();
    ASSERT_EQ(PositionLines(e).size(), 1u);
    EXPECT_EQ(PositionLines(e)[0].FString, "多2.00");
    e.form->ReverseButton();
    auto rows = e.Journal();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1].direction(), "多平");
    EXPECT_EQ(rows[2].direction(), "空开");
    auto lines = PositionLines(e);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].FString, "空2.00");
    EXPECT_EQ(lines[0].FColor, 0x00FF00u);
    EXPECT_EQ(lines[0].FXX[0], 3);
    EXPECT_FLOAT_EQ(lines[0].FYY[0], static_cast<float>(e.form->Account().kdccj));
}

TEST(Trades, ReverseThatCannotReopenSaysSo) {
    PracticeEnv e;
    TwoBars(e, "计费方式=0\n");
    // 9.9 lots at 100 use 9959.40 of 10000; after closing them the commission leaves too
    // little to open as many short.
    e.form->Controls().lotsBox = "9.9";
    e.form->BuyOpenButton();
    e.form->ReverseButton();
    EXPECT_TRUE(e.host.Saw("资金不足！"));
    auto rows = e.Journal();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].direction(), "多平");
}

TEST(Trades, CloseAllWithBothSidesWritesBothClosesAndOnePoint) {
    PracticeEnv e;
    TwoBars(e, "");
    e.form->Controls().lotsBox = "1";
    e.form->BuyOpenButton();
    e.form->Controls().lotsBox = "2";
    e.form->SellOpenButton();
    e.form->CloseAllButton();
    auto rows = e.Journal();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[2].direction(), "多平");
    EXPECT_EQ(rows[2].values[4], "1");
    EXPECT_EQ(rows[3].direction(), "空平");
    EXPECT_EQ(rows[3].values[4], "2");
    EXPECT_EQ(e.Equity().size(), 2u);
}

TEST(Trades, KeysTradeOnceAndDWithNothingHeldOnlyRefreshes) {
    PracticeEnv e;
    TwoBars(e, "tips=0\n");
    e.host.messages.clear(); // the start's note that TST has no contract row
    e.form->Controls().lotsBox = "1";
    EXPECT_TRUE(e.form->TradeKey('d'));
    EXPECT_TRUE(e.host.messages.empty());
    EXPECT_TRUE(e.form->TradeKey('a'));
    EXPECT_TRUE(e.form->TradeKey('S'));
    EXPECT_EQ(e.form->Account().ddcc, 1);
    EXPECT_EQ(e.form->Account().kdcc, 1);
    EXPECT_TRUE(e.form->TradeKey('D')); // the long side first
    EXPECT_EQ(e.form->Account().ddcc, 0);
    EXPECT_EQ(e.form->Account().kdcc, 1);
    EXPECT_FALSE(e.form->TradeKey('x'));
    EXPECT_EQ(e.Journal().size(), 3u);
    EXPECT_TRUE(e.host.messages.empty()); // keys show no success message
}

TEST(Trades, ConfirmationsFollowTheSetting) {
    for (int tips : {0, 1}) {
        PracticeEnv e;
        TwoBars(e, "tips=" + std::to_string(tips) + "\n");
        e.form->Controls().lotsBox = "1";
        e.form->BuyOpenButton();
        EXPECT_EQ(e.host.Saw("开多仓成功！"), tips == 0);
    }
}

} // namespace
} // namespace vantor::test
