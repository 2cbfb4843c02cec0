// The main frame with its MDI client, status bar, dock bars, default toolbars, Results Log
// and spacer; child frames of each window kind switching the toolbars; the toolbar
// arrangement saved at close and restored at the next creation.
#include <gtest/gtest.h>

#include <qxtest/DialogDriver.h>
#include <commctrl.h>

#include <set>

#include "FramesFixture.h"
#include "FramesResource.h"
#include "QKSysMethod.h"
#include "QKUtil.h"
#include "WindowListDlg.h"

using namespace framestest;

namespace {

struct ToolBarCase
{
    UINT nID;
    const char* title;
    int nButtons;   // without separators
};

const ToolBarCase kToolBars[] = {
    {59400, "Standard", 24},         {59392, "Edit", 3},      {59397, "Graph", 11},
    {59404, "2D Graphs", 14},        {59398, "2D Graphs Extended", 29}, {59410, "3D Graphs", 16},
    {59409, "3D Rotation", 11},      {59402, "Worksheet Data", 7},       {59403, "Column", 10},
    {59399, "Layout", 2},            {59408, "Mask", 7},      {59401, "Tools", 12},
    {59406, "Object Edit", 16},      {59405, "Arrow", 6},
};

int ButtonsOf(CQUCustomToolBar* pBar)
{
    int n = 0;
    for (int i = 0; i < pBar->GetBtnCount(); i++)
        if (pBar->GetBtn(i) != nullptr)
            n++;
    return n;
}

std::set<UINT> VisibleToolBars(CMainFrame* pFrame)
{
    std::set<UINT> visible;
    for (const ToolBarCase& t : kToolBars)
        if (pFrame->GetToolBar(t.nID)->IsVisible())
            visible.insert(t.nID);
    return visible;
}

using MainFrameTest = FramesFixture;

TEST_F(MainFrameTest, CreationMakesTheStatusBarDockBarsToolbarsResultsLogAndSpacer)
{
    CMainFrame* pFrame = CreateMainFrame();
    ASSERT_NE(pFrame, nullptr);
    EXPECT_EQ(get_main_frame(), pFrame);
    EXPECT_NE(pFrame->m_hWndMDIClient, nullptr);
    EXPECT_FALSE(pFrame->IsWindowVisible());
    EXPECT_EQ(QUGetToolBarManager(), pFrame->GetToolBarManager());

    // Six panes: the message pane, two blank 30-pixel panes and the key indicators.
    SECStatusBar* pStatus = pFrame->GetStatusBar();
    ASSERT_NE(pStatus->m_hWnd, nullptr);
    EXPECT_EQ(pStatus->GetDlgCtrlID(), AFX_IDW_STATUS_BAR);
    EXPECT_EQ(pStatus->GetItemID(3), (UINT)ID_INDICATOR_CAPS);
    EXPECT_EQ(pStatus->GetItemID(5), (UINT)ID_INDICATOR_SCRL);
    UINT nID, nStyle;
    int cx;
    pStatus->GetPaneInfo(1, nID, nStyle, cx);
    EXPECT_EQ(cx, 30);
    EXPECT_TRUE(pFrame->SetStatusPaneText(1, "Pane"));
    EXPECT_EQ(std::string(pStatus->GetPaneText(1)), "Pane");
    EXPECT_TRUE(pFrame->SetStatusbarText("Ready to fit", TRUE));
    CString strMessage;
    pStatus->GetWindowText(strMessage);
    EXPECT_EQ(std::string(strMessage), "Ready to fit");

    // The top dock bar is the program's own; the others share rows by proportion.
    EXPECT_TRUE(pFrame->GetControlBar(AFX_IDW_DOCKBAR_TOP)->IsKindOf(RUNTIME_CLASS(CQUDockBar)));
    EXPECT_TRUE(pFrame->GetControlBar(AFX_IDW_DOCKBAR_LEFT)->IsKindOf(RUNTIME_CLASS(SECDockBarEx)));

    // Fourteen default toolbars, docked at the top, only Standard shown.
    for (const ToolBarCase& t : kToolBars) {
        CQUCustomToolBar* pBar = pFrame->GetToolBar(t.nID);
        ASSERT_NE(pBar, nullptr) << t.title;
        CString strTitle;
        pBar->GetWindowText(strTitle);
        EXPECT_EQ(std::string(strTitle), t.title);
        EXPECT_EQ(ButtonsOf(pBar), t.nButtons) << t.title;
        EXPECT_EQ(pBar->IsVisible(), t.nID == 59400) << t.title;
        EXPECT_EQ(pBar->GetKindMask(), QUToolBarKindMask(t.nID));
    }
    EXPECT_EQ(pFrame->GetToolBar(12345), nullptr);

    CQUOutputLog* pLog = pFrame->GetOutputLog();
    ASSERT_NE(pLog->m_hWnd, nullptr);
    CString strLog;
    pLog->GetWindowText(strLog);
    EXPECT_EQ(std::string(strLog), "Results Log");
    EXPECT_EQ(pLog->GetDlgCtrlID(), IDS_RESULTS_LOG);
    EXPECT_NE(pFrame->GetSpacer()->m_hWnd, nullptr);

    // The first start was noted under the install state.
    HKEY hKey;
    std::string key = "Software\\" + m_strKey + "\\InstallState\\Upgrade60To61";
    ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &hKey), ERROR_SUCCESS);
    char szValue[8] = "";
    DWORD cb = sizeof szValue;
    ::RegQueryValueExA(hKey, "bFirstTime", nullptr, nullptr, (BYTE*)szValue, &cb);
    ::RegCloseKey(hKey);
    EXPECT_STREQ(szValue, "0");
}

