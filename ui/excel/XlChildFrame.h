// The Excel workbook window's frame: the toolbars of what its view shows, the caption menu
// of a window that holds a workbook item, and the spacer's adjustment kept on deactivation.
#pragma once

#include <afxwin.h>

#include "ChildFrame.h"
#include "XlExport.h"

class QUXL_API CxlChildFrame : public CChildFrame {
    DECLARE_DYNCREATE(CxlChildFrame)
public:
    CxlChildFrame();

    BOOL OnBeforeActivateDeactivate(BOOL bActivate, CWnd* pActivated, CWnd* pDeactivated) override;
    // Menu 582 ("TitleBar") on the caption, only while the view holds a workbook item.
    BOOL VirtualNcRButtonDown(UINT nHitTest, CPoint point) override;
    // The view's toolbar bits (0x0200 without a workbook item, 0x0080 while it shows the
    // workbook, 0x0100 otherwise); 0x0080 without a view.
    WORD get_wnd_template_bits() override;
    // Minus the main frame's top docking height for an Excel window.
    void SetAdjustment();
    long GetAdjustment() const { return m_lAdjustment; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    long m_lAdjustment = -1000;
    int m_nReserved = 0;
};
