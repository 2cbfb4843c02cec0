// How a table page (worksheet or matrix) looks in its window: cells as the page formats
// them, the column headings, row numbers, the grid and the selection; and the worksheet's
// own cells by their column's format, headings with name, label and designation.
// Drawing costs the same at any row: only the rows in view are visited, and a row is
// reached by its number, never by walking the rows above it.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "KernelInternal.h"
#include "QKAsciiImport.h"
#include "QKData.h"
#include "QKGraphObjects.h"
#include "QKSysMethod.h"

namespace {

// The fewest rows a worksheet shows, so that a new one has cells to type into.
const int kMinRows = 32;
// The worksheet's font in points, scaled to the device's resolution.
const int kFontPoints = 9;

const char* const kDesignations[] = {"", "(Y)", "(disregard)", "(yEr\xB1)", "(X)", "(L)", "(Z)", "(xEr\xB1)"};

std::string Trimmed(std::string s)
{
    // "1.500000" -> "1.5", "2.000" -> "2".
    size_t point = s.find('.');
    if (point == std::string::npos)
        return s;
    size_t last = s.find_last_not_of('0');
    if (last == point)
        --last;
    s.erase(last + 1);
    return s;
}

// Fixed form with `digits` significant digits, no exponent.
std::string Fixed(double v, int digits)
{
    int e = v == 0 ? 0 : (int)std::floor(std::log10(std::fabs(v)));
    int decimals = std::max(0, std::min(17, digits - 1 - e));
    char buffer[400];
    snprintf(buffer, sizeof buffer, "%.*f", decimals, v);
    std::string s = Trimmed(buffer);
    return s == "-0" ? "0" : s;
}

std::string Scientific(double v, int digits)
{
    char buffer[64];
    snprintf(buffer, sizeof buffer, "%.*E", std::max(0, std::min(17, digits - 1)), v);
    std::string s = buffer;
    size_t e = s.find('E');
    std::string mantissa = Trimmed(s.substr(0, e));
    int exponent = atoi(s.c_str() + e + 1);
    return mantissa + "E" + std::to_string(exponent);
}

std::string Engineering(double v, int digits)
{
    static const char* const kPrefixes[] = {"y", "z", "a", "f", "p", "n", "u", "m", "", "k", "M", "G", "T", "P", "E", "Z", "Y"};
    if (v == 0)
        return "0";
    int e = (int)std::floor(std::log10(std::fabs(v)));
    int e3 = (int)std::floor(e / 3.0) * 3;
    int index = e3 / 3 + 8;
    if (index < 0 || index > 16)
        return Scientific(v, digits);
    double mantissa = v / std::pow(10.0, e3);
    // Rounding may carry the mantissa to 1000: then it is the next prefix's 1.
    std::string m = Fixed(mantissa, digits);
    if (std::fabs(atof(m.c_str())) >= 1000 && index < 16)
        return Fixed(mantissa / 1000, digits) + kPrefixes[index + 1];
    return m + kPrefixes[index];
}

// The number's decimal point and digit groups in the options' separators.
std::string Localize(std::string s, bool group)
{
    int separators = qkfxGetQrxSystem().GetRefNumeric().GetSeparators();
    char decimal = qkfxGetDecimalChar(separators);
    if (group) {
        size_t start = s[0] == '-' ? 1 : 0;
        size_t end = s.find_first_not_of("0123456789", start);
        if (end == std::string::npos)
            end = s.size();
        std::string grouped;
        for (size_t i = start; i < end; ++i) {
            if (i > start && (end - i) % 3 == 0)
                grouped += '\x01'; // placed after the decimal character is swapped
            grouped += s[i];
        }
        s = s.substr(0, start) + grouped + s.substr(end);
    }
    for (char& c : s)
        if (c == '.')
            c = decimal;
    char g = qkfxGetGroupChar(separators);
    for (char& c : s)
        if (c == '\x01')
            c = g;
    return s;
}

std::string FormatDate(double days, int subformat)
{
    CQKUtilDate date(std::floor(days));
    std::string text;
    if (subformat == 1) {
        date.GetDateLongForm(text);
        return text;
    }
    date.GetDateShortForm(text);
    if (subformat == 2) {
        int m = 0, d = 0, y = 0;
        sscanf(text.c_str(), "%d/%d/%d", &m, &d, &y);
        char buffer[32];
        snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", y, m, d);
        return buffer;
    }
    return text;
}

std::string FormatTime(double days, int subformat)
{
    long long seconds = std::llround(days * 86400.0);
    bool negative = seconds < 0;
    seconds = std::llabs(seconds);
    char buffer[48];
    if (subformat == 1)
        snprintf(buffer, sizeof buffer, "%s%02lld:%02lld:%02lld", negative ? "-" : "", seconds / 3600, seconds / 60 % 60,
                 seconds % 60);
    else
        snprintf(buffer, sizeof buffer, "%s%02lld:%02lld", negative ? "-" : "", seconds / 3600, seconds / 60 % 60);
    return buffer;
}

} // namespace

