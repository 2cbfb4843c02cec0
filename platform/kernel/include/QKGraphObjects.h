// The objects of a graph layer that the graph-object dialogs edit (error bars and text
// labels), the layer that owns them, and the tables the owner-drawn controls show: the
// colour table, the font list and the date forms.
//
// Every property is a Get/Set pair (an Is/Enable pair for a flag) holding real state.
// Operations that reach beyond one layer (copying a property to other layers and windows,
// opening a worksheet window) are recorded in the call log, which is how the dialogs'
// tests see them; the ones that change this layer's objects are carried out.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "QKDefs.h"
#include "QKColorMap.h"
#include "QKPlotParts.h"

struct IDataObject;

class CWnd; // the framework's window; the kernel only passes it on
class CQKPage;
class CQKDataset;
class CQKLayer;
class CQKColorMapData;

// The kernel's colour table: the colours that plot objects name by index.
class QK_API CQKColor {
public:
    static int GetColorNumber();
    // false for an index outside the table (the name is then emptied).
    static BOOL GetColorName(int index, std::string& name);
    // The RGB value of the colour; the third argument is reserved (callers pass 0).
    static BOOL GetColorRef(int index, DWORD& colour, int reserved);

    // The user edits the table (the colour palette dialog) within this many colours.
    static int GetMaxNumOfColors();
    // Replaces the whole table; FALSE (the table unchanged) for no colours, more than the
    // largest number, or an empty name. Plots keep their indexes: an index past a shorter
    // table draws in the colour qkColorOf gives it.
    static BOOL SetColors(const std::vector<std::pair<std::string, DWORD>>& colours);
    static void GetColors(std::vector<std::pair<std::string, DWORD>>& colours);
    static void RestoreQuorixDefaultColors();
    // The table to the INI file's [Color Palette] section, and back. Reading keeps the table
    // as it is when the section is missing or any of its entries cannot be read.
    static BOOL SavePaletteToINIFile();
    static BOOL ReadPaletteFromINIFile();
};

// How colours are put on the screen: 0 the colours as they are ("Default"), 1 pure colours.
class QK_API CQKPalette {
public:
    static int GetPaletteMode();
    static void SetPaletteMode(int mode);
    static BOOL SavePaletteTypeToINIFile();
};

// Font-kind bits that GetFontName answers with.
enum {
    QK_FONT_DEVICE = 2,
    QK_FONT_TRUETYPE = 4,
};

// The fonts text objects can use. Index 0 is the default entry, which stands for the
// font that the settings make default for new labels.
class QK_API CQKFontManager {
public:
    static int GetFontCount();
    // The face name and its kind bits; -1 (and an empty name) for an index out of range.
    static int GetFontName(int index, std::string& name);
};

// A date counted in days from 1 January 1900 (value 0), in the forms tick labels use.
class QK_API CQKUtilDate {
public:
    explicit CQKUtilDate(double days);
    void GetDateShortForm(std::string& text) const; // "1/1/1900"
    void GetDateLongForm(std::string& text) const;  // "Monday, January 1, 1900"

private:
    int m_year, m_month, m_day, m_weekday; // month 1..12, weekday 0 = Sunday
};

// Anything drawn in a layer. The id is the layer's handle of the object.
class QK_API CQKGrElement : public CQKBase {
public:
    ~CQKGrElement() override;

    // Binds the element to a layer under an id; false for a null layer.
    BOOL Attach(CQKLayer* layer, int id);
    CQKLayer* GetValidLayer() const { return m_layer; }
    int GetId() const { return m_id; }

    // Copies one property (code, value) to the like objects of this layer (scope 0), of
    // the window (1) or of all windows (2). Recorded in the call log.
    BOOL ApplyToAll(int code, int scope, double value, int reserved);

protected:
    CQKLayer* m_layer = nullptr;
    int m_id = 0;
};

// The style of a text label. The rotation is in tenths of a degree.
struct CQKTextStyle {
    int font = 0;           // CQKFontManager index
    short rotation = 0;     // tenths of a degree
    int size = 22;          // points
    BYTE alignment = 0;     // QK_TEXT_CENTER_MULTILINE or 0
    BYTE flags = 0;         // QK_TEXT_SYSTEM_FONT, QK_TEXT_WHITE_OUT
};

enum {
    QK_TEXT_CENTER_MULTILINE = 38,
    QK_TEXT_SYSTEM_FONT = 0x10,
    QK_TEXT_WHITE_OUT = 0x20,
};

// A graphic object with a colour and an optional border.
class QK_API CQKGrObj : public CQKGrElement {
    friend struct QKFileAccess; // the project file's reader and writer
public:
    int GetColor() const { return m_color; }
    void SetColor(int color) { m_color = color; }
    BOOL IsBorder() const { return m_border; }
    void EnableBorder(BOOL enable) { m_border = enable != FALSE; }
    int GetBorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(int style) { m_borderStyle = style; }
    // Drawn behind the layer's data (after its background, before its axes and plots)
    // instead of in front of everything.
    BOOL IsBehindData() const { return m_behindData; }
    void SetBehindData(BOOL behind) { m_behindData = behind != FALSE; }
    // The group the object belongs to in its layer (0 none): a group is selected, moved,
    // copied to the undo step and deleted as one object.
    int GetGroup() const { return m_group; }
    void SetGroup(int group) { m_group = group; }

    // Gives this object's style to every object of its kind in the layer. Recorded.
    BOOL ApplyStyleToAll(int reserved);
    // Makes this object's settings the default for new objects of its kind.
    virtual BOOL SetDefault(int reserved);

protected:
    int m_color = 0;
    bool m_border = false;
    int m_borderStyle = 0;
    bool m_behindData = false;
    int m_group = 0;
};

// A text label: its text with inline format codes, its style and tab width.
class QK_API CQKTextObj : public CQKGrObj {
    friend struct QKFileAccess; // the project file's reader and writer
public:
    // A new label takes the defaults that SetDefault last made.
    CQKTextObj();

    const std::string& GetTextString() const { return m_text; }
    void SetTextString(const std::string& text) { m_text = text; }
    void GetTextStyle(CQKTextStyle& style) const { style = m_style; }
    void SetTextStyle(const CQKTextStyle& style) { m_style = style; }
    int GetTabWidth() const { return m_tabWidth; }
    void SetTabWidth(int width) { m_tabWidth = width; }
    BOOL IsShowLinkVars() const { return m_showLinkVars; }
    void SetShowLinkVars(BOOL show) { m_showLinkVars = show != FALSE; }
    // The label's name in its layer: "XB", "YL", "ZB" for axis titles, "Legend".
    const std::string& GetObjName() const { return m_name; }
    void SetObjName(const std::string& name) { m_name = name; }
    // Where the label's top-left corner lies on its page, as fractions of the page's
    // width and height; negative while it takes its automatic place (an axis title beside
    // its axis, the legend inside the top right of its layer's frame, another label at
    // the frame's top left).
    double GetPosX() const { return m_posX; }
    double GetPosY() const { return m_posY; }
    void SetPosition(double x, double y) { m_posX = x; m_posY = y; }

    BOOL SetDefault(int reserved) override;
    void DumpState(CQKStateDump& dump) const override;

    // The label's dialog; a plain label has none (the user interface's subclass does).
    virtual int DoDialog(CWnd* parent, int startPage, UINT flags);

private:
    std::string m_name;
    std::string m_text;
    CQKTextStyle m_style;
    int m_tabWidth = 8;
    bool m_showLinkVars = false;
    double m_posX = -1, m_posY = -1;
};

// A drawn line (an arrow when it has a head at its end), rectangle or ellipse. The two
// points are fractions of the page's width and height from its top left: a line's begin
// and end, a box's opposite corners.
// A colour scale is the bands and levels of its layer's first colour-mapped plot, drawn in
// the object's rectangle.
enum { QK_DRAW_LINE = 0, QK_DRAW_RECT = 1, QK_DRAW_ELLIPSE = 2, QK_DRAW_COLORSCALE = 3 };

class QK_API CQKDrawObj : public CQKGrObj {
public:
    explicit CQKDrawObj(int kind = QK_DRAW_LINE) : m_kind(kind) {}
    int GetKind() const { return m_kind; }
    void SetKind(int kind) { m_kind = kind; }
    void DumpState(CQKStateDump& dump) const override;

    double m_x1 = 0, m_y1 = 0, m_x2 = 0, m_y2 = 0;
    bool m_arrowEnd = false;
    double m_headLength = 8, m_headWidth = 6; // points
    double m_lineWidth = 1;                   // points

private:
    int m_kind;
};

// Plot types: the kernel's numbering of what a plot object draws. A working copy can be
// given another type of the same family (GetWithNewPlotType).
enum QKPlotType {
    QK_PLOT_LINE = 200,
    QK_PLOT_SCATTER = 201,
    QK_PLOT_LINE_SYMBOL = 202,
    QK_PLOT_COLUMN = 203,
    QK_PLOT_AREA = 204,
    QK_PLOT_BAR = 205,
    QK_PLOT_VECTOR = 206,
    QK_PLOT_BOX = 207,
    QK_PLOT_PIE = 208,
    QK_PLOT_FUNCTION = 209,
    QK_PLOT_HIGH_LOW_CLOSE = 210,
    QK_PLOT_HISTOGRAM = 211,
    QK_PLOT_3D_WALL = 212,
    QK_PLOT_3D_RIBBON = 213,
    QK_PLOT_3D_SURFACE = 214,
    QK_PLOT_3D_BARS = 215,
    QK_PLOT_CONTOUR = 216,
    QK_PLOT_ERROR_BAR = 217,
    QK_PLOT_TEXT = 218,
    QK_PLOT_STACK_COLUMN = 219,
    QK_PLOT_STACK_BAR = 220,
    QK_PLOT_FLOAT_COLUMN = 221,
    QK_PLOT_FLOAT_BAR = 222,
    QK_PLOT_FILL_AREA = 223,
    QK_PLOT_VERT_DROP_LINE = 224,
    QK_PLOT_HORZ_DROP_LINE = 225,
    QK_PLOT_BUBBLE = 226,
    QK_PLOT_COLOR_MAPPED = 227,
    QK_PLOT_BUBBLE_COLOR_MAPPED = 228,
    QK_PLOT_3D_SCATTER = 229,
    QK_PLOT_3D_TRAJECTORY = 230,
    QK_PLOT_3D_WIRE_FRAME = 231,
    QK_PLOT_3D_WIRE_SURFACE = 232,
};

// A plot's colours (QCOLOR) are -9 automatic, a colour-table index, or a colour taken per
// point: the low byte 100 to 124 names the worksheet column (low byte - 99) of the plot's
// worksheet whose values give each point its colour, as colour-table numbers from 1, or,
// with QK_QCOLOR_COLORMAP, through the plot's colour map.
enum : int {
    QK_QCOLOR_COLUMN_FIRST = 100,
    QK_QCOLOR_COLUMN_LAST = 124,
    QK_QCOLOR_COLORMAP = 0x400000,
};
inline bool qkIsPointQCOLOR(int color)
{
    return color >= 0 && color < 0x1000000 && (color & 0xFF) >= QK_QCOLOR_COLUMN_FIRST &&
           (color & 0xFF) <= QK_QCOLOR_COLUMN_LAST;
}
// The worksheet column (from 1) of a per-point colour.
inline int qkQCOLORColumn(int color) { return (color & 0xFF) - QK_QCOLOR_COLUMN_FIRST + 1; }
inline int qkColumnQCOLOR(int column, bool colorMap)
{
    return QK_QCOLOR_COLUMN_FIRST + column - 1 + (colorMap ? QK_QCOLOR_COLORMAP : 0);
}

// What GetColorContents answers for a colour of a plot: the colour list with "Automatic"
// (low nibble), and the ways the colour may be taken per point (bits 0xF0).
enum : int {
    QK_CONTENTS_COLORS = 0x01,
    QK_CONTENTS_BY_COLUMN = 0x10,   // a worksheet column of colour-table numbers
    QK_CONTENTS_BY_COLORMAP = 0x20, // a worksheet column through the colour map
    QK_CONTENTS_PER_POINT = 0xF0,
};
// The colours GetColorContents is asked about.
enum : int {
    QK_COLOR_LINE = 1,
    QK_COLOR_PATTERN_FILL = 2,
    QK_COLOR_PATTERN = 3,
    QK_COLOR_BORDER = 4,
    QK_COLOR_SYMBOL_EDGE = 5,
    QK_COLOR_SYMBOL_FILL = 6,
    QK_COLOR_VECTOR = 7,
};

// What a dataset is to the plot that draws it.
enum QKDataRole {
    QK_ROLE_Y = 0,      // the values drawn (for a contour or 3D plot from columns, Z)
    QK_ROLE_X = 1,
    QK_ROLE_Z = 2,
    QK_ROLE_Y_ERROR = 3,
    QK_ROLE_X_ERROR = 4,
    QK_ROLE_SIZE = 5,   // bubble sizes
    QK_ROLE_COLOR = 6,  // colour-map values
    QK_ROLE_ANGLE = 7,  // a vector's angle (degrees)
    QK_ROLE_MAGNITUDE = 8,
    QK_ROLE_LOW = 9,    // the lower curve of a floating or fill-area plot, a low of high-low-close
    QK_ROLE_HIGH = 10,
    QK_ROLE_X_END = 11, // a vector's end point (XYXY)
    QK_ROLE_Y_END = 12,
    QK_ROLE_MATRIX = 13, // the matrix page a contour or 3D plot draws, by name
};

