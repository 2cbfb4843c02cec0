// Printing through a real printer: the print and page set-up dialogs of graphs and
// worksheets, and print jobs whose pages are counted in what the printer received.
//
// The program runs beside a private print server (tests/print/with-cupsd.sh) with one
// queue that writes each job to a file in the folder QX_PRINT_OUTPUT names.
#include "CoreTestApp.h"

#include <stdlib.h>
#include <winspool.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <functional>
#include <sstream>

#include <qxtest/DialogDriver.h>

#include "CoreResources.h"
#include "PrintDialogs.h"
#include "QKAccess.h"
#include "QKPageDraw.h"
#include "QKSysMethod.h"
#include "QUAccess.h"
#include "QUNotes.h"
#include "QUWksView.h"

namespace {

const char* const kPrinter = "QuorixFile";

bool PrinterKnown()
{
    DWORD needed = 0, count = 0;
    ::EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 4, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed + 1);
    if (!::EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 4, buffer.data(), needed, &needed, &count))
        return false;
    auto* info = (PRINTER_INFO_4A*)buffer.data();
    for (DWORD i = 0; i < count; ++i)
        if (strcmp(info[i].pPrinterName, kPrinter) == 0)
            return true;
    return false;
}

// The folder the print server writes jobs into, as a Windows path.
std::string OutputFolder()
{
    const char* unix = getenv("QX_PRINT_OUTPUT");
    if (unix == nullptr)
        return std::string();
    std::string path = std::string("Z:") + unix;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

std::vector<std::string> Jobs(const std::string& folder)
{
    std::vector<std::string> jobs;
    WIN32_FIND_DATAA data;
    HANDLE find = ::FindFirstFileA((folder + "\\job-*.ps").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do
            jobs.push_back(folder + "\\" + data.cFileName);
        while (::FindNextFileA(find, &data));
        ::FindClose(find);
    }
    return jobs;
}

// Waits for the print server to finish the job after `before` jobs (a minute at most:
// a job that never arrives fails the test instead of holding it).
std::string NextJob(const std::string& folder, size_t before)
{
    for (int i = 0; i < 600; ++i) {
        std::vector<std::string> jobs = Jobs(folder);
        if (jobs.size() > before) {
            std::sort(jobs.begin(), jobs.end());
            return jobs.back();
        }
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageA(&msg);
        ::Sleep(100);
    }
    return std::string();
}

// The pages of a PostScript job, as its document structure comments count them.
int PostScriptPages(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    int pages = 0;
    for (std::string line; std::getline(in, line);)
        if (line.rfind("%%Page:", 0) == 0)
            ++pages;
    return pages;
}

class Printing : public AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        ASSERT_TRUE(PrinterKnown()) << "Wine does not list the print server's printer " << kPrinter;
    }
    int Run(const char* script) { return m_app->GetAccess()->execute_script(script, 0); }
    static CQUGraphView* ViewOf(CQKPage* page)
    {
        return DYNAMIC_DOWNCAST(CQUGraphView, CWnd::FromHandlePermanent(page->GetDrawingWnd()));
    }
    CQUGraphView* NewGraph(const char* name)
    {
        EXPECT_EQ(Run("win -t wks; for (i = 1; i <= 10; i += 1) { col(A)[i] = i; col(B)[i] = i * i }"), 0);
        EXPECT_EQ(Run((std::string("worksheet -p ") + name + " line").c_str()), 0);
        CQKGraphPage* graph = qkfxGetProject().GetActiveGraph();
        return graph ? ViewOf(graph) : nullptr;
    }
};

std::string Text(HWND dialog, int id)
{
    return qxtest::GetText(dialog, id);
}

