// The workbook view as a window: creating and loading its workbook item, what it shows,
// its commands and its idle work.
#include "XlView.h"

#include "ExcelRes.h"
#include "XlDialogs.h"

BOOL CQUxlView::s_invalidInstallation = FALSE;

namespace {

// Commands of the workbook item's command target.
const DWORD kItemPrint = 6;      // OLECMDID_PRINT
const DWORD kItemPageSetup = 8;  // OLECMDID_PAGESETUP
const DWORD kDontPromptUser = 2; // OLECMDEXECOPT_DONTPROMPTUSER

} // namespace

BOOL CQUxlView::CreateNewExcelItem()
{
    CheckExcelInstallation(FALSE);
    static const struct {
        const wchar_t* progId;
        DWORD bit;
    } classes[] = {{L"Excel.Sheet.8", 0x01000000}, {L"Excel.Sheet.5", 0x02000000}};
    for (const auto& c : classes) {
        CLSID clsid;
        if (FAILED(CLSIDFromProgID(c.progId, &clsid)))
            continue;
        CxlCntrItem* item = new CxlCntrItem(GetDocument());
        ComputeItemExtent();
        BOOL made = FALSE;
        try {
            made = item->CreateNewItem(clsid);
        } catch (CException* e) {
            e->Delete();
        }
        if (!made) {
            item->Delete();
            continue;
        }
        AddExcelInstallationBit(c.bit);
        SetItem(item);
        BOOL ready = FALSE;
        try {
            ready = InitNewWorkbook();
            if (ready) {
                m_pItem->set_extent(m_itemExtent);
                if (m_bActivateNewExcel)
                    ActivateExcel();
            }
        } catch (CException* e) {
            e->Delete();
            ready = FALSE;
        }
        if (ready)
            return TRUE;
        SetItem(nullptr);
    }
    if (CheckExcelInstallation(TRUE))
        xlMessageBox(IDS_XL_CANNOT_LAUNCH, MB_OK);
    else
        s_invalidInstallation = TRUE;
    return FALSE;
}

BOOL CQUxlView::LoadNewExcelItemFromFile(const char* path, BOOL activate)
{
    CheckExcelInstallation(FALSE);
    CxlCntrItem* item = new CxlCntrItem(GetDocument());
    HRESULT hr = item->CreateFromFile(path);
    if (FAILED(hr)) {
        item->Delete();
        if (CheckExcelInstallation(TRUE))
            xlMessageBox(IDS_XL_CANNOT_LAUNCH, MB_OK);
        else
            s_invalidInstallation = TRUE;
        return FALSE;
    }
    SetItem(item);
    try {
        m_pItem->Run();
        ComputeItemExtent();
        m_pItem->set_extent(m_itemExtent);
    } catch (CException* e) {
        e->Delete();
    }
    if (activate)
        ActivateExcel();
    return TRUE;
}

BOOL CQUxlView::ActivateExcel()
{
    if (!m_pItem)
        return FALSE;
    m_pItem->SetxlView(this);
    if (m_pItem->m_lpObject && !::OleIsRunning(m_pItem->m_lpObject)) {
        try {
            m_pItem->Run();
        } catch (CException* e) {
            e->Delete();
        }
    }
    // A failure leaves the idle work to try again (a few times).
    return m_pItem->ActivateExcel(this);
}

void CQUxlView::DeactivateExcel()
{
    if (m_pItem && m_pItem->IsInPlaceActive())
        m_pItem->Deactivate();
}

void CQUxlView::DisplayExcelWkbook()
{
    m_bDisplayExcel = m_bDisplayExcel ? 0 : 1;
    if (m_pItem) {
        if (m_bDisplayExcel) {
            m_nIdleCount = 0;
            ActivateExcel();
        } else {
            DeactivateExcel();
        }
    }
    if (m_hWnd)
        Invalidate();
}

BOOL CQUxlView::OnInternalSetView()
{
    DisplayExcelWkbook();
    return TRUE;
}

