#include "chart/date_axis.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace vantor {

namespace {

int Whole(double v) {
    return IsFinite(v) && v != kInvalidValue ? static_cast<int>(std::trunc(v)) : 0;
}

struct Candidate {
    int rank; // lower goes first
    int x;
    std::string text;
};

std::string Printf(const char* f, int a, int b = 0) {
    char buf[32];
    std::snprintf(buf, sizeof buf, f, a, b);
    return buf;
}

} // namespace

AxisMarks DateAxisMarks(TWeekStyle period, const SeriesView& date, const SeriesView& time,
                        int leftBar, int end, const std::function<int(int)>& x,
                        const std::function<int(const std::string&)>& width, int left, int right) {
    AxisMarks marks;
    std::vector<Candidate> cands;
    const bool intraday = period < wsDay || period == wsFenBi;
    for (int l = leftBar; l < end; ++l) {
        const int d = Whole(date.at(l)), px = x(l);
        const bool first = l == leftBar;
        const int pd = first ? d : Whole(date.at(l - 1));
        if (period == wsDay) {
            if (first) cands.push_back({0, px, std::to_string(d / 10000) + "年"});
            if (!first && d % 10000 / 100 != pd % 10000 / 100) {
                marks.ticks.push_back(px);
                cands.push_back({1, px + 2, std::to_string(d % 10000 / 100)});
            }
        } else if (intraday) {
            if (first || d != pd) {
                if (!first) marks.ticks.push_back(px);
                cands.push_back({0, px + 2, Printf("%02d-%02d", d % 10000 / 100, d % 100)});
            } else {
                const int t = Whole(time.at(l)), pt = Whole(time.at(l - 1));
                if (t / 100 != pt / 100)
                    cands.push_back({1, px + 2, Printf("%02d:%02d", t / 100, t % 100)});
            }
        } else {
            const bool newYear = !first && d / 10000 != pd / 10000;
            const bool newMonth = !first && d / 100 != pd / 100;
            if (first || newYear) {
                if (newYear) marks.ticks.push_back(px);
                cands.push_back({0, px + 2, std::to_string(d / 10000)});
            } else if (newMonth) {
                cands.push_back({1, px + 2, std::to_string(d % 10000 / 100)});
            }
        }
    }
    // The more important labels claim their room first; a gap of 4 pixels between texts.
    std::stable_sort(cands.begin(), cands.end(),
                     [](const Candidate& a, const Candidate& b) { return a.rank < b.rank; });
    struct Span {
        int a, b;
    };
    std::vector<Span> taken;
    for (auto& c : cands) {
        const int w = width(c.text);
        const int a = std::max(c.x, left), b = a + w;
        if (b > right) continue;
        bool free = std::none_of(taken.begin(), taken.end(),
                                 [&](const Span& s) { return a < s.b + 4 && s.a < b + 4; });
        if (!free) continue;
        taken.push_back({a, b});
        marks.labels.push_back({a, c.text});
    }
    std::sort(marks.labels.begin(), marks.labels.end(),
              [](const AxisLabel& a, const AxisLabel& b) { return a.x < b.x; });
    return marks;
}

} // namespace vantor
