#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "account/numbers.h"
#include "journal/journal_stats.h"
#include "journal_fixture.h"

namespace vantor::test {
namespace {

using Figures = std::vector<std::pair<std::string, std::string>>;

// Ten round trips with fees of 5 on each side: results 100, 50, -40, -60, -20, 200, -10, 30,
// -50, 80 (a losing run of three), and the equity after each close starting from 10000. The
// curve peaks at 10130, falls to 9980 (150, 1.48 %) and recovers to a new peak of 10170.
TEST_F(JournalTest, FiguresOfTenRoundTrips) {
    const int results[] = {100, 50, -40, -60, -20, 200, -10, 30, -50, 80};
    double equity = 10000;
    ASSERT_TRUE(journal.InsertEquityPoint({"0", Fixed2(equity), "demo", "t", NewRowId()}));
    int no = 1;
    for (int r : results) {
        ASSERT_TRUE(journal.InsertTrade(Trade("demo", no % 2 ? "多开" : "空开", "0")));
        ASSERT_TRUE(journal.InsertTrade(
            Trade("demo", no % 2 ? "多平" : "空平", std::to_string(r) + ".00")));
        equity += r - 10;
        ASSERT_TRUE(journal.InsertEquityPoint(
            {std::to_string(no++), Fixed2(equity), "demo", "t", NewRowId()}));
    }
    ASSERT_TRUE(journal.InsertTrade(Trade("other", "多平", "-999.00")));

    std::vector<JournalEntry> rows;
    ASSERT_TRUE(journal.ReadJournal("demo", rows));
    JournalStats s;
    ASSERT_TRUE(journal.ReadStats("demo", rows, s)) << journal.sError;
    EXPECT_EQ(StatsFigures(s), (Figures{{"平仓次数", "10"},
                                        {"胜率", "50.00%"},
                                        {"平均盈利", "92.00"},
                                        {"平均亏损", "-36.00"},
                                        {"盈亏比", "2.56"},
                                        {"期望值", "28.00"},
                                        {"最大连续亏损", "3"},
                                        {"最大回撤", "150.00"},
                                        {"最大回撤率", "1.48%"},
                                        {"扣除手续费净利", "180.00"}}));
    EXPECT_EQ(StatsText(s).substr(0, StatsText(s).find("\r\n", 14)),
              "扩展统计\r\n平仓次数：10      胜率：50.00%");
}

TEST(JournalStats, FiguresWithoutAnythingToDivide) {
    struct Case {
        const char* what;
        std::vector<std::pair<const char*, const char*>> trades; // direction, result
        Figures expected;                                        // the figures checked
    };
    const Case cases[] = {
        {"openings only",
         {{"多开", "0"}, {"空开", "0"}},
         {{"平仓次数", "0"}, {"胜率", "—"}, {"平均盈利", "—"}, {"盈亏比", "—"}, {"期望值", "—"}}},
        {"wins only",
         {{"多平", "10"}, {"空平", "30"}},
         {{"胜率", "100.00%"}, {"平均亏损", "—"}, {"盈亏比", "—"}, {"最大连续亏损", "0"}}},
        {"a flat close ends a losing run",
         {{"多平", "-1"}, {"多平", "-1"}, {"多平", "0"}, {"多平", "-1"}},
         {{"平仓次数", "4"}, {"胜率", "0.00%"}, {"最大连续亏损", "2"}, {"平均亏损", "-1.00"}}},
    };
    for (const Case& c : cases) {
        std::vector<JournalEntry> rows;
        for (auto [direction, result] : c.trades) {
            JournalEntry e;
            e.values[2] = direction;
            e.values[6] = "5";
            e.values[7] = result;
            rows.push_back(e);
        }
        const Figures all = StatsFigures(ComputeStats(rows, {}));
        for (const auto& figure : c.expected)
            EXPECT_NE(std::find(all.begin(), all.end(), figure), all.end())
                << c.what << ": " << figure.first << " " << figure.second;
    }
}

// Rows a damaged or hand-edited journal may hold: a word as a result and two results at the
// largest whole number. The list still shows every row and the figures say what they can.
TEST_F(JournalTest, UnreadableAndHugeResultsKeepTheList) {
    ASSERT_TRUE(journal.InsertTrade(Trade("demo", "多平", "120.00")));
    ASSERT_TRUE(journal.InsertTrade(Trade("demo", "多平", "abc")));
    std::vector<JournalEntry> rows;
    std::string memo;
    ASSERT_TRUE(journal.RefreshJournal("demo", rows, memo)) << journal.sError;
    EXPECT_EQ(rows.size(), 2u);
    // The word counts neither as the largest result nor as a win.
    EXPECT_NE(memo.find("单次最大盈利:  120\r\n"), std::string::npos) << memo;
    EXPECT_NE(memo.find("盈利次数：1    亏损次数：0"), std::string::npos) << memo;
    JournalStats s;
    ASSERT_TRUE(journal.ReadStats("demo", rows, s));
    EXPECT_EQ(s.closed, 1);
    EXPECT_EQ(s.unreadable, 1);
    EXPECT_EQ(StatsFigures(s).back(), (std::pair<std::string, std::string>{"无法计入的记录", "1"}));

    ASSERT_TRUE(journal.InsertTrade(Trade("big", "多平", "9223372036854775807", "0")));
    ASSERT_TRUE(journal.InsertTrade(Trade("big", "多平", "9223372036854775807", "0")));
    ASSERT_TRUE(journal.RefreshJournal("big", rows, memo)) << journal.sError;
    EXPECT_EQ(rows.size(), 2u);
    EXPECT_NE(memo.find("盈利总额：     1.84467440737096e+19"), std::string::npos) << memo;
    EXPECT_NE(memo.find("单次最大盈利:  9223372036854775807"), std::string::npos) << memo;
    ASSERT_TRUE(journal.ReadStats("big", rows, s));
    EXPECT_EQ(s.wins, 2);
}

// A journal that cannot be read fails with one message naming the file.
TEST(JournalFile, ReadErrorsNameTheFile) {
    struct Case {
        const char* what;
        std::function<void(const std::string& file)> spoil;
        const char* reason;
    };
    SqlDatabase locker; // holds the lock of the "locked" case while it is read
    const Case cases[] = {
        {"missing table",
         [](const std::string& f) {
             SqlDatabase db;
             ASSERT_TRUE(db.Open(f, SqlDatabase::Mode::Existing));
             ASSERT_TRUE(db.Exec("drop table Tradelog; drop table property"));
         },
         "no such table"},
        {"not a database",
         [](const std::string& f) {
             std::filesystem::remove(f + "-wal");
             std::filesystem::remove(f + "-shm");
             std::ofstream(f, std::ios::trunc) << std::string(4096, 'x');
         },
         "not a database"},
        {"locked by another program",
         [&](const std::string& f) {
             ASSERT_TRUE(locker.Open(f, SqlDatabase::Mode::Existing));
             ASSERT_TRUE(locker.Exec("PRAGMA journal_mode=DELETE; PRAGMA locking_mode=EXCLUSIVE; "
                                     "BEGIN EXCLUSIVE;"));
         },
         "locked"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        TJournal journal(dir.path());
        ASSERT_TRUE(journal.EnsureDatabase());
        ASSERT_TRUE(journal.InsertTrade(Trade("demo", "多平", "1")));
        c.spoil(journal.path());
        std::vector<JournalEntry> rows;
        std::string memo = "before";
        EXPECT_FALSE(journal.RefreshJournal("demo", rows, memo)) << c.what;
        EXPECT_EQ(memo, "before") << c.what;
        EXPECT_EQ(journal.sError.rfind("无法读取交易日志：" + journal.path() + "\n", 0), 0u)
            << c.what << ": " << journal.sError;
        EXPECT_NE(journal.sError.find(c.reason), std::string::npos) << c.what;
        std::vector<std::pair<double, double>> points;
        EXPECT_FALSE(journal.EquityPoints("demo", points)) << c.what;
        EXPECT_NE(journal.sError.find(journal.path()), std::string::npos) << c.what;
        locker.Close();
    }
}

} // namespace
} // namespace vantor::test
