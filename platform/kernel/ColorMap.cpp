// Colour maps of plot objects: the levels a plot keeps, the copies the colour-map pages
// edit, colour-map files, and the drawing's view of a contour plot's levels.
#include "KernelInternal.h"

#include <commdlg.h>
#include <math.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "QKCallLog.h"
#include "QKContour.h"
#include "QKData.h"
#include "QKGraphObjects.h"
#include "PageRender.h"

namespace {

bool Valid(double v) { return v != MISSING_VALUE && isfinite(v); }

// The default fills bottom up: blue through green and yellow to red.
const COLORREF kRamp[] = {RGB(0, 0, 255),   RGB(0, 128, 255), RGB(0, 200, 200), RGB(0, 200, 0),
                          RGB(160, 220, 0), RGB(255, 220, 0), RGB(255, 128, 0), RGB(255, 0, 0)};
const int kDefaultBands = 8;

const char kFileHeader[] = "Quorix color map 1";

} // namespace

bool QKColorMapState::operator==(const QKColorMapState& o) const
{
    if (levels.size() != o.levels.size() ||
        (!levels.empty() && memcmp(levels.data(), o.levels.data(), levels.size() * sizeof(ColorMapEntry)) != 0))
        return false;
    return memcmp(&missing, &o.missing, sizeof missing) == 0 && missingValue == o.missingValue &&
           rescaleMode == o.rescaleMode && setLevelsByNumber == o.setLevelsByNumber &&
           setLevelsLog == o.setLevelsLog && otherColorsInMixing == o.otherColorsInMixing &&
           clipLow == o.clipLow && clipHigh == o.clipHigh && labelsFormat == o.labelsFormat &&
           labelsDivideBy == o.labelsDivideBy && labelsByDecPlaces == o.labelsByDecPlaces &&
           labelsSigDigits == o.labelsSigDigits && labelsPrefix == o.labelsPrefix && labelsSuffix == o.labelsSuffix;
}

double qkuIntLineWidthToDouble(int width) { return width / 100.0; }

int qkuDoubleLineWidthToInt(double points)
{
    if (!isfinite(points) || points < 0)
        return 0;
    return (int)std::min(32767.0, floor(points * 100 + 0.5));
}

int qkfxColorMapFileDialog(std::string& path, int open)
{
    char file[MAX_PATH] = "";
    strncpy(file, path.c_str(), sizeof file - 1);
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = GetActiveWindow();
    ofn.lpstrFilter = "Color Map (*.pal)\0*.pal\0All Files (*.*)\0*.*\0";
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrDefExt = "pal";
    ofn.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | (open ? OFN_FILEMUSTEXIST : OFN_OVERWRITEPROMPT);
    BOOL chosen = open ? GetOpenFileNameA(&ofn) : GetSaveFileNameA(&ofn);
    if (!chosen)
        return 0;
    path = file;
    return 1;
}

// ---- the page's copy -----------------------------------------------------------------

ColorMapEntry CQKColorMapData::GetEntry(int index) const
{
    if (index == MISSING_ENTRY || (index == m_missingIndex && index >= 0))
        return m_state.missing;
    if (index >= 0 && index < (int)m_state.levels.size())
        return m_state.levels[index];
    return ColorMapEntry();
}

void CQKColorMapData::SetEntry(int index, const ColorMapEntry& entry)
{
    if (index == MISSING_ENTRY || (index == m_missingIndex && index >= 0))
        m_state.missing = entry;
    else if (index >= 0 && index < (int)m_state.levels.size())
        m_state.levels[index] = entry;
}

void CQKColorMapData::GetPercColorMapClipping(double* low, double* high) const
{
    if (low)
        *low = m_state.clipLow;
    if (high)
        *high = m_state.clipHigh;
}

void CQKColorMapData::SetPercColorMapClipping(const double* low, const double* high)
{
    if (low)
        m_state.clipLow = *low;
    if (high)
        m_state.clipHigh = *high;
}

