// Converting TDX day and minute files into data-file lines, and the import run over an
// installation folder.

#include <algorithm>
#include <atomic>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <set>
#include <stdlib.h>
#include <string>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include "market/data_files.h"
#include "market/price.h"
#include "market/tdx_import.h"
#include "test_files.h"

using namespace vantor;
using namespace vantor::test;
namespace fs = std::filesystem;

namespace {

const std::string kTdxRoot = VANTOR_TEST_DATA "/tdx";

// One 32-byte record built field by field, little-endian.
struct Record {
    unsigned char b[kTdxRecordSize] = {};
    Record& u16(int off, std::uint16_t v) {
        b[off] = v & 0xff;
        b[off + 1] = v >> 8;
        return *this;
    }
    Record& u32(int off, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) b[off + i] = (v >> (8 * i)) & 0xff;
        return *this;
    }
    Record& i32(int off, std::int32_t v) { return u32(off, static_cast<std::uint32_t>(v)); }
    Record& f32(int off, float v) { return u32(off, std::bit_cast<std::uint32_t>(v)); }
};

std::string Lines(TdxLayout layout, const std::vector<Record>& records) {
    std::string bytes;
    for (const auto& r : records) bytes.append(reinterpret_cast<const char*>(r.b), sizeof r.b);
    std::string out;
    AppendTdxLines(layout, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), out);
    return out;
}

Record MinuteRecord(std::uint16_t date, std::uint16_t minutes, float close) {
    return Record{}
        .u16(0, date)
        .u16(2, minutes)
        .f32(4, close)
        .f32(8, close)
        .f32(12, close)
        .f32(16, close);
}

void WriteRecords(const fs::path& path, const std::vector<Record>& records) {
    std::string bytes;
    for (const auto& r : records) bytes.append(reinterpret_cast<const char*>(r.b), sizeof r.b);
    WriteFile(path, bytes);
}

std::vector<std::string> FileLines(const fs::path& path) {
    std::vector<std::string> lines;
    EXPECT_TRUE(ReadLines(path.string(), lines)) << path;
    return lines;
}

} // namespace

// ---- records --------------------------------------------------------------------------

TEST(TdxRecords, DayRecordBecomesASevenFieldLine) {
    Record r = Record{}
                   .i32(0, 20150310)
                   .f32(4, 3550.2f)
                   .f32(8, 3561)
                   .f32(12, 3500)
                   .f32(16, 3512)
                   .f32(20, 123456)
                   .i32(24, 7890)
                   .u32(28, 0xdeadbeef);
    EXPECT_EQ(Lines(TdxLayout::Day, {r}),
              "20150310,3550.2000,3561.0000,3500.0000,3512.0000,123456.0000,7890.0000\n");
}

TEST(TdxRecords, StockDayRecordWritesHundredthsThenVolumeThenAmount) {
    Record r = Record{}
                   .i32(0, 20000214)
                   .i32(4, 159144)
                   .i32(8, 167413)
                   .i32(12, -5)
                   .i32(16, 167394)
                   .f32(20, 26587693056.0f)
                   .i32(24, 43645603);
    EXPECT_EQ(Lines(TdxLayout::StockDay, {r}),
              "20000214,1591.4400,1674.1300,-0.0500,1673.9400,43645603.0000,26587693056.0000\n");
}

TEST(TdxRecords, MinuteDateCodeAndMinutes) {
    struct Case {
        std::uint16_t date, minutes;
        const char *day, *time;
    } cases[] = {
        {22838, 571, "20150310", "0931"}, // 11 * 2048 + 310
        {11 * 2048 + 1231, 0, "20151231", "0000"},
        {35239, 900, "20210423", "1500"},
        {2048 + 101, 1439, "20050101", "2359"},
        {65535, 65535, "20352047", "109215"}, // nonsense codes still give digits, no crash
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TdxDateText(c.date), c.day) << c.date;
        EXPECT_EQ(TdxTimeText(c.minutes), c.time) << c.minutes;
    }
    Record r = MinuteRecord(22838, 571, 3550).i32(20, 210).i32(24, 0);
    EXPECT_EQ(Lines(TdxLayout::Minute, {r}),
              "20150310,0931,3550.0000,3550.0000,3550.0000,3550.0000,210.0000,0.0000\n");
}

