#include "QKControls.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>

#include "KernelInternal.h"
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
