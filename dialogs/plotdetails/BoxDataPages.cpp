#include "BoxDataPages.h"

#include <math.h>

#include <algorithm>

#include "GroupDataPagesResources.h"
#include "LayerPages.h"
#include "PlotDetailsResources.h"
#include "PlotDetailsTabChecker.h"
#include "QKSymbolManager.h"
#include "QKSysMethod.h"

namespace {

void FillFromKernelList(CComboBox& combo, const char* (*name)(int))
{
    for (int i = 0; name(i); ++i)
        combo.AddString(name(i));
}

void Enable(CWnd* page, int id, BOOL on)
{
    if (CWnd* w = page->GetDlgItem(id))
        w->EnableWindow(on);
}

CString NumberText(double value)
{
    CString text;
    text.Format("%.10g", value);
    return text;
}

bool ReadEdit(CWnd* page, int id, double& value)
{
    CString text;
    page->GetDlgItemText(id, text);
    return PDReadNumber(text, value);
}

const int kBinEdits[] = {IDC_PD_BOXD_BIN_SIZE, IDC_PD_BOXD_BIN_BEGIN, IDC_PD_BOXD_BIN_END};

} // namespace

/////////////////////////////////////////////////////////////////////////////
// Data

BEGIN_MESSAGE_MAP(CQUPlotDetailsBoxData, CQUPlotDetailsPlotObjTab)
    ON_CBN_SELCHANGE(IDC_PD_BOXD_TYPE, OnTypeChange)
    ON_CBN_SELCHANGE(IDC_PD_BOXD_CURVE_TYPE, OnCurveChange)
    ON_BN_CLICKED(IDC_PD_BOXD_AUTO_BIN, OnAutoBinning)
    ON_EN_KILLFOCUS(IDC_PD_BOXD_BIN_SIZE, OnBinKillFocus)
    ON_EN_KILLFOCUS(IDC_PD_BOXD_BIN_BEGIN, OnBinKillFocus)
    ON_EN_KILLFOCUS(IDC_PD_BOXD_BIN_END, OnBinKillFocus)
    ON_WM_PAINT()
END_MESSAGE_MAP()

CQUPlotDetailsBoxData::CQUPlotDetailsBoxData()
    : CQUPlotDetailsPlotObjTab(IDD_PD_BOX_DATA), m_nAlign(0), m_bFilling(FALSE)
{
}

void CQUPlotDetailsBoxData::InitControls()
{
    m_cbType.SubclassDlgItem(IDC_PD_BOXD_TYPE, this);
    m_cbCurve.SubclassDlgItem(IDC_PD_BOXD_CURVE_TYPE, this);
    m_cbScale.SubclassDlgItem(IDC_PD_BOXD_CURVE_SCALE, this);
    FillFromKernelList(m_cbType, qkfxGetDotPlotTypeName);
    FillFromKernelList(m_cbCurve, qkfxGetBoxCurveName);
    PDFillComboFromString(m_cbScale, IDS_PD_CURVE_SCALES);
}

void CQUPlotDetailsBoxData::ObjectToControls()
{
    CQKPlotObj* plot = GetPlot();
    m_bFilling = TRUE;
    m_cbType.SetCurSel(plot->GetDotPlotType());
    CheckDlgButton(IDC_PD_BOXD_SINGLE, plot->GetSingleBlock());
    CheckDlgButton(IDC_PD_BOXD_SNAP, plot->GetSnapData());
    CheckDlgButton(IDC_PD_BOXD_AUTO_BIN, !plot->IsBinUserDef());
    SetDlgItemText(IDC_PD_BOXD_BIN_SIZE, NumberText(plot->GetBinSize()));
    SetDlgItemText(IDC_PD_BOXD_BIN_BEGIN, NumberText(plot->GetBinBegin()));
    SetDlgItemText(IDC_PD_BOXD_BIN_END, NumberText(plot->GetBinEnd()));
    SetDlgItemText(IDC_PD_BOXD_BIN_HEIGHT, NumberText(plot->GetBinHeight()));
    m_cbCurve.SetCurSel(plot->GetCurveType());
    PDShowRounded(m_cbScale, plot->GetCurveScale());
    m_nAlign = plot->GetBinAlign();
    const int radios[3] = {IDC_PD_BOXD_ALIGN_CENTER, IDC_PD_BOXD_ALIGN_RIGHT, IDC_PD_BOXD_ALIGN_LEFT};
    CheckRadioButton(IDC_PD_BOXD_ALIGN_CENTER, IDC_PD_BOXD_ALIGN_RIGHT, radios[std::max(0, std::min(2, m_nAlign))]);
    AutoBinningRule();
    EnableRule();
    if (plot->IsIndependence())
        EnableAllControls(FALSE);
    if (plot->IsHistogramPlot()) {
        // A histogram's bars are its own; the page sets only its bins and curve.
        EnableAllControls(TRUE);
        for (int id : {IDC_PD_BOXD_TYPE, IDC_PD_BOXD_ALIGN_CENTER, IDC_PD_BOXD_ALIGN_RIGHT, IDC_PD_BOXD_ALIGN_LEFT,
                       IDC_PD_BOXD_PREVIEW, IDC_PD_BOXD_SNAP, IDC_PD_BOXD_BIN_HEIGHT, IDC_PD_BOXD_ALIGN_GROUP,
                       IDC_PD_BOXD_SINGLE})
            Enable(this, id, FALSE);
    }
    m_bFilling = FALSE;
    Invalidate();
}

