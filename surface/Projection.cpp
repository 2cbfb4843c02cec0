// Projection of world points (0 .. box size on each axis) through the view record's
// matrix, a one-point perspective and the device mapping, and back from the screen onto
// a wall plane.
//
// Matrices are 4x4 floats, row by row, applied to row vectors (p' = p·M). Products keep
// single-precision results but sum in extended precision, so that a matrix rebuilt from
// the same angles is the same to the last bit whichever order the kernel asks in.
// Degrees become radians by the stored factor 0.01745329 rather than pi/180: the kernel
// computes its own 3D positions with that factor and the two must agree.
#include "Surface.h"

#include <math.h>
#include <string.h>

namespace {

const double kDegree = 0.01745329;
const double kRadian = 57.29578778556937;

struct Matrix {
    float m[4][4];
};

Matrix Identity()
{
    Matrix r{};
    for (int i = 0; i < 4; ++i)
        r.m[i][i] = 1.0f;
    return r;
}

Matrix Multiply(const Matrix& a, const Matrix& b)
{
    Matrix r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            long double sum = 0;
            for (int k = 0; k < 4; ++k)
                sum += (long double)a.m[i][k] * b.m[k][j];
            r.m[i][j] = (float)sum;
        }
    return r;
}

Matrix Translation(float dx, float dy, float dz)
{
    Matrix r = Identity();
    r.m[3][0] = dx;
    r.m[3][1] = dy;
    r.m[3][2] = dz;
    return r;
}

Matrix RotX(double a)
{
    Matrix r = Identity();
    float c = (float)cos(a), s = (float)sin(a);
    r.m[1][1] = c; r.m[1][2] = s;
    r.m[2][1] = -s; r.m[2][2] = c;
    return r;
}

Matrix RotY(double a)
{
    Matrix r = Identity();
    float c = (float)cos(a), s = (float)sin(a);
    r.m[0][0] = c; r.m[0][2] = s;
    r.m[2][0] = -s; r.m[2][2] = c;
    return r;
}

Matrix RotZ(double a)
{
    Matrix r = Identity();
    float c = (float)cos(a), s = (float)sin(a);
    r.m[0][0] = c; r.m[0][1] = s;
    r.m[1][0] = -s; r.m[1][1] = c;
    return r;
}

Matrix Load(const float* f)
{
    Matrix r;
    memcpy(r.m, f, sizeof r.m);
    return r;
}

void Store(const Matrix& m, float* f)
{
    memcpy(f, m.m, sizeof m.m);
}

const float* CurrentMatrix(const Scx3DView* view)
{
    return view->flat ? view->flatMatrix : view->viewMatrix;
}

void Normalise(float v[3])
{
    double len = sqrt((double)v[0] * v[0] + (double)v[1] * v[1] + (double)v[2] * v[2]);
    if (len > 0)
        for (int i = 0; i < 3; ++i)
            v[i] = (float)(v[i] / len);
}

void BuildFrame(Scx3DView* v)
{
    float w[3] = {v->viewDir[0], v->viewDir[1], v->viewDir[2]};
    Normalise(w);
    double l = (double)v->viewUp[0] * w[0] + (double)v->viewUp[1] * w[1] + (double)v->viewUp[2] * w[2];
    float u[3], vv[3];
    for (int i = 0; i < 3; ++i)
        vv[i] = (float)(v->viewUp[i] - l * w[i]);
    Normalise(vv);
    u[0] = vv[1] * w[2] - vv[2] * w[1];
    u[1] = vv[2] * w[0] - vv[0] * w[2];
    u[2] = vv[0] * w[1] - vv[1] * w[0];
    memcpy(v->axisU, u, sizeof u);
    memcpy(v->axisV, vv, sizeof vv);
    memcpy(v->axisW, w, sizeof w);
}

Matrix LookAt(const Scx3DView* v)
{
    const float* u = v->axisU;
    const float* w2 = v->axisV;
    const float* w = v->axisW;
    const float* c = v->boxCentre;
    Matrix r{};
    for (int i = 0; i < 3; ++i) {
        r.m[i][0] = u[i];
        r.m[i][1] = w2[i];
        r.m[i][2] = w[i];
    }
    r.m[3][0] = -(float)((double)c[0] * u[0] + (double)c[1] * u[1] + (double)c[2] * u[2]);
    r.m[3][1] = -(float)((double)c[0] * w2[0] + (double)c[1] * w2[1] + (double)c[2] * w2[2]);
    r.m[3][2] = -(float)((double)c[0] * w[0] + (double)c[1] * w[1] + (double)c[2] * w[2]);
    r.m[3][3] = 1.0f;
    return r;
}

