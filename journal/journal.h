#pragma once
// The trade journal "log.mt3" of the program folder: per account name the saved account
// state and replay position (TUser), one row per trade (Tradelog) and the points of the
// equity curve (property). Every operation opens the file, works in one transaction where it
// writes more than one statement, and closes it again. Every value is a bound parameter.

#include <array>
#include <chrono>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "account/host.h"
#include "account/qh_account.h"
#include "account/sqlite_db.h"

namespace vantor {

inline constexpr const char* kJournalFileName = "log.mt3";

// One Tradelog row, its twenty columns in table order, all as text.
struct TradeLogRow {
    std::string SNo;            // rows in the whole table before the insert
    std::string sStockName;     // instrument code
    std::string sStockCode;     // instrument code
    std::string sUserName;      // account name
    std::string sfrequency;     // empty
    std::string sTradeDirect;   // "多开", "多平", "空开" or "空平"
    std::string sDate;          // date of the chart's last bar, yyyymmdd
    std::string sQuantity;      // lots as typed
    std::string sPrice;         // the account's current price
    std::string sCommission;    // fee of the trade
    std::string sTradeTurnover; // cash moved by the trade
    std::string sRemain;        // funds after the trade
    std::string sProfit;        // realised result of a close, "0" for an opening
    std::string sProfitRatio = "0";
    std::string sInterval = "0";
    std::string sTime; // wall-clock time, "YYYYMMDD HHNNSS"
    std::string sReason = "理由";
    std::string sPicPath; // "log\" + screenshot file name
    std::string sGuid;    // identifier
    // The practice writes the revealed base bar of the trade here, "yyyymmdd hhmm" (the
    // date alone for day bars); rows written without it hold "备用".
    std::string sOther = "备用";

    std::vector<std::string> Values() const;
};

// A trade as the chart marks it: its direction, its price and the bar text kept in sOther.
struct TradeBarRow {
    std::string direction, price, bar;
};

// One point of the equity curve, the five columns of `property` in order.
struct EquityPointRow {
    std::string SNo;       // rows in the whole table before the insert
    std::string sProperty; // equity, two decimals
    std::string sUserName;
    std::string sTime;
    std::string SGuid;
};

// One row of the journal list: 序号 and then 代码, 成交日期, 交易方向, 价格, 成交数量, 金额,
// 手续费, 获利金额, 剩余资金, 时间, 图片路径 and the reason, as stored.
struct JournalEntry {
    int no = 0;
    std::array<std::string, 12> values;
    const std::string& direction() const { return values[2]; }
    const std::string& picPath() const { return values[10]; }
};

// The aggregates of an account's trades, as the texts SQLite returns for them.
struct JournalSummary {
    std::string sump, sumcom, jyl, maxp, minp; // sums, net, largest win and loss
    std::string wins, losses;                  // trades with profit above / below 0
};

struct JournalStats;

class TJournal {
public:
    using Clock = std::function<std::chrono::system_clock::time_point()>;

    explicit TJournal(std::string programDir);

    std::string sError; // text of the last failure
    Host host;          // receives the export message
    Clock clock;        // wall clock of the time stamps (the system clock by default)

    // The path of "log.mt3" (found without regard to letter case).
    std::string path() const;
    // The folder "Export" of the program folder, where ExportJournal writes.
    std::string ExportFolder() const;
    // Trades, equity points and account initialisations written through this object: a view
    // of the journal compares it with the count it last showed to know when to read again.
    long long Writes() const { return writes_; }

    // Creates "log.mt3" with its four tables when the file does not exist (or is empty).
    bool EnsureDatabase();

    // Rows of `table` (all accounts). Only the journal's four tables can be counted.
    bool CountRows(const std::string& table, long long& count);
    bool InsertTrade(const TradeLogRow& row);
    // Inserts `row` numbered by the rows of the table before it (its SNo is replaced): the
    // count and the insert are one transaction, so two writers never share a number.
    bool AppendTrade(TradeLogRow row);
    bool InsertEquityPoint(const EquityPointRow& row);

