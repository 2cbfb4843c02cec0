#include "ColorMapPages.h"

#include <commctrl.h>
#include <math.h>

#include <algorithm>
#include <string>

#include "ColorMapResources.h"
#include "ObjectsResources.h"
#include "PlotDetailsResources.h"

namespace {

const char* const kPatterns[] = {"None", "Horizontal", "Vertical", "Forward Diagonal", "Backward Diagonal", "Cross",
                                 "Diagonal Cross"};
const char* const kRescaleModes[] = {"Manual", "Normal", "Fixed From", "Fixed To"};
const int kHatch[] = {HS_HORIZONTAL, HS_VERTICAL, HS_FDIAGONAL, HS_BDIAGONAL, HS_CROSS, HS_DIAGCROSS};

void FillPatterns(CComboBox& combo, int selected)
{
    for (const char* p : kPatterns)
        combo.AddString(p);
    combo.SetCurSel(selected);
}

void ShowWidth(CComboBox& combo, int width)
{
    CString text;
    text.Format("%.2f", qkuIntLineWidthToDouble(width));
    combo.SetWindowText(text);
}

int ReadWidth(CComboBox& combo, int old)
{
    CString text;
    combo.GetWindowText(text);
    double v;
    return PDReadNumber(text, v) && v >= 0 ? qkuDoubleLineWidthToInt(v) : old;
}

void FillWidths(CComboBox& combo, int width)
{
    PDFillComboFromString(combo, IDS_QD_LINE_WIDTHS);
    ShowWidth(combo, width);
}

void Message(UINT id)
{
    CString text;
    text.LoadString(id);
    AfxMessageBox(text, MB_OK);
}

// The fill of an entry into a rectangle: its colour, and its hatch over it.
void PaintEntry(HDC dc, const RECT& r, const ColorMapEntry& e)
{
    HBRUSH fill = CreateSolidBrush(e.fillColor & 0xFFFFFF);
    FillRect(dc, &r, fill);
    DeleteObject(fill);
    if (e.pattern > 0 && e.pattern <= 6) {
        HBRUSH hatch = CreateHatchBrush(kHatch[e.pattern - 1], e.patternColor & 0xFFFFFF);
        int mode = SetBkMode(dc, TRANSPARENT);
        FillRect(dc, &r, hatch);
        SetBkMode(dc, mode);
        DeleteObject(hatch);
    }
}

COLORREF Mix(COLORREF a, COLORREF b, double t, bool otherColors)
{
    if (!otherColors) {
        auto c = [&](int x, int y) { return (int)lround(x + (y - x) * t); };
        return RGB(c(GetRValue(a), GetRValue(b)), c(GetGValue(a), GetGValue(b)), c(GetBValue(a), GetBValue(b)));
    }
    // Through the hues between the two colours (red, yellow, green, ... on the way).
    auto hsv = [](COLORREF c, double& h, double& s, double& v) {
        double r = GetRValue(c) / 255.0, g = GetGValue(c) / 255.0, bl = GetBValue(c) / 255.0;
        double mx = std::max({r, g, bl}), mn = std::min({r, g, bl}), d = mx - mn;
        v = mx;
        s = mx > 0 ? d / mx : 0;
        h = d == 0 ? 0 : mx == r ? fmod((g - bl) / d, 6) : mx == g ? (bl - r) / d + 2 : (r - g) / d + 4;
        if (h < 0)
            h += 6;
    };
    double h1, s1, v1, h2, s2, v2;
    hsv(a, h1, s1, v1);
    hsv(b, h2, s2, v2);
    double h = h1 + (h2 - h1) * t, s = s1 + (s2 - s1) * t, v = v1 + (v2 - v1) * t;
    double c = v * s, x = c * (1 - fabs(fmod(h, 2) - 1)), m = v - c, r = 0, g = 0, bl = 0;
    switch ((int)h % 6) {
    case 0: r = c, g = x; break;
    case 1: r = x, g = c; break;
    case 2: g = c, bl = x; break;
    case 3: g = x, bl = c; break;
    case 4: r = x, bl = c; break;
    default: r = c, bl = x; break;
    }
    return RGB(lround((r + m) * 255), lround((g + m) * 255), lround((bl + m) * 255));
}

// The line controls of one entry: colour, style and width.
struct LineSet {
    CQKNewColorComboBox* color;
    CComboBox* style;
    CComboBox* width;
    void Load(const ColorMapEntry& e) const
    {
        color->AddColorNames(e.lineColor & 0xFFFFFF);
        PDFillComboFromString(*style, IDS_QD_LINE_TYPES);
        style->SetCurSel(e.lineStyle);
        FillWidths(*width, e.lineWidth);
    }
    void Store(ColorMapEntry& e) const
    {
        e.lineColor = color->GetColor();
        e.lineWidth = (int16_t)ReadWidth(*width, e.lineWidth);
        if (style->GetCurSel() >= 0)
            e.lineStyle = (uint8_t)style->GetCurSel();
    }
};

// The fill controls of one entry: colour, pattern, pattern colour and width.
struct FillSet {
    CQKNewColorComboBox* color;
    CComboBox* pattern;
    CQKNewColorComboBox* patternColor;
    CComboBox* width;
    void Load(const ColorMapEntry& e) const
    {
        color->AddColorNames(e.fillColor & 0xFFFFFF);
        patternColor->AddColorNames(e.patternColor & 0xFFFFFF);
        FillPatterns(*pattern, e.pattern <= 6 ? e.pattern : 0);
        FillWidths(*width, e.patternWidth);
        EnableRule();
    }
    void EnableRule() const
    {
        BOOL on = pattern->GetCurSel() > 0;
        patternColor->EnableWindow(on);
        width->EnableWindow(on);
    }
    void Store(ColorMapEntry& e) const
    {
        e.fillColor = color->GetColor();
        e.patternColor = patternColor->GetColor();
        e.pattern = (uint8_t)std::max(0, pattern->GetCurSel());
        e.patternWidth = ReadWidth(*width, e.patternWidth);
    }
};

} // namespace

/////////////////////////////////////////////////////////////////////////////
// CQKNewColorComboBox

void CQKNewColorComboBox::AddColorNames(COLORREF current)
{
    ResetContent();
    int selected = -1;
    for (int i = 0; i < CQKColor::GetColorNumber(); ++i) {
        std::string name;
        DWORD rgb = 0;
        CQKColor::GetColorName(i, name);
        CQKColor::GetColorRef(i, rgb, 0);
        int item = AddString(name.c_str());
        SetItemData(item, rgb & 0xFFFFFF);
        if (selected < 0 && (rgb & 0xFFFFFF) == current)
            selected = item;
    }
    if (selected < 0) {
        selected = AddString("Custom");
        SetItemData(selected, current);
    }
    SetCurSel(selected);
}

COLORREF CQKNewColorComboBox::GetColor() const
{
    int i = GetCurSel();
    return i >= 0 ? (COLORREF)GetItemData(i) : 0;
}

/////////////////////////////////////////////////////////////////////////////
// CQKCMapLstCtrl

CQKCMapLstCtrl::CQKCMapLstCtrl(UINT nHeaderString, const char*)
    : m_pPlot(nullptr), m_pMap(nullptr), m_nNeeded(COL_LEVEL | COL_FILL), m_bFillDisabled(FALSE),
      m_nHeaderString(nHeaderString)
{
}

void CQKCMapLstCtrl::DefaultInit() { SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES); }

