// Editing a graph page's labels and drawn objects and masking its data: the kernel's
// state after each command, the undo step back, and the pixels where a command changes
// the picture. Expected places come from the page's size and the objects' fractions.
#include "KernelTest.h"
#include "TestDib.h"

#include "QKAccess.h"
#include "QKFile.h"
#include "QKGraphObjects.h"
#include "QKHost.h"
#include "QKPlotModel.h"
#include "QKToolBox.h"

namespace {

const int W = 800, H = 600;
const COLORREF kBlue = RGB(0, 0, 255), kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlack = RGB(0, 0, 0);
const COLORREF kWhite = RGB(255, 255, 255);

class EditTest : public KernelTest {
protected:
    void SetUp() override
    {
        KernelTest::SetUp();
        qkfxGetAccess()->SetCheckedToolNumber(0);
        page = static_cast<CQKGraphPage*>(qkfxGetProject().CreatePage(QK_PAGE_GRAPH));
        layer = page->GetLayerByIndex(0, 1);
        page->SetViewMode(2, 1); // the page fills the client area: fractions are exact
        RECT client = {0, 0, W, H};
        ASSERT_TRUE(page->SetDrawRect(client));
    }
    void TearDown() override
    {
        qkfxGetAccess()->SetCheckedToolNumber(0);
        KernelTest::TearDown();
    }

    CQKDrawObj* Box(double x1, double y1, double x2, double y2, int kind = QK_DRAW_RECT)
    {
        auto* d = new CQKDrawObj(kind);
        d->m_x1 = x1, d->m_y1 = y1, d->m_x2 = x2, d->m_y2 = y2;
        layer->AddObject(d);
        return d;
    }
    CQKTextObj* Label(const char* text, double x, double y)
    {
        CQKTextObj* t = page->PgCreateCQKTextObj();
        t->SetTextString(text);
        t->SetPosition(x, y);
        layer->AddObject(t);
        return t;
    }
    // A mouse message at a point of the page window.
    BOOL Mouse(UINT msg, int x, int y, WPARAM keys = 0)
    {
        LRESULT result = 0;
        return page->WindowProc(nullptr, msg, keys, MAKELPARAM(x, y), &result);
    }
    void Drag(int x1, int y1, int x2, int y2)
    {
        Mouse(WM_LBUTTONDOWN, x1, y1);
        Mouse(WM_MOUSEMOVE, x2, y2);
        Mouse(WM_LBUTTONUP, x2, y2);
    }
    // A scatter of y = x for x = 0 .. 9 on axes from 0 to 10.
    CQKPlotObj* Scatter()
    {
        CQKWksPage* wks = static_cast<CQKWksPage*>(qkfxGetProject().CreatePage(QK_PAGE_WKS));
        CQKDataset* x = wks->AddColumn();
        CQKDataset* y = wks->AddColumn();
        for (int i = 0; i < 10; ++i)
            x->SetValue(i, i), y->SetValue(i, i);
        for (int type : {QK_AXIS_X, QK_AXIS_Y}) {
            CQKAxes axes;
            EXPECT_TRUE(layer->GetAxes(&axes, type));
            axes.SetRangeFrom("0");
            axes.SetRangeTo("10");
            axes.SetRangeInc("2");
            layer->UpdateFromTemporary();
        }
        std::vector<QKPlotData> data(2);
        data[0].role = QK_ROLE_Y, data[0].dataset = y->GetName(), data[0].handle = y->GetHandle();
        data[1].role = QK_ROLE_X, data[1].dataset = x->GetName(), data[1].handle = x->GetHandle();
        std::string error;
        CQKPlotObj* plot = qkfxAddPlot(layer, QK_PLOT_SCATTER, data, &error);
        EXPECT_NE(plot, nullptr) << error;
        plot->SetColor(3); // blue
        if (CQKTextObj* legend = layer->FindTextObj("Legend"))
            layer->RemoveDataObj(legend->GetId());
        qkfxGetProject().SetActivePage(page);
        masked = y;
        return plot;
    }
    // The layer's frame (15 % from the left, 10 % from the top, 70 % each way) and the
    // axes from 0 to 10.
    static double MapX(double v) { return std::lround(0.15 * W) + v / 10 * (std::lround(0.85 * W) - std::lround(0.15 * W)); }
    static double MapY(double v) { return std::lround(0.80 * H) - v / 10 * (std::lround(0.80 * H) - std::lround(0.10 * H)); }
    std::string Masked() const
    {
        std::string s;
        for (int row : masked->GetMaskedRows())
            s += (s.empty() ? "" : " ") + std::to_string(row);
        return s;
    }
    void Render(Dib& dib)
    {
        RECT r = {0, 0, W, H};
        ASSERT_TRUE(page->Draw(dib.dc, r));
    }

    CQKGraphPage* page = nullptr;
    CQKGraphicLayer* layer = nullptr;
    CQKDataset* masked = nullptr;
};

} // namespace

