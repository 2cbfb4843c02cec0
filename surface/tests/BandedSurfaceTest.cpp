// The banded surface primitives: cut points, slab clipping and the band-by-band fill of
// a cell, drawn into a memory DC by a kernel stand-in whose colour map has bands of 500
// world units, each with its own solid brush.
#include <gtest/gtest.h>

#include <math.h>

#include <algorithm>

#include <vector>

#include "Surface.h"
#include "ViewFixture.h"
#include "qxtest/Pixels.h"

namespace {

const float kBand = 500;
const COLORREF kBandColour[] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 0),
                                RGB(255, 0, 255)};

struct Kernel {
    float zLow = 0, zHigh = 2300;
    std::vector<UINT> codes;
    std::vector<INT_PTR> brushSlots;
    HBRUSH brushes[5];
    HPEN pen;
    Kernel()
    {
        for (int k = 0; k < 5; ++k)
            brushes[k] = CreateSolidBrush(kBandColour[k]);
        pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    }
    ~Kernel()
    {
        for (HBRUSH b : brushes)
            DeleteObject(b);
        DeleteObject(pen);
    }
};
Kernel* g_kernel;

INT_PTR WINAPI KernelCallback(INT_PTR, UINT code, INT_PTR a1, INT_PTR a2, INT_PTR, INT_PTR)
{
    Kernel& k = *g_kernel;
    k.codes.push_back(code);
    switch (code) {
    case 0x100003: return (INT_PTR)floorf(*(float*)a1 / kBand);
    case 0x100005: *(float*)a1 = kBand * (float)a2; return 0;
    case 0x100007: *(float*)a1 = k.zLow; return 0;
    case 0x100008: *(float*)a1 = k.zHigh; return 0;
    case 0x10000A:
        k.brushSlots.push_back(a2);
        SelectObject((HDC)a1, k.brushes[a2 < 0 ? 0 : a2 > 4 ? 4 : a2]);
        return 0;
    case 0x200013: SelectObject((HDC)a1, k.pen); return 0;
    default: return 0;
    }
}

struct Scene {
    Kernel kernel;
    qxtest::MemoryCanvas canvas{400, 300};
    Scx3DView view = MakeView();
    Scx3DAttributes attributes{};
    MeshCell cell{};
    Scene(uint8_t fill, uint8_t flags)
    {
        g_kernel = &kernel;
        view.deviceContext = (int32_t)(INT_PTR)canvas.dc();
        attributes.bytes[2] = fill;
        attributes.bytes[11] = flags;
        attributes.callbackUser = 1;
        attributes.callback = &KernelCallback;
    }
    // Corners (0, 0), (X, 0), (X, Y), (0, Y) of the floor, at the heights given.
    void SetCell(const float z[4])
    {
        const float xy[4][2] = {{0, 0}, {view.boxX, 0}, {view.boxX, view.boxY}, {0, view.boxY}};
        for (int k = 0; k < 4; ++k) {
            float p[3] = {xy[k][0], xy[k][1], z[k]};
            memcpy(cell.world[k], p, 12);
            ProjectPoint(PROJECT_WORLD_TO_DEVICE, &view, p, cell.device[k], nullptr);
        }
    }
    POINT At(float x, float y, float z)
    {
        float p[3] = {x, y, z};
        int32_t d[2];
        ProjectPoint(PROJECT_WORLD_TO_DEVICE, &view, p, d, nullptr);
        return {d[0], d[1]};
    }
    int Count(UINT code) const
    {
        int n = 0;
        for (UINT c : kernel.codes)
            n += c == code;
        return n;
    }
};

// Whether any pixel within one of (x, y) has the colour.
bool Near(const qxtest::Image& image, POINT p, COLORREF colour)
{
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (image.ColorAt(p.x + dx, p.y + dy) == colour)
                return true;
    return false;
}

double Area(const float (*p)[3], int n)
{
    double a = 0;
    for (int k = 0; k < n; ++k)
        a += (double)p[k][0] * p[(k + 1) % n][1] - (double)p[(k + 1) % n][0] * p[k][1];
    return fabs(a) / 2;
}

} // namespace

