// A view record as the kernel makes one: zeroed, horizontal, given its defaults and
// fitted into a viewport.
#pragma once

#include <string.h>

#include "Scx3DHost.h"

inline Scx3DView MakeView(int width = 400, int height = 300)
{
    Scx3DView v;
    memset(&v, 0, sizeof v);
    v.horizontal = 1;
    SCX3D(nullptr, SCX3D_DEFAULTS, 0, &v, 0);
    int32_t viewport[4] = {0, 0, width, height};
    SCX3D(nullptr, SCX3D_FIT_VIEWPORT, 0, &v, (INT_PTR)viewport);
    return v;
}

inline void Refit(Scx3DView& v, int width = 400, int height = 300)
{
    int32_t viewport[4] = {0, 0, width, height};
    v.state |= SCX3D_STATE_EXTENT;
    SCX3D(nullptr, SCX3D_FIT_VIEWPORT, 0, &v, (INT_PTR)viewport);
}

inline void ToScreen(Scx3DView& v, float x, float y, float z, float out[3])
{
    out[0] = x;
    out[1] = y;
    out[2] = z;
    SCX3D(nullptr, SCX3D_WORLD_TO_SCREEN, 1, &v, (INT_PTR)out);
}
