#include "QUErrorBar.h"

#include <afxwin.h>

#include "ObjectsResources.h"
#include "QKData.h"
#include "QKUtil.h"
#include "QUControls.h"

namespace {

class CQUErrorBarDialog : public CDialog
{
public:
    explicit CQUErrorBarDialog(CQKErrorBar* bar) : CDialog(IDD_QD_ERROR_BAR), m_pBar(bar) {}

    int m_nRelative = -1; // "Absolute" 0, "Relative" 1

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        CDialog::DoDataExchange(pDX);
        DDX_Control(pDX, IDC_QD_EB_COLOR, m_color);
        DDX_Control(pDX, IDC_QD_EB_LINE_WIDTH, m_lineWidth);
        DDX_Control(pDX, IDC_QD_EB_CAP_WIDTH, m_capWidth);
        DDX_Radio(pDX, IDC_QD_EB_ABSOLUTE, m_nRelative);
    }

    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        CQKDataset* data = m_pBar->GetData();
        SetDlgItemText(IDC_QD_EB_DATASET, data ? data->GetName().c_str() : "");

        CheckDlgButton(IDC_QD_EB_COLOR_CHECK, !m_pBar->IsOwnerColor());
        int height = m_lineWidth.GetItemHeight(-1);
        m_color.SetItemHeight(-1, height);
        m_color.SetItemHeight(0, height);
        m_color.SetRectSize(CSize(height, height));
        m_color.AddColorNames();
        m_color.SetCurSel(m_pBar->GetColor());
        m_color.EnableWindow(!m_pBar->IsOwnerColor());

        m_lineWidth.INILineWidthComboBox(IDS_QD_LINE_WIDTHS, " ");
        m_lineWidth.SetWindowText(NumberText(m_pBar->GetLineWidth()));
        m_capWidth.INILineWidthComboBox(IDS_QD_SIZES, " ");
        m_capWidth.SetWindowText(NumberText(m_pBar->GetCapWidth()));

        CheckDlgButton(IDC_QD_EB_THROUGH, m_pBar->IsThroughSymbol());
        CheckDlgButton(IDC_QD_EB_APPLY_ALL, FALSE);
        CheckDlgButton(IDC_QD_EB_PLUS, m_pBar->IsDirectionPlus());
        CheckDlgButton(IDC_QD_EB_MINUS, m_pBar->IsDirectionMinus());
        CheckDlgButton(IDC_QD_EB_X, m_pBar->IsDirectionX());
        m_nRelative = m_pBar->IsDirectionRelative() ? 1 : 0;
        UpdateData(FALSE);
        return TRUE;
    }

    void OnOK() override
    {
        if (!UpdateData(TRUE))
            return;
        // Both widths are read before anything is written, so that a refused value
        // leaves the error bar as it was and the dialog open.
        double lineWidth, capWidth;
        if (!ReadWidth(m_lineWidth, &lineWidth) || !ReadWidth(m_capWidth, &capWidth))
            return;
        if (m_color.GetCurSel() >= 0)
            m_pBar->SetColor(m_color.GetCurSel());
        m_pBar->EnableOwnerColor(!IsDlgButtonChecked(IDC_QD_EB_COLOR_CHECK));
        m_pBar->SetLineWidth(lineWidth);
        m_pBar->SetCapWidth(capWidth);
        m_pBar->EnableThroughSymbol(IsDlgButtonChecked(IDC_QD_EB_THROUGH));
        m_pBar->EnableDirectionPlus(IsDlgButtonChecked(IDC_QD_EB_PLUS));
        m_pBar->EnableDirectionMinus(IsDlgButtonChecked(IDC_QD_EB_MINUS));
        m_pBar->EnableDirectionX(IsDlgButtonChecked(IDC_QD_EB_X));
        m_pBar->EnableDirectionRelative(m_nRelative == 1);
        m_pBar->UpdateData();
        if (IsDlgButtonChecked(IDC_QD_EB_APPLY_ALL))
            m_pBar->ApplyToAll();
        EndDialog(IDOK);
    }

    void OnColorCheck() { m_color.EnableWindow(IsDlgButtonChecked(IDC_QD_EB_COLOR_CHECK)); }
    void OnWorksheet() { EndDialog(IDC_QD_EB_WORKSHEET); }
    void OnDelete() { EndDialog(IDC_QD_EB_DELETE); }

    DECLARE_MESSAGE_MAP()

private:
    static CString NumberText(double value)
    {
        CQKCString text;
        text.NumToStr(value);
        return text.c_str();
    }

    // The width typed in the combo box; a text that is no number or a negative width is
    // refused with a message, and the focus goes back to the box.
    bool ReadWidth(CQULinewidthComBox& box, double* value)
    {
        CString text;
        box.GetWindowText(text);
        if (CQKCString((LPCTSTR)text).GetReal(value) && *value >= 0)
            return true;
        CString message, caption;
        message.LoadString(IDS_QD_WIDTH_NOT_A_NUMBER);
        caption.LoadString(IDS_QD_ATTENTION);
        MessageBox(message, caption, MB_OK | MB_ICONEXCLAMATION);
        box.SetFocus();
        return false;
    }

    CQKErrorBar* m_pBar;
    CQUColorComboBox m_color;
    CQULinewidthComBox m_lineWidth, m_capWidth;
};

BEGIN_MESSAGE_MAP(CQUErrorBarDialog, CDialog)
    ON_BN_CLICKED(IDC_QD_EB_COLOR_CHECK, OnColorCheck)
    ON_BN_CLICKED(IDC_QD_EB_WORKSHEET, OnWorksheet)
    ON_BN_CLICKED(IDC_QD_EB_DELETE, OnDelete)
END_MESSAGE_MAP()

} // namespace

int CQUErrorBar::DoDialog(CWnd*, int, UINT)
{
    CQUErrorBarDialog dialog(this);
    INT_PTR result = dialog.DoModal();
    if (result == IDC_QD_EB_WORKSHEET)
        OpenWorksheet();
    else if (result == IDC_QD_EB_DELETE)
        return DeleteFromLayer();
    return 0;
}

int CQUErrorBar::DeleteFromLayer()
{
    // Removing the error bar deletes this object: everything needed is taken first and
    // no member is touched afterwards.
    CQKLayer* layer = GetValidLayer();
    if (!layer)
        return 0;
    const int id = GetId();
    CQKDataset* data = GetData();
    const CString name = data ? data->GetName().c_str() : "";
    CQKPage* page = layer->GetValidPagePtr();
    const bool graph = page && page->GetType() == QK_PAGE_GRAPH;

    if (!data || IsDatasetExternal()) {
        if (!graph)
            return 0;
        layer->RemoveDataObj(id);
        return QU_ERRORBAR_REMOVED;
    }
    CString format, text, caption;
    format.LoadString(graph ? IDS_QD_DELETE_FROM_GRAPH : IDS_QD_DELETE_FROM_WKS);
    text.Format(format, (LPCTSTR)name);
    caption.LoadString(IDS_QD_ATTENTION);
    int answer = ::MessageBoxA(nullptr, text, caption,
                               (graph ? MB_YESNOCANCEL : MB_YESNO) | MB_ICONQUESTION | MB_TASKMODAL);
    if (answer == IDYES) {
        layer->DeleteDataObj(id);
        return QU_ERRORBAR_REMOVED;
    }
    if (answer == IDNO && graph) {
        layer->RemoveDataObj(id);
        return QU_ERRORBAR_REMOVED;
    }
    return 0;
}