void CQKColorMapData::FormatAsString(double level, std::string& text, int) const
{
    double v = level;
    if (m_state.labelsDivideBy != 0)
        v /= m_state.labelsDivideBy;
    const int count = std::max(1, std::min(17, m_state.labelsSigDigits));
    const int places = std::max(0, count - 3);
    char number[64];
    switch (m_state.labelsFormat) {
    case 1: // scientific
        snprintf(number, sizeof number, "%.*E", m_state.labelsByDecPlaces ? places : count - 1, v);
        break;
    case 2: { // engineering: an exponent that is a multiple of 3, as a prefix letter
        static const char* prefixes[] = {"p", "n", "u", "m", "", "k", "M", "G", "T"};
        int e = v == 0 ? 0 : (int)floor(log10(fabs(v)) / 3) * 3;
        e = std::max(-12, std::min(12, e));
        double m = v / pow(10, e);
        if (m_state.labelsByDecPlaces)
            snprintf(number, sizeof number, "%.*f%s", places, m, prefixes[e / 3 + 4]);
        else
            snprintf(number, sizeof number, "%.*g%s", count, m, prefixes[e / 3 + 4]);
        break;
    }
    default:
        if (m_state.labelsByDecPlaces)
            snprintf(number, sizeof number, "%.*f", places, v);
        else
            snprintf(number, sizeof number, "%.*g", count, v);
        if (m_state.labelsFormat == 3) { // thousands separated by commas
            std::string s = number;
            size_t start = s[0] == '-' ? 1 : 0;
            size_t end = s.find_first_of(".eE");
            if (end == std::string::npos)
                end = s.size();
            for (size_t i = end; i > start + 3; i -= 3)
                s.insert(i - 3, ",");
            snprintf(number, sizeof number, "%s", s.c_str());
        }
        break;
    }
    text = m_state.labelsPrefix + number + m_state.labelsSuffix;
}

void CQKColorMapData::MakeUniform(double low, double high)
{
    const size_t n = m_state.levels.size();
    for (size_t i = 0; i < n; ++i)
        m_state.levels[i].level = n > 1 ? low + (high - low) * (double)i / (double)(n - 1) : low;
}

BOOL CQKColorMapData::Save(const char* path, int) const
{
    std::ofstream out(path, std::ios::binary);
    if (!out) {
        qkfxGetCallLog().Add("CQKColorMapData::Save", std::string("cannot write ") + path);
        return FALSE;
    }
    auto entry = [&](const char* tag, const ColorMapEntry& e) {
        char line[256];
        snprintf(line, sizeof line, "%s %.17g %06X %u %06X %d %u %d %06X %u\r\n", tag, e.level,
                 (unsigned)e.fillColor & 0xFFFFFF, (unsigned)e.pattern, (unsigned)e.patternColor & 0xFFFFFF,
                 (int)e.patternWidth, (unsigned)e.lineStyle, (int)e.lineWidth, (unsigned)e.lineColor & 0xFFFFFF,
                 (unsigned)e.flags);
        out << line;
    };
    out << kFileHeader << "\r\n";
    for (const ColorMapEntry& e : m_state.levels)
        entry("level", e);
    entry("missing", m_state.missing);
    return out.good() ? TRUE : FALSE;
}

