// The container side of OLE documents: client items (objects of other programs held by a
// document), their sites for opening and in-place activation, and the frames of the view
// offered to an object that is active in place.
#include "afxole.h"
#include "OleText.h"

#include <string>
#include <vector>

namespace {

using qxafx::Narrow;
using qxafx::Wide;

// The format a creation renders into the cache: the caller's, or one made from a
// clipboard format (content aspect, global memory).
LPFORMATETC RenderFormat(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc, FORMATETC& made)
{
    if (lpFormatEtc != nullptr || cfFormat == 0)
        return lpFormatEtc;
    made = {cfFormat, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    if (cfFormat == CF_METAFILEPICT)
        made.tymed = TYMED_MFPICT;
    else if (cfFormat == CF_ENHMETAFILE)
        made.tymed = TYMED_ENHMF;
    return &made;
}

template <class T> void Put(T*& p)
{
    if (p != nullptr) {
        p->Release();
        p = nullptr;
    }
}

} // namespace

// A frame window of the view as an in-place object sees it: the top-level frame as
// IOleInPlaceFrame, the view's own MDI child frame as IOleInPlaceUIWindow. The container
// keeps its menus and gives no room for the object's tool bars (these float or stay in
// the object's own window); the object's status text goes to the frame's status bar.
class COleFrameHook final : public IOleInPlaceFrame
{
public:
    COleFrameHook(CFrameWnd* pFrame, BOOL bTopLevel) : m_pFrame(pFrame), m_bTopLevel(bTopLevel) {}

    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override
    {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleWindow) ||
            IsEqualIID(iid, IID_IOleInPlaceUIWindow) || (m_bTopLevel && IsEqualIID(iid, IID_IOleInPlaceFrame))) {
            *ppv = static_cast<IOleInPlaceFrame*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return (ULONG)::InterlockedIncrement(&m_nRef); }
    STDMETHOD_(ULONG, Release)() override
    {
        LONG n = ::InterlockedDecrement(&m_nRef);
        if (n == 0) {
            Put(m_lpActiveObject);
            delete this;
        }
        return (ULONG)n;
    }

    STDMETHOD(GetWindow)(HWND* phwnd) override
    {
        if (phwnd == nullptr)
            return E_POINTER;
        *phwnd = m_pFrame->GetSafeHwnd();
        return *phwnd != nullptr ? S_OK : E_FAIL;
    }
    STDMETHOD(ContextSensitiveHelp)(BOOL) override { return S_OK; }
    STDMETHOD(GetBorder)(LPRECT lprectBorder) override
    {
        if (lprectBorder == nullptr)
            return E_POINTER;
        ::GetClientRect(m_pFrame->GetSafeHwnd(), lprectBorder);
        return S_OK;
    }
    STDMETHOD(RequestBorderSpace)(LPCBORDERWIDTHS widths) override
    {
        return NoSpaceAsked(widths) ? S_OK : INPLACE_E_NOTOOLSPACE;
    }
    STDMETHOD(SetBorderSpace)(LPCBORDERWIDTHS widths) override
    {
        return NoSpaceAsked(widths) ? S_OK : OLE_E_INVALIDRECT;
    }
    STDMETHOD(SetActiveObject)(IOleInPlaceActiveObject* pActiveObject, LPCOLESTR) override
    {
        if (pActiveObject != nullptr)
            pActiveObject->AddRef();
        Put(m_lpActiveObject);
        m_lpActiveObject = pActiveObject;
        return S_OK;
    }
    STDMETHOD(InsertMenus)(HMENU, LPOLEMENUGROUPWIDTHS lpMenuWidths) override
    {
        if (lpMenuWidths != nullptr)
            lpMenuWidths->width[0] = lpMenuWidths->width[2] = lpMenuWidths->width[4] = 0;
        return S_OK;
    }
    STDMETHOD(SetMenu)(HMENU, HOLEMENU holemenu, HWND hwndActiveObject) override
    {
        return ::OleSetMenuDescriptor(holemenu, m_pFrame->GetSafeHwnd(), holemenu ? hwndActiveObject : nullptr,
                                      nullptr, nullptr);
    }
    STDMETHOD(RemoveMenus)(HMENU) override { return S_OK; }
    STDMETHOD(SetStatusText)(LPCOLESTR text) override
    {
        m_pFrame->SetMessageText(Narrow(text));
        return S_OK;
    }
    STDMETHOD(EnableModeless)(BOOL) override { return S_OK; }
    STDMETHOD(TranslateAccelerator)(LPMSG, WORD) override { return S_FALSE; }

