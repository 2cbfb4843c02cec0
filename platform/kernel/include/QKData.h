// The kernel's data model: the project with its pages, worksheet columns, free datasets
// and matrices.
//
// Datasets are the unit the plug-ins and the interpreter exchange: a worksheet column is
// a dataset owned by its worksheet and named "<worksheet>_<column>"; a free dataset (a fit
// curve, a temporary result) has a name of its own. Every dataset and page has a handle,
// a small positive number that stays unique for the life of the process: the plug-ins
// keep handles across calls, and a handle whose object was deleted is simply not found
// again, never reused for something else.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "QKDefs.h"
#include "QKExplorer.h"

class CQKWksPage;
class CQKGraphPage;
class CQKMatrixPage;
class CQKProject;
class CQKTextObj;
class CQKAxes;
class CQKErrorBar;
class CQKGrElement;
class CQKGrObj;
class CQKTableElement;
class CQKSelRowNum;
class CQKSelOneColumn;
class CQKSelColHead;
class CQKSelOneCell;
class CQKSelOneRow;
class CQKSelMultiCells;
class CQKSelMultiRows;
class CQKSelMultiColumns;
class CQKSelAllColsRows;
class CQKLeftCorner;
class CQKOutsideTable;
class CQKPlotObj;
class CFile; // the framework's file, which a page writes itself into
class CQKFolder;

// Column formats.
enum {
    QK_FORMAT_NUMERIC = 1,
    QK_FORMAT_TEXT = 2,
    QK_FORMAT_TIME = 3,
    QK_FORMAT_DATE = 4,
    QK_FORMAT_TEXT_NUMERIC = 7, // numbers shown as numbers, texts as texts
};

// Column designations (wks.col<n>.type).
enum {
    QK_COLTYPE_Y = 1,
    QK_COLTYPE_DISREGARD = 2,
    QK_COLTYPE_YERR = 3,
    QK_COLTYPE_X = 4,
    QK_COLTYPE_LABEL = 5,
    QK_COLTYPE_Z = 6,
    QK_COLTYPE_XERR = 7,
};

// Most rows a dataset may hold; a write beyond fails instead of exhausting memory.
const int QK_MAX_ROWS = 1 << 24;
// Largest named block of the 3D library.
const size_t QK_MAX_NAMED_BLOCK = 16 << 20;

class QK_API CQKDataset {
    friend struct QKFileAccess; // the project file's reader and writer
public:
    CQKDataset(CQKProject* project, const std::string& name, CQKWksPage* owner);
    ~CQKDataset();

    INT_PTR GetHandle() const { return m_handle; }
    std::string GetName() const; // "<worksheet>_<column>" for columns
    CQKWksPage* GetOwner() const { return m_owner; }
    bool IsColumn() const { return m_owner != nullptr; }

    // Rows are 0-based; rows first .. end - 1 are in use.
    int GetFirst() const { return m_first; }
    int GetEnd() const { return m_end; }
    int GetSize() const { return m_end; }
    // Sets the range; the storage grows with missing values or is cut to `end`.
    bool SetRange(int first, int end);

    // A row outside the dataset, or a text cell, reads as MISSING_VALUE.
    double GetValue(int row) const;
    // Writes grow the dataset (missing values fill the gap); false for a bad row.
    bool SetValue(int row, double value);
    bool IsText(int row) const;
    // The cell as text: its text, or the number in the shortest form that reads back
    // exactly, or "--" for a missing value.
    std::string GetText(int row) const;
    bool SetText(int row, const std::string& text);
    // Rows start .. start + count - 1 take the values (text cells there become numbers):
    // one call for bulk writers instead of one per row. false when they do not fit.
    bool SetValues(int start, const double* values, int count);
    // Hands the values over as rows 0 .. size - 1, the rows after them dropped.
    bool TakeValues(std::vector<double>&& values);
    // Rows from `row` on move down by `count` (missing values fill the gap), or the
    // `count` rows from `row` go and the rows after them move up.
    bool InsertRows(int row, int count);
    bool DeleteRows(int row, int count);

    // Masked rows are drawn in the mask colour (or not at all while hidden) and read as
    // missing by analyses; while masking is off they count as any other row.
    bool IsMasked(int row) const { return m_maskOn && !m_mask.empty() && m_mask.count(row) != 0; }
    bool IsMaskSet(int row) const { return m_mask.count(row) != 0; }
    void SetMasked(int row, bool masked);
    const std::set<int>& GetMaskedRows() const { return m_mask; }
    void SetMaskedRows(const std::set<int>& rows) { m_mask = rows; }
    bool m_maskOn = true;
    bool m_maskHidden = false;
    int m_maskColor = 1; // colour index (red)

    // Column attributes (meaningful for worksheet columns, kept for all datasets). The
    // format is set with SetFormat, which marks the worksheet changed.
    std::string m_columnName;
    std::string m_label;
    int m_format = QK_FORMAT_NUMERIC;
    void SetFormat(int format);
    int m_subformat = 0;
    int m_width = 8;
    int m_type = QK_COLTYPE_Y;
    std::string m_function; // the formula the column's values were last set from
    INT_PTR m_xDataset = 0; // handle of the X dataset set by a plug-in, 0 for none
    bool m_temporary = false; // made for one plug-in call, deleted when it ends

private:
    friend class CQKProject;
    void Grow(int end);

    CQKProject* m_project;
    INT_PTR m_handle;
    std::string m_name; // free datasets only
    CQKWksPage* m_owner;
    int m_first = 0;
    int m_end = 0;
    std::vector<double> m_values;
    std::map<int, std::string> m_texts; // text cells by row
    std::set<int> m_mask;
};

// What the view knows of a print job (the framework's print information).
struct QKPrintInfo {
    UINT curPage = 1;         // the page being printed, from 1
    BOOL preview = FALSE;     // printing into the print preview
    RECT rectDraw = {0, 0, 0, 0}; // the printable area (device units of the printer DC)
    RECT pageRect = {0, 0, 0, 0}; // answered by PrepareDCForPrinting: where the page goes
};

class QK_API CQKPage : public CQKBase {
    friend struct QKFileAccess; // the project file's reader and writer
public:
    CQKPage(CQKProject* project, QKPageType type, const std::string& name);
    virtual ~CQKPage();

    INT_PTR GetHandle() const { return m_handle; }
    QKPageType GetType() const { return m_type; }
    const std::string& GetName() const { return m_name; }
    // Renames the page; false when the name is not a valid window name or is taken.
    bool SetName(const std::string& name);
    // A number that moves (never back, never to a value another page had) whenever the
    // page's structure changes: renamed; for worksheets a column added, removed, moved,
    // renamed or given another format, or a column's rows changed in number. A reader
    // called once per line keeps what it found in the worksheet while it stays the same.
    uint64_t GetChangeStamp() const { return m_changeStamp; }
    void MarkChanged();
    // The template the page was made from, as it was named ("" for none).
    const std::string& GetTemplateName() const { return m_templateName; }
    void SetTemplateName(const std::string& name) { m_templateName = name; }
    // The window's form: nonzero when the page has a name.
    BOOL GetName(std::string& name) const;
    // Renames the page after a window title. A name the kernel cannot take (not a valid
    // window name, or another page's) is refused: `name` then receives the page's own
    // name and *bChanged is set, so the caller shows the name that stands.
    BOOL SetName(std::string& name, int* bChanged);

    // The windows that show the page, set by the user interface; null without a window.
    void SetTheFrameWnd(HWND frame) { m_frameWnd = frame; }
    void SetTheDrawingWnd(HWND drawing) { m_drawingWnd = drawing; }
    void SetWindow(HWND frame, int) { m_frameWnd = frame; }
    HWND GetFrameWnd() const { return m_frameWnd; }
    HWND GetDrawingWnd() const { return m_drawingWnd; }
    // The file the page was read from or last saved to.
    void SetFullPathFileName(const char* path) { m_path = path ? path : ""; }
    const std::string& GetFullPathFileName() const { return m_path; }
    // Asked before the page's window closes; 0 keeps it open. The kernel has nothing to
    // ask about a page of its own, so it agrees.
    virtual int OnClosingQuery(BOOL closingAll);
    // Changes not yet seen by the window (nonzero after a change).
    WORD GetPageChange() const { return m_change; }
    // Writes the page as a window file into `file` from its position on (an embedded
    // page too: the embedding's storage holds the same bytes). FALSE when it could not be
    // written (the reason has gone to the output).
    BOOL SavePageFile(CFile* file, BOOL embedded);
    // The size of the page's picture in HIMETRIC; a page without a picture leaves `size`
    // as the caller gave it.
    virtual void GetPageSize(SIZE& size) const {}
    // Removes the page from the project and deletes it: the caller's pointer is dead after.
    void Destroy();
    // Changes not yet seen by the window; the user interface's page also tells its window.
    virtual void SetPageChange(WORD change) { m_change = change; }

