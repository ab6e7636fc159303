// vantor-cli bars FILE [--period P] [--start ROW] [--last ROW]
// Replays FILE from the start row to the last row and prints the bars of period P, one
// per line in the 8-field data-file format.

#include <cstdio>

#include "cli/cli_common.h"
#include "cli/commands.h"

namespace vantor::cli {

int CmdBars(int argc, char** argv) {
    Args args = ParseArgs(argc, argv, 0, {"period", "start", "last"}, {});
    if (!args.error.empty()) return UsageError(args.error);
    if (args.positional.size() > 1) return UsageError("bars takes one FILE");
    Tstock store;
    TWeekStyle period = wsmin1;
    if (int rc = LoadStore(args, store, period)) return rc;
    std::string out;
    for (const Price& bar : store.Cache(period).value) {
        out += FormatBarLine(bar);
        out += '\n';
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}

} // namespace vantor::cli
