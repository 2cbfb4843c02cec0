#include "ProjectExplorer.h"

#include <QKAccess.h>
#include <QKData.h>

#include <algorithm>

#include "FramesResource.h"
#include "MainFrame.h"

namespace {

CString LoadText(UINT nID)
{
    char sz[512] = "";
    ::LoadStringA(QUFramesResourceModule(), nID, sz, sizeof sz);
    return sz;
}

// The explorer's menus name new windows by their own ids; the main window's commands
// make them.
UINT MainCommandFor(UINT nID)
{
    static const UINT kNewWindows[] = {34006, 34007, 34008, 34024, 34025, 34009, 34010};
    if (nID >= QK_PE_TREE_NEW_WKS && nID <= QK_PE_TREE_NEW_WKS + 6)
        return kNewWindows[nID - QK_PE_TREE_NEW_WKS];
    if (nID >= QK_PE_LIST_NEW_WKS && nID <= QK_PE_LIST_NEW_WKS + 6)
        return kNewWindows[nID - QK_PE_LIST_NEW_WKS];
    if (nID == QK_PE_LIST_SAVE_AS)
        return 34012;
    return 0;
}

const char kStateSection[] = "SpecBar597";
const int kSplitterWidth = 6;

// Asks, in the deletion dialog: 1 yes, 1122 yes to all, 1123 no, 2 cancel.
int AskDelete(const CString& strQuestion, BOOL bTwoButtons)
{
    CQUConfirmDeleteDlg dlg(strQuestion, bTwoButtons, AfxGetMainWnd());
    return (int)dlg.DoModal();
}

CString TimeText(double dSeconds)
{
    if (dSeconds <= 0)
        return CString();
    time_t t = (time_t)dSeconds;
    struct tm* local = localtime(&t);
    char text[64] = "";
    if (local != nullptr)
        strftime(text, sizeof text, "%m/%d/%Y %H:%M:%S", local);
    return text;
}

} // namespace

BOOL QUContainedText(int nWindows, int nFolders, CString& strText)
{
    CString strWindows = LoadText(IDS_PE_WINDOWS), strFolders = LoadText(IDS_PE_FOLDERS);
    if (nWindows && nFolders)
        strText.Format("%d %s, %d %s", nWindows, (LPCTSTR)strWindows, nFolders, (LPCTSTR)strFolders);
    else if (nWindows)
        strText.Format("%d %s", nWindows, (LPCTSTR)strWindows);
    else if (nFolders)
        strText.Format("%d %s", nFolders, (LPCTSTR)strFolders);
    else
        return FALSE;
    return TRUE;
}

// ---- the folder tree and the window list ------------------------------------------------

CQUTreeExplorer::~CQUTreeExplorer()
{
    if (m_pFindDlg != nullptr && m_pFindDlg->m_hWnd != nullptr)
        m_pFindDlg->DestroyWindow();
}

int CQUTreeExplorer::DeleteFolder(int* askFolders, int* askWindows, HTREEITEM folder, BOOL last)
{
    CQKFolder* pFolder = GetFolder(folder);
    if (pFolder == nullptr || pFolder->GetParent() == nullptr)
        return 4;
    if (*askFolders) {
        CString strQuestion;
        strQuestion.Format(LoadText(IDS_PE_DELETE_FOLDER), pFolder->GetName().c_str());
        int nAnswer = AskDelete(strQuestion, last || pFolder->GetNumFolders() == 0);
        if (nAnswer == IDCANCEL)
            return 1;
        if (nAnswer == IDC_PED_YES_ALL)
            *askFolders = 0;
        if (nAnswer == IDC_PED_NO) {
            // The folder stays; only the windows directly in it are offered.
            return (DeleteAllWindowsInFolder(askWindows, folder, 0) & 1) ? 1 : 4;
        }
    }
    return DeleteFolderContents(askFolders, askWindows, folder);
}

void CQUTreeExplorer::OnItemRemoved(HTREEITEM item)
{
    if (m_pFindDlg == nullptr)
        return;
    // A search that starts inside the removed item starts from the current folder again.
    for (HTREEITEM at = GetSearchItem(); at != nullptr; at = TreeView_GetParent(GetHwnd(), at))
        if (at == item) {
            SetSearchItem(TreeView_GetSelection(GetHwnd()));
            break;
        }
    ResetPrevSearchItem();
    m_pFindDlg->RefreshStart();
}

void CQUTreeExplorer::FindFrom(HTREEITEM item)
{
    SetSearchItem(item != nullptr ? item : TreeView_GetSelection(GetHwnd()));
    if (m_pFindDlg != nullptr && m_pFindDlg->m_hWnd != nullptr) {
        ResetPrevSearchItem();
        m_pFindDlg->RefreshStart();
        m_pFindDlg->SetActiveWindow();
        return;
    }
    m_pFindDlg = new CQUProjectExplorerFind;
    if (!m_pFindDlg->Create(AfxGetMainWnd())) {
        delete m_pFindDlg;
        m_pFindDlg = nullptr;
        return;
    }
    m_pFindDlg->ShowWindow(SW_SHOW);
}

