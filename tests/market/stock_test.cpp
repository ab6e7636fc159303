#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "market/period_stamp.h"
#include "market/stock.h"
#include "temp_dir.h"

namespace vantor {
namespace {

// Writes data files into a fresh temporary folder of its own for one test.
class StoreTest : public ::testing::Test {
protected:
    std::string Write(const std::vector<std::string>& lines, const char* name = "bars.txt") {
        auto path = dir.file(name);
        std::ofstream out(path);
        for (auto& l : lines) out << l << "\n";
        return path;
    }

    // Minute bars of one day from hh:mm, one per minute, close = open = index.
    static std::vector<std::string> Minutes(int date, int hhmm, int count) {
        std::vector<std::string> lines;
        int h = hhmm / 100, m = hhmm % 100;
        for (int i = 0; i < count; ++i) {
            char buf[128];
            std::snprintf(buf, sizeof buf, "%d,%02d%02d,%d,%d,%d,%d,1,2", date, h, m, 100 + i,
                          105 + i, 95 + i, 101 + i);
            lines.push_back(buf);
            if (++m == 60) m = 0, ++h;
        }
        return lines;
    }

    void Load(Tstock& s, const std::string& path, int start, int last) {
        s.fileName = path;
        s.startrow = start;
        s.setLastrow(last);
        ASSERT_TRUE(s.loaddata());
    }

    static std::vector<std::string> Labels(const Tstock& s, TWeekStyle w) {
        std::vector<std::string> out;
        for (auto& b : s.Cache(w).value) out.push_back(b.Srq.str() + " " + b.Ssj.str());
        return out;
    }

