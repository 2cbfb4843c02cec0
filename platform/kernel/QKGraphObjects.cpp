#include "QKGraphObjects.h"
#include "KernelInternal.h"

#include <stdarg.h>
#include <stdlib.h>
#include <stdio.h>

#include <algorithm>

#include "QKCallLog.h"
#include "QKData.h"
#include "QKObjects.h"
#include "QKUtil.h"
#include "QKAccess.h"

namespace {

struct NamedColor {
    const char* name;
    DWORD rgb;
};

// The order is the numbering that plot objects store: it must never change.
const NamedColor kColors[] = {
    {"Black", RGB(0, 0, 0)},          {"Red", RGB(255, 0, 0)},
    {"Green", RGB(0, 255, 0)},        {"Blue", RGB(0, 0, 255)},
    {"Cyan", RGB(0, 255, 255)},       {"Magenta", RGB(255, 0, 255)},
    {"Yellow", RGB(255, 255, 0)},     {"Dark Yellow", RGB(128, 128, 0)},
    {"Navy", RGB(0, 0, 128)},         {"Purple", RGB(128, 0, 128)},
    {"Wine", RGB(128, 0, 0)},         {"Olive", RGB(0, 128, 0)},
    {"Dark Cyan", RGB(0, 128, 128)},  {"Royal", RGB(0, 0, 160)},
    {"Orange", RGB(255, 128, 0)},     {"Violet", RGB(128, 0, 255)},
    {"Pink", RGB(255, 0, 128)},       {"White", RGB(255, 255, 255)},
    {"LT Gray", RGB(192, 192, 192)},  {"Gray", RGB(128, 128, 128)},
    {"LT Yellow", RGB(255, 255, 128)}, {"LT Cyan", RGB(128, 255, 255)},
    {"LT Magenta", RGB(255, 128, 255)}, {"Dark Gray", RGB(64, 64, 64)},
};

struct FontEntry {
    const char* face;
    int kind;
};

// Entry 0 is the default entry; the faces are those the prefix maps to installed fonts.
const FontEntry kFonts[] = {
    {"Default", QK_FONT_TRUETYPE},
    {"Arial", QK_FONT_TRUETYPE},
    {"Times New Roman", QK_FONT_TRUETYPE},
    {"Courier New", QK_FONT_TRUETYPE},
    {"Symbol", QK_FONT_TRUETYPE},
    {"System", QK_FONT_DEVICE},
    {"Terminal", 0},
};

const char* const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                               "July",    "August",   "September", "October", "November", "December"};
const char* const kWeekdays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                 "Thursday", "Friday", "Saturday"};

// What SetDefault last made the default of new text labels.
struct TextDefaults {
    CQKTextStyle style;
    int color = 0;
    bool border = false;
    int borderStyle = 0;
    int tabWidth = 8;
};

TextDefaults& DefaultText()
{
    static TextDefaults defaults;
    return defaults;
}

} // namespace

namespace {

const char kPaletteSection[] = "Color Palette";
const int kMaxColors = 64;

std::vector<std::pair<std::string, DWORD>> DefaultColors()
{
    std::vector<std::pair<std::string, DWORD>> colours;
    for (const NamedColor& c : kColors)
        colours.emplace_back(c.name, c.rgb);
    return colours;
}

std::vector<std::pair<std::string, DWORD>>& Colors()
{
    static std::vector<std::pair<std::string, DWORD>> colours = DefaultColors();
    return colours;
}

int g_paletteMode = 0;

} // namespace

int CQKColor::GetColorNumber()
{
    return (int)Colors().size();
}

BOOL CQKColor::GetColorName(int index, std::string& name)
{
    if (index < 0 || index >= GetColorNumber()) {
        name.clear();
        return FALSE;
    }
    name = Colors()[index].first;
    return TRUE;
}

BOOL CQKColor::GetColorRef(int index, DWORD& colour, int)
{
    if (index < 0 || index >= GetColorNumber())
        return FALSE;
    colour = Colors()[index].second;
    return TRUE;
}

