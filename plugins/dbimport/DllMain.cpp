// The database import plug-in: the script object QODBC, reached by the kernel through
// QMDLL. The library joins the framework's resource chain, so that its dialogs and
// strings are found through the shared framework.
#include <afxwin.h>

#include "QodbcObject.h"

namespace {

AFX_EXTENSION_MODULE g_extension = {};
QmODBC g_root;

} // namespace

QmDLL& QmRootObject()
{
    return g_root;
}

QmODBC& QodbcRoot()
{
    return g_root;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        if (!AfxInitExtensionModule(g_extension, instance))
            return FALSE;
        new CDynLinkLibrary(g_extension);
    } else if (reason == DLL_PROCESS_DETACH) {
        AfxTermExtensionModule(g_extension);
    }
    return TRUE;
}
