#include "QUAxes.h"

#include <afxdlgs.h>
#include <afxres.h>
#include <math.h>

#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "ObjectsResources.h"
#include "QKUtil.h"
#include "QUControls.h"

namespace {

// Whether each side (bottom, top, left, right, front, back) shows its major labels: one
// flag per side for all label pages and all openings of the dialog; -1 until a page has
// read it from the side's labels.
int g_sideLabelShow[6] = {-1, -1, -1, -1, -1, -1};

// The longest special label the Custom Tick Labels page shows and writes back.
const int kMaxSpecialLabel = 50;

std::string NumberText(double value)
{
    CQKCString text;
    text.NumToStr(value);
    return text.GetString();
}

// A number shown in the "**" form, or nothing for 0.
std::string NumberOrEmpty(double value)
{
    return value == 0 ? std::string() : CQKCString::DoubleToStrByFormat(value, "**");
}

class CQUAxesSheet;

class CQUBaseAxisPropertyPage : public CPropertyPage
{
public:
    CQUBaseAxisPropertyPage(UINT templateId, UINT list2D, UINT list3D, bool objectPage, int commonCount = 3)
        : CPropertyPage(templateId), m_bObjectPage(objectPage), m_nTemplateId(templateId), m_nList2D(list2D),
          m_nList3D(list3D), m_nCommonCount(commonCount)
    {
        m_psp.dwFlags &= ~PSP_HASHELP;
    }
    ~CQUBaseAxisPropertyPage() override
    {
        delete m_pAxes;
        delete m_pAxisList;
    }

    virtual void LoadControls() = 0;
    virtual void SaveControls() = 0;
    virtual void SetTicksObj(CQKAxisTicksObj* ticks) { m_pTicks = ticks; }
    virtual void SetLabelsObj(CQKAxisLabelsObj* labels) { m_pLabels = labels; }
    virtual void ApplyToOthers() {}
    virtual int GetSideLabelShow(int index, int axisType)
    {
        if (LOWORD(axisType))
            index = CQKGraphicLayer::GetBTLRAxisType(axisType);
        return index >= 0 && index < 6 ? g_sideLabelShow[index] : 0;
    }
    virtual void SetSideLabelShow(int axisType, int index, int value)
    {
        if (index == 6)
            index = CQKGraphicLayer::GetBTLRAxisType(axisType);
        if (index >= 0 && index < 6)
            g_sideLabelShow[index] = value;
    }
    virtual BOOL AfterApply() { return TRUE; }
    virtual void InitControls()
    {
        m_pAxisList->SetItemHeight(0, 48);
        m_pAxisList->SetRectSize(CSize(35, 53));
        m_pAxisList->GetDrawCtrlItem()->SetOption(0); // the axis name below its icon
        bool is3D = m_pLayer->Is3DLayer() != FALSE;
        m_pAxisList->FillIcons(m_nList2D, m_nList3D, m_bObjectPage ? 6 : (is3D ? m_nCommonCount : 2));
    }
    // Label pages: enables or disables the controls by the side's show flag.
    virtual void EnableLabelControls(BOOL) {}

    // Set up by the sheet before it is shown.
    void Begin(CQUAxesSheet* sheet, CQKGraphicLayer* layer, int axisType)
    {
        m_pSheet = sheet;
        m_pLayer = layer;
        m_nAxisType = axisType;
        m_pAxisList = layer->Is3DLayer() ? new CQUAxisListBox3D : new CQUAxisListBox;
        CreateAxesObject(axisType);
        if (m_bObjectPage)
            TakeSideObjects();
    }

    void SelectAxis(int index, BOOL keep);
    // Writes the page's edits into its axes when it has any (before the axis changes).
    void SaveIfChanged(std::vector<CQUBaseAxisPropertyPage*>& applied)
    {
        if (!m_bChanged || !m_hWnd)
            return;
        SaveControls();
        TriangleUpdate();
        applied.push_back(this);
        AfterApply();
    }

    // Shows the axes' values again, as loaded (not as an edit).
    void Reload()
    {
        BOOL loading = m_bLoading;
        m_bLoading = TRUE;
        LoadControls();
        m_bLoading = loading;
    }

    int ListIndex() const
    {
        return m_bObjectPage ? CQKGraphicLayer::GetBTLRAxisType(m_nAxisType)
                             : CQKGraphicLayer::GetHVAxisType(m_nAxisType);
    }

    int m_nAxisType = QK_AXIS_X;
    BOOL m_bChanged = FALSE;
    bool m_bObjectPage;

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        CPropertyPage::DoDataExchange(pDX);
        DDX_Control(pDX, m_bObjectPage ? IDC_QD_AXIS_OBJ_LIST : IDC_QD_AXIS_LIST, *m_pAxisList);
    }

    BOOL OnInitDialog() override
    {
        m_bLoading = TRUE;
        CPropertyPage::OnInitDialog();
        InitControls();
        LoadControls();
        m_bLoading = FALSE;
        return TRUE;
    }

    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        UINT code = HIWORD(wParam);
        int id = LOWORD(wParam);
        if (lParam && !m_bLoading && IsEdit(code, (HWND)lParam)) {
            SetModified(TRUE);
            m_bChanged = TRUE;
        }
        if (id == (m_bObjectPage ? IDC_QD_AXIS_OBJ_LIST : IDC_QD_AXIS_LIST) && code == LBN_SELCHANGE) {
            int index = m_pAxisList->GetCurSel();
            if (index >= 0)
                SelectAxis(index, FALSE);
            return TRUE;
        }
        return CPropertyPage::OnCommand(wParam, lParam);
    }

    BOOL OnSetActive() override;

    BOOL OnHelpInfo(HELPINFO*)
    {
        WinHelp(m_nTemplateId, HELP_CONTEXT);
        return TRUE;
    }
    DECLARE_MESSAGE_MAP()

    // Whether a notification is the user's edit: a click, a selection, typed text. Code 5
    // is a combo box's edit change but a list box's loss of the focus.
    static bool IsEdit(UINT code, HWND control)
    {
        if (code == BN_CLICKED || code == LBN_SELCHANGE || code == EN_CHANGE)
            return true;
        char name[16] = "";
        ::GetClassNameA(control, name, sizeof name);
        return code == CBN_EDITCHANGE && lstrcmpiA(name, "ComboBox") == 0;
    }

    BOOL OnApply() override
    {
        SaveControls();
        TriangleUpdate();
        m_pLayer->UpdateAll(TRUE);
        SetModified(FALSE);
        AfterApply();
        return CPropertyPage::OnApply();
    }

    void TriangleUpdate()
    {
        if (m_pLayer->IsLayerTriangle() && (m_nAxisType & QK_AXIS_Z))
            m_pLayer->UpdateTriangleAxis(m_nAxisType);
    }

    void CreateAxesObject(int axisType)
    {
        delete m_pAxes;
        m_pAxes = new CQUAxes;
        m_pAxes->Attach(m_pLayer, CQKGraphicLayer::GetAxesID(axisType));
        m_pLayer->GetAxes(m_pAxes, axisType);
    }

    void TakeSideObjects()
    {
        bool second = (m_nAxisType & QK_AXIS_SECOND) != 0;
        SetTicksObj(second ? m_pAxes->Get2ndAxis() : m_pAxes->Get1stAxis());
        SetLabelsObj(second ? m_pAxes->Get2ndTickLabel() : m_pAxes->Get1stTickLabel());
        SetSideLabelShow(m_nAxisType, 6, m_pLabels->IsShow());
    }

    // Control helpers: the page works on its controls directly.
    std::string Text(int id)
    {
        CString text;
        GetDlgItemText(id, text);
        return (LPCTSTR)text;
    }
    void SetText(int id, const std::string& text) { SetDlgItemText(id, text.c_str()); }
    BOOL Checked(int id) { return IsDlgButtonChecked(id) == BST_CHECKED; }
    void Check(int id, BOOL on) { CheckDlgButton(id, on ? BST_CHECKED : BST_UNCHECKED); }
    void Enable(int id, BOOL on)
    {
        if (CWnd* control = GetDlgItem(id))
            control->EnableWindow(on);
    }
    void Show(int id, BOOL on)
    {
        if (CWnd* control = GetDlgItem(id))
            control->ShowWindow(on ? SW_SHOW : SW_HIDE);
    }
    // The number typed in an edit; `fallback` when it is none.
    int IntOf(int id, int fallback)
    {
        int value = 0;
        return CQKCString(Text(id)).GetInt(&value) ? value : fallback;
    }
    double DoubleOf(int id, double fallback)
    {
        double value = 0;
        return CQKCString(Text(id)).GetReal(&value) ? value : fallback;
    }
    // Sets up a combo box whose images are `cx` wide and whose items are `cy` high.
    static void SetUpCombo(CQUImageComboBox& combo, int cx, int cy)
    {
        combo.SetItemHeight(-1, cy);
        combo.SetItemHeight(0, cy);
        combo.SetRectSize(CSize(cx, cy));
    }
    int HeightOf(int id)
    {
        CRect rect;
        GetDlgItem(id)->GetWindowRect(&rect);
        return rect.Height();
    }
    // The "Apply To" pair: a check and, one id above, its scope list.
    void InitScope(CQUStringComBox& scope) { scope.INIResStringComboBox(IDS_QD_APPLY_SCOPES, 0); }
    int ScopeOf(int checkId) { return (int)SendDlgItemMessage(checkId + 1, CB_GETCURSEL); }

    CQUAxesSheet* m_pSheet = nullptr;
    CQKGraphicLayer* m_pLayer = nullptr;
    CQUAxes* m_pAxes = nullptr;
    CQUAxisListBox* m_pAxisList = nullptr;
    CQKAxisTicksObj* m_pTicks = nullptr;
    CQKAxisLabelsObj* m_pLabels = nullptr;
    BOOL m_bLoading = FALSE;
    UINT m_nTemplateId;
    UINT m_nList2D, m_nList3D;
    int m_nCommonCount;
};