// The worksheet print dialog shows the whole worksheet until the user asks for the
// selection; a selection outside the worksheet is refused and the dialog stays.
TEST_F(Printing, WorksheetPrintDialogChoosesTheRange)
{
    struct Case {
        const char* name;
        std::function<void(HWND)> step;
        bool refused; // a message box comes and is answered, then the dialog is cancelled
        INT_PTR result;
        int range[4];
    } cases[] = {
        {"selection",
         [](HWND d) {
             EXPECT_EQ(Text(d, IDC_QU_PRINT_COL_FROM), "1");
             EXPECT_EQ(Text(d, IDC_QU_PRINT_ROW_TO), "40");
             EXPECT_FALSE(qxtest::IsEnabled(d, IDC_QU_PRINT_COL_FROM));
             qxtest::SetCheck(d, IDC_QU_PRINT_SELECTION, true);
             EXPECT_EQ(Text(d, IDC_QU_PRINT_COL_FROM), "2");
             EXPECT_EQ(Text(d, IDC_QU_PRINT_COL_TO), "3");
             EXPECT_EQ(Text(d, IDC_QU_PRINT_ROW_FROM), "4");
             EXPECT_EQ(Text(d, IDC_QU_PRINT_ROW_TO), "10");
             EXPECT_TRUE(qxtest::IsEnabled(d, IDC_QU_PRINT_ROW_TO));
             qxtest::SetText(d, IDC_QU_PRINT_ROW_TO, "12");
             qxtest::Click(d, IDOK);
         },
         false, IDOK, {1, 3, 3, 12}},
        {"selection dropped again",
         [](HWND d) {
             qxtest::SetCheck(d, IDC_QU_PRINT_SELECTION, true);
             qxtest::SetText(d, IDC_QU_PRINT_COL_TO, "4");
             qxtest::SetCheck(d, IDC_QU_PRINT_SELECTION, false);
             EXPECT_EQ(Text(d, IDC_QU_PRINT_COL_TO), "5");
             EXPECT_FALSE(qxtest::IsEnabled(d, IDC_QU_PRINT_COL_TO));
             qxtest::Click(d, IDOK);
         },
         false, IDOK, {0, 5, 0, 40}},
        {"before the first column",
         [](HWND d) {
             qxtest::SetCheck(d, IDC_QU_PRINT_SELECTION, true);
             qxtest::SetText(d, IDC_QU_PRINT_COL_FROM, "0");
             qxtest::Click(d, IDOK);
         },
         true, IDCANCEL, {0, 5, 0, 40}},
        {"past the last row",
         [](HWND d) {
             qxtest::SetCheck(d, IDC_QU_PRINT_SELECTION, true);
             qxtest::SetText(d, IDC_QU_PRINT_ROW_TO, "41");
             qxtest::Click(d, IDOK);
         },
         true, IDCANCEL, {0, 5, 0, 40}},
        {"cancel", [](HWND d) { qxtest::Click(d, IDCANCEL); }, false, IDCANCEL, {0, 5, 0, 40}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CQUWksPrintDialog dialog(FALSE, PD_ENABLEPRINTTEMPLATE, m_app->m_pMainWnd);
        dialog.SetSelectionRange(1, 3, 3, 10);
        dialog.SetFullRange(0, 5, 0, 40);
        std::string message;
        HWND shown = nullptr;
        qxtest::DialogDriver driver;
        driver.Then([&](HWND d) {
            shown = d;
            c.step(d);
        });
        // The dialog stays after the refusal: it is cancelled once the box is answered.
        if (c.refused)
            driver.Then([&](HWND box) {
                message = qxtest::MessageBoxText(box);
                qxtest::Click(box, IDOK);
                ::PostMessageA(shown, WM_COMMAND, IDCANCEL, 0);
            });
        INT_PTR result = driver.Run([&] { return dialog.DoModal(); });
        EXPECT_FALSE(driver.TimedOut());
        EXPECT_EQ(result, c.result);
        if (c.refused)
            EXPECT_EQ(message, "Please Enter Valid Selection Range for Print");
        int range[4];
        EXPECT_EQ(dialog.GetPrintRange(range[0], range[1], range[2], range[3]), 1);
        EXPECT_EQ(std::vector<int>(range, range + 4), std::vector<int>(c.range, c.range + 4));
        if (result == IDOK)
            EXPECT_NE(dialog.m_pd.hDC, nullptr);
    }
}

// Margins typed in inches are kept in hundredths of a millimetre; the header and page
// number switches follow their boxes, and Cancel keeps everything.
TEST_F(Printing, WorksheetPageSetupConvertsMarginsAndKeepsTheSwitches)
{
    struct Case {
        const char* left; // typed into the left margin, null for Cancel
        bool header, number;
        LONG expectedLeft;
    } cases[] = {
        {"1", true, false, 2540},
        {"0.5", false, true, 1270},
        {"2", true, true, 5080},
        {nullptr, true, true, 1000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.left ? c.left : "cancel");
        CQUWksPageSetupDialog dialog(PSD_MARGINS | PSD_INTHOUSANDTHSOFINCHES, m_app->m_pMainWnd);
        dialog.m_psd.rtMargin = {1000, 1000, 1000, 1000};
        dialog.m_bPrintHeader = 0;
        dialog.m_bPrintPageNumber = 0;
        qxtest::DialogDriver driver;
        driver.Then([&c](HWND d) {
            EXPECT_FALSE(qxtest::IsChecked(d, IDC_QU_PRINT_HEADER));
            qxtest::SetCheck(d, IDC_QU_PRINT_HEADER, c.header);
            qxtest::SetCheck(d, IDC_QU_PRINT_PAGE_NUMBER, c.number);
            if (c.left == nullptr) {
                qxtest::Click(d, IDCANCEL);
                return;
            }
            qxtest::SetText(d, edt4, c.left);
            qxtest::Click(d, IDOK);
        });
        INT_PTR result = driver.Run([&] { return dialog.DoModal(); });
        EXPECT_FALSE(driver.TimedOut());
        EXPECT_EQ(result, c.left ? IDOK : IDCANCEL);
        EXPECT_EQ(dialog.m_psd.rtMargin.left, c.expectedLeft);
        EXPECT_EQ(dialog.m_psd.rtMargin.top, c.left ? 2540 : 1000);
        EXPECT_EQ(dialog.m_bPrintHeader, c.left ? (int)c.header : 0);
        EXPECT_EQ(dialog.m_bPrintPageNumber, c.left ? (int)c.number : 0);
    }
}

// The graph print dialog shows its fields, offers the page geometry only for the current
// page, lets only the colour switch that fits the printer be used, and gives back what
// the user chose; Cancel changes nothing.
TEST_F(Printing, GraphPrintDialogGivesBackTheChoices)
{
    CQUGraphView* view = NewGraph("Print1");
    ASSERT_NE(view, nullptr);
    auto* page = dynamic_cast<CQKGraphPage*>(view->GetPage());
    QKPrinterInfo printer;
    ASSERT_TRUE(qkfxGetCurrentPrinterInfo(kPrinter, printer));
    const bool color = qkfxIsPrinterColor(printer) != 0;
    for (bool ok : {true, false}) {
        SCOPED_TRACE(ok ? "OK" : "Cancel");
        CQUGraphPrintDialog dialog(FALSE, PD_ENABLEPRINTTEMPLATE, page, view);
        dialog.m_nPagesChoice = 0;
        dialog.m_bSkipPoints = 1;
        dialog.m_nMaxPointsPerCurve = 500;
        dialog.m_nMatrixMaxX = 40;
        qxtest::DialogDriver driver;
        driver.Then([&](HWND d) {
            EXPECT_TRUE(qxtest::IsChecked(d, IDC_QU_PRINT_SKIP_POINTS));
            EXPECT_EQ(Text(d, IDC_QU_PRINT_MAX_POINTS), "500");
            EXPECT_TRUE(qxtest::IsEnabled(d, IDC_QU_PRINT_MAX_POINTS));
            EXPECT_FALSE(qxtest::IsEnabled(d, IDC_QU_PRINT_MATRIX_X));
            EXPECT_EQ(Text(d, IDC_QU_PRINT_MATRIX_X), "40");
            EXPECT_EQ(qxtest::IsEnabled(d, IDC_QU_PRINT_GRAY_SCALE), !color);
            EXPECT_EQ(qxtest::IsEnabled(d, IDC_QU_PRINT_SIMPLIFIED), color);
            EXPECT_EQ(qxtest::ComboSelection(d, IDC_QU_PRINT_PAGES), 0);
            EXPECT_TRUE(qxtest::IsEnabled(d, IDC_QU_PRINT_OPTIONS));
            for (int choice : {1, 2}) {
                qxtest::ComboSelect(d, IDC_QU_PRINT_PAGES, choice);
                EXPECT_FALSE(qxtest::IsEnabled(d, IDC_QU_PRINT_OPTIONS)) << choice;
            }
            qxtest::SetCheck(d, IDC_QU_PRINT_SKIP_POINTS, false);
            EXPECT_FALSE(qxtest::IsEnabled(d, IDC_QU_PRINT_MAX_POINTS));
            qxtest::SetCheck(d, IDC_QU_PRINT_MATRIX_POINTS, true);
            EXPECT_TRUE(qxtest::IsEnabled(d, IDC_QU_PRINT_MATRIX_X));
            qxtest::SetText(d, IDC_QU_PRINT_MATRIX_Y, "17");
            qxtest::Click(d, ok ? IDOK : IDCANCEL);
        });
        INT_PTR result = driver.Run([&] { return dialog.DoModal(); });
        EXPECT_FALSE(driver.TimedOut());
        EXPECT_EQ(result, ok ? IDOK : IDCANCEL);
        EXPECT_EQ(dialog.GetPagesChoice(), ok ? 2 : 0);
        EXPECT_EQ(dialog.m_bSkipPoints, ok ? 0 : 1);
        EXPECT_EQ(dialog.m_bMatrixPointsLimited, ok ? 1 : 0);
        EXPECT_EQ(dialog.m_nMatrixMaxY, ok ? 17 : 32);
        EXPECT_EQ(dialog.m_nMatrixMaxX, 40);
        EXPECT_EQ(dialog.m_bOrientationUnchanged, 1);
    }
}

// "Options..." shows the page's geometry beside the printer's and applies what the user
// set to the page on OK, nothing on Cancel.
TEST_F(Printing, GraphPrintOptionsSetThePageGeometry)
{
    CQUGraphView* view = NewGraph("Print2");
    ASSERT_NE(view, nullptr);
    auto* page = dynamic_cast<CQKGraphPage*>(view->GetPage());
    for (bool ok : {false, true}) {
        SCOPED_TRACE(ok ? "OK" : "Cancel");
        page->SetShowCropmark(FALSE);
        page->SetCustomSize(FALSE, 0);
        page->SetCustomSize(FALSE, 1);
        CQUGraphPrintDialog dialog(FALSE, PD_ENABLEPRINTTEMPLATE, page, view);
        std::string graphWidth, printerWidth, caption;
        HWND shown = nullptr;
        qxtest::DialogDriver driver;
        driver.Then([&](HWND d) {
            shown = d;
            qxtest::Click(d, IDC_QU_PRINT_OPTIONS);
        });
        // The print dialog is cancelled once the sheet has ended.
        driver.Then([&](HWND sheet) {
            ::PostMessageA(shown, WM_COMMAND, IDCANCEL, 0);
            caption = qxtest::WindowText(sheet);
            HWND geometry = (HWND)SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0);
            graphWidth = Text(geometry, IDC_QU_GEOM_GRAPH_WIDTH);
            printerWidth = Text(geometry, IDC_QU_GEOM_PRINTER_WIDTH);
            EXPECT_TRUE(qxtest::IsChecked(geometry, IDC_QU_GEOM_USE_WIDTH));
            qxtest::SetCheck(geometry, IDC_QU_GEOM_CROPMARKS, true);
            qxtest::SetCheck(geometry, IDC_QU_GEOM_USE_HEIGHT, false);
            qxtest::Click(sheet, ok ? IDOK : IDCANCEL);
        });
        driver.Run([&] { return dialog.DoModal(); });
        EXPECT_FALSE(driver.TimedOut());
        EXPECT_EQ(caption, "More Print Options");
        EXPECT_NE(graphWidth.find(" inch"), std::string::npos) << graphWidth;
        EXPECT_GT(atof(printerWidth.c_str()), 5) << printerWidth;
        EXPECT_EQ(page->IsShowCropmark(), ok ? TRUE : FALSE);
        EXPECT_EQ(page->IsCustomSize(1), ok ? TRUE : FALSE);
        EXPECT_EQ(page->IsCustomSize(0), FALSE);
    }
}

