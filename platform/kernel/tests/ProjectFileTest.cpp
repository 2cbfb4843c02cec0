// Project, window and template files: round trips of every page and plot kind, the
// reader against damaged files, and saves that fail without losing the old file.
#include "KernelTest.h"

#include <afx.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <random>

#include "QKAccess.h"
#include "QKExternal.h"
#include "QKFile.h"
#include "QKGraphObjects.h"
#include "QKSysMethod.h"
#include <qxtest/FileText.h>
#include <qxtest/ProjectRecords.h>

namespace {

// Every plot word with the column designations it plots (X, Y, E: Y error, Z; "M": the
// active matrix).
const struct {
    const char* word;
    const char* columns;
} kPlotKinds[] = {
    {"Line", "XYY"},        {"Scatter", "XY"},      {"LineSymb", "XY"},        {"Column", "XYY"},
    {"Bar", "XY"},          {"StackCol", "XY"},     {"StackBar", "XY"},        {"FloatColumn", "XYY"},
    {"FloatBar", "XYY"},    {"Area", "XY"},         {"FillArea", "XYY"},       {"YError", "XYE"},
    {"VertDropLine", "XY"}, {"HorzDropLine", "XY"}, {"HiLoClose", "XYYY"},     {"Vector", "XYYY"},
    {"FlowVector", "XYYY"}, {"Pie", "XY"},          {"BoxChart", "XYY"},       {"Histogram", "YY"},
    {"IndexSize", "XYY"},   {"IndexColor", "XYY"},  {"IndexColorSize", "XYYY"}, {"3DScatter", "XYZ"},
    {"Trajectory", "XYZ"},  {"3DBar", "XY"},        {"Ribbon", "XY"},          {"Walls", "XY"},
    {"ContourColor", "XYZ"}, {"ContourBW", "M"},    {"GrayScaleMap", "M"},     {"ColorMap", "M"},
    {"ColorFill", "M"},     {"3DBars", "M"},        {"WireFrame", "M"},        {"WireSurface", "M"},
};

using qxtest::Crc32Of;

// A script that makes a worksheet and a graph for every plot kind, a matrix and its
// plots, a layout and a notes window.
std::string EveryKindScript()
{
    std::string s = "win -t matrix; matrix -ps dim 4 5;\n";
    for (const auto& k : kPlotKinds) {
        std::string cols = k.columns;
        if (cols == "M") {
            s += "win -a Matrix1; matrix -p 0 " + std::string(k.word) + ";\n";
            continue;
        }
        s += "win -t wks; wks.ncols = " + std::to_string(cols.size()) + ";";
        for (size_t i = 0; i < cols.size(); ++i) {
            int type = cols[i] == 'X' ? 4 : cols[i] == 'E' ? 3 : cols[i] == 'Z' ? 6 : 1;
            s += "wks.col" + std::to_string(i + 1) + ".type = " + std::to_string(type) + ";";
        }
        s += "for (i = 1; i <= 5; i += 1) { col(A)[i] = i; col(B)[i] = i * i - 2; };";
        s += "worksheet -p 201 " + std::string(k.word) + ";\n";
    }
    s += "label -x Time (s); win -t layout; win -n Notes1; type made every kind;\n";
    return s;
}

class ProjectFileTest : public KernelTest {
protected:
    void TearDown() override
    {
        qkfxSetFileWriteLimit(0);
        qkfxSetFileReadLimit((size_t)1 << 30);
        qkfxGetQrxSystem().GetRefProject().SetBackupBeforeSave(0);
        KernelTest::TearDown();
    }

