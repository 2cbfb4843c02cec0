// The main frame with its MDI client, status bar, dock bars, default toolbars, Results Log
// and spacer; child frames of each window kind switching the toolbars; the toolbar
// arrangement saved at close and restored at the next creation.
#include <gtest/gtest.h>

#include <qxtest/DialogDriver.h>
#include <commctrl.h>

#include <functional>
#include <set>

#include "FrameHost.h"
#include "FramesFixture.h"
#include "FramesResource.h"
#include "QKCallLog.h"
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
        // Only the Tools toolbar carries a tool box, which opens the tools' options.
        CQUCustomTools* pTools = DYNAMIC_DOWNCAST(CQUCustomTools, pBar);
        EXPECT_EQ(pTools != nullptr, t.nID == 59401) << t.title;
        if (pTools != nullptr)
            EXPECT_NE(pTools->GetToolBox(), nullptr);
    }
    EXPECT_EQ(pFrame->GetToolBar(12345), nullptr);

    CQUOutputLog* pLog = pFrame->GetOutputLog();
    ASSERT_NE(pLog->m_hWnd, nullptr);
    CString strLog;
    pLog->GetWindowText(strLog);
    EXPECT_EQ(std::string(strLog), "Results Log");
    EXPECT_EQ(pLog->GetDlgCtrlID(), IDS_RESULTS_LOG);
    // Its text fills it from the start, before the bar is ever sized again.
    CRect rectLog, rectEdit;
    pLog->GetClientRect(&rectLog);
    HWND hEdit = ::GetDlgItem(pLog->m_hWnd, 1);
    ASSERT_NE(hEdit, nullptr);
    ::GetWindowRect(hEdit, &rectEdit);
    pLog->ScreenToClient(&rectEdit);
    rectLog.DeflateRect(2, 2);
    EXPECT_EQ(rectEdit, rectLog);
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
// does, HTERROR while the toolbars are being customised, and leaves the menu bar's items
// without the raised look of the frame's own (the menu stands on the menu bar, a bar in
// the frame's client area, not on the frame).
TEST_F(MainFrameTest, TheHitTestAnswersOverTheMenuBarAndClientWithoutCallingItself)
{
    CMainFrame* pFrame = CreateMainFrame();
    ASSERT_NE(pFrame, nullptr);
    pFrame->ShowWindow(SW_SHOWNA);
    pFrame->RecalcLayout();
    EXPECT_EQ(::GetMenu(pFrame->m_hWnd), nullptr);
    ASSERT_NE(SECGetFrameMenu(pFrame->m_hWnd), nullptr);
    CRect rectItem, rectClient;
    ASSERT_TRUE(SECGetFrameMenuItemRect(pFrame->m_hWnd, 0, &rectItem));
    ::GetWindowRect(pFrame->m_hWndMDIClient, &rectClient);
    auto hit = [&](CPoint pt) {
        return pFrame->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y));
    };
    EXPECT_EQ(hit(rectItem.CenterPoint()), HTCLIENT);
    EXPECT_EQ(hit(rectClient.CenterPoint()), HTCLIENT);
    EXPECT_TRUE(pFrame->m_rectHighlight.IsRectEmpty());

    pFrame->GetToolBarManager()->SetCustomizing(TRUE);
    EXPECT_EQ(hit(rectItem.CenterPoint()), HTERROR);
    EXPECT_EQ(hit(rectClient.CenterPoint()), HTERROR);
    pFrame->GetToolBarManager()->SetCustomizing(FALSE);
    EXPECT_EQ(hit(rectItem.CenterPoint()), HTCLIENT);
}

TEST_F(MainFrameTest, TheCloseBoxAsksWhetherToHideOrDelete)
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

