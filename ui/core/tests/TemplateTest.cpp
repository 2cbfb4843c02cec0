// Document templates and the base document in a started program: unique titles, pages
// made by the kernel itself getting windows, titles and page names following each other,
// and the page going with its window.
#include "CoreTestApp.h"

namespace {

class Templates : public AppFixture {
protected:
    CQrxMultiDocTemplate* Template(int id) { return m_app->get_template(id); }
    CQuorixDoc* NewDoc(int id)
    {
        return DYNAMIC_DOWNCAST(CQuorixDoc, Template(id)->OpenDocumentFile(nullptr, TRUE));
    }
    static HWND FrameOf(CDocument* doc)
    {
        POSITION pos = doc->GetFirstViewPosition();
        return doc->GetNextView(pos)->GetParentFrame()->GetSafeHwnd();
    }
};

} // namespace

TEST_F(Templates, NewTitlesCountOnAfterEveryTitleAnotherDocumentHolds)
{
    CQrxMultiDocTemplate* wks = Template(QU_TEMPLATE_WKS);
    CQuorixDoc* a = NewDoc(QU_TEMPLATE_WKS);
    CQuorixDoc* b = NewDoc(QU_TEMPLATE_WKS);
    CQuorixDoc* c = NewDoc(QU_TEMPLATE_WKS);
    ASSERT_TRUE(a && b && c);
    a->SetTitle("Data1");
    b->SetTitle("Data11");
    c->SetTitle("Fresh");

    struct Case {
        CDocument* doc;
        const char* base;
        const char* title;
        int changed;
    } cases[] = {
        {c, "Data1", "Data12", 1}, // the count goes after the whole base
        {c, "data11", "data111", 1}, // titles compare regardless of case
        {c, "Fresh", "Fresh", 0},  // its own title is no clash
        {c, nullptr, "Data12", 1}, // no base: the document name and 1
        {c, "", "Data12", 1},
        {a, "Unused", "Unused", 0},
    };
    for (const Case& k : cases) {
        CString out;
        int changed = -1;
        EXPECT_EQ(wks->CreateNewDocTitle(out, k.doc, k.base, &changed), 1);
        EXPECT_STREQ(out, k.title) << (k.base ? k.base : "(null)");
        EXPECT_EQ(changed, k.changed) << (k.base ? k.base : "(null)");
    }

    // Two documents with one title: the one being named is skipped, the other is not.
    b->SetTitle("Data1");
    CString out;
    wks->CreateNewDocTitle(out, a, "Data1", nullptr);
    EXPECT_STREQ(out, "Data11");
}

TEST_F(Templates, DocumentsAreFoundByTitleAndByPageName)
{
    CQuorixDoc* doc = NewDoc(QU_TEMPLATE_GRAPH);
    ASSERT_NE(doc, nullptr);
    ASSERT_NE(doc->GetPage(), nullptr);
    std::string name = doc->GetPage()->GetName();
    EXPECT_EQ(doc->GetPage()->GetType(), QK_PAGE_GRAPH);
    CQrxMultiDocTemplate* graph = Template(QU_TEMPLATE_GRAPH);
    EXPECT_EQ(graph->FindDocumentByPageName(name.c_str()), doc);
    EXPECT_EQ(graph->FindDocumentByPageName("NoSuchPage"), nullptr);
    doc->SetTitle("Picture");
    EXPECT_EQ(graph->FindDocument("PICTURE"), doc);
    EXPECT_EQ(graph->GetNumDocs(), 1);

    // A template whose documents are not page documents finds no page names.
    CQrxMultiDocTemplate* notes = Template(QU_TEMPLATE_NOTES);
    ASSERT_NE(notes->OpenDocumentFile(nullptr, TRUE), nullptr);
    EXPECT_EQ(notes->FindDocumentByPageName(name.c_str()), nullptr);
}

