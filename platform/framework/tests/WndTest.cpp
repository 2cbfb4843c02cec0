// Windows with message maps: dispatch, ranges, notifications, reflection, the handle map,
// command update and the application's idle loop and profile.
#include <afxwin.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

const UINT WM_APP_PING = WM_APP + 5;
const UINT WM_BARNOTIFY = ::RegisterWindowMessageA("WM_BARNOTIFY");

// An edit control that handles its own change notification.
class CSelfWatchingEdit : public CEdit
{
public:
    int m_nChanges = 0;
protected:
    afx_msg void OnChange() { m_nChanges++; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CSelfWatchingEdit, CEdit)
    ON_CONTROL_REFLECT(EN_CHANGE, OnChange)
END_MESSAGE_MAP()

class CBaseWnd : public CWnd
{
public:
    std::vector<std::string> m_log;
    void Log(const char* what, UINT n = 0)
    {
        char sz[64];
        snprintf(sz, sizeof sz, "%s %u", what, n);
        m_log.push_back(sz);
    }
protected:
    afx_msg void OnCommandFromBase() { Log("base command"); }
    afx_msg LRESULT OnPing(WPARAM w, LPARAM) { Log("base ping", (UINT)w); return 1; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseWnd, CWnd)
    ON_COMMAND(300, OnCommandFromBase)
    ON_MESSAGE(WM_APP_PING, OnPing)
END_MESSAGE_MAP()

class CTestWnd : public CBaseWnd
{
public:
    CSelfWatchingEdit m_edit;
    BOOL m_bSecondEnabled = FALSE;
protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpcs)
    {
        Log("create");
        if (CWnd::OnCreate(lpcs) == -1)
            return -1;
        m_edit.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 100, 20), this, 50);
        return 0;
    }
    afx_msg void OnSize(UINT, int cx, int cy) { Log("size", (UINT)(cx * 1000 + cy)); }
    afx_msg LRESULT OnPing(WPARAM w, LPARAM) { Log("derived ping", (UINT)w); return 7; }
    afx_msg LRESULT OnBarNotify(WPARAM w, LPARAM) { Log("registered", (UINT)w); return 0; }
    afx_msg void OnRange(UINT nID) { Log("range", nID); }
    afx_msg void OnUpdateRange(CCmdUI* pCmdUI)
    {
        pCmdUI->Enable(pCmdUI->m_nID != 201 || m_bSecondEnabled);
    }
    afx_msg void OnEditChange() { Log("parent saw change"); }
    afx_msg void OnItemChanged(NMHDR* pNMHDR, LRESULT* pResult)
    {
        Log("notify", (UINT)pNMHDR->idFrom);
        *pResult = 42;
    }
    afx_msg void OnNotifyRange(UINT nID, NMHDR*, LRESULT*) { Log("notify range", nID); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestWnd, CBaseWnd)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_MESSAGE(WM_APP_PING, OnPing)
    ON_REGISTERED_MESSAGE(WM_BARNOTIFY, OnBarNotify)
    ON_COMMAND_RANGE(200, 202, OnRange)
    ON_UPDATE_COMMAND_UI_RANGE(200, 202, OnUpdateRange)
    ON_EN_CHANGE(50, OnEditChange)
    ON_NOTIFY(LVN_ITEMCHANGED, 60, OnItemChanged)
    ON_NOTIFY_RANGE(NM_DBLCLK, 70, 79, OnNotifyRange)
END_MESSAGE_MAP()

bool Contains(const std::vector<std::string>& log, const std::string& entry)
{
    for (const std::string& s : log)
        if (s == entry)
            return true;
    return false;
}

}

TEST(MessageMaps, DispatchThroughDerivedAndBaseMaps)
{
    CTestWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "test", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr));
    EXPECT_EQ(wnd.m_log.front(), "create 0");
    EXPECT_EQ(CWnd::FromHandlePermanent(wnd.m_hWnd), &wnd);

    wnd.MoveWindow(0, 0, 320, 240);
    RECT rc;
    wnd.GetClientRect(&rc);
    EXPECT_TRUE(Contains(wnd.m_log, "size " + std::to_string(rc.right * 1000 + rc.bottom)));

    // The derived class's entry wins over the base's for the same message.
    EXPECT_EQ(wnd.SendMessage(WM_APP_PING, 3), 7);
    EXPECT_TRUE(Contains(wnd.m_log, "derived ping 3"));
    EXPECT_FALSE(Contains(wnd.m_log, "base ping 3"));

    EXPECT_EQ(wnd.SendMessage(WM_BARNOTIFY, 9), 0);
    EXPECT_TRUE(Contains(wnd.m_log, "registered 9"));

    // A command only the base class maps.
    wnd.SendMessage(WM_COMMAND, 300);
    EXPECT_TRUE(Contains(wnd.m_log, "base command 0"));
    wnd.DestroyWindow();
    EXPECT_EQ(wnd.m_hWnd, nullptr);
}

