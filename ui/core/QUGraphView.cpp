#include "QUGraphView.h"

#include "QUGraphDoc.h"

#include "MainFrame.h"
#include "PrintDialogs.h"
#include "QKSysMethod.h"
#include "QKData.h"
#include "QKGraphObjects.h"

namespace {

const UINT kEditCopyPage = 34097;
const UINT kEditClear = 57632, kEditCopy = 57634, kEditCut = 57635, kEditPaste = 57637, kEditUndo = 57643;
// Delete of the selected object's context menu.
const UINT kObjectDelete = 36442;
const UINT kRotatePage = 37984;

} // namespace

IMPLEMENT_DYNCREATE(CQUGraphView, CQuorixView)
IMPLEMENT_DYNCREATE(CQULayoutView, CQUGraphView)

BEGIN_MESSAGE_MAP(CQUGraphView, CQuorixView)
    ON_WM_CREATE()
    ON_COMMAND(33024, OnViewZoomIn)
    ON_COMMAND(33025, OnViewZoomOut)
    ON_COMMAND(33027, OnViewFullPage)
    ON_UPDATE_COMMAND_UI(33024, OnUpdateWithPage)
    ON_UPDATE_COMMAND_UI(33025, OnUpdateWithPage)
    ON_UPDATE_COMMAND_UI(33027, OnUpdateWithPage)
    ON_COMMAND_EX_RANGE(33337, 33338, OnCursorZoom)
    ON_UPDATE_COMMAND_UI_RANGE(33337, 33338, OnUpdateWithPage)
    ON_COMMAND_EX_RANGE(34117, 34120, OnViewMode)
    ON_UPDATE_COMMAND_UI_RANGE(34117, 34120, OnUpdateViewMode)
    ON_COMMAND(38052, OnPlotDetailsOfPlot)
    ON_COMMAND(38057, OnHideDataPlot)
    ON_COMMAND(38058, OnShowAllDataPlots)
    ON_UPDATE_COMMAND_UI(38052, OnUpdatePlotCommand)
    ON_UPDATE_COMMAND_UI(38057, OnUpdatePlotCommand)
    ON_UPDATE_COMMAND_UI(38058, OnUpdateShowAllDataPlots)
    ON_COMMAND(37985, OnTogglePrintView)
    ON_UPDATE_COMMAND_UI(37985, OnUpdateTogglePrintView)
    ON_COMMAND_EX_RANGE(34144, 34191, OnGraphAnalysisScript)
    ON_COMMAND_EX(9999, OnGraphAnalysisScript)
    ON_COMMAND_EX_RANGE(32964, 32969, OnGraphScript)
    ON_COMMAND_EX_RANGE(35552, 35561, OnRotationScript)
    ON_UPDATE_COMMAND_UI(36084, OnUpdatePlotDetails)
    ON_UPDATE_COMMAND_UI(36099, OnUpdateZAxis)
    ON_UPDATE_COMMAND_UI(36102, OnUpdateZAxis)
    ON_UPDATE_COMMAND_UI(36105, OnUpdateZAxis)
    ON_UPDATE_COMMAND_UI(36085, OnUpdateGraphAnalysis)
    ON_UPDATE_COMMAND_UI_RANGE(34144, 34191, OnUpdateGraphAnalysis)
    ON_UPDATE_COMMAND_UI(9999, OnUpdateGraphAnalysis)
    ON_UPDATE_COMMAND_UI_RANGE(32964, 32969, OnUpdateGraphScript)
    ON_UPDATE_COMMAND_UI_RANGE(35552, 35561, OnUpdateGeneralScript)
    ON_COMMAND(kEditCopy, OnEditCopy)
    ON_COMMAND(kEditCopyPage, OnEditCopypage)
    ON_UPDATE_COMMAND_UI(kEditCopyPage, OnUpdateWithPage)
    ON_COMMAND(kEditCut, OnEditCut)
    ON_COMMAND(kEditPaste, OnEditPaste)
    ON_COMMAND(kEditClear, OnEditClear)
    ON_COMMAND(kObjectDelete, OnEditClear)
    ON_COMMAND(kEditUndo, OnEditUndo)
    ON_COMMAND(kRotatePage, OnRotatePage)
    ON_UPDATE_COMMAND_UI(kRotatePage, OnUpdateRotatePage)
    ON_UPDATE_COMMAND_UI(kEditCopy, OnUpdateHasSelection)
    ON_UPDATE_COMMAND_UI(kEditCut, OnUpdateHasSelection)
    ON_UPDATE_COMMAND_UI(kEditClear, OnUpdateHasSelection)
    ON_UPDATE_COMMAND_UI(kObjectDelete, OnUpdateHasSelection)
    ON_UPDATE_COMMAND_UI(kEditPaste, OnUpdateEditPaste)
    ON_UPDATE_COMMAND_UI(kEditUndo, OnUpdateEditUndo)
