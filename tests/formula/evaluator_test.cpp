// The evaluator: running compiled programs, variables, output records and messages.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "eval_support.h"
#include "formula/function_args.h"

namespace vantor {
namespace {

using test::kInv;
using test::LoadBars;
using test::Values;

void ExpectSeries(const std::vector<double>& got, const std::vector<double>& want,
                  const std::string& what) {
    ASSERT_EQ(got.size(), want.size()) << what;
    for (size_t i = 0; i < want.size(); ++i) {
        if (want[i] == kInv || got[i] == kInv)
            EXPECT_EQ(got[i], want[i]) << what << " bar " << i;
        else
            EXPECT_NEAR(got[i], want[i], 1e-9 * (1 + std::fabs(want[i]))) << what << " bar " << i;
    }
}

class Evaluator : public ::testing::Test {
protected:
    void SetUp() override { LoadBars(gs, {10, 12, 11, 13}, {11, 11, 11, 11}); }
    bool Load(const std::string& text, const std::string& params = "") {
        return gs.SetProgText(text, params);
    }
    TGS gs;
};

TEST_F(Evaluator, OperatorsOnConstantsAndSeries) {
    const struct {
        const char* text;
        const char* name;
        std::vector<double> want;
    } cases[] = {
        {"B:=10*2+1;", "b", {21, 21, 21, 21}},
        {"X:C+O;", "x", {21, 23, 22, 24}},
        {"X:C-O*2;", "x", {-12, -10, -11, -9}},
        {"X:C/0;", "x", {kInv, kInv, kInv, kInv}},
        {"X:=C/0;Y:X+1;", "y", {kInv, kInv, kInv, kInv}},
        {"X:C>O;", "x", {0, 1, 0, 1}},
        {"X:C>=11;", "x", {0, 1, 1, 1}},
        {"X:C=C;", "x", {1, 1, 1, 1}},
        {"X:=C/0;Y:X=X;", "y", {1, 1, 1, 1}},
        {"X:=C/0;Y:X!=C;", "y", {1, 1, 1, 1}},
        {"X:C>11&O>10;", "x", {0, 1, 0, 1}},
        {"X:=C/0;Y:X|3;", "y", {0, 0, 0, 0}},
        {"X:C|1;", "x", {11, 13, 11, 13}},
        {"X:C^1;", "x", {11, 13, 10, 12}},
        {"X:=C/0;Y:X^1;", "y", {kInv, kInv, kInv, kInv}},
        {"X:1>C<12;", "x", {0, 1, 0, 1}}, // 1>(C<12)
        {"X:-C;", "x", {-10, -12, -11, -13}},
        {"X:C*-2;", "x", {-20, -24, -22, -26}},
        {"X:C|100000000000000000000;", "x", {kInv, kInv, kInv, kInv}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        ASSERT_TRUE(Load(c.text)) << gs.FErrorString;
        ExpectSeries(Values(gs, c.name), c.want, c.text);
    }
}

TEST_F(Evaluator, ConstantsKeepTheirSixDecimalText) {
    ASSERT_TRUE(Load("A:=10;B:A*2;P:=1/3;Q:P*3;R:=2|1;S:=1&2;T:=0.5&1;U:=1/0;V:=2=2;"));
    const struct {
        const char* name;
        const char* text;
    } cases[] = {{"a", "10.000000"}, {"b", "20.000000"},        {"p", "0.333333"},
                 {"q", "0.999999"},  {"r", "3.000000"},         {"s", "1.000000"},
                 {"t", "0.000000"},  {"u", "-10000000.000000"}, {"v", "1.000000"}};
    for (const auto& c : cases) {
        const ConstList::Entry* e = gs.ls.find(c.name);
        ASSERT_NE(e, nullptr) << c.name;
        EXPECT_EQ(e->text, c.text) << c.name;
    }
    EXPECT_EQ(gs.check("b"), nullptr); // two constants give a constant
    EXPECT_EQ(gs.LineName,
              (std::vector<std::string>{"syline=b::colorwhite,", "syline=q::coloryellow,"}));
}

TEST_F(Evaluator, OutputRecords) {
    ASSERT_TRUE(Load("CLOSE;\r\n50;\r\nMA1:MA(C,2),LINETHICK2;\r\nX:C,COLORRED;\r\nC>O;\r\n"
                     "0,LINEDOT,COLORWHITE;"));
    EXPECT_EQ(gs.LineName,
              (std::vector<std::string>{"syline=50::colorwhite,",
                                        "syline=ma1::coloryellow,linethick2", "syline=x::colorred",
                                        "syline=@TT_4::", "syline=0::linedot,colorwhite"}));
    ExpectSeries(Values(gs, "@tt_4"), {0, 1, 0, 1}, "@tt_4");
}

TEST_F(Evaluator, DefaultColoursWrapAfterSix) {
    ASSERT_TRUE(Load("A:C;B:C;D:C;E:C;F:C;G:C;H:C;"));
    const char* want[] = {"colorwhite", "coloryellow", "colormagenta", "colorgreen",
                          "colorgray",  "colorblue",   "colorwhite"};
    ASSERT_EQ(gs.LineName.size(), 7u);
    for (size_t i = 0; i < 7; ++i)
        EXPECT_NE(gs.LineName[i].find(std::string("::") + want[i] + ","), std::string::npos)
            << gs.LineName[i];
    ASSERT_TRUE(gs.Run("")); // every run starts the cycle again
    EXPECT_EQ(gs.LineName.front(), "syline=a::colorwhite,");
}

TEST_F(Evaluator, HeaderWords) {
    ASSERT_TRUE(Load("TECHNAME:=MyMa;TECHTITLE:=均线Ab;DRAWK:=TRUE;X:C;"));
    EXPECT_EQ(gs.Ftechname, "myma");
    EXPECT_EQ(gs.Ftechtitle, "均线ab");
    EXPECT_EQ(gs.showk, 1);
    ASSERT_TRUE(Load("DRAWK:=FALSE;X:C;"));
    EXPECT_EQ(gs.showk, 0);
    ASSERT_TRUE(Load("X:C;"));
    EXPECT_EQ(gs.showk, -1);
}

TEST_F(Evaluator, InputSlotsAndParameterString) {
    const char* text = "A:=INPUT(1,100,5,5);B:=INPUT(1,100,6,6,'note');C1:=INPUT(1,100,7,7);";
    ASSERT_TRUE(Load(text, "20,0,30"));
    EXPECT_EQ(gs.ls.find("a")->text, "20");
    EXPECT_EQ(gs.ls.find("b")->text, "6"); // "0" leaves the formula's own value
    EXPECT_EQ(gs.ls.find("c1")->text, "30");
    EXPECT_EQ(gs.ParamStr[2].Name, "c1");
    EXPECT_EQ(gs.ParamStr[2].min1, 1);
    EXPECT_EQ(gs.ParamStr[2].max1, 100);
    EXPECT_EQ(gs.ParamStr[2].def1, 7);
    ASSERT_TRUE(gs.Run("x,8"));
    EXPECT_EQ(gs.ls.find("a")->text, "5");
    EXPECT_EQ(gs.ls.find("b")->text, "8");

    std::string many;
    for (int i = 0; i < 52; ++i) many += "P" + std::to_string(i) + ":=INPUT(1,9,1,1);";
    ASSERT_TRUE(Load(many));
    EXPECT_NE(gs.ls.find("p50"), nullptr);
    EXPECT_EQ(gs.ls.find("p51"), nullptr); // all 51 slots taken
}

TEST_F(Evaluator, RunMessages) {
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"X:FOO(C);", "不存在函数:foo !\r\n:\r\n第1行发现错误:X:FOO(C)"},
        {"A:=1;HIGH(1);", "不存在函数:high !\r\n:\r\n第2行发现错误:HIGH(1)"},
        {"X:NOSUCH;", "\r\n:\r\n第1行发现错误:X:NOSUCH"},
        {"X:MA(Y,5);", "MA(X,N)参数X:y不存在!\r\n:\r\n第1行发现错误:X:MA(Y,5)"},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(Load(c.text)) << c.text;
        EXPECT_EQ(gs.FErrorString, c.message);
    }
    ExpectSeries(Values(gs, "close"), {10, 12, 11, 13}, "the shared bars stay");

