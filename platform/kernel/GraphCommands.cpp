// The script commands that make and change graphs, layers and plots: worksheet -p,
// matrix -p, layer, set, label and axis. They work on the project's tree only; what needs
// a window (the dialogs) goes to the nodes' own dialog members, which the user interface
// overrides.
#include "KernelInternal.h"
#include "PageRender.h"

#include <string.h>

#include <algorithm>

#include "QKAccess.h"
#include "QKCallLog.h"
#include "QKData.h"
#include "QKPlotModel.h"
#include "QKScript.h"

namespace {

bool Same(const std::string& a, const char* b)
{
    return _stricmp(a.c_str(), b) == 0;
}

bool Fail(std::string* error, const std::string& message)
{
    *error = message;
    return false;
}

std::string Join(const std::vector<std::string>& words, size_t from)
{
    std::string text;
    for (size_t i = from; i < words.size(); ++i)
        text += (i > from ? " " : "") + words[i];
    return text;
}

CQKGraphicLayer* ActiveLayer(const char* command, std::string* error)
{
    CQKGraphPage* graph = qkfxGetProject().GetActiveGraph();
    CQKGraphicLayer* layer = graph ? graph->GetActiveLayer() : nullptr;
    if (!layer)
        Fail(error, std::string(command) + ": there is no active graph layer");
    return layer;
}

// A new graph for a kind of plot: a 3D kind needs a 3D layer in place of the 2D one a
// new graph starts with.
CQKGraphPage* NewGraphFor(int type)
{
    auto* graph = static_cast<CQKGraphPage*>(qkfxGetProject().CreatePage(QK_PAGE_GRAPH));
    if (!graph)
        return nullptr;
    CQKPlotObj probe;
    probe.SetPlotObjectType(type);
    if (probe.Is3DPlot() && !graph->GetActiveLayer()->Is3DLayer()) {
        CQKGraphicLayer* layer = graph->AddLayer(true);
        graph->DeleteLayer(0);
        layer->SetName("Layer1");
        graph->SetActiveLayerIndex(0);
    }
    return graph;
}

// The selected columns of the worksheet (all of them when none is selected) join the
// layer as the word's kind. `what` names the action in the reason of a failure.
bool PlotColumnsIntoLayer(CQKGraphPage* graph, CQKGraphicLayer* layer, CQKWksPage* wks, const QKPlotWord& word,
                          const std::string& what, std::string* error)
{
    if (!layer || layer->Is3DLayer())
        return Fail(error, what + ": the layer of " + graph->GetName() + " is no 2D layer");
    if (!wks || wks->GetNumCols() == 0)
        return Fail(error, what + ": select the columns to add in a worksheet first");
    std::vector<CQKDataset*> columns;
    for (int c = 1; c <= wks->GetNumCols(); ++c)
        if (wks->m_selC1 < 1 || (c >= wks->m_selC1 && c <= wks->m_selC2))
            columns.push_back(wks->GetColumn(c));
    std::string reason;
    if (qkfxPlotColumns(layer, word, columns, &reason) <= 0)
        return Fail(error, what + ": " + reason);
    qkfxRescaleLayer(layer, FALSE);
    graph->ForgetUndo();
    qkfxGetProject().SetProjectModified(true);
    qkfxGetCallLog().Add(what, graph->GetName() + " " + layer->GetName() + " " + word.word);
    qkShowLayerAgain(*layer);
    return true;
}

// worksheet -p while a graph is active (the graph window's Add Plot to Layer): the
// selected columns of the worksheet that was active last join the graph's active layer.
bool AddToLayer(CQKGraphPage* graph, const QKPlotWord& word, std::string* error)
{
    return PlotColumnsIntoLayer(graph, graph->GetActiveLayer(), qkfxGetProject().GetLastActiveWks(), word,
                                "worksheet -p", error);
}

// worksheet -p template word, matrix -p template word: the template is recorded, not
// read. A failed plot leaves no graph behind.
bool PlotCommand(const char* command, const std::vector<std::string>& a, std::string* error)
{
    if (a.size() != 3)
        return Fail(error, std::string(command) + " -p takes a template and a plot type");
    const QKPlotWord* word = qkfxFindPlotWord(a[2]);
    if (!word)
        return Fail(error, std::string(command) + " -p: unknown plot type \"" + a[2] + "\"");
    CQKProject& project = qkfxGetProject();
    bool matrix = Same(command, "matrix");
    if (!matrix)
        if (CQKGraphPage* target = project.GetActiveGraph(); target && target->GetType() == QK_PAGE_GRAPH)
            return AddToLayer(target, *word, error);
    CQKWksPage* wks = matrix ? nullptr : project.GetActiveWks();
    CQKMatrixPage* mat = matrix ? project.GetActiveMatrix() : nullptr;
    if (!wks && !mat)
        return Fail(error, std::string(command) + " -p: there is no active " + (matrix ? "matrix" : "worksheet"));
    std::string reason;
    std::vector<CQKDataset*> columns;
    if (wks) {
        // The selected columns, or all of them when none is selected.
        for (int c = 1; c <= wks->GetNumCols(); ++c)
            if (wks->m_selC1 < 1 || (c >= wks->m_selC1 && c <= wks->m_selC2))
                columns.push_back(wks->GetColumn(c));
    }
    if (wks && qkIsGraphTemplate(a[1])) {
        CQKGraphPage* graph = qkPlotIntoTemplate(a[1], *word, columns, &reason);
        if (!graph) {
            project.SetActivePage(wks);
            return Fail(error, std::string(command) + " -p: " + reason);
        }
        qkfxGetAccess()->OnInternalNewPage(graph, TRUE);
        return true;
    }
    CQKGraphPage* graph = NewGraphFor(word->type);
    if (!graph)
        return Fail(error, std::string(command) + " -p: cannot make a graph");
    if (word->ternary) {
        // The fractions of X, Y and Z run from 0 to 1 along the triangle's sides.
        CQKGraphicLayer* layer = graph->AddLayer(false, true);
        graph->DeleteLayer(0);
        layer->SetName("Layer1");
        graph->SetActiveLayerIndex(0);
        for (int axis : {QK_AXIS_X, QK_AXIS_Y, QK_AXIS_Z})
            layer->SetAxisRange(axis, 0, 1, 0.2);
    }
    if (word->polar) {
        // The angles go once round the circle.
        graph->GetActiveLayer()->SetPolar(TRUE);
        graph->GetActiveLayer()->SetAxisRange(QK_AXIS_X, 0, 360, 30);
    }
    bool ok = wks ? qkfxPlotColumns(graph->GetActiveLayer(), *word, columns, &reason) > 0
                  : qkfxPlotMatrix(graph->GetActiveLayer(), *word, mat, &reason);
    if (!ok) {
        project.DeletePage(graph->GetName());
        project.SetActivePage(wks ? static_cast<CQKPage*>(wks) : mat);
        return Fail(error, std::string(command) + " -p: " + reason);
    }
    // A new graph shows all its data.
    qkfxRescaleLayer(graph->GetActiveLayer(), TRUE);
    graph->SetTemplateName(a[1]);
    qkfxGetCallLog().Add(std::string(command) + " -p", graph->GetName() + " " + a[2]);
    qkfxGetAccess()->OnInternalNewPage(graph, TRUE);
    return true;
}

// layer -c: the count of plotted datasets in the active layer into `count`, their names
// into %Z.
void LayerContents(CQKScript& script)
{
    std::string names;
    int count = 0;
    CQKGraphPage* graph = qkfxGetProject().GetActiveGraph();
    if (CQKGraphicLayer* layer = graph ? graph->GetActiveLayer() : nullptr)
        for (int i = 0; i < layer->GetNumPlots(); ++i) {
            CQKPlotObj* plot = layer->PlotObjByIndex(i, 1);
            if (plot->IsErrorBarPlot())
                continue;
            names += (count ? " " : "") + plot->GetDataSetName();
            ++count;
        }
    script.SetVariable("count", count);
    script.SetStringVar('Z' - 'A', names);
}

bool Layer(CQKScript& script, const std::vector<std::string>& a, std::string* error)
{
    if (!a.empty() && Same(a[0], "-c")) {
        LayerContents(script);
        return true;
    }
    if (!a.empty() && Same(a[0], "-all")) {
        // Every layer of the active graph shows all its data.
        CQKGraphicLayer* active = ActiveLayer("layer -all", error);
        if (!active)
            return false;
        auto* graph = static_cast<CQKGraphPage*>(active->GetValidPagePtr());
        for (int i = 0; i < graph->GetNumLayers(); ++i)
            qkfxRescaleLayer(graph->GetLayerByIndex(i, 1), TRUE);
        return true;
    }
    if (!a.empty() && Same(a[0], "-a")) {
        // After new data: each axis follows them as its rescale mode says.
        CQKGraphicLayer* layer = ActiveLayer("layer -a", error);
        if (!layer)
            return false;
        qkfxRescaleLayer(layer, FALSE);
        return true;
    }
    // Placing layers, and plots into layers of their own.
    if (a.size() == 1 && (Same(a[0], "-max") || Same(a[0], "-arrange") || Same(a[0], "-extract"))) {
        CQKGraphicLayer* layer = ActiveLayer(("layer " + a[0]).c_str(), error);
        if (!layer)
            return false;
        auto* graph = static_cast<CQKGraphPage*>(layer->GetValidPagePtr());
        std::string reason;
        bool done = Same(a[0], "-max")       ? graph->MaximizeLayer(&reason)
                    : Same(a[0], "-arrange") ? graph->ArrangeLayers(&reason)
                                             : graph->ExtractPlotsToLayers(&reason);
        return done ? true : Fail(error, "layer " + a[0] + ": " + reason);
    }
    // layer -k p: Plot Details on the active layer (its layer control).
    if (a.size() == 2 && Same(a[0], "-k") && Same(a[1], "p")) {
        CQKGraphicLayer* layer = ActiveLayer("layer -k p", error);
        if (!layer)
            return false;
        static_cast<CQKGraphPage*>(layer->GetValidPagePtr())->PlotDetailsDialog(layer, 1, 0);
        return true;
    }
    if (!a.empty() && Same(a[0], "-3d")) {
        if (a.size() != 2)
            return Fail(error, "layer -3d takes one of 1 to 6, perspective+, perspective-, fit and reset");
        CQKGraphicLayer* layer = ActiveLayer("layer -3d", error);
        std::string reason;
        if (!layer || !qkfxChange3DView(layer, a[1], &reason))
            return layer ? Fail(error, "layer -3d: " + reason) : false;
        return true;
    }
    if (!a.empty() && (Same(a[0], "-new") || Same(a[0], "-d") || Same(a[0], "-b"))) {
        CQKGraphicLayer* layer = ActiveLayer(("layer " + a[0]).c_str(), error);
        if (!layer)
            return false;
        auto* graph = static_cast<CQKGraphPage*>(layer->GetValidPagePtr());
        if (Same(a[0], "-d")) {
            if (!graph->DeleteLayer(graph->GetActiveLayerIndex()))
                return Fail(error, "layer -d: the last layer of " + graph->GetName() + " cannot be deleted");
            return true;
        }
        if (Same(a[0], "-b")) {
            // Toggles: the frame is the layer's; stacking and axis exchange are drawn.
            if (a.size() == 3 && Same(a[1], "frame") && a[2] == "-1") {
                layer->SetBkgBorder(!layer->IsBkgBorder());
                qkfxGetProject().SetProjectModified(true);
                qkShowLayerAgain(*layer);
                return true;
            }
            if (a.size() == 3 && Same(a[1], "stack") && a[2] == "-1") {
                if (layer->Is3DLayer())
                    return Fail(error, "layer -b stack: " + layer->GetName() + " is a 3D layer, whose plots cannot be stacked");
                layer->SetStackPlots(!layer->IsStackPlots());
                // The stacked values may reach past the axes.
                qkfxRescaleLayer(layer, FALSE);
                qkfxGetProject().SetProjectModified(true);
                qkShowLayerAgain(*layer);
                return true;
            }
            if (a.size() == 3 && Same(a[1], "Xchange") && a[2] == "-1") {
                if (layer->Is3DLayer() || layer->IsPolar() || layer->IsLayerTriangle())
                    return Fail(error, "layer -b Xchange: " + layer->GetName() + " is a " +
                                           (layer->Is3DLayer() ? "3D" : layer->IsPolar() ? "polar" : "ternary") +
                                           " layer, whose axes cannot be exchanged");
                layer->SetExchangeAxes(!layer->IsExchangeAxes());
                qkfxGetProject().SetProjectModified(true);
                qkShowLayerAgain(*layer);
                return true;
            }
            qkfxGetCallLog().Add("layer", Join(a, 0));
            return true;
        }
        // layer -new [Both|X|Y]: a new layer, its axes linked 1 to 1 to the first layer's.
        int xLink = 0, yLink = 0;
        if (a.size() > 1) {
            if (Same(a[1], "Both"))
                xLink = yLink = 1;
            else if (Same(a[1], "X"))
                xLink = 1;
            else if (Same(a[1], "Y"))
                yLink = 1;
            else
                return Fail(error, "layer -new knows Both, X and Y");
        }
        CQKGraphicLayer* added = graph->AddLayer(layer->Is3DLayer() != FALSE);
        if (xLink || yLink) {
            added->SetLinkToLayerIndex(0);
            const std::string formulas[4] = {added->GetLayerLinkX1(), added->GetLayerLinkX2(), added->GetLayerLinkY1(),
                                             added->GetLayerLinkY2()};
            added->SetLayerAxisLinks(xLink, yLink, formulas);
            // The linked layer shows its own axes on the top and right, where the first
            // layer's lines only close the frame: the top X for Both and X, the right Y
            // for Both and Y; its other sides draw nothing over the first layer's axes.
            for (int dim = 0; dim < 2; ++dim) {
                const bool own = dim == 0 ? xLink : yLink;
                for (int side = 0; side < 2; ++side) {
                    auto* axis = dynamic_cast<CQKPlotObj*>(added->GetAxisPart(dim, side));
                    auto* labels = dynamic_cast<CQKPlotObj*>(added->GetAxisPart(dim, 2 + side));
                    const bool shown = own && side == 1;
                    if (auto* ticks = dynamic_cast<CQKAxisTicksObj*>(axis); ticks && shown) {
                        ticks->SetMajorTickType(2);
                        ticks->SetMinorTickType(2);
                    }
                    if (axis)
                        axis->SetShow(shown);
                    if (labels)
                        labels->SetShow(shown);
                }
            }
        }
        // A linked layer starts with the ranges of the axes it follows.
        if (xLink || yLink)
            qkFollowLinkedAxes(*graph->GetLayerByIndex(0, 1));
        graph->SetActiveLayerIndex(graph->GetLayerIndex(added));
        qkfxGetProject().SetProjectModified(true);
        qkShowLayerAgain(*added);
        return true;
    }
    // `layer` alone on a worksheet: its contents dialog.
    if (a.empty())
        if (auto* wks = qkfxGetProject().GetActiveWks(); wks != nullptr && wks->LayerPlotContentsDialog(nullptr))
            return true;
    // The layer dialogs and rescaling belong to the user interface.
    qkfxGetCallLog().Add("layer", Join(a, 0));
    return true;
}

// set name: Plot Details for the plot of the dataset; set name -e: the plot draws its
// datasets' whole ranges again; set [name] -r: only the rows the Data Selector chose (of
// the dataset they were chosen in when no name is given).
bool Set(std::vector<std::string> a, std::string* error)
{
    if (a.size() == 1 && Same(a[0], "-r")) {
        CQKGraphPage* graph = qkfxGetProject().GetActiveGraph();
        INT_PTR dataset = 0;
        int first = 0, last = 0;
        CQKDataset* chosen = graph && graph->GetSelectedRange(dataset, first, last)
                                 ? qkfxGetProject().GetDatasetFromHandle(dataset)
                                 : nullptr;
        if (!chosen)
            return Fail(error, "set -r: choose the rows to show first: drag across them with the Data Selector tool");
        a.insert(a.begin(), chosen->GetName());
    }
    if (a.empty() || (a.size() == 2 && !Same(a[1], "-e") && !Same(a[1], "-r")) || a.size() > 2)
        return Fail(error, "set takes a dataset name and -e or -r");
    CQKGraphicLayer* layer = ActiveLayer("set", error);
    if (!layer)
        return false;
    CQKPlotObj* plot = qkfxFindPlot(layer, a[0]);
    if (!plot)
        return Fail(error, "set: \"" + a[0] + "\" is not plotted in the active layer");
    if (a.size() == 2) {
        int first = 0, end = -1;
        if (Same(a[1], "-r")) {
            auto* graph = static_cast<CQKGraphPage*>(layer->GetValidPagePtr());
            INT_PTR dataset = 0;
            int last = -1;
            CQKDataset* y = qkPlotDataset(*plot, QK_ROLE_Y);
            if (!graph->GetSelectedRange(dataset, first, last) || !y || y->GetHandle() != dataset)
                return Fail(error, "set -r: choose the rows of " + a[0] + " first: drag across them with the Data Selector tool");
            end = last + 1;
        }
        std::vector<QKPlotData> data = plot->GetDataList();
        for (QKPlotData& d : data) {
            d.first = first;
            d.end = end;
        }
        plot->SetDataList(data);
        qkfxRescaleLayer(layer, FALSE);
        qkfxGetProject().SetProjectModified(true);
        qkShowLayerAgain(*layer);
        return true;
    }
    static_cast<CQKGraphPage*>(layer->GetValidPagePtr())->PlotDetailsDialog(plot, 2, 0);
    return true;
}

int AxisTypeOf(const std::string& letter)
{
    if (Same(letter, "x"))
        return QK_AXIS_X;
    if (Same(letter, "y"))
        return QK_AXIS_Y;
    if (Same(letter, "z"))
        return QK_AXIS_Z;
    return 0;
}

// label [-e] -x|-y|-z text: the axis title, made with the text when the layer has none;
// -e opens its dialog.
bool Label(const std::vector<std::string>& a, std::string* error)
{
    bool edit = false;
    int axis = 0;
    size_t i = 0;
    for (; i < a.size() && a[i].size() == 2 && a[i][0] == '-'; ++i) {
        if (Same(a[i], "-e"))
            edit = true;
        else if (!(axis = AxisTypeOf(a[i].substr(1))))
            return Fail(error, "label knows -e and -x, -y, -z");
    }
    if (!axis)
        return Fail(error, "label needs -x, -y or -z");
    CQKGraphicLayer* layer = ActiveLayer("label", error);
    if (!layer)
        return false;
    if (axis == QK_AXIS_Z && !layer->HasZAxis())
        return Fail(error, "label -z: " + layer->GetName() + " has no Z axis");
    const char* name = axis == QK_AXIS_X ? "XB" : axis == QK_AXIS_Y ? "YL" : "ZB";
    std::string text = Join(a, i);
    CQKTextObj* title = layer->FindTextObj(name);
    if (!title) {
        title = layer->GetValidPagePtr()->PgCreateCQKTextObj();
        if (!title)
            return Fail(error, "label: cannot make the axis title");
        title->SetObjName(name);
        title->SetTextString(text);
        layer->AddObject(title);
    } else if (!edit) {
        title->SetTextString(text);
    }
    if (edit)
        title->DoDialog(nullptr, 0, 0);
    return true;
}

// axis -l x|y|z: the axis dialog at its tick-label page; axis X|Y|Z: at its scale page.
bool Axis(const std::vector<std::string>& a, std::string* error)
{
    bool labels = a.size() == 2 && Same(a[0], "-l");
    int type = a.size() == 1 ? AxisTypeOf(a[0]) : labels ? AxisTypeOf(a[1]) : 0;
    if (!type)
        return Fail(error, "axis takes X, Y or Z, or -l and one of them");
    CQKGraphicLayer* layer = ActiveLayer("axis", error);
    if (!layer)
        return false;
    if (!layer->IsAxisShowable(type))
        return Fail(error, "axis: " + layer->GetName() + " has no Z axis");
    // One axes object a dimension, made the first time the dialog is asked for.
    CQKAxes* axes = nullptr;
    for (int id : layer->GetObjectIds()) {
        auto* candidate = dynamic_cast<CQKAxes*>(layer->GetObject(id));
        if (candidate && CQKGraphicLayer::GetAxesID(candidate->GetAxesType()) == CQKGraphicLayer::GetAxesID(type))
            axes = candidate;
    }
    if (!axes) {
        axes = layer->GetValidPagePtr()->PgCreateCQKAxes();
        if (!axes)
            return Fail(error, "axis: cannot make the axes");
        layer->AddObject(axes);
    }
    layer->GetAxes(axes, type);
    const int kScalePage = 0, kLabelsPage = 4;
    axes->DoDialog(nullptr, labels ? kLabelsPage : kScalePage, 0);
    return true;
}

// GetEnumWin word: a new graph named by the word and the first number free (File > New's
// Function makes the graph its function is drawn in).
bool GetEnumWin(const std::vector<std::string>& a, std::string* error)
{
    if (a.size() != 1)
        return Fail(error, "GetEnumWin takes the name the new window is numbered from");
    CQKProject& project = qkfxGetProject();
    std::string name;
    for (int n = 1; name.empty(); ++n)
        if (!project.IsNameInUse(a[0] + std::to_string(n)))
            name = a[0] + std::to_string(n);
    CQKPage* page = project.CreatePage(QK_PAGE_GRAPH, name);
    if (!page)
        return Fail(error, "GetEnumWin: \"" + name + "\" is no window name");
    qkfxGetAccess()->OnInternalNewPage(page, TRUE);
    return true;
}

// NewFunction: a function plot (F1, F2, ... as the project has none of that name) joins
// the active layer and Plot Details opens on it to take its formula; cancelling the
// dialog takes the function away again.
bool NewFunction(const std::vector<std::string>& a, std::string* error)
{
    if (!a.empty())
        return Fail(error, "NewFunction takes no arguments");
    CQKGraphicLayer* layer = ActiveLayer("NewFunction", error);
    if (!layer)
        return false;
    if (layer->Is3DLayer())
        return Fail(error, "NewFunction: " + layer->GetName() + " is a 3D layer; a function is drawn in a 2D layer");
    CQKProject& project = qkfxGetProject();
    std::vector<std::string> taken = qkListPlottedDatasets();
    std::string name;
    for (int n = 1; name.empty(); ++n) {
        std::string f = "F" + std::to_string(n);
        if (project.FindDataset(f) == nullptr && std::none_of(taken.begin(), taken.end(), [&](const std::string& t) {
                return _stricmp(t.c_str(), f.c_str()) == 0;
            }))
            name = f;
    }
    auto* plot = new CQKPlotObj;
    plot->SetPlotObjectType(QK_PLOT_FUNCTION);
    plot->SetFunctionName(name);
    plot->SetDataSetName(name);
    plot->SetColor(-9);
    const int id = layer->AddObject(plot);
    qkfxUpdateLegend(layer);
    auto* page = static_cast<CQKGraphPage*>(layer->GetValidPagePtr());
    page->ForgetUndo();
    project.SetProjectModified(true);
    qkfxGetCallLog().Add("NewFunction", page->GetName() + " " + layer->GetName() + " " + name);
    qkShowLayerAgain(*layer);
    if (page->PlotDetailsDialog(plot, 2, 1) == IDCANCEL) {
        layer->RemoveDataObj(id);
        qkfxUpdateLegend(layer);
        qkShowLayerAgain(*layer);
    }
    return true;
}

} // namespace

