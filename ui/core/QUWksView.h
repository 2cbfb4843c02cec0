// The worksheet window: its document and view. The kernel's worksheet page draws the
// cells and takes the mouse and keys; the view hands it the window's device contexts and
// messages, and runs the worksheet commands: the kernel's own first, then the command's
// script (groups "WKS" and "WKSANALY").
#pragma once

#include <afxwin.h>

#include "QuorixDoc.h"
#include "QuorixView.h"

class CQKTablePage;
class CQKWksPage;
class CQUWksPage;
class CQUWksView;

class QU_API CQUWksDoc : public CQuorixDoc {
    DECLARE_DYNCREATE(CQUWksDoc)
public:
    int get_desired_page_type() override { return 0; }
    COleServerItem* OnGetEmbeddedItem() override;
    CQKWksPage* GetWksPage() const;
    CQUWksPage* GetValidWksPage() const;
    CQUWksView* get_first_QU_view() const;
};

class QU_API CQUWksView : public CQuorixView {
    DECLARE_DYNCREATE(CQUWksView)
public:
    CQKWksPage* GetWksPage();
    CQUWksPage* GetValidWksPage();
    // The page as a table of cells (a worksheet's or a matrix's), which draws and edits.
    virtual CQKTablePage* GetTablePage();
    // Fills the selected columns with row numbers (36444), uniform (36445) or normal
    // (36446) random numbers; 0 when there was nothing to fill.
    int FillValuesFromID(int id);
    // Sorts by the first selected column (or the first column): the selected columns'
    // rows, or the whole worksheet's.
    void OnWksSort(BOOL bAscending, BOOL bWholeWorksheet);
    // Nested Sort for the selected columns or the whole worksheet.
    void OnWksSortCustom(BOOL bWholeWorksheet);
    // Set Column Values for the first selected column (or the active one).
    void SetColValues();
    // The worksheet's context menu (570): the submenu of what is selected.
    int GetContextMenuID(int* position) override { return 570; }
    // The submenu for a right click on what the page's hit test found (0 outside the
    // table, 1 a cell, 2 a heading, 3 a row number, 4 the corner), after the click selected:
    // the position the page's element for it answers; -1 without a table.
    virtual int GetSelectionMenuPosition(int hitKind);
    // The heading and block submenus get a copy of the main menu's Plot submenu in place
    // of their first item.
    int ModifyContextMenu(HMENU submenu, UINT menuId, int position);

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void OnDraw(CDC* pDC) override;

    // Printing: the worksheet print dialog with the selection and the whole worksheet as
    // its ranges, the range chosen laid out on pages, and the page set-up's margins,
    // header and page numbers kept on the page.
    int OnPrepareDialog(CPrintInfo* pInfo) override;
    int SetPrintRange(CPrintInfo* pInfo) override;
    int PageSetupDialog(PRINTDLGA& printData, PAGESETUPDLGA& out) override;
    void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo) override;
    // The flags of the page set-up dialog by the measurement system: thousandths of an
    // inch where it is the US one, else hundredths of a millimetre. 1 for inches.
    int GetPageSetupFlags(unsigned long& flags);

protected:
    // Draws the page into a bitmap and copies it to the window at once.
    void DrawThroughBitmap(CQKTablePage* page, HDC target, const CRect& client);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
    afx_msg BOOL OnWksInternals(UINT nID);
    afx_msg BOOL OnWksAnalysis(UINT nID);
    afx_msg BOOL OnColumnType(UINT nID);
    afx_msg BOOL OnColumnMove(UINT nID);
    afx_msg void OnShowGrid();
    afx_msg void OnUpdateWksInternals(CCmdUI* pCmdUI);
    afx_msg void OnUpdateWksAnalysis(CCmdUI* pCmdUI);
    afx_msg void OnUpdateColumnCommand(CCmdUI* pCmdUI);
    afx_msg void OnUpdateShowGrid(CCmdUI* pCmdUI);
    DECLARE_MESSAGE_MAP()
};
