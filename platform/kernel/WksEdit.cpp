// A table page's window input (worksheet or matrix): selecting with the mouse and the
// keys, typing into cells, scrolling; and the worksheet commands the kernel carries out
// itself.
#include <windows.h>
#include <windowsx.h>

#include <algorithm>
#include <chrono>
#include <random>

#include "KernelInternal.h"
#include "QKAccess.h"
#include "QKAsciiImport.h"
#include "QKContour.h"
#include "QKData.h"
#include "QKScript.h"
#include "QKSysMethod.h"

std::string qkTrimBlanks(const std::string& s)
{
    size_t a = s.find_first_not_of(" \t");
    if (a == std::string::npos)
        return std::string();
    return s.substr(a, s.find_last_not_of(" \t") - a + 1);
}

bool qkParseTypedNumber(const std::string& text, double* value)
{
    int separators = qkfxGetQrxSystem().GetRefNumeric().GetSeparators();
    char decimal = qkfxGetDecimalChar(separators), group = qkfxGetGroupChar(separators);
    std::string s;
    for (char c : text)
        if (c != group || c == decimal)
            s += c;
    return qkfxParseNumber(s.data(), s.data() + s.size(), decimal, value);
}

namespace {

// Days from 1 January 1900 (day 0) of a civil date.
double DaysFromCivil(int y, int m, int d)
{
    y -= m <= 2;
    long long era = (y >= 0 ? y : y - 399) / 400;
    long long yoe = y - era * 400;
    long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return (double)(era * 146097 + doe - 693901);
}

bool ParseDate(const std::string& s, double* days)
{
    int a = 0, b = 0, c = 0;
    char tail = 0;
    if (sscanf(s.c_str(), "%d-%d-%d%c", &a, &b, &c, &tail) == 3 && b >= 1 && b <= 12 && c >= 1 && c <= 31) {
        *days = DaysFromCivil(a, b, c);
        return true;
    }
    if (sscanf(s.c_str(), "%d/%d/%d%c", &a, &b, &c, &tail) == 3 && a >= 1 && a <= 12 && b >= 1 && b <= 31) {
        *days = DaysFromCivil(c, a, b);
        return true;
    }
    return false;
}

bool ParseTime(const std::string& s, double* days)
{
    int h = 0, m = 0, sec = 0;
    char tail = 0;
    int n = sscanf(s.c_str(), "%d:%d:%d%c", &h, &m, &sec, &tail);
    if ((n == 2 || n == 3) && m >= 0 && m < 60 && sec >= 0 && sec < 60) {
        *days = (h * 3600.0 + (h < 0 ? -1 : 1) * (m * 60.0 + sec)) / 86400.0;
        return true;
    }
    return false;
}

std::mt19937_64& Random()
{
    static std::mt19937_64 engine((unsigned long long)std::chrono::steady_clock::now().time_since_epoch().count());
    return engine;
}

} // namespace

bool CQKWksPage::SetCellFromText(int column, int row, const std::string& typed, std::string* why)
{
    CQKDataset* c = GetColumn(column);
    if (c == nullptr || row < 0 || row >= QK_MAX_ROWS) {
        *why = "there is no such cell";
        return false;
    }
    std::string text = qkTrimBlanks(typed);
    if (text.empty() || text == "--") {
        if (row < c->GetEnd())
            c->SetValue(row, MISSING_VALUE);
        return true;
    }
    double v;
    switch (c->m_format) {
    case QK_FORMAT_TEXT:
        return c->SetText(row, typed);
    case QK_FORMAT_TEXT_NUMERIC:
        return qkParseTypedNumber(text, &v) ? c->SetValue(row, v) : c->SetText(row, typed);
    case QK_FORMAT_DATE:
        if (qkParseTypedNumber(text, &v) || ParseDate(text, &v))
            return c->SetValue(row, v);
        *why = "column " + c->m_columnName + " holds dates: \"" + text +
               "\" is no date (type it as 2024-03-31 or 3/31/2024)";
        return false;
    case QK_FORMAT_TIME:
        if (qkParseTypedNumber(text, &v) || ParseTime(text, &v))
            return c->SetValue(row, v);
        *why = "column " + c->m_columnName + " holds times: \"" + text + "\" is no time (type it as 13:45 or 13:45:30)";
        return false;
    default:
        if (qkParseTypedNumber(text, &v))
            return c->SetValue(row, v);
        *why = "column " + c->m_columnName + " is numeric: \"" + text +
               "\" is not a number. Set the column's format to Text & Numeric to keep texts in it.";
        return false;
    }
}

