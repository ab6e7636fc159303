#include <gtest/gtest.h>

#include "formula/func_str.h"

namespace vantor {
namespace {

TEST(FuncStr, HoldsTheBuiltinTable) {
    const TFuncStr& t = TFuncStr::Builtins();
    ASSERT_EQ(t.Count(), 38);
    std::vector<std::string> indicators, all, advanced;
    t.GetList(1, indicators);
    t.GetList(-1, all);
    t.GetList(2, advanced);
    ASSERT_EQ(indicators.size(), 27u);
    EXPECT_EQ(indicators.front(), "MA");
    EXPECT_EQ(indicators.back(), "WVAD");
    EXPECT_EQ(all.size(), 38u);
    EXPECT_EQ(all.back(), "TEST1");
    EXPECT_EQ(advanced.size(), 11u);
    EXPECT_EQ(advanced.front(), "BDT");
}

TEST(FuncStr, TitlesAndLookups) {
    const TFuncStr& t = TFuncStr::Builtins();
    const struct {
        const char* name;
        const char* title;
    } cases[] = {
        {"MA", "均线"},
        {"macd", "平滑异同平均"},
        {"CCI", "商品路径指标"}, // no ';' on the line
        {"MCST", "市场成本"},
        {"FSL", "分水线"},
        {"Test", ""},
        {"FSVOL", "分时成交量"},
        {"BDT", "波段图"},
    };
    for (const auto& c : cases) EXPECT_EQ(t.GetTitle(c.name), c.title) << c.name;
    EXPECT_EQ(t.GetStr("macd"), t.GetStr("Macd"));
    EXPECT_EQ(t.GetStr("MACD"), t.GetStr("macd"));
    EXPECT_NE(t.GetStr("MACD").find("DIF:EMA(CLOSE,SHORT)-EMA(CLOSE,LONG);"), std::string::npos);
    EXPECT_EQ(t.GetStr("NOSUCH"), "");
}

TEST(FuncStr, AddIgnoresDuplicates) {
    TFuncStr t;
    t.Add("ma", "TECHTITLE:=other;", 2);
    t.Add("Mine", "TECHNAME:=MINE;\ntechtitle:=Mine Title;\n", 2);
    EXPECT_EQ(t.Count(), 39);
    EXPECT_EQ(t.GetTitle("MA"), "均线");
    EXPECT_EQ(t.GetTitle("mine"), "MINE TITLE"); // read from the upper-cased text
    std::vector<std::string> advanced;
    t.GetList(2, advanced);
    EXPECT_EQ(advanced.back(), "MINE");
}

} // namespace
} // namespace vantor
