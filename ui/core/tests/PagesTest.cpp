// The user interface's pages: the kernel makes them for every window kind, reaches the
// window through them (close, minimise, title, changes, destruction), and gets the
// graphic objects whose dialogs are the user interface's.
#include "CoreTestApp.h"

#include "QKGraphObjects.h"
#include "QKSysMethod.h"
#include "QUAccess.h"
#include "QUAxes.h"
#include "QUErrorBar.h"
#include "QUNotes.h"
#include "QUPages.h"
#include "QUTextObj.h"

namespace {

class Pages : public AppFixture {
protected:
    CQKPage* NewWindow(const char* script, const char* name)
    {
        EXPECT_EQ(m_app->GetAccess()->execute_script(script, 0), 0) << script;
        return qkfxGetProject().FindPage(name);
    }
    static CQuorixDoc* DocOf(CQKPage* page)
    {
        CWnd* view = CWnd::FromHandlePermanent(page->GetDrawingWnd());
        return view ? DYNAMIC_DOWNCAST(CQuorixDoc, ((CView*)view)->GetDocument()) : nullptr;
    }
};

} // namespace

TEST_F(Pages, EveryShownKindIsMadeOfTheUserInterfacesClass)
{
    struct Case {
        QKPageType type;
        int imageIndex;
        bool ours;
    } cases[] = {
        {QK_PAGE_WKS, 0, true}, {QK_PAGE_GRAPH, 1, true}, {QK_PAGE_MATRIX, 2, true},
        {QK_PAGE_LAYOUT, 4, true}, {QK_PAGE_NOTES, 5, true},
    };
    for (const Case& c : cases) {
        CQKPage* page = qkfxGetProject().CreatePage(c.type);
        ASSERT_NE(page, nullptr) << c.type;
        EXPECT_EQ(page->GetType(), c.type);
        EXPECT_EQ(page->GetImageListIndex(), c.imageIndex) << c.type;
        bool ours = dynamic_cast<CQUWksPage*>(page) || dynamic_cast<CQUGraphPage*>(page) ||
                    dynamic_cast<CQUMatrixPage*>(page) || dynamic_cast<CQUNotesPage*>(page);
        EXPECT_EQ(ours, c.ours) << c.type;
    }
    EXPECT_NE(dynamic_cast<CQULayoutPage*>(qkfxGetProject().FindPage("Layout1")), nullptr);
    EXPECT_EQ(qkfxGetProject().FindPage("Layout1")->IsLayoutPage(), 1);
    EXPECT_EQ(qkfxGetProject().FindPage("Graph1")->IsLayoutPage(), 0);
}

TEST_F(Pages, GraphicObjectsOfAPageAreTheUserInterfacesWhereItHasThem)
{
    CQKPage* graph = qkfxGetProject().CreatePage(QK_PAGE_GRAPH);
    CQKPage* wks = qkfxGetProject().CreatePage(QK_PAGE_WKS);
    CQKPage* notes = qkfxGetProject().CreatePage(QK_PAGE_NOTES);
    std::unique_ptr<CQKAxes> axes(graph->PgCreateCQKAxes());
    std::unique_ptr<CQKTextObj> text(graph->PgCreateCQKTextObj());
    std::unique_ptr<CQKErrorBar> bar(wks->PgCreateCQKErrorBar());
    std::unique_ptr<CQKAxes> wksAxes(wks->PgCreateCQKAxes());
    std::unique_ptr<CQKTextObj> notesText(notes->PgCreateCQKTextObj());
    EXPECT_NE(dynamic_cast<CQUAxes*>(axes.get()), nullptr);
    EXPECT_NE(dynamic_cast<CQUTextObj*>(text.get()), nullptr);
    EXPECT_NE(dynamic_cast<CQUErrorBar*>(bar.get()), nullptr);
    ASSERT_NE(wksAxes, nullptr);
    EXPECT_EQ(dynamic_cast<CQUAxes*>(wksAxes.get()), nullptr) << "a worksheet keeps the kernel's axes";
    ASSERT_NE(notesText, nullptr);
    EXPECT_EQ(dynamic_cast<CQUTextObj*>(notesText.get()), nullptr);
}

