#include "GridControl.h"

#include <afx.h>

#include <algorithm>

#include "resource.h"

namespace {

const char kFrameClass[] = "CUGCLASS";
const char kListClass[] = "NEWListBox";

// Window bytes of a frame: the attached object, the font and the style given at
// creation, each pointer-sized.
enum { SLOT_OBJECT = 0, SLOT_FONT = sizeof(LONG_PTR), SLOT_STYLE = 2 * sizeof(LONG_PTR),
       FRAME_EXTRA = 3 * sizeof(LONG_PTR) };

enum { ID_CELLS = 120, ID_TOP = 121, ID_SIDE = 122 };
enum { SIDE_WIDTH = 40, TOP_HEIGHT = 20, VISIBLE_LIST_ITEMS = 4 };

WNDPROC g_listBase = nullptr;

// The one drop list open at a time, and whose it is.
struct DropState {
    HWND window = nullptr;
    GridControl* owner = nullptr;
    int column = 0, row = 0;
    bool confirmed = false;
} g_drop;

GridControl* Attached(HWND frame)
{
    return reinterpret_cast<GridControl*>(GetWindowLongPtrA(frame, SLOT_OBJECT));
}

} // namespace

std::string DbLoadString(UINT id)
{
    CString text;
    text.LoadString(id);
    return static_cast<const char*>(text);
}

// ---- Cell store ----------------------------------------------------------------------------

GridCellStore::GridCellStore()
{
    Make(-1, -1);
}

GridCell GridCellStore::Defaults(int column, int row) const
{
    GridCell c;
    c.column = column;
    c.row = row;
    if (column == -1 && row == -1) {
        c.textColor = GetSysColor(COLOR_WINDOWTEXT);
        c.backColor = GetSysColor(COLOR_WINDOW);
        c.selTextColor = GetSysColor(COLOR_HIGHLIGHTTEXT);
        c.selBackColor = GetSysColor(COLOR_HIGHLIGHT);
        c.templ = std::string(20, 'a');
    } else if (column < 0 || row < 0) {
        c.textColor = GetSysColor(COLOR_BTNTEXT);
        c.backColor = GetSysColor(COLOR_BTNFACE);
        c.selTextColor = GetSysColor(COLOR_HIGHLIGHTTEXT);
        c.selBackColor = GetSysColor(COLOR_HIGHLIGHT);
        c.alignment = UG_ALIGN_CENTRE;
        c.flags = UG_CELL_RAISED;
    } else {
        auto it = cells_.find({-1, -1});
        if (it != cells_.end()) {
            const GridCell& corner = it->second;
            c.textColor = corner.textColor;
            c.backColor = corner.backColor;
            c.selTextColor = corner.selTextColor;
            c.selBackColor = corner.selBackColor;
            c.alignment = corner.alignment;
            c.flags = corner.flags;
            c.hasDropList = corner.hasDropList;
            c.dropList = corner.dropList;
            c.listOption = corner.listOption;
            c.editOption = corner.editOption;
            c.readOnly = corner.readOnly;
        }
    }
    return c;
}

GridCell* GridCellStore::Find(int column, int row)
{
    auto it = cells_.find({row, column});
    return it == cells_.end() ? nullptr : &it->second;
}

GridCell& GridCellStore::Make(int column, int row)
{
    auto it = cells_.find({row, column});
    if (it != cells_.end())
        return it->second;
    return cells_.emplace(std::make_pair(row, column), Defaults(column, row)).first->second;
}

const GridCell& GridCellStore::Look(int column, int row)
{
    if (GridCell* c = Find(column, row))
        return *c;
    scratch_ = Defaults(column, row);
    return scratch_;
}

void GridCellStore::Clear()
{
    cells_.clear();
    selectedCount = 0;
    Make(-1, -1);
}

// ---- Frame window --------------------------------------------------------------------------

