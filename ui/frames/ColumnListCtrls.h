// The report list of a worksheet's columns for dialogs: name, label and format type, one
// row a column. A click on a row is told to the parent: message 1325, wParam 0, lParam
// the row or -1 below the last row.
#pragma once

#include <afxcmn.h>

#include "FramesApi.h"

class CQKWksPage;
class CQKPlotObj;

const UINT QU_WM_WKS_COLUMN_CLICKED = 1325;

class QXFRAMES_API CQUWksColumnListCtrl : public CListCtrl {
public:
    CQUWksColumnListCtrl(UINT id, const char* name);

    void SetPlotObjPtr(CQKPlotObj* plot) { m_plot = plot; }
    void SetWksLayer(CQKWksPage* layer) { m_layer = layer; }
    CQKWksPage* GetWksLayer() const { return m_layer; }
    // Puts the report columns in (titles separated by blanks) once the window exists.
    void SetTitles(const char* titles);
    // One row a column: all of the worksheet's, or the selected ones only.
    void MakeList(BOOL selectedOnly);
    // Fills `row` with the worksheet's column (from 0); TRUE when it was skipped as
    // unselected.
    BOOL SetRow(int column, int row, WORD selectedOnly);
    // The column format as the list shows it.
    static const char* TypeText(int format);

protected:
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()

    UINT m_id;
    CString m_name;
    CQKPlotObj* m_plot = nullptr;
    CQKWksPage* m_layer = nullptr;
};
