// The one maker of plots, the words and commands that name their kinds, and the legend.
#include "QKPlotModel.h"
#include "KernelInternal.h"

#include <string.h>

#include <algorithm>

#include "QKContour.h"
#include "QKData.h"
#include "QKSysMethod.h"

namespace {

// Every word the plot commands name. Where a 3D word would repeat a 2D one ("Bar",
// "Scatter"), it takes a "3D" in front.
const QKPlotWord kPlotWords[] = {
    {"Line", 33249, QK_PLOT_LINE, QK_SHAPE_XY, false},
    {"Scatter", 33248, QK_PLOT_SCATTER, QK_SHAPE_XY, false},
    {"LineSymbol", 33250, QK_PLOT_LINE_SYMBOL, QK_SHAPE_XY, false},
    {"LineSymb", 0, QK_PLOT_LINE_SYMBOL, QK_SHAPE_XY, false},
    {"Column", 33255, QK_PLOT_COLUMN, QK_SHAPE_XY, false},
    {"Bar", 33257, QK_PLOT_BAR, QK_SHAPE_XY, false},
    {"StackCol", 33256, QK_PLOT_STACK_COLUMN, QK_SHAPE_XY, false},
    {"StackBar", 33258, QK_PLOT_STACK_BAR, QK_SHAPE_XY, false},
    {"FloatColumn", 33254, QK_PLOT_FLOAT_COLUMN, QK_SHAPE_PAIR, false},
    {"FloatBar", 33253, QK_PLOT_FLOAT_BAR, QK_SHAPE_PAIR, false},
    {"Area", 33259, QK_PLOT_AREA, QK_SHAPE_XY, false},
    {"FillArea", 33291, QK_PLOT_FILL_AREA, QK_SHAPE_PAIR, false},
    {"YError", 33335, QK_PLOT_SCATTER, QK_SHAPE_XY, false},
    {"XYError", 33336, QK_PLOT_SCATTER, QK_SHAPE_XY, false},
    {"HorzStep", 33314, QK_PLOT_LINE, QK_SHAPE_XY, false, QK_CONNECT_STEP_HORIZONTAL},
    {"VertStep", 33315, QK_PLOT_LINE, QK_SHAPE_XY, false, QK_CONNECT_STEP_VERTICAL},
    {"Segment2", 33319, QK_PLOT_LINE, QK_SHAPE_XY, false, QK_CONNECT_2_POINT_SEGMENT},
    {"Segment3", 33320, QK_PLOT_LINE, QK_SHAPE_XY, false, QK_CONNECT_3_POINT_SEGMENT},
    {"Spline", 33333, QK_PLOT_LINE, QK_SHAPE_XY, false, QK_CONNECT_SPLINE},
    {"Polar", 33260, QK_PLOT_LINE_SYMBOL, QK_SHAPE_XY, false, -1, true},
    {"Ternary", 33284, QK_PLOT_SCATTER, QK_SHAPE_XYZ, false, -1, false, true},
    {"VertDropLine", 33330, QK_PLOT_VERT_DROP_LINE, QK_SHAPE_XY, false},
    {"HorzDropLine", 33329, QK_PLOT_HORZ_DROP_LINE, QK_SHAPE_XY, false},
    {"HiLoClose", 33251, QK_PLOT_HIGH_LOW_CLOSE, QK_SHAPE_HLC, false},
    {"Vector", 33252, QK_PLOT_VECTOR, QK_SHAPE_XYAM, false},
    {"FlowVector", 33267, QK_PLOT_VECTOR, QK_SHAPE_XYXY, false},
    {"Pie", 33285, QK_PLOT_PIE, QK_SHAPE_SINGLE, false},
    {"BoxChart", 33261, QK_PLOT_BOX, QK_SHAPE_SINGLE, false},
    {"Histogram", 33266, QK_PLOT_HISTOGRAM, QK_SHAPE_SINGLE, false},
    {"IndexSize", 33317, QK_PLOT_BUBBLE, QK_SHAPE_SIZE, false},
    {"IndexColor", 33316, QK_PLOT_COLOR_MAPPED, QK_SHAPE_COLOR, false},
    {"IndexColorSize", 33318, QK_PLOT_BUBBLE_COLOR_MAPPED, QK_SHAPE_COLOR_SIZE, false},
    {"3DScatter", 35568, QK_PLOT_3D_SCATTER, QK_SHAPE_XYZ, false},
    {"Trajectory", 35569, QK_PLOT_3D_TRAJECTORY, QK_SHAPE_XYZ, false},
    {"3DBar", 35570, QK_PLOT_3D_BARS, QK_SHAPE_XY, false},
    {"Ribbon", 35571, QK_PLOT_3D_RIBBON, QK_SHAPE_XY, false},
    {"Walls", 35572, QK_PLOT_3D_WALL, QK_SHAPE_XY, false},
    {"ColorFill", 35574, QK_PLOT_3D_SURFACE, QK_SHAPE_XYZ, true},
    {"ColorMap", 35577, QK_PLOT_3D_SURFACE, QK_SHAPE_XYZ, true},
    {"3DBars", 35578, QK_PLOT_3D_BARS, QK_SHAPE_XYZ, false},
    {"WireFrame", 35579, QK_PLOT_3D_WIRE_FRAME, QK_SHAPE_XYZ, false},
    {"WireSurface", 35580, QK_PLOT_3D_WIRE_SURFACE, QK_SHAPE_XYZ, false},
    {"ContourColor", 35581, QK_PLOT_CONTOUR, QK_SHAPE_XYZ, true},
    {"ContourBW", 35582, QK_PLOT_CONTOUR, QK_SHAPE_XYZ, false},
    {"GrayScaleMap", 35583, QK_PLOT_CONTOUR, QK_SHAPE_XYZ, true},
};

// The datasets a shape takes after the X, by role, in column order.
std::vector<int> RolesOf(int shape)
{
    switch (shape) {
    case QK_SHAPE_PAIR: return {QK_ROLE_LOW, QK_ROLE_Y};
    case QK_SHAPE_HLC: return {QK_ROLE_HIGH, QK_ROLE_LOW, QK_ROLE_Y};
    case QK_SHAPE_XYAM: return {QK_ROLE_Y, QK_ROLE_ANGLE, QK_ROLE_MAGNITUDE};
    case QK_SHAPE_XYXY: return {QK_ROLE_Y, QK_ROLE_X_END, QK_ROLE_Y_END};
    case QK_SHAPE_SIZE: return {QK_ROLE_Y, QK_ROLE_SIZE};
    case QK_SHAPE_COLOR: return {QK_ROLE_Y, QK_ROLE_COLOR};
    case QK_SHAPE_COLOR_SIZE: return {QK_ROLE_Y, QK_ROLE_COLOR, QK_ROLE_SIZE};
    default: return {QK_ROLE_Y};
    }
}

QKPlotData DataOf(int role, const CQKDataset* d)
{
    QKPlotData data;
    data.role = role;
    data.dataset = d->GetName();
    data.handle = d->GetHandle();
    return data;
}

// The X of a Y column: the X a plug-in or the Excel link bound to it, else the nearest X
// column to its left in its worksheet.
CQKDataset* XOf(const CQKDataset* y)
{
    CQKProject& project = qkfxGetProject();
    if (y->m_xDataset)
        if (CQKDataset* x = project.GetDatasetFromHandle(y->m_xDataset))
            return x;
    CQKWksPage* wks = y->GetOwner();
    if (!wks)
        return nullptr;
    for (int c = wks->GetColumnIndex(y) - 1; c >= 1; --c)
        if (wks->GetColumn(c)->m_type == QK_COLTYPE_X)
            return wks->GetColumn(c);
    return nullptr;
}

int NextGroup(const CQKGraphicLayer* layer)
{
    int group = 0;
    for (int i = 0; i < layer->GetNumPlots(); ++i)
        group = std::max(group, layer->PlotObjByIndex(i, 1)->GetState().group);
    return group + 1;
}

bool Fail(std::string* error, const std::string& message)
{
    if (error)
        *error = message;
    return false;
}

bool IsMatrixKind(int type)
{
    return type == QK_PLOT_CONTOUR || type == QK_PLOT_3D_SURFACE || type == QK_PLOT_3D_WIRE_FRAME ||
           type == QK_PLOT_3D_WIRE_SURFACE;
}

} // namespace

