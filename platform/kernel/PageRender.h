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

// A layer's mapping from data to device: its frame and the scales of X and Y.
struct QKLayerMap {
    RECT frame;
    CQKAxisScale x, y;
    QKLayerMap(const RECT& f, const QKAxisRecord& xr, const QKAxisRecord& yr);
    // Device point of a data point; false when either value has no place on its scale.
    bool Map(double vx, double vy, double& dx, double& dy) const;
    bool MapX(double v, double& dx) const;
    bool MapY(double v, double& dy) const;
    double xOrigin, xScale, yOrigin, yScale;
};

COLORREF qkColorOf(int index);
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
void qkDrawPlotSymbol(const QKDrawEnv& env, const CQKPlotObj& plot, int x, int y, double sizePoints, COLORREF color,
                      int index = -1);
// A plot's sample in its legend line: a short line and/or symbol or a filled box.
void qkDrawLegendSample(const QKDrawEnv& env, const CQKPlotObj& plot, const RECT& box);
COLORREF qkPlotColor(const CQKPlotObj& plot);

// Where each element of the page goes when drawn into `rect`, in drawing order.
std::vector<QKHitItem> qkPageHits(CQKGraphPage& page, const RECT& rect);
// The page's drawing, with or without its paper (the background of the whole page).
BOOL qkDrawGraphPage(CQKGraphPage& page, HDC dc, const RECT& rect, bool paper);
// The dataset of a role of a plot; null when it has none.
CQKDataset* qkPlotDataset(const CQKPlotObj& plot, int role, int* first = nullptr, int* end = nullptr);
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
// The pieces of line that join a run of device points by a connection type
// (QKConnectType): one polyline for most types, several for the segment types.
std::vector<std::vector<POINT>> qkConnectPoints(const std::vector<POINT>& pts, int connect);
