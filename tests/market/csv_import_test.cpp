// Reading CSV bar files into data-file text, the refusals, and the import into the data
// folders: nothing written on refusal, files of one code merged, and our own data files
// written back as CSV importing to the same bars.

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "market/csv_import.h"
#include "market/csv_reader.h"
#include "market/stock.h"
#include "test_files.h"

using namespace vantor;
using namespace vantor::test;
namespace fs = std::filesystem;

namespace {

struct Converted {
    bool ok = false;
    std::string text;  // data-file text on success
    std::string error; // the message on refusal
};

Converted Convert(const std::string& csv, bool skipBad = false) {
    CsvReadOptions options;
    options.bSkipBad = skipBad;
    TCsvReader reader(options);
    Converted c;
    c.ok = reader.Add(csv, "t.csv") && reader.Finish(c.text);
    c.error = reader.FErrorString;
    return c;
}

// Loads a data file as the practice does.
std::vector<Price> LoadBars(const std::string& path) {
    Tstock s;
    s.fileName = path;
    s.setLastrow(1 << 30);
    EXPECT_TRUE(s.loaddata()) << path;
    EXPECT_FALSE(s.serrmessage) << path;
    return s.Fp;
}

} // namespace

// ---- reading --------------------------------------------------------------------------

TEST(CsvReader, ConvertsEachHeaderStyleSeparatorAndDateTimeForm) {
    struct Case {
        const char* what;
        std::string csv;
        std::string lines;
    };
    const std::string day1 =
        "20240927,3550.0000,3561.0000,3500.0000,3512.0000,123456.0000,0.0000\n";
    const std::string min2 =
        "20240927,0931,3550.2000,3551.0000,3549.0000,3550.0000,210.0000,744555.0000\n"
        "20240927,0932,3550.0000,3552.4000,3550.0000,3552.0000,96.0000,340992.0000\n";
    const Case cases[] = {
        {"lower-case daily, dashes",
         "date,open,high,low,close,volume\n"
         "2024-09-27,3550,3561,3500,3512,123456\n",
         day1},
        {"pipes, eight digits, no volume", "Date|Open|High|Low|Close\n20240927|1|2|0.5|1.5\n",
         "20240927,1.0000,2.0000,0.5000,1.5000,0.0000,0.0000\n"},
        {"title case, slashes, separate time",
         "Date,Time,Open,High,Low,Close,Volume,Amount\n"
         "2024/09/27,09:31,3550.2,3551,3549,3550,210,744555\n"
         "2024/09/27,09:32,3550,3552.4,3550,3552,96,340992\n",
         min2},
        {"combined date-time, semicolons, decimal commas",
         "DateTime;Open;High;Low;Close;Vol;Turnover\n"
         "2024-09-27 09:31:00;3550,2;3551;3549;3550;210;744555\n"
         "2024-09-27 09:32:00;3550;3552,4;3550;3552;96;340992\n",
         min2},
        {"Chinese, BOM, CRLF, tabs, hhmm",
         "\xef\xbb\xbf日期\t时间\t开盘\t最高\t最低\t收盘\t成交量\t成交额\r\n"
         "20240927\t0931\t3550.2\t3551\t3549\t3550\t210\t744555\r\n"
         "20240927\t0932\t3550\t3552.4\t3550\t3552\t96\t340992\r\n",
         min2},
        {"Chinese with units, other order, quotes, extra column",
         "\"交易日期\",\"收盘价\",\"开盘价\",\"最高价\",\"最低价\",\"成交量(手)\",\"持仓量\"\n"
         "\"2024-09-27\",\"3512\",\"3550\",\"3561\",\"3500\",\"123456\",\"88\"\n",
         day1},
        {"time forms 931, 9:32 and 093300",
         "date,time,open,high,low,close\n"
         "2024-9-27,931,1,1,1,1\n2024-9-27,9:32,1,1,1,1\n"
         "2024-9-27,093300,1,1,1,1\n",
         "20240927,0931,1.0000,1.0000,1.0000,1.0000,0.0000,0.0000\n"
         "20240927,0932,1.0000,1.0000,1.0000,1.0000,0.0000,0.0000\n"
         "20240927,0933,1.0000,1.0000,1.0000,1.0000,0.0000,0.0000\n"},
        {"daily bars stamped at midnight",
         "datetime,open,high,low,close\n"
         "2024-09-26T00:00:00,1,2,1,2\n"
         "2024-09-27 00:00:00,2,3,2,3\n",
         "20240926,1.0000,2.0000,1.0000,2.0000,0.0000,0.0000\n"
         "20240927,2.0000,3.0000,2.0000,3.0000,0.0000,0.0000\n"},
        {"title lines before the header",
         "IF1509 沪深300 日线\n\n  DATE , OPEN , HIGH , LOW , CLOSE \n"
         "2024.09.27 , 1 , 2 , 1 , 2\n",
         "20240927,1.0000,2.0000,1.0000,2.0000,0.0000,0.0000\n"},
        {"numbers kept exactly",
         "date,open,high,low,close,volume,amount\n"
         "20240927,+007.5,1.234567,.5,-0,1e3,\n",
         "20240927,7.5000,1.234567,0.5000,0.0000,1000.0000,0.0000\n"},
        {"negative, long and tiny numbers",
         "date,open,high,low,close,volume,amount\n"
         "20240927,-1.25,123456789012345,-0.00,1e-320,-3,0.5\n",
         "20240927,-1.2500,123456789012345.0000,0.0000,0." + std::string(319, '0') +
             "1,-3.0000,0.5000\n"},
        {"in order, with an exact duplicate next to its bar",
         "date,time,open,high,low,close\n"
         "20240927,0931,1,1,1,1\n"
         "20240927,0931,1,1,1,1\n"
         "20240927,0932,2,2,2,2\n",
         "20240927,0931,1.0000,1.0000,1.0000,1.0000,0.0000,0.0000\n"
         "20240927,0932,2.0000,2.0000,2.0000,2.0000,0.0000,0.0000\n"},
        {"out of order, with an exact duplicate",
         "date,time,open,high,low,close\n"
         "20240927,0932,2,2,2,2\n"
         "20240927,0931,1,1,1,1\n"
         "20240927,0932,2.00,2,2,2\n",
         "20240927,0931,1.0000,1.0000,1.0000,1.0000,0.0000,0.0000\n"
         "20240927,0932,2.0000,2.0000,2.0000,2.0000,0.0000,0.0000\n"},
    };
    for (const auto& c : cases) {
        Converted r = Convert(c.csv);
        EXPECT_TRUE(r.ok) << c.what << ": " << r.error;
        EXPECT_EQ(r.text, c.lines) << c.what;
    }
}