// One dataset of a plot: its name and the rows drawn, first .. end - 1 (end -1: to the
// dataset's end).
struct QKPlotData {
    int role = QK_ROLE_Y;
    std::string dataset;
    int first = 0;
    int end = -1;
    // The dataset's handle (a matrix page's, for QK_ROLE_MATRIX), which finds it after a
    // rename and where its name does not (the columns of an Excel workbook's sheets); 0
    // to look it up by name.
    INT_PTR handle = 0;
};

// One entry of a plot-type list: its name and type.
struct QKPlotTypeEntry {
    std::string name;
    int type;
};

// The border and fill of one pattern instance of a plot (its bars, columns, areas or
// 3D wall faces). Colours: -9 automatic, else a colour index.
struct QKPatternState {
    int borderColor = 0;
    int borderType = 0;      // index in the line-style list
    double borderWidth = 0.5; // points
    int bkColor = 18;        // the fill colour (light gray)
    int fillPattern = 0;     // index in the pattern list; 0 none
    int barFillColor = 0;    // the pattern's colour
    double fillWidth = 0.5;  // the pattern's line width in points
    int patternType = 0;     // further instances: 1 own settings, else as the first
};

// Geometric symbol shapes, in the order of the shape list (QK_SYMBOL_NONE draws none).
enum QKSymbolShape {
    QK_SYMBOL_NONE = 0,
    QK_SYMBOL_SQUARE,
    QK_SYMBOL_CIRCLE,
    QK_SYMBOL_UP_TRIANGLE,
    QK_SYMBOL_DOWN_TRIANGLE,
    QK_SYMBOL_DIAMOND,
    QK_SYMBOL_CROSS,
    QK_SYMBOL_X_CROSS,
    QK_SYMBOL_STAR,
    QK_SYMBOL_HORIZONTAL_BAR,
    QK_SYMBOL_VERTICAL_BAR,
    QK_SYMBOL_LEFT_TRIANGLE,
    QK_SYMBOL_RIGHT_TRIANGLE,
    QK_SYMBOL_HEXAGON,
    QK_SYMBOL_PENTAGON,
    QK_SYMBOL_SHAPE_COUNT
};

// Symbol interiors, in the order of the interior list. Open, dot centre and the halves
// show the fill colour; solid is all edge colour; hollow and the centre marks leave the
// inside clear.
enum QKSymbolFill {
    QK_SYMFILL_SOLID = 0,
    QK_SYMFILL_OPEN,
    QK_SYMFILL_DOT_CENTER,
    QK_SYMFILL_HOLLOW,
    QK_SYMFILL_PLUS_CENTER,
    QK_SYMFILL_MINUS_CENTER,
    QK_SYMFILL_BAR_CENTER,
    QK_SYMFILL_X_CENTER,
    QK_SYMFILL_HALF_UP,
    QK_SYMFILL_HALF_RIGHT,
    QK_SYMFILL_HALF_DOWN,
    QK_SYMFILL_HALF_LEFT,
    QK_SYMFILL_COUNT
};

// How a line joins a plot's points: the connection list, by index.
enum QKConnectType {
    QK_CONNECT_NONE = 0,
    QK_CONNECT_STRAIGHT,
    QK_CONNECT_2_POINT_SEGMENT, // points 1-2, 3-4, ... joined in pairs
    QK_CONNECT_3_POINT_SEGMENT, // points 1-2-3, 4-5-6, ... joined in threes
    QK_CONNECT_B_SPLINE,        // a cubic B-spline with the points as its control points
    QK_CONNECT_SPLINE,          // a smooth curve through every point
    QK_CONNECT_STEP_HORIZONTAL, // across, then up or down to the next point
    QK_CONNECT_STEP_VERTICAL,   // up or down, then across
    QK_CONNECT_BEZIER,          // cubic Bezier pieces: points 1-4, 4-7, ...
    QK_CONNECT_TYPE_COUNT
};

// The names of the shape, interior and connection lists; null past their ends.
QK_API const char* qkfxGetSymbolShapeName(int shape);
QK_API const char* qkfxGetSymbolFillName(int fill);
QK_API const char* qkfxGetConnectTypeName(int connect);

// A plot's symbols. Colours: -9 automatic (the edge the plot's colour, the fill white),
// else a colour index.
struct QKSymbolState {
    int style = 0;          // 0 a geometric symbol, else the character a character symbol shows
    int shape = QK_SYMBOL_SQUARE;
    int fill = QK_SYMFILL_SOLID;
    double size = 9;        // points
    int sizeColumn = 0;     // 0 every symbol the size above; else the column (1-based, of the
                            // plot's worksheet) whose values give each point's size
    double scalingFactor = 1; // sizes from a column are multiplied by it
    int thickness = 10;     // edge thickness, percent of the size
    int edgeColor = -9;
    int fillColor = -9;
    bool outline = false;   // a character symbol drawn as an outline
    int charFont = 0;       // font index (CQKFontManager) of a character symbol
    int charStyle = 0;      // of a character symbol: 8 bold, 2 italic, 1 underline
    bool offsetOverlapped = false; // points on one place drawn side by side
};

// A box chart: what its box and whiskers span and what it shows beside them.
struct QKBoxState {
    int type = 0;          // 0 box, 1 data only, 2 box over data, 3 data left of the box, 4 box left of the data
    int boxRange = 0;      // index in the box range list (qkfxGetBoxRangeName)
    double boxCoef = 1;    // of the ranges that take one
    double boxCap = 50;    // box width, percent of the space between boxes
    int whiskerRange = 2;  // index in the whisker range list (qkfxGetWhiskerRangeName)
    double whiskerCoef = 1.5;
    bool outliers = false; // values beyond the whiskers drawn as points
    bool diamondBox = false;
    bool boxLabel = false;     // the box's ends labelled with their values
    bool whiskerLabel = false; // the whiskers' ends likewise
};

// What a box chart draws of its data beside the box (the Data page), and the marker
// symbols of its percentiles (the Percentile page).
struct QKPercentileSymbol {
    int style = 0;   // 0 a geometric symbol, else the character shown
    int shape = QK_SYMBOL_SQUARE; // geometric: shape and interior
    int fill = QK_SYMFILL_SOLID;
    int charFont = 0;  // character: font index and style flags
    int charStyle = 0;
};

struct QKBoxDataState {
    int dotType = 0;        // 0 data points, 1 bins as bars, 2 points over bars
    bool singleBlock = false; // bars drawn as one outline
    bool snapData = false;  // points drawn at their bin's middle
    bool binUserDef = false; // the bins below, else bins from the data
    double binSize = 1, binBegin = 0, binEnd = 10;
    double binHeight = 100; // tallest bar, percent of the room beside the box
    int curveType = 0;      // 0 none, else a distribution drawn over the bins
    double curveScale = 100; // percent
    int binAlign = 0;       // bars 0 centred on the data's place, 1 right of it, 2 left
    // Percentiles by number: 5 maximum, 4 99%, 3 mean, 2 1%, 1 minimum (index number - 1).
    QKPercentileSymbol perc[5] = {{0, QK_SYMBOL_HORIZONTAL_BAR, QK_SYMFILL_SOLID},
                                  {0, QK_SYMBOL_X_CROSS, QK_SYMFILL_SOLID},
                                  {0, QK_SYMBOL_SQUARE, QK_SYMFILL_OPEN},
                                  {0, QK_SYMBOL_X_CROSS, QK_SYMFILL_SOLID},
                                  {0, QK_SYMBOL_HORIZONTAL_BAR, QK_SYMFILL_SOLID}};
    int percSize = 5;       // points
    int symbolColor = -9;   // edge; automatic: the box's border colour
    int symbolFill = -9;    // automatic: white
};

// The names of the data-point types and distribution curves of box charts; null past the end.
QK_API const char* qkfxGetDotPlotTypeName(int type);
QK_API const char* qkfxGetBoxCurveName(int type);

// The box and whisker range lists: the names, null past their ends.
QK_API const char* qkfxGetBoxRangeName(int range);
QK_API const char* qkfxGetWhiskerRangeName(int range);

// A 3D surface, wire frame or bar plot of a matrix: its fill and contour lines and their
// projections on the top and bottom of the box, side walls, grid lines and bars. Colours
// are RGB values; QK_SURFACE_PLOT_COLOR stands for the plot's own colour.
const COLORREF QK_SURFACE_PLOT_COLOR = 0xFFFFFFFF;
struct QKSurfaceState {
    bool fill = true, contourLines = false;           // on the surface
    COLORREF lineColor = 0;
    double lineWidth = 0.5;
    bool fillProjection[2] = {false, false};          // 0 bottom, 1 top of the box
    bool linesProjection[2] = {false, false};
    COLORREF projectionLineColor[2] = {0, 0};
    double projectionLineWidth[2] = {0.5, 0.5};
    bool sideWalls = false;       // panels from the mesh's near edges down to the floor
    COLORREF sideWallX = RGB(192, 192, 192), sideWallY = RGB(192, 192, 192);
    int showGrid = 3;       // 0 none, 1 X lines, 2 Y lines, 3 both
    double gridWidth = 0.5;
    COLORREF gridColor = QK_SURFACE_PLOT_COLOR; // the plot's colour: black, grey on dark faces
    bool wireSingle = true;       // a wire frame's grid in one colour
    int secondaryGridLines = 0;   // a wire frame's lines between the main ones
    COLORREF secondColor = 0;
    bool gridByColorMap = false;  // a colour-map surface's grid in the levels' colours
    COLORREF surfaceFillColor = QK_SURFACE_PLOT_COLOR; // a one-colour surface's front
    bool backColorEnabled = false;
    COLORREF backColor = RGB(128, 128, 128);
    COLORREF barEdgeColor = 0;
    double barEdgeWidth = 0.5;
    COLORREF firstRowColor = QK_SURFACE_PLOT_COLOR;
    bool sameFillColor = true;
    double xBarWidth = 80, yBarWidth = 80; // percent of the grid spacing
    int grouping = 0; // a 3D plot's edit dependencies: 0 independent, 1 original apart, 2 all together
};

// How a part of a plot looks: a part of a 3D scatter, or a special point.
struct QKPartLook {
    int color = 0;
    int lineType = 0;
    double lineWidth = 0.5;
    int connectType = 1;
    bool symbolsConnected = false;
    QKSymbolState symbol;
};

// The parts of a 3D scatter: 0 its points (which look as the plot does), then their
// projections onto the XY plane (the Z wall), the XZ plane (the Y wall) and the YZ plane
// (the X wall). A projection looks like the points until it is given a look of its own.
enum { QK_SCATTER_PARTS = 4 };
struct QKScatterParts {
    bool shown[QK_SCATTER_PARTS] = {true, false, false, false};
    bool ownLook[QK_SCATTER_PARTS - 1] = {false, false, false};
    QKPartLook look[QK_SCATTER_PARTS - 1];
};

// A point of a plot drawn in a look of its own.
struct QKSpecialPoint {
    int row = 0; // the point's row in the plot's dataset, from 0
    QKPartLook look;
};

// Everything a plot object keeps that its dialogs edit. A working copy holds its own
// state; UpdateFromTemporary gives it to the original.
struct QKPlotState {
    int plotType = QK_PLOT_LINE;
    std::string dataset;   // the dataset's name as the plot shows it
    int color = 0;         // -9 automatic, else a colour index
    bool show = true;
    int lineType = 0;      // index in the line-style list
    double lineWidth = 0.5; // points
    int connectType = 1;   // 0 no line, else an index in the connection list
    bool symbolsConnected = false;
    bool areaFilled = false;
    int fillAreaMode = 0;  // 0 normal, 1 inclusive, 2 exclusive broken by missing values
    bool lineSymbolGap = false;
    bool lineInFront = true;
    int group = 0;         // 0 in no group; plots of one group share the number
    bool groupBegin = false;
    bool independent = false;
    int groupEnum = 1;     // bit n: group property n steps from member to member (see GetEnumTitle)
    bool hiddenFromLegend = false;
    bool errorBar = false; // the plot has error bars
    bool matrixData = false;
    bool onePoint = false; // its dataset holds a single point
    int numPatterns = 1;   // pattern instances (0 to 3)
    int activeTabID = 0;
    bool colorMapData = false;
    bool frame3D = false;  // a line-symbol plot's bars are drawn with a 3D frame
    int boxGap = 20;       // gap between the bars of neighbouring datasets, percent
    int gapWithinGroup = 0; // overlap of a group's bars, percent
    int barThickness = 80; // percent
    int objectColumns = 1; // datasets drawn side by side
    QKPatternState pattern[3];
    QKSymbolState symbol;
    QKDropLineState drop;
    QKLabelState label;
    QKVectorState vector;
    QKPieState pie;
    QKFunctionState function;
    QKBoxState box;
    QKColorMapState cmap;
    QKSurfaceState surface;
    QKScatterParts scatter;
    std::vector<QKSpecialPoint> specialPoints; // by rising row
    bool contourFill = true;    // a contour plot fills between its lines
    bool contourGrids = false;  // a contour plot paints each grid node's cell
    double contourLabelMinArea = 1; // percent of the grid below which a line gets no automatic label
    QKBoxDataState boxData;
    std::vector<QKPlotData> data; // the main dataset (role Y) first
};

// A plotted object: what it draws (its plot type), its line and its place in a group.
// The questions Has... and Is... answer from the plot type and the state; they are how
// the dialogs choose their pages.
class QK_API CQKPlotObj : public CQKGrElement {
    friend struct QKFileAccess; // the project file's reader and writer
public:
    CQKPlotObj() = default;
    // A copy is no working copy of anything: it takes the state, not the original.
    CQKPlotObj(const CQKPlotObj& other);
    CQKPlotObj& operator=(const CQKPlotObj& other);
    ~CQKPlotObj() override;

