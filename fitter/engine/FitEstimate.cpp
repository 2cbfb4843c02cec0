// Starting values from the data. A parameter that has no value when a run starts would make
// the run fail ("parameters are not initialized"); when the definition's "Meanings" give the
// parameter a role the data can answer (a peak's centre, a decay's time, a sigmoid's end
// values, ...), the value is estimated from the fit set's points instead. Values the user,
// a script or the definition gave are never touched.
#include "FitSession.h"
#include "FitUtil.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <optional>
#include <vector>

namespace {

enum Role {
    ROLE_NONE,
    ROLE_OFFSET,      // baseline of a peak, plateau a decay runs to, start of a growth
    ROLE_CENTER,      // a peak's centre, a sigmoid's half-way point
    ROLE_WIDTH,       // a peak's width, a sigmoid's steepness
    ROLE_AREA,        // a peak's area
    ROLE_AMPLITUDE,   // a peak's height, an exponential term's size
    ROLE_X_OFFSET,    // where an exponential term starts: the first X
    ROLE_DECAY_TIME,
    ROLE_GROWTH_TIME,
    ROLE_INITIAL,     // a sigmoid's value left of its step
    ROLE_FINAL,       // ... and right of it
};

const struct {
    const char* meaning;
    Role role;
} RoleWords[] = {
    {"offset", ROLE_OFFSET},         {"center", ROLE_CENTER},
    {"width", ROLE_WIDTH},           {"area", ROLE_AREA},
    {"amplitude", ROLE_AMPLITUDE},   {"x offset", ROLE_X_OFFSET},
    {"decay time", ROLE_DECAY_TIME}, {"growth time", ROLE_GROWTH_TIME},
    {"initial value", ROLE_INITIAL}, {"final value", ROLE_FINAL},
};

// The role of each base parameter 1..n, from the "Meanings" list (entries split at commas).
std::vector<Role> ParameterRoles(const FunctionDef* def)
{
    std::vector<Role> roles(def->nParams + 1, ROLE_NONE);
    const char* p = def->meanings;
    for (int i = 1; i <= def->nParams && p && *p; ++i) {
        char entry[FDF_TEXT_CHARS];
        p = NextToken(p, ",", entry, sizeof entry);
        std::string word = entry;
        while (!word.empty() && std::isspace(static_cast<unsigned char>(word.back())))
            word.pop_back();
        size_t start = 0;
        while (start < word.size() && std::isspace(static_cast<unsigned char>(word[start])))
            ++start;
        word.erase(0, start);
        for (const auto& w : RoleWords)
            if (_stricmp(word.c_str(), w.meaning) == 0)
                roles[i] = w.role;
    }
    return roles;
}

struct Point {
    double x, y;
};

// What the points of one fit set show, in the terms the roles ask for.
struct Shape {
    std::vector<Point> points;  // sorted by X
    double xFirst = 0, xLast = 0, range = 1;
    double yFirst = 0, yLast = 0;  // means of the first and last tenth of the points
    double base = 0;               // a peak's baseline: the far side from its extreme
    std::vector<double> centres, heights, widths;  // the peaks, largest first
    double decayTime = 0;
    double crossing = 0, step = 0;  // a sigmoid's half-way X and steepness

    explicit Shape(std::vector<Point> p) : points(std::move(p))
    {
        std::sort(points.begin(), points.end(), [](const Point& a, const Point& b) { return a.x < b.x; });
        const size_t n = points.size();
        xFirst = points.front().x;
        xLast = points.back().x;
        range = xLast > xFirst ? xLast - xFirst : 1;
        const size_t tenth = std::max<size_t>(1, n / 10);
        for (size_t i = 0; i < tenth; ++i) {
            yFirst += points[i].y / tenth;
            yLast += points[n - 1 - i].y / tenth;
        }
        FindPeaks();
        FindDecay();
        FindStep();
    }