void CQUTreeExplorer::ShowProperties(int type)
{
    CQUProjectExplorerProp dlg(type, AfxGetMainWnd());
    dlg.DoModal();
}

BOOL CQUTreeExplorer::GetContainedText(HTREEITEM item, std::string& text)
{
    int nWindows = 0, nFolders = 0;
    GetContainedCount(item, &nWindows, &nFolders);
    CString strText;
    if (!QUContainedText(nWindows, nFolders, strText))
        return FALSE;
    text = (LPCTSTR)strText;
    return TRUE;
}

void CQUListExplorer::DeleteSelected()
{
    std::vector<int> items = GetSelectedItems();
    // What each item is, read before anything goes.
    std::vector<CQKPage*> pages;
    std::vector<CQKFolder*> folders;
    for (int item : items) {
        pages.push_back(GetItemPage(item));
        folders.push_back(GetItemFolder(item));
    }
    SuspendUpdateList(TRUE);
    int askFolders = 1, askWindows = 1;
    for (size_t i = 0; i < items.size(); ++i) {
        BOOL bLast = i + 1 == items.size();
        int nResult = 0;
        if (pages[i] != nullptr) {
            nResult = DeleteWindow(&askWindows, pages[i], bLast);
        } else if (folders[i] != nullptr && GetTree() != nullptr) {
            HTREEITEM item = GetTree()->GetItem(folders[i]);
            nResult = GetTree()->DeleteFolder(&askFolders, &askWindows, item, bLast);
            if (nResult & 2) {
                GetTree()->CleanupFolderData(item, 0);
                GetTree()->DeleteTreeItem(item);
            }
        }
        if (nResult & 1)
            break;
    }
    SuspendUpdateList(FALSE);
    UpdateListExplorer(1);
}

int CQUListExplorer::DeleteWindow(int* askWindows, CQKPage* page, BOOL last)
{
    if (page == nullptr)
        return 4;
    if (*askWindows) {
        CString strQuestion;
        strQuestion.Format(LoadText(IDS_PE_DELETE_WINDOW), page->GetName().c_str());
        int nAnswer = AskDelete(strQuestion, last);
        if (nAnswer == IDCANCEL)
            return 1;
        if (nAnswer == IDC_PED_NO)
            return 4;
        if (nAnswer == IDC_PED_YES_ALL)
            *askWindows = 0;
    }
    return CQKListExplorer::DeleteWindow(askWindows, page, last);
}

void CQUListExplorer::ShowProperties()
{
    int nType = GetSelectionType();
    if (nType < 0)
        return;
    CQUProjectExplorerProp dlg(nType, AfxGetMainWnd());
    dlg.DoModal();
}

BOOL CQUListExplorer::GetContainedText(std::string& text)
{
    int nWindows = 0, nFolders = 0;
    GetContainedCount(&nWindows, &nFolders);
    CString strText;
    if (!QUContainedText(nWindows, nFolders, strText))
        return FALSE;
    text = (LPCTSTR)strText;
    return TRUE;
}

// ---- the bar ----------------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CDockExplore, QCResizableControlBar)

CDockExplore::CDockExplore()
{
    m_nYSize = 140;
}

BOOL CDockExplore::Init(CFrameWnd* pFrame)
{
    DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP | CBRS_TOOLTIPS | CBRS_SIZE_DYNAMIC;
    if (!Create(pFrame, nullptr, dwStyle, 0xF00, IDW_PROJECT_EXPLORER, CRect(10, 10, 10, 10)))
        return FALSE;
    m_nBarID = IDW_PROJECT_EXPLORER;
    m_pFrame = pFrame;
    SetWindowText(LoadText(IDS_PROJECT_EXPLORER));
    SetBarStyle(CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP | CBRS_TOOLTIPS | CBRS_SIZE_DYNAMIC);
    EnableDocking(CBRS_ALIGN_ANY);
    m_szDockHorz = CSize(m_nXSize, m_nYSize);
    m_szDockVert = CSize(m_nYSize * 2, m_nXSize / 2);
    m_szFloat = CSize(m_nXSize / 2, m_nYSize * 2);

    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&icc);
    m_hTree = ::CreateWindowExA(WS_EX_CLIENTEDGE, WC_TREEVIEWA, "",
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                                    TVS_EDITLABELS | TVS_SHOWSELALWAYS,
                                0, 0, 10, 10, m_hWnd, (HMENU)IDC_PE_TREE, nullptr, nullptr);
    m_hList = ::CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_EDITLABELS | LVS_SHOWSELALWAYS,
                                0, 0, 10, 10, m_hWnd, (HMENU)IDC_PE_LIST, nullptr, nullptr);
    if (m_hTree == nullptr || m_hList == nullptr)
        return FALSE;
    ListView_SetExtendedListViewStyleEx(m_hList, LVS_EX_HEADERDRAGDROP | LVS_EX_INFOTIP,
                                        LVS_EX_HEADERDRAGDROP | LVS_EX_INFOTIP);
    LoadExplorerState();
    m_tree.Init(m_hTree, &m_list);
    m_list.Init(m_hList, &m_tree);
    pFrame->DockControlBar(this, AFX_IDW_DOCKBAR_BOTTOM);
    LayoutPanes();
    SyncWithProject();
    return TRUE;
}

