// Workbook windows: new workbooks, opening workbook files, converting to a matrix,
// saving.
#include "XlFixture.h"

#include "ExcelRes.h"
#include "QKScript.h"
#include "QKSysMethod.h"

#include <qxtest/Pixels.h>

namespace {

using qxtest::DialogDriver;

std::string TempFolder(const char* name)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + name + "\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

// A document and view as the workbook template makes them, before the document's step.
struct Window {
    CQUExcelDoc* doc = new CQUExcelDoc;
    CQUxlView* view = new CQUxlView;
    Window()
    {
        doc->m_bAutoDelete = FALSE;
        doc->AddView(view);
    }
    ~Window()
    {
        delete view;
        delete doc;
    }
};

class XlWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(reg.ok());
        CoInitialize(nullptr);
        qkfxGetProject().New();
        folder = TempFolder("qxxlwindow");
        qkfxGetQrxSystem().GetRefPath().SetExcel(folder);
        CQUExcelDoc::SetDisplayOpenExcelDialog(1);
        CQUExcelDoc::SetOpenWorkbookAsExcel(1);
    }
    void TearDown() override { CoUninitialize(); }

    // A workbook file with numbers on Sheet1 and a text on Sheet2.
    std::string MakeWorkbookFile(const char* name)
    {
        Window w;
        EXPECT_TRUE(w.doc->OnNewDocument());
        double v = 4.5;
        EXPECT_TRUE(w.view->GetSetOneExcelCellValueAsReal("Sheet1", 1, 0, &v, TRUE));
        v = 5.5;
        EXPECT_TRUE(w.view->GetSetOneExcelCellValueAsReal("Sheet1", 2, 1, &v, TRUE));
        EXPECT_TRUE(w.view->GetSetOneExcelCellValue("Sheet2", 1, 0, (void*)"words", 1, TRUE));
        std::string path = folder + name;
        EXPECT_TRUE(w.view->SaveTheWorkbook(path.c_str(), FALSE));
        return path;
    }

    QxExcelServerRegistration reg;
    std::string folder;
};

TEST_F(XlWindow, NewWorkbooksAreNamedAfterTheFirstFreeNumberAndKeptInternally)
{
    // Excel1.XLS is taken by a file, so the first new workbook is Excel2.XLS.
    std::string taken = folder + "Excel1.XLS";
    HANDLE h = CreateFileA(taken.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(h);
    Window a, b;
    ASSERT_TRUE(a.doc->OnNewDocument());
    ASSERT_TRUE(b.doc->OnNewDocument());
    EXPECT_STREQ((folder + "Excel2.XLS").c_str(), a.doc->GetPathName());
    EXPECT_EQ(folder + "Excel2.XLS", a.doc->GetPage()->GetExternalName());
    EXPECT_EQ(folder + "Excel3.XLS", b.doc->GetPage()->GetExternalName());
    EXPECT_TRUE(a.doc->GetPage()->IsInternalSaving());
    EXPECT_STREQ(a.doc->GetPage()->GetName().c_str(), a.doc->GetTitle()) << "the window is called as its page";
    EXPECT_TRUE(a.doc->GetPage()->IsExternalDataSource());
    CStringArray names;
    ASSERT_EQ(4, a.view->GetWorksheetNames(names));
    EXPECT_STREQ("Sheet1", names[0]);
    EXPECT_STREQ("Sheet4", names[3]);
    // The workbook is to be shown itself (in place once the view has a window).
    EXPECT_TRUE(a.view->IsExcelShown());
    EXPECT_EQ(128u, a.view->GetViewToolbarBits());
    EXPECT_EQ(0u, a.view->GetContextMenuID());
    DeleteFileA(taken.c_str());
}

TEST_F(XlWindow, WithoutAServerANewWorkbookWindowFailsWithTheInstallationMessage)
{
    QxExcelServerRegistration unregistered(false);
    Window w;
    std::string text;
    DialogDriver driver;
    driver.Then([&](HWND box) {
        text = qxtest::MessageBoxText(box);
        qxtest::Click(box, IDOK);
    });
    EXPECT_EQ(FALSE, driver.Run([&] { return (INT_PTR)w.doc->OnNewDocument(); }));
    EXPECT_EQ(1, driver.StepsRun());
    EXPECT_EQ(std::string(xlLoadString(IDS_XL_NOT_INSTALLED)), text);
    EXPECT_FALSE(w.view->HasExcel());
    EXPECT_EQ(0x200u, w.view->GetViewToolbarBits());

    // A window without a workbook shows its file's name, centred.
    w.doc->GetPage()->SetExternalName("C:\\data\\book.xls");
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, "STATIC", "", WS_POPUP, 0, 0, 300, 80, nullptr, 0));
    ASSERT_TRUE(w.view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 300, 80), &parent, 1));
    qxtest::MemoryCanvas canvas(300, 80);
    w.view->OnDraw(CDC::FromHandle(canvas.dc()));
    qxtest::Image image = qxtest::CaptureDC(canvas.dc(), RECT{0, 0, 300, 80});
    int inked = 300 * 80 - image.Count(RGB(255, 255, 255));
    EXPECT_GT(inked, 50) << "the name is drawn";
    for (int y = 0; y < 80; ++y) {
        EXPECT_EQ(RGB(255, 255, 255), image.ColorAt(5, y)) << "left margin, row " << y;
        EXPECT_EQ(RGB(255, 255, 255), image.ColorAt(294, y)) << "right margin, row " << y;
    }
    for (int x = 0; x < 300; ++x)
        EXPECT_EQ(RGB(255, 255, 255), image.ColorAt(x, 3)) << "top margin, column " << x;
    w.view->DestroyWindow(); // a view goes with its window
    w.view = nullptr;
    parent.DestroyWindow();
}