// The text must be what "%.4f" prints, rounding included: a table of awkward values, then
// a sweep over pseudo-random bit patterns of the float and hundredths fields.
TEST(TdxRecords, NumbersAreWrittenAsPrintfWithFourDecimals) {
    auto check = [](const Record& r, TdxLayout layout, double value) {
        std::string line = Lines(layout, {r});
        char expected[128];
        std::snprintf(expected, sizeof expected, "1,%.4f,", value);
        EXPECT_EQ(line.rfind(expected, 0), 0u) << line << " expected " << expected;
    };
    const float inf = std::numeric_limits<float>::infinity();
    const float values[] = {
        0.0f,        -0.0f,         36.71f,   1.03125f,
        1.09375f,    -2.00005f,     0.00005f, 123.45675f,
        -1e-7f,      3.4028235e38f, -9.1e17f, 9.3e14f,
        16777217.0f, inf,           -inf,     std::numeric_limits<float>::quiet_NaN()};
    for (float v : values)
        check(Record{}.i32(0, 1).f32(4, v), TdxLayout::Day, static_cast<double>(v));
    for (std::int32_t v : {0, -5, 159144, -2147483647 - 1, 2147483647})
        check(Record{}.i32(0, 1).i32(4, v), TdxLayout::StockDay, v / 100.0);

    std::uint32_t seed = 7;
    for (int i = 0; i < 20000; ++i) {
        seed = seed * 1664525u + 1013904223u;
        // Keep most values in the range of prices: exponent bits spread over 2^-16 .. 2^40.
        std::uint32_t bits = (seed & 0x807fffffu) | ((100u + (seed >> 8) % 56u) << 23);
        if (i % 10 == 0) bits = seed; // anything at all
        check(Record{}.i32(0, 1).u32(4, bits), TdxLayout::Day,
              static_cast<double>(std::bit_cast<float>(bits)));
        check(Record{}.i32(0, 1).u32(4, seed), TdxLayout::StockDay,
              static_cast<std::int32_t>(seed) / 100.0);
    }
}

// The slot at offset 20 holds a float by definition; real extended-market day files keep an
// integer there, which the float reading would turn into a tiny denormal written as 0.0000.
TEST(TdxRecords, CountSlotReadsFloatsAndIntegersKeptThere) {
    struct Case {
        std::uint32_t bits;
        double value;
    } cases[] = {
        {std::bit_cast<std::uint32_t>(123456.0f), 123456},
        {std::bit_cast<std::uint32_t>(256647.0f), 256647},
        {std::bit_cast<std::uint32_t>(-3.0f), -3},
        {266, 266},
        {0, 0},
        {0x00989680, 10000000},   // an integer count above the denormal range
        {0xffffffff, -1},         // NaN as a float
        {0x3f000000, 1056964608}, // 0.5 as a float: no whole count, so an integer
    };
    for (const auto& c : cases) EXPECT_EQ(TdxCountSlot(c.bits), c.value) << c.bits;
}

TEST(TdxRecords, PartialTrailingRecordIsIgnored) {
    std::string bytes(100, '\0'); // three records and 4 bytes
    std::string out;
    EXPECT_EQ(AppendTdxLines(TdxLayout::Minute,
                             reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                             out),
              3u);
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 3);

    ScratchDir dir;
    WriteFile(dir / "47#IF1509.lc1", bytes);
    std::size_t lines = 0;
    std::string error;
    ASSERT_TRUE(ConvertTdxFile((dir / "47#IF1509.lc1").string(), TdxLayout::Minute,
                               (dir / "IF1509.txt").string(), lines, error));
    EXPECT_EQ(lines, 3u);
    EXPECT_EQ(FileLines(dir / "IF1509.txt").size(), 3u);
}

