// The grid control: a cell area and two heading strips of one window class. The control
// holds geometry, scrolling, the current cell and the editor; everything a cell shows
// comes from the parent, asked through UGN_DRAWCELL as the cell is painted.
#include "ug3220.h"

#include <windowsx.h>

#include <string>
#include <vector>

namespace {

const char kClassName[] = "DUNUG3220";
const int kDefaultWidth = 60;

enum Role { ROLE_CELLS, ROLE_TOP, ROLE_SIDE };

struct Grid {
    Role role = ROLE_CELLS;
    Grid* master = nullptr; // the cell area's state; itself for the cell area
    HWND self = nullptr, cells = nullptr, top = nullptr, side = nullptr;
    int rows = 0, cols = 0;
    std::vector<int> widths;
    int rowHeight = 0;     // 0: from the font
    int fixedRowHeight = 0;
    int topRow = 0, leftCol = 0, curCol = 0, curRow = 0;
    HFONT font = nullptr;
    int border = 0, marginX = 0, marginY = 0;
    bool gridLines = true, focusFrame = true, resizable = true;
    int headingLines = 1;
    UGNotify note = {};
    HWND editor = nullptr;
    WNDPROC editProc = nullptr;
    bool ending = false;
    int dragCol = -1, dragStartX = 0, dragStartWidth = 0;
};

Grid* Get(HWND hwnd)
{
    return reinterpret_cast<Grid*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

Grid* Master(HWND hwnd)
{
    Grid* g = Get(hwnd);
    return g ? g->master : nullptr;
}

int RowHeight(Grid* m)
{
    if (m->fixedRowHeight > 0)
        return m->fixedRowHeight;
    if (m->rowHeight > 0)
        return m->rowHeight;
    HDC dc = GetDC(m->self);
    HGDIOBJ old = SelectObject(dc, m->font ? m->font : GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICA tm = {};
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(m->self, dc);
    m->rowHeight = tm.tmHeight + 4;
    return m->rowHeight;
}

int Width(Grid* m, int col)
{
    return col >= 0 && col < static_cast<int>(m->widths.size()) ? m->widths[col] : kDefaultWidth;
}

// Left edge of column `col` in the cell area (and the top heading), scrolled.
int ColumnX(Grid* m, int col)
{
    int x = m->marginX;
    for (int c = m->leftCol; c < col; ++c)
        x += Width(m, c);
    return x;
}

int RowY(Grid* m, int row)
{
    return m->marginY + (row - m->topRow) * RowHeight(m);
}

RECT CellRect(Grid* m, int col, int row)
{
    RECT r;
    r.left = ColumnX(m, col);
    r.right = r.left + Width(m, col);
    r.top = RowY(m, row);
    r.bottom = r.top + RowHeight(m);
    return r;
}

int HitColumn(Grid* m, int x)
{
    int left = m->marginX;
    for (int c = m->leftCol; c < m->cols; ++c) {
        int right = left + Width(m, c);
        if (x >= left && x < right)
            return c;
        left = right;
    }
    return -2;
}

int HitRow(Grid* m, int y)
{
    if (y < m->marginY)
        return -2;
    int row = m->topRow + (y - m->marginY) / RowHeight(m);
    return row < m->rows ? row : -2;
}

int KeyFlags()
{
    return (GetKeyState(VK_CONTROL) < 0 ? UG_CTRL : 0) | (GetKeyState(VK_SHIFT) < 0 ? UG_SHIFT : 0);
}

// Sends notification `code` of window `hwnd` to its parent, with the record filled.
LRESULT Notify(HWND hwnd, int code, int col, int row, int key = 0, int flags = 0)
{
    Grid* g = Get(hwnd);
    UGNotify& n = g->note;
    n.code = code;
    n.column = col;
    n.row = row;
    n.key = key;
    n.flags = flags;
    n.handled = 0;
    return SendMessageA(GetParent(hwnd), WM_COMMAND,
                        MAKEWPARAM(GetDlgCtrlID(hwnd), static_cast<WORD>(code)),
                        reinterpret_cast<LPARAM>(hwnd));
}

void Invalidate(Grid* m)
{
    for (HWND h : {m->cells, m->top, m->side})
        if (h)
            InvalidateRect(h, nullptr, TRUE);
}

void UpdateScrollBars(Grid* m)
{
    if (!m->cells)
        return;
    RECT client;
    GetClientRect(m->cells, &client);
    int visibleRows = (client.bottom - m->marginY) / RowHeight(m);
    SCROLLINFO si = {sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL};
    si.nMax = m->rows > 0 ? m->rows - 1 : 0;
    si.nPage = visibleRows > 0 ? visibleRows : 1;
    si.nPos = m->topRow;
    SetScrollInfo(m->cells, SB_VERT, &si, TRUE);
    si.nMax = m->cols > 0 ? m->cols - 1 : 0;
    si.nPage = 1;
    si.nPos = m->leftCol;
    SetScrollInfo(m->cells, SB_HORZ, &si, TRUE);
}

void ScrollTo(Grid* m, int topRow, int leftCol)
{
    topRow = topRow < 0 ? 0 : topRow >= m->rows ? (m->rows > 0 ? m->rows - 1 : 0) : topRow;
    leftCol = leftCol < 0 ? 0 : leftCol >= m->cols ? (m->cols > 0 ? m->cols - 1 : 0) : leftCol;
    if (topRow == m->topRow && leftCol == m->leftCol)
        return;
    m->topRow = topRow;
    m->leftCol = leftCol;
    UpdateScrollBars(m);
    Invalidate(m);
}

// Scrolls so that the cell is in view.
void Reveal(Grid* m, int col, int row)
{
    RECT client;
    GetClientRect(m->cells, &client);
    int visibleRows = (client.bottom - m->marginY) / RowHeight(m);
    if (visibleRows < 1)
        visibleRows = 1;
    int top = m->topRow, left = m->leftCol;
    if (row < top)
        top = row;
    else if (row >= top + visibleRows)
        top = row - visibleRows + 1;
    if (col < left)
        left = col;
    else
        while (left < col && ColumnX(m, col + 1) > client.right && ColumnX(m, col) > m->marginX) {
            ++left;
            int saved = m->leftCol;
            m->leftCol = left;
            bool fits = ColumnX(m, col + 1) <= client.right;
            m->leftCol = saved;
            if (fits)
                break;
        }
    ScrollTo(m, top, left);
}

void DrawOneCell(HWND hwnd, HDC dc, Grid* m, int col, int row, const RECT& rect)
{
    Grid* g = Get(hwnd);
    bool heading = g->role != ROLE_CELLS;
    UGNotify& n = g->note;
    n.dc = dc;
    n.rect = rect;
    n.current = !heading && col == m->curCol && row == m->curRow;
    n.text = "";
    n.align = heading ? UG_ALIGN_CENTRE : UG_ALIGN_LEFT;
    n.textColor = GetSysColor(heading ? COLOR_BTNTEXT : COLOR_WINDOWTEXT);
    n.backColor = GetSysColor(heading ? COLOR_BTNFACE : COLOR_WINDOW);
    n.cellFlags = heading ? UG_CELL_RAISED : 0;
    n.listOption = 0;
    Notify(hwnd, UGN_DRAWCELL, col, row);
    if (!n.handled) {
        HBRUSH brush = CreateSolidBrush(n.backColor);
        FillRect(dc, &rect, brush);
        DeleteObject(brush);
        RECT inner = rect;
        if (n.cellFlags & (UG_CELL_RAISED | UG_CELL_SUNKEN))
            DrawEdge(dc, &inner, (n.cellFlags & UG_CELL_SUNKEN) ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST);
        if (n.cellFlags & (UG_CELL_CHECKED | UG_CELL_UNCHECKED)) {
            int size = (rect.bottom - rect.top) - 6;
            RECT box = {(rect.left + rect.right - size) / 2, rect.top + 3, 0, 0};
            box.right = box.left + size;
            box.bottom = box.top + size;
            DrawFrameControl(dc, &box, DFC_BUTTON,
                             DFCS_BUTTONCHECK | ((n.cellFlags & UG_CELL_CHECKED) ? DFCS_CHECKED : 0));
        }
        if (n.text && *n.text) {
            SetTextColor(dc, n.textColor);
            SetBkMode(dc, TRANSPARENT);
            UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
            format |= n.align == UG_ALIGN_RIGHT ? DT_RIGHT : n.align == UG_ALIGN_CENTRE ? DT_CENTER : DT_LEFT;
            InflateRect(&inner, -2, 0);
            DrawTextA(dc, n.text, -1, &inner, format);
        }
    }
    if (!heading && m->gridLines) {
        HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNFACE));
        HGDIOBJ old = SelectObject(dc, pen);
        MoveToEx(dc, rect.left, rect.bottom - 1, nullptr);
        LineTo(dc, rect.right - 1, rect.bottom - 1);
        LineTo(dc, rect.right - 1, rect.top - 1);
        SelectObject(dc, old);
        DeleteObject(pen);
    }
    if (n.current && m->focusFrame && GetFocus() == hwnd) {
        RECT focus = rect;
        InflateRect(&focus, -1, -1);
        DrawFocusRect(dc, &focus);
    }
}

void Paint(HWND hwnd)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    Grid* g = Get(hwnd);
    Grid* m = g->master;
    RECT client;
    GetClientRect(hwnd, &client);
    FillRect(dc, &client, GetSysColorBrush(g->role == ROLE_CELLS ? COLOR_WINDOW : COLOR_BTNFACE));
    HGDIOBJ oldFont = SelectObject(dc, m->font ? m->font : GetStockObject(DEFAULT_GUI_FONT));
    if (g->role == ROLE_TOP) {
        for (int c = m->leftCol; c < m->cols && ColumnX(m, c) < client.right; ++c) {
            RECT r = {ColumnX(m, c), 0, ColumnX(m, c) + Width(m, c), client.bottom};
            DrawOneCell(hwnd, dc, m, c, -1, r);
        }
    } else if (g->role == ROLE_SIDE) {
        for (int row = m->topRow; row < m->rows && RowY(m, row) < client.bottom; ++row) {
            RECT r = {0, RowY(m, row), client.right, RowY(m, row) + RowHeight(m)};
            DrawOneCell(hwnd, dc, m, -1, row, r);
        }
    } else {
        for (int row = m->topRow; row < m->rows && RowY(m, row) < client.bottom; ++row)
            for (int c = m->leftCol; c < m->cols && ColumnX(m, c) < client.right; ++c)
                DrawOneCell(hwnd, dc, m, c, row, CellRect(m, c, row));
    }
    SelectObject(dc, oldFont);
    EndPaint(hwnd, &ps);
}

