// Bars that hold windows of the kernel's user-interface modules: the module's window
// scrolled inside the bar when the bar is smaller, and the scroll position and the
// kernel's id of the module kept in the bar's saved state.
#pragma once

#include <qxtoolkit.h>

#include "FramesApi.h"
#include "ResizableBar.h"

class QXFRAMES_API CQUIMToolbar : public QCResizableControlBar
{
    DECLARE_DYNAMIC(CQUIMToolbar)
public:
    enum { ScrollRange = 20 };

    CQUIMToolbar();
    BOOL Create(CFrameWnd* pFrame, UINT nID, LPCTSTR lpszTitle, BOOL bVisible);

    int GetInternalID() const { return m_nInternalID; }
    void SetInternalID(int nID) { m_nInternalID = nID; }
    BOOL IsShown() const { return m_bShown; }
    void SetSuppressOnce(int n) { m_nSuppressOnce = n; }
    void SetChildWindow(HWND hWnd) { m_hChild = hWnd; }
    HWND GetChildWindow() const { return m_hChild; }

    CSize GetDockedSize() const { return m_sizeDocked; }
    void SetDockedSize(CSize size) { m_sizeDocked = size; }
    CSize GetFloatingSize() const { return m_sizeFloating; }
    void SetFloatingSize(CSize size) { m_sizeFloating = size; }
    BOOL SetSizes(CSize size);
    // Writes the size into every size of the toolkit (docked along either edge, floating).
    void ApplySize(CSize size);
    void ApplyFloatingSize() { ApplySize(m_sizeFloating); }
    void Undock(BOOL bDelayed);
    BOOL SyncFloatingTitle();
    int GetVertPos() const { return m_nVertPos; }
    int GetHorzPos() const { return m_nHorzPos; }
    void SetScrollPositions(int nVert, int nHorz) { m_nVertPos = nVert; m_nHorzPos = nHorz; }

    // Scroll steps (0 to 20) that a pixel amount makes of the part not shown.
    static int ScrollSteps(int nPixels, int nContent, int nClient);
    // The change of position P (with the content scrolled by nOffset pixels) for a scroll
    // code, kept within 0 to 20.
    static int ScrollChange(UINT nCode, int nPos, int nOffset, int nContent, int nClient, int nThumb);

    void GetBarInfoEx(SECControlBarInfo* pInfo) override;
    void SetBarInfo(SECControlBarInfo* pInfo, CFrameWnd* pFrame) override;

protected:
    CSize m_sizeDocked;
    CSize m_sizeFloating;
    int m_nVertPos, m_nHorzPos;
    int m_nVertOffset, m_nHorzOffset;
    BOOL m_bShown;
    int m_nSuppressOnce;
    HWND m_hChild;
    int m_nInternalID;

    void OnScroll(BOOL bVert, UINT nCode, int nThumb);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override;
};

// The module bar's saved state beside the toolkit's.
class QXFRAMES_API CQUIMToolbarInfoEx : public SECControlBarInfoEx
{
public:
    int m_nVertPos = 0;
    int m_nHorzPos = 0;
    int m_nInternalID = -1;
    void SaveState(LPCTSTR lpszSection) override;
    void LoadState(LPCTSTR lpszSection) override;
};
