#include "QuorixView.h"

#include <algorithm>

#include "QKAccess.h"
#include "MainFrame.h"
#include "QKData.h"
#include "QUAccess.h"
#include "QrxMultiDocTemplate.h"
#include "QuorixApp.h"
#include "QuorixDoc.h"

IMPLEMENT_DYNCREATE(CQuorixView, CView)

namespace {

// The framework's standard frame icon, which page windows show.
const UINT STD_FRAME_ICON = 31234;

CQKAccess* Kernel()
{
    CQuorixApp* app = GetQuorixApp();
    return app && app->GetAccess() ? (CQKAccess*)app->GetAccess() : qkfxGetAccess();
}

} // namespace

BEGIN_MESSAGE_MAP(CQuorixView, CView)
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
    ON_UPDATE_COMMAND_UI_RANGE(36080, 36351, OnUpdateGeneralScript)
    ON_UPDATE_COMMAND_UI_RANGE(35520, 35525, OnUpdateArrowScript)
    ON_UPDATE_COMMAND_UI_RANGE(35488, 35505, OnUpdateObjEditScript)
    ON_UPDATE_COMMAND_UI_RANGE(33232, 33359, OnUpdatePlotScript)
    ON_UPDATE_COMMAND_UI_RANGE(35568, 35583, OnUpdateGeneralScript)
    ON_UPDATE_COMMAND_UI_RANGE(35536, 35542, OnUpdateMaskScript)
    ON_UPDATE_COMMAND_UI_RANGE(33008, 33087, OnUpdateStandardScript)
    ON_UPDATE_COMMAND_UI_RANGE(33993, 34089, OnUpdateFileScript)
    ON_UPDATE_COMMAND_UI(33092, OnUpdateKernelCommand)
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

void CQuorixView::OnDraw(CDC*)
{
    // The kernel draws its pages when it has the drawing members; the window shows its
    // background until then.
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
    CQKPage* page = GetPage();
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
    RunScript("ARROW", nID);
    return TRUE;
}

BOOL CQuorixView::OnObjEditScript(UINT nID)
{
    RunScript("OBJEDIT", nID);
    return TRUE;
}

BOOL CQuorixView::On3DScript(UINT nID)
{
    RunScript(nullptr, nID);
    return TRUE;
}

BOOL CQuorixView::OnMaskScript(UINT nID)
{
    RunScript("MASK", nID);
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
    on_script_commands_PLOT_ex(nID, nullptr);
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
void CQuorixView::OnUpdateKernelCommand(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(Kernel()->on_before_run_command(nullptr, (int)pCmdUI->m_nID) != 0);
}
