// The Plot Details pages of 3D surfaces, wire frames and bars: Surface/Projections,
// Grids, Side Walls, Bars, and Edit Control of a 3D plot's edit dependencies.
#pragma once

#include "ColorMapPages.h"

class QD_API CQUPlotDetailsSurface : public CQUPlotDetailsCMapTab
{
public:
    CQUPlotDetailsSurface();
    void InitControls() override;
    void ObjectToControls() override;
    void ControlsToObject() override;
    int GetPageKind() const override { return 16; }

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void EnableRule();
    CQKNewColorComboBox m_color[3];
    CComboBox m_width[3];
};

class QD_API CQUPlotDetailsSideWalls : public CQUPlotDetailsPlotObjTab
{
public:
    CQUPlotDetailsSideWalls();
    void InitControls() override;
    void ObjectToControls() override;
    void ControlsToObject() override;
    int GetPageKind() const override { return 19; }

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void EnableRule();
    CQKNewColorComboBox m_x, m_y;
};

class QD_API CQUPlotDetailsBars : public CQUPlotDetailsPlotObjTab
{
public:
    CQUPlotDetailsBars();
    void InitControls() override;
    void ObjectToControls() override;
    void ControlsToObject() override;
    int GetPageKind() const override { return 18; }

protected:
    CQKNewColorComboBox m_edge, m_fill;
    CComboBox m_edgeWidth, m_xWidth, m_yWidth;
};

class QD_API CQUPlotDetailsWire : public CQUPlotDetailsPlotObjTab
{
public:
    CQUPlotDetailsWire();
    void InitControls() override;
    void ObjectToControls() override;
    void ControlsToObject() override;
    BOOL OnSheetReady(CPropertySheet* pSheet) override;
    LRESULT CommitNow(WPARAM, LPARAM) override;
    int GetPageKind() const override { return 17; }

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void EnableRule();
    BOOL IsWire() const { return GetPlot()->HasWireFrameFeatures(); }
    BOOL IsFill() const { return !IsWire() && GetPlot()->IsFillColorSurface(); }
    BOOL IsColormap() const { return !IsWire() && !IsFill() && GetPlot()->IsColormapSurface(); }
    CComboBox m_enable, m_width;
    CQKNewColorComboBox m_color, m_second, m_back;
    BOOL m_bLaidOut;
};

class QD_API CQUPlotDetailsChoice : public CQUPlotDetailsPlotObjTab
{
public:
    CQUPlotDetailsChoice();
    void ObjectToControls() override;
    void ControlsToObject() override;
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
};
