// OLE data: streams as files, data sources (what a program offers through IDataObject and
// the clipboard) and data objects (what it receives).
#include "afxole.h"

#include <vector>

namespace {

COleDataSource* g_pClipboardOwner = nullptr;

CLIPFORMAT RegisterFormat(const char* name)
{
    return (CLIPFORMAT)::RegisterClipboardFormatA(name);
}

bool AspectMatches(DWORD wanted, DWORD offered)
{
    return wanted == offered || wanted == 0;
}

// A copy of a medium the data source keeps, for a caller who owns the copy.
BOOL CopyMedium(const FORMATETC& fmt, const STGMEDIUM& from, STGMEDIUM& to)
{
    to.tymed = from.tymed;
    to.pUnkForRelease = nullptr;
    switch (from.tymed) {
    case TYMED_HGLOBAL:
    case TYMED_MFPICT: {
        if (from.tymed == TYMED_MFPICT) {
            // A metafile picture owns its metafile: both are copied.
            METAFILEPICT* src = (METAFILEPICT*)::GlobalLock(from.hMetaFilePict);
            if (src == nullptr)
                return FALSE;
            HMETAFILE mf = ::CopyMetaFileA(src->hMF, nullptr);
            HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, sizeof(METAFILEPICT));
            METAFILEPICT* dst = h ? (METAFILEPICT*)::GlobalLock(h) : nullptr;
            if (dst != nullptr) {
                *dst = *src;
                dst->hMF = mf;
                ::GlobalUnlock(h);
            }
            ::GlobalUnlock(from.hMetaFilePict);
            if (dst == nullptr || mf == nullptr) {
                if (h)
                    ::GlobalFree(h);
                if (mf)
                    ::DeleteMetaFile(mf);
                return FALSE;
            }
            to.hMetaFilePict = h;
            return TRUE;
        }
        SIZE_T n = ::GlobalSize(from.hGlobal);
        HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, n);
        void* src = ::GlobalLock(from.hGlobal);
        void* dst = h ? ::GlobalLock(h) : nullptr;
        if (src && dst)
            memcpy(dst, src, n);
        if (src)
            ::GlobalUnlock(from.hGlobal);
        if (dst)
            ::GlobalUnlock(h);
        if (!src || !dst) {
            if (h)
                ::GlobalFree(h);
            return FALSE;
        }
        to.hGlobal = h;
        return TRUE;
    }
    case TYMED_ENHMF:
        to.hEnhMetaFile = ::CopyEnhMetaFileA(from.hEnhMetaFile, nullptr);
        return to.hEnhMetaFile != nullptr;
    case TYMED_ISTORAGE:
    case TYMED_ISTREAM:
        // COM objects are shared, with a reference of the caller's.
        to.pstg = from.pstg;
        if (from.tymed == TYMED_ISTORAGE)
            to.pstg->AddRef();
        else
            to.pstm->AddRef();
        return TRUE;
    default:
        (void)fmt;
        return FALSE;
    }
}

// The formats of a data source, enumerated.
class CFormatEnum : public IEnumFORMATETC
{
public:
    CFormatEnum(std::vector<FORMATETC> formats, size_t pos = 0) : m_formats(std::move(formats)), m_pos(pos) {}
    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override
    {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IEnumFORMATETC)) {
            *ppv = this;
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return (ULONG)::InterlockedIncrement(&m_ref); }
    STDMETHOD_(ULONG, Release)() override
    {
        LONG n = ::InterlockedDecrement(&m_ref);
        if (n == 0)
            delete this;
        return (ULONG)n;
    }
    STDMETHOD(Next)(ULONG celt, FORMATETC* rgelt, ULONG* fetched) override
    {
        ULONG n = 0;
        for (; n < celt && m_pos < m_formats.size(); ++n)
            rgelt[n] = m_formats[m_pos++];
        if (fetched)
            *fetched = n;
        return n == celt ? S_OK : S_FALSE;
    }
    STDMETHOD(Skip)(ULONG celt) override
    {
        m_pos += celt;
        if (m_pos > m_formats.size()) {
            m_pos = m_formats.size();
            return S_FALSE;
        }
        return S_OK;
    }
    STDMETHOD(Reset)() override
    {
        m_pos = 0;
        return S_OK;
    }
    STDMETHOD(Clone)(IEnumFORMATETC** ppenum) override
    {
        *ppenum = new CFormatEnum(m_formats, m_pos);
        return S_OK;
    }

