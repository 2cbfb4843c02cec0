// The script object `system` of the user interface: the kernel's system object with five
// member objects for the settings and commands that live in the user interface. Each
// member is a method object whose rows the kernel walks (QKObjects.h).
#pragma once

#include "QKSysMethod.h"
#include "QUExport.h"

class CQUQrxSystem;

// DIALOG: the Options sheet.
class QU_API CQUSystemDlg : public QmMethod {
public:
    enum { FLAG_CLOSE_PROMPT = 1, FLAG_SAVE_ON_CLOSE = 2 };

    QmRow* GetTable() override;
    int Process(double* result, QmDLL* root) override;

    int GetActivePageNumber(int* v);
    int SetActivePageNumber(int v);
    int GetClosePrompt(int* v);
    int SetClosePrompt(int v);
    int GetSaveOnClose(int* v);
    int SetSaveOnClose(int v);

private:
    int m_activePage = 0;
    int m_flags = 0;
};

// EXCEL: preferences of the Excel link. The open flags and the save-dialog choice are
// the Excel link's own, read and written where it keeps them.
class QU_API CQUSystemExcel : public QmMethod {
public:
    QmRow* GetTable() override;
    int Process(double* result, QmDLL* root) override;

    int GetOpenAsExcel(int* v);
    int SetOpenAsExcel(int v);
    int GetOpenAsPrompt(int* v);
    int SetOpenAsPrompt(int v);
    int GetDlgPlot(int* v);
    int SetDlgPlot(int v);
    int GetDlgPlotMulti(int* v);
    int SetDlgPlotMulti(int v);
    int GetLegendTxtSel(int* v);
    int SetLegendTxtSel(int v);
    int GetSaveExcelDlg(int* v);
    int SetSaveExcelDlg(int v);
    int GetCloseAfterPlot(int* v);
    int SetCloseAfterPlot(int v);
    // 0 line, 1 scatter, 2 line and symbol, 3 any other type (the current tool's).
    int GetDragDropPlotDefault(int* v);
    int SetDragDropPlotDefault(int v);
    // The plot command of ranges and columns dropped on a graph: the kernel's default plot
    // type.
    static int GetDragDropPlotTypeID();

private:
    int m_dlgPlot = 0, m_dlgPlotMulti = 0, m_legendTxtSel = 0, m_closeAfterPlot = 0;
};

// OPERATIONS: behaviour of the main window.
class QU_API CQUSystemOperations : public QmMethod {
public:
    QmRow* GetTable() override;
    int GetUseSpacer(int* v);
    int SetUseSpacer(int v);
    int GetInPlaceActivate(int* v);
    int SetInPlaceActivate(int v);

private:
    int m_useSpacer = 1, m_inPlaceActivate = 0;
};

// RESULTS: the Results Log. The FromScrivex setters also bring an open Results Log up to
// date; the plain ones only store (the log itself and the options pages use them).
class QU_API CQUSystemResults : public QmMethod {
public:
    QmRow* GetTable() override;
    int GetAutoOpen(int* v);
    int SetAutoOpenFromScrivex(int v);
    int GetTabSize(int* v);
    int SetTabSizeFromScrivex(int v);
    int GetViewMode(int* v);
    int SetViewModeFromScrivex(int v);
    void SetAutoOpen(int v) { m_autoOpen = v ? 1 : 0; }
    void SetTabSize(int v) { m_tabSize = v; }
    void SetViewMode(int v) { m_viewMode = v; }
    // The Results Log edit's view code of the view mode: 4 all entries, 2, 3.
    int GetViewCode() const { return s_viewCodes[m_viewMode - 1]; }

private:
    int m_autoOpen = 1, m_tabSize = -1, m_viewMode = 2;
    static const short s_viewCodes[3];
};

// TOOLBAR: user toolbars and button categories.
class QU_API CQUSystemToolbars : public QmMethod {
public:
    QmRow* GetTable() override;
    QmRow* GetTableOfSimpleMethods() override;
    int DontStripArg() override { return 1; }

    int GetNames(char* buffer);
    int Create(double* result, const char* argText, QmDLL* root);
    int Delete(double* result, const char* argText, QmDLL* root);
    int Exists(double* result, const char* argText, QmDLL* root);
    int IsOpen(double* result, const char* argText, QmDLL* root);
    int Open(double* result, const char* argText, QmDLL* root);
    int Close(double* result, const char* argText, QmDLL* root);
    int CreateCategory(double* result, const char* argText, QmDLL* root);

private:
    enum Call { CALL_CREATE, CALL_DELETE, CALL_EXISTS, CALL_ISOPEN, CALL_OPEN, CALL_CLOSE, CALL_CREATE_CATEGORY };
    int Run(double* result, const char* argText, Call call);
};

class QU_API CQUQrxSystem : public CQKQrxSystem {
public:
    CQUQrxSystem();
    ~CQUQrxSystem() override;

    int FindValue(const char* name, int op, char* text) override;
    int FindCommand(const char* name, const char* argText, double* result) override;
    int FindCommandValue(const char* methodName, const char* name, char* text, int op) override;
    void List() override;
    void Init() override;
    int LoadSaveINI(STINI* ini, const char* section) override;

    CQUSystemDlg& GetRefDlg() { return m_dlg; }
    CQUSystemExcel& GetRefExcel() { return m_excel; }
    CQUSystemOperations& GetRefOperations() { return m_operations; }
    CQUSystemResults& GetRefResults() { return m_results; }

private:
    QmRow* m_ownProperties;
    QmRow* m_ownMethods;
    CQUSystemDlg m_dlg;
    CQUSystemExcel m_excel;
    CQUSystemOperations m_operations;
    CQUSystemResults m_results;
    CQUSystemToolbars m_toolbars;
};

// The bridge slot of the user interface's access object: a new system object, null when
// there is no memory for it.
QU_API CQKQrxSystem* create_QrxSystem_object();
