// vantor-cli eval: a formula run over the bundled Shanghai composite day bars, checked
// against values worked out by hand from the first rows of the file.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "cli_support.h"
#include "formula/builtin_formulas.h"
#include "formula/eval_support.h"
#include "formula/func_str.h"

namespace {

struct Result {
    int status = -1;
    std::string out;
};

// Runs vantor-cli with the words given (already quoted for the shell); with `withStderr`
// the messages follow what went to stdout.
Result RunCli(const std::string& words, bool withStderr = false) {
    auto r = vantor::test::RunCli(words);
    return {r.exitCode, withStderr ? r.out + r.err : r.out};
}

std::vector<std::vector<std::string>> Csv(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> fields;
        std::string f;
        for (char c : line) {
            if (c == ',') {
                fields.push_back(f);
                f.clear();
            } else {
                f += c;
            }
        }
        fields.push_back(f);
        rows.push_back(fields);
    }
    return rows;
}

const std::string kFile = std::string("'") + VANTOR_SAMPLE_DIR + "/daydata/SH000001.txt'";

TEST(CliEval, AgreesWithAHandComputation) {
    const Result r = RunCli("eval " + kFile +
                            " --last 9 --formula 'M:MA(C,3);E:EMA(C,3);S:SMA(C,3,1);D:STD(C,3);"
                            "HH:HHV(H,3);LL:LLV(L,3);R:REF(C,1);X:=C/0;Y:X;'");
    ASSERT_EQ(r.status, 0) << r.out;
    const auto rows = Csv(r.out);
    ASSERT_EQ(rows.size(), 11u); // header and bars 0..9
    EXPECT_EQ(rows[0],
              (std::vector<std::string>{"date", "time", "m", "e", "s", "d", "hh", "ll", "r", "y"}));
    // Bar 0 (19910326, close 121.62): no 3-bar mean yet; EMA, SMA and REF start at the close.
    EXPECT_EQ(rows[1][0], "19910326");
    EXPECT_EQ(rows[1][2], "");
    EXPECT_EQ(rows[1][3], "121.62");
    EXPECT_EQ(rows[1][4], "121.62");
    EXPECT_EQ(rows[1][8], "121.62");
    EXPECT_EQ(rows[1][9], ""); // the invalid value prints as an empty field
    // Bar 3 (19910329). Closes 121.62, 121.12, 120.61, 120.19; highs 122.14, 121.64, 121.15,
    // 120.61; lows 121.62, 121.12, 120.61, 120.11.
    //   MA3  = (121.12 + 120.61 + 120.19) / 3                          = 120.64
    //   EMA3 : 121.62 -> 121.37 -> 120.99 -> (2*120.99 + 2*120.19) / 4 = 120.59
    //   SMA  : 121.62 -> 121.453333 -> 121.172222 -> (2*121.172222 + 120.19) / 3 = 120.844815
    //   STD3 : deviations 0.48, -0.03, -0.45 from 120.64; sqrt(0.4338 / 2) = 0.465725
    const auto& bar3 = rows[4];
    EXPECT_EQ(bar3[0], "19910329");
    const double want[] = {120.64, 120.59, 120.844815, 0.465725, 121.64, 120.11, 120.61};
    for (int k = 0; k < 7; ++k) EXPECT_NEAR(std::atof(bar3[2 + k].c_str()), want[k], 1e-6) << k;
}

TEST(CliEval, ParametersByName) {
    const Result r =
        RunCli("eval " + kFile + " --last 3 --formula 'N:=INPUT(1,10,3,3);M:MA(C,N);' --param N=2");
    ASSERT_EQ(r.status, 0) << r.out;
    const auto rows = Csv(r.out);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[2][2], "121.37"); // (121.62 + 121.12) / 2
}

TEST(CliEval, FailuresPrintTheFormulaMessage) {
    Result r = RunCli("eval " + kFile + " --formula 'X:MA(C,5'", true);
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.out.find("第 1 行:括号不配匹"), std::string::npos) << r.out;
    r = RunCli("eval " + kFile + " --formula 'X:MA(Y,5);'", true);
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.out.find("MA(X,N)参数X:y不存在!"), std::string::npos) << r.out;
    r = RunCli("eval " + kFile + " --builtin NOSUCH", true);
    EXPECT_NE(r.status, 0);
    r = RunCli("eval " + kFile, true);
    EXPECT_EQ(r.status, 2);
}

