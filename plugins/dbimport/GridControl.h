// The grid of the query page: a window class of our own, "CUGCLASS", that hosts the grid
// control's cell area and heading strips as children and answers them from a sparse
// store of cells. GridControl is attached to each such window; QueryGrid is the query
// page's grid, one row per column of the table.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "QueryText.h"
#include "ug3220.h"

// Messages to a "CUGCLASS" window.
enum : UINT {
    GRID_ATTACH = WM_USER + 123,  // lParam: the GridControl to attach
    GRID_CREATE = WM_USER + 124,  // creates the children and runs the object's set-up
};

// Frame styles: which heading strips the frame makes.
enum : DWORD { GRID_TOP_HEADING = 0x10, GRID_SIDE_HEADING = 0x20 };

// Check marks and button looks of a cell, as the getters answer them.
enum { GRID_NO_CHECK = -1, GRID_UNCHECKED = 0, GRID_CHECKED = 1 };

// One cell that was written. Column -1 is the side heading, row -1 the top heading and
// (-1, -1) the corner, whose looks are the defaults of body cells.
struct GridCell {
    int column = 0;
    int row = 0;
    int selectedStamp = 0;
    int flags = 0; // UG_CELL_RAISED, UG_CELL_SUNKEN, UG_CELL_CHECKED, UG_CELL_UNCHECKED
    bool hasDropList = false;
    int listOption = 0;
    bool ownerDrawn = false;
    bool readOnly = false;
    int alignment = UG_ALIGN_LEFT;
    std::vector<std::string> dropList; // a copy per cell, never shared
    COLORREF textColor = 0, backColor = 0, selTextColor = 0, selBackColor = 0;
    std::string text;
    std::string templ; // its length is the editor's width in characters
    int editOption = 0;
};

class GridCellStore {
public:
    GridCellStore();

    // The cell, or null when it was never written.
    GridCell* Find(int column, int row);
    // The cell, made with the defaults for its place when missing.
    GridCell& Make(int column, int row);
    // What a cell shows: the cell itself, or the defaults when it was never written.
    const GridCell& Look(int column, int row);
    void Clear();

    int Count() const { return static_cast<int>(cells_.size()); }
    int stamp = 2;          // a cell is selected when its stamp equals this
    int selectedCount = 0;

private:
    GridCell Defaults(int column, int row) const;
    std::map<std::pair<int, int>, GridCell> cells_; // by (row, column)
    GridCell scratch_;
};

// A mouse button on the frame's corner box (where the two heading strips meet).
struct GridCornerClick {
    int keys;   // UG_CTRL, UG_SHIFT
    POINT point; // in the frame's client area
    RECT box;    // the corner box
};

class GridControl {
public:
    GridControl();
    virtual ~GridControl();
    GridControl(const GridControl&) = delete;
    GridControl& operator=(const GridControl&) = delete;

    // Registers the grid control's classes, the drop list's and "CUGCLASS".
    static bool RegisterClasses(HINSTANCE instance);
    // Attaches to a "CUGCLASS" window and makes its children (runs SetUp).
    bool Attach(HWND frame);

    // ---- Cells ------------------------------------------------------------------------
    void SetText(const char* text, int column, int row);
    void SetTemplate(const char* text, int column, int row);
    void SetAlignment(int alignment, int column, int row);
    void SetFlags(int flags, int column, int row);
    void SetReadOnly(bool readOnly, int column, int row);
    void SetColors(COLORREF text, COLORREF back, int column, int row);
    void SetDropList(const std::vector<std::string>& items, int column, int row);
    void SetCheck(bool checked, int column, int row);
    // 0 when the buffer is too small (then untouched), else 1.
    int GetText(char* buffer, size_t size, int column, int row);
    std::string GetText(int column, int row);
    int GetCheck(int column, int row);   // GRID_CHECKED, GRID_UNCHECKED, GRID_NO_CHECK
    int GetButtonLook(int column, int row); // 1 sunken, 0 raised, -1 none
    bool IsReadOnly(int column, int row);
    // A cell's list: its own, or its column heading's.
    std::vector<std::string> DropList(int column, int row);
    bool IsSelected(int column, int row);

