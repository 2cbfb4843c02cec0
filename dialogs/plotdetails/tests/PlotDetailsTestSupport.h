// What the Plot Details tests share: the dialog behind a window, a tree item's text, the
// property sheet's tabs, and a graph page of the kernel's data model to open the dialog on.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <qxtest/Pixels.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "PlotDetailsMain.h"
#include "QDGraphPage.h"
#include "QKCallLog.h"
#include "QKControls.h"
#include "QKData.h"
#include "QKPlotModel.h"

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

// The dialog's property sheet; null while it shows none.
inline HWND Sheet(HWND h)
{
    CQUPDPropertySheet* sheet = Dialog(h)->GetTabManager().GetSheet();
    return sheet ? sheet->m_hWnd : nullptr;
}

// The captions of the sheet's tabs, in order.
inline std::vector<std::string> Tabs(HWND h)
{
    std::vector<std::string> tabs;
    HWND tab = (HWND)SendMessageA(Sheet(h), PSM_GETTABCONTROL, 0, 0);
    const int n = (int)SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0);
    for (int i = 0; i < n; ++i) {
        char text[64] = "";
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(tab, TCM_GETITEMA, i, (LPARAM)&item);
        tabs.push_back(text);
    }
    return tabs;
}

// The caption of the tab shown; empty when none is.
inline std::string ActiveTab(HWND h)
{
    HWND tab = (HWND)SendMessageA(Sheet(h), PSM_GETTABCONTROL, 0, 0);
    const int i = (int)SendMessageA(tab, TCM_GETCURSEL, 0, 0);
    std::vector<std::string> tabs = Tabs(h);
    return i >= 0 && i < (int)tabs.size() ? tabs[i] : "";
}

inline HWND ActivePage(HWND h)
{
    return (HWND)SendMessageA(Sheet(h), PSM_GETCURRENTPAGEHWND, 0, 0);
}

// Shows the tab of this caption, as a click on it would, and answers the page then shown
// (the one shown before when no tab has the caption).
inline HWND GoTab(HWND h, const std::string& caption)
{
    std::vector<std::string> tabs = Tabs(h);
    for (size_t i = 0; i < tabs.size(); ++i)
        if (tabs[i] == caption)
            SendMessageA(Sheet(h), PSM_SETCURSEL, i, 0);
    return ActivePage(h);
}

inline std::string Join(const std::vector<std::string>& items)
{
    std::string text;
    for (const std::string& item : items)
        text += (text.empty() ? "" : ", ") + item;
    return text;
}

// Types into the edit field of a combo box, which tells its dialog as typing would.
inline void TypeInCombo(HWND dialog, int id, const char* text)
{
    SetDlgItemTextA(dialog, id, text);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_EDITCHANGE), (LPARAM)GetDlgItem(dialog, id));
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

// The size the graph page is drawn at.
const int W = 800, H = 600;

// A new project with a graph page of one layer, drawn on a memory canvas; the plots' columns
// go to a worksheet made on first use. Its members are public so that tables of cases can
// reach them through the fixture.
class GraphPageTest : public ::testing::Test {
public:
    void NewGraph(bool is3D = false)
    {
        qkfxGetProject().New();
        qkfxGetCallLog().Clear();
        page.reset(new CQDGraphPage(&qkfxGetProject(), "Graph9"));
        layer = page->AddLayer(is3D);
        wks = nullptr;
    }

    QKPlotData Column(int role, const std::vector<double>& values)
    {
        if (!wks)
            wks = static_cast<CQKWksPage*>(qkfxGetProject().CreatePage(QK_PAGE_WKS));
        CQKDataset* c = wks->AddColumn();
        for (size_t i = 0; i < values.size(); ++i)
            c->SetValue((int)i, values[i]);
        QKPlotData d;
        d.role = role;
        d.dataset = c->GetName();
        d.handle = c->GetHandle();
        return d;
    }

    // Both axes of the layer from 0 to 10, with major ticks this far apart when given.
    void AxesFromZeroToTen(const char* increment = nullptr)
    {
        for (int axis : {QK_AXIS_X, QK_AXIS_Y}) {
            CQKAxes axes;
            ASSERT_TRUE(layer->GetAxes(&axes, axis));
            axes.SetRangeFrom("0");
            axes.SetRangeTo("10");
            if (increment)
                axes.SetRangeInc(increment);
            layer->UpdateFromTemporary();
        }
    }

    // Takes the legend off the layer, so that only the plots draw in their colours.
    void RemoveLegend()
    {
        if (CQKTextObj* legend = layer->FindTextObj("Legend"))
            layer->RemoveDataObj(legend->GetId());
    }

    qxtest::Image Render()
    {
        qxtest::MemoryCanvas canvas(W, H);
        RECT rect = {0, 0, W, H};
        EXPECT_TRUE(page->Draw(canvas.dc(), rect));
        return canvas.Capture();
    }

    int Count(COLORREF color) { return Render().Count(color); }

    // Where the layer's frame (15 % to 85 % across, 10 % to 80 % down) shows a value on
    // axes from 0 to 10.
    static int MapX(double v) { return (int)std::lround(0.15 * W + v / 10 * 0.70 * W); }
    static int MapY(double v) { return (int)std::lround(0.80 * H - v / 10 * 0.70 * H); }

    std::unique_ptr<CQDGraphPage> page;
    CQKGraphicLayer* layer = nullptr;
    CQKWksPage* wks = nullptr;
};