LRESULT CALLBACK DropListProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
        if (wParam == VK_RETURN || wParam == VK_TAB) {
            g_drop.confirmed = true;
            SetFocus(g_drop.owner ? g_drop.owner->cells : nullptr);
            return 0;
        }
        if (wParam == VK_ESCAPE) {
            g_drop.confirmed = false;
            SetFocus(g_drop.owner ? g_drop.owner->cells : nullptr);
            return 0;
        }
        break;
    case WM_LBUTTONDBLCLK: {
        LRESULT r = CallWindowProcA(g_listBase, hwnd, msg, wParam, lParam);
        g_drop.confirmed = true;
        SetFocus(g_drop.owner ? g_drop.owner->cells : nullptr);
        return r;
    }
    case WM_LBUTTONUP: {
        LRESULT r = CallWindowProcA(g_listBase, hwnd, msg, wParam, lParam);
        if (g_drop.owner && (g_drop.owner->behaviour & 1)) {
            g_drop.confirmed = true;
            SetFocus(g_drop.owner->cells);
        }
        return r;
    }
    case WM_KILLFOCUS:
        if (g_drop.owner && g_drop.window == hwnd) {
            GridControl* owner = g_drop.owner;
            owner->CloseList(g_drop.confirmed);
            return 0;
        }
        break;
    }
    return CallWindowProcA(g_listBase, hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK GridFrameProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    GridControl* grid = msg == WM_NCCREATE ? nullptr : Attached(hwnd);
    switch (msg) {
    case WM_NCCREATE: {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, SLOT_OBJECT, 0);
        SetWindowLongPtrA(hwnd, SLOT_FONT, 0);
        SetWindowLongPtrA(hwnd, SLOT_STYLE, static_cast<LONG_PTR>(cs->style));
        // The scroll bars belong to the cell area, not to the frame.
        SetWindowLongPtrA(hwnd, GWL_STYLE, cs->style & ~(WS_HSCROLL | WS_VSCROLL));
        break;
    }
    case GRID_ATTACH:
        SetWindowLongPtrA(hwnd, SLOT_OBJECT, lParam);
        return 1;
    case GRID_CREATE:
        if (grid && !grid->cells) {
            grid->CreateChildren();
            grid->SetUp();
        }
        return 1;
    case WM_SIZE:
        if (grid)
            grid->Layout();
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT client;
        GetClientRect(hwnd, &client);
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
        if (grid && grid->top && grid->side) {
            RECT corner = {0, 0, SIDE_WIDTH, TOP_HEIGHT};
            FrameRect(dc, &corner, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
            InflateRect(&corner, -1, -1);
            DrawEdge(dc, &corner, BDR_RAISEDINNER, BF_RECT);
        }
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_SETFOCUS:
        if (grid && grid->cells)
            SetFocus(grid->cells);
        return 0;
    case WM_CLOSE:
        if (!grid)
            break;
        grid->OnClose();
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        GridCornerClick click;
        if (!grid || !grid->CornerClick(wParam, lParam, &click))
            break;
        if (msg == WM_RBUTTONDOWN)
            grid->OnCornerRightButton(click);
        else if (msg == WM_LBUTTONDBLCLK)
            grid->OnCornerDoubleClick(click);
        else
            grid->OnCornerButton(click, msg == WM_LBUTTONDOWN);
        return 0;
    }
    case WM_SETFONT:
        SetWindowLongPtrA(hwnd, SLOT_FONT, static_cast<LONG_PTR>(wParam));
        for (int id : {ID_CELLS, ID_TOP, ID_SIDE})
            if (HWND child = GetDlgItem(hwnd, id))
                SendMessageA(child, WM_SETFONT, wParam, lParam);
        return 0;
    case WM_GETFONT:
        return GetWindowLongPtrA(hwnd, SLOT_FONT);
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_COMMAND: {
        int id = LOWORD(wParam);
        if (!grid || !lParam || (id != ID_CELLS && id != ID_TOP && id != ID_SIDE))
            break;
        auto* n = reinterpret_cast<UGNotify*>(SendMessageA(reinterpret_cast<HWND>(lParam), UGM_GETNOTIFY, 0, 0));
        if (!n)
            return 1;
        int code = HIWORD(wParam);
        if (id == ID_CELLS) {
            switch (code) {
            case UGN_DRAWCELL: grid->OnDraw(*n, false); return 0;
            case UGN_KEY: grid->OnKey(*n); return 0;
            case UGN_CLICK: grid->OnClick(*n, false); return 0;
            case UGN_DBLCLICK: grid->OnDoubleClick(*n); return 0;
            case UGN_ENTER: grid->OnEnter(*n); return 0;
            case UGN_BUTTONDOWN: grid->OnButtonDown(*n); return 0;
            case UGN_SELECT: grid->OnSelect(*n); return 0;
            case UGN_EDITMOVE: grid->OnEditMove(*n); return 0;
            case UGN_EDITDONE: grid->OnEditDone(*n); return 0;
            }
        } else {
            switch (code) {
            case UGN_DRAWCELL: grid->OnDraw(*n, true); return 0;
            case UGN_CLICK: grid->OnHeadingClick(*n, id == ID_TOP); return 0;
            case UGN_SIZING: n->handled = 1; return 0;
            case UGN_COLWIDTH:
                if (id == ID_TOP) {
                    grid->OnColumnWidth(*n);
                    return 0;
                }
                break;
            }
        }
        return 1;
    }
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// ---- GridControl -------------------------------------------------------------------------

GridControl::GridControl() = default;

GridControl::~GridControl()
{
    if (g_drop.owner == this) {
        if (g_drop.window)
            DestroyWindow(g_drop.window);
        g_drop = DropState();
    }
    if (frame && IsWindow(frame) && Attached(frame) == this)
        SetWindowLongPtrA(frame, SLOT_OBJECT, 0);
}

bool GridControl::RegisterClasses(HINSTANCE instance)
{
    if (!UGRegisterClasses(instance))
        return false;
    WNDCLASSA wc = {};
    if (!GetClassInfoA(instance, kListClass, &wc)) {
        if (!GetClassInfoA(nullptr, "LISTBOX", &wc))
            return false;
        g_listBase = wc.lpfnWndProc;
        wc.style &= ~CS_GLOBALCLASS;
        wc.lpfnWndProc = DropListProc;
        wc.hInstance = instance;
        wc.lpszClassName = kListClass;
        if (!RegisterClassA(&wc))
            return false;
    }
    if (!GetClassInfoA(instance, kFrameClass, &wc)) {
        wc = WNDCLASSA();
        wc.style = 0x480B; // redraw on resize, double clicks, save bits, global class
        wc.lpfnWndProc = GridFrameProc;
        wc.cbWndExtra = FRAME_EXTRA;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
        wc.lpszClassName = kFrameClass;
        if (!RegisterClassA(&wc))
            return false;
    }
    return true;
}

bool GridControl::Attach(HWND window)
{
    if (!window || !IsWindow(window))
        return false;
    frame = window;
    SendMessageA(frame, GRID_ATTACH, 0, reinterpret_cast<LPARAM>(this));
    SendMessageA(frame, GRID_CREATE, 0, 0);
    return cells != nullptr;
}

void GridControl::CreateChildren()
{
    RECT client;
    GetClientRect(frame, &client);
    DWORD style = static_cast<DWORD>(GetWindowLongPtrA(frame, SLOT_STYLE));
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(frame, GWLP_HINSTANCE));
    cells = CreateWindowExA(0, "DUNUG3220", "",
                            WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_BORDER | WS_TABSTOP |
                                (style & (WS_HSCROLL | WS_VSCROLL)),
                            39, 19, client.right - 40, client.bottom - 20, frame,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(ID_CELLS)), instance, nullptr);
    if (style & GRID_TOP_HEADING)
        top = CreateWindowExA(0, "DUNUG3220", "", 0x50800030, 0, 0, 20, 20, frame,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(ID_TOP)), instance, nullptr);
    if (style & GRID_SIDE_HEADING)
        side = CreateWindowExA(0, "DUNUG3220", "", 0x50800070, 0, 0, 40, 40, frame,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(ID_SIDE)), instance, nullptr);
    for (HWND h : {cells, top, side})
        if (h)
            SendMessageA(h, UGM_SETBORDER, static_cast<WPARAM>(-1), 0);
    HFONT font = reinterpret_cast<HFONT>(GetWindowLongPtrA(frame, SLOT_FONT));
    if (!font)
        font = reinterpret_cast<HFONT>(SendMessageA(GetParent(frame), WM_GETFONT, 0, 0));
    if (font)
        SendMessageA(frame, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
    UGLinkWindows(cells, top, side, 0, 0, 0, 3, 1);
    Layout();
}

