// The plot pages for drop lines, labels, error bars, functions, vectors and pies. Each
// reads its plot when it becomes active and writes it on Apply or when a changed page is
// left (see PlotDetailsPages.h); the few controls named in a page's handlers write at once.
#pragma once

#include "PlotDetailsPages.h"

class CQUImageToolBarCtrl;

// Bold, italic and underline buttons (1122, 1123, 1124) in the place of a static; their
// flags are 8, 2 and 1.
class QD_API CQUPDStyleBar
{
public:
    CQUPDStyleBar();
    ~CQUPDStyleBar();
    void Create(CWnd* pPage, int placeId);
    void SetFlags(int flags);
    int GetFlags() const;

private:
    CQUImageToolBarCtrl* m_pBar;
};

// Shows a number in a combo's edit field with at most two decimals ("0.5", "12").
void PDShowNumber(CComboBox& combo, double value);
// The number in a combo's edit field, or the selected entry's while the list changes.
bool PDComboNumber(CComboBox& combo, double& value, bool selected = false);

class QD_API CQUPlotDetailsDataPoints : public CQUPlotDetailsPlotObjTab
{
public:
    CQUPlotDetailsDataPoints();

    void InitControls() override;
    void ShowControlsForObject() override;
    void ObjectToControls() override;
    void ControlsToObject() override;
    int GetPageKind() const override { return 2; }

protected:
    void ApplyEnableRules();
    void ApplySkipRule();
    afx_msg void OnBlockCheck();
    afx_msg void OnSkip();

    CComboBox m_cbStyle[3], m_cbWidth[3], m_cbColor[3];
    BOOL m_bAvailable[3]; // horizontal, vertical, Z

    DECLARE_MESSAGE_MAP()
};

class QD_API CQUPlotDetailsFont : public CQUPlotDetailsPlotObjTab
{
public:
    CQUPlotDetailsFont();

    void InitControls() override;
    void ShowControlsForObject() override;
    void ObjectToControls() override;
    void ControlsToObject() override;
    int GetPageKind() const override { return 11; }

protected:
    CComboBox m_cbFont, m_cbColor, m_cbSize, m_cbJustify, m_cbAttach;
    CQUPDStyleBar m_style;
};

class QD_API CQUPlotDetailsErrorBar : public CQUPlotDetailsPlotObjTab
{
public:
    CQUPlotDetailsErrorBar();

    void InitControls() override;
    void ObjectToControls() override;
    void ControlsToObject() override;
    int GetPageKind() const override { return 9; }

protected:
    CQKErrorBar* GetBar() const { return dynamic_cast<CQKErrorBar*>(m_pObject); }
    CComboBox m_cbColor, m_cbLineWidth, m_cbCapWidth;
};

class QD_API CQUPlotDetailsFunction : public CQUPlotDetailsPlotObjTab
{
public:
    CQUPlotDetailsFunction();

    void InitControls() override;
    void ObjectToControls() override;
    void ControlsToObject() override;
    int GetPageKind() const override { return 13; }

protected:
    void ShowDescription();
    afx_msg void OnAdd();
    afx_msg void OnUndo();
    afx_msg void OnListChange();

    CComboBox m_cbDensity, m_cbList;
    std::vector<int> m_functions; // the list's entries, by function index

    DECLARE_MESSAGE_MAP()
};

class QD_API CQUPlotDetailsVector : public CQUPlotDetailsPlotObjTab
{
public:
    CQUPlotDetailsVector();

    void InitControls() override;
    void BindColorControls() override;
    void ObjectToControls() override;
    void ControlsToObject() override;
    int GetPageKind() const override { return 6; }

protected:
    void FillColumns(CComboBox& combo, bool constantsFirst, UINT constants);
    void ShowKind(int type);
    afx_msg void OnColorChange();
    afx_msg void OnMagnitudeEdit();
    afx_msg void OnMagnitudeSelect();
    afx_msg LRESULT OnColorMenu(WPARAM wParam, LPARAM lParam);

    // The vector colour's button, in place of its list when colours may be per point.
    CQKColorMenuButtonCtrl m_btnColor;
    CComboBox m_cbColor, m_cbWidth, m_cbLength, m_cbHeadAngle, m_cbXEnd, m_cbYEnd, m_cbAngle, m_cbMagnitude,
        m_cbMultiplier;
    int m_nType;

    DECLARE_MESSAGE_MAP()
};

class QD_API CQUPlotDetailsPie : public CQUPlotDetailsPlotObjTab
{
public:
    CQUPlotDetailsPie();

    void ObjectToControls() override;
    void ControlsToObject() override;
    int GetPageKind() const override { return 14; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void ApplyEnableRules();
    afx_msg void OnRuleChange();
    afx_msg void OnDistanceChange();

    int m_bRewrite, m_bValue, m_bPercent, m_bCategory, m_bReposition, m_nDistance, m_bHide, m_bArrow;

    DECLARE_MESSAGE_MAP()
};

class QD_API CQUPlotDetailsPie2 : public CQUPlotDetailsPlotObjTab
{
public:
    CQUPlotDetailsPie2();

    void ObjectToControls() override;
    void ControlsToObject() override;
    int GetPageKind() const override { return 15; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void FillWedges();
    afx_msg void OnNumberChange(UINT nID);

    int m_nAngle, m_nThickness, m_nAzimuth, m_bCounterClockwise, m_nRadius, m_nOffset, m_nDisplacement;
    unsigned m_nExploded;

    DECLARE_MESSAGE_MAP()
};

// Corrects a number edit as it is typed: an empty or invalid text, or one outside the
// range, becomes the nearest allowed value, all selected. With allowMinus, "-" alone stays.
void PDCorrectNumberEdit(CWnd* pPage, int id, int low, int high, bool allowMinus);