TEST(MessageMaps, CommandRangesObeyTheirUpdateHandlers)
{
    CTestWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "test", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr));
    for (UINT id = 199; id <= 203; id++)
        wnd.SendMessage(WM_COMMAND, id);   // as from a menu: no control handle
    EXPECT_TRUE(Contains(wnd.m_log, "range 200"));
    EXPECT_FALSE(Contains(wnd.m_log, "range 201"));   // disabled by its update handler
    EXPECT_TRUE(Contains(wnd.m_log, "range 202"));
    EXPECT_FALSE(Contains(wnd.m_log, "range 199"));
    EXPECT_FALSE(Contains(wnd.m_log, "range 203"));
    wnd.m_bSecondEnabled = TRUE;
    wnd.SendMessage(WM_COMMAND, 201);
    EXPECT_TRUE(Contains(wnd.m_log, "range 201"));

    // Update handlers fill a CCmdUI; ids without any handler are disabled on request.
    struct CRecordingCmdUI : CCmdUI
    {
        int nEnabled = -1;
        void Enable(BOOL bOn) override { nEnabled = bOn; m_bEnableChanged = TRUE; }
    };
    struct Case { UINT id; BOOL bDisableIfNoHandler; int nExpected; };
    const Case cases[] = {{200, TRUE, 1}, {201, TRUE, 1}, {300, TRUE, 1}, {555, TRUE, 0}, {555, FALSE, -1}};
    for (const Case& c : cases) {
        CRecordingCmdUI ui;
        ui.m_nID = c.id;
        ui.DoUpdate(&wnd, c.bDisableIfNoHandler);
        EXPECT_EQ(ui.nEnabled, c.nExpected) << c.id;
    }
}

TEST(MessageMaps, NotificationsAndReflection)
{
    CTestWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "test", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr));

    // The edit handles EN_CHANGE itself (reflection), so its parent never sees it.
    wnd.m_edit.SetWindowText("abc");
    EXPECT_EQ(wnd.m_edit.m_nChanges, 1);
    EXPECT_FALSE(Contains(wnd.m_log, "parent saw change 0"));

    // A plain child's notifications reach the parent's map.
    CWnd other;
    ASSERT_TRUE(other.Create("EDIT", nullptr, WS_CHILD, CRect(0, 30, 100, 50), &wnd, 51));
    HWND hEdit2 = ::CreateWindowA("EDIT", "", WS_CHILD, 0, 60, 100, 20, wnd.m_hWnd, (HMENU)50, nullptr, nullptr);
    ::SetWindowTextA(hEdit2, "x");
    EXPECT_TRUE(Contains(wnd.m_log, "parent saw change 0"));

    NMHDR nm = {other.m_hWnd, 60, (UINT)LVN_ITEMCHANGED};
    EXPECT_EQ(wnd.SendMessage(WM_NOTIFY, 60, (LPARAM)&nm), 42);
    EXPECT_TRUE(Contains(wnd.m_log, "notify 60"));
    NMHDR nm2 = {other.m_hWnd, 75, (UINT)NM_DBLCLK};
    wnd.SendMessage(WM_NOTIFY, 75, (LPARAM)&nm2);
    EXPECT_TRUE(Contains(wnd.m_log, "notify range 75"));
    NMHDR nm3 = {other.m_hWnd, 80, (UINT)NM_DBLCLK};
    wnd.SendMessage(WM_NOTIFY, 80, (LPARAM)&nm3);
    EXPECT_FALSE(Contains(wnd.m_log, "notify range 80"));
}

