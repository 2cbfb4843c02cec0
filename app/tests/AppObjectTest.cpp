// The program's application object started in the test's process, as the framework's
// entry starts it, with the INI folder in a folder of the test's own and the tips off.
#include <gtest/gtest.h>

#include "AppQuorix.h"
#include "PageClasses.h"
#include "QUNotes.h"
#include "QKGraphObjects.h"
#include "QUAccess.h"
#include "QrxMultiDocTemplate.h"
#include "QxExcelServerTesting.h"
#include "Splash.h"
#include "TestHelpers.h"
#include "XlChildFrame.h"
#include "XlView.h"
#include "resource.h"
#include <QKAccess.h>
#include <QKData.h>
#include <afxdisp.h>
#include <richedit.h>
#include <qxtest/DialogDriver.h>

#include <stdlib.h>
#include <set>
#include <string>
#include <vector>

namespace {

class AppObject : public ::testing::Test {
protected:
    void SetUp() override
    {
        qkfxGetProject().New();
        // As on a new machine: no arrangement of the bars saved by an earlier start.
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Veltranex\\Quorix 6.1\\English\\Toolbars");
        folder = TestFolder("quorix61_app");
        WritePrivateProfileStringA("Tip", "StartUp", "1", (folder + "\\quorix61_tests.INI").c_str());
        // The framework reads the process's arguments: the test's stand in for them.
        args = {"quorix61_tests.exe", "-P", folder};
        for (std::string& a : args)
            argv.push_back(&a[0]);
        argv.push_back(nullptr);
        savedArgc = __argc;
        savedArgv = __argv;
        __argc = (int)args.size();
        __argv = argv.data();
        commandLine = "-P \"" + folder + "\"";

        app = new CAppQuorix;
        AfxWinInit(GetModuleHandleA(nullptr), nullptr, &commandLine[0], SW_SHOWNORMAL);
        started = app->InitInstance();
        ASSERT_TRUE(started);
    }
    void TearDown() override
    {
        if (app->m_pMainWnd) {
            app->CloseAllDocuments(TRUE);
            app->m_pMainWnd->DestroyWindow();
            app->m_pMainWnd = nullptr;
        }
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            if (msg.message != WM_QUIT)
                DispatchMessageA(&msg);
        app->ExitInstance();
        delete app;
        __argc = savedArgc;
        __argv = savedArgv;
    }
    // Sends a menu command whose dialogs the steps answer in turn, noting each caption.
    void RunCommand(UINT command, const std::vector<qxtest::DialogDriver::Step>& steps,
                    std::vector<std::string>& captions)
    {
        qxtest::DialogDriver driver;
        for (auto& step : steps)
            driver.Then([&, step](HWND dialog) {
                captions.push_back(qxtest::WindowText(dialog));
                step(dialog);
            });
        driver.Run([&] {
            app->m_pMainWnd->SendMessage(WM_COMMAND, command);
            return (INT_PTR)0;
        });
        EXPECT_EQ((int)steps.size(), driver.StepsRun()) << command;
        EXPECT_FALSE(driver.TimedOut()) << command;
    }
    std::vector<CDocTemplate*> Templates()
    {
        std::vector<CDocTemplate*> all;
        for (POSITION pos = app->GetFirstDocTemplatePosition(); pos;)
            all.push_back(app->GetNextDocTemplate(pos));
        return all;
    }

