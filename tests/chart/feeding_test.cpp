// Bar feeding: reloads, single values, whole bars, ticks, the period and the records.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "chart/multi_period.h"
#include "chart/tgp.h"
#include "market/stock.h"

namespace vantor {
namespace {

class FeedTest : public ::testing::Test {
protected:
    TGP chart;
    void SetUp() override {
        chart.SetSize(350, 400); // a 300-pixel plot with the left scale: 59 bars of 5 inside
        chart.UseMainWindowSettings();
        chart.ClearData();
    }
    void Feed(int n) {
        std::vector<double> v(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i) v[static_cast<size_t>(i)] = 10 + i % 5;
        for (const char* s : {"open", "high", "low"}) chart.AddALL(s, v.data(), n, false);
        chart.AddALL("close", v.data(), n, true);
    }
};

TEST_F(FeedTest, ReloadSnapsToTheLastBars) {
    Feed(500);
    EXPECT_EQ(chart.FLeftBar(), 441);
    EXPECT_EQ(chart.BarCount(), 500);
    EXPECT_EQ(chart.GetLast("close"), 10 + 499 % 5);
}

TEST_F(FeedTest, ReplacingKeepsTheViewAppendingJumpsToTheEnd) {
    Feed(500);
    chart.SetLeftBar(100);
    chart.AddONE("close", 99, false, true);
    EXPECT_EQ(chart.FLeftBar(), 100);
    EXPECT_EQ(chart.GetLast("close"), 99);
    for (const char* s : {"open", "high", "low"}) chart.AddONE(s, 12, true, false);
    chart.AddONE("close", 12, true, true);
    EXPECT_EQ(chart.FLeftBar(), 442);
}

TEST_F(FeedTest, SmartCandleMergesWithinTheFiveMinuteBucket) {
    chart.SetZhouQi(wsMin5);
    EXPECT_EQ(chart.FWEEK(), "5分钟");
    chart.SMartAddCandle(20240102, 931, 10, 11, 9, 10.5, 100, 5, 0, 0);
    chart.SMartAddCandle(20240102, 933, 10.5, 12, 9.5, 11, 200, 8, 0, 0);
    chart.SMartAddCandle(20240102, 936, 11, 11.5, 10.8, 11.2, 50, 2, 0, 0);
    ASSERT_EQ(chart.BarCount(), 2);
    SeriesView high, low, time, open, vol;
    auto& p = *chart.K_Main()->prog;
    ASSERT_TRUE(p.Series("high", high) && p.Series("low", low) && p.Series("time", time) &&
                p.Series("open", open) && p.Series("vol", vol));
    EXPECT_EQ(high.at(0), 12);
    EXPECT_EQ(low.at(0), 9);
    EXPECT_EQ(open.at(0), 10);
    EXPECT_EQ(time.at(0), 933); // the raw time after the merge
    EXPECT_EQ(vol.at(0), 8);    // running totals replace
    EXPECT_EQ(high.at(1), 11.5);
}

TEST_F(FeedTest, CandlesTicksAndTheirCorrection) {
    chart.AddCandle(20240102, 0, 10, 12, 9, 11, 1000, 50, 3, 4);
    chart.AddCandle(20240103, 0, 11, 13, 10, 12, 1100, 60, 3, 4);
    EXPECT_EQ(chart.BarCount(), 2);
    chart.AddTick(931, 5, 50, 11.5);
    chart.AddTick(932, 6, 60, 11.6);
    chart.ReaddCandle(20240103, 0, 11, 14, 10, 13.5, 1200, 70, 3, 4);
    EXPECT_EQ(chart.BarCount(), 2);
    EXPECT_EQ(chart.GetLast("close"), 13.5);
    EXPECT_EQ(chart.GetLast("advance"), 3);
    EXPECT_EQ(chart.FS_GetLast("close"), 13.5);
    EXPECT_EQ(chart.FS_GetLast("time"), 0);
    EXPECT_EQ(chart.FS_Main()->prog->DataLen(), 2);
}

TEST_F(FeedTest, PeriodTickSlotsAndTickLists) {
    chart.SetZhouQi(wsWeek);
    EXPECT_EQ(chart.FWEEK(), "周线");
    for (ChartWindow* w : chart.GS()) EXPECT_EQ(w->ZhouQi, wsWeek);
    EXPECT_EQ(chart.FS_VOL()->ZhouQi, wsWeek);
    chart.SetFsCount(50);
    EXPECT_EQ(chart.fsCount(), 100);
    EXPECT_EQ(chart.FS_VOL()->FfsCount, 100);
    std::vector<TTDX_DEALInfo> a(2500), b(300);
    a[0].time = 1;
    b[0].time = 2;
    chart.SetFenBi(a.data(), 2500);
    chart.SetFenBi(b.data(), 300);
    ASSERT_EQ(chart.Fenbi().size(), 2800u);
    EXPECT_EQ(chart.Fenbi()[0].time, 2);
    EXPECT_EQ(chart.Fenbi()[300].time, 1);
    chart.SetFenBi(a.data(), 10);
    EXPECT_EQ(chart.Fenbi().size(), 10u);
    chart.SetFenBi(nullptr, -5); // nothing to copy
}

TEST_F(FeedTest, QuoteRecordsGuardTheirDivisions) {
    TTDX_PKBASE q;
    q.prize = 10;
    q.last = 0;
    q.lowest = 0;
    chart.SetDynainfo(q);
    EXPECT_EQ(chart.DYNAINFO()[14], 0);
    EXPECT_EQ(chart.DYNAINFO()[13], 0);
    q.last = 8;
    q.lowest = 5;
    q.highest = 6;
    chart.SetDynainfo(q);
    EXPECT_FLOAT_EQ(chart.DYNAINFO()[14], 25);
    EXPECT_FLOAT_EQ(chart.DYNAINFO()[13], 0.2f);
    chart.ClearData();
    EXPECT_EQ(chart.DYNAINFO()[7], 0);
}

TEST_F(FeedTest, PriceAdjustmentHoldsAfterAReload) {
    // Ten shares for ten on the 20th day: the closes of 10 before it become 5.
    TStockQuan bonus;
    bonus.Mode = 1;
    bonus.date = 20200121;
    bonus.Number = 10;
    auto load = [&] {
        chart.SetQuan({bonus});
        std::vector<double> date(40), price(40, 10);
        for (int i = 0; i < 40; ++i) date[static_cast<size_t>(i)] = 20200101 + i;
        chart.AddALL("date", date.data(), 40, false);
        for (const char* s : {"open", "high", "low"}) chart.AddALL(s, price.data(), 40, false);
        chart.AddALL("close", price.data(), 40, true);
    };
    load();
    chart.SetQuanStyle(qsBefore);
    SeriesView close;
    ASSERT_TRUE(chart.K_Main()->prog->Series("close", close));
    EXPECT_DOUBLE_EQ(close.at(0), 5.0);
    EXPECT_DOUBLE_EQ(close.last(), 10.0);
    chart.ClearData();
    load();
    ASSERT_TRUE(chart.K_Main()->prog->Series("close", close));
    EXPECT_DOUBLE_EQ(close.at(0), 5.0);
    EXPECT_DOUBLE_EQ(close.last(), 10.0);
}

TEST(ShowPeriodBars, NewestBarsOpenOnlyAndTheTrueClose) {
    TGP chart;
    chart.SetSize(400, 300);
    chart.UseMainWindowSettings();
    Tstock store;
    auto& day = store.DMP[wsDay].value;
    day.resize(60000);
    for (int i = 0; i < 60000; ++i) {
        Price& p = day[static_cast<size_t>(i)];
        p.Srq = "20200101";
        p.Spk = i;
        p.Spg = i + 2;
        p.Spd = i - 1;
        p.Sps = i + 1;
        p.Scjl = 7;
    }
    chart.ClearData();
    EXPECT_EQ(ShowPeriodBars(chart, store, true), 60000.0);
    EXPECT_EQ(chart.BarCount(), 49000);
    EXPECT_EQ(chart.GetLast("close"), 59999);
    EXPECT_EQ(chart.GetLast("high"), 59999);
    EXPECT_EQ(chart.GetLast("low"), 59999);
    EXPECT_EQ(chart.GetLast("date"), 20200101);
    EXPECT_EQ(chart.GetLastDate(), "20200101");
    EXPECT_EQ(chart.FWEEK(), "日线");
    // A period the store keeps no cache for: nothing changes.
    chart.SetZhouQi(wsFenBi);
    EXPECT_EQ(ShowPeriodBars(chart, store, false), kInvalidValue);
    EXPECT_EQ(chart.BarCount(), 49000);
}

TEST(MultiPeriod, PeriodsAndCellsOfTheGrid) {
    const TWeekStyle daily[] = {wsDay, wsWeek, wsMonth, wsDay45, wsJi, wsYear, wsFenBi, wsNone};
    for (int k = 0; k < 8; ++k) EXPECT_EQ(MultiPeriodOf(k, false), daily[k]);
    EXPECT_EQ(MultiPeriodOf(8, false, wsDay), wsDay);
    for (int k = 0; k < 9; ++k) EXPECT_EQ(MultiPeriodOf(k, true), static_cast<TWeekStyle>(k));
    EXPECT_EQ(MultiPeriodCell(4, 1, 1, 737, 415), QRect(368, 207, 368, 207));
    EXPECT_EQ(MultiPeriodCell(6, 2, 1, 737, 415), QRect(490, 207, 245, 207));
    EXPECT_EQ(MultiPeriodCell(9, 2, 2, 737, 415), QRect(490, 276, 245, 138));
    QTemporaryDir dir;
    QFile zb(dir.filePath("1.ZB"));
    ASSERT_TRUE(zb.open(QIODevice::WriteOnly));
    zb.write("TECHNAME:=MYVOL;\r\nV1:VOL;\r\n");
    zb.close();
    TfrmDzq dzq({}, 3, dir.path().toStdString());
    EXPECT_NE(dzq.charts[0]->GS()[1]->prog->ProgText().find("MYVOL"), std::string::npos);
    dzq.AssignPeriods(false);
    EXPECT_EQ(dzq.charts[6]->FWEEK(), "分笔线");
    dzq.RePosition(737, 415);
    EXPECT_EQ(dzq.charts[4]->Width(), 368);
    Tstock store;
    store.DMP[wsWeek].value.resize(3);
    dzq.drawdzq(store, false);
    EXPECT_EQ(dzq.charts[1]->BarCount(), 3);
    EXPECT_EQ(dzq.charts[0]->BarCount(), 0);
    auto menu = TfrmDzq::MenuCaptions();
    ASSERT_EQ(menu.size(), 29u);
    EXPECT_EQ(menu[0], "1分钟");
    EXPECT_EQ(menu[12], "年线");
    EXPECT_TRUE(dzq.MenuCommand(0, "周线", store, false, 737, 415)); // chart 0 now shows weeks
    EXPECT_EQ(dzq.charts[0]->BarCount(), 3);
    EXPECT_TRUE(dzq.MenuCommand(0, "九图", store, false, 737, 415));
    EXPECT_EQ(dzq.layoutCount, 9);
    EXPECT_EQ(dzq.charts[8]->Height(), 138);
    EXPECT_FALSE(dzq.MenuCommand(0, "删除窗口", store, false, 737, 415));
    EXPECT_FALSE(dzq.MenuCommand(9, "周线", store, false, 737, 415));
}

} // namespace
} // namespace vantor