    // The baseline is the lower end of the values for a peak that stands up, the upper end
    // for one that hangs down: whichever extreme lies farther from the median.
    void FindPeaks()
    {
        std::vector<double> ys;
        for (const Point& q : points)
            ys.push_back(q.y);
        std::sort(ys.begin(), ys.end());
        const double median = ys[ys.size() / 2], low = ys.front(), high = ys.back();
        const bool up = high - median >= median - low;
        base = up ? low : high;
        const size_t n = points.size();
        auto lift = [&](size_t i) { return up ? points[i].y - base : base - points[i].y; };
        // Local maxima of the lift over a window of two points each side, highest first.
        std::vector<size_t> tops;
        for (size_t i = 0; i < n; ++i) {
            bool top = lift(i) > 0;
            for (size_t j = i >= 2 ? i - 2 : 0; top && j <= std::min(n - 1, i + 2); ++j)
                if (j != i && (lift(j) > lift(i) || (lift(j) == lift(i) && j < i)))
                    top = false;
            if (top)
                tops.push_back(i);
        }
        std::sort(tops.begin(), tops.end(), [&](size_t a, size_t b) { return lift(a) > lift(b); });
        for (size_t i : tops) {
            // The half-height points on either side give the width.
            const double half = lift(i) / 2;
            size_t l = i, r = i;
            while (l > 0 && lift(l) > half)
                --l;
            while (r + 1 < n && lift(r) > half)
                ++r;
            double width = points[r].x - points[l].x;
            if (!(width > 0))
                width = range / 10;
            bool apart = true;
            for (double c : centres)
                if (std::fabs(points[i].x - c) < width / 2)
                    apart = false;
            if (!apart)
                continue;
            centres.push_back(points[i].x);
            heights.push_back(up ? lift(i) : -lift(i));
            widths.push_back(width);
        }
        if (centres.empty()) {
            centres.push_back((xFirst + xLast) / 2);
            heights.push_back(high - low);
            widths.push_back(range / 4);
        }
    }

    // The first X at which the curve has come 1/e of the way from its start to its end.
    void FindDecay()
    {
        const double amplitude = yFirst - yLast;
        decayTime = range / 3;
        for (const Point& q : points)
            if (std::fabs(q.y - yLast) <= std::fabs(amplitude) / std::exp(1.0)) {
                if (q.x > xFirst)
                    decayTime = q.x - xFirst;
                break;
            }
    }

    // A logistic step from 25% to 75% of its way spans 2 ln 3 of its steepness.
    void FindStep()
    {
        auto crossingAt = [&](double fraction) {
            const double level = yFirst + fraction * (yLast - yFirst);
            for (size_t i = 1; i < points.size(); ++i) {
                const double a = points[i - 1].y - level, b = points[i].y - level;
                if ((a <= 0 && b >= 0) || (a >= 0 && b <= 0))
                    return a == b ? points[i].x
                                  : points[i - 1].x + (points[i].x - points[i - 1].x) * a / (a - b);
            }
            return (xFirst + xLast) / 2;
        };
        crossing = crossingAt(0.5);
        step = (crossingAt(0.75) - crossingAt(0.25)) / (2 * std::log(3.0));
        if (!(step > 0))
            step = range / 10;
    }
};

bool ReadPoints(FittingSession* s, int fitSet, std::vector<Point>* points)
{
    const FitSetInfo& set = s->fitSets[fitSet];
    const DepVarInfo& v = s->dep[set.firstDependent];
    const int xIndex = FirstIndepOfSet(s, fitSet);
    const int step = v.step > 0 ? v.step : 1;
    for (int row = v.first; row < v.end; row += step)
        if (ReadFitSetRow(s, fitSet, row) == 0 && std::isfinite(s->indep[xIndex].value) &&
            std::isfinite(s->dep[set.firstDependent].y))
            points->push_back({s->indep[xIndex].value, s->dep[set.firstDependent].y});
    return points->size() >= 3;
}

double Finite(double v, double fallback)
{
    return std::isfinite(v) ? v : fallback;
}

}  // namespace

