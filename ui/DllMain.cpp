// The user-interface layer. It joins the framework's resource chain when it is loaded, so
// that its dialogs, menus, toolbars and strings are found by id from any deliverable.
#include <afxwin.h>

namespace {

AFX_EXTENSION_MODULE g_extension = {};

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        if (!AfxInitExtensionModule(g_extension, instance))
            return FALSE;
        new CDynLinkLibrary(g_extension);
    } else if (reason == DLL_PROCESS_DETACH) {
        AfxTermExtensionModule(g_extension, FALSE);
    }
    return TRUE;
}