TEST(CsvReader, RefusesWithAMessageNamingFileAndLine) {
    struct Case {
        std::string csv;
        std::string message;
    };
    const std::string head = "date,open,high,low,close,volume\n";
    const std::string minuteHead = "date,time,open,high,low,close\n";
    const Case cases[] = {
        {"20240927,1,2,1,1,1\n", "t.csv：找不到可识别的表头，需要日期、开盘、最高、最低、收盘列。"},
        {"", "t.csv：找不到可识别的表头，需要日期、开盘、最高、最低、收盘列。"},
        {"Date;Open;Close\n20240927;1;1\n", "t.csv 第1行：表头缺少列：最高、最低"},
        {head + "20240926,1,2,1,1,1\n20240927,1,1,2,1,1\n", "t.csv 第3行：最高价低于最低价"},
        {head + "20240927,1,abc,1,1,1\n", "t.csv 第2行：最高不是数字：abc"},
        {head + "20240927,1,2,1,,1\n", "t.csv 第2行：收盘不是数字："},
        {head + "20240927,1,2,1,1,\"1,000\"\n", "t.csv 第2行：成交量不是数字：1,000"},
        {head + "2024-13-01,1,2,1,1,1\n", "t.csv 第2行：日期无法识别：2024-13-01"},
        {head + "2023-02-29,1,2,1,1,1\n", "t.csv 第2行：日期无法识别：2023-02-29"},
        {head + "27.09.2024,1,2,1,1,1\n", "t.csv 第2行：日期无法识别：27.09.2024"},
        {head + "20240927,1,2,1\n", "t.csv 第2行：列数不足，应有6列"},
        {minuteHead + "20240927,25:00,1,1,1,1\n", "t.csv 第2行：时间无法识别：25:00"},
        {minuteHead + "20240927,09:31:30,1,1,1,1\n", "t.csv 第2行：时间无法识别：09:31:30"},
        {minuteHead + "20240927,0930,1,1,1,1\n20240927,0935,1,1,1,1\n20240927,0940,1,1,1,1\n",
         "t.csv：不是1分钟数据，相邻K线相隔5分钟；分钟数据只能导入1分钟周期。"},
        {minuteHead + "20240927,0931,1,1,1,1\n20240927,0931,2,2,2,2\n",
         "t.csv 第3行：与t.csv 第2行的K线时间相同但数据不同"},
        {minuteHead + "20240927,0931,1,1,1,1\n20240927,0932,1,1,1,1\n20240927,,1,1,1,1\n",
         "t.csv 第4行：分钟数据缺少时间"},
        {head, "t.csv：没有可导入的K线数据。"},
        {"\xff\xfe"
         "d\0a\0",
         "t.csv：文件是UTF-16编码，请另存为UTF-8编码后再导入。"},
    };
    for (const auto& c : cases) {
        Converted r = Convert(c.csv);
        EXPECT_FALSE(r.ok) << c.csv;
        EXPECT_EQ(r.error, c.message) << c.csv;
    }
}

