#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "journal_fixture.h"

namespace vantor::test {
namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// A clock standing at the given local time.
TJournal::Clock LocalTime(int y, int mo, int d, int h, int mi, int s) {
    std::tm tm{};
    tm.tm_year = y - 1900;
    tm.tm_mon = mo - 1;
    tm.tm_mday = d;
    tm.tm_hour = h;
    tm.tm_min = mi;
    tm.tm_sec = s;
    tm.tm_isdst = -1;
    auto t = std::chrono::system_clock::from_time_t(std::mktime(&tm));
    return [t] { return t; };
}

TEST_F(JournalTest, StatisticsOfTheAccount) {
    ASSERT_TRUE(journal.InsertTrade(Trade("demo", "多开", "0")));
    ASSERT_TRUE(journal.InsertTrade(Trade("demo", "多平", "120.00")));
    ASSERT_TRUE(journal.InsertTrade(Trade("demo", "空开", "0")));
    ASSERT_TRUE(journal.InsertTrade(Trade("demo", "空平", "-30.00")));
    ASSERT_TRUE(journal.InsertTrade(Trade("other", "多平", "999.00"))); // another account

    std::vector<JournalEntry> rows;
    std::string memo = "old";
    ASSERT_TRUE(journal.RefreshJournal("demo", rows, memo)) << journal.sError;
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].no, 1);
    EXPECT_EQ(rows[3].no, 4);
    EXPECT_EQ(rows[1].direction(), "多平");
    EXPECT_EQ(rows[1].values[7], "120"); // profit as SQLite keeps it
    EXPECT_EQ(rows[1].values[11], "理由");
    EXPECT_EQ(JournalRowColour(rows[0].direction()), 0x0000FFu);
    EXPECT_EQ(JournalRowColour(rows[1].direction()), 0xFF0000u);
    EXPECT_EQ(memo, "交易统计    \r\n交易次数:      4      单次最大盈利:  120\r\n"
                    "单次最大亏损： -30      盈利总额：     90\r\n"
                    "手续费总额：   20      净盈利：       70\r\n"
                    "盈利次数：1    亏损次数：1");
}

TEST_F(JournalTest, NoTradesKeepsMemo) {
    ASSERT_TRUE(journal.InsertTrade(Trade("other", "多平", "10.00")));
    std::vector<JournalEntry> rows(3);
    std::string memo = "earlier text";
    ASSERT_TRUE(journal.RefreshJournal("demo", rows, memo));
    EXPECT_TRUE(rows.empty());
    EXPECT_EQ(memo, "earlier text");
}

TEST_F(JournalTest, EquityPointsInNumericOrder) {
    SqlDatabase db;
    ASSERT_TRUE(db.Open(file(), SqlDatabase::Mode::Existing));
    for (auto [no, value] : {std::pair{"2", "10000.00"}, {"10", "10500.50"}, {"11", "abc"}})
        ASSERT_TRUE(
            db.Run("INSERT INTO property VALUES (?,?,'demo','t',?)", {no, value, NewRowId()}));
    ASSERT_TRUE(db.Run("INSERT INTO property VALUES ('3','1','other','t','X')"));
    db.Close();
    std::vector<std::pair<double, double>> points;
    ASSERT_TRUE(journal.EquityPoints("demo", points));
    EXPECT_EQ(points, (std::vector<std::pair<double, double>>{{2, 10000}, {10, 10500.5}, {11, 0}}));
}

TEST_F(JournalTest, ExportWritesTabSeparatedFile) {
    ASSERT_TRUE(journal.InsertTrade(Trade("demo", "多开", "0")));
    ASSERT_TRUE(journal.InsertTrade(Trade("demo", "多平", "120.00")));
    std::vector<std::string> messages;
    journal.host.message = [&](const std::string& t) { messages.push_back(t); };
    journal.clock = LocalTime(2026, 3, 10, 14, 35, 1);
    std::vector<JournalEntry> rows;
    ASSERT_TRUE(journal.ReadJournal("demo", rows));

    std::string written;
    ASSERT_TRUE(journal.ExportJournal("demo", rows, written)) << journal.sError;
    EXPECT_EQ(written, dir.path() + "/Export/demo 20260310 143501.xls");
    EXPECT_EQ(messages, std::vector<std::string>{"日志已经导出到" + written});
    const std::string text = ReadFile(written);
    const std::string header = "\xEF\xBB\xBF序号\t代码\t成交日期\t交易方向\t价格\t成交数量\t金额\t"
                               "手续费\t获利金额\t剩余资金\t时间\t"
                               "图片路径\t\r\n";
    ASSERT_EQ(text.substr(0, header.size()), header);
    const std::string second = "2\tIFL8\t20260310\t多平\t3500.00\t1\t1050.00\t5\t120\t8950\t"
                               "20260310 143501\t" +
                               rows[1].picPath() + "\t理由\r\n";
    EXPECT_EQ(text.substr(text.size() - second.size()), second);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3);

    // A second export within the same second gets a file of its own.
    std::string again;
    ASSERT_TRUE(journal.ExportJournal("demo", {}, again)) << journal.sError;
    EXPECT_EQ(again, dir.path() + "/Export/demo 20260310 143501 (2).xls");
    EXPECT_EQ(ReadFile(written), text);
    EXPECT_EQ(ReadFile(again), "\xEF\xBB\xBF" + header.substr(3));
}

// Names that would leave the export folder or are not allowed in file names are made safe.
TEST_F(JournalTest, ExportFileNameIsSafe) {
    journal.clock = LocalTime(2026, 3, 10, 14, 35, 1);
    const std::pair<const char*, const char*> cases[] = {
        {"../../etc/x", ".._.._etc_x"},
        {"a\\b:c*d?e\"f<g>h|i", "a_b_c_d_e_f_g_h_i"},
        {"tab\there", "tab_here"},
        {"交易员", "交易员"},
    };
    for (auto [name, safe] : cases) {
        std::string written;
        ASSERT_TRUE(journal.ExportJournal(name, {}, written)) << name;
        EXPECT_EQ(written, dir.path() + "/Export/" + safe + " 20260310 143501.xls") << name;
        EXPECT_TRUE(std::filesystem::exists(written)) << name;
    }
}

TEST_F(JournalTest, ExportUsesExistingFolderOfAnyCase) {
    std::filesystem::create_directories(dir.path() + "/export");
    journal.clock = LocalTime(2026, 3, 10, 14, 35, 1);
    std::string written;
    ASSERT_TRUE(journal.ExportJournal("demo", {}, written));
    EXPECT_EQ(written, dir.path() + "/export/demo 20260310 143501.xls");
}

TEST_F(JournalTest, ScreenshotFileBelowProgramFolder) {
    std::filesystem::create_directories(dir.path() + "/LOG");
    std::ofstream(dir.path() + "/LOG/ABC.jpg") << "x";
    EXPECT_EQ(journal.ScreenshotFile("log\\abc.JPG"), dir.path() + "/LOG/ABC.jpg");
    EXPECT_EQ(journal.ScreenshotFile("log\\missing.jpg"), dir.path() + "/LOG/missing.jpg");
    EXPECT_EQ(journal.ScreenshotFile("..\\..\\log\\ABC.jpg"), dir.path() + "/LOG/ABC.jpg");
}

} // namespace
} // namespace vantor::test
