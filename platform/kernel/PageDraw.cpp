// The page side of the page windows: device contexts, the drawing rectangle by view mode
// and zoom, printing placement, the selection and the mouse and keys. What a graph page
// draws is in GraphDraw.cpp.
#include <algorithm>
#include <cmath>

#include "KernelInternal.h"
#include "PageRender.h"
#include "QKAccess.h"
#include "QKData.h"
#include "QKGraphObjects.h"

// ---- the plain page --------------------------------------------------------------------

BOOL CQKPage::WindowProc(HWND, UINT, WPARAM, LPARAM, LRESULT*)
{
    return FALSE;
}

int CQKPage::OnKeyDown(UINT, UINT, UINT)
{
    return 0;
}

int CQKPage::OnBeforePaint(HWND)
{
    return 1;
}

void CQKPage::OnBeginDC(HDC dc, int)
{
    m_savedDC.push_back(dc ? SaveDC(dc) : 0);
}

void CQKPage::OnEndDC(HDC dc, int)
{
    // An end without its begin (the view finishes every DC it drew on) restores nothing.
    if (m_savedDC.empty())
        return;
    const int level = m_savedDC.back();
    m_savedDC.pop_back();
    if (dc && level > 0)
        RestoreDC(dc, level);
}

BOOL CQKPage::SetDrawRect(const RECT& client)
{
    m_drawRect = client;
    return client.right > client.left && client.bottom > client.top;
}

BOOL CQKPage::GetDrawRect(RECT& rect) const
{
    rect = m_drawRect;
    return m_drawRect.right > m_drawRect.left && m_drawRect.bottom > m_drawRect.top;
}

void CQKPage::SetClipBox(HDC dc)
{
    if (!dc || GetClipBox(dc, &m_clipBox) == ERROR)
        SetRectEmpty(&m_clipBox);
}

BOOL CQKPage::PrepareDCForScreenDrawing(HDC dc)
{
    if (!dc)
        return FALSE;
    // The page draws in device units; text keeps its background unless a label asks
    // for a white-out.
    SetMapMode(dc, MM_TEXT);
    SetBkMode(dc, TRANSPARENT);
    return TRUE;
}

BOOL CQKPage::PrepareDCForPrinting(HDC dc, QKPrintInfo& info)
{
    if (!dc)
        return FALSE;
    SetMapMode(dc, MM_TEXT);
    SetBkMode(dc, TRANSPARENT);
    info.pageRect = info.rectDraw;
    return !IsRectEmpty(&info.rectDraw);
}

BOOL CQKPage::DrawHeaderFooters(HDC, const QKPrintInfo&)
{
    return FALSE;
}

BOOL CQKPage::Draw(HDC, const RECT&)
{
    return FALSE;
}

void CQKPage::DrawScreenItems(HDC) {}

CQKGrElement* CQKPage::FindGrElement(int, int)
{
    return nullptr;
}

BOOL CQKPage::IsActivePage(int bActivate)
{
    if (m_project->GetActivePage() == this)
        return TRUE;
    if (bActivate)
        m_project->SetActivePage(this);
    return FALSE;
}

// ---- the graph page's window -----------------------------------------------------------

namespace {
const double kMinZoom = 1.0 / 8, kMaxZoom = 64;
}

COLORREF CQKGraphPage::GetBackgroundColorRef(int) const
{
    return m_pageState.colorCntl == 1 || m_pageState.colorCntl == 2 ? qkColorOf(m_pageState.colorBase) : RGB(255, 255, 255);
}

void CQKGraphPage::SetViewMode(int mode, int)
{
    m_pageState.viewMode = mode;
}

void CQKGraphPage::GetPageSizeInches(double& width, double& height) const
{
    double record[4] = {m_pageState.dimWidth, m_pageState.dimHeight, 0, 0};
    ConvertDimensions(0, record);
    width = record[0] > 0 ? record[0] : 10;
    height = record[1] > 0 ? record[1] : 7.5;
}

BOOL CQKGraphPage::SetDrawRect(const RECT& client)
{
    const int cw = client.right - client.left, ch = client.bottom - client.top;
    if (cw <= 0 || ch <= 0)
        return CQKPage::SetDrawRect(client);
    RECT rect = client;
    const int mode = GetViewMode();
    if (mode == 0 || mode == 1) {
        // The whole page fits the client area at zoom 1, with a margin, and keeps its shape.
        double w, h;
        GetPageSizeInches(w, h);
        const double margin = 0.95;
        double scale = std::min(cw * margin / w, ch * margin / h) * m_zoom;
        const int pw = std::max(1, (int)std::lround(w * scale)), ph = std::max(1, (int)std::lround(h * scale));
        rect.left = client.left + (cw - pw) / 2;
        rect.top = client.top + (ch - ph) / 2;
        rect.right = rect.left + pw;
        rect.bottom = rect.top + ph;
    }
    m_lastDrawn = rect;
    return CQKPage::SetDrawRect(rect);
}

