// The workbook as an embedded object: kept in the container's storage, drawn as a picture
// of its visible cells, and activated in place as an active document whose window shows
// the active sheet and takes typed values.
#include "QxExcelServer.h"
#include "Workbook.h"

#include <docobj.h>
#include <ole2.h>

#include <algorithm>
#include <cstdlib>

extern "C" IMAGE_DOS_HEADER __ImageBase;

using namespace qxxl;

namespace {

// The cell grid in pixels.
const int kHeaderWidth = 40;
const int kHeaderHeight = 20;
const int kCellWidth = 72;
const int kCellHeight = 20;

const wchar_t kStreamName[] = L"Workbook";
const wchar_t kFileStreamName[] = L"File"; // the file the book was loaded from or saved to
const wchar_t kWindowClass[] = L"QxStandInSheet";

// What one drawing of the active sheet needs besides the book.
struct GridView {
    int top = 1, left = 1; // first row and column shown
    bool selection = false;
    bool editing = false;
    std::string edit; // the text being typed into the selected cell
};

std::string ColumnName(int col)
{
    std::string name;
    while (col > 0) {
        name.insert(name.begin(), (char)('A' + (col - 1) % 26));
        col = (col - 1) / 26;
    }
    return name;
}

void DrawText8(HDC dc, const std::string& text, RECT r, UINT format)
{
    int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), (int)text.size(), nullptr, 0);
    std::wstring w(n, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), (int)text.size(), &w[0], n);
    DrawTextW(dc, w.c_str(), n, &r, format | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

// The active sheet's cells from (top, left) over width x height logical units.
void PaintGrid(HDC dc, const Book& book, const GridView& view, int width, int height)
{
    const Sheet& sheet = *book.sheets[book.active];
    RECT all = {0, 0, width, height};
    HBRUSH white = (HBRUSH)GetStockObject(WHITE_BRUSH);
    FillRect(dc, &all, white);
    HBRUSH header = CreateSolidBrush(RGB(224, 224, 224));
    RECT top = {0, 0, width, kHeaderHeight}, side = {0, 0, kHeaderWidth, height};
    FillRect(dc, &top, header);
    FillRect(dc, &side, header);
    DeleteObject(header);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    HPEN grid = CreatePen(PS_SOLID, 1, RGB(192, 192, 192));
    HGDIOBJ oldPen = SelectObject(dc, grid);

    int cols = (width - kHeaderWidth + kCellWidth - 1) / kCellWidth;
    int rows = (height - kHeaderHeight + kCellHeight - 1) / kCellHeight;
    for (int i = 0; i <= cols; ++i) {
        int x = kHeaderWidth + i * kCellWidth;
        MoveToEx(dc, x, 0, nullptr);
        LineTo(dc, x, height);
        int col = view.left + i;
        if (i < cols && col <= kMaxCols)
            DrawText8(dc, ColumnName(col), RECT{x, 0, x + kCellWidth, kHeaderHeight}, DT_CENTER);
    }
    for (int j = 0; j <= rows; ++j) {
        int y = kHeaderHeight + j * kCellHeight;
        MoveToEx(dc, 0, y, nullptr);
        LineTo(dc, width, y);
        int row = view.top + j;
        if (j < rows && row <= kMaxRows)
            DrawText8(dc, std::to_string(row), RECT{0, y, kHeaderWidth, y + kCellHeight}, DT_CENTER);
    }
    for (auto& kv : sheet.cells) {
        int r = kv.first.first - view.top, c = kv.first.second - view.left;
        if (r < 0 || c < 0 || r >= rows || c >= cols)
            continue;
        RECT cell = {kHeaderWidth + c * kCellWidth + 3, kHeaderHeight + r * kCellHeight,
                     kHeaderWidth + (c + 1) * kCellWidth - 3, kHeaderHeight + (r + 1) * kCellHeight};
        bool number = kv.second.vt != VT_BSTR && kv.second.vt != VT_BOOL;
        DrawText8(dc, CellText(&kv.second), cell, number ? DT_RIGHT : DT_LEFT);
    }
    if (view.selection && !sheet.selection.empty()) {
        const Area& a = sheet.selection[0];
        int r1 = std::max(a.r1, view.top) - view.top, c1 = std::max(a.c1, view.left) - view.left;
        int r2 = a.r2 - view.top, c2 = a.c2 - view.left;
        if (r2 >= 0 && c2 >= 0 && r1 < rows && c1 < cols) {
            RECT sel = {kHeaderWidth + c1 * kCellWidth, kHeaderHeight + r1 * kCellHeight,
                        kHeaderWidth + (c2 + 1) * kCellWidth + 1, kHeaderHeight + (r2 + 1) * kCellHeight + 1};
            HBRUSH frame = CreateSolidBrush(RGB(0, 0, 0));
            FrameRect(dc, &sel, frame);
            InflateRect(&sel, -1, -1);
            FrameRect(dc, &sel, frame);
            DeleteObject(frame);
            if (view.editing && a.r1 >= view.top && a.c1 >= view.left) {
                RECT cell = {kHeaderWidth + c1 * kCellWidth + 2, kHeaderHeight + r1 * kCellHeight + 2,
                             kHeaderWidth + (c1 + 1) * kCellWidth - 1, kHeaderHeight + (r1 + 1) * kCellHeight - 1};
                FillRect(dc, &cell, white);
                cell.left += 1;
                DrawText8(dc, view.edit + "|", cell, DT_LEFT);
            }
        }
    }
    SelectObject(dc, oldPen);
    SelectObject(dc, oldFont);
    DeleteObject(grid);
}

// A typed text as a cell: a number when all of it reads as one, else text; empty clears.
Cell TypedCell(const std::string& text)
{
    Cell c;
    if (text.empty())
        return c;
    char* end = nullptr;
    double v = strtod(text.c_str(), &end);
    if (end != text.c_str() && *end == 0) {
        c.vt = VT_R8;
        c.number = v;
    } else {
        c.vt = VT_BSTR;
        c.text = text;
    }
    return c;
}

LONG HimetricFromPixels(int pixels, int perInch) { return MulDiv(pixels, 2540, perInch); }
int PixelsFromHimetric(LONG himetric, int perInch) { return MulDiv(himetric, perInch, 2540); }

class EmbeddedWorkbook final : public IDispatch,
                         public IPersistFile,
                         public IPersistStorage,
                         public IOleObject,
                         public IDataObject,
                         public IViewObject2,
                         public IOleInPlaceObject,
                         public IOleInPlaceActiveObject,
                         public IOleDocument,
                         public IOleDocumentView,
                         public IOleCommandTarget {
public:
    EmbeddedWorkbook() : m_book(std::make_shared<Book>())
    {
        InterlockedIncrement(&Server().objects);
        m_automation = NewWorkbookDispatch(m_book);
        m_automation->QueryInterface(IID_IPersistFile, (void**)&m_file);
        m_book->changed = [this] { Changed(); };
        // Five columns by twelve rows until the container sets the size.
        HDC screen = GetDC(nullptr);
        m_extent.cx = HimetricFromPixels(kHeaderWidth + 5 * kCellWidth, GetDeviceCaps(screen, LOGPIXELSX));
        m_extent.cy = HimetricFromPixels(kHeaderHeight + 12 * kCellHeight, GetDeviceCaps(screen, LOGPIXELSY));
        ReleaseDC(nullptr, screen);
    }
    ~EmbeddedWorkbook()
    {
        m_book->changed = nullptr;
        InPlaceDeactivate();
        SetInPlaceSite(nullptr);
        if (m_clientSite)
            m_clientSite->Release();
        if (m_storage)
            m_storage->Release();
        if (m_oleAdvise)
            m_oleAdvise->Release();
        if (m_dataAdvise)
            m_dataAdvise->Release();
        if (m_viewSink)
            m_viewSink->Release();
        m_file->Release();
        m_automation->Release();
        InterlockedDecrement(&Server().objects);
    }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (riid == IID_IUnknown || riid == IID_IDispatch)
            *ppv = static_cast<IDispatch*>(this);
        else if (riid == IID_IPersistFile)
            *ppv = static_cast<IPersistFile*>(this);
        else if (riid == IID_IPersistStorage || riid == IID_IPersist)
            *ppv = static_cast<IPersistStorage*>(this);
        else if (riid == IID_IOleObject)
            *ppv = static_cast<IOleObject*>(this);
        else if (riid == IID_IDataObject)
            *ppv = static_cast<IDataObject*>(this);
        else if (riid == IID_IViewObject || riid == IID_IViewObject2)
            *ppv = static_cast<IViewObject2*>(this);
        else if (riid == IID_IOleWindow || riid == IID_IOleInPlaceObject)
            *ppv = static_cast<IOleInPlaceObject*>(this);
        else if (riid == IID_IOleInPlaceActiveObject)
            *ppv = static_cast<IOleInPlaceActiveObject*>(this);
        else if (riid == IID_IOleDocument)
            *ppv = static_cast<IOleDocument*>(this);
        else if (riid == IID_IOleDocumentView)
            *ppv = static_cast<IOleDocumentView*>(this);
        else if (riid == IID_IOleCommandTarget)
            *ppv = static_cast<IOleCommandTarget*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&m_ref); }
    STDMETHODIMP_(ULONG) Release() override
    {
        LONG n = InterlockedDecrement(&m_ref);
        if (n == 0)
            delete this;
        return n;
    }

    // IDispatch: the workbook's automation object.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override { return m_automation->GetTypeInfoCount(count); }
    STDMETHODIMP GetTypeInfo(UINT i, LCID lcid, ITypeInfo** info) override
    {
        return m_automation->GetTypeInfo(i, lcid, info);
    }
    STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override
    {
        return m_automation->GetIDsOfNames(riid, names, count, lcid, ids);
    }
    STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* excep, UINT* argErr) override
    {
        return m_automation->Invoke(id, riid, lcid, flags, params, result, excep, argErr);
    }

    // IPersist, IPersistFile (the workbook's own file), IPersistStorage (inside a container)
    STDMETHODIMP GetClassID(CLSID* clsid) override
    {
        *clsid = CLSID_QxStandInWorkbook;
        return S_OK;
    }
    // Dirty for the file when unsaved, for the storage when changed since it was written.
    STDMETHODIMP IsDirty() override
    {
        return (!m_book->saved || m_revision != m_storedRevision) ? S_OK : S_FALSE;
    }
    STDMETHODIMP Load(LPCOLESTR name, DWORD mode) override
    {
        HRESULT hr = m_file->Load(name, mode);
        if (SUCCEEDED(hr))
            Changed();
        return hr;
    }
    STDMETHODIMP Save(LPCOLESTR name, BOOL remember) override { return m_file->Save(name, remember); }
    STDMETHODIMP SaveCompleted(LPCOLESTR name) override { return m_file->SaveCompleted(name); }
    STDMETHODIMP GetCurFile(LPOLESTR* name) override { return m_file->GetCurFile(name); }

    STDMETHODIMP InitNew(IStorage* storage) override
    {
        if (!storage)
            return E_INVALIDARG;
        HoldStorage(storage);
        return S_OK;
    }
    STDMETHODIMP Load(IStorage* storage) override
    {
        if (!storage)
            return E_INVALIDARG;
        IStream* stream = nullptr;
        HRESULT hr = storage->OpenStream(kStreamName, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream);
        if (FAILED(hr))
            return hr;
        std::string text;
        char buf[65536];
        ULONG n = 0;
        while (SUCCEEDED(stream->Read(buf, sizeof buf, &n)) && n > 0)
            text.append(buf, n);
        stream->Release();
        std::string error;
        if (!m_book->Read(text, error))
            return STG_E_READFAULT;
        if (SUCCEEDED(storage->OpenStream(kFileStreamName, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream))) {
            std::wstring file;
            wchar_t part[1024];
            while (SUCCEEDED(stream->Read(part, sizeof part, &n)) && n > 0)
                file.append(part, n / sizeof(wchar_t));
            stream->Release();
            m_book->file = file;
        }
        HoldStorage(storage);
        Changed();
        m_storedRevision = m_revision;
        return S_OK;
    }
    STDMETHODIMP Save(IStorage* storage, BOOL) override
    {
        if (!storage)
            return E_INVALIDARG;
        IStream* stream = nullptr;
        HRESULT hr = storage->CreateStream(kStreamName, STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &stream);
        if (FAILED(hr))
            return hr;
        std::string text = m_book->Write();
        ULONG written = 0;
        hr = stream->Write(text.data(), (ULONG)text.size(), &written);
        stream->Release();
        if (FAILED(hr) || written != text.size())
            return STG_E_WRITEFAULT;
        // The file the book came from goes with it, so a drag out of the embedded book still
        // names that file.
        if (!m_book->file.empty()) {
            hr = storage->CreateStream(kFileStreamName, STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &stream);
            if (FAILED(hr))
                return hr;
            ULONG size = (ULONG)(m_book->file.size() * sizeof(wchar_t));
            hr = stream->Write(m_book->file.data(), size, &written);
            stream->Release();
            if (FAILED(hr) || written != size)
                return STG_E_WRITEFAULT;
        }
        m_pendingRevision = m_revision;
        return S_OK;
    }
    STDMETHODIMP SaveCompleted(IStorage* storage) override
    {
        if (storage)
            HoldStorage(storage);
        m_storedRevision = m_pendingRevision;
        if (m_oleAdvise)
            m_oleAdvise->SendOnSave();
        return S_OK;
    }
    STDMETHODIMP HandsOffStorage() override
    {
        HoldStorage(nullptr);
        return S_OK;
    }

    // IOleObject
    STDMETHODIMP SetClientSite(IOleClientSite* site) override
    {
        if (site)
            site->AddRef();
        if (m_clientSite)
            m_clientSite->Release();
        m_clientSite = site;
        return S_OK;
    }
    STDMETHODIMP GetClientSite(IOleClientSite** site) override
    {
        *site = m_clientSite;
        if (m_clientSite)
            m_clientSite->AddRef();
        return S_OK;
    }
    STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP Close(DWORD option) override
    {
        // The container asks its user, if at all: the stand-in saves a changed workbook.
        if (option != OLECLOSE_NOSAVE && IsDirty() == S_OK && m_clientSite)
            m_clientSite->SaveObject();
        InPlaceDeactivate();
        if (m_oleAdvise)
            m_oleAdvise->SendOnClose();
        return S_OK;
    }
    STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
    STDMETHODIMP DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND, LPCRECT) override
    {
        if (site && site != m_clientSite)
            SetClientSite(site);
        switch (verb) {
        case OLEIVERB_PRIMARY:
        case OLEIVERB_SHOW:
        case OLEIVERB_UIACTIVATE:
        case OLEIVERB_INPLACEACTIVATE: {
            if (!m_clientSite)
                return E_UNEXPECTED;
            if (m_inPlace)
                return verb == OLEIVERB_INPLACEACTIVATE ? S_OK : UIActivateNow();
            // An active-document container makes the view itself.
            IOleDocumentSite* docSite = nullptr;
            if (verb != OLEIVERB_INPLACEACTIVATE &&
                SUCCEEDED(m_clientSite->QueryInterface(IID_IOleDocumentSite, (void**)&docSite))) {
                HRESULT hr = docSite->ActivateMe(nullptr);
                docSite->Release();
                return hr;
            }
            IOleInPlaceSite* inPlace = nullptr;
            if (FAILED(m_clientSite->QueryInterface(IID_IOleInPlaceSite, (void**)&inPlace)))
                return OLEOBJ_S_CANNOT_DOVERB_NOW;
            HRESULT hr = InPlaceActivate(inPlace, verb != OLEIVERB_INPLACEACTIVATE, nullptr);
            inPlace->Release();
            return hr;
        }
        case OLEIVERB_HIDE:
            if (m_inPlace) {
                UIDeactivate();
                ShowWindow(m_window, SW_HIDE);
            }
            return S_OK;
        default:
            // The stand-in has no window of its own outside a container.
            return OLEOBJ_E_INVALIDVERB;
        }
    }
    STDMETHODIMP EnumVerbs(IEnumOLEVERB**) override { return E_NOTIMPL; }
    STDMETHODIMP Update() override { return S_OK; }
    STDMETHODIMP IsUpToDate() override { return S_OK; }
    STDMETHODIMP GetUserClassID(CLSID* clsid) override { return GetClassID(clsid); }
    STDMETHODIMP GetUserType(DWORD, LPOLESTR* type) override
    {
        static const wchar_t name[] = L"Stand-in Worksheet";
        *type = (LPOLESTR)CoTaskMemAlloc(sizeof name);
        if (!*type)
            return E_OUTOFMEMORY;
        memcpy(*type, name, sizeof name);
        return S_OK;
    }
    STDMETHODIMP SetExtent(DWORD aspect, SIZEL* size) override
    {
        if (aspect != DVASPECT_CONTENT)
            return DV_E_DVASPECT;
        if (!size || size->cx <= 0 || size->cy <= 0)
            return E_INVALIDARG;
        m_extent = *size;
        return S_OK;
    }
    STDMETHODIMP GetExtent(DWORD aspect, SIZEL* size) override
    {
        if (aspect != DVASPECT_CONTENT)
            return DV_E_DVASPECT;
        *size = m_extent;
        return S_OK;
    }
    STDMETHODIMP Advise(IAdviseSink* sink, DWORD* connection) override
    {
        if (!m_oleAdvise && FAILED(CreateOleAdviseHolder(&m_oleAdvise)))
            return E_OUTOFMEMORY;
        return m_oleAdvise->Advise(sink, connection);
    }
    STDMETHODIMP Unadvise(DWORD connection) override
    {
        return m_oleAdvise ? m_oleAdvise->Unadvise(connection) : OLE_E_NOCONNECTION;
    }
    STDMETHODIMP EnumAdvise(IEnumSTATDATA** e) override
    {
        *e = nullptr;
        return m_oleAdvise ? m_oleAdvise->EnumAdvise(e) : S_OK;
    }
    STDMETHODIMP GetMiscStatus(DWORD, DWORD* status) override
    {
        *status = OLEMISC_RECOMPOSEONRESIZE;
        return S_OK;
    }
    STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

    // IDataObject: the presentation, a metafile picture of the visible cells.
    STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override
    {
        HRESULT hr = QueryGetData(format);
        if (FAILED(hr))
            return hr;
        int width, height;
        NaturalSize(width, height);
        HDC mf = CreateMetaFileW(nullptr);
        if (!mf)
            return E_OUTOFMEMORY;
        SetWindowOrgEx(mf, 0, 0, nullptr);
        SetWindowExtEx(mf, width, height, nullptr);
        GridView plain;
        PaintGrid(mf, *m_book, plain, width, height);
        HMETAFILE meta = CloseMetaFile(mf);
        HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, sizeof(METAFILEPICT));
        if (!meta || !h) {
            if (meta)
                DeleteMetaFile(meta);
            if (h)
                GlobalFree(h);
            return E_OUTOFMEMORY;
        }
        METAFILEPICT* pict = (METAFILEPICT*)GlobalLock(h);
        pict->mm = MM_ANISOTROPIC;
        pict->xExt = m_extent.cx;
        pict->yExt = m_extent.cy;
        pict->hMF = meta;
        GlobalUnlock(h);
        medium->tymed = TYMED_MFPICT;
        medium->hMetaFilePict = h;
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryGetData(FORMATETC* format) override
    {
        if (!format)
            return E_INVALIDARG;
        if (format->cfFormat != CF_METAFILEPICT)
            return DV_E_FORMATETC;
        if (!(format->tymed & TYMED_MFPICT))
            return DV_E_TYMED;
        if (format->dwAspect != DVASPECT_CONTENT)
            return DV_E_DVASPECT;
        return S_OK;
    }
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override
    {
        if (out)
            out->ptd = nullptr;
        return DATA_S_SAMEFORMATETC;
    }
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    STDMETHODIMP DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink, DWORD* connection) override
    {
        if (!m_dataAdvise && FAILED(CreateDataAdviseHolder(&m_dataAdvise)))
            return E_OUTOFMEMORY;
        return m_dataAdvise->Advise(static_cast<IDataObject*>(this), format, flags, sink, connection);
    }
    STDMETHODIMP DUnadvise(DWORD connection) override
    {
        return m_dataAdvise ? m_dataAdvise->Unadvise(connection) : OLE_E_NOCONNECTION;
    }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA** e) override
    {
        *e = nullptr;
        return m_dataAdvise ? m_dataAdvise->EnumAdvise(e) : S_OK;
    }

    // IViewObject2: the same cells drawn into the container's rectangle.
    STDMETHODIMP Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds, LPCRECTL,
                      BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) override
    {
        if (aspect != DVASPECT_CONTENT && aspect != DVASPECT_DOCPRINT)
            return DV_E_DVASPECT;
        if (!bounds)
            return E_INVALIDARG;
        int width, height;
        NaturalSize(width, height);
        int saved = SaveDC(dc);
        SetMapMode(dc, MM_ANISOTROPIC);
        SetWindowOrgEx(dc, 0, 0, nullptr);
        SetWindowExtEx(dc, width, height, nullptr);
        SetViewportOrgEx(dc, bounds->left, bounds->top, nullptr);
        SetViewportExtEx(dc, bounds->right - bounds->left, bounds->bottom - bounds->top, nullptr);
        GridView plain;
        PaintGrid(dc, *m_book, plain, width, height);
        RestoreDC(dc, saved);
        return S_OK;
    }
    STDMETHODIMP GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE**) override { return S_FALSE; }
    STDMETHODIMP Freeze(DWORD, LONG, void*, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP Unfreeze(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override
    {
        if (sink)
            sink->AddRef();
        if (m_viewSink)
            m_viewSink->Release();
        m_viewSink = sink;
        m_viewAspects = aspects;
        m_viewFlags = flags;
        return S_OK;
    }
    STDMETHODIMP GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override
    {
        if (aspects)
            *aspects = m_viewAspects;
        if (flags)
            *flags = m_viewFlags;
        if (sink) {
            *sink = m_viewSink;
            if (m_viewSink)
                m_viewSink->AddRef();
        }
        return S_OK;
    }
    STDMETHODIMP GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) override
    {
        return GetExtent(aspect, size);
    }

    // IOleWindow, IOleInPlaceObject, IOleInPlaceActiveObject
    STDMETHODIMP GetWindow(HWND* window) override
    {
        *window = m_window;
        return m_window ? S_OK : E_FAIL;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP InPlaceDeactivate() override
    {
        if (!m_inPlace)
            return S_OK;
        UIDeactivate();
        m_inPlace = false;
        if (m_window) {
            DestroyWindow(m_window);
            m_window = nullptr;
        }
        IOleInPlaceSite* site = m_activeSite;
        m_activeSite = nullptr;
        if (site) {
            site->OnInPlaceDeactivate();
            site->Release();
        }
        return S_OK;
    }
    STDMETHODIMP UIDeactivate() override
    {
        if (!m_uiActive)
            return S_OK;
        m_uiActive = false;
        CommitEdit(false);
        if (m_uiWindow) {
            m_uiWindow->SetActiveObject(nullptr, nullptr);
            m_uiWindow->Release();
            m_uiWindow = nullptr;
        }
        if (m_frame) {
            m_frame->SetActiveObject(nullptr, nullptr);
            m_frame->Release();
            m_frame = nullptr;
        }
        if (m_activeSite)
            m_activeSite->OnUIDeactivate(FALSE);
        return S_OK;
    }
    STDMETHODIMP SetObjectRects(LPCRECT position, LPCRECT) override
    {
        if (!position)
            return E_INVALIDARG;
        m_rect = *position;
        if (m_window)
            MoveWindow(m_window, m_rect.left, m_rect.top, m_rect.right - m_rect.left, m_rect.bottom - m_rect.top,
                       TRUE);
        return S_OK;
    }
    STDMETHODIMP ReactivateAndUndo() override { return INPLACE_E_NOTUNDOABLE; }
    STDMETHODIMP TranslateAccelerator(LPMSG) override { return S_FALSE; }
    STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }

    // IOleDocument: one view, the object itself.
    STDMETHODIMP CreateView(IOleInPlaceSite* site, IStream*, DWORD, IOleDocumentView** view) override
    {
        if (!view)
            return E_POINTER;
        if (site)
            SetInPlaceSite(site);
        *view = static_cast<IOleDocumentView*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP GetDocMiscStatus(DWORD* status) override
    {
        *status = DOCMISC_CANTOPENEDIT | DOCMISC_NOFILESUPPORT;
        return S_OK;
    }
    STDMETHODIMP EnumViews(IEnumOleDocumentViews** e, IOleDocumentView** view) override
    {
        if (e)
            *e = nullptr;
        *view = static_cast<IOleDocumentView*>(this);
        AddRef();
        return S_OK;
    }

    // IOleDocumentView
    STDMETHODIMP SetInPlaceSite(IOleInPlaceSite* site) override
    {
        if (site == m_viewSite)
            return S_OK;
        if (m_viewSite) {
            if (m_activeSite == m_viewSite)
                InPlaceDeactivate();
            m_viewSite->Release();
        }
        m_viewSite = site;
        if (site)
            site->AddRef();
        return S_OK;
    }
    STDMETHODIMP GetInPlaceSite(IOleInPlaceSite** site) override
    {
        *site = m_viewSite;
        if (m_viewSite)
            m_viewSite->AddRef();
        return S_OK;
    }
    STDMETHODIMP GetDocument(IUnknown** document) override
    {
        return QueryInterface(IID_IUnknown, (void**)document);
    }
    STDMETHODIMP SetRect(LPRECT rect) override
    {
        if (!rect)
            return E_INVALIDARG;
        return SetObjectRects(rect, rect);
    }
    STDMETHODIMP GetRect(LPRECT rect) override
    {
        if (!rect)
            return E_INVALIDARG;
        *rect = m_rect;
        return S_OK;
    }
    STDMETHODIMP SetRectComplex(LPRECT, LPRECT, LPRECT, LPRECT) override { return E_NOTIMPL; }
    STDMETHODIMP Show(BOOL show) override
    {
        if (!show) {
            if (m_window)
                ShowWindow(m_window, SW_HIDE);
            return S_OK;
        }
        if (!m_inPlace) {
            if (!m_viewSite)
                return E_UNEXPECTED;
            HRESULT hr = InPlaceActivate(m_viewSite, false, &m_rect);
            if (FAILED(hr))
                return hr;
        }
        ShowWindow(m_window, SW_SHOWNA);
        return S_OK;
    }
    STDMETHODIMP UIActivate(BOOL activate) override
    {
        if (!activate)
            return UIDeactivate();
        if (!m_viewSite)
            return E_UNEXPECTED;
        return m_inPlace ? UIActivateNow() : InPlaceActivate(m_viewSite, true, m_hasRect ? &m_rect : nullptr);
    }
    STDMETHODIMP Open() override { return E_NOTIMPL; }
    STDMETHODIMP CloseView(DWORD) override
    {
        Show(FALSE);
        UIDeactivate();
        InPlaceDeactivate();
        return SetInPlaceSite(nullptr);
    }
    STDMETHODIMP SaveViewState(LPSTREAM) override { return E_NOTIMPL; }
    STDMETHODIMP ApplyViewState(LPSTREAM) override { return E_NOTIMPL; }
    STDMETHODIMP Clone(IOleInPlaceSite*, IOleDocumentView**) override { return E_NOTIMPL; }

    // IOleCommandTarget: the standard group's print and page set-up are all a container
    // sends; the stand-in has no printing.
    STDMETHODIMP QueryStatus(const GUID* group, ULONG count, OLECMD* commands, OLECMDTEXT*) override
    {
        if (group)
            return OLECMDERR_E_UNKNOWNGROUP;
        for (ULONG i = 0; i < count; ++i)
            commands[i].cmdf = 0;
        return S_OK;
    }
    STDMETHODIMP Exec(const GUID* group, DWORD, DWORD, VARIANT*, VARIANT*) override
    {
        return group ? OLECMDERR_E_UNKNOWNGROUP : OLECMDERR_E_NOTSUPPORTED;
    }

    LRESULT WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

private:
    void HoldStorage(IStorage* storage)
    {
        if (storage)
            storage->AddRef();
        if (m_storage)
            m_storage->Release();
        m_storage = storage;
    }

    void NaturalSize(int& width, int& height) const
    {
        HDC screen = GetDC(nullptr);
        width = PixelsFromHimetric(m_extent.cx, GetDeviceCaps(screen, LOGPIXELSX));
        height = PixelsFromHimetric(m_extent.cy, GetDeviceCaps(screen, LOGPIXELSY));
        ReleaseDC(nullptr, screen);
    }

    // The book changed: the window repaints, containers redraw their picture.
    void Changed()
    {
        ++m_revision;
        if (m_window)
            InvalidateRect(m_window, nullptr, FALSE);
        if (m_viewSink)
            m_viewSink->OnViewChange(DVASPECT_CONTENT, -1);
        if (m_dataAdvise)
            m_dataAdvise->SendOnDataChange(static_cast<IDataObject*>(this), 0, 0);
    }

    HRESULT InPlaceActivate(IOleInPlaceSite* site, bool ui, const RECT* rect);
    HRESULT UIActivateNow();
    void CommitEdit(bool keep);
    void MoveSelection(int dr, int dc, bool extend);
    void EnsureVisible();
    bool CellAt(int x, int y, int& row, int& col) const;
    bool DragSelection(int row, int col);

    LONG m_ref = 1;
    std::shared_ptr<Book> m_book;
    IDispatch* m_automation = nullptr;
    IPersistFile* m_file = nullptr;
    IStorage* m_storage = nullptr;
    unsigned m_revision = 0, m_storedRevision = 0, m_pendingRevision = 0;
    SIZEL m_extent = {0, 0};

    IOleClientSite* m_clientSite = nullptr;
    IOleAdviseHolder* m_oleAdvise = nullptr;
    IDataAdviseHolder* m_dataAdvise = nullptr;
    IAdviseSink* m_viewSink = nullptr;
    DWORD m_viewAspects = 0, m_viewFlags = 0;

    IOleInPlaceSite* m_viewSite = nullptr;   // set on the document view
    IOleInPlaceSite* m_activeSite = nullptr; // the site of the present activation
    IOleInPlaceFrame* m_frame = nullptr;
    IOleInPlaceUIWindow* m_uiWindow = nullptr;
    bool m_inPlace = false, m_uiActive = false;
    HWND m_window = nullptr;
    RECT m_rect = {0, 0, 0, 0};
    bool m_hasRect = false;

    GridView m_grid;
    int m_anchorRow = 1, m_anchorCol = 1;
    bool m_dragging = false;
};

LRESULT CALLBACK SheetWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_NCCREATE)
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, (LONG_PTR)((CREATESTRUCTW*)lp)->lpCreateParams);
    auto* self = (EmbeddedWorkbook*)GetWindowLongPtrW(hwnd, GWLP_USERDATA);
    return self ? self->WindowProc(hwnd, msg, wp, lp) : DefWindowProcW(hwnd, msg, wp, lp);
}