    TGS empty;
    EXPECT_FALSE(empty.SetProgText("X:C;", ""));
    EXPECT_EQ(empty.FErrorString, "公式长度为零或原始数据为零!");
}

TEST_F(Evaluator, OperatorHandlerMessages) {
    SubFunc biao = gs.Getfunc().getfunc("biao");
    auto call = [&](std::vector<std::string> args) {
        TXX xx;
        xx.count = static_cast<int>(args.size());
        for (size_t i = 0; i < args.size(); ++i) xx.item[i] = args[i];
        xx.item[args.size()] = "::";
        gs.FErrorString.clear();
        biao(gs, "r", "biao", xx);
        return gs.FErrorString;
    };
    EXPECT_EQ(call({"c"}), "表达式计算没有运算符!");
    EXPECT_EQ(call({"c", "", "o"}), "表达式计算没有运算符!");
    EXPECT_EQ(call({"c", "<>", "o"}), "暂时不支持运算符号[<>]错误!");
    EXPECT_EQ(call({"nothing", "+", "o"}), "表达式计算参数1:nothing错误!");
    EXPECT_EQ(call({"c", "+", "nothing"}), "表达式计算参数2:nothing错误!");
    EXPECT_EQ(call({"", "-", "c"}), ""); // an empty left side reads as 0
    ExpectSeries(Values(gs, "r"), {-10, -12, -11, -13}, "0-c");
}

TEST_F(Evaluator, NamesResolveInOrder) {
    TGS own;
    LoadBars(own, {10, 12}, {}, {13, 14}, {}, {20160105, 20160106});
    EXPECT_EQ(own.check("H"), own.check("high"));
    EXPECT_EQ(own.check("HIGH"), own.check("high"));
    EXPECT_EQ(own.check("low"), own.check("close")); // missing low reads close
    EXPECT_EQ(own.check("o"), own.check("close"));
    ExpectSeries(Values(own, "week"), {3, 4}, "week");
    ExpectSeries(Values(own, "datetoday"), {9148, 9149}, "datetoday");
    ExpectSeries(Values(own, "year"), {2016, 2016}, "year");
    ExpectSeries(Values(own, "month"), {1, 1}, "month");
    ExpectSeries(Values(own, "day"), {5, 6}, "day");
    ExpectSeries(Values(own, "drawnull"), {kInv, kInv}, "drawnull");
    double v = 0;
    EXPECT_TRUE(own.teststr("FROMOPEN", v));
    EXPECT_EQ(v, 240);
    own.ZhouQi = wsDay;
    EXPECT_TRUE(own.teststr("period", v));
    EXPECT_EQ(v, 7);
    EXPECT_FALSE(own.teststr("setcode", v));
    EXPECT_TRUE(own.teststr("-1.5", v));
    EXPECT_EQ(v, -1.5);
    EXPECT_FALSE(own.teststr("", v));

    // Derived series follow the data when it grows.
    own.AddOne("date", 20160107, true);
    own.AddOne("close", 11, true);
    ExpectSeries(Values(own, "week"), {3, 4, 5}, "week after a new bar");
    ExpectSeries(Values(own, "drawnull"), {kInv, kInv, kInv}, "drawnull after a new bar");
}

TEST_F(Evaluator, PlainAssignmentsAndTimeWords) {
    TGS own;
    const double close[] = {1, 2}, time[] = {931, 1402};
    own.AddAll("close", close, 2);
    own.AddAll("time", time, 2);
    ASSERT_TRUE(own.SetProgText("X:=C;H1:HOUR;M1:MINUTE;F1:FROMOPEN;", ""));
    ExpectSeries(Values(own, "x"), {1, 2}, "x");
    ExpectSeries(Values(own, "h1"), {9, 14}, "hour");
    ExpectSeries(Values(own, "m1"), {31, 2}, "minute");
    ExpectSeries(Values(own, "f1"), {1, 272}, "fromopen");
}

TEST(RawSeries, AddAllAndAddOneKeepTheLimit) {
    TGS gs;
    std::vector<double> big(49990, 1.0);
    ASSERT_NE(gs.AddAll("close", big.data(), 49990), nullptr);
    EXPECT_EQ(gs.getdatalen(), 49990);
    gs.AddAll("close", big.data(), 9);
    EXPECT_EQ(gs.getdatalen(), 49999);
    EXPECT_TRUE(gs.FErrorString.empty());
    gs.AddAll("close", big.data(), 1);
    EXPECT_EQ(gs.FErrorString, "数据长度大于50000溢出!");
    EXPECT_EQ(gs.getdatalen(), 49999);
    gs.FErrorString.clear();
    gs.AddOne("close", 2.0, true);
    EXPECT_EQ(gs.FErrorString, "数据长度大于50000溢出!");
    EXPECT_EQ(gs.getdatalen(), 49999);

    TGS other;
    std::vector<double> tooMany(50000, 1.0);
    EXPECT_EQ(other.AddAll("close", tooMany.data(), 50000), nullptr);
    EXPECT_EQ(other.FErrorString, "数据长度大于50000溢出!");
}

TEST(RawSeries, AppendReplaceAndShare) {
    TGS gs;
    gs.AddOne("close", 5, false); // an empty series appends
    gs.AddOne("close", 6, true);
    gs.AddOne("close", 7, false); // replaces the last value
    const double more[] = {8, 9};
    gs.AddAll("CLOSE", more, 2);
    ExpectSeries(Values(gs, "close"), {5, 7, 8, 9}, "close");
    TGS window(&gs);
    EXPECT_TRUE(window.FComm);
    ASSERT_TRUE(window.SetProgText("X:C*2;", ""));
    ExpectSeries(Values(window, "x"), {10, 14, 16, 18}, "x");
    gs.AddOne("close", 10, true);
    ASSERT_TRUE(window.Run(""));
    ExpectSeries(Values(window, "x"), {10, 14, 16, 18, 20}, "x after a new bar");
    EXPECT_EQ(window.GetLast("x"), 20);
    EXPECT_EQ(window.GetBianLast(), 20.0f);
    window.ClearData(); // a borrowing window never drops the shared bars
    EXPECT_EQ(gs.getdatalen(), 5);
    gs.ClearData();
    EXPECT_EQ(gs.getdatalen(), 0);
}

TEST(RawSeries, QueriesOfAProgram) {
    TGS gs;
    LoadBars(gs, {1, 2, 3}, {}, {}, {}, {20240102, 20240103, 20240104});
    ASSERT_TRUE(gs.SetProgText("A:=C+1;B:A*2;", ""));
    std::vector<std::string> names;
    EXPECT_TRUE(gs.GetBianList(names));
    EXPECT_EQ(names, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(gs.getlastdate(), "20240104");
    EXPECT_EQ(gs.GetLast("nothing"), kInv);
    gs.Clear();
    EXPECT_TRUE(gs.pg1.empty());
    EXPECT_EQ(gs.getdatalen(), 3); // the raw series stay
    EXPECT_FALSE(gs.Run(""));
    EXPECT_EQ(gs.FErrorString, "公式长度为零或原始数据为零!");
}

class References : public ::testing::Test {
protected:
    void SetUp() override {
        LoadBars(gs, {10, 12, 11, 13});
        gs.formulaSource = [](const std::string& name, std::string& text) {
            if (name == "two")
                text = "A:C*2;B:C+1;";
            else if (name == "par")
                text = "P:=INPUT(1,10,2,2);Q:=INPUT(1,10,5,5);A:C*P+Q;";
            else if (name == "loop")
                text = "X:LOOP;";
            else
                return false;
            return true;
        };
    }
    TGS gs;
};

TEST_F(References, EachReferenceHasItsOwnSeries) {
    ASSERT_TRUE(gs.SetProgText("X:TWO.A-TWO.B;Y:TWO;Z:\"TWO.B\";", "")) << gs.FErrorString;
    ExpectSeries(Values(gs, "x"), {9, 11, 10, 12}, "two.a-two.b");
    ExpectSeries(Values(gs, "y"), {20, 24, 22, 26}, "first output");
    ExpectSeries(Values(gs, "z"), {11, 13, 12, 14}, "quoted");
    auto copy = gs.Get("TWO", "B");
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->at(3), 14);
}

TEST_F(References, ArgumentsBecomeParameters) {
    ASSERT_TRUE(gs.SetProgText("N:=3;X:\"PAR.A\"(N,1);Y:\"PAR.A\"(4)+1;", "")) << gs.FErrorString;
    ExpectSeries(Values(gs, "x"), {31, 37, 34, 40}, "par.a(3,1)");
    ExpectSeries(Values(gs, "y"), {46, 54, 50, 58}, "par.a(4)+1");
    EXPECT_FALSE(gs.SetProgText("X:\"PAR.A\"(C);", ""));
    EXPECT_EQ(gs.FErrorString, "par.a(c)中的变量未定义!");
    EXPECT_FALSE(gs.SetProgText("X:\"NONE.A\"(1);", ""));
    EXPECT_EQ(gs.FErrorString, "不存在函数:none.a !\r\n:\r\n第1行发现错误:X:\"NONE.A\"(1)");
}

TEST_F(References, FollowNewBars) {
    ASSERT_TRUE(gs.SetProgText("X:TWO.A;", ""));
    gs.AddOne("close", 20, true);
    ASSERT_TRUE(gs.Run(""));
    ExpectSeries(Values(gs, "x"), {20, 24, 22, 26, 40}, "two.a after a new bar");
    gs.AddOne("close", 21, false);
    EXPECT_EQ(gs.GetLast("two.a"), 42); // a query between runs sees the changed bar
}

TEST_F(References, AFormulaThatNamesItselfStops) {
    EXPECT_FALSE(gs.SetProgText("X:LOOP;", ""));
    EXPECT_FALSE(gs.FErrorString.empty());
}

TEST(PriceAdjustment, AppliesOnceWithinTheRun) {
    TGS gs;
    LoadBars(gs, {10, 10, 10, 10}, {10, 10, 10, 10}, {10, 10, 10, 10}, {10, 10, 10, 10},
             {20240101, 20240102, 20240103, 20240104});
    TStockQuan q;
    q.Mode = 1;
    q.date = 20240103;
    q.Number = 10; // one bonus share per share: prices before halve
    gs.FQuan = {q};
    gs.ShowFs = false;
    gs.QuanStyle = qsBefore;
    ASSERT_TRUE(gs.SetProgText("X:C;", "")) << gs.FErrorString;
    EXPECT_EQ(gs.LineName.size(), 1u);
    ExpectSeries(Values(gs, "x"), {5, 5, 10, 10}, "adjusted before");
    ASSERT_TRUE(gs.Run(""));
    ExpectSeries(Values(gs, "close"), {5, 5, 10, 10}, "no second adjustment");
    ASSERT_TRUE(gs.SetQuanStyle(qsBack));
    ExpectSeries(Values(gs, "close"), {10, 10, 20, 20}, "adjusted after");
    ASSERT_TRUE(gs.SetQuanStyle(qsNone));
    ExpectSeries(Values(gs, "close"), {10, 10, 10, 10}, "restored");
    EXPECT_EQ(gs.LineName.size(), 1u);
    // A bar handed in while adjusted survives the next change of style.
    for (const char* name : {"date", "open", "high", "low", "close"})
        gs.AddOne(name, std::string(name) == "date" ? 20240105 : 12, true);
    ASSERT_TRUE(gs.SetQuanStyle(qsBack));
    ExpectSeries(Values(gs, "close"), {10, 10, 20, 20, 24}, "new bar adjusted after");
}

} // namespace
} // namespace vantor

