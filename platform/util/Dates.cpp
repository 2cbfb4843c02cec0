// Date numbers: days counted so that each integer is a midnight, on the Julian day scale
// shifted by one half (1899-12-30 00:00 is 2415018). Date columns of imported files and
// of databases meet on this scale, so every layer converts through it.
#include "qxutil.h"

static_assert(sizeof(UtilCalendar) == 36, "the calendar record is nine 32-bit fields");

namespace {

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int month0)
{
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month0 == 1 && IsLeap(y) ? 29 : days[month0];
}

// Days from 1970-01-01 to the given civil date (proleptic Gregorian), by the
// era-of-400-years count, which is exact for every year.
long long DaysFromCivil(long long y, unsigned m /* 1..12 */, unsigned d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

const double kUnixEpochDateNumber = 2440587.0;

} // namespace

extern "C" int UtilCalendarToNumber(const UtilCalendar *fields, double *number, int fieldCount)
{
    if (!fields || !number || fieldCount != 6)
        return 1;
    const UtilCalendar &c = *fields;
    if (c.year < 1 || c.year > 9999 || c.month < 0 || c.month > 11 || c.day < 1 ||
        c.day > DaysInMonth(c.year, c.month) || c.hour < 0 || c.hour > 23 || c.minute < 0 ||
        c.minute > 59 || c.second < 0 || c.second > 60)
        return 1;
    long long days = DaysFromCivil(c.year, unsigned(c.month + 1), unsigned(c.day));
    double seconds = c.hour * 3600.0 + c.minute * 60.0 + c.second;
    *number = kUnixEpochDateNumber + double(days) + seconds / 86400.0;
    return 0;
}
