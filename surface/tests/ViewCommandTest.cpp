// The view commands of SCX3D: defaults, the fit into the viewport, the letter commands,
// rotation with walls that follow the eye, and wall angles.
#include <gtest/gtest.h>
#include <math.h>

#include "TestHost.h"
#include "ViewFixture.h"

namespace {
INT_PTR Letter(Scx3DView& v, const char* text)
{
    return SCX3D(nullptr, SCX3D_LETTER, 0, &v, (INT_PTR)text);
}

void BindHost(TestHost& host)
{
    Scx3DView v;
    memset(&v, 0, sizeof v);
    v.hostCallback = host.callback();
    SCX3D((HWND)0x1234, SCX3D_BIND_HOST, 0, &v, 0);
}
}

TEST(ViewCommands, DefaultsAndTheirBytes)
{
    Scx3DView v;
    memset(&v, 0, sizeof v);
    v.horizontal = 1;
    memset(v.carried1, 0xAB, sizeof v.carried1);
    SCX3D(nullptr, SCX3D_DEFAULTS, 0, &v, 0);
    EXPECT_EQ(5, v.version);
    EXPECT_FLOAT_EQ(15, v.rotation);
    EXPECT_FLOAT_EQ(-4.1f, v.roll);
    EXPECT_FLOAT_EQ(-15, v.tilt);
    EXPECT_EQ(0x4F, v.walls);
    EXPECT_EQ(20, v.state);
    EXPECT_EQ(135, v.viewOptions);
    EXPECT_EQ(32, v.gridCount1);
    EXPECT_EQ(32, v.gridCount2);
    EXPECT_FLOAT_EQ(2300, v.wallY);
    EXPECT_FLOAT_EQ(1150, v.boxCentre[2]);
    EXPECT_FLOAT_EQ(2300, v.xyRect[1]);
    EXPECT_EQ(1, v.wallColour[0]);
    EXPECT_EQ(3, v.wallColour[2]);
    // eye distance (0.866 / tan(0.01745329) - 0.5) * 2300 = 112960.16 (python3)
    EXPECT_NEAR(112960.16, v.eyeLocal[2], 0.02);
    EXPECT_EQ(0xAB, v.carried1[0]) << "bytes the kernel owns are carried unchanged";

    Scx3DView upright;
    memset(&upright, 0, sizeof upright);
    SCX3D(nullptr, SCX3D_DEFAULTS, 0, &upright, 0);
    EXPECT_FLOAT_EQ(105, upright.rotation);
}

TEST(ViewCommands, FitToViewportResetsUnusableBoxes)
{
    struct Row { float size, legacy; uint8_t state; float expectSize, expectLegacy; };
    const Row rows[] = {
        {0.5f, 0, 20, 2300, 0},  // all sides below one unit
        {1, 150, 20, 2300, 0},   // still in unit measure
        {0.5f, 0, 0, 0.5f, 0},   // state 0: only the viewport and DC are taken
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << "size " << r.size << " legacy " << r.legacy << " state " << int(r.state));
        Scx3DView v = MakeView();
        v.boxX = v.boxY = v.boxZ = r.size;
        v.legacyScale = r.legacy;
        v.state = r.state;
        int32_t viewport[4] = {10, 20, 110, 220};
        SCX3D(nullptr, SCX3D_FIT_VIEWPORT, 0x5678, &v, (INT_PTR)viewport);
        EXPECT_FLOAT_EQ(r.expectSize, v.boxX);
        EXPECT_FLOAT_EQ(r.expectSize, v.boxZ);
        EXPECT_FLOAT_EQ(r.expectLegacy, v.legacyScale);
        EXPECT_EQ(0x5678, v.deviceContext);
        EXPECT_EQ(220, v.viewport[3]);
    }

    // Records older than version 3 take their walls from the old byte.
    Scx3DView old = MakeView();
    old.version = 2;
    old.oldWalls = 0x07;
    int32_t viewport[4] = {0, 0, 100, 100};
    SCX3D(nullptr, SCX3D_FIT_VIEWPORT, 0, &old, (INT_PTR)viewport);
    EXPECT_EQ(0x07, old.walls);
    EXPECT_EQ(3, old.oldWalls);
    EXPECT_EQ(5, old.version);
}

