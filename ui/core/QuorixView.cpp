#include "QuorixView.h"

#include <algorithm>

#include "QKAccess.h"
#include "MainFrame.h"
#include "QKData.h"
#include "CoreResources.h"
#include "QKGraphObjects.h"
#include "QKScript.h"
#include "QUAccess.h"
#include "QrxMultiDocTemplate.h"
#include "QuorixApp.h"
#include "QuorixCntrItem.h"
#include "QuorixDoc.h"

IMPLEMENT_DYNCREATE(CQuorixView, CView)

namespace {

// The framework's standard frame icon, which page windows show.
const UINT STD_FRAME_ICON = 31234;
// Insert Object, and cancelling in-place editing as a container.
const UINT ID_OLE_INSERT_NEW = 57856, ID_CANCEL_EDIT_CNTR = 33984;
// "Failed to create object.  Make sure the object is entered in the system registry."
const UINT IDP_FAILED_TO_CREATE = 102;

CQKAccess* Kernel()
{
    CQuorixApp* app = GetQuorixApp();
    return app && app->GetAccess() ? (CQKAccess*)app->GetAccess() : qkfxGetAccess();
}

} // namespace

BEGIN_MESSAGE_MAP(CQuorixView, CView)
    ON_WM_SETFOCUS()
    ON_WM_SIZE()
    ON_COMMAND(ID_OLE_INSERT_NEW, OnInsertObject)
    ON_COMMAND(ID_CANCEL_EDIT_CNTR, OnCancelEditCntr)
    ON_WM_PAINT()
    ON_WM_KEYDOWN()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_RBUTTONDOWN()
    ON_COMMAND(ID_FILE_PRINT, CView::OnFilePrint)
    ON_COMMAND(ID_FILE_PRINT_DIRECT, CView::OnFilePrint)
    ON_UPDATE_COMMAND_UI(ID_FILE_PRINT, OnUpdatePrint)
    ON_UPDATE_COMMAND_UI(ID_FILE_PRINT_DIRECT, OnUpdatePrint)
    ON_COMMAND(ID_FILE_PRINT_PREVIEW, OnPrintPreview)
    ON_UPDATE_COMMAND_UI(ID_FILE_PRINT_PREVIEW, OnUpdatePrint)
    ON_COMMAND(ID_FILE_PRINT_SETUP, OnFilePageSetup)
    ON_COMMAND(36402, OnEditProperties)
    ON_COMMAND(33985, OnCancelEditSrvr)
    ON_UPDATE_COMMAND_UI(36402, OnUpdateEditProperties)
    ON_COMMAND(36403, OnLabelControl)
    ON_UPDATE_COMMAND_UI(36403, OnUpdateLabelControl)
    ON_COMMAND_EX_RANGE(1640, 3999, OnUserMenuItem)
    ON_UPDATE_COMMAND_UI_RANGE(1640, 3999, OnUpdateAlwaysEnabled)
    ON_COMMAND(33092, OnLayerFrame)
    ON_COMMAND_EX_RANGE(36080, 36351, OnGeneralScript)
    ON_COMMAND_EX_RANGE(35520, 35525, OnArrowScript)
    ON_COMMAND_EX_RANGE(35488, 35505, OnObjEditScript)
    ON_COMMAND(36401, OnWorksheetFormula)
    ON_COMMAND_EX(37968, OnLayerIconCommand)
    ON_COMMAND_EX(37969, OnLayerIconCommand)
    ON_COMMAND_EX(37971, OnLayerIconCommand)
    ON_COMMAND_EX(37972, OnLayerIconCommand)
    ON_COMMAND_EX_RANGE(33232, 33407, OnPlotScript)
    ON_COMMAND_EX_RANGE(35568, 35583, On3DScript)
    ON_COMMAND_EX_RANGE(35536, 35542, OnMaskScript)
    ON_COMMAND_EX_RANGE(34976, 34987, OnToolboxTool)
    ON_UPDATE_COMMAND_UI_RANGE(34976, 34987, OnUpdateToolboxTool)
    ON_COMMAND(32993, OnHide)
    ON_COMMAND_EX_RANGE(33008, 33087, OnStandardScript)
    ON_COMMAND_EX_RANGE(33993, 34089, OnFileScript)
    ON_UPDATE_COMMAND_UI(36121, OnUpdateViewShowCommand)
    ON_UPDATE_COMMAND_UI(36122, OnUpdateViewShowCommand)
    ON_UPDATE_COMMAND_UI_RANGE(36080, 36351, OnUpdateGeneralScript)
    ON_UPDATE_COMMAND_UI_RANGE(35520, 35525, OnUpdateArrowScript)
    ON_UPDATE_COMMAND_UI_RANGE(35488, 35505, OnUpdateObjEditScript)
    ON_UPDATE_COMMAND_UI_RANGE(33232, 33359, OnUpdatePlotScript)
    ON_UPDATE_COMMAND_UI_RANGE(35568, 35583, OnUpdateGeneralScript)
    ON_UPDATE_COMMAND_UI_RANGE(35536, 35542, OnUpdateMaskScript)
    ON_UPDATE_COMMAND_UI_RANGE(33008, 33087, OnUpdateStandardScript)
    ON_UPDATE_COMMAND_UI_RANGE(33993, 34089, OnUpdateFileScript)
    ON_UPDATE_COMMAND_UI(33092, OnUpdateViewShowCommand)
    ON_UPDATE_COMMAND_UI(36401, OnUpdateKernelCommand)
