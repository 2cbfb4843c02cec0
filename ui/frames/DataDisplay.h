// The data display: a small docking bar showing one line of text, usually the coordinates
// the kernel's tools read off a graph, in the look of the kernel's data display settings.
#pragma once

#include <afxwin.h>

#include <memory>

#include "FramesApi.h"
#include "ResizableBar.h"

class QXFRAMES_API QUDataDisplay : public QCResizableControlBar
{
    DECLARE_DYNAMIC(QUDataDisplay)
public:
    QUDataDisplay();

    BOOL Init(CFrameWnd* pFrame, UINT nID);
    BOOL DisplayText(LPCTSTR lpszText);
    const CString& GetText() const { return m_strText; }
    BOOL Dock(BOOL bDock, BOOL bQuiet);
    BOOL ReadFromINI() override;
    BOOL IsSetShow(int nShow);
    void SetBarInfo(SECControlBarInfo* pInfo, CFrameWnd* pFrame) override;
    BOOL OnFirstActivate();
    // The width left when the text is written in the font described now.
    int SpaceNeeded(int nWidth, const CString& strText);
    // The font for a client rectangle by the sizing settings (the face from the settings).
    LOGFONTA FitFont(const CRect& rectClient);
    const LOGFONTA& GetFontDescription() const { return m_lf; }
    void SetFontDescription(const LOGFONTA& lf) { m_lf = lf; }
    // Paints the text into a device context, as the bar paints itself.
    void Paint(HDC hdc, const CRect& rectClient);

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void OnBarDock() override;
    void OnBarFloat() override;

    CSize m_sizeDocked;

protected:
    CString m_strText;
    LOGFONTA m_lf;
    BOOL m_bShowPending;
    int m_nShowState;
    BOOL m_bWasVisible;
    static CRect s_rectLastPaint;   // one for the whole program, as the fitting rule needs

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void ShowContextMenu(CPoint point);
};

class CQUFontComboBox;
class CQUColorComboBox;

class QXFRAMES_API CDataDispDlg : public CDialog
{
public:
    explicit CDataDispDlg(CWnd* pParent = nullptr);
    ~CDataDispDlg() override;

protected:
    // The owner-drawn combo boxes of the dialog library, made when the dialog opens.
    std::unique_ptr<CQUFontComboBox> m_pFont;
    std::unique_ptr<CQUColorComboBox> m_pTextColor;
    std::unique_ptr<CQUColorComboBox> m_pBackColor;
    BOOL OnInitDialog() override;
    void OnOK() override;
};
