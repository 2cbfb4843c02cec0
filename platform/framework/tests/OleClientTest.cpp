// Client items through real OLE: an object made from the clipboard's picture, drawn from
// its cache, kept in a document's archive and read back; refusals leave the item empty.
#include <afxole.h>
#include <gtest/gtest.h>
#include <vector>

namespace {

class RecordingItem : public COleClientItem
{
public:
    using COleClientItem::COleClientItem;
    std::vector<std::pair<OLE_NOTIFICATION, DWORD>> changes;
    void OnChange(OLE_NOTIFICATION nCode, DWORD dwParam) override
    {
        changes.emplace_back(nCode, dwParam);
        COleClientItem::OnChange(nCode, dwParam);
    }
};

// A red rectangle on white as a metafile picture of 2 by 1 cm.
HGLOBAL RedPicture()
{
    HDC mdc = ::CreateMetaFileA(nullptr);
    ::SetWindowOrgEx(mdc, 0, 0, nullptr);
    ::SetWindowExtEx(mdc, 200, 100, nullptr);
    HBRUSH red = ::CreateSolidBrush(RGB(255, 0, 0));
    RECT all = {0, 0, 200, 100};
    ::FillRect(mdc, &all, red);
    ::DeleteObject(red);
    HMETAFILE mf = ::CloseMetaFile(mdc);
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, sizeof(METAFILEPICT));
    auto* pict = (METAFILEPICT*)::GlobalLock(block);
    pict->mm = MM_ANISOTROPIC;
    pict->xExt = 2000;
    pict->yExt = 1000;
    pict->hMF = mf;
    ::GlobalUnlock(block);
    return block;
}

void PutPictureOnClipboard()
{
    auto* source = new COleDataSource;
    STGMEDIUM medium = {};
    medium.tymed = TYMED_MFPICT;
    medium.hMetaFilePict = RedPicture();
    FORMATETC format = {CF_METAFILEPICT, nullptr, DVASPECT_CONTENT, -1, TYMED_MFPICT};
    source->CacheData(CF_METAFILEPICT, &medium, &format);
    source->SetClipboard();
}

// The colour at the centre of what the item draws into a 100 by 60 white bitmap.
COLORREF CentreOfDrawing(COleClientItem& item)
{
    CDC screen;
    screen.Attach(::GetDC(nullptr));
    CDC dc;
    dc.CreateCompatibleDC(&screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen.m_hDC, 100, 60);
    HGDIOBJ old = ::SelectObject(dc.m_hDC, bitmap);
    RECT all = {0, 0, 100, 60};
    ::FillRect(dc.m_hDC, &all, (HBRUSH)::GetStockObject(WHITE_BRUSH));
    EXPECT_TRUE(item.Draw(&dc, &all));
    COLORREF centre = ::GetPixel(dc.m_hDC, 50, 30);
    ::SelectObject(dc.m_hDC, old);
    ::DeleteObject(bitmap);
    ::ReleaseDC(nullptr, screen.Detach());
    return centre;
}

