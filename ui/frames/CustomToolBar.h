// The main window's toolbars: customisable toolbars bound to the window kinds for which
// they are shown, with the user's own show choice that survives window switches.
#pragma once

#include <qxtoolkit.h>

#include "FramesApi.h"

class CQKTBox;

// Window-kind bits of the toolbars.
enum : WORD
{
    QU_KIND_NONE = 0x0001,
    QU_KIND_GRAPH = 0x0004,
    QU_KIND_WKS = 0x0008,
    QU_KIND_NOTES = 0x0010,
    QU_KIND_LAYOUT = 0x0020,
    QU_KIND_MATRIX = 0x0040,
    QU_KIND_EXCEL = 0x0180,
};

// The bits of a window kind id (worksheet 0, graph 1, matrix 2, Excel 3, layout 4,
// notes 5, none -1); 0 for any other id.
QXFRAMES_API WORD child_id_to_child_bits(int nKind);
// The window kinds a toolbar of that id belongs to; 0xFFFF for ids of no standard toolbar.
QXFRAMES_API WORD QUToolBarKindMask(UINT nToolBarID);

// The 3D rotation angle box (control 622) of the 3D Rotation toolbar; what is chosen or
// typed becomes the script variable ROTANGLE3D.
class QXFRAMES_API CQUComboBtn : public SECComboBtn
{
    DECLARE_DYNCREATE(CQUComboBtn)
public:
    BOOL CreateWnd(CWnd* pToolBar, const CRect& rect) override;
};

class QXFRAMES_API CQUCustomToolBar : public SECCustomToolBar
{
    DECLARE_DYNCREATE(CQUCustomToolBar)
public:
    CQUCustomToolBar();

    BOOL CreateEx(CWnd* pParentWnd, LPCTSTR lpszTitle, DWORD dwStyle, DWORD dwExStyle, UINT nID) override;
    void SetBarInfo(SECControlBarInfo* pInfo, CFrameWnd* pFrame) override;

    // With bForShow, 1 when the toolbar belongs to the kinds and the user wants it shown.
    virtual int BelongsToWindowKind(WORD wBits, BOOL bForShow);
    // Shows or hides the bar for the active window's kinds (delayed).
    virtual void ShowForWindowKind(WORD wBits, CFrameWnd* pFrame);
    virtual BOOL GetShowChoice() const { return m_bShowChoice; }
    virtual void SetShowChoice(BOOL bShow) { m_bShowChoice = bShow; }
    virtual BOOL GetKindSwitchMarker() const { return m_bKindSwitch; }
    virtual void ClearKindSwitchMarker() { m_bKindSwitch = FALSE; }
    WORD GetKindMask() const { return m_wKindMask; }

    // Inserts a button (or a separator) at the position, clamped to the button count.
    void InsertButtonAt(int nPos, UINT nID, BOOL bSeparator);

protected:
    BOOL m_bShowChoice;
    BOOL m_bKindSwitch;
    WORD m_wKindMask;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnRotationAngle(HWND hCombo, UINT nCode);
    // A double-click on a tool of the Tools toolbar opens the options of the checked tool;
    // FALSE for any other point, which the toolkit then handles.
    BOOL OnToolDoubleClick(CPoint point);
    // The tool box that opens tool options; a toolbar without one of its own makes one
    // for the moment.
    virtual CQKTBox* GetToolBox() { return nullptr; }
};

// The Tools toolbar: the same toolbar with a kernel tool box of its own.
class QXFRAMES_API CQUCustomTools : public CQUCustomToolBar
{
    DECLARE_DYNCREATE(CQUCustomTools)
public:
    CQUCustomTools();
    ~CQUCustomTools() override;
    CQKTBox* GetToolBox() override { return m_pToolBox; }

protected:
    CQKTBox* m_pToolBox;
};
