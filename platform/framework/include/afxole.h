// OLE documents and data: interface and dispatch maps, data sources and data objects
// (the clipboard), server documents and their items, object factories and the template
// server that makes a document for each object another program creates. Automation and
// the message filter are in afxdisp.h.
#pragma once
#include "afxdisp.h"
#include "afxframe.h"
#include <oledlg.h>
#include "afxext.h"
#include <stddef.h>

/////////////////////////////////////////////////////////////////////////////
// Interface maps. An interface part is a nested class holding only a vtable; its
// QueryInterface, AddRef and Release go to the object that holds it.

#define DECLARE_INTERFACE_MAP() \
protected: \
    static const AFX_INTERFACEMAP* GetThisInterfaceMap(); \
    const AFX_INTERFACEMAP* GetInterfaceMap() const override; \
public:

#define BEGIN_INTERFACE_MAP(theClass, theBase) \
    const AFX_INTERFACEMAP* theClass::GetInterfaceMap() const { return GetThisInterfaceMap(); } \
    const AFX_INTERFACEMAP* theClass::GetThisInterfaceMap() \
    { \
        typedef theBase TheBaseClass; \
        _Pragma("GCC diagnostic push") _Pragma("GCC diagnostic ignored \"-Winvalid-offsetof\"") \
        static const AFX_INTERFACEMAP_ENTRY _entries[] = {

#define INTERFACE_PART(theClass, iid, localClass) {&iid, offsetof(theClass, m_x##localClass)},

#define END_INTERFACE_MAP() \
            {nullptr, (size_t)-1}}; \
        _Pragma("GCC diagnostic pop") \
        static const AFX_INTERFACEMAP _map = {&TheBaseClass::GetThisInterfaceMap, _entries}; \
        return &_map; \
    }

#define BEGIN_INTERFACE_PART(localClass, baseClass) \
    class X##localClass : public baseClass \
    { \
    public: \
        STDMETHOD_(ULONG, AddRef)() override; \
        STDMETHOD_(ULONG, Release)() override; \
        STDMETHOD(QueryInterface)(REFIID iid, LPVOID* ppvObj) override;

#define END_INTERFACE_PART(localClass) \
    } m_x##localClass; \
    friend class X##localClass;

