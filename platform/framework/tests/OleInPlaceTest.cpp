// A server document activated in place by a container of the same process: the in-place
// frame over the object's rectangle holding the document's own view, the container's menu
// merged with the in-place menu, commands of the merged menu reaching the view, the
// container moving the object, and deactivation giving the view back to its frame.
#include <afxole.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#define IDR_PICTURE 310
#define IDR_PICTURE_INPLACE 311
#define ID_PICTURE_RECOLOUR 32900

namespace {

std::vector<std::string> g_log;

class CPictureDoc : public COleServerDoc
{
    DECLARE_DYNCREATE(CPictureDoc)
public:
    COleServerItem* OnGetEmbeddedItem() override;
};

class CPictureItem : public COleServerItem
{
public:
    explicit CPictureItem(CPictureDoc* doc) : COleServerItem(doc, TRUE) {}
    BOOL OnDraw(CDC*, CSize&) override { return TRUE; }
    BOOL OnGetExtent(DVASPECT, CSize& size) override
    {
        size = CSize(2540, 2540);
        return TRUE;
    }
};

IMPLEMENT_DYNCREATE(CPictureDoc, COleServerDoc)

COleServerItem* CPictureDoc::OnGetEmbeddedItem()
{
    return new CPictureItem(this);
}

class CPictureView : public CView
{
    DECLARE_DYNCREATE(CPictureView)
public:
    void OnDraw(CDC*) override {}
protected:
    afx_msg void OnRecolour() { g_log.push_back("view recolour"); }
    DECLARE_MESSAGE_MAP()
};

IMPLEMENT_DYNCREATE(CPictureView, CView)

BEGIN_MESSAGE_MAP(CPictureView, CView)
    ON_COMMAND(ID_PICTURE_RECOLOUR, OnRecolour)
END_MESSAGE_MAP()

std::string MenuTexts(HMENU menu)
{
    std::string all;
    for (int i = 0; menu != nullptr && i < ::GetMenuItemCount(menu); ++i) {
        char text[64] = "";
        ::GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
        all += std::string(all.empty() ? "" : " ") + text;
    }
    return all;
}

// A container with one object: its window, its menu (File and Window), its site and frame.
class Container : public IOleClientSite, public IOleInPlaceSite, public IOleInPlaceFrame
{
public:
    HWND window = nullptr;
    HMENU menu = nullptr;
    RECT pos = {20, 30, 220, 130};
    HRESULT canActivate = S_OK;
    LPOLEINPLACEACTIVEOBJECT active = nullptr;
    std::vector<std::string> calls;

    Container()
    {
        menu = ::CreateMenu();
        HMENU file = ::CreatePopupMenu(), windows = ::CreatePopupMenu();
        ::AppendMenuA(file, MF_STRING, 1, "E&xit");
        ::AppendMenuA(windows, MF_STRING, 2, "&Arrange");
        ::AppendMenuA(menu, MF_POPUP, (UINT_PTR)file, "&File");
        ::AppendMenuA(menu, MF_POPUP, (UINT_PTR)windows, "&Window");
        window = ::CreateWindowExA(0, "STATIC", "Container", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, 0,
                                   0, 400, 300, nullptr, menu, nullptr, nullptr);
    }
    ~Container()
    {
        if (active)
            active->Release();
        ::DestroyWindow(window);
    }

