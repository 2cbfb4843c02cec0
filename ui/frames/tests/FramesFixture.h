// A small application for the frames' tests: its profile in a fresh INI file, the frames'
// registry under a key of the test's own, and document windows of three kinds whose views
// tell their frames the kernel page and the window kind.
#pragma once

#include <afxwin.h>
#include <gtest/gtest.h>

#include <QKAccess.h>
#include <QKData.h>

#include <cstdint>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "FrameHost.h"
#include "FramesTestResources.h"
#include "MainFrame.h"

namespace framestest {

// A folder of its own for each test, emptied first.
inline std::string TestFolder()
{
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    char szTemp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, szTemp);
    std::string folder = std::string(szTemp) + "qxframes_" + info->test_suite_name() + "_" + info->name();
    std::string pattern = folder + "\\*";
    WIN32_FIND_DATAA fd;
    HANDLE h = ::FindFirstFileA(pattern.c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                ::DeleteFileA((folder + "\\" + fd.cFileName).c_str());
        } while (::FindNextFileA(h, &fd));
        ::FindClose(h);
    }
    ::CreateDirectoryA(folder.c_str(), nullptr);
    return folder + "\\";
}

// The registry key below "Software" that the frames of this test use.
inline std::string TestRegistryKey()
{
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::string("QuorixFramesTest\\") + info->test_suite_name() + "." + info->name();
}

// A bitmap file of the given bit count, width and height; palette entries follow the
// standard 16 colours for 4 bits.
inline void WriteBitmapFile(const std::string& path, int bits, int width, int height, bool bm = true, size_t cut = 0)
{
    int nColors = bits <= 8 ? (1 << bits) : 0;
    size_t rowBytes = ((size_t)width * bits + 31) / 32 * 4;
    std::vector<uint8_t> file(14 + 40 + nColors * 4 + rowBytes * height);
    auto put16 = [&](size_t at, uint16_t v) { file[at] = v & 0xFF; file[at + 1] = v >> 8; };
    auto put32 = [&](size_t at, uint32_t v) { for (int i = 0; i < 4; i++) file[at + i] = (v >> (8 * i)) & 0xFF; };
    file[0] = bm ? 'B' : 'X';
    file[1] = 'M';
    put32(2, (uint32_t)file.size());
    put32(10, 14 + 40 + nColors * 4);
    put32(14, 40);
    put32(18, width);
    put32(22, height);
    put16(26, 1);
    put16(28, (uint16_t)bits);
    static const uint8_t kPalette[16][3] = {{0, 0, 0}, {128, 0, 0}, {0, 128, 0}, {128, 128, 0}, {0, 0, 128},
                                            {128, 0, 128}, {0, 128, 128}, {192, 192, 192}, {128, 128, 128},
                                            {255, 0, 0}, {0, 255, 0}, {255, 255, 0}, {0, 0, 255}, {255, 0, 255},
                                            {0, 255, 255}, {255, 255, 255}};
    for (int i = 0; i < nColors && i < 16; i++) {
        file[54 + i * 4] = kPalette[i][2];
        file[54 + i * 4 + 1] = kPalette[i][1];
        file[54 + i * 4 + 2] = kPalette[i][0];
    }
    if (bits == 4) {
        // Left half black (index 0), right half white (15), every row.
        for (int y = 0; y < height; y++)
            for (int x = 0; x < width; x++) {
                uint8_t v = x < width / 2 ? 0 : 15;
                size_t at = 14 + 40 + 64 + y * rowBytes + x / 2;
                file[at] |= (x % 2 == 0) ? (v << 4) : v;
            }
    }
    file.resize(file.size() - cut);
    std::ofstream(path, std::ios::binary).write((const char*)file.data(), (std::streamsize)file.size());
}

class CTestDoc : public CDocument
{
    DECLARE_DYNCREATE(CTestDoc)
public:
    int m_nKind = 0;
    CQKPage* m_pPage = nullptr;
    // Asked when the window is to close; answering FALSE keeps it open.
    std::function<BOOL()> m_canClose;

