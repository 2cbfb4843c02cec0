// The server side of OLE documents: object factories and the template server, OLE
// documents with their items, the linking document in the running object table, the
// server document (the object containers embed) and the server item (its picture and
// data, also on the clipboard).
#include "afxole.h"
#include "OleText.h"

#include <string>
#include <vector>

namespace {

COleObjectFactory* g_pFirstFactory = nullptr;
// Set while the template server makes a document for OLE: the document is embedded
// from its construction on, so its first OnNewDocument already knows it.
BOOL g_bCreatingEmbedded = FALSE;

using qxafx::Narrow;
using qxafx::Wide;

} // namespace

// ---- object factories -------------------------------------------------------------------

IMPLEMENT_DYNAMIC(COleObjectFactory, CCmdTarget)

BEGIN_INTERFACE_MAP(COleObjectFactory, CCmdTarget)
    INTERFACE_PART(COleObjectFactory, IID_IClassFactory, ClassFactory)
END_INTERFACE_MAP()

COleObjectFactory::COleObjectFactory(REFCLSID clsid, CRuntimeClass* pRuntimeClass, BOOL bMultiInstance,
                                     LPCTSTR lpszProgID)
    : m_clsid(clsid), m_pRuntimeClass(pRuntimeClass), m_bMultiInstance(bMultiInstance), m_lpszProgID(lpszProgID),
      m_dwRegister(0), m_pNextFactory(g_pFirstFactory)
{
    g_pFirstFactory = this;
}

COleObjectFactory::~COleObjectFactory()
{
    Revoke();
    for (COleObjectFactory** pp = &g_pFirstFactory; *pp != nullptr; pp = &(*pp)->m_pNextFactory)
        if (*pp == this) {
            *pp = m_pNextFactory;
            break;
        }
}

BOOL COleObjectFactory::Register()
{
    if (m_dwRegister != 0)
        return TRUE;
    // A single-use class object serves one object per program: each object another
    // program creates then starts a program of its own.
    HRESULT hr = ::CoRegisterClassObject(m_clsid, GetInterface(&IID_IUnknown), CLSCTX_LOCAL_SERVER,
                                         m_bMultiInstance ? REGCLS_SINGLEUSE : REGCLS_MULTIPLEUSE, &m_dwRegister);
    if (FAILED(hr)) {
        m_dwRegister = 0;
        return FALSE;
    }
    return TRUE;
}

void COleObjectFactory::Revoke()
{
    if (m_dwRegister != 0) {
        ::CoRevokeClassObject(m_dwRegister);
        m_dwRegister = 0;
    }
}

BOOL COleObjectFactory::UpdateRegistry(LPCTSTR)
{
    return TRUE;
}

BOOL PASCAL COleObjectFactory::RegisterAll()
{
    BOOL ok = TRUE;
    for (COleObjectFactory* p = g_pFirstFactory; p != nullptr; p = p->m_pNextFactory)
        if (!p->Register())
            ok = FALSE;
    return ok;
}

void PASCAL COleObjectFactory::RevokeAll()
{
    for (COleObjectFactory* p = g_pFirstFactory; p != nullptr; p = p->m_pNextFactory)
        p->Revoke();
}

BOOL PASCAL COleObjectFactory::UpdateRegistryAll(BOOL)
{
    BOOL ok = TRUE;
    for (COleObjectFactory* p = g_pFirstFactory; p != nullptr; p = p->m_pNextFactory)
        if (!p->UpdateRegistry(p->m_lpszProgID))
            ok = FALSE;
    return ok;
}

CCmdTarget* COleObjectFactory::OnCreateObject()
{
    if (m_pRuntimeClass == nullptr)
        return nullptr;
    CObject* p = m_pRuntimeClass->CreateObject();
    CCmdTarget* target = dynamic_cast<CCmdTarget*>(p);
    if (target == nullptr)
        delete p;
    return target;
}

IMPLEMENT_IUNKNOWN(COleObjectFactory, ClassFactory)

HRESULT COleObjectFactory::XClassFactory::CreateInstance(LPUNKNOWN outer, REFIID iid, LPVOID* ppv)
{
    METHOD_PROLOGUE(COleObjectFactory, ClassFactory)
    if (ppv == nullptr)
        return E_POINTER;
    *ppv = nullptr;
    if (outer != nullptr)
        return CLASS_E_NOAGGREGATION;
    CCmdTarget* target = nullptr;
    try {
        target = pThis->OnCreateObject();
    } catch (CException* e) {
        e->Delete();
    }
    if (target == nullptr)
        return E_OUTOFMEMORY;
    // The caller's reference replaces the creator's.
    HRESULT hr = (HRESULT)target->ExternalQueryInterface(&iid, ppv);
    target->InternalRelease();
    return hr;
}

HRESULT COleObjectFactory::XClassFactory::LockServer(BOOL fLock)
{
    if (fLock)
        AfxOleLockApp();
    else
        AfxOleUnlockApp();
    return S_OK;
}

IMPLEMENT_DYNAMIC(COleTemplateServer, COleObjectFactory)

COleTemplateServer::COleTemplateServer() : COleObjectFactory(CLSID_NULL, nullptr, FALSE, nullptr), m_pDocTemplate(nullptr) {}

void COleTemplateServer::ConnectTemplate(REFCLSID clsid, CDocTemplate* pDocTemplate, BOOL bMultiInstance)
{
    m_clsid = clsid;
    m_pDocTemplate = pDocTemplate;
    m_bMultiInstance = bMultiInstance;
    if (pDocTemplate != nullptr)
        pDocTemplate->m_pAttachedFactory = this;
}

void COleTemplateServer::UpdateRegistry(OLE_APPTYPE, LPCTSTR*, LPCTSTR*) {}

