// The contour module's message entry: the kernel checks its version against the module,
// binds the plot host, hands over its set-up record and the Z range, and loads the
// colour map.
#include "Surface.h"

#include <string.h>

namespace {

// The kernel's set-up record: the module touches bytes 1, 2, 4 and 5, and the
// pointer-sized field at byte 16 (the colour-map block of the older interface).
struct SetupRecord {
    uint8_t bytes[16];
    void* colourBlock;
};

bool g_refused = false;
SetupRecord* g_record = nullptr;
float g_zLow = 0, g_zHigh = 0;
INT_PTR g_setupArgument = 0;
int32_t g_kept[2] = {};

INT_PTR SetUp(SetupRecord* r, INT_PTR argument)
{
    g_record = r;
    bool changed = false;
    if (r) {
        r->colourBlock = nullptr;
        if (r->bytes[5] != 29) {
            r->bytes[4] = 10;
            r->bytes[5] = 29;
            changed = true;
        }
        if (r->bytes[4] * 0.1 > 5) {
            r->bytes[4] = 50;
            changed = true;
        }
    }
    g_setupArgument = argument;
    if (argument == 0)
        return 1;
    return changed ? 2 : 0;
}

// The older colour-map interface: a block handed out for the record, given defaults and
// the low and high Z values. Without a block there is nothing to set up.
void LegacySetUp(SetupRecord* r)
{
    if (!r)
        return;
    g_record = r;
    r->bytes[1] = 0;
    r->bytes[2] = 192;
    r->bytes[4] = 10;
    auto* b = reinterpret_cast<ZColorsBlock*>(ColorMapControl(nullptr, nullptr, nullptr, 1));
    r->colourBlock = b;
    if (!b)
        return;
    ScxColorControl(0, 0, 0, b);
    b->zMin = g_zLow;
    b->zMax = g_zHigh;
    b->digits = 3;
    if (!(b->zMin < b->zMax)) {
        b->zMin = -2;
        b->zMax = 2;
    }
    ColorMapControl(nullptr, nullptr, nullptr, 2);
}

} // namespace

extern "C" INT_PTR WINAPI Contour(HWND window, void* object, INT_PTR argument, UINT message)
{
    message &= 0xFFFF;
    // The version check comes first, so that a host that was refused can be let in by a
    // later, acceptable version.
    if (message == 50) {
        g_refused = argument < 252;
        if (g_refused)
            MessageBoxA(window, "You need a version 2.52 or later to use this contour module", nullptr,
                        MB_OK | MB_TASKMODAL | MB_ICONINFORMATION);
        return 0;
    }
    if (g_refused)
        return 0;
    switch (message) {
    case 12: return SetUp(static_cast<SetupRecord*>(object), argument);
    case 25: g_setupArgument = 0; return 0;
    case 40: LegacySetUp(static_cast<SetupRecord*>(object)); return 0;
    case 60:
        ScxColorControl(30, reinterpret_cast<INT_PTR>(window), reinterpret_cast<INT_PTR>(object), nullptr);
        return 0;
    case 100: {
        const double* range = static_cast<const double*>(object);
        g_zLow = (float)range[0];
        g_zHigh = (float)range[1];
        return 0;
    }
    case 110:
        g_record = static_cast<SetupRecord*>(object);
        if (g_record)
            g_record->colourBlock = nullptr;
        return 0;
    case 130: *static_cast<uint8_t*>(object) = 0; return 0;
    case 210: memcpy(g_kept, object, sizeof g_kept); return 0;
    case 220: ColorMapControl(window, nullptr, static_cast<const double*>(object), 10); return 0;
    default: return 0;
    }
}