int CQKColor::GetMaxNumOfColors()
{
    return kMaxColors;
}

BOOL CQKColor::SetColors(const std::vector<std::pair<std::string, DWORD>>& colours)
{
    if (colours.empty() || (int)colours.size() > kMaxColors)
        return FALSE;
    for (const auto& c : colours)
        if (qkTrim(c.first).empty())
            return FALSE;
    Colors() = colours;
    for (auto& c : Colors())
        c.second &= 0xFFFFFF;
    return TRUE;
}

void CQKColor::GetColors(std::vector<std::pair<std::string, DWORD>>& colours)
{
    colours = Colors();
}

void CQKColor::RestoreQuorixDefaultColors()
{
    Colors() = DefaultColors();
}

BOOL CQKColor::SavePaletteToINIFile()
{
    CQKSettingsStore store(qkfxGetINIFileFullPathName());
    const auto& colours = Colors();
    for (size_t i = 0; i < colours.size(); ++i) {
        const DWORD c = colours[i].second;
        char rgb[32];
        snprintf(rgb, sizeof rgb, "%u %u %u ", (unsigned)GetRValue(c), (unsigned)GetGValue(c), (unsigned)GetBValue(c));
        store.Write(kPaletteSection, "Color" + std::to_string(i + 1), rgb + colours[i].first);
    }
    // The count last: a file cut short reads as no saved palette.
    store.Write(kPaletteSection, "Count", std::to_string(colours.size()));
    std::string check;
    return store.Read(kPaletteSection, "Count", check) && check == std::to_string(colours.size());
}

BOOL CQKColor::ReadPaletteFromINIFile()
{
    CQKSettingsStore store(qkfxGetINIFileFullPathName());
    std::string text;
    if (!store.Read(kPaletteSection, "Count", text))
        return FALSE;
    char* end = nullptr;
    const long count = strtol(text.c_str(), &end, 10);
    if (end == text.c_str() || *end || count < 1 || count > kMaxColors)
        return FALSE;
    std::vector<std::pair<std::string, DWORD>> colours;
    for (long i = 1; i <= count; ++i) {
        if (!store.Read(kPaletteSection, "Color" + std::to_string(i), text))
            return FALSE;
        unsigned r = 256, g = 256, b = 256;
        int used = 0;
        if (sscanf(text.c_str(), "%u %u %u %n", &r, &g, &b, &used) != 3 || r > 255 || g > 255 || b > 255)
            return FALSE;
        std::string name = qkTrim(text.substr(used));
        if (name.empty())
            return FALSE;
        colours.emplace_back(name, RGB(r, g, b));
    }
    if (store.Read(kPaletteSection, "PaletteType", text))
        CQKPalette::SetPaletteMode(text == "1" ? 1 : 0);
    return SetColors(colours);
}

int CQKPalette::GetPaletteMode()
{
    return g_paletteMode;
}

void CQKPalette::SetPaletteMode(int mode)
{
    g_paletteMode = mode == 1 ? 1 : 0;
}

BOOL CQKPalette::SavePaletteTypeToINIFile()
{
    CQKSettingsStore store(qkfxGetINIFileFullPathName());
    store.Write(kPaletteSection, "PaletteType", std::to_string(g_paletteMode));
    return TRUE;
}

int CQKFontManager::GetFontCount()
{
    return (int)(sizeof kFonts / sizeof kFonts[0]);
}

int CQKFontManager::GetFontName(int index, std::string& name)
{
    if (index < 0 || index >= GetFontCount()) {
        name.clear();
        return -1;
    }
    name = kFonts[index].face;
    return kFonts[index].kind;
}

