#pragma once
// Reading ordinary CSV bar files (a header row, then one bar per line) into data-file text.
//
// The reader finds the header among the first lines, the separator (',', ';', tab or '|') and
// the columns by their English or Chinese names (case-insensitive). Dates may be written
// 2024-09-27, 2024/09/27, 2024.09.27 or 20240927, times 09:31, 0931 or 09:31:00, or both in
// one field ("2024-09-27 09:31:00"). A file with one bar per date and no times is daily;
// otherwise it is intraday and must hold 1-minute bars. The bars come out sorted by time,
// exact duplicates dropped, as 7-field (daily) or 8-field (1-minute) data-file lines.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {

// Bytes read so far of the text being read; called about every megabyte and at the end.
using CsvProgressFn = std::function<void(std::size_t nBytesDone)>;

struct CsvReadOptions {
    bool bSkipBad = false;                      // convert the good lines and count the bad ones
    CsvProgressFn onProgress;                   // may be empty
    const std::atomic<bool>* pCancel = nullptr; // set from another thread to stop reading
};

// Reads one or more CSV texts of the same instrument and produces its data-file text.
class TCsvReader {
public:
    explicit TCsvReader(CsvReadOptions options = {});
    ~TCsvReader();

    // Reads the text of one file; `name` is how messages name it. Returns false with the
    // message in FErrorString for a file that can't be read as bars (or was cancelled).
    bool Add(std::string_view text, const std::string& name);
    // The same for a file read in pieces, so that it needn't be held whole: BeginFile, then
    // AddLines with each piece, every piece but the last ending just after a '\n', then
    // EndFile. `sizeHint` is the size of the file when known (0 otherwise). AddLines and
    // EndFile return false as Add does; after false the file is done with.
    void BeginFile(const std::string& name, std::size_t sizeHint);
    bool AddLines(std::string_view piece);
    bool EndFile();
    // Sorts the bars of every file added, drops exact duplicates, checks the bar step and
    // fills `dataText` with the data-file lines ('\n' after each). Returns false with the
    // message in FErrorString when the bars can't be written as one data file. Called once,
    // after the last Add; it hands over the text the reader built.
    bool Finish(std::string& dataText);

    bool Intraday() const { return intraday_; }
    std::size_t BarCount() const { return nBars_; }
    std::size_t SkippedCount() const { return nSkipped_; }
    std::size_t DuplicateCount() const { return nDuplicates_; }
    // The messages of the first skipped lines (at most kKeptMessages), in the order met.
    const std::vector<std::string>& SkippedLines() const { return skipped_; }
    static constexpr std::size_t kKeptMessages = 20;

    std::string FErrorString;

private:
    // One bar: its date (yyyymmdd) and time (hhmm, -1 when it has none), where its line is
    // and where it came from. Each bar's line is written in lines_ as the data file holds it,
    // "yyyymmdd[,hhmm],open,high,low,close,volume,amount\n", the time there when the bar has
    // one; a file of sorted bars, each in the form the file needs, then is that text as it
    // stands.
    struct Row {
        int date = 0;
        int time = -1;
        std::uint32_t offset = 0; // of the line in lines_
        std::uint32_t length = 0; // with its '\n'
        std::uint32_t source = 0; // index into names_
        std::uint32_t line = 0;   // one-based line number
    };

    struct FileState; // how far the file being read has come

    bool HeaderMissing();
    bool Bad(const std::string& name, std::size_t line, const std::string& what);
    bool BadRow(const Row& row, const std::string& what);
    // ",open,high,low,close,volume,amount" of a bar's line.
    std::string_view Numbers(const Row& row) const;
    // Room for `n` bytes at `at` in lines_; the pointer holds until the next call.
    char* Room(std::size_t at, std::size_t n);
    bool CheckStep();

    CsvReadOptions options_;
    std::unique_ptr<FileState> file_;
    std::vector<Row> rows_;
    std::string lines_;         // its size runs ahead of the written part, linesUsed_
    std::size_t linesUsed_ = 0; // bytes of lines_ holding the lines of rows_
    std::vector<std::string> names_;
    std::vector<std::string> skipped_;
    std::size_t nBars_ = 0;
    std::size_t nSkipped_ = 0;
    std::size_t nDuplicates_ = 0;
    bool intraday_ = false;
};

// Parses a date field: yyyy-mm-dd, yyyy/mm/dd or yyyy.mm.dd (month and day may have one
// digit) or yyyymmdd, optionally followed by a time after a blank or 'T'. Returns the date as
// yyyymmdd and sets `time` to hhmm (or -1 when the field has no time); 0 when not a date.
int CsvDateOf(std::string_view field, int& time);
// Parses a time field: hh:mm, hh:mm:ss (whole minutes only), hhmm, hmm or hhmmss. Returns
// hhmm, -1 for an empty field and -2 when it is not a time.
int CsvTimeOf(std::string_view field);

} // namespace vantor
