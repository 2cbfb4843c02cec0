// Pictures of a graph or layout page: the enhanced metafile and the Windows metafile that
// the clipboard and OLE containers take. Both are the page's own drawing, recorded.
#include <algorithm>
#include <cmath>

#include "KernelInternal.h"
#include "PageRender.h"
#include "QKAccess.h"
#include "QKData.h"
#include "QKCallLog.h"
#include "QKScript.h"
#include "QKSysMethod.h"

namespace {

// HIMETRIC units an inch.
const double kHimetricPerInch = 2540;
// The bounds of a drawing are found on a bitmap of at most this many pixels a side.
const int kMaxBoundsSide = 2000;
// The copy-page margin control (QKSysMethodCopyPage Closeness); anything else is the page.
enum { QK_COPYPAGE_BORDER = 0, QK_COPYPAGE_TIGHT = 1 };

// Where the page draws anything (its paper left out), in the pixels of `pixels`, the whole
// page on the device; empty when it draws nothing. The page is drawn over black and over
// white, so a pixel of any colour that either drawing changed counts.
RECT DrawnBounds(CQKGraphPage& page, const RECT& pixels)
{
    const double scale = std::min(1.0, (double)kMaxBoundsSide / std::max(pixels.right, pixels.bottom));
    const int w = std::max(1, (int)std::lround(pixels.right * scale)),
              h = std::max(1, (int)std::lround(pixels.bottom * scale));
    const RECT scaled = {0, 0, w, h};
    RECT bounds = {w, h, 0, 0};
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    for (const DWORD background : {0x000000u, 0xFFFFFFu}) {
        HDC dc = CreateCompatibleDC(nullptr);
        void* bits = nullptr;
        HBITMAP bmp = dc ? CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
        if (bmp == nullptr) {
            if (dc)
                DeleteDC(dc);
            return pixels; // no memory for the search: the whole page
        }
        HGDIOBJ old = SelectObject(dc, bmp);
        HBRUSH brush = CreateSolidBrush(background);
        FillRect(dc, &scaled, brush);
        DeleteObject(brush);
        qkDrawGraphPage(page, dc, scaled, false);
        GdiFlush();
        const DWORD* p = static_cast<const DWORD*>(bits);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if ((p[(size_t)y * w + x] & 0xFFFFFF) != background) {
                    bounds.left = std::min(bounds.left, (LONG)x);
                    bounds.right = std::max(bounds.right, (LONG)x + 1);
                    bounds.top = std::min(bounds.top, (LONG)y);
                    bounds.bottom = std::max(bounds.bottom, (LONG)y + 1);
                }
        SelectObject(dc, old);
        DeleteObject(bmp);
        DeleteDC(dc);
    }
    if (bounds.left >= bounds.right || bounds.top >= bounds.bottom)
        return RECT{0, 0, 0, 0};
    // Back to the device's pixels, rounded outwards.
    return RECT{(LONG)std::floor(bounds.left / scale), (LONG)std::floor(bounds.top / scale),
                std::min(pixels.right, (LONG)std::ceil(bounds.right / scale)),
                std::min(pixels.bottom, (LONG)std::ceil(bounds.bottom / scale))};
}

// The size of a picture's frame in HIMETRIC.
SIZE FrameSize(HENHMETAFILE emf)
{
    ENHMETAHEADER header = {};
    if (emf == nullptr || !GetEnhMetaFileHeader(emf, sizeof header, &header))
        return SIZE{0, 0};
    return SIZE{header.rclFrame.right - header.rclFrame.left, header.rclFrame.bottom - header.rclFrame.top};
}

} // namespace

RECT qkCopyPageArea(CQKGraphPage& page, const RECT& pixels)
{
    const QKSysMethodCopyPage& settings = qkfxGetQrxSystem().GetRefCopyPage();
    const int closeness = settings.GetCloseness();
    if (closeness != QK_COPYPAGE_BORDER && closeness != QK_COPYPAGE_TIGHT)
        return pixels;
    RECT area = DrawnBounds(page, pixels);
    if (IsRectEmpty(&area))
        return pixels;
    if (closeness == QK_COPYPAGE_BORDER) {
        const int percent = std::max(0, settings.GetClipBorderWidth());
        InflateRect(&area, (int)std::lround(pixels.right * percent / 100.0),
                    (int)std::lround(pixels.bottom * percent / 100.0));
        IntersectRect(&area, &area, &pixels);
    }
    return area;
}

void CQKGraphPage::GetPageSize(SIZE& size) const
{
    double w, h;
    GetPageSizeInches(w, h);
    const int ratio = std::max(1, qkfxGetQrxSystem().GetRefCopyPage().GetRatio());
    size.cx = std::max(1L, (LONG)std::lround(w * kHimetricPerInch * ratio / 100));
    size.cy = std::max(1L, (LONG)std::lround(h * kHimetricPerInch * ratio / 100));
}

