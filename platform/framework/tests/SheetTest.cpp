// Property sheets over the system's sheet: modal with pages added, removed and renamed
// while shown, the order of kill-active and apply, modeless, and as a child of a dialog.
#include <afxdlgs.h>
#include <qxtest/DialogDriver.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include <algorithm>
#include "TestResources.h"

using qxtest::DialogDriver;

namespace {

std::vector<std::string> g_events;

class CTextPage : public CPropertyPage
{
public:
    CTextPage(UINT nIDTemplate, const char* name) : CPropertyPage(nIDTemplate), m_name(name) {}
    std::string m_name;
    CString m_strText;
    BOOL m_bRefuseKill = FALSE;
protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Text(pDX, IDC_PAGE_EDIT, m_strText); }
    BOOL OnSetActive() override
    {
        g_events.push_back("set " + m_name);
        return CPropertyPage::OnSetActive();
    }
    BOOL OnKillActive() override
    {
        g_events.push_back("kill " + m_name);
        return !m_bRefuseKill && CPropertyPage::OnKillActive();
    }
    BOOL OnApply() override
    {
        g_events.push_back("apply " + m_name);
        return CPropertyPage::OnApply();
    }
    void OnReset() override { g_events.push_back("reset " + m_name); }
};

std::string TabText(CTabCtrl* pTab, int n)
{
    char sz[64] = "";
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = sz;
    item.cchTextMax = sizeof sz;
    pTab->GetItem(n, &item);
    return sz;
}

}

TEST(PropertySheets, PagesChangeWhileShownAndApplyFollowsKillActive)
{
    g_events.clear();
    CTextPage first(IDD_PAGE1, "first"), second(IDD_PAGE2, "second"), third(IDD_PAGE3, "third");
    first.m_strText = "one";
    CPropertySheet sheet("Options");
    sheet.AddPage(&first);
    sheet.AddPage(&second);
    int nPagesWhileShown = 0, nTabs = 0, nActive = -1;
    std::string renamed, firstShown;
    DialogDriver driver;
    driver.Then([&](HWND h) {
        firstShown = qxtest::GetText(sheet.GetActivePage()->m_hWnd, IDC_PAGE_EDIT);
        sheet.AddPage(&third);
        sheet.SetActivePage(&third);
        ::SetDlgItemTextA(third.m_hWnd, IDC_PAGE_EDIT, "three");
        sheet.RemovePage(&second);
        nPagesWhileShown = sheet.GetPageCount();
        CTabCtrl* pTab = sheet.GetTabControl();
        nTabs = pTab->GetItemCount();
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = (LPSTR) "Renamed";
        pTab->SetItem(1, &item);
        renamed = TabText(pTab, 1);
        nActive = sheet.GetActiveIndex();
        g_events.push_back("ok");
        qxtest::Click(h, IDOK);
    });
    INT_PTR nResult = driver.Run([&] { return sheet.DoModal(); });
    EXPECT_FALSE(driver.TimedOut());
    EXPECT_EQ(nResult, IDOK);
    EXPECT_EQ(firstShown, "one");
    EXPECT_EQ(nPagesWhileShown, 2);
    EXPECT_EQ(nTabs, 2);
    EXPECT_EQ(renamed, "Renamed");
    EXPECT_EQ(nActive, 1);
    EXPECT_STREQ(third.m_strText, "three");   // saved by its kill-active exchange
    // OK: the active page is asked to let go first, then every page applies, in order.
    std::vector<std::string> expected = {"set first", "kill first", "set third", "ok",
                                         "kill third", "apply first", "apply third"};
    EXPECT_EQ(g_events, expected);
    EXPECT_EQ(sheet.m_hWnd, nullptr);
    EXPECT_EQ(first.m_hWnd, nullptr);
}

TEST(PropertySheets, RefusedKillActiveKeepsThePageAndCancelResets)
{
    g_events.clear();
    CTextPage first(IDD_PAGE1, "first"), second(IDD_PAGE2, "second");
    first.m_bRefuseKill = TRUE;
    CPropertySheet sheet("Options");
    sheet.AddPage(&first);
    sheet.AddPage(&second);
    int nActiveAfterRefusal = -1;
    DialogDriver driver;
    driver.Then([&](HWND h) {
        sheet.SetActivePage(1);   // refused by the first page
        nActiveAfterRefusal = sheet.GetActiveIndex();
        qxtest::Click(h, IDCANCEL);
    });
    EXPECT_EQ(driver.Run([&] { return sheet.DoModal(); }), IDCANCEL);
    EXPECT_EQ(nActiveAfterRefusal, 0);
    EXPECT_NE(std::find(g_events.begin(), g_events.end(), "reset first"), g_events.end());
    EXPECT_EQ(std::find(g_events.begin(), g_events.end(), "set second"), g_events.end());
}