    void SetRowCount(int rows);
    void SetColumnCount(int columns);
    void SetColumnWidth(int column, int width);
    int RowCount();
    int ColumnCount();

    // The drop list open now (null when none).
    static HWND OpenDropList();

    HWND frame = nullptr, top = nullptr, side = nullptr, cells = nullptr;
    GridCellStore store;
    bool selectionEnabled = true;
    int anchorColumn = 0, anchorRow = 0;
    int behaviour = 1; // bit 0: a click in the drop list confirms
    bool changed = false;

    // ---- Handlers of the grid's notifications (public so a frame can route to them) ----
    virtual void SetUp();
    virtual void OnDraw(UGNotify& n, bool heading);
    virtual void OnKey(const UGNotify& n);
    virtual void OnClick(const UGNotify& n, bool down);
    virtual void OnDoubleClick(const UGNotify& n);
    virtual void OnEnter(const UGNotify& n);
    virtual void OnButtonDown(const UGNotify& n);
    virtual void OnSelect(const UGNotify& n);
    virtual void OnEditMove(const UGNotify& n);
    virtual void OnEditDone(const UGNotify& n);
    virtual void OnHeadingClick(const UGNotify& n, bool top);
    virtual void OnColumnWidth(const UGNotify& n);
    // A choice made in a drop list.
    virtual void OnDropChoice(int column, int row, const std::string& text);
    virtual bool BeforeEdit(int column, int row);
    // Draws a cell marked owner-drawn that has no drop list; the default writes "Owner".
    virtual void OnOwnerDraw(UGNotify& n, const GridCell& cell);
    // The frame was asked to close (WM_CLOSE); the window stays, for its owner to destroy.
    // The default ends an edit and closes the drop list, so neither outlives the request.
    virtual void OnClose();
    // The corner box: left button down and up, right button, double click. By default
    // they do nothing.
    virtual void OnCornerButton(const GridCornerClick& click, bool down);
    virtual void OnCornerRightButton(const GridCornerClick& click);
    virtual void OnCornerDoubleClick(const GridCornerClick& click);

    // Starts editing (column, row) with `key`; false when the cell is not editable.
    bool Edit(int column, int row, int key);
    bool IsEditable(int column, int row);
    void OpenList(int column, int row);
    void CloseList(bool confirm);
    void Redraw(int column, int row);

private:
    // The corner box's click record for a mouse message at `lParam`; false when the frame
    // has no corner box or the point lies outside it.
    bool CornerClick(WPARAM keys, LPARAM point, GridCornerClick* click);
    void Select(int column, int row, int flags);
    void Layout();
    void CreateChildren();
    friend LRESULT CALLBACK GridFrameProc(HWND, UINT, WPARAM, LPARAM);
    friend LRESULT CALLBACK DropListProc(HWND, UINT, WPARAM, LPARAM);
};

// The query page's grid: column name, import mark, sort, criteria and alternative.
class QueryGrid : public GridControl {
public:
    enum { COL_NAME, COL_IMPORT, COL_SORT, COL_CRITERIA, COL_OR, COLUMNS };

    void SetUp() override;
    // One row per table column: named, marked, not sorted, no criteria.
    void SetColumns(const std::vector<std::string>& names);
    void SetQueryRows(const std::vector<QueryRow>& rows);
    std::vector<QueryRow> GetQueryRows();
    // The empty grid shown before a table is chosen.
    void ResetRows();
    void CheckAll(bool checked);

    void OnKey(const UGNotify& n) override;
    void OnClick(const UGNotify& n, bool down) override;
    void OnDoubleClick(const UGNotify& n) override;
    void OnButtonDown(const UGNotify& n) override;
    void OnEditDone(const UGNotify& n) override;
    void OnHeadingClick(const UGNotify&, bool) override {}
    void OnDropChoice(int column, int row, const std::string& text) override;

    int shownRows = 0; // rows holding table columns
};

// Texts of the plug-in's string table.
std::string DbLoadString(UINT id);