TEST(OleClientItem, APictureOnTheClipboardBecomesAnItemThatDrawsAndSurvivesItsArchive)
{
    ASSERT_TRUE(AfxOleInit());
    COleDocument doc;
    PutPictureOnClipboard();
    EXPECT_TRUE(COleClientItem::CanPaste());

    auto* item = new RecordingItem(&doc);
    ASSERT_TRUE(item->CreateFromClipboard());
    EXPECT_EQ(item->GetItemState(), (UINT)COleClientItem::loadedState);
    EXPECT_EQ(item->GetType(), OT_STATIC);
    POSITION pos = doc.GetStartPosition();
    EXPECT_EQ(doc.GetNextClientItem(pos), item);
    EXPECT_EQ(doc.GetNextClientItem(pos), nullptr);
    EXPECT_EQ(doc.GetInPlaceActiveItem(nullptr), nullptr);
    EXPECT_EQ(CentreOfDrawing(*item), RGB(255, 0, 0));

    // The item answers as the object's site, and every interface leads to the same item.
    LPUNKNOWN site = item->GetInterface(&IID_IOleClientSite);
    ASSERT_NE(site, nullptr);
    for (const IID* iid : {&IID_IAdviseSink, &IID_IOleInPlaceSite, &IID_IOleWindow}) {
        LPUNKNOWN part = nullptr;
        ASSERT_EQ(site->QueryInterface(*iid, (void**)&part), S_OK);
        LPUNKNOWN back = nullptr;
        ASSERT_EQ(part->QueryInterface(IID_IOleClientSite, (void**)&back), S_OK);
        EXPECT_EQ(back, site);
        back->Release();
        part->Release();
    }
    // No view: nowhere to activate in place.
    LPOLEINPLACESITE ipsite = (LPOLEINPLACESITE)item->GetInterface(&IID_IOleInPlaceSite);
    EXPECT_EQ(ipsite->CanInPlaceActivate(), S_FALSE);
    HWND wnd = (HWND)1;
    EXPECT_TRUE(FAILED(ipsite->GetWindow(&wnd)));

    // The object's picture kept in an archive and read back into a new item.
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        item->Serialize(ar);
    }
    file.SeekToBegin();
    auto* loaded = new RecordingItem(&doc);
    {
        CArchive ar(&file, CArchive::load);
        loaded->Serialize(ar);
    }
    EXPECT_EQ(loaded->GetItemState(), (UINT)COleClientItem::loadedState);
    EXPECT_EQ(loaded->GetDrawAspect(), DVASPECT_CONTENT);
    EXPECT_EQ(CentreOfDrawing(*loaded), RGB(255, 0, 0));

    // Closing a loaded object changes nothing; deleting leaves the document.
    loaded->Close();
    EXPECT_EQ(loaded->GetItemState(), (UINT)COleClientItem::loadedState);
    loaded->Delete();
    item->Delete();
    pos = doc.GetStartPosition();
    EXPECT_EQ(doc.GetNextClientItem(pos), nullptr);
}

TEST(OleClientItem, WhatMakesNoObjectLeavesTheItemEmpty)
{
    ASSERT_TRUE(AfxOleInit());
    COleDocument doc;
    // Text alone is no object and no picture.
    auto* source = new COleDataSource;
    HGLOBAL text = ::GlobalAlloc(GMEM_MOVEABLE, 6);
    memcpy(::GlobalLock(text), "hello", 6);
    ::GlobalUnlock(text);
    source->CacheGlobalData(CF_TEXT, text);
    source->SetClipboard();
    EXPECT_FALSE(COleClientItem::CanPaste());

    struct Case {
        const char* what;
        BOOL (*create)(COleClientItem&);
    } cases[] = {
        {"clipboard text", [](COleClientItem& i) { return i.CreateFromClipboard(); }},
        {"unknown class", [](COleClientItem& i) {
             CLSID clsid;
             ::CLSIDFromString(L"{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}", &clsid);
             return i.CreateNewItem(clsid);
         }},
        {"missing file", [](COleClientItem& i) { return i.CreateFromFile("C:\\no\\such\\file.qpj"); }},
    };
    for (const Case& c : cases) {
        RecordingItem item(&doc);
        EXPECT_FALSE(c.create(item)) << c.what;
        EXPECT_EQ(item.GetItemState(), (UINT)COleClientItem::emptyState) << c.what;
        EXPECT_EQ(item.m_lpObject, nullptr) << c.what;
        RECT r = {0, 0, 10, 10};
        CDC dc;
        dc.Attach(::GetDC(nullptr));
        EXPECT_FALSE(item.Draw(&dc, &r)) << c.what;
        ::ReleaseDC(nullptr, dc.Detach());
        EXPECT_TRUE(item.changes.empty()) << c.what;
        // An empty item keeps nothing in the archive and reads back empty.
        CMemFile file;
        {
            CArchive ar(&file, CArchive::store);
            item.Serialize(ar);
        }
        file.SeekToBegin();
        RecordingItem back(&doc);
        CArchive ar(&file, CArchive::load);
        back.Serialize(ar);
        EXPECT_EQ(back.GetItemState(), (UINT)COleClientItem::emptyState) << c.what;
    }
}

} // namespace

