#include "PlotDetailsMain.h"

#include <algorithm>

#include "PlotDetailsPages.h"
#include "PlotDetailsResources.h"
#include "PlotDetailsTabChecker.h"

namespace {

// 1: the tree is shown; 0: the dialog saves space by hiding it. Kept for the program's
// run, not saved.
int g_spaceSaving = 1;

CQKGraphPage* PageOf(CQKBase* obj)
{
    if (!obj)
        return nullptr;
    if (obj->IsBasePtrPlotObj()) {
        CQKLayer* layer = static_cast<CQKPlotObj*>(obj)->GetValidLayer();
        return layer ? dynamic_cast<CQKGraphPage*>(layer->GetValidPagePtr()) : nullptr;
    }
    if (auto* layer = dynamic_cast<CQKGraphicLayer*>(obj))
        return dynamic_cast<CQKGraphPage*>(layer->GetValidPagePtr());
    return dynamic_cast<CQKGraphPage*>(obj);
}

} // namespace

/////////////////////////////////////////////////////////////////////////////
// CQUPlotTypeSelector

void CQUPlotTypeSelector::Attach(CComboBox* pCombo, CWnd* pLabel)
{
    m_pCombo = pCombo;
    m_pLabel = pLabel;
    pLabel->GetWindowText(m_strLabel);
}

CQKPlotObj* CQUPlotTypeSelector::GetPlot() const
{
    return m_pObject && m_pObject->IsBasePtrPlotObj() ? static_cast<CQKPlotObj*>(m_pObject) : nullptr;
}

int CQUPlotTypeSelector::GetSelectedType() const
{
    int sel = m_pCombo ? m_pCombo->GetCurSel() : CB_ERR;
    return sel == CB_ERR ? 0 : (int)m_pCombo->GetItemData(sel);
}

void CQUPlotTypeSelector::Refresh()
{
    if (!m_pCombo)
        return;
    CQKPlotObj* plot = GetPlot();
    if (!plot) {
        m_pCombo->ShowWindow(SW_HIDE);
        m_pLabel->ShowWindow(SW_HIDE);
        return;
    }
    m_pLabel->ShowWindow(SW_SHOW);
    m_pCombo->ResetContent();
    std::vector<QKPlotTypeEntry> list;
    m_bHasList = plot->GetPlotTypeMapping(list, 1, 0) != 0;
    if (!m_bHasList) {
        m_pCombo->ShowWindow(SW_HIDE);
        CString text = m_strLabel + ":         " + CString(plot->GetPlotTypeName().c_str());
        m_pLabel->SetWindowText(text);
        return;
    }
    int selection = -1;
    for (const QKPlotTypeEntry& entry : list) {
        int index = m_pCombo->AddString(entry.name.c_str());
        m_pCombo->SetItemData(index, (DWORD_PTR)entry.type);
        if (entry.type == plot->GetPlotObjectType(1))
            selection = index;
    }
    if (plot->GetPlotTypeListIndex() >= 0)
        selection = plot->GetPlotTypeListIndex();
    if (selection < 0)
        for (size_t i = 0; i < list.size(); ++i)
            if (list[i].type == CQKPlotObj::GetCommonPlotTypeID(plot->GetPlotObjectType(1)))
                selection = (int)i;
    m_pCombo->SetCurSel(selection);
    m_pLabel->SetWindowText(m_strLabel);
    m_pCombo->ShowWindow(SW_SHOW);
    const BOOL grouped = plot->IsGroupBegin() || plot->IsGroupMember();
    m_pCombo->EnableWindow(!plot->IsSpecialPoint() && !plot->IsSubPlotObj() && !(grouped && plot->IsIndependence()));
}

/////////////////////////////////////////////////////////////////////////////
// CQUPlotDetailsMain

IMPLEMENT_DYNAMIC(CQUPlotDetailsMain, CDialog)

