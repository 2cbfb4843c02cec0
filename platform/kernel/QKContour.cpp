#include "QKContour.h"
#include "KernelInternal.h"

#include <stdio.h>
#include <stdint.h>
#include <string.h>

#include <algorithm>

#include "QKCallLog.h"
#include "QKData.h"

// ---- Archive

CQKArchive::CQKArchive() : m_storing(true) {}

CQKArchive::CQKArchive(const std::vector<BYTE>& bytes) : m_storing(false), m_bytes(bytes) {}

BOOL CQKArchive::Write(const void* data, UINT size)
{
    if (!m_storing || m_bytes.size() + size > m_limit)
        return FALSE;
    const BYTE* p = static_cast<const BYTE*>(data);
    m_bytes.insert(m_bytes.end(), p, p + size);
    return TRUE;
}

BOOL CQKArchive::Read(void* data, UINT size)
{
    if (m_storing || m_position + size > m_bytes.size())
        return FALSE;
    memcpy(data, m_bytes.data() + m_position, size);
    m_position += size;
    return TRUE;
}

BOOL CQKArchive::WriteDWORD(DWORD value) { return Write(&value, 4); }

BOOL CQKArchive::ReadDWORD(DWORD& value) { return Read(&value, 4); }

BOOL CQKArchive::WriteOneStruct(const void* data, UINT size)
{
    return WriteDWORD(size) && Write(data, size);
}

BOOL CQKArchive::ReadOneStruct(void* data, UINT size)
{
    DWORD stored;
    return ReadDWORD(stored) && stored == size && Read(data, size);
}

// ---- Property sets

CQKPropertySet::~CQKPropertySet() = default;

CRuntimeClass* CQKPropertySet::GetRuntimeClass() const { return nullptr; }

DWORD CQKPropertySet::GetClassID() const { return 0; }

DWORD CQKPropertySet::GetVersion() const { return 0x10000; }

BOOL CQKPropertySet::ReadFromArch(CQKArchive& ar)
{
    DWORD id, version;
    if (!ar.ReadDWORD(id) || !ar.ReadDWORD(version))
        return FALSE;
    return id == GetClassID() && (version >> 16) <= (GetVersion() >> 16);
}

BOOL CQKPropertySet::WriteToArch(CQKArchive& ar)
{
    return ar.WriteDWORD(GetClassID()) && ar.WriteDWORD(GetVersion());
}

DWORD CQKPropertySet::GetSavingSize() const { return GetHeaderSize(); }

CQKPropertySet* CQKPropertySet::CreateObjectOfSameType() const { return nullptr; }

BOOL CQKPropertySet::CopyFrom(CQKPropertySet* from)
{
    if (!from || from->GetClassID() != GetClassID())
        return FALSE;
    CQKArchive out;
    if (!from->WriteToArch(out))
        return FALSE;
    CQKArchive in(out.GetBytes());
    return ReadFromArch(in);
}

BOOL CQKPropertySet::WriteZeroEmptySlots(CQKArchive& ar) { return ar.WriteDWORD(0); }

BOOL CQKPropertySet::SkipOverAllSlots(CQKArchive& ar)
{
    DWORD size;
    if (!ar.ReadDWORD(size))
        return FALSE;
    std::vector<BYTE> skipped(size);
    return size == 0 || ar.Read(skipped.data(), size);
}

BOOL CQKPropertySet::SaveOnePropertySet(CQKArchive& ar, CQKPropertySet* child)
{
    return child && child->WriteToArch(ar);
}

BOOL CQKPropertySet::LoadOnePropertySet(CQKArchive& ar, CQKPropertySet* child)
{
    return child && child->ReadFromArch(ar);
}

BOOL CQKFontTypePSet::ReadFromArch(CQKArchive& ar)
{
    return CQKPropertySet::ReadFromArch(ar) && ar.ReadOneStruct(&m_font, sizeof m_font) && SkipOverAllSlots(ar);
}

