// Text helpers: separators, quoted text, words, indexed member names, byte blocks.
#include "qxutil.h"

#include <climits>
#include <cstring>

namespace {

bool IsWordBreak(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

} // namespace

extern "C" char *UtilFindSeparator(const char *text, int separator, int option)
{
    if (!text)
        return nullptr;
    const char sep = char(separator);
    if (sep == 0)
        return nullptr;  // the terminator is no separator
    if (!(option & UTIL_SEP_SKIP_NESTED))
        return const_cast<char *>(std::strchr(text, sep));
    // Depth counts every kind of bracket alike: argument texts are expressions, where a
    // mismatched bracket is the script's error, not a reason to split inside it.
    int depth = 0;
    bool quoted = false;
    for (const char *p = text; *p; ++p) {
        char c = *p;
        if (c == '"') {
            quoted = !quoted;
            continue;
        }
        if (quoted)
            continue;
        if (c == sep && depth == 0)
            return const_cast<char *>(p);
        if (c == '(' || c == '[' || c == '{')
            ++depth;
        else if ((c == ')' || c == ']' || c == '}') && depth > 0)
            --depth;
    }
    return nullptr;
}

extern "C" char *UtilQuotedText(char *text)
{
    if (!text)
        return nullptr;
    while (*text == ' ' || *text == '\t')
        ++text;
    if (*text != '"')
        return nullptr;
    char *inside = text + 1;
    char *close = std::strchr(inside, '"');
    if (!close)
        return nullptr;
    *close = 0;
    return inside;
}

extern "C" const char *UtilNextWord(char *buffer, const char *text)
{
    if (buffer)
        *buffer = 0;
    if (!buffer || !text)
        return nullptr;
    while (IsWordBreak(*text))
        ++text;
    if (!*text)
        return nullptr;
    char *out = buffer;
    while (*text && !IsWordBreak(*text))
        *out++ = *text++;
    *out = 0;
    return text;
}

extern "C" int UtilSplitIndexedName(char *base, int *index, const char *name)
{
    if (!base || !index || !name)
        return 0;
    size_t length = std::strlen(name);
    size_t digitsFrom = length;
    while (digitsFrom > 0 && name[digitsFrom - 1] >= '0' && name[digitsFrom - 1] <= '9')
        --digitsFrom;
    std::memmove(base, name, digitsFrom);
    base[digitsFrom] = 0;
    if (digitsFrom == length) {
        *index = 0;
        return 0;
    }
    long long value = 0;
    for (size_t i = digitsFrom; i < length; ++i) {
        value = value * 10 + (name[i] - '0');
        if (value > INT_MAX) {
            *index = -1;
            return 1;
        }
    }
    *index = int(value);
    return 1;
}

extern "C" void UtilCopyBytes(void *destination, const void *source, size_t count)
{
    if (destination && source && count)
        std::memmove(destination, source, count);
}

extern "C" int UtilCompareBytes(const void *a, const void *b, size_t count)
{
    if (count == 0)
        return 0;
    if (!a || !b)
        return 1;
    return std::memcmp(a, b, count) != 0;
}