// File Print on a graph window: the pages chosen reach the printer, one printed page
// each, and the choices are kept for the next print.
TEST_F(Printing, GraphJobsPrintTheChosenPages)
{
    const std::string folder = OutputFolder();
    ASSERT_FALSE(folder.empty()) << "QX_PRINT_OUTPUT names the print server's output folder";
    NewGraph("Print3");
    CQUGraphView* view = NewGraph("Print4");
    ASSERT_NE(view, nullptr);
    struct Case {
        int choice;
        int pages;
    } cases[] = {{2, 2}, {0, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.choice);
        const size_t before = Jobs(folder).size();
        qxtest::DialogDriver driver;
        driver.Then([&c](HWND d) {
            qxtest::ComboSelect(d, IDC_QU_PRINT_PAGES, c.choice);
            qxtest::SetCheck(d, IDC_QU_PRINT_SKIP_POINTS, true);
            qxtest::Click(d, IDOK);
        });
        driver.Run([&] {
            view->SendMessage(WM_COMMAND, ID_FILE_PRINT);
            return (INT_PTR)0;
        });
        EXPECT_FALSE(driver.TimedOut());
        EXPECT_EQ(driver.StepsRun(), 1);
        const std::string job = NextJob(folder, before);
        ASSERT_FALSE(job.empty()) << "no job reached the printer";
        EXPECT_EQ(PostScriptPages(job), c.pages) << job;
        EXPECT_EQ(qkfxGetQrxSystem().GetRefPrint().GetSkipPlotPoint(), 1);
    }
}