BOOL CQKFontTypePSet::WriteToArch(CQKArchive& ar)
{
    return CQKPropertySet::WriteToArch(ar) && ar.WriteOneStruct(&m_font, sizeof m_font) &&
           WriteZeroEmptySlots(ar);
}

DWORD CQKFontTypePSet::GetSavingSize() const
{
    return CQKPropertySet::GetSavingSize() + 4 + sizeof m_font + GetEmptySlotsSize();
}

HFONT CQKFontTypePSet::CreateFont(HDC dc) const
{
    std::string face;
    if (CQKFontManager::GetFontName(m_font.font, face) < 0 || m_font.font == 0)
        face = "Arial";
    int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
    LOGFONTA lf = {};
    lf.lfHeight = -MulDiv(m_font.size > 0 ? m_font.size : 22, dpi, 72);
    lf.lfWeight = (m_font.style & 1) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (m_font.style & 2) ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, face.c_str(), LF_FACESIZE);
    return CreateFontIndirectA(&lf);
}

// ---- Contour grid and store

CQKContourData::~CQKContourData() = default;

CRuntimeClass* CQKContourData::GetRuntimeClass() const { return nullptr; }

CQKContourData* CQKContourData::Duplicate() const { return nullptr; }

CQKContourGrid::CQKContourGrid() = default;

CQKContourGrid::~CQKContourGrid() { delete m_data; }

void CQKContourGrid::SetSize(int rows, int cols)
{
    m_rows = rows > 0 ? rows : 0;
    m_cols = cols > 0 ? cols : 0;
    m_values.assign((size_t)m_rows * m_cols, 0.0f);
    m_perturbed = false;
    SetContourData(nullptr);
}

void CQKContourGrid::SetContourData(CQKContourData* data)
{
    if (data == m_data)
        return;
    delete m_data;
    m_data = data;
}

void CQKContourGrid::SetWorldMapping(double scaleX, double offsetX, double scaleY, double offsetY)
{
    m_scaleX = scaleX;
    m_offsetX = offsetX;
    m_scaleY = scaleY;
    m_offsetY = offsetY;
}

void CQKContourGrid::SetPlotArea(const RECT& rect, double xMin, double xRange, double yMin, double yRange)
{
    m_rect = rect;
    m_xMin = xMin;
    m_xRange = xRange;
    m_yMin = yMin;
    m_yRange = yRange;
}

// ---- Colour map

BOOL CQKColorMapData::GetFill(int colorIndex, COLORREF& color, int& pattern) const
{
    if (colorIndex < 0 || colorIndex >= (int)m_fills.size() || m_fills[colorIndex].none ||
        colorIndex == m_missingIndex)
        return FALSE;
    color = m_fills[colorIndex].color;
    pattern = m_fills[colorIndex].pattern;
    return TRUE;
}

void CQKColorMapData::SetFill(int colorIndex, COLORREF color, int pattern)
{
    if (colorIndex < 0)
        return;
    if (colorIndex >= (int)m_fills.size())
        m_fills.resize(colorIndex + 1);
    m_fills[colorIndex] = Fill{false, color, pattern};
}

void CQKColorMapData::SetNoFill(int colorIndex)
{
    if (colorIndex < 0)
        return;
    if (colorIndex >= (int)m_fills.size())
        m_fills.resize(colorIndex + 1);
    m_fills[colorIndex].none = true;
}

CQKColorMapData::Line& CQKColorMapData::LineAt(int level)
{
    if (level >= (int)m_lines.size())
        m_lines.resize(level + 1);
    return m_lines[level];
}

DWORD CQKColorMapData::GetContourLineFlags(int level) const
{
    return level >= 0 && level < (int)m_lines.size() ? m_lines[level].flags : 0;
}

void CQKColorMapData::SetContourLineFlags(int level, DWORD flags)
{
    if (level >= 0)
        LineAt(level).flags = flags;
}

