// Device-independent bitmaps over real bitmap files: the well-formed ones were written by
// ImageMagick (a 9 by 7 picture, white with red at the top left and blue at the bottom
// right), the malformed ones are those with one field spoilt (data/make_bitmaps.py).
#include <gtest/gtest.h>

#include "QKDIB.h"
#include "resource.h"
#include <qxtest/DialogDriver.h>
#include <qxtest/Pixels.h>

#include <string>

namespace {

const std::string kData = "quorix61_testdata\\";
const COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kWhite = RGB(255, 255, 255);

BOOL ReadFile(CQKDIB& dib, const std::string& name)
{
    CFile file;
    // Other test programs read the same files at the same time.
    if (!file.Open((kData + name).c_str(), CFile::modeRead | CFile::shareDenyNone))
        return FALSE;
    return dib.Read(&file);
}

// The picture as GDI draws it at its own size.
qxtest::Image Drawn(CQKDIB& dib)
{
    qxtest::MemoryCanvas canvas(dib.GetWidth(), dib.GetHeight());
    EXPECT_TRUE(dib.Draw(CDC::FromHandle(canvas.dc())));
    return canvas.Capture();
}

void ExpectPicture(CQKDIB& dib, const std::string& what, COLORREF marks = RGB(255, 0, 0))
{
    qxtest::Image image = Drawn(dib);
    ASSERT_EQ(9, image.width) << what;
    EXPECT_EQ(marks, image.ColorAt(0, 0)) << what;
    EXPECT_EQ(marks == kRed ? kBlue : marks, image.ColorAt(8, 6)) << what;
    EXPECT_EQ(kWhite, image.ColorAt(4, 0)) << what;
    EXPECT_EQ(kWhite, image.ColorAt(8, 0)) << what;
}

TEST(Dib, ReadsEveryKindOfWellFormedFile)
{
    const struct { const char* file; int bits; int colours; COLORREF marks; } cases[] = {
        {"pal8.bmp", 8, 256, kRed},
        {"pal4.bmp", 4, 16, kRed},
        {"mono1.bmp", 1, 2, RGB(0, 0, 0)},
        {"rgb24.bmp", 24, 0, kRed},
        {"core8.bmp", 8, 256, kRed},     // 12-byte header, three-byte colours
        {"topdown8.bmp", 8, 256, kRed},  // rows stored from the top
        {"fields16.bmp", 16, 0, kRed},   // 5-6-5 bit fields
        {"rle8.bmp", 8, 256, kRed},      // run-length rows
    };
    for (const auto& c : cases) {
        CQKDIB dib;
        ASSERT_TRUE(ReadFile(dib, c.file)) << c.file;
        EXPECT_EQ(9, dib.GetWidth()) << c.file;
        EXPECT_EQ(7, dib.GetHeight()) << c.file;
        EXPECT_EQ(c.bits, dib.GetInfo()->bmiHeader.biBitCount) << c.file;
        EXPECT_EQ(40u, dib.GetInfo()->bmiHeader.biSize) << c.file;
        EXPECT_EQ(c.colours, dib.NumColors()) << c.file;
        EXPECT_TRUE(dib.OwnsBits()) << c.file;
        ExpectPicture(dib, c.file, c.marks);
    }
}

TEST(Dib, PixelAddressesCountRowsFromTheTop)
{
    for (const char* file : {"pal8.bmp", "topdown8.bmp", "core8.bmp"}) {
        CQKDIB dib;
        ASSERT_TRUE(ReadFile(dib, file));
        const RGBQUAD* table = dib.GetInfo()->bmiColors;
        const RGBQUAD& topLeft = table[*dib.GetPixelAddress(0, 0)];
        EXPECT_EQ(255, topLeft.rgbRed) << file;
        EXPECT_EQ(0, topLeft.rgbGreen) << file;
        const RGBQUAD& bottomRight = table[*dib.GetPixelAddress(8, 6)];
        EXPECT_EQ(255, bottomRight.rgbBlue) << file;
        EXPECT_EQ(0, bottomRight.rgbRed) << file;
        EXPECT_EQ(nullptr, dib.GetPixelAddress(9, 0)) << file;
        EXPECT_EQ(nullptr, dib.GetPixelAddress(0, 7)) << file;
        EXPECT_EQ(nullptr, dib.GetPixelAddress(-1, 0)) << file;
    }
    CQKDIB rle;
    ASSERT_TRUE(ReadFile(rle, "rle8.bmp"));
    EXPECT_EQ(nullptr, rle.GetPixelAddress(0, 0)); // compressed rows have no addresses
}

TEST(Dib, RefusesMalformedFilesAndKeepsWhatItHad)
{
    const char* files[] = {
        "bad_empty.bmp", "bad_signature.bmp", "bad_truncated_header.bmp",
        "bad_truncated_colours.bmp", "bad_truncated_pixels.bmp", "bad_offset_past_end.bmp",
        "bad_offset_in_header.bmp", "bad_header_size.bmp", "bad_huge_size.bmp",
        "bad_zero_width.bmp", "bad_bit_count.bmp", "bad_compression.bmp", "bad_planes.bmp",
        "bad_rle_no_size.bmp", "bad_rle_size_past_end.bmp",
        "v5.bmp", // only 40- and 12-byte headers are read
    };
    for (const char* file : files) {
        CQKDIB dib;
        ASSERT_TRUE(ReadFile(dib, "pal8.bmp"));
        EXPECT_FALSE(ReadFile(dib, file)) << file;
        EXPECT_EQ(9, dib.GetWidth()) << file;
        EXPECT_EQ(8, dib.GetInfo()->bmiHeader.biBitCount) << file;
        ExpectPicture(dib, std::string("after ") + file);
    }
}

TEST(Dib, WrittenFilesCarryAFullColourTableAndReadBack)
{
    for (const char* file : {"pal8.bmp", "pal4.bmp", "rgb24.bmp", "core8.bmp", "rle8.bmp", "fields16.bmp"}) {
        CQKDIB dib;
        ASSERT_TRUE(ReadFile(dib, file));
        CMemFile out;
        ASSERT_TRUE(dib.Write(&out)) << file;
        DWORD length = out.GetLength();
        EXPECT_EQ(1078u + dib.GetBitsSize(), length) << file;

        BITMAPFILEHEADER header;
        out.SeekToBegin();
        ASSERT_EQ(sizeof header, out.Read(&header, sizeof header));
        EXPECT_EQ(0x4D42, header.bfType) << file;
        EXPECT_EQ(1078u, header.bfOffBits) << file;
        EXPECT_EQ(length, header.bfSize) << file;

        out.SeekToBegin();
        CQKDIB again;
        ASSERT_TRUE(again.Read(&out)) << file;
        EXPECT_EQ(dib.GetBitsSize(), again.GetBitsSize()) << file;
        EXPECT_EQ(0, memcmp(dib.GetBits(), again.GetBits(), dib.GetBitsSize())) << file;
        ExpectPicture(again, std::string("written ") + file);
    }
}

TEST(Dib, SerializesThroughAnArchive)
{
    CQKDIB dib;
    ASSERT_TRUE(ReadFile(dib, "pal8.bmp"));
    CMemFile file;
    {
        CArchive store(&file, CArchive::store);
        dib.Serialize(store);
        store.Close();
    }
    file.SeekToBegin();
    CArchive load(&file, CArchive::load);
    CQKDIB again;
    again.Serialize(load);
    load.Close();
    ExpectPicture(again, "serialised");
    CObject* made = RUNTIME_CLASS(CQKDIB)->CreateObject();
    EXPECT_TRUE(made && made->IsKindOf(RUNTIME_CLASS(CQKDIB)));
    delete made;
}

TEST(Dib, TheSplashPictureComesFromTheResourceWithoutACopy)
{
    CQKDIB dib;
    ASSERT_TRUE(dib.LoadResource(IDB_SPLASH_DIB));
    EXPECT_FALSE(dib.OwnsBits());
    EXPECT_EQ(8, dib.GetInfo()->bmiHeader.biBitCount);
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(IDB_SPLASH_DIB), "DIB");
    const BYTE* resource = (const BYTE*)LockResource(LoadResource(module, found));
    EXPECT_EQ(resource + ((const BITMAPFILEHEADER*)resource)->bfOffBits, dib.GetBits());
    EXPECT_FALSE(dib.LoadResource(4711));

