#include "Layer3DPages.h"

#include <math.h>

#include "LayerPages.h"
#include "ObjectsResources.h"
#include "PlotDetailsResources.h"
#include "QKUtil.h"

namespace {

// A number shown with at most `decimals` decimals, without trailing zeros.
CString FormatNumber(double value, int decimals)
{
    CString text;
    text.Format("%.*f", decimals, value);
    if (text.Find('.') >= 0) {
        text.TrimRight('0');
        text.TrimRight('.');
    }
    if (text == "-0")
        text = "0";
    return text;
}

// A number edit: written in the page's format, read and checked by the framework.
void DDX_Number(CDataExchange* pDX, int nIDC, double& value, int decimals)
{
    if (pDX->m_bSaveAndValidate)
        DDX_Text(pDX, nIDC, value);
    else
        pDX->m_pDlgWnd->SetDlgItemText(nIDC, FormatNumber(value, decimals));
}

const int kLengthDecimals = 3, kAngleDecimals = 1;

} // namespace

BOOL CQULayer3DTab::OnControlNotify(WPARAM wParam, LPARAM lParam)
{
    if (m_bLoaded && PDIsChangeNotification(HIWORD(wParam)))
        GetLayer()->AddUpdate(1);
    return CQUPlotDetailsLayerTab::OnControlNotify(wParam, lParam);
}

/////////////////////////////////////////////////////////////////////////////
// Axis

BEGIN_MESSAGE_MAP(CQULayer3DAxis, CQULayer3DTab)
    ON_EN_CHANGE(IDC_PD_3D_X_LENGTH, OnLengthChange)
    ON_EN_CHANGE(IDC_PD_3D_Y_LENGTH, OnLengthChange)
    ON_EN_CHANGE(IDC_PD_3D_Z_LENGTH, OnLengthChange)
END_MESSAGE_MAP()

CQULayer3DAxis::CQULayer3DAxis()
    : CQULayer3DTab(IDD_PD_3D_AXIS), m_length{1, 1, 1}, m_rotation{0, 0, 0}, m_perspective(0), m_bRotateLabels(0)
{
}

void CQULayer3DAxis::DoDataExchange(CDataExchange* pDX)
{
    const int lengths[3] = {IDC_PD_3D_X_LENGTH, IDC_PD_3D_Y_LENGTH, IDC_PD_3D_Z_LENGTH};
    const int rotations[3] = {IDC_PD_3D_X_ROTATION, IDC_PD_3D_Y_ROTATION, IDC_PD_3D_Z_ROTATION};
    for (int i = 0; i < 3; ++i) {
        DDX_Number(pDX, lengths[i], m_length[i], kLengthDecimals);
        DDX_Number(pDX, rotations[i], m_rotation[i], kAngleDecimals);
    }
    DDX_Number(pDX, IDC_PD_3D_PERSPECTIVE, m_perspective, kAngleDecimals);
    DDX_Check(pDX, IDC_PD_3D_ROTATE_LABELS, m_bRotateLabels);
}

void CQULayer3DAxis::LoadMembers()
{
    CQK3DLayer* layer = Get3DLayer();
    layer->CalcRotAngles();
    m_length[0] = layer->GetXAxisLength();
    m_length[1] = layer->GetYAxisLength();
    m_length[2] = layer->GetZAxisLength();
    m_rotation[0] = layer->GetXRotation();
    m_rotation[1] = layer->GetYRotation();
    m_rotation[2] = layer->GetZRotation();
    m_perspective = layer->GetPerspectiveAngle();
    m_bRotateLabels = layer->HasRotateLabel();
}

void CQULayer3DAxis::SaveMembers()
{
    CQK3DLayer* layer = Get3DLayer();
    layer->SetXAxisLength(m_length[0]);
    layer->SetYAxisLength(m_length[1]);
    layer->SetZAxisLength(m_length[2]);
    layer->SetXRotation(m_rotation[0], 0);
    layer->SetYRotation(m_rotation[1], 0);
    layer->SetZRotation(m_rotation[2], 1);
    layer->SetPerspectiveAngle(m_perspective);
    layer->SetRotateLabel(m_bRotateLabels);
}

void CQULayer3DAxis::OnLengthChange()
{
    if (m_bLoaded)
        GetLayer()->SetDataModified();
}

/////////////////////////////////////////////////////////////////////////////
// Miscellaneous

