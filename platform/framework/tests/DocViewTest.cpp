// Frames, documents, views and templates of a small MDI program: frames from resources,
// command routing, menu updates, status texts, titles, the save prompt, safe saving,
// the recent-file list, the command line, the shell's file types and DDE, and the
// control bars: status bar, toolbar, dialog bar, docking and floating.
#include <afxdlgs.h>
#include <afxext.h>
#include <ddeml.h>
#include <gtest/gtest.h>
#include <qxtest/DialogDriver.h>
#include "DocViewResources.h"
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> g_log;
BOOL g_bFailSerialize = FALSE;

std::string TempPath(const char* name)
{
    char szDir[MAX_PATH];
    ::GetTempPathA(MAX_PATH, szDir);
    return std::string(szDir) + name;
}

std::string ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

CFrameWnd* FrameOfDoc(CDocument* pDoc)
{
    POSITION pos = pDoc->GetFirstViewPosition();
    return pDoc->GetNextView(pos)->GetParentFrame();
}

std::string TextOf(HWND hWnd)
{
    char sz[256] = "";
    ::GetWindowTextA(hWnd, sz, sizeof sz);
    return sz;
}

class CTextDoc : public CDocument
{
    DECLARE_DYNCREATE(CTextDoc)
public:
    CString m_text;
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring()) {
            ar << m_text;
            if (g_bFailSerialize)
                AfxThrowFileException(CFileException::diskFull);
        } else {
            ar >> m_text;
        }
    }
    void DeleteContents() override { m_text.Empty(); }
protected:
    afx_msg void OnDocCommand() { g_log.push_back("doc"); }
    afx_msg void OnSharedCommand() { g_log.push_back("doc shared"); }
    afx_msg void OnDisabledCommand() { g_log.push_back("doc disabled ran"); }
    afx_msg void OnUpdateDisabled(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }
    DECLARE_MESSAGE_MAP()
};

IMPLEMENT_DYNCREATE(CTextDoc, CDocument)

BEGIN_MESSAGE_MAP(CTextDoc, CDocument)
    ON_COMMAND(ID_TEST_DOC, OnDocCommand)
    ON_COMMAND(ID_TEST_SHARED, OnSharedCommand)
    ON_COMMAND(ID_TEST_DISABLED, OnDisabledCommand)
    ON_UPDATE_COMMAND_UI(ID_TEST_DISABLED, OnUpdateDisabled)
END_MESSAGE_MAP()

class CDataDoc : public CTextDoc
{
    DECLARE_DYNCREATE(CDataDoc)
};

IMPLEMENT_DYNCREATE(CDataDoc, CTextDoc)

class CTextView : public CScrollView
{
    DECLARE_DYNCREATE(CTextView)
public:
    int m_nUpdates = 0;
    LPARAM m_lLastHint = 0;
    void OnDraw(CDC*) override {}
    void OnInitialUpdate() override
    {
        SetScrollSizes(MM_TEXT, CSize(2000, 3000), CSize(100, 100), CSize(10, 10));
        CScrollView::OnInitialUpdate();
    }
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override
    {
        m_nUpdates++;
        m_lLastHint = lHint;
        CScrollView::OnUpdate(pSender, lHint, pHint);
    }
protected:
    afx_msg void OnViewCommand() { g_log.push_back("view"); }
    afx_msg void OnSharedCommand() { g_log.push_back("view shared"); }
    afx_msg void OnUpdateChecked(CCmdUI* pCmdUI) { pCmdUI->SetCheck(1); }
    afx_msg LRESULT OnHelpHitTest(WPARAM, LPARAM) { return 0x12345; }
    DECLARE_MESSAGE_MAP()
};

IMPLEMENT_DYNCREATE(CTextView, CScrollView)

BEGIN_MESSAGE_MAP(CTextView, CScrollView)
    ON_COMMAND(ID_TEST_VIEW, OnViewCommand)
    ON_COMMAND(ID_TEST_SHARED, OnSharedCommand)
    ON_UPDATE_COMMAND_UI(ID_TEST_CHECKED, OnUpdateChecked)
    ON_MESSAGE(WM_HELPHITTEST, OnHelpHitTest)
    ON_COMMAND(ID_FILE_PRINT, CView::OnFilePrint)
    ON_COMMAND(ID_FILE_PRINT_DIRECT, CView::OnFilePrint)
END_MESSAGE_MAP()

class CChildFrame : public CMDIChildWnd
{
    DECLARE_DYNCREATE(CChildFrame)
};

IMPLEMENT_DYNCREATE(CChildFrame, CMDIChildWnd)

class CMainFrame : public CMDIFrameWnd
{
    DECLARE_DYNCREATE(CMainFrame)
protected:
    afx_msg void OnFrameCommand() { g_log.push_back("frame"); }
    afx_msg void OnUpdateFrameCommand(CCmdUI* pCmdUI) { pCmdUI->Enable(TRUE); }
    DECLARE_MESSAGE_MAP()
};

IMPLEMENT_DYNCREATE(CMainFrame, CMDIFrameWnd)

BEGIN_MESSAGE_MAP(CMainFrame, CMDIFrameWnd)
    ON_COMMAND(ID_TEST_FRAME, OnFrameCommand)
    ON_UPDATE_COMMAND_UI(ID_TEST_FRAME, OnUpdateFrameCommand)
    ON_COMMAND(ID_HELP, CMDIFrameWnd::OnHelp)
    ON_COMMAND(ID_CONTEXT_HELP, CMDIFrameWnd::OnContextHelp)
    ON_COMMAND(ID_HELP_FINDER, CMDIFrameWnd::OnHelpFinder)
END_MESSAGE_MAP()

