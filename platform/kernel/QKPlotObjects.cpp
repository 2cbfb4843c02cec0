// Plot objects, the layer settings the Plot Details pages edit, the graph page's layers,
// and the working copies through which a dialog edits all of them.
#include "QKGraphObjects.h"
#include "KernelInternal.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <cmath>

#include "PageRender.h"
#include "QKCallLog.h"
#include "QKData.h"
#include "QKSymbolManager.h"

namespace {

// What each plot type draws, as the dialogs ask it.
enum : unsigned {
    F_LINE = 1u << 0,
    F_SYMBOL = 1u << 1,
    F_DATAPOINT = 1u << 2,
    F_PATTERN = 1u << 3,
    F_AREA = 1u << 4,
    F_SPACING = 1u << 5,
    F_VECTOR = 1u << 6,
    F_BOX = 1u << 7,
    F_PERCENTILE = 1u << 8,
    F_FONT = 1u << 9,
    F_HISTOGRAM = 1u << 10,
    F_FUNCTION = 1u << 11,
    F_PIE = 1u << 12,
    F_MESH_CONTOURS = 1u << 13,
    F_WIRE = 1u << 14,
    F_BARS_3D = 1u << 15,
    F_SIDE_WALLS = 1u << 16,
    F_COLOR_MAP = 1u << 17,
    F_3D = 1u << 18,
    F_XY = 1u << 19, // may change to any other XY type
};

struct PlotTypeRow {
    int type;
    const char* name;
    unsigned features;
};

const PlotTypeRow kPlotTypes[] = {
    {QK_PLOT_LINE, "Line", F_LINE | F_XY},
    {QK_PLOT_SCATTER, "Scatter", F_SYMBOL | F_XY},
    {QK_PLOT_LINE_SYMBOL, "Line + Symbol", F_LINE | F_SYMBOL | F_XY},
    {QK_PLOT_COLUMN, "Column", F_PATTERN | F_SPACING | F_XY},
    {QK_PLOT_AREA, "Area", F_LINE | F_AREA | F_XY},
    {QK_PLOT_BAR, "Bar", F_PATTERN | F_SPACING},
    {QK_PLOT_VECTOR, "Vector", F_LINE | F_VECTOR},
    {QK_PLOT_BOX, "Box Chart", F_BOX | F_PERCENTILE | F_FONT | F_HISTOGRAM | F_PATTERN},
    {QK_PLOT_PIE, "Pie", F_PIE | F_PATTERN},
    {QK_PLOT_FUNCTION, "Function", F_LINE | F_FUNCTION},
    {QK_PLOT_HIGH_LOW_CLOSE, "High-Low-Close", F_LINE | F_SYMBOL},
    {QK_PLOT_HISTOGRAM, "Histogram", F_PATTERN | F_SPACING | F_HISTOGRAM},
    {QK_PLOT_3D_WALL, "3D Walls", F_LINE | F_PATTERN | F_DATAPOINT | F_3D},
    {QK_PLOT_3D_RIBBON, "3D Ribbons", F_LINE | F_PATTERN | F_3D},
    {QK_PLOT_3D_SURFACE, "3D Color Map Surface", F_MESH_CONTOURS | F_WIRE | F_SIDE_WALLS | F_COLOR_MAP | F_3D},
    {QK_PLOT_3D_BARS, "3D Bars", F_BARS_3D | F_COLOR_MAP | F_3D},
    {QK_PLOT_CONTOUR, "Contour", F_COLOR_MAP},
    {QK_PLOT_ERROR_BAR, "Error Bar", 0},
    {QK_PLOT_TEXT, "Text", F_FONT},
    {QK_PLOT_STACK_COLUMN, "Stack Column", F_PATTERN | F_SPACING},
    {QK_PLOT_STACK_BAR, "Stack Bar", F_PATTERN | F_SPACING},
    {QK_PLOT_FLOAT_COLUMN, "Floating Column", F_PATTERN | F_SPACING},
    {QK_PLOT_FLOAT_BAR, "Floating Bar", F_PATTERN | F_SPACING},
    {QK_PLOT_FILL_AREA, "Fill Area", F_LINE | F_AREA},
    {QK_PLOT_VERT_DROP_LINE, "Vertical Drop Line", F_LINE | F_SYMBOL},
    {QK_PLOT_HORZ_DROP_LINE, "Horizontal Drop Line", F_LINE | F_SYMBOL},
    {QK_PLOT_BUBBLE, "Bubble", F_SYMBOL},
    {QK_PLOT_COLOR_MAPPED, "Color Mapped", F_SYMBOL | F_COLOR_MAP},
    {QK_PLOT_BUBBLE_COLOR_MAPPED, "Bubble + Color Mapped", F_SYMBOL | F_COLOR_MAP},
    {QK_PLOT_3D_SCATTER, "3D Scatter", F_SYMBOL | F_3D},
    {QK_PLOT_3D_TRAJECTORY, "3D Trajectory", F_LINE | F_SYMBOL | F_3D},
    {QK_PLOT_3D_WIRE_FRAME, "3D Wire Frame", F_WIRE | F_3D},
    {QK_PLOT_3D_WIRE_SURFACE, "3D Wire Surface", F_WIRE | F_MESH_CONTOURS | F_3D},
};

const PlotTypeRow* FindType(int type)
{
    for (const PlotTypeRow& row : kPlotTypes)
        if (row.type == type)
            return &row;
    return nullptr;
}

unsigned Features(int type)
{
    const PlotTypeRow* row = FindType(type);
    return row ? row->features : 0;
}

// Units in an inch; a percentage is of the page's width or height. The page is 10 x 7.5
// inches at 96 pixels an inch. Multiplying by exact factors keeps round numbers round.
const double kPageWidth = 10, kPageHeight = 7.5, kPixelsPerInch = 96;

double UnitsPerInch(int units, bool horizontal)
{
    switch (units) {
    case QK_UNITS_INCH: return 1;
    case QK_UNITS_CM: return 2.54;
    case QK_UNITS_MM: return 25.4;
    case QK_UNITS_PIXEL: return kPixelsPerInch;
    default: return 100 / (horizontal ? kPageWidth : kPageHeight); // of the page or linked layer
    }
}

} // namespace

bool qkIsKnownPlotType(int type)
{
    return FindType(type) != nullptr;
}

CQKBase::~CQKBase() = default;

void CQKBase::DumpState(CQKStateDump&) const {}

std::string CQKPlotObj::GetDataName(int role) const
{
    for (const QKPlotData& d : m_s.data)
        if (d.role == role)
            return d.dataset;
    return std::string();
}

