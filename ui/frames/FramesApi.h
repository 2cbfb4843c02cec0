// Export of the frames' classes from qxuser.
#pragma once

#ifdef QXUSER_BUILD
#define QXFRAMES_API __declspec(dllexport)
#else
#define QXFRAMES_API __declspec(dllimport)
#endif

#include <windows.h>

// The module that holds the frames' resources (toolbars, menus, strings).
QXFRAMES_API HINSTANCE QUFramesResourceModule();