END_MESSAGE_MAP()

CQuorixView::CQuorixView() = default;

BOOL CQuorixView::PreCreateWindow(CREATESTRUCT& cs)
{
    WNDCLASSA wc = {};
    HINSTANCE instance = AfxGetInstanceHandle();
    if (!::GetClassInfoA(instance, GetWindowClassName(), &wc)) {
        wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = instance;
        wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = (HBRUSH)::GetStockObject(LTGRAY_BRUSH);
        HINSTANCE iconModule = AfxFindResourceHandle(MAKEINTRESOURCE(STD_FRAME_ICON), RT_GROUP_ICON);
        wc.hIcon = iconModule ? ::LoadIcon(iconModule, MAKEINTRESOURCE(STD_FRAME_ICON)) : nullptr;
        if (wc.hIcon == nullptr)
            wc.hIcon = ::LoadIcon(nullptr, IDI_APPLICATION);
        wc.lpszClassName = GetWindowClassName();
        if (!::RegisterClassA(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
            return FALSE;
    }
    cs.lpszClass = GetWindowClassName();
    return CView::PreCreateWindow(cs);
}

LRESULT CQuorixView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // A double-click on a container item opens it (its primary verb) before the page sees
    // the click.
    if (message == WM_LBUTTONDBLCLK)
        if (COleClientItem* item = ItemAt(CPoint((short)LOWORD(lParam), (short)HIWORD(lParam)))) {
            item->DoVerb(OLEIVERB_PRIMARY, this);
            return 0;
        }
    // Keys reach the page through OnKeyDown, after the framework's accelerators.
    CQKPage* page = message == WM_KEYDOWN ? nullptr : GetPage();
    LRESULT result = 0;
    if (page != nullptr && page->WindowProc(m_hWnd, message, wParam, lParam, &result)) {
        // A click or drag the page took may have changed its selection or objects, which
        // the screen shows.
        if (message == WM_LBUTTONDOWN || message == WM_LBUTTONUP || message == WM_MOUSEMOVE)
            Invalidate(FALSE);
        // The text tool made a label: its dialog opens for the text, and Cancel takes the
        // label away again.
        if (auto* graph = dynamic_cast<CQKGraphPage*>(page); graph != nullptr && message == WM_LBUTTONDOWN)
            if (CQKTextObj* text = graph->TakeNewText()) {
                if (text->DoDialog(GetTopLevelParent(), 0, 0) != IDOK)
                    graph->Undo();
                Invalidate(FALSE);
            }
        return result;
    }
    return CView::WindowProc(message, wParam, lParam);
}

void CQuorixView::OnPaint()
{
    CWaitCursor wait;
    CQKPage* page = GetPage();
    if (page == nullptr) {
        CPaintDC dc(this);
        return;
    }
    CMDIFrameWnd* main = DYNAMIC_DOWNCAST(CMDIFrameWnd, AfxGetMainWnd());
    CMDIChildWnd* active = main ? main->MDIGetActive() : nullptr;
    int agreed = page->OnBeforePaint(active ? active->m_hWnd : nullptr);
    CPaintDC dc(this);
    if (agreed && !::IsRectEmpty(&dc.m_ps.rcPaint)) {
        OnPrepareDC(&dc, nullptr);
        OnDraw(&dc);
    }
}

void CQuorixView::OnPrepareDC(CDC* pDC, CPrintInfo* pInfo)
{
    if (pDC->IsPrinting() && pInfo != nullptr)
        m_nCurPrintPage = (int)pInfo->m_nCurPage;
    CQKPage* page = pDC->IsPrinting() ? GetPrintPage(m_nCurPrintPage) : GetPage();
    if (page == nullptr) {
        if (pInfo != nullptr)
            pInfo->m_bContinuePrinting = FALSE;
        return;
    }
    HDC dc = pDC->GetSafeHdc();
    page->OnBeginDC(dc, 0);
    if (pDC->IsPrinting()) {
        QKPrintInfo info;
        if (pInfo != nullptr) {
            info.curPage = pInfo->m_nCurPage;
            info.preview = pInfo->m_bPreview;
        }
        // The framework sets the drawing area only after this call: the printable area
        // is the printer's whole page in device units.
        info.rectDraw = {0, 0, pDC->GetDeviceCaps(HORZRES), pDC->GetDeviceCaps(VERTRES)};
        m_rectPrint = page->PrepareDCForPrinting(dc, info) ? CRect(info.pageRect) : CRect(info.rectDraw);
        UpdateToNextPage(pDC, pInfo);
    } else {
        CRect client;
        GetClientRect(&client);
        if (page->SetDrawRect(client))
            page->PrepareDCForScreenDrawing(dc);
    }
    if (pInfo != nullptr)
        CView::OnPrepareDC(pDC, pInfo);
}

void CQuorixView::OnDraw(CDC* pDC)
{
    CQKPage* page = pDC->IsPrinting() ? GetPrintPage(m_nCurPrintPage) : GetPage();
    if (page == nullptr)
        return;
    HDC dc = pDC->GetSafeHdc();
    page->SetClipBox(dc);
    if (pDC->IsPrinting()) {
        page->Draw(dc, m_rectPrint);
    } else {
        RECT rect;
        if (page->GetDrawRect(rect)) {
            page->Draw(dc, rect);
            page->DrawScreenItems(dc);
        }
    }
    draw_container_items(pDC);
    OnFinishDC(pDC);
}

void CQuorixView::OnFinishDC(CDC* pDC)
{
    CQKPage* page = pDC->IsPrinting() ? GetPrintPage(m_nCurPrintPage) : GetPage();
    if (page != nullptr)
        page->OnEndDC(pDC->GetSafeHdc(), 0);
}

BOOL CQuorixView::OnPreparePrinting(CPrintInfo* pInfo)
{
    OnPrepareDialog(pInfo);
    CQuorixApp* app = GetQuorixApp();
    PRINTDLGA& pd = pInfo->m_pPD->m_pd;
    // Without a printer the framework's preparation tells the user so.
    if (app == nullptr || !app->GetPrinterDeviceDefaults(&pd) || pd.hDevNames == nullptr)
        return DoPreparePrinting(pInfo);
    CDC dc;
    if (!app->GetPrinterDCIC(&dc, FALSE))
        return FALSE;
    dc.DeleteDC();
    // One page unless the kind's choices make more.
    pInfo->SetMinPage(1);
    pInfo->SetMaxPage(1);
    if (!DoPreparePrinting(pInfo))
        return FALSE;
    SetPrintRange(pInfo);
    return TRUE;
}

void CQuorixView::OnPrint(CDC* pDC, CPrintInfo* pInfo)
{
    if (CQKPage* page = GetPrintPage(m_nCurPrintPage)) {
        QKPrintInfo info;
        info.curPage = pInfo->m_nCurPage;
        info.preview = pInfo->m_bPreview;
        info.rectDraw = {0, 0, pDC->GetDeviceCaps(HORZRES), pDC->GetDeviceCaps(VERTRES)};
        info.pageRect = m_rectPrint;
        page->DrawHeaderFooters(pDC->GetSafeHdc(), info);
    }
    CView::OnPrint(pDC, pInfo);
    // After the page, whose background would cover them.
    DrawCropmarks(pDC, pInfo, m_rectPrint);
}

namespace {

void EnableMainWindowClose(BOOL enable)
{
    CWnd* main = AfxGetMainWnd();
    HMENU menu = main ? ::GetSystemMenu(main->m_hWnd, FALSE) : nullptr;
    if (menu != nullptr)
        ::EnableMenuItem(menu, SC_CLOSE, MF_BYCOMMAND | (enable ? MF_ENABLED : MF_GRAYED));
}

} // namespace

void CQuorixView::OnPrintPreview()
{
    // The main window stays open while the preview holds the view's print job.
    EnableMainWindowClose(FALSE);
    CView::OnFilePrintPreview();
    if (CPreviewView::FromPrintView(this) == nullptr) {
        EnableMainWindowClose(TRUE);
        return;
    }
    OnPrintPreviewOpen();
}

void CQuorixView::OnEndPrintPreview(CDC* pDC, CPrintInfo* pInfo, POINT point, CPreviewView* pView)
{
    CView::OnEndPrintPreview(pDC, pInfo, point, pView);
    EnableMainWindowClose(TRUE);
}

// Pages that draw themselves print (graphs, layouts, worksheets); the others would print
// an empty sheet.
void CQuorixView::OnUpdatePrint(CCmdUI* pCmdUI)
{
    CQKPage* page = GetPage();
    pCmdUI->Enable(dynamic_cast<CQKGraphPage*>(page) != nullptr || dynamic_cast<CQKWksPage*>(page) != nullptr);
}

void CQuorixView::OnFilePageSetup()
{
    CQuorixApp* app = GetQuorixApp();
    if (app == nullptr)
        return;
    PRINTDLGA defaults;
    if (!app->GetPageSetupDefaults(defaults))
        return;
    PAGESETUPDLGA setup = {sizeof setup};
    int answer = PageSetupDialog(defaults, setup);
    if (answer == -1)
        app->OnFilePrintSetup();
    else if (answer == 1)
        app->SelectPrinter(setup.hDevNames, setup.hDevMode);
}

void CQuorixView::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    CQKPage* page = GetPage();
    if (page != nullptr && page->OnKeyDown(nChar, nRepCnt, nFlags)) {
        Invalidate(FALSE);
        return;
    }
    Default();
}

