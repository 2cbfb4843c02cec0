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

#include "QKDefs.h"

class CWnd; // the framework's window; the kernel only passes it on
class CQKPage;
class CQKDataset;
class CQKLayer;

// The kernel's colour table: the colours that plot objects name by index.
class QK_API CQKColor {
public:
    static int GetColorNumber();
    // false for an index outside the table (the name is then emptied).
    static BOOL GetColorName(int index, std::string& name);
    // The RGB value of the colour; the third argument is reserved (callers pass 0).
    static BOOL GetColorRef(int index, DWORD& colour, int reserved);
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
class QK_API CQKGrElement {
public:
    virtual ~CQKGrElement();

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
public:
    int GetColor() const { return m_color; }
    void SetColor(int color) { m_color = color; }
    BOOL IsBorder() const { return m_border; }
    void EnableBorder(BOOL enable) { m_border = enable != FALSE; }
    int GetBorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(int style) { m_borderStyle = style; }

    // Gives this object's style to every object of its kind in the layer. Recorded.
    BOOL ApplyStyleToAll(int reserved);
    // Makes this object's settings the default for new objects of its kind.
    virtual BOOL SetDefault(int reserved);

protected:
    int m_color = 0;
    bool m_border = false;
    int m_borderStyle = 0;
};

// A text label: its text with inline format codes, its style and tab width.
class QK_API CQKTextObj : public CQKGrObj {
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

    BOOL SetDefault(int reserved) override;

    // The label's dialog; a plain label has none (the user interface's subclass does).
    virtual int DoDialog(CWnd* parent, int startPage, UINT flags);

private:
    std::string m_text;
    CQKTextStyle m_style;
    int m_tabWidth = 8;
    bool m_showLinkVars = false;
};

// A plotted object: colour and visibility.
class QK_API CQKPlotObj : public CQKGrElement {
public:
    int GetColor() const { return m_color; }
    void SetColor(int color) { m_color = color; }
    BOOL IsShow() const { return m_show; }
    void SetShow(BOOL show) { m_show = show != FALSE; }

protected:
    int m_color = 0;
    bool m_show = true;
};

// A plotted object drawn from a dataset, which it names by handle.
class QK_API CQKDataObj : public CQKPlotObj {
public:
    void SetData(INT_PTR dataset) { m_dataset = dataset; }
    // The dataset, null when it no longer exists.
    CQKDataset* GetData() const;
    // Whether the dataset lies outside the project's worksheets (a free dataset).
    BOOL IsDatasetExternal() const;
    // Activates the worksheet of the dataset; recorded. false when there is none.
    BOOL OpenWorksheet();

private:
    INT_PTR m_dataset = 0;
};

// Error bars of a plot.
class QK_API CQKErrorBar : public CQKDataObj {
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

    // Brings the drawn bars up to date with the properties; recorded.
    void UpdateData();
    // Gives these settings to every error bar of the layer; recorded.
    BOOL ApplyToAll();

    // The error bar's dialog; a plain error bar has none (the user interface's has).
    virtual int DoDialog(CWnd* parent, int startPage, UINT flags);

private:
    bool m_ownerColor = true;
    double m_lineWidth = 0.5;
    double m_capWidth = 8;
    bool m_throughSymbol = false;
    bool m_plus = true, m_minus = true, m_x = false, m_relative = false;
};

// A layer of a page, as the objects in it see it.
class QK_API CQKBaseLayer {
public:
    explicit CQKBaseLayer(CQKPage* page) : m_page(page) {}
    virtual ~CQKBaseLayer();
    CQKPage* GetValidPagePtr() const { return m_page; }

private:
    CQKPage* m_page;
};

// A layer that owns the objects drawn in it.
class QK_API CQKLayer : public CQKBaseLayer {
public:
    explicit CQKLayer(CQKPage* page) : CQKBaseLayer(page) {}
    ~CQKLayer() override;

    // Takes the object over, attaches it and answers its id (1, 2, ...).
    int AddObject(CQKGrElement* object);
    CQKGrElement* GetObject(int id) const;
    int GetObjectCount() const { return (int)m_objects.size(); }
    // Removes the object from the layer and deletes it; its dataset stays.
    BOOL RemoveDataObj(int id);
    // Deletes the object and its dataset.
    BOOL DeleteDataObj(int id);

private:
    std::map<int, std::unique_ptr<CQKGrElement>> m_objects;
    int m_lastId = 0;
};
