// The drawing walk shared by the page's drawing files; not part of the kernel's interface.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "QKData.h"
#include "QKGraphObjects.h"
#include "QKPageDraw.h"

// Where something was drawn, for hit tests: the element's place and either its box or
// its path (a polyline, hit within a few pixels).
struct QKHitItem {
    int layer = -1;
    int id = 0;              // an object of the layer, or 0 for an axis part
    int dimension = 0, part = 0;
    RECT box = {0, 0, 0, 0};
    std::vector<POINT> path; // empty: the box
    bool points = false;     // the path's points are separate marks, not a line
    std::vector<int> rows;   // with points: each point's row in its dataset
};

// One drawing of a page into a device context.
struct QKDrawEnv {
    HDC dc = nullptr;
    RECT page = {0, 0, 0, 0};     // the whole page on the device
    double pixelsPerInch = 96;    // the page's scale on the device
    std::vector<QKHitItem>* hits = nullptr; // when the walk records where things are
    int layerIndex = -1;
    // What each axis side (X bottom, top; Y left, right) drew outside the frame, so that
    // the titles stand clear of the tick labels; empty when it drew nothing there.
    mutable RECT axisExtent[2][2] = {};

    double PointsToPixels(double points) const { return points * pixelsPerInch / 72.0; }
    // A pen or line width in points: never thinner than one device pixel.
    int PenWidth(double points) const;
    void AddHit(const QKHitItem& item) const
    {
        if (hits)
            hits->push_back(item);
    }
};

// A layer's mapping from data to device: its frame and the scales of X and Y. X runs
// along the horizontal and Y up the vertical, the other way round when the layer exchanges
// its axes; a polar layer turns X (degrees, counter-clockwise from the right) and Y (the
// radius from the Y scale's start at the centre) into a point of the circle in the frame;
// a ternary (triangle) layer maps places in the unit triangle (u across, v up; corners
// X (0, 0), Y (1, 0), Z (0.5, 1)) into the largest upright equilateral triangle in the
// frame.
struct QKLayerMap {
    RECT frame;
    CQKAxisScale x, y;
    bool exchange = false, polar = false, ternary = false;
    QKLayerMap(const RECT& f, const QKAxisRecord& xr, const QKAxisRecord& yr, bool exchanged = false,
               bool polarLayer = false);
    QKLayerMap(const RECT& f, const CQKGraphicLayer& layer);
    // Device point of a data point; false when either value has no place on its scale.
    bool Map(double vx, double vy, double& dx, double& dy) const;
    // The device coordinate of a value along its axis's direction (the horizontal for a
    // plain X, the vertical for a plain Y). A polar layer has no such directions: false.
    bool MapX(double v, double& d) const;
    bool MapY(double v, double& d) const;
    // The device point at coordinates along the X and the Y axis's directions.
    POINT Point(double alongX, double alongY) const;
    // Whether X's direction is the device's vertical.
    bool XVertical() const { return exchange; }
    // Both scales linear and unbroken in a plain (neither exchanged nor polar) layer: a
    // point maps as (xOrigin + vx * xScale, yOrigin + vy * yScale).
    bool PlainLinear() const;
    double xOrigin, xScale, yOrigin, yScale;
    // Polar layers: the centre and the radius of the circle.
    double cx = 0, cy = 0, radius = 0;
    // Ternary layers: the triangle's bottom left corner, side and height.
    double triLeft = 0, triBottom = 0, side = 0, height = 0;
};

COLORREF qkColorOf(int index);
// The plot a colour scale of the layer shows: its first plot drawn by a colour map that
// has levels; null when it has none.
CQKPlotObj* qkColorScalePlot(const CQKGraphicLayer& layer);
// A pen of the line-style list (0 solid, 1 dash, 2 dot, 3 dash dot, 4 dash dot dot,
// 5 short dash, 6 short dot, 7 short dash dot); dashes are drawn geometric so that they
// scale with the page.
HPEN qkCreateLinePen(const QKDrawEnv& env, int style, double widthPoints, COLORREF color);
// The pattern list after "None": horizontal, vertical, the two diagonals, cross, diagonal
// cross; 0 a solid fill.
HBRUSH qkCreatePatternBrush(int pattern, COLORREF fill, COLORREF patternColor);

