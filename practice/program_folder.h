#pragma once
// Where the program keeps its files (config.ini, log.mt3, sxf.db, daydata/ ...).

#include <string>

namespace vantor {

// The program folder: `homeArg` when given; else the executable's folder when it holds
// daydata/ or mindata/ (a portable install); else $XDG_DATA_HOME/vantor
// (~/.local/share/vantor), created on first use and seeded with the sample data of
// `sampleDir` (its folders and files copied, nothing overwritten). `error` says what failed.
std::string ResolveProgramFolder(const std::string& homeArg, const std::string& exeDir,
                                 const std::string& sampleDir, std::string& error);

// Copies every file of `from` below `to` that `to` does not have yet.
bool SeedFolder(const std::string& from, const std::string& to, std::string& error);

// A program folder made from the sample: its files, and in a new sxf.db the contract
// parameters of the sample's instruments (index futures: multiplier 300 or 200, margin 12 %,
// fees 0.23 per ten thousand of turnover), so trading them costs what it costs.
bool SeedProgramFolder(const std::string& sampleDir, const std::string& to, std::string& error);

} // namespace vantor