    test::TempDir dir;
};

TEST_F(StoreTest, MinuteBarsAggregateIntoPeriods) {
    // 9:31 .. 10:05; the lowest low of 9:31..9:33 is 9:32's
    auto lines = Minutes(20150310, 931, 35);
    lines[1] = "20150310,0932,101,106,90,102,1,2";
    Tstock s;
    Load(s, Write(lines), 0, 34);
    EXPECT_EQ(s.nIndex, 34);
    EXPECT_EQ(s.Cache(wsmin1).value.size(), 35u);
    auto m3 = Labels(s, wsMin3);
    ASSERT_GE(m3.size(), 2u);
    EXPECT_EQ(m3[0], "20150310 0933"); // 9:31..9:33
    EXPECT_EQ(m3[1], "20150310 0936"); // started by 9:34
    const Price& first3 = s.Cache(wsMin3).value[0];
    EXPECT_EQ(first3.Spk, 100); // open of 9:31
    EXPECT_EQ(first3.Sps, 103); // close of 9:33
    EXPECT_EQ(first3.Spg, 107); // highest high
    EXPECT_EQ(first3.Spd, 90);  // lowest low
    EXPECT_EQ(first3.Scjl, 3);
    EXPECT_EQ(first3.Scje, 6);
    auto m5 = Labels(s, wsMin5);
    // 9:56..10:00 form the bar labelled 1000; 10:01 starts 1005
    EXPECT_EQ(m5, (std::vector<std::string>{"20150310 0935", "20150310 0940", "20150310 0945",
                                            "20150310 0950", "20150310 0955", "20150310 1000",
                                            "20150310 1005"}));
    EXPECT_EQ(s.Cache(wsMin5).value[5].Scjl, 5);
    EXPECT_EQ(Labels(s, wsDay), (std::vector<std::string>{"20150310 0000"}));
    EXPECT_EQ(Labels(s, wsJi), (std::vector<std::string>{"20150331 2359"}));
}

TEST_F(StoreTest, IntradayLabelsFollowTheStampsAcrossMidnight) {
    // The last minutes of a year and of a leap February, where a bar ending at the next full
    // hour ends on the next day.
    std::vector<std::pair<int, int>> moments; // date, hhmm
    for (int m = 50; m <= 59; ++m) moments.push_back({20151231, 2300 + m});
    for (int m = 0; m <= 7; ++m) moments.push_back({20160101, m});
    for (int m = 57; m <= 59; ++m) moments.push_back({20160229, 2300 + m});
    for (int m = 0; m <= 2; ++m) moments.push_back({20160301, m});
    std::vector<std::string> lines;
    for (auto [date, time] : moments) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%d,%04d,1,2,0.5,1,1,1", date, time);
        lines.push_back(buf);
    }
    Tstock s;
    Load(s, Write(lines), 0, static_cast<int>(lines.size()) - 1);
    for (TWeekStyle w : {wsmin1, wsMin3, wsMin5, wsmin10, wsMin15, wsMin30, wsMin60}) {
        // The label of each stamp, one cache bar for each run of equal labels.
        std::vector<std::string> want;
        for (auto [date, time] : moments) {
            ShortStr d, t;
            StampLabel(*GetPeriodStamp(w, time, date), d, t);
            std::string label = d.str() + " " + t.str();
            if (want.empty() || want.back() != label) want.push_back(label);
        }
        EXPECT_EQ(Labels(s, w), want) << PeriodCaption(w);
        const int n = static_cast<int>(want.size());
        std::vector<double> dates(n), times(n);
        s.CacheDateTime(w, 0, n, dates.data(), times.data());
        for (int k = 0; k < n; ++k) {
            char label[32];
            std::snprintf(label, sizeof label, "%.0f %04.0f", dates[k], times[k]);
            EXPECT_EQ(label, want[k]) << PeriodCaption(w);
        }
    }
    EXPECT_EQ(Labels(s, wsMin60)[0], "20160101 0000"); // 23:50 .. 00:00 end at midnight
}

TEST_F(StoreTest, DayBarsGroupIntoWeeksAndQuarters) {
    std::vector<std::string> lines;
    for (int d : {20150309, 20150310, 20150311, 20150312, 20150313, 20150316, 20150701, 20150820,
                  20151030, 20151102})
        lines.push_back(std::to_string(d) + ",1,2,0.5,1.5,10,20");
    Tstock s;
    Load(s, Write(lines), 0, static_cast<int>(lines.size()) - 1);
    auto weeks = Labels(s, wsWeek);
    ASSERT_GE(weeks.size(), 2u);
    EXPECT_EQ(weeks[0], "20150313 0000");
    EXPECT_EQ(weeks[1], "20150320 0000");
    EXPECT_EQ(s.Cache(wsWeek).value[0].Scjl, 50);
    EXPECT_EQ(Labels(s, wsJi),
              (std::vector<std::string>{"20150331 2359", "20151031 2359", "20151231 2359"}));
    EXPECT_EQ(s.Cache(wsJi).value[1].Scjl, 30); // July, August, October together
    // each day is its own bar in the one-minute cache (an empty time counts as 00:00)
    EXPECT_EQ(s.Cache(wsmin1).value.size(), lines.size());
}

TEST_F(StoreTest, MalformedLinesAreReportedOncePerStore) {
    std::vector<std::string> messages;
    Tstock s;
    Host host{[&](const std::string& m) { messages.push_back(m); }, {}};
    s.host = &host;
    auto lines = Minutes(20150310, 931, 5);
    lines[2] = "20150310,0933,1,2";
    lines[4] = "garbage";
    Load(s, Write(lines), 0, 4);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "数据格式不合法，请检查数据文件格式！当前行：2");
    // the malformed bars have no date and are left out of the caches
    EXPECT_EQ(s.fcount, 5);
    EXPECT_EQ(s.Cache(wsmin1).value.size(), 3u);
    Load(s, Write({"bad"}, "other.txt"), 0, 0);
    EXPECT_EQ(messages.size(), 1u);
}

TEST_F(StoreTest, LineEndsOfTheFile) {
    const std::string a = "20150310,0931,1,2,0.5,1,1,1", b = "20150310,0932,1,2,0.5,1,1,1";
    const struct {
        const char* what;
        std::string text;
        int bars;
        const char* lastTime; // of the last bar; a malformed line leaves it empty
        const char* message;  // "" when no line is malformed
    } cases[] = {
        {"CRLF", a + "\r\n" + b + "\r\n", 2, "0932", ""},
        {"no final line end", a + "\n" + b, 2, "0932", ""},
        {"blank line in the middle", a + "\n\n" + b + "\n", 3, "0932", "当前行：1"},
        {"blank last line", a + "\n" + b + "\n\r\n", 3, "", "当前行：2"},
        {"empty file", "", 0, "", ""},
    };
    for (const auto& c : cases) {
        std::vector<std::string> messages;
        Host host{[&](const std::string& m) { messages.push_back(m); }, {}};
        Tstock s;
        s.host = &host;
        s.fileName = dir.file("ends.txt");
        std::ofstream(s.fileName, std::ios::binary) << c.text;
        ASSERT_TRUE(s.loaddata()) << c.what;
        EXPECT_EQ(s.fcount, c.bars) << c.what;
        EXPECT_EQ(static_cast<int>(s.lines.size()), c.bars) << c.what;
        if (c.bars > 0) {
            EXPECT_EQ(s.lines[0], a) << c.what;
            EXPECT_EQ(s.Fp[0].Ssj.str(), "0931") << c.what;
            EXPECT_EQ(s.Fp[c.bars - 1].Ssj.str(), c.lastTime) << c.what;
        }
        if (c.message[0]) {
            ASSERT_EQ(messages.size(), 1u) << c.what;
            EXPECT_EQ(messages[0], std::string("数据格式不合法，请检查数据文件格式！") + c.message)
                << c.what;
        } else {
            EXPECT_TRUE(messages.empty()) << c.what;
        }
    }
}

