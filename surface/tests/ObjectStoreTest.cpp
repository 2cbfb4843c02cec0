// The object store: growth, point blocks, duplication, refusal of descriptions that do
// not fit, the hit test, walls and frame, and the drawing of line and polygon objects.
#include <gtest/gtest.h>

#include <vector>

#include "Surface.h"
#include "ViewFixture.h"
#include "qxtest/Pixels.h"

namespace {

INT_PTR Store(UINT code, INT_PTR store, void* record)
{
    return SCX3D(nullptr, SCX3D_OBJECT_COMMAND | SCX3D_STORE_COMMAND | code, store, record, 0);
}

INT_PTR Add(INT_PTR store, const Scx3DDescription& d, const std::vector<float>& points)
{
    return SCX3D(nullptr, SCX3D_OBJ_ADD, store, (void*)points.data(), (INT_PTR)&d);
}

Scx3DDescription Describe(uint8_t kind, int count, int16_t id, uint8_t storage = 0)
{
    Scx3DDescription d{};
    d.kind = kind;
    d.storage = storage;
    d.pointCount = count;
    d.objectId = id;
    return d;
}

struct Locked {
    explicit Locked(INT_PTR h) : block((HGLOBAL)h), header((Scx3DStoreHeader*)GlobalLock(block)) {}
    ~Locked() { GlobalUnlock(block); }
    Scx3DObject& operator[](int i)
    {
        return ((Scx3DObject*)((uint8_t*)header + SCX3D_STORE_HEADER_SIZE))[i];
    }
    HGLOBAL block;
    Scx3DStoreHeader* header;
};

} // namespace

TEST(ObjectStore, GrowsBeforeTheLastTwoSlotsAndRefusesWhatDoesNotFit)
{
    INT_PTR store = Store(SCX3D_STORE_CREATE, 9, nullptr);
    ASSERT_NE(0, store);
    {
        Locked s(store);
        EXPECT_EQ(500u, s.header->capacity);
        EXPECT_EQ(9, s.header->owner);
        EXPECT_EQ(500u * SCX3D_OBJECT_SIZE + SCX3D_STORE_HEADER_SIZE, GlobalSize(s.block));
    }
    std::vector<float> one = {1, 2, 3};
    for (int i = 0; i < 498; ++i)
        store = Add(store, Describe(4, 1, 1), one);
    EXPECT_EQ(500u, Locked(store).header->capacity);
    store = Add(store, Describe(4, 1, 1), one); // the 499th
    EXPECT_EQ(1000u, Locked(store).header->capacity);
    EXPECT_EQ(499u, Locked(store).header->count);

    // Inline room is four points; a larger list without its own block would overwrite
    // the next record. Negative counts are nonsense.
    std::vector<float> five(15, 1.0f);
    EXPECT_EQ(1, Add(store, Describe(4, 5, 1), five));
    EXPECT_EQ(1, Add(store, Describe(4, -1, 1), five));
    EXPECT_EQ(499u, Locked(store).header->count);

    // Room for more: 0x5001 grows to exactly what is asked, 0x5002 to count + 1.
    store = SCX3D(nullptr, SCX3D_OBJECT_COMMAND | SCX3D_STORE_COMMAND | SCX3D_STORE_RESERVE, store,
                  (void*)(INT_PTR)600, 0);
    EXPECT_EQ(1099u, Locked(store).header->capacity);
    store = Store(SCX3D_STORE_ADD_ONE, store, nullptr);
    EXPECT_EQ(500u, Locked(store).header->capacity);
    EXPECT_EQ(store, Store(SCX3D_STORE_NOTHING, store, nullptr));
    EXPECT_EQ(1, Store(0x5009, store, nullptr)) << "unknown store codes are refused";
    EXPECT_EQ(0, Store(SCX3D_STORE_FREE, store, nullptr));
}

