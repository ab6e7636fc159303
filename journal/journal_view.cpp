// Reading the journal of one account: the trade list, its statistics, the equity curve,
// the export file and the screenshots.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "account/numbers.h"
#include "account/paths.h"
#include "account/sqlite_db.h"
#include "journal/journal.h"

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

std::string SafeFileName(const std::string& name) {
    std::string out = name;
    for (char& c : out) {
        unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F ||
            std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos)
            c = '_';
    }
    return out;
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
        return Fail(db.error());
    }
    return true;
}

bool TJournal::ReadSummary(const std::string& name, JournalSummary& s) {
    sError.clear();
    SqlDatabase db;
    bool ok = OpenDb(db) &&
              db.Query("  SELECT Sum(Tradelog.sProfit) AS sump,  Sum(Tradelog.sCommission) AS "
                       "sumcom,(Sum(Tradelog.sProfit)-Sum(Tradelog.sCommission))  AS "
                       "jyl,Max(Tradelog.sProfit) AS maxp, Min(Tradelog.sProfit) AS minp FROM "
                       "Tradelog where sUsername=?;",
                       {name},
                       [&](const SqlStatement& r) {
                           s.sump = r.Text(0);
                           s.sumcom = r.Text(1);
                           s.jyl = r.Text(2);
                           s.maxp = r.Text(3);
                           s.minp = r.Text(4);
                       }) &&
              db.Query("  SELECT count(*) as ylcs FROM Tradelog where sUsername=? and "
                       "Tradelog.sProfit>0 ;",
                       {name}, [&](const SqlStatement& r) { s.wins = r.Text(0); }) &&
              db.Query("  SELECT count(*) as ylcs FROM Tradelog where sUsername=? and "
                       "Tradelog.sProfit<0 ;",
                       {name}, [&](const SqlStatement& r) { s.losses = r.Text(0); });
    return ok || Fail(db.error());
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
        return Fail(db.error());
    }
    // The query orders the numbers as text (10 before 2); the curve runs in numeric order.
    std::stable_sort(points.begin(), points.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    return true;
}

bool TJournal::ExportJournal(const std::string& name, const std::vector<JournalEntry>& rows,
                             std::string& written) {
    sError.clear();
    written.clear();
    const std::string text = JournalText(rows, "\r\n");
    std::error_code ec;
    const std::string folder = FileInFolder(programDir_, "Export");
    std::filesystem::create_directories(folder, ec);
    const std::string file =
        folder + "/" + SafeFileName(name) + Stamp(" %Y%m%d %H%M%S", false) + ".xls";
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (!out) return Fail("无法写入文件：" + file);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (!out) return Fail("无法写入文件：" + file);
    written = std::filesystem::absolute(file, ec).lexically_normal().generic_string();
    if (ec) written = file;
    host.Message("日志已经导出到" + written);
    return true;
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
