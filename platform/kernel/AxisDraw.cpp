// Axis scales and the axes of a layer: lines, ticks, tick labels, grids, breaks, titles.
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <array>
#include <cmath>

#include "PageRender.h"

namespace {

const double kPi = 3.14159265358979323846;

// The inverse of the standard normal distribution (Acklam's rational approximation,
// relative error below 1.2e-9, refined by one Newton step on erfc).
double NormalQuantile(double p)
{
    static const double a[] = {-3.969683028665376e+01, 2.209460984245205e+02, -2.759285104469687e+02,
                               1.383577518672690e+02, -3.066479806614716e+01, 2.506628277459239e+00};
    static const double b[] = {-5.447609879822406e+01, 1.615858368580409e+02, -1.556989798598866e+02,
                               6.680131188771972e+01, -1.328068155288572e+01};
    static const double c[] = {-7.784894002430293e-03, -3.223964580411365e-01, -2.400758277161838e+00,
                               -2.549732539343734e+00, 4.374664141464968e+00, 2.938163982698783e+00};
    static const double d[] = {7.784695709041462e-03, 3.224671290700398e-01, 2.445134137142996e+00,
                               3.754408661907416e+00};
    double x;
    if (p < 0.02425) {
        const double q = std::sqrt(-2 * std::log(p));
        x = (((((c[0] * q + c[1]) * q + c[2]) * q + c[3]) * q + c[4]) * q + c[5]) /
            ((((d[0] * q + d[1]) * q + d[2]) * q + d[3]) * q + 1);
    } else if (p <= 1 - 0.02425) {
        const double q = p - 0.5, r = q * q;
        x = (((((a[0] * r + a[1]) * r + a[2]) * r + a[3]) * r + a[4]) * r + a[5]) * q /
            (((((b[0] * r + b[1]) * r + b[2]) * r + b[3]) * r + b[4]) * r + 1);
    } else {
        const double q = std::sqrt(-2 * std::log(1 - p));
        x = -(((((c[0] * q + c[1]) * q + c[2]) * q + c[3]) * q + c[4]) * q + c[5]) /
            ((((d[0] * q + d[1]) * q + d[2]) * q + d[3]) * q + 1);
    }
    const double e = 0.5 * std::erfc(-x / std::sqrt(2.0)) - p;
    const double u = e * std::sqrt(2 * kPi) * std::exp(x * x / 2);
    return x - u / (1 + x * u / 2);
}

// The offset of the offset-reciprocal scale: degrees Celsius to kelvin, so that an
// Arrhenius plot's axis reads in Celsius.
const double kReciprocalOffset = 273.15;

double Number(const std::string& text, double fallback)
{
    char* end = nullptr;
    const double v = strtod(text.c_str(), &end);
    return (end == text.c_str() || !std::isfinite(v)) ? fallback : v;
}

std::string Text(double v)
{
    char buf[40];
    snprintf(buf, sizeof buf, "%.17g", v);
    return buf;
}

bool IsLogType(int type)
{
    return type == 1 || type == 7 || type == 8;
}

} // namespace

// ---- scale -------------------------------------------------------------------------------

BOOL CQKAxisScale::Transform(int type, double v, double& t)
{
    if (!std::isfinite(v))
        return FALSE;
    switch (type) {
    case 1: if (v <= 0) return FALSE; t = std::log10(v); return TRUE;
    case 7: if (v <= 0) return FALSE; t = std::log(v); return TRUE;
    case 8: if (v <= 0) return FALSE; t = std::log2(v); return TRUE;
    case 2: // probability: percent
        if (v <= 0 || v >= 100) return FALSE;
        t = NormalQuantile(v / 100);
        return TRUE;
    case 6: // logit: percent
        if (v <= 0 || v >= 100) return FALSE;
        t = std::log(v / (100 - v));
        return TRUE;
    case 4:
        if (v == 0) return FALSE;
        t = 1 / v;
        return TRUE;
    case 5:
        if (v + kReciprocalOffset == 0) return FALSE;
        t = 1 / (v + kReciprocalOffset);
        return TRUE;
    default: t = v; return TRUE; // linear, and probit (values already in probits)
    }
}

double CQKAxisScale::Inverse(int type, double t)
{
    switch (type) {
    case 1: return std::pow(10.0, t);
    case 7: return std::exp(t);
    case 8: return std::pow(2.0, t);
    case 2: return 50 * std::erfc(-t / std::sqrt(2.0));
    case 6: return 100 / (1 + std::exp(-t));
    case 4: return 1 / t;
    case 5: return 1 / t - kReciprocalOffset;
    default: return t;
    }
}

CQKAxisScale::CQKAxisScale(const QKAxisRecord& r)
{
    m_from = Number(r.from, 0);
    m_to = Number(r.to, 1);
    m_type = r.type;
    double a = 0, b = 1;
    m_valid = m_from != m_to && Transform(m_type, m_from, a) && Transform(m_type, m_to, b) && a != b;
    m_t0 = a;
    m_t1 = b;
    if (r.axisBreak.IsEnable()) {
        m_breakFrom = Number(r.axisBreak.GetRegionFrom(), 0);
        m_breakTo = Number(r.axisBreak.GetRegionTo(), 0);
        m_breakPos = std::min(99, std::max(1, r.axisBreak.GetPosition())) / 100.0;
        m_typeAfter = r.axisBreak.IsLogScaleAfter() ? 1 : m_type;
        const double lo = std::min(m_from, m_to), hi = std::max(m_from, m_to);
        // A break outside the range, or empty, leaves the scale whole.
        m_break = m_breakFrom < m_breakTo && m_breakFrom > lo && m_breakTo < hi && Transform(m_type, m_breakFrom, a) &&
                  Transform(m_typeAfter, m_breakTo, b);
        if (m_break && m_from > m_to)
            std::swap(m_breakFrom, m_breakTo);
    }
}

BOOL CQKAxisScale::Piece(int type, double from, double to, double value, double& fraction) const
{
    double a, b, t;
    if (!Transform(type, from, a) || !Transform(type, to, b) || !Transform(type, value, t) || a == b)
        return FALSE;
    fraction = (t - a) / (b - a);
    return TRUE;
}