// The Results Log prints its text: on the default printer at once, or through the print
// dialog; long texts go on as many pages as they need, the printer receiving each.
TEST_F(Printing, EditTextPrintsOnAsManyPagesAsItNeeds)
{
    const std::string folder = OutputFolder();
    ASSERT_FALSE(folder.empty());
    HWND edit = ::CreateWindowA("EDIT", "", WS_POPUP | ES_MULTILINE, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(edit, nullptr);
    struct Case {
        int lines;
        bool prompt;
        bool cancel;
    } cases[] = {{10, false, false}, {300, false, false}, {300, true, false}, {10, true, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.lines) + (c.prompt ? " asked" : "") + (c.cancel ? " cancelled" : ""));
        std::string text;
        for (int i = 1; i <= c.lines; ++i)
            text += "Fit " + std::to_string(i) + "\tchi^2 = " + std::to_string(i * 0.5) + "\r\n";
        ::SetWindowTextA(edit, text.c_str());
        const size_t before = Jobs(folder).size();
        qxtest::DialogDriver driver;
        if (c.prompt)
            driver.Then([&c](HWND d) { qxtest::Click(d, c.cancel ? IDCANCEL : IDOK); });
        int pages = -1;
        driver.Run([&] {
            pages = qkuPrintFromEditHwnd(edit, c.prompt, "Results Log", 15, 0, 75);
            return (INT_PTR)0;
        });
        EXPECT_FALSE(driver.TimedOut());
        if (c.cancel) {
            EXPECT_EQ(pages, 0);
            continue;
        }
        if (c.lines > 100)
            EXPECT_GT(pages, 1);
        else
            EXPECT_EQ(pages, 1);
        const std::string job = NextJob(folder, before);
        ASSERT_FALSE(job.empty());
        EXPECT_EQ(PostScriptPages(job), pages);
    }
    ::DestroyWindow(edit);
}

