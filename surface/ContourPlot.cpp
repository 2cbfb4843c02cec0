// The contour plot object, its contour store and the label property sets.
#include "ContourPlot.h"

#include <new>

#include "qxutil.h"

// The kernel's classes carry no runtime-class records, so these have no base record.
#define CONTOUR_RUNTIME_CLASS(name)                                                                  \
    CRuntimeClass name::class##name = {#name, (int)sizeof(name), 0xFFFF, nullptr, nullptr, nullptr}; \
    CRuntimeClass* name::GetRuntimeClass() const { return &class##name; }

CONTOUR_RUNTIME_CLASS(CQC3DContourData)
CONTOUR_RUNTIME_CLASS(CQC3DContourLabelSpecificPSet)
CONTOUR_RUNTIME_CLASS(CQC3DPOneContourLabelPSet)
CONTOUR_RUNTIME_CLASS(CQC3DContourLabelsPSet)
CONTOUR_RUNTIME_CLASS(CQC3DContourPlotObj)

// ---- The store

CQKContourData* CQC3DContourData::Duplicate() const
{
    auto* copy = new (std::nothrow) CQC3DContourData;
    if (copy)
        store.CopyInto(&copy->store);
    return copy;
}

// ---- Label sets

CQC3DContourLabelSpecificPSet::CQC3DContourLabelSpecificPSet() : data() {}

BOOL CQC3DContourLabelSpecificPSet::ReadFromArch(CQKArchive& ar)
{
    return CQKPropertySet::ReadFromArch(ar) && ar.ReadOneStruct(&data, sizeof data) && SkipOverAllSlots(ar);
}

BOOL CQC3DContourLabelSpecificPSet::WriteToArch(CQKArchive& ar)
{
    return CQKPropertySet::WriteToArch(ar) && ar.WriteOneStruct(&data, sizeof data) && WriteZeroEmptySlots(ar);
}

DWORD CQC3DContourLabelSpecificPSet::GetSavingSize() const { return CQKPropertySet::GetSavingSize() + 64; }

BOOL CQC3DPOneContourLabelPSet::ReadFromArch(CQKArchive& ar)
{
    return CQKPropertySet::ReadFromArch(ar) && LoadOnePropertySet(ar, &specific) && LoadOnePropertySet(ar, &font) &&
           SkipOverAllSlots(ar);
}

BOOL CQC3DPOneContourLabelPSet::WriteToArch(CQKArchive& ar)
{
    return CQKPropertySet::WriteToArch(ar) && SaveOnePropertySet(ar, &specific) && SaveOnePropertySet(ar, &font) &&
           WriteZeroEmptySlots(ar);
}

DWORD CQC3DPOneContourLabelPSet::GetSavingSize() const
{
    return CQKPropertySet::GetSavingSize() + specific.GetSavingSize() + font.GetSavingSize() + 4;
}

CQC3DContourLabelArray::~CQC3DContourLabelArray() { SetSize(0); }

void CQC3DContourLabelArray::SetSize(int size)
{
    if (size < 0)
        size = 0;
    int old = GetSize();
    for (int i = size; i < old; ++i)
        delete GetAt(i);
    m_labels.SetSize(size);
    for (int i = old; i < size; ++i)
        m_labels.SetAt(i, new CQC3DPOneContourLabelPSet);
}

void CQC3DContourLabelArray::RemoveAt(int i)
{
    delete GetAt(i);
    m_labels.RemoveAt(i);
}

BOOL CQC3DContourLabelArray::ReadFromArch(CQKArchive& ar)
{
    SetSize(0);
    DWORD count;
    if (!CQKPropertySet::ReadFromArch(ar) || !SkipOverAllSlots(ar) || !ar.ReadDWORD(count))
        return FALSE;
    // A count beyond what the archive can hold is a damaged file, not a reason to allocate.
    if (count > ar.GetBytes().size() / CQKPropertySet::GetHeaderSize())
        return FALSE;
    SetSize((int)count);
    for (int i = 0; i < GetSize(); ++i)
        if (!GetAt(i)->ReadFromArch(ar))
            return FALSE;
    return SkipOverAllSlots(ar);
}

BOOL CQC3DContourLabelArray::WriteToArch(CQKArchive& ar)
{
    if (!CQKPropertySet::WriteToArch(ar) || !WriteZeroEmptySlots(ar) || !ar.WriteDWORD((DWORD)GetSize()))
        return FALSE;
    for (int i = 0; i < GetSize(); ++i)
        if (!GetAt(i)->WriteToArch(ar))
            return FALSE;
    return WriteZeroEmptySlots(ar);
}

DWORD CQC3DContourLabelArray::GetSavingSize() const
{
    DWORD size = CQKPropertySet::GetSavingSize() + 8;
    for (int i = 0; i < GetSize(); ++i)
        size += GetAt(i)->GetSavingSize();
    return size + 4;
}

BOOL CQC3DContourLabelsPSet::ReadFromArch(CQKArchive& ar)
{
    return CQKPropertySet::ReadFromArch(ar) && SkipOverAllSlots(ar) && LoadOnePropertySet(ar, &labels) &&
           SkipOverAllSlots(ar);
}

BOOL CQC3DContourLabelsPSet::WriteToArch(CQKArchive& ar)
{
    return CQKPropertySet::WriteToArch(ar) && WriteZeroEmptySlots(ar) && SaveOnePropertySet(ar, &labels) &&
           WriteZeroEmptySlots(ar);
}

DWORD CQC3DContourLabelsPSet::GetSavingSize() const
{
    return CQKPropertySet::GetSavingSize() + labels.GetSavingSize() + 8;
}

void CQC3DContourLabelsPSet::Add(CQC3DPOneContourLabelPSet* label)
{
    int n = labels.GetSize();
    labels.SetSize(n + 1);
    labels.GetAt(n)->CopyFrom(label);
}

int CQC3DContourLabelsPSet::Delete(int i)
{
    if (i < 0 || i >= labels.GetSize())
        return 0;
    labels.RemoveAt(i);
    return 1;
}

void CQC3DContourLabelsPSet::ClearMatched()
{
    for (int i = 0; i < Count(); ++i)
        LabelData(i).flags &= ~CONTOUR_LABEL_MATCHED;
}

void CQC3DContourLabelsPSet::SetMeasured(bool on)
{
    for (int i = 0; i < Count(); ++i)
        LabelData(i).flags = on ? LabelData(i).flags | CONTOUR_LABEL_MEASURED
                                : LabelData(i).flags & ~CONTOUR_LABEL_MEASURED;
}

void CQC3DContourLabelsPSet::RemoveUnmatched()
{
    for (int i = Count() - 1; i >= 0; --i)
        if (!(LabelData(i).flags & CONTOUR_LABEL_MATCHED))
            Delete(i);
}

int CQC3DContourLabelsPSet::HitTest(POINT point)
{
    for (int i = 0; i < Count(); ++i) {
        const int32_t* r = LabelData(i).rect;
        RECT rect = {r[0], r[1], r[2], r[3]};
        if (PtInRect(&rect, point))
            return i;
    }
    return -1;
}

// ---- The plot object

// The store belongs to the grid and the labels to the kernel's plot; nothing of its own
// is freed here.
CQC3DContourPlotObj::~CQC3DContourPlotObj() = default;

CQC3DContourLabelsPSet* CQC3DContourPlotObj::ExistingLabels() const
{
    CQKPropertySet* data = GetAdditionalPlotObjData();
    return data && data->GetClassID() == CQC3DContourLabelsPSet::CLASS_ID ? static_cast<CQC3DContourLabelsPSet*>(data)
                                                                           : nullptr;
}

CQC3DContourLabelsPSet* CQC3DContourPlotObj::Labels()
{
    if (CQC3DContourLabelsPSet* labels = ExistingLabels())
        return labels;
    delete GetAdditionalPlotObjData();
    SetAdditionalPlotObjData(CreateAdditionalPlotObjData());
    return ExistingLabels();
}

void CQC3DContourPlotObj::DropLabels()
{
    delete GetAdditionalPlotObjData();
    SetAdditionalPlotObjData(nullptr);
}

CQC3DContourData* CQC3DContourPlotObj::Store() const
{
    CQKContourGrid* grid = GetContourGrid();
    CQKContourData* data = grid ? grid->GetContourData() : nullptr;
    return data && data->GetRuntimeClass() == &CQC3DContourData::classCQC3DContourData
               ? static_cast<CQC3DContourData*>(data)
               : nullptr;
}

void CQC3DContourPlotObj::Redraw()
{
    if (CQKLayer* layer = GetValidLayer())
        layer->BufferCleanup();
    SetModified(TRUE);
    UpdatePlot();
}

BOOL CQC3DContourPlotObj::NeedsContourLines()
{
    CQC3DContourData* data = Store();
    return !(data && data->store.Count() > 0);
}

ZColorsBlock* CQC3DContourPlotObj::PlotLevels(ZColorsBlock* shared, std::vector<BYTE>& own)
{
    const std::vector<ColorMapEntry>& levels = GetColorMapState().levels;
    const int n = (int)levels.size() - 1;
    own.assign(ZColorsSize(n), 0);
    auto* b = reinterpret_cast<ZColorsBlock*>(own.data());
    memcpy(b, shared, offsetof(ZColorsBlock, slots));
    b->n = (int16_t)n;
    b->lastSlot = (int16_t)(n + 23);
    b->flags = (int16_t)(b->flags & ~(ZCOLORS_BY_RAMP | ZCOLORS_EVEN_LEVELS));
    std::vector<int16_t> scale(n + 1);
    for (int e = 0; e <= n; ++e) {
        double z = levels[e].level;
        scale[e] = (int16_t)ScxColorControl(39, 0, reinterpret_cast<INT_PTR>(&z), shared);
        b->slots[4 + e].level = scale[e];
    }
    b->levelMin = scale[0];
    b->levelMax = scale[n];
    b->slots[3].level = -9998;
    // Other levels make other lines: the ones computed before go.
    if (scale != m_levelScale) {
        m_levelScale = scale;
        if (CQKContourGrid* grid = GetContourGrid()) {
            grid->SetContourData(new (std::nothrow) CQC3DContourData);
            grid->SetPerturbationDone(FALSE);
        }
    }
    return b;
}

BOOL CQC3DContourPlotObj::Draw(HDC dc, const RECT*)
{
    CQKContourGrid* grid = GetContourGrid();
    if (!grid)
        return FALSE;
    if (!grid->GetContourData())
        grid->SetContourData(new (std::nothrow) CQC3DContourData);
    UpdateGridInfo();

    ZColorsBlock* shared = ColourMapHandOut();
    if (!ScxColorControl(52, 0, 0, shared))
        ScxColorControl(21, 0, 0, shared);
    // The plot's own levels, when it has them, on the shared map's scale (the grid's
    // values are on it); else the shared map's.
    std::vector<BYTE> own;
    ZColorsBlock* map = shared && GetColorMapState().levels.size() >= 2 ? PlotLevels(shared, own) : shared;
    ContourGridView view = {grid->GetRows(), grid->GetCols(), grid->GetStride(), grid->GetValues(),
                            grid->PerturbationDone()};
    PerturbGrid(&view, map);
    grid->SetPerturbationDone(view.perturbationDone);
    if (IsShowGrids())
        DrawGridCells(this, dc, map);

    BOOL done = TRUE;
    CQC3DContourData* data = Store();
    // Without a store (no memory for one) the lines wait for the next drawing; without
    // memory for the work of this drawing nothing more is drawn.
    if (IsContourNeeded() && data) {
        data->owner = this;
        try {
            if (data->store.Count() == 0 && !ComputeContours(&view, &data->store, map))
                done = FALSE;
            else
                done = DrawContourLines(this, data, dc, map);
        } catch (const std::bad_alloc&) {
            done = FALSE;
        }
    }
    if (shared)
        ColourMapTakeBack();
    return done;
}

BOOL CQC3DContourPlotObj::IsPointOnContourLine(POINT point) { return FindLineAtPoint(this, point) >= 0; }

BOOL CQC3DContourPlotObj::AddLabelAtPoint(POINT point)
{
    int line = FindLineAtPoint(this, point);
    CQKLayer* layer = GetValidLayer();
    CQC3DContourData* data = Store();
    ContourLabelData label = {};
    if (line < 0 || !layer || !data || !layer->LogicalToRealWorld(point, label.x, label.y))
        return FALSE;
    CQC3DContourLabelsPSet* labels = Labels();
    if (!labels)
        return FALSE;
    label.level = MISSING_VALUE;
    label.contourIndex = line;
    CQC3DPOneContourLabelPSet one(label);
    labels->Add(&one);
    int level = data->store.Record(line)->levelIndex;
    CQKColorMapData* map = GetValidColorMapDataForDrawing();
    if (map && !(map->GetContourLineFlags(level) & CQKColorMapData::CONTOUR_LABEL_SHOWN)) {
        map->SetContourLabelShown(level, TRUE);
        map->Save();
    }
    Redraw();
    return TRUE;
}

namespace {

// The drag block: the start point and the label's index, in a block of 20 bytes.
struct LabelDrag {
    int32_t x, y;
    int32_t label;
    int32_t unused[2];
};
static_assert(sizeof(LabelDrag) == 20, "the label drag block is 20 bytes");

} // namespace

BOOL CQC3DContourPlotObj::StartDragAtPoint(POINT point)
{
    CQC3DContourLabelsPSet* labels = ExistingLabels();
    int index = labels ? labels->HitTest(point) : -1;
    if (index < 0)
        return FALSE;
    const LabelDrag drag = {point.x, point.y, index, {}};
    return qkuDragPlotObjData(&drag, sizeof drag, this);
}

BOOL CQC3DContourPlotObj::DropDragData(HGLOBAL data, POINT point, BOOL query)
{
    CQC3DContourLabelsPSet* labels = ExistingLabels();
    CQKLayer* layer = GetValidLayer();
    auto* drag = data ? static_cast<const LabelDrag*>(GlobalLock(data)) : nullptr;
    if (!drag)
        return FALSE;
    LabelDrag d = *drag;
    GlobalUnlock(data);
    if (!labels || !layer || d.label < 0 || d.label >= labels->Count())
        return FALSE;
    if (!layer->IsPtInFrameArea(point)) {
        if (query)
            return TRUE;
        labels->Delete(d.label);
        Redraw();
        return TRUE;
    }
    ContourLabelData& label = labels->LabelData(d.label);
    int dx = point.x - d.x, dy = point.y - d.y;
    RECT moved = {label.rect[0] + dx, label.rect[1] + dy, label.rect[2] + dx, label.rect[3] + dy};
    if (!RectCrossesLine(this, label.contourIndex, moved))
        return FALSE;
    if (query)
        return TRUE;
    POINT centre = {(moved.left + moved.right) / 2, (moved.top + moved.bottom) / 2};
    double x, y;
    if (!layer->LogicalToRealWorld(centre, x, y))
        return FALSE;
    label.rect[0] = moved.left;
    label.rect[1] = moved.top;
    label.rect[2] = moved.right;
    label.rect[3] = moved.bottom;
    label.x = x;
    label.y = y;
    Redraw();
    return TRUE;
}

extern "C" INT_PTR WINAPI qc3dxEntry(int request, INT_PTR, INT_PTR, INT_PTR, INT_PTR)
{
    if (request != 1)
        return 1;
    return reinterpret_cast<INT_PTR>(new (std::nothrow) CQC3DContourPlotObj);
}
