// The Excel workbook window: its document, its view, the embedded workbook item and the
// external worksheet page through which the kernel reaches the workbook.
//
// The workbook is an automation object of the registered spreadsheet class. The view
// talks to it only through the wrappers of XlAutomation.h; the kernel keeps the sheets it
// uses as layers of the window's external page and asks the view, through that page, for
// cells and columns.
#pragma once

#include <afxdisp.h>
#include <afxwin.h>

#include <afxole.h>
#include <docobj.h>

#include "QKExternal.h"
#include "QuorixCntrItem.h"
#include "QUWksView.h"
#include "QuorixDoc.h"
#include "XlExport.h"
#include "XlAutomation.h"

class CQUxlView;
class CQUExcelDoc;
class CPlotExcelDlg;

// The workbook embedded in a workbook window: an active document shown in place in the
// window's view, reached by automation through its dispatch interface.
class QUXL_API CxlCntrItem : public CQuorixCntrItem {
    DECLARE_SERIAL(CxlCntrItem)
public:
    explicit CxlCntrItem(CQUExcelDoc* doc = nullptr);
    ~CxlCntrItem() override;

    // A workbook loaded from a file by the registered spreadsheet class; the failure code
    // of the creation, S_OK on success.
    HRESULT CreateFromFile(const char* path);
    // The item's IDispatch (a new reference), null on failure.
    LPDISPATCH get_IDispatch();
    // A new worksheet wrapper on the item's first sheet, owned by the caller; null when
    // there is none.
    CxlobjWorksheet* GetxlobjWksDriver();
    void SetxlView(CQUxlView* view) { m_pxlView = view; }
    CQUxlView* GetxlView() const { return m_pxlView; }
    int IsExcelOpened() const { return m_excelOpened; }
    void SetExcelOpened(int flag) { m_excelOpened = flag; }
    // Shows the workbook in place in the view, trying up to six times: 1 when the item is
    // then active or UI-active.
    int ActivateExcel(CQUxlView* view);
    // The size in device units becomes the workbook's extent; the size the workbook kept
    // comes back in it.
    void set_extent(CSize& size);
    // Sends a command through the object's command target; FALSE when it has none or the
    // command failed.
    BOOL ExecuteActiveDocumentCommand(DWORD command, DWORD options);
    // The document view of the workbook while it is shown (no reference), null before.
    IOleDocumentView* GetDocumentView() const { return m_pDocView; }

    void OnChange(OLE_NOTIFICATION nCode, DWORD dwParam) override;
    void OnGetItemPosition(CRect& rPosition) override;
    // The document view is closed first: it holds the item's site, which must go while
    // the item is still whole.
    void Release(OLECLOSE dwCloseOption = OLECLOSE_NOSAVE) override;

    BEGIN_INTERFACE_PART(OleDocumentSite, IOleDocumentSite)
        STDMETHOD(ActivateMe)(IOleDocumentView* pView) override;
    END_INTERFACE_PART(OleDocumentSite)
    DECLARE_INTERFACE_MAP()

private:
    void CloseDocumentView();
    IOleDocumentView* m_pDocView = nullptr;
    CQUxlView* m_pxlView = nullptr;
    int m_excelOpened = 0;
};

// The external worksheet page of a workbook window: every operation the kernel calls on
// it goes to the first workbook view of its document.
class QUXL_API CQUWksPageExternal : public CQKWksExternPage {
public:
    CQUWksPageExternal(CQKProject* project, const std::string& name, CQUExcelDoc* doc);
    CQUxlView* GetValidxlView() const;
    void SetDocument(CQUExcelDoc* doc) { m_pDoc = doc; }