void CQKCMapLstCtrl::SetNeededColumns(int mask)
{
    m_nNeeded = mask;
    while (DeleteColumn(0)) {
    }
    m_columns.clear();
    std::vector<CString> titles = {"Level", "Fill", "Line", "Labels"};
    if (m_nHeaderString) {
        CString list;
        list.LoadString(m_nHeaderString);
        std::vector<CString> read = PDSplitList(list);
        if (read.size() == 4)
            titles = read;
    }
    static const int widths[] = {54, 46, 46, 44};
    for (int i = 0; i < 4; ++i)
        if (mask & (1 << i)) {
            InsertColumn((int)m_columns.size(), titles[i], LVCFMT_LEFT, widths[i]);
            m_columns.push_back(1 << i);
        }
}

int CQKCMapLstCtrl::ColumnKind(int subItem) const
{
    return subItem >= 0 && subItem < (int)m_columns.size() ? m_columns[subItem] : 0;
}

void CQKCMapLstCtrl::CleanupRows()
{
    DeleteAllItems();
    m_rows.clear();
}

void CQKCMapLstCtrl::LoadCMapData()
{
    m_rows = m_pMap ? m_pMap->GetState().levels : std::vector<ColorMapEntry>();
    RefreshDisplay();
}

void CQKCMapLstCtrl::SaveCMapData(int)
{
    // The map's range is its lowest and highest level, so it follows the rows as written.
    if (m_pMap)
        m_pMap->Levels() = m_rows;
}

void CQKCMapLstCtrl::RefreshDisplay()
{
    if (!m_hWnd)
        return;
    SetRedraw(FALSE);
    while (GetItemCount() > (int)m_rows.size())
        DeleteItem(GetItemCount() - 1);
    for (int row = 0; row < (int)m_rows.size(); ++row) {
        std::string level;
        if (m_pMap)
            m_pMap->FormatAsString(m_rows[row].level, level, 0);
        else
            level = std::to_string(m_rows[row].level);
        if (row >= GetItemCount())
            InsertItem(row, level.c_str());
        else
            SetItemText(row, 0, level.c_str());
        for (int c = 1; c < (int)m_columns.size(); ++c)
            if (m_columns[c] == COL_LABELS)
                SetItemText(row, c, (m_rows[row].flags & CMAP_LABEL_SHOWN) ? "Yes" : "No");
    }
    SetRedraw(TRUE);
    Invalidate();
}

void CQKCMapLstCtrl::DisableFill(BOOL disable)
{
    m_bFillDisabled = disable;
    if (m_hWnd)
        Invalidate();
}