CQKPlotObj::CQKPlotObj(const CQKPlotObj& other)
    : CQKGrElement(other), m_s(other.m_s), m_original(nullptr), m_modified(false), m_subIndex(other.m_subIndex),
      m_pointRow(other.m_pointRow), m_subParent(other.m_subParent)
{
    if (m_subParent)
        m_subParent->m_subParts.push_back(this);
}

CQKPlotObj& CQKPlotObj::operator=(const CQKPlotObj& other)
{
    CQKGrElement::operator=(other);
    m_s = other.m_s;
    return *this;
}

CQKPlotObj::~CQKPlotObj()
{
    // Parts and their plot may go in either order.
    if (m_subParent) {
        auto& parts = m_subParent->m_subParts;
        parts.erase(std::remove(parts.begin(), parts.end(), this), parts.end());
    }
    for (CQKPlotObj* part : m_subParts)
        part->m_subParent = nullptr;
}

std::string CQKPlotObj::GetName() const
{
    static const char* const kParts[QK_SCATTER_PARTS] = {"Original", "XY Projection", "XZ Projection",
                                                         "YZ Projection"};
    if (m_pointRow >= 0)
        return m_s.dataset + "[" + std::to_string(m_pointRow + 1) + "]";
    return m_subIndex >= 0 && m_subIndex < QK_SCATTER_PARTS ? kParts[m_subIndex] : m_s.dataset;
}

namespace {
bool SameLook(const QKPartLook& a, const QKPartLook& b)
{
    const QKSymbolState &x = a.symbol, &y = b.symbol;
    return a.color == b.color && a.lineType == b.lineType && a.lineWidth == b.lineWidth &&
           a.connectType == b.connectType && a.symbolsConnected == b.symbolsConnected && x.style == y.style &&
           x.shape == y.shape && x.fill == y.fill && x.size == y.size && x.sizeColumn == y.sizeColumn &&
           x.scalingFactor == y.scalingFactor && x.thickness == y.thickness && x.edgeColor == y.edgeColor &&
           x.fillColor == y.fillColor && x.outline == y.outline && x.charFont == y.charFont &&
           x.charStyle == y.charStyle && x.offsetOverlapped == y.offsetOverlapped;
}
} // namespace

QKPartLook CQKPlotObj::OwnLook() const
{
    QKPartLook k;
    k.color = m_s.color;
    k.lineType = m_s.lineType;
    k.lineWidth = m_s.lineWidth;
    k.connectType = m_s.connectType;
    k.symbolsConnected = m_s.symbolsConnected;
    k.symbol = m_s.symbol;
    return k;
}

void CQKPlotObj::SetPartLook(const QKPartLook& k)
{
    m_s.color = k.color;
    m_s.lineType = k.lineType;
    m_s.lineWidth = k.lineWidth;
    m_s.connectType = k.connectType;
    m_s.symbolsConnected = k.symbolsConnected;
    m_s.symbol = k.symbol;
}

QKPartLook CQKPlotObj::GetScatterLook(int part) const
{
    if (part <= 0 || part >= QK_SCATTER_PARTS || !m_s.scatter.ownLook[part - 1])
        return OwnLook();
    return m_s.scatter.look[part - 1];
}

int CQKPlotObj::GetSpecialPointsArray(std::vector<CQKPlotObj*>& parts)
{
    parts.clear();
    if (!HasSpecialPoints())
        return 0;
    if (!Is3DScatterPlot()) {
        for (const QKSpecialPoint& point : m_s.specialPoints) {
            CQKPlotObj* part = Clone();
            part->m_pointRow = point.row;
            part->m_subParent = this;
            part->SetPartLook(point.look);
            m_subParts.push_back(part);
            parts.push_back(part);
        }
        return (int)parts.size();
    }
    for (int i = 0; i < QK_SCATTER_PARTS; ++i) {
        CQKPlotObj* part = Clone();
        part->m_subIndex = i;
        part->m_subParent = this;
        part->SetPartLook(GetScatterLook(i));
        m_subParts.push_back(part);
        parts.push_back(part);
    }
    return (int)parts.size();
}

CQKPlotObj* CQKPlotObj::CreateSpecialPoint(int row) const
{
    if (row < 0 || IsSubPlotObj() || IsSpecialPoint())
        return nullptr;
    CQKPlotObj* point = CreateTemporary();
    point->m_pointRow = row;
    if (const QKPartLook* look = GetSpecialPointLook(row))
        point->SetPartLook(*look);
    else
        point->m_modified = true; // a new point: OK keeps it even if nothing is changed
    return point;
}

const QKPartLook* CQKPlotObj::GetSpecialPointLook(int row) const
{
    for (const QKSpecialPoint& point : m_s.specialPoints)
        if (point.row == row)
            return &point.look;
    return nullptr;
}

BOOL CQKPlotObj::DeleteSpecialPoint(int row)
{
    auto& points = m_s.specialPoints;
    auto it = std::find_if(points.begin(), points.end(), [row](const QKSpecialPoint& p) { return p.row == row; });
    if (it == points.end())
        return FALSE;
    points.erase(it);
    return TRUE;
}

void CQKPlotObj::SetSubPlotParent(CQKPlotObj* parent)
{
    if (m_subParent) {
        auto& parts = m_subParent->m_subParts;
        parts.erase(std::remove(parts.begin(), parts.end(), this), parts.end());
    }
    m_subParent = parent;
    if (parent)
        parent->m_subParts.push_back(this);
}

void CQKPlotObj::SetObjectDisplayed(BOOL shown)
{
    if (m_subIndex >= 0)
        m_s.scatter.shown[m_subIndex] = shown != FALSE;
    else
        SetShow(shown);
}

void CQKPlotObj::UpdateProjections()
{
    const int grouping = m_s.surface.grouping;
    if (!Is3DScatterPlot() || IsSubPlotObj() || grouping == 0)
        return;
    // All together: the points lead; original apart: the first projection leads.
    const int leader = grouping == 2 ? 0 : 1;
    if (m_subParts.empty()) {
        const QKPartLook look = GetScatterLook(leader);
        for (int i = leader + 1; i < QK_SCATTER_PARTS; ++i) {
            m_s.scatter.look[i - 1] = look;
            m_s.scatter.ownLook[i - 1] = true;
        }
        return;
    }
    const CQKPlotObj* lead = nullptr;
    for (const CQKPlotObj* part : m_subParts)
        if (part->m_subIndex == leader)
            lead = part;
    if (!lead)
        return;
    const QKPartLook look = lead->OwnLook();
    for (CQKPlotObj* part : m_subParts)
        if (part->m_subIndex > leader && !SameLook(part->OwnLook(), look)) {
            part->SetPartLook(look);
            part->m_modified = true;
        }
}