TEST_F(Templates, APageTheKernelMadeGetsAWindowOfItsKindAndNoSecondPage)
{
    CQKPage* page = qkfxGetProject().CreatePage(QK_PAGE_MATRIX);
    ASSERT_NE(page, nullptr);
    int pages = qkfxGetProject().GetNumPages();
    CQrxMultiDocTemplate* matrix = m_app->get_one_page_template(page->GetType());
    ASSERT_EQ(matrix, Template(QU_TEMPLATE_MATRIX));

    EXPECT_EQ(matrix->OnInternalNewPage(page, TRUE), 1);
    EXPECT_EQ(qkfxGetProject().GetNumPages(), pages);
    ASSERT_EQ(matrix->GetNumDocs(), 1);
    POSITION pos = matrix->GetFirstDocPosition();
    CQuorixDoc* doc = DYNAMIC_DOWNCAST(CQuorixDoc, matrix->GetNextDoc(pos));
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->GetPage(), page);
    EXPECT_EQ(page->GetFrameWnd(), FrameOf(doc));
    EXPECT_TRUE(::IsWindowVisible(FrameOf(doc)));
    EXPECT_FALSE(matrix->doc_being_created_internally());
    EXPECT_EQ(matrix->get_new_internally_created_page(), nullptr);
}

TEST_F(Templates, AFailedInternalCreationLeavesNothingBehind)
{
    // The workbook file cannot be read, so no window comes.
    CQKWksPage* book = (CQKWksPage*)qkfxGetProject().CreatePage(QK_PAGE_EXCEL);
    ASSERT_NE(book, nullptr);
    book->SetFileNameForLoading("C:\\no such folder\\book.xls");
    CQrxMultiDocTemplate* excel = Template(QU_TEMPLATE_EXCEL);
    EXPECT_EQ(excel->OnInternalNewPage(book, TRUE), 0);
    EXPECT_EQ(excel->GetNumDocs(), 0);
    EXPECT_FALSE(excel->doc_being_created_internally());
    EXPECT_NE(qkfxGetProject().FindPage(book->GetName()), nullptr) << "the kernel's page stays the kernel's";
}

TEST_F(Templates, AHiddenWorkbookPageGetsAnInvisibleFrame)
{
    CQKWksPage* book = (CQKWksPage*)qkfxGetProject().CreatePage(QK_PAGE_EXCEL);
    ASSERT_NE(book, nullptr);
    book->SetExternalHidden(TRUE);
    CQrxMultiDocTemplate* excel = Template(QU_TEMPLATE_EXCEL);
    ASSERT_EQ(excel->OnInternalNewPage(book, TRUE), 1);
    EXPECT_FALSE(::IsWindowVisible(book->GetFrameWnd()));

    CQKWksPage* shown = (CQKWksPage*)qkfxGetProject().CreatePage(QK_PAGE_EXCEL);
    ASSERT_EQ(excel->OnInternalNewPage(shown, TRUE), 1);
    EXPECT_TRUE(::IsWindowVisible(shown->GetFrameWnd()));
}

TEST_F(Templates, TitlesRenameThePageAndTheKernelsNameWins)
{
    CQuorixDoc* doc = NewDoc(QU_TEMPLATE_WKS);
    ASSERT_NE(doc, nullptr);
    CQKPage* page = doc->GetPage();
    ASSERT_NE(qkfxGetProject().CreatePage(QK_PAGE_WKS, "Taken"), nullptr);

    struct Case {
        const char* title;
        const char* shownTitle;
        const char* pageName;
    } cases[] = {
        {"Results.qgw", "Results.qgw", "Results"}, // the extension is no part of the name
        {"Other", "Other", "Other"},
        {"taken.qgw", "Other", "Other"},            // another page's name: the kernel keeps its own
        {"9lives", "Other", "Other"},               // no valid window name
    };
    for (const Case& c : cases) {
        doc->SetTitle(c.title, TRUE);
        EXPECT_STREQ(doc->GetTitle(), c.shownTitle) << c.title;
        EXPECT_EQ(page->GetName(), c.pageName) << c.title;
    }
    doc->SetTitle("Plain", FALSE);
    EXPECT_EQ(page->GetName(), "Other");
    doc->SetNiceTitle(TRUE);
    EXPECT_STREQ(doc->GetTitle(), "Other");
}