BEGIN_MESSAGE_MAP(CQUPlotDetailsMain, CDialog)
    ON_NOTIFY(TVN_ITEMEXPANDINGA, IDC_PD_TREE, OnItemExpanding)
    ON_NOTIFY(TVN_GETDISPINFOA, IDC_PD_TREE, OnGetDispInfo)
    ON_NOTIFY(TVN_SELCHANGEDA, IDC_PD_TREE, OnSelchangedPDMainTree)
    ON_CBN_SELCHANGE(IDC_PD_PLOT_TYPE, OnSelchangePlotdtlsPlotType)
    ON_BN_CLICKED(IDC_PD_APPLY, OnApply)
    ON_BN_CLICKED(IDC_PD_SPACE_SAVING, OnSpaceSaving)
    ON_BN_CLICKED(IDC_PD_WORKBOOK, OnWorkbook)
    ON_MESSAGE(WM_PD_ENABLE_APPLY, EnableApplyButton)
    ON_MESSAGE(WM_PD_GROUP_INDEPENDENCE, OnGroupIndependentSelected)
    ON_MESSAGE(WM_PD_CHECK_TABS, OnTabManagerCheckTabs)
    ON_MESSAGE(WM_PD_RESIZE, OnAutomaticallyResize)
    ON_MESSAGE(WM_PD_OPTION_TREE_CHANGED, OnSelChangeOnOptTree)
    ON_WM_HELPINFO()
END_MESSAGE_MAP()

int CQUPlotDetailsMain::GetSpaceSavingState()
{
    return g_spaceSaving;
}

CQUPlotDetailsMain::CQUPlotDetailsMain(CQKBase* obj, int, CWnd* pParent, UINT firstTab)
    : CDialog(IDD_PD_MAIN, pParent), m_pCurrent(nullptr), m_p3DSource(nullptr), m_nFirstTab(firstTab), m_nDepth(0),
      m_pGroupLeader(nullptr), m_bApplyClicked(FALSE), m_bInitialized(FALSE), m_bLayoutPage(FALSE)
{
    CQKBase* current = obj && obj->IsBasePtrPlotObj() ? obj->GetRepresentativePlotObj() : obj;
    // The dialog edits and later deletes working copies; an original handed in is
    // copied, so the caller's object is never deleted and changes nothing before Apply.
    if (current && current->IsBasePtrPlotObj()) {
        auto* plot = static_cast<CQKPlotObj*>(current);
        if (!plot->IsTemporary())
            current = plot->CreateTemporary();
    } else if (auto* layer = dynamic_cast<CQKGraphicLayer*>(current)) {
        if (!layer->IsTemporary())
            current = layer->CreateTemporary();
    }
    m_pCurrent = current;
    // A special point handed in is made for the dialog, which keeps it.
    const bool point = current && current->IsBasePtrPlotObj() && static_cast<CQKPlotObj*>(current)->IsSpecialPoint();
    m_pOwnedCopy = point || (current != obj && current != PageOf(current)) ? current : nullptr;
}

CQUPlotDetailsMain::~CQUPlotDetailsMain()
{
    // A dialog that never built its tree still owns the copy it made.
    delete m_pOwnedCopy;
}

void CQUPlotDetailsMain::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_PD_WORKBOOK, m_btnWorkbook);
    DDX_Control(pDX, IDC_PD_SPACE_SAVING, m_btnSpaceSaving);
    DDX_Control(pDX, IDC_PD_PLOT_TYPE_LABEL, m_stPlotType);
    DDX_Control(pDX, IDOK, m_btnOK);
    DDX_Control(pDX, IDCANCEL, m_btnCancel);
    DDX_Control(pDX, IDC_PD_APPLY, m_btnApply);
    DDX_Control(pDX, IDC_PD_PLOT_TYPE, m_cbPlotType);
    DDX_Control(pDX, IDC_PD_TREE, m_tree);
}

