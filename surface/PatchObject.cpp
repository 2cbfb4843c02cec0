// Patch prisms: a flat outline of up to four corners stored twice, at a base height and
// at the base plus a prism height, painted as side faces and one lid.
#include "Surface.h"

#include <string.h>

#include <vector>

namespace {

float g_patchBase = 0;
float g_patchHeight = 0;


// The outline's corners live inline, so more than four cannot be stored; descriptions
// asking for blocks of their own are not prisms.
INT_PTR AddPrism(INT_PTR storeHandle, const int32_t* pairs, const Scx3DDescription* d)
{
    HGLOBAL store = reinterpret_cast<HGLOBAL>(storeHandle);
    if (!store || !d || !pairs || d->pointCount < 1 || d->pointCount > (int)SCX3D_INLINE_POINTS ||
        (d->storage & (SCX3D_STORAGE_POINT_BLOCK | SCX3D_STORAGE_AUX_BLOCK)))
        return 1;
    int n = d->pointCount;
    std::vector<float> corners(2 * 3 * n);
    for (int i = 0; i < n; ++i) {
        float* base = &corners[3 * i];
        float* lid = &corners[3 * (n + i)];
        base[0] = lid[0] = (float)pairs[2 * i];
        base[1] = lid[1] = (float)pairs[2 * i + 1];
        base[2] = g_patchBase;
        lid[2] = g_patchBase + g_patchHeight;
    }
    // Both outlines go in through the shared add, which grows the store as needed; the
    // second add cannot fail for room once the first made it, as growth keeps two free.
    INT_PTR result = AddToStore(storeHandle, &corners[0], d, 0);
    if (result == 1)
        return 1;
    INT_PTR second = AddToStore(result, &corners[3 * n], d, 0);
    if (second == 1)
        second = result;
    auto* header = static_cast<Scx3DStoreHeader*>(GlobalLock(reinterpret_cast<HGLOBAL>(second)));
    if (!header)
        return 0;
    Scx3DObject* objects = StoreObjects(header);
    uint32_t last = header->count - 1;
    uint16_t one = 1, two = 2;
    memcpy(objects[last - 1].patchLevel, &one, 2);
    memcpy(objects[last].patchLevel, &two, 2);
    GlobalUnlock(reinterpret_cast<HGLOBAL>(second));
    return second;
}

uint16_t Level(const Scx3DObject* o)
{
    uint16_t level;
    memcpy(&level, o->patchLevel, 2);
    return level;
}

void Paint(const Scx3DView* view, Scx3DObject* o, INT_PTR callback)
{
    if (!callback)
        return;
    auto draw = reinterpret_cast<Scx3DDrawCallback>(callback);
    draw(0, 0, 0, 0);
    draw(4, reinterpret_cast<INT_PTR>(&o->attributes), 0, 0);
    if (Level(o) & 1) {
        Scx3DObject* lid = o + 1;
        // The outline nearer the eye (the smaller key) is painted last, over the sides;
        // on equal keys that is the lid.
        Scx3DObject* a = o->depthKey > lid->depthKey ? o : lid;
        Scx3DObject* b = a == o ? lid : o;
        int n = o->pointCount;
        POINT pa[SCX3D_INLINE_POINTS], pb[SCX3D_INLINE_POINTS];
        for (int i = 0; i < n; ++i) {
            pa[i] = {a->inlinePoints[i].deviceX, a->inlinePoints[i].deviceY};
            pb[i] = {b->inlinePoints[i].deviceX, b->inlinePoints[i].deviceY};
        }
        HDC dc = reinterpret_cast<HDC>((INT_PTR)view->deviceContext);
        for (int i = 1; i <= n; ++i) {
            int k = i % n, p = k == 0 ? n - 1 : k - 1;
            POINT side[4] = {pa[p], pa[k], pb[k], pb[p]};
            Polygon(dc, side, 4);
        }
        Polygon(dc, pa, n);
    }
    draw(5, 0, 0, 0);
    draw(2, 0, 0, 0);
}

} // namespace

INT_PTR PatchObjectHandler(UINT command, INT_PTR count, HWND window, void* record, Scx3DObject* object,
                           INT_PTR extra)
{
    command = PaintWithoutGrid(command);
    switch (command) {
    case SCX3D_OBJ_PLAIN: return 1;
    case SCX3D_OBJ_ADD:
        return AddPrism(count, static_cast<const int32_t*>(record), reinterpret_cast<const Scx3DDescription*>(object));
    case SCX3D_PAINT: Paint(static_cast<const Scx3DView*>(record), object, extra); return 0;
    case SCX3D_PAINT_FRAME: return 0;
    case 24:
    case SCX3D_OBJECT_COMMAND | 24: { // the same, as the kernel sends it through SCX3D
        const float* values = static_cast<const float*>(record);
        g_patchBase = values[0];
        g_patchHeight = values[1];
        return 0;
    }
    default: return SharedHandler(command, count, window, record, object, extra);
    }
}