namespace {

// An object that activates itself in place the way servers do: through the site it is
// given, into a child window of the site's window, telling the frame it is the active
// object; closing deactivates it the same way.
class InPlaceObject : public IOleObject, public IOleInPlaceObject
{
public:
    LONG refs = 1;
    LPOLECLIENTSITE site = nullptr;
    LPOLEINPLACESITE ipsite = nullptr;
    LPOLEINPLACEFRAME frame = nullptr;
    HWND window = nullptr;
    RECT placed = {};
    BOOL mdi = FALSE;
    HWND frameWnd = nullptr;
    BOOL refused = FALSE;   // the site said no: the object would open in its own window

    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override
    {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleObject))
            *ppv = static_cast<IOleObject*>(this);
        else if (IsEqualIID(iid, IID_IOleInPlaceObject) || IsEqualIID(iid, IID_IOleWindow))
            *ppv = static_cast<IOleInPlaceObject*>(this);
        else {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    STDMETHOD_(ULONG, AddRef)() override { return ++refs; }
    STDMETHOD_(ULONG, Release)() override { return --refs; }

    STDMETHOD(SetClientSite)(LPOLECLIENTSITE s) override
    {
        if (s != nullptr)
            s->AddRef();
        if (site != nullptr)
            site->Release();
        site = s;
        return S_OK;
    }
    STDMETHOD(GetClientSite)(LPOLECLIENTSITE*) override { return E_NOTIMPL; }
    STDMETHOD(SetHostNames)(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    STDMETHOD(Close)(DWORD) override
    {
        InPlaceDeactivate();
        return S_OK;
    }
    STDMETHOD(SetMoniker)(DWORD, LPMONIKER) override { return E_NOTIMPL; }
    STDMETHOD(GetMoniker)(DWORD, DWORD, LPMONIKER*) override { return E_NOTIMPL; }
    STDMETHOD(InitFromData)(LPDATAOBJECT, BOOL, DWORD) override { return E_NOTIMPL; }
    STDMETHOD(GetClipboardData)(DWORD, LPDATAOBJECT*) override { return E_NOTIMPL; }
    STDMETHOD(DoVerb)(LONG, LPMSG, LPOLECLIENTSITE active, LONG, HWND parent, LPCRECT) override
    {
        if (FAILED(active->QueryInterface(IID_IOleInPlaceSite, (void**)&ipsite)))
            return E_FAIL;
        if (ipsite->CanInPlaceActivate() != S_OK) {
            refused = TRUE;
            ipsite->Release();
            ipsite = nullptr;
            return S_OK;
        }
        ipsite->OnInPlaceActivate();
        LPOLEINPLACEUIWINDOW doc = nullptr;
        RECT clip;
        OLEINPLACEFRAMEINFO info = {sizeof info};
        if (FAILED(ipsite->GetWindowContext(&frame, &doc, &placed, &clip, &info)))
            return E_FAIL;
        mdi = info.fMDIApp;
        frameWnd = info.hwndFrame;
        if (doc != nullptr)
            doc->Release();
        window = ::CreateWindowA("STATIC", "in place", WS_CHILD | WS_VISIBLE, placed.left, placed.top,
                                 placed.right - placed.left, placed.bottom - placed.top, parent, nullptr, nullptr,
                                 nullptr);
        frame->SetActiveObject(nullptr, L"object");
        ipsite->OnUIActivate();
        return S_OK;
    }
    STDMETHOD(EnumVerbs)(LPENUMOLEVERB*) override { return E_NOTIMPL; }
    STDMETHOD(Update)() override { return S_OK; }
    STDMETHOD(IsUpToDate)() override { return S_OK; }
    STDMETHOD(GetUserClassID)(CLSID* clsid) override
    {
        *clsid = CLSID_NULL;
        return S_OK;
    }
    STDMETHOD(GetUserType)(DWORD, LPOLESTR*) override { return E_NOTIMPL; }
    STDMETHOD(SetExtent)(DWORD, SIZEL*) override { return S_OK; }
    STDMETHOD(GetExtent)(DWORD, SIZEL*) override { return E_NOTIMPL; }
    STDMETHOD(Advise)(LPADVISESINK, DWORD* connection) override
    {
        *connection = 1;
        return S_OK;
    }
    STDMETHOD(Unadvise)(DWORD) override { return S_OK; }
    STDMETHOD(EnumAdvise)(LPENUMSTATDATA*) override { return E_NOTIMPL; }
    STDMETHOD(GetMiscStatus)(DWORD, DWORD* status) override
    {
        *status = 0;
        return S_OK;
    }
    STDMETHOD(SetColorScheme)(LPLOGPALETTE) override { return E_NOTIMPL; }

    // IOleInPlaceObject
    STDMETHOD(GetWindow)(HWND* hwnd) override
    {
        *hwnd = window;
        return window != nullptr ? S_OK : E_FAIL;
    }
    STDMETHOD(ContextSensitiveHelp)(BOOL) override { return S_OK; }
    STDMETHOD(InPlaceDeactivate)() override
    {
        if (ipsite == nullptr)
            return S_OK;
        UIDeactivate();
        ::DestroyWindow(window);
        window = nullptr;
        ipsite->OnInPlaceDeactivate();
        ipsite->Release();
        ipsite = nullptr;
        return S_OK;
    }
    STDMETHOD(UIDeactivate)() override
    {
        if (frame == nullptr)
            return S_OK;
        frame->SetActiveObject(nullptr, nullptr);
        frame->Release();
        frame = nullptr;
        ipsite->OnUIDeactivate(FALSE);
        return S_OK;
    }
    STDMETHOD(SetObjectRects)(LPCRECT pos, LPCRECT) override
    {
        placed = *pos;
        return S_OK;
    }
    STDMETHOD(ReactivateAndUndo)() override { return E_NOTIMPL; }
};

class PlacedItem : public RecordingItem
{
public:
    using RecordingItem::RecordingItem;
    void OnGetItemPosition(CRect& r) override { r.SetRect(10, 20, 110, 70); }
};

class PlainView : public CView
{
public:
    void OnDraw(CDC*) override {}
};

TEST(OleClientItem, AnObjectActiveInPlaceSitsInTheViewAndLeavesItWhenClosed)
{
    ASSERT_TRUE(AfxOleInit());
    CFrameWnd* frame = new CFrameWnd;
    ASSERT_TRUE(frame->Create(nullptr, "Container", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 400, 300)));
    auto* view = new PlainView;
    ASSERT_TRUE(view->Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 380, 250), frame, AFX_IDW_PANE_FIRST));
    COleDocument doc;
    auto* item = new PlacedItem(&doc);
    InPlaceObject object;
    item->m_lpObject = &object;

    ASSERT_TRUE(item->DoVerb(OLEIVERB_SHOW, view));
    EXPECT_FALSE(object.refused);
    EXPECT_EQ(item->GetItemState(), (UINT)COleClientItem::activeUIState);
    EXPECT_EQ(doc.GetInPlaceActiveItem(view), item);
    EXPECT_EQ(doc.GetInPlaceActiveItem(nullptr), item);
    EXPECT_EQ(item->GetActiveView(), view);
    EXPECT_EQ(CRect(object.placed), CRect(10, 20, 110, 70));
    EXPECT_FALSE(object.mdi);
    EXPECT_EQ(object.frameWnd, frame->m_hWnd);
    ASSERT_NE(item->GetInPlaceWindow(), nullptr);
    EXPECT_EQ(item->GetInPlaceWindow()->m_hWnd, object.window);
    EXPECT_EQ(::GetParent(object.window), view->m_hWnd);

    // The view moves the object; the states go back in order as the object closes.
    EXPECT_TRUE(item->SetItemRects(CRect(5, 5, 50, 50)));
    EXPECT_EQ(CRect(object.placed), CRect(5, 5, 50, 50));
    item->changes.clear();
    item->Close();
    EXPECT_EQ(object.window, nullptr);
    EXPECT_EQ(item->GetItemState(), (UINT)COleClientItem::loadedState);
    EXPECT_EQ(doc.GetInPlaceActiveItem(view), nullptr);
    std::vector<DWORD> states;
    for (auto& change : item->changes)
        if (change.first == OLE_CHANGED_STATE)
            states.push_back(change.second);
    EXPECT_EQ(states, (std::vector<DWORD>{COleClientItem::activeState, COleClientItem::loadedState}));

    // A minimised frame is no place to activate in: the site refuses.
    frame->ShowWindow(SW_MINIMIZE);
    ASSERT_TRUE(item->DoVerb(OLEIVERB_SHOW, view));
    EXPECT_TRUE(object.refused);
    EXPECT_EQ(item->GetItemState(), (UINT)COleClientItem::loadedState);

    item->m_lpObject = nullptr;
    item->Delete();
    frame->DestroyWindow();
}

} // namespace