// Parameters of a built-in given by name equal the same numbers given to a reference.
TEST(CliEval, BuiltinParametersByName) {
    const Result byName =
        RunCli("eval " + kFile +
               " --last 299 --builtin MACD --param mid=3 --param SHORT=5 --param Long=10");
    const Result byReference =
        RunCli("eval " + kFile +
               " --last 299 --formula 'DIF:\"MACD.DIF\"(5,10,3);DEA:\"MACD.DEA\"(5,10,3);'");
    const Result defaults = RunCli("eval " + kFile + " --last 299 --builtin MACD");
    ASSERT_EQ(byName.status, 0) << byName.out;
    ASSERT_EQ(byReference.status, 0) << byReference.out;
    const auto a = Csv(byName.out), b = Csv(byReference.out), d = Csv(defaults.out);
    ASSERT_EQ(a.size(), 301u);
    ASSERT_EQ(a[0], (std::vector<std::string>{"date", "time", "dif", "dea", "macd", "0"}));
    ASSERT_EQ(b.size(), 301u);
    for (size_t i = 1; i < a.size(); ++i) {
        EXPECT_EQ(std::vector<std::string>(a[i].begin(), a[i].begin() + 4), b[i]) << i;
        if (i > 1) {
            EXPECT_NE(a[i][2], d[i][2]) << i;
        }
    }
    EXPECT_EQ(RunCli("eval " + kFile + " --builtin MACD --param NOSUCH=3").status, 2);
}

// Every built-in formula compiles and runs over the whole day and minute samples: each
// output line has one value per bar and a value on some bar (DB6 and TWR only draw, so
// they have no lines). The formulas run in process over bars loaded once per sample; the
// tool, run once per sample, prints exactly the values computed here.
struct Sample {
    const char* file;
    int bars;
    const char* builtin; // the one the tool runs
};
const Sample kSamples[] = {{"daydata/SH000001.txt", 8162, "MACD"},
                           {"mindata/IFL8.txt", 48000, "KDJ"}};

// The names of the output lines of a window, in order.
std::vector<std::string> LineNames(const vantor::TGS& gs) {
    std::vector<std::string> names;
    for (const std::string& record : gs.LineName)
        if (record.rfind("syline=", 0) == 0)
            names.push_back(record.substr(7, record.find("::", 7) - 7));
    return names;
}

std::string PrintedValue(double v) {
    if (v == vantor::kInvalidValue) return "";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.10g", v);
    return buf;
}

class CliEvalBuiltin : public ::testing::TestWithParam<Sample> {};

TEST_P(CliEvalBuiltin, EveryBuiltinRunsOverTheSample) {
    const Sample& sample = GetParam();
    const std::string path = std::string(VANTOR_SAMPLE_DIR) + "/" + sample.file;
    vantor::TGS bars;
    ASSERT_EQ(vantor::test::LoadSample(bars, path, sample.bars), sample.bars);
    std::vector<std::string> names;
    vantor::TFuncStr::Builtins().GetList(-1, names);
    ASSERT_GT(names.size(), 30u);
    for (const std::string& name : names) {
        std::string text;
        ASSERT_TRUE(vantor::FindBuiltinFormula(name, text)) << name;
        vantor::TGS gs(&bars);
        ASSERT_TRUE(gs.SetProgText(text, "")) << name << ": " << gs.FErrorString;
        EXPECT_FALSE(gs.pg1.empty()) << name;
        for (const std::string& line : LineNames(gs)) {
            const std::vector<double> v = vantor::test::Values(gs, line);
            ASSERT_EQ(v.size(), static_cast<size_t>(sample.bars)) << name << "." << line;
            // MCST divides by the capital, which the zeroed instrument block leaves at 0.
            if (name == "MCST") continue;
            EXPECT_NE(std::count(v.begin(), v.end(), vantor::kInvalidValue), sample.bars)
                << name << "." << line << " has no value";
        }
    }

    // The tool's output: a header and one row per bar with the values of the window.
    const Result r = RunCli("eval '" + path + "' --builtin " + sample.builtin, true);
    ASSERT_EQ(r.status, 0) << r.out.substr(r.out.size() - std::min<size_t>(r.out.size(), 300));
    const auto rows = Csv(r.out);
    ASSERT_EQ(rows.size(), static_cast<size_t>(sample.bars) + 1);
    std::string text;
    ASSERT_TRUE(vantor::FindBuiltinFormula(sample.builtin, text));
    vantor::TGS gs(&bars);
    ASSERT_TRUE(gs.SetProgText(text, ""));
    const std::vector<std::string> lines = LineNames(gs);
    ASSERT_EQ(rows[0].size(), lines.size() + 2);
    for (size_t k = 0; k < lines.size(); ++k) {
        EXPECT_EQ(rows[0][k + 2], lines[k]);
        const std::vector<double> v = vantor::test::Values(gs, lines[k]);
        for (int i = 0; i < sample.bars; ++i)
            ASSERT_EQ(rows[i + 1][k + 2], PrintedValue(v[i])) << lines[k] << " bar " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Samples, CliEvalBuiltin, ::testing::ValuesIn(kSamples),
                         [](const auto& info) { return std::string(info.param.builtin); });

} // namespace
