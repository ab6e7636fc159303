#pragma once
// The binary day and minute files of a TDX installation and their conversion into
// data-file lines: record layouts, file names, the code filter and one-file conversion.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {

// Every layout stores 32-byte little-endian records back to back; a trailing partial
// record is ignored.
constexpr std::size_t kTdxRecordSize = 32;

enum class TdxLayout {
    Day,      // extended-market day: int32 date, float32 open/high/low/close, a count at 20,
              // int32 at 24; written as 7 fields in that order
    StockDay, // stock/index day: int32 date, int32 open/high/low/close in hundredths,
              // float32 amount at 20, int32 volume at 24; written as volume, then amount
    Minute    // minute: uint16 date code, uint16 minutes, float32 open/high/low/close,
              // a count at 20, int32 at 24; written as 8 fields in that order
};

// Date of a minute record's date code: year code/2048 + 2004, then month and day from
// code mod 2048 as month*100 + day, each with two digits ("20150310" for 22838).
std::string TdxDateText(std::uint16_t code);
// Time of a minute record's minutes since midnight as hhmm ("0931" for 571).
std::string TdxTimeText(std::uint16_t minutes);

// The value in the slot at offset 20. It holds a float in the layouts' definition, but some
// files keep a 32-bit integer there (a count such as 266). Counts and amounts stored as
// floats are 0 or at least 1 in size, so bits whose float reading is a non-zero value below 1,
// or no number at all, are read as the integer they are.
double TdxCountSlot(std::uint32_t bits);

// Appends one text line per whole record of `data` ("%.4f" numbers, '\n' after each line)
// and returns the number of records.
std::size_t AppendTdxLines(TdxLayout layout, const unsigned char* data, std::size_t size,
                           std::string& out);

// The instrument code of a TDX file name: the name split at '#', ',', '.', ':' and ';'
// (blanks around a part removed, empty parts dropped); the second part of three or more, the
// first of exactly two, otherwise empty ("47#IF1509.day" gives IF1509, "IF1509.day" IF1509).
std::string TdxCodeOfFileName(std::string_view fileName);

// The parts of a code filter: split at commas, blanks and '$' around a part removed, empty
// parts dropped ("IF, RB" gives IF and RB).
std::vector<std::string> SplitCodeFilter(std::string_view filter);
// Whether the file name without its extension contains, ignoring case, one of the parts;
// no parts (an empty filter) lets every file through.
bool MatchesCodeFilter(std::string_view fileName, const std::vector<std::string>& parts);

// Whether a file name carries the extension text its converter requires: ".da" or ".lc" for
// day files, ".lc1" or ".lc5" for minute files (ignoring case).
bool IsTdxDataFileName(TdxLayout layout, std::string_view fileName);

// The data folder a file converts into: "daydata" for day layouts, "mindata" for 1-minute and
// "min5data" for 5-minute (".lc5") files.
const char* TdxTargetFolder(TdxLayout layout, std::string_view fileName);

// Converts one TDX file into the text file `target`. The text goes to a temporary file beside
// the target that is renamed into place at the end, so a failed conversion leaves the
// previous target as it was. On failure returns false with the message in `sError`.
bool ConvertTdxFile(const std::string& source, TdxLayout layout, const std::string& target,
                    std::size_t& lines, std::string& sError);

} // namespace vantor
