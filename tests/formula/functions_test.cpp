// Arithmetic, average and statistics functions, by hand-computed values on a few bars.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "eval_support.h"

namespace vantor {
namespace {

using test::kInv;
using test::LoadBars;
using test::Values;

struct Case {
    const char* text; // the program; its output X is compared
    std::vector<double> want;
};

void ExpectX(TGS& gs, const Case& c) {
    SCOPED_TRACE(c.text);
    ASSERT_TRUE(gs.SetProgText(c.text, "")) << gs.FErrorString;
    const std::vector<double> got = Values(gs, "x");
    ASSERT_EQ(got.size(), c.want.size());
    for (size_t i = 0; i < got.size(); ++i) {
        if (c.want[i] == kInv || got[i] == kInv)
            EXPECT_EQ(got[i], c.want[i]) << "bar " << i;
        else
            EXPECT_NEAR(got[i], c.want[i], 1e-6 * (1 + std::fabs(c.want[i]))) << "bar " << i;
    }
}

class Functions : public ::testing::Test {
protected:
    void SetUp() override {
        LoadBars(gs, {10, 12, 11, 13, 15, 14}, {}, {11, 13, 12, 14, 16, 15},
                 {9, 11, 10, 12, 14, 13});
    }
    TGS gs;
};

TEST_F(Functions, MovingWindows) {
    const Case cases[] = {
        {"X:MA(C,3);", {kInv, kInv, 11, 12, 13, 14}},
        {"X:MA(C,0);", {10, 12, 11, 13, 15, 14}},
        {"X:MA(C,7);", {kInv, kInv, kInv, kInv, kInv, kInv}},
        {"X:MA(C/0,3);", {kInv, kInv, kInv, kInv, kInv, kInv}},
        {"N:=C-C+2;X:MA(C,N);", {kInv, 11, 11.5, 12, 14, 14.5}},
        {"X:EMA(C,3);", {10, 11, 11, 12, 13.5, 13.75}},
        {"X:EXPMA(C,3);", {10, 11, 11, 12, 13.5, 13.75}},
        // N is 3 on the first three bars, then 2: each bar weighs by its own N.
        {"N:=IF(C>12,2,3);X:EMA(C,N);", {10, 11, 11, 37.0 / 3, 127.0 / 9, 379.0 / 27}},
        {"X:MEMA(C,3);", {10, 11, 11, 35.0 / 3, 115.0 / 9, 356.0 / 27}},
        {"X:MEMA(C,100);", {10, 11, 11, 11.5, 12.2, 12.56}},
        {"X:EXPMEMA(C,3);", {10, 11, 11, 12, 13.5, 13.75}},
        {"X:WMA(C,3);", {10, 34.0 / 3, 67.0 / 6, 73.0 / 6, 82.0 / 6, 85.0 / 6}},
        {"X:XMA(C,4);", {11, 11, 12, 13, 14, 14.5}},
        {"X:XMA(C,5);", {11, 11.5, 12.2, 13, 13.25, 14}},
        {"X:DMA(C,0.5);", {10, 11, 11, 12, 13.5, 13.75}},
        {"X:DMA(C,1);", {10, 12, 11, 13, 15, 14}},
        {"X:SUM(C,3);", {10, 22, 33, 36, 39, 42}},
        {"X:SUM(C,0);", {10, 22, 33, 46, 61, 75}},
        {"N:=C-C+2;X:SUM(C,N);", {10, 22, 23, 24, 28, 29}},
        {"X:HHV(C,3);", {10, 12, 12, 13, 15, 15}},
        {"X:LLV(C,3);", {10, 10, 10, 11, 11, 13}},
        {"N:=C-C+3;X:HHV(H,N);", {11, 13, 13, 14, 16, 16}},
        {"Y:=0-C;X:HHV(Y,3);", {-10, -10, -10, -11, -11, -13}},
        {"Y:=C/0;X:LLV(Y,3);", {kInv, kInv, kInv, kInv, kInv, kInv}},
        {"X:REF(C,1);", {10, 10, 12, 11, 13, 15}},
        {"X:REF(C,2);", {10, 10, 10, 12, 11, 13}},
        {"X:REF(C,0);", {10, 12, 11, 13, 15, 14}},
        {"X:FORECAST(C,3);", {10, 12, 11.5, 12.5, 15, 14.5}},
        {"X:SMA(C,3,1);", {10, 32.0 / 3, 97.0 / 9, 311.0 / 27, 1027.0 / 81, 3188.0 / 243}},
        {"X:SMA(C,0,1);", {kInv, kInv, kInv, kInv, kInv, kInv}},
        {"X:EMA(C/0,3);", {kInv, kInv, kInv, kInv, kInv, kInv}},
    };
    for (const Case& c : cases) ExpectX(gs, c);
}

TEST_F(Functions, WindowsThatClipOrHaveNoBars) {
    TGS one;
    LoadBars(one, {10});
    ASSERT_TRUE(one.SetProgText("X:MEMA(C,5);", "")); // the window clips to no bars
    EXPECT_EQ(Values(one, "x"), std::vector<double>{kInv});
    ASSERT_TRUE(one.SetProgText("X:EMA(C,12);", ""));
    EXPECT_EQ(Values(one, "x"), std::vector<double>{10});

    // EMA with a window longer than the data runs as the longest window there is.
    TGS fifty;
    std::vector<double> close;
    for (int i = 0; i < 50; ++i) close.push_back(100 + (i * 37) % 11);
    LoadBars(fifty, close);
    ASSERT_TRUE(fifty.SetProgText("A:EMA(C,100);B:EMA(C,49);", ""));
    EXPECT_EQ(Values(fifty, "a"), Values(fifty, "b"));
}

// HHV and LLV give the best value at the latest bar of the window that holds it: with ties
// between 0 and -0 the sign shows which bar was taken. Every window size, from one bar to
// more than the data, is checked against a rescan of the window.
TEST(ExtremeWindows, LatestBestBarOfEveryWindowSize) {
    std::vector<double> close;
    unsigned seed = 7;
    for (int i = 0; i < 97; ++i) {
        seed = seed * 1103515245u + 12345u;
        const int r = static_cast<int>((seed >> 16) % 7);
        close.push_back(r == 0 ? 0.0 : r == 1 ? -0.0 : r == 2 ? kInv : r - 4.0);
    }
    TGS gs;
    LoadBars(gs, close);
    const int n = static_cast<int>(close.size());
    for (int k : {1, 2, 3, 5, 8, 9, 16, 31, 96, 97, 200}) {
        for (bool highest : {true, false}) {
            const std::string text =
                std::string("X:") + (highest ? "HHV" : "LLV") + "(C," + std::to_string(k) + ");";
            SCOPED_TRACE(text);
            ASSERT_TRUE(gs.SetProgText(text, "")) << gs.FErrorString;
            const std::vector<double> got = Values(gs, "x");
            for (int i = 0; i < n; ++i) {
                double want = close[static_cast<size_t>(i)];
                if (i > 0 && want != kInv)
                    for (int j = std::max(0, i - k + 1); j <= i; ++j) {
                        const double v = close[static_cast<size_t>(j)];
                        if (j == std::max(0, i - k + 1) || !(highest ? want > v : want < v))
                            want = v;
                    }
                ASSERT_EQ(got[static_cast<size_t>(i)], want) << "bar " << i;
                ASSERT_EQ(std::signbit(got[static_cast<size_t>(i)]), std::signbit(want))
                    << "bar " << i;
            }
        }
    }
}

// A smoothed bar that is not finite, or that lands on the invalid value, is invalid, and the
// bar after it starts again at X, as after an invalid X.
TEST(Smoothing, BarsThatOverflowOrLandOnTheInvalidValueRestart) {
    const struct {
        std::vector<double> close;
        const char* text;
        std::vector<double> want;
    } cases[] = {
        {{1e308, -1e308, 1e308, 5}, "X:SMA(C,1,3);", {1e308, kInv, 1e308, kInv}},
        {{0, -2e7, 4, 6}, "X:SMA(C,2,1);", {0, kInv, 4, 5}},
        {{2, -20000002, 4, 6}, "X:EMA(C,3);", {2, kInv, 4, 5}},
        {{3, 5, kInv, 7, 9}, "X:EMA(C,3);", {3, 4, kInv, 7, 8}},
    };
    for (const auto& c : cases) {
        TGS gs;
        LoadBars(gs, c.close);
        SCOPED_TRACE(c.text);
        ASSERT_TRUE(gs.SetProgText(c.text, "")) << gs.FErrorString;
        EXPECT_EQ(Values(gs, "x"), c.want);
    }
}

TEST_F(Functions, Statistics) {
    const Case cases[] = {
        {"X:VARP(C,3);", {kInv, kInv, 2.0 / 3, 2.0 / 3, 8.0 / 3, 2.0 / 3}},
        {"X:VAR(C,3);", {kInv, kInv, 1, 1, 4, 1}},
        {"X:STD(C,3);", {kInv, kInv, 1, 1, 2, 1}},
        {"X:STDP(C,3);",
         {kInv, kInv, std::sqrt(2.0 / 3), std::sqrt(2.0 / 3), std::sqrt(8.0 / 3),
          std::sqrt(2.0 / 3)}},
        {"X:DEVSQ(C,3);", {kInv, kInv, 2, 2, 8, 2}},
        {"X:AVEDEV(C,3);", {kInv, kInv, 2.0 / 3, 2.0 / 3, 4.0 / 3, 2.0 / 3}},
        {"X:STD(C,1);", {0, 0, 0, 0, 0, 0}},
        {"X:STD(C,0);", {10, 12, 11, 13, 15, 14}},
        {"X:STDP(C-C+5,3);", {kInv, kInv, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) ExpectX(gs, c);
}

TEST_F(Functions, OneOperandOnConstants) {
    const struct {
        const char* call;
        double want;
    } cases[] = {
        {"LN(100)", 2},        {"LOG(1000)", 3},
        {"SIN(90)", 1},        {"COS(180)", -1},
        {"TAN(45)", 1},        {"ATAN(1)", 0.785398},
        {"ASIN(1)", 1.570796}, {"ACOS(1)", 0},
        {"SQRT(16)", 4},       {"EXP(0)", 1},
        {"ABS(-3)", 3},        {"REVERSE(2)", -2},
        {"SGN(0)", 0},         {"SGN(-0.5)", -1},
        {"NOT(0)", 1},         {"NOT(0.5)", 0},
        {"CEILING(1.2)", 2},   {"FLOOR(-1.2)", -2},
        {"INTPART(-1.7)", -1}, {"CEILING(10000000000)", kInv},
        {"SQRT(-1)", kInv},    {"LOG(0)", kInv},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.call);
        ASSERT_TRUE(gs.SetProgText(std::string("X:=") + c.call + ";", "")) << gs.FErrorString;
        EXPECT_EQ(gs.check("x"), nullptr); // a constant in, a constant out
        double v = 0;
        ASSERT_TRUE(gs.teststr("x", v));
        EXPECT_NEAR(v, c.want, 1e-6);
    }
}

TEST_F(Functions, OneAndTwoOperandOnSeries) {
    const Case cases[] = {
        {"X:ABS(C-12);", {2, 0, 1, 1, 3, 2}},
        {"Y:=C/0;X:ABS(Y);", {kInv, kInv, kInv, kInv, kInv, kInv}},
        {"X:SGN(C-12);", {-1, 0, -1, 1, 1, 1}},
        {"X:MOD(-7,3);", {-1, -1, -1, -1, -1, -1}},
        {"X:MOD(7.9,2);", {1, 1, 1, 1, 1, 1}},
        {"X:MOD(C,0);", {kInv, kInv, kInv, kInv, kInv, kInv}},
        {"X:MOD(C,4);", {2, 0, 3, 1, 3, 2}},
        {"X:MAX(C,12);", {12, 12, 12, 13, 15, 14}},
        {"X:MIN(C,12);", {10, 12, 11, 12, 12, 12}},
        {"Y:=C/0;X:MAX(Y,0);", {0, 0, 0, 0, 0, 0}},
        {"X:POW(2,3);", {8, 8, 8, 8, 8, 8}},
        {"X:POW(C,1000);", {kInv, kInv, kInv, kInv, kInv, kInv}},
    };
    for (const Case& c : cases) ExpectX(gs, c);
}

TEST_F(Functions, ArgumentMessages) {
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"X:SIN(Y);", "SIN(X)参数X:y不存在!"},
        {"X:MAX(Y,C);", "max(A,B)参数A:y不存在!"},
        {"X:MAX(C,Y);", "max(A,B)参数B:y不存在!"},
        {"X:EXPMA(Y,3);", "EMA(X,N)参数X:y不存在!"},
        {"X:MA(C,Y);", "MA(X,N)参数N:y不存在!"},
        {"X:MA(5,3);", "MA(X,N)参数X:5不存在!"},
        {"X:SMA(Y,3,1);", "SMA(X,N,M)参数X:y没有定义!"},
        {"X:SMA(C,Y,1);", "SMA(X,N,M)参数N:y没有定义!"},
        {"X:SMA(C,3,C);", "SMA(X,N,M)参数M:c没有定义!"},
        {"X:STD(C,C);", ""}, // statistics fail without a message of their own
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(gs.SetProgText(c.text, "")) << c.text;
        EXPECT_EQ(gs.FErrorString.substr(0, gs.FErrorString.find("\r\n")), c.message) << c.text;
    }
}

TEST_F(Functions, AResultMayReadItsOwnOldSeries) {
    ASSERT_TRUE(gs.SetProgText("X:=C;X:=MA(X,3);", ""));
    EXPECT_EQ(Values(gs, "x"), (std::vector<double>{kInv, kInv, 11, 12, 13, 14}));
    ASSERT_TRUE(gs.Run("")); // the second run reuses the series and gives the same
    EXPECT_EQ(Values(gs, "x"), (std::vector<double>{kInv, kInv, 11, 12, 13, 14}));
}

} // namespace
} // namespace vantor