    // Everything the model holds that scripts do not reach, set to values other than the
    // defaults so that a field the file forgets shows in the dump.
    void AddTheRest()
    {
        CQKProject& project = qkfxGetProject();
        auto* wks = dynamic_cast<CQKWksPage*>(project.FindPage("Data1"));
        ASSERT_NE(wks, nullptr);
        CQKDataset* b = wks->GetColumn(2);
        b->m_label = "Velocity\r\n(m/s)";
        b->m_format = QK_FORMAT_TEXT;
        b->m_subformat = 3;
        b->m_width = 14;
        b->m_function = "col(A)*i";
        b->SetText(1, "outlier \"x\"");
        b->SetValue(7, MISSING_VALUE);
        b->SetValue(8, -1.25e-300);
        b->SetMasked(2, true);
        b->SetMasked(5, true);
        b->m_maskHidden = true;
        b->m_maskColor = 14;
        wks->m_selC1 = 1, wks->m_selC2 = 2, wks->m_selR1 = 3, wks->m_selR2 = 4;
        wks->m_labelsShown = true;
        CQKDataset* fit = project.CreateDataset("Data1_B.FIT", 3);
        fit->SetValue(0, 0.1);
        fit->m_xDataset = wks->GetColumn(1)->GetHandle();

        // (Matrix1's cells stay missing: the contour plots of it recompute their grids
        // and colour map from its values when they are read.)
        auto* m = dynamic_cast<CQKMatrixPage*>(project.CreatePage(QK_PAGE_MATRIX, "Cells"));
        ASSERT_NE(m, nullptr);
        m->SetDimensions(4, 5);
        m->m_x1 = -2.5, m->m_x2 = 7, m->m_y1 = 0.001, m->m_y2 = 1e6;
        for (int r = 1; r <= 4; ++r)
            for (int c = 1; c <= 5; ++c)
                m->SetCell(r, c, r * 10 + c + 0.5);
        m->SetCell(2, 2, MISSING_VALUE);
        m->m_dataFormat = 2, m->m_numDisplay = 1, m->m_digits = 4, m->m_columnWidth = 12;
        m->m_expression = "i*10 + j + 0.5";
        auto* n1 = dynamic_cast<CQKNotesPage*>(project.FindPage("Notes1"));
        ASSERT_NE(n1, nullptr);
        n1->m_created = 3.9e9, n1->m_modified = 3.9e9 + 61.5;
        n1->m_selStart = 6, n1->m_selEnd = 10, n1->m_wordWrap = true;

        auto* graph = dynamic_cast<CQKGraphPage*>(project.FindPage("Graph1"));
        ASSERT_NE(graph, nullptr);
        graph->SetDimWidth(6.25);
        graph->SetLegendAutoUpdate(FALSE);
        graph->SetColorColorCntl(2);
        CQKGraphicLayer* second = graph->AddLayer(true);
        second->SetMeasLeft(55);
        second->SetLinkToLayerIndex(0);
        CQKGraphicLayer* first = graph->GetLayerByIndex(0, 1);
        first->SetBkgColorValue(3);
        CQKAxes* axes = graph->PgCreateCQKAxes();
        ASSERT_TRUE(first->GetAxes(axes, QK_AXIS_Y));
        axes->SetRangeFrom("-3");
        axes->SetType(1);
        axes->Get2ndTickLabel()->SetPrefixName("$");
        CQKAxisBreak br;
        axes->GetBreak(br, 0);
        br.SetEnable(TRUE);
        axes->SetBreak(br, 0);
        first->UpdateFromTemporary();
        first->AddObject(axes);
        CQKTextObj* text = graph->PgCreateCQKTextObj();
        text->SetObjName("Note");
        text->SetTextString("\\b(bold) text");
        CQKTextStyle style;
        style.rotation = -450;
        style.flags = QK_TEXT_WHITE_OUT;
        text->SetTextStyle(style);
        text->SetPosition(0.25, 0.75);
        first->AddObject(text);
        auto* arrow = new CQKDrawObj(QK_DRAW_LINE);
        arrow->m_x1 = 0.125, arrow->m_y1 = 0.5, arrow->m_x2 = 0.375, arrow->m_y2 = 0.25;
        arrow->m_arrowEnd = true;
        arrow->m_headWidth = 10;
        arrow->SetColor(3);
        first->AddObject(arrow);
        first->AddObject(new CQKDrawObj(QK_DRAW_ELLIPSE));
        CQKPlotObj* plot = first->PlotObjByIndex(0, 1);
        plot->SetBKColor(5, 2);
        plot->SetBorderWidth(2.5, 1);
        plot->SetHiddenFromLegend(TRUE);
        // A special point in blue; a 3D scatter's YZ projection shown, in cyan.
        std::unique_ptr<CQKPlotObj> point(plot->CreateSpecialPoint(1));
        point->SetColor(3);
        point->SetSubPlotParent(plot);
        point->UpdateFromTemporary();
        for (int i = 0; i < project.GetNumPages(); ++i) {
            auto* g = dynamic_cast<CQKGraphPage*>(project.GetPage(i));
            CQKGraphicLayer* l = g && g->GetNumLayers() ? g->GetLayerByIndex(0, 1) : nullptr;
            CQKPlotObj* scatter = l && l->GetNumPlots() ? l->PlotObjByIndex(0, 1) : nullptr;
            if (!scatter || !scatter->Is3DScatterPlot())
                continue;
            std::vector<CQKPlotObj*> parts;
            ASSERT_EQ(4, scatter->GetSpecialPointsArray(parts));
            parts[3]->SetObjectDisplayed(TRUE);
            parts[3]->SetColor(4);
            parts[3]->UpdateFromTemporary();
            for (CQKPlotObj* part : parts)
                delete part;
            break;
        }
        // An id left by a deleted object stays a gap.
        first->RemoveDataObj(first->AddObject(graph->PgCreateCQKTextObj()));

        auto* notes = dynamic_cast<CQKNotesPage*>(project.FindPage("Notes1"));
        ASSERT_NE(notes, nullptr);
        notes->m_text = "line 1\r\nline 2\t\xe9";
        notes->SetHiddenPEWnd(TRUE);

        auto* book = dynamic_cast<CQKWksExternPage*>(project.CreatePage(QK_PAGE_EXCEL));
        ASSERT_NE(book, nullptr);
        book->SetExternalName("C:\\data\\book.xls");
        book->SetInternalSaving(1);
        CQKWksExternLayer* sheet = book->GetOrCreateActiveLayer("Sheet1");
        sheet->AddExternColumn(2, nullptr, "second");
        sheet->GetColumn(2)->SetValue(3, 42);
        book->GetOrCreateActiveLayer("Sheet2");
        book->RemoveLayer(book->FindLayer("Sheet1"));
        book->GetOrCreateActiveLayer("Sheet3")->AddExternColumn(1, nullptr, nullptr);

        // A 3D layer's own settings and those it keeps in its view.
        CQK3DLayer* layer3D = nullptr;
        for (int i = 0; i < project.GetNumPages() && !layer3D; ++i)
            if (auto* g = dynamic_cast<CQKGraphPage*>(project.GetPage(i)))
                layer3D = dynamic_cast<CQK3DLayer*>(g->GetLayerByIndex(0, 1));
        ASSERT_NE(layer3D, nullptr);
        layer3D->SetRotateLabel(TRUE);
        layer3D->SetProjectionPrespective(FALSE);
        layer3D->SetYZColor(4);
        layer3D->SetEnableCubeOutline(TRUE);
        layer3D->SetCubeOutlineColor(3);
        layer3D->SetCubeOutlineStyle(2);
        layer3D->SetCubeOutlineWidth(1.5);
        layer3D->SetXAxisLength(1.5);
        layer3D->SetXFrom(10);
        layer3D->SetXYClipping(TRUE);

        // A box chart's box and whiskers.
        CQKPlotObj* box = nullptr;
        for (int i = 0; i < project.GetNumPages() && !box; ++i)
            if (auto* g = dynamic_cast<CQKGraphPage*>(project.GetPage(i)))
                for (int k = 0; k < g->GetLayerByIndex(0, 1)->GetNumPlots() && !box; ++k)
                    if (g->GetLayerByIndex(0, 1)->PlotObjByIndex(k, 1)->IsBoxPlot())
                        box = g->GetLayerByIndex(0, 1)->PlotObjByIndex(k, 1);
        ASSERT_NE(box, nullptr);
        box->SetBoxType(3);
        box->SetBoxRange(5);
        box->SetBoxCoef(10);
        box->SetBoxCap(70);
        box->SetWhiskerRange(4);
        box->SetWhiskerCoef(2);
        box->SetOutliers(TRUE);
        box->SetDiamondBox(TRUE);
        box->SetWhiskerLabel(TRUE);
        box->SetDotPlotType(2);
        box->SetBinUserDef(TRUE);
        box->SetBinSize(0.5);
        box->SetCurveType(3);
        box->SetBinAlign(2);
        box->SetSymbolType(QK_SYMBOL_CIRCLE, 5);
        box->SetSymbolStyle('M', 1);
        box->SetCharFont(2, 1);
        box->SetPercSymbolSize(11);
        box->SetSymbolColor(4);
        // A group's increments.
        plot->SetEnumerate(TRUE, 1);

        BYTE* block = static_cast<BYTE*>(project.CreateNamedBlock("QXTEST", 6));
        for (int i = 0; i < 6; ++i)
            block[i] = (BYTE)(i * 50);
        project.SetActivePage(project.FindPage("Graph3"));
    }

