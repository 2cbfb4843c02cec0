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
    void OnDraw(CDC* pDC) override;
    void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView) override;

    // IQUPageView: the frame asks which page and which window kind it shows.
    CQKPage* GetPage() override;
    int GetWndTemplateId() override;

    CQKPage* GetValidPage() { return GetPage(); }
    CQuorixDoc* GetQuorixDoc() const;
    CChildFrame* get_parent_child_frame() const;

    virtual int OnQUActivateView(BOOL bActivate, CView* pActivated, CView* pDeactivated);
    virtual void OnDeactivate(CQKPage* next) {}
    // Crop marks at the corners of the printed rectangle when the page shows them: four
    // L-shaped marks in the stock black pen, each 2.5% of the shorter side long. 1 when
    // drawn, 0 without a page or when the page shows none.
    int DrawCropmarks(CDC* pDC, CPrintInfo* pInfo, const CRect& rect);
    // Plot commands: the user menu's (33360 to 33407) or the command's own script, in
    // group "PlotProf" (33312 to 33336) or "Plot". 1 when it ran.
    int on_script_commands_PLOT_ex(UINT nID, CQKLayer* layer);

protected:
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
    DECLARE_MESSAGE_MAP()

    int RunScript(const char* group, UINT nID);
};
