// The toolkit's mouse drags: the pointer followed with the capture on a window.
#pragma once

#include <windows.h>

// Follows the pointer with the capture on hwnd until the left button goes up (TRUE, the
// place in *ptUp) or the drag is given up: Escape, the right button, the capture lost
// (FALSE). Each move goes to onMove with the pointer's screen place; other messages are
// dispatched as usual.
template <class OnMove>
BOOL SECTrackMouse(HWND hwnd, POINT* ptUp, OnMove onMove)
{
    ::SetCapture(hwnd);
    BOOL bUp = FALSE;
    MSG msg;
    while (::GetCapture() == hwnd) {
        if (!::GetMessageA(&msg, nullptr, 0, 0)) {
            ::PostQuitMessage((int)msg.wParam);
            break;
        }
        switch (msg.message) {
        case WM_MOUSEMOVE:
            onMove(msg.pt);
            break;
        case WM_LBUTTONUP:
            *ptUp = msg.pt;
            bUp = TRUE;
            ::ReleaseCapture();
            break;
        case WM_KEYDOWN:
            if (msg.wParam == VK_ESCAPE)
                ::ReleaseCapture();
            break;
        case WM_RBUTTONDOWN:
            ::ReleaseCapture();
            break;
        default:
            ::DispatchMessageA(&msg);
            break;
        }
    }
    return bUp;
}