DWORD CQUxlView::GetViewToolbarBits() const
{
    if (!m_pItem)
        return 0x200;
    return m_bDisplayExcel ? 128 : 256;
}

UINT CQUxlView::GetContextMenuID() const
{
    return m_bDisplayExcel ? 0 : 570;
}

int CQUxlView::GetXlPlotDlgState() const
{
    CQUWksPageExternal* page = get_external_wks_page();
    return page && !page->HasNoExternalDataSourceFile() ? 2 : 0;
}

BOOL CQUxlView::GetDropSourceIDString(CString& text) const
{
    CQUExcelDoc* doc = GetDocument();
    text = doc ? doc->GetPathName() : CString();
    return !text.IsEmpty();
}

void CQUxlView::OnIdle()
{
    CWnd* main = AfxGetMainWnd();
    if (m_bIdleReactivationDisabled || !m_pItem || !main || !main->IsWindowVisible())
        return;
    ++m_nIdleCount;
    if (m_nIdleCount <= 5 && m_bDisplayExcel && m_pItem->GetItemState() != 3 && m_pItem->GetItemState() != 4) {
        if (m_hWnd)
            PostMessage(WM_COMMAND, ID_XL_INPLACE_ACTIVATE);
        return;
    }
    if (m_nIdleCount <= 5)
        m_nIdleCount = 0;
}

void CQUxlView::OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView)
{
    m_bFirstActivation = 0;
    CQUWksView::OnActivateView(bActivate, pActivateView, pDeactiveView);
}

/////////////////////////////////////////////////////////////////////////////
// Commands

BEGIN_MESSAGE_MAP(CQUxlView, CQUWksView)
    ON_WM_SIZE()
    ON_COMMAND(ID_FILE_PRINT, OnItemCommandPrint)
    ON_COMMAND(ID_XL_APP_OPEN, OnExcelAppOpen)
    ON_COMMAND(ID_XL_INPLACE_ACTIVATE, OnExcelInPlaceActivate)
    ON_COMMAND(ID_XL_RENAME, OnCmExcelRename)
    ON_COMMAND(ID_XL_UPDATE_QUORIX, OnCmUpdateQuorix)
    ON_COMMAND(ID_XL_RUN_MACRO1, DriveExcel)
    ON_COMMAND(ID_XL_VIEW_EXCEL, WkbookExcelView)
    ON_UPDATE_COMMAND_UI(ID_XL_VIEW_EXCEL, UpdateUIWkbookExcelView)
    ON_COMMAND(ID_XL_VIEW_QUORIX, WkbookQuorixView)
    ON_UPDATE_COMMAND_UI(ID_XL_VIEW_QUORIX, UpdateUIWkbookQuorixView)
    ON_COMMAND(ID_XL_CHECK_DIRTY, OnCheckxlDirty)
    ON_COMMAND(ID_XL_CONVERT_TO_MATRIX, Convert2Matrix)
    ON_COMMAND_RANGE(33232, 33407, on_plot_commands)
    ON_COMMAND_RANGE(35568, 35583, on_plot_commands)
    ON_COMMAND(ID_XL_PAGE_SETUP, OnItemCommandPageSetup)
    ON_COMMAND(ID_XL_PRINT_DIRECT, OnItemCommandPrintDirect)
    ON_COMMAND(ID_FILE_PRINT_DIRECT, OnItemCommandPrintDirect)
    ON_UPDATE_COMMAND_UI(ID_XL_INPLACE_ACTIVATE, OnUpdateAlwaysEnabled)
    ON_UPDATE_COMMAND_UI(ID_FILE_PRINT, OnUpdateAlwaysEnabled)
    // Commands of worksheet windows that a workbook window has no use for, and a second
    // window on a workbook.
    ON_UPDATE_COMMAND_UI_RANGE(33051, 33052, OnUpdateAlwaysDisabled)
    ON_UPDATE_COMMAND_UI(ID_WINDOW_NEW, OnUpdateAlwaysDisabled)
END_MESSAGE_MAP()