BOOL CQKAxisScale::ToFraction(double value, double& fraction) const
{
    if (!m_valid)
        return FALSE;
    if (!m_break)
        return Piece(m_type, m_from, m_to, value, fraction);
    // Before the break the axis runs from From to the break's start over the first part
    // of its length; after it from the break's end to To.
    const bool ascending = m_from < m_to;
    const bool before = ascending ? value <= m_breakFrom : value >= m_breakFrom;
    const bool after = ascending ? value >= m_breakTo : value <= m_breakTo;
    double f;
    if (before) {
        if (!Piece(m_type, m_from, m_breakFrom, value, f))
            return FALSE;
        fraction = f * m_breakPos;
        return TRUE;
    }
    if (after) {
        if (!Piece(m_typeAfter, m_breakTo, m_to, value, f))
            return FALSE;
        fraction = m_breakPos + f * (1 - m_breakPos);
        return TRUE;
    }
    fraction = m_breakPos; // inside the left-out region
    return TRUE;
}

double CQKAxisScale::FromFraction(double fraction) const
{
    double a, b;
    if (!m_break) {
        Transform(m_type, m_from, a);
        Transform(m_type, m_to, b);
        return Inverse(m_type, a + fraction * (b - a));
    }
    if (fraction <= m_breakPos) {
        Transform(m_type, m_from, a);
        Transform(m_type, m_breakFrom, b);
        return Inverse(m_type, a + fraction / m_breakPos * (b - a));
    }
    Transform(m_typeAfter, m_breakTo, a);
    Transform(m_typeAfter, m_to, b);
    return Inverse(m_typeAfter, a + (fraction - m_breakPos) / (1 - m_breakPos) * (b - a));
}

QKLayerMap::QKLayerMap(const RECT& f, const QKAxisRecord& xr, const QKAxisRecord& yr, bool exchanged, bool polarLayer)
    : frame(f), x(xr), y(yr), exchange(exchanged && !polarLayer), polar(polarLayer)
{
    // device = origin + Transform(value) * scale, when the axis has no break. Along the
    // horizontal values grow to the right, along the vertical upward.
    const double width = f.right - f.left, height = f.bottom - f.top;
    xScale = x.IsValid() ? (exchange ? -height : width) / (x.GetT1() - x.GetT0()) : 0;
    xOrigin = (exchange ? f.bottom : f.left) - x.GetT0() * xScale;
    yScale = y.IsValid() ? (exchange ? width : -height) / (y.GetT1() - y.GetT0()) : 0;
    yOrigin = (exchange ? f.left : f.bottom) - y.GetT0() * yScale;
    cx = (f.left + f.right) / 2.0;
    cy = (f.top + f.bottom) / 2.0;
    radius = std::min(width, height) / 2;
}

QKLayerMap::QKLayerMap(const RECT& f, const CQKGraphicLayer& layer)
    : QKLayerMap(f, layer.GetAxisRecord(QK_AXIS_X), layer.GetAxisRecord(QK_AXIS_Y),
                 layer.IsExchangeAxes() && !layer.Is3DLayer() && !layer.IsLayerTriangle(),
                 layer.IsPolar() && !layer.Is3DLayer() && !layer.IsLayerTriangle())
{
    if (!layer.IsLayerTriangle() || layer.Is3DLayer())
        return;
    ternary = true;
    const double rise = std::sqrt(3.0) / 2;
    side = std::min<double>(f.right - f.left, (f.bottom - f.top) / rise);
    height = side * rise;
    triLeft = cx - side / 2;
    triBottom = cy + height / 2;
}

bool QKLayerMap::PlainLinear() const
{
    auto linear = [](const CQKAxisScale& s) { return !s.HasBreak() && s.IsValid() && (s.GetType() == 0 || s.GetType() == 3); };
    return !exchange && !polar && !ternary && linear(x) && linear(y);
}

namespace {

// A fraction of the frame along the horizontal (from the left) or the vertical (from the
// bottom).
double Along(const RECT& f, bool vertical, double fraction)
{
    return vertical ? f.bottom - fraction * (f.bottom - f.top) : f.left + fraction * (f.right - f.left);
}

} // namespace

bool QKLayerMap::MapX(double v, double& d) const
{
    if (polar || ternary)
        return false;
    if (!x.HasBreak()) {
        double t;
        if (!x.IsValid() || !CQKAxisScale::Transform(x.GetType(), v, t))
            return false;
        d = xOrigin + t * xScale;
        return true;
    }
    double f;
    if (!x.ToFraction(v, f))
        return false;
    d = Along(frame, exchange, f);
    return true;
}

bool QKLayerMap::MapY(double v, double& d) const
{
    if (polar || ternary)
        return false;
    if (!y.HasBreak()) {
        double t;
        if (!y.IsValid() || !CQKAxisScale::Transform(y.GetType(), v, t))
            return false;
        d = yOrigin + t * yScale;
        return true;
    }
    double f;
    if (!y.ToFraction(v, f))
        return false;
    d = Along(frame, !exchange, f);
    return true;
}

bool QKLayerMap::Map(double vx, double vy, double& dx, double& dy) const
{
    if (ternary) {
        if (!std::isfinite(vx) || !std::isfinite(vy))
            return false;
        dx = triLeft + (vx * side);
        dy = triBottom - vy * height;
        return true;
    }
    if (polar) {
        // Radii below the scale's start have no place on the circle.
        double f;
        if (!y.IsValid() || !y.ToFraction(vy, f) || f < 0 || !std::isfinite(vx))
            return false;
        const double a = vx * 3.14159265358979323846 / 180;
        dx = cx + f * radius * std::cos(a);
        dy = cy - f * radius * std::sin(a);
        return true;
    }
    double a, b;
    if (!MapX(vx, a) || !MapY(vy, b))
        return false;
    dx = exchange ? b : a;
    dy = exchange ? a : b;
    return true;
}

POINT QKLayerMap::Point(double alongX, double alongY) const
{
    // Rounded half up and kept well inside GDI's coordinates, as the plots round.
    auto round = [](double d) { return (LONG)std::floor(std::max(-67108864.0, std::min(67108864.0, d)) + 0.5); };
    return {round(exchange ? alongY : alongX), round(exchange ? alongX : alongY)};
}

// ---- pens and brushes --------------------------------------------------------------------