    // Mapping to a palette rewrites the borrowed pixels in place.
    CQKDIBPal palette;
    ASSERT_TRUE(palette.Create(dib));
    EXPECT_TRUE(dib.MapColorsToPalette(&palette));
}

TEST(Dib, MapsPixelsToAPalette)
{
    CQKDIB dib;
    ASSERT_TRUE(ReadFile(dib, "pal8.bmp"));
    LOGPALETTE* log = (LOGPALETTE*)calloc(1, sizeof(LOGPALETTE) + 3 * sizeof(PALETTEENTRY));
    log->palVersion = 0x300;
    log->palNumEntries = 3;
    log->palPalEntry[0] = {0, 0, 255, 0};
    log->palPalEntry[1] = {255, 255, 255, 0};
    log->palPalEntry[2] = {255, 0, 0, 0};
    CPalette palette;
    ASSERT_TRUE(palette.CreatePalette(log));
    free(log);
    ASSERT_TRUE(dib.MapColorsToPalette(&palette));
    EXPECT_EQ(2, *dib.GetPixelAddress(0, 0));
    EXPECT_EQ(0, *dib.GetPixelAddress(8, 6));
    EXPECT_EQ(1, *dib.GetPixelAddress(4, 0));
    EXPECT_EQ(256u, dib.GetInfo()->bmiHeader.biClrUsed);
    ExpectPicture(dib, "mapped");
    EXPECT_FALSE(dib.MapColorsToPalette(nullptr));

    CQKDIB truecolour;
    ASSERT_TRUE(ReadFile(truecolour, "rgb24.bmp"));
    CQKDIBPal none;
    EXPECT_FALSE(none.Create(truecolour)); // no colour table, no palette
}