void qkDrawAxes(const QKDrawEnv& env, CQKGraphicLayer& layer, const QKLayerMap& map, bool gridsOnly, bool noGrids);
void qkDrawPlots(const QKDrawEnv& env, CQKGraphicLayer& layer, const QKLayerMap& map);
// The symbol of a plot at a device point (also in the legend): its shape, interior, edge
// and fill colours and edge thickness; `color` is the plot's colour at that point (what
// an automatic edge takes).
// index: the point's place in its plot from 0 (incremental symbols count by it); -1 none.
// edge, fill: the point's own edge and fill colours when they are taken per point
// (CLR_INVALID: the symbol's).
void qkDrawPlotSymbol(const QKDrawEnv& env, const CQKPlotObj& plot, int x, int y, double sizePoints, COLORREF color,
                      int index = -1, COLORREF edge = CLR_INVALID, COLORREF fill = CLR_INVALID);
// A plot's sample in its legend line: a short line and/or symbol or a filled box.
void qkDrawLegendSample(const QKDrawEnv& env, const CQKPlotObj& plot, const RECT& box);
COLORREF qkPlotColor(const CQKPlotObj& plot);

// Where each element of the page goes when drawn into `rect`, in drawing order.
std::vector<QKHitItem> qkPageHits(CQKGraphPage& page, const RECT& rect);
// The page's drawing, with or without its paper (the background of the whole page).
BOOL qkDrawGraphPage(CQKGraphPage& page, HDC dc, const RECT& rect, bool paper);
// The part of the page a copied picture shows, in the pixels of `pixels` (the whole page on
// the device), by the copy-page margin control: the whole page ("Page"), the bounds of
// what the page draws without its paper ("Tight"), or those bounds grown on each side by
// the clip border width in percent of the page's width and height, inside the page
// ("Border"). A page that draws nothing gives the whole page.
RECT qkCopyPageArea(CQKGraphPage& page, const RECT& pixels);
// The dataset of a role of a plot; null when it has none.
CQKDataset* qkPlotDataset(const CQKPlotObj& plot, int role, int* first = nullptr, int* end = nullptr);
// The worksheet column a per-point colour (qkIsPointQCOLOR) takes its values from: a
// column of the worksheet of the plot's Y dataset; null when there is none.
CQKDataset* qkPointColorColumn(const CQKPlotObj& plot, int qcolor);
// The fill of the colour-map level a value falls in (the missing fill for a missing value).
COLORREF qkColorMapFill(const QKColorMapState& map, double value);
// The data of a 3D plot in data units: a grid (X and Y lines, Z row by row) for surfaces,
// wire frames and bars of a matrix or of gridded columns, else its points.
struct QK3DData {
    bool mesh = false;
    std::vector<double> xs, ys, z;
    std::vector<std::array<double, 3>> points;
};
// Plots the 3D library draws in a 3D layer's box (not contours, which it draws flat).
bool qkIs3DStorePlot(const CQKPlotObj& plot);
// False, with the reason, when the plot's data cannot be drawn.
bool qkPlot3DData(const CQKGraphicLayer& layer, const CQKPlotObj& plot, QK3DData& out, std::string* why);
// Draws a 3D layer's box, walls, plots and axes into its frame; false for a 2D layer.
bool qkDraw3DLayer(const QKDrawEnv& env, CQKGraphicLayer& layer, const RECT& frame);
// The largest rectangle of the page's proportions centred in `area`.
RECT qkFitPageInto(SIZE page, const RECT& area);
// The page alone on the whole screen until a key or click; null, with the reason, when
// the window cannot be made.
HWND qkShowPageFullScreen(CQKGraphPage& page, std::string* error);
// The layer's page window draws the layer again (after a command changed its scales or view).
void qkShowLayerAgain(CQKGraphicLayer& layer);
// In a layer that stacks its plots: the Y datasets of the plots of the same group before
// this one, whose values this plot's stand on; empty when the plot stands on nothing.
std::vector<const CQKDataset*> qkStackedBelow(const CQKGraphicLayer& layer, const CQKPlotObj& plot);
// The pieces of line that join a run of device points by a connection type
// (QKConnectType): one polyline for most types, several for the segment types.
std::vector<std::vector<POINT>> qkConnectPoints(const std::vector<POINT>& pts, int connect);
