// The ranges a layer's plots span and the rescaling of its axes to them: a new graph
// shows its data, Rescale brings every axis to the data, and adding a plot rescales each
// axis as its rescale mode says.
#include "KernelInternal.h"

#include <math.h>

#include <algorithm>

#include "PageRender.h"
#include "QKData.h"
#include "QKUtil.h"
#include "QKPlotModel.h"

namespace {

bool Valid(double v)
{
    return v != MISSING_VALUE && std::isfinite(v);
}

struct Span {
    double lo = HUGE_VAL, hi = -HUGE_VAL;
    bool positiveOnly = false;
    void Add(double v)
    {
        if (!Valid(v) || (positiveOnly && !(v > 0)))
            return;
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
    bool Empty() const { return lo > hi; }
};

CQKDataset* DataOfRole(const CQKPlotObj& plot, int role, int* first = nullptr, int* end = nullptr)
{
    CQKProject& project = qkfxGetProject();
    for (const QKPlotData& d : plot.GetDataList()) {
        if (d.role != role)
            continue;
        CQKDataset* ds = d.handle ? project.GetDatasetFromHandle(d.handle) : project.FindDataset(d.dataset);
        if (ds && first && end) {
            *first = std::max(ds->GetFirst(), d.first);
            *end = d.end < 0 ? ds->GetEnd() : std::min(ds->GetEnd(), d.end);
        }
        if (ds)
            return ds;
    }
    return nullptr;
}

bool IsLogType(int type)
{
    return type == 1 || type == 7 || type == 8;
}

// What one plot spans along a dimension (0 X, 1 Y, 2 Z).
void AddPlot(const CQKGraphicLayer& layer, const CQKPlotObj& plot, int dim, Span& span)
{
    const int type = plot.GetPlotObjectType(0);
    if (qkIs3DStorePlot(plot)) {
        QK3DData data;
        if (!qkPlot3DData(layer, plot, data, nullptr))
            return;
        // Bars stand half a grid step either side of their X (and Y).
        auto halfStep = [](const std::vector<double>& v) {
            double step = 0;
            for (size_t i = 1; i < v.size(); ++i)
                if (fabs(v[i] - v[i - 1]) > 0 && (step == 0 || fabs(v[i] - v[i - 1]) < step))
                    step = fabs(v[i] - v[i - 1]);
            return step > 0 ? step / 2 : 0.5;
        };
        if (data.mesh) {
            const std::vector<double>& values = dim == 0 ? data.xs : dim == 1 ? data.ys : data.z;
            const double pad = type == QK_PLOT_3D_BARS && dim < 2 ? halfStep(values) : 0;
            for (double v : values) {
                span.Add(v - pad);
                span.Add(v + pad);
            }
            if (dim == 2 && type == QK_PLOT_3D_BARS)
                span.Add(0);
            return;
        }
        const bool xyy = !DataOfRole(plot, QK_ROLE_Z);
        std::vector<double> xs;
        for (const auto& p : data.points)
            xs.push_back(p[0]);
        std::sort(xs.begin(), xs.end());
        const double pad = type == QK_PLOT_3D_BARS && dim == 0 ? halfStep(xs) : 0;
        for (const auto& p : data.points) {
            span.Add(p[dim] - pad);
            span.Add(p[dim] + pad);
            // XYY plots stand at whole places along Y with room on either side.
            if (xyy && dim == 1) {
                span.Add(p[1] - 1);
                span.Add(p[1] + 1);
            }
        }
        if (xyy && dim == 2 && type != QK_PLOT_3D_RIBBON)
            span.Add(0);
        return;
    }
    if (plot.UsesMatrixData()) {
        // A contour plot spans its matrix's X and Y; its values run along Z.
        for (const QKPlotData& d : plot.GetDataList())
            if (d.role == QK_ROLE_MATRIX)
                if (auto* m = dynamic_cast<CQKMatrixPage*>(d.handle ? qkfxGetProject().GetPageFromHandle(d.handle) : qkfxGetProject().FindPage(d.dataset))) {
                    if (dim == 0) {
                        span.Add(m->m_x1);
                        span.Add(m->m_x2);
                    } else if (dim == 1) {
                        span.Add(m->m_y1);
                        span.Add(m->m_y2);
                    }
                }
        return;
    }
    // Box plots stand at X = 1, 2, ... in plot order, each half a step wide either side;
    // their values run along Y.
    if (type == QK_PLOT_BOX && dim < 2) {
        int first = 0, end = 0;
        CQKDataset* y = DataOfRole(plot, QK_ROLE_Y, &first, &end);
        if (!y)
            return;
        if (dim == 1) {
            for (int row = first; row < end; ++row)
                if (!y->IsMasked(row))
                    span.Add(y->GetValue(row));
            return;
        }
        int position = 1;
        for (int i = 0; i < layer.GetNumPlots() && layer.PlotObjByIndex(i, 1) != &plot; ++i)
            position += layer.PlotObjByIndex(i, 1)->IsBoxPlot() ? 1 : 0;
        span.Add(position - 0.5);
        span.Add(position + 0.5);
        return;
    }
    // Pies, histograms and error bars place their data by rules of their own.
    if (type == QK_PLOT_PIE || type == QK_PLOT_BOX || type == QK_PLOT_HISTOGRAM || type == QK_PLOT_ERROR_BAR || dim == 2)
        return;
    const bool horizontal = type == QK_PLOT_BAR || type == QK_PLOT_STACK_BAR || type == QK_PLOT_FLOAT_BAR;
    const bool valuesHere = (dim == 1) != horizontal;
    int first = 0, end = 0;
    CQKDataset* y = DataOfRole(plot, QK_ROLE_Y, &first, &end);
    if (!y)
        return;
    if (!valuesHere) {
        CQKDataset* x = DataOfRole(plot, QK_ROLE_X);
        for (int row = first; row < end; ++row)
            span.Add(x ? x->GetValue(row) : row + 1.0);
        if (CQKDataset* xEnd = DataOfRole(plot, QK_ROLE_X_END))
            for (int row = first; row < end; ++row)
                span.Add(xEnd->GetValue(row));
        return;
    }
    // Stacked plots reach as far as the sums of their group's values.
    const std::vector<const CQKDataset*> below = qkStackedBelow(layer, plot);
    for (int row = first; row < end; ++row) {
        double v = y->GetValue(row);
        for (const CQKDataset* b : below)
            if (Valid(v) && row < b->GetEnd() && Valid(b->GetValue(row)))
                v += b->GetValue(row);
        span.Add(v);
    }
    for (int role : {QK_ROLE_LOW, QK_ROLE_HIGH, QK_ROLE_Y_END})
        if (CQKDataset* d = DataOfRole(plot, role))
            for (int row = first; row < end; ++row)
                span.Add(d->GetValue(row));
    // Columns, bars and areas rise from zero.
    if (type == QK_PLOT_COLUMN || type == QK_PLOT_BAR || type == QK_PLOT_STACK_COLUMN || type == QK_PLOT_STACK_BAR ||
        type == QK_PLOT_AREA)
        span.Add(0);
}

// A range that holds [lo, hi] with round ends and about five major steps.
void NiceRange(double lo, double hi, bool logScale, double& from, double& to, double& inc)
{
    if (logScale) {
        from = pow(10, floor(log10(lo)));
        to = pow(10, ceil(log10(hi)));
        if (to <= from)
            to = from * 10;
        inc = 1;
        return;
    }
    if (!(hi > lo)) {
        const double d = lo == 0 ? 1 : fabs(lo) * 0.1;
        lo -= d;
        hi += d;
    }
    const double raw = (hi - lo) / 5;
    const double p = pow(10, floor(log10(raw)));
    const double m = raw / p;
    inc = (m <= 1 ? 1 : m <= 2 ? 2 : m <= 2.5 ? 2.5 : m <= 5 ? 5 : 10) * p;
    from = floor(lo / inc + 1e-9) * inc;
    to = ceil(hi / inc - 1e-9) * inc;
    if (fabs(from) < inc * 1e-9)
        from = 0;
}

// The layer whose X (dim 0) or Y (dim 1) axis this one follows 1 to 1, null when none.
CQKGraphicLayer* LinkTarget(const CQKGraphicLayer& layer, int dim)
{
    const int link = dim == 0 ? layer.GetLayerXAxisLink() : layer.GetLayerYAxisLink();
    if (layer.GetState().linkTo < 0 || link != 1)
        return nullptr;
    auto* page = dynamic_cast<CQKGraphPage*>(layer.GetValidPagePtr());
    CQKGraphicLayer* target = page ? page->GetLayerByIndex(layer.GetState().linkTo, 1) : nullptr;
    return target != &layer ? target : nullptr;
}

// The layers of the page whose axis of the dimension follows this one's.
std::vector<CQKGraphicLayer*> Followers(const CQKGraphicLayer& layer, int dim)
{
    std::vector<CQKGraphicLayer*> followers;
    auto* page = dynamic_cast<CQKGraphPage*>(layer.GetValidPagePtr());
    for (int i = 0; page && i < page->GetNumLayers(); ++i)
        if (CQKGraphicLayer* other = page->GetLayerByIndex(i, 1); LinkTarget(*other, dim) == &layer)
            followers.push_back(other);
    return followers;
}

// Gives the layer the range of the dimension of the layer it follows; true when that
// changed it.
bool Follow(CQKGraphicLayer& layer, const CQKGraphicLayer& target, int dim)
{
    const int axis = dim == 0 ? QK_AXIS_X : QK_AXIS_Y;
    const QKAxisRecord& from = target.GetAxisRecord(axis);
    const QKAxisRecord& to = layer.GetAxisRecord(axis);
    if (from.from == to.from && from.to == to.to && from.inc == to.inc && from.type == to.type)
        return false;
    layer.SetAxisRange(axis, atof(from.from.c_str()), atof(from.to.c_str()), atof(from.inc.c_str()));
    layer.SetAxisScaleType(axis, from.type);
    return true;
}

} // namespace

void qkFollowLinkedAxes(CQKGraphicLayer& layer)
{
    for (int dim = 0; dim < 2; ++dim)
        for (CQKGraphicLayer* follower : Followers(layer, dim))
            if (Follow(*follower, layer, dim))
                qkShowLayerAgain(*follower);
}

void qkShowLayerAgain(CQKGraphicLayer& layer)
{
    CQKPage* page = layer.GetValidPagePtr();
    // The page changed: a container showing it as an object takes its new picture.
    if (page != nullptr)
        page->SetPageChange(1);
    HWND wnd = page ? page->GetDrawingWnd() : nullptr;
    if (wnd != nullptr && IsWindow(wnd))
        InvalidateRect(wnd, nullptr, TRUE);
}

void CQKGraphicLayer::SetAxisRange(int axisType, double from, double to, double inc)
{
    QKAxisRecord& r = m_axes[Dimension(axisType)];
    r.from = CQKCString::DoubleToStrByFormat(from, "*");
    r.to = CQKCString::DoubleToStrByFormat(to, "*");
    r.inc = CQKCString::DoubleToStrByFormat(inc, "*");
}

bool qkfxGetDataRange(CQKGraphicLayer* layer, int axisType, double& lo, double& hi)
{
    if (!layer)
        return false;
    const int dim = (axisType & QK_AXIS_Z) ? 2 : (axisType & QK_AXIS_Y) ? 1 : 0;
    Span span;
    span.positiveOnly = IsLogType(layer->GetAxisRecord(axisType).type);
    for (int i = 0; i < layer->GetNumPlots(); ++i)
        if (CQKPlotObj* plot = layer->PlotObjByIndex(i, 1))
            AddPlot(*layer, *plot, dim, span);
    // Radii grow from the centre.
    if (layer->IsPolar() && dim == 1 && !span.Empty())
        span.Add(0);
    if (span.Empty())
        return false;
    lo = span.lo;
    hi = span.hi;
    return true;
}

int qkfxRescaleLayer(CQKGraphicLayer* layer, BOOL toData)
{
    if (!layer)
        return 0;
    // A ternary layer shows fractions, which run from 0 to 1 whatever the data.
    if (layer->IsLayerTriangle() && !layer->Is3DLayer())
        return 0;
    int changed = 0;
    for (int axis : {QK_AXIS_X, QK_AXIS_Y, QK_AXIS_Z}) {
        if (axis == QK_AXIS_Z && !layer->Is3DLayer())
            continue;
        if (axis == QK_AXIS_X && layer->IsPolar())
            continue; // angles: the X scale stays as it was set

        const QKAxisRecord& r = layer->GetAxisRecord(axis);
        // A linked X or Y axis shows what the layer it follows shows.
        const int dim = axis == QK_AXIS_X ? 0 : axis == QK_AXIS_Y ? 1 : -1;
        if (dim >= 0)
            if (CQKGraphicLayer* target = LinkTarget(*layer, dim)) {
                changed += Follow(*layer, *target, dim);
                continue;
            }
        const int mode = toData ? 2 : r.rescale;
        if (mode == 0)
            continue;
        double lo, hi;
        if (!qkfxGetDataRange(layer, axis, lo, hi))
            continue;
        // An axis others follow spans their data too.
        if (dim >= 0)
            for (CQKGraphicLayer* follower : Followers(*layer, dim)) {
                double flo, fhi;
                if (qkfxGetDataRange(follower, axis, flo, fhi))
                    lo = std::min(lo, flo), hi = std::max(hi, fhi);
            }
        // A waterfall's axes hold its last plot, shifted the furthest.
        if (const double shift = axis == QK_AXIS_X ? layer->GetWaterfallX() : layer->GetWaterfallY();
            shift > 0 && axis != QK_AXIS_Z && !IsLogType(r.type)) {
            int plots = 0;
            for (int i = 0; i < layer->GetNumPlots(); ++i)
                plots += layer->PlotObjByIndex(i, 1)->IsErrorBarPlot() ? 0 : 1;
            const double total = std::min(0.9, (plots - 1) * shift / 100);
            if (total > 0)
                hi = lo + (hi - lo) / (1 - total);
        }
        double from, to, inc;
        NiceRange(lo, hi, IsLogType(r.type), from, to, inc);
        const double oldFrom = atof(r.from.c_str()), oldTo = atof(r.to.c_str()), oldInc = atof(r.inc.c_str());
        const bool reversed = oldTo < oldFrom && !toData;
        if (mode == 1 && std::min(oldFrom, oldTo) <= lo && std::max(oldFrom, oldTo) >= hi)
            continue; // normal: a range that already shows the data stays
        if (mode == 3)
            from = reversed ? oldTo : oldFrom;
        if (mode == 4)
            to = reversed ? oldFrom : oldTo;
        if ((mode == 3 || mode == 4) && !(to > from))
            continue;
        if (mode == 3 || mode == 4)
            NiceRange(from, to, IsLogType(r.type), lo, hi, inc);
        if (reversed)
            std::swap(from, to);
        if (from == oldFrom && to == oldTo && inc == oldInc)
            continue;
        layer->SetAxisRange(axis, from, to, inc);
        ++changed;
    }
    if (changed) {
        qkfxGetProject().SetProjectModified(true);
        qkShowLayerAgain(*layer);
    }
    qkFollowLinkedAxes(*layer);
    return changed;
}