END_MESSAGE_MAP()

CQKGraphicLayer* CQUGraphView::GetActiveLayer()
{
    auto* graph = dynamic_cast<CQKGraphPage*>(GetPage());
    return graph ? graph->GetActiveLayer() : nullptr;
}

BOOL CQUGraphView::HasSimpleXYDataPlots()
{
    CQKGraphicLayer* layer = GetActiveLayer();
    if (layer == nullptr || layer->Is3DLayer())
        return FALSE;
    for (int i = 0; i < layer->GetNumPlots(); ++i) {
        CQKPlotObj* plot = layer->PlotObjByIndex(i, 1);
        if (!plot->Is3DPlot() && !plot->IsErrorBarPlot())
            return TRUE;
    }
    return FALSE;
}

void CQUGraphView::OnDraw(CDC* pDC)
{
    if (CQKPage* page = GetPage())
        page->IsActivePage(0);
    CQuorixView::OnDraw(pDC);
}

int CQUGraphView::OnPrepareDialog(CPrintInfo* pInfo)
{
    auto* dialog = new CQUGraphPrintDialog(FALSE, PD_ENABLEPRINTTEMPLATE, dynamic_cast<CQKGraphPage*>(GetPage()), this);
    dialog->m_pd.hDC = pInfo->m_pPD->m_pd.hDC;
    pInfo->m_pPD->m_pd.hDC = nullptr;
    delete pInfo->m_pPD;
    pInfo->m_pPD = dialog;
    QKSysMethodPrint& settings = qkfxGetQrxSystem().GetRefPrint();
    dialog->m_bGrayScale = settings.GetKeepDevColor();
    dialog->m_bSkipPoints = settings.GetSkipPlotPoint();
    dialog->m_nMaxPointsPerCurve = settings.GetMaxPlotPoints();
    dialog->m_bSimplifiedColors = settings.GetUseSimplifiedColorsOnColorPrinter();
    dialog->m_bMatrixPointsLimited = settings.GetMatrixSkipPoints();
    dialog->m_nMatrixMaxX = settings.GetMatrixXMaxPlotPoints();
    dialog->m_nMatrixMaxY = settings.GetMatrixYMaxPlotPoints();
    m_printPages.clear();
    return 1;
}

int CQUGraphView::SetPrintRange(CPrintInfo* pInfo)
{
    auto* dialog = dynamic_cast<CQUGraphPrintDialog*>(pInfo->m_pPD);
    if (dialog == nullptr)
        return 0;
    QKSysMethodPrint& settings = qkfxGetQrxSystem().GetRefPrint();
    settings.SetKeepDevColor(dialog->m_bGrayScale);
    settings.SetSkipPlotPoint(dialog->m_bSkipPoints);
    settings.SetUseSimplifiedColorsOnColorPrinter(dialog->m_bSimplifiedColors);
    settings.SetMaxPlotPoints(dialog->m_nMaxPointsPerCurve);
    settings.SetMatrixSkipPoints(dialog->m_bMatrixPointsLimited);
    settings.SetMatrixXMaxPlotPoints(dialog->m_nMatrixMaxX);
    settings.SetMatrixYMaxPlotPoints(dialog->m_nMatrixMaxY);
    m_printPages.clear();
    const int choice = dialog->GetPagesChoice();
    if (choice == 0) {
        m_printPages.push_back(GetPage());
    } else {
        CQKProject& project = qkfxGetProject();
        for (int i = 0; i < project.GetNumPages(); ++i) {
            CQKPage* page = project.GetPage(i);
            if (dynamic_cast<CQKGraphPage*>(page) == nullptr)
                continue;
            if (choice == 1 && (page->IsNoWnd() || page->IsHiddenPEWnd()))
                continue;
            m_printPages.push_back(page);
        }
    }
    pInfo->SetMaxPage((UINT)std::max<size_t>(1, m_printPages.size()));
    return 1;
}

