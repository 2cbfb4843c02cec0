#include "QUWksView.h"

#include <algorithm>

#include "MainFrame.h"
#include "PrintDialogs.h"
#include "QKAccess.h"
#include "QKSelection.h"
#include "QKData.h"
#include "QUAccess.h"
#include "QUPages.h"
#include "QuorixApp.h"
#include "QuorixSrvrItem.h"
#include "SetValuesDlg.h"
#include "SortDlg.h"
#include "DialogResources.h"

IMPLEMENT_DYNCREATE(CQUWksDoc, CQuorixDoc)

COleServerItem* CQUWksDoc::OnGetEmbeddedItem()
{
    return new CQUWksSrvrItem(this);
}
IMPLEMENT_DYNCREATE(CQUWksView, CQuorixView)

namespace {

const UINT kShowGrid = 33090;

// The kernel's own worksheet commands: they run without a script.
bool IsKernelCommand(UINT id)
{
    return id == 36441 || id == 36442 || id == 36497 || (id >= 36444 && id <= 36446);
}

const UINT kSetColumnValues = 36433;
const UINT kSortRangeCustom = 36436;
const UINT kSortWorksheetCustom = 36463;

// Commands of the view itself: set values and the sorts.
bool IsViewCommand(UINT id)
{
    return id == kSetColumnValues || id == kSortRangeCustom || id == kSortWorksheetCustom ||
           (id >= 36448 && id <= 36451) || id == 36464 || id == 36465;
}

// A deep copy of a pop-up: the context menu is destroyed with everything in it once shown,
// and the main menu's Plot submenu must outlive it.
HMENU CopyPopup(HMENU source)
{
    HMENU copy = ::CreatePopupMenu();
    int n = ::GetMenuItemCount(source);
    for (int i = 0; i < n; ++i) {
        char text[256] = "";
        MENUITEMINFOA info = {sizeof info};
        info.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE | MIIM_STATE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text;
        if (!::GetMenuItemInfoA(source, (UINT)i, TRUE, &info))
            continue;
        if (info.hSubMenu != nullptr)
            info.hSubMenu = CopyPopup(info.hSubMenu);
        info.dwTypeData = text;
        ::InsertMenuItemA(copy, (UINT)i, TRUE, &info);
    }
    return copy;
}

} // namespace

CQKWksPage* CQUWksDoc::GetWksPage() const
{
    return dynamic_cast<CQKWksPage*>(GetPage());
}

CQUWksPage* CQUWksDoc::GetValidWksPage() const
{
    return dynamic_cast<CQUWksPage*>(GetPage());
}

CQUWksView* CQUWksDoc::get_first_QU_view() const
{
    POSITION pos = GetFirstViewPosition();
    return pos ? DYNAMIC_DOWNCAST(CQUWksView, GetNextView(pos)) : nullptr;
}

BEGIN_MESSAGE_MAP(CQUWksView, CQuorixView)
    ON_WM_ERASEBKGND()
    ON_WM_RBUTTONDOWN()
    ON_COMMAND_EX_RANGE(36416, 36863, OnWksInternals)
    ON_UPDATE_COMMAND_UI_RANGE(36416, 36863, OnUpdateWksInternals)
    ON_COMMAND_EX_RANGE(32816, 32879, OnWksAnalysis)
    ON_COMMAND_EX_RANGE(32896, 32943, OnWksAnalysis)
    ON_COMMAND_EX(9999, OnWksAnalysis)
    ON_UPDATE_COMMAND_UI_RANGE(32816, 32879, OnUpdateWksAnalysis)
    ON_UPDATE_COMMAND_UI_RANGE(32896, 32943, OnUpdateWksAnalysis)
    ON_UPDATE_COMMAND_UI(9999, OnUpdateWksAnalysis)
    ON_COMMAND_EX_RANGE(38753, 38768, OnColumnType)
    ON_COMMAND_EX_RANGE(38769, 38798, OnColumnMove)
    ON_UPDATE_COMMAND_UI_RANGE(38753, 38798, OnUpdateColumnCommand)
    ON_COMMAND(kShowGrid, OnShowGrid)
    ON_UPDATE_COMMAND_UI(kShowGrid, OnUpdateShowGrid)
END_MESSAGE_MAP()

