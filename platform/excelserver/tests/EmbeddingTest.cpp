// The workbook embedded in a container built from raw COM: created in a storage, activated
// in place as an active document or as a plain in-place object, typed into, deactivated,
// saved into the storage and loaded back, drawn as a picture.
#include <afxdisp.h>
#include <docobj.h>

#include "QxExcelServer.h"
#include "QxExcelServerTesting.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A container site with its frame: it records what the object asks of it, and as an
// active-document site it makes, activates and shows the object's view.
class Site : public IOleClientSite,
             public IOleInPlaceSite,
             public IOleDocumentSite,
             public IOleInPlaceFrame,
             public IAdviseSink {
public:
    Site(HWND parent, bool documentSite) : m_parent(parent), m_documentSite(documentSite) {}
    ~Site() { EXPECT_EQ(nullptr, view); }

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        *ppv = nullptr;
        if (riid == IID_IUnknown || riid == IID_IOleClientSite)
            *ppv = static_cast<IOleClientSite*>(this);
        else if (riid == IID_IOleWindow || riid == IID_IOleInPlaceSite)
            *ppv = static_cast<IOleInPlaceSite*>(this);
        else if (riid == IID_IOleDocumentSite && m_documentSite)
            *ppv = static_cast<IOleDocumentSite*>(this);
        else if (riid == IID_IOleInPlaceUIWindow || riid == IID_IOleInPlaceFrame)
            *ppv = static_cast<IOleInPlaceFrame*>(this);
        else if (riid == IID_IAdviseSink)
            *ppv = static_cast<IAdviseSink*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    // The test owns the site on its stack.
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }

    // IOleClientSite
    STDMETHODIMP SaveObject() override { return Note("SaveObject"); }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP GetContainer(IOleContainer**) override { return E_NOINTERFACE; }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow, IOleInPlaceSite
    STDMETHODIMP GetWindow(HWND* hwnd) override
    {
        *hwnd = m_parent;
        return S_OK;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnInPlaceActivate() override { return Note("OnInPlaceActivate"); }
    STDMETHODIMP OnUIActivate() override { return Note("OnUIActivate"); }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos, LPRECT clip,
                                  LPOLEINPLACEFRAMEINFO) override
    {
        *frame = this;
        *doc = nullptr;
        SetRect(pos, 10, 10, 310, 210);
        *clip = *pos;
        return S_OK;
    }
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return Note("OnUIDeactivate"); }
    STDMETHODIMP OnInPlaceDeactivate() override { return Note("OnInPlaceDeactivate"); }
    STDMETHODIMP DiscardUndoState() override { return S_OK; }
    STDMETHODIMP DeactivateAndUndo() override { return S_OK; }
    STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }

    // IOleDocumentSite: what an active-document container does with the object's view.
    STDMETHODIMP ActivateMe(IOleDocumentView* given) override
    {
        Note("ActivateMe");
        if (given) {
            view = given;
            view->AddRef();
            view->SetInPlaceSite(this);
        } else {
            IOleDocument* doc = nullptr;
            if (FAILED(object->QueryInterface(IID_IOleDocument, (void**)&doc)))
                return E_FAIL;
            HRESULT hr = doc->CreateView(this, nullptr, 0, &view);
            doc->Release();
            if (FAILED(hr))
                return E_OUTOFMEMORY;
        }
        view->UIActivate(TRUE);
        RECT r = {20, 30, 420, 330};
        view->SetRect(&r);
        view->Show(TRUE);
        return S_OK;
    }

    // IOleInPlaceUIWindow, IOleInPlaceFrame
    STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject* active, LPCOLESTR) override
    {
        activeObject = active;
        return S_OK;
    }
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return S_OK; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return S_OK; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

    // IAdviseSink
    STDMETHODIMP_(void) OnDataChange(FORMATETC*, STGMEDIUM*) override { ++dataChanges; }
    STDMETHODIMP_(void) OnViewChange(DWORD, LONG) override { ++viewChanges; }
    STDMETHODIMP_(void) OnRename(IMoniker*) override {}
    STDMETHODIMP_(void) OnSave() override {}
    STDMETHODIMP_(void) OnClose() override {}

    void CloseView()
    {
        if (view) {
            view->UIActivate(FALSE);
            view->CloseView(0);
            view->Release();
            view = nullptr;
        }
    }

    IUnknown* object = nullptr;
    IOleDocumentView* view = nullptr;
    IOleInPlaceActiveObject* activeObject = nullptr;
    std::string log;
    int viewChanges = 0, dataChanges = 0;