void RedrawCell(Grid* m, int col, int row)
{
    if (!m->cells)
        return;
    RECT r = CellRect(m, col, row);
    InvalidateRect(m->cells, &r, TRUE);
    if (row == -1 && m->top)
        InvalidateRect(m->top, nullptr, TRUE);
    if (col == -1 && m->side)
        InvalidateRect(m->side, nullptr, TRUE);
}

// ---- Editing -------------------------------------------------------------------------------

void DestroyEditor(Grid* m)
{
    HWND editor = m->editor;
    m->editor = nullptr;
    if (editor) {
        m->ending = true;
        DestroyWindow(editor);
        m->ending = false;
    }
}

void EndEdit(Grid* m, int moveCode, bool keep)
{
    if (!m->editor || m->ending)
        return;
    int length = GetWindowTextLengthA(m->editor);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    GetWindowTextA(m->editor, &text[0], length + 1);
    text.resize(static_cast<size_t>(length));
    bool hadFocus = GetFocus() == m->editor;
    DestroyEditor(m);
    if (hadFocus)
        SetFocus(m->cells);
    if (!keep)
        return;
    m->note.editText = text.c_str();
    Notify(m->cells, UGN_EDITDONE, m->curCol, m->curRow);
    m->note.editText = nullptr;
    m->note.moveCode = moveCode;
    Notify(m->cells, UGN_EDITMOVE, m->curCol, m->curRow);
    RedrawCell(m, m->curCol, m->curRow);
}

