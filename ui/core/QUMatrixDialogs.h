// The matrix page's dialogs: Matrix Properties (how the cells are shown), Matrix
// Dimensions (rows, columns and the X and Y the matrix spans) and Set Matrix Values (a
// block of cells from a formula the kernel evaluates).
#pragma once

#include <afxwin.h>

#include <string>

#include "QUExport.h"

class CQKMatrixPage;

class QU_API CQUMatrixPropertyDialog : public CDialog {
public:
    CQUMatrixPropertyDialog(CQKMatrixPage* page, CWnd* parent = nullptr);

    // The digits shown for a display mode (0 default, 1 decimal places, 2 significant
    // digits) from the kernel's digit count, and the count read back from them.
    static int ShownDigits(int mode, int count, bool switching);
    static int DigitCount(int mode, int shown);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    afx_msg void OnDisplayModeChange();
    void ShowDigits();
    DECLARE_MESSAGE_MAP()

    CQKMatrixPage* m_page;
    int m_mode = -1; // the display mode the digits edit shows
    int m_count = 0; // the kernel's digit count
};

class QU_API CQUMatrixDimensionsDlg : public CDialog {
public:
    CQUMatrixDimensionsDlg(CQKMatrixPage* page, CWnd* parent = nullptr);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

    CQKMatrixPage* m_page;
};

class QU_API CQUSetMatrixValues : public CDialog {
public:
    CQUSetMatrixValues(CQKMatrixPage* page, CWnd* parent = nullptr);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    afx_msg void OnFunctionChange();
    afx_msg void OnAddFunction();
    afx_msg void OnUndo();
    afx_msg void OnFormulaChange();
    DECLARE_MESSAGE_MAP()

    CQKMatrixPage* m_page;
};
