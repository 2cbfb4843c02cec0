// The set-values dialogs: a formula, which the kernel evaluates, fills a range of a
// worksheet column (Set Column Values) or of a matrix. `CQUFuncEditInDialog` is their
// common base: the list of the kernel's functions with the description of the chosen one,
// Add Function, and Undo/Redo of the last formula edit. A derived dialog names its
// template and adds its range and what OK does.
#pragma once

#include <afxwin.h>

#include <string>

#include "QUExport.h"

class CQKWksPage;

class QU_API CQUFuncEditInDialog : public CDialog {
public:
    CQUFuncEditInDialog(UINT templateId, CWnd* parent);

    // Inserts text into the formula in place of its selection, as one undoable edit, and
    // gives the formula the focus; the caret ends `caretBack` characters before the end
    // of the insertion.
    void InsertIntoFormula(const CString& text, int caretBack);

protected:
    BOOL OnInitDialog() override;
    afx_msg void OnFunctionChanged();
    afx_msg void OnAddFunction();
    afx_msg void OnUndo();
    afx_msg void OnFormulaChanged();
    DECLARE_MESSAGE_MAP()

    UINT m_templateId;
};

// Set Column Values: rows "For row (i)" to "to" (from 1) of one column take the formula's
// values. OK leaves the dialog only when the kernel filled them; otherwise the user reads
// why and the formula stays to be mended.
class QU_API CQUColumnSetValuesDialog : public CQUFuncEditInDialog {
public:
    // `column` from 1.
    CQUColumnSetValuesDialog(CQKWksPage* page, int column, CWnd* parent);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    afx_msg void OnAddColumn();
    DECLARE_MESSAGE_MAP()

    CQKWksPage* m_page;
    int m_column;
};