const QKPlotWord* qkfxFindPlotWord(const std::string& word)
{
    for (const QKPlotWord& w : kPlotWords)
        if (_stricmp(w.word, word.c_str()) == 0)
            return &w;
    return nullptr;
}

const QKPlotWord* qkfxFindPlotCommand(UINT command)
{
    for (const QKPlotWord& w : kPlotWords)
        if (w.command && w.command == command)
            return &w;
    return nullptr;
}

CQKPlotObj* qkfxAddPlot(CQKGraphicLayer* layer, int type, const std::vector<QKPlotData>& data, std::string* error)
{
    if (!layer) {
        Fail(error, "there is no layer to plot into");
        return nullptr;
    }
    if (!qkIsKnownPlotType(type) || type == QK_PLOT_FUNCTION) {
        Fail(error, qkFormatText("%d is no plot type that draws datasets", type));
        return nullptr;
    }
    if (data.empty()) {
        Fail(error, "a plot needs a dataset");
        return nullptr;
    }
    // Every dataset must exist: a plot of nothing would draw nothing and say nothing.
    CQKProject& project = qkfxGetProject();
    std::vector<QKPlotData> bound = data;
    for (QKPlotData& d : bound) {
        if (d.role == QK_ROLE_MATRIX) {
            CQKPage* page = d.handle ? project.GetPageFromHandle(d.handle) : project.FindPage(d.dataset);
            if (!page || page->GetType() != QK_PAGE_MATRIX) {
                Fail(error, "there is no matrix \"" + d.dataset + "\"");
                return nullptr;
            }
            d.dataset = page->GetName();
            d.handle = page->GetHandle();
            continue;
        }
        CQKDataset* dataset = d.handle ? project.GetDatasetFromHandle(d.handle) : project.FindDataset(d.dataset);
        if (!dataset) {
            Fail(error, "there is no dataset \"" + d.dataset + "\"");
            return nullptr;
        }
        d.dataset = dataset->GetName();
        d.handle = dataset->GetHandle();
    }

    CQKPlotObj* plot;
    if (type == QK_PLOT_CONTOUR) {
        // The library's contour node computes and draws its lines.
        plot = qkCreateContourPlot(error);
        if (!plot)
            return nullptr;
    } else if (type == QK_PLOT_ERROR_BAR) {
        auto* bar = new CQKErrorBar;
        bar->SetData(bound[0].handle);
        plot = bar;
    } else {
        auto* obj = new CQKDataObj;
        obj->SetData(bound[0].handle);
        plot = obj;
    }
    plot->SetPlotObjectType(type);
    plot->SetDataSetName(bound[0].dataset);
    plot->SetDataList(bound);
    plot->SetUsesMatrixData(bound[0].role == QK_ROLE_MATRIX);
    // Plots of one layer differ in colour unless the user gives them one.
    if (type != QK_PLOT_ERROR_BAR && !IsMatrixKind(type))
        plot->SetColor(-9);
    if (CQKDataset* d = project.GetDatasetFromHandle(bound[0].handle))
        plot->SetOnlyPointInDataSet(d->GetEnd() - d->GetFirst() == 1);
    // New symbols take the Options' border width and fill colour.
    CQKQrxSystem& system = qkfxGetQrxSystem();
    plot->SetSymbolThickness(system.GetRefSymbol().GetBorderWidth());
    plot->SetFillColor(system.GetRefGraph().GetDefaultFillColor());
    layer->AddObject(plot);
    if (auto* contour = dynamic_cast<CQKContourPlotObj*>(plot))
        contour->UpdateGridInfo();
    if (plot->UseColormapForDrawing())
        plot->MakeDefaultColorMap();
    qkfxUpdateLegend(layer);
    qkfxRescaleLayer(layer, FALSE);
    project.SetProjectModified(true);
    return plot;
}