BOOL COleTemplateServer::UpdateRegistry(LPCTSTR)
{
    UpdateRegistry(OAT_INPLACE_SERVER);
    return TRUE;
}

CCmdTarget* COleTemplateServer::OnCreateObject()
{
    if (m_pDocTemplate == nullptr)
        return nullptr;
    // Making the document does not hand the program to the user.
    BOOL bUserCtrl = AfxOleGetUserCtrl();
    g_bCreatingEmbedded = TRUE;
    CDocument* pDoc = nullptr;
    try {
        pDoc = m_pDocTemplate->OpenDocumentFile(nullptr, FALSE);
    } catch (...) {
        g_bCreatingEmbedded = FALSE;
        AfxOleSetUserCtrl(bUserCtrl);
        throw;
    }
    g_bCreatingEmbedded = FALSE;
    AfxOleSetUserCtrl(bUserCtrl);
    return pDoc;
}

// ---- OLE documents and their items ------------------------------------------------------

IMPLEMENT_DYNAMIC(CDocItem, CCmdTarget)

CDocItem::CDocItem() : m_pDocument(nullptr) {}

CDocument* CDocItem::GetDocument() const
{
    return m_pDocument;
}

CDocItem::~CDocItem()
{
    if (m_pDocument != nullptr)
        m_pDocument->RemoveItem(this);
}

IMPLEMENT_DYNAMIC(COleDocument, CDocument)

COleDocument::COleDocument() : m_bCompoundFile(FALSE) {}

COleDocument::~COleDocument()
{
    while (!m_docItemList.IsEmpty()) {
        CDocItem* item = (CDocItem*)m_docItemList.RemoveHead();
        item->m_pDocument = nullptr;
        delete item;
    }
}

void COleDocument::AddItem(CDocItem* pItem)
{
    m_docItemList.AddTail(pItem);
    pItem->m_pDocument = this;
}

void COleDocument::RemoveItem(CDocItem* pItem)
{
    POSITION pos = m_docItemList.Find(pItem);
    if (pos != nullptr)
        m_docItemList.RemoveAt(pos);
    pItem->m_pDocument = nullptr;
}

COleServerItem* COleDocument::GetNextServerItem(POSITION& pos) const
{
    while (pos != nullptr) {
        CDocItem* item = GetNextItem(pos);
        if (COleServerItem* server = DYNAMIC_DOWNCAST(COleServerItem, item))
            return server;
    }
    return nullptr;
}

BOOL COleDocument::HasBlankItems() const
{
    POSITION pos = GetStartPosition();
    while (pos != nullptr)
        if (GetNextItem(pos)->IsBlank())
            return TRUE;
    return FALSE;
}

void COleDocument::DeleteContents()
{
    CDocument::DeleteContents();
}

void COleDocument::SaveToStorage(LPSTORAGE lpStorage, CDocItem* pItem)
{
    COleServerDoc* server = DYNAMIC_DOWNCAST(COleServerDoc, this);
    COleObjectFactory* factory = server != nullptr ? server->GetFactory() : nullptr;
    if (factory != nullptr)
        ::WriteClassStg(lpStorage, factory->GetClassID());
    COleStreamFile file;
    if (!file.CreateStream(lpStorage, "Contents"))
        AfxThrowOleException(STG_E_CANTSAVE);
    CArchive ar(&file, CArchive::store);
    ar.m_pDocument = this;
    if (pItem != nullptr)
        pItem->Serialize(ar);
    else
        Serialize(ar);
    ar.Close();
    file.Close();
    if (FAILED(lpStorage->Commit(STGC_DEFAULT)))
        AfxThrowOleException(STG_E_CANTSAVE);
}

void COleDocument::LoadFromStorage(LPSTORAGE lpStorage)
{
    COleStreamFile file;
    if (!file.OpenStream(lpStorage, "Contents", STGM_READ | STGM_SHARE_EXCLUSIVE))
        AfxThrowOleException(STG_E_FILENOTFOUND);
    CArchive ar(&file, CArchive::load);
    ar.m_pDocument = this;
    Serialize(ar);
    ar.Close();
}

IMPLEMENT_DYNAMIC(COleLinkingDoc, COleDocument)

COleLinkingDoc::COleLinkingDoc() : m_pFactory(nullptr), m_dwRegister(0), m_lpMonikerROT(nullptr) {}

COleLinkingDoc::~COleLinkingDoc()
{
    Revoke();
}

BOOL COleLinkingDoc::Register(COleObjectFactory* pFactory, LPCTSTR lpszPathName)
{
    Revoke();
    m_pFactory = pFactory;
    if (lpszPathName == nullptr || *lpszPathName == '\0')
        return TRUE;
    LPMONIKER mk = nullptr;
    if (FAILED(::CreateFileMoniker(Wide(lpszPathName).c_str(), &mk)))
        return FALSE;
    LPRUNNINGOBJECTTABLE rot = nullptr;
    if (FAILED(::GetRunningObjectTable(0, &rot)) || rot == nullptr) {
        mk->Release();
        return FALSE;
    }
    HRESULT hr = rot->Register(0, GetInterface(&IID_IUnknown), mk, &m_dwRegister);
    rot->Release();
    if (FAILED(hr)) {
        m_dwRegister = 0;
        mk->Release();
        return FALSE;
    }
    m_lpMonikerROT = mk;
    m_strMoniker = lpszPathName;
    return TRUE;
}

void COleLinkingDoc::Revoke()
{
    if (m_dwRegister != 0) {
        LPRUNNINGOBJECTTABLE rot = nullptr;
        if (SUCCEEDED(::GetRunningObjectTable(0, &rot)) && rot != nullptr) {
            rot->Revoke(m_dwRegister);
            rot->Release();
        }
        m_dwRegister = 0;
    }
    if (m_lpMonikerROT != nullptr) {
        m_lpMonikerROT->Release();
        m_lpMonikerROT = nullptr;
    }
    m_strMoniker.Empty();
}

