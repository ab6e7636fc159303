#pragma once
// A thin owner of one SQLite connection and its prepared statements. Every value goes into a
// statement through a bound parameter; statement text never contains user data. Connections
// are opened for one operation and closed when the object goes out of scope.

#include <sqlite3.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {

class SqlStatement {
public:
    SqlStatement() = default;
    SqlStatement(sqlite3* db, sqlite3_stmt* stmt) : db_(db), stmt_(stmt) {}
    SqlStatement(SqlStatement&& o) noexcept : db_(o.db_), stmt_(o.stmt_) { o.stmt_ = nullptr; }
    SqlStatement& operator=(SqlStatement&& o) noexcept;
    SqlStatement(const SqlStatement&) = delete;
    SqlStatement& operator=(const SqlStatement&) = delete;
    ~SqlStatement();

    bool valid() const { return stmt_ != nullptr; }

    // Binds parameter `index` (1-based) as UTF-8 text.
    bool BindText(int index, std::string_view text);
    // Binds every value in order as text, starting at parameter 1.
    bool BindTexts(const std::vector<std::string>& values);

    // Runs one step: true while a row is ready (SQLITE_ROW). `done` tells a finished
    // statement (SQLITE_DONE) apart from an error.
    bool Step(bool& done);
    // Runs the statement to its end, ignoring result rows; false on an error.
    bool Run();
    // Clears the bindings and rewinds for another run.
    void Reset();

    int ColumnCount() const { return sqlite3_column_count(stmt_); }
    // Column `i` of the current row as text ("" for NULL).
    std::string Text(int i) const;
    bool IsNull(int i) const { return sqlite3_column_type(stmt_, i) == SQLITE_NULL; }

private:
    sqlite3* db_ = nullptr;
    sqlite3_stmt* stmt_ = nullptr;
};

class SqlDatabase {
public:
    // Existing: the file must exist. It is opened for writing even to read, so that a
    // transaction left unfinished by a crash is rolled back instead of blocking every read
    // (a write-protected file still opens for reading). Create: made when missing.
    enum class Mode { Existing, Create };

    SqlDatabase() = default;
    SqlDatabase(const SqlDatabase&) = delete;
    SqlDatabase& operator=(const SqlDatabase&) = delete;
    ~SqlDatabase() { Close(); }

    // Opens `path` (UTF-8).
    bool Open(const std::string& path, Mode mode);
    void Close();
    // Write-ahead logging with normal syncing: a commit no longer waits for the disk, and a
    // crash of the program still loses nothing committed. The log is kept when the
    // connection closes, so opening and closing per operation costs no checkpoint. Never fails:
    // a file that cannot switch keeps its rollback journal.
    bool UseWriteAheadLog();
    bool IsOpen() const { return db_ != nullptr; }

    // Runs statements that take no values (schema, transactions).
    bool Exec(const std::string& sql);
    SqlStatement Prepare(const std::string& sql);
    // Prepares `sql`, binds `values` as text in order and runs it to its end.
    bool Run(const std::string& sql, const std::vector<std::string>& values = {});
    // Prepares `sql`, binds `values` and calls `onRow` for every result row.
    bool Query(const std::string& sql, const std::vector<std::string>& values,
               const std::function<void(const SqlStatement& row)>& onRow);

    bool Begin() { return Exec("BEGIN IMMEDIATE"); }
    bool Commit() { return Exec("COMMIT"); }
    // Undoes the open transaction, if any; the first error message is kept.
    void Rollback();

    // Message of the last failure ("" when none).
    const std::string& error() const { return error_; }
    void SetError(const std::string& text) { error_ = text; }
    void TakeError();

private:
    sqlite3* db_ = nullptr;
    std::string error_;
};

} // namespace vantor