    // ---- the window of the page --------------------------------------------------------
    // A page of the user interface (made through CQKAccess::CreateNewPageObject) reaches
    // its document and frame through these; the kernel's own pages have no window, and
    // answer 0 or the kernel's text.
    virtual int GetImageListIndex();
    virtual int IsNoWnd() { return m_frameWnd == nullptr; }
    virtual int IsStatusVisible() { return 1; }
    virtual int IsLayoutPage() { return 0; }
    virtual int CloseWnd() { return OnCloseWnd(); }
    virtual int OnCloseWnd() { return 0; }
    virtual int Minimize() { return 0; }
    virtual int Restore() { return 0; }
    virtual int Activate() { return 0; }
    virtual int Maximize() { return 0; }
    // The window's state as text.
    virtual int GetWindowState(std::string& text);
    std::string GetWindowStateStr() const { return m_frameWnd ? "Normal" : "Hidden"; }
    // Whether closing the window asks first (the settings of the kind).
    virtual int GetClosePrompt() { return 1; }
    // The page is about to be deleted (its window, if any, goes with it).
    virtual int OnDestroy() { return 1; }
    virtual int OnInternalActivate(BOOL bRestore) { return 0; }
    virtual int SetPagespecificMenu(HMENU menu, BOOL bUpdate) { return 0; }
    virtual int ClearPagespecificMenu(BOOL bUpdate) { return 0; }
    virtual int OnInternalSetTitle(const char* title) { return 0; }
    // The page's window became the active one (after `previous`): the page becomes the
    // project's active page, which scripts work on. 1.
    virtual int OnActivate(CQKPage* previous);
    virtual int OnDeactivate(CQKPage* next) { return 1; }
    // The user hid the window: the page stays in the project without one.
    void SetHiddenPEWnd(int hidden) { m_hiddenWnd = hidden != 0; }
    BOOL IsHiddenPEWnd() const { return m_hiddenWnd; }
    // The project explorer's folder the page lies in (never null once the page is in a
    // project: the root when no other), its label and when it was made and last changed
    // (seconds since 1970).
    CQKFolder* GetFolder() const;
    const std::string& GetLabel() const { return m_label; }
    void SetLabel(const std::string& label);
    double GetTimeCreated() const { return m_created; }
    double GetTimeModified() const { return m_modifiedTime; }
    // Crop marks around the printed page.
    BOOL IsShowCropmark() const { return m_showCropmark; }
    void SetShowCropmark(BOOL show) { m_showCropmark = show != FALSE; }
    // Factories of the objects that live on the page: the kernel's own classes here, the
    // user interface's subclasses on its pages. Null when none could be made.
    virtual CQKTextObj* PgCreateCQKTextObj();
    virtual CQKAxes* PgCreateCQKAxes();
    virtual CQKErrorBar* PgCreateCQKErrorBar();
    BOOL IsBasePtrPage() const override { return TRUE; }
    void DumpState(CQKStateDump& dump) const override;

    // ---- drawing and the page window's input ------------------------------------------
    // The view hands its device contexts (screen, memory bitmap, metafile, printer) as
    // HDC and its messages as they come; the page draws itself and answers the mouse and
    // keys. The plain page (notes, matrix, a worksheet until its kind overrides) draws
    // nothing and handles nothing.
    // A message of the view's window, offered before the framework sees it; TRUE when the
    // page handled it, with the message's answer in *result.
    virtual BOOL WindowProc(HWND view, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // A key went down in the view; nonzero when the page used it (else the framework's).
    virtual int OnKeyDown(UINT key, UINT repeat, UINT flags);
    // Asked before a paint while `activeFrame` is the active child frame; 0 skips drawing.
    virtual int OnBeforePaint(HWND activeFrame);
    // Bracket every use of a DC by the view (reserved: 0); the DC's state is saved by
    // OnBeginDC and given back by OnEndDC, so the page's settings never outlive the use.
    virtual void OnBeginDC(HDC dc, int reserved);
    virtual void OnEndDC(HDC dc, int reserved);
    // Device contexts begun and not yet ended: 0 between paints.
    size_t GetOpenDCCount() const { return m_savedDC.size(); }
    // The view's client rectangle (device units); the page places its drawing rectangle
    // in it by view mode and zoom. FALSE when there is nothing to draw into.
    virtual BOOL SetDrawRect(const RECT& client);
    // Where the page draws on screen; FALSE while there is no such rectangle.
    virtual BOOL GetDrawRect(RECT& rect) const;
    // The part of the DC that needs drawing (its clip box); drawing may skip the rest.
    virtual void SetClipBox(HDC dc);
    // Sets the DC up for the screen (device units, transparent text); FALSE on failure.
    virtual BOOL PrepareDCForScreenDrawing(HDC dc);
    // Sets a printer DC up and places the page on the printable area (info.rectDraw) at
    // the printer's resolution; info.pageRect receives the rectangle to Draw into.
    virtual BOOL PrepareDCForPrinting(HDC dc, QKPrintInfo& info);
    // Draws what the page prints beside itself on printed page info.curPage of the
    // printable area info.rectDraw (headers and footers); FALSE when it prints none.
    virtual BOOL DrawHeaderFooters(HDC dc, const QKPrintInfo& info);
    // Draws the whole page into `rect` of any DC, walking the page's tree; FALSE when the
    // page has no drawing (the plain page) or the DC refused.
    virtual BOOL Draw(HDC dc, const RECT& rect);
    // What only the screen shows over the page (selection handles of the stored element).
    virtual void DrawScreenItems(HDC dc);
    // The topmost element under a point of the view (device units of the last screen
    // drawing), found in reverse drawing order; null when none.
    virtual CQKGrElement* FindGrElement(int x, int y);
    // The view's point of the last context menu or click (client coordinates).
    void SetCurrentPoint(POINT point) { m_currentPoint = point; }
    POINT GetCurrentPoint() const { return m_currentPoint; }
    // The element the user last clicked (the page's selection); null when none. The page
    // keeps where the element is, not a pointer, so an element deleted since is no
    // longer answered.
    virtual CQKGrElement* GetStoredGrElement() const { return nullptr; }
    virtual void SetStoredGrElement(CQKGrElement* element) {}
    // Whether this is the project's active page; with bActivate set it becomes the active
    // one first when it is not.
    BOOL IsActivePage(int bActivate);
    // View mode (0 print preview, 1 page, 2 window, 3 draft) and zoom (1 the whole page in
    // the window); the plain page has one fixed view.
    virtual int GetViewMode() const { return 1; }
    // The colour the page's objects stand on (kind 1: behind labels); white for pages
    // that draw no background of their own.
    virtual COLORREF GetBackgroundColorRef(int kind) const { return RGB(255, 255, 255); }
    virtual void SetViewMode(int mode, int reserved) {}
    virtual double GetZoom() const { return 1; }
    virtual void ViewZoomIn() {}
    virtual void ViewZoomOut() {}
    virtual void ViewFullPage() {}
    // The zoom tool (1 in, 0 out) at the current point.
    virtual void CursorZoom(int zoomIn) {}
    // Whether a View > Show command (33088-33119), Stack Data (36121) or Exchange Axes
    // (36122) is checked; the plain page checks none.
    virtual BOOL CheckViewShowCommand(int id) const { return FALSE; }

protected:
    // The lines every page writes first (name, kind, template, window state).
    void DumpPageHeader(CQKStateDump& dump) const;
    CQKProject* m_project;

private:
    friend class CQKProject;
    INT_PTR m_handle;
    QKPageType m_type;
    std::string m_name;
    std::string m_templateName;
    std::string m_path;
    HWND m_frameWnd = nullptr;
    HWND m_drawingWnd = nullptr;
    WORD m_change = 0;
    bool m_hiddenWnd = false;
    bool m_showCropmark = false;
    RECT m_drawRect = {0, 0, 0, 0};
    RECT m_clipBox = {0, 0, 0, 0};
    POINT m_currentPoint = {0, 0};
    std::vector<int> m_savedDC; // SaveDC levels of OnBeginDC, innermost last
    uint64_t m_changeStamp = 0;
    CQKFolder* m_folder = nullptr;
    std::string m_label;
    double m_created = 0, m_modifiedTime = 0;
};

// A page the window shows as a table of cells: worksheets and matrices. The table's
// drawing, selection, scrolling and typing are the same for both (WksDraw.cpp,
// WksEdit.cpp); what a cell holds and how it reads typed text is the kind's own.
class QK_API CQKTablePage : public CQKPage {
public:
    CQKTablePage(CQKProject* project, QKPageType type, const std::string& name);

