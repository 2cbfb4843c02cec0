// The application base object: start-up in its order for normal and hidden starts, the
// profile in the INI folder, shell registration, the message box, DDE, starting a second
// instance, profile redirection into the registry and the menu copies.
#include "CoreTestApp.h"

#include <qxtest/DialogDriver.h>

#include "QKAccess.h"
#include "QUAccess.h"
#include "QUDDMenuTagMap.h"
#include "MainFrame.h"
#include "QKScript.h"
#include "QKUtil.h"

namespace {

std::string RegValue(HKEY root, const std::string& key, const char* name = nullptr)
{
    char value[512] = {};
    DWORD size = sizeof(value) - 1;
    HKEY h = nullptr;
    if (::RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE, &h) != ERROR_SUCCESS)
        return "<no key>";
    LONG rc = ::RegQueryValueExA(h, name, nullptr, nullptr, (BYTE*)value, &size);
    ::RegCloseKey(h);
    return rc == ERROR_SUCCESS ? std::string(value) : "<no value>";
}

bool KeyExists(HKEY root, const std::string& key)
{
    HKEY h = nullptr;
    if (::RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE, &h) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(h);
    return true;
}

std::string ProfileValue(const std::string& file, const char* section, const char* key)
{
    char value[256] = {};
    ::GetPrivateProfileStringA(section, key, "<none>", value, sizeof(value), file.c_str());
    return value;
}

std::string Describe(HMENU menu)
{
    std::string s;
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
        char text[128] = {};
        ::GetMenuStringA(menu, i, text, sizeof(text), MF_BYPOSITION);
        if (HMENU sub = ::GetSubMenu(menu, i))
            s += std::string(text) + "{" + Describe(sub) + "}";
        else if (::GetMenuState(menu, i, MF_BYPOSITION) & MF_SEPARATOR)
            s += "-";
        else
            s += std::to_string(::GetMenuItemID(menu, i)) + ":" + text;
        s += ";";
    }
    return s;
}

using Ops = std::vector<std::string>;

class Startup : public AppFixture {};

class HiddenStartup : public AppFixture, public ::testing::WithParamInterface<const char*> {
protected:
    std::vector<std::string> Arguments() override { return {GetParam()}; }
};

} // namespace

TEST_F(Startup, CallsTheKernelInItsOrderAndShowsTheMainWindow)
{
    Ops ops = {"qkfxOpenScreen", "CQKAccess::Init", "qkfxAutoRegister", "qkfxAutoRegisterTypeLib",
               "CQKAccess::OnAfterMainFrameCreate", "qkfxExecuteCommandLine", "CQKScriptWindow::OnMainFrameOpen"};
    std::vector<int> at = LogPositions(ops);
    for (size_t i = 0; i < ops.size(); ++i) {
        ASSERT_GE(at[i], 0) << ops[i] << " missing:\n" << qkfxGetCallLog().ToString();
        if (i > 0) {
            EXPECT_LT(at[i - 1], at[i]) << ops[i - 1] << " before " << ops[i];
        }
    }
    CQKCallLog& log = qkfxGetCallLog();
    EXPECT_EQ(log.GetAt(at[0]).args, "1");
    EXPECT_EQ(log.GetAt(at[3]).args, "qauto.tlb");
    EXPECT_EQ(log.GetAt(at[4]).args, "0") << "not a hidden start";
    EXPECT_EQ(m_app->m_splashShow, std::vector<BOOL>{TRUE});
    ASSERT_NE(m_app->GetStartScreen(), nullptr);
    EXPECT_TRUE(m_app->GetStartScreen()->IsShown());

    ASSERT_NE(m_app->m_pMainWnd, nullptr);
    EXPECT_TRUE(m_app->m_pMainWnd->IsWindowVisible());
    EXPECT_EQ(m_app->DoNotSaveToolabarsConf(), 0);
    ASSERT_NE(m_app->GetAccess(), nullptr);
    EXPECT_EQ(qkfxGetAccess(), (CQKAccess*)m_app->GetAccess()) << "the bridge is the kernel's access object";
    EXPECT_FALSE(qkfxGetProject().IsModified());
}