TEST(ObjectStore, DuplicateCopiesEveryBlock)
{
    INT_PTR store = Store(SCX3D_STORE_CREATE, 0, nullptr);
    std::vector<float> six = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
    Scx3DDescription d = Describe(4, 6, 3, SCX3D_STORAGE_POINT_BLOCK);
    store = SCX3D(nullptr, SCX3D_OBJ_ADD, store, six.data(), (INT_PTR)&d);
    store = Add(store, Describe(3, 2, 4), {0, 0, 0, 5, 5, 5});
    HGLOBAL order = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 4);
    HGLOBAL original;
    {
        Locked s(store);
        s.header->extraBlock = order;
        original = s[0].grid.pointBlock;
        EXPECT_EQ(7u * SCX3D_POINT_SIZE, GlobalSize(original));
        EXPECT_FLOAT_EQ(5, s[1].inlinePoints[1].y);
    }
    INT_PTR copy = Store(SCX3D_STORE_DUPLICATE, store, nullptr);
    ASSERT_NE(0, copy);
    EXPECT_EQ(0, Store(SCX3D_STORE_FREE, store, nullptr));
    {
        Locked c(copy);
        EXPECT_NE(original, c[0].grid.pointBlock);
        EXPECT_NE(order, c.header->extraBlock);
        EXPECT_NE(nullptr, c.header->extraBlock);
        auto* points = (Scx3DPoint*)GlobalLock(c[0].grid.pointBlock);
        ASSERT_NE(nullptr, points);
        EXPECT_FLOAT_EQ(16, points[5].x);
        GlobalUnlock(c[0].grid.pointBlock);
    }
    EXPECT_EQ(0, Store(SCX3D_STORE_FREE, copy, nullptr));
}

TEST(ObjectStore, HitTestTakesTheFirstObjectAndSkipsUnnamedOnes)
{
    INT_PTR store = Store(SCX3D_STORE_CREATE, 0, nullptr);
    const struct { int16_t id; int x, y; } objects[] = {{5, 100, 100}, {6, 105, 100}, {0, 300, 300}, {7, 305, 305}};
    for (const auto& o : objects)
        store = Add(store, Describe(4, 1, o.id), {0, 0, 0});
    {
        Locked s(store);
        for (int i = 0; i < 4; ++i) {
            s[i].inlinePoints[0].deviceX = objects[i].x;
            s[i].inlinePoints[0].deviceY = objects[i].y;
        }
    }
    // The default tolerance is 24: a square from -24 to +24, right and bottom excluded.
    const struct { int x, y; int16_t id; } probes[] = {
        {102, 100, 5}, {124, 100, 6}, {128, 123, 6}, {129, 100, 0}, {300, 300, 7}, {50, 50, 0},
    };
    for (const auto& p : probes) {
        SCOPED_TRACE(testing::Message() << "probe " << p.x << "," << p.y);
        int32_t point[2] = {p.x, p.y};
        EXPECT_EQ(p.id, Store(SCX3D_STORE_HIT, store, point));
    }
    int32_t point[2] = {102, 100};
    Store(SCX3D_STORE_HIT, store, point);
    int32_t rect[4] = {};
    EXPECT_EQ((INT_PTR)rect, Store(SCX3D_STORE_HIT_RECT, store, rect));
    EXPECT_EQ(76, rect[0]);
    EXPECT_EQ(76, rect[1]);
    EXPECT_EQ(124, rect[2]);
    EXPECT_EQ(124, rect[3]);
    int32_t index = -1;
    Store(SCX3D_STORE_HIT_INDEX, store, &index);
    EXPECT_EQ(0, index);
    Store(SCX3D_STORE_FREE, store, nullptr);
}

TEST(ObjectStore, WallsAndFrameOfTheView)
{
    Scx3DView v = MakeView();
    v.boxY = 1000;
    v.walls = 0x07;
    v.wallX = 2300;
    v.wallY = 1000;
    v.wallZ = 0;
    v.frameFlag = -1;
    v.frameAttr0 = 9;
    v.frameAttr1 = 8;
    v.frameAttr2 = 300;
    INT_PTR store = Store(SCX3D_STORE_CREATE, 0, nullptr);
    store = Store(SCX3D_STORE_WALLS, store, &v);
    {
    Locked s(store);
    ASSERT_EQ(4u, s.header->count);
    const float expect[4][4][3] = {
        {{0, 0, 0}, {0, 1000, 0}, {2300, 1000, 0}, {2300, 0, 0}},
        {{2300, 0, 0}, {2300, 0, 2300}, {2300, 1000, 2300}, {2300, 1000, 0}},
        {{0, 1000, 0}, {0, 1000, 2300}, {2300, 1000, 2300}, {2300, 1000, 0}},
        // frame: a, b, c = box minus wall positions = 0, 0, 2300
        {{0, 0, 2300}, {0, 0, 0}, {2300, 0, 2300}, {0, 1000, 2300}},
    };
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(i == 3 ? 8 : 4, s[i].kind);
        EXPECT_EQ(4, s[i].pointCount);
        for (int k = 0; k < 4; ++k) {
            EXPECT_FLOAT_EQ(expect[i][k][0], s[i].inlinePoints[k].x);
            EXPECT_FLOAT_EQ(expect[i][k][1], s[i].inlinePoints[k].y);
            EXPECT_FLOAT_EQ(expect[i][k][2], s[i].inlinePoints[k].z);
        }
    }
    EXPECT_EQ(1, s[0].attributes.bytes[12]);
    EXPECT_EQ(2, s[1].attributes.bytes[12]);
    EXPECT_EQ(3, s[2].attributes.bytes[12]);
    EXPECT_EQ(8, s[3].attributes.bytes[1]);
    EXPECT_EQ(9, s[3].attributes.bytes[14]);
    EXPECT_EQ(300, *(int16_t*)&s[3].attributes.bytes[4]);
    }
    Store(SCX3D_STORE_FREE, store, nullptr);
}