    // What a cell of the table holds, for its colour and alignment.
    enum CellKind { CELL_NONE, CELL_NUMBER, CELL_MISSING, CELL_TEXT };
    virtual int GetNumCols() const = 0;
    // The rows the table shows.
    virtual int GetNumRows() const = 0;
    virtual int GetColumnPixels(int column) const = 0;
    // The heading of a column, and the line under it when GetHeadingLines is 2.
    virtual std::string GetColumnHeading(int column) const = 0;
    virtual std::string GetColumnLabel(int column) const { return std::string(); }
    virtual int GetHeadingLines() const { return 1; }
    virtual CellKind GetCellKind(int column, int row) const = 0;
    // The rows in use of a column (End jumps to the last of them).
    virtual int GetFilledRows(int column) const = 0;
    // The highest row (from 0) the active cell may reach.
    virtual int GetLastRow() const = 0;
    // A cell as the window shows it; rows from 0, columns from 1.
    virtual std::string FormatCell(int column, int row) const = 0;
    // Puts what the user typed into a cell; false with *why when the cell refuses it:
    // nothing changes.
    virtual bool SetCellFromText(int column, int row, const std::string& text, std::string* why) = 0;
    // Clears the selected cells (missing values).
    virtual void ClearSelected() = 0;

    // Selection: columns c1..c2 and rows r1..r2, 1-based; 0 when nothing is selected.
    // Whole columns have rows 0; whole rows are columns 1..last with m_selWholeRows.
    int m_selC1 = 0, m_selC2 = 0, m_selR1 = 0, m_selR2 = 0;
    bool m_selWholeRows = false;
    bool m_showGrid = true;

    // Where things are on screen, in device units from the drawing rectangle's corner.
    int GetRowHeight() const { return m_rowHeight; }
    int GetHeaderHeight() const;
    int GetRowNumberWidth() const;
    // The first row (from 0) and column (from 1) in view; scrolling moves them.
    int GetTopRow() const { return m_topRow; }
    int GetLeftColumn() const { return m_leftColumn; }
    void ScrollTo(int topRow, int leftColumn);
    // The active cell moves to the row (from 0) in its column, selected and in view.
    void GoToRow(int row);
    // Rows and columns that fit the drawing rectangle from the top row and left column.
    int GetVisibleRows() const;
    int GetVisibleColumns() const;
    // The active cell (row from 0, column from 1), which typing fills.
    int GetActiveRow() const { return m_activeRow; }
    int GetActiveColumn() const { return m_activeColumn; }
    // Selections: a cell (which becomes the active one), a block, whole columns, whole
    // rows, everything; columns from 1, rows from 0. SelectNone drops it.
    void SelectCells(int c1, int r1, int c2, int r2);
    void SelectColumns(int c1, int c2);
    void SelectRows(int r1, int r2);
    void SelectNone();
    // The cell being typed into: its text so far; false while no cell is being edited.
    bool GetEditText(std::string& text) const;
    // Ends the typing: true puts the text in the cell (false, with the reason shown, when
    // the cell refuses it: typing goes on); false throws the text away.
    bool EndEdit(bool keep);
    // What a point of the view is (device units): 0 outside, 1 a cell, 2 a column heading,
    // 3 a row number, 4 the corner; *column and *row (from 1 and 0) tell which.
    int HitTest(int x, int y, int* column, int* row) const;
    // Column widths are dragged at the heading's right edge: the column (from 1) whose
    // edge is at the point, 0 when none.
    int HitTestColumnEdge(int x, int y) const;
    // A column's width from the pixels it should take; false for a table whose columns
    // keep their width.
    virtual bool SetColumnPixels(int column, int pixels) { return false; }

    // What is selected, as the context menu's submenu positions name it: 0 one row
    // number, 2 one column heading, 3 one cell, 4 everything (the corner), 5 part of one
    // column, 6 a block of cells, 7 part of one row, 8 several row numbers, 9 several
    // column headings; 1 nothing.
    int GetSelectionKind() const;
    // The element of what a click of HitTest's kind `hit` found: the area outside the
    // table (0), the corner (4), else what is selected (a matrix wholly selected is the
    // whole matrix). Made through the factories below and kept by the page until the next
    // is asked for; null when the factory made none. (TableElements.cpp)
    CQKTableElement* GetSelectionElement(int hit);
    // The factories of the elements: the kernel's own classes here, the user interface's
    // subclasses on its pages. Null when none could be made.
    virtual CQKSelRowNum* PgCreateCQKSelRowNum();
    virtual CQKSelOneColumn* PgCreateCQKSelOneColumn();
    virtual CQKSelColHead* PgCreateCQKSelColHead();
    virtual CQKSelOneCell* PgCreateCQKSelOneCell();
    virtual CQKSelOneRow* PgCreateCQKSelOneRow();
    virtual CQKSelMultiCells* PgCreateCQKSelMultiCells();
    virtual CQKSelMultiRows* PgCreateCQKSelMultiRows();
    virtual CQKSelMultiColumns* PgCreateCQKSelMultiColumns();
    virtual CQKSelAllColsRows* PgCreateCQKSelAllColsRows();
    virtual CQKLeftCorner* PgCreateCQKLeftCorner();
    virtual CQKOutsideTable* PgCreateCQKOutsideTable();


    BOOL Draw(HDC dc, const RECT& rect) override;
    void DrawScreenItems(HDC dc) override;
    // Mouse selection of cells, headings and row numbers, scrolling, typing.
    BOOL WindowProc(HWND view, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    int OnKeyDown(UINT key, UINT repeat, UINT flags) override;

protected:
    // A drag of column headings that leaves the window: a page that lets its columns be
    // dragged elsewhere starts that drag and answers TRUE; the table's own answers FALSE.
    virtual BOOL DragSelectedColumnsOut() { return FALSE; }
    void MeasureFont(HDC dc);
    void EnsureVisible(int column, int row);
    void UpdateScrollBars(HWND view);
    void MoveActive(int dColumn, int dRow, bool extend);
    void Redraw();
    bool OnChar(UINT ch);
    HWND m_view = nullptr;
    int m_topRow = 0, m_leftColumn = 1;
    int m_activeRow = 0, m_activeColumn = 1;
    int m_anchorRow = 0, m_anchorColumn = 1; // the fixed corner of a selection being extended
    int m_rowHeight = 18, m_charWidth = 7;
    static const int kDragWidth = 5;
    int m_drag = 0; // what a held mouse button selects: HitTest's kinds, or kDragWidth
    int m_dragColumn = 0, m_dragLeft = 0; // the column whose width is dragged, its left edge
    bool m_editing = false;
    std::string m_editText;
    std::shared_ptr<CQKTableElement> m_selectionElement; // the last GetSelectionElement made
};

class QK_API CQKWksPage : public CQKTablePage {
    friend struct QKFileAccess; // the project file's reader and writer
public:
    CQKWksPage(CQKProject* project, const std::string& name, QKPageType type = QK_PAGE_WKS);
    ~CQKWksPage() override;

    int GetNumCols() const override { return (int)m_columns.size(); }
    // 1-based column number; null when out of range.
    CQKDataset* GetColumn(int n) const;
    CQKDataset* FindColumn(const std::string& name) const;
    int GetColumnIndex(const CQKDataset* column) const; // 1-based, 0 when not here
    // Appends a column; an empty name takes the next free letter name (A .. Z, AA, ...).
    CQKDataset* AddColumn(const std::string& name = std::string());
    bool DeleteColumn(int n);
    bool RenameColumn(int n, const std::string& name);
    // Look-ups in the name index so far: adding a column costs a fixed number of them,
    // however wide the worksheet is.
    long long GetNameLookupCount() const { return m_nameLookups; }

    // An Excel workbook's page: the workbook file its window opens, and whether the
    // workbook is kept without a window of its own.
    const std::string& GetFileNameForLoading() const { return m_fileNameForLoading; }
    void SetFileNameForLoading(const std::string& path) { m_fileNameForLoading = path; }
    BOOL IsExternalHidden() const { return m_externalHidden; }
    void SetExternalHidden(BOOL hidden) { m_externalHidden = hidden; }

    bool m_labelsShown = false;