CQULayer3DOptions::CQULayer3DOptions()
    : CQULayer3DTab(IDD_PD_3D_MISC), m_bClip(0), m_nProjection(0), m_xFrom(0), m_xTo(100), m_yFrom(0), m_yTo(100)
{
}

void CQULayer3DOptions::DoDataExchange(CDataExchange* pDX)
{
    DDX_Check(pDX, IDC_PD_3D_CLIP, m_bClip);
    DDX_Number(pDX, IDC_PD_3D_X_FROM, m_xFrom, kLengthDecimals);
    DDX_Number(pDX, IDC_PD_3D_X_TO, m_xTo, kLengthDecimals);
    DDX_Number(pDX, IDC_PD_3D_Y_FROM, m_yFrom, kLengthDecimals);
    DDX_Number(pDX, IDC_PD_3D_Y_TO, m_yTo, kLengthDecimals);
}

void CQULayer3DOptions::InitControls()
{
    m_cbProjection.SubclassDlgItem(IDC_PD_3D_PROJECTION, this);
    PDFillComboFromString(m_cbProjection, IDS_PD_PROJECTIONS);
}

void CQULayer3DOptions::LoadMembers()
{
    CQK3DLayer* layer = Get3DLayer();
    const BOOL supported = layer->IsXYClippingSupported();
    for (int id : {IDC_PD_3D_CLIP_GROUP, IDC_PD_3D_FROM_LABEL, IDC_PD_3D_TO_LABEL, IDC_PD_3D_X_LABEL,
                   IDC_PD_3D_Y_LABEL, IDC_PD_3D_X_FROM, IDC_PD_3D_X_TO, IDC_PD_3D_Y_FROM, IDC_PD_3D_Y_TO,
                   IDC_PD_3D_CLIP})
        GetDlgItem(id)->EnableWindow(supported);
    m_bClip = layer->HasXYClipping();
    m_xFrom = layer->GetXFrom();
    m_xTo = layer->GetXTo();
    m_yFrom = layer->GetYFrom();
    m_yTo = layer->GetYTo();
    m_nProjection = layer->IsProjectionPrespective() ? 0 : 1;
    m_cbProjection.SetCurSel(m_nProjection);
}

void CQULayer3DOptions::SaveMembers()
{
    CQK3DLayer* layer = Get3DLayer();
    layer->SetXFrom(m_xFrom);
    layer->SetYFrom(m_yFrom);
    layer->SetXTo(m_xTo);
    layer->SetYTo(m_yTo);
    layer->SetProjectionPrespective(m_cbProjection.GetCurSel() == 0);
    layer->SetXYClipping(m_bClip);
}

/////////////////////////////////////////////////////////////////////////////
// Planes

namespace {
const int kPlaneChecks[3] = {IDC_PD_3D_XY, IDC_PD_3D_YZ, IDC_PD_3D_ZX};
const int kPlanePositions[3] = {IDC_PD_3D_XY_POSITION, IDC_PD_3D_YZ_POSITION, IDC_PD_3D_ZX_POSITION};
const int kPlaneColors[3] = {IDC_PD_3D_XY_COLOR, IDC_PD_3D_YZ_COLOR, IDC_PD_3D_ZX_COLOR};
} // namespace

BEGIN_MESSAGE_MAP(CQULayer3DPlanes, CQULayer3DTab)
    ON_BN_CLICKED(IDC_PD_3D_XY, OnPlaneCheck)
    ON_BN_CLICKED(IDC_PD_3D_YZ, OnPlaneCheck)
    ON_BN_CLICKED(IDC_PD_3D_ZX, OnPlaneCheck)
    ON_BN_CLICKED(IDC_PD_3D_OUTLINE, OnOutlineCheck)
END_MESSAGE_MAP()

CQULayer3DPlanes::CQULayer3DPlanes()
    : CQULayer3DTab(IDD_PD_3D_PLANES), m_bAuto(0), m_bPlane{0, 0, 0}, m_bOutline(0), m_position{0, 0, 0}
{
}

void CQULayer3DPlanes::DoDataExchange(CDataExchange* pDX)
{
    DDX_Check(pDX, IDC_PD_3D_AUTO_POSITION, m_bAuto);
    for (int i = 0; i < 3; ++i) {
        DDX_Check(pDX, kPlaneChecks[i], m_bPlane[i]);
        DDX_Number(pDX, kPlanePositions[i], m_position[i], kLengthDecimals);
    }
    DDX_Check(pDX, IDC_PD_3D_OUTLINE, m_bOutline);
}

