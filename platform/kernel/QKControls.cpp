#include "QKControls.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <memory>

#include "KernelInternal.h"
#include "PageRender.h"
#include "QKContour.h"
#include "QKData.h"
#include "QKGraphObjects.h"

namespace {

const int kColorColumn = 1, kNameColumn = 2;

} // namespace

CQKColorListCtrl::~CQKColorListCtrl()
{
    if (m_nameEdit)
        ::DestroyWindow(m_nameEdit);
}

void CQKColorListCtrl::InitColumns(const char* titles)
{
    std::string text = titles ? titles : "";
    std::vector<std::string> names;
    for (size_t from = 0;;) {
        size_t end = text.find('\n', from);
        names.push_back(text.substr(from, end == std::string::npos ? std::string::npos : end - from));
        if (end == std::string::npos)
            break;
        from = end + 1;
    }
    names.resize(3);
    SetExtendedStyle(GetExtendedStyle() | LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    const int widths[3] = {50, 70, 120};
    for (int i = 0; i < 3; ++i)
        InsertColumn(i, names[i].c_str(), LVCFMT_LEFT, widths[i]);
}

void CQKColorListCtrl::LoadColors()
{
    EndNameEdit(false);
    CQKColor::GetColors(m_colors);
    Fill();
}

BOOL CQKColorListCtrl::SaveColors()
{
    EndNameEdit(true);
    std::vector<std::pair<std::string, DWORD>> current;
    CQKColor::GetColors(current);
    if (current == m_colors)
        return FALSE;
    return CQKColor::SetColors(m_colors);
}

void CQKColorListCtrl::Fill()
{
    int selected = GetNextItem(-1, LVNI_SELECTED);
    DeleteAllItems();
    for (size_t i = 0; i < m_colors.size(); ++i) {
        InsertItem((int)i, std::to_string(i + 1).c_str());
        SetItemText((int)i, kNameColumn, m_colors[i].first.c_str());
    }
    if (selected >= 0)
        Select(std::min(selected, GetItemCount() - 1));
}

void CQKColorListCtrl::Select(int index)
{
    if (index < 0 || index >= GetItemCount())
        return;
    SetItemState(index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    EnsureVisible(index, FALSE);
}

BOOL CQKColorListCtrl::AppendNewColor()
{
    if ((int)m_colors.size() >= CQKColor::GetMaxNumOfColors())
        return FALSE;
    EndNameEdit(true);
    m_colors.emplace_back("Color " + std::to_string(m_colors.size() + 1), RGB(0, 0, 0));
    Fill();
    Select((int)m_colors.size() - 1);
    return TRUE;
}

BOOL CQKColorListCtrl::DeleteColor(int index)
{
    if (m_colors.size() <= 1 || index < 0 || index >= (int)m_colors.size())
        return FALSE;
    EndNameEdit(false);
    m_colors.erase(m_colors.begin() + index);
    Fill();
    Select(std::min(index, (int)m_colors.size() - 1));
    return TRUE;
}

BOOL CQKColorListCtrl::MoveColorUp(int index)
{
    if (index < 1 || index >= (int)m_colors.size())
        return FALSE;
    EndNameEdit(true);
    std::swap(m_colors[index], m_colors[index - 1]);
    SetItemState(index, 0, LVIS_SELECTED | LVIS_FOCUSED);
    Fill();
    Select(index - 1);
    return TRUE;
}

BOOL CQKColorListCtrl::MoveColorDown(int index)
{
    if (index < 0 || index + 1 >= (int)m_colors.size())
        return FALSE;
    EndNameEdit(true);
    std::swap(m_colors[index], m_colors[index + 1]);
    SetItemState(index, 0, LVIS_SELECTED | LVIS_FOCUSED);
    Fill();
    Select(index + 1);
    return TRUE;
}

BOOL CQKColorListCtrl::SetColor(int index, DWORD rgb)
{
    if (index < 0 || index >= (int)m_colors.size())
        return FALSE;
    m_colors[index].second = rgb & 0xFFFFFF;
    RedrawItems(index, index);
    return TRUE;
}

BOOL CQKColorListCtrl::SetColorName(int index, const std::string& name)
{
    if (index < 0 || index >= (int)m_colors.size() || qkTrim(name).empty())
        return FALSE;
    m_colors[index].first = qkTrim(name);
    SetItemText(index, kNameColumn, m_colors[index].first.c_str());
    return TRUE;
}

BOOL CQKColorListCtrl::EditColor(int index)
{
    if (index < 0 || index >= (int)m_colors.size())
        return FALSE;
    static COLORREF custom[16];
    CHOOSECOLORA cc = {};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = ::GetParent(m_hWnd);
    cc.rgbResult = m_colors[index].second;
    cc.lpCustColors = custom;
    cc.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!::ChooseColorA(&cc))
        return FALSE;
    return SetColor(index, cc.rgbResult);
}

HWND CQKColorListCtrl::EditName(int index)
{
    EndNameEdit(true);
    if (index < 0 || index >= (int)m_colors.size())
        return nullptr;
    RECT r = {};
    r.top = kNameColumn;
    r.left = LVIR_BOUNDS;
    ::SendMessageA(m_hWnd, LVM_GETSUBITEMRECT, index, (LPARAM)&r);
    m_nameEdit = ::CreateWindowExA(0, "EDIT", m_colors[index].first.c_str(),
                                   WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, r.left, r.top,
                                   r.right - r.left, r.bottom - r.top, m_hWnd, nullptr, nullptr, nullptr);
    if (!m_nameEdit)
        return nullptr;
    m_nameIndex = index;
    ::SendMessageA(m_nameEdit, WM_SETFONT, ::SendMessageA(m_hWnd, WM_GETFONT, 0, 0), FALSE);
    ::SetWindowLongPtrA(m_nameEdit, GWLP_USERDATA, (LONG_PTR)this);
    m_editProc = (WNDPROC)::SetWindowLongPtrA(m_nameEdit, GWLP_WNDPROC, (LONG_PTR)&NameEditProc);
    ::SendMessageA(m_nameEdit, EM_SETSEL, 0, -1);
    ::SetFocus(m_nameEdit);
    return m_nameEdit;
}

void CQKColorListCtrl::EndNameEdit(bool keep)
{
    HWND edit = m_nameEdit;
    if (!edit)
        return;
    // Cleared first: destroying the edit takes its focus, which would end it again.
    m_nameEdit = nullptr;
    if (keep) {
        char text[256] = "";
        ::GetWindowTextA(edit, text, sizeof text);
        SetColorName(m_nameIndex, text);
    }
    m_nameIndex = -1;
    ::DestroyWindow(edit);
}

LRESULT CALLBACK CQKColorListCtrl::NameEditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = (CQKColorListCtrl*)::GetWindowLongPtrA(hwnd, GWLP_USERDATA);
    WNDPROC proc = self->m_editProc;
    if (self->m_nameEdit == hwnd) {
        if (message == WM_GETDLGCODE)
            return DLGC_WANTALLKEYS;
        if (message == WM_KEYDOWN && (wParam == VK_RETURN || wParam == VK_ESCAPE)) {
            self->EndNameEdit(wParam == VK_RETURN);
            return 0;
        }
        if (message == WM_KILLFOCUS) {
            self->EndNameEdit(true);
            return 0;
        }
    }
    return ::CallWindowProcA(proc, hwnd, message, wParam, lParam);
}

