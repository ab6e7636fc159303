#include <gtest/gtest.h>

#include <set>
#include <sqlite3.h>

#include "account/row_id.h"
#include "account/sqlite_db.h"
#include "account/sxf.h"
#include "account/sxf_editor.h"
#include "temp_dir.h"

namespace vantor {
namespace {

using test::TempDir;

// Records what the code shows the user, and answers confirmations.
struct Recorder {
    std::vector<std::string> messages;
    std::vector<std::string> questions;
    bool answer = true;
    Host host() {
        Host h;
        h.message = [this](const std::string& t) { messages.push_back(t); };
        h.confirm = [this](const std::string& t, const std::string& title) {
            questions.push_back(title + ":" + t);
            return answer;
        };
        return h;
    }
};

// Runs SQL directly on the test's sxf.db.
void RawSql(const std::string& dir, const std::string& sql) {
    SqlDatabase db;
    ASSERT_TRUE(db.Open(dir + "/sxf.db", SqlDatabase::Mode::Create));
    ASSERT_TRUE(db.Exec(sql)) << db.error();
}

std::vector<std::vector<std::string>> Rows(const std::string& dir, const std::string& sql) {
    std::vector<std::vector<std::string>> rows;
    SqlDatabase db;
    EXPECT_TRUE(db.Open(dir + "/sxf.db", SqlDatabase::Mode::Existing));
    EXPECT_TRUE(db.Query(sql, {}, [&](const SqlStatement& r) {
        std::vector<std::string> row;
        for (int i = 0; i < r.ColumnCount(); ++i) row.push_back(r.Text(i));
        rows.push_back(row);
    })) << db.error();
    return rows;
}

bool IsRowId(const std::string& id) {
    if (id.size() != 27) return false;
    for (char c : id)
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
    return true;
}

class SxfTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(EnsureSxfDatabase(dir.path(), error)) << error;
    }
    TempDir dir;
    Recorder rec;
};

TEST(RowId, TwentySevenUpperHexDigits) {
    std::set<std::string> seen;
    for (int i = 0; i < 200; ++i) {
        std::string id = NewRowId();
        EXPECT_TRUE(IsRowId(id)) << id;
        seen.insert(id);
    }
    EXPECT_EQ(seen.size(), 200u);
}

TEST_F(SxfTest, CreatesTableWithItsStatement) {
    auto rows = Rows(dir.path(), "select sql from sqlite_master");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0], kSxfCreateTable);
    std::string error;
    EXPECT_TRUE(EnsureSxfDatabase(dir.path(), error)); // an existing file is kept
}

TEST_F(SxfTest, LooksUpStoredRow) {
    RawSql(dir.path(), "INSERT INTO tblsxf VALUES ('IF1509','300','12','0.25','0.25','X')");
    TSxf sxf(dir.path());
    sxf.host = rec.host();
    ASSERT_TRUE(sxf.getSxf("IF1509"));
    EXPECT_EQ(sxf.cursxf.sCode, "IF1509");
    EXPECT_EQ(sxf.cursxf.nhycs, 300);
    EXPECT_DOUBLE_EQ(sxf.cursxf.fBzjbl, 0.12);
    EXPECT_DOUBLE_EQ(sxf.cursxf.fmrf, 0.000025);
    EXPECT_DOUBLE_EQ(sxf.cursxf.fMcf, 0.000025);
    EXPECT_TRUE(rec.messages.empty());
}

