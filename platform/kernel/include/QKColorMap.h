// A plot's colour map as the plot object keeps it: its levels, each with the fill of the
// band above it, the level's contour line and its label switch, the fill of missing
// values, how the levels follow the data, and the number format of contour labels.
// Every plot object keeps one (a plot that draws no colour map keeps it empty), so a
// working copy and a plot-type change carry it along.
#pragma once

#include <stdint.h>

#include "QKDefs.h"

#include <string>
#include <vector>

// One level, copied by value. Colours are RGB values; widths are the kernel's integer
// line widths (hundredths of a point, see qkuDoubleLineWidthToInt).
#pragma pack(push, 1)
struct ColorMapEntry {
    double level = 0;
    uint32_t fillColor = 0xFFFFFF;
    uint32_t patternColor = 0;
    int32_t patternWidth = 50;
    uint32_t lineColor = 0;
    uint32_t flags = 0; // CMAP_LABEL_SHOWN, CMAP_LINE_HIDDEN
    int16_t lineWidth = 50;
    uint8_t pattern = 0;   // 0 none (solid fill), else a hatch style + 1
    uint8_t lineStyle = 0; // index in the line-style list
    uint8_t reserved[16] = {};
};
#pragma pack(pop)
static_assert(sizeof(ColorMapEntry) == 48, "a colour-map level is 48 bytes");

enum : uint32_t {
    CMAP_LABEL_SHOWN = 0x00010000,
    CMAP_LINE_HIDDEN = 0x00020000,
};

// How the levels follow the data when they change: by hand, spread over the data's
// range, or kept fixed at the low or the high end.
enum { CMAP_RESCALE_MANUAL = 0, CMAP_RESCALE_NORMAL, CMAP_RESCALE_FIXED_FROM, CMAP_RESCALE_FIXED_TO };

struct QKColorMapState {
    // Ascending. Level i's fill colours the values from it up to level i + 1; the last
    // level's fill colours the values above it, the first's those below it too.
    std::vector<ColorMapEntry> levels;
    ColorMapEntry missing;          // the fill of missing values
    double missingValue = -1.23456789e-300;
    int rescaleMode = CMAP_RESCALE_NORMAL;
    bool setLevelsByNumber = true;  // Set Levels asks for a number of levels, not an interval
    bool setLevelsLog = false;
    bool otherColorsInMixing = false; // fills interpolated in hue, not in RGB
    double clipLow = 0, clipHigh = 100; // Z clipping of a surface, percent of the levels' span
    // Contour labels: format index (0 decimal, 1 scientific, 2 engineering, 3 decimal
    // with separators), a factor to divide by (0: none), and decimal places or
    // significant digits (one count: places are kept as places + 3).
    int labelsFormat = 0;
    double labelsDivideBy = 0;
    bool labelsByDecPlaces = false;
    int labelsSigDigits = 3;
    std::string labelsPrefix, labelsSuffix;

    QK_API bool operator==(const QKColorMapState& o) const;
    bool operator!=(const QKColorMapState& o) const { return !(*this == o); }
};
