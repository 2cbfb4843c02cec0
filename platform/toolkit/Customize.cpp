// The customisation sheet and its page of toolbars.
#include "qxtoolkit.h"

#include "MouseTrack.h"

#include <commctrl.h>

#include <algorithm>

#include "ToolkitResource.h"

/////////////////////////////////////////////////////////////////////////////
// SECNewToolBarDlg

SECNewToolBarDlg::SECNewToolBarDlg(CWnd* pParent) : CDialog(IDD_SEC_NEW_TOOLBAR, pParent) {}

void SECNewToolBarDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Text(pDX, IDC_SEC_NEW_NAME, m_strName);
}

void SECNewToolBarDlg::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    m_strName.TrimLeft();
    m_strName.TrimRight();
    // A toolbar needs a name to be found by.
    if (m_strName.IsEmpty()) {
        ::SendMessage(m_hWnd, WM_NEXTDLGCTL, (WPARAM)::GetDlgItem(m_hWnd, IDC_SEC_NEW_NAME), 1);
        return;
    }
    EndDialog(IDOK);
}

/////////////////////////////////////////////////////////////////////////////
// SECToolBarsPage

IMPLEMENT_DYNAMIC(SECToolBarsPage, CPropertyPage)

SECToolBarsPage::SECToolBarsPage(UINT nIDTemplate, UINT nIDCaption)
    : CPropertyPage(nIDTemplate, nIDCaption), m_pManager(nullptr), m_bFilling(FALSE)
{
}

int SECToolBarsPage::GetItemCount() const
{
    return (int)::SendMessageA(ListWnd(), LVM_GETITEMCOUNT, 0, 0);
}

UINT SECToolBarsPage::GetItemBar(int nItem) const
{
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = nItem;
    if (!::SendMessageA(ListWnd(), LVM_GETITEMA, 0, (LPARAM)&item))
        return 0;
    return (UINT)item.lParam;
}

int SECToolBarsPage::FindItemOfBar(UINT nBarID) const
{
    for (int i = 0; i < GetItemCount(); i++)
        if (GetItemBar(i) == nBarID)
            return i;
    return -1;
}

BOOL SECToolBarsPage::GetItemCheck(int nItem) const
{
    UINT nState = (UINT)::SendMessageA(ListWnd(), LVM_GETITEMSTATE, nItem, LVIS_STATEIMAGEMASK);
    return (nState >> 12) == 2;
}

void SECToolBarsPage::SetItemCheck(int nItem, BOOL bCheck)
{
    LVITEMA item = {};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(bCheck ? 2 : 1);
    ::SendMessageA(ListWnd(), LVM_SETITEMSTATE, nItem, (LPARAM)&item);
}

CString SECToolBarsPage::GetItemText(int nItem) const
{
    char szText[256] = "";
    LVITEMA item = {};
    item.iSubItem = 0;
    item.pszText = szText;
    item.cchTextMax = sizeof szText;
    ::SendMessageA(ListWnd(), LVM_GETITEMTEXTA, nItem, (LPARAM)&item);
    return szText;
}

UINT SECToolBarsPage::GetSelectedBar() const
{
    int nItem = (int)::SendMessageA(ListWnd(), LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED);
    return nItem >= 0 ? GetItemBar(nItem) : 0;
}

void SECToolBarsPage::SelectItem(int nItem)
{
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageA(ListWnd(), LVM_SETITEMSTATE, nItem, (LPARAM)&item);
}

void SECToolBarsPage::FillList()
{
    HWND hList = ListWnd();
    m_bFilling = TRUE;
    ::SendMessageA(hList, LVM_DELETEALLITEMS, 0, 0);
    CFrameWnd* pFrame = m_pManager != nullptr ? m_pManager->GetFrameWnd() : nullptr;
    if (pFrame != nullptr) {
        POSITION pos = pFrame->m_listControlBars.GetHeadPosition();
        while (pos != nullptr) {
            CControlBar* pBar = (CControlBar*)pFrame->m_listControlBars.GetNext(pos);
            if (pBar->m_hWnd == nullptr || !pBar->IsKindOf(RUNTIME_CLASS(SECCustomToolBar)))
                continue;
            CString strText;
            pBar->GetWindowText(strText);
            LVITEMA item = {};
            item.mask = LVIF_TEXT | LVIF_PARAM;
            item.iItem = GetItemCount();
            item.pszText = (LPSTR)(LPCTSTR)strText;
            item.lParam = (LPARAM)pBar->GetDlgCtrlID();
            int nItem = (int)::SendMessageA(hList, LVM_INSERTITEMA, 0, (LPARAM)&item);
            SetItemCheck(nItem, pBar->IsVisible());
        }
    }
    m_bFilling = FALSE;
}