    BOOL IsBasePtrPlotObj() const override { return TRUE; }
    CQKPlotObj* GetRepresentativePlotObj() override { return this; }

    // Plots are dragged between layers, and contour plots drag their labels within their
    // layer: the plot whose drag is running when the data carry the plot-object drag format, else
    // null; and the drop of that data at a point of the view (`test`: only whether it
    // would be taken).
    static CQKPlotObj* GetPlotObjDragSource(IDataObject* data, DWORD keyState, POINT point);
    BOOL DoDrop(IDataObject* data, DWORD dropEffect, POINT point, BOOL test);
    // Runs the drag of the plot pressed at a point of its page's view until it ends: a
    // plot of a graph's layer is offered as a move to the graph windows, whose drop puts
    // it into another layer (CQKGraphPage::DropPlot). FALSE when no drag ran. A contour
    // plot drags the label under the point instead.
    virtual BOOL StartDragAtPoint(POINT point);

    int GetColor() const { return m_s.color; }
    void SetColor(int color) { m_s.color = color; }
    BOOL IsShow() const { return m_s.show; }
    void SetShow(BOOL show) { m_s.show = show != FALSE; }
    int GetType() const { return m_s.lineType; }
    void SetType(int type) { m_s.lineType = type; }
    double GetWidth() const { return m_s.lineWidth; }
    void SetWidth(double width) { m_s.lineWidth = width; }

    const QKPlotState& GetState() const { return m_s; }
    std::string GetDataSetName() const { return m_s.dataset; }
    void SetDataSetName(const std::string& name) { m_s.dataset = name; }
    // A 3D scatter's part answers the part's name.
    std::string GetName() const;
    // Every dataset the plot draws, by role.
    const std::vector<QKPlotData>& GetDataList() const { return m_s.data; }
    void SetDataList(const std::vector<QKPlotData>& data) { m_s.data = data; }
    // The dataset of a role; "" when the plot has none.
    std::string GetDataName(int role) const;

    // The plot's properties as lines of the state dump.
    void DumpState(CQKStateDump& dump) const override;

    // Working copies. A copy knows its original; UpdateFromTemporary gives the copy's
    // state to the original (recorded) and clears the modified flag.
    CQKPlotObj* CreateTemporary() const;
    BOOL IsTemporary() const { return m_original != nullptr; }
    CQKPlotObj* GetOriginal() const { return m_original; }
    BOOL IsModified() const { return m_modified; }
    void SetModified(int modified) { m_modified = modified != 0; }
    void UpdateFromTemporary();

    // Plot type.
    int GetPlotObjectType(int reserved) const { return m_s.plotType; }
    void SetPlotObjectType(int type) { m_s.plotType = type; }
    // A new working copy of the same original with another plot type, which the caller
    // owns; it is marked modified.
    CQKPlotObj* GetWithNewPlotType(int type, int reserved, int listIndex) const;
    // The types this plot may change to; 0 (and an empty list) when it has no choice.
    int GetPlotTypeMapping(std::vector<QKPlotTypeEntry>& list, int reserved1, int reserved2) const;
    int GetPlotTypeListIndex() const { return -1; }
    static int GetCommonPlotTypeID(int type) { return type; }
    std::string GetPlotTypeName() const;

    // Kind questions.
    BOOL IsLineSymbolPlot() const;
    BOOL IsLineOrLineSymbolType() const;
    BOOL IsVectorPlot() const { return m_s.plotType == QK_PLOT_VECTOR; }
    BOOL IsBoxPlot() const { return m_s.plotType == QK_PLOT_BOX; }
    BOOL IsHistogramPlot() const { return m_s.plotType == QK_PLOT_HISTOGRAM; }
    BOOL IsHighLowClosePlot() const { return m_s.plotType == QK_PLOT_HIGH_LOW_CLOSE; }
    BOOL Is3DWall() const { return m_s.plotType == QK_PLOT_3D_WALL; }
    BOOL Is3DRibbon() const { return m_s.plotType == QK_PLOT_3D_RIBBON; }
    BOOL Is3DPlot() const;
    BOOL Is3DTypePlot() const { return Is3DPlot(); }
    BOOL Is3DScatterPlot() const { return m_s.plotType == QK_PLOT_3D_SCATTER || m_s.plotType == QK_PLOT_3D_TRAJECTORY; }
    // The parts of a 3D scatter (see QKScatterParts) are plot objects of their own in
    // the dialogs: GetSpecialPointsArray makes one for each part, which the caller owns;
    // a part's UpdateFromTemporary gives its look and whether it is shown to the plot it
    // came from (a working copy is then marked modified), not to any original.
    BOOL IsSubPlotObj() const { return m_subIndex >= 0; }
    int GetSubPlotIndex() const { return m_subIndex; }
    CQKPlotObj* GetSubPlotParent() const { return m_subParent; }
    // A special point stands for one point of its plot: its row is its GetIDEx (-1 for
    // anything else). Like a part it goes into the plot it came from when committed.
    BOOL IsSpecialPoint() const { return m_pointRow >= 0; }
    int GetIDEx() const { return m_pointRow; }
    // A new object (the caller's) for the point of that row: the plot's special point
    // there, or a new one looking as the plot does, which is marked modified. Null for a
    // row below 0, a part or a point.
    CQKPlotObj* CreateSpecialPoint(int row) const;
    BOOL DeleteSpecialPoint(int row);
    // The look of the special point of that row; null when the row has none.
    const QKPartLook* GetSpecialPointLook(int row) const;
    // Gives a part or special point to another plot (a working copy of the same plot).
    void SetSubPlotParent(CQKPlotObj* parent);
    BOOL IsErrorBarPlot() const { return m_s.plotType == QK_PLOT_ERROR_BAR; }
    BOOL IsTextPlot() const { return m_s.plotType == QK_PLOT_TEXT; }
    BOOL IsHiddenFromLegend() const { return m_s.hiddenFromLegend; }
    void SetHiddenFromLegend(BOOL hidden) { m_s.hiddenFromLegend = hidden != FALSE; }
    BOOL UsesMatrixData() const { return m_s.matrixData; }
    void SetUsesMatrixData(BOOL matrix) { m_s.matrixData = matrix != FALSE; }
    // 2 when the plot's data lie in a matrix, 1 in a worksheet.
    int GetPageWindowStyle() const { return m_s.matrixData ? 2 : 1; }
    BOOL HasOnlyPointInDataSet() const { return m_s.onePoint; }
    void SetOnlyPointInDataSet(BOOL one) { m_s.onePoint = one != FALSE; }
    BOOL HasSpecialPoints() const
    {
        return (Is3DScatterPlot() || !m_s.specialPoints.empty()) && !IsSubPlotObj() && !IsSpecialPoint();
    }
    // New objects for the parts of a 3D scatter, in part order, or for the plot's special
    // points, by row; the count.
    int GetSpecialPointsArray(std::vector<CQKPlotObj*>& parts);
    // Whether a part is drawn; a plot is drawn as IsShow says.
    BOOL HasObjectDisplayed() const { return m_subIndex >= 0 ? m_s.scatter.shown[m_subIndex] : IsShow(); }
    void SetObjectDisplayed(BOOL shown);
    // The look of a part of this 3D scatter (0 the points themselves); SetPartLook
    // gives this object a look.
    QKPartLook GetScatterLook(int part) const;
    void SetPartLook(const QKPartLook& look);
    // Edit dependencies of a 3D scatter: with all together every projection looks as the
    // points do; with the original apart the second and third projections look as the
    // first. Works on the parts handed out by GetSpecialPointsArray while they live
    // (marking those it changes modified), else on the plot's own state.
    void UpdateProjections();

