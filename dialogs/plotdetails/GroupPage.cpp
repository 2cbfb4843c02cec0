#include "GroupPage.h"

#include <string>

#include "GroupDataPagesResources.h"
#include "PlotDetailsResources.h"

namespace {
const int kOptions = 8;
} // namespace

CQUPlotDetailsGroup::CQUPlotDetailsGroup()
    : CQUPlotDetailsPlotObjTab(IDD_PD_GROUP), m_pHead(nullptr), m_nCount(0), m_nShown(0), m_saved{}
{
}

CQUPlotDetailsGroup::~CQUPlotDetailsGroup()
{
    DeleteMembers();
}

void CQUPlotDetailsGroup::InitControls()
{
    m_list.SubclassDlgItem(IDC_PD_GROUP_MEMBERS, this);
    m_list.SetItemHeight(0, 32);
}

void CQUPlotDetailsGroup::DeleteMembers()
{
    if (m_list.m_hWnd)
        m_list.ResetContent();
    for (CQKPlotObj* member : m_members)
        delete member;
    m_members.clear();
}

std::vector<CQKPlotObj*> CQUPlotDetailsGroup::Targets() const
{
    std::vector<CQKPlotObj*> targets = m_members;
    // The members are copies for this page; the plot being edited is what Apply commits.
    targets.push_back(GetPlot());
    if (m_pHead && m_pHead != GetPlot())
        targets.push_back(m_pHead);
    return targets;
}

void CQUPlotDetailsGroup::ObjectToControls()
{
    CQKPlotObj* plot = GetPlot();
    m_nShown = 0;
    for (int i = 0; i < kOptions; ++i) {
        std::string title;
        CWnd* box = GetDlgItem(IDC_PD_GROUP_OPTION0 + i);
        if (!box)
            continue;
        if (plot->GetEnumTitle(title, i)) {
            box->ShowWindow(SW_SHOW);
            box->EnableWindow(TRUE);
            box->SetWindowText(title.c_str());
            CheckDlgButton(IDC_PD_GROUP_OPTION0 + i, plot->IsEnumerate(i) ? BST_CHECKED : BST_UNCHECKED);
            ++m_nShown;
        } else {
            box->ShowWindow(SW_HIDE);
            box->EnableWindow(FALSE);
        }
    }
    if (plot->IsIndependence()) {
        CheckRadioButton(IDC_PD_GROUP_INDEPENDENT, IDC_PD_GROUP_DEPENDENT, IDC_PD_GROUP_INDEPENDENT);
        for (int i = 0; i < m_nShown; ++i) {
            m_saved[i] = IsDlgButtonChecked(IDC_PD_GROUP_OPTION0 + i) == BST_CHECKED ? 1 : 0;
            CheckDlgButton(IDC_PD_GROUP_OPTION0 + i, BST_UNCHECKED);
        }
    } else {
        CheckRadioButton(IDC_PD_GROUP_INDEPENDENT, IDC_PD_GROUP_DEPENDENT, IDC_PD_GROUP_DEPENDENT);
    }
    ShowControlsForObject();
    RefillMembers();
    if (!plot->IsIndependence())
        AutoParentRule();
}

void CQUPlotDetailsGroup::ShowControlsForObject()
{
    CQKPlotObj* plot = GetPlot();
    if (!plot)
        return;
    for (int i = 0; i < m_nShown; ++i) {
        std::string text;
        const int state = plot->GetEnumState(i, text);
        CWnd* box = GetDlgItem(IDC_PD_GROUP_OPTION0 + i);
        if (!box)
            continue;
        if (!text.empty())
            box->SetWindowText(text.c_str());
        box->ShowWindow(state == 0 ? SW_HIDE : SW_SHOW);
        box->EnableWindow(state == 2);
    }
}

void CQUPlotDetailsGroup::RefillMembers()
{
    if (!m_list.m_hWnd)
        return;
    DeleteMembers();
    CQKPlotObj* head = m_pHead ? m_pHead : GetPlot();
    for (int i = 0; i < m_nCount; ++i) {
        CQKPlotObj* member = head->GetPlotObjInGroupByIndexFromHead(i);
        if (!member)
            break;
        m_list.AddMember(i, member, member->GetName().c_str());
        m_members.push_back(member);
    }
    CQKListBox::CheckHorizontalScrollBar(m_list);
    head->ProcessGroupMembers(m_nCount);
    m_list.Bind(head);
    m_list.Invalidate();
}

void CQUPlotDetailsGroup::AutoParentRule()
{
    CQKPlotObj* plot = GetPlot();
    for (int i = 0; i < m_nShown; ++i) {
        std::string text;
        if (plot->GetEnumState(i, text) != 1)
            continue;
        CheckDlgButton(IDC_PD_GROUP_OPTION0 + i, BST_UNCHECKED);
        const int parent = plot->GetAutoParentIndex(i);
        if (parent >= 0)
            CheckDlgButton(IDC_PD_GROUP_OPTION0 + i, IsDlgButtonChecked(IDC_PD_GROUP_OPTION0 + parent));
    }
}

void CQUPlotDetailsGroup::ApplyEditMode()
{
    const BOOL independent = IsDlgButtonChecked(IDC_PD_GROUP_INDEPENDENT) == BST_CHECKED;
    for (CQKPlotObj* target : Targets())
        target->SetIndependence(independent);
    ShowControlsForObject();
    NotifyDialog(WM_PD_GROUP_INDEPENDENCE, independent ? 1 : 0, 0);
    NotifyDialog(WM_PD_CHECK_TABS, 0, 0);
}

BOOL CQUPlotDetailsGroup::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT id = LOWORD(wParam), code = HIWORD(wParam);
    if (m_bInitialized && code == BN_CLICKED) {
        if (id >= IDC_PD_GROUP_OPTION0 && id < (UINT)(IDC_PD_GROUP_OPTION0 + m_nShown)) {
            const int option = (int)(id - IDC_PD_GROUP_OPTION0);
            const BOOL checked = IsDlgButtonChecked(id) == BST_CHECKED;
            for (CQKPlotObj* target : Targets())
                target->SetEnumerate(checked, option);
            RefillMembers();
            AutoParentRule();
            return CQUPlotDetailsPlotObjTab::OnCommand(wParam, lParam);
        }
        if (id == IDC_PD_GROUP_INDEPENDENT) {
            for (int i = 0; i < m_nShown; ++i) {
                m_saved[i] = IsDlgButtonChecked(IDC_PD_GROUP_OPTION0 + i) == BST_CHECKED ? 1 : 0;
            }
            ApplyEditMode();
            for (int i = 0; i < m_nShown; ++i)
                CheckDlgButton(IDC_PD_GROUP_OPTION0 + i, BST_UNCHECKED);
            RefillMembers();
            return CQUPlotDetailsPlotObjTab::OnCommand(wParam, lParam);
        }
        if (id == IDC_PD_GROUP_DEPENDENT) {
            for (int i = 0; i < m_nShown; ++i) {
                CheckDlgButton(IDC_PD_GROUP_OPTION0 + i, m_saved[i] ? BST_CHECKED : BST_UNCHECKED);
                m_saved[i] = 0;
            }
            ApplyEditMode();
            RefillMembers();
            return CQUPlotDetailsPlotObjTab::OnCommand(wParam, lParam);
        }
    }
    if (id == IDC_PD_GROUP_INDEPENDENT || id == IDC_PD_GROUP_DEPENDENT)
        return CQUPlotDetailsPlotObjTab::OnCommand(wParam, lParam);
    // The member list and anything else of the page change nothing.
    return TRUE;
}