BOOL SECToolBarsPage::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    HWND hList = ListWnd();
    ::SendMessageA(hList, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES, LVS_EX_CHECKBOXES);
    RECT rect;
    ::GetClientRect(hList, &rect);
    LVCOLUMNA column = {};
    column.mask = LVCF_WIDTH;
    column.cx = rect.right - ::GetSystemMetrics(SM_CXVSCROLL);
    ::SendMessageA(hList, LVM_INSERTCOLUMNA, 0, (LPARAM)&column);
    FillList();
    if (m_pManager != nullptr) {
        CheckDlgButton(IDC_SEC_TOOLTIPS, m_pManager->m_bToolTips ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(IDC_SEC_FLAT, m_pManager->m_bCoolLook ? BST_CHECKED : BST_UNCHECKED);
    }
    return TRUE;
}

BOOL SECToolBarsPage::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    NMHDR* pHdr = (NMHDR*)lParam;
    if (pHdr->idFrom == IDC_SEC_TOOLBAR_LIST && pHdr->code == LVN_ITEMCHANGED && !m_bFilling) {
        NMLISTVIEW* pView = (NMLISTVIEW*)lParam;
        if ((pView->uChanged & LVIF_STATE) &&
            ((pView->uNewState ^ pView->uOldState) & LVIS_STATEIMAGEMASK) && (pView->uOldState & LVIS_STATEIMAGEMASK))
            OnCheckChange(pView->iItem);
        *pResult = 0;
        return TRUE;
    }
    return CPropertyPage::OnNotify(wParam, lParam, pResult);
}

void SECToolBarsPage::OnCheckChange(int nItem)
{
    CFrameWnd* pFrame = m_pManager != nullptr ? m_pManager->GetFrameWnd() : nullptr;
    CControlBar* pBar = pFrame != nullptr ? pFrame->GetControlBar(GetItemBar(nItem)) : nullptr;
    if (pBar == nullptr)
        return;
    pFrame->ShowControlBar(pBar, GetItemCheck(nItem), FALSE);
    pFrame->RecalcLayout();
}

void SECToolBarsPage::OnNewToolbar()
{
    SECNewToolBarDlg dlg(this);
    if (dlg.DoModal() != IDOK || m_pManager == nullptr)
        return;
    SECCustomToolBar* pBar = m_pManager->CreateUserToolBar(dlg.m_strName);
    if (pBar == nullptr)
        return;
    CFrameWnd* pFrame = m_pManager->GetFrameWnd();
    CRect rect;
    pFrame->GetClientRect(&rect);
    pFrame->ClientToScreen(&rect);
    if (pFrame->IsKindOf(RUNTIME_CLASS(SECMDIFrameWnd)))
        ((SECMDIFrameWnd*)pFrame)->FloatControlBarEx(pBar, CPoint(rect.left + 5, rect.top + 5), CBRS_ALIGN_TOP);
    else
        pFrame->FloatControlBar(pBar, CPoint(rect.left + 5, rect.top + 5), CBRS_ALIGN_TOP);
    FillList();
}

void SECToolBarsPage::OnResetToolbar()
{
    UINT nID = GetSelectedBar();
    SECDefaultToolBar* pDef = m_pManager != nullptr ? m_pManager->GetDefaultToolBar(nID) : nullptr;
    if (pDef == nullptr)
        return;
    SECCustomToolBar* pBar = DYNAMIC_DOWNCAST(SECCustomToolBar, m_pManager->GetFrameWnd()->GetControlBar(nID));
    if (pBar == nullptr)
        return;
    CArray<UINT, UINT> ids;
    for (INT_PTR i = 0; i < pDef->m_arrButtons.GetSize(); i++)
        ids.Add(pDef->m_arrButtons[i]);
    pBar->SetButtons(ids.GetData(), (int)ids.GetSize());
    m_pManager->GetFrameWnd()->RecalcLayout();
    pBar->Invalidate();
}