TEST_F(SxfTest, MissingCodeUsesDefaultsWithMessage) {
    RawSql(dir.path(), "INSERT INTO tblsxf VALUES ('IF1509','300','12','0.25','0.25','X')");
    TSxf sxf(dir.path());
    sxf.host = rec.host();
    EXPECT_EQ(sxf.cursxf.nhycs, 10);
    EXPECT_EQ(sxf.cursxf.fBzjbl, 0.2);
    EXPECT_EQ(sxf.cursxf.fmrf, 0.003);
    sxf.UsePracticeDefaults();
    EXPECT_FALSE(sxf.getSxf("if1509")); // the match is exact
    EXPECT_EQ(sxf.cursxf.nhycs, 10);
    EXPECT_EQ(sxf.cursxf.fBzjbl, 1.0);
    EXPECT_EQ(sxf.cursxf.fmrf, 0.0006);
    EXPECT_EQ(sxf.cursxf.fMcf, 0.0006);
    ASSERT_EQ(rec.messages.size(), 1u);
    EXPECT_EQ(rec.messages[0], "当前品种  if1509  没有找到交易参数，即将用默认参数交易！  \r\n"
                               "  修改请在菜单->工具->费率设置->中进行");

    TSxf noFile(dir.path() + "/missing");
    noFile.host = rec.host();
    EXPECT_FALSE(noFile.getSxf("IF1509"));
    EXPECT_EQ(rec.messages.size(), 2u);
}

// Stored values that are not numbers, or that no account could trade with, give the
// column's fallback: multiplier 10, margin 5 %, fees 0.45 ten-thousandths.
TEST_F(SxfTest, StoredValueFallbacks) {
    struct Case {
        const char *code, *hycs, *bzjbl, *mrf, *mcf;
        double n, r, fo, fc;
    };
    const Case cases[] = {
        {"A", "abc", "", "x", "1e", 10, 0.05, 0.000045, 0.000045},
        {"B", "0", "0", "0", "0", 10, 0.05, 0, 0},
        {"C", "-3", "-12", "-1", "-0.5", 10, 0.05, 0.000045, 0.000045},
        {"D", " 5 ", "8", "2", "3", 5, 0.08, 0.0002, 0.0003},
    };
    for (const auto& c : cases) {
        SqlDatabase db;
        ASSERT_TRUE(db.Open(dir.path() + "/sxf.db", SqlDatabase::Mode::Existing));
        ASSERT_TRUE(db.Run("INSERT INTO tblsxf VALUES (?,?,?,?,?,'id')",
                           {c.code, c.hycs, c.bzjbl, c.mrf, c.mcf}));
    }
    TSxf sxf(dir.path());
    for (const auto& c : cases) {
        ASSERT_TRUE(sxf.getSxf(c.code)) << c.code;
        EXPECT_DOUBLE_EQ(sxf.cursxf.nhycs, c.n) << c.code;
        EXPECT_DOUBLE_EQ(sxf.cursxf.fBzjbl, c.r) << c.code;
        EXPECT_DOUBLE_EQ(sxf.cursxf.fmrf, c.fo) << c.code;
        EXPECT_DOUBLE_EQ(sxf.cursxf.fMcf, c.fc) << c.code;
        EXPECT_TRUE(IsUsable(sxf.cursxf));
    }
}

TEST_F(SxfTest, CodesWithQuotesAreData) {
    TSxfEditor ed(dir.path());
    ed.host = rec.host();
    ASSERT_TRUE(ed.LoadCodes({"O'K", "A\"B"}, {"X' OR '1'='1"}));
    ASSERT_TRUE(ed.ReplaceAll({"300", "12", "0.25", "0.25"}));
    TSxf sxf(dir.path());
    EXPECT_TRUE(sxf.getSxf("O'K"));
    EXPECT_TRUE(sxf.getSxf("A\"B"));
    EXPECT_FALSE(sxf.getSxf("' OR '1'='1"));
    EXPECT_TRUE(sxf.getSxf("X' OR '1'='1"));
}