HRESULT EmbeddedWorkbook::InPlaceActivate(IOleInPlaceSite* site, bool ui, const RECT* rect)
{
    if (m_inPlace)
        return ui ? UIActivateNow() : S_OK;
    if (site->CanInPlaceActivate() != S_OK)
        return OLEOBJ_S_CANNOT_DOVERB_NOW;
    HRESULT hr = site->OnInPlaceActivate();
    if (FAILED(hr))
        return hr;
    HWND parent = nullptr;
    IOleInPlaceFrame* frame = nullptr;
    IOleInPlaceUIWindow* doc = nullptr;
    RECT pos = {0, 0, 0, 0}, clip = {0, 0, 0, 0};
    OLEINPLACEFRAMEINFO info = {sizeof info};
    if (FAILED(site->GetWindow(&parent)) || FAILED(site->GetWindowContext(&frame, &doc, &pos, &clip, &info))) {
        site->OnInPlaceDeactivate();
        return E_FAIL;
    }
    if (rect && rect->right > rect->left)
        pos = *rect;
    static ATOM atom = [] {
        WNDCLASSW wc = {};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = SheetWindowProc;
        wc.hInstance = (HINSTANCE)&__ImageBase;
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.lpszClassName = kWindowClass;
        return RegisterClassW(&wc);
    }();
    (void)atom;
    m_window = CreateWindowExW(0, kWindowClass, L"", WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP, pos.left, pos.top,
                               pos.right - pos.left, pos.bottom - pos.top, parent, nullptr,
                               (HINSTANCE)&__ImageBase, this);
    if (!m_window) {
        if (frame)
            frame->Release();
        if (doc)
            doc->Release();
        site->OnInPlaceDeactivate();
        return E_OUTOFMEMORY;
    }
    m_rect = pos;
    m_hasRect = true;
    m_inPlace = true;
    m_activeSite = site;
    site->AddRef();
    m_frame = frame;
    m_uiWindow = doc;
    ShowWindow(m_window, SW_SHOWNA);
    return ui ? UIActivateNow() : S_OK;
}