// Print (direct) on a notes window: the text goes to the default printer on as many pages
// as it needs inside the notes margins, and the window keeps its text.
TEST_F(Printing, NotesPrintOnAsManyPagesAsTheTextNeeds)
{
    const std::string folder = OutputFolder();
    ASSERT_FALSE(folder.empty());
    ASSERT_EQ(Run("win -n notes Printed"), 0);
    CQUNotesDoc* doc = CQUNotes::GetNotesDoc("Printed");
    ASSERT_NE(doc, nullptr);
    CQUNotesView* view = doc->GetFirstView();
    ASSERT_NE(view, nullptr);
    struct Case {
        int lines;
        bool manyPages;
    } cases[] = {{5, false}, {400, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines);
        std::string text;
        for (int i = 1; i <= c.lines; ++i)
            text += "Observation " + std::to_string(i) + "\tok\r\n";
        view->SetText(text.c_str());
        CString before = view->GetText();
        const size_t jobs = Jobs(folder).size();
        view->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT);
        const std::string job = NextJob(folder, jobs);
        ASSERT_FALSE(job.empty()) << "no job reached the printer";
        int pages = view->GetPrintedPageCount();
        if (c.manyPages)
            EXPECT_GT(pages, 2);
        else
            EXPECT_EQ(pages, 1);
        EXPECT_EQ(PostScriptPages(job), pages) << job;
        EXPECT_EQ(view->GetText(), before);
    }
}

