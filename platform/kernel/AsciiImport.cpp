// The ASCII import: text files split into lines and fields by one splitter, numbers read
// as std::from_chars reads them in one pass over the whole file held in memory.
#include <windows.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string.h>

#include "KernelInternal.h"
#include "QKAccess.h"
#include "QKAsciiImport.h"
#include "QKData.h"
#include "QKSysMethod.h"
#include "qxutil.h"

namespace {

inline bool IsLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

inline bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Past the end of the line at p (its CR LF, LF or CR included).
const char* SkipLineEnd(const char* p, const char* end)
{
    if (p < end && *p == '\r')
        ++p;
    else if (p < end && *p == '\n')
        return p + 1;
    if (p < end && *p == '\n')
        ++p;
    return p;
}

// std::from_chars in general format, with the common case read here first: at most 19
// significant digits and a power of ten within 10^22, where digits and power are exact
// doubles and one multiplication or division rounds correctly, as from_chars does. Any
// other text (more digits, a far exponent, no digits) goes to from_chars itself.
std::from_chars_result ReadNumber(const char* begin, const char* end, double& value)
{
    static const double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                     1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                     1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    auto digit = [](char c) { return static_cast<unsigned>(c - '0') <= 9; };
    const char* p = begin;
    bool negative = p < end && *p == '-';
    if (negative)
        ++p;
    const char* whole = p;
    while (p < end && *p == '0')
        ++p;
    const char* first = p;
    uint64_t mantissa = 0;
    for (; p < end && digit(*p); ++p)
        mantissa = mantissa * 10 + static_cast<unsigned>(*p - '0');
    ptrdiff_t significant = p - first;
    bool digits = p > whole;
    int exponent = 0;
    if (p < end && *p == '.') {
        const char* fraction = ++p;
        if (significant == 0)
            while (p < end && *p == '0')
                ++p;
        const char* counted = p;
        for (; p < end && digit(*p); ++p)
            mantissa = mantissa * 10 + static_cast<unsigned>(*p - '0');
        significant += p - counted;
        exponent = -static_cast<int>(p - fraction);
        digits = digits || p > fraction;
    }
    if (!digits || significant > 19 || exponent < -22)
        return std::from_chars(begin, end, value, std::chars_format::general);
    if (p < end && (*p == 'e' || *p == 'E')) {
        const char* q = p + 1;
        bool negativeExponent = q < end && *q == '-';
        if (q < end && (*q == '-' || *q == '+'))
            ++q;
        if (q == end || !digit(*q) || (q + 2 < end && digit(q[0]) && digit(q[1]) && digit(q[2])))
            return std::from_chars(begin, end, value, std::chars_format::general);
        int written = 0;
        for (; q < end && digit(*q); ++q)
            written = written * 10 + (*q - '0');
        exponent += negativeExponent ? -written : written;
        p = q;
    }
    if (mantissa > (uint64_t(1) << 53) || exponent < -22 || exponent > 22)
        return std::from_chars(begin, end, value, std::chars_format::general);
    double v = static_cast<double>(static_cast<int64_t>(mantissa));
    v = exponent < 0 ? v / kPowers[-exponent] : v * kPowers[exponent];
    value = negative ? -v : v;
    return {p, std::errc()};
}

const char* NextLineStart(const char* p, const char* end)
{
    while (p < end && !IsLineEnd(*p))
        ++p;
    return SkipLineEnd(p, end);
}

// A quoted field from its opening quote: the text up to the closing quote (a doubled
// quote stays inside), or to the end of the line when the quote is never closed.
const char* ScanQuoted(const char* p, const char* end, QKTextField* field)
{
    const char* q = p + 1;
    field->begin = q;
    field->quoted = true;
    while (q < end && !IsLineEnd(*q)) {
        if (*q == '"') {
            if (q + 1 < end && q[1] == '"') {
                q += 2;
                continue;
            }
            field->end = q;
            return q + 1;
        }
        ++q;
    }
    field->end = q;
    return q;
}

} // namespace

CQKTextSplitter::CQKTextSplitter(const char* begin, const char* end, char delimiter)
    : m_pos(begin), m_end(end), m_delimiter(delimiter)
{
}