void CDockExplore::LoadExplorerState()
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr)
        return;
    int nShare = pApp->GetProfileInt(kStateSection, "LEPercentageWidth", 5000000);
    if (nShare > 0 && nShare < 10000000)
        m_dTreeShare = nShare / 10000000.0;
    int nMode = pApp->GetProfileInt(kStateSection, "PEViewMode", 1);
    m_tree.SetPEViewMode(nMode == 0 || nMode == 2 ? nMode : 1, FALSE);
    for (int i = 0; i < CQKListExplorer::NUM_COLUMNS; ++i) {
        CString strKey;
        strKey.Format("%s%d", "LEColumnsPercentageWidth", i);
        int nWidth = pApp->GetProfileInt(kStateSection, strKey, -1);
        m_list.SetLEColumnsPercentageWidth(i, nWidth == -1 ? -1.0 : nWidth / 10000000.0);
        strKey.Format("%s%d", "LEColumnsOrder", i);
        m_list.SetLEColumnsOrder(i, pApp->GetProfileInt(kStateSection, strKey, i));
    }
    m_bShowState = pApp->GetProfileInt(kStateSection, "Visible", 1) != 0;
}

void CDockExplore::SaveExplorerState()
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr || m_hWnd == nullptr)
        return;
    CRect rect;
    GetClientRect(&rect);
    if (rect.Width() > 0 && m_hTree != nullptr) {
        CRect rectTree;
        ::GetWindowRect(m_hTree, &rectTree);
        m_dTreeShare = std::min(1.0, std::max(0.0, (double)rectTree.Width() / rect.Width()));
    }
    pApp->WriteProfileInt(kStateSection, "LEPercentageWidth", (int)(m_dTreeShare * 10000000.0 + 0.5));
    int nMode = m_tree.GetPEViewMode();
    pApp->WriteProfileInt(kStateSection, "PEViewMode", nMode == 1 || nMode == 2 ? nMode : 1);
    m_list.StoreLEConfig();
    for (int i = 0; i < CQKListExplorer::NUM_COLUMNS; ++i) {
        CString strKey;
        strKey.Format("%s%d", "LEColumnsPercentageWidth", i);
        double dWidth = m_list.GetLEColumnsPercentageWidth(i);
        pApp->WriteProfileInt(kStateSection, strKey, dWidth < 0 ? -1 : (int)(dWidth * 10000000.0 + 0.5));
        strKey.Format("%s%d", "LEColumnsOrder", i);
        pApp->WriteProfileInt(kStateSection, strKey, m_list.GetLEColumnsOrder(i));
    }
    pApp->WriteProfileInt(kStateSection, "Visible", IsWindowVisible() ? 1 : 0);
}

CRect CDockExplore::SplitterRect() const
{
    CRect rect;
    if (m_hTree == nullptr)
        return rect;
    ::GetWindowRect(m_hTree, &rect);
    ScreenToClient(&rect);
    return CRect(rect.right, rect.top, rect.right + kSplitterWidth, rect.bottom);
}

void CDockExplore::LayoutPanes()
{
    if (m_hTree == nullptr || m_hList == nullptr)
        return;
    CRect rect;
    GetClientRect(&rect);
    rect.DeflateRect(4, 4);
    if (IsFloating() == FALSE)
        rect.top += 2;
    if (rect.Width() <= 0 || rect.Height() <= 0)
        return;
    // The tree's share of the width, capped so that the splitter stays inside.
    int nTree = std::min((int)(rect.Width() * m_dTreeShare), std::max(0, rect.Width() - kSplitterWidth));
    ::MoveWindow(m_hTree, rect.left, rect.top, nTree, rect.Height(), TRUE);
    int nListLeft = rect.left + nTree + kSplitterWidth;
    ::MoveWindow(m_hList, nListLeft, rect.top, std::max(0, (int)rect.right - nListLeft), rect.Height(), TRUE);
}

void CDockExplore::ToggleShow()
{
    m_bShowPending = FALSE;
    if (m_pFrame != nullptr)
        m_pFrame->ShowControlBar(this, !IsWindowVisible(), TRUE);
}

BOOL CDockExplore::CheckShowProjectExplorer()
{
    if (!m_bShowPending)
        return TRUE;
    m_bShowPending = FALSE;
    if (m_pFrame != nullptr)
        m_pFrame->ShowControlBar(this, m_bShowState, TRUE);
    return TRUE;
}

void CDockExplore::SetViewModeFromCommand(UINT nID)
{
    int nMode = CQKTreeExplorer::ConvertIdToViewMode(nID);
    if (nMode >= 0)
        m_tree.SetPEViewMode(nMode, TRUE);
}

UINT CDockExplore::GetViewModeCommand() const
{
    switch (const_cast<CDockExplore*>(this)->m_tree.GetPEViewMode()) {
    case 0: return QK_PE_VIEW_NONE;
    case 1: return QK_PE_VIEW_FOLDER;
    case 2: return QK_PE_VIEW_SUBFOLDERS;
    default: return 34993;
    }
}