HRESULT EmbeddedWorkbook::UIActivateNow()
{
    if (!m_inPlace)
        return E_UNEXPECTED;
    if (m_uiActive) {
        SetFocus(m_window);
        return S_OK;
    }
    HRESULT hr = m_activeSite->OnUIActivate();
    if (FAILED(hr))
        return hr;
    m_uiActive = true;
    if (!m_frame) {
        RECT pos, clip;
        OLEINPLACEFRAMEINFO info = {sizeof info};
        m_activeSite->GetWindowContext(&m_frame, &m_uiWindow, &pos, &clip, &info);
    }
    auto* active = static_cast<IOleInPlaceActiveObject*>(this);
    if (m_frame) {
        m_frame->SetActiveObject(active, L"Workbook");
        m_frame->SetBorderSpace(nullptr); // no tools of its own
    }
    if (m_uiWindow) {
        m_uiWindow->SetActiveObject(active, L"Workbook");
        m_uiWindow->SetBorderSpace(nullptr);
    }
    ShowWindow(m_window, SW_SHOWNA);
    SetFocus(m_window);
    return S_OK;
}

bool EmbeddedWorkbook::CellAt(int x, int y, int& row, int& col) const
{
    if (x < kHeaderWidth || y < kHeaderHeight)
        return false;
    col = m_grid.left + (x - kHeaderWidth) / kCellWidth;
    row = m_grid.top + (y - kHeaderHeight) / kCellHeight;
    return col <= kMaxCols && row <= kMaxRows;
}