    // What the plot draws. HasLine(0) asks for a line at all; features 1 to 9 ask for
    // the line page's controls: 1 connect-symbols check (3D scatter), 2 area fill,
    // 3 symbol/line interface, 4 connection list, 5 style, 6 colour list, 7 colour
    // button, 8 width, 9 fill mode and its preview.
    BOOL HasLine(int feature) const;
    BOOL HasSymbol() const;
    BOOL HasDataPoint() const;
    BOOL HasPattern() const;
    BOOL HasAreaFilling() const;
    BOOL HasSpacing() const;
    BOOL HasVector() const;
    BOOL HasBox() const;
    BOOL HasPercentile() const;
    BOOL HasErrorBar() const { return m_s.errorBar || IsErrorBarPlot(); }
    void SetErrorBar(BOOL has) { m_s.errorBar = has != FALSE; }
    BOOL HasFont(int reserved) const;
    BOOL HasHistogram() const;
    BOOL HasFunction() const;
    BOOL HasPiePlot() const;
    BOOL HasMeshSurfaceContours() const;
    BOOL HasMeshWireGridSurface() const;
    BOOL Has3DBars() const;
    BOOL Has3DSideWalls() const;
    BOOL UseColormapForDrawing() const;
    // Drops the plot's colour-map data; recorded.
    void RemoveColorMapData();
    BOOL HasColorMapData() const { return m_s.colorMapData; }
    void SetColorMapData(BOOL has) { m_s.colorMapData = has != FALSE; }
    // The colour map (see QKColorMapState). GetColorMapData answers a new copy the
    // caller owns (the argument is reserved: pass null); SaveColorMapData makes a copy
    // the plot's colour map.
    CQKColorMapData* GetColorMapData(void* reserved) const;
    void SaveColorMapData(const CQKColorMapData* map);
    const QKColorMapState& GetColorMapState() const { return m_s.cmap; }
    int GetColorMapRescaleMode() const { return m_s.cmap.rescaleMode; }
    void SetColorMapRescaleMode(int mode);
    // What the plot's colour map offers: 1 fill patterns, 2 contour lines, 3 labels,
    // 4 a missing-value fill.
    BOOL HasCMapProperties(int feature) const;
    // Switches of the colour-map pages; FALSE when the plot has none of the id: 2 fill to
    // grid lines, 3 colour filling, 4 the layer's Z scale follows the levels (read
    // only), 5 the plot places labels by area, 6 that area (percent).
    BOOL GetExtendedValue(int id, int* value) const;
    BOOL SetExtendedValue(int id, const int* value);
    // The levels changed: with `rescale` the levels are spread over the data's range
    // again (as the rescale mode says). Recorded.
    void OnModifyZScaleValues(int rescale);
    // The range of the values the colour map colours (the Z data, else the worksheet column
    // a colour of the plot is mapped from); FALSE when there are none.
    BOOL GetDefaultColorColumnRange(double range[2]) const;
    // Levels spread evenly over the data (the plot's default colour map).
    void MakeDefaultColorMap();
    // A new copy of the colour map, the caller's; a plot without levels gets the default
    // levels spread over the values its colours are mapped from.
    CQKColorMapData* GetColorMapDataOrCreateWithDefRange() const;
    // What one of the plot's colours (QK_COLOR_...) may be: always the colour list; per
    // point (a worksheet column, or a column through the colour map) for the 2D plots
    // drawn from a worksheet whose points draw that colour one by one. A special point
    // or a part of a plot is one look: no per-point colours. The second argument is
    // reserved (0).
    int GetColorContents(int contents, int reserved) const;
    // Something the plot draws from changed; recorded.
    void SetDataModified();
    // Contour plots: fills, grid cells and the label area (see QKPlotState).
    BOOL IsFillContours() const { return m_s.contourFill; }
    void SetFillContours(BOOL fill) { m_s.contourFill = fill != FALSE; }
    BOOL IsShowGrids() const { return m_s.contourGrids; }
    void SetShowGrids(BOOL show) { m_s.contourGrids = show != FALSE; }
    double GetLabelCreationMinArea() const { return m_s.contourLabelMinArea; }
    void SetLabelCreationMinArea(double percent) { m_s.contourLabelMinArea = percent; }
    // 3D surfaces, wire frames and bars (see QKSurfaceState). The kinds: a wire frame (or
    // wire surface), a one-colour surface, a colour-map surface.
    BOOL HasWireFrameFeatures() const;
    BOOL IsFillColorSurface() const;
    BOOL IsColormapSurface() const;
    const QKSurfaceState& GetSurfaceState() const { return m_s.surface; }
    BOOL IsFillColor() const { return m_s.surface.fill; }
    void SetFillColor3D(BOOL on) { m_s.surface.fill = on != FALSE; }
    BOOL IsDrawContourLines() const { return m_s.surface.contourLines; }
    void SetDrawContourLines(BOOL on) { m_s.surface.contourLines = on != FALSE; }
    COLORREF GetContourLineColor() const { return m_s.surface.lineColor; }
    void SetContourLineColor(COLORREF c) { m_s.surface.lineColor = c; }
    double GetContourLineWidth() const { return m_s.surface.lineWidth; }
    void SetContourLineWidth(double w) { if (w >= 0) m_s.surface.lineWidth = w; }
    // Projections: 1 top, 0 bottom.
    BOOL IsFillColorInContourPlot(int top) const { return m_s.surface.fillProjection[top ? 1 : 0]; }
    void SetFillColorInContourPlot(int top, BOOL on) { m_s.surface.fillProjection[top ? 1 : 0] = on != FALSE; }
    BOOL IsDrawContourLinesInContourPlot(int top) const { return m_s.surface.linesProjection[top ? 1 : 0]; }
    void SetDrawContourLinesInContourPlot(int top, BOOL on) { m_s.surface.linesProjection[top ? 1 : 0] = on != FALSE; }
    COLORREF GetContourLineColorInContourPlot(int top) const { return m_s.surface.projectionLineColor[top ? 1 : 0]; }
    void SetContourLineColorInContourPlot(int top, COLORREF c) { m_s.surface.projectionLineColor[top ? 1 : 0] = c; }
    double GetContourLineWidthInContourPlot(int top) const { return m_s.surface.projectionLineWidth[top ? 1 : 0]; }
    void SetContourLineWidthInContourPlot(int top, double w) { if (w >= 0) m_s.surface.projectionLineWidth[top ? 1 : 0] = w; }
    BOOL IsDrawSideWalls() const { return m_s.surface.sideWalls; }
    void SetDrawSideWalls(BOOL on) { m_s.surface.sideWalls = on != FALSE; }
    COLORREF GetSideWallXColor() const { return m_s.surface.sideWallX; }
    void SetSideWallXColor(COLORREF c) { m_s.surface.sideWallX = c; }
    COLORREF GetSideWallYColor() const { return m_s.surface.sideWallY; }
    void SetSideWallYColor(COLORREF c) { m_s.surface.sideWallY = c; }
    int GetShowGrid() const { return m_s.surface.showGrid; }
    void SetShowGrid(int grid) { if (grid >= 0 && grid <= 3) m_s.surface.showGrid = grid; }
    double GetGridLineWidth() const { return m_s.surface.gridWidth; }
    void SetGridLineWidth(double w) { if (w >= 0) m_s.surface.gridWidth = w; }
    // The colours that may stand for the plot's own colour answer the colour drawn.
    COLORREF GetGridColor() const;
    void SetGridColor(COLORREF c) { m_s.surface.gridColor = c; }
    BOOL IsWFGridStyleSingle() const { return m_s.surface.wireSingle; }
    void SetWFGridStyleSingle(BOOL on) { m_s.surface.wireSingle = on != FALSE; }
    int GetNumSecondaryGridLines() const { return m_s.surface.secondaryGridLines; }
    void SetNumSecondaryGridLines(int n) { if (n >= 0) m_s.surface.secondaryGridLines = n; }
    COLORREF GetSecondColor() const { return m_s.surface.secondColor; }
    void SetSecondColor(COLORREF c) { m_s.surface.secondColor = c; }
    BOOL IsGridColoredByColormap() const { return m_s.surface.gridByColorMap; }
    void SetGridColoredByColormap(BOOL on) { m_s.surface.gridByColorMap = on != FALSE; }
    COLORREF GetSurfaceFillColor() const;
    void SetSurfaceFillColor(COLORREF c) { m_s.surface.surfaceFillColor = c; }
    BOOL IsBackColorEnabled() const { return m_s.surface.backColorEnabled; }
    void SetBackColorEnabled(BOOL on) { m_s.surface.backColorEnabled = on != FALSE; }
    COLORREF GetBackColor() const { return m_s.surface.backColor; }
    void SetBackColor(COLORREF c) { m_s.surface.backColor = c; }
    COLORREF GetBarEdgeColor() const { return m_s.surface.barEdgeColor; }
    void SetBarEdgeColor(COLORREF c) { m_s.surface.barEdgeColor = c; }
    double GetBarEdgeLineWidth() const { return m_s.surface.barEdgeWidth; }
    void SetBarEdgeLineWidth(double w) { if (w >= 0) m_s.surface.barEdgeWidth = w; }
    COLORREF GetFirstRowColor() const;
    void SetFirstRowColor(COLORREF c) { m_s.surface.firstRowColor = c; }
    BOOL IsSameFillColor() const { return m_s.surface.sameFillColor; }
    void SetSameFillColor(BOOL on) { m_s.surface.sameFillColor = on != FALSE; }
    // Bar widths from 1 to 100 percent; others are refused.
    double GetXBarWidthPercent() const { return m_s.surface.xBarWidth; }
    BOOL SetXBarWidthPercent(double percent);
    double GetYBarWidthPercent() const { return m_s.surface.yBarWidth; }
    BOOL SetYBarWidthPercent(double percent);
    int GetGroupingIndex() const { return m_s.surface.grouping; }
    void SetGroupingIndex(int index) { if (index >= 0 && index <= 2) m_s.surface.grouping = index; }
    int GetCurveType() const { return m_s.boxData.curveType; }
    // Box charts (see QKBoxState). Indexes outside their lists are refused (FALSE).
    int GetBoxType() const { return m_s.box.type; }
    BOOL SetBoxType(int type);
    int GetBoxRange() const { return m_s.box.boxRange; }
    BOOL SetBoxRange(int range);
    double GetBoxCoef() const { return m_s.box.boxCoef; }
    void SetBoxCoef(double coef) { m_s.box.boxCoef = coef; }
    double GetBoxCap() const { return m_s.box.boxCap; }
    void SetBoxCap(double percent) { m_s.box.boxCap = percent; }
    int GetWhiskerRange() const { return m_s.box.whiskerRange; }
    BOOL SetWhiskerRange(int range);
    double GetWhiskerCoef() const { return m_s.box.whiskerCoef; }
    void SetWhiskerCoef(double coef) { m_s.box.whiskerCoef = coef; }
    BOOL HasOutliers() const { return m_s.box.outliers; }
    void SetOutliers(BOOL on) { m_s.box.outliers = on != FALSE; }
    BOOL HasDiamondBox() const { return m_s.box.diamondBox; }
    void SetDiamondBox(BOOL on) { m_s.box.diamondBox = on != FALSE; }
    BOOL HasBoxLabel() const { return m_s.box.boxLabel; }
    void SetBoxLabel(BOOL on) { m_s.box.boxLabel = on != FALSE; }
    BOOL HasWhiskerLabel() const { return m_s.box.whiskerLabel; }
    void SetWhiskerLabel(BOOL on) { m_s.box.whiskerLabel = on != FALSE; }
    // What a box chart draws of its data (see QKBoxDataState). Types outside their lists
    // are refused (FALSE).
    const QKBoxDataState& GetBoxDataState() const { return m_s.boxData; }
    int GetDotPlotType() const { return m_s.boxData.dotType; }
    BOOL SetDotPlotType(int type);
    BOOL GetSingleBlock() const { return m_s.boxData.singleBlock; }
    void SetSingleBlock(BOOL on) { m_s.boxData.singleBlock = on != FALSE; }
    BOOL GetSnapData() const { return m_s.boxData.snapData; }
    void SetSnapData(BOOL on) { m_s.boxData.snapData = on != FALSE; }
    BOOL IsBinUserDef() const { return m_s.boxData.binUserDef; }
    void SetBinUserDef(BOOL on) { m_s.boxData.binUserDef = on != FALSE; }
    double GetBinSize() const { return m_s.boxData.binSize; }
    void SetBinSize(double size) { m_s.boxData.binSize = size; }
    double GetBinBegin() const { return m_s.boxData.binBegin; }
    void SetBinBegin(double v) { m_s.boxData.binBegin = v; }
    double GetBinEnd() const { return m_s.boxData.binEnd; }
    void SetBinEnd(double v) { m_s.boxData.binEnd = v; }
    // Bins that cover the data: a round size giving about ten bins, the ends on its multiples.
    double GetAutoBinSize() const;
    double GetAutoBinBegin() const;
    double GetAutoBinEnd() const;
    double GetBinHeight() const { return m_s.boxData.binHeight; }
    void SetBinHeight(double percent) { m_s.boxData.binHeight = percent; }
    BOOL SetCurveType(int type);
    double GetCurveScale() const { return m_s.boxData.curveScale; }
    void SetCurveScale(double percent) { m_s.boxData.curveScale = percent; }
    int GetBinAlign() const { return m_s.boxData.binAlign; }
    BOOL SetBinAlign(int align);
    // The percentile markers, by percentile number 1 to 5 (others are refused or answer
    // the mean's).
    BOOL SetSymbolStyle(int style, int percentile);
    int GetSymbolStyle(int percentile) const { return Perc(percentile).style; }
    BOOL SetSymbolType(int shape, int percentile);
    int GetSymbolType(int percentile) const { return Perc(percentile).shape; }
    BOOL SetSymbolFill(int fill, int percentile);
    int GetSymbolFill(int percentile) const { return Perc(percentile).fill; }
    void SetCharFont(int font, int percentile) { PercW(percentile).charFont = font; }
    int GetCharFont(int percentile) const { return Perc(percentile).charFont; }
    void SetCharStyle(int style, int percentile) { PercW(percentile).charStyle = style & 0x0B; }
    int GetCharStyle(int percentile) const { return Perc(percentile).charStyle; }
    int GetPercSymbolSize() const { return m_s.boxData.percSize; }
    // From 1 to 100 points.
    BOOL SetPercSymbolSize(int points);
    int GetSymbolColor() const { return m_s.boxData.symbolColor; }
    void SetSymbolColor(int color) { m_s.boxData.symbolColor = color; }
    int GetBoxSymbolFill() const { return m_s.boxData.symbolFill; }
    void SetBoxSymbolFill(int color) { m_s.boxData.symbolFill = color; }
    int GetBoxGap() const { return m_s.boxGap; }
    // The kernel keeps the spacing as whole percentages (nearest).
    void SetBoxGap(double percent) { m_s.boxGap = (int)(percent < 0 ? percent - 0.5 : percent + 0.5); }
    int GetGapWithinGroup() const { return m_s.gapWithinGroup; }
    void SetGapWithinGroup(double percent) { m_s.gapWithinGroup = (int)(percent < 0 ? percent - 0.5 : percent + 0.5); }
    int GetBarThickness() const { return m_s.barThickness; }
    void SetBarThickness(int percent) { m_s.barThickness = percent; }
    int GetNumOfObjectColumns() const { return m_s.objectColumns; }
    void SetNumOfObjectColumns(int n) { m_s.objectColumns = n; }
    // The label of the gap: between datasets, or between bars of one dataset.
    std::string GetTextForGapBetween() const;
    BOOL Is3DBar() const { return m_s.plotType == QK_PLOT_3D_BARS; }
    BOOL IsStackBarColumn() const { return m_s.plotType == QK_PLOT_STACK_COLUMN || m_s.plotType == QK_PLOT_STACK_BAR; }
    BOOL IsAreaPlot() const { return m_s.plotType == QK_PLOT_AREA; }
    BOOL IsFloatingColumnBarPlot() const { return m_s.plotType == QK_PLOT_FLOAT_COLUMN || m_s.plotType == QK_PLOT_FLOAT_BAR; }
    // Only bars drawn in 3D have a thickness.
    BOOL NeedBarThickness() const { return Is3DBar(); }
    int GetNumberOfPattern() const { return m_s.numPatterns; }
    void SetNumberOfPattern(int count) { m_s.numPatterns = count; }

    // Pattern, by instance (0 to 2; others count as 0).
    int GetBorderColor(int instance) const { return Pattern(instance).borderColor; }
    void SetBorderColor(int color, int instance) { Pattern(instance).borderColor = color; }
    int GetBorderType(int instance) const { return Pattern(instance).borderType; }
    void SetBorderType(int type, int instance) { Pattern(instance).borderType = type; }
    double GetBorderWidth(int instance) const { return Pattern(instance).borderWidth; }
    void SetBorderWidth(double width, int instance) { Pattern(instance).borderWidth = width; }
    int GetBKColor(int instance) const { return Pattern(instance).bkColor; }
    void SetBKColor(int color, int instance) { Pattern(instance).bkColor = color; }
    int GetFillPattern(int instance) const { return Pattern(instance).fillPattern; }
    void SetFillPattern(int pattern, int instance) { Pattern(instance).fillPattern = pattern; }
    int GetBarFillColor(int instance) const { return Pattern(instance).barFillColor; }
    void SetBarFillColor(int color, int instance) { Pattern(instance).barFillColor = color; }
    double GetFillWidth(int instance) const { return Pattern(instance).fillWidth; }
    void SetFillWidth(double width, int instance) { Pattern(instance).fillWidth = width; }
    int GetPatternType(int instance) const { return Pattern(instance).patternType; }
    void SetPatternType(int type, int instance) { Pattern(instance).patternType = type; }
    BOOL Has3DFrame() const { return m_s.frame3D; }
    void Set3DFrame(BOOL on) { m_s.frame3D = on != FALSE; }
    // Draws one bar of the plot as the instance fills it, inside the rectangle.
    void DrawBarPreview(HDC dc, const RECT& rect, int instance) const;
    // Draws the plot's symbol centred in the square, the square's half side its size.
    void DrawSymbolPreview(HDC dc, const RECT& square) const;
    // Draws the plot's legend sample (line, symbol or filled box) inside the rectangle.
    void DrawLegendPreview(HDC dc, const RECT& box) const;

    // The tab a dialog showed last (kind + 256 x instance); the argument is reserved.
    int GetActiveTabID(int reserved) const { return m_s.activeTabID; }
    void SetActiveTabID(int id) { m_s.activeTabID = id; }

    // Groups: plots of one group share a number; the first is its begin.
    void SetGroup(int group, BOOL begin) { m_s.group = group; m_s.groupBegin = begin != FALSE; }
    BOOL IsGroupBegin() const { return m_s.group != 0 && m_s.groupBegin; }
    BOOL IsGroupMember() const { return m_s.group != 0 && !m_s.groupBegin; }
    BOOL IsInTheSameGroup(const CQKPlotObj* other) const;
    BOOL IsIndependence() const { return m_s.independent; }
    void SetIndependence(BOOL independent)
    {
        m_s.independent = independent != FALSE;
        m_groupEdited = true;
    }
    // How many plots of the layer are in this plot's group (0 when in none).
    int GetNumOfPlotsInGroup() const;
    // Group increments. An option names a property that, in a dependent group, steps from
    // member to member (checked) or stays the head's (unchecked): colour, then line style
    // when the plot draws a line, symbol shape and interior when it draws symbols, fill
    // pattern and fill colour when it fills. Options run from 0 over what the plot offers;
    // GetEnumTitle is FALSE past them. Bit n of groupEnum keeps property n of that list
    // of six, so a choice survives a change of plot type.
    BOOL GetEnumTitle(std::string& title, int option) const;
    BOOL IsEnumerate(int option) const;
    void SetEnumerate(BOOL on, int option);
    // 0 not offered, 1 offered but following its parent option (GetAutoParentIndex; -1
    // none), 2 the user's choice. `text` gets a title that replaces the option's; "" none.
    int GetEnumState(int option, std::string& text) const;
    int GetAutoParentIndex(int option) const;
    // A new working copy (the caller's) of the index-th plot of this plot's group, from 0
    // (the head), looking as this plot's group settings make it; null past the group.
    CQKPlotObj* GetPlotObjInGroupByIndexFromHead(int index) const;
    // The number of group members found in the layer for the count the caller holds.
    int ProcessGroupMembers(int count) const;