void CDockExplore::UpdateFolderMenu(CCmdUI* pCmdUI)
{
    CMenu* pMenu = pCmdUI->m_pMenu;
    if (pMenu == nullptr || pCmdUI->m_nID != 28672)
        return;
    pCmdUI->Enable(TRUE);
    HMENU hMenu = pMenu->m_hMenu;
    for (UINT id = 28673; id < 28928; ++id)
        ::DeleteMenu(hMenu, id, MF_BYCOMMAND);
    CQKProject& project = qkfxGetProject();
    CString strText;
    strText.Format("&%d %s", 1, project.GetRootName().c_str());
    ::ModifyMenuA(hMenu, 28672, MF_BYCOMMAND | MF_STRING, 28672, strText);
    // The folders below the root in tree order, numbered from 2.
    std::vector<CQKFolder*> order;
    std::vector<CQKFolder*> pending{project.GetRootFolder()};
    while (!pending.empty()) {
        CQKFolder* f = pending.back();
        pending.pop_back();
        if (f != project.GetRootFolder())
            order.push_back(f);
        for (int i = f->GetNumFolders() - 1; i >= 0; --i)
            pending.push_back(f->GetFolder(i));
    }
    UINT nID = 28673;
    for (size_t i = 0; i < order.size(); ++i, ++nID) {
        if (nID == 28927) {
            if (IsWindowVisible())
                ::AppendMenuA(hMenu, MF_STRING | MF_GRAYED, 28927, LoadText(IDS_PE_NOT_ALL_FOLDERS));
            else
                ::AppendMenuA(hMenu, MF_STRING, 28927, LoadText(IDS_PROJECT_EXPLORER));
            break;
        }
        std::string path = order[i]->GetPath();
        if (i < 8)
            strText.Format("&%d %s", (int)i + 2, path.c_str());
        else
            strText = path.c_str();
        ::AppendMenuA(hMenu, MF_STRING, nID, strText);
    }
    CQKFolder* current = project.GetCurrentFolder();
    UINT nCurrent = 28672;
    for (size_t i = 0; i < order.size() && i < 254; ++i)
        if (order[i] == current)
            nCurrent = 28673 + (UINT)i;
    ::CheckMenuRadioItem(hMenu, 28672, std::min(nID, 28926u), nCurrent, MF_BYCOMMAND);
    // The menu loop goes on after the items made here.
    pCmdUI->m_nIndexMax = pMenu->GetMenuItemCount();
    pCmdUI->m_nIndex = pCmdUI->m_nIndexMax - 1;
    pCmdUI->m_bEnableChanged = TRUE;
}

void CDockExplore::OnFolderMenu(UINT nID)
{
    if (nID == 28927) {
        if (!IsWindowVisible())
            ToggleShow();
        return;
    }
    CQKProject& project = qkfxGetProject();
    std::vector<CQKFolder*> pending{project.GetRootFolder()};
    UINT nAt = 28672;
    while (!pending.empty()) {
        CQKFolder* f = pending.back();
        pending.pop_back();
        if (nAt == nID) {
            if (f != project.GetCurrentFolder())
                m_tree.SelectFolder(f);
            return;
        }
        ++nAt;
        for (int i = f->GetNumFolders() - 1; i >= 0; --i)
            pending.push_back(f->GetFolder(i));
    }
}

BOOL CDockExplore::RouteCommand(UINT nID)
{
    if (UINT nMain = MainCommandFor(nID)) {
        if (CWnd* pMain = AfxGetMainWnd())
            pMain->SendMessage(WM_COMMAND, nMain, 0);
        m_tree.SetCommandItem(nullptr);
        return TRUE;
    }
    if (nID == QK_PE_TREE_FIND) {
        m_tree.FindFrom(m_tree.GetCommandItem());
        m_tree.SetCommandItem(nullptr);
        return TRUE;
    }
    if (nID >= 40992 && nID <= 41039) {
        // The view modes also keep the saved setting in step.
        BOOL bDone = m_tree.OnCommandTreeExplorer(nID);
        return bDone;
    }
    if ((nID >= 41040 && nID <= 41088) || (nID >= 41263 && nID <= 41327))
        return m_list.OnCommandListExplorer(nID);
    return FALSE;
}

BOOL CDockExplore::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN) {
        HWND hEdit = m_tree.IsEditingLabel() ? m_tree.GetEditControl()
                                             : m_list.IsEditingLabel() ? m_list.GetEditControl() : nullptr;
        if (hEdit != nullptr && (pMsg->wParam == VK_RETURN || pMsg->wParam == VK_ESCAPE)) {
            ::SendMessage(hEdit, WM_KEYDOWN, pMsg->wParam, pMsg->lParam);
            return TRUE;
        }
        if (pMsg->wParam == VK_ESCAPE && m_tree.IsDragging()) {
            m_tree.DraggingCleanup();
            return TRUE;
        }
        if (pMsg->wParam == VK_RETURN && pMsg->hwnd == m_hList && m_list.GetSelectionType() == QK_PESEL_FOLDER) {
            m_list.ActivateSelectedFolder();
            return TRUE;
        }
    }
    return QCResizableControlBar::PreTranslateMessage(pMsg);
}