TEST_F(XlWindow, OpeningAsAWorkbookKeepsTheWindowOnTheFile)
{
    std::string path = MakeWorkbookFile("open.xls");
    Window w;
    DialogDriver driver;
    driver.Then([](HWND dlg) {
        EXPECT_TRUE(qxtest::IsChecked(dlg, IDC_XL_OPEN_AS_EXCEL));
        EXPECT_FALSE(qxtest::IsEnabled(dlg, IDC_XL_OPEN_SHEETS));
        qxtest::Click(dlg, IDOK);
    });
    ASSERT_EQ(TRUE, driver.Run([&] { return (INT_PTR)w.doc->OnOpenDocument(path.c_str()); }));
    EXPECT_EQ(path, w.doc->GetPage()->GetExternalName());
    double v = 0;
    ASSERT_TRUE(w.doc->GetPage()->GetExternalDataAsReal("Sheet1", 2, 1, &v));
    EXPECT_EQ(5.5, v);
}

TEST_F(XlWindow, OpeningAsNativeWorksheetsCopiesTheChosenSheetsAndLeavesNoWindow)
{
    std::string path = MakeWorkbookFile("native.xls");
    Window w;
    DialogDriver driver;
    driver.Then([](HWND dlg) {
        qxtest::Click(dlg, IDC_XL_OPEN_AS_NATIVE);
        HWND list = GetDlgItem(dlg, IDC_XL_OPEN_SHEETS);
        EXPECT_TRUE(IsWindowEnabled(list));
        EXPECT_EQ(4, (int)SendMessageA(list, LB_GETCOUNT, 0, 0));
        SendMessageA(list, LB_SETSEL, TRUE, 1); // Sheet2 too
        qxtest::SetCheck(dlg, IDC_XL_OPEN_DONT_SHOW, true);
        qxtest::Click(dlg, IDOK);
    });
    EXPECT_EQ(FALSE, driver.Run([&] { return (INT_PTR)w.doc->OnOpenDocument(path.c_str()); }));
    EXPECT_EQ(0, CQUExcelDoc::OpenWorkbookAsExcel());
    EXPECT_EQ(0, CQUExcelDoc::DisplayOpenExcelDialog());
    auto* sheet1 = static_cast<CQKWksPage*>(qkfxGetProject().FindPage("Sheet1"));
    auto* sheet2 = static_cast<CQKWksPage*>(qkfxGetProject().FindPage("Sheet2"));
    ASSERT_TRUE(sheet1 && sheet2);
    EXPECT_EQ(4.5, sheet1->GetColumn(1)->GetValue(0));
    EXPECT_EQ(5.5, sheet1->GetColumn(2)->GetValue(1));
    EXPECT_EQ("words", sheet2->GetColumn(1)->GetText(0));
    EXPECT_FALSE(qkfxGetProject().FindPage("Sheet3"));

    // Cancelled: nothing opens.
    Window again;
    CQUExcelDoc::SetDisplayOpenExcelDialog(1);
    DialogDriver cancel;
    cancel.Then([](HWND dlg) { qxtest::Click(dlg, IDCANCEL); });
    EXPECT_EQ(FALSE, cancel.Run([&] { return (INT_PTR)again.doc->OnOpenDocument(path.c_str()); }));
}