// The option of each kind as the Options page stores it: 0 hides the window without asking,
// 1 asks, 2 deletes it without asking.
TEST_F(MainFrameTest, TheCloseBoxFollowsTheCloseOptionOfTheWindowsKind)
{
    CMainFrame* pFrame = CreateMainFrame();
    ASSERT_NE(pFrame, nullptr);
    QKSysMethodWks& wks = qkfxGetQrxSystem().GetRefWks();
    QKSysMethodGraph& graph = qkfxGetQrxSystem().GetRefGraph();
    QKSysMethodNotes& notes = qkfxGetQrxSystem().GetRefNotes();
    struct Kind {
        CMultiDocTemplate* pTemplate;
        QKPageType type;
        std::function<void(int)> set;
    } kinds[] = {
        {m_pWksTemplate, QK_PAGE_WKS, [&](int v) { wks.SetClosePrompt(v); }},
        {m_pGraphTemplate, QK_PAGE_GRAPH, [&](int v) { graph.SetClosePrompt(v); }},
        {m_pNotesTemplate, QK_PAGE_NOTES, [&](int v) { notes.SetClosePrompt(v); }},
    };
    enum Outcome { HIDDEN, ASKED, DELETED };
    struct Case { int setting; Outcome outcome; } cases[] = {{0, HIDDEN}, {1, ASKED}, {2, DELETED}};
    for (const Kind& kind : kinds)
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << "kind " << kind.type << ", setting " << c.setting);
            kind.set(c.setting);
            CChildFrame* pChild = NewWindow(kind.pTemplate, kind.type);
            ASSERT_NE(pChild, nullptr);
            HWND hWnd = pChild->m_hWnd;
            CQKPage* pPage = pChild->GetPage();
            qxtest::DialogDriver driver;
            if (c.outcome == ASKED)
                driver.Then([](HWND dlg) { qxtest::Click(dlg, IDCANCEL); });
            driver.Run([&]() -> INT_PTR { return ::SendMessageA(hWnd, WM_SYSCOMMAND, SC_CLOSE, 0); });
            EXPECT_EQ(driver.StepsRun(), c.outcome == ASKED ? 1 : 0);
            EXPECT_EQ(::IsWindow(hWnd) != FALSE, c.outcome != DELETED);
            auto shown = [](HWND h) { return (::GetWindowLongA(h, GWL_STYLE) & WS_VISIBLE) != 0; };
            if (c.outcome == HIDDEN) {
                EXPECT_FALSE(shown(hWnd));
                EXPECT_TRUE(pPage->IsHiddenPEWnd());
            }
            if (c.outcome == ASKED)
                EXPECT_TRUE(shown(hWnd)) << "cancelled: left as it was";
            kind.set(1);
        }
}

