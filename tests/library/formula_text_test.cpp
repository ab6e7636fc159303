// The editor's text rules without a window: the reference text against the function
// catalogue, the test run on the sample bars and the line a message names.

#include <gtest/gtest.h>

#include <set>

#include "formula/func_str.h"
#include "formula/gs.h"
#include "library/formula_check.h"
#include "library/formula_text.h"

namespace vantor::test {
namespace {

TEST(Reference, EveryCatalogueWordColourAndStyleHasOneEntry) {
    TGS gs;
    std::vector<std::string> catalogue;
    gs.Getfunc().getfunclist(&catalogue);
    ASSERT_GT(catalogue.size(), 150u);
    const std::vector<std::string> words = ReferenceWords();
    std::multiset<std::string> have(words.begin(), words.end());
    for (const std::string& f : catalogue) EXPECT_EQ(have.count(UpperAscii(f)), 1u) << f;
    for (const char* w :
         {"COLORRED", "COLORLIMAGENTA", "COLORWHITE", "COLOR", "LINETHICK", "STICK", "COLORSTICK",
          "VOLSTICK", "LINESTICK", "CROSSDOT", "CIRCLEDOT", "POINTDOT", "LINEDOT", "NODRAW"})
        EXPECT_EQ(have.count(w), 1u) << w;
    for (const std::string& w : words) {
        // first line: the word, a blank and the explanation; then usage and an example
        std::vector<std::string> entry = ReferenceEntry(w);
        ASSERT_GE(entry.size(), 3u) << w;
        EXPECT_GT(entry[0].size(), w.size() + 1) << w;
    }
}

TEST(Reference, EntryRunsToTheEmptyLine) {
    std::vector<std::string> ma = ReferenceEntry("ma");
    ASSERT_FALSE(ma.empty());
    EXPECT_EQ(ma[0], "MA 简单移动平均");
    EXPECT_EQ(ma.size(), 3u);
    EXPECT_TRUE(ReferenceEntry("NOSUCHWORD").empty());
}

TEST(FormulaTest, PassesOnTheSampleBarsOrNamesTheFailingLine) {
    FormulaCheck good = TestFormula("A:MA(CLOSE,3);\nB:DYNAINFO(7);");
    EXPECT_TRUE(good.ok) << good.error;
    EXPECT_EQ(TestReport(good).back(), "测试通过");

    FormulaCheck bad = TestFormula("A:MA(CLOSE,3);\nB:MA((CLOSE,3);");
    EXPECT_FALSE(bad.ok);
    EXPECT_EQ(bad.errorLine, 1) << bad.error;
    std::vector<std::string> report = TestReport(bad);
    ASSERT_GE(report.size(), 4u);
    EXPECT_EQ(report.back(), "测试错误");
    EXPECT_EQ(report[report.size() - 3], bad.error);

    FormulaCheck unknown = TestFormula("A:NOSUCH(CLOSE,3);");
    EXPECT_FALSE(unknown.ok);
    EXPECT_FALSE(unknown.error.empty());
}

TEST(FormulaTest, ErrorLineOfMessages) {
    const struct {
        const char* message;
        int line;
    } cases[] = {{"第 3 行:括号不配匹", 2},
                 {"第12行错误!", 11},
                 {"第1行 函数:X 尚不支持!", 0},
                 {"不存在函数:x !", -1},
                 {"第一行", -1}};
    for (const auto& c : cases) EXPECT_EQ(ErrorLineOf(c.message), c.line) << c.message;
}

TEST(FormulaText, HeaderLinesAndBlankLines) {
    std::string t = WithName("A:C;", "my");
    EXPECT_EQ(t, "A:C;\nTECHNAME:=MY;");
    EXPECT_EQ(WithName(t, "My"), t); // the same name in another case changes nothing
    EXPECT_EQ(HeaderField(HeaderValue(t, kNameKey)), "MY");
    EXPECT_EQ(WithDrawK("DRAWK:=TRUE;\nA:C;", false), "DRAWK:=FALSE;\nA:C;");
    EXPECT_EQ(WithoutBlankLines("A:C;\n\n  \nB:O;\n"), "A:C;\nB:O;\n");
}

} // namespace
} // namespace vantor::test