// Each alignment moves the second box to the first, each uniform size gives it the first's
// width or height; undo puts it back.
TEST_F(EditTest, AlignmentsAndUniformSizesFollowTheFirstSelected)
{
    qkfxGetProject().SetActivePage(page);
    struct Case {
        const char* script;
        double x1, y1, x2, y2; // the second box after the edit
    } cases[] = {
        {"draw left", 0.1, 0.4, 0.2, 0.7},       {"draw right", 0.2, 0.4, 0.3, 0.7},
        {"draw top", 0.5, 0.1, 0.6, 0.4},        {"draw bottom", 0.5, -0.1, 0.6, 0.2},
        {"draw vertical", 0.15, 0.4, 0.25, 0.7}, {"draw horizontal", 0.5, 0.0, 0.6, 0.3},
        {"draw width", 0.5, 0.4, 0.7, 0.7},      {"draw height", 0.5, 0.4, 0.6, 0.5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        for (int id : layer->GetObjectIds())
            layer->RemoveDataObj(id);
        CQKDrawObj* a = Box(0.1, 0.1, 0.3, 0.2);
        CQKDrawObj* b = Box(0.5, 0.4, 0.6, 0.7);
        page->SelectGrObject(a, false);
        page->SelectGrObject(b, true);
        const std::string before = qkfxDumpProject();
        ASSERT_TRUE(Run(c.script)) << err;
        EXPECT_NEAR(b->m_x1, c.x1, 1e-9);
        EXPECT_NEAR(b->m_y1, c.y1, 1e-9);
        EXPECT_NEAR(b->m_x2, c.x2, 1e-9);
        EXPECT_NEAR(b->m_y2, c.y2, 1e-9);
        EXPECT_EQ(a->m_x1, 0.1);
        EXPECT_EQ(a->m_y2, 0.2);
        ASSERT_TRUE(page->Undo());
        EXPECT_EQ(Diff(before, qkfxDumpProject()), "");
        EXPECT_FALSE(page->CanUndo());
    }
    // A layer added since the edit: its step would no longer fit the page.
    page->SelectGrObject(Box(0.1, 0.1, 0.3, 0.2), false);
    page->SelectGrObject(Box(0.5, 0.4, 0.6, 0.7), true);
    ASSERT_TRUE(Run("draw left")) << err;
    ASSERT_TRUE(page->CanUndo());
    page->AddLayer();
    EXPECT_FALSE(page->CanUndo());
}

// Two labels aligned on the right end where their ink ends.
TEST_F(EditTest, LabelsAlignByWhereTheyAreDrawn)
{
    qkfxGetProject().SetActivePage(page);
    CQKTextObj* a = Label("A much longer label", 0.1, 0.2);
    CQKTextObj* b = Label("Short", 0.5, 0.6);
    a->SetColor(1), b->SetColor(1); // red, apart from the black of the axes
    page->SelectGrObject(a, false);
    page->SelectGrObject(b, true);
    ASSERT_TRUE(Run("draw right")) << err;
    Dib dib(W, H);
    Render(dib);
    auto red = [](COLORREF c) { return GetRValue(c) > 200 && GetGValue(c) < 80 && GetBValue(c) < 80; };
    const RECT inkA = dib.Ink({0, 0, W, H / 2}, red), inkB = dib.Ink({0, H / 2, W, H}, red);
    ASSERT_FALSE(IsRectEmpty(&inkA));
    ASSERT_FALSE(IsRectEmpty(&inkB));
    EXPECT_NEAR(inkA.right, inkB.right, 2);
    EXPECT_GT(inkB.left, inkA.left + 20) << "the shorter label starts further right";
    EXPECT_EQ(b->GetPosY(), 0.6) << "only across";
}

// Order, fonts and the arrow edits, and what each refuses without its objects.
TEST_F(EditTest, OrderFontsAndArrowEditsChangeTheSelectedObjects)
{
    qkfxGetProject().SetActivePage(page);
    CQKTextObj* label = Label("Note", 0.4, 0.4);
    CQKDrawObj* line = Box(0.1, 0.1, 0.3, 0.3, QK_DRAW_LINE);
    CQKDrawObj* rect = Box(0.5, 0.5, 0.6, 0.6);
    struct Case {
        const char* script;
        std::vector<CQKGrObj*> selection;
        const char* error; // a part of the reason, or null when it works
        std::function<void()> check;
    } cases[] = {
        {"draw left", {}, "Select a label or a drawn object first", nullptr},
        {"draw left", {label}, "two or more", nullptr},
        {"draw width", {line, label}, "no drawn object follows", nullptr},
        {"draw fontup", {rect}, "Select a label", nullptr},
        {"draw arrow", {label, rect}, "Select a line", nullptr},
        {"draw fontup", {label}, nullptr, [&] {
             CQKTextStyle s;
             label->GetTextStyle(s);
             EXPECT_EQ(s.size, 24);
         }},
        {"draw fontdown", {label, rect}, nullptr, [&] {
             CQKTextStyle s;
             label->GetTextStyle(s);
             EXPECT_EQ(s.size, 22);
         }},
        {"draw back", {rect}, nullptr, [&] { EXPECT_EQ(layer->GetObjectIds().back(), line->GetId()); }},
        {"draw front", {rect}, nullptr, [&] { EXPECT_EQ(layer->GetObjectIds().back(), rect->GetId()); }},
        {"draw arrow", {line, rect}, nullptr, [&] { EXPECT_TRUE(line->m_arrowEnd); }},
        {"draw -a widen", {line}, nullptr, [&] { EXPECT_EQ(line->m_headWidth, 8); }},
        {"draw -a narrow", {line}, nullptr, [&] { EXPECT_EQ(line->m_headWidth, 6); }},
        {"draw -a lengthen", {line}, nullptr, [&] { EXPECT_EQ(line->m_headLength, 10); }},
        {"draw -a shorten", {line}, nullptr, [&] { EXPECT_EQ(line->m_headLength, 8); }},
        {"draw -a horizontal", {line}, nullptr, [&] { EXPECT_EQ(line->m_y2, line->m_y1); }},
        {"draw -a vertical", {line}, nullptr, [&] {
             EXPECT_EQ(line->m_x2, line->m_x1);
             EXPECT_EQ(line->m_y2, 0.1);
         }},
        {"draw sideways", {line}, "unknown edit", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        page->SetStoredGrElement(nullptr);
        for (size_t i = 0; i < c.selection.size(); ++i)
            page->SelectGrObject(c.selection[i], i > 0);
        ASSERT_EQ(page->GetSelectedObjects(), c.selection);
        const bool worked = Run(c.script);
        EXPECT_EQ(worked, c.error == nullptr) << err;
        if (c.error)
            EXPECT_NE(err.find(c.error), std::string::npos) << err;
        else
            c.check();
    }
}

// The arrow tool draws by dragging and hands back to the pointer; the pointer drags the
// selection and Shift adds to it.
TEST_F(EditTest, ToolsDrawByDraggingAndThePointerMovesTheSelection)
{
    CQKAccess* access = qkfxGetAccess();
    access->SetCheckedToolNumber(6);
    Drag(100, 100, 300, 200);
    EXPECT_EQ(access->GetCheckedToolNumber(), 0);
    auto* arrow = dynamic_cast<CQKDrawObj*>(page->GetStoredGrElement());
    ASSERT_NE(arrow, nullptr);
    EXPECT_EQ(arrow->GetKind(), QK_DRAW_LINE);
    EXPECT_TRUE(arrow->m_arrowEnd);
    EXPECT_DOUBLE_EQ(arrow->m_x1, 100.0 / W);
    EXPECT_DOUBLE_EQ(arrow->m_y2, 200.0 / H);

    Dib dib(W, H);
    Render(dib);
    EXPECT_TRUE(dib.Near(200, 150, kBlack)) << "the line";
    // The head: filled across the line a few pixels back from its tip.
    const double len = std::hypot(200.0, 100.0), ux = 200 / len, uy = 100 / len;
    const double back = 5 * W / 10.0 / 72.0; // 5 points back, inside the 8-point head
    const double side = 1.5 * W / 10.0 / 72.0;
    EXPECT_TRUE(dib.Near(300 - ux * back - uy * side, 200 - uy * back + ux * side, kBlack, 0));
    EXPECT_TRUE(dib.Near(300 - ux * back + uy * side, 200 - uy * back - ux * side, kBlack, 0));

    access->SetCheckedToolNumber(8);
    Drag(400, 300, 500, 420);
    auto* rect = dynamic_cast<CQKDrawObj*>(page->GetStoredGrElement());
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->GetKind(), QK_DRAW_RECT);
    const int objects = layer->GetObjectCount();
    access->SetCheckedToolNumber(9);
    Mouse(WM_LBUTTONDOWN, 600, 500);
    Mouse(WM_LBUTTONUP, 601, 500);
    EXPECT_EQ(layer->GetObjectCount(), objects) << "a click makes no ellipse";

    // Shift+click adds the arrow; a drag of the selection moves both.
    Mouse(WM_LBUTTONDOWN, 200, 150, MK_SHIFT);
    ASSERT_EQ(page->GetSelectedObjects().size(), 2u);
    EXPECT_EQ(page->GetSelectedObjects()[0], rect);
    const std::string before = qkfxDumpProject();
    Drag(450, 300, 490, 330);
    EXPECT_NEAR(rect->m_x1, 440.0 / W, 1e-9);
    EXPECT_NEAR(arrow->m_y1, 130.0 / H, 1e-9);
    ASSERT_TRUE(page->Undo());
    EXPECT_EQ(Diff(before, qkfxDumpProject()), "");

    // A layout page has no zoom and no data selector.
    auto* layout = static_cast<CQKGraphPage*>(qkfxGetProject().CreatePage(QK_PAGE_LAYOUT));
    for (int tool : {1, 5, 3, 10})
        EXPECT_FALSE(layout->IsToolboxToolAvailable(tool)) << tool;
    for (int tool : {0, 2, 6, 9})
        EXPECT_TRUE(layout->IsToolboxToolAvailable(tool)) << tool;
}

// Copy puts the labels on the clipboard, in the program's format and as plain text;
// paste makes copies a little below and to the right; undo takes them away again.
TEST_F(EditTest, CopyPasteDeleteAndUndo)
{
    CQKTextObj* label = Label("Copied \\b(bold)", 0.3, 0.4);
    CQKDrawObj* line = Box(0.1, 0.1, 0.2, 0.2, QK_DRAW_LINE);
    std::string error;
    EXPECT_FALSE(page->CopySelected(nullptr, &error));
    page->SelectGrObject(label, false);
    page->SelectGrObject(line, true);
    ASSERT_TRUE(page->CopySelected(nullptr, &error)) << error;
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE h = GetClipboardData(CF_TEXT);
    ASSERT_NE(h, nullptr);
    EXPECT_STREQ((const char*)GlobalLock(h), "Copied \\b(bold)");
    GlobalUnlock(h);
    CloseClipboard();

    const std::string before = qkfxDumpProject();
    ASSERT_TRUE(page->CanPaste());
    ASSERT_TRUE(page->PasteObjects(nullptr, &error)) << error;
    std::vector<CQKGrObj*> pasted = page->GetSelectedObjects();
    ASSERT_EQ(pasted.size(), 2u);
    auto* copy = dynamic_cast<CQKTextObj*>(pasted[0]);
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, label);
    EXPECT_EQ(copy->GetTextString(), label->GetTextString());
    EXPECT_NEAR(copy->GetPosX(), 0.32, 1e-12);
    auto* lineCopy = dynamic_cast<CQKDrawObj*>(pasted[1]);
    ASSERT_NE(lineCopy, nullptr);
    EXPECT_NEAR(lineCopy->m_y2, 0.22, 1e-12);
    ASSERT_TRUE(page->Undo());
    EXPECT_EQ(Diff(before, qkfxDumpProject()), "");

    // Plain text from another program becomes a label at the last click.
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, 16);
    strcpy((char*)GlobalLock(mem), "two\r\nlines");
    GlobalUnlock(mem);
    SetClipboardData(CF_TEXT, mem);
    CloseClipboard();
    page->SetCurrentPoint({400, 300});
    ASSERT_TRUE(page->PasteObjects(nullptr, &error)) << error;
    auto* plain = dynamic_cast<CQKTextObj*>(page->GetStoredGrElement());
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->GetTextString(), "two\nlines");
    EXPECT_DOUBLE_EQ(plain->GetPosX(), 0.5);

    // Delete takes the selection; undo brings it back.
    const std::string withPlain = qkfxDumpProject();
    EXPECT_EQ(page->OnKeyDown(VK_DELETE, 1, 0), 1);
    // Undo made the objects again, so the first label is found by its text.
    ASSERT_NE(layer->FindTextObj(""), nullptr);
    EXPECT_EQ(layer->FindTextObj("")->GetTextString(), "Copied \\b(bold)") << "only the pasted label went";
    EXPECT_EQ(page->GetStoredGrElement(), nullptr);
    ASSERT_TRUE(page->Undo());
    EXPECT_EQ(Diff(withPlain, qkfxDumpProject()), "");
}

