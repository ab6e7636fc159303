// The replay loop driven headless: training modes and step lengths, auto-play on the manual
// clock, the overnight warning, the stop close, the forced close and stepping back.

#include "practice_fixture.h"

namespace vantor::test {
namespace {

// Twenty minutes of 2 January from 09:31, opens 100, 101, ... (high +2, low -2, close +1).
void TwentyMinutes(PracticeEnv& e, const std::string& keys) {
    e.Write("mindata/TST.txt", MinuteLines(Session(20240102, 20, 100)));
    e.Config(keys);
    e.Start();
}

TEST(Replay, FiveMinuteChartStepsByBaseBarOrByWholeBar) {
    struct Case {
        int step;          // 步长: 0 基础周期, 1 当前周期
        int revealedAfter; // base bars revealed after one click on the 5-minute chart
        double closeAfter; // close of the newest 5-minute bar
    };
    // One bar (09:31) is shown at start; 09:31..09:35 make the first 5-minute bar.
    for (const Case& c : {Case{0, 2, 102}, Case{1, 5, 105}}) {
        PracticeEnv e;
        TwentyMinutes(e, "etj=1\n步长=" + std::to_string(c.step) + "\n");
        e.form->PeriodCommand(wsMin5, 5);
        ASSERT_EQ(e.form->Chart().BarCount(), 1);
        e.form->NextBar();
        EXPECT_EQ(e.form->Store().nIndex + 1, c.revealedAfter) << "step " << c.step;
        EXPECT_EQ(e.form->Chart().BarCount(), 1);
        EXPECT_DOUBLE_EQ(e.Last("close"), c.closeAfter);
    }
}

TEST(Replay, TwoStepModeShowsTheOpenFirstAndValuesTheAccountThere) {
    PracticeEnv e;
    TwentyMinutes(e, "etj=0\n步长=0\n");
    e.form->NextBar(); // the start bar is revealed whole
    EXPECT_EQ(e.form->Store().nIndex, 0);
    EXPECT_DOUBLE_EQ(e.Last("close"), 101);
    e.form->NextBar(); // a new bar, by its open alone
    EXPECT_EQ(e.form->Store().nIndex, 1);
    for (const char* name : {"open", "high", "low", "close"})
        EXPECT_DOUBLE_EQ(e.Last(name), 101) << name;
    EXPECT_DOUBLE_EQ(e.form->Account().jsj(), 101);
    e.form->NextBar();
    EXPECT_EQ(e.form->Store().nIndex, 1);
    EXPECT_DOUBLE_EQ(e.Last("high"), 103);
    EXPECT_DOUBLE_EQ(e.Last("close"), 102);
    EXPECT_DOUBLE_EQ(e.form->Account().jsj(), 102);
}

TEST(Replay, TwoStepModeRevealsTheLastBarWholeBeforeTheEnd) {
    PracticeEnv e;
    TwentyMinutes(e, "etj=0\n步长=0\n");
    e.AtRow(19); // bars 0..18 shown, one bar left
    e.form->NextBar();
    e.form->NextBar(); // bar 19 by its open
    e.form->NextBar(); // bar 19 whole
    EXPECT_FALSE(e.host.Saw("已到数据最新时间，请补充数据包！"));
    EXPECT_DOUBLE_EQ(e.Last("close"), 120);
    e.form->NextBar();
    EXPECT_TRUE(e.host.Saw("已到数据最新时间，请补充数据包！"));
}

TEST(Replay, PlayIntervalDrivesTheTimerAndIsNeverBelowATenth) {
    PracticeEnv e;
    TwentyMinutes(e, "etj=1\n步长=0\n播放间隔=5\n");
    e.form->PlayPause();
    EXPECT_EQ(e.form->Controls().playCaption, "暂停");
    e.host.clock.Advance(499);
    EXPECT_EQ(e.form->Store().nIndex, 0);
    e.host.clock.Advance(1);
    EXPECT_EQ(e.form->Store().nIndex, 1);
    e.host.clock.Advance(1000);
    EXPECT_EQ(e.form->Store().nIndex, 3);
    e.form->PlayPause();
    EXPECT_EQ(e.form->Controls().playCaption, "播放");
    e.host.clock.Advance(5000);
    EXPECT_EQ(e.form->Store().nIndex, 3);

    for (const char* text : {"0", "-4", "abc", "", "0.5"}) {
        e.form->SetPlayInterval(text);
        EXPECT_EQ(e.form->PlayIntervalMs(), 100) << text;
    }
}

TEST(Replay, StepBackOnlyOnTheBasePeriod) {
    PracticeEnv e;
    TwentyMinutes(e, "etj=1\n");
    e.AtRow(6);
    e.form->PeriodCommand(wsDay, 240);
    e.form->PrevBar();
    EXPECT_TRUE(e.host.Saw("请切换到基础周期再回退！"));
    e.form->PeriodCommand(wsmin1, 1);
    e.form->PrevBar();
    EXPECT_EQ(e.form->Store().nIndex, 4);
    EXPECT_EQ(e.form->Chart().BarCount(), 5);
    e.AtRow(1);
    e.form->PrevBar();
    EXPECT_TRUE(e.host.Saw("当前已到数据最前方！"));
}

TEST(Replay, SideViewFollowsEveryStep) {
    PracticeEnv e;
    TwentyMinutes(e, "etj=1\n步长=0\n");
    e.AtRow(10);
    e.form->ShowSideView(true);
    ASSERT_NE(e.form->SideView(), nullptr);
    EXPECT_TRUE(std::filesystem::exists(e.dir.path() + "/0.zb"));
    TGP& minute = *e.form->SideView()->charts[0];
    EXPECT_EQ(minute.BarCount(), 10);
    e.form->NextBar();
    EXPECT_EQ(minute.BarCount(), 11);
    EXPECT_DOUBLE_EQ(minute.GetLast("close"), 111);
    e.form->ShowSideView(false);
    EXPECT_EQ(e.form->SideView(), nullptr);
}

TEST(Replay, LongHeldAtTheDaysLastMinuteStopsPlayAndWarns) {
    PracticeEnv e;
    e.Write("mindata/TST.txt", MinuteLines({{20240102, 1457, 100, 101, 99, 100},
                                            {20240102, 1458, 100, 101, 99, 100},
                                            {20240102, 1459, 100, 101, 99, 100},
                                            {20240103, 931, 100, 101, 99, 100}}));
    e.Config("etj=1\n步长=0\ntips=0\n");
    e.Start();
    e.form->Controls().lotsBox = "1";
    e.form->BuyOpenButton();
    ASSERT_EQ(e.form->Account().ddcc, 1);
    e.form->NextBar(); // 14:58: the same day follows
    EXPECT_FALSE(e.host.Saw("今天已经收盘，请注意是否要隔夜！"));
    e.form->PlayPause();
    e.host.clock.Advance(1000); // 14:59: the next bar is tomorrow's
    EXPECT_TRUE(e.host.Saw("今天已经收盘，请注意是否要隔夜！"));
    EXPECT_FALSE(e.form->Playing());
    EXPECT_EQ(e.form->Store().nIndex, 2);
}

TEST(Replay, StopPriceStrictlyInsideTheNewBarClosesThere) {
    struct Case {
        const char* stop;
        bool closes;
    };
    // The new bar runs from 99 to 103.
    for (const Case& c : {Case{"100.5", true}, Case{"103", false}, Case{"99", false}}) {
        PracticeEnv e;
        e.Write("mindata/TST.txt", MinuteLines({{20240102, 931, 100, 101, 99, 100},
                                                {20240102, 932, 101, 103, 99, 102}}));
        e.Config("etj=1\n步长=0\n");
        e.Start();
        e.form->Controls().lotsBox = "1";
        e.form->BuyOpenButton();
        e.form->Controls().stopPriceBox = c.stop;
        e.form->Controls().autoStop = true;
        e.form->NextBar();
        auto rows = e.Journal();
        ASSERT_EQ(rows.size(), c.closes ? 2u : 1u) << c.stop;
        if (c.closes) {
            EXPECT_EQ(rows[1].direction(), "多平");
            EXPECT_EQ(rows[1].values[3], "100.50");
            EXPECT_EQ(e.form->Account().ddcc, 0);
        }
    }
}

TEST(Replay, MarginCallClosesBothSidesWithTheLotsTraded) {
    PracticeEnv e;
    // Margin 100 % and multiplier 10 (no contract row): 4 lots a side hold 8000 of 10000;
    // a 30-point jump raises the margin by 2400 and the funds turn negative.
    e.Write("mindata/TST.txt", MinuteLines({{20240102, 931, 100, 100, 100, 100},
                                            {20240102, 932, 130, 130, 130, 130}}));
    e.Config("etj=1\n步长=0\ntips=0\n计费方式=0\n");
    e.Start();
    e.form->Controls().lotsBox = "4";
    e.form->BuyOpenButton();
    e.form->SellOpenButton();
    ASSERT_EQ(e.form->Account().zcc(), 8);
    e.form->Controls().lotsBox = "1";
    e.form->NextBar();
    EXPECT_TRUE(e.host.Saw("保证金不足，强制平仓！"));
    EXPECT_EQ(e.form->Account().zcc(), 0);
    auto rows = e.Journal();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[2].direction(), "多平");
    EXPECT_EQ(rows[3].direction(), "空平");
    EXPECT_EQ(rows[2].values[4], "4"); // the lots traded, not the box's "1"
    EXPECT_EQ(rows[3].values[4], "4");
    EXPECT_EQ(e.Equity().size(), 2u); // the account's first point and the flat one
}

} // namespace
} // namespace vantor::test
