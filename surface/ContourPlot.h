// The contour plot object that the kernel makes through qc3dxEntry, the store of its
// computed lines that the kernel keeps on the plot's grid, and the property sets that
// hold the user's contour labels in the project file.
#pragma once

#include <afx.h>
#include <afxcoll.h>

#include "ContourStore.h"
#include "QKContour.h"

#pragma pack(push, 1)
// One saved label, as the project file keeps it.
struct ContourLabelData {
    double x;          // centre in world coordinates
    double y;
    double level;      // level value of its line; MISSING_VALUE until bound to one
    int32_t rect[4];   // device rectangle: left, top, right, bottom
    int32_t contourIndex; // its line's position in the store at the last drawing
    int32_t flags;
    uint8_t zero[8];
};
#pragma pack(pop)
static_assert(sizeof(ContourLabelData) == 56, "layout");
static_assert(offsetof(ContourLabelData, rect) == 24, "layout");
static_assert(offsetof(ContourLabelData, flags) == 44, "layout");

enum : int32_t {
    CONTOUR_LABEL_MATCHED = 0x10000,  // bound to a line in the current drawing
    CONTOUR_LABEL_MEASURED = 0x20000, // its rectangle is measured
};

class CQC3DContourData : public CQKContourData {
    DECLARE_DYNAMIC(CQC3DContourData)
public:
    // A copy of the lines, with no owner.
    CQKContourData* Duplicate() const override;

    CQKContourPlotObj* owner = nullptr;
    ContourStore store;
};

class CQC3DContourLabelSpecificPSet : public CQKPropertySet {
    DECLARE_DYNAMIC(CQC3DContourLabelSpecificPSet)
public:
    enum : DWORD { CLASS_ID = 0x77730BAD };
    CQC3DContourLabelSpecificPSet();
    explicit CQC3DContourLabelSpecificPSet(const ContourLabelData& data) : data(data) {}

    DWORD GetClassID() const override { return CLASS_ID; }
    DWORD GetVersion() const override { return 0x10000; }
    BOOL ReadFromArch(CQKArchive& ar) override;
    BOOL WriteToArch(CQKArchive& ar) override;
    DWORD GetSavingSize() const override;

    ContourLabelData data;
};

class CQC3DPOneContourLabelPSet : public CQKPropertySet {
    DECLARE_DYNAMIC(CQC3DPOneContourLabelPSet)
public:
    enum : DWORD { CLASS_ID = 0xED07BA53 };
    CQC3DPOneContourLabelPSet() = default;
    explicit CQC3DPOneContourLabelPSet(const ContourLabelData& data) : specific(data) {}

    DWORD GetClassID() const override { return CLASS_ID; }
    DWORD GetVersion() const override { return 0x10000; }
    BOOL ReadFromArch(CQKArchive& ar) override;
    BOOL WriteToArch(CQKArchive& ar) override;
    DWORD GetSavingSize() const override;

    CQC3DContourLabelSpecificPSet specific;
    CQKFontTypePSet font;
};

// The labels in order, grown like a framework array.
class CQC3DContourLabelArray : public CQKPropertySet {
public:
    enum : DWORD { CLASS_ID = 0x675FDE1C };
    ~CQC3DContourLabelArray() override;

    DWORD GetClassID() const override { return CLASS_ID; }
    DWORD GetVersion() const override { return 0x10000; }
    BOOL ReadFromArch(CQKArchive& ar) override;
    BOOL WriteToArch(CQKArchive& ar) override;
    DWORD GetSavingSize() const override;

    int GetSize() const { return (int)m_labels.GetSize(); }
    CQC3DPOneContourLabelPSet* GetAt(int i) const { return static_cast<CQC3DPOneContourLabelPSet*>(m_labels.GetAt(i)); }
    // New labels start from defaults; labels beyond the size are destroyed.
    void SetSize(int size);
    void RemoveAt(int i);

private:
    CPtrArray m_labels;
};

class CQC3DContourLabelsPSet : public CQKPropertySet {
    DECLARE_DYNAMIC(CQC3DContourLabelsPSet)
public:
    enum : DWORD { CLASS_ID = 0x2FBD713E };

    DWORD GetClassID() const override { return CLASS_ID; }
    DWORD GetVersion() const override { return 0x10000; }
    BOOL ReadFromArch(CQKArchive& ar) override;
    BOOL WriteToArch(CQKArchive& ar) override;
    DWORD GetSavingSize() const override;
    CQKPropertySet* CreateObjectOfSameType() const override { return new CQC3DContourLabelsPSet; }

    int Count() const { return labels.GetSize(); }
    ContourLabelData& LabelData(int i) { return labels.GetAt(i)->specific.data; }
    CQC3DPOneContourLabelPSet* Label(int i) { return labels.GetAt(i); }
    void Add(CQC3DPOneContourLabelPSet* label);
    int Delete(int i);
    void ClearMatched();
    void SetMeasured(bool on);
    void RemoveUnmatched();
    // The first label whose rectangle holds the device point; -1 when none does.
    int HitTest(POINT point);

    CQC3DContourLabelArray labels;
};

class CQC3DContourPlotObj : public CQKContourPlotObj {
    DECLARE_DYNAMIC(CQC3DContourPlotObj)
public:
    ~CQC3DContourPlotObj() override;
    int GetPlotObjType() const override { return 10; }
    CQKPropertySet* CreateAdditionalPlotObjData() override { return new CQC3DContourLabelsPSet; }
    BOOL StartDragAtPoint(POINT point) override;
    BOOL DropDragData(HGLOBAL data, POINT point, BOOL query) override;
    BOOL CanStartDrag() override { return TRUE; }
    BOOL IsPointOnContourLine(POINT point) override;
    BOOL AddLabelAtPoint(POINT point) override;
    BOOL Draw(HDC dc, const RECT* output) override;
    BOOL NeedsContourLines() override;

    // The labels set, made when missing; the labels set or null.
    CQC3DContourLabelsPSet* Labels();
    CQC3DContourLabelsPSet* ExistingLabels() const;
    void DropLabels();
    // The contour store of the grid; null when the grid has none.
    CQC3DContourData* Store() const;
    void Redraw();

private:
    // A colour map like `shared` with the plot's levels, in `own`.
    ZColorsBlock* PlotLevels(ZColorsBlock* shared, std::vector<BYTE>& own);
    std::vector<int16_t> m_levelScale; // the levels the stored lines were computed for
};

// The drawing and the label work of one contour plot, once its lines exist.
BOOL DrawContourLines(CQC3DContourPlotObj* plot, CQC3DContourData* data, HDC dc, void* colourMap);
// Paints every grid node's cell in the colour of its value.
void DrawGridCells(CQC3DContourPlotObj* plot, HDC dc, void* colourMap);
// The first line (record order) whose device polyline passes the search rectangle of a
// point; -1 for none.
int FindLineAtPoint(CQC3DContourPlotObj* plot, POINT point);
// Whether a device rectangle crosses line `index` of the store.
bool RectCrossesLine(CQC3DContourPlotObj* plot, int index, const RECT& rect);
// Grid units to world and world to device, by the grid's mapping.
void GridToWorld(const CQKContourGrid* grid, double gx, double gy, double* wx, double* wy);
POINT WorldToDevice(const CQKContourGrid* grid, double wx, double wy);
