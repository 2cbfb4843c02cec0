// The kernel's controls: framework controls that show and edit kernel tables in dialogs.
#pragma once

#include <afxcmn.h>

#include <string>
#include <utility>
#include <vector>

#include "QKDefs.h"

class CQKPlotObj;

// The colour table as a report list (index, colour, name) that edits a copy of the table:
// LoadColors fills it from the kernel's table, SaveColors puts the copy back. A double
// click on a colour opens the system colour chooser, on a name an in-place edit.
class QK_API CQKColorListCtrl : public CListCtrl {
public:
    CQKColorListCtrl() = default;
    ~CQKColorListCtrl() override;

    // The column titles, one per line ("Index\nColor\nName"); call once after the control
    // is made or attached.
    void InitColumns(const char* titles);
    void LoadColors();
    // The copy to the kernel's table; TRUE when that changed the table.
    BOOL SaveColors();

    int GetColorCount() const { return (int)m_colors.size(); }
    const std::vector<std::pair<std::string, DWORD>>& GetColors() const { return m_colors; }
    // Each FALSE when it changes nothing: the table full, the last colour, an index out of
    // range, or the first (last) colour moved up (down). The moved colour stays selected.
    BOOL AppendNewColor();
    BOOL DeleteColor(int index);
    BOOL MoveColorUp(int index);
    BOOL MoveColorDown(int index);
    BOOL SetColor(int index, DWORD rgb);
    BOOL SetColorName(int index, const std::string& name);
    // The system colour chooser for a colour; FALSE when the user cancelled.
    BOOL EditColor(int index);
    // The in-place edit over a name: Enter or leaving it keeps the text (an empty one is
    // refused), Escape drops it. The edit window, or null for an index out of range.
    HWND EditName(int index);

protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

private:
    void Fill();
    void Select(int index);
    static LRESULT CALLBACK NameEditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void EndNameEdit(bool keep);

    std::vector<std::pair<std::string, DWORD>> m_colors;
    HWND m_nameEdit = nullptr;
    int m_nameIndex = -1;
    WNDPROC m_editProc = nullptr;
};

// The members of a plot group: each item a member's sample (line, symbol or box, as the
// group's settings make it) and name. The items' data are the member objects, which the
// owner keeps; Bind names the group's head.
class QK_API CQKGrpMemberListBox : public CListBox {
public:
    void Bind(const CQKPlotObj* head) { m_head = head; }
    const CQKPlotObj* GetHead() const { return m_head; }
    int AddMember(int index, const CQKPlotObj* member, const char* name);
    const CQKPlotObj* GetMember(int index) const;
    void DrawItem(LPDRAWITEMSTRUCT dis) override;
    void MeasureItem(LPMEASUREITEMSTRUCT mis) override;

private:
    const CQKPlotObj* m_head = nullptr;
};

// A list box whose horizontal scroll bar spans its longest item.
class QK_API CQKListBox {
public:
    static void CheckHorizontalScrollBar(CListBox& list);
};