CQKPlotObj* CQKPlotObj::Clone() const
{
    return new CQKPlotObj(*this);
}

CQKPlotObj* CQKDataObj::Clone() const
{
    return new CQKDataObj(*this);
}

CQKPlotObj* CQKErrorBar::Clone() const
{
    return new CQKErrorBar(*this);
}

CQKPlotObj* CQKPlotObj::CreateTemporary() const
{
    CQKPlotObj* copy = Clone();
    copy->m_original = m_original ? m_original : const_cast<CQKPlotObj*>(this);
    return copy;
}

void CQKPlotObj::UpdateFromTemporary()
{
    if (m_pointRow >= 0) {
        // A special point belongs to the plot it came from.
        if (m_subParent) {
            auto& points = m_subParent->m_s.specialPoints;
            auto it = std::lower_bound(points.begin(), points.end(), m_pointRow,
                                       [](const QKSpecialPoint& p, int row) { return p.row < row; });
            if (it == points.end() || it->row != m_pointRow)
                it = points.insert(it, QKSpecialPoint{m_pointRow, {}});
            it->look = OwnLook();
            m_subParent->m_modified = true;
        }
        m_modified = false;
        return;
    }
    if (m_subIndex >= 0) {
        // A part belongs to the plot it came from.
        if (m_subParent) {
            QKPlotState& to = m_subParent->m_s;
            to.scatter.shown[m_subIndex] = m_s.scatter.shown[m_subIndex];
            if (m_subIndex == 0) {
                // The points carry the plot's drop lines: the Drop Lines page of the
                // points edits them.
                m_subParent->SetPartLook(OwnLook());
                to.drop = m_s.drop;
            } else {
                to.scatter.look[m_subIndex - 1] = OwnLook();
                to.scatter.ownLook[m_subIndex - 1] = true;
            }
            m_subParent->m_modified = true;
        }
        m_modified = false;
        return;
    }
    if (!m_original)
        return;
    QKPlotState s = m_s;
    // A copy whose group settings nobody set keeps the group's: it may have been made
    // before another member's copy changed them.
    if (!m_groupEdited) {
        s.independent = m_original->m_s.independent;
        s.groupEnum = m_original->m_s.groupEnum;
    }
    m_original->m_s = s;
    m_original->TakeKindState(*this);
    m_original->SpreadGroup(m_groupEdited);
    m_groupEdited = false;
    m_modified = false;
    qkfxGetCallLog().Add("CQKPlotObj::UpdateFromTemporary", m_s.dataset);
}

CQKPlotObj* CQKPlotObj::GetWithNewPlotType(int type, int, int) const
{
    if (!FindType(type))
        return nullptr;
    CQKPlotObj* copy = CreateTemporary();
    copy->m_s.plotType = type;
    copy->m_modified = true;
    return copy;
}

int CQKPlotObj::GetPlotTypeMapping(std::vector<QKPlotTypeEntry>& list, int, int) const
{
    list.clear();
    if (!(Features(m_s.plotType) & F_XY))
        return 0;
    for (const PlotTypeRow& row : kPlotTypes)
        if (row.features & F_XY)
            list.push_back({row.name, row.type});
    return (int)list.size();
}

std::string CQKPlotObj::GetPlotTypeName() const
{
    const PlotTypeRow* row = FindType(m_s.plotType);
    return row ? row->name : "Unknown";
}

std::string CQKPlotObj::GetTextForGapBetween() const
{
    return m_s.plotType == QK_PLOT_HISTOGRAM ? "&Gap Between Bars (in %)" : "&Gap Between Datasets (in %)";
}

BOOL CQKPlotObj::IsLineSymbolPlot() const
{
    // Plots of lines and symbols; columns share their type list but are drawn as bars.
    const int t = m_s.plotType;
    return t == QK_PLOT_LINE || t == QK_PLOT_SCATTER || t == QK_PLOT_LINE_SYMBOL || t == QK_PLOT_AREA;
}

BOOL CQKPlotObj::IsLineOrLineSymbolType() const
{
    return m_s.plotType == QK_PLOT_LINE || m_s.plotType == QK_PLOT_LINE_SYMBOL;
}

BOOL CQKPlotObj::Is3DPlot() const
{
    return (Features(m_s.plotType) & F_3D) != 0;
}

BOOL CQKPlotObj::HasLine(int feature) const
{
    if (!(Features(m_s.plotType) & F_LINE))
        return FALSE;
    switch (feature) {
    case 0: return TRUE;
    case 1: return Is3DScatterPlot();
    case 2: return m_s.plotType == QK_PLOT_LINE || m_s.plotType == QK_PLOT_LINE_SYMBOL || m_s.plotType == QK_PLOT_AREA;
    case 3: return m_s.plotType == QK_PLOT_LINE_SYMBOL;
    case 4: return !Is3DScatterPlot();
    case 5: return TRUE;
    // The colour list, or the colour button when the line's colour may be taken per point.
    case 6: return (GetColorContents(QK_COLOR_LINE, 0) & 0xFF) < 16;
    case 7: return (GetColorContents(QK_COLOR_LINE, 0) & QK_CONTENTS_PER_POINT) != 0;
    case 8: return TRUE;
    case 9: return m_s.plotType == QK_PLOT_LINE || m_s.plotType == QK_PLOT_LINE_SYMBOL || m_s.plotType == QK_PLOT_AREA;
    default: return FALSE;
    }
}

