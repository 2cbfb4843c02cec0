#include "PlotPages.h"

#include <math.h>
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>

#include "LayerPages.h"
#include "ObjectsResources.h"
#include "PlotDetailsResources.h"
#include "PlotDetailsTabChecker.h"
#include "PlotPagesResources.h"
#include "QKData.h"
#include "QKScript.h"
#include "QUControls.h"

namespace {

// The kernel's lists name a worksheet column of the plot as 100 + its place from 0.
const int kFirstColumnCode = 100, kLastColumnCode = 124;

void FillFontNames(CComboBox& combo)
{
    for (int i = 0; i < CQKFontManager::GetFontCount(); ++i) {
        std::string name;
        CQKFontManager::GetFontName(i, name);
        combo.AddString(name.c_str());
    }
}

void ShowItem(CWnd* page, int id, BOOL show)
{
    if (CWnd* w = page->GetDlgItem(id))
        w->ShowWindow(show ? SW_SHOW : SW_HIDE);
}

void EnableItem(CWnd* page, int id, BOOL enable)
{
    if (CWnd* w = page->GetDlgItem(id))
        w->EnableWindow(enable);
}

void RecheckTabs(CQUPlotDetailsPlotObjTab* page)
{
    if (CQUPlotDetailsTabChecker* checker = page->GetTabChecker())
        checker->CheckTabs(FALSE);
}

bool ReadEditNumber(CWnd* page, int id, double& value)
{
    CString text;
    page->GetDlgItemText(id, text);
    return PDReadNumber(text, value);
}

} // namespace

/////////////////////////////////////////////////////////////////////////////
// Helpers

CQUPDStyleBar::CQUPDStyleBar() : m_pBar(nullptr) {}

CQUPDStyleBar::~CQUPDStyleBar()
{
    delete m_pBar;
}

void CQUPDStyleBar::Create(CWnd* pPage, int placeId)
{
    CWnd* place = pPage->GetDlgItem(placeId);
    CRect rect;
    place->GetWindowRect(&rect);
    pPage->ScreenToClient(&rect);
    place->DestroyWindow();
    m_pBar = new CQUImageToolBarCtrl(3, 1);
    m_pBar->m_bButtonStyle = TBSTYLE_CHECK;
    m_pBar->Create(0x5000014C, rect, pPage, placeId);
}

void CQUPDStyleBar::SetFlags(int flags)
{
    m_pBar->CheckButton(IDC_PD_STYLE_BOLD, (flags & 8) != 0);
    m_pBar->CheckButton(IDC_PD_STYLE_ITALIC, (flags & 2) != 0);
    m_pBar->CheckButton(IDC_PD_STYLE_UNDERLINE, (flags & 1) != 0);
}

int CQUPDStyleBar::GetFlags() const
{
    return (m_pBar->IsButtonChecked(IDC_PD_STYLE_BOLD) ? 8 : 0) | (m_pBar->IsButtonChecked(IDC_PD_STYLE_ITALIC) ? 2 : 0) |
           (m_pBar->IsButtonChecked(IDC_PD_STYLE_UNDERLINE) ? 1 : 0);
}

bool PDComboNumber(CComboBox& combo, double& value, bool selected)
{
    CString text;
    const int sel = combo.GetCurSel();
    if (selected && sel != CB_ERR)
        combo.GetLBText(sel, text);
    else
        combo.GetWindowText(text);
    return PDReadNumber(text, value);
}

void PDCorrectNumberEdit(CWnd* pPage, int id, int low, int high, bool allowMinus)
{
    CString text;
    pPage->GetDlgItemText(id, text);
    if (allowMinus && text == "-")
        return;
    double value = 0;
    int corrected;
    if (text.IsEmpty() || !PDReadNumber(text, value) || value != floor(value))
        corrected = low < 0 ? 0 : low;
    else if (value < low)
        corrected = low;
    else if (value > high)
        corrected = high;
    else
        return;
    CString shown;
    shown.Format("%d", corrected);
    pPage->SetDlgItemText(id, shown);
    CEdit* edit = (CEdit*)pPage->GetDlgItem(id);
    edit->SetSel(0, -1);
}

/////////////////////////////////////////////////////////////////////////////
// Drop Lines

namespace {

// The three blocks: check, style, width, colour, and the bit of the drop-line type.
struct DropBlock {
    int check, style, width, color, bit;
};
const DropBlock kDropBlocks[3] = {
    {IDC_PD_DROP_HORI, IDC_PD_DROP_HORI_STYLE, IDC_PD_DROP_HORI_WIDTH, IDC_PD_DROP_HORI_COLOR, 2},
    {IDC_PD_DROP_VERT, IDC_PD_DROP_VERT_STYLE, IDC_PD_DROP_VERT_WIDTH, IDC_PD_DROP_VERT_COLOR, 1},
    {IDC_PD_DROP_Z, IDC_PD_DROP_Z_STYLE, IDC_PD_DROP_Z_WIDTH, IDC_PD_DROP_Z_COLOR, 4},
};

} // namespace

BEGIN_MESSAGE_MAP(CQUPlotDetailsDataPoints, CQUPlotDetailsPlotObjTab)
    ON_BN_CLICKED(IDC_PD_DROP_HORI, OnBlockCheck)
    ON_BN_CLICKED(IDC_PD_DROP_VERT, OnBlockCheck)
    ON_BN_CLICKED(IDC_PD_DROP_Z, OnBlockCheck)
    ON_BN_CLICKED(IDC_PD_DROP_SKIP, OnSkip)
END_MESSAGE_MAP()

CQUPlotDetailsDataPoints::CQUPlotDetailsDataPoints() : CQUPlotDetailsPlotObjTab(IDD_PD_DROP_LINES)
{
    m_bAvailable[0] = m_bAvailable[1] = TRUE;
    m_bAvailable[2] = FALSE;
}

