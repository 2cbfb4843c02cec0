#include "LayerPages.h"

#include "PlotDetailsResources.h"
#include "QKUtil.h"

void PDFillColorNames(CComboBox& combo, const char* first)
{
    if (first)
        combo.AddString(first);
    for (int i = 0; i < CQKColor::GetColorNumber(); ++i) {
        std::string name;
        CQKColor::GetColorName(i, name);
        combo.AddString(name.c_str());
    }
}

/////////////////////////////////////////////////////////////////////////////
// Background

CQULayerColor::CQULayerColor() : CQUPlotDetailsLayerTab(IDD_PD_LAYER_BACKGROUND), m_nBorder(0), m_nColor(0) {}

void CQULayerColor::DoDataExchange(CDataExchange* pDX)
{
    DDX_CBIndex(pDX, IDC_PD_BKG_BORDER, m_nBorder);
    DDX_CBIndex(pDX, IDC_PD_BKG_COLOR, m_nColor);
}

void CQULayerColor::InitControls()
{
    m_cbBorder.SubclassDlgItem(IDC_PD_BKG_BORDER, this);
    m_cbColor.SubclassDlgItem(IDC_PD_BKG_COLOR, this);
    PDFillComboFromString(m_cbBorder, IDS_PD_BORDER_STYLES);
    PDFillColorNames(m_cbColor, "None");
}

void CQULayerColor::LoadMembers()
{
    CQKGraphicLayer* layer = GetLayer();
    m_nBorder = layer->IsBkgBorder() ? layer->GetBkgBorderStyle() + 1 : 0;
    m_nColor = layer->IsBkgColor() ? layer->GetBkgColorValue() + 1 : 0;
}

void CQULayerColor::SaveMembers()
{
    CQKGraphicLayer* layer = GetLayer();
    // Entry 0 ("None") switches the border or the background off; it is no style.
    if (m_nBorder <= 0) {
        layer->SetBkgBorder(FALSE);
    } else {
        layer->SetBkgBorder(TRUE);
        layer->SetBkgBorderStyle(m_nBorder - 1);
    }
    if (m_nColor <= 0) {
        layer->SetBkgColor(FALSE);
    } else {
        layer->SetBkgColor(TRUE);
        layer->SetBkgColorValue(m_nColor - 1);
    }
}

BOOL CQULayerColor::OnControlNotify(WPARAM wParam, LPARAM lParam)
{
    CQKGraphicLayer* layer = GetLayer();
    if (m_bLoaded && HIWORD(wParam) == CBN_SELCHANGE && layer && layer->Is3DLayer() && layer->GetBufferingType() != 0)
        layer->AddUpdate(1);
    return CQUPlotDetailsLayerTab::OnControlNotify(wParam, lParam);
}

/////////////////////////////////////////////////////////////////////////////
// Size/Speed

BEGIN_MESSAGE_MAP(CQULayerDimensions, CQUPlotDetailsLayerTab)
    ON_CBN_SELCHANGE(IDC_PD_SIZE_UNITS, OnUnitsChanged)
    ON_BN_CLICKED(IDC_PD_SIZE_MATRIX_CHECK, OnMatrixCheck)
    ON_BN_CLICKED(IDC_PD_SIZE_WKS_CHECK, OnWksCheck)
    ON_EN_CHANGE(IDC_PD_SIZE_WKS_POINTS, OnSkipPointsEdit)
    ON_EN_CHANGE(IDC_PD_SIZE_MATRIX_X, OnSkipPointsEdit)
    ON_EN_CHANGE(IDC_PD_SIZE_MATRIX_Y, OnSkipPointsEdit)
END_MESSAGE_MAP()

CQULayerDimensions::CQULayerDimensions()
    : CQUPlotDetailsLayerTab(IDD_PD_LAYER_SIZE), m_left(0), m_top(0), m_width(0), m_height(0), m_nUnits(0),
      m_nCaching(0), m_bWks(0), m_nWksPoints(0), m_bMatrix(0), m_nMatrixX(0), m_nMatrixY(0)
{
}