TEST_F(MainFrameTest, ChildFramesOfEachKindShowTheirToolbarsAndKeepTheUsersChoice)
{
    CMainFrame* pFrame = CreateMainFrame();
    ASSERT_NE(pFrame, nullptr);

    CChildFrame* pGraph = NewWindow(m_pGraphTemplate, QK_PAGE_GRAPH);
    ASSERT_NE(pGraph, nullptr);
    EXPECT_EQ(pGraph->get_wnd_template_id(), 1);
    EXPECT_EQ(pGraph->get_wnd_template_bits(), QU_KIND_GRAPH);
    EXPECT_EQ(pFrame->get_active_childframe(nullptr), pGraph);
    pFrame->RecalcLayout();
    // Every toolbar whose kinds include graphs.
    std::set<UINT> graph = {59400, 59392, 59397, 59404, 59398, 59410, 59409, 59408, 59401, 59406, 59405};
    EXPECT_EQ(VisibleToolBars(pFrame), graph);

    CChildFrame* pWks = NewWindow(m_pWksTemplate, QK_PAGE_WKS);
    ASSERT_NE(pWks, nullptr);
    EXPECT_EQ(pWks->get_wnd_template_bits(), QU_KIND_WKS);
    std::set<UINT> wks = {59400, 59392, 59404, 59398, 59410, 59402, 59403, 59408, 59401, 59406, 59405};
    EXPECT_EQ(VisibleToolBars(pFrame), wks);
    // Hidden by the switch, not by the user: the choice stays.
    EXPECT_TRUE(pFrame->GetToolBar(59397)->GetShowChoice());
    EXPECT_FALSE(pFrame->GetToolBar(59397)->GetKindSwitchMarker());

    // The user hides Column; it stays hidden when a worksheet is active again.
    pFrame->ShowControlBar(pFrame->GetToolBar(59403), FALSE, FALSE);
    EXPECT_FALSE(pFrame->GetToolBar(59403)->GetShowChoice());
    pGraph->MDIActivate();
    // The activated window's page is the one scripts work on.
    EXPECT_EQ(qkfxGetProject().GetActivePage(), pGraph->GetPage());
    pWks->MDIActivate();
    EXPECT_FALSE(pFrame->GetToolBar(59403)->IsVisible());
    EXPECT_TRUE(pFrame->GetToolBar(59402)->IsVisible());

    // Notes take Standard and Edit; with no window no standard toolbar belongs.
    CChildFrame* pNotes = NewWindow(m_pNotesTemplate, QK_PAGE_NOTES);
    ASSERT_NE(pNotes, nullptr);
    EXPECT_EQ(VisibleToolBars(pFrame), (std::set<UINT>{59400, 59392}));
    pFrame->ShowToolBarsOfChildFrame(nullptr);
    EXPECT_EQ(VisibleToolBars(pFrame), (std::set<UINT>{}));
    EXPECT_TRUE(pFrame->GetToolBar(59400)->GetShowChoice());

    // Delete belongs to a notes window, F2 to a worksheet, ahead of the accelerators.
    pNotes->MDIActivate();
    MSG msg = {pNotes->m_hWnd, WM_KEYDOWN, VK_DELETE, 0};
    EXPECT_FALSE(pFrame->PreTranslateMessage(&msg));
    pWks->MDIActivate();
    MSG f2 = {pWks->m_hWnd, WM_KEYDOWN, VK_F2, 0};
    EXPECT_FALSE(pFrame->PreTranslateMessage(&f2));
}

