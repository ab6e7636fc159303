#pragma once
// Contract parameters: the record of one instrument and the source that looks them up in
// "sxf.db" of the program folder.

#include <string>
#include <vector>

#include "account/host.h"

namespace vantor {

// The trading parameters of one instrument (a plain record, copied by value).
struct Rsxf {
    std::string sCode; // instrument code
    double nhycs = 0;  // contract multiplier (units per lot)
    double fBzjbl = 0; // margin ratio as a fraction (0.1 = 10 %)
    double fmrf = 0;   // opening fee rate as a fraction
    double fMcf = 0;   // closing fee rate as a fraction
};

// True when an account may trade with `p`: multiplier and margin ratio finite and above 0,
// both fee rates finite and not negative.
bool IsUsable(const Rsxf& p);

// The statement that creates the parameter table.
inline constexpr const char* kSxfCreateTable =
    "CREATE TABLE \"tblsxf\" ( \"scode\"  TEXT,\"shycs\"  TEXT,\"sbzjbl\"  TEXT,\"smrf\"  "
    "TEXT,\"smcf\"  TEXT, \"sid\"  TEXT )";

inline constexpr const char* kSxfFileName = "sxf.db";

// The path of "sxf.db" in `programDir` (found without regard to letter case).
std::string SxfDatabasePath(const std::string& programDir);

// Creates "sxf.db" with its empty table when the file does not exist (or is empty). False (with the
// database's message in `error`) when it cannot be created.
bool EnsureSxfDatabase(const std::string& programDir, std::string& error);

// The message shown when a code has no row.
std::string SxfNotFoundMessage(const std::string& code);

class TSxf {
public:
    explicit TSxf(std::string programDir);

    std::vector<Rsxf> flsz; // spare list (not filled by the practice)
    Rsxf cursxf;            // result of the last look-up
    Rsxf defsxf;            // defaults used when a code is not found
    Host host;              // receives the not-found message

    // The defaults the practice trades with when an instrument has no row: multiplier 10,
    // margin 100 %, both fees 0.0006. Set before each instrument is looked up.
    void UsePracticeDefaults();

    // Looks `sCode` up (exact, case-sensitive match). Found: `cursxf` holds its parameters,
    // true. Not found (or the file cannot be read): the not-found message goes to the host,
    // `cursxf` := `defsxf`, false.
    bool getSxf(const std::string& sCode);

    const std::string& programDir() const { return programDir_; }

private:
    std::string programDir_;
};

} // namespace vantor
