#include "CoreTestApp.h"

#include "QUMatrixView.h"
#include "QUNotes.h"
#include "QUWksView.h"

#include "ChildFrame.h"

#include <stdlib.h>

IMPLEMENT_DYNCREATE(CTestView, CQuorixView)

void CTestApp::init_document_templates()
{
    CRuntimeClass* frame = RUNTIME_CLASS(CChildFrame);
    CRuntimeClass* view = RUNTIME_CLASS(CTestView);
    CMultiDocTemplate* templates[] = {
#ifdef QX_TEST_WORKSHEET_VIEW
        // Worksheets in the worksheet window's own document and view (which print).
        new CWorksheetMultiDocTemplate(IDR_TEST_WKS, RUNTIME_CLASS(CQUWksDoc), frame, RUNTIME_CLASS(CQUWksView)),
#else
        new CWorksheetMultiDocTemplate(IDR_TEST_WKS, RUNTIME_CLASS(CQuorixDoc), frame, view),
#endif
        new CGraphMultiDocTemplate(IDR_TEST_GRAPH, RUNTIME_CLASS(CQUGraphDoc), frame, RUNTIME_CLASS(CQUGraphView)),
        new CLayoutMultiDocTemplate(IDR_TEST_LAYOUT, RUNTIME_CLASS(CQULayoutDoc), frame, RUNTIME_CLASS(CQULayoutView)),
        new CMatrixMultiDocTemplate(IDR_TEST_MATRIX, RUNTIME_CLASS(CQUMatrixDoc), frame, RUNTIME_CLASS(CQUMatrixView)),
        new CxlMultiDocTemplate(IDR_TEST_EXCEL, RUNTIME_CLASS(CQuorixDoc), frame, view),
        new CNotesMultiDocTemplate(IDR_TEST_NOTES, RUNTIME_CLASS(CQUNotesDoc), frame, RUNTIME_CLASS(CQUNotesView)),
    };
    for (CMultiDocTemplate* t : templates) {
        add_doc_template(t);
        AddDocTemplate(t);
    }
}

std::string TestFolder(const char* name)
{
    char temp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + name;
    ::CreateDirectoryA(folder.c_str(), nullptr);
    WIN32_FIND_DATAA data;
    HANDLE find = ::FindFirstFileA((folder + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                ::DeleteFileA((folder + "\\" + data.cFileName).c_str());
        } while (::FindNextFileA(find, &data));
        ::FindClose(find);
    }
    return folder;
}

void AppFixture::SetUp()
{
    // Every start writes the shell's file types and the toolbar keys into the one
    // registry: test cases that run side by side take turns.
    m_registryTurn = ::CreateMutexA(nullptr, FALSE, "qxuser_core_tests registry");
    ::WaitForSingleObject(m_registryTurn, INFINITE);
    qkfxGetProject().New();
    qkfxGetCallLog().Clear();
    // One folder per process: test cases may run side by side.
    m_iniFolder = TestFolder(("qxuser_core_ini" + std::to_string(::GetCurrentProcessId())).c_str());
    m_args = {"qxuser_core_tests.exe", "-P", m_iniFolder};
    for (const std::string& a : Arguments())
        m_args.push_back(a);
    m_commandLine.clear();
    for (size_t i = 1; i < m_args.size(); ++i)
        m_commandLine += (i > 1 ? " \"" : "\"") + m_args[i] + "\"";
    m_argv.clear();
    for (std::string& a : m_args)
        m_argv.push_back(&a[0]);
    m_argv.push_back(nullptr);
    // The framework parses the process's own arguments: the test's stand in for them.
    m_savedArgc = __argc;
    m_savedArgv = __argv;
    __argc = (int)m_args.size();
    __argv = m_argv.data();

    m_app = new CTestApp;
    AfxWinInit(::GetModuleHandleA(nullptr), nullptr, &m_commandLine[0], SW_SHOWNORMAL);
    m_started = m_app->InitInstance();
    ASSERT_TRUE(m_started) << qkfxGetCallLog().ToString();
}

void AppFixture::Stop()
{
    if (m_app == nullptr)
        return;
    if (m_app->m_pMainWnd != nullptr) {
        m_app->CloseAllDocuments(TRUE);
        m_app->m_pMainWnd->DestroyWindow();
        m_app->m_pMainWnd = nullptr;
    }
    // Destroying the main window asked the thread to quit; later tests run message loops.
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        if (msg.message != WM_QUIT)
            ::DispatchMessageA(&msg);
    m_app->ExitInstance();
    delete m_app;
    m_app = nullptr;
}

void AppFixture::TearDown()
{
    Stop();
    TestFolder(m_iniFolder.substr(m_iniFolder.rfind('\\') + 1).c_str());
    ::RemoveDirectoryA(m_iniFolder.c_str());
    if (m_registryTurn != nullptr) {
        ::ReleaseMutex(m_registryTurn);
        ::CloseHandle(m_registryTurn);
        m_registryTurn = nullptr;
    }
    __argc = m_savedArgc;
    __argv = m_savedArgv;
}

std::vector<int> LogPositions(const std::vector<std::string>& ops)
{
    std::vector<int> positions;
    for (const std::string& op : ops)
        positions.push_back(qkfxGetCallLog().Find(op));
    return positions;
}
