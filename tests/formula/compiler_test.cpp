// The compiler: formula text into the flat compiled program, its messages and the catalogue.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "formula/front_end.h"
#include "formula/gs.h"

namespace vantor {
namespace {

std::vector<std::string> Lines(const std::string& text) {
    return SplitLines(text);
}

struct CompileCase {
    const char* what;
    const char* text;
    std::vector<std::string> program;
};

TEST(Compiler, FlattensCallsAndOperators) {
    const CompileCase cases[] = {
        {"a call with plain arguments stays as it is", "MA1:MA(CLOSE,M1)", {"MA1:MA(CLOSE,M1)"}},
        {"blanks and case do not matter",
         " MA1 : ma( close , m1 ) , colorred ; ",
         {"MA1:MA(CLOSE,M1),COLORRED"}},
        {"calls inside a comparison, numbered by source line",
         "\n\nX:MA(C,5)>MA(C,10),COLORRED",
         {"@P_3_0:=MA(C,5)", "@P_3_1:=MA(C,10)", "X:BIAO(@P_3_0,>,@P_3_1),COLORRED"}},
        {"an argument with operators", "X:MA(C-O,5)", {"@M_1_0:=BIAO(C,-,O)", "X:MA(@M_1_0,5)"}},
        {"a parenthesis group", "X:(C+O)/2", {"@P_1_0:=BIAO(C,+,O)", "X:BIAO(@P_1_0,/,2)"}},
        {"a group around the whole expression", "X:(C+O)", {"X:BIAO(C,+,O)"}},
        {"user variables are not merged", "A:=C+O;B:=C+O", {"A:=BIAO(C,+,O)", "B:=BIAO(C,+,O)"}},
        {"one temporary for a repeated call, reused on a later line",
         "X:MA(C,5)+MA(C,5);\nY:MA(C,5)*2",
         {"@P_1_0:=MA(C,5)", "X:BIAO(@P_1_0,+,@P_1_0)", "Y:BIAO(@P_1_0,*,2)"}},
        {"product before sum", "X:A+B*C", {"@L_1_0:=BIAO(B,*,C)", "X:BIAO(A,+,@L_1_0)"}},
        {"left to right", "X:A-B-C", {"@L_1_0:=BIAO(A,-,B)", "X:BIAO(@L_1_0,-,C)"}},
        {"each comparison is its own level",
         "X:A>B<C",
         {"@L_1_0:=BIAO(B,<,C)", "X:BIAO(A,>,@L_1_0)"}},
        {"word AND between groups",
         "X:(A>B)and(C>D)",
         {"@P_1_0:=BIAO(A,>,B)", "@P_1_1:=BIAO(C,>,D)", "X:BIAO(@P_1_0,&,@P_1_1)"}},
        {"word AND between blanks",
         "X:A>B AND C>D",
         {"@L_1_0:=BIAO(A,>,B)", "@L_1_1:=BIAO(C,>,D)", "X:BIAO(@L_1_0,&,@L_1_1)"}},
        {"a sign belongs to the number", "X:A*-2", {"X:BIAO(A,*,-2)"}},
        {"a leading minus before a name", "X:-C", {"X:BIAO(0,-,C)"}},
        {"a number line keeps its attributes", "0,LINEDOT,COLORWHITE;", {"0,LINEDOT,COLORWHITE"}},
        {"an unnamed call at the start",
         "MA(C,5)>MA(C,10)",
         {"@K_1_0:=MA(C,5)", "@P_1_1:=MA(C,10)", "BIAO(@K_1_0,>,@P_1_1)"}},
        {"an unnamed call followed by a comma",
         "DRAWTEXT(CROSS(C,MA(C,5)),L,'B')",
         {"@P_1_0:=MA(C,5)", "@K_1_1:=CROSS(C,@P_1_0)", "DRAWTEXT(@K_1_1,L,'B')"}},
        {"an argument of an unnamed call at the start",
         "STICKLINE(C>O,C,O,2,0)",
         {"@T_1_0:=BIAO(C,>,O)", "STICKLINE(@T_1_0,C,O,2,0)"}},
        {"a single = compares", "X=MA(C,5)", {"@P_1_0:=MA(C,5)", "BIAO(X,=,@P_1_0)"}},
        {"!= before a call compares", "C!=REF(C,1)", {"@P_1_0:=REF(C,1)", "BIAO(C,!=,@P_1_0)"}},
        {"the first literal is protected",
         "N:=INPUT(2,90,9,9,'天数:Param;天');",
         {"N:=INPUT(2,90,9,9,'天数:Param;天')"}},
        {"a literal inside a flattened call",
         "DRAWTEXT(C>O,L,'a,b')",
         {"@T_1_0:=BIAO(C,>,O)", "DRAWTEXT(@T_1_0,L,'a,b')"}},
        {"header words",
         "TECHNAME:=MA;TECHTITLE:=均线;DRAWK:=TRUE;",
         {"TECHNAME:=MA", "TECHTITLE:=均线", "DRAWK:=TRUE"}},
        {"comment lines are skipped", "* note\n# note\nX:=C", {"X:=C"}},
        {"an unknown call alone compiles", "X:=FOO(C)", {"X:=FOO(C)"}},
        {"a quoted formula reference inside an expression",
         "X:\"MACD.DIF\"(12,26,9)+1",
         {"@P_1_0:=\"MACD.DIF\"(12,26,9)", "X:BIAO(@P_1_0,+,1)"}},
        // Whole right-hand sides are compared: Q:=ABC does not stand for A.
        {"reuse needs the whole right-hand side",
         "Q:=ABC;X:(A)*2",
         {"Q:=ABC", "@P_1_1:=A", "X:BIAO(@P_1_1,*,2)"}},
        {"a name assigned again is not reused",
         "A:=MA(C,5);A:=A*2;X:MA(C,5)+1",
         {"A:=MA(C,5)", "A:=BIAO(A,*,2)", "@P_1_2:=MA(C,5)", "X:BIAO(@P_1_2,+,1)"}},
        {"a name that does not read as one operand is not reused",
         "A)B:=MA(C,5);X:MA(C,5)+1",
         {"A)B:=MA(C,5)", "@P_1_1:=MA(C,5)", "X:BIAO(@P_1_1,+,1)"}},
        {"a statement after an empty one is ignored", "A:=1;;B:=2", {"A:=1"}},
    };
    for (const CompileCase& c : cases) {
        TGS gs;
        std::vector<std::string> out;
        ASSERT_TRUE(gs.Compile(Lines(c.text), out)) << c.what << ": " << gs.FErrorString;
        EXPECT_EQ(out, c.program) << c.what;
    }
}

TEST(Compiler, ReportsEachFault) {
    std::string args = "C";
    for (int i = 0; i < 38; ++i) args += ",1";
    const std::string tooMany = "X:MA(" + args + ")+1";
    const struct {
        std::string text;
        std::string message;
    } cases[] = {
        {"A:=1;\nX:=MA(C,5", "第 2 行:括号不配匹"},
        {"X:=C)+(O", "第 1 行:括号不配匹"},
        {"\n\n\nX:=A+", "第 4 行:运算符不配匹!"},
        {"X:=A+*B", "第 1 行:运算符不配匹!"},
        {"X:=A<>>B", "第 1 行:运算符不配匹!"},
        {"X:=FOO(C)+1", "第1行 函数:FOO 尚不支持!"},
        {"X:=HIGH(1)+1", "第1行 函数:HIGH 尚不支持!"},
        {"X:MA(C+,5)", "第1行错误!"},
        {"X:(C+)*2", "第1行错误!"},
        {tooMany, "第1行 函数:MA 参数个数超过38个!"},
        {"X:=MA(" + args + ")", "第1行 函数:MA 参数个数超过38个!"},
    };
    for (const auto& c : cases) {
        TGS gs;
        std::vector<std::string> out;
        EXPECT_FALSE(gs.Compile(Lines(c.text), out)) << c.text;
        EXPECT_EQ(gs.FErrorString, c.message) << c.text;
    }
}

TEST(Compiler, MalformedTextCompilesOrFailsWithAMessage) {
    for (const char* text :
         {"(((", ")))", "A:=", ":", "'", ",,,", "X:(())", "-", "--C", "X:=()", "'abc", ")(",
          "@@@@_s(1)", "A:B:C", "X:=((C+O)*(H-L))/((2))", "X:\"A.B\"(", "=;==;:=", "X:=-(-(-C))"}) {
        TGS gs;
        std::vector<std::string> out;
        if (!gs.Compile(Lines(text), out)) {
            EXPECT_FALSE(gs.FErrorString.empty()) << text;
        }
    }
}

TEST(FrontEnd, StripsCommentsButNotLiterals) {
    const struct {
        const char* text;
        const char* stripped;
    } cases[] = {
        {"{ a comment } X:=C;", " X:=C;"},
        {"// note\r\nX:=C;", "\r\nX:=C;"},
        {"X:=C;(* two\r\nlines *)Y:=O;", "X:=C;Y:=O;"},
        {"DRAWTEXT(C>O,L,'{not a comment}');", "DRAWTEXT(C>O,L,'{not a comment}');"},
        {"{$directive}X:=C;", "{$directive}X:=C;"},
        {"X:=C; // trailing", "X:=C; "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetModalStr(c.text, FormulaModalTable(), {0, 1, 2}), c.stripped) << c.text;
}

TEST(FrontEnd, ReadsACompiledStatement) {
    StatementParts p = ReadCompiledStatement("X:BIAO(@P_3_0,>,@P_3_1),COLORRED,LINETHICK2");
    EXPECT_EQ(p.name, "x");
    EXPECT_TRUE(p.output);
    EXPECT_EQ(p.expr, "biao(@p_3_0,>,@p_3_1)");
    EXPECT_EQ(p.attrs, "colorred,linethick2");
    p = ReadCompiledStatement("DRAWTEXT(C,L,'A:B')");
    EXPECT_EQ(p.name, "");
    EXPECT_EQ(p.expr, "drawtext(c,l,'a:b')");
    EXPECT_TRUE(ReadCompiledStatement("  {skipped}").skip);
}

class WithBars : public ::testing::Test {
protected:
    void SetUp() override {
        const double close[] = {10, 11, 12, 13};
        gs.AddAll("CLOSE", close, 4);
    }
    TGS gs;
};

TEST_F(WithBars, SetProgTextInstallsOnlyAWholeSuccess) {
    ASSERT_TRUE(gs.SetProgText("A:C*2;", ""));
    const std::vector<std::string> program = gs.pg1;
    EXPECT_FALSE(gs.SetProgText("X:=MA(C,5", ""));
    EXPECT_EQ(gs.FErrorString, "第 1 行:括号不配匹");
    EXPECT_EQ(gs.pg1, program);
    EXPECT_TRUE(gs.SetProgText("{ only a comment }\r\n// and another", ""));
    EXPECT_EQ(gs.pg1, program);
    EXPECT_EQ(gs.GetProgText(), "A:C*2;");
}

TEST_F(WithBars, LoadingMessages) {
    EXPECT_FALSE(gs.SetProgText("", ""));
    EXPECT_EQ(gs.FErrorString, "程序长度不能为空!");
    EXPECT_FALSE(gs.loadprogram("/nonexistent/7.zb", ""));
    EXPECT_EQ(gs.FErrorString, "公式文件: /nonexistent/7.zb 不存在!");
}

TEST_F(WithBars, LoadsAProgramFileWithoutStrippingComments) {
    const std::string path = ::testing::TempDir() + "/Prog.ZB";
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(f);
    std::fputs("* whole-line note\r\nX:C+1;\r\n", f);
    std::fclose(f);
    ASSERT_TRUE(gs.loadprogram(path, "")) << gs.FErrorString;
    EXPECT_EQ(gs.pg1, std::vector<std::string>{"X:BIAO(C,+,1)"});
    EXPECT_EQ(gs.FFileName, path);
}

TEST(Catalogue, ListsEveryNameInOrder) {
    TGS gs;
    TFunclist& f = gs.Getfunc();
    ASSERT_EQ(f.namelist.size(), 33u + 119u + 6u); // and the spellings of other dialects
    EXPECT_EQ(f.namelist.front(), "drawk");
    EXPECT_EQ(f.namelist[3], "indexa");
    EXPECT_EQ(f.namelist[32], "fromopen");
    EXPECT_EQ(f.namelist[33], "barslastcount");
    EXPECT_EQ(f.namelist[33 + 118], "setcode");
    EXPECT_EQ(f.namelist.back(), "totalfznum");
    EXPECT_EQ(f.getfunc("iff"), f.getfunc("if"));
    EXPECT_EQ(f.getfunc("close"), nullptr); // a data word has no handler
    EXPECT_EQ(f.getfunc(""), nullptr);
    EXPECT_NE(f.getfunc("EMA"), nullptr);
    EXPECT_EQ(f.getfunc("expma"), f.getfunc("ema"));
    for (const std::string& note : f.notelist) EXPECT_EQ(note, "");
}

TEST(Catalogue, ReportsDuplicatesAndUnknownNotes) {
    TFunclist f;
    std::vector<std::string> shown;
    Host host{[&](const std::string& m) { shown.push_back(m); }, {}};
    f.host = &host;
    f.Add("MA", nullptr, "moving average");
    f.Add("ma", nullptr, "again");
    EXPECT_EQ(f.getnote("Ma"), "moving average");
    EXPECT_EQ(f.getnote("foo"), "");
    EXPECT_EQ(shown, (std::vector<std::string>{"函数表已存在:ma", "不存在函数:foo"}));
    for (int i = 0; i < 500; ++i) f.Add("f" + std::to_string(i), nullptr, "");
    EXPECT_EQ(f.namelist.size(), static_cast<size_t>(TFunclist::kCapacity));
}

} // namespace
} // namespace vantor
