// The console host: qxrun script.qgs [arguments]
// Runs the script with the kernel and its plug-ins and no main window. What `type` prints
// goes to standard output, errors to standard error; the exit code is 0 when the script
// ran to its end, 1 when it failed, 2 for a wrong command line. Ctrl+C asks running work
// (a fit, a file import) to stop.
#include <stdio.h>

#include "QKAccess.h"
#include "QKHost.h"
#include "QKScript.h"

namespace {

void Output(const char* text, int kind, void*)
{
    FILE* f = kind == 2 ? stderr : stdout;
    fputs(text, f);
    fputc('\n', f);
    fflush(f);
}

BOOL WINAPI OnCtrl(DWORD type)
{
    if (type == CTRL_C_EVENT || type == CTRL_BREAK_EVENT) {
        qkfxRequestAbort(true);
        return TRUE;
    }
    return FALSE;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: qxrun script.qgs [arguments]\n");
        return 2;
    }
    CQKScript& script = qkfxGetScript();
    script.SetOutput(Output, nullptr);
    SetConsoleCtrlHandler(OnCtrl, TRUE);
    if (!qkfxGetAccess()->Init(nullptr, "")) {
        fprintf(stderr, "qxrun: the kernel did not start\n");
        return 1;
    }
    std::vector<std::string> args(argv + 2, argv + argc);
    bool ok = script.RunFile(argv[1], args);
    qkfxGetAccess()->Uninit();
    return ok ? 0 : 1;
}