void CQULayerDimensions::DoDataExchange(CDataExchange* pDX)
{
    DDX_Text(pDX, IDC_PD_SIZE_LEFT, m_left);
    DDX_Text(pDX, IDC_PD_SIZE_TOP, m_top);
    DDX_Text(pDX, IDC_PD_SIZE_WIDTH, m_width);
    DDX_Text(pDX, IDC_PD_SIZE_HEIGHT, m_height);
    DDX_CBIndex(pDX, IDC_PD_SIZE_UNITS, m_nUnits);
    DDX_CBIndex(pDX, IDC_PD_SIZE_CACHING, m_nCaching);
    DDX_Check(pDX, IDC_PD_SIZE_MATRIX_CHECK, m_bMatrix);
    DDX_Text(pDX, IDC_PD_SIZE_MATRIX_X, m_nMatrixX);
    DDV_MinMaxInt(pDX, m_nMatrixX, 2, 2000);
    DDX_Text(pDX, IDC_PD_SIZE_MATRIX_Y, m_nMatrixY);
    DDV_MinMaxInt(pDX, m_nMatrixY, 2, 2000);
    DDX_Check(pDX, IDC_PD_SIZE_WKS_CHECK, m_bWks);
    DDX_Text(pDX, IDC_PD_SIZE_WKS_POINTS, m_nWksPoints);
    DDV_MinMaxInt(pDX, m_nWksPoints, 2, 1000000);
}

void CQULayerDimensions::FillUnits()
{
    m_cbUnits.ResetContent();
    PDFillComboFromString(m_cbUnits, IDS_PD_UNITS);
    // "% of Linked Layer" is for linked layers only.
    if (!GetLayer()->IsThereLinkedFrame())
        m_cbUnits.DeleteString(m_cbUnits.GetCount() - 1);
}

void CQULayerDimensions::InitControls()
{
    m_cbUnits.SubclassDlgItem(IDC_PD_SIZE_UNITS, this);
    m_cbCaching.SubclassDlgItem(IDC_PD_SIZE_CACHING, this);
    FillUnits();
    PDFillComboFromString(m_cbCaching, IDS_PD_CACHING);
    // Vector caching is for 3D layers only.
    if (!GetLayer()->IsLayer3D())
        m_cbCaching.DeleteString(m_cbCaching.GetCount() - 1);
}

void CQULayerDimensions::LoadMembers()
{
    CQKGraphicLayer* layer = GetLayer();
    FillUnits();
    m_nUnits = layer->ResetSelectionIfNeeded(layer->GetMeasUnits());
    m_width = layer->GetMeasWidth();
    m_height = layer->GetMeasHeight();
    m_left = layer->GetMeasLeft();
    m_top = layer->GetMeasTop();
    if (m_nUnits != layer->GetMeasUnits()) {
        double values[4] = {m_width, m_height, m_left, m_top};
        layer->ConvertDimensions(m_nUnits, values);
        m_width = values[0], m_height = values[1], m_left = values[2], m_top = values[3];
    }
    m_bMatrix = layer->IsMatrixSkipPoints();
    m_nMatrixX = layer->GetMatrixSkipXPoints();
    m_nMatrixY = layer->GetMatrixSkipYPoints();
    m_nCaching = layer->GetBufferingType();
    m_bWks = layer->IsWksSkipPoints();
    m_nWksPoints = layer->GetWksSkipPointsPerCurve();
    EnableSpeedEdits();
}

void CQULayerDimensions::EnableSpeedEdits()
{
    GetDlgItem(IDC_PD_SIZE_MATRIX_X)->EnableWindow(m_bMatrix);
    GetDlgItem(IDC_PD_SIZE_MATRIX_Y)->EnableWindow(m_bMatrix);
    GetDlgItem(IDC_PD_SIZE_WKS_POINTS)->EnableWindow(m_bWks);
}

