#include "chart/navigation.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

namespace vantor {

int ZoomedIn(int scale, int chartWidth) {
    return 6 * scale < chartWidth ? scale + 1 : scale;
}

int ZoomedOut(int scale) {
    return scale > 1 ? scale - 1 : scale;
}

int PannedLeftBar(int leftBar, int pressX, int x) {
    return std::max(leftBar + (pressX - x), 0);
}

int PagedLeftBar(int leftBar, int visible, int pages) {
    return std::max(leftBar + pages * std::max(visible, 1), 0);
}

int BarUnderX(int x, int lm, double scale, int leftBar, int len) {
    int k = static_cast<int>(std::trunc((x - lm) / std::max(scale, 1e-9))) + leftBar;
    if (k < 0) k = leftBar;
    if (k > len - 1) k = len - 1;
    return k;
}

int TickUnderX(int x, int lm, double scale, int len) {
    int k = std::max(static_cast<int>(std::trunc((x - lm) / std::max(scale, 1e-9))), 0);
    if (k > len - 1) k = len - 1;
    return k;
}

KeyCursor StepLeft(bool shown, int bar, int count, int leftBar) {
    int c = shown ? bar : count - 1;
    if (c > count) c = count - 1;
    if (c > 0) --c;
    if (c < leftBar) {
        if (leftBar > 0)
            --leftBar; // the view scrolls one bar
        else
            c = 0;
    }
    return {c, leftBar};
}

KeyCursor StepRight(bool shown, int bar, int count, int leftBar, double scale, int lm,
                    int chartWidth) {
    int c = shown ? bar : leftBar;
    if (c < count - 1) ++c;
    int right = static_cast<int>(std::trunc((c - leftBar) * scale + scale)) + lm;
    if (right > chartWidth && c < count) ++leftBar;
    return {c, leftBar};
}

int TickStepLeft(bool shown, int tick, int ticks, int slots) {
    int c = shown ? tick : ticks - 1;
    if (c > slots) c = slots - 1;
    if (c > 0) --c;
    return shown ? c : ticks - 1;
}

int TickStepRight(bool shown, int tick, int ticks, int slots) {
    int c = shown ? tick : 0;
    return c < std::min(ticks, slots) - 1 ? c + 1 : c;
}

namespace {

std::string Fmt(const char* f, double v) {
    char buf[96];
    std::snprintf(buf, sizeof buf, f, v);
    return buf;
}

std::string Clock(const char* f, double t) {
    int v = IsFinite(t) ? static_cast<int>(std::trunc(t)) : 0;
    char buf[64];
    std::snprintf(buf, sizeof buf, f, v / 100, v % 100);
    return buf;
}

// A bar's value of series `name`; false when the series is missing.
bool ValueOf(WindowProgram& prog, const char* name, int i, double& v) {
    SeriesView s;
    if (!prog.Series(name, s)) return false;
    v = s.at(i);
    return true;
}

std::string DateLine(double d) {
    int v = IsFinite(d) ? static_cast<int>(std::trunc(d)) : 0;
    int y = v / 10000, m = v / 100 % 100, day = v % 100;
    char buf[96];
    std::snprintf(buf, sizeof buf, "\u3000 日期:%d/%.02d/%.02d", y, m, day);
    std::string s = buf;
    static const char* const kWeekdays[] = {"日", "一", "二", "三", "四", "五", "六"};
    using namespace std::chrono;
    const year_month_day ymd{year{y}, month{static_cast<unsigned>(m)},
                             std::chrono::day{static_cast<unsigned>(day)}};
    if (ymd.ok()) s += std::string("/") + kWeekdays[weekday{sys_days{ymd}}.c_encoding()];
    return s;
}

} // namespace

bool DateOfBar(WindowProgram& prog, int bar, int& date, float& price) {
    SeriesView d, c;
    if (!prog.Series("date", d) || !prog.Series("close", c)) return false;
    if (bar <= 0 || bar >= prog.DataLen()) return false;
    date = static_cast<int>(std::trunc(d.at(bar)));
    price = static_cast<float>(c.at(bar));
    return true;
}

std::string BarReadout(WindowProgram& prog, int i, TWeekStyle period, double value,
                       const std::vector<TStockQuan>& quan) {
    if (i < 0 || i >= prog.DataLen()) return {};
    std::string t;
    double v;
    if (ValueOf(prog, "date", i, v)) t += DateLine(v);
    if ((period < wsDay || period == wsFenBi) && ValueOf(prog, "time", i, v))
        t += "\r\n" + Clock(" \u3000时间: %.2d:%.2d", v);
    t += "\r\n";
    auto line = [&t](const std::string& s) { t += s + "\r\n"; };
    if (value != kInvalidValue) line(Fmt(" \u3000数值:%.3f", value));
    struct Price {
        const char* series;
        const char* format;
    };
    for (const Price& p : {Price{"open", " \u3000开盘:%.2f"}, Price{"high", "\u3000 最高:%.2f"},
                           Price{"low", " \u3000最低:%.2f"}, Price{"close", " \u3000收盘:%.2f"}})
        if (ValueOf(prog, p.series, i, v)) line(Fmt(p.format, v));
    if (ValueOf(prog, "vol", i, v)) line(Fmt(" 成交量:%.0f", v / 100));
    if (ValueOf(prog, "amount", i, v)) line(Fmt(" 成交额:%.2f万", v / 10000));
    double close, prev;
    if (ValueOf(prog, "close", i, close) && i > 1 && ValueOf(prog, "close", i - 1, prev) &&
        prev != 0)
        line(Fmt("\u3000 涨跌:%.2f%%", (close - prev) * 100 / prev));
    double hi, lo;
    if (ValueOf(prog, "high", i, hi) && ValueOf(prog, "low", i, lo) && lo != 0)
        line(Fmt("\u3000 振幅:%.2f%%", (hi - lo) * 100 / lo));
    // The first adjustment event dated on the bar's day.
    double date;
    if (!quan.empty() && ValueOf(prog, "date", i, date)) {
        for (size_t k = 0; k < quan.size() && k < 40 && quan[k].Mode != 0; ++k) {
            const TStockQuan& q = quan[k];
            if (q.date != static_cast<int>(std::trunc(date))) continue;
            if (q.money > 0) line(Fmt(" 10股送:%.2f元", q.money));
            if (q.Number > 0) line(Fmt(" 10股送:%.2f股", q.Number));
            if (q.PeiMoney > 0) line(Fmt(" 配股价:%.2f元", q.PeiMoney));
            if (q.PeiNumber > 0) line(Fmt(" 10股配:%.2f股", q.PeiNumber));
            break;
        }
    }
    return t;
}

std::string TickReadout(WindowProgram& prog, int i, double prevClose) {
    if (i < 0 || i >= prog.DataLen()) return {};
    std::string t;
    auto line = [&t](const std::string& s) { t += s + "\r\n"; };
    double v;
    if (ValueOf(prog, "time", i, v)) line(Clock(" \u3000时间:%.2d:%.2d", v));
    if (ValueOf(prog, "close", i, v)) {
        line(Fmt(" \u3000价位:%.3f", v));
        if (prevClose != kInvalidValue && prevClose != 0)
            line(Fmt("\u3000 涨跌:%.2f%%", (v - prevClose) * 100 / prevClose));
    }
    if (ValueOf(prog, "vol", i, v)) line(Fmt(" 成交量:%.0f", v));
    if (ValueOf(prog, "amount", i, v)) {
        if (v > 1000000)
            line(Fmt(" 成交额:%.2f亿", v / 1000000));
        else if (v > 100)
            line(Fmt(" 成交额:%.2f万", v / 100));
        else
            line(Fmt(" 成交额:%.0f", v * 100));
    }
    return t;
}

} // namespace vantor
