#include "PlotDetailsTabChecker.h"

#include <string.h>

#include "PlotDetailsPages.h"
#include "PlotDetailsResources.h"

namespace {

// Connection codes of the connect types, by connect-type index; indexes beyond the table
// count as 0 (no line).
const int kConnectionCodes[] = {0, 1, 2, 3, 8, 9, 11, 12, 13, 15};

int ConnectionCode(int connectType)
{
    if (connectType < 0 || connectType >= (int)(sizeof kConnectionCodes / sizeof kConnectionCodes[0]))
        return 0;
    return kConnectionCodes[connectType];
}

} // namespace

CQUPlotDetailsTabChecker::CQUPlotDetailsTabChecker(CQKPlotObj* pPlot)
    : m_pSheet(nullptr), m_pPlot(pPlot), m_bInitialList(FALSE), m_bBusy(FALSE)
{
    memset(m_pages, 0, sizeof m_pages);
    memset(m_present, 0, sizeof m_present);
    memset(m_wanted, 0, sizeof m_wanted);
    for (int& count : m_count)
        count = 1;
    int patterns = pPlot ? pPlot->GetNumberOfPattern() : 1;
    m_count[PD_KIND_PATTERN] = patterns < 0 ? 0 : patterns > PD_KIND_INSTANCES ? PD_KIND_INSTANCES : patterns;
}

int CQUPlotDetailsTabChecker::RegisterPage(CQUPlotDetailsPlotObjTab* pPage)
{
    int kind = pPage ? pPage->GetPageKind() : -1;
    if (kind < 0 || kind >= PD_KIND_COUNT)
        return -1;
    for (int instance = 0; instance < PD_KIND_INSTANCES; ++instance) {
        if (!m_pages[kind][instance]) {
            m_pages[kind][instance] = pPage;
            return kind * PD_KIND_INSTANCES + instance;
        }
    }
    return -1;
}

CQUPlotDetailsPlotObjTab* CQUPlotDetailsTabChecker::GetPage(int kind, int instance) const
{
    if (kind < 0 || kind >= PD_KIND_COUNT || instance < 0 || instance >= PD_KIND_INSTANCES)
        return nullptr;
    return m_pages[kind][instance];
}

int CQUPlotDetailsTabChecker::TakeInitialList(CPropertyPage** out)
{
    int n = 0;
    for (int kind = 0; kind <= PD_KIND_INITIAL_LAST; ++kind)
        for (int instance = 0; instance < m_count[kind]; ++instance)
            if (m_pages[kind][instance]) {
                out[n++] = m_pages[kind][instance];
                m_present[kind][instance] = TRUE;
            }
    m_bInitialList = TRUE;
    return n;
}

BOOL CQUPlotDetailsTabChecker::SetSheet(CPropertySheet* pSheet)
{
    if (!pSheet || pSheet->GetPageCount() > PD_MAX_SHEET_PAGES)
        return FALSE;
    m_pSheet = pSheet;
    return TRUE;
}

