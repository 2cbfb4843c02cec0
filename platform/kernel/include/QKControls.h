// The kernel's controls: framework controls that show and edit kernel tables in dialogs.
#pragma once

#include <afxcmn.h>

#include <string>
#include <utility>
#include <vector>

#include "QKDefs.h"
#include "QKGraphObjects.h"

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

// ---- Wells ----

// The message a well sends its button's parent when the user picks a cell: WPARAM the
// button's id, LPARAM the cell.
#define QK_WM_WELL_PICK 0x465

// A popup grid of cells (a well) that drops below its button, drawn cell by cell by the
// derived class. Track runs while the well is shown: a click on a cell or Enter picks
// the cell (the arrow keys move the choice), Escape or a click outside dismisses it.
class QK_API CQKPopupBitmapWell {
public:
    CQKPopupBitmapWell() = default;
    virtual ~CQKPopupBitmapWell();
    CQKPopupBitmapWell(const CQKPopupBitmapWell&) = delete;
    CQKPopupBitmapWell& operator=(const CQKPopupBitmapWell&) = delete;

    // Cells first .. first + count - 1 in rows of `columns` cells of cx x cy pixels.
    void SetLayout(int first, int count, int columns);
    void SetCellSize(int cx, int cy);
    int GetFirstCell() const { return m_first; }
    int GetCellCount() const { return m_count; }
    int GetColumns() const { return m_columns; }
    SIZE GetCellSize() const { return {m_cx, m_cy}; }
    // The well's client size, the rectangle of a cell (its place from the first) and the
    // cell under a client point (-1 for none).
    SIZE GetWellSize() const;
    RECT GetCellRect(int place) const;
    int CellFromPoint(POINT client) const;

    // Shows the well below `anchor` (screen coordinates) over `owner`, `current` marked,
    // until the user picks a cell (the answer) or dismisses the well (-1).
    int Track(HWND owner, const RECT& anchor, int current);
    // The well being tracked on this thread (for the tests), or null.
    static HWND GetTrackingWindow();

protected:
    virtual void DrawCell(HDC dc, const RECT& rect, int cell) = 0;

private:
    static LRESULT CALLBACK WellProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void Paint(HDC dc);
    void MoveChoice(int dx, int dy);

    int m_first = 0, m_count = 0, m_columns = 1, m_cx = 22, m_cy = 22;
    HWND m_hwnd = nullptr;
    int m_choice = -1;  // place of the marked cell
    int m_picked = -1;  // the answer of Track
    bool m_done = false;
};

// The symbol gallery as a well: each cell the symbol manager's gallery entry, drawn in
// the colours of the look it is given.
class QK_API CQKPopupSymbolWell : public CQKPopupBitmapWell {
public:
    void SetLook(const CQKPlotObj* look) { m_look = look; }

protected:
    void DrawCell(HDC dc, const RECT& rect, int cell) override;

private:
    const CQKPlotObj* m_look = nullptr;
};

// A button that drops a popup of its own (a well, a menu) when it is clicked or Space is
// pressed on it. It answers its own messages rather than notifying its parent, since a
// dialog may take the button's notifications for itself.
class QK_API CQKPopupDropButton : public CButton {
protected:
    // Drops the popup, once the click or the key is done.
    virtual void DropPopup() = 0;
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    DECLARE_MESSAGE_MAP()
};

// A button that drops a well and reports the cell picked to its parent
// (QK_WM_WELL_PICK). The well is the button's own when it is given one to own.
class QK_API CQKWellButton : public CQKPopupDropButton {
public:
    explicit CQKWellButton(CQKPopupBitmapWell* well = nullptr) : m_well(well) {}
    ~CQKWellButton() override;
    CQKPopupBitmapWell* GetWell() const { return m_well; }
    // The well's cells: from `first`, `columns` a row, at least `rows` rows (more when
    // the cells need them).
    void SetWellDimension(int first, int columns, int rows);
    void SetCellSize(int cx, int cy);
    // The cell marked when the well drops.
    void SetCurrentCell(int cell) { m_current = cell; }
    // Drops the well; the cell picked is reported as a pick.
    void Drop();
    // Tells the parent of a pick, as the well does.
    void Pick(int cell);

protected:
    // How many cells the well holds when it drops.
    virtual int GetCellCount() const { return m_cells; }
    virtual void BeforeDrop() {}
    void DropPopup() override { Drop(); }