TEST_F(SxfTest, ReplaceAllWritesOneRowPerCode) {
    RawSql(dir.path(), "INSERT INTO tblsxf VALUES ('OLD','1','1','1','1','X')");
    std::vector<std::string> day, min;
    for (int i = 0; i < 12; ++i) day.push_back("D" + std::to_string(i));
    for (int i = 0; i < 8; ++i) min.push_back("M" + std::to_string(i));
    TSxfEditor ed(dir.path());
    ed.host = rec.host();
    ASSERT_TRUE(ed.LoadCodes(day, min));
    ASSERT_EQ(ed.codes.size(), 20u);
    EXPECT_EQ(ed.codes[12], "M0");
    EXPECT_EQ(ed.RowTexts(0), (std::array<std::string, 5>{"D0", "0", "0", "0", "0"}));

    ASSERT_TRUE(ed.ReplaceAll({"300", "12", "0.25", "0.25"})) << ed.sError;
    EXPECT_EQ(rec.questions, std::vector<std::string>{"提示:确认全部修改？此操作无法恢复"});
    EXPECT_EQ(rec.messages, std::vector<std::string>{"手续费保存成功！"});
    auto rows = Rows(dir.path(), "select * from tblsxf");
    ASSERT_EQ(rows.size(), 20u);
    std::set<std::string> ids;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i][0], ed.codes[i]);
        EXPECT_EQ(std::vector<std::string>(rows[i].begin() + 1, rows[i].begin() + 5),
                  (std::vector<std::string>{"300", "12", "0.25", "0.25"}));
        EXPECT_TRUE(IsRowId(rows[i][5]));
        ids.insert(rows[i][5]);
    }
    EXPECT_EQ(ids.size(), 20u);
    EXPECT_EQ(ed.RowTexts(5),
              (std::array<std::string, 5>{"D5", "300.00", "12.00", "0.25", "0.25"}));
    EXPECT_EQ(ed.RowTexts(99), (std::array<std::string, 5>{}));
}

// Refusals: nothing is asked or written, and the table keeps its row.
TEST_F(SxfTest, ReplaceAllRefusals) {
    RawSql(dir.path(), "INSERT INTO tblsxf VALUES ('KEEP','1','1','1','1','X')");
    struct Case {
        std::vector<std::string> codes;
        SxfBoxes boxes;
        bool answer;
        const char* message;
    };
    const Case cases[] = {
        {{}, {"300", "12", "1", "1"}, true, "品种列表为空，请先载入商品！"},
        {{"A"}, {"0", "12", "1", "1"}, true, "有效值不能小于0！"},
        {{"A"}, {"300", "0", "1", "1"}, true, "有效值不能小于0！"},
        {{"A"}, {"300", "-5", "1", "1"}, true, "有效值不能小于0！"},
        {{"A"}, {"300", "12", "-1", "1"}, true, "有效值不能小于0！"},
        {{"A"}, {"abc", "12", "1", "1"}, true, "有效值不能小于0！"},
        {{"A"}, {"300", "12", "1", "1"}, false, nullptr}, // the user says no
    };
    for (const auto& c : cases) {
        Recorder r;
        r.answer = c.answer;
        TSxfEditor ed(dir.path());
        ed.host = r.host();
        ed.codes = c.codes;
        EXPECT_FALSE(ed.ReplaceAll(c.boxes));
        if (c.message)
            EXPECT_EQ(r.messages, std::vector<std::string>{c.message});
        else
            EXPECT_TRUE(r.messages.empty());
        auto rows = Rows(dir.path(), "select scode from tblsxf");
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(rows[0][0], "KEEP");
    }
}