    LPOLEINPLACEACTIVEOBJECT GetActiveObject() const { return m_lpActiveObject; }

private:
    ~COleFrameHook() = default;
    static BOOL NoSpaceAsked(LPCBORDERWIDTHS widths)
    {
        return widths == nullptr ||
               (widths->left == 0 && widths->top == 0 && widths->right == 0 && widths->bottom == 0);
    }
    LONG m_nRef = 1;
    CFrameWnd* m_pFrame;
    BOOL m_bTopLevel;
    LPOLEINPLACEACTIVEOBJECT m_lpActiveObject = nullptr;
};

// ---- the document's client items --------------------------------------------------------

COleClientItem* COleDocument::GetNextClientItem(POSITION& pos) const
{
    while (pos != nullptr) {
        CDocItem* item = GetNextItem(pos);
        if (COleClientItem* client = DYNAMIC_DOWNCAST(COleClientItem, item))
            return client;
    }
    return nullptr;
}

COleClientItem* COleDocument::GetInPlaceActiveItem(CWnd* pView) const
{
    POSITION pos = GetStartPosition();
    while (COleClientItem* item = GetNextClientItem(pos))
        if (item->IsInPlaceActive() && (pView == nullptr || item->GetActiveView() == pView))
            return item;
    return nullptr;
}

// ---- client items -----------------------------------------------------------------------

IMPLEMENT_DYNAMIC(COleClientItem, CDocItem)

BEGIN_INTERFACE_MAP(COleClientItem, CDocItem)
    INTERFACE_PART(COleClientItem, IID_IOleClientSite, OleClientSite)
    INTERFACE_PART(COleClientItem, IID_IAdviseSink, AdviseSink)
    INTERFACE_PART(COleClientItem, IID_IOleWindow, OleIPSite)
    INTERFACE_PART(COleClientItem, IID_IOleInPlaceSite, OleIPSite)
END_INTERFACE_MAP()

COleClientItem::COleClientItem(COleDocument* pContainerDoc)
    : m_lpObject(nullptr), m_nItemState(emptyState), m_nDrawAspect(DVASPECT_CONTENT), m_lpLockBytes(nullptr),
      m_lpStorage(nullptr), m_lpViewObject(nullptr), m_lpInPlaceObject(nullptr), m_dwConnection(0), m_scLast(S_OK),
      m_pView(nullptr), m_hWndServer(nullptr), m_pFrameHook(nullptr), m_pDocHook(nullptr)
{
    if (pContainerDoc != nullptr)
        pContainerDoc->AddItem(this);
}

COleClientItem::~COleClientItem()
{
    Release(OLECLOSE_NOSAVE);
}

BOOL COleClientItem::MakeStorage()
{
    Release(OLECLOSE_NOSAVE);
    if (FAILED(::CreateILockBytesOnHGlobal(nullptr, TRUE, &m_lpLockBytes)))
        return FALSE;
    if (FAILED(::StgCreateDocfileOnILockBytes(m_lpLockBytes, STGM_SHARE_EXCLUSIVE | STGM_CREATE | STGM_READWRITE,
                                              0, &m_lpStorage))) {
        Put(m_lpLockBytes);
        return FALSE;
    }
    return TRUE;
}

BOOL COleClientItem::FinishCreate(SCODE sc)
{
    m_scLast = sc;
    if (FAILED(sc) || m_lpObject == nullptr) {
        if (SUCCEEDED(sc))
            m_scLast = E_FAIL;
        Release(OLECLOSE_NOSAVE);
        return FALSE;
    }
    m_lpObject->QueryInterface(IID_IViewObject2, (void**)&m_lpViewObject);
    // The picture drawn while the object is not running: a metafile picture the cache
    // takes from the server whenever the object changes (the system's cache asked only to
    // draw keeps no picture of a local server's object).
    LPOLECACHE cache = nullptr;
    if (SUCCEEDED(m_lpObject->QueryInterface(IID_IOleCache, (void**)&cache))) {
        FORMATETC picture = {CF_METAFILEPICT, nullptr, m_nDrawAspect, -1, TYMED_MFPICT};
        DWORD connection = 0;
        cache->Cache(&picture, ADVF_PRIMEFIRST, &connection);
        cache->Release();
    }
    ::OleSetContainedObject(m_lpObject, TRUE);
    m_lpObject->Advise(&m_xAdviseSink, &m_dwConnection);
    if (m_lpViewObject != nullptr)
        m_lpViewObject->SetAdvise(m_nDrawAspect, 0, &m_xAdviseSink);
    CWinApp* app = AfxGetApp();
    CString doc = m_pDocument != nullptr ? m_pDocument->GetTitle() : CString();
    m_lpObject->SetHostNames(Wide(app != nullptr ? app->m_pszAppName : "").c_str(), Wide(doc).c_str());
    m_nItemState = loadedState;
    return TRUE;
}