void GridControl::Layout()
{
    if (!cells)
        return;
    RECT client;
    GetClientRect(frame, &client);
    int left = side ? SIDE_WIDTH : 0;
    int topHeight = top ? TOP_HEIGHT : 0;
    MoveWindow(cells, left, topHeight, client.right - left, client.bottom - topHeight, TRUE);
    if (top)
        MoveWindow(top, left, 0, client.right - left, TOP_HEIGHT, TRUE);
    if (side)
        MoveWindow(side, 0, topHeight, SIDE_WIDTH, client.bottom - topHeight, TRUE);
    UGSetMargin(cells, 0, 0);
    UGSetMargin(cells, 1, 0);
}

void GridControl::Redraw(int column, int row)
{
    if (cells)
        SendMessageA(cells, UGM_REDRAWCELL, static_cast<WPARAM>(column), static_cast<LPARAM>(row));
}

void GridControl::SetText(const char* text, int column, int row)
{
    store.Make(column, row).text = text ? text : "";
    Redraw(column, row);
}

void GridControl::SetTemplate(const char* text, int column, int row)
{
    store.Make(column, row).templ = text ? text : "";
    Redraw(column, row);
}

void GridControl::SetAlignment(int alignment, int column, int row)
{
    store.Make(column, row).alignment = alignment;
    Redraw(column, row);
}

