// The kernel as host of the plug-ins: the script objects they provide, the libraries that
// hold them, and the state their host requests reach (named memory blocks, the stop
// request, fit sessions). The requests themselves are answered from the data model
// (QKData.h) and the interpreter (QKScript.h).
#pragma once

#include "QKDefs.h"
#include "QmHost.h"

// How a script object's library is entered.
enum QKEntryKind {
    QK_ENTRY_QMDLL = 0,  // QMDLL, the framework plug-ins (Stat, fum, QODBC)
    QK_ENTRY_FITTER = 1, // NonLinearFit, the fitter (qfit)
    QK_ENTRY_COLORMAP = 2, // ScxCmdObj, the colour map of the 3D and contour library
};

// Binds a script object name to a library in the program folder, replacing an earlier
// binding of that name. The kernel starts with qfit (qxfitter.dll), Stat (qxstats.dll),
// fum and file (qxfileio.dll), QODBC (qxdbimport.dll) and colormap (qxsurface.dll).
QK_API bool qkfxRegisterScriptObject(const char* name, const char* library, int entryKind);
// Binds a script object name to the QMDLL-shaped entry of a library already loaded (the
// user interface's own objects), replacing an earlier binding of that name.
QK_API bool qkfxRegisterScriptObjectEntry(const char* name, QMDLLProc entry);

// The fitter's other exports, from the library bound to qfit. The result of the export,
// or -1 when the library or the export cannot be had.
QK_API int qkfxScxFit(int code, INT_PTR argument, void* value);
QK_API int qkfxFitModuleInit(UINT message);

// The host window the plug-ins are given.
QK_API HWND qkfxGetHostWindow();

// A stop request, answered to HOST_POLL_ABORT until it is cleared.
QK_API void qkfxRequestAbort(bool on);

// A named memory block as the plug-ins get it through HOST_MEMBLOCK_GET; null when no
// plug-in has asked for it. `size` receives its size in bytes.
QK_API void* qkfxGetMemoryBlock(const char* name, size_t* size);

// The fit session a plug-in attached to the host window, or null.
QK_API void* qkfxGetAttachedSession();

// The last progress and status texts the plug-ins sent (empty after a progress end).
QK_API std::string qkfxGetProgressText();
QK_API std::string qkfxGetStatusText();