// A save that fails after the old table was dropped inside the transaction (here the commit
// cannot get the file while another connection reads it) leaves the old rows in place.
TEST_F(SxfTest, FailedReplaceLeavesTableAsItWas) {
    RawSql(dir.path(), "INSERT INTO tblsxf VALUES ('KEEP','1','1','1','1','X')");
    RawSql(dir.path(), "INSERT INTO tblsxf VALUES ('KEEP2','1','1','1','1','Y')");
    SqlDatabase reader;
    ASSERT_TRUE(reader.Open(dir.path() + "/sxf.db", SqlDatabase::Mode::Existing));
    SqlStatement pending = reader.Prepare("select * from tblsxf");
    bool done = false;
    ASSERT_TRUE(pending.Step(done)); // holds a read lock until finalised

    TSxfEditor ed(dir.path());
    ed.host = rec.host();
    ed.codes = {"A", "B"};
    EXPECT_FALSE(ed.ReplaceAll({"300", "12", "1", "1"}));
    ASSERT_EQ(rec.messages.size(), 1u);
    EXPECT_EQ(rec.messages[0].rfind("手续费保存失败！", 0), 0u) << rec.messages[0];
    pending = SqlStatement();
    reader.Close();

    auto rows = Rows(dir.path(), "select scode, sid from tblsxf");
    EXPECT_EQ(rows, (std::vector<std::vector<std::string>>{{"KEEP", "X"}, {"KEEP2", "Y"}}));
}

TEST_F(SxfTest, UpdateSelectedChangesOnlyExistingRows) {
    RawSql(dir.path(), "INSERT INTO tblsxf VALUES ('A','10','5','1','1','X')");
    RawSql(dir.path(), "INSERT INTO tblsxf VALUES ('B''Q','10','5','1','1','Y')");
    RawSql(dir.path(), "INSERT INTO tblsxf VALUES ('C','10','5','1','1','Z')");
    TSxfEditor ed(dir.path());
    ed.host = rec.host();
    ASSERT_TRUE(ed.UpdateSelected({"B'Q", "NEW", "A"}, {"300", "12", "0.25", "0.5"}));
    EXPECT_EQ(rec.questions, std::vector<std::string>{"提示:修改选中列表？"});
    EXPECT_EQ(rec.messages, std::vector<std::string>{"手续费保存成功！"});
    auto rows = Rows(dir.path(), "select * from tblsxf order by scode");
    EXPECT_EQ(rows, (std::vector<std::vector<std::string>>{{"A", "300", "12", "0.25", "0.5", "X"},
                                                           {"B'Q", "300", "12", "0.25", "0.5", "Y"},
                                                           {"C", "10", "5", "1", "1", "Z"}}));
}

TEST_F(SxfTest, QueryFillsBoxes) {
    RawSql(dir.path(), "INSERT INTO tblsxf VALUES ('IF','300','12','0.25','0.25','X')");
    TSxfEditor ed(dir.path());
    ed.host = rec.host();
    SxfBoxes boxes{"a", "b", "c", "d"};
    ASSERT_TRUE(ed.Query("IF", boxes));
    EXPECT_EQ(boxes, (SxfBoxes{"300", "12.00", "0.25", "0.25"}));
    boxes = {"a", "b", "c", "d"};
    EXPECT_FALSE(ed.Query("IH", boxes));
    EXPECT_EQ(boxes, (SxfBoxes{"a", "b", "c", "d"}));
    EXPECT_EQ(rec.messages.size(), 1u);
}

TEST(SxfEditorBoxes, MarginAndMultiplierRules) {
    const std::pair<const char*, const char*> margin[] = {
        {"0", "5"},  {"0.001", "5"}, {"abc", "5"},      {"", "5"},
        {"-3", "5"}, {"12", "12"},   {"0.002", "0.002"}};
    for (auto [in, out] : margin) EXPECT_EQ(TSxfEditor::MarginBoxText(in), out) << in;

    Recorder rec;
    TSxfEditor ed("");
    ed.host = rec.host();
    EXPECT_TRUE(ed.CheckMultiplierBox("300"));
    EXPECT_FALSE(ed.CheckMultiplierBox("0"));
    EXPECT_FALSE(ed.CheckMultiplierBox("x"));
    EXPECT_EQ(rec.messages, (std::vector<std::string>{"有效值不能小于0！", "有效值不能小于0！"}));
}

} // namespace
} // namespace vantor