// page: Plot Details on the active graph or layout page (its page control). page -fit:
// the page grows to hold its layers; page -merge: every other graph's layers into the
// active graph; page -extract: each layer after the first into a graph of its own;
// page -full: the graph alone on the whole screen.
bool Page(const std::vector<std::string>& a, std::string* error)
{
    CQKPage* active = qkfxGetProject().GetActivePage();
    auto* graph = dynamic_cast<CQKGraphPage*>(active);
    if (!graph)
        return Fail(error, "page: the active window is no graph or layout");
    if (a.empty()) {
        graph->PlotDetailsDialog(graph, 0, 0);
        return true;
    }
    if (a.size() != 1)
        return Fail(error, "page knows -fit, -merge, -extract, -full and -r");
    if (Same(a[0], "-full")) {
        if (graph->GetType() != QK_PAGE_GRAPH)
            return Fail(error, "page -full: the active window is no graph");
        return qkShowPageFullScreen(*graph, error) != nullptr;
    }
    std::string reason;
    if (Same(a[0], "-fit")) {
        if (!graph->FitPageToLayers(&reason))
            return Fail(error, "page -fit: " + reason);
        return true;
    }
    if (Same(a[0], "-merge")) {
        if (!graph->MergeGraphs(&reason))
            return Fail(error, "page -merge: " + reason);
        return true;
    }
    if (Same(a[0], "-extract")) {
        std::vector<CQKGraphPage*> made;
        const bool done = graph->ExtractLayersToGraphs(&made, &reason);
        for (CQKGraphPage* page : made) {
            qkfxRescaleLayer(page->GetActiveLayer(), FALSE);
            qkfxGetAccess()->OnInternalNewPage(page, TRUE);
        }
        if (!done)
            return Fail(error, "page -extract: " + reason);
        return true;
    }
    return Fail(error, "page knows -fit, -merge, -extract, -full and -r");
}

