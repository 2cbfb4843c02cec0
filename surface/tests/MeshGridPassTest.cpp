// Mesh cells in the cell-by-cell pass, against the same mesh painted object by object,
// and bars in the cells' depth lists.
#include <gtest/gtest.h>

#include <vector>

#include "Surface.h"
#include "ViewFixture.h"
#include "qxtest/Pixels.h"

namespace {

std::vector<UINT> g_codes;
HPEN g_pen;
HBRUSH g_front, g_back;

// The kernel's part: a black pen for cells and bars, one brush for cells seen from the
// front and bars, another for cells seen from behind; bars half as wide as the spacing.
INT_PTR WINAPI Kernel(INT_PTR, UINT code, INT_PTR a1, INT_PTR, INT_PTR, INT_PTR a4)
{
    g_codes.push_back(code);
    if (code == 0x20001B) {
        auto* widths = reinterpret_cast<double*>(a4);
        widths[0] = widths[1] = 50; // percent of the grid spacing
    }
    if (code == 0x200013 || code == 0x200017) {
        SelectObject((HDC)a1, g_pen);
        SelectObject((HDC)a1, g_front);
    }
    if (code == 0x200015)
        SelectObject((HDC)a1, g_back);
    if (code == 0x200016)
        SelectObject((HDC)a1, g_front);
    return 0;
}

INT_PTR WINAPI NoDraw(UINT, INT_PTR, INT_PTR, INT_PTR) { return 0; }

int Count(UINT code)
{
    int n = 0;
    for (UINT c : g_codes)
        n += c == code;
    return n;
}

INT_PTR StoreCmd(UINT code, INT_PTR store)
{
    return SCX3D(nullptr, SCX3D_OBJECT_COMMAND | SCX3D_STORE_COMMAND | code, store, nullptr, 0);
}

// A 5 x 4 mesh over most of the box, a gentle slope with one peak, so that cells hide
// parts of others from low views.
INT_PTR AddMesh(INT_PTR store, uint8_t kind, uint8_t flags)
{
    MeshDescription d{};
    d.kind = 2;
    d.storage = SCX3D_STORAGE_POINT_BLOCK;
    d.pointCount = 20;
    d.grid.meshColumns = 5;
    d.grid.meshRows = 4;
    d.grid.meshX0 = 150;
    d.grid.meshDx = 500;
    d.grid.meshY0 = 200;
    d.grid.meshDy = 600;
    d.attributes.bytes[2] = 0x08;
    d.attributes.bytes[6] = kind;
    d.attributes.bytes[8] = 2;
    d.attributes.bytes[11] = flags;
    d.attributes.callbackUser = 1;
    d.attributes.callback = &Kernel;
    std::vector<float> z(20);
    for (int i = 0; i < 20; ++i)
        z[i] = 300.0f + 60 * (i % 5) + 40 * (i / 5);
    z[7] = 1900;
    return SCX3D(nullptr, SCX3D_OBJ_ADD, store, z.data(), (INT_PTR)&d);
}

// A scatter with no kernel callback puts nothing into the grid, but a layer holding one
// is painted cell by cell.
INT_PTR AddEmptyScatter(INT_PTR store)
{
    float point[3] = {1000, 1000, 1000};
    Scx3DDescription d{};
    d.kind = 0;
    d.storage = SCX3D_STORAGE_POINT_BLOCK;
    d.pointCount = 1;
    return SCX3D(nullptr, SCX3D_OBJ_ADD, store, point, (INT_PTR)&d);
}

struct Painted {
    qxtest::Image image;
    int cells, bars;
};

Painted Paint(float tilt, float rotation, uint8_t kind, uint8_t flags, bool gridPass)
{
    qxtest::MemoryCanvas canvas(400, 300);
    INT_PTR store = StoreCmd(SCX3D_STORE_CREATE, 0);
    store = AddMesh(store, kind, flags);
    if (gridPass)
        store = AddEmptyScatter(store);
    Scx3DView v = MakeView();
    v.tilt = tilt;
    v.rotation = rotation;
    SCX3D(nullptr, 0x2001, 0, &v, 0);
    Refit(v);
    v.deviceContext = (int32_t)(INT_PTR)canvas.dc();
    SCX3D(nullptr, SCX3D_PREPARE_DRAWING, store, &v, 0);
    g_codes.clear();
    SCX3D(nullptr, SCX3D_PAINT, store, &v, (INT_PTR)&NoDraw);
    Painted p{canvas.Capture(), Count(0x200013), Count(0x200017)};
    StoreCmd(SCX3D_STORE_FREE, store);
    return p;
}

struct Brushes {
    Brushes()
    {
        g_pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
        g_front = CreateSolidBrush(RGB(0, 200, 0));
        g_back = CreateSolidBrush(RGB(200, 0, 0));
    }
    ~Brushes()
    {
        DeleteObject(g_pen);
        DeleteObject(g_front);
        DeleteObject(g_back);
    }
};

} // namespace

