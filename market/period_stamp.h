#pragma once
// Date-times as day numbers (days since 1899-12-30, the fraction is the time of day) and
// the period stamp that decides which base bars belong to one bar of a longer period.

#include <optional>

#include "market/price.h"

namespace vantor {

// Day number of a calendar date; nullopt when the date does not exist.
std::optional<double> EncodeDate(int year, int month, int day);

// Calendar parts of a date-time, the time rounded to whole milliseconds.
struct DateTimeParts {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, msec = 0;
};
DateTimeParts DecodeDateTime(double dt);

// The date-time of `date` (yyyymmdd) at hh:mm of `time` (hhmm), seconds 0; nullopt when the
// date does not exist or the hour is above 23 or the minute above 59.
std::optional<double> EncodeBarTime(int time, int date);

// The date-time that labels the bar of `period` containing the moment time/date; nullopt when
// the moment has no stamp in that period (a date that does not exist, hour > 23, minute > 59).
std::optional<double> GetPeriodStamp(TWeekStyle period, int time, int date);

// A bar's date and time read once, for the stamps of all its periods.
struct BarMoment {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
    std::optional<double> dayNumber; // nullopt: the date does not exist
    bool timeOk = false;             // hour 0..23, minute 0..59
};
BarMoment ReadBarMoment(int time, int date);
// GetPeriodStamp of the moment `at`.
std::optional<double> GetPeriodStamp(TWeekStyle period, const BarMoment& at);
// The minutes of each intraday period, in their stored order.
constexpr int kIntradayMinutes[] = {1, 3, 5, 10, 15, 30, 60};
// The minute of the day (0 .. 1440) that labels the bar of intraday `period` containing `at`:
// the same moment GetPeriodStamp gives, counted in whole minutes from the moment's own day,
// 1440 being midnight of the next day. -1 when the moment has no stamp.
inline int IntradayLabelMinute(TWeekStyle period, const BarMoment& at) {
    if (!IsIntraday(period) || !at.dayNumber || !at.timeOk) return -1;
    const int h = at.hour, mi = at.minute;
    if (period == wsmin1 || mi == 0) return h * 60 + mi;
    const int step = kIntradayMinutes[static_cast<int>(period)];
    // Rounded up to the next multiple of the step; 60 is the next full hour.
    return h * 60 + (mi + step - 1) / step * step;
}
// The date-time of hh:mm on the day numbered `dayNumber`; EncodeBarTime once the date is known.
inline double DayTime(double dayNumber, int hour, int minute) {
    return dayNumber + hour * (1.0 / 24.0) + minute * (1.0 / 1440.0);
}
// Whether the stamp of `period` depends on the date alone.
constexpr bool StampedByDate(TWeekStyle period) {
    return static_cast<int>(period) >= static_cast<int>(wsDay) &&
           static_cast<int>(period) <= static_cast<int>(wsYear);
}

// The label of a cache bar: the stamp formatted "yyyymmdd" and "hhnn".
void StampLabel(double stamp, ShortStr& srq, ShortStr& ssj);
// The same from the stamp's parts.
void StampLabel(const DateTimeParts& p, ShortStr& srq, ShortStr& ssj);

// Stamps at least this far apart (in days) start a new cache bar.
constexpr double PeriodThreshold(TWeekStyle period) {
    return static_cast<int>(period) <= static_cast<int>(wsWeek) ? 0.000625 : 1.0 / 720.0;
}

} // namespace vantor