    RegistryTurn turn;
    CAppQuorix* app = nullptr;
    BOOL started = FALSE;
    std::string folder, commandLine;
    std::vector<std::string> args;
    std::vector<char*> argv;
    int savedArgc = 0;
    char** savedArgv = nullptr;
};

TEST_F(AppObject, RegistersTheSixWindowKindsInOrderWithTheGraphAsServer)
{
    std::vector<CDocTemplate*> templates = Templates();
    ASSERT_EQ(6u, templates.size());
    const struct { int id; const char* extension; const char* document; } kinds[] = {
        {0, ".QGW", "CWksDocQuorix"}, {1, ".QGG", "CGraphDocQuorix"}, {4, ".QGL", "CQULayoutDoc"},
        {2, ".QGM", "CMatrixDocQuorix"}, {3, ".XLS", "CQUExcelDoc"}, {5, ".TXT", "CNotesDocQuorix"},
    };
    for (size_t i = 0; i < templates.size(); ++i) {
        CQrxMultiDocTemplate* t = DYNAMIC_DOWNCAST(CQrxMultiDocTemplate, templates[i]);
        ASSERT_NE(nullptr, t) << "template " << i;
        EXPECT_EQ(kinds[i].id, t->get_template_id());
        EXPECT_EQ(t, app->GetValidDocTemplate(kinds[i].id));
        CString extension;
        t->GetDocString(extension, CDocTemplate::filterExt);
        EXPECT_STREQ(kinds[i].extension, extension);
        CDocument* doc = (CDocument*)t->m_pDocClass->CreateObject();
        ASSERT_NE(nullptr, doc);
        EXPECT_STREQ(kinds[i].document, doc->GetRuntimeClass()->m_lpszClassName);
        delete doc;
    }
    ASSERT_EQ(1, app->GetTemplateServersList().GetCount());
    CQUOleTemplateServer* server = (CQUOleTemplateServer*)app->GetTemplateServersList().GetHead();
    EXPECT_EQ(templates[1], server->GetTemplate());
    EXPECT_TRUE(IsEqualCLSID(CAppQuorix::clsid, server->GetClassID()));
}

TEST_F(AppObject, TheMainFrameIsTheProgramsAndTheStartScreenIsGone)
{
    EXPECT_TRUE(app->m_pMainWnd->IsKindOf(RUNTIME_CLASS(CMainFrameQuorix)));
    CString title;
    app->m_pMainWnd->GetWindowText(title);
    EXPECT_EQ(0, title.Find("Quorix 6.1"));
    EXPECT_EQ(nullptr, app->GetStartScreen());

    CString text = "unchanged";
    EXPECT_EQ(1, app->GetStrFromAppRes(ID_VIEW_GRAPH_EXPORT_SERVER_STATUS, text));
    EXPECT_STREQ("&View Graph Export Server Status", text);
    text = "unchanged";
    EXPECT_EQ(1, app->GetStrFromAppRes(4711, text));
    EXPECT_STREQ("unchanged", text);

    // The program's command string comes before the library's of the same id.
    CString command;
    ASSERT_TRUE(command.LoadString(36127));
    EXPECT_NE(-1, command.Find("run.section(Graph,FitLayerToPage);"));
}

// The program folder's default arrangement of the bars, read at a start with no
// arrangement of the user's own.
TEST_F(AppObject, TheDefaultArrangementPutsToolbarsSideBySideAndKeepsTheResultBarsHidden)
{
    CMainFrame* frame = DYNAMIC_DOWNCAST(CMainFrame, app->m_pMainWnd);
    ASSERT_NE(nullptr, frame);
    // Until a window gives them something to show, neither stands as an empty band.
    EXPECT_FALSE(frame->GetDataDisplay()->IsWindowVisible());
    EXPECT_FALSE(frame->GetOutputLog()->IsWindowVisible());

    SECToolBarManagerEx* manager = frame->GetToolBarManager();
    ASSERT_EQ(14, manager->GetDefaultToolBarCount());
    std::set<LONG> rows;
    for (int i = 0; i < manager->GetDefaultToolBarCount(); ++i) {
        SECDefaultToolBar* def = manager->GetDefaultToolBarAt(i);
        CQUCustomToolBar* bar = frame->GetToolBar(def->m_nID);
        ASSERT_NE(nullptr, bar) << def->m_strTitle;
        EXPECT_EQ(def->m_nID == 59400, bar->IsVisible() != 0) << def->m_strTitle;
        // The file carries each toolbar's buttons: they are the definition's.
        CDWordArray ids;
        bar->GetButtonIds(ids);
        std::vector<DWORD> shown(ids.GetData(), ids.GetData() + ids.GetSize());
        std::vector<DWORD> defined(def->m_arrButtons.GetData(), def->m_arrButtons.GetData() + def->m_arrButtons.GetSize());
        EXPECT_EQ(defined, shown) << def->m_strTitle;
        frame->ShowControlBar(bar, TRUE, FALSE);
    }
    frame->RecalcLayout();
    for (int i = 0; i < manager->GetDefaultToolBarCount(); ++i) {
        CRect rect;
        frame->GetToolBar(manager->GetDefaultToolBarAt(i)->m_nID)->GetWindowRect(&rect);
        rows.insert(rect.top);
    }
    // Fourteen toolbars in seven rows, not one row each.
    EXPECT_EQ(7u, rows.size());
    CRect standard, edit, data, column;
    frame->GetToolBar(59400)->GetWindowRect(&standard);
    frame->GetToolBar(59392)->GetWindowRect(&edit);
    frame->GetToolBar(59402)->GetWindowRect(&data);
    frame->GetToolBar(59403)->GetWindowRect(&column);
    EXPECT_EQ(standard.top, edit.top);
    EXPECT_LE(standard.right, edit.left);
    EXPECT_EQ(data.top, column.top);
}

TEST_F(AppObject, TheSplashOpensWithItsVersionAndCloses)
{
    CQUOpenScreen* screen = app->CreateSplashScreen(TRUE);
    CAppSplash* splash = dynamic_cast<CAppSplash*>(screen);
    ASSERT_NE(nullptr, splash);
    splash->Open();
    ASSERT_NE(nullptr, splash->GetDialog()->GetSafeHwnd());
    EXPECT_EQ(1, splash->IsShown());
    char version[16] = {};
    GetDlgItemTextA(splash->GetDialog()->GetSafeHwnd(), IDC_SPLASH_VERSION, version, sizeof version);
    EXPECT_STREQ("6.1", version);
    HWND window = splash->GetDialog()->GetSafeHwnd();
    delete screen; // closes the window
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(AppObject, AWorksheetHoldsTheProgramWhileItLivesAndEachKindHasItsView)
{
    EXPECT_TRUE(AfxOleCanExitApp());
    CDocument* wks = app->GetValidDocTemplate(0)->OpenDocumentFile(nullptr);
    ASSERT_NE(nullptr, wks);
    EXPECT_FALSE(AfxOleCanExitApp());
    POSITION pos = wks->GetFirstViewPosition();
    CQUWksView* view = DYNAMIC_DOWNCAST(CQUWksView, wks->GetNextView(pos));
    ASSERT_NE(nullptr, view);
    EXPECT_NE(nullptr, view->GetWksPage()) << "the worksheet view shows its page";
    EXPECT_EQ(0, view->GetWndTemplateId());
    EXPECT_NE(nullptr, view->GetPage());
    EXPECT_TRUE(view->GetParentFrame()->IsKindOf(RUNTIME_CLASS(CChildFrameQuorix)));
    // Every paint ends the device context it began, however the view draws.
    for (int paint = 0; paint < 3; ++paint) {
        view->InvalidateRect(nullptr);
        view->UpdateWindow();
    }
    EXPECT_EQ(0u, view->GetPage()->GetOpenDCCount());
    wks->OnCloseDocument();
    EXPECT_TRUE(AfxOleCanExitApp());

    CDocument* graph = app->GetValidDocTemplate(1)->OpenDocumentFile(nullptr);
    ASSERT_NE(nullptr, graph);
    EXPECT_EQ(QK_PAGE_GRAPH, ((CQuorixDoc*)graph)->GetPage()->GetType());
    graph->OnCloseDocument();

    CDocument* matrix = app->GetValidDocTemplate(2)->OpenDocumentFile(nullptr);
    ASSERT_NE(nullptr, matrix);
    EXPECT_EQ(QK_PAGE_MATRIX, ((CQuorixDoc*)matrix)->GetPage()->GetType());
    pos = matrix->GetFirstViewPosition();
    EXPECT_NE(nullptr, DYNAMIC_DOWNCAST(CQUMatrixView, matrix->GetNextView(pos)));
    matrix->OnCloseDocument();
}

// A workbook window lives in the workbook's own frame, which shows the toolbars of what
// its view shows.
TEST_F(AppObject, AWorkbookWindowHasItsOwnFrame)
{
    QxExcelServerRegistration reg;
    ASSERT_TRUE(reg.ok());
    CDocument* book = app->GetValidDocTemplate(3)->OpenDocumentFile(nullptr);
    ASSERT_NE(nullptr, book);
    POSITION pos = book->GetFirstViewPosition();
    CQUxlView* view = DYNAMIC_DOWNCAST(CQUxlView, book->GetNextView(pos));
    ASSERT_NE(nullptr, view);
    CxlChildFrame* frame = DYNAMIC_DOWNCAST(CxlChildFrame, view->GetParentFrame());
    ASSERT_NE(nullptr, frame);
    EXPECT_EQ(-1000, frame->GetAdjustment()) << "no deactivation yet";
    EXPECT_EQ(view->GetViewToolbarBits(), (DWORD)frame->get_wnd_template_bits());
    EXPECT_FALSE(frame->VirtualNcRButtonDown(HTCLIENT, CPoint(0, 0))) << "only the caption has a menu";
    book->OnCloseDocument();
}

TEST_F(AppObject, TheTipCommandOpensTheTip)
{
    std::string caption;
    qxtest::DialogDriver driver;
    driver.Then([&](HWND dialog) {
        caption = qxtest::WindowText(dialog);
        SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    driver.Run([&] {
        app->m_pMainWnd->SendMessage(WM_COMMAND, ID_HELP_TIPOFTHEDAY);
        return (INT_PTR)0;
    });
    EXPECT_EQ(1, driver.StepsRun());
    EXPECT_EQ("Tip of the Day", caption);
}

TEST_F(AppObject, OpenGoesToTheFrameworksFileDialog)
{
    qxtest::DialogDriver driver;
    driver.Then([&](HWND dialog) { SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0); });
    driver.Run([&] {
        app->m_pMainWnd->SendMessage(WM_COMMAND, ID_FILE_OPEN);
        return (INT_PTR)0;
    });
    EXPECT_EQ(1, driver.StepsRun());
    EXPECT_FALSE(driver.TimedOut());
}

// What a menu command opens, driven as a user would: each step answers one dialog.
TEST_F(AppObject, FileWindowAndHelpCommandsOpenTheirDialogs)
{
    ASSERT_EQ(0, app->GetAccess()->execute_script("win -t wks", 0));
    std::vector<std::string> captions, messages;
    auto run = [&](UINT command, std::vector<qxtest::DialogDriver::Step> steps) {
        RunCommand(command, steps, captions);
    };
    auto box = [&](HWND dialog) {
        messages.push_back(qxtest::MessageBoxText(dialog));
        qxtest::Click(dialog, IDOK);
    };

    // New: the chosen kind's window is made.
    run(ID_FILE_NEW, {[](HWND dialog) {
            qxtest::ListSelect(dialog, 1104, 6); // Matrix
            qxtest::Click(dialog, IDOK);
        }});
    EXPECT_NE(nullptr, qkfxGetProject().FindPage("Matrix1"));

    // Rename: a name the kernel refuses is explained and changes nothing; a good one takes.
    CQKPage* matrix = qkfxGetProject().FindPage("Matrix1");
    HWND rename = nullptr;
    run(33120, {[&](HWND dialog) {
            rename = dialog;
            qxtest::SetText(dialog, 2041, "2 bad");
            qxtest::Click(dialog, IDOK);
        },
                [&](HWND dialog) {
                    // The dialog stays open after the message; it is cancelled then.
                    PostMessageA(rename, WM_COMMAND, IDCANCEL, 0);
                    box(dialog);
                }});
    EXPECT_EQ("Matrix1", matrix->GetName());
    run(33120, {[](HWND dialog) {
            EXPECT_EQ("Matrix1", qxtest::GetText(dialog, 2041));
            qxtest::SetText(dialog, 2041, "Results");
            qxtest::Click(dialog, IDOK);
        }});
    EXPECT_EQ("Results", matrix->GetName());
    CMDIChildWnd* child = ((CMDIFrameWnd*)app->m_pMainWnd)->MDIGetActive();
    ASSERT_NE(nullptr, child);
    EXPECT_EQ("Results", std::string((LPCTSTR)child->GetActiveDocument()->GetTitle()));

    // Open asks for a file; the About box; the Options sheet.
    auto cancel = [](HWND dialog) { SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0); };
    run(33996, {cancel});
    run(ID_APP_ABOUT, {cancel});
    run(36080, {cancel});
    // A notes window, whose page is the project's.
    run(ID_FILE_NEW, {[](HWND dialog) {
            qxtest::ListSelect(dialog, 1104, 5); // Notes
            qxtest::Click(dialog, IDOK);
        }});
    CQKPage* notes = qkfxGetProject().FindPage("Notes1");
    ASSERT_NE(nullptr, notes);
    child = ((CMDIFrameWnd*)app->m_pMainWnd)->MDIGetActive();
    ASSERT_NE(nullptr, child);
    EXPECT_NE(nullptr, DYNAMIC_DOWNCAST(CQUNotesView, child->GetActiveView()));
    EXPECT_EQ("Notes1", std::string((LPCTSTR)child->GetActiveDocument()->GetTitle()));

    // A function: a graph of its own, Plot Details on its function, which OK keeps.
    run(ID_FILE_NEW, {[](HWND dialog) {
            qxtest::ListSelect(dialog, 1104, 7); // Function
            qxtest::Click(dialog, IDOK);
        },
                      [](HWND dialog) { qxtest::Click(dialog, IDOK); }});
    auto* function = dynamic_cast<CQKGraphPage*>(qkfxGetProject().FindPage("Function1"));
    ASSERT_NE(nullptr, function);
    ASSERT_EQ(1, function->GetActiveLayer()->GetNumPlots());
    EXPECT_EQ(QK_PLOT_FUNCTION, function->GetActiveLayer()->PlotObjByIndex(0, 1)->GetPlotObjectType(0));

    ASSERT_EQ(10u, captions.size());
    EXPECT_EQ("New", captions[0]);
    EXPECT_EQ("Rename Window", captions[1]);
    EXPECT_EQ("About Quorix", captions[5]);
    EXPECT_EQ("Plot Details", captions[9]);
    ASSERT_EQ(1u, messages.size());
    EXPECT_NE(std::string::npos, messages[0].find("\"2 bad\" cannot be the window's name")) << messages[0];
}

// Through the menus as a user would: worksheet, graph, matrix, layout and notes windows made with
// File New are saved as a project, which closes and opens again with its windows.
TEST_F(AppObject, WindowsMadeWithFileNewAreSavedAndOpenedAgain)
{
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    const std::string path = std::string(dir) + "qxa_gui.qpj";
    DeleteFileA(path.c_str());
    std::vector<std::string> captions;
    auto run = [&](UINT command, std::vector<qxtest::DialogDriver::Step> steps) {
        RunCommand(command, steps, captions);
    };
    // The file name box of the open and save boxes: a combo box in the Explorer style.
    auto name = [&](HWND dialog) {
        qxtest::SetText(dialog, GetDlgItem(dialog, 1148) ? 1148 : 1152, path);
        qxtest::Click(dialog, IDOK);
    };
    for (int kind : {1, 3, 6, 4, 5}) // worksheet, graph, matrix, layout, notes
        run(ID_FILE_NEW, {[kind](HWND dialog) {
                qxtest::ListSelect(dialog, 1104, kind);
                qxtest::Click(dialog, IDOK);
            }});
    CQKProject& project = qkfxGetProject();
    ASSERT_EQ(5, project.GetNumPages());
    // Typed into the notes window: the page has the text at once.
    HWND notesView = project.FindPage("Notes1")->GetDrawingWnd();
    ASSERT_NE(nullptr, notesView);
    HWND edit = GetWindow(notesView, GW_CHILD);
    for (char c : std::string("Seen at 5 K, twice"))
        SendMessageA(edit, WM_CHAR, (unsigned char)c, 1);
    EXPECT_EQ("Seen at 5 K, twice", static_cast<CQKNotesPage*>(project.FindPage("Notes1"))->m_text);
    EXPECT_TRUE(project.IsModified());
    ASSERT_EQ(0, app->GetAccess()->execute_script("win -a Data1; col(B)[2] = 6.5", 0));
    run(34049, {name}); // Save Project As
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path.c_str()));
    EXPECT_FALSE(project.IsModified());
    std::string saved = qkfxDumpProject();