CQKGrElement* CQuorixView::GetCurrentGrElement()
{
    CQKPage* page = GetPage();
    return page ? page->GetStoredGrElement() : nullptr;
}

namespace {

// The axes object of a dimension in the layer, made the first time its dialog is asked
// for, and set to the dimension's committed record.
CQKAxes* AxesOf(CQKGraphicLayer* layer, int axisType)
{
    CQKAxes* axes = nullptr;
    for (int id : layer->GetObjectIds()) {
        auto* candidate = dynamic_cast<CQKAxes*>(layer->GetObject(id));
        if (candidate && CQKGraphicLayer::GetAxesID(candidate->GetAxesType()) == CQKGraphicLayer::GetAxesID(axisType))
            axes = candidate;
    }
    if (axes == nullptr) {
        axes = layer->GetValidPagePtr()->PgCreateCQKAxes();
        if (axes == nullptr)
            return nullptr;
        layer->AddObject(axes);
    }
    layer->GetAxes(axes, axisType);
    return axes;
}

} // namespace

CQKGraphicLayer* CQuorixView::LayerOfElement(CQKGrElement* element, int* dimension, int* part)
{
    *dimension = -1;
    // The parts of an axis live in their layer's axis records, not among its objects.
    auto* graph = dynamic_cast<CQKGraphPage*>(GetPage());
    for (int i = 0; graph != nullptr && i < graph->GetNumLayers(); ++i) {
        CQKGraphicLayer* layer = graph->GetLayerByIndex(i, 1);
        if (layer != nullptr && layer->FindAxisPart(element, *dimension, *part))
            return layer;
    }
    *dimension = -1;
    return element ? dynamic_cast<CQKGraphicLayer*>(element->GetValidLayer()) : nullptr;
}