int qkfxPlotColumns(CQKGraphicLayer* layer, const QKPlotWord& word, const std::vector<CQKDataset*>& columns,
                    std::string* error)
{
    if (!layer)
        return Fail(error, "there is no layer to plot into");
    std::vector<std::vector<QKPlotData>> plots;
    struct Errors {
        const CQKDataset* y = nullptr;
        const CQKDataset* x = nullptr;
    };
    std::vector<Errors> errorOf; // per plot: its Y and X error columns, or null
    const std::vector<int> roles = RolesOf(word.shape);
    CQKDataset* listedX = nullptr;
    CQKDataset* listedY = nullptr;
    std::vector<QKPlotData> pending;
    for (CQKDataset* c : columns) {
        switch (c->m_type) {
        case QK_COLTYPE_X:
            listedX = c;
            continue;
        case QK_COLTYPE_YERR:
        case QK_COLTYPE_XERR: {
            // Error bars belong to the XY plot just before them.
            if (word.shape != QK_SHAPE_XY || plots.empty())
                continue;
            const CQKDataset*& slot = c->m_type == QK_COLTYPE_YERR ? errorOf.back().y : errorOf.back().x;
            if (!slot)
                slot = c;
            continue;
        }
        case QK_COLTYPE_Z:
            if (word.shape == QK_SHAPE_XYZ && listedY) {
                CQKDataset* x = listedX ? listedX : XOf(listedY);
                if (!x)
                    return Fail(error, "no X column for " + listedY->GetName());
                plots.push_back({DataOf(QK_ROLE_Z, c), DataOf(QK_ROLE_X, x), DataOf(QK_ROLE_Y, listedY)});
                errorOf.emplace_back();
                listedY = nullptr;
            }
            continue;
        case QK_COLTYPE_Y:
            break;
        default:
            continue; // labels and disregarded columns are not drawn
        }
        if (word.shape == QK_SHAPE_XYZ) {
            listedY = c;
            continue;
        }
        if (pending.empty() && word.shape != QK_SHAPE_SINGLE)
            if (CQKDataset* x = listedX && listedX->GetOwner() == c->GetOwner() ? listedX : XOf(c))
                pending.push_back(DataOf(QK_ROLE_X, x));
        size_t taken = pending.size() - (!pending.empty() && pending[0].role == QK_ROLE_X ? 1 : 0);
        pending.push_back(DataOf(roles[taken], c));
        if (taken + 1 == roles.size()) {
            // The main dataset comes first: the Y of the shape.
            std::stable_partition(pending.begin(), pending.end(),
                                  [](const QKPlotData& d) { return d.role == QK_ROLE_Y; });
            plots.push_back(pending);
            errorOf.emplace_back();
            pending.clear();
        }
    }
    if (plots.empty()) {
        if (word.shape == QK_SHAPE_XYZ)
            return Fail(error, "no Y and Z columns to plot as " + std::string(word.word));
        if (roles.size() == 1)
            return Fail(error, "no Y column to plot as " + std::string(word.word));
        return Fail(error, qkFormatText("%s needs %d Y columns for each plot", word.word, (int)roles.size()));
    }
    int group = plots.size() > 1 ? NextGroup(layer) : 0;
    int made = 0;
    for (size_t i = 0; i < plots.size(); ++i) {
        CQKPlotObj* plot = qkfxAddPlot(layer, word.type, plots[i], error);
        if (!plot)
            return 0;
        ++made;
        if (auto* contour = dynamic_cast<CQKContourPlotObj*>(plot))
            contour->SetFillContours(word.fill);
        // Of the two surface words, the colour map draws bands of Z in colour.
        plot->SetColorMapData(word.type == QK_PLOT_3D_SURFACE && strcmp(word.word, "ColorMap") == 0);
        if (word.connect >= 0)
            plot->SetConnectType(word.connect);
        if (group)
            plot->SetGroup(group, i == 0);
        // The error dataset takes the error role whichever way its bars point.
        for (const CQKDataset* err : {errorOf[i].y, errorOf[i].x}) {
            if (!err)
                continue;
            std::vector<QKPlotData> bars = {DataOf(QK_ROLE_Y_ERROR, err), plots[i][0]};
            auto* bar = static_cast<CQKErrorBar*>(qkfxAddPlot(layer, QK_PLOT_ERROR_BAR, bars, error));
            if (!bar)
                return 0;
            bar->EnableDirectionX(err == errorOf[i].x);
            plot->SetErrorBar(TRUE);
        }
    }
    return made;
}