TEST_F(Templates, PageChangesDriveTheModifiedFlagExceptWhileDrawing)
{
    CQuorixDoc* doc = NewDoc(QU_TEMPLATE_GRAPH);
    ASSERT_NE(doc, nullptr);
    doc->set_in_drawing(1);
    doc->UpdateOnChange(1);
    EXPECT_FALSE(doc->IsModified());
    doc->SetModifiedFlag(TRUE);
    doc->UpdateOnChange(0); // clearing is never ignored
    EXPECT_FALSE(doc->IsModified());
    doc->set_in_drawing(0);
    doc->UpdateOnChange(1);
    EXPECT_TRUE(doc->IsModified());
}

TEST_F(Templates, ClosingAWindowDestroysItsPageUnlessDisconnected)
{
    CQuorixDoc* kept = NewDoc(QU_TEMPLATE_WKS);
    CQuorixDoc* closed = NewDoc(QU_TEMPLATE_WKS);
    ASSERT_TRUE(kept && closed);
    std::string keptName = kept->GetPage()->GetName();
    std::string closedName = closed->GetPage()->GetName();
    CQKPage* keptPage = kept->DisconnectPage();
    EXPECT_EQ(keptPage->GetFrameWnd(), nullptr);
    EXPECT_EQ(keptPage->GetDrawingWnd(), nullptr);

    ::SendMessageA(FrameOf(kept), WM_CLOSE, 0, 0);
    ::SendMessageA(FrameOf(closed), WM_CLOSE, 0, 0);
    EXPECT_EQ(Template(QU_TEMPLATE_WKS)->GetNumDocs(), 0);
    EXPECT_NE(qkfxGetProject().FindPage(keptName), nullptr);
    EXPECT_EQ(qkfxGetProject().FindPage(closedName), nullptr);
}

TEST_F(Templates, ClosingQueryOfThePageCanKeepTheWindowOpen)
{
    struct RefusingPage : CQKWksPage {
        using CQKWksPage::CQKWksPage;
        int OnClosingQuery(BOOL) override { return 0; }
    };
    CQuorixDoc* doc = NewDoc(QU_TEMPLATE_WKS);
    ASSERT_NE(doc, nullptr);
    CQKPage* own = doc->DisconnectPage();
    RefusingPage refusing(&qkfxGetProject(), "Refusing");
    doc->ConnectPage(&refusing);
    EXPECT_FALSE(doc->SaveModified());
    doc->DisconnectPage();
    doc->ConnectPage(own);
    EXPECT_TRUE(doc->SaveModified());
}

TEST_F(Templates, NotesWindowsTakeTheNextFreeName)
{
    CNotesMultiDocTemplate* notes = DYNAMIC_DOWNCAST(CNotesMultiDocTemplate, Template(QU_TEMPLATE_NOTES));
    ASSERT_NE(notes, nullptr);
    CDocument* first = notes->OpenDocumentFile(nullptr, TRUE);
    ASSERT_NE(first, nullptr);
    EXPECT_STREQ(first->GetTitle(), "Notes1") << "the window is named after its new page";
    ASSERT_NE(qkfxGetProject().CreatePage(QK_PAGE_NOTES, "Notes"), nullptr);

    CString name;
    notes->CreateNewWindowName(name, "Notes", nullptr);
    EXPECT_STREQ(name, "Notes2");
    notes->CreateNewWindowName(name, "Memo7", nullptr);
    EXPECT_STREQ(name, "Memo7");
    CQKPage* own = qkfxGetProject().FindPage("Notes");
    notes->CreateNewWindowName(name, "Notes", own); // a page's own name is free for it
    EXPECT_STREQ(name, "Notes");

    EXPECT_EQ(notes->CloseAllWindows(0), 1);
    EXPECT_EQ(notes->GetNumDocs(), 0);
}