std::string qkFormatCellNumber(double v, int subformat, int digits, int places)
{
    digits = std::max(1, std::min(17, digits));
    if (subformat == 1)
        return Localize(Scientific(v, digits), false);
    if (subformat == 2)
        return Localize(Engineering(v, digits), false);
    if (places >= 0) {
        char buffer[400];
        snprintf(buffer, sizeof buffer, "%.*f", std::min(places, 17), v);
        std::string s = buffer;
        if (s.find_first_not_of("-0.") == std::string::npos && s[0] == '-')
            s.erase(0, 1); // "-0.00" is 0
        return Localize(s, subformat == 3);
    }
    // Decimal: scientific beyond the threshold powers of ten.
    QKSysMethodNumeric& numeric = qkfxGetQrxSystem().GetRefNumeric();
    int e = v == 0 ? 0 : (int)std::floor(std::log10(std::fabs(v)));
    if (v != 0 && (e >= numeric.GetUpperThreshold() || e < numeric.GetLowerThreshold()))
        return Localize(Scientific(v, digits), false);
    return Localize(Fixed(v, digits), subformat == 3);
}

std::string CQKWksPage::FormatCell(int column, int row) const
{
    CQKDataset* c = GetColumn(column);
    if (c == nullptr || row < 0 || row >= c->GetEnd())
        return std::string();
    if (c->IsText(row))
        return c->GetText(row);
    double v = c->GetValue(row);
    if (v == MISSING_VALUE)
        return "--";
    switch (c->m_format) {
    case QK_FORMAT_DATE:
        return FormatDate(v, c->m_subformat);
    case QK_FORMAT_TIME:
        return FormatTime(v, c->m_subformat);
    default:
        break;
    }
    int digits = qkfxGetQrxSystem().GetRefNumeric().GetNumDecDigits();
    return qkFormatCellNumber(v, c->m_format == QK_FORMAT_NUMERIC ? c->m_subformat : 0, digits);
}

CQKTablePage::CellKind CQKWksPage::GetCellKind(int column, int row) const
{
    CQKDataset* c = GetColumn(column);
    if (c == nullptr || row < 0 || row >= c->GetEnd())
        return CELL_NONE;
    if (c->IsText(row))
        return CELL_TEXT;
    return c->GetValue(row) == MISSING_VALUE ? CELL_MISSING : CELL_NUMBER;
}

int CQKWksPage::GetFilledRows(int column) const
{
    CQKDataset* c = GetColumn(column);
    return c ? c->GetEnd() : 0;
}

std::string CQKWksPage::GetColumnHeading(int column) const
{
    CQKDataset* c = GetColumn(column);
    if (c == nullptr)
        return std::string();
    std::string name = c->m_columnName;
    if (c->m_type >= 1 && c->m_type <= 7)
        name += kDesignations[c->m_type];
    return name;
}

std::string CQKWksPage::GetColumnLabel(int column) const
{
    CQKDataset* c = GetColumn(column);
    return c ? c->m_label : std::string();
}

int CQKWksPage::GetNumRows() const
{
    // The active cell may lie below the data: the rows reach it, so typing can go on there.
    int rows = std::max(kMinRows, m_activeRow + 1);
    for (const auto& c : m_columns)
        rows = std::max(rows, c->GetEnd());
    return rows;
}

int CQKWksPage::GetNumDataRows() const
{
    int rows = 1;
    for (const auto& c : m_columns)
        rows = std::max(rows, c->GetEnd());
    return rows;
}

int CQKTablePage::GetHeaderHeight() const
{
    return m_rowHeight * GetHeadingLines() + 2;
}

