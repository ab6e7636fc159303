// The indicator tree's commands without a window: the library on a temporary database, a
// scripted editor and a real chart core.

#include <gtest/gtest.h>

#include <deque>

#include "temp_dir.h"
#include "chart/tgp.h"
#include "library/formula_library.h"
#include "practice/formula_tree.h"

namespace vantor::test {
namespace {

// Answers the editor with the next scripted result and records what it was opened with.
class ScriptedHost : public FormulaHost {
public:
    bool EditFormula(FormulaEdit& edit) override {
        opened.push_back(edit);
        if (answers.empty()) return false;
        edit = answers.front();
        answers.pop_front();
        return true;
    }
    bool AskWarning(const std::string& text, const std::string& title) override {
        asked.push_back(title + ":" + text);
        return yes;
    }
    void Message(const std::string& text) override { messages.push_back(text); }

    std::deque<FormulaEdit> answers;
    std::vector<FormulaEdit> opened;
    std::vector<std::string> asked, messages;
    bool yes = true;
};

class TreeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(lib.CreateEmpty(dir.file(kLibraryFile)));
        ASSERT_TRUE(lib.AddCategory("趋势"));
        ASSERT_TRUE(lib.AddCategory("摆动"));
        ASSERT_TRUE(lib.Save("趋势", "MYMA", "我的 均线", "TECHNAME:=MYMA;\nA:MA(C,5);"));
        tree.Fill();
    }
    const std::vector<std::string>& Formulas(int cat) { return tree.Categories()[cat].formulas; }

    TempDir dir;
    TFormulaLibrary lib;
    ScriptedHost host;
    TGP chart;
    TFormulaTree tree{&lib, host, chart};
};

TEST_F(TreeTest, NodesShowNameAndDescriptionAndTheNameIsTheFirstWord) {
    ASSERT_EQ(tree.Categories().size(), 2u);
    EXPECT_EQ(Formulas(0), (std::vector<std::string>{"MYMA 我的 均线"}));
    EXPECT_EQ(TFormulaTree::FormulaName("MYMA 我的 均线"), "MYMA");
    EXPECT_EQ(TFormulaTree::FormulaName("NOTITLE"), "NOTITLE");
    EXPECT_EQ(tree.EditCaption({0, 0}), "编辑指标");
    EXPECT_EQ(tree.EditCaption({0, -1}), "新建指标");
    EXPECT_EQ(tree.EditCaption({}), "新建指标");
}

TEST_F(TreeTest, EditingUnderANewNameRenamesTheNodeAndKeepsTheOldRow) {
    host.answers.push_back({"myma2", "新", "A:C;", ""});
    TFormulaTree::Node n{0, 0};
    ASSERT_TRUE(tree.Edit(n));
    ASSERT_EQ(host.opened.size(), 1u);
    EXPECT_EQ(host.opened[0].name, "MYMA");
    EXPECT_EQ(host.opened[0].text, "TECHNAME:=MYMA;\nA:MA(C,5);");
    EXPECT_EQ(Formulas(0), (std::vector<std::string>{"MYMA2 新"}));
    tree.Fill(); // the next start shows both rows
    EXPECT_EQ(Formulas(0), (std::vector<std::string>{"MYMA 我的 均线", "MYMA2 新"}));
}

TEST_F(TreeTest, SavingFromACategoryMovesTheRowAndADeleteClearsEveryNode) {
    host.answers.push_back({"MYMA", "我的 均线", "A:MA(C,10);", ""});
    TFormulaTree::Node n{1, -1};
    ASSERT_TRUE(tree.Edit(n));
    EXPECT_EQ(n.item, 0);
    EXPECT_TRUE(host.opened[0].text.empty()); // a category starts an empty editor
    LibraryFormula f;
    ASSERT_TRUE(lib.Find("MYMA", f));
    EXPECT_EQ(f.category, "摆动");
    // Until the next start the formula shows under both categories ...
    EXPECT_EQ(Formulas(0).size(), 1u);
    EXPECT_EQ(Formulas(1).size(), 1u);
    // ... but once its row is deleted, under neither.
    ASSERT_TRUE(tree.Delete({0, 0}));
    EXPECT_EQ(host.asked, (std::vector<std::string>{"警告:是否删除公式:MYMA？"}));
    EXPECT_TRUE(Formulas(0).empty());
    EXPECT_TRUE(Formulas(1).empty());
    EXPECT_FALSE(lib.Find("MYMA", f));
}

TEST_F(TreeTest, SavingANameAlreadyShownInTheCategoryRenewsItsNode) {
    host.answers.push_back({"myma", "改", "A:C;", ""});
    TFormulaTree::Node n{0, -1};
    ASSERT_TRUE(tree.Edit(n));
    EXPECT_EQ(Formulas(0), (std::vector<std::string>{"MYMA 改"}));
    EXPECT_EQ(n.item, 0);
}

TEST_F(TreeTest, RefusedNamesAndCancelWriteNothing) {
    host.answers.push_back({"  ", "空", "A:C;", ""});
    TFormulaTree::Node n{0, -1};
    EXPECT_FALSE(tree.Edit(n));
    EXPECT_EQ(host.messages, (std::vector<std::string>{"公式名称不能为空!"}));
    EXPECT_FALSE(tree.Edit(n)); // cancelled
    EXPECT_EQ(lib.FormulasOf("趋势").size(), 1u);
    EXPECT_EQ(Formulas(0).size(), 1u);
    host.yes = false;
    EXPECT_FALSE(tree.Delete({0, 0}));
    EXPECT_EQ(lib.FormulasOf("趋势").size(), 1u);
}

TEST_F(TreeTest, LoadHandsTheFormulaToTheCurrentWindowAndCategoriesDoNothing) {
    ASSERT_TRUE(chart.SetCurWin(2));
    const std::string before = chart.FormulaText(1);
    EXPECT_FALSE(tree.Load({0, -1}));
    EXPECT_EQ(chart.FormulaText(1), before);
    ASSERT_TRUE(tree.Load({0, 0}));
    EXPECT_NE(chart.FormulaText(1).find("A:MA(C,5);"), std::string::npos) << chart.FormulaText(1);
    // A node whose row is gone hands nothing over.
    ASSERT_TRUE(lib.Delete("MYMA"));
    ASSERT_TRUE(chart.SetCurWin(1));
    const std::string main = chart.FormulaText(0);
    EXPECT_FALSE(tree.Load({0, 0}));
    EXPECT_EQ(chart.FormulaText(0), main);
}

} // namespace
} // namespace vantor::test