COLORREF qkColorOf(int index)
{
    // An index the table no longer reaches (the user shortened it) wraps round the table,
    // so plots keep drawing, in distinct colours, instead of reading past its end.
    DWORD rgb = 0;
    const int n = CQKColor::GetColorNumber();
    if (!CQKColor::GetColorRef(index, rgb, 0) && n > 0)
        CQKColor::GetColorRef((index % n + n) % n, rgb, 0);
    return (COLORREF)rgb;
}

int QKDrawEnv::PenWidth(double points) const
{
    return std::max(1, (int)std::lround(PointsToPixels(points)));
}

HPEN qkCreateLinePen(const QKDrawEnv& env, int style, double widthPoints, COLORREF color)
{
    const int width = env.PenWidth(widthPoints);
    if (style <= 0 && width <= 1)
        return CreatePen(PS_SOLID, 1, color);
    // Dash lengths in points, scaled with the page.
    static const DWORD patterns[][6] = {{0}, {12, 6}, {2, 4}, {12, 4, 2, 4}, {12, 4, 2, 4, 2, 4},
                                        {6, 4}, {2, 2}, {6, 3, 2, 3}};
    static const int lengths[] = {0, 2, 2, 4, 6, 2, 2, 4};
    LOGBRUSH lb = {BS_SOLID, color, 0};
    const int s = style >= 0 && style < 8 ? style : 0;
    if (s == 0)
        return ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT | PS_JOIN_MITER, width, &lb, 0, nullptr);
    DWORD dashes[6];
    for (int i = 0; i < lengths[s]; ++i)
        dashes[i] = std::max<DWORD>(1, (DWORD)std::lround(env.PointsToPixels(patterns[s][i]) * std::max(1.0, widthPoints / 0.5) / 2));
    return ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE | PS_ENDCAP_FLAT, width, &lb, lengths[s], dashes);
}

HBRUSH qkCreatePatternBrush(int pattern, COLORREF fill, COLORREF patternColor)
{
    static const int hatches[] = {HS_HORIZONTAL, HS_VERTICAL, HS_FDIAGONAL, HS_BDIAGONAL, HS_CROSS, HS_DIAGCROSS};
    if (pattern >= 1 && pattern <= 6)
        return CreateHatchBrush(hatches[pattern - 1], patternColor);
    return CreateSolidBrush(fill);
}

// ---- ticks -------------------------------------------------------------------------------