bool CQKCMapLstCtrl::RowSelected(int row) const
{
    return (GetItemState(row, LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

int CQKCMapLstCtrl::GetSelectionType(int* first, int* last) const
{
    int lo = -1, hi = -1, blocks = 0;
    bool in = false;
    for (int row = 0; row < GetItemCount(); ++row) {
        bool sel = RowSelected(row);
        if (sel && !in) {
            ++blocks;
            if (lo < 0)
                lo = row;
        }
        if (sel)
            hi = row;
        in = sel;
    }
    if (first)
        *first = lo;
    if (last)
        *last = hi;
    if (blocks == 0)
        return 0;
    if (blocks > 1)
        return 3;
    return lo == hi ? 1 : 2;
}

BOOL CQKCMapLstCtrl::IsLegalSingleRowForInsertionAfter(int row) const
{
    return row >= -1 && row < (int)m_rows.size() - 1;
}

BOOL CQKCMapLstCtrl::IsLegalSingleRowForDeletion(int row) const
{
    return row >= 0 && row < (int)m_rows.size() && m_rows.size() > 2;
}

void CQKCMapLstCtrl::InsertLevelAfterByRow(int row)
{
    if (!IsLegalSingleRowForInsertionAfter(row))
        return;
    ColorMapEntry e;
    if (row < 0) { // below the lowest: as far below it as the next level is above
        e = m_rows[0];
        e.level = m_rows[0].level - (m_rows[1].level - m_rows[0].level);
    } else {
        const ColorMapEntry &a = m_rows[row], &b = m_rows[row + 1];
        e = a;
        e.level = (a.level + b.level) / 2;
        e.fillColor = Mix(a.fillColor & 0xFFFFFF, b.fillColor & 0xFFFFFF, 0.5, false);
    }
    m_rows.insert(m_rows.begin() + (row + 1), e);
    RefreshDisplay();
}

void CQKCMapLstCtrl::DeleteLevelByRow(int row)
{
    if (!IsLegalSingleRowForDeletion(row))
        return;
    m_rows.erase(m_rows.begin() + row);
    RefreshDisplay();
}

BOOL CQKCMapLstCtrl::GetRampRowLimitsWithOrder(int& low, int& high) const
{
    if (m_rows.size() < 2)
        return FALSE;
    low = 0;
    high = (int)m_rows.size() - 1;
    return TRUE;
}

BOOL CQKCMapLstCtrl::GetContourLineRowLimitsWithOrder(int& low, int& high) const
{
    return GetRampRowLimitsWithOrder(low, high);
}

ColorMapEntry* CQKCMapLstCtrl::GetRowEntry(int row)
{
    return row >= 0 && row < (int)m_rows.size() ? &m_rows[row] : nullptr;
}

void CQKCMapLstCtrl::InterpolateFill(const ColorMapEntry& from, const ColorMapEntry& to, int first, int last,
                                     BOOL otherColors)
{
    first = std::max(0, first);
    last = std::min((int)m_rows.size() - 1, last);
    for (int row = first; row <= last; ++row) {
        double t = last > first ? (double)(row - first) / (last - first) : 0;
        ColorMapEntry& e = m_rows[row];
        e.fillColor = Mix(from.fillColor & 0xFFFFFF, to.fillColor & 0xFFFFFF, t, otherColors != FALSE);
        e.patternColor = Mix(from.patternColor & 0xFFFFFF, to.patternColor & 0xFFFFFF, t, otherColors != FALSE);
        e.pattern = t < 0.5 ? from.pattern : to.pattern;
        e.patternWidth = (int32_t)lround(from.patternWidth + (to.patternWidth - from.patternWidth) * t);
    }
}

void CQKCMapLstCtrl::SetAllLabelsShow(BOOL show, BOOL selection)
{
    for (int row = 0; row < (int)m_rows.size(); ++row)
        if (!selection || RowSelected(row))
            m_rows[row].flags = show ? m_rows[row].flags | CMAP_LABEL_SHOWN : m_rows[row].flags & ~CMAP_LABEL_SHOWN;
}

void CQKCMapLstCtrl::SetAllLinesShow(BOOL show, BOOL selection)
{
    for (int row = 0; row < (int)m_rows.size(); ++row)
        if (!selection || RowSelected(row))
            m_rows[row].flags = show ? m_rows[row].flags & ~CMAP_LINE_HIDDEN : m_rows[row].flags | CMAP_LINE_HIDDEN;
}

void CQKCMapLstCtrl::SetLinesToSame(const ColorMapEntry& entry, BOOL selection)
{
    for (int row = 0; row < (int)m_rows.size(); ++row)
        if (!selection || RowSelected(row)) {
            m_rows[row].lineColor = entry.lineColor;
            m_rows[row].lineStyle = entry.lineStyle;
            m_rows[row].lineWidth = entry.lineWidth;
        }
}

void CQKCMapLstCtrl::GetNumRampEntriesMinMax(int& n, double& min, double& max) const
{
    n = std::max(1, (int)m_rows.size() - 1);
    min = m_rows.empty() ? 0 : m_rows.front().level;
    max = m_rows.empty() ? 1 : m_rows.back().level;
}

void CQKCMapLstCtrl::SetRampEntriesMinMax(double min, double max, double step, BOOL byNumber, BOOL log, BOOL otherColors)
{
    std::vector<double> levels;
    if (byNumber) {
        int n = std::max(1, (int)lround(step));
        for (int i = 0; i <= n; ++i)
            levels.push_back(log ? min * pow(max / min, (double)i / n) : min + (max - min) * i / n);
    } else {
        // As many intervals as fit, the last level at most the maximum (with rounding slack).
        const double end = log ? log10(max / min) : max - min;
        for (int i = 0; i * step <= end * (1 + 1e-12) && levels.size() < 10000; ++i)
            levels.push_back(log ? min * pow(10, i * step) : min + i * step);
    }
    if (levels.size() < 2 || m_rows.empty())
        return;
    // The old colours stretched over the new levels; lines and labels from the first level.
    const std::vector<ColorMapEntry> old = m_rows;
    m_rows.assign(levels.size(), old.front());
    for (size_t i = 0; i < levels.size(); ++i) {
        double pos = (double)i / (levels.size() - 1) * (old.size() - 1);
        size_t k = std::min(old.size() - 1, (size_t)floor(pos));
        size_t k2 = std::min(old.size() - 1, k + 1);
        m_rows[i].fillColor = Mix(old[k].fillColor & 0xFFFFFF, old[k2].fillColor & 0xFFFFFF, pos - k, otherColors != FALSE);
        m_rows[i].level = levels[i];
    }
    RefreshDisplay();
}

void CQKCMapLstCtrl::Notify(int kind, int row)
{
    UINT message = kind == COL_FILL ? WM_CMAP_FILL_CLICK
                   : kind == COL_LINE ? WM_CMAP_LINE_CLICK
                   : kind == COL_LABELS ? WM_CMAP_LABEL_CLICK
                                        : WM_CMAP_LEVEL_CLICK;
    if (kind == COL_LABELS && row >= 0 && row < (int)m_rows.size()) {
        m_rows[row].flags ^= CMAP_LABEL_SHOWN;
        RefreshDisplay();
    }
    GetParent()->SendMessage(message, 0, row);
}

BOOL CQKCMapLstCtrl::HandleNotify(NMHDR* pHdr, LRESULT* pResult)
{
    switch (pHdr->code) {
    case NM_CUSTOMDRAW: {
        auto* cd = reinterpret_cast<NMLVCUSTOMDRAW*>(pHdr);
        if (cd->nmcd.dwDrawStage == CDDS_PREPAINT) {
            *pResult = CDRF_NOTIFYITEMDRAW;
        } else if (cd->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
            *pResult = CDRF_NOTIFYSUBITEMDRAW;
        } else if (cd->nmcd.dwDrawStage == (CDDS_ITEMPREPAINT | CDDS_SUBITEM)) {
            int row = (int)cd->nmcd.dwItemSpec, kind = ColumnKind(cd->iSubItem);
            *pResult = CDRF_DODEFAULT;
            if ((kind == COL_FILL || kind == COL_LINE) && row < (int)m_rows.size()) {
                RECT r;
                ListView_GetSubItemRect(m_hWnd, row, cd->iSubItem, LVIR_BOUNDS, &r);
                HDC dc = cd->nmcd.hdc;
                FillRect(dc, &r, GetSysColorBrush(COLOR_WINDOW));
                InflateRect(&r, -3, -2);
                const ColorMapEntry& e = m_rows[row];
                if (kind == COL_FILL && !m_bFillDisabled) {
                    PaintEntry(dc, r, e);
                } else if (kind == COL_LINE && !(e.flags & CMAP_LINE_HIDDEN)) {
                    int w = std::max(1, (int)lround(qkuIntLineWidthToDouble(e.lineWidth)));
                    static const int styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT};
                    HPEN pen = CreatePen(w > 1 ? PS_SOLID : styles[e.lineStyle % 5], w, e.lineColor & 0xFFFFFF);
                    HGDIOBJ old = SelectObject(dc, pen);
                    int y = (r.top + r.bottom) / 2;
                    MoveToEx(dc, r.left, y, nullptr);
                    LineTo(dc, r.right, y);
                    SelectObject(dc, old);
                    DeleteObject(pen);
                }
                *pResult = CDRF_SKIPDEFAULT;
            }
        } else {
            *pResult = CDRF_DODEFAULT;
        }
        return TRUE;
    }
    case NM_CLICK: {
        auto* ia = reinterpret_cast<NMITEMACTIVATE*>(pHdr);
        LVHITTESTINFO hit = {};
        hit.pt = ia->ptAction;
        ListView_SubItemHitTest(m_hWnd, &hit);
        if (hit.iItem >= 0)
            Notify(ColumnKind(hit.iSubItem), hit.iItem);
        *pResult = 0;
        return TRUE;
    }
    case LVN_COLUMNCLICK: {
        auto* lv = reinterpret_cast<NMLISTVIEW*>(pHdr);
        Notify(ColumnKind(lv->iSubItem), -1);
        *pResult = 0;
        return TRUE;
    }
    default: return FALSE;
    }
}

/////////////////////////////////////////////////////////////////////////////
// CQUPlotDetailsCMapTab

void CQUPlotDetailsCMapTab::LoadColorMapData()
{
    ReleaseColorMapData();
    m_pColorMap = GetPlot() ? GetPlot()->GetColorMapData(nullptr) : nullptr;
}

void CQUPlotDetailsCMapTab::ReleaseColorMapData()
{
    delete m_pColorMap;
    m_pColorMap = nullptr;
}

BOOL CQUPlotDetailsCMapTab::OnKillActive()
{
    BOOL result = CQUPlotDetailsPlotObjTab::OnKillActive();
    ReleaseColorMapData();
    return result;
}

/////////////////////////////////////////////////////////////////////////////
// CQUCmapMissingValueFill

BEGIN_MESSAGE_MAP(CQUCmapMissingValueFill, CStatic)
    ON_WM_PAINT()
END_MESSAGE_MAP()

void CQUCmapMissingValueFill::OnPaint()
{
    CPaintDC dc(this);
    if (m_bDisabled)
        return;
    RECT r;
    GetClientRect(&r);
    PaintEntry(dc.m_hDC, r, m_entry);
}

/////////////////////////////////////////////////////////////////////////////
// CQUPDCMap

namespace {
// The remembered choices of the Contour Lines dialog, for the process.
BOOL g_applyToAll = FALSE;
} // namespace

BEGIN_MESSAGE_MAP(CQUPDCMap, CQUPlotDetailsCMapTab)
    ON_MESSAGE(WM_CMAP_FILL_CLICK, OnFillClick)
    ON_MESSAGE(WM_CMAP_LINE_CLICK, OnLineClick)
    ON_MESSAGE(WM_CMAP_LABEL_CLICK, OnLabelClick)
    ON_MESSAGE(WM_CMAP_LEVELS_EDITED, OnLevelsEdited)
    ON_MESSAGE(WM_CMAP_LEVEL_CLICK, OnLevelClick)
END_MESSAGE_MAP()

CQUPDCMap::CQUPDCMap() : CQUPlotDetailsCMapTab(IDD_PD_COLOR_MAP), m_list(0, "CMap2") {}

CQUPDCMap::CQUPDCMap(UINT nHeaderString, const char* name)
    : CQUPlotDetailsCMapTab(IDD_PD_COLOR_MAP), m_list(nHeaderString, name)
{
}

BOOL CQUPDCMap::HasExtended(int id, int* value) const
{
    int v = 0;
    BOOL has = GetPlot()->GetExtendedValue(id, &v);
    if (value)
        *value = has ? v : 0;
    return has;
}

BOOL CQUPDCMap::FillIsOff() const
{
    return HasExtended(3) && IsDlgButtonChecked(IDC_CMAP_FILL_ENABLED) != BST_CHECKED;
}

void CQUPDCMap::InitControls()
{
    m_list.SubclassDlgItem(IDC_CMAP_LIST, this);
    m_missing.SubclassDlgItem(IDC_CMAP_MISSING_FILL, this);
    m_rescale.SubclassDlgItem(IDC_CMAP_RESCALE, this);
    for (const char* mode : kRescaleModes)
        m_rescale.AddString(mode);
    CQKPlotObj* plot = GetPlot();
    m_list.DefaultInit();
    int mask = CQKCMapLstCtrl::COL_LEVEL | CQKCMapLstCtrl::COL_FILL;
    if (plot->HasCMapProperties(2))
        mask |= CQKCMapLstCtrl::COL_LINE;
    if (plot->HasCMapProperties(3))
        mask |= CQKCMapLstCtrl::COL_LABELS;
    m_list.SetNeededColumns(mask);
    m_list.SetPlotObj(plot);
}

BOOL CQUPDCMap::OnSheetReady(CPropertySheet* pSheet)
{
    if (GetPlot()->HasCMapProperties(2))
        SetCaptionFromString(IDS_CMAP_CAPTION_CONTOURS, pSheet);
    return TRUE;
}

void CQUPDCMap::LoadList()
{
    m_list.CleanupRows();
    m_list.SetColorMapData(m_pColorMap);
    m_list.LoadCMapData();
    UpdateInsertDelete();
    const BOOL missing = GetPlot()->HasCMapProperties(4);
    if (missing && m_pColorMap) {
        m_missing.SetEntry(m_pColorMap->GetEntry(m_pColorMap->GetMissingColorIndex()));
        CString text;
        text.Format("%.15g", m_pColorMap->GetMissing());
        // The kernel's missing value shows as "--".
        SetDlgItemText(IDC_CMAP_MISSING_VALUE, m_pColorMap->GetMissing() == -1.23456789e-300 ? CString("--") : text);
        m_missing.Invalidate();
    }
    for (int id : {IDC_CMAP_MISSING_GROUP, IDC_CMAP_MISSING_VALUE, IDC_CMAP_MISSING_FILL})
        GetDlgItem(id)->ShowWindow(missing ? SW_SHOW : SW_HIDE);
}

void CQUPDCMap::SetUpFillControls()
{
    BOOL fillState = FALSE;
    int fill = 0, grid = 0;
    const BOOL hasGrid = HasExtended(2, &grid);
    if (!HasExtended(3, &fill)) {
        GetDlgItem(IDC_CMAP_FILL_GROUP)->ShowWindow(SW_HIDE);
        GetDlgItem(IDC_CMAP_FILL_ENABLED)->ShowWindow(SW_HIDE);
        CheckDlgButton(IDC_CMAP_FILL_ENABLED, BST_CHECKED);
    } else if (hasGrid) {
        CheckDlgButton(IDC_CMAP_FILL_CONTOURS, grid ? BST_UNCHECKED : BST_CHECKED);
        CheckDlgButton(IDC_CMAP_FILL_GRIDS, grid ? BST_CHECKED : BST_UNCHECKED);
        GetDlgItem(IDC_CMAP_FILL_CONTOURS)->EnableWindow(fill || grid);
        GetDlgItem(IDC_CMAP_FILL_GRIDS)->EnableWindow(fill || grid);
        fillState = fill || grid;
    } else {
        fillState = fill != 0;
    }
    if (HasExtended(3))
        CheckDlgButton(IDC_CMAP_FILL_ENABLED, fillState ? BST_CHECKED : BST_UNCHECKED);
    GetDlgItem(IDC_CMAP_FILL_CONTOURS)->ShowWindow(hasGrid ? SW_SHOW : SW_HIDE);
    GetDlgItem(IDC_CMAP_FILL_GRIDS)->ShowWindow(hasGrid ? SW_SHOW : SW_HIDE);
    m_missing.SetDisabled(HasExtended(3) && !fillState);
    m_list.DisableFill(HasExtended(3) && !fillState);
    Invalidate();
}

void CQUPDCMap::ObjectToControls()
{
    LoadColorMapData();
    LoadList();
    m_rescale.SetCurSel(GetPlot()->GetColorMapRescaleMode());
    SetUpFillControls();
    UpdateInsertDelete();
}

void CQUPDCMap::ControlsToObject()
{
    if (!m_pColorMap)
        LoadColorMapData();
    CQKPlotObj* plot = GetPlot();
    UpdateData(TRUE);
    plot->SetColorMapRescaleMode(m_rescale.GetCurSel());
    int adjust = 0;
    HasExtended(4, &adjust);
    const double oldMin = m_pColorMap->GetMinDouble(), oldMax = m_pColorMap->GetMaxDouble();
    m_list.SetColorMapData(m_pColorMap);
    m_list.SaveCMapData(adjust);
    if (plot->HasCMapProperties(4)) {
        m_pColorMap->SetEntry(m_pColorMap->GetMissingColorIndex(), m_missing.GetEntry());
        CString text;
        GetDlgItemText(IDC_CMAP_MISSING_VALUE, text);
        double v;
        if (PDReadNumber(text, v))
            m_pColorMap->SetMissing(v);
    }
    plot->SaveColorMapData(m_pColorMap);
    if (adjust && (m_pColorMap->GetMinDouble() != oldMin || m_pColorMap->GetMaxDouble() != oldMax)) {
        if (auto* layer = dynamic_cast<CQKGraphicLayer*>(plot->GetValidLayer()))
            layer->SetZScale(m_pColorMap->GetMinDouble(), m_pColorMap->GetMaxDouble());
        plot->SetDataModified();
    }
    if (HasExtended(3)) {
        int enabled = IsDlgButtonChecked(IDC_CMAP_FILL_ENABLED) == BST_CHECKED;
        if (!HasExtended(2)) {
            plot->SetExtendedValue(3, &enabled);
        } else {
            int grid = enabled && IsDlgButtonChecked(IDC_CMAP_FILL_GRIDS) == BST_CHECKED;
            int fill = enabled && !grid;
            plot->SetExtendedValue(3, &fill);
            plot->SetExtendedValue(2, &grid);
        }
    }
}

void CQUPDCMap::UpdateInsertDelete()
{
    int row = -1;
    const BOOL one = m_list.GetSelectionType(&row, nullptr) == 1;
    GetDlgItem(IDC_CMAP_INSERT)->EnableWindow(one && m_list.IsLegalSingleRowForInsertionAfter(row - 1));
    GetDlgItem(IDC_CMAP_DELETE)->EnableWindow(one && m_list.IsLegalSingleRowForDeletion(row));
}

void CQUPDCMap::LevelsChanged()
{
    if (!IsActivated())
        return;
    MarkChanged();
    GetPlot()->OnModifyZScaleValues(0);
}

BOOL CQUPDCMap::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    auto* hdr = reinterpret_cast<NMHDR*>(lParam);
    if (hdr->idFrom == IDC_CMAP_LIST) {
        if (hdr->code == LVN_ITEMCHANGED) {
            auto* lv = reinterpret_cast<NMLISTVIEW*>(lParam);
            if ((lv->uChanged & LVIF_STATE) &&
                ((lv->uOldState ^ lv->uNewState) & (LVIS_FOCUSED | LVIS_SELECTED)))
                UpdateInsertDelete();
            *pResult = 0;
            return TRUE;
        }
        if (m_list.HandleNotify(hdr, pResult))
            return TRUE;
    }
    return CQUPlotDetailsCMapTab::OnNotify(wParam, lParam, pResult);
}

BOOL CQUPDCMap::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT id = LOWORD(wParam), code = HIWORD(wParam);
    if (code == BN_CLICKED && id == IDC_CMAP_INSERT) {
        int row = -1;
        m_list.GetSelectionType(&row, nullptr);
        m_list.InsertLevelAfterByRow(row - 1);
        LevelsChanged();
        UpdateInsertDelete();
        return TRUE;
    }
    if (code == BN_CLICKED && id == IDC_CMAP_DELETE) {
        int row = -1;
        m_list.GetSelectionType(&row, nullptr);
        m_list.DeleteLevelByRow(row);
        LevelsChanged();
        UpdateInsertDelete();
        return TRUE;
    }
    if (code == BN_CLICKED && (id == IDC_CMAP_LOAD || id == IDC_CMAP_SAVE) && m_pColorMap) {
        std::string path;
        if (!qkfxColorMapFileDialog(path, id == IDC_CMAP_LOAD))
            return TRUE;
        if (id == IDC_CMAP_SAVE) {
            m_pColorMap->Save(path.c_str(), 1);
        } else if (m_pColorMap->Load(path.c_str(), 1)) {
            m_pColorMap->MakeUniform(m_list.GetLowestContourLineEntry().level,
                                     m_list.GetHighestContourLineEntry().level);
            LoadList();
            LevelsChanged();
        }
        return TRUE;
    }
    if (code == BN_CLICKED && id == IDC_CMAP_FILL_ENABLED && HasExtended(3)) {
        BOOL on = IsDlgButtonChecked(IDC_CMAP_FILL_ENABLED) == BST_CHECKED;
        GetDlgItem(IDC_CMAP_FILL_CONTOURS)->EnableWindow(on);
        GetDlgItem(IDC_CMAP_FILL_GRIDS)->EnableWindow(on);
        m_list.DisableFill(!on);
        m_list.Invalidate();
        m_missing.SetDisabled(!on);
        m_missing.Invalidate();
    }
    if (code == STN_CLICKED && id == IDC_CMAP_MISSING_FILL) {
        if (IsDlgButtonChecked(IDC_CMAP_FILL_ENABLED) == BST_CHECKED) {
            ColorMapEntry e = m_missing.GetEntry();
            CQUCmapCellFillDlg dlg(&e, FALSE, this);
            if (dlg.DoModal() == IDOK) {
                m_missing.SetEntry(e);
                m_missing.Invalidate();
                MarkChanged();
            }
        }
        return TRUE;
    }
    if (code == EN_CHANGE && id == IDC_CMAP_MISSING_VALUE) {
        LevelsChanged();
        return TRUE;
    }
    return CQUPlotDetailsCMapTab::OnCommand(wParam, lParam);
}