// Inside a method of an interface part: pThis is the object that holds it.
#define METHOD_PROLOGUE(theClass, localClass) \
    _Pragma("GCC diagnostic push") _Pragma("GCC diagnostic ignored \"-Winvalid-offsetof\"") \
    theClass* pThis = (theClass*)((BYTE*)this - offsetof(theClass, m_x##localClass)); \
    _Pragma("GCC diagnostic pop") \
    (void)pThis;
#define METHOD_PROLOGUE_EX(theClass, localClass) METHOD_PROLOGUE(theClass, localClass)

// AddRef, Release and QueryInterface of a part, forwarded to the object.
#define IMPLEMENT_IUNKNOWN(theClass, localClass) \
    ULONG theClass::X##localClass::AddRef() { METHOD_PROLOGUE(theClass, localClass) return pThis->ExternalAddRef(); } \
    ULONG theClass::X##localClass::Release() { METHOD_PROLOGUE(theClass, localClass) return pThis->ExternalRelease(); } \
    HRESULT theClass::X##localClass::QueryInterface(REFIID iid, LPVOID* ppvObj) \
    { \
        METHOD_PROLOGUE(theClass, localClass) \
        return (HRESULT)pThis->ExternalQueryInterface(&iid, ppvObj); \
    }

/////////////////////////////////////////////////////////////////////////////
// Dispatch maps: the names a command target's IDispatch knows (EnableAutomation).

#define DECLARE_DISPATCH_MAP() \
protected: \
    static const AFX_DISPMAP* GetThisDispatchMap(); \
    const AFX_DISPMAP* GetDispatchMap() const override; \
public:

#define BEGIN_DISPATCH_MAP(theClass, baseClass) \
    const AFX_DISPMAP* theClass::GetDispatchMap() const { return GetThisDispatchMap(); } \
    const AFX_DISPMAP* theClass::GetThisDispatchMap() \
    { \
        typedef baseClass TheBaseClass; \
        static const AFX_DISPMAP_ENTRY _entries[] = {

#define END_DISPATCH_MAP() \
            {nullptr, DISPID_UNKNOWN}}; \
        static const AFX_DISPMAP _map = {&TheBaseClass::GetThisDispatchMap, _entries}; \
        return &_map; \
    }

/////////////////////////////////////////////////////////////////////////////
// COleStreamFile: a CFile over an IStream (the streams of compound files).

class QXAFX_API COleStreamFile : public CFile
{
public:
    explicit COleStreamFile(LPSTREAM lpStream = nullptr);
    ~COleStreamFile() override;
    void Attach(LPSTREAM lpStream);   // takes a reference
    LPSTREAM Detach();
    // Opens or creates a stream of the storage; FALSE when it cannot.
    BOOL OpenStream(LPSTORAGE lpStorage, LPCTSTR lpszName, DWORD nOpenFlags = STGM_READWRITE | STGM_SHARE_EXCLUSIVE);
    BOOL CreateStream(LPSTORAGE lpStorage, LPCTSTR lpszName,
                      DWORD nOpenFlags = STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_CREATE);
    LPSTREAM GetStream() const { return m_lpStream; }

    DWORD GetPosition() const override;
    LONG Seek(LONG lOff, UINT nFrom) override;
    void SetLength(DWORD dwNewLen) override;
    DWORD GetLength() const override;
    UINT Read(void* lpBuf, UINT nCount) override;
    void Write(const void* lpBuf, UINT nCount) override;
    void Abort() override;
    void Flush() override;
    void Close() override;

protected:
    LPSTREAM m_lpStream;
};

/////////////////////////////////////////////////////////////////////////////
// COleDataSource: an IDataObject of formats cached now or rendered when asked for.

class QXAFX_API COleDataSource : public CCmdTarget
{
public:
    COleDataSource();
    ~COleDataSource() override;

    // The data source owns the medium from then on.
    void CacheData(CLIPFORMAT cfFormat, LPSTGMEDIUM lpStgMedium, LPFORMATETC lpFormatEtc = nullptr);
    void CacheGlobalData(CLIPFORMAT cfFormat, HGLOBAL hGlobal, LPFORMATETC lpFormatEtc = nullptr);
    // Rendered by OnRenderData (default medium: global memory) or, as file data, by
    // OnRenderFileData (global memory or a stream).
    void DelayRenderData(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc = nullptr);
    void DelayRenderFileData(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc = nullptr);
    void Empty();
    // Puts the data source on the clipboard, which holds it from then on; it is deleted
    // when the clipboard lets it go. FlushClipboard leaves the data on the clipboard
    // after the program ends.
    void SetClipboard();
    static void FlushClipboard();
    static COleDataSource* GetClipboardOwner();
    LPDATAOBJECT GetDataObject(BOOL bAddRef);

    // The format the request names, with a medium it allows; null when none.
    LPFORMATETC FindFormat(LPFORMATETC lpFormatEtc, STGMEDIUM** ppCached = nullptr);
    // Fills the medium of a delayed format; FALSE when the data cannot be had.
    virtual BOOL OnRenderData(LPFORMATETC lpFormatEtc, LPSTGMEDIUM lpStgMedium);
    virtual BOOL OnRenderGlobalData(LPFORMATETC lpFormatEtc, HGLOBAL* phGlobal);
    virtual BOOL OnRenderFileData(LPFORMATETC lpFormatEtc, CFile* pFile);
    // The number of formats and one of them (for enumeration).
    int GetFormatCount() const { return m_nSize; }
    const FORMATETC& GetFormat(int i) const { return m_pEntries[i].formatEtc; }

    BEGIN_INTERFACE_PART(DataObject, IDataObject)
        STDMETHOD(GetData)(LPFORMATETC, LPSTGMEDIUM) override;
        STDMETHOD(GetDataHere)(LPFORMATETC, LPSTGMEDIUM) override;
        STDMETHOD(QueryGetData)(LPFORMATETC) override;
        STDMETHOD(GetCanonicalFormatEtc)(LPFORMATETC, LPFORMATETC) override;
        STDMETHOD(SetData)(LPFORMATETC, LPSTGMEDIUM, BOOL) override;
        STDMETHOD(EnumFormatEtc)(DWORD, LPENUMFORMATETC*) override;
        STDMETHOD(DAdvise)(LPFORMATETC, DWORD, LPADVISESINK, LPDWORD) override;
        STDMETHOD(DUnadvise)(DWORD) override;
        STDMETHOD(EnumDAdvise)(LPENUMSTATDATA*) override;
    END_INTERFACE_PART(DataObject)
    DECLARE_INTERFACE_MAP()

    // Renders a format into a new medium: cached media are copied, delayed ones rendered.
    BOOL GetDataInto(LPFORMATETC lpFormatEtc, LPSTGMEDIUM lpStgMedium);

protected:
    struct Entry {
        FORMATETC formatEtc;
        STGMEDIUM stgMedium;   // tymed TYMED_NULL: rendered when asked for
        BOOL bFileData;
    };
    Entry* Add(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc, DWORD tymed);
    Entry* m_pEntries;
    int m_nSize, m_nMax;
    LPDATAADVISEHOLDER m_lpDataAdviseHolder;
};

/////////////////////////////////////////////////////////////////////////////
// COleDataObject: the receiving side of an IDataObject (the clipboard's, or any).

class QXAFX_API COleDataObject
{
public:
    COleDataObject();
    ~COleDataObject();
    COleDataObject(const COleDataObject&) = delete;
    COleDataObject& operator=(const COleDataObject&) = delete;
    void Attach(LPDATAOBJECT lpDataObject, BOOL bAutoRelease = TRUE);
    LPDATAOBJECT Detach();
    void Release();
    BOOL AttachClipboard();
    BOOL IsDataAvailable(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc = nullptr);
    BOOL GetData(CLIPFORMAT cfFormat, LPSTGMEDIUM lpStgMedium, LPFORMATETC lpFormatEtc = nullptr);
    // The data object itself (with a reference of the caller's when bAddRef is set).
    LPDATAOBJECT GetIDataObject(BOOL bAddRef);
    HGLOBAL GetGlobalData(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc = nullptr);
    // The formats offered, one by one.
    void BeginEnumFormats();
    BOOL GetNextFormat(LPFORMATETC lpFormatEtc);

protected:
    LPDATAOBJECT m_lpDataObject;
    LPENUMFORMATETC m_lpEnumerator;
    BOOL m_bAutoRelease;
    friend class COleClientItem;
};

/////////////////////////////////////////////////////////////////////////////
// COleDropTarget: a window that takes OLE drops. Register makes the window a drop target
// (RegisterDragDrop); the registration ends with Revoke or when the window is destroyed.
// Points are in the window's client coordinates. The handlers pass everything to the
// window when it is a view (CView::OnDragEnter and its kin) and otherwise refuse: a
// program either overrides them or lets its view answer.

class QXAFX_API COleDropTarget : public CCmdTarget
{
public:
    COleDropTarget();
    ~COleDropTarget() override;

    // FALSE when the window is already a drop target or OLE refuses it.
    BOOL Register(CWnd* pWnd);
    virtual void Revoke();
    HWND GetRegisteredWindow() const { return m_hWnd; }

    virtual DROPEFFECT OnDragEnter(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point);
    virtual DROPEFFECT OnDragOver(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point);
    virtual void OnDragLeave(CWnd* pWnd);
    // OnDropEx answers the effect made, or (DROPEFFECT)-1 to leave the drop to OnDrop,
    // which then gets the last drag-over effect.
    virtual BOOL OnDrop(CWnd* pWnd, COleDataObject* pDataObject, DROPEFFECT dropEffect, CPoint point);
    virtual DROPEFFECT OnDropEx(CWnd* pWnd, COleDataObject* pDataObject, DROPEFFECT dropDefault,
                                DROPEFFECT dropList, CPoint point);
    // Asked before every drag over: DROPEFFECT_SCROLL when the window scrolled for the
    // point, which then stands for the drag-over effect.
    virtual DROPEFFECT OnDragScroll(CWnd* pWnd, DWORD dwKeyState, CPoint point);

    // The drop effect the source allows that comes nearest to the one wanted: a copy may
    // become a move and a move a copy; a link is never changed.
    static DROPEFFECT PASCAL FilterDropEffect(DROPEFFECT dropEffect, DROPEFFECT dwEffects);

    BEGIN_INTERFACE_PART(DropTarget, IDropTarget)
        STDMETHOD(DragEnter)(LPDATAOBJECT, DWORD, POINTL, LPDWORD) override;
        STDMETHOD(DragOver)(DWORD, POINTL, LPDWORD) override;
        STDMETHOD(DragLeave)() override;
        STDMETHOD(Drop)(LPDATAOBJECT, DWORD, POINTL, LPDWORD) override;
    END_INTERFACE_PART(DropTarget)
    DECLARE_INTERFACE_MAP()

protected:
    // The drag-over answer for a point: scrolling first, then OnDragOver, filtered by
    // what the source allows.
    DROPEFFECT DragOverEffect(DWORD dwKeyState, POINTL pt, DWORD dwAllowed);

    HWND m_hWnd;
    LPDATAOBJECT m_lpDataObject;   // the data of the drag in progress, held by reference
    DROPEFFECT m_dropEffectCurrent;
};

/////////////////////////////////////////////////////////////////////////////
// Object factories: a class object per CLSID that makes the object on request.

class QXAFX_API COleObjectFactory : public CCmdTarget
{
    DECLARE_DYNAMIC(COleObjectFactory)
public:
    COleObjectFactory(REFCLSID clsid, CRuntimeClass* pRuntimeClass, BOOL bMultiInstance, LPCTSTR lpszProgID);
    ~COleObjectFactory() override;
    REFCLSID GetClassID() const { return m_clsid; }
    BOOL IsRegistered() const { return m_dwRegister != 0; }
    // Offers the class object to other programs (CoRegisterClassObject).
    virtual BOOL Register();
    void Revoke();
    virtual BOOL UpdateRegistry(LPCTSTR lpszProgID = nullptr);
    static BOOL PASCAL RegisterAll();
    static void PASCAL RevokeAll();
    static BOOL PASCAL UpdateRegistryAll(BOOL bRegister = TRUE);

    BEGIN_INTERFACE_PART(ClassFactory, IClassFactory)
        STDMETHOD(CreateInstance)(LPUNKNOWN, REFIID, LPVOID*) override;
        STDMETHOD(LockServer)(BOOL) override;
    END_INTERFACE_PART(ClassFactory)
    DECLARE_INTERFACE_MAP()

protected:
    // A new object with its creator's reference; null when none can be made.
    virtual CCmdTarget* OnCreateObject();
    CLSID m_clsid;
    CRuntimeClass* m_pRuntimeClass;
    BOOL m_bMultiInstance;
    LPCTSTR m_lpszProgID;
    DWORD m_dwRegister;
    COleObjectFactory* m_pNextFactory;
};

enum OLE_APPTYPE { OAT_INPLACE_SERVER = 0, OAT_SERVER = 1, OAT_CONTAINER = 2, OAT_DISPATCH_OBJECT = 3 };

class COleServerDoc;

// The factory of a document template: each object another program creates is a new,
// invisible document of the template, marked as embedded.
class QXAFX_API COleTemplateServer : public COleObjectFactory
{
    DECLARE_DYNAMIC(COleTemplateServer)
public:
    COleTemplateServer();
    virtual void ConnectTemplate(REFCLSID clsid, CDocTemplate* pDocTemplate, BOOL bMultiInstance);
    CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }
    virtual void UpdateRegistry(OLE_APPTYPE nAppType = OAT_INPLACE_SERVER, LPCTSTR* rglpszRegister = nullptr,
                                LPCTSTR* rglpszOverwrite = nullptr);
    BOOL UpdateRegistry(LPCTSTR lpszProgID) override;

protected:
    CCmdTarget* OnCreateObject() override;
    CDocTemplate* m_pDocTemplate;
};

/////////////////////////////////////////////////////////////////////////////
// OLE documents: a document with items (the server items it serves).

class COleDocument;

class QXAFX_API CDocItem : public CCmdTarget
{
    DECLARE_DYNAMIC(CDocItem)
public:
    ~CDocItem() override;
    CDocument* GetDocument() const;
    virtual BOOL IsBlank() const { return FALSE; }

protected:
    CDocItem();
    COleDocument* m_pDocument;
    friend class COleDocument;
};

class QXAFX_API COleDocument : public CDocument
{
    DECLARE_DYNAMIC(COleDocument)
public:
    COleDocument();
    ~COleDocument() override;
    void AddItem(CDocItem* pItem);
    void RemoveItem(CDocItem* pItem);
    POSITION GetStartPosition() const { return m_docItemList.GetHeadPosition(); }
    CDocItem* GetNextItem(POSITION& pos) const { return (CDocItem*)m_docItemList.GetNext(pos); }
    class COleServerItem* GetNextServerItem(POSITION& pos) const;
    // The client items (OleClient.cpp): the next one, and the one in-place active in a view.
    class COleClientItem* GetNextClientItem(POSITION& pos) const;
    class COleClientItem* GetInPlaceActiveItem(CWnd* pView) const;
    // Documents of this kind keep their data in compound files.
    void EnableCompoundFile(BOOL bEnable = TRUE) { m_bCompoundFile = bEnable; }
    BOOL HasBlankItems() const;
    void DeleteContents() override;

    // The document's storage: the class id written, "Contents" holding what Serialize
    // writes. Exceptions are the caller's.
    virtual void SaveToStorage(LPSTORAGE lpStorage, CDocItem* pItem = nullptr);
    virtual void LoadFromStorage(LPSTORAGE lpStorage);
protected:
    CPtrList m_docItemList;
    BOOL m_bCompoundFile;
};

// A document that can be linked to: registered in the running object table under a
// moniker of its file.
class QXAFX_API COleLinkingDoc : public COleDocument
{
    DECLARE_DYNAMIC(COleLinkingDoc)
public:
    COleLinkingDoc();
    ~COleLinkingDoc() override;
    // Registers the document as running under a file moniker of the path.
    BOOL Register(COleObjectFactory* pFactory, LPCTSTR lpszPathName);
    void Revoke();
    BOOL OnNewDocument() override;
    BOOL OnOpenDocument(LPCTSTR lpszPathName) override;
    void OnCloseDocument() override;
    // The item a link names; the framework's looks among the document's server items.
    virtual class COleServerItem* OnGetLinkedItem(LPCTSTR lpszItemName);
    virtual LPMONIKER GetMoniker(OLEGETMONIKER nAssign);

protected:
    COleObjectFactory* m_pFactory;
    DWORD m_dwRegister;
    CString m_strMoniker;
    LPMONIKER m_lpMonikerROT;
};

class COleServerItem;
class COleIPFrameWnd;

// The document of an OLE server: the object a container embeds (IOleObject, IDataObject,
// IPersistStorage through its embedded item) or a document of the program's own.
class QXAFX_API COleServerDoc : public COleLinkingDoc
{
    DECLARE_DYNAMIC(COleServerDoc)
public:
    COleServerDoc();
    ~COleServerDoc() override;

    BOOL IsEmbedded() const { return m_bEmbedded; }
    // The item that stands for the whole document (made on first use).
    COleServerItem* GetEmbeddedItem();
    LPOLECLIENTSITE GetClientSite() const { return m_lpClientSite; }
    BOOL IsInPlaceActive() const { return m_pInPlaceFrame != nullptr; }
    // Every server item tells its containers it changed.
    void UpdateAllItems(COleServerItem* pSender, LPARAM lHint = 0L, CObject* pHint = nullptr,
                        DVASPECT nDrawAspect = DVASPECT_CONTENT);
    // Saves the embedding into its container (IOleClientSite::SaveObject).
    void SaveEmbedding();
    void NotifyChanged();
    void NotifyClosed();
    void NotifySaved();

    virtual COleServerItem* OnGetEmbeddedItem();
    virtual void OnDeactivateUI(BOOL bUndoable);
    virtual BOOL OnUpdateDocument();
    virtual void OnShowDocument(BOOL bShow);
    virtual void OnSetHostNames(LPCTSTR lpszHost, LPCTSTR lpszHostObj);
    void OnCloseDocument() override;
    void OnFinalRelease() override;
    BOOL SaveModified() override;
    LPMONIKER GetMoniker(OLEGETMONIKER nAssign) override;

    // The object a container creates or loads (IPersistStorage).
    virtual BOOL OnNewEmbedding(LPSTORAGE lpStorage);
    virtual BOOL OnOpenEmbedding(LPSTORAGE lpStorage);
    virtual BOOL OnSaveEmbedding(LPSTORAGE lpStorage);

    BEGIN_INTERFACE_PART(PersistStorage, IPersistStorage)
        STDMETHOD(GetClassID)(LPCLSID) override;
        STDMETHOD(IsDirty)() override;
        STDMETHOD(InitNew)(LPSTORAGE) override;
        STDMETHOD(Load)(LPSTORAGE) override;
        STDMETHOD(Save)(LPSTORAGE, BOOL) override;
        STDMETHOD(SaveCompleted)(LPSTORAGE) override;
        STDMETHOD(HandsOffStorage)() override;
    END_INTERFACE_PART(PersistStorage)

    BEGIN_INTERFACE_PART(OleObject, IOleObject)
        STDMETHOD(SetClientSite)(LPOLECLIENTSITE) override;
        STDMETHOD(GetClientSite)(LPOLECLIENTSITE*) override;
        STDMETHOD(SetHostNames)(LPCOLESTR, LPCOLESTR) override;
        STDMETHOD(Close)(DWORD) override;
        STDMETHOD(SetMoniker)(DWORD, LPMONIKER) override;
        STDMETHOD(GetMoniker)(DWORD, DWORD, LPMONIKER*) override;
        STDMETHOD(InitFromData)(LPDATAOBJECT, BOOL, DWORD) override;
        STDMETHOD(GetClipboardData)(DWORD, LPDATAOBJECT*) override;
        STDMETHOD(DoVerb)(LONG, LPMSG, LPOLECLIENTSITE, LONG, HWND, LPCRECT) override;
        STDMETHOD(EnumVerbs)(LPENUMOLEVERB*) override;
        STDMETHOD(Update)() override;
        STDMETHOD(IsUpToDate)() override;
        STDMETHOD(GetUserClassID)(CLSID*) override;
        STDMETHOD(GetUserType)(DWORD, LPOLESTR*) override;
        STDMETHOD(SetExtent)(DWORD, LPSIZEL) override;
        STDMETHOD(GetExtent)(DWORD, LPSIZEL) override;
        STDMETHOD(Advise)(LPADVISESINK, LPDWORD) override;
        STDMETHOD(Unadvise)(DWORD) override;
        STDMETHOD(EnumAdvise)(LPENUMSTATDATA*) override;
        STDMETHOD(GetMiscStatus)(DWORD, LPDWORD) override;
        STDMETHOD(SetColorScheme)(LPLOGPALETTE) override;
    END_INTERFACE_PART(OleObject)

    BEGIN_INTERFACE_PART(DataObject, IDataObject)
        STDMETHOD(GetData)(LPFORMATETC, LPSTGMEDIUM) override;
        STDMETHOD(GetDataHere)(LPFORMATETC, LPSTGMEDIUM) override;
        STDMETHOD(QueryGetData)(LPFORMATETC) override;
        STDMETHOD(GetCanonicalFormatEtc)(LPFORMATETC, LPFORMATETC) override;
        STDMETHOD(SetData)(LPFORMATETC, LPSTGMEDIUM, BOOL) override;
        STDMETHOD(EnumFormatEtc)(DWORD, LPENUMFORMATETC*) override;
        STDMETHOD(DAdvise)(LPFORMATETC, DWORD, LPADVISESINK, LPDWORD) override;
        STDMETHOD(DUnadvise)(DWORD) override;
        STDMETHOD(EnumDAdvise)(LPENUMSTATDATA*) override;
    END_INTERFACE_PART(DataObject)
    DECLARE_INTERFACE_MAP()

    // The factory whose object this document is (its template's), or null.
    COleObjectFactory* GetFactory() const;

    // ---- In-place activation (OleInPlace.cpp) ----
    // The document shown inside its container's window: an in-place frame of the
    // template's class holding the document's view, the container's menu merged with
    // the template's in-place menu. FALSE when the container cannot host it in place.
    virtual BOOL ActivateInPlace();
    // Ends in-place activation: the view goes back to its own frame, the frame goes.
    virtual void OnDeactivate();
    virtual COleIPFrameWnd* CreateInPlaceFrame(CWnd* pParentWnd);
    virtual void DestroyInPlaceFrame(COleIPFrameWnd* pFrameWnd);
    // The container moved or clipped the object (IOleInPlaceObject::SetObjectRects).
    virtual void OnSetItemRects(LPCRECT lpPosRect, LPCRECT lpClipRect);
    virtual void OnFrameWindowActivate(BOOL bActivate);
    virtual void OnDocWindowActivate(BOOL bActivate);
    // Asks the container for a new place of the object (a resize by the user).
    void RequestPositionChange(LPCRECT lpPosRect);
    COleIPFrameWnd* GetInPlaceFrame() const { return m_pInPlaceFrame; }

    BEGIN_INTERFACE_PART(OleInPlaceObject, IOleInPlaceObject)
        STDMETHOD(GetWindow)(HWND*) override;
        STDMETHOD(ContextSensitiveHelp)(BOOL) override;
        STDMETHOD(InPlaceDeactivate)() override;
        STDMETHOD(UIDeactivate)() override;
        STDMETHOD(SetObjectRects)(LPCRECT, LPCRECT) override;
        STDMETHOD(ReactivateAndUndo)() override;
    END_INTERFACE_PART(OleInPlaceObject)

    BEGIN_INTERFACE_PART(OleInPlaceActiveObject, IOleInPlaceActiveObject)
        STDMETHOD(GetWindow)(HWND*) override;
        STDMETHOD(ContextSensitiveHelp)(BOOL) override;
        STDMETHOD(TranslateAccelerator)(LPMSG) override;
        STDMETHOD(OnFrameWindowActivate)(BOOL) override;
        STDMETHOD(OnDocWindowActivate)(BOOL) override;
        STDMETHOD(ResizeBorder)(LPCRECT, LPOLEINPLACEUIWINDOW, BOOL) override;
        STDMETHOD(EnableModeless)(BOOL) override;
    END_INTERFACE_PART(OleInPlaceActiveObject)

protected:
    COleIPFrameWnd* m_pInPlaceFrame;
    LPOLEINPLACESITE m_lpInPlaceSite;
    // Where the view lived before it moved into the in-place frame.
    HWND m_hWndOrigParent;
    DWORD m_dwOrigStyle, m_dwOrigStyleEx;
    // Deactivation under way: calls back from the container find it done.
    BOOL m_bDeactivating;
    void UIActivate();
    // ---- end of in-place activation ----

protected:
    // File Update of an embedded document's menu: the container takes the document.
    afx_msg void OnFileUpdate();
    DECLARE_MESSAGE_MAP()

    LPOLECLIENTSITE m_lpClientSite;
    LPOLEADVISEHOLDER m_lpAdviseHolder;
    LPDATAADVISEHOLDER m_lpDataAdviseHolder;
    COleServerItem* m_pEmbeddedItem;
    BOOL m_bClosing;
    CString m_strHostObj;
    friend class COleServerItem;
    friend class COleTemplateServer;
};

/////////////////////////////////////////////////////////////////////////////
// COleServerItem: what a server document hands out as a picture and as data; the
// embedded item stands for the whole document, a linked item for a part a link names.

class QXAFX_API COleServerItem : public CDocItem
{
    DECLARE_DYNAMIC(COleServerItem)
public:
    COleServerItem(COleServerDoc* pServerDoc, BOOL bAutoDelete);
    ~COleServerItem() override;

    COleServerDoc* GetDocument() const { return (COleServerDoc*)m_pDocument; }
    const CString& GetItemName() const { return m_strItemName; }
    void SetItemName(LPCTSTR lpszItemName) { m_strItemName = lpszItemName; }
    BOOL IsLinkedItem() const;
    BOOL IsConnected() const;
    // The formats the item offers besides its picture (its own data source).
    COleDataSource* GetDataSource() { return &m_dataSource; }

    // The picture, the extent (HIMETRIC) and the data of the item.
    virtual BOOL OnDraw(CDC* pDC, CSize& rSize) = 0;
    virtual BOOL OnGetExtent(DVASPECT nDrawAspect, CSize& rSize);
    virtual BOOL OnRenderData(LPFORMATETC lpFormatEtc, LPSTGMEDIUM lpStgMedium);
    virtual BOOL OnRenderGlobalData(LPFORMATETC lpFormatEtc, HGLOBAL* phGlobal);
    virtual BOOL OnRenderFileData(LPFORMATETC lpFormatEtc, CFile* pFile);
    // The metafile picture OnDraw records (mapping mode MM_ANISOTROPIC, positive extent).
    virtual BOOL GetMetafileData(LPFORMATETC lpFormatEtc, LPSTGMEDIUM lpStgMedium);
    // The medium of a metafile picture of hMF over an extent in HIMETRIC: mapping mode
    // MM_ANISOTROPIC, the extent made positive. The medium owns hMF; FALSE (hMF deleted)
    // when no memory is left.
    static BOOL SetMetafilePictMedium(HMETAFILE hMF, CSize size, LPSTGMEDIUM lpStgMedium);
    virtual void Serialize(CArchive& ar) override;
    virtual void OnShow();
    virtual void OnOpen();
    virtual void OnHide();
    virtual void OnDoVerb(LONG iVerb);
    virtual void OnUpdate(COleServerItem* pSender, LPARAM lHint, CObject* pHint, DVASPECT nDrawAspect);

    // The clipboard: the native data ("Embed Source": the document's storage), the
    // object descriptor, the picture and the item's other formats.
    void CopyToClipboard(BOOL bIncludeLink = FALSE);
    virtual COleDataSource* OnGetClipboardData(BOOL bIncludeLink, LPPOINT lpOffset, LPSIZE lpSize);
    void GetClipboardData(COleDataSource* pDataSource, BOOL bIncludeLink = FALSE, LPPOINT lpOffset = nullptr,
                          LPSIZE lpSize = nullptr);
    void AddOtherClipboardData(COleDataSource* pDataSource);
    BOOL GetEmbedSourceData(LPSTGMEDIUM lpStgMedium);
    BOOL GetLinkSourceData(LPSTGMEDIUM lpStgMedium);
    BOOL GetObjectDescriptorData(LPPOINT lpOffset, LPSIZE lpSize, LPSTGMEDIUM lpStgMedium);
    // Tells the item's containers that its data changed.
    void NotifyChanged(DVASPECT nDrawAspect = DVASPECT_CONTENT);

    LPDATAOBJECT GetDataObject() { return m_dataSource.GetDataObject(FALSE); }

    BOOL m_bAutoDelete;

protected:
    // The item's data source, whose rendering is the item's.
    class CItemDataSource : public COleDataSource
    {
    public:
        COleServerItem* m_pItem = nullptr;
        BOOL OnRenderData(LPFORMATETC lpFormatEtc, LPSTGMEDIUM lpStgMedium) override;
        BOOL OnRenderGlobalData(LPFORMATETC lpFormatEtc, HGLOBAL* phGlobal) override;
        BOOL OnRenderFileData(LPFORMATETC lpFormatEtc, CFile* pFile) override;
        // A member of the item: the item's life is its own.
        void OnFinalRelease() override {}
        BOOL BaseRenderData(LPFORMATETC f, LPSTGMEDIUM m) { return COleDataSource::OnRenderData(f, m); }
        BOOL BaseRenderGlobalData(LPFORMATETC f, HGLOBAL* h) { return COleDataSource::OnRenderGlobalData(f, h); }
    } m_dataSource;
    CString m_strItemName;
    friend class COleServerDoc;
};

// The clipboard formats of embedding, registered once.
QXAFX_API CLIPFORMAT AfxGetEmbedSourceFormat();
QXAFX_API CLIPFORMAT AfxGetObjectDescriptorFormat();
QXAFX_API CLIPFORMAT AfxGetLinkSourceFormat();

/////////////////////////////////////////////////////////////////////////////
// The container side: COleClientItem is an object of another program held by a
// COleDocument. It keeps the object in a storage of its own (in memory, written into the
// document's archive by Serialize), draws its cached picture, and is the object's site
// (IOleClientSite, IAdviseSink, IOleInPlaceSite) for opening and in-place activation in
// a view. The frame and document windows of in-place activation are offered to the
// object through the view's frames (IOleInPlaceFrame, IOleInPlaceUIWindow).

enum OLE_NOTIFICATION {
    OLE_CHANGED = 0,          // the object's picture changed (value: the aspect)
    OLE_SAVED = 1,            // the object saved itself
    OLE_CLOSED = 2,           // the object's own window closed
    OLE_RENAMED = 3,
    OLE_CHANGED_STATE = 4,    // value: the new item state
    OLE_CHANGED_ASPECT = 5,
};

enum OLE_OBJTYPE { OT_UNKNOWN = 0, OT_LINK = 1, OT_EMBEDDED = 2, OT_STATIC = 3 };

class CView;
class COleFrameHook;

class QXAFX_API COleClientItem : public CDocItem
{
    DECLARE_DYNAMIC(COleClientItem)
public:
    explicit COleClientItem(COleDocument* pContainerDoc = nullptr);
    ~COleClientItem() override;

    enum ItemState { emptyState = 0, loadedState = 1, openState = 2, activeState = 3, activeUIState = 4 };

    // Creation: the item's storage is made and the object created into it, with this item
    // as its site. FALSE (the item stays empty) when the object cannot be made.
    BOOL CreateNewItem(REFCLSID clsid, OLERENDER render = OLERENDER_DRAW, CLIPFORMAT cfFormat = 0,
                       LPFORMATETC lpFormatEtc = nullptr);
    BOOL CreateFromData(COleDataObject* pDataObject, OLERENDER render = OLERENDER_DRAW, CLIPFORMAT cfFormat = 0,
                        LPFORMATETC lpFormatEtc = nullptr);
    BOOL CreateFromClipboard(OLERENDER render = OLERENDER_DRAW, CLIPFORMAT cfFormat = 0,
                             LPFORMATETC lpFormatEtc = nullptr);
    BOOL CreateFromFile(LPCTSTR lpszFileName, REFCLSID clsid = CLSID_NULL, OLERENDER render = OLERENDER_DRAW,
                        CLIPFORMAT cfFormat = 0, LPFORMATETC lpFormatEtc = nullptr);
    // Whether the clipboard holds something an item can be made from.
    static BOOL PASCAL CanPaste();

    COleDocument* GetDocument() const { return (COleDocument*)m_pDocument; }
    UINT GetItemState() const { return m_nItemState; }
    OLE_OBJTYPE GetType() const;
    DVASPECT GetDrawAspect() const { return m_nDrawAspect; }
    void SetDrawAspect(DVASPECT nDrawAspect) { m_nDrawAspect = nDrawAspect; }
    void GetClassID(CLSID* pClassID) const;
    BOOL IsModified() const;
    BOOL IsRunning() const;
    BOOL IsInPlaceActive() const { return m_nItemState == activeState || m_nItemState == activeUIState; }
    BOOL IsOpen() const { return m_nItemState == openState; }
    // The view the item is (or was last) active in, and the object's in-place window.
    CView* GetActiveView() const { return m_pView; }
    CWnd* GetInPlaceWindow();
    // The object's extent in HIMETRIC; FALSE when it gives none.
    BOOL GetExtent(LPSIZE lpSize, DVASPECT nDrawAspect = (DVASPECT)0);
    BOOL GetCachedExtent(LPSIZE lpSize, DVASPECT nDrawAspect = (DVASPECT)0);
    void SetExtent(const CSize& size, DVASPECT nDrawAspect = DVASPECT_CONTENT);
    DWORD GetMiscStatus(DVASPECT nDrawAspect = (DVASPECT)0) const;

    // Draws the object's picture (its cache when it is not running) into the rectangle
    // in the DC's logical units; nDrawAspect -1: the item's own aspect.
    BOOL Draw(CDC* pDC, LPCRECT lpBounds, DVASPECT nDrawAspect = (DVASPECT)-1);

    // Runs a verb with the view as the place of in-place activation. DoVerb reports a
    // failure to the user; Activate throws it as a COleException.
    virtual BOOL DoVerb(LONG nVerb, CView* pView, LPMSG lpMsg = nullptr);
    virtual void Activate(LONG nVerb, CView* pView, LPMSG lpMsg = nullptr);
    void Run();
    void Close(OLECLOSE dwCloseOption = OLECLOSE_SAVEIFDIRTY);
    void Deactivate();
    void DeactivateUI();
    // The in-place object's position and clip rectangles in the view (the clip
    // rectangle: the view's client area when null).
    BOOL SetItemRects(LPCRECT lpPosRect = nullptr, LPCRECT lpClipRect = nullptr);
    // Closes and lets go of the object; Delete also leaves the document and, with
    // bAutoDelete, ends the item.
    virtual void Release(OLECLOSE dwCloseOption = OLECLOSE_NOSAVE);
    void Delete(BOOL bAutoDelete = TRUE);

    // What the object tells the item; the defaults mark the document modified when the
    // object changed or saved itself.
    virtual void OnChange(OLE_NOTIFICATION nCode, DWORD dwParam);
    virtual BOOL OnChangeItemPosition(const CRect& rectPos);
    // Where the item stands in the active view (its logical units made device units by
    // the view's DC); the default is an empty rectangle.
    virtual void OnGetItemPosition(CRect& rPosition);
    virtual void OnGetClipRect(CRect& rClipRect);
    virtual BOOL CanActivate();
    virtual void OnActivate();
    virtual void OnActivateUI();
    virtual void OnDeactivate();
    virtual void OnDeactivateUI(BOOL bUndoable);
    virtual void OnShowItem() {}
    // A failure of an OLE call: a message box naming the code.
    virtual BOOL ReportError(SCODE sc) const;

    void Serialize(CArchive& ar) override;

    LPOLEOBJECT m_lpObject;

    BEGIN_INTERFACE_PART(OleClientSite, IOleClientSite)
        STDMETHOD(SaveObject)() override;
        STDMETHOD(GetMoniker)(DWORD, DWORD, LPMONIKER*) override;
        STDMETHOD(GetContainer)(LPOLECONTAINER*) override;
        STDMETHOD(ShowObject)() override;
        STDMETHOD(OnShowWindow)(BOOL) override;
        STDMETHOD(RequestNewObjectLayout)() override;
    END_INTERFACE_PART(OleClientSite)

    BEGIN_INTERFACE_PART(AdviseSink, IAdviseSink)
        STDMETHOD_(void, OnDataChange)(LPFORMATETC, LPSTGMEDIUM) override;
        STDMETHOD_(void, OnViewChange)(DWORD, LONG) override;
        STDMETHOD_(void, OnRename)(LPMONIKER) override;
        STDMETHOD_(void, OnSave)() override;
        STDMETHOD_(void, OnClose)() override;
    END_INTERFACE_PART(AdviseSink)

    BEGIN_INTERFACE_PART(OleIPSite, IOleInPlaceSite)
        STDMETHOD(GetWindow)(HWND*) override;
        STDMETHOD(ContextSensitiveHelp)(BOOL) override;
        STDMETHOD(CanInPlaceActivate)() override;
        STDMETHOD(OnInPlaceActivate)() override;
        STDMETHOD(OnUIActivate)() override;
        STDMETHOD(GetWindowContext)(LPOLEINPLACEFRAME*, LPOLEINPLACEUIWINDOW*, LPRECT, LPRECT,
                                    LPOLEINPLACEFRAMEINFO) override;
        STDMETHOD(Scroll)(SIZE) override;
        STDMETHOD(OnUIDeactivate)(BOOL) override;
        STDMETHOD(OnInPlaceDeactivate)() override;
        STDMETHOD(DiscardUndoState)() override;
        STDMETHOD(DeactivateAndUndo)() override;
        STDMETHOD(OnPosRectChange)(LPCRECT) override;
    END_INTERFACE_PART(OleIPSite)
    DECLARE_INTERFACE_MAP()

protected:
    // The storage made, the object's site and advises set after a creation; FALSE and
    // everything let go when the creation failed (sc).
    BOOL FinishCreate(SCODE sc);
    BOOL MakeStorage();
    void Reload();
    void SetState(UINT nNewState);

    UINT m_nItemState;
    DVASPECT m_nDrawAspect;
    LPLOCKBYTES m_lpLockBytes;
    LPSTORAGE m_lpStorage;
    LPVIEWOBJECT2 m_lpViewObject;
    LPOLEINPLACEOBJECT m_lpInPlaceObject;
    DWORD m_dwConnection;
    SCODE m_scLast;
    CView* m_pView;
    HWND m_hWndServer;
    COleFrameHook* m_pFrameHook;    // the top-level frame as IOleInPlaceFrame
    COleFrameHook* m_pDocHook;      // the view's MDI child frame as IOleInPlaceUIWindow
    friend class COleFrameHook;
};


// The system's Insert Object dialog: a new object of a class the registry lists as
// insertable, or one made from a file. CreateItem makes the chosen object into an item.
class QXAFX_API COleInsertDialog
{
public:
    enum Selection { createNewItem = 0, insertFromFile = 1 };
    explicit COleInsertDialog(DWORD dwFlags = IOF_SELECTCREATENEW, CWnd* pParentWnd = nullptr);
    virtual INT_PTR DoModal();
    UINT GetSelectionType() const;
    REFCLSID GetClassID() const { return m_io.clsid; }
    CString GetPathName() const { return CString(m_szFileName); }
    BOOL CreateItem(COleClientItem* pItem);

    OLEUIINSERTOBJECTA m_io;

protected:
    char m_szFileName[MAX_PATH];
    HWND m_hWndParent;
};
// In-place frames: the frame a server document is shown in inside its container's
// window, and the hatched border by which the user resizes it.

class QXAFX_API COleResizeBar : public CControlBar
{
    DECLARE_DYNAMIC(COleResizeBar)
public:
    COleResizeBar();
    // A bar over its frame's whole client area: the hatched border around the view, which
    // the frame's layout leaves inside.
    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE, UINT nID = AFX_IDW_RESIZE_BAR);
    void OnUpdateCmdUI(CFrameWnd*, BOOL) override {}
    // The width of the hatched border in pixels.
    static int GetHatchWidth() { return 4; }

protected:
    CPoint m_ptDrag;
    CRect m_rectDrag;
    int m_nDragEdges;   // 1 left, 2 top, 4 right, 8 bottom
    int HitEdges(CPoint point) const;
    afx_msg LRESULT OnSizeParent(WPARAM wParam, LPARAM lParam);
    afx_msg void OnPaint();
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()
};

