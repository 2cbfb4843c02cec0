// The bridge's command runner: a command's string resource goes to the kernel, which
// runs its script part; the kernel may veto the command first.
#include <afxwin.h>
#include <gtest/gtest.h>

#include <functional>
#include <regex>

#include "CoreTestResources.h"
#include "QKCallLog.h"
#include "QKData.h"
#include "QKFile.h"
#include "QKUtil.h"
#include "QKScript.h"
#include "CoreTestApp.h"
#include "MainFrame.h"
#include "OutputLog.h"
#include <qxtest/DialogDriver.h>
#include "QUAccess.h"
#include "CustomToolBar.h"
#include "ToolBarManagerEx.h"
#include "UserDefButtons.h"

#include <algorithm>
#include <fstream>

namespace {

class VetoingAccess : public CQUAccess {
public:
    int on_before_run_command(const char* group, int id) override
    {
        m_asked.push_back(std::string(group ? group : "(none)") + " " + std::to_string(id));
        return m_allow;
    }
    int m_allow = 1;
    std::vector<std::string> m_asked;
};

double Variable(const char* name)
{
    double value = -1;
    CQKCString::FindQuorixNumericVariable(name, &value);
    return value;
}

} // namespace

TEST(CommandRunner, RunsTheScriptPartOfTheCommandsString)
{
    VetoingAccess access;
    struct Case {
        UINT id;
        int result;
        double variable; // coretestvar afterwards
    } cases[] = {
        {IDS_TEST_COMMAND, 1, 7},           // script text
        {IDS_TEST_NO_SCRIPT, 1, 0},         // no script part: nothing to run, done
        {IDS_TEST_FAILING_COMMAND, 0, 0},   // the kernel could not run it
        {IDS_TEST_SECTION_COMMAND, 0, 0},   // a section of a file that is not there
        {36999, 0, 0},                      // no string at all
    };
    for (const Case& c : cases) {
        qkfxSetVariableValue("coretestvar", 0);
        EXPECT_EQ(access.run_command_from_resource_as_script("GRAPH", c.id, nullptr), c.result) << c.id;
        EXPECT_EQ(Variable("coretestvar"), c.variable) << c.id;
    }
    EXPECT_EQ(access.m_asked.front(), "GRAPH " + std::to_string(IDS_TEST_COMMAND));
    EXPECT_EQ(access.m_asked.size(), 5u) << "the kernel is asked before the string is looked for";
}

TEST(CommandRunner, AVetoedCommandRunsNothingAndCountsAsDone)
{
    VetoingAccess access;
    access.m_allow = 0;
    qkfxSetVariableValue("coretestvar", 0);
    EXPECT_EQ(access.run_command_from_resource_as_script(nullptr, IDS_TEST_COMMAND, nullptr), 1);
    EXPECT_EQ(Variable("coretestvar"), 0);
    EXPECT_EQ(access.m_asked, std::vector<std::string>{"(none) " + std::to_string(IDS_TEST_COMMAND)});
}

namespace {

class Bridge : public AppFixture {
protected:
    CQUAccess* Access() { return m_app->GetAccess(); }
};

} // namespace

TEST_F(Bridge, PagesMadeByScriptsGetWindowsNamedAfterThem)
{
    ASSERT_EQ(Access()->execute_script("win -t wks Standard Results; win -t plot", 0), 0);
    CQrxMultiDocTemplate* wks = m_app->get_template(QU_TEMPLATE_WKS);
    CQrxMultiDocTemplate* graph = m_app->get_template(QU_TEMPLATE_GRAPH);
    ASSERT_EQ(wks->GetNumDocs(), 1);
    ASSERT_EQ(graph->GetNumDocs(), 1);
    CQuorixDoc* doc = DYNAMIC_DOWNCAST(CQuorixDoc, wks->FindDocument("Results"));
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->GetPage(), qkfxGetProject().FindPage("Results"));
    EXPECT_EQ(qkfxGetProject().GetNumPages(), 2) << "no second page for the window";

    // The active window's page is the active page.
    POSITION pos = graph->GetFirstDocPosition();
    CQuorixDoc* plot = DYNAMIC_DOWNCAST(CQuorixDoc, graph->GetNextDoc(pos));
    ASSERT_NE(plot, nullptr);
    EXPECT_EQ(Access()->GetActiveBasePage(), plot->GetPage());
    EXPECT_TRUE(Access()->IsActiveBasePage(plot->GetPage()));
    EXPECT_FALSE(Access()->IsActiveBasePage(doc->GetPage()));
    EXPECT_EQ(Access()->GetActivePage(), plot->GetPage());

    RECT rect;
    EXPECT_EQ(Access()->GetChildFrameRect(doc->GetPage(), rect), 1);
    CQKPage* notes = qkfxGetProject().CreatePage(QK_PAGE_NOTES);
    EXPECT_EQ(Access()->OnInternalNewPage(notes, TRUE), 1) << "the notes manager makes the window";
    EXPECT_EQ(Access()->GetChildFrameRect(notes, rect), 1);
}