    CQKPopupBitmapWell* m_well;
    int m_first = 0, m_columns = 1, m_rows = 1, m_cells = 0, m_current = -1;
    int m_cx = 22, m_cy = 22;
};

// A well button attached to a button of a dialog.
class QK_API CQKBitmapWellButton : public CQKWellButton {
public:
    using CQKWellButton::CQKWellButton;
    // Attaches to the dialog's button `id`, which the button draws from then on.
    BOOL MakeButton(CWnd* dialog, UINT id);
    // Detaches from the dialog's button (before the dialog goes).
    void ReleaseButton();
};

// A well button showing one symbol: a geometric shape and interior or a character in a
// font and style, in the colours of its look.
class QK_API CQKSymbolWellButton : public CQKBitmapWellButton {
public:
    using CQKBitmapWellButton::CQKBitmapWellButton;
    void SetConstructedSymbol(int type, int fill, int style = 0);
    void SetConstructedCharacter(int character, int font, int style);
    // The symbol a plot shows (its shape, character or user-defined symbol and colours).
    void SetSymbolFromPlot(const CQKPlotObj& plot);
    // Colours: the plot's colour, the edge and the fill (kernel colour indexes).
    void SetColors(int color, int edge, int fill);
    const CQKPlotObj& GetLook() const { return m_look; }
    // Redraws the button with its symbol.
    void SetOwnerDrawSurface();
    void DrawItem(LPDRAWITEMSTRUCT dis) override;

protected:
    CQKPlotObj m_look;
};

// The symbol gallery's button: it owns a popup symbol well showing the manager's gallery
// in the button's colours.
class QK_API CQKSymbolGalleryWellButton : public CQKSymbolWellButton {
public:
    // `well` (a CQKPopupSymbolWell or one derived from it) is owned; null makes one.
    explicit CQKSymbolGalleryWellButton(CQKPopupSymbolWell* well = nullptr);
    ~CQKSymbolGalleryWellButton() override;
    // Whether the gallery shows the characters after the shapes.
    void SetWithCharacters(BOOL with) { m_withCharacters = with; }

protected:
    int GetCellCount() const override;
    void BeforeDrop() override;

private:
    CQKPopupSymbolWell* m_symbolWell;
    BOOL m_withCharacters = FALSE;
};

// The user-defined symbols as a list's entries ("1: star.bmp"), by slot.
class QK_API CQKUDSComboBox : public CComboBox {
public:
    void AddUserDefinedSymbols();
};

// The user-defined symbols well of the Options sheet: the symbols as cells, a click
// offering "Add..." (a bitmap or metafile file) and "Remove" (the cell clicked). It edits
// a copy of the list; SaveChange gives it to the symbol manager and the INI file.
class QK_API CQKUDSWell : public CQKPopupDropButton {
public:
    BOOL MakeWell(CWnd* dialog, UINT id);
    // The list as the well holds it.
    const std::vector<std::string>& GetFiles() const { return m_files; }
    // A symbol from a file in the first empty cell; FALSE and why when refused.
    BOOL AddSymbol(const std::string& path, std::string* why = nullptr);
    BOOL RemoveSymbol(int index);
    int GetSelected() const { return m_selected; }
    void Select(int index);
    // Puts the list into the manager and the INI file when it changed; TRUE when saved
    // or unchanged.
    BOOL SaveChange();
    // The cell under a client point, -1 for none.
    int CellFromPoint(POINT client) const;
    void DrawItem(LPDRAWITEMSTRUCT dis) override;

protected:
    // The popup is a menu: "Add..." and "Remove".
    void DropPopup() override { ShowMenu(); }
    void ShowMenu();
    void AskForFile();
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()

private:
    std::vector<std::string> m_files;
    int m_selected = -1;
    bool m_changed = false;
};
