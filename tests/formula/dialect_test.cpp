// The spellings of formulas written for other programs of this kind: other operator forms,
// statements over several lines, quoted texts holding separators, results named like raw
// series, and the functions such formulas commonly call.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "eval_support.h"
#include "formula/front_end.h"
#include "formula/gs.h"

namespace vantor {
namespace {

using test::kInv;
using test::Values;

TEST(Dialect, CompilesEachSpelling) {
    const struct {
        const char* what;
        const char* text;
        std::vector<std::string> program;
    } cases[] = {
        {"== is =", "X:A == B", {"X:BIAO(A,=,B)"}},
        {"<> is !=", "X:A<>B", {"X:BIAO(A,!=,B)"}},
        {"|| is |", "X:A||B", {"X:BIAO(A,|,B)"}},
        {"&& is &", "X:A && B", {"X:BIAO(A,&,B)"}},
        {"AND before a group", "X:A AND(B)", {"@P_1_0:=B", "X:BIAO(A,&,@P_1_0)"}},
        {"AND after a group", "X:(A)and B", {"@P_1_0:=A", "X:BIAO(@P_1_0,&,B)"}},
        {"OR between numbers", "X:1 or 0", {"X:BIAO(1,|,0)"}},
        {"AND and OR with tabs",
         "X:A\tAND\tB\tOR\tC",
         {"@L_1_0:=BIAO(A,&,B)", "X:BIAO(@L_1_0,|,C)"}},
        {"names holding the letters stay names",
         "BAND:=C;ORX:=BAND+ORX2;AND:=1;X:=AND",
         {"BAND:=C", "ORX:=BIAO(BAND,+,ORX2)", "AND:=1", "X:=AND"}},
        {"word operators inside texts stay text",
         "DRAWTEXT(C>O,L,'buy and sell')",
         {"@T_1_0:=BIAO(C,>,O)", "DRAWTEXT(@T_1_0,L,'buy and sell')"}},
        {"a statement goes on while a parenthesis is open, numbered by its first line",
         "A:=1;\nX:=IF(C>O,\n  1,\n  2);\nY:=3",
         {"A:=1", "@M_2_1:=BIAO(C,>,O)", "X:=IF(@M_2_1,1,2)", "Y:=3"}},
        {"a statement goes on after an operator, a comma or a word operator",
         "X:C+\nO;\nY:C>O AND\nC>H,\nCOLORRED",
         {"X:BIAO(C,+,O)", "@L_3_1:=BIAO(C,>,O)", "@L_3_2:=BIAO(C,>,H)",
          "Y:BIAO(@L_3_1,&,@L_3_2),COLORRED"}},
        {"a double-quoted text holds : ; and ,",
         "DRAWTEXT_FIX(ISLASTBAR,0,0,0,\"说明: 红; 绿,黄\"),COLORGRAY;",
         {"DRAWTEXT_FIX(ISLASTBAR,0,0,0,'说明: 红; 绿,黄'),COLORGRAY"}},
        {"every single-quoted text of a line holds ;",
         "DRAWTEXT(C>O,L,'a;b');DRAWTEXT(C<O,H,'c;d:e')",
         {"@T_1_0:=BIAO(C,>,O)", "DRAWTEXT(@T_1_0,L,'a;b')", "@T_1_2:=BIAO(C,<,O)",
          "DRAWTEXT(@T_1_2,H,'c;d:e')"}},
        {"a double-quoted reference stays a reference",
         "X:\"MACD.DIF\"(12,26,9)+1",
         {"@P_1_0:=\"MACD.DIF\"(12,26,9)", "X:BIAO(@P_1_0,+,1)"}},
    };
    for (const auto& c : cases) {
        TGS gs;
        std::vector<std::string> out;
        ASSERT_TRUE(gs.Compile(SplitLines(c.text), out)) << c.what << ": " << gs.FErrorString;
        EXPECT_EQ(out, c.program) << c.what;
    }
}

TEST(Dialect, MessagesNameTheLineWhereTheStatementStarts) {
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"A:=1;\nX:=MA(C,\n5+);", "第2行错误!"},
        {"A:=1;\nX:=(C+\nO", "第 2 行:括号不配匹"},
        {"X:=C+\nY:=O;", "第 1 行:运算符不配匹!"}, // a named statement is never a continuation
        {"X:=C<>>O", "第 1 行:运算符不配匹!"},
    };
    for (const auto& c : cases) {
        TGS gs;
        std::vector<std::string> out;
        EXPECT_FALSE(gs.Compile(SplitLines(c.text), out)) << c.text;
        EXPECT_EQ(gs.FErrorString, c.message) << c.text;
    }
}

