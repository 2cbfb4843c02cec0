// The drawing pass of a 3D layer: preparation (reprojection and the drawing order) and
// painting, object by object or cell by cell over the bucket grid from the box corner
// farthest from the eye.
#include "Surface.h"

#include <string.h>

#include <vector>

#include "qxutil.h"

namespace {


// Store-wide pass flags live in byte 1 of the owner word; 0x10 asks for painting in
// store order without the grid and with the identity drawing order.
bool StoreOrderOnly(const Scx3DStoreHeader* header)
{
    return (reinterpret_cast<const uint8_t*>(&header->owner)[1] & 0x10) != 0;
}

// ---- Sorting, largest key first

void InsertionSort(uint16_t* index, const float* key, int first, int last)
{
    for (int i = first + 1; i <= last; ++i) {
        uint16_t moving = index[i];
        int j = i - 1;
        while (j >= first && key[index[j]] < key[moving]) {
            index[j + 1] = index[j];
            --j;
        }
        index[j + 1] = moving;
    }
}

// Quicksort on an explicit stack, always continuing with the smaller part. The pivot
// position comes from a small fixed generator so that the same keys always give the
// same order. More than 25 pending ranges end the sort, leaving it unfinished: the
// order is a painting hint, and a bounded stack matters more than a perfect order.
void QuickSort(uint16_t* index, const float* key, int count)
{
    struct Range { int first, last; };
    Range stack[26];
    int pending = 0;
    int g = 0;
    int first = 0, last = count - 1;
    for (;;) {
        if (last - first + 1 <= 7) {
            InsertionSort(index, key, first, last);
            if (pending == 0)
                return;
            --pending;
            first = stack[pending].first;
            last = stack[pending].last;
            continue;
        }
        g = (g * 211 + 1663) % 7875;
        int p = first + (int)((long long)g * (last - first + 1) / 7875);
        uint16_t t = index[p]; index[p] = index[last]; index[last] = t;
        float pivot = key[index[last]];
        int store = first;
        for (int i = first; i < last; ++i)
            if (key[index[i]] > pivot) {
                t = index[i]; index[i] = index[store]; index[store] = t;
                ++store;
            }
        t = index[store]; index[store] = index[last]; index[last] = t;
        Range left = {first, store - 1}, right = {store + 1, last};
        Range smaller = (left.last - left.first) < (right.last - right.first) ? left : right;
        Range larger = (left.last - left.first) < (right.last - right.first) ? right : left;
        if (larger.last > larger.first) {
            if (pending >= 25)
                return;
            stack[pending++] = larger;
        }
        first = smaller.first;
        last = smaller.last;
        if (last < first) {
            if (pending == 0)
                return;
            --pending;
            first = stack[pending].first;
            last = stack[pending].last;
        }
    }
}

// The depth of each patch of a patch store, seen from the eye: where the line from the
// eye toward the middle of all patches meets the patch's plane, as a squared distance.
// A patch whose plane the line misses keeps its stored key.
void PatchKeys(const Scx3DView* view, Scx3DObject* objects, uint32_t count, float* key, float* tieKey)
{
    std::vector<float> corners((size_t)count * 3 * SCX3D_INLINE_POINTS);
    double centre[3] = {0, 0, 0};
    for (uint32_t i = 0; i < count; ++i) {
        int n = objects[i].pointCount;
        double mean[3] = {0, 0, 0};
        for (int k = 0; k < n; ++k) {
            float* c = &corners[(i * SCX3D_INLINE_POINTS + k) * 3];
            ProjectPoint(PROJECT_MATRIX, view, &objects[i].inlinePoints[k].x, nullptr, c);
            for (int a = 0; a < 3; ++a)
                mean[a] += c[a] / n;
        }
        for (int a = 0; a < 3; ++a)
            centre[a] += mean[a] / count;
    }
    const float* eye = view->eyeLocal;
    float towards[3] = {(float)centre[0] - eye[0], (float)centre[1] - eye[1], (float)centre[2] - eye[2]};
    float target[3] = {(float)centre[0], (float)centre[1], (float)centre[2]};
    for (uint32_t i = 0; i < count; ++i) {
        const float* c = &corners[i * SCX3D_INLINE_POINTS * 3];
        int n = objects[i].pointCount;
        float t;
        if (LinePlaneParameter(n, c, eye, towards, &t)) {
            float meet[3];
            PointOnLine(eye, target, t, meet);
            key[i] = (meet[0] - eye[0]) * (meet[0] - eye[0]) + (meet[1] - eye[1]) * (meet[1] - eye[1]) +
                     (meet[2] - eye[2]) * (meet[2] - eye[2]);
        }
        const float* r = PlaneReference(n, c);
        tieKey[i] = (r[0] - eye[0]) * (r[0] - eye[0]) + (r[1] - eye[1]) * (r[1] - eye[1]) +
                    (r[2] - eye[2]) * (r[2] - eye[2]);
    }
}

// The order holds 16-bit indices; a store too large for them gets no order rather than
// one whose indices wrap onto other objects.
void BuildOrder(Scx3DStoreHeader* header, const Scx3DView* view, int mode)
{
    if (header->extraBlock) {
        GlobalFree(header->extraBlock);
        header->extraBlock = nullptr;
    }
    uint32_t count = header->count;
    if (count == 0 || count > 0x10000)
        return;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, count * sizeof(uint16_t));
    uint16_t* index = block ? static_cast<uint16_t*>(GlobalLock(block)) : nullptr;
    if (!index) {
        if (block)
            GlobalFree(block);
        return;
    }
    header->extraBlock = block;
    for (uint32_t i = 0; i < count; ++i)
        index[i] = (uint16_t)i;
    if (!StoreOrderOnly(header) && count > 1) {
        std::vector<float> key(count);
        Scx3DObject* objects = StoreObjects(header);
        for (uint32_t i = 0; i < count; ++i)
            key[i] = objects[i].depthKey;
        bool patches = (objects[0].kind | (objects[0].storage << 8)) == 0x8005;
        std::vector<float> tieKey(patches ? count : 0);
        if (patches)
            PatchKeys(view, objects, count, key.data(), tieKey.data());
        if (mode == 1)
            QuickSort(index, key.data(), (int)count);
        else
            InsertionSort(index, key.data(), 0, (int)count - 1);
        if (patches) {
            // Patches at one depth are told apart by the distance of their planes'
            // reference corners.
            for (uint32_t first = 0; first < count;) {
                uint32_t last = first;
                while (last + 1 < count && key[index[last + 1]] == key[index[first]])
                    ++last;
                if (last > first)
                    QuickSort(index + first, tieKey.data(), (int)(last - first + 1));
                first = last + 1;
            }
        }
    }
    GlobalUnlock(block);
}

