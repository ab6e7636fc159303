// Practice beyond the basic loop: the trade marks on the K-line window, skipping ahead by a
// trading day or by N bars, and the practice keys.

#include <Qt>

#include "chart/trade_markers.h"
#include "practice_fixture.h"

namespace vantor::test {
namespace {

// Two sessions of twenty minutes (09:31 .. 09:50) on 2 and 3 January.
std::string TwoDays() {
    auto bars = Session(20240102, 20, 100);
    auto next = Session(20240103, 20, 200);
    bars.insert(bars.end(), next.begin(), next.end());
    return MinuteLines(bars);
}

// The two sessions loaded with the given settings, the first minute shown.
void StartTwoDays(PracticeEnv& e, const std::string& keys = "etj=1\n步长=0\n") {
    e.Write("mindata/TST.txt", TwoDays());
    e.Config(keys);
    e.Start();
}

void StepTo(PracticeEnv& e, int index) {
    while (e.form->Store().nIndex < index) e.form->NextBar();
}

struct Mark {
    int bar;
    std::string direction;
    int slot;
    bool operator==(const Mark&) const = default;
};

std::vector<Mark> Marks(TForm1& form) {
    std::vector<Mark> marks;
    for (const XXLine& o : form.Chart().Objects(0))
        if (o.FType == kTradeMarker) marks.push_back({o.FXX[0], o.FString, o.FXX[1]});
    return marks;
}

std::ostream& operator<<(std::ostream& os, const Mark& m) {
    return os << "{" << m.bar << "," << m.direction << "," << m.slot << "}";
}

// 多开 at 09:33 and 多平 at 09:37 of the first day, 空开 at 09:42 of the second.
void ThreeTrades(PracticeEnv& e) {
    StartTwoDays(e);
    e.form->Controls().lotsBox = "1";
    StepTo(e, 2);
    e.form->BuyOpenButton();
    StepTo(e, 6);
    e.form->BuyCloseButton();
    StepTo(e, 31);
    e.form->SellOpenButton();
}

TEST(TradeMarks, MinuteTradesSitOnTheBarsContainingThemOnEveryPeriod) {
    PracticeEnv e;
    ThreeTrades(e);
    struct Case {
        TWeekStyle period;
        int value;
        std::vector<Mark> marks;
    };
    const Case cases[] = {
        {wsmin1, 1, {{2, "多开", 0}, {6, "多平", 0}, {31, "空开", 0}}},
        // Day one makes the 5-minute bars 09:35 .. 09:50, day two 09:35, 09:40, 09:45 so far.
        {wsMin5, 5, {{0, "多开", 0}, {1, "多平", 0}, {6, "空开", 0}}},
        {wsMin60, 60, {{0, "多开", 0}, {0, "多平", 0}, {1, "空开", 0}}},
        {wsDay, 240, {{0, "多开", 0}, {0, "多平", 0}, {1, "空开", 0}}},
    };
    for (int restart = 0; restart < 2; ++restart) {
        if (restart) e.Start(); // the marks come back from the journal
        for (const Case& c : cases) {
            e.form->PeriodCommand(c.period, c.value);
            EXPECT_EQ(Marks(*e.form), c.marks) << "period " << c.period << " restart " << restart;
        }
        e.form->PeriodCommand(wsmin1, 1);
    }
    // The price of each trade rides along for the readout.
    for (const XXLine& o : e.form->Chart().Objects(0))
        if (o.FType == kTradeMarker && o.FString == "多平") {
            EXPECT_FLOAT_EQ(o.FYY[0], 107);
        }
}

TEST(TradeMarks, TradesOfOneBarAndSideStackAndTheJournalKeepsTheirBar) {
    PracticeEnv e;
    StartTwoDays(e);
    e.form->Controls().lotsBox = "1";
    StepTo(e, 3);
    e.form->BuyOpenButton();
    e.form->BuyOpenButton();
    e.form->SellOpenButton();
    EXPECT_EQ(Marks(*e.form), (std::vector<Mark>{{3, "多开", 0}, {3, "多开", 1}, {3, "空开", 0}}));
    TJournal j(e.dir.path());
    std::vector<TradeBarRow> rows;
    ASSERT_TRUE(j.ReadTradeBars("trainee", "TST", rows)) << j.sError;
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].bar, "20240102 0934");
    EXPECT_EQ(rows[2].direction, "空开");
}

TEST(TradeMarks, NoMarkBeyondTheRevealedBar) {
    PracticeEnv e;
    StartTwoDays(e);
    e.form->Controls().lotsBox = "1";
    StepTo(e, 4); // 09:35
    e.form->BuyOpenButton();
    e.form->PrevBar();
    e.form->PrevBar(); // back to 09:33
    EXPECT_TRUE(Marks(*e.form).empty());
    // The 09:35 bar of 5 minutes is shown up to 09:33 only: no mark on it either.
    e.form->PeriodCommand(wsMin5, 5);
    EXPECT_TRUE(Marks(*e.form).empty());
    e.form->PeriodCommand(wsmin1, 1);
    StepTo(e, 4);
    EXPECT_EQ(Marks(*e.form), (std::vector<Mark>{{4, "多开", 0}}));
    // A new start before the trade hides it again.
    e.AtRow(3);
    EXPECT_TRUE(Marks(*e.form).empty());
}