BOOL COleClientItem::CreateNewItem(REFCLSID clsid, OLERENDER render, CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc)
{
    if (!MakeStorage())
        return FALSE;
    FORMATETC made;
    SCODE sc = ::OleCreate(clsid, IID_IOleObject, render, RenderFormat(cfFormat, lpFormatEtc, made),
                           &m_xOleClientSite, m_lpStorage, (void**)&m_lpObject);
    return FinishCreate(sc);
}

BOOL COleClientItem::CreateFromData(COleDataObject* pDataObject, OLERENDER render, CLIPFORMAT cfFormat,
                                    LPFORMATETC lpFormatEtc)
{
    if (pDataObject == nullptr || pDataObject->m_lpDataObject == nullptr || !MakeStorage())
        return FALSE;
    FORMATETC made;
    LPFORMATETC format = RenderFormat(cfFormat, lpFormatEtc, made);
    // Data with a picture and no object in them make a static object of the picture.
    SCODE sc = ::OleQueryCreateFromData(pDataObject->m_lpDataObject);
    if (sc == OLE_S_STATIC) {
        // The picture is the object: its own format is the one rendered.
        FORMATETC picture = {0, nullptr, DVASPECT_CONTENT, -1, 0};
        if (format == nullptr || render == OLERENDER_DRAW) {
            const FORMATETC kinds[] = {{CF_METAFILEPICT, nullptr, DVASPECT_CONTENT, -1, TYMED_MFPICT},
                                       {CF_ENHMETAFILE, nullptr, DVASPECT_CONTENT, -1, TYMED_ENHMF},
                                       {CF_DIB, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}};
            for (const FORMATETC& kind : kinds)
                if (picture.cfFormat == 0 && pDataObject->m_lpDataObject->QueryGetData((LPFORMATETC)&kind) == S_OK)
                    picture = kind;
            format = &picture;
        }
        sc = ::OleCreateStaticFromData(pDataObject->m_lpDataObject, IID_IOleObject, OLERENDER_FORMAT, format,
                                       &m_xOleClientSite, m_lpStorage, (void**)&m_lpObject);
    }
    else if (sc == S_OK)
        sc = ::OleCreateFromData(pDataObject->m_lpDataObject, IID_IOleObject, render, format, &m_xOleClientSite,
                                 m_lpStorage, (void**)&m_lpObject);
    else
        sc = DV_E_FORMATETC;
    return FinishCreate(sc);
}

BOOL COleClientItem::CreateFromClipboard(OLERENDER render, CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc)
{
    COleDataObject data;
    if (!data.AttachClipboard()) {
        m_scLast = CLIPBRD_E_CANT_OPEN;
        return FALSE;
    }
    return CreateFromData(&data, render, cfFormat, lpFormatEtc);
}

BOOL COleClientItem::CreateFromFile(LPCTSTR lpszFileName, REFCLSID clsid, OLERENDER render, CLIPFORMAT cfFormat,
                                    LPFORMATETC lpFormatEtc)
{
    if (!MakeStorage())
        return FALSE;
    FORMATETC made;
    SCODE sc = ::OleCreateFromFile(clsid, Wide(lpszFileName).c_str(), IID_IOleObject, render,
                                   RenderFormat(cfFormat, lpFormatEtc, made), &m_xOleClientSite, m_lpStorage,
                                   (void**)&m_lpObject);
    return FinishCreate(sc);
}

BOOL PASCAL COleClientItem::CanPaste()
{
    LPDATAOBJECT data = nullptr;
    if (FAILED(::OleGetClipboard(&data)) || data == nullptr)
        return FALSE;
    HRESULT hr = ::OleQueryCreateFromData(data);
    data->Release();
    return hr == S_OK || hr == OLE_S_STATIC;
}

OLE_OBJTYPE COleClientItem::GetType() const
{
    if (m_lpObject == nullptr)
        return OT_UNKNOWN;
    LPOLELINK link = nullptr;
    if (SUCCEEDED(m_lpObject->QueryInterface(IID_IOleLink, (void**)&link))) {
        link->Release();
        return OT_LINK;
    }
    CLSID clsid;
    GetClassID(&clsid);
    BOOL picture = IsEqualCLSID(clsid, CLSID_Picture_Metafile) || IsEqualCLSID(clsid, CLSID_Picture_EnhMetafile) ||
                   IsEqualCLSID(clsid, CLSID_Picture_Dib);
    return picture || (GetMiscStatus(DVASPECT_CONTENT) & OLEMISC_STATIC) != 0 ? OT_STATIC : OT_EMBEDDED;
}

void COleClientItem::GetClassID(CLSID* pClassID) const
{
    *pClassID = CLSID_NULL;
    if (m_lpObject != nullptr)
        m_lpObject->GetUserClassID(pClassID);
}

