#include "ChildFrame.h"

#include <QKData.h>
#include <QKSysMethod.h>

#include <vector>

#include "CustomToolBar.h"
#include "FramesResource.h"
#include "MainFrame.h"
#include "OutputLog.h"

IMPLEMENT_DYNCREATE(CChildFrame, CSpawnMDIChildWnd)

CChildFrame::CChildFrame() : m_nLastSizeType(0), m_nLoadingShowCmd(-1) {}

IQUPageView* CChildFrame::get_page_view()
{
    return dynamic_cast<IQUPageView*>(GetActiveView());
}

CQKPage* CChildFrame::GetPage()
{
    IQUPageView* pView = get_page_view();
    return pView != nullptr ? pView->GetPage() : nullptr;
}

int CChildFrame::get_wnd_template_id()
{
    IQUPageView* pView = get_page_view();
    return pView != nullptr ? pView->GetWndTemplateId() : -1;
}

WORD CChildFrame::get_wnd_template_bits()
{
    return child_id_to_child_bits(get_wnd_template_id());
}

int CChildFrame::GetClosePromptSetting()
{
    // The option of the window's kind: 0 hide without asking, 1 ask, 2 delete without
    // asking.
    CQKQrxSystem& system = qkfxGetQrxSystem();
    switch (get_wnd_template_id()) {
    case 0: return system.GetRefWks().GetClosePrompt();
    case 1: return system.GetRefGraph().GetClosePrompt();
    case 2: return system.GetRefWks().GetMatrixClosePrompt();
    case 3: return system.GetRefWks().GetExcelClosePrompt();
    case 4: return system.GetRefGraph().GetLayoutClosePrompt();
    case 5: return system.GetRefNotes().GetClosePrompt();
    default: return 2;
    }
}

BOOL CChildFrame::PreCreateWindow(CREATESTRUCT& cs)
{
    // The kernel places windows it knows a place for; a place whose caption the MDI
    // client would not show gives way to the one asked for.
    int x = cs.x, y = cs.y;
    if (qkfxGetProject().GetWinCreateInfo(cs) && !(cs.style & WS_MINIMIZE)) {
        CMainFrame* pFrame = get_main_frame();
        if (pFrame != nullptr && pFrame->m_hWndMDIClient != nullptr) {
            CRect rectClient, rectCaption(cs.x, cs.y, cs.x + cs.cx, cs.y + ::GetSystemMetrics(SM_CYCAPTION));
            ::GetClientRect(pFrame->m_hWndMDIClient, &rectClient);
            CRect rectShown;
            if (!rectShown.IntersectRect(&rectCaption, &rectClient)) {
                cs.x = x;
                cs.y = y;
            }
        }
    }
    return CSpawnMDIChildWnd::PreCreateWindow(cs);
}

BOOL CChildFrame::VirtualNcRButtonDown(UINT nHitTest, CPoint point)
{
    return nHitTest == HTCAPTION && TrackCaptionMenu(IDM_WINDOW_TITLE, point);
}

BOOL CChildFrame::TrackCaptionMenu(UINT nMenuID, CPoint point)
{
    HINSTANCE hModule = AfxFindResourceHandle(MAKEINTRESOURCE(nMenuID), RT_MENU);
    HMENU hMenu = hModule != nullptr ? ::LoadMenuA(hModule, MAKEINTRESOURCEA(nMenuID)) : nullptr;
    if (hMenu == nullptr)
        return FALSE;
    CWnd* pMain = AfxGetMainWnd();
    ::TrackPopupMenu(::GetSubMenu(hMenu, 0), TPM_RIGHTBUTTON, point.x, point.y, 0,
                     pMain != nullptr ? pMain->m_hWnd : m_hWnd, nullptr);
    ::DestroyMenu(hMenu);
    return TRUE;
}