TEST_F(StoreTest, EveryCacheGroupsTheBarsByTheirStamps) {
    // Dates that come back after another day or after a bad date, a date written in other
    // digits, minutes before midnight and a bad time: each cache holds one bar per run of
    // equal stamps, labelled with the stamp, whatever the bars before it were.
    const std::vector<std::string> lines = {
        "20150310,0931,1,2,0.5,1,1,1",    "20150310,0932,1,2,0.5,1,2,1",
        "20150311,0931,1,2,0.5,1,4,1",    "20150310,0933,1,2,0.5,1,8,1",
        "20150230,0931,1,2,0.5,1,16,1",   "20150310,0934,1,2,0.5,1,32,1",
        "20150310.0,0935,1,2,0.5,1,64,1", "020150311,2359,1,2,0.5,1,128,1",
        "20150312,2358,1,2,0.5,1,256,1",  "20150313,0000,1,2,0.5,1,512,1",
        "20150313,2501,1,2,0.5,1,1024,1", "20150316,1,2,0.5,1,2048,1"};
    Tstock s;
    Load(s, Write(lines), 0, static_cast<int>(lines.size()) - 1);
    for (int i = 0; i < kCachedPeriods; ++i) {
        const auto w = static_cast<TWeekStyle>(i);
        std::vector<std::string> labels;
        std::vector<double> volumes;
        double last = 0;
        for (const Price& bar : s.Fp) {
            auto stamp = GetPeriodStamp(w, BarTimeNumber(bar.Ssj), BarDateNumber(bar.Srq));
            if (!stamp) continue;
            if (labels.empty() || std::fabs(*stamp - last) >= PeriodThreshold(w)) {
                ShortStr d, t;
                StampLabel(*stamp, d, t);
                labels.push_back(d.str() + " " + t.str());
                volumes.push_back(0);
                last = *EncodeBarTime(BarTimeNumber(t), BarDateNumber(d));
            }
            volumes.back() += bar.Scjl;
        }
        EXPECT_EQ(Labels(s, w), labels) << PeriodCaption(w);
        std::vector<double> got;
        for (const Price& b : s.Cache(w).value) got.push_back(b.Scjl);
        EXPECT_EQ(got, volumes) << PeriodCaption(w);
    }
}

TEST_F(StoreTest, BadDatesAndTimesAreLeftOutOfTheCaches) {
    Tstock s;
    Load(s,
         Write({"20150230,0931,1,2,0.5,1,1,1", "20150310,2500,1,2,0.5,1,1,1",
                "20150310,0931,1,2,0.5,1,1,1"}),
         0, 2);
    EXPECT_EQ(s.Cache(wsmin1).value.size(), 1u);
    EXPECT_EQ(s.Cache(wsDay).value.size(), 1u); // hour 25 still has a day
    EXPECT_EQ(s.Cache(wsDay).value[0].Scjl, 2);
}

TEST_F(StoreTest, LastRowBeyondTheFileLeavesTheCachesEmpty) {
    Tstock s;
    s.nIndex = 7;
    Load(s, Write(Minutes(20150310, 931, 5)), 0, 9);
    EXPECT_TRUE(s.Cache(wsmin1).value.empty());
    EXPECT_EQ(s.nIndex, 7);
}

TEST_F(StoreTest, RandomWindowStaysInsideTheFile) {
    const struct {
        int lines;
        int lo, hi;      // what the random source returns: the lowest or the highest
        int start, last; // expected rows
    } cases[] = {
        {10, 0, 0, 0, 0},     {10, 1, 1, 8, 9}, {1000, 1, 1, 998, 999},
        {1000, 0, 1, 0, 499}, {1, 0, 0, 0, 0},  {1, 1, 1, 0, 0},
    };
    for (const auto& c : cases) {
        Tstock s;
        std::vector<std::pair<int, int>> asked;
        int call = 0;
        s.random = [&](int lo, int hi) {
            asked.push_back({lo, hi});
            EXPECT_LE(lo, hi);
            return (call++ == 0 ? c.lo : c.hi) ? hi : lo;
        };
        s.fileName = Write(Minutes(20150310, 0, c.lines));
        ASSERT_TRUE(s.sjload());
        EXPECT_EQ(s.startrow, c.start) << c.lines;
        EXPECT_EQ(s.lastrow(), c.last) << c.lines;
        EXPECT_EQ(s.nIndex, c.last);
        EXPECT_EQ(static_cast<int>(s.Cache(wsmin1).value.size()), c.last - c.start + 1);
        ASSERT_EQ(asked.size(), 2u);
        EXPECT_EQ(asked[0].second, std::max(0, c.lines - 2));
    }
    Tstock empty;
    empty.random = [](int, int) -> int {
        ADD_FAILURE() << "no random choice on an empty file";
        return 0;
    };
    empty.fileName = Write({}, "empty.txt");
    ASSERT_TRUE(empty.sjload());
    EXPECT_EQ(empty.fcount, 0);
    EXPECT_TRUE(empty.Cache(wsmin1).value.empty());
}

