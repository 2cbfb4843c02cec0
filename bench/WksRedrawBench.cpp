// Redrawing one screen of worksheet cells: at row 999,000 of a 1,000,000-row worksheet
// against row 1 of a 100-row worksheet, both into the same 1000 x 800 memory bitmap.
// Goal: a ratio of at most 1.5 (drawing visits only the rows in view).
#include "BenchHarness.h"
#include "QKData.h"

#include <windows.h>

#include <vector>

namespace {

CQKWksPage* MakeWks(int rows)
{
    auto* wks = static_cast<CQKWksPage*>(qkfxGetProject().CreatePage(QK_PAGE_WKS));
    while (wks->GetNumCols() < 6)
        wks->AddColumn();
    for (int c = 1; c <= 6; ++c) {
        std::vector<double> values(rows);
        for (int r = 0; r < rows; ++r)
            values[r] = r * 0.001 * c + 1.0 / (c + r % 7);
        wks->GetColumn(c)->TakeValues(std::move(values));
    }
    return wks;
}

} // namespace

int main()
{
    const RECT rect = {0, 0, 1000, 800};
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = rect.right;
    bi.bmiHeader.biHeight = -rect.bottom;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    SelectObject(dc, bitmap);

    CQKWksPage* big = MakeWks(1000000);
    big->SetDrawRect(rect);
    big->ScrollTo(998999, 1);
    CQKWksPage* small = MakeWks(100);
    small->SetDrawRect(rect);
    small->ScrollTo(0, 1);

    double tBig = bench::BestTime([&] { big->Draw(dc, rect); }, 7, 20);
    double tSmall = bench::BestTime([&] { small->Draw(dc, rect); }, 7, 20);
    bench::Report("screen at row 999,000 vs row 1 (goal <= 1.5)", tBig, tSmall);
    DeleteDC(dc);
    DeleteObject(bitmap);
    ReleaseDC(nullptr, screen);
    return 0;
}