void CQKColorMapData::SetContourLabelShown(int level, BOOL shown)
{
    if (level < 0)
        return;
    DWORD& flags = LineAt(level).flags;
    flags = shown ? flags | CONTOUR_LABEL_SHOWN : flags & ~(DWORD)CONTOUR_LABEL_SHOWN;
}

BOOL CQKColorMapData::GetDrawLine(int level, QKContourPen& pen) const
{
    if (level < 0)
        return FALSE;
    Line line = level < (int)m_lines.size() ? m_lines[level] : Line();
    if ((line.flags & CONTOUR_LINE_HIDDEN) || !line.hasPen)
        return FALSE;
    pen = line.pen;
    return TRUE;
}

void CQKColorMapData::SetDrawLine(int level, const QKContourPen& pen)
{
    if (level < 0)
        return;
    LineAt(level).pen = pen;
    LineAt(level).hasPen = true;
}

BOOL CQKColorMapData::IsForceContourLineLabelCreation(int level) const
{
    return level >= 0 && level < (int)m_lines.size() && m_lines[level].forceLabel;
}

void CQKColorMapData::SetForceContourLineLabelCreation(int level, BOOL force)
{
    if (level >= 0)
        LineAt(level).forceLabel = force != FALSE;
}

BOOL CQKColorMapData::SetAllForceContourLineLabelCreation(BOOL force)
{
    BOOL changed = FALSE;
    for (Line& line : m_lines)
        if (line.forceLabel != (force != FALSE)) {
            line.forceLabel = force != FALSE;
            changed = TRUE;
        }
    return changed;
}

std::string CQKColorMapData::GetLabelText(int, double value) const
{
    char text[32];
    snprintf(text, sizeof text, "%g", value);
    return text;
}



// ---- Plot object

CQKContourPlotObj::CQKContourPlotObj()
    : m_grid(new CQKContourGrid), m_colorMap(new CQKColorMapData)
{
}

CQKContourPlotObj::~CQKContourPlotObj() { delete m_additional; }

CRuntimeClass* CQKContourPlotObj::GetRuntimeClass() const { return nullptr; }

int CQKContourPlotObj::GetPlotObjType() const { return 0; }

CQKPropertySet* CQKContourPlotObj::CreateAdditionalPlotObjData() { return nullptr; }

BOOL CQKContourPlotObj::StartDragAtPoint(POINT) { return FALSE; }

BOOL CQKContourPlotObj::DropDragData(HGLOBAL, POINT, BOOL) { return FALSE; }

BOOL CQKContourPlotObj::CanStartDrag() { return FALSE; }

BOOL CQKContourPlotObj::IsPointOnContourLine(POINT) { return FALSE; }

BOOL CQKContourPlotObj::AddLabelAtPoint(POINT) { return FALSE; }

// The kernel keeps contour plots but draws none itself: the 3D library's plot does.
BOOL CQKContourPlotObj::Draw(HDC, const RECT*)
{
    qkfxGetCallLog().Add("CQKContourPlotObj::Draw", "no contour library");
    return FALSE;
}

void CQKContourPlotObj::UpdateGridInfo()
{
    qkfxGetCallLog().Add("CQKContourPlotObj::UpdateGridInfo");
    // A grid already filled keeps its values and the lines computed from them.
    if (m_grid->GetRows() == 0 && UsesMatrixData())
        qkFillContourGrid(this);
}

BOOL CQKContourPlotObj::NeedsContourLines() { return TRUE; }

void CQKContourPlotObj::UpdatePlot() { qkfxGetCallLog().Add("CQKContourPlotObj::UpdatePlot"); }

// ---- Painter

CQKLine2::CQKLine2(HDC dc) : m_dc(dc)
{
    m_saved = SaveDC(dc);
    m_oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
    m_oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
}

CQKLine2::~CQKLine2()
{
    SelectObject(m_dc, m_oldPen);
    SelectObject(m_dc, m_oldBrush);
    RestoreDC(m_dc, m_saved);
    if (m_pen)
        DeleteObject(m_pen);
}

