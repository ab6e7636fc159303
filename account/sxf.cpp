#include "account/sxf.h"

#include <cmath>
#include <filesystem>
#include <system_error>

#include "account/numbers.h"
#include "account/paths.h"
#include "account/sqlite_db.h"

namespace vantor {

bool IsUsable(const Rsxf& p) {
    return std::isfinite(p.nhycs) && p.nhycs > 0 && std::isfinite(p.fBzjbl) && p.fBzjbl > 0 &&
           std::isfinite(p.fmrf) && p.fmrf >= 0 && std::isfinite(p.fMcf) && p.fMcf >= 0;
}

std::string SxfDatabasePath(const std::string& programDir) {
    return FileInFolder(programDir, kSxfFileName);
}

bool EnsureSxfDatabase(const std::string& programDir, std::string& error) {
    error.clear();
    const std::string path = SxfDatabasePath(programDir);
    if (!MissingOrEmpty(path)) return true;
    std::error_code ec;
    SqlDatabase db;
    if (!db.Open(path, SqlDatabase::Mode::Create) || !db.Exec(kSxfCreateTable)) {
        error = db.error();
        db.Close();
        std::filesystem::remove(path, ec);
        return false;
    }
    return true;
}

std::string SxfNotFoundMessage(const std::string& code) {
    return "当前品种  " + code + "  没有找到交易参数，即将用默认参数交易！  \r\n" +
           "  修改请在菜单->工具->费率设置->中进行";
}

TSxf::TSxf(std::string programDir) : programDir_(std::move(programDir)) {
    defsxf.nhycs = 10;
    defsxf.fBzjbl = 0.2;
    defsxf.fmrf = 0.003;
    defsxf.fMcf = 0.003;
    cursxf = defsxf;
}

void TSxf::UsePracticeDefaults() {
    defsxf.nhycs = 10;
    defsxf.fBzjbl = 1.0;
    defsxf.fmrf = 0.0006;
    defsxf.fMcf = 0.0006;
}

namespace {

// A stored value read as a number; text that is not a number, and a value the account could
// not trade with, give the column's fallback.
double StoredValue(const std::string& text, double fallback, bool mustBePositive) {
    double v = 0;
    if (!ParseNumber(text, v)) return fallback;
    if (mustBePositive ? !(v > 0) : v < 0) return fallback;
    return v;
}

} // namespace

bool TSxf::getSxf(const std::string& sCode) {
    bool found = false;
    Rsxf row;
    SqlDatabase db;
    if (db.Open(SxfDatabasePath(programDir_), SqlDatabase::Mode::Existing)) {
        db.Query("select shycs, sbzjbl, smrf, smcf from tblsxf where scode=?", {sCode},
                 [&](const SqlStatement& r) {
                     if (found) return;
                     found = true;
                     row.sCode = sCode;
                     row.nhycs = StoredValue(r.Text(0), 10, true);
                     row.fBzjbl = StoredValue(r.Text(1), 5, true) / 100;
                     row.fmrf = StoredValue(r.Text(2), 0.45, false) / 10000;
                     row.fMcf = StoredValue(r.Text(3), 0.45, false) / 10000;
                 });
    }
    if (found) {
        cursxf = row;
        return true;
    }
    host.Message(SxfNotFoundMessage(sCode));
    cursxf = defsxf;
    return false;
}

} // namespace vantor