TEST_F(Startup, TheProfileIsInTheIniFolderWithTheModuleHandles)
{
    std::string profile = m_app->m_pszProfileName;
    EXPECT_EQ(profile, m_iniFolder + "\\qxuser_core_tests.INI");
    EXPECT_EQ(ProfileValue(profile, "HINST", "QU"),
              std::to_string((long long)(INT_PTR)::GetModuleHandleA("qxuser.dll")));
    EXPECT_EQ(ProfileValue(profile, "HINST", "QD"),
              std::to_string((long long)(INT_PTR)::GetModuleHandleA("qxdialogs.dll")));
    EXPECT_STRNE(m_app->m_pszHelpFilePath, "");
}

TEST(CommandLine, HiddenAndIniFolderSwitchesAreTheProgramsOwn)
{
    struct Case {
        std::vector<const char*> args;
        int hidden;
        int shellCommand;
        const char* file;
    } cases[] = {
        {{"/h"}, 1, CCommandLineInfo::FileNew, ""},
        {{"-Hidden", "C:\\a.qgw"}, 1, CCommandLineInfo::FileOpen, "C:\\a.qgw"},
        {{"-P", "C:\\ini", "C:\\a.qgw"}, 0, CCommandLineInfo::FileOpen, "C:\\a.qgw"},
        {{"/dde", "-P", "C:\\ini"}, 0, CCommandLineInfo::FileDDE, ""},
        {{"-p", "C:\\ini", "/Hx"}, 1, CCommandLineInfo::FileNew, ""},
        {{"/Embedding"}, 0, CCommandLineInfo::FileNothing, ""},
        {{"/pt", "C:\\a.qgw"}, 0, CCommandLineInfo::FilePrintTo, "C:\\a.qgw"},
    };
    for (const Case& c : cases) {
        CQUCommandLineInfo info;
        for (size_t i = 0; i < c.args.size(); ++i) {
            const char* a = c.args[i];
            BOOL flag = a[0] == '-' || a[0] == '/';
            info.ParseParam(flag ? a + 1 : a, flag, i + 1 == c.args.size());
        }
        EXPECT_EQ(info.m_bHidden, c.hidden) << c.args[0];
        EXPECT_EQ((int)info.m_nShellCommand, c.shellCommand) << c.args[0];
        EXPECT_STREQ(info.m_strFileName, c.file) << c.args[0];
    }
}

TEST_P(HiddenStartup, ShowsNoStartScreenAndTellsTheKernel)
{
    EXPECT_TRUE(m_app->IsHiddenStart());
    EXPECT_TRUE(m_app->m_splashShow.empty());
    EXPECT_EQ(qkfxGetCallLog().Find("qkfxOpenScreen"), -1);
    int at = qkfxGetCallLog().Find("CQKAccess::OnAfterMainFrameCreate");
    ASSERT_GE(at, 0);
    EXPECT_EQ(qkfxGetCallLog().GetAt(at).args, "1");
    EXPECT_FALSE(m_app->m_pMainWnd->IsWindowVisible());
    EXPECT_EQ(m_app->DoNotSaveToolabarsConf(), 1) << "a hidden window's toolbars are not saved";
}

INSTANTIATE_TEST_SUITE_P(Switches, HiddenStartup, ::testing::Values("/h", "-Hidden", "/HIDE"));

