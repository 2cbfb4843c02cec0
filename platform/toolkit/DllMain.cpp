// The toolkit of docking bars, toolbars and menus over the framework. It joins the
// framework's resource chain when it is loaded, so its pages and dialogs are found by id.
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
