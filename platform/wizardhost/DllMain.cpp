// The project-wizard host joins the framework's resource chain, so its frame and
// confirmation dialogs are found beside the wizard library's steps.
#include "WizardHost.h"

static AFX_EXTENSION_MODULE wizardHostModule = {};

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID)
{
    if (dwReason == DLL_PROCESS_ATTACH) {
        if (!AfxInitExtensionModule(wizardHostModule, hInstance))
            return FALSE;
        new CDynLinkLibrary(wizardHostModule);
    } else if (dwReason == DLL_PROCESS_DETACH) {
        AfxTermExtensionModule(wizardHostModule);
    }
    return TRUE;
}