LRESULT CQUPDCMap::OnFillClick(WPARAM, LPARAM lParam)
{
    if (FillIsOff()) {
        Message(IDS_CMAP_FILL_DISABLED);
        return 0;
    }
    CQKPlotObj* plot = GetPlot();
    const int row = (int)lParam;
    if (row >= 0) {
        ColorMapEntry* e = m_list.GetRowEntry(row);
        if (!e)
            return 0;
        CQUCmapCellFillDlg dlg(e, !plot->HasCMapProperties(1), this);
        if (dlg.DoModal() == IDOK) {
            m_list.RefreshDisplay();
            MarkChanged();
        }
        return 0;
    }
    int first = -1, last = -1, lo, hi;
    const int type = m_list.GetSelectionType(&first, &last);
    if (type == 3) {
        Message(IDS_CMAP_DISCONTIGUOUS);
        return 0;
    }
    if (!m_list.GetRampRowLimitsWithOrder(lo, hi))
        return 0;
    BOOL partial = FALSE;
    if (type == 2) {
        first = std::max(first, lo);
        last = std::min(last, hi);
        partial = first > lo || last < hi;
    } else {
        first = lo;
        last = hi;
    }
    ColorMapEntry from = *m_list.GetRowEntry(first), to = *m_list.GetRowEntry(last);
    CQUCmapFillDlg dlg(partial, plot, this);
    dlg.m_pFrom = &from;
    dlg.m_pTo = &to;
    dlg.m_nMixing = m_pColorMap && m_pColorMap->IsUseOtherColorsInColorMixing() ? 1 : 0;
    if (dlg.DoModal() == IDOK && m_pColorMap) {
        m_pColorMap->SetUseOtherColorsInColorMixing(dlg.m_nMixing == 1);
        m_list.InterpolateFill(from, to, first, last, m_pColorMap->IsUseOtherColorsInColorMixing());
        m_list.RefreshDisplay();
        MarkChanged();
    }
    return 0;
}