TEST_F(XlWindow, AMissingFileIsReportedAndNotOpened)
{
    Window w;
    std::string text;
    DialogDriver driver;
    driver.Then([&](HWND box) {
        text = qxtest::MessageBoxText(box);
        qxtest::Click(box, IDOK);
    });
    std::string path = folder + "nothere.xls";
    EXPECT_EQ(FALSE, driver.Run([&] { return (INT_PTR)w.doc->OnOpenDocument(path.c_str()); }));
    EXPECT_NE(std::string::npos, text.find("cannot find the file with this name"));
}

TEST_F(XlWindow, WorkbookPagesTheKernelMakesAreTheWindowsKind)
{
    ASSERT_TRUE(qkfxGetScript().Execute("win -tx book"));
    auto* page = dynamic_cast<CQUWksPageExternal*>(qkfxGetProject().GetActivePage());
    ASSERT_TRUE(page);
    EXPECT_EQ(nullptr, page->GetValidxlView()) << "no window yet";
    // Without a workbook behind it, the page refuses to fetch anything.
    CQKWksExternLayer* layer = page->GetOrCreateActiveLayer("Sheet1");
    layer->SetRowRange(0, 2, 0, 1);
    EXPECT_FALSE(page->CheckCopyData(layer, 1, 0));
}

class XlWindowData : public XlFixture {};

TEST_F(XlWindowData, TheSelectedBlockOfDataBecomesAMatrix)
{
    for (int r = 1; r <= 4; ++r)
        for (int c = 1; c <= 3; ++c) {
            std::string cell = std::string(1, (char)('A' + c - 1)) + std::to_string(r);
            UserSets("Sheet1", cell.c_str(), COleVariant((double)(10 * r + c)));
        }
    CxlobjWorksheet ws(*view->GetWorkbookDriver(), "Sheet1");
    CxlobjRange* sel = ws.GetRange("B2:C9");
    ASSERT_TRUE(sel && sel->Activate());
    delete sel;
    view->Convert2Matrix();
    CQKMatrixPage* m = qkfxGetProject().GetActiveMatrix();
    ASSERT_TRUE(m);
    EXPECT_EQ(3, m->GetRows());
    EXPECT_EQ(2, m->GetCols());
    EXPECT_EQ(22, m->GetCell(1, 1));
    EXPECT_EQ(43, m->GetCell(3, 2));

    // A single cell is no block.
    CxlobjRange* one = ws.GetRange("A1");
    ASSERT_TRUE(one && one->Activate());
    delete one;
    std::string text;
    DialogDriver driver;
    driver.Then([&](HWND box) {
        text = qxtest::MessageBoxText(box);
        qxtest::Click(box, IDOK);
    });
    driver.Run([&] {
        view->Convert2Matrix();
        return (INT_PTR)0;
    });
    EXPECT_EQ("Please select a range of contiguous data.", text);
}

TEST_F(XlWindowData, AFailedSaveNamesTheWorkbookAndTheFile)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string good = std::string(temp) + "qxxl-save.xls";
    DeleteFileA(good.c_str());
    ASSERT_TRUE(view->SaveTheWorkbook(good.c_str(), TRUE));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(good.c_str()));
    DeleteFileA(good.c_str());

    doc->GetPage()->SetInternalSaving(0);
    std::string bad = std::string(temp) + "no-such-folder\\book.xls";
    std::string text;
    DialogDriver driver;
    driver.Then([&](HWND box) {
        text = qxtest::MessageBoxText(box);
        qxtest::Click(box, IDOK);
    });
    EXPECT_EQ(FALSE, driver.Run([&] { return (INT_PTR)view->SaveTheWorkbook(bad.c_str(), FALSE); }));
    EXPECT_NE(std::string::npos, text.find("cannot be saved into the file \"" + bad + "\""));
    EXPECT_NE(std::string::npos, text.find(doc->GetPage()->GetName()));

    // Excel's own Save As box: cancelled, nothing is saved.
    EXPECT_FALSE(view->OnSaveWorkbook(""));
}

} // namespace

