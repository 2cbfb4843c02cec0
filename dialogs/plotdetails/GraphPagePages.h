// The pages of a whole graph page in Plot Details: Miscellaneous (view mode and redraw),
// Display (background and line connection), Legends and Print/Dimensions. They edit the
// page itself and write it only on Apply or OK.
#pragma once

#include "PlotDetailsPages.h"

class QD_API CQUPageDimensions : public CQUPlotDetailsPageTab
{
public:
    CQUPageDimensions();
    void InitControls() override;
    void LoadMembers() override;
    void SaveMembers() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    CComboBox m_cbViewMode;
    UINT m_nRedraw;
    int m_bSpeedForExport, m_bSetActive;
};

class QD_API CQUPageDisplay : public CQUPlotDetailsPageTab
{
public:
    CQUPageDisplay();
    void InitControls() override;
    void LoadMembers() override;
    void SaveMembers() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void EnableGradient();
    afx_msg void OnColorChange();

    CComboBox m_cbBase, m_cbGradient, m_cbDirection;
    int m_bConnectBreak, m_bConnectMiss, m_bMasterItems;

    DECLARE_MESSAGE_MAP()
};

class QD_API CQUPageLegend : public CQUPlotDetailsPageTab
{
public:
    CQUPageLegend();
    void LoadMembers() override;
    void SaveMembers() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    int m_bFullName, m_bAutoUpdate, m_bIndicate, m_nSymbolWidth;
};

class QD_API CQUPagePrintDim : public CQUPlotDetailsPageTab
{
public:
    CQUPagePrintDim();
    void InitControls() override;
    void LoadMembers() override;
    void SaveMembers() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    afx_msg void OnUnitsChange();

    CComboBox m_cbUnits;
    int m_nUnits; // the units the numbers are shown in
    double m_width, m_height;
    int m_bPrinter, m_bPrinterWidth, m_bPrinterHeight, m_bCropmarks;

    DECLARE_MESSAGE_MAP()
};
