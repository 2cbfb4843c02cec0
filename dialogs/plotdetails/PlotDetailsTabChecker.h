// Chooses which of the plot pages stand in the Plot Details sheet. Every plot page files
// itself under a kind (0 to 21, the Pattern kind up to three times); for each kind a
// question to the plot says whether the page is wanted. CheckTabs adds the wanted pages
// that are missing and removes the unwanted ones, brings back the tab the plot showed
// last, and asks the dialog to fit itself around the sheet.
#pragma once

#include <afxdlgs.h>

#include "QDExport.h"
#include "QKGraphObjects.h"

class CQUPlotDetailsPlotObjTab;

enum {
    PD_KIND_LINE = 0,
    PD_KIND_SYMBOL = 1,
    PD_KIND_DROP_LINES = 2,
    PD_KIND_CONTOUR_LINES = 3,
    PD_KIND_PATTERN = 4,
    PD_KIND_SPACING = 5,
    PD_KIND_VECTOR = 6,
    PD_KIND_BOX = 7,
    PD_KIND_PERCENTILE = 8,
    PD_KIND_ERROR_BAR = 9,
    PD_KIND_GROUP = 10,
    PD_KIND_LABEL = 11,
    PD_KIND_BOX_DATA = 12,
    PD_KIND_FUNCTION = 13,
    PD_KIND_PIE_LABELS = 14,
    PD_KIND_PIE_GEOMETRY = 15,
    PD_KIND_SURFACE = 16,
    PD_KIND_GRIDS = 17,
    PD_KIND_BARS = 18,
    PD_KIND_SIDE_WALLS = 19,
    PD_KIND_NUMERIC_FORMATS = 20,
    PD_KIND_COLOR_MAP = 21,
    PD_KIND_COUNT = 22,
    PD_KIND_INSTANCES = 3,
    // The kinds that stand in the sheet it is first made with.
    PD_KIND_INITIAL_LAST = 9,
    // A sheet of more pages is refused.
    PD_MAX_SHEET_PAGES = 22,
};

class QD_API CQUPlotDetailsTabChecker : public CQKBase
{
public:
    explicit CQUPlotDetailsTabChecker(CQKPlotObj* pPlot);

    // Files the page under its kind, in the first free instance; answers kind x 3 +
    // instance, or -1 when the kind is unknown or all its instances are taken.
    int RegisterPage(CQUPlotDetailsPlotObjTab* pPage);
    CQUPlotDetailsPlotObjTab* GetPage(int kind, int instance) const;
    // Writes the pages of kinds 0 to 9 into out (in kind order) and marks them present;
    // answers how many.
    int TakeInitialList(CPropertyPage** out);
    BOOL SetSheet(CPropertySheet* pSheet);
    void CheckTabs(BOOL bRestoreActive);
    // The active page's kind, plus 256 x its instance among the sheet's pages of its
    // kind when the kind has several.
    int GetCurrentTabID() const;
    BOOL IsPageWanted(CQUPlotDetailsPlotObjTab* pPage);
    int SheetIndexOf(int kind, int instance) const;
    int GetInstanceCount(int kind) const { return kind >= 0 && kind < PD_KIND_COUNT ? m_count[kind] : 0; }
    BOOL IsPresent(int kind, int instance) const { return m_present[kind][instance]; }

private:
    void ComputeWanted();
    BOOL Wanted(int kind, int instance);
    void Caption(int kind, int instance);

    CQUPlotDetailsPlotObjTab* m_pages[PD_KIND_COUNT][PD_KIND_INSTANCES];
    BOOL m_present[PD_KIND_COUNT][PD_KIND_INSTANCES];
    BOOL m_wanted[PD_KIND_COUNT][PD_KIND_INSTANCES];
    int m_count[PD_KIND_COUNT];
    CPropertySheet* m_pSheet;
    CQKPlotObj* m_pPlot;
    BOOL m_bInitialList;
    BOOL m_bBusy;
};
