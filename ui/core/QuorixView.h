// The view of every page window.
//
// The view is a thin window over its document's kernel page: it tells its frame which
// page it shows, makes the page the active one when the window is activated, and runs
// most menu commands as script text through the bridge, taken from the command's string
// resource. The kind-specific views add their context menus and printing.
#pragma once

#include <afxwin.h>

#include "ChildFrame.h"
#include "QUExport.h"

class COleClientItem;
class CQKGrElement;
class CQKGraphicLayer;
class CQKLayer;
class CQKPage;
class CQuorixDoc;

class QU_API CQuorixView : public CView, public IQUPageView {
    DECLARE_DYNCREATE(CQuorixView)
public:
    CQuorixView();

    // The registered window class of the page views.
    static LPCTSTR GetWindowClassName() { return "qfxViewClass"; }

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    // Every message but WM_KEYDOWN is offered to the page first.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr) override;
    // The page draws itself: into the print rectangle on a printer, else into its drawing
    // rectangle with what only the screen shows over it.
    void OnDraw(CDC* pDC) override;
    void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView) override;
    // Whether the object is the view's selected container item.
    BOOL IsSelected(const CObject* pDocItem) const override;
    // The framework's, then no container item is selected.
    void OnInitialUpdate() override;
    // The selected container item (the document's first when none is) drawn into its
    // place with its own aspect.
    virtual void draw_container_items(CDC* pDC);
    // The container item the view has active in place or inserted last, or null.
    COleClientItem* GetSelectedItem() const { return m_pSelection; }
    BOOL OnPreparePrinting(CPrintInfo* pInfo) override;
    // The page placed on the printable area, with its headers and footers and with crop
    // marks when the page shows them; the print preview draws its pages the same way.
    void OnPrint(CDC* pDC, CPrintInfo* pInfo) override;
    // The framework's, then the main window's Close command is offered again.
    void OnEndPrintPreview(CDC* pDC, CPrintInfo* pInfo, POINT point, CPreviewView* pView) override;
    // After the preview has opened (nothing here).
    virtual void OnPrintPreviewOpen() {}
    // The kinds' printing hooks. OnPrepareDialog puts the kind's own print dialog into
    // the print information (1 here: the framework's); SetPrintRange takes the dialog's
    // choices after it was confirmed (0 here); UpdateToNextPage moves the page to the start
    // of the page about to print (0 here: one page).
    virtual int OnPrepareDialog(CPrintInfo* pInfo) { return 1; }
    virtual int SetPrintRange(CPrintInfo* pInfo) { return 0; }
    virtual int UpdateToNextPage(CDC* pDC, CPrintInfo* pInfo) { return 0; }
    // The kind's page set-up dialog over the printer of `printData`: 1 confirmed (with
    // `out` filled), 2 cancelled, -1 when the kind has none.
    virtual int PageSetupDialog(PRINTDLGA& printData, PAGESETUPDLGA& out) { return -1; }
    // The page printed as page `n` (from 1) of the job: the window's own page here.
    virtual CQKPage* GetPrintPage(UINT n) { return GetPage(); }
    // Gives the DC back as the page found it.
    virtual void OnFinishDC(CDC* pDC);
    // The page's selected element, the one the property commands work on.
    CQKGrElement* GetCurrentGrElement();
    // Opens the dialog of a graphic element: Plot Details for a plot, the axis dialog for
    // a part of an axis (at its tick-label page for tick labels), the element's own dialog
    // for a text or an error bar. The window is drawn again after. 0 when the element has
    // no dialog.
    int OpenElementDialog(CQKGrElement* element);
    // A special point of the plot's point under `point`; FALSE when there is none.
    BOOL OpenSpecialPointDialog(CQKGrElement* element, CPoint point);
    // The layer of an element of the page; for a part of an axis, with its dimension (0 X,
    // 1 Y, 2 Z) and part, else a dimension of -1.
    CQKGraphicLayer* LayerOfElement(CQKGrElement* element, int* dimension, int* part);

    // IQUPageView: the frame asks which page and which window kind it shows.
    CQKPage* GetPage() override;
    int GetWndTemplateId() override;

    CQKPage* GetValidPage() { return GetPage(); }
    CQuorixDoc* GetQuorixDoc() const;
    CChildFrame* get_parent_child_frame() const;

    virtual int OnQUActivateView(BOOL bActivate, CView* pActivated, CView* pDeactivated);
    // The context menu resource of the window kind (0: none); may change the submenu
    // position the clicked element asked for.
    virtual int GetContextMenuID(int* position) { return -1; }
    // The submenu of the context menu for an element of the page (null: the page itself),
    // and with *graphicObject set when it is the graphic objects' menu; -1 for none.
    virtual int GetElementMenuPosition(CQKGrElement* element, BOOL* graphicObject) { return -1; }
    // The context menu for the element at a client point: which menu and submenu; 0 for
    // none.
    UINT GetContextMenuFor(CQKGrElement* element, int* position);
    // Shows submenu `position` of menu resource `menuId` at a client point as a pop-up
    // owned by the main window; 1 when shown.
    int bring_up_context_menu(int position, UINT menuId, CPoint& point);
    virtual void OnDeactivate(CQKPage* next) {}
    // Crop marks at the corners of the printed rectangle when the page shows them: four
    // L-shaped marks in the stock black pen, each 2.5% of the shorter side long. 1 when
    // drawn, 0 without a page or when the page shows none.
    int DrawCropmarks(CDC* pDC, CPrintInfo* pInfo, const CRect& rect);
    // Plot commands: the user menu's (33360 to 33407) or the command's own script, in
    // group "PlotProf" (33312 to 33336) or "Plot". 1 when it ran.
    int on_script_commands_PLOT_ex(UINT nID, CQKLayer* layer);

