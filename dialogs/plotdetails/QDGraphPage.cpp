#include "QDGraphPage.h"

#include <new>

#include <afxwin.h>

#include "PlotDetailsMain.h"
#include "PlotDetailsResources.h"
#include "PlotDetailsTabChecker.h"
#include "QUAxes.h"
#include "QUTextObj.h"

CQDGraphPage::CQDGraphPage(CQKProject* project, const std::string& name, QKPageType type)
    : CQKGraphPage(project, name, type)
{
}

CQDGraphPage::~CQDGraphPage() = default;

int CQDGraphPage::PlotDetailsDialog(CQKBase* obj, int type, DWORD option)
{
    // The page's window, when the user interface has one, is the dialog's parent.
    CWnd* parent = AfxGetMainWnd();
    CQKBase* edited;
    UINT firstTab = 0;
    switch (type) {
    case 0: edited = this; break;
    case 1:
        edited = obj;
        if (option == 1)
            firstTab = IDD_PD_LAYER_LINK;
        break;
    case 2:
        edited = obj;
        // A function just added opens where its formula is typed.
        if (option == 1)
            if (auto* plot = dynamic_cast<CQKPlotObj*>(obj); plot && plot->GetPlotObjectType(0) == QK_PLOT_FUNCTION)
                plot->SetActiveTabID(PD_KIND_FUNCTION);
        break;
    default: return 0;
    }
    CQUPlotDetailsMain dialog(edited, type, parent, firstTab);
    if (type == 0 && (IsLayoutPage() || GetType() == QK_PAGE_LAYOUT))
        dialog.SetForLayoutPage(TRUE);
    INT_PTR result = dialog.DoModal();
    if (result == IDCANCEL && dialog.IsApplyClicked())
        result = IDOK;
    return (int)result;
}

CQKAxes* CQDGraphPage::PgCreateCQKAxes()
{
    return new (std::nothrow) CQUAxes;
}

CQKTextObj* CQDGraphPage::PgCreateCQKTextObj()
{
    return new (std::nothrow) CQUTextObj;
}
