// Projection: device coordinates against an independent double-precision computation
// (reference/projection.py), and the geometric invariants the drawing code relies on.
// The engine works in single precision and truncates twice, so device coordinates may
// differ from the reference by one unit.
#include <gtest/gtest.h>
#include <math.h>

#include "Surface.h"
#include "ViewFixture.h"

namespace {
struct ProjectionRow {
    float rotation, roll, tilt, x, y, z;
    int deviceX, deviceY;
};
const ProjectionRow kReference[] = {
#include "reference/ProjectionReference.inc"
};

void SetAngles(Scx3DView& v, float rotation, float roll, float tilt)
{
    v.rotation = rotation;
    v.roll = roll;
    v.tilt = tilt;
    SCX3D(nullptr, 0x2001, 0, &v, 0);
}
}

TEST(Projection, DeviceCoordinatesMatchTheReference)
{
    for (const auto& row : kReference) {
        SCOPED_TRACE(testing::Message() << "angles " << row.rotation << "/" << row.roll << "/" << row.tilt
                                        << " point " << row.x << "," << row.y << "," << row.z);
        Scx3DView v = MakeView();
        SetAngles(v, row.rotation, row.roll, row.tilt);
        Refit(v);
        float p[3];
        ToScreen(v, row.x, row.y, row.z, p);
        EXPECT_NEAR(row.deviceX, p[0], 1.0);
        EXPECT_NEAR(row.deviceY, p[1], 1.0);
        EXPECT_EQ(row.z, p[2]);
    }
}

TEST(Projection, FrameMatrixAndExtentInvariants)
{
    const float dirs[][6] = {{0, -1, 0, 0, 0, 1}, {1, 2, -3, 0, 1, 1}, {-0.5f, 0.2f, 0.9f, 1, 0, 0}};
    for (const auto& d : dirs) {
        SCOPED_TRACE(testing::Message() << "view direction " << d[0] << "," << d[1] << "," << d[2]);
        Scx3DView v = MakeView();
        memcpy(v.viewDir, d, 12);
        memcpy(v.viewUp, d + 3, 12);
        SCX3D(nullptr, 0x2000, 0, &v, 0);
        const float* axes[3] = {v.axisU, v.axisV, v.axisW};
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) {
                double dot = 0;
                for (int k = 0; k < 3; ++k)
                    dot += axes[i][k] * axes[j][k];
                EXPECT_NEAR(i == j ? 1.0 : 0.0, dot, 1e-6) << "axes " << i << " and " << j;
            }
        SCX3D(nullptr, 0x2001, 0, &v, 0);
        // The box turns about its own middle and the look-at is centred there, so the
        // box centre lands on the viewing origin.
        float centre[3];
        ProjectPoint(PROJECT_MATRIX, &v, v.boxCentre, nullptr, centre);
        for (float c : centre)
            EXPECT_NEAR(0.0, c, 0.01);
    }

    // The default view's box fills the viewport and sits in its middle.
    Scx3DView v = MakeView(400, 300);
    for (float e : v.extent)
        EXPECT_TRUE(isfinite(e));
    float lo[2] = {1e9f, 1e9f}, hi[2] = {-1e9f, -1e9f};
    for (int c = 0; c < 8; ++c) {
        float p[3];
        ToScreen(v, (c & 1) ? 2300.0f : 0.0f, (c & 2) ? 2300.0f : 0.0f, (c & 4) ? 2300.0f : 0.0f, p);
        for (int i = 0; i < 2; ++i) {
            lo[i] = fminf(lo[i], p[i]);
            hi[i] = fmaxf(hi[i], p[i]);
        }
    }
    EXPECT_NEAR(200.5, (lo[0] + hi[0]) / 2, 1.5);
    EXPECT_NEAR(150.5, (lo[1] + hi[1]) / 2, 1.5);
    EXPECT_TRUE(hi[0] - lo[0] >= 398 || hi[1] - lo[1] >= 298) << "the box touches two sides";
}

