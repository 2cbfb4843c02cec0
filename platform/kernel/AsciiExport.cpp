// Export ASCII: a worksheet as the text the ASCII import reads back.
#include <windows.h>

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "QKAsciiImport.h"
#include "QKData.h"

namespace {

std::string Field(const std::string& text, char delimiter)
{
    bool quote = text.empty() || text.find_first_of(std::string("\"\r\n \t") + delimiter) != std::string::npos;
    if (!quote)
        return text;
    std::string out = "\"";
    for (char c : text)
        out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

} // namespace

bool qkfxExportAscii(const CQKWksPage* wks, const std::string& path, const QKAsciiImportOptions& options,
                     std::string* error)
{
    char delimiter = options.delimiter;
    if (delimiter == 0)
        delimiter = options.decimal == ',' ? '\t' : ',';
    if (delimiter == ' ')
        delimiter = '\t';
    const int cols = wks->GetNumCols();
    int rows = 0;
    for (int c = 1; c <= cols; ++c)
        rows = std::max(rows, wks->GetColumn(c)->GetEnd());

    std::string text;
    for (int line = 1; line <= options.headerLines; ++line) {
        for (int c = 1; c <= cols; ++c) {
            const CQKDataset* column = wks->GetColumn(c);
            if (c > 1)
                text += delimiter;
            if (line == options.namesLine)
                text += Field(column->m_columnName, delimiter);
            else if (line == options.labelsLine)
                text += Field(column->m_label, delimiter);
        }
        text += "\r\n";
    }
    for (int row = 0; row < rows; ++row) {
        for (int c = 1; c <= cols; ++c) {
            const CQKDataset* column = wks->GetColumn(c);
            if (c > 1)
                text += delimiter;
            if (row >= column->GetEnd())
                continue;
            if (column->IsText(row)) {
                text += Field(column->GetText(row), delimiter);
                continue;
            }
            double v = column->GetValue(row);
            if (v == MISSING_VALUE)
                continue;
            char buffer[64];
            // The shortest form that reads back to the same double.
            auto r = std::to_chars(buffer, buffer + sizeof buffer, v);
            for (char* p = buffer; p < r.ptr; ++p)
                if (*p == '.')
                    *p = options.decimal;
            text.append(buffer, r.ptr);
        }
        text += "\r\n";
    }

    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *error = "cannot write \"" + path + "\"";
        return false;
    }
    DWORD written = 0;
    bool ok = WriteFile(file, text.data(), (DWORD)text.size(), &written, nullptr) && written == text.size();
    ok = CloseHandle(file) && ok;
    if (!ok) {
        DeleteFileA(path.c_str());
        *error = "\"" + path + "\" could not be written whole (is the disk full?)";
    }
    return ok;
}