// The masking commands on the active plot: the state after each, the masked points drawn
// in the mask colour, hidden, or as any other point while masking is off.
TEST_F(EditTest, MaskingCommandsAndHowMaskedPointsAreDrawn)
{
    Scatter();
    EXPECT_FALSE(Run("mask range"));
    EXPECT_NE(err.find("Data Selector"), std::string::npos) << err;
    qkfxGetAccess()->SetCheckedToolNumber(5);
    INT_PTR set = 0;
    int first = 0, last = 0;
    // Where X runs up the vertical (both axes span 0 to 10), the rows between two heights.
    page->GetActiveLayer()->SetExchangeAxes(TRUE);
    Drag((int)MapX(1), (int)MapY(6.5), (int)MapX(9), (int)MapY(8.5));
    ASSERT_TRUE(page->GetSelectedRange(set, first, last));
    EXPECT_EQ(first, 7);
    EXPECT_EQ(last, 8);
    page->GetActiveLayer()->SetExchangeAxes(FALSE);
    Drag((int)MapX(2.5), (int)MapY(1), (int)MapX(5.5), (int)MapY(1));
    EXPECT_EQ(qkfxGetAccess()->GetCheckedToolNumber(), 5) << "the data selector stays chosen";
    ASSERT_TRUE(page->GetSelectedRange(set, first, last));
    EXPECT_EQ(first, 3);
    EXPECT_EQ(last, 5);

    struct Step {
        const char* script;
        const char* masked;
        COLORREF at4, at2; // the colour drawn at the points (4, 4) and (2, 2)
    } steps[] = {
        {"mask range", "3 4 5", kRed, kBlue},
        {"mask hide", "3 4 5", kWhite, kBlue},
        {"mask hide", "3 4 5", kRed, kBlue},
        {"mask color", "3 4 5", kGreen, kBlue},
        {"mask swap", "0 1 2 6 7 8 9", kBlue, kGreen},
        {"mask analysis", "0 1 2 6 7 8 9", kBlue, kBlue},
        {"mask analysis", "0 1 2 6 7 8 9", kBlue, kGreen},
        {"mask clear", "0 1 2 6 7 8 9", kBlue, kGreen}, // the chosen rows 3-5 were not masked
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.script);
        const std::string before = qkfxDumpProject();
        ASSERT_TRUE(Run(s.script)) << err;
        EXPECT_EQ(Masked(), s.masked);
        Dib dib(W, H);
        Render(dib);
        EXPECT_EQ(dib.At((int)std::lround(MapX(4)), (int)std::lround(MapY(4))), s.at4);
        EXPECT_EQ(dib.At((int)std::lround(MapX(2)), (int)std::lround(MapY(2))), s.at2);
        // Each step can be undone, and done again.
        const std::string after = qkfxDumpProject();
        ASSERT_TRUE(page->Undo());
        EXPECT_EQ(Diff(before, qkfxDumpProject()), "");
        ASSERT_TRUE(Run(s.script)) << err;
        EXPECT_EQ(Diff(after, qkfxDumpProject()), "");
    }
    // The point under the last click toggles; a click beside every point masks nothing.
    page->SetCurrentPoint({(int)MapX(7) + 2, (int)MapY(7) - 1});
    ASSERT_TRUE(Run("mask point")) << err;
    EXPECT_EQ(Masked(), "0 1 2 6 8 9");
    page->SetCurrentPoint({(int)MapX(7.5), (int)MapY(2)});
    EXPECT_FALSE(Run("mask point"));
    // Without chosen rows, Unmask clears the whole mask.
    qkfxGetAccess()->SetCheckedToolNumber(5);
    Drag((int)MapX(9.7), 100, (int)MapX(9.9), 100);
    EXPECT_FALSE(page->GetSelectedRange(set, first, last));
    ASSERT_TRUE(Run("mask clear")) << err;
    EXPECT_EQ(Masked(), "");
}