TEST(HandleMap, PermanentAndTemporaryWrappers)
{
    HWND hWnd = ::CreateWindowA("STATIC", "plain", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);
    CWnd* pTemp = CWnd::FromHandle(hWnd);
    ASSERT_NE(pTemp, nullptr);
    EXPECT_EQ(CWnd::FromHandle(hWnd), pTemp);
    EXPECT_EQ(pTemp->m_hWnd, hWnd);
    CString text;
    pTemp->GetWindowText(text);
    EXPECT_STREQ(text, "plain");

    // Subclassing makes a permanent wrapper that wins over the temporary one.
    CStatic wrapper;
    ASSERT_TRUE(wrapper.SubclassWindow(hWnd));
    EXPECT_EQ(CWnd::FromHandle(hWnd), &wrapper);
    EXPECT_FALSE(CWnd().SubclassWindow(hWnd));   // one permanent wrapper per window
    EXPECT_EQ(wrapper.UnsubclassWindow(), hWnd);
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);
    ::DestroyWindow(hWnd);

    // A missing dialog item is a null object whose handle is still safe to ask for.
    CWnd* pMissing = pTemp->GetDlgItem(999);
    EXPECT_EQ(pMissing, nullptr);
    EXPECT_EQ(pMissing->GetSafeHwnd(), nullptr);
    EXPECT_EQ(CWnd::FromHandle(nullptr), nullptr);
    CWnd::DeleteTempMap();
}

