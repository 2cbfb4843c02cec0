// User-defined symbols (the symbol manager's list, its INI section, drawing them as plot
// symbols, a file that cannot be read) and the wells: the popup grid, the symbol well
// buttons, and the Options sheet's well of user-defined symbols.
#include <qxtest/Pixels.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "KernelTest.h"
#include "QKAccess.h"
#include "QKControls.h"
#include "QKSymbolManager.h"

namespace {

const COLORREF kMagenta = RGB(255, 0, 255), kSky = RGB(0, 128, 255);

// A folder of its own for the INI file and the pictures of a test.
class SymbolWellsTest : public KernelTest {
protected:
    void SetUp() override
    {
        KernelTest::SetUp();
        char temp[MAX_PATH], old[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        qkfxGetGlobalINIPath(old);
        oldIni = old;
        folder = std::string(temp) + "qxsymbols" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(folder.c_str(), nullptr);
        qkfxSetGlobalINIPath(folder.c_str());
        DeleteFileA(qkfxGetINIFileFullPathName().c_str());
        qkfxGetSymbolManager()->SetUDSFiles({});

        // A magenta bitmap, a sky-blue metafile, a text file named as a bitmap.
        bitmap = folder + "\\star.bmp";
        qxtest::Image image;
        image.width = image.height = 8;
        image.pixels.assign(64, 0xFF00FF);
        ASSERT_TRUE(image.WriteBmp(bitmap));
        metafile = folder + "\\drop.emf";
        HDC dc = CreateEnhMetaFileA(nullptr, metafile.c_str(), nullptr, nullptr);
        ASSERT_NE(nullptr, dc);
        HBRUSH sky = CreateSolidBrush(kSky);
        RECT r = {0, 0, 100, 100};
        FillRect(dc, &r, sky);
        DeleteObject(sky);
        DeleteEnhMetaFile(CloseEnhMetaFile(dc));
        notPicture = folder + "\\notes.bmp";
        FILE* f = fopen(notPicture.c_str(), "wb");
        fputs("not a picture", f);
        fclose(f);
        missing = folder + "\\gone.bmp";
    }
    void TearDown() override
    {
        qkfxGetSymbolManager()->SetUDSFiles({});
        for (const std::string& p : {bitmap, metafile, notPicture, qkfxGetINIFileFullPathName()})
            DeleteFileA(p.c_str());
        RemoveDirectoryA(folder.c_str());
        qkfxSetGlobalINIPath(oldIni.c_str());
        KernelTest::TearDown();
    }

    // A plot's symbol drawn alone, as the Symbol page's preview draws it.
    qxtest::Image DrawSymbol(int style, int fillColor = 2)
    {
        CQKPlotObj plot;
        plot.SetColor(1);
        plot.SetEdgeColor(1);
        plot.SetFillColor(fillColor);
        plot.SetSymbolStyle(style);
        qxtest::MemoryCanvas canvas(40, 40);
        plot.DrawSymbolPreview(canvas.dc(), {10, 10, 30, 30});
        return canvas.Capture();
    }

    std::string folder, oldIni, bitmap, metafile, notPicture, missing;
};

// Runs `open` while a thread timer sends the well being tracked the messages a user's
// clicks and keys would (each with the well's window), then Escape, so the well always
// ends.
int TrackWith(const std::function<int()>& open, std::vector<std::pair<UINT, std::pair<WPARAM, LPARAM>>> messages)
{
    static std::vector<std::pair<UINT, std::pair<WPARAM, LPARAM>>>* pending;
    messages.push_back({WM_KEYDOWN, {VK_ESCAPE, 0}});
    pending = &messages;
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR, DWORD) {
        HWND well = CQKPopupBitmapWell::GetTrackingWindow();
        if (!well || pending->empty())
            return;
        for (const auto& m : *pending)
            PostMessageA(well, m.first, m.second.first, m.second.second);
        pending->clear();
    });
    const int result = open();
    KillTimer(nullptr, timer);
    return result;
}

// A well of plain cells.
class PlainWell : public CQKPopupBitmapWell {
protected:
    void DrawCell(HDC, const RECT&, int) override {}
};