// The menus grey an object or masking command until the graph has what it works on;
// the commands' script sections run them.
TEST_F(EditTest, CommandsWaitForWhatTheyWorkOnAndRunTheirSections)
{
    CQKAccess* access = qkfxGetAccess();
    CQKWksPage* wks = static_cast<CQKWksPage*>(qkfxGetProject().CreatePage(QK_PAGE_WKS));
    qkfxGetProject().SetActivePage(wks);
    EXPECT_EQ(access->on_before_run_command("STANDARD", 33024), 0) << "zoom is the graph's";
    qkfxGetProject().SetActivePage(page);
    EXPECT_EQ(access->on_before_run_command("STANDARD", 33024), 1);
    EXPECT_EQ(access->on_before_run_command("OBJEDIT", 35488), 0);
    EXPECT_EQ(access->on_before_run_command("MASK", 35538), 0) << "no plot";
    CQKDrawObj* a = Box(0.1, 0.1, 0.3, 0.2, QK_DRAW_LINE);
    CQKDrawObj* b = Box(0.5, 0.4, 0.6, 0.7);
    page->SelectGrObject(a, false);
    EXPECT_EQ(access->on_before_run_command("OBJEDIT", 35488), 0) << "one object aligns to nothing";
    EXPECT_EQ(access->on_before_run_command("ARROW", 35522), 1);
    page->SelectGrObject(b, true);
    EXPECT_EQ(access->on_before_run_command("OBJEDIT", 35488), 1);
    EXPECT_EQ(access->on_before_run_command("OBJEDIT", 35500), 1) << "two objects of one layer group";
    EXPECT_EQ(access->on_before_run_command("OBJEDIT", 35501), 0) << "no group to ungroup";

    struct Case {
        const char* group;
        const char* command;
        std::function<void()> check;
    } cases[] = {
        {"OBJEDIT", "Left\nLeft\n@Left", [&] { EXPECT_NEAR(b->m_x1, 0.1, 1e-9); }},
        {"ARROW", "Shorten Head\nShorten\n@Shorten", [&] { EXPECT_EQ(a->m_headLength, 6); }},
        {"MASK", "Mask\nMask\n@Swap,Mask", [&] { EXPECT_EQ(Masked(), "0 1 2 3 4 5 6 7 8 9"); }},
    };
    Scatter();
    page->SelectGrObject(a, false);
    page->SelectGrObject(b, true);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        EXPECT_EQ(access->run_resurce_string_ex(c.group, c.command, nullptr), 0) << err;
        c.check();
    }
    EXPECT_EQ(access->on_before_run_command("MASK", 35536), 0) << "no rows chosen";
    EXPECT_EQ(access->on_before_run_command("MASK", 35538), 1);
}

