// State shared between the framework's own source files; not part of the interface.
#pragma once
#include <windows.h>

class CWinApp;

namespace afximpl {

extern CWinApp* g_pApp;
void InitFrameworkModule(HINSTANCE hInst);
HINSTANCE FrameworkInstance();
void SetInstanceHandle(HINSTANCE hInst);
// Ends OLE when AfxOleInit started it.
void TermOle();

}