    // ---- the worksheet window: cells drawn and edited (WksDraw.cpp, WksEdit.cpp) -------
    // A cell as the window shows it: by the column's format and sub-format, with the
    // numeric separators of the options; "--" for a missing value, texts as they are.
    std::string FormatCell(int column, int row) const override;
    // Reads typed text by the column's format (the separators' decimal and group
    // characters; "--" or nothing for a missing value); a numeric, date or time column
    // refuses anything else.
    bool SetCellFromText(int column, int row, const std::string& text, std::string* why) override;
    // The rows the worksheet shows: the longest column's, at least 32.
    int GetNumRows() const override;
    // The rows that hold data: the longest column's (at least 1), what printing takes as
    // the whole worksheet.
    int GetNumDataRows() const;
    int GetColumnPixels(int column) const override;
    // The column's name with its designation, "A(X)"; its label under it when shown.
    std::string GetColumnHeading(int column) const override;
    std::string GetColumnLabel(int column) const override;
    int GetHeadingLines() const override { return m_labelsShown ? 2 : 1; }
    CellKind GetCellKind(int column, int row) const override;
    int GetFilledRows(int column) const override;
    int GetLastRow() const override { return QK_MAX_ROWS - 1; }
    // Inserts empty columns before the first selected one, or empty rows before the first
    // selected row (whole columns or rows selected); Delete removes them. false when no
    // whole column or row is selected.
    bool InsertSelected();
    bool DeleteSelected();
    // Whole columns lose their data.
    void ClearSelected() override;
    // Fills the selected columns (whole, or the selected rows of them) with row numbers
    // (36444), uniform random numbers in [0, 1) (36445) or normal random numbers (36446).
    bool FillSelected(int command);
    // The designation of the selected columns (38754 Y, 38755 disregard, 38756 Y error,
    // 38757 X, 38758 label, 38759 Z, 38760 X error); moving them (38769 first, 38770 last,
    // 38771 left, 38772 right). false without selected columns.
    bool SetSelectedColumnType(int command);
    bool MoveSelectedColumns(int command);
    // The worksheet commands the kernel carries out itself (insert, delete, clear, fill,
    // column designations and moves, Show Grid); false for any other command.
    BOOL OnWksCommands(int command);

    // ---- columns dragged onto graphs ---------------------------------------------------
    // Set while the program's own worksheet drags columns: an OLE drag whose data, in the
    // format GetQuorixWksDragDropClipboardFormat, is a block whose first pointer is the
    // worksheet page.
    static BOOL ms_bDraggingFromQrxWksInvoked;
    // Plots the source's selected columns (every column when none is selected) into the
    // graph's layer under the point (client coordinates of the graph's view), which
    // becomes the active layer, as the plot command `plotType` names (lines for a command
    // that names no kind). FALSE, with the reason in a message box, when nothing could be
    // plotted.
    static BOOL PlotDrop(CQKWksPage* source, CQKGraphPage* graph, POINT point, int plotType);

    // ---- printing (WksDraw.cpp) ------------------------------------------------------
    // The part to print: columns from 0 and rows from 0, each last one past the end.
    void SetPrintRange(int firstCol, int lastCol, int firstRow, int lastRow);
    void GetPrintRange(int& firstCol, int& lastCol, int& firstRow, int& lastRow) const;
    // Page set-up: margins in hundredths of a millimetre, and whether each printed page
    // has the worksheet's name over it and its number under it.
    void SetPageSetupMargin(int left, int top, int right, int bottom) { m_printMargin = {left, top, right, bottom}; }
    void GetPageSetupMargin(RECT& margin) const { margin = m_printMargin; }
    BOOL IsPrintHeader() const { return m_printHeader; }
    void SetPrinterHeader(BOOL on) { m_printHeader = on != FALSE; }
    BOOL IsPrintPageNumber() const { return m_printPageNumber; }
    void SetPrinterPageNumber(BOOL on) { m_printPageNumber = on != FALSE; }
    // Lays the print range out on pages of `area` (device units of a printer DC): as many
    // rows and columns as fit each page, the columns that do not fit on further pages.
    // The number of pages; 0 when nothing fits.
    int LayoutPrintPages(HDC dc, const RECT& area);
    // Draws printed page `page` (from 1) of the last layout into `area` of the DC, without
    // the selection; FALSE for a page the layout does not have.
    BOOL DrawPrintPage(HDC dc, const RECT& area, int page);
    // The table's rows that hold data (at least one, at most maxRows) as the window shows it
    // without the selection: its size in the DC's units, and drawn stretched into rect.
    SIZE GetTableSize(HDC dc, int maxRows);
    BOOL DrawTableScaled(HDC dc, const RECT& rect, int maxRows);
    // The header (the worksheet's name, at the top inside the margins) and the footer
    // ("Page n", centred at the bottom) that the switches ask for.
    BOOL DrawHeaderFooters(HDC dc, const QKPrintInfo& info) override;
    // Where they go on a printed page of `area`: one line each, empty when switched off.
    void GetHeaderFooterRects(HDC dc, const RECT& area, RECT& header, RECT& footer);
    // The layer contents dialog, where the user sets the columns' plot designations; the
    // plain page has none (the user interface's page has) and answers 0.
    virtual int LayerPlotContentsDialog(int* reserved) { return 0; }
    // The column format dialog on column n (1-based); the plain page has none and answers 0.
    virtual int ColumnFormatDialog(int column) { return 0; }

    // ---- a column's format, as the column format dialog edits it (WksEdit.cpp) -----------
    struct ColumnFormat {
        std::string name, label;
        int type = QK_COLTYPE_Y;       // QK_COLTYPE_*
        int format = QK_FORMAT_NUMERIC; // QK_FORMAT_*
        int subformat = 0;             // within the format's list (GetSubformatNames)
        int width = 8;                 // characters, 1 to 200
    };
    bool GetColumnFormat(int column, ColumnFormat* format) const;
    // Takes all of it or nothing: false with *why for a name that is not free or valid, a
    // designation, format or sub-format that does not exist, or a width outside 1 to 200.
    bool SetColumnFormat(int column, const ColumnFormat& format, std::string* why);
    // The sub-formats a format offers, in their order (one entry for text formats).
    static std::vector<std::string> GetSubformatNames(int format);

    // ---- sorting and filling from formulas (WksSort.cpp) ----------------------------------
    // Sorts rows by `count` keys, each "A: <column>" (ascending) or "D: <column>"
    // (descending), the first key first. Numbers come before texts (texts compare without
    // regard to case); missing values are the largest values when missingLargest is set,
    // else the smallest. Rows that compare equal keep their order. The rows moved are
    // those of the whole worksheet, or of the selected columns (the selected rows of
    // them, or all their rows; the active column without a selection). FALSE with *why
    // for a key that names no column or has no direction: nothing changes.
    BOOL SortColumns(int count, const char* const* keys, BOOL missingLargest, BOOL wholeWorksheet,
                     std::string* why = nullptr);
    // The rows a command on the selection works on, from 0 with `end` one past the last:
    // the selected rows of partly selected columns, else every row the longest of the
    // selected columns holds. False without a column.
    bool GetSelectedRowRange(int* column, int* first, int* end) const;
    // Fills rows first .. end - 1 of the column (from 1) with the formula evaluated at
    // each row: "i" is the row number (from 1), a column named without a row index (A,
    // col(B)) reads its value at that row. The formula becomes the column's. false with
    // *why (the interpreter's message) when the formula does not evaluate: nothing
    // changes.
    bool SetValuesFromExpression(int column, const std::string& formula, int first, int end, std::string* why);
    // A column's width in characters from the pixels it should take.
    bool SetColumnPixels(int column, int pixels) override;

    // ---- conversions into a new matrix (WksToMatrix.cpp) ----------------------------------
    // Each reads the selected block (whole columns: the rows they hold; the whole worksheet
    // when nothing or one cell is selected), makes a matrix window and answers it; null
    // with *why when nothing could be made (the worksheet stays as it is). Texts and
    // missing values read as missing.
    // Direct: the block's cells as they stand (X and Y the column and row numbers).
    CQKMatrixPage* ConvertToMatrixDirect(std::string* why);
    // Expand: each column's values cut into rows of `columns` cells, the columns one after
    // another, each starting a new row.
    CQKMatrixPage* ConvertToMatrixExpand(int columns, std::string* why);
    // Binned: the number of X-Y pairs in each of xBins x yBins bins spanning the data (the
    // first X column and the first Y column after it, else the first two columns); X and
    // Y of the matrix at the bins' centres.
    CQKMatrixPage* ConvertToMatrixBinned(int xBins, int yBins, std::string* why);
    // Regular: X-Y-Z rows on an evenly spaced grid (the first X, Y and Z columns, else the
    // first three), one cell a node; nodes without a row stay missing.
    CQKMatrixPage* ConvertToMatrixRegular(std::string* why);
    // Random: scattered X-Y-Z rows gridded on cols x rows nodes spanning them, each node
    // the inverse-distance-squared weighted mean of every Z.
    CQKMatrixPage* ConvertToMatrixRandom(int cols, int rows, std::string* why);

    // The worksheet's own script (saved with it), which its Worksheet Script dialog edits.
    std::string m_script;
    // Runs the script with the worksheet as the active window; false with the
    // interpreter's message in *why when it failed.
    bool RunScript(std::string* why);
    // The worksheet's script dialog; the plain page has none and answers 0.
    virtual int WorksheetScriptDialog() { return 0; }