BOOL COleClientItem::IsModified() const
{
    LPPERSISTSTORAGE persist = nullptr;
    if (m_lpObject == nullptr || FAILED(m_lpObject->QueryInterface(IID_IPersistStorage, (void**)&persist)))
        return FALSE;
    BOOL dirty = persist->IsDirty() == S_OK;
    persist->Release();
    return dirty;
}

BOOL COleClientItem::IsRunning() const
{
    return m_lpObject != nullptr && ::OleIsRunning(m_lpObject);
}

void COleClientItem::Run()
{
    if (m_lpObject == nullptr)
        AfxThrowOleException(E_UNEXPECTED);
    SCODE sc = ::OleRun(m_lpObject);
    if (FAILED(sc))
        AfxThrowOleException(sc);
}

CWnd* COleClientItem::GetInPlaceWindow()
{
    if (m_nItemState != activeUIState || m_hWndServer == nullptr || !::IsWindow(m_hWndServer))
        return nullptr;
    return CWnd::FromHandle(m_hWndServer);
}

BOOL COleClientItem::GetExtent(LPSIZE lpSize, DVASPECT nDrawAspect)
{
    if (m_lpObject == nullptr)
        return FALSE;
    SIZEL size = {0, 0};
    if (FAILED(m_lpObject->GetExtent(nDrawAspect != 0 ? nDrawAspect : m_nDrawAspect, &size)))
        return GetCachedExtent(lpSize, nDrawAspect);
    lpSize->cx = size.cx;
    lpSize->cy = size.cy;
    return TRUE;
}

BOOL COleClientItem::GetCachedExtent(LPSIZE lpSize, DVASPECT nDrawAspect)
{
    SIZEL size = {0, 0};
    if (m_lpViewObject == nullptr ||
        FAILED(m_lpViewObject->GetExtent(nDrawAspect != 0 ? nDrawAspect : m_nDrawAspect, -1, nullptr, &size)))
        return FALSE;
    lpSize->cx = size.cx;
    lpSize->cy = size.cy;
    return TRUE;
}

void COleClientItem::SetExtent(const CSize& size, DVASPECT nDrawAspect)
{
    if (m_lpObject == nullptr)
        AfxThrowOleException(E_UNEXPECTED);
    SIZEL sizel = {size.cx, size.cy};
    SCODE sc = m_lpObject->SetExtent(nDrawAspect, &sizel);
    // A loaded object takes its extent when it runs.
    if (FAILED(sc) && sc != OLE_E_NOTRUNNING)
        AfxThrowOleException(sc);
}

DWORD COleClientItem::GetMiscStatus(DVASPECT nDrawAspect) const
{
    DWORD status = 0;
    if (m_lpObject != nullptr && FAILED(m_lpObject->GetMiscStatus(nDrawAspect != 0 ? nDrawAspect : m_nDrawAspect,
                                                                    &status)))
        status = 0;
    return status;
}

BOOL COleClientItem::Draw(CDC* pDC, LPCRECT lpBounds, DVASPECT nDrawAspect)
{
    if (m_lpViewObject == nullptr || pDC == nullptr || lpBounds == nullptr)
        return FALSE;
    DVASPECT aspect = nDrawAspect == (DVASPECT)-1 ? m_nDrawAspect : nDrawAspect;
    RECTL bounds = {lpBounds->left, lpBounds->top, lpBounds->right, lpBounds->bottom};
    HDC attrib = pDC->m_hAttribDC != pDC->m_hDC ? pDC->m_hAttribDC : nullptr;
    // A metafile DC also needs the bounds as the window of the recording.
    RECTL* wbounds = ::GetObjectType(pDC->m_hDC) == OBJ_METADC ? &bounds : nullptr;
    SCODE sc = m_lpViewObject->Draw(aspect, -1, nullptr, nullptr, attrib, pDC->m_hDC, &bounds, wbounds, nullptr, 0);
    return SUCCEEDED(sc);
}

BOOL COleClientItem::DoVerb(LONG nVerb, CView* pView, LPMSG lpMsg)
{
    try {
        Activate(nVerb, pView, lpMsg);
    } catch (COleException* e) {
        ReportError(e->m_sc);
        e->Delete();
        return FALSE;
    }
    return TRUE;
}

void COleClientItem::Activate(LONG nVerb, CView* pView, LPMSG lpMsg)
{
    if (m_lpObject == nullptr)
        AfxThrowOleException(E_UNEXPECTED);
    if (pView != nullptr)
        m_pView = pView;
    if (!IsRunning())
        Reload();
    CRect position(0, 0, 0, 0);
    if (m_pView != nullptr)
        OnGetItemPosition(position);
    HWND parent = m_pView != nullptr ? m_pView->GetSafeHwnd() : nullptr;
    SCODE sc = m_lpObject->DoVerb(nVerb, lpMsg, &m_xOleClientSite, -1, parent, parent ? &position : nullptr);
    m_scLast = sc;
    if (FAILED(sc))
        AfxThrowOleException(sc);
}