LPARAM CentreOf(const CQKPopupBitmapWell& well, int place)
{
    const RECT r = well.GetCellRect(place);
    return MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

// A window with buttons that keeps the well picks it hears of.
struct Parent {
    Parent()
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "QKWellTestParent";
        RegisterClassA(&wc);
        hwnd = CreateWindowA("QKWellTestParent", "", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
        CreateWindowA("BUTTON", "", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10, 300, 60, hwnd, (HMENU)77,
                      GetModuleHandleA(nullptr), nullptr);
        picks.clear();
    }
    ~Parent() { DestroyWindow(hwnd); }
    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l)
    {
        if (m == QK_WM_WELL_PICK)
            picks.push_back({(int)w, (int)l});
        return DefWindowProcA(h, m, w, l);
    }
    HWND hwnd;
    static std::vector<std::pair<int, int>> picks;
};
std::vector<std::pair<int, int>> Parent::picks;

} // namespace

TEST_F(SymbolWellsTest, ManagerAddsIntoFreeSlotsAndRefusesWhatItCannotDraw)
{
    CQKSymbolManager* m = qkfxGetSymbolManager();
    std::string why;
    EXPECT_EQ(0, m->AddUDS(bitmap));
    EXPECT_EQ(1, m->AddUDS(metafile));
    EXPECT_EQ(2, m->AddUDS(bitmap));
    TempFile text("qxsymbols.txt", "a text");
    struct Refused {
        std::string path, reason;
    } const refused[] = {{notPicture, "cannot be read"}, {missing, "not there"}, {text.path, "not a bitmap"}};
    for (const Refused& r : refused) {
        EXPECT_EQ(-1, m->AddUDS(r.path, &why)) << r.path;
        EXPECT_NE(std::string::npos, why.find(r.reason)) << why;
    }
    EXPECT_EQ(3, m->GetNumOfUDSs());
    EXPECT_TRUE(m->IsUserDefinedSymbol(3));
    EXPECT_FALSE(m->IsUserDefinedSymbol(4));
    EXPECT_EQ("2: drop.emf", m->GetUDSName(1));

    // A removed slot stays empty, so the third keeps its style; the next symbol fills it.
    EXPECT_TRUE(m->RemoveUDS(1));
    EXPECT_FALSE(m->RemoveUDS(1));
    EXPECT_EQ(3, m->GetNumOfUDSs());
    EXPECT_EQ("2: (removed)", m->GetUDSName(1));
    EXPECT_EQ(bitmap, m->GetUDSFile(2));
    EXPECT_EQ(1, m->AddUDS(metafile));
    // Empty slots at the end go.
    EXPECT_TRUE(m->RemoveUDS(1));
    EXPECT_TRUE(m->RemoveUDS(2));
    EXPECT_EQ(1, m->GetNumOfUDSs());

    // Every slot taken.
    m->SetUDSFiles(std::vector<std::string>(CQKSymbolManager::kMaxUDSs, bitmap));
    EXPECT_EQ(-1, m->AddUDS(bitmap, &why));
    EXPECT_NE(std::string::npos, why.find("already")) << why;
}

TEST_F(SymbolWellsTest, ListSurvivesARestartAndADamagedSectionChangesNothing)
{
    CQKSymbolManager* m = qkfxGetSymbolManager();
    m->SetUDSFiles({bitmap, "", metafile});
    ASSERT_TRUE(m->SaveUDSsToINIFile());
    m->SetUDSFiles({});
    // The settings read at start (and by loadstartup) bring the list back.
    ASSERT_TRUE(Run("system.loadstartup()")) << err;
    EXPECT_EQ((std::vector<std::string>{bitmap, "", metafile}), m->GetUDSFiles());

    // A shorter list saved leaves none of the longer one behind.
    m->SetUDSFiles({metafile});
    ASSERT_TRUE(m->SaveUDSsToINIFile());
    m->SetUDSFiles({});
    ASSERT_TRUE(m->ReadUDSsFromINIFile());
    EXPECT_EQ((std::vector<std::string>{metafile}), m->GetUDSFiles());

    const std::string ini = qkfxGetINIFileFullPathName();
    struct Damage {
        const char *key, *value;
    } const damages[] = {{"Count", "x"}, {"Count", "-1"}, {"Count", "33"}, {"Count", "2"}};
    for (const Damage& d : damages) {
        WritePrivateProfileStringA("UserDefinedSymbols", d.key, d.value, ini.c_str());
        m->SetUDSFiles({bitmap});
        EXPECT_FALSE(m->ReadUDSsFromINIFile()) << d.value;
        EXPECT_EQ(1, m->GetNumOfUDSs()) << d.value;
    }
}