    // Everything saved, the project emptied and read back: the dump says what is lost.
    static std::string RoundTrip()
    {
        std::vector<BYTE> bytes;
        qkfxSaveProjectToMemory(bytes);
        qkfxGetProject().New();
        std::string error;
        EXPECT_TRUE(qkfxOpenProjectFromMemory(bytes.data(), bytes.size(), false, &error)) << error;
        return qkfxDumpProject();
    }

    static std::string TempPath(const char* name)
    {
        char dir[MAX_PATH];
        GetTempPathA(MAX_PATH, dir);
        return std::string(dir) + name;
    }

    // The dump of one page, from its "page" line to its closing brace.
    static std::string PageDump(const std::string& name)
    {
        std::string dump = qkfxDumpProject();
        size_t at = dump.find("\n  page " + name + " ");
        if (at == std::string::npos)
            return std::string();
        size_t end = dump.find("\n  }\n", at);
        return dump.substr(at, end - at);
    }
};

TEST_F(ProjectFileTest, AProjectWithEveryPageAndPlotKindReadsBackAsItWasSaved)
{
    ASSERT_TRUE(Run(EveryKindScript())) << err;
    AddTheRest();
    std::string before = qkfxDumpProject();
    std::string after = RoundTrip();
    EXPECT_EQ(Diff(before, after), "");
    EXPECT_NE(after.find("plot 1 Contour"), std::string::npos);
    EXPECT_NE(after.find("rotateLabels 1 perspective 0 planeColors 18 4 18 outline 1 3 2 1.5"), std::string::npos)
        << "a 3D layer's settings come back";
    EXPECT_NE(after.find("type 3 range 5 coef 10 width 70 whisker 4 coef 2 outliers 1 diamond 1 labels 0 1"), std::string::npos)
        << "a box chart's settings come back";
    EXPECT_NE(after.find("type 2 single 0 snap 0 userBins 1 bins 0.5"), std::string::npos) << "its data's settings";
    EXPECT_NE(after.find("curve 3 100 align 2 percentiles 77/9/0/2/0"), std::string::npos) << "its percentiles";
    EXPECT_NE(after.find("0/2/0/0/0 size 11 colors 4 -9"), std::string::npos) << "its maximum's marker";
    EXPECT_NE(after.find("groupEnum = 3"), std::string::npos) << "a group's increments come back";
    EXPECT_NE(after.find("specialPoint 2 = \"color 3 "), std::string::npos) << "a special point comes back";
    EXPECT_NE(after.find("scatterShown = \"1 0 0 1\""), std::string::npos) << "a 3D scatter's parts come back";
    EXPECT_NE(after.find("projection 3 = \"own 1 color 4 "), std::string::npos) << "with their looks";
    EXPECT_NE(after.find("masked = \"2 5\""), std::string::npos) << "masks come back";
    EXPECT_NE(after.find(" line {"), std::string::npos) << "drawn objects come back";
    EXPECT_NE(after.find("made every kind"), std::string::npos) << "the Results Log comes back";
    EXPECT_NE(after.find("function = \"col(A)*i\""), std::string::npos) << "a column's formula comes back";
    EXPECT_EQ(qkfxGetProject().GetActivePage()->GetName(), "Graph3");
    EXPECT_FALSE(qkfxGetProject().IsModified());
    // The file read back makes the same file again.
    std::vector<BYTE> first, second;
    qkfxSaveProjectToMemory(first);
    RoundTrip();
    qkfxSaveProjectToMemory(second);
    size_t at = 0;
    while (at < first.size() && at < second.size() && first[at] == second[at])
        ++at;
    auto around = [at](const std::vector<BYTE>& bytes) {
        const size_t from = at < 48 ? 0 : at - 48, to = std::min(bytes.size(), at + 48);
        std::string text;
        for (size_t i = from; i < to; ++i)
            text += bytes[i] >= 32 && bytes[i] < 127 ? (char)bytes[i] : '.';
        return text;
    };
    EXPECT_TRUE(first == second) << "sizes " << first.size() << " and " << second.size() << ", first difference at "
                                 << at << ":\n" << around(first) << "\n" << around(second);
}

// The Results Log is kept as the last notes record named "ResultsLog": a notes window the
// user gave that name stays a window.
TEST_F(ProjectFileTest, TheResultsLogAndANotesWindowOfItsNameBothComeBack)
{
    ASSERT_TRUE(Run("win -n N ResultsLog; type fit done")) << err;
    auto* notes = dynamic_cast<CQKNotesPage*>(qkfxGetProject().FindPage("ResultsLog"));
    ASSERT_NE(notes, nullptr);
    notes->m_text = "my own notes";
    std::string before = qkfxDumpProject();
    EXPECT_EQ(Diff(before, RoundTrip()), "");
    notes = dynamic_cast<CQKNotesPage*>(qkfxGetProject().FindPage("ResultsLog"));
    ASSERT_NE(notes, nullptr);
    EXPECT_EQ(notes->m_text, "my own notes");
    EXPECT_EQ(qkfxGetProject().GetResultsLog(), "fit done\r\n");
}

TEST_F(ProjectFileTest, AppendAddsThePagesUnderFreeNamesAndKeepsWhatWasOpen)
{
    ASSERT_TRUE(Run("win -t wks; col(A)[1] = 5; win -t wks; worksheet -p 201 Line")) << err;
    std::vector<BYTE> bytes;
    qkfxSaveProjectToMemory(bytes);
    std::string error;
    ASSERT_TRUE(qkfxOpenProjectFromMemory(bytes.data(), bytes.size(), true, &error)) << error;
    CQKProject& project = qkfxGetProject();
    ASSERT_EQ(project.GetNumPages(), 6);
    EXPECT_TRUE(project.IsModified());
    // The appended graph draws the appended worksheet, under its new name.
    auto* graph = dynamic_cast<CQKGraphPage*>(project.FindPage("Graph2"));
    ASSERT_NE(graph, nullptr);
    CQKPlotObj* plot = graph->GetLayerByIndex(0, 1)->PlotObjByIndex(0, 1);
    EXPECT_EQ(plot->GetDataSetName(), "Data4_B");
    EXPECT_EQ(project.FindDataset("Data3_A")->GetValue(0), 5);
}

TEST_F(ProjectFileTest, WindowFilesAndTemplatesOfEachKindReadBack)
{
    ASSERT_TRUE(Run(EveryKindScript())) << err;
    AddTheRest();
    CQKProject& project = qkfxGetProject();
    struct Case {
        const char* page;
        const char* ext;
    } cases[] = {{"Data1", ".qgw"}, {"Graph1", ".qgg"}, {"Cells", ".qgm"}, {"Layout1", ".qgl"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.page);
        CQKPage* page = project.FindPage(c.page);
        ASSERT_NE(page, nullptr);
        std::string path = TempPath((std::string("qxk_window") + c.ext).c_str());
        std::string error;
        ASSERT_TRUE(qkfxSavePage(page, path, false, &error)) << error;
        EXPECT_EQ(page->GetFullPathFileName(), path);
        std::string before = PageDump(c.page);
        // Read into the same project the window comes back under its own name, once
        // the old one is gone; the plots find their datasets by name.
        page->Destroy();
        CQKPage* read = qkfxReadPage(path, std::string(), std::string(), &error);
        ASSERT_NE(read, nullptr) << error;
        EXPECT_EQ(read->GetName(), c.page);
        EXPECT_EQ(Diff(before, PageDump(c.page)), "");
        // A second copy takes a free name.
        CQKPage* copy = qkfxReadPage(path, std::string(), std::string(), &error);
        ASSERT_NE(copy, nullptr) << error;
        EXPECT_NE(copy->GetName(), c.page);
        DeleteFileA(path.c_str());
    }

    // Templates keep the structure and settings, not the data.
    std::string folder = TempPath("");
    qkfxGetQrxSystem().GetRefPath().SetTemplate(folder);
    std::string error;
    ASSERT_TRUE(qkfxSavePage(project.FindPage("Data1"), folder + "QxkCols.qtw", true, &error)) << error;
    ASSERT_TRUE(qkfxSavePage(project.FindPage("Graph1"), folder + "QxkAxes.qtp", true, &error)) << error;
    ASSERT_TRUE(qkfxSavePage(project.FindPage("Cells"), folder + "QxkGrid.qtm", true, &error)) << error;
    EXPECT_FALSE(qkfxSavePage(project.FindPage("Notes1"), folder + "x.qtw", true, &error));
    EXPECT_NE(error.find("no templates"), std::string::npos) << error;
    ASSERT_TRUE(Run("win -t wks QxkCols Cols; win -t plot QxkAxes Axes; win -t matrix QxkGrid Grid")) << err;
    auto* cols = dynamic_cast<CQKWksPage*>(project.FindPage("Cols"));
    ASSERT_NE(cols, nullptr);
    EXPECT_EQ(cols->GetColumn(2)->m_label, "Velocity\r\n(m/s)");
    EXPECT_EQ(cols->GetColumn(2)->m_width, 14);
    EXPECT_EQ(cols->GetColumn(2)->GetEnd(), 0) << "no values";
    EXPECT_EQ(cols->GetTemplateName(), "QxkCols");
    auto* axes = dynamic_cast<CQKGraphPage*>(project.FindPage("Axes"));
    ASSERT_NE(axes, nullptr);
    ASSERT_EQ(axes->GetNumLayers(), 2);
    EXPECT_EQ(axes->GetLayerByIndex(0, 1)->GetNumPlots(), 0) << "no plots";
    EXPECT_EQ(axes->GetLayerByIndex(0, 1)->GetAxisRecord(QK_AXIS_Y).from, "-3");
    EXPECT_NE(axes->GetLayerByIndex(0, 1)->FindTextObj("Note"), nullptr);
    EXPECT_EQ(axes->GetLayerByIndex(0, 1)->FindTextObj("Legend"), nullptr);
    auto* grid = dynamic_cast<CQKMatrixPage*>(project.FindPage("Grid"));
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->GetRows() * 10 + grid->GetCols(), 45);
    EXPECT_EQ(grid->m_x1, -2.5);
    EXPECT_EQ(grid->GetCell(1, 1), MISSING_VALUE);
    // A template without a file is the kind's standard window.
    EXPECT_TRUE(Run("win -t wks Quorix; win -t wks \"" + folder + "Quorix\"")) << err;
    EXPECT_EQ(project.GetActiveWks()->GetNumCols(), 2);
    EXPECT_EQ(project.GetActivePage()->GetTemplateName(), folder + "Quorix");
    for (const char* f : {"QxkCols.qtw", "QxkAxes.qtp", "QxkGrid.qtm"})
        DeleteFileA((folder + f).c_str());
}

