#include "FitUtil.h"

#include <ctype.h>
#include <float.h>
#include <stdio.h>
#include <string.h>

#include "FitMemory.h"

static void CopyCut(char* out, size_t capacity, const char* start, size_t length)
{
    if (!capacity)
        return;
    if (length >= capacity)
        length = capacity - 1;
    memcpy(out, start, length);
    out[length] = 0;
}

// Text inside parentheses is kept whole, separators included.
const char* NextToken(const char* text, const char* separators, char* out, size_t capacity)
{
    if (capacity)
        out[0] = 0;
    if (!text)
        return nullptr;
    while (*text && strchr(separators, *text))
        ++text;
    if (!*text)
        return nullptr;
    const char* p = text;
    int depth = 0;
    while (*p && (depth > 0 || !strchr(separators, *p))) {
        if (*p == '(')
            ++depth;
        else if (*p == ')' && depth > 0)
            --depth;
        ++p;
    }
    CopyCut(out, capacity, text, p - text);
    return p;
}

static bool IsWordChar(char c)
{
    return isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.';
}

const char* NextWord(const char* text, char* out, size_t capacity)
{
    if (capacity)
        out[0] = 0;
    if (!text)
        return nullptr;
    while (*text == ' ')
        ++text;
    const char* p = text;
    if (*p && strchr(";,=()", *p)) {
        ++p;
    } else {
        while (IsWordChar(*p))
            ++p;
        if (p == text)
            return nullptr;
    }
    CopyCut(out, capacity, text, p - text);
    while (*p == ' ')
        ++p;
    return p;
}

int ContainsChar(const char* text, char c)
{
    return text && strchr(text, c) ? 1 : 0;
}

const char* FindNoCase(const char* text, const char* pattern)
{
    if (!text || !pattern)
        return nullptr;
    const size_t n = strlen(pattern);
    for (const char* p = text; *p; ++p)
        if (_strnicmp(p, pattern, n) == 0)
            return p;
    return n == 0 ? text : nullptr;
}

void KeyOfPair(const char* text, char* out, size_t capacity)
{
    const char* eq = strchr(text, '=');
    CopyCut(out, capacity, text, eq ? static_cast<size_t>(eq - text) : strlen(text));
}

void ValueOfPair(const char* text, char* out, size_t capacity)
{
    const char* eq = strchr(text, '=');
    CopyCut(out, capacity, eq ? eq + 1 : "", eq ? strlen(eq + 1) : 0);
}

int CopyToBlock(FittingSession* s, const char* text, char** pointerOut)
{
    if (!text || !*text) {
        s->status = 0;
        return 0;
    }
    const size_t n = strlen(text) + 1;
    char* block = AllocArray<char>(n);
    if (!block)
        return FIT_ERR_NO_MEMORY;
    memcpy(block, text, n);
    *pointerOut = block;
    return 0;
}

const char* JoinStrings(const char* first, const char* second)
{
    static char buffer[2 * QFIT_HOST_TEXT_CAPACITY];
    snprintf(buffer, sizeof buffer, "%s%s", first ? first : "", second ? second : "");
    return buffer;
}

int LinesToCommaList(char* text)
{
    if (strlen(text) < 3)
        return 1;
    char* out = text;
    bool inBreak = false;
    for (const char* p = text; *p; ++p) {
        if (*p == '\n' || *p == '\r') {
            if (!inBreak && out != text)
                *out++ = ',';
            inBreak = true;
        } else if (static_cast<unsigned char>(*p) >= 32 && static_cast<unsigned char>(*p) < 127) {
            *out++ = *p;
            inBreak = false;
        }
    }
    if (out > text && out[-1] == ',')
        --out;
    *out = 0;
    return 0;
}

int ParseOrdinal(const char* text)
{
    if (!text || !*text || _stricmp(text, "N/A") == 0)
        return -1;
    for (const char* p = text; *p; ++p)
        if (isalpha(static_cast<unsigned char>(*p)))
            return -1;
    long value = 0;
    for (const char* p = text; *p; ++p)
        if (isdigit(static_cast<unsigned char>(*p)) && value < 100000000)
            value = value * 10 + (*p - '0');
    return static_cast<int>(text[0] == '-' ? -value : value);
}

// Removes occurrences from the front until `count` remain.
void KeepCharCount(char* text, char c, int count)
{
    int total = 0;
    for (const char* p = text; *p; ++p)
        total += *p == c;
    int remove = total - count;
    char* out = text;
    for (const char* p = text; *p; ++p) {
        if (*p == c && remove > 0) {
            --remove;
            continue;
        }
        *out++ = *p;
    }
    *out = 0;
}

const char* PathFileName(const char* path)
{
    const char* name = path;
    for (const char* p = path; *p; ++p)
        if (*p == '\\' || *p == ':' || *p == '/')
            name = p + 1;
    return name;
}