TEST(BandedSurface, EdgeFactor)
{
    const float a[3] = {10, 20, 10}, b[3] = {0, 0, 0}, flat[3] = {5, 5, 5e-8f}, c[3] = {0, 0, 0.5f},
                d[3] = {4, 4, 1.2f};
    struct Case {
        int mode;
        const float *a, *b;
        float bound, factor;
    } cases[] = {
        {0, a, b, 2.5f, 0.25f},   // plain interpolation
        {0, flat, b, 0, 1},       // ends within 1e-7 in height: the first end
        {0, d, c, 1, 0.5f / 0.7f},
        {1, d, c, 1, 1},          // mode 1: a bound within one unit of both ends snaps
        {1, a, b, 2.5f, 0.25f},   // ... but not when an end is further away
    };
    for (const Case& k : cases) {
        EXPECT_EQ(0, EdgeFactor(nullptr, nullptr, (float)k.mode));
        EXPECT_NEAR(k.factor, EdgeFactor(k.a, k.b, k.bound), 1e-6) << k.mode << " " << k.bound;
    }
    EdgeFactor(nullptr, nullptr, 0);
}

TEST(BandedSurface, OrderByHeightKeepsEachFlagWithItsEdge)
{
    const float A[3] = {0, 0, 1}, B[3] = {1, 0, 3}, C[3] = {0, 1, 2};
    const float* p[3] = {A, B, C};
    int flags[3] = {1, 2, 4}; // A-B, B-C, C-A
    OrderByHeight(p, flags);
    EXPECT_EQ(B, p[0]);
    EXPECT_EQ(C, p[1]);
    EXPECT_EQ(A, p[2]);
    EXPECT_EQ(2, flags[0]); // B-C
    EXPECT_EQ(4, flags[1]); // C-A
    EXPECT_EQ(1, flags[2]); // A-B
}

TEST(BandedSurface, ClipTriangleToSlab)
{
    // Areas are integrals over the planar triangles, done by hand: z = x on the right
    // triangle (0,0) (10,0) (0,10) between 2 and 5 is the integral of 10 - x over
    // [2, 5] = 19.5; z = x/2 + y loses two corner triangles of area 4 each out of 50.
    const float ramp[3][3] = {{0, 0, 0}, {10, 0, 10}, {0, 10, 0}};
    const float tilted[3][3] = {{0, 0, 0}, {10, 0, 5}, {0, 10, 10}};
    struct Case {
        const float (*tri)[3];
        float zLow, zHigh;
        int count;
        double area;
    } cases[] = {
        {ramp, 5, 2, 0, 0},       // an empty slab
        {ramp, 10, 20, 0, 0},     // wholly below
        {ramp, -5, 0, 0, 0},      // wholly above
        {ramp, -1, 11, 1, 0},     // wholly inside
        {ramp, 2, 5, 4, 19.5},
        {tilted, 2, 8, 5, 42},
    };
    const int flags[3] = {1, 2, 4};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.zLow);
        float out[5][3];
        int outFlags[5];
        int n = ClipTriangleToSlab(k.zLow, k.zHigh, k.tri, flags, out, outFlags);
        ASSERT_EQ(k.count, n);
        if (n < 3)
            continue;
        EXPECT_NEAR(k.area, Area(out, n), 1e-3);
        for (int e = 0; e < n; ++e) {
            const float *s = out[e], *t = out[(e + 1) % n];
            EXPECT_TRUE(s[2] >= k.zLow - 1e-4f && s[2] <= k.zHigh + 1e-4f);
            int expected = 0;
            if (!(s[2] == t[2] && (s[2] == k.zLow || s[2] == k.zHigh)))
                for (int g = 0; g < 3; ++g) {
                    const float *a = k.tri[g], *b = k.tri[(g + 1) % 3];
                    auto off = [&](const float* q) {
                        return fabs((b[0] - a[0]) * (q[1] - a[1]) - (b[1] - a[1]) * (q[0] - a[0]));
                    };
                    if (off(s) < 1e-3 && off(t) < 1e-3)
                        expected = flags[g];
                }
            EXPECT_EQ(expected, outFlags[e]) << "edge " << e;
        }
    }
}

TEST(BandedSurface, CellInOneBandIsOnePolygonInItsBrush)
{
    Scene s(0x10, 0x00);
    const float z[4] = {600, 700, 800, 900};
    s.SetCell(z);
    EXPECT_EQ(0, DrawBandedCell(&s.cell, &s.view, &s.attributes, 0));
    EXPECT_EQ(std::vector<INT_PTR>{1}, s.kernel.brushSlots);
    EXPECT_EQ(1, s.Count(0x200013));
    EXPECT_EQ(1, s.Count(0x200014));
    qxtest::Image image = s.canvas.Capture();
    EXPECT_EQ(kBandColour[1], image.ColorAt(s.At(1150, 1150, 750).x, s.At(1150, 1150, 750).y));
}