TEST_F(SymbolWellsTest, PlotsDrawTheirSymbolsPictureAndAPlainSquareWhenItIsGone)
{
    CQKSymbolManager* m = qkfxGetSymbolManager();
    m->SetUDSFiles({bitmap, metafile});
    EXPECT_EQ(kMagenta, DrawSymbol(1).ColorAt(20, 20));
    EXPECT_EQ(kSky, DrawSymbol(2).ColorAt(20, 20));

    // The file gone: a square in the plot's colours, said once however often it is drawn.
    const std::string moved = folder + "\\moved.bmp";
    ASSERT_TRUE(MoveFileA(bitmap.c_str(), moved.c_str()));
    m->SetUDSFiles({bitmap, metafile});
    for (int i = 0; i < 3; ++i) {
        const qxtest::Image image = DrawSymbol(1);
        EXPECT_EQ(RGB(0, 255, 0), image.ColorAt(20, 20)); // the fill, colour 2
        EXPECT_EQ(0, image.Count(kMagenta));
    }
    const int said = qkfxGetCallLog().Find("CQKSymbolManager::DrawUserDefinedSymbol");
    EXPECT_GE(said, 0);
    EXPECT_EQ(-1, qkfxGetCallLog().Find("CQKSymbolManager::DrawUserDefinedSymbol", said + 1));
    EXPECT_NE(std::string::npos, err.find("user-defined symbol 1")) << err;
    EXPECT_EQ(err.find("user-defined symbol 1"), err.rfind("user-defined symbol 1")) << err;
    MoveFileA(moved.c_str(), bitmap.c_str());

    // A style past the list (its symbol removed) draws the square too.
    EXPECT_EQ(RGB(0, 255, 0), DrawSymbol(5).ColorAt(20, 20));
}

TEST_F(SymbolWellsTest, EveryGalleryCellIsFoundFromTheSymbolItGives)
{
    CQKSymbolManager* m = qkfxGetSymbolManager();
    for (int cell = 0; cell < m->GetGalleryCount(TRUE); ++cell) {
        QKGalleryEntry e;
        ASSERT_TRUE(m->GetGalleryEntry(cell, e));
        const int style = e.kind == 0 ? 0 : e.character;
        EXPECT_EQ(cell, m->FindGalleryCell(style, e.shape, e.fill)) << cell;
    }
    EXPECT_EQ(-1, m->FindGalleryCell(0, QK_SYMBOL_CIRCLE, QK_SYMFILL_HOLLOW));
    EXPECT_EQ(-1, m->FindGalleryCell('#', 0, 0));
    EXPECT_EQ(-1, m->FindGalleryCell(0, QK_SYMBOL_NONE, QK_SYMFILL_SOLID));
}

