// Plotting from workbook ranges: the plot commands of a workbook window and the
// modeless "Select Data for Plotting" dialog.
#pragma once

#include <afxwin.h>

#include "QUControls.h"
#include "XlDialogs.h"
#include "XlView.h"

// The Excel settings of the script's system object that plotting reads and writes.
struct QUXL_API CQUxlPlotSettings {
    static int DlgPlot;            // plot a selection with the default assignments
    static int DlgPlotMulti;       // plot into: 0 one layer, 1 layers, 2 pages
    static int LegendTxtSel;       // 0: legends come from the label row of the data
    static int CloseAfterPlot;     // the plot dialog closes after plotting
};

class QUXL_API CPlotExcelDlg : public CXlDialog {
public:
    CPlotExcelDlg(UINT plotType, CQUxlView* owner);

    // Roles as range names ("B2:B20"); Y holds one or more separated by ';'.
    CString m_strX, m_strY, m_strZ, m_strErr, m_strLabel, m_strSheet;
    int m_nTitleRow = -1; // 1-based, -1 none

    // Remembered by Save Settings for the next dialog of the process.
    static CString s_X, s_Y, s_Z, s_Err, s_Label, s_Sheet;
    static int s_titleRow;
    static int s_lastPlotInto;

    CString GetSummary() const;
    // Follows the active view: hidden for views that cannot plot from a workbook, "Add
    // Plot" over a graph, "Plot" over its own workbook, "Change Book" over another.
    void UpdateToActiveView();
    CQUxlView* GetOwner() const { return m_pOwner; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void PostNcDestroy() override;
    afx_msg void OnX();
    afx_msg void OnY();
    afx_msg void OnZ();
    afx_msg void OnErr();
    afx_msg void OnLabel();
    afx_msg void OnTitleRow();
    afx_msg void OnUseDefaults();
    afx_msg void OnSaveSettings();
    afx_msg void OnClear();

    // Reads a one-column role from the owner's selection; FALSE (and the role empty)
    // when the selection is refused.
    void TakeOneColumnRole(CString& role);
    // The selection's areas and sheet; a selection on another sheet clears every role.
    BOOL ReadSelection(unsigned& count, QXLSELECTION* areas);
    BOOL Overlaps(const CString& candidate, const CString* except) const;
    void ClearRoles(int line);
    void Refresh();
    void Close();

    CQUxlView* m_pOwner;
    UINT m_nPlotType;
    CString m_captions[3];
    CString m_initialCaption;
    int m_nState = -1;
    int m_bUseDefaults = 1;
    CQUStringComBox m_plotInto;

    DECLARE_MESSAGE_MAP()
};
