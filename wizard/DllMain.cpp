// The dialog project wizard: a framework extension library that registers its wizard
// object with the project-wizard host when it is loaded.
#include "DialogWizard.h"

static AFX_EXTENSION_MODULE dialogWizardModule = {};

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID)
{
    if (dwReason == DLL_PROCESS_ATTACH) {
        if (!AfxInitExtensionModule(dialogWizardModule, hInstance))
            return FALSE;
        new CDynLinkLibrary(dialogWizardModule);
        SetCustomAppWizClass(&DialogWizard);
    } else if (dwReason == DLL_PROCESS_DETACH) {
        AfxTermExtensionModule(dialogWizardModule);
    }
    return TRUE;
}