BOOL SECToolBarsPage::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(wParam) == BN_CLICKED) {
        switch (LOWORD(wParam)) {
        case IDC_SEC_NEW:
            OnNewToolbar();
            return TRUE;
        case IDC_SEC_RESET:
            OnResetToolbar();
            return TRUE;
        case IDC_SEC_REINITIALIZE:
            OnReinitialize();
            return TRUE;
        case IDC_SEC_TOOLTIPS:
            if (m_pManager != nullptr)
                m_pManager->m_bToolTips = IsDlgButtonChecked(IDC_SEC_TOOLTIPS) == BST_CHECKED;
            return TRUE;
        case IDC_SEC_FLAT:
            if (m_pManager != nullptr)
                m_pManager->m_bCoolLook = IsDlgButtonChecked(IDC_SEC_FLAT) == BST_CHECKED;
            return TRUE;
        }
    }
    return CPropertyPage::OnCommand(wParam, lParam);
}

/////////////////////////////////////////////////////////////////////////////
// SECToolBarSheet

IMPLEMENT_DYNAMIC(SECToolBarSheet, CPropertySheet)

SECToolBarSheet::SECToolBarSheet(UINT nIDCaption, CWnd* pParentWnd, UINT iSelectPage)
    : CPropertySheet(nIDCaption, pParentWnd, iSelectPage)
{
}

SECToolBarSheet::SECToolBarSheet(LPCTSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage)
    : CPropertySheet(pszCaption, pParentWnd, iSelectPage)
{
}

/////////////////////////////////////////////////////////////////////////////
// SECCustomizeToolBar

IMPLEMENT_DYNCREATE(SECCustomizeToolBar, SECCustomToolBar)

SECCustomizeToolBar::SECCustomizeToolBar() : m_nSelected(-1) {}

void SECCustomizeToolBar::SetSelectedButton(int nIndex)
{
    m_nSelected = nIndex >= 0 && nIndex < GetBtnCount() ? nIndex : -1;
    for (int i = 0; i < GetBtnCount(); i++) {
        SECStdBtn* pBtn = GetBtn(i);
        if (pBtn != nullptr)
            ::SendMessageA(m_hWnd, TB_CHECKBUTTON, pBtn->m_nID, MAKELONG(i == m_nSelected, 0));
    }
}

UINT SECCustomizeToolBar::GetSelectedCommand() const
{
    SECStdBtn* pBtn = m_nSelected >= 0 ? GetBtn(m_nSelected) : nullptr;
    return pBtn != nullptr ? pBtn->m_nID : 0;
}

void SECCustomizeToolBar::DragButton(UINT nID, CPoint ptStart)
{
    if (::GetKeyState(VK_LBUTTON) >= 0)
        return;   // a press sent by a program, with no button held to follow
    BOOL bDragging = FALSE;
    CPoint pt = ptStart;
    BOOL bUp = SECTrackMouse(m_hWnd, &pt, [&](POINT ptMove) {
        if (abs(ptMove.x - ptStart.x) >= ::GetSystemMetrics(SM_CXDRAG) ||
            abs(ptMove.y - ptStart.y) >= ::GetSystemMetrics(SM_CYDRAG)) {
            if (!bDragging)
                ::SetCursor(::LoadCursor(nullptr, IDC_UPARROW));
            bDragging = TRUE;
        }
    });
    BOOL bDrop = bUp && bDragging;
    if (!bDrop)
        return;
    // The toolbar under the pointer takes the button before the button it was let go on,
    // or at its end.
    // The frame is disabled while the customise sheet is open, so the pointer finds no
    // window in it: its toolbars are looked up by their places instead.
    CFrameWnd* pMain = m_pManager != nullptr ? m_pManager->GetFrameWnd() : nullptr;
    if (pMain == nullptr || ::WindowFromPoint(pt) == nullptr)
        return;
    SECCustomToolBar* pTarget = nullptr;
    POSITION pos = pMain->m_listControlBars.GetHeadPosition();
    while (pos != nullptr && pTarget == nullptr) {
        CControlBar* pBar = (CControlBar*)pMain->m_listControlBars.GetNext(pos);
        CRect rect;
        if (pBar->m_hWnd == nullptr || !pBar->IsKindOf(RUNTIME_CLASS(SECCustomToolBar)) ||
            pBar->IsKindOf(RUNTIME_CLASS(SECCustomizeToolBar)) || !::IsWindowVisible(pBar->m_hWnd))
            continue;
        pBar->GetWindowRect(&rect);
        // Not where the sheet itself lies over the toolbar.
        CRect rectSheet;
        ::GetWindowRect(::GetAncestor(m_hWnd, GA_ROOT), &rectSheet);
        if (rect.PtInRect(pt) && !rectSheet.PtInRect(pt))
            pTarget = (SECCustomToolBar*)pBar;
    }
    if (pTarget == nullptr)
        return;
    CPoint ptTarget = pt;
    pTarget->ScreenToClient(&ptTarget);
    pTarget->InsertButton(pTarget->BtnHitTest(ptTarget), nID, FALSE);
    // The toolbar is longer now: its frame (the main one or a floating one) places it again.
    CFrameWnd* pFrame = pTarget->GetParentFrame();
    if (pFrame != nullptr)
        pFrame->RecalcLayout();
    if (pTarget->m_pDockSite != nullptr && pTarget->m_pDockSite != pFrame)
        pTarget->m_pDockSite->RecalcLayout();
}

