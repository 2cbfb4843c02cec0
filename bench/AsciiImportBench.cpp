// The kernel's ASCII import of a CSV file into a new worksheet, timed around the import
// call (its columns made included), the file read once before so the cache is warm;
// prints the median of three runs in seconds. bench_asciiimport.sh sets pandas.read_csv
// beside it.  bench_asciiimport.exe FILE ROWS
#include "QKAsciiImport.h"
#include "QKData.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: bench_asciiimport FILE ROWS\n");
        return 2;
    }
    const std::string path = argv[1];
    const int rows = std::atoi(argv[2]);
    QKAsciiImportOptions options;
    options.delimiter = ',';
    std::vector<double> times;
    for (int run = 0; run < 4; ++run) {
        CQKProject& project = qkfxGetProject();
        project.New();
        auto* wks = static_cast<CQKWksPage*>(project.CreatePage(QK_PAGE_WKS));
        while (wks->GetNumCols() > 0)
            wks->DeleteColumn(wks->GetNumCols());
        QKAsciiImportResult result;
        auto t0 = std::chrono::steady_clock::now();
        bool ok = qkfxImportAscii(wks, path, options, &result);
        double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        if (!ok || result.rows != rows || wks->GetNumCols() != 3) {
            std::fprintf(stderr, "import failed: %s (%d rows, %d columns)\n", result.error.c_str(), result.rows,
                         wks->GetNumCols());
            return 1;
        }
        if (run > 0) // the first run warms the cache
            times.push_back(s);
    }
    std::sort(times.begin(), times.end());
    std::printf("KERNEL %.6f\n", times[1]);
    return 0;
}
