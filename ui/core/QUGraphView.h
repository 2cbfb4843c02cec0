// The views of graph and layout windows.
//
// Over the base view the graph view adds what only graphs have: Plot Details and the
// fitter offered only while the active layer has plots of data, the analysis and graph
// command groups, and the 3D rotation commands. The layout view is the graph view of a
// page of pictures: it has no plots, so it saves no window or template of its own.
#pragma once

#include <vector>

#include <afxole.h>

#include "QuorixView.h"
#include "QKExternal.h"

#include <string>

class CQKGraphicLayer;
class CQKGraphPage;
class CQKPlotObj;
class CQKWksPage;
class CQUxlView;

class QU_API CQUGraphView : public CQuorixView {
    DECLARE_DYNCREATE(CQUGraphView)
public:
    int GetContextMenuID(int* position) override { return 571; }
    void OnDraw(CDC* pDC) override;
    // Axes 0, layer icon 1, page 3 (inside a layout 6), plot 4, 3D plot 9; texts have the
    // graphic objects' menu.
    int GetElementMenuPosition(CQKGrElement* element, BOOL* graphicObject) override;

    // The active layer of the view's graph page; null without one.
    CQKGraphicLayer* GetActiveLayer();
    // The plot the plot-line commands work on: the selected one, else the active layer's
    // first; null without one.
    CQKPlotObj* GetPlotForCommand();
    // Whether the active layer plots data on plain X-Y axes (no 3D or contour plots),
    // which the analysis commands and the fitter work on.
    BOOL HasSimpleXYDataPlots();
    CQKGraphPage* GetGraphPage();
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // Printing: the graph print dialog, its choices kept in the kernel's print settings,
    // and the pages it chose (the window's page, every graph with a window, or every
    // graph of the project), one printed page each.
    int OnPrepareDialog(CPrintInfo* pInfo) override;
    int SetPrintRange(CPrintInfo* pInfo) override;
    int PageSetupDialog(PRINTDLGA& printData, PAGESETUPDLGA& out) override;
    CQKPage* GetPrintPage(UINT n) override;

    // Drops on the graph: a plot dragged within its layer, a range dragged from the active
    // workbook (copied or linked), columns dragged from one of the program's worksheets
    // (linked); anything else shows no drop effect.
    DROPEFFECT OnDragEnter(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point) override;
    DROPEFFECT OnDragOver(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point) override;
    void OnDragLeave() override;
    BOOL OnDrop(COleDataObject* pDataObject, DROPEFFECT dropEffect, CPoint point) override;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    // The workbook view whose range a data object carries, with the range in the Excel
    // selection; null when it carries none of the active workbook.
    CQUxlView* FindExcelDragSource(COleDataObject* pDataObject);
    CQUxlView* FindExcelDragSourceByName(const CString& name);
    void ClearDragSources();

    COleDropTarget m_dropTarget;
    CQUxlView* m_pXlDragSource = nullptr;
    QXLSELECTION m_xlSelection{};
    CQKWksPage* m_pWksDragSource = nullptr;
    CQKPlotObj* m_pPlotDragSource = nullptr;

    // Cut, Copy, Paste, Clear (and the object menu's Delete) and Undo work on the page's
    // selected labels and drawn objects.
    afx_msg void OnEditCopy();
    afx_msg void OnEditCopypage();
    afx_msg void OnEditCut();
    afx_msg void OnEditPaste();
    afx_msg void OnEditClear();
    afx_msg void OnEditUndo();
    afx_msg void OnUpdateHasSelection(CCmdUI* pCmdUI);
    afx_msg void OnUpdateEditPaste(CCmdUI* pCmdUI);
    afx_msg void OnUpdateEditUndo(CCmdUI* pCmdUI);
    afx_msg void OnRotatePage();
    afx_msg void OnUpdateRotatePage(CCmdUI* pCmdUI);
    void ReportEditFailure(const std::string& reason);
    std::vector<CQKPage*> m_printPages;
    afx_msg void OnViewZoomIn();
    afx_msg void OnViewZoomOut();
    afx_msg void OnViewFullPage();
    afx_msg BOOL OnCursorZoom(UINT nID);
    afx_msg BOOL OnViewMode(UINT nID);
    afx_msg void OnUpdateViewMode(CCmdUI* pCmdUI);
    afx_msg void OnTogglePrintView();
    afx_msg void OnUpdateTogglePrintView(CCmdUI* pCmdUI);
    afx_msg void OnUpdateWithPage(CCmdUI* pCmdUI);
    afx_msg void OnPlotDetailsOfPlot();
    afx_msg void OnHideDataPlot();
    afx_msg void OnShowAllDataPlots();
    afx_msg void OnUpdateShowAllDataPlots(CCmdUI* pCmdUI);
    afx_msg void OnUpdatePlotCommand(CCmdUI* pCmdUI);
    afx_msg BOOL OnGraphScript(UINT nID);
    afx_msg BOOL OnGraphAnalysisScript(UINT nID);
    afx_msg BOOL OnRotationScript(UINT nID);
    afx_msg void OnUpdatePlotDetails(CCmdUI* pCmdUI);
    afx_msg void OnUpdateZAxis(CCmdUI* pCmdUI);
    afx_msg void OnUpdateGraphAnalysis(CCmdUI* pCmdUI);
    afx_msg void OnUpdateGraphScript(CCmdUI* pCmdUI);
    DECLARE_MESSAGE_MAP()
};

class QU_API CQULayoutView : public CQUGraphView {
    DECLARE_DYNCREATE(CQULayoutView)
protected:
    // A layout takes no drops: its window registers no drop target.
    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    afx_msg void OnUpdateAlwaysDisabled(CCmdUI* pCmdUI);
    DECLARE_MESSAGE_MAP()
};
