// Drops on graph windows: plots dragged between layers, ranges dragged from the active
// workbook and columns dragged from the program's worksheets.
#include "QUGraphView.h"

#include "QKContour.h"
#include "QKData.h"
#include "QKGraphObjects.h"
#include "QUQrxSystem.h"
#include "XlView.h"

namespace {

// The display name of the link a data object offers ("Link Source": the source's moniker,
// then its class), the way a container's link item would name its source; empty when the
// data offer no link.
CString LinkSourceDisplayName(COleDataObject* data)
{
    static const CLIPFORMAT linkSource = (CLIPFORMAT)::RegisterClipboardFormatA("Link Source");
    FORMATETC request = {linkSource, nullptr, DVASPECT_CONTENT, -1, TYMED_ISTREAM | TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    if (!data->GetData(linkSource, &medium, &request))
        return CString();
    IStream* stream = nullptr;
    if (medium.tymed == TYMED_ISTREAM) {
        stream = medium.pstm;
        stream->AddRef();
    } else if (medium.tymed == TYMED_HGLOBAL) {
        // The stream reads a copy: the medium is released with its own block.
        SIZE_T size = ::GlobalSize(medium.hGlobal);
        HGLOBAL copy = ::GlobalAlloc(GMEM_MOVEABLE, size);
        void* from = ::GlobalLock(medium.hGlobal);
        void* to = copy ? ::GlobalLock(copy) : nullptr;
        if (from && to)
            memcpy(to, from, size);
        if (from)
            ::GlobalUnlock(medium.hGlobal);
        if (to)
            ::GlobalUnlock(copy);
        if (!from || !to || FAILED(::CreateStreamOnHGlobal(copy, TRUE, &stream))) {
            if (copy)
                ::GlobalFree(copy);
            stream = nullptr;
        }
    }
    ::ReleaseStgMedium(&medium);
    if (!stream)
        return CString();
    CString name;
    LARGE_INTEGER start = {};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    IMoniker* moniker = nullptr;
    IBindCtx* context = nullptr;
    if (SUCCEEDED(::OleLoadFromStream(stream, IID_IMoniker, (void**)&moniker)) &&
        SUCCEEDED(::CreateBindCtx(0, &context))) {
        LPOLESTR wide = nullptr;
        if (SUCCEEDED(moniker->GetDisplayName(context, nullptr, &wide)) && wide) {
            int n = ::WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
            if (n > 1) {
                std::string text((size_t)n, '\0');
                ::WideCharToMultiByte(CP_ACP, 0, wide, -1, &text[0], n, nullptr, nullptr);
                name = text.c_str();
            }
            ::CoTaskMemFree(wide);
        }
    }
    if (context)
        context->Release();
    if (moniker)
        moniker->Release();
    stream->Release();
    return name;
}

} // namespace

int CQUGraphView::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CQuorixView::OnCreate(lpcs) == -1)
        return -1;
    m_dropTarget.Register(this);
    return 0;
}

int CQULayoutView::OnCreate(LPCREATESTRUCT lpcs)
{
    return CView::OnCreate(lpcs);
}

void CQUGraphView::ClearDragSources()
{
    m_pXlDragSource = nullptr;
    m_pWksDragSource = nullptr;
    m_pPlotDragSource = nullptr;
}

CQUxlView* CQUGraphView::FindExcelDragSourceByName(const CString& name)
{
    CQUxlView* view = CQUxlView::get_active_excel_view();
    CString id;
    if (!view || !view->GetDropSourceIDString(id))
        return nullptr;
    if (name.GetLength() < id.GetLength() || name.Left(id.GetLength()).CompareNoCase(id) != 0)
        return nullptr;
    // The workbook's path, then "!sheet!range": two "!" at least, a range of two
    // characters at least after the last.
    int bangs = 0;
    for (int i = 0; i < name.GetLength(); ++i)
        bangs += name[i] == '!';
    const int last = name.ReverseFind('!');
    if (bangs < 2 || name.GetLength() - last - 1 < 2)
        return nullptr;
    const int maxRows = CQUxlView::AssumeExcelVersionEight() ? 65536 : 16384;
    if (!qkuxlRCRangeNameToRange(name.Mid(last + 1), m_xlSelection, maxRows))
        return nullptr;
    return view;
}

CQUxlView* CQUGraphView::FindExcelDragSource(COleDataObject* pDataObject)
{
    if (!CQUxlView::get_active_excel_view())
        return nullptr;
    CString name = LinkSourceDisplayName(pDataObject);
    return name.IsEmpty() ? nullptr : FindExcelDragSourceByName(name);
}

DROPEFFECT CQUGraphView::OnDragEnter(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point)
{
    ClearDragSources();
    m_xlSelection = QXLSELECTION{};
    const CLIPFORMAT wksFormat = (CLIPFORMAT)GetQuorixWksDragDropClipboardFormat();
    if (CQKWksPage::ms_bDraggingFromQrxWksInvoked && pDataObject->IsDataAvailable(wksFormat)) {
        if (HGLOBAL block = pDataObject->GetGlobalData(wksFormat)) {
            if (auto* first = static_cast<CQKWksPage**>(::GlobalLock(block))) {
                m_pWksDragSource = *first;
                ::GlobalUnlock(block);
            }
            ::GlobalFree(block);
        }
    } else {
        m_pXlDragSource = FindExcelDragSource(pDataObject);
        if (!m_pXlDragSource)
            m_pPlotDragSource =
                CQKPlotObj::GetPlotObjDragSource(pDataObject->GetIDataObject(FALSE), dwKeyState, point);
    }
    return OnDragOver(pDataObject, dwKeyState, point);
}

DROPEFFECT CQUGraphView::OnDragOver(COleDataObject* pDataObject, DWORD, CPoint point)
{
    if (m_pPlotDragSource)
        return m_pPlotDragSource->DoDrop(pDataObject->GetIDataObject(FALSE), DROPEFFECT_NONE, point, TRUE)
                   ? DROPEFFECT_MOVE
                   : DROPEFFECT_NONE;
    if (m_pXlDragSource)
        return DROPEFFECT_COPY | DROPEFFECT_LINK;
    if (m_pWksDragSource)
        return DROPEFFECT_LINK;
    return DROPEFFECT_NONE;
}

void CQUGraphView::OnDragLeave()
{
    ClearDragSources();
}

BOOL CQUGraphView::OnDrop(COleDataObject* pDataObject, DROPEFFECT dropEffect, CPoint point)
{
    BOOL done = FALSE;
    if (m_pPlotDragSource)
        done = m_pPlotDragSource->DoDrop(pDataObject->GetIDataObject(FALSE), dropEffect, point, FALSE);
    else if (m_pXlDragSource)
        done = m_pXlDragSource->PlotDrop(&m_xlSelection, this, point);
    else if (m_pWksDragSource)
        done = CQKWksPage::PlotDrop(m_pWksDragSource, GetGraphPage(), point,
                                    CQUSystemExcel::GetDragDropPlotTypeID());
    ClearDragSources();
    if (done)
        Invalidate(FALSE);
    return done;
}
