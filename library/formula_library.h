#pragma once
// TFormulaLibrary: the user's formula library "Stock.Bin", an SQLite database with the tables
// [公式分类] (categories) and [公式库] (formulas). The connection stays open while the object
// lives; every value reaches a statement as a bound parameter, so names with quotes work.

#include <string>
#include <vector>

#include "account/sqlite_db.h"

namespace vantor {

inline constexpr const char* kLibraryFile = "Stock.Bin";

// One row of [公式库].
struct LibraryFormula {
    std::string name;     // 名称
    std::string category; // 分类名称
    std::string title;    // 描述
    std::string text;     // 内容
    int type = 0;         // 类型
};

class TFormulaLibrary {
public:
    enum class OpenResult { Opened, Created, Failed };

    // Opens the library at `path`. A missing file is created with both tables and filled with
    // the shipped formulas (Created); a file that is there but is no readable library fails
    // with the reason in error().
    OpenResult Open(const std::string& path);
    // Opens an existing library only.
    bool OpenExisting(const std::string& path);
    // Creates an empty library (both tables) at `path`.
    bool CreateEmpty(const std::string& path);
    void Close() { db_.Close(); }
    bool IsOpen() const { return db_.IsOpen(); }

    // The names of the shown categories (分类 = 1) in 序号 order.
    std::vector<std::string> Categories();
    // The formulas of one category, in the order they were stored.
    std::vector<LibraryFormula> FormulasOf(const std::string& category);
    // The formula named `name` (compared as stored); false when there is none.
    bool Find(const std::string& name, LibraryFormula& out);
    // Updates the row named UPPER(name), or appends one, with 类型 1. An empty name, a name of
    // blanks or one with a blank inside is refused (nothing written) with the message in
    // error().
    bool Save(const std::string& category, const std::string& name, const std::string& title,
              const std::string& text);
    // Deletes every row named `name`.
    bool Delete(const std::string& name);
    // Appends a shown category with the next 序号.
    bool AddCategory(const std::string& name);

    // The checks Save applies to a name: "" when it can be saved, else the message.
    static std::string NameProblem(const std::string& name);

    SqlDatabase& Db() { return db_; }
    const std::string& error() const { return error_; }

private:
    bool Fail(const std::string& what);
    bool CreateTables();

    SqlDatabase db_;
    std::string error_;
};

} // namespace vantor