// ---- selection ---------------------------------------------------------------------------

void CQKTablePage::SelectCells(int c1, int r1, int c2, int r2)
{
    m_selC1 = std::max(1, std::min(c1, c2));
    m_selC2 = std::max(1, std::max(c1, c2));
    m_selR1 = std::max(0, std::min(r1, r2)) + 1;
    m_selR2 = std::max(0, std::max(r1, r2)) + 1;
    m_selWholeRows = false;
}

void CQKTablePage::SelectColumns(int c1, int c2)
{
    m_selC1 = std::max(1, std::min(c1, c2));
    m_selC2 = std::max(1, std::max(c1, c2));
    m_selR1 = m_selR2 = 0;
    m_selWholeRows = false;
}

void CQKTablePage::SelectRows(int r1, int r2)
{
    m_selC1 = 1;
    m_selC2 = std::max(1, GetNumCols());
    m_selR1 = std::max(0, std::min(r1, r2)) + 1;
    m_selR2 = std::max(0, std::max(r1, r2)) + 1;
    m_selWholeRows = true;
}

void CQKTablePage::SelectNone()
{
    m_selC1 = m_selC2 = m_selR1 = m_selR2 = 0;
    m_selWholeRows = false;
}

// ---- typing --------------------------------------------------------------------------------

bool CQKTablePage::GetEditText(std::string& text) const
{
    text = m_editText;
    return m_editing;
}

bool CQKTablePage::EndEdit(bool keep)
{
    if (!m_editing)
        return true;
    if (keep) {
        std::string why;
        if (!SetCellFromText(m_activeColumn, m_activeRow, m_editText, &why)) {
            qkfxGetAccess()->DoMessageBox(why.c_str(), MB_OK | MB_ICONEXCLAMATION);
            return false;
        }
    }
    m_editing = false;
    m_editText.clear();
    Redraw();
    return true;
}

bool CQKTablePage::OnChar(UINT ch)
{
    if (m_activeColumn > GetNumCols() || m_activeRow > GetLastRow())
        return false;
    if (ch == '\b') {
        if (m_editing && !m_editText.empty())
            m_editText.pop_back();
        Redraw();
        return true;
    }
    if (ch == '\t') {
        if (EndEdit(true))
            MoveActive(1, 0, false);
        return true;
    }
    if (ch < 32 || ch == 127)
        return false;
    if (!m_editing) {
        m_editing = true;
        m_editText.clear();
        SelectCells(m_activeColumn, m_activeRow, m_activeColumn, m_activeRow);
    }
    m_editText += (char)ch;
    Redraw();
    return true;
}

// ---- moving about ----------------------------------------------------------------------------

void CQKTablePage::EnsureVisible(int column, int row)
{
    int rows = std::max(1, GetVisibleRows() - 1);
    if (row < m_topRow)
        m_topRow = row;
    else if (row >= m_topRow + rows)
        m_topRow = row - rows + 1;
    if (column < m_leftColumn)
        m_leftColumn = column;
    else {
        RECT r;
        if (GetDrawRect(r)) {
            // Scroll right until the column's right edge is in view (or it is the first).
            for (;;) {
                int x = r.left + GetRowNumberWidth();
                for (int c = m_leftColumn; c <= column; ++c)
                    x += GetColumnPixels(c);
                if (x <= r.right || m_leftColumn >= column)
                    break;
                ++m_leftColumn;
            }
        }
    }
    ScrollTo(m_topRow, m_leftColumn);
}

void CQKTablePage::MoveActive(int dColumn, int dRow, bool extend)
{
    int column = std::max(1, std::min(m_activeColumn + dColumn, std::max(1, GetNumCols())));
    int row = std::max(0, std::min(m_activeRow + dRow, GetLastRow()));
    m_activeColumn = column;
    m_activeRow = row;
    if (extend)
        SelectCells(m_anchorColumn, m_anchorRow, column, row);
    else {
        m_anchorColumn = column;
        m_anchorRow = row;
        SelectCells(column, row, column, row);
    }
    EnsureVisible(column, row);
    Redraw();
}

