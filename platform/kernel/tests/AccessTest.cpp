#include "KernelTest.h"

#include <qxtest/DialogDriver.h>

#include <functional>

#include "QKAccess.h"
#include "QKSysMethod.h"

#include <fstream>
#include <regex>

using AccessTest = KernelTest;

TEST_F(AccessTest, CommandStringsRunTheirScriptPart)
{
    TempFile lib("qxk_commands.qgs",
                 "[ZoomIn]\ntype zoom in\n"
                 "[OneToSix]\ntype direction %1\n"
                 "[NotesSaveAs]\ntype save %1\n"
                 "[Broken]\nnosuchcommand\n");
    std::string group = lib.path.substr(0, lib.path.size() - 4); // the group names the file
    CQKAccess* access = qkfxGetAccess();
    struct { const char* group; std::string command; int result; const char* expected; } cases[] = {
        {"FILE", "Do it\nDo\ntype direct;type second", 0, "direct\nsecond\n"},
        {group.c_str(), "Zoom\nZoom In\n@ZoomIn", 0, "zoom in\n"},
        {"GRAPH", "Zoom\nZoom In\n@ZoomIn," + lib.path, 0, "zoom in\n"},
        {"GRAPH", "Rotate\nRotate\n@2," + lib.path + ",OneToSix", 0, "direction 2\n"},
        {"WKS", "Transpose the worksheet\nTranspose", 0, ""},
        {"WKS", "Bad\nBad\nnosuchcommand", 1, ""},
        {"WKS", "Bad\nBad\n@Broken," + lib.path, 1, ""},
        {nullptr, "Zoom\nZoom In\n@ZoomIn", 1, ""},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.command);
        out.clear();
        EXPECT_EQ(access->run_resurce_string_ex(c.group, c.command.c_str(), nullptr), c.result) << err;
        EXPECT_EQ(out, c.expected);
    }
    EXPECT_NE(qkfxGetCallLog().Find("run_resurce_string_ex: no script"), -1);

    out.clear();
    double result = -1;
    std::string call = lib.path + ",NotesSaveAs,\"Notes1\" \"C:\\notes.txt\"";
    EXPECT_EQ(access->run_section_script(call.c_str(), &result), 0) << err;
    EXPECT_EQ(out, "save \"Notes1\" \"C:\\notes.txt\"\n") << "the argument text stays one argument";
    EXPECT_EQ(result, 0);
    EXPECT_NE(access->run_section_script("no comma here", &result), 0);
    EXPECT_EQ(access->execute_script("x = 3", 0), 0);
    EXPECT_EQ(access->execute_script("x = ", 0), 1);
}

TEST_F(AccessTest, TheBridgeMadeByTheUserInterfaceIsTheAccessObject)
{
    struct Bridge : CQKAccess {
        int execute_script(const char* text, int flags) override { return 7; }
    };
    CQKAccess* plain = qkfxGetAccess();
    {
        Bridge bridge;
        EXPECT_EQ(qkfxGetAccess(), &bridge);
        EXPECT_EQ(qkfxGetAccess()->execute_script("x=1", 0), 7);
    }
    EXPECT_EQ(qkfxGetAccess(), plain);
}

