// vantor-cli import-csv FILE... [--code CODE] [--into DIR] [--skip-bad]
// Converts CSV bar files into DIR's daydata/ (daily bars) or mindata/ (1-minute bars) text
// files (DIR defaults to the current folder). Each file imports under its name without the
// extension, upper-cased, or all of them under --code; the files of one code are merged.
// A line per code goes to stdout, refusals and skipped lines to stderr; the exit code is 1
// when any code was refused.

#include <cstdio>
#include <string>

#include "cli/cli_common.h"
#include "cli/commands.h"
#include "market/csv_import.h"

namespace vantor::cli {

int CmdImportCsv(int argc, char** argv) {
    Args args = ParseArgs(argc, argv, 0, {"code", "into"}, {"skip-bad"});
    if (!args.error.empty()) return UsageError(args.error);
    if (args.positional.empty()) return UsageError("import-csv needs at least one FILE");

    CsvImportOptions options;
    options.files = args.positional;
    options.sCode = args.get("code").value_or("");
    options.sProgramDir = args.get("into").value_or(".");
    options.bSkipBad = args.has("skip-bad");
    if (args.has("code") && !IsValidCsvCode(options.sCode))
        return UsageError("--code needs a code that can name a file: " + options.sCode);

    std::vector<CsvImportResult> results;
    std::string error;
    if (!RunCsvImport(options, {}, nullptr, results, error)) return Failure(error);
    bool allOk = true;
    for (const auto& r : results) {
        for (const auto& line : r.skippedLines) std::fprintf(stderr, "%s\n", line.c_str());
        if (r.nSkipped > r.skippedLines.size())
            std::fprintf(stderr, "……还有 %zu 行错误数据\n", r.nSkipped - r.skippedLines.size());
        std::fprintf(r.bOk ? stdout : stderr, "%s\n", CsvResultText(r).c_str());
        allOk = allOk && r.bOk;
    }
    return allOk ? 0 : 1;
}

} // namespace vantor::cli