BOOL CQUPDCMap::LinesOrLabels(BOOL labels)
{
    int first = -1, lo, hi;
    const int type = m_list.GetSelectionType(&first, nullptr);
    const BOOL selection = type == 2 || type == 3;
    ColorMapEntry reference;
    ColorMapEntry* entry = nullptr;
    if (!labels) {
        if (!m_list.GetContourLineRowLimitsWithOrder(lo, hi))
            return FALSE;
        int row = type != 0 && m_list.CanHaveContourLine(first) ? first : lo;
        reference = *m_list.GetRowEntry(row);
        entry = &reference;
    }
    CQUCmapContourLinesDlg dlg(selection, entry, this);
    dlg.m_bApplyToAll = g_applyToAll;
    if (dlg.DoModal() != IDOK)
        return FALSE;
    g_applyToAll = dlg.m_bApplyToAll;
    if (dlg.m_nShow == 1 || dlg.m_nShow == 2) {
        if (labels)
            m_list.SetAllLabelsShow(dlg.m_nShow == 1, selection);
        else
            m_list.SetAllLinesShow(dlg.m_nShow == 1, selection);
    }
    if (!labels && dlg.m_bApplyToAll)
        m_list.SetLinesToSame(reference, selection);
    m_list.RefreshDisplay();
    MarkChanged();
    return TRUE;
}

LRESULT CQUPDCMap::OnLineClick(WPARAM, LPARAM lParam)
{
    const int row = (int)lParam;
    if (row < 0) {
        LinesOrLabels(FALSE);
        return 0;
    }
    ColorMapEntry* e = m_list.GetRowEntry(row);
    if (!e)
        return 0;
    ColorMapEntry copy = *e;
    CQUCmapLineDlg dlg(GetPlot(), this);
    dlg.m_pFrom = &copy;
    if (dlg.DoModal() == IDOK) {
        *e = copy;
        m_list.RefreshDisplay();
        MarkChanged();
    }
    return 0;
}

LRESULT CQUPDCMap::OnLabelClick(WPARAM, LPARAM lParam)
{
    if ((int)lParam < 0)
        return LinesOrLabels(TRUE) ? 1 : 0;
    MarkChanged();
    return 0;
}

LRESULT CQUPDCMap::OnLevelsEdited(WPARAM, LPARAM)
{
    LevelsChanged();
    return 0;
}

LRESULT CQUPDCMap::OnLevelClick(WPARAM, LPARAM lParam)
{
    if ((int)lParam >= 0 || !m_pColorMap)
        return 0;
    const int type = m_list.GetSelectionType(nullptr, nullptr);
    if (type == 2 || type == 3) {
        Message(IDS_CMAP_MULTIPLE_ROWS);
        return 0;
    }
    int n;
    double min, max;
    m_list.GetNumRampEntriesMinMax(n, min, max);
    CQUCmapSetLevelsDlg dlg(GetPlot(), this);
    dlg.m_bLog = min > 0 && max > 0 && m_pColorMap->IsSetLevelsLogarithmic();
    dlg.m_nByNumber = m_pColorMap->IsSetLevelsByNumLevels() ? 1 : 0;
    dlg.m_dMin = min;
    dlg.m_dMax = max;
    dlg.m_dInterval = dlg.m_bLog ? log10(max / min) / n : (max - min) / n;
    dlg.m_nLevels = (UINT)n;
    if (dlg.DoModal() != IDOK)
        return 0;
    m_pColorMap->SetSetLevelsByNumLevels(dlg.m_nByNumber == 1);
    m_pColorMap->SetSetLevelsLogarithmic(dlg.m_bLog);
    const double step = dlg.m_nByNumber == 1 ? (double)dlg.m_nLevels : dlg.m_dInterval;
    m_list.SetRampEntriesMinMax(dlg.m_dMin, dlg.m_dMax, step, dlg.m_nByNumber == 1, dlg.m_bLog,
                                m_pColorMap->IsUseOtherColorsInColorMixing());
    LevelsChanged();
    return 0;
}