// ---- Painting

void CallbackBracket(Scx3DObject* objects, uint32_t count, UINT code, const Scx3DView* view)
{
    for (uint32_t i = 0; i < count; ++i) {
        int type = objects[i].kind & 0x0F;
        const Scx3DAttributes& a = objects[i].attributes;
        if ((type == 0 || type == 2) && a.callback && a.callbackUser)
            a.callback(a.callbackUser, code, (INT_PTR)view->deviceContext, 0, 0, 0);
    }
}

double CornerDistance(const Scx3DView* v, int q)
{
    float a = (float)kWalkCorner[q][0], b = (float)kWalkCorner[q][1];
    float p[3];
    p[0] = b * v->boxX;
    if (v->horizontal) {
        p[1] = a * v->boxY;
        p[2] = v->boxZ * 0.5f;
    } else {
        p[2] = a * v->boxZ;
        p[1] = v->boxZ * 0.5f;
    }
    float viewing[3];
    ProjectPoint(PROJECT_MATRIX, v, p, nullptr, viewing);
    double d = 0;
    for (int i = 0; i < 3; ++i)
        d += ((double)viewing[i] - v->eyeLocal[i]) * ((double)viewing[i] - v->eyeLocal[i]);
    return d;
}

} // namespace

uint16_t WalkFlags(int f, bool next)
{
    uint16_t flags = (uint16_t)(f << 8);
    if (next)
        flags |= BUCKET_WALK_NEXT;
    bool e = !next;
    int c = kWalkCorner[f][0];
    int h = kWalkCorner[e ? NextCorner(f) : PrevCorner(f)][0];
    int g;
    if (c == h) {
        h = kWalkCorner[e ? PrevCorner(f) : NextCorner(f)][0];
        flags &= ~BUCKET_WALK_ROWS_OUTER;
        g = e ? NextCorner(f) : PrevCorner(f);
    } else {
        flags |= BUCKET_WALK_ROWS_OUTER;
        g = e ? PrevCorner(f) : NextCorner(f);
    }
    flags |= BUCKET_ROWS_DOWN | BUCKET_COLUMNS_DOWN;
    if (!(h < c))
        flags &= ~BUCKET_ROWS_DOWN;
    if (!(kWalkCorner[g][1] < kWalkCorner[f][1]))
        flags &= ~BUCKET_COLUMNS_DOWN;
    return flags;
}

BucketGridSpec PassGridSpec(const Scx3DView* v)
{
    double distance[4];
    int f = 0;
    for (int q = 0; q < 4; ++q) {
        distance[q] = CornerDistance(v, q);
        if (distance[q] > distance[f])
            f = q;
    }
    BucketGridSpec spec{};
    spec.gridFlags = WalkFlags(f, distance[NextCorner(f)] > distance[PrevCorner(f)]);
    int n = v->horizontal ? 32 : 64;
    spec.columns = spec.rows = (uint16_t)(n + 1);
    spec.dx = v->boxX / n;
    spec.dy = v->boxY / n;
    return spec;
}