bool CQKTextSplitter::NextLine(std::vector<QKTextField>& fields)
{
    fields.clear();
    const char* p = m_pos;
    const char* end = m_end;
    if (p >= end)
        return false;
    ++m_line;
    const char delim = m_delimiter;
    if (delim == ' ') {
        for (;;) {
            while (p < end && IsBlank(*p))
                ++p;
            if (p >= end || IsLineEnd(*p))
                break;
            QKTextField f;
            if (*p == '"') {
                p = ScanQuoted(p, end, &f);
                // Text glued to the closing quote belongs to no field.
                while (p < end && !IsBlank(*p) && !IsLineEnd(*p))
                    ++p;
            } else {
                f.begin = p;
                f.quoted = false;
                while (p < end && !IsBlank(*p) && !IsLineEnd(*p))
                    ++p;
                f.end = p;
            }
            fields.push_back(f);
        }
    } else {
        // Blanks around a field are no part of it; a tab is one when tabs separate.
        const bool tabIsBlank = delim != '\t';
        for (;;) {
            while (p < end && (*p == ' ' || (tabIsBlank && *p == '\t')))
                ++p;
            QKTextField f;
            if (p < end && *p == '"') {
                p = ScanQuoted(p, end, &f);
                while (p < end && *p != delim && !IsLineEnd(*p))
                    ++p;
            } else {
                f.begin = p;
                f.quoted = false;
                while (p < end && *p != delim && !IsLineEnd(*p))
                    ++p;
                const char* e = p;
                while (e > f.begin && (e[-1] == ' ' || (tabIsBlank && e[-1] == '\t')))
                    --e;
                f.end = e;
            }
            fields.push_back(f);
            if (p < end && *p == delim) {
                ++p;
                continue;
            }
            break;
        }
        // A line of nothing but blanks has no field.
        if (fields.size() == 1 && !fields[0].quoted && fields[0].begin == fields[0].end)
            fields.clear();
    }
    m_pos = SkipLineEnd(p, end);
    return true;
}

int CQKTextSplitter::NextNumberLine(std::vector<double>& values)
{
    values.clear();
    const char* p = m_pos;
    const char* end = m_end;
    if (p >= end)
        return -1;
    const char delim = m_delimiter;
    const bool tabIsBlank = delim != '\t';
    for (;;) {
        while (p < end && (*p == ' ' || (tabIsBlank && *p == '\t')))
            ++p;
        double v;
        auto r = ReadNumber(p, end, v);
        if (r.ec != std::errc() || !std::isfinite(v))
            return 0;
        values.push_back(v);
        p = r.ptr;
        const char* after = p;
        while (p < end && (*p == ' ' || (tabIsBlank && *p == '\t')))
            ++p;
        if (p >= end || IsLineEnd(*p))
            break;
        if (delim == ' ') {
            // Blanks separate: "1-2" is no pair of numbers.
            if (p == after)
                return 0;
            continue;
        }
        if (*p != delim)
            return 0;
        ++p;
    }
    ++m_line;
    m_pos = SkipLineEnd(p, end);
    return 1;
}

std::string CQKTextSplitter::Unquote(const QKTextField& field)
{
    std::string text(field.begin, field.end);
    if (!field.quoted)
        return text;
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == '"' && i + 1 < text.size() && text[i + 1] == '"')
            ++i;
    }
    return out;
}

char CQKTextSplitter::DetectDelimiter(const char* begin, const char* end, char decimal)
{
    bool tab = false, semicolon = false, comma = false, quoted = false;
    for (const char* p = begin; p < end && !IsLineEnd(*p); ++p) {
        if (*p == '"')
            quoted = !quoted;
        else if (!quoted) {
            tab |= *p == '\t';
            semicolon |= *p == ';';
            comma |= *p == ',';
        }
    }
    if (tab)
        return '\t';
    if (semicolon)
        return ';';
    if (comma && decimal != ',')
        return ',';
    return ' ';
}

bool qkfxParseNumber(const char* begin, const char* end, char decimal, double* value)
{
    if (begin < end && *begin == '+') {
        ++begin;
        if (begin < end && *begin == '-')
            return false;
    }
    if (begin >= end)
        return false;
    char buffer[64];
    if (decimal != '.') {
        // The number in the reader's own form: the decimal character becomes a point, and
        // a point (no decimal point in this form) makes the field no number.
        size_t n = (size_t)(end - begin);
        if (n >= sizeof buffer)
            return false;
        for (size_t i = 0; i < n; ++i) {
            char c = begin[i];
            if (c == '.')
                return false;
            buffer[i] = c == decimal ? '.' : c;
        }
        begin = buffer;
        end = buffer + n;
    }
    double v;
    auto r = ReadNumber(begin, end, v);
    if (r.ec != std::errc() || r.ptr != end || !std::isfinite(v))
        return false;
    *value = v;
    return true;
}