void GridControl::SetFlags(int flags, int column, int row)
{
    store.Make(column, row).flags = flags;
    Redraw(column, row);
}

void GridControl::SetReadOnly(bool readOnly, int column, int row)
{
    store.Make(column, row).readOnly = readOnly;
    Redraw(column, row);
}

void GridControl::SetColors(COLORREF text, COLORREF back, int column, int row)
{
    GridCell& c = store.Make(column, row);
    c.textColor = text;
    c.backColor = back;
    Redraw(column, row);
}

void GridControl::SetDropList(const std::vector<std::string>& items, int column, int row)
{
    GridCell& c = store.Make(column, row);
    c.dropList = items;
    c.hasDropList = true;
    if (row >= 0)
        c.ownerDrawn = true;
    Redraw(column, row);
}

void GridControl::SetCheck(bool checked, int column, int row)
{
    GridCell& c = store.Make(column, row);
    c.flags = (c.flags & ~(UG_CELL_CHECKED | UG_CELL_UNCHECKED)) | (checked ? UG_CELL_CHECKED : UG_CELL_UNCHECKED);
    Redraw(column, row);
}

int GridControl::GetText(char* buffer, size_t size, int column, int row)
{
    const GridCell& c = store.Look(column, row);
    if (!buffer || c.text.size() + 1 > size)
        return 0;
    memcpy(buffer, c.text.c_str(), c.text.size() + 1);
    return 1;
}

std::string GridControl::GetText(int column, int row)
{
    return store.Look(column, row).text;
}

int GridControl::GetCheck(int column, int row)
{
    int flags = store.Look(column, row).flags;
    return (flags & UG_CELL_CHECKED) ? GRID_CHECKED : (flags & UG_CELL_UNCHECKED) ? GRID_UNCHECKED : GRID_NO_CHECK;
}

int GridControl::GetButtonLook(int column, int row)
{
    int flags = store.Look(column, row).flags;
    return (flags & UG_CELL_SUNKEN) ? 1 : (flags & UG_CELL_RAISED) ? 0 : -1;
}

bool GridControl::IsReadOnly(int column, int row)
{
    return store.Look(column, row).readOnly;
}

std::vector<std::string> GridControl::DropList(int column, int row)
{
    const GridCell& c = store.Look(column, row);
    if (!c.dropList.empty())
        return c.dropList;
    return store.Look(column, -1).dropList;
}

bool GridControl::IsSelected(int column, int row)
{
    GridCell* c = store.Find(column, row);
    return c && c->selectedStamp == store.stamp;
}

void GridControl::SetRowCount(int rows)
{
    if (cells)
        SendMessageA(cells, UGM_SETROWS, static_cast<WPARAM>(rows), 0);
}

void GridControl::SetColumnCount(int columns)
{
    if (cells)
        SendMessageA(cells, UGM_SETCOLS, static_cast<WPARAM>(columns), 0);
}

void GridControl::SetColumnWidth(int column, int width)
{
    if (cells)
        SendMessageA(cells, UGM_SETCOLWIDTH, static_cast<WPARAM>(column), width);
}

int GridControl::RowCount()
{
    return cells ? static_cast<int>(SendMessageA(cells, UGM_GETROWS, 0, 0)) : 0;
}

int GridControl::ColumnCount()
{
    return cells ? static_cast<int>(SendMessageA(cells, UGM_GETCOLS, 0, 0)) : 0;
}

HWND GridControl::OpenDropList()
{
    return g_drop.window;
}

