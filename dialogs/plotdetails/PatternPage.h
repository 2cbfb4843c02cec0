// The Pattern page: the border and fill of a plot's filled parts. A plot may have up to
// three pattern instances (the faces of a 3D wall, for one); a further instance follows
// the first one's settings until its relation list says it has its own.
#pragma once

#include "PlotDetailsPages.h"

class QD_API CQUPlotDetailsPattern : public CQUPlotDetailsPlotObjTab
{
public:
    CQUPlotDetailsPattern();

    void SetInstance(int instance) { m_nInstance = instance; }
    int GetInstance() const { return m_nInstance; }
    void ObjectToControls() override;
    void ControlsToObject() override;
    LRESULT CommitNow(WPARAM wParam, LPARAM lParam) override;
    void InitControls() override;
    int GetPageKind() const override { return 4; }
    void ShowControlsForObject() override;
    void BindColorControls() override;

    // Paints the preview (the plot's bar on the button face) into the frame's rectangle.
    void PaintPreview(CDC* pDC, const CRect& frame);

protected:
    // The instance whose values the page shows: its own once it has its own settings.
    int EffectiveInstance() const { return m_nInstance != 0 && m_bShared == 0 ? m_nInstance : 0; }
    BOOL OwnSettings() const { return m_nInstance == 0 || m_bShared == 0; }
    void EnableFill(BOOL bEnable);
    void ApplyPatternWidthRule();
    void RecheckTabs();
    void Preview();
    afx_msg void OnRelationChange();
    afx_msg void OnFillColorChange();
    afx_msg void OnPatternColorChange();
    afx_msg void OnBorderColorChange();
    afx_msg void OnStyleChange();
    afx_msg void OnPatternChange();
    afx_msg void OnBorderWidthSelect();
    afx_msg void OnBorderWidthEdit();
    afx_msg void OnFillWidthSelect();
    afx_msg void OnFillWidthEdit();
    afx_msg void OnPaint();
    afx_msg LRESULT OnColorMenu(WPARAM wParam, LPARAM lParam);
    // A colour of the page (COLOR_...): its button's value when the button is in use, else
    // the list's (-9 for "Automatic").
    int ShownColor(int which) const;

    CComboBox m_cbBorderColor, m_cbStyle, m_cbBorderWidth, m_cbFillColor, m_cbPattern, m_cbPatternColor,
        m_cbFillWidth, m_cbRelation;
    int m_nInstance;
    int m_bShared; // a further instance that follows the first one's settings
    // The colour buttons beside the border, fill and pattern colour lists, and whether each
    // is in use (the plot may take that colour per point) instead of its list.
    CQKColorMenuButtonCtrl m_btnBorder, m_btnFill, m_btnPattern;
    BOOL m_bBorderButton, m_bFillButton, m_bPatternButton;
    int m_nAutoPatternColor; // the pattern colour "Automatic" stands for: the border's
    // The colours the user chose since the page was filled (COLOR_...): only these are
    // written, so a colour the lists cannot show (a custom or mapped one) is kept.
    int m_nColorsChanged;

    DECLARE_MESSAGE_MAP()
};