TEST_F(ProjectFileTest, OnePageOfAProjectIsReadByItsName)
{
    ASSERT_TRUE(Run("win -t wks; col(B)[1] = 9; win -t wks Other; win -t plot")) << err;
    std::string path = TempPath("qxk_pages.qpj");
    std::string error;
    ASSERT_TRUE(qkfxSaveProject(path, &error)) << error;
    qkfxGetProject().New();
    CQKPage* page = qkfxReadPage(path, "data1", "Copy", &error);
    ASSERT_NE(page, nullptr) << error;
    EXPECT_EQ(page->GetName(), "Copy");
    EXPECT_EQ(qkfxGetProject().FindDataset("Copy_B")->GetValue(0), 9);
    EXPECT_EQ(qkfxGetProject().GetNumPages(), 1);
    EXPECT_EQ(qkfxReadPage(path, "Nowhere", "", &error), nullptr);
    EXPECT_NE(error.find("no window named \"Nowhere\""), std::string::npos) << error;
    DeleteFileA(path.c_str());
}

// The folder's file names, to see that a save leaves no temporary file behind.
std::vector<std::string> FilesIn(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder + "*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return names;
    do
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(fd.cFileName);
    while (FindNextFileA(h, &fd));
    FindClose(h);
    std::sort(names.begin(), names.end());
    return names;
}