    // IUnknown, shared by the three interfaces.
    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override
    {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite))
            *ppv = static_cast<IOleClientSite*>(this);
        else if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceSite))
            *ppv = static_cast<IOleInPlaceSite*>(this);
        else if (IsEqualIID(iid, IID_IOleInPlaceUIWindow) || IsEqualIID(iid, IID_IOleInPlaceFrame))
            *ppv = static_cast<IOleInPlaceFrame*>(this);
        else {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        return S_OK;
    }
    STDMETHOD_(ULONG, AddRef)() override { return 2; }
    STDMETHOD_(ULONG, Release)() override { return 1; }
    // IOleClientSite
    STDMETHOD(SaveObject)() override { return S_OK; }
    STDMETHOD(GetMoniker)(DWORD, DWORD, IMoniker** mk) override
    {
        *mk = nullptr;
        return E_NOTIMPL;
    }
    STDMETHOD(GetContainer)(IOleContainer** c) override
    {
        *c = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD(ShowObject)() override { return S_OK; }
    STDMETHOD(OnShowWindow)(BOOL) override { return S_OK; }
    STDMETHOD(RequestNewObjectLayout)() override { return E_NOTIMPL; }
    // IOleWindow (both)
    STDMETHOD(GetWindow)(HWND* phwnd) override
    {
        *phwnd = window;
        return S_OK;
    }
    STDMETHOD(ContextSensitiveHelp)(BOOL) override { return S_OK; }
    // IOleInPlaceSite
    STDMETHOD(CanInPlaceActivate)() override { return canActivate; }
    STDMETHOD(OnInPlaceActivate)() override { return Call("inplace activate"); }
    STDMETHOD(OnUIActivate)() override { return Call("ui activate"); }
    STDMETHOD(GetWindowContext)(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT rcPos, LPRECT rcClip,
                                LPOLEINPLACEFRAMEINFO info) override
    {
        *frame = this;
        *doc = nullptr;
        *rcPos = pos;
        ::GetClientRect(window, rcClip);
        info->fMDIApp = FALSE;
        info->hwndFrame = window;
        info->haccel = nullptr;
        info->cAccelEntries = 0;
        return S_OK;
    }
    STDMETHOD(Scroll)(SIZE) override { return S_OK; }
    STDMETHOD(OnUIDeactivate)(BOOL) override { return Call("ui deactivate"); }
    STDMETHOD(OnInPlaceDeactivate)() override { return Call("inplace deactivate"); }
    STDMETHOD(DiscardUndoState)() override { return S_OK; }
    STDMETHOD(DeactivateAndUndo)() override { return S_OK; }
    STDMETHOD(OnPosRectChange)(LPCRECT) override { return S_OK; }
    // IOleInPlaceUIWindow and IOleInPlaceFrame
    STDMETHOD(GetBorder)(LPRECT r) override
    {
        ::GetClientRect(window, r);
        return S_OK;
    }
    STDMETHOD(RequestBorderSpace)(LPCBORDERWIDTHS) override { return S_OK; }
    STDMETHOD(SetBorderSpace)(LPCBORDERWIDTHS) override { return S_OK; }
    STDMETHOD(SetActiveObject)(IOleInPlaceActiveObject* object, LPCOLESTR) override
    {
        if (object)
            object->AddRef();
        if (active)
            active->Release();
        active = object;
        return S_OK;
    }
    STDMETHOD(InsertMenus)(HMENU shared, LPOLEMENUGROUPWIDTHS widths) override
    {
        ::InsertMenuA(shared, 0, MF_BYPOSITION | MF_POPUP, (UINT_PTR)::GetSubMenu(menu, 0), "&File");
        ::AppendMenuA(shared, MF_POPUP, (UINT_PTR)::GetSubMenu(menu, 1), "&Window");
        widths->width[0] = 1;
        widths->width[2] = 0;
        widths->width[4] = 1;
        return S_OK;
    }
    STDMETHOD(SetMenu)(HMENU shared, HOLEMENU, HWND) override
    {
        ::SetMenu(window, shared != nullptr ? shared : menu);
        return S_OK;
    }
    STDMETHOD(RemoveMenus)(HMENU shared) override
    {
        for (int i = ::GetMenuItemCount(shared) - 1; i >= 0; --i) {
            HMENU sub = ::GetSubMenu(shared, i);
            if (sub == ::GetSubMenu(menu, 0) || sub == ::GetSubMenu(menu, 1))
                ::RemoveMenu(shared, i, MF_BYPOSITION);
        }
        return S_OK;
    }
    STDMETHOD(SetStatusText)(LPCOLESTR) override { return S_OK; }
    STDMETHOD(EnableModeless)(BOOL) override { return S_OK; }
    STDMETHOD(TranslateAccelerator)(LPMSG, WORD) override { return S_FALSE; }

    HRESULT Call(const char* what)
    {
        calls.push_back(what);
        return S_OK;
    }
};

class OleInPlaceTest : public ::testing::Test
{
protected:
    CWinApp* m_pApp = nullptr;
    CSingleDocTemplate* m_pTemplate = nullptr;

    void SetUp() override
    {
        g_log.clear();
        m_pApp = new CWinApp("In-place Test");
        AfxWinInit(::GetModuleHandleA(nullptr), nullptr, (LPTSTR) "", SW_SHOWNORMAL);
        ASSERT_TRUE(AfxOleInit());
        m_pTemplate = new CSingleDocTemplate(IDR_PICTURE, RUNTIME_CLASS(CPictureDoc), RUNTIME_CLASS(CFrameWnd),
                                             RUNTIME_CLASS(CPictureView));
        m_pTemplate->SetServerInfo(IDR_PICTURE, IDR_PICTURE_INPLACE, RUNTIME_CLASS(COleIPFrameWnd));
        m_pApp->AddDocTemplate(m_pTemplate);
    }

    void TearDown() override
    {
        if (m_pApp->m_pMainWnd != nullptr)
            m_pApp->m_pMainWnd->DestroyWindow();
        delete m_pApp;
    }

    // A document as the template makes it for another program: hidden, with its view.
    // Closing the object (IOleObject::Close) deletes it.
    CPictureDoc* NewDocument() { return (CPictureDoc*)m_pTemplate->OpenDocumentFile(nullptr, FALSE); }

    static CView* ViewOf(CDocument* doc)
    {
        POSITION pos = doc->GetFirstViewPosition();
        return doc->GetNextView(pos);
    }
};