TEST_F(AccessTest, ApplicationMembersAnswerOrRecordWhatNeedsTheUserInterface)
{
    CQKAccess* access = qkfxGetAccess();
    EXPECT_NE(access->Init(nullptr, "\"C:\\data\\run 1.qpj\" /h"), 0);
    EXPECT_EQ(access->OnAfterMainFrameCreate(nullptr, 1, 1), SW_HIDE);
    EXPECT_EQ(access->OnAfterMainFrameCreate(nullptr, 1, 0), SW_SHOWNORMAL);
    EXPECT_EQ(access->on_before_run_command("FILE", 34006), 1);
    EXPECT_EQ(access->on_before_run_command("FILE", 33999), 0) << "CSV Export is not described";
    EXPECT_STREQ(qkfxGetUnbuiltCommandArea(33999), "not described");
    // A workbook file opens only in a workbook window, which the kernel alone has not.
    EXPECT_FALSE(Run("open \"C:\\data\\Book.xls\""));
    EXPECT_NE(err.find("workbook windows"), std::string::npos) << err;
    EXPECT_EQ(qkfxGetUnbuiltCommandArea(34006), nullptr);
    // Close Project needs something to close: a page, or a change to the project.
    qkfxGetProject().New();
    EXPECT_EQ(access->on_before_run_command("FILE", 34017), 0) << "an empty project";
    qkfxGetProject().SetProjectModified(true);
    EXPECT_EQ(access->on_before_run_command("FILE", 34017), 1) << "a change and no page";
    qkfxGetProject().New();
    ASSERT_TRUE(Run("win -t wks")) << err;
    EXPECT_EQ(access->on_before_run_command("FILE", 34017), 1) << "a worksheet";
    qkfxGetProject().New();
    EXPECT_EQ(access->QKOnIdle(0), 0);
    EXPECT_EQ(access->GetPageManager(), &qkfxGetProject());
    EXPECT_EQ(access->GetQrxSystem(), &qkfxGetQrxSystem());
    EXPECT_TRUE(access->IsProjectFileName("C:\\a\\b.QPJ"));
    EXPECT_FALSE(access->IsProjectFileName("b.qgs"));
    EXPECT_EQ(qkfxExecuteCommandLine(nullptr), 1) << "a file that does not open does not end the start";
    EXPECT_EQ(qkfxGetCallLog().GetAt(qkfxGetCallLog().Find("CQKAccess::OpenProjectFile")).args, "C:\\data\\run 1.qpj");
    EXPECT_NE(err.find("cannot open \"C:\\data\\run 1.qpj\""), std::string::npos) << err;
    EXPECT_NE(access->run_user_menu_script(33360, nullptr), 0);

    access->OnlineHelp(501);
    access->OnQrxWebSite(3);
    access->OnSendProjectTo();
    access->GetScriptWindow()->OnMainFrameOpen(nullptr);
    access->Uninit();
    for (const char* op : {"CQKAccess::OnlineHelp", "CQKAccess::OnQrxWebSite", "CQKAccess::OnSendProjectTo",
                           "CQKScriptWindow::OnMainFrameOpen", "CQKAccess::Uninit"})
        EXPECT_NE(qkfxGetCallLog().Find(op), -1) << op;

    CQKQrxSystem& system = qkfxGetQrxSystem();
    EXPECT_EQ(system.GetNumMenuLevels(), 1);
    EXPECT_FALSE(system.ChangeMenuLevel(1));
    EXPECT_TRUE(system.ChangeMenuLevel(0));
    bool shown = system.IsScriptWindowShown();
    system.ToggleScriptWindow();
    EXPECT_NE(system.IsScriptWindowShown(), shown);
    system.ToggleScriptWindow();
    system.AboutDialog();
    EXPECT_NE(qkfxGetCallLog().Find("CQKQrxSystem::AboutDialog"), -1);

    std::string ext;
    EXPECT_TRUE(qkfxGetQrxTemplateFileExtension(QK_PAGE_GRAPH, ext));
    EXPECT_EQ(ext, ".qtp");
    EXPECT_FALSE(qkfxGetQrxTemplateFileExtension(QK_PAGE_NOTES, ext));
    qkfxSetQuickVariable(201, 4);
    EXPECT_EQ(qkfxGetQuickVariable(201), 4);
    qkfxSetVariableValue("ROTANGLE3D", 10);
    EXPECT_EQ(Var("rotangle3d"), 10);
    char ini[MAX_PATH];
    qkfxSetGlobalINIPath("C:\\settings");
    qkfxGetGlobalINIPath(ini);
    EXPECT_STREQ(ini, "C:\\settings");
    EXPECT_EQ(qkfxGetINIFileFullPathName(), "C:\\settings\\quorix61.ini");
    qkfxSetGlobalINIPath("");
    EXPECT_TRUE(qkfxIsIniPathEQProgPath());
}

