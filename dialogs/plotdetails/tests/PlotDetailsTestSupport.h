// What the Plot Details tests share: the dialog behind a window and a tree item's text.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "PlotDetailsMain.h"
#include "QKControls.h"

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

// A colour button of a page; null when the item is none.
inline CQKColorMenuButtonCtrl* ColorButton(HWND page, int id)
{
    return dynamic_cast<CQKColorMenuButtonCtrl*>(CWnd::FromHandlePermanent(GetDlgItem(page, id)));
}

// A colour (a QCOLOR) picked on a colour button, as from its menu.
inline void PickColor(HWND page, int id, int qcolor)
{
    SendDlgItemMessageA(page, id, QK_WM_COLORMENU_CHOOSE, (WPARAM)qcolor, 0);
}
