// Wide worksheets: the cost of adding one column to a worksheet that already holds
// 10,000 columns, against the cost of adding one to a worksheet of 100. Adding a column
// names it (the lowest free letter name) and checks the name is unique; neither may
// depend on the width, so the ratio stays near 1 (at most 2).
#include "BenchHarness.h"

#include "QKAccess.h"
#include "QKData.h"

#include <chrono>
#include <cstdio>

namespace {

const int kAdded = 500; // columns timed per run, added to a worksheet `width` wide

// Best time per added column, over several fresh worksheets; filling each worksheet to
// its width is not timed.
double PerColumn(CQKProject &project, int width)
{
    double best = 1e300;
    for (int rep = 0; rep < 7; ++rep) {
        CQKWksPage *wks = static_cast<CQKWksPage *>(project.CreatePage(QK_PAGE_WKS));
        while (wks->GetNumCols() < width)
            wks->AddColumn();
        auto t0 = std::chrono::steady_clock::now();
        for (int i = 0; i < kAdded; ++i)
            wks->AddColumn();
        double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        if (s < best)
            best = s;
        project.DeletePage(wks->GetName());
    }
    return best / kAdded;
}

} // namespace

int main()
{
    if (!qkfxGetAccess()->Init(nullptr, "")) {
        std::fprintf(stderr, "the kernel did not start\n");
        return 1;
    }
    CQKProject &project = qkfxGetProject();
    double narrow = PerColumn(project, 100);
    double wide = PerColumn(project, 10000);
    bench::Report("add a column: at 10,000 columns / at 100", wide, narrow);
    qkfxGetAccess()->Uninit();
    return 0;
}