BOOL CQKGraphPage::PrepareDCForPrinting(HDC dc, QKPrintInfo& info)
{
    if (!CQKPage::PrepareDCForPrinting(dc, info))
        return FALSE;
    // The page keeps its shape on paper: as large as the printable area allows, centred.
    double w, h;
    GetPageSizeInches(w, h);
    const RECT& area = info.rectDraw;
    const int aw = area.right - area.left, ah = area.bottom - area.top;
    const double scale = std::min(aw / w, ah / h);
    const int pw = (int)std::lround(w * scale), ph = (int)std::lround(h * scale);
    info.pageRect.left = area.left + (aw - pw) / 2;
    info.pageRect.top = area.top + (ah - ph) / 2;
    info.pageRect.right = info.pageRect.left + pw;
    info.pageRect.bottom = info.pageRect.top + ph;
    return TRUE;
}

void CQKGraphPage::ViewZoomIn()
{
    m_zoom = std::min(kMaxZoom, m_zoom * 2);
}

void CQKGraphPage::ViewZoomOut()
{
    m_zoom = std::max(kMinZoom, m_zoom / 2);
}

void CQKGraphPage::ViewFullPage()
{
    m_zoom = 1;
}

void CQKGraphPage::CursorZoom(int zoomIn)
{
    if (zoomIn)
        ViewZoomIn();
    else
        ViewZoomOut();
}

CQKGrElement* CQKGraphPage::Resolve(const ElementPlace& place) const
{
    CQKGraphicLayer* layer = GetLayerByIndex(place.layer, 1);
    if (!layer)
        return nullptr;
    if (place.id > 0)
        return layer->GetObject(place.id);
    return layer->GetAxisPart(place.dimension, place.part);
}

CQKGrElement* CQKGraphPage::GetStoredGrElement() const
{
    return Resolve(m_selected);
}

void CQKGraphPage::SetStoredGrElement(CQKGrElement* element)
{
    m_selected = ElementPlace();
    m_multi.clear();
    if (!element)
        return;
    for (int i = 0; i < GetNumLayers(); ++i) {
        CQKGraphicLayer* layer = GetLayerByIndex(i, 1);
        if (element->GetValidLayer() == layer && element->GetId() > 0 && layer->GetObject(element->GetId()) == element) {
            m_selected.layer = i;
            m_selected.id = element->GetId();
            return;
        }
        int dimension, part;
        if (layer->FindAxisPart(element, dimension, part)) {
            m_selected.layer = i;
            m_selected.dimension = dimension;
            m_selected.part = part;
            return;
        }
    }
}