BOOL CChildFrame::ActivateNextInProject(BOOL bPrevious)
{
    // The windows in the order of their pages in the project, not the MDI z-order; hidden
    // windows are passed over.
    CQKProject& project = qkfxGetProject();
    std::vector<HWND> windows;
    int nThis = -1;
    for (int i = 0; i < project.GetNumPages(); i++) {
        HWND hWnd = project.GetPage(i)->GetFrameWnd();
        if (hWnd == m_hWnd)
            nThis = (int)windows.size();
        if (hWnd != nullptr && (hWnd == m_hWnd || (::GetWindowLongA(hWnd, GWL_STYLE) & WS_VISIBLE)))
            windows.push_back(hWnd);
    }
    if (nThis < 0 || windows.size() < 2)
        return FALSE;
    int n = (int)windows.size();
    HWND hNext = windows[(nThis + (bPrevious ? n - 1 : 1)) % n];
    ::SendMessage(::GetParent(m_hWnd), WM_MDIACTIVATE, (WPARAM)hNext, 0);
    return TRUE;
}

BOOL CChildFrame::IsActiveMDIChild()
{
    CMainFrame* pFrame = get_main_frame();
    return pFrame != nullptr && pFrame->get_active_childframe(nullptr) == this;
}

BOOL CChildFrame::Minimize()
{
    CMainFrame* pFrame = get_main_frame();
    CChildFrame* pActive = pFrame != nullptr ? pFrame->get_active_childframe(nullptr) : nullptr;
    ShowWindow(SW_MINIMIZE);
    if (pActive != nullptr && ::IsWindow(pActive->m_hWnd))
        pActive->ActivateFrame(-1);
    return TRUE;
}

BOOL CChildFrame::Maximize()
{
    ShowWindow(SW_MAXIMIZE);
    return TRUE;
}

BOOL CChildFrame::Restore()
{
    ShowWindow(SW_RESTORE);
    return TRUE;
}

BOOL CChildFrame::Activate()
{
    CMainFrame* pFrame = get_main_frame();
    int bMaximized = FALSE;
    if (pFrame != nullptr)
        pFrame->get_active_childframe(&bMaximized);
    ActivateFrame(IsIconic() && !bMaximized ? SW_RESTORE : SW_SHOW);
    return TRUE;
}

BOOL CChildFrame::IsWindowStatusChanged(UINT nSizeType)
{
    if (nSizeType == SIZE_MAXSHOW || nSizeType == SIZE_MAXHIDE || nSizeType == m_nLastSizeType)
        return FALSE;
    m_nLastSizeType = nSizeType;
    return TRUE;
}

BOOL CChildFrame::OnGeneralToolsUpdate(CCmdUI* pCmdUI)
{
    UINT nID = pCmdUI->m_nID;
    pCmdUI->Enable(nID == 33047 || nID == 33053 || nID == 34048 || nID == 34049);
    return TRUE;
}

BOOL CChildFrame::OnBeforeActivateDeactivate(BOOL bActivate, CWnd*, CWnd*)
{
    CMainFrame* pFrame = get_main_frame();
    if (pFrame == nullptr || pFrame->GetSpacer()->m_hWnd == nullptr)
        return TRUE;
    CQUSpacer* pSpacer = pFrame->GetSpacer();
    if (bActivate) {
        pSpacer->SetAddedAdjustment(0);
    } else {
        pSpacer->RaiseBaseSize(pFrame->GetMDIClientVertOffset());
        pFrame->ShowControlBar(pSpacer, TRUE, TRUE);
    }
    return TRUE;
}

void CChildFrame::OnCloseBox()
{
    int nSetting = GetClosePromptSetting();
    int nAnswer = IDCLOSE; // 2, and any value the options do not offer
    if (nSetting == 0) {
        nAnswer = IDOK;
    } else if (nSetting == 1) {
        CQUWndClosePrompt prompt(this);
        prompt.m_strCaption.LoadString(IDS_ATTENTION);
        CString strFormat;
        strFormat.LoadString(IDS_HIDE_OR_DELETE);
        CQKPage* pPage = GetPage();
        CString strName;
        if (pPage != nullptr)
            strName = pPage->GetName().c_str();
        else
            GetWindowText(strName);
        prompt.m_strMessage.Format(strFormat, (LPCTSTR)strName);
        nAnswer = (int)prompt.DoModal();
    }
    if (nAnswer == IDOK) {
        // Hidden, not deleted: the window stays in the project.
        ShowWindow(SW_HIDE);
        if (CQKPage* pPage = GetPage())
            pPage->SetHiddenPEWnd(1);
        CMainFrame* pFrame = get_main_frame();
        if (pFrame != nullptr)
            ::SendMessage(pFrame->m_hWndMDIClient, WM_MDINEXT, 0, 0);
    } else if (nAnswer == IDC_CLOSE_PROMPT_DELETE || nAnswer == IDCLOSE) {
        CSpawnMDIChildWnd::WindowProc(WM_SYSCOMMAND, SC_CLOSE, 0);
    }
}