void CQKLine2::SetPen(const QKContourPen& pen)
{
    HPEN made = CreatePen(pen.style, pen.width, pen.color);
    SelectObject(m_dc, made ? made : GetStockObject(BLACK_PEN));
    if (m_pen)
        DeleteObject(m_pen);
    m_pen = made;
}

void CQKLine2::SetNullPen()
{
    SelectObject(m_dc, GetStockObject(NULL_PEN));
    if (m_pen)
        DeleteObject(m_pen);
    m_pen = nullptr;
}

BOOL CQKLine2::DrawSimplePolygon(const POINT* points, int count, int outlineEnd, int fillColor, int pattern)
{
    if (!points || count < 2)
        return FALSE;
    if (fillColor != CQKColorMapData::NO_FILL) {
        HBRUSH brush = pattern > 0 ? CreateHatchBrush(pattern - 1, (COLORREF)fillColor)
                                   : CreateSolidBrush((COLORREF)fillColor);
        if (brush) {
            HGDIOBJ pen = SelectObject(m_dc, GetStockObject(NULL_PEN));
            HGDIOBJ old = SelectObject(m_dc, brush);
            Polygon(m_dc, points, count);
            SelectObject(m_dc, old);
            SelectObject(m_dc, pen);
            DeleteObject(brush);
        }
    }
    int outline = outlineEnd > 0 && outlineEnd < count ? outlineEnd : count;
    return Polyline(m_dc, points, outline);
}

namespace {

// The part of segment a-b outside the rectangle, as up to two pieces [t0, t1] of its
// parameter (Liang-Barsky for the inside part).
int OutsideParts(const RECT& r, POINT a, POINT b, double parts[2][2])
{
    double t0 = 0, t1 = 1;
    double dx = b.x - a.x, dy = b.y - a.y;
    double p[4] = {-dx, dx, -dy, dy};
    double q[4] = {(double)a.x - r.left, (double)r.right - a.x, (double)a.y - r.top, (double)r.bottom - a.y};
    bool inside = true;
    for (int i = 0; i < 4 && inside; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                inside = false;
        } else {
            double t = q[i] / p[i];
            if (p[i] < 0)
                t0 = std::max(t0, t);
            else
                t1 = std::min(t1, t);
            if (t0 > t1)
                inside = false;
        }
    }
    if (!inside) {
        parts[0][0] = 0;
        parts[0][1] = 1;
        return 1;
    }
    int n = 0;
    if (t0 > 0)
        parts[n][0] = 0, parts[n][1] = t0, ++n;
    if (t1 < 1)
        parts[n][0] = t1, parts[n][1] = 1, ++n;
    return n;
}

} // namespace

BOOL CQKLine2::DrawPolyLine(const POINT* points, int count, const RECT* gaps, int gapCount)
{
    if (!points || count < 2)
        return FALSE;
    for (int i = 1; i < count; ++i) {
        // The pieces of this segment left after each gap is cut out, as parameter ranges.
        std::vector<std::pair<double, double>> pieces{{0.0, 1.0}};
        POINT a = points[i - 1], b = points[i];
        for (int g = 0; g < gapCount; ++g) {
            double out[2][2];
            int n = OutsideParts(gaps[g], a, b, out);
            std::vector<std::pair<double, double>> kept;
            for (auto& piece : pieces)
                for (int k = 0; k < n; ++k) {
                    double lo = std::max(piece.first, out[k][0]), hi = std::min(piece.second, out[k][1]);
                    if (lo < hi)
                        kept.emplace_back(lo, hi);
                }
            pieces.swap(kept);
        }
        for (auto& piece : pieces) {
            MoveToEx(m_dc, (int)(a.x + piece.first * (b.x - a.x) + 0.5), (int)(a.y + piece.first * (b.y - a.y) + 0.5),
                     nullptr);
            LineTo(m_dc, (int)(a.x + piece.second * (b.x - a.x) + 0.5), (int)(a.y + piece.second * (b.y - a.y) + 0.5));
        }
    }
    return TRUE;
}