TEST_F(ProjectFileTest, ASaveReplacesTheOldFileOnlyWhenTheNewOneIsComplete)
{
    std::string folder = TempPath("qxk_saves\\");
    CreateDirectoryA(folder.c_str(), nullptr);
    for (const std::string& f : FilesIn(folder))
        DeleteFileA((folder + f).c_str());
    std::string path = folder + "work.qpj";
    ASSERT_TRUE(Run("win -t wks; col(A)[1] = 1")) << err;
    std::string error;
    ASSERT_TRUE(qkfxSaveProject(path, &error)) << error;
    std::string old = qxtest::FileText(path);
    EXPECT_EQ(FilesIn(folder), std::vector<std::string>{"work.qpj"});
    EXPECT_EQ(qkfxGetProject().GetProjectPath(), path);
    EXPECT_FALSE(qkfxGetProject().IsModified());

    ASSERT_TRUE(Run("col(A)[2] = 2")) << err;
    struct Case {
        const char* what;
        std::function<void()> arrange, undo;
        const char* reason;
    } cases[] = {
        {"a full disk", [] { qkfxSetFileWriteLimit(100); }, [] { qkfxSetFileWriteLimit(0); }, "cannot be written"},
        {"a read-only file", [&] { SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY); },
         [&] { SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL); }, "the file is read-only"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.arrange();
        EXPECT_FALSE(qkfxSaveProject(path, &error));
        c.undo();
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
        EXPECT_NE(error.find("the old file is kept"), std::string::npos) << error;
        EXPECT_EQ(qxtest::FileText(path), old);
        EXPECT_EQ(FilesIn(folder), std::vector<std::string>{"work.qpj"});
        EXPECT_TRUE(qkfxGetProject().IsModified()) << "nothing was saved";
    }
    // A folder where no file can be made (one that is not there stands for a read-only
    // one, which the administrator these tests run as could still write to).
    EXPECT_FALSE(qkfxSaveProject(folder + "none\\work.qpj", &error));
    EXPECT_NE(error.find("no new file can be made in its folder"), std::string::npos) << error;

    // With the backup asked for, the old file is kept beside the new one.
    qkfxGetQrxSystem().GetRefProject().SetBackupBeforeSave(1);
    ASSERT_TRUE(qkfxSaveProject(path, &error)) << error;
    EXPECT_EQ(qxtest::FileText(path + ".bak"), old);
    EXPECT_NE(qxtest::FileText(path), old);
    EXPECT_EQ(FilesIn(folder), (std::vector<std::string>{"work.qpj", "work.qpj.bak"}));
    qkfxGetProject().New();
    ASSERT_TRUE(qkfxOpenProject(path, false, &error)) << error;
    EXPECT_EQ(qkfxGetProject().FindDataset("Data1_A")->GetValue(1), 2);
    for (const std::string& f : FilesIn(folder))
        DeleteFileA((folder + f).c_str());
    RemoveDirectoryA(folder.c_str());
}

