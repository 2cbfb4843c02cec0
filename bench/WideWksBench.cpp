// Wide worksheets: the cost per added column of a worksheet of 10,000 columns, against
// that of a worksheet of 100. Adding a column names it (the lowest free letter name) and
// checks the name is unique; neither may depend on the width, so the ratio stays near 1
// (at most 2).
#include "BenchHarness.h"

#include "QKAccess.h"
#include "QKData.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

// Best time per added column over several fresh worksheets built from empty to `width`
// columns: the cost per column averaged over the whole worksheet, so that the growth
// steps of the containers count at their share.
double PerColumn(CQKProject &project, int width)
{
    int worksheets = width < 1000 ? 200 : 2;
    double best = 1e300;
    for (int rep = 0; rep < 7; ++rep) {
        std::vector<CQKWksPage *> pages;
        for (int w = 0; w < worksheets; ++w)
            pages.push_back(static_cast<CQKWksPage *>(project.CreatePage(QK_PAGE_WKS)));
        auto t0 = std::chrono::steady_clock::now();
        for (CQKWksPage *wks : pages)
            while (wks->GetNumCols() < width)
                wks->AddColumn();
        double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        best = std::min(best, s / (static_cast<double>(worksheets) * (width - 2)));
        for (CQKWksPage *wks : pages)
            project.DeletePage(wks->GetName());
    }
    return best;
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
