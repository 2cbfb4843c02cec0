// One 3D bar: the box x ± hx, y ± hy from z = 0 to the point's z, of which only the faces
// turned toward the eye are drawn. A negative bar index stands the bar along Y (the side
// walls): y and z are exchanged, and the faces go to the kernel's callback instead of GDI.
#include "Surface.h"

#include <math.h>
#include <string.h>

namespace {

INT_PTR Ask(const Scx3DAttributes* a, UINT code, INT_PTR a1, INT_PTR a2, INT_PTR a3, INT_PTR a4)
{
    if (!a || !a->callback || !a->callbackUser)
        return 0;
    return a->callback(a->callbackUser, code, a1, a2, a3, a4);
}

int Orientation(const float f[4][3])
{
    bool sameX = true, sameZ = true;
    for (int k = 1; k < 4; ++k) {
        sameX = sameX && f[k][0] == f[0][0];
        sameZ = sameZ && f[k][2] == f[0][2];
    }
    return sameX ? 1 : sameZ ? 0 : 2;
}

} // namespace

void MeshDrawBar(const Scx3DView* v, const float point[3], int a, const int32_t half[2], int value,
                 const Scx3DAttributes* attributes)
{
    float x = point[0], y = point[1], z = point[2];
    if (a >= 0 && (v->walls & SCX3D_WALLS_CLIP_SCATTER) &&
        (x < v->xyRect[0] || x > v->xyRect[1] || y < v->xyRect[3] || y > v->xyRect[2]))
        return;
    bool along = a < 0;
    float e[3] = {v->eyeWorld[0], v->eyeWorld[1], v->eyeWorld[2]};
    if (along) {
        float t = e[1];
        e[1] = e[2];
        e[2] = t;
    }
    INT_PTR dc = (INT_PTR)v->deviceContext;
    HDC hdc = reinterpret_cast<HDC>(dc);
    float x0 = x - half[0], x1 = x + half[0], y0 = y - half[1], y1 = y + half[1];

    auto face = [&](const float corners[4][3], bool yFace) {
        float f[4][3];
        memcpy(f, corners, sizeof f);
        if (along)
            for (auto& c : f) {
                float t = c[1];
                c[1] = c[2];
                c[2] = t;
            }
        POINT device[4];
        for (int k = 0; k < 4; ++k) {
            int32_t d[2];
            ProjectPoint(PROJECT_WORLD_TO_DEVICE, v, f[k], d, nullptr);
            device[k] = {d[0], d[1]};
        }
        if (!along)
            Polygon(hdc, device, 4);
        else
            Ask(attributes, yFace ? 0x200009 : 0x20000A, dc, Orientation(f), ((INT_PTR)value << 16) | 4,
                reinterpret_cast<INT_PTR>(device));
    };

    if (!along)
        Ask(attributes, 0x200017, dc, 0, a, 0);
    if (y0 > e[1]) {
        const float f[4][3] = {{x0, y0, 0}, {x1, y0, 0}, {x1, y0, z}, {x0, y0, z}};
        face(f, true);
    }
    if (e[1] > y1) {
        const float f[4][3] = {{x0, y1, 0}, {x1, y1, 0}, {x1, y1, z}, {x0, y1, z}};
        face(f, true);
    }
    if (!along)
        Ask(attributes, 0x200017, dc, 1, a, 0);
    if ((e[2] < 0 && z >= 0) || (e[2] > 0 && z <= 0)) {
        const float f[4][3] = {{x0, y0, 0}, {x1, y0, 0}, {x1, y1, 0}, {x0, y1, 0}};
        face(f, false);
    }
    if ((e[2] > z && z >= 0) || (e[2] < z && z <= 0)) {
        const float f[4][3] = {{x0, y0, z}, {x1, y0, z}, {x1, y1, z}, {x0, y1, z}};
        face(f, false);
    }
    if (x0 > e[0]) {
        const float f[4][3] = {{x0, y0, 0}, {x0, y1, 0}, {x0, y1, z}, {x0, y0, z}};
        face(f, false);
    }
    if (e[0] > x1) {
        const float f[4][3] = {{x1, y0, 0}, {x1, y1, 0}, {x1, y1, z}, {x1, y0, z}};
        face(f, false);
    }
    if (!along)
        Ask(attributes, 0x200018, dc, 0, 0, 0);
}
