#pragma once
// The figures a trainee reads beside the statistics memo: how often the closes win, what a
// win and a loss bring on average, the longest run of losses and how deep the equity curve
// fell from a peak. Computed from the journal list and the equity points as read, so a row
// whose numbers cannot be read is counted apart instead of spoiling the rest.

#include <string>
#include <utility>
#include <vector>

#include "journal/journal.h"

namespace vantor {

struct JournalStats {
    int closed = 0;                // closing trades with a readable result
    int wins = 0;                  // closes with a result above 0
    int losses = 0;                // closes with a result below 0
    double grossWin = 0;           // sum of the winning results
    double grossLoss = 0;          // sum of the losing results (0 or negative)
    double profitSum = 0;          // sum of every readable result
    double commissionSum = 0;      // sum of every readable commission
    int longestLosingRun = 0;      // most closes in a row with a loss
    double maxDrawdown = 0;        // largest fall of the equity points below an earlier peak
    double maxDrawdownPercent = 0; // largest such fall in percent of its peak
    int unreadable = 0;            // rows whose result or commission is not a number
};

// A trade that opens a position (the rows shown in red); every other direction closes.
bool IsOpeningDirection(const std::string& direction);

// The figures of `rows` (stored order) and `points` (ascending x, as EquityPoints gives
// them). A close whose result is not a number is left out of every figure but `unreadable`.
JournalStats ComputeStats(const std::vector<JournalEntry>& rows,
                          const std::vector<std::pair<double, double>>& points);

// The figures as name and value texts, in the order shown: money with two decimals, rates
// in percent, "—" where a figure has nothing to be computed from (no closes, no losses).
std::vector<std::pair<std::string, std::string>> StatsFigures(const JournalStats& s);

// The block shown under the statistics memo: a title line, then two figures per line.
std::string StatsText(const JournalStats& s);

} // namespace vantor
