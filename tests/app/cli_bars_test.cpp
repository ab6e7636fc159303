// vantor-cli bars on the 48,000-bar minute sample, checked against a grouping computed here
// independently of the bar store, with plain integer minute arithmetic.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "cli_support.h"
#include "market/data_files.h"
#include "market/price.h"

namespace vantor {
namespace {

const std::string kMinute = VANTOR_SAMPLE_DIR "/mindata/IFL8.txt";

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) out.push_back(l);
    return out;
}

struct Group {
    std::string label;
    double open, high, low, close, vol;
};

// Groups rows 0..last by the end of their `step`-minute bar; minute 0 belongs to the bar
// ending at that minute, and a bar that would end at :60 ends at the next full hour.
std::vector<Group> Expected(const std::vector<Price>& bars, int last, int step, bool byDay) {
    std::vector<Group> out;
    for (int i = 0; i <= last; ++i) {
        const Price& b = bars[i];
        int t = BarTimeNumber(b.Ssj), h = t / 100, m = t % 100;
        int end = (m == 0 || byDay) ? 0 : (m + step - 1) / step * step;
        if (end >= 60) end = 0, ++h;
        char label[32];
        if (byDay)
            std::snprintf(label, sizeof label, "%s,0000", b.Srq.str().c_str());
        else
            std::snprintf(label, sizeof label, "%s,%02d%02d", b.Srq.str().c_str(), h, end);
        if (out.empty() || out.back().label != label) {
            out.push_back({label, b.Spk, b.Spg, b.Spd, b.Sps, b.Scjl});
        } else {
            Group& g = out.back();
            g.high = std::max(g.high, b.Spg);
            g.low = std::min(g.low, b.Spd);
            g.close = b.Sps;
            g.vol += b.Scjl;
        }
    }
    return out;
}

std::string Format(const Group& g) {
    char buf[256];
    std::snprintf(buf, sizeof buf, "%s,%.4f,%.4f,%.4f,%.4f,%.4f,0.0000", g.label.c_str(), g.open,
                  g.high, g.low, g.close, g.vol);
    return buf;
}

class CliBars : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::vector<std::string> lines;
        ASSERT_TRUE(ReadLines(kMinute, lines));
        bars = new std::vector<Price>(lines.size());
        for (size_t i = 0; i < lines.size(); ++i) ASSERT_TRUE(ParseBarLine(lines[i], (*bars)[i]));
    }
    static void TearDownTestSuite() { delete bars; }
    static std::vector<Price>* bars;
};
std::vector<Price>* CliBars::bars = nullptr;

TEST_F(CliBars, PeriodsFollowTheStampRules) {
    ASSERT_EQ(bars->size(), 48000u);
    const struct {
        const char* period;
        int step;
        bool byDay;
    } cases[] = {{"5m", 5, false}, {"60m", 60, false}, {"day", 0, true}};
    for (const auto& c : cases) {
        auto r = test::RunCli("bars '" + kMinute + "' --period " + c.period);
        ASSERT_EQ(r.exitCode, 0) << r.err;
        auto got = Lines(r.out);
        auto want = Expected(*bars, 47999, c.step, c.byDay);
        ASSERT_EQ(got.size(), want.size()) << c.period;
        for (size_t i = 0; i < want.size(); ++i)
            ASSERT_EQ(got[i], Format(want[i])) << c.period << " bar " << i;
    }
}

TEST_F(CliBars, LastRowHidesEverythingAfterIt) {
    for (int last : {0, 7, 239, 240, 12345}) {
        auto r = test::RunCli("bars '" + kMinute + "' --period 60m --last " + std::to_string(last));
        ASSERT_EQ(r.exitCode, 0) << r.err;
        auto got = Lines(r.out);
        auto want = Expected(*bars, last, 60, false);
        ASSERT_EQ(got.size(), want.size()) << last;
        EXPECT_EQ(got.back(), Format(want.back())) << last;
    }
    auto r = test::RunCli("bars '" + kMinute + "' --start 100 --last 104");
    ASSERT_EQ(r.exitCode, 0);
    auto got = Lines(r.out);
    ASSERT_EQ(got.size(), 5u);
    EXPECT_EQ(got.front().substr(0, 13), (*bars)[100].Srq.str() + "," + (*bars)[100].Ssj.str());
}

TEST(CliErrors, BadCallsFailWithAMessage) {
    const char* cases[] = {
        "bars /no/such/file.txt",
        "bars '" VANTOR_SAMPLE_DIR "/daydata/IFL8.txt' --period 7m",
        "bars '" VANTOR_SAMPLE_DIR "/daydata/IFL8.txt' --last 99999",
        "bars '" VANTOR_SAMPLE_DIR "/daydata/IFL8.txt' --start x",
        "bars '" VANTOR_SAMPLE_DIR "/daydata/IFL8.txt' --start 10 --last 5",
        "bars '" VANTOR_SAMPLE_DIR "/daydata/IFL8.txt' --bogus 1",
        "bars",
        "nosuchcommand",
    };
    for (const char* args : cases) {
        auto r = test::RunCli(args);
        EXPECT_NE(r.exitCode, 0) << args;
        EXPECT_FALSE(r.err.empty()) << args;
        EXPECT_TRUE(r.out.empty()) << args;
    }
}

} // namespace
} // namespace vantor
