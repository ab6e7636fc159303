#include <gtest/gtest.h>

#include "market/period_stamp.h"

namespace vantor {
namespace {

struct StampCase {
    TWeekStyle period;
    int date, time;
    const char* wantDate; // label of the stamp
    const char* wantTime;
};

std::string Label(double stamp) {
    ShortStr d, t;
    StampLabel(stamp, d, t);
    return d.str() + " " + t.str();
}

TEST(PeriodStamp, LabelsEveryPeriod) {
    const StampCase cases[] = {
        {wsmin1, 20150310, 931, "20150310", "0931"},
        {wsmin1, 20150310, 0, "20150310", "0000"},
        {wsMin3, 20150310, 931, "20150310", "0933"},
        {wsMin3, 20150310, 933, "20150310", "0933"},
        {wsMin3, 20150310, 934, "20150310", "0936"},
        {wsMin3, 20150310, 1000, "20150310", "1000"},
        {wsMin3, 20150310, 1057, "20150310", "1057"},
        {wsMin3, 20150310, 1058, "20150310", "1100"},
        {wsMin3, 20150310, 2358, "20150311", "0000"}, // the hour roll-over crosses midnight
        {wsMin3, 20151231, 2359, "20160101", "0000"},
        {wsMin5, 20150310, 956, "20150310", "1000"},
        {wsMin5, 20150310, 1000, "20150310", "1000"},
        {wsMin5, 20150310, 1001, "20150310", "1005"},
        {wsMin5, 20150310, 1055, "20150310", "1055"},
        {wsmin10, 20150310, 1041, "20150310", "1050"},
        {wsmin10, 20150310, 1051, "20150310", "1100"},
        {wsMin15, 20150310, 1016, "20150310", "1030"},
        {wsMin15, 20150310, 1046, "20150310", "1100"},
        {wsMin30, 20150310, 1031, "20150310", "1100"},
        {wsMin30, 20150310, 1030, "20150310", "1030"},
        {wsMin60, 20150310, 1459, "20150310", "1500"},
        {wsMin60, 20150310, 1500, "20150310", "1500"},
        {wsDay, 20150310, 1415, "20150310", "0000"},
        {wsWeek, 20150309, 0, "20150313", "0000"}, // Monday
        {wsWeek, 20150313, 0, "20150313", "0000"}, // Friday
        {wsWeek, 20150315, 0, "20150313", "0000"}, // Sunday belongs to the same week
        {wsWeek, 20150316, 0, "20150320", "0000"}, // next Monday
        {wsMonth, 20150210, 0, "20150228", "0000"},
        {wsMonth, 20160210, 0, "20160229", "0000"},
        {wsJi, 20150115, 0, "20150331", "2359"},
        {wsJi, 20150610, 0, "20150630", "2359"},
        {wsJi, 20150701, 0, "20151031", "2359"},
        {wsJi, 20150820, 0, "20151031", "2359"}, // four-month group July..October
        {wsJi, 20151031, 0, "20151031", "2359"},
        {wsJi, 20151101, 0, "20151231", "2359"},
        {wsDay45, 20150820, 0, "20151031", "2359"},
        {wsYear, 20150820, 0, "20151231", "0000"},
        {wsFenBi, 20150310, 1415, "20150310", "1600"}, // four-hour blocks
        {wsNone, 20150310, 2215, "20150311", "0000"},
        {wsNone, 20150310, 300, "20150310", "0400"},
    };
    for (const auto& c : cases) {
        auto s = GetPeriodStamp(c.period, c.time, c.date);
        ASSERT_TRUE(s) << c.period << " " << c.date << " " << c.time;
        EXPECT_EQ(Label(*s), std::string(c.wantDate) + " " + c.wantTime)
            << "period " << c.period << " " << c.date << " " << c.time;
    }
}

TEST(PeriodStamp, MomentsWithoutStamp) {
    const struct {
        TWeekStyle period;
        int date, time;
    } cases[] = {
        {wsmin1, 20150230, 930}, // no 30 February
        {wsDay, 0, 0},           // empty date of a malformed line
        {wsmin1, 20150310, 2500},
        {wsMin5, 20150310, 1075},
        {wsWeek, 20151301, 0},
        {wsDay, 20150132, 0},
        {wsmin1, 20150310, -5},
    };
    for (const auto& c : cases)
        EXPECT_FALSE(GetPeriodStamp(c.period, c.time, c.date)) << c.date << " " << c.time;
    // A day stamp only needs the date.
    EXPECT_TRUE(GetPeriodStamp(wsDay, 2500, 20150310));
}

TEST(PeriodStamp, EncodeBarTimeAndDecodeAgree) {
    auto t = EncodeBarTime(931, 20150310);
    ASSERT_TRUE(t);
    DateTimeParts p = DecodeDateTime(*t);
    EXPECT_EQ(p.year, 2015);
    EXPECT_EQ(p.month, 3);
    EXPECT_EQ(p.day, 10);
    EXPECT_EQ(p.hour, 9);
    EXPECT_EQ(p.minute, 31);
    EXPECT_DOUBLE_EQ(*EncodeDate(1899, 12, 30), 0.0);
    EXPECT_DOUBLE_EQ(*EncodeDate(2015, 3, 10), 42073.0);
}

} // namespace
} // namespace vantor
