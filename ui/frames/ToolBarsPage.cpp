#include "ToolBarsPage.h"

#include <QKAccess.h>

#include "FrameHost.h"
#include "FramesResource.h"
#include "MainFrame.h"
#include "UserDefButtons.h"

IMPLEMENT_DYNCREATE(SECToolBarsPageEx, SECToolBarsPage)

SECToolBarsPageEx::SECToolBarsPageEx() : SECToolBarsPage(20513), m_bRechecking(FALSE) {}

void SECToolBarsPageEx::AddStateEntry(UINT nID, BOOL bEnabled, BOOL bChecked)
{
    m_entries.Add({nID, bEnabled, bChecked});
}

BOOL SECToolBarsPageEx::IsItemEnabled(int nItem) const
{
    return nItem >= 0 && nItem < m_itemEnabled.GetSize() ? m_itemEnabled[nItem] : TRUE;
}

CString SECToolBarsPageEx::DefaultArrangementFile()
{
    // The default arrangement comes with the program.
    return QUFolderOfKind(1) + "qtb61.ini";
}

BOOL SECToolBarsPageEx::OnInitDialog()
{
    SECToolBarsPage::OnInitDialog();
    if (m_pManager != nullptr && !m_pManager->HasLargeToolBar())
        GetDlgItem(IDC_SEC_LARGE_BUTTONS)->ShowWindow(SW_HIDE);
    m_itemEnabled.SetSize(GetItemCount());
    for (INT_PTR i = 0; i < m_itemEnabled.GetSize(); i++)
        m_itemEnabled[i] = TRUE;
    for (INT_PTR i = 0; i < m_entries.GetSize(); i++) {
        int nItem = FindItemOfBar(m_entries[i].nID);
        if (nItem < 0)
            continue;
        if (!m_entries[i].bEnabled) {
            m_bFilling = TRUE;
            SetItemCheck(nItem, m_entries[i].bChecked);
            m_bFilling = FALSE;
        }
        m_itemEnabled[nItem] = m_entries[i].bEnabled;
    }
    SECToolBarSheetEx* pSheet = DYNAMIC_DOWNCAST(SECToolBarSheetEx, GetParent());
    if (pSheet != nullptr)
        pSheet->ArrangeButtons();
    return TRUE;
}

void SECToolBarsPageEx::OnCheckChange(int nItem)
{
    if (m_bRechecking)
        return;
    UINT nID = GetItemBar(nItem);
    // The menu bar stays, and so does a toolbar whose entry is not enabled.
    if (nID == ID_MENU_BAR || !IsItemEnabled(nItem)) {
        m_bRechecking = TRUE;
        SetItemCheck(nItem, nID == ID_MENU_BAR ? TRUE : !GetItemCheck(nItem));
        m_bRechecking = FALSE;
        return;
    }
    CMainFrame* pFrame = DYNAMIC_DOWNCAST(CMainFrame, m_pManager != nullptr ? m_pManager->GetFrameWnd() : nullptr);
    CControlBar* pBar = pFrame != nullptr ? pFrame->GetControlBar(nID) : nullptr;
    if (pBar == nullptr)
        return;
    pFrame->ShowControlBar(pBar, GetItemCheck(nItem), FALSE);
    pFrame->RecalcLayout();
    CRect rectBar, rectFrame;
    pBar->GetWindowRect(&rectBar);
    pFrame->GetWindowRect(&rectFrame);
    if (GetItemCheck(nItem) && rectBar.left > rectFrame.right) {
        CRect rectSheet;
        GetParent()->GetWindowRect(&rectSheet);
        pFrame->FloatControlBarEx(pBar, CPoint(rectSheet.right, rectSheet.top), CBRS_ALIGN_TOP);
    }
}