void CQUPlotDetailsBoxData::ControlsToObject()
{
    CQKPlotObj* plot = GetPlot();
    plot->SetDotPlotType(m_cbType.GetCurSel());
    plot->SetSingleBlock(IsDlgButtonChecked(IDC_PD_BOXD_SINGLE));
    plot->SetSnapData(IsDlgButtonChecked(IDC_PD_BOXD_SNAP));
    const BOOL user = !IsDlgButtonChecked(IDC_PD_BOXD_AUTO_BIN);
    plot->SetBinUserDef(user);
    double value;
    if (user) {
        if (ReadEdit(this, IDC_PD_BOXD_BIN_SIZE, value) && value != 0)
            plot->SetBinSize(value);
        if (ReadEdit(this, IDC_PD_BOXD_BIN_BEGIN, value))
            plot->SetBinBegin(value);
        if (ReadEdit(this, IDC_PD_BOXD_BIN_END, value))
            plot->SetBinEnd(value);
    }
    if (ReadEdit(this, IDC_PD_BOXD_BIN_HEIGHT, value))
        plot->SetBinHeight(value);
    plot->SetCurveType(std::max(0, m_cbCurve.GetCurSel()));
    CString text;
    m_cbScale.GetWindowText(text);
    if (PDReadNumber(text, value))
        plot->SetCurveScale(value);
    plot->SetBinAlign(m_nAlign);
}

void CQUPlotDetailsBoxData::EnableRule()
{
    Enable(this, IDC_PD_BOXD_SINGLE, m_cbType.GetCurSel() != 0);
    m_cbScale.EnableWindow(m_cbCurve.GetCurSel() > 0);
}

void CQUPlotDetailsBoxData::AutoBinningRule()
{
    const BOOL automatic = IsDlgButtonChecked(IDC_PD_BOXD_AUTO_BIN) == BST_CHECKED;
    for (int id : kBinEdits)
        if (CEdit* edit = (CEdit*)GetDlgItem(id))
            edit->SetReadOnly(automatic);
    if (automatic) {
        CQKPlotObj* plot = GetPlot();
        const BOOL filling = m_bFilling;
        m_bFilling = TRUE;
        SetDlgItemText(IDC_PD_BOXD_BIN_SIZE, NumberText(plot->GetAutoBinSize()));
        SetDlgItemText(IDC_PD_BOXD_BIN_BEGIN, NumberText(plot->GetAutoBinBegin()));
        SetDlgItemText(IDC_PD_BOXD_BIN_END, NumberText(plot->GetAutoBinEnd()));
        m_bFilling = filling;
    }
    CountBins();
}