    // Line.
    int GetConnectType() const { return m_s.connectType; }
    void SetConnectType(int type) { m_s.connectType = type; }
    BOOL IsSymbolsConnected() const { return m_s.symbolsConnected; }
    void SetSymbolsConnected(BOOL on) { m_s.symbolsConnected = on != FALSE; }
    BOOL HasAreaFilled() const { return m_s.areaFilled; }
    void SetAreaFilled(BOOL on) { m_s.areaFilled = on != FALSE; }
    int GetFillAreaMultipleRegionMode() const { return m_s.fillAreaMode; }
    void SetFillAreaMultipleRegionMode(int mode) { m_s.fillAreaMode = mode; }
    BOOL IsLineSymbolGap(int reserved) const { return m_s.lineSymbolGap; }
    void SetLineSymbolGap(BOOL on) { m_s.lineSymbolGap = on != FALSE; }
    BOOL IsLineInFrontSymbol(int reserved) const { return m_s.lineInFront; }
    void SetLineInFrontSymbol(BOOL on) { m_s.lineInFront = on != FALSE; }

    // Symbols (see QKSymbolState). Out-of-range shapes, interiors, sizes and thicknesses
    // are refused (FALSE) and change nothing.
    const QKSymbolState& GetSymbolState() const { return m_s.symbol; }
    int GetSymbolStyle() const { return m_s.symbol.style; }
    BOOL SetSymbolStyle(int style);
    int GetSymbolType() const { return m_s.symbol.shape; }
    BOOL SetSymbolType(int shape);
    int GetSymbolFill() const { return m_s.symbol.fill; }
    BOOL SetSymbolFill(int fill);
    double GetSymbolSize() const { return m_s.symbol.size; }
    int GetSymbolSizeColumn() const { return m_s.symbol.sizeColumn; }
    BOOL SetSymbolSize(double points, int column = 0);
    double GetScalingFactor() const { return m_s.symbol.scalingFactor; }
    BOOL SetScalingFactor(double factor);
    int GetSymbolThickness() const { return m_s.symbol.thickness; }
    BOOL SetSymbolThickness(int percent);
    int GetEdgeColor() const { return m_s.symbol.edgeColor; }
    void SetEdgeColor(int color) { m_s.symbol.edgeColor = color; }
    int GetFillColor() const { return m_s.symbol.fillColor; }
    void SetFillColor(int color) { m_s.symbol.fillColor = color; }
    BOOL HasSymbolOutline() const { return m_s.symbol.outline; }
    void SetSymbolOutline(BOOL on) { m_s.symbol.outline = on != FALSE; }
    int GetCharFont() const { return m_s.symbol.charFont; }
    void SetCharFont(int font) { m_s.symbol.charFont = font; }
    int GetCharStyle() const { return m_s.symbol.charStyle; }
    void SetCharStyle(int style) { m_s.symbol.charStyle = style & 0x0B; }
    // With 1: whether the plot can offset overlapped points at all (scatter kinds); with
    // 0: whether it does.
    BOOL IsOffsetOverlappedSymbols(int ask) const;
    void SetOffsetOverlappedSymbols(BOOL on) { m_s.symbol.offsetOverlapped = on != FALSE; }
    // The colour the plot draws with when its colour is automatic (-9): by its place
    // in the layer, so plots of one layer differ. The argument names the colour kind.
    int GetActualColorForAutoColor(int kind) const;

    // Drop lines (see QKDropLineState). The type's bits: 1 vertical, 2 horizontal, 4 Z.
    const QKDropLineState& GetDropLineState() const { return m_s.drop; }
    int GetDropLineType() const { return m_s.drop.type; }
    void SetDropLineType(int type) { m_s.drop.type = type & 7; }
    double GetVertLineWidth() const { return m_s.drop.vertWidth; }
    void SetVertLineWidth(double w) { if (w >= 0) m_s.drop.vertWidth = w; }
    int GetVertLineType() const { return m_s.drop.vertType; }
    void SetVertLineType(int t) { m_s.drop.vertType = t; }
    int GetVertLineColor() const { return m_s.drop.vertColor; }
    void SetVertLineColor(int c) { m_s.drop.vertColor = c; }
    double GetHoriLineWidth() const { return m_s.drop.horiWidth; }
    void SetHoriLineWidth(double w) { if (w >= 0) m_s.drop.horiWidth = w; }
    int GetHoriLineType() const { return m_s.drop.horiType; }
    void SetHoriLineType(int t) { m_s.drop.horiType = t; }
    int GetHoriLineColor() const { return m_s.drop.horiColor; }
    void SetHoriLineColor(int c) { m_s.drop.horiColor = c; }
    double GetZLineWidth() const { return m_s.drop.zWidth; }
    void SetZLineWidth(double w) { if (w >= 0) m_s.drop.zWidth = w; }
    int GetZLineType() const { return m_s.drop.zType; }
    void SetZLineType(int t) { m_s.drop.zType = t; }
    int GetZLineColor() const { return m_s.drop.zColor; }
    void SetZLineColor(int c) { m_s.drop.zColor = c; }
    BOOL IsSkipPlottingSymbols() const { return m_s.drop.skip; }
    void SetSkipPlottingSymbols(BOOL on) { m_s.drop.skip = on != FALSE; }
    int GetSkipFrequency() const { return m_s.drop.skipFrequency; }
    // A frequency below 1 is refused.
    BOOL SetSkipFrequency(int n);
    // Triangular (ternary) frames are not built: no plot has one.
    BOOL HasTriangularFrame() const { return FALSE; }

    // Labels of a plot that draws text (see QKLabelState).
    const QKLabelState& GetLabelState() const { return m_s.label; }
    int GetFontType() const { return m_s.label.font; }
    void SetFontType(int font) { m_s.label.font = font; }
    int GetTextColor() const { return m_s.label.color; }
    void SetTextColor(int color) { m_s.label.color = color; }
    int GetFontSize() const { return m_s.label.size; }
    // Sizes from 1 to 500 points; others are refused.
    BOOL SetFontSize(int points);
    int GetTextJustification() const { return m_s.label.justify; }
    void SetTextJustification(int j) { m_s.label.justify = j; }
    int GetTextAttachment() const { return m_s.label.attachment; }
    void SetTextAttachment(int a) { m_s.label.attachment = a; }
    double GetTextRotation() const { return m_s.label.rotation; }
    void SetTextRotation(double degrees) { m_s.label.rotation = degrees; }
    double GetTextXOffset() const { return m_s.label.xOffset; }
    void SetTextXOffset(double points) { m_s.label.xOffset = points; }
    double GetTextYOffset() const { return m_s.label.yOffset; }
    void SetTextYOffset(double points) { m_s.label.yOffset = points; }
    int GetFontStyle() const { return m_s.label.style; }
    void SetFontStyle(int style) { m_s.label.style = style & 0x0B; }
    BOOL IsWhiteOut() const { return m_s.label.whiteOut; }
    void SetWhiteOut(BOOL on) { m_s.label.whiteOut = on != FALSE; }

    // Vectors: 0 directional (X, Y, angle, magnitude), 1 flow (X, Y to X end, Y end);
    // -1 for plots that draw none. Colour and width are the plot's.
    int GetVectorType() const;
    const QKVectorState& GetVectorState() const { return m_s.vector; }
    int GetVectorColor() const { return m_s.color; }
    void SetVectorColor(int color) { m_s.color = color; }
    double GetVectorWidth() const { return m_s.lineWidth; }
    void SetVectorWidth(double width) { if (width >= 0) m_s.lineWidth = width; }
    int GetArrowLength() const { return m_s.vector.arrowLength; }
    void SetArrowLength(int points) { if (points >= 0) m_s.vector.arrowLength = points; }
    int GetArrowAngle() const { return m_s.vector.arrowAngle; }
    void SetArrowAngle(int degrees) { if (degrees >= 0 && degrees <= 180) m_s.vector.arrowAngle = degrees; }
    BOOL IsArrowHeadClose() const { return m_s.vector.arrowClosed; }
    void SetArrowHeadClose(BOOL closed) { m_s.vector.arrowClosed = closed != FALSE; }
    int GetPositionIndex() const { return m_s.vector.position; }
    void SetPositionIndex(int p) { if (p >= 0 && p <= 2) m_s.vector.position = p; }
    // A source of vector values: 100 + n for the worksheet's column n (from 0) of the
    // plot's worksheet, else a constant (angle and magnitude) or -1 (no end column).
    // Setting a column binds its role to that column; a constant drops the role.
    double GetAngle() const;
    BOOL SetAngle(double value);
    double GetMagnitude() const;
    BOOL SetMagnitude(double value, int isColumn);
    int GetXEnd() const;
    BOOL SetXEnd(int value);
    int GetYEnd() const;
    BOOL SetYEnd(int value);

    // Pie (see QKPieState).
    const QKPieState& GetPieState() const { return m_s.pie; }
    BOOL GetLabelRewrite() const { return m_s.pie.labelRewrite; }
    void SetLabelRewrite(BOOL on) { m_s.pie.labelRewrite = on != FALSE; }
    BOOL GetLabelValue() const { return m_s.pie.labelValue; }
    void SetLabelValue(BOOL on) { m_s.pie.labelValue = on != FALSE; }
    BOOL GetLabelPercent() const { return m_s.pie.labelPercent; }
    void SetLabelPercent(BOOL on) { m_s.pie.labelPercent = on != FALSE; }
    BOOL GetLabelCategory() const { return m_s.pie.labelCategory; }
    void SetLabelCategory(BOOL on) { m_s.pie.labelCategory = on != FALSE; }
    BOOL GetLabelReposition() const { return m_s.pie.labelReposition; }
    void SetLabelReposition(BOOL on) { m_s.pie.labelReposition = on != FALSE; }
    double GetLabelDistance() const { return m_s.pie.labelDistance; }
    void SetLabelDistance(double percent) { m_s.pie.labelDistance = percent; }
    BOOL GetLabelHide() const { return m_s.pie.labelHide; }
    void SetLabelHide(BOOL on) { m_s.pie.labelHide = on != FALSE; }
    BOOL GetLabelDrawArrow() const { return m_s.pie.labelDrawArrow; }
    void SetLabelDrawArrow(BOOL on) { m_s.pie.labelDrawArrow = on != FALSE; }
    // The setters below refuse values outside the ranges the Pie Geometry page allows.
    double GetAngle3D() const { return m_s.pie.viewAngle; }
    BOOL SetAngle3D(double degrees);
    double GetSkirtHeight() const { return m_s.pie.skirtHeight; }
    BOOL SetSkirtHeight(double fraction);
    double GetAzimuthAngle() const { return m_s.pie.azimuth; }
    BOOL SetAzimuthAngle(double degrees);
    BOOL GetCounterClockwise() const { return m_s.pie.counterClockwise; }
    void SetCounterClockwise(BOOL on) { m_s.pie.counterClockwise = on != FALSE; }
    double GetRadiusScale() const { return m_s.pie.radiusScale; }
    BOOL SetRadiusScale(double percent);
    double GetHorizontalOffset() const { return m_s.pie.horizontalOffset; }
    BOOL SetHorizontalOffset(double percent);
    unsigned GetExplodedWedges() const { return m_s.pie.explodedWedges; }
    void SetExplodedWedges(unsigned mask) { m_s.pie.explodedWedges = mask; }
    double GetWedgeDisplacement() const { return m_s.pie.wedgeDisplacement; }
    BOOL SetWedgeDisplacement(double percent);
    // The rows the pie draws (first, end), a wedge's value (the missing value when there
    // is none) and its category text (the X column's cell, else the row number).
    void GetStartAndFinishFromObjPtr(int& first, int& end) const;
    double GetWedgeValueFromObjPtr(int row) const;
    BOOL GetLegendByRow(int row, std::string& text) const;

    // Function plots (see QKFunctionState).
    std::string GetFunctionName() const { return m_s.function.name; }
    void SetFunctionName(const std::string& name) { m_s.function.name = name; }
    std::string GetFunctionToSeries() const { return m_s.function.formula; }
    void SetFunctionToSeries(const std::string& formula) { m_s.function.formula = formula; }
    double GetFunctionDensity() const { return m_s.function.density; }
    // From 2 to 1,000,000 points; others are refused.
    BOOL SetFunctionDensity(double points);
    BOOL GetFunctionShow() const { return m_s.function.show; }
    void SetFunctionShow(BOOL on) { m_s.function.show = on != FALSE; }

protected:
    // A copy of the object's own class; subclasses with state of their own override it.
    virtual CQKPlotObj* Clone() const;
    // The state of the object's own class, from a working copy of the same class.
    virtual void TakeKindState(const CQKPlotObj&) {}
    QKPatternState& Pattern(int instance) { return m_s.pattern[instance >= 0 && instance < 3 ? instance : 0]; }
    const QKPatternState& Pattern(int instance) const
    {
        return m_s.pattern[instance >= 0 && instance < 3 ? instance : 0];
    }

