// vantor-cli download against the test file service.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "cli/commands.h"
#include "test_server.h"

namespace vantor {
namespace {

namespace fs = std::filesystem;

int RunDownload(std::vector<std::string> words, std::string& out, std::string& err) {
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    int rc = cli::CmdDownload(static_cast<int>(argv.size()), argv.data());
    out = testing::internal::GetCapturedStdout();
    err = testing::internal::GetCapturedStderr();
    return rc;
}

TEST(CliDownload, DownloadsIntoANewFolderOrPrintsTheFailure) {
    std::string tmpl = (fs::temp_directory_path() / "vantor_cli_XXXXXX").string();
    ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
    const std::string local = tmpl + "/program/sxf.db";

    test::FakeFileService svc;
    svc.files["cfg/data/sxf.db"] = std::string(5000, 'p');
    svc.chunk = 2000;
    test::TestServer server([&](const TMsgPack& r) { return svc(r); });
    const std::string port = std::to_string(server.port());
    std::string out, err;

    EXPECT_EQ(RunDownload(
                  {"--host", "127.0.0.1", "--port", port, "data/sxf.db", local, "--catalog", "cfg"},
                  out, err),
              0)
        << err;
    EXPECT_EQ(out, "下载文件成功!\n");
    std::ifstream in(local, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), svc.files["cfg/data/sxf.db"]);

    EXPECT_NE(RunDownload({"--host", "127.0.0.1", "--port", port, "data/none.db", local,
                           "--catalog", "cfg"},
                          out, err),
              0);
    EXPECT_EQ(out, "");
    EXPECT_EQ(err, "远程文件[data/none.db]不存在!\n");

    EXPECT_EQ(RunDownload({"data/sxf.db", local}, out, err), 2); // no --host
    EXPECT_EQ(RunDownload({"--host", "h", "--port", "0", "a", "b"}, out, err), 2);
    fs::remove_all(tmpl);
}

} // namespace
} // namespace vantor