// New Legend lists the layer's plots again, in its automatic place; Rotate Page swaps the
// page's sides. Both through their commands' script sections.
TEST_F(EditTest, NewLegendAndRotatePage)
{
    CQKAccess* access = qkfxGetAccess();
    qkfxGetProject().SetActivePage(page);
    EXPECT_EQ(access->on_before_run_command(nullptr, 36325), 0) << "no plots to list";
    EXPECT_FALSE(Run("legend"));
    Scatter(); // which removes the legend
    page->SetLegendAutoUpdate(FALSE);
    EXPECT_EQ(layer->FindTextObj("Legend"), nullptr);
    EXPECT_EQ(access->on_before_run_command(nullptr, 36325), 1);
    const std::string before = qkfxDumpProject();
    ASSERT_EQ(access->run_resurce_string_ex(nullptr, "Legend\nLegend\n@Legend,Standard", nullptr), 0) << err;
    CQKTextObj* legend = layer->FindTextObj("Legend");
    ASSERT_NE(legend, nullptr);
    EXPECT_NE(legend->GetTextString().find(masked->GetName()), std::string::npos) << legend->GetTextString();
    EXPECT_LT(legend->GetPosX(), 0) << "placed automatically";
    ASSERT_TRUE(page->Undo());
    EXPECT_EQ(Diff(before, qkfxDumpProject()), "");

    ASSERT_EQ(access->run_resurce_string_ex(nullptr, "Rotate\nRotate\nrun.section(Graph,RotatePage);", nullptr), 0) << err;
    double w, h;
    page->GetPageSizeInches(w, h);
    EXPECT_EQ(w, 7.5);
    EXPECT_EQ(h, 10);
    CQKPage* layout = qkfxGetProject().CreatePage(QK_PAGE_LAYOUT);
    qkfxGetProject().SetActivePage(layout);
    EXPECT_EQ(access->on_before_run_command(nullptr, 36125), 0) << "a layout keeps its shape";
}