TEST(CsvReader, SkipBadConvertsTheGoodLinesAndCountsTheOthers) {
    const std::string csv = "date,time,open,high,low,close\n"
                            "20240927,0931,1,1,1,1\n"
                            "20240927,0932,1,0,2,1\n"   // high below low
                            "2024-02-30,0932,1,1,1,1\n" // no such date
                            "20240927,0932,2,2,2,2\n"
                            "20240927,0931,9,9,9,9\n"; // same time, other numbers
    TCsvReader reader(CsvReadOptions{true, {}, nullptr});
    std::string text;
    ASSERT_TRUE(reader.Add(csv, "t.csv"));
    ASSERT_TRUE(reader.Finish(text)) << reader.FErrorString;
    EXPECT_EQ(text, "20240927,0931,1.0000,1.0000,1.0000,1.0000,0.0000,0.0000\n"
                    "20240927,0932,2.0000,2.0000,2.0000,2.0000,0.0000,0.0000\n");
    EXPECT_EQ(reader.SkippedCount(), 3u);
    EXPECT_EQ(reader.SkippedLines(),
              (std::vector<std::string>{"t.csv 第3行：最高价低于最低价",
                                        "t.csv 第4行：日期无法识别：2024-02-30",
                                        "t.csv 第6行：与t.csv 第2行的K线时间相同但数据不同"}));
    EXPECT_TRUE(reader.Intraday());
}

TEST(CsvReader, DateAndTimeFields) {
    struct Case {
        const char* field;
        int date, time;
    };
    const Case cases[] = {
        {"2024-09-27", 20240927, -1},
        {"2024/9/7", 20240907, -1},
        {"20240229", 20240229, -1},
        {"20230229", 0, -1},
        {"2024-09-27 9:31", 20240927, 931},
        {"20240927 093100", 20240927, 931},
        {"2024-09-27T23:59:00", 20240927, 2359},
        {"2024-09-27 24:00", 0, -1},
        {"2024-09/27", 0, -1},
        {"2024-09-27x", 0, -1},
        {"202409", 0, -1},
        {"", 0, -1},
    };
    for (const auto& c : cases) {
        int time = 0;
        EXPECT_EQ(CsvDateOf(c.field, time), c.date) << c.field;
        if (c.date) {
            EXPECT_EQ(time, c.time) << c.field;
        }
    }
    EXPECT_EQ(CsvTimeOf(" "), -1);
    EXPECT_EQ(CsvTimeOf("0960"), -2);
    EXPECT_EQ(CsvTimeOf("9:3"), -2);
    EXPECT_EQ(CsvTimeOf("12345"), -2);
}

// ---- importing files ------------------------------------------------------------------

