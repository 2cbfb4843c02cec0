// The standard colour list. Colour indexes stored in plots, walls and dialogs are
// positions in this list, so its order never changes; new colours may only be appended.
// The kernel's colour table and the colour combo boxes that UtilPrepareDC fills both
// read this one list.
#pragma once
#include <windows.h>

struct QxStandardColor {
    const char *name;
    COLORREF rgb;
};

inline constexpr QxStandardColor kQxStandardColors[] = {
    {"Black", RGB(0, 0, 0)},
    {"Red", RGB(255, 0, 0)},
    {"Green", RGB(0, 255, 0)},
    {"Blue", RGB(0, 0, 255)},
    {"Cyan", RGB(0, 255, 255)},
    {"Magenta", RGB(255, 0, 255)},
    {"Yellow", RGB(255, 255, 0)},
    {"Dark Yellow", RGB(128, 128, 0)},
    {"Navy", RGB(0, 0, 128)},
    {"Purple", RGB(128, 0, 128)},
    {"Wine", RGB(128, 0, 0)},
    {"Olive", RGB(0, 128, 0)},
    {"Dark Cyan", RGB(0, 128, 128)},
    {"Royal", RGB(0, 0, 160)},
    {"Orange", RGB(255, 128, 0)},
    {"Violet", RGB(128, 0, 255)},
    {"Pink", RGB(255, 0, 128)},
    {"White", RGB(255, 255, 255)},
    {"Light Gray", RGB(192, 192, 192)},
    {"Gray", RGB(128, 128, 128)},
    {"Light Yellow", RGB(255, 255, 128)},
    {"Light Cyan", RGB(128, 255, 255)},
    {"Light Magenta", RGB(255, 128, 255)},
    {"Dark Gray", RGB(64, 64, 64)},
};

inline constexpr int kQxStandardColorCount =
    int(sizeof kQxStandardColors / sizeof kQxStandardColors[0]);