class CTestTemplate : public CMultiDocTemplate
{
public:
    using CMultiDocTemplate::CMultiDocTemplate;
protected:
    afx_msg void OnTemplateCommand() { g_log.push_back("template"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestTemplate, CMultiDocTemplate)
    ON_COMMAND(ID_TEST_TEMPLATE, OnTemplateCommand)
END_MESSAGE_MAP()

class CTestApp : public CWinApp
{
public:
    CTestApp() : CWinApp("Test Program") {}
    std::vector<std::pair<DWORD_PTR, UINT>> m_help;   // what WinHelp was asked, instead of showing it
    void WinHelp(DWORD_PTR dwData, UINT nCmd) override { m_help.push_back({dwData, nCmd}); }
protected:
    afx_msg void OnAppCommand() { g_log.push_back("app"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestApp, CWinApp)
    ON_COMMAND(ID_FILE_NEW, OnFileNew)
    ON_COMMAND(ID_FILE_OPEN, OnFileOpen)
    ON_COMMAND(ID_TEST_APP, OnAppCommand)
END_MESSAGE_MAP()

// A program with two document types and its main frame, as a program's InitInstance
// would make them.
class DocViewTest : public ::testing::Test
{
protected:
    CTestApp* m_pApp = nullptr;
    CMainFrame* m_pMainFrame = nullptr;
    CTestTemplate* m_pTextTemplate = nullptr;
    CMultiDocTemplate* m_pDataTemplate = nullptr;
    std::string m_strProfile;

    void SetUp() override
    {
        g_log.clear();
        g_bFailSerialize = FALSE;
        m_pApp = new CTestApp;
        AfxWinInit(::GetModuleHandleA(nullptr), nullptr, (LPTSTR) "", SW_SHOWNORMAL);
        m_strProfile = TempPath("qxafx_docview.ini");
        ::DeleteFileA(m_strProfile.c_str());
        m_pApp->m_pszProfileName = m_strProfile.c_str();
        m_pTextTemplate = new CTestTemplate(IDR_TEXTTYPE, RUNTIME_CLASS(CTextDoc), RUNTIME_CLASS(CChildFrame),
                                            RUNTIME_CLASS(CTextView));
        m_pApp->AddDocTemplate(m_pTextTemplate);
        m_pDataTemplate = new CMultiDocTemplate(IDR_DATATYPE, RUNTIME_CLASS(CDataDoc), RUNTIME_CLASS(CChildFrame),
                                                RUNTIME_CLASS(CTextView));
        m_pApp->AddDocTemplate(m_pDataTemplate);
        m_pMainFrame = new CMainFrame;
        ASSERT_TRUE(m_pMainFrame->LoadFrame(IDR_MAINFRAME));
        m_pApp->m_pMainWnd = m_pMainFrame;
        m_pMainFrame->ShowWindow(SW_SHOW);
    }

    void TearDown() override
    {
        if (m_pApp->m_pMainWnd != nullptr) {
            // Nothing may ask any more: the documents are thrown away.
            POSITION pos = m_pApp->GetFirstDocTemplatePosition();
            while (pos != nullptr) {
                CDocTemplate* pTemplate = m_pApp->GetNextDocTemplate(pos);
                POSITION posDoc = pTemplate->GetFirstDocPosition();
                while (posDoc != nullptr)
                    pTemplate->GetNextDoc(posDoc)->SetModifiedFlag(FALSE);
            }
            m_pApp->m_pMainWnd->SendMessage(WM_CLOSE);
        }
        delete m_pApp;
        ::DeleteFileA(m_strProfile.c_str());
    }

    CTextDoc* NewText() { return (CTextDoc*)m_pTextTemplate->OpenDocumentFile(nullptr); }

    // Runs the menu command as the user's click would send it.
    void Command(UINT nID) { m_pMainFrame->SendMessage(WM_COMMAND, MAKEWPARAM(nID, 0), 0); }

    // Answers the one message box that `action` shows with `button`; returns its text.
    std::string AnswerBox(int button, const std::function<void()>& action)
    {
        std::string text;
        qxtest::DialogDriver driver;
        driver.Then([&](HWND box) {
            text = qxtest::MessageBoxText(box);
            qxtest::Click(box, button);
        });
        driver.Run([&]() -> INT_PTR { action(); return 0; });
        EXPECT_EQ(driver.StepsRun(), 1);
        return text;
    }
};

TEST_F(DocViewTest, MainFrameTakesTitleMenuIconAndAcceleratorsFromItsResource)
{
    EXPECT_EQ(TextOf(m_pMainFrame->m_hWnd), "Test Program");
    HMENU hMenu = ::GetMenu(m_pMainFrame->m_hWnd);
    ASSERT_NE(hMenu, nullptr);
    EXPECT_EQ(hMenu, m_pMainFrame->m_hMenuDefault);
    char szItem[32];
    ::GetMenuStringA(hMenu, 0, szItem, sizeof szItem, MF_BYPOSITION);
    EXPECT_STREQ(szItem, "&File");
    EXPECT_NE(::GetClassLongPtrA(m_pMainFrame->m_hWnd, GCLP_HICON), 0);
    ASSERT_NE(m_pMainFrame->m_hWndMDIClient, nullptr);
    EXPECT_EQ(::GetDlgCtrlID(m_pMainFrame->m_hWndMDIClient), AFX_IDW_PANE_FIRST);

    // F5 is the frame's accelerator for a command the program handles.
    MSG msg = {m_pMainFrame->m_hWndMDIClient, WM_KEYDOWN, VK_F5, 0};
    EXPECT_TRUE(AfxPreTranslateMessage(&msg));
    EXPECT_EQ(g_log, std::vector<std::string>{"app"});
}

TEST_F(DocViewTest, CommandsGoToViewDocumentTemplateFrameAndProgramInThatOrder)
{
    CTextDoc* pDoc = NewText();
    ASSERT_NE(pDoc, nullptr);
    // While a text window is active the frame shows the template's menu.
    HMENU hShared = m_pTextTemplate->m_hMenuShared;
    EXPECT_EQ(::GetMenu(m_pMainFrame->m_hWnd), hShared);

    struct Case { UINT nID; const char* expected; } cases[] = {
        {ID_TEST_VIEW, "view"},
        {ID_TEST_SHARED, "view shared"},   // the view wins over its document
        {ID_TEST_DOC, "doc"},
        {ID_TEST_TEMPLATE, "template"},
        {ID_TEST_FRAME, "frame"},
        {ID_TEST_APP, "app"},
    };
    for (const Case& c : cases) {
        g_log.clear();
        Command(c.nID);
        EXPECT_EQ(g_log, std::vector<std::string>{c.expected}) << c.nID;
    }
    // A command whose update handler disables it does not run.
    g_log.clear();
    Command(ID_TEST_DISABLED);
    EXPECT_TRUE(g_log.empty());

    // The template's accelerator reaches the view through the active child.
    g_log.clear();
    POSITION pos = pDoc->GetFirstViewPosition();
    CView* pView = pDoc->GetNextView(pos);
    MSG msg = {pView->m_hWnd, WM_KEYDOWN, VK_F6, 0};
    EXPECT_TRUE(AfxPreTranslateMessage(&msg));
    EXPECT_EQ(g_log, std::vector<std::string>{"view"});

    // With the last document window gone the frame's own menu comes back.
    pDoc->OnCloseDocument();
    EXPECT_EQ(m_pMainFrame->MDIGetActive(), nullptr);
    EXPECT_EQ(::GetMenu(m_pMainFrame->m_hWnd), m_pMainFrame->m_hMenuDefault);
    g_log.clear();
    Command(ID_TEST_VIEW);
    EXPECT_TRUE(g_log.empty());

    // The template's menu and accelerators outlive the windows that used them.
    CTextDoc* pNext = NewText();
    ASSERT_NE(pNext, nullptr);
    EXPECT_EQ(::GetMenu(m_pMainFrame->m_hWnd), hShared);
    EXPECT_TRUE(::IsMenu(hShared));
    pos = pNext->GetFirstViewPosition();
    MSG msgNext = {pNext->GetNextView(pos)->m_hWnd, WM_KEYDOWN, VK_F6, 0};
    EXPECT_TRUE(AfxPreTranslateMessage(&msgNext));
    EXPECT_EQ(g_log, std::vector<std::string>{"view"});
}

TEST_F(DocViewTest, OpeningAPopupUpdatesItsItemsAndMenuItemsShowTheirPrompt)
{
    ASSERT_NE(NewText(), nullptr);
    HMENU hEdit = ::GetSubMenu(::GetMenu(m_pMainFrame->m_hWnd), 1);
    m_pMainFrame->SendMessage(WM_INITMENUPOPUP, (WPARAM)hEdit, MAKELPARAM(1, FALSE));
    struct Case { UINT nID; UINT state; } cases[] = {
        {ID_TEST_VIEW, 0},
        {ID_TEST_FRAME, 0},
        {ID_TEST_APP, 0},
        {ID_TEST_NONE, MF_GRAYED},      // no handler anywhere
        {ID_TEST_CHECKED, MF_CHECKED | MF_GRAYED},   // checked, but nobody carries it out
        {ID_TEST_DISABLED, MF_GRAYED},  // its update handler says so
    };
    for (const Case& c : cases)
        EXPECT_EQ(::GetMenuState(hEdit, c.nID, MF_BYCOMMAND) & (MF_GRAYED | MF_CHECKED), c.state) << c.nID;

    // The status text of a menu item is its string up to the first newline.
    CStatic bar;
    ASSERT_TRUE(bar.Create("", WS_CHILD, CRect(0, 0, 100, 20), m_pMainFrame, AFX_IDW_STATUS_BAR));
    m_pMainFrame->SendMessage(WM_MENUSELECT, MAKEWPARAM(ID_TEST_VIEW, MF_STRING), (LPARAM)hEdit);
    EXPECT_EQ(TextOf(bar.m_hWnd), "Runs in the view");
    m_pMainFrame->SendMessage(WM_MENUSELECT, MAKEWPARAM(ID_TEST_NONE, MF_STRING), (LPARAM)hEdit);
    EXPECT_EQ(TextOf(bar.m_hWnd), "");
    m_pMainFrame->SetMessageText("Ready now");
    EXPECT_EQ(TextOf(bar.m_hWnd), "Ready now");
    bar.DestroyWindow();
}

TEST_F(DocViewTest, TitlesNumberWindowsAndUpdatesSkipTheSender)
{
    CTextDoc* pFirst = NewText();
    CTextDoc* pSecond = NewText();
    ASSERT_TRUE(pFirst && pSecond);
    EXPECT_EQ(pFirst->GetTitle(), CString("Text1"));
    EXPECT_EQ(pSecond->GetTitle(), CString("Text2"));

    // A second window on the first document: both windows are numbered.
    m_pMainFrame->MDIActivate(FrameOfDoc(pFirst));
    Command(ID_WINDOW_NEW);
    ASSERT_EQ(pFirst->m_viewList.GetCount(), 2);
    POSITION pos = pFirst->GetFirstViewPosition();
    CTextView* pView1 = (CTextView*)pFirst->GetNextView(pos);
    CTextView* pView2 = (CTextView*)pFirst->GetNextView(pos);
    EXPECT_EQ(TextOf(pView1->GetParentFrame()->m_hWnd), "Text1:1");
    EXPECT_EQ(TextOf(pView2->GetParentFrame()->m_hWnd), "Text1:2");
    EXPECT_EQ(TextOf(m_pMainFrame->m_hWnd), "Text1:2 - Test Program");

    int nBefore1 = pView1->m_nUpdates, nBefore2 = pView2->m_nUpdates;
    pFirst->UpdateAllViews(pView1, 7);
    EXPECT_EQ(pView1->m_nUpdates, nBefore1);
    EXPECT_EQ(pView2->m_nUpdates, nBefore2 + 1);
    EXPECT_EQ(pView2->m_lLastHint, 7);

    // Closing one of the two windows keeps the document and drops the numbers.
    pView2->GetParentFrame()->SendMessage(WM_CLOSE);
    EXPECT_EQ(pFirst->m_viewList.GetCount(), 1);
    EXPECT_EQ(TextOf(pView1->GetParentFrame()->m_hWnd), "Text1");

    // The scrolling view draws from its scroll position.
    pView1->ScrollToPosition(CPoint(0, 40));
    CClientDC dc(pView1);
    pView1->OnPrepareDC(&dc);
    EXPECT_EQ(dc.GetViewportOrg(), CPoint(0, -40));
    EXPECT_EQ(pView1->GetScrollPosition(), CPoint(0, 40));
}

// The window list of the Window menu names each window by its title, also after the title
// changes.
TEST_F(DocViewTest, TheWindowMenuListsWindowsByTheirCurrentTitles)
{
    CTextDoc* pFirst = NewText();
    CTextDoc* pSecond = NewText();
    ASSERT_TRUE(pFirst && pSecond);
    HMENU hWindow = ::GetSubMenu(::GetMenu(m_pMainFrame->m_hWnd), 2);
    auto entry = [&](UINT nID) {
        char szItem[64] = "";
        ::GetMenuStringA(hWindow, nID, szItem, sizeof szItem, MF_BYCOMMAND);
        return std::string(szItem);
    };
    EXPECT_EQ(entry(AFX_IDM_FIRST_MDICHILD), "&1 Text1");
    EXPECT_EQ(entry(AFX_IDM_FIRST_MDICHILD + 1), "&2 Text2");

    pSecond->SetTitle("Renamed");
    EXPECT_EQ(entry(AFX_IDM_FIRST_MDICHILD + 1), "&2 Renamed");
}

// Scroll bars asked of an MDI frame scroll its client: the frame itself has none.
TEST_F(DocViewTest, AnMdiFramesScrollBarsGoToItsClient)
{
    CMainFrame* pFrame = new CMainFrame;
    ASSERT_TRUE(pFrame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | WS_VSCROLL | WS_HSCROLL));
    EXPECT_EQ(pFrame->GetStyle() & (WS_VSCROLL | WS_HSCROLL), 0u);
    EXPECT_EQ((DWORD)::GetWindowLongA(pFrame->m_hWndMDIClient, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL),
              (DWORD)(WS_VSCROLL | WS_HSCROLL));
    pFrame->DestroyWindow();
}

TEST_F(DocViewTest, FileNewOffersTheDocumentTypesWhenThereAreSeveral)
{
    qxtest::DialogDriver driver;
    driver.Then([](HWND dlg) {
        EXPECT_EQ(::SendDlgItemMessageA(dlg, AFX_IDC_LISTBOX, LB_GETCOUNT, 0, 0), 2);
        int nData = (int)::SendDlgItemMessageA(dlg, AFX_IDC_LISTBOX, LB_FINDSTRINGEXACT, (WPARAM)-1,
                                               (LPARAM) "Data Sheet");
        qxtest::ListSelect(dlg, AFX_IDC_LISTBOX, nData);
        qxtest::Click(dlg, IDOK);
    });
    driver.Run([&]() -> INT_PTR { Command(ID_FILE_NEW); return 0; });
    EXPECT_EQ(driver.StepsRun(), 1);
    CMDIChildWnd* pChild = m_pMainFrame->MDIGetActive();
    ASSERT_NE(pChild, nullptr);
    CDocument* pDoc = pChild->GetActiveDocument();
    ASSERT_NE(pDoc, nullptr);
    EXPECT_TRUE(pDoc->IsKindOf(RUNTIME_CLASS(CDataDoc)));
    EXPECT_EQ(pDoc->GetTitle(), CString("Data1"));
}

TEST_F(DocViewTest, DocumentsSaveAndOpenThroughTheirArchivesAndAFailedSaveKeepsTheOldFile)
{
    std::string path = TempPath("qxafx_docview.qtx");
    ::DeleteFileA(path.c_str());
    CTextDoc* pDoc = NewText();
    pDoc->m_text = "first contents";
    pDoc->SetModifiedFlag();
    ASSERT_TRUE(pDoc->DoSave(path.c_str()));
    EXPECT_FALSE(pDoc->IsModified());
    EXPECT_EQ(pDoc->GetTitle(), CString("qxafx_docview.qtx"));
    std::string saved = ReadFileBytes(path);
    EXPECT_EQ(saved, std::string("\x0e") + "first contents");

    // Opening a file that is open activates its document.
    EXPECT_EQ(m_pApp->OpenDocumentFile(path.c_str()), pDoc);

    // A save that fails half-way tells the user and leaves the file as it was.
    pDoc->m_text = "second contents";
    g_bFailSerialize = TRUE;
    BOOL bSaved = TRUE;
    std::string text = AnswerBox(IDOK, [&] { bSaved = pDoc->DoSave(path.c_str()); });
    g_bFailSerialize = FALSE;
    EXPECT_FALSE(bSaved);
    EXPECT_NE(text.find("Disk full"), std::string::npos) << text;
    EXPECT_EQ(ReadFileBytes(path), saved);

    // Reopened, the document has the saved contents; the extension chose the template.
    pDoc->SetModifiedFlag(FALSE);
    pDoc->OnCloseDocument();
    CTextDoc* pOpened = (CTextDoc*)m_pApp->OpenDocumentFile(path.c_str());
    ASSERT_NE(pOpened, nullptr);
    EXPECT_EQ(pOpened->GetDocTemplate(), m_pTextTemplate);
    EXPECT_EQ(pOpened->m_text, CString("first contents"));
    EXPECT_FALSE(pOpened->IsModified());

    // A file that is not there is reported and leaves no document behind.
    int nDocs = m_pApp->GetOpenDocumentCount();
    CDocument* pMissing = nullptr;
    text = AnswerBox(IDOK, [&] { pMissing = m_pApp->OpenDocumentFile(TempPath("qxafx_missing.qdt").c_str()); });
    EXPECT_EQ(pMissing, nullptr);
    EXPECT_NE(text.find("qxafx_missing.qdt"), std::string::npos) << text;
    EXPECT_EQ(m_pApp->GetOpenDocumentCount(), nDocs);
    ::DeleteFileA(path.c_str());
}

TEST_F(DocViewTest, ClosingAModifiedDocumentAsksFirst)
{
    std::string path = TempPath("qxafx_prompt.qtx");
    struct Case { int answer; bool closed; bool written; } cases[] = {
        {IDCANCEL, false, false},
        {IDNO, true, false},
        {IDYES, true, true},
    };
    for (const Case& c : cases) {
        ::DeleteFileA(path.c_str());
        CTextDoc* pDoc = NewText();
        pDoc->SetPathName(path.c_str(), FALSE);
        pDoc->m_text = "changed";
        pDoc->SetModifiedFlag();
        HWND hFrame = FrameOfDoc(pDoc)->m_hWnd;
        std::string text = AnswerBox(c.answer, [&] { ::SendMessageA(hFrame, WM_CLOSE, 0, 0); });
        EXPECT_EQ(text, "Save changes to qxafx_prompt.qtx?");
        EXPECT_EQ(!::IsWindow(hFrame), c.closed) << c.answer;
        EXPECT_EQ(::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES, c.written) << c.answer;
        if (!c.closed) {
            pDoc->SetModifiedFlag(FALSE);
            pDoc->OnCloseDocument();
        }
    }
    ::DeleteFileA(path.c_str());
}

TEST_F(DocViewTest, RecentFilesFillTheMenuAndLiveInTheProfile)
{
    m_pApp->LoadStdProfileSettings(3);
    std::string a = TempPath("qxafx_a.qtx"), b = TempPath("qxafx_b.qtx"), c = TempPath("qxafx_c.qtx");
    for (const std::string& p : {a, b, c, a})
        m_pApp->AddToRecentFileList(p.c_str());
    CRecentFileList& list = *m_pApp->m_pRecentFileList;
    EXPECT_EQ(list[0], CString(a.c_str()));
    EXPECT_EQ(list[1], CString(c.c_str()));
    EXPECT_EQ(list[2], CString(b.c_str()));

    // The File popup gets one item per file in place of the placeholder.
    HMENU hFile = ::GetSubMenu(::GetMenu(m_pMainFrame->m_hWnd), 0);
    m_pMainFrame->SendMessage(WM_INITMENUPOPUP, (WPARAM)hFile, MAKELPARAM(0, FALSE));
    char szItem[MAX_PATH];
    ::GetMenuStringA(hFile, ID_FILE_MRU_FILE1, szItem, sizeof szItem, MF_BYCOMMAND);
    EXPECT_EQ(std::string(szItem).substr(0, 3), "&1 ");
    EXPECT_NE(std::string(szItem).find("qxafx_a.qtx"), std::string::npos) << szItem;
    EXPECT_NE(::GetMenuState(hFile, ID_FILE_MRU_FILE1 + 2, MF_BYCOMMAND), (UINT)-1);
    EXPECT_EQ(::GetMenuState(hFile, ID_APP_EXIT, MF_BYCOMMAND) & MF_GRAYED, 0u);

    // The list is written when the program ends and read when it starts.
    m_pApp->ExitInstance();
    char szValue[MAX_PATH];
    ::GetPrivateProfileStringA("Recent File List", "File2", "", szValue, MAX_PATH, m_strProfile.c_str());
    EXPECT_EQ(std::string(szValue), c);
    list.Remove(0);
    list.Remove(0);
    list.Remove(0);
    list.ReadList();
    EXPECT_EQ(list[2], CString(b.c_str()));

    // A file that cannot be opened any more leaves the list.
    AnswerBox(IDOK, [&] { Command(ID_FILE_MRU_FILE1); });
    EXPECT_EQ(list[0], CString(c.c_str()));
    EXPECT_TRUE(list[2].IsEmpty());
}

TEST(CommandLineTest, SwitchesAndFileNamesSetTheShellCommand)
{
    using Info = CCommandLineInfo;
    struct Case {
        std::vector<const char*> args;
        int command;
        bool splash, embedded, automated;
        const char* file;
    } cases[] = {
        {{}, Info::FileNew, true, false, false, ""},
        {{"data.qtx"}, Info::FileOpen, true, false, false, "data.qtx"},
        {{"/dde"}, Info::FileDDE, true, false, false, ""},
        {{"-Embedding"}, Info::FileNothing, false, true, false, ""},
        {{"/Automation"}, Info::FileNothing, false, false, true, ""},
        {{"/p", "data.qtx"}, Info::FilePrint, true, false, false, "data.qtx"},
        {{"/Unregserver"}, Info::AppUnregister, true, false, false, ""},
        {{"-h", "data.qtx"}, Info::FileOpen, true, false, false, "data.qtx"},   // left to the program
    };
    for (const Case& c : cases) {
        Info info;
        for (size_t i = 0; i < c.args.size(); i++) {
            const char* p = c.args[i];
            BOOL bFlag = p[0] == '-' || p[0] == '/';
            info.ParseParam(bFlag ? p + 1 : p, bFlag, i + 1 == c.args.size());
        }
        std::string label = c.args.empty() ? "(none)" : c.args[0];
        EXPECT_EQ(info.m_nShellCommand, c.command) << label;
        EXPECT_EQ(!!info.m_bShowSplash, c.splash) << label;
        EXPECT_EQ(!!info.m_bRunEmbedded, c.embedded) << label;
        EXPECT_EQ(!!info.m_bRunAutomated, c.automated) << label;
        EXPECT_EQ(info.m_strFileName, CString(c.file)) << label;
    }
    Info printTo;
    const char* args[] = {"pt", "data.qtx", "Printer", "Driver", "Port"};
    for (int i = 0; i < 5; i++)
        printTo.ParseParam(args[i], i == 0, i == 4);
    EXPECT_EQ(printTo.m_nShellCommand, Info::FilePrintTo);
    EXPECT_EQ(printTo.m_strPrinterName, CString("Printer"));
    EXPECT_EQ(printTo.m_strPortName, CString("Port"));
}

std::string ClassesValue(const char* key)
{
    char szValue[MAX_PATH] = "";
    LONG lSize = sizeof szValue;
    if (::RegQueryValueA(HKEY_CLASSES_ROOT, key, szValue, &lSize) != ERROR_SUCCESS)
        return "(none)";
    return szValue;
}

TEST_F(DocViewTest, ShellRegistrationWritesFileTypesAndLeavesOthersExtensions)
{
    ::RegDeleteTreeA(HKEY_CLASSES_ROOT, ".qtx");
    HKEY hKey;
    ASSERT_EQ(::RegCreateKeyA(HKEY_CLASSES_ROOT, ".qd2", &hKey), ERROR_SUCCESS);
    ::RegSetValueA(HKEY_CLASSES_ROOT, ".qd2", REG_SZ, "Other.Program", 0);
    ::RegCloseKey(hKey);

    m_pApp->EnableShellOpen();
    m_pApp->RegisterShellFileTypes(TRUE);
    EXPECT_EQ(ClassesValue(".qtx"), "QxTest.Text");
    EXPECT_EQ(ClassesValue(".qdt"), "QxTest.Data");
    EXPECT_EQ(ClassesValue(".qd2"), "Other.Program");
    EXPECT_EQ(ClassesValue("QxTest.Text"), "Qx Test Text");
    EXPECT_EQ(ClassesValue("QxTest.Text\\shell\\open\\ddeexec"), "[open(\"%1\")]");
    std::string open = ClassesValue("QxTest.Text\\shell\\open\\command");
    EXPECT_NE(open.find(".exe\" /dde"), std::string::npos) << open;
    EXPECT_NE(ClassesValue("QxTest.Data\\DefaultIcon").find(",2"), std::string::npos);

    m_pApp->UnregisterShellFileTypes();
    EXPECT_EQ(ClassesValue(".qtx"), "(none)");
    EXPECT_EQ(ClassesValue("QxTest.Text"), "(none)");
    EXPECT_EQ(ClassesValue(".qd2"), "Other.Program");
    ::RegDeleteTreeA(HKEY_CLASSES_ROOT, ".qd2");
}

HDDEDATA CALLBACK DdeCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) { return nullptr; }

TEST_F(DocViewTest, TheShellOpensFilesThroughDDE)
{
    std::string path = TempPath("qxafx_dde.qtx");
    {
        std::ofstream out(path, std::ios::binary);
        out << "\x05" << "hello";
    }
    m_pApp->EnableShellOpen();
    DWORD idInst = 0;
    ASSERT_EQ(::DdeInitializeA(&idInst, DdeCallback, APPCMD_CLIENTONLY, 0), (UINT)DMLERR_NO_ERROR);
    HSZ hszApp = ::DdeCreateStringHandleA(idInst, m_pApp->m_pszExeName, CP_WINANSI);
    HSZ hszTopic = ::DdeCreateStringHandleA(idInst, "system", CP_WINANSI);
    HCONV hConv = ::DdeConnect(idInst, hszApp, hszTopic, nullptr);
    ASSERT_NE(hConv, nullptr);
    std::string command = "[open(\"" + path + "\")]";
    HDDEDATA hResult = ::DdeClientTransaction((LPBYTE)command.c_str(), (DWORD)command.size() + 1, hConv, nullptr, 0,
                                              XTYP_EXECUTE, 5000, nullptr);
    EXPECT_NE(hResult, nullptr);
    ::DdeDisconnect(hConv);
    ::DdeFreeStringHandle(idInst, hszApp);
    ::DdeFreeStringHandle(idInst, hszTopic);
    ::DdeUninitialize(idInst);

    CMDIChildWnd* pChild = m_pMainFrame->MDIGetActive();
    ASSERT_NE(pChild, nullptr);
    CTextDoc* pDoc = (CTextDoc*)pChild->GetActiveDocument();
    EXPECT_EQ(pDoc->m_text, CString("hello"));
    EXPECT_TRUE(AfxComparePath(pDoc->GetPathName(), path.c_str()));
    pDoc->OnCloseDocument();
    ::DeleteFileA(path.c_str());
}

CRect ChildRect(CWnd* pParent, HWND hWnd)
{
    CRect rect;
    ::GetWindowRect(hWnd, &rect);
    pParent->ScreenToClient(&rect);
    return rect;
}

bool IsButtonEnabled(CToolBar& bar, UINT nID)
{
    return ::SendMessageA(bar.m_hWnd, TB_ISBUTTONENABLED, nID, 0) != 0;
}

TEST_F(DocViewTest, BarsTakeTheirEdgesUpdateAtIdleAndSendCommandsToTheFrame)
{
    CStatusBar status;
    const UINT indicators[] = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM};
    ASSERT_TRUE(status.Create(m_pMainFrame));
    ASSERT_TRUE(status.SetIndicators(indicators, 3));
    CToolBar toolbar;
    ASSERT_TRUE(toolbar.Create(m_pMainFrame));
    ASSERT_TRUE(toolbar.LoadToolBar(IDR_MAINFRAME));
    EXPECT_EQ(toolbar.GetItemID(2), (UINT)ID_SEPARATOR);
    EXPECT_EQ(toolbar.CommandToIndex(ID_TEST_FRAME), 3);
    toolbar.EnableDocking(CBRS_ALIGN_ANY);
    m_pMainFrame->EnableDocking(CBRS_ALIGN_ANY);
    m_pMainFrame->DockControlBar(&toolbar);
    m_pMainFrame->MoveWindow(0, 0, 600, 400);
    m_pMainFrame->RecalcLayout();

    // The status bar along the bottom, the toolbar in the top dock bar, the MDI client
    // between them.
    CRect client;
    m_pMainFrame->GetClientRect(&client);
    CRect rectStatus = ChildRect(m_pMainFrame, status.m_hWnd);
    CRect rectMDI = ChildRect(m_pMainFrame, m_pMainFrame->m_hWndMDIClient);
    CControlBar* pTopDock = m_pMainFrame->GetControlBar(AFX_IDW_DOCKBAR_TOP);
    ASSERT_NE(pTopDock, nullptr);
    CRect rectTop = ChildRect(m_pMainFrame, pTopDock->m_hWnd);
    EXPECT_EQ(rectStatus.bottom, client.bottom);
    EXPECT_EQ(rectStatus.Width(), client.Width());
    EXPECT_GT(rectStatus.Height(), 10);
    EXPECT_EQ(rectTop.top, 0);
    EXPECT_GE(rectTop.Height(), 22);
    EXPECT_EQ(rectMDI.top, rectTop.bottom);
    EXPECT_EQ(rectMDI.bottom, rectStatus.top);
    EXPECT_EQ(::GetParent(toolbar.m_hWnd), pTopDock->m_hWnd);

    // Idle time: buttons without handlers go grey, indicators follow their keys.
    m_pApp->OnIdle(0);
    EXPECT_TRUE(IsButtonEnabled(toolbar, ID_TEST_APP));
    EXPECT_FALSE(IsButtonEnabled(toolbar, ID_TEST_NONE));
    EXPECT_TRUE(IsButtonEnabled(toolbar, ID_TEST_FRAME));
    char szPane[32] = "?";
    ::SendMessageA(status.m_hWnd, SB_GETTEXTA, 1, (LPARAM)szPane);
    EXPECT_STREQ(szPane, (::GetKeyState(VK_CAPITAL) & 1) ? "CAP" : "");

    // A click on a button reaches the program through the frame.
    CRect rectButton;
    toolbar.GetItemRect(0, &rectButton);
    LPARAM lPoint = MAKELPARAM(rectButton.CenterPoint().x, rectButton.CenterPoint().y);
    toolbar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, lPoint);
    toolbar.SendMessage(WM_LBUTTONUP, 0, lPoint);
    EXPECT_EQ(g_log, std::vector<std::string>{"app"});