    QKPercentileSymbol& PercW(int percentile) { return m_s.boxData.perc[percentile >= 1 && percentile <= 5 ? percentile - 1 : 2]; }
    const QKPercentileSymbol& Perc(int percentile) const
    {
        return m_s.boxData.perc[percentile >= 1 && percentile <= 5 ? percentile - 1 : 2];
    }
    // The plots of this plot's group in layer order, the head first (originals).
    std::vector<CQKPlotObj*> GroupPlots() const;
    // Gives a member the group's settings and, in a dependent group, the head's look
    // stepped by the checked options for its place k in the group.
    static void TakeGroupLook(const CQKPlotObj& head, CQKPlotObj& member, int k);
    // After a commit: the group's settings and looks follow what was committed.
    void SpreadGroup(bool groupEdited);

    QKPartLook OwnLook() const;

    QKPlotState m_s;
    CQKPlotObj* m_original = nullptr;
    bool m_modified = false;
    bool m_groupEdited = false; // a working copy whose group settings were set
    int m_subIndex = -1;                  // the 3D scatter part this object stands for
    int m_pointRow = -1;                  // the row of the special point it stands for
    CQKPlotObj* m_subParent = nullptr;    // the plot the part came from
    std::vector<CQKPlotObj*> m_subParts;  // parts handed out, while they live
};

// A plotted object drawn from a dataset, which it names by handle.
class QK_API CQKDataObj : public CQKPlotObj {
    friend struct QKFileAccess; // the project file's reader and writer
public:
    void SetData(INT_PTR dataset) { m_dataset = dataset; }
    // The dataset, null when it no longer exists.
    CQKDataset* GetData() const;
    // Whether the dataset lies outside the project's worksheets (a free dataset).
    BOOL IsDatasetExternal() const;
    // Activates the worksheet of the dataset; recorded. false when there is none.
    BOOL OpenWorksheet();
    INT_PTR GetDataHandle() const { return m_dataset; }

protected:
    CQKPlotObj* Clone() const override;

private:
    INT_PTR m_dataset = 0;
};

// Error bars of a plot.
class QK_API CQKErrorBar : public CQKDataObj {
    friend struct QKFileAccess; // the project file's reader and writer
public:
    BOOL IsOwnerColor() const { return m_ownerColor; }
    void EnableOwnerColor(BOOL enable) { m_ownerColor = enable != FALSE; }
    double GetLineWidth() const { return m_lineWidth; }
    void SetLineWidth(double width) { m_lineWidth = width; }
    double GetCapWidth() const { return m_capWidth; }
    void SetCapWidth(double width) { m_capWidth = width; }
    BOOL IsThroughSymbol() const { return m_throughSymbol; }
    void EnableThroughSymbol(BOOL enable) { m_throughSymbol = enable != FALSE; }
    BOOL IsDirectionPlus() const { return m_plus; }
    void EnableDirectionPlus(BOOL enable) { m_plus = enable != FALSE; }
    BOOL IsDirectionMinus() const { return m_minus; }
    void EnableDirectionMinus(BOOL enable) { m_minus = enable != FALSE; }
    BOOL IsDirectionX() const { return m_x; }
    void EnableDirectionX(BOOL enable) { m_x = enable != FALSE; }
    BOOL IsDirectionRelative() const { return m_relative; }
    void EnableDirectionRelative(BOOL enable) { m_relative = enable != FALSE; }

    // Bars made before version 6.0 take their cap width as the width of each half of the
    // cap; later ones as the whole cap's.
    BOOL IsMadeBefore60() const { return m_before60; }
    void SetMadeBefore60(BOOL before) { m_before60 = before != FALSE; }
    // -9 the colour of the plot the bars belong to, else a colour index.
    int GetErrorBarColor() const { return m_ownerColor ? -9 : GetColor(); }
    void SetErrorBarColor(int color);
    // When set on a working copy, its update gives these settings to every error bar of
    // the original's layer.
    BOOL IsApplyToAll() const { return m_applyToAll; }
    void EnableApplyToAll(BOOL enable) { m_applyToAll = enable != FALSE; }
    // The plot whose Y values the bars belong to; null when it is not in the layer.
    CQKPlotObj* GetParentPlotObj() const;

    // Brings the drawn bars up to date with the properties; recorded.
    void UpdateData();
    // Gives these settings to every error bar of the layer; recorded.
    BOOL ApplyToAll();

    // The error bar's dialog; a plain error bar has none (the user interface's has).
    virtual int DoDialog(CWnd* parent, int startPage, UINT flags);
    void DumpState(CQKStateDump& dump) const override;

protected:
    CQKPlotObj* Clone() const override;

private:
    bool m_ownerColor = true;
    double m_lineWidth = 0.5;
    double m_capWidth = 8;
    bool m_throughSymbol = false;
    bool m_plus = true, m_minus = true, m_x = false, m_relative = false;
    bool m_applyToAll = false;
    bool m_before60 = false;

    void TakeKindState(const CQKPlotObj& from) override;
};

// A plotted object drawn with a line: its line type and width (points).
class QK_API CQKLineSymbolPlotObj : public CQKPlotObj {
};

// A plotted object made of text: font index, size in points, rotation in degrees.
class QK_API CQKTextPlotObj : public CQKPlotObj {
    friend struct QKFileAccess; // the project file's reader and writer
public:
    int GetFontType() const { return m_font; }
    void SetFontType(int font) { m_font = font; }
    int GetFontSize() const { return m_size; }
    void SetFontSize(int size) { m_size = size; }
    double GetTextRotation() const { return m_rotation; }
    void SetTextRotation(double degrees) { m_rotation = degrees; }

protected:
    int m_font = 0;
    int m_size = 22;
    double m_rotation = 0;
};

// Axis type words: one bit for the dimension, 0x80 for the second axis of the pair
// (top, right or back).
enum {
    QK_AXIS_Z = 0x01,
    QK_AXIS_X = 0x02,
    QK_AXIS_Y = 0x04,
    QK_AXIS_SECOND = 0x80,
};

// The grid lines of one dimension (major or minor).
class QK_API CQKAxisGridsObj : public CQKLineSymbolPlotObj {
public:
    CQKAxisGridsObj() { m_s.show = false; }
};

// One side's axis line with its ticks and title.
class QK_API CQKAxisTicksObj : public CQKLineSymbolPlotObj {
    friend struct QKFileAccess; // the project file's reader and writer
public:
    int GetAxisType() const { return m_axisType; }
    void SetAxisType(int type) { m_axisType = type; }
    const std::string& GetTitle() const { return m_title; }
    void SetTitle(const std::string& title) { m_title = title; }
    // Tenths of a point.
    int GetTickLength() const { return m_tickLength; }
    void SetTickLength(int length) { m_tickLength = length; }
    int GetMajorTickType() const { return m_majorTicks; }
    void SetMajorTickType(int type) { m_majorTicks = type; }
    int GetMinorTickType() const { return m_minorTicks; }
    void SetMinorTickType(int type) { m_minorTicks = type; }
    // 0 at the layer's edge, 1 a percentage from it, 2 at an axis value.
    int GetPosition() const { return m_position; }
    void SetPosition(int position) { m_position = position; }
    const std::string& GetPositionValue() const { return m_positionValue; }
    void SetPositionValue(const std::string& value) { m_positionValue = value; }
    BOOL IsLabelNextAxis() const { return m_labelNextAxis; }
    void SetLabelNextAxis(BOOL next) { m_labelNextAxis = next != FALSE; }

private:
    int m_axisType = QK_AXIS_X;
    std::string m_title;
    int m_tickLength = 80;
    int m_majorTicks = 2, m_minorTicks = 2;
    int m_position = 0;
    std::string m_positionValue;
    bool m_labelNextAxis = true;
};

// Special tick labels at the ends of an axis and at one value: 0 auto, 1 hide, 2 show,
// 3 manual (the label text).
struct QKSpecialTick {
    int type = 0;
    std::string label;
};

// One side's tick labels.
class QK_API CQKAxisLabelsObj : public CQKTextPlotObj {
    friend struct QKFileAccess; // the project file's reader and writer
public:
    // 0 numeric, 1 text from dataset, 2 time, 3 date, 4 month, 5 day of week,
    // 6 column headings, 7 tick-indexed dataset.
    int GetLabelType() const { return m_labelType; }
    void SetLabelType(int type) { m_labelType = type; }
    const std::string& GetDataSetName() const { return m_dataset; }
    void SetDataSetName(const std::string& name) { m_dataset = name; }
    // The project's datasets, separated by blanks.
    std::string GetDataSetList() const;
    int GetFormatType() const { return m_format; }
    void SetFormatType(int format) { m_format = format; }
    double GetFactor() const { return m_factor; }
    void SetFactor(double factor) { m_factor = factor; }
    BOOL IsAxisManualDec() const { return m_manualDec; }
    void SetAxisManualDec(BOOL manual) { m_manualDec = manual != FALSE; }
    int GetDecDigits() const { return m_decDigits; }
    void SetDecDigits(int digits) { m_decDigits = digits; }
    const std::string& GetPrefixName() const { return m_prefix; }
    void SetPrefixName(const std::string& text) { m_prefix = text; }
    const std::string& GetSuffixName() const { return m_suffix; }
    void SetSuffixName(const std::string& text) { m_suffix = text; }
    BOOL IsLabelBold() const { return m_bold; }
    void SetLabelBold(BOOL bold) { m_bold = bold != FALSE; }
    // The colour the labels take when theirs is automatic.
    int GetAutomaticLineQCOLORForDrawing() const { return 0; }

    int GetLabelAlignment() const { return m_alignment; }
    void SetLabelAlignment(int alignment) { m_alignment = alignment; }
    double GetHorizontalOffset() const { return m_hOffset; }
    double GetVerticalOffset() const { return m_vOffset; }
    void SetHVOffset(double horizontal, double vertical) { m_hOffset = horizontal; m_vOffset = vertical; }
    int GetManuBeginType() const { return m_begin.type; }
    void SetManuBeginType(int type) { m_begin.type = type; }
    const std::string& GetManuBeginLabel() const { return m_begin.label; }
    void SetManuBeginLabel(const std::string& label) { m_begin.label = label; }
    int GetManuEndType() const { return m_end.type; }
    void SetManuEndType(int type) { m_end.type = type; }
    const std::string& GetManuEndLabel() const { return m_end.label; }
    void SetManuEndLabel(const std::string& label) { m_end.label = label; }
    int GetManuSpecialType() const { return m_special.type; }
    void SetManuSpecialType(int type) { m_special.type = type; }
    const std::string& GetManuSpecialLabel() const { return m_special.label; }
    void SetManuSpecialLabel(const std::string& label) { m_special.label = label; }
    double GetManuSpecialPosition() const { return m_specialPosition; }
    void SetManuSpecialPosition(double value) { m_specialPosition = value; }
    // Makes the special ticks as now set the ones the axis draws. Recorded.
    void SetSpecialTicksPtr();

    // Resets the minor-label settings before they are set anew. Recorded.
    void INIMinorTickSetting();
    BOOL IsMinorLabel() const { return m_minorLabel; }
    void SetMinorLabel(BOOL on) { m_minorLabel = on != FALSE; }
    BOOL IsMinorONMajorLabel() const { return m_minorOnMajor; }
    void SetMinorONMajorLabel(BOOL on) { m_minorOnMajor = on != FALSE; }
    int GetMajorTickOffset() const { return m_majorOffset; }
    void SetMajorTickOffset(int percent) { m_majorOffset = percent; }
    BOOL IsShowPlusSigns() const { return m_plus; }
    void SetShowPlusSigns(BOOL on) { m_plus = on != FALSE; }
    BOOL IsShowMinusSigns() const { return m_minus; }
    void SetShowMinusSigns(BOOL on) { m_minus = on != FALSE; }
    BOOL IsAxisShowBox() const { return m_box; }
    void SetAxisShowBox(BOOL on) { m_box = on != FALSE; }

private:
    int m_labelType = 0;
    std::string m_dataset;
    int m_format = 0;
    double m_factor = 0;
    bool m_manualDec = false;
    int m_decDigits = 0;
    std::string m_prefix, m_suffix;
    bool m_bold = false;
    int m_alignment = 0;
    double m_hOffset = 0, m_vOffset = 0;
    QKSpecialTick m_begin, m_end, m_special;
    double m_specialPosition = 0;
    bool m_minorLabel = false, m_minorOnMajor = false;
    int m_majorOffset = 0;
    bool m_plus = false, m_minus = true, m_box = false;
};

// A break in an axis: the region left out, where it lies and the scale on both sides.
class QK_API CQKAxisBreak {
    friend struct QKFileAccess; // the project file's reader and writer
public:
    BOOL IsEnable() const { return m_enable; }
    void SetEnable(BOOL enable) { m_enable = enable != FALSE; }
    const std::string& GetRegionFrom() const { return m_from; }
    void SetRegionFrom(const std::string& value) { m_from = value; }
    const std::string& GetRegionTo() const { return m_to; }
    void SetRegionTo(const std::string& value) { m_to = value; }
    int GetPosition() const { return m_position; } // percent of the axis length
    void SetPosition(int percent) { m_position = percent; }
    BOOL IsLogScaleAfter() const { return m_logAfter; }
    void SetLogScaleAfter(BOOL log) { m_logAfter = log != FALSE; }
    const std::string& GetScaleIncBefore() const { return m_incBefore; }
    void SetScaleIncBefore(const std::string& value) { m_incBefore = value; }
    const std::string& GetScaleIncAfter() const { return m_incAfter; }
    void SetScaleIncAfter(const std::string& value) { m_incAfter = value; }
    int GetNumTicksBefore() const { return m_ticksBefore; }
    void SetNumTicksBefore(int n) { m_ticksBefore = n; }
    int GetNumTicksAfter() const { return m_ticksAfter; }
    void SetNumTicksAfter(int n) { m_ticksAfter = n; }

private:
    bool m_enable = false;
    std::string m_from = "4", m_to = "6";
    int m_position = 50;
    bool m_logAfter = false;
    std::string m_incBefore = "2", m_incAfter = "2";
    int m_ticksBefore = 1, m_ticksAfter = 1;
};

