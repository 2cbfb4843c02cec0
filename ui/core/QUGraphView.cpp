#include "QUGraphView.h"

#include "MainFrame.h"
#include "QKData.h"
#include "QKGraphObjects.h"

IMPLEMENT_DYNCREATE(CQUGraphView, CQuorixView)
IMPLEMENT_DYNCREATE(CQULayoutView, CQUGraphView)

BEGIN_MESSAGE_MAP(CQUGraphView, CQuorixView)
    ON_COMMAND_EX_RANGE(34144, 34191, OnGraphAnalysisScript)
    ON_COMMAND_EX(9999, OnGraphAnalysisScript)
    ON_COMMAND_EX_RANGE(32964, 32969, OnGraphScript)
    ON_COMMAND_EX_RANGE(35552, 35561, OnRotationScript)
    ON_UPDATE_COMMAND_UI(36084, OnUpdatePlotDetails)
    ON_UPDATE_COMMAND_UI(36085, OnUpdateGraphAnalysis)
    ON_UPDATE_COMMAND_UI_RANGE(34144, 34191, OnUpdateGraphAnalysis)
    ON_UPDATE_COMMAND_UI(9999, OnUpdateGraphAnalysis)
    ON_UPDATE_COMMAND_UI_RANGE(32964, 32969, OnUpdateGraphScript)
    ON_UPDATE_COMMAND_UI_RANGE(35552, 35561, OnUpdateGeneralScript)
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
    ON_UPDATE_COMMAND_UI(34012, OnUpdateAlwaysDisabled)
    ON_UPDATE_COMMAND_UI(34016, OnUpdateAlwaysDisabled)
END_MESSAGE_MAP()

// A layout has no window or template file of its own to save.
void CQULayoutView::OnUpdateAlwaysDisabled(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(FALSE);
}