private:
    HRESULT Note(const char* what)
    {
        log += std::string(what) + " ";
        return S_OK;
    }
    HWND m_parent;
    bool m_documentSite;
};

class EmbeddingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(reg.ok());
        ASSERT_EQ(S_OK, OleInitialize(nullptr));
        ASSERT_EQ(S_OK, CLSIDFromProgID(L"Excel.Sheet.8", &clsid));
        parent = CreateWindowW(L"STATIC", L"container", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 640, 480,
                               nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, parent);
        ASSERT_EQ(S_OK, StgCreateDocfile(nullptr,
                                         STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_DELETEONRELEASE,
                                         0, &storage));
    }
    void TearDown() override
    {
        if (storage)
            storage->Release();
        DestroyWindow(parent);
        OleUninitialize();
    }
    IOleObject* Create(Site& site)
    {
        IOleObject* object = nullptr;
        EXPECT_EQ(S_OK, OleCreate(clsid, IID_IOleObject, OLERENDER_DRAW, nullptr, &site, storage, (void**)&object));
        site.object = object;
        return object;
    }
    static COleVariant Cell(IOleObject* object, const char* name)
    {
        IDispatch* disp = nullptr;
        EXPECT_EQ(S_OK, object->QueryInterface(IID_IDispatch, (void**)&disp));
        COleDispatchDriver book(disp);
        LPDISPATCH sheetDisp = nullptr;
        book.InvokeHelper(307, DISPATCH_PROPERTYGET, VT_DISPATCH, &sheetDisp, nullptr);
        COleDispatchDriver sheet(sheetDisp);
        COleVariant key(name);
        LPDISPATCH rangeDisp = nullptr;
        sheet.InvokeHelper(197, DISPATCH_PROPERTYGET, VT_DISPATCH, &rangeDisp, (const BYTE*)VTS_VARIANT, &key);
        COleDispatchDriver range(rangeDisp);
        COleVariant v;
        range.GetProperty(6, VT_VARIANT, &v);
        return v;
    }
    static void Type(HWND window, const char* keys)
    {
        for (const char* p = keys; *p; ++p)
            SendMessageW(window, WM_CHAR, (WPARAM)(unsigned char)*p, 0);
    }
    static HWND ObjectWindow(IOleObject* object)
    {
        IOleInPlaceObject* inPlace = nullptr;
        EXPECT_EQ(S_OK, object->QueryInterface(IID_IOleInPlaceObject, (void**)&inPlace));
        HWND window = nullptr;
        inPlace->GetWindow(&window);
        inPlace->Release();
        return window;
    }

    QxExcelServerRegistration reg;
    CLSID clsid;
    HWND parent = nullptr;
    IStorage* storage = nullptr;
};

