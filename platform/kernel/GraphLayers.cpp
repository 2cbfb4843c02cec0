// Placing a graph's layers on its page, and moving layers and plots between layers and
// graphs: Maximize Layer, Arrange Layers, Fit Page to Layers, Extract and Merge.
#include "KernelInternal.h"

#include <algorithm>
#include <cmath>

#include "QKCallLog.h"
#include "QKData.h"
#include "QKGraphObjects.h"
#include "QKPageDraw.h"
#include "QKPlotModel.h"

namespace {

// A layer's frame in inches from the page's top left.
struct Place {
    double left, top, width, height;
};

// Room for the axes' tick labels and titles around a layer's frame, in fractions of the
// area the layer is placed in.
const double kRoomLeft = 0.12, kRoomTop = 0.06, kRoomRight = 0.06, kRoomBottom = 0.12;
// The same room, in inches, that a page fitted to its layers keeps around them.
const double kInchesLeft = 0.9, kInchesTop = 0.4, kInchesRight = 0.4, kInchesBottom = 0.8;

bool PercentUnits(int units)
{
    return units == QK_UNITS_PAGE_PERCENT || units == QK_UNITS_LINK_PERCENT;
}

Place GetPlace(const CQKGraphicLayer& layer, double pageWidth, double pageHeight)
{
    if (PercentUnits(layer.GetMeasUnits()))
        return {layer.GetMeasLeft() / 100 * pageWidth, layer.GetMeasTop() / 100 * pageHeight,
                layer.GetMeasWidth() / 100 * pageWidth, layer.GetMeasHeight() / 100 * pageHeight};
    double v[4] = {layer.GetMeasWidth(), layer.GetMeasHeight(), layer.GetMeasLeft(), layer.GetMeasTop()};
    layer.ConvertDimensions(QK_UNITS_INCH, v);
    return {v[2], v[3], v[0], v[1]};
}

// Keeps the layer's units: a place in percent of the page stays in percent.
void SetPlace(CQKGraphicLayer& layer, const Place& p, double pageWidth, double pageHeight)
{
    if (PercentUnits(layer.GetMeasUnits())) {
        layer.SetMeasLeft(p.left / pageWidth * 100);
        layer.SetMeasTop(p.top / pageHeight * 100);
        layer.SetMeasWidth(p.width / pageWidth * 100);
        layer.SetMeasHeight(p.height / pageHeight * 100);
        return;
    }
    double v[4] = {p.width, p.height, p.left, p.top};
    layer.ConvertDimensions(layer.GetMeasUnits(), v, QK_UNITS_INCH);
    layer.SetMeasWidth(v[0]);
    layer.SetMeasHeight(v[1]);
    layer.SetMeasLeft(v[2]);
    layer.SetMeasTop(v[3]);
}

// The frame inside a cell of the page (fractions of the page), leaving the labels' room.
void PlaceInCell(CQKGraphicLayer& layer, double left, double top, double width, double height)
{
    layer.SetMeasUnits(QK_UNITS_PAGE_PERCENT);
    layer.SetMeasLeft((left + width * kRoomLeft) * 100);
    layer.SetMeasTop((top + height * kRoomTop) * 100);
    layer.SetMeasWidth(width * (1 - kRoomLeft - kRoomRight) * 100);
    layer.SetMeasHeight(height * (1 - kRoomTop - kRoomBottom) * 100);
}

bool Fail(std::string* error, const std::string& message)
{
    if (error)
        *error = message;
    return false;
}

// The page changed under its window: it draws again, and the project is modified.
void Changed(CQKGraphPage& page)
{
    page.SetStoredGrElement(nullptr);
    page.ForgetUndo();
    qkfxGetProject().SetProjectModified(true);
    HWND wnd = page.GetDrawingWnd();
    if (wnd != nullptr && IsWindow(wnd))
        InvalidateRect(wnd, nullptr, TRUE);
}

bool IsGraph(const CQKGraphPage& page)
{
    return page.GetType() == QK_PAGE_GRAPH;
}

} // namespace

void qkPlaceLayerInCell(CQKGraphicLayer& layer, double left, double top, double width, double height)
{
    PlaceInCell(layer, left, top, width, height);
}

BOOL CQKGraphPage::CheckViewShowCommand(int id) const
{
    const CQKGraphicLayer* layer = GetActiveLayer();
    if (!layer)
        return FALSE;
    return (id == 33092 && layer->IsBkgBorder()) || (id == 36122 && layer->IsExchangeAxes()) ||
           (id == 36121 && layer->IsStackPlots());
}

void CQKGraphicLayer::CopySettingsFrom(const CQKGraphicLayer& from)
{
    m_st = from.m_st;
    for (int d = 0; d < 3; ++d)
        m_axes[d] = from.m_axes[d];
    m_view3D = from.m_view3D;
}