// The preview's page as the printer would get it, drawn at the printer's resolution.
struct PrintedPicture {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels; // top-down, 0x00RRGGBB

    PrintedPicture(HENHMETAFILE picture, int w, int h) : width(w), height(h)
    {
        BITMAPINFO bi = {};
        bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB};
        void* bits = nullptr;
        HDC dc = ::CreateCompatibleDC(nullptr);
        HBITMAP bitmap = ::CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = ::SelectObject(dc, bitmap);
        RECT all = {0, 0, w, h};
        ::FillRect(dc, &all, (HBRUSH)::GetStockObject(WHITE_BRUSH));
        ::PlayEnhMetaFile(dc, picture, &all);
        ::GdiFlush();
        pixels.assign((uint32_t*)bits, (uint32_t*)bits + size_t(w) * h);
        ::SelectObject(dc, old);
        ::DeleteObject(bitmap);
        ::DeleteDC(dc);
    }
    bool Inked(int x, int y) const { return (pixels[size_t(y) * width + x] & 0xFFFFFF) != 0xFFFFFF; }
    bool Black(int x, int y) const { return (pixels[size_t(y) * width + x] & 0xFFFFFF) == 0; }
    int InkIn(const RECT& r) const
    {
        int n = 0;
        for (int y = std::max<LONG>(0, r.top); y < std::min<LONG>(height, r.bottom); ++y)
            for (int x = std::max<LONG>(0, r.left); x < std::min<LONG>(width, r.right); ++x)
                n += Inked(x, y);
        return n;
    }
};

bool CloseGreyed()
{
    HMENU menu = ::GetSystemMenu(AfxGetMainWnd()->m_hWnd, FALSE);
    return (::GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND) & MF_GRAYED) != 0;
}

