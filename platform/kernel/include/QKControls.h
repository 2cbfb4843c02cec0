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

// What a colour menu button sends its owner (the dialog item's parent) when a colour is
// chosen: wParam the button's id, lParam the chosen QCOLOR.
#define QK_WM_COLORMENU_CHOSEN 0x533
// A choice made without the menu (scripts, tests): wParam the QCOLOR; a shown and enabled
// button takes it and tells its owner as if it had been picked from the menu.
#define QK_WM_COLORMENU_CHOOSE (WM_APP + 0x533)

// A button that shows a plot's colour (a swatch and its name) and drops a menu of the
// colours it may take: "Automatic" and the colour table, and when the plot offers
// colours per point (CQKPlotObj::GetColorContents, bits 0xF0) the worksheet's columns
// "By Column" (colour-table numbers) and through the "Color Map". It takes the place of
// a dialog item made for it (an owner-drawn button); the menu opens on a press of the
// mouse or of Space, Enter, Down or F4.
class QK_API CQKColorMenuButtonCtrl : public CButton {
public:
    // Binds the dialog item `id` of `parent` for the colour `contents` (QK_COLOR_...) of
    // `plot` (which may come later, by ConnectToPlotObject). FALSE when there is no item.
    BOOL CreateColorMenu(UINT id, int contents, CWnd* parent, CQKPlotObj* plot);
    void ConnectToPlotObject(CQKPlotObj* plot);
    CQKPlotObj* GetPlotObject() const { return m_plot; }
    int GetContents() const { return m_contents; }
    // The colour shown, a QCOLOR (-9 automatic); the argument is reserved (0).
    int GetSelectedQCOLOR(int reserved) const { return m_selected; }
    void SetSelectedQCOLOR(int qcolor);
    // The colour-table index "Automatic" stands for, for its swatch.
    void SetAutoColor(int color);
    // The selection's name as the button shows it ("Automatic", "Red", "Col(C)",
    // "Col(C) Color Map").
    std::string GetSelectedName() const;
    // The menu's entries in order: each its text ("" a separator, a submenu's entries
    // after their heading with a leading "  ") and QCOLOR (0 for headings and separators).
    std::vector<std::pair<std::string, int>> GetMenuEntries() const;
    // Selects and tells the owner (QK_WM_COLORMENU_CHOSEN), as a pick from the menu does.
    void Choose(int qcolor);
    // Drops the menu under the button and takes the user's pick.
    void DropMenu();

    void DrawItem(LPDRAWITEMSTRUCT dis) override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    std::vector<std::pair<std::string, int>> Columns() const;
    CQKPlotObj* m_plot = nullptr;
    int m_contents = 0;
    int m_selected = -9;
    int m_auto = 0;
};

// A list box whose horizontal scroll bar spans its longest item.
class QK_API CQKListBox {
public:
    static void CheckHorizontalScrollBar(CListBox& list);
};