int CQuorixView::OpenElementDialog(CQKGrElement* element)
{
    if (element == nullptr)
        return 0;
    int dimension = 0, part = 0;
    CQKGraphicLayer* layer = LayerOfElement(element, &dimension, &part);
    auto* graph = layer ? dynamic_cast<CQKGraphPage*>(layer->GetValidPagePtr()) : nullptr;
    int opened = 1;
    // Modal dialogs belong to the top-level window, not to this child window.
    CWnd* owner = GetTopLevelParent();
    if (auto* text = dynamic_cast<CQKTextObj*>(element)) {
        text->DoDialog(owner, 0, 0);
    } else if (auto* bar = dynamic_cast<CQKErrorBar*>(element)) {
        bar->DoDialog(owner, 0, 0);
    } else if (auto* axes = dynamic_cast<CQKAxes*>(element)) {
        axes->DoDialog(owner, 0, 0);
    } else if (dimension >= 0) {
        const int types[] = {QK_AXIS_X, QK_AXIS_Y, QK_AXIS_Z};
        const int kScalePage = 0, kLabelsPage = 4;
        CQKAxes* axes = AxesOf(layer, types[dimension]);
        if (axes == nullptr)
            return 0;
        axes->DoDialog(owner, part == 2 || part == 3 ? kLabelsPage : kScalePage, 0);
    } else if (auto* plot = dynamic_cast<CQKPlotObj*>(element); plot != nullptr && graph != nullptr) {
        graph->PlotDetailsDialog(plot, 2, 0);
    } else {
        opened = 0;
    }
    if (opened)
        Invalidate(FALSE);
    return opened;
}