TEST_F(Bridge, MenusAndTagsAreNamedByTheWindowKindsLetter)
{
    EXPECT_EQ(Access()->MenuHandleFromCharForModification('G'), m_app->get_template(QU_TEMPLATE_GRAPH)->m_hMenuShared);
    EXPECT_EQ(Access()->MenuHandleFromCharForModification('Q'), nullptr);
    EXPECT_EQ(Access()->MenuTagsFromCharForModification('Q'), nullptr);
    const char** tags = Access()->MenuTagsFromCharForModification('P');
    ASSERT_NE(tags, nullptr);
    EXPECT_STREQ(tags[3], "La");
    Access()->OnAddRemoveMainDropDownMenu('P', 3, FALSE);
    tags = Access()->MenuTagsFromCharForModification('P');
    EXPECT_STREQ(tags[3], "");
    EXPECT_STREQ(tags[4], "La");
    Access()->OnAddRemoveMainDropDownMenu('P', 3, TRUE);
    EXPECT_STREQ(Access()->MenuTagsFromCharForModification('P')[3], "La");
}

TEST_F(Bridge, TheAreaOfThePageWindowsStandsInWhileMinimised)
{
    RECT rect;
    EXPECT_EQ(Access()->GetAppClientRect(rect), 1);
    RECT client;
    ::GetClientRect(DYNAMIC_DOWNCAST(CMDIFrameWnd, m_app->m_pMainWnd)->m_hWndMDIClient, &client);
    EXPECT_TRUE(::EqualRect(&rect, &client));

    Access()->SetAppClientRect(nullptr, 2);
    ASSERT_TRUE(m_app->m_pMainWnd->IsIconic());
    EXPECT_EQ(Access()->GetAppClientRect(rect), 2);
    RECT standIn = {0, 0, 100, 200};
    EXPECT_TRUE(::EqualRect(&rect, &standIn));

    Access()->SetAppClientRect(nullptr, 1);
    EXPECT_TRUE(m_app->m_pMainWnd->IsZoomed());
    RECT moved = {10, 20, 410, 320};
    Access()->SetAppClientRect(&moved, 0);
}

TEST_F(Bridge, LoadingAProjectIsKnownUntilItEnds)
{
    Access()->OnBeforeLoadFile("C:\\p.qpj", 0);
    EXPECT_EQ(Access()->IsLoadingProject(), 1);
    Access()->OnAfterLoadFile("C:\\p.qpj", 0);
    EXPECT_EQ(Access()->IsLoadingProject(), 0);
    Access()->OnBeforeLoadFile("C:\\a.qgw", 1);
    EXPECT_EQ(Access()->IsLoadingProject(), 0);
    std::string name;
    EXPECT_EQ(Access()->GetQuorixGraphOLEObjectName(name), 1);
    EXPECT_EQ(name, "Quorix50.Graph");
}

TEST_F(Bridge, WhatScriptsPrintGoesToTheResultsLog)
{
    CMainFrame* frame = get_main_frame();
    ASSERT_NE(frame, nullptr);
    ASSERT_EQ(Access()->execute_script("type \"mean is 4.5\"", 0), 0);
    CString log;
    frame->GetOutputLog()->GetEdit().GetAllText(log);
    EXPECT_NE(log.Find("mean is 4.5\r\n"), -1) << (LPCTSTR)log;
    // Errors too: the user sees why a script stopped.
    EXPECT_NE(Access()->execute_script("nosuchcommand 1", 0), 0);
    frame->GetOutputLog()->GetEdit().GetAllText(log);
    EXPECT_NE(log.Find("nosuchcommand"), -1) << (LPCTSTR)log;
}