// The sheet of the axis dialog. "Apply To" copies are kept until the user's edits are
// applied, so that Cancel leaves other layers and windows as they were too.
class CQUAxesSheet : public CPropertySheet
{
public:
    CQUAxesSheet(LPCTSTR title, CWnd* parent, UINT startPage);

    void Begin(CQUAxes* axes);
    void QueueCopy(CQKGrElement* element, int code, int scope, double value)
    {
        m_copies.push_back({element, code, scope, value});
    }
    std::vector<CQUBaseAxisPropertyPage*> Pages() const;
    CQUBaseAxisPropertyPage* Page(int tab) const { return Pages()[tab]; }

    CQUBaseAxisPropertyPage* m_pLastActive = nullptr;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void FinishApply();
    // Context help is the active page's.
    BOOL OnHelpInfo(HELPINFO* info)
    {
        CPropertyPage* page = GetActivePage();
        return page ? (BOOL)page->SendMessage(WM_HELP, 0, (LPARAM)info) : FALSE;
    }
    DECLARE_MESSAGE_MAP()

private:
    struct Copy {
        CQKGrElement* element;
        int code, scope;
        double value;
    };
    CQUAxes* m_pAxes = nullptr;
    std::vector<Copy> m_copies;
    std::vector<CQUBaseAxisPropertyPage*> m_pages;
};

BEGIN_MESSAGE_MAP(CQUBaseAxisPropertyPage, CPropertyPage)
    ON_WM_HELPINFO()
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(CQUAxesSheet, CPropertySheet)
    ON_WM_HELPINFO()
END_MESSAGE_MAP()

void CQUBaseAxisPropertyPage::SelectAxis(int index, BOOL keep)
{
    std::vector<CQUBaseAxisPropertyPage*> saved;
    for (CQUBaseAxisPropertyPage* page : m_pSheet->Pages())
        page->SaveIfChanged(saved);
    // The copies the saved pages were asked for are kept for Apply; their flags go.
    for (CQUBaseAxisPropertyPage* page : saved) {
        page->ApplyToOthers();
        page->m_bChanged = FALSE;
    }
    if (!keep)
        m_nAxisType = CQKGraphicLayer::GetXYZAxisType(index, m_bObjectPage);
    CreateAxesObject(m_nAxisType);
    std::string title;
    m_pAxes->GetDlgTitle(title);
    m_pSheet->SetTitle(title.c_str());
    if (m_bObjectPage)
        TakeSideObjects();
    Reload();
}

BOOL CQUBaseAxisPropertyPage::OnSetActive()
{
    CQUBaseAxisPropertyPage* previous = m_pSheet->m_pLastActive;
    m_pSheet->m_pLastActive = this;
    if (previous && previous != this && LOWORD(previous->m_nAxisType) != LOWORD(m_nAxisType)) {
        m_nAxisType = previous->m_nAxisType;
        SelectAxis(ListIndex(), TRUE);
    }
    if (m_bObjectPage && GetDlgItem(IDC_QD_LB_SHOW)) {
        BOOL show = GetSideLabelShow(ListIndex(), 0) > 0;
        Check(IDC_QD_LB_SHOW, show);
        EnableLabelControls(show);
    }
    return CPropertyPage::OnSetActive();
}

// ---------------------------------------------------------------------------------------
// Scale

