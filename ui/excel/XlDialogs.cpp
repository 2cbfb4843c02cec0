// The dialogs of the Excel link.
#include "XlDialogs.h"

#include "ExcelRes.h"

namespace {

HINSTANCE ThisModule()
{
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       (LPCSTR)&ThisModule, &module);
    return module;
}

bool Contains(const CStringArray& names, const CString& name)
{
    for (int i = 0; i < names.GetSize(); ++i)
        if (names[i].CompareNoCase(name) == 0)
            return true;
    return false;
}

} // namespace

XlResourceScope::XlResourceScope() : m_previous(AfxGetResourceHandle())
{
    AfxSetResourceHandle(ThisModule());
}

XlResourceScope::~XlResourceScope()
{
    AfxSetResourceHandle(m_previous);
}

/////////////////////////////////////////////////////////////////////////////
// Associate Excel Worksheet

BOOL CXlConnectLayerDlg::s_bSaveCancelled = FALSE;
BOOL CXlConnectLayerDlg::s_bUpdateCancelled = FALSE;

BEGIN_MESSAGE_MAP(CXlConnectLayerDlg, CDialog)
    ON_LBN_SELCHANGE(IDC_XL_CONNECT_SHEETS, OnSelectSheet)
    ON_BN_CLICKED(IDC_XL_CONNECT_REMOVE, OnRemove)
END_MESSAGE_MAP()

CXlConnectLayerDlg::CXlConnectLayerDlg(CQUxlView* view, CQKWksExternLayer* layer, CWnd* parent)
    : CDialog(IDD_XL_CONNECT_LAYER, parent), m_pView(view), m_pLayer(layer)
{
}

BOOL CXlConnectLayerDlg::Survey(CQUxlView* view, CStringArray& sheets, CStringArray& unassociated,
                                CQKWksExternLayer** orphan)
{
    unassociated.RemoveAll();
    *orphan = nullptr;
    CQUWksPageExternal* page = view->get_external_wks_page();
    if (!page || view->GetWorksheetNames(sheets) < 0)
        return FALSE;
    for (int i = 0; i < sheets.GetSize(); ++i)
        if (!page->FindLayer(sheets[i]))
            unassociated.Add(sheets[i]);
    for (int i = 0; i < page->GetNumLayers() && !*orphan; ++i)
        if (!Contains(sheets, page->GetLayer(i)->GetName().c_str()))
            *orphan = page->GetLayer(i);
    return TRUE;
}

void CXlConnectLayerDlg::PruneLayers(CQUxlView* view, const CStringArray& sheets)
{
    CQUWksPageExternal* page = view->get_external_wks_page();
    if (!page || sheets.GetSize() == 0)
        return;
    std::vector<CQKWksExternLayer*> marked;
    for (int i = 0; i < page->GetNumLayers(); ++i) {
        CQKWksExternLayer* layer = page->GetLayer(i);
        if (Contains(sheets, layer->GetName().c_str()))
            continue;
        CString message;
        message.Format(xlLoadString(IDS_XL_REMOVE_LAYER), layer->GetName().c_str());
        if (xlMessageBoxText(message, MB_OKCANCEL | MB_ICONQUESTION) == IDOK)
            marked.push_back(layer);
        else
            s_bSaveCancelled = TRUE;
    }
    // RemoveLayer keeps the page's last layer.
    for (CQKWksExternLayer* layer : marked)
        page->RemoveLayer(layer);
}

BOOL CXlConnectLayerDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_allSheets.Create(WS_CHILD | WS_DISABLED | LBS_SORT, CRect(10, 10, 20, 20), this, 0xFFFF);
    m_sheets.SubclassDlgItem(IDC_XL_CONNECT_SHEETS, this);
    if (!Refresh())
        EndDialog(IDCANCEL);
    return TRUE;
}

