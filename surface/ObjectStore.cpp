// The object store of a 3D layer: one movable block with a header and fixed-size object
// records, owned by the kernel and passed by handle into every call. The store handle
// may move on every call that adds, so each such call answers the handle to keep.
//
// Object commands go through the type table to one handler per type; a handler answers
// the codes of its own type and passes the rest to the shared handler.
#include "Surface.h"

#include <stdio.h>
#include <string.h>

#include "resource.h"

namespace {

Scx3DHit g_hit;
bool g_dialogOpen = false;
Scx3DAttributes g_dialogAttributes;
UINT g_passPaintCode = 0;

typedef INT_PTR (*ObjectHandler)(UINT command, INT_PTR count, HWND window, void* record,
                                 Scx3DObject* object, INT_PTR extra);

SIZE_T StoreBytes(uint64_t capacity)
{
    return (SIZE_T)(capacity * SCX3D_OBJECT_SIZE + SCX3D_STORE_HEADER_SIZE);
}


HGLOBAL CopyBlock(HGLOBAL source)
{
    if (!source)
        return nullptr;
    SIZE_T size = GlobalSize(source);
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (!copy)
        return nullptr;
    void* from = GlobalLock(source);
    void* to = GlobalLock(copy);
    if (from && to)
        memcpy(to, from, size);
    if (from) GlobalUnlock(source);
    if (to) GlobalUnlock(copy);
    if (!from || !to) {
        GlobalFree(copy);
        return nullptr;
    }
    return copy;
}

// ---- Types 3, 4 and 8: line segments, line or polygon sets and the box frame

// The device points of an object, in `local` when they fit, else in one temporary block
// rather than on the stack. Null when the block cannot be had.
class DevicePoints {
public:
    DevicePoints(const Scx3DPoint* points, int n)
    {
        device_ = local_;
        if (n > (int)(sizeof local_ / sizeof local_[0])) {
            temp_ = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, (SIZE_T)n * sizeof(POINT));
            device_ = temp_ ? static_cast<POINT*>(GlobalLock(temp_)) : nullptr;
        }
        for (int i = 0; device_ && i < n; ++i)
            device_[i] = {points[i].deviceX, points[i].deviceY};
    }
    ~DevicePoints()
    {
        if (temp_) {
            GlobalUnlock(temp_);
            GlobalFree(temp_);
        }
    }
    POINT* get() const { return device_; }

private:
    POINT local_[9];
    POINT* device_;
    HGLOBAL temp_ = nullptr;
};

void DrawCall(INT_PTR draw, UINT code, INT_PTR a1 = 0, INT_PTR a2 = 0, INT_PTR a3 = 0)
{
    if (draw)
        reinterpret_cast<Scx3DDrawCallback>(draw)(code, a1, a2, a3);
}

void DrawLines(const Scx3DView* view, Scx3DObject* object, INT_PTR draw, UINT command)
{
    bool frame = (object->kind & 0x0F) == 8;
    if ((command == SCX3D_PAINT_FRAME) != frame)
        return;
    HGLOBAL locked;
    Scx3DPoint* points = ObjectPoints(object, &locked);
    if (!points)
        return;
    HDC dc = reinterpret_cast<HDC>((INT_PTR)view->deviceContext);
    int n = object->pointCount;
    DrawCall(draw, SCX3D_DRAW_BEGIN);
    DrawCall(draw, SCX3D_DRAW_ATTRIBUTES, reinterpret_cast<INT_PTR>(&object->attributes));
    if (frame) {
        if (n >= 4) {
            // Three edges from the far corner: 4 -> 1 -> 3, then 2 -> 1.
            MoveToEx(dc, points[3].deviceX, points[3].deviceY, nullptr);
            LineTo(dc, points[0].deviceX, points[0].deviceY);
            LineTo(dc, points[2].deviceX, points[2].deviceY);
            MoveToEx(dc, points[1].deviceX, points[1].deviceY, nullptr);
            LineTo(dc, points[0].deviceX, points[0].deviceY);
        }
    } else if (n > 0) {
        DevicePoints corners(points, n);
        if (corners.get())
            Polygon(dc, corners.get(), n);
    }
    DrawCall(draw, SCX3D_DRAW_RESTORE);
    DrawCall(draw, SCX3D_DRAW_END);
    if (locked)
        GlobalUnlock(locked);
}

