// Entry of the main program. The application object and its windows are not built yet:
// the program says so and ends, so that a user running it learns why nothing opens.
#include <windows.h>
#include <cstdio>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    std::fputs("quorix61: the main window is not available in this build yet.\n", stderr);
    return 0;
}