BOOL CXlConnectLayerDlg::Refresh()
{
    CStringArray sheets, unassociated;
    CQKWksExternLayer* orphan = nullptr;
    if (!Survey(m_pView, sheets, unassociated, &orphan)) {
        s_bSaveCancelled = TRUE;
        return FALSE;
    }
    m_allSheets.ResetContent();
    m_sheets.ResetContent();
    for (int i = 0; i < sheets.GetSize(); ++i)
        m_allSheets.AddString(sheets[i]);
    for (int i = 0; i < unassociated.GetSize(); ++i)
        m_sheets.AddString(unassociated[i]);
    if (unassociated.GetSize() == 0) {
        PruneLayers(m_pView, sheets);
        return FALSE;
    }
    if (!orphan)
        return FALSE;
    m_pLayer = orphan;
    CQUWksPageExternal* page = m_pView->get_external_wks_page();
    CString message;
    message.Format(xlLoadString(IDS_XL_CANNOT_FIND_SHEET), orphan->GetName().c_str(), page->GetName().c_str());
    SetDlgItemText(IDC_XL_CONNECT_TEXT, message);
    m_sheets.SetCurSel(0);
    SetDlgItemText(IDC_XL_CONNECT_NAME, unassociated[0]);
    GetDlgItem(IDC_XL_CONNECT_REMOVE)->EnableWindow(page->GetNumLayers() > 1);
    return TRUE;
}

void CXlConnectLayerDlg::OnSelectSheet()
{
    int i = m_sheets.GetCurSel();
    if (i < 0)
        return;
    CString name;
    m_sheets.GetText(i, name);
    SetDlgItemText(IDC_XL_CONNECT_NAME, name);
}

void CXlConnectLayerDlg::OnRemove()
{
    CQUWksPageExternal* page = m_pView->get_external_wks_page();
    if (page && m_pLayer)
        page->RemoveLayer(m_pLayer);
    m_pLayer = nullptr;
    if (!Refresh())
        EndDialog(IDCANCEL);
}

void CXlConnectLayerDlg::OnOK()
{
    CString name;
    GetDlgItemText(IDC_XL_CONNECT_NAME, name);
    name.TrimLeft();
    name.TrimRight();
    int i = m_sheets.FindStringExact(-1, name);
    if (name.IsEmpty() || i < 0) {
        xlMessageBox(IDS_XL_WRONG_SHEET_NAME, MB_OK);
        return;
    }
    CString exact;
    m_sheets.GetText(i, exact);
    m_pLayer->SetName((LPCTSTR)exact);
    EndDialog(IDOK);
}

void CXlConnectLayerDlg::OnCancel()
{
    s_bSaveCancelled = TRUE;
    s_bUpdateCancelled = TRUE;
    CDialog::OnCancel();
}

INT_PTR CQUxlView::OnCmExcelUpdateSheets()
{
    CXlConnectLayerDlg::s_bSaveCancelled = FALSE;
    CXlConnectLayerDlg::s_bUpdateCancelled = FALSE;
    INT_PTR result = IDCANCEL;
    for (;;) {
        CStringArray sheets, unassociated;
        CQKWksExternLayer* orphan = nullptr;
        if (!CXlConnectLayerDlg::Survey(this, sheets, unassociated, &orphan)) {
            CXlConnectLayerDlg::s_bSaveCancelled = TRUE;
            return IDCANCEL;
        }
        // Nothing to ask about: layers whose sheet is gone may go, and the dialog counts
        // as cancelled without a user's cancel.
        if (unassociated.GetSize() == 0) {
            CXlConnectLayerDlg::PruneLayers(this, sheets);
            return result;
        }
        if (!orphan)
            return result;
        XlResourceScope resources;
        CXlConnectLayerDlg dlg(this, orphan, m_hWnd ? this : nullptr);
        result = dlg.DoModal();
        if (result != IDOK)
            return result;
    }
}

BOOL CQUxlView::SetAutomaticExternalUpdate(int on, BOOL report)
{
    CQUWksPageExternal* page = get_external_wks_page();
    if (!page)
        return FALSE;
    if (on && !page->GetExternalName().empty() && qkuFileExistsAndIsReadOnly(page->GetExternalName().c_str())) {
        if (report)
            xlMessageBox(IDS_XL_READ_ONLY_LINK, MB_OK);
        return FALSE;
    }
    return page->SetAutomaticExternalUpdate(on);
}
