#pragma once
// The import of CSV bar files into the text data files: each instrument's files are read,
// merged and written as daydata/CODE.txt (daily bars) or mindata/CODE.txt (1-minute bars),
// the instruments in parallel on a worker pool, with progress reports and a cancel flag.

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {

// The code a file imports under: its name without the extension, upper-cased.
std::string CsvCodeOfFile(std::string_view path);
// Whether a code can name a data file: not empty, no folder separator, not "." or "..".
bool IsValidCsvCode(std::string_view code);

struct CsvImportOptions {
    std::vector<std::string> files;
    std::string sCode;       // code of all the files; empty: each file's own code
    std::string sProgramDir; // holds daydata/ and mindata/ (created when missing)
    bool bSkipBad = false;   // convert the good lines of a file with bad ones
    unsigned nThreads = 0;   // worker threads; 0 for one per hardware thread
};

// What became of one instrument: the files of one code, merged into one data file.
struct CsvImportResult {
    std::string sCode;
    std::vector<std::string> sources;
    bool bOk = false;
    std::string sTarget;  // the data file written (empty when nothing was written)
    std::string sMessage; // why nothing was written
    bool bIntraday = false;
    std::size_t nBars = 0;
    std::size_t nSkipped = 0;              // bad lines left out (only with bSkipBad)
    std::size_t nDuplicates = 0;           // exact copies of a bar left out
    std::vector<std::string> skippedLines; // the first messages of the bad lines
};

// Bytes of the files read so far, of all the files.
struct CsvImportProgress {
    std::size_t nBytesDone = 0;
    std::size_t nBytesTotal = 0;
};
// Called on worker threads, never two calls at once; a user interface posts the report to
// its own thread. It must not throw.
using CsvImportProgressFn = std::function<void(const CsvImportProgress&)>;

// Converts the files of one code into its data file under `programDir`. A file that can't be
// read as bars refuses the whole code and nothing is written.
bool ImportCsvFiles(const std::vector<std::string>& files, const std::string& code,
                    const std::string& programDir, bool skipBad,
                    const CsvImportProgressFn& onProgress, const std::atomic<bool>* cancel,
                    CsvImportResult& result);

// Runs a whole import and waits for it; a dialog calls it off its user-interface thread and
// sets `cancel` to stop it. Files of the same code (ignoring letter case) are merged, the
// codes convert in parallel. Returns false when it can't start (message in `sError`); the
// results, in the order the codes first appear among the files, tell the rest.
bool RunCsvImport(const CsvImportOptions& options, const CsvImportProgressFn& onProgress,
                  const std::atomic<bool>* cancel, std::vector<CsvImportResult>& results,
                  std::string& sError);

// One line per code for the user: what was written, or why nothing was.
std::string CsvResultText(const CsvImportResult& result);

} // namespace vantor