BOOL COleLinkingDoc::OnNewDocument()
{
    Revoke();
    return CDocument::OnNewDocument();
}

BOOL COleLinkingDoc::OnOpenDocument(LPCTSTR lpszPathName)
{
    Revoke();
    if (!CDocument::OnOpenDocument(lpszPathName))
        return FALSE;
    if (m_pFactory != nullptr)
        Register(m_pFactory, lpszPathName);
    return TRUE;
}

void COleLinkingDoc::OnCloseDocument()
{
    Revoke();
    CDocument::OnCloseDocument();
}

COleServerItem* COleLinkingDoc::OnGetLinkedItem(LPCTSTR lpszItemName)
{
    POSITION pos = GetStartPosition();
    while (COleServerItem* item = GetNextServerItem(pos))
        if (item->GetItemName() == lpszItemName)
            return item;
    return nullptr;
}

LPMONIKER COleLinkingDoc::GetMoniker(OLEGETMONIKER)
{
    if (m_strPathName.IsEmpty())
        return nullptr;
    LPMONIKER mk = nullptr;
    return SUCCEEDED(::CreateFileMoniker(Wide(m_strPathName).c_str(), &mk)) ? mk : nullptr;
}

// ---- the server document ----------------------------------------------------------------

IMPLEMENT_DYNAMIC(COleServerDoc, COleLinkingDoc)

BEGIN_MESSAGE_MAP(COleServerDoc, COleLinkingDoc)
    ON_COMMAND(ID_FILE_UPDATE, OnFileUpdate)
END_MESSAGE_MAP()

void COleServerDoc::OnFileUpdate()
{
    OnUpdateDocument();
}

BEGIN_INTERFACE_MAP(COleServerDoc, COleLinkingDoc)
    INTERFACE_PART(COleServerDoc, IID_IPersistStorage, PersistStorage)
    INTERFACE_PART(COleServerDoc, IID_IOleObject, OleObject)
    INTERFACE_PART(COleServerDoc, IID_IDataObject, DataObject)
    INTERFACE_PART(COleServerDoc, IID_IOleWindow, OleInPlaceObject)
    INTERFACE_PART(COleServerDoc, IID_IOleInPlaceObject, OleInPlaceObject)
    INTERFACE_PART(COleServerDoc, IID_IOleInPlaceActiveObject, OleInPlaceActiveObject)
END_INTERFACE_MAP()

COleServerDoc::COleServerDoc()
    : m_lpClientSite(nullptr), m_lpAdviseHolder(nullptr), m_lpDataAdviseHolder(nullptr), m_pEmbeddedItem(nullptr),
      m_bClosing(FALSE), m_pInPlaceFrame(nullptr), m_lpInPlaceSite(nullptr), m_hWndOrigParent(nullptr),
      m_dwOrigStyle(0), m_dwOrigStyleEx(0), m_bDeactivating(FALSE)
{
    m_bEmbedded = g_bCreatingEmbedded;
}

COleServerDoc::~COleServerDoc()
{
    if (m_lpClientSite != nullptr)
        m_lpClientSite->Release();
    if (m_lpAdviseHolder != nullptr)
        m_lpAdviseHolder->Release();
    if (m_lpDataAdviseHolder != nullptr)
        m_lpDataAdviseHolder->Release();
}

COleObjectFactory* COleServerDoc::GetFactory() const
{
    return m_pDocTemplate != nullptr ? dynamic_cast<COleObjectFactory*>(m_pDocTemplate->m_pAttachedFactory) : nullptr;
}

COleServerItem* COleServerDoc::OnGetEmbeddedItem()
{
    return nullptr;
}

COleServerItem* COleServerDoc::GetEmbeddedItem()
{
    if (m_pEmbeddedItem == nullptr)
        m_pEmbeddedItem = OnGetEmbeddedItem();
    return m_pEmbeddedItem;
}

void COleServerDoc::UpdateAllItems(COleServerItem* pSender, LPARAM lHint, CObject* pHint, DVASPECT nDrawAspect)
{
    POSITION pos = GetStartPosition();
    while (COleServerItem* item = GetNextServerItem(pos))
        if (item != pSender)
            item->OnUpdate(pSender, lHint, pHint, nDrawAspect);
}

void COleServerDoc::NotifyChanged()
{
    if (m_lpDataAdviseHolder != nullptr)
        m_lpDataAdviseHolder->SendOnDataChange(&m_xDataObject, 0, 0);
}

void COleServerDoc::NotifyClosed()
{
    if (m_lpAdviseHolder != nullptr)
        m_lpAdviseHolder->SendOnClose();
}

void COleServerDoc::NotifySaved()
{
    if (m_lpAdviseHolder != nullptr)
        m_lpAdviseHolder->SendOnSave();
}

void COleServerDoc::SaveEmbedding()
{
    if (m_lpClientSite != nullptr && SUCCEEDED(m_lpClientSite->SaveObject()))
        NotifySaved();
}

BOOL COleServerDoc::OnUpdateDocument()
{
    if (m_bEmbedded && m_lpClientSite != nullptr) {
        UpdateAllItems(nullptr);
        SaveEmbedding();
    }
    return TRUE;
}