// A press with Ctrl inside the selected block drags the block out as a link to it; false
// when the press is elsewhere or the book has no file to link to.
bool EmbeddedWorkbook::DragSelection(int row, int col)
{
    const Area& a = m_book->sheets[m_book->active]->selection[0];
    if (row < a.r1 || row > a.r2 || col < a.c1 || col > a.c2)
        return false;
    IDataObject* data = nullptr;
    if (FAILED(CreateRangeDragData(*m_book, &data)))
        return false;
    IDropSource* source = nullptr;
    data->QueryInterface(IID_IDropSource, (void**)&source);
    DWORD effect = DROPEFFECT_NONE;
    DoDragDrop(data, source, DROPEFFECT_COPY | DROPEFFECT_LINK, &effect);
    source->Release();
    data->Release();
    return true;
}

void EmbeddedWorkbook::EnsureVisible()
{
    RECT client;
    GetClientRect(m_window, &client);
    int rows = std::max(1, (int)(client.bottom - kHeaderHeight) / kCellHeight);
    int cols = std::max(1, (int)(client.right - kHeaderWidth) / kCellWidth);
    const Area& a = m_book->sheets[m_book->active]->selection[0];
    int row = a.r1 == m_anchorRow ? a.r2 : a.r1, col = a.c1 == m_anchorCol ? a.c2 : a.c1;
    if (row < m_grid.top)
        m_grid.top = row;
    else if (row >= m_grid.top + rows)
        m_grid.top = row - rows + 1;
    if (col < m_grid.left)
        m_grid.left = col;
    else if (col >= m_grid.left + cols)
        m_grid.left = col - cols + 1;
}