void CQUPlotDetailsDataPoints::InitControls()
{
    for (int i = 0; i < 3; ++i) {
        m_cbStyle[i].SubclassDlgItem(kDropBlocks[i].style, this);
        m_cbWidth[i].SubclassDlgItem(kDropBlocks[i].width, this);
        m_cbColor[i].SubclassDlgItem(kDropBlocks[i].color, this);
        PDFillComboFromString(m_cbStyle[i], IDS_QD_LINE_TYPES);
        PDFillComboFromString(m_cbWidth[i], IDS_QD_LINE_WIDTHS);
        PDFillColorNames(m_cbColor[i], "Automatic");
    }
}

void CQUPlotDetailsDataPoints::ShowControlsForObject()
{
    CQKPlotObj* plot = GetPlot();
    const BOOL is3D = plot->Is3DPlot();
    const BOOL triangular = plot->HasTriangularFrame();
    const BOOL z = is3D || triangular;
    for (int id : {kDropBlocks[2].check, kDropBlocks[2].style, kDropBlocks[2].width, kDropBlocks[2].color})
        ShowItem(this, id, z);
    BOOL skip = !is3D && !plot->HasOnlyPointInDataSet() && !plot->IsSpecialPoint();
    bool enableByAvailability = false;
    if (is3D) {
        // A 3D plot's drop lines run parallel to the axes it has.
        m_bAvailable[0] = m_bAvailable[1] = m_bAvailable[2] = TRUE;
        enableByAvailability = true;
    } else if (triangular) {
        m_bAvailable[0] = m_bAvailable[1] = m_bAvailable[2] = TRUE;
        enableByAvailability = true;
    } else if ((plot->IsLineSymbolPlot() || plot->IsAreaPlot()) && plot->Has3DFrame()) {
        m_bAvailable[0] = FALSE;
        m_bAvailable[1] = TRUE;
        m_bAvailable[2] = FALSE;
        for (int id : {kDropBlocks[0].check, kDropBlocks[0].style, kDropBlocks[0].width, kDropBlocks[0].color})
            EnableItem(this, id, FALSE);
        skip = FALSE;
    } else {
        m_bAvailable[0] = m_bAvailable[1] = TRUE;
        m_bAvailable[2] = FALSE;
    }
    if (enableByAvailability)
        for (int i = 0; i < 3; ++i)
            for (int id : {kDropBlocks[i].check, kDropBlocks[i].style, kDropBlocks[i].width, kDropBlocks[i].color})
                EnableItem(this, id, m_bAvailable[i]);
    for (int id : {IDC_PD_DROP_SKIP, IDC_PD_DROP_SKIP_EVERY, IDC_PD_DROP_GROUP})
        ShowItem(this, id, skip);
    std::vector<CString> captions;
    CString list;
    list.LoadString(z ? IDS_PD_DROP_3D : IDS_PD_DROP_2D);
    std::vector<CString> names = PDSplitList(list);
    for (size_t i = 0; i < names.size() && i < 3; ++i)
        SetDlgItemText(kDropBlocks[i].check, names[i]);
}

void CQUPlotDetailsDataPoints::ApplyEnableRules()
{
    for (int i = 0; i < 3; ++i) {
        if (!m_bAvailable[i])
            continue;
        const BOOL on = IsDlgButtonChecked(kDropBlocks[i].check);
        for (int id : {kDropBlocks[i].style, kDropBlocks[i].width, kDropBlocks[i].color})
            EnableItem(this, id, on);
    }
}

void CQUPlotDetailsDataPoints::ApplySkipRule()
{
    const int every = GetPlot()->GetSkipFrequency();
    CString text;
    text.Format("%d", every == 0 ? 2 : every);
    SetDlgItemText(IDC_PD_DROP_SKIP_EVERY, text);
    EnableItem(this, IDC_PD_DROP_SKIP_EVERY, IsDlgButtonChecked(IDC_PD_DROP_SKIP));
}

void CQUPlotDetailsDataPoints::ObjectToControls()
{
    CQKPlotObj* plot = GetPlot();
    const int type = plot->GetDropLineType();
    for (int i = 0; i < 3; ++i)
        CheckDlgButton(kDropBlocks[i].check, (type & kDropBlocks[i].bit) != 0);
    CheckDlgButton(IDC_PD_DROP_SKIP, plot->IsSkipPlottingSymbols());
    ApplyEnableRules();
    ApplySkipRule();
    const double widths[3] = {plot->GetHoriLineWidth(), plot->GetVertLineWidth(), plot->GetZLineWidth()};
    const int styles[3] = {plot->GetHoriLineType(), plot->GetVertLineType(), plot->GetZLineType()};
    const int colors[3] = {plot->GetHoriLineColor(), plot->GetVertLineColor(), plot->GetZLineColor()};
    for (int i = 0; i < 3; ++i) {
        if (!m_bAvailable[i])
            continue;
        PDShowRounded(m_cbWidth[i], widths[i]);
        m_cbStyle[i].SetCurSel(styles[i]);
        m_cbColor[i].SetCurSel(PDColorToIndex(colors[i]));
    }
}

