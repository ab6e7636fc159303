#include "practice/program_folder.h"

#include <cstdlib>
#include <filesystem>

#include "account/paths.h"
#include "account/row_id.h"
#include "account/sqlite_db.h"
#include "account/sxf.h"
#include "market/data_files.h"

namespace vantor {

namespace fs = std::filesystem;

bool SeedFolder(const std::string& from, const std::string& to, std::string& error) {
    std::error_code ec;
    if (from.empty() || !fs::is_directory(from, ec)) return true;
    for (auto it = fs::recursive_directory_iterator(from, ec); !ec && it != fs::end(it);
         it.increment(ec)) {
        const fs::path rel = fs::relative(it->path(), from, ec);
        const fs::path target = fs::path(to) / rel;
        if (it->is_directory(ec)) {
            fs::create_directories(target, ec);
        } else if (it->is_regular_file(ec) && !fs::exists(target, ec)) {
            fs::create_directories(target.parent_path(), ec);
            fs::copy_file(it->path(), target, ec);
        }
        if (ec) {
            error = "无法复制示例数据到 " + target.string() + "：" + ec.message();
            return false;
        }
    }
    if (ec) {
        error = "无法读取示例数据 " + from + "：" + ec.message();
        return false;
    }
    return true;
}

bool SeedProgramFolder(const std::string& sampleDir, const std::string& to, std::string& error) {
    if (!SeedFolder(sampleDir, to, error)) return false;
    const std::string file = SxfDatabasePath(to);
    if (!MissingOrEmpty(file)) return true;
    if (!EnsureSxfDatabase(to, error)) return false;
    struct Row {
        const char *code, *multiplier, *margin, *fee;
    };
    static const Row kRows[] = {{"IFL8", "300", "12", "0.23"},
                                {"ICL8", "200", "12", "0.23"},
                                {"IML8", "200", "12", "0.23"},
                                {"SH000001", "1", "100", "3"},
                                {"SZ399001", "1", "100", "3"}};
    SqlDatabase db;
    bool ok = db.Open(file, SqlDatabase::Mode::Existing) && db.Begin();
    for (const Row& r : kRows)
        ok = ok && db.Run("INSERT INTO tblsxf VALUES (?,?,?,?,?,?)",
                          {r.code, r.multiplier, r.margin, r.fee, r.fee, NewRowId()});
    if (ok && db.Commit()) return true;
    db.Rollback();
    error = db.error();
    return false;
}

std::string ResolveProgramFolder(const std::string& homeArg, const std::string& exeDir,
                                 const std::string& sampleDir, std::string& error) {
    std::error_code ec;
    if (!homeArg.empty()) {
        fs::create_directories(homeArg, ec);
        return fs::absolute(homeArg, ec).lexically_normal().string();
    }
    auto holdsData = [&](const std::string& dir) {
        return !dir.empty() && (fs::is_directory(FindPathNoCase(dir, "daydata"), ec) ||
                                fs::is_directory(FindPathNoCase(dir, "mindata"), ec));
    };
    if (holdsData(exeDir)) return exeDir;
    std::string base;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg)
        base = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        base = std::string(home) + "/.local/share";
    else
        base = ".";
    const std::string dir = base + "/vantor";
    fs::create_directories(dir, ec);
    if (ec) {
        error = "无法创建程序目录 " + dir + "：" + ec.message();
        return dir;
    }
    if (!holdsData(dir)) SeedProgramFolder(sampleDir, dir, error);
    return dir;
}

} // namespace vantor