namespace {

struct Ticks {
    std::vector<double> major, minor;
};

// Probability-like scales take their majors from the familiar percentages.
const double kPercentTicks[] = {0.01, 0.1, 1, 5, 10, 20, 30, 40, 50, 60, 70, 80, 90, 95, 99, 99.9, 99.99};

void AddMinors(Ticks& t, const CQKAxisScale& scale, int count, double inc, bool logScale)
{
    if (count <= 0)
        return;
    // Between two majors (and beyond the outer ones, by the same step) in value space:
    // on a log scale of 8 minors this gives 2..9 of each decade.
    std::vector<double> majors = t.major;
    if (majors.empty())
        return;
    const double lo = std::min(scale.GetFrom(), scale.GetTo()), hi = std::max(scale.GetFrom(), scale.GetTo());
    auto add = [&](double a, double b) {
        for (int k = 1; k <= count; ++k) {
            const double v = a + (b - a) * k / (count + 1);
            if (v > lo - 1e-12 * (hi - lo) && v < hi + 1e-12 * (hi - lo))
                t.minor.push_back(v);
        }
    };
    for (size_t i = 0; i + 1 < majors.size(); ++i)
        add(majors[i], majors[i + 1]);
    if (logScale) {
        add(majors.front() / std::pow(10.0, inc), majors.front());
        add(majors.back(), majors.back() * std::pow(10.0, inc));
    } else if (inc > 0) {
        add(majors.front() - inc, majors.front());
        add(majors.back(), majors.back() + inc);
    }
}

Ticks MakeTicks(const QKAxisRecord& r, const CQKAxisScale& scale)
{
    Ticks t;
    if (!scale.IsValid())
        return t;
    const double lo = std::min(scale.GetFrom(), scale.GetTo()), hi = std::max(scale.GetFrom(), scale.GetTo());
    const int type = scale.GetType();
    const double eps = 1e-9 * (hi - lo);
    const CQKAxisBreak& br = r.axisBreak;
    const double bFrom = Number(br.GetRegionFrom(), 0), bTo = Number(br.GetRegionTo(), 0);
    if (br.IsEnable() && bFrom < bTo && bFrom > lo && bTo < hi) {
        // Each side of a break has its own increment (and after it possibly a log
        // scale); no tick stands in the left-out region or on its edges, where the axis
        // line has its gap.
        QKAxisRecord before = r, after = r;
        before.axisBreak.SetEnable(FALSE);
        after.axisBreak.SetEnable(FALSE);
        before.from = Text(lo);
        before.to = Text(bFrom);
        before.inc = br.GetScaleIncBefore();
        before.firstTick.clear();
        after.from = Text(bTo);
        after.to = Text(hi);
        after.inc = br.GetScaleIncAfter();
        after.firstTick.clear();
        if (br.IsLogScaleAfter())
            after.type = 1;
        const Ticks a = MakeTicks(before, CQKAxisScale(before)), b = MakeTicks(after, CQKAxisScale(after));
        auto keep = [&](const std::vector<double>& from, std::vector<double>& into) {
            for (double v : from)
                if (v < bFrom - eps || v > bTo + eps)
                    into.push_back(v);
        };
        keep(a.major, t.major);
        keep(b.major, t.major);
        keep(a.minor, t.minor);
        keep(b.minor, t.minor);
        return t;
    }
    if (type == 2 || type == 6) {
        for (double v : kPercentTicks)
            if (v >= lo - eps && v <= hi + eps)
                t.major.push_back(v);
        return t;
    }
    if (IsLogType(type)) {
        const double base = type == 1 ? 10 : type == 8 ? 2 : std::exp(1.0);
        double inc = Number(r.inc, 1);
        if (inc <= 0)
            inc = 1;
        const double a = std::log(lo) / std::log(base), b = std::log(hi) / std::log(base);
        const double first = std::ceil(a / inc - 1e-9) * inc;
        for (double e = first; e <= b + 1e-9 && t.major.size() < 200; e += inc)
            t.major.push_back(std::pow(base, e));
        if (type == 1)
            AddMinors(t, scale, r.minorTicks, inc, true);
        return t;
    }
    double inc = Number(r.inc, 0);
    if (r.useMajor && r.major > 1) {
        for (int i = 0; i < r.major; ++i)
            t.major.push_back(lo + (hi - lo) * i / (r.major - 1));
        inc = (hi - lo) / (r.major - 1);
    } else {
        if (!(inc > 0) || (hi - lo) / inc > 1000)
            inc = (hi - lo) / 5;
        double first = std::ceil((lo - eps) / inc) * inc;
        if (!r.firstTick.empty())
            first = Number(r.firstTick, first);
        for (int i = 0; i < 1001; ++i) {
            double v = first + i * inc;
            if (v > hi + eps)
                break;
            if (std::fabs(v) < eps)
                v = 0;
            if (v >= lo - eps)
                t.major.push_back(v);
        }
    }
    AddMinors(t, scale, r.minorTicks, inc, false);
    return t;
}

// The tick label of a value by the label settings; empty for none.
std::string LabelText(const CQKAxisLabelsObj& lab, double v, int index, const CQKAxisScale& scale)
{
    std::string text;
    char buf[64];
    switch (lab.GetLabelType()) {
    case 1: // text of a dataset, by the value as a row number from 1
    case 7: { // the dataset's rows in tick order
        CQKDataset* d = qkfxGetProject().FindDataset(lab.GetDataSetName());
        const int row = lab.GetLabelType() == 1 ? (int)std::lround(v) - 1 : index;
        if (!d || row < 0 || row >= d->GetEnd())
            return std::string();
        text = d->GetText(row);
        break;
    }
    case 2: { // time of day, from a fraction of a day
        const double day = v - std::floor(v);
        const int secs = (int)std::lround(day * 86400);
        snprintf(buf, sizeof buf, "%02d:%02d", secs / 3600 % 24, secs / 60 % 60);
        text = buf;
        break;
    }
    case 3: CQKUtilDate(v).GetDateShortForm(text); break;
    case 4: {
        static const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
        text = months[(((int)std::lround(v) - 1) % 12 + 12) % 12];
        break;
    }
    case 5: {
        static const char* days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
        text = days[(((int)std::lround(v)) % 7 + 7) % 7];
        break;
    }
    case 6: { // column headings of the worksheet of the label dataset, by column number
        CQKDataset* d = qkfxGetProject().FindDataset(lab.GetDataSetName());
        CQKWksPage* wks = d ? d->GetOwner() : nullptr;
        CQKDataset* col = wks ? wks->GetColumn((int)std::lround(v)) : nullptr;
        if (!col)
            return std::string();
        text = col->m_label.empty() ? col->m_columnName : col->m_label;
        break;
    }
    default: {
        double value = v;
        if (lab.GetFactor() != 0)
            value /= lab.GetFactor();
        const int digits = lab.IsAxisManualDec() ? std::max(0, std::min(15, lab.GetDecDigits())) : -1;
        switch (lab.GetFormatType()) {
        case 1: // scientific
            snprintf(buf, sizeof buf, digits >= 0 ? "%.*E" : "%.*G", digits >= 0 ? digits : 3, value);
            if (digits < 0)
                snprintf(buf, sizeof buf, "%.0E", value);
            break;
        case 2: { // engineering: a power of ten that is a multiple of three
            const int e = value == 0 ? 0 : (int)std::floor(std::log10(std::fabs(value)) / 3) * 3;
            snprintf(buf, sizeof buf, "%.*gE%d", digits >= 0 ? digits + 1 : 6, value / std::pow(10.0, e), e);
            break;
        }
        default:
            if (digits >= 0)
                snprintf(buf, sizeof buf, "%.*f", digits, value);
            else if (IsLogType(scale.GetType()) && (std::fabs(value) >= 1e6 || (value != 0 && std::fabs(value) < 1e-4)))
                snprintf(buf, sizeof buf, "%.0E", value);
            else
                snprintf(buf, sizeof buf, "%.10g", value);
        }
        text = buf;
        if (lab.GetFormatType() == 3) { // thousands separated by commas
            std::string s = text;
            size_t dot = s.find('.');
            size_t end = dot == std::string::npos ? s.size() : dot;
            size_t start = (s[0] == '-') ? 1 : 0;
            for (long i = (long)end - 3; i > (long)start; i -= 3)
                s.insert((size_t)i, ",");
            text = s;
        }
        if (value > 0 && lab.IsShowPlusSigns())
            text = "+" + text;
        if (value < 0 && !lab.IsShowMinusSigns())
            text = text.substr(1);
    }
    }
    return lab.GetPrefixName() + text + lab.GetSuffixName();
}

bool Near(double a, double b, double span)
{
    return std::fabs(a - b) <= 1e-9 * std::max(span, 1e-300);
}

struct SideGeometry {
    bool horizontal; // an X axis
    int pos;         // the axis line's device coordinate across the axis
    int outward;     // +1 when outward is down or right, -1 up or left
};

// A polar layer's axes. The circle of the largest radius is X's axis, with ticks and
// labels at its angles; the radius to the right (angle 0) is Y's. X's grid lines are radii
// at its ticks, Y's circles at its ticks. Only the first side of each axis is drawn.
// The box around every tick label of an axis, grown label by label; empty (left past
// right) before the first.
void GrowLabelBox(RECT& all, const RECT& rc)
{
    all.left = std::min(all.left, rc.left);
    all.top = std::min(all.top, rc.top);
    all.right = std::max(all.right, rc.right);
    all.bottom = std::max(all.bottom, rc.bottom);
}

// The tick labels' box of a dimension as one hit (part 2: the labels), when any was drawn.
bool AddLabelsHit(const QKDrawEnv& env, int dimension, const RECT& all)
{
    if (all.left > all.right)
        return false;
    QKHitItem labHit;
    labHit.layer = env.layerIndex;
    labHit.dimension = dimension;
    labHit.part = 2;
    labHit.box = all;
    env.AddHit(labHit);
    return true;
}

void DrawPolarAxes(const QKDrawEnv& env, CQKGraphicLayer& layer, const QKLayerMap& map, bool gridsOnly, bool noGrids)
{
    HDC dc = env.dc;
    const double kDegree = 3.14159265358979323846 / 180;
    auto pointAt = [&](double degrees, double r) {
        return POINT{(LONG)std::lround(map.cx + r * std::cos(degrees * kDegree)),
                     (LONG)std::lround(map.cy - r * std::sin(degrees * kDegree))};
    };
    auto radiusOf = [&](double v, double& r) {
        double f;
        if (!map.y.ToFraction(v, f) || f < -1e-9 || f > 1 + 1e-9)
            return false;
        r = f * map.radius;
        return true;
    };
    auto circle = [&](double r) {
        std::vector<POINT> pts;
        for (int k = 0; k <= 120; ++k)
            pts.push_back(pointAt(k * 3.0, r));
        return pts;
    };
    if (!map.y.IsValid())
        return;
    const QKAxisRecord& xr = layer.GetAxisRecord(QK_AXIS_X);
    const QKAxisRecord& yr = layer.GetAxisRecord(QK_AXIS_Y);
    const Ticks xt = MakeTicks(xr, map.x), yt = MakeTicks(yr, map.y);
    // An angle a whole turn on from another tick stands on it: it is drawn once.
    std::vector<double> angles;
    for (double v : xt.major)
        if (std::none_of(angles.begin(), angles.end(), [&](double a) { return std::fabs(std::remainder(v - a, 360)) < 1e-9; }))
            angles.push_back(v);
    const bool shown[2] = {layer.IsAxisDisplayed(QK_AXIS_X) != FALSE, layer.IsAxisDisplayed(QK_AXIS_Y) != FALSE};
    QKHitItem hit;
    hit.layer = env.layerIndex;
    if (!noGrids) {
        for (int dim = 0; dim < 2; ++dim) {
            const QKAxisRecord& r = dim == 0 ? xr : yr;
            const Ticks& t = dim == 0 ? xt : yt;
            const CQKAxisGridsObj* grids[2] = {&r.minorGrid, &r.majorGrid};
            const std::vector<double>* values[2] = {&t.minor, &t.major};
            for (int g = 0; g < 2; ++g) {
                if (!shown[dim] || !grids[g]->IsShow())
                    continue;
                const int color = grids[g]->GetColor() < 0 ? 19 : grids[g]->GetColor();
                HPEN pen = qkCreateLinePen(env, grids[g]->GetType(), grids[g]->GetWidth(), qkColorOf(color));
                HGDIOBJ old = SelectObject(dc, pen);
                hit.dimension = dim;
                hit.part = g == 0 ? 5 : 4;
                for (double v : *values[g]) {
                    double r = map.radius;
                    if (dim == 1 && !radiusOf(v, r))
                        continue;
                    hit.path = dim == 0 ? std::vector<POINT>{pointAt(0, 0), pointAt(v, map.radius)} : circle(r);
                    Polyline(dc, hit.path.data(), (int)hit.path.size());
                    env.AddHit(hit);
                }
                SelectObject(dc, old);
                DeleteObject(pen);
            }
        }
    }
    if (gridsOnly)
        return;
    for (int dim = 0; dim < 2; ++dim) {
        const QKAxisRecord& r = dim == 0 ? xr : yr;
        const CQKAxisTicksObj& axis = r.ticks[0];
        const CQKAxisLabelsObj& lab = r.labels[0];
        SetRectEmpty(&env.axisExtent[dim][0]);
        if (!shown[dim])
            continue;
        const int majorLen = (int)std::lround(env.PointsToPixels(axis.GetTickLength() / 10.0));
        const bool outTicks = axis.IsShow() && (axis.GetMajorTickType() == 0 || axis.GetMajorTickType() == 2);
        const int inLen = axis.IsShow() && (axis.GetMajorTickType() == 0 || axis.GetMajorTickType() == 1) ? majorLen : 0;
        const int outLen = outTicks ? majorLen : 0;
        hit.dimension = dim;
        hit.part = 0;
        // Ticks of X stand across the circle; Y's hang below its radius.
        if (axis.IsShow()) {
            HPEN pen = qkCreateLinePen(env, 0, axis.GetWidth() > 0 ? axis.GetWidth() : 0.5,
                                       qkColorOf(axis.GetColor() < 0 ? 0 : axis.GetColor()));
            HGDIOBJ old = SelectObject(dc, pen);
            hit.path = dim == 0 ? circle(map.radius) : std::vector<POINT>{pointAt(0, 0), pointAt(0, map.radius)};
            Polyline(dc, hit.path.data(), (int)hit.path.size());
            env.AddHit(hit);
            if (dim == 0) {
                for (double v : angles) {
                    const POINT a = pointAt(v, map.radius - inLen), b = pointAt(v, map.radius + outLen);
                    MoveToEx(dc, a.x, a.y, nullptr);
                    LineTo(dc, b.x, b.y);
                }
            } else {
                for (double v : yt.major) {
                    double rad;
                    if (!radiusOf(v, rad))
                        continue;
                    const POINT p = pointAt(0, rad);
                    MoveToEx(dc, p.x, p.y - inLen, nullptr);
                    LineTo(dc, p.x, p.y + outLen + 1);
                }
            }
            SelectObject(dc, old);
            DeleteObject(pen);
        }
        if (!lab.IsShow())
            continue;
        CQKTextStyle style;
        style.font = lab.GetFontType();
        style.size = lab.GetFontSize();
        CQKTextDC text(dc, style, lab.GetColor() < 0 ? 0 : lab.GetColor(), env.PointsToPixels(1));
        const int gap = outLen + (int)std::lround(env.PointsToPixels(3));
        RECT all = {INT_MAX, INT_MAX, INT_MIN, INT_MIN};
        const std::vector<double>& values = dim == 0 ? angles : yt.major;
        for (size_t i = 0; i < values.size(); ++i) {
            const double v = values[i];
            double rad = map.radius;
            if (dim == 1 && !radiusOf(v, rad))
                continue;
            const std::string shownText = LabelText(lab, v, (int)i, dim == 0 ? map.x : map.y);
            if (shownText.empty())
                continue;
            const SIZE sz = text.MeasureQuorixText(shownText, FALSE);
            RECT rc;
            if (dim == 0) {
                // Outside the circle, the label's centre pushed out along the radius.
                const POINT p = pointAt(v, map.radius + gap);
                const double c = std::cos(v * kDegree), sn = std::sin(v * kDegree);
                rc.left = p.x + (LONG)std::lround((c - 1) * sz.cx / 2.0);
                rc.top = p.y - (LONG)std::lround((sn + 1) * sz.cy / 2.0);
            } else {
                const POINT p = pointAt(0, rad);
                rc.left = p.x - sz.cx / 2;
                rc.top = p.y + gap;
            }
            rc.right = rc.left + sz.cx;
            rc.bottom = rc.top + sz.cy;
            text.DrawQuorixText(shownText, rc, FALSE);
            GrowLabelBox(all, rc);
        }
        if (AddLabelsHit(env, dim, all))
            env.axisExtent[dim][0] = all;
    }
}

// A ternary layer's axes: each side of the triangle carries one fraction from 0 to 1,
// growing toward its own corner: Y along the bottom (X's corner to Y's), Z up the right
// (Y's to Z's), X down the left (Z's to X's). A grid line of a fraction joins its places
// on the two sides that meet at its corner.
void DrawTernaryAxes(const QKDrawEnv& env, CQKGraphicLayer& layer, const QKLayerMap& map, bool gridsOnly, bool noGrids)
{
    HDC dc = env.dc;
    const double corner[3][2] = {{map.triLeft, map.triBottom},
                                 {map.triLeft + map.side, map.triBottom},
                                 {map.triLeft + map.side / 2, map.triBottom - map.height}};
    const double centre[2] = {map.triLeft + map.side / 2, map.triBottom - map.height / 3};
    const int axisTypes[3] = {QK_AXIS_X, QK_AXIS_Y, QK_AXIS_Z};
    auto along = [&](int from, int to, double t) {
        return std::array<double, 2>{corner[from][0] + t * (corner[to][0] - corner[from][0]),
                                     corner[from][1] + t * (corner[to][1] - corner[from][1])};
    };
    auto pt = [](const std::array<double, 2>& p) { return POINT{(LONG)std::lround(p[0]), (LONG)std::lround(p[1])}; };
    for (int pass = 0; pass < 2; ++pass) {
        if ((pass == 0 && noGrids) || (pass == 1 && gridsOnly))
            continue;
        for (int d = 0; d < 3; ++d) {
            if (!layer.IsAxisDisplayed(axisTypes[d]))
                continue;
            const QKAxisRecord& r = layer.GetAxisRecord(axisTypes[d]);
            const CQKAxisScale scale(r);
            if (!scale.IsValid())
                continue;
            const Ticks ticks = MakeTicks(r, scale);
            const int start = (d + 2) % 3, next = (d + 1) % 3;
            auto fraction = [&](double v, double& t) { return scale.ToFraction(v, t) && t >= -1e-9 && t <= 1 + 1e-9; };
            QKHitItem hit;
            hit.layer = env.layerIndex;
            hit.dimension = d;
            if (pass == 0) {
                const CQKAxisGridsObj* grids[2] = {&r.minorGrid, &r.majorGrid};
                const std::vector<double>* values[2] = {&ticks.minor, &ticks.major};
                for (int g = 0; g < 2; ++g) {
                    if (!grids[g]->IsShow())
                        continue;
                    const int color = grids[g]->GetColor() < 0 ? 19 : grids[g]->GetColor();
                    HPEN pen = qkCreateLinePen(env, grids[g]->GetType(), grids[g]->GetWidth(), qkColorOf(color));
                    HGDIOBJ old = SelectObject(dc, pen);
                    hit.part = g == 0 ? 5 : 4;
                    for (double v : *values[g]) {
                        double t;
                        if (!fraction(v, t))
                            continue;
                        hit.path = {pt(along(start, d, t)), pt(along(d, next, 1 - t))};
                        Polyline(dc, hit.path.data(), 2);
                        env.AddHit(hit);
                    }
                    SelectObject(dc, old);
                    DeleteObject(pen);
                }
                continue;
            }
            const CQKAxisTicksObj& axis = r.ticks[0];
            const CQKAxisLabelsObj& lab = r.labels[0];
            // Outward: away from the triangle's centre, across the side.
            const auto mid = along(start, d, 0.5);
            double ox = mid[0] - centre[0], oy = mid[1] - centre[1];
            const double len = std::hypot(ox, oy);
            ox /= len, oy /= len;
            const int majorLen = (int)std::lround(env.PointsToPixels(axis.GetTickLength() / 10.0));
            const bool out = axis.IsShow() && (axis.GetMajorTickType() == 0 || axis.GetMajorTickType() == 2);
            const int outLen = out ? majorLen : 0;
            const int inLen = axis.IsShow() && (axis.GetMajorTickType() == 0 || axis.GetMajorTickType() == 1) ? majorLen : 0;
            if (axis.IsShow()) {
                HPEN pen = qkCreateLinePen(env, 0, axis.GetWidth() > 0 ? axis.GetWidth() : 0.5,
                                           qkColorOf(axis.GetColor() < 0 ? 0 : axis.GetColor()));
                HGDIOBJ old = SelectObject(dc, pen);
                hit.part = 0;
                hit.path = {pt(along(start, d, 0)), pt(along(start, d, 1))};
                Polyline(dc, hit.path.data(), 2);
                env.AddHit(hit);
                for (double v : ticks.major) {
                    double t;
                    if (!fraction(v, t))
                        continue;
                    const auto p = along(start, d, t);
                    MoveToEx(dc, (int)std::lround(p[0] - ox * inLen), (int)std::lround(p[1] - oy * inLen), nullptr);
                    LineTo(dc, (int)std::lround(p[0] + ox * outLen), (int)std::lround(p[1] + oy * outLen));
                }
                SelectObject(dc, old);
                DeleteObject(pen);
            }
            if (!lab.IsShow())
                continue;
            CQKTextStyle style;
            style.font = lab.GetFontType();
            style.size = lab.GetFontSize();
            CQKTextDC text(dc, style, lab.GetColor() < 0 ? 0 : lab.GetColor(), env.PointsToPixels(1));
            const double gap = outLen + env.PointsToPixels(3);
            RECT all = {INT_MAX, INT_MAX, INT_MIN, INT_MIN};
            for (size_t i = 0; i < ticks.major.size(); ++i) {
                double t;
                if (!fraction(ticks.major[i], t))
                    continue;
                const std::string s = LabelText(lab, ticks.major[i], (int)i, scale);
                if (s.empty())
                    continue;
                const SIZE sz = text.MeasureQuorixText(s, FALSE);
                // The label's centre stands out from the tick by the gap and half its size.
                const auto p = along(start, d, t);
                const double reach = gap + (std::fabs(ox) * sz.cx + std::fabs(oy) * sz.cy) / 2;
                RECT rc;
                rc.left = (LONG)std::lround(p[0] + ox * reach - sz.cx / 2.0);
                rc.top = (LONG)std::lround(p[1] + oy * reach - sz.cy / 2.0);
                rc.right = rc.left + sz.cx;
                rc.bottom = rc.top + sz.cy;
                text.DrawQuorixText(s, rc, FALSE);
                GrowLabelBox(all, rc);
            }
            AddLabelsHit(env, d, all);
        }
    }
}

} // namespace