void CQuorixView::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    // With Ctrl, a double click on a point of a plot opens Plot Details on that point
    // alone: a special point, drawn in a look of its own.
    if ((nFlags & MK_CONTROL) && OpenSpecialPointDialog(GetCurrentGrElement(), point))
        return;
    // The page has selected the element under the pointer; its dialog opens.
    if (!OpenElementDialog(GetCurrentGrElement()))
        Default();
}

BOOL CQuorixView::OpenSpecialPointDialog(CQKGrElement* element, CPoint point)
{
    auto* plot = dynamic_cast<CQKPlotObj*>(element);
    auto* graph = dynamic_cast<CQKGraphPage*>(GetPage());
    if (!plot || !graph || plot->Is3DPlot())
        return FALSE;
    const int row = graph->FindDataPointRow(point.x, point.y, plot);
    CQKPlotObj* special = row >= 0 ? plot->CreateSpecialPoint(row) : nullptr;
    if (!special)
        return FALSE;
    // The dialog keeps the point: it deletes it with its other working copies.
    graph->PlotDetailsDialog(special, 2, 0);
    Invalidate(FALSE);
    return TRUE;
}

UINT CQuorixView::GetContextMenuFor(CQKGrElement* element, int* position)
{
    BOOL graphicObject = FALSE;
    *position = GetElementMenuPosition(element, &graphicObject);
    if (*position < 0)
        return 0;
    if (graphicObject)
        return IDR_QU_OBJECT_CONTEXT;
    int id = GetContextMenuID(position);
    return id > 0 ? (UINT)id : 0;
}

int CQuorixView::bring_up_context_menu(int position, UINT menuId, CPoint& point)
{
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCE(menuId), RT_MENU);
    HMENU menu = module ? ::LoadMenuA(module, MAKEINTRESOURCE(menuId)) : nullptr;
    if (menu == nullptr)
        return 0;
    HMENU sub = ::GetSubMenu(menu, position);
    CPoint screen = point;
    ClientToScreen(&screen);
    int shown = 0;
    if (sub != nullptr) {
        TPMPARAMS exclude = {sizeof exclude, {screen.x - 3, screen.y - 3, screen.x + 3, screen.y + 3}};
        CWnd* owner = AfxGetMainWnd() ? AfxGetMainWnd() : this;
        // Its answer says only whether an item was chosen; the menu was shown either way.
        ::TrackPopupMenuEx(sub, TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, owner->m_hWnd, &exclude);
        shown = 1;
    }
    ::DestroyMenu(menu);
    return shown;
}

void CQuorixView::OnRButtonDown(UINT nFlags, CPoint point)
{
    CQKPage* page = GetPage();
    // Drawing tools keep the right button for themselves.
    if (page != nullptr && Kernel()->GetCheckedToolNumber() < 1) {
        // The element under the pointer becomes the selection, as a click would make it.
        CQKGrElement* element = page->FindGrElement(point.x, point.y);
        page->SetStoredGrElement(element);
        page->SetCurrentPoint(point);
        Invalidate(FALSE);
        int position = 0;
        if (UINT menuId = GetContextMenuFor(element, &position))
            bring_up_context_menu(position, menuId, point);
    }
    Default();
}

void CQuorixView::OnEditProperties()
{
    OpenElementDialog(GetCurrentGrElement());
}

void CQuorixView::OnCancelEditSrvr()
{
    if (COleServerDoc* doc = DYNAMIC_DOWNCAST(COleServerDoc, GetDocument()))
        doc->OnDeactivateUI(FALSE);
}

