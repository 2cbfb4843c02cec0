// The colour-map side of Plot Details: the list of a colour map's levels, the Color Map
// and Numeric Formats pages that edit the plot's colour map through a copy, the small
// dialogs that edit one level or a range of levels, and the Contour Lines page.
#pragma once

#include <afxcmn.h>
#include <afxdlgs.h>

#include <vector>

#include "PlotDetailsPages.h"
#include "QKContour.h"

// Messages the level list sends its parent; lParam is the clicked row, or -1 for a click
// on the column's header.
enum : UINT {
    WM_CMAP_FILL_CLICK = 0x53F,
    WM_CMAP_LINE_CLICK = 0x540,
    WM_CMAP_LABEL_CLICK = 0x541,
    WM_CMAP_LEVELS_EDITED = 0x542,
    WM_CMAP_LEVEL_CLICK = 0x544,
};

// A colour list over the kernel's colour table; a colour the table does not hold is
// offered as one more entry, so that every colour passes through unchanged.
class QD_API CQKNewColorComboBox : public CComboBox
{
public:
    void AddColorNames(COLORREF current);
    COLORREF GetColor() const;
};

// The levels of a colour map as rows (the lowest first) with the columns Level, Fill,
// Line and Labels. It edits rows of its own; SaveCMapData writes them into the map.
class QD_API CQKCMapLstCtrl : public CListCtrl
{
public:
    enum { COL_LEVEL = 1, COL_FILL = 2, COL_LINE = 4, COL_LABELS = 8 };
    CQKCMapLstCtrl(UINT nHeaderString = 0, const char* name = "CMap2");

    void DefaultInit();
    void SetNeededColumns(int mask);
    void SetPlotObj(CQKPlotObj* plot) { m_pPlot = plot; }
    void CleanupRows();
    void SetColorMapData(CQKColorMapData* map) { m_pMap = map; }
    void LoadCMapData();
    // Writes the rows into the map; with `adjust` the map's range follows the rows.
    void SaveCMapData(int adjust);
    void RefreshDisplay();
    void DisableFill(BOOL disable);
    BOOL IsFillDisabled() const { return m_bFillDisabled; }

    // 0 no selection, 1 one row, 2 a contiguous block, 3 several blocks. `first` and
    // `last` (when given) answer the first and last selected rows.
    int GetSelectionType(int* first, int* last) const;
    BOOL IsLegalSingleRowForInsertionAfter(int row) const;
    BOOL IsLegalSingleRowForDeletion(int row) const;
    void InsertLevelAfterByRow(int row);
    void DeleteLevelByRow(int row);
    BOOL GetRampRowLimitsWithOrder(int& low, int& high) const;
    BOOL GetContourLineRowLimitsWithOrder(int& low, int& high) const;
    BOOL CanHaveContourLine(int row) const { return row >= 0 && row < (int)m_rows.size(); }
    ColorMapEntry* GetRowEntry(int row);
    const ColorMapEntry& GetLowestContourLineEntry() const { return m_rows.front(); }
    const ColorMapEntry& GetHighestContourLineEntry() const { return m_rows.back(); }
    void InterpolateFill(const ColorMapEntry& from, const ColorMapEntry& to, int first, int last, BOOL otherColors);
    void SetAllLabelsShow(BOOL show, BOOL selection);
    void SetAllLinesShow(BOOL show, BOOL selection);
    void SetLinesToSame(const ColorMapEntry& entry, BOOL selection);
    void GetNumRampEntriesMinMax(int& n, double& min, double& max) const;
    void SetRampEntriesMinMax(double min, double max, double step, BOOL byNumber, BOOL log, BOOL otherColors);
    int GetRowCount() const { return (int)m_rows.size(); }

    // The list's notifications as its page passes them on: custom drawing of the fill
    // and line cells, cell and header clicks (sent back to the page as the messages
    // above). TRUE when handled.
    BOOL HandleNotify(NMHDR* pHdr, LRESULT* pResult);
    int ColumnKind(int subItem) const;

protected:
    bool RowSelected(int row) const;
    void Notify(int kind, int row);

    CQKPlotObj* m_pPlot;
    CQKColorMapData* m_pMap;
    std::vector<ColorMapEntry> m_rows;
    std::vector<int> m_columns; // the kind of each shown column
    int m_nNeeded;
    BOOL m_bFillDisabled;
    UINT m_nHeaderString;
};

// Plot pages that edit the plot's colour map through a copy, taken each time the page is
// filled and released when the page is left.
class QD_API CQUPlotDetailsCMapTab : public CQUPlotDetailsPlotObjTab
{
public:
    explicit CQUPlotDetailsCMapTab(UINT nIDTemplate) : CQUPlotDetailsPlotObjTab(nIDTemplate), m_pColorMap(nullptr) {}
    ~CQUPlotDetailsCMapTab() override { ReleaseColorMapData(); }
    void LoadColorMapData();
    void ReleaseColorMapData();
    BOOL OnKillActive() override;
    CQKColorMapData* GetColorMap() const { return m_pColorMap; }

protected:
    CQKColorMapData* m_pColorMap;
};