void PrepareDrawing(INT_PTR storeHandle, Scx3DView* view, int mode)
{
    HGLOBAL store = reinterpret_cast<HGLOBAL>(storeHandle);
    auto* header = store ? static_cast<Scx3DStoreHeader*>(GlobalLock(store)) : nullptr;
    if (!header)
        return;
    if (view->state & SCX3D_STATE_REPROJECT) {
        Scx3DObject* objects = StoreObjects(header);
        for (uint32_t i = 0; i < header->count; ++i)
            ObjectCommand(SCX3D_PREPARE_DRAWING, storeHandle, nullptr, view, &objects[i], 0);
    }
    BuildOrder(header, view, mode);
    GlobalUnlock(store);
}

// Walks the line indices from one corner to the other, both included; a step that does
// not lead there ends the walk instead of running away.
static bool Between(int value, int a, int b)
{
    return a <= b ? (value >= a && value <= b) : (value <= a && value >= b);
}

void Paint(HWND window, INT_PTR storeHandle, Scx3DView* view, UINT paintCode, INT_PTR drawCallback)
{
    HGLOBAL store = reinterpret_cast<HGLOBAL>(storeHandle);
    auto* header = store ? static_cast<Scx3DStoreHeader*>(GlobalLock(store)) : nullptr;
    if (!header)
        return;
    Scx3DObject* objects = StoreObjects(header);
    uint32_t count = header->count;
    CallbackBracket(objects, count, 1, view);
    UtilProgressBox(window, UTIL_PROGRESS_OPEN_ALT, 0, "Drawing");

    BucketGridSpec spec = PassGridSpec(view);
    memcpy(view->bucketSpec, &spec, sizeof spec);
    bool plain = true;
    // A mesh answers by lending its own grid to the pass through `spec`.
    for (uint32_t i = 0; i < count; ++i)
        if (!ObjectCommand(SCX3D_OBJ_PLAIN, storeHandle, nullptr, view, &objects[i], (INT_PTR)&spec))
            plain = false;
    if (plain || StoreOrderOnly(header)) {
        // Painted whole, band edges within a unit of a cell corner snap to it, so that
        // no hairline slivers show between neighbouring cells.
        EdgeFactor(nullptr, nullptr, 1);
        for (uint32_t i = 0; i < count; ++i)
            ObjectCommand(paintCode, storeHandle, window, view, &objects[i], drawCallback);
        EdgeFactor(nullptr, nullptr, 0);
    } else {
        BucketGridSpec copy = spec;
        BucketGrids(1, 0, 0, &copy, view, nullptr);
        Scx3DObject* mesh = nullptr;
        bool stopped = false;
        SetPassPaintCode(paintCode);
        for (uint32_t i = 0; i < count && !stopped; ++i) {
            if ((objects[i].kind & 0x0F) == 2) {
                ObjectCommand(SCX3D_OBJ_PASS_MESH, storeHandle, nullptr, view, &objects[i], 0);
                mesh = &objects[i];
            } else if (ObjectCommand(SCX3D_OBJ_FILL_GRID, (INT_PTR)i, window, view, &objects[i], drawCallback) & 1) {
                stopped = true;
            }
        }
        if (!stopped) {
            const BucketGridSpec& s = copy;
            bool rowsOuter = (s.gridFlags & BUCKET_WALK_ROWS_OUTER) != 0;
            int outer0 = rowsOuter ? s.rowCorner0 : s.colCorner0, outer1 = rowsOuter ? s.rowCorner1 : s.colCorner1;
            int inner0 = rowsOuter ? s.colCorner0 : s.rowCorner0, inner1 = rowsOuter ? s.colCorner1 : s.rowCorner1;
            int outerStep = rowsOuter ? s.rowStep : s.colStep, innerStep = rowsOuter ? s.colStep : s.rowStep;
            for (int o = outer0; Between(o, outer0, outer1); o += outerStep) {
                for (int in = inner0; Between(in, inner0, inner1); in += innerStep) {
                    if (UtilProgressBox(nullptr, UTIL_PROGRESS_POLL, 0, nullptr))
                        break;
                    int row = rowsOuter ? o : in, column = rowsOuter ? in : o;
                    BucketGrids(4, row, column, view, mesh, reinterpret_cast<void*>(drawCallback));
                }
            }
        }
        SetPassPaintCode(0);
        BucketGrids(6, 0, 0, &copy, nullptr, nullptr);
    }
    for (uint32_t i = 0; i < count; ++i)
        ObjectCommand(SCX3D_AFTER_PAINT, storeHandle, window, view, &objects[i], drawCallback);
    UtilProgressBox(window, UTIL_PROGRESS_CLOSE, 0, nullptr);
    CallbackBracket(objects, count, 2, view);
    GlobalUnlock(store);
}