bool qkfxPlotMatrix(CQKGraphicLayer* layer, const QKPlotWord& word, CQKMatrixPage* matrix, std::string* error)
{
    if (word.shape != QK_SHAPE_XYZ || word.ternary)
        return Fail(error, std::string(word.word) + " does not plot a matrix");
    if (!matrix)
        return Fail(error, "there is no matrix to plot");
    QKPlotData data;
    data.role = QK_ROLE_MATRIX;
    data.dataset = matrix->GetName();
    CQKPlotObj* plot = qkfxAddPlot(layer, word.type, {data}, error);
    if (!plot)
        return false;
    if (auto* contour = dynamic_cast<CQKContourPlotObj*>(plot))
        contour->SetFillContours(word.fill);
    plot->SetColorMapData(word.type == QK_PLOT_3D_SURFACE && strcmp(word.word, "ColorMap") == 0);
    return true;
}

void qkfxUpdateLegend(CQKGraphicLayer* layer, bool always)
{
    auto* page = dynamic_cast<CQKGraphPage*>(layer ? layer->GetValidPagePtr() : nullptr);
    if (!page || (!page->IsLegendAutoUpdate() && !always))
        return;
    // One line a plot, "\l(n)" standing for the plot's symbol, then its dataset.
    std::string text;
    int n = 0;
    for (int i = 0; i < layer->GetNumPlots(); ++i) {
        CQKPlotObj* plot = layer->PlotObjByIndex(i, 1);
        ++n;
        if (plot->IsErrorBarPlot() || plot->IsHiddenFromLegend())
            continue;
        text += (text.empty() ? "" : "\r\n") + qkFormatText("\\l(%d) ", n) + plot->GetDataSetName();
    }
    CQKTextObj* legend = layer->FindTextObj("Legend");
    page->ForgetUndo();
    if (text.empty()) {
        if (legend)
            layer->RemoveDataObj(legend->GetId());
        return;
    }
    if (!legend) {
        legend = page->PgCreateCQKTextObj();
        if (!legend)
            return;
        legend->SetObjName("Legend");
        layer->AddObject(legend);
    }
    legend->SetTextString(text);
}