// In flat mode screen x comes from the first column; the smallest of its three entries
// (every tied one) is dropped, so that the axis most nearly along the view shows as a
// point instead of a short slanted stub.
void BuildFlatMatrix(Scx3DView* v)
{
    memcpy(v->flatMatrix, v->viewMatrix, sizeof v->flatMatrix);
    float a0 = fabsf(v->viewMatrix[0]), a1 = fabsf(v->viewMatrix[4]), a2 = fabsf(v->viewMatrix[8]);
    float smallest = fminf(a0, fminf(a1, a2));
    if (a0 == smallest) v->flatMatrix[0] = 0;
    if (a1 == smallest) v->flatMatrix[4] = 0;
    if (a2 == smallest) v->flatMatrix[8] = 0;
}

void BuildViewMatrix(Scx3DView* v)
{
    float hx = v->boxX * 0.5f, hy = v->boxY * 0.5f, hz = v->boxZ * 0.5f;
    Matrix r = Multiply(Multiply(RotX(v->rotation * kDegree), RotY(v->roll * kDegree)),
                        RotZ(v->tilt * kDegree));
    Matrix m = Multiply(Multiply(Multiply(Translation(-hx, -hy, -hz), r), Translation(hx, hy, hz)),
                        LookAt(v));
    Store(m, v->viewMatrix);
    BuildFlatMatrix(v);
}

void IncrementalRotation(Scx3DView* v)
{
    double s = v->stepAngle * kDegree;
    float hx = v->boxX * 0.5f, hy = v->boxY * 0.5f, hz = v->boxZ * 0.5f;
    Matrix current = Load(v->viewMatrix);
    Matrix step;
    bool aboutBox = true;
    switch (v->stepAxis) {
    case 0: v->rotation += v->stepAngle; step = RotX(s); break;
    case 1: v->roll += v->stepAngle; step = RotY(s); break;
    case 2: v->tilt += v->stepAngle; step = RotZ(s); break;
    case 4: v->accumulated[1] += v->stepAngle; step = RotZ(s); aboutBox = false; break;
    case 5: v->accumulated[2] += v->stepAngle; step = RotX(s); aboutBox = false; break;
    case 6: v->accumulated[1] += v->stepAngle; step = RotY(s); aboutBox = false; break;
    default: return;
    }
    Matrix m = aboutBox ? Multiply(Multiply(Multiply(Translation(-hx, -hy, -hz), step),
                                            Translation(hx, hy, hz)), current)
                        : Multiply(current, step);
    Store(m, v->viewMatrix);
    BuildFlatMatrix(v);
    v->state &= ~SCX3D_STATE_REPROJECT;
}

double Clamp1(double x)
{
    return x > 1 ? 1 : (x < -1 ? -1 : x);
}

} // namespace

double EyeDistanceFor(float perspective, float boxSize)
{
    return (0.866 / tan(perspective * kDegree) - 0.5) * boxSize;
}

int ProjectionCommand(UINT code, Scx3DView* view)
{
    if (!view)
        return 1;
    switch (code) {
    case 0x2000: BuildFrame(view); break;
    case 0x2001: BuildViewMatrix(view); break;
    case 15: IncrementalRotation(view); break;
    default: break;
    }
    return 0;
}

void ProjectPoint(UINT flags, const Scx3DView* view, const float in[3], int32_t outInt[2],
                  float outFloat[3])
{
    double p[3] = {in[0], in[1], in[2]};
    if (flags & PROJECT_MATRIX) {
        const float* m = CurrentMatrix(view);
        double r[3];
        for (int j = 0; j < 3; ++j) {
            long double sum = m[12 + j];
            for (int k = 0; k < 3; ++k)
                sum += (long double)p[k] * m[k * 4 + j];
            r[j] = (float)sum;
        }
        memcpy(p, r, sizeof p);
    }
    if (!(flags & PROJECT_PLANE)) {
        if (outFloat)
            for (int i = 0; i < 3; ++i)
                outFloat[i] = (float)p[i];
        return;
    }
    double x = p[0], y = p[1];
    if (!view->flat) {
        double d = view->eyeLocal[2];
        double f = (d - view->boxZ * 0.5) / (d - p[2]);
        x *= f;
        y *= f;
    }
    int32_t ix = (int32_t)x, iy = (int32_t)y;
    if (flags & PROJECT_DEVICE) {
        ix = (int32_t)(ix * (double)view->pixelScale + view->screenOffsetX);
        iy = (int32_t)(view->screenOffsetY - iy * (double)view->pixelScale);
    }
    outInt[0] = ix;
    outInt[1] = iy;
}

