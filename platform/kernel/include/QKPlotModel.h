// Making plots: the one maker every caller uses (scripts, the fitter, the Excel link,
// plug-ins), and the words and menu commands that name the kinds of plot.
//
// A plot is a node of its layer (CQKLayer::AddObject); the maker picks the node's class
// for the kind, binds its data, gives it its place in a group and keeps the layer's
// legend up to date.
#pragma once

#include "QKGraphObjects.h"

class CQKGraphPage;
class CQKMatrixPage;

// How a kind takes its data from a row of worksheet columns (after the X column).
enum QKPlotShape {
    QK_SHAPE_XY = 0,     // one plot per Y column; Y error columns after it become its error bars
    QK_SHAPE_PAIR,       // two Y columns a plot: the lower, then the upper
    QK_SHAPE_HLC,        // three Y columns a plot: high, low, close
    QK_SHAPE_XYAM,       // Y, angle, magnitude
    QK_SHAPE_XYXY,       // Y, end X, end Y
    QK_SHAPE_SIZE,       // Y, size
    QK_SHAPE_COLOR,      // Y, colour
    QK_SHAPE_COLOR_SIZE, // Y, colour, size
    QK_SHAPE_SINGLE,     // one plot per Y column, no X
    QK_SHAPE_XYZ,        // X, Y and Z columns, or a matrix
};

// One way of naming a kind: the word scripts use (`worksheet -p template Word`), the menu
// command, the plot type and how it takes its data.
struct QKPlotWord {
    const char* word;
    UINT command; // 0 when no menu command names it
    int type;
    int shape;
    bool fill;    // contours filled with colour (the other contour words draw lines)
    int connect = -1;   // how the plots join their points (QKConnectType); -1 as the kind does
    bool polar = false; // a new graph's layer maps X to angles in degrees and Y to radii
    bool ternary = false; // a new graph's layer is a triangle of the X, Y and Z fractions
};

// The entry of a word (regardless of case) or a menu command id; null when none.
QK_API const QKPlotWord* qkfxFindPlotWord(const std::string& word);
QK_API const QKPlotWord* qkfxFindPlotCommand(UINT command);

// Adds a plot of `type` drawing `data` (the main dataset first) to the layer and answers
// it (the layer owns it); null with the reason in *error when the data are missing or
// the type unknown. Contour and 3D kinds are made by the 3D library when it is loaded.
QK_API CQKPlotObj* qkfxAddPlot(CQKGraphicLayer* layer, int type, const std::vector<QKPlotData>& data,
                              std::string* error);

// Plots worksheet columns as the word's shape takes them: X columns give the X of the
// columns after them. Answers the number of plots made (several form a group); 0 with
// the reason in *error.
QK_API int qkfxPlotColumns(CQKGraphicLayer* layer, const QKPlotWord& word, const std::vector<CQKDataset*>& columns,
                           std::string* error);

// Plots a matrix page with a word of the XYZ shape; false with the reason in *error.
QK_API bool qkfxPlotMatrix(CQKGraphicLayer* layer, const QKPlotWord& word, CQKMatrixPage* matrix,
                           std::string* error);

// The range of the layer's data along an axis (QK_AXIS_X, _Y or _Z); false when no plot
// has a value there. A logarithmic axis counts positive values only.
QK_API bool qkfxGetDataRange(CQKGraphicLayer* layer, int axisType, double& lo, double& hi);
// Rescales the layer's axes to its data with round ends: every axis when `toData`, else
// each as its rescale mode says (manual keeps its range, normal widens it to hold the
// data, auto follows the data, fixed from and fixed to move the other end). Answers the
// number of axes changed.
QK_API int qkfxRescaleLayer(CQKGraphicLayer* layer, BOOL toData);

// The view of a 3D layer: "1" to "6" turn it (clockwise, counterclockwise, tilt right,
// left, up, down), "perspective+" and "perspective-" deepen and flatten it, "fit" makes
// the box's largest side fill the layer, "reset" restores the view a new layer has. False, with
// the reason, for a 2D layer or another word.
QK_API bool qkfxChange3DView(CQKGraphicLayer* layer, const std::string& what, std::string* error);
// Where a data point of a 3D layer lands on a device when the layer's frame is `frame`.
QK_API bool qkfxMap3DPoint(CQKGraphicLayer& layer, const RECT& frame, double x, double y, double z, POINT& out);

// Brings the layer's legend ("Legend") up to date with its plots, when the page updates
// legends automatically or `always` is set; a layer without plots keeps no legend.
QK_API void qkfxUpdateLegend(CQKGraphicLayer* layer, bool always = false);

// The plot of the layer that draws the dataset (by name, regardless of case); null if none.
QK_API CQKPlotObj* qkfxFindPlot(CQKGraphicLayer* layer, const std::string& dataset);