// The hit test runs whenever the pointer moves over the frame: it answers as the system
// does, HTERROR while the toolbars are being customised, and leaves the plain menu-bar
// items without the raised look.
TEST_F(MainFrameTest, TheHitTestAnswersOverTheMenuBarAndClientWithoutCallingItself)
{
    CMainFrame* pFrame = CreateMainFrame();
    ASSERT_NE(pFrame, nullptr);
    pFrame->ShowWindow(SW_SHOWNA);
    pFrame->DrawMenuBar();
    CRect rectItem, rectClient;
    ASSERT_TRUE(::GetMenuItemRect(pFrame->m_hWnd, ::GetMenu(pFrame->m_hWnd), 0, &rectItem));
    ::GetWindowRect(pFrame->m_hWndMDIClient, &rectClient);
    auto hit = [&](CPoint pt) {
        return pFrame->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y));
    };
    EXPECT_EQ(hit(rectItem.CenterPoint()), HTMENU);
    EXPECT_EQ(hit(rectClient.CenterPoint()), HTCLIENT);
    EXPECT_TRUE(pFrame->m_rectHighlight.IsRectEmpty());

    pFrame->GetToolBarManager()->SetCustomizing(TRUE);
    EXPECT_EQ(hit(rectItem.CenterPoint()), HTERROR);
    EXPECT_EQ(hit(rectClient.CenterPoint()), HTERROR);
    pFrame->GetToolBarManager()->SetCustomizing(FALSE);
    EXPECT_EQ(hit(rectItem.CenterPoint()), HTMENU);
}