CQKUtilDate::CQKUtilDate(double days)
{
    // Civil date from a day count (proleptic Gregorian calendar), counted from
    // 1 March of year 0 so that the leap day ends each 4-, 100- and 400-year cycle.
    long long z = (long long)days + 693901; // days from 0000-03-01 to 1900-01-01
    long long era = (z >= 0 ? z : z - 146096) / 146097;
    long long doe = z - era * 146097;
    long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    long long mp = (5 * doy + 2) / 153;
    m_day = (int)(doy - (153 * mp + 2) / 5 + 1);
    m_month = (int)(mp < 10 ? mp + 3 : mp - 9);
    m_year = (int)(yoe + era * 400 + (m_month <= 2 ? 1 : 0));
    // 1 January 1900 was a Monday.
    long long w = ((long long)days % 7 + 7 + 1) % 7;
    m_weekday = (int)w;
}

void CQKUtilDate::GetDateShortForm(std::string& text) const
{
    text = qkFormatText("%d/%d/%d", m_month, m_day, m_year);
}

void CQKUtilDate::GetDateLongForm(std::string& text) const
{
    text = qkFormatText("%s, %s %d, %d", kWeekdays[m_weekday], kMonths[m_month - 1], m_day, m_year);
}

CQKGrElement::~CQKGrElement() = default;

BOOL CQKGrElement::Attach(CQKLayer* layer, int id)
{
    if (!layer)
        return FALSE;
    m_layer = layer;
    m_id = id;
    return TRUE;
}

BOOL CQKGrElement::ApplyToAll(int code, int scope, double value, int)
{
    qkfxGetCallLog().Add("CQKGrElement::ApplyToAll", qkFormatText("%d %d %.17g", code, scope, value));
    return TRUE;
}

BOOL CQKGrObj::ApplyStyleToAll(int)
{
    qkfxGetCallLog().Add("CQKGrObj::ApplyStyleToAll", qkFormatText("%d", m_id));
    return TRUE;
}

BOOL CQKGrObj::SetDefault(int)
{
    return TRUE;
}

CQKTextObj::CQKTextObj()
{
    const TextDefaults& d = DefaultText();
    m_style = d.style;
    m_color = d.color;
    m_border = d.border;
    m_borderStyle = d.borderStyle;
    m_tabWidth = d.tabWidth;
}

void qkExchangeTextDefaults(QKSettingsExchange& ex)
{
    TextDefaults& d = DefaultText();
    int rotation = d.style.rotation, alignment = d.style.alignment, flags = d.style.flags, border = d.border;
    ex.Int("Font", d.style.font);
    ex.Int("Rotation", rotation);
    ex.Int("Size", d.style.size);
    ex.Int("Alignment", alignment);
    ex.Int("Flags", flags);
    ex.Int("Color", d.color);
    ex.Int("Border", border);
    ex.Int("BorderStyle", d.borderStyle);
    ex.Int("TabWidth", d.tabWidth);
    d.style.rotation = (short)rotation;
    d.style.alignment = (BYTE)(alignment == QK_TEXT_CENTER_MULTILINE ? alignment : 0);
    d.style.flags = (BYTE)(flags & (QK_TEXT_SYSTEM_FONT | QK_TEXT_WHITE_OUT));
    d.border = border != 0;
    if (d.style.size < 1)
        d.style.size = 1;
    if (d.tabWidth < 2 || d.tabWidth > 100)
        d.tabWidth = 8;
}

BOOL CQKTextObj::SetDefault(int)
{
    TextDefaults& d = DefaultText();
    d.style = m_style;
    d.color = m_color;
    d.border = m_border;
    d.borderStyle = m_borderStyle;
    d.tabWidth = m_tabWidth;
    qkfxGetCallLog().Add("CQKTextObj::SetDefault");
    return TRUE;
}

int CQKTextObj::DoDialog(CWnd*, int, UINT)
{
    qkfxGetCallLog().Add("CQKTextObj::DoDialog", "no dialog for a plain text object");
    return 0;
}

CQKDataset* CQKDataObj::GetData() const
{
    return qkfxGetProject().GetDatasetFromHandle(m_dataset);
}

BOOL CQKDataObj::IsDatasetExternal() const
{
    CQKDataset* data = GetData();
    return data && !data->IsColumn();
}

