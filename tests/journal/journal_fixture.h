#pragma once
// A journal in a fresh program folder, and direct reads of its tables.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "account/row_id.h"
#include "account/sqlite_db.h"
#include "temp_dir.h"
#include "journal/journal.h"

namespace vantor::test {

using Table = std::vector<std::vector<std::string>>;

// The rows of a query on the journal file, every column as text.
inline Table Select(const std::string& file, const std::string& sql,
                    const std::vector<std::string>& values = {}) {
    Table rows;
    SqlDatabase db;
    EXPECT_TRUE(db.Open(file, SqlDatabase::Mode::Existing)) << db.error();
    EXPECT_TRUE(db.Query(sql, values, [&](const SqlStatement& r) {
        std::vector<std::string> row;
        for (int i = 0; i < r.ColumnCount(); ++i) row.push_back(r.Text(i));
        rows.push_back(row);
    })) << db.error();
    return rows;
}

inline long long Count(const std::string& file, const std::string& table, const std::string& name) {
    auto rows = Select(file, "select count(*) from " + table + " where sUserName=?", {name});
    return rows.empty() ? -1 : std::stoll(rows[0][0]);
}

// A trade row of `name` as the trade actions write it.
inline TradeLogRow Trade(const std::string& name, const std::string& direction,
                         const std::string& profit, const std::string& fee = "5.00") {
    TradeLogRow t;
    t.SNo = "0";
    t.sStockName = t.sStockCode = "IFL8";
    t.sUserName = name;
    t.sTradeDirect = direction;
    t.sDate = "20260310";
    t.sQuantity = "1";
    t.sPrice = "3500.00";
    t.sCommission = fee;
    t.sTradeTurnover = "1050.00";
    t.sRemain = "8950.00";
    t.sProfit = profit;
    t.sTime = "20260310 143501";
    t.sGuid = NewRowId();
    t.sPicPath = "log\\" + t.sGuid + ".jpg";
    return t;
}

class JournalTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(journal.EnsureDatabase()) << journal.sError; }
    std::string file() const { return journal.path(); }

    TempDir dir;
    TJournal journal{dir.path()};
};

} // namespace vantor::test