void CQULayerDimensions::SaveMembers()
{
    CQKGraphicLayer* layer = GetLayer();
    layer->SetMeasUnits(m_nUnits);
    layer->SetMeasWidth(m_width);
    layer->SetMeasHeight(m_height);
    layer->SetMeasLeft(m_left);
    layer->SetMeasTop(m_top);
    layer->SetMatrixSkipPoints(m_bMatrix);
    layer->SetMatrixSkipXPoints(m_nMatrixX);
    layer->SetMatrixSkipYPoints(m_nMatrixY);
    layer->SetBufferingType(m_nCaching, 0);
    layer->SetWksSkipPoints(m_bWks);
    layer->SetWksSkipPointsPerCurve(m_nWksPoints);
}

BOOL CQULayerDimensions::OnSetActive()
{
    // Read the layer again, so that the units follow a link made or undone on the Link
    // Axes Scales page; a page with changes of its own keeps them.
    if (m_hWnd && !m_bChanged) {
        m_bLoaded = FALSE;
        LoadMembers();
        UpdateData(FALSE);
        m_bLoaded = TRUE;
    }
    return CQUPlotDetailsLayerTab::OnSetActive();
}

void CQULayerDimensions::OnUnitsChanged()
{
    // The numbers are converted from the units they are shown in, which the page keeps
    // until Apply: two changes in a row must not convert from the layer's units twice.
    const int ids[4] = {IDC_PD_SIZE_WIDTH, IDC_PD_SIZE_HEIGHT, IDC_PD_SIZE_LEFT, IDC_PD_SIZE_TOP};
    double values[4];
    for (int i = 0; i < 4; ++i) {
        CString text;
        GetDlgItemText(ids[i], text);
        if (!CQKCString((const char*)text).GetReal(&values[i]))
            values[i] = 0;
    }
    int units = m_cbUnits.GetCurSel();
    GetLayer()->ConvertDimensions(units, values, m_nUnits);
    m_nUnits = units;
    for (int i = 0; i < 4; ++i) {
        CQKCString text;
        text.NumToStr(values[i]);
        SetDlgItemText(ids[i], text.c_str());
    }
}

void CQULayerDimensions::OnMatrixCheck()
{
    m_bMatrix = IsDlgButtonChecked(IDC_PD_SIZE_MATRIX_CHECK);
    GetDlgItem(IDC_PD_SIZE_MATRIX_X)->EnableWindow(m_bMatrix);
    GetDlgItem(IDC_PD_SIZE_MATRIX_Y)->EnableWindow(m_bMatrix);
    GetLayer()->OnSkipPtsDisplayModeChange();
}

void CQULayerDimensions::OnWksCheck()
{
    m_bWks = IsDlgButtonChecked(IDC_PD_SIZE_WKS_CHECK);
    GetDlgItem(IDC_PD_SIZE_WKS_POINTS)->EnableWindow(m_bWks);
    GetLayer()->OnSkipPtsDisplayModeChange();
}

void CQULayerDimensions::OnSkipPointsEdit()
{
    if (m_bLoaded)
        GetLayer()->OnSkipPtsDisplayModeChange();
}

/////////////////////////////////////////////////////////////////////////////
// Display

BEGIN_MESSAGE_MAP(CQULayerDisplay, CQUPlotDetailsLayerTab)
    ON_BN_CLICKED(IDC_PD_DISP_WITH_FRAME, OnWithFrame)
    ON_BN_CLICKED(IDC_PD_DISP_FIXED, OnFixed)
    ON_EN_CHANGE(IDC_PD_DISP_FACTOR, OnFactorChange)
    ON_BN_CLICKED(IDC_PD_DISP_CLIP, OnClip)
END_MESSAGE_MAP()

CQULayerDisplay::CQULayerDisplay()
    : CQUPlotDetailsLayerTab(IDD_PD_LAYER_DISPLAY), m_nScale(0), m_factor(1), m_bX(0), m_bY(0), m_bZ(0),
      m_bLabels(0), m_bData(0), m_bClip(0), m_bDataOnTop(0), m_bGridOnTop(0), m_nMarginH(0), m_nMarginV(0)
{
}