CQKWksPage* CQUWksView::GetWksPage()
{
    return dynamic_cast<CQKWksPage*>(GetPage());
}

CQUWksPage* CQUWksView::GetValidWksPage()
{
    return dynamic_cast<CQUWksPage*>(GetPage());
}

CQKTablePage* CQUWksView::GetTablePage()
{
    return dynamic_cast<CQKTablePage*>(GetPage());
}

BOOL CQUWksView::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.style |= WS_VSCROLL | WS_HSCROLL;
    return CQuorixView::PreCreateWindow(cs);
}

BOOL CQUWksView::OnEraseBkgnd(CDC*)
{
    // The page paints every pixel of the window.
    return TRUE;
}

void CQUWksView::OnDraw(CDC* pDC)
{
    CQKTablePage* page = GetTablePage();
    if (pDC->IsPrinting()) {
        if (CQKWksPage* wks = dynamic_cast<CQKWksPage*>(page)) {
            CRect area(0, 0, pDC->GetDeviceCaps(HORZRES), pDC->GetDeviceCaps(VERTRES));
            wks->DrawPrintPage(pDC->GetSafeHdc(), area, m_nCurPrintPage);
        }
        OnFinishDC(pDC);
        return;
    }
    CRect client;
    GetClientRect(&client);
    if (page != nullptr && !client.IsRectEmpty())
        DrawThroughBitmap(page, pDC->GetSafeHdc(), client);
    // The base view began the paint's device context for the page; it ends here.
    OnFinishDC(pDC);
}

void CQUWksView::DrawThroughBitmap(CQKTablePage* page, HDC target, const CRect& client)
{
    // Drawn into a bitmap first and copied at once: the window never shows half a table.
    HDC memory = ::CreateCompatibleDC(target);
    HBITMAP bitmap = ::CreateCompatibleBitmap(target, client.Width(), client.Height());
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    page->OnBeginDC(memory, 0);
    page->PrepareDCForScreenDrawing(memory);
    page->SetDrawRect(client);
    page->SetClipBox(memory);
    page->Draw(memory, client);
    page->DrawScreenItems(memory);
    page->OnEndDC(memory, 0);
    ::BitBlt(target, 0, 0, client.Width(), client.Height(), memory, 0, 0, SRCCOPY);
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
}

LRESULT CQUWksView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    CQKTablePage* page = GetTablePage();
    if (page != nullptr && m_hWnd != nullptr) {
        // The drawing rectangle is the client area, known before the first paint.
        CRect client;
        ::GetClientRect(m_hWnd, &client);
        page->SetDrawRect(client);
        LRESULT result = 0;
        if (page->WindowProc(m_hWnd, message, wParam, lParam, &result))
            return result;
    }
    // The page has seen the message: the window's own handling, not a second offer to it.
    return CView::WindowProc(message, wParam, lParam);
}

int CQUWksView::FillValuesFromID(int id)
{
    CQKWksPage* page = GetWksPage();
    if (page == nullptr)
        return 0;
    HCURSOR old = ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
    BOOL done = page->OnWksCommands(id);
    ::SetCursor(old);
    return done ? 1 : 0;
}

BOOL CQUWksView::OnWksInternals(UINT nID)
{
    CQKWksPage* page = GetWksPage();
    if (IsViewCommand(nID)) {
        // A cell being typed into takes its text first, so the command sees it; text the
        // column refuses keeps the typing going instead.
        if (page == nullptr || !page->EndEdit(true))
            return TRUE;
        switch (nID) {
        case kSetColumnValues: SetColValues(); break;
        case kSortRangeCustom: OnWksSortCustom(FALSE); break;
        case kSortWorksheetCustom: OnWksSortCustom(TRUE); break;
        case 36448:
        case 36450: OnWksSort(TRUE, FALSE); break;
        case 36449:
        case 36451: OnWksSort(FALSE, FALSE); break;
        case 36464: OnWksSort(TRUE, TRUE); break;
        case 36465: OnWksSort(FALSE, TRUE); break;
        }
        return TRUE;
    }
    if (nID >= 36444 && nID <= 36446) {
        if (FillValuesFromID((int)nID))
            return TRUE;
    } else if (page != nullptr && page->OnWksCommands((int)nID)) {
        return TRUE;
    }
    if (CQuorixApp* app = GetQuorixApp())
        if (app->GetAccess() != nullptr)
            app->GetAccess()->run_command_from_resource_as_script("WKS", nID, nullptr);
    return TRUE;
}