void COleServerDoc::OnShowDocument(BOOL bShow)
{
    POSITION pos = GetFirstViewPosition();
    CView* view = pos != nullptr ? GetNextView(pos) : nullptr;
    CFrameWnd* frame = view != nullptr ? view->GetParentFrame() : nullptr;
    CWnd* main = AfxGetMainWnd();
    if (bShow) {
        if (main != nullptr && main->m_hWnd != nullptr) {
            if (!main->IsWindowVisible())
                main->ShowWindow(SW_SHOW);
            ::SetForegroundWindow(main->m_hWnd);
        }
        if (frame != nullptr)
            frame->ActivateFrame(SW_SHOW);
        if (m_lpClientSite != nullptr)
            m_lpClientSite->OnShowWindow(TRUE);
    } else {
        if (frame != nullptr)
            frame->ShowWindow(SW_HIDE);
        if (m_lpClientSite != nullptr)
            m_lpClientSite->OnShowWindow(FALSE);
    }
}

void COleServerDoc::OnSetHostNames(LPCTSTR, LPCTSTR lpszHostObj)
{
    m_strHostObj = lpszHostObj;
}

BOOL COleServerDoc::SaveModified()
{
    // An embedded document is saved into its container, not into a file of its own.
    if (m_bEmbedded) {
        if (IsModified())
            OnUpdateDocument();
        return TRUE;
    }
    return CDocument::SaveModified();
}

LPMONIKER COleServerDoc::GetMoniker(OLEGETMONIKER nAssign)
{
    if (m_lpClientSite != nullptr) {
        LPMONIKER mk = nullptr;
        if (SUCCEEDED(m_lpClientSite->GetMoniker(nAssign, OLEWHICHMK_OBJFULL, &mk)))
            return mk;
        return nullptr;
    }
    return COleLinkingDoc::GetMoniker(nAssign);
}

void COleServerDoc::OnCloseDocument()
{
    if (m_bClosing)
        return;
    m_bClosing = TRUE;
    // The document stays alive while its containers let it go.
    InternalAddRef();
    if (m_pInPlaceFrame != nullptr)
        OnDeactivate();
    NotifyClosed();
    if (m_lpClientSite != nullptr) {
        m_lpClientSite->Release();
        m_lpClientSite = nullptr;
    }
    ::CoDisconnectObject(GetInterface(&IID_IUnknown), 0);
    COleLinkingDoc::OnCloseDocument();
}

void COleServerDoc::OnFinalRelease()
{
    if (!m_bClosing)
        OnCloseDocument();
}

BOOL COleServerDoc::OnNewEmbedding(LPSTORAGE)
{
    m_bEmbedded = TRUE;
    return OnNewDocument();
}