class CQUAxisScalePage : public CQUBaseAxisPropertyPage
{
public:
    CQUAxisScalePage() : CQUBaseAxisPropertyPage(IDD_QD_AXIS_SCALE, IDS_QD_SCALE_AXES, IDS_QD_SCALE_AXES, false) {}

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        CQUBaseAxisPropertyPage::DoDataExchange(pDX);
        DDX_Control(pDX, IDC_QD_SC_TYPE, m_type);
        DDX_Control(pDX, IDC_QD_SC_RESCALE, m_rescale);
    }

    void InitControls() override
    {
        int height = HeightOf(IDC_QD_SC_FROM);
        for (CQUResImageComboBox* combo : {&m_type, &m_rescale})
            SetUpCombo(*combo, 32, height);
        m_type.FillFromResource(IDS_QD_SCALE_TYPES, TRUE, TRUE);
        m_type.SetCurSel(0);
        m_rescale.FillFromResource(IDS_QD_RESCALE_TYPES, TRUE, TRUE);
        m_rescale.SetCurSel(0);
        CQUBaseAxisPropertyPage::InitControls();
        if (m_pLayer->IsLayerTriangle()) {
            Enable(IDC_QD_SC_FROM, FALSE);
            Enable(IDC_QD_SC_TO, FALSE);
        }
    }

    void LoadControls() override
    {
        m_pAxisList->SetCurSel(ListIndex());
        m_snapshot = {m_pAxes->GetType(), m_pAxes->GetRangeFrom(), m_pAxes->GetRangeTo(), m_pAxes->GetRangeInc(),
                      m_pAxes->GetMinorTickNum()};
        SetText(IDC_QD_SC_FROM, m_snapshot.from);
        SetText(IDC_QD_SC_TO, m_snapshot.to);
        SetText(IDC_QD_SC_INC, m_snapshot.inc);
        SetDlgItemInt(IDC_QD_SC_MINOR, m_snapshot.minor);
        SetDlgItemInt(IDC_QD_SC_MAJOR, m_pAxes->GetMajor());
        SetText(IDC_QD_SC_FIRST, m_pAxes->Get1stTick());
        m_type.SetCurSel(m_snapshot.type);
        m_rescale.SetCurSel(m_pAxes->GetRescaleType());
        m_type.EnableWindow(m_pLayer->IsAxisScaleTypeChangeable(m_nAxisType));
        Enable(IDC_QD_SC_MAJOR_RADIO, !IsLogType(m_snapshot.type));
        SetUseMajor(m_pAxes->GetUseMajor());
    }

    void SaveControls() override
    {
        // A range is written only when its text changed, so that an unchanged axis keeps
        // the exact text it holds.
        bool rangeWritten = false;
        if (CString(Text(IDC_QD_SC_FROM).c_str()).CompareNoCase(m_pAxes->GetRangeFrom().c_str()) != 0) {
            m_pAxes->SetRangeFrom(Text(IDC_QD_SC_FROM));
            rangeWritten = true;
        }
        if (CString(Text(IDC_QD_SC_TO).c_str()).CompareNoCase(m_pAxes->GetRangeTo().c_str()) != 0) {
            m_pAxes->SetRangeTo(Text(IDC_QD_SC_TO));
            rangeWritten = true;
        }
        if (CString(Text(IDC_QD_SC_INC).c_str()).CompareNoCase(m_pAxes->GetRangeInc().c_str()) != 0)
            m_pAxes->SetRangeInc(Text(IDC_QD_SC_INC));
        if (rangeWritten && (m_nAxisType & QK_AXIS_Z))
            m_pLayer->SetZScaleChanged(TRUE);
        m_pAxes->SetMinorTickNum(IntOf(IDC_QD_SC_MINOR, m_pAxes->GetMinorTickNum()));
        m_pAxes->SetMajor(IntOf(IDC_QD_SC_MAJOR, m_pAxes->GetMajor()));
        if (m_type.GetCurSel() >= 0)
            m_pAxes->SetType(m_type.GetCurSel());
        if (m_rescale.GetCurSel() >= 0)
            m_pAxes->SetRescaleType(m_rescale.GetCurSel());
        m_pAxes->SetUseMajor(Checked(IDC_QD_SC_MAJOR_RADIO));
        m_pAxes->Set1stTick(Text(IDC_QD_SC_FIRST));
        m_snapshot = {m_pAxes->GetType(), m_pAxes->GetRangeFrom(), m_pAxes->GetRangeTo(), m_pAxes->GetRangeInc(),
                      m_pAxes->GetMinorTickNum()};
    }

    void OnIncrement() { SetUseMajor(FALSE); }
    void OnMajorTicks() { SetUseMajor(TRUE); }

    // Shows the range the new type would give; the axes keep theirs until the page is
    // applied.
    void OnTypeChange()
    {
        int type = m_type.GetCurSel();
        if (type < 0)
            return;
        m_pAxes->SetType(type);
        if (m_pAxes->AdjustAxis(type)) {
            SetText(IDC_QD_SC_FROM, m_pAxes->GetRangeFrom());
            SetText(IDC_QD_SC_TO, m_pAxes->GetRangeTo());
        }
        SetText(IDC_QD_SC_INC, m_pAxes->GetRangeInc());
        SetDlgItemInt(IDC_QD_SC_MINOR, m_pAxes->GetMinorTickNum());
        m_pAxes->SetType(m_snapshot.type);
        Enable(IDC_QD_SC_MAJOR_RADIO, !IsLogType(type));
        m_pAxes->SetRangeFrom(m_snapshot.from);
        m_pAxes->SetRangeTo(m_snapshot.to);
        m_pAxes->SetRangeInc(m_snapshot.inc);
        m_pAxes->SetMinorTickNum(m_snapshot.minor);
    }

    DECLARE_MESSAGE_MAP()

private:
    static bool IsLogType(int type) { return type == 1 || type == 7 || type == 8; }

    void SetUseMajor(BOOL useMajor)
    {
        Check(IDC_QD_SC_MAJOR_RADIO, useMajor);
        Check(IDC_QD_SC_INC_RADIO, !useMajor);
        Enable(IDC_QD_SC_MAJOR, useMajor);
        Enable(IDC_QD_SC_INC, !useMajor);
    }

    struct Snapshot {
        int type;
        std::string from, to, inc;
        int minor;
    } m_snapshot;
    CQUResImageComboBox m_type, m_rescale;
};

BEGIN_MESSAGE_MAP(CQUAxisScalePage, CQUBaseAxisPropertyPage)
    ON_BN_CLICKED(IDC_QD_SC_INC_RADIO, OnIncrement)
    ON_BN_CLICKED(IDC_QD_SC_MAJOR_RADIO, OnMajorTicks)
    ON_CBN_SELCHANGE(IDC_QD_SC_TYPE, OnTypeChange)
END_MESSAGE_MAP()

// ---------------------------------------------------------------------------------------
// Grid Lines

class CQUGridLinePage : public CQUBaseAxisPropertyPage
{
public:
    CQUGridLinePage() : CQUBaseAxisPropertyPage(IDD_QD_AXIS_GRID, IDS_QD_GRID_AXES, IDS_QD_GRID_AXES, false) {}

    void ApplyToOthers() override
    {
        if (!m_bApply)
            return;
        CQKAxisGridsObj* grid = m_pAxes->GetMajorGrid();
        for (int i = 0; i < 8; ++i)
            m_pSheet->QueueCopy(grid, 100 + i, m_nApplyScope, m_applyValues[i]);
    }

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        CQUBaseAxisPropertyPage::DoDataExchange(pDX);
        DDX_Control(pDX, IDC_QD_GR_MAJ_COLOR, m_color[0]);
        DDX_Control(pDX, IDC_QD_GR_MIN_COLOR, m_color[1]);
        DDX_Control(pDX, IDC_QD_GR_MAJ_TYPE, m_type[0]);
        DDX_Control(pDX, IDC_QD_GR_MIN_TYPE, m_type[1]);
        DDX_Control(pDX, IDC_QD_GR_MAJ_WIDTH, m_width[0]);
        DDX_Control(pDX, IDC_QD_GR_MIN_WIDTH, m_width[1]);
        DDX_Control(pDX, IDC_QD_GR_APPLY_SCOPE, m_scope);
    }

    void InitControls() override
    {
        int height = m_width[0].GetItemHeight(-1);
        for (int i = 0; i < 2; ++i) {
            SetUpCombo(m_color[i], height, height);
            m_color[i].AddColorNames();
            m_color[i].SetCurSel(0);
            SetUpCombo(m_type[i], 32, height);
            m_type[i].INIResStringComboBox(IDS_QD_LINE_TYPES, 0);
            m_width[i].INILineWidthComboBox(IDS_QD_LINE_WIDTHS, " ");
        }
        InitScope(m_scope);
        CQUBaseAxisPropertyPage::InitControls();
    }

    void LoadControls() override
    {
        m_pAxisList->SetCurSel(ListIndex());
        CQKAxisGridsObj* grids[2] = {m_pAxes->GetMajorGrid(), m_pAxes->GetMinorGrid()};
        for (int i = 0; i < 2; ++i) {
            m_color[i].SetCurSel(grids[i]->GetColor());
            m_type[i].SetCurSel(grids[i]->GetType());
            m_width[i].SetDoubleToComboBoxText(grids[i]->GetWidth(), 2);
            Check(i ? IDC_QD_GR_MINOR : IDC_QD_GR_MAJOR, grids[i]->IsShow());
        }
        EnableGroups();
        Check(IDC_QD_GR_APPLY, FALSE);
        m_scope.EnableWindow(FALSE);
        SetText(IDC_QD_GR_Y0, (m_nAxisType & QK_AXIS_Z) ? "Z = 0" : (m_nAxisType & QK_AXIS_Y) ? "X = 0" : "Y = 0");
        Check(IDC_QD_GR_OPPOSITE, m_pAxes->IsOppositeLine());
        Check(IDC_QD_GR_CENTER, m_pAxes->IsCenterLine());
    }

    void SaveControls() override
    {
        CQKAxisGridsObj* grids[2] = {m_pAxes->GetMajorGrid(), m_pAxes->GetMinorGrid()};
        for (int i = 0; i < 2; ++i) {
            if (m_color[i].GetCurSel() >= 0)
                grids[i]->SetColor(m_color[i].GetCurSel());
            if (m_type[i].GetCurSel() >= 0)
                grids[i]->SetType(m_type[i].GetCurSel());
            double width = 0;
            CString text;
            m_width[i].GetWindowText(text);
            if (CQKCString((LPCTSTR)text).GetReal(&width) && width >= 0)
                grids[i]->SetWidth(width);
            grids[i]->SetShow(Checked(i ? IDC_QD_GR_MINOR : IDC_QD_GR_MAJOR));
            m_applyValues[4 * i] = grids[i]->IsShow();
            m_applyValues[4 * i + 1] = grids[i]->GetColor();
            m_applyValues[4 * i + 2] = grids[i]->GetType();
            m_applyValues[4 * i + 3] = grids[i]->GetWidth();
        }
        m_pAxes->SetOppositeLine(Checked(IDC_QD_GR_OPPOSITE));
        m_pAxes->SetCenterLine(Checked(IDC_QD_GR_CENTER));
        m_bApply = Checked(IDC_QD_GR_APPLY);
        m_nApplyScope = m_scope.CComboBox::GetCurSel();
    }

    void EnableGroups()
    {
        for (int i = 0; i < 2; ++i) {
            BOOL on = Checked(i ? IDC_QD_GR_MINOR : IDC_QD_GR_MAJOR);
            m_color[i].EnableWindow(on);
            m_type[i].EnableWindow(on);
            m_width[i].EnableWindow(on);
        }
    }
    void OnApplyCheck() { m_scope.EnableWindow(Checked(IDC_QD_GR_APPLY)); }

    DECLARE_MESSAGE_MAP()