private:
    virtual ~CFormatEnum() = default;
    LONG m_ref = 1;
    std::vector<FORMATETC> m_formats;
    size_t m_pos;
};

} // namespace

namespace afximpl {

// At the end of OLE: data the program left on the clipboard stays there.
void FlushOleClipboard()
{
    if (g_pClipboardOwner != nullptr)
        COleDataSource::FlushClipboard();
}

} // namespace afximpl

CLIPFORMAT AfxGetEmbedSourceFormat()
{
    static CLIPFORMAT cf = RegisterFormat("Embed Source");
    return cf;
}

CLIPFORMAT AfxGetObjectDescriptorFormat()
{
    static CLIPFORMAT cf = RegisterFormat("Object Descriptor");
    return cf;
}

CLIPFORMAT AfxGetLinkSourceFormat()
{
    static CLIPFORMAT cf = RegisterFormat("Link Source");
    return cf;
}

// ---- COleStreamFile ---------------------------------------------------------------------

COleStreamFile::COleStreamFile(LPSTREAM lpStream) : m_lpStream(nullptr)
{
    if (lpStream != nullptr)
        Attach(lpStream);
}

COleStreamFile::~COleStreamFile()
{
    if (m_lpStream != nullptr)
        m_lpStream->Release();
}

void COleStreamFile::Attach(LPSTREAM lpStream)
{
    if (m_lpStream != nullptr)
        m_lpStream->Release();
    m_lpStream = lpStream;
    if (m_lpStream != nullptr)
        m_lpStream->AddRef();
}

LPSTREAM COleStreamFile::Detach()
{
    LPSTREAM p = m_lpStream;
    m_lpStream = nullptr;
    return p;
}

static BOOL OpenOrCreate(COleStreamFile& file, LPSTORAGE stg, LPCTSTR name, DWORD flags, bool create)
{
    if (stg == nullptr || name == nullptr)
        return FALSE;
    WCHAR wide[MAX_PATH];
    ::MultiByteToWideChar(CP_ACP, 0, name, -1, wide, MAX_PATH);
    LPSTREAM stream = nullptr;
    HRESULT hr = create ? stg->CreateStream(wide, flags, 0, 0, &stream) : stg->OpenStream(wide, nullptr, flags, 0, &stream);
    if (FAILED(hr))
        return FALSE;
    file.Attach(stream);
    stream->Release();
    return TRUE;
}

BOOL COleStreamFile::OpenStream(LPSTORAGE lpStorage, LPCTSTR lpszName, DWORD nOpenFlags)
{
    return OpenOrCreate(*this, lpStorage, lpszName, nOpenFlags, false);
}

BOOL COleStreamFile::CreateStream(LPSTORAGE lpStorage, LPCTSTR lpszName, DWORD nOpenFlags)
{
    return OpenOrCreate(*this, lpStorage, lpszName, nOpenFlags, true);
}

static void CheckStream(HRESULT hr)
{
    if (FAILED(hr))
        AfxThrowOleException(hr);
}

DWORD COleStreamFile::GetPosition() const
{
    LARGE_INTEGER zero = {};
    ULARGE_INTEGER pos = {};
    CheckStream(m_lpStream->Seek(zero, STREAM_SEEK_CUR, &pos));
    return (DWORD)pos.QuadPart;
}

LONG COleStreamFile::Seek(LONG lOff, UINT nFrom)
{
    LARGE_INTEGER off;
    off.QuadPart = lOff;
    ULARGE_INTEGER pos = {};
    CheckStream(m_lpStream->Seek(off, nFrom, &pos));
    return (LONG)pos.QuadPart;
}

void COleStreamFile::SetLength(DWORD dwNewLen)
{
    ULARGE_INTEGER size;
    size.QuadPart = dwNewLen;
    CheckStream(m_lpStream->SetSize(size));
}