TEST_F(EmbeddingTest, ActivatesAsADocumentInPlaceTakesTypedValuesAndDeactivates)
{
    Site site(parent, true);
    IOleObject* object = Create(site);
    ASSERT_NE(nullptr, object);
    IViewObject* viewObject = nullptr;
    ASSERT_EQ(S_OK, object->QueryInterface(IID_IViewObject, (void**)&viewObject));
    ASSERT_EQ(S_OK, viewObject->SetAdvise(DVASPECT_CONTENT, 0, &site));

    // Shown through the document site: the container's view rectangle, in its window.
    RECT r = {0, 0, 100, 100};
    ASSERT_EQ(S_OK, object->DoVerb(OLEIVERB_SHOW, nullptr, &site, 0, parent, &r));
    EXPECT_EQ("ActivateMe OnInPlaceActivate OnUIActivate ", site.log);
    ASSERT_NE(nullptr, site.view);
    EXPECT_NE(nullptr, site.activeObject);
    HWND window = ObjectWindow(object);
    ASSERT_TRUE(IsWindow(window));
    EXPECT_EQ(parent, GetParent(window));
    EXPECT_TRUE(IsWindowVisible(window) || !IsWindowVisible(parent));
    RECT placed;
    GetWindowRect(window, &placed);
    MapWindowPoints(nullptr, parent, (POINT*)&placed, 2);
    EXPECT_EQ(20, placed.left);
    EXPECT_EQ(30, placed.top);
    EXPECT_EQ(420, placed.right);
    EXPECT_EQ(330, placed.bottom);

    // Typed values become numbers or texts; Enter moves down, Tab to the right, Escape
    // drops what was typed, Backspace takes back a character.
    Type(window, "42\r");
    Type(window, "x\t");
    Type(window, "2.5e1\x1b");
    Type(window, "abd\bc\r");
    struct {
        const char* cell;
        VARTYPE vt;
        double number;
        const wchar_t* text;
    } expected[] = {
        {"A1", VT_R8, 42, nullptr},
        {"A2", VT_BSTR, 0, L"x"},
        {"B2", VT_BSTR, 0, L"abc"},
        {"B3", VT_EMPTY, 0, nullptr},
    };
    for (auto& e : expected) {
        COleVariant v = Cell(object, e.cell);
        EXPECT_EQ(e.vt, v.vt) << e.cell;
        if (e.vt == VT_R8) {
            EXPECT_EQ(e.number, v.dblVal) << e.cell;
        } else if (e.vt == VT_BSTR) {
            EXPECT_STREQ(e.text, v.bstrVal) << e.cell;
        }
    }
    EXPECT_GE(site.viewChanges, 3);
    IPersistStorage* persist = nullptr;
    ASSERT_EQ(S_OK, object->QueryInterface(IID_IPersistStorage, (void**)&persist));
    EXPECT_EQ(S_OK, persist->IsDirty());
    persist->Release();

    // Commands the stand-in does not carry out say so.
    IOleCommandTarget* target = nullptr;
    ASSERT_EQ(S_OK, object->QueryInterface(IID_IOleCommandTarget, (void**)&target));
    EXPECT_EQ(OLECMDERR_E_NOTSUPPORTED, target->Exec(nullptr, OLECMDID_PRINT, OLECMDEXECOPT_DONTPROMPTUSER,
                                                     nullptr, nullptr));
    target->Release();

    // Leaving: the user interface first, then the window goes.
    site.log.clear();
    site.CloseView();
    EXPECT_EQ("OnUIDeactivate OnInPlaceDeactivate ", site.log);
    EXPECT_EQ(nullptr, site.activeObject);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(S_OK, object->DoVerb(OLEIVERB_HIDE, nullptr, &site, 0, parent, &r));

    viewObject->SetAdvise(DVASPECT_CONTENT, 0, nullptr);
    viewObject->Release();
    object->Close(OLECLOSE_NOSAVE);
    object->SetClientSite(nullptr);
    EXPECT_EQ(0u, object->Release());
}