private:
    CQUColorComboBox m_color[2];
    CQUStringComBox m_type[2];
    CQULinewidthComBox m_width[2];
    CQUStringComBox m_scope;
    BOOL m_bApply = FALSE;
    int m_nApplyScope = 0;
    double m_applyValues[8] = {};
};

BEGIN_MESSAGE_MAP(CQUGridLinePage, CQUBaseAxisPropertyPage)
    ON_BN_CLICKED(IDC_QD_GR_MAJOR, EnableGroups)
    ON_BN_CLICKED(IDC_QD_GR_MINOR, EnableGroups)
    ON_BN_CLICKED(IDC_QD_GR_APPLY, OnApplyCheck)
END_MESSAGE_MAP()

// ---------------------------------------------------------------------------------------
// Break

class CQUAxisBreakPage : public CQUBaseAxisPropertyPage
{
public:
    CQUAxisBreakPage() : CQUBaseAxisPropertyPage(IDD_QD_AXIS_BREAK, IDS_QD_BREAK_AXES, IDS_QD_BREAK_AXES, false, 2) {}

protected:
    void LoadControls() override
    {
        m_pAxes->GetBreak(m_break, 0);
        m_pAxisList->SetCurSel(ListIndex());
        SetText(IDC_QD_BR_FROM, m_break.GetRegionFrom());
        SetText(IDC_QD_BR_TO, m_break.GetRegionTo());
        SetDlgItemInt(IDC_QD_BR_POSITION, m_break.GetPosition());
        Check(IDC_QD_BR_LOG_AFTER, m_break.IsLogScaleAfter());
        SetText(IDC_QD_BR_INC_BEFORE, m_break.GetScaleIncBefore());
        SetText(IDC_QD_BR_INC_AFTER, m_break.GetScaleIncAfter());
        SetDlgItemInt(IDC_QD_BR_TICKS_BEFORE, m_break.GetNumTicksBefore());
        SetDlgItemInt(IDC_QD_BR_TICKS_AFTER, m_break.GetNumTicksAfter());
        // A 3D layer's axes have no breaks.
        if (m_pLayer->IsLayer3D()) {
            Check(IDC_QD_BR_SHOW, FALSE);
            Enable(IDC_QD_BR_SHOW, FALSE);
            m_pAxisList->EnableWindow(FALSE);
        } else {
            Check(IDC_QD_BR_SHOW, m_break.IsEnable());
        }
        EnableRegion(m_break.IsEnable() && !m_pLayer->IsLayer3D());
    }

    void SaveControls() override
    {
        m_break.SetRegionFrom(Text(IDC_QD_BR_FROM));
        m_break.SetRegionTo(Text(IDC_QD_BR_TO));
        m_break.SetPosition(IntOf(IDC_QD_BR_POSITION, m_break.GetPosition()));
        m_break.SetLogScaleAfter(Checked(IDC_QD_BR_LOG_AFTER));
        m_break.SetScaleIncBefore(Text(IDC_QD_BR_INC_BEFORE));
        m_break.SetScaleIncAfter(Text(IDC_QD_BR_INC_AFTER));
        m_break.SetNumTicksBefore(IntOf(IDC_QD_BR_TICKS_BEFORE, m_break.GetNumTicksBefore()));
        m_break.SetNumTicksAfter(IntOf(IDC_QD_BR_TICKS_AFTER, m_break.GetNumTicksAfter()));
        m_break.SetEnable(Checked(IDC_QD_BR_SHOW));
        m_pAxes->SetBreak(m_break, 0);
    }

    void OnShowBreak() { EnableRegion(Checked(IDC_QD_BR_SHOW)); }

    void EnableRegion(BOOL on)
    {
        for (int id = IDC_QD_BR_FROM; id <= IDC_QD_BR_LOG_AFTER; ++id)
            Enable(id, on);
    }

    DECLARE_MESSAGE_MAP()

private:
    CQKAxisBreak m_break;
};

BEGIN_MESSAGE_MAP(CQUAxisBreakPage, CQUBaseAxisPropertyPage)
    ON_BN_CLICKED(IDC_QD_BR_SHOW, OnShowBreak)
END_MESSAGE_MAP()

// ---------------------------------------------------------------------------------------
// Object pages: one side's line and ticks object and its labels object.

class CQUAxisObjPropertyPage : public CQUBaseAxisPropertyPage
{
public:
    CQUAxisObjPropertyPage(UINT templateId, UINT list2D)
        : CQUBaseAxisPropertyPage(templateId, list2D, IDS_QD_AXES_3D, true)
    {
    }

    void SaveControls() override { SaveObjects(m_pTicks, m_pLabels); }
    void ApplyToOthers() override { ApplyToObjects(m_pTicks, m_pLabels); }
    virtual void SaveObjects(CQKAxisTicksObj*, CQKAxisLabelsObj*) = 0;
    virtual void ApplyToObjects(CQKAxisTicksObj*, CQKAxisLabelsObj*) {}

protected:
    // Label pages: the side's show flag, read from its labels when still unset.
    void InitSideFlag()
    {
        if (GetSideLabelShow(ListIndex(), 0) == -1)
            SetSideLabelShow(m_nAxisType, 6, m_pLabels->IsShow());
    }
    BOOL SideShows() { return GetSideLabelShow(ListIndex(), 0) > 0; }
    void OnShowLabels()
    {
        SetSideLabelShow(m_nAxisType, 6, Checked(IDC_QD_LB_SHOW));
        EnableLabelControls(Checked(IDC_QD_LB_SHOW));
    }
    // Enables the page's controls from `first` to `last`, except the axis list and 1225.
    void EnableRange(int first, int last, BOOL on, int except = 0)
    {
        for (int id = first; id <= last; ++id)
            if (id != except)
                Enable(id, on);
    }
    // Queues one copy of each pair of property codes when its check is set.
    void Queue(CQKGrElement* element, int checkId, std::initializer_list<int> codes, double value)
    {
        if (!m_applyChecks.count(checkId) || !m_applyChecks[checkId].first)
            return;
        for (int code : codes)
            m_pSheet->QueueCopy(element, code, m_applyChecks[checkId].second, value);
    }
    // What the "Apply To" pairs held when the page was saved: check and scope.
    void KeepApplyChecks(std::initializer_list<int> checkIds)
    {
        for (int id : checkIds)
            m_applyChecks[id] = {Checked(id), ScopeOf(id)};
    }
    std::map<int, std::pair<BOOL, int>> m_applyChecks;
};