BOOL CQKLine2::DrawSimpleRect(const RECT& rect, COLORREF color)
{
    HBRUSH brush = CreateSolidBrush(color);
    if (!brush)
        return FALSE;
    BOOL done = FillRect(m_dc, &rect, brush) != 0;
    DeleteObject(brush);
    return done;
}

// ---- Label texts

BOOL CQKTxtLabels::MeasureRectAtWorld(HDC dc, const std::string& text, const CQKFontTypePSet* font, POINT centre,
                                      UINT format, RECT& rect)
{
    if (!dc)
        return FALSE;
    CQKFontTypePSet fallback;
    HFONT made = (font ? font : &fallback)->CreateFont(dc);
    HGDIOBJ old = made ? SelectObject(dc, made) : nullptr;
    RECT r = {0, 0, 0, 0};
    UINT flags = DT_CALCRECT | DT_NOPREFIX | (format == QK_TEXT_CENTER_MULTILINE ? DT_CENTER : 0);
    int height = DrawTextA(dc, text.c_str(), (int)text.size(), &r, flags);
    if (made) {
        SelectObject(dc, old);
        DeleteObject(made);
    }
    if (height <= 0)
        return FALSE;
    int w = r.right - r.left, h = r.bottom - r.top;
    rect.left = centre.x - w / 2;
    rect.top = centre.y - h / 2;
    rect.right = rect.left + w;
    rect.bottom = rect.top + h;
    return TRUE;
}

BOOL CQKTxtLabels::TextOutA(HDC dc, const std::string& text, const CQKFontTypePSet* font, const RECT& rect,
                            UINT format)
{
    CQKFontTypePSet fallback;
    const CQKFontTypePSet* f = font ? font : &fallback;
    HFONT made = f->CreateFont(dc);
    HGDIOBJ old = made ? SelectObject(dc, made) : nullptr;
    DWORD colour = 0;
    CQKColor::GetColorRef(f->GetFont().color, colour, 0);
    COLORREF oldColour = SetTextColor(dc, colour);
    int oldMode = SetBkMode(dc, TRANSPARENT);
    RECT r = rect;
    UINT flags = DT_NOPREFIX | DT_NOCLIP | (format == QK_TEXT_CENTER_MULTILINE ? DT_CENTER : 0);
    int height = DrawTextA(dc, text.c_str(), (int)text.size(), &r, flags);
    SetBkMode(dc, oldMode);
    SetTextColor(dc, oldColour);
    if (made) {
        SelectObject(dc, old);
        DeleteObject(made);
    }
    return height > 0;
}

// ---- Hit tests and dragging

BOOL qkuFindRectangleLineIntersection(const RECT& rect, POINT a, POINT b)
{
    double parts[2][2];
    int n = OutsideParts(rect, a, b, parts);
    return !(n == 1 && parts[0][0] == 0 && parts[0][1] == 1);
}

void qkuCreateRectForScreenSearchingFromPoint(POINT point, RECT& rect)
{
    const int half = 4;
    rect.left = point.x - half;
    rect.top = point.y - half;
    rect.right = point.x + half;
    rect.bottom = point.y + half;
}

HGLOBAL CreateGlobalMemoryForDragDrop(SIZE_T size)
{
    return GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_SHARE, size);
}

UINT GetQuorixPlotObjDragDropClipboardFormat()
{
    static UINT format = RegisterClipboardFormatA("Quorix Plot Object");
    return format;
}

namespace {
bool g_dragging = false;
}

void qkuSetPlotObjDragging(BOOL dragging) { g_dragging = dragging != FALSE; }

BOOL qkuIsPlotObjDragging() { return g_dragging; }

// ---- The drag of a plot object: its data offered in one format, moved or nothing.

