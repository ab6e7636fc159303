#include "journal/journal.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "account/numbers.h"
#include "account/paths.h"
#include "account/row_id.h"
#include "account/sqlite_db.h"

namespace vantor {

namespace {

const char* const kCreateTables[] = {
    "CREATE TABLE \"property\" (\"SNo\" TEXT,\"sProperty\" TEXT,\"sUserName\" TEXT,\"sTime\" "
    "TEXT,\"SGuid\" TEXT,PRIMARY KEY (\"SGuid\"));",
    "CREATE TABLE \"Tradelog\" (\"SNo\" TEXT,\"sStockName\" TEXT,\"sStockCode\" TEXT,"
    "\"sUserName\" TEXT,\"sfrequency\" TEXT,\"sTradeDirect\" TEXT,\"sDate\" TEXT,\"sQuantity\" "
    "TEXT,\"sPrice\" TEXT,\"sCommission\" NUMERIC,\"sTradeTurnover\" TEXT,\"sRemain\" "
    "NUMERIC,\"sProfit\" NUMERIC,\"sProfitRatio\" TEXT,\"sInterval\" TEXT,\"sTime\" TEXT,"
    "\"sReason\" TEXT,\"sPicPath\" TEXT,\"sGuid\" TEXT,\"sOther\" TEXT,PRIMARY KEY "
    "(\"sGuid\"));",
    "CREATE TABLE \"TUser\" (\"sUserName\" TEXT,\"sPassWord\" TEXT,\"Zzc\" TEXT,\"ddcc\" "
    "TEXT,\"kdcc\" TEXT,\"ddccj\" TEXT,\"kdccj\" TEXT,\"kyzj\" TEXT,\"dqh\" TEXT,\"ksh\" TEXT,"
    "\"gpdm\" TEXT,\"sGuid\" TEXT,PRIMARY KEY (\"sGuid\")); ",
    "CREATE TABLE \"TBankStock\" (\"sUserName\" TEXT,\"sMoneyAccount\" TEXT,\"Sjyfx\" "
    "TEXT,\"syhye\" TEXT,\"sTime\" TEXT,\"sGuid\" TEXT,PRIMARY KEY (\"sGuid\")); ",
};

const char kInsertTrade[] = "INSERT INTO \"Tradelog\" VALUES "
                            "(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)";
const char kInsertPoint[] = "INSERT INTO \"property\" VALUES (?,?,?,?,?)";

// The starting values of a new TUser row, as the texts a literal "10000, 0.00, 0.00, 0.00,
// 0.00, 10000, 0, 0, 000001" leaves in its TEXT columns.
const char* const kNewUserValues[] = {"10000", "0.0", "0.0", "0.0", "0.0", "10000", "0", "0", "1"};

bool CountIn(SqlDatabase& db, const std::string& table, long long& count) {
    count = 0;
    for (const char* known : {"property", "Tradelog", "TUser", "TBankStock"}) {
        if (table != known) continue;
        return db.Query("select count(*) from \"" + table + "\"", {}, [&](const SqlStatement& r) {
            count = std::strtoll(r.Text(0).c_str(), nullptr, 10);
        });
    }
    db.SetError("unknown table: " + table);
    return false;
}

int TruncatedRow(const std::string& text) {
    double v = NumberOr(text, 0);
    if (!(v > -2147483648.0 && v < 2147483648.0)) return 0;
    return static_cast<int>(v);
}

} // namespace

std::vector<std::string> TradeLogRow::Values() const {
    return {SNo,     sStockName,   sStockCode, sUserName,   sfrequency,     sTradeDirect,
            sDate,   sQuantity,    sPrice,     sCommission, sTradeTurnover, sRemain,
            sProfit, sProfitRatio, sInterval,  sTime,       sReason,        sPicPath,
            sGuid,   sOther};
}

TJournal::TJournal(std::string programDir)
    : clock([] { return std::chrono::system_clock::now(); }), programDir_(std::move(programDir)) {}

std::string TJournal::path() const {
    return FileInFolder(programDir_, kJournalFileName);
}

bool TJournal::Fail(const std::string& text) {
    sError = text.empty() ? std::string("数据库操作失败！") : text;
    return false;
}

std::string TJournal::Stamp(const char* format, bool millis) const {
    auto now = clock ? clock() : std::chrono::system_clock::now();
    std::time_t t = std::chrono::system_clock::to_time_t(now);
    std::tm tm{};
    localtime_r(&t, &tm);
    char buf[64];
    std::size_t n = std::strftime(buf, sizeof buf, format, &tm);
    std::string s(buf, n);
    if (millis) {
        auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch());
        char msBuf[8];
        std::snprintf(msBuf, sizeof msBuf, "%03d", static_cast<int>(ms.count() % 1000));
        s += msBuf;
    }
    return s;
}

bool TJournal::EnsureDatabase() {
    sError.clear();
    const std::string file = path();
    if (!MissingOrEmpty(file)) return true;
    std::error_code ec;
    SqlDatabase db;
    bool ok = db.Open(file, SqlDatabase::Mode::Create) && db.UseWriteAheadLog() && db.Begin();
    for (const char* sql : kCreateTables) ok = ok && db.Exec(sql);
    if (ok && db.Commit()) return true;
    db.Rollback();
    Fail(db.error());
    db.Close();
    std::filesystem::remove(file, ec);
    return false;
}