BOOL CQKPlotObj::HasSymbol() const { return (Features(m_s.plotType) & F_SYMBOL) != 0; }
BOOL CQKPlotObj::HasDataPoint() const { return (Features(m_s.plotType) & F_DATAPOINT) != 0; }
BOOL CQKPlotObj::HasPattern() const { return (Features(m_s.plotType) & F_PATTERN) != 0; }
BOOL CQKPlotObj::HasAreaFilling() const { return (Features(m_s.plotType) & F_AREA) != 0 || m_s.areaFilled; }
BOOL CQKPlotObj::HasSpacing() const { return (Features(m_s.plotType) & F_SPACING) != 0; }
BOOL CQKPlotObj::HasVector() const { return (Features(m_s.plotType) & F_VECTOR) != 0; }
BOOL CQKPlotObj::HasBox() const { return (Features(m_s.plotType) & F_BOX) != 0; }
BOOL CQKPlotObj::HasPercentile() const { return (Features(m_s.plotType) & F_PERCENTILE) != 0; }
BOOL CQKPlotObj::HasFont(int) const { return (Features(m_s.plotType) & F_FONT) != 0; }
BOOL CQKPlotObj::HasHistogram() const { return (Features(m_s.plotType) & F_HISTOGRAM) != 0; }
BOOL CQKPlotObj::HasFunction() const { return (Features(m_s.plotType) & F_FUNCTION) != 0; }
BOOL CQKPlotObj::HasPiePlot() const { return (Features(m_s.plotType) & F_PIE) != 0; }
BOOL CQKPlotObj::HasMeshSurfaceContours() const { return (Features(m_s.plotType) & F_MESH_CONTOURS) != 0; }
BOOL CQKPlotObj::HasMeshWireGridSurface() const { return (Features(m_s.plotType) & F_WIRE) != 0; }
BOOL CQKPlotObj::Has3DBars() const { return (Features(m_s.plotType) & F_BARS_3D) != 0; }
BOOL CQKPlotObj::Has3DSideWalls() const { return (Features(m_s.plotType) & F_SIDE_WALLS) != 0; }
BOOL CQKPlotObj::UseColormapForDrawing() const { return (Features(m_s.plotType) & F_COLOR_MAP) != 0; }

void CQKPlotObj::RemoveColorMapData()
{
    if (!m_s.colorMapData)
        return;
    m_s.colorMapData = false;
    qkfxGetCallLog().Add("CQKPlotObj::RemoveColorMapData", m_s.dataset);
}

BOOL CQKPlotObj::IsInTheSameGroup(const CQKPlotObj* other) const
{
    return other && m_s.group != 0 && other->m_s.group == m_s.group;
}

int CQKPlotObj::GetNumOfPlotsInGroup() const
{
    if (m_s.group == 0 || !m_layer)
        return 0;
    int count = 0;
    int n = m_layer->GetNumPlots();
    for (int i = 0; i < n; ++i) {
        CQKPlotObj* plot = m_layer->PlotObjByIndex(i, 1);
        if (plot && plot->m_s.group == m_s.group)
            ++count;
    }
    return count;
}

// ---- group increments ----------------------------------------------------------------

namespace {

enum GroupOption { GO_COLOR, GO_LINE_STYLE, GO_SYMBOL_SHAPE, GO_SYMBOL_FILL, GO_PATTERN, GO_FILL_COLOR, GO_COUNT };
const char* const kGroupOptionTitles[GO_COUNT] = {"Color", "Line Style", "Symbol Type", "Symbol Interior",
                                                  "Pattern", "Fill Color"};
const int kLineStyles = 8, kFillPatterns = 7;

// The colour k places after `color` in the colour table, passing over white (17), which
// would not show on the page.
int StepColor(int color, int k)
{
    const int n = CQKColor::GetColorNumber();
    if (n <= 2 || color < 0)
        return color;
    for (int i = 0; i < k; ++i) {
        color = (color + 1) % n;
        if (color == 17)
            color = (color + 1) % n;
    }
    return color;
}

// The properties a plot offers to step, in the order of its options.
std::vector<int> OfferedProperties(const CQKPlotObj& plot)
{
    std::vector<int> offered;
    if (plot.IsErrorBarPlot())
        return offered;
    offered.push_back(GO_COLOR);
    if (plot.HasLine(0))
        offered.push_back(GO_LINE_STYLE);
    if (plot.HasSymbol()) {
        offered.push_back(GO_SYMBOL_SHAPE);
        offered.push_back(GO_SYMBOL_FILL);
    }
    if (plot.HasPattern() || plot.HasAreaFilling()) {
        offered.push_back(GO_PATTERN);
        offered.push_back(GO_FILL_COLOR);
    }
    return offered;
}

// The property of an option; -1 for an option the plot does not offer.
int PropertyOf(const CQKPlotObj& plot, int option)
{
    const std::vector<int> offered = OfferedProperties(plot);
    return option >= 0 && option < (int)offered.size() ? offered[option] : -1;
}

BOOL Offers(const CQKPlotObj& plot, int property)
{
    const std::vector<int> offered = OfferedProperties(plot);
    return std::find(offered.begin(), offered.end(), property) != offered.end();
}

} // namespace

BOOL CQKPlotObj::GetEnumTitle(std::string& title, int option) const
{
    const int property = PropertyOf(*this, option);
    title = property >= 0 ? kGroupOptionTitles[property] : "";
    return property >= 0;
}

BOOL CQKPlotObj::IsEnumerate(int option) const
{
    const int property = PropertyOf(*this, option);
    return property >= 0 && (m_s.groupEnum & (1 << property)) != 0;
}

void CQKPlotObj::SetEnumerate(BOOL on, int option)
{
    const int property = PropertyOf(*this, option);
    if (property < 0)
        return;
    if (on)
        m_s.groupEnum |= 1 << property;
    else
        m_s.groupEnum &= ~(1 << property);
    m_groupEdited = true;
}

int CQKPlotObj::GetEnumState(int option, std::string& text) const
{
    text.clear();
    if (PropertyOf(*this, option) < 0)
        return 0;
    return GetAutoParentIndex(option) >= 0 ? 1 : 2;
}

int CQKPlotObj::GetAutoParentIndex(int option) const
{
    // An automatic fill takes the plot's colour, so it steps exactly when the colour does.
    if (PropertyOf(*this, option) == GO_FILL_COLOR && m_s.pattern[0].bkColor < 0)
        return 0; // the colour is every plot's first option
    return -1;
}

std::vector<CQKPlotObj*> CQKPlotObj::GroupPlots() const
{
    std::vector<CQKPlotObj*> plots;
    if (m_s.group == 0 || !m_layer)
        return plots;
    const int n = m_layer->GetNumPlots();
    for (int i = 0; i < n; ++i) {
        CQKPlotObj* plot = m_layer->PlotObjByIndex(i, 1);
        if (plot && plot->m_s.group == m_s.group)
            plots.push_back(plot);
    }
    // The head leads, wherever it stands.
    std::stable_partition(plots.begin(), plots.end(), [](const CQKPlotObj* p) { return p->m_s.groupBegin; });
    return plots;
}