// The object opened again from what it last saved into the item's storage. The system's
// handler of an object made new would otherwise start its server with a new, empty object
// after the server it ran in ended, losing what that server saved.
void COleClientItem::Reload()
{
    if (m_lpStorage == nullptr)
        AfxThrowOleException(E_UNEXPECTED);
    if (m_lpViewObject != nullptr)
        m_lpViewObject->SetAdvise(m_nDrawAspect, 0, nullptr);
    if (m_dwConnection != 0)
        m_lpObject->Unadvise(m_dwConnection);
    m_dwConnection = 0;
    m_lpObject->SetClientSite(nullptr);
    Put(m_lpInPlaceObject);
    Put(m_lpViewObject);
    Put(m_lpObject);
    m_nItemState = emptyState;
    SCODE sc = ::OleLoad(m_lpStorage, IID_IOleObject, &m_xOleClientSite, (void**)&m_lpObject);
    if (FAILED(sc) || m_lpObject == nullptr) {
        // The storage stays: the item keeps what the object saved.
        m_scLast = FAILED(sc) ? sc : E_FAIL;
        AfxThrowOleException(m_scLast);
    }
    FinishCreate(sc);
}

void COleClientItem::Close(OLECLOSE dwCloseOption)
{
    if (m_lpObject == nullptr)
        return;
    m_lpObject->Close(dwCloseOption);
    // The object may have let its site go without telling it.
    if (m_lpInPlaceObject != nullptr)
        OnDeactivate();
    if (m_nItemState != emptyState)
        SetState(loadedState);
}

void COleClientItem::Deactivate()
{
    if (m_lpInPlaceObject != nullptr)
        m_lpInPlaceObject->InPlaceDeactivate();
}

void COleClientItem::DeactivateUI()
{
    if (m_lpInPlaceObject != nullptr && m_nItemState == activeUIState)
        m_lpInPlaceObject->UIDeactivate();
}

BOOL COleClientItem::SetItemRects(LPCRECT lpPosRect, LPCRECT lpClipRect)
{
    if (m_lpInPlaceObject == nullptr)
        return FALSE;
    CRect position, clip;
    if (lpPosRect != nullptr)
        position = *lpPosRect;
    else
        OnGetItemPosition(position);
    if (lpClipRect != nullptr)
        clip = *lpClipRect;
    else
        OnGetClipRect(clip);
    return SUCCEEDED(m_lpInPlaceObject->SetObjectRects(&position, &clip));
}

void COleClientItem::Release(OLECLOSE dwCloseOption)
{
    if (m_lpObject != nullptr) {
        // Closing gives the object the chance to save itself and deactivate.
        if (IsRunning())
            m_lpObject->Close(dwCloseOption);
        if (m_lpViewObject != nullptr)
            m_lpViewObject->SetAdvise(m_nDrawAspect, 0, nullptr);
        if (m_dwConnection != 0)
            m_lpObject->Unadvise(m_dwConnection);
        m_dwConnection = 0;
        m_lpObject->SetClientSite(nullptr);
    }
    Put(m_lpInPlaceObject);
    Put(m_lpViewObject);
    Put(m_lpObject);
    Put(m_lpStorage);
    Put(m_lpLockBytes);
    Put(m_pFrameHook);
    Put(m_pDocHook);
    m_hWndServer = nullptr;
    m_nItemState = emptyState;
}

void COleClientItem::Delete(BOOL bAutoDelete)
{
    Release(OLECLOSE_NOSAVE);
    if (m_pDocument != nullptr)
        m_pDocument->RemoveItem(this);
    if (bAutoDelete)
        InternalRelease();
}

void COleClientItem::SetState(UINT nNewState)
{
    if (m_nItemState == nNewState)
        return;
    m_nItemState = nNewState;
    OnChange(OLE_CHANGED_STATE, nNewState);
}

void COleClientItem::OnChange(OLE_NOTIFICATION nCode, DWORD)
{
    if ((nCode == OLE_CHANGED || nCode == OLE_SAVED) && m_pDocument != nullptr)
        m_pDocument->SetModifiedFlag();
}

BOOL COleClientItem::OnChangeItemPosition(const CRect& rectPos)
{
    if (m_lpInPlaceObject == nullptr)
        return TRUE;
    return SetItemRects(&rectPos);
}

void COleClientItem::OnGetItemPosition(CRect& rPosition)
{
    rPosition.SetRectEmpty();
}

void COleClientItem::OnGetClipRect(CRect& rClipRect)
{
    rClipRect.SetRectEmpty();
    if (m_pView != nullptr && ::IsWindow(m_pView->GetSafeHwnd()))
        ::GetClientRect(m_pView->GetSafeHwnd(), &rClipRect);
}