LRESULT CALLBACK EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Grid* m = Master(GetParent(hwnd));
    WNDPROC base = m ? m->editProc : DefWindowProcA;
    switch (msg) {
    case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS | CallWindowProcA(base, hwnd, msg, wParam, lParam);
    case WM_KEYDOWN:
        switch (wParam) {
        case VK_RETURN:
            EndEdit(m, UG_MOVE_DOWN, true);
            return 0;
        case VK_TAB:
            EndEdit(m, GetKeyState(VK_SHIFT) < 0 ? UG_MOVE_PREVIOUS : UG_MOVE_NEXT, true);
            return 0;
        case VK_UP:
            EndEdit(m, UG_MOVE_UP, true);
            return 0;
        case VK_DOWN:
            EndEdit(m, UG_MOVE_DOWN, true);
            return 0;
        case VK_ESCAPE:
            EndEdit(m, UG_MOVE_END, false);
            return 0;
        }
        break;
    case WM_CHAR:
        if (wParam == '\r' || wParam == '\t' || wParam == 27)
            return 0;
        break;
    case WM_KILLFOCUS:
        if (m && !m->ending)
            EndEdit(m, UG_MOVE_END, true);
        break;
    }
    return CallWindowProcA(base, hwnd, msg, wParam, lParam);
}