BOOL CQKColorListCtrl::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message != WM_NOTIFY)
        return CListCtrl::OnChildNotify(message, wParam, lParam, pResult);
    auto* hdr = (NMHDR*)lParam;
    if (hdr->code == NM_CUSTOMDRAW) {
        auto* cd = (NMLVCUSTOMDRAW*)lParam;
        if (cd->nmcd.dwDrawStage == CDDS_PREPAINT) {
            *pResult = CDRF_NOTIFYITEMDRAW;
            return TRUE;
        }
        if (cd->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
            *pResult = CDRF_NOTIFYPOSTPAINT;
            return TRUE;
        }
        if (cd->nmcd.dwDrawStage == CDDS_ITEMPOSTPAINT) {
            const int item = (int)cd->nmcd.dwItemSpec;
            if (item >= 0 && item < (int)m_colors.size()) {
                RECT r = {};
                r.top = kColorColumn;
                r.left = LVIR_BOUNDS;
                ::SendMessageA(m_hWnd, LVM_GETSUBITEMRECT, item, (LPARAM)&r);
                ::InflateRect(&r, -3, -2);
                HBRUSH brush = ::CreateSolidBrush(m_colors[item].second);
                ::FillRect(cd->nmcd.hdc, &r, brush);
                ::DeleteObject(brush);
                ::FrameRect(cd->nmcd.hdc, &r, (HBRUSH)::GetStockObject(BLACK_BRUSH));
            }
            *pResult = CDRF_DODEFAULT;
            return TRUE;
        }
        return FALSE;
    }
    if (hdr->code == NM_DBLCLK) {
        LVHITTESTINFO hit = {};
        hit.pt = ((NMITEMACTIVATE*)lParam)->ptAction;
        ::SendMessageA(m_hWnd, LVM_SUBITEMHITTEST, 0, (LPARAM)&hit);
        if (hit.iItem >= 0 && hit.iSubItem == kColorColumn)
            EditColor(hit.iItem);
        else if (hit.iItem >= 0 && hit.iSubItem == kNameColumn)
            EditName(hit.iItem);
        *pResult = 0;
        return TRUE;
    }
    return CListCtrl::OnChildNotify(message, wParam, lParam, pResult);
}