TEST(Projection, FlatModeDropsTheAxisAlongTheView)
{
    Scx3DView v = MakeView();
    v.flat = 1;
    SetAngles(v, 0, 0, 0); // screen x from world x only: y and z entries of column 0 are 0
    Refit(v);
    float a[3], b[3], c[3];
    ToScreen(v, 300, 0, 0, a);
    ToScreen(v, 300, 2300, 0, b);
    ToScreen(v, 300, 0, 2300, c);
    EXPECT_EQ(a[0], b[0]);
    EXPECT_EQ(a[0], c[0]);
    // No perspective: equal steps in depth move nothing on screen.
    float near1[3], far1[3];
    ToScreen(v, 2000, 0, 500, near1);
    ToScreen(v, 2000, 2300, 500, far1);
    EXPECT_EQ(near1[0], far1[0]);
    EXPECT_EQ(near1[1], far1[1]);
}

TEST(Projection, AnglesAreRecoveredFromTheMatrix)
{
    const float rows[][3] = {{15, -4.1f, -15}, {105, -4.1f, -15}, {40, 10, 20}, {12.1f, -10.2f, -38.9f}};
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << r[0] << "/" << r[1] << "/" << r[2]);
        Scx3DView v = MakeView();
        SetAngles(v, r[0], r[1], r[2]);
        v.rotation = v.roll = v.tilt = 0;
        SCX3D(nullptr, SCX3D_RECOVER_ANGLES, 0, &v, 0);
        EXPECT_NEAR(r[0], v.rotation, 0.01);
        EXPECT_NEAR(r[1], v.roll, 0.01);
        EXPECT_NEAR(r[2], v.tilt, 0.01);
    }
}

TEST(Projection, ScreenPointsReturnToTheirWorldPointOnAPlane)
{
    // A large viewport makes one device unit about one world unit.
    Scx3DView v = MakeView(4000, 3000);
    double unit = 1.0 / v.pixelScale;
    const float world[][3] = {{100, 200, 0}, {1500, 700, 0}, {2000, 2000, 1150}, {300, 1900, 2300}};
    for (const auto& w : world) {
        SCOPED_TRACE(testing::Message() << w[0] << "," << w[1] << "," << w[2]);
        float p[3];
        ToScreen(v, w[0], w[1], w[2], p);
        float screen[2] = {p[0], p[1]};
        SCX3D(nullptr, SCX3D_SCREEN_TO_WORLD, 1, &v, (INT_PTR)p);
        EXPECT_NEAR(w[2], p[2], 0.01) << "the point stays on the plane";
        // Two truncations lose up to two device units; seen at a slant on the plane that
        // is a few world units, but the point found must project back where it came from.
        EXPECT_NEAR(w[0], p[0], 10 * unit);
        EXPECT_NEAR(w[1], p[1], 10 * unit);
        float back[3];
        ToScreen(v, p[0], p[1], p[2], back);
        EXPECT_NEAR(screen[0], back[0], 2.0);
        EXPECT_NEAR(screen[1], back[1], 2.0);
    }

    // A ray along a wall never meets it: the depth is the far value, not a division by 0.
    // With an identity matrix the ray through the screen origin runs along viewing z,
    // inside the X plane.
    Scx3DView side;
    memset(&side, 0, sizeof side);
    for (int i = 0; i < 4; ++i)
        side.viewMatrix[i * 5] = 1;
    side.eyeLocal[2] = 5000;
    side.boxZ = 2300;
    side.pixelScale = 1;
    side.screenOffsetX = -0.5f;
    side.screenOffsetY = -0.5f;
    float out[3];
    ScreenToWall(&side, 2, 0, 0, 0, out);
    EXPECT_EQ(0.0f, out[0]);
    EXPECT_EQ(0.0f, out[1]);
    EXPECT_EQ(1e12f, out[2]);
}