void CQUPlotDetailsDataPoints::ControlsToObject()
{
    CQKPlotObj* plot = GetPlot();
    int type = 0;
    for (int i = 0; i < 3; ++i) {
        if (!m_bAvailable[i])
            continue;
        double width;
        const bool widthOk = PDComboNumber(m_cbWidth[i], width) && width >= 0;
        const int style = m_cbStyle[i].GetCurSel(), color = PDIndexToColor(m_cbColor[i].GetCurSel());
        switch (i) {
        case 0:
            if (widthOk)
                plot->SetHoriLineWidth(width);
            plot->SetHoriLineType(style);
            plot->SetHoriLineColor(color);
            break;
        case 1:
            if (widthOk)
                plot->SetVertLineWidth(width);
            plot->SetVertLineType(style);
            plot->SetVertLineColor(color);
            break;
        default:
            if (widthOk)
                plot->SetZLineWidth(width);
            plot->SetZLineType(style);
            plot->SetZLineColor(color);
            break;
        }
        if (IsDlgButtonChecked(kDropBlocks[i].check))
            type += kDropBlocks[i].bit;
    }
    if (IsDlgButtonChecked(IDC_PD_DROP_SKIP)) {
        double every;
        // A frequency that is no whole number above 0 keeps the plot's.
        if (ReadEditNumber(this, IDC_PD_DROP_SKIP_EVERY, every) && every >= 1)
            plot->SetSkipFrequency((int)every);
    }
    plot->SetDropLineType(type);
    plot->SetSkipPlottingSymbols(IsDlgButtonChecked(IDC_PD_DROP_SKIP));
}

void CQUPlotDetailsDataPoints::OnBlockCheck()
{
    ApplyEnableRules();
}

void CQUPlotDetailsDataPoints::OnSkip()
{
    EnableItem(this, IDC_PD_DROP_SKIP_EVERY, IsDlgButtonChecked(IDC_PD_DROP_SKIP));
}

/////////////////////////////////////////////////////////////////////////////
// Label

CQUPlotDetailsFont::CQUPlotDetailsFont() : CQUPlotDetailsPlotObjTab(IDD_PD_LABEL) {}

void CQUPlotDetailsFont::InitControls()
{
    m_cbFont.SubclassDlgItem(IDC_PD_LBL_FONT, this);
    m_cbColor.SubclassDlgItem(IDC_PD_LBL_COLOR, this);
    m_cbSize.SubclassDlgItem(IDC_PD_LBL_SIZE, this);
    m_cbJustify.SubclassDlgItem(IDC_PD_LBL_JUSTIFY, this);
    m_cbAttach.SubclassDlgItem(IDC_PD_LBL_ATTACH, this);
    PDFillColorNames(m_cbColor, nullptr);
    PDFillComboFromString(m_cbSize, IDS_QD_FONT_SIZES);
    FillFontNames(m_cbFont);
    PDFillComboFromString(m_cbAttach, IDS_PD_ATTACHMENTS);
    PDFillComboFromString(m_cbJustify, IDS_PD_JUSTIFICATIONS);
    m_style.Create(this, IDC_PD_LBL_STYLE_BAR);
    ShowControlsForObject();
}

void CQUPlotDetailsFont::ShowControlsForObject()
{
    CQKPlotObj* plot = GetPlot();
    const struct {
        int feature;
        int ids[4];
    } features[] = {
        {1, {IDC_PD_LBL_ROTATE, IDC_PD_LBL_ROTATE_LABEL}},
        {2, {IDC_PD_LBL_X_OFFSET, IDC_PD_LBL_X_OFFSET_LABEL, IDC_PD_LBL_Y_OFFSET, IDC_PD_LBL_Y_OFFSET_LABEL}},
        {3, {IDC_PD_LBL_ATTACH, IDC_PD_LBL_ATTACH_LABEL}},
        {4, {IDC_PD_LBL_JUSTIFY, IDC_PD_LBL_JUSTIFY_LABEL}},
    };
    for (const auto& f : features)
        for (int id : f.ids)
            if (id)
                ShowItem(this, id, plot->HasFont(f.feature));
}

void CQUPlotDetailsFont::ObjectToControls()
{
    CQKPlotObj* plot = GetPlot();
    m_cbFont.SetCurSel(plot->GetFontType());
    m_cbColor.SetCurSel(plot->GetTextColor());
    CString text;
    text.Format("%d", plot->GetFontSize());
    m_cbSize.SetWindowText(text);
    m_cbJustify.SetCurSel(plot->GetTextJustification());
    const int attachment = plot->GetTextAttachment();
    m_cbAttach.SetCurSel(attachment >= 0 ? attachment : -1);
    const struct {
        int id;
        double value;
    } numbers[] = {{IDC_PD_LBL_ROTATE, plot->GetTextRotation()},
                   {IDC_PD_LBL_X_OFFSET, plot->GetTextXOffset()},
                   {IDC_PD_LBL_Y_OFFSET, plot->GetTextYOffset()}};
    for (const auto& n : numbers) {
        text.Format("%d", (int)n.value);
        SetDlgItemText(n.id, text);
    }
    m_style.SetFlags(plot->GetFontStyle());
    CheckDlgButton(IDC_PD_LBL_WHITE_OUT, plot->IsWhiteOut());
}

void CQUPlotDetailsFont::ControlsToObject()
{
    CQKPlotObj* plot = GetPlot();
    if (m_cbFont.GetCurSel() >= 0)
        plot->SetFontType(m_cbFont.GetCurSel());
    if (m_cbColor.GetCurSel() >= 0)
        plot->SetTextColor(m_cbColor.GetCurSel());
    double size;
    // A size that is no number, or none the kernel takes, keeps the plot's.
    if (PDComboNumber(m_cbSize, size))
        plot->SetFontSize((int)size);
    if (m_cbJustify.GetCurSel() >= 0)
        plot->SetTextJustification(m_cbJustify.GetCurSel());
    if (plot->GetTextAttachment() >= 0 && m_cbAttach.GetCurSel() >= 0)
        plot->SetTextAttachment(m_cbAttach.GetCurSel());
    double value;
    if (ReadEditNumber(this, IDC_PD_LBL_ROTATE, value))
        plot->SetTextRotation(value);
    if (ReadEditNumber(this, IDC_PD_LBL_X_OFFSET, value))
        plot->SetTextXOffset(value);
    if (ReadEditNumber(this, IDC_PD_LBL_Y_OFFSET, value))
        plot->SetTextYOffset(value);
    plot->SetFontStyle(m_style.GetFlags());
    plot->SetWhiteOut(IsDlgButtonChecked(IDC_PD_LBL_WHITE_OUT));
}