class DialectRun : public ::testing::Test {
protected:
    void SetUp() override {
        test::LoadBars(main, {10, 12, 11, 13, 12}, {9, 12, 12, 12, 13}, {11, 13, 12, 14, 13},
                       {8, 11, 10, 12, 11}, {20240102, 20240103, 20240104, 20240105, 20240108});
        const double vol[] = {100, 200, 150, 300, 250};
        main.AddAll("vol", vol, 5);
    }
    TGS main;
};

TEST_F(DialectRun, OperatorsMeanWhatTheirOwnSpellingMeans) {
    ASSERT_TRUE(main.SetProgText("A:C==O;B:C<>O;D:C>O||C<O;E:C>=O AND C>10;F:C<O OR C>12;", ""))
        << main.FErrorString;
    EXPECT_EQ(Values(main, "a"), (std::vector<double>{0, 1, 0, 0, 0}));
    EXPECT_EQ(Values(main, "b"), (std::vector<double>{1, 0, 1, 1, 1}));
    EXPECT_EQ(Values(main, "d"), (std::vector<double>{1, 0, 1, 1, 1}));
    EXPECT_EQ(Values(main, "e"), (std::vector<double>{0, 1, 0, 1, 0}));
    EXPECT_EQ(Values(main, "f"), (std::vector<double>{0, 0, 1, 1, 1}));
}

// VOL:VOL in one window, beside the K-line window holding the bars: the window draws its own
// series named vol, the bars stay what they are for every other window, and a rerun does
// not build on its own result.
TEST_F(DialectRun, ResultsNamedLikeRawSeriesAreTheWindowsOwn) {
    ASSERT_TRUE(main.SetProgText("DRAWK:=TRUE;MA2:MA(C,2);", "")) << main.FErrorString;
    TGS window(&main);
    ASSERT_TRUE(window.SetProgText("VOL:VOL,VOLSTICK;CLOSE:C*2;X:CLOSE+1;Y:=REF(CLOSE,1);", ""))
        << window.FErrorString;
    for (int run = 0; run < 2; ++run) {
        EXPECT_EQ(Values(window, "vol"), (std::vector<double>{100, 200, 150, 300, 250}));
        EXPECT_EQ(Values(window, "close"), (std::vector<double>{20, 24, 22, 26, 24}));
        EXPECT_EQ(Values(window, "x"), (std::vector<double>{21, 25, 23, 27, 25}));
        EXPECT_EQ(Values(window, "y"), (std::vector<double>{20, 20, 24, 22, 26}));
        EXPECT_EQ(window.LineName.front(), "syline=vol::colorwhite,volstick");
        ASSERT_TRUE(window.Run("")) << window.FErrorString;
    }
    ASSERT_TRUE(main.Run(""));
    EXPECT_EQ(Values(main, "close"), (std::vector<double>{10, 12, 11, 13, 12}));
    EXPECT_EQ(Values(main, "vol"), (std::vector<double>{100, 200, 150, 300, 250}));
    EXPECT_EQ(Values(main, "ma2"), (std::vector<double>{kInv, 11, 11.5, 12, 12.5}));
}

TEST_F(DialectRun, FunctionsOfOtherDialects) {
    const struct {
        const char* text;
        const char* name;
        std::vector<double> want;
    } cases[] = {
        {"X:IFF(C>O,1,-1);", "x", {1, -1, -1, 1, -1}},
        {"X:REFX(C,1);", "x", {12, 11, 13, 12, kInv}},
        {"X:REFXV(C,2);", "x", {11, 13, 12, kInv, kInv}},
        {"X:REFX(C,0);", "x", {10, 12, 11, 13, 12}},
        {"X:MULAR(C/10,0);", "x", {1, 1.2, 1.32, 1.716, 2.0592}},
        {"X:MULAR(C,2);", "x", {kInv, 120, 132, 143, 156}},
        {"X:TOTALFZNUM;", "x", {240, 240, 240, 240, 240}},
    };
    for (const auto& c : cases) {
        TGS gs(&main);
        ASSERT_TRUE(gs.SetProgText(c.text, "")) << c.text << gs.FErrorString;
        const std::vector<double> got = Values(gs, c.name);
        ASSERT_EQ(got.size(), c.want.size()) << c.text;
        for (size_t i = 0; i < got.size(); ++i)
            EXPECT_NEAR(got[i], c.want[i], 1e-9 * std::fabs(c.want[i])) << c.text << " bar " << i;
    }
    TGS gs(&main);
    ASSERT_TRUE(gs.SetProgText("POLYLINE(C>O,C),COLORRED;", "")) << gs.FErrorString;
    EXPECT_EQ(gs.LineName, std::vector<std::string>{"ployline=@t_1_0,c,::colorred"});
    EXPECT_FALSE(gs.SetProgText("X:VOLINSTK;", ""));
}

