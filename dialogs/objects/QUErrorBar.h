// Error bars as the user interface creates them: their dialog "Error Bar Options".
#pragma once

#include "QDExport.h"
#include "QKGraphObjects.h"

// What DoDialog answers when the error bar no longer exists afterwards (it was removed
// from its layer), so that the caller drops its pointer.
const int QU_ERRORBAR_REMOVED = 1105;

class QD_API CQUErrorBar : public CQKErrorBar
{
public:
    // Runs the dialog; "Worksheet" then opens the data's worksheet, "Delete" removes the
    // error bar (and, when the user agrees, its dataset). 0, or QU_ERRORBAR_REMOVED.
    int DoDialog(CWnd* parent, int startPage, UINT flags) override;

private:
    int DeleteFromLayer();
};