    BOOL GetExternalDataValue(const char* sheet, int column, int row, VARIANT* value);
    BOOL SetExternalDataValue(const char* sheet, int column, int row, VARIANT* value);
    BOOL GetSetExternalDataAsStringVal(const char* sheet, int column, int row, char* text, BOOL set);
    BOOL GetExternalDataAsReal(const char* sheet, int column, int row, double* value);
    BOOL SetExternalDataAsReal(const char* sheet, int column, int row, double* value);
    BOOL GetExternalDataAsText(const char* sheet, int column, int row, char* text);
    BOOL OnInternalSaveExternalPage(const char* file, BOOL prompt);
    BOOL CopyDataOneExternalColumn(const char* sheet, int column, CQKExternData* data, BOOL toExternal) override;
    BOOL OnInternalInsertDeleteColumn(const char* sheet, int column, BOOL del);
    BOOL OnUpdateToExternalSheet(const char* sheet);
    BOOL GetSelection(unsigned* count, QXLSELECTION* ranges, CString* sheet);
    BOOL ActivateExternalWorksheet(const char* sheet);
    BOOL OnGetExternalUseRange(const char* sheet, QXLSELECTION* range);
    // Leaving the window: a change the user made in the workbook reaches the kernel.
    int OnDeactivate(CQKPage* next) override;
    // The window hides; the workbook stays with its page.
    int CloseWnd() override;
    // The page goes (the project closes): its window goes with it.
    int OnDestroy() override;
    // The workbook saved to a file of the stand-in's and read back as bytes.
    BOOL GetInternalWorkbook(std::string& bytes) override;

private:
    CQUExcelDoc* m_pDoc;
};

class QUXL_API CQUExcelDoc : public CQUWksDoc {
    DECLARE_DYNCREATE(CQUExcelDoc)
public:
    CQUExcelDoc();
    ~CQUExcelDoc() override;

    int get_desired_page_type() override { return QK_PAGE_EXCEL; }

    BOOL OnNewDocument() override;
    BOOL OnOpenDocument(LPCTSTR lpszPathName) override;
    void OnCloseDocument() override;
    void OnIdle() override;
    HMENU GetDefaultMenu() override;

    CQUWksPageExternal* GetPage() const { return dynamic_cast<CQUWksPageExternal*>(CQuorixDoc::GetPage()); }
    // Sets up the page: a new external page of the project (or the given one), its file.
    BOOL InitPage(const char* file);
    BOOL SetNewExternalFilename();
    // An open workbook window already links this file (regardless of case).
    static BOOL IsNameAmongOpened(const char* path);
    // The first workbook view of the document, null when there is none.
    CQUxlView* get_first_QU_view() const;

    static void SetDisplayOpenExcelDialog(int on) { s_displayOpenExcelDialog = on; }
    static int DisplayOpenExcelDialog() { return s_displayOpenExcelDialog; }
    static void SetOpenWorkbookAsExcel(int on) { s_openWorkbookAsExcel = on; }
    static int OpenWorkbookAsExcel() { return s_openWorkbookAsExcel; }
    static BOOL SetIgnoreAll(int on)
    {
        s_ignoreAll = on ? 1 : 0;
        return TRUE;
    }
    static int IgnoreAll() { return s_ignoreAll; }

    int m_bOpenedFromFile = 0;

private:
    static int s_displayOpenExcelDialog;
    static int s_openWorkbookAsExcel;
    static int s_ignoreAll;
};

class CQUGraphView;

class QUXL_API CQUxlView : public CQUWksView {
    DECLARE_DYNCREATE(CQUxlView)
public:
    CQUxlView();
    ~CQUxlView() override;

    // The workbook is not shown in place: the window shows the active sheet as the
    // worksheet table draws it (its data copied from the workbook), read only.
    void OnDraw(CDC* pDC) override;
    void OnInitialUpdate() override;
    CQKTablePage* GetTablePage() override;
    // The active sheet's data copied again from the workbook, and the window redrawn.
    BOOL RefreshSheetTable();

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

public:

    CQUExcelDoc* GetDocument() const { return (CQUExcelDoc*)m_pDocument; }
    CQUWksPageExternal* get_external_wks_page() const;
    BOOL HasExcel() const { return m_pItem != nullptr; }
    CxlCntrItem* GetItem() const { return m_pItem; }
    // Gives the view its workbook item (the view owns it).
    void SetItem(CxlCntrItem* item);