TEST_F(Pages, TheKernelMinimisesRestoresAndTitlesTheWindowThroughThePage)
{
    CQKPage* page = NewWindow("win -t wks Standard Sheet", "Sheet");
    ASSERT_NE(page, nullptr);
    // Another window is the active one: minimising the active window makes the frame
    // activate it again.
    ASSERT_NE(NewWindow("win -t wks Standard Other", "Other"), nullptr);
    ASSERT_FALSE(page->IsNoWnd());
    std::string state;
    struct Step {
        int (CQKPage::*op)();
        const char* state;
    } steps[] = {
        {&CQKPage::Minimize, "Minimized"},
        {&CQKPage::Maximize, "Maximized"},
        {&CQKPage::Restore, "Normal"},
        {&CQKPage::Activate, "Normal"},
    };
    for (const Step& s : steps) {
        EXPECT_NE((page->*s.op)(), 0) << s.state;
        page->GetWindowState(state);
        EXPECT_EQ(state, s.state);
    }

    CQuorixDoc* doc = DocOf(page);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(page->OnInternalSetTitle("Shown Title"), 1);
    EXPECT_STREQ(doc->GetTitle(), "Shown Title");
    EXPECT_EQ(page->GetName(), "Sheet") << "the title does not rename the page";
    page->SetPageChange(1);
    EXPECT_TRUE(doc->IsModified());
    page->SetPageChange(0);
    EXPECT_FALSE(doc->IsModified());

    // A page the kernel keeps without a window answers for itself.
    CQKPage* hidden = qkfxGetProject().CreatePage(QK_PAGE_MATRIX);
    EXPECT_EQ(hidden->Minimize(), 0);
    hidden->GetWindowState(state);
    EXPECT_EQ(state, "Hidden");
    EXPECT_EQ(hidden->OnInternalSetTitle("x"), 0);
}

TEST_F(Pages, ClosingTheWindowKeepsThePageAndDestroyingThePageClosesTheWindow)
{
    CQKPage* kept = NewWindow("win -t plot Standard Kept", "Kept");
    CQKPage* gone = NewWindow("win -t matrix Standard Gone", "Gone");
    ASSERT_TRUE(kept && gone);
    CQrxMultiDocTemplate* graph = m_app->get_template(QU_TEMPLATE_GRAPH);
    CQrxMultiDocTemplate* matrix = m_app->get_template(QU_TEMPLATE_MATRIX);
    ASSERT_EQ(graph->GetNumDocs(), 1);
    ASSERT_EQ(matrix->GetNumDocs(), 1);

    EXPECT_EQ(kept->OnCloseWnd(), 1);
    EXPECT_EQ(graph->GetNumDocs(), 0);
    EXPECT_EQ(qkfxGetProject().FindPage("Kept"), kept);
    EXPECT_TRUE(kept->IsNoWnd());

    EXPECT_TRUE(qkfxGetProject().DeletePage("Gone"));
    EXPECT_EQ(matrix->GetNumDocs(), 0);

    // A new project closes every window.
    NewWindow("win -t wks; win -t layout", "Data1");
    EXPECT_EQ(m_app->get_template(QU_TEMPLATE_WKS)->GetNumDocs(), 1);
    EXPECT_EQ(m_app->get_template(QU_TEMPLATE_LAYOUT)->GetNumDocs(), 1);
    qkfxGetProject().New();
    EXPECT_EQ(m_app->get_template(QU_TEMPLATE_WKS)->GetNumDocs(), 0);
    EXPECT_EQ(m_app->get_template(QU_TEMPLATE_LAYOUT)->GetNumDocs(), 0);
}

TEST_F(Pages, ClosePromptsFollowTheSettingsOfEachKind)
{
    CQKQrxSystem& system = qkfxGetQrxSystem();
    CQKPage* pages[] = {qkfxGetProject().CreatePage(QK_PAGE_WKS), qkfxGetProject().CreatePage(QK_PAGE_GRAPH),
                        qkfxGetProject().CreatePage(QK_PAGE_MATRIX), qkfxGetProject().CreatePage(QK_PAGE_LAYOUT)};
    system.GetRefWks().SetClosePrompt(FALSE);
    system.GetRefGraph().SetClosePrompt(TRUE);
    system.GetRefWks().SetMatrixClosePrompt(FALSE);
    system.GetRefGraph().SetLayoutClosePrompt(TRUE);
    EXPECT_EQ(pages[0]->GetClosePrompt(), 0);
    EXPECT_EQ(pages[1]->GetClosePrompt(), 1);
    EXPECT_EQ(pages[2]->GetClosePrompt(), 0);
    EXPECT_EQ(pages[3]->GetClosePrompt(), 1);
    system.GetRefWks().SetClosePrompt(TRUE);
    system.GetRefGraph().SetClosePrompt(FALSE);
    system.GetRefWks().SetMatrixClosePrompt(TRUE);
    system.GetRefGraph().SetLayoutClosePrompt(FALSE);
    EXPECT_EQ(pages[0]->GetClosePrompt(), 1);
    EXPECT_EQ(pages[1]->GetClosePrompt(), 0);
    EXPECT_EQ(pages[2]->GetClosePrompt(), 1);
    EXPECT_EQ(pages[3]->GetClosePrompt(), 0);
    system.GetRefGraph().SetClosePrompt(TRUE);
    system.GetRefGraph().SetLayoutClosePrompt(TRUE);
}