BOOL CQKColorMapData::Load(const char* path, int)
{
    std::ifstream in(path, std::ios::binary);
    std::string line;
    auto fail = [&](const std::string& why) {
        qkfxGetCallLog().Add("CQKColorMapData::Load", std::string(path) + ": " + why);
        return FALSE;
    };
    if (!in)
        return fail("cannot be opened");
    if (!std::getline(in, line) || line.compare(0, sizeof kFileHeader - 1, kFileHeader) != 0)
        return fail("is no color map file");
    std::vector<ColorMapEntry> levels;
    ColorMapEntry missing = m_state.missing;
    int number = 1;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            continue;
        char tag[16] = "";
        ColorMapEntry e;
        unsigned fill, pattern, patternColor, style, lineColor, flags;
        int patternWidth, lineWidth;
        if (sscanf(line.c_str(), "%15s %lf %x %u %x %d %u %d %x %u", tag, &e.level, &fill, &pattern, &patternColor,
                   &patternWidth, &style, &lineWidth, &lineColor, &flags) != 10 ||
            !isfinite(e.level) || pattern > 255 || style > 255 || lineWidth < 0 || lineWidth > 32767 ||
            patternWidth < 0)
            return fail("line " + std::to_string(number) + " is damaged");
        e.fillColor = fill & 0xFFFFFF;
        e.pattern = (uint8_t)pattern;
        e.patternColor = patternColor & 0xFFFFFF;
        e.patternWidth = patternWidth;
        e.lineStyle = (uint8_t)style;
        e.lineWidth = (int16_t)lineWidth;
        e.lineColor = lineColor & 0xFFFFFF;
        e.flags = flags & (CMAP_LABEL_SHOWN | CMAP_LINE_HIDDEN);
        if (strcmp(tag, "missing") == 0)
            missing = e;
        else if (strcmp(tag, "level") == 0)
            levels.push_back(e);
        else
            return fail("line " + std::to_string(number) + " is damaged");
    }
    if (levels.size() < 2)
        return fail("holds fewer than two levels");
    for (size_t i = 1; i < levels.size(); ++i)
        if (!(levels[i].level > levels[i - 1].level))
            return fail("its levels do not rise");
    m_state.levels = levels;
    m_state.missing = missing;
    return TRUE;
}

// ---- the drawing's view --------------------------------------------------------------

void CQKColorMapData::SyncForDrawing(const QKColorMapState& state, CQKPlotObj* owner)
{
    m_owner = owner;
    if (state.levels.empty() || (state == m_state && !m_fills.empty()))
        return;
    m_state = state;
    const int n = (int)state.levels.size();
    m_fills.assign(n + 4, Fill());
    m_fills[3] = Fill{false, state.levels[0].fillColor & 0xFFFFFF, state.levels[0].pattern};
    for (int i = 0; i < n; ++i)
        m_fills[4 + i] = Fill{false, state.levels[i].fillColor & 0xFFFFFF, state.levels[i].pattern};
    m_fills[2] = Fill{false, state.missing.fillColor & 0xFFFFFF, state.missing.pattern};
    m_missingIndex = 2;
    std::vector<bool> force(n + 1, false);
    for (int i = 0; i <= n && i < (int)m_lines.size(); ++i)
        force[i] = m_lines[i].forceLabel;
    m_lines.assign(n + 1, Line());
    m_lines[0].hasPen = false; // below every value: no line
    for (int i = 0; i < n; ++i) {
        const ColorMapEntry& e = state.levels[i];
        Line& line = m_lines[1 + i];
        line.flags = e.flags;
        line.pen.color = e.lineColor & 0xFFFFFF;
        line.pen.width = std::max(1, (int)lround(qkuIntLineWidthToDouble(e.lineWidth)));
        static const int styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_DASH, PS_DOT, PS_DASHDOT};
        line.pen.style = styles[e.lineStyle % 8];
        line.forceLabel = force[1 + i];
    }
    m_lines[0].forceLabel = force[0];
}

void CQKColorMapData::Save()
{
    qkfxGetCallLog().Add("CQKColorMapData::Save");
    if (!m_owner || m_state.levels.empty())
        return;
    QKColorMapState state = m_owner->GetColorMapState();
    if (state.levels.size() != m_state.levels.size())
        return;
    for (size_t i = 0; i < state.levels.size() && 1 + i < m_lines.size(); ++i)
        state.levels[i].flags = m_lines[1 + i].flags;
    m_state = state;
    CQKColorMapData copy(state);
    m_owner->SaveColorMapData(&copy);
}

CQKColorMapData* CQKContourPlotObj::GetValidColorMapDataForDrawing() const
{
    m_colorMap->SyncForDrawing(m_s.cmap, const_cast<CQKContourPlotObj*>(this));
    return m_colorMap.get();
}

// ---- the plot object -----------------------------------------------------------------

CQKColorMapData* CQKPlotObj::GetColorMapData(void*) const { return new CQKColorMapData(m_s.cmap); }

