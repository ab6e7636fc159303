// Reading the journal of one account: the trade list, its statistics, the equity curve,
// the export file and the screenshots.

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "account/numbers.h"
#include "account/paths.h"
#include "account/sqlite_db.h"
#include "journal/journal.h"
#include "journal/journal_stats.h"
#include "market/data_files.h"

namespace vantor {

const std::array<const char*, 12>& JournalHeaders() {
    static const std::array<const char*, 12> headers = {
        "序号", "代码",   "成交日期", "交易方向", "价格", "成交数量",
        "金额", "手续费", "获利金额", "剩余资金", "时间", "图片路径"};
    return headers;
}

unsigned JournalRowColour(const std::string& direction) {
    if (direction == "多开" || direction == "空开" || direction == "证券买入") return 0x0000FF;
    return 0xFF0000;
}

std::string JournalText(const std::vector<JournalEntry>& rows, const char* lineEnd) {
    std::string text;
    for (const char* h : JournalHeaders()) text += std::string(h) + "\t";
    text += lineEnd;
    for (const auto& row : rows) {
        text += std::to_string(row.no);
        for (const auto& v : row.values) text += "\t" + v;
        text += lineEnd;
    }
    return text;
}

std::string SummaryText(std::size_t rowCount, const JournalSummary& s) {
    return "交易统计    \r\n交易次数:      " + std::to_string(rowCount) +
           "      单次最大盈利:  " + s.maxp + "\r\n" + "单次最大亏损： " + s.minp +
           "      盈利总额：     " + s.sump + "\r\n" + "手续费总额：   " + s.sumcom +
           "      净盈利：       " + s.jyl + "\r\n" + "盈利次数：" + s.wins + "    亏损次数：" +
           s.losses;
}

bool TJournal::ReadFailed(const SqlDatabase& db) {
    const std::string file = path();
    std::string reason = db.error().empty() ? std::string("数据库操作失败！") : db.error();
    if (reason.find(file) == std::string::npos)
        reason = "无法读取交易日志：" + file + "\n" + reason;
    return Fail(reason);
}

bool TJournal::ReadJournal(const std::string& name, std::vector<JournalEntry>& rows) {
    sError.clear();
    rows.clear();
    SqlDatabase db;
    if (!OpenDb(db) ||
        !db.Query("select sStockCode, sDate, sTradeDirect, sPrice, sQuantity, sTradeTurnover, "
                  "sCommission, sProfit, sRemain, sTime, sPicPath, sReason from Tradelog "
                  "where sUsername=?;",
                  {name}, [&](const SqlStatement& r) {
                      JournalEntry e;
                      e.no = static_cast<int>(rows.size()) + 1;
                      for (int i = 0; i < 12; ++i) e.values[i] = r.Text(i);
                      rows.push_back(std::move(e));
                  })) {
        rows.clear();
        return ReadFailed(db);
    }
    return true;
}

namespace {

// A numeric column's value where it holds a number, NULL where it holds text: a word in a
// result column then counts neither as a win nor as the largest result.
std::string Numeric(const char* column) {
    return std::string("(CASE WHEN typeof(Tradelog.") + column +
           ") IN ('integer','real') THEN Tradelog." + column + " END)";
}

// The aggregates query with `sum` as the summing function.
std::string SummaryQuery(const char* sum) {
    const std::string p = Numeric("sProfit"), c = Numeric("sCommission");
    return std::string("  SELECT ") + sum + "(" + p + ") AS sump,  " + sum + "(" + c +
           ") AS sumcom,(" + sum + "(" + p + ")-" + sum + "(" + c + "))  AS jyl,Max(" + p +
           ") AS maxp, Min(" + p + ") AS minp FROM Tradelog where sUsername=?;";
}

} // namespace

bool TJournal::ReadSummary(const std::string& name, JournalSummary& s) {
    sError.clear();
    SqlDatabase db;
    if (!OpenDb(db)) return ReadFailed(db);
    auto take = [&](const SqlStatement& r) {
        s.sump = r.Text(0);
        s.sumcom = r.Text(1);
        s.jyl = r.Text(2);
        s.maxp = r.Text(3);
        s.minp = r.Text(4);
    };
    // Sum stops with an error when whole numbers overflow; Total adds them as floating point
    // and still gives a figure.
    bool ok = db.Query(SummaryQuery("Sum"), {name}, take);
    if (!ok && db.error().find("integer overflow") != std::string::npos)
        ok = db.Query(SummaryQuery("Total"), {name}, take);
    const std::string p = Numeric("sProfit");
    ok = ok &&
         db.Query("  SELECT count(*) as ylcs FROM Tradelog where sUsername=? and " + p + ">0 ;",
                  {name}, [&](const SqlStatement& r) { s.wins = r.Text(0); }) &&
         db.Query("  SELECT count(*) as ylcs FROM Tradelog where sUsername=? and " + p + "<0 ;",
                  {name}, [&](const SqlStatement& r) { s.losses = r.Text(0); });
    return ok || ReadFailed(db);
}

bool TJournal::RefreshJournal(const std::string& name, std::vector<JournalEntry>& rows,
                              std::string& memo) {
    if (!ReadJournal(name, rows)) return false;
    if (rows.empty()) return true;
    JournalSummary s;
    if (!ReadSummary(name, s)) return false;
    memo = SummaryText(rows.size(), s);
    return true;
}

bool TJournal::ReadStats(const std::string& name, const std::vector<JournalEntry>& rows,
                         JournalStats& stats) {
    std::vector<std::pair<double, double>> points;
    if (!EquityPoints(name, points)) return false;
    stats = ComputeStats(rows, points);
    return true;
}

bool TJournal::EquityPoints(const std::string& name,
                            std::vector<std::pair<double, double>>& points) {
    sError.clear();
    points.clear();
    SqlDatabase db;
    if (!OpenDb(db) ||
        !db.Query("select sNo, sProperty from property where sUsername=? order by sNo;", {name},
                  [&](const SqlStatement& r) {
                      points.emplace_back(NumberOr(r.Text(0), 0), NumberOr(r.Text(1), 0));
                  })) {
        points.clear();
        return ReadFailed(db);
    }
    // The query orders the numbers as text (10 before 2); the curve runs in numeric order.
    std::stable_sort(points.begin(), points.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    return true;
}

// UTF-8 behind its byte-order mark: Excel reads a text file without the mark in the
// system's code page (GBK on a Chinese desktop) and LibreOffice takes the mark as UTF-8, so
// the Chinese headers open correctly in both.
namespace {
const char kExportMark[] = "\xEF\xBB\xBF";
} // namespace

bool TJournal::ExportJournal(const std::string& name, const std::vector<JournalEntry>& rows,
                             std::string& written) {
    sError.clear();
    written.clear();
    const std::string text = kExportMark + JournalText(rows, "\r\n");
    std::error_code ec;
    const std::string folder = ExportFolder();
    std::filesystem::create_directories(folder, ec);
    const std::string stem = folder + "/" + SafeFileName(name) + Stamp(" %Y%m%d %H%M%S", false);
    // A second export within the same second gets " (2)", " (3)" …: the file is created
    // only when it does not exist yet, so no earlier export is overwritten.
    std::string file;
    std::FILE* out = nullptr;
    for (int n = 1; n <= 1000 && !out; ++n) {
        file = stem + (n == 1 ? std::string() : " (" + std::to_string(n) + ")") + ".xls";
        out = std::fopen(file.c_str(), "wbx");
        if (!out && errno != EEXIST) break;
    }
    if (!out) return Fail("无法写入文件：" + file);
    const bool ok = std::fwrite(text.data(), 1, text.size(), out) == text.size();
    if (std::fclose(out) != 0 || !ok) {
        std::filesystem::remove(file, ec);
        return Fail("无法写入文件：" + file);
    }
    written = std::filesystem::absolute(file, ec).lexically_normal().generic_string();
    if (ec) written = file;
    host.Message("日志已经导出到" + written);
    return true;
}

std::string TJournal::ExportFolder() const {
    return FileInFolder(programDir_, "Export");
}

std::string TJournal::ScreenshotFile(const std::string& picPath) const {
    std::string rel = picPath;
    std::replace(rel.begin(), rel.end(), '\\', '/');
    std::string result = programDir_.empty() ? std::string(".") : programDir_;
    std::size_t pos = 0;
    while (pos <= rel.size()) {
        std::size_t next = rel.find('/', pos);
        if (next == std::string::npos) next = rel.size();
        std::string part = rel.substr(pos, next - pos);
        pos = next + 1;
        if (part.empty() || part == "." || part == "..") continue;
        result = FileInFolder(result, part);
    }
    return result;
}

} // namespace vantor