class CQUAxisStylePage : public CQUAxisObjPropertyPage
{
public:
    CQUAxisStylePage() : CQUAxisObjPropertyPage(IDD_QD_AXIS_STYLE, IDS_QD_AXES_2D) {}

    void ApplyToObjects(CQKAxisTicksObj* ticks, CQKAxisLabelsObj*) override
    {
        if (!m_bShown)
            return;
        // The pairs go in two rounds (codes 115..118, then 110..113), and the tick length
        // to both of its codes.
        Queue(ticks, IDC_QD_ST_APPLY_COLOR, {115}, ticks->GetColor());
        Queue(ticks, IDC_QD_ST_APPLY_WIDTH, {116}, ticks->GetWidth());
        Queue(ticks, IDC_QD_ST_APPLY_TICKS, {117}, ticks->GetMajorTickType());
        Queue(ticks, IDC_QD_ST_APPLY_TICKS, {118}, ticks->GetMinorTickType());
        Queue(ticks, IDC_QD_ST_APPLY_COLOR, {110}, ticks->GetColor());
        Queue(ticks, IDC_QD_ST_APPLY_WIDTH, {111}, ticks->GetWidth());
        Queue(ticks, IDC_QD_ST_APPLY_TICKS, {112}, ticks->GetMajorTickType());
        Queue(ticks, IDC_QD_ST_APPLY_TICKS, {113}, ticks->GetMinorTickType());
        Queue(ticks, IDC_QD_ST_APPLY_LENGTH, {130, 131}, ticks->GetTickLength());
    }

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        CQUAxisObjPropertyPage::DoDataExchange(pDX);
        DDX_Control(pDX, IDC_QD_ST_COLOR, m_color);
        DDX_Control(pDX, IDC_QD_ST_WIDTH, m_width);
        DDX_Control(pDX, IDC_QD_ST_TICK_LENGTH, m_length);
        DDX_Control(pDX, IDC_QD_ST_MAJOR, m_major);
        DDX_Control(pDX, IDC_QD_ST_MINOR, m_minor);
        DDX_Control(pDX, IDC_QD_ST_POSITION, m_position);
        for (int i = 0; i < 4; ++i)
            DDX_Control(pDX, kApplyIds[i] + 1, m_scopes[i]);
    }

    void InitControls() override
    {
        for (CQUStringComBox& scope : m_scopes)
            InitScope(scope);
        int height = m_width.GetItemHeight(-1);
        SetUpCombo(m_color, height, height);
        m_color.AddColorNames();
        m_width.INILineWidthComboBox(IDS_QD_LINE_WIDTHS, " ");
        m_length.INIResStringComboBox(IDS_QD_TICK_LENGTHS, -1);
        CQUBaseAxisPropertyPage::InitControls();
    }

    void LoadControls() override
    {
        m_pAxisList->SetCurSel(ListIndex());
        RebuildSideLists();
        Check(IDC_QD_ST_SHOW, m_pTicks->IsShow() && m_pLayer->IsAxisShowable(m_pTicks->GetAxisType()));
        SetText(IDC_QD_ST_TITLE, m_pTicks->GetTitle());
        m_color.SetCurSel(m_pTicks->GetColor());
        m_width.SetDoubleToComboBoxText(m_pTicks->GetWidth(), 2);
        // Stored in tenths of a point; shown with its tenths, so that an untouched
        // length is written back unchanged.
        m_length.SetWindowText(CQKCString::DoubleToStrByFormat(m_pTicks->GetTickLength() / 10.0, "%.1f").c_str());
        m_major.SetCurSel(m_pTicks->GetMajorTickType());
        m_minor.SetCurSel(m_pTicks->GetMinorTickType());
        m_position.SetCurSel(m_pTicks->GetPosition());
        SetText(IDC_QD_ST_POSITION_VALUE, m_pTicks->GetPositionValue());
        for (int i = 0; i < 4; ++i) {
            Check(kApplyIds[i], FALSE);
            m_scopes[i].SetCurSel(0);
        }
        EnableAll();
    }

    void SaveObjects(CQKAxisTicksObj* ticks, CQKAxisLabelsObj*) override
    {
        m_bShown = Checked(IDC_QD_ST_SHOW);
        ticks->SetShow(m_bShown);
        if (m_color.GetCurSel() >= 0)
            ticks->SetColor(m_color.GetCurSel());
        double width = 0;
        if (CQKCString(ComboText(m_width)).GetReal(&width) && width >= 0)
            ticks->SetWidth(width);
        ticks->SetTitle(Text(IDC_QD_ST_TITLE));
        if (m_major.GetCurSel() >= 0)
            ticks->SetMajorTickType(m_major.GetCurSel());
        if (m_minor.GetCurSel() >= 0)
            ticks->SetMinorTickType(m_minor.GetCurSel());
        if (m_position.CComboBox::GetCurSel() >= 0)
            ticks->SetPosition(m_position.CComboBox::GetCurSel());
        ticks->SetPositionValue(Text(IDC_QD_ST_POSITION_VALUE));
        double length = 0;
        if (CQKCString(ComboText(m_length)).GetReal(&length) && length >= 0)
            ticks->SetTickLength((int)lround(length * 10));
        KeepApplyChecks({IDC_QD_ST_APPLY_COLOR, IDC_QD_ST_APPLY_WIDTH, IDC_QD_ST_APPLY_TICKS, IDC_QD_ST_APPLY_LENGTH});
    }

    BOOL OnKillActive() override
    {
        if (m_color.GetCurSel() >= 0)
            m_pTicks->SetColor(m_color.GetCurSel());
        return CQUAxisObjPropertyPage::OnKillActive();
    }

    void EnableAll()
    {
        BOOL shown = Checked(IDC_QD_ST_SHOW);
        CWnd* child = GetWindow(GW_CHILD);
        for (; child; child = child->GetWindow(GW_HWNDNEXT)) {
            int id = child->GetDlgCtrlID();
            if (id != IDC_QD_ST_SHOW && id != IDC_QD_AXIS_OBJ_LIST && id > 0)
                child->EnableWindow(shown);
        }
        if (shown) {
            Enable(IDC_QD_ST_POSITION_VALUE, m_position.CComboBox::GetCurSel() > 0);
            for (int i = 0; i < 4; ++i)
                m_scopes[i].EnableWindow(Checked(kApplyIds[i]));
        }
    }

    void OnPositionChange() { Enable(IDC_QD_ST_POSITION_VALUE, m_position.CComboBox::GetCurSel() > 0); }

    DECLARE_MESSAGE_MAP()

