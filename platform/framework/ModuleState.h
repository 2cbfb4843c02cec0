// State shared between the framework's own source files; not part of the interface.
#pragma once
#include <windows.h>

class CWinApp;
class CObject;
class CString;
class CStringArray;
struct CRuntimeClass;

namespace afximpl {

extern CWinApp* g_pApp;
void InitFrameworkModule(HINSTANCE hInst);
HINSTANCE FrameworkInstance();
void SetInstanceHandle(HINSTANCE hInst);
// Ends OLE when AfxOleInit started it.
void TermOle();
// A new object of pClass when that is a kind of pBase; null otherwise.
CObject* CreateObjectOfKind(CRuntimeClass* pClass, CRuntimeClass* pBase);
// The extensions of a document template's filter field ("*.a;.b"), each as ".a".
void SplitExtensions(const CString& strFilterExt, CStringArray& arr);
// Ends the OLE drop registration of a window being destroyed, if it has one.
void RevokeDropTargetOf(HWND hWnd);

}