BOOL COleClientItem::CanActivate()
{
    if (m_pView == nullptr || !::IsWindow(m_pView->GetSafeHwnd()))
        return FALSE;
    CFrameWnd* frame = m_pView->GetParentFrame();
    return frame == nullptr || !::IsIconic(frame->GetSafeHwnd());
}

void COleClientItem::OnActivate()
{
    SetState(activeState);
}

void COleClientItem::OnActivateUI()
{
    if (m_lpInPlaceObject != nullptr)
        m_lpInPlaceObject->GetWindow(&m_hWndServer);
    SetState(activeUIState);
}

void COleClientItem::OnDeactivateUI(BOOL)
{
    m_hWndServer = nullptr;
    if (m_nItemState == activeUIState)
        SetState(activeState);
    if (m_pView != nullptr && ::IsWindow(m_pView->GetSafeHwnd()))
        ::SetFocus(m_pView->GetSafeHwnd());
}

void COleClientItem::OnDeactivate()
{
    Put(m_lpInPlaceObject);
    Put(m_pFrameHook);
    Put(m_pDocHook);
    m_hWndServer = nullptr;
    if (m_nItemState != emptyState)
        SetState(loadedState);
}

BOOL COleClientItem::ReportError(SCODE sc) const
{
    char text[512] = "";
    ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, (DWORD)sc, 0, text,
                     sizeof text, nullptr);
    CString message;
    message.Format("The object could not be opened (0x%08lX). %s", (unsigned long)sc, text);
    AfxMessageBox(message, MB_OK | MB_ICONEXCLAMATION);
    return TRUE;
}

// The archive holds the drawing aspect and the bytes of the item's storage (none for an
// empty item); loading opens the object from them, not running.
void COleClientItem::Serialize(CArchive& ar)
{
    CDocItem::Serialize(ar);
    if (ar.IsStoring()) {
        std::vector<BYTE> bytes;
        if (m_lpLockBytes != nullptr) {
            SCODE sc = S_OK;
            LPPERSISTSTORAGE persist = nullptr;
            if (m_lpObject != nullptr && SUCCEEDED(sc = m_lpObject->QueryInterface(IID_IPersistStorage,
                                                                                 (void**)&persist))) {
                sc = ::OleSave(persist, m_lpStorage, TRUE);
                persist->SaveCompleted(nullptr);
                persist->Release();
            }
            if (SUCCEEDED(sc))
                sc = m_lpStorage->Commit(STGC_DEFAULT);
            STATSTG stat = {};
            if (SUCCEEDED(sc))
                sc = m_lpLockBytes->Stat(&stat, STATFLAG_NONAME);
            if (FAILED(sc))
                AfxThrowOleException(sc);
            bytes.resize(stat.cbSize.LowPart);
            ULONG read = 0;
            ULARGE_INTEGER at = {};
            if (!bytes.empty() && (FAILED(m_lpLockBytes->ReadAt(at, bytes.data(), (ULONG)bytes.size(), &read)) ||
                                   read != bytes.size()))
                AfxThrowOleException(STG_E_READFAULT);
        }
        ar << (DWORD)m_nDrawAspect << (DWORD)bytes.size();
        if (!bytes.empty())
            ar.Write(bytes.data(), (UINT)bytes.size());
        return;
    }
    Release(OLECLOSE_NOSAVE);
    DWORD aspect = 0, size = 0;
    ar >> aspect >> size;
    m_nDrawAspect = (DVASPECT)aspect;
    if (size == 0)
        return;
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, size);
    if (memory == nullptr)
        AfxThrowMemoryException();
    void* p = ::GlobalLock(memory);
    UINT read = ar.Read(p, size);
    ::GlobalUnlock(memory);
    if (read != size) {
        ::GlobalFree(memory);
        AfxThrowArchiveException(CArchiveException::endOfFile);
    }
    SCODE sc = ::CreateILockBytesOnHGlobal(memory, TRUE, &m_lpLockBytes);
    if (FAILED(sc)) {
        ::GlobalFree(memory);
        AfxThrowOleException(sc);
    }
    sc = ::StgOpenStorageOnILockBytes(m_lpLockBytes, nullptr, STGM_READWRITE | STGM_SHARE_EXCLUSIVE, nullptr, 0,
                                      &m_lpStorage);
    if (SUCCEEDED(sc))
        sc = ::OleLoad(m_lpStorage, IID_IOleObject, &m_xOleClientSite, (void**)&m_lpObject);
    if (!FinishCreate(sc))
        AfxThrowOleException(sc);
}

// ---- the item as the object's client site ----------------------------------------------

IMPLEMENT_IUNKNOWN(COleClientItem, OleClientSite)