TEST_F(Startup, TemplatesAreFoundByIdPageTypeAndMenuLetter)
{
    for (int id = 0; id <= 5; ++id) {
        ASSERT_NE(m_app->get_template(id), nullptr) << id;
        EXPECT_EQ(m_app->get_template(id)->get_template_id(), id);
        EXPECT_NE(m_app->get_template(id)->GetMenuTagMap(), nullptr) << "Init made the tag map";
    }
    EXPECT_EQ(m_app->get_template(6), nullptr);
    EXPECT_EQ(m_app->get_one_page_template(4), m_app->get_template(QU_TEMPLATE_LAYOUT));
    EXPECT_EQ(m_app->get_one_page_template(5), m_app->get_template(QU_TEMPLATE_WKS));
    EXPECT_EQ(m_app->get_one_page_template(-1), m_app->get_template(QU_TEMPLATE_WKS));
    struct {
        char letter;
        int id;
    } letters[] = {{'W', 0}, {'G', 1}, {'M', 2}, {'X', 3}, {'P', 4}};
    for (auto l : letters)
        EXPECT_EQ(m_app->menu_modifications_character_to_template(l.letter), m_app->get_template(l.id)) << l.letter;
    EXPECT_EQ(m_app->menu_modifications_character_to_template('N'), nullptr);
    EXPECT_EQ(m_app->menu_modifications_character_to_template('w'), nullptr);
    CString name;
    EXPECT_EQ(m_app->GetQuorixGraphOLEObjectName(name), 1);
    EXPECT_STREQ(name, "Quorix50.Graph");
}

TEST_F(Startup, ShellRegistrationCoversWorksheetsGraphsAndMatricesOnly)
{
    EXPECT_EQ(RegValue(HKEY_CLASSES_ROOT, ".QGW"), "Quorix50.Worksheet");
    EXPECT_EQ(RegValue(HKEY_CLASSES_ROOT, ".QGG"), "Quorix50.Graph");
    EXPECT_EQ(RegValue(HKEY_CLASSES_ROOT, ".QGM"), "Quorix50.Matrix");
    EXPECT_EQ(RegValue(HKEY_CLASSES_ROOT, ".qtp"), "Quorix50.Graph") << "the graph template file";
    EXPECT_EQ(RegValue(HKEY_CLASSES_ROOT, ".FLT"), "Quorix60.GraphicExportFilter");
    for (const char* type : {"Quorix50.Worksheet", "Quorix50.Graph", "Quorix50.Matrix"}) {
        std::string key = type;
        EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, key + "\\shell\\print")) << type;
        EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, key + "\\shell\\printto")) << type;
        EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, key + "\\shell\\open\\ddeexec\\Application")) << type;
        std::string open = RegValue(HKEY_CLASSES_ROOT, key + "\\shell\\open\\command");
        EXPECT_NE(open.find("qxuser_core_tests.exe"), std::string::npos) << open;
        // The INI folder is not the program folder: every start of an opened file is told.
        // (Test cases running side by side each write their own folder here.)
        EXPECT_NE(open.find(" -P \"" + m_iniFolder.substr(0, m_iniFolder.find("qxuser_core_ini"))), std::string::npos)
            << open;
    }
    for (const char* type : {"Quorix50.Layout", "Quorix50.Excel", "Quorix50.Notes"})
        EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, type)) << type << " is no shell file type";
    EXPECT_FALSE(m_app->InRegisteringShellFileTypes());
}

TEST_F(Startup, TheGraphServerRegistersItsClassWithTheIniFolder)
{
    const CLSID clsid = {0x6f0e5a21, 0x3c4d, 0x4b8e, {0x9a, 0x10, 0x2b, 0x55, 0x7e, 0x01, 0xc3, 0x42}};
    CQUOleTemplateServer* server =
        m_app->NewTemplateServer(clsid, m_app->get_template(QU_TEMPLATE_GRAPH), TRUE);
    ASSERT_TRUE(server->IsConnected());
    EXPECT_TRUE(server->UpdateRegistry());
    std::string key = "CLSID\\{6F0E5A21-3C4D-4B8E-9A10-2B557E01C342}";
    EXPECT_EQ(RegValue(HKEY_CLASSES_ROOT, key), "Quorix Graph");
    EXPECT_EQ(RegValue(HKEY_CLASSES_ROOT, key + "\\ProgID"), "Quorix50.Graph");
    EXPECT_EQ(RegValue(HKEY_CLASSES_ROOT, "Quorix50.Graph\\CLSID"), "{6F0E5A21-3C4D-4B8E-9A10-2B557E01C342}");
    std::string server32 = RegValue(HKEY_CLASSES_ROOT, key + "\\LocalServer32");
    EXPECT_NE(server32.find("qxuser_core_tests.exe\" -P \"" + m_iniFolder.substr(0, m_iniFolder.find("qxuser_core_ini"))),
              std::string::npos)
        << server32;
    EXPECT_EQ(m_app->GetTemplateServersList().GetCount(), 1);

    // A template with no document strings cannot be registered: the kernel says so.
    qkfxGetCallLog().Clear();
    CQUOleTemplateServer* notes = m_app->NewTemplateServer(clsid, m_app->get_template(QU_TEMPLATE_NOTES), FALSE);
    m_app->SetInRegisteringShellFileTypes(TRUE);
    EXPECT_FALSE(notes->UpdateRegistry());
    m_app->SetInRegisteringShellFileTypes(FALSE);
    EXPECT_GE(qkfxGetCallLog().Find("CQKAccess::CanNotUpdateRegistryMsg"), 0);
}