void SECToolBarsPageEx::OnNewToolbar()
{
    SECNewToolBarDlg dlg(this);
    if (dlg.DoModal() != IDOK || m_pManager == nullptr)
        return;
    SECCustomToolBar* pBar = m_pManager->CreateUserToolBar(dlg.m_strName);
    CMainFrame* pFrame = DYNAMIC_DOWNCAST(CMainFrame, m_pManager->GetFrameWnd());
    if (pBar == nullptr || pFrame == nullptr)
        return;
    CRect rectClient;
    pFrame->GetClientRect(&rectClient);
    pFrame->ClientToScreen(&rectClient);
    int y = rectClient.top;
    CControlBar* pTop = pFrame->GetControlBar(AFX_IDW_DOCKBAR_TOP);
    if (pTop != nullptr) {
        CRect rectTop;
        pTop->GetWindowRect(&rectTop);
        y = rectTop.bottom;
    }
    pFrame->FloatControlBarEx(pBar, CPoint(rectClient.left + 5, y + 5), CBRS_ALIGN_TOP);
    FillList();
    m_itemEnabled.SetSize(GetItemCount());
    m_itemEnabled[GetItemCount() - 1] = TRUE;
}

void SECToolBarsPageEx::OnResetToolbar()
{
    UINT nID = GetSelectedBar();
    if (nID > 59423) {
        // A toolbar the user made goes.
        CControlBar* pBar = m_pManager->GetFrameWnd()->GetControlBar(nID);
        if (pBar != nullptr)
            pBar->DestroyWindow();
        FillList();
        m_itemEnabled.SetSize(GetItemCount());
        return;
    }
    SECToolBarsPage::OnResetToolbar();
}

void SECToolBarsPageEx::OnReinitialize()
{
    CString strText, strCaption;
    strText.LoadString(IDS_REINIT_QUESTION);
    strCaption.LoadString(IDS_REINIT_CAPTION);
    if (::MessageBoxA(m_hWnd, strText, strCaption, MB_YESNO | MB_ICONEXCLAMATION) == IDNO)
        return;
    CQUFrameHost* pHost = QUGetFrameHost();
    CMainFrame* pFrame = get_main_frame();
    pHost->BeginRegistryAccess(DefaultArrangementFile(), TRUE, FALSE);
    BOOL bPresent = pFrame != nullptr && pFrame->TlbarsArrangementFilePresent();
    pHost->EndRegistryAccess();
    if (bPresent) {
        CString strKey;
        pHost->GetToolbarRegKeyStringLong(strKey);
        qkuDeleteRegKey(HKEY_CURRENT_USER, strKey);
        strText.LoadString(IDS_REINIT_RESTART);
        ::MessageBoxA(m_hWnd, strText, AfxGetAppName(), MB_OK | MB_ICONEXCLAMATION);
        // The arrangement on screen is not saved at exit, so the default one comes back.
        pFrame->SetSaveTbarsRegistry(0);
    } else {
        strText.LoadString(IDS_REINIT_NO_FILE);
        ::MessageBoxA(m_hWnd, strText, AfxGetAppName(), MB_OK | MB_ICONEXCLAMATION);
    }
}

IMPLEMENT_DYNAMIC(SECToolBarSheetEx, SECToolBarSheet)

SECToolBarSheetEx::SECToolBarSheetEx(UINT nIDCaption, CWnd* pParentWnd) : SECToolBarSheet(nIDCaption, pParentWnd) {}

void SECToolBarSheetEx::ArrangeButtons()
{
    for (int nID : {0x3021 /* ID_APPLY_NOW */, (int)IDHELP, (int)IDCANCEL}) {
        CWnd* pButton = GetDlgItem(nID);
        if (pButton != nullptr)
            pButton->ShowWindow(SW_HIDE);
    }
    CWnd* pOK = GetDlgItem(IDOK);
    if (pOK == nullptr)
        return;
    CString strClose;
    strClose.LoadString(IDS_CLOSE);
    pOK->SetWindowText(strClose);
    CRect rectOK, rectSheet;
    pOK->GetWindowRect(&rectOK);
    GetWindowRect(&rectSheet);
    ScreenToClient(&rectOK);
    CRect rectClient;
    GetClientRect(&rectClient);
    int nRight = rectClient.right - 10;
    pOK->SetWindowPos(nullptr, nRight - rectOK.Width(), rectOK.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
