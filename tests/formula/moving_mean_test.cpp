// The moving mean keeps its sum as a whole number of small units when the values allow it.
// Whatever way it takes, every bar must carry the bits of the compensated running sum, in a
// run over every bar and in runs that go on from the state an earlier run kept.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "formula/bian.h"
#include "formula/function_args.h"

namespace vantor {
namespace {

using Series = std::vector<double>;

struct Case {
    const char* what;
    Series x;
    bool exact; // whether the run over every bar can keep whole units
};

Series Prices(int n, double start, double tick, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> move(-3, 3);
    Series x;
    double ticks = std::round(start / tick);
    for (int i = 0; i < n; ++i) {
        ticks += move(rng);
        x.push_back(ticks * tick); // as a price read from text: the nearest double
    }
    return x;
}

std::vector<Case> Cases() {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    std::vector<Case> cases;
    cases.push_back({"index futures in 0.2", Prices(600, 3485.2, 0.2, 1), true});
    cases.push_back({"stock in hundredths", Prices(600, 12.35, 0.01, 2), true});
    cases.push_back({"bond in 0.005", Prices(600, 101.255, 0.005, 3), true});
    Series volume = Prices(600, 5000, 1, 4);
    for (double& v : volume) v = std::fabs(v);
    cases.push_back({"volumes", volume, true});
    Series gaps = Prices(600, 3485.2, 0.2, 5);
    for (int i : {0, 3, 4, 100, 101, 102, 599}) gaps[static_cast<size_t>(i)] = kInvalidValue;
    cases.push_back({"missing values", gaps, true});
    // A tiny value needs units far finer than the sum of a window of prices can be counted in.
    Series tiny = Prices(600, 3485.2, 0.2, 6);
    tiny[400] = 1e-9;
    cases.push_back({"a tiny value late", tiny, false});
    Series huge = Prices(600, 3485.2, 0.2, 7);
    huge[300] = 1e300;
    cases.push_back({"a huge value", huge, false});
    Series notANumber = Prices(600, 3485.2, 0.2, 8);
    notANumber[200] = nan;
    cases.push_back({"NaN", notANumber, false});
    Series growing;
    for (int i = 0; i < 600; ++i) growing.push_back(std::ldexp(1.5, i / 8));
    cases.push_back({"growing past the sample", growing, false});
    return cases;
}

bool SameBits(const Series& a, const Series& b, std::string& where) {
    for (size_t i = 0; i < a.size(); ++i)
        if (std::memcmp(&a[i], &b[i], sizeof(double)) != 0) {
            where = "bar " + std::to_string(i) + ": " + std::to_string(a[i]) +
                    " != " + std::to_string(b[i]);
            return false;
        }
    return true;
}

// The compensated running sum alone, over every bar.
Series Compensated(const Series& x, std::int64_t k) {
    Series out(x.size());
    double s = 0, c = 0, exact = 0;
    fn::Operand w;
    w.value = static_cast<double>(k);
    fn::MovingMeanBars(x.data(), w, 0, static_cast<int>(x.size()), {s, c, exact}, out.data(),
                       false);
    return out;
}

TEST(MovingMean, WholeUnitsGiveTheBitsOfTheCompensatedSum) {
    for (const Case& c : Cases())
        for (const std::int64_t k : {1, 2, 5, 20, 250}) {
            SCOPED_TRACE(std::string(c.what) + ", window " + std::to_string(k));
            const int n = static_cast<int>(c.x.size());
            fn::Operand w;
            w.value = static_cast<double>(k);
            Series out(c.x.size());
            double s = 0, carry = 0, exact = 0;
            ASSERT_TRUE(
                fn::MovingMeanBars(c.x.data(), w, 0, n, {s, carry, exact}, out.data(), true));
            EXPECT_EQ(exact != 0, c.exact);
            const Series want = Compensated(c.x, k);
            std::string where;
            EXPECT_TRUE(SameBits(out, want, where)) << where;

            // A replay: the first bars at once, then one bar per run from the kept state; a
            // run the kept state cannot go on from computes every bar again.
            out.assign(c.x.size(), 0);
            s = carry = exact = 0;
            const int first = 150;
            ASSERT_TRUE(
                fn::MovingMeanBars(c.x.data(), w, 0, first, {s, carry, exact}, out.data(), true));
            int restarts = 0;
            for (int i = first; i < n; ++i) {
                if (fn::MovingMeanBars(c.x.data(), w, i, i + 1, {s, carry, exact}, out.data(),
                                       true))
                    continue;
                ++restarts;
                s = carry = exact = 0;
                ASSERT_TRUE(fn::MovingMeanBars(c.x.data(), w, 0, i + 1, {s, carry, exact},
                                               out.data(), false));
            }
            EXPECT_TRUE(SameBits(out, want, where)) << "replay, " << where;
            if (c.exact) {
                EXPECT_EQ(restarts, 0);
            }
        }
}

} // namespace
} // namespace vantor