TEST_F(AccessTest, MenuAndRegistryUtilities)
{
    HMENU bar = CreateMenu(), file = CreatePopupMenu(), recent = CreatePopupMenu();
    AppendMenuA(recent, MF_STRING, 57616, "Recent");
    AppendMenuA(file, MF_STRING, 57600, "New");
    AppendMenuA(file, MF_POPUP, (UINT_PTR)recent, "Recent Files");
    AppendMenuA(file, MF_STRING, 57665, "Exit");
    AppendMenuA(bar, MF_POPUP, (UINT_PTR)file, "File");
    EXPECT_EQ(qkuGetSubmenuWithThisItem(bar, 57665), file);
    EXPECT_EQ(qkuGetSubmenuWithThisItem(bar, 57616), recent);
    EXPECT_EQ(qkuGetSubmenuWithThisItem(bar, 1234), nullptr);
    EXPECT_EQ(qkuGetMenuItemPosition(file, 57665), 2);
    EXPECT_EQ(qkuGetMenuItemPosition(file, 57616), -1) << "only the menu's own items";
    DestroyMenu(bar);

    const char* key = "Software\\QuorixKernelTest";
    HKEY h;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\QuorixKernelTest\\shell\\open", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &h, nullptr), ERROR_SUCCESS);
    RegSetValueExA(h, "command", 0, REG_SZ, (const BYTE*)"quorix61.exe \"%1\"", 19);
    RegCloseKey(h);
    ASSERT_TRUE(qkuAppendRegistryKeyStringValue(HKEY_CURRENT_USER, "Software\\QuorixKernelTest\\shell\\open", "command",
                                                " -P \"C:\\ini\""));
    char value[128] = "";
    DWORD size = sizeof value;
    RegGetValueA(HKEY_CURRENT_USER, "Software\\QuorixKernelTest\\shell\\open", "command", RRF_RT_REG_SZ, nullptr, value, &size);
    EXPECT_STREQ(value, "quorix61.exe \"%1\" -P \"C:\\ini\"");
    // Subkeys are found by a string value: only those whose value matches go.
    for (const char* bar : {"Bar0", "Bar1", "Bar2"}) {
        std::string sub = std::string(key) + "\\Bars\\" + bar;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, sub.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr),
                  ERROR_SUCCESS);
        const char* name = strcmp(bar, "Bar1") == 0 ? "Mine" : "Standard";
        RegSetValueExA(h, "WindowName", 0, REG_SZ, (const BYTE*)name, (DWORD)strlen(name) + 1);
        RegCloseKey(h);
    }
    EXPECT_TRUE(qkuDeleteRegKeyByStringValue(HKEY_CURRENT_USER, "Software\\QuorixKernelTest\\Bars", "WindowName", "Mine"));
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\QuorixKernelTest\\Bars\\Bar1", 0, KEY_READ, &h), ERROR_SUCCESS);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\QuorixKernelTest\\Bars\\Bar2", 0, KEY_READ, &h), ERROR_SUCCESS);
    RegCloseKey(h);
    EXPECT_FALSE(qkuDeleteRegKeyByStringValue(HKEY_CURRENT_USER, "Software\\QuorixKernelTest\\Bars", "WindowName", "mine"))
        << "values compare exactly";
    EXPECT_FALSE(qkuDeleteRegKey(HKEY_CURRENT_USER, "")) << "never a whole root";
    ASSERT_TRUE(qkuDeleteRegKey(HKEY_CURRENT_USER, key));
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &h), ERROR_SUCCESS);

    std::string exe, part;
    ASSERT_TRUE(qkuGetExeFile(exe, 3));
    EXPECT_NE(exe.find("qxkernel_tests.exe"), std::string::npos);
    EXPECT_FALSE(qkuGetINIPathForCommandline(part, 0)) << "the INI folder is the program folder";
    qkfxSetGlobalINIPath("C:\\settings");
    EXPECT_TRUE(qkuGetINIPathForCommandline(part, 0));
    EXPECT_EQ(part, " -P \"C:\\settings\"");
    qkfxSetGlobalINIPath("");
    CQKCustomModification custom;
    EXPECT_FALSE(custom.IsCustomDLLValid());

    ASSERT_TRUE(qkuRegisterExtension(".qxktest", "QuorixKernelTest.Filter", 7));
    size = sizeof value;
    RegGetValueA(HKEY_CLASSES_ROOT, ".qxktest", nullptr, RRF_RT_REG_SZ, nullptr, value, &size);
    EXPECT_STREQ(value, "QuorixKernelTest.Filter");
    size = sizeof value;
    RegGetValueA(HKEY_CLASSES_ROOT, "QuorixKernelTest.Filter\\DefaultIcon", nullptr, RRF_RT_REG_SZ, nullptr, value, &size);
    EXPECT_EQ(std::string(value), exe + ",7");
    qkuDeleteRegKey(HKEY_CLASSES_ROOT, ".qxktest");
    qkuDeleteRegKey(HKEY_CLASSES_ROOT, "QuorixKernelTest.Filter");
}