private:
    static constexpr int kApplyIds[4] = {IDC_QD_ST_APPLY_COLOR, IDC_QD_ST_APPLY_WIDTH, IDC_QD_ST_APPLY_TICKS,
                                         IDC_QD_ST_APPLY_LENGTH};

    static std::string ComboText(CComboBox& combo)
    {
        CString text;
        combo.GetWindowText(text);
        return (LPCTSTR)text;
    }

    // Each side has its own tick pictures and position texts.
    void RebuildSideLists()
    {
        static const UINT ticks[6] = {IDS_QD_TICKS_BOTTOM, IDS_QD_TICKS_TOP, IDS_QD_TICKS_LEFT,
                                      IDS_QD_TICKS_RIGHT, IDS_QD_TICKS_BOTTOM, IDS_QD_TICKS_BOTTOM};
        static const UINT positions[6] = {IDS_QD_POSITIONS_BOTTOM, IDS_QD_POSITIONS_TOP, IDS_QD_POSITIONS_LEFT,
                                          IDS_QD_POSITIONS_RIGHT, IDS_QD_POSITIONS_BOTTOM, IDS_QD_POSITIONS_BOTTOM};
        int side = ListIndex();
        int height = m_width.GetItemHeight(-1);
        for (CQUResImageComboBox* list : {&m_major, &m_minor}) {
            list->ResetContent();
            SetUpCombo(*list, 32, height);
            list->SetItemCount(0);
            list->FillFromResource(ticks[side], TRUE, TRUE);
        }
        m_position.ResetContent();
        m_position.INIResStringComboBox(positions[side], 0);
    }

    CQUColorComboBox m_color;
    CQULinewidthComBox m_width;
    CQUStringComBox m_length, m_position;
    CQUResImageComboBox m_major, m_minor;
    CQUStringComBox m_scopes[4];
    BOOL m_bShown = TRUE;
};

constexpr int CQUAxisStylePage::kApplyIds[4];

BEGIN_MESSAGE_MAP(CQUAxisStylePage, CQUAxisObjPropertyPage)
    ON_BN_CLICKED(IDC_QD_ST_SHOW, EnableAll)
    ON_BN_CLICKED(IDC_QD_ST_APPLY_COLOR, EnableAll)
    ON_BN_CLICKED(IDC_QD_ST_APPLY_WIDTH, EnableAll)
    ON_BN_CLICKED(IDC_QD_ST_APPLY_TICKS, EnableAll)
    ON_BN_CLICKED(IDC_QD_ST_APPLY_LENGTH, EnableAll)
    ON_CBN_SELCHANGE(IDC_QD_ST_POSITION, OnPositionChange)
END_MESSAGE_MAP()

// Tick Labels

class CQULabelOptionPage : public CQUAxisObjPropertyPage
{
public:
    CQULabelOptionPage() : CQUAxisObjPropertyPage(IDD_QD_AXIS_LABELS, IDS_QD_LABEL_AXES_2D) {}

    void ApplyToObjects(CQKAxisTicksObj*, CQKAxisLabelsObj* labels) override
    {
        if (!SideShows())
            return;
        Queue(labels, IDC_QD_LB_APPLY_COLOR, {127}, labels->GetColor());
        Queue(labels, IDC_QD_LB_APPLY_FONT, {126}, labels->GetFontType());
        Queue(labels, IDC_QD_LB_APPLY_BOLD, {129}, labels->IsLabelBold());
        Queue(labels, IDC_QD_LB_APPLY_POINT, {128}, labels->GetFontSize());
        Queue(labels, IDC_QD_LB_APPLY_COLOR, {121}, labels->GetColor());
        Queue(labels, IDC_QD_LB_APPLY_FONT, {120}, labels->GetFontType());
        Queue(labels, IDC_QD_LB_APPLY_BOLD, {123}, labels->IsLabelBold());
        Queue(labels, IDC_QD_LB_APPLY_POINT, {122}, labels->GetFontSize());
    }

    void EnableLabelControls(BOOL show) override
    {
        EnableRange(IDC_QD_LB_TYPE, 1255, show);
        if (show) {
            Enable(IDC_QD_LB_DECIMALS, Checked(IDC_QD_LB_MANUAL_DEC));
            for (int id : kApplyIds)
                Enable(id + 1, Checked(id));
        }
    }

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        CQUAxisObjPropertyPage::DoDataExchange(pDX);
        DDX_Control(pDX, IDC_QD_LB_TYPE, m_type);
        DDX_Control(pDX, IDC_QD_LB_FORMAT, m_format);
        DDX_Control(pDX, IDC_QD_LB_FONT, m_font);
        DDX_Control(pDX, IDC_QD_LB_COLOR, m_color);
        DDX_Control(pDX, IDC_QD_LB_POINT, m_point);
        for (int i = 0; i < 4; ++i)
            DDX_Control(pDX, kApplyIds[i] + 1, m_scopes[i]);
    }

    void InitControls() override
    {
        int height = m_point.GetItemHeight(-1);
        SetUpCombo(m_color, height, height);
        m_color.AddColorNames();
        SetUpCombo(m_font, height, height);
        m_font.AddFontNames();
        m_point.INIResStringComboBox(IDS_QD_FONT_SIZES, -1);
        for (CQUStringComBox& scope : m_scopes)
            InitScope(scope);
        m_type.INIResStringComboBox(IDS_QD_LABEL_TYPES, 0);
        CQUBaseAxisPropertyPage::InitControls();
        InitSideFlag();
    }

    void LoadControls() override
    {
        m_pAxisList->SetCurSel(ListIndex());
        Check(IDC_QD_LB_SHOW, SideShows());
        m_type.SetCurSel(m_pLabels->GetLabelType());
        LayOutForType(m_pLabels->GetLabelType());
        SetText(IDC_QD_LB_PREFIX, m_pLabels->GetPrefixName());
        SetText(IDC_QD_LB_SUFFIX, m_pLabels->GetSuffixName());
        m_color.SetCurSel(m_pLabels->GetColor());
        m_font.SetCurSel(m_pLabels->GetFontType());
        m_point.SetIntegerToComboBoxText(m_pLabels->GetFontSize());
        Check(IDC_QD_LB_BOLD, m_pLabels->IsLabelBold());
        for (int id : kApplyIds)
            Check(id, FALSE);
        EnableLabelControls(SideShows());
    }

    void SaveObjects(CQKAxisTicksObj*, CQKAxisLabelsObj* labels) override
    {
        int type = m_type.CComboBox::GetCurSel();
        if (type >= 0)
            labels->SetLabelType(type);
        CString dataset;
        GetDlgItemText(IDC_QD_LB_DATASET, dataset);
        labels->SetDataSetName((LPCTSTR)dataset);
        if (m_format.CComboBox::GetCurSel() >= 0)
            labels->SetFormatType(m_format.CComboBox::GetCurSel());
        // Decimal places count for numeric labels only.
        if (type == 0)
            labels->SetDecDigits(IntOf(IDC_QD_LB_DECIMALS, 0));
        labels->SetFactor(DoubleOf(IDC_QD_LB_FACTOR, labels->GetFactor()));
        labels->SetAxisManualDec(Checked(IDC_QD_LB_MANUAL_DEC));
        labels->SetPrefixName(Text(IDC_QD_LB_PREFIX));
        labels->SetSuffixName(Text(IDC_QD_LB_SUFFIX));
        if (m_color.GetCurSel() >= 0)
            labels->SetColor(m_color.GetCurSel());
        if (m_font.GetCurSel() >= 0)
            labels->SetFontType(m_font.GetCurSel());
        labels->SetFontSize(m_point.GetIntegerFromComboBoxText() > 0 ? m_point.GetIntegerFromComboBoxText()
                                                                     : labels->GetFontSize());
        labels->SetLabelBold(Checked(IDC_QD_LB_BOLD));
        labels->SetShow(SideShows());
        KeepApplyChecks({IDC_QD_LB_APPLY_FONT, IDC_QD_LB_APPLY_COLOR, IDC_QD_LB_APPLY_POINT, IDC_QD_LB_APPLY_BOLD});
    }

    BOOL OnKillActive() override
    {
        SaveControls();
        return CQUAxisObjPropertyPage::OnKillActive();
    }

    BOOL AfterApply() override;

    void OnTypeChange()
    {
        LayOutForType(m_type.CComboBox::GetCurSel());
        Enable(IDC_QD_LB_DECIMALS, Checked(IDC_QD_LB_MANUAL_DEC));
    }
    void OnManualDec() { Enable(IDC_QD_LB_DECIMALS, Checked(IDC_QD_LB_MANUAL_DEC)); }
    void OnApplyCheck()
    {
        for (int id : kApplyIds)
            Enable(id + 1, Checked(id));
    }
    void OnShow() { OnShowLabels(); }

    DECLARE_MESSAGE_MAP()