void CQUPlotDetailsBoxData::CountBins()
{
    CQKPlotObj* plot = GetPlot();
    double size = 0, begin = 0, end = 0;
    ReadEdit(this, IDC_PD_BOXD_BIN_SIZE, size);
    ReadEdit(this, IDC_PD_BOXD_BIN_BEGIN, begin);
    ReadEdit(this, IDC_PD_BOXD_BIN_END, end);
    if (size == 0) {
        SetDlgItemText(IDC_PD_BOXD_BIN_SIZE, NumberText(plot->GetBinSize()));
        CString message;
        message.LoadString(IDS_PD_ZERO_BIN_WIDTH);
        MessageBox(message, nullptr, MB_OK);
        return;
    }
    const double n = ceil(fabs(end - begin) / fabs(size) - 1e-9);
    if (n <= kMaxBins) {
        SetDlgItemInt(IDC_PD_BOXD_BIN_COUNT, (UINT)n, FALSE);
        return;
    }
    SetDlgItemText(IDC_PD_BOXD_BIN_SIZE, NumberText(plot->GetBinSize()));
    SetDlgItemText(IDC_PD_BOXD_BIN_BEGIN, NumberText(plot->GetBinBegin()));
    SetDlgItemText(IDC_PD_BOXD_BIN_END, NumberText(plot->GetBinEnd()));
    CString format, message;
    format.LoadString(IDS_PD_BIN_COUNT_EXCEEDS);
    message.Format(format, kMaxBins);
    MessageBox(message, nullptr, MB_OK);
}

void CQUPlotDetailsBoxData::StoreAndCheckTabs()
{
    ControlsToObject();
    if (CQUPlotDetailsTabChecker* checker = GetTabChecker())
        checker->CheckTabs(FALSE);
}

void CQUPlotDetailsBoxData::OnTypeChange()
{
    EnableRule();
    StoreAndCheckTabs();
    Invalidate();
}

void CQUPlotDetailsBoxData::OnCurveChange()
{
    EnableRule();
    StoreAndCheckTabs();
    Invalidate();
}

void CQUPlotDetailsBoxData::OnAutoBinning()
{
    AutoBinningRule();
}

void CQUPlotDetailsBoxData::OnBinKillFocus()
{
    if (!m_bFilling)
        CountBins();
}

BOOL CQUPlotDetailsBoxData::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT id = LOWORD(wParam), code = HIWORD(wParam);
    if (code == BN_CLICKED) {
        const int align = id == IDC_PD_BOXD_ALIGN_CENTER ? 0 : id == IDC_PD_BOXD_ALIGN_RIGHT ? 1
                        : id == IDC_PD_BOXD_ALIGN_LEFT  ? 2
                                                        : -1;
        if (align >= 0) {
            m_nAlign = align;
            Invalidate();
        } else if (id == IDC_PD_BOXD_SINGLE) {
            Invalidate();
        }
    }
    return CQUPlotDetailsPlotObjTab::OnCommand(wParam, lParam);
}

// A sketch of the data beside the box: points, bars growing from the data's place as the
// alignment says (one outline when single), and the curve over them.
void CQUPlotDetailsBoxData::OnPaint()
{
    CPaintDC dc(this);
    CRect r;
    if (!m_cbType.m_hWnd || !PaintPreviewArea(dc, IDC_PD_BOXD_PREVIEW, &r))
        return;
    const int type = m_cbType.GetCurSel(), curve = m_cbCurve.GetCurSel();
    const BOOL single = IsDlgButtonChecked(IDC_PD_BOXD_SINGLE) == BST_CHECKED;
    const int x = r.CenterPoint().x, bins = 7, h = r.Height() / (bins + 2);
    static const int counts[bins] = {1, 3, 5, 7, 5, 3, 1};
    CPen pen(PS_SOLID, 1, RGB(0, 0, 0));
    CPen* oldPen = dc.SelectObject(&pen);
    CBrush gray(RGB(192, 192, 192));
    CBrush* oldBrush = dc.SelectObject(&gray);
    auto extent = [&](int count, int& left, int& right) {
        const int w = count * (r.Width() / 2 - 4) / 7;
        left = m_nAlign == 1 ? x : m_nAlign == 2 ? x - w : x - w / 2;
        right = m_nAlign == 1 ? x + w : m_nAlign == 2 ? x : x + w / 2;
    };
    if (type == 1 || type == 2)
        for (int i = 0; i < bins; ++i) {
            int left, right;
            extent(counts[i], left, right);
            const int top = r.top + h * (i + 1);
            if (single)
                dc.FillSolidRect(left, top, right - left, h, RGB(192, 192, 192));
            else
                dc.Rectangle(left, top, right + 1, top + h + 1);
        }
    if (type == 0 || type == 2)
        for (int i = 0; i < bins; ++i)
            for (int k = 0; k < (counts[i] + 1) / 2; ++k) {
                const int y = r.top + h * (i + 1) + h / 2, px = x + (m_nAlign == 2 ? -k * 5 : m_nAlign == 1 ? k * 5 : (k % 2 ? 1 : -1) * ((k + 1) / 2) * 5);
                dc.Ellipse(px - 2, y - 2, px + 3, y + 3);
            }
    if (curve > 0) {
        CPen red(PS_SOLID, 1, RGB(255, 0, 0));
        dc.SelectObject(&red);
        for (int i = 0; i <= 40; ++i) {
            const double t = (i - 20) / 8.0;
            int left, right;
            extent((int)(7 * exp(-t * t / 2) + 0.5), left, right);
            const int y = r.top + h + (bins * h) * i / 40;
            const POINT p = {m_nAlign == 2 ? left : right, y};
            if (i == 0)
                dc.MoveTo(p);
            else
                dc.LineTo(p);
        }
        dc.SelectObject(&pen);
    }
    dc.SelectObject(oldBrush);
    dc.SelectObject(oldPen);
}