// Everything of one dimension of a layer: the scale, the break, the grids and the two
// sides with their lines, ticks and labels.
struct QKAxisRecord {
    std::string from = "0", to = "10", inc = "2", firstTick;
    int type = 0;    // 0 linear, 1 log10, 2 probability, 3 probit, 4 reciprocal,
                     // 5 offset reciprocal, 6 logit, 7 ln, 8 log2
    int rescale = 0; // 0 manual, 1 normal, 2 auto, 3 fixed from, 4 fixed to
    bool useMajor = false;
    int major = 6, minorTicks = 1;
    bool opposite = false, center = false;
    CQKAxisBreak axisBreak;
    CQKAxisGridsObj majorGrid, minorGrid;
    CQKAxisTicksObj ticks[2];
    CQKAxisLabelsObj labels[2];
};

class CQKGraphicLayer;

// The axes of one dimension of a layer, as a dialog edits them. GetAxes binds the object
// to the layer's working copy of that dimension, which every axes object of the
// dimension shares; the layer's UpdateFromTemporary makes the working copies its own.
class QK_API CQKAxes : public CQKGrElement {
    friend struct QKFileAccess; // the project file's reader and writer
public:
    int GetAxesType() const { return m_type; }
    void GetDlgTitle(std::string& title) const;
    CQKAxisTicksObj* Get1stAxis() const { return &m_record->ticks[0]; }
    CQKAxisTicksObj* Get2ndAxis() const { return &m_record->ticks[1]; }
    CQKAxisLabelsObj* Get1stTickLabel() const { return &m_record->labels[0]; }
    CQKAxisLabelsObj* Get2ndTickLabel() const { return &m_record->labels[1]; }
    CQKAxisGridsObj* GetMajorGrid() const { return &m_record->majorGrid; }
    CQKAxisGridsObj* GetMinorGrid() const { return &m_record->minorGrid; }

    std::string GetRangeFrom() const { return m_record->from; }
    void SetRangeFrom(const std::string& v) { m_record->from = v; }
    std::string GetRangeTo() const { return m_record->to; }
    void SetRangeTo(const std::string& v) { m_record->to = v; }
    std::string GetRangeInc() const { return m_record->inc; }
    void SetRangeInc(const std::string& v) { m_record->inc = v; }
    int GetType() const { return m_record->type; }
    void SetType(int type) { m_record->type = type; }
    // Makes the range fit a scale type (a logarithmic scale needs a positive range);
    // TRUE when it changed the range.
    BOOL AdjustAxis(int type);
    int GetRescaleType() const { return m_record->rescale; }
    void SetRescaleType(int type) { m_record->rescale = type; }
    BOOL GetUseMajor() const { return m_record->useMajor; }
    void SetUseMajor(BOOL use) { m_record->useMajor = use != FALSE; }
    int GetMajor() const { return m_record->major; }
    void SetMajor(int n) { m_record->major = n; }
    int GetMinorTickNum() const { return m_record->minorTicks; }
    void SetMinorTickNum(int n) { m_record->minorTicks = n; }
    std::string Get1stTick() const { return m_record->firstTick; }
    void Set1stTick(const std::string& v) { m_record->firstTick = v; }
    BOOL IsOppositeLine() const { return m_record->opposite; }
    void SetOppositeLine(BOOL on) { m_record->opposite = on != FALSE; }
    BOOL IsCenterLine() const { return m_record->center; }
    void SetCenterLine(BOOL on) { m_record->center = on != FALSE; }
    void GetBreak(CQKAxisBreak& axisBreak, int reserved) const { axisBreak = m_record->axisBreak; }
    void SetBreak(const CQKAxisBreak& axisBreak, int reserved) { m_record->axisBreak = axisBreak; }

    // The axes' dialog; plain axes have none (the user interface's have).
    virtual int DoDialog(CWnd* parent, int startPage, UINT flags);
    void DumpState(CQKStateDump& dump) const override;

private:
    friend class CQKGraphicLayer;
    int m_type = QK_AXIS_X;
    QKAxisRecord* m_record = nullptr;
};

// A layer of a page, as the objects in it see it.
class QK_API CQKBaseLayer : public CQKBase {
public:
    explicit CQKBaseLayer(CQKPage* page) : m_page(page) {}
    ~CQKBaseLayer() override;
    BOOL IsBasePtrLayer() const override { return TRUE; }
    CQKPage* GetValidPagePtr() const { return m_page; }

private:
    CQKPage* m_page;
};

// A layer that owns the objects drawn in it.
class QK_API CQKLayer : public CQKBaseLayer {
    friend struct QKFileAccess; // the project file's reader and writer
public:
    explicit CQKLayer(CQKPage* page) : CQKBaseLayer(page) {}
    ~CQKLayer() override;

    // Takes the object over, attaches it and answers its id (1, 2, ...).
    int AddObject(CQKGrElement* object);
    // The same under a given id, as a file read back keeps them; FALSE (the object not
    // taken) when the id is not positive or taken.
    BOOL AddObjectAt(CQKGrElement* object, int id);
    CQKGrElement* GetObject(int id) const;
    int GetObjectCount() const { return (int)m_objects.size(); }
    // Removes the object from the layer and deletes it; its dataset stays.
    BOOL RemoveDataObj(int id);
    // Deletes the object and its dataset.
    BOOL DeleteDataObj(int id);
    // Moves the object, under a new id, to another layer; answers the new id, 0 when
    // there is no such object.
    int MoveObjectTo(int id, CQKLayer* to);
    // Deletes the plots whose main dataset this is (they cannot draw without it); other
    // plots drop it from their data.
    void RemovePlotsOf(INT_PTR dataset);
    // The text object of that name, null when there is none.
    CQKTextObj* FindTextObj(const std::string& name) const;
    // The ids of the layer's objects, in the order they were added.
    std::vector<int> GetObjectIds() const;
    // Gives the object the next id, so that it is drawn after every other; answers the
    // new id, 0 when there is no such object.
    int RaiseObject(int id);

    // The frame of the layer on the device and the world ranges it shows (y grows upward).
    void SetFrameArea(const RECT& frame, double xFrom, double xTo, double yFrom, double yTo);
    BOOL IsPtInFrameArea(POINT point) const;
    // A device point in world coordinates; FALSE while the frame is empty.
    BOOL LogicalToRealWorld(POINT point, double& x, double& y) const;
    // Drops the layer's drawing buffer so that the next paint draws anew. Recorded.
    void BufferCleanup();

    const std::string& GetName() const { return m_name; }
    void SetName(const std::string& name) { m_name = name; }
    // The plot objects among the layer's objects, in the order they were added. With
    // original 0 PlotObjByIndex answers a new working copy that the caller owns.
    int GetNumPlots() const;
    CQKPlotObj* PlotObjByIndex(int index, int original) const;
    // The index of the plot with this id, -1 when there is none.
    int GetPlotIndex(int id) const;

protected:
    // Where the plots live: a working copy of a layer reaches its original's.
    virtual const CQKLayer* PlotSource() const { return this; }
    std::string m_name;

private:
    RECT m_frame = {0, 0, 0, 0};
    double m_xFrom = 0, m_xTo = 1, m_yFrom = 0, m_yTo = 1;
    std::map<int, std::unique_ptr<CQKGrElement>> m_objects;
    int m_lastId = 0;
};

// A layer of a graph with axes. Each dimension (X, Y, Z) has a committed record and,
// while a dialog edits it, a working copy.
// What the Plot Details layer pages edit of a layer. Sizes are in the layer's units.
struct QKLayerState {
    bool bkgBorder = false;
    int bkgBorderStyle = 0;  // index in the border-style list
    bool bkgColor = false;
    int bkgColorValue = 17;  // colour index (white)
    int measUnits = 0;       // index in the units list (QK_UNITS_...)
    double measLeft = 15, measTop = 10, measWidth = 70, measHeight = 70;
    int bufferingType = 0;   // graphic image caching: 0 none, 1 raster, 2 vector (3D)
    bool matrixSkip = false;
    int matrixXPoints = 50, matrixYPoints = 50;
    bool wksSkip = false;
    int wksPoints = 3000;
    int axisDisplay = QK_AXIS_X | QK_AXIS_Y | QK_AXIS_Z;
    bool labelShown = true, dataShown = true;
    bool clipToFrame = true, dataOnTopAxes = false, gridOnTopData = false;
    int scaleWithLayer = 0;  // 0 with the layer frame, 1 by a fixed factor
    double scalingFactor = 1;
    int clipHorizPercent = 0, clipVertPercent = 0;
    int linkTo = -1;         // index of the layer this one is linked to, -1 none
    int xLink = 0, yLink = 0; // 0 none, 1 straight (1 to 1), 2 custom
    std::string x1 = "X1", x2 = "X2", y1 = "Y1", y2 = "Y2";
    // 3D layers (the rest of their view is the 3D library's view record).
    bool rotateLabels = false;   // tick labels turn with their axis
    bool perspective = true;     // false: parallel projection, whatever the angle
    int planeColor[3] = {18, 18, 18}; // XY, YZ, ZX planes: colour indexes (LT Gray)
    bool cubeOutline = false;    // the edges that meet at the front corner
    int cubeOutlineColor = 0;
    int cubeOutlineStyle = 0;    // index in the line-style list
    double cubeOutlineWidth = 0.5; // points
    // A waterfall: each plot drawn this percent of the frame right of and above the one
    // before it.
    double waterfallX = 0, waterfallY = 0;
    // 2D layers: X runs up the vertical and Y along the horizontal; X maps to angles in
    // degrees (counter-clockwise from the right) and Y to radii from the frame's centre.
    bool exchangeAxes = false;
    bool polar = false;
    // The plots of a group stand on one another: each point's Y adds to the Y values of
    // the group's plots before it at that row.
    bool stackPlots = false;
};

// Units of a layer's area, in the order of the units list.
enum {
    QK_UNITS_PAGE_PERCENT = 0,
    QK_UNITS_INCH = 1,
    QK_UNITS_CM = 2,
    QK_UNITS_MM = 3,
    QK_UNITS_PIXEL = 4,
    QK_UNITS_LINK_PERCENT = 5, // only while the layer is linked
};

class QK_API CQKGraphicLayer : public CQKLayer {
    friend struct QKFileAccess; // the project file's reader and writer
    friend class CQK3DLayer;
public:
    explicit CQKGraphicLayer(CQKPage* page, bool is3D = false, bool triangle = false);

    // A working copy of the layer's own settings (its objects stay the original's),
    // which the caller owns; UpdateFromTemporary gives the settings to the original.
    CQKGraphicLayer* CreateTemporary() const;
    BOOL IsTemporary() const { return m_original != nullptr; }
    CQKGraphicLayer* GetOriginal() const { return m_original; }
    const QKLayerState& GetState() const { return m_st; }

    // Background.
    BOOL IsBkgBorder() const { return m_st.bkgBorder; }
    void SetBkgBorder(BOOL on) { m_st.bkgBorder = on != FALSE; }
    int GetBkgBorderStyle() const { return m_st.bkgBorderStyle; }
    void SetBkgBorderStyle(int style) { m_st.bkgBorderStyle = style; }
    BOOL IsBkgColor() const { return m_st.bkgColor; }
    void SetBkgColor(BOOL on) { m_st.bkgColor = on != FALSE; }
    int GetBkgColorValue() const { return m_st.bkgColorValue; }
    void SetBkgColorValue(int color) { m_st.bkgColorValue = color; }

    // Size and speed.
    int GetMeasUnits() const { return m_st.measUnits; }
    void SetMeasUnits(int units) { m_st.measUnits = units; }
    double GetMeasLeft() const { return m_st.measLeft; }
    void SetMeasLeft(double v) { m_st.measLeft = v; }
    double GetMeasTop() const { return m_st.measTop; }
    void SetMeasTop(double v) { m_st.measTop = v; }
    double GetMeasWidth() const { return m_st.measWidth; }
    void SetMeasWidth(double v) { m_st.measWidth = v; }
    double GetMeasHeight() const { return m_st.measHeight; }
    void SetMeasHeight(double v) { m_st.measHeight = v; }
    // Converts width, height, left and top (in this order) from the layer's units (or
    // fromUnits, when not -1) to `units`, in place. The page is 10 x 7.5 inches at 96
    // pixels an inch.
    void ConvertDimensions(int units, double values[4], int fromUnits = -1) const;
    BOOL IsThereLinkedFrame() const { return m_st.linkTo >= 0; }
    // A units index that only a linked layer may use falls back to the first entry.
    int ResetSelectionIfNeeded(int units) const;
    int GetBufferingType() const { return m_st.bufferingType; }
    void SetBufferingType(int type, int reserved) { m_st.bufferingType = type; }
    BOOL IsMatrixSkipPoints() const { return m_st.matrixSkip; }
    void SetMatrixSkipPoints(BOOL on) { m_st.matrixSkip = on != FALSE; }
    int GetMatrixSkipXPoints() const { return m_st.matrixXPoints; }
    void SetMatrixSkipXPoints(int n) { m_st.matrixXPoints = n; }
    int GetMatrixSkipYPoints() const { return m_st.matrixYPoints; }
    void SetMatrixSkipYPoints(int n) { m_st.matrixYPoints = n; }
    BOOL IsWksSkipPoints() const { return m_st.wksSkip; }
    void SetWksSkipPoints(BOOL on) { m_st.wksSkip = on != FALSE; }
    int GetWksSkipPointsPerCurve() const { return m_st.wksPoints; }
    void SetWksSkipPointsPerCurve(int n) { m_st.wksPoints = n; }
    // The speed-mode settings changed: the layer draws again. Recorded.
    void OnSkipPtsDisplayModeChange();
    // Asks for a redraw of a kind (1 the background, 3 the whole layer). Recorded.
    void AddUpdate(int kind);