// Each script run's text shows a hidden log, in an entry of its own under a header naming
// the active window; the project keeps the log as shown, brings it back when opened, adds
// it when appended, and a new project starts with an empty log.
TEST_F(Bridge, TheResultsLogShowsWhatScriptsPrintAndIsKeptWithTheProject)
{
    CMainFrame* frame = get_main_frame();
    ASSERT_NE(frame, nullptr);
    CQUOutputLog* log = frame->GetOutputLog();
    log->GetEdit().SetViewMode(CQUOutputLogEdit::ScopeAll);
    // The first window applies the log's saved show state; the user hides it afterwards.
    ASSERT_EQ(Access()->execute_script("win -t wks Standard Results", 0), 0);
    const std::string header = "\\[[^\\]]* \"/Results\" \\(\\d+\\)\\]\r\n";
    struct Run {
        const char* script;
        std::string entry; // what the run adds to the log
    } runs[] = {
        {"type \"mean is 4.5\"; type \"n = 8\"", header + "mean is 4\\.5\r\nn = 8\r\n\r\n"},
        {"nosuchcommand 1", header + "[^\r]*nosuchcommand[^\r]*\r\n\r\n"},
    };
    std::string pattern;
    CString shown;
    for (const Run& r : runs) {
        frame->ShowControlBar(log, FALSE, FALSE);
        ASSERT_FALSE(log->IsVisible());
        Access()->execute_script(r.script, 0);
        EXPECT_TRUE(log->IsVisible()) << r.script;
        pattern += r.entry;
        log->GetText(shown);
        EXPECT_TRUE(std::regex_match(std::string(shown), std::regex(pattern))) << r.script << "\n" << (LPCTSTR)shown;
    }
    const std::string kept = (LPCTSTR)shown;
    EXPECT_EQ(qkfxGetProject().GetResultsLog(), kept);
    std::vector<BYTE> file;
    qkfxSaveProjectToMemory(file);

    struct Case {
        const char* what;
        std::function<bool(std::string*)> step;
        std::string log;
    } cases[] = {
        {"new project", [](std::string*) { qkfxGetProject().New(); return true; }, ""},
        {"opened", [&](std::string* e) { return qkfxOpenProjectFromMemory(file.data(), file.size(), false, e); }, kept},
        {"appended", [&](std::string* e) { return qkfxOpenProjectFromMemory(file.data(), file.size(), true, e); },
         kept + kept},
    };
    for (const Case& c : cases) {
        std::string error;
        ASSERT_TRUE(c.step(&error)) << c.what << ": " << error;
        log->GetText(shown);
        EXPECT_EQ(std::string(shown), c.log) << c.what;
        EXPECT_EQ(qkfxGetProject().GetResultsLog(), c.log) << c.what;
    }
    qkfxGetProject().New();
}

TEST_F(Bridge, TheKernelReachesTheStatusBarAndTheThreeDToolbar)
{
    CMainFrame* frame = get_main_frame();
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(Access()->OnSetStatusBarText("Ready to fit", 1));
    CWnd* bar = frame->GetMessageBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(qxtest::WindowText(bar->GetSafeHwnd()), "Ready to fit");

    CQUCustomToolBar* toolbar = frame->GetToolBar(59409);
    ASSERT_NE(toolbar, nullptr);
    EXPECT_TRUE(Access()->Show3DToolBar(TRUE, FALSE));
    EXPECT_TRUE(toolbar->IsVisible());
    EXPECT_TRUE(Access()->Show3DToolBar(FALSE, FALSE));
    EXPECT_FALSE(toolbar->IsVisible());

    // Closing all windows empties the bars that follow them.
    frame->GetSpacer()->SetBaseSize(30);
    EXPECT_EQ(Access()->BeginClosingAll(0), 1);
    EXPECT_EQ(frame->GetSpacer()->GetBaseSize(), 0);
    EXPECT_EQ(Access()->EndClosingAll(0), 1);
}