// A script saves in one console host and the next one opens: the two state dumps agree.
TEST_F(ProjectFileTest, AProjectSavedByOneProcessOpensInTheNextAsItWas)
{
    std::string project = TempPath("qxk_every.qpj"), wks = TempPath("qxk_every.qgw"),
                matrix = TempPath("qxk_every.qgm"), templ = TempPath("qxk_every.qtw");
    std::string d1 = TempPath("qxk_dump1.txt"), d2 = TempPath("qxk_dump2.txt"), d3 = TempPath("qxk_dump3.txt");
    TempFile save("qxk_save.qgs", EveryKindScript() + "win -a Data2; wks.col2.label$ = Speed; save -w Data2 %2;"
                                                      "save -w Matrix1 %3; save -t Data2 %4; save %1\n");
    Result r = RunHost("--dump \"" + d1 + "\" \"" + save.path + "\" \"" + project + "\" \"" + wks + "\" \"" +
                       matrix + "\" \"" + templ + "\"");
    ASSERT_EQ(r.exitCode, 0u) << r.err;
    TempFile open("qxk_open.qgs", "open %1\n");
    r = RunHost("--dump \"" + d2 + "\" \"" + open.path + "\" \"" + project + "\"");
    ASSERT_EQ(r.exitCode, 0u) << r.err;
    std::string saved = qxtest::FileText(d1), opened = qxtest::FileText(d2);
    EXPECT_GT(saved.size(), 20000u);
    EXPECT_EQ(Diff(saved, opened), "");

    // Window files and a template, read by a process that starts empty.
    TempFile windows("qxk_windows.qgs", "open %1; open %2; win -t wks \"%3\" Copy\n");
    r = RunHost("--dump \"" + d3 + "\" \"" + windows.path + "\" \"" + wks + "\" \"" + matrix + "\" \"" + templ + "\"");
    ASSERT_EQ(r.exitCode, 0u) << r.err;
    auto section = [](const std::string& dump, const std::string& page) {
        size_t at = dump.find("\n  page " + page + " ");
        return at == std::string::npos ? std::string() : dump.substr(at, dump.find("\n  }\n", at) - at);
    };
    std::string third = qxtest::FileText(d3);
    EXPECT_NE(section(saved, "Data2"), "");
    EXPECT_EQ(section(saved, "Data2"), section(third, "Data2"));
    EXPECT_EQ(section(saved, "Matrix1"), section(third, "Matrix1"));
    EXPECT_NE(section(third, "Copy").find("label = \"Speed\""), std::string::npos) << section(third, "Copy");
    for (const std::string& f : {project, wks, matrix, templ, d1, d2, d3})
        DeleteFileA(f.c_str());
}

TEST_F(ProjectFileTest, TheScriptCommandsSayWhatIsWrong)
{
    struct Case {
        const char* script;
        const char* error;
    } cases[] = {
        {"save", "the project has no file yet"},
        {"save -w Nowhere x", "there is no window \"Nowhere\""},
        {"win -n Notes1; save -w Notes1 x", "has no window files"},
        {"save -q", "save knows"},
        {"open C:\\no\\such\\file.qpj", "cannot open \"C:\\no\\such\\file.qpj\""},
        {"open", "open needs one file name"},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(Run(c.script)) << c.script;
        EXPECT_NE(err.find(c.error), std::string::npos) << c.script << ": " << err;
    }
    // A file that is no project, opened as one, leaves the project as it was.
    TempFile junk("qxk_junk.qpj", "not a project at all");
    ASSERT_TRUE(Run("win -t wks; col(A)[1] = 7")) << err;
    std::string before = qkfxGetProject().GetResultsLog().empty() ? "" : PageDump("Data1");
    EXPECT_FALSE(Run("open \"" + junk.path + "\""));
    EXPECT_NE(err.find("not one of this program's"), std::string::npos) << err;
    EXPECT_EQ(PageDump("Data1"), before);
    EXPECT_EQ(qkfxGetProject().GetNumPages(), 2);
    EXPECT_FALSE(qkfxGetAccess()->OpenProjectFile(junk.path.c_str()));
}

// The application's document reads a window from a file or from the archive of its
// storage, and writes it with SavePageFile.
TEST_F(ProjectFileTest, APageIsWrittenToAFileAndReadBackFromAnArchive)
{
    ASSERT_TRUE(Run("win -t wks; col(B)[3] = 4.5; wks.col2.label$ = Height")) << err;
    CQKPage* page = qkfxGetProject().FindPage("Data1");
    CMemFile memory;
    ASSERT_TRUE(page->SavePageFile(&memory, FALSE));
    std::string before = PageDump("Data1");
    page->Destroy();
    memory.SeekToBegin();
    CQKPage* read;
    {
        CArchive ar(&memory, CArchive::load);
        read = qkfxGetAccess()->CreateNewPage(QK_PAGE_WKS, nullptr, reinterpret_cast<const char*>(&ar), 2);
    }
    ASSERT_NE(read, nullptr) << err;
    EXPECT_EQ(Diff(before, PageDump("Data1")), "");

    // From a file; a file of another kind, or a cut archive, is refused with a reason.
    std::string path = TempPath("qxk_page.qgw");
    std::string error;
    ASSERT_TRUE(qkfxSavePage(read, path, false, &error)) << error;
    CQKPage* fromFile = qkfxGetAccess()->CreateNewPage(QK_PAGE_WKS, nullptr, path.c_str(), 1);
    ASSERT_NE(fromFile, nullptr) << err;
    EXPECT_EQ(fromFile->GetName(), "Data2");
    EXPECT_EQ(qkfxGetAccess()->CreateNewPage(QK_PAGE_MATRIX, nullptr, path.c_str(), 1), nullptr);
    EXPECT_NE(err.find("another kind of window"), std::string::npos) << err;
    EXPECT_EQ(qkfxGetProject().GetNumPages(), 2);
    CMemFile cut;
    cut.Write("QXPF\x01\x00\x02\x00\xff\x00\x00\x00", 12);
    cut.SeekToBegin();
    {
        CArchive ar(&cut, CArchive::load);
        EXPECT_EQ(qkfxGetAccess()->CreateNewPage(QK_PAGE_WKS, nullptr, reinterpret_cast<const char*>(&ar), 2),
                  nullptr);
    }
    EXPECT_NE(err.find("more than its storage holds"), std::string::npos) << err;
    DeleteFileA(path.c_str());
}