TEST(ViewCommands, PerspectiveLetter)
{
    struct Row { float before; const char* text; float after; };
    const Row rows[] = {
        {10, "P-9", 0.001f}, {10, "P+9", 30.001f}, {10, "P4", 12}, {10, "P-2", 4},
        {10, "P0", 0.001f}, // an angle of 0 would put the eye at infinity
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.text);
        Scx3DView v = MakeView();
        v.perspective = r.before;
        v.state = 0;
        EXPECT_EQ(0, Letter(v, r.text));
        EXPECT_FLOAT_EQ(r.after, v.perspective);
        EXPECT_EQ(0x09, v.state);
    }
}

TEST(ViewCommands, FitBoxLetterScalesToTheNominalSide)
{
    TestHost host;
    BindHost(host);
    struct Row { float x, y, z, ex, ey, ez; uint8_t state; bool refresh; };
    const Row rows[] = {
        {1000, 2000, 500, 1150, 2300, 575, 0x1C, true},
        {2300, 100, 100, 2300, 100, 100, 0x0C, false},
        {0, 0, 0, 0, 0, 0, 0x0C, false}, // nothing to scale, and no division by zero
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << r.x << "," << r.y << "," << r.z);
        host.calls.clear();
        Scx3DView v = MakeView();
        v.boxX = r.x; v.boxY = r.y; v.boxZ = r.z;
        v.wallY = r.y;
        v.state = 0;
        Letter(v, "F");
        EXPECT_FLOAT_EQ(r.ex, v.boxX);
        EXPECT_FLOAT_EQ(r.ey, v.boxY);
        EXPECT_FLOAT_EQ(r.ez, v.boxZ);
        EXPECT_FLOAT_EQ(r.ey, v.wallY);
        EXPECT_EQ(r.state, v.state);
        EXPECT_EQ(r.refresh ? 1u : 0u, host.Scripts().size());
        if (r.refresh) {
            EXPECT_EQ(";doc -uw;clr", host.Scripts()[0]);
        }
    }
}

TEST(ViewCommands, ResetLetterPresetsKeepTheEyeFinite)
{
    struct Row { uint8_t flat, horizontal; float rotation, roll, tilt, perspective; float wallX, wallY, wallZ; };
    const Row rows[] = {
        {1, 1, 25, 0, -15, 7, 0, 2300, 0},        // perspective unchanged
        {1, 0, 105, 0, -15, 0.001f, 0, 0, 0},     // flat upright: the smallest angle, not 0
        {0, 1, 12.1f, -10.2f, -38.9f, 13, 0, 2300, 0},
        {0, 0, 67.5f, 21.3f, 138.7f, 10, 2300, 0, 2300},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << "flat " << int(r.flat) << " horizontal " << int(r.horizontal));
        Scx3DView v = MakeView();
        v.flat = r.flat;
        v.horizontal = r.horizontal;
        v.perspective = 7;
        v.state = 0;
        Letter(v, "R");
        EXPECT_FLOAT_EQ(r.rotation, v.rotation);
        EXPECT_FLOAT_EQ(r.roll, v.roll);
        EXPECT_FLOAT_EQ(r.tilt, v.tilt);
        EXPECT_FLOAT_EQ(r.perspective, v.perspective);
        EXPECT_FLOAT_EQ(r.wallX, v.wallX);
        EXPECT_FLOAT_EQ(r.wallY, v.wallY);
        EXPECT_FLOAT_EQ(r.wallZ, v.wallZ);
        EXPECT_EQ(0x18, v.state);
        Refit(v);
        for (float e : v.eyeWorld)
            EXPECT_TRUE(isfinite(e));
        EXPECT_TRUE(isfinite(v.pixelScale) && v.pixelScale > 0);
    }
}