void CDockExplore::SyncWithProject()
{
    // The tree follows the folders (and the project's name), the list the current
    // folder's content: made again when what they show changed.
    CQKProject& project = qkfxGetProject();
    std::string tree = project.GetRootName() + "|" + project.GetCurrentFolder()->GetPath();
    std::vector<CQKFolder*> pending{project.GetRootFolder()};
    while (!pending.empty()) {
        CQKFolder* f = pending.back();
        pending.pop_back();
        char address[32];
        snprintf(address, sizeof address, "%p", (void*)f);
        tree += std::string("|") + address + f->GetName();
        for (int i = f->GetNumFolders() - 1; i >= 0; --i)
            pending.push_back(f->GetFolder(i));
    }
    if (tree != m_strTreeSignature) {
        m_strTreeSignature = tree;
        m_tree.Rebuild();
        m_strListSignature.clear();
        if (CMainFrame* pFrame = get_main_frame())
            pFrame->GetOutputLog()->GetEdit().SetActiveFolder(project.GetCurrentFolder()->GetPath().c_str());
    }
    std::string list;
    for (CQKPage* page : project.GetPagesInFolder(project.GetCurrentFolder(), false)) {
        HWND hFrame = page->GetFrameWnd();
        char state[48];
        snprintf(state, sizeof state, "%p:%d%d%d", (void*)page, page->IsHiddenPEWnd() ? 1 : 0,
                 hFrame != nullptr && ::IsWindowVisible(hFrame) ? 1 : 0, hFrame != nullptr && ::IsIconic(hFrame));
        list += state + page->GetName() + "\x1f" + page->GetLabel() + "|";
    }
    CQKFolder* current = project.GetCurrentFolder();
    for (int i = 0; i < current->GetNumFolders(); ++i)
        list += current->GetFolder(i)->GetName() + "/";
    if (list != m_strListSignature) {
        m_strListSignature = list;
        m_list.UpdateListExplorer(1);
    }
}

void CDockExplore::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler)
{
    QCResizableControlBar::OnUpdateCmdUI(pTarget, bDisableIfNoHndler);
    if (m_hTree != nullptr && !m_tree.IsEditingLabel() && !m_list.IsEditingLabel() && !m_list.IsDragging() &&
        !m_tree.IsDragging())
        SyncWithProject();
}

LRESULT CDockExplore::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE: {
        LRESULT result = QCResizableControlBar::WindowProc(message, wParam, lParam);
        LayoutPanes();
        return result;
    }
    case WM_NOTIFY: {
        NMHDR* pHeader = (NMHDR*)lParam;
        LRESULT result = 0;
        if (m_tree.OnNotify(pHeader, &result)) {
            if (pHeader->code == TVN_SELCHANGEDA || pHeader->code == TVN_SELCHANGEDW) {
                CString strPath = m_tree.GetCurrentPath().c_str();
                if (CMainFrame* pFrame = get_main_frame())
                    pFrame->GetOutputLog()->GetEdit().SetActiveFolder(strPath);
            }
            return result;
        }
        if (m_list.OnNotify(pHeader, &result))
            return result;
        break;
    }
    case WM_COMMAND:
        if (lParam == 0 && RouteCommand(LOWORD(wParam)))
            return 0;
        break;
    case WM_SETCURSOR:
        if ((HWND)wParam == m_hWnd) {
            POINT pt;
            ::GetCursorPos(&pt);
            ScreenToClient(&pt);
            if (SplitterRect().PtInRect(pt)) {
                ::SetCursor(::LoadCursor(nullptr, IDC_SIZEWE));
                return TRUE;
            }
        }
        break;
    case WM_LBUTTONDOWN: {
        CPoint pt((short)LOWORD(lParam), (short)HIWORD(lParam));
        if (SplitterRect().PtInRect(pt)) {
            m_bSplitterDrag = TRUE;
            SetCapture();
            return 0;
        }
        break;
    }
    case WM_MOUSEMOVE:
        if (m_bSplitterDrag) {
            CRect rect;
            GetClientRect(&rect);
            rect.DeflateRect(4, 4);
            int x = (short)LOWORD(lParam) - rect.left;
            if (rect.Width() > 0)
                m_dTreeShare = std::min(1.0, std::max(0.0, (double)x / rect.Width()));
            LayoutPanes();
            return 0;
        }
        break;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        if (m_bSplitterDrag) {
            m_bSplitterDrag = FALSE;
            if (message == WM_LBUTTONUP)
                ReleaseCapture();
            return 0;
        }
        break;
    }
    return QCResizableControlBar::WindowProc(message, wParam, lParam);
}

// ---- the deletion question ----------------------------------------------------------------

CQUConfirmDeleteDlg::CQUConfirmDeleteDlg(LPCTSTR lpszQuestion, BOOL bTwoButtons, CWnd* pParent)
    : CDialog(IDD_PE_CONFIRM_DELETE, pParent), m_strQuestion(lpszQuestion), m_bTwoButtons(bTwoButtons)
{
}