void CQKPlotObj::SaveColorMapData(const CQKColorMapData* map)
{
    if (!map)
        return;
    // The rescale mode is the plot's own setting, not part of the map.
    const int mode = m_s.cmap.rescaleMode;
    m_s.cmap = map->GetState();
    m_s.cmap.rescaleMode = mode;
}

void CQKPlotObj::SetColorMapRescaleMode(int mode)
{
    if (mode >= CMAP_RESCALE_MANUAL && mode <= CMAP_RESCALE_FIXED_TO)
        m_s.cmap.rescaleMode = mode;
}

BOOL CQKPlotObj::HasCMapProperties(int feature) const
{
    if (!UseColormapForDrawing())
        return FALSE;
    const bool contour = m_s.plotType == QK_PLOT_CONTOUR;
    switch (feature) {
    case 1:
    case 2:
    case 3: return contour;
    case 4: return contour || m_s.plotType == QK_PLOT_3D_SURFACE;
    default: return FALSE;
    }
}

BOOL CQKPlotObj::GetExtendedValue(int id, int* value) const
{
    const bool contour = m_s.plotType == QK_PLOT_CONTOUR;
    const bool surface = m_s.plotType == QK_PLOT_3D_SURFACE || m_s.plotType == QK_PLOT_3D_BARS;
    int v;
    switch (id) {
    case 3:
        if (!contour)
            return FALSE;
        v = m_s.contourFill;
        break;
    case 4:
        if (!surface)
            return FALSE;
        v = 1;
        break;
    case 5:
        if (!contour)
            return FALSE;
        v = 1;
        break;
    case 6:
        if (!contour)
            return FALSE;
        v = (int)lround(m_s.contourLabelMinArea);
        break;
    default: return FALSE;
    }
    if (value)
        *value = v;
    return TRUE;
}

BOOL CQKPlotObj::SetExtendedValue(int id, const int* value)
{
    const bool contour = m_s.plotType == QK_PLOT_CONTOUR;
    if (!value || !contour)
        return FALSE;
    switch (id) {
    case 3: m_s.contourFill = *value != 0; return TRUE;
    case 6:
        if (*value < 0 || *value > 100)
            return FALSE;
        m_s.contourLabelMinArea = *value;
        return TRUE;
    default: return FALSE;
    }
}

void CQKPlotObj::OnModifyZScaleValues(int rescale)
{
    qkfxGetCallLog().Add("CQKPlotObj::OnModifyZScaleValues", std::to_string(rescale));
    std::vector<ColorMapEntry>& levels = m_s.cmap.levels;
    double range[2];
    if (!rescale || levels.size() < 2 || m_s.cmap.rescaleMode == CMAP_RESCALE_MANUAL ||
        !GetDefaultColorColumnRange(range))
        return;
    double low = levels.front().level, high = levels.back().level;
    double newLow = low, newHigh = high;
    switch (m_s.cmap.rescaleMode) {
    case CMAP_RESCALE_NORMAL: newLow = range[0], newHigh = range[1]; break;
    case CMAP_RESCALE_FIXED_FROM: newHigh = std::max(range[1], low); break;
    case CMAP_RESCALE_FIXED_TO: newLow = std::min(range[0], high); break;
    }
    if (!(newHigh > newLow) || high == low)
        return;
    for (ColorMapEntry& e : levels)
        e.level = newLow + (e.level - low) * (newHigh - newLow) / (high - low);
}