TEST(MessageBoxType, OneButtonQuestionsWithoutIconGetTheExclamationMark)
{
    struct Case {
        UINT type;
        UINT expected;
    } cases[] = {
        {MB_OK, MB_OK | MB_ICONEXCLAMATION},
        {MB_OKCANCEL, MB_OKCANCEL | MB_ICONEXCLAMATION},
        {MB_ABORTRETRYIGNORE, MB_ABORTRETRYIGNORE},
        {MB_YESNOCANCEL, MB_YESNOCANCEL | MB_ICONEXCLAMATION},
        {MB_YESNO, MB_YESNO | MB_ICONEXCLAMATION},
        {MB_RETRYCANCEL, MB_RETRYCANCEL},
        {MB_CANCELTRYCONTINUE, MB_CANCELTRYCONTINUE},
        {MB_YESNO | MB_ICONQUESTION, MB_YESNO | MB_ICONQUESTION},
        {MB_OK | MB_ICONSTOP | MB_DEFBUTTON2, MB_OK | MB_ICONSTOP | MB_DEFBUTTON2},
        {MB_OKCANCEL | MB_DEFBUTTON2, MB_OKCANCEL | MB_DEFBUTTON2 | MB_ICONEXCLAMATION},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CQuorixApp::MessageBoxType(c.type), c.expected) << std::hex << c.type;
}

TEST_F(Startup, MessageBoxesCarryTheProgramsCaptionAndHelpContext)
{
    // The main frame keeps the prompt context when it answers for it.
    DWORD* context = (DWORD*)m_app->m_pMainWnd->SendMessage(WM_HELPPROMPTADDR);
    if (context == nullptr)
        context = &m_app->m_dwPromptContext;
    DWORD contextSeen = 0;
    std::string caption, text;
    qxtest::DialogDriver driver;
    driver.Then([&](HWND box) {
        caption = qxtest::WindowText(box);
        text = qxtest::MessageBoxText(box);
        contextSeen = *context;
        qxtest::Click(box, IDNO);
    });
    *context = 77;
    INT_PTR answer = driver.Run([&]() -> INT_PTR { return m_app->DoMessageBox("Go on?", MB_YESNO, 1234); });
    EXPECT_EQ(driver.StepsRun(), 1);
    EXPECT_EQ(answer, IDNO);
    EXPECT_EQ(caption, "Quorix 6.1");
    EXPECT_EQ(text, "Go on?");
    EXPECT_EQ(contextSeen, 1234u + 0x30000u);
    EXPECT_EQ(*context, 77u) << "restored after the box";
    EXPECT_TRUE(m_app->m_pMainWnd->IsWindowEnabled());
}

