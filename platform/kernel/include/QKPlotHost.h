// The 3D and contour library's link to the kernel: the plot-host callback it calls, the
// requests it sends (their own numbering, apart from the plug-ins' HOST_* requests), and
// the kernel's colour-control function it offers every colour-map request first.
//
// The kernel loads the library on first need (qkfxGetSurfaceLibrary), binds this
// callback, and answers from the project: named blocks (the colour map "ZCOLORS" and its
// older form "3DCOLOR") are the project's, script text runs in the interpreter.
#pragma once

#include "QKDefs.h"

// (context, request code, argument, pointer). The context is the value the binder gave,
// a window handle in every binding.
typedef INT_PTR(WINAPI* PlotHostCallback)(INT_PTR context, UINT code, INT_PTR argument, INT_PTR pointer);

// Only the low 16 bits of a code count.
enum PlotHostRequestCode : UINT {
    PLOTHOST_BIND = 0x0000,          // (context, callback): the first binder wins for life
    PLOTHOST_RUN_SCRIPT = 0x0400,    // (0, script text)
    PLOTHOST_BLOCK_CREATE = 0x0490,  // (size, name): address of a new block, or 0
    PLOTHOST_BLOCK_GET = 0x0491,     // (size, name): address of the existing block, or 0
    PLOTHOST_BLOCK_RELEASE = 0x0492, // (0, name)
    PLOTHOST_BLOCKS_BEGIN = 0x04A0,  // (0, 0): a round of colour-map work begins
    PLOTHOST_BLOCKS_END = 0x04BE,    // (0, 0): ... and ends
    PLOTHOST_QUERY_054A = 0x054A,    // (0, 0): the kernel's colour-control function, or 0
};

// The kernel's colour-control function: it sets *handled when its answer is final.
typedef INT_PTR(WINAPI* ColorControlHook)(UINT code, INT_PTR argument, INT_PTR pointer, int* handled,
                                          INT_PTR reserved);

// The colour map's scale value of a missing Z: what a grid node without data holds.
const int QK_COLORMAP_MISSING_SCALE = -9999;

// The kernel's plot-host callback and colour-control function, as the library gets them.
QK_API INT_PTR WINAPI qkPlotHostCallback(INT_PTR context, UINT code, INT_PTR argument, INT_PTR pointer);
QK_API INT_PTR WINAPI qkColorControlHook(UINT code, INT_PTR argument, INT_PTR pointer, int* handled,
                                         INT_PTR reserved);

// The library, loaded from the program folder and bound to the kernel the first time it
// is needed; null with the reason in *error when it cannot be loaded.
QK_API HMODULE qkfxGetSurfaceLibrary(std::string* error);