void EstimateMissingParams(FittingSession* s)
{
    const FunctionDef* def = s->current;
    if (!def || !s->value || s->nDep < 1)
        return;
    bool missing = false;
    for (int k = 1; k <= s->nParams; ++k)
        missing = missing || IsMissingValue(s->value[k]);
    if (!missing)
        return;
    const std::vector<Role> roles = ParameterRoles(def);
    const auto has = [&](Role r) { return std::find(roles.begin(), roles.end(), r) != roles.end(); };
    const bool sigmoid = has(ROLE_INITIAL) || has(ROLE_FINAL);
    const bool decay = has(ROLE_DECAY_TIME), growth = has(ROLE_GROWTH_TIME);
    const bool startsAtFirstX = has(ROLE_X_OFFSET);
    const int unit = DuplicateUnitSize(def);

    // The how-manieth of its role a base parameter is, and how many share the role (the
    // terms of a multi-exponential).
    std::vector<int> rank(def->nParams + 1, 0), count(ROLE_FINAL + 1, 0);
    for (int i = 1; i <= def->nParams; ++i)
        rank[i] = count[roles[i]]++;

    for (int fitSet = 1; fitSet <= s->nFitSets; ++fitSet) {
        std::optional<Shape> shape;
        bool read = false;
        for (int k = 1; k <= s->nParams; ++k) {
            if (!IsMissingValue(s->value[k]) || !ParamInFitSet(s, fitSet, k))
                continue;
            int set, local;
            SetAndSlotOfParam(s, k, &set, &local);
            if (set != fitSet || local < 1 || local > MAX_PARAMS)
                continue;
            const int slot = s->slotOfLocal[local];
            const int base = BaseParam(def, slot);
            if (base < 1 || base > def->nParams || roles[base] == ROLE_NONE)
                continue;
            if (!read) {
                read = true;
                std::vector<Point> points;
                if (ReadPoints(s, fitSet, &points))
                    shape.emplace(std::move(points));
            }
            if (!shape)
                break;
            // Replica r of a peak takes the r-th largest peak of the data.
            const int replica = slot > def->nParams && unit ? (slot - def->nParams - 1) / unit + 1 : 0;
            const size_t peak = std::min<size_t>(replica, shape->centres.size() - 1);
            const int terms = std::max(1, count[roles[base]]);
            const double spread = std::pow(3.0, rank[base] - (terms - 1) / 2.0);
            const double growthTime = shape->range / 3;
            const double growthSize = (shape->yLast - shape->yFirst) / (std::exp(3.0) - 1);
            double v = MISSING_VALUE;
            switch (roles[base]) {
            case ROLE_OFFSET:
                v = decay ? shape->yLast : growth ? shape->yFirst - growthSize : shape->base;
                break;
            case ROLE_CENTER:
                v = sigmoid ? shape->crossing : shape->centres[peak];
                break;
            case ROLE_WIDTH:
                // Between the widths of the peak shapes: a Gaussian's w is 0.85 of its
                // full width at half height, a Lorentzian's is all of it.
                v = sigmoid ? shape->step : shape->widths[peak] * 0.85;
                break;
            case ROLE_AREA:
                v = shape->heights[peak] * shape->widths[peak] * 1.0645;
                break;
            case ROLE_AMPLITUDE:
                if (decay) {
                    const double t = shape->decayTime * spread;
                    v = (shape->yFirst - shape->yLast) / terms;
                    if (!startsAtFirstX)
                        v = Finite(v * std::exp(shape->xFirst / t), v);
                } else if (growth) {
                    v = growthSize / terms;
                    if (!startsAtFirstX)
                        v = Finite(v * std::exp(-shape->xFirst / (growthTime * spread)), v);
                } else {
                    v = shape->heights[peak];
                }
                break;
            case ROLE_X_OFFSET:
                v = shape->xFirst;
                break;
            case ROLE_DECAY_TIME:
                v = shape->decayTime * spread;
                break;
            case ROLE_GROWTH_TIME:
                v = growthTime * spread;
                break;
            case ROLE_INITIAL:
                v = shape->yFirst;
                break;
            case ROLE_FINAL:
                v = shape->yLast;
                break;
            case ROLE_NONE:
                break;
            }
            if (std::isfinite(v))
                s->value[k] = v;
        }
    }
}