HRESULT COleClientItem::XOleClientSite::SaveObject()
{
    METHOD_PROLOGUE(COleClientItem, OleClientSite)
    if (pThis->m_lpObject == nullptr || pThis->m_lpStorage == nullptr)
        return E_UNEXPECTED;
    LPPERSISTSTORAGE persist = nullptr;
    SCODE sc = pThis->m_lpObject->QueryInterface(IID_IPersistStorage, (void**)&persist);
    if (FAILED(sc))
        return sc;
    sc = ::OleSave(persist, pThis->m_lpStorage, TRUE);
    persist->SaveCompleted(nullptr);
    persist->Release();
    if (SUCCEEDED(sc))
        sc = pThis->m_lpStorage->Commit(STGC_DEFAULT);
    if (SUCCEEDED(sc))
        pThis->OnChange(OLE_SAVED, 0);
    return sc;
}

HRESULT COleClientItem::XOleClientSite::GetMoniker(DWORD, DWORD, LPMONIKER* ppMoniker)
{
    if (ppMoniker != nullptr)
        *ppMoniker = nullptr;
    return E_NOTIMPL;
}

HRESULT COleClientItem::XOleClientSite::GetContainer(LPOLECONTAINER* ppContainer)
{
    if (ppContainer != nullptr)
        *ppContainer = nullptr;
    return E_NOINTERFACE;
}

HRESULT COleClientItem::XOleClientSite::ShowObject()
{
    METHOD_PROLOGUE(COleClientItem, OleClientSite)
    pThis->OnShowItem();
    return S_OK;
}

HRESULT COleClientItem::XOleClientSite::OnShowWindow(BOOL fShow)
{
    METHOD_PROLOGUE(COleClientItem, OleClientSite)
    if (fShow)
        pThis->SetState(openState);
    else if (pThis->m_nItemState == openState)
        pThis->SetState(loadedState);
    return S_OK;
}

HRESULT COleClientItem::XOleClientSite::RequestNewObjectLayout()
{
    return E_NOTIMPL;
}

// ---- the item as the object's advise sink -----------------------------------------------

IMPLEMENT_IUNKNOWN(COleClientItem, AdviseSink)

void COleClientItem::XAdviseSink::OnDataChange(LPFORMATETC, LPSTGMEDIUM) {}

void COleClientItem::XAdviseSink::OnViewChange(DWORD dwAspect, LONG)
{
    METHOD_PROLOGUE(COleClientItem, AdviseSink)
    pThis->OnChange(OLE_CHANGED, dwAspect);
}

void COleClientItem::XAdviseSink::OnRename(LPMONIKER)
{
    METHOD_PROLOGUE(COleClientItem, AdviseSink)
    pThis->OnChange(OLE_RENAMED, 0);
}

void COleClientItem::XAdviseSink::OnSave()
{
    METHOD_PROLOGUE(COleClientItem, AdviseSink)
    pThis->OnChange(OLE_SAVED, 0);
}

void COleClientItem::XAdviseSink::OnClose()
{
    METHOD_PROLOGUE(COleClientItem, AdviseSink)
    if (pThis->m_nItemState != emptyState)
        pThis->SetState(loadedState);
    pThis->OnChange(OLE_CLOSED, 0);
}

// ---- the item as the object's in-place site ---------------------------------------------

IMPLEMENT_IUNKNOWN(COleClientItem, OleIPSite)

HRESULT COleClientItem::XOleIPSite::GetWindow(HWND* phwnd)
{
    METHOD_PROLOGUE(COleClientItem, OleIPSite)
    if (phwnd == nullptr)
        return E_POINTER;
    *phwnd = pThis->m_pView != nullptr ? pThis->m_pView->GetSafeHwnd() : nullptr;
    return *phwnd != nullptr ? S_OK : E_FAIL;
}

HRESULT COleClientItem::XOleIPSite::ContextSensitiveHelp(BOOL)
{
    return S_OK;
}

HRESULT COleClientItem::XOleIPSite::CanInPlaceActivate()
{
    METHOD_PROLOGUE(COleClientItem, OleIPSite)
    return pThis->m_nDrawAspect == DVASPECT_CONTENT && pThis->CanActivate() ? S_OK : S_FALSE;
}

HRESULT COleClientItem::XOleIPSite::OnInPlaceActivate()
{
    METHOD_PROLOGUE(COleClientItem, OleIPSite)
    if (pThis->m_lpObject == nullptr)
        return E_UNEXPECTED;
    if (pThis->m_lpInPlaceObject == nullptr)
        pThis->m_lpObject->QueryInterface(IID_IOleInPlaceObject, (void**)&pThis->m_lpInPlaceObject);
    pThis->OnActivate();
    return S_OK;
}

HRESULT COleClientItem::XOleIPSite::OnUIActivate()
{
    METHOD_PROLOGUE(COleClientItem, OleIPSite)
    pThis->OnActivateUI();
    return S_OK;
}