DWORD COleStreamFile::GetLength() const
{
    STATSTG stat = {};
    CheckStream(m_lpStream->Stat(&stat, STATFLAG_NONAME));
    return (DWORD)stat.cbSize.QuadPart;
}

UINT COleStreamFile::Read(void* lpBuf, UINT nCount)
{
    ULONG n = 0;
    CheckStream(m_lpStream->Read(lpBuf, nCount, &n));
    return n;
}

void COleStreamFile::Write(const void* lpBuf, UINT nCount)
{
    ULONG n = 0;
    CheckStream(m_lpStream->Write(lpBuf, nCount, &n));
    if (n != nCount)
        AfxThrowOleException(STG_E_MEDIUMFULL);
}

void COleStreamFile::Abort()
{
    if (m_lpStream != nullptr)
        m_lpStream->Release();
    m_lpStream = nullptr;
}

void COleStreamFile::Flush()
{
    if (m_lpStream != nullptr)
        m_lpStream->Commit(STGC_DEFAULT);
}

void COleStreamFile::Close()
{
    Abort();
}

// ---- COleDataSource ---------------------------------------------------------------------

BEGIN_INTERFACE_MAP(COleDataSource, CCmdTarget)
    INTERFACE_PART(COleDataSource, IID_IDataObject, DataObject)
END_INTERFACE_MAP()

COleDataSource::COleDataSource() : m_pEntries(nullptr), m_nSize(0), m_nMax(0), m_lpDataAdviseHolder(nullptr) {}

COleDataSource::~COleDataSource()
{
    if (g_pClipboardOwner == this)
        g_pClipboardOwner = nullptr;
    Empty();
    delete[] m_pEntries;
    if (m_lpDataAdviseHolder != nullptr)
        m_lpDataAdviseHolder->Release();
}

void COleDataSource::Empty()
{
    for (int i = 0; i < m_nSize; ++i)
        if (m_pEntries[i].stgMedium.tymed != TYMED_NULL)
            ::ReleaseStgMedium(&m_pEntries[i].stgMedium);
    m_nSize = 0;
}

COleDataSource::Entry* COleDataSource::Add(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc, DWORD tymed)
{
    FORMATETC fmt = {cfFormat, nullptr, DVASPECT_CONTENT, -1, tymed};
    if (lpFormatEtc != nullptr) {
        fmt = *lpFormatEtc;
        fmt.cfFormat = cfFormat;
        if (fmt.tymed == 0)
            fmt.tymed = tymed;
    }
    // A format given again with the same medium and aspect replaces the earlier one.
    for (int i = 0; i < m_nSize; ++i) {
        Entry& e = m_pEntries[i];
        if (e.formatEtc.cfFormat == cfFormat && e.formatEtc.dwAspect == fmt.dwAspect &&
            e.formatEtc.lindex == fmt.lindex && (e.formatEtc.tymed & fmt.tymed) != 0) {
            if (e.stgMedium.tymed != TYMED_NULL)
                ::ReleaseStgMedium(&e.stgMedium);
            e.formatEtc = fmt;
            e.stgMedium = STGMEDIUM{};
            e.bFileData = FALSE;
            return &e;
        }
    }
    if (m_nSize == m_nMax) {
        int n = m_nMax ? m_nMax * 2 : 8;
        Entry* p = new Entry[n];
        for (int i = 0; i < m_nSize; ++i)
            p[i] = m_pEntries[i];
        delete[] m_pEntries;
        m_pEntries = p;
        m_nMax = n;
    }
    Entry& e = m_pEntries[m_nSize++];
    e.formatEtc = fmt;
    e.stgMedium = STGMEDIUM{};
    e.bFileData = FALSE;
    return &e;
}

void COleDataSource::CacheData(CLIPFORMAT cfFormat, LPSTGMEDIUM lpStgMedium, LPFORMATETC lpFormatEtc)
{
    Entry* e = Add(cfFormat, lpFormatEtc, lpStgMedium->tymed);
    e->formatEtc.tymed = lpStgMedium->tymed;
    e->stgMedium = *lpStgMedium;
}