void EmbeddedWorkbook::MoveSelection(int dr, int dc, bool extend)
{
    Sheet& sheet = *m_book->sheets[m_book->active];
    const Area& a = sheet.selection[0];
    // The moving corner is the one away from the anchor.
    int row = a.r1 == m_anchorRow ? a.r2 : a.r1, col = a.c1 == m_anchorCol ? a.c2 : a.c1;
    row = std::min(kMaxRows, std::max(1, row + dr));
    col = std::min(kMaxCols, std::max(1, col + dc));
    if (!extend) {
        m_anchorRow = row;
        m_anchorCol = col;
    }
    sheet.selection = {{std::min(row, m_anchorRow), std::min(col, m_anchorCol), std::max(row, m_anchorRow),
                        std::max(col, m_anchorCol)}};
    EnsureVisible();
    InvalidateRect(m_window, nullptr, FALSE);
}

// Ends typing into a cell: kept, the text becomes the cell's value.
void EmbeddedWorkbook::CommitEdit(bool keep)
{
    if (!m_grid.editing)
        return;
    m_grid.editing = false;
    if (keep) {
        const Area& a = m_book->sheets[m_book->active]->selection[0];
        m_book->sheets[m_book->active]->Put(a.r1, a.c1, TypedCell(m_grid.edit));
        m_book->saved = false;
        Changed();
    }
    m_grid.edit.clear();
    if (m_window)
        InvalidateRect(m_window, nullptr, FALSE);
}