BOOL CQUPlotDetailsMain::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_tree.GetWindowRect(&m_rcTree);
    GetDlgItem(IDC_PD_SHEET_PLACE)->GetWindowRect(&m_rcPlace);

    CQKGraphPage* page = PageOf(m_pCurrent);
    const int kind = !m_pCurrent ? 0 : m_pCurrent->IsBasePtrPlotObj() ? 2 : m_pCurrent->IsBasePtrLayer() ? 1 : 0;
    if (!page) {
        // Nothing to show: a plot or layer that belongs to no graph page.
        EndDialog(IDCANCEL);
        return TRUE;
    }
    m_link.pTree = &m_tree;
    m_tree.SetEdited(page, kind == 0 ? page : m_pCurrent, kind);
    HTREEITEM start = m_tree.Build_Tree_Control();
    // The tree owns the copy now, unless it has no item for it (a plot hidden from the
    // legend), in which case it goes now.
    if (kind != 0 && m_tree.GetItemObject(start) != m_pCurrent)
        delete m_pCurrent;
    m_pOwnedCopy = nullptr;
    m_link.hCurrent = start;
    m_pCurrent = m_tree.GetItemObject(start);
    m_link.pElement = m_pCurrent;
    m_tree.SelectItem(start);

    m_tabManager.SetFirstTab(m_nFirstTab);
    m_tabManager.Attach(this);
    m_tabManager.SetObject(m_pCurrent);
    ProcessGroupPlot();
    UpdateBasePtr();
    m_tabManager.SetObject(m_pCurrent);
    m_tabManager.CreatePages();
    m_tabManager.ShowSheet(SW_SHOW);

    m_selector.Attach(&m_cbPlotType, &m_stPlotType);
    m_selector.SetObject(m_pCurrent);
    m_selector.Refresh();

    m_bInitialized = TRUE;
    m_tabManager.GetSheetRect(&m_rcSheet);
    ResizeDialog(TRUE);
    CheckWksButton();
    // A special point new to its plot is a change already: OK and Apply keep it.
    auto* point = m_pCurrent && m_pCurrent->IsBasePtrPlotObj() ? static_cast<CQKPlotObj*>(m_pCurrent) : nullptr;
    m_btnApply.EnableWindow(point && point->IsSpecialPoint() && point->IsModified());
    if (m_bLayoutPage) {
        CString caption;
        caption.LoadString(IDS_PD_LAYOUT_DETAILS);
        SetWindowText(caption);
    }
    return TRUE;
}

void CQUPlotDetailsMain::OnItemExpanding(NMHDR* pNMHDR, LRESULT* pResult)
{
    m_tree.FillItem(((NMTREEVIEWA*)pNMHDR)->itemNew.hItem);
    *pResult = 0;
}

void CQUPlotDetailsMain::OnGetDispInfo(NMHDR* pNMHDR, LRESULT* pResult)
{
    m_tree.OnGetDispInfo((NMTVDISPINFOA*)pNMHDR);
    *pResult = 0;
}

void CQUPlotDetailsMain::OnSelchangedPDMainTree(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    if (!m_tabManager.GetSheet())
        return;
    m_tabManager.ShowSheet(SW_HIDE);
    HTREEITEM item = ((NMTREEVIEWA*)pNMHDR)->itemNew.hItem;
    CQKBase* object = m_tree.GetItemObject(item);
    BOOL redirect = TRUE;
    if (object && object->IsBasePtrPlotObj()) {
        auto* plot = static_cast<CQKPlotObj*>(object);
        redirect = !(plot->Is3DPlot() && !plot->IsSubPlotObj());
    }
    SelectItem(item, redirect);
    m_selector.Refresh();
    CheckWksButton();
    m_tabManager.GetSheetRect(&m_rcSheet);
    ResizeDialog(FALSE);
    m_tabManager.ShowSheet(SW_SHOW);
    m_tree.SetFocus();
}

void CQUPlotDetailsMain::SelectItem(HTREEITEM hItem, BOOL bRedirect)
{
    ++m_nDepth;
    HTREEITEM target = bRedirect ? m_tree.Redirect(hItem) : hItem;
    m_tree.ResetGroupHighlight();
    HTREEITEM previous = m_link.hCurrent;
    CQKBase* previousObject = m_pCurrent;
    if (target != m_link.hCurrent) {
        m_link.hCurrent = target;
        m_pCurrent = m_tree.GetItemObject(target);
        m_tree.SelectItem(target);
        m_link.pElement = m_pCurrent;
    } else if (target != hItem) {
        m_tree.SelectItem(target);
    }
    if (m_nDepth == 1 && ProcessGroupPlot() == 0) {
        m_tabManager.ApplyPages();
        if (m_tabManager.FailedValidation()) {
            // The page left behind holds values it refused: stay with it, so they are
            // corrected rather than lost with the pages.
            m_link.hCurrent = previous;
            m_pCurrent = previousObject;
            m_link.pElement = previousObject;
            m_tree.SelectItem(previous);
        } else if (m_tabManager.SetObject(m_pCurrent)) {
            m_tabManager.Rebuild();
        }
    }
    --m_nDepth;
    m_selector.SetObject(m_pCurrent);
}