void CQULayerDisplay::DoDataExchange(CDataExchange* pDX)
{
    DDX_Radio(pDX, IDC_PD_DISP_WITH_FRAME, m_nScale);
    DDX_Text(pDX, IDC_PD_DISP_FACTOR, m_factor);
    DDX_Check(pDX, IDC_PD_DISP_X_AXES, m_bX);
    DDX_Check(pDX, IDC_PD_DISP_Y_AXES, m_bY);
    DDX_Check(pDX, IDC_PD_DISP_Z_AXES, m_bZ);
    DDX_Check(pDX, IDC_PD_DISP_LABELS, m_bLabels);
    DDX_Check(pDX, IDC_PD_DISP_DATA, m_bData);
    DDX_Check(pDX, IDC_PD_DISP_CLIP, m_bClip);
    DDX_Check(pDX, IDC_PD_DISP_DATA_ON_TOP, m_bDataOnTop);
    DDX_Check(pDX, IDC_PD_DISP_GRID_ON_TOP, m_bGridOnTop);
    DDX_Text(pDX, IDC_PD_DISP_MARGIN_H, m_nMarginH);
    DDV_MinMaxInt(pDX, m_nMarginH, -100, 50);
    DDX_Text(pDX, IDC_PD_DISP_MARGIN_V, m_nMarginV);
    DDV_MinMaxInt(pDX, m_nMarginV, -100, 50);
}

void CQULayerDisplay::ShowMargins(BOOL bShow)
{
    const int ids[] = {IDC_PD_DISP_MARGIN_H, IDC_PD_DISP_MARGIN_V, IDC_PD_DISP_MARGIN_LINE,
                       IDC_PD_DISP_MARGIN_GROUP, IDC_PD_DISP_MARGIN_H_LABEL, IDC_PD_DISP_MARGIN_V_LABEL};
    for (int id : ids)
        GetDlgItem(id)->ShowWindow(bShow ? SW_SHOW : SW_HIDE);
}

void CQULayerDisplay::LoadMembers()
{
    CQKGraphicLayer* layer = GetLayer();
    if (layer->IsLayerTriangle()) {
        GetDlgItem(IDC_PD_DISP_X_AXES)->EnableWindow(FALSE);
        GetDlgItem(IDC_PD_DISP_Y_AXES)->EnableWindow(FALSE);
        GetDlgItem(IDC_PD_DISP_Z_AXES)->EnableWindow(FALSE);
    } else {
        m_bX = layer->IsAxisDisplayed(QK_AXIS_X);
        m_bY = layer->IsAxisDisplayed(QK_AXIS_Y);
        if (layer->HasZAxis())
            m_bZ = layer->IsAxisDisplayed(QK_AXIS_Z);
        GetDlgItem(IDC_PD_DISP_Z_AXES)->EnableWindow(layer->HasZAxis());
    }
    m_bLabels = layer->IsLabelShown();
    m_bData = layer->IsDataShown();
    if (layer->IsClippingSupported()) {
        m_bClip = layer->IsClipToFrame();
    } else {
        m_bClip = 0;
        GetDlgItem(IDC_PD_DISP_CLIP)->EnableWindow(FALSE);
    }
    ShowMargins(m_bClip);
    m_bDataOnTop = layer->IsDataOnTopAxes();
    m_bGridOnTop = layer->IsGridOnTopData();
    m_nScale = layer->GetScaleWithLayer();
    GetDlgItem(IDC_PD_DISP_FACTOR)->EnableWindow(m_nScale != 0);
    m_factor = layer->GetScalingFactor();
    m_nMarginH = layer->GetClipHorizPercent();
    m_nMarginV = layer->GetClipVertPercent();
}

void CQULayerDisplay::SaveMembers()
{
    CQKGraphicLayer* layer = GetLayer();
    // The axes of a triangle layer are shown as the layer decides, not by these checks.
    if (!layer->IsLayerTriangle()) {
        layer->SetAxisDisplayed(QK_AXIS_X, m_bX);
        layer->SetAxisDisplayed(QK_AXIS_Y, m_bY);
        if (layer->HasZAxis())
            layer->SetAxisDisplayed(QK_AXIS_Z, m_bZ);
    }
    layer->SetLabelShown(m_bLabels);
    layer->SetDataShown(m_bData);
    layer->SetClipToFrame(m_bClip);
    layer->SetDataOnTopAxes(m_bDataOnTop);
    layer->SetGridOnTopData(m_bGridOnTop);
    layer->SetScaleWithLayer(m_nScale);
    layer->SetScalingFactor(m_factor);
    layer->SetClipHorizPercent(m_nMarginH);
    layer->SetClipVertPercent(m_nMarginV);
}