void CChildFrame::OnMDIActivateFrame(BOOL bActivate, HWND hActivated, HWND hDeactivated)
{
    CMainFrame* pFrame = get_main_frame();
    if (pFrame != nullptr) {
        pFrame->CheckShowProjectExplorer();
        pFrame->GetDataDisplay()->OnFirstActivate();
        pFrame->ShowOutputLog();
        if (pFrame->UsingSpacering())
            OnBeforeActivateDeactivate(bActivate, CWnd::FromHandle(hActivated), CWnd::FromHandle(hDeactivated));
        else if (pFrame->GetSpacer()->m_hWnd != nullptr)
            pFrame->GetSpacer()->SetBaseSize(0);
    }
    // The pages are told of the switch: the activated one with the page before it.
    CChildFrame* pOther = DYNAMIC_DOWNCAST(CChildFrame, CWnd::FromHandlePermanent(bActivate ? hDeactivated : hActivated));
    CQKPage* pOtherPage = pOther != nullptr ? pOther->GetPage() : nullptr;
    CQKPage* pPage = GetPage();
    if (pPage != nullptr) {
        if (bActivate)
            pPage->OnActivate(pOtherPage);
        else
            pPage->OnDeactivate(pOtherPage);
    }
    if (pFrame != nullptr) {
        // The toolbars follow the window that is active now, or no window at all.
        if (bActivate)
            pFrame->ShowToolBarsOfChildFrame(this);
        else if (hActivated == nullptr)
            pFrame->ShowToolBarsOfChildFrame(nullptr);
    }
}

LRESULT CChildFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) {
            OnCloseBox();
            return 0;
        }
        if (((wParam & 0xFFF0) == SC_NEXTWINDOW || (wParam & 0xFFF0) == SC_PREVWINDOW) &&
            ActivateNextInProject((wParam & 0xFFF0) == SC_PREVWINDOW))
            return 0;
        break;
    case WM_SIZE: {
        LRESULT lResult = CSpawnMDIChildWnd::WindowProc(message, wParam, lParam);
        IsWindowStatusChanged((UINT)wParam);
        return lResult;
    }
    case WM_USER + 9:
        m_nIdleFlags |= idleNotify | idleLayout;
        return 0;
    case WM_NCRBUTTONDOWN:
        if (VirtualNcRButtonDown((UINT)wParam, CPoint((short)LOWORD(lParam), (short)HIWORD(lParam))))
            return 0;
        break;
    case WM_MDIACTIVATE: {
        LRESULT lResult = CSpawnMDIChildWnd::WindowProc(message, wParam, lParam);
        OnMDIActivateFrame((HWND)lParam == m_hWnd, (HWND)lParam, (HWND)wParam);
        return lResult;
    }
    }
    return CSpawnMDIChildWnd::WindowProc(message, wParam, lParam);
}

/////////////////////////////////////////////////////////////////////////////
// CQUWndClosePrompt

CQUWndClosePrompt::CQUWndClosePrompt(CWnd* pParent) : CDialog(IDD_WND_CLOSE_PROMPT, pParent) {}

BOOL CQUWndClosePrompt::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (!m_strCaption.IsEmpty())
        SetWindowText(m_strCaption);
    if (!m_strMessage.IsEmpty())
        SetDlgItemText(IDC_CLOSE_PROMPT_TEXT, m_strMessage);
    return TRUE;
}

BOOL CQUWndClosePrompt::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == IDC_CLOSE_PROMPT_DELETE && HIWORD(wParam) == BN_CLICKED) {
        EndDialog(IDC_CLOSE_PROMPT_DELETE);
        return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
}