// The reader is handed files cut at every record boundary and mutated at random, with the
// checksums as they were and recomputed (so the parser itself meets the damage), under a
// small allocation limit: each is read or refused with a reason, and a refused file
// leaves the project as it was.
class DamagedFiles : public ProjectFileTest {
protected:
    static void FixChecksums(std::vector<BYTE>& b, size_t p, size_t end) { qxtest::FixRecordChecksums(b, p, end); }
    // The offsets where records begin, at every depth.
    static void Boundaries(const std::vector<BYTE>& b, size_t p, size_t end, std::vector<size_t>& out)
    {
        while (end - p >= 16) {
            out.push_back(p);
            DWORD length, fields;
            memcpy(&length, &b[p + 8], 4);
            memcpy(&fields, &b[p + 16], 4);
            Boundaries(b, p + 20 + fields, p + 16 + length, out);
            p += 16 + length;
        }
        out.push_back(p);
    }

    std::vector<BYTE> Sample()
    {
        EXPECT_TRUE(Run("win -t matrix; matrix -ps dim 3 3; matrix -p 0 ContourColor; win -a Matrix1; matrix -p 0 WireFrame;"
                        "win -t wks; wks.ncols = 4; wks.col4.type = 3; col(A)[2] = 3; col(B)[3] = 1;"
                        "worksheet -p 201 YError; label -x X; win -t layout; win -n Notes1; type log"))
            << err;
        CQKProject& project = qkfxGetProject();
        project.CreateDataset("Free", 4)->SetText(2, "t");
        project.CreateNamedBlock("ZCOLORS", 8);
        auto* book = dynamic_cast<CQKWksExternPage*>(project.CreatePage(QK_PAGE_EXCEL));
        book->GetOrCreateActiveLayer("S")->AddExternColumn(1, nullptr, "x");
        std::vector<BYTE> bytes;
        qkfxSaveProjectToMemory(bytes);
        return bytes;
    }

    // Reads the bytes; a refusal must say why and change nothing.
    void Read(const std::vector<BYTE>& bytes, const std::string& unchanged, int* refused)
    {
        std::string error;
        if (qkfxOpenProjectFromMemory(bytes.data(), bytes.size(), false, &error)) {
            qkfxDumpProject(); // what was read holds together
            qkfxGetProject().New();
            return;
        }
        ++*refused;
        ASSERT_FALSE(error.empty());
        ASSERT_EQ(qkfxDumpProject(), unchanged) << error;
    }
};

TEST_F(DamagedFiles, TruncatedFilesAreRefusedWithAReason)
{
    std::vector<BYTE> bytes = Sample();
    qkfxGetProject().New();
    std::string empty = qkfxDumpProject();
    std::vector<size_t> cuts;
    Boundaries(bytes, 12, bytes.size(), cuts);
    ASSERT_GT(cuts.size(), 40u);
    for (size_t cut : cuts) {
        if (cut == bytes.size())
            continue;
        for (bool fixHeader : {false, true}) {
            std::vector<BYTE> b(bytes.begin(), bytes.begin() + cut);
            if (fixHeader && cut >= 12) {
                // The header made to agree: the cut must still be found (the last
                // record missing is not damage, but the pages it held are not there).
                DWORD n = (DWORD)(cut - 12);
                memcpy(&b[8], &n, 4);
                std::string error;
                if (qkfxOpenProjectFromMemory(b.data(), b.size(), false, &error))
                    qkfxGetProject().New();
                continue;
            }
            std::string error;
            EXPECT_FALSE(qkfxOpenProjectFromMemory(b.data(), b.size(), false, &error)) << cut;
            EXPECT_NE(error.find(cut < 12 ? "too short" : "cut off"), std::string::npos) << error;
            EXPECT_EQ(qkfxDumpProject(), empty);
        }
    }
}