/////////////////////////////////////////////////////////////////////////////
// CQUPDContourLabels

CQUPDContourLabels::CQUPDContourLabels() : CQUPlotDetailsCMapTab(IDD_PD_NUMERIC_FORMATS) {}

void CQUPDContourLabels::InitControls()
{
    m_format.SubclassDlgItem(IDC_CMAP_LBL_FORMAT, this);
    m_minArea.SubclassDlgItem(IDC_CMAP_LBL_MIN_AREA, this);
    PDFillComboFromString(m_format, IDS_QD_NUMERIC_FORMS);
    for (const char* a : {"1", "2", "5", "10", "30"})
        m_minArea.AddString(a);
    SendDlgItemMessage(IDC_CMAP_LBL_DIGITS_SPIN, UDM_SETRANGE32, 1, 14);
    SendDlgItemMessage(IDC_CMAP_LBL_PLACES_SPIN, UDM_SETRANGE32, 0, 12);
}

void CQUPDContourLabels::EnableRule()
{
    BOOL places = IsDlgButtonChecked(IDC_CMAP_LBL_BY_PLACES) == BST_CHECKED;
    GetDlgItem(IDC_CMAP_LBL_PLACES)->EnableWindow(places);
    GetDlgItem(IDC_CMAP_LBL_DIGITS)->EnableWindow(!places);
}

void CQUPDContourLabels::ObjectToControls()
{
    LoadColorMapData();
    int area = 0;
    const BOOL hasArea = GetPlot()->GetExtendedValue(5, &area);
    if (hasArea && GetPlot()->GetExtendedValue(6, &area))
        SetDlgItemInt(IDC_CMAP_LBL_MIN_AREA, area);
    for (int id : {IDC_CMAP_LBL_MIN_AREA, IDC_CMAP_LBL_MIN_AREA_LABEL, IDC_CMAP_LBL_CRITERIA})
        GetDlgItem(id)->ShowWindow(hasArea ? SW_SHOW : SW_HIDE);
    const CQKColorMapData* m = m_pColorMap;
    CString divide;
    if (m->GetLabelsDivideByFactor() != 0)
        divide.Format("%.15g", m->GetLabelsDivideByFactor());
    SetDlgItemText(IDC_CMAP_LBL_DIVIDE, divide);
    m_format.SetCurSel(m->GetLabelsFormat());
    SetDlgItemText(IDC_CMAP_LBL_PREFIX, m->GetLabelsPrefix().c_str());
    SetDlgItemText(IDC_CMAP_LBL_SUFFIX, m->GetLabelsSuffix().c_str());
    CheckRadioButton(IDC_CMAP_LBL_BY_PLACES, IDC_CMAP_LBL_BY_DIGITS,
                     m->IsLabelsByNumDecPlaces() ? IDC_CMAP_LBL_BY_PLACES : IDC_CMAP_LBL_BY_DIGITS);
    const int count = m->GetLabelsSigDigits();
    SetDlgItemInt(IDC_CMAP_LBL_DIGITS, count);
    SetDlgItemInt(IDC_CMAP_LBL_PLACES, count < 3 ? 0 : count - 3);
    EnableRule();
}

void CQUPDContourLabels::ControlsToObject()
{
    if (!m_pColorMap)
        LoadColorMapData();
    CQKPlotObj* plot = GetPlot();
    if (plot->GetExtendedValue(5, nullptr)) {
        CString text;
        GetDlgItemText(IDC_CMAP_LBL_MIN_AREA, text);
        double v;
        if (PDReadNumber(text, v)) {
            int area = (int)lround(v);
            plot->SetExtendedValue(6, &area);
        }
    }
    CString text;
    double v;
    GetDlgItemText(IDC_CMAP_LBL_DIVIDE, text);
    m_pColorMap->SetLabelsDivideByFactor(PDReadNumber(text, v) ? v : 0);
    if (m_format.GetCurSel() >= 0)
        m_pColorMap->SetLabelsFormat(m_format.GetCurSel());
    GetDlgItemText(IDC_CMAP_LBL_PREFIX, text);
    m_pColorMap->SetLabelsPrefix((const char*)text);
    GetDlgItemText(IDC_CMAP_LBL_SUFFIX, text);
    m_pColorMap->SetLabelsSuffix((const char*)text);
    const BOOL places = IsDlgButtonChecked(IDC_CMAP_LBL_BY_PLACES) == BST_CHECKED;
    m_pColorMap->SetLabelsByNumDecPlaces(places);
    m_pColorMap->SetLabelsSigDigits(places ? (int)GetDlgItemInt(IDC_CMAP_LBL_PLACES) + 3
                                           : (int)GetDlgItemInt(IDC_CMAP_LBL_DIGITS));
    plot->SaveColorMapData(m_pColorMap);
}

BOOL CQUPDContourLabels::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(wParam) == BN_CLICKED) {
        const UINT id = LOWORD(wParam);
        const BOOL digitsOn = GetDlgItem(IDC_CMAP_LBL_DIGITS)->IsWindowEnabled();
        if (id == IDC_CMAP_LBL_BY_PLACES && digitsOn) {
            int count = (int)GetDlgItemInt(IDC_CMAP_LBL_DIGITS);
            SetDlgItemInt(IDC_CMAP_LBL_PLACES, count < 3 ? 0 : count - 3);
        } else if (id == IDC_CMAP_LBL_BY_DIGITS && !digitsOn) {
            SetDlgItemInt(IDC_CMAP_LBL_DIGITS, GetDlgItemInt(IDC_CMAP_LBL_PLACES) + 3);
        }
        if (id == IDC_CMAP_LBL_BY_PLACES || id == IDC_CMAP_LBL_BY_DIGITS)
            EnableRule();
    }
    return CQUPlotDetailsCMapTab::OnCommand(wParam, lParam);
}

/////////////////////////////////////////////////////////////////////////////
// CQUPDContourLines

CQUPDContourLines::CQUPDContourLines() : CQUPlotDetailsPlotObjTab(IDD_PD_CONTOUR_LINES), m_bFill(TRUE), m_bShowZ(FALSE) {}

void CQUPDContourLines::DoDataExchange(CDataExchange* pDX)
{
    DDX_Check(pDX, IDC_CONTOUR_FILL, m_bFill);
    DDX_Check(pDX, IDC_CONTOUR_SHOW_Z, m_bShowZ);
}

void CQUPDContourLines::EnableRule()
{
    GetDlgItem(IDC_CONTOUR_SHOW_Z)->EnableWindow(IsDlgButtonChecked(IDC_CONTOUR_FILL) != BST_CHECKED);
}

void CQUPDContourLines::ObjectToControls()
{
    m_bFill = GetPlot()->IsFillContours();
    m_bShowZ = GetPlot()->IsShowGrids();
    UpdateData(FALSE);
    EnableRule();
}

void CQUPDContourLines::ControlsToObject()
{
    UpdateData(TRUE);
    GetPlot()->SetFillContours(m_bFill);
    GetPlot()->SetShowGrids(m_bShowZ);
}

BOOL CQUPDContourLines::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == IDC_CONTOUR_FILL && HIWORD(wParam) == BN_CLICKED)
        EnableRule();
    return CQUPlotDetailsPlotObjTab::OnCommand(wParam, lParam);
}

/////////////////////////////////////////////////////////////////////////////
// CQUCmapCellFillDlg

CQUCmapCellFillDlg::CQUCmapCellFillDlg(ColorMapEntry* entry, BOOL hidePatterns, CWnd* parent)
    : CDialog(IDD_CMAP_CELL_FILL, parent), m_pEntry(entry), m_bHidePatterns(hidePatterns)
{
}