int StartEdit(Grid* m, const char* initial, const char* templ, int option, int key)
{
    if (!m || !m->cells || m->curRow < 0 || m->curCol < 0 || m->curRow >= m->rows || m->curCol >= m->cols)
        return 0;
    DestroyEditor(m);
    Reveal(m, m->curCol, m->curRow);
    RECT r = CellRect(m, m->curCol, m->curRow);
    int width = r.right - r.left;
    if (templ && *templ) {
        HDC dc = GetDC(m->cells);
        HGDIOBJ old = SelectObject(dc, m->font ? m->font : GetStockObject(DEFAULT_GUI_FONT));
        SIZE size = {};
        GetTextExtentPoint32A(dc, templ, lstrlenA(templ), &size);
        SelectObject(dc, old);
        ReleaseDC(m->cells, dc);
        width = size.cx + 6;
    }
    m->editor = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL | (option ? ES_RIGHT : 0),
                                r.left, r.top, width, r.bottom - r.top, m->cells, nullptr,
                                reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(m->cells, GWLP_HINSTANCE)), nullptr);
    if (!m->editor)
        return 0;
    SendMessageA(m->editor, WM_SETFONT, reinterpret_cast<WPARAM>(m->font ? m->font : GetStockObject(DEFAULT_GUI_FONT)), 0);
    m->editProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(m->editor, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditProc)));
    if (key >= 32 && key < 256) {
        char typed[2] = {static_cast<char>(key), 0};
        SetWindowTextA(m->editor, typed);
        SendMessageA(m->editor, EM_SETSEL, 1, 1);
    } else {
        SetWindowTextA(m->editor, initial ? initial : "");
        SendMessageA(m->editor, EM_SETSEL, 0, -1);
    }
    SetFocus(m->editor);
    return 1;
}

// ---- Window procedure ---------------------------------------------------------------------

void MoveCurrent(HWND hwnd, Grid* m, int col, int row)
{
    if (m->rows == 0 || m->cols == 0)
        return;
    col = col < 0 ? 0 : col >= m->cols ? m->cols - 1 : col;
    row = row < 0 ? 0 : row >= m->rows ? m->rows - 1 : row;
    RedrawCell(m, m->curCol, m->curRow);
    m->curCol = col;
    m->curRow = row;
    Reveal(m, col, row);
    RedrawCell(m, col, row);
    Notify(hwnd, UGN_SELECT, col, row, 0, KeyFlags());
}