void CQuorixView::OnUpdateEditProperties(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(GetPage() != nullptr);
}

// Label Control: the selected text's dialog at its label-control page.
void CQuorixView::OnLabelControl()
{
    if (auto* text = dynamic_cast<CQKTextObj*>(GetCurrentGrElement())) {
        text->DoDialog(GetTopLevelParent(), 0, 1);
        Invalidate(FALSE);
    }
}

void CQuorixView::OnUpdateLabelControl(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(dynamic_cast<CQKTextObj*>(GetCurrentGrElement()) != nullptr);
}

CQuorixDoc* CQuorixView::GetQuorixDoc() const
{
    return DYNAMIC_DOWNCAST(CQuorixDoc, m_pDocument);
}

CQKPage* CQuorixView::GetPage()
{
    CQuorixDoc* doc = GetQuorixDoc();
    return doc ? doc->GetPage() : nullptr;
}

int CQuorixView::GetWndTemplateId()
{
    CQrxMultiDocTemplate* t = m_pDocument ? DYNAMIC_DOWNCAST(CQrxMultiDocTemplate, m_pDocument->GetDocTemplate()) : nullptr;
    return t ? t->get_template_id() : -1;
}

CChildFrame* CQuorixView::get_parent_child_frame() const
{
    return DYNAMIC_DOWNCAST(CChildFrame, GetParentFrame());
}

void CQuorixView::OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView)
{
    CView::OnActivateView(bActivate, pActivateView, pDeactiveView);
    OnQUActivateView(bActivate, pActivateView, pDeactiveView);
}

int CQuorixView::OnQUActivateView(BOOL bActivate, CView* pActivated, CView* pDeactivated)
{
    CQuorixView* activated = DYNAMIC_DOWNCAST(CQuorixView, pActivated);
    CQuorixView* deactivated = DYNAMIC_DOWNCAST(CQuorixView, pDeactivated);
    CQKPage* activePage = activated ? activated->GetPage() : nullptr;
    CQKPage* inactivePage = deactivated ? deactivated->GetPage() : nullptr;
    if (bActivate) {
        if (activePage != nullptr)
            activePage->OnActivate(inactivePage);
    } else if (inactivePage != nullptr) {
        inactivePage->OnDeactivate(activePage);
    }
    return 1;
}

int CQuorixView::DrawCropmarks(CDC* pDC, CPrintInfo*, const CRect& rect)
{
    CQKPage* page = pDC->IsPrinting() ? GetPrintPage(m_nCurPrintPage) : GetPage();
    if (page == nullptr || !page->IsShowCropmark())
        return 0;
    int left = rect.left, top = rect.top, right = rect.right - 1, bottom = rect.bottom - 1;
    int length = (int)(0.025 * std::min(bottom - top, right - left));
    CPen* old = (CPen*)pDC->SelectStockObject(BLACK_PEN);
    const POINT marks[4][3] = {
        {{left, top + length}, {left, top}, {left + length, top}},
        {{right - length, top}, {right, top}, {right, top + length}},
        {{right, bottom - length}, {right, bottom}, {right - length, bottom}},
        {{left, bottom - length}, {left, bottom}, {left + length, bottom}},
    };
    for (const auto& mark : marks) {
        pDC->MoveTo(mark[0]);
        pDC->LineTo(mark[1]);
        pDC->LineTo(mark[2]);
    }
    pDC->SelectObject(old);
    return 1;
}

int CQuorixView::RunScript(const char* group, UINT nID)
{
    CQuorixApp* app = GetQuorixApp();
    if (app == nullptr || app->GetAccess() == nullptr)
        return 0;
    return app->GetAccess()->run_command_from_resource_as_script(group, nID, nullptr);
}

BOOL CQuorixView::OnGeneralScript(UINT nID)
{
    // Each of these five tells its script which variant it is through one quick variable.
    if (nID >= 36115 && nID <= 36119)
        qkfxSetQuickVariable(200 + (int)(nID - 36115), 4);
    RunScript(nullptr, nID);
    return TRUE;
}

BOOL CQuorixView::OnArrowScript(UINT nID)
{
    if (!RunScript("ARROW", nID))
        ReportPlotFailure();
    Invalidate(FALSE);
    return TRUE;
}

BOOL CQuorixView::OnObjEditScript(UINT nID)
{
    if (!RunScript("OBJEDIT", nID))
        ReportPlotFailure();
    Invalidate(FALSE);
    return TRUE;
}