int CQUPlotDetailsMain::ProcessGroupPlot()
{
    m_tree.ResetGroupHighlight();
    if (!m_pCurrent || !m_pCurrent->IsBasePtrPlotObj())
        return 0;
    auto* plot = static_cast<CQKPlotObj*>(m_pCurrent);
    if (!plot->IsGroupBegin() && !plot->IsGroupMember())
        return 0;
    if (plot->IsSpecialPoint() || plot->IsSubPlotObj())
        return 0; // a point or part is edited on its own
    HTREEITEM first = m_tree.GroupFirstItem(m_link.hCurrent);
    int count = 0;
    for (HTREEITEM item = first; item; item = m_tree.GetNextSiblingItem(item)) {
        auto* member = static_cast<CQKPlotObj*>(m_tree.GetItemObject(item));
        if (!member || (item != first && !(member->IsGroupMember() && member->IsInTheSameGroup(plot))))
            break;
        ++count;
    }
    m_pGroupLeader = static_cast<CQKPlotObj*>(m_tree.GetItemObject(first));
    if (!m_pGroupLeader)
        return 0;
    m_tabManager.SetGroup(m_pGroupLeader, count);
    if (plot->IsIndependence())
        return 0;
    m_tree.HighlightGroup(first, TRUE);
    if (first == m_link.hCurrent)
        return 0;
    ++m_nDepth; // the selection below must not rebuild the pages on its own
    m_link.hCurrent = first;
    m_pCurrent = m_pGroupLeader;
    m_link.pElement = m_pCurrent;
    m_tree.SelectItem(first);
    --m_nDepth;
    return 1;
}

void CQUPlotDetailsMain::UpdateBasePtr()
{
    if (!m_pCurrent || !m_pCurrent->IsBasePtrPlotObj() || !m_pGroupLeader)
        return;
    auto* plot = static_cast<CQKPlotObj*>(m_pCurrent);
    if ((plot->IsGroupBegin() || plot->IsGroupMember()) && !plot->IsIndependence())
        m_pCurrent = m_pGroupLeader;
}

void CQUPlotDetailsMain::OnSelchangePlotdtlsPlotType()
{
    CQKPlotObj* old = m_selector.GetPlot();
    int sel = m_cbPlotType.GetCurSel();
    if (!old || sel == CB_ERR)
        return;
    CQKPlotObj* plot = old->GetWithNewPlotType((int)m_cbPlotType.GetItemData(sel), 0, sel);
    if (!plot)
        return;
    m_pCurrent = plot;
    m_selector.SetObject(plot);
    m_tabManager.SetObject(plot);
    plot->SetModified(1);
    m_link.pElement = plot;
    HTREEITEM item = m_link.hCurrent;
    // The replaced copies go once nothing refers to them any more (after the rebuild).
    std::vector<CQKPlotObj*> replaced{old};
    m_tree.ReplaceItemObject(item, plot);
    if (plot->IsGroupBegin()) {
        for (HTREEITEM next = m_tree.GetNextSiblingItem(item); next; next = m_tree.GetNextSiblingItem(next)) {
            auto* member = static_cast<CQKPlotObj*>(m_tree.GetItemObject(next));
            if (!member || !member->IsGroupMember() || !member->IsInTheSameGroup(plot))
                break;
            CQKPlotObj* changed = member->GetWithNewPlotType(plot->GetPlotObjectType(0), 0, -1);
            if (!changed)
                continue;
            changed->SetModified(1);
            m_tree.ReplaceItemObject(next, changed);
            replaced.push_back(member);
        }
    }
    ++m_nDepth;
    m_tree.SelectItem(item);
    --m_nDepth;
    if (plot->IsGroupBegin())
        ProcessGroupPlot();
    m_tabManager.Rebuild();
    m_tabManager.MarkActivePageChanged();
    for (CQKPlotObj* copy : replaced)
        delete copy;
    m_cbPlotType.SetFocus();
    m_btnApply.EnableWindow(TRUE);
    m_selector.Refresh();
    m_tabManager.GetSheetRect(&m_rcSheet);
    ResizeDialog(FALSE);
    m_tabManager.ShowSheet(SW_SHOW);
}