TEST_F(Startup, DdeOpensOnlyOneQuotedFile)
{
    struct Case {
        const char* command;
        BOOL handled;
        const char* op;   // the kernel call it leads to, or null for none
        const char* arg;
    } cases[] = {
        {"[open(\"C:\\data\\a.qgw\")]", FALSE, "qkfxAppendFile", "C:\\data\\a.qgw"},
        {"[open(\"C:\\data\\p.qpj\")]", FALSE, "CQKAccess::OpenProjectFile", "C:\\data\\p.qpj"},
        {"[open(\"C:\\data\\a.qgw)]", FALSE, nullptr, nullptr},
        {"[print(\"C:\\data\\a.qgw\")]", FALSE, nullptr, nullptr},
        {"[OPEN(\"C:\\data\\a.qgw\")]", FALSE, nullptr, nullptr},
        {"", FALSE, nullptr, nullptr},
    };
    // Hidden, so a project file is opened here rather than in a second instance.
    m_app->m_pMainWnd->ShowWindow(SW_HIDE);
    for (const Case& c : cases) {
        qkfxGetCallLog().Clear();
        std::string command = c.command;
        m_app->m_nCmdShow = SW_SHOWMINNOACTIVE;
        BOOL handled = m_app->OnDDECommand(&command[0]);
        // The files are not there: the failure is the answer.
        EXPECT_EQ(handled, c.handled) << c.command;
        int at = qkfxGetCallLog().Find(c.op ? c.op : "CQKAccess::OpenProjectFile");
        if (c.op == nullptr) {
            EXPECT_EQ(at, -1) << c.command;
            EXPECT_EQ(qkfxGetCallLog().Find("qkfxAppendFile"), -1) << c.command;
        } else {
            ASSERT_GE(at, 0) << c.command;
            EXPECT_EQ(qkfxGetCallLog().GetAt(at).args, c.arg);
        }
        m_app->m_pMainWnd->ShowWindow(SW_HIDE);
    }
}

TEST_F(Startup, ASecondInstanceGetsTheIniFolderAndTheQuotedProgram)
{
    CString commandLine;
    ASSERT_TRUE(m_app->GetLaunchCommandLine("\"C:\\my data\\p.qpj\"", commandLine));
    char exe[MAX_PATH];
    ::GetModuleFileNameA(nullptr, exe, MAX_PATH);
    EXPECT_STREQ(commandLine,
                 (std::string("\"") + exe + "\" -P \"" + m_iniFolder + "\" \"C:\\my data\\p.qpj\"").c_str());

    qkfxSetGlobalINIPath(""); // the INI folder is the program folder again
    ASSERT_TRUE(m_app->GetLaunchCommandLine("x.qpj", commandLine));
    EXPECT_STREQ(commandLine, (std::string("\"") + exe + "\" x.qpj").c_str());
}