    // A button's tip is the second part of its command's string.
    NMTTDISPINFOA tip = {};
    tip.hdr.hwndFrom = toolbar.m_hWnd;
    tip.hdr.idFrom = ID_TEST_VIEW;
    tip.hdr.code = TTN_NEEDTEXTA;
    pTopDock->SendMessage(WM_NOTIFY, ID_TEST_VIEW, (LPARAM)&tip);
    EXPECT_STREQ(tip.szText, "View command");

    // Menu prompts go to the first pane.
    m_pMainFrame->SendMessage(WM_MENUSELECT, MAKEWPARAM(ID_TEST_APP, MF_STRING), (LPARAM)::GetMenu(m_pMainFrame->m_hWnd));
    EXPECT_EQ(status.GetPaneText(0), CString("Runs in the program"));

    // View > Status Bar hides it, and the client takes its place.
    Command(ID_VIEW_STATUS_BAR);
    EXPECT_FALSE(status.IsVisible());
    EXPECT_EQ(ChildRect(m_pMainFrame, m_pMainFrame->m_hWndMDIClient).bottom, client.bottom);
    HMENU hPopup = ::CreatePopupMenu();
    ::AppendMenuA(hPopup, MF_STRING, ID_VIEW_STATUS_BAR, "Status Bar");
    m_pMainFrame->SendMessage(WM_INITMENUPOPUP, (WPARAM)hPopup, 0);
    EXPECT_EQ(::GetMenuState(hPopup, ID_VIEW_STATUS_BAR, MF_BYCOMMAND) & (MF_CHECKED | MF_GRAYED), 0u);
    Command(ID_VIEW_STATUS_BAR);
    m_pMainFrame->SendMessage(WM_INITMENUPOPUP, (WPARAM)hPopup, 0);
    EXPECT_EQ(::GetMenuState(hPopup, ID_VIEW_STATUS_BAR, MF_BYCOMMAND) & MF_CHECKED, (UINT)MF_CHECKED);
    ::DestroyMenu(hPopup);
}

