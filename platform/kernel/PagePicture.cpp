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

} // namespace

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
        RECT frame = {0, 0, size.cx, size.cy};
        const RECT pixels = {0, 0, std::max(1, (int)std::lround(size.cx / 100.0 * pxX / mmX)),
                             std::max(1, (int)std::lround(size.cy / 100.0 * pxY / mmY))};
        const std::string description = "Quorix 6.1" + std::string(1, '\0') + GetName() + std::string(2, '\0');
        HDC dc = CreateEnhMetaFileA(ref, nullptr, &frame, description.c_str());
        if (dc) {
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
    DeleteEnhMetaFile(emf);
    if (wmf)
        GetPageSize(extent);
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