// File Print Preview shows the worksheet's printed pages one by one as the printer gets
// them, header and page number included; Next and Prev page through them; Print from
// the preview prints as many pages as it showed; closing gives the window its view back.
TEST_F(Printing, PreviewShowsTheWorksheetsPagesAndPrintsThem)
{
    const std::string folder = OutputFolder();
    ASSERT_FALSE(folder.empty());
    ASSERT_EQ(Run("win -t wks; for (i = 1; i <= 200; i += 1) { col(A)[i] = i; col(B)[i] = i * i }"), 0);
    auto* wks = dynamic_cast<CQKWksPage*>(qkfxGetProject().GetActivePage());
    ASSERT_NE(wks, nullptr);
    auto* view = DYNAMIC_DOWNCAST(CQUWksView, CWnd::FromHandlePermanent(wks->GetDrawingWnd()));
    ASSERT_NE(view, nullptr);
    wks->SetPrinterHeader(TRUE);
    wks->SetPrinterPageNumber(TRUE);

    view->SendMessage(WM_COMMAND, ID_FILE_PRINT_PREVIEW);
    CPreviewView* preview = CPreviewView::FromPrintView(view);
    ASSERT_NE(preview, nullptr);
    EXPECT_TRUE(preview->IsWindowVisible());
    EXPECT_FALSE(view->IsWindowVisible());
    EXPECT_EQ(preview->GetDlgCtrlID(), AFX_IDW_PANE_FIRST);
    EXPECT_TRUE(CloseGreyed());
    const int pages = (int)preview->GetPrintInfo()->GetMaxPage();
    EXPECT_GT(pages, 1);

    HDC printer = preview->GetPrinterDC()->GetSafeHdc();
    const int width = ::GetDeviceCaps(printer, HORZRES), height = ::GetDeviceCaps(printer, VERTRES);
    RECT header, footer;
    wks->GetHeaderFooterRects(printer, {0, 0, width, height}, header, footer);
    ASSERT_FALSE(::IsRectEmpty(&header));
    ASSERT_FALSE(::IsRectEmpty(&footer));
    const RECT body = {header.left, header.bottom, header.right, footer.top};
    HWND next = ::GetDlgItem(preview->m_hWnd, AFX_ID_PREVIEW_NEXT), prev = ::GetDlgItem(preview->m_hWnd, AFX_ID_PREVIEW_PREV);
    for (int page = 1; page <= pages; ++page) {
        SCOPED_TRACE("page " + std::to_string(page));
        EXPECT_EQ((int)preview->GetCurrentPage(), page);
        EXPECT_EQ(::IsWindowEnabled(prev) != 0, page > 1);
        EXPECT_EQ(::IsWindowEnabled(next) != 0, page < pages);
        ASSERT_NE(preview->GetPagePicture(), nullptr);
        PrintedPicture picture(preview->GetPagePicture(), width, height);
        EXPECT_GT(picture.InkIn(header), 0) << "the header";
        EXPECT_GT(picture.InkIn(footer), 0) << "the page number";
        EXPECT_GT(picture.InkIn(body), 1000) << "the cells";
        EXPECT_EQ(picture.InkIn({0, 0, width, header.top}) + picture.InkIn({0, footer.bottom, width, height}), 0)
            << "nothing in the margins";
        if (page < pages)
            preview->SendMessage(WM_COMMAND, AFX_ID_PREVIEW_NEXT);
    }
    // Past the last page nothing changes; Prev goes back.
    preview->SendMessage(WM_COMMAND, AFX_ID_PREVIEW_NEXT);
    EXPECT_EQ((int)preview->GetCurrentPage(), pages);
    preview->SendMessage(WM_COMMAND, AFX_ID_PREVIEW_PREV);
    EXPECT_EQ((int)preview->GetCurrentPage(), pages - 1);

    // Print asks for the printer as File Print does; the job has the pages shown.
    const size_t before = Jobs(folder).size();
    qxtest::DialogDriver driver;
    driver.Then([](HWND d) { qxtest::Click(d, IDOK); });
    driver.Run([&] {
        preview->SendMessage(WM_COMMAND, AFX_ID_PREVIEW_PRINT);
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageA(&msg);
        return (INT_PTR)0;
    });
    EXPECT_FALSE(driver.TimedOut());
    EXPECT_EQ(driver.StepsRun(), 1);
    EXPECT_EQ(CPreviewView::FromPrintView(view), nullptr);
    EXPECT_TRUE(view->IsWindowVisible());
    EXPECT_EQ(view->GetDlgCtrlID(), AFX_IDW_PANE_FIRST);
    EXPECT_FALSE(CloseGreyed());
    const std::string job = NextJob(folder, before);
    ASSERT_FALSE(job.empty());
    EXPECT_EQ(PostScriptPages(job), pages) << job;
}

