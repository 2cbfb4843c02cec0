// The parts of a plot object some kinds draw (QKPlotParts.h): their checked setters,
// where a vector's values come from, and what a pie reads from its data.
#include "QKGraphObjects.h"
#include "KernelInternal.h"
#include "PageRender.h"

#include <math.h>

#include <algorithm>

#include "QKCallLog.h"
#include "QKData.h"
#include "QKPlotModel.h"

namespace {

// A worksheet-column source of the vector lists: 100 + the column's place from 0.
const int kFirstColumnCode = 100, kLastColumnCode = 124;

bool IsColumnCode(double v)
{
    return v >= kFirstColumnCode && v <= kLastColumnCode && v == floor(v);
}

// The worksheet of the plot's main dataset; null for a free dataset or a matrix.
CQKWksPage* PlotWorksheet(const CQKPlotObj& plot)
{
    CQKDataset* y = qkPlotDataset(plot, QK_ROLE_Y);
    return y ? y->GetOwner() : nullptr;
}

int ColumnCode(const CQKPlotObj& plot, int role)
{
    CQKDataset* ds = qkPlotDataset(plot, role);
    CQKWksPage* wks = ds ? ds->GetOwner() : nullptr;
    const int index = wks ? wks->GetColumnIndex(ds) : 0;
    return index >= 1 && index - 1 + kFirstColumnCode <= kLastColumnCode ? kFirstColumnCode + index - 1 : -1;
}

} // namespace

// Binds a role to the worksheet column a code names, or drops it for any other value;
// false (and nothing changed) when the code names no column.
static bool BindColumnRole(const CQKPlotObj& plot, std::vector<QKPlotData>& data, int role, double code)
{
    if (!IsColumnCode(code)) {
        data.erase(std::remove_if(data.begin(), data.end(), [&](const QKPlotData& d) { return d.role == role; }),
                   data.end());
        return true;
    }
    CQKWksPage* wks = PlotWorksheet(plot);
    CQKDataset* column = wks ? wks->GetColumn((int)code - kFirstColumnCode + 1) : nullptr;
    if (!column)
        return false;
    QKPlotData d;
    d.role = role;
    d.dataset = column->GetName();
    d.handle = column->GetHandle();
    for (QKPlotData& existing : data)
        if (existing.role == role) {
            existing = d;
            return true;
        }
    data.push_back(d);
    return true;
}

BOOL CQKPlotObj::SetSkipFrequency(int n)
{
    if (n < 1)
        return FALSE;
    m_s.drop.skipFrequency = n;
    return TRUE;
}

BOOL CQKPlotObj::SetFontSize(int points)
{
    if (points < 1 || points > 500)
        return FALSE;
    m_s.label.size = points;
    return TRUE;
}

int CQKPlotObj::GetVectorType() const
{
    if (!HasVector())
        return -1;
    for (const QKPlotData& d : m_s.data)
        if (d.role == QK_ROLE_X_END || d.role == QK_ROLE_Y_END)
            return 1;
    return 0;
}

double CQKPlotObj::GetAngle() const
{
    const int code = ColumnCode(*this, QK_ROLE_ANGLE);
    return code >= 0 ? code : m_s.vector.angle;
}

BOOL CQKPlotObj::SetAngle(double value)
{
    if (!BindColumnRole(*this, m_s.data, QK_ROLE_ANGLE, value))
        return FALSE;
    if (!IsColumnCode(value))
        m_s.vector.angle = value;
    return TRUE;
}

double CQKPlotObj::GetMagnitude() const
{
    const int code = ColumnCode(*this, QK_ROLE_MAGNITUDE);
    return code >= 0 ? code : m_s.vector.magnitude;
}

BOOL CQKPlotObj::SetMagnitude(double value, int isColumn)
{
    if (isColumn && !IsColumnCode(value))
        return FALSE;
    if (!isColumn) {
        if (!(value >= 0))
            return FALSE;
        BindColumnRole(*this, m_s.data, QK_ROLE_MAGNITUDE, -1);
        m_s.vector.magnitude = value;
        return TRUE;
    }
    return BindColumnRole(*this, m_s.data, QK_ROLE_MAGNITUDE, value);
}

int CQKPlotObj::GetXEnd() const
{
    return ColumnCode(*this, QK_ROLE_X_END);
}

BOOL CQKPlotObj::SetXEnd(int value)
{
    // A flow vector keeps its ends: only another column replaces one.
    return IsColumnCode(value) && BindColumnRole(*this, m_s.data, QK_ROLE_X_END, value);
}