BOOL CQUConfirmDeleteDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetDlgItemText(IDC_PED_QUESTION, m_strQuestion);
    if (m_bTwoButtons) {
        // Yes and No only: Yes takes the place of Yes To All.
        CRect rect;
        ::GetWindowRect(::GetDlgItem(m_hWnd, IDC_PED_YES_ALL), &rect);
        ScreenToClient(&rect);
        ::ShowWindow(::GetDlgItem(m_hWnd, IDC_PED_YES_ALL), SW_HIDE);
        ::ShowWindow(::GetDlgItem(m_hWnd, IDCANCEL), SW_HIDE);
        ::MoveWindow(::GetDlgItem(m_hWnd, IDOK), rect.left, rect.top, rect.Width(), rect.Height(), TRUE);
    }
    return TRUE;
}

BOOL CQUConfirmDeleteDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    UINT nID = LOWORD(wParam);
    if (nID == IDC_PED_YES_ALL || nID == IDC_PED_NO) {
        EndDialog((int)nID);
        return TRUE;
    }
    // Escape in the two-button form is No: there is no Cancel to give.
    if (nID == IDCANCEL && m_bTwoButtons) {
        EndDialog(IDC_PED_NO);
        return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
}

// ---- the properties -----------------------------------------------------------------------

CQUProjectExplorerProp::CQUProjectExplorerProp(int nType, CWnd* pParent)
    : CDialog(IDD_PE_PROPERTIES, pParent), m_nType(nType)
{
}

void CQUProjectExplorerProp::Hide(UINT nLabel, UINT nValue)
{
    ::ShowWindow(::GetDlgItem(m_hWnd, nLabel), SW_HIDE);
    ::ShowWindow(::GetDlgItem(m_hWnd, nValue), SW_HIDE);
}

