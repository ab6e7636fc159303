// The parameter-adjustment rows: INPUT lines rewritten on every change, values kept in
// their ranges, defaults restored, and the window rerun with the new value.

#include <gtest/gtest.h>

#include "chart/param_adjust.h"
#include "chart/tgp.h"

namespace vantor {
namespace {

const char kFormula[] = "TECHNAME:=T;\n"
                        "N:=INPUT(1,100,20,20);\n"
                        "P:=INPUT(1,10,2,3);\n"
                        "A:MA(CLOSE,N);\n"
                        "B:CLOSE*0+P;\n";

class ParamAdjustTest : public ::testing::Test {
protected:
    TGP chart;
    void SetUp() override {
        chart.SetSize(600, 400);
        chart.UseMainWindowSettings();
        chart.ClearData();
        std::vector<double> c, d;
        for (int i = 0; i < 60; ++i) {
            c.push_back(i);
            d.push_back(20200101 + i);
        }
        chart.AddALL("date", d.data(), 60, false);
        for (const char* s : {"open", "high", "low", "close"}) chart.AddALL(s, c.data(), 60, false);
        chart.AddALL("vol", c.data(), 60, true);
        ASSERT_TRUE(chart.SetWFCString(1, kFormula));
    }
    ChartWindow& Window() { return *chart.GS()[1]; }
    std::string LineOf(const std::string& text, const std::string& start) {
        size_t p = text.find("\n" + start);
        std::string line = text.substr(p + 1, text.find('\n', p + 1) - p - 1);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return line;
    }
};

TEST_F(ParamAdjustTest, RowsShowNameValueAndRange) {
    ParamAdjust adj(chart, Window());
    ASSERT_EQ(adj.Rows().size(), 2u);
    EXPECT_EQ(adj.Rows()[0].label, "N:");
    EXPECT_EQ(adj.Rows()[1].label, "P:");
    const Param& p = adj.Rows()[1].param;
    EXPECT_EQ(std::vector<int>({p.min1, p.max1, p.def1, p.val1}), std::vector<int>({1, 10, 2, 3}));
}

TEST_F(ParamAdjustTest, TypedValueRewritesItsLineAndRerunsTheWindow) {
    ParamAdjust adj(chart, Window());
    EXPECT_EQ(adj.SetTyped(0, "30"), 30);
    EXPECT_EQ(LineOf(adj.Text(), "N:"), "N:=INPUT(1,100,20,30)");
    EXPECT_EQ(Window().prog->GetLast("a"), (59 + 30) / 2.0); // MA of 30 consecutive numbers
    EXPECT_EQ(chart.FormulaText(1), adj.Text());
}

TEST_F(ParamAdjustTest, OutOfRangeIsClampedAndNonNumbersKeepTheValue) {
    struct Case {
        size_t row;
        const char* typed;
        int used;
        const char* line;
    };
    const Case cases[] = {
        {0, "500", 100, "N:=INPUT(1,100,20,100)"},
        {0, "0", 1, "N:=INPUT(1,100,20,1)"},
        {0, "-99999999999999", 1, "N:=INPUT(1,100,20,1)"},
        {1, "abc", 3, "P:=INPUT(1,10,2,3);"},
        {1, "", 3, "P:=INPUT(1,10,2,3);"},
        {1, "7x", 3, "P:=INPUT(1,10,2,3);"},
        {1, " 8 ", 8, "P:=INPUT(1,10,2,8)"},
    };
    for (const Case& c : cases) {
        ParamAdjust adj(chart, Window());
        EXPECT_EQ(adj.SetTyped(c.row, c.typed), c.used) << c.typed;
        EXPECT_EQ(LineOf(chart.FormulaText(1), c.line[0] == 'N' ? "N:" : "P:"), c.line) << c.typed;
        EXPECT_EQ(adj.Rows()[c.row].param.val1, c.used);
        chart.SetWFCString(1, kFormula);
    }
}

TEST_F(ParamAdjustTest, RestoreDefaultsRewritesEveryRow) {
    ParamAdjust adj(chart, Window());
    adj.SetValue(0, 30);
    adj.RestoreDefaults();
    EXPECT_EQ(LineOf(adj.Text(), "N:"), "N:=INPUT(1,100,20,20)");
    EXPECT_EQ(LineOf(adj.Text(), "P:"), "P:=INPUT(1,10,2,2)");
    EXPECT_EQ(Window().prog->GetLast("b"), 2);
}

TEST(RewriteInputLine, OnlyALineStartingWithTheUpperCaseLabel) {
    Param p{"n", 1, 100, 20, 25};
    EXPECT_EQ(RewriteInputLine("n:=input(1,100,20,20);\r\nX:N;", "N:", p),
              "n:=input(1,100,20,20);\r\nX:N;");
    EXPECT_EQ(RewriteInputLine("A:1;\r\nN:=INPUT(1,100,20,20,'x');\r\nX:N;", "N:", p),
              "A:1;\r\nN:=INPUT(1,100,20,25)\r\nX:N;");
}

} // namespace
} // namespace vantor
