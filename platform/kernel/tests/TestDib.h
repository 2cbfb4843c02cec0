// A memory bitmap that the kernel's pages draw into, read back pixel by pixel.
#pragma once

#include <windows.h>
#include <stdint.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>

// A 32-bit top-down memory DIB that pages draw into.
class Dib {
public:
    Dib(int width, int height) : w(width), h(height)
    {
        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = width;
        bi.bmiHeader.biHeight = -height;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        dc = CreateCompatibleDC(nullptr);
        bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, (void**)&bits, nullptr, 0);
        old = SelectObject(dc, bmp);
    }
    ~Dib()
    {
        SelectObject(dc, old);
        DeleteObject(bmp);
        DeleteDC(dc);
    }
    COLORREF At(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= w || y >= h)
            return CLR_INVALID;
        const uint32_t p = bits[(size_t)y * w + x];
        return RGB((p >> 16) & 255, (p >> 8) & 255, p & 255);
    }
    // Whether the colour is at the point or one pixel around it.
    bool Near(double x, double y, COLORREF color, int radius = 1) const
    {
        const int cx = (int)std::lround(x), cy = (int)std::lround(y);
        for (int dy = -radius; dy <= radius; ++dy)
            for (int dx = -radius; dx <= radius; ++dx)
                if (At(cx + dx, cy + dy) == color)
                    return true;
        return false;
    }
    // The box of the pixels in a region that are not white (the ink); empty when none.
    RECT Ink(const RECT& region, std::function<bool(COLORREF)> is = nullptr) const
    {
        RECT r = {INT_MAX, INT_MAX, INT_MIN, INT_MIN};
        for (int y = std::max<int>(0, region.top); y < std::min<int>(h, region.bottom); ++y)
            for (int x = std::max<int>(0, region.left); x < std::min<int>(w, region.right); ++x) {
                const COLORREF c = At(x, y);
                if (is ? is(c) : c != RGB(255, 255, 255)) {
                    r.left = std::min<int>(r.left, x);
                    r.top = std::min<int>(r.top, y);
                    r.right = std::max<int>(r.right, x + 1);
                    r.bottom = std::max<int>(r.bottom, y + 1);
                }
            }
        if (r.left > r.right)
            SetRectEmpty(&r);
        return r;
    }
    HDC dc;
    int w, h;
    uint32_t* bits = nullptr;

private:
    HBITMAP bmp;
    HGDIOBJ old;
};