    void DumpState(CQKStateDump& dump) const override;

protected:
    // Drags the selected columns of a worksheet (not a workbook's sheet) onto graphs.
    BOOL DragSelectedColumnsOut() override;

private:
    void GetConversionBlock(int* c1, int* c2, int* first, int* end) const;
    bool GetXYZColumns(int c1, int c2, int* x, int* y, int* z, std::string* why) const;
    bool GetXYZPoints(std::vector<double>* x, std::vector<double>* y, std::vector<double>* z,
                      std::string* why) const;
    std::string NextColumnName();
    void ForgetColumnName(const std::string& name);
    int m_printFirstCol = 0, m_printLastCol = -1, m_printFirstRow = 0, m_printLastRow = -1; // -1: to the end
    RECT m_printMargin = {2540, 2540, 2540, 2540};
    bool m_printHeader = false, m_printPageNumber = false;
    // The last print layout: column blocks (first, last past) and rows on each page.
    std::vector<std::pair<int, int>> m_printColumnBlocks;
    int m_printRowsPerPage = 0;
    std::string m_fileNameForLoading;
    BOOL m_externalHidden = FALSE;
    std::vector<std::unique_ptr<CQKDataset>> m_columns;
    // Columns by upper-cased name: names are unique regardless of case.
    std::unordered_map<std::string, CQKDataset*> m_columnsByName;
    // Letter names numbered A = 1 .. Z = 26, AA = 27, ...: every number below
    // m_nextLetter is in use or in m_freedLetters (which may also hold numbers taken again
    // since), so the lowest free name is found without walking the taken ones again.
    int m_nextLetter = 1;
    std::set<int> m_freedLetters;
    mutable long long m_nameLookups = 0;
};

class CQKGraphicLayer;

// What the page-level pages of Plot Details edit of a graph page.
struct QKGraphPageState {
    int viewMode = 0;         // index in the view-mode list
    unsigned displRedraw = 20; // percent of the page uncovered before it is redrawn
    bool speedModeForExport = false, displSetActive = false;
    int colorCntl = 0;        // background: 0 none, 1 one colour, 2 gradient
    int colorBase = 0, colorGradient = 0, colorGradientCntl = 0; // colour list indexes
    bool connectBreak = false, connectMiss = false, masterItems = true;
    bool legendFullName = false, legendAutoUpdate = true, legendActiveIndicate = false;
    int legendSymbolWidth = 100; // percent of the font
    int dimUnits = 0;         // index in the units list: inch, cm, mm, pixel
    double dimWidth = 10, dimHeight = 7.5;
    bool dimPrinter = false, customWidth = false, customHeight = false;
};

// A graph (or layout) page: its layers, in page order, which hold its axes, plots and
// texts. One layer is the active one, where scripts and plug-ins add plots.
// Edits of a graph page's selected labels and drawn objects. The alignments move the
// others to the first selected; Vertical puts their centres on one vertical line,
// Horizontal on one horizontal line. The arrow edits change the selected lines.
enum QKObjectEdit {
    QK_EDIT_LEFT, QK_EDIT_RIGHT, QK_EDIT_TOP, QK_EDIT_BOTTOM, QK_EDIT_VERTICAL, QK_EDIT_HORIZONTAL,
    QK_EDIT_WIDTH, QK_EDIT_HEIGHT, QK_EDIT_FRONT, QK_EDIT_BACK, QK_EDIT_ARROW, QK_EDIT_FONT_UP,
    QK_EDIT_FONT_DOWN, QK_EDIT_LINE_HORIZONTAL, QK_EDIT_LINE_VERTICAL, QK_EDIT_HEAD_NARROW,
    QK_EDIT_HEAD_WIDEN, QK_EDIT_HEAD_LENGTHEN, QK_EDIT_HEAD_SHORTEN,
    QK_EDIT_FRONT_DATA, QK_EDIT_BACK_DATA, // in front of the data again, behind the data
    QK_EDIT_GROUP, QK_EDIT_UNGROUP,        // the selection one object; its groups apart again
};

// Masking commands on the data of the active plot.
enum QKMaskCommand {
    QK_MASK_RANGE, QK_MASK_POINT, QK_MASK_COLOR, QK_MASK_HIDE, QK_MASK_SWAP, QK_MASK_ENABLE, QK_MASK_CLEAR,
};

// Editing the active plot's data points in a graph window.
enum QKPointEdit { QK_POINTS_NONE, QK_POINTS_MOVE, QK_POINTS_REMOVE };

// Options of CQKGraphPage::CreateEMFEx: the picture leaves out the page's paper, so what
// it is pasted on shows between the layers.
#define QK_EMF_NO_PAPER 0x90000
// The whole page whatever the copy-page margin control says (an exported page).
#define QK_EMF_WHOLE_PAGE 0x100000

class QK_API CQKGraphPage : public CQKPage {
    friend struct QKFileAccess; // the project file's reader and writer
public:
    CQKGraphPage(CQKProject* project, const std::string& name, QKPageType type = QK_PAGE_GRAPH);
    ~CQKGraphPage() override;

    // Appends a graphic layer named "Layer<n>" and answers it (the page owns it).
    // A triangle layer draws the fractions of X, Y and Z in a triangle (a ternary layer).
    CQKGraphicLayer* AddLayer(bool is3D = false, bool triangle = false);
    int GetNumLayers() const { return (int)m_graphicLayers.size(); }
    // With original 0 a new working copy of the layer that the caller owns and commits
    // with UpdateFromTemporary; otherwise the layer itself. Null out of range.
    CQKGraphicLayer* GetLayerByIndex(int index, int original) const;
    int GetLayerIndex(const CQKGraphicLayer* layer) const; // -1 when not on this page
    // Removes the layer (by index) and everything in it; false for the last layer.
    BOOL DeleteLayer(int index);
    // Commits what a dialog changed of the page itself and redraws it. Recorded.
    void UpdateFromTemporary();

    // The page-level settings (Get/Set pairs over QKGraphPageState).
    const QKGraphPageState& GetPageState() const { return m_pageState; }
    int GetViewMode() const override { return m_pageState.viewMode; }
    // The base colour of a coloured or gradient background, else white.
    COLORREF GetBackgroundColorRef(int kind) const override;
    void SetViewMode(int mode, int reserved) override;
    unsigned GetDisplRedraw() const { return m_pageState.displRedraw; }
    void SetDisplRedraw(unsigned percent) { m_pageState.displRedraw = percent; }
    BOOL IsUseSpeedModeForExport() const { return m_pageState.speedModeForExport; }
    void SetUseSpeedModeForExport(BOOL on) { m_pageState.speedModeForExport = on != FALSE; }
    BOOL IsDisplSetActive() const { return m_pageState.displSetActive; }
    void SetDisplSetActive(BOOL on) { m_pageState.displSetActive = on != FALSE; }
    int GetColorColorCntl() const { return m_pageState.colorCntl; }
    void SetColorColorCntl(int cntl) { m_pageState.colorCntl = cntl; }
    int GetColorBase() const { return m_pageState.colorBase; }
    void SetColorBase(int color) { m_pageState.colorBase = color; }
    int GetColorGradient() const { return m_pageState.colorGradient; }
    void SetColorGradient(int color) { m_pageState.colorGradient = color; }
    int GetColorGradientCntl() const { return m_pageState.colorGradientCntl; }
    void SetColorGradientCntl(int direction) { m_pageState.colorGradientCntl = direction; }
    // A background of one colour has no gradient direction.
    void SetBaseColorCntl() { m_pageState.colorGradientCntl = 0; }
    BOOL IsDisplConnectBreak() const { return m_pageState.connectBreak; }
    void SetDisplConnectBreak(BOOL on) { m_pageState.connectBreak = on != FALSE; }
    BOOL IsDisplConnectMiss() const { return m_pageState.connectMiss; }
    void SetDisplConnectMiss(BOOL on) { m_pageState.connectMiss = on != FALSE; }
    BOOL IsShowMasterItemsEnabled() const { return m_pageState.masterItems; }
    void SetShowMasterItemsEnabled(BOOL on) { m_pageState.masterItems = on != FALSE; }
    BOOL IsLegendFullName() const { return m_pageState.legendFullName; }
    void SetLegendFullName(BOOL on, int reserved) { m_pageState.legendFullName = on != FALSE; }
    BOOL IsLegendAutoUpdate() const { return m_pageState.legendAutoUpdate; }
    void SetLegendAutoUpdate(BOOL on) { m_pageState.legendAutoUpdate = on != FALSE; }
    BOOL IsLegendActivIndicate() const { return m_pageState.legendActiveIndicate; }
    void SetLegendActivIndicate(BOOL on, int reserved) { m_pageState.legendActiveIndicate = on != FALSE; }
    int GetLegendSymbWidth() const { return m_pageState.legendSymbolWidth; }
    void SetLegendSymbWidth(int percent, int reserved) { m_pageState.legendSymbolWidth = percent; }
    int GetDimUnits() const { return m_pageState.dimUnits; }
    void SetDimUnits(int units) { m_pageState.dimUnits = units; }
    double GetDimWidth() const { return m_pageState.dimWidth; }
    void SetDimWidth(double width) { m_pageState.dimWidth = width; }
    double GetDimHeight() const { return m_pageState.dimHeight; }
    void SetDimHeight(double height) { m_pageState.dimHeight = height; }
    BOOL IsDimPrinter() const { return m_pageState.dimPrinter; }
    void SetDimPrinter(BOOL on) { m_pageState.dimPrinter = on != FALSE; }
    // 0 the width, 1 the height: whether the page keeps its own size when printed.
    BOOL IsCustomSize(int which) const { return which ? m_pageState.customHeight : m_pageState.customWidth; }
    void SetCustomSize(BOOL custom, int which) { (which ? m_pageState.customHeight : m_pageState.customWidth) = custom != FALSE; }
    // Converts the page's width and height (record[0] and record[1]) from its units (or
    // fromUnits, when not -1) to the units of list index `units`: inch, cm, mm, pixel (96
    // an inch).
    void ConvertDimensions(int units, double record[4], int fromUnits = -1) const;