TEST_F(AccessTest, CommandLineIniFolderIsNoFileToOpen)
{
    qkfxGetCallLog().Clear();
    qkfxReadCommandLine("-P \"C:\\my settings\" /h \"C:\\data\\a b.qpj\"");
    qkfxSetGlobalINIPath();
    char ini[MAX_PATH];
    qkfxGetGlobalINIPath(ini);
    EXPECT_STREQ(ini, "C:\\my settings");
    qkfxExecuteCommandLine(nullptr);
    int at = qkfxGetCallLog().Find("CQKAccess::OpenProjectFile");
    ASSERT_GE(at, 0);
    EXPECT_EQ(qkfxGetCallLog().GetAt(at).args, "C:\\data\\a b.qpj");
    EXPECT_EQ(qkfxGetCallLog().Find("CQKAccess::OpenProjectFile", at + 1), -1) << "the folder is not opened";

    qkfxReadCommandLine("");
    qkfxSetGlobalINIPath();
    EXPECT_TRUE(qkfxIsIniPathEQProgPath());
}

TEST_F(AccessTest, PagesTheWindowsNameKeepTheirNameWhenItIsRefused)
{
    CQKPage* page = qkfxGetProject().CreatePage(QK_PAGE_WKS, "Data1");
    ASSERT_NE(qkfxGetProject().CreatePage(QK_PAGE_GRAPH, "Graph1"), nullptr);
    struct Case {
        const char* asked;
        const char* result;
        int changed;
    } cases[] = {{"Results", "Results", 0}, {"graph1", "Results", 1}, {"1abc", "Results", 1}, {"Summary", "Summary", 0}};
    for (const Case& c : cases) {
        std::string name = c.asked;
        int changed = -1;
        page->SetName(name, &changed);
        EXPECT_EQ(name, c.result) << c.asked;
        EXPECT_EQ(page->GetName(), c.result) << c.asked;
        EXPECT_EQ(changed, c.changed) << c.asked;
    }
    // A page made for a window; reading window files is not there yet.
    CQKAccess access;
    CQKPage* made = access.CreateNewPage(QK_PAGE_MATRIX, nullptr, "", 0);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->GetType(), QK_PAGE_MATRIX);
    EXPECT_EQ(access.CreateNewPage(QK_PAGE_WKS, nullptr, "C:\\a.qgw", 1), nullptr);
    EXPECT_EQ(access.CreateNewPage(QK_PAGE_NOTES, nullptr, "", 0), nullptr);
    EXPECT_EQ(access.OnInternalNewPage(made, TRUE), 0) << "no windows without a user interface";
    made->Destroy();
    EXPECT_EQ(qkfxGetProject().FindPage("Matrix1"), nullptr);
}

namespace {

// A page whose own closing query may keep the project open.
struct RefusingPage : CQKWksPage {
    RefusingPage(CQKProject* project, const std::string& name) : CQKWksPage(project, name) {}
    int OnClosingQuery(BOOL closingAll) override { return closingAll ? refuse == 0 : 1; }
    static int refuse;
};
int RefusingPage::refuse = 0;

} // namespace