BOOL CQUCmapCellFillDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_color.SubclassDlgItem(IDC_CMAP_FROM_COLOR, this);
    m_pattern.SubclassDlgItem(IDC_CMAP_FROM_PATTERN, this);
    m_patternColor.SubclassDlgItem(IDC_CMAP_FROM_PATTERN_COLOR, this);
    m_width.SubclassDlgItem(IDC_CMAP_FROM_PATTERN_WIDTH, this);
    FillSet{&m_color, &m_pattern, &m_patternColor, &m_width}.Load(*m_pEntry);
    if (m_bHidePatterns)
        for (int id : {IDC_CMAP_FROM_PATTERN, IDC_CMAP_FROM_PATTERN_COLOR, IDC_CMAP_FROM_PATTERN_WIDTH,
                       IDC_CMAP_PATTERN_LABEL, IDC_CMAP_PATTERN_COLOR_LABEL, IDC_CMAP_PATTERN_WIDTH_LABEL})
            GetDlgItem(id)->ShowWindow(SW_HIDE);
    return TRUE;
}

void CQUCmapCellFillDlg::OnOK()
{
    FillSet{&m_color, &m_pattern, &m_patternColor, &m_width}.Store(*m_pEntry);
    CDialog::OnOK();
}

BOOL CQUCmapCellFillDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == IDC_CMAP_FROM_PATTERN && HIWORD(wParam) == CBN_SELCHANGE)
        FillSet{&m_color, &m_pattern, &m_patternColor, &m_width}.EnableRule();
    return CDialog::OnCommand(wParam, lParam);
}

/////////////////////////////////////////////////////////////////////////////
// CQUCmapFillDlg

CQUCmapFillDlg::CQUCmapFillDlg(BOOL partial, CQKPlotObj* plot, CWnd* parent)
    : CDialog(IDD_CMAP_FILL, parent), m_bPartial(partial), m_pPlot(plot)
{
}

BOOL CQUCmapFillDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    static const int ids[2][4] = {
        {IDC_CMAP_FROM_COLOR, IDC_CMAP_FROM_PATTERN, IDC_CMAP_FROM_PATTERN_COLOR, IDC_CMAP_FROM_PATTERN_WIDTH},
        {IDC_CMAP_TO_COLOR, IDC_CMAP_TO_PATTERN, IDC_CMAP_TO_PATTERN_COLOR, IDC_CMAP_TO_PATTERN_WIDTH}};
    for (int s = 0; s < 2; ++s) {
        m_color[s].SubclassDlgItem(ids[s][0], this);
        m_pattern[s].SubclassDlgItem(ids[s][1], this);
        m_patternColor[s].SubclassDlgItem(ids[s][2], this);
        m_width[s].SubclassDlgItem(ids[s][3], this);
        FillSet{&m_color[s], &m_pattern[s], &m_patternColor[s], &m_width[s]}.Load(s ? *m_pTo : *m_pFrom);
    }
    CheckRadioButton(IDC_CMAP_MIX_LIMITED, IDC_CMAP_MIX_OTHER, m_nMixing ? IDC_CMAP_MIX_OTHER : IDC_CMAP_MIX_LIMITED);
    if (m_bPartial && m_pPlot) {
        std::unique_ptr<CQKColorMapData> map(m_pPlot->GetColorMapData(nullptr));
        std::string text;
        map->FormatAsString(m_pFrom->level, text, 0);
        SetDlgItemText(IDC_CMAP_FROM_LEVEL, text.c_str());
        map->FormatAsString(m_pTo->level, text, 0);
        SetDlgItemText(IDC_CMAP_TO_LEVEL, text.c_str());
    }
    if (m_pPlot && !m_pPlot->HasCMapProperties(1)) {
        // No patterns: the dialog ends above them.
        CRect group, window;
        GetDlgItem(IDC_CMAP_PATTERN_GROUP)->GetWindowRect(&group);
        GetWindowRect(&window);
        CRect ok;
        GetDlgItem(IDOK)->GetWindowRect(&ok);
        const int shift = ok.top - group.top;
        for (int id : {IDOK, IDCANCEL}) {
            CRect r;
            GetDlgItem(id)->GetWindowRect(&r);
            ScreenToClient(&r);
            GetDlgItem(id)->SetWindowPos(nullptr, r.left, r.top - shift, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        }
        SetWindowPos(nullptr, 0, 0, window.Width(), window.Height() - shift, SWP_NOMOVE | SWP_NOZORDER);
    }
    return TRUE;
}

void CQUCmapFillDlg::OnOK()
{
    m_nMixing = IsDlgButtonChecked(IDC_CMAP_MIX_OTHER) == BST_CHECKED ? 1 : 0;
    FillSet{&m_color[0], &m_pattern[0], &m_patternColor[0], &m_width[0]}.Store(*m_pFrom);
    FillSet{&m_color[1], &m_pattern[1], &m_patternColor[1], &m_width[1]}.Store(*m_pTo);
    CDialog::OnOK();
}

BOOL CQUCmapFillDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(wParam) == CBN_SELCHANGE && (LOWORD(wParam) == IDC_CMAP_FROM_PATTERN || LOWORD(wParam) == IDC_CMAP_TO_PATTERN))
        for (int s = 0; s < 2; ++s)
            FillSet{&m_color[s], &m_pattern[s], &m_patternColor[s], &m_width[s]}.EnableRule();
    return CDialog::OnCommand(wParam, lParam);
}

/////////////////////////////////////////////////////////////////////////////
// CQUCmapLineDlg

CQUCmapLineDlg::CQUCmapLineDlg(CQKPlotObj*, CWnd* parent) : CDialog(IDD_CMAP_LINE, parent) {}

void CQUCmapLineDlg::EnableRule()
{
    BOOL on = IsDlgButtonChecked(IDC_CMAP_LINE_SHOW) == BST_CHECKED;
    for (int id : {IDC_CMAP_LINE_COLOR, IDC_CMAP_LINE_STYLE, IDC_CMAP_LINE_WIDTH, IDC_CMAP_LINE_COLOR2,
                   IDC_CMAP_LINE_STYLE2, IDC_CMAP_LINE_WIDTH2})
        GetDlgItem(id)->EnableWindow(on);
}

BOOL CQUCmapLineDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_color.SubclassDlgItem(IDC_CMAP_LINE_COLOR, this);
    m_style.SubclassDlgItem(IDC_CMAP_LINE_STYLE, this);
    m_width.SubclassDlgItem(IDC_CMAP_LINE_WIDTH, this);
    CheckDlgButton(IDC_CMAP_LINE_SHOW, (m_pFrom->flags & CMAP_LINE_HIDDEN) ? BST_UNCHECKED : BST_CHECKED);
    LineSet{&m_color, &m_style, &m_width}.Load(*m_pFrom);
    // One level: only the first set, the dialog ending between the two groups.
    CRect second, window;
    GetDlgItem(IDC_CMAP_LINE_MAX_GROUP)->GetWindowRect(&second);
    GetWindowRect(&window);
    for (int id : {IDC_CMAP_LINE_MIN_GROUP, IDC_CMAP_LINE_MAX_GROUP, IDC_CMAP_LINE_COLOR2, IDC_CMAP_LINE_STYLE2,
                   IDC_CMAP_LINE_WIDTH2})
        GetDlgItem(id)->ShowWindow(SW_HIDE);
    const int shift = second.Height();
    for (int id : {IDOK, IDCANCEL}) {
        CRect r;
        GetDlgItem(id)->GetWindowRect(&r);
        ScreenToClient(&r);
        GetDlgItem(id)->SetWindowPos(nullptr, r.left, r.top - shift, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
    SetWindowPos(nullptr, 0, 0, window.Width(), window.Height() - shift, SWP_NOMOVE | SWP_NOZORDER);
    EnableRule();
    return TRUE;
}

void CQUCmapLineDlg::OnOK()
{
    LineSet{&m_color, &m_style, &m_width}.Store(*m_pFrom);
    if (IsDlgButtonChecked(IDC_CMAP_LINE_SHOW) == BST_CHECKED)
        m_pFrom->flags &= ~CMAP_LINE_HIDDEN;
    else
        m_pFrom->flags |= CMAP_LINE_HIDDEN;
    CDialog::OnOK();
}

BOOL CQUCmapLineDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == IDC_CMAP_LINE_SHOW && HIWORD(wParam) == BN_CLICKED)
        EnableRule();
    return CDialog::OnCommand(wParam, lParam);
}