TEST_F(OleInPlaceTest, TheViewMovesIntoAFrameInTheContainersWindowUnderTheMergedMenuAndBack)
{
    Container container;
    CPictureDoc* doc = NewDocument();
    CView* view = ViewOf(doc);
    HWND home = ::GetParent(view->m_hWnd);
    LPOLEOBJECT object = (LPOLEOBJECT)doc->GetInterface(&IID_IOleObject);
    ASSERT_NE(object, nullptr);
    ASSERT_EQ(object->SetClientSite(&container), S_OK);

    ASSERT_EQ(object->DoVerb(OLEIVERB_SHOW, nullptr, &container, 0, container.window, &container.pos), S_OK);
    ASSERT_TRUE(doc->IsInPlaceActive());
    EXPECT_EQ(container.calls, (std::vector<std::string>{"inplace activate", "ui activate"}));
    COleIPFrameWnd* frame = doc->GetInPlaceFrame();
    // The frame is a child of the container's window over the object's rectangle and its
    // hatched border; the document's own view is inside it.
    EXPECT_EQ(::GetParent(frame->m_hWnd), container.window);
    EXPECT_TRUE(frame->IsWindowVisible());
    CRect r;
    frame->GetWindowRect(&r);
    ::MapWindowPoints(nullptr, container.window, (LPPOINT)&r, 2);
    const int w = COleResizeBar::GetHatchWidth();
    EXPECT_EQ(r, CRect(20 - w, 30 - w, 220 + w, 130 + w));
    EXPECT_EQ(::GetParent(view->m_hWnd), frame->m_hWnd);
    EXPECT_EQ(frame->GetActiveView(), view);
    // The container's groups around the server's: File, Edit, Window, Help.
    EXPECT_EQ(MenuTexts(::GetMenu(container.window)), "&File &Edit &Window &Help");
    ASSERT_NE(container.active, nullptr);
    HWND activeWindow = nullptr;
    container.active->GetWindow(&activeWindow);
    EXPECT_EQ(activeWindow, frame->m_hWnd);

    // What the container's menu sends for an item of the server's groups reaches the view.
    ::SendMessageA(frame->m_hWnd, WM_COMMAND, MAKEWPARAM(ID_PICTURE_RECOLOUR, 0), 0);
    EXPECT_EQ(g_log, (std::vector<std::string>{"view recolour"}));

    // The container moves the object: the frame follows.
    LPOLEINPLACEOBJECT inPlace = (LPOLEINPLACEOBJECT)doc->GetInterface(&IID_IOleInPlaceObject);
    ASSERT_NE(inPlace, nullptr);
    RECT moved = {50, 60, 150, 160}, clip = {0, 0, 400, 300};
    EXPECT_EQ(inPlace->SetObjectRects(&moved, &clip), S_OK);
    frame->GetWindowRect(&r);
    ::MapWindowPoints(nullptr, container.window, (LPPOINT)&r, 2);
    EXPECT_EQ(r, CRect(50 - w, 60 - w, 150 + w, 160 + w));

    // Leaving the user interface gives the container its own menu back.
    EXPECT_EQ(inPlace->UIDeactivate(), S_OK);
    EXPECT_EQ(MenuTexts(::GetMenu(container.window)), "&File &Window");
    EXPECT_EQ(::GetMenuItemCount(::GetMenu(container.window)), 2);
    EXPECT_EQ(container.active, nullptr);

    // Deactivated: the view is back in its own frame and the in-place frame is gone.
    HWND frameWindow = frame->m_hWnd;
    EXPECT_EQ(inPlace->InPlaceDeactivate(), S_OK);
    EXPECT_FALSE(doc->IsInPlaceActive());
    EXPECT_FALSE(::IsWindow(frameWindow));
    EXPECT_EQ(::GetParent(view->m_hWnd), home);
    EXPECT_EQ(container.calls,
              (std::vector<std::string>{"inplace activate", "ui activate", "ui deactivate", "inplace deactivate"}));
    object->Close(OLECLOSE_NOSAVE);
}

TEST_F(OleInPlaceTest, AContainerThatCannotHostTheObjectInPlaceGetsItOpenedInTheServersWindow)
{
    Container container;
    container.canActivate = S_FALSE;
    CPictureDoc* doc = NewDocument();
    CView* view = ViewOf(doc);
    LPOLEOBJECT object = (LPOLEOBJECT)doc->GetInterface(&IID_IOleObject);
    object->SetClientSite(&container);
    ASSERT_EQ(object->DoVerb(OLEIVERB_SHOW, nullptr, &container, 0, container.window, &container.pos), S_OK);
    EXPECT_FALSE(doc->IsInPlaceActive());
    EXPECT_TRUE(container.calls.empty());
    EXPECT_TRUE(view->GetParentFrame()->IsWindowVisible());
    EXPECT_EQ(MenuTexts(::GetMenu(container.window)), "&File &Window");
    object->Close(OLECLOSE_NOSAVE);
}

} // namespace
