// The formula library on a temporary database: look-up, saving, renaming and moving rows,
// names with quotes and refused names, and a first start that fills a new library.

#include <gtest/gtest.h>

#include <fstream>

#include "temp_dir.h"
#include "library/formula_check.h"
#include "library/formula_library.h"
#include "library/library_seed.h"

namespace vantor::test {
namespace {

class LibraryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(lib.CreateEmpty(dir.file(kLibraryFile))) << lib.error();
        ASSERT_TRUE(lib.AddCategory("趋势"));
        ASSERT_TRUE(lib.AddCategory("摆动"));
    }
    std::vector<std::string> NamesOf(const std::string& category) {
        std::vector<std::string> names;
        for (const LibraryFormula& f : lib.FormulasOf(category)) names.push_back(f.name);
        return names;
    }
    TempDir dir;
    TFormulaLibrary lib;
};

TEST_F(LibraryTest, SavesUpperCaseNamesWithTypeOneAndUpdatesInPlace) {
    ASSERT_TRUE(lib.Save("趋势", "myma", "我的 均线 指标", "A:MA(C,5);"));
    LibraryFormula f;
    ASSERT_TRUE(lib.Find("MYMA", f));
    EXPECT_EQ(f.category, "趋势");
    EXPECT_EQ(f.title, "我的 均线 指标"); // blanks in a description are kept whole
    EXPECT_EQ(f.text, "A:MA(C,5);");
    EXPECT_EQ(f.type, 1);
    EXPECT_FALSE(lib.Find("myma", f)); // names are stored upper case and looked up as given

    ASSERT_TRUE(lib.Save("趋势", "MYMA", "新描述", "A:MA(C,10);"));
    ASSERT_EQ(lib.FormulasOf("趋势").size(), 1u);
    ASSERT_TRUE(lib.Find("MYMA", f));
    EXPECT_EQ(f.text, "A:MA(C,10);");
}

TEST_F(LibraryTest, RenamingKeepsTheOldRowAndMovingChangesTheCategory) {
    ASSERT_TRUE(lib.Save("趋势", "OLD", "", "A:C;"));
    // Saved under a changed name: a new row, the old one stays.
    ASSERT_TRUE(lib.Save("趋势", "NEW", "", "A:C;"));
    EXPECT_EQ(NamesOf("趋势"), (std::vector<std::string>{"OLD", "NEW"}));
    // Saved from another category under an existing name: the row moves there.
    ASSERT_TRUE(lib.Save("摆动", "OLD", "", "A:O;"));
    EXPECT_EQ(NamesOf("趋势"), (std::vector<std::string>{"NEW"}));
    EXPECT_EQ(NamesOf("摆动"), (std::vector<std::string>{"OLD"}));
}

TEST_F(LibraryTest, QuotesInNamesAndCategoriesAreValuesNotSql) {
    const std::vector<std::string> names = {"O'NEIL", "SAY\"HI\"", "X');DROP_TABLE"};
    for (const std::string& n : names) ASSERT_TRUE(lib.Save("趋势", n, "'", "A:C;")) << n;
    EXPECT_EQ(NamesOf("趋势"), names);
    LibraryFormula f;
    ASSERT_TRUE(lib.Find("O'NEIL", f));
    EXPECT_EQ(f.title, "'");
    ASSERT_TRUE(lib.Delete("O'NEIL"));
    EXPECT_FALSE(lib.Find("O'NEIL", f));
    EXPECT_EQ(lib.FormulasOf("趋势").size(), 2u);
    EXPECT_EQ(lib.Categories(), (std::vector<std::string>{"趋势", "摆动"}));
}

TEST_F(LibraryTest, EmptyBlankAndSpacedNamesAreRefusedWithoutWriting) {
    const struct {
        const char* name;
        const char* message;
    } cases[] = {{"", "公式名称不能为空!"},
                 {"   ", "公式名称不能为空!"},
                 {"\t", "公式名称不能为空!"},
                 {"MY MA", "公式名称不能含有空格!"}};
    for (const auto& c : cases) {
        EXPECT_FALSE(lib.Save("趋势", c.name, "", "A:C;")) << c.name;
        EXPECT_EQ(lib.error(), c.message);
    }
    EXPECT_TRUE(lib.FormulasOf("趋势").empty());
}

TEST_F(LibraryTest, OnlyShownCategoriesInTheirOrder) {
    ASSERT_TRUE(lib.Db().Run("insert into [公式分类] (分类, 序号, 名称) values (2, 0, '隐藏'), "
                             "(1, 0, '最前')"));
    EXPECT_EQ(lib.Categories(), (std::vector<std::string>{"最前", "趋势", "摆动"}));
}

TEST(LibraryOpen, FirstStartCreatesAndFillsTheLibraryThenReopensIt) {
    TempDir dir;
    const std::string path = dir.file(kLibraryFile);
    {
        TFormulaLibrary lib;
        ASSERT_EQ(lib.Open(path), TFormulaLibrary::OpenResult::Created) << lib.error();
        EXPECT_EQ(lib.Categories(), SeedCategories());
        int total = 0;
        for (const std::string& c : lib.Categories())
            for (const LibraryFormula& f : lib.FormulasOf(c)) {
                ++total;
                EXPECT_TRUE(CompileFormula(f.text).ok) << f.name;
                EXPECT_EQ(f.type, 1);
            }
        // The 38 built-ins and well over a hundred real-world formulas.
        EXPECT_GT(total, 38 + 100);
        LibraryFormula f;
        ASSERT_TRUE(lib.Find("MACD", f));
        EXPECT_EQ(f.category, "趋势");
        EXPECT_EQ(f.title, "平滑异同平均");
        ASSERT_TRUE(lib.Find("KD", f));
        EXPECT_EQ(f.category, "摆动");
        EXPECT_NE(f.text.find("TECHNAME:=KD;"), std::string::npos);
        ASSERT_TRUE(lib.Save("趋势", "MINE", "", "A:C;"));
    }
    TFormulaLibrary again;
    ASSERT_EQ(again.Open(path), TFormulaLibrary::OpenResult::Opened);
    LibraryFormula f;
    EXPECT_TRUE(again.Find("MINE", f)); // an existing library is opened, never refilled
}

TEST(LibraryOpen, ALibraryThatIsNoDatabaseFailsWithAMessage) {
    TempDir dir;
    const std::string path = dir.file(kLibraryFile);
    std::ofstream(path) << "this is not a database, only some text that fills a page.";
    TFormulaLibrary lib;
    EXPECT_EQ(lib.Open(path), TFormulaLibrary::OpenResult::Failed);
    EXPECT_NE(lib.error().find("公式库无法打开"), std::string::npos) << lib.error();
    EXPECT_FALSE(lib.IsOpen());
}

} // namespace
} // namespace vantor::test