HRESULT COleClientItem::XOleIPSite::GetWindowContext(LPOLEINPLACEFRAME* ppFrame, LPOLEINPLACEUIWINDOW* ppDoc,
                                                      LPRECT lprcPosRect, LPRECT lprcClipRect,
                                                      LPOLEINPLACEFRAMEINFO lpFrameInfo)
{
    METHOD_PROLOGUE(COleClientItem, OleIPSite)
    if (ppFrame == nullptr || ppDoc == nullptr || lprcPosRect == nullptr || lprcClipRect == nullptr)
        return E_POINTER;
    *ppFrame = nullptr;
    *ppDoc = nullptr;
    if (pThis->m_pView == nullptr)
        return E_UNEXPECTED;
    CFrameWnd* doc = pThis->m_pView->GetParentFrame();
    CFrameWnd* top = doc;
    while (top != nullptr && top->GetParentFrame() != nullptr)
        top = top->GetParentFrame();
    if (top == nullptr)
        return E_UNEXPECTED;
    if (pThis->m_pFrameHook == nullptr)
        pThis->m_pFrameHook = new COleFrameHook(top, TRUE);
    if (doc != top && pThis->m_pDocHook == nullptr)
        pThis->m_pDocHook = new COleFrameHook(doc, FALSE);
    pThis->m_pFrameHook->AddRef();
    *ppFrame = pThis->m_pFrameHook;
    if (pThis->m_pDocHook != nullptr) {
        pThis->m_pDocHook->AddRef();
        *ppDoc = pThis->m_pDocHook;
    }
    CRect position, clip;
    pThis->OnGetItemPosition(position);
    pThis->OnGetClipRect(clip);
    *lprcPosRect = position;
    *lprcClipRect = clip;
    if (lpFrameInfo != nullptr) {
        lpFrameInfo->fMDIApp = doc != top;
        lpFrameInfo->hwndFrame = top->GetSafeHwnd();
        lpFrameInfo->haccel = nullptr;
        lpFrameInfo->cAccelEntries = 0;
    }
    return S_OK;
}

HRESULT COleClientItem::XOleIPSite::Scroll(SIZE)
{
    return S_FALSE;
}

HRESULT COleClientItem::XOleIPSite::OnUIDeactivate(BOOL fUndoable)
{
    METHOD_PROLOGUE(COleClientItem, OleIPSite)
    pThis->OnDeactivateUI(fUndoable);
    return S_OK;
}

HRESULT COleClientItem::XOleIPSite::OnInPlaceDeactivate()
{
    METHOD_PROLOGUE(COleClientItem, OleIPSite)
    pThis->OnDeactivate();
    return S_OK;
}

HRESULT COleClientItem::XOleIPSite::DiscardUndoState()
{
    return S_OK;
}

HRESULT COleClientItem::XOleIPSite::DeactivateAndUndo()
{
    METHOD_PROLOGUE(COleClientItem, OleIPSite)
    pThis->DeactivateUI();
    return S_OK;
}

HRESULT COleClientItem::XOleIPSite::OnPosRectChange(LPCRECT lprcPosRect)
{
    METHOD_PROLOGUE(COleClientItem, OleIPSite)
    if (lprcPosRect == nullptr)
        return E_POINTER;
    return pThis->OnChangeItemPosition(CRect(*lprcPosRect)) ? S_OK : E_FAIL;
}

// ---- the Insert Object dialog -----------------------------------------------------------

COleInsertDialog::COleInsertDialog(DWORD dwFlags, CWnd* pParentWnd) : m_io{}, m_szFileName{}
{
    m_hWndParent = pParentWnd != nullptr ? pParentWnd->GetSafeHwnd() : nullptr;
    m_io.cbStruct = sizeof m_io;
    // Links to files are not offered: a linked item has no moniker from this container.
    m_io.dwFlags = dwFlags | IOF_DISABLELINK;
    m_io.lpszFile = m_szFileName;
    m_io.cchFile = sizeof m_szFileName;
}

INT_PTR COleInsertDialog::DoModal()
{
    if (m_hWndParent == nullptr && AfxGetMainWnd() != nullptr)
        m_hWndParent = AfxGetMainWnd()->GetSafeHwnd();
    m_io.hWndOwner = m_hWndParent;
    UINT result = ::OleUIInsertObjectA(&m_io);
    return result == OLEUI_OK ? IDOK : IDCANCEL;
}

UINT COleInsertDialog::GetSelectionType() const
{
    return (m_io.dwFlags & IOF_SELECTCREATEFROMFILE) != 0 ? insertFromFile : createNewItem;
}

BOOL COleInsertDialog::CreateItem(COleClientItem* pItem)
{
    if (GetSelectionType() == insertFromFile)
        return pItem->CreateFromFile(m_szFileName);
    return pItem->CreateNewItem(m_io.clsid);
}
