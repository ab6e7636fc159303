#include "market/period_stamp.h"

#include <cmath>

namespace vantor {

namespace {

constexpr double kMsPerDay = 86400000.0;
constexpr double kMinute = 1.0 / 1440.0;
constexpr double kHour = 1.0 / 24.0;

// Days from 1970-01-01 of a proleptic Gregorian date (Howard Hinnant's civil algorithm).
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, int& y, int& m, int& d) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(static_cast<long long>(yoe) + era * 400 + (m <= 2));
}

constexpr long long kEpochOffset = 25569; // 1970-01-01 as a day number from 1899-12-30

bool IsLeap(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int y, int m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : days[m - 1];
}

double DayNumber(int y, int m, int d) {
    return static_cast<double>(
        DaysFromCivil(y, static_cast<unsigned>(m), static_cast<unsigned>(d)) + kEpochOffset);
}

void SplitDate(int date, int& y, int& m, int& d) {
    d = date % 100;
    m = (date % 10000) / 100;
    y = date / 10000;
}

} // namespace

std::optional<double> EncodeDate(int year, int month, int day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > DaysInMonth(year, month))
        return std::nullopt;
    return DayNumber(year, month, day);
}

DateTimeParts DecodeDateTime(double dt) {
    DateTimeParts p;
    double days = std::floor(dt);
    long long ms = std::llround((dt - days) * kMsPerDay);
    if (ms >= static_cast<long long>(kMsPerDay)) {
        days += 1;
        ms -= static_cast<long long>(kMsPerDay);
    }
    CivilFromDays(static_cast<long long>(days) - kEpochOffset, p.year, p.month, p.day);
    p.hour = static_cast<int>(ms / 3600000);
    p.minute = static_cast<int>(ms / 60000 % 60);
    p.second = static_cast<int>(ms / 1000 % 60);
    p.msec = static_cast<int>(ms % 1000);
    return p;
}

std::optional<double> EncodeBarTime(int time, int date) {
    int y, m, d;
    SplitDate(date, y, m, d);
    auto day = EncodeDate(y, m, d);
    int h = time / 100, mi = time % 100;
    if (!day || time < 0 || h > 23 || mi > 59) return std::nullopt;
    return DayTime(*day, h, mi);
}

BarMoment ReadBarMoment(int time, int date) {
    BarMoment at;
    SplitDate(date, at.year, at.month, at.day);
    at.dayNumber = EncodeDate(at.year, at.month, at.day);
    at.hour = time / 100;
    at.minute = time % 100;
    at.timeOk = time >= 0 && at.hour <= 23 && at.minute <= 59;
    return at;
}

std::optional<double> GetPeriodStamp(TWeekStyle period, int time, int date) {
    return GetPeriodStamp(period, ReadBarMoment(time, date));
}

std::optional<double> GetPeriodStamp(TWeekStyle period, const BarMoment& at) {
    const auto& day = at.dayNumber;
    if (!day) return std::nullopt;
    const int y = at.year, m = at.month, h = at.hour, mi = at.minute;
    const bool timeOk = at.timeOk;
    const double ms = 1.0 / kMsPerDay;

    // Rounds the minute up to the next multiple of `step`; past the hour's last group the
    // bar belongs to the next full hour.
    auto roundUp = [&](int step) -> std::optional<double> {
        if (!timeOk) return std::nullopt;
        if (mi == 0) return *day + h * kHour;
        int up = (mi + step - 1) / step * step;
        if (up >= 60) return *day + (h + 1) * kHour;
        return *day + h * kHour + up * kMinute;
    };

    switch (period) {
    case wsmin1:
        if (!timeOk) return std::nullopt;
        return *day + h * kHour + mi * kMinute;
    case wsMin3:
        return roundUp(3);
    case wsMin5:
        return roundUp(5);
    case wsmin10:
        return roundUp(10);
    case wsMin15:
        return roundUp(15);
    case wsMin30:
        return roundUp(30);
    case wsMin60:
        return roundUp(60);
    case wsDay:
        return *day;
    case wsWeek: {
        long long days = static_cast<long long>(*day);
        int isoDow = static_cast<int>(((days + 5) % 7 + 7) % 7) + 1; // Monday 1 .. Sunday 7
        return static_cast<double>(days + (5 - isoDow)) + 59 * ms;
    }
    case wsMonth:
        return DayNumber(y, m, DaysInMonth(y, m)) + 59 * ms;
    case wsDay45:
    case wsJi: {
        int endMonth = m <= 3 ? 3 : m <= 6 ? 6 : m <= 10 ? 10 : 12;
        return DayNumber(y, endMonth, DaysInMonth(y, endMonth)) + (86400 - 1) / 86400.0;
    }
    case wsYear:
        return DayNumber(y, 12, 31) + 59 * ms;
    default: {
        if (!timeOk) return std::nullopt;
        int block = h / 4 + 1; // 0-3 -> 04:00 ... 20-23 -> 24:00 (00:00 of the next day)
        return *day + block * 4 * kHour;
    }
    }
}

void StampLabel(double stamp, ShortStr& srq, ShortStr& ssj) {
    StampLabel(DecodeDateTime(stamp), srq, ssj);
}

void StampLabel(const DateTimeParts& p, ShortStr& srq, ShortStr& ssj) {
    char date[9], time[5];
    int v = p.year;
    for (int i = 3; i >= 0; --i, v /= 10) date[i] = static_cast<char>('0' + v % 10);
    date[4] = static_cast<char>('0' + p.month / 10);
    date[5] = static_cast<char>('0' + p.month % 10);
    date[6] = static_cast<char>('0' + p.day / 10);
    date[7] = static_cast<char>('0' + p.day % 10);
    time[0] = static_cast<char>('0' + p.hour / 10);
    time[1] = static_cast<char>('0' + p.hour % 10);
    time[2] = static_cast<char>('0' + p.minute / 10);
    time[3] = static_cast<char>('0' + p.minute % 10);
    srq.assign(std::string_view(date, 8));
    ssj.assign(std::string_view(time, 4));
}

} // namespace vantor
