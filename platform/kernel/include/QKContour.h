// Contour plots as the kernel keeps them: the plot object with its grid, its colour map
// and its additional data, the property sets and archive in which saved parts go to the
// project file, and the painter and label texts the contour drawing uses.
//
// The 3D library derives its contour plot, its contour store and its label sets from
// these classes and overrides their virtual operations; the kernel's own versions of
// those operations do nothing useful (a kernel contour plot draws nothing by itself).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "QKGraphObjects.h"

struct CRuntimeClass; // the framework's; the kernel's own classes carry no record

// ---------------------------------------------------------------------------------------
// Archive

// The project file's archive, in memory: storing appends, loading reads from the start.
// Every step answers FALSE when it cannot be done (past the end, or past the write limit
// that stands for a full disk), and the caller stops there.
class QK_API CQKArchive {
public:
    CQKArchive();                                        // storing
    explicit CQKArchive(const std::vector<BYTE>& bytes); // loading

    BOOL IsStoring() const { return m_storing; }
    BOOL Write(const void* data, UINT size);
    BOOL Read(void* data, UINT size);
    BOOL WriteDWORD(DWORD value);
    BOOL ReadDWORD(DWORD& value);
    // A structure as its size (a DWORD) and its bytes; reading answers FALSE for another size.
    BOOL WriteOneStruct(const void* data, UINT size);
    BOOL ReadOneStruct(void* data, UINT size);

    const std::vector<BYTE>& GetBytes() const { return m_bytes; }
    size_t GetPosition() const { return m_position; }
    void SetWriteLimit(size_t bytes) { m_limit = bytes; }

private:
    bool m_storing;
    std::vector<BYTE> m_bytes;
    size_t m_position = 0;
    size_t m_limit = (size_t)-1;
};

// ---------------------------------------------------------------------------------------
// Property sets

// A unit of saved plot data. The archive form is a header (class identifier and version,
// 8 bytes), the set's own parts, and slots kept for later versions (a DWORD giving the
// number of slot bytes that follow; 0 when written by this version).
class QK_API CQKPropertySet {
public:
    virtual ~CQKPropertySet();
    virtual CRuntimeClass* GetRuntimeClass() const;
    virtual DWORD GetClassID() const;
    virtual DWORD GetVersion() const;
    // The header; reading answers FALSE for another class or a newer major version.
    virtual BOOL ReadFromArch(CQKArchive& ar);
    virtual BOOL WriteToArch(CQKArchive& ar);
    virtual DWORD GetSavingSize() const;
    // A new set of the same class with default contents; null for a plain set.
    virtual CQKPropertySet* CreateObjectOfSameType() const;

    // Copies another set of the same class through its archive form.
    BOOL CopyFrom(CQKPropertySet* from);

    static DWORD GetHeaderSize() { return 8; }
    static DWORD GetEmptySlotsSize() { return 4; }

protected:
    BOOL WriteZeroEmptySlots(CQKArchive& ar);
    BOOL SkipOverAllSlots(CQKArchive& ar);
    BOOL SaveOnePropertySet(CQKArchive& ar, CQKPropertySet* child);
    BOOL LoadOnePropertySet(CQKArchive& ar, CQKPropertySet* child);
};

// The font of a text: CQKFontManager index, size in points, colour index, style bits.
class QK_API CQKFontTypePSet : public CQKPropertySet {
public:
    enum : DWORD { CLASS_ID = 0x4F6E7401 };
    struct Font {
        int32_t font = 0;
        int32_t size = 22;
        int32_t color = 0;
        int32_t style = 0;
    };

    DWORD GetClassID() const override { return CLASS_ID; }
    BOOL ReadFromArch(CQKArchive& ar) override;
    BOOL WriteToArch(CQKArchive& ar) override;
    DWORD GetSavingSize() const override;
    CQKPropertySet* CreateObjectOfSameType() const override { return new CQKFontTypePSet; }

    const Font& GetFont() const { return m_font; }
    void SetFont(const Font& font) { m_font = font; }
    // A GDI font for this set at the device's resolution; the caller deletes it.
    HFONT CreateFont(HDC dc) const;

private:
    Font m_font;
};

