// libFuzzer target: arbitrary bytes read as a CSV bar file.
//   1. In memory, with and without skipping bad lines: either a refusal with a message, or
//      data-file lines that the bar store reads back as 7- or 8-field bars, in time order,
//      each high at least its low.
//   2. Through the file import into a scratch folder: a refusal leaves no file behind (not
//      even a temporary one); a success leaves exactly the data file.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>

#include "market/csv_import.h"
#include "market/csv_reader.h"
#include "market/price.h"

namespace fs = std::filesystem;
using namespace vantor;

namespace {

void CheckLines(const std::string& text, bool intraday) {
    if (text.empty() || text.back() != '\n') __builtin_trap();
    double last = -1;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        std::string_view line(text.data() + pos, end - pos);
        pos = end + 1;
        Price bar;
        if (!ParseBarLine(line, bar)) __builtin_trap();
        if (SplitBarFields(line).size() != (intraday ? 8u : 7u)) __builtin_trap();
        if (bar.Spg < bar.Spd) __builtin_trap();
        double when = BarDateNumber(bar.Srq) * 10000.0 + BarTimeNumber(bar.Ssj);
        if (when <= last) __builtin_trap();
        last = when;
    }
}

const fs::path& Scratch() {
    static const fs::path dir = [] {
        fs::path base =
            fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
        fs::path d = base / ("vantor_csv_fuzz_" + std::to_string(::getpid()));
        fs::remove_all(d);
        fs::create_directories(d);
        return d;
    }();
    return dir;
}

std::size_t FileCount(const fs::path& dir) {
    std::size_t n = 0;
    for (const auto& e : fs::recursive_directory_iterator(dir))
        if (e.is_regular_file()) ++n;
    return n;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (bool skipBad : {false, true}) {
        TCsvReader reader(CsvReadOptions{skipBad, {}, nullptr});
        std::string text;
        if (reader.Add(bytes, "f.csv") && reader.Finish(text)) {
            CheckLines(text, reader.Intraday());
            if (reader.BarCount() == 0) __builtin_trap();
        } else if (reader.FErrorString.empty() || !text.empty()) {
            __builtin_trap();
        }
    }

    const fs::path& dir = Scratch();
    fs::path input = dir / "in.csv", program = dir / "prog";
    fs::remove_all(program);
    std::ofstream(input, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(size));
    CsvImportResult r;
    bool ok = ImportCsvFiles({input.string()}, "F", program.string(), false, {}, nullptr, r);
    std::size_t files = fs::exists(program) ? FileCount(program) : 0;
    if (ok != r.bOk || files != (ok ? 1u : 0u) || (ok && !fs::is_regular_file(r.sTarget)))
        __builtin_trap();
    return 0;
}