TEST_F(DocViewTest, BarsFloatInAFrameOfTheirOwnAndDockAgainInRows)
{
    CToolBar first, second;
    ASSERT_TRUE(first.Create(m_pMainFrame));
    ASSERT_TRUE(first.LoadToolBar(IDR_MAINFRAME));
    ASSERT_TRUE(second.Create(m_pMainFrame, WS_CHILD | WS_VISIBLE | CBRS_TOP, AFX_IDW_TOOLBAR + 1));
    ASSERT_TRUE(second.LoadToolBar(IDR_MAINFRAME));
    first.EnableDocking(CBRS_ALIGN_ANY);
    second.EnableDocking(CBRS_ALIGN_ANY);
    m_pMainFrame->EnableDocking(CBRS_ALIGN_ANY);
    m_pMainFrame->MoveWindow(0, 0, 600, 400);
    m_pMainFrame->DockControlBar(&first);
    CRect rectFirst;
    first.GetWindowRect(&rectFirst);
    // Dropped beside the first bar, the second joins its row.
    CRect rectDrop(rectFirst.right + 2, rectFirst.top + 1, rectFirst.right + 50, rectFirst.bottom);
    m_pMainFrame->DockControlBar(&second, AFX_IDW_DOCKBAR_TOP, &rectDrop);
    CDockBar* pTop = (CDockBar*)m_pMainFrame->GetControlBar(AFX_IDW_DOCKBAR_TOP);
    ASSERT_EQ(pTop->m_arrBars.GetSize(), 3);
    EXPECT_EQ(pTop->m_arrBars[0], &first);
    EXPECT_EQ(pTop->m_arrBars[1], &second);
    EXPECT_EQ(pTop->m_arrBars[2], nullptr);
    EXPECT_EQ(ChildRect(pTop, second.m_hWnd).left, ChildRect(pTop, first.m_hWnd).right);
    int nRowHeight = ChildRect(m_pMainFrame, pTop->m_hWnd).Height();

    // Floating: the bar leaves the row and lives in a small frame; idle updates still reach it.
    m_pMainFrame->FloatControlBar(&first, CPoint(100, 100));
    EXPECT_TRUE(first.IsFloating());
    CFrameWnd* pFloat = first.GetDockingFrame();
    ASSERT_NE(pFloat, m_pMainFrame);
    HWND hFloat = pFloat->m_hWnd;
    EXPECT_TRUE(::IsWindowVisible(hFloat));
    EXPECT_EQ(pTop->m_arrBars.GetSize(), 2);
    m_pApp->OnIdle(0);
    EXPECT_FALSE(IsButtonEnabled(first, ID_TEST_NONE));
    EXPECT_TRUE(IsButtonEnabled(first, ID_TEST_APP));

    // Closing the small frame hides the bar; showing the bar shows the frame again.
    ::SendMessageA(hFloat, WM_CLOSE, 0, 0);
    EXPECT_FALSE(first.IsVisible());
    EXPECT_FALSE(::IsWindowVisible(hFloat));
    m_pMainFrame->ShowControlBar(&first, TRUE, FALSE);
    EXPECT_TRUE(::IsWindowVisible(hFloat));

    // Docked on the left it stands upright, and the empty floating frame goes.
    m_pMainFrame->DockControlBar(&first, AFX_IDW_DOCKBAR_LEFT);
    EXPECT_FALSE(first.IsFloating());
    EXPECT_FALSE(::IsWindow(hFloat));
    CRect rectLeft;
    first.GetWindowRect(&rectLeft);
    EXPECT_GT(rectLeft.Height(), rectLeft.Width());
    EXPECT_EQ(ChildRect(m_pMainFrame, pTop->m_hWnd).Height(), nRowHeight);
    EXPECT_EQ(ChildRect(m_pMainFrame, m_pMainFrame->m_hWndMDIClient).left,
              ChildRect(m_pMainFrame, m_pMainFrame->GetControlBar(AFX_IDW_DOCKBAR_LEFT)->m_hWnd).right);
}

