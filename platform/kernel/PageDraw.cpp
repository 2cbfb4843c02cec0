// The page side of the page windows: device contexts, the drawing rectangle by view mode
// and zoom, printing placement, the selection and the mouse and keys. What a graph page
// draws is in GraphDraw.cpp.
#include <algorithm>
#include <cmath>

#include "KernelInternal.h"
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

BOOL CQKGraphPage::WindowProc(HWND, UINT msg, WPARAM, LPARAM lParam, LRESULT* result)
{
    if (msg != WM_LBUTTONDOWN && msg != WM_LBUTTONDBLCLK)
        return FALSE;
    const POINT point = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
    SetCurrentPoint(point);
    SetStoredGrElement(FindGrElement(point.x, point.y));
    if (msg == WM_LBUTTONDBLCLK)
        return FALSE; // the view opens the selected element's dialog
    if (result)
        *result = 0;
    return TRUE;
}

int CQKGraphPage::OnKeyDown(UINT key, UINT, UINT)
{
    if (key != VK_ESCAPE || m_selected.layer < 0)
        return 0;
    m_selected = ElementPlace();
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
