// Text objects, patch prisms and the polygon geometry they share.
#include <gtest/gtest.h>

#include <vector>

#include "Surface.h"
#include "ViewFixture.h"
#include "qxtest/Pixels.h"

namespace {

INT_PTR StoreCmd(UINT code, INT_PTR store, void* record)
{
    return SCX3D(nullptr, SCX3D_OBJECT_COMMAND | SCX3D_STORE_COMMAND | code, store, record, 0);
}

// A flat view that maps world (x, y) to device (x, -y): device points are whole world
// coordinates, so rectangles can be worked out by hand.
Scx3DView PlainView()
{
    Scx3DView v;
    memset(&v, 0, sizeof v);
    v.flat = 1;
    for (int i = 0; i < 4; ++i)
        v.flatMatrix[i * 5] = 1;
    v.pixelScale = 1;
    v.state = SCX3D_STATE_REPROJECT;
    return v;
}

struct Call {
    UINT code;
    std::string text;
    RECT rect;
    INT_PTR alignment;
};
std::vector<Call> g_calls;

INT_PTR WINAPI Record(UINT code, INT_PTR a1, INT_PTR a2, INT_PTR a3)
{
    Call c{code, {}, {}, 0};
    if (code == 3) {
        c.text = (const char*)a1;
        c.rect = *(const RECT*)a2;
        c.alignment = a3;
    }
    g_calls.push_back(c);
    return 0;
}

Scx3DObject* ObjectAt(INT_PTR store, int index)
{
    auto* header = (Scx3DStoreHeader*)GlobalLock((HGLOBAL)store);
    GlobalUnlock((HGLOBAL)store); // the store block is not moved while the test looks
    return (Scx3DObject*)((uint8_t*)header + SCX3D_STORE_HEADER_SIZE) + index;
}
} // namespace

