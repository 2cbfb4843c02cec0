// The one export of a framework plug-in. The host calls it for every property access,
// method call, existence test and listing of the plug-in's script object.
#include "QmObjects.h"

extern "C" __declspec(dllexport) int WINAPI QMDLL(HWND context, LPCSTR methodName, LPCSTR name,
                                                  void* result, HostCallback callback, int code)
{
    return QmRootObject().Dispatch(context, methodName, name, result, callback, code);
}