TEST_F(DocViewTest, DialogBarsUpdateTheirControlsAndPassCommandsOn)
{
    CDialogBar bar;
    ASSERT_TRUE(bar.Create(m_pMainFrame, IDD_BAR, WS_VISIBLE | CBRS_TOP, AFX_IDW_DIALOGBAR));
    m_pMainFrame->RecalcLayout();
    EXPECT_EQ(ChildRect(m_pMainFrame, bar.m_hWnd).top, 0);
    EXPECT_EQ(ChildRect(m_pMainFrame, m_pMainFrame->m_hWndMDIClient).top, bar.m_sizeDefault.cy);

    m_pApp->OnIdle(0);
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(bar.m_hWnd, ID_TEST_APP)));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(bar.m_hWnd, ID_TEST_NONE)));
    qxtest::Click(bar.m_hWnd, ID_TEST_APP);
    EXPECT_EQ(g_log, std::vector<std::string>{"app"});
}

class CSdiFrame : public CFrameWnd
{
    DECLARE_DYNCREATE(CSdiFrame)
};

IMPLEMENT_DYNCREATE(CSdiFrame, CFrameWnd)

TEST(SingleDocTemplateTest, OneDocumentAndOneFrameServeEveryNewAndOpen)
{
    g_log.clear();
    CTestApp app;
    AfxWinInit(::GetModuleHandleA(nullptr), nullptr, (LPTSTR) "", SW_SHOWNORMAL);
    CSingleDocTemplate* pTemplate =
        new CSingleDocTemplate(IDR_SDITYPE, RUNTIME_CLASS(CTextDoc), RUNTIME_CLASS(CSdiFrame), RUNTIME_CLASS(CTextView));
    app.AddDocTemplate(pTemplate);
    CTextDoc* pDoc = (CTextDoc*)pTemplate->OpenDocumentFile(nullptr);
    ASSERT_NE(pDoc, nullptr);
    CFrameWnd* pFrame = (CFrameWnd*)app.m_pMainWnd;
    ASSERT_NE(pFrame, nullptr);
    EXPECT_EQ(FrameOfDoc(pDoc), pFrame);
    EXPECT_EQ(TextOf(pFrame->m_hWnd), "Untitled - Note Pad");

    // A modified document is offered for saving first; Cancel keeps it.
    pDoc->m_text = "kept";
    pDoc->SetModifiedFlag();
    CDocument* pAgain = (CDocument*)1;
    qxtest::DialogDriver driver;
    driver.Then([](HWND box) { qxtest::Click(box, IDCANCEL); });
    driver.Run([&]() -> INT_PTR { pAgain = pTemplate->OpenDocumentFile(nullptr); return 0; });
    EXPECT_EQ(pAgain, nullptr);
    EXPECT_EQ(pDoc->m_text, CString("kept"));

    // Without changes the same document and frame start afresh.
    pDoc->SetModifiedFlag(FALSE);
    EXPECT_EQ(pTemplate->OpenDocumentFile(nullptr), pDoc);
    EXPECT_TRUE(pDoc->m_text.IsEmpty());
    EXPECT_EQ(app.m_pMainWnd, pFrame);
    pFrame->SendMessage(WM_CLOSE);
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    EXPECT_EQ(pTemplate->GetFirstDocPosition(), nullptr);
}

