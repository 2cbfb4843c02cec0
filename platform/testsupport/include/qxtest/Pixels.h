// Pixels of a device context, for checks of what drawing code produced. Under Wine's
// null display driver a window's own pixels cannot be read back, so code under test
// draws into a memory DC (or a DIB section) and the test captures that.
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>
#include <vector>

namespace qxtest {

struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB, top row first

    uint32_t At(int x, int y) const { return pixels[size_t(y) * width + x]; }
    COLORREF ColorAt(int x, int y) const;  // as GDI's RGB()
    int Count(COLORREF color) const;       // pixels of exactly this colour
    bool WriteBmp(const std::string &path) const;
    bool WritePng(const std::string &path) const;
};

// A memory DC with a 32-bit DIB section of the given size selected, filled white.
class MemoryCanvas {
public:
    MemoryCanvas(int width, int height);
    ~MemoryCanvas();
    MemoryCanvas(const MemoryCanvas &) = delete;
    MemoryCanvas &operator=(const MemoryCanvas &) = delete;

    HDC dc() const { return dc_; }
    Image Capture() const;

private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    int width_, height_;
};

// Copies `rect` of any DC into an image.
Image CaptureDC(HDC dc, const RECT &rect);

} // namespace qxtest