void CQUPlotDetailsMain::CheckWksButton()
{
    if (m_pCurrent && m_pCurrent->IsBasePtrPlotObj()) {
        CString text;
        text.LoadString(static_cast<CQKPlotObj*>(m_pCurrent)->GetPageWindowStyle() == 2 ? IDS_PD_MATRIX
                                                                                         : IDS_PD_WORKSHEET);
        m_btnWorkbook.SetWindowText(text);
        m_btnWorkbook.ShowWindow(SW_SHOW);
    } else {
        m_btnWorkbook.ShowWindow(SW_HIDE);
    }
}

BOOL CQUPlotDetailsMain::UserChangesApplied()
{
    m_tabManager.ApplyPages();
    if (m_tabManager.FailedValidation())
        return FALSE;
    m_tree.CommitAll();
    m_btnApply.EnableWindow(FALSE);
    m_btnCancel.SetFocus();
    return TRUE;
}

void CQUPlotDetailsMain::OnApply()
{
    if (UserChangesApplied())
        m_bApplyClicked = TRUE;
}

void CQUPlotDetailsMain::OnOK()
{
    // A page that refuses its values keeps the dialog open rather than losing them.
    if (m_btnApply.IsWindowEnabled() && !UserChangesApplied())
        return;
    m_tabManager.Close(); // no page may outlive the copies it edits
    m_tree.DeleteWorkingCopies();
    EndDialog(IDOK);
}

void CQUPlotDetailsMain::OnCancel()
{
    m_tabManager.Close();
    m_tree.DeleteWorkingCopies();
    EndDialog(IDCANCEL);
}

void CQUPlotDetailsMain::OnSpaceSaving()
{
    g_spaceSaving = g_spaceSaving ? 0 : 1;
    ResizeDialog(TRUE);
}

void CQUPlotDetailsMain::OnWorkbook()
{
    if (auto* data = dynamic_cast<CQKDataObj*>(m_pCurrent))
        data->OpenWorksheet();
    OnCancel();
}

LRESULT CQUPlotDetailsMain::EnableApplyButton(WPARAM, LPARAM)
{
    m_btnApply.EnableWindow(TRUE);
    if (m_pCurrent && m_pCurrent->IsBasePtrPlotObj())
        static_cast<CQKPlotObj*>(m_pCurrent)->SetModified(1);
    return 0;
}

LRESULT CQUPlotDetailsMain::OnGroupIndependentSelected(WPARAM, LPARAM)
{
    ProcessGroupPlot();
    m_selector.Refresh();
    return 0;
}

LRESULT CQUPlotDetailsMain::OnTabManagerCheckTabs(WPARAM, LPARAM)
{
    if (CQUPlotDetailsTabChecker* checker = m_tabManager.GetTabChecker())
        checker->CheckTabs(FALSE);
    return 0;
}

LRESULT CQUPlotDetailsMain::OnAutomaticallyResize(WPARAM wParam, LPARAM)
{
    if (wParam)
        m_rcSheet = *(const RECT*)wParam;
    ResizeDialog(FALSE);
    return 0;
}

LRESULT CQUPlotDetailsMain::OnSelChangeOnOptTree(WPARAM wParam, LPARAM)
{
    CQKBase* object = m_tree.GetItemObject((HTREEITEM)wParam);
    if (object && object->IsBasePtrPlotObj() && static_cast<CQKPlotObj*>(object)->Is3DTypePlot())
        static_cast<CQKPlotObj*>(object)->SetModified(1);
    m_btnApply.EnableWindow(TRUE);
    return 0;
}

BOOL CQUPlotDetailsMain::OnHelpInfo(HELPINFO*)
{
    WinHelp(IDD_PD_MAIN, HELP_CONTEXT);
    return TRUE;
}

void CQUPlotDetailsMain::SetOriginal3DPlotObjToSheet(CQKPlotObj* pPlot)
{
    // A part's source is the plot it came from: the object of the tree item above it.
    CQKPlotObj* source = pPlot && pPlot->IsSubPlotObj() ? pPlot->GetSubPlotParent() : pPlot;
    m_p3DSource = source;
    m_tabManager.Set3DSourcePlot(source);
}