TEST_F(AccessTest, TheProjectIsModifiedByEveryChangeOfItsData)
{
    CQKProject& project = qkfxGetProject();
    EXPECT_FALSE(project.IsModified()) << "a new project";
    struct Case {
        const char* what;
        std::function<bool()> change;
    } cases[] = {
        {"new page", [&] { return project.CreatePage(QK_PAGE_GRAPH) != nullptr; }},
        {"cell", [&] { return project.FindDataset("Data1_A")->SetValue(3, 1.5); }},
        {"text cell", [&] { return project.FindDataset("Data1_A")->SetText(0, "x"); }},
        {"new column", [&] { return ((CQKWksPage*)project.FindPage("Data1"))->AddColumn() != nullptr; }},
        {"renamed column", [&] { return ((CQKWksPage*)project.FindPage("Data1"))->RenameColumn(1, "T"); }},
        {"renamed page", [&] { return project.FindPage("Data1")->SetName("Run"); }},
        {"matrix cell", [&] { return ((CQKMatrixPage*)project.CreatePage(QK_PAGE_MATRIX))->SetCell(1, 1, 2); }},
        {"deleted page", [&] { return project.DeletePage("Data1"); }},
        {"script", [&] { return Run("Run_T[2] = 7"); }},
        {"script label", [&] { return Run("win -a Run; wks.col1.label$ = Time"); }},
        {"script format", [&] { return Run("win -a Run; wks.col1.format = 2"); }},
    };
    for (const Case& c : cases) {
        project.New();
        CQKWksPage* wks = (CQKWksPage*)project.CreatePage(QK_PAGE_WKS);
        wks->AddColumn();
        project.SetProjectModified(false);
        if (std::string(c.what).compare(0, 6, "script") == 0) {
            wks->SetName("Run");
            wks->RenameColumn(1, "T");
            project.SetProjectModified(false);
        }
        ASSERT_TRUE(c.change()) << c.what;
        EXPECT_TRUE(project.IsModified()) << c.what;
    }
    project.New();
    EXPECT_FALSE(project.IsModified()) << "New starts an unmodified project";
}

TEST_F(AccessTest, ClosingAModifiedProjectAsksYesNoOrCancelAndYesSavesIt)
{
    CQKProject& project = qkfxGetProject();
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    const std::string titled = std::string(dir) + "qxk_closing.qpj", named = std::string(dir) + "qxk_named.qpj";
    // What happens in each box that appears, in order: a button, or a name typed into
    // the Save As box.
    enum { TYPE_NAME = -1, CANCEL_NAME = -2 };
    struct Case {
        bool modified;
        const char* path; // the project's file, "" untitled
        std::vector<int> steps;
        int answer;
        const char* saved; // the file that must exist afterwards
    } cases[] = {
        {false, "", {}, 1, nullptr},
        {true, "", {IDNO}, 1, nullptr},
        {true, "", {IDCANCEL}, 0, nullptr},
        {true, titled.c_str(), {IDYES}, 1, titled.c_str()},
        {true, "", {IDYES, CANCEL_NAME}, 0, nullptr},
        {true, "", {IDYES, TYPE_NAME}, 1, named.c_str()},
        // A file that cannot be written: the reason is shown and the project stays.
        {true, "C:\\no\\such\\folder\\p.qpj", {IDYES, IDOK}, 0, nullptr},
    };
    // The Save As box needs a main window to stand over.
    HWND frame = CreateWindowA("STATIC", "Quorix", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr, nullptr,
                               nullptr);
    ASSERT_NE(frame, nullptr);
    qkfxGetAccess()->Init(frame, nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path + std::to_string(c.steps.size()));
        DeleteFileA(titled.c_str());
        DeleteFileA(named.c_str());
        project.New();
        project.CreatePage(QK_PAGE_WKS);
        project.SetProjectPath(c.path);
        project.SetProjectModified(c.modified);
        std::vector<std::string> texts;
        qxtest::DialogDriver driver;
        for (int step : c.steps)
            driver.Then([&texts, &named, step](HWND box) {
                texts.push_back(qxtest::WindowText(box) + "|" + qxtest::MessageBoxText(box));
                if (step == TYPE_NAME) {
                    // The file name box: a combo box in the Explorer-style box, an edit
                    // in the older one.
                    qxtest::SetText(box, GetDlgItem(box, 1148) ? 1148 : 1152, named);
                    qxtest::Click(box, IDOK);
                } else {
                    qxtest::Click(box, step == CANCEL_NAME ? IDCANCEL : step);
                }
            });
        EXPECT_EQ(driver.Run([&] { return (INT_PTR)project.OnClosingQuery(); }), c.answer);
        EXPECT_EQ(driver.StepsRun(), (int)c.steps.size());
        if (!c.steps.empty())
            EXPECT_EQ(texts[0], "Quorix|Save changes to the project?");
        if (c.steps.size() == 2 && c.steps[1] >= 0)
            EXPECT_NE(texts[1].find("cannot save"), std::string::npos) << texts[1];
        if (c.steps.size() == 2 && c.steps[1] < 0)
            EXPECT_EQ(texts[1].substr(0, 15), "Save Project As") << texts[1];
        if (c.saved) {
            EXPECT_NE(GetFileAttributesA(c.saved), INVALID_FILE_ATTRIBUTES);
            EXPECT_EQ(project.GetProjectPath(), c.saved);
            EXPECT_FALSE(project.IsModified());
        }
    }
    qkfxGetAccess()->OnBeforeMainFrameClose(frame);
    DestroyWindow(frame);
    DeleteFileA(titled.c_str());
    DeleteFileA(named.c_str());
}

