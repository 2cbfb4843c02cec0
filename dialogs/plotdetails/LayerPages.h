// The pages every graphic layer has in Plot Details: Background, Size/Speed, Display and
// Link Axes Scales.
#pragma once

#include "PlotDetailsPages.h"

// Fills a combo box with "None" and the kernel's colour names: entry i + 1 is colour i.
void PDFillColorNames(CComboBox& combo, const char* first);

class QD_API CQULayerColor : public CQUPlotDetailsLayerTab
{
public:
    CQULayerColor();
    void InitControls() override;
    void LoadMembers() override;
    void SaveMembers() override;
    BOOL OnControlNotify(WPARAM wParam, LPARAM lParam) override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    CComboBox m_cbBorder, m_cbColor;
    int m_nBorder, m_nColor; // 0 none, else style or colour + 1
};

class QD_API CQULayerDimensions : public CQUPlotDetailsLayerTab
{
public:
    CQULayerDimensions();
    void InitControls() override;
    void LoadMembers() override;
    void SaveMembers() override;
    BOOL OnSetActive() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void FillUnits();
    void EnableSpeedEdits();
    afx_msg void OnUnitsChanged();
    afx_msg void OnMatrixCheck();
    afx_msg void OnWksCheck();
    afx_msg void OnSkipPointsEdit();

    CComboBox m_cbUnits, m_cbCaching;
    double m_left, m_top, m_width, m_height;
    int m_nUnits, m_nCaching;
    int m_bWks, m_nWksPoints;
    int m_bMatrix, m_nMatrixX, m_nMatrixY;

    DECLARE_MESSAGE_MAP()
};

class QD_API CQULayerDisplay : public CQUPlotDetailsLayerTab
{
public:
    CQULayerDisplay();
    void LoadMembers() override;
    void SaveMembers() override;
    BOOL OnControlNotify(WPARAM wParam, LPARAM lParam) override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void ShowMargins(BOOL bShow);
    afx_msg void OnWithFrame();
    afx_msg void OnFixed();
    afx_msg void OnFactorChange();
    afx_msg void OnClip();

    int m_nScale;
    double m_factor;
    int m_bX, m_bY, m_bZ, m_bLabels, m_bData, m_bClip, m_bDataOnTop, m_bGridOnTop;
    int m_nMarginH, m_nMarginV;

    DECLARE_MESSAGE_MAP()
};

class QD_API CQULayerLinkAxes : public CQUPlotDetailsLayerTab
{
public:
    CQULayerLinkAxes();
    void InitControls() override;
    void LoadMembers() override;
    void SaveMembers() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void EnableLinks(BOOL bEnable);
    void EnableFormulas();
    afx_msg void OnXLink();
    afx_msg void OnYLink();
    afx_msg void OnLinkToChanged();

    CComboBox m_cbLinkTo;
    int m_nLinkTo, m_nXLink, m_nYLink;
    CString m_x1, m_x2, m_y1, m_y2;

    DECLARE_MESSAGE_MAP()
};
