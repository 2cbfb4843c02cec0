// Small polygon geometry shared by the prisms, the order of patch stores and the banded
// surfaces. Newell's method gives a normal that is right for any planar polygon
// (convex or not) and degrades gracefully for a slightly warped one.
#include "Surface.h"

void PolygonNormal(int n, const float* c, float normal[3])
{
    double nx = 0, ny = 0, nz = 0;
    for (int i = 0; i < n; ++i) {
        const float* a = c + 3 * i;
        const float* b = c + 3 * ((i + 1) % n);
        nx += ((double)a[2] + b[2]) * ((double)a[1] - b[1]);
        ny += ((double)a[2] - b[2]) * ((double)a[0] + b[0]);
        nz += ((double)a[0] - b[0]) * ((double)a[1] + b[1]);
    }
    normal[0] = (float)nx;
    normal[1] = (float)ny;
    normal[2] = (float)nz;
}

const float* PlaneReference(int n, const float* c)
{
    for (int i = 0; i < n; ++i)
        if (c[3 * i] != 0 || c[3 * i + 1] != 0 || c[3 * i + 2] != 0)
            return c + 3 * i;
    return c;
}

static double Dot(const float* a, const float* b)
{
    return (double)a[0] * b[0] + (double)a[1] * b[1] + (double)a[2] * b[2];
}

bool LinePlaneParameter(int n, const float* c, const float e[3], const float d[3], float* t)
{
    float normal[3];
    PolygonNormal(n, c, normal);
    double gap = Dot(normal, PlaneReference(n, c)) - Dot(normal, e);
    double along = Dot(normal, d);
    if (along != 0) {
        *t = (float)(gap / along);
        return true;
    }
    if (gap < 0)
        return false;
    *t = (float)gap;
    return true;
}

void PointOnLine(const float e[3], const float d[3], float t, float out[3])
{
    for (int i = 0; i < 3; ++i)
        out[i] = e[i] + t * (d[i] - e[i]);
}

bool FacesAway(int n, const Scx3DView* view, const float* c)
{
    float normal[3];
    PolygonNormal(n, c, normal);
    float toEye[3] = {view->eyeWorld[0] - c[0], view->eyeWorld[1] - c[1], view->eyeWorld[2] - c[2]};
    return !(Dot(toEye, normal) > 0);
}
