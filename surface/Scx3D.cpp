// SCX3D, the command entry of every 3D layer: view defaults, the fit into the viewport,
// rotations, conversions between world and screen, wall hits, and the routing of object
// and store commands. The engine keeps nothing of a layer between calls but the last
// depth and the index-list mode.
#include "Surface.h"

#include <math.h>
#include <string.h>

namespace {

float g_lastDepth = 0;
int g_indexListMode = 1;

// The perspective angle is kept away from 0: the eye distance is 0.866 / tan(angle), and
// an angle of 0 would put the eye at infinity and every projected point at NaN.
const float kPerspectiveMin = 0.001f;
const float kPerspectiveMax = 30.001f;

void Refresh()
{
    PlotHostRunScript(";doc -uw;clr");
}

void SetDefaults(Scx3DView* v)
{
    v->version = 5;
    v->legacyScale = 0;
    v->boxX = v->boxY = v->boxZ = 2300;
    v->boxCentre[0] = v->boxX * 0.5f;
    v->boxCentre[1] = v->boxY * 0.5f;
    v->boxCentre[2] = v->boxZ * 0.5f;
    const float dir[3] = {0, -1, 0}, up[3] = {0, 0, 1};
    memcpy(v->viewDir, dir, sizeof dir);
    memcpy(v->viewUp, up, sizeof up);
    ProjectionCommand(0x2000, v);
    v->rotation = v->horizontal ? 15.0f : 105.0f;
    v->roll = -4.1f;
    v->tilt = -15.0f;
    ProjectionCommand(0x2001, v);
    v->perspective = 1;
    v->eyeLocal[0] = v->eyeLocal[1] = 0;
    v->eyeLocal[2] = (float)EyeDistanceFor(v->perspective, v->boxZ);
    ComputeEyeWorld(v);
    v->xyRect[0] = 0;
    v->xyRect[1] = v->boxX;
    v->xyRect[2] = v->boxY;
    v->xyRect[3] = 0;
    v->wallColour[0] = 1;
    v->wallColour[1] = 2;
    v->wallColour[2] = 3;
    v->wallZ = 0;
    v->wallX = 0;
    v->wallY = v->boxY;
    v->walls = 0x4F;
    v->viewOptions = 135;
    v->gridCount1 = v->gridCount2 = 32;
    v->state = 20;
}

void FitViewport(HWND window, Scx3DView* v, INT_PTR dc, const int32_t* viewport)
{
    memcpy(v->viewport, viewport, sizeof v->viewport);
    if (dc)
        v->deviceContext = (int32_t)dc;
    ColourMapRememberWindow(window);
    if (v->version < 3) {
        v->walls = v->oldWalls;
        v->oldWalls = 3;
    }
    v->version = 5;
    if (v->state == 0)
        return;
    if (v->legacyScale > 100) {
        v->legacyScale = 0;
        v->boxX *= 2300;
        v->boxY *= 2300;
        v->boxZ *= 2300;
    }
    v->state |= SCX3D_STATE_REPROJECT;
    v->eyeLocal[0] = v->eyeLocal[1] = 0;
    v->eyeLocal[2] = (float)EyeDistanceFor(v->perspective, 2300);
    ComputeEyeWorld(v);
    double sum = fabs((double)(int32_t)v->boxX) + fabs((double)(int32_t)v->boxY) +
                 fabs((double)(int32_t)v->boxZ);
    if (sum < 0.0001)
        v->boxX = v->boxY = v->boxZ = 2300;
    float* e = v->extent;
    if ((v->state & SCX3D_STATE_EXTENT) || e[2] - e[0] == 0 || e[1] - e[3] == 0) {
        v->state |= SCX3D_STATE_REPROJECT;
        ComputeExtent(v);
    }
    v->state &= ~(SCX3D_STATE_PERSPECTIVE | SCX3D_STATE_EXTENT);
    double height = v->viewport[3] - v->viewport[1], width = v->viewport[2] - v->viewport[0];
    double s = fmin(height / (e[2] - e[0]), width / (e[1] - e[3]));
    v->screenOffsetX = (float)((v->viewport[0] + v->viewport[2] + 1) * 0.5 - s * (e[3] + e[1]) * 0.5);
    v->screenOffsetY = (float)((s * (e[0] + e[2]) + v->viewport[1] + v->viewport[3] + 1) * 0.5);
    if ((float)s != v->pixelScale)
        v->state |= SCX3D_STATE_REPROJECT;
    v->pixelScale = (float)s;
}

// Walls that follow the eye sit on the far side of the box from it, so that they never
// hide the data.
void PlaceWallsByEye(Scx3DView* v)
{
    uint8_t before = v->walls;
    if (v->eyeWorld[0] > 0) {
        v->wallX = 0;
        v->walls &= ~SCX3D_WALL_X_FAR;
    } else {
        v->wallX = v->boxX;
        v->walls |= SCX3D_WALL_X_FAR;
    }
    if (v->boxY > v->eyeWorld[1]) {
        v->wallY = v->boxY;
        v->walls |= SCX3D_WALL_Y_FAR;
    } else {
        v->wallY = 0;
        v->walls &= ~SCX3D_WALL_Y_FAR;
    }
    if (!(v->eyeWorld[2] > 0)) {
        v->wallZ = v->boxZ;
        v->walls |= SCX3D_WALL_Z_FAR;
    } else {
        v->wallZ = 0;
        v->walls &= ~SCX3D_WALL_Z_FAR;
    }
    if (v->walls != before)
        v->state |= SCX3D_STATE_WALLS;
}

int Rotate(Scx3DView* v, int axis, const float* angle)
{
    if (angle) {
        v->stepAngle = *angle;
        if (v->flat && axis != 2) {
            RecoverAngles(v);
            if (axis == 4)
                v->tilt += *angle;
            else
                v->rotation += *angle;
            ProjectionCommand(0x2001, v);
        } else {
            v->stepAxis = (int16_t)axis;
            ProjectionCommand(15, v);
        }
        ComputeEyeWorld(v);
    }
    if (v->walls & SCX3D_WALLS_FOLLOW_EYE)
        PlaceWallsByEye(v);
    v->state |= SCX3D_STATE_REPROJECT;
    return (v->state & SCX3D_STATE_WALLS) ? 0 : 1;
}

void SetWall(Scx3DView* v, float* position, float value, uint8_t bit, bool atFar)
{
    *position = value;
    if (atFar)
        v->walls |= bit;
    else
        v->walls &= ~bit;
}

void ResetAngles(Scx3DView* v)
{
    struct Preset { float rotation, roll, tilt, perspective; };
    // A negative perspective means "unchanged".
    static const Preset presets[2][2] = {
        {{67.5f, 21.3f, 138.7f, 10}, {12.1f, -10.2f, -38.9f, 13}}, // not flat: [horizontal]
        {{105, 0, -15, kPerspectiveMin}, {25, 0, -15, -1}},        // flat
    };
    const Preset& p = presets[v->flat ? 1 : 0][v->horizontal ? 1 : 0];
    v->rotation = p.rotation;
    v->roll = p.roll;
    v->tilt = p.tilt;
    if (p.perspective >= 0)
        v->perspective = p.perspective;
    ProjectionCommand(0x2001, v);
    if (v->walls & SCX3D_WALLS_FOLLOW_EYE) {
        if (v->flat || v->horizontal) {
            SetWall(v, &v->wallX, 0, SCX3D_WALL_X_FAR, false);
            SetWall(v, &v->wallY, (v->horizontal || !v->flat) ? v->boxY : 0, SCX3D_WALL_Y_FAR, true);
            SetWall(v, &v->wallZ, 0, SCX3D_WALL_Z_FAR, false);
        } else {
            SetWall(v, &v->wallX, v->boxX, SCX3D_WALL_X_FAR, true);
            SetWall(v, &v->wallY, 0, SCX3D_WALL_Y_FAR, false);
            SetWall(v, &v->wallZ, v->boxZ, SCX3D_WALL_Z_FAR, true);
        }
    }
    v->state |= 0x18;
}

void Perspective(Scx3DView* v, const char* operand)
{
    float p = v->perspective;
    if ((operand[0] == '-' || operand[0] == '+') && operand[1] >= '0' && operand[1] <= '9')
        p += (operand[0] == '-' ? -3.0f : 3.0f) * (operand[1] - '0');
    else if (operand[0] >= '0' && operand[0] <= '9')
        p = 3.0f * (operand[0] - '0');
    v->perspective = fminf(fmaxf(p, kPerspectiveMin), kPerspectiveMax);
    v->state |= 0x09;
}

// Scales the box so that its largest side is the nominal 2300; a box with no positive
// side has nothing to scale and is left as it is.
void FitBox(Scx3DView* v)
{
    float largest = fmaxf(v->boxX, fmaxf(v->boxY, v->boxZ));
    v->state |= 0x0C;
    if (!(largest > 0))
        return;
    double f = 2300.0 / largest;
    v->boxX = (float)(v->boxX * f);
    v->boxY = (float)(v->boxY * f);
    v->boxZ = (float)(v->boxZ * f);
    v->wallX = (float)(v->wallX * f);
    v->wallY = (float)(v->wallY * f);
    v->wallZ = (float)(v->wallZ * f);
    if ((int32_t)largest != 2300) {
        v->state |= SCX3D_STATE_WALLS;
        Refresh();
    }
}

INT_PTR Letter(HWND window, Scx3DView* v, const char* text)
{
    if (!text)
        return 0;
    switch (text[0]) {
    case 'D': return ObjectDialogOpen() ? 1 : 0;
    case 'E': return EditView(window, v);
    case 'F': FitBox(v); break;
    case 'H':
        v->horizontal = text[1] != 'L';
        v->state |= SCX3D_STATE_REPROJECT;
        Refresh();
        break;
    case 'N': g_indexListMode = 100; break;
    case 'P': Perspective(v, text + 1); break;
    case 'Q': g_indexListMode = 1; break;
    case 'R': ResetAngles(v); break;
    default: break;
    }
    return 0;
}

// The wall a request names: flag 0x02 the floor (or the back wall of an upright view),
// 0x04 the floor, else the side wall.
void WallPlane(const Scx3DView* v, INT_PTR flags, int* kind, float* position, uint8_t* farBit)
{
    if (flags & 0x02)
        *kind = v->horizontal ? 1 : 4;
    else if (flags & 0x04)
        *kind = 1;
    else
        *kind = v->horizontal ? 2 : 4;
    switch (*kind) {
    case 1: *position = v->wallZ; *farBit = SCX3D_WALL_Z_FAR; break;
    case 2: *position = v->wallX; *farBit = SCX3D_WALL_X_FAR; break;
    default: *position = v->wallY; *farBit = SCX3D_WALL_Y_FAR; break;
    }
}

void WallDrag(const Scx3DView* v, INT_PTR flags, int32_t* arg)
{
    int kind;
    float position;
    uint8_t farBit;
    WallPlane(v, flags, &kind, &position, &farBit);
    float p0[3], p1[3];
    ScreenToWall(v, kind, arg[2], arg[3], position, p0);
    ScreenToWall(v, kind, arg[4], arg[5], position, p1);
    double d[3] = {(double)p0[0] - p1[0], (double)p0[1] - p1[1], (double)p0[2] - p1[2]};
    double a = arg[0], b = arg[1];
    switch (kind) {
    case 1: a -= d[0]; b += d[1]; break;
    case 2: a -= d[1]; b += d[2]; break;
    default: a -= d[0]; b += d[2]; break;
    }
    arg[0] = (int32_t)a;
    arg[1] = (int32_t)b;
}

void ToScreen(const Scx3DView* v, const float world[3], float screen[2])
{
    int32_t p[2];
    ProjectPoint(PROJECT_WORLD_TO_DEVICE, v, world, p, nullptr);
    screen[0] = (float)p[0];
    screen[1] = (float)p[1];
}

// The slope of a projected segment in degrees, screen up positive; a vertical segment
// gives 90.
double SegmentAngle(const float start[2], const float end[2])
{
    double dx = end[0] - start[0], dy = start[1] - end[1];
    if (fabs(dx) > 0.000001)
        return atan(dy / dx) * (180.0 / 3.14159265358979323846);
    return 90;
}

INT_PTR WallAxes(const Scx3DView* v, INT_PTR flags, float* arg, bool nominal)
{
    int kind;
    float position;
    uint8_t farBit;
    WallPlane(v, flags, &kind, &position, &farBit);
    const float box[3] = {v->boxX, v->boxY, v->boxZ};
    float factor[3] = {1, 1, 1};
    if (nominal)
        for (int i = 0; i < 3; ++i)
            factor[i] = box[i] * (1.0f / 2300.0f);
    int axis = kind == 1 ? 2 : kind == 2 ? 0 : 1; // the plane's own axis
    int inU = axis == 0 ? 1 : 0;
    int inV = axis == 2 ? 1 : 2;
    float p[3];
    p[axis] = position;
    p[inU] = arg[0] * factor[inU];
    p[inV] = arg[1] * factor[inV];
    float screen[2];
    ToScreen(v, p, screen);
    arg[0] = screen[0];
    arg[1] = screen[1];
    int first = (flags & 0x02) ? 0 : (flags & 0x04) ? 1 : 2;
    // The second segment runs along the plane's other in-plane axis.
    int second = (inU != first && inU != axis) ? inU : inV;
    int rest = 3 - first - second;
    float s0[3], s1[3];
    s0[first] = 0;
    s1[first] = box[first];
    s0[second] = s1[second] = p[second];
    s0[rest] = s1[rest] = p[rest];
    float a0[2], a1[2];
    ToScreen(v, s0, a0);
    ToScreen(v, s1, a1);
    arg[2] = (float)SegmentAngle(a0, a1);
    float t0[3], t1[3];
    t0[first] = t1[first] = box[first] * 0.5f;
    t0[rest] = t1[rest] = p[rest];
    t0[second] = p[second] > 0 ? 0 : box[second];
    t1[second] = p[second] > 0 ? box[second] : 0;
    float b0[2], b1[2];
    ToScreen(v, t0, b0);
    ToScreen(v, t1, b1);
    arg[3] = (float)SegmentAngle(b0, b1);
    return b1[0] < b0[0] ? 2 : 0;
}

} // namespace

