// A program built on the framework's WinMain: the start-up sequence runs InitInstance,
// the message loop and ExitInstance, and the exit code reports what went wrong, if anything.
#include <afxwin.h>
#include <string>

namespace {

class CMainWindow : public CWnd
{
};

class CTestApp : public CWinApp
{
public:
    std::string m_sequence;
    CMainWindow m_wnd;

    BOOL InitInstance() override
    {
        m_sequence += "init;";
        if (AfxGetApp() != this || m_hInstance != ::GetModuleHandleA(nullptr))
            return FALSE;
        if (!m_wnd.CreateEx(0, nullptr, "main", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr))
            return FALSE;
        m_pMainWnd = &m_wnd;
        return TRUE;
    }
    BOOL OnIdle(LONG lCount) override
    {
        if (lCount == 0) {
            m_sequence += "idle;";
            m_wnd.PostMessage(WM_CLOSE);   // closing the main window ends the loop
        }
        return CWinApp::OnIdle(lCount);
    }
    int ExitInstance() override
    {
        m_sequence += "exit;";
        // 0 only when everything happened in order.
        return m_sequence.rfind("init;idle;", 0) == 0 && m_pMainWnd == nullptr ? 0 : 1;
    }
};

CTestApp theApp;

}