TEST(ViewCommands, RotationPlacesWallsOnTheFarSide)
{
    Scx3DView v = MakeView();
    v.state = 0;
    float none = 0;
    // The default eye looks from -y, a little from +x and above: the X wall goes to the
    // far x, the Y wall to box Y, the floor stays at 0.
    INT_PTR changed = SCX3D(nullptr, SCX3D_ROTATE, 0, &v, (INT_PTR)&none);
    EXPECT_GT(v.eyeWorld[2], 0);
    EXPECT_LT(v.eyeWorld[1], 0);
    EXPECT_EQ(v.eyeWorld[0] > 0 ? 0.0f : 2300.0f, v.wallX);
    EXPECT_FLOAT_EQ(2300, v.wallY);
    EXPECT_FLOAT_EQ(0, v.wallZ);
    EXPECT_EQ((v.state & SCX3D_STATE_WALLS) ? 0 : 1, changed);

    // Turning the box half way round brings the eye to +y: the Y wall follows to 0.
    v.state = 0;
    float half = 180;
    EXPECT_EQ(0, SCX3D(nullptr, SCX3D_ROTATE, 2, &v, (INT_PTR)&half));
    EXPECT_GT(v.eyeWorld[1], 2300);
    EXPECT_FLOAT_EQ(0, v.wallY);
    EXPECT_EQ(0, v.walls & SCX3D_WALL_Y_FAR);
    EXPECT_TRUE(v.state & SCX3D_STATE_REPROJECT);
    v.state = 0;
    EXPECT_EQ(1, SCX3D(nullptr, SCX3D_ROTATE, 2, &v, 0)) << "no angle: nothing moves";
}

TEST(ViewCommands, WallAxisAngles)
{
    Scx3DView v = MakeView();
    v.rotation = v.roll = v.tilt = 0;
    SCX3D(nullptr, 0x2001, 0, &v, 0);
    Refit(v);
    // Looking along +y at the X wall: the z axis is vertical on screen.
    float arg[4] = {500, 700, 0, 0};
    INT_PTR result = SCX3D(nullptr, SCX3D_WALL_AXES, 0, &v, (INT_PTR)arg);
    EXPECT_FLOAT_EQ(90, arg[2]);
    float p[3];
    ToScreen(v, v.wallX, 500, 700, p);
    EXPECT_EQ(p[0], arg[0]);
    EXPECT_EQ(p[1], arg[1]);
    EXPECT_TRUE(result == 0 || result == 2);

    // On the floor (flag 4) the first segment runs along y, the second along x, which
    // here is horizontal on screen and left to right.
    float floor[4] = {500, 700, 0, 0};
    EXPECT_EQ(0, SCX3D(nullptr, SCX3D_WALL_AXES, 4, &v, (INT_PTR)floor));
    EXPECT_NEAR(0, floor[3], 0.5);
}

TEST(ViewCommands, UnknownLettersAndCommandsDoNothing)
{
    TestHost host;
    BindHost(host);
    Scx3DView v = MakeView();
    EXPECT_EQ(0, Letter(v, "C"));
    EXPECT_EQ(0, Letter(v, "D")) << "no object dialog is open";
    EXPECT_EQ(0, SCX3D(nullptr, 999, 0, &v, 0));
}

TEST(ViewCommands, BindingAsksForTheColourService)
{
    TestHost host;
    host.colourHook = 0x4242;
    BindHost(host);
    ASSERT_EQ(1u, host.calls.size());
    EXPECT_EQ((UINT)PLOTHOST_QUERY_054A, host.calls[0].code);
    EXPECT_EQ(0x1234, host.calls[0].context);
}
