// The 3D scatter object drawn the way the kernel drives a layer: projected, sorted
// through the bucket grid and painted cell by cell, with every drawing decision asked of
// the object's callback, which here records what it is told.
#include <gtest/gtest.h>

#include <vector>

#include "Surface.h"
#include "ViewFixture.h"

namespace {

struct Asked {
    UINT code;
    INT_PTR a1, a2, a3;
    POINT from, to;
};
std::vector<Asked> g_asked;

INT_PTR WINAPI Callback(INT_PTR user, UINT code, INT_PTR a1, INT_PTR a2, INT_PTR a3, INT_PTR a4)
{
    EXPECT_EQ(0x5151, user);
    Asked a{code, a1, a2, a3, {}, {}};
    if (code == 0x200005) {
        const POINT* s = (const POINT*)a4;
        a.from = s[0];
        a.to = s[1];
    }
    g_asked.push_back(a);
    // Drops toward the Y wall (part 2) are not made at all.
    if (code == 0x200007 && a1 == 0 && a2 == 2)
        return 0;
    return 1;
}

INT_PTR StoreCmd(UINT code, INT_PTR store, void* record)
{
    return SCX3D(nullptr, SCX3D_OBJECT_COMMAND | SCX3D_STORE_COMMAND | code, store, record, 0);
}

INT_PTR ScatterStore(const std::vector<float>& points)
{
    INT_PTR store = StoreCmd(SCX3D_STORE_CREATE, 0, nullptr);
    Scx3DDescription d{};
    d.kind = 0;
    d.storage = SCX3D_STORAGE_POINT_BLOCK;
    d.pointCount = (int)points.size() / 3;
    d.objectId = 4;
    d.attributes.callbackUser = 0x5151;
    d.attributes.callback = &Callback;
    return SCX3D(nullptr, SCX3D_OBJ_ADD, store, (void*)points.data(), (INT_PTR)&d);
}

int Count(UINT code, int part = -1)
{
    int n = 0;
    for (const auto& a : g_asked)
        if (a.code == code && (part < 0 || a.a3 == part))
            ++n;
    return n;
}

void Draw(Scx3DView& v, INT_PTR store)
{
    SCX3D(nullptr, SCX3D_PREPARE_DRAWING, store, &v, 0);
    g_asked.clear();
    SCX3D(nullptr, SCX3D_PAINT, store, &v, 0);
}
} // namespace

TEST(Scatter, GapsDropsAndTheOrderOfCalls)
{
    Scx3DView v = MakeView();
    v.state |= SCX3D_STATE_REPROJECT;
    INT_PTR store = ScatterStore({500, 500, 500, 31234, 5, 5, 800, 800, 800, 1000, 1000, 1000});
    Draw(v, store);
    // Three shown points, each as the symbol and its drops toward the Z and X walls.
    EXPECT_EQ(9, Count(0x200001));
    EXPECT_EQ(9, Count(0x200002));
    EXPECT_EQ(9, Count(0x200003));
    // Parts 2 to 4 for every piece; part 1, the line from the previous point, only for
    // the point after 800: 500 is the first point and 800 follows the gap.
    EXPECT_EQ(9, Count(0x200005, 2));
    EXPECT_EQ(3, Count(0x200005, 1));
    // The callback is asked before each line part, and a symbol is begun, drawn and
    // ended in that order.
    for (size_t i = 0; i < g_asked.size(); ++i) {
        if (g_asked[i].code == 0x200005) {
            ASSERT_GT(i, 0u);
            EXPECT_EQ(0x200008u, g_asked[i - 1].code);
            EXPECT_EQ(g_asked[i].a3, g_asked[i - 1].a3) << "the part asked about is the part drawn";
        }
        if (g_asked[i].code == 0x200001) {
            ASSERT_LT(i + 2, g_asked.size());
            EXPECT_EQ(0x200002u, g_asked[i + 1].code);
            EXPECT_EQ(0x200003u, g_asked[i + 2].code);
            EXPECT_EQ(0x200007u, g_asked[i - 1].code);
        }
    }
    StoreCmd(SCX3D_STORE_FREE, store, nullptr);
}

TEST(Scatter, LinesIntoTheRectangleStartAtItsEdge)
{
    Scx3DView v = MakeView();
    v.walls |= SCX3D_WALLS_CLIP_SCATTER;
    v.xyRect[0] = 0;
    v.xyRect[1] = 1000;
    v.xyRect[2] = 1000;
    v.xyRect[3] = 0;
    v.state |= SCX3D_STATE_REPROJECT;
    INT_PTR store = ScatterStore({1500, 500, 400, 900, 500, 600});
    Draw(v, store);
    EXPECT_EQ(3, Count(0x200001)) << "the point outside makes no pieces";
    // The symbol's own line (drop kind 0) starts where the line meets x = 1000, a sixth
    // of the way from 900 to 1500, where z = 600 - 200 / 6.
    float edge[3];
    ToScreen(v, 1000, 500, 600 - 200.0f / 6, edge);
    bool found = false;
    for (const auto& a : g_asked)
        if (a.code == 0x200005 && a.a3 == 1 && a.a2 == 0) {
            found = true;
            EXPECT_NEAR(edge[0], a.from.x, 1);
            EXPECT_NEAR(edge[1], a.from.y, 1);
        }
    EXPECT_TRUE(found);
    StoreCmd(SCX3D_STORE_FREE, store, nullptr);
}