char qkfxGetDecimalChar(int separators)
{
    switch (separators) {
    case 1:
    case 4:
        return '.';
    case 2:
    case 3:
        return ',';
    default: {
        char text[8] = "";
        if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, text, sizeof text) > 0 && text[0] != 0 &&
            text[1] == 0)
            return text[0];
        return '.';
    }
    }
}

char qkfxGetGroupChar(int separators)
{
    switch (separators) {
    case 1:
        return ',';
    case 2:
        return '.';
    case 3:
        return ' ';
    case 4:
        return '\'';
    default: {
        char text[8] = "";
        if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, text, sizeof text) > 0 && text[0] != 0 &&
            text[1] == 0)
            return text[0];
        return ',';
    }
    }
}

QKAsciiImportOptions qkfxGetAsciiImportOptions()
{
    QKSysMethodWks& wks = qkfxGetQrxSystem().GetRefWks();
    QKAsciiImportOptions options;
    static const char kDelimiters[] = {0, ',', '\t', ';', ' '};
    int d = wks.GetAsciiDelimiter();
    options.delimiter = d >= 0 && d < (int)sizeof kDelimiters ? kDelimiters[d] : 0;
    options.headerLines = std::max(0, wks.GetAsciiHeaderLines());
    options.namesLine = std::max(0, wks.GetAsciiNamesLine());
    options.labelsLine = std::max(0, wks.GetAsciiLabelsLine());
    options.decimal = qkfxGetDecimalChar(qkfxGetQrxSystem().GetRefNumeric().GetSeparators());
    return options;
}

namespace {

// Text of a byte-order-marked file in the program's code page, as the windows show it.
// *decoded tells whether the file had a mark; without one the bytes are taken as they are.
bool Decode(const char* text, size_t size, std::string* converted, bool* decoded, std::string* error)
{
    *decoded = false;
    const unsigned char* u = (const unsigned char*)text;
    std::wstring wide;
    if (size >= 2 && ((u[0] == 0xFF && u[1] == 0xFE) || (u[0] == 0xFE && u[1] == 0xFF))) {
        bool big = u[0] == 0xFE;
        size_t n = (size - 2) / 2;
        wide.resize(n);
        for (size_t i = 0; i < n; ++i) {
            unsigned a = u[2 + 2 * i], b = u[3 + 2 * i];
            wide[i] = (wchar_t)(big ? (a << 8 | b) : (b << 8 | a));
        }
    } else if (size >= 3 && u[0] == 0xEF && u[1] == 0xBB && u[2] == 0xBF) {
        int n = MultiByteToWideChar(CP_UTF8, 0, text + 3, (int)(size - 3), nullptr, 0);
        if (n <= 0 && size > 3) {
            *error = "the file is marked as UTF-8 but is not valid UTF-8";
            return false;
        }
        wide.resize(n);
        MultiByteToWideChar(CP_UTF8, 0, text + 3, (int)(size - 3), &wide[0], n);
    } else {
        return true;
    }
    *decoded = true;
    int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), (int)wide.size(), nullptr, 0, nullptr, nullptr);
    converted->resize(n);
    if (n > 0)
        WideCharToMultiByte(CP_ACP, 0, wide.data(), (int)wide.size(), &(*converted)[0], n, nullptr, nullptr);
    return true;
}

struct ImportColumn {
    std::vector<double> values;
    std::vector<std::pair<int, std::string>> texts;
    bool anyNumber = false;
};

bool IsMissingText(const QKTextField& f)
{
    return !f.quoted && f.end - f.begin == 2 && f.begin[0] == '-' && f.begin[1] == '-';
}

} // namespace

