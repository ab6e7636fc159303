// vantor-cli COMMAND [options]: results on stdout, messages on stderr, exit 0 on success.

#include <cstring>
#include <iostream>

#include "cli/commands.h"

namespace {

struct Command {
    const char* name;
    int (*run)(int argc, char** argv);
    const char* usage;
};

const Command kCommands[] = {
    {"bars", vantor::cli::CmdBars,
     "bars FILE [--period P] [--start ROW] [--last ROW]   print the bars of a period"},
    {"import", vantor::cli::CmdImport,
     "import TDXROOT (--day | --minute) [--filter CODES] [--into DIR] [--threads N]\n"
     "      convert a TDX installation's day or minute files into DIR's data folders"},
    {"import-csv", vantor::cli::CmdImportCsv,
     "import-csv FILE... [--code CODE] [--into DIR] [--skip-bad]\n"
     "      convert CSV bar files into DIR's daydata/ or mindata/ text files"},
    {"download", vantor::cli::CmdDownload,
     "download --host HOST [--port 19995] REMOTE LOCAL [--catalog NAME]   fetch a remote file"},
    {"journal", vantor::cli::CmdJournal,
     "journal DIR --account NAME [--equity | --export]  print an account's trade journal"},
    {"render", vantor::cli::CmdRender,
     "render FILE --out IMAGE [--period P] [--start ROW] [--last ROW] [--width W] [--height H]\n"
     "         [--windows N] [--open-only] [--formula WINDOW=FILE]... [--home DIR]\n"
     "      draw the chart as the practice shows it; --formula puts a formula file (or a\n"
     "      built-in by name) into window WINDOW (0: the main window); pictures and index\n"
     "      files are read from DIR (default: the folder above FILE's)"},
    {"icons", vantor::cli::CmdIcons,
     "icons --out IMAGE [--zoom N]   a contact sheet of the chart's icon set"},
    {"eval", vantor::cli::CmdEval,
     "eval FILE (--formula TEXT | --file PATH | --builtin NAME) [--period P] [--start ROW]\n"
     "       [--last ROW] [--param NAME=VALUE]... [--home DIR]   run a formula and print its\n"
     "       lines as CSV; index data files are read from DIR (default: the folder above FILE's)"},
};

int Usage() {
    std::cerr << "usage: vantor-cli COMMAND [options]\n\ncommands:\n";
    for (const auto& c : kCommands) std::cerr << "  " << c.usage << "\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h")) return Usage();
    for (const auto& c : kCommands)
        if (!std::strcmp(argv[1], c.name)) return c.run(argc - 2, argv + 2);
    std::cerr << "vantor-cli: unknown command '" << argv[1] << "'\n";
    return Usage();
}
