// The Results Log: entries found by their headers, the scope and date filters, clearing,
// header rewriting when windows and folders change, text appended and read back through
// the main frame's bar, and the bar's saved size.
#include <gtest/gtest.h>

#include <qxtest/DialogDriver.h>

#include <functional>
#include <regex>
#include <vector>

#include "FramesFixture.h"
#include "FramesResource.h"
#include "OutputLog.h"

using namespace framestest;

namespace {

// Three entries in two folders on two days.
const char kLog[] =
    "[1/1/2024 10:00:00 \"/Book1\" (45290)]\r\nmean = 1\r\n"
    "[1/2/2024 11:00:00 \"/A/Data1\" (45291)]\r\nslope = 2\r\n[not a header\r\n"
    "[1/2/2024 12:00:00 \"/A/C/Graph1\" (45291)]\r\nr = 0.9\r\n";

std::string Stored(CQUOutputLogEdit& edit)
{
    CString s;
    edit.GetAllText(s);
    return (LPCTSTR)s;
}

std::string Shown(CQUOutputLogEdit& edit)
{
    CString s;
    edit.GetWindowText(s);
    return (LPCTSTR)s;
}

class OutputLogEditTest : public ::testing::Test
{
protected:
    CWnd parent;
    CQUOutputLogEdit edit;

