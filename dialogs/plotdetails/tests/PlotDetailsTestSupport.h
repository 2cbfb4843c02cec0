// What the Plot Details tests share: the dialog behind a window and a tree item's text.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "PlotDetailsMain.h"

inline CQUPlotDetailsMain* Dialog(HWND h)
{
    return DYNAMIC_DOWNCAST(CQUPlotDetailsMain, CWnd::FromHandlePermanent(h));
}

inline std::string ItemText(HWND tree, HTREEITEM item)
{
    char text[128] = "";
    TVITEMA tv = {};
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = text;
    tv.cchTextMax = sizeof text;
    SendMessageA(tree, TVM_GETITEMA, 0, (LPARAM)&tv);
    return text;
}