namespace {

class DragData : public IDataObject {
public:
    DragData(HGLOBAL data, UINT format) : m_data(data), m_format(format) {}
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override
    {
        if (riid == IID_IUnknown || riid == IID_IDataObject) {
            *out = static_cast<IDataObject*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_refs; }
    STDMETHODIMP_(ULONG) Release() override { return --m_refs; } // lives on the caller's stack
    STDMETHODIMP GetData(FORMATETC* f, STGMEDIUM* m) override
    {
        if (QueryGetData(f) != S_OK)
            return DV_E_FORMATETC;
        SIZE_T size = GlobalSize(m_data);
        HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
        void* to = copy ? GlobalLock(copy) : nullptr;
        void* from = GlobalLock(m_data);
        if (!to || !from) {
            if (from)
                GlobalUnlock(m_data);
            if (copy)
                GlobalFree(copy);
            return E_OUTOFMEMORY;
        }
        memcpy(to, from, size);
        GlobalUnlock(m_data);
        GlobalUnlock(copy);
        m->tymed = TYMED_HGLOBAL;
        m->hGlobal = copy;
        m->pUnkForRelease = nullptr;
        return S_OK;
    }
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryGetData(FORMATETC* f) override
    {
        return f && f->cfFormat == m_format && (f->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_FORMATETC;
    }
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override
    {
        out->ptd = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    HGLOBAL m_data;
    UINT m_format;
    ULONG m_refs = 1;
};

class DragSource : public IDropSource {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override
    {
        if (riid == IID_IUnknown || riid == IID_IDropSource) {
            *out = static_cast<IDropSource*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_refs; }
    STDMETHODIMP_(ULONG) Release() override { return --m_refs; }
    STDMETHODIMP QueryContinueDrag(BOOL escape, DWORD keys) override
    {
        if (escape)
            return DRAGDROP_S_CANCEL;
        return (keys & MK_LBUTTON) ? S_OK : DRAGDROP_S_DROP;
    }
    STDMETHODIMP GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

private:
    ULONG m_refs = 1;
};

} // namespace

DWORD qkuDoDragDrop(HGLOBAL data, UINT format, DWORD effects)
{
    DragData object(data, format);
    DragSource source;
    DWORD effect = DROPEFFECT_NONE;
    HRESULT initialised = OleInitialize(nullptr);
    HRESULT hr = DoDragDrop(&object, &source, effects, &effect);
    if (SUCCEEDED(initialised))
        OleUninitialize();
    return hr == DRAGDROP_S_DROP ? effect : DROPEFFECT_NONE;
}

namespace {
CQKPlotObj* g_draggedPlot = nullptr;
}

BOOL qkuDragPlotObjData(const void* data, SIZE_T size, CQKPlotObj* plot)
{
    HGLOBAL block = CreateGlobalMemoryForDragDrop(size);
    void* copy = block ? GlobalLock(block) : nullptr;
    if (!copy) {
        if (block)
            GlobalFree(block);
        return FALSE;
    }
    memcpy(copy, data, size);
    GlobalUnlock(block);
    qkuDoPlotObjDragDrop(block, plot);
    GlobalFree(block);
    return TRUE;
}

DWORD qkuDoPlotObjDragDrop(HGLOBAL data, CQKPlotObj* plot)
{
    qkuSetPlotObjDragging(TRUE);
    g_draggedPlot = plot;
    DWORD effect = qkuDoDragDrop(data, GetQuorixPlotObjDragDropClipboardFormat(), DROPEFFECT_MOVE);
    g_draggedPlot = nullptr;
    qkuSetPlotObjDragging(FALSE);
    return effect;
}

UINT GetQuorixWksDragDropClipboardFormat()
{
    static UINT format = RegisterClipboardFormatA("Quorix Worksheet Columns");
    return format;
}

namespace {

// The plot-object drag block of a data object; null when it carries none.
HGLOBAL PlotDragBlock(IDataObject* data)
{
    FORMATETC f = {(CLIPFORMAT)GetQuorixPlotObjDragDropClipboardFormat(), nullptr, DVASPECT_CONTENT, -1,
                   TYMED_HGLOBAL};
    STGMEDIUM m = {};
    if (!data || FAILED(data->GetData(&f, &m)))
        return nullptr;
    if (m.tymed != TYMED_HGLOBAL || m.pUnkForRelease) {
        ReleaseStgMedium(&m);
        return nullptr;
    }
    return m.hGlobal;
}

} // namespace

CQKPlotObj* CQKPlotObj::GetPlotObjDragSource(IDataObject* data, DWORD, POINT)
{
    if (!qkuIsPlotObjDragging() || !g_draggedPlot)
        return nullptr;
    FORMATETC f = {(CLIPFORMAT)GetQuorixPlotObjDragDropClipboardFormat(), nullptr, DVASPECT_CONTENT, -1,
                   TYMED_HGLOBAL};
    return data && data->QueryGetData(&f) == S_OK ? g_draggedPlot : nullptr;
}

namespace {

// The drag block of a whole plot: where it was pressed and where it lives (layer index
// from 0, object id), so that a drop can tell that the data still name this plot.
struct PlotMoveDrag {
    uint32_t tag;
    int32_t x, y;
    int32_t layer, id;
};
static_assert(sizeof(PlotMoveDrag) == 20, "the plot drag block is 20 bytes");
const uint32_t kPlotMoveTag = 0x544C5051; // "QPLT"

// The graph whose window lies under the pointer: the drop target's page.
CQKGraphPage* GraphUnderPointer()
{
    POINT cursor;
    HWND under = GetCursorPos(&cursor) ? WindowFromPoint(cursor) : nullptr;
    CQKProject& project = qkfxGetProject();
    for (HWND w = under; w; w = GetParent(w))
        for (int i = 0; i < project.GetNumPages(); ++i) {
            auto* graph = dynamic_cast<CQKGraphPage*>(project.GetPage(i));
            if (graph && graph->GetDrawingWnd() == w)
                return graph;
        }
    return nullptr;
}

} // namespace

BOOL CQKPlotObj::StartDragAtPoint(POINT point)
{
    auto* layer = dynamic_cast<CQKGraphicLayer*>(m_layer);
    auto* page = layer ? dynamic_cast<CQKGraphPage*>(layer->GetValidPagePtr()) : nullptr;
    if (!page || IsTemporary() || layer->GetObject(m_id) != this)
        return FALSE;
    const PlotMoveDrag drag = {kPlotMoveTag, point.x, point.y, page->GetLayerIndex(layer), m_id};
    return qkuDragPlotObjData(&drag, sizeof drag, this);
}

BOOL CQKPlotObj::DoDrop(IDataObject* data, DWORD, POINT point, BOOL test)
{
    HGLOBAL block = PlotDragBlock(data);
    if (!block)
        return FALSE;
    BOOL done = FALSE;
    if (auto* contour = dynamic_cast<CQKContourPlotObj*>(this)) {
        done = contour->DropDragData(block, point, test);
    } else if (GlobalSize(block) >= sizeof(PlotMoveDrag)) {
        PlotMoveDrag drag = {};
        if (const void* from = GlobalLock(block)) {
            memcpy(&drag, from, sizeof drag);
            GlobalUnlock(block);
        }
        auto* layer = dynamic_cast<CQKGraphicLayer*>(m_layer);
        auto* page = layer ? dynamic_cast<CQKGraphPage*>(layer->GetValidPagePtr()) : nullptr;
        CQKGraphPage* target = GraphUnderPointer();
        done = drag.tag == kPlotMoveTag && page && drag.layer == page->GetLayerIndex(layer) && drag.id == m_id &&
               target && target->DropPlot(this, point, test != FALSE);
    }
    GlobalFree(block);
    return done;
}
