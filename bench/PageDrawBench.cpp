// Drawing a graph page: one line plot of 1,000,000 points drawn by the kernel into a
// memory DIB of W x H pixels, warm, the median of 5 runs. bench_pagedraw.sh runs the same
// plot through matplotlib's Agg canvas at the same size and dpi and prints the ratio.
//   bench_pagedraw.exe [W H DPI]   prints "pagedraw <seconds>"
// The data are the same formula in both programs.
#include "BenchHarness.h"

#include "QKAccess.h"
#include "QKData.h"
#include "QKGraphObjects.h"
#include "QKPlotModel.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv)
{
    const int width = argc > 3 ? atoi(argv[1]) : 800, height = argc > 3 ? atoi(argv[2]) : 600;
    const double dpi = argc > 3 ? atof(argv[3]) : 100;
    if (!qkfxGetAccess()->Init(nullptr, "")) {
        std::fprintf(stderr, "the kernel did not start\n");
        return 1;
    }
    CQKProject& project = qkfxGetProject();
    auto* wks = static_cast<CQKWksPage*>(project.CreatePage(QK_PAGE_WKS));
    CQKDataset* x = wks->AddColumn();
    CQKDataset* y = wks->AddColumn();
    const int n = 1000000;
    for (int i = 0; i < n; ++i) {
        const double t = 10.0 * i / (n - 1);
        x->SetValue(i, t);
        y->SetValue(i, 5 + 4 * std::sin(3 * t) + 0.5 * std::sin(1234.567 * t));
    }
    // The page is as large as the figure at that dpi, so that a point is the same size.
    auto* page = static_cast<CQKGraphPage*>(project.CreatePage(QK_PAGE_GRAPH));
    page->SetDimUnits(0);
    page->SetDimWidth(width / dpi);
    page->SetDimHeight(height / dpi);
    CQKGraphicLayer* layer = page->GetLayerByIndex(0, 1);
    CQKAxes axes;
    layer->GetAxes(&axes, QK_AXIS_X);
    axes.SetRangeFrom("0");
    axes.SetRangeTo("10");
    layer->GetAxes(&axes, QK_AXIS_Y);
    axes.SetRangeFrom("0");
    axes.SetRangeTo("10");
    layer->UpdateFromTemporary();
    std::vector<QKPlotData> data(2);
    data[0].role = QK_ROLE_Y;
    data[0].dataset = y->GetName();
    data[0].handle = y->GetHandle();
    data[1].role = QK_ROLE_X;
    data[1].dataset = x->GetName();
    data[1].handle = x->GetHandle();
    std::string error;
    CQKPlotObj* plot = qkfxAddPlot(layer, QK_PLOT_LINE, data, &error);
    if (!plot) {
        std::fprintf(stderr, "no plot: %s\n", error.c_str());
        return 1;
    }
    plot->SetWidth(72.0 / dpi); // one pixel

    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    SelectObject(dc, bmp);
    const RECT rect = {0, 0, width, height};
    page->Draw(dc, rect); // warm
    std::vector<double> times;
    for (int r = 0; r < 5; ++r) {
        auto t0 = std::chrono::steady_clock::now();
        page->Draw(dc, rect);
        times.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
    std::sort(times.begin(), times.end());
    std::printf("pagedraw %.6f\n", times[2]);
    DeleteDC(dc);
    DeleteObject(bmp);
    return 0;
}