void CQKPlotObj::TakeGroupLook(const CQKPlotObj& head, CQKPlotObj& member, int k)
{
    const QKPlotState& h = head.m_s;
    QKPlotState& m = member.m_s;
    m.independent = h.independent;
    m.groupEnum = h.groupEnum;
    if (h.independent || k <= 0)
        return;
    auto stepping = [&](int property) { return (h.groupEnum & (1 << property)) != 0; };
    if (Offers(head, GO_COLOR)) {
        // A colour taken per point is the same column for every member: it never steps.
        if (stepping(GO_COLOR))
            m.color = h.color < 0 || qkIsPointQCOLOR(h.color) ? h.color : StepColor(h.color, k);
        else // an automatic colour would follow each member's place
            m.color = h.color < 0 ? head.GetActualColorForAutoColor(0) : h.color;
    }
    if (Offers(head, GO_LINE_STYLE))
        m.lineType = stepping(GO_LINE_STYLE) ? (h.lineType + k) % kLineStyles : h.lineType;
    if (Offers(head, GO_SYMBOL_SHAPE)) {
        const int shapes = QK_SYMBOL_SHAPE_COUNT - 1;
        const bool geometric = h.symbol.style == 0 && h.symbol.shape > QK_SYMBOL_NONE && h.symbol.shape < QK_SYMBOL_SHAPE_COUNT;
        m.symbol.style = h.symbol.style;
        m.symbol.shape = stepping(GO_SYMBOL_SHAPE) && geometric ? 1 + (h.symbol.shape - 1 + k) % shapes : h.symbol.shape;
        m.symbol.fill = stepping(GO_SYMBOL_FILL) && geometric ? (h.symbol.fill + k) % QK_SYMFILL_COUNT : h.symbol.fill;
    }
    if (Offers(head, GO_PATTERN)) {
        m.pattern[0].fillPattern = stepping(GO_PATTERN) ? (h.pattern[0].fillPattern + k) % kFillPatterns
                                                        : h.pattern[0].fillPattern;
        // An automatic fill stays automatic: it takes the member's colour.
        const int fill = h.pattern[0].bkColor;
        m.pattern[0].bkColor = fill >= 0 && !qkIsPointQCOLOR(fill) && stepping(GO_FILL_COLOR) ? StepColor(fill, k) : fill;
    }
}

void CQKPlotObj::SpreadGroup(bool groupEdited)
{
    std::vector<CQKPlotObj*> plots = GroupPlots();
    if (plots.size() < 2)
        return;
    CQKPlotObj* head = plots[0];
    if (groupEdited && head != this) {
        // The settings were changed through this member: they are the group's now.
        head->m_s.independent = m_s.independent;
        head->m_s.groupEnum = m_s.groupEnum;
    }
    for (size_t k = 1; k < plots.size(); ++k)
        if (groupEdited || head == this || plots[k] == this)
            TakeGroupLook(*head, *plots[k], (int)k);
}

CQKPlotObj* CQKPlotObj::GetPlotObjInGroupByIndexFromHead(int index) const
{
    std::vector<CQKPlotObj*> plots = GroupPlots();
    if (index < 0 || index >= (int)plots.size())
        return nullptr;
    CQKPlotObj* copy = plots[index]->CreateTemporary();
    // This plot may be a working copy with settings not yet committed: the copies show them.
    if (index == 0) {
        if (plots[0] == this || plots[0] == m_original)
            copy->m_s = m_s;
    } else {
        TakeGroupLook(*this, *copy, index);
    }
    return copy;
}

int CQKPlotObj::ProcessGroupMembers(int count) const
{
    const int found = (int)GroupPlots().size();
    qkfxGetCallLog().Add("CQKPlotObj::ProcessGroupMembers", qkFormatText("%s %d %d", m_s.dataset.c_str(), count, found));
    return found;
}

namespace {

const char* const kShapeNames[QK_SYMBOL_SHAPE_COUNT] = {
    "None",      "Square", "Circle", "Up Triangle", "Down Triangle", "Diamond", "Cross", "X Cross", "Star",
    "Horizontal Bar", "Vertical Bar", "Left Triangle", "Right Triangle", "Hexagon", "Pentagon"};
const char* const kFillNames[QK_SYMFILL_COUNT] = {"Solid",      "Open",      "Dot Center", "Hollow",
                                                  "+ Center",   "- Center",  "| Center",   "x Center",
                                                  "Half Up",    "Half Right", "Half Down", "Half Left"};
const char* const kConnectNames[QK_CONNECT_TYPE_COUNT] = {
    "No Line", "Straight", "2 Point Segment", "3 Point Segment", "B-Spline", "Spline", "Step Horizontal",
    "Step Vertical", "Bezier"};

// Box ranges: percentiles, or the mean give or take a multiple (the coefficient) of the
// standard deviation or error; "Coef" percentiles run from Coef to 100 - Coef.
const char* const kBoxRangeNames[] = {"25 - 75", "Mean +/- Coef*SD", "Mean +/- Coef*SE", "10 - 90",
                                      "5 - 95",  "Coef - (100-Coef)", "Min - Max"};
const char* const kWhiskerRangeNames[] = {"Min - Max", "1 - 99", "5 - 95", "10 - 90", "Coef*IQR",
                                          "Mean +/- Coef*SD", "Mean +/- Coef*SE", "25 - 75", "Coef - (100-Coef)"};
const int kBoxTypes = 5;

} // namespace

const char* qkfxGetBoxRangeName(int range)
{
    return range >= 0 && range < (int)(sizeof kBoxRangeNames / sizeof *kBoxRangeNames) ? kBoxRangeNames[range] : nullptr;
}

const char* qkfxGetWhiskerRangeName(int range)
{
    return range >= 0 && range < (int)(sizeof kWhiskerRangeNames / sizeof *kWhiskerRangeNames) ? kWhiskerRangeNames[range]
                                                                                            : nullptr;
}

namespace {

const char* const kDotPlotTypeNames[] = {"Data Points", "Bins as Bars", "Points over Bars"};
const char* const kBoxCurveNames[] = {"None", "Normal", "Lognormal", "Poisson", "Exponential", "Laplace", "Lorentz",
                                      "Uniform"};

template <size_t N>
const char* NameAt(const char* const (&names)[N], int i)
{
    return i >= 0 && i < (int)N ? names[i] : nullptr;
}

} // namespace

const char* qkfxGetDotPlotTypeName(int type) { return NameAt(kDotPlotTypeNames, type); }
const char* qkfxGetBoxCurveName(int type) { return NameAt(kBoxCurveNames, type); }