// A plain grid: ten by ten products, to show the control at work.
void GridControl::SetUp()
{
    SetRowCount(10);
    SetColumnCount(10);
    for (int c = 0; c < 10; ++c) {
        SetColumnWidth(c, 40);
        SetText(std::to_string(c).c_str(), c, -1);
        SetText(std::to_string(c).c_str(), -1, c);
        for (int r = 0; r < 10; ++r) {
            SetText(std::to_string(r * c).c_str(), c, r);
            SetAlignment(UG_ALIGN_RIGHT, c, r);
            SetTemplate("aaaaaaaaaa", c, r);
        }
    }
    SetDropList({"One", "Two", "Three", "Four", "Five"}, 2, -1);
}

void GridControl::OnDraw(UGNotify& n, bool heading)
{
    const GridCell& c = store.Look(n.column, n.row);
    bool selected = !heading && c.selectedStamp == store.stamp && store.Find(n.column, n.row);
    n.text = c.text.c_str();
    n.align = c.alignment;
    n.textColor = selected ? c.selTextColor : c.textColor;
    n.backColor = selected ? c.selBackColor : c.backColor;
    n.cellFlags = c.flags;
    n.listOption = c.listOption;
    if (!c.ownerDrawn || !n.dc)
        return;
    if (!c.hasDropList) {
        OnOwnerDraw(n, c);
        return;
    }
    // A drop-list cell: its text and, at the right, a button with an arrow.
    HBRUSH back = CreateSolidBrush(n.backColor);
    FillRect(n.dc, &n.rect, back);
    DeleteObject(back);
    int strip = GetSystemMetrics(SM_CXVSCROLL);
    RECT button = n.rect;
    button.left = button.right - strip;
    FillRect(n.dc, &button, GetSysColorBrush(COLOR_BTNFACE));
    HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
    HGDIOBJ old = SelectObject(n.dc, pen);
    MoveToEx(n.dc, button.left, button.top, nullptr);
    LineTo(n.dc, button.left, button.bottom);
    SelectObject(n.dc, old);
    DeleteObject(pen);
    int cx = (button.left + button.right) / 2, cy = (button.top + button.bottom) / 2;
    POINT arrow[3] = {{cx - 3, cy - 1}, {cx + 4, cy - 1}, {cx, cy + 3}};
    HGDIOBJ oldBrush = SelectObject(n.dc, GetStockObject(BLACK_BRUSH));
    Polygon(n.dc, arrow, 3);
    SelectObject(n.dc, oldBrush);
    RECT text = n.rect;
    text.right = button.left;
    InflateRect(&text, -2, 0);
    SetTextColor(n.dc, n.textColor);
    SetBkMode(n.dc, TRANSPARENT);
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX |
                  (n.align == UG_ALIGN_RIGHT ? DT_RIGHT : n.align == UG_ALIGN_CENTRE ? DT_CENTER : DT_LEFT);
    DrawTextA(n.dc, c.text.c_str(), -1, &text, format);
    n.handled = 1;
}

bool GridControl::BeforeEdit(int, int)
{
    return true;
}

void GridControl::OnOwnerDraw(UGNotify& n, const GridCell&)
{
    HBRUSH back = CreateSolidBrush(n.backColor);
    FillRect(n.dc, &n.rect, back);
    DeleteObject(back);
    SetTextColor(n.dc, n.textColor);
    SetBkMode(n.dc, TRANSPARENT);
    RECT text = n.rect;
    DrawTextA(n.dc, "Owner!!", 5, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT);
    n.handled = 1;
}

void GridControl::OnClose()
{
    if (cells)
        UGEndEdit(cells);
    if (g_drop.owner == this)
        CloseList(false);
}

void GridControl::OnCornerButton(const GridCornerClick&, bool)
{
}

void GridControl::OnCornerRightButton(const GridCornerClick&)
{
}

void GridControl::OnCornerDoubleClick(const GridCornerClick&)
{
}

bool GridControl::CornerClick(WPARAM keys, LPARAM point, GridCornerClick* click)
{
    if (!top || !side)
        return false;
    click->box = {0, 0, SIDE_WIDTH, TOP_HEIGHT};
    click->point = {static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point))};
    click->keys = ((keys & MK_CONTROL) ? UG_CTRL : 0) | ((keys & MK_SHIFT) ? UG_SHIFT : 0);
    return PtInRect(&click->box, click->point) != FALSE;
}

bool GridControl::IsEditable(int column, int row)
{
    const GridCell& c = store.Look(column, row);
    return !c.readOnly && !c.hasDropList && !(c.flags & (UG_CELL_CHECKED | UG_CELL_UNCHECKED));
}