LRESULT EmbeddedWorkbook::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT client;
        GetClientRect(hwnd, &client);
        // Drawn off screen, so typing does not flicker.
        HDC mem = CreateCompatibleDC(dc);
        HBITMAP bmp = CreateCompatibleBitmap(dc, client.right, client.bottom);
        HGDIOBJ old = SelectObject(mem, bmp);
        m_grid.selection = true;
        PaintGrid(mem, *m_book, m_grid, client.right, client.bottom);
        BitBlt(dc, 0, 0, client.right, client.bottom, mem, 0, 0, SRCCOPY);
        SelectObject(mem, old);
        DeleteObject(bmp);
        DeleteDC(mem);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_NCDESTROY:
        // The container's window went first and took this one with it.
        m_window = nullptr;
        break;
    case WM_SIZE: EnsureVisible(); return 0;
    case WM_LBUTTONDOWN: {
        if (!m_uiActive)
            UIActivateNow();
        SetFocus(hwnd);
        CommitEdit(true);
        int row, col;
        if (!CellAt((short)LOWORD(lp), (short)HIWORD(lp), row, col))
            return 0;
        if ((wp & MK_CONTROL) && !(wp & MK_SHIFT) && DragSelection(row, col))
            return 0;
        {
            bool extend = (wp & MK_SHIFT) != 0;
            if (!extend) {
                m_anchorRow = row;
                m_anchorCol = col;
            }
            m_book->sheets[m_book->active]->selection = {{std::min(row, m_anchorRow), std::min(col, m_anchorCol),
                                                          std::max(row, m_anchorRow), std::max(col, m_anchorCol)}};
            m_dragging = true;
            SetCapture(hwnd);
            InvalidateRect(hwnd, nullptr, FALSE);
        }
        return 0;
    }
    case WM_MOUSEMOVE: {
        int row, col;
        if (m_dragging && CellAt(std::max(kHeaderWidth, (int)(short)LOWORD(lp)),
                                 std::max(kHeaderHeight, (int)(short)HIWORD(lp)), row, col)) {
            m_book->sheets[m_book->active]->selection = {{std::min(row, m_anchorRow), std::min(col, m_anchorCol),
                                                          std::max(row, m_anchorRow), std::max(col, m_anchorCol)}};
            InvalidateRect(hwnd, nullptr, FALSE);
        }
        return 0;
    }
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        if (m_dragging) {
            m_dragging = false;
            if (msg == WM_LBUTTONUP)
                ReleaseCapture();
        }
        return 0;
    case WM_GETDLGCODE: return DLGC_WANTALLKEYS | DLGC_WANTCHARS | DLGC_WANTARROWS;
    case WM_KEYDOWN: {
        bool shift = GetKeyState(VK_SHIFT) < 0;
        switch (wp) {
        case VK_UP: CommitEdit(true); MoveSelection(-1, 0, shift); return 0;
        case VK_DOWN: CommitEdit(true); MoveSelection(1, 0, shift); return 0;
        case VK_LEFT: CommitEdit(true); MoveSelection(0, -1, shift); return 0;
        case VK_RIGHT: CommitEdit(true); MoveSelection(0, 1, shift); return 0;
        case VK_DELETE:
            if (!m_grid.editing) {
                for (const Area& a : m_book->sheets[m_book->active]->selection)
                    for (int r = a.r1; r <= a.r2; ++r)
                        for (int c = a.c1; c <= a.c2; ++c)
                            m_book->sheets[m_book->active]->Put(r, c, Cell());
                m_book->saved = false;
                Changed();
            }
            return 0;
        }
        break;
    }
    case WM_CHAR:
        switch (wp) {
        case '\r': CommitEdit(true); MoveSelection(1, 0, false); return 0;
        case '\t': CommitEdit(true); MoveSelection(0, (GetKeyState(VK_SHIFT) < 0) ? -1 : 1, false); return 0;
        case 27: CommitEdit(false); return 0;
        case '\b':
            if (m_grid.editing && !m_grid.edit.empty()) {
                // Drops one UTF-8 character.
                do
                    m_grid.edit.pop_back();
                while (!m_grid.edit.empty() && (m_grid.edit.back() & 0xC0) == 0x80);
                InvalidateRect(hwnd, nullptr, FALSE);
            }
            return 0;
        default:
            if (wp >= 32) {
                wchar_t w = (wchar_t)wp;
                char utf8[8];
                int n = WideCharToMultiByte(CP_UTF8, 0, &w, 1, utf8, sizeof utf8, nullptr, nullptr);
                m_grid.editing = true;
                m_grid.edit.append(utf8, n);
                InvalidateRect(hwnd, nullptr, FALSE);
            }
            return 0;
        }
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

} // namespace

HRESULT qxxl::CreateWorkbookObject(REFIID riid, void** object)
{
    auto* wb = new EmbeddedWorkbook();
    HRESULT hr = wb->QueryInterface(riid, object);
    wb->Release();
    return hr;
}
