// Worksheet pages whose data lies in an external workbook.
//
// The page keeps one layer per workbook sheet that the kernel uses, each with the sheet's
// data as kernel columns. Values move between a layer and the workbook only through the
// page's virtual operations, which the user interface overrides (it holds the workbook);
// here they fail, so a page without a workbook behind it never pretends to hold data.
#pragma once

#include "QKData.h"

#include <ole2.h>
#include <oleauto.h>

#include <memory>

// A selected or used range of a workbook sheet: first column (1-based), column end (one
// past the last), first row (0-based), row end (one past the last).
struct QXLSELECTION {
    int32_t c1;
    int32_t c2;
    int32_t r1;
    int32_t r2;
};
static_assert(sizeof(QXLSELECTION) == 16, "four 32-bit integers");

// One column's kernel data with the rows that changed since it last went to the workbook.
class QK_API CQKExternData {
public:
    // All rows of the dataset count as changed.
    explicit CQKExternData(CQKDataset* dataset);
    CQKDataset* GetDataset() const { return m_dataset; }

    // Changed rows, 0-based and half-open.
    int i1Change;
    int i2Change;

    // The row as a VARIANT: VT_R8 for a number, VT_BSTR for text, VT_EMPTY for a missing
    // value. FALSE for a row outside the dataset's storage or a value that cannot be made.
    BOOL GetInternalValue(VARIANT* value, int index) const;
    // Stores a number, a text or (VT_EMPTY, VT_NULL, VT_ERROR) the missing value; booleans
    // are -1 and 0, currency its amount. FALSE for other types or a bad row.
    BOOL SetInternalValue(const VARIANT& value, int index);

private:
    CQKDataset* m_dataset;
};

class QK_API CQKWksExternLayer {
    friend struct QKFileAccess; // the project file's reader and writer
public:
    CQKWksExternLayer(CQKProject* project, const std::string& sheet, int id);
    ~CQKWksExternLayer();

    const std::string& GetName() const { return m_name; }
    void SetName(const std::string& name) { m_name = name; }
    // Identifiers start at 1 for a page's first layer and are never reused on the page.
    int GetID() const { return m_id; }

    // Makes sure the layer has column i (1-based); the pointers of the last two arguments
    // (a name and a label) may be null.
    BOOL AddExternColumn(int i, const char* name, const char* label);
    int GetNumCols() const { return m_data->GetNumCols(); }
    CQKDataset* GetColumn(int i) const { return m_data->GetColumn(i); } // 1-based
    // The sheet's columns as a table, which the workbook window shows.
    CQKWksPage* GetTable() const { return m_data.get(); }
    // The rows and columns of the sheet that hold data, 0-based, ends one past the last.
    void SetRowRange(int r1, int r2, int c1, int c2);
    int m_r1 = 0, m_r2 = 0, m_c1 = 0, m_c2 = 0;
    // A column inserted into (or deleted from) the sheet at the 0-based column.
    BOOL OnInternalInsertDeleteColumn(int column, int del);

private:
    std::string m_name;
    int m_id;
    std::unique_ptr<CQKWksPage> m_data; // not one of the project's pages
};

class QK_API CQKWksExternPage : public CQKWksPage {
    friend struct QKFileAccess; // the project file's reader and writer
public:
    CQKWksExternPage(CQKProject* project, const std::string& name);
    ~CQKWksExternPage() override;

    void SetAsExternalDataSource(int on) { m_externalSource = on != 0; }
    bool IsExternalDataSource() const { return m_externalSource; }
    BOOL SetExternalName(const char* path);
    const std::string& GetExternalName() const { return m_externalName; }
    void SetNoExternalDataSourceFile(int on) { m_noSourceFile = on != 0; }
    bool HasNoExternalDataSourceFile() const { return m_noSourceFile; }
    // Kept inside the project file (internal) or in the linked file (external).
    void SetInternalSaving(int on) { m_internalSaving = on != 0; }
    bool IsInternalSaving() const { return m_internalSaving; }
    virtual BOOL SetAutomaticExternalUpdate(int on);
    bool IsAutomaticExternalUpdate() const { return m_automaticUpdate; }

    // The layer of a sheet, made when there is none; null for an empty name.
    CQKWksExternLayer* GetOrCreateActiveLayer(const char* sheet);
    CQKWksExternLayer* FindLayer(const char* sheet) const; // regardless of case
    int GetNumLayers() const { return (int)m_layers.size(); }
    CQKWksExternLayer* GetLayer(int i) const { return m_layers[i].get(); }
    CQKWksExternLayer* GetActiveLayer() const;
    // The last layer stays: FALSE when it is the only one or not on this page.
    BOOL RemoveLayer(CQKWksExternLayer* layer);
    // The used range of a sheet, 0-based with ends one past the last.
    void SetUseRange(const char* sheet, int c1, int c2, int r1, int r2);

    // The user changed the workbook: counted, so that each change is seen once.
    void OnExternalDataModified();
    int GetExternalModifiedCount() const { return m_modifiedCount; }

    // Fetches every column of the layer's used range from the workbook. The two numbers
    // are kept for the callers' sake; FALSE when a column cannot be read.
    BOOL CheckCopyData(CQKWksExternLayer* layer, int, int);
    // Fills a native worksheet with a copy of the layer's data (numbers and texts).
    BOOL MakeFromExternal(CQKWksPage* target, CQKWksExternLayer* layer);
    // Sends one column of a layer to the workbook (rows from the first to the last value).
    BOOL UpdateExternalColumn(CQKWksExternLayer* layer, int column);

