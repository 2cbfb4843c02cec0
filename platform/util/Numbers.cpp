// Number texts: reading and writing decimal numbers. std::to_chars and std::from_chars
// do the digit work because they are exact and ignore the C locale, which a host
// program may have switched to a decimal comma.
#include "qxutil.h"
#include "qxdefs.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the decimal number at `p` ([sign] digits [. digits] [e [sign] digits], at
// least one mantissa digit), 0 when there is none. An exponent marker without digits
// is not part of the number.
size_t NumberLength(const char *p)
{
    size_t i = 0;
    if (p[i] == '+' || p[i] == '-')
        ++i;
    size_t digits = 0;
    while (IsDigit(p[i]))
        ++i, ++digits;
    if (p[i] == '.') {
        ++i;
        while (IsDigit(p[i]))
            ++i, ++digits;
    }
    if (digits == 0)
        return 0;
    if (p[i] == 'e' || p[i] == 'E') {
        size_t j = i + 1;
        if (p[j] == '+' || p[j] == '-')
            ++j;
        if (IsDigit(p[j])) {
            while (IsDigit(p[j]))
                ++j;
            i = j;
        }
    }
    return i;
}

// Converts a text that NumberLength accepted. A value beyond the double range is
// refused; one below it becomes a signed zero.
bool ConvertNumber(const char *p, size_t length, double *value)
{
    bool negative = *p == '-';
    const char *first = (*p == '+' || *p == '-') ? p + 1 : p;
    double v = 0;
    auto r = std::from_chars(first, p + length, v, std::chars_format::general);
    if (r.ec == std::errc()) {
        *value = negative ? -v : v;
        return true;
    }
    if (r.ec != std::errc::result_out_of_range)
        return false;
    // Decide overflow or underflow from the decimal exponent of the first nonzero digit.
    long long position = 0;
    bool seenPoint = false, seenNonzero = false;
    const char *q = first;
    for (; IsDigit(*q) || *q == '.'; ++q) {
        if (*q == '.') {
            seenPoint = true;
            continue;
        }
        if (!seenNonzero && *q != '0')
            seenNonzero = true;
        if (seenNonzero && !seenPoint)
            ++position;
        if (!seenNonzero && seenPoint)
            --position;
    }
    // strtoll saturates; the clamp keeps the sum below from overflowing, and any exponent
    // beyond it decides the same way.
    long long exponent = (*q == 'e' || *q == 'E') ? std::strtoll(q + 1, nullptr, 10) : 0;
    exponent = std::max(-1000000000000LL, std::min(exponent, 1000000000000LL));
    if (position + exponent > 0)
        return false;
    *value = negative ? -0.0 : 0.0;
    return true;
}

// Writes `digits` significant digits of v (not zero, finite) laid out as %G does:
// exponent form when the decimal exponent is below -4 or at least `layout`.
void WriteSignificant(double v, int digits, int layout, char *out)
{
    char sci[48];
    auto r = digits > 0 ? std::to_chars(sci, sci + sizeof sci - 1, v, std::chars_format::scientific,
                                        digits - 1)
                        : std::to_chars(sci, sci + sizeof sci - 1, v, std::chars_format::scientific);
    *r.ptr = 0;
    // sci is "[-]d[.ddd]e[+-]xx": take the mantissa digits and the exponent apart.
    const char *s = sci;
    bool negative = *s == '-';
    if (negative)
        ++s;
    char mantissa[24];
    int count = 0;
    for (; *s != 'e'; ++s)
        if (*s != '.')
            mantissa[count++] = *s;
    // The exponent by hand: the runtime's atoi consults the thread's locale on every call.
    const char *e = s + 1;
    const bool negativeExponent = *e == '-';
    if (*e == '-' || *e == '+')
        ++e;
    int exponent = 0;
    for (; *e >= '0' && *e <= '9'; ++e)
        exponent = exponent * 10 + (*e - '0');
    if (negativeExponent)
        exponent = -exponent;
    while (count > 1 && mantissa[count - 1] == '0')
        --count;

    char *o = out;
    if (negative)
        *o++ = '-';
    if (exponent < -4 || exponent >= layout) {
        *o++ = mantissa[0];
        if (count > 1) {
            *o++ = '.';
            for (int i = 1; i < count; ++i)
                *o++ = mantissa[i];
        }
        // "E%c%02d", written by hand: the fitter formats a number every iteration.
        *o++ = 'E';
        *o++ = exponent < 0 ? '-' : '+';
        const int e = std::abs(exponent);
        if (e >= 100)
            *o++ = char('0' + e / 100);
        *o++ = char('0' + e / 10 % 10);
        *o++ = char('0' + e % 10);
        *o = 0;
        return;
    }
    if (exponent < 0) {
        *o++ = '0';
        *o++ = '.';
        for (int i = -1; i > exponent; --i)
            *o++ = '0';
        for (int i = 0; i < count; ++i)
            *o++ = mantissa[i];
    } else {
        for (int i = 0; i <= exponent; ++i)
            *o++ = i < count ? mantissa[i] : '0';
        if (count > exponent + 1) {
            *o++ = '.';
            for (int i = exponent + 1; i < count; ++i)
                *o++ = mantissa[i];
        }
    }
    *o = 0;
}

