// The console host: qxrun [--dump file] script.qgs [arguments]
// Runs the script with the kernel and its plug-ins and no main window. What `type` prints
// goes to standard output, errors to standard error; the exit code is 0 when the script
// ran to its end, 1 when it failed, 2 for a wrong command line. Ctrl+C asks running work
// (a fit, a file import) to stop. --dump writes the project's state dump into the file when
// the script ends, so that two runs can be compared.
#include <stdio.h>
#include <string.h>

#include "QKAccess.h"
#include "QKData.h"
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
    const char* dump = nullptr;
    if (argc >= 3 && strcmp(argv[1], "--dump") == 0) {
        dump = argv[2];
        argc -= 2;
        argv += 2;
    }
    if (argc < 2) {
        fprintf(stderr, "usage: qxrun [--dump file] script.qgs [arguments]\n");
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
    if (dump) {
        FILE* f = fopen(dump, "wb");
        std::string text = qkfxDumpProject();
        if (!f || fwrite(text.data(), 1, text.size(), f) != text.size()) {
            fprintf(stderr, "qxrun: the state dump cannot be written to %s\n", dump);
            ok = false;
        }
        if (f)
            fclose(f);
    }
    qkfxGetAccess()->Uninit();
    return ok ? 0 : 1;
}