TEST(MeshGridPass, CellsMatchTheObjectByObjectPass)
{
    Brushes brushes;
    struct Case {
        uint8_t kind, flags;
        int cellCalls; // 0x200013 per cell: once for kind 1, inner lines and outline for kind 2
        int barCalls;  // 0x200017 per bar: before its Y faces and before the others
    } cases[] = {{1, 0x00, 1, 0}, {1, 0x30, 1, 0}, {2, 0x02, 2, 0}, {3, 0x00, 0, 2}};
    for (const Case& k : cases)
        for (float tilt : {20.0f, 60.0f})
            for (float rotation : {15.0f, 105.0f, 195.0f, 285.0f}) {
                SCOPED_TRACE(testing::Message() << "kind " << (int)k.kind << " flags " << (int)k.flags << " tilt "
                                                << tilt << " rotation " << rotation);
                Painted byObject = Paint(tilt, rotation, k.kind, k.flags, false);
                Painted byCell = Paint(tilt, rotation, k.kind, k.flags, true);
                EXPECT_EQ(12 * k.cellCalls, byObject.cells);
                EXPECT_EQ(12 * k.cellCalls, byCell.cells);
                // Every point's bar once in either pass.
                EXPECT_EQ(20 * k.barCalls, byObject.bars);
                EXPECT_EQ(20 * k.barCalls, byCell.bars);
                int painted = 0, differ = 0;
                for (size_t i = 0; i < byObject.image.pixels.size(); ++i) {
                    painted += byObject.image.pixels[i] != 0xFFFFFF;
                    differ += byObject.image.pixels[i] != byCell.image.pixels[i];
                }
                EXPECT_GT(painted, 2000);
                // Both passes paint back to front; only where two cells' edges meet may
                // the last one drawn differ by a pixel.
                EXPECT_LT(differ, painted / 100) << differ << " of " << painted;
            }
}