BOOL CQuorixView::On3DScript(UINT nID)
{
    if (!RunScript(nullptr, nID))
        ReportPlotFailure();
    return TRUE;
}

void CQuorixView::ReportPlotFailure()
{
    // A plot the data cannot make says why where the user looks, not only in the Results Log.
    const std::string& reason = qkfxGetScript().GetLastError();
    if (!reason.empty())
        AfxMessageBox(reason.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

BOOL CQuorixView::OnMaskScript(UINT nID)
{
    if (!RunScript("MASK", nID))
        ReportPlotFailure();
    Invalidate(FALSE);
    return TRUE;
}

int CQuorixView::on_script_commands_PLOT_ex(UINT nID, CQKLayer* layer)
{
    if (nID >= 33360 && nID <= 33407)
        return Kernel()->run_user_menu_script((int)nID, layer) == 0 ? 1 : 0;
    CQuorixApp* app = GetQuorixApp();
    if (app == nullptr || app->GetAccess() == nullptr)
        return 0;
    const char* group = nID >= 33312 && nID <= 33336 ? "PlotProf" : "Plot";
    return app->GetAccess()->run_command_from_resource_as_script(group, nID, layer);
}

BOOL CQuorixView::OnPlotScript(UINT nID)
{
    if (!on_script_commands_PLOT_ex(nID, nullptr) && !(nID >= 33360 && nID <= 33407))
        ReportPlotFailure();
    return TRUE;
}

BOOL CQuorixView::OnUserMenuItem(UINT nID)
{
    Kernel()->ExecuteUserMenuItem((int)nID);
    return TRUE;
}

void CQuorixView::OnUpdateAlwaysEnabled(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(TRUE);
}

BOOL CQuorixView::OnLayerIconCommand(UINT nID)
{
    const char* script = nullptr;
    switch (nID) {
    case 37968: script = "layer -k c"; break;
    case 37969: script = "layer -d; clr"; break;
    case 37971: script = "layer"; break;
    case 37972: script = "layer -k p"; break;
    }
    if (script != nullptr)
        Kernel()->execute_script(script, 0);
    return TRUE;
}

void CQuorixView::OnWorksheetFormula()
{
    Kernel()->execute_script("worksheet -e f", 0);
}

void CQuorixView::OnLayerFrame()
{
    Kernel()->execute_script("layer -b frame -1", 0);
    Invalidate(FALSE);
}

BOOL CQuorixView::OnToolboxTool(UINT nID)
{
    Kernel()->SetCheckedToolNumber((int)(nID - 34976));
    return TRUE;
}

void CQuorixView::OnUpdateToolboxTool(CCmdUI* pCmdUI)
{
    if (GetPage() == nullptr) {
        pCmdUI->Enable(FALSE);
        return;
    }
    // Tools the page does not work with are grey (a layout page has no data to read).
    const int tool = (int)(pCmdUI->m_nID - 34976);
    auto* graph = dynamic_cast<CQKGraphPage*>(GetPage());
    pCmdUI->Enable(graph != nullptr ? graph->IsToolboxToolAvailable(tool) : tool == 0);
    pCmdUI->SetCheck(pCmdUI->m_nID == (UINT)(34976 + Kernel()->GetCheckedToolNumber()) ? 1 : 0);
}

void CQuorixView::OnHide()
{
    CQKPage* page = GetPage();
    if (page == nullptr)
        return;
    // The page is marked first: closing the window leaves this view behind.
    page->SetHiddenPEWnd(1);
    page->CloseWnd();
}

BOOL CQuorixView::OnStandardScript(UINT nID)
{
    if (CQuorixApp* app = GetQuorixApp())
        app->on_script_commands_STANDARD(nID);
    return TRUE;
}

BOOL CQuorixView::OnFileScript(UINT nID)
{
    if (CQuorixApp* app = GetQuorixApp())
        app->on_script_commands_FILE(nID);
    return TRUE;
}

// Each command range is grey where the kernel refuses the command or its string has no
// script: choosing it would do nothing.
void CQuorixView::OnUpdateGeneralScript(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(QUIsCommandAvailable(nullptr, pCmdUI->m_nID));
}

void CQuorixView::OnUpdateArrowScript(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(QUIsCommandAvailable("ARROW", pCmdUI->m_nID));
}

void CQuorixView::OnUpdateObjEditScript(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(QUIsCommandAvailable("OBJEDIT", pCmdUI->m_nID));
}

void CQuorixView::OnUpdatePlotScript(CCmdUI* pCmdUI)
{
    UINT nID = pCmdUI->m_nID;
    pCmdUI->Enable(QUIsCommandAvailable(nID >= 33312 && nID <= 33336 ? "PlotProf" : "Plot", nID));
}

void CQuorixView::OnUpdateMaskScript(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(QUIsCommandAvailable("MASK", pCmdUI->m_nID));
}

void CQuorixView::OnUpdateStandardScript(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(QUIsCommandAvailable("STANDARD", pCmdUI->m_nID));
}

void CQuorixView::OnUpdateFileScript(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(QUIsCommandAvailable("FILE", pCmdUI->m_nID));
}

// Commands that run a fixed script rather than their string's: grey while the kernel
// refuses them.
void CQuorixView::OnUpdateViewShowCommand(CCmdUI* pCmdUI)
{
    OnUpdateKernelCommand(pCmdUI);
    CQKPage* page = GetPage();
    pCmdUI->SetCheck(page != nullptr && page->CheckViewShowCommand((int)pCmdUI->m_nID));
}

void CQuorixView::OnUpdateKernelCommand(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(Kernel()->on_before_run_command(nullptr, (int)pCmdUI->m_nID) != 0);
}

// ---- container items ------------------------------------------------------------------

BOOL CQuorixView::IsSelected(const CObject* pDocItem) const
{
    return pDocItem != nullptr && pDocItem == m_pSelection;
}

void CQuorixView::OnInitialUpdate()
{
    CView::OnInitialUpdate();
    m_pSelection = nullptr;
}

void CQuorixView::draw_container_items(CDC* pDC)
{
    CQuorixDoc* doc = GetQuorixDoc();
    if (doc == nullptr)
        return;
    if (m_pSelection == nullptr) {
        POSITION pos = doc->GetStartPosition();
        m_pSelection = doc->GetNextClientItem(pos);
    }
    if (m_pSelection != nullptr)
        m_pSelection->Draw(pDC, CRect(10, 10, 210, 210));
}

COleClientItem* CQuorixView::ItemAt(CPoint point)
{
    if (m_pSelection == nullptr || GetPage() == nullptr)
        return nullptr;
    CRect place(10, 10, 210, 210);
    CClientDC dc(this);
    OnPrepareDC(&dc, nullptr);
    dc.LPtoDP(&place);
    OnFinishDC(&dc);
    place.NormalizeRect();
    return place.PtInRect(point) ? m_pSelection : nullptr;
}

void CQuorixView::OnInsertObject()
{
    COleInsertDialog dialog;
    if (dialog.DoModal() != IDOK)
        return;
    CQuorixDoc* doc = GetQuorixDoc();
    if (doc == nullptr)
        return;
    CWaitCursor wait;
    auto* item = new CQuorixCntrItem(doc);
    if (!dialog.CreateItem(item)) {
        item->Delete();
        AfxMessageBox(IDP_FAILED_TO_CREATE);
        return;
    }
    if (dialog.GetSelectionType() == COleInsertDialog::createNewItem)
        item->DoVerb(OLEIVERB_SHOW, this);
    m_pSelection = item;
    doc->UpdateAllViews(nullptr);
}

void CQuorixView::OnCancelEditCntr()
{
    CQuorixDoc* doc = GetQuorixDoc();
    if (COleClientItem* item = doc != nullptr ? doc->GetInPlaceActiveItem(this) : nullptr)
        item->Close();
}

void CQuorixView::OnSetFocus(CWnd* pOldWnd)
{
    CQuorixDoc* doc = GetQuorixDoc();
    COleClientItem* item = doc != nullptr ? doc->GetInPlaceActiveItem(this) : nullptr;
    if (item != nullptr && item->GetItemState() == COleClientItem::activeUIState)
        if (CWnd* wnd = item->GetInPlaceWindow()) {
            wnd->SetFocus();
            return;
        }
    CView::OnSetFocus(pOldWnd);
}

void CQuorixView::OnSize(UINT nType, int cx, int cy)
{
    CView::OnSize(nType, cx, cy);
    CQuorixDoc* doc = GetQuorixDoc();
    if (COleClientItem* item = doc != nullptr ? doc->GetInPlaceActiveItem(this) : nullptr)
        item->SetItemRects();
}