TEST(TradeMarks, ToggleHidesThemAndTheyArePainted) {
    PracticeEnv e;
    StartTwoDays(e);
    e.form->Chart().SetSize(800, 600);
    e.form->Controls().lotsBox = "1";
    StepTo(e, 10);
    e.form->BuyOpenButton();
    StepTo(e, 12);
    e.form->BuyCloseButton(); // flat: no position line, one green (sell) arrow
    auto greenPixels = [&] {
        const QImage& img = e.form->Chart().Image();
        int n = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) n += img.pixel(x, y) == qRgb(0, 255, 0);
        return n;
    };
    const int shown = greenPixels();
    e.form->SetTradeMarkersShown(false);
    EXPECT_TRUE(Marks(*e.form).empty());
    EXPECT_GT(shown, greenPixels() + 10);
    e.form->NextBar(); // a step does not bring them back
    EXPECT_TRUE(Marks(*e.form).empty());
    e.form->SetTradeMarkersShown(true);
    EXPECT_EQ(Marks(*e.form).size(), 2u);
}

TEST(SkipAhead, NextTradingDayStopsAtItsFirstBarOrWhereSomethingFires) {
    // Day one: five minutes at 100, the fourth jumping to 130; day two: five minutes at 130.
    std::vector<MinuteBar> bars;
    for (int i = 0; i < 5; ++i) {
        double p = i >= 3 ? 130 : 100;
        bars.push_back({20240102, 931 + i, p, p + 1, p - 1, p});
    }
    for (int i = 0; i < 5; ++i) bars.push_back({20240103, 931 + i, 130, 131, 129, 130});
    struct Case {
        const char* what;
        int longLots, shortLots;
        const char* stopPrice;
        int stopsAt;             // the base bar revealed when the skip stops
        const char* message;     // shown where it stopped ("" for none)
        std::size_t tradesAfter; // journal rows
    };
    const Case cases[] = {
        {"flat", 0, 0, "0", 5, "", 0},
        {"long held", 1, 0, "0", 4, "今天已经收盘，请注意是否要隔夜！", 1},
        // 4 lots a side hold 8000 of 10000; the jump to 130 turns the funds negative.
        {"margin call", 4, 4, "0", 3, "保证金不足，强制平仓！", 4},
        {"stop price", 1, 0, "129.5", 3, "", 2},
    };
    for (const Case& c : cases) {
        PracticeEnv e;
        e.Write("mindata/TST.txt", MinuteLines(bars));
        e.Config("etj=1\n步长=0\ntips=0\n计费方式=0\n");
        e.Start();
        if (c.longLots) {
            e.form->Controls().lotsBox = std::to_string(c.longLots);
            e.form->BuyOpenButton();
        }
        if (c.shortLots) {
            e.form->Controls().lotsBox = std::to_string(c.shortLots);
            e.form->SellOpenButton();
        }
        e.form->Controls().stopPriceBox = c.stopPrice;
        e.host.messages.clear();
        const int changes = e.host.changes;
        e.form->SkipToNextDay();
        EXPECT_EQ(e.form->Store().nIndex, c.stopsAt) << c.what;
        if (*c.message) {
            EXPECT_TRUE(e.host.Saw(c.message)) << c.what;
        }
        EXPECT_EQ(e.Journal().size(), c.tradesAfter) << c.what;
        EXPECT_EQ(e.host.changes - changes, 1) << c.what; // one update of the window
        // The position is saved where the skip stopped.
        TJournal j(e.dir.path());
        TqhAcount saved(0);
        int start = -1, last = -1;
        ASSERT_TRUE(j.RestoreAccount("trainee", saved, start, last));
        EXPECT_EQ(last, c.stopsAt) << c.what;
    }
    // After the warning the next skip crosses into the new day.
    PracticeEnv e;
    e.Write("mindata/TST.txt", MinuteLines(bars));
    e.Config("etj=1\n步长=0\n");
    e.Start();
    e.form->Controls().lotsBox = "1";
    e.form->BuyOpenButton();
    e.form->SkipToNextDay();
    e.form->SkipToNextDay();
    EXPECT_EQ(e.form->Store().nIndex, 5);
}

// The controller's visible results after a run: replay position, chart and account.
struct Snapshot {
    int index, bars, cacheBars;
    double close, high, low, funds, equity, result, price;
    std::size_t trades;
    bool operator==(const Snapshot&) const = default;
};

