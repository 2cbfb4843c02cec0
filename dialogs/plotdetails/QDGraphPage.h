// The graph page as the dialog library sees it: the kernel's graph page with its dialogs.
// The user interface's graph page derives from it.
#pragma once

#include "QDExport.h"
#include "QKData.h"
#include "QKGraphObjects.h"

class QD_API CQDGraphPage : public CQKGraphPage
{
public:
    CQDGraphPage(CQKProject* project, const std::string& name, QKPageType type = QK_PAGE_GRAPH);
    ~CQDGraphPage() override;

    // Opens Plot Details: type 0 on the whole page, 1 on a layer or plot (option 1 starts
    // on the layer's "Link Axes Scales" tab), 2 on a plot. Answers the dialog's result,
    // IDOK when Apply was pressed even if the dialog was then cancelled; 0 for another type.
    int PlotDetailsDialog(CQKBase* obj, int type, DWORD option) override;
    CQKAxes* PgCreateCQKAxes() override;
    CQKTextObj* PgCreateCQKTextObj() override;
};