TEST(CsvImport, WritesDailyAndMinuteFilesUnderTheirCodes) {
    ScratchDir dir;
    WriteFile(dir / "in/if1509.csv", "date,time,open,high,low,close\n"
                                     "20240927,0931,1,1,1,1\n20240927,0932,1,1,1,1\n");
    WriteFile(dir / "in/rb.day.csv", "date,open,high,low,close\n20240927,1,1,1,1\n");
    WriteFile(dir / "prog/DayData/RB.DAY.TXT", "old\n"); // replaced whatever its letter case
    CsvImportOptions options;
    options.files = {(dir / "in/if1509.csv").string(), (dir / "in/rb.day.csv").string()};
    options.sProgramDir = (dir / "prog").string();
    std::vector<CsvImportResult> results;
    std::string error;
    ASSERT_TRUE(RunCsvImport(options, {}, nullptr, results, error));
    ASSERT_EQ(results.size(), 2u);
    EXPECT_TRUE(results[0].bOk) << results[0].sMessage;
    EXPECT_EQ(results[0].sTarget, (dir / "prog/mindata/IF1509.txt").generic_string());
    EXPECT_EQ(LoadBars(results[0].sTarget).size(), 2u);
    EXPECT_TRUE(results[1].bOk) << results[1].sMessage;
    EXPECT_EQ(results[1].sTarget, (dir / "prog/DayData/RB.DAY.TXT").generic_string());
    EXPECT_EQ(ReadFile(results[1].sTarget), "20240927,1.0000,1.0000,1.0000,1.0000,0.0000,0.0000\n");
    EXPECT_EQ(CsvResultText(results[0]), "已导入 " + results[0].sTarget + "：2 根1分钟K线。");
}

TEST(CsvImport, FilesOfOneCodeAreMergedAndOverlapsDropped) {
    ScratchDir dir;
    WriteFile(dir / "a.csv", "date,open,high,low,close\n20240926,1,1,1,1\n20240927,2,2,2,2\n");
    WriteFile(dir / "b.csv", "日期,开盘,最高,最低,收盘\n20240927,2,2,2,2\n20240925,3,3,3,3\n");
    CsvImportResult r;
    std::atomic<std::size_t> lastDone{0}, total{0};
    auto progress = [&](const CsvImportProgress& p) {
        EXPECT_GE(p.nBytesDone, lastDone.load());
        lastDone = p.nBytesDone;
        total = p.nBytesTotal;
    };
    ASSERT_TRUE(ImportCsvFiles({(dir / "a.csv").string(), (dir / "b.csv").string()}, "X", dir.str(),
                               false, progress, nullptr, r))
        << r.sMessage;
    EXPECT_EQ(r.nBars, 3u);
    EXPECT_EQ(r.nDuplicates, 1u);
    auto bars = LoadBars(r.sTarget);
    ASSERT_EQ(bars.size(), 3u);
    EXPECT_EQ(bars[0].Srq.str(), "20240925");
    EXPECT_EQ(bars[2].Srq.str(), "20240927");
    EXPECT_GT(total.load(), 0u);
    EXPECT_EQ(lastDone.load(), total.load());
}

// The import reads a file in blocks: a line longer than a block and a last line without its
// line end come through whole.
TEST(CsvImport, ReadsLinesAcrossTheBlocksOfTheFile) {
    ScratchDir dir;
    WriteFile(dir / "x.csv", std::string(600000, '#') +
                                 "\ndate,open,high,low,close\n20240926,1,1,1,1\n20240927,2,3,1,2");
    CsvImportResult r;
    ASSERT_TRUE(ImportCsvFiles({(dir / "x.csv").string()}, "X", dir.str(), false, {}, nullptr, r))
        << r.sMessage;
    EXPECT_EQ(ReadFile(r.sTarget), "20240926,1.0000,1.0000,1.0000,1.0000,0.0000,0.0000\n"
                                   "20240927,2.0000,3.0000,1.0000,2.0000,0.0000,0.0000\n");
}

