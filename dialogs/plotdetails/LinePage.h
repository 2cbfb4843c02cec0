// The Line page: how a plot joins its points (connection, style, width, colour), the
// area filled under the curve with its treatment of missing values, and how the line
// meets the symbols. Its controls show as the plot's line features ask (HasLine(n)).
#pragma once

#include "PlotDetailsPages.h"

class QD_API CQUPlotDetailsLine : public CQUPlotDetailsPlotObjTab
{
public:
    CQUPlotDetailsLine();

    void ObjectToControls() override;
    void ControlsToObject() override;
    LRESULT CommitNow(WPARAM wParam, LPARAM lParam) override;
    void InitControls() override;
    int GetPageKind() const override { return 0; }
    void ShowControlsForObject() override;
    void BindColorControls() override;

    // Paints the fill-mode preview into a device context (the page's, or a test's) with
    // the frame's rectangle; nothing when the area is not filled.
    void PaintPreview(CDC* pDC, const CRect& frame);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void ApplyGapRule();
    void EnableLineControls(BOOL bEnable);
    void OnFillClicked();
    void ConnectionChanged(int index);
    afx_msg void OnGap();
    afx_msg void OnFront();
    afx_msg void OnBehind();
    afx_msg void OnFill();
    afx_msg void OnColorChange();
    afx_msg void OnConnectChange();
    afx_msg void OnConnectSymbols();
    afx_msg void OnFillModeChange();
    afx_msg void OnPaint();
    afx_msg LRESULT OnColorMenu(WPARAM wParam, LPARAM lParam);

    CComboBox m_cbConnect, m_cbStyle, m_cbWidth, m_cbColor, m_cbFillMode;
    CQKColorMenuButtonCtrl m_btnColor; // in place of the colour list when colours may be per point
    int m_bGap;
    int m_nPosition;      // 0 in front of the symbols, 1 behind
    int m_nPrevConnect;   // -1 until the page is first filled
    BOOL m_b3DScatter;

    DECLARE_MESSAGE_MAP()
};