// A graph's or layout's preview page is the printed page: the page placed on the
// printable area with its shape kept, its crop marks at the corners. Closing the window
// during the preview ends the preview with it.
TEST_F(Printing, GraphAndLayoutPreviewsShowThePageWithItsCropMarks)
{
    for (const char* kind : {"graph", "layout"}) {
        SCOPED_TRACE(kind);
        CQUGraphView* view = NewGraph(kind[0] == 'g' ? "Preview1" : "Preview2");
        ASSERT_NE(view, nullptr);
        if (kind[0] == 'l') {
            const std::string graph = view->GetPage()->GetName();
            ASSERT_EQ(Run("win -t layout"), 0);
            auto* layout = dynamic_cast<CQKGraphPage*>(qkfxGetProject().GetActivePage());
            ASSERT_NE(layout, nullptr);
            ASSERT_NE(qkfxAddLayoutGraph(layout, graph, 0.1, 0.1, 0.9, 0.9, nullptr), nullptr);
            view = ViewOf(layout);
            ASSERT_NE(view, nullptr);
        }
        auto* page = dynamic_cast<CQKGraphPage*>(view->GetPage());
        page->SetShowCropmark(TRUE);
        view->SendMessage(WM_COMMAND, ID_FILE_PRINT_PREVIEW);
        CPreviewView* preview = CPreviewView::FromPrintView(view);
        ASSERT_NE(preview, nullptr);
        ASSERT_NE(preview->GetPagePicture(), nullptr);
        EXPECT_EQ(preview->GetPrintInfo()->GetMaxPage(), 1u);
        EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(preview->m_hWnd, AFX_ID_PREVIEW_NEXT)));

        HDC printer = preview->GetPrinterDC()->GetSafeHdc();
        const int width = ::GetDeviceCaps(printer, HORZRES), height = ::GetDeviceCaps(printer, VERTRES);
        PrintedPicture picture(preview->GetPagePicture(), width, height);
        // The page as large as the printable area allows, centred.
        double w, h;
        page->GetPageSizeInches(w, h);
        const double scale = std::min(width / w, height / h);
        const int pw = (int)std::lround(w * scale), ph = (int)std::lround(h * scale);
        const int left = (width - pw) / 2, top = (height - ph) / 2, right = left + pw - 1, bottom = top + ph - 1;
        const int mark = (int)(0.025 * std::min(pw - 1, ph - 1));
        struct Corner {
            const char* name;
            int x, y, dx, dy; // the corner and the way its arms go
        } corners[] = {
            {"top left", left, top, 1, 1},
            {"top right", right, top, -1, 1},
            {"bottom right", right, bottom, -1, -1},
            {"bottom left", left, bottom, 1, -1},
        };
        for (const Corner& c : corners) {
            SCOPED_TRACE(c.name);
            // Lines end one short of their last point.
            for (int i : {0, mark / 2, mark - 1})
                EXPECT_TRUE(picture.Black(c.x + c.dx * i, c.y) && picture.Black(c.x, c.y + c.dy * i)) << i;
        }
        EXPECT_GT(picture.InkIn({left + mark, top + mark, right - mark, bottom - mark}), 100) << "the page's drawing";
        // Closing the window takes the preview with it.
        view->GetParentFrame()->DestroyWindow();
        EXPECT_EQ(CPreviewView::FromPrintView(view), nullptr);
        EXPECT_FALSE(CloseGreyed());
    }
}

} // namespace