// Closing the program, or ending the session, asks about a modified project: No closes it
// without saving, Cancel keeps everything open, and Yes says that projects cannot be
// saved yet and keeps everything open too.
TEST_F(MainFrameTest, ClosingTheProgramAsksWhetherToSaveAModifiedProject)
{
    struct Case {
        UINT message;
        std::vector<int> buttons;
        bool closed;
    } cases[] = {
        {WM_CLOSE, {IDCANCEL}, false},
        {WM_CLOSE, {IDYES, IDOK}, false},
        {WM_QUERYENDSESSION, {IDCANCEL}, false},
        {WM_CLOSE, {IDNO}, true},
        {WM_QUERYENDSESSION, {IDNO}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.message << " " << c.buttons[0]);
        CMainFrame* pFrame = CreateMainFrame();
        ASSERT_NE(pFrame, nullptr);
        HWND hFrame = pFrame->m_hWnd;
        CChildFrame* pChild = NewWindow(m_pWksTemplate, QK_PAGE_WKS);
        ASSERT_NE(pChild, nullptr);
        HWND hChild = pChild->m_hWnd;
        ASSERT_TRUE(qkfxGetProject().IsModified());
        // Lines typed in the script window stay when the program stays.
        CQKScriptWindow* pScript = qkfxGetAccess()->GetScriptWindow();
        pScript->OnMainFrameOpen(hFrame);
        ASSERT_TRUE(pScript->Show(true));
        ::SetWindowTextA(pScript->GetEditHwnd(), "typed = 1");
        std::vector<std::string> texts;
        qxtest::DialogDriver driver;
        for (int button : c.buttons)
            driver.Then([&texts, button](HWND box) {
                texts.push_back(qxtest::MessageBoxText(box));
                qxtest::Click(box, button);
            });
        LRESULT lResult = driver.Run([&]() -> INT_PTR { return ::SendMessageA(hFrame, c.message, 0, 0); });
        EXPECT_EQ(pScript->GetHwnd() != nullptr, !c.closed);
        if (!c.closed)
            EXPECT_EQ(qxtest::WindowText(pScript->GetEditHwnd()), "typed = 1");
        EXPECT_EQ(driver.StepsRun(), (int)c.buttons.size());
        ASSERT_FALSE(texts.empty());
        EXPECT_EQ(texts[0], "Save changes to the project?");
        if (c.message == WM_QUERYENDSESSION)
            EXPECT_EQ(lResult != 0, c.closed);
        EXPECT_EQ(::IsWindow(hFrame) == FALSE, c.closed);
        EXPECT_EQ(::IsWindow(hChild) == FALSE, c.closed);
        EXPECT_EQ(qkfxGetProject().GetNumPages(), c.closed ? 0 : 1);
        if (c.closed) {
            m_pApp->m_pMainWnd = nullptr;
            MSG msg;
            while (::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
                ;
        } else {
            EXPECT_TRUE(qkfxGetProject().IsModified());
            CloseMainFrame();
        }
    }
}

// The frame's commands, user messages and timers pass the kernel; status texts take the
// kernel's substitutions.
TEST_F(MainFrameTest, CommandsMessagesAndStatusTextsGoThroughTheKernel)
{
    struct Kernel : CQKAccess {
        std::vector<std::string> calls;
        UINT nVeto = 0;
        int OnCommandBegin(WPARAM wParam, LPARAM lParam) override
        {
            calls.push_back("begin " + std::to_string(LOWORD(wParam)));
            CQKAccess::OnCommandBegin(wParam, lParam);
            return LOWORD(wParam) != nVeto;
        }
        void OnCommandEnd(WPARAM wParam, LPARAM lParam) override
        {
            calls.push_back("end " + std::to_string(LOWORD(wParam)));
            CQKAccess::OnCommandEnd(wParam, lParam);
        }
    } kernel;
    CMainFrame* pFrame = CreateMainFrame();
    ASSERT_NE(pFrame, nullptr);
    ASSERT_NE(NewWindow(m_pGraphTemplate, QK_PAGE_GRAPH), nullptr);
    for (UINT nVeto : {0u, (UINT)ID_WINDOW_MORE}) {
        kernel.nVeto = nVeto;
        kernel.calls.clear();
        qxtest::DialogDriver driver;
        driver.Then([&](HWND dlg) {
            kernel.calls.push_back("dialog during " + std::to_string(kernel.GetCurrentCommand()));
            qxtest::Click(dlg, IDC_MW_DONE);
        });
        driver.Run([&]() -> INT_PTR { return pFrame->SendMessage(WM_COMMAND, ID_WINDOW_MORE, 0); });
        std::string id = std::to_string(ID_WINDOW_MORE);
        if (nVeto == 0)
            EXPECT_EQ(kernel.calls, (std::vector<std::string>{"begin " + id, "dialog during " + id, "end " + id}));
        else
            EXPECT_EQ(kernel.calls, (std::vector<std::string>{"begin " + id, "end " + id})) << "held back";
        EXPECT_EQ(kernel.GetCurrentCommand(), 0u);
    }

    qkfxGetCallLog().Clear();
    const char* script = "framehookvar = 3";
    EXPECT_EQ(pFrame->SendMessage(WM_USER, 0, (LPARAM)script), 0);
    double value = 0;
    EXPECT_TRUE(CQKCString::FindQuorixNumericVariable("framehookvar", &value));
    EXPECT_EQ(value, 3);
    pFrame->SendMessage(WM_TIMER, 77, 0);
    EXPECT_NE(qkfxGetCallLog().Find("CQKAccess::WMUserProcessing"), -1);

    CString strText;
    pFrame->GetMessageString(IDS_TEST_STATUS_ACTIVE, strText);
    EXPECT_EQ(std::string(strText), "Close Graph1");
    CloseMainFrame();
}

// The system's notices of printer changes reach the application: a device's settings
// without choosing the printer again, the "windows" section with it, others not at all.
TEST_F(MainFrameTest, PrinterChangeNoticesReachTheApplication)
{
    struct Host : CQUProfileFrameHost {
        std::vector<int> notices;
        void NotifyPrinterChanged(BOOL bUpdateSelection) override { notices.push_back(bUpdateSelection ? 1 : 0); }
    } host;
    CQUFrameHost* previous = QUGetFrameHost();
    QUSetFrameHost(&host);
    CMainFrame* pFrame = CreateMainFrame();
    ASSERT_NE(pFrame, nullptr);
    char device[] = "QuorixFile";
    pFrame->SendMessage(WM_DEVMODECHANGE, 0, (LPARAM)device);
    pFrame->SendMessage(WM_WININICHANGE, 0, (LPARAM) "Windows");
    pFrame->SendMessage(WM_WININICHANGE, 0, (LPARAM) "intl");
    pFrame->SendMessage(WM_SETTINGCHANGE, 0, 0);
    EXPECT_EQ(host.notices, (std::vector<int>{0, 1}));
    CloseMainFrame();
    QUSetFrameHost(previous);
}

// Ctrl+F6 goes through the windows in the order of the project's pages, passing over the
// hidden ones, and Ctrl+Shift+F6 back; a new window takes the place the kernel has for it
// unless its caption would not show.
TEST_F(MainFrameTest, WindowsCycleInTheProjectsOrderAndTakeTheKernelsPlace)
{
    CMainFrame* pFrame = CreateMainFrame();
    ASSERT_NE(pFrame, nullptr);
    pFrame->ShowWindow(SW_SHOW);
    CChildFrame* pChildren[] = {NewWindow(m_pWksTemplate, QK_PAGE_WKS), NewWindow(m_pGraphTemplate, QK_PAGE_GRAPH),
                                NewWindow(m_pGraphTemplate, QK_PAGE_GRAPH), NewWindow(m_pNotesTemplate, QK_PAGE_NOTES)};
    for (CChildFrame* p : pChildren)
        ASSERT_NE(p, nullptr);
    qkfxGetQrxSystem().GetRefGraph().SetClosePrompt(0);
    pChildren[2]->SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0); // hidden
    qkfxGetQrxSystem().GetRefGraph().SetClosePrompt(1);
    auto activeName = [&]() {
        CChildFrame* pActive = pFrame->get_active_childframe(nullptr);
        return pActive != nullptr && pActive->GetPage() != nullptr ? pActive->GetPage()->GetName() : std::string();
    };
    pChildren[0]->Activate();
    std::vector<std::string> order;
    for (int i = 0; i < 4; i++) {
        pFrame->get_active_childframe(nullptr)->SendMessage(WM_SYSCOMMAND, SC_NEXTWINDOW, 0);
        order.push_back(activeName());
    }
    pFrame->get_active_childframe(nullptr)->SendMessage(WM_SYSCOMMAND, SC_PREVWINDOW, 0);
    order.push_back(activeName());
    EXPECT_EQ(order, (std::vector<std::string>{"Graph1", "Notes1", "Data1", "Graph1", "Data1"}));
    // The frame's own turn: without a script window the frame is activated and focused
    // (the framework hands its focus on to the active window).
    ::SetFocus(nullptr);
    pFrame->SendMessage(WM_SYSCOMMAND, SC_NEXTWINDOW, 0);
    EXPECT_EQ(::GetActiveWindow(), pFrame->m_hWnd);
    EXPECT_TRUE(::GetFocus() == pFrame->m_hWnd || ::IsChild(pFrame->m_hWnd, ::GetFocus()));

    CRect rectClient;
    ::GetClientRect(pFrame->m_hWndMDIClient, &rectClient);
    struct Case { RECT rect; bool kept; } cases[] = {
        {{30, 40, 330, 240}, true},
        {{rectClient.right + 50, 40, rectClient.right + 350, 240}, false},
    };
    for (const Case& c : cases) {
        qkfxGetProject().SetWinCreateInfo(c.rect, FALSE);
        CChildFrame* pChild = NewWindow(m_pGraphTemplate, QK_PAGE_GRAPH);
        ASSERT_NE(pChild, nullptr);
        CRect rect;
        pChild->GetWindowRect(&rect);
        ::MapWindowPoints(nullptr, pFrame->m_hWndMDIClient, (POINT*)&rect, 2);
        EXPECT_EQ(rect.Width(), 300);
        EXPECT_EQ(rect.Height(), 200);
        if (c.kept)
            EXPECT_EQ(rect.TopLeft(), CPoint(30, 40));
        else
            EXPECT_LT(rect.left, rectClient.right) << "the caption shows";
    }
    CloseMainFrame();
}