BOOL CQUWksView::OnWksAnalysis(UINT nID)
{
    RunScript("WKSANALY", nID);
    return TRUE;
}

BOOL CQUWksView::OnColumnType(UINT nID)
{
    if (CQKWksPage* page = GetWksPage())
        page->OnWksCommands((int)nID);
    return TRUE;
}

BOOL CQUWksView::OnColumnMove(UINT nID)
{
    if (CQKWksPage* page = GetWksPage())
        page->OnWksCommands((int)nID);
    return TRUE;
}

void CQUWksView::OnShowGrid()
{
    if (CQKWksPage* page = GetWksPage())
        page->OnWksCommands((int)kShowGrid);
    else if (CQKTablePage* table = GetTablePage()) {
        table->m_showGrid = !table->m_showGrid;
        Invalidate(FALSE);
    }
}

void CQUWksView::OnUpdateWksInternals(CCmdUI* pCmdUI)
{
    if (IsViewCommand(pCmdUI->m_nID)) {
        CQKWksPage* page = GetWksPage();
        pCmdUI->Enable(page != nullptr && page->GetNumCols() > 0);
        return;
    }
    if (IsKernelCommand(pCmdUI->m_nID)) {
        pCmdUI->Enable(GetWksPage() != nullptr);
        return;
    }
    pCmdUI->Enable(QUIsCommandAvailable("WKS", pCmdUI->m_nID));
}

void CQUWksView::OnUpdateWksAnalysis(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(QUIsCommandAvailable("WKSANALY", pCmdUI->m_nID));
}

void CQUWksView::OnUpdateColumnCommand(CCmdUI* pCmdUI)
{
    UINT id = pCmdUI->m_nID;
    CQKWksPage* page = GetWksPage();
    bool known = (id >= 38754 && id <= 38760) || (id >= 38769 && id <= 38772);
    pCmdUI->Enable(known && page != nullptr && page->GetNumCols() > 0);
}

void CQUWksView::OnUpdateShowGrid(CCmdUI* pCmdUI)
{
    CQKTablePage* page = GetTablePage();
    pCmdUI->Enable(page != nullptr);
    pCmdUI->SetCheck(page != nullptr && page->m_showGrid ? 1 : 0);
}

// ---- printing --------------------------------------------------------------------------

int CQUWksView::OnPrepareDialog(CPrintInfo* pInfo)
{
    CQKWksPage* page = GetWksPage();
    if (page == nullptr)
        return 1;
    auto* dialog = new CQUWksPrintDialog(FALSE, PD_ENABLEPRINTTEMPLATE, this);
    dialog->m_pd.hDC = pInfo->m_pPD->m_pd.hDC;
    pInfo->m_pPD->m_pd.hDC = nullptr;
    delete pInfo->m_pPD;
    pInfo->m_pPD = dialog;
    // The selection, else what the window shows; columns and rows from 0, each last one
    // past the end.
    int c1, c2, r1, r2;
    if (page->m_selC1 > 0) {
        c1 = page->m_selC1 - 1;
        c2 = page->m_selC2;
        const bool wholeColumns = page->m_selR1 == 0 && page->m_selR2 == 0;
        r1 = wholeColumns ? 0 : page->m_selR1 - 1;
        r2 = wholeColumns ? page->GetNumDataRows() : page->m_selR2;
    } else {
        c1 = page->GetLeftColumn() - 1;
        c2 = std::min(page->GetNumCols(), page->GetLeftColumn() - 1 + std::max(1, page->GetVisibleColumns()));
        r1 = page->GetTopRow();
        r2 = std::min(page->GetNumDataRows(), page->GetTopRow() + std::max(1, page->GetVisibleRows()));
    }
    dialog->SetSelectionRange(c1, c2, r1, r2);
    dialog->SetFullRange(0, page->GetNumCols(), 0, page->GetNumDataRows());
    return 1;
}