TEST_F(MainFrameTest, TheCloseBoxAsksWhetherToHideOrDeleteUnlessTheOptionIsOff)
{
    CMainFrame* pFrame = CreateMainFrame();
    ASSERT_NE(pFrame, nullptr);
    CChildFrame* pFirst = NewWindow(m_pGraphTemplate, QK_PAGE_GRAPH);
    CChildFrame* pSecond = NewWindow(m_pGraphTemplate, QK_PAGE_GRAPH);
    CChildFrame* pThird = NewWindow(m_pGraphTemplate, QK_PAGE_GRAPH);
    ASSERT_TRUE(pFirst != nullptr && pSecond != nullptr && pThird != nullptr);
    HWND hFirst = pFirst->m_hWnd, hSecond = pSecond->m_hWnd, hThird = pThird->m_hWnd;
    struct Step { HWND hWnd; int button; } steps[] = {{hFirst, IDOK}, {hSecond, 7}, {hThird, IDCANCEL}};
    std::vector<std::string> texts;
    for (const Step& step : steps) {
        qxtest::DialogDriver driver;
        driver.Then([&](HWND dlg) {
            EXPECT_EQ(qxtest::WindowText(dlg), "Attention");
            texts.push_back(qxtest::WindowText(::GetDlgItem(dlg, 1077)));
            qxtest::Click(dlg, step.button);
        });
        driver.Run([&]() -> INT_PTR { return ::SendMessageA(step.hWnd, WM_SYSCOMMAND, SC_CLOSE, 0); });
        EXPECT_EQ(driver.StepsRun(), 1);
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"Do you want to hide or delete 'Graph1'?",
                                                "Do you want to hide or delete 'Graph2'?",
                                                "Do you want to hide or delete 'Graph3'?"}));
    // Hidden, deleted, left as it was.
    auto shown = [](HWND h) { return (::GetWindowLongA(h, GWL_STYLE) & WS_VISIBLE) != 0; };
    EXPECT_TRUE(::IsWindow(hFirst));
    EXPECT_FALSE(shown(hFirst));
    EXPECT_TRUE(pFirst->GetPage()->IsHiddenPEWnd());
    EXPECT_FALSE(::IsWindow(hSecond));
    EXPECT_TRUE(shown(hThird));

    // With the option off the window closes at once.
    qkfxGetQrxSystem().GetRefGraph().SetClosePrompt(FALSE);
    ::SendMessageA(hThird, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(::IsWindow(hThird));
    qkfxGetQrxSystem().GetRefGraph().SetClosePrompt(TRUE);

    // Repeated or maximise-show size types do not count as a change of the window's state.
    CChildFrame* pGraph = NewWindow(m_pGraphTemplate, QK_PAGE_GRAPH);
    ASSERT_NE(pGraph, nullptr);
    struct Case { UINT type; BOOL changed; } cases[] = {
        {SIZE_MINIMIZED, TRUE}, {SIZE_MINIMIZED, FALSE}, {SIZE_MAXSHOW, FALSE}, {SIZE_MAXHIDE, FALSE},
        {SIZE_RESTORED, TRUE}, {SIZE_MAXIMIZED, TRUE},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pGraph->IsWindowStatusChanged(c.type), c.changed) << c.type;
}

TEST_F(MainFrameTest, ToolbarArrangementIsSavedAtCloseAndRestoredAtTheNextStart)
{
    CMainFrame* pFrame = CreateMainFrame();
    ASSERT_NE(pFrame, nullptr);
    // The user shows Graph, hides Standard's choice by hand, drops a button, makes a toolbar.
    pFrame->ShowControlBar(pFrame->GetToolBar(59397), TRUE, FALSE);
    pFrame->ShowControlBar(pFrame->GetToolBar(59401), TRUE, FALSE);
    pFrame->ShowControlBar(pFrame->GetToolBar(59401), FALSE, FALSE);
    EXPECT_FALSE(pFrame->GetToolBar(59401)->GetShowChoice());
    pFrame->GetToolBar(59392)->RemoveButton(0);
    SECCustomToolBar* pMine = pFrame->GetToolBarManager()->CreateUserToolBar("Mine");
    ASSERT_NE(pMine, nullptr);
    pMine->SetButtons(std::vector<UINT>{33249, 0, 34011}.data(), 3);
    pFrame->DockControlBar(pMine, AFX_IDW_DOCKBAR_TOP);
    UINT nMineID = (UINT)pMine->GetDlgCtrlID();
    EXPECT_GT(nMineID, 59423u);
    CloseMainFrame();

    // Where the arrangement went: the program's key, "Toolbars".
    HKEY hKey;
    std::string key = "Software\\" + m_strKey + "\\Toolbars\\Tlb-Summary";
    ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &hKey), ERROR_SUCCESS);
    ::RegCloseKey(hKey);

    pFrame = CreateMainFrame();
    ASSERT_NE(pFrame, nullptr);
    EXPECT_TRUE(pFrame->GetToolBar(59397)->IsVisible());
    EXPECT_TRUE(pFrame->GetToolBar(59397)->GetShowChoice());
    EXPECT_FALSE(pFrame->GetToolBar(59401)->IsVisible());
    EXPECT_FALSE(pFrame->GetToolBar(59401)->GetShowChoice());
    EXPECT_EQ(ButtonsOf(pFrame->GetToolBar(59392)), 2);
    CQUCustomToolBar* pRestored = pFrame->GetToolBar(nMineID);
    ASSERT_NE(pRestored, nullptr);
    CDWordArray ids;
    pRestored->GetButtonIds(ids);
    ASSERT_EQ(ids.GetSize(), 3);
    EXPECT_EQ(ids[0], 33249u);
    EXPECT_EQ(ids[1], 0u);
    EXPECT_EQ(ids[2], 34011u);

    // Toolbars by name, and deleting one takes its saved state along.
    SECToolBarManagerEx* pManager = pFrame->GetToolBarManager();
    EXPECT_TRUE(pManager->TbarExists("mine"));
    EXPECT_FALSE(pManager->TbarIsOpen("Nothing"));
    CString strNames;
    pManager->GetTbarsNames(strNames);
    EXPECT_NE(std::string(strNames).find("Mine, "), std::string::npos);
    EXPECT_EQ(std::string(strNames).substr(strNames.GetLength() - 2), ", ");
    EXPECT_TRUE(pManager->OpenTbar("Layout", TRUE));
    EXPECT_TRUE(pManager->TbarIsOpen("layout"));
    // The state is saved at close, so deleting finds it in the registry.
    EXPECT_TRUE(pManager->DeleteTbar("Mine"));
    EXPECT_FALSE(pManager->TbarExists("Mine"));
}