bool qkfxImportAsciiText(CQKWksPage* wks, const char* text, size_t size, const QKAsciiImportOptions& options,
                         QKAsciiImportResult* result)
{
    *result = QKAsciiImportResult();
    if (wks == nullptr) {
        result->error = "there is no worksheet to import into";
        return false;
    }
    std::string converted;
    bool decoded = false;
    if (!Decode(text, size, &converted, &decoded, &result->error))
        return false;
    if (decoded) {
        text = converted.data();
        size = converted.size();
    }
    const char* begin = text;
    const char* end = text + size;

    // The delimiter comes from the first line after the header lines.
    const char* data = begin;
    for (int i = 0; i < options.headerLines && data < end; ++i)
        data = NextLineStart(data, end);
    char delimiter = options.delimiter ? options.delimiter : CQKTextSplitter::DetectDelimiter(data, end, options.decimal);

    CQKTextSplitter splitter(begin, end, delimiter);
    std::vector<QKTextField> fields;
    std::vector<std::string> names, labels;
    for (int i = 1; i <= options.headerLines && splitter.NextLine(fields); ++i) {
        if (i == options.namesLine)
            for (const QKTextField& f : fields)
                names.push_back(CQKTextSplitter::Unquote(f));
        if (i == options.labelsLine)
            for (const QKTextField& f : fields)
                labels.push_back(CQKTextSplitter::Unquote(f));
    }

    std::vector<ImportColumn> columns;
    const char decimal = options.decimal;
    // Rows are guessed from the first line's length, so that the columns rarely grow.
    size_t guess = 0;
    {
        const char* next = NextLineStart(data, end);
        if (next > data)
            guess = std::min<size_t>((size_t)(end - data) / (size_t)(next - data) + 16, (size_t)QK_MAX_ROWS);
    }
    int row = 0;
    const size_t kProgressRows = 1 << 16;
    // A line wider than the ones before it adds columns, missing above its row.
    auto widen = [&](size_t width) {
        if (width <= columns.size())
            return;
        size_t old = columns.size();
        columns.resize(width);
        for (size_t c = old; c < width; ++c) {
            columns[c].values.reserve(guess);
            columns[c].values.assign(row, MISSING_VALUE);
        }
    };
    // After each row: false stops the import.
    auto endRow = [&](size_t width) {
        for (size_t c = width; c < columns.size(); ++c)
            columns[c].values.push_back(MISSING_VALUE);
        ++row;
        if (options.progress && (row % kProgressRows) == 0 &&
            !options.progress((double)(splitter.GetPosition() - begin) / (double)(end - begin), options.progressUser)) {
            result->cancelled = true;
            return false;
        }
        return true;
    };
    std::vector<double> numbers;
    const bool numbersFirst = decimal == '.';
    for (;;) {
        int numberLine = numbersFirst ? splitter.NextNumberLine(numbers) : 0;
        if (numberLine < 0 || (numberLine == 0 && !splitter.NextLine(fields)))
            break;
        if (numberLine == 0 && fields.empty())
            continue;
        if (row >= QK_MAX_ROWS) {
            result->error = "the file has more rows than a worksheet holds: the first " + std::to_string(row) +
                            " rows were read";
            break;
        }
        if (numberLine > 0) {
            widen(numbers.size());
            for (size_t c = 0; c < numbers.size(); ++c) {
                columns[c].values.push_back(numbers[c]);
                columns[c].anyNumber = true;
            }
            if (!endRow(numbers.size()))
                break;
            continue;
        }
        widen(fields.size());
        for (size_t c = 0; c < fields.size(); ++c) {
            const QKTextField& f = fields[c];
            ImportColumn& column = columns[c];
            double v;
            if (qkfxParseNumber(f.begin, f.end, decimal, &v)) {
                column.values.push_back(v);
                column.anyNumber = true;
                continue;
            }
            column.values.push_back(MISSING_VALUE);
            if ((f.begin != f.end || f.quoted) && !IsMissingText(f))
                column.texts.emplace_back(row, CQKTextSplitter::Unquote(f));
        }
        if (!endRow(fields.size()))
            break;
    }
    if (columns.empty() && names.empty()) {
        if (result->error.empty())
            result->error = "the file holds no data";
        return false;
    }
    columns.resize(std::max(columns.size(), std::max(names.size(), labels.size())));

    // Into the worksheet: the file's columns from the first on.
    int start = 0;
    if (options.append)
        for (int c = 1; c <= wks->GetNumCols(); ++c)
            start = std::max(start, wks->GetColumn(c)->GetEnd());
    if ((long long)start + row > QK_MAX_ROWS) {
        result->error = "the worksheet cannot hold " + std::to_string(row) + " more rows";
        return false;
    }
    while (wks->GetNumCols() < (int)columns.size())
        if (wks->AddColumn() == nullptr) {
            result->error = "no column can be added to the worksheet";
            return false;
        }
    if (!options.append)
        for (int c = (int)columns.size() + 1; c <= wks->GetNumCols(); ++c)
            wks->GetColumn(c)->SetRange(0, 0);
    for (size_t c = 0; c < columns.size(); ++c) {
        CQKDataset* ds = wks->GetColumn((int)c + 1);
        ImportColumn& column = columns[c];
        column.values.resize(row, MISSING_VALUE);
        if (options.append) {
            ds->SetValues(start, column.values.data(), row);
            // Text goes only where the column shows text; a numeric column keeps the
            // missing value the field left.
            if (ds->m_format == QK_FORMAT_TEXT || ds->m_format == QK_FORMAT_TEXT_NUMERIC)
                for (auto& t : column.texts)
                    ds->SetText(start + t.first, t.second);
        } else {
            ds->TakeValues(std::move(column.values));
            for (auto& t : column.texts)
                ds->SetText(t.first, t.second);
            ds->SetRange(0, row);
            ds->SetFormat(column.texts.empty() ? QK_FORMAT_NUMERIC
                          : column.anyNumber  ? QK_FORMAT_TEXT_NUMERIC
                                              : QK_FORMAT_TEXT);
            ds->m_subformat = 0;
        }
        if (c < names.size() && !names[c].empty()) {
            // A name the worksheet cannot take ("Time (s)", a name used twice) labels
            // the column instead, unless the file gives labels of its own.
            if (!wks->RenameColumn((int)c + 1, names[c]) && labels.size() <= c)
                ds->m_label = names[c];
        }
        if (c < labels.size())
            ds->m_label = labels[c];
    }
    if (!labels.empty() || (!names.empty() && options.labelsLine == 0))
        for (int c = 1; c <= (int)columns.size(); ++c)
            if (!wks->GetColumn(c)->m_label.empty())
                wks->m_labelsShown = true;
    result->rows = row;
    result->columns = (int)columns.size();
    return true;
}

