// The Symbol page: a plot's symbol size (fixed or from a worksheet column), scaling,
// edge and fill, and the symbol itself, picked from the gallery or constructed as one of
// its kinds: geometric shape and interior, a single character, incremental letters, row
// numbers, or a user-defined symbol.
#pragma once

#include "PlotDetailsPages.h"
#include "PlotPages.h"
#include "QKControls.h"

// The wells report a pick with the cell (QK_WM_WELL_PICK).
#define WM_PD_WELL_PICK QK_WM_WELL_PICK

class QD_API CQUPlotDetailsSymbol : public CQUPlotDetailsPlotObjTab
{
public:
    CQUPlotDetailsSymbol();

    void InitControls() override;
    void ShowControlsForObject() override;
    void BindColorControls() override;
    void UnbindColorControls() override;
    void ObjectToControls() override;
    void ControlsToObject() override;
    LRESULT CommitNow(WPARAM wParam, LPARAM lParam) override;
    int GetPageKind() const override { return 1; }

    // The kind of the plot's symbol: 0 geometric, 1 character, 2 and 3 upper- and
    // lower-case letters, 4 row numbers, 5 user-defined.
    static int KindOfPlot(const CQKPlotObj* plot);
    int GetKind() const { return m_nKind; }

protected:
    void ShowKind(int kind);
    void ReadKindValues(int kind);
    void WriteKind(int kind);
    void ChooseKind(int kind);
    void ApplyFillRule(BOOL sphere);
    void Preview();
    void ApplySizeRule();
    afx_msg void OnGeometric();
    afx_msg void OnSingle();
    afx_msg void OnIncremental();
    afx_msg void OnRowNumber();
    afx_msg void OnUserDefined();
    afx_msg void OnConstruction();
    afx_msg void OnShape();
    afx_msg void OnInterior();
    afx_msg void OnCharacter();
    afx_msg void OnAlphabet();
    afx_msg void OnCharFont();
    afx_msg void OnGalleryFont();
    afx_msg void OnStyleButton(UINT nID);
    afx_msg void OnSizeSelect();
    afx_msg void OnSizeEdit();
    afx_msg void OnThicknessEdit();
    afx_msg void OnOutline();
    afx_msg void OnEdgeColor();
    afx_msg void OnFillColor();
    afx_msg void OnUserSymbol();
    afx_msg LRESULT OnWellPick(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnColorMenu(WPARAM wParam, LPARAM lParam);
    afx_msg void OnPaint();

    CComboBox m_cbSize, m_cbScaling, m_cbThickness, m_cbEdge, m_cbFill, m_cbShape, m_cbInterior, m_cbCharFont,
        m_cbCharacter, m_cbAlphabet, m_cbGalleryFont;
    CQKUDSComboBox m_cbUDS;
    CQKSymbolGalleryWellButton m_gallery;
    CQUPDStyleBar m_style;
    // The symbol being constructed.
    BOOL m_bLoaded;
    int m_nFill, m_nShape, m_nChar, m_nStartLetter, m_nCharStyle, m_nFont, m_nUDS;
    int m_nKind;
    BOOL m_bNoUDSReported;
    // The edge and fill colour buttons, in place of their lists when the plot may take
    // those colours per point.
    CQKColorMenuButtonCtrl m_btnEdge, m_btnFill;
    BOOL m_bEdgeButton, m_bFillButton;

    DECLARE_MESSAGE_MAP()
};
