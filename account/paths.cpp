#include "account/paths.h"

#include <cctype>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace vantor {

namespace {

std::string LowerAscii(std::string s) {
    for (char& c : s)
        if (static_cast<unsigned char>(c) < 128)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

} // namespace

std::string FileInFolder(const std::string& dir, const std::string& name) {
    std::string base = dir.empty() ? std::string(".") : dir;
    if (base.back() != '/') base += '/';
    std::error_code ec;
    if (fs::exists(base + name, ec)) return base + name;
    const std::string wanted = LowerAscii(name);
    for (const auto& entry : fs::directory_iterator(base, ec))
        if (LowerAscii(entry.path().filename().string()) == wanted)
            return base + entry.path().filename().string();
    return base + name;
}

bool MissingOrEmpty(const std::string& path) {
    std::error_code ec;
    if (!fs::exists(path, ec)) return true;
    auto size = fs::file_size(path, ec);
    return !ec && size == 0;
}

} // namespace vantor