    // Deletes the account's equity points, trades and bank rows, writes its first equity
    // point with `funds` (text that is not a number gives 10000) and adds a TUser row holding
    // the starting values. One transaction: all of it happens or none.
    bool InitAccount(const std::string& name, const std::string& funds);
    // InitAccount(name, funds) when the account has no equity point yet: a new account starts
    // with `funds` (the initial funds of its settings; 10000 when it has none).
    // `created` (when given) tells whether the account was new.
    bool EnsureAccount(const std::string& name, const std::string& funds = "10000",
                       bool* created = nullptr);
    // Reads the account's saved state into `acc` (funds, lots, average prices, data file)
    // and the replay rows into `startrow` and `lastrow`. An account without a TUser row is
    // initialised with 10000 and `acc` reset to 10000; the rows are left alone then.
    bool RestoreAccount(const std::string& name, TqhAcount& acc, int& startrow, int& lastrow);
    // Writes the account state, the replay rows and the data file path into every TUser row
    // of the account, numbers with two decimals.
    bool SaveAccount(const std::string& name, const TqhAcount& acc, int lastrow, int startrow,
                     const std::string& fileName);
    // Adds a point of `equity` after a close left the account flat, numbered by the rows of
    // the table and stamped to the millisecond.
    bool AddEquityPoint(const std::string& name, double equity);

    // --- reading the journal of one account ---

    // The account's trades in stored order, numbered from 1.
    bool ReadJournal(const std::string& name, std::vector<JournalEntry>& rows);
    bool ReadSummary(const std::string& name, JournalSummary& summary);
    // The account's trades of the instrument `code` in stored order, for the chart's marks.
    bool ReadTradeBars(const std::string& name, const std::string& code,
                       std::vector<TradeBarRow>& rows);
    // The journal list and, when the account has trades, the statistics memo; with no trades
    // `memo` keeps its text.
    bool RefreshJournal(const std::string& name, std::vector<JournalEntry>& rows,
                        std::string& memo);
    // The figures of ComputeStats over `rows` (the account's list) and its equity points.
    bool ReadStats(const std::string& name, const std::vector<JournalEntry>& rows,
                   JournalStats& stats);
    // The equity points (x = sNo, y = equity) in ascending numeric order of x.
    bool EquityPoints(const std::string& name, std::vector<std::pair<double, double>>& points);
    // Writes `rows` as a tab-separated file "Export/<name> YYYYMMDD HHNNSS.xls" of the program
    // folder (UTF-8 with a byte-order mark; " (2)" … before ".xls" when that name is taken)
    // and tells the host where. `written` receives the full path.
    bool ExportJournal(const std::string& name, const std::vector<JournalEntry>& rows,
                       std::string& written);
    // The file of a row's screenshot path ("log\" + name) below the program folder.
    std::string ScreenshotFile(const std::string& picPath) const;

private:
    std::string programDir_;
    long long writes_ = 0;

    bool Wrote() {
        ++writes_;
        return true;
    }
    // Opens the existing journal in write-ahead-log mode.
    bool OpenDb(SqlDatabase& db) const;

    std::string Stamp(const char* format, bool millis) const;
    bool Fail(const std::string& text);
    // A read that failed: the reason with the journal's path, so the user knows which file.
    bool ReadFailed(const SqlDatabase& db);
};

// The initial funds of an account from the text of the settings: 10000 when the text is not
// a number. Re-initialisation resets the account (csh) and the journal with this value.
double InitialFunds(const std::string& text);

// The statistics memo of `rowCount` trades with the given aggregates.
std::string SummaryText(std::size_t rowCount, const JournalSummary& s);

// The column headers of the journal list, in order.
const std::array<const char*, 12>& JournalHeaders();

// The list as the export writes it: the headers, each followed by a tab, then per row its
// number and a tab before each further value; every line ends with `lineEnd`.
std::string JournalText(const std::vector<JournalEntry>& rows, const char* lineEnd);

// Row colour ($00BBGGRR) of a direction: red for openings, blue for everything else.
unsigned JournalRowColour(const std::string& direction);

} // namespace vantor