BOOL CQUProjectExplorerProp::OnInitDialog()
{
    CDialog::OnInitDialog();
    CMainFrame* pFrame = get_main_frame();
    CQKTreeExplorer* pTree = pFrame != nullptr ? pFrame->GetTreeExplorer() : nullptr;
    CQKListExplorer* pList = pFrame != nullptr ? pFrame->GetListExplorer() : nullptr;
    if (pTree == nullptr || pList == nullptr)
        return TRUE;
    CQKProject& project = qkfxGetProject();
    HIMAGELIST hImages = pList->GetNormalImageList();
    auto setIcon = [&](int nImage) {
        if (hImages != nullptr)
            ::SendDlgItemMessage(m_hWnd, IDC_PEP_ICON, STM_SETICON, (WPARAM)ImageList_GetIcon(hImages, nImage, 0), 0);
    };
    auto set = [&](UINT nID, const std::string& text) { SetDlgItemText(nID, text.c_str()); };
    std::string text;
    HTREEITEM hCurrent = pTree->GetItem(project.GetCurrentFolder());
    switch (m_nType) {
    case QK_PESEL_PROJECT: {
        HTREEITEM hRoot = pTree->GetItem(project.GetRootFolder());
        setIcon(11);
        set(IDC_PEP_NAME, pTree->GetFolderLabel(hRoot));
        Hide(IDC_PEP_LABEL_TITLE, IDC_PEP_LABEL);
        SetDlgItemText(IDC_PEP_TYPE, LoadText(IDS_PE_TYPE_PROJECT));
        Hide(IDC_PEP_LOCATION_TITLE, IDC_PEP_LOCATION);
        set(IDC_PEP_SIZE, pTree->GetFolderByteSize(hRoot));
        if (pTree->GetContainedText(hRoot, text))
            set(IDC_PEP_CONTAINS, text);
        else
            Hide(IDC_PEP_CONTAINS_TITLE, IDC_PEP_CONTAINS);
        Hide(IDC_PEP_DEPENDENTS_TITLE, IDC_PEP_DEPENDENTS);
        SetDlgItemText(IDC_PEP_CREATED, TimeText(project.GetRootFolder()->GetTimeCreated()));
        Hide(IDC_PEP_MODIFIED_TITLE, IDC_PEP_MODIFIED);
        Hide(IDC_PEP_STATE_TITLE, IDC_PEP_STATE);
        break;
    }
    case QK_PESEL_FOLDER: {
        // The folder the tree's menu was opened on, or the list's selected folder.
        HTREEITEM hItem = pTree->GetCommandItem();
        int nIndex = pList->GetPropIndex();
        if (hItem == nullptr && nIndex >= 0 && pList->GetItemFolder(nIndex) != nullptr)
            hItem = pTree->GetItem(pList->GetItemFolder(nIndex));
        if (hItem == nullptr)
            hItem = hCurrent;
        CQKFolder* pFolder = pTree->GetFolder(hItem);
        setIcon(pFolder == project.GetCurrentFolder() ? 7 : 6);
        set(IDC_PEP_NAME, pTree->GetFolderLabel(hItem));
        Hide(IDC_PEP_LABEL_TITLE, IDC_PEP_LABEL);
        SetDlgItemText(IDC_PEP_TYPE, LoadText(IDS_PE_TYPE_FOLDER));
        set(IDC_PEP_LOCATION, pFolder != nullptr && pFolder->GetParent() ? pFolder->GetParent()->GetPath() : "/");
        set(IDC_PEP_SIZE, pTree->GetFolderByteSize(hItem));
        if (pTree->GetContainedText(hItem, text))
            set(IDC_PEP_CONTAINS, text);
        else
            Hide(IDC_PEP_CONTAINS_TITLE, IDC_PEP_CONTAINS);
        Hide(IDC_PEP_DEPENDENTS_TITLE, IDC_PEP_DEPENDENTS);
        // A folder shows the project's times.
        SetDlgItemText(IDC_PEP_CREATED, TimeText(project.GetRootFolder()->GetTimeCreated()));
        SetDlgItemText(IDC_PEP_MODIFIED, TimeText(project.GetRootFolder()->GetTimeCreated()));
        Hide(IDC_PEP_STATE_TITLE, IDC_PEP_STATE);
        break;
    }
    case QK_PESEL_WINDOW:
    case 8: {
        m_pPage = pList->GetItemPage(pList->GetPropIndex());
        if (m_pPage == nullptr)
            break;
        setIcon(m_pPage->GetImageListIndex());
        set(IDC_PEP_NAME, m_pPage->GetName());
        set(IDC_PEP_LABEL, m_pPage->GetLabel());
        qkfxGetAccess()->GetWndString(text, m_pPage->GetImageListIndex());
        set(IDC_PEP_TYPE, text);
        set(IDC_PEP_LOCATION, m_pPage->GetFolder()->GetPath());
        set(IDC_PEP_SIZE, qkfxByteSizeText(qkfxGetPageByteSize(m_pPage)));
        Hide(IDC_PEP_CONTAINS_TITLE, IDC_PEP_CONTAINS);
        set(IDC_PEP_DEPENDENTS, "");
        SetDlgItemText(IDC_PEP_CREATED, TimeText(m_pPage->GetTimeCreated()));
        SetDlgItemText(IDC_PEP_MODIFIED, TimeText(m_pPage->GetTimeModified()));
        m_pPage->GetWindowState(text);
        set(IDC_PEP_STATE, m_pPage->IsHiddenPEWnd() ? std::string("Hidden") : text);
        if (!m_pPage->GetLabel().empty()) {
            ::SetFocus(::GetDlgItem(m_hWnd, IDC_PEP_LABEL));
            return FALSE;
        }
        break;
    }
    case QK_PESEL_WINDOWS:
    case QK_PESEL_FOLDERS:
    case QK_PESEL_MIXED: {
        static const UINT kTypes[] = {IDS_PE_TYPE_WINDOWS, 0, IDS_PE_TYPE_FOLDERS, IDS_PE_TYPE_MIXED};
        setIcon(m_nType == QK_PESEL_WINDOWS ? 8 : m_nType == QK_PESEL_FOLDERS ? 9 : 10);
        pList->GetContainedText(text);
        set(IDC_PEP_NAME, text);
        Hide(IDC_PEP_LABEL_TITLE, IDC_PEP_LABEL);
        SetDlgItemText(IDC_PEP_TYPE, LoadText(kTypes[m_nType - QK_PESEL_WINDOWS]));
        set(IDC_PEP_LOCATION, project.GetCurrentFolder()->GetPath());
        set(IDC_PEP_SIZE, pList->GetMultipleSelectionByteSize());
        Hide(IDC_PEP_CONTAINS_TITLE, IDC_PEP_CONTAINS);
        Hide(IDC_PEP_DEPENDENTS_TITLE, IDC_PEP_DEPENDENTS);
        Hide(IDC_PEP_CREATED_TITLE, IDC_PEP_CREATED);
        Hide(IDC_PEP_MODIFIED_TITLE, IDC_PEP_MODIFIED);
        Hide(IDC_PEP_STATE_TITLE, IDC_PEP_STATE);
        break;
    }
    }
    if (m_pPage == nullptr)
        Hide(IDC_PEP_LABEL_TITLE, IDC_PEP_LABEL);
    return TRUE;
}

void CQUProjectExplorerProp::ApplyLabel()
{
    if (m_pPage == nullptr)
        return;
    CString strLabel;
    GetDlgItemText(IDC_PEP_LABEL, strLabel);
    m_pPage->SetLabel((LPCTSTR)strLabel);
    m_bChanged = FALSE;
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_PEP_APPLY), FALSE);
}

BOOL CQUProjectExplorerProp::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == IDC_PEP_LABEL && HIWORD(wParam) == EN_CHANGE && !m_bChanged) {
        m_bChanged = TRUE;
        ::ShowWindow(::GetDlgItem(m_hWnd, IDC_PEP_APPLY), SW_SHOW);
        ::EnableWindow(::GetDlgItem(m_hWnd, IDC_PEP_APPLY), TRUE);
        return TRUE;
    }
    if (LOWORD(wParam) == IDC_PEP_APPLY && HIWORD(wParam) == BN_CLICKED) {
        ApplyLabel();
        return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
}

void CQUProjectExplorerProp::OnOK()
{
    ApplyLabel();
    CDialog::OnOK();
}

// ---- the find dialog ----------------------------------------------------------------------

int CQUProjectExplorerFind::s_nFlags = QK_PEFIND_NAMES | QK_PEFIND_PARTIAL | QK_PEFIND_SUBFOLDERS;
std::vector<CString> CQUProjectExplorerFind::s_history;