void qkDrawAxes(const QKDrawEnv& env, CQKGraphicLayer& layer, const QKLayerMap& map, bool gridsOnly, bool noGrids)
{
    if (map.ternary) {
        DrawTernaryAxes(env, layer, map, gridsOnly, noGrids);
        return;
    }
    if (map.polar) {
        DrawPolarAxes(env, layer, map, gridsOnly, noGrids);
        return;
    }
    const RECT& f = map.frame;
    HDC dc = env.dc;
    for (int dim = 0; dim < 2; ++dim) {
        const int axisType = dim == 0 ? QK_AXIS_X : QK_AXIS_Y;
        if (!layer.IsAxisDisplayed(axisType))
            continue;
        const QKAxisRecord& r = layer.GetAxisRecord(axisType);
        const CQKAxisScale& scale = dim == 0 ? map.x : map.y;
        if (!scale.IsValid())
            continue;
        const Ticks ticks = MakeTicks(r, scale);
        // Whether this axis runs along the horizontal: X does unless the layer exchanges them.
        const bool horiz = (dim == 0) != map.exchange;
        const double span = std::fabs(scale.GetTo() - scale.GetFrom());
        auto at = [&](double v, int& d) {
            double p;
            if (!(dim == 0 ? map.MapX(v, p) : map.MapY(v, p)))
                return false;
            d = (int)std::lround(p);
            return true;
        };

        // Grids first: under the plots unless the layer puts them on top.
        if (!noGrids) {
            const CQKAxisGridsObj* grids[2] = {&r.minorGrid, &r.majorGrid};
            const std::vector<double>* values[2] = {&ticks.minor, &ticks.major};
            for (int g = 0; g < 2; ++g) {
                if (!grids[g]->IsShow())
                    continue;
                const int color = grids[g]->GetColor() < 0 ? 19 : grids[g]->GetColor();
                HPEN pen = qkCreateLinePen(env, grids[g]->GetType(), grids[g]->GetWidth(), qkColorOf(color));
                HGDIOBJ old = SelectObject(dc, pen);
                QKHitItem hit;
                hit.layer = env.layerIndex;
                hit.dimension = dim;
                hit.part = g == 0 ? 5 : 4;
                for (double v : *values[g]) {
                    int d;
                    if (!at(v, d))
                        continue;
                    if (horiz) {
                        MoveToEx(dc, d, f.top, nullptr);
                        LineTo(dc, d, f.bottom);
                    } else {
                        MoveToEx(dc, f.left, d, nullptr);
                        LineTo(dc, f.right, d);
                    }
                    hit.path = horiz ? std::vector<POINT>{{d, f.top}, {d, f.bottom}}
                                        : std::vector<POINT>{{f.left, d}, {f.right, d}};
                    env.AddHit(hit);
                }
                SelectObject(dc, old);
                DeleteObject(pen);
            }
        }
        if (gridsOnly)
            continue;

        for (int side = 0; side < 2; ++side) {
            const CQKAxisTicksObj& axis = r.ticks[side];
            const CQKAxisLabelsObj& lab = r.labels[side];
            SetRectEmpty(&env.axisExtent[horiz ? 0 : 1][side]);
            if (!axis.IsShow() && !lab.IsShow())
                continue;
            SideGeometry g;
            g.horizontal = horiz;
            // Bottom and left are the first side; the second is top and right.
            if (horiz) {
                g.pos = side == 0 ? f.bottom : f.top;
                g.outward = side == 0 ? 1 : -1;
            } else {
                g.pos = side == 0 ? f.left : f.right;
                g.outward = side == 0 ? -1 : 1;
            }
            if (axis.GetPosition() == 1) {
                // A percentage of the frame away from its edge, outward.
                const double pct = Number(axis.GetPositionValue(), 0) / 100;
                const int extent = horiz ? f.bottom - f.top : f.right - f.left;
                g.pos += g.outward * (int)std::lround(pct * extent);
            } else if (axis.GetPosition() == 2) {
                // At a value of the other axis.
                double p;
                const double v = Number(axis.GetPositionValue(), 0);
                if (dim == 0 ? map.MapY(v, p) : map.MapX(v, p))
                    g.pos = (int)std::lround(p);
            }
            const int lineColor = axis.GetColor() < 0 ? 0 : axis.GetColor();
            const COLORREF color = qkColorOf(lineColor);
            const int a0 = horiz ? f.left : f.top, a1 = horiz ? f.right : f.bottom;
            QKHitItem hit;
            hit.layer = env.layerIndex;
            hit.dimension = dim;
            hit.part = side;
            const int majorLen = (int)std::lround(env.PointsToPixels(axis.GetTickLength() / 10.0));
            if (axis.IsShow()) {
                HPEN pen = qkCreateLinePen(env, 0, axis.GetWidth() > 0 ? axis.GetWidth() : 0.5, color);
                HGDIOBJ old = SelectObject(dc, pen);
                // The axis line, with a gap where a break leaves values out.
                double breakAt = -1;
                if (r.axisBreak.IsEnable()) {
                    double bf;
                    if (scale.ToFraction(Number(r.axisBreak.GetRegionFrom(), 0), bf) && bf > 0 && bf < 1) {
                        breakAt = horiz ? f.left + bf * (f.right - f.left) : f.bottom - bf * (f.bottom - f.top);
                    }
                }
                auto line = [&](int s0, int s1) {
                    if (horiz) {
                        MoveToEx(dc, s0, g.pos, nullptr);
                        LineTo(dc, s1, g.pos);
                    } else {
                        MoveToEx(dc, g.pos, s0, nullptr);
                        LineTo(dc, g.pos, s1);
                    }
                };
                if (breakAt >= 0) {
                    const int gap = std::max(2, majorLen / 2);
                    const int b = (int)std::lround(breakAt);
                    line(a0, b - gap);
                    line(b + gap, a1);
                    // Two slanted strokes mark the break.
                    for (int s : {b - gap, b + gap}) {
                        if (horiz) {
                            MoveToEx(dc, s - gap / 2, g.pos + gap, nullptr);
                            LineTo(dc, s + gap / 2, g.pos - gap);
                        } else {
                            MoveToEx(dc, g.pos - gap, s + gap / 2, nullptr);
                            LineTo(dc, g.pos + gap, s - gap / 2);
                        }
                    }
                } else {
                    line(a0, a1);
                }
                hit.path = horiz ? std::vector<POINT>{{a0, g.pos}, {a1, g.pos}}
                                    : std::vector<POINT>{{g.pos, a0}, {g.pos, a1}};
                env.AddHit(hit);
                // Ticks: type 0 in and out, 1 in, 2 out, 3 none.
                auto drawTicks = [&](const std::vector<double>& values, int type, int len) {
                    if (type == 3 || type < 0)
                        return;
                    const int outLen = (type == 0 || type == 2) ? len : 0;
                    const int inLen = (type == 0 || type == 1) ? len : 0;
                    for (double v : values) {
                        int d;
                        if (!at(v, d))
                            continue;
                        const int s0 = g.pos - g.outward * inLen, s1 = g.pos + g.outward * outLen;
                        if (horiz) {
                            MoveToEx(dc, d, s0, nullptr);
                            LineTo(dc, d, s1 + g.outward);
                        } else {
                            MoveToEx(dc, s0, d, nullptr);
                            LineTo(dc, s1 + g.outward, d);
                        }
                    }
                };
                drawTicks(ticks.major, axis.GetMajorTickType(), majorLen);
                drawTicks(ticks.minor, axis.GetMinorTickType(), majorLen / 2);
                SelectObject(dc, old);
                DeleteObject(pen);
            }

            // Tick labels outside the ticks.
            if (!lab.IsShow())
                continue;
            const bool outTicks = axis.IsShow() && (axis.GetMajorTickType() == 0 || axis.GetMajorTickType() == 2);
            const int labelGap = (outTicks ? majorLen : 0) + (int)std::lround(env.PointsToPixels(3));
            CQKTextStyle style;
            style.font = lab.GetFontType();
            style.size = lab.GetFontSize();
            CQKTextDC text(dc, style, lab.GetColor() < 0 ? 0 : lab.GetColor(), env.PointsToPixels(1));
            QKHitItem labHit;
            labHit.layer = env.layerIndex;
            labHit.dimension = dim;
            labHit.part = 2 + side;
            RECT all = {INT_MAX, INT_MAX, INT_MIN, INT_MIN};
            auto place = [&](double v, const std::string& s) {
                int d;
                if (s.empty() || !at(v, d))
                    return;
                const std::string shown = lab.IsLabelBold() ? "\\b(" + s + ")" : s;
                const SIZE sz = text.MeasureQuorixText(shown, FALSE);
                RECT rc;
                const int hoff = (int)std::lround(env.PointsToPixels(lab.GetHorizontalOffset()));
                const int voff = (int)std::lround(env.PointsToPixels(lab.GetVerticalOffset()));
                if (horiz) {
                    rc.left = d - sz.cx / 2 + hoff;
                    rc.top = g.outward > 0 ? g.pos + labelGap : g.pos - labelGap - sz.cy;
                    rc.top -= voff;
                } else {
                    rc.left = g.outward < 0 ? g.pos - labelGap - sz.cx : g.pos + labelGap;
                    rc.left += hoff;
                    rc.top = d - sz.cy / 2 - voff;
                }
                rc.right = rc.left + sz.cx;
                rc.bottom = rc.top + sz.cy;
                text.DrawQuorixText(shown, rc, FALSE);
                GrowLabelBox(all, rc);
            };
            const double lo = std::min(scale.GetFrom(), scale.GetTo()), hi = std::max(scale.GetFrom(), scale.GetTo());
            for (size_t i = 0; i < ticks.major.size(); ++i) {
                const double v = ticks.major[i];
                // Custom labels at the ends: 1 hidden, 3 the user's text.
                const QKSpecialTick* special = nullptr;
                QKSpecialTick begin{lab.GetManuBeginType(), lab.GetManuBeginLabel()};
                QKSpecialTick end{lab.GetManuEndType(), lab.GetManuEndLabel()};
                if (Near(v, lo, span))
                    special = &begin;
                else if (Near(v, hi, span))
                    special = &end;
                if (special && special->type == 1)
                    continue;
                if (lab.GetManuSpecialType() != 0 && Near(v, lab.GetManuSpecialPosition(), span))
                    continue; // the special tick below takes this place
                place(v, special && special->type == 3 ? special->label : LabelText(lab, v, (int)i, scale));
            }
            if (lab.GetManuSpecialType() == 2 || lab.GetManuSpecialType() == 3) {
                const double v = lab.GetManuSpecialPosition();
                place(v, lab.GetManuSpecialType() == 3 ? lab.GetManuSpecialLabel() : LabelText(lab, v, 0, scale));
            }
            if (lab.IsMinorLabel())
                for (size_t i = 0; i < ticks.minor.size(); ++i)
                    place(ticks.minor[i], LabelText(lab, ticks.minor[i], (int)i, scale));
            if (all.left <= all.right) {
                labHit.box = all;
                env.AddHit(labHit);
                env.axisExtent[horiz ? 0 : 1][side] = all;
            }
        }
    }
}