void PathBaseName(const char* path, char* out, size_t capacity)
{
    const char* name = PathFileName(path);
    CopyCut(out, capacity, name, strcspn(name, "."));
}

int IsDatasetInvalid(FittingSession* s, QFitDataset dataset)
{
    return !dataset || CallHost(s, HOST_CHECK_DATASET, dataset, 0) != 0;
}

int ReadValueAlt(FittingSession* s, QFitDataset dataset, int row, double* out)
{
    QFitValueRecord r = {row, 0, 0.0};
    const INT_PTR answer = CallHost(s, HOST_GET_VALUE_ALT, dataset, reinterpret_cast<INT_PTR>(&r));
    *out = r.value;
    return answer != 0;
}

int GetDatasetRange(FittingSession* s, QFitDataset dataset, QFitRowRanges* rows, QFitXBounds* bounds, bool direct)
{
    QFitDataset target = dataset;
    if (!direct) {
        const QFitDataset linked = CallHost(s, HOST_REQ_3422, dataset, 0);
        if (!linked) {
            CallHost(s, HOST_GET_ROW_RANGE, dataset, reinterpret_cast<INT_PTR>(rows));
            bounds->first = rows->used.first;
            bounds->last = rows->used.end - 1;
            CallHost(s, HOST_REQ_3423, dataset, reinterpret_cast<INT_PTR>(bounds));
            return 0;
        }
        target = linked;
    }
    CallHost(s, HOST_GET_ROW_RANGE, target, reinterpret_cast<INT_PTR>(rows));
    CallHost(s, HOST_GET_X_BOUNDS, target, reinterpret_cast<INT_PTR>(bounds));
    if (rows->used.first == rows->full.first && rows->used.end == rows->full.end)
        return 0;
    bool haveFirst = false;
    for (int row = rows->used.first; row < rows->used.end; ++row) {
        QFitValueRecord r = {row, 0, 0.0};
        if (CallHost(s, HOST_GET_VALUE, target, reinterpret_cast<INT_PTR>(&r)) != 0 || IsMissingValue(r.value))
            continue;
        if (!haveFirst)
            bounds->first = r.value;
        haveFirst = true;
        bounds->last = r.value;
    }
    return 1;
}

enum { VALUE_LIST_NAME_SLOT = 8 };

int ParseValueList(FittingSession* s, int kind, int count, const char* text, void* out, int* outCount)
{
    if (outCount)
        *outCount = 0;
    if (kind == 1) {
        // Names into 8-byte slots: a name that does not fit (more than 7 characters) ends
        // the list like an unexpected character rather than overrunning its slot.
        char (*slots)[VALUE_LIST_NAME_SLOT] = static_cast<char (*)[VALUE_LIST_NAME_SLOT]>(out);
        const char* p = text;
        int n = 0;
        while (*p && n < count) {
            while (*p == ',' || *p == ' ')
                ++p;
            if (!*p)
                break;
            const char* start = p;
            while (isalnum(static_cast<unsigned char>(*p)) || *p == '_')
                ++p;
            const size_t length = p - start;
            if (length == 0 || length >= VALUE_LIST_NAME_SLOT || (*p && *p != ',' && *p != ' ')) {
                if (outCount)
                    *outCount = n;
                return 1;
            }
            CopyCut(slots[n++], VALUE_LIST_NAME_SLOT, start, length);
        }
        if (outCount)
            *outCount = n;
        return 0;
    }
    if (kind == 2 || kind == 4) {
        double v;
        if (EvalNumber(s, text, &v))
            return 1;
        if (kind == 2)
            *static_cast<int32_t*>(out) = static_cast<int32_t>(v);
        else
            *static_cast<double*>(out) = v;
        if (outCount)
            *outCount = 1;
        return 0;
    }
    if (kind == 3 || kind == 5) {
        double* values = static_cast<double*>(out);
        const char* p = text;
        for (int i = 0; i < count; ++i) {
            char item[QFIT_HOST_TEXT_CAPACITY];
            const char* next = p ? NextToken(p, ",", item, sizeof item) : nullptr;
            if (!next) {
                values[i] = MISSING_VALUE;
                p = nullptr;
                continue;
            }
            if (EvalNumber(s, item, &values[i]))
                return 1;
            p = next;
            if (outCount)
                ++*outCount;
        }
        return 0;
    }
    return 1;
}

void ReadProfileString(const char* section, const char* key, const char* defaultValue, char* buffer,
                       int size, const char* file)
{
    GetPrivateProfileStringA(section, key, defaultValue, buffer, size, file);
    char* semicolon = strchr(buffer, ';');
    if (semicolon)
        *semicolon = 0;
    size_t n = strlen(buffer);
    while (n > 0 && (buffer[n - 1] == ' ' || buffer[n - 1] == '\t'))
        buffer[--n] = 0;
}

void ResetFloatingPoint()
{
    _fpreset();
}