namespace {

// The items of each pop-up menu that opens while the hook is set; the menu is ended at once.
std::vector<std::vector<UINT>> g_menusShown;

void CALLBACK EndMenuSoon(HWND, UINT, UINT_PTR nID, DWORD)
{
    ::KillTimer(nullptr, nID);
    ::EndMenu();
}

LRESULT CALLBACK WatchMenus(int nCode, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT* pMsg = (const CWPSTRUCT*)lParam;
    if (nCode == HC_ACTION && pMsg->message == WM_INITMENUPOPUP) {
        HMENU hMenu = (HMENU)pMsg->wParam;
        std::vector<UINT> items;
        for (int i = 0; i < ::GetMenuItemCount(hMenu); i++)
            items.push_back(::GetMenuItemID(hMenu, i));
        g_menusShown.push_back(items);
        ::SetTimer(nullptr, 0, 1, EndMenuSoon);
    }
    return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
}

} // namespace

// A right click on a window's caption (or on the frame's, for a maximised window) brings up
// the window's title menu, owned by the main window.
TEST_F(MainFrameTest, TheCaptionOfAWindowBringsUpItsTitleMenu)
{
    CMainFrame* pFrame = CreateMainFrame();
    ASSERT_NE(pFrame, nullptr);
    pFrame->ShowWindow(SW_SHOW);
    CChildFrame* pChild = NewWindow(m_pGraphTemplate, QK_PAGE_GRAPH);
    ASSERT_NE(pChild, nullptr);
    HHOOK hHook = ::SetWindowsHookExA(WH_CALLWNDPROC, WatchMenus, nullptr, ::GetCurrentThreadId());
    struct Case { bool toMainFrame; bool maximised; UINT hitTest; bool menu; } cases[] = {
        {false, false, HTCAPTION, true},
        {false, false, HTBORDER, false},
        {true, true, HTCAPTION, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.toMainFrame << c.maximised << c.hitTest);
        if (c.maximised)
            pFrame->MDIMaximize(pChild);
        g_menusShown.clear();
        CRect rect;
        pChild->GetWindowRect(&rect);
        HWND hTarget = c.toMainFrame ? pFrame->m_hWnd : pChild->m_hWnd;
        ::SendMessageA(hTarget, WM_NCRBUTTONDOWN, c.hitTest, MAKELPARAM(rect.left + 20, rect.top + 5));
        ASSERT_EQ(g_menusShown.size(), c.menu ? 1u : 0u);
        if (c.menu)
            EXPECT_EQ(g_menusShown[0], (std::vector<UINT>{34012, 57607, 33051, 33120, 33052, 34051, 34016, 32993}));
    }
    ::UnhookWindowsHookEx(hHook);
    CloseMainFrame();
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
        for (int i = 0; i < n; i++) {
            LVITEMA item = {};
            item.mask = LVIF_IMAGE;
            item.iItem = i;
            ::SendMessageA(list, LVM_GETITEMA, 0, (LPARAM)&item);
            rows.push_back(text(i, 0) + "|" + text(i, 1) + "|" + text(i, 2) + "|" + std::to_string(item.iImage));
        }
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
    EXPECT_EQ(rows, (std::vector<std::string>{"Data1|Worksheet|Normal|0", "Graph1|Graph|Normal|1", "Graph2|Graph|Normal|1"}));
    EXPECT_EQ(sorted, (std::vector<std::string>{"Graph", "Graph", "Worksheet"}));
    EXPECT_FALSE(bActivateEnabled);
    // Closed without the hide-or-delete question, and the prompt is on again afterwards.
    EXPECT_EQ(nAfterClose, 1);
    EXPECT_EQ(qkfxGetQrxSystem().GetRefGraph().GetClosePrompt(), 1);
    EXPECT_EQ(qkfxGetQrxSystem().GetRefGraph().GetLayoutClosePrompt(), 1);
    EXPECT_EQ(state, "Minimized");
}