bool TJournal::CountRows(const std::string& table, long long& count) {
    sError.clear();
    SqlDatabase db;
    if (!OpenDb(db) || !CountIn(db, table, count)) return Fail(db.error());
    return true;
}

bool TJournal::InsertTrade(const TradeLogRow& row) {
    sError.clear();
    SqlDatabase db;
    if (!OpenDb(db) || !db.Run(kInsertTrade, row.Values())) return Fail(db.error());
    return Wrote();
}

bool TJournal::AppendTrade(TradeLogRow row) {
    sError.clear();
    SqlDatabase db;
    long long count = 0;
    bool ok = OpenDb(db) && db.Begin() && CountIn(db, "Tradelog", count);
    if (ok) {
        row.SNo = std::to_string(count);
        ok = db.Run(kInsertTrade, row.Values());
    }
    if (ok && db.Commit()) return Wrote();
    db.Rollback();
    return Fail(db.error());
}

bool TJournal::OpenDb(SqlDatabase& db) const {
    return db.Open(path(), SqlDatabase::Mode::Existing) && db.UseWriteAheadLog();
}

bool TJournal::InsertEquityPoint(const EquityPointRow& row) {
    sError.clear();
    SqlDatabase db;
    if (!OpenDb(db) ||
        !db.Run(kInsertPoint, {row.SNo, row.sProperty, row.sUserName, row.sTime, row.SGuid}))
        return Fail(db.error());
    return Wrote();
}

double InitialFunds(const std::string& text) {
    return NumberOr(text, 10000);
}

bool TJournal::InitAccount(const std::string& name, const std::string& funds) {
    sError.clear();
    const double amount = InitialFunds(funds);
    SqlDatabase db;
    long long count = 0;
    bool ok = OpenDb(db) && db.Begin() &&
              db.Run("delete from property where sUsername=?", {name}) &&
              db.Run("delete from Tradelog where sUsername=?", {name}) &&
              db.Run("delete from TBankStock where sUsername=?", {name}) &&
              CountIn(db, "property", count) &&
              db.Run(kInsertPoint, {std::to_string(count), Fixed2(amount), name,
                                    Stamp("%Y%m%d%H%M%S", false), NewRowId()});
    if (ok) {
        std::vector<std::string> user{name, NewRowId()};
        user.insert(user.end(), std::begin(kNewUserValues), std::end(kNewUserValues));
        user.push_back(NewRowId());
        ok = db.Run("INSERT INTO \"TUser\" VALUES (?,?,?,?,?,?,?,?,?,?,?,?)", user);
    }
    if (ok && db.Commit()) return Wrote();
    db.Rollback();
    return Fail(db.error());
}

bool TJournal::EnsureAccount(const std::string& name, const std::string& funds, bool* created) {
    sError.clear();
    bool found = false;
    {
        SqlDatabase db;
        if (!OpenDb(db) || !db.Query("select 1 from property where sUsername=? limit 1", {name},
                                     [&](const SqlStatement&) { found = true; }))
            return Fail(db.error());
    }
    if (created) *created = !found;
    return found || InitAccount(name, funds);
}

bool TJournal::RestoreAccount(const std::string& name, TqhAcount& acc, int& startrow,
                              int& lastrow) {
    sError.clear();
    bool found = false;
    std::array<std::string, 8> v;
    {
        SqlDatabase db;
        if (!OpenDb(db) ||
            !db.Query("select kyzj, ddcc, kdcc, ddccj, kdccj, ksh, dqh, gpdm from TUser "
                      "where sUsername=? limit 1",
                      {name}, [&](const SqlStatement& r) {
                          found = true;
                          for (int i = 0; i < 8; ++i) v[i] = r.Text(i);
                      }))
            return Fail(db.error());
    }
    if (!found) {
        if (!InitAccount(name, "10000")) return false;
        acc.csh(10000);
        return true;
    }
    acc.Fkyzj = NumberOr(v[0], 0);
    acc.ddcc = NumberOr(v[1], 0);
    acc.kdcc = NumberOr(v[2], 0);
    acc.ddccj = NumberOr(v[3], 0);
    acc.kdccj = NumberOr(v[4], 0);
    startrow = TruncatedRow(v[5]);
    lastrow = TruncatedRow(v[6]);
    acc.scode = v[7];
    return true;
}

bool TJournal::SaveAccount(const std::string& name, const TqhAcount& acc, int lastrow, int startrow,
                           const std::string& fileName) {
    sError.clear();
    SqlDatabase db;
    if (!OpenDb(db) ||
        !db.Run("update Tuser set kyzj=?,ddcc=?,kdcc=?,ddccj=?,kdccj=?,dqh=?,gpdm=?,ksh=? "
                "where susername=?;",
                {Fixed2(acc.Fkyzj), Fixed2(acc.ddcc), Fixed2(acc.kdcc), Fixed2(acc.ddccj),
                 Fixed2(acc.kdccj), Fixed2(lastrow), fileName, Fixed2(startrow), name}))
        return Fail(db.error());
    return true;
}

bool TJournal::AddEquityPoint(const std::string& name, double equity) {
    sError.clear();
    SqlDatabase db;
    long long count = 0;
    bool ok = OpenDb(db) && db.Begin() && CountIn(db, "property", count) &&
              db.Run(kInsertPoint, {std::to_string(count), Fixed2(equity), name,
                                    Stamp("%Y%m%d%H%M%S", true), NewRowId()});
    if (ok && db.Commit()) return Wrote();
    db.Rollback();
    return Fail(db.error());
}

} // namespace vantor