// layout -g [graph], layout -w [worksheet]: the graph or worksheet, chosen from a list
// when none is named, at the next free place of the active layout.
bool Layout(const std::vector<std::string>& a, std::string* error)
{
    const bool graphs = !a.empty() && Same(a[0], "-g");
    if (a.empty() || a.size() > 2 || (!graphs && !Same(a[0], "-w")))
        return Fail(error, "layout takes -g or -w and the window's name");
    auto* layout = dynamic_cast<CQKGraphPage*>(qkfxGetProject().GetActivePage());
    if (!layout || layout->GetType() != QK_PAGE_LAYOUT)
        return Fail(error, "layout: the active window is no layout");
    const QKPageType kind = graphs ? QK_PAGE_GRAPH : QK_PAGE_WKS;
    std::string name = a.size() == 2 ? a[1] : std::string();
    if (name.empty()) {
        std::vector<std::string> names;
        for (int i = 0; i < qkfxGetProject().GetNumPages(); ++i)
            if (CQKPage* page = qkfxGetProject().GetPage(i); page->GetType() == kind)
                names.push_back(page->GetName());
        if (names.empty())
            return Fail(error, graphs ? "layout -g: the project has no graph to add" : "layout -w: the project has no worksheet to add");
        std::string why;
        const int chosen = qkPickWindow(graphs ? "Add Graph" : "Add Worksheet", names, &why);
        if (chosen == -2)
            return true; // cancelled: nothing added
        if (chosen < 0)
            return Fail(error, "layout: " + why);
        name = names[chosen];
    }
    CQKPage* page = qkfxGetProject().FindPage(name);
    double aspect = 1;
    if (auto* graph = dynamic_cast<CQKGraphPage*>(page); graph && graph->GetType() == QK_PAGE_GRAPH) {
        double w, h;
        graph->GetPageSizeInches(w, h);
        aspect = w / h;
    } else if (auto* wks = dynamic_cast<CQKWksPage*>(page); wks && wks->GetType() == QK_PAGE_WKS) {
        HDC dc = GetDC(nullptr);
        const SIZE size = wks->GetTableSize(dc, CQKLayoutWksObj::kMaxRows);
        ReleaseDC(nullptr, dc);
        aspect = size.cy > 0 ? double(size.cx) / size.cy : 1;
    }
    double left, top, right, bottom;
    qkfxNextLayoutPlace(layout, aspect, left, top, right, bottom);
    std::string why;
    const bool added = graphs ? qkfxAddLayoutGraph(layout, name, left, top, right, bottom, &why) != nullptr
                              : qkfxAddLayoutWks(layout, name, left, top, right, bottom, &why) != nullptr;
    if (!added)
        return Fail(error, "layout: " + why);
    layout->ForgetUndo();
    qkfxGetProject().SetProjectModified(true);
    qkShowLayerAgain(*layout->GetLayerByIndex(0, 1));
    qkfxGetCallLog().Add("layout", a[0] + " " + name);
    return true;
}

