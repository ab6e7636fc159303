#pragma once
// Files for tests: a temporary folder per test, and whole-file reads and writes.

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <system_error>
#include <unistd.h>

#include <gtest/gtest.h>

namespace vantor::test {

namespace fs = std::filesystem;

// A fresh folder named for the running test, removed again at the end (a name of its own:
// temp_dir.h's TempDir is linked into the same test binaries).
class ScratchDir {
public:
    ScratchDir() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = fs::temp_directory_path() /
                ("vantor_" + std::string(info->name()) + "_" + std::to_string(::getpid()));
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~ScratchDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    std::string str() const { return path_.generic_string(); }
    fs::path operator/(const std::string& p) const { return path_ / p; }

private:
    fs::path path_;
};

inline void WriteFile(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Names of the regular files in a folder (temporary files included).
inline std::set<std::string> FolderNames(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
    return names;
}

} // namespace vantor::test
