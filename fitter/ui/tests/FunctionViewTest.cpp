// The function view: equation pictures and sample curves made here as placeable
// metafiles, beside the function file or in the program folder's containers, drawn into
// a memory canvas; the file text; scroll ranges; pictures that need missing fonts.
#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "FitTestKit.h"
#include "FitterResources.h"
#include "FitterWindow.h"
#include "FunctionView.h"
#include "WindowTestKit.h"
#include "qxtest/DialogDriver.h"
#include "qxtest/Pixels.h"

namespace {

// A placeable metafile of width x height units at the given units per inch: a filled
// rectangle over the whole box, and text in the face given (none: no text).
std::vector<BYTE> MakePicture(int width, int height, int unitsPerInch, COLORREF fill, const char* face = nullptr)
{
    HDC dc = CreateMetaFileA(nullptr);
    SetWindowOrgEx(dc, 0, 0, nullptr);
    SetWindowExtEx(dc, width, height, nullptr);
    HBRUSH brush = CreateSolidBrush(fill);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    Rectangle(dc, 0, 0, width, height);
    SelectObject(dc, oldBrush);
    DeleteObject(brush);
    if (face) {
        HFONT font = CreateFontA(height / 2, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, face);
        HGDIOBJ oldFont = SelectObject(dc, font);
        TextOutA(dc, 0, 0, "x", 1);
        SelectObject(dc, oldFont);
        DeleteObject(font);
    }
    HMETAFILE metafile = CloseMetaFile(dc);
    const UINT size = GetMetaFileBitsEx(metafile, 0, nullptr);
    std::vector<BYTE> bits(size);
    GetMetaFileBitsEx(metafile, size, bits.data());
    DeleteMetaFile(metafile);
    PlaceableHeader h = {};
    h.key = PLACEABLE_KEY;
    h.right = static_cast<int16_t>(width);
    h.bottom = static_cast<int16_t>(height);
    h.unitsPerInch = static_cast<uint16_t>(unitsPerInch);
    const uint16_t* words = reinterpret_cast<const uint16_t*>(&h);
    for (int i = 0; i < 10; ++i)
        h.checksum ^= words[i];
    std::vector<BYTE> file(sizeof h + bits.size());
    memcpy(file.data(), &h, sizeof h);
    memcpy(file.data() + sizeof h, bits.data(), bits.size());
    return file;
}

void WriteBytes(const std::string& path, const std::vector<BYTE>& bytes)
{
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_TRUE(f != nullptr) << path;
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

// A container of the utility library's layout holding the given members.
void WriteContainer(const std::string& path, const std::vector<std::pair<std::string, std::vector<BYTE>>>& members)
{
    std::vector<BYTE> file(16 + 72 * members.size());
    memcpy(file.data(), "QXCF", 4);
    const uint32_t header[3] = {1, static_cast<uint32_t>(members.size()), 0};
    memcpy(file.data() + 4, header, sizeof header);
    for (size_t i = 0; i < members.size(); ++i) {
        BYTE* entry = file.data() + 16 + 72 * i;
        snprintf(reinterpret_cast<char*>(entry), 64, "%s", members[i].first.c_str());
        const uint32_t place[2] = {static_cast<uint32_t>(file.size()), static_cast<uint32_t>(members[i].second.size())};
        memcpy(entry + 64, place, sizeof place);
        file.insert(file.end(), members[i].second.begin(), members[i].second.end());
    }
    WriteBytes(path, file);
}

// The box of the pixels that are not white.
RECT InkBox(const qxtest::Image& image)
{
    RECT box = {image.width, image.height, -1, -1};
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (image.ColorAt(x, y) != RGB(255, 255, 255)) {
                box.left = std::min<LONG>(box.left, x);
                box.top = std::min<LONG>(box.top, y);
                box.right = std::max<LONG>(box.right, x + 1);
                box.bottom = std::max<LONG>(box.bottom, y + 1);
            }
    return box;
}

class FunctionViewTest : public FitTest {
protected:
    void SetUp() override
    {
        FitTest::SetUp();
        FitterInstance = GetModuleHandleA(nullptr);
        ASSERT_TRUE(RegisterFitterClass(FitterInstance));
        UseFunction("Line", "a b");
        s = Session();
        folder = host.settingsDir + "\\pictures\\";
        CreateDirectoryA(folder.c_str(), nullptr);
        host.programDir = folder;  // the containers' folder
        snprintf(s->current->path, sizeof s->current->path, "%sLine", folder.c_str());
    }
    void TearDown() override
    {
        CloseFitterWindow(s);
        DeleteFileA((folder + "curvelib.qqs").c_str());
        DeleteFileA((folder + "curvelib.qcs").c_str());
        FitTest::TearDown();
    }
    qxtest::Image Paint(int mode, int width = 200, int height = 120)
    {
        qxtest::MemoryCanvas canvas(width, height);
        PaintFunctionView(s, canvas.dc(), width, height, s->current, mode, 0, 0);
        return canvas.Capture();
    }
    FittingSession* s = nullptr;
    std::string folder;
};

}  // namespace

// An equation picture 1 x 0.5 inch is drawn at 124 pixels per inch from the top left; a
// sample curve is stretched over the whole view.
TEST_F(FunctionViewTest, PicturesFitTheirArea)
{
    WriteBytes(folder + "Line.wmf", MakePicture(1000, 500, 1000, RGB(0, 0, 255)));
    WriteBytes(folder + "Line.cuv", MakePicture(300, 300, 100, RGB(255, 0, 0)));

    const qxtest::Image equation = Paint(0);
    EXPECT_GT(equation.Count(RGB(0, 0, 255)), 124 * 62 / 2) << "not blank";
    const RECT box = InkBox(equation);
    EXPECT_EQ(0, box.left);
    EXPECT_EQ(0, box.top);
    EXPECT_NEAR(124, box.right, 2);
    EXPECT_NEAR(62, box.bottom, 2);

    const qxtest::Image curve = Paint(1);
    const RECT whole = InkBox(curve);
    EXPECT_EQ(0, whole.left);
    EXPECT_EQ(0, whole.top);
    EXPECT_GE(whole.right, 198);
    EXPECT_GE(whole.bottom, 118);
    EXPECT_GT(curve.Count(RGB(255, 0, 0)), 190 * 110);

    // The file text: section titles in dark blue, keys in green; the basic mode shows only
    // the formula section.
    s->basicFitter = KW_NO;
    const qxtest::Image text = Paint(2);
    EXPECT_GT(text.Count(RGB(0, 0, 128)), 0);
    EXPECT_GT(text.Count(RGB(0, 128, 0)), 0) << "keys";
    s->basicFitter = KW_YES;
    EXPECT_EQ(0, Paint(2).Count(RGB(0, 128, 0))) << "no keys in the formula section";

    // No function: cyan all over.
    qxtest::MemoryCanvas canvas(50, 40);
    PaintFunctionView(s, canvas.dc(), 50, 40, nullptr, 0, 0, 0);
    EXPECT_EQ(50 * 40, canvas.Capture().Count(RGB(0, 255, 255)));
}

// The pictures the program ships: each computing model of the library has its equation in
// type and its sample curve, which has the model's shape; a row that computes nothing has
// neither, so its view shows the file text.
TEST_F(FunctionViewTest, ShippedPicturesShowEachModel)
{
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    *(strrchr(exe, '\\') + 1) = 0;
    host.programDir = exe;
    enum Shape { PEAK, RISING, FALLING, NONE };
    const struct {
        const char* row;
        Shape shape;
    } cases[] = {{"Gauss", PEAK},       {"Lorentz", PEAK},    {"GaussAmp", PEAK},   {"Voigt5", PEAK},
                 {"Boltzman", RISING},  {"ExpGrow1", RISING}, {"Line", RISING},     {"ExpDec1", FALLING},
                 {"Exp1P2", FALLING},    {"Prunty", NONE},    {"RationalEVP", NONE}};
    const COLORREF red = RGB(200, 0, 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        // No loose file: the folder of the definition holds none.
        snprintf(s->current->path, sizeof s->current->path, "%s%s", folder.c_str(), c.row);
        PlaceableHeader h = {};
        const int picture = GetPictureExtent(s, (std::string(s->current->path) + ".wmf").c_str(), &h);
        const int curve = GetPictureExtent(s, (std::string(s->current->path) + ".cuv").c_str(), &h);
        if (c.shape == NONE) {
            EXPECT_EQ(1, picture);
            EXPECT_EQ(1, curve);
            continue;
        }
        ASSERT_EQ(0, picture);
        ASSERT_EQ(0, curve);
        EXPECT_GT(Paint(0, 400, 60).Count(RGB(0, 0, 0)), 100) << "the equation in black type";
        const qxtest::Image image = Paint(1, 320, 220);
        // The curve's height in each column it reaches (the top's row), left to right.
        std::vector<int> top;
        for (int x = 0; x < image.width; ++x)
            for (int y = 0; y < image.height; ++y)
                if (image.ColorAt(x, y) == red) {
                    top.push_back(y);
                    break;
                }
        ASSERT_GT(top.size(), 100u) << "the curve crosses the view";
        const int first = top.front(), last = top.back();
        const size_t highest = std::min_element(top.begin(), top.end()) - top.begin();
        if (c.shape == PEAK) {
            EXPECT_NEAR(0.5, static_cast<double>(highest) / top.size(), 0.1) << "apex in the middle";
            EXPECT_GT(first, top[highest] + 100);
            EXPECT_GT(last, top[highest] + 100);
        } else if (c.shape == RISING) {
            EXPECT_GT(first, last + 100);
        } else {
            EXPECT_LT(first + 100, last);
        }
    }
}

// The loose file wins over the container member of its name; without it the member
// serves, unless it is no longer than the header.
TEST_F(FunctionViewTest, LooseFileContainerAndShortMembers)
{
    WriteContainer(folder + "curvelib.qqs", {{"Line.wmf", MakePicture(100, 100, 100, RGB(255, 0, 0))}});
    EXPECT_GT(Paint(0).Count(RGB(255, 0, 0)), 0) << "from the container";

    WriteBytes(folder + "Line.wmf", MakePicture(100, 100, 100, RGB(0, 0, 255)));
    const qxtest::Image loose = Paint(0);
    EXPECT_GT(loose.Count(RGB(0, 0, 255)), 0);
    EXPECT_EQ(0, loose.Count(RGB(255, 0, 0))) << "the loose file wins";
    DeleteFileA((folder + "Line.wmf").c_str());

    PlaceableHeader h;
    const std::vector<BYTE> picture = MakePicture(100, 100, 100, RGB(0, 255, 0));
    WriteContainer(folder + "curvelib.qcs", {{"Line.cuv", std::vector<BYTE>(picture.begin(), picture.begin() + 22)}});
    EXPECT_EQ(1, GetPictureExtent(s, (folder + "Line.cuv").c_str(), &h)) << "22 bytes: no picture";
    WriteBytes(folder + "Line.cuv", std::vector<BYTE>(picture.begin(), picture.begin() + 10));
    EXPECT_EQ(1, GetPictureExtent(s, (folder + "Line.cuv").c_str(), &h)) << "a short loose file";
    std::vector<BYTE> noUnit = picture;
    noUnit[14] = noUnit[15] = 0;  // units per inch 0
    WriteBytes(folder + "Line.cuv", noUnit);
    EXPECT_EQ(1, GetPictureExtent(s, (folder + "Line.cuv").c_str(), &h)) << "no unit to scale by";
    EXPECT_EQ(0, Paint(1).Count(RGB(0, 255, 0)));
    EXPECT_GT(Paint(1).Count(RGB(0, 0, 128)), 0) << "falls back to the file text";
}

// In the select page: a picture smaller than the view has no scrolling, a larger one
// scrolls; a picture in a missing equation font is not offered.
TEST_F(FunctionViewTest, SelectPageScrollingAndFonts)
{
    WriteBytes(folder + "Line.wmf", MakePicture(50, 50, 100, RGB(0, 0, 255)));
    s->viewMode = 0;
    OpenAtPage(window, s, PAGE_ID_SELECT);
    HWND page = s->pageWindow;
    ASSERT_TRUE(page != nullptr);
    HWND view = GetDlgItem(page, IDC_FUNCTION_VIEW);
    EXPECT_TRUE(qxtest::IsEnabled(page, IDC_VIEW_EQUATION));
    EXPECT_FALSE(qxtest::IsEnabled(page, IDC_VIEW_CURVE));
    EXPECT_TRUE(qxtest::IsChecked(page, IDC_VIEW_EQUATION));
    int low = -1, high = -1;
    GetScrollRange(view, SB_HORZ, &low, &high);
    EXPECT_EQ(0, high);
    GetScrollRange(view, SB_VERT, &low, &high);
    EXPECT_EQ(0, high);

    WriteBytes(folder + "Line.wmf", MakePicture(2000, 2000, 100, RGB(0, 0, 255)));
    qxtest::Click(page, IDC_VIEW_EQUATION);
    GetScrollRange(view, SB_HORZ, &low, &high);
    EXPECT_GT(high, 0);
    GetScrollRange(view, SB_VERT, &low, &high);
    EXPECT_GT(high, 0);
    SendMessageA(view, WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(1, GetScrollPos(view, SB_VERT));
    SendMessageA(view, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 100000 & 0x7FFF), 0);
    EXPECT_LE(GetScrollPos(view, SB_VERT), high) << "clamped to the range";

    // The test prefix has neither equation font: a picture that needs one is not shown.
    const std::string fenced = folder + "Line.wmf";
    WriteBytes(fenced, MakePicture(50, 50, 100, RGB(0, 0, 255), "Fences"));
    EXPECT_EQ(0, InstallEquationFonts(s) & 2);
    EXPECT_FALSE(PictureFontsAvailable(s, fenced.c_str()));
    qxtest::Click(page, IDC_VIEW_FILE);
    EXPECT_FALSE(qxtest::IsEnabled(page, IDC_VIEW_EQUATION));
    WriteBytes(fenced, MakePicture(50, 50, 100, RGB(0, 0, 255), "Arial"));
    EXPECT_TRUE(PictureFontsAvailable(s, fenced.c_str()));
}