    BOOL SaveModified() override { return m_canClose ? m_canClose() : TRUE; }
    void OnCloseDocument() override
    {
        if (m_pPage != nullptr)
            m_pPage->SetTheFrameWnd(nullptr);
        CDocument::OnCloseDocument();
    }
};

// A page that closes its window when the kernel deletes it, as the application's pages do.
template <class Base>
class CTestPage : public Base
{
public:
    using Base::Base;
    int OnDestroy() override
    {
        HWND hFrame = this->GetFrameWnd();
        this->SetTheFrameWnd(nullptr);
        CFrameWnd* pFrame = DYNAMIC_DOWNCAST(CFrameWnd, CWnd::FromHandlePermanent(hFrame));
        if (pFrame != nullptr) {
            if (CTestDoc* pDoc = DYNAMIC_DOWNCAST(CTestDoc, pFrame->GetActiveDocument()))
                pDoc->m_pPage = nullptr;
            pFrame->SendMessage(WM_CLOSE);
        }
        return 1;
    }
};

inline CQKPage* NewTestWksPage(CQKProject* project, const std::string& name)
{
    return new CTestPage<CQKWksPage>(project, name);
}
inline CQKPage* NewTestGraphPage(CQKProject* project, const std::string& name)
{
    return new CTestPage<CQKGraphPage>(project, name);
}
inline CQKPage* NewTestNotesPage(CQKProject* project, const std::string& name)
{
    return new CTestPage<CQKNotesPage>(project, name);
}

class CWksDoc : public CTestDoc
{
    DECLARE_DYNCREATE(CWksDoc)
public:
    CWksDoc() { m_nKind = 0; }
};

class CGraphDoc : public CTestDoc
{
    DECLARE_DYNCREATE(CGraphDoc)
public:
    CGraphDoc() { m_nKind = 1; }
};

class CNotesDoc : public CTestDoc
{
    DECLARE_DYNCREATE(CNotesDoc)
public:
    CNotesDoc() { m_nKind = 5; }
};

class CTestView : public CView, public IQUPageView
{
    DECLARE_DYNCREATE(CTestView)
public:
    void OnDraw(CDC*) override {}
    CQKPage* GetPage() override { return ((CTestDoc*)GetDocument())->m_pPage; }
    int GetWndTemplateId() override { return ((CTestDoc*)GetDocument())->m_nKind; }
};

class CFramesTestApp : public CWinApp
{
public:
    CFramesTestApp() : CWinApp("Frames Test") {}
};

class FramesFixture : public ::testing::Test
{
protected:
    CFramesTestApp* m_pApp = nullptr;
    CQUProfileFrameHost* m_pHost = nullptr;
    std::string m_strFolder;
    std::string m_strProfile;
    std::string m_strKey;
    CMultiDocTemplate* m_pWksTemplate = nullptr;
    CMultiDocTemplate* m_pGraphTemplate = nullptr;
    CMultiDocTemplate* m_pNotesTemplate = nullptr;

    void SetUp() override
    {
        m_strFolder = TestFolder();
        m_strKey = TestRegistryKey();
        ::RegDeleteTreeA(HKEY_CURRENT_USER, ("Software\\" + m_strKey).c_str());
        qkfxSetGlobalINIPath(m_strFolder.c_str());
        // The program's own files (the default toolbar arrangement, "Quorix.ini") are
        // looked for in the test's folder too.
        qkfxSetGlobalPROGPath(m_strFolder.c_str());
        qkfxGetProject().New();
        qkfxGetProject().SetPageFactory(QK_PAGE_WKS, NewTestWksPage);
        qkfxGetProject().SetPageFactory(QK_PAGE_GRAPH, NewTestGraphPage);
        qkfxGetProject().SetPageFactory(QK_PAGE_NOTES, NewTestNotesPage);
        SECToolBarManagerEx::ResetIdCounters();
        m_pApp = new CFramesTestApp;
        AfxWinInit(::GetModuleHandleA(nullptr), nullptr, (LPTSTR) "", SW_HIDE);
        m_strProfile = m_strFolder + "quorix61.ini";
        m_pApp->m_pszProfileName = m_strProfile.c_str();
        m_pHost = new CQUProfileFrameHost(m_strKey.c_str());
        QUSetFrameHost(m_pHost);
        m_pWksTemplate = new CMultiDocTemplate(IDR_TEST_WKS, RUNTIME_CLASS(CWksDoc), RUNTIME_CLASS(CChildFrame),
                                               RUNTIME_CLASS(CTestView));
        m_pApp->AddDocTemplate(m_pWksTemplate);
        m_pGraphTemplate = new CMultiDocTemplate(IDR_TEST_GRAPH, RUNTIME_CLASS(CGraphDoc),
                                                 RUNTIME_CLASS(CChildFrame), RUNTIME_CLASS(CTestView));
        m_pApp->AddDocTemplate(m_pGraphTemplate);
        m_pNotesTemplate = new CMultiDocTemplate(IDR_TEST_NOTES, RUNTIME_CLASS(CNotesDoc),
                                                 RUNTIME_CLASS(CChildFrame), RUNTIME_CLASS(CTestView));
        m_pApp->AddDocTemplate(m_pNotesTemplate);
    }