TEST(PropertySheets, ModelessSheetHasNoStandardButtons)
{
    CTextPage first(IDD_PAGE1, "first");
    CPropertySheet sheet("Modeless");
    sheet.AddPage(&first);
    ASSERT_TRUE(sheet.Create());
    EXPECT_TRUE(::IsWindow(sheet.m_hWnd));
    EXPECT_NE(first.m_hWnd, nullptr);
    HWND hOK = ::GetDlgItem(sheet.m_hWnd, IDOK);
    EXPECT_TRUE(hOK == nullptr || !::IsWindowVisible(hOK));
    CString caption;
    sheet.GetWindowText(caption);
    EXPECT_NE(caption.Find("Modeless"), -1);
    sheet.DestroyWindow();
    EXPECT_EQ(sheet.m_hWnd, nullptr);
    EXPECT_EQ(first.m_hWnd, nullptr);
}

namespace {

// A dialog holding a property sheet as one of its children.
class CHostDlg : public CDialog
{
public:
    CHostDlg() : CDialog(IDD_HOST), m_page1(IDD_PAGE1, "first"), m_page2(IDD_PAGE2, "second") {}
    CPropertySheet m_sheet;
    CTextPage m_page1, m_page2;
    BOOL m_bCreated = FALSE;
protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        m_sheet.AddPage(&m_page1);
        m_sheet.AddPage(&m_page2);
        m_bCreated = m_sheet.Create(this, WS_CHILD | WS_VISIBLE, 0);
        if (m_bCreated) {
            CRect rc;
            GetDlgItem(IDC_SHEET_FRAME)->GetWindowRect(&rc);
            ScreenToClient(&rc);
            m_sheet.SetWindowPos(nullptr, rc.left, rc.top, 0, 0, SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE);
        }
        return TRUE;
    }
};

}

TEST(PropertySheets, ChildSheetInsideADialog)
{
    g_events.clear();
    CHostDlg dlg;
    HWND hParentSeen = nullptr;
    LONG_PTR lStyle = 0;
    int nPages = 0;
    DialogDriver driver;
    driver.Then([&](HWND h) {
        hParentSeen = ::GetParent(dlg.m_sheet.m_hWnd);
        lStyle = ::GetWindowLongPtrA(dlg.m_sheet.m_hWnd, GWL_STYLE);
        dlg.m_sheet.SetActivePage(1);
        nPages = dlg.m_sheet.GetTabControl()->GetItemCount();
        qxtest::Click(h, IDOK);
    });
    EXPECT_EQ(driver.Run([&] { return dlg.DoModal(); }), IDOK);
    EXPECT_TRUE(dlg.m_bCreated);
    EXPECT_EQ(hParentSeen, driver.Dialogs().empty() ? nullptr : driver.Dialogs()[0]);
    EXPECT_TRUE(lStyle & WS_CHILD);
    EXPECT_FALSE(lStyle & WS_CAPTION);
    EXPECT_EQ(nPages, 2);
    EXPECT_NE(std::find(g_events.begin(), g_events.end(), "set second"), g_events.end());
    EXPECT_EQ(dlg.m_sheet.m_hWnd, nullptr);   // went with the dialog
}

namespace {

// Records what the sheet has when its initialisation runs.
class CInitSheet : public CPropertySheet
{
public:
    explicit CInitSheet(LPCTSTR caption) : CPropertySheet(caption) {}
    int m_nInits = 0;
    BOOL m_bHadOk = FALSE;
    HWND m_hActivePage = nullptr;
    BOOL OnInitDialog() override
    {
        ++m_nInits;
        m_bHadOk = GetDlgItem(IDOK) != nullptr;
        m_hActivePage = GetActivePage() ? GetActivePage()->m_hWnd : nullptr;
        return CPropertySheet::OnInitDialog();
    }
};

}

TEST(PropertySheets, InitialisationRunsOnceWithTheButtonsAndTheFirstPageMade)
{
    g_events.clear();
    CTextPage first(IDD_PAGE1, "first"), second(IDD_PAGE2, "second");
    CInitSheet sheet("Options");
    sheet.AddPage(&first);
    sheet.AddPage(&second);
    DialogDriver driver;
    driver.Then([&](HWND h) {
        sheet.SetActivePage(1);
        qxtest::Click(h, IDCANCEL);
    });
    EXPECT_EQ(driver.Run([&] { return sheet.DoModal(); }), IDCANCEL);
    EXPECT_EQ(sheet.m_nInits, 1);
    EXPECT_TRUE(sheet.m_bHadOk);
    EXPECT_NE(sheet.m_hActivePage, nullptr);
}