LRESULT HeadingMouse(HWND hwnd, Grid* g, UINT msg, int x, int y)
{
    Grid* m = g->master;
    if (g->role == ROLE_TOP) {
        int col = HitColumn(m, x);
        if (msg == WM_LBUTTONDOWN && m->resizable) {
            for (int c = m->leftCol; c < m->cols; ++c) {
                int edge = ColumnX(m, c) + Width(m, c);
                if (x >= edge - 3 && x <= edge + 3) {
                    Notify(hwnd, UGN_SIZING, c, -1);
                    m->dragCol = c;
                    m->dragStartX = x;
                    m->dragStartWidth = Width(m, c);
                    SetCapture(hwnd);
                    return 0;
                }
            }
        }
        if (msg == WM_MOUSEMOVE && m->dragCol >= 0) {
            int w = m->dragStartWidth + x - m->dragStartX;
            m->widths.resize(m->cols, kDefaultWidth);
            m->widths[m->dragCol] = w < 4 ? 4 : w;
            Invalidate(m);
            return 0;
        }
        if (msg == WM_LBUTTONUP && m->dragCol >= 0) {
            ReleaseCapture();
            int c = m->dragCol;
            m->dragCol = -1;
            m->note.newWidth = Width(m, c);
            Notify(hwnd, UGN_COLWIDTH, c, -1);
            return 0;
        }
        if (col >= 0 && msg != WM_MOUSEMOVE)
            Notify(hwnd, msg == WM_LBUTTONDOWN ? UGN_CLICK : msg == WM_RBUTTONDOWN ? UGN_RBUTTON : UGN_DBLCLICK, col, -1, 0,
                   KeyFlags());
        return 0;
    }
    int row = HitRow(m, y);
    if (row >= 0 && msg != WM_MOUSEMOVE && msg != WM_LBUTTONUP)
        Notify(hwnd, msg == WM_LBUTTONDOWN ? UGN_CLICK : msg == WM_RBUTTONDOWN ? UGN_RBUTTON : UGN_DBLCLICK, -1, row, 0,
               KeyFlags());
    return 0;
}