TEST_F(MainFrameTest, ArrangementKeyAndRegistryWriteTest)
{
    CMainFrame* pFrame = CreateMainFrame();
    ASSERT_NE(pFrame, nullptr);
    // The profile is the test's INI file here.
    EXPECT_FALSE(pFrame->TlbarsArrangementFilePresent());
    EXPECT_TRUE(pFrame->KeyTlbarsArrangement());
    EXPECT_TRUE(pFrame->TlbarsArrangementFilePresent());
    EXPECT_EQ(::GetPrivateProfileIntA("KeyTlbSection", "FileID", 0, m_strProfile.c_str()), 1794946424u);
    EXPECT_TRUE(pFrame->IsRegistryWritable());
    char szValue[16] = "";
    ::GetPrivateProfileStringA("KeyTlbSection", "TestWritable", "gone", szValue, sizeof szValue, m_strProfile.c_str());
    EXPECT_STREQ(szValue, "gone");
}

TEST_F(MainFrameTest, UserButtonTextsComeFromTheirGroupOrStayDefault)
{
    CMainFrame* pFrame = CreateMainFrame();
    ASSERT_NE(pFrame, nullptr);
    // No group owns the id: "My tip", and the status text is left as it was.
    NMTTDISPINFOA info = {};
    info.hdr.code = TTN_NEEDTEXTA;
    info.hdr.idFrom = 48000;
    LRESULT result = 1;
    EXPECT_TRUE(pFrame->OnToolTipText(0, &info.hdr, &result));
    EXPECT_STREQ(info.szText, "My tip");
    EXPECT_EQ(result, 0);
    NMTTDISPINFOW wide = {};
    wide.hdr.code = TTN_NEEDTEXTW;
    wide.hdr.idFrom = 49150;
    EXPECT_TRUE(pFrame->OnToolTipText(0, &wide.hdr, &result));
    EXPECT_STREQ(wide.szText, L"My tip");
    CString strMessage = "unchanged";
    pFrame->GetMessageString(48000, strMessage);
    EXPECT_EQ(std::string(strMessage), "unchanged");
}

} // namespace

