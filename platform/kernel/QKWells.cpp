// The wells (QKControls.h): the popup grid of cells, the buttons that drop it, the symbol
// gallery's, and the user-defined symbols well of the Options sheet.
#include <afxdlgs.h>

#include <algorithm>

#include "QKControls.h"
#include "QKSymbolManager.h"
#include "QKSysMethod.h"

namespace {

const char kWellClass[] = "QKPopupWell";
// The well being tracked on this thread.
thread_local HWND t_tracking = nullptr;

// The gap round the cells, in pixels.
const int kMargin = 2;

void DrawSymbolInSquare(HDC dc, const RECT& rect, const CQKPlotObj& look)
{
    const int half = std::max(2, (int)std::min(rect.right - rect.left, rect.bottom - rect.top) / 3);
    const int cx = (rect.left + rect.right) / 2, cy = (rect.top + rect.bottom) / 2;
    const RECT square = {cx - half, cy - half, cx + half, cy + half};
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
    look.DrawSymbolPreview(dc, square);
    RestoreDC(dc, saved);
}

} // namespace

// ---- CQKPopupBitmapWell ----

CQKPopupBitmapWell::~CQKPopupBitmapWell()
{
    if (m_hwnd)
        DestroyWindow(m_hwnd);
}

void CQKPopupBitmapWell::SetLayout(int first, int count, int columns)
{
    m_first = std::max(0, first);
    m_count = std::max(0, count);
    m_columns = std::max(1, columns);
}

void CQKPopupBitmapWell::SetCellSize(int cx, int cy)
{
    m_cx = std::max(4, cx);
    m_cy = std::max(4, cy);
}

SIZE CQKPopupBitmapWell::GetWellSize() const
{
    const int rows = std::max(1, (m_count + m_columns - 1) / m_columns);
    return {2 * kMargin + m_columns * m_cx, 2 * kMargin + rows * m_cy};
}

RECT CQKPopupBitmapWell::GetCellRect(int place) const
{
    const int x = kMargin + (place % m_columns) * m_cx, y = kMargin + (place / m_columns) * m_cy;
    return {x, y, x + m_cx, y + m_cy};
}

int CQKPopupBitmapWell::CellFromPoint(POINT client) const
{
    if (client.x < kMargin || client.y < kMargin)
        return -1;
    const int column = (client.x - kMargin) / m_cx, row = (client.y - kMargin) / m_cy;
    if (column >= m_columns)
        return -1;
    const int place = row * m_columns + column;
    return place < m_count ? m_first + place : -1;
}

HWND CQKPopupBitmapWell::GetTrackingWindow()
{
    return t_tracking;
}