/////////////////////////////////////////////////////////////////////////////
// Error Bar

CQUPlotDetailsErrorBar::CQUPlotDetailsErrorBar() : CQUPlotDetailsPlotObjTab(IDD_PD_ERROR_BAR) {}

void CQUPlotDetailsErrorBar::InitControls()
{
    m_cbColor.SubclassDlgItem(IDC_PD_EB_COLOR, this);
    m_cbLineWidth.SubclassDlgItem(IDC_PD_EB_LINE_WIDTH, this);
    m_cbCapWidth.SubclassDlgItem(IDC_PD_EB_CAP_WIDTH, this);
    PDFillComboFromString(m_cbLineWidth, IDS_QD_LINE_WIDTHS);
    PDFillComboFromString(m_cbCapWidth, IDS_PD_CAP_WIDTHS);
    CQKErrorBar* bar = GetBar();
    const BOOL parent = bar && bar->GetParentPlotObj();
    // Bars of a plot may take its colour ("Automatic"); others have a colour of their own.
    PDFillColorNames(m_cbColor, parent ? "Automatic" : nullptr);
    ShowItem(this, IDC_PD_EB_THROUGH, parent);
    if (!bar)
        EnableAllControls(FALSE);
}

void CQUPlotDetailsErrorBar::ObjectToControls()
{
    CQKErrorBar* bar = GetBar();
    if (!bar)
        return;
    CString text;
    text.LoadString(bar->IsSpecialPoint() ? IDS_PD_EB_OF_POINT : IDS_PD_EB_OF);
    SetDlgItemText(IDC_PD_EB_TEXT, text + bar->GetName().c_str());
    const BOOL parent = bar->GetParentPlotObj() != nullptr;
    const int color = bar->GetErrorBarColor();
    m_cbColor.SetCurSel(parent ? PDColorToIndex(color) : std::max(0, color));
    CheckDlgButton(IDC_PD_EB_THROUGH, bar->IsThroughSymbol());
    CheckDlgButton(IDC_PD_EB_APPLY_ALL, bar->IsApplyToAll());
    CheckDlgButton(IDC_PD_EB_PLUS, bar->IsDirectionPlus());
    CheckDlgButton(IDC_PD_EB_MINUS, bar->IsDirectionMinus());
    CheckDlgButton(IDC_PD_EB_X, bar->IsDirectionX());
    CheckRadioButton(IDC_PD_EB_ABSOLUTE, IDC_PD_EB_RELATIVE,
                     bar->IsDirectionRelative() ? IDC_PD_EB_RELATIVE : IDC_PD_EB_ABSOLUTE);
    PDShowRounded(m_cbLineWidth, bar->GetLineWidth());
    PDShowRounded(m_cbCapWidth, bar->GetCapWidth());
    EnableItem(this, IDC_PD_EB_APPLY_ALL, !bar->IsSpecialPoint());
}

void CQUPlotDetailsErrorBar::ControlsToObject()
{
    CQKErrorBar* bar = GetBar();
    if (!bar)
        return;
    const BOOL parent = bar->GetParentPlotObj() != nullptr;
    const int sel = m_cbColor.GetCurSel();
    if (sel >= 0)
        bar->SetErrorBarColor(parent ? PDIndexToColor(sel) : sel);
    bar->EnableThroughSymbol(IsDlgButtonChecked(IDC_PD_EB_THROUGH));
    bar->EnableDirectionPlus(IsDlgButtonChecked(IDC_PD_EB_PLUS));
    bar->EnableDirectionMinus(IsDlgButtonChecked(IDC_PD_EB_MINUS));
    bar->EnableDirectionX(IsDlgButtonChecked(IDC_PD_EB_X));
    bar->EnableDirectionRelative(IsDlgButtonChecked(IDC_PD_EB_RELATIVE));
    double width;
    if (PDComboNumber(m_cbLineWidth, width) && width >= 0)
        bar->SetLineWidth(width);
    if (PDComboNumber(m_cbCapWidth, width) && width >= 0)
        bar->SetCapWidth(width);
    bar->EnableApplyToAll(IsDlgButtonChecked(IDC_PD_EB_APPLY_ALL));
}

/////////////////////////////////////////////////////////////////////////////
// Function

BEGIN_MESSAGE_MAP(CQUPlotDetailsFunction, CQUPlotDetailsPlotObjTab)
    ON_BN_CLICKED(IDC_PD_FN_ADD, OnAdd)
    ON_BN_CLICKED(IDC_PD_FN_UNDO, OnUndo)
    ON_CBN_SELCHANGE(IDC_PD_FN_LIST, OnListChange)
END_MESSAGE_MAP()

CQUPlotDetailsFunction::CQUPlotDetailsFunction() : CQUPlotDetailsPlotObjTab(IDD_PD_FUNCTION) {}

void CQUPlotDetailsFunction::InitControls()
{
    m_cbDensity.SubclassDlgItem(IDC_PD_FN_DENSITY, this);
    m_cbList.SubclassDlgItem(IDC_PD_FN_LIST, this);
    PDFillComboFromString(m_cbDensity, IDS_PD_DENSITIES);
    SetDlgItemText(IDC_PD_FN_FORMULA, "x");
    // Every built-in function but the catalogue's last entry.
    const int n = qkfxGetFunctionCount();
    for (int i = 0; i < n - 1; ++i) {
        const char* name = qkfxGetFunctionName(i);
        if (!name)
            continue;
        m_cbList.AddString(name);
        m_functions.push_back(i);
    }
    m_cbList.SetCurSel(0);
    GetDlgItem(IDC_PD_FN_FORMULA)->SetFocus();
}

