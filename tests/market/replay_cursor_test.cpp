#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "market/stock.h"
#include "temp_dir.h"

namespace vantor {
namespace {

// One-minute bars over two sessions, with distinct prices per bar.
std::vector<std::string> MinuteLines() {
    std::vector<std::string> lines;
    int n = 0;
    for (int date : {20150310, 20150311}) {
        for (int h = 9; h <= 10; ++h) {
            for (int m = (h == 9 ? 31 : 0); m < 60; ++m) {
                char buf[128];
                std::snprintf(buf, sizeof buf, "%d,%02d%02d,%d,%d,%d,%d,%d,0", date, h, m, 100 + n,
                              110 + n % 7, 90 - n % 5, 100 + n % 11, 1 + n % 3);
                lines.push_back(buf);
                ++n;
            }
        }
    }
    return lines;
}

std::vector<std::string> DayLines() {
    std::vector<std::string> lines;
    // two full weeks and the Monday after: 2015-03-09 .. 2015-03-23
    for (int d : {9, 10, 11, 12, 13, 16, 17, 18, 19, 20, 23})
        lines.push_back(std::to_string(20150300 + d) + ",1,2,0.5,1.5,1,0");
    return lines;
}

class CursorTest : public ::testing::Test {
protected:
    void Open(const std::vector<std::string>& lines, int start, int last) {
        path = dir.file("bars.txt");
        std::ofstream out(path);
        for (auto& l : lines) out << l << "\n";
        out.close();
        store.fileName = path;
        store.startrow = start;
        store.setLastrow(last);
        ASSERT_TRUE(store.loaddata());
    }
    // The caches a fresh replay from the start row to `last` gives.
    std::array<NperdPrice, kCachedPeriods> Fresh(int last) {
        Tstock fresh;
        fresh.fileName = path;
        fresh.startrow = store.startrow;
        fresh.setLastrow(last);
        EXPECT_TRUE(fresh.loaddata());
        return fresh.DMP;
    }

    static void ExpectSameCaches(const std::array<NperdPrice, kCachedPeriods>& a,
                                 const std::array<NperdPrice, kCachedPeriods>& b) {
        for (int i = 0; i < kCachedPeriods; ++i) {
            ASSERT_EQ(a[i].value.size(), b[i].value.size()) << "period " << i;
            for (size_t k = 0; k < a[i].value.size(); ++k) {
                const Price &x = a[i].value[k], &y = b[i].value[k];
                EXPECT_TRUE(x.Srq == y.Srq && x.Ssj == y.Ssj && x.Spk == y.Spk && x.Spg == y.Spg &&
                            x.Spd == y.Spd && x.Sps == y.Sps && x.Scjl == y.Scjl &&
                            x.Scje == y.Scje)
                    << "period " << i << " bar " << k;
            }
        }
    }

    std::string LastBase() const { return store.Cache(wsmin1).value.back().Ssj.str(); }