BOOL COleServerDoc::OnOpenEmbedding(LPSTORAGE lpStorage)
{
    m_bEmbedded = TRUE;
    try {
        LoadFromStorage(lpStorage);
    } catch (CException* e) {
        e->Delete();
        return FALSE;
    }
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL COleServerDoc::OnSaveEmbedding(LPSTORAGE lpStorage)
{
    try {
        SaveToStorage(lpStorage, GetEmbeddedItem());
    } catch (CException* e) {
        e->Delete();
        return FALSE;
    }
    SetModifiedFlag(FALSE);
    return TRUE;
}

IMPLEMENT_IUNKNOWN(COleServerDoc, PersistStorage)

HRESULT COleServerDoc::XPersistStorage::GetClassID(LPCLSID clsid)
{
    METHOD_PROLOGUE(COleServerDoc, PersistStorage)
    COleObjectFactory* f = pThis->GetFactory();
    *clsid = f != nullptr ? f->GetClassID() : CLSID_NULL;
    return f != nullptr ? S_OK : E_FAIL;
}

HRESULT COleServerDoc::XPersistStorage::IsDirty()
{
    METHOD_PROLOGUE(COleServerDoc, PersistStorage)
    return pThis->IsModified() ? S_OK : S_FALSE;
}

HRESULT COleServerDoc::XPersistStorage::InitNew(LPSTORAGE stg)
{
    METHOD_PROLOGUE(COleServerDoc, PersistStorage)
    return pThis->OnNewEmbedding(stg) ? S_OK : E_FAIL;
}

HRESULT COleServerDoc::XPersistStorage::Load(LPSTORAGE stg)
{
    METHOD_PROLOGUE(COleServerDoc, PersistStorage)
    return pThis->OnOpenEmbedding(stg) ? S_OK : E_FAIL;
}

HRESULT COleServerDoc::XPersistStorage::Save(LPSTORAGE stg, BOOL)
{
    METHOD_PROLOGUE(COleServerDoc, PersistStorage)
    return pThis->OnSaveEmbedding(stg) ? S_OK : STG_E_CANTSAVE;
}

HRESULT COleServerDoc::XPersistStorage::SaveCompleted(LPSTORAGE)
{
    METHOD_PROLOGUE(COleServerDoc, PersistStorage)
    pThis->NotifySaved();
    return S_OK;
}

HRESULT COleServerDoc::XPersistStorage::HandsOffStorage()
{
    return S_OK;
}

IMPLEMENT_IUNKNOWN(COleServerDoc, OleObject)

HRESULT COleServerDoc::XOleObject::SetClientSite(LPOLECLIENTSITE site)
{
    METHOD_PROLOGUE(COleServerDoc, OleObject)
    if (site != nullptr)
        site->AddRef();
    if (pThis->m_lpClientSite != nullptr)
        pThis->m_lpClientSite->Release();
    pThis->m_lpClientSite = site;
    return S_OK;
}

HRESULT COleServerDoc::XOleObject::GetClientSite(LPOLECLIENTSITE* site)
{
    METHOD_PROLOGUE(COleServerDoc, OleObject)
    *site = pThis->m_lpClientSite;
    if (*site != nullptr)
        (*site)->AddRef();
    return S_OK;
}

HRESULT COleServerDoc::XOleObject::SetHostNames(LPCOLESTR app, LPCOLESTR obj)
{
    METHOD_PROLOGUE(COleServerDoc, OleObject)
    pThis->OnSetHostNames(Narrow(app), Narrow(obj));
    return S_OK;
}

HRESULT COleServerDoc::XOleObject::Close(DWORD saveOption)
{
    METHOD_PROLOGUE(COleServerDoc, OleObject)
    if (saveOption != OLECLOSE_NOSAVE && pThis->IsModified())
        pThis->SaveEmbedding();
    pThis->OnCloseDocument();
    return S_OK;
}

HRESULT COleServerDoc::XOleObject::SetMoniker(DWORD, LPMONIKER)
{
    return S_OK;
}

HRESULT COleServerDoc::XOleObject::GetMoniker(DWORD assign, DWORD which, LPMONIKER* mk)
{
    METHOD_PROLOGUE(COleServerDoc, OleObject)
    *mk = nullptr;
    if (pThis->m_lpClientSite != nullptr)
        return pThis->m_lpClientSite->GetMoniker(assign, which, mk);
    *mk = pThis->GetMoniker((OLEGETMONIKER)assign);
    return *mk != nullptr ? S_OK : E_FAIL;
}

HRESULT COleServerDoc::XOleObject::InitFromData(LPDATAOBJECT, BOOL, DWORD)
{
    return E_NOTIMPL;
}

HRESULT COleServerDoc::XOleObject::GetClipboardData(DWORD, LPDATAOBJECT* ppdo)
{
    *ppdo = nullptr;
    return E_NOTIMPL;
}

HRESULT COleServerDoc::XOleObject::DoVerb(LONG verb, LPMSG, LPOLECLIENTSITE, LONG, HWND, LPCRECT)
{
    METHOD_PROLOGUE(COleServerDoc, OleObject)
    COleServerItem* item = pThis->GetEmbeddedItem();
    if (item == nullptr)
        return E_UNEXPECTED;
    pThis->InternalAddRef();
    HRESULT hr = S_OK;
    try {
        item->OnDoVerb(verb);
    } catch (CException* e) {
        e->Delete();
        hr = E_FAIL;
    }
    pThis->InternalRelease();
    return hr;
}

HRESULT COleServerDoc::XOleObject::EnumVerbs(LPENUMOLEVERB* ppenum)
{
    METHOD_PROLOGUE(COleServerDoc, OleObject)
    COleObjectFactory* f = pThis->GetFactory();
    *ppenum = nullptr;
    return f != nullptr ? ::OleRegEnumVerbs(f->GetClassID(), ppenum) : OLEOBJ_E_NOVERBS;
}

HRESULT COleServerDoc::XOleObject::Update()
{
    METHOD_PROLOGUE(COleServerDoc, OleObject)
    pThis->UpdateAllItems(nullptr);
    return S_OK;
}

HRESULT COleServerDoc::XOleObject::IsUpToDate()
{
    return S_OK;
}

HRESULT COleServerDoc::XOleObject::GetUserClassID(CLSID* clsid)
{
    METHOD_PROLOGUE(COleServerDoc, OleObject)
    return pThis->m_xPersistStorage.GetClassID(clsid);
}

HRESULT COleServerDoc::XOleObject::GetUserType(DWORD form, LPOLESTR* type)
{
    METHOD_PROLOGUE(COleServerDoc, OleObject)
    COleObjectFactory* f = pThis->GetFactory();
    *type = nullptr;
    return f != nullptr ? ::OleRegGetUserType(f->GetClassID(), form, type) : E_FAIL;
}

HRESULT COleServerDoc::XOleObject::SetExtent(DWORD, LPSIZEL)
{
    // The picture keeps the size its document gives it.
    return E_FAIL;
}

HRESULT COleServerDoc::XOleObject::GetExtent(DWORD aspect, LPSIZEL size)
{
    METHOD_PROLOGUE(COleServerDoc, OleObject)
    COleServerItem* item = pThis->GetEmbeddedItem();
    CSize s(0, 0);
    if (item == nullptr || !item->OnGetExtent((DVASPECT)aspect, s))
        return E_FAIL;
    size->cx = s.cx;
    size->cy = s.cy;
    return S_OK;
}

HRESULT COleServerDoc::XOleObject::Advise(LPADVISESINK sink, LPDWORD conn)
{
    METHOD_PROLOGUE(COleServerDoc, OleObject)
    if (pThis->m_lpAdviseHolder == nullptr && FAILED(::CreateOleAdviseHolder(&pThis->m_lpAdviseHolder)))
        return E_OUTOFMEMORY;
    return pThis->m_lpAdviseHolder->Advise(sink, conn);
}

HRESULT COleServerDoc::XOleObject::Unadvise(DWORD conn)
{
    METHOD_PROLOGUE(COleServerDoc, OleObject)
    return pThis->m_lpAdviseHolder != nullptr ? pThis->m_lpAdviseHolder->Unadvise(conn) : OLE_E_NOCONNECTION;
}

HRESULT COleServerDoc::XOleObject::EnumAdvise(LPENUMSTATDATA* ppenum)
{
    METHOD_PROLOGUE(COleServerDoc, OleObject)
    *ppenum = nullptr;
    return pThis->m_lpAdviseHolder != nullptr ? pThis->m_lpAdviseHolder->EnumAdvise(ppenum) : S_OK;
}

HRESULT COleServerDoc::XOleObject::GetMiscStatus(DWORD aspect, LPDWORD status)
{
    METHOD_PROLOGUE(COleServerDoc, OleObject)
    COleObjectFactory* f = pThis->GetFactory();
    *status = 0;
    if (f != nullptr)
        ::OleRegGetMiscStatus(f->GetClassID(), aspect, status);
    return S_OK;
}

HRESULT COleServerDoc::XOleObject::SetColorScheme(LPLOGPALETTE)
{
    return E_NOTIMPL;
}

IMPLEMENT_IUNKNOWN(COleServerDoc, DataObject)

// The document's data are its embedded item's.
static LPDATAOBJECT ItemData(COleServerDoc* doc)
{
    COleServerItem* item = doc->GetEmbeddedItem();
    return item != nullptr ? item->GetDataObject() : nullptr;
}

HRESULT COleServerDoc::XDataObject::GetData(LPFORMATETC f, LPSTGMEDIUM m)
{
    METHOD_PROLOGUE(COleServerDoc, DataObject)
    LPDATAOBJECT d = ItemData(pThis);
    return d != nullptr ? d->GetData(f, m) : E_UNEXPECTED;
}

HRESULT COleServerDoc::XDataObject::GetDataHere(LPFORMATETC, LPSTGMEDIUM)
{
    return E_NOTIMPL;
}

HRESULT COleServerDoc::XDataObject::QueryGetData(LPFORMATETC f)
{
    METHOD_PROLOGUE(COleServerDoc, DataObject)
    LPDATAOBJECT d = ItemData(pThis);
    return d != nullptr ? d->QueryGetData(f) : E_UNEXPECTED;
}

HRESULT COleServerDoc::XDataObject::GetCanonicalFormatEtc(LPFORMATETC, LPFORMATETC out)
{
    if (out != nullptr)
        out->ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
}

HRESULT COleServerDoc::XDataObject::SetData(LPFORMATETC, LPSTGMEDIUM, BOOL)
{
    return E_NOTIMPL;
}

HRESULT COleServerDoc::XDataObject::EnumFormatEtc(DWORD dir, LPENUMFORMATETC* ppenum)
{
    METHOD_PROLOGUE(COleServerDoc, DataObject)
    LPDATAOBJECT d = ItemData(pThis);
    return d != nullptr ? d->EnumFormatEtc(dir, ppenum) : E_UNEXPECTED;
}

HRESULT COleServerDoc::XDataObject::DAdvise(LPFORMATETC f, DWORD advf, LPADVISESINK sink, LPDWORD conn)
{
    METHOD_PROLOGUE(COleServerDoc, DataObject)
    if (pThis->m_lpDataAdviseHolder == nullptr && FAILED(::CreateDataAdviseHolder(&pThis->m_lpDataAdviseHolder)))
        return E_OUTOFMEMORY;
    return pThis->m_lpDataAdviseHolder->Advise(this, f, advf, sink, conn);
}

HRESULT COleServerDoc::XDataObject::DUnadvise(DWORD conn)
{
    METHOD_PROLOGUE(COleServerDoc, DataObject)
    return pThis->m_lpDataAdviseHolder != nullptr ? pThis->m_lpDataAdviseHolder->Unadvise(conn) : OLE_E_NOCONNECTION;
}

HRESULT COleServerDoc::XDataObject::EnumDAdvise(LPENUMSTATDATA* ppenum)
{
    METHOD_PROLOGUE(COleServerDoc, DataObject)
    *ppenum = nullptr;
    return pThis->m_lpDataAdviseHolder != nullptr ? pThis->m_lpDataAdviseHolder->EnumAdvise(ppenum)
                                                  : OLE_E_ADVISENOTSUPPORTED;
}

// ---- the server item --------------------------------------------------------------------

IMPLEMENT_DYNAMIC(COleServerItem, CDocItem)

COleServerItem::COleServerItem(COleServerDoc* pServerDoc, BOOL bAutoDelete) : m_bAutoDelete(bAutoDelete)
{
    m_dataSource.m_pItem = this;
    // The picture every item offers: a metafile picture of what OnDraw draws.
    FORMATETC picture = {CF_METAFILEPICT, nullptr, DVASPECT_CONTENT, -1, TYMED_MFPICT};
    m_dataSource.DelayRenderData(CF_METAFILEPICT, &picture);
    if (pServerDoc != nullptr)
        pServerDoc->AddItem(this);
}

COleServerItem::~COleServerItem()
{
    COleServerDoc* doc = GetDocument();
    if (doc != nullptr && doc->m_pEmbeddedItem == this)
        doc->m_pEmbeddedItem = nullptr;
}

BOOL COleServerItem::IsLinkedItem() const
{
    COleServerDoc* doc = GetDocument();
    return doc == nullptr || doc->m_pEmbeddedItem != this;
}

BOOL COleServerItem::IsConnected() const
{
    COleServerDoc* doc = GetDocument();
    return doc != nullptr && (doc->m_lpClientSite != nullptr || doc->m_lpDataAdviseHolder != nullptr);
}

BOOL COleServerItem::OnGetExtent(DVASPECT, CSize&)
{
    return FALSE;
}

BOOL COleServerItem::OnRenderData(LPFORMATETC f, LPSTGMEDIUM m)
{
    if (f->cfFormat == CF_METAFILEPICT && (f->tymed & TYMED_MFPICT))
        return GetMetafileData(f, m);
    return m_dataSource.BaseRenderData(f, m);
}

BOOL COleServerItem::OnRenderGlobalData(LPFORMATETC f, HGLOBAL* phGlobal)
{
    return m_dataSource.BaseRenderGlobalData(f, phGlobal);
}

BOOL COleServerItem::OnRenderFileData(LPFORMATETC, CFile*)
{
    return FALSE;
}

BOOL COleServerItem::GetMetafileData(LPFORMATETC f, LPSTGMEDIUM m)
{
    if (!(f->tymed & TYMED_MFPICT) || f->dwAspect != DVASPECT_CONTENT)
        return FALSE;
    CSize size(0, 0);
    if (!OnGetExtent(DVASPECT_CONTENT, size) || size.cx <= 0 || size.cy <= 0)
        return FALSE;
    HDC mdc = ::CreateMetaFileA(nullptr);
    if (mdc == nullptr)
        return FALSE;
    // The picture is drawn in HIMETRIC across its extent; the window records it.
    ::SetWindowOrgEx(mdc, 0, 0, nullptr);
    ::SetWindowExtEx(mdc, size.cx, size.cy, nullptr);
    CDC dc;
    dc.Attach(mdc);
    BOOL drawn = OnDraw(&dc, size);
    dc.Detach();
    HMETAFILE mf = ::CloseMetaFile(mdc);
    if (!drawn || mf == nullptr) {
        if (mf)
            ::DeleteMetaFile(mf);
        return FALSE;
    }
    return SetMetafilePictMedium(mf, size, m);
}

BOOL COleServerItem::SetMetafilePictMedium(HMETAFILE hMF, CSize size, LPSTGMEDIUM m)
{
    HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, sizeof(METAFILEPICT));
    METAFILEPICT* p = h ? (METAFILEPICT*)::GlobalLock(h) : nullptr;
    if (p == nullptr) {
        if (h)
            ::GlobalFree(h);
        ::DeleteMetaFile(hMF);
        return FALSE;
    }
    p->mm = MM_ANISOTROPIC;
    p->xExt = size.cx < 0 ? -size.cx : size.cx;
    p->yExt = size.cy < 0 ? -size.cy : size.cy;
    p->hMF = hMF;
    ::GlobalUnlock(h);
    m->tymed = TYMED_MFPICT;
    m->hMetaFilePict = h;
    m->pUnkForRelease = nullptr;
    return TRUE;
}