void DrawSegments(Scx3DObject* object, INT_PTR draw, UINT command)
{
    if (command != SCX3D_PAINT)
        return;
    HGLOBAL locked;
    Scx3DPoint* points = ObjectPoints(object, &locked);
    if (!points)
        return;
    DrawCall(draw, SCX3D_DRAW_BEGIN);
    DrawCall(draw, SCX3D_DRAW_ATTRIBUTES, reinterpret_cast<INT_PTR>(&object->attributes));
    int n = object->pointCount;
    DevicePoints device(points, n);
    for (int i = 0; device.get() && i < n; ++i)
        DrawCall(draw, (i % 2) ? SCX3D_DRAW_POINT_ODD : SCX3D_DRAW_POINT_EVEN, 0,
                 reinterpret_cast<INT_PTR>(&device.get()[i]));
    DrawCall(draw, SCX3D_DRAW_RESTORE);
    DrawCall(draw, SCX3D_DRAW_END);
    if (locked)
        GlobalUnlock(locked);
}

INT_PTR LineObjectHandler(UINT command, INT_PTR count, HWND window, void* record,
                          Scx3DObject* object, INT_PTR extra)
{
    command = PaintWithoutGrid(command);
    if (command == SCX3D_OBJ_PLAIN)
        return 1;
    if (command == SCX3D_PAINT || command == SCX3D_PAINT_FRAME) {
        if ((object->kind & 0x0F) == 3)
            DrawSegments(object, extra, command);
        else
            DrawLines(static_cast<const Scx3DView*>(record), object, extra, command);
        return 0;
    }
    return SharedHandler(command, count, window, record, object, extra);
}

struct TypeRow {
    int type;
    ObjectHandler handler;
};

const TypeRow kTypes[] = {
    {2, MeshObjectHandler}, {1, TextObjectHandler}, {0, ScatterObjectHandler},
    {3, LineObjectHandler}, {4, LineObjectHandler}, {5, PatchObjectHandler},
    {6, SideWallObjectHandler}, {8, LineObjectHandler}, {0, nullptr},
};

// ---- Shared object commands