// Back(data) puts the selected objects behind the layer's data: a thick red line across a
// blue point is covered by the point, and Front(data) lays it over the point again. The
// place is kept in the project; each command waits for an object it would change.
TEST_F(EditTest, ObjectsGoBehindTheDataAndInFrontAgain)
{
    CQKAccess* access = qkfxGetAccess();
    Scatter();
    CQKDrawObj* line = Box(0.1, 0.45, 0.9, 0.45, QK_DRAW_LINE);
    line->m_lineWidth = 20;
    line->SetColor(1); // red
    // The line runs through the point (5, 5), which sits at 45 % of the page's height.
    const int px = (int)std::lround(MapX(5)), py = (int)std::lround(MapY(5));
    ASSERT_EQ(py, (int)std::lround(0.45 * H));
    auto centre = [&] {
        Dib dib(W, H);
        Render(dib);
        return dib.At(px, py);
    };
    EXPECT_EQ(centre(), kRed);
    page->SelectGrObject(line, false);
    EXPECT_EQ(access->on_before_run_command("OBJEDIT", 35498), 0) << "already in front";
    ASSERT_EQ(access->on_before_run_command("OBJEDIT", 35499), 1);
    ASSERT_EQ(access->run_resurce_string_ex("OBJEDIT", "Back\nBack(data)\n@BackData", nullptr), 0) << err;
    EXPECT_TRUE(line->IsBehindData());
    EXPECT_EQ(centre(), kBlue);
    EXPECT_EQ(access->on_before_run_command("OBJEDIT", 35499), 0) << "already behind";

    std::vector<BYTE> bytes;
    qkfxSaveProjectToMemory(bytes);
    const std::string before = qkfxDumpProject();
    EXPECT_NE(before.find("behindData = 1"), std::string::npos) << before;
    std::string error;
    ASSERT_TRUE(qkfxOpenProjectFromMemory(bytes.data(), bytes.size(), false, &error)) << error;
    EXPECT_EQ(Diff(before, qkfxDumpProject()), "");

    page = static_cast<CQKGraphPage*>(qkfxGetProject().GetActiveGraph());
    ASSERT_NE(page, nullptr);
    RECT client = {0, 0, W, H};
    page->SetViewMode(2, 1);
    ASSERT_TRUE(page->SetDrawRect(client));
    layer = page->GetLayerByIndex(0, 1);
    line = nullptr;
    for (int id : layer->GetObjectIds())
        if (auto* d = dynamic_cast<CQKDrawObj*>(layer->GetObject(id)))
            line = d;
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(centre(), kBlue);
    page->SelectGrObject(line, false);
    ASSERT_EQ(access->run_resurce_string_ex("OBJEDIT", "Front\nFront(data)\n@FrontData", nullptr), 0) << err;
    EXPECT_EQ(centre(), kRed);
}