namespace {

TEST_F(XlWindow, TheWindowShowsTheActiveSheetAsTheWorksheetTableDrawsIt)
{
    std::string path = MakeWorkbookFile("shown.xls");
    Window w;
    EXPECT_EQ(nullptr, w.view->GetTablePage()) << "no sheet before the workbook is open";
    DialogDriver driver;
    driver.Then([](HWND dlg) { qxtest::Click(dlg, IDOK); });
    ASSERT_EQ(TRUE, driver.Run([&] { return (INT_PTR)w.doc->OnOpenDocument(path.c_str()); }));
    ASSERT_TRUE(w.view->RefreshSheetTable());
    CQKTablePage* table = w.view->GetTablePage();
    ASSERT_NE(nullptr, table);
    EXPECT_EQ("Sheet1", w.doc->GetPage()->GetActiveLayer()->GetName());
    struct Case {
        int column, row;
        const char* text;
    } cases[] = {{1, 0, "4.5"}, {2, 1, "5.5"}, {2, 0, ""}, {1, 1, ""}};
    for (const Case& c : cases) {
        std::string shown = table->FormatCell(c.column, c.row);
        EXPECT_EQ(shown == "--" ? std::string() : shown, c.text) << c.column << " " << c.row;
    }

    qxtest::MemoryCanvas canvas(300, 120);
    RECT r = {0, 0, 300, 120};
    table->SetDrawRect(r);
    ASSERT_TRUE(table->Draw(canvas.dc(), r));
    qxtest::Image image = canvas.Capture();
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    image.WritePng(std::string(temp) + "qx_workbook_sheet.png");
    // Ink in the first cell of column A, none below the data.
    auto ink = [&](int column, int row) {
        int left = table->GetRowNumberWidth() + (column - 1) * table->GetColumnPixels(1);
        int top = table->GetHeaderHeight() + row * table->GetRowHeight(), n = 0;
        for (int y = top + 3; y < top + table->GetRowHeight() - 3; ++y)
            for (int x = left + 3; x < left + table->GetColumnPixels(1) - 3; ++x)
                n += image.ColorAt(x, y) == RGB(0, 0, 0);
        return n;
    };
    EXPECT_GT(ink(1, 0), 2);
    EXPECT_EQ(ink(1, 3), 0);
}

TEST_F(XlWindow, ANewWorkbookIsShownInPlaceTakesTypedValuesAndFollowsTheView)
{
    CFrameWnd* frame = new CFrameWnd;
    ASSERT_TRUE(frame->Create(nullptr, "workbook", WS_OVERLAPPEDWINDOW, CRect(0, 0, 640, 480)));
    Window w;
    ASSERT_TRUE(w.view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 500, 300), frame,
                               AFX_IDW_PANE_FIRST));
    ASSERT_TRUE(w.doc->OnNewDocument());
    CxlCntrItem* item = w.view->GetItem();
    ASSERT_NE(nullptr, item);
    EXPECT_EQ((UINT)COleClientItem::activeUIState, item->GetItemState());
    // The workbook's window fills the view's client area.
    HWND sheet = ::GetWindow(w.view->m_hWnd, GW_CHILD);
    ASSERT_NE(nullptr, sheet);
    CRect placed, client;
    w.view->GetClientRect(&client);
    ::GetWindowRect(sheet, &placed);
    w.view->ScreenToClient(&placed);
    EXPECT_TRUE(placed == client) << placed.left << " " << placed.top << " " << placed.right << " " << placed.bottom;
    // The view's draw rectangle: the extent the workbook kept, at (27, 15).
    CRect draw;
    w.view->get_draw_rect(draw);
    EXPECT_EQ(27, draw.left);
    EXPECT_EQ(15, draw.top);
    EXPECT_NEAR(client.Width() - 40, draw.Width(), 1);
    EXPECT_NEAR(client.Height() - 32, draw.Height(), 1);

    // A value typed into the sheet reaches the kernel's page through the link, and the
    // modified check tells the page once.
    for (char c : std::string("12.5\r"))
        ::SendMessage(sheet, WM_CHAR, (WPARAM)(unsigned char)c, 0);
    double v = 0;
    ASSERT_TRUE(w.view->GetSetOneExcelCellValueAsReal("Sheet1", 1, 0, &v, FALSE));
    EXPECT_EQ(12.5, v);
    int before = w.doc->GetPage()->GetExternalModifiedCount();
    w.view->OnCheckxlDirty();
    w.view->OnCheckxlDirty();
    EXPECT_EQ(before + 1, w.doc->GetPage()->GetExternalModifiedCount());

    // A larger view: the workbook's window grows with it.
    w.view->MoveWindow(0, 0, 600, 400);
    w.view->GetClientRect(&client);
    ::GetWindowRect(sheet, &placed);
    EXPECT_EQ(client.Width(), placed.Width());
    EXPECT_EQ(client.Height(), placed.Height());
    EXPECT_GT(client.Width(), 500);

    // The native view leaves the place; the workbook view takes it again.
    w.view->WkbookQuorixView();
    EXPECT_EQ((UINT)COleClientItem::loadedState, item->GetItemState());
    EXPECT_FALSE(::IsWindow(sheet));
    w.view->WkbookExcelView();
    EXPECT_TRUE(item->IsInPlaceActive());

    // Closing the frame takes the view and its workbook with it.
    frame->DestroyWindow();
    w.view = nullptr;
}

} // namespace