// Adds an object. Points beyond the four inline slots need their own block; a
// description that asks for more inline points than there is room for is refused, since
// copying them would overwrite the next record.
INT_PTR AddObject(INT_PTR storeHandle, const float* points, const Scx3DDescription* d, INT_PTR extra)
{
    HGLOBAL store = reinterpret_cast<HGLOBAL>(storeHandle);
    if (!store || !d || d->pointCount < 0 || d->pointCount > 0x3FFFFFF ||
        (d->pointCount > 0 && !points))
        return 1;
    bool ownBlock = (d->storage & SCX3D_STORAGE_POINT_BLOCK) != 0;
    if (!ownBlock && d->pointCount > (int32_t)SCX3D_INLINE_POINTS)
        return 1;
    auto* header = LockBlock<Scx3DStoreHeader>(store);
    if (!header)
        return 1;
    if (header->count + 2 >= header->capacity) {
        uint32_t capacity = header->capacity + SCX3D_DEFAULT_CAPACITY;
        GlobalUnlock(store);
        HGLOBAL grown = GlobalReAlloc(store, StoreBytes(capacity), GMEM_MOVEABLE | GMEM_ZEROINIT);
        if (!grown)
            return 1;
        store = grown;
        header = LockBlock<Scx3DStoreHeader>(store);
        if (!header)
            return 1;
        header->capacity = capacity;
    }
    HGLOBAL pointBlock = nullptr;
    Scx3DPoint* target;
    Scx3DObject* object = &StoreObjects(header)[header->count];
    memset(object, 0, sizeof *object);
    if (ownBlock) {
        pointBlock = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT,
                                 (SIZE_T)d->pointCount * SCX3D_POINT_SIZE + SCX3D_POINT_SIZE);
        target = pointBlock ? static_cast<Scx3DPoint*>(GlobalLock(pointBlock)) : nullptr;
        if (!target) {
            if (pointBlock)
                GlobalFree(pointBlock);
            GlobalUnlock(store);
            return 1;
        }
        object->grid.pointBlock = pointBlock;
        object->grid.pointValue = (float)extra;
    } else {
        target = object->inlinePoints;
    }
    object->attributes = d->attributes;
    object->kind = d->kind;
    object->storage = d->storage;
    object->pointCount = d->pointCount;
    object->objectId = d->objectId;
    for (int i = 0; i < d->pointCount; ++i) {
        target[i].x = points[3 * i];
        target[i].y = points[3 * i + 1];
        target[i].z = points[3 * i + 2];
    }
    if (pointBlock)
        GlobalUnlock(pointBlock);
    header->count += 1;
    GlobalUnlock(store);
    return reinterpret_cast<INT_PTR>(store);
}

void ProjectObject(const Scx3DView* view, Scx3DObject* object)
{
    HGLOBAL locked;
    Scx3DPoint* points = ObjectPoints(object, &locked);
    if (!points)
        return;
    for (int i = 0; i < object->pointCount; ++i) {
        int32_t device[2];
        ProjectPoint(PROJECT_WORLD_TO_DEVICE, view, &points[i].x, device, nullptr);
        points[i].deviceX = device[0];
        points[i].deviceY = device[1];
    }
    if (locked)
        GlobalUnlock(locked);
}

INT_PTR EditObject(HWND window, void* attributes, Scx3DObject* object)
{
    if (!object)
        return g_dialogOpen ? 1 : 0;
    int templateId = 0;
    INT_PTR procedure = ObjectCommand(SCX3D_OBJ_DIALOG, 0, window, &templateId, object, 0);
    if (!procedure || !attributes)
        return 1;
    // The dialog works on a module-wide copy; the attributes change only when it is
    // confirmed with something different.
    memcpy(&g_dialogAttributes, attributes, sizeof g_dialogAttributes);
    g_dialogOpen = true;
    INT_PTR result = DialogBoxParamA(EngineModule(), MAKEINTRESOURCEA(templateId), window,
                                     reinterpret_cast<DLGPROC>(procedure), 0);
    g_dialogOpen = false;
    if (result == 1 && memcmp(&g_dialogAttributes, attributes, sizeof g_dialogAttributes) != 0) {
        memcpy(attributes, &g_dialogAttributes, sizeof g_dialogAttributes);
        return 0;
    }
    return 1;
}

void HitObject(Scx3DObject* object, const int32_t* point, Scx3DHit* hit)
{
    INT_PTR tolerance = ObjectCommand(SCX3D_OBJ_TOLERANCE, 0, nullptr, reinterpret_cast<void*>(24),
                                      object, 0);
    if (tolerance < 16)
        tolerance = 16;
    HGLOBAL locked;
    Scx3DPoint* points = ObjectPoints(object, &locked);
    if (!points)
        return;
    POINT p = {point[0], point[1]};
    for (int i = 0; i < object->pointCount; ++i) {
        RECT r = {points[i].deviceX - (LONG)tolerance, points[i].deviceY - (LONG)tolerance,
                  points[i].deviceX + (LONG)tolerance, points[i].deviceY + (LONG)tolerance};
        if (PtInRect(&r, p)) {
            hit->kindWord = (uint16_t)(object->kind | (object->storage << 8));
            hit->objectId = object->objectId;
            hit->rect[0] = r.left;
            hit->rect[1] = r.top;
            hit->rect[2] = r.right;
            hit->rect[3] = r.bottom;
            hit->deviceX = points[i].deviceX;
            hit->deviceY = points[i].deviceY;
            hit->pointIndex = i;
            break;
        }
    }
    if (locked)
        GlobalUnlock(locked);
}

} // namespace