bool qkRunGraphCommand(CQKScript& script, const std::string& command, const std::vector<std::string>& words,
                       std::string* error)
{
    if (command == "worksheet" || command == "matrix")
        return PlotCommand(command.c_str(), words, error);
    if (command == "layer")
        return Layer(script, words, error);
    if (command == "page")
        return Page(words, error);
    if (command == "set")
        return Set(words, error);
    if (command == "label")
        return Label(words, error);
    if (command == "axis")
        return Axis(words, error);
    if (command == "newfunction")
        return NewFunction(words, error);
    if (command == "getenumwin")
        return GetEnumWin(words, error);
    if (command == "layout")
        return Layout(words, error);
    return Fail(error, "\"" + command + "\" is no graph command");
}

std::vector<std::string> qkListPlottedDatasets()
{
    std::vector<std::string> names;
    CQKProject& project = qkfxGetProject();
    for (int i = 0; i < project.GetNumPages(); ++i) {
        auto* graph = dynamic_cast<CQKGraphPage*>(project.GetPage(i));
        if (!graph)
            continue;
        for (int l = 0; l < graph->GetNumLayers(); ++l) {
            CQKGraphicLayer* layer = graph->GetLayerByIndex(l, 1);
            for (int p = 0; p < layer->GetNumPlots(); ++p) {
                CQKPlotObj* plot = layer->PlotObjByIndex(p, 1);
                const std::string& name = plot->GetDataSetName();
                if (plot->IsErrorBarPlot() || plot->UsesMatrixData() || name.empty())
                    continue;
                if (std::find_if(names.begin(), names.end(), [&](const std::string& n) {
                        return _stricmp(n.c_str(), name.c_str()) == 0;
                    }) == names.end())
                    names.push_back(name);
            }
        }
    }
    return names;
}