CQKPlotObj* qkfxFindPlot(CQKGraphicLayer* layer, const std::string& dataset)
{
    if (!layer)
        return nullptr;
    for (int i = 0; i < layer->GetNumPlots(); ++i) {
        CQKPlotObj* plot = layer->PlotObjByIndex(i, 1);
        if (!plot->IsErrorBarPlot() && _stricmp(plot->GetDataSetName().c_str(), dataset.c_str()) == 0)
            return plot;
    }
    return nullptr;
}

namespace {

// Calls `visit(layer)` for every layer of every graph page.
template <typename Visit>
void ForEachLayer(Visit visit)
{
    CQKProject& project = qkfxGetProject();
    for (int i = 0; i < project.GetNumPages(); ++i)
        if (auto* graph = dynamic_cast<CQKGraphPage*>(project.GetPage(i)))
            for (int l = 0; l < graph->GetNumLayers(); ++l)
                visit(graph->GetLayerByIndex(l, 1));
}

} // namespace

void qkRefreshPlotNames()
{
    CQKProject& project = qkfxGetProject();
    ForEachLayer([&](CQKGraphicLayer* layer) {
        for (int i = 0; i < layer->GetNumPlots(); ++i) {
            CQKPlotObj* plot = layer->PlotObjByIndex(i, 1);
            std::vector<QKPlotData> data = plot->GetDataList();
            for (QKPlotData& d : data) {
                if (d.role == QK_ROLE_MATRIX) {
                    if (CQKPage* page = project.GetPageFromHandle(d.handle))
                        d.dataset = page->GetName();
                } else if (CQKDataset* dataset = project.GetDatasetFromHandle(d.handle)) {
                    d.dataset = dataset->GetName();
                }
            }
            if (!data.empty())
                plot->SetDataSetName(data[0].dataset);
            plot->SetDataList(data);
        }
        qkfxUpdateLegend(layer);
    });
}

void qkRemovePlotsOfPage(INT_PTR page)
{
    ForEachLayer([&](CQKGraphicLayer* layer) {
        std::vector<int> doomed;
        for (int id : layer->GetObjectIds()) {
            auto* plot = dynamic_cast<CQKPlotObj*>(layer->GetObject(id));
            if (!plot)
                continue;
            for (const QKPlotData& d : plot->GetDataList())
                if (d.role == QK_ROLE_MATRIX && d.handle == page)
                    doomed.push_back(id);
        }
        for (int id : doomed)
            layer->RemoveDataObj(id);
        if (!doomed.empty())
            qkfxUpdateLegend(layer);
    });
}