LRESULT SECCustomizeToolBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_LBUTTONDOWN: {
        // The button is chosen, not pressed: its command does not run here.
        CPoint pt((short)LOWORD(lParam), (short)HIWORD(lParam));
        int nIndex = BtnHitTest(pt);
        SetSelectedButton(nIndex >= 0 && GetBtn(nIndex) != nullptr ? nIndex : -1);
        CWnd* pParent = GetParent();
        if (pParent != nullptr)
            pParent->SendMessage(SECGetBarNotifyMessage(), (WPARAM)GetDlgCtrlID(), 4);
        if (m_nSelected >= 0) {
            ClientToScreen(&pt);
            DragButton(GetBtn(m_nSelected)->m_nID, pt);
        }
        return 0;
    }
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
        return 0;
    }
    return SECCustomToolBar::WindowProc(message, wParam, lParam);
}

/////////////////////////////////////////////////////////////////////////////
// SECBtnGroup

SECBtnGroup::SECBtnGroup(LPCTSTR lpszName, int nCount, const UINT* pIds) : m_strName(lpszName), m_pBar(nullptr)
{
    for (int i = 0; i < nCount; i++)
        m_ids.Add(pIds[i]);
}

SECBtnGroup::~SECBtnGroup()
{
    // The page's window may have taken the bar's window along already; the object is the
    // group's either way.
    if (m_pBar != nullptr && ::IsWindow(m_pBar->m_hWnd))
        m_pBar->DestroyWindow();
    delete m_pBar;
}

SECCustomizeToolBar* SECBtnGroup::NewBar()
{
    return new SECCustomizeToolBar;
}

BOOL SECBtnGroup::CreateBar(CWnd* pPage, SECToolBarManager* pManager, UINT nID)
{
    m_pBar = NewBar();
    m_pBar->m_bAutoDelete = FALSE;
    m_pBar->SetManager(pManager);
    if (!m_pBar->CreateEx(pPage, m_strName, WS_CHILD | CBRS_ALIGN_TOP | CBRS_TOOLTIPS, 0, nID)) {
        delete m_pBar;
        m_pBar = nullptr;
        return FALSE;
    }
    CArray<UINT, UINT> ids;
    for (INT_PTR i = 0; i < m_ids.GetSize(); i++)
        ids.Add(m_ids[i]);
    m_pBar->SetButtons(ids.GetData(), (int)ids.GetSize());
    return TRUE;
}

void SECBtnGroup::PlaceBar(const CRect& rect)
{
    if (m_pBar == nullptr)
        return;
    // The buttons wrap to the box's width.
    CSize size = m_pBar->CalcFixedLayout(FALSE, TRUE);
    ::SetWindowPos(m_pBar->m_hWnd, HWND_TOP, rect.left, rect.top, std::min((int)rect.Width(), (int)size.cx),
                         std::min((int)rect.Height(), (int)size.cy), SWP_NOACTIVATE);
}

void SECBtnGroup::Activate(BOOL bActive)
{
    if (m_pBar != nullptr)
        m_pBar->ShowWindow(bActive ? SW_SHOWNA : SW_HIDE);
}