// ---------------------------------------------------------------------------------------
// Contour grid and store

// What a contour plot keeps of its computed lines. The kernel only holds it; the library
// that computes the lines derives the real store.
class QK_API CQKContourData {
public:
    virtual ~CQKContourData();
    virtual CRuntimeClass* GetRuntimeClass() const;
    virtual BOOL IsContourData() const { return TRUE; }
    // A copy of the store, owned by the caller; null when the store keeps nothing.
    virtual CQKContourData* Duplicate() const;
};

// The Z grid of a contour plot on the colour map's 16-bit scale: node (column j, row k)
// at values[k * stride + j]. Grid units map to world by scale and offset; world maps to
// the device through the plot rectangle and the ranges. The grid owns its contour store.
class QK_API CQKContourGrid {
public:
    CQKContourGrid();
    ~CQKContourGrid();
    CQKContourGrid(const CQKContourGrid&) = delete;
    CQKContourGrid& operator=(const CQKContourGrid&) = delete;

    // New values (all 0); the store and the perturbation mark go with the old ones.
    void SetSize(int rows, int cols);
    int GetRows() const { return m_rows; }
    int GetCols() const { return m_cols; }
    int GetStride() const { return m_cols; }
    float* GetValues() { return m_values.data(); }
    float GetValue(int column, int row) const { return m_values[(size_t)row * m_cols + column]; }
    void SetValue(int column, int row, float value) { m_values[(size_t)row * m_cols + column] = value; }

    BOOL PerturbationDone() const { return m_perturbed; }
    void SetPerturbationDone(BOOL done) { m_perturbed = done != FALSE; }

    CQKContourData* GetContourData() const { return m_data; }
    // Takes the store over; the one before is deleted.
    void SetContourData(CQKContourData* data);

    void SetWorldMapping(double scaleX, double offsetX, double scaleY, double offsetY);
    double GetScaleX() const { return m_scaleX; }
    double GetOffsetX() const { return m_offsetX; }
    double GetScaleY() const { return m_scaleY; }
    double GetOffsetY() const { return m_offsetY; }
    void SetPlotArea(const RECT& rect, double xMin, double xRange, double yMin, double yRange);
    const RECT& GetPlotRect() const { return m_rect; }
    double GetXMin() const { return m_xMin; }
    double GetXRange() const { return m_xRange; }
    double GetYMin() const { return m_yMin; }
    double GetYRange() const { return m_yRange; }
    BOOL IsSwapXY() const { return m_swap; }
    void SetSwapXY(BOOL swap) { m_swap = swap != FALSE; }

private:
    int m_rows = 0, m_cols = 0;
    std::vector<float> m_values;
    bool m_perturbed = false;
    CQKContourData* m_data = nullptr;
    double m_scaleX = 1, m_offsetX = 0, m_scaleY = 1, m_offsetY = 0;
    RECT m_rect = {0, 0, 0, 0};
    double m_xMin = 0, m_xRange = 1, m_yMin = 0, m_yRange = 1;
    bool m_swap = false;
};

// ---------------------------------------------------------------------------------------
// Colour map of a contour plot

// The pen of one level's line.
struct QKContourPen {
    COLORREF color = RGB(0, 0, 0);
    int width = 1; // device units
    int style = PS_SOLID;
};

// Colour entries by colour index (fill colour and pattern) and contour-line entries by
// level index (flags word, pen, the switch that forces an automatic label).
class QK_API CQKColorMapData {
public:
    enum : DWORD {
        CONTOUR_LABEL_SHOWN = 0x10000, // bit 16 of a contour-line entry's flags word
        CONTOUR_LINE_HIDDEN = 0x20000, // bit 17
    };
    enum { NO_FILL = -4 };

    // Fill of a colour entry; FALSE when the entry means no fill.
    BOOL GetFill(int colorIndex, COLORREF& color, int& pattern) const;
    void SetFill(int colorIndex, COLORREF color, int pattern);
    void SetNoFill(int colorIndex);
    int GetMissingColorIndex() const { return m_missingIndex; }
    void SetMissingColorIndex(int index) { m_missingIndex = index; }