// "Disable Close Prompt": the kinds that would ask (1) delete without asking (2) during the
// walk, those that hide (0) keep hiding, and every option gets back exactly its old value,
// also when a window refuses to close halfway through.
TEST_F(WindowListTest, TheWalkWithoutPromptsRestoresEveryCloseOption)
{
    CMainFrame* pFrame = CreateMainFrame();
    ASSERT_NE(pFrame, nullptr);
    CQKQrxSystem& system = qkfxGetQrxSystem();
    QKSysMethodWks& wks = system.GetRefWks();
    QKSysMethodGraph& graph = system.GetRefGraph();
    QKSysMethodNotes& notes = system.GetRefNotes();
    auto options = [&]() {
        return std::vector<int>{wks.GetClosePrompt(), wks.GetMatrixClosePrompt(), wks.GetExcelClosePrompt(),
                                graph.GetClosePrompt(), graph.GetLayoutClosePrompt(), notes.GetClosePrompt()};
    };
    wks.SetClosePrompt(1);
    wks.SetMatrixClosePrompt(0);
    wks.SetExcelClosePrompt(1);
    graph.SetClosePrompt(0);
    graph.SetLayoutClosePrompt(2);
    notes.SetClosePrompt(1);
    const std::vector<int> before = options();

    CChildFrame* pWks = NewWindow(m_pWksTemplate, QK_PAGE_WKS);
    CChildFrame* pRefusing = NewWindow(m_pNotesTemplate, QK_PAGE_NOTES);
    CChildFrame* pGraph = NewWindow(m_pGraphTemplate, QK_PAGE_GRAPH);
    CChildFrame* pNotes = NewWindow(m_pNotesTemplate, QK_PAGE_NOTES);
    ASSERT_TRUE(pWks && pRefusing && pGraph && pNotes);
    HWND hWks = pWks->m_hWnd, hRefusing = pRefusing->m_hWnd, hGraph = pGraph->m_hWnd, hNotes = pNotes->m_hWnd;
    std::vector<int> during;
    CTestDoc* pRefusingDoc = (CTestDoc*)pRefusing->GetActiveDocument();
    pRefusingDoc->m_canClose = [&]() {
        during = options();
        return FALSE;
    };
    int nLeft = -1;
    qxtest::DialogDriver driver;
    driver.Then([&](HWND dlg) {
        HWND list = ::GetDlgItem(dlg, IDC_MW_LIST);
        int n = (int)::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
        for (int i = 0; i < n; i++) {
            LVITEMA item = {};
            item.stateMask = LVIS_SELECTED;
            item.state = LVIS_SELECTED;
            ::SendMessageA(list, LVM_SETITEMSTATE, i, (LPARAM)&item);
        }
        qxtest::SetCheck(dlg, IDC_MW_NO_PROMPT, true);
        qxtest::Click(dlg, IDC_MW_CLOSE);
        nLeft = (int)::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
        qxtest::Click(dlg, IDC_MW_DONE);
    });
    driver.Run([&]() -> INT_PTR { return pFrame->SendMessage(WM_COMMAND, ID_WINDOW_MORE, 0); });
    EXPECT_EQ(driver.StepsRun(), 1) << "no hide-or-delete question";
    EXPECT_EQ(during, (std::vector<int>{2, 0, 2, 0, 2, 2}));
    EXPECT_EQ(options(), before);
    auto shown = [](HWND h) { return (::GetWindowLongA(h, GWL_STYLE) & WS_VISIBLE) != 0; };
    EXPECT_FALSE(::IsWindow(hWks));
    EXPECT_TRUE(::IsWindow(hRefusing) && shown(hRefusing)) << "it refused";
    EXPECT_TRUE(::IsWindow(hGraph) && !shown(hGraph)) << "graphs hide without asking";
    EXPECT_FALSE(::IsWindow(hNotes));
    EXPECT_EQ(nLeft, 2);

    pRefusingDoc->m_canClose = nullptr;
    for (QKSysMethodWks* p : {&wks})
        p->SetClosePrompt(1), p->SetMatrixClosePrompt(1), p->SetExcelClosePrompt(1);
    graph.SetClosePrompt(1);
    graph.SetLayoutClosePrompt(1);
    CloseMainFrame();
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

// A toolbar button's tip is the second line of its command string, asked of the frame
// through the toolbar as the toolbar's own tooltip asks.
TEST_F(MainFrameTest, ToolbarTipsAreTheCommandStringsTooltipLines)
{
    CMainFrame* pFrame = CreateMainFrame();
    struct Case
    {
        UINT nBar, nCommand;
        const char* tip;
    } cases[] = {
        {59400, 34011, "New Project"},
        {59400, 33996, "Open"},
        {59404, 33249, "Line"},
        {59402, 36433, "Set column values"},
        {59406, 35500, "Group"},
        {59403, 38757, "Set as X"},
        {59403, 38772, "Move Right"},
        {59401, 34976, "Pointer"},
        {59401, 34981, "Data Selector"},
    };
    for (const Case& c : cases) {
        CQUCustomToolBar* pBar = pFrame->GetToolBar(c.nBar);
        ASSERT_NE(nullptr, pBar) << c.nBar;
        HWND hTip = (HWND)::SendMessageA(pBar->m_hWnd, TB_GETTOOLTIPS, 0, 0);
        ASSERT_NE(nullptr, hTip) << c.nBar;
        EXPECT_GE(::SendMessageA(pBar->m_hWnd, TB_COMMANDTOINDEX, c.nCommand, 0), 0) << c.nCommand;
        for (UINT code : {(UINT)TTN_GETDISPINFOA, (UINT)TTN_GETDISPINFOW}) {
            std::string text;
            if (code == TTN_GETDISPINFOA) {
                NMTTDISPINFOA info = {};
                info.hdr = {hTip, c.nCommand, code};
                ::SendMessageA(pBar->m_hWnd, WM_NOTIFY, c.nCommand, (LPARAM)&info);
                text = info.lpszText && info.lpszText != LPSTR_TEXTCALLBACKA ? info.lpszText : info.szText;
            } else {
                NMTTDISPINFOW info = {};
                info.hdr = {hTip, c.nCommand, code};
                ::SendMessageW(pBar->m_hWnd, WM_NOTIFY, c.nCommand, (LPARAM)&info);
                const wchar_t* w = info.lpszText && info.lpszText != LPSTR_TEXTCALLBACKW ? info.lpszText : info.szText;
                char sz[100] = "";
                ::WideCharToMultiByte(CP_ACP, 0, w, -1, sz, sizeof sz, nullptr, nullptr);
                text = sz;
            }
            EXPECT_EQ(c.tip, text) << c.nCommand << " " << (code == TTN_GETDISPINFOA ? "A" : "W");
        }
    }
    pFrame->DestroyWindow();
}

// When the system's button colours change, every toolbar draws from pictures loaded again
// in the new colours; none keeps a picture the store has let go.
TEST_F(MainFrameTest, AColourChangeLoadsTheToolbarPicturesAgain)
{
    CMainFrame* pFrame = CreateMainFrame();
    SECToolBarManagerEx* pManager = pFrame->GetToolBarManager();
    CQUCustomToolBar* pBar = pFrame->GetToolBar(59400);
    ASSERT_NE(nullptr, pBar);
    HBITMAP hOld = pManager->GetBitmapOfFirstId(34011);
    ASSERT_NE(nullptr, hOld);
    int nButtons = (int)::SendMessageA(pBar->m_hWnd, TB_BUTTONCOUNT, 0, 0);

    pBar->SendMessage(WM_SYSCOLORCHANGE);

    HBITMAP hNew = pManager->GetBitmapOfFirstId(34011);
    ASSERT_NE(nullptr, hNew);
    EXPECT_NE(hOld, hNew);
    EXPECT_EQ(0, ::GetObjectA(hOld, sizeof(BITMAP), nullptr)) << "the old picture is deleted";
    for (UINT nID : {34011u, 33996u, 34048u}) {
        SECToolBarManager::ImageRef ref;
        ASSERT_TRUE(pManager->LookupImage(nID, ref)) << nID;
        EXPECT_EQ(ref.hbm, hNew) << nID;
    }
    // The face of the first picture is the system's button colour.
    HDC hdc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ hPrev = ::SelectObject(hdc, hNew);
    EXPECT_EQ(::GetSysColor(COLOR_BTNFACE), ::GetPixel(hdc, 0, 0));
    ::SelectObject(hdc, hPrev);
    ::DeleteDC(hdc);
    ASSERT_EQ(nButtons, (int)::SendMessageA(pBar->m_hWnd, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < nButtons; i++) {
        TBBUTTON button = {};
        ::SendMessageA(pBar->m_hWnd, TB_GETBUTTON, i, (LPARAM)&button);
        if (!(button.fsStyle & TBSTYLE_SEP))
            EXPECT_NE(I_IMAGENONE, button.iBitmap) << i;
    }
    pFrame->DestroyWindow();
}

// The menu stands on the menu bar: each page window's kind brings its menu there when it
// is activated, the frame's own menu comes back with no page window, and the access keys of
// the bar's items are taken ahead of the accelerators (only those the menu has).
TEST_F(MainFrameTest, TheMenuBarShowsTheActiveWindowsMenuAndTakesItsAccessKeys)
{
    CMainFrame* pFrame = CreateMainFrame();
    ASSERT_NE(pFrame, nullptr);
    pFrame->ShowWindow(SW_SHOWNA);
    SECMenuBar* pBar = DYNAMIC_DOWNCAST(SECMenuBar, pFrame->GetControlBar(SEC_IDW_MENUBAR));
    ASSERT_NE(pBar, nullptr);
    HMENU hOwn = pBar->GetMenu();
    ASSERT_NE(hOwn, nullptr);
    EXPECT_EQ(::GetMenu(pFrame->m_hWnd), nullptr);

    CChildFrame* pGraph = NewWindow(m_pGraphTemplate, QK_PAGE_GRAPH);
    CChildFrame* pWks = NewWindow(m_pWksTemplate, QK_PAGE_WKS);
    ASSERT_TRUE(pGraph != nullptr && pWks != nullptr);
    EXPECT_EQ(pBar->GetMenu(), m_pWksTemplate->m_hMenuShared);
    pGraph->MDIActivate();
    EXPECT_EQ(pBar->GetMenu(), m_pGraphTemplate->m_hMenuShared);
    EXPECT_EQ(SECGetFrameMenu(pFrame->m_hWnd), m_pGraphTemplate->m_hMenuShared);
    EXPECT_EQ(::GetMenu(pFrame->m_hWnd), nullptr) << "the frame shows no second menu";
    RECT rect;
    for (int i = 0; i < pBar->GetItemCount(); i++)
        EXPECT_TRUE(pBar->GetItemRect(i, &rect)) << i;

    pGraph->MDIDestroy();
    pWks->MDIDestroy();
    hOwn = pBar->GetMenu();
    ASSERT_NE(hOwn, nullptr);
    EXPECT_NE(hOwn, m_pWksTemplate->m_hMenuShared) << "no page window, no page window's menu";
    EXPECT_NE(hOwn, m_pGraphTemplate->m_hMenuShared);

    // The access key of the first item ("&File") opens it; a letter no item has is left
    // to the system.
    char szFirst[64] = "";
    ::GetMenuStringA(hOwn, 0, szFirst, sizeof szFirst, MF_BYPOSITION);
    const char* pAmp = strchr(szFirst, '&');
    ASSERT_NE(pAmp, nullptr) << szFirst;
    MSG open = {pFrame->m_hWnd, WM_SYSCHAR, (WPARAM)(BYTE)tolower(pAmp[1]), 0};
    EXPECT_TRUE(pFrame->PreTranslateMessage(&open));
    MSG none = {pFrame->m_hWnd, WM_SYSCHAR, (WPARAM)'\x01', 0};
    EXPECT_FALSE(pFrame->PreTranslateMessage(&none));
    // The posted opening is not run here: it would wait in the drop-down's loop.
    MSG msg;
    while (::PeekMessageA(&msg, pBar->m_hWnd, 0, 0, PM_REMOVE)) {
    }
}
