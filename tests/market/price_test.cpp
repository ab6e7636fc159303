#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "market/data_files.h"
#include "market/price.h"
#include "temp_dir.h"

namespace vantor {
namespace {

struct ParseCase {
    const char* line;
    bool ok;
    const char* date;
    const char* time;
    double open, high, low, close, vol, amount;
};

TEST(ParseBarLine, FieldCountsAndForms) {
    const ParseCase cases[] = {
        {"20150310,3550,3561,3500,3512,123456,7890", true, "20150310", "", 3550, 3561, 3500, 3512,
         123456, 7890},
        {"20150310, 3550, 3561, 3500, 3512, 123456, 7890", true, "20150310", "", 3550, 3561, 3500,
         3512, 123456, 7890},
        {"20150310,0931,3550.0000,3551.0000,3549.0000,3550.0000,210.0000,0.0000", true, "20150310",
         "0931", 3550, 3551, 3549, 3550, 210, 0},
        // an empty field is dropped: eight fields remain
        {"20150310,,0931,1,2,3,4,5,6", true, "20150310", "0931", 1, 2, 3, 4, 5, 6},
        // the ninth field is ignored
        {"20150310,0931,1,2,3,4,5,6,99", true, "20150310", "0931", 1, 2, 3, 4, 5, 6},
        // a field that is not a number reads as 0
        {"20150310,abc,2,3,4,5,6", true, "20150310", "", 0, 2, 3, 4, 5, 6},
        // a quoted run keeps its commas and quotes, counting as one field
        {"'2015,03,10',1,2,3,4,5,6", true, "'2015,03,10'", "", 1, 2, 3, 4, 5, 6},
        // Windows line end
        {"20150310,1,2,3,4,5,6\r", true, "20150310", "", 1, 2, 3, 4, 5, 6},
        // signs, digits past fifteen, a trailing comma and a field with two points
        {"20150310,0931,-1.5,-0,3,4,12345678901234567,0.0001", true, "20150310", "0931", -1.5, 0, 3,
         4, 12345678901234567.0, 0.0001},
        {"20150310,1,2,3,4,5,6,", true, "20150310", "", 1, 2, 3, 4, 5, 6},
        {"20150310,1.2.3,2,3,4,5,6", true, "20150310", "", 0, 2, 3, 4, 5, 6},
        {"+20150310,1,2,3,4,5,-", true, "+20150310", "", 1, 2, 3, 4, 5, 0},
        {"20150310,1,2,3,4,5", false, "", "", 0, 0, 0, 0, 0, 0},
        {"", false, "", "", 0, 0, 0, 0, 0, 0},
        {"1,2,3,4,5,6,7,8,9,10", false, "", "", 0, 0, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        Price bar;
        bar.Spk = 77; // must be reset
        EXPECT_EQ(ParseBarLine(c.line, bar), c.ok) << c.line;
        EXPECT_EQ(bar.Srq.str(), c.date) << c.line;
        EXPECT_EQ(bar.Ssj.str(), c.time) << c.line;
        EXPECT_EQ(bar.Spk, c.open) << c.line;
        EXPECT_EQ(bar.Spg, c.high) << c.line;
        EXPECT_EQ(bar.Spd, c.low) << c.line;
        EXPECT_EQ(bar.Sps, c.close) << c.line;
        EXPECT_EQ(bar.Scjl, c.vol) << c.line;
        EXPECT_EQ(bar.Scje, c.amount) << c.line;
    }
}

TEST(ShortStr, CutsToSixteenCharacters) {
    ShortStr s("12345678901234567890");
    EXPECT_EQ(s.str(), "1234567890123456");
    EXPECT_EQ(BarTimeNumber(ShortStr("0930")), 930);
    EXPECT_EQ(BarTimeNumber(ShortStr("930")), 930);
    EXPECT_EQ(BarDateNumber(ShortStr("x")), 0);
    EXPECT_EQ(BarDateNumber(ShortStr("1e20")), 0); // out of range reads as 0, not overflow
}

class DataFolder : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir / "mindata" / "sub");
        std::filesystem::create_directories(dir / "daydata");
        Touch(dir / "mindata" / "IF300.txt");
        Touch(dir / "mindata" / "sub" / "RB.TXT");
        Touch(dir / "mindata" / "notes.csv");
        Touch(dir / "daydata" / "SH000001.txt");
    }
    static void Touch(const std::filesystem::path& p) { std::ofstream(p) << "x\n"; }
    test::TempDir tmp;
    std::filesystem::path dir = tmp.path();
};

TEST_F(DataFolder, InstrumentFileIgnoresCaseAndBlanks) {
    std::string minute = InstrumentFile(dir.string(), " IF300 ", 0);
    EXPECT_EQ(minute, (dir / "mindata" / "IF300.txt").generic_string());
    EXPECT_EQ(InstrumentFile(dir.string(), "sh000001", 1),
              (dir / "daydata" / "SH000001.txt").generic_string());
    // the path as spelled is kept when no file matches
    EXPECT_EQ(InstrumentFile(dir.string(), "IC", 1), (dir / "daydata" / "IC.TXT").generic_string());
}

TEST_F(DataFolder, ListsInstrumentsRecursively) {
    EXPECT_EQ(ListInstruments((dir / "mindata").string()),
              (std::vector<std::string>{"IF300", "RB"}));
    EXPECT_TRUE(ListInstruments((dir / "missing").string()).empty());
}

} // namespace
} // namespace vantor