TEST_F(AccessTest, ClosingAllWindowsEmptiesTheProjectOnlyWhenEveryQueryAgrees)
{
    CQKProject& project = qkfxGetProject();
    project.SetPageFactory(QK_PAGE_WKS, [](CQKProject* p, const std::string& name) -> CQKPage* {
        return new RefusingPage(p, name);
    });
    struct Case {
        int mode;
        int refuse;
        int button; // 0: no question
        BOOL closed;
    } cases[] = {
        {0, 0, IDNO, TRUE},
        {0, 0, IDCANCEL, FALSE},
        {0, 1, IDNO, FALSE}, // the page keeps it open after the project's No
        {1, 1, 0, TRUE},     // for an embedding nothing is asked
    };
    for (const Case& c : cases) {
        project.New();
        project.CreatePage(QK_PAGE_WKS);
        project.CreatePage(QK_PAGE_GRAPH);
        RefusingPage::refuse = c.refuse;
        qxtest::DialogDriver driver;
        if (c.button)
            driver.Then([&](HWND box) { qxtest::Click(box, c.button); });
        EXPECT_EQ(driver.Run([&] { return (INT_PTR)qkfxGetQrxSystem().OnCloseAllWindows(c.mode); }), c.closed);
        EXPECT_EQ(driver.StepsRun(), c.button ? 1 : 0);
        EXPECT_EQ(project.GetNumPages(), c.closed ? 0 : 2);
        EXPECT_EQ(project.IsModified(), !c.closed);
    }
    project.SetPageFactory(QK_PAGE_WKS, nullptr);
    RefusingPage::refuse = 0;
}

TEST_F(AccessTest, MainWindowHooksRunUserMessagesAndTrackCommands)
{
    CQKAccess* access = qkfxGetAccess();
    EXPECT_EQ(access->GetCurrentCommand(), 0u);
    EXPECT_NE(access->OnCommandBegin(MAKEWPARAM(34012, 0), 0), 0);
    EXPECT_NE(access->OnCommandBegin(33051, 0), 0);
    EXPECT_EQ(access->GetCurrentCommand(), 33051u) << "the inner command";
    access->OnCommandEnd(33051, 0);
    EXPECT_EQ(access->GetCurrentCommand(), 34012u);
    access->OnCommandEnd(34012, 0);
    EXPECT_EQ(access->GetCurrentCommand(), 0u);

    const char* text = "hookvar = 12";
    EXPECT_EQ(access->WMUserProcessing(WM_USER, 0, (LPARAM)text), 0);
    EXPECT_EQ(Var("hookvar"), 12);
    access->WMUserProcessing(WM_TIMER, 5, 0);
    EXPECT_NE(qkfxGetCallLog().Find("CQKAccess::WMUserProcessing"), -1);
    EXPECT_TRUE(access->prompt_to_save_all_scrivex_editor_wnds());
    EXPECT_FALSE(access->GetScriptWindow()->SetActive());

    // A window's place is used once.
    CQKProject& project = qkfxGetProject();
    CREATESTRUCTA cs = {};
    cs.x = cs.y = cs.cx = cs.cy = CW_USEDEFAULT;
    EXPECT_FALSE(project.GetWinCreateInfo(cs));
    EXPECT_EQ(cs.x, CW_USEDEFAULT);
    project.SetWinCreateInfo(RECT{10, 20, 310, 220}, TRUE);
    EXPECT_TRUE(project.GetWinCreateInfo(cs));
    EXPECT_EQ(std::vector<int>({cs.x, cs.y, cs.cx, cs.cy}), std::vector<int>({10, 20, 300, 200}));
    EXPECT_TRUE(cs.style & WS_MINIMIZE);
    EXPECT_FALSE(project.GetWinCreateInfo(cs));
}