BOOL CQUPlotDetailsTabChecker::Wanted(int kind, int instance)
{
    CQKPlotObj* p = m_pPlot;
    if (!p)
        return FALSE;
    const BOOL box = p->IsBoxPlot();
    switch (kind) {
    case PD_KIND_LINE:
        if (!p->HasLine(0))
            return FALSE;
        if ((p->IsSpecialPoint() && p->IsLineOrLineSymbolType()) || p->IsVectorPlot())
            return FALSE;
        if (box)
            return (p->IsHistogramPlot() || p->GetBoxType() != 0) && p->GetCurveType() != 0;
        return TRUE;
    case PD_KIND_SYMBOL:
        return p->HasSymbol();
    case PD_KIND_DROP_LINES: {
        if (box)
            return FALSE;
        if (p->Is3DWall() || p->Is3DRibbon()) {
            int code = ConnectionCode(p->GetConnectType());
            if (code == 0 || code == 8 || code == 9 || code == 13 || code == 15)
                return FALSE;
        }
        return p->HasSymbol() || p->HasDataPoint();
    }
    case PD_KIND_CONTOUR_LINES:
        return FALSE;
    case PD_KIND_PATTERN:
        if (box && p->GetBoxType() == 1 && p->GetDotPlotType() == 0)
            return FALSE;
        if (p->Is3DRibbon())
            return instance == 0 || (instance == 1 && p->HasAreaFilling());
        if (p->Is3DWall())
            return instance == 0 || p->GetBoxGap() < 100;
        if (p->IsLineSymbolPlot() && (p->HasOnlyPointInDataSet() || p->IsSpecialPoint()))
            return FALSE;
        if (p->Is3DPlot())
            return FALSE;
        return p->HasPattern() || p->HasAreaFilling();
    case PD_KIND_SPACING:
        if (p->Is3DPlot() || p->IsSpecialPoint())
            return FALSE;
        if ((p->IsGroupBegin() || p->IsGroupMember()) && p->IsIndependence())
            return p->IsGroupBegin() && p->HasSpacing();
        return p->HasSpacing();
    case PD_KIND_VECTOR:
        return p->HasVector();
    case PD_KIND_BOX:
        return p->HasBox();
    case PD_KIND_PERCENTILE:
        if (box && p->GetBoxType() == 1)
            return FALSE;
        return p->HasPercentile();
    case PD_KIND_ERROR_BAR:
        return p->HasErrorBar();
    case PD_KIND_GROUP:
        if (p->IsHighLowClosePlot() || p->IsSpecialPoint())
            return FALSE;
        return (p->IsGroupBegin() || p->IsGroupMember()) && p->GetNumOfPlotsInGroup() > 1;
    case PD_KIND_LABEL:
        if (box && (p->GetBoxType() == 1 || !(p->HasBoxLabel() || p->HasWhiskerLabel())))
            return FALSE;
        return p->HasFont(0);
    case PD_KIND_BOX_DATA:
        if (box && ((p->IsGroupBegin() || p->IsGroupMember()) && p->IsIndependence()))
            return FALSE;
        if (box && !(p->IsHistogramPlot() || p->GetBoxType() != 0))
            return FALSE;
        return p->HasHistogram();
    case PD_KIND_FUNCTION:
        return p->HasFunction();
    case PD_KIND_PIE_LABELS:
    case PD_KIND_PIE_GEOMETRY:
        return p->HasPiePlot();
    case PD_KIND_SURFACE:
        return p->HasMeshSurfaceContours();
    case PD_KIND_GRIDS:
        return p->HasMeshWireGridSurface();
    case PD_KIND_BARS:
        return p->Has3DBars();
    case PD_KIND_SIDE_WALLS:
        return p->Has3DSideWalls();
    case PD_KIND_NUMERIC_FORMATS:
    case PD_KIND_COLOR_MAP:
        // A plot that does not draw with a colour map keeps its colour-map data: the
        // question is asked on every page change, and a plot the user switches back to a
        // colour map within this dialog must find its levels where it left them.
        return p->UseColormapForDrawing();
    default:
        return FALSE;
    }
}

void CQUPlotDetailsTabChecker::ComputeWanted()
{
    for (int kind = 0; kind < PD_KIND_COUNT; ++kind)
        for (int instance = 0; instance < PD_KIND_INSTANCES; ++instance)
            m_wanted[kind][instance] = instance < m_count[kind] && Wanted(kind, instance);
}

BOOL CQUPlotDetailsTabChecker::IsPageWanted(CQUPlotDetailsPlotObjTab* pPage)
{
    ComputeWanted();
    for (int kind = 0; kind < PD_KIND_COUNT; ++kind)
        for (int instance = 0; instance < PD_KIND_INSTANCES; ++instance)
            if (m_pages[kind][instance] == pPage)
                return m_wanted[kind][instance];
    return FALSE;
}

int CQUPlotDetailsTabChecker::SheetIndexOf(int kind, int instance) const
{
    if (!m_pSheet || kind < 0 || kind >= PD_KIND_COUNT)
        return -1;
    int seen = 0;
    for (int i = 0; i < m_pSheet->GetPageCount(); ++i) {
        auto* page = DYNAMIC_DOWNCAST(CQUPlotDetailsPlotObjTab, m_pSheet->GetPage(i));
        if (page && page->GetPageKind() == kind && seen++ == instance)
            return i;
    }
    return -1;
}