TEST(BandedSurface, CellOverThreeBandsShowsThemInOrderOfHeight)
{
    // z = 100 + x * 1300 / 2300: bands 0, 1 and 2 across X; no grid lines.
    Scene s(0x10, 0x40);
    const float z[4] = {100, 1400, 1400, 100};
    s.SetCell(z);
    DrawBandedCell(&s.cell, &s.view, &s.attributes, 0);
    std::vector<INT_PTR> slots = s.kernel.brushSlots;
    std::sort(slots.begin(), slots.end());
    EXPECT_EQ((std::vector<INT_PTR>{0, 0, 1, 1, 2, 2}), slots); // three pieces per triangle
    EXPECT_EQ(0, s.Count(0x200013));
    qxtest::Image image = s.canvas.Capture();
    for (float x : {300.0f, 1150.0f, 2000.0f}) {
        float height = 100 + x * 1300 / 2300;
        POINT p = s.At(x, 1150, height);
        EXPECT_EQ(kBandColour[(int)(height / kBand)], image.ColorAt(p.x, p.y)) << x;
    }
}

TEST(BandedSurface, CellOutsideTheRangeDrawsNothing)
{
    for (float height : {2000.0f, -300.0f}) {
        Scene s(0x10, 0x00);
        s.kernel.zLow = 0;
        s.kernel.zHigh = 1800;
        const float z[4] = {height, height + 10, height, height - 10};
        s.SetCell(z);
        DrawBandedCell(&s.cell, &s.view, &s.attributes, 0);
        EXPECT_TRUE(s.kernel.brushSlots.empty());
        EXPECT_EQ(0, FillBandedTriangle(s.cell.world[0], s.cell.world[1], s.cell.world[2], &s.view,
                                        &s.attributes, 1800, 0, 0));
        qxtest::Image image = s.canvas.Capture();
        EXPECT_EQ(image.width * image.height, image.Count(RGB(255, 255, 255))) << height;
    }
}

TEST(BandedSurface, LinesOfOneDirectionOnly)
{
    // Byte 11: 0x20 alone selects lines along Y (edges P1-P2 and P3-P0), 0x20 | 0x40
    // lines along X (P0-P1 and P2-P3). The fill has no outline of its own.
    struct Case {
        uint8_t flags;
        bool alongX, alongY;
    } cases[] = {{0x20, false, true}, {0x60, true, false}};
    for (const Case& k : cases) {
        Scene s(0x10, k.flags);
        const float z[4] = {700, 700, 700, 700};
        s.SetCell(z);
        DrawBandedCell(&s.cell, &s.view, &s.attributes, 0);
        qxtest::Image image = s.canvas.Capture();
        auto mid = [&](int a, int b) {
            return POINT{(s.cell.device[a][0] + s.cell.device[b][0]) / 2,
                         (s.cell.device[a][1] + s.cell.device[b][1]) / 2};
        };
        const COLORREF black = RGB(0, 0, 0);
        EXPECT_EQ(k.alongX, Near(image, mid(0, 1), black)) << (int)k.flags;
        EXPECT_EQ(k.alongX, Near(image, mid(2, 3), black)) << (int)k.flags;
        EXPECT_EQ(k.alongY, Near(image, mid(1, 2), black)) << (int)k.flags;
        EXPECT_EQ(k.alongY, Near(image, mid(3, 0), black)) << (int)k.flags;
    }
}

TEST(BandedSurface, RangeEdgeClipsToTheRange)
{
    struct Case {
        float p[3], q[3];
        int result;
        float lowZ, highZ, lowX;
    } cases[] = {
        {{0, 0, -5}, {10, 0, -1}, 0, 0, 0, 0},
        {{0, 0, 15}, {10, 0, 11}, 1, 0, 0, 0},
        {{0, 0, -5}, {10, 0, 15}, 2, 0, 10, 2.5f},
        {{10, 0, 15}, {0, 0, -5}, 3, 0, 10, 2.5f},
    };
    for (Case k : cases) {
        int r = DrawRangeEdge(k.p, k.q, 10, 0, nullptr);
        EXPECT_EQ(k.result, r);
        if (r < 2)
            continue;
        EXPECT_FLOAT_EQ(k.lowZ, k.p[2]);
        EXPECT_FLOAT_EQ(k.highZ, k.q[2]);
        EXPECT_FLOAT_EQ(k.lowX, k.p[0]);
        EXPECT_FLOAT_EQ(7.5f, k.q[0]);
    }
}