bool HasPrinter()
{
    DWORD cbNeeded = 0, nPrinters = 0;
    ::EnumPrintersA(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 2, nullptr, 0, &cbNeeded, &nPrinters);
    return cbNeeded > 0;
}

// The system's print dialog, with no printer, shows its message from inside a hidden
// dialog, which the dialog driver waits on for ever; this answers every visible dialog of
// the thread with OK and keeps the texts it showed.
std::vector<std::string> g_shownTexts;

BOOL CALLBACK CollectStatic(HWND hWnd, LPARAM)
{
    char szClass[16];
    ::GetClassNameA(hWnd, szClass, sizeof szClass);
    if (lstrcmpiA(szClass, "Static") == 0 && ::GetWindowTextLengthA(hWnd) > 0)
        g_shownTexts.push_back(TextOf(hWnd));
    return TRUE;
}

BOOL CALLBACK AnswerVisibleDialog(HWND hWnd, LPARAM)
{
    char szClass[16];
    ::GetClassNameA(hWnd, szClass, sizeof szClass);
    if (lstrcmpA(szClass, "#32770") == 0 && ::IsWindowVisible(hWnd)) {
        ::EnumChildWindows(hWnd, CollectStatic, 0);
        ::PostMessageA(hWnd, WM_COMMAND, IDOK, 0);
    }
    return TRUE;
}