int CQUWksView::SetPrintRange(CPrintInfo* pInfo)
{
    CQKWksPage* page = GetWksPage();
    auto* dialog = dynamic_cast<CQUWksPrintDialog*>(pInfo->m_pPD);
    if (page == nullptr || dialog == nullptr)
        return 0;
    int c1, c2, r1, r2;
    dialog->GetPrintRange(c1, c2, r1, r2);
    page->SetPrintRange(c1, c2, r1, r2);
    return 1;
}

void CQUWksView::OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo)
{
    CQuorixView::OnBeginPrinting(pDC, pInfo);
    CQKWksPage* page = GetWksPage();
    if (page == nullptr)
        return;
    // A direct print has had no dialog: the whole worksheet.
    if (dynamic_cast<CQUWksPrintDialog*>(pInfo->m_pPD) == nullptr)
        page->SetPrintRange(0, page->GetNumCols(), 0, page->GetNumDataRows());
    CRect area(0, 0, pDC->GetDeviceCaps(HORZRES), pDC->GetDeviceCaps(VERTRES));
    pInfo->SetMaxPage((UINT)std::max(1, page->LayoutPrintPages(pDC->GetSafeHdc(), area)));
}

int CQUWksView::GetPageSetupFlags(unsigned long& flags)
{
    char measure[4] = "0";
    ::GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IMEASURE, measure, sizeof measure);
    const int inches = measure[0] == '1';
    flags = PSD_ENABLEPAGESETUPTEMPLATE | PSD_MARGINS |
            (inches ? PSD_INTHOUSANDTHSOFINCHES : PSD_INHUNDREDTHSOFMILLIMETERS);
    return inches;
}

int CQUWksView::PageSetupDialog(PRINTDLGA& printData, PAGESETUPDLGA& out)
{
    CQKWksPage* page = GetWksPage();
    if (page == nullptr)
        return -1;
    unsigned long flags = 0;
    const int inches = GetPageSetupFlags(flags);
    CQUWksPageSetupDialog dialog(flags, this);
    // The page keeps its margins in hundredths of a millimetre.
    RECT margin;
    page->GetPageSetupMargin(margin);
    if (inches) {
        margin.left = MulDiv(margin.left, 1000, 2540);
        margin.top = MulDiv(margin.top, 1000, 2540);
        margin.right = MulDiv(margin.right, 1000, 2540);
        margin.bottom = MulDiv(margin.bottom, 1000, 2540);
    }
    dialog.m_psd.rtMargin = margin;
    dialog.m_bPrintHeader = page->IsPrintHeader();
    dialog.m_bPrintPageNumber = page->IsPrintPageNumber();
    dialog.m_psd.hDevMode = printData.hDevMode;
    dialog.m_psd.hDevNames = printData.hDevNames;
    if (dialog.DoModal() != IDOK)
        return 2;
    const RECT& m = dialog.m_psd.rtMargin;
    page->SetPageSetupMargin(m.left, m.top, m.right, m.bottom);
    page->SetPrinterHeader(dialog.m_bPrintHeader);
    page->SetPrinterPageNumber(dialog.m_bPrintPageNumber);
    out = dialog.m_psd;
    return 1;
}

void CQUWksView::OnWksSort(BOOL bAscending, BOOL bWholeWorksheet)
{
    CQKWksPage* page = GetWksPage();
    if (page == nullptr || page->GetNumCols() == 0)
        return;
    CQKDataset* column = page->GetColumn(page->m_selC1 >= 1 ? page->m_selC1 : 1);
    if (column == nullptr)
        return;
    std::string key = (bAscending ? "A: " : "D: ") + column->m_columnName;
    const char* keys[] = {key.c_str()};
    std::string why;
    CWaitCursor wait;
    if (!page->SortColumns(1, keys, FALSE, bWholeWorksheet, &why))
        AfxMessageBox(("The worksheet was not sorted: " + why).c_str(), MB_OK | MB_ICONEXCLAMATION);
}