namespace vantor {
namespace {

// A replay step hands over only the newest bars; the chart must then hold and show exactly
// what a full reload of the same bars gives, through partial bars, bars shown by their open
// and steps back.
TEST(ShowPeriodBars, StepsEqualFullReloads) {
    Tstock store;
    store.fileName = VANTOR_SAMPLE_DIR "/mindata/IFL8.txt";
    store.startrow = 0;
    store.setLastrow(299);
    ASSERT_TRUE(store.loaddata());
    auto prepare = [](TGP& c) {
        c.SetSize(640, 480);
        c.UseMainWindowSettings();
        c.SetTechWindows(3);
        c.ClearData();
        c.SetZhouQi(wsMin5);
    };
    TGP stepped, fresh;
    prepare(stepped);
    prepare(fresh);
    ShowPeriodBars(stepped, store, false);
    const int renders = stepped.RepaintCount();
    Price bar;
    for (int i = 0; i < 120; ++i) {
        if (i % 17 == 16) {
            store.Pri(bar);
        } else {
            store.Next(bar);
        }
        const bool openOnly = i % 3 == 0;
        ShowPeriodBars(stepped, store, openOnly);
        if (i % 6 != 0 && i != 119) continue;
        fresh.ClearData();
        ShowPeriodBars(fresh, store, openOnly);
        ASSERT_EQ(stepped.BarCount(), fresh.BarCount()) << i;
        for (const char* name : {"open", "high", "low", "close", "vol", "date", "time"})
            ASSERT_EQ(stepped.GetLast(name), fresh.GetLast(name)) << name << " at step " << i;
        ASSERT_TRUE(stepped.Image() == fresh.Image()) << "images differ at step " << i;
    }
    EXPECT_GT(stepped.RepaintCount(), renders);
}

} // namespace
} // namespace vantor
