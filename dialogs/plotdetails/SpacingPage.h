// The Spacing page of column and bar plots: the gap between datasets, the overlap within a
// group and the bar thickness, all in per cent.
#pragma once

#include "PlotDetailsPages.h"

class QD_API CQUPlotDetailsSpacing : public CQUPlotDetailsPlotObjTab
{
public:
    CQUPlotDetailsSpacing();

    void InitControls() override;
    void ObjectToControls() override;
    void ControlsToObject() override;
    int GetPageKind() const override { return 5; }

protected:
    afx_msg void OnGapEdit();
    afx_msg void OnGapSelect();

    CComboBox m_cbGap, m_cbOverlap, m_cbThickness;

    DECLARE_MESSAGE_MAP()
};
