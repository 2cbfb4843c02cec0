#include "GraphPagePages.h"

#include "LayerPages.h"
#include "PlotDetailsResources.h"
#include "QKUtil.h"

/////////////////////////////////////////////////////////////////////////////
// Miscellaneous

CQUPageDimensions::CQUPageDimensions()
    : CQUPlotDetailsPageTab(IDD_PD_PAGE_MISC), m_nRedraw(0), m_bSpeedForExport(0), m_bSetActive(0)
{
}

void CQUPageDimensions::DoDataExchange(CDataExchange* pDX)
{
    DDX_Text(pDX, IDC_PD_PG_REDRAW, m_nRedraw);
    DDV_MinMaxUInt(pDX, m_nRedraw, 0, 100);
    DDX_Check(pDX, IDC_PD_PG_SPEED_EXPORT, m_bSpeedForExport);
    DDX_Check(pDX, IDC_PD_PG_SET_ACTIVE, m_bSetActive);
}

void CQUPageDimensions::InitControls()
{
    m_cbViewMode.SubclassDlgItem(IDC_PD_PG_VIEW_MODE, this);
    PDFillComboFromString(m_cbViewMode, IDS_PD_VIEW_MODES);
    if (IsLayout()) {
        GetDlgItem(IDC_PD_PG_SPEED_EXPORT)->ShowWindow(SW_HIDE);
        GetDlgItem(IDC_PD_PG_SET_ACTIVE)->ShowWindow(SW_HIDE);
    }
}

void CQUPageDimensions::LoadMembers()
{
    CQKGraphPage* page = GetGraphPage();
    m_cbViewMode.SetCurSel(page->GetViewMode());
    m_nRedraw = page->GetDisplRedraw();
    m_bSpeedForExport = page->IsUseSpeedModeForExport();
    m_bSetActive = page->IsDisplSetActive();
}

void CQUPageDimensions::SaveMembers()
{
    CQKGraphPage* page = GetGraphPage();
    page->SetViewMode(m_cbViewMode.GetCurSel(), 0);
    page->SetDisplSetActive(m_bSetActive);
    page->SetUseSpeedModeForExport(m_bSpeedForExport);
    page->SetDisplRedraw(m_nRedraw);
}

/////////////////////////////////////////////////////////////////////////////
// Display

BEGIN_MESSAGE_MAP(CQUPageDisplay, CQUPlotDetailsPageTab)
    ON_CBN_SELCHANGE(IDC_PD_PG_BASE_COLOR, OnColorChange)
    ON_CBN_SELCHANGE(IDC_PD_PG_GRADIENT_COLOR, OnColorChange)
END_MESSAGE_MAP()

CQUPageDisplay::CQUPageDisplay()
    : CQUPlotDetailsPageTab(IDD_PD_PAGE_DISPLAY), m_bConnectBreak(0), m_bConnectMiss(0), m_bMasterItems(0)
{
}

void CQUPageDisplay::DoDataExchange(CDataExchange* pDX)
{
    DDX_Check(pDX, IDC_PD_PG_CONNECT_BREAK, m_bConnectBreak);
    DDX_Check(pDX, IDC_PD_PG_CONNECT_MISS, m_bConnectMiss);
    DDX_Check(pDX, IDC_PD_PG_MASTER_ITEMS, m_bMasterItems);
}

void CQUPageDisplay::InitControls()
{
    m_cbBase.SubclassDlgItem(IDC_PD_PG_BASE_COLOR, this);
    m_cbGradient.SubclassDlgItem(IDC_PD_PG_GRADIENT_COLOR, this);
    m_cbDirection.SubclassDlgItem(IDC_PD_PG_GRADIENT_CNTL, this);
    PDFillComboFromString(m_cbDirection, IDS_PD_GRADIENT_CONTROLS);
    PDFillColorNames(m_cbBase, "None");
    PDFillColorNames(m_cbGradient, "None");
    if (IsLayout()) {
        GetDlgItem(IDC_PD_PG_CONNECT_BREAK)->ShowWindow(SW_HIDE);
        GetDlgItem(IDC_PD_PG_CONNECT_MISS)->ShowWindow(SW_HIDE);
    }
}