int CQKPlotObj::GetYEnd() const
{
    return ColumnCode(*this, QK_ROLE_Y_END);
}

BOOL CQKPlotObj::SetYEnd(int value)
{
    return IsColumnCode(value) && BindColumnRole(*this, m_s.data, QK_ROLE_Y_END, value);
}

static BOOL SetInRange(int& field, double value, double low, double high)
{
    if (!(value >= low && value <= high))
        return FALSE;
    field = (int)value;
    return TRUE;
}

BOOL CQKPlotObj::SetAngle3D(double degrees)
{
    return SetInRange(m_s.pie.viewAngle, degrees, 0, 90);
}

BOOL CQKPlotObj::SetSkirtHeight(double fraction)
{
    if (!(fraction >= 0 && fraction <= 3))
        return FALSE;
    m_s.pie.skirtHeight = fraction;
    return TRUE;
}

BOOL CQKPlotObj::SetAzimuthAngle(double degrees)
{
    return SetInRange(m_s.pie.azimuth, degrees, -360, 360);
}

BOOL CQKPlotObj::SetRadiusScale(double percent)
{
    return SetInRange(m_s.pie.radiusScale, percent, 0, 300);
}

BOOL CQKPlotObj::SetHorizontalOffset(double percent)
{
    return SetInRange(m_s.pie.horizontalOffset, percent, -100, 100);
}

BOOL CQKPlotObj::SetWedgeDisplacement(double percent)
{
    return SetInRange(m_s.pie.wedgeDisplacement, percent, 0, 300);
}

void CQKPlotObj::GetStartAndFinishFromObjPtr(int& first, int& end) const
{
    first = end = 0;
    qkPlotDataset(*this, QK_ROLE_Y, &first, &end);
}

double CQKPlotObj::GetWedgeValueFromObjPtr(int row) const
{
    int first = 0, end = 0;
    CQKDataset* y = qkPlotDataset(*this, QK_ROLE_Y, &first, &end);
    if (!y || row < first || row >= end)
        return MISSING_VALUE;
    const double v = y->GetValue(row);
    return v == v && v != MISSING_VALUE && v > 0 ? v : MISSING_VALUE;
}

BOOL CQKPlotObj::GetLegendByRow(int row, std::string& text) const
{
    CQKDataset* x = qkPlotDataset(*this, QK_ROLE_X);
    if (x && row >= x->GetFirst() && row < x->GetEnd() && (x->IsText(row) || x->GetValue(row) != MISSING_VALUE))
        text = x->GetText(row);
    else
        text = std::to_string(row + 1);
    return TRUE;
}

BOOL CQKPlotObj::SetFunctionDensity(double points)
{
    if (!(points >= 2 && points <= 1e6))
        return FALSE;
    m_s.function.density = points;
    return TRUE;
}

void CQKErrorBar::SetErrorBarColor(int color)
{
    m_ownerColor = color == -9;
    if (!m_ownerColor)
        SetColor(color);
}

CQKPlotObj* CQKErrorBar::GetParentPlotObj() const
{
    CQKGraphicLayer* layer = dynamic_cast<CQKGraphicLayer*>(m_layer);
    return layer ? qkfxFindPlot(layer, GetDataName(QK_ROLE_Y)) : nullptr;
}

void CQKErrorBar::TakeKindState(const CQKPlotObj& from)
{
    auto* bar = dynamic_cast<const CQKErrorBar*>(&from);
    if (!bar)
        return;
    m_ownerColor = bar->m_ownerColor;
    m_lineWidth = bar->m_lineWidth;
    m_capWidth = bar->m_capWidth;
    m_throughSymbol = bar->m_throughSymbol;
    m_plus = bar->m_plus;
    m_minus = bar->m_minus;
    m_x = bar->m_x;
    m_relative = bar->m_relative;
    m_before60 = bar->m_before60;
    if (!bar->m_applyToAll)
        return;
    // Every error bar of the layer takes these settings (its data stay its own).
    CQKGraphicLayer* layer = dynamic_cast<CQKGraphicLayer*>(m_layer);
    for (int i = 0; layer && i < layer->GetNumPlots(); ++i) {
        auto* other = dynamic_cast<CQKErrorBar*>(layer->PlotObjByIndex(i, 1));
        if (!other || other == this)
            continue;
        other->TakeKindState(*this);
        other->SetColor(GetColor());
    }
    ApplyToAll();
}