    // Plot Details on the page, a layer or a plot; the plain page has no dialog (the user
    // interface's page has), so it records the request and answers 0. Type 0 the page,
    // 1 a layer (option 1: on its link page), 2 a plot (option 1: a function plot on its
    // function page).
    virtual int PlotDetailsDialog(CQKBase* obj, int type, DWORD option);

    // The kernel saved or opened the page under path (a window file, or the project file
    // holding it): the window's document registers the graph as running under it, so
    // that links to it find it. The plain page has no document and answers 0.
    virtual int RegisterGraphAsRunning(const char* path) { return 0; }
    // Before the page's window closes: an embedded graph's document updates its container.
    // The plain page has nothing to tell and answers 1.
    virtual int OnBeforeCloseWnd(DWORD reserved) { return 1; }
    int CloseWnd() override
    {
        OnBeforeCloseWnd(0);
        return CQKPage::CloseWnd();
    }
    // The index of the layer a drop at the point goes into: the top layer whose frame holds
    // the point (client coordinates of the page's view), else the active layer.
    int FindLayerIndexFromPointForDragDrop(POINT point) const;

    // The layer scripts and plug-ins work on; null while the page has no layer.
    CQKGraphicLayer* GetActiveLayer() const { return GetLayerByIndex(m_activeLayer, 1); }
    int GetActiveLayerIndex() const { return m_activeLayer; }
    // false for an index out of range.
    bool SetActiveLayerIndex(int index);

    void DumpState(CQKStateDump& dump) const override;

    // ---- drawing (the page is 10 x 7.5 inches unless its dimensions say otherwise) -----
    // Paper, then each layer in page order: background, grids, plots, axes, texts.
    BOOL Draw(HDC dc, const RECT& rect) override;
    // Page and print-preview modes fit the page into the client area at the zoom; window
    // and draft modes fill the client area.
    BOOL SetDrawRect(const RECT& client) override;
    BOOL PrepareDCForPrinting(HDC dc, QKPrintInfo& info) override;
    void DrawScreenItems(HDC dc) override;
    CQKGrElement* FindGrElement(int x, int y) override;
    // The row of the plot's point drawn nearest to (x, y), within 4 pixels, in the page's
    // last drawing; -1 when there is none.
    int FindDataPointRow(int x, int y, const CQKPlotObj* plot);
    // A left click selects the element under it (the current point); a double click
    // selects it too and is left to the view, which opens the element's dialog.
    BOOL WindowProc(HWND view, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    // Escape drops the selection.
    int OnKeyDown(UINT key, UINT repeat, UINT flags) override;
    // A plot dragged from a layer of this or another graph and dropped at a point of this
    // page's view moves, with the error bars that follow it, to the top layer whose frame
    // holds the point, when that is another layer of the same kind (2D, 3D or ternary);
    // with `test` only whether it would. It keeps its look (an automatic colour becomes
    // the colour it showed) and leaves its group; both layers rescale as their axes' modes
    // say and their legends follow. False, and nothing moved, for a drop on the plot's own
    // layer or outside every frame.
    bool DropPlot(CQKPlotObj* plot, POINT point, bool test);
    CQKGrElement* GetStoredGrElement() const override;
    void SetStoredGrElement(CQKGrElement* element) override;
    double GetZoom() const override { return m_zoom; }
    // Zooming in and out doubles and halves the zoom (1/8 to 64); the whole page is 1.
    void ViewZoomIn() override;
    void ViewZoomOut() override;
    void ViewFullPage() override;
    void CursorZoom(int zoomIn) override;
    // Show > Frame (33092): the active layer's frame is drawn; Stack Data (36121): the
    // active layer stacks its grouped plots; Exchange Axes (36122): it exchanges its axes.
    BOOL CheckViewShowCommand(int id) const override;
    // The page's size in inches (its dimension settings converted).
    void GetPageSizeInches(double& width, double& height) const;

    // ---- pictures of the page for the clipboard and OLE (PagePicture.cpp) --------------
    // The picture's size in HIMETRIC (0.01 mm): the page at the copy-page ratio.
    void GetPageSize(SIZE& size) const override;
    // An enhanced metafile of the part of the page the copy-page margin control chooses, at
    // `reference`'s resolution (the screen's when null), framed at that part's size; or null.
    HENHMETAFILE CopyPageEnhancedMetafile(HDC reference);
    // The same with options (QK_EMF_...); 0 gives CopyPageEnhancedMetafile's picture.
    HENHMETAFILE CreateEMFEx(HDC reference, DWORD options);
    // A Windows metafile of the page for a metafile picture in the anisotropic mapping
    // mode; `extent` receives its size in HIMETRIC. Null when none could be made.
    HMETAFILE OrdinaryMF(HDC reference, SIZE& extent);
    // Whether OrdinaryMF serves the page's Windows metafile: when no enhanced metafile
    // goes to the clipboard (qkfxIsPutEMFOnClipboard), none need be kept beside it.
    BOOL IsSimpleCopyExport() const;
    // Whether the page can be copied as a picture; with bMessage the reason goes to the
    // output when it cannot (a page without layers).
    BOOL CheckCopyExportSupport(int bMessage) const;

    // ---- editing the page's labels and drawn objects ----------------------------------
    // The toolbox tools (the kernel's checked tool numbers) the page works with: 0 the
    // pointer, 1 zoom, 2 text, 5 data selector, 6 arrow, 7 line, 8 rectangle, 9 ellipse;
    // a layout page has no zoom and no data selector.
    virtual BOOL IsToolboxToolAvailable(int tool) const;
    // The selected labels and drawn objects; the first one selected leads (the others
    // align to it). Shift+click adds an object to the selection or drops it.
    std::vector<CQKGrObj*> GetSelectedObjects() const;
    void SelectGrObject(CQKGrObj* object, bool add);
    // An edit of the selection (QK_EDIT_...); false with the reason in *error. Every edit
    // that succeeds can be undone.
    bool EditSelected(int edit, std::string* error);
    // Whether the edit or masking command has what it needs: the menus grey it otherwise.
    bool CanEdit(int edit) const;
    bool CanMask(int command) const;
    // Moves the selected objects by a fraction of the page's width and height.
    bool MoveSelected(double dx, double dy);
    // The selected objects to the clipboard (the program's own format and their texts as
    // plain text); pasting makes copies in the active layer, a little below and to the
    // right, or a label from plain text.
    bool CopySelected(HWND owner, std::string* error);
    bool PasteObjects(HWND owner, std::string* error);
    bool CanPaste() const;
    bool DeleteSelected();
    // One step back: the page's labels, drawn objects and masks as they were before the
    // last edit.
    bool CanUndo() const { return !m_undo.empty(); }
    bool Undo();
    // Layers came or went, or the legend changed with the plots: the step would restore
    // what no longer fits.
    void ForgetUndo() { m_undo.clear(); }
    // The label the text tool made, which the view opens for typing; answered once.
    CQKTextObj* TakeNewText();
    // The rows the data selector chose: the dataset drawn by the active plot, rows first
    // to last; false when none are chosen.
    bool GetSelectedRange(INT_PTR& dataset, int& first, int& last) const;
    bool SelectRange(POINT from, POINT to);
    // A masking command (QK_MASK_...) on the active plot's data; false with the reason.
    bool MaskCommand(int command, std::string* error);
    // Editing the active plot's data in the window (QK_POINTS_...): from now on a pointer
    // drag from a point moves it (its X and Y cells take the values where it is dropped),
    // or a click on a point makes its Y cell missing, until Escape or another tool. False,
    // with the reason, when the active layer has no plot of X and Y data.
    bool StartPointEdit(int mode, std::string* error);
    int GetPointEdit() const { return m_pointEdit; }
    // The same edits at device points of the last screen drawing; each can be undone.
    bool RemovePointAt(POINT at, std::string* error);
    bool MovePoint(POINT from, POINT to, std::string* error);
    // A new legend in the active layer, one line a plot, in place of the one it has
    // (also while the page does not keep its legends up to date); false when the layer
    // plots nothing. Can be undone.
    bool NewLegend(std::string* error);
    // A label in the active layer with the date and time now ("m/d/yyyy hh:mm"), at the
    // automatic place of a label; false, with the reason, when the page has no layer.
    bool NewDateTimeLabel(std::string* error);
    // A colour scale (a drawn object of kind QK_DRAW_COLORSCALE) right of the active layer's
    // frame, selected; false, with the reason, when the layer has no colour-mapped plot.
    // Can be undone.
    bool NewColorScale(std::string* error);
    // Portrait becomes landscape and back: the page's width and height change places.
    void RotatePage();

    // ---- placing layers (GraphLayers.cpp); each false with the reason in *error -------
    // The active layer fills the page (leaving room for its axes' labels); a second time,
    // while it is still where the first put it, it goes back where it was.
    bool MaximizeLayer(std::string* error);
    // Every layer into a grid of about as many columns as rows, in page order, row by row.
    bool ArrangeLayers(std::string* error);
    // Whether a layer's frame lies partly outside the page.
    BOOL CanFitPageToLayers() const;
    // The page grows until it holds every layer with room for its labels; the layers keep
    // their places to each other.
    bool FitPageToLayers(std::string* error);
    // Each plot of the active layer after its first (with the error bars that follow it)
    // moves into a new layer with the active layer's settings; then the layers are
    // arranged.
    bool ExtractPlotsToLayers(std::string* error);
    // Each layer after the first moves into a new graph of its own, which `made` gets.
    bool ExtractLayersToGraphs(std::vector<CQKGraphPage*>* made, std::string* error);
    // The layers of every other graph of the project move into this page, which arranges
    // them; the other graphs (empty now) are deleted.
    bool MergeGraphs(std::string* error);

private:
    // The page's labels and drawn objects and the masks of the datasets it draws, as one
    // edit found them.
    struct UndoObject {
        int layer;
        int id;
        std::shared_ptr<CQKGrObj> object;
    };
    struct UndoMask {
        INT_PTR dataset;
        std::set<int> rows;
        bool on, hidden;
        int color;
    };
    struct UndoCell {
        INT_PTR dataset;
        int row;
        double value;
    };
    struct UndoStep {
        std::vector<UndoObject> objects;
        std::vector<UndoMask> masks;
        std::vector<UndoCell> cells; // data cells a point edit changed
    };
    // The row of the active plot's point nearest to a device point, within `reach`
    // pixels; -1 when none is (or the page was never drawn).
    int PointNear(POINT at, double reach) const;
    int m_pointEdit = 0;
    // How far from a data point a click still picks it; the tracking of a point's drag.
    static constexpr double kPointReachPixels = 8;
    static constexpr int kTrackPointMove = 100;
    UndoStep Snapshot() const;
    std::vector<UndoStep> m_undo; // at most one step
    CQKPlotObj* ActivePlot() const;
    RECT PageRectForEdits() const;
    bool FinishTracking(POINT to);
    // Where a selected element lives: layer index and either an object id (id > 0) or
    // an axis part (dimension, part); layer -1 when nothing is selected.
    struct ElementPlace {
        int layer = -1;
        int id = 0;
        int dimension = 0, part = 0;
    };
    CQKGrElement* Resolve(const ElementPlace& place) const;
    ElementPlace m_selected;
    std::vector<ElementPlace> m_multi; // two or more selected objects, the leader first
    ElementPlace m_newText;
    bool m_tracking = false;
    int m_trackTool = 0;
    // A plot pressed with the pointer: moved far enough with the button down, it is dragged.
    ElementPlace m_plotPress;
    POINT m_plotPressAt = {0, 0};
    POINT m_trackFrom = {0, 0}, m_trackTo = {0, 0};
    INT_PTR m_rangeDataset = 0;
    int m_rangeFirst = -1, m_rangeLast = -1;
    double m_zoom = 1;
    RECT m_lastDrawn = {0, 0, 0, 0}; // the rectangle of the last screen drawing
    POINT m_zoomCentre = {0, 0};
    std::vector<std::unique_ptr<CQKGraphicLayer>> m_graphicLayers;
    int m_activeLayer = 0;
    QKGraphPageState m_pageState;
};

// A matrix: rows x columns of numbers over an evenly spaced X (along the columns) and Y
// (along the rows). Its window is a table whose headings are the column and row numbers.
class QK_API CQKMatrixPage : public CQKTablePage {
    friend struct QKFileAccess; // the project file's reader and writer
public:
    CQKMatrixPage(CQKProject* project, const std::string& name);

