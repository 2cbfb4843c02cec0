// A block of cells dragged out of the workbook. The drag offers the block as a link
// ("Link Source"): the moniker of the workbook's file composed with an item moniker of the
// sheet and one of the range in R1C1 form, then the server's class, so a drop target that
// links to its source reads "path!sheet!R1C1:R2C2" as the moniker's display name.
#include "QxExcelServer.h"
#include "Workbook.h"

#include <shlobj.h>

#include <vector>

namespace qxxl {

namespace {

CLIPFORMAT LinkSourceFormat()
{
    static const CLIPFORMAT format = (CLIPFORMAT)RegisterClipboardFormatW(L"Link Source");
    return format;
}

std::wstring Wide(const std::string& text)
{
    int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), (int)text.size(), nullptr, 0);
    std::wstring w(n, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), (int)text.size(), &w[0], n);
    return w;
}

std::wstring RangeName(const Area& a)
{
    wchar_t name[64];
    if (a.r1 == a.r2 && a.c1 == a.c2)
        swprintf(name, 64, L"R%dC%d", a.r1, a.c1);
    else
        swprintf(name, 64, L"R%dC%d:R%dC%d", a.r1, a.c1, a.r2, a.c2);
    return name;
}

// The bytes of the link: the composite moniker saved with its class, then the server's class.
HRESULT LinkBytes(const Book& book, std::vector<BYTE>& bytes)
{
    const Sheet& sheet = *book.sheets[book.active];
    if (sheet.selection.empty())
        return E_UNEXPECTED;
    IMoniker* moniker = nullptr;
    HRESULT hr = CreateFileMoniker(book.file.c_str(), &moniker);
    for (const std::wstring& item : {Wide(sheet.name), RangeName(sheet.selection[0])}) {
        IMoniker* part = nullptr;
        IMoniker* joined = nullptr;
        if (SUCCEEDED(hr))
            hr = CreateItemMoniker(L"!", item.c_str(), &part);
        if (SUCCEEDED(hr))
            hr = moniker->ComposeWith(part, FALSE, &joined);
        if (part)
            part->Release();
        if (moniker)
            moniker->Release();
        moniker = joined;
    }
    IStream* stream = nullptr;
    IPersistStream* persist = nullptr;
    if (SUCCEEDED(hr))
        hr = CreateStreamOnHGlobal(nullptr, TRUE, &stream);
    if (SUCCEEDED(hr))
        hr = moniker->QueryInterface(IID_IPersistStream, (void**)&persist);
    if (SUCCEEDED(hr))
        hr = OleSaveToStream(persist, stream);
    if (SUCCEEDED(hr))
        hr = WriteClassStm(stream, CLSID_QxStandInWorkbook);
    HGLOBAL block = nullptr;
    if (SUCCEEDED(hr))
        hr = GetHGlobalFromStream(stream, &block);
    if (SUCCEEDED(hr)) {
        STATSTG stat = {};
        stream->Stat(&stat, STATFLAG_NONAME);
        const BYTE* p = (const BYTE*)GlobalLock(block);
        bytes.assign(p, p + (size_t)stat.cbSize.QuadPart);
        GlobalUnlock(block);
    }
    if (persist)
        persist->Release();
    if (stream)
        stream->Release();
    if (moniker)
        moniker->Release();
    return hr;
}

// The dragged data, fixed when the drag starts, and the source's answers during the drag.
class RangeData final : public IDataObject, public IDropSource {
public:
    explicit RangeData(std::vector<BYTE> link) : m_link(std::move(link)) {}

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        *ppv = nullptr;
        if (riid == IID_IUnknown || riid == IID_IDataObject)
            *ppv = static_cast<IDataObject*>(this);
        else if (riid == IID_IDropSource)
            *ppv = static_cast<IDropSource*>(this);
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

    // IDataObject
    STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override
    {
        HRESULT hr = QueryGetData(format);
        if (hr != S_OK)
            return hr;
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, m_link.size());
        if (!block)
            return E_OUTOFMEMORY;
        memcpy(GlobalLock(block), m_link.data(), m_link.size());
        GlobalUnlock(block);
        *medium = {};
        if (format->tymed & TYMED_HGLOBAL) {
            medium->tymed = TYMED_HGLOBAL;
            medium->hGlobal = block;
            return S_OK;
        }
        hr = CreateStreamOnHGlobal(block, TRUE, &medium->pstm);
        if (FAILED(hr)) {
            GlobalFree(block);
            return hr;
        }
        medium->tymed = TYMED_ISTREAM;
        return S_OK;
    }
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryGetData(FORMATETC* format) override
    {
        if (!format)
            return E_INVALIDARG;
        if (format->cfFormat != LinkSourceFormat() || !(format->dwAspect & DVASPECT_CONTENT))
            return DV_E_FORMATETC;
        return (format->tymed & (TYMED_HGLOBAL | TYMED_ISTREAM)) ? S_OK : DV_E_TYMED;
    }
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override
    {
        if (out)
            out->ptd = nullptr;
        return DATA_S_SAMEFORMATETC;
    }
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override
    {
        if (direction != DATADIR_GET)
            return E_NOTIMPL;
        FORMATETC offered = {LinkSourceFormat(), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL | TYMED_ISTREAM};
        return SHCreateStdEnumFmtEtc(1, &offered, formats);
    }
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

    // IDropSource
    STDMETHODIMP QueryContinueDrag(BOOL escape, DWORD keys) override
    {
        if (escape)
            return DRAGDROP_S_CANCEL;
        return (keys & MK_LBUTTON) ? S_OK : DRAGDROP_S_DROP;
    }
    STDMETHODIMP GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

private:
    LONG m_ref = 1;
    std::vector<BYTE> m_link;
};

} // namespace

HRESULT CreateRangeDragData(const Book& book, IDataObject** data)
{
    *data = nullptr;
    // A drop target finds the block by the workbook's file: a book never loaded from or
    // saved to a file has no name a link could use.
    if (book.file.empty())
        return MK_E_UNAVAILABLE;
    std::vector<BYTE> link;
    HRESULT hr = LinkBytes(book, link);
    if (FAILED(hr))
        return hr;
    *data = new RangeData(std::move(link));
    return S_OK;
}

} // namespace qxxl