    // Display. The axis display mask uses the axis type bits (QK_AXIS_X, _Y, _Z).
    BOOL IsAxisDisplayed(int mask) const { return (m_st.axisDisplay & mask) != 0; }
    void SetAxisDisplayed(int mask, BOOL on);
    BOOL HasZAxis() const { return m_3D; }
    BOOL IsClippingSupported() const { return !m_3D; }
    BOOL IsLabelShown() const { return m_st.labelShown; }
    void SetLabelShown(BOOL on) { m_st.labelShown = on != FALSE; }
    BOOL IsDataShown() const { return m_st.dataShown; }
    void SetDataShown(BOOL on) { m_st.dataShown = on != FALSE; }
    BOOL IsClipToFrame() const { return m_st.clipToFrame; }
    void SetClipToFrame(BOOL on) { m_st.clipToFrame = on != FALSE; }
    BOOL IsExchangeAxes() const { return m_st.exchangeAxes; }
    void SetExchangeAxes(BOOL on) { m_st.exchangeAxes = on != FALSE; }
    BOOL IsPolar() const { return m_st.polar; }
    void SetPolar(BOOL on) { m_st.polar = on != FALSE; }
    BOOL IsStackPlots() const { return m_st.stackPlots; }
    void SetStackPlots(BOOL on) { m_st.stackPlots = on != FALSE; }
    BOOL IsDataOnTopAxes() const { return m_st.dataOnTopAxes; }
    void SetDataOnTopAxes(BOOL on) { m_st.dataOnTopAxes = on != FALSE; }
    BOOL IsGridOnTopData() const { return m_st.gridOnTopData; }
    void SetGridOnTopData(BOOL on) { m_st.gridOnTopData = on != FALSE; }
    int GetScaleWithLayer() const { return m_st.scaleWithLayer; }
    void SetScaleWithLayer(int mode) { m_st.scaleWithLayer = mode; }
    double GetScalingFactor() const { return m_st.scalingFactor; }
    void SetScalingFactor(double f) { m_st.scalingFactor = f; }
    int GetClipHorizPercent() const { return m_st.clipHorizPercent; }
    void SetClipHorizPercent(int p) { m_st.clipHorizPercent = p; }
    int GetClipVertPercent() const { return m_st.clipVertPercent; }
    double GetWaterfallX() const { return m_st.waterfallX; }
    double GetWaterfallY() const { return m_st.waterfallY; }
    void SetWaterfall(double xPercent, double yPercent) { m_st.waterfallX = xPercent, m_st.waterfallY = yPercent; }
    void SetClipVertPercent(int p) { m_st.clipVertPercent = p; }

    // Links. Linking needs another layer on the page.
    BOOL IsLinkAvailable() const;
    // The entries of the link-to list, each in double quotes: "None" and then the other
    // layers of the page by name. Writes at most `size` characters with the terminator.
    void GetLayerLinkContent(char* buffer, int size) const;
    // Answers FALSE when the layer is not linked; else TRUE and the entry of the linked
    // layer in the link-to list less one.
    BOOL GetLinkToLayerIndex(int& index) const;
    // Links to the layer of link-to entry index + 1; -1 unlinks.
    void SetLinkToLayerIndex(int index);
    int GetLayerXAxisLink() const { return m_st.xLink; }
    int GetLayerYAxisLink() const { return m_st.yLink; }
    std::string GetLayerLinkX1() const { return m_st.x1; }
    std::string GetLayerLinkX2() const { return m_st.x2; }
    std::string GetLayerLinkY1() const { return m_st.y1; }
    std::string GetLayerLinkY2() const { return m_st.y2; }
    // The formulas in the order X1, X2, Y1, Y2.
    void SetLayerAxisLinks(int xLink, int yLink, const std::string formulas[4]);

    BOOL Is3DLayer() const { return m_3D; }
    // The view of a 3D layer (rotation, tilt, perspective, box and walls) as the 3D
    // library's view record; empty until the layer is first drawn or turned.
    std::vector<BYTE>& Get3DView() { return m_view3D; }
    // Sets a dimension's committed range and major increment.
    void SetAxisRange(int axisType, double from, double to, double inc);
    // Sets a dimension's committed rescale mode (QKAxisRecord::rescale).
    void SetAxisRescale(int axisType, int mode) { m_axes[Dimension(axisType)].rescale = mode; }
    // Sets a dimension's committed scale type (QKAxisRecord::type).
    void SetAxisScaleType(int axisType, int type) { m_axes[Dimension(axisType)].type = type; }
    BOOL IsLayer3D() const { return m_3D; }
    BOOL IsLayerTriangle() const { return m_triangle; }

    // Axis type word <-> list index: HV 0 horizontal, 1 vertical, 2 Z; BTLR 0 bottom,
    // 1 top, 2 left, 3 right, 4 front, 5 back.
    static int GetHVAxisType(int axisType);
    static int GetBTLRAxisType(int axisType);
    static int GetXYZAxisType(int index, BOOL btlr);
    // The axes id of a type's dimension: 1 X, 2 Y, 3 Z.
    static int GetAxesID(int axisType);
    // Binds `axes` (attached to this layer) to the working copy of the type's dimension.
    BOOL GetAxes(CQKAxes* axes, int axisType);
    // Whether the scale type of the axis may be changed, and whether the axis can be
    // shown: a Z axis belongs to 3D layers only.
    BOOL IsAxisScaleTypeChangeable(int axisType) const;
    BOOL IsAxisShowable(int axisType) const;

    // The committed record of a type's dimension.
    const QKAxisRecord& GetAxisRecord(int axisType) const;
    // One drawn part of a dimension's committed record (dimension 0 X, 1 Y, 2 Z; part 0
    // and 1 the first and second side's axis, 2 and 3 their tick labels, 4 the major and
    // 5 the minor grid); null out of range. FindAxisPart answers where an element is.
    CQKGrElement* GetAxisPart(int dimension, int part) const;
    BOOL FindAxisPart(const CQKGrElement* element, int& dimension, int& part) const;
    // Commits the working copies; DiscardTemporary drops them.
    void UpdateFromTemporary();
    void DiscardTemporary();
    // Redraw requests; recorded.
    void UpdateAll(BOOL redraw);
    void DoDelayedUpdate();
    void UpdateTriangleAxis(int axisType);
    void SetZScaleChanged(BOOL changed);
    // The Z axis's range from `low` to `high`, committed at once.
    void SetZScale(double low, double high);
    // Something the layer's data are drawn from changed (a 3D box length). Recorded.
    void SetDataModified();

    // The layer, its axis records and its objects as lines of the state dump.
    void DumpState(CQKStateDump& dump) const override;

    // Takes another layer's settings, axes and 3D view (not its objects or name).
    void CopySettingsFrom(const CQKGraphicLayer& from);
    // Where the layer was before Maximize Layer moved it (units, left, top, width,
    // height); empty while it is not maximised.
    const std::vector<double>& GetRestorePlace() const { return m_restorePlace; }
    void SetRestorePlace(std::vector<double> place) { m_restorePlace = std::move(place); }

private:
    static int Dimension(int axisType);
    // The layers a link may point to: the page's other layers, in page order.
    std::vector<CQKGraphicLayer*> LinkCandidates() const;
    const CQKLayer* PlotSource() const override { return m_original ? m_original : this; }
    bool m_3D, m_triangle;
    QKLayerState m_st;
    CQKGraphicLayer* m_original = nullptr;
    QKAxisRecord m_axes[3];
    std::unique_ptr<QKAxisRecord> m_working[3];
    std::vector<BYTE> m_view3D;
    std::vector<double> m_restorePlace;
};

// A 3D layer: its box, view, planes and clipping as Plot Details edits them. Lengths are
// relative to the standard box (1); rotations are degrees about the screen's horizontal
// (X), the viewing direction (Y) and the vertical (Z); positions and clipping limits are
// percentages of the box's side. All of it but the label rotation, the projection, the
// plane colours and the outline is the 3D library's view record, made on first use; with
// no 3D library the getters answer 0 and the setters change nothing.
class QK_API CQK3DLayer : public CQKGraphicLayer {
public:
    explicit CQK3DLayer(CQKPage* page, bool triangle = false) : CQKGraphicLayer(page, true, triangle) {}

    // Reads the rotations from the view as it stands (after turns by the toolbar).
    void CalcRotAngles();
    double GetXAxisLength() const { return GetBox(0); }
    double GetYAxisLength() const { return GetBox(1); }
    double GetZAxisLength() const { return GetBox(2); }
    // Lengths of 0 or less, or more than 100, are refused (nothing changes).
    void SetXAxisLength(double length) { SetBox(0, length); }
    void SetYAxisLength(double length) { SetBox(1, length); }
    void SetZAxisLength(double length) { SetBox(2, length); }
    double GetXRotation() const { return GetAngle(0); }
    double GetYRotation() const { return GetAngle(1); }
    double GetZRotation() const { return GetAngle(2); }
    // With `apply` the view turns to the three angles at once.
    void SetXRotation(double degrees, int apply) { SetAngle(0, degrees, apply); }
    void SetYRotation(double degrees, int apply) { SetAngle(1, degrees, apply); }
    void SetZRotation(double degrees, int apply) { SetAngle(2, degrees, apply); }
    // 0 to 30 degrees; the layer keeps an angle outside within them.
    double GetPerspectiveAngle() const;
    void SetPerspectiveAngle(double degrees);
    BOOL HasRotateLabel() const { return GetState().rotateLabels; }
    void SetRotateLabel(BOOL on);

    // Clipping of the data to a part of the X-Y floor, in percent of the box.
    BOOL IsXYClippingSupported() const;
    BOOL HasXYClipping() const;
    void SetXYClipping(BOOL on);
    double GetXFrom() const { return GetClip(0); }
    double GetXTo() const { return GetClip(1); }
    double GetYFrom() const { return GetClip(3); }
    double GetYTo() const { return GetClip(2); }
    void SetXFrom(double percent) { SetClip(0, percent); }
    void SetXTo(double percent) { SetClip(1, percent); }
    void SetYFrom(double percent) { SetClip(3, percent); }
    void SetYTo(double percent) { SetClip(2, percent); }
    BOOL IsProjectionPrespective() const { return GetState().perspective; }
    void SetProjectionPrespective(BOOL on);

    // The back planes: XY (the floor), YZ and ZX. Auto position puts them on the far sides
    // from the eye at each drawing.
    BOOL HasAutoPosition() const;
    void SetAutoPosition(BOOL on);
    BOOL HasXYPlaneShown() const { return HasPlane(0); }
    BOOL HasYZPlaneShown() const { return HasPlane(1); }
    BOOL HasZXPlaneShown() const { return HasPlane(2); }
    void SetXYPlaneShown(BOOL on) { SetPlane(0, on); }
    void SetYZPlaneShown(BOOL on) { SetPlane(1, on); }
    void SetZXPlaneShown(BOOL on) { SetPlane(2, on); }
    double GetXYPosition() const { return GetPlanePosition(0); }
    double GetYZPosition() const { return GetPlanePosition(1); }
    double GetZXPosition() const { return GetPlanePosition(2); }
    void SetXYPosition(double percent) { SetPlanePosition(0, percent); }
    void SetYZPosition(double percent) { SetPlanePosition(1, percent); }
    void SetZXPosition(double percent) { SetPlanePosition(2, percent); }
    int GetXYColor() const { return GetState().planeColor[0]; }
    int GetYZColor() const { return GetState().planeColor[1]; }
    int GetZXColor() const { return GetState().planeColor[2]; }
    void SetXYColor(int color) { SetPlaneColor(0, color); }
    void SetYZColor(int color) { SetPlaneColor(1, color); }
    void SetZXColor(int color) { SetPlaneColor(2, color); }

    BOOL IsEnabledCubeOutline() const { return GetState().cubeOutline; }
    void SetEnableCubeOutline(BOOL on);
    int GetCubeOutlineColor() const { return GetState().cubeOutlineColor; }
    void SetCubeOutlineColor(int color);
    int GetCubeOutlineStyle() const { return GetState().cubeOutlineStyle; }
    void SetCubeOutlineStyle(int style);
    double GetCubeOutlineWidth() const { return GetState().cubeOutlineWidth; }
    void SetCubeOutlineWidth(double points);

private:
    double GetBox(int d) const;
    void SetBox(int d, double length);
    double GetAngle(int a) const;
    void SetAngle(int a, double degrees, int apply);
    double GetClip(int i) const;
    void SetClip(int i, double percent);
    BOOL HasPlane(int p) const;
    void SetPlane(int p, BOOL on);
    double GetPlanePosition(int p) const;
    void SetPlanePosition(int p, double percent);
    void SetPlaneColor(int p, int color);
};
