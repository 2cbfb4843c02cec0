// Text files into worksheets: the one line-and-field splitter of the kernel, the number
// reader, and the ASCII import that File Import ASCII, the open command and the file
// plug-in share.
#pragma once

#include <string>
#include <vector>

#include "QKDefs.h"

class CQKWksPage;

// One field of a line: [begin, end) of the text, blanks around it removed. A quoted field
// is the text between its quotes, a doubled quote inside still doubled (Unquote gives
// the text itself).
struct QKTextField {
    const char* begin;
    const char* end;
    bool quoted;
};

// Splits text into lines (ended by CR LF, LF or CR) and lines into fields.
// delimiter ' ': a run of blanks or tabs is one separator, and blanks at the ends of a
// line are no field. Any other delimiter separates fields one by one, so two in a row
// leave an empty field between them. A field that starts with a double quote runs to its
// closing quote ("" is a quote inside it) and never past the end of its line, so that a
// quote left open loses no more than its own line.
class QK_API CQKTextSplitter {
public:
    CQKTextSplitter(const char* begin, const char* end, char delimiter);
    // The fields of the next line (none for an empty or blank line); false at the end.
    bool NextLine(std::vector<QKTextField>& fields);
    // The next line when it holds nothing but numbers with a decimal point (the common
    // case, read in one pass over its bytes): `values` receives them and the line is
    // consumed, answer 1. 0 when the line holds anything else (an empty field, a text, a
    // quote): nothing is consumed and NextLine reads it. -1 at the end of the text.
    int NextNumberLine(std::vector<double>& values);
    const char* GetPosition() const { return m_pos; }
    // Lines read so far, empty ones included.
    int GetLineNumber() const { return m_line; }
    static std::string Unquote(const QKTextField& field);
    // The delimiter of a line of text: the first of tab, comma and semicolon that occurs
    // outside quotes (a comma only when it cannot be the decimal character), else blanks.
    static char DetectDelimiter(const char* begin, const char* end, char decimal);

private:
    const char* m_pos;
    const char* m_end;
    char m_delimiter;
    int m_line = 0;
};

// Reads [begin, end) as one whole number: an optional sign, digits with `decimal` as the
// decimal character, an exponent. false (value untouched) for anything else, including an
// empty field, "inf" and "nan".
QK_API bool qkfxParseNumber(const char* begin, const char* end, char decimal, double* value);

// The numeric separators of the Numeric Format options: 0 the system's, 1 "1,000.0",
// 2 "1.000,0", 3 "1 000,0", 4 "1'000.0". The decimal character and the digit-group
// character they stand for.
QK_API char qkfxGetDecimalChar(int separators);
QK_API char qkfxGetGroupChar(int separators);

// What an import reads and where it puts it (ASCII Import Options).
struct QKAsciiImportOptions {
    char delimiter = 0;  // ',' '\t' ';' ' ' (blanks), or 0: detected from the first data line
    int headerLines = 0; // lines before the data, empty ones included
    int namesLine = 0;   // the header line (from 1) that names the columns, 0 none
    int labelsLine = 0;  // the header line that labels the columns, 0 none
    char decimal = '.';
    // false: the file's columns replace the worksheet's data (formats taken from what the
    // file holds); true: its rows go after the worksheet's rows, into the columns as they
    // are (text only into text columns).
    bool append = false;
    // Called now and then with the part of the file read so far (0..1); answering false
    // stops the import, which keeps the rows read up to there.
    bool (*progress)(double fraction, void* user) = nullptr;
    void* progressUser = nullptr;
};

struct QKAsciiImportResult {
    int rows = 0;    // data rows read
    int columns = 0; // columns filled
    bool cancelled = false;
    std::string error; // why nothing was imported
};

// The options as the settings (system.wks) and the numeric separators say.
QK_API QKAsciiImportOptions qkfxGetAsciiImportOptions();

// Imports the file (UTF-8 or UTF-16 with a byte-order mark, or bytes as they are) into the
// worksheet. false with result->error when nothing could be read; a cancelled import
// answers true with result->cancelled set and the rows read kept.
QK_API bool qkfxImportAscii(CQKWksPage* wks, const std::string& path, const QKAsciiImportOptions& options,
                            QKAsciiImportResult* result);
// The same from text in memory.
QK_API bool qkfxImportAsciiText(CQKWksPage* wks, const char* text, size_t size, const QKAsciiImportOptions& options,
                                QKAsciiImportResult* result);

// Writes the worksheet as text the import reads back with the same options: the header
// lines (names and labels on their lines, the others empty), then one line per row, fields
// separated by the options' delimiter (a comma when it is detected, unless numbers use a
// decimal comma: then a tab; a tab for blanks), texts quoted when they hold the delimiter,
// a quote or a blank, missing values as empty fields, numbers exactly and with the decimal
// character. Lines end in CR LF. false with *error when the file cannot be written.
QK_API bool qkfxExportAscii(const CQKWksPage* wks, const std::string& path, const QKAsciiImportOptions& options,
                            std::string* error);
