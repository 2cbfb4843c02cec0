// Text import: a CSV file of numbers read a line at a time with fum.LineRow into a
// worksheet, as import scripts do. Three figures per line:
//   READER  the reader's own cost: the plug-in entered directly, its host requests
//           answered by a host that only stores the numbers in arrays (and keeps the
//           worksheet change stamp, so that the reader trusts what it found);
//   ENGINE  the same host, the whole file read by one READARRAY call (no call per line);
//   KERNEL  the same with the kernel answering the requests into its worksheet;
//   SCRIPT  the whole script through the interpreter, with its loop.
// bench_fumread.sh writes the file, times pandas.read_csv on it natively, and prints the
// ratios.  bench_fumread.exe FILE ROWS
#include "QKAccess.h"
#include "QKData.h"
#include "QKHost.h"
#include "QKScript.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

HostCallback g_kernelHost = nullptr;

// A script object of our own, entered once, so that we learn the callback through which
// the kernel answers the framework plug-ins' host requests.
int WINAPI Probe(HWND, LPCSTR, LPCSTR, void*, HostCallback host, int)
{
    g_kernelHost = host;
    return 1;
}

// The least a host can do for LineRow: one worksheet of three columns held in arrays.
struct ArrayHost {
    std::vector<double> columns[3];
    INT_PTR stamp = 1; // the change stamp: moves whenever a column's rows change in number
};
ArrayHost g_arrays;