void CQUxlView::OnUpdateAlwaysEnabled(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(TRUE);
}

void CQUxlView::OnUpdateAlwaysDisabled(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(FALSE);
}

void CQUxlView::OnItemCommandPrint()
{
    if (m_pItem)
        m_pItem->ExecuteActiveDocumentCommand(kItemPrint, 0);
}

void CQUxlView::OnItemCommandPrintDirect()
{
    if (m_pItem)
        m_pItem->ExecuteActiveDocumentCommand(kItemPrint, kDontPromptUser);
}

void CQUxlView::OnItemCommandPageSetup()
{
    if (m_pItem)
        m_pItem->ExecuteActiveDocumentCommand(kItemPageSetup, 0);
}

void CQUxlView::OnExcelAppOpen()
{
    // The spreadsheet's own window: asked a few times, as a starting server may refuse.
    if (!m_pItem)
        return;
    for (int tries = 0; tries < 3 && m_pItem->GetItemState() != COleClientItem::openState; ++tries) {
        try {
            m_pItem->Activate(OLEIVERB_OPEN, this);
        } catch (COleException* e) {
            if (tries == 2)
                m_pItem->ReportError(e->m_sc);
            e->Delete();
        }
    }
}

void CQUxlView::OnExcelInPlaceActivate()
{
    if (m_pItem)
        ActivateExcel();
}

void CQUxlView::OnCmUpdateQuorix()
{
    if (!m_pItem)
        return;
    OnCmExcelUpdateSheets();
    if (!CXlConnectLayerDlg::s_bUpdateCancelled)
        UpdateAssociatedWorkbook(0x10001);
}

void CQUxlView::DriveExcel()
{
    COleVariant result;
    RunRange("Macro1", "A1", result, 0, nullptr);
}

void CQUxlView::WkbookExcelView()
{
    if (!m_bDisplayExcel)
        DisplayExcelWkbook();
}

void CQUxlView::WkbookQuorixView()
{
    if (m_bDisplayExcel)
        DisplayExcelWkbook();
    RefreshSheetTable();
}

void CQUxlView::UpdateUIWkbookExcelView(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_pItem != nullptr);
    pCmdUI->SetCheck(m_bDisplayExcel ? 1 : 0);
}

void CQUxlView::UpdateUIWkbookQuorixView(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_pItem != nullptr);
    pCmdUI->SetCheck(m_bDisplayExcel ? 0 : 1);
}

void CQUxlView::Convert2Matrix()
{
    QXLSELECTION used{}, selected{};
    unsigned count = 1;
    CString sheet;
    BOOL ok = UpdateAssociatedActiveWorksheet(&used, TRUE) && GetSelection(&count, &selected, &sheet);
    // The block is where the used range and the selection meet.
    QXLSELECTION block{std::max(used.c1, selected.c1), std::min(used.c2, selected.c2),
                       std::max(used.r1, selected.r1), std::min(used.r2, selected.r2)};
    int cols = block.c2 - block.c1, rows = block.r2 - block.r1;
    CQUWksPageExternal* page = get_external_wks_page();
    CQKWksExternLayer* layer = page ? page->FindLayer(sheet) : nullptr;
    if (!ok || !layer || cols < 1 || rows < 1 || (cols == 1 && rows == 1)) {
        xlMessageBox(IDS_XL_SELECT_CONTIGUOUS, MB_OK);
        return;
    }
    CQKProject& project = qkfxGetProject();
    auto* matrix = static_cast<CQKMatrixPage*>(project.CreatePage(QK_PAGE_MATRIX));
    if (!matrix)
        return;
    if (!matrix->SetDimensions(rows, cols)) {
        project.DeletePage(matrix->GetName());
        return;
    }
    for (int c = 0; c < cols; ++c) {
        CQKDataset* column = layer->GetColumn(block.c1 + c);
        for (int r = 0; r < rows; ++r)
            matrix->SetCell(r + 1, c + 1, column ? column->GetValue(block.r1 + r) : MISSING_VALUE);
    }
}
