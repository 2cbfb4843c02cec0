// The pages a 3D layer adds in Plot Details: Axis (box lengths, rotations, perspective,
// turned labels), Miscellaneous (XY clipping and projection) and Planes (the back planes
// and the front-corner outline). Each edits the layer's CQK3DLayer settings on Apply.
#pragma once

#include "PlotDetailsPages.h"

class QD_API CQULayer3DTab : public CQUPlotDetailsLayerTab
{
public:
    explicit CQULayer3DTab(UINT nIDTemplate) : CQUPlotDetailsLayerTab(nIDTemplate) {}
    CQK3DLayer* Get3DLayer() const { return dynamic_cast<CQK3DLayer*>(m_pObject); }
    // A change, once the page is filled, asks the layer to draw its background again.
    BOOL OnControlNotify(WPARAM wParam, LPARAM lParam) override;
};

class QD_API CQULayer3DAxis : public CQULayer3DTab
{
public:
    CQULayer3DAxis();
    void LoadMembers() override;
    void SaveMembers() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    afx_msg void OnLengthChange();

    double m_length[3], m_rotation[3], m_perspective;
    int m_bRotateLabels;

    DECLARE_MESSAGE_MAP()
};

class QD_API CQULayer3DOptions : public CQULayer3DTab
{
public:
    CQULayer3DOptions();
    void InitControls() override;
    void LoadMembers() override;
    void SaveMembers() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    CComboBox m_cbProjection;
    int m_bClip, m_nProjection;
    double m_xFrom, m_xTo, m_yFrom, m_yTo;
};

class QD_API CQULayer3DPlanes : public CQULayer3DTab
{
public:
    CQULayer3DPlanes();
    BOOL OnInitDialog() override;
    void InitControls() override;
    void LoadMembers() override;
    void SaveMembers() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void EnablePlanes();
    void EnableOutline();
    afx_msg void OnPlaneCheck();
    afx_msg void OnOutlineCheck();

    CComboBox m_cbColor[3], m_cbOutlineColor, m_cbOutlineStyle, m_cbOutlineWidth;
    int m_bAuto, m_bPlane[3], m_bOutline;
    double m_position[3];

    DECLARE_MESSAGE_MAP()
};
