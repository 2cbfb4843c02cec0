// The 3D text object: a label at projected anchor points, placed in a device rectangle
// by its alignment code. The object keeps its own copy of the text.
#include "Surface.h"

#include <string.h>

namespace {

enum { TEXT_HEIGHT = 4, TEXT_ALIGNMENT = 8 };

INT_PTR AddText(INT_PTR store, const char* text, const TextDescription* d)
{
    if (!d || d->pointCount < 0 || d->pointCount > (int)SCX3D_INLINE_POINTS)
        return 1;
    Scx3DDescription shared{};
    shared.kind = d->kind;
    // The text block belongs to the object, so that freeing and copying the store
    // free and copy it too.
    shared.storage = (uint8_t)((d->storage & ~SCX3D_STORAGE_POINT_BLOCK) | SCX3D_STORAGE_AUX_BLOCK);
    shared.pointCount = d->pointCount;
    shared.objectId = d->objectId;
    memcpy(shared.attributes.bytes, d->attributes, sizeof d->attributes);
    HGLOBAL block = nullptr;
    if (text) {
        size_t length = strlen(text);
        block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, length + 1);
        char* copy = block ? static_cast<char*>(GlobalLock(block)) : nullptr;
        if (!copy) {
            if (block)
                GlobalFree(block);
            return 1;
        }
        memcpy(copy, text, length);
        GlobalUnlock(block);
    }
    INT_PTR result = AddToStore(store, &d->anchors[0][0], &shared, 0);
    if (result == 1) {
        if (block)
            GlobalFree(block);
        return 1;
    }
    auto* header = static_cast<Scx3DStoreHeader*>(GlobalLock(reinterpret_cast<HGLOBAL>(result)));
    StoreObjects(header)[header->count - 1].auxBlock = block;
    GlobalUnlock(reinterpret_cast<HGLOBAL>(result));
    return result;
}

void Place(const Scx3DView* view, Scx3DObject* o)
{
    SharedHandler(SCX3D_PREPARE_DRAWING, 0, nullptr, const_cast<Scx3DView*>(view), o, 0);
    if (o->pointCount < 2)
        return;
    Scx3DPoint* p = o->inlinePoints;
    int x0 = p[0].deviceX, y0 = p[0].deviceY, x1 = p[1].deviceX;
    int w = abs((int)(p[0].y - p[1].y));
    int wx = abs((int)(p[0].x - p[1].x));
    if (wx > w)
        w = wx;
    int h = *reinterpret_cast<const int16_t*>(&o->attributes.bytes[TEXT_HEIGHT]);
    int m = (x0 + x1) / 2;
    int r[4] = {0, 0, 0, 0};
    switch (o->attributes.bytes[TEXT_ALIGNMENT]) {
    case 0: r[0] = x0; r[1] = y0 - h / 2; r[2] = x0 + w; r[3] = y0 + h / 2; break;
    case 2: r[0] = x0 - w; r[1] = y0 - h / 2; r[2] = x0; r[3] = y0 + h / 2; break;
    case 6: r[0] = m - w / 2; r[1] = y0; r[2] = m + w / 2; r[3] = y0 + h; break;
    case 14: r[0] = m - w / 2; r[1] = y0 - h; r[2] = m + w / 2; r[3] = y0; break;
    case 38: r[0] = m - w / 2; r[1] = y0 - h / 2; r[2] = m + w / 2; r[3] = y0 + h / 2; break;
    default: break;
    }
    p[0].deviceX = r[0];
    p[0].deviceY = r[1];
    p[1].deviceX = r[2];
    p[1].deviceY = r[3];
}

RECT Rectangle(const Scx3DObject* o)
{
    const Scx3DPoint* p = o->inlinePoints;
    return RECT{p[0].deviceX, p[0].deviceY, p[1].deviceX, p[1].deviceY};
}

void Draw(Scx3DObject* o, INT_PTR callback)
{
    if (!callback)
        return;
    auto draw = reinterpret_cast<Scx3DDrawCallback>(callback);
    draw(12, 0, 0, 0);
    draw(1, reinterpret_cast<INT_PTR>(&o->attributes), 0, 0);
    if (o->auxBlock) {
        if (const char* text = static_cast<const char*>(GlobalLock(o->auxBlock))) {
            RECT r = Rectangle(o);
            draw(3, reinterpret_cast<INT_PTR>(text), reinterpret_cast<INT_PTR>(&r),
                 o->attributes.bytes[TEXT_ALIGNMENT]);
            draw(2, 0, 0, 0);
            GlobalUnlock(o->auxBlock);
        }
    }
    draw(2, 0, 0, 0);
}

void Hit(Scx3DObject* o, const int32_t* point, Scx3DHit* hit)
{
    RECT r = Rectangle(o);
    POINT p = {point[0], point[1]};
    if (o->pointCount < 2 || !PtInRect(&r, p))
        return;
    hit->kindWord = (uint16_t)(o->kind | (o->storage << 8));
    hit->objectId = o->objectId;
    hit->rect[0] = r.left;
    hit->rect[1] = r.top;
    hit->rect[2] = r.right;
    hit->rect[3] = r.bottom;
    hit->deviceX = r.left;
    hit->deviceY = r.top;
    hit->pointIndex = 0;
}

} // namespace

INT_PTR TextObjectHandler(UINT command, INT_PTR count, HWND window, void* record, Scx3DObject* object,
                          INT_PTR extra)
{
    command = PaintWithoutGrid(command);
    switch (command) {
    case SCX3D_OBJ_PLAIN: return 1;
    case SCX3D_OBJ_ADD:
        return AddText(count, static_cast<const char*>(record), reinterpret_cast<const TextDescription*>(object));
    case SCX3D_PREPARE_DRAWING: Place(static_cast<const Scx3DView*>(record), object); return 0;
    case SCX3D_PAINT: Draw(object, extra); return 0;
    case SCX3D_PAINT_FRAME: return 0;
    case SCX3D_STORE_HIT:
        Hit(object, static_cast<const int32_t*>(record), reinterpret_cast<Scx3DHit*>(extra));
        return 0;
    default: return SharedHandler(command, count, window, record, object, extra);
    }
}
