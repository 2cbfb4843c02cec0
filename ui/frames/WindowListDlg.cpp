#include "WindowListDlg.h"

#include <functional>
#include <memory>

#include <QKAccess.h>
#include <QKSysMethod.h>
#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "ChildFrame.h"
#include "FrameHost.h"
#include "FramesResource.h"
#include "MainFrame.h"

namespace {

// The sort direction of the list, kept for the program's run: 0 ascending, 8 descending.
int g_nSortDirection = 0;

CString LoadText(UINT nID)
{
    CString s;
    s.LoadString(nID);
    return s;
}

CString KindText(int nKind)
{
    static const UINT kKinds[] = {IDS_KIND_WORKSHEET, IDS_KIND_GRAPH, IDS_KIND_MATRIX, IDS_KIND_EXCEL, IDS_KIND_LAYOUT,
                                  IDS_KIND_NOTES};
    return nKind >= 0 && nKind < 6 ? LoadText(kKinds[nKind]) : CString();
}

CString StateText(HWND hFrame)
{
    if (hFrame == nullptr || !::IsWindow(hFrame))
        return LoadText(IDS_VIEW_HIDDEN);
    if (::IsIconic(hFrame))
        return LoadText(IDS_VIEW_MINIMIZED);
    if (::IsZoomed(hFrame))
        return LoadText(IDS_VIEW_MAXIMIZED);
    return LoadText(IDS_VIEW_NORMAL);
}

} // namespace

CMoreWndDlg::CMoreWndDlg(CWnd* pParent) : CDialog(IDD_MORE_WINDOWS, pParent) {}

int CMoreWndDlg::GetItemCount() const
{
    return (int)::SendMessageA(ListWnd(), LVM_GETITEMCOUNT, 0, 0);
}

CString CMoreWndDlg::GetItemText(int nItem, int nColumn) const
{
    char szText[256] = "";
    LVITEMA item = {};
    item.iSubItem = nColumn;
    item.pszText = szText;
    item.cchTextMax = sizeof szText;
    ::SendMessageA(ListWnd(), LVM_GETITEMTEXTA, nItem, (LPARAM)&item);
    return szText;
}

HWND CMoreWndDlg::GetItemFrame(int nItem) const
{
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = nItem;
    ::SendMessageA(ListWnd(), LVM_GETITEMA, 0, (LPARAM)&item);
    return (HWND)item.lParam;
}

int CMoreWndDlg::GetSelectedCount() const
{
    return (int)::SendMessageA(ListWnd(), LVM_GETSELECTEDCOUNT, 0, 0);
}

BOOL CMoreWndDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    HWND hList = ListWnd();
    ::SetWindowLongA(hList, GWL_STYLE,
                     ::GetWindowLongA(hList, GWL_STYLE) & ~(LVS_SORTASCENDING | LVS_SORTDESCENDING));
    static const UINT kColumns[] = {IDS_COLUMN_NAME, IDS_COLUMN_TYPE, IDS_COLUMN_VIEW};
    for (int i = 0; i < 3; i++) {
        CString strTitle = LoadText(kColumns[i]);
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = (LPSTR)(LPCTSTR)strTitle;
        column.cx = i == 0 ? 120 : 90;
        ::SendMessageA(hList, LVM_INSERTCOLUMNA, i, (LPARAM)&column);
    }
    // The list view owns the icons of the window kinds (it was made without sharing them).
    if (HIMAGELIST hImages = qkfxGetAccess()->CreateWndsImageList(0))
        ::SendMessageA(hList, LVM_SETIMAGELIST, LVSIL_SMALL, (LPARAM)hImages);
    CWinApp* pApp = AfxGetApp();
    POSITION posTemplate = pApp != nullptr ? pApp->GetFirstDocTemplatePosition() : nullptr;
    while (posTemplate != nullptr) {
        CDocTemplate* pTemplate = pApp->GetNextDocTemplate(posTemplate);
        POSITION posDoc = pTemplate->GetFirstDocPosition();
        while (posDoc != nullptr) {
            CDocument* pDoc = pTemplate->GetNextDoc(posDoc);
            POSITION posView = pDoc->GetFirstViewPosition();
            CView* pView = posView != nullptr ? pDoc->GetNextView(posView) : nullptr;
            CFrameWnd* pFrame = pView != nullptr ? pView->GetParentFrame() : nullptr;
            CChildFrame* pChild = DYNAMIC_DOWNCAST(CChildFrame, pFrame);
            CString strTitle = pDoc->GetTitle();
            LVITEMA item = {};
            item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
            item.iItem = GetItemCount();
            item.iImage = pChild != nullptr ? pChild->get_wnd_template_id() : I_IMAGENONE;
            item.pszText = (LPSTR)(LPCTSTR)strTitle;
            item.lParam = (LPARAM)(pFrame != nullptr ? pFrame->m_hWnd : nullptr);
            int nItem = (int)::SendMessageA(hList, LVM_INSERTITEMA, 0, (LPARAM)&item);
            CString strKind = KindText(pChild != nullptr ? pChild->get_wnd_template_id() : -1);
            LVITEMA sub = {};
            sub.iSubItem = 1;
            sub.pszText = (LPSTR)(LPCTSTR)strKind;
            ::SendMessageA(hList, LVM_SETITEMTEXTA, nItem, (LPARAM)&sub);
            UpdateViewText(nItem);
        }
    }
    return TRUE;
}