    run(34017, {}); // Close: saved, so nothing is asked
    EXPECT_EQ(0, project.GetNumPages());
    run(33996, {name}); // Open
    ASSERT_EQ(5, project.GetNumPages());
    char text[64] = "";
    GetWindowTextA(GetWindow(project.FindPage("Notes1")->GetDrawingWnd(), GW_CHILD), text, sizeof text);
    EXPECT_STREQ("Seen at 5 K, twice", text) << "the notes window shows the saved text";
    EXPECT_EQ(saved, qkfxDumpProject());
    for (int i = 0; i < project.GetNumPages(); ++i)
        EXPECT_NE(nullptr, project.GetPage(i)->GetFrameWnd()) << project.GetPage(i)->GetName() << " has its window";
    ASSERT_EQ(7u, captions.size());
    EXPECT_EQ("Save Project As", captions[5]);
    run(34017, {});
    DeleteFileA(path.c_str());
}

// The script window: Window Script Window shows it and hides it again.
TEST_F(AppObject, TheScriptWindowCommandTogglesTheKernelsWindow)
{
    CQKScriptWindow* window = app->GetAccess()->GetScriptWindow();
    app->m_pMainWnd->SendMessage(WM_COMMAND, 32992);
    ASSERT_TRUE(window->IsShown());
    EXPECT_EQ(app->m_pMainWnd->GetSafeHwnd(), GetWindow(window->GetHwnd(), GW_OWNER));
    // A key typed there goes to the window, not to the main window's accelerators.
    MSG msg = {window->GetEditHwnd(), WM_KEYDOWN, 'N', 0};
    EXPECT_TRUE(app->m_pMainWnd->PreTranslateMessage(&msg));
    app->m_pMainWnd->SendMessage(WM_COMMAND, 32992);
    EXPECT_FALSE(window->IsShown());
}