/////////////////////////////////////////////////////////////////////////////
// SECToolBarCmdPage

IMPLEMENT_DYNAMIC(SECToolBarCmdPage, CPropertyPage)

SECToolBarCmdPage::SECToolBarCmdPage(UINT nIDTemplate, UINT nIDCaption)
    : CPropertyPage(nIDTemplate, nIDCaption), m_pManager(nullptr), m_nShownGroup(-1)
{
}

SECToolBarCmdPage::~SECToolBarCmdPage()
{
    for (INT_PTR i = 0; i < m_groups.GetSize(); i++)
        delete (SECBtnGroup*)m_groups[i];
}

void SECToolBarCmdPage::RemoveGroup(int i)
{
    if (i < 0 || i >= GetGroupCount())
        return;
    delete GetGroup(i);
    m_groups.RemoveAt(i);
    if (m_nShownGroup == i)
        m_nShownGroup = -1;
    else if (m_nShownGroup > i)
        m_nShownGroup--;
}

CRect SECToolBarCmdPage::GetBarRect()
{
    CRect rect(0, 0, 0, 0);
    CWnd* pBox = GetDlgItem(43093);
    if (pBox != nullptr) {
        pBox->GetWindowRect(&rect);
        ScreenToClient(&rect);
        rect.DeflateRect(6, 8 + 6, 6, 6);
    }
    return rect;
}

BOOL SECToolBarCmdPage::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    CRect rect = GetBarRect();
    CWnd* pList = GetDlgItem(43094);
    for (int i = 0; i < GetGroupCount(); i++) {
        SECBtnGroup* pGroup = GetGroup(i);
        if (!pGroup->CreateBar(this, m_pManager, 59568 - i))
            continue;
        pGroup->PlaceBar(rect);
        pGroup->Activate(FALSE);
        pList->SendMessage(LB_ADDSTRING, 0, (LPARAM)(LPCTSTR)pGroup->m_strName);
    }
    if (GetGroupCount() > 0) {
        pList->SendMessage(LB_SETCURSEL, 0);
        OnSelChange();
    }
    return TRUE;
}

void SECToolBarCmdPage::ShowSelectedToolbar(int nIndex)
{
    if (m_nShownGroup >= 0 && m_nShownGroup < GetGroupCount())
        GetGroup(m_nShownGroup)->Activate(FALSE);
    m_nShownGroup = -1;
    for (int i = 0; i < GetGroupCount(); i++)
        if (i != nIndex)
            GetGroup(i)->Activate(FALSE);
    if (nIndex >= 0 && nIndex < GetGroupCount()) {
        GetGroup(nIndex)->Activate(TRUE);
        m_nShownGroup = nIndex;
    }
}

void SECToolBarCmdPage::OnSelChange()
{
    int nSel = (int)GetDlgItem(43094)->SendMessage(LB_GETCURSEL);
    ShowSelectedToolbar(nSel);
    SetDlgItemText(43095, "");
}

void SECToolBarCmdPage::ShowCommandDescription(UINT nID)
{
    CString strText;
    if (nID != 0 && nID != (UINT)-1 && strText.LoadString(nID)) {
        int nNewline = strText.Find('\n');
        if (nNewline >= 0)
            strText = strText.Left(nNewline);
    } else {
        strText.Empty();
    }
    SetDlgItemText(43095, strText);
}

LRESULT SECToolBarCmdPage::OnBarNotify(WPARAM, LPARAM lParam)
{
    if (lParam != 4 || m_nShownGroup < 0 || m_pManager == nullptr)
        return 0;
    SECCustomizeToolBar* pBar = GetGroup(m_nShownGroup)->m_pBar;
    int nIndex = pBar != nullptr ? pBar->GetSelectedButton() : -1;
    ShowCommandDescription(nIndex >= 0 ? pBar->GetSelectedCommand() : (UINT)-1);
    return 0;
}

BOOL SECToolBarCmdPage::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == 43094 && HIWORD(wParam) == LBN_SELCHANGE) {
        OnSelChange();
        return TRUE;
    }
    return CPropertyPage::OnCommand(wParam, lParam);
}

LRESULT SECToolBarCmdPage::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == SECGetBarNotifyMessage())
        return OnBarNotify(wParam, lParam);
    return CPropertyPage::WindowProc(message, wParam, lParam);
}