    DWORD GetContourLineFlags(int level) const;
    void SetContourLineFlags(int level, DWORD flags);
    void SetContourLabelShown(int level, BOOL shown);
    // The pen of a level's line; FALSE when the level draws no line.
    BOOL GetDrawLine(int level, QKContourPen& pen) const;
    void SetDrawLine(int level, const QKContourPen& pen);
    BOOL IsForceContourLineLabelCreation(int level) const;
    void SetForceContourLineLabelCreation(int level, BOOL force);
    // Sets the switch of every level; TRUE when that changed any.
    BOOL SetAllForceContourLineLabelCreation(BOOL force);
    // How far a saved label's level may lie from a line's level and still bind to it.
    double GetLevelSearchWindow() const { return m_searchWindow; }
    void SetLevelSearchWindow(double width) { m_searchWindow = width; }
    // The label text of a level value.
    std::string GetLabelText(int level, double value) const;
    // Makes the map the plot's saved one: the label switches the drawing set go back to
    // the plot the map draws. Recorded in the call log.
    void Save();

    // ---- The levels (see QKColorMapState), as the colour-map pages edit them.
    CQKColorMapData() = default;
    explicit CQKColorMapData(const QKColorMapState& state) : m_state(state), m_missingIndex(MISSING_ENTRY) {}
    enum { MISSING_ENTRY = -2 };
    const QKColorMapState& GetState() const { return m_state; }
    void SetState(const QKColorMapState& state) { m_state = state; }
    int GetNumLevels() const { return (int)m_state.levels.size(); }
    // A level's entry, or with GetMissingColorIndex the missing values' entry; a copy of
    // a default entry for an index out of range.
    ColorMapEntry GetEntry(int index) const;
    void SetEntry(int index, const ColorMapEntry& entry);
    std::vector<ColorMapEntry>& Levels() { return m_state.levels; }
    double GetMinDouble() const { return m_state.levels.empty() ? 0 : m_state.levels.front().level; }
    double GetMaxDouble() const { return m_state.levels.empty() ? 0 : m_state.levels.back().level; }
    double GetMissing() const { return m_state.missingValue; }
    void SetMissing(double value) { m_state.missingValue = value; }
    BOOL IsUseOtherColorsInColorMixing() const { return m_state.otherColorsInMixing; }
    void SetUseOtherColorsInColorMixing(BOOL on) { m_state.otherColorsInMixing = on != FALSE; }
    BOOL IsSetLevelsLogarithmic() const { return m_state.setLevelsLog; }
    void SetSetLevelsLogarithmic(BOOL on) { m_state.setLevelsLog = on != FALSE; }
    BOOL IsSetLevelsByNumLevels() const { return m_state.setLevelsByNumber; }
    void SetSetLevelsByNumLevels(BOOL on) { m_state.setLevelsByNumber = on != FALSE; }
    void GetPercColorMapClipping(double* low, double* high) const;
    void SetPercColorMapClipping(const double* low, const double* high);
    int GetLabelsFormat() const { return m_state.labelsFormat; }
    void SetLabelsFormat(int format) { m_state.labelsFormat = format; }
    double GetLabelsDivideByFactor() const { return m_state.labelsDivideBy; }
    void SetLabelsDivideByFactor(double factor) { m_state.labelsDivideBy = factor; }
    BOOL IsLabelsByNumDecPlaces() const { return m_state.labelsByDecPlaces; }
    void SetLabelsByNumDecPlaces(BOOL on) { m_state.labelsByDecPlaces = on != FALSE; }
    int GetLabelsSigDigits() const { return m_state.labelsSigDigits; }
    void SetLabelsSigDigits(int digits) { m_state.labelsSigDigits = digits; }
    std::string GetLabelsPrefix() const { return m_state.labelsPrefix; }
    void SetLabelsPrefix(const std::string& text) { m_state.labelsPrefix = text; }
    std::string GetLabelsSuffix() const { return m_state.labelsSuffix; }
    void SetLabelsSuffix(const std::string& text) { m_state.labelsSuffix = text; }
    // A level value as labels and the pages show it (the labels' format).
    void FormatAsString(double level, std::string& text, int reserved) const;
    // Keeps the colours and lines and spreads the levels evenly from `low` to `high`.
    void MakeUniform(double low, double high);
    // Colour-map files: levels, fills, lines and the missing fill, as text. Load answers
    // FALSE (and changes nothing) for a file it cannot read or that holds no colour
    // map; the reason goes to the call log. The mode is reserved (pass 1).
    BOOL Load(const char* path, int mode);
    BOOL Save(const char* path, int mode) const;

