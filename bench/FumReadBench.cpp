// Text import: a CSV file of numbers read a line at a time with fum.LineRow into a
// worksheet, as import scripts do. Two figures per line: the reader's own cost (the
// plug-in entered directly, with the kernel answering its host requests as in a script)
// and the whole script (the same through the interpreter, with its loop). bench_fumread.sh
// writes the file, times pandas.read_csv on it natively, and prints the ratios.
//   bench_fumread.exe FILE ROWS    prints "READER s/line" and "SCRIPT s/line"
#include "QKAccess.h"
#include "QKData.h"
#include "QKHost.h"
#include "QKScript.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

HostCallback g_kernelHost = nullptr;

// A script object of our own, entered once, so that we learn the callback through which
// the kernel answers the framework plug-ins' host requests.
int WINAPI Probe(HWND, LPCSTR, LPCSTR, void*, HostCallback host, int)
{
    g_kernelHost = host;
    return 1;
}

void RunScript(const std::string& text)
{
    if (!qkfxGetScript().Execute(text)) {
        std::fprintf(stderr, "script failed: %s\n", qkfxGetScript().GetLastError().c_str());
        std::exit(1);
    }
}

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Each read must have filled the worksheet with every row: a reader that stopped early
// would look fast.
void CheckRows(const char* page, int rows)
{
    CQKWksPage* wks = static_cast<CQKWksPage*>(qkfxGetProject().FindPage(page));
    if (!wks || wks->GetNumCols() < 3 || wks->GetColumn(3)->GetEnd() != rows) {
        std::fprintf(stderr, "%s: the worksheet did not receive %d rows\n", page, rows);
        std::exit(1);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_fumread FILE ROWS\n");
        return 2;
    }
    std::string file = argv[1];
    int rows = std::atoi(argv[2]);
    if (!qkfxGetAccess()->Init(nullptr, "")) {
        std::fprintf(stderr, "the kernel did not start\n");
        return 1;
    }
    qkfxRegisterScriptObjectEntry("hostprobe", Probe);
    RunScript("hostprobe.probe()");
    HMODULE fileio = GetModuleHandleA("qxfileio.dll");
    if (!fileio)
        RunScript("fum.reset()");
    fileio = GetModuleHandleA("qxfileio.dll");
    auto qmdll = fileio ? reinterpret_cast<QMDLLProc>(GetProcAddress(fileio, "QMDLL")) : nullptr;
    if (!qmdll || !g_kernelHost) {
        std::fprintf(stderr, "qxfileio.dll or the kernel's host callback not found\n");
        return 1;
    }
    CQKProject& project = qkfxGetProject();
    project.CreatePage(QK_PAGE_WKS, "Reader");
    project.CreatePage(QK_PAGE_WKS, "Script");

    RunScript("fum.reset(); fum.open(" + file + ")");
    HWND host = qkfxGetHostWindow();
    auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < rows; ++i) {
        double v = 0;
        if (qmdll(host, "LINEROW", "Reader", &v, g_kernelHost, OBJOP_CALL_METHOD) != 1) {
            std::fprintf(stderr, "LineRow failed at line %d\n", i + 1);
            return 1;
        }
    }
    double reader = Seconds(t0);
    CheckRows("Reader", rows);

    RunScript("fum.closeall(); fum.open(" + file + ")");
    t0 = std::chrono::steady_clock::now();
    RunScript("for (i = 1; i <= " + std::to_string(rows) + "; i += 1) { fum.linerow(Script); }");
    double script = Seconds(t0);
    CheckRows("Script", rows);
    RunScript("fum.closeall()");

    std::printf("READER %.9e\nSCRIPT %.9e\n", reader / rows, script / rows);
    qkfxGetAccess()->Uninit();
    return 0;
}
