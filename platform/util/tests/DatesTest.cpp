// Date numbers. Expected values: Python's date.toordinal() + 1721424 (the Julian day of
// a midnight minus one half), computed apart from this library.
#include <gtest/gtest.h>

#include "qxutil.h"

namespace {

UtilCalendar Fields(int year, int month1, int day, int hour = 0, int minute = 0, int second = 0)
{
    return UtilCalendar{second, minute, hour, day, month1 - 1, year, {0, 0, 0}};
}

TEST(CalendarToNumber, Table)
{
    struct Case { UtilCalendar fields; double expected; };
    const Case cases[] = {
        {Fields(1899, 12, 30), 2415018},        {Fields(1904, 1, 1), 2416480},
        {Fields(1970, 1, 1), 2440587},          {Fields(2000, 1, 1), 2451544},
        {Fields(1, 1, 1), 1721425},             {Fields(9999, 12, 31), 5373483},
        {Fields(2000, 2, 29), 2451603},         {Fields(2024, 3, 1), 2460370},
        {Fields(1600, 3, 1), 2305507},
        {Fields(2000, 1, 1, 12), 2451544.5},    {Fields(2000, 1, 1, 6, 0, 0), 2451544.25},
        {Fields(2000, 1, 1, 23, 59, 60), 2451545},
    };
    for (const Case &c : cases) {
        double number = -1;
        EXPECT_EQ(UtilCalendarToNumber(&c.fields, &number, 6), 0) << c.expected;
        EXPECT_EQ(number, c.expected);
    }
    UtilCalendar t = Fields(2001, 5, 17, 13, 45, 30);
    double number = 0;
    ASSERT_EQ(UtilCalendarToNumber(&t, &number, 6), 0);
    EXPECT_NEAR(number, 2452046 + (13 * 3600 + 45 * 60 + 30) / 86400.0, 1e-9);
}

TEST(CalendarToNumber, RefusesBadFieldsAndLeavesTheNumber)
{
    const UtilCalendar bad[] = {
        Fields(1900, 2, 29), Fields(2023, 2, 29), Fields(2000, 4, 31), Fields(2000, 1, 0),
        Fields(2000, 13, 1), Fields(2000, 0, 1),  Fields(0, 1, 1),     Fields(10000, 1, 1),
        Fields(2000, 1, 1, 24), Fields(2000, 1, 1, 0, 60), Fields(2000, 1, 1, 0, 0, 61),
        Fields(2000, 1, 1, -1),
    };
    for (const UtilCalendar &f : bad) {
        double number = 7;
        EXPECT_NE(UtilCalendarToNumber(&f, &number, 6), 0)
            << f.year << "-" << f.month + 1 << "-" << f.day << " " << f.hour << ":" << f.minute;
        EXPECT_EQ(number, 7);
    }
    UtilCalendar ok = Fields(2000, 1, 1);
    double number = 7;
    EXPECT_NE(UtilCalendarToNumber(&ok, &number, 5), 0);
    EXPECT_NE(UtilCalendarToNumber(nullptr, &number, 6), 0);
    EXPECT_NE(UtilCalendarToNumber(&ok, nullptr, 6), 0);
    EXPECT_EQ(number, 7);
}

} // namespace