namespace {

// Exit with a modified project asks in the program's own message box; Cancel keeps the
// program and its windows, No ends it without saving.
TEST_F(Bridge, ExitAsksWhetherToSaveAModifiedProjectInTheProgramsMessageBox)
{
    ASSERT_EQ(Access()->execute_script("win -t wks; win -t plot", 0), 0);
    ASSERT_TRUE(qkfxGetProject().IsModified());
    HWND hMain = m_app->m_pMainWnd->GetSafeHwnd();
    for (int button : {IDCANCEL, IDNO}) {
        std::string caption, text;
        qxtest::DialogDriver driver;
        driver.Then([&](HWND box) {
            caption = qxtest::WindowText(box);
            text = qxtest::MessageBoxText(box);
            qxtest::Click(box, button);
        });
        driver.Run([&]() -> INT_PTR { return ::SendMessageA(hMain, WM_COMMAND, ID_APP_EXIT, 0); });
        EXPECT_EQ(driver.StepsRun(), 1) << button;
        EXPECT_EQ(caption, "Quorix 6.1");
        EXPECT_EQ(text, "Save changes to the project?");
        EXPECT_EQ(::IsWindow(hMain) == FALSE, button == IDNO);
        EXPECT_EQ(qkfxGetProject().GetNumPages(), button == IDNO ? 0 : 2);
        EXPECT_EQ(m_app->get_template(QU_TEMPLATE_WKS)->GetNumDocs(), button == IDNO ? 0 : 1);
    }
}

// Yes saves first: an untitled project asks for its name in the Save As box; cancelling
// that keeps the program, a name saves the project and the program ends.
TEST_F(Bridge, ExitWithYesSavesTheProjectFirst)
{
    ASSERT_EQ(Access()->execute_script("win -t wks; col(A)[1] = 4", 0), 0);
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    std::string path = std::string(dir) + "qxu_exit.qpj";
    DeleteFileA(path.c_str());
    HWND hMain = m_app->m_pMainWnd->GetSafeHwnd();
    for (bool name : {false, true}) {
        std::vector<std::string> captions;
        qxtest::DialogDriver driver;
        driver.Then([&](HWND box) {
            captions.push_back(qxtest::MessageBoxText(box));
            qxtest::Click(box, IDYES);
        });
        driver.Then([&](HWND box) {
            captions.push_back(qxtest::WindowText(box));
            if (name) {
                qxtest::SetText(box, GetDlgItem(box, 1148) ? 1148 : 1152, path);
                qxtest::Click(box, IDOK);
            } else {
                qxtest::Click(box, IDCANCEL);
            }
        });
        driver.Run([&]() -> INT_PTR { return ::SendMessageA(hMain, WM_COMMAND, ID_APP_EXIT, 0); });
        EXPECT_EQ(driver.StepsRun(), 2) << name;
        EXPECT_EQ(captions, (std::vector<std::string>{"Save changes to the project?", "Save Project As"}));
        EXPECT_EQ(::IsWindow(hMain) == FALSE, name);
        EXPECT_EQ(GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES, name);
    }
    qkfxGetProject().New();
    std::string error;
    ASSERT_TRUE(qkfxOpenProject(path, false, &error)) << error;
    EXPECT_EQ(qkfxGetProject().FindDataset("Data1_A")->GetValue(0), 4);
    qkfxGetProject().New();
    DeleteFileA(path.c_str());
}

} // namespace

namespace {

// A 16-colour bitmap of `images` button pictures, 16 by 15 pixels each.
void WriteButtonBitmap(const std::string& path, int images)
{
    const int width = 16 * images, height = 15;
    const size_t rowBytes = ((size_t)width * 4 + 31) / 32 * 4;
    std::vector<uint8_t> file(14 + 40 + 64 + rowBytes * height);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; i++)
            file[at + i] = (v >> (8 * i)) & 0xFF;
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, (uint32_t)file.size());
    put32(10, 14 + 40 + 64);
    put32(14, 40);
    put32(18, width);
    put32(22, height);
    file[26] = 1;
    file[28] = 4;
    for (int i = 0; i < 16; i++)
        file[54 + i * 4] = file[54 + i * 4 + 1] = file[54 + i * 4 + 2] = (uint8_t)(i * 17);
    std::ofstream(path, std::ios::binary).write((const char*)file.data(), (std::streamsize)file.size());
}

void WriteText(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

std::string GroupFolder()
{
    return (LPCTSTR)QUFolderOfKind(2);
}

} // namespace