bool GridControl::Edit(int column, int row, int key)
{
    if (!cells || IsReadOnly(column, row) || !BeforeEdit(column, row))
        return false;
    const GridCell& c = store.Look(column, row);
    return UGStartEditAt(cells, c.text.c_str(), c.templ.c_str(), c.editOption, key, column, row) != 0;
}

void GridControl::OnKey(const UGNotify& n)
{
    Edit(n.column, n.row, n.key);
}

void GridControl::OnClick(const UGNotify& n, bool down)
{
    if (down)
        return;
    const GridCell& c = store.Look(n.column, n.row);
    if (!c.hasDropList || !cells)
        return;
    RECT r;
    if (!SendMessageA(cells, UGM_GETCELLRECT, MAKEWPARAM(n.column, n.row), reinterpret_cast<LPARAM>(&r)))
        return;
    POINT p;
    GetCursorPos(&p);
    ScreenToClient(cells, &p);
    // Only the button strip at the right opens the list.
    if (p.x >= r.right - GetSystemMetrics(SM_CXVSCROLL) && p.x < r.right)
        OpenList(n.column, n.row);
}

void GridControl::OnDoubleClick(const UGNotify& n)
{
    Edit(n.column, n.row, 0);
}

void GridControl::OnEnter(const UGNotify& n)
{
    if (store.Look(n.column, n.row).hasDropList)
        OpenList(n.column, n.row);
    else
        Edit(n.column, n.row, 0);
}

void GridControl::OnButtonDown(const UGNotify& n)
{
    OnClick(n, true);
    Select(n.column, n.row, n.flags);
}

void GridControl::OnSelect(const UGNotify& n)
{
    Select(n.column, n.row, n.flags);
}

void GridControl::Select(int column, int row, int flags)
{
    if (!selectionEnabled) {
        anchorColumn = column;
        anchorRow = row;
        return;
    }
    if (flags & UG_SHIFT) {
        int c0 = std::min(anchorColumn, column), c1 = std::max(anchorColumn, column);
        int r0 = std::min(anchorRow, row), r1 = std::max(anchorRow, row);
        for (int r = r0; r <= r1; ++r)
            for (int c = c0; c <= c1; ++c) {
                GridCell& cell = store.Make(c, r);
                bool was = cell.selectedStamp == store.stamp;
                cell.selectedStamp = was ? 0 : store.stamp;
                store.selectedCount += was ? -1 : 1;
            }
    } else if (flags & UG_CTRL) {
        GridCell& cell = store.Make(column, row);
        bool was = cell.selectedStamp == store.stamp;
        cell.selectedStamp = was ? 0 : store.stamp;
        store.selectedCount += was ? -1 : 1;
        anchorColumn = column;
        anchorRow = row;
    } else {
        ++store.stamp;
        store.selectedCount = 0;
        anchorColumn = column;
        anchorRow = row;
    }
    if (cells)
        InvalidateRect(cells, nullptr, FALSE);
}

void GridControl::OnHeadingClick(const UGNotify& n, bool topHeading)
{
    if (topHeading && cells)
        SendMessageA(cells, UGM_COLCLICKED, static_cast<WPARAM>(n.column), 0);
    if (!selectionEnabled)
        return;
    int rows = RowCount(), columns = ColumnCount();
    if (!(n.flags & (UG_CTRL | UG_SHIFT))) {
        ++store.stamp;
        store.selectedCount = 0;
    }
    for (int i = 0; i < (topHeading ? rows : columns); ++i) {
        GridCell& cell = topHeading ? store.Make(n.column, i) : store.Make(i, n.row);
        if (cell.selectedStamp != store.stamp) {
            cell.selectedStamp = store.stamp;
            ++store.selectedCount;
        }
    }
    if (cells)
        InvalidateRect(cells, nullptr, FALSE);
}

void GridControl::OnEditMove(const UGNotify& n)
{
    int rows = RowCount(), columns = ColumnCount();
    int c = n.column, r = n.row;
    switch (n.moveCode) {
    case UG_MOVE_NEXT:
    case UG_MOVE_TAB:
        for (;;) {
            if (++c >= columns) {
                c = 0;
                if (++r >= rows)
                    return;
            }
            if (IsEditable(c, r))
                break;
        }
        break;
    case UG_MOVE_PREVIOUS:
        for (;;) {
            if (--c < 0) {
                c = columns - 1;
                if (--r < 0)
                    return;
            }
            if (IsEditable(c, r))
                break;
        }
        break;
    case UG_MOVE_UP:
        do {
            if (--r < 0)
                return;
        } while (!IsEditable(c, r));
        break;
    case UG_MOVE_DOWN:
        do {
            if (++r >= rows)
                return;
        } while (!IsEditable(c, r));
        break;
    default:
        UGEndEdit(cells);
        return;
    }
    Edit(c, r, 0);
}

