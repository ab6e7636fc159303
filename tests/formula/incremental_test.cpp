// Incremental runs: a window that reruns after the newest bar changed or a bar was added
// recomputes only the bars that may differ. Every series, constant and output record must
// be exactly what a fresh window computes over the same bars, for every built-in formula
// and for random formulas, bar by bar as a replay feeds them.

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "eval_support.h"
#include "formula/func_str.h"
#include "formula/gs.h"

namespace vantor {
namespace {

const char* const kRaw[] = {"date", "time", "open", "high", "low", "close", "amount", "vol"};
constexpr int kFirstBars = 240; // bars before the replay starts
constexpr int kSteps = 24;      // bars the replay adds

// Real one-minute bars with invalid values sprinkled in, in the order of kRaw.
std::vector<std::vector<double>> SampleBars() {
    TGS gs;
    const int n = test::LoadSample(gs, VANTOR_SAMPLE_DIR "/mindata/IFL8.txt", kFirstBars + kSteps);
    std::vector<std::vector<double>> raw(8);
    for (int k = 0; k < 8; ++k)
        for (int i = 0; i < n; ++i) raw[k].push_back(gs.check(kRaw[k])->at(i));
    for (int i = 0; i < n; ++i) {
        if (i % 53 == 7) raw[7][i] = kInvalidValue;                     // vol
        if (i % 97 == 11) raw[3][i] = kInvalidValue;                    // high
        if (i == 150 || i == kFirstBars + 5) raw[5][i] = kInvalidValue; // close
    }
    return raw;
}

void Blocks(TGS& gs) {
    gs.FStockInfo = std::make_shared<TStockinfo>();
    gs.FDYNAINFO = std::make_shared<TDYNAINFO>();
    gs.FFINANCE = std::make_shared<TFINANCE>();
    gs.FIndex = std::make_shared<TIndex>();
}

// A window of its own over the bars the main window holds, run in full once.
std::unique_ptr<TGS> Fresh(TGS& main, const std::string& text, const std::string& params,
                           bool* ok = nullptr) {
    auto gs = std::make_unique<TGS>();
    for (size_t k = 0; k < main.mainbian->size(); ++k) {
        const Tbian& b = (*main.mainbian)[k];
        gs->AddAll(b.name, b.value.data(), b.len);
    }
    Blocks(*gs);
    const bool done = gs->SetProgText(text, params);
    if (ok)
        *ok = done;
    else
        EXPECT_TRUE(done) << gs->FErrorString;
    return gs;
}

// Same series (bit for bit), constants and output records.
void ExpectSame(TGS& inc, TGS& fresh, const std::string& what) {
    ASSERT_EQ(inc.LineName, fresh.LineName) << what;
    ASSERT_EQ(inc.ls.size(), fresh.ls.size()) << what;
    for (size_t k = 0; k < fresh.ls.size(); ++k)
        ASSERT_EQ(inc.ls.line(k), fresh.ls.line(k)) << what;
    for (size_t k = 0; k < fresh.namebian.size(); ++k) {
        const Tbian& f = fresh.namebian[k];
        const Tbian* b = inc.namebian.find(f.name);
        ASSERT_NE(b, nullptr) << what << " " << f.name;
        ASSERT_EQ(b->len, f.len) << what << " " << f.name;
        for (int i = 0; i < f.len; ++i)
            ASSERT_EQ(std::memcmp(&b->value[i], &f.value[i], sizeof(double)), 0)
                << what << " " << f.name << " bar " << i << ": " << b->value[i]
                << " != " << f.value[i];
    }
}

// The replay of a chart: the main window holds the bars, each formula runs in a window
// borrowing them. Each step adds a bar showing only its open, then reveals the whole bar.
struct Replay {
    std::vector<std::vector<double>> raw = SampleBars();
    TGS main;
    std::vector<std::unique_ptr<TGS>> windows;
    std::vector<std::string> texts;