BOOL CQKPlotObj::SetDotPlotType(int type)
{
    if (!qkfxGetDotPlotTypeName(type))
        return FALSE;
    m_s.boxData.dotType = type;
    return TRUE;
}

BOOL CQKPlotObj::SetCurveType(int type)
{
    if (!qkfxGetBoxCurveName(type))
        return FALSE;
    m_s.boxData.curveType = type;
    return TRUE;
}

BOOL CQKPlotObj::SetBinAlign(int align)
{
    if (align < 0 || align > 2)
        return FALSE;
    m_s.boxData.binAlign = align;
    return TRUE;
}

BOOL CQKPlotObj::SetSymbolStyle(int style, int percentile)
{
    if (percentile < 1 || percentile > 5 || style < 0 || style > 255)
        return FALSE;
    PercW(percentile).style = style;
    return TRUE;
}

BOOL CQKPlotObj::SetSymbolType(int shape, int percentile)
{
    if (percentile < 1 || percentile > 5 || shape < 0 || shape >= QK_SYMBOL_SHAPE_COUNT)
        return FALSE;
    PercW(percentile).shape = shape;
    return TRUE;
}

BOOL CQKPlotObj::SetSymbolFill(int fill, int percentile)
{
    if (percentile < 1 || percentile > 5 || fill < 0 || fill >= QK_SYMFILL_COUNT)
        return FALSE;
    PercW(percentile).fill = fill;
    return TRUE;
}

BOOL CQKPlotObj::SetPercSymbolSize(int points)
{
    if (points < 1 || points > 100)
        return FALSE;
    m_s.boxData.percSize = points;
    return TRUE;
}

