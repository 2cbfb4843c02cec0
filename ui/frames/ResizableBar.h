// The program's layer over the toolkit's docking: sizable bars with a name and a size kept
// in the profile, the floating frame that keeps itself on the desktop, the spacer bar
// and the dock bars.
#pragma once

#include <qxtoolkit.h>

#include "FramesApi.h"

class QXFRAMES_API CQUBaseControlBar : public SECControlBar
{
    DECLARE_DYNAMIC(CQUBaseControlBar)
public:
    // The begin notices go to the plain ones, so a subclass sees both through one.
    void OnBarBeginDock() override { OnBarDock(); }
    void OnBarBeginFloat() override { OnBarFloat(); }
};

class QXFRAMES_API QCResizableControlBar : public CQUBaseControlBar
{
    DECLARE_DYNAMIC(QCResizableControlBar)
public:
    QCResizableControlBar();

    // Creates the bar in the frame and docks it there; FALSE when creation fails.
    BOOL Init(CFrameWnd* pFrame, UINT nID, DWORD dwDockStyle);
    virtual BOOL GetBarName(CString& strName);
    virtual BOOL ReadFromINI();
    virtual int GetXDefaultSize() { return 700; }
    virtual int GetYDefaultSize() { return 100; }
    void GetSpecBarINISectionName(CString& strSection);
    BOOL SaveToINI();

    void OnBarDock() override;
    void OnBarFloat() override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;

    int m_nXSize;
    int m_nYSize;
    UINT m_nBarID;
    CFrameWnd* m_pFrame;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

class QXFRAMES_API CQUMiniDockFrameWnd : public SECMiniDockFrameWnd
{
    DECLARE_DYNCREATE(CQUMiniDockFrameWnd)
public:
    // The frame's rectangle moved so that 40 pixels of it stay on the desktop.
    static CRect KeepOnDesktop(int x, int y, int cx, int cy, const CRect& rectDesktop);
    void RecalcLayout(BOOL bNotify = TRUE) override;

protected:
    BOOL m_bInRecalc = FALSE;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// A thin full-width bar whose height the frames set: the room an Excel workbook window's
// menu and toolbars need above the MDI area.
class QXFRAMES_API CQUSpacer : public SECControlBar
{
    DECLARE_DYNAMIC(CQUSpacer)
public:
    CQUSpacer();
    BOOL CreateSpacer(CFrameWnd* pFrame, UINT nID, BOOL bVisible);
    void SetBaseSize(int n);
    void RaiseBaseSize(int n);
    void SetAddedAdjustment(int n);
    void SetSubtractedAdjustment(int n);
    int GetHeight() const { return m_nHeight; }
    void SetHeight(int n) { m_nHeight = n; }
    int GetBaseSize() const { return m_nBaseSize; }
    int GetAddedAdjustment() const { return m_nAdded; }
    int GetSubtractedAdjustment() const { return m_nSubtracted; }

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    CSize CalcDynamicLayout(int nLength, DWORD nMode) override;

protected:
    int m_nHeight, m_nBaseSize, m_nAdded, m_nSubtracted;
    void Recompute();
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

class QXFRAMES_API SECDockBarEx : public SECDockBar
{
    DECLARE_DYNAMIC(SECDockBarEx)
public:
    SECDockBarEx();
    void SetSkipOnce(int n) { m_nSkipOnce = n; }
    int GetSkipOnce() const { return m_nSkipOnce; }
    float GetMinimumPortion() const { return m_fMinPortion; }

    // Shares the row from nFirst among its visible bars by their portions: the bar being
    // resized (or null) is kept at least at the minimum portion and at most 0.95, and a
    // row whose portions sum above 1 is scaled down. Counts the bars with the toolkit's
    // extended style bit 0x0004 in *pnFixed and the others in *pnSizable.
    void ProportionRow(int nFirst, CControlBar* pResized, int* pnSizable, int* pnFixed);
    // Rows that hold sizable bars share the dock bar's length by their portions, 6 pixels
    // between two bars; other rows are laid out as the framework does.
    CSize LayoutBars(BOOL bMove) override;
    // The splitter after the bar at nIndex moved by nDelta along the row: the bars on the
    // side it moves towards give up length, none below 18 pixels, what one cannot give
    // passing to the next; the bar on the other side takes it. Portions follow the lengths.
    // A drag across the rows changes the row's thickness as the toolkit does.
    void OnSplitterDrag(int nIndex, BOOL bAcrossRows, int nDelta) override;

protected:
    float m_fMinPortion;
    int m_nSkipOnce;
    int m_nReserved;
};

// The frame's top dock bar: its height is what the spacer subtracts.
class QXFRAMES_API CQUDockBar : public SECDockBarEx
{
    DECLARE_DYNAMIC(CQUDockBar)
public:
    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
};