bool CQKGraphPage::MaximizeLayer(std::string* error)
{
    CQKGraphicLayer* layer = GetActiveLayer();
    if (!layer || !IsGraph(*this))
        return Fail(error, "there is no active graph layer");
    const std::vector<double>& restore = layer->GetRestorePlace();
    const bool stillMaximized = restore.size() == 5 && layer->GetMeasUnits() == QK_UNITS_PAGE_PERCENT &&
                                std::fabs(layer->GetMeasLeft() - kRoomLeft * 100) < 1e-9 &&
                                std::fabs(layer->GetMeasTop() - kRoomTop * 100) < 1e-9 &&
                                std::fabs(layer->GetMeasWidth() - (1 - kRoomLeft - kRoomRight) * 100) < 1e-9 &&
                                std::fabs(layer->GetMeasHeight() - (1 - kRoomTop - kRoomBottom) * 100) < 1e-9;
    if (stillMaximized) {
        layer->SetMeasUnits((int)restore[0]);
        layer->SetMeasLeft(restore[1]);
        layer->SetMeasTop(restore[2]);
        layer->SetMeasWidth(restore[3]);
        layer->SetMeasHeight(restore[4]);
        layer->SetRestorePlace({});
    } else {
        layer->SetRestorePlace({(double)layer->GetMeasUnits(), layer->GetMeasLeft(), layer->GetMeasTop(),
                                layer->GetMeasWidth(), layer->GetMeasHeight()});
        PlaceInCell(*layer, 0, 0, 1, 1);
    }
    qkfxGetCallLog().Add("CQKGraphPage::MaximizeLayer", GetName() + (stillMaximized ? " restored" : " maximized"));
    Changed(*this);
    return true;
}

bool CQKGraphPage::ArrangeLayers(std::string* error)
{
    const int n = GetNumLayers();
    if (n == 0 || !IsGraph(*this))
        return Fail(error, GetName() + " has no layers to arrange");
    const int columns = (int)std::ceil(std::sqrt((double)n));
    const int rows = (n + columns - 1) / columns;
    for (int i = 0; i < n; ++i) {
        CQKGraphicLayer* layer = GetLayerByIndex(i, 1);
        PlaceInCell(*layer, double(i % columns) / columns, double(i / columns) / rows, 1.0 / columns, 1.0 / rows);
        layer->SetRestorePlace({});
    }
    qkfxGetCallLog().Add("CQKGraphPage::ArrangeLayers", qkFormatText("%s %d x %d", GetName().c_str(), rows, columns));
    Changed(*this);
    return true;
}

BOOL CQKGraphPage::CanFitPageToLayers() const
{
    if (!IsGraph(*this))
        return FALSE;
    double width, height;
    GetPageSizeInches(width, height);
    const double slack = 1e-6;
    for (int i = 0; i < GetNumLayers(); ++i) {
        const Place p = GetPlace(*GetLayerByIndex(i, 1), width, height);
        if (p.left < -slack || p.top < -slack || p.left + p.width > width + slack || p.top + p.height > height + slack)
            return TRUE;
    }
    return FALSE;
}

bool CQKGraphPage::FitPageToLayers(std::string* error)
{
    if (!CanFitPageToLayers())
        return Fail(error, GetName() + " already holds all its layers");
    double width, height;
    GetPageSizeInches(width, height);
    std::vector<Place> places;
    double left = 0, top = 0, right = width, bottom = height;
    for (int i = 0; i < GetNumLayers(); ++i) {
        places.push_back(GetPlace(*GetLayerByIndex(i, 1), width, height));
        const Place& p = places.back();
        left = std::min(left, p.left - kInchesLeft);
        top = std::min(top, p.top - kInchesTop);
        right = std::max(right, p.left + p.width + kInchesRight);
        bottom = std::max(bottom, p.top + p.height + kInchesBottom);
    }
    const double newWidth = right - left, newHeight = bottom - top;
    // The page keeps its units; a page that followed the printer has its own size now.
    double record[4] = {newWidth, newHeight, 0, 0};
    ConvertDimensions(GetDimUnits(), record, 0);
    SetDimWidth(record[0]);
    SetDimHeight(record[1]);
    SetDimPrinter(FALSE);
    SetCustomSize(TRUE, 0);
    SetCustomSize(TRUE, 1);
    for (int i = 0; i < GetNumLayers(); ++i) {
        Place p = places[i];
        p.left -= left;
        p.top -= top;
        SetPlace(*GetLayerByIndex(i, 1), p, newWidth, newHeight);
    }
    qkfxGetCallLog().Add("CQKGraphPage::FitPageToLayers", qkFormatText("%s %g x %g in", GetName().c_str(), newWidth, newHeight));
    Changed(*this);
    return true;
}

