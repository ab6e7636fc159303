#include <gtest/gtest.h>

#include <fstream>

#include "journal_fixture.h"

namespace vantor::test {
namespace {

TEST_F(JournalTest, FirstStartCreatesTablesAndAccount) {
    auto tables = Select(file(), "select name, sql from sqlite_master where type='table'");
    ASSERT_EQ(tables.size(), 4u);
    EXPECT_EQ(tables[0][0], "property");
    EXPECT_EQ(tables[1][0], "Tradelog");
    EXPECT_EQ(tables[2][0], "TUser");
    EXPECT_EQ(tables[3][0], "TBankStock");
    EXPECT_EQ(tables[1][1],
              "CREATE TABLE \"Tradelog\" (\"SNo\" TEXT,\"sStockName\" TEXT,\"sStockCode\" "
              "TEXT,\"sUserName\" TEXT,\"sfrequency\" TEXT,\"sTradeDirect\" TEXT,\"sDate\" "
              "TEXT,\"sQuantity\" TEXT,\"sPrice\" TEXT,\"sCommission\" NUMERIC,"
              "\"sTradeTurnover\" TEXT,\"sRemain\" NUMERIC,\"sProfit\" NUMERIC,\"sProfitRatio\" "
              "TEXT,\"sInterval\" TEXT,\"sTime\" TEXT,\"sReason\" TEXT,\"sPicPath\" TEXT,"
              "\"sGuid\" TEXT,\"sOther\" TEXT,PRIMARY KEY (\"sGuid\"))");

    ASSERT_TRUE(journal.EnsureAccount("demo")) << journal.sError;
    ASSERT_TRUE(journal.EnsureAccount("demo")); // the second start finds the account
    auto points = Select(file(), "select SNo, sProperty, sUserName, length(sTime), length(SGuid) "
                                 "from property");
    EXPECT_EQ(points, (Table{{"0", "10000.00", "demo", "14", "27"}}));
    auto users = Select(file(), "select * from TUser");
    ASSERT_EQ(users.size(), 1u);
    const auto& u = users[0];
    EXPECT_EQ(u[0], "demo");
    EXPECT_EQ(u[1].size(), 27u);
    EXPECT_EQ(
        std::vector<std::string>(u.begin() + 2, u.begin() + 11),
        (std::vector<std::string>{"10000", "0.0", "0.0", "0.0", "0.0", "10000", "0", "0", "1"}));
    EXPECT_EQ(u[11].size(), 27u);
    EXPECT_NE(u[11], u[1]);
    EXPECT_TRUE(Select(file(), "select * from Tradelog").empty());
    EXPECT_TRUE(journal.EnsureDatabase()); // an existing file is kept as it is
}

TEST(JournalFile, EmptyFileIsCreatedAgain) {
    TempDir dir;
    std::ofstream(dir.file("LOG.MT3")).close(); // cut short before its tables were written
    TJournal journal(dir.path());
    EXPECT_EQ(journal.path(), dir.file("LOG.MT3"));
    ASSERT_TRUE(journal.EnsureDatabase()) << journal.sError;
    EXPECT_TRUE(journal.EnsureAccount("demo")) << journal.sError;
    EXPECT_EQ(Count(journal.path(), "TUser", "demo"), 1);
}

TEST_F(JournalTest, InitialFundsText) {
    EXPECT_EQ(InitialFunds("abc"), 10000);
    EXPECT_EQ(InitialFunds("2500.5"), 2500.5);
    const std::pair<const char*, const char*> cases[] = {
        {"5000", "5000.00"}, {" 12345.678 ", "12345.68"}, {"abc", "10000.00"},
        {"", "10000.00"},    {"1e400", "10000.00"},       {"nan", "10000.00"}};
    for (auto [funds, stored] : cases) {
        ASSERT_TRUE(journal.InitAccount("demo", funds)) << journal.sError;
        auto rows = Select(file(), "select sProperty from property where sUserName='demo'");
        ASSERT_EQ(rows.size(), 1u) << funds;
        EXPECT_EQ(rows[0][0], stored) << funds;
    }
}

TEST_F(JournalTest, SaveAndRestoreRows) {
    ASSERT_TRUE(journal.EnsureAccount("demo"));
    TqhAcount acc(9876.543, 2, 0.5, 3500.25, 3498);
    ASSERT_TRUE(journal.SaveAccount("demo", acc, 125, 0, "/data/mindata/IFL8.txt"));
    auto users = Select(file(), "select kyzj, ddcc, kdcc, ddccj, kdccj, dqh, ksh, gpdm, Zzc "
                                "from TUser");
    EXPECT_EQ(users, (Table{{"9876.54", "2.00", "0.50", "3500.25", "3498.00", "125.00", "0.00",
                             "/data/mindata/IFL8.txt", "10000"}}));

    TqhAcount back(1);
    int startrow = -1, lastrow = -1;
    ASSERT_TRUE(journal.RestoreAccount("demo", back, startrow, lastrow)) << journal.sError;
    EXPECT_EQ(startrow, 0);
    EXPECT_EQ(lastrow, 125);
    EXPECT_DOUBLE_EQ(back.kyzj(), 9876.54);
    EXPECT_EQ(back.ddcc, 2);
    EXPECT_EQ(back.kdcc, 0.5);
    EXPECT_EQ(back.ddccj, 3500.25);
    EXPECT_EQ(back.kdccj, 3498);
    EXPECT_EQ(back.scode, "/data/mindata/IFL8.txt");
}

TEST_F(JournalTest, RestoreReadsTextAsZero) {
    ASSERT_TRUE(journal.EnsureAccount("demo"));
    SqlDatabase db;
    ASSERT_TRUE(db.Open(file(), SqlDatabase::Mode::Existing));
    ASSERT_TRUE(db.Exec("update TUser set kyzj='x', ddcc='', kdcc='1,5', ddccj=NULL, "
                        "ksh='12.9', dqh='9e99'"));
    db.Close();
    TqhAcount acc(500, 1, 1, 1, 1);
    int startrow = -1, lastrow = -1;
    ASSERT_TRUE(journal.RestoreAccount("demo", acc, startrow, lastrow));
    EXPECT_EQ(acc.kyzj(), 0);
    EXPECT_EQ(acc.ddcc, 0);
    EXPECT_EQ(acc.kdcc, 0);
    EXPECT_EQ(acc.ddccj, 0);
    EXPECT_EQ(acc.kdccj, 0);
    EXPECT_EQ(startrow, 12);
    EXPECT_EQ(lastrow, 0); // out of range for a row number
}

TEST_F(JournalTest, RestoreWithoutRowInitialises) {
    TqhAcount acc(77, 3, 4, 100, 100);
    acc.nmode = pze;
    int startrow = 5, lastrow = 9;
    ASSERT_TRUE(journal.RestoreAccount("fresh", acc, startrow, lastrow));
    EXPECT_EQ(acc.kyzj(), 10000);
    EXPECT_EQ(acc.zcc(), 0);
    EXPECT_EQ(acc.nmode, phd);
    EXPECT_EQ(startrow, 5);
    EXPECT_EQ(lastrow, 9);
    EXPECT_EQ(Count(file(), "TUser", "fresh"), 1);
    EXPECT_EQ(Count(file(), "property", "fresh"), 1);
}

TEST_F(JournalTest, NumericColumnsReadBackAsNumbers) {
    ASSERT_TRUE(journal.InsertTrade(Trade("demo", "多平", "120.00", "5.00")));
    ASSERT_TRUE(journal.InsertTrade(Trade("demo", "空平", "-12.50", "0.30")));
    auto rows = Select(file(), "select sCommission, typeof(sCommission), sProfit, sRemain, "
                               "sPrice, sReason, sOther, sProfitRatio, sInterval from Tradelog");
    EXPECT_EQ(rows, (Table{{"5", "integer", "120", "8950", "3500.00", "理由", "备用", "0", "0"},
                           {"0.3", "real", "-12.5", "8950", "3500.00", "理由", "备用", "0", "0"}}));
    // A second row with the same identifier is refused.
    TradeLogRow dup = Trade("demo", "多开", "0");
    ASSERT_TRUE(journal.InsertTrade(dup));
    EXPECT_FALSE(journal.InsertTrade(dup));
    EXPECT_FALSE(journal.sError.empty());
}

TEST_F(JournalTest, EquityPointsNumberedAcrossAccounts) {
    ASSERT_TRUE(journal.EnsureAccount("a"));
    ASSERT_TRUE(journal.EnsureAccount("b"));
    ASSERT_TRUE(journal.AddEquityPoint("a", 10123.456));
    long long count = 0;
    ASSERT_TRUE(journal.CountRows("property", count));
    EXPECT_EQ(count, 3);
    auto rows = Select(file(), "select SNo, sProperty, length(sTime) from property where "
                               "sUserName='a'");
    EXPECT_EQ(rows, (Table{{"0", "10000.00", "14"}, {"2", "10123.46", "17"}}));

    EXPECT_FALSE(journal.CountRows("TUser; drop table TUser", count));
    EXPECT_FALSE(journal.sError.empty());
    EXPECT_TRUE(journal.CountRows("TBankStock", count));
    EXPECT_EQ(count, 0);
}

TEST_F(JournalTest, AppendedTradesAreNumberedByTheWholeTable) {
    ASSERT_TRUE(journal.EnsureAccount("a"));
    for (const char* name : {"a", "b", "a"}) {
        TradeLogRow row = Trade(name, "多开", "0");
        row.SNo = "99"; // replaced by the count
        ASSERT_TRUE(journal.AppendTrade(row)) << journal.sError;
    }
    EXPECT_EQ(Select(file(), "select SNo, sUserName from Tradelog"),
              (Table{{"0", "a"}, {"1", "b"}, {"2", "a"}}));
    EXPECT_EQ(Select(file(), "pragma journal_mode"), (Table{{"wal"}}));
}

TEST(JournalFile, MissingFileFailsWithMessage) {
    TempDir dir;
    TJournal journal(dir.path() + "/nowhere");
    TqhAcount acc(10000);
    int a = 0, b = 0;
    long long n = 0;
    EXPECT_FALSE(journal.CountRows("TUser", n));
    EXPECT_FALSE(journal.sError.empty());
    EXPECT_FALSE(journal.RestoreAccount("demo", acc, a, b));
    EXPECT_FALSE(journal.SaveAccount("demo", acc, 1, 0, "x"));
    EXPECT_FALSE(journal.InitAccount("demo", "10000"));
    EXPECT_FALSE(journal.EnsureDatabase()); // its folder does not exist
    EXPECT_EQ(acc.kyzj(), 10000);
}

// Names that look like SQL (a column name, quotes) key their own rows and nobody else's.
TEST_F(JournalTest, AccountNamesNeverTouchOtherAccounts) {
    const char* names[] = {"sUserName", "say \"hi\"", "it's", "x\" or \"1\"=\"1"};
    for (const char* name : names) {
        TempDir fresh;
        TJournal j(fresh.path());
        ASSERT_TRUE(j.EnsureDatabase());
        ASSERT_TRUE(j.EnsureAccount("demo"));
        ASSERT_TRUE(j.InsertTrade(Trade("demo", "多开", "0")));
        ASSERT_TRUE(j.SaveAccount("demo", TqhAcount(5000, 1, 0, 3500, 0), 40, 2, "demo.txt"));

        ASSERT_TRUE(j.EnsureAccount(name)) << name;
        ASSERT_TRUE(j.InsertTrade(Trade(name, "多开", "0")));
        ASSERT_TRUE(j.AddEquityPoint(name, 9000));
        ASSERT_TRUE(j.SaveAccount(name, TqhAcount(7000, 0, 2, 0, 3600), 90, 5, "other.txt"));

        TqhAcount acc;
        int startrow = 0, lastrow = 0;
        ASSERT_TRUE(j.RestoreAccount(name, acc, startrow, lastrow));
        EXPECT_EQ(acc.kyzj(), 7000) << name;
        EXPECT_EQ(acc.kdcc, 2) << name;
        EXPECT_EQ(lastrow, 90) << name;
        ASSERT_TRUE(j.RestoreAccount("demo", acc, startrow, lastrow));
        EXPECT_EQ(acc.kyzj(), 5000) << name;
        EXPECT_EQ(acc.ddcc, 1) << name;
        EXPECT_EQ(acc.scode, "demo.txt") << name;
        EXPECT_EQ(lastrow, 40) << name;
        EXPECT_EQ(startrow, 2) << name;

        // Re-initialising the account deletes its own trades and points only.
        ASSERT_TRUE(j.InitAccount(name, "20000"));
        EXPECT_EQ(Count(j.path(), "Tradelog", name), 0) << name;
        EXPECT_EQ(Count(j.path(), "property", name), 1) << name;
        EXPECT_EQ(Count(j.path(), "TUser", name), 2) << name; // the old row stays
        EXPECT_EQ(Count(j.path(), "Tradelog", "demo"), 1) << name;
        EXPECT_EQ(Count(j.path(), "property", "demo"), 1) << name;
        EXPECT_EQ(Select(j.path(), "select kyzj, dqh from TUser where sUserName='demo'"),
                  (Table{{"5000.00", "40.00"}}))
            << name;
    }
}

} // namespace
} // namespace vantor::test