private:
    static constexpr int kApplyIds[4] = {IDC_QD_LB_APPLY_FONT, IDC_QD_LB_APPLY_COLOR, IDC_QD_LB_APPLY_POINT,
                                         IDC_QD_LB_APPLY_BOLD};

    // Which controls a label type shows, and what they read.
    void LayOutForType(int type)
    {
        bool fromDataset = type == 1 || type == 7;
        bool numeric = type == 0 || type == 6;
        CString text;
        text.LoadString(IDS_QD_FORMAT);
        SetDlgItemText(IDC_QD_LB_FORMAT_LABEL, fromDataset ? "" : text);
        text.LoadString(IDS_QD_DATASET);
        SetDlgItemText(IDC_QD_LB_DATASET_LABEL, fromDataset ? text : "");
        text.LoadString(IDS_QD_DIVIDE_BY_FACTOR);
        SetDlgItemText(IDC_QD_LB_FACTOR_LABEL, numeric ? text : "");
        Show(IDC_QD_LB_DATASET, fromDataset);
        Show(IDC_QD_LB_FORMAT, !fromDataset);
        for (int id : {IDC_QD_LB_FACTOR, IDC_QD_LB_MANUAL_DEC, IDC_QD_LB_DECIMALS})
            Show(id, numeric);
        if (fromDataset) {
            CComboBox* datasets = (CComboBox*)GetDlgItem(IDC_QD_LB_DATASET);
            datasets->ResetContent();
            std::string list = m_pLabels->GetDataSetList();
            size_t at = 0;
            while (at < list.size()) {
                size_t blank = list.find(' ', at);
                std::string name = list.substr(at, blank == std::string::npos ? std::string::npos : blank - at);
                if (!name.empty())
                    datasets->AddString(name.c_str());
                at = blank == std::string::npos ? list.size() : blank + 1;
            }
            SetText(IDC_QD_LB_DATASET, m_pLabels->GetDataSetName());
        }
        static const UINT formats[8] = {IDS_QD_NUMERIC_FORMS, 0, IDS_QD_TIME_FORMS, IDS_QD_DATE_FORMS,
                                        IDS_QD_MONTH_FORMS, IDS_QD_DAY_FORMS, IDS_QD_NUMERIC_FORMS, 0};
        m_format.ResetContent();
        if (type >= 0 && type < 8 && formats[type])
            m_format.INIResStringComboBox(formats[type], m_pLabels->GetFormatType());
        Check(IDC_QD_LB_MANUAL_DEC, m_pLabels->IsAxisManualDec());
        SetText(IDC_QD_LB_FACTOR, NumberOrEmpty(m_pLabels->GetFactor()));
        SetText(IDC_QD_LB_DECIMALS, m_pLabels->GetDecDigits() ? NumberText(m_pLabels->GetDecDigits()) : "");
    }

    CQUStringComBox m_type, m_format, m_point;
    CQUFontComboBox m_font;
    CQUColorComboBox m_color;
    CQUStringComBox m_scopes[4];
};

constexpr int CQULabelOptionPage::kApplyIds[4];

BEGIN_MESSAGE_MAP(CQULabelOptionPage, CQUAxisObjPropertyPage)
    ON_CBN_SELCHANGE(IDC_QD_LB_TYPE, OnTypeChange)
    ON_BN_CLICKED(IDC_QD_LB_MANUAL_DEC, OnManualDec)
    ON_BN_CLICKED(IDC_QD_LB_APPLY_FONT, OnApplyCheck)
    ON_BN_CLICKED(IDC_QD_LB_APPLY_COLOR, OnApplyCheck)
    ON_BN_CLICKED(IDC_QD_LB_APPLY_POINT, OnApplyCheck)
    ON_BN_CLICKED(IDC_QD_LB_APPLY_BOLD, OnApplyCheck)
    ON_BN_CLICKED(IDC_QD_LB_SHOW, OnShow)
END_MESSAGE_MAP()

// Minor Tick Labels

class CQULabelMinorPage : public CQUAxisObjPropertyPage
{
public:
    CQULabelMinorPage() : CQUAxisObjPropertyPage(IDD_QD_AXIS_MINOR, IDS_QD_LABEL_AXES_2D) {}

    void EnableLabelControls(BOOL show) override { EnableRange(IDC_QD_MI_ENABLE, IDC_QD_MI_MINUS, show, 1315); }

protected:
    void InitControls() override
    {
        CQUBaseAxisPropertyPage::InitControls();
        InitSideFlag();
    }

    void LoadControls() override
    {
        m_pAxisList->SetCurSel(ListIndex());
        Check(IDC_QD_LB_SHOW, SideShows());
        Check(IDC_QD_MI_ENABLE, m_pLabels->IsMinorLabel());
        Check(IDC_QD_MI_ON_MAJOR, m_pLabels->IsMinorONMajorLabel());
        SetDlgItemInt(IDC_QD_MI_OFFSET, m_pLabels->GetMajorTickOffset());
        Check(IDC_QD_MI_PLUS, m_pLabels->IsShowPlusSigns());
        Check(IDC_QD_MI_MINUS, m_pLabels->IsShowMinusSigns());
        Check(IDC_QD_MI_BOX, m_pLabels->IsAxisShowBox());
        EnableLabelControls(SideShows());
    }

    void SaveObjects(CQKAxisTicksObj*, CQKAxisLabelsObj* labels) override
    {
        int offset = IntOf(IDC_QD_MI_OFFSET, labels->GetMajorTickOffset());
        labels->INIMinorTickSetting();
        labels->SetMinorLabel(Checked(IDC_QD_MI_ENABLE));
        labels->SetMinorONMajorLabel(Checked(IDC_QD_MI_ON_MAJOR));
        labels->SetAxisShowBox(Checked(IDC_QD_MI_BOX));
        labels->SetShowPlusSigns(Checked(IDC_QD_MI_PLUS));
        labels->SetShowMinusSigns(Checked(IDC_QD_MI_MINUS));
        labels->SetMajorTickOffset(offset);
        labels->SetShow(SideShows());
    }

    void OnShow() { OnShowLabels(); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CQULabelMinorPage, CQUAxisObjPropertyPage)
    ON_BN_CLICKED(IDC_QD_LB_SHOW, OnShow)
END_MESSAGE_MAP()

// Custom Tick Labels

class CQULabelPositionPage : public CQUAxisObjPropertyPage
{
public:
    CQULabelPositionPage() : CQUAxisObjPropertyPage(IDD_QD_AXIS_CUSTOM, IDS_QD_LABEL_AXES_2D) {}

    void EnableLabelControls(BOOL show) override { EnableRange(IDC_QD_CU_ROTATION, IDC_QD_CU_SPECIAL_AT, show); }

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        CQUAxisObjPropertyPage::DoDataExchange(pDX);
        DDX_Control(pDX, IDC_QD_CU_ALIGN, m_align);
    }

    void InitControls() override
    {
        m_align.INIResStringComboBox(IDS_QD_TICK_TO_LABEL, 0);
        CQUBaseAxisPropertyPage::InitControls();
        InitSideFlag();
    }