    Tstock store;
    test::TempDir dir;
    std::string path;
};

TEST_F(CursorTest, NextRevealsOneBarAndStopsAtTheEnd) {
    auto lines = MinuteLines();
    Open(lines, 0, 0);
    Price bar;
    ASSERT_TRUE(store.Next(bar));
    EXPECT_EQ(bar.Ssj.str(), "0932");
    EXPECT_EQ(store.nIndex, 1);
    EXPECT_EQ(store.lastrow(), 1);
    ExpectSameCaches(store.DMP, Fresh(1));

    store.nIndex = store.fcount - 1;
    auto before = store.DMP;
    EXPECT_TRUE(store.Blast());
    EXPECT_FALSE(store.Next(bar));
    EXPECT_EQ(store.nIndex, store.fcount - 1);
    ExpectSameCaches(store.DMP, before);
}

TEST_F(CursorTest, NegativePositionRevealsBarZeroFirst) {
    Open(MinuteLines(), 0, 0);
    store.nIndex = -1;
    store.ReCal(wsmin1); // nothing revealed yet
    EXPECT_TRUE(store.Cache(wsmin1).value.empty());
    Price peek;
    ASSERT_TRUE(store.PNext(peek));
    EXPECT_EQ(peek.Ssj.str(), "0931");
    Price bar;
    ASSERT_TRUE(store.Next(bar));
    EXPECT_EQ(store.nIndex, 0);
    EXPECT_EQ(store.Cache(wsmin1).value.size(), 1u);
}

TEST_F(CursorTest, PNextPeeksWithoutMoving) {
    Open(MinuteLines(), 0, 3);
    Price peek;
    ASSERT_TRUE(store.PNext(peek));
    EXPECT_EQ(peek.Ssj.str(), "0935");
    EXPECT_EQ(store.nIndex, 3);
    EXPECT_EQ(store.Cache(wsmin1).value.size(), 4u);
}

TEST_F(CursorTest, NextStepCompletesOrRevealsABarOfThePeriod) {
    const struct {
        int lastRow; // revealed row before the step
        TWeekStyle period;
        const char* until; // time of the last revealed base bar after the step
    } cases[] = {
        {0, wsMin5, "0935"},   // from 9:31: 9:32..9:35, 9:36 starts the next bar
        {4, wsMin5, "0940"},   // 9:35 complete: the whole next bar 9:36..9:40
        {2, wsMin3, "0936"},   // 9:33 complete: 9:34..9:36
        {0, wsMin60, "1000"},  // 9:31 .. 10:00 is the 10:00 bar
        {29, wsMin60, "1059"}, // 10:00 complete: 10:01 .. 10:59 (the day ends there)
    };
    auto lines = MinuteLines();
    for (const auto& c : cases) {
        Open(lines, 0, c.lastRow);
        store.NextStep(c.period);
        EXPECT_EQ(LastBase(), c.until) << c.lastRow << " period " << c.period;
        ExpectSameCaches(store.DMP, Fresh(store.nIndex));
    }
}

TEST_F(CursorTest, NextStepStopsAtTheEndOfTheData) {
    auto lines = MinuteLines();
    Open(lines, 0, static_cast<int>(lines.size()) - 3);
    store.NextStep(wsDay);
    EXPECT_TRUE(store.Blast());
    EXPECT_EQ(store.nIndex, store.fcount - 1);
    store.NextStep(wsDay); // nothing left
    EXPECT_EQ(store.nIndex, store.fcount - 1);
}

TEST_F(CursorTest, NextStepByWeekOnDayBars) {
    Open(DayLines(), 0, 2); // Wednesday 2015-03-11
    store.NextStep(wsWeek);
    EXPECT_EQ(store.Cache(wsmin1).value.back().Srq.str(), "20150313"); // Thursday and Friday
    store.NextStep(wsWeek);
    EXPECT_EQ(store.Cache(wsmin1).value.back().Srq.str(), "20150320"); // the whole next week
    EXPECT_EQ(store.Cache(wsWeek).value.size(), 2u);
}

TEST_F(CursorTest, StepBackEqualsAFreshReplay) {
    auto lines = MinuteLines();
    Open(lines, 3, 40);
    Price bar;
    for (int target : {39, 38, 34, 33, 29}) {
        while (store.nIndex > target) ASSERT_TRUE(store.Pri(bar));
        EXPECT_EQ(store.lastrow(), target);
        ExpectSameCaches(store.DMP, Fresh(target));
        // the next step forward continues the same bars without a duplicate
        ASSERT_TRUE(store.Next(bar));
        ExpectSameCaches(store.DMP, Fresh(target + 1));
        ASSERT_TRUE(store.Pri(bar));
    }
}

TEST_F(CursorTest, StepBackAtTheFirstBarDoesNothing) {
    Open(MinuteLines(), 0, 0);
    Price bar;
    auto before = store.DMP;
    EXPECT_FALSE(store.Pri(bar));
    EXPECT_EQ(store.nIndex, 0);
    ExpectSameCaches(store.DMP, before);
    store.nIndex = -1;
    EXPECT_FALSE(store.Pri(bar));
    EXPECT_EQ(store.nIndex, -1); // never jumps to the end of the data
}

TEST_F(CursorTest, FindsADateByHalving) {
    Open(DayLines(), 0, 0);
    const struct {
        int date;
        bool found;
        int line;
    } cases[] = {{20150309, true, 0},  {20150313, true, 4},  {20150323, true, 10},
                 {20150314, false, 0}, {20150301, false, 0}, {20150324, false, 0}};
    for (const auto& c : cases) {
        store.sdateLine = 0;
        EXPECT_EQ(store.GetInfBydate(c.date), c.found) << c.date;
        EXPECT_EQ(store.pfinddate, c.found);
        if (c.found) {
            EXPECT_EQ(store.sdateLine, c.line) << c.date;
        }
    }
}

TEST_F(CursorTest, NoOperationRevealsBarsAfterThePosition) {
    auto lines = MinuteLines();
    Open(lines, 0, 10);
    Price bar;
    store.NextStep(wsMin15);
    store.Next(bar);
    store.Pri(bar);
    store.NextStep(wsMin30);
    for (int i = 0; i < kCachedPeriods; ++i)
        for (const auto& b : store.DMP[i].value) {
            // every cache bar's close comes from a base bar at or before the position
            bool seen = false;
            for (int r = 0; r <= store.nIndex && !seen; ++r) seen = store.Fp[r].Sps == b.Sps;
            EXPECT_TRUE(seen) << "period " << i;
        }
    ExpectSameCaches(store.DMP, Fresh(store.nIndex));
}

} // namespace
} // namespace vantor
