// What the kernel draws with, for the views and dialogs that draw as the pages do: the
// formatted text of labels, an axis's data-to-device scale, the frame of a layer on a
// drawn page, and the graphs a layout page shows.
#pragma once

#include "QKGraphObjects.h"

class CQKGraphPage;

// Draws label text with its inline codes: \-(sub), \+(super), \b(bold), \i(italic),
// \u(underline), \g(Greek), \c<n>(colour index n - 1), \f:<font>(font); runs nest. Tabs
// stop every `tab width` characters (of the font's average width); lines break at CR LF
// or LF. Sizes are in points, drawn at `pixelsPerPoint` device pixels a point (0: the
// DC's own logical resolution).
class QK_API CQKTextDC {
public:
    CQKTextDC(HDC dc, const CQKTextStyle& style, int color, double pixelsPerPoint = 0);
    void ApplyTextTabWidth(int width) { m_tabWidth = width < 1 ? 1 : width; }
    // The size of the formatted text, unrotated (device units).
    SIZE MeasureQuorixText(const std::string& text, BOOL showLinkVars) const;
    // Draws the text with its top-left corner at the rectangle's top left (centred lines
    // when the style centres them), rotated about that corner by the style's rotation.
    void DrawQuorixText(const std::string& text, const RECT& rect, BOOL showLinkVars) const;

private:
    struct Run;
    void Layout(const std::string& text, std::vector<std::vector<Run>>& lines, std::vector<SIZE>& sizes) const;
    HDC m_dc;
    CQKTextStyle m_style;
    int m_color;
    double m_pixelsPerPoint;
    int m_tabWidth = 8;
};

// The scale of an axis: value <-> fraction of the axis length (0 at From, 1 at To), by
// the scale type (QKAxisRecord::type) and the axis break. A value the scale cannot show
// (a log of a non-positive number, a probability outside 0..100) has no fraction.
class QK_API CQKAxisScale {
public:
    explicit CQKAxisScale(const QKAxisRecord& record);
    // FALSE when the value has no place on the scale.
    BOOL ToFraction(double value, double& fraction) const;
    double FromFraction(double fraction) const;
    double GetFrom() const { return m_from; }
    double GetTo() const { return m_to; }
    int GetType() const { return m_type; }
    BOOL IsValid() const { return m_valid; }
    // Without a break the fraction is (Transform(value) - t0) / (t1 - t0).
    BOOL HasBreak() const { return m_break; }
    double GetT0() const { return m_t0; }
    double GetT1() const { return m_t1; }
    // The value transformed by a scale type; FALSE outside the type's domain.
    static BOOL Transform(int type, double value, double& t);
    static double Inverse(int type, double t);

private:
    double m_from, m_to;
    double m_t0 = 0, m_t1 = 1;
    int m_type;
    BOOL m_valid;
    bool m_break = false;
    double m_breakFrom = 0, m_breakTo = 0, m_breakPos = 0.5;
    int m_typeAfter = 0;
    BOOL Piece(int type, double from, double to, double value, double& fraction) const;
};

// Whether a line of 1-pixel solid pen, or a scatter, drawn with many points merges the
// points that would not change a pixel (on by default; the merged and the full drawing
// are the same pixel for pixel). Off draws every point.
QK_API void qkfxSetPointMerging(BOOL on);

// The frame of a layer of the page drawn into pageRect (device units).
QK_API BOOL qkfxGetLayerFrame(const CQKGraphPage* page, int layer, const RECT& pageRect, RECT& frame);

// A graph shown on a layout page: the graph page it shows, by name, and where on the
// layout, as fractions of the layout's width and height.
class QK_API CQKLayoutGraphObj : public CQKGrObj {
public:
    const std::string& GetGraphName() const { return m_graph; }
    void SetGraphName(const std::string& name) { m_graph = name; }
    double m_left = 0, m_top = 0, m_right = 1, m_bottom = 1;
    void DumpState(CQKStateDump& dump) const override;

private:
    std::string m_graph;
};

// A worksheet shown on a layout page: its table from the first row and column, the rows
// that hold data (at most kMaxRows), scaled into its place. The name is the worksheet's.
class QK_API CQKLayoutWksObj : public CQKLayoutGraphObj {
public:
    static const int kMaxRows = 100;
    void DumpState(CQKStateDump& dump) const override;
};

// Puts a graph on a layout page at the place given in fractions of the layout; null
// with the reason in *error when the page is no layout, the graph is no graph page or
// the place is empty.
QK_API CQKLayoutGraphObj* qkfxAddLayoutGraph(CQKGraphPage* layout, const std::string& graph, double left, double top,
                                             double right, double bottom, std::string* error);
// Puts a worksheet on a layout page likewise; null with the reason when the page is no
// layout, the worksheet no worksheet or the place empty.
QK_API CQKLayoutWksObj* qkfxAddLayoutWks(CQKGraphPage* layout, const std::string& wks, double left, double top,
                                         double right, double bottom, std::string* error);
// The next free place on a layout for a window of the given width-to-height ratio: the
// four quarters of the page in reading order, then down and right of the last object.
QK_API void qkfxNextLayoutPlace(CQKGraphPage* layout, double aspect, double& left, double& top, double& right,
                                double& bottom);
// Puts a text label on a layout page with its top-left corner at (x, y) in fractions.
QK_API CQKTextObj* qkfxAddLayoutText(CQKGraphPage* layout, const std::string& text, double x, double y);