void CQUPlotDetailsFunction::ShowDescription()
{
    const int sel = m_cbList.GetCurSel();
    const char* text = sel >= 0 && sel < (int)m_functions.size() ? qkfxGetFunctionDescription(m_functions[sel]) : nullptr;
    SetDlgItemText(IDC_PD_FN_DESCRIPTION, text ? text : "");
}

void CQUPlotDetailsFunction::ObjectToControls()
{
    CQKPlotObj* plot = GetPlot();
    SetDlgItemText(IDC_PD_FN_FORMULA, plot->GetFunctionToSeries().c_str());
    SetDlgItemText(IDC_PD_FN_NAME, plot->GetFunctionName().c_str());
    CheckDlgButton(IDC_PD_FN_SHOW, plot->GetFunctionShow());
    PDShowRounded(m_cbDensity, plot->GetFunctionDensity());
    ShowDescription();
}

void CQUPlotDetailsFunction::ControlsToObject()
{
    CQKPlotObj* plot = GetPlot();
    CString formula;
    GetDlgItemText(IDC_PD_FN_FORMULA, formula);
    plot->SetFunctionToSeries((const char*)formula);
    double density;
    if (PDComboNumber(m_cbDensity, density))
        plot->SetFunctionDensity(density);
    plot->SetFunctionShow(IsDlgButtonChecked(IDC_PD_FN_SHOW));
}

void CQUPlotDetailsFunction::OnAdd()
{
    const int sel = m_cbList.GetCurSel();
    if (sel < 0 || sel >= (int)m_functions.size())
        return;
    const char* inserted = qkfxGetFunctionText(m_functions[sel]);
    if (!inserted || !*inserted)
        return;
    CEdit* edit = (CEdit*)GetDlgItem(IDC_PD_FN_FORMULA);
    int start = 0, end = 0;
    edit->GetSel(start, end);
    CString all;
    edit->GetWindowText(all);
    // The selection goes inside the function's text, before its last character (the
    // closing bracket of a call).
    std::string text = inserted;
    const std::string selected = std::string((const char*)all).substr(start, end - start);
    text.insert(text.size() - 1, selected);
    edit->ReplaceSel(text.c_str(), TRUE);
    const int caret = start + (int)text.size() - 1;
    edit->SetSel(caret, caret);
    edit->SetFocus();
}

void CQUPlotDetailsFunction::OnUndo()
{
    ((CEdit*)GetDlgItem(IDC_PD_FN_FORMULA))->Undo();
}

void CQUPlotDetailsFunction::OnListChange()
{
    ShowDescription();
}

/////////////////////////////////////////////////////////////////////////////
// Vector

namespace {

const int kFlowIds[] = {IDC_PD_VEC_END_GROUP, IDC_PD_VEC_X_END_LABEL, IDC_PD_VEC_Y_END_LABEL, IDC_PD_VEC_X_END,
                        IDC_PD_VEC_Y_END};
const int kDirectionalIds[] = {IDC_PD_VEC_DATA_GROUP,       IDC_PD_VEC_ANGLE_LABEL, IDC_PD_VEC_ANGLE,
                               IDC_PD_VEC_MAGNITUDE_LABEL,  IDC_PD_VEC_MAGNITUDE,   IDC_PD_VEC_MULTIPLIER_LABEL,
                               IDC_PD_VEC_MULTIPLIER,       IDC_PD_VEC_POSITION_GROUP, IDC_PD_VEC_TAIL,
                               IDC_PD_VEC_MIDDLE,           IDC_PD_VEC_HEAD};

// The value an entry of a constants-and-columns list stands for: a column's code (its
// item data) or the number typed or chosen.
bool ListValue(CComboBox& combo, double& value, bool selected)
{
    CString text;
    const int sel = combo.GetCurSel();
    if (selected && sel != CB_ERR) {
        const DWORD_PTR data = combo.GetItemData(sel);
        if (data >= (DWORD_PTR)kFirstColumnCode) {
            value = (double)data;
            return true;
        }
        combo.GetLBText(sel, text);
        return PDReadNumber(text, value);
    }
    combo.GetWindowText(text);
    // A typed column name counts as the column.
    const int found = combo.FindStringExact(-1, text);
    if (found != CB_ERR && combo.GetItemData(found) >= (DWORD_PTR)kFirstColumnCode) {
        value = (double)combo.GetItemData(found);
        return true;
    }
    return PDReadNumber(text, value);
}

void SelectListValue(CComboBox& combo, double value)
{
    for (int i = 0; i < combo.GetCount(); ++i)
        if (combo.GetItemData(i) >= (DWORD_PTR)kFirstColumnCode && (double)combo.GetItemData(i) == value) {
            combo.SetCurSel(i);
            return;
        }
    PDShowRounded(combo, value);
}

} // namespace

BEGIN_MESSAGE_MAP(CQUPlotDetailsVector, CQUPlotDetailsPlotObjTab)
    ON_CBN_SELCHANGE(IDC_PD_VEC_COLOR, OnColorChange)
    ON_CBN_EDITCHANGE(IDC_PD_VEC_MAGNITUDE, OnMagnitudeEdit)
    ON_CBN_SELCHANGE(IDC_PD_VEC_MAGNITUDE, OnMagnitudeSelect)
    ON_MESSAGE(QK_WM_COLORMENU_CHOSEN, OnColorMenu)
END_MESSAGE_MAP()