    void TearDown() override
    {
        CloseMainFrame();
        QUSetFrameHost(nullptr);
        delete m_pHost;
        delete m_pApp;
        qkfxSetGlobalINIPath("");
        qkfxSetGlobalPROGPath("");
        qkfxGetProject().New();
        for (QKPageType type : {QK_PAGE_WKS, QK_PAGE_GRAPH, QK_PAGE_NOTES})
            qkfxGetProject().SetPageFactory(type, nullptr);
        ::RegDeleteTreeA(HKEY_CURRENT_USER, ("Software\\" + m_strKey).c_str());
    }

    // The main frame, created hidden as the application core makes it.
    CMainFrame* CreateMainFrame()
    {
        CMainFrame* pFrame = new CMainFrame;
        if (!pFrame->LoadFrame(IDR_TEST_MAINFRAME, WS_OVERLAPPEDWINDOW)) {
            ADD_FAILURE() << "the main frame was not created";
            return nullptr;
        }
        m_pApp->m_pMainWnd = pFrame;
        pFrame->SetWindowPos(nullptr, 0, 0, 900, 700, SWP_NOZORDER | SWP_NOACTIVATE);
        pFrame->RecalcLayout();
        return pFrame;
    }

    // Closes it as the user would: the arrangement is saved on the way. The project is taken
    // as saved, so that closing asks nothing.
    void CloseMainFrame()
    {
        if (m_pApp != nullptr && m_pApp->m_pMainWnd != nullptr) {
            qkfxGetProject().SetProjectModified(false);
            POSITION pos = m_pApp->GetFirstDocTemplatePosition();
            while (pos != nullptr) {
                CDocTemplate* pTemplate = m_pApp->GetNextDocTemplate(pos);
                POSITION posDoc = pTemplate->GetFirstDocPosition();
                while (posDoc != nullptr)
                    pTemplate->GetNextDoc(posDoc)->SetModifiedFlag(FALSE);
            }
            m_pApp->m_pMainWnd->SendMessage(WM_CLOSE);
            m_pApp->m_pMainWnd = nullptr;
            // The main window's end asks the program to quit; the test goes on instead.
            MSG msg;
            while (::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
                ;
        }
    }

    // A document window of a kind, with a kernel page of the kind.
    CChildFrame* NewWindow(CMultiDocTemplate* pTemplate, QKPageType type)
    {
        CTestDoc* pDoc = (CTestDoc*)pTemplate->OpenDocumentFile(nullptr);
        if (pDoc == nullptr)
            return nullptr;
        pDoc->m_pPage = qkfxGetProject().CreatePage(type);
        POSITION pos = pDoc->GetFirstViewPosition();
        CChildFrame* pFrame = (CChildFrame*)pDoc->GetNextView(pos)->GetParentFrame();
        if (pDoc->m_pPage != nullptr)
            pDoc->m_pPage->SetTheFrameWnd(pFrame->m_hWnd);
        return pFrame;
    }
};

} // namespace framestest
