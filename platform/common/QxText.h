// A text copied into a buffer of fixed capacity, inline and by hand: under Wine the
// run-time's strnlen and strncpy go byte by byte behind a call or through the locale, and a
// fit copies texts every iteration (its mu, its progress reports).
#pragma once

#include <stddef.h>

namespace qxtext {

// Copies TEXT into OUT, which holds CAPACITY chars, cut to CAPACITY - 1 chars and ended by
// a 0; returns the number of chars copied. With no capacity nothing is written.
inline size_t CopyUpTo(char* out, size_t capacity, const char* text)
{
    if (capacity == 0)
        return 0;
    size_t n = 0;
    for (; n + 1 < capacity && text[n]; ++n)
        out[n] = text[n];
    out[n] = 0;
    return n;
}

} // namespace qxtext