CQUPlotDetailsVector::CQUPlotDetailsVector() : CQUPlotDetailsPlotObjTab(IDD_PD_VECTOR), m_nType(0) {}

void CQUPlotDetailsVector::FillColumns(CComboBox& combo, bool constantsFirst, UINT constants)
{
    combo.ResetContent();
    if (constantsFirst)
        PDFillComboFromString(combo, constants);
    CQKWksPage* wks = PDPlotWorksheet(GetPlot());
    for (int i = 1; wks && i <= wks->GetNumCols() && kFirstColumnCode + i - 1 <= kLastColumnCode; ++i) {
        CQKDataset* column = wks->GetColumn(i);
        std::string name = column->GetName();
        // The column's short name, after the worksheet's.
        const std::string prefix = wks->GetName() + "_";
        if (name.compare(0, prefix.size(), prefix) == 0)
            name = name.substr(prefix.size());
        const int at = combo.AddString(name.c_str());
        combo.SetItemData(at, kFirstColumnCode + i - 1);
    }
}

void CQUPlotDetailsVector::InitControls()
{
    struct {
        CComboBox* combo;
        int id;
    } const combos[] = {{&m_cbColor, IDC_PD_VEC_COLOR},         {&m_cbWidth, IDC_PD_VEC_WIDTH},
                        {&m_cbLength, IDC_PD_VEC_LENGTH},       {&m_cbHeadAngle, IDC_PD_VEC_ANGLE_HEAD},
                        {&m_cbXEnd, IDC_PD_VEC_X_END},          {&m_cbYEnd, IDC_PD_VEC_Y_END},
                        {&m_cbAngle, IDC_PD_VEC_ANGLE},         {&m_cbMagnitude, IDC_PD_VEC_MAGNITUDE},
                        {&m_cbMultiplier, IDC_PD_VEC_MULTIPLIER}};
    for (const auto& c : combos)
        c.combo->SubclassDlgItem(c.id, this);
    PDFillColorNames(m_cbColor, "Automatic");
    PDFillComboFromString(m_cbWidth, IDS_QD_LINE_WIDTHS);
    PDFillComboFromString(m_cbLength, IDS_PD_ARROW_LENGTHS);
    PDFillComboFromString(m_cbHeadAngle, IDS_PD_ARROW_ANGLES);
    PDFillComboFromString(m_cbMultiplier, IDS_PD_MULTIPLIERS);
    m_btnColor.CreateColorMenu(IDC_PD_VEC_COLOR_BUTTON, QK_COLOR_VECTOR, this, GetPlot());
    PDShowColorPair(this, IDC_PD_VEC_COLOR, m_btnColor);
}

void CQUPlotDetailsVector::BindColorControls()
{
    m_btnColor.ConnectToPlotObject(GetPlot());
    FillColumns(m_cbAngle, true, IDS_PD_VECTOR_ANGLES);
    FillColumns(m_cbMagnitude, true, IDS_PD_MAGNITUDES);
}

void CQUPlotDetailsVector::ShowKind(int type)
{
    for (int id : kFlowIds)
        ShowItem(this, id, type == 1);
    for (int id : kDirectionalIds)
        ShowItem(this, id, type == 0);
}

void CQUPlotDetailsVector::ObjectToControls()
{
    CQKPlotObj* plot = GetPlot();
    m_nType = plot->GetVectorType();
    ShowKind(m_nType);
    if (m_nType == 1) {
        SetCaption("Flow Vector");
        FillColumns(m_cbXEnd, false, 0);
        FillColumns(m_cbYEnd, false, 0);
        const int x = plot->GetXEnd(), y = plot->GetYEnd();
        m_cbXEnd.SetCurSel(x >= kFirstColumnCode && x <= kLastColumnCode ? x - kFirstColumnCode : -1);
        m_cbYEnd.SetCurSel(y >= kFirstColumnCode && y <= kLastColumnCode ? y - kFirstColumnCode : -1);
    } else if (m_nType == 0) {
        SetCaption("Directional Vector");
        SelectListValue(m_cbAngle, plot->GetAngle());
        SelectListValue(m_cbMagnitude, plot->GetMagnitude());
        PDShowRounded(m_cbMultiplier, plot->GetScalingFactor());
        CheckRadioButton(IDC_PD_VEC_TAIL, IDC_PD_VEC_HEAD, IDC_PD_VEC_TAIL + plot->GetPositionIndex());
    }
    m_cbColor.SetCurSel(PDColorToIndex(plot->GetVectorColor()));
    m_btnColor.SetAutoColor(plot->GetActualColorForAutoColor(1));
    m_btnColor.SetSelectedQCOLOR(plot->GetVectorColor());
    CheckRadioButton(IDC_PD_VEC_CLOSED, IDC_PD_VEC_OPEN, plot->IsArrowHeadClose() ? IDC_PD_VEC_CLOSED : IDC_PD_VEC_OPEN);
    CString text;
    text.Format("%d", plot->GetArrowLength());
    m_cbLength.SetWindowText(text);
    text.Format("%d", plot->GetArrowAngle());
    m_cbHeadAngle.SetWindowText(text);
    PDShowRounded(m_cbWidth, plot->GetVectorWidth());
}