void CQKTablePage::GoToRow(int row)
{
    EndEdit(true);
    MoveActive(0, row - m_activeRow, false);
}

void CQKTablePage::Redraw()
{
    HWND view = m_view ? m_view : GetDrawingWnd();
    if (view != nullptr && IsWindow(view)) {
        UpdateScrollBars(view);
        InvalidateRect(view, nullptr, FALSE);
    }
}

void CQKTablePage::UpdateScrollBars(HWND view)
{
    SCROLLINFO si = {sizeof si};
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    si.nMin = 0;
    si.nMax = std::max(GetNumRows(), m_activeRow + 1) - 1;
    si.nPage = (UINT)std::max(1, GetVisibleRows() - 1);
    si.nPos = m_topRow;
    SetScrollInfo(view, SB_VERT, &si, TRUE);
    si.nMin = 1;
    si.nMax = std::max(1, GetNumCols());
    si.nPage = (UINT)std::max(1, GetVisibleColumns());
    si.nPos = m_leftColumn;
    SetScrollInfo(view, SB_HORZ, &si, TRUE);
}

int CQKTablePage::OnKeyDown(UINT key, UINT, UINT)
{
    const bool shift = GetKeyState(VK_SHIFT) < 0, control = GetKeyState(VK_CONTROL) < 0;
    if (m_editing) {
        switch (key) {
        case VK_ESCAPE:
            EndEdit(false);
            return 1;
        case VK_RETURN:
        case VK_UP:
        case VK_DOWN:
        case VK_LEFT:
        case VK_RIGHT:
            if (!EndEdit(true))
                return 1;
            break;
        default:
            return 0;
        }
    }
    const int page = std::max(1, GetVisibleRows() - 2);
    switch (key) {
    case VK_RETURN:
        MoveActive(0, 1, false);
        return 1;
    case VK_UP:
        MoveActive(0, -1, shift);
        return 1;
    case VK_DOWN:
        MoveActive(0, 1, shift);
        return 1;
    case VK_LEFT:
        MoveActive(-1, 0, shift);
        return 1;
    case VK_RIGHT:
        MoveActive(1, 0, shift);
        return 1;
    case VK_PRIOR:
        m_topRow = std::max(0, m_topRow - page);
        MoveActive(0, -page, shift);
        return 1;
    case VK_NEXT:
        m_topRow = std::min(GetNumRows() - 1, m_topRow + page);
        MoveActive(0, page, shift);
        return 1;
    case VK_HOME:
        MoveActive(1 - m_activeColumn, control ? -m_activeRow : 0, shift);
        return 1;
    case VK_END: {
        int filled = GetFilledRows(m_activeColumn);
        int last = filled > 0 ? filled - 1 : m_activeRow;
        MoveActive(control ? 0 : GetNumCols() - m_activeColumn, control ? last - m_activeRow : 0, shift);
        return 1;
    }
    case VK_DELETE:
        ClearSelected();
        return 1;
    case VK_F2:
        if (m_activeColumn <= GetNumCols() && m_activeRow <= GetLastRow()) {
            const CellKind kind = GetCellKind(m_activeColumn, m_activeRow);
            m_editing = true;
            m_editText = kind == CELL_NUMBER || kind == CELL_TEXT ? FormatCell(m_activeColumn, m_activeRow) : std::string();
            Redraw();
        }
        return 1;
    case VK_ESCAPE:
        return 1;
    }
    return 0;
}

