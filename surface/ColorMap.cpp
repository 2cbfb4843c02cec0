// The colour map: levels on a 16-bit internal scale (0 .. 2300 by default), a colour for
// each band between levels, and fixed colours below, above and for missing values. The
// block belongs to the kernel ("ZCOLORS"); the library works on it in place between a
// get and a release. When the kernel offers its own colour service (the hook), every
// request goes to it first.
#include "Surface.h"

#include <math.h>
#include <stdio.h>
#include <string.h>

#include <vector>

#include "qxutil.h"

namespace {

HWND g_colourWindow = nullptr;
bool g_colourBindingHeld = false;
ColorControlHook g_hook = nullptr;
ColourFormatCallback g_format = nullptr;
INT_PTR g_formatContext = 0;
HPEN g_pen = nullptr;

const int kMissingScale = QK_COLORMAP_MISSING_SCALE;
const int kBelowLevel = -9998;

int SlotLevel(const ZColorsBlock* b, int slot)
{
    if (slot == 3) return kBelowLevel;
    if (slot == b->n + 4) return b->levelMax;
    if (slot == 1) return 32000;
    if (slot == 0) return -10000;
    if (slot > 1 && slot < b->lastSlot) return b->slots[slot].level;
    MessageBeep(MB_OK);
    return 0;
}

bool ValidSlot(const ZColorsBlock* b, INT_PTR slot)
{
    return slot >= 0 && slot < b->n + 24;
}

double T(const ZColorsBlock* b, double z)
{
    if (b->scaleKind == ZCOLORS_LOG)
        return z > 0 ? log(z) : -10;
    return z;
}

double TInverse(const ZColorsBlock* b, double x)
{
    return b->scaleKind == ZCOLORS_LOG ? exp(x) : x;
}

// A range of zero width (constant data, or ZMIN set equal to ZMAX) would divide by
// zero; every value then sits at the bottom of the scale.
int ScaleOf(const ZColorsBlock* b, double z)
{
    // A value that is no number has no place on the scale: it is missing, not the bottom.
    if (z == b->zMissing || isnan(z))
        return kMissingScale;
    double span = T(b, b->zMax) - T(b, b->zMin);
    double s = b->scaleLow;
    if (span != 0 && isfinite(span))
        s = b->scaleLow + (T(b, z) - T(b, b->zMin)) / span * (b->scaleHigh - b->scaleLow);
    if (!isfinite(s))
        s = b->scaleLow;
    s = s < 0 ? ceil(s - 0.5) : floor(s + 0.5); // half away from zero
    return (int)fmax(-32768.0, fmin(32767.0, s));
}

double RealOf(const ZColorsBlock* b, double s)
{
    int width = b->scaleHigh - b->scaleLow;
    double f = width ? (s - b->scaleLow) / width : 0;
    return TInverse(b, T(b, b->zMin) + f * (T(b, b->zMax) - T(b, b->zMin)));
}

// The band of a scale value. The band is the one whose levels enclose the value; the
// even-spacing estimate is not used, since with levels the user placed unevenly it
// names the wrong band.
int Band(const ZColorsBlock* b, int v, int* slot)
{
    if (v < -9997) { *slot = 2; return 0; }
    if (v >= 32000) { *slot = 1; return 0; }
    if (v < b->levelMin) { *slot = 3; return 0; }
    if (v >= b->levelMax) { *slot = b->n + 4; return 0; }
    int m = b->n - 1;
    for (int k = 0; k < b->n - 1; ++k)
        if (b->slots[4 + k].level <= v && v <= b->slots[5 + k].level) {
            m = k;
            break;
        }
    *slot = m + 4;
    return m;
}

// Ramp weights: the low, middle and high colours are anchored at bands 0, n/2 and n-1.
// Each anchor has a plateau where its weight is 1; between two plateaus the weights
// cross linearly, so that the weights of every band add up to 1. Mode 0 has plateaus,
// modes 1 and 2 none; mode 2 ramps from low to high without the middle colour.
void RampWeights(int n, int mode, int b, double w[3])
{
    w[0] = w[1] = w[2] = 0;
    int aM = n / 2, aH = n - 1;
    if (mode == 2) {
        double t = aH > 0 ? (double)b / aH : 0;
        w[0] = 1 - t;
        w[2] = t;
        return;
    }
    int lowEnd = 0, midStart = aM, midEnd = aM, highStart = aH;
    if (mode == 0) {
        int r = (n - n / 2 - 1) / 2;
        lowEnd = n / 4;
        midStart = aM - (n / 2 - n / 4);
        midEnd = aM + r;
        highStart = aH - (n - r - n / 2 - 1);
        if (midStart < lowEnd) midStart = lowEnd;
        if (highStart < midEnd) highStart = midEnd;
    }
    if (b <= lowEnd) {
        w[0] = 1;
    } else if (b < midStart) {
        double t = (double)(b - lowEnd) / (midStart - lowEnd);
        w[0] = 1 - t;
        w[1] = t;
    } else if (b <= midEnd) {
        w[1] = 1;
    } else if (b < highStart) {
        double t = (double)(b - midEnd) / (highStart - midEnd);
        w[1] = 1 - t;
        w[2] = t;
    } else {
        w[2] = 1;
    }
}

void Ramp(ZColorsBlock* b)
{
    if (!(b->flags & ZCOLORS_BY_RAMP))
        return;
    for (int band = 0; band < b->n; ++band) {
        double w[3];
        RampWeights(b->n, b->rampMode, band, w);
        int colour = 0;
        for (int shift = 0; shift <= 16; shift += 8) {
            double v = w[0] * ((b->rampLow >> shift) & 0xFF) + w[1] * ((b->rampMiddle >> shift) & 0xFF) +
                       w[2] * ((b->rampHigh >> shift) & 0xFF);
            int c = (int)v;
            colour |= (c > 255 ? 255 : c) << shift;
        }
        b->slots[4 + band].colour = colour;
    }
}

void EvenLevels(ZColorsBlock* b)
{
    if (!(b->flags & ZCOLORS_EVEN_LEVELS) || b->n <= 0)
        return;
    for (int e = 0; e <= b->n; ++e)
        b->slots[4 + e].level = (int16_t)(b->levelMin + (b->levelMax - b->levelMin) * e / b->n);
}

void FixedColours(ZColorsBlock* b)
{
    b->slots[3].colour = b->colourBelow;
    b->slots[b->n + 4].colour = b->colourAbove;
    b->slots[2].colour = b->colourMissing;
}

void SlotLevels(ZColorsBlock* b)
{
    for (int slot = 0; slot < b->lastSlot; ++slot)
        b->slots[slot].level = (int16_t)SlotLevel(b, slot);
}

void FullRange(ZColorsBlock* b)
{
    b->levelMax = b->secondHigh = b->scaleHigh;
    b->levelMin = b->secondLow = b->scaleLow;
}

void Recompute(ZColorsBlock* b)
{
    SlotLevels(b);
    EvenLevels(b);
    Ramp(b);
    FixedColours(b);
}

void Defaults(ZColorsBlock* b, int n, const float* range)
{
    b->version = ZCOLORS_VERSION;
    b->scaleHigh = 2300;
    b->scaleLow = 0;
    b->colourBelow = 0;
    b->colourAbove = 0xFFFFFF;
    if (n) {
        b->n = (int16_t)n;
        b->lastSlot = (int16_t)(n + 23);
    }
    b->rampLow = 255;
    b->rampHigh = 0xFF0000;
    b->rampMiddle = 0x7FFF7F;
    b->colourMissing = 127;
    b->zMin = range ? range[0] : 0;
    b->zMax = range ? range[1] : 1000;
    b->zMissing = -9999;
    b->rampMode = 0;
    b->flags = 35;
    b->digits = 4;
    b->scaleKind = 0;
    FullRange(b);
    SlotLevels(b);
    EvenLevels(b);
    Ramp(b);
    FixedColours(b);
    UtilPaletteService(nullptr, UTIL_PALETTE_REGISTER, (DWORD_PTR)b->n, b->slots);
}

void SnapToSteps(const ZColorsBlock* b, int s, double* out)
{
    if (s == kMissingScale) {
        *out = b->zMissing;
        return;
    }
    int width = b->scaleHigh - b->scaleLow;
    double snapped = s;
    if (width && b->n > 0) {
        double step = (double)width / b->n;
        snapped = b->scaleLow + floor((s - b->scaleLow) / step + 0.5) * step;
    }
    *out = RealOf(b, snapped);
}

// The legend: one line per band, "\L(C<slot>) <from>  --  <to>", into a buffer of
// `capacity` bytes; the text is cut to fit.
void Legend(const ZColorsBlock* b, char* buffer, size_t capacity)
{
    if (!buffer || capacity == 0)
        return;
    buffer[0] = 0;
    char format[8];
    snprintf(format, sizeof format, "*%d", b->digits & 0x0F);
    char previous[UTIL_NUMBER_TEXT_SIZE] = "", text[UTIL_NUMBER_TEXT_SIZE];
    size_t used = 0;
    int last = b->n + 4 < 67 ? b->n + 4 : 67;
    for (int p = 4; p <= last; ++p) {
        double value;
        SnapToSteps(b, b->slots[p].level, &value);
        if (g_format)
            g_format(g_formatContext, 22, &value);
        UtilFormatNumber(value, text, format);
        if (p > 4) {
            int written = snprintf(buffer + used, capacity - used, "\\L(C%d) %s  --  %s\r\n", p - 1, previous, text);
            if (written < 0 || (size_t)written >= capacity - used) {
                buffer[used] = 0;
                return;
            }
            used += (size_t)written;
        }
        strcpy(previous, text);
    }
}

void FromLegacy(ZColorsBlock* b, const Legacy3DColors* old)
{
    Defaults(b, 0, nullptr);
    b->rampMode = old->rampMode;
    b->rampLow = old->rampLow;
    b->rampHigh = old->rampHigh;
    b->rampMiddle = old->rampMiddle;
    b->colourBelow = old->colourBelow;
    b->colourAbove = old->colourAbove;
    b->zMin = old->zMin;
    b->zMax = old->zMax;
    b->levelMax = (int16_t)ScaleOf(b, old->levelMax);
    b->levelMin = (int16_t)ScaleOf(b, old->levelMin);
    b->secondHigh = (int16_t)ScaleOf(b, old->secondHigh);
    b->secondLow = (int16_t)ScaleOf(b, old->secondLow);
    EvenLevels(b);
}

void ToLegacy(const ZColorsBlock* b, Legacy3DColors* old)
{
    old->bands = (int16_t)(b->n < 31 ? b->n : 31);
    old->rampMode = (uint8_t)b->rampMode;
    old->rampLow = b->rampLow;
    old->rampHigh = b->rampHigh;
    old->rampMiddle = b->rampMiddle;
    old->zMin = (float)b->zMin;
    old->zMax = (float)b->zMax;
    old->levelMin = (float)RealOf(b, b->levelMin);
    old->levelMax = (float)RealOf(b, b->levelMax);
    old->secondHigh = (float)RealOf(b, b->secondHigh);
    old->secondLow = (float)RealOf(b, b->secondLow);
    int count = b->n + 1 < 32 ? b->n + 1 : 32;
    for (int i = 0; i < count; ++i)
        old->bandColours[i] = b->slots[4 + i].colour;
}

// Copies an older or smaller block: the first 112 bytes but n and the last slot, then
// every slot's colour and level that both blocks hold; drawing handles are not carried.
void CopyFrom(ZColorsBlock* b, int n, const ZColorsBlock* from)
{
    Defaults(b, n, nullptr);
    int16_t keepN = b->n, keepLast = b->lastSlot;
    memcpy(b, from, 112);
    b->n = keepN;
    b->lastSlot = keepLast;
    int slots = (from->n + 24 < keepN + 24) ? from->n + 24 : keepN + 24;
    for (int i = 0; i < slots; ++i) {
        b->slots[i].colour = from->slots[i].colour;
        b->slots[i].level = from->slots[i].level;
        b->slots[i].object = 0;
    }
}

void SelectSlotBrush(const ZColorsBlock* b, INT_PTR slot, HDC dc)
{
    HGDIOBJ brush = b->slots[slot].object ? (HGDIOBJ)(INT_PTR)b->slots[slot].object : GetStockObject(WHITE_BRUSH);
    SelectObject(dc, brush);
}

void SelectSlotPen(const ZColorsBlock* b, INT_PTR slot, HDC dc)
{
    bool coloured = (slot >= 4 && slot < b->n + 4) || slot == 3 || slot == b->n + 4;
    if (!coloured) {
        SelectObject(dc, GetStockObject(NULL_PEN));
        return;
    }
    COLORREF colour = UtilPaletteService(dc, UTIL_PALETTE_DISPLAY_COLOR, (DWORD_PTR)(uint32_t)b->slots[slot].colour, nullptr);
    HPEN pen = CreatePen(PS_SOLID, 5, colour);
    if (!pen)
        return;
    SelectObject(dc, pen);
    if (g_pen)
        DeleteObject(g_pen);
    g_pen = pen;
}

INT_PTR BlockRequest(UINT code, INT_PTR argument, INT_PTR pointer, ZColorsBlock* b)
{
    switch (code) {
    case 0:
        if (b)
            Defaults(b, (int)argument, reinterpret_cast<const float*>(pointer));
        return 0;
    case 18: return b ? b->n : 0;
    case 19:
        return 0;
    case 23: return (INT_PTR)ZColorsSize((int)argument);
    case 54: return b ? b->n + 2 : 0;
    case 56: return 2;
    default: break;
    }
    if (!b)
        return 0;
    switch (code) {
    case 1: Ramp(b); return 0;
    case 2:
    case 13:
        return RunColourMapDialog(reinterpret_cast<HWND>(pointer), b, code == 2 ? 25415 : 25416);
    case 3: {
        int slot;
        Band(b, (int)*reinterpret_cast<const float*>(pointer), &slot);
        return slot;
    }
    case 4:
        if (!pointer || !ValidSlot(b, argument))
            return 1;
        *reinterpret_cast<int32_t*>(pointer) = b->slots[argument].colour;
        return 0;
    case 5:
        if (pointer && ValidSlot(b, argument))
            *reinterpret_cast<float*>(pointer) = b->slots[argument].level;
        return 0;
    case 6: return (argument >= 3 && argument <= b->n + 4) ? 0 : 1;
    case 7: *reinterpret_cast<float*>(pointer) = b->secondLow; return 0;
    case 8: *reinterpret_cast<float*>(pointer) = b->secondHigh; return 0;
    case 10:
        if (ValidSlot(b, argument))
            SelectSlotBrush(b, argument, reinterpret_cast<HDC>(pointer));
        return 0;
    case 11:
        if (ValidSlot(b, argument))
            SelectSlotPen(b, argument, reinterpret_cast<HDC>(pointer));
        return 0;
    case 14: Legend(b, reinterpret_cast<char*>(pointer), (size_t)argument); return 0;
    case 20: FromLegacy(b, reinterpret_cast<const Legacy3DColors*>(pointer)); return 0;
    case 21: Recompute(b); return 0;
    case 22: CopyFrom(b, (int)argument, reinterpret_cast<const ZColorsBlock*>(pointer)); return 0;
    case 31: EvenLevels(b); return 0;
    case 34: return SlotLevel(b, (int)argument + 3);
    case 36: return SlotLevel(b, (int)argument);
    case 37:
    case 38: {
        int slot;
        int band = Band(b, (int)argument, &slot);
        return code == 37 ? slot : band;
    }
    case 39: return ScaleOf(b, *reinterpret_cast<const double*>(pointer));
    case 40: *reinterpret_cast<double*>(pointer) = RealOf(b, (double)argument); return 0;
    case 41: SnapToSteps(b, (int)argument, reinterpret_cast<double*>(pointer)); return 0;
    case 42: FullRange(b); return 0;
    case 45: FixedColours(b); return 0;
    case 47: SlotLevels(b); return 0;
    case 50: ToLegacy(b, reinterpret_cast<Legacy3DColors*>(pointer)); return 0;
    default: return 0;
    }
}

// ---- The block service over the kernel's named blocks

ZColorsBlock* GetNamed(const char* name, size_t size)
{
    return reinterpret_cast<ZColorsBlock*>(PlotHostRequest(PLOTHOST_BLOCK_GET, (INT_PTR)size, (INT_PTR)name));
}

ZColorsBlock* CreateNamed(const char* name, size_t size)
{
    if (!PlotHostRequest(PLOTHOST_BLOCK_CREATE, (INT_PTR)size, (INT_PTR)name))
        return nullptr;
    return GetNamed(name, size);
}

void Release(const char* name)
{
    PlotHostRequest(PLOTHOST_BLOCK_RELEASE, 0, (INT_PTR)name);
}

void LoadColourMap(double* output, const double* range)
{
    PlotHostRequest(PLOTHOST_BLOCKS_BEGIN, 0, 0);
    Legacy3DColors legacy;
    bool haveLegacy = false;
    if (auto* old = reinterpret_cast<Legacy3DColors*>(GetNamed("3DCOLOR", sizeof(Legacy3DColors)))) {
        legacy = *old;
        haveLegacy = true;
        Release("3DCOLOR");
    }
    int n = haveLegacy ? legacy.bands : 8;
    if (n < 2 || n > 31)
        n = 8;
    ZColorsBlock* b = GetNamed("ZCOLORS", ZColorsSize(n));
    if (!b) {
        b = CreateNamed("ZCOLORS", ZColorsSize(n));
        if (b) {
            Defaults(b, n, nullptr);
            if (haveLegacy)
                FromLegacy(b, &legacy);
        }
    }
    if (b && b->version <= 3840) {
        int oldN = b->n;
        std::vector<uint8_t> copy(ZColorsSize(oldN > 0 && oldN < 1000 ? oldN : 0));
        memcpy(copy.data(), b, copy.size());
        const auto* old = reinterpret_cast<const ZColorsBlock*>(copy.data());
        MessageBeep(MB_OK);
        Release("ZCOLORS");
        if (oldN >= 1 && oldN <= 31 && old->scaleHigh == 2300) {
            b = CreateNamed("ZCOLORS", ZColorsSize(oldN));
            // The upgrade keeps the user's own colours and levels: the ramp and even-level
            // bits stay as the old block had them, so recomputing does not repaint them.
            if (b) {
                CopyFrom(b, oldN, old);
                b->version = ZCOLORS_VERSION;
                b->flags = (int16_t)((35 & ~(ZCOLORS_BY_RAMP | ZCOLORS_EVEN_LEVELS)) |
                                     (old->flags & (ZCOLORS_BY_RAMP | ZCOLORS_EVEN_LEVELS)));
            }
        } else {
            b = CreateNamed("ZCOLORS", ZColorsSize(n));
            if (b)
                Defaults(b, n, nullptr);
        }
    }
    if (b) {
        if (range) {
            b->zMin = range[0];
            b->zMax = range[1];
        }
        if (output) {
            output[0] = b->zMin;
            output[1] = b->zMax;
        }
        Recompute(b);
        Release("ZCOLORS");
    }
    PlotHostRequest(PLOTHOST_BLOCKS_END, 0, 0);
}

ZColorsBlock* g_handedOut = nullptr;

ZColorsBlock* HandOut()
{
    PlotHostRequest(PLOTHOST_BLOCKS_BEGIN, 0, 0);
    g_handedOut = GetNamed("ZCOLORS", 0);
    if (!g_handedOut)
        PlotHostRequest(PLOTHOST_BLOCKS_END, 0, 0);
    return g_handedOut;
}

void TakeBack()
{
    if (!g_handedOut)
        return;
    g_handedOut = nullptr;
    Release("ZCOLORS");
    PlotHostRequest(PLOTHOST_BLOCKS_END, 0, 0);
}

// The handed-out block already holds its new n; its last slot number still tells how
// many slots it was made with.
ZColorsBlock* Grow()
{
    if (!g_handedOut)
        return nullptr;
    int n = g_handedOut->n, oldN = g_handedOut->lastSlot - 23;
    if (oldN < 0)
        oldN = 0;
    std::vector<uint8_t> copy(ZColorsSize(oldN));
    memcpy(copy.data(), g_handedOut, copy.size());
    reinterpret_cast<ZColorsBlock*>(copy.data())->n = (int16_t)oldN;
    Release("ZCOLORS");
    ZColorsBlock* b = CreateNamed("ZCOLORS", ZColorsSize(n));
    if (b) {
        CopyFrom(b, n, reinterpret_cast<const ZColorsBlock*>(copy.data()));
        Recompute(b);
    }
    g_handedOut = b;
    if (!b)
        PlotHostRequest(PLOTHOST_BLOCKS_END, 0, 0);
    return b;
}

} // namespace