    void SetUp() override
    {
        ASSERT_TRUE(parent.CreateEx(0, "STATIC", "parent", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr));
        ASSERT_TRUE(edit.CreateEx(0, "EDIT", nullptr, WS_CHILD | ES_MULTILINE | ES_READONLY, 0, 0, 300, 200,
                                  parent.m_hWnd, (HMENU)1));
        edit.SendMessage(EM_LIMITTEXT, 0, 0);
    }
    void TearDown() override { parent.DestroyWindow(); }
};

TEST_F(OutputLogEditTest, HeadersStartEntriesOnlyWhenTheyCloseBeforeTheLineEnd)
{
    struct Case { const char* text; int from; int expected; } cases[] = {
        {"[a \"/B\" (1)]\r\nx", 0, 0},
        {"x\r\n[a \"/B\" (1)]\r\n", 0, 3},
        {"x [a \"/B\" (1)]\r\n", 0, -1},          // not at a line start
        {"[no close\r\n[a \"/B\" (1)]\r\n", 0, 11}, // the first line is no header
        {"[a] b\r\n", 0, -1},                     // "]" not right before the line end
        {"[a \"/B\" (1)]\r\n[b \"/C\" (2)]\r\n", 1, 14},
        {"[last line without an end]", 0, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CQUOutputLogEdit::FindNextHeader(c.text, c.from), c.expected) << c.text;
    EXPECT_EQ(CQUOutputLogEdit::GetEntries(kLog).size(), 3u);
}

TEST_F(OutputLogEditTest, HeaderPartsAndScopeFilter)
{
    CString e1 = "[d \"/A/C/Graph1\" (45291)]\r\ntext \"quoted\" (7)\r\n";
    EXPECT_EQ(std::string(CQUOutputLogEdit::QuotedPart(e1)), "/A/C/Graph1");
    EXPECT_EQ(CQUOutputLogEdit::DateNumber(e1), 45291);
    // Parentheses in a window's name are not taken for the day number.
    EXPECT_EQ(CQUOutputLogEdit::DateNumber("[d \"/A/(x)\" (12)]\r\n"), 12);
    EXPECT_EQ(CQUOutputLogEdit::DateNumber("[d \"/A/x\"]\r\n"), 0);

    struct Case { int code; const char* filter; const char* entry; BOOL passes; } cases[] = {
        {1, "/A/C/graph1", "[d \"/A/C/Graph1\" (1)]\r\n", TRUE},
        {1, "/A/C/Graph2", "[d \"/A/C/Graph1\" (1)]\r\n", FALSE},
        {1, "/Book1", "[d \"/Book1\" (1)]\r\n", TRUE},
        {2, "/a/Data9", "[d \"/A/Data1\" (1)]\r\n", TRUE},
        {2, "/A/Data9", "[d \"/A/C/Graph1\" (1)]\r\n", FALSE},
        {3, "/A/Data9", "[d \"/A/C/Graph1\" (1)]\r\n", TRUE},
        {3, "/A/C/x", "[d \"/A/Data1\" (1)]\r\n", FALSE},
        {2, "Book1", "[d \"/Book1\" (1)]\r\n", FALSE},   // a filter without "/" passes nothing
        {3, "/", "[d \"Book1\" (1)]\r\n", FALSE},        // nor does a header without one
        {4, "", "[d \"\" (1)]\r\n", TRUE},
        {5, "/", "[d \"/Book1\" (1)]\r\n", FALSE},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CQUOutputLogEdit::PassesScope(c.code, c.filter, c.entry), c.passes) << c.code << " " << c.filter;
}

TEST_F(OutputLogEditTest, TheDisplayShowsTheScopeAndClearingTakesScopeAndDate)
{
    edit.SetAllText(kLog);
    // The active folder "/" with no active window: only entries of the root folder.
    EXPECT_EQ(Shown(edit), "[1/1/2024 10:00:00 \"/Book1\" (45290)]\r\nmean = 1\r\n");
    edit.SetActiveFolder("/A/");
    EXPECT_NE(Shown(edit).find("slope"), std::string::npos);
    EXPECT_EQ(Shown(edit).find("mean"), std::string::npos);
    EXPECT_EQ(Shown(edit).find("r = 0.9"), std::string::npos);
    edit.SetViewMode(CQUOutputLogEdit::ScopeSubfolders);
    EXPECT_NE(Shown(edit).find("r = 0.9"), std::string::npos);
    edit.SetViewMode(CQUOutputLogEdit::ScopeAll);
    EXPECT_EQ(Shown(edit), Stored(edit));

    // "On" the later day within the subfolders scope of /A/: both entries of that day.
    edit.ClearLogs(CQUOutputLogEdit::DateOn | CQUOutputLogEdit::ScopeSubfolders, 45291, "/A/x");
    EXPECT_EQ(Stored(edit), "[1/1/2024 10:00:00 \"/Book1\" (45290)]\r\nmean = 1\r\n");

    // With no date flag the whole scope goes; before and after compare with the day.
    edit.SetAllText(kLog);
    edit.ClearLogs(CQUOutputLogEdit::DateBefore | CQUOutputLogEdit::ScopeAll, 45291, nullptr);
    EXPECT_EQ(CQUOutputLogEdit::GetEntries(CString(Stored(edit).c_str())).size(), 2u);
    edit.ClearLogs(CQUOutputLogEdit::ScopeWindow, 0, "/a/data1");
    EXPECT_EQ(Stored(edit), "[1/2/2024 12:00:00 \"/A/C/Graph1\" (45291)]\r\nr = 0.9\r\n");

    CStringArray dates;
    CQUOutputLogEdit::GetEntryDates(kLog, dates);
    ASSERT_EQ(dates.GetSize(), 2);
}

TEST_F(OutputLogEditTest, TheClearingDialogListsTheDatesAndClearsByScopeAndDate)
{
    edit.SetAllText(kLog);
    EXPECT_EQ(CQUOutputLogDialog::DateFromText("1/1/1900"), 0);
    EXPECT_EQ(CQUOutputLogDialog::DateFromText("no date"), -1);
    std::vector<std::string> dates;
    qxtest::DialogDriver driver;
    driver.Then([&](HWND h) {
        EXPECT_TRUE(qxtest::IsChecked(h, IDC_CL_ACTIVE_WINDOW));
        EXPECT_TRUE(qxtest::IsChecked(h, IDC_CL_ON));
        int n = (int)::SendDlgItemMessageA(h, IDC_CL_DATES, CB_GETCOUNT, 0, 0);
        for (int i = 0; i < n; i++) {
            char sz[32] = "";
            ::SendDlgItemMessageA(h, IDC_CL_DATES, CB_GETLBTEXT, i, (LPARAM)sz);
            dates.push_back(sz);
        }
        EXPECT_EQ(qxtest::ComboSelection(h, IDC_CL_DATES), n - 1);
        qxtest::Click(h, IDC_CL_ALL);
        ::CheckRadioButton(h, IDC_CL_ACTIVE_WINDOW, IDC_CL_ALL, IDC_CL_ALL);
        qxtest::Click(h, IDOK);
    });
    CQUOutputLogDialog dlg(&edit, &parent);
    EXPECT_EQ(driver.Run([&] { return dlg.DoModal(); }), IDOK);
    ASSERT_EQ(dates.size(), 2u);
    EXPECT_EQ(CQUOutputLogDialog::DateFromText(dates[0].c_str()), 45290);
    // "On" the last date in all windows: the entries of that day go.
    EXPECT_EQ(Stored(edit), "[1/1/2024 10:00:00 \"/Book1\" (45290)]\r\nmean = 1\r\n");
}

TEST_F(OutputLogEditTest, ClearLastEntryAndRestoreIt)
{
    edit.SetAllText(kLog);
    edit.SetViewMode(CQUOutputLogEdit::ScopeAll);
    ASSERT_TRUE(edit.ClearLastEntry());
    EXPECT_EQ(std::string(edit.GetLastCleared()), "[1/2/2024 12:00:00 \"/A/C/Graph1\" (45291)]\r\nr = 0.9\r\n");
    EXPECT_EQ(CQUOutputLogEdit::GetEntries(CString(Stored(edit).c_str())).size(), 2u);
    ASSERT_TRUE(edit.RestoreLastCleared());
    EXPECT_EQ(Stored(edit), kLog);
    EXPECT_FALSE(edit.RestoreLastCleared());
    // The last entry of the scope, not of the log.
    edit.SetViewMode(CQUOutputLogEdit::ScopeFolder);
    ASSERT_TRUE(edit.ClearLastEntry());
    EXPECT_NE(std::string(edit.GetLastCleared()).find("/Book1"), std::string::npos);
}

TEST_F(OutputLogEditTest, HeadersFollowRenamedAndMovedWindowsAndFolders)
{
    edit.SetAllText(kLog);
    edit.RenameFolderInHeaders("/A/", "B");
    EXPECT_NE(Stored(edit).find("\"/B/C/Graph1\""), std::string::npos);
    EXPECT_NE(Stored(edit).find("\"/B/Data1\""), std::string::npos);
    EXPECT_NE(Stored(edit).find("\"/Book1\""), std::string::npos);

    edit.RenameWindowInHeaders("/b/data1", "Data7");
    EXPECT_NE(Stored(edit).find("\"/B/Data7\""), std::string::npos);
    edit.MoveWindowInHeaders("/B/Data7", "/Z/");
    EXPECT_NE(Stored(edit).find("\"/Z/Data7\""), std::string::npos);
    edit.MoveFolderInHeaders("/B/C/", "/Z/");
    EXPECT_NE(Stored(edit).find("\"/Z/C/Graph1\""), std::string::npos);

    // Renaming the active folder moves the active folder too.
    edit.SetActiveFolder("/Z/");
    edit.RenameFolderInHeaders("", "Y");
    EXPECT_EQ(std::string(edit.GetActiveFolder()), "/Y/");
    EXPECT_NE(Stored(edit).find("\"/Y/C/Graph1\""), std::string::npos);

    // An appended project's log goes under the folder it was appended to.
    edit.SetAllText("[d \"/Book1\" (1)]\r\nx\r\n");
    edit.PrefixHeaders("/Appended/");
    EXPECT_EQ(Stored(edit), "[d \"/Appended/Book1\" (1)]\r\nx\r\n");
}

// The project file keeps the log: whatever changes the stored text, the kernel's project
// holds the same text.
TEST_F(OutputLogEditTest, TheProjectHoldsWhatTheLogHoldsAfterEveryChange)
{
    struct Case {
        const char* what;
        std::function<void()> change;
    } cases[] = {
        {"whole text", [&] { edit.SetAllText(kLog); }},
        {"appended", [&] { edit.AppendText("more\r\n"); }},
        {"last entry cleared", [&] { edit.ClearLastEntry(); }},
        {"last entry restored", [&] { edit.RestoreLastCleared(); }},
        {"folder renamed", [&] { edit.RenameFolderInHeaders("/A/", "B"); }},
        {"appended under a folder", [&] { edit.PrefixHeaders("/P/"); }},
        {"all cleared", [&] { edit.ClearLogs(CQUOutputLogEdit::ScopeAll, 0, nullptr); }},
    };
    for (const Case& c : cases) {
        std::string before = Stored(edit);
        c.change();
        EXPECT_NE(Stored(edit), before) << c.what;
        EXPECT_EQ(qkfxGetProject().GetResultsLog(), Stored(edit)) << c.what;
    }
}

using OutputLogTest = FramesFixture;

TEST_F(OutputLogTest, TextAppendedUnderAHeaderIsReadBack)
{
    CMainFrame* pFrame = CreateMainFrame();
    ASSERT_NE(pFrame, nullptr);
    CQUOutputLog* pLog = pFrame->GetOutputLog();
    pLog->GetEdit().SetViewMode(CQUOutputLogEdit::ScopeAll);
    CQKPage* pPage = qkfxGetProject().CreatePage(QK_PAGE_WKS);
    ASSERT_NE(pPage, nullptr);

    // The kernel's results: a header for the page, then its lines.
    ASSERT_TRUE(pLog->KernelMessage(4097, (LPARAM)pPage, 0));
    ASSERT_TRUE(pLog->KernelMessage(4099, (LPARAM)pPage, (LPARAM) "n = 5\r\n"));
    ASSERT_TRUE(pLog->KernelMessage(4098, 0, 0));
    ASSERT_TRUE(pLog->KernelMessage(4099, (LPARAM)pPage, (LPARAM) "n = 6\r\n"));
    CString strText;
    pLog->GetText(strText);
    std::string text = (LPCTSTR)strText;
    std::regex header("\\[\\d+/\\d+/\\d{4} \\d\\d:\\d\\d:\\d\\d \"/Data1\" \\(\\d+\\)\\]\r\n");
    auto count = std::distance(std::sregex_iterator(text.begin(), text.end(), header), std::sregex_iterator());
    EXPECT_EQ(count, 2) << text;
    EXPECT_NE(text.find("n = 5\r\n\r\n["), std::string::npos) << text;
    EXPECT_EQ(text.substr(text.size() - 7), "n = 6\r\n");
    EXPECT_GT(pLog->GetTabStop(), 0);

    // The header names the day the kernel's date class counts.
    SYSTEMTIME st;
    ::GetLocalTime(&st);
    char szDay[32];
    sprintf(szDay, "%d/%d/%d ", st.wMonth, st.wDay, st.wYear);
    EXPECT_EQ(text.find(std::string("[") + szDay), 0u) << text;

    // Renaming the window rewrites its headers; code 0 replaces the whole log.
    ASSERT_TRUE(pLog->KernelMessage(4100, (LPARAM)pPage, (LPARAM) "Calib"));
    pLog->GetEdit().GetAllText(strText);
    EXPECT_NE(std::string(strText).find("\"/Calib\""), std::string::npos);
    EXPECT_FALSE(pLog->HeaderWindowRename(nullptr, "x"));
    ASSERT_TRUE(pLog->KernelMessage(0, 0, (LPARAM) "[d \"/W\" (1)]\r\nonly\r\n"));
    pLog->GetText(strText);
    EXPECT_EQ(std::string(strText), "[d \"/W\" (1)]\r\nonly\r\n");
    EXPECT_FALSE(pLog->KernelMessage(77, 0, 0));

    // A project appended to this one keeps both logs, the old one first.
    ASSERT_TRUE(pLog->KernelMessage(4, 0, 1));
    ASSERT_TRUE(pLog->KernelMessage(0, 0, (LPARAM) "[e \"/V\" (2)]\r\nnew\r\n"));
    ASSERT_TRUE(pLog->KernelMessage(4, 0, 0));
    pLog->GetEdit().GetAllText(strText);
    EXPECT_EQ(std::string(strText), "[d \"/W\" (1)]\r\nonly\r\n[e \"/V\" (2)]\r\nnew\r\n");
}

TEST_F(OutputLogTest, AutoOpenDecidesWhetherResultsShowAHiddenLog)
{
    CMainFrame* pFrame = CreateMainFrame();
    ASSERT_NE(pFrame, nullptr);
    CQUOutputLog* pLog = pFrame->GetOutputLog();
    pFrame->ShowControlBar(pLog, FALSE, FALSE);
    pLog->SetAutoOpen(FALSE);
    pLog->AppendString("quiet\r\n", nullptr);
    EXPECT_FALSE(pLog->IsVisible());
    pLog->SetAutoOpen(TRUE);
    pLog->EnableAutoHeader(TRUE);
    pLog->AppendString("loud\r\n", nullptr);
    EXPECT_TRUE(pLog->IsVisible());

    // A hide request undoes only a show that brought up a floating bar.
    EXPECT_TRUE(pLog->IsSetShow(1));
    EXPECT_FALSE(pLog->IsSetShow(0));
}

TEST_F(OutputLogTest, BarSizesFromTheProfileAreKeptInRange)
{
    CMainFrame* pFrame = CreateMainFrame();
    ASSERT_NE(pFrame, nullptr);
    CQUOutputLog* pLog = pFrame->GetOutputLog();
    CString strSection;
    pLog->GetSpecBarINISectionName(strSection);
    EXPECT_EQ(std::string(strSection), "SpecBar592");
    struct Case { const char* x; const char* y; int cx; int cy; } cases[] = {
        {"300", "500", 300, 100}, {"10", "50", 700, 50}, {"1200", "10", 1200, 10}, {"1201", "401", 700, 100},
    };
    for (const Case& c : cases) {
        ::WritePrivateProfileStringA("SpecBar592", "XSize", c.x, m_strProfile.c_str());
        ::WritePrivateProfileStringA("SpecBar592", "YSize", c.y, m_strProfile.c_str());
        ASSERT_TRUE(pLog->ReadFromINI());
        EXPECT_EQ(pLog->m_nXSize, c.cx) << c.x;
        EXPECT_EQ(pLog->m_nYSize, c.cy) << c.y;
    }
    pLog->m_nXSize = 640;
    pLog->SaveToINI();
    EXPECT_EQ(::GetPrivateProfileIntA("SpecBar592", "XSize", 0, m_strProfile.c_str()), 640u);
}

} // namespace
