#include "account/sqlite_db.h"

namespace vantor {

SqlStatement& SqlStatement::operator=(SqlStatement&& o) noexcept {
    if (this != &o) {
        if (stmt_) sqlite3_finalize(stmt_);
        db_ = o.db_;
        stmt_ = o.stmt_;
        o.stmt_ = nullptr;
    }
    return *this;
}

SqlStatement::~SqlStatement() {
    if (stmt_) sqlite3_finalize(stmt_);
}

bool SqlStatement::BindText(int index, std::string_view text) {
    if (!stmt_) return false;
    return sqlite3_bind_text64(stmt_, index, text.data(), text.size(), SQLITE_TRANSIENT,
                               SQLITE_UTF8) == SQLITE_OK;
}

bool SqlStatement::BindTexts(const std::vector<std::string>& values) {
    for (std::size_t i = 0; i < values.size(); ++i)
        if (!BindText(static_cast<int>(i) + 1, values[i])) return false;
    return true;
}

bool SqlStatement::Step(bool& done) {
    done = true;
    if (!stmt_) return false;
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) {
        done = false;
        return true;
    }
    done = rc == SQLITE_DONE;
    return false;
}

bool SqlStatement::Run() {
    bool done = false;
    while (Step(done)) {
    }
    return done;
}

void SqlStatement::Reset() {
    if (!stmt_) return;
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

std::string SqlStatement::Text(int i) const {
    const unsigned char* t = sqlite3_column_text(stmt_, i);
    if (!t) return {};
    return std::string(reinterpret_cast<const char*>(t),
                       static_cast<std::size_t>(sqlite3_column_bytes(stmt_, i)));
}

bool SqlDatabase::Open(const std::string& path, Mode mode) {
    Close();
    error_.clear();
    int flags = SQLITE_OPEN_READWRITE;
    if (mode == Mode::Create) flags |= SQLITE_OPEN_CREATE;
    int rc = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        error_ = "无法打开数据库文件：" + path + " (" +
                 (db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc)) + ")";
        Close();
        return false;
    }
    // A file held by another writer is waited for briefly, then reported as an error.
    sqlite3_busy_timeout(db_, 1000);
    return true;
}

bool SqlDatabase::UseWriteAheadLog() {
    if (!db_) return false;
    sqlite3_db_config(db_, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    // A file that cannot switch (write-protected, on a file system without shared memory)
    // keeps its rollback journal and still works.
    sqlite3_exec(db_, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;", nullptr, nullptr,
                 nullptr);
    return true;
}

void SqlDatabase::Close() {
    if (db_) sqlite3_close_v2(db_);
    db_ = nullptr;
}

bool SqlDatabase::Exec(const std::string& sql) {
    if (!db_) return false;
    char* msg = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &msg) != SQLITE_OK) {
        error_ = msg ? msg : sqlite3_errmsg(db_);
        sqlite3_free(msg);
        return false;
    }
    return true;
}

SqlStatement SqlDatabase::Prepare(const std::string& sql) {
    sqlite3_stmt* stmt = nullptr;
    if (!db_) return {};
    if (sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &stmt, nullptr) !=
        SQLITE_OK) {
        error_ = sqlite3_errmsg(db_);
        if (stmt) sqlite3_finalize(stmt);
        return {};
    }
    return SqlStatement(db_, stmt);
}

bool SqlDatabase::Run(const std::string& sql, const std::vector<std::string>& values) {
    SqlStatement st = Prepare(sql);
    if (!st.valid()) return false;
    if (!st.BindTexts(values) || !st.Run()) {
        TakeError();
        return false;
    }
    return true;
}

bool SqlDatabase::Query(const std::string& sql, const std::vector<std::string>& values,
                        const std::function<void(const SqlStatement& row)>& onRow) {
    SqlStatement st = Prepare(sql);
    if (!st.valid()) return false;
    if (!st.BindTexts(values)) {
        TakeError();
        return false;
    }
    bool done = false;
    while (st.Step(done)) onRow(st);
    if (!done) TakeError();
    return done;
}

void SqlDatabase::Rollback() {
    if (!db_ || sqlite3_get_autocommit(db_)) return;
    std::string kept = error_;
    Exec("ROLLBACK");
    error_ = kept;
}

void SqlDatabase::TakeError() {
    if (db_) error_ = sqlite3_errmsg(db_);
}

} // namespace vantor