/////////////////////////////////////////////////////////////////////////////
// Percentile

namespace {
CQKSymbolGalleryWellButton* g_wellButtons[5] = {};
}

CQKSymbolGalleryWellButton* CQUPlotDetailsPercentile::GetWellButton(int percentile)
{
    return percentile >= 1 && percentile <= 5 ? g_wellButtons[percentile - 1] : nullptr;
}

void CQUPlotDetailsPercentile::CreateWellButtons()
{
    for (auto*& button : g_wellButtons)
        if (!button)
            button = new CQKSymbolGalleryWellButton;
}

void CQUPlotDetailsPercentile::DestroyWellButtons()
{
    for (auto*& button : g_wellButtons) {
        if (button)
            button->ReleaseButton();
        delete button;
        button = nullptr;
    }
}

BEGIN_MESSAGE_MAP(CQUPlotDetailsPercentile, CQUPlotDetailsPlotObjTab)
    ON_MESSAGE(WM_PD_WELL_PICK, OnWellPick)
    ON_WM_DESTROY()
    ON_CBN_SELCHANGE(IDC_PD_PERC_EDGE, OnColorChange)
    ON_CBN_SELCHANGE(IDC_PD_PERC_FILL, OnColorChange)
END_MESSAGE_MAP()

void CQUPlotDetailsPercentile::OnColorChange()
{
    for (int p = 1; p <= 5; ++p)
        ShowSymbol(p);
}

CQUPlotDetailsPercentile::CQUPlotDetailsPercentile()
    : CQUPlotDetailsPlotObjTab(IDD_PD_PERCENTILE), m_style{}, m_first{}, m_second{}
{
}

int CQUPlotDetailsPercentile::PercentileOf(UINT id)
{
    switch (id) {
    case IDC_PD_PERC_MAX: return 5;
    case IDC_PD_PERC_99: return 4;
    case IDC_PD_PERC_MEAN: return 3;
    case IDC_PD_PERC_1: return 2;
    case IDC_PD_PERC_MIN: return 1;
    default: return 0;
    }
}

void CQUPlotDetailsPercentile::InitControls()
{
    // The gallery offers characters when the graph settings do.
    const BOOL characters = qkfxGetQrxSystem().GetRefGraph().HasAlphaChar() == 1;
    for (UINT id : {IDC_PD_PERC_MAX, IDC_PD_PERC_99, IDC_PD_PERC_MEAN, IDC_PD_PERC_1, IDC_PD_PERC_MIN}) {
        CQKSymbolGalleryWellButton* button = GetWellButton(PercentileOf(id));
        if (!button)
            continue;
        button->SetWithCharacters(characters);
        button->SetWellDimension(0, CQKSymbolManager::GetGalleryColumns(), characters ? 4 : 2);
        button->MakeButton(this, id);
    }
    m_cbSize.SubclassDlgItem(IDC_PD_PERC_SIZE, this);
    m_cbEdge.SubclassDlgItem(IDC_PD_PERC_EDGE, this);
    m_cbFill.SubclassDlgItem(IDC_PD_PERC_FILL, this);
    PDFillComboFromString(m_cbSize, IDS_PD_PERC_SIZES);
    PDFillColorNames(m_cbEdge, "Automatic");
    PDFillColorNames(m_cbFill, "Automatic");
}

