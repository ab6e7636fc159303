// vantor-cli import-csv: the data file it writes, a refusal that writes nothing, --skip-bad
// and --code.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "cli_support.h"

namespace vantor {
namespace {

namespace fs = std::filesystem;

TEST(CliImportCsv, ConvertsRefusesAndSkipsBadLines) {
    auto dir = fs::temp_directory_path() / ("vantor_cli_import_csv_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::ofstream(dir / "if1509.csv") << "Date,Time,Open,High,Low,Close,Volume\n"
                                         "2024-09-27,09:31,1,2,1,2,10\n"
                                         "2024-09-27,09:32,2,3,1,2,10\n"
                                         "2024-09-27,09:33,2,1,3,2,10\n";
    const std::string file = "'" + (dir / "if1509.csv").string() + "'";
    const std::string into = " --into '" + (dir / "prog").string() + "'";

    auto refused = test::RunCli("import-csv " + file + into);
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("if1509.csv 第4行：最高价低于最低价"), std::string::npos)
        << refused.err;
    EXPECT_FALSE(fs::exists(dir / "prog" / "mindata"));

    auto skipped = test::RunCli("import-csv " + file + into + " --skip-bad");
    ASSERT_EQ(skipped.exitCode, 0) << skipped.err;
    EXPECT_NE(skipped.out.find("2 根1分钟K线，跳过错误数据 1 行"), std::string::npos)
        << skipped.out;
    EXPECT_TRUE(fs::exists(dir / "prog" / "mindata" / "IF1509.txt"));

    auto coded = test::RunCli("import-csv " + file + into + " --skip-bad --code IF");
    ASSERT_EQ(coded.exitCode, 0) << coded.err;
    EXPECT_TRUE(fs::exists(dir / "prog" / "mindata" / "IF.txt"));

    for (const char* args : {"import-csv", "import-csv a.csv --code ../x", "import-csv --into"}) {
        auto r = test::RunCli(args);
        EXPECT_EQ(r.exitCode, 2) << args;
        EXPECT_FALSE(r.err.empty()) << args;
    }
    fs::remove_all(dir);
}

} // namespace
} // namespace vantor