int CQKGrpMemberListBox::AddMember(int index, const CQKPlotObj* member, const char* name)
{
    const int at = InsertString(index, name);
    if (at >= 0)
        SetItemDataPtr(at, const_cast<CQKPlotObj*>(member));
    return at;
}

const CQKPlotObj* CQKGrpMemberListBox::GetMember(int index) const
{
    void* data = GetItemDataPtr(index);
    return data == (void*)-1 ? nullptr : static_cast<const CQKPlotObj*>(data);
}

void CQKGrpMemberListBox::MeasureItem(LPMEASUREITEMSTRUCT mis)
{
    mis->itemHeight = 32;
}

void CQKGrpMemberListBox::DrawItem(LPDRAWITEMSTRUCT dis)
{
    if (dis->itemID == (UINT)-1)
        return;
    HDC dc = dis->hDC;
    RECT r = dis->rcItem;
    FillRect(dc, &r, GetSysColorBrush(COLOR_WINDOW));
    // The sample on the left, the name after it.
    RECT sample = {r.left + 4, r.top + 4, r.left + 44, r.bottom - 4};
    if (const CQKPlotObj* member = GetMember((int)dis->itemID)) {
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, sample.left, sample.top, sample.right, sample.bottom);
        member->DrawLegendPreview(dc, sample);
        RestoreDC(dc, saved);
    }
    char name[256] = "";
    if (GetTextLen((int)dis->itemID) < (int)sizeof name)
        ::SendMessageA(m_hWnd, LB_GETTEXT, dis->itemID, (LPARAM)name);
    RECT text = {sample.right + 6, r.top, r.right, r.bottom};
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    DrawTextA(dc, name, -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void CQKListBox::CheckHorizontalScrollBar(CListBox& list)
{
    CClientDC dc(&list);
    CFont* old = dc.SelectObject(list.GetFont());
    int widest = 0;
    for (int i = 0; i < list.GetCount(); ++i) {
        CString text;
        list.GetText(i, text);
        widest = std::max(widest, (int)dc.GetTextExtent(text).cx);
    }
    dc.SelectObject(old);
    // Owner-drawn members start their text after the sample.
    const bool owner = (list.GetStyle() & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) != 0;
    list.SetHorizontalExtent(widest + (owner ? 60 : 8));
}

// ---- the colour menu button -----------------------------------------------------------

namespace {

// Menu command ids: the colour table from kMenuColor (automatic first), the columns by
// colour-table numbers from kMenuColumn, through the colour map from kMenuMapped.
const UINT kMenuColor = 1, kMenuColumn = 0x1000, kMenuMapped = 0x2000;

std::string ColorName(int color)
{
    std::string name;
    if (color == -9)
        return "Automatic";
    if (!CQKColor::GetColorName(color, name))
        name = "Custom";
    return name;
}

} // namespace

BOOL CQKColorMenuButtonCtrl::CreateColorMenu(UINT id, int contents, CWnd* parent, CQKPlotObj* plot)
{
    if (!parent || !::GetDlgItem(parent->m_hWnd, id) || !SubclassDlgItem(id, parent))
        return FALSE;
    ModifyStyle(0, BS_OWNERDRAW);
    m_contents = contents;
    ConnectToPlotObject(plot);
    return TRUE;
}

void CQKColorMenuButtonCtrl::ConnectToPlotObject(CQKPlotObj* plot)
{
    m_plot = plot;
    if (m_hWnd)
        Invalidate();
}

void CQKColorMenuButtonCtrl::SetSelectedQCOLOR(int qcolor)
{
    m_selected = qcolor;
    if (m_hWnd)
        Invalidate();
}

void CQKColorMenuButtonCtrl::SetAutoColor(int color)
{
    m_auto = color;
    if (m_hWnd)
        Invalidate();
}

std::vector<std::pair<std::string, int>> CQKColorMenuButtonCtrl::Columns() const
{
    std::vector<std::pair<std::string, int>> columns;
    if (!m_plot || !(m_plot->GetColorContents(m_contents, 0) & QK_CONTENTS_PER_POINT))
        return columns;
    const CQKDataset* y = qkPlotDataset(*m_plot, QK_ROLE_Y);
    CQKWksPage* wks = y ? y->GetOwner() : nullptr;
    const int last = QK_QCOLOR_COLUMN_LAST - QK_QCOLOR_COLUMN_FIRST + 1;
    for (int i = 1; wks && i <= wks->GetNumCols() && i <= last; ++i) {
        // The column's short name, after the worksheet's.
        std::string name = wks->GetColumn(i)->GetName();
        const std::string prefix = wks->GetName() + "_";
        if (name.compare(0, prefix.size(), prefix) == 0)
            name = name.substr(prefix.size());
        columns.push_back({"Col(" + name + ")", i});
    }
    return columns;
}

std::string CQKColorMenuButtonCtrl::GetSelectedName() const
{
    if (!qkIsPointQCOLOR(m_selected))
        return ColorName(m_selected);
    const int column = qkQCOLORColumn(m_selected);
    std::string name = "Col(" + std::to_string(column) + ")";
    for (const auto& c : Columns())
        if (c.second == column)
            name = c.first;
    return m_selected & QK_QCOLOR_COLORMAP ? name + " Color Map" : name;
}

std::vector<std::pair<std::string, int>> CQKColorMenuButtonCtrl::GetMenuEntries() const
{
    std::vector<std::pair<std::string, int>> entries = {{"Automatic", -9}};
    for (int i = 0; i < CQKColor::GetColorNumber(); ++i)
        entries.push_back({ColorName(i), i});
    const int contents = m_plot ? m_plot->GetColorContents(m_contents, 0) : 0;
    const std::vector<std::pair<std::string, int>> columns = Columns();
    if (columns.empty())
        return entries;
    entries.push_back({"", 0});
    if (contents & QK_CONTENTS_BY_COLUMN) {
        entries.push_back({"By Column", 0});
        for (const auto& c : columns)
            entries.push_back({"  " + c.first, qkColumnQCOLOR(c.second, false)});
    }
    if (contents & QK_CONTENTS_BY_COLORMAP) {
        entries.push_back({"Color Map", 0});
        for (const auto& c : columns)
            entries.push_back({"  " + c.first, qkColumnQCOLOR(c.second, true)});
    }
    return entries;
}

void CQKColorMenuButtonCtrl::Choose(int qcolor)
{
    SetSelectedQCOLOR(qcolor);
    if (CWnd* owner = GetParent())
        owner->SendMessage(QK_WM_COLORMENU_CHOSEN, GetDlgCtrlID(), qcolor);
}

void CQKColorMenuButtonCtrl::DropMenu()
{
    HMENU menu = ::CreatePopupMenu();
    HMENU byColumn = nullptr, byMap = nullptr;
    for (int i = 0; i < CQKColor::GetColorNumber() + 1; ++i) {
        const int color = i == 0 ? -9 : i - 1;
        ::AppendMenuA(menu, MF_STRING | (color == m_selected ? MF_CHECKED : 0), kMenuColor + i, ColorName(color).c_str());
    }
    const int contents = m_plot ? m_plot->GetColorContents(m_contents, 0) : 0;
    const std::vector<std::pair<std::string, int>> columns = Columns();
    if (!columns.empty()) {
        ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        auto sub = [&](UINT base, bool mapped) {
            HMENU m = ::CreatePopupMenu();
            for (const auto& c : columns)
                ::AppendMenuA(m, MF_STRING | (qkColumnQCOLOR(c.second, mapped) == m_selected ? MF_CHECKED : 0),
                              base + c.second, c.first.c_str());
            return m;
        };
        if (contents & QK_CONTENTS_BY_COLUMN) {
            byColumn = sub(kMenuColumn, false);
            ::AppendMenuA(menu, MF_POPUP, (UINT_PTR)byColumn, "By &Column");
        }
        if (contents & QK_CONTENTS_BY_COLORMAP) {
            byMap = sub(kMenuMapped, true);
            ::AppendMenuA(menu, MF_POPUP, (UINT_PTR)byMap, "Color &Map");
        }
    }
    CRect r;
    GetWindowRect(&r);
    const UINT picked = ::TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD | TPM_LEFTBUTTON, r.left,
                                         r.bottom, 0, m_hWnd, nullptr);
    ::DestroyMenu(menu); // with its submenus
    if (picked >= kMenuMapped)
        Choose(qkColumnQCOLOR((int)(picked - kMenuMapped), true));
    else if (picked >= kMenuColumn)
        Choose(qkColumnQCOLOR((int)(picked - kMenuColumn), false));
    else if (picked >= kMenuColor)
        Choose(picked == kMenuColor ? -9 : (int)(picked - kMenuColor - 1));
}