    // Reached through the user interface, which holds the workbook.
    virtual BOOL CopyDataOneExternalColumn(const char* sheet, int column, CQKExternData* data, BOOL toExternal);
    // The workbook's file as bytes, for a project that keeps it inside (internal saving);
    // FALSE when there is no workbook to give (the kernel alone has none).
    virtual BOOL GetInternalWorkbook(std::string& bytes);
    // The bytes a loaded project kept for the workbook, taken once by the window that
    // opens it; empty when there are none.
    void SetKeptWorkbook(std::string bytes) { m_keptWorkbook = std::move(bytes); }
    std::string TakeKeptWorkbook() { return std::move(m_keptWorkbook); }

    // The page, its link to the workbook and each sheet's layer with its columns.
    void DumpState(CQKStateDump& dump) const override;

private:
    bool m_externalSource = false;
    bool m_noSourceFile = false;
    bool m_internalSaving = false;
    bool m_automaticUpdate = false;
    std::string m_externalName;
    std::vector<std::unique_ptr<CQKWksExternLayer>> m_layers;
    int m_activeLayer = -1;
    int m_nextLayerId = 1;
    int m_modifiedCount = 0;
    std::string m_keptWorkbook;
};

// A VARIANT of a numeric type (also by reference) as a double; FALSE for other types
// (booleans, texts, dates, empty values).
QK_API BOOL qkVariantToReal(const VARIANT& value, double& result);
// The text with its script substitutions made, as a VARIANT: a number when the whole
// text reads as one, else a string.
QK_API BOOL qkuStringWithReplacementToVariant(const char* text, VARIANT* result);
// Column letters of a 1-based column: 1 A, 26 Z, 27 AA, ... 702 ZZ; empty outside.
QK_API std::string qkuxlColumnNumberToColumnName(int column);
// "B3:B20" for a one-column selection; the rows as a user reads them (1-based).
QK_API BOOL qkuxlRangeToRangeName(const QXLSELECTION& range, std::string& name);
// The reverse: "B3:B20" or "B3"; FALSE for anything else.
QK_API BOOL qkuxlRangeNameToRange(const char* name, QXLSELECTION& range);
// The same from Excel's R1C1 form: "R3C2:R20C2", "R3C2", whole columns "C2:C3" (all
// `maxRows` rows), whole rows "R3:R20" (columns 1 to 256); FALSE for anything else or a
// row past maxRows.
QK_API BOOL qkuxlRCRangeNameToRange(const char* name, QXLSELECTION& range, int maxRows);
// The file exists and is read-only.
QK_API BOOL qkuFileExistsAndIsReadOnly(const char* path);
// The file can be written: it exists and opens for writing, or it can be created (and
// is removed again).
QK_API BOOL qkuFileCanBeWrittenTo(const char* path);

// A plot to make from ranges of one sheet: X, error, Z and label ranges (c1 == 0 for
// none), one or more Y ranges, the title row (0-based, -1 none), and the limits of the
// sheet's used rows and columns.
class QK_API CxlPlot {
public:
    virtual ~CxlPlot() = default;
    QXLSELECTION m_x{}, m_err{}, m_z{}, m_label{};
    std::vector<QXLSELECTION> m_y;
    int m_titleRow = -1;
    std::string m_sheet;
    int m_r2Max = 0, m_c2Max = 0;

    void SetR2Max(int r2) { m_r2Max = r2; }
    void SetC2Max(int c2) { m_c2Max = c2; }
    int GetC2Max() const { return m_c2Max; }
    int GetLabelRow() const { return m_titleRow; }
    // The block that holds every range of the plot; FALSE when it has no Y range.
    BOOL GetRange(QXLSELECTION& range) const;
    // Designates the layer's columns after their roles: X, Y error, Z, label, Y.
    BOOL PrepareLayerForPlotting(CQKWksExternLayer* layer, int);
    // Adds one plot per Y column to the graph's active layer (a new graph page when
    // `graph` is null); the graph, or null when nothing could be plotted.
    CQKGraphPage* AddPlots(CQKWksExternLayer* layer, int command, CQKGraphPage* graph);
};

// The plots a dialog builds, made into graphs in one of three ways: 0 one layer, 1 a
// layer per plot, 2 a graph page per plot.
class QK_API CxlPlots {
public:
    std::vector<std::unique_ptr<CxlPlot>> m_plots;
    int m_mode = 0;
    CxlPlot* Add();
};

// The plot a command makes from a selection by itself: with several columns the first
// is X and the others Y; one column is Y against the row numbers.
class QK_API CQKDefaultPlotAssignments : public CxlPlot {
public:
    CQKDefaultPlotAssignments(int command, const QXLSELECTION* areas, int count, int lastColumn);
    // Usable when a Y range with at least two rows remains.
    BOOL AssignmentsValid() const;
    int m_command;
};

// The plots of a graph page's layers, one per layer; the layers, one graph page each
// (the first stays on the page). FALSE when the page has nothing to spread.
QK_API BOOL ExtractPlotsIntoSeperateLayers(CQKGraphPage* page, int);
QK_API BOOL ExtractLayersIntoSeperateGraphs(CQKGraphPage* page);