void CQUPageDisplay::EnableGradient()
{
    const BOOL base = m_cbBase.GetCurSel() > 0;
    m_cbGradient.EnableWindow(base);
    m_cbDirection.EnableWindow(base && m_cbGradient.GetCurSel() > 0);
}

void CQUPageDisplay::LoadMembers()
{
    CQKGraphPage* page = GetGraphPage();
    switch (page->GetColorColorCntl()) {
    case 0:
        m_cbDirection.SetCurSel(0);
        m_cbBase.SetCurSel(0);
        m_cbGradient.SetCurSel(0);
        break;
    case 1:
        m_cbDirection.SetCurSel(0);
        m_cbBase.SetCurSel(page->GetColorBase());
        m_cbGradient.SetCurSel(0);
        break;
    case 2:
        m_cbDirection.SetCurSel(page->GetColorGradientCntl());
        m_cbBase.SetCurSel(page->GetColorBase());
        m_cbGradient.SetCurSel(page->GetColorGradient());
        break;
    default: break;
    }
    EnableGradient();
    m_bConnectBreak = page->IsDisplConnectBreak();
    m_bConnectMiss = page->IsDisplConnectMiss();
    m_bMasterItems = page->IsShowMasterItemsEnabled();
}

void CQUPageDisplay::SaveMembers()
{
    CQKGraphPage* page = GetGraphPage();
    page->SetDisplConnectBreak(m_bConnectBreak);
    page->SetDisplConnectMiss(m_bConnectMiss);
    page->SetShowMasterItemsEnabled(m_bMasterItems);
    const int base = m_cbBase.GetCurSel(), gradient = m_cbGradient.GetCurSel();
    if (base > 0 && gradient > 0) {
        page->SetColorGradientCntl(m_cbDirection.GetCurSel());
        page->SetColorBase(base);
        page->SetColorGradient(gradient);
        page->SetColorColorCntl(2);
    } else if (base > 0) {
        page->SetBaseColorCntl();
        page->SetColorBase(base);
        page->SetColorGradient(0);
        page->SetColorColorCntl(1);
    } else {
        page->SetBaseColorCntl();
        page->SetColorBase(0);
        page->SetColorGradient(0);
        page->SetColorColorCntl(0);
    }
}

void CQUPageDisplay::OnColorChange()
{
    EnableGradient();
}

/////////////////////////////////////////////////////////////////////////////
// Legends

CQUPageLegend::CQUPageLegend()
    : CQUPlotDetailsPageTab(IDD_PD_PAGE_LEGENDS), m_bFullName(0), m_bAutoUpdate(0), m_bIndicate(0), m_nSymbolWidth(0)
{
}

void CQUPageLegend::DoDataExchange(CDataExchange* pDX)
{
    DDX_Check(pDX, IDC_PD_PG_LEGEND_FULL_NAME, m_bFullName);
    DDX_Check(pDX, IDC_PD_PG_LEGEND_AUTO_UPDATE, m_bAutoUpdate);
    DDX_Check(pDX, IDC_PD_PG_LEGEND_INDICATE, m_bIndicate);
    DDX_Text(pDX, IDC_PD_PG_LEGEND_SYMBOL_WIDTH, m_nSymbolWidth);
}

void CQUPageLegend::LoadMembers()
{
    CQKGraphPage* page = GetGraphPage();
    m_bFullName = page->IsLegendFullName();
    m_bAutoUpdate = page->IsLegendAutoUpdate();
    m_bIndicate = page->IsLegendActivIndicate();
    m_nSymbolWidth = page->GetLegendSymbWidth();
}