BOOL CQKTablePage::WindowProc(HWND view, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    m_view = view;
    *result = 0;
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam), column, row;
        SetFocus(view);
        if (!EndEdit(true))
            return TRUE;
        if (int edge = HitTestColumnEdge(x, y)) {
            // The heading's right edge: the column's width follows the pointer.
            RECT r;
            GetDrawRect(r);
            m_dragLeft = r.left + GetRowNumberWidth();
            for (int c = m_leftColumn; c < edge; ++c)
                m_dragLeft += GetColumnPixels(c);
            m_dragColumn = edge;
            m_drag = kDragWidth;
            SetCapture(view);
            return TRUE;
        }
        int kind = HitTest(x, y, &column, &row);
        const bool shift = (wParam & MK_SHIFT) != 0;
        switch (kind) {
        case 1:
            if (msg == WM_LBUTTONDBLCLK) {
                m_activeColumn = column;
                m_activeRow = row;
                OnKeyDown(VK_F2, 1, 0);
                return TRUE;
            }
            if (shift)
                SelectCells(m_anchorColumn, m_anchorRow, column, row);
            else {
                m_anchorColumn = column;
                m_anchorRow = row;
                SelectCells(column, row, column, row);
            }
            m_activeColumn = column;
            m_activeRow = row;
            break;
        case 2:
            if (!shift)
                m_anchorColumn = column;
            SelectColumns(m_anchorColumn, column);
            m_activeColumn = column;
            m_activeRow = m_topRow;
            break;
        case 3:
            if (!shift)
                m_anchorRow = row;
            SelectRows(m_anchorRow, row);
            m_activeRow = row;
            m_activeColumn = m_leftColumn;
            break;
        case 4:
            SelectColumns(1, std::max(1, GetNumCols()));
            break;
        default:
            SelectNone();
            break;
        }
        m_drag = kind >= 1 && kind <= 3 ? kind : 0;
        if (m_drag)
            SetCapture(view);
        Redraw();
        return TRUE;
    }
    case WM_MOUSEMOVE: {
        if (!m_drag || !(wParam & MK_LBUTTON))
            return FALSE;
        int column, row;
        int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
        if (m_drag == kDragWidth) {
            SetColumnPixels(m_dragColumn, x - m_dragLeft);
            return TRUE;
        }
        RECT client;
        if (m_drag == 2 && GetClientRect(view, &client) && !PtInRect(&client, POINT{x, y})) {
            // Headings dragged out of the window take their columns along (onto a graph).
            m_drag = 0;
            ReleaseCapture();
            if (DragSelectedColumnsOut())
                return TRUE;
        }
        RECT r;
        if (GetDrawRect(r)) {
            // Dragging past the edges keeps to the last cell in that direction.
            x = std::max((int)r.left + GetRowNumberWidth(), std::min(x, (int)r.right - 1));
            y = std::max((int)r.top + GetHeaderHeight(), std::min(y, (int)r.bottom - 1));
        }
        if (HitTest(x, y, &column, &row) != 1)
            return TRUE;
        if (m_drag == 1)
            SelectCells(m_anchorColumn, m_anchorRow, column, row);
        else if (m_drag == 2)
            SelectColumns(m_anchorColumn, column);
        else
            SelectRows(m_anchorRow, row);
        Redraw();
        return TRUE;
    }
    case WM_SETCURSOR: {
        POINT p;
        if (LOWORD(lParam) != HTCLIENT || !GetCursorPos(&p) || !ScreenToClient(view, &p))
            return FALSE;
        if (m_drag != kDragWidth && HitTestColumnEdge(p.x, p.y) == 0)
            return FALSE;
        SetCursor(LoadCursor(nullptr, IDC_SIZEWE));
        *result = TRUE;
        return TRUE;
    }
    case WM_LBUTTONUP:
        if (m_drag) {
            m_drag = 0;
            ReleaseCapture();
        }
        return TRUE;
    case WM_CHAR:
        return OnChar((UINT)wParam) ? TRUE : FALSE;
    case WM_KEYDOWN:
        return OnKeyDown((UINT)wParam, LOWORD(lParam), HIWORD(lParam)) ? TRUE : FALSE;
    case WM_VSCROLL:
    case WM_HSCROLL: {
        const bool vertical = msg == WM_VSCROLL;
        int pos = vertical ? m_topRow : m_leftColumn;
        int page = vertical ? std::max(1, GetVisibleRows() - 1) : std::max(1, GetVisibleColumns());
        switch (LOWORD(wParam)) {
        case SB_LINEUP: pos -= 1; break;
        case SB_LINEDOWN: pos += 1; break;
        case SB_PAGEUP: pos -= page; break;
        case SB_PAGEDOWN: pos += page; break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
            // The 32-bit position, not the message's 16 bits.
            SCROLLINFO si = {sizeof si};
            si.fMask = SIF_TRACKPOS;
            if (!GetScrollInfo(view, vertical ? SB_VERT : SB_HORZ, &si))
                return TRUE;
            pos = si.nTrackPos;
            break;
        }
        case SB_TOP: pos = 0; break;
        case SB_BOTTOM: pos = vertical ? GetNumRows() : GetNumCols(); break;
        default: return TRUE;
        }
        if (vertical)
            ScrollTo(pos, m_leftColumn);
        else
            ScrollTo(m_topRow, pos);
        Redraw();
        return TRUE;
    }
    case WM_MOUSEWHEEL: {
        int notches = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
        ScrollTo(m_topRow - 3 * notches, m_leftColumn);
        Redraw();
        return TRUE;
    }
    case WM_SIZE:
        UpdateScrollBars(view);
        return FALSE;
    }
    return FALSE;
}