TEST_F(SymbolWellsTest, PopupWellAnswersTheCellPickedOrNoneWhenDismissed)
{
    PlainWell well;
    well.SetLayout(4, 10, 4); // cells 4 to 13 in rows of four
    well.SetCellSize(20, 20);
    EXPECT_EQ(4, well.CellFromPoint({3, 3}));
    EXPECT_EQ(13, well.CellFromPoint({25, 45}));
    EXPECT_EQ(-1, well.CellFromPoint({65, 45})); // past the last cell
    Parent parent;
    const RECT anchor = {100, 100, 140, 120};
    struct Case {
        const char* what;
        std::vector<std::pair<UINT, std::pair<WPARAM, LPARAM>>> messages;
        int picked;
    } const cases[] = {
        {"a click on a cell", {{WM_LBUTTONUP, {0, CentreOf(well, 5)}}}, 9},
        {"Escape", {}, -1},
        {"a press outside", {{WM_LBUTTONDOWN, {0, MAKELPARAM(-20, -20)}}}, -1},
        {"right, down, Enter", {{WM_KEYDOWN, {VK_RIGHT, 0}}, {WM_KEYDOWN, {VK_DOWN, 0}}, {WM_KEYDOWN, {VK_RETURN, 0}}},
         6 + 1 + 4},
        {"a click past the cells", {{WM_LBUTTONUP, {0, MAKELPARAM(65, 45)}}}, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.picked, TrackWith([&] { return well.Track(parent.hwnd, anchor, 6); }, c.messages)) << c.what;
    EXPECT_EQ(nullptr, CQKPopupBitmapWell::GetTrackingWindow());
}

TEST_F(SymbolWellsTest, SymbolWellButtonTellsItsParentThePickAndDrawsItsSymbol)
{
    Parent parent;
    CQKSymbolGalleryWellButton button;
    ASSERT_TRUE(button.MakeButton(CWnd::FromHandle(parent.hwnd), 77));
    EXPECT_EQ(BS_OWNERDRAW, button.GetStyle() & BS_TYPEMASK);
    button.SetWithCharacters(TRUE);
    button.SetWellDimension(0, CQKSymbolManager::GetGalleryColumns(), 4);
    const int cells = qkfxGetSymbolManager()->GetGalleryCount(TRUE);
    TrackWith(
        [&] {
            button.Drop();
            return 0;
        },
        {{WM_LBUTTONUP, {0, MAKELPARAM(2 + 22 * 1 + 11, 2 + 22 * 3 + 11)}}}); // the fourth row's second cell
    ASSERT_EQ(1u, Parent::picks.size());
    EXPECT_EQ(77, Parent::picks[0].first);
    EXPECT_EQ(3 * CQKSymbolManager::GetGalleryColumns() + 1, Parent::picks[0].second);
    EXPECT_LT(Parent::picks[0].second, cells);

    // The button shows its symbol: a solid red square, then a character.
    button.SetConstructedSymbol(QK_SYMBOL_SQUARE, QK_SYMFILL_SOLID);
    button.SetColors(1, 1, 1);
    qxtest::MemoryCanvas canvas(60, 40);
    DRAWITEMSTRUCT dis = {};
    dis.CtlType = ODT_BUTTON;
    dis.hDC = canvas.dc();
    dis.rcItem = {0, 0, 60, 40};
    button.DrawItem(&dis);
    EXPECT_EQ(RGB(255, 0, 0), canvas.Capture().ColorAt(25, 20));
    button.SetConstructedCharacter('W', 0, 0);
    EXPECT_EQ('W', button.GetLook().GetSymbolStyle());
    button.ReleaseButton();
    EXPECT_EQ(nullptr, button.m_hWnd);
}

TEST_F(SymbolWellsTest, OptionsWellEditsACopyThatSaveChangeKeeps)
{
    CQKSymbolManager* m = qkfxGetSymbolManager();
    Parent parent;
    SetWindowLongPtrA(GetDlgItem(parent.hwnd, 77), GWLP_ID, 1125);
    {
        // Symbols added and removed, then the sheet cancelled: nothing is kept.
        CQKUDSWell well;
        ASSERT_TRUE(well.MakeWell(CWnd::FromHandle(parent.hwnd), 1125));
        std::string why;
        EXPECT_TRUE(well.AddSymbol(bitmap));
        EXPECT_FALSE(well.AddSymbol(notPicture, &why));
        EXPECT_NE(std::string::npos, why.find("cannot be read")) << why;
        EXPECT_EQ(1u, well.GetFiles().size());
        EXPECT_EQ(0, m->GetNumOfUDSs());
        well.UnsubclassWindow();
    }
    EXPECT_EQ(0, m->GetNumOfUDSs());
    CQKUDSWell well;
    ASSERT_TRUE(well.MakeWell(CWnd::FromHandle(parent.hwnd), 1125));
    EXPECT_TRUE(well.AddSymbol(bitmap));
    EXPECT_TRUE(well.AddSymbol(metafile));
    EXPECT_EQ(1, well.GetSelected()); // the one added
    EXPECT_EQ(0, well.CellFromPoint({2 + 5, 2 + 5}));
    EXPECT_EQ(1, well.CellFromPoint({2 + 28 + 5, 2 + 5}));
    EXPECT_EQ(-1, well.CellFromPoint({2 + 2 * 28 + 5, 2 + 5}));
    EXPECT_TRUE(well.RemoveSymbol(0));
    EXPECT_FALSE(well.RemoveSymbol(0));
    ASSERT_TRUE(well.SaveChange());
    EXPECT_EQ((std::vector<std::string>{"", metafile}), m->GetUDSFiles());
    // In the INI file too.
    m->SetUDSFiles({});
    ASSERT_TRUE(m->ReadUDSsFromINIFile());
    EXPECT_EQ((std::vector<std::string>{"", metafile}), m->GetUDSFiles());
    well.UnsubclassWindow();
}