bool CQKGraphPage::DropPlot(CQKPlotObj* plot, POINT point, bool test)
{
    auto* from = plot ? dynamic_cast<CQKGraphicLayer*>(plot->GetValidLayer()) : nullptr;
    auto* source = from ? dynamic_cast<CQKGraphPage*>(from->GetValidPagePtr()) : nullptr;
    if (!source || !IsGraph(*this) || !IsGraph(*source) || plot->IsTemporary() || plot->IsErrorBarPlot() ||
        from->GetObject(plot->GetId()) != plot)
        return false;
    // The layer drawn last is the one seen at the point.
    const RECT page = PageRectForEdits();
    CQKGraphicLayer* to = nullptr;
    for (int i = GetNumLayers(); i-- > 0 && !to;) {
        RECT frame;
        if (qkfxGetLayerFrame(this, i, page, frame) && PtInRect(&frame, point))
            to = GetLayerByIndex(i, 1);
    }
    if (!to || to == from || to->Is3DLayer() != from->Is3DLayer() || to->IsLayerTriangle() != from->IsLayerTriangle())
        return false;
    if (test)
        return true;

    // Error bars belong to the plot before them: they go along.
    std::vector<int> ids = {plot->GetId()};
    bool past = false;
    for (int id : from->GetObjectIds()) {
        auto* next = dynamic_cast<CQKPlotObj*>(from->GetObject(id));
        if (!next)
            continue;
        if (next == plot)
            past = true;
        else if (past && next->IsErrorBarPlot())
            ids.push_back(id);
        else if (past)
            break;
    }
    // An automatic colour follows the plot's place in its layer: the moved plots keep the
    // colours they showed.
    for (int id : ids) {
        auto* moving = static_cast<CQKPlotObj*>(from->GetObject(id));
        if (moving->GetColor() < 0)
            moving->SetColor(moving->GetActualColorForAutoColor(0));
    }
    // A group lives in one layer: the plot leaves it, and when it led the group the next
    // member leads; one member left is no group.
    if (const int group = plot->GetState().group) {
        std::vector<CQKPlotObj*> others;
        for (int i = 0; i < from->GetNumPlots(); ++i) {
            CQKPlotObj* member = from->PlotObjByIndex(i, 1);
            if (member != plot && member->GetState().group == group)
                others.push_back(member);
        }
        if (others.size() == 1)
            others[0]->SetGroup(0, FALSE);
        else if (!others.empty() && plot->IsGroupBegin())
            others[0]->SetGroup(group, TRUE);
        plot->SetGroup(0, FALSE);
    }
    const int fromIndex = source->GetLayerIndex(from);
    for (int id : ids)
        from->MoveObjectTo(id, to);
    qkfxRescaleLayer(to, FALSE);
    qkfxRescaleLayer(from, FALSE);
    qkfxUpdateLegend(from);
    qkfxUpdateLegend(to);
    qkfxGetCallLog().Add("CQKGraphPage::DropPlot", qkFormatText("%s %s %d %s %d", plot->GetDataSetName().c_str(),
                                                                 source->GetName().c_str(), fromIndex + 1,
                                                                 GetName().c_str(), GetLayerIndex(to) + 1));
    if (source != this)
        Changed(*source);
    Changed(*this);
    SetStoredGrElement(plot);
    return true;
}

bool CQKGraphPage::ExtractPlotsToLayers(std::string* error)
{
    CQKGraphicLayer* source = GetActiveLayer();
    if (!source || !IsGraph(*this))
        return Fail(error, "there is no active graph layer");
    // Each plot other than error bars starts a group; the error bars after it join it.
    std::vector<std::vector<int>> groups;
    for (int id : source->GetObjectIds()) {
        auto* plot = dynamic_cast<CQKPlotObj*>(source->GetObject(id));
        if (!plot)
            continue;
        if (plot->IsErrorBarPlot() && !groups.empty())
            groups.back().push_back(id);
        else
            groups.push_back({id});
    }
    if (groups.size() < 2)
        return Fail(error, source->GetName() + " has fewer than two plots to extract");
    const bool legend = source->FindTextObj("Legend") != nullptr;
    const int sourceIndex = GetLayerIndex(source);
    // An automatic colour follows the plot's place in its layer: the moved plots keep the
    // colours they had.
    for (size_t g = 1; g < groups.size(); ++g)
        for (int id : groups[g]) {
            auto* plot = static_cast<CQKPlotObj*>(source->GetObject(id));
            if (plot->GetColor() < 0)
                plot->SetColor(plot->GetActualColorForAutoColor(0));
        }
    for (size_t g = 1; g < groups.size(); ++g) {
        CQKGraphicLayer* layer = AddLayer(source->Is3DLayer() != FALSE);
        layer->CopySettingsFrom(*source);
        layer->SetRestorePlace({});
        // The new layers stand alone: a link names a layer by its place on the page.
        layer->SetLinkToLayerIndex(-1);
        for (int id : groups[g])
            source->MoveObjectTo(id, layer);
        qkfxRescaleLayer(layer, FALSE);
    }
    // A legend listed the plots the layer had: each layer lists its own now.
    if (legend) {
        const int active = m_activeLayer;
        for (int i = sourceIndex; i < GetNumLayers(); ++i)
            if (i == sourceIndex || i >= GetNumLayers() - (int)groups.size() + 1) {
                m_activeLayer = i;
                std::string ignored;
                NewLegend(&ignored);
            }
        m_activeLayer = active;
    }
    qkfxGetCallLog().Add("CQKGraphPage::ExtractPlotsToLayers", qkFormatText("%s %d", GetName().c_str(), (int)groups.size()));
    std::string ignored;
    ArrangeLayers(&ignored);
    return true;
}