namespace {
const struct {
    UINT nID;
    int nFlag;
} kFindChecks[] = {{IDC_PEF_NAMES, QK_PEFIND_NAMES},       {IDC_PEF_LABELS, QK_PEFIND_LABELS},
                   {IDC_PEF_FOLDERS, QK_PEFIND_FOLDER_NAMES}, {IDC_PEF_CASE, QK_PEFIND_CASE},
                   {IDC_PEF_PARTIAL, QK_PEFIND_PARTIAL},   {IDC_PEF_SUBFOLDERS, QK_PEFIND_SUBFOLDERS}};

CQUTreeExplorer* FrameTree()
{
    CMainFrame* pFrame = get_main_frame();
    return pFrame != nullptr ? static_cast<CQUTreeExplorer*>(pFrame->GetTreeExplorer()) : nullptr;
}
} // namespace

CQUProjectExplorerFind::CQUProjectExplorerFind(CWnd* pParent) : CDialog(IDD_PE_FIND, pParent) {}

BOOL CQUProjectExplorerFind::Create(CWnd* pParent)
{
    return CDialog::Create(IDD_PE_FIND, pParent);
}

BOOL CQUProjectExplorerFind::OnInitDialog()
{
    CDialog::OnInitDialog();
    for (const CString& s : s_history)
        if (!s.IsEmpty())
            ::SendDlgItemMessageA(m_hWnd, IDC_PEF_WHAT, CB_ADDSTRING, 0, (LPARAM)(LPCTSTR)s);
    for (const auto& c : kFindChecks)
        ::CheckDlgButton(m_hWnd, c.nID, (s_nFlags & c.nFlag) ? BST_CHECKED : BST_UNCHECKED);
    RefreshStart();
    return TRUE;
}

void CQUProjectExplorerFind::RefreshStart()
{
    if (m_hWnd == nullptr)
        return;
    SetDlgItemText(IDOK, LoadText(IDS_PE_FIND));
    if (CQUTreeExplorer* pTree = FrameTree()) {
        SetDlgItemText(IDC_PEF_START, pTree->CreatePathString(pTree->GetSearchItem(), 0).c_str());
        pTree->ResetPrevSearchItem();
    }
}

void CQUProjectExplorerFind::SaveFlags()
{
    int nFlags = 0;
    for (const auto& c : kFindChecks)
        if (::IsDlgButtonChecked(m_hWnd, c.nID) == BST_CHECKED)
            nFlags |= c.nFlag;
    s_nFlags = nFlags;
}

void CQUProjectExplorerFind::OnFind()
{
    CString strText;
    GetDlgItemText(IDC_PEF_WHAT, strText);
    if (strText.IsEmpty())
        return;
    if (::SendDlgItemMessageA(m_hWnd, IDC_PEF_WHAT, CB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)(LPCTSTR)strText) ==
        CB_ERR) {
        ::SendDlgItemMessageA(m_hWnd, IDC_PEF_WHAT, CB_INSERTSTRING, 0, (LPARAM)(LPCTSTR)strText);
        s_history.insert(s_history.begin(), strText);
    }
    SaveFlags();
    CQUTreeExplorer* pTree = FrameTree();
    if (pTree != nullptr && pTree->Find((LPCTSTR)strText, s_nFlags)) {
        SetDlgItemText(IDOK, LoadText(IDS_PE_FIND_NEXT));
        return;
    }
    CString strFormat = LoadText(IDS_PE_NOT_FOUND), strMessage;
    strMessage = strFormat;
    int nAt = strMessage.Find("%1");
    if (nAt >= 0)
        strMessage = strMessage.Left(nAt) + strText + strMessage.Mid(nAt + 2);
    MessageBox(strMessage, "Find", MB_OK | MB_ICONINFORMATION);
}

BOOL CQUProjectExplorerFind::OnCommand(WPARAM wParam, LPARAM lParam)
{
    UINT nID = LOWORD(wParam), nCode = HIWORD(wParam);
    CQUTreeExplorer* pTree = FrameTree();
    switch (nID) {
    case IDOK: OnFind(); return TRUE;
    case IDC_PEF_RESET:
        if (pTree != nullptr) {
            pTree->SetSearchItem(TreeView_GetSelection(pTree->GetHwnd()));
            pTree->ResetPrevSearchItem();
        }
        RefreshStart();
        return TRUE;
    case IDC_PEF_WHAT:
        if (nCode == CBN_EDITCHANGE || nCode == CBN_SELCHANGE)
            RefreshStart();
        break;
    default:
        for (const auto& c : kFindChecks)
            if (c.nID == nID && nCode == BN_CLICKED) {
                SaveFlags();
                RefreshStart();
            }
    }
    return CDialog::OnCommand(wParam, lParam);
}

void CQUProjectExplorerFind::OnCancel()
{
    DestroyWindow();
}

LRESULT CQUProjectExplorerFind::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        SaveFlags();
        if (CQUTreeExplorer* pTree = FrameTree()) {
            pTree->ResetPrevPage();
            pTree->ForgetFindDialog();
        }
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

void CQUProjectExplorerFind::PostNcDestroy()
{
    delete this;
}