void WriteFixed(double v, int decimals, char *out)
{
    if (std::fabs(v) >= 1e15) {
        auto r = std::to_chars(out, out + UTIL_NUMBER_TEXT_SIZE - 1, v,
                               std::chars_format::scientific, decimals);
        *r.ptr = 0;
        // to_chars writes "e+20"; the library's texts use a capital E everywhere.
        if (char *e = std::strchr(out, 'e'))
            *e = 'E';
        return;
    }
    auto r = std::to_chars(out, out + UTIL_NUMBER_TEXT_SIZE - 1, v, std::chars_format::fixed,
                           decimals);
    *r.ptr = 0;
    // A value that rounds to zero must not show as "-0.0".
    if (out[0] == '-' && std::strspn(out + 1, "0.") == std::strlen(out + 1))
        std::memmove(out, out + 1, std::strlen(out));
}

} // namespace

extern "C" int UtilTextToInt(const char *text)
{
    if (!text)
        return 0;
    while (IsSpace(*text))
        ++text;
    bool negative = *text == '-';
    if (*text == '-' || *text == '+')
        ++text;
    long long v = 0;
    for (; IsDigit(*text); ++text) {
        v = v * 10 + (*text - '0');
        if (v > 1LL + INT_MAX)
            v = 1LL + INT_MAX;
    }
    if (negative)
        v = -v;
    if (v > INT_MAX)
        return INT_MAX;
    if (v < INT_MIN)
        return INT_MIN;
    return int(v);
}

extern "C" double UtilTextToDouble(const char *text)
{
    if (!text)
        return MISSING_VALUE;
    while (IsSpace(*text))
        ++text;
    size_t n = NumberLength(text);
    if (n == 0)
        return MISSING_VALUE;
    for (const char *rest = text + n; *rest; ++rest)
        if (!IsSpace(*rest))
            return MISSING_VALUE;
    double v;
    return ConvertNumber(text, n, &v) ? v : MISSING_VALUE;
}

extern "C" const char *UtilIntToText(int value)
{
    thread_local char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%d", value);
    return buffer;
}

namespace {

// The count after a format's first character ("*5", ".3"; nothing is 0): plain digits by
// hand, as the fitter formats a number every iteration and the runtime's atoi consults the
// thread's locale; anything else as atoi reads it.
int FormatCount(const char *text)
{
    int n = 0;
    const char *p = text;
    for (; *p >= '0' && *p <= '9' && n < 100000; ++p)
        n = n * 10 + (*p - '0');
    return *p == 0 ? n : std::atoi(text);
}

} // namespace

extern "C" char *UtilFormatNumber(double value, char *buffer, const char *format)
{
    if (!buffer)
        return nullptr;
    if (value == MISSING_VALUE || !std::isfinite(value)) {
        std::strcpy(buffer, "--");
        return buffer;
    }
    if (value == 0)
        value = 0.0;  // negative zero is written as plain 0
    if (format && format[0] == '.') {
        WriteFixed(value, std::min(15, std::max(0, FormatCount(format + 1))), buffer);
        return buffer;
    }
    int digits = (format && format[0] == '*') ? FormatCount(format + 1) : 0;
    if (digits <= 0) {
        WriteSignificant(value, 0, 17, buffer);  // shortest round trip
        return buffer;
    }
    digits = std::min(digits, 17);
    WriteSignificant(value, digits, digits, buffer);
    return buffer;
}

extern "C" char *UtilStripBlanks(char *text)
{
    if (!text)
        return nullptr;
    char *out = text;
    bool quoted = false;
    for (const char *p = text; *p; ++p) {
        if (*p == '"')
            quoted = !quoted;
        if (!quoted && IsBlank(*p))
            continue;
        *out++ = *p;
    }
    *out = 0;
    return text;
}

extern "C" int UtilScanNumber(const char *text, double *value)
{
    if (!value)
        return 0;
    *value = MISSING_VALUE;
    if (!text)
        return 0;
    const char *p = text;
    while (IsSpace(*p))
        ++p;
    size_t n = NumberLength(p);
    double v;
    if (n == 0 || !ConvertNumber(p, n, &v))
        return 0;
    *value = v;
    return int((p - text) + n);
}