void GridControl::OnEditDone(const UGNotify& n)
{
    if (!IsReadOnly(n.column, n.row))
        SetText(n.editText, n.column, n.row);
}

void GridControl::OnColumnWidth(const UGNotify& n)
{
    if (!g_drop.window || g_drop.owner != this)
        return;
    if (n.column != g_drop.column) {
        CloseList(false);
        return;
    }
    RECT r;
    if (SendMessageA(cells, UGM_GETCELLRECT, MAKEWPARAM(g_drop.column, g_drop.row), reinterpret_cast<LPARAM>(&r))) {
        RECT list;
        GetWindowRect(g_drop.window, &list);
        MapWindowPoints(nullptr, cells, reinterpret_cast<POINT*>(&list), 2);
        MoveWindow(g_drop.window, r.left, list.top, r.right - r.left, list.bottom - list.top, TRUE);
    }
}

void GridControl::OnDropChoice(int column, int row, const std::string& text)
{
    SetText(text.c_str(), column, row);
}

void GridControl::OpenList(int column, int row)
{
    if (!cells)
        return;
    if (g_drop.window)
        g_drop.owner->CloseList(false);
    std::vector<std::string> items = DropList(column, row);
    RECT r;
    if (items.empty() ||
        !SendMessageA(cells, UGM_GETCELLRECT, MAKEWPARAM(column, row), reinterpret_cast<LPARAM>(&r)))
        return;
    RECT client;
    GetClientRect(cells, &client);
    int itemHeight = r.bottom - r.top;
    int visible = std::min<int>(static_cast<int>(items.size()), VISIBLE_LIST_ITEMS);
    int height = visible * itemHeight + 2;
    int y = r.bottom;
    // Up above the cell when it would leave the client area.
    if (y + height > client.bottom)
        y = std::max<int>(0, static_cast<int>(r.top) - height);
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(frame, GWLP_HINSTANCE));
    HWND list = CreateWindowExA(0, kListClass, "", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | LBS_NOTIFY,
                                r.left, y, r.right - r.left, height, cells, nullptr, instance, nullptr);
    if (!list)
        return;
    g_drop.window = list;
    g_drop.owner = this;
    g_drop.column = column;
    g_drop.row = row;
    g_drop.confirmed = false;
    SendMessageA(list, WM_SETFONT, SendMessageA(cells, UGM_GETFONT, 0, 0), 0);
    SendMessageA(list, LB_SETITEMHEIGHT, 0, itemHeight);
    for (const std::string& item : items)
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    SetFocus(list);
}

void GridControl::CloseList(bool confirm)
{
    if (!g_drop.window || g_drop.owner != this)
        return;
    HWND list = g_drop.window;
    int column = g_drop.column, row = g_drop.row;
    std::string chosen;
    int index = static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0));
    if (confirm && index >= 0) {
        int length = static_cast<int>(SendMessageA(list, LB_GETTEXTLEN, index, 0));
        chosen.assign(static_cast<size_t>(length > 0 ? length : 0) + 1, '\0');
        SendMessageA(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(&chosen[0]));
        chosen.resize(static_cast<size_t>(length > 0 ? length : 0));
    }
    g_drop = DropState();
    DestroyWindow(list);
    if (confirm && index >= 0)
        OnDropChoice(column, row, chosen);
}

// ---- QueryGrid -------------------------------------------------------------------------------

namespace {
const UINT kHeadings[QueryGrid::COLUMNS] = {IDS_GRID_NAME, IDS_GRID_IMPORT, IDS_GRID_SORT, IDS_GRID_CRITERIA,
                                            IDS_GRID_OR};
} // namespace

void QueryGrid::SetUp()
{
    static const int widths[COLUMNS] = {120, 40, 60, 80, 80};
    SetColumnCount(COLUMNS);
    for (int c = 0; c < COLUMNS; ++c)
        SetColumnWidth(c, widths[c]);
    ResetRows();
}