    void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView) override;

    // The workbook item.
    BOOL CreateNewExcelItem();
    BOOL LoadNewExcelItemFromFile(const char* path, BOOL activate);
    BOOL ActivateExcel();
    void DeactivateExcel();
    void DisplayExcelWkbook();
    BOOL OnInternalSetView();
    BOOL IsExcelShown() const { return m_bDisplayExcel; }
    // The workbook itself is shown (in place) rather than the kernel's table of its sheet.
    BOOL display_excel() const { return m_bDisplayExcel; }
    // Where the workbook stands in the view: its extent placed at (27, 15).
    void get_draw_rect(CRect& rect);
    // The workbook's extent: the client area less the view's margins (40 by 32).
    void ComputeItemExtent();
    void DisableIdleRectivation(BOOL disable) { m_bIdleReactivationDisabled = disable ? 1 : 0; }
    CQUWksPageExternal* get_external_wks_page_null() const { return get_external_wks_page(); }
    DWORD GetViewToolbarBits() const;
    UINT GetContextMenuID() const;
    int GetXlPlotDlgState() const;
    BOOL GetDropSourceIDString(CString& text) const;
    void OnIdle();
    // Whether to open a workbook file as a workbook (asExcel 1) or as native worksheets
    // (count copied); FALSE when the user cancelled.
    BOOL HandleOpenExcel(int* asExcel, UINT* count);
    BOOL DoOpenExcelDialog(int* asExcel, UINT* count);
    static BOOL s_invalidInstallation;

    // Automation.
    BOOL InitDriverAutomation();
    BOOL init_xlDriver();
    void uninit_xlDriver();
    BOOL GetDirty(int* dirty);
    BOOL ClearDirty(int saved);
    BOOL GetExcelVisible(int* visible);
    BOOL VersionHigherThan5(CString& version, int* higher);
    CxlobjWorkbook* GetWorkbookDriver() const { return m_pWorkbook; }

    // Installation and version, for the whole process.
    static BOOL CheckExcelInstallation(BOOL report);
    static BOOL CheckExcelInstallationEx(BOOL versionEight, BOOL report);
    static BOOL IsExcelRunning();
    BOOL CanGetSelection(BOOL report);
    static BOOL AssumeExcelVersionEight();
    static void AddExcelInstallationBit(DWORD bits);
    static DWORD dwExcelInstallation;
    // The view that runs the silent version check (any view with a workbook).
    static BOOL s_versionChecked;
    static BOOL s_higherThanVersion5;
    static CString s_versionText;

    // Cells and columns.
    BOOL GetSetOneExcelCellValue(const char* sheet, int column, int row, void* value, int type, BOOL set);
    BOOL GetSetOneExcelCellValueAsReal(const char* sheet, int column, int row, double* value, BOOL set);
    BOOL GetOneExcelCellValueAsText(const char* sheet, int column, int row, char* text);
    BOOL CopyOneInternalColumnToExcel(const char* sheet, int column, CQKExternData* data);
    BOOL CopyDataOneExternalColumn(const char* sheet, int column, CQKExternData* data);
    static void ColumnRowRowToRangeName(CString& name, int column, int first, int end);

    // Selection and sheets.
    BOOL GetSelection(unsigned* count, QXLSELECTION* ranges, CString* sheet);
    BOOL UpdateAssociatedWorksheet(const char* sheet, BOOL check, QXLSELECTION* range);
    BOOL UpdateAssociatedWorksheet(CxlobjWorksheet* sheet, BOOL check, QXLSELECTION* range);
    BOOL UpdateAssociatedActiveWorksheet(QXLSELECTION* range, BOOL check);
    BOOL UpdateAssociatedWorkbook(DWORD flags);
    int FillListboxWithWorksheetNames(CListBox* list, CListBox* unassociated);
    int GetWorksheetNames(CStringArray& names);
    BOOL ActivateWorksheet(const char* sheet);
    BOOL OnInternalInsertDeleteColumn(const char* sheet, int column, BOOL del);

    // Copies into native worksheets.
    BOOL DoCopyToNativeQuorixWorksheets(int mode, UINT* count);
    BOOL DoCopyOneWksToNativeQuorix(const char* sheet, const char* window);
    BOOL DoCopyAllWorksheetsToNativeQuorix(UINT* count);
    BOOL xlWorksheetToNativeQuorix(CxlobjWorksheet* sheet, const char* window, const char* name);

    // New workbooks and saving.
    BOOL InitNewWorkbook();
    BOOL SaveTheWorkbook(const char* file, BOOL prompt);
    BOOL OnSaveWorkbook(const char* file);
    BOOL GetFileNameForSavingWorkbook(CString& file);
    BOOL SavingExcelWorkbook() const { return m_bSavingWorkbook; }

    // The Associate Excel Worksheet dialog, run again while sheets and layers without a
    // partner are left; its result (the cancel flags tell a user's cancel).
    INT_PTR OnCmExcelUpdateSheets();
    // Switching automatic update on fails for a read-only linked file (with the message
    // when report is set).
    BOOL SetAutomaticExternalUpdate(int on, BOOL report);

    // Macros.
    BOOL Run(const char* macro, COleVariant& result, int count, const VARIANT* args);
    BOOL RunRange(const char* sheet, const char* cell, COleVariant& result, int count, const VARIANT* args);

    // Plotting from the selection.
    afx_msg void on_plot_commands(UINT command);
    BOOL CreatePlotDlg(UINT command);
    static void DeletePlotDlg();
    BOOL NewPlotsFromDlg(UINT command, CxlPlots* plots, CQKPage* activePage);
    BOOL DoOneComplexPlot(UINT command, CxlPlot* plot, CQKWksExternLayer* layer, CQKGraphPage* graph, int mode);
    static BOOL FinishPlotCreation(int mode, CQKGraphPage* page);
    // A range of the active sheet dropped on a graph: plotted with the default assignments
    // as the drop plot type into the graph's layer under the point (client coordinates of
    // the graph's view). A single cell beeps; FALSE when nothing was plotted.
    BOOL PlotDrop(QXLSELECTION* range, CQUGraphView* graphView, CPoint point);
    // The label row (0-based) of a 1-based column of a sheet: the first row holding text;
    // -1 when there is none.
    int GetLabelRowNum(const char* sheet, int column);
    static CPlotExcelDlg* m_pPlotExcelDlg;

    // The modified check: a change the user made in the workbook reaches the kernel once.
    void OnCheckxlDirty();
    static int s_dirtyRetries;

    // The active child frame's view when it is a workbook view, else null.
    static CQUxlView* get_active_excel_view();

    afx_msg void OnCmUpdateQuorix();
    afx_msg void OnCmExcelRename();
    afx_msg void DriveExcel();
    afx_msg void WkbookExcelView();
    afx_msg void WkbookQuorixView();
    afx_msg void UpdateUIWkbookExcelView(CCmdUI* pCmdUI);
    afx_msg void UpdateUIWkbookQuorixView(CCmdUI* pCmdUI);
    afx_msg void OnUpdateAlwaysEnabled(CCmdUI* pCmdUI);
    afx_msg void OnUpdateAlwaysDisabled(CCmdUI* pCmdUI);
    afx_msg void OnExcelInPlaceActivate();
    afx_msg void OnExcelAppOpen();
    afx_msg void OnItemCommandPrint();
    afx_msg void OnItemCommandPrintDirect();
    afx_msg void OnItemCommandPageSetup();
    afx_msg void Convert2Matrix();

    // Idle re-activation of the item: stopped for hidden pages, bounded to five tries.
    int m_bIdleReactivationDisabled = 0;
    int m_bActivateNewExcel = 1;
    int m_nIdleCount = 0;
    int m_bFirstActivation = 1;
    int m_bReactivateOnDeactivate = 1;

protected:
    CxlCntrItem* m_pItem = nullptr;
    CxlobjWorkbook* m_pWorkbook = nullptr;
    CxlobjWorksheetsCollection* m_pWorksheets = nullptr;
    int m_bDisplayExcel = 1;
    int m_bSavingWorkbook = 0;
    CSize m_itemExtent{0, 0}; // device units

    afx_msg void OnSize(UINT nType, int cx, int cy);

    DECLARE_MESSAGE_MAP()
};

// Messages of the Excel link, from this library's own string table.
QUXL_API CString xlLoadString(UINT id);
QUXL_API int xlMessageBox(UINT id, UINT type);
QUXL_API int xlMessageBoxText(const CString& text, UINT type);
