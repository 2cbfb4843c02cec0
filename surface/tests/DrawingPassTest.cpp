// The drawing pass: the drawing order under both sorts, the far corner and grid of the
// pass, and a whole layer drawn the way the kernel drives it.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "Surface.h"
#include "ViewFixture.h"
#include "qxtest/Pixels.h"

namespace {
INT_PTR StoreCmd(UINT code, INT_PTR store, void* record)
{
    return SCX3D(nullptr, SCX3D_OBJECT_COMMAND | SCX3D_STORE_COMMAND | code, store, record, 0);
}

INT_PTR StoreWithKeys(const std::vector<float>& keys)
{
    INT_PTR store = StoreCmd(SCX3D_STORE_CREATE, 0, nullptr);
    float point[3] = {0, 0, 0};
    for (size_t i = 0; i < keys.size(); ++i) {
        Scx3DDescription d{};
        d.kind = 4;
        d.pointCount = 1;
        store = SCX3D(nullptr, SCX3D_OBJ_ADD, store, point, (INT_PTR)&d);
    }
    auto* header = (Scx3DStoreHeader*)GlobalLock((HGLOBAL)store);
    auto* objects = (Scx3DObject*)((uint8_t*)header + SCX3D_STORE_HEADER_SIZE);
    for (size_t i = 0; i < keys.size(); ++i)
        objects[i].depthKey = keys[i];
    GlobalUnlock((HGLOBAL)store);
    return store;
}

std::vector<int> Order(INT_PTR store, const char* mode)
{
    Scx3DView v = MakeView();
    v.state = 0;
    SCX3D(nullptr, SCX3D_LETTER, 0, &v, (INT_PTR)mode);
    SCX3D(nullptr, SCX3D_PREPARE_DRAWING, store, &v, 0);
    auto* header = (Scx3DStoreHeader*)GlobalLock((HGLOBAL)store);
    std::vector<int> order;
    if (header->extraBlock) {
        auto* index = (uint16_t*)GlobalLock(header->extraBlock);
        order.assign(index, index + header->count);
        GlobalUnlock(header->extraBlock);
    }
    GlobalUnlock((HGLOBAL)store);
    return order;
}
}

TEST(DrawingPass, OrderIsLargestKeyFirstUnderBothSorts)
{
    struct Row { std::vector<float> keys; std::vector<int> order; };
    const Row rows[] = {
        {{5}, {0}},
        {{3, 1, 2}, {0, 2, 1}},
        {{1, 2, 2, 3, 2, 0, 9, 4}, {6, 7, 3, 1, 2, 4, 0, 5}},
    };
    for (const char* mode : {"Q", "N"}) {
        for (const auto& r : rows) {
            SCOPED_TRACE(testing::Message() << "mode " << mode << ", " << r.keys.size() << " keys");
            INT_PTR store = StoreWithKeys(r.keys);
            std::vector<int> order = Order(store, mode);
            if (mode[0] == 'N') {
                EXPECT_EQ(r.order, order); // stable
            } else {
                ASSERT_EQ(r.order.size(), order.size());
                for (size_t i = 0; i < order.size(); ++i)
                    EXPECT_EQ(r.keys[r.order[i]], r.keys[order[i]]);
            }
            StoreCmd(SCX3D_STORE_FREE, store, nullptr);
        }
    }

    // Many keys with ties: the insertion sort is a stable descending sort; the
    // quicksort gives the same keys in the same sequence.
    std::mt19937 random(7);
    std::vector<float> keys(300);
    for (auto& k : keys)
        k = (float)(random() % 50);
    std::vector<int> expect(keys.size());
    for (size_t i = 0; i < expect.size(); ++i)
        expect[i] = (int)i;
    std::stable_sort(expect.begin(), expect.end(), [&](int a, int b) { return keys[a] > keys[b]; });
    INT_PTR store = StoreWithKeys(keys);
    EXPECT_EQ(expect, Order(store, "N"));
    std::vector<int> quick = Order(store, "Q");
    ASSERT_EQ(expect.size(), quick.size());
    for (size_t i = 0; i < quick.size(); ++i)
        EXPECT_EQ(keys[expect[i]], keys[quick[i]]) << "position " << i;
    std::vector<int> sortedQuick = quick;
    std::sort(sortedQuick.begin(), sortedQuick.end());
    EXPECT_EQ(std::vector<int>(expect.begin(), expect.end()).size(), sortedQuick.size());
    for (size_t i = 0; i < sortedQuick.size(); ++i)
        EXPECT_EQ((int)i, sortedQuick[i]) << "every object once";
    StoreCmd(SCX3D_STORE_FREE, store, nullptr);
}