LRESULT CALLBACK GridProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Grid* g = Get(hwnd);
    switch (msg) {
    case WM_NCCREATE: {
        g = new Grid;
        g->self = hwnd;
        g->master = g;
        g->cells = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(g));
        break;
    }
    case WM_NCDESTROY:
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        delete g;
        g = nullptr;
        break;
    }
    if (!g)
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    Grid* m = g->master;

    switch (msg) {
    case WM_PAINT:
        Paint(hwnd);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SETFONT:
        m->font = reinterpret_cast<HFONT>(wParam);
        m->rowHeight = 0;
        UpdateScrollBars(m);
        if (LOWORD(lParam))
            Invalidate(m);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(m->font);
    case WM_SIZE:
        if (g->role == ROLE_CELLS)
            UpdateScrollBars(m);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        if (g->role == ROLE_CELLS)
            RedrawCell(m, m->curCol, m->curRow);
        return 0;
    case WM_VSCROLL:
    case WM_HSCROLL: {
        bool vertical = msg == WM_VSCROLL;
        int pos = vertical ? m->topRow : m->leftCol;
        RECT client;
        GetClientRect(m->cells, &client);
        int page = vertical ? (client.bottom - m->marginY) / RowHeight(m) : 1;
        switch (LOWORD(wParam)) {
        case SB_LINEUP: --pos; break;
        case SB_LINEDOWN: ++pos; break;
        case SB_PAGEUP: pos -= page > 1 ? page : 1; break;
        case SB_PAGEDOWN: pos += page > 1 ? page : 1; break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: pos = HIWORD(wParam); break;
        case SB_TOP: pos = 0; break;
        case SB_BOTTOM: pos = vertical ? m->rows - 1 : m->cols - 1; break;
        }
        ScrollTo(m, vertical ? pos : m->topRow, vertical ? m->leftCol : pos);
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_MOUSEMOVE: {
        int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
        if (g->role != ROLE_CELLS)
            return HeadingMouse(hwnd, g, msg, x, y);
        if (msg == WM_MOUSEMOVE)
            return 0;
        int col = HitColumn(m, x), row = HitRow(m, y);
        if (col < 0 || row < 0)
            return 0;
        int flags = KeyFlags();
        if (msg == WM_LBUTTONDOWN) {
            EndEdit(m, UG_MOVE_END, true);
            SetFocus(hwnd);
            RedrawCell(m, m->curCol, m->curRow);
            m->curCol = col;
            m->curRow = row;
            RedrawCell(m, col, row);
            Notify(hwnd, UGN_BUTTONDOWN, col, row, 0, flags | UG_BUTTON_DOWN);
        } else if (msg == WM_LBUTTONUP) {
            Notify(hwnd, UGN_CLICK, col, row, 0, flags);
        } else if (msg == WM_LBUTTONDBLCLK) {
            Notify(hwnd, UGN_DBLCLICK, col, row, 0, flags);
        } else {
            Notify(hwnd, UGN_RBUTTON, col, row, 0, flags);
        }
        return 0;
    }
    case WM_KEYDOWN:
        if (g->role != ROLE_CELLS)
            break;
        switch (wParam) {
        case VK_LEFT: MoveCurrent(hwnd, m, m->curCol - 1, m->curRow); return 0;
        case VK_RIGHT: MoveCurrent(hwnd, m, m->curCol + 1, m->curRow); return 0;
        case VK_UP: MoveCurrent(hwnd, m, m->curCol, m->curRow - 1); return 0;
        case VK_DOWN: MoveCurrent(hwnd, m, m->curCol, m->curRow + 1); return 0;
        case VK_PRIOR: MoveCurrent(hwnd, m, m->curCol, m->curRow - 10); return 0;
        case VK_NEXT: MoveCurrent(hwnd, m, m->curCol, m->curRow + 10); return 0;
        case VK_DELETE: Notify(hwnd, UGN_KEY, m->curCol, m->curRow, -VK_DELETE, KeyFlags()); return 0;
        case VK_HOME: Notify(hwnd, UGN_KEY, m->curCol, m->curRow, -VK_HOME, KeyFlags()); return 0;
        case VK_RETURN:
        case VK_F2: Notify(hwnd, UGN_ENTER, m->curCol, m->curRow, 0, KeyFlags()); return 0;
        }
        break;
    case WM_CHAR:
        if (g->role == ROLE_CELLS && wParam >= 32 && m->rows > 0 && m->cols > 0)
            Notify(hwnd, UGN_KEY, m->curCol, m->curRow, static_cast<int>(wParam), KeyFlags());
        return 0;

    case UGM_SETROWS:
        m->rows = static_cast<int>(wParam) < 0 ? 0 : static_cast<int>(wParam);
        if (m->curRow >= m->rows)
            m->curRow = m->rows > 0 ? m->rows - 1 : 0;
        if (m->topRow >= m->rows)
            m->topRow = 0;
        UpdateScrollBars(m);
        Invalidate(m);
        return 0;
    case UGM_SETCOLS:
        m->cols = static_cast<int>(wParam) < 0 ? 0 : static_cast<int>(wParam);
        m->widths.resize(m->cols, kDefaultWidth);
        if (m->curCol >= m->cols)
            m->curCol = m->cols > 0 ? m->cols - 1 : 0;
        if (m->leftCol >= m->cols)
            m->leftCol = 0;
        UpdateScrollBars(m);
        Invalidate(m);
        return 0;
    case UGM_SETCOLWIDTH:
        if (static_cast<int>(wParam) >= 0 && static_cast<int>(wParam) < m->cols) {
            m->widths[wParam] = static_cast<int>(lParam) < 0 ? 0 : static_cast<int>(lParam);
            Invalidate(m);
        }
        return 0;
    case UGM_COLCLICKED:
        return 0;
    case UGM_OPTION_A:
        m->gridLines = wParam != 0;
        Invalidate(m);
        return 0;
    case UGM_OPTION_B:
        m->focusFrame = wParam != 0;
        return 0;
    case UGM_GETROWS:
        return m->rows;
    case UGM_GETCOLS:
        return m->cols;
    case UGM_GETFONT:
        return reinterpret_cast<LRESULT>(m->font);
    case UGM_GETNOTIFY:
        return reinterpret_cast<LRESULT>(&g->note);
    case UGM_SETBORDER:
        g->border = static_cast<int>(wParam);
        return 0;
    case UGM_GETEDITOR:
        return reinterpret_cast<LRESULT>(m->editor);
    case UGM_REDRAWCELL:
        RedrawCell(m, static_cast<int>(wParam), static_cast<int>(lParam));
        return 0;
    case UGM_GETCELLRECT: {
        RECT* out = reinterpret_cast<RECT*>(lParam);
        int col = static_cast<short>(LOWORD(wParam)), row = static_cast<short>(HIWORD(wParam));
        if (!out || col < 0 || row < 0 || col >= m->cols || row >= m->rows || col < m->leftCol || row < m->topRow)
            return 0;
        *out = CellRect(m, col, row);
        return 1;
    }
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

} // namespace

extern "C" {

int WINAPI UGRegisterClasses(HINSTANCE instance)
{
    WNDCLASSA wc = {};
    if (GetClassInfoA(instance, kClassName, &wc))
        return 1;
    wc.style = CS_DBLCLKS | CS_GLOBALCLASS | CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = GridProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    wc.lpszClassName = kClassName;
    return RegisterClassA(&wc) ? 1 : 0;
}

int WINAPI UGLinkWindows(HWND cells, HWND top, HWND side, int rowHeight, int, int, int headingLines,
                         int resizable)
{
    Grid* m = Get(cells);
    if (!m)
        return 0;
    m->role = ROLE_CELLS;
    m->top = top;
    m->side = side;
    m->fixedRowHeight = rowHeight;
    m->headingLines = headingLines > 0 ? headingLines : 1;
    m->resizable = resizable != 0;
    for (HWND h : {top, side}) {
        Grid* g = h ? Get(h) : nullptr;
        if (!g)
            continue;
        g->role = h == top ? ROLE_TOP : ROLE_SIDE;
        g->master = m;
        g->cells = cells;
    }
    UpdateScrollBars(m);
    Invalidate(m);
    return 1;
}

int WINAPI UGSetMargin(HWND cells, int side, int size)
{
    Grid* m = Master(cells);
    if (!m)
        return 0;
    (side == 0 ? m->marginX : m->marginY) = size < 0 ? 0 : size;
    Invalidate(m);
    return 1;
}

int WINAPI UGStartEdit(HWND cells, const char* initial, const char* templ, int option, int key)
{
    return StartEdit(Master(cells), initial, templ, option, key);
}

int WINAPI UGStartEditAt(HWND cells, const char* initial, const char* templ, int option, int key, int column,
                         int row)
{
    Grid* m = Master(cells);
    if (!m || column < 0 || row < 0 || column >= m->cols || row >= m->rows)
        return 0;
    m->curCol = column;
    m->curRow = row;
    return StartEdit(m, initial, templ, option, key);
}

int WINAPI UGEndEdit(HWND cells)
{
    Grid* m = Master(cells);
    if (!m || !m->editor)
        return 0;
    bool hadFocus = GetFocus() == m->editor;
    DestroyEditor(m);
    if (hadFocus)
        SetFocus(m->cells);
    return 1;
}

} // extern "C"