int CQKTablePage::GetRowNumberWidth() const
{
    int digits = 1;
    for (int n = GetNumRows(); n >= 10; n /= 10)
        ++digits;
    return (std::max(digits, 4) + 1) * m_charWidth;
}

int CQKWksPage::GetColumnPixels(int column) const
{
    CQKDataset* c = GetColumn(column);
    int width = c ? std::max(1, std::min(200, c->m_width)) : 8;
    return width * m_charWidth + 10;
}

int CQKTablePage::GetVisibleRows() const
{
    RECT r;
    if (!GetDrawRect(r))
        return 0;
    int h = r.bottom - r.top - GetHeaderHeight();
    return h <= 0 ? 0 : (h + m_rowHeight - 1) / m_rowHeight;
}

int CQKTablePage::GetVisibleColumns() const
{
    RECT r;
    if (!GetDrawRect(r))
        return 0;
    int x = r.left + GetRowNumberWidth(), n = 0;
    for (int c = m_leftColumn; c <= GetNumCols() && x < r.right; ++c, ++n)
        x += GetColumnPixels(c);
    return n;
}

void CQKTablePage::ScrollTo(int topRow, int leftColumn)
{
    // The last row may come up to the bottom of the view, no further.
    int lastTop = std::max(0, GetNumRows() - std::max(1, GetVisibleRows() - 1));
    m_topRow = std::max(0, std::min(topRow, lastTop));
    m_leftColumn = std::max(1, std::min(leftColumn, std::max(1, GetNumCols())));
}

void CQKTablePage::MeasureFont(HDC dc)
{
    TEXTMETRICA tm;
    if (GetTextMetricsA(dc, &tm)) {
        m_rowHeight = tm.tmHeight + 4;
        m_charWidth = std::max(1, (int)tm.tmAveCharWidth);
    }
}

int CQKTablePage::HitTest(int x, int y, int* column, int* row) const
{
    RECT r;
    *column = 0;
    *row = 0;
    if (!GetDrawRect(r) || x < r.left || y < r.top || x >= r.right || y >= r.bottom)
        return 0;
    int header = GetHeaderHeight(), numbers = GetRowNumberWidth();
    bool inHeader = y < r.top + header, inNumbers = x < r.left + numbers;
    if (inHeader && inNumbers)
        return 4;
    if (!inHeader) {
        *row = m_topRow + (y - r.top - header) / m_rowHeight;
        if (*row >= GetNumRows())
            return 0;
    }
    if (!inNumbers) {
        int left = r.left + numbers;
        int c = m_leftColumn;
        for (; c <= GetNumCols(); ++c) {
            int w = GetColumnPixels(c);
            if (x < left + w)
                break;
            left += w;
        }
        if (c > GetNumCols())
            return 0;
        *column = c;
    }
    return inHeader ? 2 : inNumbers ? 3 : 1;
}