namespace {

using ToolBarsPageTest = FramesFixture;

int ItemOf(HWND hList, const char* text)
{
    LVFINDINFOA find = {};
    find.flags = LVFI_STRING;
    find.psz = text;
    return (int)::SendMessageA(hList, LVM_FINDITEMA, (WPARAM)-1, (LPARAM)&find);
}

void SetCheck(HWND hList, int nItem, bool check)
{
    LVITEMA item = {};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(check ? 2 : 1);
    ::SendMessageA(hList, LVM_SETITEMSTATE, nItem, (LPARAM)&item);
}

bool IsItemChecked(HWND hList, int nItem)
{
    return (::SendMessageA(hList, LVM_GETITEMSTATE, nItem, LVIS_STATEIMAGEMASK) >> 12) == 2;
}

TEST_F(ToolBarsPageTest, TheCustomizeSheetShowsHidesMakesAndResetsToolbars)
{
    CMainFrame* pFrame = CreateMainFrame();
    ASSERT_NE(pFrame, nullptr);
    int nItems = 0;
    bool bStandardChecked = false, bCustomizing = false;
    std::string okText, reinitQuestion, reinitAnswer;
    bool bCancelVisible = true, bLargeVisible = true;
    int nAfterNew = 0, nAfterReset = 0;
    qxtest::DialogDriver driver;
    driver.Then([&](HWND sheet) {
        bCustomizing = pFrame->GetToolBarManager()->IsCustomizing() != FALSE;
        okText = qxtest::WindowText(::GetDlgItem(sheet, IDOK));
        bCancelVisible = ::IsWindowVisible(::GetDlgItem(sheet, IDCANCEL)) != FALSE;
        HWND page = (HWND)::SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0);
        HWND list = ::GetDlgItem(page, 43094);
        bLargeVisible = ::IsWindowVisible(::GetDlgItem(page, 43103)) != FALSE;
        nItems = (int)::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
        int nStandard = ItemOf(list, "Standard");
        bStandardChecked = IsItemChecked(list, nStandard);
        SetCheck(list, nStandard, false);
        SetCheck(list, ItemOf(list, "Graph"), true);
        qxtest::Click(page, 43098);   // New..., answered by the next step
        nAfterNew = (int)::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
        LVITEMA item = {};
        item.stateMask = LVIS_SELECTED;
        item.state = LVIS_SELECTED;
        ::SendMessageA(list, LVM_SETITEMSTATE, ItemOf(list, "Mine"), (LPARAM)&item);
        qxtest::Click(page, 43100);   // Reset: a toolbar the user made goes
        nAfterReset = (int)::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
        qxtest::Click(page, 43111);   // Reinitialize
        ::PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
    });
    driver.Then([&](HWND dlg) {
        qxtest::SetText(dlg, 43120, "Mine");
        qxtest::Click(dlg, IDOK);
    });
    driver.Then([&](HWND box) {
        reinitQuestion = qxtest::MessageBoxText(box);
        qxtest::Click(box, IDYES);
    });
    driver.Then([&](HWND box) {
        reinitAnswer = qxtest::MessageBoxText(box);
        qxtest::Click(box, IDOK);
    });
    driver.Run([&]() -> INT_PTR {
        pFrame->SendMessage(WM_COMMAND, MAKEWPARAM(ID_VIEW_SELECT_TOOLBARS, 0), 0);
        return 0;
    });
    EXPECT_EQ(driver.StepsRun(), 4);
    EXPECT_TRUE(bCustomizing);
    EXPECT_FALSE(pFrame->GetToolBarManager()->IsCustomizing());
    EXPECT_EQ(okText, "Close");
    EXPECT_FALSE(bCancelVisible);
    EXPECT_FALSE(bLargeVisible);
    EXPECT_EQ(nItems, 14);
    EXPECT_TRUE(bStandardChecked);
    EXPECT_FALSE(pFrame->GetToolBar(59400)->IsVisible());
    EXPECT_FALSE(pFrame->GetToolBar(59400)->GetShowChoice());
    EXPECT_TRUE(pFrame->GetToolBar(59397)->IsVisible());
    EXPECT_EQ(nAfterNew, 15);
    EXPECT_EQ(nAfterReset, 14);
    EXPECT_FALSE(pFrame->GetToolBarManager()->TbarExists("Mine"));
    EXPECT_EQ(reinitQuestion, "Are you sure you want to reinitialize the toolbars and lose your current toolbar "
                              "configuration?");
    // No default arrangement file beside the settings: nothing is reinitialized.
    EXPECT_EQ(reinitAnswer, "This operation cannot take place since file qtb61.ini is incorrect or missing ");
    EXPECT_EQ(pFrame->GetSaveTbarsRegistry(), 1);
}