// ---- the worksheet commands ------------------------------------------------------------------

bool CQKWksPage::InsertSelected()
{
    if (m_selC1 >= 1 && m_selR1 == 0 && m_selR2 == 0 && !m_selWholeRows) {
        int count = m_selC2 - m_selC1 + 1;
        for (int i = 0; i < count; ++i) {
            if (AddColumn() == nullptr)
                return false;
            // The new column moves from the end to its place.
            std::unique_ptr<CQKDataset> column = std::move(m_columns.back());
            m_columns.pop_back();
            m_columns.insert(m_columns.begin() + (m_selC1 - 1 + i), std::move(column));
        }
        MarkChanged();
        m_project->SetProjectModified(true);
        Redraw();
        return true;
    }
    if (m_selWholeRows && m_selR1 >= 1) {
        for (auto& c : m_columns)
            if (!c->InsertRows(m_selR1 - 1, m_selR2 - m_selR1 + 1))
                return false;
        Redraw();
        return true;
    }
    return false;
}

bool CQKWksPage::DeleteSelected()
{
    if (m_selC1 >= 1 && m_selR1 == 0 && m_selR2 == 0 && !m_selWholeRows) {
        for (int c = std::min(m_selC2, GetNumCols()); c >= m_selC1; --c)
            DeleteColumn(c);
        SelectNone();
        m_activeColumn = std::max(1, std::min(m_activeColumn, GetNumCols()));
        m_leftColumn = std::max(1, std::min(m_leftColumn, GetNumCols()));
        Redraw();
        return true;
    }
    if (m_selWholeRows && m_selR1 >= 1) {
        for (auto& c : m_columns)
            c->DeleteRows(m_selR1 - 1, m_selR2 - m_selR1 + 1);
        SelectNone();
        Redraw();
        return true;
    }
    return false;
}

void CQKWksPage::ClearSelected()
{
    if (m_selC1 < 1) {
        // Nothing selected: the active cell.
        CQKDataset* c = GetColumn(m_activeColumn);
        if (c != nullptr && m_activeRow < c->GetEnd())
            c->SetValue(m_activeRow, MISSING_VALUE);
        Redraw();
        return;
    }
    for (int n = m_selC1; n <= std::min(m_selC2, GetNumCols()); ++n) {
        CQKDataset* c = GetColumn(n);
        if (m_selR1 == 0 && m_selR2 == 0) {
            c->SetRange(0, 0);
            continue;
        }
        int last = std::min(m_selR2, c->GetEnd());
        for (int row = m_selR1 - 1; row < last; ++row)
            c->SetValue(row, MISSING_VALUE);
        // Missing values at the end of a column are no rows of it.
        int end = c->GetEnd();
        while (end > 0 && !c->IsText(end - 1) && c->GetValue(end - 1) == MISSING_VALUE)
            --end;
        if (end < c->GetEnd())
            c->SetRange(std::min(c->GetFirst(), end), end);
    }
    Redraw();
}