INT_PTR WINAPI ArrayHostCallback(HWND, UINT code, INT_PTR a, INT_PTR b)
{
    auto column = [](INT_PTR handle) { return handle >= 1 && handle <= 3 ? &g_arrays.columns[handle - 1] : nullptr; };
    switch (code) {
    case HOST_FIND_OBJECT:
        *reinterpret_cast<INT_PTR*>(b) = 100;
        return 0;
    case HOST_FIND_WINDOW:
        return 100;
    case HOST_WKS_NUM_COLUMNS:
        return 3;
    case HOST_WKS_CHANGE_STAMP:
        return g_arrays.stamp;
    case HOST_FIND_DATASET: { // the one dataset READARRAY fills: column 1
        auto* range = reinterpret_cast<QmRangeRecord*>(b);
        range->hostFirst = 0;
        range->hostEnd = static_cast<int>(g_arrays.columns[0].size());
        return 1;
    }
    case HOST_OPEN_DATASET: {
        auto* range = reinterpret_cast<QmRangeRecord*>(b);
        std::vector<double>* c = column(range->request);
        if (!c)
            return 0;
        range->hostFirst = 0;
        range->hostEnd = static_cast<int>(c->size());
        return range->request;
    }
    case HOST_GET_RANGE: {
        auto* range = reinterpret_cast<QmRangeRecord*>(b);
        if (std::vector<double>* c = column(a)) {
            range->request = 0;
            range->requestEnd = static_cast<int>(c->size());
        }
        return 0;
    }
    case HOST_SET_VALUE:
    case HOST_SET_VALUE_K2:
    case HOST_SET_VALUE_K4: {
        auto* rec = reinterpret_cast<QmValueRecord*>(b);
        std::vector<double>* c = column(a);
        if (!c || rec->row < 0)
            return 1;
        if (static_cast<size_t>(rec->row) >= c->size()) {
            c->resize(rec->row + 1, MISSING_VALUE);
            ++g_arrays.stamp;
        }
        (*c)[rec->row] = rec->value;
        return 0;
    }
    case HOST_SET_PAIR: {
        auto* rec = reinterpret_cast<QmPairRecord*>(b);
        std::vector<double>* c = column(a);
        if (!c || rec->row < 0)
            return 1;
        if (static_cast<size_t>(rec->row) >= c->size()) {
            c->resize(rec->row + 1, MISSING_VALUE);
            ++g_arrays.stamp;
        }
        (*c)[rec->row] = rec->pair[1];
        return 0;
    }
    case HOST_SET_SIZE_FORMAT: {
        auto* rec = reinterpret_cast<QmSizeFormatRecord*>(b);
        std::vector<double>* c = column(a);
        if (!c || rec->end < 0)
            return 1;
        if (static_cast<size_t>(rec->end) != c->size()) {
            c->resize(rec->end, MISSING_VALUE);
            ++g_arrays.stamp;
        }
        return 0;
    }
    case HOST_EVAL_NUMBER: // a number argument
        *reinterpret_cast<double*>(b) = std::strtod(reinterpret_cast<const char*>(a), nullptr);
        return 0;
    case HOST_WKS_GET_COLUMN_ATTR:
        reinterpret_cast<int*>(b)[0] = 0; // numbers
        return 0;
    case HOST_IS_DATASET_NAME:
    case HOST_POLL_ABORT:
    case HOST_REQ_300C: // the host brought up to date after the call
        return 0;
    }
    std::fprintf(stderr, "the array host was asked request 0x%X\n", code);
    std::exit(1);
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

    HWND host = qkfxGetHostWindow();
    // The machine may be busy: each figure is the best time per line over blocks of
    // lines, as the benchmark harness takes the best of repeated runs.
    const int block = 10000;
    auto best = [&](auto&& readBlock) {
        double fastest = 1e300;
        for (int done = 0; done < rows; done += block) {
            int n = std::min(block, rows - done);
            auto t0 = std::chrono::steady_clock::now();
            readBlock(n);
            fastest = std::min(fastest, Seconds(t0) / n);
        }
        return fastest;
    };
    auto readLines = [&](HostCallback callback) {
        return best([&](int n) {
            for (int i = 0; i < n; ++i) {
                double v = 0;
                if (qmdll(host, "LINEROW", "Reader", &v, callback, OBJOP_CALL_METHOD) != 1) {
                    std::fprintf(stderr, "LineRow failed\n");
                    std::exit(1);
                }
            }
        });
    };
    // The arrays have their room from the start, as a host's storage would. The reader's
    // own figure is the goal: its best block over three passes through the file, so that
    // a busy moment of the machine in one pass does not decide it.
    double reader = 1e300;
    for (int pass = 0; pass < 3; ++pass) {
        for (std::vector<double>& c : g_arrays.columns) {
            c.clear();
            c.reserve(rows);
        }
        ++g_arrays.stamp;
        RunScript("fum.reset(); fum.open(" + file + ")");
        reader = std::min(reader, readLines(ArrayHostCallback));
        for (const std::vector<double>& c : g_arrays.columns)
            if (static_cast<int>(c.size()) != rows) {
                std::fprintf(stderr, "the array host did not receive %d rows\n", rows);
                return 1;
            }
    }
    // The engine alone: every number of the file in one READARRAY call, the best of five.
    double engine = 1e300;
    for (int rep = 0; rep < 5; ++rep) {
        for (std::vector<double>& c : g_arrays.columns)
            c.clear();
        ++g_arrays.stamp;
        g_arrays.columns[0].reserve(3 * static_cast<size_t>(rows));
        RunScript("fum.closeall(); fum.open(" + file + ")");
        double v = 0;
        std::string argument = "Whole,1," + std::to_string(3 * rows);
        auto t0 = std::chrono::steady_clock::now();
        if (qmdll(host, "READARRAY", argument.c_str(), &v, ArrayHostCallback, OBJOP_CALL_METHOD) != 1 ||
            g_arrays.columns[0].size() != 3 * static_cast<size_t>(rows)) {
            std::fprintf(stderr, "ReadArray did not read the whole file\n");
            return 1;
        }
        engine = std::min(engine, Seconds(t0) / rows);
    }

    RunScript("fum.closeall(); fum.open(" + file + ")");
    double kernel = readLines(g_kernelHost);
    CheckRows("Reader", rows);

    RunScript("fum.closeall(); fum.open(" + file + ")");
    double script = best([&](int n) {
        RunScript("for (i = 1; i <= " + std::to_string(n) + "; i += 1) { fum.linerow(Script); }");
    });
    CheckRows("Script", rows);
    RunScript("fum.closeall()");

    std::printf("READER %.9e\nENGINE %.9e\nKERNEL %.9e\nSCRIPT %.9e\n", reader, engine, kernel, script);
    qkfxGetAccess()->Uninit();
    return 0;
}