namespace {

// The automatic bins of a plot's values: a size of 1, 2 or 5 times a power of ten that
// gives about ten bins, begin and end on its multiples around the data.
struct AutoBins {
    double size = 1, begin = 0, end = 10;
};

AutoBins AutoBinsOf(const CQKPlotObj& plot)
{
    AutoBins b;
    // A histogram's own bins follow its X axis: its increment, from its start to its end.
    if (auto* layer = dynamic_cast<const CQKGraphicLayer*>(plot.GetValidLayer()); layer && plot.IsHistogramPlot()) {
        const QKAxisRecord& x = layer->GetAxisRecord(QK_AXIS_X);
        const double from = atof(x.from.c_str()), to = atof(x.to.c_str());
        b.begin = std::min(from, to), b.end = std::max(from, to);
        b.size = atof(x.inc.c_str());
        if (!(b.size > 0) || (b.end - b.begin) / b.size > 10000)
            b.size = (b.end - b.begin) / 10;
        return b;
    }
    int first = 0, end = 0;
    CQKDataset* d = qkPlotDataset(plot, QK_ROLE_Y, &first, &end);
    if (!d)
        return b;
    double lo = HUGE_VAL, hi = -HUGE_VAL;
    for (int row = first; row < end; ++row) {
        const double v = d->GetValue(row);
        if (!std::isfinite(v) || v == MISSING_VALUE)
            continue;
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
    if (!(lo <= hi))
        return b;
    const double span = hi > lo ? hi - lo : std::max(1.0, std::fabs(lo));
    const double raw = span / 10, power = std::pow(10.0, std::floor(std::log10(raw)));
    const double step = raw / power;
    b.size = (step <= 1 ? 1 : step <= 2 ? 2 : step <= 5 ? 5 : 10) * power;
    b.begin = std::floor(lo / b.size) * b.size;
    b.end = std::ceil(hi / b.size) * b.size;
    if (b.end <= b.begin)
        b.end = b.begin + b.size;
    return b;
}

} // namespace

double CQKPlotObj::GetAutoBinSize() const { return AutoBinsOf(*this).size; }
double CQKPlotObj::GetAutoBinBegin() const { return AutoBinsOf(*this).begin; }
double CQKPlotObj::GetAutoBinEnd() const { return AutoBinsOf(*this).end; }

BOOL CQKPlotObj::SetBoxType(int type)
{
    if (type < 0 || type >= kBoxTypes)
        return FALSE;
    m_s.box.type = type;
    return TRUE;
}

BOOL CQKPlotObj::SetBoxRange(int range)
{
    if (!qkfxGetBoxRangeName(range))
        return FALSE;
    m_s.box.boxRange = range;
    return TRUE;
}

BOOL CQKPlotObj::SetWhiskerRange(int range)
{
    if (!qkfxGetWhiskerRangeName(range))
        return FALSE;
    m_s.box.whiskerRange = range;
    return TRUE;
}

const char* qkfxGetSymbolShapeName(int shape)
{
    return shape >= 0 && shape < QK_SYMBOL_SHAPE_COUNT ? kShapeNames[shape] : nullptr;
}

const char* qkfxGetSymbolFillName(int fill)
{
    return fill >= 0 && fill < QK_SYMFILL_COUNT ? kFillNames[fill] : nullptr;
}

const char* qkfxGetConnectTypeName(int connect)
{
    return connect >= 0 && connect < QK_CONNECT_TYPE_COUNT ? kConnectNames[connect] : nullptr;
}

BOOL CQKPlotObj::SetSymbolStyle(int style)
{
    if (style < 0 || style > 255)
        return FALSE;
    m_s.symbol.style = style;
    return TRUE;
}

BOOL CQKPlotObj::SetSymbolType(int shape)
{
    if (!qkfxGetSymbolShapeName(shape) && !CQKSymbolManager::IsIncrementalType(shape))
        return FALSE;
    m_s.symbol.shape = shape;
    return TRUE;
}

BOOL CQKPlotObj::SetSymbolFill(int fill)
{
    // Incremental symbols keep their start letter (or first row) where the interior is.
    if (!qkfxGetSymbolFillName(fill) && !(CQKSymbolManager::IsIncrementalType(m_s.symbol.shape) && fill >= 0 && fill <= 255))
        return FALSE;
    m_s.symbol.fill = fill;
    return TRUE;
}

BOOL CQKPlotObj::SetSymbolSize(double points, int column)
{
    // Sizes past a page's width in points would only hide the graph.
    if (!(points > 0 && points <= 1000) || column < 0)
        return FALSE;
    m_s.symbol.size = points;
    m_s.symbol.sizeColumn = column;
    return TRUE;
}

BOOL CQKPlotObj::SetScalingFactor(double factor)
{
    if (!(factor > 0 && factor <= 1000))
        return FALSE;
    m_s.symbol.scalingFactor = factor;
    return TRUE;
}

BOOL CQKPlotObj::SetSymbolThickness(int percent)
{
    if (percent < 1 || percent > 255)
        return FALSE;
    m_s.symbol.thickness = percent;
    return TRUE;
}

BOOL CQKPlotObj::IsOffsetOverlappedSymbols(int ask) const
{
    // Overlapped points are always drawn in place: no plot offers the offset.
    return ask == 1 ? FALSE : m_s.symbol.offsetOverlapped;
}

int CQKPlotObj::GetColorContents(int contents, int) const
{
    // Per-point colours are drawn point by point by the 2D plots that draw that colour
    // once a point (a symbol, a bar, an arrow, a line's segment), from a worksheet.
    bool perPoint = false;
    const int type = m_s.plotType;
    switch (contents) {
    case QK_COLOR_LINE: perPoint = type == QK_PLOT_LINE_SYMBOL; break;
    case QK_COLOR_SYMBOL_EDGE:
    case QK_COLOR_SYMBOL_FILL:
        perPoint = type == QK_PLOT_SCATTER || type == QK_PLOT_LINE_SYMBOL || type == QK_PLOT_VERT_DROP_LINE ||
                   type == QK_PLOT_HORZ_DROP_LINE || type == QK_PLOT_BUBBLE;
        break;
    case QK_COLOR_PATTERN_FILL:
    case QK_COLOR_PATTERN:
    case QK_COLOR_BORDER:
        perPoint = type == QK_PLOT_COLUMN || type == QK_PLOT_BAR || type == QK_PLOT_STACK_COLUMN ||
                   type == QK_PLOT_STACK_BAR || type == QK_PLOT_FLOAT_COLUMN || type == QK_PLOT_FLOAT_BAR;
        break;
    case QK_COLOR_VECTOR: perPoint = type == QK_PLOT_VECTOR; break;
    default: break;
    }
    if (perPoint && (IsSpecialPoint() || IsSubPlotObj()))
        perPoint = false;
    if (perPoint) {
        const CQKDataset* y = qkPlotDataset(*this, QK_ROLE_Y);
        perPoint = y && y->GetOwner() && y->GetOwner()->GetNumCols() > 0;
    }
    return QK_CONTENTS_COLORS | (perPoint ? QK_CONTENTS_BY_COLUMN | QK_CONTENTS_BY_COLORMAP : 0);
}

int CQKPlotObj::GetActualColorForAutoColor(int kind) const
{
    // A symbol's automatic fill is white, the paper's colour.
    const int kWhite = 17, kSymbolFill = 2;
    if (kind == kSymbolFill)
        return kWhite;
    // Automatic colours run through the colour table by the plot's place in its layer,
    // skipping white (17), which would not show on the page.
    int index = m_layer ? std::max(0, m_layer->GetPlotIndex(m_id)) : 0;
    const int n = CQKColor::GetColorNumber();
    if (n <= 2)
        return 0;
    int color = index % (n - 1);
    return color >= 17 ? color + 1 : color;
}

int CQKLayer::GetNumPlots() const
{
    const CQKLayer* source = PlotSource();
    int count = 0;
    for (const auto& entry : source->m_objects)
        if (entry.second->IsBasePtrPlotObj())
            ++count;
    return count;
}

CQKPlotObj* CQKLayer::PlotObjByIndex(int index, int original) const
{
    const CQKLayer* source = PlotSource();
    int i = 0;
    for (const auto& entry : source->m_objects) {
        if (!entry.second->IsBasePtrPlotObj())
            continue;
        if (i++ == index) {
            CQKPlotObj* plot = static_cast<CQKPlotObj*>(entry.second.get());
            return original ? plot : plot->CreateTemporary();
        }
    }
    return nullptr;
}

int CQKLayer::GetPlotIndex(int id) const
{
    const CQKLayer* source = PlotSource();
    int i = 0;
    for (const auto& entry : source->m_objects) {
        if (!entry.second->IsBasePtrPlotObj())
            continue;
        if (entry.first == id)
            return i;
        ++i;
    }
    return -1;
}

CQKGraphicLayer* CQKGraphicLayer::CreateTemporary() const
{
    const CQKGraphicLayer* original = m_original ? m_original : this;
    CQKGraphicLayer* copy = original->m_3D ? new CQK3DLayer(original->GetValidPagePtr(), original->m_triangle)
                                           : new CQKGraphicLayer(original->GetValidPagePtr(), false, original->m_triangle);
    copy->m_st = m_st;
    copy->m_view3D = m_view3D;
    copy->m_name = m_name;
    copy->m_original = const_cast<CQKGraphicLayer*>(original);
    return copy;
}

void CQKGraphicLayer::ConvertDimensions(int units, double values[4], int fromUnits) const
{
    if (fromUnits < 0)
        fromUnits = m_st.measUnits;
    // Width and left are horizontal, height and top vertical.
    const bool horizontal[4] = {true, false, true, false};
    for (int i = 0; i < 4; ++i)
        values[i] *= UnitsPerInch(units, horizontal[i]) / UnitsPerInch(fromUnits, horizontal[i]);
}

int CQKGraphicLayer::ResetSelectionIfNeeded(int units) const
{
    return (units == QK_UNITS_LINK_PERCENT && !IsThereLinkedFrame()) ? QK_UNITS_PAGE_PERCENT : units;
}

void CQKGraphicLayer::OnSkipPtsDisplayModeChange()
{
    qkfxGetCallLog().Add("CQKLayer::OnSkipPtsDisplayModeChange", m_name);
}

void CQKGraphicLayer::SetDataModified()
{
    qkfxGetCallLog().Add("CQKLayer::SetDataModified", m_name);
}

void CQKGraphicLayer::AddUpdate(int kind)
{
    qkfxGetCallLog().Add("CQKLayer::AddUpdate", qkFormatText("%s %d", m_name.c_str(), kind));
}

void CQKGraphicLayer::SetAxisDisplayed(int mask, BOOL on)
{
    if (on)
        m_st.axisDisplay |= mask;
    else
        m_st.axisDisplay &= ~mask;
}

std::vector<CQKGraphicLayer*> CQKGraphicLayer::LinkCandidates() const
{
    std::vector<CQKGraphicLayer*> layers;
    const CQKGraphicLayer* self = m_original ? m_original : this;
    auto* page = dynamic_cast<CQKGraphPage*>(GetValidPagePtr());
    if (!page)
        return layers;
    for (int i = 0; i < page->GetNumLayers(); ++i) {
        CQKGraphicLayer* layer = page->GetLayerByIndex(i, 1);
        if (layer != self)
            layers.push_back(layer);
    }
    return layers;
}

BOOL CQKGraphicLayer::IsLinkAvailable() const
{
    return !LinkCandidates().empty();
}

void CQKGraphicLayer::GetLayerLinkContent(char* buffer, int size) const
{
    if (!buffer || size <= 0)
        return;
    std::string text = "\"None\"";
    for (CQKGraphicLayer* layer : LinkCandidates())
        text += " \"" + layer->GetName() + "\"";
    snprintf(buffer, (size_t)size, "%s", text.c_str());
}

BOOL CQKGraphicLayer::GetLinkToLayerIndex(int& index) const
{
    index = -1;
    if (m_st.linkTo < 0)
        return FALSE;
    auto* page = dynamic_cast<CQKGraphPage*>(GetValidPagePtr());
    CQKGraphicLayer* target = page ? page->GetLayerByIndex(m_st.linkTo, 1) : nullptr;
    std::vector<CQKGraphicLayer*> layers = LinkCandidates();
    auto it = std::find(layers.begin(), layers.end(), target);
    if (it == layers.end())
        return FALSE;
    index = (int)(it - layers.begin());
    return TRUE;
}

void CQKGraphicLayer::SetLinkToLayerIndex(int index)
{
    std::vector<CQKGraphicLayer*> layers = LinkCandidates();
    auto* page = dynamic_cast<CQKGraphPage*>(GetValidPagePtr());
    if (index < 0 || index >= (int)layers.size() || !page) {
        m_st.linkTo = -1;
        return;
    }
    m_st.linkTo = page->GetLayerIndex(layers[index]);
}

void CQKGraphicLayer::SetLayerAxisLinks(int xLink, int yLink, const std::string formulas[4])
{
    m_st.xLink = xLink;
    m_st.yLink = yLink;
    m_st.x1 = formulas[0];
    m_st.x2 = formulas[1];
    m_st.y1 = formulas[2];
    m_st.y2 = formulas[3];
}

CQKGraphPage::~CQKGraphPage() = default;

CQKGraphicLayer* CQKGraphPage::AddLayer(bool is3D, bool triangle)
{
    m_graphicLayers.emplace_back(is3D ? new CQK3DLayer(this, triangle) : new CQKGraphicLayer(this, false, triangle));
    CQKGraphicLayer* layer = m_graphicLayers.back().get();
    layer->SetName(qkFormatText("Layer%d", (int)m_graphicLayers.size()));
    ForgetUndo();
    return layer;
}

CQKGraphicLayer* CQKGraphPage::GetLayerByIndex(int index, int original) const
{
    if (index < 0 || index >= (int)m_graphicLayers.size())
        return nullptr;
    CQKGraphicLayer* layer = m_graphicLayers[index].get();
    return original ? layer : layer->CreateTemporary();
}

int CQKGraphPage::GetLayerIndex(const CQKGraphicLayer* layer) const
{
    if (layer && layer->GetOriginal())
        layer = layer->GetOriginal();
    for (size_t i = 0; i < m_graphicLayers.size(); ++i)
        if (m_graphicLayers[i].get() == layer)
            return (int)i;
    return -1;
}

BOOL CQKGraphPage::DeleteLayer(int index)
{
    if (index < 0 || index >= (int)m_graphicLayers.size() || m_graphicLayers.size() < 2)
        return FALSE;
    qkfxGetCallLog().Add("CQKGraphPage::DeleteLayer", qkFormatText("%s %d", GetName().c_str(), index));
    m_graphicLayers.erase(m_graphicLayers.begin() + index);
    // The selection and the undo step name layers by their place, which has changed.
    SetStoredGrElement(nullptr);
    ForgetUndo();
    // The active layer stays the same layer, or becomes the one before the deleted one.
    if (m_activeLayer > index || m_activeLayer >= (int)m_graphicLayers.size())
        --m_activeLayer;
    return TRUE;
}

bool CQKGraphPage::SetActiveLayerIndex(int index)
{
    if (index < 0 || index >= (int)m_graphicLayers.size())
        return false;
    m_activeLayer = index;
    return true;
}

void CQKGraphPage::UpdateFromTemporary()
{
    qkfxGetCallLog().Add("CQKGraphPage::UpdateFromTemporary", GetName());
}

void CQKGraphPage::ConvertDimensions(int units, double record[4], int fromUnits) const
{
    if (fromUnits < 0)
        fromUnits = m_pageState.dimUnits;
    // Units in an inch, by index of the page's units list.
    const double perInch[] = {1, 2.54, 25.4, kPixelsPerInch};
    auto factor = [&](int index) { return perInch[index >= 0 && index < 4 ? index : 0]; };
    const double ratio = factor(units) / factor(fromUnits);
    record[0] *= ratio;
    record[1] *= ratio;
}

int CQKGraphPage::PlotDetailsDialog(CQKBase*, int type, DWORD)
{
    qkfxGetCallLog().Add("CQKGraphPage::PlotDetailsDialog", qkFormatText("no dialog for a plain page (%d)", type));
    return 0;
}

void CQKPlotObj::DrawBarPreview(HDC dc, const RECT& rect, int instance) const
{
    const QKPatternState& p = Pattern(instance);
    auto rgb = [this](int color) {
        DWORD value = 0;
        // A colour taken per point shows as the automatic one in the preview.
        CQKColor::GetColorRef(color < 0 || qkIsPointQCOLOR(color) ? GetActualColorForAutoColor(0) : color, value, 0);
        return (COLORREF)value;
    };
    // Hatch styles of the pattern list after "None": horizontal, vertical, the two
    // diagonals, cross and diagonal cross.
    const int hatches[] = {HS_HORIZONTAL, HS_VERTICAL, HS_FDIAGONAL, HS_BDIAGONAL, HS_CROSS, HS_DIAGCROSS};
    HBRUSH fill = CreateSolidBrush(rgb(p.bkColor));
    FillRect(dc, &rect, fill);
    DeleteObject(fill);
    if (p.fillPattern > 0 && p.fillPattern <= (int)(sizeof hatches / sizeof hatches[0])) {
        HBRUSH hatch = CreateHatchBrush(hatches[p.fillPattern - 1], rgb(p.barFillColor));
        int oldMode = SetBkMode(dc, TRANSPARENT);
        FillRect(dc, &rect, hatch);
        SetBkMode(dc, oldMode);
        DeleteObject(hatch);
    }
    HPEN pen = CreatePen(PS_SOLID, 1, rgb(p.borderColor));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
}