// The minutes of a trading day come from the bars: one-minute bars of the sample hold 240 a
// day.
TEST(DialectSample, TotalFzNumCountsTheBarsOfADay) {
    TGS gs;
    ASSERT_EQ(test::LoadSample(gs, VANTOR_SAMPLE_DIR "/mindata/IFL8.txt", 2000), 2000);
    gs.ZhouQi = wsmin1;
    ASSERT_TRUE(gs.SetProgText("X:TOTALFZNUM;", "")) << gs.FErrorString;
    EXPECT_EQ(Values(gs, "x").back(), 240);
}

} // namespace
} // namespace vantor

namespace vantor {
namespace {

// The bundled index data files give the INDEX words the index's own days, the last record
// on the last bar: a code below 600000 (a futures code reads as 0) reads the Shenzhen file.
TEST(DialectSample, IndexWordsReadTheBundledIndexFiles) {
    TGS index;
    ASSERT_EQ(test::LoadSample(index, VANTOR_SAMPLE_DIR "/daydata/SZ399001.txt", 8160), 8160);
    TGS gs;
    ASSERT_EQ(test::LoadSample(gs, VANTOR_SAMPLE_DIR "/daydata/IFL8.txt", 2205), 2205);
    gs.SetProgramDir(VANTOR_SAMPLE_DIR);
    ASSERT_TRUE(gs.SetProgText("X:INDEXC;Y:INDEXH-INDEXL;Z:INDEXV;", "")) << gs.FErrorString;
    const std::vector<double> x = Values(gs, "x"), y = Values(gs, "y"), z = Values(gs, "z");
    const std::vector<double> c = Values(index, "close"), h = Values(index, "high"),
                              l = Values(index, "low"), v = Values(index, "vol");
    for (int k = 1; k <= 2205; k += 100) {
        EXPECT_NEAR(x[x.size() - k], c[c.size() - k], 1e-9) << k;
        EXPECT_NEAR(y[y.size() - k], h[h.size() - k] - l[l.size() - k], 1e-6) << k;
        EXPECT_NEAR(z[z.size() - k], v[v.size() - k] / 100, 0.01) << k;
    }
    gs.StkLabel = "600000";
    ASSERT_TRUE(gs.Run("")) << gs.FErrorString;
    EXPECT_NEAR(Values(gs, "x").back(), 2736.02, 1e-9); // the Shanghai composite's last close
}

} // namespace
} // namespace vantor

namespace vantor {
namespace {

// Two averages that are equal in decimal arithmetic come out equal: CROSS(MA(C,5),MA(C,10))
// on the minute sample against the same crossings worked out from whole-number sums of the
// prices in hundredths. Only bars whose decimal prices binary cannot hold may differ.
TEST(DialectSample, AveragesCrossWhereExactArithmeticSaysTheyDo) {
    TGS gs;
    const int n = test::LoadSample(gs, VANTOR_SAMPLE_DIR "/mindata/IFL8.txt", 48000);
    ASSERT_EQ(n, 48000);
    ASSERT_TRUE(gs.SetProgText("X:CROSS(MA(C,5),MA(C,10));", "")) << gs.FErrorString;
    const std::vector<double> close = Values(gs, "close"), cross = Values(gs, "x");
    std::vector<long long> cents(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        cents[i] = std::llround(close[i] * 100);
        ASSERT_NEAR(close[i] * 100, static_cast<double>(cents[i]), 1e-6) << i;
    }
    // MA5 >= MA10 exactly when 2 * sum5 >= sum10.
    auto sum = [&](int i, int k) {
        long long s = 0;
        for (int j = i - k + 1; j <= i; ++j) s += cents[j];
        return s;
    };
    int ties = 0, wrong = 0;
    bool below = false; // a bar with MA5 below MA10 since the last bar at or above it
    for (int i = 0; i < n; ++i) {
        double want = kInv;
        if (i >= 9) {
            const long long s5 = 2 * sum(i, 5), s10 = sum(i, 10);
            ties += s5 == s10;
            want = 0;
            if (s5 >= s10) {
                if (below && i > 9) want = 1;
                below = false;
            } else {
                below = true;
            }
        }
        wrong += cross[i] != want;
    }
    EXPECT_GT(ties, 200); // the sample has 297 exact ties
    EXPECT_LE(wrong, 5);
}

} // namespace
} // namespace vantor
