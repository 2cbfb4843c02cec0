#include "FramesApi.h"

HINSTANCE QUFramesResourceModule()
{
    // The frames' resources live in the library that holds this code, whichever program
    // loads it; the framework's resource chain is not needed to find them.
    HMODULE hModule = nullptr;
    ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         (LPCSTR)&QUFramesResourceModule, &hModule);
    return hModule;
}