void CQUWksView::OnWksSortCustom(BOOL bWholeWorksheet)
{
    CQKWksPage* page = GetWksPage();
    if (page == nullptr)
        return;
    if (!bWholeWorksheet && page->m_selC1 < 1) {
        AfxMessageBox(IDS_QU_SORT_NEEDS_DATA, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    CWinApp* app = AfxGetApp();
    CQUSortDlg dialog(page, GetTopLevelParent());
    dialog.m_missingAs = app ? (int)app->GetProfileInt("SortMissVar", "SortMissVarChoice", 0) : 0;
    dialog.m_scope = bWholeWorksheet ? 1 : 0;
    if (dialog.DoModal() == IDOK && app)
        app->WriteProfileInt("SortMissVar", "SortMissVarChoice", dialog.m_missingAs);
}

void CQUWksView::SetColValues()
{
    CQKWksPage* page = GetWksPage();
    if (page == nullptr || page->GetNumCols() == 0)
        return;
    int column = page->m_selC1 >= 1 ? page->m_selC1 : page->GetActiveColumn();
    if (page->GetColumn(column) == nullptr)
        return;
    CQUColumnSetValuesDialog dialog(page, column, GetTopLevelParent());
    dialog.DoModal();
}

int CQUWksView::GetSelectionMenuPosition(int hitKind)
{
    CQKTablePage* page = GetTablePage();
    if (page == nullptr)
        return -1;
    CQKTableElement* element = page->GetSelectionElement(hitKind);
    int position = element != nullptr ? element->GetContextmenuPos() : -1;
    // A workbook sheet's table is a kernel page of its own, whose elements name no menu:
    // the kind of its selection does.
    if (position < 0)
        position = hitKind == 0 ? 1 : hitKind == 4 ? 4 : page->GetSelectionKind();
    return position;
}

void CQUWksView::OnRButtonDown(UINT, CPoint point)
{
    CQKTablePage* page = GetTablePage();
    // While the page tracks the mouse (a selection or a width being dragged) the right
    // button is no click of its own.
    if (page == nullptr || ::GetCapture() == m_hWnd) {
        Default();
        return;
    }
    if (!page->EndEdit(true))
        return;
    // A click outside the selection selects what is under it, as the left button would.
    int column = 0, row = 0;
    int kind = page->HitTest(point.x, point.y, &column, &row);
    auto inColumns = [&] { return page->m_selC1 >= 1 && column >= page->m_selC1 && column <= page->m_selC2; };
    auto inRows = [&] { return page->m_selR1 >= 1 && row + 1 >= page->m_selR1 && row + 1 <= page->m_selR2; };
    switch (kind) {
    case 1:
        if (!(inColumns() && (page->m_selR1 == 0 || inRows())))
            page->SelectCells(column, row, column, row);
        break;
    case 2:
        if (!(inColumns() && page->m_selR1 == 0))
            page->SelectColumns(column, column);
        break;
    case 3:
        if (!(page->m_selWholeRows && inRows()))
            page->SelectRows(row, row);
        break;
    case 4:
        page->SelectColumns(1, std::max(1, page->GetNumCols()));
        break;
    }
    Invalidate(FALSE);
    UpdateWindow();
    int position = GetSelectionMenuPosition(kind);
    if (position < 0)
        return;
    int menuId = GetContextMenuID(&position);
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCE(menuId), RT_MENU);
    HMENU menu = module ? ::LoadMenuA(module, MAKEINTRESOURCE(menuId)) : nullptr;
    if (menu == nullptr)
        return;
    if (HMENU sub = ::GetSubMenu(menu, position)) {
        ModifyContextMenu(sub, (UINT)menuId, position);
        CPoint screen = point;
        ClientToScreen(&screen);
        CWnd* owner = AfxGetMainWnd() ? AfxGetMainWnd() : this;
        ::TrackPopupMenuEx(sub, TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, owner->m_hWnd, nullptr);
    }
    ::DestroyMenu(menu);
}

int CQUWksView::ModifyContextMenu(HMENU submenu, UINT menuId, int position)
{
    if (menuId != IDR_QU_WKS_CONTEXT ||
        !(position == 2 || position == 5 || position == 6 || position == 8 || position == 9))
        return 1;
    CQuorixApp* app = GetQuorixApp();
    HMENU plot = app ? app->GetPlotSubmenuFromExisting() : nullptr;
    if (plot == nullptr)
        return 1;
    char text[64] = "";
    ::GetMenuStringA(submenu, 0, text, sizeof text, MF_BYPOSITION);
    ::DeleteMenu(submenu, 0, MF_BYPOSITION);
    ::InsertMenuA(submenu, 0, MF_BYPOSITION | MF_POPUP | MF_STRING, (UINT_PTR)CopyPopup(plot), text);
    return 1;
}