TEST_F(EmbeddingTest, KeptInTheContainersStorageAndDrawnAsAPicture)
{
    Site site(parent, false);
    IOleObject* object = Create(site);
    ASSERT_NE(nullptr, object);

    // A plain in-place site: activated in place without its user interface, which a
    // click then brings.
    RECT r = {0, 0, 100, 100};
    ASSERT_EQ(S_OK, object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, 0, parent, &r));
    EXPECT_EQ("OnInPlaceActivate ", site.log);
    HWND window = ObjectWindow(object);
    ASSERT_TRUE(IsWindow(window));
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40 + 72 + 5, 20 + 20 * 3 + 5)); // B4
    SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(40 + 72 + 5, 20 + 20 * 3 + 5));
    EXPECT_EQ("OnInPlaceActivate OnUIActivate ", site.log);
    Type(window, "-7\r");
    COleVariant typed = Cell(object, "B4");
    ASSERT_EQ(VT_R8, typed.vt);
    EXPECT_EQ(-7, typed.dblVal);

    SIZEL extent = {5000, 3000}, back = {0, 0};
    EXPECT_EQ(S_OK, object->SetExtent(DVASPECT_CONTENT, &extent));
    EXPECT_EQ(S_OK, object->GetExtent(DVASPECT_CONTENT, &back));
    EXPECT_EQ(5000, back.cx);
    EXPECT_EQ(3000, back.cy);
    DWORD misc = 0;
    EXPECT_EQ(S_OK, object->GetMiscStatus(DVASPECT_CONTENT, &misc));
    EXPECT_EQ(0u, misc & OLEMISC_INSIDEOUT);

    // Saved into the storage while active and loaded into a new object.
    IPersistStorage* persist = nullptr;
    ASSERT_EQ(S_OK, object->QueryInterface(IID_IPersistStorage, (void**)&persist));
    ASSERT_EQ(S_OK, OleSave(persist, storage, TRUE));
    EXPECT_EQ(S_OK, persist->SaveCompleted(nullptr));
    persist->Release();
    object->Close(OLECLOSE_NOSAVE);
    EXPECT_FALSE(IsWindow(window));
    object->SetClientSite(nullptr);
    EXPECT_EQ(0u, object->Release());

    Site again(parent, false);
    IOleObject* loaded = nullptr;
    ASSERT_EQ(S_OK, OleLoad(storage, IID_IOleObject, &again, (void**)&loaded));
    again.object = loaded;
    COleVariant v = Cell(loaded, "B4");
    ASSERT_EQ(VT_R8, v.vt);
    EXPECT_EQ(-7, v.dblVal);

    // The picture: a metafile of the extent, and the same cells drawn into a bitmap.
    IDataObject* data = nullptr;
    ASSERT_EQ(S_OK, loaded->QueryInterface(IID_IDataObject, (void**)&data));
    FORMATETC fmt = {CF_METAFILEPICT, nullptr, DVASPECT_CONTENT, -1, TYMED_MFPICT};
    STGMEDIUM medium = {};
    ASSERT_EQ(S_OK, data->GetData(&fmt, &medium));
    METAFILEPICT* pict = (METAFILEPICT*)GlobalLock(medium.hMetaFilePict);
    EXPECT_EQ(MM_ANISOTROPIC, pict->mm);
    EXPECT_GT(pict->xExt, 0);
    EXPECT_NE(nullptr, pict->hMF);
    GlobalUnlock(medium.hMetaFilePict);
    ReleaseStgMedium(&medium);
    FORMATETC bitmap = {CF_BITMAP, nullptr, DVASPECT_CONTENT, -1, TYMED_GDI};
    EXPECT_EQ(DV_E_FORMATETC, data->GetData(&bitmap, &medium));
    data->Release();

    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 300, 200);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bmp);
    RECTL bounds = {0, 0, 300, 200};
    ASSERT_EQ(S_OK, OleDraw(loaded, DVASPECT_CONTENT, dc, (LPCRECT)&bounds));
    int dark = 0;
    for (int y = 0; y < 200; y += 2)
        for (int x = 0; x < 300; x += 2)
            if (GetRValue(GetPixel(dc, x, y)) < 100)
                ++dark;
    EXPECT_GT(dark, 0) << "no text drawn";
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);

    loaded->Close(OLECLOSE_NOSAVE);
    loaded->SetClientSite(nullptr);
    EXPECT_EQ(0u, loaded->Release());
}