INT_PTR SharedHandler(UINT command, INT_PTR count, HWND window, void* record,
                      Scx3DObject* object, INT_PTR extra)
{
    switch (command) {
    case SCX3D_OBJ_ADD:
        return AddObject(count, static_cast<const float*>(record),
                         reinterpret_cast<const Scx3DDescription*>(object), extra);
    case SCX3D_PREPARE_DRAWING:
        ProjectObject(static_cast<const Scx3DView*>(record), object);
        return 0;
    case SCX3D_OBJ_EDIT: return EditObject(window, record, object);
    case SCX3D_OBJ_DIALOG: return 0;
    case SCX3D_OBJ_TOLERANCE: return reinterpret_cast<INT_PTR>(record);
    case SCX3D_STORE_HIT:
        HitObject(object, static_cast<const int32_t*>(record), reinterpret_cast<Scx3DHit*>(extra));
        return 0;
    default: return 0;
    }
}

UINT PaintWithoutGrid(UINT command)
{
    if (command == SCX3D_OBJ_FILL_GRID)
        return g_passPaintCode ? g_passPaintCode : command;
    return command;
}

INT_PTR AddToStore(INT_PTR storeHandle, const float* points, const Scx3DDescription* d, INT_PTR extra)
{
    return AddObject(storeHandle, points, d, extra);
}

namespace {

// ---- Store commands

HGLOBAL CreateStore(uint32_t capacity, INT_PTR owner)
{
    if (capacity == 0)
        capacity = SCX3D_DEFAULT_CAPACITY;
    HGLOBAL store = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, StoreBytes(capacity));
    if (!store)
        return nullptr;
    auto* header = LockBlock<Scx3DStoreHeader>(store);
    header->capacity = capacity;
    header->owner = (int32_t)owner;
    GlobalUnlock(store);
    return store;
}

void ShowGrowFailure(SIZE_T bytes)
{
    char format[128], text[160];
    if (!LoadStringA(EngineModule(), IDS_STORE_GROW_FAILED, format, sizeof format))
        strcpy(format, "%d");
    snprintf(text, sizeof text, format, (int)(bytes >> 10));
    MessageBoxA(nullptr, text, "Attention", MB_OK | MB_TASKMODAL);
}

INT_PTR Reserve(HGLOBAL store, INT_PTR more)
{
    auto* header = LockBlock<Scx3DStoreHeader>(store);
    if (!header)
        return 0;
    uint64_t wanted = (uint64_t)header->count + (uint64_t)(more < 0 ? 0 : more);
    uint32_t capacity = header->capacity;
    GlobalUnlock(store);
    if (wanted <= capacity)
        return reinterpret_cast<INT_PTR>(store);
    HGLOBAL grown = wanted <= 0xFFFFFFFFu
                        ? GlobalReAlloc(store, StoreBytes(wanted), GMEM_MOVEABLE | GMEM_ZEROINIT)
                        : nullptr;
    if (!grown) {
        ShowGrowFailure((SIZE_T)(wanted * SCX3D_OBJECT_SIZE + SCX3D_STORE_HEADER_SIZE));
        return 0;
    }
    header = LockBlock<Scx3DStoreHeader>(grown);
    header->capacity = (uint32_t)wanted;
    GlobalUnlock(grown);
    return reinterpret_cast<INT_PTR>(grown);
}

