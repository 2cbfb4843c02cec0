// The text readers' number conversion against the library's general one, bit for bit:
// the readers' own path must never give a different double, nor a number where the
// general conversion gives the missing value.
#include <gtest/gtest.h>

#include <stdint.h>
#include <string.h>

#include <random>
#include <string>

#include "Fum.h"
#include "qxutil.h"

namespace {

uint64_t Bits(double v)
{
    uint64_t b;
    memcpy(&b, &v, sizeof b);
    return b;
}

void ExpectSameAsGeneral(const std::string& text)
{
    double general = UtilTextToDouble(text.c_str());
    double own = FumTextToNumber(text.data(), text.size());
    EXPECT_EQ(Bits(own), Bits(general)) << "\"" << text << "\": " << own << " against " << general;
}

} // namespace

TEST(FumNumber, TrickyTextsGiveTheGeneralConversionsDouble)
{
    const char* texts[] = {
        // plain and signed zeros, leading zeros, no digits before or after the point
        "0", "-0", "0.0", "-0.000", "000123", "0.001000", ".5", "-.5", "5.", "1.e5", "0e999999",
        "-0e-999999",
        // not numbers: the general conversion's missing value
        "", "-", ".", "-.", "e5", ".e5", "1e", "1e-", "1-2", "1.2.3", "--1", "1e5e5", "1E+5", "+1",
        " 1", "1 ", "1,5",
        // the edges of the exact path: 2^53 and one past, 19 and 20 digits, 10^22 and 10^23
        "9007199254740992", "9007199254740993", "9007199254740993e-5", "1234567890123456789",
        "12345678901234567890", "1e22", "1e23", "1e-22", "1e-23", "4.35679e22", "123456789e-22",
        "9007199254740991e22", "9007199254740991e-22",
        // halfway cases and values that round across a power of two
        "0.1", "0.2", "0.3", "2.2250738585072011e-308", "2.2250738585072014e-308",
        "4.9406564584124654e-324", "2.4703282292062327e-324", "2.4703282292062328e-324",
        "1.7976931348623157e308", "1.7976931348623159e308", "1e308", "1e309", "-1e400", "1e-400",
        "9007199254740993.0", "0.30000000000000004", "7.038531e-26", "8.98846567431158e307",
        "123456.7890123456789", "5.123456e-04", "-49.9999", "1000.000000",
        // long runs of digits
        "0.00000000000000000000000000000000000000000000001",
        "100000000000000000000000000000000000000000000000000000000000",
        "3.14159265358979323846264338327950288419716939937510",
    };
    for (const char* t : texts)
        ExpectSameAsGeneral(t);
}

TEST(FumNumber, RandomDecimalTextsGiveTheGeneralConversionsDouble)
{
    // Texts as writers of data files make them: fixed and exponent forms with every
    // count of digits the exact path takes and a few beyond.
    std::mt19937_64 random(20261210);
    std::uniform_int_distribution<int> digit(0, 9), count(0, 21), exponent(-40, 40), form(0, 3);
    for (int i = 0; i < 200000; ++i) {
        std::string text;
        if (form(random) == 0)
            text += '-';
        int whole = count(random), fraction = count(random);
        for (int k = 0; k < whole; ++k)
            text += static_cast<char>('0' + digit(random));
        if (fraction || whole == 0) {
            text += '.';
            for (int k = 0; k < fraction || (whole == 0 && k == 0); ++k)
                text += static_cast<char>('0' + digit(random));
        }
        if (form(random) >= 2) {
            text += form(random) == 3 ? 'E' : 'e';
            text += std::to_string(exponent(random));
        }
        ExpectSameAsGeneral(text);
        if (HasFailure())
            return;
    }
}