TEST_F(EmbeddingTest, AWorkbookFileBecomesAnEmbeddedObject)
{
    // A workbook written to a file by automation, then embedded from that file.
    wchar_t folder[MAX_PATH], path[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    GetTempFileNameW(folder, L"qxb", 0, path);
    DeleteFileW(path);
    wcscat(path, L".xls");
    {
        COleDispatchDriver book;
        ASSERT_TRUE(book.CreateDispatch(clsid));
        LPDISPATCH sheetDisp = nullptr;
        book.InvokeHelper(307, DISPATCH_PROPERTYGET, VT_DISPATCH, &sheetDisp, nullptr);
        COleDispatchDriver sheet(sheetDisp);
        COleVariant key("C3");
        LPDISPATCH rangeDisp = nullptr;
        sheet.InvokeHelper(197, DISPATCH_PROPERTYGET, VT_DISPATCH, &rangeDisp, (const BYTE*)VTS_VARIANT, &key);
        COleDispatchDriver range(rangeDisp);
        range.SetProperty(6, VT_R8, 3.25);
        IPersistFile* file = nullptr;
        ASSERT_EQ(S_OK, book.m_lpDispatch->QueryInterface(IID_IPersistFile, (void**)&file));
        EXPECT_EQ(S_OK, file->Save(path, TRUE));
        file->Release();
    }
    Site site(parent, true);
    IOleObject* object = nullptr;
    ASSERT_EQ(S_OK, OleCreateFromFile(CLSID_NULL, path, IID_IOleObject, OLERENDER_DRAW, nullptr, &site, storage,
                                      (void**)&object));
    site.object = object;
    COleVariant v = Cell(object, "C3");
    ASSERT_EQ(VT_R8, v.vt);
    EXPECT_EQ(3.25, v.dblVal);

    // A drag of the selection offers a link to it by the file's name, the sheet and the
    // block in R1C1 form.
    IDispatch* disp = nullptr;
    ASSERT_EQ(S_OK, object->QueryInterface(IID_IDispatch, (void**)&disp));
    COleDispatchDriver book(disp);
    LPDISPATCH appDisp = nullptr;
    book.InvokeHelper(150, DISPATCH_PROPERTYGET, VT_DISPATCH, &appDisp, nullptr);
    COleDispatchDriver app(appDisp);
    LPDISPATCH sheetDisp = nullptr;
    book.InvokeHelper(307, DISPATCH_PROPERTYGET, VT_DISPATCH, &sheetDisp, nullptr);
    COleDispatchDriver sheet(sheetDisp);
    const CLIPFORMAT linkSource = (CLIPFORMAT)RegisterClipboardFormatW(L"Link Source");
    struct {
        const char* selected;
        const wchar_t* named;
    } cases[] = {{"B1:B5", L"!Sheet1!R1C2:R5C2"}, {"C3", L"!Sheet1!R3C3"}, {"A2:D7", L"!Sheet1!R2C1:R7C4"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.selected);
        COleVariant key(c.selected);
        LPDISPATCH rangeDisp = nullptr;
        sheet.InvokeHelper(197, DISPATCH_PROPERTYGET, VT_DISPATCH, &rangeDisp, (const BYTE*)VTS_VARIANT, &key);
        COleDispatchDriver(rangeDisp).InvokeHelper(304, DISPATCH_METHOD, VT_EMPTY, nullptr, nullptr);
        COleVariant dragged;
        app.GetProperty(QXDISPID_DRAGDATA, VT_VARIANT, &dragged);
        ASSERT_EQ(VT_UNKNOWN, dragged.vt);
        IDataObject* data = nullptr;
        ASSERT_EQ(S_OK, dragged.punkVal->QueryInterface(IID_IDataObject, (void**)&data));
        IDropSource* source = nullptr;
        EXPECT_EQ(S_OK, dragged.punkVal->QueryInterface(IID_IDropSource, (void**)&source));
        if (source) {
            EXPECT_EQ(DRAGDROP_S_DROP, source->QueryContinueDrag(FALSE, 0));
            EXPECT_EQ(DRAGDROP_S_CANCEL, source->QueryContinueDrag(TRUE, MK_LBUTTON));
            source->Release();
        }
        // The one format offered, on both media a link reader asks for.
        IEnumFORMATETC* formats = nullptr;
        ASSERT_EQ(S_OK, data->EnumFormatEtc(DATADIR_GET, &formats));
        FORMATETC offered[2];
        ULONG count = 0;
        formats->Next(2, offered, &count);
        formats->Release();
        ASSERT_EQ(1u, count);
        EXPECT_EQ(linkSource, offered[0].cfFormat);
        FORMATETC text = {CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        EXPECT_EQ(DV_E_FORMATETC, data->QueryGetData(&text));
        for (DWORD tymed : {TYMED_HGLOBAL, TYMED_ISTREAM}) {
            FORMATETC link = {linkSource, nullptr, DVASPECT_CONTENT, -1, tymed};
            STGMEDIUM medium = {};
            ASSERT_EQ(S_OK, data->GetData(&link, &medium));
            IStream* stream = medium.pstm;
            if (tymed == TYMED_HGLOBAL)
                ASSERT_EQ(S_OK, CreateStreamOnHGlobal(medium.hGlobal, FALSE, &stream));
            else
                stream->AddRef();
            IMoniker* moniker = nullptr;
            ASSERT_EQ(S_OK, OleLoadFromStream(stream, IID_IMoniker, (void**)&moniker));
            CLSID after = CLSID_NULL;
            EXPECT_EQ(S_OK, ReadClassStm(stream, &after));
            EXPECT_TRUE(IsEqualCLSID(CLSID_QxStandInWorkbook, after));
            IBindCtx* context = nullptr;
            CreateBindCtx(0, &context);
            LPOLESTR name = nullptr;
            ASSERT_EQ(S_OK, moniker->GetDisplayName(context, nullptr, &name));
            EXPECT_EQ(std::wstring(path) + c.named, std::wstring(name));
            CoTaskMemFree(name);
            context->Release();
            moniker->Release();
            stream->Release();
            ReleaseStgMedium(&medium);
        }
        data->Release();
    }
    app.ReleaseDispatch();
    sheet.ReleaseDispatch();
    book.ReleaseDispatch();

    object->Close(OLECLOSE_NOSAVE);
    object->SetClientSite(nullptr);
    object->Release();
    DeleteFileW(path);
}

TEST_F(EmbeddingTest, RefusesWhatItCannotDo)
{
    Site site(parent, false);
    IOleObject* object = Create(site);
    ASSERT_NE(nullptr, object);
    {
        // A new book has no file a link could name: nothing to drag.
        IDispatch* disp = nullptr;
        ASSERT_EQ(S_OK, object->QueryInterface(IID_IDispatch, (void**)&disp));
        COleDispatchDriver book(disp);
        LPDISPATCH appDisp = nullptr;
        book.InvokeHelper(150, DISPATCH_PROPERTYGET, VT_DISPATCH, &appDisp, nullptr);
        COleDispatchDriver app(appDisp);
        COleVariant dragged;
        try {
            app.GetProperty(QXDISPID_DRAGDATA, VT_VARIANT, &dragged);
            ADD_FAILURE() << "a book without a file offered a drag";
        } catch (COleException* e) {
            EXPECT_EQ(MK_E_UNAVAILABLE, e->m_sc);
            e->Delete();
        }
    }
    SIZEL empty = {0, 10};
    EXPECT_EQ(E_INVALIDARG, object->SetExtent(DVASPECT_CONTENT, &empty));
    RECT r = {0, 0, 100, 100};
    EXPECT_EQ(OLEOBJ_E_INVALIDVERB, object->DoVerb(OLEIVERB_OPEN, nullptr, &site, 0, parent, &r));

    // A storage without a workbook, and one whose workbook is not of this server.
    IPersistStorage* persist = nullptr;
    ASSERT_EQ(S_OK, object->QueryInterface(IID_IPersistStorage, (void**)&persist));
    IStorage* blank = nullptr;
    ASSERT_EQ(S_OK, StgCreateDocfile(nullptr, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_DELETEONRELEASE,
                                     0, &blank));
    EXPECT_TRUE(FAILED(persist->Load(blank)));
    IStream* stream = nullptr;
    ASSERT_EQ(S_OK, blank->CreateStream(L"Workbook", STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &stream));
    stream->Write("not a workbook\n", 15, nullptr);
    stream->Release();
    EXPECT_EQ(STG_E_READFAULT, persist->Load(blank));
    blank->Release();
    persist->Release();

    object->Close(OLECLOSE_NOSAVE);
    object->SetClientSite(nullptr);
    EXPECT_EQ(0u, object->Release());
}

} // namespace