TEST_F(ToolBarsPageTest, ReinitializeForgetsTheSavedArrangementWhenTheDefaultFileIsKeyed)
{
    CMainFrame* pFrame = CreateMainFrame();
    ASSERT_NE(pFrame, nullptr);
    CloseMainFrame();   // an arrangement saved in the registry
    std::string key = "Software\\" + m_strKey + "\\Toolbars";
    HKEY hKey;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &hKey), ERROR_SUCCESS);
    ::RegCloseKey(hKey);
    ::WritePrivateProfileStringA("KeyTlbSection", "FileID", "1794946424", (m_strFolder + "qtb61.ini").c_str());

    pFrame = CreateMainFrame();
    ASSERT_NE(pFrame, nullptr);
    std::string answer;
    qxtest::DialogDriver driver;
    driver.Then([&](HWND sheet) {
        HWND page = (HWND)::SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0);
        qxtest::Click(page, 43111);
        ::PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
    });
    std::string question;
    driver.Then([&](HWND box) {
        question = qxtest::MessageBoxText(box);
        qxtest::Click(box, IDYES);
    });
    driver.Then([&](HWND box) {
        answer = qxtest::MessageBoxText(box);
        qxtest::Click(box, IDOK);
    });
    driver.Run([&]() -> INT_PTR {
        pFrame->SendMessage(WM_COMMAND, MAKEWPARAM(ID_VIEW_SELECT_TOOLBARS, 0), 0);
        return 0;
    });
    EXPECT_EQ(driver.StepsRun(), 3) << question;
    EXPECT_EQ(answer, "Reinitialization of the toolbars configuration will only take effect after Quorix has been "
                      "restarted");
    EXPECT_NE(::RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &hKey), ERROR_SUCCESS);
    EXPECT_EQ(pFrame->GetSaveTbarsRegistry(), 0);
    // Closing now does not save the arrangement again.
    CloseMainFrame();
    EXPECT_NE(::RegOpenKeyExA(HKEY_CURRENT_USER, (key + "\\Tlb-Summary").c_str(), 0, KEY_READ, &hKey), ERROR_SUCCESS);
}

} // namespace

namespace {

using WindowListTest = FramesFixture;

TEST_F(WindowListTest, TheWindowsDialogListsClosesAndMinimizesDocumentWindows)
{
    CMainFrame* pFrame = CreateMainFrame();
    ASSERT_NE(pFrame, nullptr);
    ASSERT_NE(NewWindow(m_pGraphTemplate, QK_PAGE_GRAPH), nullptr);
    ASSERT_NE(NewWindow(m_pWksTemplate, QK_PAGE_WKS), nullptr);
    ASSERT_NE(NewWindow(m_pGraphTemplate, QK_PAGE_GRAPH), nullptr);
    std::vector<std::string> rows, sorted;
    int nAfterClose = -1;
    std::string state;
    bool bActivateEnabled = true;
    qxtest::DialogDriver driver;
    driver.Then([&](HWND dlg) {
        HWND list = ::GetDlgItem(dlg, IDC_MW_LIST);
        int n = (int)::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
        auto text = [&](int i, int c) {
            char sz[64] = "";
            LVITEMA item = {};
            item.iSubItem = c;
            item.pszText = sz;
            item.cchTextMax = sizeof sz;
            ::SendMessageA(list, LVM_GETITEMTEXTA, i, (LPARAM)&item);
            return std::string(sz);
        };
        for (int i = 0; i < n; i++)
            rows.push_back(text(i, 0) + "|" + text(i, 1) + "|" + text(i, 2));
        // Sorting by type, then by name descending on the second click.
        NMLISTVIEW nm = {};
        nm.hdr.hwndFrom = list;
        nm.hdr.idFrom = IDC_MW_LIST;
        nm.hdr.code = LVN_COLUMNCLICK;
        nm.iSubItem = 1;
        ::SendMessageA(dlg, WM_NOTIFY, IDC_MW_LIST, (LPARAM)&nm);
        for (int i = 0; i < n; i++)
            sorted.push_back(text(i, 1));
        // Both graphs selected: Activate is for one window only.
        for (int i = 0; i < n; i++) {
            LVITEMA item = {};
            item.stateMask = LVIS_SELECTED;
            item.state = text(i, 1) == "Graph" ? LVIS_SELECTED : 0;
            ::SendMessageA(list, LVM_SETITEMSTATE, i, (LPARAM)&item);
        }
        bActivateEnabled = qxtest::IsEnabled(dlg, IDC_MW_ACTIVATE);
        qxtest::SetCheck(dlg, IDC_MW_NO_PROMPT, true);
        qxtest::Click(dlg, IDC_MW_CLOSE);
        nAfterClose = (int)::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
        LVITEMA item = {};
        item.stateMask = LVIS_SELECTED;
        item.state = LVIS_SELECTED;
        ::SendMessageA(list, LVM_SETITEMSTATE, 0, (LPARAM)&item);
        qxtest::Click(dlg, IDC_MW_MINIMIZE);
        state = text(0, 2);
        qxtest::Click(dlg, IDC_MW_DONE);
    });
    driver.Run([&]() -> INT_PTR {
        pFrame->SendMessage(WM_COMMAND, MAKEWPARAM(0xFF09, 0), 0);
        return 0;
    });
    EXPECT_EQ(driver.StepsRun(), 1);
    EXPECT_EQ(rows, (std::vector<std::string>{"Data1|Worksheet|Normal", "Graph1|Graph|Normal", "Graph2|Graph|Normal"}));
    EXPECT_EQ(sorted, (std::vector<std::string>{"Graph", "Graph", "Worksheet"}));
    EXPECT_FALSE(bActivateEnabled);
    // Closed without the hide-or-delete question, and the prompt is on again afterwards.
    EXPECT_EQ(nAfterClose, 1);
    EXPECT_TRUE(qkfxGetQrxSystem().GetRefGraph().GetClosePrompt());
    EXPECT_TRUE(qkfxGetQrxSystem().GetRefGraph().GetLayoutClosePrompt());
    EXPECT_EQ(state, "Minimized");
}

} // namespace