void ViewingToWorld(const Scx3DView* view, const float viewing[3], float world[3])
{
    const float* m = CurrentMatrix(view);
    double d[3];
    for (int k = 0; k < 3; ++k)
        d[k] = (double)viewing[k] - m[12 + k];
    for (int j = 0; j < 3; ++j) {
        long double sum = 0;
        for (int k = 0; k < 3; ++k)
            sum += (long double)d[k] * m[j * 4 + k];
        world[j] = (float)sum;
    }
}

void ComputeEyeWorld(Scx3DView* view)
{
    ViewingToWorld(view, view->eyeLocal, view->eyeWorld);
}

void ComputeExtent(Scx3DView* view)
{
    float ymin = 1e12f, xmax = -1e12f, ymax = -1e12f, xmin = 1e12f;
    for (int c = 0; c < 8; ++c) {
        float corner[3] = {(c & 1) ? view->boxX : 0.0f, (c & 2) ? view->boxY : 0.0f,
                           (c & 4) ? view->boxZ : 0.0f};
        int32_t p[2];
        ProjectPoint(PROJECT_WORLD_TO_PLANE, view, corner, p, nullptr);
        xmin = fminf(xmin, (float)p[0]);
        xmax = fmaxf(xmax, (float)p[0]);
        ymin = fminf(ymin, (float)p[1]);
        ymax = fmaxf(ymax, (float)p[1]);
    }
    view->extent[0] = ymin;
    view->extent[1] = xmax;
    view->extent[2] = ymax;
    view->extent[3] = xmin;
}

// A matrix rebuilt in single precision can carry a ratio a hair beyond ±1; asin of it is
// NaN, which would poison all three angles, so the ratios are held to [-1, 1].
void RecoverAngles(Scx3DView* view)
{
    const float* m = view->viewMatrix;
    auto at = [m](int i, int j) { return (double)m[i * 4 + j]; };
    double a = asin(Clamp1(at(0, 1)));
    double k = cos(a);
    view->roll = (float)(a * kRadian);
    if (fabs(k) < 1e-12)
        return;
    double b = asin(Clamp1(at(1, 1) / k));
    double c = asin(Clamp1(at(0, 2) / -k));
    view->rotation = (float)(fabs(at(2, 1) / k - cos(b)) > 0.0001 ? 180 - b * kRadian : b * kRadian);
    view->tilt = (float)(fabs(at(0, 0) / k - cos(c)) > 0.0001 ? 180 - c * kRadian : c * kRadian);
}

void ScreenToWall(const Scx3DView* view, int planeKind, int sx, int sy, float planeValue,
                  float world[3])
{
    int row = planeKind == 1 ? 2 : planeKind == 2 ? 0 : planeKind == 4 ? 1 : planeKind;
    if (row < 0 || row > 2)
        row = 2;
    const float* m = CurrentMatrix(view);
    double b = view->flat ? 1e10 : view->eyeLocal[2];
    double q = (b - view->boxZ * 0.5) * view->pixelScale;
    double h = (sx - 0.5 - view->screenOffsetX) / q;
    double e = (view->screenOffsetY - sy + 0.5) / q;
    double l = m[row * 4 + 0], mm = m[row * 4 + 1], g = m[row * 4 + 2];
    double r = g - h * l - e * mm;
    double z;
    if (fabs(r) < 1e-12)
        z = 1e12;
    else
        z = (planeValue + l * m[12] + mm * m[13] + g * m[14] - b * (h * l + e * mm)) / r;
    float viewing[3] = {(float)(h * (b - z)), (float)(e * (b - z)), (float)z};
    ViewingToWorld(view, viewing, world);
}
