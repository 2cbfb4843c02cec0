// A graph page alone on the whole screen: a popup window over everything that draws the
// page as large as it fits, and goes at the first key or mouse click or when another
// window is activated.
#include "KernelInternal.h"
#include "PageRender.h"

#include <algorithm>

#include "QKAccess.h"
#include "QKCallLog.h"
#include "QKData.h"

namespace {

const char kClassName[] = "QuorixFullScreenPage";

HINSTANCE ThisModule()
{
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       (LPCSTR)&ThisModule, &module);
    return module;
}

// The page on black; a page deleted meanwhile leaves the screen black.
void Paint(HWND hwnd, HDC dc)
{
    RECT client;
    GetClientRect(hwnd, &client);
    FillRect(dc, &client, (HBRUSH)GetStockObject(BLACK_BRUSH));
    auto handle = (INT_PTR)GetWindowLongPtrA(hwnd, GWLP_USERDATA);
    if (auto* page = dynamic_cast<CQKGraphPage*>(qkfxGetProject().GetPageFromHandle(handle))) {
        SIZE size;
        page->GetPageSize(size);
        qkDrawGraphPage(*page, dc, qkFitPageInto(size, client), true);
    }
}

LRESULT CALLBACK FullScreenProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        Paint(hwnd, dc);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_PRINTCLIENT:
        Paint(hwnd, (HDC)wp);
        return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        DestroyWindow(hwnd);
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wp) == WA_INACTIVE)
            PostMessageA(hwnd, WM_CLOSE, 0, 0);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

} // namespace

RECT qkFitPageInto(SIZE page, const RECT& area)
{
    const double w = area.right - area.left, h = area.bottom - area.top;
    if (page.cx <= 0 || page.cy <= 0 || w <= 0 || h <= 0)
        return area;
    const double scale = std::min(w / page.cx, h / page.cy);
    const int pw = (int)(page.cx * scale + 0.5), ph = (int)(page.cy * scale + 0.5);
    const int left = area.left + (int)((w - pw) / 2), top = area.top + (int)((h - ph) / 2);
    return {left, top, left + pw, top + ph};
}

HWND qkShowPageFullScreen(CQKGraphPage& page, std::string* error)
{
    HINSTANCE instance = ThisModule();
    WNDCLASSA wc = {};
    if (!GetClassInfoA(instance, kClassName, &wc)) {
        wc.lpfnWndProc = FullScreenProc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.lpszClassName = kClassName;
        if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
            *error = "the full-screen window cannot be made";
            return nullptr;
        }
    }
    HWND owner = qkfxGetAccess() ? qkfxGetAccess()->GetMainFrame() : nullptr;
    HWND hwnd = CreateWindowExA(WS_EX_TOPMOST, kClassName, page.GetName().c_str(), WS_POPUP, 0, 0,
                                GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                owner && IsWindow(owner) ? owner : nullptr, nullptr, instance, nullptr);
    if (!hwnd) {
        *error = "the full-screen window cannot be made";
        return nullptr;
    }
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, (LONG_PTR)page.GetHandle());
    ShowWindow(hwnd, SW_SHOW);
    SetForegroundWindow(hwnd);
    SetFocus(hwnd);
    qkfxGetCallLog().Add("page -full", page.GetName());
    return hwnd;
}