void CQULayerDisplay::OnWithFrame()
{
    GetDlgItem(IDC_PD_DISP_FACTOR)->EnableWindow(FALSE);
    GetLayer()->AddUpdate(3);
}

void CQULayerDisplay::OnFixed()
{
    GetDlgItem(IDC_PD_DISP_FACTOR)->EnableWindow(TRUE);
    GetLayer()->AddUpdate(3);
}

void CQULayerDisplay::OnFactorChange()
{
    if (m_bLoaded)
        GetLayer()->AddUpdate(3);
}

void CQULayerDisplay::OnClip()
{
    ShowMargins(IsDlgButtonChecked(IDC_PD_DISP_CLIP));
}

BOOL CQULayerDisplay::OnControlNotify(WPARAM wParam, LPARAM lParam)
{
    const UINT code = HIWORD(wParam);
    if (m_bLoaded && (code == BN_CLICKED || code == CBN_SELCHANGE || code == EN_CHANGE))
        GetLayer()->AddUpdate(3);
    return CQUPlotDetailsLayerTab::OnControlNotify(wParam, lParam);
}

/////////////////////////////////////////////////////////////////////////////
// Link Axes Scales

BEGIN_MESSAGE_MAP(CQULayerLinkAxes, CQUPlotDetailsLayerTab)
    ON_BN_CLICKED(IDC_PD_LINK_X_NONE, OnXLink)
    ON_BN_CLICKED(IDC_PD_LINK_X_STRAIGHT, OnXLink)
    ON_BN_CLICKED(IDC_PD_LINK_X_CUSTOM, OnXLink)
    ON_BN_CLICKED(IDC_PD_LINK_Y_NONE, OnYLink)
    ON_BN_CLICKED(IDC_PD_LINK_Y_STRAIGHT, OnYLink)
    ON_BN_CLICKED(IDC_PD_LINK_Y_CUSTOM, OnYLink)
    ON_CBN_SELCHANGE(IDC_PD_LINK_TO, OnLinkToChanged)
END_MESSAGE_MAP()

CQULayerLinkAxes::CQULayerLinkAxes() : CQUPlotDetailsLayerTab(IDD_PD_LAYER_LINK), m_nLinkTo(0), m_nXLink(0), m_nYLink(0)
{
}

void CQULayerLinkAxes::DoDataExchange(CDataExchange* pDX)
{
    DDX_CBIndex(pDX, IDC_PD_LINK_TO, m_nLinkTo);
    DDX_Radio(pDX, IDC_PD_LINK_X_NONE, m_nXLink);
    DDX_Radio(pDX, IDC_PD_LINK_Y_NONE, m_nYLink);
    DDX_Text(pDX, IDC_PD_LINK_X1, m_x1);
    DDX_Text(pDX, IDC_PD_LINK_X2, m_x2);
    DDX_Text(pDX, IDC_PD_LINK_Y1, m_y1);
    DDX_Text(pDX, IDC_PD_LINK_Y2, m_y2);
}

void CQULayerLinkAxes::InitControls()
{
    if (!m_cbLinkTo.m_hWnd)
        m_cbLinkTo.SubclassDlgItem(IDC_PD_LINK_TO, this);
    m_cbLinkTo.ResetContent();
    char buffer[1300];
    GetLayer()->GetLayerLinkContent(buffer, sizeof buffer);
    PDFillComboFromText(m_cbLinkTo, buffer);
}