Snapshot Take(PracticeEnv& e) {
    const TqhAcount& a = e.form->Account();
    return {e.form->Store().nIndex,
            e.form->Chart().BarCount(),
            static_cast<int>(e.form->Store().Cache(e.form->Chart().ZhouQi()).value.size()),
            e.Last("close"),
            e.Last("high"),
            e.Last("low"),
            a.kyzj(),
            a.dtqy(),
            a.Ffdyk,
            a.jsj(),
            e.Journal().size()};
}

TEST(SkipAhead, NBarsEqualNSingleStepsBarForBarAndAccountForAccount) {
    struct Case {
        const char* keys;
        TWeekStyle period;
        int value;
        int bars;   // 前进N根
        int clicks; // the single steps that reveal as much
        bool hold;  // a short position, revalued at every bar
    };
    const Case cases[] = {
        {"etj=1\n步长=0\n", wsmin1, 1, 7, 7, true},
        {"etj=1\n步长=1\n", wsMin5, 5, 3, 3, true},
        {"etj=0\n步长=0\n", wsmin1, 1, 7, 14, true}, // 二踢脚: two clicks a bar
        // Across the day change (held lots would stop the skip at the overnight warning).
        {"etj=1\n步长=0\n", wsmin1, 1, 30, 30, false},
    };
    for (const Case& c : cases) {
        PracticeEnv skip, steps;
        for (PracticeEnv* e : {&skip, &steps}) {
            StartTwoDays(*e, c.keys);
            e->form->PeriodCommand(c.period, c.value);
            e->form->Controls().lotsBox = "2";
            if (c.hold) e->form->SellOpenButton();
        }
        skip.form->Controls().skipBarsBox = std::to_string(c.bars);
        skip.form->SkipBars();
        for (int i = 0; i < c.clicks; ++i) steps.form->NextBar();
        EXPECT_EQ(Take(skip), Take(steps)) << c.keys << " period " << c.period;
    }
}

TEST(SkipAhead, NBarsNeedsAPositiveNumberAndRefusesTheTickView) {
    PracticeEnv e;
    StartTwoDays(e);
    for (const char* box : {"", "0", "-3", "abc"}) {
        e.host.messages.clear();
        e.form->Controls().skipBarsBox = box;
        e.form->SkipBars();
        EXPECT_TRUE(e.host.Saw("前进根数不对！")) << box;
        EXPECT_EQ(e.form->Store().nIndex, 0);
    }
    e.form->Controls().skipBarsBox = "1000"; // stops at the end of the data
    e.form->SkipBars();
    EXPECT_EQ(e.form->Store().nIndex, 39);
    EXPECT_TRUE(e.host.Saw("已到数据最新时间，请补充数据包！"));
}

TEST(PracticeKeys, EveryKeyRunsItsActionAndRepeatsOnlyStep) {
    PracticeEnv e;
    StartTwoDays(e);
    TForm1& f = *e.form;
    EXPECT_TRUE(f.PracticeKey(Qt::Key_2, false, false));
    EXPECT_EQ(f.Controls().lotsBox, "2");
    EXPECT_TRUE(f.PracticeKey(Qt::Key_0, false, false));
    EXPECT_EQ(f.Controls().lotsBox, "10");
    f.PracticeKey(Qt::Key_1, false, false);
    f.PracticeKey(Qt::Key_A, false, false);
    f.PracticeKey(Qt::Key_A, false, true); // held down: opens once
    EXPECT_EQ(f.Account().ddcc, 1);
    f.PracticeKey(Qt::Key_N, false, false);
    f.PracticeKey(Qt::Key_N, false, true); // held down: steps on
    f.PracticeKey(Qt::Key_Right, true, false);
    EXPECT_EQ(f.Store().nIndex, 3);
    EXPECT_FALSE(f.PracticeKey(Qt::Key_Right, false, false)); // the chart's own key
    f.PracticeKey(Qt::Key_F, false, false);                   // reverse
    EXPECT_EQ(f.Account().kdcc, 1);
    f.PracticeKey(Qt::Key_C, false, false); // close all
    EXPECT_EQ(f.Account().zcc(), 0);
    f.PracticeKey(Qt::Key_Space, false, false);
    EXPECT_TRUE(f.Playing());
    f.PracticeKey(Qt::Key_Space, false, false);
    EXPECT_FALSE(f.Playing());
    f.PracticeKey(Qt::Key_J, false, false);
    EXPECT_EQ(f.Store().nIndex, 20);
    f.PracticeKey(Qt::Key_T, false, false);
    EXPECT_FALSE(f.TradeMarkersShown());
    EXPECT_FALSE(f.PracticeKey(Qt::Key_Q, false, false));
    // The help names every action.
    const std::string help = ShortcutHelpText();
    for (const char* action : {"下一K线", "上一K线", "前进N根", "跳到下一交易日", "反手",
                               "一键平仓", "随机训练", "多平", "空平", "播放"})
        EXPECT_NE(help.find(action), std::string::npos) << action;
}

} // namespace
} // namespace vantor::test