CQKPage* CQUGraphView::GetPrintPage(UINT n)
{
    if (m_printPages.empty())
        return GetPage();
    return n >= 1 && n <= m_printPages.size() ? m_printPages[n - 1] : nullptr;
}

int CQUGraphView::PageSetupDialog(PRINTDLGA& printData, PAGESETUPDLGA& out)
{
    CPageSetupDialog dialog(PSD_DISABLEMARGINS, this);
    dialog.m_psd.hDevMode = printData.hDevMode;
    dialog.m_psd.hDevNames = printData.hDevNames;
    if (dialog.DoModal() != IDOK)
        return 2;
    out = dialog.m_psd;
    return 1;
}

void CQUGraphView::OnViewZoomIn()
{
    if (CQKPage* page = GetPage()) {
        page->ViewZoomIn();
        Invalidate();
    }
}

void CQUGraphView::OnViewZoomOut()
{
    if (CQKPage* page = GetPage()) {
        page->ViewZoomOut();
        Invalidate();
    }
}

void CQUGraphView::OnViewFullPage()
{
    if (CQKPage* page = GetPage()) {
        page->ViewFullPage();
        Invalidate();
    }
}

BOOL CQUGraphView::OnCursorZoom(UINT nID)
{
    if (CQKPage* page = GetPage()) {
        page->CursorZoom(nID == 33337 ? 1 : 0);
        Invalidate();
    }
    return TRUE;
}

// 34117 print preview, 34118 page, 34119 window, 34120 draft.
BOOL CQUGraphView::OnViewMode(UINT nID)
{
    if (CQKPage* page = GetPage()) {
        page->SetViewMode((int)(nID - 34117), 1);
        Invalidate();
    }
    return TRUE;
}

void CQUGraphView::OnUpdateViewMode(CCmdUI* pCmdUI)
{
    CQKPage* page = GetPage();
    pCmdUI->Enable(page != nullptr);
    pCmdUI->SetCheck(page != nullptr && page->GetViewMode() == (int)(pCmdUI->m_nID - 34117));
}

void CQUGraphView::OnTogglePrintView()
{
    if (CQKPage* page = GetPage()) {
        page->SetViewMode(!page->GetViewMode(), 1);
        Invalidate();
    }
}

void CQUGraphView::OnUpdateTogglePrintView(CCmdUI* pCmdUI)
{
    CQKPage* page = GetPage();
    pCmdUI->Enable(page != nullptr);
    pCmdUI->SetCheck(page != nullptr && page->GetViewMode() == 0);
}

void CQUGraphView::OnUpdateWithPage(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(GetPage() != nullptr);
}

int CQUGraphView::GetElementMenuPosition(CQKGrElement* element, BOOL* graphicObject)
{
    *graphicObject = FALSE;
    if (element == nullptr)
        return IsKindOf(RUNTIME_CLASS(CQULayoutView)) ? 6 : 3;
    if (dynamic_cast<CQKTextObj*>(element) != nullptr) {
        *graphicObject = TRUE;
        return 1;
    }
    int dimension = 0, part = 0;
    LayerOfElement(element, &dimension, &part);
    if (dynamic_cast<CQKAxes*>(element) != nullptr || dimension >= 0)
        return 0;
    if (auto* plot = dynamic_cast<CQKPlotObj*>(element))
        return plot->Is3DPlot() ? 9 : 4;
    return -1;
}

