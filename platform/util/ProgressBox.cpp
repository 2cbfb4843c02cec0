// The progress box: a small window that long work updates and polls for a Cancel.
//
// The work runs on the user-interface thread and does not return to the message loop,
// so the box gets its messages only when the work polls; polling then handles the
// messages of the box and its button alone. Other windows' messages stay queued, so a
// caller that polls from inside its own painting is never re-entered.
#include "qxutil.h"
#include "Module.h"

#include <cstdio>
#include <initializer_list>

namespace {

const char kClassName[] = "QxUtilProgressBox";
const int kTitleId = 100;
const int kPercentId = 101;

// One box per thread: the poll passes no window, and work on another thread has its own.
struct ProgressState {
    HWND box = nullptr;
    HWND button = nullptr;
    int percent = 0;
    bool cancelled = false;
    // A box opened with 4096 (drawing) shows itself only once the work has gone on this
    // long: most paints end sooner, and a box flashing up for each would hide the window.
    DWORD showAt = 0;
    bool hidden = false;
};

const DWORD kDrawingShowDelayMs = 500;

thread_local ProgressState t_progress;

// Layout of the client area, in pixels.
const int kWidth = 320, kHeight = 118;
const RECT kBarRect = {12, 34, 308, 52};

void PaintBar(HDC dc, int percent)
{
    RECT frame = kBarRect;
    FrameRect(dc, &frame, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    RECT inside = {frame.left + 1, frame.top + 1, frame.right - 1, frame.bottom - 1};
    RECT done = inside;
    done.right = inside.left + (inside.right - inside.left) * percent / 100;
    HBRUSH fill = CreateSolidBrush(RGB(0, 0, 128));
    FillRect(dc, &done, fill);
    DeleteObject(fill);
    RECT rest = inside;
    rest.left = done.right;
    FillRect(dc, &rest, GetSysColorBrush(COLOR_WINDOW));
}

LRESULT CALLBACK BoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto *state = reinterpret_cast<ProgressState *>(GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL && state) {
            state->cancelled = true;
            return 0;
        }
        break;
    case WM_CLOSE:
        // The work closes the box when it has stopped; the user's close asks it to stop.
        if (state)
            state->cancelled = true;
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        PaintBar(dc, state ? state->percent : 0);
        EndPaint(window, &ps);
        return 0;
    }
    case WM_PRINTCLIENT:
        PaintBar(reinterpret_cast<HDC>(wParam), state ? state->percent : 0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool RegisterBoxClass()
{
    WNDCLASSA existing;
    if (GetClassInfoA(qxutil::g_module, kClassName, &existing))
        return true;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = BoxProc;
    wc.hInstance = qxutil::g_module;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    return RegisterClassA(&wc) != 0;
}

void ShowPercent(ProgressState &state)
{
    if (!state.box)
        return;
    char text[8];
    std::snprintf(text, sizeof text, "%d%%", state.percent);
    SetDlgItemTextA(state.box, kPercentId, text);
    RECT bar = kBarRect;
    InvalidateRect(state.box, &bar, FALSE);
}

void Open(ProgressState &state, HWND owner, const char *title, bool delayed)
{
    state.percent = 0;
    state.cancelled = false;
    state.hidden = delayed && !(state.box && IsWindow(state.box) && IsWindowVisible(state.box));
    state.showAt = GetTickCount() + kDrawingShowDelayMs;
    const char *text = title ? title : "";
    if (state.box && IsWindow(state.box)) {
        SetWindowTextA(state.box, text);
        SetDlgItemTextA(state.box, kTitleId, text);
        ShowPercent(state);
        return;
    }
    state.box = state.button = nullptr;
    if (!RegisterBoxClass())
        return;
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    RECT frame = {0, 0, kWidth, kHeight};
    AdjustWindowRectEx(&frame, style, FALSE, WS_EX_DLGMODALFRAME);
    int w = frame.right - frame.left, h = frame.bottom - frame.top;
    RECT area;
    if (!(owner && IsWindow(owner) && GetWindowRect(owner, &area)))
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    int x = area.left + (area.right - area.left - w) / 2;
    int y = area.top + (area.bottom - area.top - h) / 2;
    HWND box = CreateWindowExA(WS_EX_DLGMODALFRAME, kClassName, text, style, x, y, w, h,
                               owner && IsWindow(owner) ? owner : nullptr, nullptr,
                               qxutil::g_module, nullptr);
    if (!box)
        return;  // no window: the box still answers, as a counter with no Cancel
    SetWindowLongPtrA(box, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&state));
    HGDIOBJ font = GetStockObject(DEFAULT_GUI_FONT);
    HWND label = CreateWindowExA(0, "STATIC", text, WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX,
                                 12, 10, 296, 18, box, reinterpret_cast<HMENU>(kTitleId),
                                 qxutil::g_module, nullptr);
    HWND percent = CreateWindowExA(0, "STATIC", "0%", WS_CHILD | WS_VISIBLE | SS_CENTER, 12, 58,
                                   296, 18, box, reinterpret_cast<HMENU>(kPercentId),
                                   qxutil::g_module, nullptr);
    HWND button = CreateWindowExA(0, "BUTTON", "Cancel",
                                  WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 120, 82,
                                  80, 26, box, reinterpret_cast<HMENU>(IDCANCEL), qxutil::g_module,
                                  nullptr);
    for (HWND child : {label, percent, button})
        if (child)
            SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    state.box = box;
    state.button = button;
    // Shown without activation: the work's own window keeps the focus it had.
    if (!state.hidden) {
        ShowWindow(box, SW_SHOWNA);
        UpdateWindow(box);
    }
}

// A delayed box shows itself at the first set or poll after its time.
void ShowWhenDue(ProgressState &state)
{
    if (!state.hidden || !state.box || (LONG)(GetTickCount() - state.showAt) < 0)
        return;
    state.hidden = false;
    ShowWindow(state.box, SW_SHOWNA);
    UpdateWindow(state.box);
}

void Pump(ProgressState &state)
{
    if (!state.box || !IsWindow(state.box))
        return;
    MSG msg;
    for (HWND window : {state.box, state.button}) {
        while (window && PeekMessageA(&msg, window, 0, 0, PM_REMOVE)) {
            if (!IsDialogMessageA(state.box, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
    }
}

} // namespace

void qxutil::UnregisterProgressBoxClass()
{
    // Fails harmlessly while a box still exists; the class then dies with the process.
    UnregisterClassA(kClassName, g_module);
}

extern "C" int UtilProgressBox(HWND window, int command, int value, const char *title)
{
    ProgressState &state = t_progress;
    switch (command) {
    case UTIL_PROGRESS_OPEN:
    case UTIL_PROGRESS_OPEN_ALT:
        Open(state, window, title, command == UTIL_PROGRESS_OPEN_ALT);
        return 0;
    case UTIL_PROGRESS_SET:
        state.percent = value < 0 ? 0 : value > 100 ? 100 : value;
        ShowPercent(state);
        ShowWhenDue(state);
        Pump(state);
        return 0;
    case UTIL_PROGRESS_POLL:
        ShowWhenDue(state);
        Pump(state);
        return state.cancelled ? 1 : 0;
    case UTIL_PROGRESS_CLOSE:
        if (state.box && IsWindow(state.box))
            DestroyWindow(state.box);
        state = ProgressState();
        return 0;
    }
    return -1;
}