protected:
    // The selected container item when the client point falls on the place it is drawn in.
    COleClientItem* ItemAt(CPoint point);
    afx_msg void OnInsertObject();
    afx_msg void OnCancelEditCntr();
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnPaint();
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnEditProperties();
    // Escape while the document is active in place inside another program's window.
    afx_msg void OnCancelEditSrvr();
    afx_msg void OnUpdateEditProperties(CCmdUI* pCmdUI);
    afx_msg void OnUpdatePrint(CCmdUI* pCmdUI);
    afx_msg void OnFilePageSetup();
    afx_msg void OnPrintPreview();
    afx_msg void OnLabelControl();
    afx_msg void OnUpdateLabelControl(CCmdUI* pCmdUI);
    afx_msg BOOL OnGeneralScript(UINT nID);
    afx_msg BOOL OnArrowScript(UINT nID);
    afx_msg BOOL OnObjEditScript(UINT nID);
    afx_msg BOOL On3DScript(UINT nID);
    afx_msg BOOL OnMaskScript(UINT nID);
    afx_msg BOOL OnPlotScript(UINT nID);
    afx_msg BOOL OnUserMenuItem(UINT nID);
    afx_msg void OnUpdateAlwaysEnabled(CCmdUI* pCmdUI);
    afx_msg BOOL OnLayerIconCommand(UINT nID);
    afx_msg void OnWorksheetFormula();
    afx_msg void OnLayerFrame();
    afx_msg BOOL OnToolboxTool(UINT nID);
    afx_msg void OnUpdateToolboxTool(CCmdUI* pCmdUI);
    afx_msg void OnHide();
    // The application's STANDARD and FILE commands.
    afx_msg BOOL OnStandardScript(UINT nID);
    afx_msg BOOL OnFileScript(UINT nID);
    afx_msg void OnUpdateGeneralScript(CCmdUI* pCmdUI);
    afx_msg void OnUpdateArrowScript(CCmdUI* pCmdUI);
    afx_msg void OnUpdateObjEditScript(CCmdUI* pCmdUI);
    afx_msg void OnUpdatePlotScript(CCmdUI* pCmdUI);
    afx_msg void OnUpdateMaskScript(CCmdUI* pCmdUI);
    afx_msg void OnUpdateStandardScript(CCmdUI* pCmdUI);
    afx_msg void OnUpdateFileScript(CCmdUI* pCmdUI);
    afx_msg void OnUpdateKernelCommand(CCmdUI* pCmdUI);
    afx_msg void OnUpdateViewShowCommand(CCmdUI* pCmdUI);
    DECLARE_MESSAGE_MAP()

    int RunScript(const char* group, UINT nID);
    // Shows why the last plot command could not plot.
    void ReportPlotFailure();

    // The page number of the print job under way and where the page goes on the printer.
    COleClientItem* m_pSelection = nullptr;
    int m_nCurPrintPage = 0;
    CRect m_rectPrint;
};