class QXAFX_API COleIPFrameWnd : public CFrameWnd
{
    DECLARE_DYNCREATE(COleIPFrameWnd)
public:
    COleIPFrameWnd();
    ~COleIPFrameWnd() override;

    // The container's tool space: TRUE when the frame needs none or made its bars.
    virtual BOOL OnCreateControlBars(CFrameWnd* pWndFrame, CFrameWnd* pWndDoc);
    // Places the frame over the object's rectangle in the container's window (client
    // coordinates of that window), its hatched border around it, clipped to lpClipRect.
    virtual void RepositionFrame(LPCRECT lpPosRect, LPCRECT lpClipRect);
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // The object's rectangle in the container's window, as the container last gave it.
    CRect m_rectPos;
    CRect m_rectClip;
    // The container's window the object sits in, and its frame and document windows.
    HWND m_hWndSite;
    LPOLEINPLACEFRAME m_lpFrame;
    LPOLEINPLACEUIWINDOW m_lpDocFrame;
    OLEINPLACEFRAMEINFO m_frameInfo;
    // The merged menu (the container's groups and the server's in-place popups).
    HMENU m_hSharedMenu;
    HOLEMENU m_hOleMenu;
    HMENU m_hMenuInPlace;
    BOOL m_bUIActive;
    // Builds the shared menu: the container inserts its File, Container and Window groups,
    // the server's in-place menu gives the Edit group (every popup but the last) and the
    // Help group (the last popup, when there are two or more).
    BOOL BuildSharedMenu();
    void DestroySharedMenu();

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    DECLARE_MESSAGE_MAP()
    friend class COleServerDoc;
};