void CQULayer3DPlanes::InitControls()
{
    for (int i = 0; i < 3; ++i) {
        m_cbColor[i].SubclassDlgItem(kPlaneColors[i], this);
        PDFillColorNames(m_cbColor[i], nullptr);
    }
    m_cbOutlineColor.SubclassDlgItem(IDC_PD_3D_OUTLINE_COLOR, this);
    PDFillColorNames(m_cbOutlineColor, nullptr);
    m_cbOutlineStyle.SubclassDlgItem(IDC_PD_3D_OUTLINE_STYLE, this);
    PDFillComboFromString(m_cbOutlineStyle, IDS_QD_LINE_TYPES);
    m_cbOutlineWidth.SubclassDlgItem(IDC_PD_3D_OUTLINE_WIDTH, this);
    PDFillComboFromString(m_cbOutlineWidth, IDS_QD_LINE_WIDTHS);
}

void CQULayer3DPlanes::LoadMembers()
{
    CQK3DLayer* layer = Get3DLayer();
    m_cbColor[0].SetCurSel(layer->GetXYColor());
    m_cbColor[1].SetCurSel(layer->GetYZColor());
    m_cbColor[2].SetCurSel(layer->GetZXColor());
    m_bAuto = layer->HasAutoPosition();
    m_bPlane[0] = layer->HasXYPlaneShown();
    m_bPlane[1] = layer->HasYZPlaneShown();
    m_bPlane[2] = layer->HasZXPlaneShown();
    m_bOutline = layer->IsEnabledCubeOutline();
    m_cbOutlineColor.SetCurSel(layer->GetCubeOutlineColor());
    PDShowRounded(m_cbOutlineWidth, layer->GetCubeOutlineWidth());
    m_cbOutlineStyle.SetCurSel(layer->GetCubeOutlineStyle());
    m_position[0] = layer->GetXYPosition();
    m_position[1] = layer->GetYZPosition();
    m_position[2] = layer->GetZXPosition();
}

BOOL CQULayer3DPlanes::OnInitDialog()
{
    CQULayer3DTab::OnInitDialog();
    // The rules follow the data exchange, which sets the checks.
    EnableOutline();
    EnablePlanes();
    return TRUE;
}

void CQULayer3DPlanes::SaveMembers()
{
    CQK3DLayer* layer = Get3DLayer();
    layer->SetXYPosition(m_position[0]);
    layer->SetYZPosition(m_position[1]);
    layer->SetZXPosition(m_position[2]);
    layer->SetXYColor(m_cbColor[0].GetCurSel());
    layer->SetYZColor(m_cbColor[1].GetCurSel());
    layer->SetZXColor(m_cbColor[2].GetCurSel());
    layer->SetAutoPosition(m_bAuto);
    layer->SetXYPlaneShown(m_bPlane[0]);
    layer->SetYZPlaneShown(m_bPlane[1]);
    layer->SetZXPlaneShown(m_bPlane[2]);
    layer->SetEnableCubeOutline(m_bOutline);
    layer->SetCubeOutlineColor(m_cbOutlineColor.GetCurSel());
    CString width;
    m_cbOutlineWidth.GetWindowText(width);
    double points;
    if (PDReadNumber(width, points))
        layer->SetCubeOutlineWidth(floor(points * 100 + 0.5) / 100);
    layer->SetCubeOutlineStyle(m_cbOutlineStyle.GetCurSel());
}

void CQULayer3DPlanes::EnablePlanes()
{
    for (int i = 0; i < 3; ++i) {
        const BOOL on = IsDlgButtonChecked(kPlaneChecks[i]);
        GetDlgItem(kPlanePositions[i])->EnableWindow(on);
        m_cbColor[i].EnableWindow(on);
    }
}

void CQULayer3DPlanes::EnableOutline()
{
    const BOOL on = IsDlgButtonChecked(IDC_PD_3D_OUTLINE);
    m_cbOutlineColor.EnableWindow(on);
    m_cbOutlineStyle.EnableWindow(on);
    m_cbOutlineWidth.EnableWindow(on);
}

void CQULayer3DPlanes::OnPlaneCheck()
{
    EnablePlanes();
}

void CQULayer3DPlanes::OnOutlineCheck()
{
    EnableOutline();
}
