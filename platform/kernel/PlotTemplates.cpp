// The graph templates of the plot menus that make more than one plot in one layer of a
// standard graph: graphs of several layers (panels, stacks, double Y, zoom), graph
// templates the user saved, and the statistical charts, whose values are worked out into
// a worksheet of their own that the chart then plots (so that the numbers can be read,
// and a project keeps them).
#include "KernelInternal.h"

#include <string.h>

#include <algorithm>
#include <climits>
#include <cmath>

#include "QKAccess.h"
#include "QKCallLog.h"
#include "QKData.h"
#include "QKFile.h"
#include "QKGraphObjects.h"
#include "QKPlotModel.h"
#include "QKSysMethod.h"

namespace {

bool Fail(std::string* error, const std::string& message)
{
    *error = message;
    return false;
}

bool Valid(double v)
{
    return v != MISSING_VALUE && std::isfinite(v);
}

// Colour indexes of the colour table.
const int kBlack = 0, kRed = 1, kGreen = 2;

// One Y column with what goes with it: the X column listed before it (if any) and the Y
// error columns after it.
using Unit = std::vector<CQKDataset*>;

std::vector<Unit> SplitByY(const std::vector<CQKDataset*>& columns)
{
    std::vector<Unit> units;
    CQKDataset* x = nullptr;
    for (CQKDataset* c : columns) {
        if (c->m_type == QK_COLTYPE_X) {
            x = c;
        } else if (c->m_type == QK_COLTYPE_Y) {
            units.push_back(x ? Unit{x, c} : Unit{c});
        } else if (c->m_type == QK_COLTYPE_YERR && !units.empty()) {
            units.back().push_back(c);
        }
    }
    return units;
}

CQKDataset* YOf(const Unit& unit)
{
    for (CQKDataset* c : unit)
        if (c->m_type == QK_COLTYPE_Y)
            return c;
    return nullptr;
}

// The values of a Y column an analysis takes: numbers, not masked, in its rows.
std::vector<double> ValuesOf(const CQKDataset* y)
{
    std::vector<double> v;
    for (int row = y->GetFirst(); row < y->GetEnd(); ++row)
        if (!y->IsMasked(row) && Valid(y->GetValue(row)))
            v.push_back(y->GetValue(row));
    return v;
}

// The frame of a layer placed in a cell of the page grid (fractions of the page).
void PlaceInCell(CQKGraphicLayer& layer, int row, int column, int rows, int columns)
{
    qkPlaceLayerInCell(layer, double(column) / columns, double(row) / rows, 1.0 / columns, 1.0 / rows);
}

CQKPlotObj* AxisPart(CQKGraphicLayer& layer, int dimension, int part)
{
    return dynamic_cast<CQKPlotObj*>(layer.GetAxisPart(dimension, part));
}

// Links the layer's X axis 1 to 1 to the page's first layer.
void LinkXToFirst(CQKGraphicLayer& layer)
{
    layer.SetLinkToLayerIndex(0);
    const std::string formulas[4] = {layer.GetLayerLinkX1(), layer.GetLayerLinkX2(), layer.GetLayerLinkY1(),
                                     layer.GetLayerLinkY2()};
    layer.SetLayerAxisLinks(1, 0, formulas);
}

// A layer over the first that shows its own Y scale on the right and no X axis: the first
// layer's X axis serves both.
void MakeRightYLayer(CQKGraphicLayer& layer, const CQKGraphicLayer& first)
{
    layer.SetMeasUnits(first.GetMeasUnits());
    layer.SetMeasLeft(first.GetMeasLeft());
    layer.SetMeasTop(first.GetMeasTop());
    layer.SetMeasWidth(first.GetMeasWidth());
    layer.SetMeasHeight(first.GetMeasHeight());
    for (int part = 0; part < 4; ++part)
        AxisPart(layer, 0, part)->SetShow(FALSE);
    AxisPart(layer, 1, 0)->SetShow(FALSE);
    AxisPart(layer, 1, 2)->SetShow(FALSE);
    auto* right = static_cast<CQKAxisTicksObj*>(layer.GetAxisPart(1, 1));
    const auto* left = static_cast<const CQKAxisTicksObj*>(first.GetAxisPart(1, 0));
    right->SetMajorTickType(left->GetMajorTickType());
    right->SetMinorTickType(left->GetMinorTickType());
    AxisPart(layer, 1, 3)->SetShow(TRUE);
    LinkXToFirst(layer);
}

// The legend of a layer drawn over another goes to the top left of the frame, clear of
// the other's at the top right.
void LegendTopLeft(CQKGraphicLayer& layer)
{
    if (CQKTextObj* legend = layer.FindTextObj("Legend"))
        legend->SetPosition(layer.GetMeasLeft() / 100 + 0.01, layer.GetMeasTop() / 100 + 0.01);
}

// Layers one above the other with no room between them, the first at the bottom: only it
// labels the X axis, which the others share.
void StackLayers(CQKGraphPage& graph, int n)
{
    const double left = 0.12, top = 0.06, width = 0.82, height = 0.82;
    for (int i = 0; i < n; ++i) {
        CQKGraphicLayer* layer = i == 0 ? graph.GetLayerByIndex(0, 1) : graph.AddLayer();
        layer->SetMeasUnits(QK_UNITS_PAGE_PERCENT);
        layer->SetMeasLeft(left * 100);
        layer->SetMeasTop((top + height * (n - 1 - i) / n) * 100);
        layer->SetMeasWidth(width * 100);
        layer->SetMeasHeight(height / n * 100);
        if (i > 0) {
            AxisPart(*layer, 0, 2)->SetShow(FALSE);
            LinkXToFirst(*layer);
        }
    }
}

// Gives the plots of a layer the automatic colours they would have after `before` others
// of one layer, so that plots of layers drawn over each other differ.
void ContinueColors(CQKGraphicLayer& layer, int before)
{
    for (int i = 0; i < layer.GetNumPlots(); ++i) {
        CQKPlotObj* plot = layer.PlotObjByIndex(i, 1);
        if (plot->IsErrorBarPlot() || plot->GetColor() >= 0)
            continue;
        const int n = CQKColor::GetColorNumber();
        int color = n > 2 ? (before + i) % (n - 1) : 0;
        plot->SetColor(color >= 17 ? color + 1 : color);
    }
}

bool PlotUnits(CQKGraphicLayer* layer, const QKPlotWord& word, const std::vector<Unit>& units, std::string* error)
{
    std::vector<CQKDataset*> columns;
    for (const Unit& u : units)
        columns.insert(columns.end(), u.begin(), u.end());
    return columns.empty() || qkfxPlotColumns(layer, word, columns, error) > 0;
}

// Deals the units out over `layers` layers in runs of neighbours: as even as can be, the
// first layers taking one more.
std::vector<std::vector<Unit>> Deal(const std::vector<Unit>& units, int layers)
{
    std::vector<std::vector<Unit>> dealt(layers);
    const int n = (int)units.size();
    int at = 0;
    for (int l = 0; l < layers; ++l)
        for (int k = 0; k < n / layers + (l < n % layers ? 1 : 0); ++k)
            dealt[l].push_back(units[at++]);
    return dealt;
}

// ---- worksheets of worked-out values ----------------------------------------------------

struct ResultColumn {
    std::string name;
    int type;
    std::string label;
    std::vector<double> values;
};

// A new worksheet (named after `base` with the next free number) holding the columns.
CQKWksPage* ResultWorksheet(const std::string& base, const std::vector<ResultColumn>& columns, std::string* error)
{
    CQKProject& project = qkfxGetProject();
    CQKWksPage* wks = nullptr;
    for (int n = 1; n < 10000 && !wks; ++n)
        wks = static_cast<CQKWksPage*>(project.CreatePage(QK_PAGE_WKS, base + std::to_string(n)));
    if (!wks) {
        Fail(error, "cannot make a worksheet for the values of the chart");
        return nullptr;
    }
    while (wks->GetNumCols() > 0)
        wks->DeleteColumn(1);
    for (const ResultColumn& c : columns) {
        // A name made from a long column name may be too long: the next free letter then.
        CQKDataset* d = wks->AddColumn(c.name);
        if (!d)
            d = wks->AddColumn();
        d->m_type = c.type;
        d->m_label = c.label;
        std::vector<double> v = c.values;
        d->TakeValues(std::move(v));
    }
    wks->m_labelsShown = true;
    return wks;
}

std::vector<CQKDataset*> ColumnsOf(CQKWksPage* wks, std::initializer_list<int> numbers)
{
    std::vector<CQKDataset*> columns;
    for (int n : numbers)
        columns.push_back(wks->GetColumn(n));
    return columns;
}

// ---- histograms -------------------------------------------------------------------------

// Bins of one width with round edges that hold every value, about ten of them: bin k holds
// the values from its lower edge up to, not including, the next; the last one holds its
// upper edge too. An edge is a whole number of steps times a power of ten, divided by it
// when that is below 1, so that an edge is the double nearest its decimal value (0.3, not
// 3 times 0.1) and a value typed on an edge falls into the bin above it.
struct Bins {
    double first = 0;  // the first edge in steps
    double step = 1;   // 1, 2, 2.5 or 5
    double power = 1;  // a power of ten
    bool divide = false;
    int count = 1;
    double Edge(int k) const { return divide ? (first + k) * step / power : (first + k) * step * power; }
    double Width() const { return divide ? step / power : step * power; }
    int Of(double v) const
    {
        int k = std::max(0, std::min(count - 1, (int)std::floor((v - Edge(0)) / Width())));
        while (k + 1 < count && v >= Edge(k + 1))
            ++k;
        while (k > 0 && v < Edge(k))
            --k;
        return k;
    }
};

Bins BinsFor(double lo, double hi)
{
    Bins b;
    double raw = (hi - lo) / 10;
    if (!(hi > lo))
        raw = lo == 0 ? 0.1 : std::fabs(lo) / 10;
    const int exponent = (int)std::floor(std::log10(raw));
    b.divide = exponent < 0;
    b.power = std::pow(10.0, std::abs(exponent));
    const double m = b.divide ? raw * b.power : raw / b.power;
    b.step = m <= 1 ? 1 : m <= 2 ? 2 : m <= 2.5 ? 2.5 : m <= 5 ? 5 : 10;
    b.first = std::floor(lo / b.Width());
    while (b.Edge(0) > lo)
        --b.first;
    while (b.Edge(1) <= lo)
        ++b.first;
    b.count = 1;
    while (b.Edge(b.count) < hi)
        ++b.count;
    return b;
}

std::vector<double> Counts(const Bins& bins, const std::vector<double>& values)
{
    std::vector<double> counts(bins.count, 0);
    for (double v : values)
        ++counts[bins.Of(v)];
    return counts;
}

// The Y columns' values, each column's own, and bins that hold all of them.
bool HistogramData(const std::vector<Unit>& units, std::vector<CQKDataset*>& ys, std::vector<std::vector<double>>& values,
                   Bins& bins, std::string* error)
{
    double lo = HUGE_VAL, hi = -HUGE_VAL;
    for (const Unit& u : units) {
        ys.push_back(YOf(u));
        values.push_back(ValuesOf(ys.back()));
        for (double v : values.back())
            lo = std::min(lo, v), hi = std::max(hi, v);
    }
    if (lo > hi)
        return Fail(error, "the columns hold no numbers to count");
    bins = BinsFor(lo, hi);
    return true;
}

ResultColumn Centers(const Bins& bins)
{
    ResultColumn c{"Center", QK_COLTYPE_X, "Bin Center", {}};
    for (int k = 0; k < bins.count; ++k)
        c.values.push_back((bins.Edge(k) + bins.Edge(k + 1)) / 2);
    return c;
}

// Columns drawn as the bars of a histogram: side by side, no gap. Bars of several columns
// are filled with their plots' colours, so that they can be told apart.
void AsHistogramBars(CQKGraphicLayer& layer, bool several)
{
    for (int i = 0; i < layer.GetNumPlots(); ++i) {
        CQKPlotObj* plot = layer.PlotObjByIndex(i, 1);
        plot->SetBoxGap(0);
        if (several)
            plot->SetBKColor(-1, 0); // the plot's own colour
    }
}

// A round step that cuts the span into about `parts`.
double RoundStep(double span, int parts)
{
    const double raw = span / parts;
    const double p = std::pow(10, std::floor(std::log10(raw)));
    const double m = raw / p;
    return (m <= 1 ? 1 : m <= 2 ? 2 : m <= 2.5 ? 2.5 : m <= 5 ? 5 : 10) * p;
}

// ---- the quality-control chart ----------------------------------------------------------

// The factors of the X-bar and R limits for subgroups of 2 to 25 values.
struct QcFactors {
    double a2, d3, d4;
};
const QcFactors kQcFactors[] = {
    {1.880, 0, 3.267},     {1.023, 0, 2.574},     {0.729, 0, 2.282},     {0.577, 0, 2.114},
    {0.483, 0, 2.004},     {0.419, 0.076, 1.924}, {0.373, 0.136, 1.864}, {0.337, 0.184, 1.816},
    {0.308, 0.223, 1.777}, {0.285, 0.256, 1.744}, {0.266, 0.283, 1.717}, {0.249, 0.307, 1.693},
    {0.235, 0.328, 1.672}, {0.223, 0.347, 1.653}, {0.212, 0.363, 1.637}, {0.203, 0.378, 1.622},
    {0.194, 0.391, 1.608}, {0.187, 0.403, 1.597}, {0.180, 0.415, 1.585}, {0.173, 0.425, 1.575},
    {0.167, 0.434, 1.566}, {0.162, 0.443, 1.557}, {0.157, 0.451, 1.548}, {0.153, 0.459, 1.541},
};
const int kQcSubgroupOfOneColumn = 5;

// Subgroups: with one Y column its values in runs of five (a shorter last run is left
// out); with several, each row of them where every column holds a number.
bool Subgroups(const std::vector<Unit>& units, std::vector<std::vector<double>>& groups, std::string* error)
{
    if (units.size() == 1) {
        std::vector<double> v = ValuesOf(YOf(units[0]));
        for (size_t i = 0; i + kQcSubgroupOfOneColumn <= v.size(); i += kQcSubgroupOfOneColumn)
            groups.emplace_back(v.begin() + i, v.begin() + i + kQcSubgroupOfOneColumn);
        if (groups.empty())
            return Fail(error, qkFormatText("one column makes subgroups of %d values: it needs at least %d numbers",
                                            kQcSubgroupOfOneColumn, kQcSubgroupOfOneColumn));
        return true;
    }
    if (units.size() > 25)
        return Fail(error, "the limits are known for subgroups of 2 to 25 values: select at most 25 Y columns");
    int end = 0;
    for (const Unit& u : units)
        end = std::max(end, YOf(u)->GetEnd());
    for (int row = 0; row < end; ++row) {
        std::vector<double> group;
        for (const Unit& u : units) {
            const CQKDataset* y = YOf(u);
            if (row >= y->GetFirst() && !y->IsMasked(row) && Valid(y->GetValue(row)))
                group.push_back(y->GetValue(row));
        }
        if (group.size() == units.size())
            groups.push_back(group);
    }
    if (groups.empty())
        return Fail(error, "no row holds a number in every selected column");
    return true;
}

// ---- the charts -------------------------------------------------------------------------

struct Made {
    CQKGraphPage* graph = nullptr;
    std::vector<CQKPage*> worksheets;
    // The X range the first layer shows (the bins' outer edges), when the chart sets one.
    double xFrom = 0, xTo = 0;
};

CQKGraphPage* NewGraph(std::string* error)
{
    auto* graph = static_cast<CQKGraphPage*>(qkfxGetProject().CreatePage(QK_PAGE_GRAPH));
    if (!graph)
        Fail(error, "cannot make a graph");
    return graph;
}

// A chart's start: its values in a new worksheet and a new graph for them; the worksheet,
// or null with *error.
CQKWksPage* ChartOfValues(Made& m, const std::string& base, const std::vector<ResultColumn>& columns,
                          std::string* error)
{
    CQKWksPage* wks = ResultWorksheet(base, columns, error);
    if (!wks)
        return nullptr;
    m.worksheets.push_back(wks);
    return (m.graph = NewGraph(error)) ? wks : nullptr;
}

// Every column of the worksheet plotted into the graph's first layer.
bool PlotAllColumns(Made& m, CQKWksPage* wks, const QKPlotWord& word, std::string* error)
{
    std::vector<CQKDataset*> all;
    for (int c = 1; c <= wks->GetNumCols(); ++c)
        all.push_back(wks->GetColumn(c));
    return qkfxPlotColumns(m.graph->GetLayerByIndex(0, 1), word, all, error) > 0;
}

bool Grid(Made& m, const QKPlotWord& word, const std::vector<Unit>& units, int rows, int columns, std::string* error)
{
    if (!(m.graph = NewGraph(error)))
        return false;
    const std::vector<std::vector<Unit>> dealt = Deal(units, rows * columns);
    for (int i = 0; i < rows * columns; ++i) {
        CQKGraphicLayer* layer = i == 0 ? m.graph->GetLayerByIndex(0, 1) : m.graph->AddLayer();
        PlaceInCell(*layer, i / columns, i % columns, rows, columns);
        if (!PlotUnits(layer, word, dealt[i], error))
            return false;
    }
    return true;
}

bool Stack(Made& m, const QKPlotWord& word, const std::vector<Unit>& units, std::string* error)
{
    if (!(m.graph = NewGraph(error)))
        return false;
    StackLayers(*m.graph, (int)units.size());
    for (size_t i = 0; i < units.size(); ++i)
        if (!PlotUnits(m.graph->GetLayerByIndex((int)i, 1), word, {units[i]}, error))
            return false;
    return true;
}

bool DoubleY(Made& m, const QKPlotWord& word, const std::vector<Unit>& units, std::string* error)
{
    if (units.size() < 2)
        return Fail(error, "a double-Y graph needs two Y columns: one for each Y axis");
    if (!(m.graph = NewGraph(error)))
        return false;
    CQKGraphicLayer* first = m.graph->GetLayerByIndex(0, 1);
    CQKGraphicLayer* second = m.graph->AddLayer();
    MakeRightYLayer(*second, *first);
    if (!PlotUnits(first, word, {units[0]}, error) ||
        !PlotUnits(second, word, std::vector<Unit>(units.begin() + 1, units.end()), error))
        return false;
    ContinueColors(*second, first->GetNumPlots());
    LegendTopLeft(*second);
    return true;
}

// Every Y column in one layer, each plot further right and up than the one before: ten
// percent of the frame each, less when that would take more than half of it.
bool Waterfall(Made& m, const QKPlotWord& word, const std::vector<Unit>& units, std::string* error)
{
    if (!(m.graph = NewGraph(error)))
        return false;
    CQKGraphicLayer* layer = m.graph->GetLayerByIndex(0, 1);
    const double step = units.size() > 1 ? std::min(10.0, 50.0 / (units.size() - 1)) : 10.0;
    layer->SetWaterfall(step, step);
    return PlotUnits(layer, word, units, error);
}

// The whole data above; below, the middle half of their X range enlarged.
bool Zoom(Made& m, const QKPlotWord& word, const std::vector<Unit>& units, std::string* error)
{
    if (!(m.graph = NewGraph(error)))
        return false;
    CQKGraphicLayer* whole = m.graph->GetLayerByIndex(0, 1);
    CQKGraphicLayer* zoomed = m.graph->AddLayer();
    PlaceInCell(*whole, 0, 0, 2, 1);
    PlaceInCell(*zoomed, 1, 0, 2, 1);
    if (!PlotUnits(whole, word, units, error) || !PlotUnits(zoomed, word, units, error))
        return false;
    return true;
}

// The last step of Zoom, after the layers were rescaled to their data.
void NarrowZoom(CQKGraphPage& graph)
{
    CQKGraphicLayer* zoomed = graph.GetLayerByIndex(1, 1);
    double lo, hi;
    if (!zoomed || !qkfxGetDataRange(zoomed, QK_AXIS_X, lo, hi) || !(hi > lo))
        return;
    // The middle half, widened to round ends.
    const double inc = RoundStep((hi - lo) / 2, 4);
    const double from = std::floor((lo + (hi - lo) / 4) / inc + 1e-9) * inc;
    const double to = std::ceil((hi - (hi - lo) / 4) / inc - 1e-9) * inc;
    zoomed->SetAxisRange(QK_AXIS_X, from, to, inc);
    zoomed->SetAxisRescale(QK_AXIS_X, 0); // the zoom keeps its range when data change
}

// Every Y column against its place among them: one box plot each, drawn as the box kind
// says.
bool Boxes(Made& m, const std::vector<Unit>& units, bool outliers, std::string* error)
{
    if (!(m.graph = NewGraph(error)))
        return false;
    CQKGraphicLayer* layer = m.graph->GetLayerByIndex(0, 1);
    if (!PlotUnits(layer, *qkfxFindPlotWord("BoxChart"), units, error))
        return false;
    for (int i = 0; i < layer->GetNumPlots(); ++i) {
        CQKPlotObj* plot = layer->PlotObjByIndex(i, 1);
        if (outliers) {
            // Whiskers to the last values within 1.5 interquartile ranges of the box.
            plot->SetWhiskerRange(4);
            plot->SetWhiskerCoef(1.5);
            plot->SetOutliers(TRUE);
        } else {
            plot->SetBoxType(1);
        }
    }
    return true;
}

bool PiecePie(Made& m, const std::vector<Unit>& units, std::string* error)
{
    if (!(m.graph = NewGraph(error)))
        return false;
    CQKGraphicLayer* layer = m.graph->GetLayerByIndex(0, 1);
    if (!PlotUnits(layer, *qkfxFindPlotWord("Pie"), units, error))
        return false;
    for (int i = 0; i < layer->GetNumPlots(); ++i) {
        CQKPlotObj* plot = layer->PlotObjByIndex(i, 1);
        plot->SetLabelPercent(TRUE);
        plot->SetLabelValue(FALSE);
    }
    return true;
}

// Each Y column sorted, against the fraction of the values at or below each: value i of n
// (from 1) at (i - 0.5) / n.
bool Quantile(Made& m, const std::vector<Unit>& units, std::string* error)
{
    std::vector<ResultColumn> columns;
    for (const Unit& u : units) {
        const CQKDataset* y = YOf(u);
        std::vector<double> v = ValuesOf(y);
        if (v.empty())
            return Fail(error, y->GetName() + " holds no numbers");
        std::sort(v.begin(), v.end());
        ResultColumn f{"Fraction" + y->m_columnName, QK_COLTYPE_X, "Fraction of " + y->GetName(), {}};
        for (size_t i = 0; i < v.size(); ++i)
            f.values.push_back((i + 0.5) / v.size());
        columns.push_back(f);
        columns.push_back({"Sorted" + y->m_columnName, QK_COLTYPE_Y, y->GetName() + " sorted", v});
    }
    CQKWksPage* wks = ChartOfValues(m, "Quantile", columns, error);
    if (!wks)
        return false;
    return PlotAllColumns(m, wks, *qkfxFindPlotWord("Scatter"), error);
}

// The rows of the selected Y columns, each as a line across the columns: X is the
// column's place among them.
bool LineSeries(Made& m, const QKPlotWord& word, const std::vector<Unit>& units, std::string* error)
{
    if (units.size() < 2)
        return Fail(error, "a line series needs two Y columns: each row is drawn across them");
    int first = INT_MAX, end = 0;
    for (const Unit& u : units) {
        first = std::min(first, YOf(u)->GetFirst());
        end = std::max(end, YOf(u)->GetEnd());
    }
    std::vector<ResultColumn> columns{{"Column", QK_COLTYPE_X, "Column", {}}};
    for (size_t i = 0; i < units.size(); ++i)
        columns[0].values.push_back(i + 1.0);
    for (int row = first; row < end; ++row) {
        ResultColumn c{"Row" + std::to_string(row + 1), QK_COLTYPE_Y, "Row " + std::to_string(row + 1), {}};
        bool any = false;
        for (const Unit& u : units) {
            const CQKDataset* y = YOf(u);
            const double v = y->IsMasked(row) ? MISSING_VALUE : y->GetValue(row);
            c.values.push_back(v);
            any = any || Valid(v);
        }
        if (any)
            columns.push_back(c);
    }
    if (columns.size() == 1)
        return Fail(error, "the columns hold no numbers");
    CQKWksPage* wks = ChartOfValues(m, "Series", columns, error);
    if (!wks)
        return false;
    return PlotAllColumns(m, wks, word, error);
}

enum HistogramKind { HIST_PROBABILITIES, HIST_STACKED, HIST_CUMULATIVE };

bool Histograms(Made& m, HistogramKind kind, const std::vector<Unit>& units, std::string* error)
{
    std::vector<CQKDataset*> ys;
    std::vector<std::vector<double>> values;
    Bins bins;
    if (!HistogramData(units, ys, values, bins, error))
        return false;
    std::vector<ResultColumn> columns{Centers(bins)};
    for (size_t i = 0; i < ys.size(); ++i) {
        const std::string& name = ys[i]->m_columnName;
        std::vector<double> counts = Counts(bins, values[i]);
        if (kind == HIST_CUMULATIVE) {
            for (size_t k = 1; k < counts.size(); ++k)
                counts[k] += counts[k - 1];
            columns.push_back({"Cumul" + name, QK_COLTYPE_Y, "Values of " + ys[i]->GetName() + " up to the bin's end", counts});
            continue;
        }
        columns.push_back({"Count" + name, QK_COLTYPE_Y, "Counts of " + ys[i]->GetName(), counts});
        if (kind == HIST_PROBABILITIES) {
            std::vector<double> percent;
            double sum = 0;
            for (double c : counts)
                percent.push_back((sum += c) / values[i].size() * 100);
            columns.push_back({"Percent" + name, QK_COLTYPE_Y, "Cumulative percent of " + ys[i]->GetName(), percent});
        }
    }
    CQKWksPage* wks = ChartOfValues(m, "Bins", columns, error);
    if (!wks)
        return false;
    const QKPlotWord& bars = *qkfxFindPlotWord("Column");
    const int n = (int)ys.size();
    m.xFrom = bins.Edge(0);
    m.xTo = bins.Edge(bins.count);
    if (kind == HIST_STACKED) {
        StackLayers(*m.graph, n);
        for (int i = 0; i < n; ++i) {
            CQKGraphicLayer* layer = m.graph->GetLayerByIndex(i, 1);
            if (qkfxPlotColumns(layer, bars, ColumnsOf(wks, {1, 2 + i}), error) <= 0)
                return false;
            ContinueColors(*layer, i);
            AsHistogramBars(*layer, n > 1);
        }
        return true;
    }
    CQKGraphicLayer* first = m.graph->GetLayerByIndex(0, 1);
    if (kind == HIST_CUMULATIVE) {
        std::vector<CQKDataset*> all;
        for (int c = 1; c <= wks->GetNumCols(); ++c)
            all.push_back(wks->GetColumn(c));
        if (qkfxPlotColumns(first, bars, all, error) <= 0)
            return false;
        AsHistogramBars(*first, n > 1);
        return true;
    }
    // The counts as bars; their cumulative percentages as lines on a 0 to 100 scale at the right.
    CQKGraphicLayer* second = m.graph->AddLayer();
    MakeRightYLayer(*second, *first);
    std::vector<CQKDataset*> counts{wks->GetColumn(1)}, percents{wks->GetColumn(1)};
    for (int i = 0; i < n; ++i) {
        counts.push_back(wks->GetColumn(2 + 2 * i));
        percents.push_back(wks->GetColumn(3 + 2 * i));
    }
    if (qkfxPlotColumns(first, bars, counts, error) <= 0 ||
        qkfxPlotColumns(second, *qkfxFindPlotWord("LineSymbol"), percents, error) <= 0)
        return false;
    AsHistogramBars(*first, n > 1);
    ContinueColors(*second, n);
    LegendTopLeft(*second);
    return true;
}

bool QcChart(Made& m, const std::vector<Unit>& units, std::string* error)
{
    std::vector<std::vector<double>> groups;
    if (!Subgroups(units, groups, error))
        return false;
    const size_t size = groups[0].size();
    const QcFactors& f = kQcFactors[size - 2];
    std::vector<double> index, means, ranges;
    double meanSum = 0, rangeSum = 0;
    for (size_t g = 0; g < groups.size(); ++g) {
        double sum = 0;
        for (double v : groups[g])
            sum += v;
        const auto [lo, hi] = std::minmax_element(groups[g].begin(), groups[g].end());
        index.push_back(g + 1.0);
        means.push_back(sum / size);
        ranges.push_back(*hi - *lo);
        meanSum += means.back();
        rangeSum += ranges.back();
    }
    const double grand = meanSum / groups.size(), rbar = rangeSum / groups.size();
    auto constant = [&](double v) { return std::vector<double>(groups.size(), v); };
    std::vector<ResultColumn> columns{
        {"Subgroup", QK_COLTYPE_X, qkFormatText("Subgroup (%d values)", (int)size), index},
        {"Mean", QK_COLTYPE_Y, "Mean", means},
        {"MeanCL", QK_COLTYPE_Y, "Grand mean", constant(grand)},
        {"MeanUCL", QK_COLTYPE_Y, "Upper control limit", constant(grand + f.a2 * rbar)},
        {"MeanLCL", QK_COLTYPE_Y, "Lower control limit", constant(grand - f.a2 * rbar)},
        {"Range", QK_COLTYPE_Y, "Range", ranges},
        {"RangeCL", QK_COLTYPE_Y, "Mean range", constant(rbar)},
        {"RangeUCL", QK_COLTYPE_Y, "Upper control limit", constant(f.d4 * rbar)},
        {"RangeLCL", QK_COLTYPE_Y, "Lower control limit", constant(f.d3 * rbar)},
    };
    CQKWksPage* wks = ChartOfValues(m, "QC", columns, error);
    if (!wks)
        return false;
    // The means above, the ranges below; each with its centre line and limits.
    CQKGraphicLayer* meanLayer = m.graph->GetLayerByIndex(0, 1);
    CQKGraphicLayer* rangeLayer = m.graph->AddLayer();
    PlaceInCell(*meanLayer, 0, 0, 2, 1);
    PlaceInCell(*rangeLayer, 1, 0, 2, 1);
    LinkXToFirst(*rangeLayer);
    for (auto [layer, at] : {std::pair<CQKGraphicLayer*, int>{meanLayer, 2}, {rangeLayer, 6}}) {
        if (qkfxPlotColumns(layer, *qkfxFindPlotWord("LineSymbol"), ColumnsOf(wks, {1, at}), error) <= 0 ||
            qkfxPlotColumns(layer, *qkfxFindPlotWord("Line"), ColumnsOf(wks, {1, at + 1, at + 2, at + 3}), error) <= 0)
            return false;
        const int colors[4] = {kBlack, kGreen, kRed, kRed};
        for (int i = 0; i < 4; ++i) {
            CQKPlotObj* plot = layer->PlotObjByIndex(i, 1);
            plot->SetColor(colors[i]);
            plot->SetGroup(0, false);
        }
    }
    return true;
}

// A graph template file: the page with its layers, the Y columns dealt out over them.
bool FromFile(Made& m, const std::string& templ, const QKPlotWord& word, const std::vector<Unit>& units,
              std::string* error)
{
    std::string why;
    CQKPage* page = qkfxNewPageFromTemplate(QK_PAGE_GRAPH, templ, std::string(), &why);
    if (!page)
        return Fail(error, why);
    // A graph template file may hold a layout page, which has no layers of its own.
    m.graph = static_cast<CQKGraphPage*>(page);
    if (page->GetType() != QK_PAGE_GRAPH || m.graph->GetNumLayers() == 0)
        return Fail(error, "the template \"" + templ + "\" holds no graph layer to plot into");
    const std::vector<std::vector<Unit>> dealt = Deal(units, m.graph->GetNumLayers());
    for (int i = 0; i < m.graph->GetNumLayers(); ++i)
        if (!PlotUnits(m.graph->GetLayerByIndex(i, 1), word, dealt[i], error))
            return false;
    return true;
}

enum TemplateKind {
    T_PANEL2HORZ, T_PANEL2VERT, T_PANEL4, T_PANEL9, T_STACK, T_DOUBLEY, T_ZOOM, T_LINESERIES, T_WATERFALL,
    T_OUTLIER, T_COLUMNSCATTER, T_PIECEPIE, T_QUANTILE, T_QC, T_HISTPROB, T_STACKHIST, T_CUMULATIVEHIST,
};

struct BuiltIn {
    const char* name;
    TemplateKind kind;
};
const BuiltIn kBuiltIn[] = {
    {"Panel2Horz", T_PANEL2HORZ}, {"Panel2Vert", T_PANEL2VERT},       {"Panel4", T_PANEL4},
    {"Panel9", T_PANEL9},         {"Stack", T_STACK},                 {"DoubleY", T_DOUBLEY},
    {"Zoom", T_ZOOM},             {"LineSeries", T_LINESERIES},       {"Waterfall", T_WATERFALL},       {"Outlier", T_OUTLIER},
    {"ColumnScatter", T_COLUMNSCATTER}, {"PiecePie", T_PIECEPIE},     {"Quantile", T_QUANTILE},
    {"QCchart", T_QC},            {"HistProb", T_HISTPROB},           {"StackHist", T_STACKHIST},
    {"CumulativeHist", T_CUMULATIVEHIST},
};

const BuiltIn* FindBuiltIn(const std::string& name)
{
    for (const BuiltIn& b : kBuiltIn)
        if (_stricmp(b.name, name.c_str()) == 0)
            return &b;
    return nullptr;
}

bool TemplateFileExists(const std::string& templ)
{
    std::string ext;
    if (templ.empty() || !qkfxGetQrxTemplateFileExtension(QK_PAGE_GRAPH, ext))
        return false;
    std::string path = templ;
    if (templ.find_first_of("\\/:") == std::string::npos) {
        path = qkfxGetQrxSystem().GetRefPath().GetTemplate();
        if (!path.empty() && path.back() != '\\' && path.back() != '/')
            path += "\\";
        path += templ;
    }
    const size_t dot = path.find_last_of('.'), slash = path.find_last_of("\\/");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        path += ext;
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

bool qkIsGraphTemplate(const std::string& templ)
{
    return FindBuiltIn(templ) != nullptr || TemplateFileExists(templ);
}

CQKGraphPage* qkPlotIntoTemplate(const std::string& templ, const QKPlotWord& word,
                                 const std::vector<CQKDataset*>& columns, std::string* error)
{
    CQKProject& project = qkfxGetProject();
    const BuiltIn* builtIn = FindBuiltIn(templ);
    if (word.shape != QK_SHAPE_XY && word.shape != QK_SHAPE_SINGLE) {
        Fail(error, std::string(word.word) + " takes more than one Y column a plot: a graph template plots one each");
        return nullptr;
    }
    const std::vector<Unit> units = SplitByY(columns);
    if (units.empty()) {
        Fail(error, "no Y column to plot");
        return nullptr;
    }
    Made m;
    bool ok = false;
    if (!builtIn)
        ok = FromFile(m, templ, word, units, error);
    else switch (builtIn->kind) {
    case T_PANEL2HORZ: ok = Grid(m, word, units, 1, 2, error); break;
    case T_PANEL2VERT: ok = Grid(m, word, units, 2, 1, error); break;
    case T_PANEL4: ok = Grid(m, word, units, 2, 2, error); break;
    case T_PANEL9: ok = Grid(m, word, units, 3, 3, error); break;
    case T_STACK: ok = Stack(m, word, units, error); break;
    case T_DOUBLEY: ok = DoubleY(m, word, units, error); break;
    case T_ZOOM: ok = Zoom(m, word, units, error); break;
    case T_LINESERIES: ok = LineSeries(m, word, units, error); break;
    case T_WATERFALL: ok = Waterfall(m, word, units, error); break;
    case T_OUTLIER: ok = Boxes(m, units, true, error); break;
    case T_COLUMNSCATTER: ok = Boxes(m, units, false, error); break;
    case T_PIECEPIE: ok = PiecePie(m, units, error); break;
    case T_QUANTILE: ok = Quantile(m, units, error); break;
    case T_QC: ok = QcChart(m, units, error); break;
    case T_HISTPROB: ok = Histograms(m, HIST_PROBABILITIES, units, error); break;
    case T_STACKHIST: ok = Histograms(m, HIST_STACKED, units, error); break;
    case T_CUMULATIVEHIST: ok = Histograms(m, HIST_CUMULATIVE, units, error); break;
    }
    if (!ok) {
        // A chart that cannot be made leaves nothing behind.
        if (m.graph)
            project.DeletePage(m.graph->GetName());
        for (CQKPage* wks : m.worksheets)
            project.DeletePage(wks->GetName());
        return nullptr;
    }
    // Linked layers follow the layer they link to, so that one goes last.
    for (int i = m.graph->GetNumLayers() - 1; i >= 0; --i)
        qkfxRescaleLayer(m.graph->GetLayerByIndex(i, 1), TRUE);
    if (builtIn && builtIn->kind == T_ZOOM)
        NarrowZoom(*m.graph);
    if (m.xTo > m.xFrom) {
        CQKGraphicLayer* first = m.graph->GetLayerByIndex(0, 1);
        first->SetAxisRange(QK_AXIS_X, m.xFrom, m.xTo, RoundStep(m.xTo - m.xFrom, 5));
        qkFollowLinkedAxes(*first);
    }
    if (builtIn && builtIn->kind == T_HISTPROB) {
        CQKGraphicLayer* percent = m.graph->GetLayerByIndex(1, 1);
        percent->SetAxisRange(QK_AXIS_Y, 0, 100, 20);
        percent->SetAxisRescale(QK_AXIS_Y, 0);
    }
    m.graph->SetActiveLayerIndex(0);
    m.graph->SetTemplateName(templ);
    for (CQKPage* wks : m.worksheets)
        qkfxGetAccess()->OnInternalNewPage(wks, TRUE);
    project.SetActivePage(m.graph);
    qkfxGetCallLog().Add("worksheet -p", m.graph->GetName() + " " + templ + " " + word.word);
    return m.graph;
}
