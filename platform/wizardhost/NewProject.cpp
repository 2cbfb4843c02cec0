// The development environment's New Project for a custom project wizard: the wizard
// library, the project's name and its folder come from the command line; the wizard's
// steps are shown and the project it makes is written.
//   qxnewproject.exe WIZARD.dll NAME FOLDER
// Ends with 0 when the project was made, 1 when the user cancelled, 2 when the wizard
// could not be run (a message says why).
#include <afxwin.h>

#include <stdlib.h>

#include "WizardHost.h"

class CNewProjectApp : public CWinApp
{
public:
    CNewProjectApp() : CWinApp("New Project") {}

    BOOL InitInstance() override
    {
        if (__argc != 4) {
            AfxMessageBox("Usage: qxnewproject WIZARD.dll NAME FOLDER", MB_OK | MB_ICONSTOP);
            return FALSE;
        }
        CWizardHost host;
        CString error;
        if (!host.LoadWizard(__argv[1], error)) {
            AfxMessageBox("The wizard " + CString(__argv[1]) + " cannot be run: " + error, MB_OK | MB_ICONSTOP);
            return FALSE;
        }
        const INT_PTR answer = host.Run(__argv[2], __argv[3]);
        m_exitCode = answer == IDOK ? 0 : answer == IDCANCEL ? 1 : 2;
        return FALSE;
    }

    int ExitInstance() override
    {
        CWinApp::ExitInstance();
        return m_exitCode;
    }

private:
    int m_exitCode = 2;
};

CNewProjectApp theApp;
