// The parts of a plot object that some plot kinds draw: drop lines, labels, vector
// arrows, the pie's wedges and labels, and a function's formula. Every plot object
// keeps them all (a kind that does not draw a part keeps its defaults), so a working
// copy and a plot-type change carry them along.
#pragma once

#include <string>

// Lines from each point to the axes, and the skipping of points. Line styles index the
// line-style list; colours -9 automatic (the plot's), else a colour index.
struct QKDropLineState {
    int type = 0; // bits: 1 vertical, 2 horizontal, 4 Z
    int vertType = 0, horiType = 0, zType = 0;
    double vertWidth = 0.5, horiWidth = 0.5, zWidth = 0.5; // points
    int vertColor = -9, horiColor = -9, zColor = -9;
    bool skip = false;     // draw only every skipFrequency-th point
    int skipFrequency = 0; // 0 counts as 2
};

// The labels of a plot that draws text at its points.
struct QKLabelState {
    int font = 0;        // CQKFontManager index
    int color = 0;       // colour index
    int size = 12;       // points
    int justify = 0;     // 0 centre, 1 left, 2 right
    int attachment = -1; // -1 none; else an axis of the attachment list
    double rotation = 0; // degrees, counter-clockwise
    double xOffset = 0, yOffset = 0; // points, right and up
    int style = 0;       // 8 bold, 2 italic, 1 underline
    bool whiteOut = false;
};

// A vector plot's arrows (its colour and width are the plot's own).
struct QKVectorState {
    int arrowLength = 6;     // points
    int arrowAngle = 30;     // degrees between the shaft and each side of the head
    bool arrowClosed = false; // a filled triangle, else two strokes
    int position = 0;        // where a directional vector's point is: 0 tail, 1 middle, 2 head
    double angle = 0;        // the angle of every directional vector when no column gives it
    double magnitude = 20;   // the same for the magnitude (points)
};

// A pie's wedges and labels. Sizes in percent as the page shows them; the thickness is
// a fraction of the radius.
struct QKPieState {
    bool labelRewrite = true; // the labels are written from the choices below
    bool labelValue = false, labelPercent = true, labelCategory = false;
    bool labelReposition = true; // labels stand by their wedge
    double labelDistance = 0;    // from the edge, percent of the radius
    bool labelHide = false, labelDrawArrow = false;
    int viewAngle = 90;          // 90 seen from above (2D)
    double skirtHeight = 0.2;    // thickness of a tilted pie, fraction of the radius
    int azimuth = 0;             // where the first wedge starts, degrees from three o'clock
    bool counterClockwise = true;
    int radiusScale = 100;       // percent of the frame's
    int horizontalOffset = 0;    // percent of the frame's width
    unsigned explodedWedges = 0; // bit p: the p-th wedge drawn out
    int wedgeDisplacement = 20;  // how far, percent of the radius
};

// A function plot: y = formula(x) over the X axis's range.
struct QKFunctionState {
    std::string name = "F1";
    std::string formula = "x";
    double density = 100; // points drawn
    bool show = true;
};