bool CQKWksPage::FillSelected(int command)
{
    int c1 = m_selC1, c2 = m_selC2;
    if (c1 < 1) {
        c1 = c2 = m_activeColumn;
        if (GetColumn(c1) == nullptr)
            return false;
    }
    c2 = std::min(c2, GetNumCols());
    int r1, r2; // from 0, inclusive
    if (m_selC1 >= 1 && (m_selR1 != 0 || m_selR2 != 0)) {
        r1 = m_selR1 - 1;
        r2 = m_selR2 - 1;
    } else {
        // Whole columns: as many rows as the longest column, or as the window shows.
        int rows = 0;
        for (auto& c : m_columns)
            rows = std::max(rows, c->GetEnd());
        r1 = 0;
        r2 = (rows > 0 ? rows : GetNumRows()) - 1;
    }
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    std::normal_distribution<double> normal(0.0, 1.0);
    for (int n = c1; n <= c2; ++n) {
        CQKDataset* c = GetColumn(n);
        if (c == nullptr || qkIsAbortRequested())
            return false;
        std::vector<double> values((size_t)(r2 - r1 + 1));
        for (size_t i = 0; i < values.size(); ++i)
            values[i] = command == 36444 ? (double)(r1 + (int)i + 1)
                        : command == 36445 ? uniform(Random())
                                           : normal(Random());
        if (!c->SetValues(r1, values.data(), (int)values.size()))
            return false;
        if (c->m_format == QK_FORMAT_TEXT)
            c->SetFormat(QK_FORMAT_NUMERIC);
    }
    Redraw();
    return true;
}

bool CQKWksPage::SetSelectedColumnType(int command)
{
    static const int kTypes[] = {QK_COLTYPE_Y, QK_COLTYPE_DISREGARD, QK_COLTYPE_YERR, QK_COLTYPE_X,
                                 QK_COLTYPE_LABEL, QK_COLTYPE_Z, QK_COLTYPE_XERR};
    if (command < 38754 || command > 38760)
        return false;
    int c1 = m_selC1 >= 1 ? m_selC1 : m_activeColumn, c2 = m_selC1 >= 1 ? m_selC2 : m_activeColumn;
    bool any = false;
    for (int n = c1; n <= std::min(c2, GetNumCols()); ++n) {
        GetColumn(n)->m_type = kTypes[command - 38754];
        any = true;
    }
    if (any) {
        m_project->SetProjectModified(true);
        Redraw();
    }
    return any;
}

BOOL CQKWksPage::ms_bDraggingFromQrxWksInvoked = FALSE;

BOOL CQKWksPage::DragSelectedColumnsOut()
{
    if (GetType() != QK_PAGE_WKS || m_selC1 < 1)
        return FALSE;
    HGLOBAL block = CreateGlobalMemoryForDragDrop(sizeof(CQKWksPage*));
    auto* first = block ? static_cast<CQKWksPage**>(GlobalLock(block)) : nullptr;
    if (!first) {
        if (block)
            GlobalFree(block);
        return FALSE;
    }
    *first = this;
    GlobalUnlock(block);
    ms_bDraggingFromQrxWksInvoked = TRUE;
    qkuDoDragDrop(block, GetQuorixWksDragDropClipboardFormat(), DROPEFFECT_COPY | DROPEFFECT_LINK);
    ms_bDraggingFromQrxWksInvoked = FALSE;
    GlobalFree(block);
    return TRUE;
}

bool CQKWksPage::MoveSelectedColumns(int command)
{
    if (m_selC1 < 1 || m_selC1 > GetNumCols())
        return false;
    int c1 = m_selC1 - 1, c2 = std::min(m_selC2, GetNumCols()); // [c1, c2) from 0
    int count = c2 - c1, target;
    switch (command) {
    case 38769: target = 0; break;
    case 38770: target = GetNumCols() - count; break;
    case 38771: target = std::max(0, c1 - 1); break;
    case 38772: target = std::min(GetNumCols() - count, c1 + 1); break;
    default: return false;
    }
    std::vector<std::unique_ptr<CQKDataset>> moving;
    for (int i = c1; i < c2; ++i)
        moving.push_back(std::move(m_columns[i]));
    m_columns.erase(m_columns.begin() + c1, m_columns.begin() + c2);
    for (int i = 0; i < count; ++i)
        m_columns.insert(m_columns.begin() + target + i, std::move(moving[i]));
    MarkChanged();
    SelectColumns(target + 1, target + count);
    m_activeColumn = target + 1;
    m_project->SetProjectModified(true);
    Redraw();
    return true;
}

