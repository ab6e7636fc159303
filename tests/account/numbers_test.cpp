#include <gtest/gtest.h>

#include "account/numbers.h"

namespace vantor {
namespace {

TEST(Numbers, ParseNumber) {
    struct Case {
        const char* text;
        bool ok;
        double value;
    };
    const Case cases[] = {
        {"12", true, 12},    {" 1.5 ", true, 1.5}, {"-30.00", true, -30}, {"1e3", true, 1000},
        {"", false, 0},      {"abc", false, 0},    {"1,5", false, 0},     {"0x10", false, 0},
        {"1e400", false, 0}, {"nan", false, 0},    {"inf", false, 0},     {"12abc", false, 0},
    };
    for (const auto& c : cases) {
        double v = -1;
        EXPECT_EQ(ParseNumber(c.text, v), c.ok) << c.text;
        EXPECT_EQ(v, c.ok ? c.value : -1) << c.text;
        EXPECT_EQ(NumberOr(c.text, 7), c.ok ? c.value : 7) << c.text;
    }
}

TEST(Numbers, Formatting) {
    EXPECT_EQ(Fixed2(125), "125.00");
    EXPECT_EQ(Fixed2(0.0006), "0.00");
    EXPECT_EQ(Fixed2(-0.001), "0.00");
    EXPECT_EQ(Fixed2(-0.0), "0.00");
    EXPECT_EQ(Fixed2(-30), "-30.00");
    EXPECT_EQ(Fixed2(1e300).size(), 304u);
    EXPECT_EQ(ShortestDecimal(300), "300");
    EXPECT_EQ(ShortestDecimal(0.1), "0.1");
    EXPECT_EQ(ShortestDecimal(12.25), "12.25");
}

} // namespace
} // namespace vantor