namespace {
struct DrawRecord {
    UINT code;
    POINT point;
};
std::vector<DrawRecord> g_draws;

INT_PTR WINAPI RecordDraw(UINT code, INT_PTR a1, INT_PTR a2, INT_PTR a3)
{
    DrawRecord r{code, {}};
    if (code == SCX3D_DRAW_POINT_EVEN || code == SCX3D_DRAW_POINT_ODD)
        r.point = *(const POINT*)a2;
    g_draws.push_back(r);
    return 0;
}

std::vector<UINT> Codes()
{
    std::vector<UINT> codes;
    for (const auto& d : g_draws)
        codes.push_back(d.code);
    return codes;
}
}

TEST(ObjectStore, LineAndPolygonObjectsDraw)
{
    qxtest::MemoryCanvas canvas(200, 200);
    Scx3DView v = MakeView(200, 200);
    v.deviceContext = (int32_t)(INT_PTR)canvas.dc();
    INT_PTR store = Store(SCX3D_STORE_CREATE, 0, nullptr);
    // A polygon, a frame and a list of twelve segment ends (the temporary-block path).
    store = Add(store, Describe(4, 4, 1), {0, 0, 0, 0, 2300, 0, 2300, 2300, 0, 2300, 0, 0});
    store = Add(store, Describe(8, 4, 2), {2300, 2300, 2300, 2300, 2300, 0, 0, 2300, 2300, 2300, 0, 2300});
    std::vector<float> ends;
    for (int i = 0; i < 12; ++i) {
        ends.push_back(100.0f * i);
        ends.push_back(0);
        ends.push_back(2300);
    }
    Scx3DDescription segments = Describe(3, 12, 3, SCX3D_STORAGE_POINT_BLOCK);
    store = SCX3D(nullptr, SCX3D_OBJ_ADD, store, ends.data(), (INT_PTR)&segments);
    Locked s(store);
    for (int i = 0; i < 3; ++i)
        ObjectCommand(SCX3D_PREPARE_DRAWING, 0, nullptr, &v, &s[i], 0);

    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    HGDIOBJ old = SelectObject(canvas.dc(), red);
    struct Row { int object; UINT paint; std::vector<UINT> codes; };
    const Row rows[] = {
        {0, SCX3D_PAINT, {0, 4, 5, 2}},
        {0, SCX3D_PAINT_FRAME, {}},
        {1, SCX3D_PAINT, {}},
        {1, SCX3D_PAINT_FRAME, {0, 4, 5, 2}},
        {2, SCX3D_PAINT, {0, 4, 10, 11, 10, 11, 10, 11, 10, 11, 10, 11, 10, 11, 5, 2}},
        {2, SCX3D_PAINT_FRAME, {}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << "object " << r.object << " code " << r.paint);
        g_draws.clear();
        ObjectCommand(r.paint, 0, nullptr, &v, &s[r.object], (INT_PTR)&RecordDraw);
        EXPECT_EQ(r.codes, Codes());
    }
    // The segment ends arrive as the projected device points, in order.
    g_draws.clear();
    ObjectCommand(SCX3D_PAINT, 0, nullptr, &v, &s[2], (INT_PTR)&RecordDraw);
    Scx3DPoint* points = (Scx3DPoint*)GlobalLock(s[2].grid.pointBlock);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(points[i].deviceX, g_draws[2 + i].point.x);
        EXPECT_EQ(points[i].deviceY, g_draws[2 + i].point.y);
    }
    GlobalUnlock(s[2].grid.pointBlock);

    // The floor polygon is filled with the brush in the DC: its projected middle is red,
    // a corner of the canvas outside the box is not.
    float middle[3];
    ToScreen(v, 1150, 1150, 0, middle);
    qxtest::Image image = canvas.Capture();
    EXPECT_EQ(RGB(255, 0, 0), image.ColorAt((int)middle[0], (int)middle[1]));
    EXPECT_EQ(RGB(255, 255, 255), image.ColorAt(0, 0));
    SelectObject(canvas.dc(), old);
    DeleteObject(red);
}
