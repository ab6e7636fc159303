#pragma once
// The import of a TDX installation's day or minute files into the text data files: listing,
// filtering and converting the files in parallel on a worker pool, with progress reports.

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "market/job_pool.h"
#include "market/tdx_records.h"

namespace vantor {

enum class TdxImportKind { Day, Minute };

struct TdxSourceFile {
    std::string sPath; // full path, '/' separated
    TdxLayout layout;
};

// The files of an import below the installation folder `tdxRoot`, recursively, sorted by
// path. Day: Vipdoc/ds/lday/ (extended-market layout), Vipdoc/sh/lday/ and Vipdoc/sz/lday/
// (stock/index layout). Minute: Vipdoc/ds/minline/. Folders are found without regard to
// letter case; `foldersFound` receives how many of them exist.
std::vector<TdxSourceFile> ListTdxFiles(const std::string& tdxRoot, TdxImportKind kind,
                                        int* foldersFound = nullptr);

enum class TdxFileStatus {
    Converted, // the text file was written
    Filtered,  // the name holds none of the filter's codes
    Skipped,   // not a data file of the import, or a name without a code
    Failed,    // reading or writing failed; the previous text file is kept
    Cancelled  // the import was cancelled before the file was started; nothing written
};

struct TdxFileResult {
    std::string sSource; // the TDX file
    std::string sTarget; // the text file it converts into (empty when none)
    TdxFileStatus status = TdxFileStatus::Skipped;
    std::string sMessage; // why it was skipped or failed
    std::size_t nLines = 0;
};

// One finished file. `nDone` counts the files finished so far, 1 to `nTotal`; `result`
// stays valid until the import is started again or destroyed.
struct TdxProgress {
    std::size_t nDone = 0;
    std::size_t nTotal = 0;
    const TdxFileResult* result = nullptr;
};

// Called once per listed file, on the thread that calls Start for files settled before
// converting (filtered or skipped) and on worker threads for conversions, never two calls at
// once. A user interface posts the report to its own thread. It must not throw.
using TdxProgressFn = std::function<void(const TdxProgress&)>;

struct TdxImportOptions {
    std::string sTdxRoot;    // the TDX installation folder
    std::string sProgramDir; // holds daydata/, mindata/ and min5data/ (created when missing)
    TdxImportKind kind = TdxImportKind::Day;
    std::string sFilter;   // code filter; empty converts every file
    unsigned nThreads = 0; // worker threads; 0 for one per hardware thread
    // Set (from any thread) to stop the import: files not started yet are reported
    // Cancelled; a file being converted is finished, so no text file is ever half-written.
    const std::atomic<bool>* pCancel = nullptr;
};

struct TdxImportSummary {
    std::size_t nFiles = 0;
    std::size_t nConverted = 0;
    std::size_t nSkipped = 0; // filtered or skipped
    std::size_t nFailed = 0;
    std::size_t nCancelled = 0;
    std::size_t nFiveMinute = 0; // .lc5 files converted into min5data/
};

TdxImportSummary SummarizeTdxImport(const std::vector<TdxFileResult>& results);
// "数据导出完毕！" with the counts when nothing failed; otherwise names the failures.
std::string TdxSummaryText(const TdxImportSummary& summary);
// What the import dialog reports at the end: the summary, a note that 5-minute files went
// to min5data/ (they never replace the 1-minute file of their code), and the messages of
// the first `maxLines` failed or cancelled files.
std::string TdxReportText(const std::vector<TdxFileResult>& results, std::size_t maxLines = 5);

// One import run. Files that map to the same text file are converted one after the other in
// list order by a single job, so the last one wins; all other files convert in parallel.
class TdxImport {
public:
    TdxImport() = default;
    ~TdxImport(); // waits for a running import
    TdxImport(const TdxImport&) = delete;
    TdxImport& operator=(const TdxImport&) = delete;

    // Lists and queues the files. Returns false with the message in FErrorString when an
    // import is still running, none of the kind's TDX folders exists or they hold no files.
    bool Start(const TdxImportOptions& options, TdxProgressFn onProgress = {});
    // Waits at most `timeout`; true when every file has finished (or nothing runs).
    bool WaitFor(std::chrono::milliseconds timeout);
    // Waits until every file has finished and returns the results in list order.
    const std::vector<TdxFileResult>& Wait();
    // The counts of the results; call after Wait (or WaitFor returning true).
    TdxImportSummary Summary() const { return SummarizeTdxImport(results_); }

    std::string FErrorString;

private:
    void Report(std::size_t index);
    void Finish();

    std::vector<TdxFileResult> results_;
    TdxProgressFn onProgress_;
    std::mutex reportMutex_;
    std::size_t done_ = 0;
    std::unique_ptr<TJobPool> pool_;
    std::unique_ptr<TJobGroup> group_;
};

// Runs a whole import and waits for it. Returns false when it could not start (message in
// `sError`); the per-file results tell what happened to each file.
bool RunTdxImport(const TdxImportOptions& options, const TdxProgressFn& onProgress,
                  std::vector<TdxFileResult>& results, std::string& sError);

} // namespace vantor
