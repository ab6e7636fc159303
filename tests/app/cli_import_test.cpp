// vantor-cli import on the real binary fixtures: the text files it writes load into a store.

#include <gtest/gtest.h>

#include <filesystem>

#include "cli_support.h"
#include "market/stock.h"
#include "temp_dir.h"

namespace vantor {
namespace {

TEST(CliImport, ConvertsTheDayFixturesIntoLoadableFiles) {
    test::TempDir dir;
    std::filesystem::path into = dir.file("into");
    auto r = test::RunCli(std::string("import '") + VANTOR_TDX_FIXTURES + "' --day --into '" +
                          into.string() + "'");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("数据导出完毕！"), std::string::npos);

    Tstock s;
    s.fileName = (into / "daydata" / "sh000001.txt").string();
    s.setLastrow(1 << 30);
    ASSERT_TRUE(s.loaddata());
    EXPECT_EQ(s.fcount, 5156);
    EXPECT_FALSE(s.serrmessage);
    EXPECT_EQ(s.Fp[0].Srq.str(), "20000214");
    EXPECT_DOUBLE_EQ(s.Fp[0].Spk, 1591.44);
}

TEST(CliImport, FailuresExitNonZeroWithAMessage) {
    const char* cases[] = {
        "import /no/such/folder --minute",
        "import " VANTOR_TDX_FIXTURES, // neither --day nor --minute
        "import --day",                // no folder
    };
    for (const char* args : cases) {
        auto r = test::RunCli(args);
        EXPECT_NE(r.exitCode, 0) << args;
        EXPECT_FALSE(r.err.empty()) << args;
    }
}

} // namespace
} // namespace vantor
