// The Group page: whether the members of a plot group are edited together (dependent) or
// each by itself, which properties step from member to member, and the members as the
// group's settings make them look. Every choice is written to the members at once.
#pragma once

#include <vector>

#include "PlotDetailsPages.h"
#include "QKControls.h"

class QD_API CQUPlotDetailsGroup : public CQUPlotDetailsPlotObjTab
{
public:
    CQUPlotDetailsGroup();
    ~CQUPlotDetailsGroup() override;

    void InitControls() override;
    void ObjectToControls() override;
    void ShowControlsForObject() override;
    int GetPageKind() const override { return 10; }

    // The group's head and member count, from the tab manager.
    void SetGroupHead(CQKPlotObj* pHead, int nCount)
    {
        m_pHead = pHead;
        m_nCount = nCount;
    }
    int GetShownOptions() const { return m_nShown; }
    const CQKGrpMemberListBox& GetMemberList() const { return m_list; }

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void RefillMembers();
    void DeleteMembers();
    void AutoParentRule();
    void ApplyEditMode();
    // The objects the page writes a choice to: the members and the plot being edited.
    std::vector<CQKPlotObj*> Targets() const;

    CQKGrpMemberListBox m_list;
    std::vector<CQKPlotObj*> m_members; // owned
    CQKPlotObj* m_pHead;
    int m_nCount;
    int m_nShown;
    int m_saved[8];
};