    void LoadControls() override
    {
        m_pAxisList->SetCurSel(ListIndex());
        Check(IDC_QD_LB_SHOW, SideShows());
        SetDlgItemInt(IDC_QD_CU_ROTATION, (int)lround(m_pLabels->GetTextRotation()), TRUE);
        m_align.SetCurSel(m_pLabels->GetLabelAlignment());
        Check(IDC_QD_CU_NEXT_AXIS, m_pTicks->IsLabelNextAxis());
        SetText(IDC_QD_CU_HORIZONTAL, NumberText(m_pLabels->GetHorizontalOffset()));
        SetText(IDC_QD_CU_VERTICAL, NumberText(m_pLabels->GetVerticalOffset()));
        const int types[3] = {m_pLabels->GetManuBeginType(), m_pLabels->GetManuEndType(),
                              m_pLabels->GetManuSpecialType()};
        const std::string labels[3] = {m_pLabels->GetManuBeginLabel(), m_pLabels->GetManuEndLabel(),
                                       m_pLabels->GetManuSpecialLabel()};
        for (int i = 0; i < 3; ++i) {
            for (int k = 0; k < 4; ++k)
                Check(IDC_QD_CU_BEGIN + 5 * i + k, k == types[i]);
            SetText(IDC_QD_CU_BEGIN_LABEL + 5 * i, labels[i].substr(0, kMaxSpecialLabel));
        }
        SetText(IDC_QD_CU_SPECIAL_AT, NumberOrEmpty(m_pLabels->GetManuSpecialPosition()));
        EnableLabelControls(SideShows());
    }

    void SaveObjects(CQKAxisTicksObj* ticks, CQKAxisLabelsObj* labels) override
    {
        labels->SetTextRotation(IntOf(IDC_QD_CU_ROTATION, (int)lround(labels->GetTextRotation())));
        labels->SetHVOffset(DoubleOf(IDC_QD_CU_HORIZONTAL, labels->GetHorizontalOffset()),
                            DoubleOf(IDC_QD_CU_VERTICAL, labels->GetVerticalOffset()));
        if (m_align.CComboBox::GetCurSel() >= 0)
            labels->SetLabelAlignment(m_align.CComboBox::GetCurSel());
        ticks->SetLabelNextAxis(Checked(IDC_QD_CU_NEXT_AXIS));
        int types[3] = {0, 0, 0};
        for (int i = 0; i < 3; ++i)
            for (int k = 0; k < 4; ++k)
                if (Checked(IDC_QD_CU_BEGIN + 5 * i + k))
                    types[i] = k;
        labels->SetManuBeginType(types[0]);
        labels->SetManuEndType(types[1]);
        labels->SetManuSpecialType(types[2]);
        // A label is written back only when it was edited, so that opening the page never
        // shortens a longer label.
        const std::string old[3] = {labels->GetManuBeginLabel(), labels->GetManuEndLabel(),
                                    labels->GetManuSpecialLabel()};
        std::string now[3];
        for (int i = 0; i < 3; ++i) {
            now[i] = Text(IDC_QD_CU_BEGIN_LABEL + 5 * i).substr(0, kMaxSpecialLabel);
            if (now[i] == old[i].substr(0, kMaxSpecialLabel))
                now[i] = old[i];
        }
        labels->SetManuBeginLabel(now[0]);
        labels->SetManuEndLabel(now[1]);
        labels->SetManuSpecialLabel(now[2]);
        labels->SetManuSpecialPosition(DoubleOf(IDC_QD_CU_SPECIAL_AT, 0));
        labels->SetShow(SideShows());
        labels->SetSpecialTicksPtr();
    }

    void OnShow() { OnShowLabels(); }
    DECLARE_MESSAGE_MAP()

private:
    CQUStringComBox m_align;
};

BEGIN_MESSAGE_MAP(CQULabelPositionPage, CQUAxisObjPropertyPage)
    ON_BN_CLICKED(IDC_QD_LB_SHOW, OnShow)
END_MESSAGE_MAP()

// ---------------------------------------------------------------------------------------

// The pages live in the sheet, in tab order.
struct AxisPages {
    CQUAxisScalePage scale;
    CQUAxisStylePage style;
    CQUGridLinePage grid;
    CQUAxisBreakPage axisBreak;
    CQULabelOptionPage labels;
    CQULabelMinorPage minor;
    CQULabelPositionPage custom;
};

AxisPages* g_pages = nullptr; // the pages of the sheet being shown

BOOL CQULabelOptionPage::AfterApply()
{
    // The labels' type can change the scale the Scale and Break pages show.
    for (CQUBaseAxisPropertyPage* page : {(CQUBaseAxisPropertyPage*)&g_pages->scale,
                                          (CQUBaseAxisPropertyPage*)&g_pages->axisBreak})
        if (page->m_hWnd && LOWORD(page->m_nAxisType) == LOWORD(m_nAxisType))
            page->Reload();
    return TRUE;
}

CQUAxesSheet::CQUAxesSheet(LPCTSTR title, CWnd* parent, UINT startPage) : CPropertySheet(title, parent, startPage)
{
    m_psh.dwFlags &= ~PSH_HASHELP;
    m_pages = {&g_pages->scale, &g_pages->style, &g_pages->grid, &g_pages->axisBreak,
               &g_pages->labels, &g_pages->minor, &g_pages->custom};
    for (CQUBaseAxisPropertyPage* page : m_pages)
        AddPage(page);
}

std::vector<CQUBaseAxisPropertyPage*> CQUAxesSheet::Pages() const
{
    return m_pages;
}

void CQUAxesSheet::Begin(CQUAxes* axes)
{
    m_pAxes = axes;
    CQKGraphicLayer* layer = dynamic_cast<CQKGraphicLayer*>(axes->GetValidLayer());
    for (CQUBaseAxisPropertyPage* page : m_pages)
        page->Begin(this, layer, axes->GetAxesType());
}

BOOL CQUAxesSheet::OnCommand(WPARAM wParam, LPARAM lParam)
{
    UINT id = LOWORD(wParam);
    if (lParam && HIWORD(wParam) == BN_CLICKED && (id == IDOK || id == ID_APPLY_NOW)) {
        BOOL applyEnabled = ::IsWindowEnabled(::GetDlgItem(m_hWnd, ID_APPLY_NOW));
        CPropertySheet::OnCommand(wParam, lParam);
        DefWindowProc(WM_COMMAND, wParam, lParam); // the pages apply
        if (id == ID_APPLY_NOW || applyEnabled)
            FinishApply();
        return TRUE;
    }
    return CPropertySheet::OnCommand(wParam, lParam);
}

void CQUAxesSheet::FinishApply()
{
    CQKGraphicLayer* layer = dynamic_cast<CQKGraphicLayer*>(m_pAxes->GetValidLayer());
    layer->UpdateFromTemporary();
    layer->DoDelayedUpdate();
    for (CQUBaseAxisPropertyPage* page : m_pages) {
        if (page->m_bChanged) {
            page->ApplyToOthers();
            page->m_bChanged = FALSE;
        }
    }
    for (const Copy& copy : m_copies)
        copy.element->ApplyToAll(copy.code, copy.scope, copy.value, 0);
    m_copies.clear();
}

} // namespace

int CQUAxes::DoDialog(CWnd* parent, int startPage, UINT)
{
    CQKGraphicLayer* layer = dynamic_cast<CQKGraphicLayer*>(GetValidLayer());
    if (!layer)
        return TRUE;
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_TAB_CLASSES};
    ::InitCommonControlsEx(&classes);
    std::string title;
    GetDlgTitle(title);
    // Edits left in the working copies by an earlier opening are not this one's.
    layer->DiscardTemporary();
    AxisPages pages;
    AxisPages* outer = g_pages;
    g_pages = &pages;
    {
        CQUAxesSheet sheet(title.c_str(), parent, startPage >= 0 && startPage < 7 ? startPage : 0);
        sheet.Begin(this);
        sheet.DoModal();
    }
    g_pages = outer;
    layer->DiscardTemporary();
    return TRUE;
}

int CQUAxes::from_pageid_to_pagenum(int pageId)
{
    return pageId == 1012 ? 1 : 0;
}
