// Number texts: reading, writing and the round trip of the free format.
#include <gtest/gtest.h>

#include "qxdefs.h"
#include "qxutil.h"

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstring>
#include <random>
#include <string>

namespace {

TEST(TextToInt, Table)
{
    struct Case { const char *text; int expected; };
    const Case cases[] = {
        {"0", 0},          {"42", 42},       {"  -17", -17},   {"+5", 5},
        {"12abc", 12},     {"2.7", 2},       {"abc", 0},       {"", 0},
        {"\n1", 1},        {"99999999999", INT_MAX},           {"-99999999999", INT_MIN},
        {"2147483647", INT_MAX},             {"-2147483648", INT_MIN},
    };
    for (const Case &c : cases)
        EXPECT_EQ(UtilTextToInt(c.text), c.expected) << "\"" << c.text << "\"";
    EXPECT_EQ(UtilTextToInt(nullptr), 0);
}

TEST(TextToDouble, Table)
{
    struct Case { const char *text; double expected; };
    const Case cases[] = {
        {"1.5", 1.5},      {"  -2e3 ", -2000.0}, {".5", 0.5},      {"5.", 5.0},
        {"+7", 7.0},       {"1E+02", 100.0},     {"0.1", 0.1},     {"1e-400", 0.0},
        {"1.7976931348623157e308", DBL_MAX},
        {"", MISSING_VALUE},      {"   ", MISSING_VALUE},  {"1.5x", MISSING_VALUE},
        {"--", MISSING_VALUE},    {"inf", MISSING_VALUE},  {"nan", MISSING_VALUE},
        {"1e400", MISSING_VALUE}, {"e5", MISSING_VALUE},   {".", MISSING_VALUE},
        {"1 2", MISSING_VALUE},   {"0x10", MISSING_VALUE}, {"1e", MISSING_VALUE},
        // Exponents beyond any integer type: the digits before them still decide.
        {"12e99999999999", MISSING_VALUE}, {"1e2147483647", MISSING_VALUE},
        {"1e-99999999999", 0.0},           {"0.01e-2147483648", 0.0},
    };
    for (const Case &c : cases)
        EXPECT_EQ(UtilTextToDouble(c.text), c.expected) << "\"" << c.text << "\"";
    EXPECT_EQ(UtilTextToDouble(nullptr), MISSING_VALUE);
}

TEST(ScanNumber, ReadsTheLeadingNumberAndCountsItsCharacters)
{
    struct Case { const char *text; int used; double value; };
    const Case cases[] = {
        {"12.5", 4, 12.5},   {"  3 apples", 3, 3.0}, {"-1e2x", 4, -100.0},
        {"1e", 1, 1.0},      {"x1", 0, MISSING_VALUE}, {"", 0, MISSING_VALUE},
    };
    for (const Case &c : cases) {
        double v = 123.0;
        EXPECT_EQ(UtilScanNumber(c.text, &v), c.used) << c.text;
        EXPECT_EQ(v, c.value) << c.text;
    }
    double v = 1;
    EXPECT_EQ(UtilScanNumber(nullptr, &v), 0);
    EXPECT_EQ(v, MISSING_VALUE);
    EXPECT_EQ(UtilScanNumber("1", nullptr), 0);
}

TEST(IntToText, WritesDecimal)
{
    EXPECT_STREQ(UtilIntToText(0), "0");
    EXPECT_STREQ(UtilIntToText(-123), "-123");
    EXPECT_STREQ(UtilIntToText(INT_MIN), "-2147483648");
}

TEST(FormatNumber, Table)
{
    struct Case { double value; const char *format; const char *expected; };
    const Case cases[] = {
        {2.25, ".1", "2.2"},            {2.35, ".1", "2.4"},     {-0.04, ".1", "0.0"},
        {1234.5678, ".2", "1234.57"},   {7, ".0", "7"},          {0, ".3", "0.000"},
        {1.5e20, ".1", "1.5E+20"},      {3, ".99", "3.000000000000000"},
        {1150, "*3", "1.15E+03"},       {1150, "*4", "1150"},     {0.5, "*3", "0.5"},
        {0.000123456, "*3", "0.000123"}, {0.0000123456, "*3", "1.23E-05"},
        {-2.0 / 3.0, "*5", "-0.66667"}, {1e100, "*2", "1E+100"},  {123456, "*1", "1E+05"},
        {0.1, "*", "0.1"},              {1.0 / 3.0, "*", "0.3333333333333333"},
        {100, "*", "100"},              {1e20, "*", "1E+20"},     {123456789012.0, "*", "123456789012"},
        {-0.0, "*", "0"},               {5e-324, "*", "5E-324"},
        {MISSING_VALUE, "*", "--"},     {INFINITY, ".2", "--"},   {NAN, "*3", "--"},
        {2.5, nullptr, "2.5"},          {2.5, "%g", "2.5"},       {2.5, "*0", "2.5"},
    };
    for (const Case &c : cases) {
        char buffer[UTIL_NUMBER_TEXT_SIZE];
        EXPECT_EQ(UtilFormatNumber(c.value, buffer, c.format), buffer);
        EXPECT_STREQ(buffer, c.expected) << c.value << " with " << (c.format ? c.format : "null");
    }
    EXPECT_EQ(UtilFormatNumber(1.0, nullptr, "*"), nullptr);
}

TEST(FormatNumber, LongestTextsFitTheStatedRoom)
{
    const double values[] = {-DBL_MAX, -DBL_MIN, -5e-324, -1.2345678901234567e-300,
                             -999999999999999.9, -1e15 + 0.5};
    const char *formats[] = {"*", "*17", ".15", ".0", "*1"};
    for (double v : values)
        for (const char *f : formats) {
            char buffer[UTIL_NUMBER_TEXT_SIZE + 8];
            std::memset(buffer, 'x', sizeof buffer);
            UtilFormatNumber(v, buffer, f);
            EXPECT_LT(std::strlen(buffer), size_t(UTIL_NUMBER_TEXT_SIZE)) << v << " " << f;
        }
}

// What "*" writes must read back as the very same double: a settings file written and
// read again may not drift.
TEST(FormatNumber, FreeFormatRoundTrips)
{
    std::mt19937_64 random(20261209);
    std::uniform_int_distribution<unsigned long long> bits;
    int checked = 0;
    while (checked < 20000) {
        unsigned long long b = bits(random);
        double v;
        std::memcpy(&v, &b, sizeof v);
        if (!std::isfinite(v) || v == MISSING_VALUE)
            continue;
        char buffer[UTIL_NUMBER_TEXT_SIZE];
        UtilFormatNumber(v, buffer, "*");
        double back = UtilTextToDouble(buffer);
        ASSERT_EQ(back, v) << buffer;
        ++checked;
    }
    const double edges[] = {DBL_MAX, DBL_MIN, 5e-324, 9007199254740993.0, 0.1 + 0.2, 1e15, 1e16};
    for (double v : edges) {
        char buffer[UTIL_NUMBER_TEXT_SIZE];
        EXPECT_EQ(UtilTextToDouble(UtilFormatNumber(v, buffer, "*")), v) << buffer;
    }
}

TEST(StripBlanks, RemovesBlanksOutsideQuotes)
{
    struct Case { const char *text; const char *expected; };
    const Case cases[] = {
        {" 1, 2 ,3 ", "1,2,3"},
        {"DOUBLE | SHORT 2", "DOUBLE|SHORT2"},
        {"\t\"My Data\" , x", "\"My Data\",x"},
        {"", ""},
        {"\"open", "\"open"},
    };
    for (const Case &c : cases) {
        char buffer[64];
        std::strcpy(buffer, c.text);
        EXPECT_EQ(UtilStripBlanks(buffer), buffer);
        EXPECT_STREQ(buffer, c.expected) << c.text;
    }
    EXPECT_EQ(UtilStripBlanks(nullptr), nullptr);
}

} // namespace