void CALLBACK AnswerTimer(HWND, UINT, UINT_PTR, DWORD) { ::EnumThreadWindows(::GetCurrentThreadId(), AnswerVisibleDialog, 0); }

std::vector<std::string> AnswerEveryDialog(const std::function<void()>& action)
{
    g_shownTexts.clear();
    UINT_PTR nTimer = ::SetTimer(nullptr, 0, 50, AnswerTimer);
    action();
    ::KillTimer(nullptr, nTimer);
    return g_shownTexts;
}

TEST_F(DocViewTest, WithoutAPrinterPrintingStopsWithAMessage)
{
    if (HasPrinter())
        GTEST_SKIP() << "a printer is installed";
    CPrintInfo info;
    info.SetMaxPage(3);
    EXPECT_EQ(info.GetFromPage(), 1u);
    EXPECT_EQ(info.GetToPage(), 3u);
    CPrintDialog defaults(TRUE);
    EXPECT_FALSE(defaults.GetDefaults());
    CDC dc;
    EXPECT_FALSE(m_pApp->CreatePrinterDC(dc));

    // Printing with the dialog, or at once on the program's printer: one message each,
    // the system's or the framework's, and nothing printed.
    ASSERT_NE(NewText(), nullptr);
    for (UINT nID : {ID_FILE_PRINT, ID_FILE_PRINT_DIRECT}) {
        std::vector<std::string> texts = AnswerEveryDialog([&] { Command(nID); });
        ASSERT_EQ(texts.size(), 1u) << nID;
        EXPECT_NE(texts[0].find("printer"), std::string::npos) << texts[0];
    }
    EXPECT_EQ(m_pApp->m_hDevNames, nullptr);
}