/////////////////////////////////////////////////////////////////////////////
// CQUCmapSetLevelsDlg

CQUCmapSetLevelsDlg::CQUCmapSetLevelsDlg(CQKPlotObj* plot, CWnd* parent)
    : CDialog(IDD_CMAP_SET_LEVELS, parent), m_pPlot(plot)
{
}

void CQUCmapSetLevelsDlg::EnableRule()
{
    BOOL interval = IsDlgButtonChecked(IDC_CMAP_BY_INTERVAL) == BST_CHECKED;
    GetDlgItem(IDC_CMAP_INTERVAL)->EnableWindow(interval);
    GetDlgItem(IDC_CMAP_NUM_LEVELS)->EnableWindow(!interval);
}

BOOL CQUCmapSetLevelsDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    EnableRule();
    return TRUE;
}

void CQUCmapSetLevelsDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Text(pDX, IDC_CMAP_MIN, m_dMin);
    DDX_Text(pDX, IDC_CMAP_MAX, m_dMax);
    DDX_Radio(pDX, IDC_CMAP_BY_INTERVAL, m_nByNumber);
    DDX_Text(pDX, IDC_CMAP_INTERVAL, m_dInterval);
    DDX_Text(pDX, IDC_CMAP_NUM_LEVELS, m_nLevels);
    DDX_Check(pDX, IDC_CMAP_LOG, m_bLog);
    if (!pDX->m_bSaveAndValidate)
        return;
    UINT failure = 0;
    if (m_dMin >= m_dMax)
        failure = IDS_CMAP_MIN_MAX;
    else if (m_bLog && (m_dMin <= 0 || m_dMax <= 0))
        failure = IDS_CMAP_LOG;
    else if (m_nByNumber == 1 && m_nLevels < 1)
        failure = IDS_CMAP_NUM_LEVELS;
    else if (m_nByNumber == 0 && !(m_dInterval > 0))
        failure = IDS_CMAP_INTERVAL;
    if (failure) {
        Message(failure);
        pDX->Fail();
    }
}

BOOL CQUCmapSetLevelsDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT id = LOWORD(wParam);
    if (HIWORD(wParam) == BN_CLICKED && (id == IDC_CMAP_BY_INTERVAL || id == IDC_CMAP_BY_NUMBER))
        EnableRule();
    if (HIWORD(wParam) == BN_CLICKED && id == IDC_CMAP_FIND_MIN_MAX && m_pPlot) {
        double range[2];
        if (m_pPlot->GetDefaultColorColumnRange(range)) {
            CString text;
            text.Format("%.15g", range[0]);
            SetDlgItemText(IDC_CMAP_MIN, text);
            text.Format("%.15g", range[1]);
            SetDlgItemText(IDC_CMAP_MAX, text);
        }
        return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
}

/////////////////////////////////////////////////////////////////////////////
// CQUCmapContourLinesDlg

CQUCmapContourLinesDlg::CQUCmapContourLinesDlg(BOOL selection, ColorMapEntry* entry, CWnd* parent)
    : CDialog(IDD_CMAP_CONTOUR_LINES, parent), m_bSelection(selection), m_pEntry(entry)
{
}

void CQUCmapContourLinesDlg::EnableRule()
{
    BOOL on = IsDlgButtonChecked(IDC_CMAP_APPLY_ALL) == BST_CHECKED;
    for (int id : {IDC_CMAP_CL_COLOR, IDC_CMAP_CL_STYLE, IDC_CMAP_CL_WIDTH})
        GetDlgItem(id)->EnableWindow(on);
}

BOOL CQUCmapContourLinesDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_color.SubclassDlgItem(IDC_CMAP_CL_COLOR, this);
    m_style.SubclassDlgItem(IDC_CMAP_CL_STYLE, this);
    m_width.SubclassDlgItem(IDC_CMAP_CL_WIDTH, this);
    m_nShow = 0;
    CheckRadioButton(IDC_CMAP_KEEP, IDC_CMAP_HIDE_ALL, IDC_CMAP_KEEP);
    CheckDlgButton(IDC_CMAP_APPLY_ALL, m_bApplyToAll ? BST_CHECKED : BST_UNCHECKED);
    CString text;
    if (m_pEntry) {
        LineSet{&m_color, &m_style, &m_width}.Load(*m_pEntry);
        EnableRule();
    } else {
        text.LoadString(IDS_CMAP_CONTOUR_LABELS);
        SetWindowText(text);
        text.LoadString(IDS_CMAP_SHOW_LABELS);
        SetDlgItemText(IDC_CMAP_SHOW_GROUP, text);
        CRect group, window;
        GetDlgItem(IDC_CMAP_PROPS_GROUP)->GetWindowRect(&group);
        GetWindowRect(&window);
        for (int id : {IDC_CMAP_PROPS_GROUP, IDC_CMAP_APPLY_ALL, IDC_CMAP_CL_COLOR, IDC_CMAP_CL_STYLE, IDC_CMAP_CL_WIDTH})
            GetDlgItem(id)->ShowWindow(SW_HIDE);
        for (CWnd* child = GetWindow(GW_CHILD); child; child = child->GetWindow(GW_HWNDNEXT)) {
            CRect r;
            child->GetWindowRect(&r);
            if (r.top > group.top && r.bottom <= group.bottom)
                child->ShowWindow(SW_HIDE); // the group's labels
        }
        const int shift = group.Height();
        for (int id : {IDOK, IDCANCEL}) {
            CRect r;
            GetDlgItem(id)->GetWindowRect(&r);
            ScreenToClient(&r);
            GetDlgItem(id)->SetWindowPos(nullptr, r.left, r.top - shift, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        }
        SetWindowPos(nullptr, 0, 0, window.Width(), window.Height() - shift, SWP_NOMOVE | SWP_NOZORDER);
    }
    if (m_bSelection) {
        for (auto [id, string] : {std::pair<int, UINT>{IDC_CMAP_APPLY_ALL, IDS_CMAP_APPLY_SELECTION},
                                  {IDC_CMAP_SHOW_ALL, IDS_CMAP_SHOW_SELECTED},
                                  {IDC_CMAP_HIDE_ALL, IDS_CMAP_HIDE_SELECTED}}) {
            text.LoadString(string);
            SetDlgItemText(id, text);
        }
    }
    return TRUE;
}

void CQUCmapContourLinesDlg::OnOK()
{
    m_nShow = IsDlgButtonChecked(IDC_CMAP_SHOW_ALL) == BST_CHECKED   ? 1
              : IsDlgButtonChecked(IDC_CMAP_HIDE_ALL) == BST_CHECKED ? 2
                                                                     : 0;
    m_bApplyToAll = IsDlgButtonChecked(IDC_CMAP_APPLY_ALL) == BST_CHECKED;
    if (m_pEntry && m_bApplyToAll)
        LineSet{&m_color, &m_style, &m_width}.Store(*m_pEntry);
    CDialog::OnOK();
}

BOOL CQUCmapContourLinesDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == IDC_CMAP_APPLY_ALL && HIWORD(wParam) == BN_CLICKED && m_pEntry)
        EnableRule();
    return CDialog::OnCommand(wParam, lParam);
}
