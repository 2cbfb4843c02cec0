// The dialogs of the Excel link.
#pragma once

#include "XlView.h"

// Dialog templates are this library's own: found through it whatever the resource chain
// holds while the dialog runs.
class XlResourceScope {
public:
    XlResourceScope();
    ~XlResourceScope();

private:
    HINSTANCE m_previous;
};

// Associate Excel Worksheet: a kernel layer whose sheet is gone gets a sheet that has no
// layer, or is removed.
class QUXL_API CXlConnectLayerDlg : public CDialog {
public:
    CXlConnectLayerDlg(CQUxlView* view, CQKWksExternLayer* layer, CWnd* parent = nullptr);

    // Set by Cancel: one read by saving, one by the update command.
    static BOOL s_bSaveCancelled;
    static BOOL s_bUpdateCancelled;

    // The state of the association: all sheet names (FALSE when they cannot be read),
    // those with no layer, and the first layer with no sheet (null when none).
    static BOOL Survey(CQUxlView* view, CStringArray& sheets, CStringArray& unassociated,
                       CQKWksExternLayer** orphan);
    // Asks, for each layer with no sheet, whether to remove it; the last layer stays.
    static void PruneLayers(CQUxlView* view, const CStringArray& sheets);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    afx_msg void OnSelectSheet();
    afx_msg void OnRemove();
    // Fills the lists; FALSE (and the dialog ends as cancelled) when nothing is left to
    // associate.
    BOOL Refresh();

    CQUxlView* m_pView;
    CQKWksExternLayer* m_pLayer;
    CListBox m_allSheets; // hidden: every sheet name
    CListBox m_sheets;    // sheets with no layer

    DECLARE_MESSAGE_MAP()
};