void COleServerItem::Serialize(CArchive& ar)
{
    COleServerDoc* doc = GetDocument();
    if (doc != nullptr && !IsLinkedItem())
        doc->Serialize(ar);
}

void COleServerItem::OnShow()
{
    // In place when the container can host the object there, else in the server's window.
    COleServerDoc* doc = GetDocument();
    if (doc != nullptr && !doc->ActivateInPlace())
        OnOpen();
}

void COleServerItem::OnOpen()
{
    COleServerDoc* doc = GetDocument();
    if (doc == nullptr)
        return;
    // Opening an object that is active in place takes it out of its container first.
    if (doc->IsInPlaceActive())
        doc->OnDeactivate();
    doc->OnShowDocument(TRUE);
}

void COleServerItem::OnHide()
{
    COleServerDoc* doc = GetDocument();
    if (doc == nullptr)
        return;
    if (doc->IsInPlaceActive())
        doc->OnDeactivate();
    else
        doc->OnShowDocument(FALSE);
}

void COleServerItem::OnDoVerb(LONG iVerb)
{
    switch (iVerb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_UIACTIVATE:
    case OLEIVERB_INPLACEACTIVATE:
        OnShow();
        break;
    case OLEIVERB_OPEN:
        OnOpen();
        break;
    case OLEIVERB_HIDE:
        OnHide();
        break;
    default:
        if (iVerb > 0)
            OnShow();
        break;
    }
}

