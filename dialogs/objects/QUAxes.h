// Axes as the user interface creates them: their dialog, a property sheet of seven pages
// that edit one axis of one layer at a time.
#pragma once

#include "QDExport.h"
#include "QKGraphObjects.h"

class QD_API CQUAxes : public CQKAxes
{
public:
    // Runs the sheet, opening on tab startPage (0 Scale ... 6 Custom Tick Labels). What
    // OK and Apply wrote is the layer's; Cancel drops the rest. Answers TRUE.
    int DoDialog(CWnd* parent, int startPage, UINT flags) override;
    // The tab of a page id: 1 for 1012, 0 for any other.
    static int from_pageid_to_pagenum(int pageId);
};