void CQUPlotDetailsVector::ControlsToObject()
{
    CQKPlotObj* plot = GetPlot();
    double value;
    if (m_nType == 1) {
        // The list's entries are the worksheet's columns in order.
        if (m_cbXEnd.GetCurSel() >= 0)
            plot->SetXEnd(kFirstColumnCode + m_cbXEnd.GetCurSel());
        if (m_cbYEnd.GetCurSel() >= 0)
            plot->SetYEnd(kFirstColumnCode + m_cbYEnd.GetCurSel());
    } else if (m_nType == 0) {
        if (ListValue(m_cbAngle, value, false))
            plot->SetAngle(value);
        if (PDComboNumber(m_cbMultiplier, value) && value > 0)
            plot->SetScalingFactor(value);
        for (int i = 0; i < 3; ++i)
            if (IsDlgButtonChecked(IDC_PD_VEC_TAIL + i))
                plot->SetPositionIndex(i);
    }
    plot->SetArrowHeadClose(IsDlgButtonChecked(IDC_PD_VEC_CLOSED));
    if (PDComboNumber(m_cbHeadAngle, value))
        plot->SetArrowAngle((int)value);
    if (PDComboNumber(m_cbLength, value))
        plot->SetArrowLength((int)value);
    if (PDComboNumber(m_cbWidth, value))
        plot->SetVectorWidth(value);
}

void CQUPlotDetailsVector::OnColorChange()
{
    GetPlot()->SetVectorColor(PDIndexToColor(m_cbColor.GetCurSel()));
    RecheckTabs(this);
}

LRESULT CQUPlotDetailsVector::OnColorMenu(WPARAM wParam, LPARAM lParam)
{
    if (wParam != IDC_PD_VEC_COLOR_BUTTON)
        return 0;
    GetPlot()->SetVectorColor(m_btnColor.GetSelectedQCOLOR(0));
    KeepColorMapFor((int)lParam);
    RecheckTabs(this);
    ColorMenuChosen(wParam);
    return 0;
}

void CQUPlotDetailsVector::OnMagnitudeEdit()
{
    // A typed magnitude is a constant, in whole points.
    double value;
    if (PDComboNumber(m_cbMagnitude, value))
        GetPlot()->SetMagnitude((int)value, 0);
}

void CQUPlotDetailsVector::OnMagnitudeSelect()
{
    const int sel = m_cbMagnitude.GetCurSel();
    if (sel < 0)
        return;
    double value;
    if (!ListValue(m_cbMagnitude, value, true))
        return;
    const bool column = m_cbMagnitude.GetItemData(sel) >= (DWORD_PTR)kFirstColumnCode;
    GetPlot()->SetMagnitude(value, column);
}

/////////////////////////////////////////////////////////////////////////////
// Pie labels

BEGIN_MESSAGE_MAP(CQUPlotDetailsPie, CQUPlotDetailsPlotObjTab)
    ON_BN_CLICKED(IDC_PD_PIE_AUTOMATIC, OnRuleChange)
    ON_BN_CLICKED(IDC_PD_PIE_ASSOCIATE, OnRuleChange)
    ON_EN_CHANGE(IDC_PD_PIE_DISTANCE, OnDistanceChange)
END_MESSAGE_MAP()

CQUPlotDetailsPie::CQUPlotDetailsPie()
    : CQUPlotDetailsPlotObjTab(IDD_PD_PIE_LABELS), m_bRewrite(0), m_bValue(0), m_bPercent(0), m_bCategory(0),
      m_bReposition(0), m_nDistance(0), m_bHide(0), m_bArrow(0)
{
}

void CQUPlotDetailsPie::DoDataExchange(CDataExchange* pDX)
{
    DDX_Check(pDX, IDC_PD_PIE_AUTOMATIC, m_bRewrite);
    DDX_Check(pDX, IDC_PD_PIE_VALUES, m_bValue);
    DDX_Check(pDX, IDC_PD_PIE_PERCENT, m_bPercent);
    DDX_Check(pDX, IDC_PD_PIE_CATEGORIES, m_bCategory);
    DDX_Check(pDX, IDC_PD_PIE_ASSOCIATE, m_bReposition);
    DDX_Text(pDX, IDC_PD_PIE_DISTANCE, m_nDistance);
    DDV_MinMaxInt(pDX, m_nDistance, -100, 100);
    DDX_Check(pDX, IDC_PD_PIE_HIDE, m_bHide);
    DDX_Check(pDX, IDC_PD_PIE_DRAW_ARROWS, m_bArrow);
}

void CQUPlotDetailsPie::ApplyEnableRules()
{
    const BOOL automatic = IsDlgButtonChecked(IDC_PD_PIE_AUTOMATIC);
    for (int id : {IDC_PD_PIE_VALUES, IDC_PD_PIE_PERCENT, IDC_PD_PIE_CATEGORIES})
        EnableItem(this, id, automatic);
    const BOOL associate = IsDlgButtonChecked(IDC_PD_PIE_ASSOCIATE);
    EnableItem(this, IDC_PD_PIE_DISTANCE, associate);
    EnableItem(this, IDC_PD_PIE_DISTANCE_LABEL, associate);
}

void CQUPlotDetailsPie::ObjectToControls()
{
    CQKPlotObj* plot = GetPlot();
    m_bRewrite = plot->GetLabelRewrite();
    m_bValue = plot->GetLabelValue();
    m_bPercent = plot->GetLabelPercent();
    m_bCategory = plot->GetLabelCategory();
    m_bReposition = plot->GetLabelReposition();
    m_nDistance = (int)plot->GetLabelDistance();
    m_bHide = plot->GetLabelHide();
    m_bArrow = plot->GetLabelDrawArrow();
    UpdateData(FALSE);
    ApplyEnableRules();
}

void CQUPlotDetailsPie::ControlsToObject()
{
    if (!UpdateData(TRUE))
        return;
    CQKPlotObj* plot = GetPlot();
    plot->SetLabelPercent(m_bPercent);
    plot->SetLabelValue(m_bValue);
    plot->SetLabelCategory(m_bCategory);
    plot->SetLabelHide(m_bHide);
    plot->SetLabelRewrite(m_bRewrite);
    plot->SetLabelReposition(m_bReposition);
    plot->SetLabelDrawArrow(m_bArrow);
    plot->SetLabelDistance(m_nDistance);
}

