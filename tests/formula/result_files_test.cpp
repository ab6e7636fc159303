// Result files: the data file round trip and its refusals, and the text report, the table
// and the integer dump of a small window.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

#include "eval_support.h"
#include "temp_dir.h"

namespace vantor {
namespace {

using test::kInv;
using test::LoadBars;
using test::Values;

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

void WriteFile(const fs::path& p, const std::string& bytes) {
    std::ofstream f(p, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

class ResultFiles : public ::testing::Test {
protected:
    std::string Path(const char* name) const { return (dir / name).string(); }

    // Three bars with a date, a close and an open, and a program with a named output,
    // a Chinese name, a temporary and an invalid first bar.
    static void Window(TGS& gs) {
        LoadBars(gs, {10, 12.5, 11}, {10, 11, 11.25}, {}, {}, {20240102, 20240103, 20240104});
        gs.Prevclose = 9.75;
        ASSERT_TRUE(gs.SetProgText("M:MA(C,2);\r\n均价:(C+O)/2;", "")) << gs.FErrorString;
    }

    test::TempDir tmp;
    fs::path dir = tmp.path();
};

TEST_F(ResultFiles, DataFileRoundTrips) {
    TGS from;
    Window(from);
    const std::string file = Path("window.dat");
    ASSERT_TRUE(from.DataToFile(file));
    const std::string bytes = ReadFile(file);
    // The magic and the program text, UTF-16LE after its length.
    ASSERT_GT(bytes.size(), 13u);
    EXPECT_EQ(bytes.substr(0, 9), std::string("Q\0U\0I\0L\0L", 9));
    std::uint32_t textLen = 0;
    std::memcpy(&textLen, bytes.data() + 9, 4);
    EXPECT_EQ(textLen, from.GetProgText().size() - 4); // 均价 is 2 characters, 6 bytes

    TGS to;
    ASSERT_TRUE(to.DataFromFile(file)) << to.FErrorString;
    EXPECT_EQ(to.GetProgText(), from.GetProgText());
    EXPECT_EQ(to.Prevclose, 9.75);
    ASSERT_EQ(to.mainbian->size(), 3u);
    for (const char* name : {"date", "open", "close"})
        EXPECT_EQ(Values(to, name), Values(from, name)) << name;
    EXPECT_EQ((*to.mainbian)[0].name, "date"); // handed-in order is kept
    // The program ran over the loaded bars.
    EXPECT_EQ(Values(to, "m"), (std::vector<double>{kInv, 11.25, 11.75}));
    EXPECT_EQ(Values(to, "均价"), (std::vector<double>{10, 11.75, 11.125}));
}

TEST_F(ResultFiles, DataToFileNeedsRawSeries) {
    TGS empty;
    EXPECT_FALSE(empty.DataToFile(Path("none.dat")));
    EXPECT_FALSE(fs::exists(Path("none.dat")));
    TGS gs;
    Window(gs);
    EXPECT_FALSE(gs.DataToFile((dir / "missing" / "x.dat").string()));
}

TEST_F(ResultFiles, BadDataFilesChangeNothing) {
    TGS from;
    Window(from);
    const std::string file = Path("good.dat");
    ASSERT_TRUE(from.DataToFile(file));
    const std::string good = ReadFile(file);
    // Offsets of the layout for this window.
    const size_t textLen = from.GetProgText().size() - 4;
    const size_t countAt = 13 + 2 * textLen;
    const size_t firstNameLenAt = countAt + 4;
    const size_t firstLenAt = firstNameLenAt + 4 + 2 * 4; // "date"

    auto with = [&](size_t at, std::int32_t v) {
        std::string b = good;
        std::memcpy(b.data() + at, &v, 4);
        return b;
    };
    std::string lowerMagic = good;
    lowerMagic[0] = 'q'; // letters compare without regard to case: still accepted
    std::string badMagic = good;
    badMagic[2] = 'X';
    std::string badProgram = good;
    // '(' in place of the ';' closing "MA(C,2)" leaves the brackets unbalanced.
    const size_t semicolon = 13 + 2 * from.GetProgText().find(';');
    ASSERT_EQ(badProgram[semicolon], ';');
    badProgram[semicolon] = '(';

    const struct {
        const char* what;
        std::string bytes;
        bool accepted;
    } cases[] = {
        {"lower-case magic", lowerMagic, true},
        {"no Prevclose at the end", good.substr(0, good.size() - 8), true},
        {"empty file", "", false},
        {"other magic", badMagic, false},
        {"cut inside the text", good.substr(0, 20), false},
        {"cut inside a series", good.substr(0, good.size() - 20), false},
        {"text longer than the file", with(9, 0x7FFFFFFF), false},
        {"negative series count", with(countAt, -1), false},
        {"more series than the file holds", with(countAt, 1000000), false},
        {"name longer than the file", with(firstNameLenAt, 0x40000000), false},
        {"negative series length", with(firstLenAt, -3), false},
        {"series past the capacity", with(firstLenAt, 50000), false},
        {"program that does not compile", badProgram, false},
    };
    for (const auto& c : cases) {
        TGS to;
        LoadBars(to, {1, 2, 3, 4}, {}, {}, {}, {});
        to.Prevclose = 1.5;
        ASSERT_TRUE(to.SetProgText("Q:C+1;", ""));
        WriteFile(file, c.bytes);
        EXPECT_EQ(to.DataFromFile(file), c.accepted) << c.what;
        if (c.accepted) {
            EXPECT_EQ(Values(to, "close"), (std::vector<double>{10, 12.5, 11})) << c.what;
            continue;
        }
        EXPECT_FALSE(to.FErrorString.empty()) << c.what;
        EXPECT_EQ(Values(to, "close"), (std::vector<double>{1, 2, 3, 4})) << c.what;
        EXPECT_EQ(Values(to, "q"), (std::vector<double>{2, 3, 4, 5})) << c.what;
        EXPECT_EQ(to.Prevclose, 1.5) << c.what;
        EXPECT_EQ(to.GetProgText(), "Q:C+1;") << c.what;
    }
    TGS to;
    EXPECT_FALSE(to.DataFromFile(Path("absent.dat")));
}

TEST_F(ResultFiles, LoadingIntoABorrowingWindowReplacesTheOwnersBars) {
    TGS from;
    Window(from);
    const std::string file = Path("window.dat");
    ASSERT_TRUE(from.DataToFile(file));

    TGS owner;
    LoadBars(owner, {1, 2, 3, 4, 5}, {1, 1, 1, 1, 1});
    ASSERT_TRUE(owner.SetProgText("X:C*2;", ""));
    TGS borrower(&owner);
    ASSERT_TRUE(borrower.DataFromFile(file)) << borrower.FErrorString;
    EXPECT_EQ(owner.getdatalen(), 3);
    EXPECT_EQ(Values(owner, "close"), (std::vector<double>{10, 12.5, 11}));
    EXPECT_EQ(Values(borrower, "m"), (std::vector<double>{kInv, 11.25, 11.75}));
    ASSERT_TRUE(owner.Run(""));
    EXPECT_EQ(Values(owner, "x"), (std::vector<double>{20, 25, 22}));
}

// The report and the table of the three-bar window match the files under data/.
TEST_F(ResultFiles, ReportAndTableMatchTheirGoldenFiles) {
    TGS gs;
    Window(gs);
    const struct {
        const char* golden;
        std::function<bool(const std::string&)> save;
    } cases[] = {
        {"report.txt", [&](const std::string& f) { return gs.SaveToFile(f); }},
        {"table.csv", [&](const std::string& f) { return gs.SaveToExcel(f, false); }},
        {"table_all.csv", [&](const std::string& f) { return gs.SaveToExcel(f, true); }},
    };
    for (const auto& c : cases) {
        const std::string out = Path(c.golden);
        ASSERT_TRUE(c.save(out)) << c.golden;
        EXPECT_EQ(ReadFile(out), ReadFile(fs::path(VANTOR_TEST_DATA) / "results" / c.golden))
            << c.golden;
    }
    const std::string unwritable = (dir / "missing" / "x").string();
    EXPECT_FALSE(gs.SaveToFile(unwritable));
    EXPECT_FALSE(gs.SaveToExcel(unwritable, true));
    EXPECT_FALSE(gs.SavetoTDX(unwritable));
}

TEST_F(ResultFiles, IntegerDumpTruncatesAndClamps) {
    TGS gs;
    LoadBars(gs, {10.5, -0.015, 3e9, -3e9, 1e300}, {}, {}, {}, {1, 2, 3, 4, 5});
    const std::string file = Path("dump.bin");
    ASSERT_TRUE(gs.SavetoTDX(file));
    const std::string bytes = ReadFile(file);
    ASSERT_EQ(bytes.size(), 5u * 2 * 4); // two series per bar, no header
    std::vector<std::int32_t> v(10);
    std::memcpy(v.data(), bytes.data(), bytes.size());
    const std::vector<std::int32_t> want = {100, 1050, // date 1, close 10.5
                                            200, -1,   // -0.015 truncates toward zero
                                            300, 2147483647, 400, -2147483647 - 1,
                                            500, 2147483647}; // clamped
    EXPECT_EQ(v, want);
}

} // namespace
} // namespace vantor