void COleDataSource::CacheGlobalData(CLIPFORMAT cfFormat, HGLOBAL hGlobal, LPFORMATETC lpFormatEtc)
{
    STGMEDIUM m = {};
    m.tymed = TYMED_HGLOBAL;
    m.hGlobal = hGlobal;
    CacheData(cfFormat, &m, lpFormatEtc);
}

void COleDataSource::DelayRenderData(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc)
{
    Add(cfFormat, lpFormatEtc, TYMED_HGLOBAL);
}

void COleDataSource::DelayRenderFileData(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc)
{
    Entry* e = Add(cfFormat, lpFormatEtc, TYMED_ISTREAM | TYMED_HGLOBAL);
    e->bFileData = TRUE;
}

LPFORMATETC COleDataSource::FindFormat(LPFORMATETC f, STGMEDIUM** ppCached)
{
    for (int i = 0; i < m_nSize; ++i) {
        Entry& e = m_pEntries[i];
        if (e.formatEtc.cfFormat == f->cfFormat && AspectMatches(f->dwAspect, e.formatEtc.dwAspect) &&
            (f->lindex == -1 || f->lindex == e.formatEtc.lindex) && (e.formatEtc.tymed & f->tymed) != 0) {
            if (ppCached != nullptr)
                *ppCached = e.stgMedium.tymed != TYMED_NULL ? &e.stgMedium : nullptr;
            return &e.formatEtc;
        }
    }
    return nullptr;
}

LPDATAOBJECT COleDataSource::GetDataObject(BOOL bAddRef)
{
    if (bAddRef)
        InternalAddRef();
    return &m_xDataObject;
}

BOOL COleDataSource::GetDataInto(LPFORMATETC f, LPSTGMEDIUM m)
{
    STGMEDIUM* cached = nullptr;
    LPFORMATETC found = FindFormat(f, &cached);
    if (found == nullptr)
        return FALSE;
    *m = STGMEDIUM{};
    if (cached != nullptr)
        return CopyMedium(*found, *cached, *m);
    // The request's medium, narrowed to those the format offers.
    FORMATETC request = *found;
    request.tymed = found->tymed & f->tymed;
    request.dwAspect = found->dwAspect;
    for (DWORD t : {(DWORD)TYMED_ENHMF, (DWORD)TYMED_MFPICT, (DWORD)TYMED_HGLOBAL, (DWORD)TYMED_ISTREAM, (DWORD)TYMED_ISTORAGE})
        if (request.tymed & t) {
            request.tymed = t;
            break;
        }
    m->tymed = TYMED_NULL;
    return OnRenderData(&request, m) && m->tymed != TYMED_NULL;
}

BOOL COleDataSource::OnRenderData(LPFORMATETC f, LPSTGMEDIUM m)
{
    if (f->tymed & TYMED_HGLOBAL) {
        HGLOBAL h = nullptr;
        if (!OnRenderGlobalData(f, &h) || h == nullptr)
            return FALSE;
        m->tymed = TYMED_HGLOBAL;
        m->hGlobal = h;
        m->pUnkForRelease = nullptr;
        return TRUE;
    }
    if (f->tymed & TYMED_ISTREAM) {
        LPSTREAM stream = nullptr;
        if (FAILED(::CreateStreamOnHGlobal(nullptr, TRUE, &stream)))
            return FALSE;
        COleStreamFile file(stream);
        BOOL ok = FALSE;
        try {
            ok = OnRenderFileData(f, &file);
        } catch (CException* e) {
            e->Delete();
        }
        if (!ok) {
            stream->Release();
            return FALSE;
        }
        LARGE_INTEGER zero = {};
        stream->Seek(zero, STREAM_SEEK_SET, nullptr);
        m->tymed = TYMED_ISTREAM;
        m->pstm = stream;
        m->pUnkForRelease = nullptr;
        return TRUE;
    }
    return FALSE;
}