void ColourMapRememberWindow(HWND window)
{
    if (!g_colourBindingHeld && window)
        g_colourWindow = window;
}

void ColourMapClearBinding()
{
    g_colourBindingHeld = false;
}

void ColourMapBindHost(INT_PTR context, PlotHostCallback callback)
{
    PlotHostRequest(PLOTHOST_BIND, context, reinterpret_cast<INT_PTR>(callback));
    g_hook = reinterpret_cast<ColorControlHook>(PlotHostRequest(PLOTHOST_QUERY_054A, 0, 0));
}

ZColorsBlock* ColourMapHandOut() { return HandOut(); }
void ColourMapTakeBack() { TakeBack(); }
ZColorsBlock* ColourMapGrow() { return Grow(); }

extern "C" INT_PTR WINAPI ScxColorControl(UINT code, INT_PTR argument, INT_PTR pointer, void* block)
{
    code &= 0xFFFF;
    if (code == 30) {
        ColourMapBindHost(argument, reinterpret_cast<PlotHostCallback>(pointer));
        return 0;
    }
    if (code == 19) {
        g_format = reinterpret_cast<ColourFormatCallback>(block);
        g_formatContext = pointer;
        return 0;
    }
    if (g_hook) {
        int handled = 0;
        if (code == 52)
            return g_hook(52, argument, pointer, &handled, 0);
        INT_PTR answer = g_hook(code, argument, pointer, &handled, 0);
        if (handled || g_hook(52, 0, 0, nullptr, 0))
            return answer;
        if (code == 9 || code == 12)
            return answer;
    }
    if (code >= 57)
        return 0;
    return BlockRequest(code, argument, pointer, static_cast<ZColorsBlock*>(block));
}

extern "C" INT_PTR WINAPI ColorMapControl(HWND window, double* output, const double* range, UINT request)
{
    switch (request) {
    case 1: return reinterpret_cast<INT_PTR>(HandOut());
    case 2: TakeBack(); return 0;
    case 8: return reinterpret_cast<INT_PTR>(Grow());
    case 10: LoadColourMap(output, range); return 0;
    default: return 0;
    }
}