void CQKPopupBitmapWell::Paint(HDC dc)
{
    RECT client;
    GetClientRect(m_hwnd, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    for (int place = 0; place < m_count; ++place) {
        RECT r = GetCellRect(place);
        RECT inner = {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
        FillRect(dc, &inner, (HBRUSH)GetStockObject(WHITE_BRUSH));
        DrawCell(dc, inner, m_first + place);
        if (place == m_choice) {
            HBRUSH mark = CreateSolidBrush(GetSysColor(COLOR_HIGHLIGHT));
            FrameRect(dc, &r, mark);
            RECT second = {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
            FrameRect(dc, &second, mark);
            DeleteObject(mark);
        }
    }
}

void CQKPopupBitmapWell::MoveChoice(int dx, int dy)
{
    if (m_count == 0)
        return;
    int place = m_choice < 0 ? 0 : m_choice + dx + dy * m_columns;
    place = std::max(0, std::min(m_count - 1, place));
    if (place != m_choice) {
        m_choice = place;
        InvalidateRect(m_hwnd, nullptr, FALSE);
    }
}

LRESULT CALLBACK CQKPopupBitmapWell::WellProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* well = (CQKPopupBitmapWell*)GetWindowLongPtrA(hwnd, GWLP_USERDATA);
    if (!well)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        well->Paint(dc);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_MOUSEMOVE: {
        const int cell = well->CellFromPoint({(short)LOWORD(lParam), (short)HIWORD(lParam)});
        if (cell >= 0 && cell - well->m_first != well->m_choice) {
            well->m_choice = cell - well->m_first;
            InvalidateRect(hwnd, nullptr, FALSE);
        }
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN: {
        // A press outside the well dismisses it.
        RECT client;
        GetClientRect(hwnd, &client);
        POINT p = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
        if (!PtInRect(&client, p))
            well->m_done = true;
        return 0;
    }
    case WM_LBUTTONUP: {
        const int cell = well->CellFromPoint({(short)LOWORD(lParam), (short)HIWORD(lParam)});
        if (cell >= 0) {
            well->m_picked = cell;
            well->m_done = true;
        }
        return 0;
    }
    case WM_KEYDOWN:
        switch (wParam) {
        case VK_ESCAPE: well->m_done = true; break;
        case VK_RETURN:
        case VK_SPACE:
            if (well->m_choice >= 0)
                well->m_picked = well->m_first + well->m_choice;
            well->m_done = true;
            break;
        case VK_LEFT: well->MoveChoice(-1, 0); break;
        case VK_RIGHT: well->MoveChoice(1, 0); break;
        case VK_UP: well->MoveChoice(0, -1); break;
        case VK_DOWN: well->MoveChoice(0, 1); break;
        default: break;
        }
        return 0;
    case WM_CAPTURECHANGED:
        if ((HWND)lParam != hwnd)
            well->m_done = true;
        return 0;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    default: return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

int CQKPopupBitmapWell::Track(HWND owner, const RECT& anchor, int current)
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.style = CS_SAVEBITS | CS_DROPSHADOW;
        wc.lpfnWndProc = WellProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.lpszClassName = kWellClass;
        registered = RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
        if (!registered)
            return -1;
    }
    if (m_count == 0 || t_tracking)
        return -1;
    const SIZE size = GetWellSize();
    RECT frame = {0, 0, size.cx, size.cy};
    AdjustWindowRectEx(&frame, WS_POPUP | WS_BORDER, FALSE, WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    // Below the anchor, kept on the screen.
    HMONITOR monitor = MonitorFromRect(&anchor, MONITOR_DEFAULTTONEAREST);
    MONITORINFO mi = {sizeof mi};
    GetMonitorInfoA(monitor, &mi);
    int x = anchor.left, y = anchor.bottom;
    if (y + height > mi.rcWork.bottom)
        y = std::max((int)mi.rcWork.top, (int)anchor.top - height);
    x = std::max((int)mi.rcWork.left, std::min(x, (int)mi.rcWork.right - width));
    m_hwnd = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kWellClass, "", WS_POPUP | WS_BORDER, x, y, width, height,
                             owner, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!m_hwnd)
        return -1;
    SetWindowLongPtrA(m_hwnd, GWLP_USERDATA, (LONG_PTR)this);
    m_choice = current >= m_first && current < m_first + m_count ? current - m_first : -1;
    m_picked = -1;
    m_done = false;
    t_tracking = m_hwnd;
    ShowWindow(m_hwnd, SW_SHOWNA);
    UpdateWindow(m_hwnd);
    SetCapture(m_hwnd);
    MSG msg;
    while (!m_done && GetMessageA(&msg, nullptr, 0, 0)) {
        // Keys go to the well whichever window has the focus.
        if (msg.message == WM_KEYDOWN || msg.message == WM_KEYUP || msg.message == WM_CHAR) {
            if (msg.message == WM_KEYDOWN)
                WellProc(m_hwnd, WM_KEYDOWN, msg.wParam, msg.lParam);
            continue;
        }
        if (msg.message == WM_QUIT) {
            PostQuitMessage((int)msg.wParam);
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    t_tracking = nullptr;
    HWND hwnd = m_hwnd;
    m_hwnd = nullptr;
    if (GetCapture() == hwnd)
        ReleaseCapture();
    DestroyWindow(hwnd);
    return m_picked;
}

// ---- CQKPopupSymbolWell ----

void CQKPopupSymbolWell::DrawCell(HDC dc, const RECT& rect, int cell)
{
    QKGalleryEntry e;
    if (!qkfxGetSymbolManager()->GetGalleryEntry(cell, e))
        return;
    CQKPlotObj symbol;
    if (m_look) {
        symbol.SetColor(m_look->GetColor());
        symbol.SetEdgeColor(m_look->GetEdgeColor());
        symbol.SetFillColor(m_look->GetFillColor());
    }
    if (e.kind == 0) {
        symbol.SetSymbolType(e.shape);
        symbol.SetSymbolFill(e.fill);
    } else {
        symbol.SetSymbolStyle(e.character);
        symbol.SetCharFont(e.shape);
        symbol.SetCharStyle(e.fill);
    }
    DrawSymbolInSquare(dc, rect, symbol);
}

// ---- CQKPopupDropButton ----

BEGIN_MESSAGE_MAP(CQKPopupDropButton, CButton)
    ON_WM_LBUTTONUP()
    ON_WM_KEYUP()
END_MESSAGE_MAP()

void CQKPopupDropButton::OnLButtonUp(UINT nFlags, CPoint point)
{
    CButton::OnLButtonUp(nFlags, point);
    CRect client;
    GetClientRect(&client);
    if (client.PtInRect(point))
        DropPopup();
}

void CQKPopupDropButton::OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    CButton::OnKeyUp(nChar, nRepCnt, nFlags);
    if (nChar == VK_SPACE)
        DropPopup();
}

// ---- CQKWellButton ----

CQKWellButton::~CQKWellButton() = default;

void CQKWellButton::SetWellDimension(int first, int columns, int rows)
{
    m_first = std::max(0, first);
    m_columns = std::max(1, columns);
    m_rows = std::max(1, rows);
    m_cells = m_columns * m_rows;
}

void CQKWellButton::SetCellSize(int cx, int cy)
{
    m_cx = cx;
    m_cy = cy;
}

void CQKWellButton::Pick(int cell)
{
    if (CWnd* parent = GetParent())
        parent->SendMessage(QK_WM_WELL_PICK, (WPARAM)GetDlgCtrlID(), (LPARAM)cell);
}

void CQKWellButton::Drop()
{
    if (!m_well || !m_hWnd)
        return;
    BeforeDrop();
    m_well->SetLayout(m_first, std::max(0, GetCellCount() - m_first), m_columns);
    m_well->SetCellSize(m_cx, m_cy);
    RECT rect;
    ::GetWindowRect(m_hWnd, &rect);
    const int cell = m_well->Track(m_hWnd, rect, m_current);
    if (cell >= 0)
        Pick(cell);
}


// ---- CQKBitmapWellButton ----

BOOL CQKBitmapWellButton::MakeButton(CWnd* dialog, UINT id)
{
    if (m_hWnd)
        ReleaseButton();
    if (!dialog || !SubclassDlgItem(id, dialog))
        return FALSE;
    ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW);
    return TRUE;
}

void CQKBitmapWellButton::ReleaseButton()
{
    if (m_hWnd)
        UnsubclassWindow();
}

// ---- CQKSymbolWellButton ----

void CQKSymbolWellButton::SetConstructedSymbol(int type, int fill, int style)
{
    m_look.SetSymbolStyle(style);
    if (!m_look.SetSymbolType(type))
        m_look.SetSymbolType(QK_SYMBOL_SQUARE);
    if (!m_look.SetSymbolFill(fill))
        m_look.SetSymbolFill(QK_SYMFILL_SOLID);
}

void CQKSymbolWellButton::SetConstructedCharacter(int character, int font, int style)
{
    m_look.SetSymbolStyle(character);
    m_look.SetCharFont(font);
    m_look.SetCharStyle(style);
}

void CQKSymbolWellButton::SetSymbolFromPlot(const CQKPlotObj& plot)
{
    m_look.SetColor(plot.GetColor() < 0 ? plot.GetActualColorForAutoColor(0) : plot.GetColor());
    m_look.SetEdgeColor(plot.GetEdgeColor());
    m_look.SetFillColor(plot.GetFillColor());
    m_look.SetSymbolStyle(plot.GetSymbolStyle());
    m_look.SetSymbolType(plot.GetSymbolType());
    m_look.SetSymbolFill(plot.GetSymbolFill());
    m_look.SetCharFont(plot.GetCharFont());
    m_look.SetCharStyle(plot.GetCharStyle());
    m_look.SetSymbolOutline(plot.HasSymbolOutline());
}

void CQKSymbolWellButton::SetColors(int color, int edge, int fill)
{
    m_look.SetColor(color);
    m_look.SetEdgeColor(edge);
    m_look.SetFillColor(fill);
}

void CQKSymbolWellButton::SetOwnerDrawSurface()
{
    if (m_hWnd)
        Invalidate();
}

void CQKSymbolWellButton::DrawItem(LPDRAWITEMSTRUCT dis)
{
    HDC dc = dis->hDC;
    RECT rect = dis->rcItem;
    FillRect(dc, &rect, (HBRUSH)GetStockObject(WHITE_BRUSH));
    DrawEdge(dc, &rect, (dis->itemState & ODS_SELECTED) ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    // The drop arrow on the right, the symbol in the rest.
    const int arrow = std::min(10, (int)(rect.right - rect.left) / 3);
    RECT symbol = {rect.left + 2, rect.top + 2, rect.right - arrow - 2, rect.bottom - 2};
    DrawSymbolInSquare(dc, symbol, m_look);
    const int ax = rect.right - arrow / 2 - 4, ay = (rect.top + rect.bottom) / 2;
    POINT tri[3] = {{ax - 3, ay - 1}, {ax + 4, ay - 1}, {ax, ay + 3}};
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(BLACK_BRUSH));
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
    Polygon(dc, tri, 3);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    if (dis->itemState & ODS_FOCUS) {
        RECT focus = {rect.left + 3, rect.top + 3, rect.right - 3, rect.bottom - 3};
        DrawFocusRect(dc, &focus);
    }
}

// ---- CQKSymbolGalleryWellButton ----

CQKSymbolGalleryWellButton::CQKSymbolGalleryWellButton(CQKPopupSymbolWell* well)
    : CQKSymbolWellButton(well ? well : new CQKPopupSymbolWell), m_symbolWell((CQKPopupSymbolWell*)m_well)
{
    SetWellDimension(0, CQKSymbolManager::GetGalleryColumns(), 2);
}

CQKSymbolGalleryWellButton::~CQKSymbolGalleryWellButton()
{
    delete m_symbolWell;
    m_well = nullptr;
}

int CQKSymbolGalleryWellButton::GetCellCount() const
{
    return qkfxGetSymbolManager()->GetGalleryCount(m_withCharacters);
}

void CQKSymbolGalleryWellButton::BeforeDrop()
{
    m_symbolWell->SetLook(&m_look);
}

// ---- CQKUDSComboBox ----

void CQKUDSComboBox::AddUserDefinedSymbols()
{
    CQKSymbolManager* manager = qkfxGetSymbolManager();
    for (int i = 0; i < manager->GetNumOfUDSs(); ++i)
        AddString(manager->GetUDSName(i).c_str());
}

// ---- CQKUDSWell ----

namespace {

enum { kMenuAdd = 1, kMenuRemove = 2 };
const int kUDSCell = 28;

} // namespace

BEGIN_MESSAGE_MAP(CQKUDSWell, CQKPopupDropButton)
    ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

BOOL CQKUDSWell::MakeWell(CWnd* dialog, UINT id)
{
    if (!dialog || !SubclassDlgItem(id, dialog))
        return FALSE;
    ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW);
    m_files = qkfxGetSymbolManager()->GetUDSFiles();
    m_selected = -1;
    m_changed = false;
    return TRUE;
}

int CQKUDSWell::CellFromPoint(POINT client) const
{
    if (!m_hWnd)
        return -1;
    RECT rect;
    ::GetClientRect(m_hWnd, &rect);
    const int columns = std::max(1, (int)(rect.right - rect.left - 4) / kUDSCell);
    if (client.x < 2 || client.y < 2)
        return -1;
    const int column = (client.x - 2) / kUDSCell, row = (client.y - 2) / kUDSCell;
    if (column >= columns)
        return -1;
    const int cell = row * columns + column;
    return cell < (int)m_files.size() ? cell : -1;
}

void CQKUDSWell::Select(int index)
{
    m_selected = index >= 0 && index < (int)m_files.size() ? index : -1;
    if (m_hWnd)
        Invalidate();
}

BOOL CQKUDSWell::AddSymbol(const std::string& path, std::string* why)
{
    const int slot = CQKSymbolManager::FreeSlot(m_files);
    if (slot < 0) {
        if (why)
            *why = "There are already " + std::to_string(CQKSymbolManager::kMaxUDSs) + " user-defined symbols.";
        return FALSE;
    }
    if (!CQKSymbolManager::CanReadPicture(path, why))
        return FALSE;
    if (slot == (int)m_files.size())
        m_files.push_back(path);
    else
        m_files[slot] = path;
    m_changed = true;
    Select(slot);
    return TRUE;
}

BOOL CQKUDSWell::RemoveSymbol(int index)
{
    if (index < 0 || index >= (int)m_files.size() || m_files[index].empty())
        return FALSE;
    m_files[index].clear();
    while (!m_files.empty() && m_files.back().empty())
        m_files.pop_back();
    m_changed = true;
    Select(-1);
    return TRUE;
}

BOOL CQKUDSWell::SaveChange()
{
    if (!m_changed)
        return TRUE;
    CQKSymbolManager* manager = qkfxGetSymbolManager();
    manager->SetUDSFiles(m_files);
    m_changed = false;
    return manager->SaveUDSsToINIFile();
}

void CQKUDSWell::DrawItem(LPDRAWITEMSTRUCT dis)
{
    HDC dc = dis->hDC;
    RECT rect = dis->rcItem;
    FillRect(dc, &rect, (HBRUSH)GetStockObject(WHITE_BRUSH));
    DrawEdge(dc, &rect, EDGE_SUNKEN, BF_RECT);
    const int columns = std::max(1, (int)(rect.right - rect.left - 4) / kUDSCell);
    // The well's own copy draws: symbols added but not yet saved show too.
    CQKSymbolManager preview;
    preview.SetUDSFiles(m_files);
    for (int i = 0; i < (int)m_files.size(); ++i) {
        const int x = rect.left + 2 + (i % columns) * kUDSCell, y = rect.top + 2 + (i / columns) * kUDSCell;
        if (y + kUDSCell > rect.bottom)
            break;
        RECT cell = {x + 3, y + 3, x + kUDSCell - 3, y + kUDSCell - 3};
        if (!m_files[i].empty() && !preview.DrawUserDefinedSymbol(dc, cell, i, FALSE)) {
            // A file that cannot be read shows as a crossed cell.
            MoveToEx(dc, cell.left, cell.top, nullptr);
            LineTo(dc, cell.right, cell.bottom);
            MoveToEx(dc, cell.right, cell.top, nullptr);
            LineTo(dc, cell.left, cell.bottom);
        }
        if (i == m_selected) {
            RECT frame = {x + 1, y + 1, x + kUDSCell - 1, y + kUDSCell - 1};
            HBRUSH mark = CreateSolidBrush(GetSysColor(COLOR_HIGHLIGHT));
            FrameRect(dc, &frame, mark);
            DeleteObject(mark);
        }
    }
    if (m_files.empty()) {
        RECT text = {rect.left + 4, rect.top + 2, rect.right - 4, rect.bottom - 2};
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        HGDIOBJ old = SelectObject(dc, (HGDIOBJ)::SendMessageA(m_hWnd, WM_GETFONT, 0, 0));
        DrawTextA(dc, "(User Defined Symbols)", -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(dc, old);
    }
    if (dis->itemState & ODS_FOCUS) {
        RECT focus = {rect.left + 2, rect.top + 2, rect.right - 2, rect.bottom - 2};
        DrawFocusRect(dc, &focus);
    }
}

void CQKUDSWell::OnLButtonDown(UINT nFlags, CPoint point)
{
    Select(CellFromPoint(point));
    CButton::OnLButtonDown(nFlags, point);
}

void CQKUDSWell::ShowMenu()
{
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return;
    AppendMenuA(menu, MF_STRING, kMenuAdd, "&Add...");
    AppendMenuA(menu, MF_STRING | (m_selected >= 0 ? 0 : MF_GRAYED), kMenuRemove, "&Remove");
    RECT rect;
    ::GetWindowRect(m_hWnd, &rect);
    POINT at = {rect.left, rect.bottom};
    if (m_selected >= 0) {
        // Beside the cell clicked.
        GetCursorPos(&at);
    }
    const int chosen = (int)TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y, 0, m_hWnd, nullptr);
    DestroyMenu(menu);
    if (chosen == kMenuAdd)
        AskForFile();
    else if (chosen == kMenuRemove)
        RemoveSymbol(m_selected);
}

void CQKUDSWell::AskForFile()
{
    CFileDialog dialog(TRUE, nullptr, nullptr, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY,
                       "Pictures (*.bmp;*.emf;*.wmf)|*.bmp;*.emf;*.wmf|All Files (*.*)|*.*||", GetParent());
    if (dialog.DoModal() != IDOK)
        return;
    std::string why;
    if (!AddSymbol((LPCTSTR)dialog.GetPathName(), &why))
        AfxMessageBox(("The symbol cannot be added: " + why + ".").c_str(), MB_OK | MB_ICONEXCLAMATION);
}