int CQUPlotDetailsTabChecker::GetCurrentTabID() const
{
    if (!m_pSheet)
        return 0;
    auto* active = DYNAMIC_DOWNCAST(CQUPlotDetailsPlotObjTab, m_pSheet->GetActivePage());
    if (!active)
        return 0;
    int kind = active->GetPageKind();
    if (kind < 0 || kind >= PD_KIND_COUNT || m_count[kind] <= 1)
        return kind;
    int instance = 0;
    for (int i = 0; i < m_pSheet->GetPageCount(); ++i) {
        auto* page = DYNAMIC_DOWNCAST(CQUPlotDetailsPlotObjTab, m_pSheet->GetPage(i));
        if (page == active)
            break;
        if (page && page->GetPageKind() == kind)
            ++instance;
    }
    return kind + 256 * instance;
}

void CQUPlotDetailsTabChecker::Caption(int kind, int instance)
{
    if (kind != PD_KIND_PATTERN || m_count[kind] <= 1 || !m_pages[kind][instance])
        return;
    CString list;
    list.LoadString(IDS_PD_PATTERN_CAPTIONS);
    std::vector<CString> captions = PDSplitList(list);
    if (instance < (int)captions.size())
        m_pages[kind][instance]->SetCaption(captions[instance], m_pSheet);
}

void CQUPlotDetailsTabChecker::CheckTabs(BOOL bRestoreActive)
{
    if (m_bBusy || !m_pSheet || !m_pSheet->m_hWnd)
        return;
    m_bBusy = TRUE;
    m_bInitialList = TRUE;
    ComputeWanted();

    BOOL visible = m_pSheet->IsWindowVisible();
    m_pSheet->ShowWindow(SW_HIDE);
    BOOL changed = FALSE;

    // A stored tab of a kind this checker does not know is not restored.
    int restore = bRestoreActive && m_pPlot ? (m_pPlot->GetActiveTabID(1) & 0xFF) : -1;
    if (restore >= PD_KIND_COUNT)
        restore = -1;
    if (restore >= 0 && m_pages[restore][0]) {
        if (!m_present[restore][0]) {
            m_pSheet->AddPage(m_pages[restore][0]);
            Caption(restore, 0);
            m_present[restore][0] = TRUE;
            changed = TRUE;
        }
        int index = SheetIndexOf(restore, 0);
        if (index >= 0)
            m_pSheet->SetActivePage(index);
    }

    for (int kind = PD_KIND_COUNT - 1; kind >= 0; --kind) {
        for (int instance = 0; instance < m_count[kind]; ++instance) {
            CQUPlotDetailsPlotObjTab* page = m_pages[kind][instance];
            if (!page)
                continue;
            if (m_wanted[kind][instance] && !m_present[kind][instance]) {
                m_pSheet->AddPage(page);
                Caption(kind, instance);
                m_present[kind][instance] = TRUE;
                changed = TRUE;
            } else if (!m_wanted[kind][instance] && m_present[kind][instance]) {
                m_pSheet->RemovePage(page);
                m_present[kind][instance] = FALSE;
                changed = TRUE;
            }
        }
    }
    for (int kind = 0; kind < PD_KIND_COUNT; ++kind)
        for (int instance = 0; instance < m_count[kind]; ++instance)
            Caption(kind, instance);

    if (restore >= 0 && !m_present[restore][0]) {
        int fallback = m_pPlot->GetActiveTabID(0) & 0xFF;
        int index = fallback < PD_KIND_COUNT ? SheetIndexOf(fallback, 0) : -1;
        // With no page of that kind left, the sheet starts on its first page.
        m_pSheet->SetActivePage(index >= 0 ? index : 0);
    }

    if (visible)
        m_pSheet->ShowWindow(SW_SHOW);
    if (changed) {
        HWND tab = (HWND)::SendMessageA(m_pSheet->m_hWnd, PSM_GETTABCONTROL, 0, 0);
        ::InvalidateRect(tab, nullptr, TRUE);
    }
    m_bBusy = FALSE;

    CRect rect;
    m_pSheet->GetWindowRect(&rect);
    HWND parent = ::GetParent(m_pSheet->m_hWnd);
    if (parent)
        ::SendMessageA(parent, WM_PD_RESIZE, (WPARAM)&rect, 0);
}