// Grouped objects are one object: a click on one selects the group, a drag moves it whole,
// alignment moves it by one offset, the project keeps it; Ungroup and Undo take it apart.
TEST_F(EditTest, GroupedObjectsAreSelectedMovedKeptAndUngroupedAsOne)
{
    CQKDrawObj* a = Box(0.10, 0.10, 0.20, 0.20);
    CQKDrawObj* b = Box(0.50, 0.50, 0.60, 0.70);
    CQKDrawObj* c = Box(0.30, 0.80, 0.40, 0.90);
    qkfxGetProject().SetActivePage(page);
    page->SelectGrObject(a, false);
    EXPECT_FALSE(Run("draw group")) << "one object is no group";
    page->SelectGrObject(b, true);
    ASSERT_TRUE(Run("draw group")) << err;
    EXPECT_NE(0, a->GetGroup());
    EXPECT_EQ(a->GetGroup(), b->GetGroup());
    EXPECT_EQ(0, c->GetGroup());
    EXPECT_FALSE(page->CanEdit(QK_EDIT_GROUP)) << "already one group";

    // A click on b selects both; a drag moves both by the same offset.
    Mouse(WM_LBUTTONDOWN, 0, 0);
    Mouse(WM_LBUTTONUP, 0, 0);
    Drag(int(0.55 * W), int(0.60 * H), int(0.55 * W) + 40, int(0.60 * H) + 30);
    EXPECT_NEAR(a->m_x1, 0.10 + 40.0 / W, 1e-9);
    EXPECT_NEAR(a->m_y2, 0.20 + 30.0 / H, 1e-9);
    EXPECT_NEAR(b->m_x1, 0.50 + 40.0 / W, 1e-9);
    ASSERT_EQ(2u, page->GetSelectedObjects().size());

    // Aligned to c, the group moves as one: its members keep their places to each other.
    page->SelectGrObject(c, false);
    page->SelectGrObject(b, true);
    const double gap = a->m_x1 - b->m_x1;
    ASSERT_TRUE(Run("draw left")) << err;
    EXPECT_NEAR(b->m_x1, c->m_x1, 1.5 / W);
    EXPECT_NEAR(a->m_x1 - b->m_x1, gap, 1e-9);

    // Front brings the whole group before c, which was made last.
    page->SelectGrObject(a, false);
    ASSERT_TRUE(Run("draw front")) << err;
    EXPECT_GT(a->GetId(), c->GetId());
    EXPECT_GT(b->GetId(), c->GetId());

    // Kept in the project.
    const std::string grouped = qkfxDumpProject();
    EXPECT_NE(std::string::npos, grouped.find("group = ")) << grouped;
    std::vector<BYTE> bytes;
    qkfxSaveProjectToMemory(bytes);
    std::string error;
    ASSERT_TRUE(qkfxOpenProjectFromMemory(bytes.data(), bytes.size(), false, &error)) << error;
    EXPECT_EQ("", Diff(grouped, qkfxDumpProject()));

    page = static_cast<CQKGraphPage*>(qkfxGetProject().GetActiveGraph());
    ASSERT_NE(nullptr, page);
    layer = page->GetLayerByIndex(0, 1);
    page->SetViewMode(2, 1);
    RECT client = {0, 0, W, H};
    ASSERT_TRUE(page->SetDrawRect(client));
    std::vector<CQKDrawObj*> boxes;
    for (int id : layer->GetObjectIds())
        if (auto* d = dynamic_cast<CQKDrawObj*>(layer->GetObject(id)))
            boxes.push_back(d);
    ASSERT_EQ(3u, boxes.size());
    EXPECT_EQ(0, boxes[0]->GetGroup()) << "c is behind the group";
    page->SelectGrObject(boxes[1], false);
    ASSERT_EQ(2u, page->GetSelectedObjects().size()) << "the group read back";
    ASSERT_TRUE(Run("draw ungroup")) << err;
    for (CQKDrawObj* d : boxes)
        EXPECT_EQ(0, d->GetGroup());
    EXPECT_EQ(1u, page->GetSelectedObjects().size());
    ASSERT_TRUE(page->Undo());
    std::vector<CQKGrObj*> restored;
    for (int id : layer->GetObjectIds())
        if (auto* d = dynamic_cast<CQKDrawObj*>(layer->GetObject(id)); d && d->GetGroup() != 0)
            restored.push_back(d);
    ASSERT_EQ(2u, restored.size()) << "undo groups them again";
    page->SelectGrObject(restored[1], false);
    EXPECT_EQ(2u, page->GetSelectedObjects().size());
}

