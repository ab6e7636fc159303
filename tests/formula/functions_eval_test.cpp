// The condition, counting, reference, pattern and regression functions run through the
// formula program: argument classes, results stored as series or constants, output
// records and the messages of failing calls.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "eval_support.h"
#include "formula/gs.h"
#include "market/data_files.h"
#include "market/stock.h"

namespace vantor {
namespace {

using Series = std::vector<double>;
constexpr double I = kInvalidValue;

class FamilyFunctions : public ::testing::Test {
protected:
    // Six bars: rising on bars 0, 1 and 5.
    void SetUp() override {
        Feed({20160104, 20160105, 20160106, 20160107, 20160108, 20160111}, {10, 10, 12, 12, 11, 10},
             {12, 13, 13, 12.5, 11.5, 12.5}, {9, 9.5, 10.5, 10.5, 9.5, 9.5},
             {11, 12, 11, 11, 10, 12}, {100, 200, 150, 120, 300, 250});
    }
    void Feed(const Series& date, const Series& open, const Series& high, const Series& low,
              const Series& close, const Series& vol) {
        const int n = static_cast<int>(close.size());
        gs.AddAll("date", date.data(), n);
        gs.AddAll("open", open.data(), n);
        gs.AddAll("high", high.data(), n);
        gs.AddAll("low", low.data(), n);
        gs.AddAll("close", close.data(), n);
        gs.AddAll("vol", vol.data(), n);
    }
    bool Eval(const std::string& text) { return gs.SetProgText(text, ""); }
    Series Get(const std::string& name) {
        Tbian* b = gs.GetBian(name);
        if (!b) return {};
        return Series(b->value.begin(), b->value.begin() + b->len);
    }
    std::string Const(const std::string& name) {
        const ConstList::Entry* e = gs.ls.find(name);
        return e ? e->text : "<none>";
    }
    // The message of the failing call, without the line report the run appends.
    std::string Message() { return gs.FErrorString.substr(0, gs.FErrorString.find("\r\n")); }
    TGS gs;
};

void ExpectSeries(const Series& want, const Series& got, const std::string& what) {
    ASSERT_EQ(want.size(), got.size()) << what;
    for (size_t i = 0; i < want.size(); ++i)
        EXPECT_NEAR(want[i], got[i], 1e-9) << what << " bar " << i;
}

TEST_F(FamilyFunctions, ExamplesAsSeries) {
    const struct {
        const char* formula;
        Series want;
    } cases[] = {
        {"X:COUNT(C>O,3);", {1, 2, 2, 1, 0, 1}},
        {"X:CROSS(C,O);", {0, 0, 0, 0, 0, 1}},
        {"X:BARSSINCE(C<O);", {0, 0, 1, 2, 3, 4}},
        {"X:BARSLAST(C>O);", {0, 0, 1, 2, 3, 0}},
        {"X:IF(C>O,1,-1);", {1, 1, -1, -1, -1, 1}},
        {"X:EVERY(C>O,2);", {0, 0, 0, 0, 0, 0}},
        {"X:FILTER(C>O,2);", {1, 0, 0, 0, 0, 1}},
        {"X:BACKSET(ISLASTBAR,3);", {0, 0, 0, 1, 1, 1}},
        {"X:BARSTATUS;", {1, 0, 0, 0, 0, 2}},
        {"X:CURRBARSCOUNT;", {6, 5, 4, 3, 2, 1}},
        {"X:TFILT(C,20160105,0,20160107,0);", {I, 12, 11, 11, I, I}},
        {"X:FINDHIGH(C,0,3,1);", {11, 12, 12, 12, 11, 12}},
        {"X:HHVBARS(H,3);", {0, 0, 1, 2, 2, 2}},
        {"X:SUMBARS(V,400);", {1, 2, 3, 3, 2, 2}},
        {"X:COUNT(C>O,0);", {1, 1, 0, 0, 0, 1}}, // the constant N = 0 returns X
        {"X:SLOPE(C,2);", {I, 1, -1, 0, -1, 2}},
        {"X:LONGCROSS(C,11.5,2);", {0, 0, 0, 0, 0, 1}},
        // Windows reaching past the data, or of no bars, read nothing outside it.
        {"X:AVEDEV(C,0);", {I, I, I, I, I, I}},
        {"X:AVEDEV(C,100);", {I, I, I, I, I, I}},
        {"X:EVERY(C>O,100);", {0, 0, 0, 0, 0, 0}},
        {"X:FINDLOWBARS(C,2,100,100);", {I, I, 2, 2, 3, 4}},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(Eval(c.formula)) << c.formula << ": " << gs.FErrorString;
        ExpectSeries(c.want, Get("x"), c.formula);
    }
}

TEST_F(FamilyFunctions, ZigOverTheExampleCloses) {
    gs.ClearData();
    Feed({1, 2, 3, 4, 5, 6}, {10, 11, 12, 10, 9, 12}, {10, 11, 12, 10, 9, 12},
         {10, 11, 12, 10, 9, 12}, {10, 11, 12, 10, 9, 12}, {1, 1, 1, 1, 1, 1});
    ASSERT_TRUE(Eval("Z:ZIG(3,5);P:PEAK(3,5,1);T:TROUGHBARS(3,5,1);")) << gs.FErrorString;
    ExpectSeries({10, 11, 12, 10.5, 9, 12}, Get("z"), "ZIG(3,5)");
    ExpectSeries({I, I, 12, 12, 12, 12}, Get("p"), "PEAK(3,5,1)");
    ExpectSeries({I, I, I, I, 0, 1}, Get("t"), "TROUGHBARS(3,5,1)");
}

TEST_F(FamilyFunctions, DrawLineExamples) {
    gs.ClearData();
    // Rising, falling, falling, rising, falling.
    Feed({1, 2, 3, 4, 5}, {1, 3, 3, 1, 3}, {10, 20, 30, 40, 50}, {1, 2, 3, 4, 5}, {2, 2, 2, 2, 2},
         {1, 1, 1, 1, 1});
    ASSERT_TRUE(Eval("X:DRAWLINE(C>O,L,C<O,H,0);")) << gs.FErrorString;
    ExpectSeries({1, 15.5, 30, 4, 50}, Get("x"), "DRAWLINE EX 0");
    gs.ClearData();
    // Rising, falling, flat, flat.
    Feed({1, 2, 3, 4}, {1, 3, 2, 2}, {10, 20, 30, 40}, {1, 2, 3, 4}, {2, 2, 2, 2}, {1, 1, 1, 1});
    ASSERT_TRUE(Eval("X:DRAWLINE(C>O,L,C<O,H,1);Y:DRAWLINE(C>O,L,C<O,H,0);")) << gs.FErrorString;
    ExpectSeries({1, 20, 39, I}, Get("x"), "DRAWLINE EX 1");
    ExpectSeries({1, 20, I, I}, Get("y"), "DRAWLINE EX 0");
}

TEST_F(FamilyFunctions, ConstantsAndTexts) {
    gs.FFINANCE = std::make_shared<TFINANCE>();
    gs.FDYNAINFO = std::make_shared<TDYNAINFO>();
    gs.FStockInfo = std::make_shared<TStockinfo>();
    (*gs.FFINANCE)[7] = 1234.5f;
    (*gs.FDYNAINFO)[3] = 2.5f;
    gs.FStockInfo->FMARK = 2;
    ASSERT_TRUE(Eval("A:IF(-0.5,1,2);B:CONST(C);D:REFDATE(C,20160106);E:RGB(255,0,0);"
                     "F:RGB(256,0,0);G:STRCMP('a','a');K:FINDSTR('abc','b');M:CON2STR(C,2);"
                     "N:CON2STR(C,1000);P:FINANCE(7);Q:DYNAINFO(3);R:SETCODE;"))
        << gs.FErrorString;
    EXPECT_EQ(Const("a"), "2.000000");
    EXPECT_EQ(Const("b"), "12.000");
    EXPECT_EQ(Const("d"), "11.000");
    EXPECT_EQ(Const("e"), "255");
    EXPECT_EQ(Const("f"), "0");
    EXPECT_EQ(Const("g"), "1.000000");
    EXPECT_EQ(Const("k"), "1.000000");
    EXPECT_EQ(Const("m"), "12.00");
    EXPECT_EQ(Const("n"), "12.00000000000000000000");
    EXPECT_EQ(Const("p"), "1234.500");
    EXPECT_EQ(Const("q"), "  2.500");
    EXPECT_EQ(Const("r"), "2.000000");
    // The padded text of a fixed-width constant still reads as its number in arithmetic.
    ASSERT_TRUE(Eval("S:DYNAINFO(3)+1;")) << gs.FErrorString;
    EXPECT_EQ(Const("s"), "3.500000");
    // Entries outside 1 .. 64 fail without a message of their own.
    for (const char* f : {"X:DYNAINFO(65);", "X:FINANCE(0);"}) {
        EXPECT_FALSE(Eval(f)) << f;
        EXPECT_EQ(Message(), "") << f;
    }
}

TEST_F(FamilyFunctions, Con2StrOfAnInexactClose) {
    gs.ClearData();
    Feed({1}, {3}, {4}, {3}, {3.14159}, {1});
    ASSERT_TRUE(Eval("T:CON2STR(C,2);")) << gs.FErrorString;
    EXPECT_EQ(Const("t"), "3.14");
}

TEST_F(FamilyFunctions, DrawingCallsRecordThemselves) {
    ASSERT_TRUE(Eval("STICKLINE(C>O,O,C,2,0),COLORRED;S:STICKLINE(C>O,O,C,2,0);"
                     "DRAWTEXT(ISLASTBAR,L,'top');"))
        << gs.FErrorString;
    std::vector<std::string> records;
    for (const std::string& r : gs.LineName)
        if (!r.starts_with("syline=")) records.push_back(r);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_TRUE(records[0].starts_with("stickline=")) << records[0];
    EXPECT_TRUE(records[0].ends_with(",o,c,2,0,::colorred")) << records[0];
    EXPECT_TRUE(records[1].ends_with(",o,c,2,0,::")) << records[1];
    EXPECT_TRUE(records[2].ends_with(",l,'top',::")) << records[2];
    ExpectSeries({1, 1, 0, 0, 0, 1}, Get("s"), "named STICKLINE");
    // A ")" inside a string argument does not end the call.
    ASSERT_TRUE(Eval("DRAWTEXT(ISLASTBAR,L,'a)b');")) << gs.FErrorString;
    ASSERT_EQ(gs.LineName.size(), 1u);
    EXPECT_TRUE(gs.LineName[0].ends_with(",l,'a)b',::")) << gs.LineName[0];
}

TEST_F(FamilyFunctions, Messages) {
    const struct {
        const char* formula;
        const char* message;
    } cases[] = {
        {"X:EXIST(C>O,0);", "EXIST(X,N)参数N不能小于1!"},
        {"X:EXIST(QQ,2);", "EXIST(X,N)参数X:qq 未定义!"},
        {"X:SAR(10,2,20);", "SAR 参数N小于1 或 数据长度小于N!"},
        {"X:SARTURN(10,2,20);", "SARTRUN 参数N小于1 或 数据长度小于N!"},
        {"X:SAR(2,QQ,20);", "SAR(N,S,M)参数S:qq未定义!"},
        {"X:FORCAST(C,1);", "FORCAST(X,N)参数N必须大于1!"},
        {"X:SLOPE(C,1);", "SLOPE(X,N)参数N必须大于1!"},
        {"X:PEAK(3,5,0);", "PEAK(K,N,M)参数M:0必须大于等于1!"},
        {"X:TROUGHBARS(QQ,5,1);", "TROUGHBARS(K,N,M)参数K:qq未定义!"},
        {"X:ZIG(5,5);", "ZIG(K,N)参数K:5在0到3之间!"},
        {"X:ZIG(3,QQ);", "ZIG(K,N)参数N:qq未定义!"},
        {"X:IF(QQ,1,2);", "IF(X,A,B)参数X:qq不存在!"},
        {"X:IF(C,1,QQ);", "IF(X,A,B)参数B:qq错误!"},
        {"X:LONGCROSS(C,O,QQ);", "LONGCROSS(X,A,B)参数B:qq未定义!"},
        {"X:BETWEEN(CLOSE,OPEN,QQ);", "BETWEEN(A,B,C)参数C:qq不存在!"},
        {"X:BETWEEN(C,1,2);", "BETWEEN(A,B,C)参数A:c不存在!"}, // no aliases here
        {"X:RANGE(QQ,OPEN,CLOSE);", "RANGE(A,B,C)参数A:qq不存在!"},
        {"X:CROSS(C,QQ);", "cross(A,B)参数B:qq不存在!"},
        {"X:HHVBARS(QQ,5);", "HHVBARS(X,N)参数X:qq不存在!"},
        {"X:COUNT(C,QQ);", "COUNT(X,N)参数N:qq不存在!"},
        {"X:BARSLAST(QQ);", "BARSLAST(X)参数X:qq不存在!"},
        {"X:EVERY(C,QQ);", "EVERY(X,N)参数N:qq未定义!"},
        {"X:LAST(C,3,QQ);", "LAST(X,A,B)参数B:qq未定义!"},
        {"X:UPNDAY(QQ,3);", "UPNDAY(X,N)参数X:qq未定义!"},
        {"X:NDAY(C,QQ,3);", "NDAY(X1,X2,N)参数X2:qq未定义!"},
        {"X:BARSLASTCOUNT(QQ);", "BARSLASTCOUNT(X)参数X:qq未定义!"},
        {"X:TFILT(C,QQ,0,1,0);", "TFILT(X,day1,time1,day2,time2)参数day1:qq未定义!"},
        {"X:REFDATE(C,QQ);", "REFDATE(X,A)参数A:qq未定义!"},
        {"X:CONST(QQ);", "CONST(N)参数N:qq未定义!"},
        {"X:FINDHIGH(C,0,QQ,1);", "FindHIGH(X,N,M,T)参数M:qq未定义!"},
        {"X:FINDLOW(C,0,3,QQ);", "FINDLOW(X,N,M,T)参数T:qq未定义!"},
        {"X:FINDHIGHBARS(C,QQ,3,1);", "FindHIGHBARS((X,N,M,T)参数N:qq未定义!"},
        {"X:FINDLOWBARS(QQ,0,3,1);", "FINDLOWBARS(X,N,M,T)参数X:qq未定义!"},
        {"X:COST(QQ);", "COST(N)参数N:qq未定义!"},
        {"X:WINNER(QQ);", "WINNER(N)参数N:qq未定义!"},
        {"X:CON2STR(QQ,2);", "CON2STR(X,N)参数X:[qq]未定义!"},
        {"X:RGB(1,QQ,3);", "RGB(R,G,B)参数G:qq未定义!"},
        {"X:DYNAINFO(3);", "没有设置DYNAINFO原始数据!"},
        {"X:DRAWLINE(C>O,L,C<O,QQ,0);", "DRAWLINE(X1,V1,X2,V2,EX)参数V2:qq没定义!"},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(Eval(c.formula)) << c.formula;
        EXPECT_EQ(Message(), c.message) << c.formula;
    }
}

TEST_F(FamilyFunctions, MessagesOfMissingData) {
    gs.ClearData();
    const Series close = {1, 2, 3};
    gs.AddAll("close", close.data(), 3);
    const struct {
        const char* formula;
        const char* message;
    } cases[] = {
        {"X:TFILT(C,1,0,2,0);", "没有为TFLIT提供日期原始数据!"},
        {"X:REFDATE(C,1);", "没有Date原始数据,不能使用:REFDATE!"},
        {"X:COST(50);", "COST(N)需要最高，最低，成交量三种原始数据!"},
        {"X:WINNER(C);", "WINNER(N)需要最高，最低，成交量三种原始数据!"},
        {"X:SAR(1,2,20);", "没最高价或最低价数据!"},
        {"X:SARTURN(1,2,20);", "没最高价或最低价原始数据!"},
        {"X:ZIG(4,5);", "ZIG(K,N)需要开盘价,最高价,最低价,收盘价原始数据!"},
        {"X:LFS;", "LFS需要提供FINANCE原始数据!"},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(Eval(c.formula)) << c.formula;
        EXPECT_EQ(Message(), c.message) << c.formula;
    }
    // FINANCE fails without a message of its own.
    EXPECT_FALSE(Eval("X:FINANCE(7);"));
    EXPECT_EQ(Message(), "");
}

// One formula calling every function of the families over the 48,000 one-minute bars of
// the sample: it runs, every series has the data length, and the values stay in range.
TEST(FunctionsOnSample, EveryFunctionRunsOverTheMinuteSample) {
    TGS gs;
    ASSERT_EQ(test::LoadSample(gs, VANTOR_SAMPLE_DIR "/mindata/IFL8.txt", 48000), 48000);
    (*gs.FFINANCE)[7] = 1e6f;

    std::string text;
    std::vector<std::string> lines;
    ASSERT_TRUE(ReadLines(VANTOR_TEST_DATA "/all_functions.txt", lines));
    for (const std::string& l : lines) text += l + "\r\n";
    ASSERT_TRUE(gs.SetProgText(text, "")) << gs.FErrorString;

    const int n = 48000;
    for (const char* name :
         {"a1", "a6", "a23", "a36", "b1", "b6", "b8", "b9", "b10", "b21", "s1"}) {
        Tbian* b = gs.GetBian(name);
        ASSERT_NE(b, nullptr) << name;
        EXPECT_EQ(b->len, n) << name;
    }
    double lowest = 1e300, highest = -1e300;
    for (int i = 0; i < n; ++i)
        lowest = std::min(lowest, gs.GetBian("low")->at(i)),
        highest = std::max(highest, gs.GetBian("high")->at(i));
    const Tbian& cost = *gs.GetBian("b8");
    const Tbian& winner = *gs.GetBian("b9");
    for (int i = 0; i < n; ++i) {
        EXPECT_GE(cost.value[i], lowest) << i;
        EXPECT_LE(cost.value[i], highest) << i;
        EXPECT_GE(winner.value[i], 0) << i;
        EXPECT_LE(winner.value[i], 1) << i;
        if (HasFailure()) break;
    }
    EXPECT_EQ(gs.GetBian("a32")->value[n - 1], 2);
    size_t drawn = 0;
    for (const std::string& r : gs.LineName) drawn += r.starts_with("syline=") ? 0 : 1;
    EXPECT_EQ(drawn, 16u) << "one record per drawing call";
}

} // namespace
} // namespace vantor
