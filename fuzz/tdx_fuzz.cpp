// libFuzzer target: arbitrary bytes as a binary TDX file, converted in each record layout.
// A conversion gives one data-file line per whole record, exactly the lines of the record
// formatting, each read back as a bar; a conversion that cannot finish fails cleanly: the
// previous target stays and no partial file is left beside it.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

#include "fuzz_temp.h"
#include "market/price.h"
#include "market/tdx_records.h"

namespace {

using namespace vantor;
namespace fs = std::filesystem;

std::string ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool NoPartLeft(const fs::path& folder) {
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(folder, ec))
        if (e.path().extension() == ".part") return false;
    return !ec;
}

void CheckLayout(TdxLayout layout, const std::string& source, const std::uint8_t* data,
                 std::size_t size) {
    const std::string& dir = fuzz::TempFolder();
    const std::string target = dir + "/out.txt";
    std::size_t lines = 99;
    std::string error;
    if (!ConvertTdxFile(source, layout, target, lines, error)) __builtin_trap();
    std::string expected;
    if (AppendTdxLines(layout, data, size, expected) != size / kTdxRecordSize ||
        lines != size / kTdxRecordSize || ReadWhole(target) != expected || !NoPartLeft(dir))
        __builtin_trap();
    std::size_t start = 0, count = 0;
    Price bar;
    while (start < expected.size()) {
        const std::size_t end = expected.find('\n', start);
        if (end == std::string::npos || !ParseBarLine({expected.data() + start, end - start}, bar))
            __builtin_trap();
        start = end + 1;
        ++count;
    }
    if (count != lines) __builtin_trap();

    // A target that cannot be replaced (a folder of that name) fails and keeps what was there.
    const std::string blocked = dir + "/blocked";
    std::error_code ec;
    fs::create_directories(blocked + "/keep", ec);
    if (ConvertTdxFile(source, layout, blocked, lines, error) || error.empty() || lines != 0 ||
        !fs::is_directory(blocked + "/keep") || !NoPartLeft(dir))
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string source = fuzz::TempFolder() + "/input.day";
    std::FILE* f = std::fopen(source.c_str(), "wb");
    if (!f) return 0;
    const bool written = std::fwrite(data, 1, size, f) == size;
    if (std::fclose(f) != 0 || !written) return 0;
    for (TdxLayout layout : {TdxLayout::Day, TdxLayout::StockDay, TdxLayout::Minute})
        CheckLayout(layout, source, data, size);
    return 0;
}