INT_PTR AddRoomForOne(HGLOBAL store)
{
    auto* header = LockBlock<Scx3DStoreHeader>(store);
    if (!header)
        return 0;
    uint32_t count = header->count;
    GlobalUnlock(store);
    HGLOBAL grown = GlobalReAlloc(store, StoreBytes((uint64_t)count + 1), GMEM_MOVEABLE | GMEM_ZEROINIT);
    if (!grown)
        return 0;
    header = LockBlock<Scx3DStoreHeader>(grown);
    header->capacity = count + 1;
    GlobalUnlock(grown);
    return reinterpret_cast<INT_PTR>(grown);
}

void FreeStore(HGLOBAL store)
{
    auto* header = LockBlock<Scx3DStoreHeader>(store);
    if (!header)
        return;
    Scx3DObject* objects = StoreObjects(header);
    for (uint32_t i = 0; i < header->count; ++i) {
        if ((objects[i].storage & SCX3D_STORAGE_POINT_BLOCK) && objects[i].grid.pointBlock)
            GlobalFree(objects[i].grid.pointBlock);
        if ((objects[i].storage & SCX3D_STORAGE_AUX_BLOCK) && objects[i].auxBlock)
            GlobalFree(objects[i].auxBlock);
    }
    if (header->extraBlock)
        GlobalFree(header->extraBlock);
    GlobalUnlock(store);
    GlobalFree(store);
}

HGLOBAL DuplicateStore(HGLOBAL store)
{
    HGLOBAL copy = CopyBlock(store);
    if (!copy)
        return nullptr;
    auto* header = LockBlock<Scx3DStoreHeader>(copy);
    Scx3DObject* objects = StoreObjects(header);
    for (uint32_t i = 0; i < header->count; ++i) {
        if (objects[i].storage & SCX3D_STORAGE_POINT_BLOCK)
            objects[i].grid.pointBlock = CopyBlock(objects[i].grid.pointBlock);
        if (objects[i].storage & SCX3D_STORAGE_AUX_BLOCK)
            objects[i].auxBlock = CopyBlock(objects[i].auxBlock);
    }
    header->extraBlock = CopyBlock(header->extraBlock);
    GlobalUnlock(copy);
    return copy;
}

INT_PTR AddPolygon(INT_PTR store, uint8_t kind, const float corners[4][3], const uint8_t* attrBytes,
                   int16_t attr4)
{
    Scx3DDescription d{};
    d.kind = kind;
    d.pointCount = 4;
    memcpy(d.attributes.bytes, attrBytes, 16);
    memcpy(&d.attributes.bytes[4], &attr4, sizeof attr4);
    INT_PTR result = AddObject(store, &corners[0][0], &d, 0);
    return result == 1 ? store : result;
}

INT_PTR AddWallsAndFrame(INT_PTR store, const Scx3DView* v)
{
    const float X = v->boxX, Y = v->boxY, Z = v->boxZ;
    uint8_t attr[16] = {};
    if (v->walls & SCX3D_WALL_Z) {
        float z = v->wallZ;
        const float c[4][3] = {{0, 0, z}, {0, Y, z}, {X, Y, z}, {X, 0, z}};
        attr[12] = v->wallColour[0];
        store = AddPolygon(store, 4, c, attr, 0);
    }
    if (v->walls & SCX3D_WALL_X) {
        float x = v->wallX;
        const float c[4][3] = {{x, 0, 0}, {x, 0, Z}, {x, Y, Z}, {x, Y, 0}};
        attr[12] = v->wallColour[1];
        store = AddPolygon(store, 4, c, attr, 0);
    }
    if (v->walls & SCX3D_WALL_Y) {
        float y = v->wallY;
        const float c[4][3] = {{0, y, 0}, {0, y, Z}, {X, y, Z}, {X, y, 0}};
        attr[12] = v->wallColour[2];
        store = AddPolygon(store, 4, c, attr, 0);
    }
    if (v->frameFlag < 0) {
        float a = X - v->wallX, b = Y - v->wallY, c = Z - v->wallZ;
        const float f[4][3] = {{a, b, c}, {a, b, v->wallZ}, {v->wallX, b, c}, {a, v->wallY, c}};
        uint8_t frame[16] = {};
        frame[1] = v->frameAttr1;
        frame[14] = v->frameAttr0;
        store = AddPolygon(store, 8, f, frame, v->frameAttr2);
    }
    return store;
}