// The pointer selects the element under it (Shift adds a label or drawn object to the
// selection) and drags selected objects; a double click is left to the view, which opens
// the element's dialog. The drawing tools and the data selector work by dragging; zoom and
// text by a click.
BOOL CQKGraphPage::WindowProc(HWND view, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    const POINT point = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
    CQKAccess* access = qkfxGetAccess();
    const int tool = access ? access->GetCheckedToolNumber() : 0;
    if (result)
        *result = 0;
    switch (msg) {
    case WM_LBUTTONDBLCLK:
        SetCurrentPoint(point);
        SetStoredGrElement(FindGrElement(point.x, point.y));
        return FALSE;
    case WM_LBUTTONDOWN: {
        SetCurrentPoint(point);
        // Another tool ends the data point edit.
        if (tool != 0)
            m_pointEdit = QK_POINTS_NONE;
        if (m_pointEdit == QK_POINTS_REMOVE) {
            RemovePointAt(point, nullptr);
            return TRUE;
        }
        if (tool > 0 && !IsToolboxToolAvailable(tool))
            return TRUE;
        if (tool == 1) {
            CursorZoom((wParam & MK_SHIFT) ? 0 : 1);
            return TRUE;
        }
        if (tool == 2) {
            CQKGraphicLayer* layer = GetActiveLayer();
            CQKTextObj* text = layer ? PgCreateCQKTextObj() : nullptr;
            if (!text || IsRectEmpty(&m_lastDrawn))
                return TRUE;
            m_undo.assign(1, Snapshot());
            text->SetTextString("Text");
            text->SetPosition(double(point.x - m_lastDrawn.left) / (m_lastDrawn.right - m_lastDrawn.left),
                              double(point.y - m_lastDrawn.top) / (m_lastDrawn.bottom - m_lastDrawn.top));
            layer->AddObject(text);
            SetStoredGrElement(text);
            m_newText = m_selected;
            if (access)
                access->SetCheckedToolNumber(0);
            return TRUE;
        }
        if (m_pointEdit == QK_POINTS_MOVE) {
            // A drag from a data point; a press anywhere else does nothing.
            if (PointNear(point, kPointReachPixels) < 0)
                return TRUE;
        } else if (tool == 0) {
            CQKGrElement* element = FindGrElement(point.x, point.y);
            auto* object = dynamic_cast<CQKGrObj*>(element);
            const std::vector<CQKGrObj*> selected = GetSelectedObjects();
            const bool wasSelected = object && std::find(selected.begin(), selected.end(), object) != selected.end();
            if ((wParam & MK_SHIFT) && object) {
                SelectGrObject(object, true);
                return TRUE;
            }
            if (!wasSelected)
                SetStoredGrElement(element);
            if (!object) {
                // A plot of a layer (its line or symbols, not an axis part) may be dragged
                // to another layer; a press that stays put is a click.
                auto* plot = dynamic_cast<CQKPlotObj*>(element);
                if (plot && !plot->IsErrorBarPlot() && m_selected.id > 0 && Resolve(m_selected) == plot) {
                    m_plotPress = m_selected;
                    m_plotPressAt = point;
                }
                return TRUE;
            }
        }
        m_tracking = true;
        m_trackTool = m_pointEdit == QK_POINTS_MOVE ? kTrackPointMove : tool;
        m_trackFrom = m_trackTo = point;
        if (view)
            SetCapture(view);
        return TRUE;
    }
    case WM_MOUSEMOVE:
        if (m_plotPress.layer >= 0) {
            if (!(wParam & MK_LBUTTON)) {
                m_plotPress = ElementPlace();
                return FALSE;
            }
            if (std::abs(point.x - m_plotPressAt.x) <= GetSystemMetrics(SM_CXDRAG) &&
                std::abs(point.y - m_plotPressAt.y) <= GetSystemMetrics(SM_CYDRAG))
                return FALSE;
            // The drag runs here until the button is let go or Escape pressed; the drop
            // on a graph window does the move.
            auto* plot = dynamic_cast<CQKPlotObj*>(Resolve(m_plotPress));
            const POINT from = m_plotPressAt;
            m_plotPress = ElementPlace();
            if (plot)
                plot->StartDragAtPoint(from);
            return TRUE;
        }
        if (!m_tracking)
            return FALSE;
        m_trackTo = point;
        return TRUE;
    case WM_LBUTTONUP:
        m_plotPress = ElementPlace();
        if (!m_tracking)
            return FALSE;
        m_trackTo = point;
        FinishTracking(point);
        if (view && GetCapture() == view)
            ReleaseCapture();
        return TRUE;
    case WM_SETCURSOR:
        // The data point edits aim with a cross, as do the drawing tools and the data
        // selector; the text tool with a bar.
        if (m_pointEdit != QK_POINTS_NONE && tool == 0 && LOWORD(lParam) == HTCLIENT) {
            SetCursor(LoadCursor(nullptr, IDC_CROSS));
            if (result)
                *result = TRUE;
            return TRUE;
        }
        if (tool <= 0 || !IsToolboxToolAvailable(tool) || LOWORD(lParam) != HTCLIENT)
            return FALSE;
        SetCursor(LoadCursor(nullptr, tool == 2 ? IDC_IBEAM : IDC_CROSS));
        if (result)
            *result = TRUE;
        return TRUE;
    case WM_CANCELMODE:
    case WM_CAPTURECHANGED:
        m_tracking = false;
        m_plotPress = ElementPlace();
        return FALSE;
    }
    return FALSE;
}

// Escape ends a data point edit or drops the selection, Delete deletes the selected objects.
int CQKGraphPage::OnKeyDown(UINT key, UINT, UINT)
{
    if (key == VK_DELETE)
        return DeleteSelected() ? 1 : 0;
    if (key == VK_ESCAPE && m_pointEdit != QK_POINTS_NONE) {
        m_pointEdit = QK_POINTS_NONE;
        return 1;
    }
    if (key != VK_ESCAPE || (m_selected.layer < 0 && m_multi.empty()))
        return 0;
    SetStoredGrElement(nullptr);
    return 1;
}

// ---- the parts of a layer's axes as elements ---------------------------------------------

CQKGrElement* CQKGraphicLayer::GetAxisPart(int dimension, int part) const
{
    if (dimension < 0 || dimension > 2 || part < 0 || part > 5)
        return nullptr;
    QKAxisRecord& r = const_cast<QKAxisRecord&>(m_axes[dimension]);
    switch (part) {
    case 0: return &r.ticks[0];
    case 1: return &r.ticks[1];
    case 2: return &r.labels[0];
    case 3: return &r.labels[1];
    case 4: return &r.majorGrid;
    default: return &r.minorGrid;
    }
}

BOOL CQKGraphicLayer::FindAxisPart(const CQKGrElement* element, int& dimension, int& part) const
{
    for (int d = 0; d < 3; ++d)
        for (int p = 0; p < 6; ++p)
            if (GetAxisPart(d, p) == element) {
                dimension = d;
                part = p;
                return TRUE;
            }
    return FALSE;
}