BOOL COleDataSource::OnRenderGlobalData(LPFORMATETC f, HGLOBAL* phGlobal)
{
    // Global memory through the file data, when the format was given as file data.
    CMemFile file;
    BOOL ok = FALSE;
    try {
        ok = OnRenderFileData(f, &file);
    } catch (CException* e) {
        e->Delete();
    }
    if (!ok)
        return FALSE;
    DWORD n = file.GetLength();
    BYTE* bytes = file.Detach();
    HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, n ? n : 1);
    void* p = h ? ::GlobalLock(h) : nullptr;
    if (p != nullptr) {
        if (n)
            memcpy(p, bytes, n);
        ::GlobalUnlock(h);
    }
    free(bytes);
    if (p == nullptr) {
        if (h)
            ::GlobalFree(h);
        return FALSE;
    }
    *phGlobal = h;
    return TRUE;
}

BOOL COleDataSource::OnRenderFileData(LPFORMATETC, CFile*)
{
    return FALSE;
}

void COleDataSource::SetClipboard()
{
    // The clipboard takes its own reference; the creator's goes with it.
    if (SUCCEEDED(::OleSetClipboard(&m_xDataObject)))
        g_pClipboardOwner = this;
    InternalRelease();
}

void COleDataSource::FlushClipboard()
{
    if (g_pClipboardOwner != nullptr && ::OleIsCurrentClipboard(&g_pClipboardOwner->m_xDataObject) == S_OK)
        ::OleFlushClipboard();
    g_pClipboardOwner = nullptr;
}

COleDataSource* COleDataSource::GetClipboardOwner()
{
    if (g_pClipboardOwner != nullptr && ::OleIsCurrentClipboard(&g_pClipboardOwner->m_xDataObject) != S_OK)
        g_pClipboardOwner = nullptr;
    return g_pClipboardOwner;
}

IMPLEMENT_IUNKNOWN(COleDataSource, DataObject)

HRESULT COleDataSource::XDataObject::GetData(LPFORMATETC f, LPSTGMEDIUM m)
{
    METHOD_PROLOGUE(COleDataSource, DataObject)
    if (f == nullptr || m == nullptr)
        return E_INVALIDARG;
    if (pThis->FindFormat(f) == nullptr)
        return DV_E_FORMATETC;
    return pThis->GetDataInto(f, m) ? S_OK : E_FAIL;
}

HRESULT COleDataSource::XDataObject::GetDataHere(LPFORMATETC, LPSTGMEDIUM)
{
    return E_NOTIMPL;
}

HRESULT COleDataSource::XDataObject::QueryGetData(LPFORMATETC f)
{
    METHOD_PROLOGUE(COleDataSource, DataObject)
    return f != nullptr && pThis->FindFormat(f) != nullptr ? S_OK : DV_E_FORMATETC;
}

HRESULT COleDataSource::XDataObject::GetCanonicalFormatEtc(LPFORMATETC, LPFORMATETC out)
{
    if (out != nullptr)
        out->ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
}

HRESULT COleDataSource::XDataObject::SetData(LPFORMATETC, LPSTGMEDIUM, BOOL)
{
    return E_NOTIMPL;
}

HRESULT COleDataSource::XDataObject::EnumFormatEtc(DWORD dir, LPENUMFORMATETC* ppenum)
{
    METHOD_PROLOGUE(COleDataSource, DataObject)
    if (ppenum == nullptr)
        return E_POINTER;
    *ppenum = nullptr;
    if (dir != DATADIR_GET)
        return E_NOTIMPL;
    std::vector<FORMATETC> formats;
    for (int i = 0; i < pThis->m_nSize; ++i)
        formats.push_back(pThis->m_pEntries[i].formatEtc);
    *ppenum = new CFormatEnum(std::move(formats));
    return S_OK;
}

HRESULT COleDataSource::XDataObject::DAdvise(LPFORMATETC f, DWORD advf, LPADVISESINK sink, LPDWORD conn)
{
    METHOD_PROLOGUE(COleDataSource, DataObject)
    if (pThis->m_lpDataAdviseHolder == nullptr && FAILED(::CreateDataAdviseHolder(&pThis->m_lpDataAdviseHolder)))
        return E_OUTOFMEMORY;
    return pThis->m_lpDataAdviseHolder->Advise(this, f, advf, sink, conn);
}

