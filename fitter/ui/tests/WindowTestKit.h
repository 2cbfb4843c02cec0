// Driving the fitter window from a test: posted commands take effect once the messages
// waiting for the thread are dispatched.
#pragma once

#include <windows.h>

#include "FitSession.h"
#include "FitterWindow.h"

inline void Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// Opens the fitter window at page, in the basic or the full mode, with its first page made.
inline HWND OpenAtPage(HWND host, FittingSession* s, int page, bool basic = false)
{
    s->basicFitter = basic ? KW_YES : KW_NO;
    s->pageId = static_cast<int16_t>(page);
    HWND window = OpenFitterWindow(host, s);
    Pump();
    return window;
}