TEST_F(DocViewTest, HelpShowsTheTopicOfTheActiveWindowOrOfWhatIsClicked)
{
    CTextDoc* pDoc = NewText();
    ASSERT_NE(pDoc, nullptr);
    POSITION pos = pDoc->GetFirstViewPosition();
    CView* pView = pDoc->GetNextView(pos);

    Command(ID_HELP);
    Command(ID_HELP_FINDER);
    ASSERT_EQ(m_pApp->m_help.size(), 2u);
    EXPECT_EQ(m_pApp->m_help[0], std::make_pair((DWORD_PTR)(HID_BASE_RESOURCE + IDR_TEXTTYPE), (UINT)HELP_CONTEXT));
    EXPECT_EQ(m_pApp->m_help[1].second, (UINT)HELP_FINDER);

    // Shift+F1, then a click on the view: the view names its topic.
    m_pApp->m_help.clear();
    CRect rect;
    pView->GetWindowRect(&rect);
    ::SetCursorPos(rect.CenterPoint().x, rect.CenterPoint().y);
    pView->PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, 0);
    Command(ID_CONTEXT_HELP);
    ASSERT_EQ(m_pApp->m_help.size(), 1u);
    EXPECT_EQ(m_pApp->m_help[0].first, (DWORD_PTR)0x12345);

    // Escape ends help mode with no help.
    m_pApp->m_help.clear();
    pView->PostMessage(WM_KEYDOWN, VK_ESCAPE, 0);
    Command(ID_CONTEXT_HELP);
    EXPECT_TRUE(m_pApp->m_help.empty());
    EXPECT_EQ(::GetCapture(), nullptr);
}

TEST_F(DocViewTest, ModalStateDisablesTheFrameAndWhatItOwnsAndRestoresOnlyThat)
{
    CWnd enabled, disabled;
    ASSERT_TRUE(enabled.CreateEx(0, nullptr, "enabled", WS_POPUP, 0, 0, 50, 50, m_pMainFrame->m_hWnd, nullptr));
    ASSERT_TRUE(disabled.CreateEx(0, nullptr, "disabled", WS_POPUP | WS_DISABLED, 0, 0, 50, 50,
                                  m_pMainFrame->m_hWnd, nullptr));
    m_pApp->EnableModeless(FALSE);
    m_pApp->EnableModeless(FALSE);
    EXPECT_TRUE(m_pMainFrame->InModalState());
    EXPECT_FALSE(m_pMainFrame->IsWindowEnabled());
    EXPECT_FALSE(enabled.IsWindowEnabled());
    m_pApp->EnableModeless(TRUE);   // still one level in
    EXPECT_FALSE(m_pMainFrame->IsWindowEnabled());
    m_pApp->EnableModeless(TRUE);
    EXPECT_FALSE(m_pMainFrame->InModalState());
    EXPECT_TRUE(m_pMainFrame->IsWindowEnabled());
    EXPECT_TRUE(enabled.IsWindowEnabled());
    EXPECT_FALSE(disabled.IsWindowEnabled());
    enabled.DestroyWindow();
    disabled.DestroyWindow();
}

}