namespace {

using RotationAngleTest = FramesFixture;

TEST_F(RotationAngleTest, TheAngleBoxSetsTheScriptVariable)
{
    CMainFrame* pFrame = CreateMainFrame();
    ASSERT_NE(pFrame, nullptr);
    CQUCustomToolBar* pBar = pFrame->GetToolBar(59409);
    ASSERT_NE(pBar, nullptr);
    HWND hCombo = ::GetDlgItem(pBar->m_hWnd, 622);
    ASSERT_NE(hCombo, nullptr);
    EXPECT_EQ(::SendMessageA(hCombo, CB_GETCOUNT, 0, 0), 7);
    EXPECT_EQ(qxtest::WindowText(hCombo), "10");
    auto angle = [] {
        double value = -1;
        CQKCString::FindQuorixNumericVariable("ROTANGLE3D", &value);
        return value;
    };
    auto notify = [&](UINT code) {
        ::SendMessageA(pBar->m_hWnd, WM_COMMAND, MAKEWPARAM(622, code), (LPARAM)hCombo);
    };
    ::SendMessageA(hCombo, CB_SETCURSEL, 5, 0);   // "45"
    notify(CBN_SELCHANGE);
    EXPECT_EQ(angle(), 45);
    // An entry that reads as 0 sets 0 and puts "10" back in the box.
    int nZero = (int)::SendMessageA(hCombo, CB_ADDSTRING, 0, (LPARAM) "0");
    ::SendMessageA(hCombo, CB_SETCURSEL, nZero, 0);
    notify(CBN_SELCHANGE);
    EXPECT_EQ(angle(), 0);
    EXPECT_EQ(qxtest::WindowText(hCombo), "10");
    // Typed: a negative angle empties the box and sets 0.
    ::SetWindowTextA(hCombo, "-5");
    notify(CBN_EDITCHANGE);
    EXPECT_EQ(angle(), 0);
    EXPECT_EQ(qxtest::WindowText(hCombo), "");
    ::SetWindowTextA(hCombo, "30");
    notify(CBN_EDITCHANGE);
    EXPECT_EQ(angle(), 30);
}

} // namespace