void COleServerItem::OnUpdate(COleServerItem*, LPARAM, CObject*, DVASPECT nDrawAspect)
{
    NotifyChanged(nDrawAspect);
}

void COleServerItem::NotifyChanged(DVASPECT)
{
    COleServerDoc* doc = GetDocument();
    if (doc != nullptr && !IsLinkedItem())
        doc->NotifyChanged();
}

void COleServerItem::CopyToClipboard(BOOL bIncludeLink)
{
    COleDataSource* source = OnGetClipboardData(bIncludeLink, nullptr, nullptr);
    if (source != nullptr)
        source->SetClipboard();
}

COleDataSource* COleServerItem::OnGetClipboardData(BOOL bIncludeLink, LPPOINT lpOffset, LPSIZE lpSize)
{
    COleDataSource* source = new COleDataSource;
    try {
        GetClipboardData(source, bIncludeLink, lpOffset, lpSize);
    } catch (...) {
        source->InternalRelease();
        throw;
    }
    return source;
}

void COleServerItem::GetClipboardData(COleDataSource* pDataSource, BOOL bIncludeLink, LPPOINT lpOffset,
                                      LPSIZE lpSize)
{
    STGMEDIUM m = {};
    if (GetEmbedSourceData(&m))
        pDataSource->CacheData(AfxGetEmbedSourceFormat(), &m);
    AddOtherClipboardData(pDataSource);
    m = STGMEDIUM{};
    if (GetObjectDescriptorData(lpOffset, lpSize, &m))
        pDataSource->CacheData(AfxGetObjectDescriptorFormat(), &m);
    m = STGMEDIUM{};
    if (bIncludeLink && GetLinkSourceData(&m))
        pDataSource->CacheData(AfxGetLinkSourceFormat(), &m);
}

void COleServerItem::AddOtherClipboardData(COleDataSource* pDataSource)
{
    // Rendered now, in the order the item offers them, so that the clipboard keeps the
    // item as it is at the copy; a format that cannot be had is left out, as is a second
    // medium of a format already there.
    for (int i = 0; i < m_dataSource.GetFormatCount(); ++i) {
        FORMATETC f = m_dataSource.GetFormat(i);
        FORMATETC probe = f;
        probe.tymed = TYMED_HGLOBAL | TYMED_MFPICT | TYMED_ENHMF | TYMED_ISTREAM | TYMED_ISTORAGE;
        if (pDataSource->FindFormat(&probe) != nullptr)
            continue;
        STGMEDIUM m = {};
        if (m_dataSource.GetDataInto(&f, &m))
            pDataSource->CacheData(f.cfFormat, &m, &f);
    }
}

