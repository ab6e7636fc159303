// vantor-cli journal DIR --account NAME [--equity | --export | --stats]
// Reads the trade journal (log.mt3) of the program folder DIR for one account: by default
// the trade list (tab-separated, with its header) followed by the statistics; --equity
// prints the equity points as "x,y"; --export writes the export file and prints its path;
// --stats prints the extended figures, one "name: value" per line.

#include <cstdio>
#include <string>

#include "cli/cli_common.h"
#include "cli/commands.h"
#include "journal/journal.h"
#include "journal/journal_stats.h"

namespace vantor::cli {

namespace {

void Print(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
}

// Terminal output uses plain line ends.
std::string PlainLines(std::string text) {
    std::string out;
    for (char c : text)
        if (c != '\r') out += c;
    return out;
}

} // namespace

int CmdJournal(int argc, char** argv) {
    Args args = ParseArgs(argc, argv, 0, {"account"}, {"equity", "export", "stats"});
    if (!args.error.empty()) return UsageError(args.error);
    if (args.positional.size() != 1) return UsageError("journal takes one program folder DIR");
    auto name = args.get("account");
    if (!name) return UsageError("journal needs --account NAME");
    if (args.has("equity") + args.has("export") + args.has("stats") > 1)
        return UsageError("--equity, --export and --stats do not go together");

    TJournal journal(args.positional[0]);
    if (args.has("equity")) {
        std::vector<std::pair<double, double>> points;
        if (!journal.EquityPoints(*name, points)) return Failure(journal.sError);
        std::string out;
        char line[128];
        for (auto [x, y] : points) {
            std::snprintf(line, sizeof line, "%.15g,%.2f\n", x, y);
            out += line;
        }
        Print(out);
        return 0;
    }

    std::vector<JournalEntry> rows;
    std::string memo;
    if (!journal.RefreshJournal(*name, rows, memo)) return Failure(journal.sError);
    if (args.has("stats")) {
        JournalStats stats;
        if (!journal.ReadStats(*name, rows, stats)) return Failure(journal.sError);
        std::string out;
        for (const auto& [figure, value] : StatsFigures(stats)) out += figure + ": " + value + "\n";
        Print(out);
        return 0;
    }
    if (args.has("export")) {
        std::string written;
        if (!journal.ExportJournal(*name, rows, written)) return Failure(journal.sError);
        Print(written + "\n");
        return 0;
    }
    std::string out = JournalText(rows, "\n");
    if (!memo.empty()) out += "\n" + PlainLines(memo) + "\n";
    Print(out);
    return 0;
}

} // namespace vantor::cli