namespace {

bool IsCellSelected(const CQKTablePage& wks, int column, int row)
{
    if (wks.m_selC1 < 1 || column < wks.m_selC1 || column > wks.m_selC2)
        return false;
    if (wks.m_selR1 == 0 && wks.m_selR2 == 0)
        return true; // whole columns
    return row + 1 >= wks.m_selR1 && row + 1 <= wks.m_selR2;
}

void FillSolid(HDC dc, const RECT& r, COLORREF color)
{
    SetBkColor(dc, color);
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

} // namespace

BOOL CQKTablePage::Draw(HDC dc, const RECT& rect)
{
    if (dc == nullptr || rect.right <= rect.left || rect.bottom <= rect.top)
        return FALSE;
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY) > 0 ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
    HFONT font = CreateFontA(-MulDiv(kFontPoints, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, "Arial");
    HGDIOBJ oldFont = SelectObject(dc, font);
    MeasureFont(dc);
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
    SetBkMode(dc, OPAQUE);

    const COLORREF paper = RGB(255, 255, 255), ink = RGB(0, 0, 0), face = GetSysColor(COLOR_BTNFACE),
                   gridColor = RGB(192, 192, 192), selPaper = GetSysColor(COLOR_HIGHLIGHT),
                   selInk = GetSysColor(COLOR_HIGHLIGHTTEXT), missingInk = RGB(128, 128, 128);
    const int header = GetHeaderHeight(), numbers = GetRowNumberWidth(), rowH = m_rowHeight;
    const int numRows = GetNumRows();
    FillSolid(dc, rect, paper);

    // The columns in view and their left edges.
    std::vector<std::pair<int, int>> cols; // column, left
    for (int c = m_leftColumn, x = rect.left + numbers; c <= GetNumCols() && x < rect.right; ++c) {
        cols.emplace_back(c, x);
        x += GetColumnPixels(c);
    }
    const int right = cols.empty() ? rect.left + numbers : cols.back().second + GetColumnPixels(cols.back().first);
    const int lastRow = std::min(numRows, m_topRow + (int)(rect.bottom - rect.top - header + rowH - 1) / rowH);
    const int bottom = rect.top + header + (lastRow - m_topRow) * rowH;

    // Cells.
    for (int row = m_topRow; row < lastRow; ++row) {
        const int y = rect.top + header + (row - m_topRow) * rowH;
        for (const auto& col : cols) {
            RECT cell = {col.second, y, col.second + GetColumnPixels(col.first), y + rowH};
            bool selected = IsCellSelected(*this, col.first, row) &&
                            !(col.first == m_activeColumn && row == m_activeRow && !m_selWholeRows &&
                              !(m_selR1 == 0 && m_selR2 == 0));
            if (selected)
                FillSolid(dc, cell, selPaper);
            const CellKind kind = GetCellKind(col.first, row);
            if (kind == CELL_NONE)
                continue;
            bool text = kind == CELL_TEXT;
            bool missing = kind == CELL_MISSING;
            std::string s = FormatCell(col.first, row);
            SetTextColor(dc, selected ? selInk : missing ? missingInk : ink);
            SetBkColor(dc, selected ? selPaper : paper);
            RECT inner = {cell.left + 3, cell.top, cell.right - 3, cell.bottom};
            DrawTextA(dc, s.c_str(), (int)s.size(), &inner,
                      (text ? DT_LEFT : DT_RIGHT) | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
        }
    }

    // The grid.
    HPEN gridPen = CreatePen(PS_SOLID, 1, gridColor);
    HGDIOBJ oldPen = SelectObject(dc, gridPen);
    if (m_showGrid) {
        for (int row = m_topRow; row <= lastRow; ++row) {
            const int y = rect.top + header + (row - m_topRow) * rowH - 1;
            MoveToEx(dc, rect.left + numbers, y, nullptr);
            LineTo(dc, right, y);
        }
        for (const auto& col : cols) {
            const int x = col.second + GetColumnPixels(col.first) - 1;
            MoveToEx(dc, x, rect.top + header, nullptr);
            LineTo(dc, x, bottom);
        }
    }

    // Column headings: "A(X)", the label under it when labels are shown.
    HPEN darkPen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
    SelectObject(dc, darkPen);
    RECT corner = {rect.left, rect.top, rect.left + numbers, rect.top + header};
    FillSolid(dc, corner, face);
    for (const auto& col : cols) {
        RECT h = {col.second, rect.top, col.second + GetColumnPixels(col.first), rect.top + header};
        bool selected = m_selC1 >= 1 && col.first >= m_selC1 && col.first <= m_selC2 && m_selR1 == 0 && m_selR2 == 0;
        FillSolid(dc, h, selected ? selPaper : face);
        SetTextColor(dc, selected ? selInk : ink);
        std::string name = GetColumnHeading(col.first);
        RECT line = {h.left + 2, h.top + 1, h.right - 2, h.top + 1 + rowH};
        DrawTextA(dc, name.c_str(), (int)name.size(), &line, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
        if (GetHeadingLines() > 1) {
            OffsetRect(&line, 0, rowH);
            std::string label = GetColumnLabel(col.first);
            DrawTextA(dc, label.c_str(), (int)label.size(), &line,
                      DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
        }
        MoveToEx(dc, h.right - 1, h.top, nullptr);
        LineTo(dc, h.right - 1, h.bottom);
    }
    MoveToEx(dc, rect.left, rect.top + header - 1, nullptr);
    LineTo(dc, right, rect.top + header - 1);

    // Row numbers, from 1.
    for (int row = m_topRow; row < lastRow; ++row) {
        const int y = rect.top + header + (row - m_topRow) * rowH;
        RECT n = {rect.left, y, rect.left + numbers, y + rowH};
        bool selected = m_selWholeRows && row + 1 >= m_selR1 && row + 1 <= m_selR2;
        FillSolid(dc, n, selected ? selPaper : face);
        SetTextColor(dc, selected ? selInk : ink);
        char text[16];
        int len = snprintf(text, sizeof text, "%d", row + 1);
        RECT inner = {n.left + 2, n.top, n.right - 4, n.bottom};
        DrawTextA(dc, text, len, &inner, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
        MoveToEx(dc, n.left, n.bottom - 1, nullptr);
        LineTo(dc, n.right, n.bottom - 1);
    }
    MoveToEx(dc, rect.left + numbers - 1, rect.top, nullptr);
    LineTo(dc, rect.left + numbers - 1, bottom);

    SelectObject(dc, oldPen);
    DeleteObject(gridPen);
    DeleteObject(darkPen);
    RestoreDC(dc, saved);
    SelectObject(dc, oldFont);
    DeleteObject(font);
    return TRUE;
}

void CQKTablePage::DrawScreenItems(HDC dc)
{
    RECT r;
    if (dc == nullptr || !GetDrawRect(r) || m_activeColumn < m_leftColumn || m_activeRow < m_topRow)
        return;
    int x = r.left + GetRowNumberWidth();
    for (int c = m_leftColumn; c < m_activeColumn; ++c)
        x += GetColumnPixels(c);
    int y = r.top + GetHeaderHeight() + (m_activeRow - m_topRow) * m_rowHeight;
    if (x >= r.right || y >= r.bottom || m_activeColumn > GetNumCols() || m_activeRow > GetLastRow())
        return;
    RECT cell = {x, y - 1, x + GetColumnPixels(m_activeColumn), y + m_rowHeight};
    if (m_editing) {
        // The text being typed, with a caret after it, over the cell.
        const int dpi = GetDeviceCaps(dc, LOGPIXELSY) > 0 ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
        HFONT font = CreateFontA(-MulDiv(kFontPoints, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                                 OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS,
                                 "Arial");
        HGDIOBJ oldFont = SelectObject(dc, font);
        FillSolid(dc, cell, RGB(255, 255, 255));
        SetTextColor(dc, RGB(0, 0, 0));
        RECT inner = {cell.left + 3, cell.top, cell.right - 3, cell.bottom};
        SIZE size = {};
        GetTextExtentPoint32A(dc, m_editText.c_str(), (int)m_editText.size(), &size);
        DrawTextA(dc, m_editText.c_str(), (int)m_editText.size(), &inner, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        int caret = std::min(inner.right - 1, inner.left + size.cx + 1);
        RECT bar = {caret, inner.top + 2, caret + 1, inner.bottom - 2};
        FillSolid(dc, bar, RGB(0, 0, 0));
        SelectObject(dc, oldFont);
        DeleteObject(font);
    }
    // The active cell's frame: two pixels, black.
    HBRUSH black = (HBRUSH)GetStockObject(BLACK_BRUSH);
    FrameRect(dc, &cell, black);
    InflateRect(&cell, -1, -1);
    FrameRect(dc, &cell, black);
}

// ---- printing --------------------------------------------------------------------------

namespace {

// The part of a printer page inside the page set-up's margins (hundredths of a
// millimetre from the paper's edges), as device units of the printable area.
RECT InsideMargins(HDC dc, const RECT& area, const RECT& margin)
{
    const int dpiX = std::max(1, GetDeviceCaps(dc, LOGPIXELSX)), dpiY = std::max(1, GetDeviceCaps(dc, LOGPIXELSY));
    const int offX = GetDeviceCaps(dc, PHYSICALOFFSETX), offY = GetDeviceCaps(dc, PHYSICALOFFSETY);
    const int paperW = GetDeviceCaps(dc, PHYSICALWIDTH), paperH = GetDeviceCaps(dc, PHYSICALHEIGHT);
    RECT r = area;
    r.left = std::max<LONG>(area.left, MulDiv(margin.left, dpiX, 2540) - offX);
    r.top = std::max<LONG>(area.top, MulDiv(margin.top, dpiY, 2540) - offY);
    if (paperW > 0)
        r.right = std::min<LONG>(area.right, paperW - MulDiv(margin.right, dpiX, 2540) - offX);
    if (paperH > 0)
        r.bottom = std::min<LONG>(area.bottom, paperH - MulDiv(margin.bottom, dpiY, 2540) - offY);
    // Margins larger than the paper leave the whole printable area.
    if (r.right <= r.left || r.bottom <= r.top)
        r = area;
    return r;
}

HFONT CellFont(HDC dc)
{
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY) > 0 ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
    return CreateFontA(-MulDiv(kFontPoints, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, "Arial");
}

} // namespace

void CQKWksPage::SetPrintRange(int firstCol, int lastCol, int firstRow, int lastRow)
{
    m_printFirstCol = firstCol;
    m_printLastCol = lastCol;
    m_printFirstRow = firstRow;
    m_printLastRow = lastRow;
}

void CQKWksPage::GetPrintRange(int& firstCol, int& lastCol, int& firstRow, int& lastRow) const
{
    firstCol = std::max(0, m_printFirstCol);
    lastCol = m_printLastCol < 0 ? GetNumCols() : std::min(m_printLastCol, GetNumCols());
    firstRow = std::max(0, m_printFirstRow);
    lastRow = m_printLastRow < 0 ? GetNumRows() : m_printLastRow;
}

int CQKWksPage::LayoutPrintPages(HDC dc, const RECT& area)
{
    m_printColumnBlocks.clear();
    m_printRowsPerPage = 0;
    if (dc == nullptr)
        return 0;
    HFONT font = CellFont(dc);
    HGDIOBJ old = SelectObject(dc, font);
    MeasureFont(dc);
    SelectObject(dc, old);
    DeleteObject(font);

    int c1, c2, r1, r2;
    GetPrintRange(c1, c2, r1, r2);
    if (c1 >= c2 || r1 >= r2)
        return 0;
    const RECT inside = InsideMargins(dc, area, m_printMargin);
    int height = inside.bottom - inside.top - GetHeaderHeight();
    if (m_printHeader)
        height -= 2 * m_rowHeight;
    if (m_printPageNumber)
        height -= 2 * m_rowHeight;
    m_printRowsPerPage = height / m_rowHeight;
    if (m_printRowsPerPage <= 0)
        return 0;
    // Columns from 1 here; a column wider than the page gets a page of its own.
    const int width = inside.right - inside.left - GetRowNumberWidth();
    for (int c = c1 + 1; c <= c2;) {
        int first = c, used = 0;
        while (c <= c2 && (c == first || used + GetColumnPixels(c) <= width))
            used += GetColumnPixels(c++);
        m_printColumnBlocks.emplace_back(first, c);
    }
    const int rowPages = (r2 - r1 + m_printRowsPerPage - 1) / m_printRowsPerPage;
    return rowPages * (int)m_printColumnBlocks.size();
}

void CQKWksPage::GetHeaderFooterRects(HDC dc, const RECT& area, RECT& header, RECT& footer)
{
    header = footer = RECT{0, 0, 0, 0};
    if (dc == nullptr)
        return;
    HFONT font = CellFont(dc);
    HGDIOBJ oldFont = SelectObject(dc, font);
    MeasureFont(dc);
    SelectObject(dc, oldFont);
    DeleteObject(font);
    const RECT inside = InsideMargins(dc, area, m_printMargin);
    if (m_printHeader)
        header = {inside.left, inside.top, inside.right, inside.top + m_rowHeight};
    if (m_printPageNumber)
        footer = {inside.left, inside.bottom - m_rowHeight, inside.right, inside.bottom};
}

BOOL CQKWksPage::DrawHeaderFooters(HDC dc, const QKPrintInfo& info)
{
    RECT header, footer;
    GetHeaderFooterRects(dc, info.rectDraw, header, footer);
    if (IsRectEmpty(&header) && IsRectEmpty(&footer))
        return FALSE;
    HFONT font = CellFont(dc);
    HGDIOBJ oldFont = SelectObject(dc, font);
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor = SetTextColor(dc, RGB(0, 0, 0));
    if (!IsRectEmpty(&header))
        DrawTextA(dc, GetName().c_str(), (int)GetName().size(), &header, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
    if (!IsRectEmpty(&footer)) {
        char text[32];
        int len = snprintf(text, sizeof text, "Page %u", info.curPage);
        DrawTextA(dc, text, len, &footer, DT_CENTER | DT_SINGLELINE);
    }
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
    DeleteObject(font);
    return TRUE;
}

BOOL CQKWksPage::DrawPrintPage(HDC dc, const RECT& area, int page)
{
    if (dc == nullptr || m_printRowsPerPage <= 0 || m_printColumnBlocks.empty() || page < 1)
        return FALSE;
    int c1, c2, r1, r2;
    GetPrintRange(c1, c2, r1, r2);
    const int rowPages = (r2 - r1 + m_printRowsPerPage - 1) / m_printRowsPerPage;
    // Down the rows first, then across to the next columns.
    const int block = (page - 1) / rowPages, rowPage = (page - 1) % rowPages;
    if (block >= (int)m_printColumnBlocks.size())
        return FALSE;
    const int firstRow = r1 + rowPage * m_printRowsPerPage;
    const int rows = std::min(m_printRowsPerPage, r2 - firstRow);
    const auto columns = m_printColumnBlocks[block];

    const RECT inside = InsideMargins(dc, area, m_printMargin);
    HFONT font = CellFont(dc);
    HGDIOBJ oldFont = SelectObject(dc, font);
    MeasureFont(dc);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    RECT cells = inside;
    // The header and footer are drawn apart (DrawHeaderFooters); the cells leave them room.
    if (m_printHeader)
        cells.top += 2 * m_rowHeight;
    SelectObject(dc, oldFont);
    DeleteObject(font);

    int width = GetRowNumberWidth();
    for (int c = columns.first; c < columns.second; ++c)
        width += GetColumnPixels(c);
    cells.right = std::min<LONG>(cells.right, cells.left + width);
    cells.bottom = cells.top + GetHeaderHeight() + rows * m_rowHeight;

    // The page is drawn as the window would show it from its first cell, without the
    // selection, which is the screen's and not the data's.
    const int topRow = m_topRow, leftColumn = m_leftColumn;
    const int s1 = m_selC1, s2 = m_selC2, s3 = m_selR1, s4 = m_selR2;
    const bool wholeRows = m_selWholeRows;
    m_topRow = firstRow;
    m_leftColumn = columns.first;
    m_selC1 = m_selC2 = m_selR1 = m_selR2 = 0;
    m_selWholeRows = false;
    BOOL drawn = Draw(dc, cells);
    m_topRow = topRow;
    m_leftColumn = leftColumn;
    m_selC1 = s1, m_selC2 = s2, m_selR1 = s3, m_selR2 = s4;
    m_selWholeRows = wholeRows;
    return drawn;
}

SIZE CQKWksPage::GetTableSize(HDC dc, int maxRows)
{
    HFONT font = CellFont(dc);
    HGDIOBJ oldFont = SelectObject(dc, font);
    MeasureFont(dc);
    SelectObject(dc, oldFont);
    DeleteObject(font);
    int width = GetRowNumberWidth();
    for (int c = 1; c <= GetNumCols(); ++c)
        width += GetColumnPixels(c);
    // The rows that hold data, not the empty ones the window offers for typing.
    return {width, GetHeaderHeight() + std::max(1, std::min(GetNumDataRows(), maxRows)) * m_rowHeight};
}

BOOL CQKWksPage::DrawTableScaled(HDC dc, const RECT& rect, int maxRows)
{
    const SIZE size = GetTableSize(dc, maxRows);
    if (dc == nullptr || size.cx <= 0 || size.cy <= 0 || rect.right <= rect.left || rect.bottom <= rect.top)
        return FALSE;
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
    SetGraphicsMode(dc, GM_ADVANCED);
    XFORM scale = {};
    scale.eM11 = float(rect.right - rect.left) / size.cx;
    scale.eM22 = float(rect.bottom - rect.top) / size.cy;
    scale.eDx = float(rect.left);
    scale.eDy = float(rect.top);
    ModifyWorldTransform(dc, &scale, MWT_LEFTMULTIPLY);
    // As printed: from the first cell, without the selection, which is the screen's.
    const int topRow = m_topRow, leftColumn = m_leftColumn;
    const int s1 = m_selC1, s2 = m_selC2, s3 = m_selR1, s4 = m_selR2;
    const bool wholeRows = m_selWholeRows;
    m_topRow = 0;
    m_leftColumn = 1;
    m_selC1 = m_selC2 = m_selR1 = m_selR2 = 0;
    m_selWholeRows = false;
    const RECT table = {0, 0, size.cx, size.cy};
    BOOL drawn = Draw(dc, table);
    m_topRow = topRow;
    m_leftColumn = leftColumn;
    m_selC1 = s1, m_selC2 = s2, m_selR1 = s3, m_selR2 = s4;
    m_selWholeRows = wholeRows;
    RestoreDC(dc, saved);
    return drawn;
}