void CQUPlotDetailsPie::OnRuleChange()
{
    ApplyEnableRules();
}

void CQUPlotDetailsPie::OnDistanceChange()
{
    PDCorrectNumberEdit(this, IDC_PD_PIE_DISTANCE, -100, 100, true);
}

/////////////////////////////////////////////////////////////////////////////
// Pie geometry

namespace {

struct NumberField {
    int id, low, high;
    bool signedField;
};
const NumberField kPieFields[] = {
    {IDC_PD_PIE_VIEW_ANGLE, 0, 90, false}, {IDC_PD_PIE_THICKNESS, 0, 300, false},
    {IDC_PD_PIE_AZIMUTH, -360, 360, true}, {IDC_PD_PIE_RADIUS, 0, 300, false},
    {IDC_PD_PIE_OFFSET, -100, 100, true},  {IDC_PD_PIE_DISPLACEMENT, 0, 300, false},
};

} // namespace

BEGIN_MESSAGE_MAP(CQUPlotDetailsPie2, CQUPlotDetailsPlotObjTab)
    ON_CONTROL_RANGE(EN_CHANGE, IDC_PD_PIE_DISPLACEMENT, IDC_PD_PIE_OFFSET, OnNumberChange)
END_MESSAGE_MAP()

CQUPlotDetailsPie2::CQUPlotDetailsPie2()
    : CQUPlotDetailsPlotObjTab(IDD_PD_PIE_GEOMETRY), m_nAngle(0), m_nThickness(0), m_nAzimuth(0),
      m_bCounterClockwise(0), m_nRadius(0), m_nOffset(0), m_nDisplacement(0), m_nExploded(0)
{
}

void CQUPlotDetailsPie2::DoDataExchange(CDataExchange* pDX)
{
    DDX_Text(pDX, IDC_PD_PIE_VIEW_ANGLE, m_nAngle);
    DDV_MinMaxInt(pDX, m_nAngle, 0, 90);
    DDX_Text(pDX, IDC_PD_PIE_THICKNESS, m_nThickness);
    DDV_MinMaxInt(pDX, m_nThickness, 0, 300);
    DDX_Text(pDX, IDC_PD_PIE_AZIMUTH, m_nAzimuth);
    DDV_MinMaxInt(pDX, m_nAzimuth, -360, 360);
    DDX_Check(pDX, IDC_PD_PIE_CCW, m_bCounterClockwise);
    DDX_Text(pDX, IDC_PD_PIE_RADIUS, m_nRadius);
    DDV_MinMaxInt(pDX, m_nRadius, 0, 300);
    DDX_Text(pDX, IDC_PD_PIE_OFFSET, m_nOffset);
    DDV_MinMaxInt(pDX, m_nOffset, -100, 100);
    DDX_Text(pDX, IDC_PD_PIE_DISPLACEMENT, m_nDisplacement);
    DDV_MinMaxInt(pDX, m_nDisplacement, 0, 300);
}

void CQUPlotDetailsPie2::FillWedges()
{
    CQKPlotObj* plot = GetPlot();
    CListBox* list = (CListBox*)GetDlgItem(IDC_PD_PIE_WEDGES);
    list->ResetContent();
    int first = 0, end = 0;
    plot->GetStartAndFinishFromObjPtr(first, end);
    const int last = first + std::min(end - first, 32);
    for (int r = first; r < last; ++r) {
        std::string text;
        if (plot->GetWedgeValueFromObjPtr(r) == MISSING_VALUE || !plot->GetLegendByRow(r, text))
            continue;
        const int p = list->AddString(text.c_str());
        list->SetItemData(p, r - first);
        if (p < 32 && (m_nExploded >> p & 1u))
            list->SetSel(p, TRUE);
    }
}

void CQUPlotDetailsPie2::ObjectToControls()
{
    CQKPlotObj* plot = GetPlot();
    m_nThickness = (int)(plot->GetSkirtHeight() * 100 + (plot->GetSkirtHeight() >= 0 ? 1e-9 : -1e-9));
    m_nAngle = (int)plot->GetAngle3D();
    m_nAzimuth = (int)plot->GetAzimuthAngle();
    m_nDisplacement = (int)plot->GetWedgeDisplacement();
    m_nRadius = (int)plot->GetRadiusScale();
    m_bCounterClockwise = plot->GetCounterClockwise();
    m_nOffset = (int)plot->GetHorizontalOffset();
    m_nExploded = plot->GetExplodedWedges();
    FillWedges();
    UpdateData(FALSE);
}

void CQUPlotDetailsPie2::ControlsToObject()
{
    if (!UpdateData(TRUE))
        return;
    CQKPlotObj* plot = GetPlot();
    plot->SetSkirtHeight(m_nThickness * 0.01);
    plot->SetAngle3D(m_nAngle);
    plot->SetAzimuthAngle(m_nAzimuth);
    plot->SetWedgeDisplacement(m_nDisplacement);
    plot->SetRadiusScale(m_nRadius);
    plot->SetCounterClockwise(m_bCounterClockwise);
    plot->SetHorizontalOffset(m_nOffset);
    CListBox* list = (CListBox*)GetDlgItem(IDC_PD_PIE_WEDGES);
    unsigned mask = 0;
    for (int p = 0; p < 32 && p < list->GetCount(); ++p)
        if (list->GetSel(p) > 0)
            mask |= 1u << p;
    plot->SetExplodedWedges(mask);
}

void CQUPlotDetailsPie2::OnNumberChange(UINT nID)
{
    for (const NumberField& f : kPieFields)
        if ((int)nID == f.id)
            PDCorrectNumberEdit(this, f.id, f.low, f.high, f.signedField);
}