TEST(DrawingPass, FarCornerAndGridOfThePass)
{
    // The far corner is the floor corner farthest from the eye; corner (a, b) lies at
    // y = a * box Y, x = b * box X, at half height. Check it against distances measured
    // in world coordinates from the eye.
    Scx3DView v = MakeView();
    BucketGridSpec spec = PassGridSpec(&v);
    double best = -1;
    int expectFar = 0;
    for (int q = 0; q < 4; ++q) {
        float p[3] = {kWalkCorner[q][1] * 2300.0f, kWalkCorner[q][0] * 2300.0f, 1150};
        double d = 0;
        for (int i = 0; i < 3; ++i)
            d += ((double)p[i] - v.eyeWorld[i]) * ((double)p[i] - v.eyeWorld[i]);
        if (d > best) {
            best = d;
            expectFar = q;
        }
    }
    EXPECT_EQ(expectFar, (spec.gridFlags >> 8) & 3);
    EXPECT_EQ(33, spec.columns);
    EXPECT_EQ(33, spec.rows);
    EXPECT_FLOAT_EQ(2300.0f / 32, spec.dx);

    Scx3DView upright = MakeView();
    upright.horizontal = 0;
    EXPECT_EQ(65, PassGridSpec(&upright).rows);

    // Looking straight down on the middle of the box every corner is as far as the
    // others, and the first, corner 0, is taken.
    Scx3DView top = MakeView();
    top.rotation = top.roll = top.tilt = 0;
    const float down[3] = {0, 0, -1}, north[3] = {0, 1, 0};
    memcpy(top.viewDir, down, sizeof down);
    memcpy(top.viewUp, north, sizeof north);
    SCX3D(nullptr, 0x2000, 0, &top, 0);
    SCX3D(nullptr, 0x2001, 0, &top, 0);
    EXPECT_EQ(0, (PassGridSpec(&top).gridFlags >> 8) & 3);
}

namespace {
std::vector<int> g_wallColours;
HDC g_paintDC;

// The kernel's part of painting a wall: select a brush of the wall's colour.
INT_PTR WINAPI SelectWallBrush(UINT code, INT_PTR a1, INT_PTR, INT_PTR)
{
    static const COLORREF colours[] = {RGB(0, 0, 0), RGB(200, 0, 0), RGB(0, 200, 0), RGB(0, 0, 200)};
    if (code == SCX3D_DRAW_ATTRIBUTES) {
        const auto* a = (const Scx3DAttributes*)a1;
        g_wallColours.push_back(a->bytes[12]);
        DeleteObject(SelectObject(g_paintDC, CreateSolidBrush(colours[a->bytes[12] & 3])));
    }
    return 0;
}
}

TEST(DrawingPass, ALayerOfWallsAndFrameIsPaintedInStoreOrder)
{
    qxtest::MemoryCanvas canvas(300, 300);
    g_paintDC = canvas.dc();
    Scx3DView v = MakeView(300, 300);
    v.frameFlag = -1;
    INT_PTR store = StoreCmd(SCX3D_STORE_CREATE, 0, nullptr);
    store = StoreCmd(SCX3D_STORE_WALLS, store, &v);
    int32_t viewport[4] = {0, 0, 300, 300};
    SCX3D(nullptr, SCX3D_FIT_VIEWPORT, (INT_PTR)canvas.dc(), &v, (INT_PTR)viewport);
    SCX3D(nullptr, SCX3D_PREPARE_DRAWING, store, &v, 0);

    SCX3D(nullptr, SCX3D_PAINT, store, &v, (INT_PTR)&SelectWallBrush);
    EXPECT_EQ((std::vector<int>{1, 2, 3}), g_wallColours) << "floor, X wall, Y wall";
    g_wallColours.clear();
    SCX3D(nullptr, SCX3D_PAINT_FRAME, store, &v, (INT_PTR)&SelectWallBrush);
    EXPECT_EQ(1u, g_wallColours.size()) << "only the frame paints under 37";
    SCX3D(nullptr, SCX3D_END_DRAWING, 0, &v, 0);
    EXPECT_EQ(0, v.state);

    // The floor is painted first and the back wall last: a floor point in front of the
    // back wall keeps the floor's colour, the back wall's middle shows its own.
    float front[3], back[3];
    ToScreen(v, 1150, 600, 0, front);
    ToScreen(v, 1150, 2300, 1800, back);
    qxtest::Image image = canvas.Capture();
    EXPECT_EQ(RGB(200, 0, 0), image.ColorAt((int)front[0], (int)front[1]));
    EXPECT_EQ(RGB(0, 0, 200), image.ColorAt((int)back[0], (int)back[1]));
    DeleteObject(SelectObject(canvas.dc(), GetStockObject(WHITE_BRUSH)));
    StoreCmd(SCX3D_STORE_FREE, store, nullptr);
}
