// Device-context and palette services of the 3D engine, and the standard colour combo.
#include "qxutil.h"
#include "qxcolors.h"
#include "Module.h"

#include <mutex>

static_assert(sizeof(UtilColorSlot) == 10, "colour slots are 10 bytes in colour-map blocks");

namespace {

// The colours registered by UtilPaletteService; a palette device realises them in
// UtilPrepareDC mode 8. Colour maps register from any thread that draws.
std::mutex g_paletteLock;
HPALETTE g_palette = nullptr;

bool IsDeviceContext(HANDLE target)
{
    if (!target)
        return false;
    DWORD type = GetObjectType(target);
    return type == OBJ_DC || type == OBJ_MEMDC || type == OBJ_METADC || type == OBJ_ENHMETADC;
}

bool IsPaletteDevice(HDC dc) { return (GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE) != 0; }

int FillColorCombo(HWND combo)
{
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < kQxStandardColorCount; ++i) {
        LRESULT index = SendMessageA(combo, CB_ADDSTRING, 0,
                                     reinterpret_cast<LPARAM>(kQxStandardColors[i].name));
        if (index == CB_ERR || index == CB_ERRSPACE)
            return -1;
        SendMessageA(combo, CB_SETITEMDATA, WPARAM(index), LPARAM(kQxStandardColors[i].rgb));
    }
    return kQxStandardColorCount;
}

} // namespace

void qxutil::ReleasePalette()
{
    std::lock_guard<std::mutex> lock(g_paletteLock);
    if (g_palette)
        DeleteObject(g_palette);
    g_palette = nullptr;
}

extern "C" int UtilPrepareDC(HANDLE target, int, int, int mode)
{
    switch (mode) {
    case UTIL_DC_COLOR_COUNT:
        return kQxStandardColorCount;
    case UTIL_DC_COLOR_COMBO: {
        HWND combo = static_cast<HWND>(target);
        return target && IsWindow(combo) ? FillColorCombo(combo) : -1;
    }
    case UTIL_DC_END_OUTLINE:
    case UTIL_DC_AREAS:
    case UTIL_DC_END_FILL:
        break;
    default:
        return -1;
    }
    if (!IsDeviceContext(target))
        return 0;
    HDC dc = static_cast<HDC>(target);
    // Selecting stock objects releases the pens and brushes the drawing selected, so
    // their owners can delete them.
    if (mode == UTIL_DC_END_OUTLINE) {
        SelectObject(dc, GetStockObject(BLACK_PEN));
        SelectObject(dc, GetStockObject(NULL_BRUSH));
    } else if (mode == UTIL_DC_END_FILL) {
        SelectObject(dc, GetStockObject(NULL_BRUSH));
    } else {
        SetBkMode(dc, TRANSPARENT);
        SetPolyFillMode(dc, ALTERNATE);
        std::lock_guard<std::mutex> lock(g_paletteLock);
        if (g_palette && IsPaletteDevice(dc)) {
            SelectPalette(dc, g_palette, TRUE);
            RealizePalette(dc);
        }
    }
    return 1;
}

extern "C" DWORD UtilPaletteService(HDC dc, int operation, DWORD_PTR value, const void *data)
{
    if (operation == UTIL_PALETTE_REGISTER) {
        if (!data)
            return 0;
        DWORD count = value > 256 ? 256 : DWORD(value);
        if (count == 0)
            return 0;
        // LOGPALETTE with room for 256 entries.
        struct {
            WORD version;
            WORD entries;
            PALETTEENTRY colors[256];
        } layout = {0x300, WORD(count), {}};
        const auto *slots = static_cast<const UtilColorSlot *>(data);
        for (DWORD i = 0; i < count; ++i) {
            COLORREF c = slots[i].color & 0xFFFFFF;
            layout.colors[i] = {GetRValue(c), GetGValue(c), GetBValue(c), 0};
        }
        HPALETTE palette = CreatePalette(reinterpret_cast<LOGPALETTE *>(&layout));
        if (!palette)
            return 0;
        std::lock_guard<std::mutex> lock(g_paletteLock);
        // A DC may still hold the old palette; it is replaced, never deleted under it.
        HPALETTE old = g_palette;
        g_palette = palette;
        if (old)
            DeleteObject(old);
        return count;
    }
    if (operation == UTIL_PALETTE_DISPLAY_COLOR) {
        COLORREF color = COLORREF(value) & 0xFFFFFF;
        if (!IsDeviceContext(dc) || !IsPaletteDevice(dc))
            return color;
        COLORREF nearest = GetNearestColor(dc, color);
        return nearest == CLR_INVALID ? color : nearest & 0xFFFFFF;
    }
    return 0;
}