TEST_F(DamagedFiles, RandomMutationsAreReadOrRefusedWithoutHarm)
{
    std::vector<BYTE> bytes = Sample();
    qkfxGetProject().New();
    std::string empty = qkfxDumpProject();
    qkfxSetFileReadLimit(4 << 20);
    std::mt19937 rng(20261210);
    int refused[2] = {0, 0}, changed[2] = {0, 0};
    for (int i = 0; i < 10000; ++i) {
        bool fix = i % 2 == 1;
        std::vector<BYTE> b = bytes;
        int edits = 1 + (int)(rng() % 4);
        for (int e = 0; e < edits; ++e) {
            size_t at = 12 + rng() % (b.size() - 12);
            switch (rng() % 4) {
            case 0: b[at] ^= (BYTE)(1u << (rng() % 8)); break;
            case 1: b[at] = (BYTE)rng(); break;
            case 2: {
                // A count or length made huge, small or negative.
                static const DWORD values[] = {0xFFFFFFFFu, 0x7FFFFFFFu, 0x10000000u, 0, 1, 0x80000000u};
                DWORD v = values[rng() % 6];
                if (at + 4 <= b.size())
                    memcpy(&b[at], &v, 4);
                break;
            }
            default: b[at] = 0; break;
            }
        }
        if (b == bytes)
            continue; // the edits put back what was there
        ++changed[fix];
        if (fix)
            FixChecksums(b, 12, b.size());
        Read(b, empty, &refused[fix]);
        if (HasFatalFailure())
            return;
    }
    // With the checksums left every change is caught there; recomputed, the parser meets
    // the damage and still reads many files (changed values in valid places).
    EXPECT_EQ(refused[0], changed[0]);
    EXPECT_GT(changed[0], 4000);
    EXPECT_GT(refused[1], 0);
    EXPECT_LT(refused[1], changed[1]);
}

TEST_F(DamagedFiles, LargeCountsAreRefusedBeforeAnythingIsAllocated)
{
    ASSERT_TRUE(Run("win -t matrix; matrix -ps dim 100 100")) << err;
    std::vector<BYTE> bytes;
    qkfxSaveProjectToMemory(bytes);
    qkfxGetProject().New();
    qkfxSetFileReadLimit(40000); // less than the 80000 bytes of the cells
    std::string error;
    EXPECT_FALSE(qkfxOpenProjectFromMemory(bytes.data(), bytes.size(), false, &error));
    EXPECT_NE(error.find("more memory than a read may use"), std::string::npos) << error;
    EXPECT_EQ(qkfxGetProject().GetNumPages(), 0);
    // Another program's file, and a newer version.
    std::vector<BYTE> other = bytes;
    other[0] = 'Z';
    EXPECT_FALSE(qkfxOpenProjectFromMemory(other.data(), other.size(), false, &error));
    EXPECT_NE(error.find("not one of this program's"), std::string::npos) << error;
    other = bytes;
    other[4] = 9;
    EXPECT_FALSE(qkfxOpenProjectFromMemory(other.data(), other.size(), false, &error));
    EXPECT_NE(error.find("newer"), std::string::npos) << error;
}

TEST_F(ProjectFileTest, RecordsOfUnknownKindsArePassedOver)
{
    ASSERT_TRUE(Run("win -t wks; col(A)[1] = 2")) << err;
    std::vector<BYTE> bytes;
    qkfxSaveProjectToMemory(bytes);
    std::string before = qkfxDumpProject();
    // A record a newer version might write, between the header and the first record:
    // tag, version 7, length 5, checksum, then one byte of fields.
    std::vector<BYTE> extra = {'N', 'E', 'W', '1', 7, 0, 0, 0, 5, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0x55};
    DWORD crc = Crc32Of(&extra[16], 5, Crc32Of(&extra[0], 12));
    memcpy(&extra[12], &crc, 4);
    bytes.insert(bytes.begin() + 12, extra.begin(), extra.end());
    DWORD n = (DWORD)(bytes.size() - 12);
    memcpy(&bytes[8], &n, 4);
    qkfxGetProject().New();
    std::string error;
    ASSERT_TRUE(qkfxOpenProjectFromMemory(bytes.data(), bytes.size(), false, &error)) << error;
    EXPECT_EQ(qkfxDumpProject(), before);
}

} // namespace

namespace {

TEST_F(ProjectFileTest, AMatrixWrittenWithoutItsDisplaySettingsReadsWithTheDefaults)
{
    auto* m = dynamic_cast<CQKMatrixPage*>(qkfxGetProject().CreatePage(QK_PAGE_MATRIX, "Old"));
    ASSERT_NE(m, nullptr);
    m->SetDimensions(2, 3);
    m->SetCell(2, 3, 4.25);
    std::string before = qkfxDumpProject();
    std::vector<BYTE> bytes;
    qkfxSaveProjectToMemory(bytes);
    // The file as a writer before the display settings made it: the PAGE record's fields
    // end with the cells (five ints and an empty text fewer, and the fields every page
    // now writes last: folder "/", an empty label, two times).
    const size_t cut = 5 * 4 + 4 + (4 + 1) + 4 + 8 + 8;
    size_t p = 12;
    while (p + 20 <= bytes.size() && memcmp(&bytes[p], "PAGE", 4) != 0) {
        DWORD length;
        memcpy(&length, &bytes[p + 8], 4);
        p += 16 + length;
    }
    ASSERT_LT(p + 20, bytes.size());
    DWORD length, fields;
    memcpy(&length, &bytes[p + 8], 4);
    memcpy(&fields, &bytes[p + 16], 4);
    bytes.erase(bytes.begin() + p + 20 + fields - cut, bytes.begin() + p + 20 + fields);
    length -= (DWORD)cut;
    fields -= (DWORD)cut;
    memcpy(&bytes[p + 8], &length, 4);
    memcpy(&bytes[p + 16], &fields, 4);
    DWORD crc = Crc32Of(&bytes[p + 16], length, Crc32Of(&bytes[p], 12));
    memcpy(&bytes[p + 12], &crc, 4);
    DWORD body = (DWORD)(bytes.size() - 12);
    memcpy(&bytes[8], &body, 4);

    qkfxGetProject().New();
    std::string error;
    ASSERT_TRUE(qkfxOpenProjectFromMemory(bytes.data(), bytes.size(), false, &error)) << error;
    EXPECT_EQ(qkfxDumpProject(), before);
}

} // namespace