void CMoreWndDlg::UpdateViewText(int nItem)
{
    HWND hFrame = GetItemFrame(nItem);
    CString strState = StateText(hFrame);
    // A window hidden from the project is listed as such.
    if (hFrame != nullptr && ::IsWindow(hFrame) && !(::GetWindowLongA(hFrame, GWL_STYLE) & WS_VISIBLE))
        strState = LoadText(IDS_VIEW_HIDDEN);
    LVITEMA sub = {};
    sub.iSubItem = 2;
    sub.pszText = (LPSTR)(LPCTSTR)strState;
    ::SendMessageA(ListWnd(), LVM_SETITEMTEXTA, nItem, (LPARAM)&sub);
}

namespace {

// For the walk of "Disable Close Prompt": every kind whose close box would ask (1) deletes
// without asking (2) instead, and each option gets back exactly its value at the end, also
// when the walk ends early. Kinds that hide without asking (0) keep doing so.
class CClosePromptsOff
{
public:
    CClosePromptsOff()
    {
        CQKQrxSystem& system = qkfxGetQrxSystem();
        QKSysMethodWks& wks = system.GetRefWks();
        QKSysMethodGraph& graph = system.GetRefGraph();
        QKSysMethodNotes& notes = system.GetRefNotes();
        m_options[0] = {wks.GetClosePrompt(), [&wks](int v) { wks.SetClosePrompt(v); }};
        m_options[1] = {wks.GetMatrixClosePrompt(), [&wks](int v) { wks.SetMatrixClosePrompt(v); }};
        m_options[2] = {wks.GetExcelClosePrompt(), [&wks](int v) { wks.SetExcelClosePrompt(v); }};
        m_options[3] = {graph.GetClosePrompt(), [&graph](int v) { graph.SetClosePrompt(v); }};
        m_options[4] = {graph.GetLayoutClosePrompt(), [&graph](int v) { graph.SetLayoutClosePrompt(v); }};
        m_options[5] = {notes.GetClosePrompt(), [&notes](int v) { notes.SetClosePrompt(v); }};
        for (const Option& o : m_options)
            if (o.nOld == 1)
                o.set(2);
    }
    ~CClosePromptsOff()
    {
        for (const Option& o : m_options)
            o.set(o.nOld);
    }

private:
    struct Option
    {
        int nOld;
        std::function<void(int)> set;
    };
    Option m_options[6];
};

} // namespace

void CMoreWndDlg::OnCloseWindows()
{
    ::SetFocus(ListWnd());
    std::unique_ptr<CClosePromptsOff> pPromptsOff;
    if (IsDlgButtonChecked(IDC_MW_NO_PROMPT))
        pPromptsOff.reset(new CClosePromptsOff);
    for (int nItem = 0; nItem < GetItemCount(); nItem++) {
        if (!(::SendMessageA(ListWnd(), LVM_GETITEMSTATE, nItem, LVIS_SELECTED) & LVIS_SELECTED))
            continue;
        HWND hFrame = GetItemFrame(nItem);
        CFrameWnd* pFrame = DYNAMIC_DOWNCAST(CFrameWnd, CWnd::FromHandlePermanent(hFrame));
        if (pFrame == nullptr)
            continue;
        pFrame->ActivateFrame(-1);
        ::SendMessageA(hFrame, WM_SYSCOMMAND, SC_CLOSE, 0);
        if (!::IsWindow(hFrame)) {
            ::SendMessageA(ListWnd(), LVM_DELETEITEM, nItem, 0);
            nItem--;
        } else {
            UpdateViewText(nItem);
        }
    }
}

void CMoreWndDlg::OnMinimizeRestore(BOOL bMinimize)
{
    CMainFrame* pMain = get_main_frame();
    CChildFrame* pActive = pMain != nullptr ? pMain->get_active_childframe(nullptr) : nullptr;
    for (int nItem = 0; nItem < GetItemCount(); nItem++) {
        if (!(::SendMessageA(ListWnd(), LVM_GETITEMSTATE, nItem, LVIS_SELECTED) & LVIS_SELECTED))
            continue;
        HWND hFrame = GetItemFrame(nItem);
        if (!::IsWindow(hFrame))
            continue;
        ::ShowWindow(hFrame, bMinimize ? SW_MINIMIZE : SW_RESTORE);
        UpdateViewText(nItem);
    }
    if (bMinimize && pActive != nullptr && ::IsWindow(pActive->m_hWnd))
        pActive->ActivateFrame(-1);
}