TEST_F(StoreTest, ReCalRebuildsFromTheFirstBar) {
    Tstock s;
    Load(s, Write(Minutes(20150310, 931, 20)), 5, 15);
    s.nIndex = 9;
    s.ReCal(wsMin5);
    EXPECT_EQ(s.speriod, wsMin5);
    EXPECT_EQ(s.Cache(wsmin1).value.size(), 10u); // rows 0..9, nothing after the position
    EXPECT_EQ(s.Cache(wsmin1).value.back().Ssj.str(), "0940");
    EXPECT_EQ(s.startrow, 5);
    s.nIndex = -1;
    s.ReCal(wsmin1);
    EXPECT_TRUE(s.Cache(wsmin1).value.empty());
}

TEST_F(StoreTest, MissingFileFails) {
    Tstock s;
    s.fileName = dir.file("nope.txt");
    EXPECT_FALSE(s.loaddata());
    EXPECT_EQ(s.fcount, 0);
}

TEST_F(StoreTest, RegroupingByCountAndByStamp) {
    auto lines = Minutes(20150310, 931, 12);
    lines[1] = "20150310,0932,101,106,90,102,1,2"; // the lowest low of 9:31..9:35
    lines[6] = "20150310,0937,106,111,80,107,1,2"; // and of 9:36..9:40
    Tstock s;
    auto path = Write(lines);
    Load(s, path, 0, 11);
    s.Reloaddata(0); // a period of 0 does nothing
    EXPECT_EQ(s.fcount, 12);
    s.Reloaddata(5);
    ASSERT_EQ(s.fcount, 3); // 5 + 5 + 2 lines
    EXPECT_EQ(s.Fp[0].Spk, 100);
    EXPECT_EQ(s.Fp[0].Sps, 105);
    EXPECT_EQ(s.Fp[0].Spg, 109);
    EXPECT_EQ(s.Fp[0].Spd, 90); // the group's lowest low, not a fixed start value
    EXPECT_EQ(s.Fp[1].Spd, 80);
    EXPECT_EQ(s.Fp[2].Spd, 105); // low of the last group's first bar
    EXPECT_EQ(s.Fp[2].Spk, 110);
    EXPECT_EQ(s.Fp[2].Ssj.str(), "0942");
    EXPECT_EQ(s.Fp[2].Scjl, 2);

    Tstock p;
    Load(p, path, 0, 11);
    p.speriod = wsMin5;
    p.Reloaddatap(); // lines 0..10 by 5-minute stamp
    ASSERT_EQ(p.fcount, 3);
    EXPECT_EQ(p.Fp[0].Ssj.str(), "0935");
    EXPECT_EQ(p.Fp[0].Scjl, 5);
    EXPECT_EQ(p.Fp[0].Spd, 90);
    EXPECT_EQ(p.Fp[1].Spd, 80);
    EXPECT_EQ(p.Fp[2].Scjl, 1);
    EXPECT_EQ(p.lastrow(), 10);

    Tstock r;
    Load(r, path, 0, 0);
    r.Readd(1, 99);
    EXPECT_EQ(r.lastrow(), 11);
    EXPECT_EQ(r.Cache(wsmin1).value.size(), 12u);
}

TEST_F(StoreTest, LastrowWriteRules) {
    Tstock s;
    s.startrow = -3;
    s.setLastrow(-1);
    EXPECT_EQ(s.startrow, 0);
    EXPECT_EQ(s.lastrow(), 0);
    s.startrow = 5;
    s.setLastrow(3);
    EXPECT_EQ(s.lastrow(), 5);
    s.setLastrow(70000); // not limited by the file: the load checks it
    EXPECT_EQ(s.lastrow(), 70000);
    EXPECT_EQ(s.ShowCount(), 69996);
}

} // namespace
} // namespace vantor
