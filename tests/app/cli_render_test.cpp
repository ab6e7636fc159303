// vantor-cli render: images of the requested size and format, and bad calls.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

#include "cli_support.h"
#include "temp_dir.h"

namespace vantor {
namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

unsigned Be32(const std::string& s, size_t at) {
    unsigned v = 0;
    for (size_t i = 0; i < 4; ++i) v = (v << 8) | static_cast<unsigned char>(s[at + i]);
    return v;
}

// A Windows bitmap of w x h red pixels, 24 bits per pixel.
void WriteBmp(const std::string& path, int w, int h) {
    const int row = (w * 3 + 3) / 4 * 4, size = 54 + row * h;
    std::string b(static_cast<size_t>(size), '\0');
    auto put32 = [&b](size_t at, unsigned v) {
        for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, size);
    put32(10, 54);
    put32(14, 40);
    put32(18, w);
    put32(22, h);
    b[26] = 1;
    b[28] = 24;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) b[54 + y * row + x * 3 + 2] = '\xFF'; // blue, green, red
    std::ofstream(path, std::ios::binary) << b;
}

class CliRender : public ::testing::Test {
protected:
    std::string dir;
    void SetUp() override {
        char tmpl[] = "/tmp/vantor_render_XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        dir = tmpl;
    }
    void TearDown() override {
        for (const char* f : {"a.png", "b.png", "c.jpg"}) std::remove((dir + "/" + f).c_str());
        ::rmdir(dir.c_str());
    }
};

TEST_F(CliRender, PngOfTheRequestedSizeAndJpegByExtension) {
    const std::string day = VANTOR_SAMPLE_DIR "/daydata/IFL8.txt";
    auto r = test::RunCli("render '" + day + "' --out " + dir +
                          "/a.png --width 400 --height 300 --last 300");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::string png = ReadFile(dir + "/a.png");
    ASSERT_GT(png.size(), 24u);
    EXPECT_EQ(png.substr(1, 3), "PNG");
    EXPECT_EQ(Be32(png, 16), 400u);
    EXPECT_EQ(Be32(png, 20), 300u);
    // The newest bar shown by its open alone draws another picture.
    r = test::RunCli("render '" + day + "' --out " + dir +
                     "/b.png --width 400 --height 300 --last 300 --open-only");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(ReadFile(dir + "/b.png"), png);
    const std::string min = VANTOR_SAMPLE_DIR "/mindata/IFL8.txt";
    r = test::RunCli("render '" + min + "' --period 5m --windows 4 --last 2000 --out " + dir +
                     "/c.jpg");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadFile(dir + "/c.jpg").substr(0, 2), "\xFF\xD8");
}

TEST(CliRenderFormula, FormulaFileOrBuiltinInAWindowAndPicturesFromHome) {
    const std::string day = VANTOR_SAMPLE_DIR "/daydata/IFL8.txt";
    test::TempDir dir;
    {
        std::ofstream f(dir.file("marks.txt"));
        f << "DRAWBMP(C>O,H,'sig');\nSTICKLINE(C>O,C,O,3,0),COLORYELLOW;\n";
    }
    const std::string base = "render '" + day + "' --last 200 --width 400 --height 300 --out ";
    auto render = [&](const std::string& out, const std::string& more) {
        auto r = test::RunCli(base + "'" + dir.file(out) + "' " + more);
        EXPECT_EQ(r.exitCode, 0) << more << "\n" << r.err;
        return ReadFile(dir.file(out));
    };
    const std::string plain = render("plain.png", "--home '" + dir.path() + "'");
    const std::string marked = render("marked.png", "--formula 0='" + dir.file("marks.txt") +
                                                        "' --home '" + dir.path() + "'");
    EXPECT_NE(marked, plain);
    // The picture, once it is in the program folder's signals (any case), adds to that.
    std::filesystem::create_directories(dir.file("SIGNALS"));
    WriteBmp(dir.file("SIGNALS/Sig.BMP"), 12, 12);
    const std::string pictured = render("pictured.png", "--formula 0='" + dir.file("marks.txt") +
                                                            "' --home '" + dir.path() + "'");
    EXPECT_NE(pictured, marked);
    // A built-in formula by name.
    EXPECT_NE(render("fsl.png", "--formula 1=fsl --home '" + dir.path() + "'"), plain);
}

TEST(CliRenderErrors, BadCallsFailWithAMessage) {
    const std::string day = VANTOR_SAMPLE_DIR "/daydata/IFL8.txt";
    test::TempDir dir;
    const std::string png = dir.file("x.png"), bad = dir.file("bad.txt");
    std::ofstream(bad) << "X:NOSUCHFUNCTION(C);\n";
    struct Case {
        std::string args;
        int code;
        const char* message;
    } cases[] = {
        {"render '" + day + "'", 2, "--out"},
        {"render '" + day + "' --out '" + png + "' --windows 11", 2, "--windows"},
        {"render '" + day + "' --out '" + png + "' --width 0", 2, "--width"},
        {"render /nonexistent/file.txt --out '" + png + "'", 1, "数据文件不存在"},
        {"render '" + day + "' --out /nonexistent/dir/x.png", 1, "无法写入图像文件"},
        {"render '" + day + "' --out '" + png + "' --formula 3=FSL", 2, "--formula"},
        {"render '" + day + "' --out '" + png + "' --formula FSL", 2, "--formula"},
        {"render '" + day + "' --out '" + png + "' --formula 1=/nonexistent.txt", 1,
         "公式文件不存在"},
        {"render '" + day + "' --out '" + png + "' --formula 1='" + bad + "'", 1, "公式错误"},
    };
    for (const auto& c : cases) {
        auto r = test::RunCli(c.args);
        EXPECT_EQ(r.exitCode, c.code) << c.args;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.args << "\n" << r.err;
    }
    EXPECT_FALSE(std::filesystem::exists(png)); // a failed call writes no image
}

} // namespace
} // namespace vantor