BOOL COleServerItem::GetEmbedSourceData(LPSTGMEDIUM lpStgMedium)
{
    COleServerDoc* doc = GetDocument();
    if (doc == nullptr)
        return FALSE;
    LPLOCKBYTES bytes = nullptr;
    if (FAILED(::CreateILockBytesOnHGlobal(nullptr, TRUE, &bytes)))
        return FALSE;
    LPSTORAGE stg = nullptr;
    HRESULT hr = ::StgCreateDocfileOnILockBytes(bytes, STGM_SHARE_EXCLUSIVE | STGM_CREATE | STGM_READWRITE, 0, &stg);
    bytes->Release();
    if (FAILED(hr))
        return FALSE;
    try {
        doc->SaveToStorage(stg, this);
    } catch (CException* e) {
        e->Delete();
        stg->Release();
        return FALSE;
    }
    lpStgMedium->tymed = TYMED_ISTORAGE;
    lpStgMedium->pstg = stg;
    lpStgMedium->pUnkForRelease = nullptr;
    return TRUE;
}

BOOL COleServerItem::GetLinkSourceData(LPSTGMEDIUM lpStgMedium)
{
    COleServerDoc* doc = GetDocument();
    COleObjectFactory* factory = doc != nullptr ? doc->GetFactory() : nullptr;
    LPMONIKER mk = doc != nullptr ? doc->GetMoniker(OLEGETMONIKER_ONLYIFTHERE) : nullptr;
    if (mk == nullptr || factory == nullptr) {
        if (mk)
            mk->Release();
        return FALSE;
    }
    LPSTREAM stream = nullptr;
    BOOL ok = FALSE;
    if (SUCCEEDED(::CreateStreamOnHGlobal(nullptr, TRUE, &stream))) {
        LPPERSISTSTREAM persist = nullptr;
        ok = SUCCEEDED(mk->QueryInterface(IID_IPersistStream, (void**)&persist)) &&
             SUCCEEDED(::OleSaveToStream(persist, stream)) && SUCCEEDED(::WriteClassStm(stream, factory->GetClassID()));
        if (persist)
            persist->Release();
        if (ok) {
            LARGE_INTEGER zero = {};
            stream->Seek(zero, STREAM_SEEK_SET, nullptr);
            lpStgMedium->tymed = TYMED_ISTREAM;
            lpStgMedium->pstm = stream;
            lpStgMedium->pUnkForRelease = nullptr;
        } else {
            stream->Release();
        }
    }
    mk->Release();
    return ok;
}

BOOL COleServerItem::GetObjectDescriptorData(LPPOINT lpOffset, LPSIZE lpSize, LPSTGMEDIUM lpStgMedium)
{
    COleServerDoc* doc = GetDocument();
    if (doc == nullptr)
        return FALSE;
    COleObjectFactory* factory = doc->GetFactory();
    CLSID clsid = factory != nullptr ? factory->GetClassID() : CLSID_NULL;
    LPOLESTR typeName = nullptr;
    std::wstring type;
    if (factory != nullptr && SUCCEEDED(::OleRegGetUserType(clsid, USERCLASSTYPE_FULL, &typeName)) && typeName) {
        type = typeName;
        ::CoTaskMemFree(typeName);
    }
    const std::wstring source = Wide(doc->GetTitle());
    const size_t head = sizeof(OBJECTDESCRIPTOR);
    const size_t typeBytes = (type.size() + 1) * sizeof(WCHAR), sourceBytes = (source.size() + 1) * sizeof(WCHAR);
    HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE | GMEM_ZEROINIT, head + typeBytes + sourceBytes);
    OBJECTDESCRIPTOR* od = h ? (OBJECTDESCRIPTOR*)::GlobalLock(h) : nullptr;
    if (od == nullptr) {
        if (h)
            ::GlobalFree(h);
        return FALSE;
    }
    CSize size(0, 0);
    if (lpSize != nullptr)
        size = CSize(lpSize->cx, lpSize->cy);
    else
        OnGetExtent(DVASPECT_CONTENT, size);
    od->cbSize = (ULONG)(head + typeBytes + sourceBytes);
    od->clsid = clsid;
    od->dwDrawAspect = DVASPECT_CONTENT;
    od->sizel.cx = size.cx;
    od->sizel.cy = size.cy;
    od->pointl.x = lpOffset ? lpOffset->x : 0;
    od->pointl.y = lpOffset ? lpOffset->y : 0;
    od->dwStatus = 0;
    if (factory != nullptr)
        ::OleRegGetMiscStatus(clsid, DVASPECT_CONTENT, &od->dwStatus);
    od->dwFullUserTypeName = (DWORD)head;
    od->dwSrcOfCopy = (DWORD)(head + typeBytes);
    memcpy((BYTE*)od + head, type.c_str(), typeBytes);
    memcpy((BYTE*)od + head + typeBytes, source.c_str(), sourceBytes);
    ::GlobalUnlock(h);
    lpStgMedium->tymed = TYMED_HGLOBAL;
    lpStgMedium->hGlobal = h;
    lpStgMedium->pUnkForRelease = nullptr;
    return TRUE;
}

BOOL COleServerItem::CItemDataSource::OnRenderData(LPFORMATETC f, LPSTGMEDIUM m)
{
    return m_pItem->OnRenderData(f, m);
}

BOOL COleServerItem::CItemDataSource::OnRenderGlobalData(LPFORMATETC f, HGLOBAL* phGlobal)
{
    return m_pItem->OnRenderGlobalData(f, phGlobal);
}

BOOL COleServerItem::CItemDataSource::OnRenderFileData(LPFORMATETC f, CFile* pFile)
{
    return m_pItem->OnRenderFileData(f, pFile);
}