HRESULT COleDataSource::XDataObject::DUnadvise(DWORD conn)
{
    METHOD_PROLOGUE(COleDataSource, DataObject)
    return pThis->m_lpDataAdviseHolder ? pThis->m_lpDataAdviseHolder->Unadvise(conn) : OLE_E_NOCONNECTION;
}

HRESULT COleDataSource::XDataObject::EnumDAdvise(LPENUMSTATDATA* ppenum)
{
    METHOD_PROLOGUE(COleDataSource, DataObject)
    if (pThis->m_lpDataAdviseHolder == nullptr) {
        *ppenum = nullptr;
        return OLE_E_ADVISENOTSUPPORTED;
    }
    return pThis->m_lpDataAdviseHolder->EnumAdvise(ppenum);
}

// ---- COleDataObject ---------------------------------------------------------------------

COleDataObject::COleDataObject() : m_lpDataObject(nullptr), m_lpEnumerator(nullptr), m_bAutoRelease(TRUE) {}

COleDataObject::~COleDataObject()
{
    Release();
}

void COleDataObject::Attach(LPDATAOBJECT lpDataObject, BOOL bAutoRelease)
{
    Release();
    m_lpDataObject = lpDataObject;
    m_bAutoRelease = bAutoRelease;
}

LPDATAOBJECT COleDataObject::Detach()
{
    LPDATAOBJECT p = m_lpDataObject;
    m_lpDataObject = nullptr;
    if (m_lpEnumerator != nullptr) {
        m_lpEnumerator->Release();
        m_lpEnumerator = nullptr;
    }
    return p;
}

void COleDataObject::Release()
{
    LPDATAOBJECT p = Detach();
    if (p != nullptr && m_bAutoRelease)
        p->Release();
}

BOOL COleDataObject::AttachClipboard()
{
    LPDATAOBJECT p = nullptr;
    if (FAILED(::OleGetClipboard(&p)) || p == nullptr)
        return FALSE;
    Attach(p, TRUE);
    return TRUE;
}

static FORMATETC Request(CLIPFORMAT cf, LPFORMATETC f)
{
    if (f != nullptr) {
        FORMATETC r = *f;
        r.cfFormat = cf;
        return r;
    }
    return FORMATETC{cf, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL | TYMED_ENHMF | TYMED_MFPICT | TYMED_ISTREAM | TYMED_ISTORAGE};
}

BOOL COleDataObject::IsDataAvailable(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc)
{
    FORMATETC r = Request(cfFormat, lpFormatEtc);
    return m_lpDataObject != nullptr && m_lpDataObject->QueryGetData(&r) == S_OK;
}

BOOL COleDataObject::GetData(CLIPFORMAT cfFormat, LPSTGMEDIUM lpStgMedium, LPFORMATETC lpFormatEtc)
{
    FORMATETC r = Request(cfFormat, lpFormatEtc);
    return m_lpDataObject != nullptr && SUCCEEDED(m_lpDataObject->GetData(&r, lpStgMedium));
}

HGLOBAL COleDataObject::GetGlobalData(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc)
{
    FORMATETC r = Request(cfFormat, lpFormatEtc);
    r.tymed = TYMED_HGLOBAL;
    STGMEDIUM m = {};
    if (m_lpDataObject == nullptr || FAILED(m_lpDataObject->GetData(&r, &m)))
        return nullptr;
    if (m.tymed != TYMED_HGLOBAL || m.pUnkForRelease != nullptr) {
        ::ReleaseStgMedium(&m);
        return nullptr;
    }
    return m.hGlobal;
}

void COleDataObject::BeginEnumFormats()
{
    if (m_lpEnumerator != nullptr) {
        m_lpEnumerator->Release();
        m_lpEnumerator = nullptr;
    }
    if (m_lpDataObject != nullptr)
        m_lpDataObject->EnumFormatEtc(DATADIR_GET, &m_lpEnumerator);
}

BOOL COleDataObject::GetNextFormat(LPFORMATETC lpFormatEtc)
{
    return m_lpEnumerator != nullptr && m_lpEnumerator->Next(1, lpFormatEtc, nullptr) == S_OK;
}
