#include "library/formula_library.h"

#include <filesystem>

#include "formula/front_end.h"
#include "formula/func_str.h"
#include "library/library_seed.h"

namespace vantor {

namespace {

LibraryFormula RowOf(const SqlStatement& row) {
    // Columns in the order of the select lists below.
    LibraryFormula f;
    f.name = row.Text(0);
    f.category = row.Text(1);
    f.title = row.Text(2);
    f.text = row.Text(3);
    f.type = row.IsNull(4) ? 0 : std::atoi(row.Text(4).c_str());
    return f;
}

constexpr const char* kColumns = "Select 名称, 分类名称, 描述, 内容, 类型 FROM [公式库] ";

} // namespace

bool TFormulaLibrary::Fail(const std::string& what) {
    error_ = what + (db_.error().empty() ? std::string() : "：" + db_.error());
    return false;
}

bool TFormulaLibrary::CreateTables() {
    if (!db_.Exec("CREATE TABLE IF NOT EXISTS [公式分类] (分类 INTEGER, 序号 INTEGER, 名称 TEXT);"
                  "CREATE TABLE IF NOT EXISTS [公式库] (名称 TEXT, 分类名称 TEXT, 描述 TEXT, "
                  "内容 TEXT, 类型 INTEGER);"))
        return Fail("公式库无法建立");
    return true;
}

bool TFormulaLibrary::OpenExisting(const std::string& path) {
    error_.clear();
    if (!db_.Open(path, SqlDatabase::Mode::Existing)) return Fail("公式库无法打开");
    // Opening succeeds on any file; reading both tables tells a library from anything else.
    bool ok = db_.Query("Select count(*) FROM [公式分类]", {}, [](const SqlStatement&) {}) &&
              db_.Query("Select count(*) FROM [公式库]", {}, [](const SqlStatement&) {});
    if (!ok) {
        Fail("公式库无法打开");
        db_.Close();
        return false;
    }
    return true;
}

bool TFormulaLibrary::CreateEmpty(const std::string& path) {
    error_.clear();
    if (!db_.Open(path, SqlDatabase::Mode::Create)) return Fail("公式库无法建立");
    return CreateTables();
}

TFormulaLibrary::OpenResult TFormulaLibrary::Open(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::exists(path, ec))
        return OpenExisting(path) ? OpenResult::Opened : OpenResult::Failed;
    // A missing library is made anew rather than ending the program: the trainee keeps
    // working and finds the shipped formulas in it.
    if (!CreateEmpty(path) || !SeedLibrary(*this)) {
        db_.Close();
        std::filesystem::remove(path, ec);
        return OpenResult::Failed;
    }
    return OpenResult::Created;
}

std::vector<std::string> TFormulaLibrary::Categories() {
    std::vector<std::string> out;
    if (!db_.Query("Select 名称 FROM [公式分类] where 分类=1 order by 序号", {},
                   [&](const SqlStatement& row) { out.push_back(row.Text(0)); }))
        Fail("公式分类无法读取");
    return out;
}

std::vector<LibraryFormula> TFormulaLibrary::FormulasOf(const std::string& category) {
    std::vector<LibraryFormula> out;
    if (!db_.Query(std::string(kColumns) + "where 分类名称=? order by rowid", {category},
                   [&](const SqlStatement& row) { out.push_back(RowOf(row)); }))
        Fail("公式无法读取");
    return out;
}

bool TFormulaLibrary::Find(const std::string& name, LibraryFormula& out) {
    bool found = false;
    if (!db_.Query(std::string(kColumns) + "Where 名称=? order by rowid limit 1", {name},
                   [&](const SqlStatement& row) {
                       out = RowOf(row);
                       found = true;
                   }))
        return Fail("公式无法读取");
    return found;
}

std::string TFormulaLibrary::NameProblem(const std::string& name) {
    const std::string t = Trim(name);
    if (t.empty()) return "公式名称不能为空!";
    // The tree takes a formula's name as its text up to the first blank.
    if (t.find_first_of(" \t") != std::string::npos) return "公式名称不能含有空格!";
    return {};
}

bool TFormulaLibrary::Save(const std::string& category, const std::string& name,
                           const std::string& title, const std::string& text) {
    error_.clear();
    if (std::string problem = NameProblem(name); !problem.empty()) {
        error_ = problem;
        return false;
    }
    const std::string key = UpperAscii(Trim(name));
    LibraryFormula existing;
    const bool found = Find(key, existing);
    if (!found && !error_.empty()) return false;
    bool ok = found ? db_.Run("update [公式库] set 分类名称=?, 描述=?, 内容=?, 类型=1 Where 名称=?",
                              {category, title, text, key})
                    : db_.Run("insert into [公式库] (名称, 分类名称, 描述, 内容, 类型) "
                              "values (?, ?, ?, ?, 1)",
                              {key, category, title, text});
    return ok || Fail("公式无法保存");
}

bool TFormulaLibrary::Delete(const std::string& name) {
    error_.clear();
    return db_.Run("delete FROM [公式库] Where 名称=?", {name}) || Fail("公式无法删除");
}

bool TFormulaLibrary::AddCategory(const std::string& name) {
    error_.clear();
    return db_.Run("insert into [公式分类] (分类, 序号, 名称) values (1, (Select "
                   "coalesce(max(序号), 0) + 1 FROM [公式分类]), ?)",
                   {name}) ||
           Fail("公式分类无法保存");
}

} // namespace vantor