    int GetRows() const { return m_rows; }
    int GetCols() const { return m_cols; }
    // Keeps the cells that stay inside; new cells are missing. false for sizes below 1 or
    // beyond QK_MAX_ROWS cells.
    bool SetDimensions(int rows, int cols);
    // 1-based row and column; MISSING_VALUE outside.
    double GetCell(int row, int col) const;
    bool SetCell(int row, int col, double value);

    // X runs along the columns, Y along the rows.
    double m_x1 = 1, m_x2 = 10, m_y1 = 1, m_y2 = 10;

    // How the cells are shown: the data format (0 decimal, 1 scientific, 2 engineering,
    // 3 decimal with digit groups), the numeric display (0 the options' digits, 1 decimal
    // places, 2 significant digits) with its digit count, the column width in characters,
    // and the internal type the values are kept as (0 double, 1 float, 2 short, 3 long).
    int m_dataFormat = 0, m_numDisplay = 0, m_digits = 0, m_columnWidth = 8, m_internalType = 0;

    // The matrix's commands: transposed; inverted (false, nothing changed, when it is not
    // square or is singular); every cell made a block of factor x factor cells; every
    // block of factor x factor cells made one cell of their mean (false when the matrix
    // is smaller than the factor).
    bool Transpose();
    bool Invert(std::string* why);
    bool Expand(int columnFactor, int rowFactor);
    bool Shrink(int columnFactor, int rowFactor);
    // Every cell made the mean of the cells of the size x size block centred on it that
    // hold a value (fewer at the edges); a missing cell stays missing. false with *why,
    // nothing changed, unless size is odd and from 3 to 99.
    bool Smooth(int size, std::string* why);
    // The volume under the cells over the matrix's X and Y span, by the trapezoid rule in
    // both directions (the cells are the values at evenly spaced X and Y, the first and
    // last at X1, X2 and Y1, Y2). false with *why when the matrix has fewer than two rows
    // or columns, or a missing cell.
    bool Integrate(double* volume, std::string* why) const;
    // A new worksheet (a window for it asked of the user interface) with the matrix's
    // columns as its columns (xyz false), or with three columns X, Y and Z holding every
    // cell's coordinates and value, row by row (xyz true); null when none could be made.
    CQKWksPage* ConvertToWorksheet(bool xyz);
    // The formula the matrix's values were last set from, in i (row), j (column), x and y.
    std::string m_expression;
    // Rows r1 + 1 .. r2 and columns c1 + 1 .. c2 (1-based) take the formula's values;
    // false with *why, nothing changed, when the block lies outside or the formula does
    // not evaluate.
    bool SetValuesFromExpression(int r1, int r2, int c1, int c2, const std::string& formula, std::string* why);

    // The matrix's dialogs, which the user interface's page shows when a script asks
    // (matrix -e): 1 when done or cancelled, 0 when a value was refused. The kernel's own
    // page has no dialogs: it records the request and answers 0.
    virtual int OnEditProperties(int reserved);
    virtual int OnEditDimensions();
    virtual int EditMatrixValues();

    // ---- the matrix window (MatrixPage.cpp): a table of the cells -----------------------
    int GetNumCols() const override { return m_cols; }
    int GetNumRows() const override { return m_rows; }
    int GetColumnPixels(int column) const override;
    std::string GetColumnHeading(int column) const override;
    CellKind GetCellKind(int column, int row) const override;
    int GetFilledRows(int column) const override { return m_rows; }
    int GetLastRow() const override { return m_rows - 1; }
    std::string FormatCell(int column, int row) const override;
    bool SetCellFromText(int column, int row, const std::string& text, std::string* why) override;
    void ClearSelected() override;

    void DumpState(CQKStateDump& dump) const override;

private:
    // A value as the internal type keeps it.
    double Stored(double value) const;
    int m_rows = 32, m_cols = 32;
    std::vector<double> m_cells;
};

class QK_API CQKNotesPage : public CQKPage {
public:
    CQKNotesPage(CQKProject* project, const std::string& name);
    std::string m_text;
    // When the notes were made and last changed (the kernel's date seconds), the
    // selection in their window (character positions) and whether lines wrap at the
    // window's edge.
    double m_created = 0, m_modified = 0;
    int m_selStart = 0, m_selEnd = 0;
    bool m_wordWrap = false;

