// OLE drop targets through real OLE: registration with the system, the drop protocol as a
// drag source's OLE drives it through the registered IDropTarget, and the end of the
// registration with the window.
#include <afxole.h>
#include <gtest/gtest.h>

#include <string>

namespace {

// A view that answers every drag with the effect a case sets and records what it got.
class RecordingView : public CView {
public:
    void OnDraw(CDC*) override {}
    DROPEFFECT OnDragEnter(COleDataObject* data, DWORD, CPoint point) override
    {
        log += "enter ";
        sawText = data->IsDataAvailable(CF_TEXT);
        lastPoint = point;
        return answer;
    }
    DROPEFFECT OnDragOver(COleDataObject*, DWORD, CPoint point) override
    {
        log += "over ";
        lastPoint = point;
        return answer;
    }
    void OnDragLeave() override { log += "leave "; }
    BOOL OnDrop(COleDataObject* data, DROPEFFECT effect, CPoint point) override
    {
        log += "drop ";
        dropped = effect;
        lastPoint = point;
        HGLOBAL text = data->GetGlobalData(CF_TEXT);
        if (text != nullptr) {
            droppedText = (const char*)::GlobalLock(text);
            ::GlobalUnlock(text);
            ::GlobalFree(text);
        }
        return dropSucceeds;
    }
    DROPEFFECT OnDropEx(COleDataObject*, DROPEFFECT, DROPEFFECT, CPoint) override { return dropEx; }

    DROPEFFECT answer = DROPEFFECT_NONE;
    DROPEFFECT dropEx = (DROPEFFECT)-1;
    BOOL dropSucceeds = TRUE;
    BOOL sawText = FALSE;
    DROPEFFECT dropped = 0;
    CPoint lastPoint;
    std::string log, droppedText;
};

class OleDrop : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(::OleInitialize(nullptr)));
        m_view = new RecordingView;
        ASSERT_TRUE(m_view->CreateEx(0, AfxRegisterWndClass(0), "drop", WS_POPUP | WS_VISIBLE, 100, 50, 300, 200,
                                     nullptr, nullptr));
        m_source.CacheGlobalData(CF_TEXT, TextBlock("B1:B20"));
    }
    void TearDown() override
    {
        if (::IsWindow(m_hWnd))
            ::DestroyWindow(m_hWnd);
        m_target.Revoke();
        ::OleUninitialize();
    }
    static HGLOBAL TextBlock(const char* text)
    {
        HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE, strlen(text) + 1);
        strcpy((char*)::GlobalLock(h), text);
        ::GlobalUnlock(h);
        return h;
    }
    IDropTarget* Registered()
    {
        return (IDropTarget*)m_target.GetInterface(&IID_IDropTarget);
    }

    RecordingView* m_view = nullptr;
    HWND m_hWnd = nullptr;
    COleDropTarget m_target;
    COleDataSource m_source;
};

