// Formula references resolved to the built-in formulas, over the bundled day sample: a
// reference gives exactly the line of the built-in formula run in a window of its own.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "eval_support.h"
#include "formula/func_str.h"

namespace vantor {
namespace {

using test::Values;

constexpr int kDayBars = 8162;

class Builtins : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(test::LoadSample(gs, VANTOR_SAMPLE_DIR "/daydata/SH000001.txt", kDayBars),
                  kDayBars);
    }
    // The built-in formula run in a window borrowing these bars.
    std::vector<double> BuiltinLine(const char* formula, const char* line,
                                    const std::string& params = "") {
        TGS window(&gs);
        EXPECT_TRUE(window.SetProgText(TFuncStr::Builtins().GetStr(formula), params))
            << window.FErrorString;
        return Values(window, line);
    }
    TGS gs;
};

TEST_F(Builtins, ReferencesGiveTheLinesOfTheBuiltinFormula) {
    ASSERT_TRUE(gs.SetProgText("A:MACD.DIF;B:MACD.DIF-MACD.DEA;C:MACD;D:\"MACD.DEA\"(5,10,3);"
                               "E:KDJ.J+BOLL.UPPER;",
                               ""))
        << gs.FErrorString;
    const std::vector<double> dif = BuiltinLine("MACD", "dif");
    const std::vector<double> dea = BuiltinLine("MACD", "dea");
    ASSERT_EQ(dif.size(), static_cast<size_t>(kDayBars));
    std::vector<double> difMinusDea;
    for (int i = 0; i < kDayBars; ++i) difMinusDea.push_back(dif[i] - dea[i]);
    EXPECT_EQ(Values(gs, "a"), dif);
    EXPECT_EQ(Values(gs, "b"), difMinusDea);
    EXPECT_EQ(Values(gs, "c"), dif) << "a formula named alone gives its first line";
    EXPECT_EQ(Values(gs, "d"), BuiltinLine("MACD", "dea", "5,10,3,"));
    EXPECT_NE(Values(gs, "d"), dea);
    const std::vector<double> j = BuiltinLine("KDJ", "j"), upper = BuiltinLine("BOLL", "upper");
    std::vector<double> sum;
    for (int i = 0; i < kDayBars; ++i)
        sum.push_back(IsValid(j[i]) && IsValid(upper[i]) ? j[i] + upper[i] : kInvalidValue);
    EXPECT_EQ(Values(gs, "e"), sum);
    // Names of the built-in table compare without regard to case.
    auto copy = gs.Get("macd", "DEA");
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->len, kDayBars);
    EXPECT_EQ(copy->at(kDayBars - 1), dea.back());
}

// A replay step appends a bar; the references follow it on the next run.
TEST_F(Builtins, ReferencesFollowANewBar) {
    ASSERT_TRUE(gs.SetProgText("X:MACD.DIF;Y:MACD.DEA;", "")) << gs.FErrorString;
    for (const char* raw : {"date", "time", "open", "high", "low", "close", "amount", "vol"})
        gs.AddOne(raw, gs.GetBian(raw)->last() * 1.01, true);
    ASSERT_TRUE(gs.Run(""));
    EXPECT_EQ(Values(gs, "x"), BuiltinLine("MACD", "dif"));
    EXPECT_EQ(Values(gs, "y"), BuiltinLine("MACD", "dea"));
}

TEST_F(Builtins, AReferenceToNoFormulaFails) {
    EXPECT_FALSE(gs.SetProgText("X:NOSUCH.A+1;", ""));
    EXPECT_FALSE(gs.SetProgText("X:\"NOSUCH.A\"(1);", ""));
    EXPECT_EQ(gs.FErrorString.rfind("不存在函数:nosuch.a !", 0), 0u) << gs.FErrorString;
    EXPECT_EQ(gs.Get("NOSUCH", "A"), nullptr);
}

} // namespace
} // namespace vantor
