#include "account/sxf_editor.h"

#include "account/numbers.h"
#include "account/row_id.h"
#include "account/sqlite_db.h"
#include "account/sxf.h"

namespace vantor {

namespace {

const char kSaved[] = "手续费保存成功！";
const char kInvalidValue[] = "有效值不能小于0！";
const char kEmptyList[] = "品种列表为空，请先载入商品！";
const char kTitle[] = "提示";
const std::string kSaveFailed = "手续费保存失败！";

} // namespace

TSxfEditor::TSxfEditor(std::string programDir) : programDir_(std::move(programDir)) {}

bool TSxfEditor::Fail(const std::string& text) {
    sError = text;
    host.Message(text);
    return false;
}

bool TSxfEditor::LoadCodes(const std::vector<std::string>& dayCodes,
                           const std::vector<std::string>& minCodes) {
    codes = dayCodes;
    codes.insert(codes.end(), minCodes.begin(), minCodes.end());
    return ReadTable();
}

bool TSxfEditor::ReadTable() {
    stored_.clear();
    sError.clear();
    SqlDatabase db;
    if (!db.Open(SxfDatabasePath(programDir_), SqlDatabase::Mode::Existing)) {
        sError = db.error();
        return false;
    }
    bool ok = db.Query(
        "select scode, shycs, sbzjbl, smrf, smcf from tblsxf", {}, [&](const SqlStatement& r) {
            stored_.try_emplace(
                r.Text(0), std::array<std::string, 4>{r.Text(1), r.Text(2), r.Text(3), r.Text(4)});
        });
    if (!ok) sError = db.error();
    return ok;
}

std::array<std::string, 5> TSxfEditor::RowTexts(std::size_t i) const {
    std::array<std::string, 5> out;
    if (i >= codes.size()) return out;
    out[0] = codes[i];
    auto it = stored_.find(codes[i]);
    for (int c = 0; c < 4; ++c)
        out[c + 1] = it == stored_.end() ? std::string("0") : Fixed2(NumberOr(it->second[c], 0));
    return out;
}

bool TSxfEditor::Query(const std::string& code, SxfBoxes& boxes) {
    TSxf source(programDir_);
    source.host = host;
    if (!source.getSxf(code)) return false;
    boxes[0] = ShortestDecimal(source.cursxf.nhycs);
    boxes[1] = Fixed2(source.cursxf.fBzjbl * 100);
    boxes[2] = Fixed2(source.cursxf.fmrf * 10000);
    boxes[3] = Fixed2(source.cursxf.fMcf * 10000);
    return true;
}

bool TSxfEditor::ValidBoxes(const SxfBoxes& boxes) {
    double v[4];
    for (int i = 0; i < 4; ++i)
        if (!ParseNumber(boxes[i], v[i])) return Fail(kInvalidValue);
    Rsxf p;
    p.nhycs = v[0];
    p.fBzjbl = v[1] / 100;
    p.fmrf = v[2] / 10000;
    p.fMcf = v[3] / 10000;
    if (!IsUsable(p)) return Fail(kInvalidValue);
    return true;
}

bool TSxfEditor::ReplaceAll(const SxfBoxes& boxes) {
    sError.clear();
    if (codes.empty()) return Fail(kEmptyList);
    if (!ValidBoxes(boxes)) return false;
    if (!host.Confirm("确认全部修改？此操作无法恢复", kTitle)) return false;
    std::vector<std::vector<std::string>> rows;
    for (const auto& code : codes)
        rows.push_back({code, boxes[0], boxes[1], boxes[2], boxes[3], NewRowId()});
    return Save(true, "INSERT INTO \"tblsxf\" VALUES (?,?,?,?,?,?)", rows);
}

bool TSxfEditor::UpdateSelected(const std::vector<std::string>& selected, const SxfBoxes& boxes) {
    sError.clear();
    if (!ValidBoxes(boxes)) return false;
    if (!host.Confirm("修改选中列表？", kTitle)) return false;
    std::vector<std::vector<std::string>> rows;
    for (const auto& code : selected)
        rows.push_back({boxes[1], boxes[0], boxes[2], boxes[3], code});
    return Save(false, "UPDATE \"tblsxf\" SET sbzjbl=?,shycs=?,smrf=?,smcf=? where scode=?", rows);
}

bool TSxfEditor::Save(bool rebuild, const std::string& sql,
                      const std::vector<std::vector<std::string>>& rows) {
    SqlDatabase db;
    bool ok = db.Open(SxfDatabasePath(programDir_),
                      rebuild ? SqlDatabase::Mode::Create : SqlDatabase::Mode::Existing) &&
              db.Begin();
    if (ok && rebuild) ok = db.Exec("DROP TABLE IF EXISTS \"tblsxf\"") && db.Exec(kSxfCreateTable);
    if (ok) {
        SqlStatement statement = db.Prepare(sql);
        ok = statement.valid();
        for (std::size_t i = 0; ok && i < rows.size(); ++i) {
            statement.Reset();
            ok = statement.BindTexts(rows[i]) && statement.Run();
            if (!ok) db.TakeError();
        }
    }
    if (!ok || !db.Commit()) {
        db.Rollback();
        return Fail(kSaveFailed + db.error());
    }
    db.Close();
    ReadTable();
    host.Message(kSaved);
    return true;
}

std::string TSxfEditor::MarginBoxText(const std::string& text) {
    return NumberOr(text, 0) <= 0.001 ? std::string("5") : text;
}

bool TSxfEditor::CheckMultiplierBox(const std::string& text) {
    if (NumberOr(text, 0) > 0.001) return true;
    host.Message(kInvalidValue);
    return false;
}

} // namespace vantor