TEST_F(OleDrop, TheDropProtocolReachesTheViewWithClientPointsAndAllowedEffects)
{
    m_hWnd = m_view->m_hWnd;
    ASSERT_TRUE(m_target.Register(m_view));
    EXPECT_FALSE(m_target.Register(m_view)) << "one registration per target";
    EXPECT_EQ(::RegisterDragDrop(m_hWnd, Registered()), DRAGDROP_E_ALREADYREGISTERED)
        << "the system knows the window as a drop target";

    // What the view answers, what the source allows, what the drag over shows and what the
    // drop makes, and whether the view's OnDrop ran.
    struct Case {
        const char* name;
        DROPEFFECT answer, allowed, shown;
        BOOL dropSucceeds;
        DROPEFFECT dropEx, made;
        const char* log;
    } cases[] = {
        {"copy taken", DROPEFFECT_COPY, DROPEFFECT_COPY | DROPEFFECT_MOVE, DROPEFFECT_COPY, TRUE, (DROPEFFECT)-1,
         DROPEFFECT_COPY, "enter over drop "},
        {"a move becomes the copy allowed", DROPEFFECT_MOVE, DROPEFFECT_COPY, DROPEFFECT_COPY, TRUE, (DROPEFFECT)-1,
         DROPEFFECT_COPY, "enter over drop "},
        {"copy and link both allowed", DROPEFFECT_COPY | DROPEFFECT_LINK, 7, DROPEFFECT_COPY | DROPEFFECT_LINK, TRUE,
         (DROPEFFECT)-1, DROPEFFECT_COPY | DROPEFFECT_LINK, "enter over drop "},
        {"a link is never changed", DROPEFFECT_LINK, DROPEFFECT_COPY, DROPEFFECT_NONE, TRUE, (DROPEFFECT)-1,
         DROPEFFECT_NONE, "enter over leave "},
        {"a refused drop makes nothing", DROPEFFECT_COPY, DROPEFFECT_COPY, DROPEFFECT_COPY, FALSE, (DROPEFFECT)-1,
         DROPEFFECT_NONE, "enter over drop "},
        {"OnDropEx decides alone", DROPEFFECT_COPY, 7, DROPEFFECT_COPY, TRUE, DROPEFFECT_MOVE, DROPEFFECT_MOVE,
         "enter over "},
    };
    IDropTarget* target = Registered();
    LPDATAOBJECT data = m_source.GetDataObject(FALSE);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_view->answer = c.answer;
        m_view->dropSucceeds = c.dropSucceeds;
        m_view->dropEx = c.dropEx;
        m_view->log.clear();
        m_view->droppedText.clear();
        DWORD effect = c.allowed;
        ASSERT_EQ(target->DragEnter(data, MK_LBUTTON, POINTL{110, 60}, &effect), S_OK);
        EXPECT_EQ(effect, c.shown);
        EXPECT_TRUE(m_view->sawText);
        effect = c.allowed;
        ASSERT_EQ(target->DragOver(MK_LBUTTON, POINTL{150, 90}, &effect), S_OK);
        EXPECT_EQ(effect, c.shown);
        effect = c.allowed;
        ASSERT_EQ(target->Drop(data, 0, POINTL{160, 95}, &effect), S_OK);
        EXPECT_EQ(effect, c.made);
        EXPECT_EQ(m_view->log, c.log);
        if (m_view->log.find("drop") != std::string::npos) {
            EXPECT_EQ(m_view->dropped, c.shown);
            EXPECT_EQ(m_view->lastPoint, CPoint(60, 45)) << "client coordinates of the window at (100, 50)";
            EXPECT_EQ(m_view->droppedText, "B1:B20");
        }
    }

    // A drag that leaves tells the view; a drop with no drag over first is still asked.
    m_view->answer = DROPEFFECT_COPY;
    m_view->dropEx = (DROPEFFECT)-1;
    m_view->dropSucceeds = TRUE;
    m_view->log.clear();
    DWORD effect = DROPEFFECT_COPY;
    target->DragEnter(data, 0, POINTL{110, 60}, &effect);
    target->DragLeave();
    effect = DROPEFFECT_COPY;
    target->Drop(data, 0, POINTL{110, 60}, &effect);
    EXPECT_EQ(m_view->log, "enter leave enter drop ");
    EXPECT_EQ(effect, DROPEFFECT_COPY);
}

TEST_F(OleDrop, AWindowThatIsNotAViewRefusesAndDestructionEndsTheRegistration)
{
    CWnd plain;
    ASSERT_TRUE(plain.CreateEx(0, AfxRegisterWndClass(0), "plain", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
    COleDropTarget plainTarget;
    ASSERT_TRUE(plainTarget.Register(&plain));
    DWORD effect = DROPEFFECT_COPY;
    IDropTarget* target = (IDropTarget*)plainTarget.GetInterface(&IID_IDropTarget);
    target->DragEnter(m_source.GetDataObject(FALSE), 0, POINTL{10, 10}, &effect);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
    target->DragLeave();

    // Destroying the window ends the registration before the handle goes.
    HWND hWnd = plain.m_hWnd;
    plain.DestroyWindow();
    EXPECT_EQ(plainTarget.GetRegisteredWindow(), nullptr);
    EXPECT_FALSE(::IsWindow(hWnd));

    m_hWnd = m_view->m_hWnd;
    ASSERT_TRUE(m_target.Register(m_view));
    m_target.Revoke();
    EXPECT_EQ(m_target.GetRegisteredWindow(), nullptr);
    COleDropTarget another;
    EXPECT_TRUE(another.Register(m_view)) << "a revoked window can be registered again";
    ::DestroyWindow(m_hWnd);
    EXPECT_EQ(another.GetRegisteredWindow(), nullptr);
}

} // namespace