// A notes window's own commands: plain-text paste, find and replace, word wrap, rename,
// and the page setup margins as the dialog shows them.
TEST_F(AppObject, NotesWindowsEditFindRenameAndKeepTheirSettings)
{
    CWnd* main = app->m_pMainWnd;
    main->SendMessage(WM_COMMAND, 34025); // New Notes
    CMDIChildWnd* child = ((CMDIFrameWnd*)main)->MDIGetActive();
    ASSERT_NE(nullptr, child);
    auto* view = DYNAMIC_DOWNCAST(CQUNotesView, child->GetActiveView());
    ASSERT_NE(nullptr, view);
    CRichEditCtrl& edit = view->GetRichEditCtrl();
    view->SetText("alpha beta Alpha");

    // Paste takes the clipboard's plain text, not the formatted text beside it.
    const UINT rtf = RegisterClipboardFormatA("Rich Text Format");
    auto global = [](const char* text) {
        HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, strlen(text) + 1);
        strcpy((char*)GlobalLock(h), text);
        GlobalUnlock(h);
        return h;
    };
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    SetClipboardData(rtf, global("{\\rtf1 {\\b BOLD}}"));
    SetClipboardData(CF_TEXT, global(" plain"));
    CloseClipboard();
    edit.SetSel(-1, -1);
    main->SendMessage(WM_COMMAND, ID_EDIT_PASTE);
    EXPECT_EQ("alpha beta Alpha plain", std::string((LPCTSTR)view->GetText()));
    main->SendMessage(WM_COMMAND, ID_EDIT_UNDO);
    EXPECT_EQ("alpha beta Alpha", std::string((LPCTSTR)view->GetText()));

    // The find dialog opens from the menu command and closes cleanly; what it asks for
    // is found, replaced one at a time, or everywhere.
    main->SendMessage(WM_COMMAND, ID_EDIT_FIND);
    HWND find = FindWindowA(nullptr, "Find");
    ASSERT_NE(nullptr, find);
    EXPECT_TRUE(IsWindowVisible(find));
    SendMessageA(find, WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(IsWindow(find));

    static const UINT findMessage = RegisterWindowMessageA(FINDMSGSTRINGA);
    char what[32] = "beta", with[32] = "gamma";
    FINDREPLACEA fr = {sizeof fr};
    fr.lpstrFindWhat = what;
    fr.lpstrReplaceWith = with;
    struct Case {
        DWORD flags;
        long selStart;         // where the selection starts before
        const char* text;      // after
        long foundStart, foundEnd;
    } cases[] = {
        {FR_FINDNEXT | FR_DOWN, 0, "alpha beta Alpha", 6, 10},
        {FR_REPLACE | FR_DOWN, 6, "alpha gamma Alpha", 6, 11}, // nothing further: the replacement stays selected
    };
    for (const Case& c : cases) {
        edit.SetSel(c.selStart, c.flags & FR_REPLACE ? c.selStart + 4 : c.selStart);
        fr.Flags = c.flags;
        qxtest::DialogDriver notFound;
        notFound.Then([](HWND box) { SendMessageA(box, WM_COMMAND, IDOK, 0); });
        notFound.Run([&] { return (INT_PTR)view->SendMessage(findMessage, 0, (LPARAM)&fr); });
        EXPECT_EQ(c.text, std::string((LPCTSTR)view->GetText())) << c.flags;
        long start = 0, end = 0;
        edit.GetSel(start, end);
        if (c.flags & FR_FINDNEXT) {
            EXPECT_EQ(c.foundStart, start);
            EXPECT_EQ(c.foundEnd, end);
        }
    }
    strcpy(what, "alpha");
    strcpy(with, "delta");
    fr.Flags = FR_REPLACEALL;
    view->SendMessage(findMessage, 0, (LPARAM)&fr);
    EXPECT_EQ("delta gamma delta", std::string((LPCTSTR)view->GetText())) << "without Match Case";

    // Word wrap goes with the page, so the window comes back with it.
    CQUNotesPage* page = view->GetDocument()->GetPage();
    ASSERT_NE(nullptr, page);
    main->SendMessage(WM_COMMAND, 33031);
    EXPECT_TRUE(view->IsWordWrap());
    EXPECT_TRUE(page->m_wordWrap);
    main->SendMessage(WM_COMMAND, 33031);
    EXPECT_FALSE(view->IsWordWrap());

    // Window > Rename works on notes windows: the page and the window's title follow.
    std::vector<std::string> captions;
    RunCommand(33120, {[](HWND dialog) {
                   qxtest::SetText(dialog, 2041, "Journal");
                   qxtest::Click(dialog, IDOK);
               }},
               captions);
    EXPECT_EQ("Journal", page->GetName());
    EXPECT_EQ("Journal", std::string((LPCTSTR)view->GetDocument()->GetTitle()));

    // Margins in twips as the page setup dialog shows them: thousandths of an inch rounded
    // to tens, and back.
    EXPECT_EQ(1000, CQUNotesView::TwipsToThousandths(1440));
    EXPECT_EQ(1000, CQUNotesView::TwipsToThousandths(1443));
    EXPECT_EQ(1010, CQUNotesView::TwipsToThousandths(1447)); // 1004.9 shows as 1005, rounded up
    EXPECT_EQ(1454, CQUNotesView::ThousandthsToTwips(1005));
    EXPECT_EQ(1440, CQUNotesView::ThousandthsToTwips(1000));
}

} // namespace