TEST(Dib, CreateGivesAGreyRampAndCopyBitsStaysInsideBothBitmaps)
{
    CQKDIB source, target;
    ASSERT_TRUE(source.Create(4, 3));
    ASSERT_TRUE(target.Create(5, 4));
    EXPECT_EQ(256, source.NumColors());
    EXPECT_EQ(200, source.GetInfo()->bmiColors[200].rgbGreen);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            *source.GetPixelAddress(x, y) = (BYTE)(10 * y + x + 1);
    *source.GetPixelAddress(1, 1) = 99; // the transparent value below

    // A block hanging over every edge of the target copies only what lies inside it.
    const struct { int tx, ty, w, h, sx, sy, transparent; int x, y; int expected; } cases[] = {
        {0, 0, 4, 3, 0, 0, -1, 0, 0, 1},
        {0, 0, 4, 3, 0, 0, -1, 1, 1, 99},
        {0, 0, 4, 3, 0, 0, 99, 1, 1, 0},     // skipped: the target keeps its 0
        {3, 2, 4, 3, 0, 0, -1, 4, 2, 2},     // clipped at the right and bottom
        {-2, -1, 4, 3, 0, 0, -1, 0, 0, 13},  // clipped at the left and top
        {0, 0, 10, 10, 2, 1, -1, 1, 1, 24},  // larger than the source
        {0, 0, 0, 3, 0, 0, -1, 0, 0, 0},     // an empty block copies nothing
    };
    for (const auto& c : cases) {
        CQKDIB fresh;
        ASSERT_TRUE(fresh.Create(5, 4));
        source.CopyBits(&fresh, c.tx, c.ty, c.w, c.h, c.sx, c.sy, c.transparent);
        EXPECT_EQ(c.expected, *fresh.GetPixelAddress(c.x, c.y))
            << "block at " << c.tx << "," << c.ty << " size " << c.w << "x" << c.h;
    }
    source.CopyBits(&target, 1000, 1000, 4, 3, 0, 0);
    source.CopyBits(&target, 0, 0, 4, 3, -1000, 0);
    EXPECT_EQ(0, *target.GetPixelAddress(0, 0));
}

TEST(Dib, FilesAreSavedAndLoadedByNameAndFailuresAreReported)
{
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    std::string path = std::string(folder) + "quorix61_dib_test.bmp";
    CQKDIB dib;
    ASSERT_TRUE(ReadFile(dib, "pal4.bmp"));
    ASSERT_TRUE(dib.SaveFile(path.c_str()));
    CQKDIB loaded;
    ASSERT_TRUE(loaded.LoadFile(path.c_str()));
    ExpectPicture(loaded, "saved and loaded");
    DeleteFileA(path.c_str());
    EXPECT_FALSE(loaded.LoadFile((std::string(folder) + "no such file.bmp").c_str()));

    std::string message;
    qxtest::DialogDriver driver;
    driver.Then([&](HWND box) {
        message = qxtest::MessageBoxText(box);
        qxtest::Click(box, IDOK);
    });
    INT_PTR saved = driver.Run([&] {
        return (INT_PTR)dib.SaveFile((std::string(folder) + "no such folder\\x.bmp").c_str());
    });
    EXPECT_EQ(0, saved);
    EXPECT_EQ("Failed to open file", message);
}

TEST(Dib, WithoutAPathTheUserIsAskedAndMayCancel)
{
    CQKDIB dib;
    ASSERT_TRUE(dib.Create(2, 2));
    for (bool save : {false, true}) {
        std::string caption;
        qxtest::DialogDriver driver;
        driver.Then([&](HWND dialog) {
            caption = qxtest::WindowText(dialog);
            SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        INT_PTR result = driver.Run([&] { return (INT_PTR)(save ? dib.SaveFile() : dib.LoadFile()); });
        EXPECT_EQ(0, result) << (save ? "save" : "load");
        EXPECT_EQ(1, driver.StepsRun()) << (save ? "save" : "load");
        EXPECT_FALSE(driver.TimedOut());
    }
    EXPECT_EQ(2, dib.GetWidth()); // a cancelled load keeps the bitmap
}

} // namespace