namespace {

// A bar of controls that asks its owner for their state at idle time, as toolbars do.
class CCommandBar : public CWnd
{
public:
    CButton m_buttons[3];
    int m_nUpdates = 0;
protected:
    afx_msg LRESULT OnIdleUpdateCmdUI(WPARAM, LPARAM)
    {
        m_nUpdates++;
        UpdateDialogControls(GetParent(), TRUE);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CCommandBar, CWnd)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
END_MESSAGE_MAP()

class CFrameLike : public CWnd
{
public:
    BOOL m_bChecked = TRUE;
protected:
    afx_msg void OnFirst() {}
    afx_msg void OnUpdateFirst(CCmdUI* pCmdUI) { pCmdUI->SetCheck(m_bChecked); }
    afx_msg void OnSecond() {}
    afx_msg void OnUpdateSecond(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CFrameLike, CWnd)
    ON_COMMAND(101, OnFirst)
    ON_UPDATE_COMMAND_UI(101, OnUpdateFirst)
    ON_COMMAND(102, OnSecond)
    ON_UPDATE_COMMAND_UI(102, OnUpdateSecond)
END_MESSAGE_MAP()

class CIdleApp : public CWinApp
{
public:
    std::vector<LONG> m_idleCounts;
    BOOL OnIdle(LONG lCount) override
    {
        m_idleCounts.push_back(lCount);
        BOOL bMore = CWinApp::OnIdle(lCount);
        if (!bMore)
            m_pMainWnd->PostMessage(WM_CLOSE);
        return bMore;
    }
    int ExitInstance() override { return CWinApp::ExitInstance() + 40; }
};

}

TEST(Application, IdleLoopUpdatesCommandStateAndEndsWithTheMainWindow)
{
    CIdleApp app;
    EXPECT_EQ(AfxGetApp(), &app);
    CFrameLike frame;
    ASSERT_TRUE(frame.CreateEx(0, nullptr, "frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr));
    CCommandBar bar;
    ASSERT_TRUE(bar.Create(nullptr, nullptr, WS_VISIBLE, CRect(0, 0, 300, 30), &frame, 1));
    const char* labels[] = {"first", "second", "third"};
    for (int i = 0; i < 3; i++)
        bar.m_buttons[i].Create(labels[i], WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX | BS_PUSHLIKE,
                                CRect(i * 60, 0, i * 60 + 50, 20), &bar, 101 + i);
    app.m_pMainWnd = &frame;
    EXPECT_EQ(AfxGetMainWnd(), &frame);

    // Run returns ExitInstance's value once closing the main window posts WM_QUIT.
    EXPECT_EQ(app.Run(), 40);
    ASSERT_GE(app.m_idleCounts.size(), 2u);
    EXPECT_EQ(app.m_idleCounts[0], 0);
    EXPECT_EQ(app.m_idleCounts[1], 1);
    EXPECT_GE(bar.m_nUpdates, 1);
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    EXPECT_EQ(frame.m_hWnd, nullptr);
}

TEST(Application, IdleUpdateStates)
{
    CWinApp app;
    CFrameLike frame;
    ASSERT_TRUE(frame.CreateEx(0, nullptr, "frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr));
    CCommandBar bar;
    ASSERT_TRUE(bar.Create(nullptr, nullptr, WS_VISIBLE, CRect(0, 0, 300, 30), &frame, 1));
    for (int i = 0; i < 3; i++)
        bar.m_buttons[i].Create("b", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(i * 60, 0, i * 60 + 50, 20), &bar, 101 + i);
    app.m_pMainWnd = &frame;
    app.OnIdle(0);
    EXPECT_EQ(bar.m_nUpdates, 1);
    EXPECT_TRUE(bar.m_buttons[0].IsWindowEnabled());    // handled, enabled
    EXPECT_FALSE(bar.m_buttons[1].IsWindowEnabled());   // its handler disables it
    EXPECT_FALSE(bar.m_buttons[2].IsWindowEnabled());   // no handler at all

    // Menu items get the same treatment through a CCmdUI over the menu.
    CMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendMenu(MF_STRING, 101, "First");
    menu.AppendMenu(MF_STRING, 102, "Second");
    CCmdUI state;
    state.m_pMenu = &menu;
    state.m_nIndexMax = menu.GetMenuItemCount();
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; state.m_nIndex++) {
        state.m_nID = menu.GetMenuItemID((int)state.m_nIndex);
        state.DoUpdate(&frame, TRUE);
    }
    EXPECT_TRUE(menu.GetMenuState(101, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_TRUE(menu.GetMenuState(102, MF_BYCOMMAND) & MF_GRAYED);
    frame.DestroyWindow();
}

TEST(Application, ProfileGoesWhereTheProfileSettingsSay)
{
    char szDir[MAX_PATH];
    GetTempPathA(MAX_PATH, szDir);
    CString strIni = CString(szDir) + "qxafx-profile-test.ini";
    DeleteFileA(strIni);

    CWinApp app("Profile Test");
    // An INI file when no registry key is set.
    free((void*)app.m_pszProfileName);
    app.m_pszProfileName = _strdup(strIni);
    EXPECT_TRUE(app.WriteProfileInt("Tip", "StartUp", 1));
    EXPECT_TRUE(app.WriteProfileString("Tip", "File", "tips.txt"));
    BYTE data[] = {0x00, 0x7F, 0xFF, 0x10};
    EXPECT_TRUE(app.WriteProfileBinary("Tip", "Blob", data, sizeof data));
    char sz[64];
    GetPrivateProfileStringA("Tip", "StartUp", "", sz, sizeof sz, strIni);
    EXPECT_STREQ(sz, "1");
    EXPECT_EQ(app.GetProfileInt("Tip", "StartUp", 0), 1u);
    EXPECT_STREQ(app.GetProfileString("Tip", "File"), "tips.txt");
    EXPECT_STREQ(app.GetProfileString("Tip", "Missing", "fallback"), "fallback");
    LPBYTE pData = nullptr;
    UINT nBytes = 0;
    ASSERT_TRUE(app.GetProfileBinary("Tip", "Blob", &pData, &nBytes));
    ASSERT_EQ(nBytes, sizeof data);
    EXPECT_EQ(memcmp(pData, data, nBytes), 0);
    delete[] pData;
    EXPECT_TRUE(app.WriteProfileString("Tip", "File", nullptr));   // deletes the entry
    EXPECT_STREQ(app.GetProfileString("Tip", "File", "gone"), "gone");
    DeleteFileA(strIni);

    // The registry once a key is set: HKCU\Software\<key>\<profile name>\<section>.
    app.SetRegistryKey("Qxafx Test Vendor");
    EXPECT_STREQ(app.m_pszProfileName, "Profile Test");
    EXPECT_TRUE(app.WriteProfileInt("Toolbars", "Count", 12));
    EXPECT_TRUE(app.WriteProfileString("Toolbars", "Name", "Standard"));
    HKEY hKey;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Qxafx Test Vendor\\Profile Test\\Toolbars", 0,
                            KEY_READ, &hKey), ERROR_SUCCESS);
    DWORD dwValue = 0, dwType, cb = sizeof dwValue;
    EXPECT_EQ(RegQueryValueExA(hKey, "Count", nullptr, &dwType, (LPBYTE)&dwValue, &cb), ERROR_SUCCESS);
    EXPECT_EQ(dwType, (DWORD)REG_DWORD);
    EXPECT_EQ(dwValue, 12u);
    RegCloseKey(hKey);
    EXPECT_EQ(app.GetProfileInt("Toolbars", "Count", 0), 12u);
    EXPECT_STREQ(app.GetProfileString("Toolbars", "Name"), "Standard");
    EXPECT_EQ(GetPrivateProfileIntA("Toolbars", "Count", -1, strIni), (UINT)-1);   // nothing in the INI file
    EXPECT_TRUE(app.WriteProfileString("Toolbars", nullptr, nullptr));   // deletes the section
    EXPECT_EQ(app.GetProfileInt("Toolbars", "Count", 5), 5u);
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Qxafx Test Vendor\\Profile Test");
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Qxafx Test Vendor");
}