BOOL CQKDataObj::OpenWorksheet()
{
    CQKDataset* data = GetData();
    if (!data || !data->IsColumn())
        return FALSE;
    qkfxGetProject().SetActivePage(data->GetOwner());
    qkfxGetCallLog().Add("CQKDataObj::OpenWorksheet", data->GetOwner()->GetName());
    return TRUE;
}

void CQKErrorBar::UpdateData()
{
    qkfxGetCallLog().Add("CQKErrorBar::UpdateData", qkFormatText("%d", m_id));
}

BOOL CQKErrorBar::ApplyToAll()
{
    qkfxGetCallLog().Add("CQKErrorBar::ApplyToAll", qkFormatText("%d", m_id));
    return TRUE;
}

int CQKErrorBar::DoDialog(CWnd*, int, UINT)
{
    qkfxGetCallLog().Add("CQKErrorBar::DoDialog", "no dialog for a plain error bar");
    return 0;
}

CQKBaseLayer::~CQKBaseLayer() = default;

CQKLayer::~CQKLayer() = default;

int CQKLayer::AddObject(CQKGrElement* object)
{
    int id = ++m_lastId;
    object->Attach(this, id);
    m_objects[id].reset(object);
    return id;
}

BOOL CQKLayer::AddObjectAt(CQKGrElement* object, int id)
{
    if (id <= 0 || m_objects.count(id))
        return FALSE;
    m_lastId = std::max(m_lastId, id);
    object->Attach(this, id);
    m_objects[id].reset(object);
    return TRUE;
}

CQKGrElement* CQKLayer::GetObject(int id) const
{
    auto it = m_objects.find(id);
    return it == m_objects.end() ? nullptr : it->second.get();
}

BOOL CQKLayer::RemoveDataObj(int id)
{
    auto it = m_objects.find(id);
    if (it == m_objects.end())
        return FALSE;
    qkfxGetCallLog().Add("CQKLayer::RemoveDataObj", qkFormatText("%d", id));
    m_objects.erase(it);
    return TRUE;
}

int CQKLayer::MoveObjectTo(int id, CQKLayer* to)
{
    auto it = m_objects.find(id);
    if (it == m_objects.end() || !to)
        return 0;
    CQKGrElement* object = it->second.release();
    m_objects.erase(it);
    return to->AddObject(object);
}

void CQKLayer::RemovePlotsOf(INT_PTR dataset)
{
    for (auto it = m_objects.begin(); it != m_objects.end();) {
        auto* plot = dynamic_cast<CQKPlotObj*>(it->second.get());
        auto* data = dynamic_cast<CQKDataObj*>(plot);
        bool doomed = data && data->GetDataHandle() == dataset;
        if (plot && !doomed) {
            // A plot without its main dataset, or error bars without any of theirs, cannot
            // draw; a plot without another of its datasets (its X, say) draws without it.
            std::vector<QKPlotData> list = plot->GetDataList();
            for (size_t i = list.size(); i-- > 0;)
                if (list[i].role != QK_ROLE_MATRIX && list[i].handle == dataset) {
                    if (i == 0 || plot->IsErrorBarPlot())
                        doomed = true;
                    list.erase(list.begin() + i);
                }
            plot->SetDataList(list);
        }
        if (doomed)
            it = m_objects.erase(it);
        else
            ++it;
    }
}

CQKTextObj* CQKLayer::FindTextObj(const std::string& name) const
{
    for (const auto& entry : m_objects)
        if (auto* text = dynamic_cast<CQKTextObj*>(entry.second.get()))
            if (_stricmp(text->GetObjName().c_str(), name.c_str()) == 0)
                return text;
    return nullptr;
}

int CQKLayer::RaiseObject(int id)
{
    auto it = m_objects.find(id);
    if (it == m_objects.end())
        return 0;
    std::unique_ptr<CQKGrElement> object = std::move(it->second);
    m_objects.erase(it);
    const int top = ++m_lastId;
    object->Attach(this, top);
    m_objects[top] = std::move(object);
    return top;
}