void CQUPlotDetailsPercentile::OnDestroy()
{
    // The buttons outlive the page: they let go of its windows.
    for (int p = 1; p <= 5; ++p)
        if (CQKSymbolGalleryWellButton* button = GetWellButton(p))
            if (button->m_hWnd && ::GetParent(button->m_hWnd) == m_hWnd)
                button->ReleaseButton();
    CQUPlotDetailsPlotObjTab::OnDestroy();
}

void CQUPlotDetailsPercentile::ShowSymbol(int p)
{
    CQKSymbolGalleryWellButton* button = GetWellButton(p);
    if (!button)
        return;
    CQKPlotObj* plot = GetPlot();
    if (m_style[p - 1])
        button->SetConstructedCharacter(m_style[p - 1], m_first[p - 1], m_second[p - 1]);
    else
        button->SetConstructedSymbol(m_first[p - 1], m_second[p - 1], 0);
    button->SetCurrentCell(qkfxGetSymbolManager()->FindGalleryCell(m_style[p - 1], m_first[p - 1], m_second[p - 1]));
    const int edge = PDIndexToColor(m_cbEdge.GetCurSel());
    const int fill = PDIndexToColor(m_cbFill.GetCurSel());
    button->SetColors(plot->GetColor(), edge < 0 ? std::max(0, plot->GetBorderColor(0)) : edge,
                      fill < 0 ? plot->GetActualColorForAutoColor(2) : fill);
    if (button->m_hWnd && ::GetParent(button->m_hWnd) == m_hWnd)
        button->SetOwnerDrawSurface();
}

void CQUPlotDetailsPercentile::ObjectToControls()
{
    CQKPlotObj* plot = GetPlot();
    SetDlgItemInt(IDC_PD_PERC_SIZE, plot->GetPercSymbolSize(), TRUE);
    m_cbEdge.SetCurSel(PDColorToIndex(plot->GetSymbolColor()));
    m_cbFill.SetCurSel(PDColorToIndex(plot->GetBoxSymbolFill()));
    for (int p = 5; p >= 1; --p) {
        m_style[p - 1] = plot->GetSymbolStyle(p);
        m_first[p - 1] = m_style[p - 1] ? plot->GetCharFont(p) : plot->GetSymbolType(p);
        m_second[p - 1] = m_style[p - 1] ? plot->GetCharStyle(p) : plot->GetSymbolFill(p);
        ShowSymbol(p);
    }
}

void CQUPlotDetailsPercentile::ControlsToObject()
{
    CQKPlotObj* plot = GetPlot();
    for (int p = 5; p >= 1; --p) {
        plot->SetSymbolStyle(m_style[p - 1], p);
        if (m_style[p - 1]) {
            plot->SetCharFont(m_first[p - 1], p);
            plot->SetCharStyle(m_second[p - 1], p);
        } else {
            plot->SetSymbolType(m_first[p - 1], p);
            plot->SetSymbolFill(m_second[p - 1], p);
        }
    }
    CString text;
    m_cbSize.GetWindowText(text);
    double size;
    // A size out of range keeps the plot's.
    if (PDReadNumber(text, size))
        plot->SetPercSymbolSize((int)floor(size + 0.5));
    plot->SetSymbolColor(PDIndexToColor(m_cbEdge.GetCurSel()));
    plot->SetBoxSymbolFill(PDIndexToColor(m_cbFill.GetCurSel()));
}

LRESULT CQUPlotDetailsPercentile::OnWellPick(WPARAM wParam, LPARAM lParam)
{
    const int p = PercentileOf((UINT)wParam);
    QKGalleryEntry e;
    if (!p || !qkfxGetSymbolManager()->GetGalleryEntry((int)lParam, e) || e.kind == 2)
        return 0;
    m_style[p - 1] = e.kind == 0 ? 0 : e.character;
    m_first[p - 1] = e.shape;
    m_second[p - 1] = e.fill;
    ShowSymbol(p);
    CQUPlotDetailsPlotObjTab::OnCommand(wParam, lParam);
    return 0;
}
