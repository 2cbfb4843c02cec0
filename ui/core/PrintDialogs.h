// The print and page set-up dialogs of the graph and worksheet windows: the system's
// dialogs with this library's own templates, which add the choices these windows print by.
#pragma once

#include <afxdlgs.h>

#include "QUControls.h"
#include "QUExport.h"

class CQKGraphPage;

// The system's print dialog on a template of this library.
class QU_API CQUPrintDialog : public CPrintDialog {
public:
    CQUPrintDialog(BOOL bPrintSetupOnly, DWORD dwFlags, CWnd* pParentWnd);

    // 1 when the printer's orientation was left as it was when the dialog opened.
    int m_bOrientationUnchanged;

protected:
    // The help topic of the template.
    afx_msg LRESULT OnHelp(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()
};

// Printing part of a worksheet: all of it or the columns and rows the user gives.
class QU_API CQUWksPrintDialog : public CQUPrintDialog {
public:
    CQUWksPrintDialog(BOOL bPrintSetupOnly, DWORD dwFlags, CWnd* pParentWnd = nullptr);

    // Ranges count from 0 and end one past their last column or row; the dialog shows
    // first + 1 and last, the user's 1-based inclusive numbers.
    void SetSelectionRange(int firstCol, int lastCol, int firstRow, int lastRow);
    void SetFullRange(int firstCol, int lastCol, int firstRow, int lastRow);
    // The selection range when the user asked for it, else the full range; 1.
    int GetPrintRange(int& firstCol, int& lastCol, int& firstRow, int& lastRow) const;
    INT_PTR DoModal() override;

    int m_selFirstCol, m_selLastCol, m_selFirstRow, m_selLastRow;
    int m_fullFirstCol, m_fullLastCol, m_fullFirstRow, m_fullLastRow;
    int m_bUseSelection;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    afx_msg void OnSelection();
    void ShowRange(bool selection);
    DECLARE_MESSAGE_MAP()

    CButton m_selection;
};

// Page set-up of a worksheet, with whether pages print a header and their numbers.
class QU_API CQUWksPageSetupDialog : public CPageSetupDialog {
public:
    CQUWksPageSetupDialog(DWORD dwFlags, CWnd* pParentWnd = nullptr);
    INT_PTR DoModal() override;

    int m_bPrintHeader;
    int m_bPrintPageNumber;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    afx_msg LRESULT OnHelp(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()
};

class QU_API CQUGrPrintOptBasePage : public CPropertyPage {
public:
    explicit CQUGrPrintOptBasePage(UINT nIDTemplate);
};

// The page geometry when printing: the printer's own width and height or the page's,
// and crop marks.
class QU_API CQUGrPrintOptGeometry : public CQUGrPrintOptBasePage {
public:
    CQUGrPrintOptGeometry();

    int m_bUsePrinterWidth;
    int m_bUsePrinterHeight;
    int m_bPrintCropmarks;
    CString m_strGraphHeight, m_strGraphWidth, m_strPrinterHeight, m_strPrinterWidth;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};

class QU_API CQUGrPrintOptionsSheet : public CPropertySheet {
public:
    explicit CQUGrPrintOptionsSheet(CWnd* pParentWnd = nullptr);
    CQUGrPrintOptGeometry m_geometry;
};

// Printing a graph: which pages, thinning of large data, colour on the printer at hand,
// and the page geometry.
class QU_API CQUGraphPrintDialog : public CQUPrintDialog {
public:
    CQUGraphPrintDialog(BOOL bPrintSetupOnly, DWORD dwFlags, CQKGraphPage* page, CWnd* pParentWnd = nullptr);

    // 0 the current page, 1 all open graphs, 2 all graphs.
    int GetPagesChoice() const { return m_nPagesChoice; }

    int m_bMatrixPointsLimited, m_nMatrixMaxX, m_nMatrixMaxY;
    int m_bGrayScale, m_bSimplifiedColors, m_bSkipPoints, m_nPagesChoice;
    CQUStringComBox m_pages;
    CQUGrPrintOptionsSheet m_options; // over this dialog
    int m_bOptionsApplied;
    CQKGraphPage* m_pGraphPage;
    int m_bUsePrinterWidth, m_bUsePrinterHeight, m_bPrintCropmarks, m_bGeometryTaken;
    int m_nInitialOrientation;
    int m_nMaxPointsPerCurve;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void DoDataExchange(CDataExchange* pDX) override;
    afx_msg void OnSkipPoints();
    afx_msg void OnMatrixPoints();
    afx_msg void OnPagesChanged();
    afx_msg void OnOptions();
    afx_msg void OnPrinterChanged();
    afx_msg LRESULT OnUpdateColorSwitches(WPARAM, LPARAM);
    void EnableDependents();
    void ApplyOptions();
    DECLARE_MESSAGE_MAP()
};
