// Text labels as the user interface creates them: their dialog "Text Control".
#pragma once

#include "QDExport.h"
#include "QKGraphObjects.h"

class QD_API CQUTextObj : public CQKTextObj
{
public:
    // Runs the dialog; IDOK or IDCANCEL.
    int DoDialog(CWnd* parent, int startPage, UINT flags) override;
};
