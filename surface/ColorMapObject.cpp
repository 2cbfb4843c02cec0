// The colour map as a script object: the interpreter tests that it exists, lists its
// members and gets and sets them by name; COLOR and Z take a 1-based band index.
#include "Surface.h"

#include <stdio.h>
#include <string.h>

#include "qxutil.h"

namespace {

// The code's bits 0x1000, 0x2000 and 0x4000 name the follow-up of a set.
enum : int {
    FOLLOW_GROW = 0x1000,
    FOLLOW_COLOURS = 0x2000,
    FOLLOW_RANGE = 0x4000,
};

struct Property {
    const char* name;
    int code;
};

const Property kProperties[] = {
    {"COLOR", 0x2008},      {"COLORABOVE", 0x2000}, {"COLORBELOW", 0x2001}, {"COLORHIGH", 0x2002},
    {"COLORLOW", 0x2004},   {"COLORMID", 0x2003},   {"COLORMISS", 0x200B},  {"MODE", 0x2007},
    {"NUMCOLORS", 0x1000},  {"RAMP", 0x2006},       {"RAMPMODE", 0x2005},   {"Z", 0x200A},
    {"ZMAX", 0x4002},       {"ZMIN", 0x4001},       {"ZMISSING", 0x4000},
};

const Property* Find(const char* base)
{
    for (const Property& p : kProperties)
        if (strcmp(p.name, base) == 0)
            return &p;
    return nullptr;
}

int32_t* ColourField(ZColorsBlock* b, int code, int index)
{
    switch (code) {
    case 0x2008: return &b->slots[index + 3].colour;
    case 0x2000: return &b->colourAbove;
    case 0x2001: return &b->colourBelow;
    case 0x2002: return &b->rampHigh;
    case 0x2004: return &b->rampLow;
    case 0x2003: return &b->rampMiddle;
    case 0x200B: return &b->colourMissing;
    default: return nullptr;
    }
}

double* DoubleField(ZColorsBlock* b, int code)
{
    switch (code) {
    case 0x4000: return &b->zMissing;
    case 0x4001: return &b->zMin;
    case 0x4002: return &b->zMax;
    default: return nullptr;
    }
}

double Get(ZColorsBlock* b, int code, int index)
{
    if (int32_t* c = ColourField(b, code, index))
        return *c;
    if (double* d = DoubleField(b, code))
        return *d;
    switch (code) {
    case 0x2007:
    case 0x2005: return b->flags & 3;
    case 0x1000: return b->n;
    case 0x2006: return b->rampMode;
    case 0x200A: return b->slots[index + 3].level;
    default: return 0;
    }
}

// Stores a set value; a band colour under the ramp and a band level under even spacing
// are not the user's to set and stay as they are.
void Set(ZColorsBlock* b, int code, int index, double value)
{
    int whole = (int)value;
    if (double* d = DoubleField(b, code)) {
        *d = value;
        return;
    }
    switch (code) {
    case 0x2008:
        if (!(b->flags & ZCOLORS_BY_RAMP))
            b->slots[index + 3].colour = whole;
        return;
    case 0x200A:
        if (!(b->flags & ZCOLORS_EVEN_LEVELS))
            b->slots[index + 3].level = (int16_t)whole;
        return;
    case 0x2007:
    case 0x2005:
        if (whole == 0)
            b->flags &= ~3;
        else if (whole == 1)
            b->flags |= 3;
        return;
    case 0x2006: b->rampMode = (int16_t)whole; return;
    case 0x1000:
        // The dialog's bounds: fewer than 2 or more than 256 bands make no map, and a
        // negative count would run the slot arithmetic out of the block.
        b->n = (int16_t)(whole < 2 ? 2 : whole > 256 ? 256 : whole);
        return;
    default:
        if (int32_t* c = ColourField(b, code, index))
            *c = whole;
        return;
    }
}

bool IsSet(UINT operation)
{
    return operation == 17 || operation == 19;
}

INT_PTR Member(HWND window, const char* name, const char* argument, double* value, UINT operation)
{
    ZColorsBlock* b = ColourMapHandOut();
    if (operation == 0x4000) {
        ColourMapTakeBack();
        return b ? 1 : 0;
    }
    if (!b)
        return 2;
    INT_PTR result = 2;
    if (operation == 16385 || operation == 16386) {
        bool low = argument && argument[0] == '1';
        double& field = low ? b->zMin : b->zMax;
        if (operation == 16385) {
            *value = field;
            result = 0;
        } else {
            field = *value;
            result = 1 | 0x100;
        }
        ColourMapTakeBack();
        return result;
    }
    char base[64];
    int index = 0;
    if (strlen(name) >= sizeof base) {
        ColourMapTakeBack();
        return 2;
    }
    UtilSplitIndexedName(base, &index, name);
    const Property* p = Find(base);
    bool indexed = p && (p->code == 0x2008 || p->code == 0x200A);
    if (!p || (indexed && (index < 1 || index > b->n)) || !value) {
        ColourMapTakeBack();
        return 2;
    }
    if (!IsSet(operation)) {
        *value = Get(b, p->code, index);
        ColourMapTakeBack();
        return 1;
    }
    Set(b, p->code, index, *value);
    result = 1;
    if (p->code & FOLLOW_GROW) {
        if (!ColourMapGrow())
            return 2;
        result |= 0x1100;
    } else if (p->code & FOLLOW_COLOURS) {
        ScxColorControl(45, 0, 0, b);
        result |= 0x1000;
    } else if (p->code & FOLLOW_RANGE) {
        result |= 0x100;
    }
    ColourMapTakeBack();
    return result;
}

} // namespace

extern "C" INT_PTR WINAPI ScxCmdObj(HWND window, const char* name, const char* argument, double* value,
                                    PlotHostCallback callback, UINT operation)
{
    operation &= 0xFFFF;
    if (operation == 60) {
        ScxColorControl(30, reinterpret_cast<INT_PTR>(window), reinterpret_cast<INT_PTR>(callback), nullptr);
        return 1;
    }
    if (!name || !name[0]) {
        if (operation == 0x4000)
            return Member(window, "", argument, value, operation);
        if (operation != 18)
            return 2;
        for (const Property& p : kProperties) {
            char text[32];
            snprintf(text, sizeof text, "type %s", p.name);
            SendMessageA(window, WM_USER, 0, reinterpret_cast<LPARAM>(text));
        }
        return 3;
    }
    return Member(window, name, argument, value, operation);
}