TEST_F(Startup, RegistryAccessRedirectsTheProfileAndToolbarsLoadFromWhereTheyWereSaved)
{
    const std::string current = "Software\\Veltranex\\Quorix 6.1\\English";
    const std::string previous = "Software\\Tessaron Software Inc.\\Quorix 6.0\\English";
    ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Veltranex");
    ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Tessaron Software Inc.");
    LPCTSTR profile = m_app->m_pszProfileName;

    m_app->BeginRegistryAccess("Toolbars", FALSE, TRUE);
    EXPECT_TRUE(m_app->WriteProfileInt("Bars", "Count", 5));
    m_app->EndRegistryAccess();
    EXPECT_EQ(m_app->m_pszProfileName, profile);
    EXPECT_EQ(m_app->m_pszRegistryKey, nullptr);
    HKEY h = nullptr;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, (current + "\\Toolbars\\Bars").c_str(), 0, KEY_QUERY_VALUE, &h),
              ERROR_SUCCESS);
    ::RegCloseKey(h);
    EXPECT_EQ(m_app->GetToolbarRegKeyStringLong(), CString((current + "\\Toolbars").c_str()));

    // After an upgrade the previous version's arrangement is read.
    HKEY state = nullptr;
    ASSERT_EQ(::RegCreateKeyA(HKEY_CURRENT_USER, (current + "\\InstallState\\Upgrade60To61").c_str(), &state),
              ERROR_SUCCESS);
    ::RegSetValueExA(state, "bFirstTime", 0, REG_SZ, (const BYTE*)"1", 2);
    ::RegCloseKey(state);
    m_app->BeginRegistryAccess("Toolbars", FALSE, TRUE);
    m_app->WriteProfileInt("Bars", "Count", 6);
    m_app->EndRegistryAccess();
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, previous + "\\Toolbars\\Bars"));
    char key[MAX_PATH];
    m_app->GetToolbarRegKeyString(key, FALSE);
    EXPECT_STREQ(key, "Veltranex\\Quorix 6.1\\English");

    // The toolbars' arrangement (one test with the above: both use the one registry key).
    ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Veltranex");
    std::string iniFile = m_app->m_pszProfileName;

    // Nothing stored in the registry: the arrangement file of the program folder.
    m_app->BeforeToolbarConfSaveLoad(TRUE);
    EXPECT_EQ(m_app->m_pszRegistryKey, nullptr);
    std::string file = m_app->m_pszProfileName;
    EXPECT_EQ(file.substr(file.size() - 10), "\\qtb61.ini");
    m_app->AfterToolbarConfSaveLoad(TRUE);
    EXPECT_EQ(std::string(m_app->m_pszProfileName), iniFile);

    // A registry that could not be written leaves a note; the next load reads the
    // iniFile and drops the note.
    ::WritePrivateProfileStringA("RegistryAccess", "NoWrite", "1", iniFile.c_str());
    m_app->BeforeToolbarConfSaveLoad(TRUE);
    EXPECT_EQ(std::string(m_app->m_pszProfileName), iniFile);
    EXPECT_EQ(ProfileValue(iniFile, "RegistryAccess", "NoWrite"), "<none>");
    m_app->AfterToolbarConfSaveLoad(TRUE);

    // A saved arrangement in the registry is read from there.
    m_app->BeginRegistryAccess("Toolbars", FALSE, FALSE);
    m_app->AfterToolbarConfSaveLoad(FALSE); // what a save leaves behind
    m_app->BeforeToolbarConfSaveLoad(TRUE);
    EXPECT_NE(m_app->m_pszRegistryKey, nullptr);
    EXPECT_STREQ(m_app->m_pszProfileName, "Toolbars");
    m_app->AfterToolbarConfSaveLoad(TRUE);
    EXPECT_EQ(std::string(m_app->m_pszProfileName), iniFile);
}

TEST_F(Startup, MenuCopiesKeepItemsPopupsAndSeparators)
{
    HINSTANCE self = ::GetModuleHandleA(nullptr);
    HMENU source = ::LoadMenuA(self, MAKEINTRESOURCEA(IDR_TEST_GRAPH));
    HMENU target = ::CreateMenu();
    ::AppendMenuA(target, MF_STRING, 1, "old");
    CQuorixApp::CopyMenu(target, source);
    EXPECT_EQ(Describe(target), Describe(source));
    EXPECT_EQ(Describe(target),
              "&File{57601:&Open...;-;34100:Update &Client;-;34048:E&xit;};&Graph{33300:&Rescale;};");
    ::DestroyMenu(target);
    ::DestroyMenu(source);

    // The Excel menu is the worksheet menu with its plot popup.
    CQrxMultiDocTemplate* excel = m_app->get_template(QU_TEMPLATE_EXCEL);
    CQrxMultiDocTemplate* wks = m_app->get_template(QU_TEMPLATE_WKS);
    EXPECT_EQ(Describe(excel->m_hMenuShared), Describe(wks->m_hMenuShared));
    EXPECT_EQ(Describe(CQuorixApp::FindPlotPopup(excel->m_hMenuShared)), "33248:&Line;33249:&Scatter;");
    EXPECT_EQ(m_app->GetPlotSubmenuFromExisting(), CQuorixApp::FindPlotPopup(wks->m_hMenuShared));
}

TEST_F(Startup, TheEmbeddingMenuUpdatesTheContainerInsteadOfTheClient)
{
    m_app->InitMenusForOpenEmbedding();
    HMENU menu = m_app->get_template(QU_TEMPLATE_GRAPH)->m_hMenuEmbedding;
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(Describe(menu), "&File{57601:&Open...;-;57610:&Update\tCtrl+S;34048:E&xit;};&Graph{33300:&Rescale;};");
}