void CQUPlotDetailsMain::ResizeDialog(BOOL bAnchorRight)
{
    if (!m_bInitialized || !m_tabManager.GetSheet())
        return;
    const int W = std::max(m_rcSheet.Width(), m_rcPlace.Width());
    const int H = std::max(m_rcSheet.Height(), m_rcPlace.Height());
    const int TW = m_rcTree.Width();
    const bool treeShown = g_spaceSaving == 1;

    CRect d;
    GetWindowRect(&d);
    if (bAnchorRight) {
        d.left = d.right - W - 30 - (treeShown ? TW + 15 : 0);
    } else {
        d.right = d.left + W + 30 + (treeShown ? TW + 15 : 0);
    }
    CRect button, label, combo;
    m_btnSpaceSaving.GetWindowRect(&button);
    m_stPlotType.GetWindowRect(&label);
    m_cbPlotType.GetWindowRect(&combo);
    d.bottom = d.top + H + 60 + std::max(button.Height(), label.Height());
    // Growing to the left or down must not take the dialog off its screen.
    MONITORINFO monitor = {sizeof monitor};
    if (::GetMonitorInfoA(::MonitorFromRect(&d, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        d.OffsetRect(std::max(0L, work.left - d.left), std::max(0L, work.top - d.top));
        d.OffsetRect(std::min(0L, std::max(work.left - d.left, work.right - d.right)),
                     std::min(0L, std::max(work.top - d.top, work.bottom - d.bottom)));
    }

    CRect tree(d.left + 15, d.top + 30, d.left + 15 + TW, d.top + 30 + H);
    CRect sheet;
    if (!treeShown) {
        m_btnSpaceSaving.SetWindowText("<<");
        m_tree.ShowWindow(SW_HIDE);
        m_cbPlotType.ShowWindow(SW_HIDE);
        m_stPlotType.ShowWindow(SW_HIDE);
        sheet.left = d.left + 15;
    } else {
        m_btnSpaceSaving.SetWindowText(">>");
        m_tree.ShowWindow(SW_SHOW);
        if (bAnchorRight)
            m_selector.Refresh();
        sheet.left = tree.right + 15;
    }
    sheet.right = sheet.left + W;
    sheet.top = tree.top;
    sheet.bottom = tree.bottom;

    const int rowTop = sheet.bottom + 15;
    const int rowHeight = button.Height();
    const int centre = rowTop + rowHeight / 2;
    CWnd* row[] = {&m_btnSpaceSaving, &m_btnWorkbook, &m_btnOK, &m_btnCancel, &m_btnApply};
    CRect rects[5];
    int x = sheet.left + 5;
    for (int i = 0; i < 5; ++i) {
        CRect r;
        row[i]->GetWindowRect(&r);
        rects[i] = CRect(x, rowTop, x + r.Width(), rowTop + rowHeight);
        x = rects[i].right + 10;
    }
    CRect labelRect(d.left + 15, centre - combo.Height() / 2, d.left + 15 + label.Width(),
                    centre - combo.Height() / 2 + label.Height());
    CRect comboRect(tree.right - combo.Width(), centre - combo.Height() / 2, tree.right,
                    centre + combo.Height() - combo.Height() / 2);

    MoveWindow(&d, TRUE);
    ScreenToClient(&tree);
    ScreenToClient(&sheet);
    for (CRect& r : rects)
        ScreenToClient(&r);
    ScreenToClient(&labelRect);
    ScreenToClient(&comboRect);
    tree.top += 5;
    tree.bottom -= 5;
    for (int i = 0; i < 5; ++i)
        row[i]->MoveWindow(&rects[i]);
    m_stPlotType.MoveWindow(&labelRect);
    // A drop list's window height includes its list; keep the list's height.
    CRect dropped;
    m_cbPlotType.GetDroppedControlRect(&dropped);
    comboRect.bottom = comboRect.top + std::max(dropped.Height(), comboRect.Height());
    m_cbPlotType.MoveWindow(&comboRect);
    m_tabManager.GetSheet()->SetWindowPos(nullptr, sheet.left, sheet.top, 0, 0,
                                          SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    m_tree.SetWindowPos(nullptr, tree.left, tree.top, tree.Width(), tree.Height(),
                        SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    Invalidate(TRUE);
}