TEST(MeshGridPass, CellsOutsideTheMeshDrawTheirListsAloneAndCellsInsideItDrawThemselves)
{
    Brushes brushes;
    Scx3DView v = MakeView();
    INT_PTR store = StoreCmd(SCX3D_STORE_CREATE, 0);
    store = AddMesh(store, 1, 0);
    auto* header = static_cast<Scx3DStoreHeader*>(GlobalLock(reinterpret_cast<HGLOBAL>(store)));
    Scx3DObject* mesh = &StoreObjects(header)[0];
    BucketGridSpec spec = PassGridSpec(&v);
    ObjectCommand(SCX3D_OBJ_PLAIN, store, nullptr, &v, mesh, (INT_PTR)&spec);
    BucketGrids(1, 0, 0, &spec, &v, nullptr);
    ObjectCommand(SCX3D_OBJ_PASS_MESH, store, nullptr, &v, mesh, 0);
    g_codes.clear();
    // Line 0 of the grid lies before the mesh's first line once the grid covers the box.
    const BucketGridSpec& s = *reinterpret_cast<const BucketGridSpec*>(v.bucketSpec);
    ASSERT_LT(s.x0, 150);
    EXPECT_EQ(0, BucketGrids(4, s.rowStep == -1 ? 1 : 0, s.colStep == -1 ? 1 : 0, &v, mesh, (void*)&NoDraw));
    EXPECT_TRUE(g_codes.empty());

    // A cell of the mesh that holds pieces of its own draws itself among them.
    int row = (int)((800 - s.y0) / s.dy), column = (int)((400 - s.x0) / s.dx);
    BucketPiece piece{};
    piece.kind = 4;
    piece.reference[0] = s.x0 + (column + 0.5f) * s.dx;
    piece.reference[1] = s.y0 + (row + 0.5f) * s.dy;
    piece.reference[2] = 500;
    ASSERT_EQ(0, BucketGrids(3, 0, 0, &piece, nullptr, &v));
    ASSERT_NE(nullptr, BucketCell(row, column));
    EXPECT_EQ(0, BucketGrids(4, s.rowStep == -1 ? row + 1 : row, s.colStep == -1 ? column + 1 : column, &v, mesh,
                             (void*)&NoDraw));
    EXPECT_EQ(1, Count(0x200013));
    BucketGrids(6, 0, 0, &spec, nullptr, nullptr);
    GlobalUnlock(reinterpret_cast<HGLOBAL>(store));
    StoreCmd(SCX3D_STORE_FREE, store);
}

namespace {
BucketPiece Surface(float x, float y, float z, uint8_t tag)
{
    BucketPiece p{};
    p.kind = BUCKET_PIECE_SURFACE;
    p.reference[0] = x;
    p.reference[1] = y;
    p.reference[2] = z;
    p.bytes52[0] = tag;
    return p;
}
}

TEST(MeshGridPass, BarsGoBetweenTheSurfacePiecesBehindAndInFrontOfThem)
{
    Scx3DView v = MakeView();
    BucketGridSpec spec{};
    spec.columns = spec.rows = 24;
    spec.dx = spec.dy = 100;
    BucketGrids(1, 0, 0, &spec, &v, nullptr);
    ASSERT_GT(v.eyeWorld[2], 0);
    // A bar face at y = 150 in cell (1, 1), standing from z 0 to 400. Pieces on the
    // eye's side of it within its height are drawn after it, the others before it.
    bool eyeBeyond = v.eyeWorld[1] > 150;
    float nearY = eyeBeyond ? 180 : 120, farY = eyeBeyond ? 120 : 180;
    const BucketPiece pieces[] = {
        Surface(150, nearY, 300, 1), // in front, within the bar's height
        Surface(150, farY, 200, 2),  // behind it
        Surface(150, nearY, 900, 3), // in front but above the bar: its depth order holds
    };
    for (const BucketPiece& p : pieces)
        ASSERT_EQ(0, BucketGrids(3, 0, 0, const_cast<BucketPiece*>(&p), nullptr, &v));
    BucketPiece bar{};
    bar.kind = BUCKET_PIECE_BAR;
    const float corners[4][3] = {{110, 150, 0}, {190, 150, 0}, {190, 150, 400}, {110, 150, 400}};
    memcpy(bar.corners, corners, sizeof corners);
    bar.bytes52[0] = 9;
    ASSERT_EQ(0, BucketGrids(3, 0, 0, &bar, nullptr, &v));
    std::vector<int> order;
    for (const BucketPiece& p : *BucketCell(1, 1))
        order.push_back(p.bytes52[0]);
    EXPECT_EQ((std::vector<int>{3, 2, 9, 1}), order);
    BucketGrids(6, 0, 0, &spec, nullptr, nullptr);
}