bool qkfxImportAscii(CQKWksPage* wks, const std::string& path, const QKAsciiImportOptions& options,
                     QKAsciiImportResult* result)
{
    *result = QKAsciiImportResult();
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        result->error = "cannot open \"" + path + "\"";
        return false;
    }
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file, &size)) {
        CloseHandle(file);
        result->error = "cannot read \"" + path + "\"";
        return false;
    }
    if (size.QuadPart > (LONGLONG)0x7FFFFFFF) {
        CloseHandle(file);
        result->error = "\"" + path + "\" is larger than 2 GB, more than a worksheet holds";
        return false;
    }
    if (size.QuadPart == 0) {
        CloseHandle(file);
        result->error = "the file holds no data";
        return false;
    }
    // The file is read through a mapping: no copy of it, and its pages come straight
    // from the system's cache.
    HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    const char* text = mapping ? (const char*)MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0) : nullptr;
    if (text == nullptr) {
        if (mapping)
            CloseHandle(mapping);
        CloseHandle(file);
        result->error = "cannot read \"" + path + "\"";
        return false;
    }
    bool ok = qkfxImportAsciiText(wks, text, (size_t)size.QuadPart, options, result);
    UnmapViewOfFile(text);
    CloseHandle(mapping);
    CloseHandle(file);
    return ok;
}

// ---- The progress box of a large import ------------------------------------------------

namespace {

// Files below this size import in well under a second: no box.
const LONGLONG kProgressBoxBytes = 8 << 20;

bool OnProgress(double fraction, void* user)
{
    HWND owner = (HWND)user;
    UtilProgressBox(owner, UTIL_PROGRESS_SET, (int)(100 * std::min(1.0, std::max(0.0, fraction))), nullptr);
    return UtilProgressBox(owner, UTIL_PROGRESS_POLL, 0, nullptr) == 0;
}

} // namespace

bool qkImportAsciiWithProgress(CQKWksPage* wks, const std::string& path, const QKAsciiImportOptions& options,
                               QKAsciiImportResult* result)
{
    HWND owner = qkfxGetAccess()->GetMainFrame();
    WIN32_FILE_ATTRIBUTE_DATA info = {};
    LONGLONG size = 0;
    if (GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &info))
        size = ((LONGLONG)info.nFileSizeHigh << 32) | info.nFileSizeLow;
    if (owner == nullptr || !IsWindow(owner) || size < kProgressBoxBytes || options.progress != nullptr)
        return qkfxImportAscii(wks, path, options, result);

    std::string name = path.substr(path.find_last_of("\\/") + 1);
    UtilProgressBox(owner, UTIL_PROGRESS_OPEN, 0, ("Reading " + name + "...").c_str());
    // The program takes no other input while the import runs.
    EnableWindow(owner, FALSE);
    QKAsciiImportOptions withBox = options;
    withBox.progress = OnProgress;
    withBox.progressUser = owner;
    bool ok = qkfxImportAscii(wks, path, withBox, result);
    EnableWindow(owner, TRUE);
    UtilProgressBox(owner, UTIL_PROGRESS_CLOSE, 0, nullptr);
    SetActiveWindow(owner);
    return ok;
}