// The swatch of the missing values' fill.
class QD_API CQUCmapMissingValueFill : public CStatic
{
public:
    CQUCmapMissingValueFill() : m_bDisabled(FALSE) {}
    const ColorMapEntry& GetEntry() const { return m_entry; }
    void SetEntry(const ColorMapEntry& entry) { m_entry = entry; }
    void SetDisabled(BOOL disabled) { m_bDisabled = disabled; }

protected:
    afx_msg void OnPaint();
    ColorMapEntry m_entry;
    BOOL m_bDisabled;
    DECLARE_MESSAGE_MAP()
};

class QD_API CQUPDCMap : public CQUPlotDetailsCMapTab
{
public:
    CQUPDCMap();
    CQUPDCMap(UINT nHeaderString, const char* name);

    void ObjectToControls() override;
    void ControlsToObject() override;
    BOOL OnSheetReady(CPropertySheet* pSheet) override;
    void InitControls() override;
    int GetPageKind() const override { return 21; }
    CQKCMapLstCtrl& GetList() { return m_list; }

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    afx_msg LRESULT OnFillClick(WPARAM, LPARAM lParam);
    afx_msg LRESULT OnLineClick(WPARAM, LPARAM lParam);
    afx_msg LRESULT OnLabelClick(WPARAM, LPARAM lParam);
    afx_msg LRESULT OnLevelsEdited(WPARAM, LPARAM);
    afx_msg LRESULT OnLevelClick(WPARAM, LPARAM lParam);

    void LoadList();
    void UpdateInsertDelete();
    void LevelsChanged();
    BOOL HasExtended(int id, int* value = nullptr) const;
    BOOL FillIsOff() const;
    void SetUpFillControls();
    BOOL LinesOrLabels(BOOL labels);

    CQKCMapLstCtrl m_list;
    CQUCmapMissingValueFill m_missing;
    CComboBox m_rescale;

    DECLARE_MESSAGE_MAP()
};

// The number format of contour labels.
class QD_API CQUPDContourLabels : public CQUPlotDetailsCMapTab
{
public:
    CQUPDContourLabels();
    void InitControls() override;
    void ObjectToControls() override;
    void ControlsToObject() override;
    int GetPageKind() const override { return 20; }

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void EnableRule();
    CComboBox m_format, m_minArea;
};

// The fill and the grid cells of a contour plot.
class QD_API CQUPDContourLines : public CQUPlotDetailsPlotObjTab
{
public:
    CQUPDContourLines();
    void ObjectToControls() override;
    void ControlsToObject() override;
    int GetPageKind() const override { return 3; }

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void DoDataExchange(CDataExchange* pDX) override;
    void EnableRule();
    BOOL m_bFill, m_bShowZ;
};

// ---- dialogs of one level or a range of levels

// Fill of one level.
class QD_API CQUCmapCellFillDlg : public CDialog
{
public:
    CQUCmapCellFillDlg(ColorMapEntry* entry, BOOL hidePatterns, CWnd* parent);
    BOOL OnInitDialog() override;
    void OnOK() override;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    ColorMapEntry* m_pEntry;
    BOOL m_bHidePatterns;
    CQKNewColorComboBox m_color, m_patternColor;
    CComboBox m_pattern, m_width;
};

// Fills of a range of levels, interpolated from a From and a To fill.
class QD_API CQUCmapFillDlg : public CDialog
{
public:
    CQUCmapFillDlg(BOOL partial, CQKPlotObj* plot, CWnd* parent);
    BOOL OnInitDialog() override;
    void OnOK() override;

    ColorMapEntry* m_pFrom = nullptr;
    ColorMapEntry* m_pTo = nullptr;
    int m_nMixing = 0;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL m_bPartial;
    CQKPlotObj* m_pPlot;
    CQKNewColorComboBox m_color[2], m_patternColor[2];
    CComboBox m_pattern[2], m_width[2];
};

// The contour line of one level.
class QD_API CQUCmapLineDlg : public CDialog
{
public:
    CQUCmapLineDlg(CQKPlotObj* plot, CWnd* parent);
    BOOL OnInitDialog() override;
    void OnOK() override;

    ColorMapEntry* m_pFrom = nullptr;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void EnableRule();
    CQKNewColorComboBox m_color;
    CComboBox m_style, m_width;
};

class QD_API CQUCmapSetLevelsDlg : public CDialog
{
public:
    CQUCmapSetLevelsDlg(CQKPlotObj* plot, CWnd* parent);
    BOOL OnInitDialog() override;

    double m_dMin = 0, m_dMax = 1, m_dInterval = 1;
    int m_nByNumber = 1;
    BOOL m_bLog = FALSE;
    UINT m_nLevels = 8;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void EnableRule();
    CQKPlotObj* m_pPlot;
};

// Shows or hides the lines (or labels) of all or the selected levels, and gives them one
// line.
class QD_API CQUCmapContourLinesDlg : public CDialog
{
public:
    CQUCmapContourLinesDlg(BOOL selection, ColorMapEntry* entry, CWnd* parent);
    BOOL OnInitDialog() override;
    void OnOK() override;

    BOOL m_bApplyToAll = FALSE;
    int m_nShow = 0;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void EnableRule();
    BOOL m_bSelection;
    ColorMapEntry* m_pEntry;
    CQKNewColorComboBox m_color;
    CComboBox m_style, m_width;
};