BOOL CQKWksPage::OnWksCommands(int command)
{
    switch (command) {
    case 36441:
        return InsertSelected();
    case 36442:
        return DeleteSelected();
    case 36497:
        for (auto& c : m_columns)
            c->SetRange(0, 0);
        Redraw();
        return TRUE;
    case 36444:
    case 36445:
    case 36446:
        return FillSelected(command);
    case 33090:
        m_showGrid = !m_showGrid;
        Redraw();
        return TRUE;
    }
    if (command >= 38754 && command <= 38760)
        return SetSelectedColumnType(command);
    if (command >= 38769 && command <= 38772)
        return MoveSelectedColumns(command);
    return FALSE;
}

std::vector<std::string> CQKWksPage::GetSubformatNames(int format)
{
    switch (format) {
    case QK_FORMAT_NUMERIC:
        return {"Decimal:1000", "Scientific:1E3", "Engineering:1k", "Decimal:1,000"};
    case QK_FORMAT_TIME:
        return {"hh:mm", "hh:mm:ss"};
    case QK_FORMAT_DATE:
        return {"Short date (system)", "Long date (system)", "yyyy-MM-dd"};
    case QK_FORMAT_TEXT:
    case QK_FORMAT_TEXT_NUMERIC:
        return {"General"};
    default:
        return {};
    }
}

bool CQKWksPage::GetColumnFormat(int column, ColumnFormat* format) const
{
    const CQKDataset* c = GetColumn(column);
    if (c == nullptr)
        return false;
    format->name = c->m_columnName;
    format->label = c->m_label;
    format->type = c->m_type;
    format->format = c->m_format;
    format->subformat = c->m_subformat;
    format->width = c->m_width;
    return true;
}

bool CQKWksPage::SetColumnFormat(int column, const ColumnFormat& f, std::string* why)
{
    CQKDataset* c = GetColumn(column);
    if (c == nullptr) {
        *why = "the worksheet " + GetName() + " has no column " + std::to_string(column);
        return false;
    }
    if (f.name != c->m_columnName) {
        const CQKDataset* other = FindColumn(f.name);
        if (!CQKProject::IsValidName(f.name)) {
            *why = "\"" + f.name + "\" cannot be a column name: it must begin with a letter and hold only letters, digits and underscores (at most 64)";
            return false;
        }
        if (other != nullptr && other != c) {
            *why = "the worksheet " + GetName() + " already has a column \"" + f.name + "\"";
            return false;
        }
    }
    if (f.type < QK_COLTYPE_Y || f.type > QK_COLTYPE_XERR) {
        *why = "there is no column designation " + std::to_string(f.type);
        return false;
    }
    size_t subformats = GetSubformatNames(f.format).size();
    if (subformats == 0) {
        *why = "there is no column format " + std::to_string(f.format);
        return false;
    }
    if (f.subformat < 0 || (size_t)f.subformat >= subformats) {
        *why = "the format has no sub-format " + std::to_string(f.subformat);
        return false;
    }
    if (f.width < 1 || f.width > 200) {
        *why = "the column width must lie between 1 and 200 characters";
        return false;
    }
    if (f.name != c->m_columnName && !RenameColumn(column, f.name)) {
        *why = "the column cannot be renamed \"" + f.name + "\"";
        return false;
    }
    c->m_label = f.label;
    c->m_type = f.type;
    c->SetFormat(f.format);
    c->m_subformat = f.subformat;
    c->m_width = f.width;
    MarkChanged();
    m_project->SetProjectModified(true);
    qkRefreshPlotNames();
    Redraw();
    return true;
}

bool CQKWksPage::RunScript(std::string* why)
{
    // The script works on this worksheet: %H and the wks object name it.
    m_project->SetActivePage(this);
    CQKScript& script = qkfxGetScript();
    const bool ran = script.Execute(m_script, "the script of " + GetName());
    // What the script changed shows, also when it stopped part way.
    SetPageChange(1);
    if (GetDrawingWnd() != nullptr && IsWindow(GetDrawingWnd()))
        InvalidateRect(GetDrawingWnd(), nullptr, TRUE);
    if (!ran)
        *why = script.GetLastError();
    return ran;
}