    void DumpState(CQKStateDump& dump) const override;
};

// The project and its page manager.
class QK_API CQKProject {
    friend struct QKFileAccess; // the project file's reader and writer
public:
    CQKProject();
    ~CQKProject();

    // Closes every page and dataset: an empty, unmodified project.
    void New();

    // A new page of a kind; an empty name takes the kind's stem and the lowest free number
    // ("Data1", "Graph1", "Matrix1", "Layout1", "Notes1", "Book1"). Null when the name is
    // not valid or taken. The new page becomes the active one.
    CQKPage* CreatePage(QKPageType type, const std::string& name = std::string());
    // The name CreatePage gives a new page of the kind.
    std::string GetNewPageName(QKPageType type) const;
    // Pages of a kind that the user interface makes (a subclass that calls back into it):
    // CreatePage asks the factory for them; null gives the kernel's own page again.
    typedef CQKPage* (*QKPageFactory)(CQKProject* project, const std::string& name);
    void SetPageFactory(QKPageType type, QKPageFactory factory);
    CQKPage* FindPage(const std::string& name) const;
    bool DeletePage(const std::string& name);
    int GetNumPages() const { return (int)m_pages.size(); }
    CQKPage* GetPage(int i) const { return m_pages[i].get(); }
    CQKPage* GetActivePage() const;
    void SetActivePage(CQKPage* page);
    CQKWksPage* GetActiveWks() const;     // the active page when it is a worksheet
    // The worksheet that was the active page last (it may be now); null when none was
    // or it is gone.
    CQKWksPage* GetLastActiveWks() const;
    CQKGraphPage* GetActiveGraph() const; // the active page when it is a graph
    CQKMatrixPage* GetActiveMatrix() const;
    bool IsNameInUse(const std::string& name) const;
    // Window and column names: a letter, then letters, digits and underscores.
    static bool IsValidName(const std::string& name);
    // Free datasets may also hold points, as result curves do ("Data1_B.FIT").
    static bool IsValidDatasetName(const std::string& name);

    // Set by every change of the project's data (cells, columns, pages, names, matrices,
    // datasets); cleared by New and by the application once a project is read or saved.
    bool IsModified() const { return m_modified; }
    void SetProjectModified(bool modified) { m_modified = modified; }
    // Asked before the project closes with all its windows: a modified project asks the
    // user whether to save it (Yes, No, Cancel). 1 to go on (not modified, No, or Yes and
    // the project was saved), 0 to keep the project open (Cancel, or a save that did not
    // happen: the user cancelled the file name, or the file could not be written).
    int OnClosingQuery();

    // The file the project was last read from or saved to; "" for a new project.
    const std::string& GetProjectPath() const { return m_path; }
    void SetProjectPath(const std::string& path) { m_path = path; }
    // The Results Log's text: what scripts print, kept with the project. New empties it.
    // The application's log window, which adds headers and lets the user clear entries,
    // sets it to its own text after every change, so the file keeps what the user sees.
    const std::string& GetResultsLog() const { return m_resultsLog; }
    void AppendResultsLog(const std::string& text) { m_resultsLog += text; }
    void SetResultsLog(const std::string& text) { m_resultsLog = text; }

    // Where the next page window goes, when the kernel knows (a window of a project being
    // read, or a script that places it): used by the next GetWinCreateInfo only.
    void SetWinCreateInfo(const RECT& rect, BOOL minimized);
    // Fills the creation structure of a new page window with the pending placement and
    // answers TRUE; FALSE (the structure as it was) when there is none.
    BOOL GetWinCreateInfo(CREATESTRUCTA& cs);

    // ---- the project explorer's folders (QKExplorer.h) ----
    // The root is the project itself; named after the project file, "UNTITLED" before it
    // has one.
    CQKFolder* GetRootFolder() const { return m_root.get(); }
    std::string GetRootName() const;
    // New pages go into the current folder.
    CQKFolder* GetCurrentFolder() const { return m_currentFolder; }
    void SetCurrentFolder(CQKFolder* folder);
    // A new subfolder of `parent`; an empty name takes "Folder1", "Folder2", ... Null with
    // the reason in *error when the name is not a folder name or a sibling has it.
    CQKFolder* CreateFolder(CQKFolder* parent, const std::string& name, std::string* error = nullptr);
    bool RenameFolder(CQKFolder* folder, const std::string& name, std::string* error = nullptr);
    // Deletes a folder that holds no window and no folder any more (the root never).
    bool DeleteFolder(CQKFolder* folder);
    // Moves a folder under another that does not lie below it.
    bool MoveFolder(CQKFolder* folder, CQKFolder* parent);
    bool MovePageToFolder(CQKPage* page, CQKFolder* folder);
    // The folder of a path "/A/B/" (the root for "/"), names regardless of case; null
    // when there is none.
    CQKFolder* FindFolderByPath(const std::string& path) const;
    // The pages of a folder (and below it, with `below`) in the project's order.
    std::vector<CQKPage*> GetPagesInFolder(const CQKFolder* folder, bool below) const;
    // The page goes last in the project's order.
    void MovePageToLast(CQKPage* page);
    // Whether a text is a folder name: not empty, at most 64 characters, none of / \ " : *
    // ? < > | and no control character.
    static bool IsValidFolderName(const std::string& name, std::string* error = nullptr);

    // A free dataset of `size` missing values; null when the name is taken or not valid.
    CQKDataset* CreateDataset(const std::string& name, int size);
    // Looks up worksheet columns ("Data1_A") and free datasets, case-insensitively.
    CQKDataset* FindDataset(const std::string& name) const;
    // Deletes a free dataset, or the worksheet column so named.
    bool DeleteDataset(const std::string& name);
    CQKDataset* GetDatasetFromHandle(INT_PTR handle) const;
    CQKPage* GetPageFromHandle(INT_PTR handle) const;
    // Every dataset: worksheet columns in page and column order, then free datasets.
    std::vector<CQKDataset*> GetAllDatasets() const;

    // The whole tree as text: the project, every page with its nodes, the free datasets.
    void DumpState(CQKStateDump& dump) const;

    // Named blocks of the 3D library (the colour map "ZCOLORS", its older form "3DCOLOR"),
    // kept with the project; names regardless of case. Create makes the block anew,
    // zero-filled; null beyond QK_MAX_NAMED_BLOCK bytes. An address stays valid until its
    // block is made anew or deleted, or the project closes.
    void* CreateNamedBlock(const std::string& name, size_t size);
    void* GetNamedBlock(const std::string& name, size_t* size = nullptr) const;
    bool DeleteNamedBlock(const std::string& name);
    std::vector<std::string> GetNamedBlockNames() const;

private:
    friend class CQKDataset;
    friend class CQKPage;
    INT_PTR NewHandle() { return ++m_lastHandle; }
    // A page object of the kind, in no project list yet (the user interface's class when
    // it makes one); null when none could be made.
    CQKPage* MakePage(QKPageType type, const std::string& name);
    // Handles start high, so that a small number a plug-in passes by mistake is no handle.
    void ForgetDataset(INT_PTR handle);
    // New without the message to the application's log, which may be gone by the time the
    // project is destroyed.
    void Clear();

    void ResetFolders();

    std::vector<std::unique_ptr<CQKPage>> m_pages;
    std::vector<std::unique_ptr<CQKDataset>> m_datasets;
    std::unique_ptr<CQKFolder> m_root;
    CQKFolder* m_currentFolder = nullptr;
    std::map<INT_PTR, CQKDataset*> m_datasetHandles;
    std::map<int, QKPageFactory> m_pageFactories;
    std::map<std::string, std::vector<BYTE>> m_namedBlocks; // by upper-cased name
    INT_PTR m_activePage = 0;
    INT_PTR m_lastActiveWks = 0;
    std::string m_path;
    std::string m_resultsLog;
    INT_PTR m_lastHandle = 0x10000;
    bool m_modified = false;
    bool m_hasCreateInfo = false;
    RECT m_createRect = {};
    BOOL m_createMinimized = FALSE;
    // The last dataset found by handle: a fit writes one dataset row by row.
    mutable INT_PTR m_foundHandle = 0;
    mutable CQKDataset* m_foundDataset = nullptr;
};

QK_API CQKProject& qkfxGetProject();

// The project's state dump (CQKProject::DumpState), for tests and file round trips.
QK_API std::string qkfxDumpProject();

// A dataset's attributes and values as lines of the state dump.
QK_API void qkDumpDataset(CQKStateDump& dump, const CQKDataset& dataset);