TEST(TextObject, RectangleByAlignmentDrawingAndHits)
{
    // Anchors at device (100, 50) and (121, 81): w = max(31, 21) = 31, h = 11, m = 110.
    struct Row { uint8_t alignment; RECT rect; };
    const Row rows[] = {
        {0, {100, 45, 131, 55}}, {2, {69, 45, 100, 55}}, {6, {95, 50, 125, 61}},
        {14, {95, 39, 125, 50}}, {38, {95, 45, 125, 55}}, {5, {0, 0, 0, 0}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(int(r.alignment));
        Scx3DView v = PlainView();
        TextDescription d{};
        d.kind = 1;
        d.pointCount = 2;
        d.objectId = 9;
        d.anchors[0][0] = 100; d.anchors[0][1] = -50;
        d.anchors[1][0] = 121; d.anchors[1][1] = -81;
        d.attributes[4] = 11;
        d.attributes[8] = r.alignment;
        INT_PTR store = StoreCmd(SCX3D_STORE_CREATE, 0, nullptr);
        store = SCX3D(nullptr, SCX3D_OBJ_ADD, store, (void*)"Title", (INT_PTR)&d);
        SCX3D(nullptr, SCX3D_PREPARE_DRAWING, store, &v, 0);
        g_calls.clear();
        SCX3D(nullptr, SCX3D_PAINT, store, &v, (INT_PTR)&Record);
        ASSERT_EQ(5u, g_calls.size());
        EXPECT_EQ((std::vector<UINT>{12, 1, 3, 2, 2}),
                  (std::vector<UINT>{g_calls[0].code, g_calls[1].code, g_calls[2].code, g_calls[3].code, g_calls[4].code}));
        EXPECT_EQ("Title", g_calls[2].text);
        EXPECT_EQ(r.alignment, g_calls[2].alignment);
        const RECT& got = g_calls[2].rect;
        EXPECT_EQ(r.rect.left, got.left);
        EXPECT_EQ(r.rect.top, got.top);
        EXPECT_EQ(r.rect.right, got.right);
        EXPECT_EQ(r.rect.bottom, got.bottom);
        if (r.alignment == 38) {
            // No tolerance, and the right and bottom edges are outside.
            const struct { int x, y; int16_t id; } probes[] = {{95, 45, 9}, {124, 54, 9}, {125, 50, 0}, {100, 55, 0}};
            for (const auto& p : probes) {
                int32_t point[2] = {p.x, p.y};
                EXPECT_EQ(p.id, StoreCmd(SCX3D_STORE_HIT, store, point)) << p.x << "," << p.y;
            }
        }
        StoreCmd(SCX3D_STORE_FREE, store, nullptr);
    }

    // Without text only the attribute and end calls are made.
    Scx3DView v = PlainView();
    TextDescription d{};
    d.kind = 1;
    d.pointCount = 2;
    INT_PTR store = StoreCmd(SCX3D_STORE_CREATE, 0, nullptr);
    store = SCX3D(nullptr, SCX3D_OBJ_ADD, store, nullptr, (INT_PTR)&d);
    g_calls.clear();
    SCX3D(nullptr, SCX3D_PAINT, store, &v, (INT_PTR)&Record);
    EXPECT_EQ(3u, g_calls.size());
    d.pointCount = 5;
    EXPECT_EQ(1, SCX3D(nullptr, SCX3D_OBJ_ADD, store, (void*)"x", (INT_PTR)&d)) << "four anchors at most";
    StoreCmd(SCX3D_STORE_FREE, store, nullptr);
}

TEST(Geometry, NormalPlaneLineAndFacing)
{
    const float square[] = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
    float n[3];
    PolygonNormal(4, square, n);
    EXPECT_EQ(0, n[0]);
    EXPECT_EQ(0, n[1]);
    EXPECT_EQ(2, n[2]);
    const float zeros[] = {0, 0, 0, 0, 0, 0, 1, 2, 3};
    const float* r = PlaneReference(3, zeros);
    EXPECT_EQ(1, r[0]);
    EXPECT_EQ(3, r[2]);

    struct Row { float e[3], d[3]; bool ok; float t; };
    const Row rows[] = {
        {{0.5f, 0.5f, 5}, {0, 0, -1}, true, 5},  // straight down onto the square's plane
        {{0, 0, 5}, {1, 0, 0}, false, 0},        // parallel, in front: N.R - N.E = -10
        {{0, 0, -5}, {1, 0, 0}, true, 10},       // parallel, behind: the distance itself
    };
    for (const auto& row : rows) {
        float t = -1;
        EXPECT_EQ(row.ok, LinePlaneParameter(4, square, row.e, row.d, &t));
        if (row.ok) {
            EXPECT_FLOAT_EQ(row.t, t);
        }
    }
    float e[3] = {0, 0, 0}, d[3] = {2, 4, 6}, p[3];
    PointOnLine(e, d, 0.5f, p);
    EXPECT_EQ(3, p[2]);

    Scx3DView v;
    memset(&v, 0, sizeof v);
    v.eyeWorld[2] = 10;
    EXPECT_FALSE(FacesAway(4, &v, square));
    v.eyeWorld[2] = -10;
    EXPECT_TRUE(FacesAway(4, &v, square));
}

TEST(Prism, AddPaintAndOrderOfAPatchStore)
{
    float settings[2] = {100, 50};
    Scx3DDescription probe{};
    probe.kind = 5;
    SCX3D(nullptr, SCX3D_OBJECT_COMMAND | 24, 0, settings, (INT_PTR)&probe);

    INT_PTR store = StoreCmd(SCX3D_STORE_CREATE, 0, nullptr);
    Scx3DDescription d{};
    d.kind = 5;
    d.storage = 0x80; // a patch store
    d.pointCount = 3;
    d.objectId = 1;
    // Three triangles, near, middle and far from the default eye at -y.
    const int32_t outlines[3][6] = {{900, 100, 1400, 100, 1150, 500},
                                    {900, 1000, 1400, 1000, 1150, 1400},
                                    {900, 1800, 1400, 1800, 1150, 2200}};
    for (const auto& o : outlines)
        store = SCX3D(nullptr, SCX3D_OBJ_ADD, store, (void*)o, (INT_PTR)&d);
    ASSERT_EQ(6u, ((Scx3DStoreHeader*)GlobalLock((HGLOBAL)store))->count);
    GlobalUnlock((HGLOBAL)store);
    Scx3DObject* base = ObjectAt(store, 0);
    Scx3DObject* lid = ObjectAt(store, 1);
    EXPECT_EQ(1, base->patchLevel[0]);
    EXPECT_EQ(2, lid->patchLevel[0]);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(100, base->inlinePoints[k].z);
        EXPECT_EQ(150, lid->inlinePoints[k].z);
    }
    Scx3DDescription bad = d;
    bad.pointCount = 5;
    EXPECT_EQ(1, SCX3D(nullptr, SCX3D_OBJ_ADD, store, (void*)outlines, (INT_PTR)&bad));
    bad = d;
    bad.storage = SCX3D_STORAGE_POINT_BLOCK;
    EXPECT_EQ(1, SCX3D(nullptr, SCX3D_OBJ_ADD, store, (void*)outlines, (INT_PTR)&bad));

    // The order: the eye is above, so the base outlines lie farther than the lids; among
    // outlines at one height the farther patch comes first.
    qxtest::MemoryCanvas canvas(300, 300);
    Scx3DView v = MakeView(300, 300);
    ASSERT_GT(v.eyeWorld[2], 150);
    v.deviceContext = (int32_t)(INT_PTR)canvas.dc();
    SCX3D(nullptr, SCX3D_PREPARE_DRAWING, store, &v, 0);
    auto* header = (Scx3DStoreHeader*)GlobalLock((HGLOBAL)store);
    auto* order = (uint16_t*)GlobalLock(header->extraBlock);
    EXPECT_EQ((std::vector<int>{4, 2, 0, 5, 3, 1}), std::vector<int>(order, order + 6));
    GlobalUnlock(header->extraBlock);
    GlobalUnlock((HGLOBAL)store);

    // Painting: the lid record makes only its four calls; the base paints sides and lid.
    HBRUSH green = CreateSolidBrush(RGB(0, 160, 0));
    HGDIOBJ old = SelectObject(canvas.dc(), green);
    g_calls.clear();
    ObjectCommand(SCX3D_PAINT, 0, nullptr, &v, ObjectAt(store, 1), (INT_PTR)&Record);
    EXPECT_EQ(4u, g_calls.size());
    EXPECT_EQ(RGB(255, 255, 255), canvas.Capture().ColorAt(150, 150));
    g_calls.clear();
    ObjectCommand(SCX3D_PAINT, 0, nullptr, &v, ObjectAt(store, 2), (INT_PTR)&Record);
    EXPECT_EQ(4u, g_calls.size());
    float middle[3];
    ToScreen(v, 1150, 1100, 150, middle);
    EXPECT_EQ(RGB(0, 160, 0), canvas.Capture().ColorAt((int)middle[0], (int)middle[1]));
    SelectObject(canvas.dc(), old);
    DeleteObject(green);
    StoreCmd(SCX3D_STORE_FREE, store, nullptr);
}