CQKPlotObj* CQUGraphView::GetPlotForCommand()
{
    CQKGrElement* element = GetCurrentGrElement();
    int dimension = 0, part = 0;
    LayerOfElement(element, &dimension, &part);
    auto* plot = dynamic_cast<CQKPlotObj*>(element);
    if (plot != nullptr && dimension < 0)
        return plot;
    CQKGraphicLayer* layer = GetActiveLayer();
    return layer != nullptr && layer->GetNumPlots() > 0 ? layer->PlotObjByIndex(0, 1) : nullptr;
}

void CQUGraphView::OnPlotDetailsOfPlot()
{
    OpenElementDialog(GetPlotForCommand());
}

void CQUGraphView::OnHideDataPlot()
{
    if (CQKPlotObj* plot = GetPlotForCommand()) {
        plot->SetShow(FALSE);
        Invalidate();
    }
}

void CQUGraphView::OnShowAllDataPlots()
{
    CQKGraphicLayer* layer = GetActiveLayer();
    if (layer == nullptr)
        return;
    for (int i = 0; i < layer->GetNumPlots(); ++i)
        layer->PlotObjByIndex(i, 1)->SetShow(TRUE);
    Invalidate();
}

void CQUGraphView::OnUpdatePlotCommand(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(GetPlotForCommand() != nullptr);
}

// Enabled while the active layer has a hidden plot.
void CQUGraphView::OnUpdateShowAllDataPlots(CCmdUI* pCmdUI)
{
    CQKGraphicLayer* layer = GetActiveLayer();
    BOOL hidden = FALSE;
    for (int i = 0; layer != nullptr && i < layer->GetNumPlots() && !hidden; ++i)
        hidden = !layer->PlotObjByIndex(i, 1)->IsShow();
    pCmdUI->Enable(hidden);
}

BOOL CQUGraphView::OnGraphScript(UINT nID)
{
    RunScript("GRAPH", nID);
    return TRUE;
}

BOOL CQUGraphView::OnGraphAnalysisScript(UINT nID)
{
    RunScript("GRANALY", nID);
    return TRUE;
}

BOOL CQUGraphView::OnRotationScript(UINT nID)
{
    RunScript(nullptr, nID);
    return TRUE;
}

void CQUGraphView::OnUpdatePlotDetails(CCmdUI* pCmdUI)
{
    CQKGraphicLayer* layer = GetActiveLayer();
    pCmdUI->Enable(layer != nullptr && layer->GetNumPlots() > 0 && QUIsCommandAvailable(nullptr, pCmdUI->m_nID));
}

// The Z axis's title and dialogs, for layers that have one.
void CQUGraphView::OnUpdateZAxis(CCmdUI* pCmdUI)
{
    CQKGraphicLayer* layer = GetActiveLayer();
    pCmdUI->Enable(layer != nullptr && layer->HasZAxis() && QUIsCommandAvailable(nullptr, pCmdUI->m_nID));
}

// The analysis commands and the fitter work on X-Y data of the active layer.
void CQUGraphView::OnUpdateGraphAnalysis(CCmdUI* pCmdUI)
{
    const char* group = pCmdUI->m_nID == 36085 ? nullptr : "GRANALY";
    pCmdUI->Enable(HasSimpleXYDataPlots() && QUIsCommandAvailable(group, pCmdUI->m_nID));
}

void CQUGraphView::OnUpdateGraphScript(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(QUIsCommandAvailable("GRAPH", pCmdUI->m_nID));
}

BEGIN_MESSAGE_MAP(CQULayoutView, CQUGraphView)
    ON_WM_CREATE()
    ON_UPDATE_COMMAND_UI(34012, OnUpdateAlwaysDisabled)
    ON_UPDATE_COMMAND_UI(34016, OnUpdateAlwaysDisabled)
END_MESSAGE_MAP()