bool CQKGraphPage::ExtractLayersToGraphs(std::vector<CQKGraphPage*>* made, std::string* error)
{
    if (!IsGraph(*this) || GetNumLayers() < 2)
        return Fail(error, GetName() + " has only one layer");
    CQKProject& project = qkfxGetProject();
    double width, height;
    GetPageSizeInches(width, height);
    while (GetNumLayers() > 1) {
        CQKGraphicLayer* layer = GetLayerByIndex(1, 1);
        auto* graph = dynamic_cast<CQKGraphPage*>(project.CreatePage(QK_PAGE_GRAPH));
        if (!graph)
            return Fail(error, "cannot make a graph for " + layer->GetName());
        graph->m_pageState = m_pageState;
        if (layer->Is3DLayer() != graph->GetActiveLayer()->Is3DLayer()) {
            graph->AddLayer(layer->Is3DLayer() != FALSE);
            graph->DeleteLayer(0);
        }
        CQKGraphicLayer* to = graph->GetActiveLayer();
        to->CopySettingsFrom(*layer);
        to->SetLinkToLayerIndex(-1);
        to->SetName("Layer1");
        for (int id : layer->GetObjectIds())
            layer->MoveObjectTo(id, to);
        DeleteLayer(1);
        graph->SetActiveLayerIndex(0);
        if (made)
            made->push_back(graph);
        qkfxGetCallLog().Add("CQKGraphPage::ExtractLayersToGraphs", GetName() + " " + graph->GetName());
    }
    SetActiveLayerIndex(0);
    Changed(*this);
    return true;
}

bool CQKGraphPage::MergeGraphs(std::string* error)
{
    if (!IsGraph(*this))
        return Fail(error, GetName() + " is no graph");
    CQKProject& project = qkfxGetProject();
    std::vector<CQKGraphPage*> others;
    for (int i = 0; i < project.GetNumPages(); ++i) {
        auto* graph = dynamic_cast<CQKGraphPage*>(project.GetPage(i));
        if (graph && graph != this && IsGraph(*graph))
            others.push_back(graph);
    }
    if (others.empty())
        return Fail(error, "there is no other graph to merge with " + GetName());
    std::vector<std::string> doomed;
    for (CQKGraphPage* graph : others) {
        const int base = GetNumLayers();
        for (int l = 0; l < graph->GetNumLayers(); ++l) {
            CQKGraphicLayer* from = graph->GetLayerByIndex(l, 1);
            CQKGraphicLayer* to = AddLayer(from->Is3DLayer() != FALSE);
            to->CopySettingsFrom(*from);
            // A link keeps to the layer it named, which now lies `base` further on (the
            // link-to list leaves the layer itself out).
            const int linkTo = from->GetState().linkTo;
            to->SetLinkToLayerIndex(-1);
            if (linkTo >= 0 && linkTo < graph->GetNumLayers()) {
                const int target = linkTo + base, self = GetLayerIndex(to);
                to->SetLinkToLayerIndex(target < self ? target : target - 1);
            }
            for (int id : from->GetObjectIds())
                from->MoveObjectTo(id, to);
        }
        doomed.push_back(graph->GetName());
    }
    for (const std::string& name : doomed)
        project.DeletePage(name);
    project.SetActivePage(this);
    qkfxGetCallLog().Add("CQKGraphPage::MergeGraphs", qkFormatText("%s %d", GetName().c_str(), GetNumLayers()));
    std::string ignored;
    ArrangeLayers(&ignored);
    return true;
}