std::vector<int> CQKLayer::GetObjectIds() const
{
    std::vector<int> ids;
    for (const auto& entry : m_objects)
        ids.push_back(entry.first);
    return ids;
}

void CQKLayer::SetFrameArea(const RECT& frame, double xFrom, double xTo, double yFrom, double yTo)
{
    m_frame = frame;
    m_xFrom = xFrom;
    m_xTo = xTo;
    m_yFrom = yFrom;
    m_yTo = yTo;
}

BOOL CQKLayer::IsPtInFrameArea(POINT point) const { return PtInRect(&m_frame, point); }

BOOL CQKLayer::LogicalToRealWorld(POINT point, double& x, double& y) const
{
    int width = m_frame.right - m_frame.left, height = m_frame.bottom - m_frame.top;
    if (width <= 0 || height <= 0)
        return FALSE;
    x = m_xFrom + (double)(point.x - m_frame.left) * (m_xTo - m_xFrom) / width;
    y = m_yFrom + (double)(m_frame.bottom - point.y) * (m_yTo - m_yFrom) / height;
    return TRUE;
}

void CQKLayer::BufferCleanup() { qkfxGetCallLog().Add("CQKLayer::BufferCleanup"); }

BOOL CQKLayer::DeleteDataObj(int id)
{
    auto it = m_objects.find(id);
    if (it == m_objects.end())
        return FALSE;
    std::string name;
    if (auto* data = dynamic_cast<CQKDataObj*>(it->second.get()))
        if (CQKDataset* dataset = data->GetData())
            name = dataset->GetName();
    qkfxGetCallLog().Add("CQKLayer::DeleteDataObj", qkFormatText("%d %s", id, name.c_str()));
    m_objects.erase(it);
    if (!name.empty())
        qkfxGetProject().DeleteDataset(name);
    return TRUE;
}

std::string CQKAxisLabelsObj::GetDataSetList() const
{
    std::string list;
    for (CQKDataset* dataset : qkfxGetProject().GetAllDatasets())
        list += (list.empty() ? "" : " ") + dataset->GetName();
    return list;
}

void CQKAxisLabelsObj::SetSpecialTicksPtr()
{
    qkfxGetCallLog().Add("CQKAxisLabelsObj::SetSpecialTicksPtr",
                         qkFormatText("%d %d %d", m_begin.type, m_end.type, m_special.type));
}

void CQKAxisLabelsObj::INIMinorTickSetting()
{
    qkfxGetCallLog().Add("CQKAxisLabelsObj::INIMinorTickSetting");
}

void CQKAxes::GetDlgTitle(std::string& title) const
{
    title = (m_type & QK_AXIS_Z) ? "Z Axis" : (m_type & QK_AXIS_Y) ? "Y Axis" : "X Axis";
    if (m_layer && m_layer->GetValidPagePtr())
        title += " - " + m_layer->GetValidPagePtr()->GetName();
}

BOOL CQKAxes::AdjustAxis(int type)
{
    // Logarithmic scales (log10, ln, log2) need a positive range: a range reaching zero
    // or below starts three decades below its end.
    if (type != 1 && type != 7 && type != 8)
        return FALSE;
    double from = atof(m_record->from.c_str()), to = atof(m_record->to.c_str());
    if (from > 0 && to > from)
        return FALSE;
    if (to <= 0)
        to = 10;
    from = to / 1000;
    m_record->from = CQKCString::DoubleToStrByFormat(from, "*");
    m_record->to = CQKCString::DoubleToStrByFormat(to, "*");
    m_record->inc = "1";
    return TRUE;
}

int CQKAxes::DoDialog(CWnd*, int, UINT)
{
    qkfxGetCallLog().Add("CQKAxes::DoDialog", "no dialog for plain axes");
    return 0;
}