BOOL CQKPlotObj::GetDefaultColorColumnRange(double range[2]) const
{
    CQKProject& project = qkfxGetProject();
    double low = HUGE_VAL, high = -HUGE_VAL;
    for (const QKPlotData& d : m_s.data) {
        if (d.role == QK_ROLE_MATRIX) {
            if (auto* matrix = dynamic_cast<CQKMatrixPage*>(project.FindPage(d.dataset)))
                for (int r = 1; r <= matrix->GetRows(); ++r)
                    for (int c = 1; c <= matrix->GetCols(); ++c) {
                        double z = matrix->GetCell(r, c);
                        if (Valid(z))
                            low = std::min(low, z), high = std::max(high, z);
                    }
        } else if (d.role == QK_ROLE_Z) {
            CQKDataset* ds = d.handle ? project.GetDatasetFromHandle(d.handle) : nullptr;
            if (!ds)
                ds = project.FindDataset(d.dataset);
            if (ds)
                for (int i = ds->GetFirst(); i < ds->GetEnd(); ++i) {
                    double z = ds->GetValue(i);
                    if (Valid(z))
                        low = std::min(low, z), high = std::max(high, z);
                }
        }
    }
    if (low > high) {
        // No Z data: the first colour of the plot taken per point through the colour map.
        const int colors[] = {m_s.color,         m_s.symbol.edgeColor,    m_s.symbol.fillColor,
                              m_s.pattern[0].borderColor, m_s.pattern[0].bkColor, m_s.pattern[0].barFillColor};
        for (int color : colors) {
            if (!qkIsPointQCOLOR(color) || !(color & QK_QCOLOR_COLORMAP))
                continue;
            if (const CQKDataset* ds = qkPointColorColumn(*this, color))
                for (int i = ds->GetFirst(); i < ds->GetEnd(); ++i) {
                    double v = ds->GetValue(i);
                    if (Valid(v))
                        low = std::min(low, v), high = std::max(high, v);
                }
            break;
        }
    }
    if (low > high)
        return FALSE;
    range[0] = low;
    range[1] = high;
    return TRUE;
}

CQKColorMapData* CQKPlotObj::GetColorMapDataOrCreateWithDefRange() const
{
    if (m_s.cmap.levels.size() >= 2)
        return GetColorMapData(nullptr);
    CQKPlotObj made(*this);
    made.MakeDefaultColorMap();
    return made.GetColorMapData(nullptr);
}

CQKDataset* qkPointColorColumn(const CQKPlotObj& plot, int qcolor)
{
    if (!qkIsPointQCOLOR(qcolor))
        return nullptr;
    const CQKDataset* y = qkPlotDataset(plot, QK_ROLE_Y);
    CQKWksPage* wks = y ? y->GetOwner() : nullptr;
    const int column = qkQCOLORColumn(qcolor);
    return wks && column <= wks->GetNumCols() ? wks->GetColumn(column) : nullptr;
}

COLORREF qkColorMapFill(const QKColorMapState& map, double value)
{
    if (!Valid(value) || map.levels.empty())
        return map.missing.fillColor & 0xFFFFFF;
    // The last level at or below the value; values below the first take the first.
    size_t i = 0;
    while (i + 1 < map.levels.size() && map.levels[i + 1].level <= value)
        ++i;
    return map.levels[i].fillColor & 0xFFFFFF;
}

void CQKPlotObj::MakeDefaultColorMap()
{
    double range[2] = {0, 1};
    if (!GetDefaultColorColumnRange(range) || !(range[1] > range[0]))
        range[1] = range[0] + 1;
    QKColorMapState& s = m_s.cmap;
    s.levels.assign(kDefaultBands + 1, ColorMapEntry());
    for (int i = 0; i <= kDefaultBands; ++i) {
        ColorMapEntry& e = s.levels[i];
        e.level = range[0] + (range[1] - range[0]) * i / kDefaultBands;
        e.fillColor = kRamp[std::min(i, kDefaultBands - 1)];
        e.lineColor = RGB(0, 0, 0);
    }
    s.missing = ColorMapEntry();
    s.missing.fillColor = RGB(192, 192, 192);
}

void CQKPlotObj::SetDataModified() { qkfxGetCallLog().Add("CQKPlotObj::SetDataModified", m_s.dataset); }

void CQKGraphicLayer::SetZScale(double low, double high)
{
    CQKAxes axes;
    if (!GetAxes(&axes, QK_AXIS_Z))
        return;
    char text[32];
    snprintf(text, sizeof text, "%.15g", low);
    axes.SetRangeFrom(text);
    snprintf(text, sizeof text, "%.15g", high);
    axes.SetRangeTo(text);
    UpdateFromTemporary();
}