INT_PTR HitStore(HGLOBAL store, const int32_t* point)
{
    auto* header = LockBlock<Scx3DStoreHeader>(store);
    if (!header)
        return 0;
    g_hit.objectId = 0;
    Scx3DObject* objects = StoreObjects(header);
    INT_PTR id = 0;
    for (uint32_t i = 0; i < header->count; ++i) {
        if (objects[i].objectId == 0)
            continue;
        ObjectCommand(SCX3D_STORE_HIT, 0, nullptr, const_cast<int32_t*>(point), &objects[i],
                      reinterpret_cast<INT_PTR>(&g_hit));
        if (g_hit.objectId != 0) {
            ObjectCommand(SCX3D_OBJ_HIT_NOTICE, 0, nullptr, nullptr, &objects[i],
                          reinterpret_cast<INT_PTR>(&g_hit));
            id = g_hit.objectId;
            break;
        }
    }
    GlobalUnlock(store);
    return id;
}

} // namespace

void SetPassPaintCode(UINT code)
{
    g_passPaintCode = code;
}

Scx3DAttributes* ObjectDialogAttributes()
{
    return &g_dialogAttributes;
}

HMODULE EngineModule()
{
    HMODULE self = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&EngineModule), &self);
    return self;
}

bool ObjectDialogOpen()
{
    return g_dialogOpen;
}

INT_PTR ObjectCommand(UINT command, INT_PTR count, HWND window, void* record, void* object,
                      INT_PTR extra)
{
    if (!object)
        return command == SCX3D_OBJ_EDIT ? (g_dialogOpen ? 1 : 0) : 0;
    auto* o = static_cast<Scx3DObject*>(object);
    int type = o->kind & 0x0F;
    INT_PTR result = 0;
    for (const TypeRow* row = kTypes; row->handler; ++row)
        if (type == 7 || row->type == type)
            result = row->handler(command, count, window, record, o, extra);
    return result;
}

INT_PTR StoreCommand(UINT code, INT_PTR storeHandle, HWND window, void* record, INT_PTR argument)
{
    HGLOBAL store = reinterpret_cast<HGLOBAL>(storeHandle);
    switch (code) {
    case SCX3D_STORE_CREATE:
        return reinterpret_cast<INT_PTR>(CreateStore((uint32_t)reinterpret_cast<INT_PTR>(record), storeHandle));
    case SCX3D_STORE_RESERVE: return Reserve(store, reinterpret_cast<INT_PTR>(record));
    case SCX3D_STORE_ADD_ONE: return AddRoomForOne(store);
    case SCX3D_STORE_FREE: FreeStore(store); return 0;
    case SCX3D_STORE_NOTHING: return storeHandle;
    case SCX3D_STORE_WALLS: return AddWallsAndFrame(storeHandle, static_cast<const Scx3DView*>(record));
    case SCX3D_STORE_HIT: return HitStore(store, static_cast<const int32_t*>(record));
    case SCX3D_STORE_HIT_RECT:
        memcpy(record, g_hit.rect, sizeof g_hit.rect);
        return reinterpret_cast<INT_PTR>(record);
    case SCX3D_STORE_HIT_INDEX:
        *static_cast<int32_t*>(record) = g_hit.pointIndex;
        return reinterpret_cast<INT_PTR>(record);
    case SCX3D_STORE_DUPLICATE: return reinterpret_cast<INT_PTR>(DuplicateStore(store));
    default: return 1;
    }
}
