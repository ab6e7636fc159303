#include "market/data_files.h"

#include "market/large_pages.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace vantor {

namespace {

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        unsigned char x = a[i], y = b[i];
        if (x < 128 && y < 128) {
            if (std::tolower(x) != std::tolower(y)) return false;
        } else if (x != y) {
            return false;
        }
    }
    return true;
}

} // namespace

std::string TrimBlanks(std::string_view s) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return std::string(s);
}

std::string FindPathNoCase(const std::string& base, std::string_view relative) {
    fs::path current = base.empty() ? fs::path(".") : fs::path(base);
    bool exists = true;
    std::size_t pos = 0;
    while (pos <= relative.size()) {
        std::size_t next = relative.find('/', pos);
        if (next == std::string_view::npos) next = relative.size();
        std::string_view part = relative.substr(pos, next - pos);
        pos = next + 1;
        if (part.empty()) continue;
        fs::path candidate = current / std::string(part);
        std::error_code ec;
        if (exists && !fs::exists(candidate, ec)) {
            exists = false;
            for (const auto& entry : fs::directory_iterator(current, ec)) {
                if (EqualNoCase(entry.path().filename().string(), part)) {
                    candidate = entry.path();
                    exists = true;
                    break;
                }
            }
        }
        current = candidate;
    }
    return current.generic_string();
}

std::string InstrumentFile(const std::string& programDir, std::string_view code,
                           int basePeriodChoice) {
    std::string folder = basePeriodChoice == 0 ? "MinData" : "DayData";
    return FindPathNoCase(programDir, folder + "/" + TrimBlanks(code) + ".TXT");
}

std::vector<std::string> ListInstruments(const std::string& folder) {
    std::vector<std::string> codes;
    std::error_code ec;
    fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        const auto& p = it->path();
        if (!it->is_regular_file(ec)) continue;
        if (EqualNoCase(p.extension().string(), ".txt")) codes.push_back(p.stem().string());
    }
    std::sort(codes.begin(), codes.end());
    return codes;
}

bool ReadFileText(const std::string& path, std::string& text) {
    text.clear();
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (!in) return false;
    // Read straight into a string of the file's size, then whatever follows if it grew.
    std::error_code ec;
    auto size = fs::file_size(path, ec);
    if (!ec) {
        text.reserve(static_cast<std::size_t>(size));
        PreferLargePages(text.data(), text.capacity());
        text.resize(static_cast<std::size_t>(size));
    }
    std::size_t have = std::fread(text.data(), 1, text.size(), in);
    text.resize(have);
    char block[1 << 16];
    std::size_t got;
    while ((got = std::fread(block, 1, sizeof block, in)) > 0) text.append(block, got);
    bool ok = !std::ferror(in);
    std::fclose(in);
    return ok;
}

bool WriteFileReplacing(const std::string& path, std::string_view text, std::string& sError) {
    fs::path target(path);
    fs::path temp = target.parent_path() / ("." + target.filename().string() + ".part");
    std::FILE* out = std::fopen(temp.c_str(), "wb");
    if (!out) {
        sError = "无法写入文件：" + path;
        return false;
    }
    bool ok = std::fwrite(text.data(), 1, text.size(), out) == text.size();
    ok = std::fclose(out) == 0 && ok;
    std::error_code ec;
    if (ok) fs::rename(temp, target, ec);
    if (!ok || ec) {
        fs::remove(temp, ec);
        sError = "无法写入文件：" + path;
        return false;
    }
    return true;
}

std::string SafeFileName(const std::string& name) {
    std::string out = name;
    for (char& c : out) {
        unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F ||
            std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos)
            c = '_';
    }
    return out;
}

bool TextLines::Read(const std::string& path) {
    clear();
    if (!ReadFileText(path, text_)) {
        text_.clear();
        return false;
    }
    const char* const data = text_.data();
    const std::size_t n = text_.size();
    std::size_t count = 1;
    const char* at = data;
    while ((at = static_cast<const char*>(std::memchr(at, '\n', n - (at - data)))) != nullptr) {
        ++count;
        ++at;
    }
    spans_.reserve(count);
    std::size_t pos = 0;
    while (pos < n) {
        const void* nl = std::memchr(data + pos, '\n', n - pos);
        const std::size_t end =
            nl ? static_cast<std::size_t>(static_cast<const char*>(nl) - data) : n;
        std::size_t stop = end;
        if (stop > pos && data[stop - 1] == '\r') --stop;
        spans_.push_back({pos, stop - pos});
        pos = end + 1;
    }
    return true;
}

bool ReadLines(const std::string& path, std::vector<std::string>& lines) {
    TextLines text;
    if (!text.Read(path)) return false;
    lines.clear();
    lines.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) lines.emplace_back(text[i]);
    return true;
}

} // namespace vantor