CQKGraphicLayer::CQKGraphicLayer(CQKPage* page, bool is3D, bool triangle)
    : CQKLayer(page), m_3D(is3D), m_triangle(triangle)
{
    const int first[3] = {QK_AXIS_X, QK_AXIS_Y, QK_AXIS_Z};
    for (int d = 0; d < 3; ++d)
        for (int side = 0; side < 2; ++side)
            m_axes[d].ticks[side].SetAxisType(first[d] | (side ? QK_AXIS_SECOND : 0));
    // A new layer shows its bottom and left axes with labels; the top and right ones show
    // their line only, closing the frame, as the standard template has them.
    for (int d = 0; d < 3; ++d) {
        m_axes[d].ticks[1].SetMajorTickType(3);
        m_axes[d].ticks[1].SetMinorTickType(3);
        m_axes[d].labels[1].SetShow(FALSE);
    }
}

int CQKGraphicLayer::Dimension(int axisType)
{
    return (axisType & QK_AXIS_Z) ? 2 : (axisType & QK_AXIS_Y) ? 1 : 0;
}

int CQKGraphicLayer::GetHVAxisType(int axisType)
{
    return Dimension(axisType);
}

int CQKGraphicLayer::GetBTLRAxisType(int axisType)
{
    return 2 * Dimension(axisType) + ((axisType & QK_AXIS_SECOND) ? 1 : 0);
}

int CQKGraphicLayer::GetXYZAxisType(int index, BOOL btlr)
{
    const int dimensions[3] = {QK_AXIS_X, QK_AXIS_Y, QK_AXIS_Z};
    if (!btlr)
        return dimensions[index >= 0 && index < 3 ? index : 0];
    if (index < 0 || index > 5)
        index = 0;
    return dimensions[index / 2] | ((index & 1) ? QK_AXIS_SECOND : 0);
}

int CQKGraphicLayer::GetAxesID(int axisType)
{
    return Dimension(axisType) + 1;
}

BOOL CQKGraphicLayer::GetAxes(CQKAxes* axes, int axisType)
{
    if (!axes)
        return FALSE;
    int d = Dimension(axisType);
    if (!m_working[d])
        m_working[d].reset(new QKAxisRecord(m_axes[d]));
    axes->Attach(this, GetAxesID(axisType));
    axes->m_type = axisType;
    axes->m_record = m_working[d].get();
    return TRUE;
}

BOOL CQKGraphicLayer::IsAxisScaleTypeChangeable(int) const
{
    return !m_triangle;
}

BOOL CQKGraphicLayer::IsAxisShowable(int axisType) const
{
    return m_3D || !(axisType & QK_AXIS_Z);
}

const QKAxisRecord& CQKGraphicLayer::GetAxisRecord(int axisType) const
{
    return m_axes[Dimension(axisType)];
}

void CQKGraphicLayer::UpdateFromTemporary()
{
    for (int d = 0; d < 3; ++d)
        if (m_working[d])
            m_axes[d] = *m_working[d];
    // A working copy of the layer's settings gives them to its original.
    if (m_original) {
        m_original->m_st = m_st;
        // A copy's 3D view (made on its first use, perhaps) is its original's from now on.
        if (!m_view3D.empty())
            m_original->m_view3D = m_view3D;
    }
    qkFollowLinkedAxes(m_original ? *m_original : *this);
    qkfxGetCallLog().Add("CQKLayer::UpdateFromTemporary");
}

void CQKGraphicLayer::DiscardTemporary()
{
    for (auto& working : m_working)
        working.reset();
}

void CQKGraphicLayer::UpdateAll(BOOL)
{
    qkfxGetCallLog().Add("CQKLayer::UpdateAll");
}

void CQKGraphicLayer::DoDelayedUpdate()
{
    qkfxGetCallLog().Add("CQKLayer::DoDelayedUpdate");
}

void CQKGraphicLayer::UpdateTriangleAxis(int axisType)
{
    qkfxGetCallLog().Add("CQKLayer::UpdateTriangleAxis", qkFormatText("%d", axisType));
}

void CQKGraphicLayer::SetZScaleChanged(BOOL)
{
    qkfxGetCallLog().Add("CQKLayer::SetZScaleChanged");
}
