// The Box page of box charts: what the box and the whiskers span, the box's width, the
// chart's type (box, data or both) and its outliers, diamond and labels, with a preview.
#pragma once

#include "PlotDetailsPages.h"

class QD_API CQUPlotDetailsBoxChart : public CQUPlotDetailsPlotObjTab
{
public:
    CQUPlotDetailsBoxChart();

    void InitControls() override;
    void ObjectToControls() override;
    void ControlsToObject() override;
    int GetPageKind() const override { return 7; }

protected:
    void WhiskerRule();
    void BoxRangeRule();
    void TypeRule();
    void StoreAndCheckTabs();
    afx_msg void OnTypeChange();
    afx_msg void OnBoxRangeChange();
    afx_msg void OnWhiskerRangeChange();
    afx_msg void OnTabCheck();
    afx_msg void OnDiamond();
    afx_msg void OnPaint();

    CComboBox m_cbType, m_cbRange, m_cbCoef, m_cbWidth, m_cbWhiskerRange, m_cbWhiskerCoef;

    DECLARE_MESSAGE_MAP()
};