    void Start() {
        for (int k = 0; k < 8; ++k) main.AddAll(kRaw[k], raw[k].data(), kFirstBars);
        Blocks(main);
    }
    bool Add(const std::string& text) {
        windows.push_back(std::make_unique<TGS>(&main));
        texts.push_back(text);
        return windows.back()->SetProgText(text, "");
    }
    void Bar(int i, bool openOnly, bool append) {
        for (int k = 0; k < 8; ++k) {
            double v = raw[k][i];
            if (openOnly && (k == 3 || k == 4 || k == 5)) v = raw[2][i];
            main.AddOne(kRaw[k], v, append);
        }
    }
    // Runs every window and compares it with a fresh one; `from` is the first bar each run
    // should recompute.
    void Check(const std::string& what, int from) {
        for (size_t w = 0; w < windows.size(); ++w) {
            TGS& gs = *windows[w];
            const bool ok = gs.Run("");
            bool freshOk = false;
            auto fresh = Fresh(main, texts[w], "", &freshOk);
            ASSERT_EQ(ok, freshOk) << texts[w] << gs.FErrorString << fresh->FErrorString;
            if (!ok) continue;
            EXPECT_EQ(gs.RecomputedFrom(), from) << what << " " << texts[w];
            ExpectSame(gs, *fresh, what + " " + texts[w]);
        }
    }
    void Run() {
        Check("first", kFirstBars);
        for (int s = 0; s < kSteps && !::testing::Test::HasFatalFailure(); ++s) {
            const int i = kFirstBars + s;
            Bar(i, true, true);
            Check("bar " + std::to_string(i) + " open", i);
            Bar(i, false, false);
            Check("bar " + std::to_string(i) + " whole", i);
            if (s % 8 == 3) {
                // A run with nothing changed, then the newest bar changed once more.
                Check("bar " + std::to_string(i) + " again", i + 1);
                Bar(i, true, false);
                Check("bar " + std::to_string(i) + " open again", i);
                Bar(i, false, false);
                Check("bar " + std::to_string(i) + " whole again", i);
            }
        }
    }
};

TEST(Incremental, BuiltinFormulasMatchFullRunsBarByBar) {
    Replay r;
    r.Start();
    for (const std::string& name : TFuncStr::Builtins().FNameList)
        ASSERT_TRUE(r.Add(TFuncStr::Builtins().GetStr(name))) << name;
    r.Run();
}

// Random programs over the functions that compute only the changed bars, mixed with some
// that compute every bar, look ahead or give constants.
std::string RandomFormula(std::mt19937& rng, int statements) {
    std::vector<std::string> vars = {"C", "O", "H", "L", "V", "AMOUNT"};
    auto pick = [&](const std::vector<std::string>& v) {
        return v[std::uniform_int_distribution<size_t>(0, v.size() - 1)(rng)];
    };
    const std::vector<std::string> lengths = {"0", "1", "2", "5", "13", "300", "-2"};
    const std::vector<std::string> windowed = {"MA",  "EMA", "EXPMA", "HHV", "LLV",  "SUM",
                                               "REF", "STD", "COUNT", "VAR", "STDP", "AVEDEV"};
    const std::vector<std::string> constWindow = {"STD", "VAR", "STDP", "AVEDEV", "DEVSQ"};
    std::string text;
    for (int s = 0; s < statements; ++s) {
        const std::string x = pick(vars), y = pick(vars);
        std::string e;
        switch (std::uniform_int_distribution<int>(0, 9)(rng)) {
        case 0:
        case 1:
            e = pick(windowed) + "(" + x + "," + pick(lengths) + ")";
            break;
        case 2: // a window read per bar
            e = pick(windowed) + "(" + x + ",(" + y + ">" + x + ")*4+1)";
            break;
        case 3:
            e = "SMA(" + x + "," + pick({"1", "3", "9"}) + "," + pick({"1", "2"}) + ")";
            break;
        case 4:
            e = "DMA(" + x + "," + pick({"0.3", "0.05", "(" + y + ">" + x + ")*0.5+0.2"}) + ")";
            break;
        case 5:
            e = x + pick({"+", "-", "*", "/", ">", "<", "="}) + y;
            break;
        case 6:
            e = x + pick({"*2", "/3", "-1"});
            break;
        case 7:
            e = pick({"REF(" + x + ",-1)", "MAX(" + x + "," + y + ")", "MIN(" + x + ",3)",
                      "ABS(" + x + "-" + y + ")", "IF(" + x + ">" + y + "," + x + "," + y + ")",
                      "IF(" + x + "," + y + ",1)", pick(constWindow) + "(" + x + ",4)", "ZIG(3,5)",
                      "BARSLAST(" + x + ">" + y + ")", "LLV(" + x + ",0)"});
            break;
        case 8:
            e = pick({"LAST(" + x + ">0,1,0)", "COUNT(" + x + ">" + y + ",0)", "CONST(" + x + ")",
                      "SAR(10,2,20)", "REFX(" + x + ",2)", "REFXV(" + x + ",1)+" + y,
                      "MULAR(" + x + "/" + y + ",0)", "IFF(" + x + "==" + y + ",1,2)",
                      x + "<>" + y + " AND " + y + ">1 OR " + x + "||0"});
            break;
        default:
            e = "EMA(" + x + "-REF(" + y + ",1),3)";
            break;
        }
        const std::string name = "X" + std::to_string(s);
        const bool output = std::uniform_int_distribution<int>(0, 2)(rng) == 0;
        text += name + (output ? ":" : ":=") + e + ";\n";
        vars.push_back(name);
    }
    return text;
}

// Formulas in the spellings of other programs: operators, continued lines, results named
// like raw series and the look-ahead references, which always compute every bar.
TEST(Incremental, DialectFormulasMatchFullRunsBarByBar) {
    Replay r;
    r.Start();
    for (const char* text :
         {"VOL:VOL,VOLSTICK;\nCLOSE:MA(C,5);\nX:CLOSE-REF(CLOSE,1);",
          "A:=IFF(C<>O AND\n  H>L,\n  C,O);\nB:MA(A,5)==MA(A,10) || CROSS(MA(C,5),MA(C,10));",
          "X:REFX(C,3);Y:MA(X,5);Z:REFXV(MA(C,5),1)-C;",
          "NVI:100*MULAR(IF(V<REF(V,1),C/REF(C,1),1),0);",
          "S:SUM(C,20)+STD(C,10)+SLOPE(C,14)+FORCAST(C,9)+AVEDEV(C,7);"})
        ASSERT_TRUE(r.Add(text)) << text << r.windows.back()->FErrorString;
    r.Run();
}

TEST(Incremental, RandomFormulasMatchFullRunsBarByBar) {
    Replay r;
    r.Start();
    std::mt19937 rng(20261210);
    int installed = 0;
    for (int f = 0; f < 80; ++f) {
        const std::string text = RandomFormula(rng, 8);
        if (r.Add(text)) {
            ++installed;
        } else {
            r.windows.pop_back();
            r.texts.pop_back();
        }
    }
    EXPECT_GT(installed, 60);
    r.Run();
}

// The main window holding the bars runs a program of its own, as the chart's first window.
TEST(Incremental, MainWindowMatchesFullRuns) {
    Replay r;
    r.Start();
    const std::string text = TFuncStr::Builtins().GetStr("MA");
    ASSERT_TRUE(r.main.SetProgText(text, ""));
    for (int s = 0; s < 6; ++s) {
        r.Bar(kFirstBars + s, s % 2 == 0, true);
        ASSERT_TRUE(r.main.Run(""));
        EXPECT_EQ(r.main.RecomputedFrom(), kFirstBars + s);
        ExpectSame(r.main, *Fresh(r.main, text, ""), "main " + std::to_string(s));
    }
}

// A raw series a statement does not read leaves its bars alone: the chart appends short
// series (advance, decline) with each candle.
TEST(Incremental, OnlyTheSeriesReadCount) {
    Replay r;
    r.Start();
    const std::string macd = TFuncStr::Builtins().GetStr("MACD");
    const std::string reader = "X:REF(ADVANCE,1);Y:X+C;Z:EMA(C,5);";
    r.main.AddOne("advance", 9, true);
    ASSERT_TRUE(r.Add(macd));
    ASSERT_TRUE(r.Add(reader));
    for (int s = 0; s < 4; ++s) {
        const int i = kFirstBars + s;
        r.main.AddOne("advance", 10 + s, true);
        r.Bar(i, false, true);
        for (size_t w = 0; w < 2; ++w) {
            TGS& gs = *r.windows[w];
            ASSERT_TRUE(gs.Run("")) << gs.FErrorString;
            EXPECT_EQ(gs.RecomputedFrom(), s + 1);
            ExpectSame(gs, *Fresh(r.main, r.texts[w], ""), "advance " + std::to_string(s));
        }
        EXPECT_EQ(r.windows[0]->namebian.find("dif")->from, i);
        EXPECT_EQ(r.windows[1]->namebian.find("x")->from, s + 1);
        EXPECT_EQ(r.windows[1]->namebian.find("y")->from, s + 1);
        EXPECT_EQ(r.windows[1]->namebian.find("z")->from, i);
    }
}

// A name that is a constant in the statements before the one that makes it a series: a
// rerun must not hand those statements the series the previous run left.
TEST(Incremental, ANameIsAConstantUntilItsSeriesIsWritten) {
    for (const std::string text : {"B:=20;X:B+C;B:C+1;", "A:=10;B:A*2;W:A>B;B:C+1;"}) {
        Replay r;
        r.Start();
        ASSERT_TRUE(r.Add(text));
        TGS& w = *r.windows[0];
        ASSERT_TRUE(w.Run("")) << w.FErrorString;
        ExpectSame(w, *Fresh(r.main, text, ""), text + " rerun");
        r.Bar(kFirstBars, false, true);
        ASSERT_TRUE(w.Run("")) << w.FErrorString;
        ExpectSame(w, *Fresh(r.main, text, ""), text + " with a new bar");
    }
}

// Whatever else changes makes the next run compute everything.
TEST(Incremental, OtherChangesRecomputeEverything) {
    Replay r;
    r.Start();
    const std::string macd = TFuncStr::Builtins().GetStr("MACD");
    ASSERT_TRUE(r.Add(macd));
    TGS& w = *r.windows[0];
    ASSERT_TRUE(w.Run(""));
    r.Bar(kFirstBars, false, true);
    ASSERT_TRUE(w.Run(""));
    ASSERT_EQ(w.RecomputedFrom(), kFirstBars);

    // Other parameters.
    ASSERT_TRUE(w.Run("5,10,3,"));
    EXPECT_EQ(w.RecomputedFrom(), 0);
    ExpectSame(w, *Fresh(r.main, macd, "5,10,3,"), "params");
    ASSERT_TRUE(w.Run(""));
    EXPECT_EQ(w.RecomputedFrom(), 0);
    ExpectSame(w, *Fresh(r.main, macd, ""), "params back");

    // The bars handed in again with an older bar changed, and then fewer of them.
    for (int count : {kFirstBars + 1, kFirstBars - 30}) {
        r.raw[5][100] += 1;
        r.main.ClearData();
        for (int k = 0; k < 8; ++k) r.main.AddAll(kRaw[k], r.raw[k].data(), count);
        Blocks(r.main);
        ASSERT_TRUE(w.Run(""));
        EXPECT_EQ(w.RecomputedFrom(), 0) << count;
        ExpectSame(w, *Fresh(r.main, macd, ""), "reloaded " + std::to_string(count));
    }

    // A window's own data cleared and handed in again.
    ASSERT_TRUE(w.Run(""));
    EXPECT_EQ(w.RecomputedFrom(), kFirstBars - 30);
    w.ClearData();
    ASSERT_TRUE(w.Run(""));
    EXPECT_EQ(w.RecomputedFrom(), 0);

    // Another program.
    const std::string kdj = TFuncStr::Builtins().GetStr("KDJ");
    ASSERT_TRUE(w.SetProgText(kdj, ""));
    EXPECT_EQ(w.RecomputedFrom(), 0);
    ExpectSame(w, *Fresh(r.main, kdj, ""), "program");

    // A failed run leaves nothing to build on.
    ASSERT_FALSE(w.SetProgText("A:MA(C,5);B:NOSUCH(C);", ""));
    r.Bar(kFirstBars - 30, false, true);
    ASSERT_FALSE(w.Run(""));
    r.Bar(kFirstBars - 29, false, true);
    ASSERT_FALSE(w.Run(""));
    EXPECT_EQ(w.RecomputedFrom(), 0);
}

// A window loading another instrument: ClearData, other bars, a run. Series storage is used
// again without zeroing for the functions that set every bar; no value of the instrument
// before may show through.
TEST(Incremental, AnotherInstrumentAfterClearDataMatchesAFreshWindow) {
    const std::vector<std::vector<double>> raw = SampleBars();
    const std::string text =
        "A:MA(C,5);B:EMA(C,12);LC:=REF(C,1);\n"
        "D:SMA(MAX(C-LC,0),6,1)/SMA(ABS(C-LC),6,1)*100;E:STD(C,20);F:MA(H,0)+REF(L,3);";
    TGS w;
    const auto feed = [&](int count, double scale) {
        for (int k = 0; k < 8; ++k) {
            std::vector<double> v(raw[k].begin(), raw[k].begin() + count);
            if (k >= 2)
                for (double& x : v)
                    if (IsValid(x)) x *= scale;
            w.AddAll(kRaw[k], v.data(), count);
        }
        Blocks(w);
    };
    feed(kFirstBars + kSteps, 1);
    ASSERT_TRUE(w.SetProgText(text, "")) << w.FErrorString;
    ASSERT_TRUE(w.Run(""));
    for (const auto& [count, scale] : {std::pair{kFirstBars, 1.5}, {kFirstBars + kSteps, 0.25}}) {
        w.ClearData();
        feed(count, scale);
        ASSERT_TRUE(w.Run(""));
        ExpectSame(w, *Fresh(w, text, ""), "bars " + std::to_string(count));
    }
}

} // namespace
} // namespace vantor
