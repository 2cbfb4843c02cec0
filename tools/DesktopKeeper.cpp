// Keeps the Wine desktop alive while tests run. Wine's desktop process ends about a
// second after the last process with a window has gone; every test program would then
// start a new one, which inherits the test's output pipes, so CTest would wait for it.
// This program owns one hidden window and waits for messages until the Wine server ends.
// Once the window exists (and with it the desktop), it creates the file named on its
// command line, so the runner knows that programs started now find the desktop up.
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = instance;
    wc.lpszClassName = "QxDesktopKeeper";
    RegisterClassA(&wc);
    if (!CreateWindowA(wc.lpszClassName, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, instance, nullptr))
        return 1;
    if (*commandLine) {
        HANDLE ready = CreateFileA(commandLine, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (ready != INVALID_HANDLE_VALUE)
            CloseHandle(ready);
    }
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    return 0;
}
