// vantor-cli import TDXROOT (--day | --minute) [--filter CODES] [--into DIR] [--threads N]
// Converts the day or minute files of a TDX installation into DIR's daydata/, mindata/ and
// min5data/ text files (DIR defaults to the current folder). Progress and per-file messages
// go to stderr, the summary to stdout; the exit code is 1 when any file failed.

#include <cstdio>
#include <string>
#include <unistd.h>

#include "cli/cli_common.h"
#include "cli/commands.h"
#include "market/tdx_import.h"

namespace vantor::cli {

int CmdImport(int argc, char** argv) {
    Args args = ParseArgs(argc, argv, 0, {"filter", "into", "threads"}, {"day", "minute"});
    if (!args.error.empty()) return UsageError(args.error);
    if (args.positional.size() != 1) return UsageError("import takes one TDXROOT folder");
    if (args.has("day") == args.has("minute")) return UsageError("import needs --day or --minute");

    TdxImportOptions options;
    options.sTdxRoot = args.positional[0];
    options.sProgramDir = args.get("into").value_or(".");
    options.kind = args.has("day") ? TdxImportKind::Day : TdxImportKind::Minute;
    options.sFilter = args.get("filter").value_or("");
    if (auto t = args.get("threads")) {
        auto n = ParseInt(*t);
        if (!n || *n < 1) return UsageError("--threads needs a number of threads (1 or more)");
        options.nThreads = static_cast<unsigned>(*n);
    }

    // On a terminal the progress is one line rewritten in place; otherwise a line per file.
    const bool terminal = ::isatty(STDERR_FILENO);
    bool lineOpen = false;
    auto progress = [&](const TdxProgress& p) {
        const TdxFileResult& r = *p.result;
        if (terminal) {
            std::fprintf(stderr, "\r\x1b[K[%zu/%zu] %s", p.nDone, p.nTotal, r.sSource.c_str());
            lineOpen = true;
        } else if (r.status != TdxFileStatus::Filtered) {
            std::fprintf(stderr, "[%zu/%zu] %s\n", p.nDone, p.nTotal, r.sSource.c_str());
        }
        if (!r.sMessage.empty()) {
            if (lineOpen) std::fputs("\r\x1b[K", stderr);
            std::fprintf(stderr, "%s\n", r.sMessage.c_str());
            lineOpen = false;
        }
    };

    std::vector<TdxFileResult> results;
    std::string error;
    if (!RunTdxImport(options, progress, results, error)) return Failure(error);
    if (lineOpen) std::fputs("\n", stderr);
    TdxImportSummary summary = SummarizeTdxImport(results);
    std::printf("%s\n", TdxSummaryText(summary).c_str());
    return summary.nFailed == 0 ? 0 : 1;
}

} // namespace vantor::cli