    // The drawing's map of a plot: colour slots and level indexes of the 3D library's
    // contouring taken from the plot's levels (slot 3 below the first level, 4 + i the
    // band above level i, 2 missing; level index 1 + i level i).
    void SyncForDrawing(const QKColorMapState& state, CQKPlotObj* owner);

private:
    struct Fill {
        bool none = false;
        COLORREF color = RGB(255, 255, 255);
        int pattern = 0;
    };
    struct Line {
        DWORD flags = 0;
        bool hasPen = true;
        QKContourPen pen;
        bool forceLabel = false;
    };
    Line& LineAt(int level);
    std::vector<Fill> m_fills;
    std::vector<Line> m_lines;
    QKColorMapState m_state;
    CQKPlotObj* m_owner = nullptr;
    int m_missingIndex = -1;
    double m_searchWindow = 0.5;
};

// ---------------------------------------------------------------------------------------
// Plot objects

class QK_API CQKLinePlotObj : public CQKLineSymbolPlotObj {};
class QK_API CQK3dPlotObj : public CQKLinePlotObj {};

// A contour plot: its grid, colour map and additional data (owned), and the operations
// the 3D library overrides.
class QK_API CQKContourPlotObj : public CQK3dPlotObj {
    friend struct QKFileAccess; // the project file's reader and writer
public:
    CQKContourPlotObj();
    ~CQKContourPlotObj() override;

    virtual CRuntimeClass* GetRuntimeClass() const;
    virtual int GetPlotObjType() const;
    // The plot's additional data, made on first need; null for a kernel plot.
    virtual CQKPropertySet* CreateAdditionalPlotObjData();
    BOOL StartDragAtPoint(POINT point) override;
    // Drag data as CreateGlobalMemoryForDragDrop made it; with `query` only asks.
    virtual BOOL DropDragData(HGLOBAL data, POINT point, BOOL query);
    virtual BOOL CanStartDrag();
    virtual BOOL IsPointOnContourLine(POINT point);
    virtual BOOL AddLabelAtPoint(POINT point);
    virtual BOOL Draw(HDC dc, const RECT* output);
    // Brings the grid up to date with the data; recorded in the call log.
    virtual void UpdateGridInfo();
    // Whether the lines have yet to be computed.
    virtual BOOL NeedsContourLines();

    CQKPropertySet* GetAdditionalPlotObjData() const { return m_additional; }
    // Does not delete the data it replaces: the caller decides.
    void SetAdditionalPlotObjData(CQKPropertySet* data) { m_additional = data; }
    CQKContourGrid* GetContourGrid() const { return m_grid.get(); }
    // The map the drawing reads, brought up to date with the plot's colour map.
    CQKColorMapData* GetValidColorMapDataForDrawing() const;

    BOOL IsContourNeeded() const { return m_contourNeeded; }
    void SetContourNeeded(BOOL needed) { m_contourNeeded = needed != FALSE; }
    BOOL IsModified() const { return m_modified; }
    void SetModified(BOOL modified) { m_modified = modified != FALSE; }
    // Asks for the plot to be drawn again; recorded in the call log.
    void UpdatePlot();

private:
    CQKPropertySet* m_additional = nullptr;
    std::unique_ptr<CQKContourGrid> m_grid;
    std::unique_ptr<CQKColorMapData> m_colorMap;
    bool m_contourNeeded = true, m_modified = false;
};