void CMoreWndDlg::OnActivate()
{
    int nItem = (int)::SendMessageA(ListWnd(), LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED);
    if (nItem < 0)
        return;
    CFrameWnd* pFrame = DYNAMIC_DOWNCAST(CFrameWnd, CWnd::FromHandlePermanent(GetItemFrame(nItem)));
    if (pFrame == nullptr)
        return;
    CMainFrame* pMain = get_main_frame();
    int bMaximized = FALSE;
    if (pMain != nullptr)
        pMain->get_active_childframe(&bMaximized);
    pFrame->ActivateFrame(pFrame->IsIconic() && !bMaximized ? SW_RESTORE : SW_SHOW);
    UpdateViewText(nItem);
}

void CMoreWndDlg::SortByColumn(int nColumn)
{
    // The rows are sorted by their texts, without regard to case, then the direction flips.
    int nCount = GetItemCount();
    struct Row { CString text[3]; HWND hFrame; UINT nState; };
    std::vector<Row> rows;
    for (int i = 0; i < nCount; i++) {
        Row row;
        for (int c = 0; c < 3; c++)
            row.text[c] = GetItemText(i, c);
        row.hFrame = GetItemFrame(i);
        row.nState = (UINT)::SendMessageA(ListWnd(), LVM_GETITEMSTATE, i, LVIS_SELECTED);
        rows.push_back(row);
    }
    bool bDescending = g_nSortDirection == 8;
    std::stable_sort(rows.begin(), rows.end(), [&](const Row& a, const Row& b) {
        int n = a.text[nColumn].CompareNoCase(b.text[nColumn]);
        return bDescending ? n > 0 : n < 0;
    });
    HWND hList = ListWnd();
    ::SendMessageA(hList, LVM_DELETEALLITEMS, 0, 0);
    for (int i = 0; i < nCount; i++) {
        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_STATE;
        item.iItem = i;
        item.pszText = (LPSTR)(LPCTSTR)rows[i].text[0];
        item.lParam = (LPARAM)rows[i].hFrame;
        item.stateMask = LVIS_SELECTED;
        item.state = rows[i].nState;
        ::SendMessageA(hList, LVM_INSERTITEMA, 0, (LPARAM)&item);
        for (int c = 1; c < 3; c++) {
            LVITEMA sub = {};
            sub.iSubItem = c;
            sub.pszText = (LPSTR)(LPCTSTR)rows[i].text[c];
            ::SendMessageA(hList, LVM_SETITEMTEXTA, i, (LPARAM)&sub);
        }
    }
    g_nSortDirection = bDescending ? 0 : 8;
}

BOOL CMoreWndDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(wParam) == BN_CLICKED) {
        switch (LOWORD(wParam)) {
        case IDC_MW_CLOSE:
            OnCloseWindows();
            return TRUE;
        case IDC_MW_MINIMIZE:
            OnMinimizeRestore(TRUE);
            return TRUE;
        case IDC_MW_RESTORE:
            OnMinimizeRestore(FALSE);
            return TRUE;
        case IDC_MW_ACTIVATE:
            OnActivate();
            return TRUE;
        case IDC_MW_DONE:
            EndDialog(IDC_MW_DONE);
            return TRUE;
        }
    }
    return CDialog::OnCommand(wParam, lParam);
}

BOOL CMoreWndDlg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    NMHDR* pHdr = (NMHDR*)lParam;
    if (pHdr->idFrom == IDC_MW_LIST) {
        switch (pHdr->code) {
        case LVN_COLUMNCLICK:
            SortByColumn(((NMLISTVIEW*)lParam)->iSubItem);
            *pResult = 0;
            return TRUE;
        case LVN_ITEMCHANGED:
            GetDlgItem(IDC_MW_ACTIVATE)->EnableWindow(GetSelectedCount() < 2);
            *pResult = 0;
            return TRUE;
        case NM_DBLCLK:
            if (GetSelectedCount() < 2)
                OnActivate();
            *pResult = 0;
            return TRUE;
        }
    }
    return CDialog::OnNotify(wParam, lParam, pResult);
}

void CMoreWndDlg::LayoutControls(int cx, int cy)
{
    // The buttons keep their size and height and stand 10 pixels inside the right edge;
    // the list fills the rest.
    int nButtonsLeft = cx;
    for (int nID = IDC_MW_CLOSE; nID <= IDC_MW_ACTIVATE; nID++) {
        CWnd* pButton = GetDlgItem(nID);
        if (pButton == nullptr)
            continue;
        CRect rect;
        pButton->GetWindowRect(&rect);
        ScreenToClient(&rect);
        pButton->SetWindowPos(nullptr, cx - 10 - rect.Width(), rect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        nButtonsLeft = std::min(nButtonsLeft, cx - 10 - rect.Width());
    }
    CRect rectList;
    ::GetWindowRect(ListWnd(), &rectList);
    ScreenToClient(&rectList);
    ::SetWindowPos(ListWnd(), nullptr, 0, 0, std::max(0, nButtonsLeft - 10 - (int)rectList.left),
                   std::max(0, cy - 10 - (int)rectList.top), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CMoreWndDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SIZE && ListWnd() != nullptr)
        LayoutControls(LOWORD(lParam), HIWORD(lParam));
    if (message == WM_HELPINFO) {
        QUShowContextHelp(m_hWnd, 1041);
        return TRUE;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}