int CQKGraphPage::FindLayerIndexFromPointForDragDrop(POINT point) const
{
    // Layers drawn later lie on top.
    for (int i = GetNumLayers() - 1; i >= 0; --i)
        if (GetLayerByIndex(i, 1)->IsPtInFrameArea(point))
            return i;
    return GetActiveLayerIndex();
}

BOOL CQKWksPage::PlotDrop(CQKWksPage* source, CQKGraphPage* graph, POINT point, int plotType)
{
    if (!source || !graph || graph->GetType() != QK_PAGE_GRAPH)
        return FALSE;
    const QKPlotWord* word = qkfxFindPlotCommand((UINT)plotType);
    if (!word)
        word = qkfxFindPlotWord("Line");
    graph->SetActiveLayerIndex(graph->FindLayerIndexFromPointForDragDrop(point));
    std::string error;
    if (!PlotColumnsIntoLayer(graph, graph->GetActiveLayer(), source, *word, "drop", &error)) {
        // The user dropped the columns with the mouse: the reason goes before their eyes.
        qkfxGetCallLog().Add("drop", error);
        HWND main = qkfxGetAccess()->GetMainFrame();
        if (main != nullptr && IsWindow(main))
            qkfxGetAccess()->DoMessageBox(error.c_str(), MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    return TRUE;
}
