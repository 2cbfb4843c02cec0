#include "PlotDetailsTabManager.h"

#include "BoxChartPage.h"
#include "ColorMapPages.h"
#include "ColorMapResources.h"
#include "SurfacePages.h"
#include "Layer3DPages.h"
#include "LayerPages.h"
#include "LinePage.h"
#include "GraphPagePages.h"
#include "GroupPage.h"
#include "BoxDataPages.h"
#include "PatternPage.h"
#include "PlotPages.h"
#include "SymbolPage.h"
#include "SpacingPage.h"
#include "PlotDetailsMain.h"
#include "PlotDetailsPages.h"
#include "PlotDetailsResources.h"
#include "PlotDetailsTabChecker.h"

namespace {

// The plot pages in the order they are created: template, caption and the kind the tab
// checker files them under. Pages this version does not have say so.
struct PlotPageRow {
    UINT templateId;
    const char* caption;
    int kind;
};

const PlotPageRow kPlotPages[] = {
    {IDD_PD_LINE, "Line", PD_KIND_LINE},
    {IDD_PD_GROUP, "Group", PD_KIND_GROUP},
    {IDD_PD_SYMBOL, "Symbol", PD_KIND_SYMBOL},
    {IDD_PD_PATTERN, "Pattern", PD_KIND_PATTERN},
    {IDD_PD_PATTERN, "Pattern", PD_KIND_PATTERN},
    {IDD_PD_PATTERN, "Pattern", PD_KIND_PATTERN},
    {IDD_PD_SPACING, "Spacing", PD_KIND_SPACING},
    {IDD_PD_VECTOR, "Vector", PD_KIND_VECTOR},
    {IDD_PD_BOX, "Box", PD_KIND_BOX},
    {IDD_PD_BOX_DATA, "Data", PD_KIND_BOX_DATA},
    {IDD_PD_PERCENTILE, "Percentile", PD_KIND_PERCENTILE},
    {IDD_PD_FUNCTION, "Function", PD_KIND_FUNCTION},
    {IDD_PD_DROP_LINES, "Drop Lines", PD_KIND_DROP_LINES},
    {IDD_PD_LABEL, "Label", PD_KIND_LABEL},
    {IDD_PD_ERROR_BAR, "Error Bar", PD_KIND_ERROR_BAR},
    {IDD_PD_NUMERIC_FORMATS, "Numeric Formats", PD_KIND_NUMERIC_FORMATS},
    {IDD_PD_CONTOUR_LINES, "Contour Lines", PD_KIND_CONTOUR_LINES},
    {IDD_PD_PIE_LABELS, "Labels", PD_KIND_PIE_LABELS},
    {IDD_PD_PIE_GEOMETRY, "Pie Geometry", PD_KIND_PIE_GEOMETRY},
    {IDD_PD_SURFACE, "Surface/Projections", PD_KIND_SURFACE},
    {IDD_PD_GRIDS, "Grids", PD_KIND_GRIDS},
    {IDD_PD_BARS, "Bars", PD_KIND_BARS},
    {IDD_PD_SIDE_WALLS, "Side Walls", PD_KIND_SIDE_WALLS},
    {IDD_PD_COLOR_MAP, "Color Map", PD_KIND_COLOR_MAP},
};

// The plot pages of symbols, drop lines, labels, error bars, functions, vectors and pies;
// null for a template none of them has.
CQUPlotDetailsPage* CreatePlotPage(UINT templateId)
{
    switch (templateId) {
    case IDD_PD_SYMBOL: return new CQUPlotDetailsSymbol;
    case IDD_PD_DROP_LINES: return new CQUPlotDetailsDataPoints;
    case IDD_PD_LABEL: return new CQUPlotDetailsFont;
    case IDD_PD_ERROR_BAR: return new CQUPlotDetailsErrorBar;
    case IDD_PD_FUNCTION: return new CQUPlotDetailsFunction;
    case IDD_PD_VECTOR: return new CQUPlotDetailsVector;
    case IDD_PD_PIE_LABELS: return new CQUPlotDetailsPie;
    case IDD_PD_PIE_GEOMETRY: return new CQUPlotDetailsPie2;
    case IDD_PD_NUMERIC_FORMATS: return new CQUPDContourLabels;
    case IDD_PD_CONTOUR_LINES: return new CQUPDContourLines;
    case IDD_PD_SURFACE: return new CQUPlotDetailsSurface;
    case IDD_PD_GRIDS: return new CQUPlotDetailsWire;
    case IDD_PD_BARS: return new CQUPlotDetailsBars;
    case IDD_PD_SIDE_WALLS: return new CQUPlotDetailsSideWalls;
    case IDD_PD_GROUP: return new CQUPlotDetailsGroup;
    case IDD_PD_BOX_DATA: return new CQUPlotDetailsBoxData;
    case IDD_PD_PERCENTILE: return new CQUPlotDetailsPercentile;
    default: return nullptr;
    }
}

bool Is3DScatterParent(const CQKPlotObj* plot)
{
    return plot->Is3DScatterPlot() && !plot->IsSubPlotObj();
}

} // namespace