// What an exported button group brings into a program folder that has never seen it: its
// group file, pictures and scripts, and the setup script that the export writes. Running
// the setup script makes the group, its toolbar with every button, and remembers the group.
TEST_F(Bridge, AnExportedButtonGroupInstallsWithItsToolbar)
{
    std::string folder = GroupFolder(), ini = folder + "Tools23.ini";
    WriteButtonBitmap(folder + "Tools23.bmp", 2);
    const char* tips[] = {"Sum the column", "Clear the log"};
    WriteText(ini, "[Common]\r\nGroupName=Tools23\r\nBitmapFile=Tools23.bmp\r\nButtonCount=2\r\n");
    for (int i = 0; i < 2; i++) {
        std::string section = "CustomButton" + std::to_string(i + 1);
        ::WritePrivateProfileStringA(section.c_str(), "FileName", "Tools23.qgs", ini.c_str());
        ::WritePrivateProfileStringA(section.c_str(), "SectionName", "Main", ini.c_str());
        ::WritePrivateProfileStringA(section.c_str(), "ToolTip", tips[i], ini.c_str());
    }
    WriteText(folder + "Tools23.qgs", "[Main]\r\ntools23ran = 1;\r\n[OnBeforeSetup]\r\nbeforesetup23 = 1;\r\n"
                                      "[OnAfterSetup]\r\naftersetup23 = 1;\r\n");
    WriteText(folder + "QPKSetup.qgs", "if (run.section(Tools23.qgs, OnBeforeSetup) == 1) \r\n{\r\n   qpack.undo(); \r\n"
                                       "   return; \r\n}\r\nelse \r\n{ \r\n"
                                       "   if (system.toolbar.createcategory(\"Tools23.ini\") == 0)\r\n   {\r\n"
                                       "\t system.toolbar.create(Tools23);\r\n"
                                       "\t %A=$General.UserDefinedGroupAdded;\r\n\t %B=$General.UserDefinedGroup;\r\n"
                                       "\t type.msgBox(Tools23 %A, %B);\r\n   }\r\n}\r\n"
                                       " run.section(Tools23.qgs, OnAfterSetup);");
    SECToolBarManagerEx* manager = QUGetToolBarManager();
    ASSERT_NE(manager, nullptr);
    ASSERT_EQ(manager->GetGroupWithName("Tools23"), -1);
    qkfxGetCallLog().Clear();

    ASSERT_TRUE(qkfxGetScript().RunFile(folder + "QPKSetup.qgs", {}));

    int index = manager->GetGroupWithName("Tools23");
    ASSERT_GE(index, 0);
    CQUUserDefButtons* group = manager->GetUserDefBtnsGroupsArray()[index];
    ASSERT_EQ(group->GetButtonCount(), 2);
    CQUCustomToolBar* bar = manager->FindTbarByName("Tools23");
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->GetBtnCount(), 2);
    for (int i = 0; i < 2; i++)
        EXPECT_EQ(std::string(group->GetToolTipText(group->GetButton(i)->Id)), tips[i]) << i;
    char listed[MAX_PATH] = "";
    ::GetPrivateProfileStringA("UserDefinedButtons", "Tools23", "", listed, MAX_PATH, QUUserSettingsFile());
    EXPECT_STREQ(listed, "Tools23.ini");
    EXPECT_EQ(Variable("beforesetup23"), 1);
    EXPECT_EQ(Variable("aftersetup23"), 1);
    EXPECT_GE(qkfxGetCallLog().Find("type.msgbox"), 0);

    // The button runs its section of the group's script (buttons act on a window).
    ASSERT_EQ(Access()->execute_script("win -t wks", 0), 0);
    m_app->m_pMainWnd->SendMessage(WM_COMMAND, group->GetButton(0)->Id, 0);
    EXPECT_EQ(Variable("tools23ran"), 1);

    // Installing it again clashes with the group now in use: nothing more is made and the
    // script hears 1.
    size_t groups = manager->GetUserDefBtnsGroupsArray().GetSize();
    qxtest::DialogDriver driver;
    driver.Then([&](HWND box) { qxtest::Click(box, IDOK); });
    double result = -1;
    driver.Run([&]() -> INT_PTR {
        return qkfxGetScript().Evaluate("system.toolbar.createcategory(\"Tools23.ini\")", &result);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(manager->GetUserDefBtnsGroupsArray().GetSize(), groups);
}

// Buttons added by name: a new group (pictures needed) with its own toolbar, then further
// buttons on that toolbar; a group file already there is overwritten only when confirmed.
TEST_F(Bridge, ButtonsAddedByNameMakeTheirGroupAndToolbar)
{
    std::string folder = GroupFolder();
    WriteButtonBitmap(folder + "Mine23.bmp", 3);
    SECToolBarManagerEx* manager = QUGetToolBarManager();
    ASSERT_NE(manager, nullptr);
    CQUAccess* access = Access();
    struct Case {
        const char* group;
        const char* bitmap;
        int result;
        int buttons; // on the toolbar "Mine Bar" afterwards, -1 without one
    } cases[] = {
        {"Mine23", "", 0, -1},          // a new group needs its pictures
        {"Mine23", "Mine23.bmp", 1, 1}, // the group and its toolbar are made
        {"Mine23", "", 1, 2},           // an existing group takes one more button
        {"Mine23", "", 1, 3},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(access->AddUserDefinedButton(c.group, c.bitmap, 1, "Mine Bar", "mine.qgs", "Main", "Do it",
                                               "Does it"),
                  c.result)
            << c.buttons;
        CQUCustomToolBar* bar = manager->FindTbarByName("Mine Bar");
        EXPECT_EQ(bar ? bar->GetBtnCount() : -1, c.buttons);
    }
    CQUUserDefButtons* group = manager->GetUserDefBtnsGroupsArray()[manager->GetGroupWithName("Mine23")];
    UINT last = group->GetButton(group->GetButtonCount() - 1)->Id;
    EXPECT_EQ(std::string(group->GetToolTipText(last)), "Do it");
    EXPECT_EQ(std::string(group->GetStatusText(last)), "Does it");

    // A new group whose default file is already there asks first; Cancel leaves the file.
    WriteText(folder + "Other23.ini", "[Common]\r\nGroupName=Kept\r\n");
    for (int button : {IDCANCEL, IDOK}) {
        std::string text;
        qxtest::DialogDriver driver;
        driver.Then([&](HWND box) {
            text = qxtest::MessageBoxText(box);
            qxtest::Click(box, button);
        });
        INT_PTR made = driver.Run([&]() -> INT_PTR {
            return access->AddUserDefinedButton("Other23", "Mine23.bmp", 1, "", "o.qgs", "Main", "", "");
        });
        EXPECT_EQ(made, button == IDOK ? 1 : 0);
        EXPECT_EQ(text, "The default ini file name for the group is Other23.ini. A file with this name already "
                        "exists. Using the specified name for the group will result in overwriting the existing file.");
        EXPECT_EQ(manager->GetGroupWithName("Other23") >= 0, button == IDOK);
    }
}

namespace {

std::vector<UINT> g_filtered;

int ConsumeSetText(HWND, UINT message, WPARAM, LPARAM)
{
    g_filtered.push_back(message);
    return message == WM_SETTEXT ? 0 : 1;
}

} // namespace

// The kernel's modules reach their bars through the bridge's manager, and see each message
// of their bar before the bar does.
TEST_F(Bridge, ModuleBarsComeThroughTheManagerAndTheModuleSeesTheirMessagesFirst)
{
    CQKUIMManager* uim = Access()->GetUIMManager();
    ASSERT_NE(dynamic_cast<CQUUIMManager*>(uim), nullptr);
    EXPECT_EQ(Access()->GetUIMManager(), uim) << "one manager for the program's run";
    HWND bar = uim->GetUIMBar("Module Seven", 7, 240, 120);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(uim->GetUIMBar("Module Seven", 7, 240, 120), bar);
    EXPECT_EQ(qxtest::WindowText(bar), "Module Seven");
    EXPECT_TRUE(uim->IsUIMBarVisible(7));
    EXPECT_TRUE(uim->InitChildUIM(7, m_app->m_pMainWnd->GetSafeHwnd(), 0));
    EXPECT_TRUE(uim->OnSizeChange(7, 300, 150, 1));
    EXPECT_TRUE(uim->ShowUIMBar(7, 0, 0));
    EXPECT_FALSE(uim->IsUIMBarVisible(7));
    EXPECT_FALSE(uim->IsUIMBarGloballyVisible(7));
    EXPECT_FALSE(uim->ShowUIMBar(8, 1, 0)) << "no bar for module 8";

    // A message the module consumes never reaches the bar; without a filter all do.
    qkUIMSetMessageFilter(bar, ConsumeSetText);
    ::SetWindowTextA(bar, "Consumed");
    EXPECT_EQ(qxtest::WindowText(bar), "Module Seven");
    EXPECT_NE(std::find(g_filtered.begin(), g_filtered.end(), (UINT)WM_SETTEXT), g_filtered.end());
    qkUIMSetMessageFilter(bar, nullptr);
    ::SetWindowTextA(bar, "Passed");
    EXPECT_EQ(qxtest::WindowText(bar), "Passed");

    // The kernel alone has no bars to give.
    CQKUIMManager plain;
    EXPECT_EQ(plain.GetUIMBar("x", 1, 10, 10), nullptr);
    EXPECT_EQ(plain.ShowUIMBar(1, 1, 0) + plain.IsUIMBarVisible(1) + plain.IsUIMBarGloballyVisible(1) +
                  plain.OnSizeChange(1, 1, 1, 1) + plain.InitChildUIM(1, nullptr, 0),
              0);
}