void QueryGrid::ResetRows()
{
    store.Clear();
    for (int c = 0; c < COLUMNS; ++c)
        store.Make(c, -1).text = DbLoadString(kHeadings[c]);
    GridCell& sortHeading = store.Make(COL_SORT, -1);
    sortHeading.dropList = {DbLoadString(IDS_SORT_ASCENDING), DbLoadString(IDS_SORT_DESCENDING),
                            DbLoadString(IDS_SORT_NONE)};
    sortHeading.hasDropList = true;
    shownRows = 0;
    SetRowCount(10);
    for (int r = 0; r < 10; ++r)
        store.Make(-1, r).text = std::to_string(r);
    if (cells)
        InvalidateRect(cells, nullptr, TRUE);
}

void QueryGrid::SetColumns(const std::vector<std::string>& names)
{
    std::vector<QueryRow> rows;
    for (const std::string& n : names) {
        QueryRow r;
        r.name = n;
        rows.push_back(r);
    }
    SetQueryRows(rows);
}

void QueryGrid::SetQueryRows(const std::vector<QueryRow>& rows)
{
    ResetRows();
    int count = static_cast<int>(rows.size());
    SetRowCount(count);
    for (int r = 0; r < count; ++r) {
        store.Make(-1, r).text = std::to_string(r);
        GridCell& name = store.Make(COL_NAME, r);
        name.text = rows[r].name;
        name.readOnly = true;
        store.Make(COL_IMPORT, r).flags = rows[r].import ? UG_CELL_CHECKED : UG_CELL_UNCHECKED;
        GridCell& sort = store.Make(COL_SORT, r);
        sort.hasDropList = true;
        sort.ownerDrawn = true;
        // The grid shows the sort in the user's language; query texts keep the English word.
        sort.text = rows[r].sort.empty() ? std::string()
                    : _stricmp(rows[r].sort.c_str(), kSortDescending) == 0 ? DbLoadString(IDS_SORT_DESCENDING)
                                                                          : DbLoadString(IDS_SORT_ASCENDING);
        for (int c : {COL_CRITERIA, COL_OR}) {
            GridCell& cell = store.Make(c, r);
            cell.text = c == COL_CRITERIA ? rows[r].criteria : rows[r].orCriteria;
            cell.templ = std::string(45, 'a');
        }
    }
    shownRows = count;
    if (cells)
        InvalidateRect(cells, nullptr, TRUE);
}

std::vector<QueryRow> QueryGrid::GetQueryRows()
{
    std::vector<QueryRow> rows;
    for (int r = 0; r < shownRows; ++r) {
        QueryRow q;
        q.name = GetText(COL_NAME, r);
        q.import = GetCheck(COL_IMPORT, r) == GRID_CHECKED;
        std::string sort = GetText(COL_SORT, r);
        q.sort = sort.empty() ? std::string() : sort == DbLoadString(IDS_SORT_DESCENDING) ? kSortDescending : kSortAscending;
        q.criteria = GetText(COL_CRITERIA, r);
        q.orCriteria = GetText(COL_OR, r);
        rows.push_back(q);
    }
    return rows;
}

void QueryGrid::CheckAll(bool checked)
{
    for (int r = 0; r < shownRows; ++r)
        SetCheck(checked, COL_IMPORT, r);
}

void QueryGrid::OnKey(const UGNotify& n)
{
    if (n.key == -VK_DELETE || n.key == -VK_HOME)
        return;
    GridControl::OnKey(n);
}

void QueryGrid::OnClick(const UGNotify& n, bool down)
{
    if (n.column == COL_SORT)
        GridControl::OnClick(n, down);
}

void QueryGrid::OnDoubleClick(const UGNotify& n)
{
    int check = GetCheck(n.column, n.row);
    if (check == GRID_NO_CHECK)
        return;
    SetCheck(check != GRID_CHECKED, n.column, n.row);
    changed = true;
}

void QueryGrid::OnButtonDown(const UGNotify& n)
{
    OnClick(n, true);
}

void QueryGrid::OnEditDone(const UGNotify& n)
{
    std::string text = n.editText ? n.editText : "";
    if (text.size() > 64)
        text.resize(64);
    NormaliseCriterion(text);
    SetText(text.c_str(), n.column, n.row);
}

void QueryGrid::OnDropChoice(int column, int row, const std::string& text)
{
    SetText(text == DbLoadString(IDS_SORT_NONE) ? "" : text.c_str(), column, row);
}