extern "C" INT_PTR WINAPI SCX3D(HWND window, UINT type, INT_PTR count, void* record, INT_PTR argument)
{
    if (type & SCX3D_OBJECT_COMMAND) {
        if (type & SCX3D_STORE_COMMAND)
            return StoreCommand(type & 0xFFFF, count, window, record, argument);
        return ObjectCommand(type, count, window, record, reinterpret_cast<void*>(argument), 0);
    }
    Scx3DView* v = static_cast<Scx3DView*>(record);
    if (type & SCX3D_PROJECTION_COMMAND)
        return ProjectionCommand(type, v);
    switch (type & 0xFFFF) {
    case SCX3D_DEFAULTS: SetDefaults(v); return 0;
    case SCX3D_FIT_VIEWPORT:
        FitViewport(window, v, count, reinterpret_cast<const int32_t*>(argument));
        return 0;
    case SCX3D_END_DRAWING:
        ColourMapClearBinding();
        v->state = 0;
        return 0;
    case SCX3D_PREPARE_DRAWING: PrepareDrawing(count, v, g_indexListMode); return 0;
    case SCX3D_PAINT:
    case SCX3D_PAINT_FRAME: Paint(window, count, v, type & 0xFFFF, argument); return 0;
    case SCX3D_ROTATE: return Rotate(v, (int)count, reinterpret_cast<const float*>(argument));
    case SCX3D_LETTER: return Letter(window, v, reinterpret_cast<const char*>(argument));
    case SCX3D_WORLD_TO_SCREEN: {
        float* pts = reinterpret_cast<float*>(argument);
        for (INT_PTR i = 0; i < count; ++i) {
            float* p = pts + 3 * i;
            float screen[2];
            ToScreen(v, p, screen);
            p[0] = screen[0];
            p[1] = screen[1];
            g_lastDepth = p[2];
        }
        return 0;
    }
    case SCX3D_SCREEN_TO_WORLD: {
        float* pts = reinterpret_cast<float*>(argument);
        for (INT_PTR i = 0; i < count; ++i) {
            float* p = pts + 3 * i;
            ScreenToWall(v, 1, (int32_t)p[0], (int32_t)p[1], g_lastDepth, p);
        }
        return 0;
    }
    case SCX3D_SET_DEPTH: g_lastDepth = *reinterpret_cast<const float*>(argument); return 0;
    case SCX3D_WALL_DRAG: WallDrag(v, count, reinterpret_cast<int32_t*>(argument)); return 0;
    case SCX3D_WALL_AXES:
    case SCX3D_WALL_AXES_NOMINAL:
        return WallAxes(v, count, reinterpret_cast<float*>(argument), (type & 0xFFFF) == 29);
    case 32: return ScxColorControl(19, 0, (INT_PTR)record, reinterpret_cast<void*>(argument));
    case SCX3D_BIND_HOST:
        ColourMapBindHost(reinterpret_cast<INT_PTR>(window), v->hostCallback);
        return 0;
    case 34: {
        const int16_t* w = static_cast<const int16_t*>(record);
        // `record` here is five int16, not a view; the view follows in `argument`.
        Scx3DView* target = reinterpret_cast<Scx3DView*>(argument);
        target->deviceContext = w[0];
        for (int i = 0; i < 4; ++i)
            target->viewport[i] = w[1 + i];
        return 0;
    }
    case 35: {
        int16_t* w = static_cast<int16_t*>(record);
        const Scx3DView* source = reinterpret_cast<const Scx3DView*>(argument);
        w[0] = (int16_t)source->deviceContext;
        for (int i = 0; i < 4; ++i)
            w[1 + i] = (int16_t)source->viewport[i];
        return 0;
    }
    case 36:
        ColorMapControl(window, static_cast<double*>(record), reinterpret_cast<const double*>(argument), 10);
        return 0;
    case SCX3D_RECOVER_ANGLES: RecoverAngles(v); return 0;
    case 0x8000: SetHelpFolder(static_cast<const char*>(record)); return 0;
    default: return 0;
    }
}