// print hands the active window's printing to the main window, as File Print would; only
// windows that draw themselves print, and the print commands are grey over the others.
TEST_F(AccessTest, PrintPostsTheActiveWindowsPrintCommandToTheMainWindow)
{
    HWND frame = CreateWindowA("STATIC", "Quorix", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr, nullptr,
                               nullptr);
    ASSERT_NE(frame, nullptr);
    CQKAccess* access = qkfxGetAccess();
    access->Init(frame, nullptr);
    struct Case {
        int kind; // page made first, -1 none
        const char* script;
        WPARAM posted; // 0: nothing, the script fails with `error`
        const char* error;
    } cases[] = {
        {QK_PAGE_GRAPH, "print", 0xE107, nullptr},
        {QK_PAGE_WKS, "Print", 0xE107, nullptr},
        {QK_PAGE_LAYOUT, "print", 0xE107, nullptr},
        {QK_PAGE_WKS, "print -s", 0xE106, nullptr},
        {-1, "print -s", 0xE106, nullptr},
        {-1, "print", 0, "there is no window to print"},
        {QK_PAGE_MATRIX, "print", 0, "cannot be printed"},
        {QK_PAGE_GRAPH, "print -x", 0, "print knows only -s"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script + std::string(" on ") + std::to_string(c.kind));
        qkfxGetProject().New();
        if (c.kind >= 0)
            qkfxGetProject().CreatePage((QKPageType)c.kind);
        const bool printable = c.kind == QK_PAGE_GRAPH || c.kind == QK_PAGE_WKS || c.kind == QK_PAGE_LAYOUT;
        for (int id : {33040, 33053, 34022})
            EXPECT_EQ(access->on_before_run_command(nullptr, id), printable ? 1 : 0) << id;
        EXPECT_EQ(access->on_before_run_command(nullptr, 34023), 1);
        EXPECT_EQ(Run(c.script), c.posted != 0) << err;
        MSG msg;
        const bool got = PeekMessageA(&msg, frame, WM_COMMAND, WM_COMMAND, PM_REMOVE) != 0;
        EXPECT_EQ(got, c.posted != 0);
        if (got) {
            EXPECT_EQ(msg.wParam, c.posted);
        }
        if (c.error) {
            EXPECT_NE(err.find(c.error), std::string::npos) << err;
        }
    }
    access->Init(nullptr, nullptr);
    DestroyWindow(frame);
}

// The list of refused commands in README.md is the one users and developers read: each
// command it names is refused for the area under which it stands.
TEST(CommandAreas, TheReadmeNamesTheAreaOfEveryRefusedCommand)
{
    std::ifstream in("qxkernel_testdata\\README.md");
    ASSERT_TRUE(in) << "README.md beside the tests";
    std::regex bullet("^- \\*\\*(.+?)\\*\\* \\((\\d+)\\): (.*)$");
    std::regex entry("(?:^|, )(\\d+) ");
    int listed = 0, areas = 0;
    for (std::string line; std::getline(in, line);) {
        std::smatch m;
        if (!std::regex_match(line, m, bullet))
            continue;
        ++areas;
        std::string area = m[1], items = m[3];
        int count = 0;
        for (std::sregex_iterator it(items.begin(), items.end(), entry), end; it != end; ++it, ++count) {
            int id = std::stoi((*it)[1]);
            const char* actual = qkfxGetUnbuiltCommandArea(id);
            EXPECT_STREQ(actual, area.c_str()) << id;
            EXPECT_EQ(qkfxGetAccess()->on_before_run_command(nullptr, id), 0) << id;
        }
        EXPECT_EQ(count, std::stoi(m[2])) << area;
        listed += count;
    }
    EXPECT_EQ(areas, 1);
    EXPECT_EQ(listed, 54);
}