/////////////////////////////////////////////////////////////////////////////
// CQUPDPropertySheet

IMPLEMENT_DYNAMIC(CQUPDPropertySheet, CPropertySheet)

BEGIN_MESSAGE_MAP(CQUPDPropertySheet, CPropertySheet)
    ON_WM_HELPINFO()
END_MESSAGE_MAP()

CQUPDPropertySheet::CQUPDPropertySheet(CWnd* pParent, int nStartPage, int left, int top, int, int, int nPages,
                                       CPropertyPage** pages)
    : CPropertySheet("", pParent, (UINT)nStartPage)
{
    m_psh.dwFlags &= ~PSH_HASHELP;
    for (int i = 0; i < nPages; ++i)
        AddPage(pages[i]);
    if (!Create(pParent, WS_CHILD | WS_VISIBLE | WS_TABSTOP, WS_EX_CONTROLPARENT))
        return;
    // The sheet keeps the size its pages give it; the dialog fits itself around it.
    SetWindowPos(nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CQUPDPropertySheet::OnHelpInfo(HELPINFO* pHelpInfo)
{
    return (BOOL)::SendMessageA(::GetParent(m_hWnd), WM_HELP, 0, (LPARAM)pHelpInfo);
}

/////////////////////////////////////////////////////////////////////////////
// CQUPlotDetailsTabManager

CQUPlotDetailsTabManager::CQUPlotDetailsTabManager()
    : m_pObject(nullptr), m_pDialog(nullptr), m_pChecker(nullptr), m_pGroupLeader(nullptr), m_nGroupCount(0),
      m_p3DSource(nullptr), m_pSheet(nullptr), m_nFirstTab(0), m_bValidationFailed(FALSE)
{
}

CQUPlotDetailsTabManager::~CQUPlotDetailsTabManager()
{
    DeletePages();
    delete m_pChecker;
}

void CQUPlotDetailsTabManager::Attach(CQUPlotDetailsMain* pDialog)
{
    m_pDialog = pDialog;
    CWnd* place = pDialog->GetDlgItem(IDC_PD_SHEET_PLACE);
    if (place) {
        place->GetWindowRect(&m_rcPlace);
        pDialog->ScreenToClient(&m_rcPlace);
    }
}

BOOL CQUPlotDetailsTabManager::SetObject(CQKBase* pObject)
{
    if (pObject == m_pObject)
        return FALSE;
    m_pObject = pObject;
    return TRUE;
}

void CQUPlotDetailsTabManager::DeletePages()
{
    // The sheet goes first, so no page window outlives its object.
    delete m_pSheet;
    m_pSheet = nullptr;
    for (CQUPlotDetailsPage* page : m_pages)
        delete page;
    m_pages.clear();
}

void CQUPlotDetailsTabManager::Close()
{
    DeletePages();
    delete m_pChecker;
    m_pChecker = nullptr;
    m_pObject = nullptr;
}

BOOL CQUPlotDetailsTabManager::Rebuild()
{
    DeletePages();
    return CreatePages();
}

BOOL CQUPlotDetailsTabManager::MakeSheet(int nStart, std::vector<CPropertyPage*>& pages)
{
    m_pSheet = new CQUPDPropertySheet(m_pDialog, nStart, m_rcPlace.left, m_rcPlace.top, m_rcPlace.right,
                                      m_rcPlace.bottom, (int)pages.size(), pages.data());
    if (!m_pSheet->IsCreated()) {
        delete m_pSheet;
        m_pSheet = nullptr;
        return FALSE;
    }
    return TRUE;
}

void CQUPlotDetailsTabManager::CreatePlotPages(CQKPlotObj* pPlot)
{
    int patterns = 0;
    for (const PlotPageRow& row : kPlotPages) {
        CQUPlotDetailsPage* page;
        if (row.templateId == IDD_PD_LINE) {
            page = new CQUPlotDetailsLine;
        } else if (row.templateId == IDD_PD_BOX) {
            page = new CQUPlotDetailsBoxChart;
        } else if (row.templateId == IDD_PD_SPACING) {
            page = new CQUPlotDetailsSpacing;
        } else if (row.templateId == IDD_PD_PATTERN) {
            auto* pattern = new CQUPlotDetailsPattern;
            pattern->SetInstance(patterns++);
            page = pattern;
        } else if (row.templateId == IDD_PD_COLOR_MAP) {
            page = new CQUPDCMap(IDS_CMAP_COLUMNS, pPlot->GetPlotTypeName().c_str());
        } else if (CQUPlotDetailsPage* built = CreatePlotPage(row.templateId)) {
            page = built;
        } else
            page = new CQUPlotDetailsNotAvailable(row.templateId, row.kind, row.caption);
        page->SetEditedObject(pPlot);
        m_pages.push_back(page);
        if (auto* group = dynamic_cast<CQUPlotDetailsGroup*>(page))
            if (pPlot->IsGroupBegin() || pPlot->IsGroupMember()) {
                // A leader left from another selection is not this plot's.
                const bool leader = m_pGroupLeader && (m_pGroupLeader == pPlot || m_pGroupLeader->IsInTheSameGroup(pPlot));
                group->SetGroupHead(leader ? m_pGroupLeader : pPlot, leader ? m_nGroupCount : pPlot->GetNumOfPlotsInGroup());
            }
    }

    delete m_pChecker;
    m_pChecker = new CQUPlotDetailsTabChecker(pPlot);
    for (CQUPlotDetailsPage* page : m_pages)
        m_pChecker->RegisterPage(static_cast<CQUPlotDetailsPlotObjTab*>(page));
    CPropertyPage* initial[PD_KIND_COUNT * PD_KIND_INSTANCES];
    int n = m_pChecker->TakeInitialList(initial);
    std::vector<CPropertyPage*> pages(initial, initial + n);
    if (!MakeSheet(0, pages))
        return;
    m_pChecker->SetSheet(m_pSheet);
    m_pChecker->CheckTabs(TRUE);
}

void CQUPlotDetailsTabManager::CreateLayerPages(CQKGraphicLayer* pLayer)
{
    // Both questions come before any page exists: the pages may change the answers.
    const BOOL link = pLayer->IsLinkAvailable();
    const BOOL is3D = pLayer->Is3DLayer() && dynamic_cast<CQK3DLayer*>(pLayer);
    m_pages.push_back(new CQULayerColor);
    m_pages.push_back(new CQULayerDimensions);
    m_pages.push_back(new CQULayerDisplay);
    if (link)
        m_pages.push_back(new CQULayerLinkAxes);
    if (is3D) {
        m_pages.push_back(new CQULayer3DOptions);
        m_pages.push_back(new CQULayer3DAxis);
        m_pages.push_back(new CQULayer3DPlanes);
    }
    int start = 0;
    for (size_t i = 0; i < m_pages.size(); ++i) {
        m_pages[i]->SetEditedObject(pLayer);
        if (m_nFirstTab && m_pages[i]->GetTemplateID() == m_nFirstTab && start == 0)
            start = (int)i;
    }
    std::vector<CPropertyPage*> pages(m_pages.begin(), m_pages.end());
    MakeSheet(start, pages);
}

void CQUPlotDetailsTabManager::CreateGraphPagePages()
{
    m_pages.push_back(new CQUPagePrintDim);
    m_pages.push_back(new CQUPageDimensions);
    m_pages.push_back(new CQUPageDisplay);
    m_pages.push_back(new CQUPageLegend);
    std::vector<CPropertyPage*> pages;
    for (CQUPlotDetailsPage* page : m_pages) {
        page->SetEditedObject(m_pObject);
        // A layout page has no legends.
        if (page->GetTemplateID() == IDD_PD_PAGE_LEGENDS && m_pDialog && m_pDialog->IsForLayoutPage())
            continue;
        pages.push_back(page);
    }
    MakeSheet(0, pages);
}

BOOL CQUPlotDetailsTabManager::CreatePages()
{
    if (!m_pObject)
        return FALSE;
    if (m_pObject->IsBasePtrPlotObj() && Is3DScatterParent(static_cast<CQKPlotObj*>(m_pObject))) {
        // A 3D scatter's own pages edit its parts; the plot itself has how they depend.
        m_pages.push_back(new CQUPlotDetailsChoice);
        m_pages.back()->SetEditedObject(m_pObject);
        std::vector<CPropertyPage*> pages(m_pages.begin(), m_pages.end());
        MakeSheet(0, pages);
    } else if (m_pObject->IsBasePtrPlotObj()) {
        CreatePlotPages(static_cast<CQKPlotObj*>(m_pObject));
    } else if (auto* layer = dynamic_cast<CQKGraphicLayer*>(m_pObject)) {
        CreateLayerPages(layer);
    } else if (dynamic_cast<CQKGraphPage*>(m_pObject)) {
        CreateGraphPagePages();
    } else {
        return FALSE;
    }
    if (!m_pSheet)
        return FALSE;
    for (int i = 0; i < m_pSheet->GetPageCount(); ++i)
        if (auto* page = DYNAMIC_DOWNCAST(CQUPlotDetailsPage, m_pSheet->GetPage(i)))
            page->OnSheetReady(m_pSheet);
    return TRUE;
}

BOOL CQUPlotDetailsTabManager::ApplyPages()
{
    m_bValidationFailed = FALSE;
    if (!m_pObject || !m_pSheet)
        return FALSE;
    if (m_pObject->IsBasePtrPlotObj() && Is3DScatterParent(static_cast<CQKPlotObj*>(m_pObject))) {
        auto* plot = static_cast<CQKPlotObj*>(m_pObject);
        for (CQUPlotDetailsPage* page : m_pages) {
            page->ControlsToObject();
            page->ClearChanged();
        }
        plot->UpdateProjections();
        return !m_pages.empty();
    }
    if (m_pObject->IsBasePtrPlotObj()) {
        auto* plot = static_cast<CQKPlotObj*>(m_pObject);
        if (m_pChecker)
            plot->SetActiveTabID(m_pChecker->GetCurrentTabID());
        auto* active = DYNAMIC_DOWNCAST(CQUPlotDetailsPage, m_pSheet->GetActivePage());
        BOOL written = FALSE;
        if (active && active->IsChanged()) {
            active->ControlsToObject();
            active->ClearChanged();
            written = TRUE;
        }
        // The parts that follow this one take its look.
        if (plot->IsSubPlotObj() && plot->Is3DScatterPlot()) {
            if (m_pDialog)
                m_pDialog->SetOriginal3DPlotObjToSheet(plot);
            else
                m_p3DSource = plot->GetSubPlotParent();
            if (m_p3DSource)
                m_p3DSource->UpdateProjections();
        }
        return written;
    }
    // Layer and graph-page pages: every changed page validates and writes. A page whose
    // values are refused stays changed, and the whole answer is FALSE, so neither Apply
    // nor OK goes on as though everything had been written.
    BOOL written = FALSE;
    for (CQUPlotDetailsPage* tab : m_pages) {
        auto* layerTab = DYNAMIC_DOWNCAST(CQUPlotDetailsLayerTab, tab);
        auto* pageTab = DYNAMIC_DOWNCAST(CQUPlotDetailsPageTab, tab);
        if ((!layerTab && !pageTab) || !tab->IsChanged() || !tab->m_hWnd)
            continue;
        if (!tab->UpdateData(TRUE)) {
            m_bValidationFailed = TRUE;
            // Show the page whose values were refused (asking the page that shows to
            // become active again would validate it, and complain, twice).
            if (m_pSheet->GetActivePage() != tab)
                m_pSheet->SetActivePage(tab);
            return FALSE;
        }
        if (layerTab)
            layerTab->SaveMembers();
        else
            pageTab->SaveMembers();
        tab->ClearChanged();
        written = TRUE;
    }
    return written;
}

BOOL CQUPlotDetailsTabManager::ShowSheet(int nCmdShow)
{
    if (!m_pSheet || (nCmdShow != SW_HIDE && nCmdShow != SW_SHOW))
        return FALSE;
    m_pSheet->ShowWindow(nCmdShow);
    return TRUE;
}

BOOL CQUPlotDetailsTabManager::GetSheetRect(RECT* pRect) const
{
    if (!m_pSheet)
        return FALSE;
    m_pSheet->GetWindowRect(pRect);
    return TRUE;
}

void CQUPlotDetailsTabManager::MarkActivePageChanged()
{
    if (!m_pSheet)
        return;
    if (auto* page = DYNAMIC_DOWNCAST(CQUPlotDetailsPage, m_pSheet->GetActivePage()))
        page->MarkChanged();
}