void CQUPageLegend::SaveMembers()
{
    CQKGraphPage* page = GetGraphPage();
    page->SetLegendSymbWidth(m_nSymbolWidth, 0);
    page->SetLegendActivIndicate(m_bIndicate, 0);
    page->SetLegendAutoUpdate(m_bAutoUpdate);
    page->SetLegendFullName(m_bFullName, 0);
}

/////////////////////////////////////////////////////////////////////////////
// Print/Dimensions

BEGIN_MESSAGE_MAP(CQUPagePrintDim, CQUPlotDetailsPageTab)
    ON_CBN_SELCHANGE(IDC_PD_PG_UNITS, OnUnitsChange)
END_MESSAGE_MAP()

CQUPagePrintDim::CQUPagePrintDim()
    : CQUPlotDetailsPageTab(IDD_PD_PAGE_PRINT), m_nUnits(0), m_width(0), m_height(0), m_bPrinter(0),
      m_bPrinterWidth(0), m_bPrinterHeight(0), m_bCropmarks(0)
{
}

void CQUPagePrintDim::DoDataExchange(CDataExchange* pDX)
{
    DDX_Text(pDX, IDC_PD_PG_WIDTH, m_width);
    DDV_MinMaxDouble(pDX, m_width, 0, 100000);
    DDX_Text(pDX, IDC_PD_PG_HEIGHT, m_height);
    DDV_MinMaxDouble(pDX, m_height, 0, 100000);
    DDX_Check(pDX, IDC_PD_PG_PRINTER_DIM, m_bPrinter);
    DDX_Check(pDX, IDC_PD_PG_PRINTER_WIDTH, m_bPrinterWidth);
    DDX_Check(pDX, IDC_PD_PG_PRINTER_HEIGHT, m_bPrinterHeight);
    DDX_Check(pDX, IDC_PD_PG_CROPMARKS, m_bCropmarks);
}

void CQUPagePrintDim::InitControls()
{
    m_cbUnits.SubclassDlgItem(IDC_PD_PG_UNITS, this);
    PDFillComboFromString(m_cbUnits, IDS_PD_PAGE_UNITS);
}

void CQUPagePrintDim::LoadMembers()
{
    CQKGraphPage* page = GetGraphPage();
    m_nUnits = page->GetDimUnits();
    m_cbUnits.SetCurSel(m_nUnits);
    m_width = page->GetDimWidth();
    m_height = page->GetDimHeight();
    m_bPrinter = page->IsDimPrinter();
    m_bPrinterWidth = !page->IsCustomSize(0);
    m_bPrinterHeight = !page->IsCustomSize(1);
    m_bCropmarks = page->IsShowCropmark();
}

void CQUPagePrintDim::SaveMembers()
{
    CQKGraphPage* page = GetGraphPage();
    page->SetDimUnits(m_cbUnits.GetCurSel());
    page->SetDimPrinter(m_bPrinter);
    page->SetDimWidth(m_width);
    page->SetDimHeight(m_height);
    page->SetCustomSize(!m_bPrinterWidth, 0);
    page->SetCustomSize(!m_bPrinterHeight, 1);
    page->SetShowCropmark(m_bCropmarks);
}

void CQUPagePrintDim::OnUnitsChange()
{
    // Converted from the units the numbers are shown in, which change with each choice
    // while the page's own units change only on Apply.
    double record[4] = {0, 0, 0, 0};
    const int ids[2] = {IDC_PD_PG_WIDTH, IDC_PD_PG_HEIGHT};
    for (int i = 0; i < 2; ++i) {
        CString text;
        GetDlgItemText(ids[i], text);
        if (!CQKCString((const char*)text).GetReal(&record[i]))
            record[i] = 0;
    }
    const int units = m_cbUnits.GetCurSel();
    GetGraphPage()->ConvertDimensions(units, record, m_nUnits);
    m_nUnits = units;
    for (int i = 0; i < 2; ++i) {
        CQKCString text;
        text.NumToStr(record[i]);
        SetDlgItemText(ids[i], text.c_str());
    }
}