LRESULT CQKColorMenuButtonCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case QK_WM_COLORMENU_CHOOSE:
        // As from the menu: a hidden or disabled button takes no choice.
        if (IsWindowVisible() && IsWindowEnabled())
            Choose((int)wParam);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        // The menu drops on the press; the button never sends a click of its own.
        SetFocus();
        DropMenu();
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_SPACE || wParam == VK_RETURN || wParam == VK_DOWN || wParam == VK_F4) {
            DropMenu();
            return 0;
        }
        break;
    case WM_KEYUP:
    case WM_CHAR:
        if (wParam == VK_SPACE || wParam == ' ')
            return 0;
        break;
    case WM_GETDLGCODE: return DLGC_BUTTON | DLGC_WANTARROWS;
    default: break;
    }
    return CButton::WindowProc(message, wParam, lParam);
}

void CQKColorMenuButtonCtrl::DrawItem(LPDRAWITEMSTRUCT dis)
{
    HDC dc = dis->hDC;
    RECT r = dis->rcItem;
    ::DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | ((dis->itemState & ODS_SELECTED) ? DFCS_PUSHED : 0));
    RECT inner = r;
    ::InflateRect(&inner, -3, -3);
    const int h = inner.bottom - inner.top;
    // The swatch: the colour, or for a colour taken per point a strip of the colours the
    // points may take (the colour map's levels, else the first colours of the table).
    RECT swatch = {inner.left, inner.top, inner.left + h + h / 2, inner.bottom};
    std::vector<COLORREF> strip;
    if (qkIsPointQCOLOR(m_selected)) {
        if ((m_selected & QK_QCOLOR_COLORMAP) && m_plot) {
            std::unique_ptr<CQKColorMapData> map(m_plot->GetColorMapDataOrCreateWithDefRange());
            for (const ColorMapEntry& e : map->GetState().levels)
                strip.push_back(e.fillColor & 0xFFFFFF);
        }
        if (strip.empty())
            for (int i = 1; i <= 4; ++i)
                strip.push_back(qkColorOf(i));
    } else {
        strip.push_back(qkColorOf(m_selected < 0 ? m_auto : m_selected));
    }
    const int n = (int)strip.size();
    for (int i = 0; i < n; ++i) {
        RECT band = swatch;
        band.left = swatch.left + (swatch.right - swatch.left) * i / n;
        band.right = swatch.left + (swatch.right - swatch.left) * (i + 1) / n;
        HBRUSH b = ::CreateSolidBrush(strip[i]);
        ::FillRect(dc, &band, b);
        ::DeleteObject(b);
    }
    ::FrameRect(dc, &swatch, (HBRUSH)::GetStockObject(BLACK_BRUSH));
    RECT text = inner;
    text.left = swatch.right + 4;
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    const COLORREF oldText =
        ::SetTextColor(dc, ::GetSysColor((dis->itemState & ODS_DISABLED) ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    HGDIOBJ font = (HGDIOBJ)::SendMessage(m_hWnd, WM_GETFONT, 0, 0);
    HGDIOBJ oldFont = font ? ::SelectObject(dc, font) : nullptr;
    const std::string name = GetSelectedName();
    ::DrawTextA(dc, name.c_str(), -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    if (oldFont)
        ::SelectObject(dc, oldFont);
    ::SetTextColor(dc, oldText);
    ::SetBkMode(dc, oldMode);
    if (dis->itemState & ODS_FOCUS) {
        RECT focus = r;
        ::InflateRect(&focus, -2, -2);
        ::DrawFocusRect(dc, &focus);
    }
}