// ---------------------------------------------------------------------------------------
// Painter and label texts

// Draws into a device context with one pen and one fill at a time; restores the
// context's objects when it goes.
class QK_API CQKLine2 {
public:
    explicit CQKLine2(HDC dc);
    ~CQKLine2();
    CQKLine2(const CQKLine2&) = delete;
    CQKLine2& operator=(const CQKLine2&) = delete;

    void SetPen(const QKContourPen& pen);
    void SetNullPen();
    // A polygon filled in `fillColor` (CQKColorMapData::NO_FILL: not filled) and pattern
    // (0 solid, else a hatch style + 1); its outline runs from point 0 to `outlineEnd`
    // (all of it when outlineEnd is 0), so that a part closed along the border is not
    // stroked.
    BOOL DrawSimplePolygon(const POINT* points, int count, int outlineEnd, int fillColor, int pattern);
    // A polyline broken where it runs inside any of the gap rectangles.
    BOOL DrawPolyLine(const POINT* points, int count, const RECT* gaps, int gapCount);
    BOOL DrawSimpleRect(const RECT& rect, COLORREF color);

private:
    HDC m_dc;
    HPEN m_pen = nullptr;
    HGDIOBJ m_oldPen, m_oldBrush;
    int m_saved;
};

// Texts placed at device rectangles.
class QK_API CQKTxtLabels {
public:
    // The rectangle of `text` in `font`, centred at a device point (the device point of a
    // label's world centre), as `format` (38: centred, several lines) lays it out.
    static BOOL MeasureRectAtWorld(HDC dc, const std::string& text, const CQKFontTypePSet* font, POINT centre,
                                   UINT format, RECT& rect);
    static BOOL TextOutA(HDC dc, const std::string& text, const CQKFontTypePSet* font, const RECT& rect,
                         UINT format);
};

// ---------------------------------------------------------------------------------------
// Line widths, colour-map files

// Line widths: the kernel's integer widths are hundredths of a point.
QK_API double qkuIntLineWidthToDouble(int width);
QK_API int qkuDoubleLineWidthToInt(double points);
// The colour-map file dialog: `open` 1 to open, 0 to save; the chosen path goes to
// `path`. Nonzero when the user chose a file.
QK_API int qkfxColorMapFileDialog(std::string& path, int open);

// ---------------------------------------------------------------------------------------
// Helpers of hit tests and dragging

// Whether the segment a-b meets the rectangle (touching or running inside it).
QK_API BOOL qkuFindRectangleLineIntersection(const RECT& rect, POINT a, POINT b);
// The rectangle searched around a mouse point.
QK_API void qkuCreateRectForScreenSearchingFromPoint(POINT point, RECT& rect);
// A zero-filled movable block for drag data.
QK_API HGLOBAL CreateGlobalMemoryForDragDrop(SIZE_T size);
// The clipboard format of plot-object drag data.
QK_API UINT GetQuorixPlotObjDragDropClipboardFormat();
// Set while a plot object's drag runs.
QK_API void qkuSetPlotObjDragging(BOOL dragging);
QK_API BOOL qkuIsPlotObjDragging();
// Runs a move drag of plot-object drag data (a copy is offered in the plot-object
// format), with the dragging flag set meanwhile; the effect the drop made.
QK_API DWORD qkuDoPlotObjDragDrop(HGLOBAL data, CQKPlotObj* plot = nullptr);
// The same for a copy of `size` bytes at `data` in a block of its own; FALSE, with no drag,
// when the block cannot be made.
QK_API BOOL qkuDragPlotObjData(const void* data, SIZE_T size, CQKPlotObj* plot);
// Runs an OLE drag of the block offered in one format (a copy for each request), with
// the effects the source allows; the effect the drop made (none when it was cancelled).
QK_API DWORD qkuDoDragDrop(HGLOBAL data, UINT format, DWORD effects);
// The clipboard format of columns dragged from a worksheet.
QK_API UINT GetQuorixWksDragDropClipboardFormat();