// Remove Bad Data and Move Data Points: the clicks in the window change the worksheet's
// cells, the picture follows, and each edit can be undone.
TEST_F(EditTest, DataPointsAreRemovedAndMovedInTheirCells)
{
    CQKAccess* access = qkfxGetAccess();
    qkfxGetProject().SetActivePage(page);
    EXPECT_EQ(access->on_before_run_command("GRAPH", 32968), 0) << "no plot";
    EXPECT_FALSE(Run("datapoints remove"));
    CQKPlotObj* plot = Scatter();
    CQKDataset* y = masked;
    CQKDataset* x = nullptr;
    for (const QKPlotData& d : plot->GetDataList())
        if (d.role == QK_ROLE_X)
            x = qkfxGetProject().GetDatasetFromHandle(d.handle);
    ASSERT_NE(nullptr, x);
    EXPECT_EQ(access->on_before_run_command("GRAPH", 32967), 1);
    EXPECT_EQ(access->on_before_run_command("GRAPH", 32968), 1);
    {
        Dib dib(W, H);
        Render(dib);
    }
    ASSERT_TRUE(Run("run.section(Graph,RemoveBadData)")) << err;
    const std::string before = qkfxDumpProject();
    Mouse(WM_LBUTTONDOWN, (int)MapX(4) + 3, (int)MapY(4) - 2);
    Mouse(WM_LBUTTONUP, (int)MapX(4) + 3, (int)MapY(4) - 2);
    EXPECT_EQ(MISSING_VALUE, y->GetValue(4));
    EXPECT_EQ(4, x->GetValue(4)) << "the row stays with its X";
    Mouse(WM_LBUTTONDOWN, (int)MapX(7.5), (int)MapY(2));
    int missing = 0;
    for (int row = 0; row < 10; ++row)
        missing += y->GetValue(row) == MISSING_VALUE;
    EXPECT_EQ(1, missing) << "a click beside every point removes nothing";
    Dib removed(W, H);
    Render(removed);
    EXPECT_EQ(kWhite, removed.At((int)std::lround(MapX(4)), (int)std::lround(MapY(4))));
    EXPECT_EQ(kBlue, removed.At((int)std::lround(MapX(5)), (int)std::lround(MapY(5))));
    ASSERT_TRUE(page->Undo());
    EXPECT_EQ(4, y->GetValue(4));
    EXPECT_EQ("", Diff(before, qkfxDumpProject()));
    // Escape ends the edit: the next click selects, it removes nothing.
    EXPECT_EQ(1, page->OnKeyDown(VK_ESCAPE, 1, 0));
    Mouse(WM_LBUTTONDOWN, (int)MapX(5), (int)MapY(5));
    Mouse(WM_LBUTTONUP, (int)MapX(5), (int)MapY(5));
    EXPECT_EQ(5, y->GetValue(5));

    // A point dragged lands where it is dropped, within a pixel of the axes' scale.
    ASSERT_TRUE(Run("run.section(Graph,MoveData)")) << err;
    Drag((int)MapX(6), (int)MapY(6), (int)MapX(7.5), (int)MapY(2.5));
    const double pixel = 10.0 / (0.7 * W);
    EXPECT_NEAR(7.5, x->GetValue(6), 2 * pixel);
    EXPECT_NEAR(2.5, y->GetValue(6), 2 * 10.0 / (0.7 * H));
    Dib moved(W, H);
    Render(moved);
    EXPECT_TRUE(moved.Near(MapX(7.5), MapY(2.5), kBlue));
    EXPECT_EQ(kWhite, moved.At((int)std::lround(MapX(6)), (int)std::lround(MapY(6))));
    // A drag from nowhere moves nothing; one dropped outside the frame stays on its edge.
    Drag((int)MapX(3) + 30, (int)MapY(3), (int)MapX(5), (int)MapY(1));
    EXPECT_EQ(3, y->GetValue(3));
    Drag((int)MapX(1), (int)MapY(1), (int)MapX(1), H - 2);
    EXPECT_NEAR(0, y->GetValue(1), 1e-9);
    ASSERT_TRUE(page->Undo());
    EXPECT_EQ(1, y->GetValue(1));
    EXPECT_NEAR(7.5, x->GetValue(6), 2 * pixel) << "one step back only";
}

namespace {

// The user interface's label and its dialog: the answer and the colour the user chose.
int g_dialogAnswer = IDCANCEL;
int g_dialogColour = 0;
struct DialogLabel : CQKTextObj {
    int DoDialog(CWnd*, int, UINT) override
    {
        SetColor(g_dialogColour);
        return g_dialogAnswer;
    }
};
struct DialogGraphPage : CQKGraphPage {
    using CQKGraphPage::CQKGraphPage;
    CQKTextObj* PgCreateCQKTextObj() override { return new DialogLabel; }
};

} // namespace

// The tool box chooses the tool; only the text tool has options, the look of new labels:
// what a confirmed label dialog sets becomes their default, a cancelled one changes nothing.
TEST_F(EditTest, TheToolBoxChoosesToolsAndOpensOnlyTheTextToolsOptions)
{
    CQKProject& project = qkfxGetProject();
    project.SetPageFactory(QK_PAGE_GRAPH, [](CQKProject* p, const std::string& name) -> CQKPage* {
        return new DialogGraphPage(p, name);
    });
    CQKPage* graph = project.CreatePage(QK_PAGE_GRAPH);
    project.SetPageFactory(QK_PAGE_GRAPH, nullptr);
    ASSERT_NE(dynamic_cast<DialogGraphPage*>(graph), nullptr);
    project.SetActivePage(graph);
    const int before = CQKTextObj().GetColor();
    const int chosen = before == 5 ? 6 : 5;
    g_dialogColour = chosen;

    CQKTBox box;
    EXPECT_TRUE(box.set_nth_tools_from_SDK(6, 0));
    EXPECT_EQ(qkfxGetAccess()->GetCheckedToolNumber(), 6);
    struct {
        int tool, answer;
        BOOL changed;
        int colour;
    } cases[] = {
        {6, IDOK, FALSE, before}, // the arrow tool has no options
        {2, IDCANCEL, FALSE, before},
        {2, IDOK, TRUE, chosen},
    };
    for (auto& c : cases) {
        g_dialogAnswer = c.answer;
        EXPECT_EQ(box.set_nth_tools_from_SDK(c.tool, 1), c.changed) << c.tool << " " << c.answer;
        EXPECT_EQ(CQKTextObj().GetColor(), c.colour) << c.tool << " " << c.answer;
    }
    EXPECT_EQ(qkfxGetAccess()->GetCheckedToolNumber(), 6) << "options choose no tool";
    // The defaults are the program's: put them back for the other tests.
    CQKTextObj restore;
    restore.SetColor(before);
    restore.SetDefault(0);
}