void CQULayerLinkAxes::EnableLinks(BOOL bEnable)
{
    const int ids[] = {IDC_PD_LINK_X_NONE, IDC_PD_LINK_X_STRAIGHT, IDC_PD_LINK_X_CUSTOM, IDC_PD_LINK_Y_NONE,
                       IDC_PD_LINK_Y_STRAIGHT, IDC_PD_LINK_Y_CUSTOM, IDC_PD_LINK_X1, IDC_PD_LINK_X2,
                       IDC_PD_LINK_Y1, IDC_PD_LINK_Y2, IDC_PD_LINK_X1_LABEL, IDC_PD_LINK_X2_LABEL,
                       IDC_PD_LINK_Y1_LABEL, IDC_PD_LINK_Y2_LABEL};
    for (int id : ids)
        GetDlgItem(id)->EnableWindow(bEnable);
}

void CQULayerLinkAxes::EnableFormulas()
{
    const int xIds[] = {IDC_PD_LINK_X1_LABEL, IDC_PD_LINK_X2_LABEL, IDC_PD_LINK_X1, IDC_PD_LINK_X2};
    const int yIds[] = {IDC_PD_LINK_Y1_LABEL, IDC_PD_LINK_Y2_LABEL, IDC_PD_LINK_Y1, IDC_PD_LINK_Y2};
    for (int id : xIds)
        GetDlgItem(id)->EnableWindow(m_nXLink == 2);
    for (int id : yIds)
        GetDlgItem(id)->EnableWindow(m_nYLink == 2);
}

void CQULayerLinkAxes::LoadMembers()
{
    InitControls();
    CQKGraphicLayer* layer = GetLayer();
    int index;
    m_nLinkTo = layer->GetLinkToLayerIndex(index) ? index + 1 : 0;
    if (m_nLinkTo == 0) {
        m_nXLink = m_nYLink = 0;
        EnableLinks(FALSE);
    } else {
        EnableLinks(TRUE);
        m_nXLink = layer->GetLayerXAxisLink();
        m_nYLink = layer->GetLayerYAxisLink();
        EnableFormulas();
    }
    m_x1 = layer->GetLayerLinkX1().c_str();
    m_x2 = layer->GetLayerLinkX2().c_str();
    m_y1 = layer->GetLayerLinkY1().c_str();
    m_y2 = layer->GetLayerLinkY2().c_str();
}

void CQULayerLinkAxes::SaveMembers()
{
    CQKGraphicLayer* layer = GetLayer();
    layer->SetLinkToLayerIndex(m_nLinkTo - 1);
    if (m_nLinkTo == 0) {
        // Unlinked, the layer can no longer measure itself by its linked layer.
        layer->SetMeasUnits(layer->ResetSelectionIfNeeded(layer->GetMeasUnits()));
        return;
    }
    const std::string formulas[4] = {(const char*)m_x1, (const char*)m_x2, (const char*)m_y1, (const char*)m_y2};
    layer->SetLayerAxisLinks(m_nXLink, m_nYLink, formulas);
}

void CQULayerLinkAxes::OnXLink()
{
    m_nXLink = IsDlgButtonChecked(IDC_PD_LINK_X_CUSTOM) ? 2 : IsDlgButtonChecked(IDC_PD_LINK_X_STRAIGHT) ? 1 : 0;
    EnableFormulas();
}

void CQULayerLinkAxes::OnYLink()
{
    m_nYLink = IsDlgButtonChecked(IDC_PD_LINK_Y_CUSTOM) ? 2 : IsDlgButtonChecked(IDC_PD_LINK_Y_STRAIGHT) ? 1 : 0;
    EnableFormulas();
}

void CQULayerLinkAxes::OnLinkToChanged()
{
    m_nLinkTo = m_cbLinkTo.GetCurSel();
    if (m_nLinkTo > 0) {
        EnableLinks(TRUE);
        EnableFormulas();
    } else {
        m_nXLink = m_nYLink = 0;
        CheckRadioButton(IDC_PD_LINK_X_NONE, IDC_PD_LINK_X_CUSTOM, IDC_PD_LINK_X_NONE);
        CheckRadioButton(IDC_PD_LINK_Y_NONE, IDC_PD_LINK_Y_CUSTOM, IDC_PD_LINK_Y_NONE);
        EnableLinks(FALSE);
    }
    // The working copy takes the link at once, so the Size/Speed page shows the units
    // the link allows when it is shown again; Cancel still drops it with the copy.
    if (UpdateData(TRUE))
        SaveMembers();
}
