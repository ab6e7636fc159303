#include "journal/journal_stats.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "account/numbers.h"

namespace vantor {

namespace {

const char kNothing[] = "—";

std::string Money(double v) {
    return std::isfinite(v) ? Fixed2(v) : kNothing;
}

std::string Percent(double v) {
    return std::isfinite(v) ? Fixed2(v) + "%" : kNothing;
}

// `a / b`, or NaN (shown as "—") when there is nothing to divide by.
double Ratio(double a, double b) {
    return b != 0 ? a / b : NAN;
}

} // namespace

bool IsOpeningDirection(const std::string& direction) {
    return direction == "多开" || direction == "空开" || direction == "证券买入";
}

JournalStats ComputeStats(const std::vector<JournalEntry>& rows,
                          const std::vector<std::pair<double, double>>& points) {
    JournalStats s;
    int run = 0;
    for (const JournalEntry& e : rows) {
        double profit = 0, fee = 0;
        const bool profitRead = ParseNumber(e.values[7], profit);
        const bool feeRead = ParseNumber(e.values[6], fee);
        if (!profitRead || !feeRead) ++s.unreadable;
        if (feeRead) s.commissionSum += fee;
        if (!profitRead) continue;
        s.profitSum += profit;
        if (IsOpeningDirection(e.direction())) continue;
        ++s.closed;
        if (profit > 0) {
            ++s.wins;
            s.grossWin += profit;
        } else if (profit < 0) {
            ++s.losses;
            s.grossLoss += profit;
        }
        // A close without a loss ends a losing run.
        run = profit < 0 ? run + 1 : 0;
        s.longestLosingRun = std::max(s.longestLosingRun, run);
    }

    bool started = false;
    double peak = 0;
    for (const auto& [x, y] : points) {
        (void)x;
        if (!started || y > peak) {
            peak = y;
            started = true;
            continue;
        }
        s.maxDrawdown = std::max(s.maxDrawdown, peak - y);
        if (peak > 0)
            s.maxDrawdownPercent = std::max(s.maxDrawdownPercent, (peak - y) / peak * 100);
    }
    return s;
}

std::vector<std::pair<std::string, std::string>> StatsFigures(const JournalStats& s) {
    std::vector<std::pair<std::string, std::string>> f = {
        {"平仓次数", std::to_string(s.closed)},
        {"胜率", Percent(Ratio(s.wins * 100.0, s.closed))},
        {"平均盈利", Money(Ratio(s.grossWin, s.wins))},
        {"平均亏损", Money(Ratio(s.grossLoss, s.losses))},
        {"盈亏比", Money(Ratio(s.grossWin, -s.grossLoss))},
        {"期望值", Money(Ratio(s.grossWin + s.grossLoss, s.closed))},
        {"最大连续亏损", std::to_string(s.longestLosingRun)},
        {"最大回撤", Money(s.maxDrawdown)},
        {"最大回撤率", Percent(s.maxDrawdownPercent)},
        {"扣除手续费净利", Money(s.profitSum - s.commissionSum)},
    };
    if (s.unreadable > 0) f.emplace_back("无法计入的记录", std::to_string(s.unreadable));
    return f;
}

std::string StatsText(const JournalStats& s) {
    const auto figures = StatsFigures(s);
    std::string text = "扩展统计";
    for (std::size_t i = 0; i < figures.size(); ++i) {
        text += i % 2 == 0 ? "\r\n" : "      ";
        text += figures[i].first + "：" + figures[i].second;
    }
    return text;
}

} // namespace vantor