BOOL CQKGraphPage::CheckCopyExportSupport(int bMessage) const
{
    if (GetNumLayers() > 0)
        return TRUE;
    if (bMessage)
        qkfxGetScript().Print("cannot copy " + GetName() + ": the page has no layer to draw", 2);
    return FALSE;
}

HENHMETAFILE CQKGraphPage::CopyPageEnhancedMetafile(HDC reference)
{
    return CreateEMFEx(reference, 0);
}

HENHMETAFILE CQKGraphPage::CreateEMFEx(HDC reference, DWORD options)
{
    HDC screen = reference ? nullptr : GetDC(nullptr);
    HDC ref = reference ? reference : screen;
    SIZE size;
    GetPageSize(size);
    // The frame is in HIMETRIC; the drawing goes in the reference device's pixels, which
    // its size in millimetres converts.
    const int mmX = GetDeviceCaps(ref, HORZSIZE), mmY = GetDeviceCaps(ref, VERTSIZE);
    const int pxX = GetDeviceCaps(ref, HORZRES), pxY = GetDeviceCaps(ref, VERTRES);
    HENHMETAFILE emf = nullptr;
    if (mmX > 0 && mmY > 0) {
        const RECT pixels = {0, 0, std::max(1, (int)std::lround(size.cx / 100.0 * pxX / mmX)),
                             std::max(1, (int)std::lround(size.cy / 100.0 * pxY / mmY))};
        // The picture shows the part of the page the margin control chooses: its frame is
        // that part's size, and the page is drawn moved so that the part starts at 0, 0.
        const RECT area = (options & QK_EMF_WHOLE_PAGE) ? pixels : qkCopyPageArea(*this, pixels);
        RECT frame = {0, 0, std::max(1L, (LONG)std::lround((double)(area.right - area.left) * size.cx / pixels.right)),
                      std::max(1L, (LONG)std::lround((double)(area.bottom - area.top) * size.cy / pixels.bottom))};
        const std::string description = "Quorix 6.1" + std::string(1, '\0') + GetName() + std::string(2, '\0');
        HDC dc = CreateEnhMetaFileA(ref, nullptr, &frame, description.c_str());
        if (dc) {
            SetViewportOrgEx(dc, -area.left, -area.top, nullptr);
            // The paper and anything else outside the part stay out of the picture.
            IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
            const BOOL drawn = qkDrawGraphPage(*this, dc, pixels, (options & QK_EMF_NO_PAPER) != QK_EMF_NO_PAPER);
            emf = CloseEnhMetaFile(dc);
            if (!drawn && emf) {
                DeleteEnhMetaFile(emf);
                emf = nullptr;
            }
        }
    }
    if (screen)
        ReleaseDC(nullptr, screen);
    qkfxGetCallLog().Add("CQKGraphPage::CreateEMFEx", GetName() + (emf ? "" : " failed"));
    return emf;
}

HMETAFILE CQKGraphPage::OrdinaryMF(HDC reference, SIZE& extent)
{
    // GDI's conversion writes the window origin and extent a metafile picture in the
    // anisotropic mode needs, and keeps text that a Windows metafile DC could not measure.
    HENHMETAFILE emf = CopyPageEnhancedMetafile(reference);
    if (!emf)
        return nullptr;
    HMETAFILE wmf = qkuConvertEMFtoWMFEx(emf, reference, MM_ANISOTROPIC);
    if (wmf)
        extent = FrameSize(emf);
    DeleteEnhMetaFile(emf);
    return wmf;
}

HMETAFILE qkuConvertEMFtoWMFEx(HENHMETAFILE emf, HDC reference, int mapMode)
{
    if (!emf)
        return nullptr;
    HDC screen = reference ? nullptr : GetDC(nullptr);
    HDC ref = reference ? reference : screen;
    HMETAFILE wmf = nullptr;
    const UINT n = GetWinMetaFileBits(emf, 0, nullptr, mapMode, ref);
    if (n > 0) {
        std::vector<BYTE> bits(n);
        if (GetWinMetaFileBits(emf, n, bits.data(), mapMode, ref) == n)
            wmf = SetMetaFileBitsEx(n, bits.data());
    }
    if (screen)
        ReleaseDC(nullptr, screen);
    return wmf;
}

BOOL qkfxIsPutEMFOnClipboard()
{
    return qkfxGetQrxSystem().GetRefCopyPage().GetPutEMF() != 0;
}

BOOL CQKGraphPage::IsSimpleCopyExport() const
{
    return !qkfxIsPutEMFOnClipboard();
}

double qkfxGetSysValue(const char* name)
{
    double v = 0;
    if (name == nullptr || !qkfxGetScript().GetVariable(name, &v) || v == MISSING_VALUE)
        return 0;
    return v;
}