// A layout has no window or template file of its own to save.
void CQULayoutView::OnUpdateAlwaysDisabled(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(FALSE);
}

CQKGraphPage* CQUGraphView::GetGraphPage()
{
    return dynamic_cast<CQKGraphPage*>(GetPage());
}

// The clipboard and undo keys of the graph window; the frame has no accelerators for them.
BOOL CQUGraphView::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN && pMsg->hwnd == m_hWnd && (GetKeyState(VK_CONTROL) & 0x8000)) {
        // A key whose command has nothing to work on passes on, as a grey menu item would.
        CQKGraphPage* page = GetGraphPage();
        const bool selection = page != nullptr && !page->GetSelectedObjects().empty();
        UINT id = 0;
        switch (pMsg->wParam) {
        case 'C': id = selection ? kEditCopy : 0; break;
        case 'X': id = selection ? kEditCut : 0; break;
        case 'V': id = page != nullptr && page->CanPaste() ? kEditPaste : 0; break;
        case 'Z': id = page != nullptr && page->CanUndo() ? kEditUndo : 0; break;
        }
        if (id != 0) {
            SendMessage(WM_COMMAND, id);
            return TRUE;
        }
    }
    return CQuorixView::PreTranslateMessage(pMsg);
}

void CQUGraphView::ReportEditFailure(const std::string& reason)
{
    if (!reason.empty())
        AfxMessageBox(reason.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

void CQUGraphView::OnEditCopy()
{
    std::string error;
    if (CQKGraphPage* page = GetGraphPage(); page != nullptr && !page->CopySelected(m_hWnd, &error))
        ReportEditFailure(error);
}

void CQUGraphView::OnEditCut()
{
    std::string error;
    CQKGraphPage* page = GetGraphPage();
    if (page == nullptr)
        return;
    if (!page->CopySelected(m_hWnd, &error)) {
        ReportEditFailure(error);
        return;
    }
    page->DeleteSelected();
    Invalidate(FALSE);
}

void CQUGraphView::OnEditPaste()
{
    std::string error;
    if (CQKGraphPage* page = GetGraphPage(); page != nullptr) {
        if (!page->PasteObjects(m_hWnd, &error))
            ReportEditFailure(error);
        Invalidate(FALSE);
    }
}

void CQUGraphView::OnEditClear()
{
    if (CQKGraphPage* page = GetGraphPage(); page != nullptr && page->DeleteSelected())
        Invalidate(FALSE);
}

void CQUGraphView::OnEditUndo()
{
    if (CQKGraphPage* page = GetGraphPage(); page != nullptr && page->Undo())
        Invalidate(FALSE);
}

void CQUGraphView::OnUpdateHasSelection(CCmdUI* pCmdUI)
{
    CQKGraphPage* page = GetGraphPage();
    pCmdUI->Enable(page != nullptr && !page->GetSelectedObjects().empty());
}

void CQUGraphView::OnUpdateEditPaste(CCmdUI* pCmdUI)
{
    CQKGraphPage* page = GetGraphPage();
    pCmdUI->Enable(page != nullptr && page->CanPaste());
}

void CQUGraphView::OnUpdateEditUndo(CCmdUI* pCmdUI)
{
    CQKGraphPage* page = GetGraphPage();
    pCmdUI->Enable(page != nullptr && page->CanUndo());
}

void CQUGraphView::OnRotatePage()
{
    if (CQKGraphPage* page = GetGraphPage(); page != nullptr && page->GetType() == QK_PAGE_GRAPH) {
        page->RotatePage();
        Invalidate();
    }
}

void CQUGraphView::OnUpdateRotatePage(CCmdUI* pCmdUI)
{
    CQKGraphPage* page = GetGraphPage();
    pCmdUI->Enable(page != nullptr && page->GetType() == QK_PAGE_GRAPH);
}

void CQUGraphView::OnEditCopypage()
{
    if (CQUGraphDoc* doc = DYNAMIC_DOWNCAST(CQUGraphDoc, GetDocument()))
        doc->CopyPage();
}