namespace vantor {
namespace {

// Stands in for the pattern family's ZIG: marks the source number and the bar.
bool FakeZig(TGS& gs, const std::string& name, const std::string&, const TXX& xx) {
    const int n = gs.getdatalen();
    Tbian* b = gs.AddBian(name, n);
    for (int i = 0; i < n; ++i) b->value[i] = std::stoi(xx[0]) * 100 + i + (xx[1] == "0.001");
    return true;
}

TEST(DataWords, TurningPointWordsUseZigAndFollowTheData) {
    TGS gs;
    LoadBars(gs, {1, 2});
    TFunclist& f = gs.Getfunc();
    f.sf[static_cast<size_t>(f.IndexOf("zig"))] = FakeZig;
    ExpectSeries(Values(gs, "dclose"), {301, 302}, "dclose");
    ExpectSeries(Values(gs, "dopen"), {1, 2}, "dopen reads close when open is missing");
    gs.AddOne("close", 3, true);
    ExpectSeries(Values(gs, "dclose"), {301, 302, 303}, "dclose after a new bar");
}

TEST(DataWords, IndexSeriesComeFromTheIndexFile) {
    const std::string dir = ::testing::TempDir() + "/index_words";
    std::filesystem::create_directories(dir);
    FILE* f = std::fopen((dir + "/399001.BIN").c_str(), "wb");
    ASSERT_TRUE(f);
    for (std::int32_t r = 0; r < 4; ++r) { // four records; the last three line up with the bars
        std::int32_t rec[8] = {20240101 + r, 1000 + r, 1100 + r, 900 + r, 1050 + r, 0, 200 * r, 0};
        float amount = 1.5f * r;
        std::memcpy(&rec[5], &amount, 4);
        rec[7] = (7 + r) | ((3 + r) << 16); // advancing and declining counts
        std::fwrite(rec, 4, 8, f);
    }
    std::fclose(f);
    TGS gs;
    LoadBars(gs, {1, 2, 3});
    gs.SetProgramDir(dir);
    gs.StkLabel = "IF2409"; // not a number: the 399001 file
    ExpectSeries(Values(gs, "INDEXC"), {10.51, 10.52, 10.53}, "indexc");
    ExpectSeries(Values(gs, "indexo"), {10.01, 10.02, 10.03}, "indexo");
    ExpectSeries(Values(gs, "indexv"), {2, 4, 6}, "indexv");
    ExpectSeries(Values(gs, "indexa"), {1.5, 3, 4.5}, "indexa");
    ExpectSeries(Values(gs, "indexadv"), {8, 9, 10}, "indexadv");
    ExpectSeries(Values(gs, "indexdec"), {4, 5, 6}, "indexdec");
    gs.StkLabel = "600000"; // the 999999 file is missing
    TGS other;
    LoadBars(other, {1, 2, 3});
    other.SetProgramDir(dir);
    other.StkLabel = "600000";
    EXPECT_EQ(other.check("indexc"), nullptr);
}

} // namespace
} // namespace vantor
