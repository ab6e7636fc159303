#pragma once
// Shared pieces of the vantor-cli commands: option parsing and loading a bar store.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "market/price.h"
#include "market/stock.h"

namespace vantor::cli {

// Command-line words split into positional arguments and long options (--name VALUE or
// --flag). Options listed in `flags` take no value; repeated options keep every value.
struct Args {
    std::vector<std::string> positional;
    std::multimap<std::string, std::string> options;
    std::string error; // set when the words could not be parsed

    bool has(const std::string& name) const { return options.count(name) > 0; }
    std::optional<std::string> get(const std::string& name) const;
    std::vector<std::string> all(const std::string& name) const;
};

Args ParseArgs(int argc, char** argv, int first, const std::vector<std::string>& valueOptions,
               const std::vector<std::string>& flags);

// Prints "vantor-cli: MESSAGE" on stderr and returns 2, for a bad call.
int UsageError(const std::string& message);
// Prints MESSAGE on stderr and returns 1, for a failure.
int Failure(const std::string& message);

// Parses a whole number; nullopt when the text is not one.
std::optional<int> ParseInt(const std::string& text);

// Period names of the command line: 1m 3m 5m 10m 15m 30m 60m day week month 45d quarter year.
std::optional<TWeekStyle> ParsePeriod(const std::string& name);

// Loads FILE into `store` as the bar commands do: --start and --last (zero-based rows,
// default the whole file), and the base period of the file when --period is absent.
// Returns an exit code (0 on success) and prints the message on failure.
int LoadStore(const Args& args, Tstock& store, TWeekStyle& period);

} // namespace vantor::cli
