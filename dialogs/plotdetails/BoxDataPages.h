// The box chart's Data page (its data beside the box as points, bins drawn as bars, or
// both, with a distribution curve over them) and Percentile page (the markers of the
// maximum, 99 %, mean, 1 % and minimum).
#pragma once

#include "PlotDetailsPages.h"
#include "SymbolPage.h"

class QD_API CQUPlotDetailsBoxData : public CQUPlotDetailsPlotObjTab
{
public:
    CQUPlotDetailsBoxData();

    void InitControls() override;
    void ObjectToControls() override;
    void ControlsToObject() override;
    int GetPageKind() const override { return 12; }

    // The most bins the page accepts.
    static const int kMaxBins = 1000;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void EnableRule();
    void AutoBinningRule();
    // Checks the bins typed and shows their number; refuses a zero size or too many bins,
    // putting the plot's values back.
    void CountBins();
    void StoreAndCheckTabs();
    afx_msg void OnTypeChange();
    afx_msg void OnCurveChange();
    afx_msg void OnAutoBinning();
    afx_msg void OnBinKillFocus();
    afx_msg void OnPaint();

    CComboBox m_cbType, m_cbCurve, m_cbScale;
    int m_nAlign;
    BOOL m_bFilling;

    DECLARE_MESSAGE_MAP()
};

class QD_API CQUPlotDetailsPercentile : public CQUPlotDetailsPlotObjTab
{
public:
    CQUPlotDetailsPercentile();

    void InitControls() override;
    void ObjectToControls() override;
    void ControlsToObject() override;
    int GetPageKind() const override { return 8; }

    // The percentile (5 maximum to 1 minimum) of a symbol button; 0 for another control.
    static int PercentileOf(UINT id);
    // The five symbol well buttons every Percentile page uses, by percentile - 1: made
    // when the library is loaded and deleted when it is unloaded; a page attaches them to
    // its buttons while its window lives.
    static CQKSymbolGalleryWellButton* GetWellButton(int percentile);
    static void CreateWellButtons();
    static void DestroyWellButtons();

protected:
    void ShowSymbol(int percentile);
    afx_msg LRESULT OnWellPick(WPARAM wParam, LPARAM lParam);
    afx_msg void OnColorChange();

    afx_msg void OnDestroy();

    // The three numbers of each percentile's symbol, by percentile - 1.
    int m_style[5], m_first[5], m_second[5];
    CComboBox m_cbSize, m_cbEdge, m_cbFill;

    DECLARE_MESSAGE_MAP()
};