TEST(CsvImport, ARefusalWritesNothingAndKeepsThePreviousFile) {
    ScratchDir dir;
    WriteFile(dir / "daydata/IF.txt", "previous\n");
    WriteFile(dir / "good.csv", "date,open,high,low,close\n20240927,1,1,1,1\n");
    WriteFile(dir / "bad.csv", "date,open,high,low,close\n20240927,1,1,2,1\n");
    struct Case {
        std::vector<std::string> files;
        std::string code;
        const std::atomic<bool>* cancel;
        std::string message;
    };
    std::atomic<bool> cancelled{true};
    const std::string good = (dir / "good.csv").string(), bad = (dir / "bad.csv").string();
    const Case cases[] = {
        {{good, bad}, "IF", nullptr, bad + " 第2行：最高价低于最低价"},
        {{good, (dir / "missing.csv").string()},
         "IF",
         nullptr,
         "无法读取文件：" + (dir / "missing.csv").string()},
        {{good}, "IF", &cancelled, "导入已取消。"},
        {{good}, "../IF", nullptr, "品种代码不合法：../IF"},
    };
    for (const auto& c : cases) {
        CsvImportResult r;
        EXPECT_FALSE(ImportCsvFiles(c.files, c.code, dir.str(), false, {}, c.cancel, r));
        EXPECT_EQ(r.sMessage, c.message);
        EXPECT_TRUE(r.sTarget.empty());
        EXPECT_EQ(ReadFile(dir / "daydata/IF.txt"), "previous\n");
        EXPECT_EQ(FolderNames(dir / "daydata"), std::set<std::string>{"IF.txt"});
        EXPECT_FALSE(fs::exists(dir / "mindata"));
    }
}

// Our own data files written back as CSV in different styles import to the same bars.
TEST(CsvImport, SampleDataFilesRoundTripThroughCsv) {
    struct Case {
        const char* file;
        const char* header;
        char sep;
        bool combined; // date and time in one field
        bool skipBad;
    };
    // The index file holds one bar whose high is below its low (1992-06-16); it is the line
    // the import leaves out with skipBad.
    const Case cases[] = {
        {"daydata/SH000001.txt", "日期,开盘,最高,最低,收盘,成交量,成交额", ',', false, true},
        {"daydata/IFL8.txt", "Date;Open;High;Low;Close;Volume;Amount", ';', false, false},
        {"mindata/IFL8.txt", "datetime\topen\thigh\tlow\tclose\tvol\tamount", '\t', true, false},
        {"mindata/ICL8.txt", "Date,Time,Open,High,Low,Close,Volume,Amount", ',', false, false},
    };
    ScratchDir dir;
    for (const auto& c : cases) {
        std::vector<Price> original = LoadBars(std::string(VANTOR_SAMPLE_DIR "/") + c.file);
        ASSERT_FALSE(original.empty()) << c.file;
        std::string csv = std::string(c.header) + "\r\n";
        char line[256];
        for (const Price& b : original) {
            std::string d = b.Srq.str(), t = b.Ssj.str();
            std::string when = d.substr(0, 4) + "-" + d.substr(4, 2) + "-" + d.substr(6, 2);
            if (!t.empty())
                when += (c.combined ? " " : std::string(1, c.sep)) + t.substr(0, 2) + ":" +
                        t.substr(2, 2) + (c.combined ? ":00" : "");
            std::snprintf(line, sizeof line, "%s%c%.4f%c%.4f%c%.4f%c%.4f%c%.4f%c%.4f\r\n",
                          when.c_str(), c.sep, b.Spk, c.sep, b.Spg, c.sep, b.Spd, c.sep, b.Sps,
                          c.sep, b.Scjl, c.sep, b.Scje);
            csv += line;
        }
        WriteFile(dir / "x.csv", csv);
        CsvImportResult r;
        ASSERT_TRUE(
            ImportCsvFiles({(dir / "x.csv").string()}, "X", dir.str(), c.skipBad, {}, nullptr, r))
            << c.file << ": " << r.sMessage;
        std::erase_if(original, [](const Price& b) { return b.Spg < b.Spd; });
        EXPECT_EQ(r.nSkipped, c.skipBad ? 1u : 0u) << c.file;
        std::vector<Price> again = LoadBars(r.sTarget);
        ASSERT_EQ(again.size(), original.size()) << c.file;
        for (std::size_t i = 0; i < original.size(); ++i) {
            const Price &a = original[i], &b = again[i];
            ASSERT_TRUE(a.Srq == b.Srq && a.Ssj == b.Ssj && a.Spk == b.Spk && a.Spg == b.Spg &&
                        a.Spd == b.Spd && a.Sps == b.Sps && a.Scjl == b.Scjl && a.Scje == b.Scje)
                << c.file << " bar " << i;
        }
    }
}