// ---- names and filter -----------------------------------------------------------------

TEST(TdxNames, CodeOfFileName) {
    struct Case {
        const char *name, *code;
    } cases[] = {
        {"47#IF1509.day", "IF1509"},
        {"IF1509.day", "IF1509"},
        {"sh000001.day", "sh000001"},
        {"47# IF1509 .lc1", "IF1509"},
        {"1#2#3.day", "2"},
        {"#,IF1509..lc5", "IF1509"},
        {"a:b;c", "b"},
        {"IF1509", ""},
        {"#.day", ""},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(TdxCodeOfFileName(c.name), c.code) << c.name;
}

TEST(TdxNames, CodeFilter) {
    auto parts = SplitCodeFilter("IF, RB");
    EXPECT_EQ(parts, (std::vector<std::string>{"IF", "RB"}));
    EXPECT_EQ(SplitCodeFilter(" $if ,,$ RB,"), (std::vector<std::string>{"if", "RB"}));
    EXPECT_TRUE(SplitCodeFilter(" , ").empty());

    struct Case {
        const char *filter, *name;
        bool match;
    } cases[] = {
        {"IF, RB", "47#IF1509.lc1", true},  {"IF, RB", "28#RB1601.lc1", true},
        {"IF, RB", "29#RU1601.lc1", false}, {"$if", "47#IF1509.lc1", true},
        {"", "29#RU1601.lc1", true},        {" , ", "29#RU1601.lc1", true},
        {"lc1", "47#IF1509.lc1", false}, // the extension is not part of the name
        {"47#", "47#IF1509.lc1", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MatchesCodeFilter(c.name, SplitCodeFilter(c.filter)), c.match)
            << c.filter << " / " << c.name;
}

TEST(TdxNames, DataFileNamesAndTargetFolders) {
    EXPECT_TRUE(IsTdxDataFileName(TdxLayout::Day, "47#IF1509.day"));
    EXPECT_TRUE(IsTdxDataFileName(TdxLayout::StockDay, "SH000001.DAY"));
    EXPECT_FALSE(IsTdxDataFileName(TdxLayout::Day, "readme.txt"));
    EXPECT_TRUE(IsTdxDataFileName(TdxLayout::Minute, "47#IF1509.lc5"));
    EXPECT_FALSE(IsTdxDataFileName(TdxLayout::Minute, "47#IF1509.lc2"));
    EXPECT_STREQ(TdxTargetFolder(TdxLayout::Day, "47#IF1509.day"), "daydata");
    EXPECT_STREQ(TdxTargetFolder(TdxLayout::StockDay, "sh000001.day"), "daydata");
    EXPECT_STREQ(TdxTargetFolder(TdxLayout::Minute, "47#IF1509.lc1"), "mindata");
    EXPECT_STREQ(TdxTargetFolder(TdxLayout::Minute, "47#IF1509.LC5"), "min5data");
}

// ---- real files -----------------------------------------------------------------------

// The expected lines were decoded by hand from the records' bytes.
TEST(TdxFiles, RealFilesConvertToTheirDecodedValues) {
    struct Case {
        const char* file;
        TdxLayout layout;
        std::size_t count;
        std::size_t index;
        const char* line;
    } cases[] = {
        {"Vipdoc/ds/lday/4#CF7D0LAO.day", TdxLayout::Day, 3, 0,
         "20210601,206.0000,213.0000,200.0000,200.0000,266.0000,45.0000"},
        {"Vipdoc/ds/lday/4#CF7D0LAO.day", TdxLayout::Day, 3, 2,
         "20210603,151.0000,151.0000,151.0000,151.0000,284.0000,2.0000"},
        {"Vipdoc/ds/lday/4#CF7D0LLS.day", TdxLayout::Day, 3, 1,
         "20210602,216.0000,225.0000,207.0000,217.0000,216.0000,140.0000"},
        {"Vipdoc/sh/lday/sh000001.day", TdxLayout::StockDay, 5156, 0,
         "20000214,1591.4400,1674.1300,1587.8100,1673.9400,43645603.0000,26587693056.0000"},
        {"Vipdoc/sh/lday/sh000001.day", TdxLayout::StockDay, 5156, 5155,
         "20210514,3436.0900,3490.6400,3422.5700,3490.3800,336982309.0000,411116929024.0000"},
        {"Vipdoc/sh/minline/sh688001.lc1", TdxLayout::Minute, 2880, 0,
         "20210423,0931,36.7100,37.0200,36.7100,36.8000,256647.0000,7000.0000"},
        {"Vipdoc/sh/minline/sh688001.lc1", TdxLayout::Minute, 2880, 2879,
         "20210603,1500,36.6500,36.6500,36.6500,36.6500,167088.0000,4500.0000"},
        {"Vipdoc/sh/fzline/sh688001.lc5", TdxLayout::Minute, 144, 1,
         "20210601,0940,36.9600,37.3500,36.9600,37.3500,2026959.0000,54600.0000"},
    };
    ScratchDir dir;
    for (const auto& c : cases) {
        std::string target = (dir / "out.txt").string();
        std::size_t lines = 0;
        std::string error;
        ASSERT_TRUE(ConvertTdxFile(kTdxRoot + "/" + c.file, c.layout, target, lines, error))
            << error;
        auto text = FileLines(target);
        ASSERT_EQ(text.size(), c.count) << c.file;
        EXPECT_EQ(lines, c.count);
        EXPECT_EQ(text[c.index], c.line) << c.file;
        // The bar store reads the lines back as 7- or 8-field bars.
        Price bar;
        EXPECT_TRUE(ParseBarLine(text[c.index], bar));
        EXPECT_EQ(bar.Ssj.empty(), c.layout != TdxLayout::Minute);
    }
}

TEST(TdxFiles, FailedConversionKeepsThePreviousFile) {
    ScratchDir dir;
    WriteFile(dir / "IF1509.txt", "old\n");
    std::size_t lines = 7;
    std::string error;
    EXPECT_FALSE(ConvertTdxFile((dir / "missing.lc1").string(), TdxLayout::Minute,
                                (dir / "IF1509.txt").string(), lines, error));
    EXPECT_EQ(error, "无法读取文件：" + (dir / "missing.lc1").string());
    EXPECT_EQ(lines, 0u);
    EXPECT_EQ(ReadFile(dir / "IF1509.txt"), "old\n");

    // A target that cannot take the file (a folder of that name) fails and leaves no
    // temporary file behind.
    WriteRecords(dir / "src.lc1", {MinuteRecord(22838, 571, 1)});
    fs::create_directories(dir / "RB1601.txt" / "sub");
    EXPECT_FALSE(ConvertTdxFile((dir / "src.lc1").string(), TdxLayout::Minute,
                                (dir / "RB1601.txt").string(), lines, error));
    EXPECT_EQ(error, "无法写入文件：" + (dir / "RB1601.txt").string());
    EXPECT_EQ(FolderNames(dir.str()),
              (std::set<std::string>{"IF1509.txt", "RB1601.txt", "src.lc1"}));
}

// ---- the import run -------------------------------------------------------------------

TEST(TdxImportRun, DayImportConvertsBothLayoutsAndReplacesOldFiles) {
    ScratchDir program;
    // An earlier import's file, spelt in another case, is replaced rather than duplicated.
    WriteFile(program / "DayData" / "cf7d0lao.txt", "20200101,1,1,1,1,1,1\n");

    TdxImportOptions options;
    options.sTdxRoot = kTdxRoot;
    options.sProgramDir = program.str();
    options.kind = TdxImportKind::Day;
    std::vector<std::size_t> done;
    TdxImport import;
    ASSERT_TRUE(import.Start(options, [&](const TdxProgress& p) {
        EXPECT_EQ(p.nTotal, 3u);
        EXPECT_EQ(p.result->status, TdxFileStatus::Converted) << p.result->sMessage;
        done.push_back(p.nDone);
    })) << import.FErrorString;
    const auto& results = import.Wait();
    EXPECT_EQ(done, (std::vector<std::size_t>{1, 2, 3}));
    ASSERT_EQ(results.size(), 3u);
    EXPECT_EQ(fs::path(results[2].sSource).filename(), "sh000001.day");

    EXPECT_EQ(FolderNames(program / "DayData"),
              (std::set<std::string>{"cf7d0lao.txt", "CF7D0LLS.txt", "sh000001.txt"}));
    EXPECT_EQ(FileLines(program / "DayData" / "cf7d0lao.txt")[0],
              "20210601,206.0000,213.0000,200.0000,200.0000,266.0000,45.0000");
    EXPECT_EQ(FileLines(program / "DayData" / "sh000001.txt").size(), 5156u);

    auto summary = import.Summary();
    EXPECT_EQ(summary.nConverted, 3u);
    EXPECT_EQ(TdxSummaryText(summary), "数据导出完毕！已转换 3 个文件，跳过 0 个，失败 0 个。");
}

TEST(TdxImportRun, MinuteImportFiltersSplitsTargetsAndSerialisesSameCode) {
    ScratchDir tdx, program;
    fs::path minline = tdx / "VIPDOC" / "DS" / "MinLine"; // found without regard to case
    WriteRecords(minline / "47#IF1509.lc1", {MinuteRecord(22838, 571, 1)});
    WriteRecords(minline / "47#IF1509.lc5",
                 {MinuteRecord(22838, 575, 5), MinuteRecord(22838, 580, 5)});
    WriteRecords(minline / "28#RB1601.lc1", {MinuteRecord(22838, 571, 28)});
    WriteRecords(minline / "sub" / "30#RB1601.lc1", {MinuteRecord(22838, 571, 30)});
    WriteRecords(minline / "29#RU1601.lc1", {MinuteRecord(22838, 571, 29)});
    WriteRecords(minline / "IFL8", {MinuteRecord(22838, 571, 8)});
    WriteFile(minline / "notes.txt", "IF and RB");

    TdxImportOptions options;
    options.sTdxRoot = tdx.str();
    options.sProgramDir = program.str();
    options.kind = TdxImportKind::Minute;
    options.sFilter = "IF, RB";
    options.nThreads = 3;
    std::vector<TdxFileResult> results;
    std::string error;
    std::size_t reports = 0;
    ASSERT_TRUE(RunTdxImport(
        options, [&](const TdxProgress&) { ++reports; }, results, error));
    EXPECT_EQ(reports, 7u);

    std::map<std::string, TdxFileResult> byName;
    for (const auto& r : results) byName[fs::path(r.sSource).filename().string()] = r;
    EXPECT_EQ(byName["29#RU1601.lc1"].status, TdxFileStatus::Filtered);
    EXPECT_EQ(byName["IFL8"].status, TdxFileStatus::Skipped);
    EXPECT_EQ(byName["IFL8"].sMessage, "不是要导出的数据文件：" + byName["IFL8"].sSource);
    EXPECT_EQ(byName["notes.txt"].status, TdxFileStatus::Filtered);
    for (const char* name : {"47#IF1509.lc1", "47#IF1509.lc5", "28#RB1601.lc1", "30#RB1601.lc1"})
        EXPECT_EQ(byName[name].status, TdxFileStatus::Converted) << name;

    // The 5-minute file has its own folder and leaves the 1-minute file of its code alone.
    auto one = FileLines(program / "mindata" / "IF1509.txt");
    auto five = FileLines(program / "min5data" / "IF1509.txt");
    EXPECT_EQ(
        one, (std::vector<std::string>{"20150310,0931,1.0000,1.0000,1.0000,1.0000,0.0000,0.0000"}));
    EXPECT_EQ(five.size(), 2u);
    // Two files of code RB1601: converted one after the other, the later in list order wins.
    EXPECT_EQ(FileLines(program / "mindata" / "RB1601.txt")[0],
              "20150310,0931,30.0000,30.0000,30.0000,30.0000,0.0000,0.0000");
    EXPECT_EQ(FolderNames(program / "mindata"),
              (std::set<std::string>{"IF1509.txt", "RB1601.txt"}));

    auto summary = SummarizeTdxImport(results);
    EXPECT_EQ(summary.nConverted, 4u);
    EXPECT_EQ(summary.nSkipped, 3u);
    EXPECT_EQ(summary.nFailed, 0u);
}

TEST(TdxImportRun, FailuresAreReportedNotSwallowed) {
    ScratchDir tdx, program;
    fs::path lday = tdx / "Vipdoc" / "ds" / "lday";
    WriteRecords(lday / "47#IF1509.day", {Record{}.i32(0, 20150310)});
    WriteRecords(lday / "28#RB1601.day", {Record{}.i32(0, 20150310)});
    WriteRecords(lday / "#.day", {Record{}.i32(0, 20150310)});          // no code in the name
    fs::create_directories(program / "daydata" / "RB1601.txt" / "sub"); // cannot be replaced

    TdxImportOptions options;
    options.sTdxRoot = tdx.str();
    options.sProgramDir = program.str();
    TdxImport import;
    ASSERT_TRUE(import.Start(options));
    while (!import.WaitFor(std::chrono::milliseconds(5))) {
    }
    const auto& results = import.Wait();
    ASSERT_EQ(results.size(), 3u); // sorted: #.day, 28#RB1601.day, 47#IF1509.day
    EXPECT_EQ(results[0].status, TdxFileStatus::Skipped);
    EXPECT_EQ(results[0].sMessage, "文件名中没有品种代码：" + results[0].sSource);
    EXPECT_EQ(results[1].status, TdxFileStatus::Failed);
    EXPECT_EQ(results[1].sMessage, "无法写入文件：" + results[1].sTarget);
    EXPECT_EQ(results[2].status, TdxFileStatus::Converted);
    EXPECT_EQ(FolderNames(program / "daydata"),
              (std::set<std::string>{"IF1509.txt", "RB1601.txt"}));
    EXPECT_EQ(TdxSummaryText(import.Summary()),
              "数据导出未全部完成，有文件转换失败！已转换 1 个文件，跳过 1 个，失败 1 个。");
}

TEST(TdxImportRun, MissingInstallationFolderIsAnError) {
    ScratchDir program;
    TdxImportOptions options;
    options.sTdxRoot = (program / "nowhere").string();
    options.sProgramDir = program.str();
    options.kind = TdxImportKind::Minute;
    TdxImport import;
    EXPECT_FALSE(import.Start(options));
    EXPECT_EQ(import.FErrorString,
              "找不到数据文件夹：" + (program / "nowhere").string() + "/Vipdoc/ds/minline");
    EXPECT_TRUE(import.Wait().empty());
    EXPECT_FALSE(fs::exists(program / "mindata"));
}

TEST(TdxImportRun, EmptyInstallationFolderIsAnError) {
    ScratchDir tdx, program;
    fs::create_directories(tdx / "Vipdoc" / "ds" / "lday");
    TdxImportOptions options;
    options.sTdxRoot = tdx.str();
    options.sProgramDir = program.str();
    TdxImport import;
    EXPECT_FALSE(import.Start(options));
    EXPECT_EQ(import.FErrorString, "数据文件夹中没有文件：" + tdx.str() + "/Vipdoc/ds/lday");
}

TEST(TdxImportRun, CancelSkipsTheFilesNotStartedAndFinishesTheOneBeingWritten) {
    ScratchDir tdx, program;
    fs::path minline = tdx / "Vipdoc" / "ds" / "minline";
    std::vector<Record> bars;
    for (int m = 0; m < 500; ++m)
        bars.push_back(MinuteRecord(22838, static_cast<std::uint16_t>(540 + m), 1.0f + m));
    for (int i = 0; i < 20; ++i)
        WriteRecords(minline / ("47#C" + std::to_string(100 + i) + ".lc1"), bars);
    // Two files of one code form one job; both are skipped.
    WriteRecords(minline / "47#ZZ1.lc1", bars);
    WriteRecords(minline / "48#ZZ1.lc1", bars);

    std::atomic<bool> cancel{false};
    TdxImportOptions options;
    options.sTdxRoot = tdx.str();
    options.sProgramDir = program.str();
    options.kind = TdxImportKind::Minute;
    options.nThreads = 1;
    options.pCancel = &cancel;
    std::size_t reports = 0;
    std::vector<TdxFileResult> results;
    std::string error;
    // The third file converted asks to stop; the one worker then skips everything else.
    ASSERT_TRUE(RunTdxImport(
        options,
        [&](const TdxProgress& p) {
            ++reports;
            if (p.nDone == 3) cancel = true;
        },
        results, error))
        << error;
    EXPECT_EQ(reports, 22u); // every file is reported, cancelled ones too

    auto summary = SummarizeTdxImport(results);
    EXPECT_EQ(summary.nConverted, 3u);
    EXPECT_EQ(summary.nCancelled, 19u);
    for (const auto& r : results) {
        if (r.status == TdxFileStatus::Cancelled)
            EXPECT_EQ(r.sMessage, "已取消，未导出：" + r.sSource);
        else
            EXPECT_EQ(r.status, TdxFileStatus::Converted) << r.sSource;
    }
    // Only whole files are left, and no temporary ones.
    auto names = FolderNames(program / "mindata");
    EXPECT_EQ(names.size(), 3u);
    for (const auto& name : names) {
        EXPECT_EQ(FileLines(program / "mindata" / name).size(), 500u) << name;
        EXPECT_EQ(name.find(".part"), std::string::npos) << name;
    }
    EXPECT_EQ(TdxSummaryText(summary),
              "数据导出已取消！已转换 3 个文件，跳过 0 个，失败 0 个。未导出 19 个。");
    // A long run of cancelled files is counted in the report, not listed one by one.
    const std::string report = TdxReportText(results);
    EXPECT_EQ(report, TdxSummaryText(summary) + "\n……另有 19 个文件未列出。");
}

TEST(TdxImportRun, ReportNotesFiveMinuteFilesAndListsFailures) {
    ScratchDir tdx, program;
    fs::path minline = tdx / "Vipdoc" / "ds" / "minline";
    WriteRecords(minline / "47#IF1509.lc1", {MinuteRecord(22838, 571, 1)});
    WriteRecords(minline / "47#IF1509.lc5", {MinuteRecord(22838, 575, 5)});
    WriteRecords(minline / "28#RB1601.lc1", {MinuteRecord(22838, 571, 28)});
    fs::create_directories(program / "mindata" / "RB1601.txt" / "sub"); // cannot be replaced
    TdxImportOptions options;
    options.sTdxRoot = tdx.str();
    options.sProgramDir = program.str();
    options.kind = TdxImportKind::Minute;
    std::vector<TdxFileResult> results;
    std::string error;
    ASSERT_TRUE(RunTdxImport(options, {}, results, error)) << error;
    EXPECT_EQ(TdxReportText(results),
              "数据导出未全部完成，有文件转换失败！已转换 2 个文件，跳过 0 个，失败 1 个。\n"
              "其中 1 个5分钟文件（.lc5）导出到 min5data 文件夹，不替换同一品种的1分钟数据。\n"
              "无法写入文件：" +
                  (program / "mindata" / "RB1601.txt").string());
}