TEST_F(Startup, ReloadedMenusComeFromTheResourcesWithFreshTagMaps)
{
    CQrxMultiDocTemplate* graph = m_app->get_template(QU_TEMPLATE_GRAPH);
    HMENU before = graph->m_hMenuShared;
    ::DeleteMenu(before, 1, MF_BYPOSITION);
    graph->GetMenuTagMap()->remove_at(0);
    EXPECT_EQ(m_app->ReloadCleanMenusFromResources(), 1);
    EXPECT_NE(graph->m_hMenuShared, before);
    EXPECT_FALSE(::IsMenu(before)) << "the old menu is destroyed";
    EXPECT_EQ(::GetMenuItemCount(graph->m_hMenuShared), 2);
    EXPECT_STREQ(graph->GetMenuTagMap()->GetTable()[0], "Fi");
}

TEST_F(Startup, ApplicationCommandsReachTheKernel)
{
    struct Case {
        UINT id;
        const char* op;
        const char* args;
    } cases[] = {
        {38801, "CQKAccess::OnlineHelp", "38801"},
        {38810, "CQKAccess::OnQrxWebSite", "38810"},
        {40705, "CQKAccess::OnQrxTutorial", ""},
        {40706, "CQKAccess::OnSendProjectTo", ""},
        {38899, "qkuTurnOnReminderMsgBoxes", "0"},
    };
    for (const Case& c : cases) {
        qkfxGetCallLog().Clear();
        m_app->m_pMainWnd->SendMessage(WM_COMMAND, c.id, 0);
        int at = qkfxGetCallLog().Find(c.op);
        ASSERT_GE(at, 0) << c.id << "\n" << qkfxGetCallLog().ToString();
        EXPECT_EQ(qkfxGetCallLog().GetAt(at).args, c.args) << c.id;
    }
    // Commands of the program's ranges run the script of their string.
    qkfxSetVariableValue("coretestvar", 0);
    m_app->m_pMainWnd->SendMessage(WM_COMMAND, IDS_TEST_FILE_COMMAND, 0);
    double value = 0;
    EXPECT_TRUE(CQKCString::FindQuorixNumericVariable("coretestvar", &value));
    EXPECT_EQ(value, 9);

    // The Results Log's view modes.
    CMainFrame* frame = get_main_frame();
    ASSERT_NE(frame, nullptr);
    for (UINT id : {38381u, 38382u, 38380u}) {
        m_app->m_pMainWnd->SendMessage(WM_COMMAND, id, 0);
        EXPECT_EQ(frame->GetOutputLog()->GetEdit().GetViewMode(), id == 38381 ? 2 : id == 38382 ? 3 : 4) << id;
    }

    // The File New of the toolbars makes a worksheet.
    int pages = qkfxGetProject().GetNumPages();
    OnFileNew();
    EXPECT_EQ(qkfxGetProject().GetNumPages(), pages + 1);
    EXPECT_EQ(qkfxGetProject().GetActivePage()->GetType(), QK_PAGE_WKS);
}

// "Use Toolbar Spacer" is the system object's flag: the main frame reads it (it kept a
// flag of its own that only ever became false, so the option did nothing), and hiding the
// spacer from its menu clears it.
TEST_F(Startup, TheToolbarSpacerFollowsTheOptionAndHidingItClearsTheOption)
{
    CMainFrame* frame = DYNAMIC_DOWNCAST(CMainFrame, m_app->m_pMainWnd);
    ASSERT_NE(frame, nullptr);
    double use = -1;
    for (int on : {1, 0, 1}) {
        ASSERT_TRUE(qkfxGetScript().Execute("system.operations.usespacer = " + std::to_string(on)));
        EXPECT_EQ(on != 0, frame->UsingSpacering() != FALSE) << on;
    }
    frame->SendMessage(WM_COMMAND, 38385 /* Hide Toolbar Spacer */, 0);
    EXPECT_FALSE(frame->UsingSpacering());
    ASSERT_TRUE(qkfxGetScript().Evaluate("system.operations.usespacer", &use));
    EXPECT_EQ(0, use);
}
