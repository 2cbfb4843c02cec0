// Internal interfaces of the 3D engine's modules.
#pragma once

#include "Scx3DHost.h"

#include <vector>

// ---- The plot-host link (one callback and context for the process)
INT_PTR PlotHostRequest(UINT code, INT_PTR argument, INT_PTR pointer);
void PlotHostRunScript(const char* text);

// The colour map's hold on its host window: command 4 remembers the window unless a
// binding is held; command 5 clears the mark and keeps the window.
void ColourMapRememberWindow(HWND window);
void ColourMapClearBinding();
// Binds the plot host and asks for the kernel's colour-control function.
void ColourMapBindHost(INT_PTR context, PlotHostCallback callback);

// The block service of the colour-map script object: hand out "ZCOLORS" (null when
// there is none), take it back, grow the handed-out block for the n it now holds.
ZColorsBlock* ColourMapHandOut();
void ColourMapTakeBack();
ZColorsBlock* ColourMapGrow();

// ---- Dialogs and help
// A number in a dialog control: read through the utility parser from at most
// `maxChars` characters (12 in the view dialog, 10 in the object dialogs), written
// through its formatter.
double DialogNumber(HWND dialog, int id, int maxChars);
void SetDialogNumber(HWND dialog, int id, double value, const char* format);
// Fills a combo box with the standard colours and selects `colour`.
void PrepareColourCombo(HWND dialog, int id, int colour);
// Adds the texts of a list to a combo box.
void FillCombo(HWND dialog, int id, const char* const* items, size_t count);
void SetHelpFolder(const char* folder);
void ShowHelp(HWND window, int topic); // 0: the contents
// Runs the view dialog on a copy of the record; a confirmed change is copied back.
int EditView(HWND window, Scx3DView* view);
extern "C" INT_PTR CALLBACK MyWallsControl(HWND dialog, UINT message, WPARAM w, LPARAM l);
extern "C" INT_PTR CALLBACK MyMeshObjControl(HWND dialog, UINT message, WPARAM w, LPARAM l);
extern "C" INT_PTR CALLBACK MyScatterControl(HWND dialog, UINT message, WPARAM w, LPARAM l);
// The colour-map dialog on a copy of `block`: 1 applied, 2 cancelled or unchanged,
// 4096 + n when the dialog chose more bands than the block holds.
INT_PTR RunColourMapDialog(HWND window, ZColorsBlock* block, int templateId);

// ---- Projection (all state lives in the view record)
enum : UINT {
    PROJECT_MATRIX = 0x4000,      // world to viewing coordinates
    PROJECT_PLANE = 0x2000,       // perspective onto the plane, truncated to int32
    PROJECT_DEVICE = 0x1000,      // plane to device
    PROJECT_WORLD_TO_DEVICE = 0x7100,
    PROJECT_WORLD_TO_PLANE = 0x6100,
};

int ProjectionCommand(UINT code, Scx3DView* view);
// One point: `in` three floats; with PROJECT_PLANE the result is an int32 pair in
// outInt, otherwise three floats in outFloat.
void ProjectPoint(UINT flags, const Scx3DView* view, const float in[3], int32_t outInt[2],
                  float outFloat[3]);
void ViewingToWorld(const Scx3DView* view, const float viewing[3], float world[3]);
void ComputeEyeWorld(Scx3DView* view);
void ComputeExtent(Scx3DView* view);
void RecoverAngles(Scx3DView* view);
// planeKind 1 Z, 2 X, 4 Y, otherwise the row index itself.
void ScreenToWall(const Scx3DView* view, int planeKind, int sx, int sy, float planeValue,
                  float world[3]);
double EyeDistanceFor(float perspective, float boxSize);

// ---- The drawing pass and the bucket grid
// Corners of the box's floor by quadrant: (row corner, column corner), each 0 or 1.
const int kWalkCorner[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
inline int PrevCorner(int q) { return q == 0 ? 3 : q - 1; }
inline int NextCorner(int q) { return q == 3 ? 0 : q + 1; }
// The walk bits of a pass whose far corner is f, turning toward the next corner or not.
uint16_t WalkFlags(int f, bool next);
BucketGridSpec PassGridSpec(const Scx3DView* view);
void PrepareDrawing(INT_PTR store, Scx3DView* view, int indexListMode);
void Paint(HWND window, INT_PTR store, Scx3DView* view, UINT paintCode, INT_PTR drawCallback);
// The pieces of a grid cell in drawing order; null when the cell has no list.
const std::vector<BucketPiece>* BucketCell(int row, int column);
// The paint code of the running grid pass, for objects that paint while the grid fills.
void SetPassPaintCode(UINT code);

// ---- The object store
INT_PTR StoreCommand(UINT code, INT_PTR store, HWND window, void* record, INT_PTR argument);
INT_PTR ObjectCommand(UINT command, INT_PTR count, HWND window, void* record, void* object,
                      INT_PTR extra);
bool ObjectDialogOpen();
// The attributes an object dialog edits while it runs.
Scx3DAttributes* ObjectDialogAttributes();
// This library's module: its dialog templates and strings.
HMODULE EngineModule();
// The commands every type shares (add, project, edit, tolerance, hit test).
INT_PTR SharedHandler(UINT command, INT_PTR count, HWND window, void* record, Scx3DObject* object,
                      INT_PTR extra);
INT_PTR AddToStore(INT_PTR store, const float* points, const Scx3DDescription* d, INT_PTR extra);
// Objects without pieces for the grid (lines, polygons, texts, patches) paint in the plain
// pass, and in the grid pass while the grid is filled, before any cell: that puts them
// behind everything the cells draw. Maps the fill command to the pass's paint code;
// the caller answers SCX3D_OBJ_PLAIN with 1.
UINT PaintWithoutGrid(UINT command);
INT_PTR TextObjectHandler(UINT command, INT_PTR count, HWND window, void* record, Scx3DObject* object,
                          INT_PTR extra);
INT_PTR ScatterObjectHandler(UINT command, INT_PTR count, HWND window, void* record, Scx3DObject* object,
                             INT_PTR extra);
INT_PTR MeshObjectHandler(UINT command, INT_PTR count, HWND window, void* record, Scx3DObject* object,
                          INT_PTR extra);
INT_PTR SideWallObjectHandler(UINT command, INT_PTR count, HWND window, void* record, Scx3DObject* object,
                              INT_PTR extra);
INT_PTR PatchObjectHandler(UINT command, INT_PTR count, HWND window, void* record, Scx3DObject* object,
                           INT_PTR extra);

// One bar at `point` with half-widths (x, y); bar index `a` < 0 stands it along Y and
// hands its faces to the callback of `attributes`, tagged with `value`.
void MeshDrawBar(const Scx3DView* view, const float point[3], int a, const int32_t half[2], int value,
                 const Scx3DAttributes* attributes);

// Marks in a bar mesh's cell piece which corners' bars the cell draws in the
// cell-by-cell pass (see the mesh object).
void MeshMarkCellBars(const Scx3DView* v, const Scx3DObject* mesh, int rowLine, int columnLine, uint8_t* piece);

// ---- Mesh cells and the banded surface primitives
#pragma pack(push, 1)
// One cell: the world points of its corners (r, c), (r, c'), (r', c'), (r', c), then
// their device points. Edges c0-c1 and c2-c3 run along X (the first grid direction).
struct MeshCell {
    float world[4][3];
    int32_t device[4][2];
};
#pragma pack(pop)
static_assert(sizeof(MeshCell) == 80, "layout");

// The object's callback; 0 when it has none.
INT_PTR AskObject(const Scx3DAttributes* a, UINT code, INT_PTR a1 = 0, INT_PTR a2 = 0, INT_PTR a3 = 0,
                  INT_PTR a4 = 0);
POINT WorldToDevice(const Scx3DView* v, const float* world);
void DrawSegmentLine(HDC dc, POINT a, POINT b);
// Which grid directions of a mesh carry lines (attribute byte 11, bits 0x20 and 0x40).
struct CellLines {
    bool first, second; // lines along X (constant y), lines along Y (constant x)
};
CellLines LineDirections(const Scx3DAttributes* a);

// The factor that puts the point at height `bound` on edge b -> a at b + f (a - b).
// With both points null, sets the module's edge-factor mode to `bound` (0 or 1).
float EdgeFactor(const float* a, const float* b, float bound);
// Sorts three points highest first; the edge flags (edge k from point k to k + 1), when
// given, follow their edges.
void OrderByHeight(const float* p[3], int* flags);
// The part of a triangle between zLow and zHigh: 0 nothing, 1 all of it, otherwise the
// number of corners (3 to 5) written to `out`, with the flag of the edge leaving each.
int ClipTriangleToSlab(float zLow, float zHigh, const float tri[3][3], const int* flags, float out[5][3],
                       int* outFlags);
int DrawSlabTriangle(HDC dc, const float tri[3][3], const int flags[3], float zLow, float zHigh,
                     const Scx3DView* v, bool fill);
int DrawSlabCell(HDC dc, const float w[4][3], int first, int second, float zLow, float zHigh,
                 const Scx3DView* v, bool fill);
int DrawSlabSegment(HDC dc, const float a[3], const float b[3], float zLow, float zHigh, const Scx3DView* v);
// 0 both ends below zLow, 1 both above zHigh, 2 drawn (3 with the ends exchanged); with
// no view the clipped ends, lower first, are written back instead.
int DrawRangeEdge(float p[3], float q[3], float zHigh, float zLow, const Scx3DView* v);
int FillQuadWithEdges(HDC dc, const POINT p[4], bool first, bool second);
// Answers 1 when the caller still has to draw the cell's grid lines.
int FillBandedTriangle(const float A[3], const float B[3], const float C[3], const Scx3DView* v,
                       const Scx3DAttributes* a, float zHigh, float zLow, int part);
// Part 0 the surface, 1 its floor shadow, 2 its lid shadow.
int DrawBandedCell(const MeshCell* cell, const Scx3DView* v, const Scx3DAttributes* a, int part);

// Mesh cells of kinds 0 to 2. The clip code: 5 skip the cell; otherwise the low byte the
// X side of the clip rectangle that cut it (1 from, 2 to), the high byte the Y side
// (4 from, 3 to). The cell is rewritten in the canonical corner order (smallest x,
// largest y) first, then clockwise seen from above.
int MeshClipCell(MeshCell* cell, const Scx3DAttributes* a, const Scx3DView* v);
void MeshDrawCell(MeshCell* cell, const Scx3DView* v, const Scx3DAttributes* a, int part);
int MeshDrawCellPanels(int code, const MeshCell* cell, const Scx3DView* v, const Scx3DAttributes* a);
// A strip of 2n points: one grid line out, the next one back.
void MeshDrawStrip(const Scx3DView* v, const POINT* device, const float (*world)[3], int count,
                   const Scx3DAttributes* a);
// Side k (0 to 3) of the whole mesh, from floor corner k to the next, down to wallZ.
void MeshDrawSide(const Scx3DObject* o, const Scx3DView* v, int side);

// ---- Polygon geometry (points are float triples)
void PolygonNormal(int n, const float* corners, float normal[3]);
const float* PlaneReference(int n, const float* corners);
bool LinePlaneParameter(int n, const float* corners, const float e[3], const float d[3], float* t);
void PointOnLine(const float e[3], const float d[3], float t, float out[3]);
bool FacesAway(int n, const Scx3DView* view, const float* corners);

// Movable blocks: lock and unlock paired within one call.
template <typename T> T* LockBlock(HGLOBAL block) { return static_cast<T*>(GlobalLock(block)); }
inline Scx3DPoint* ObjectPoints(Scx3DObject* object, HGLOBAL* locked)
{
    *locked = nullptr;
    if (!(object->storage & SCX3D_STORAGE_POINT_BLOCK))
        return object->inlinePoints;
    *locked = object->grid.pointBlock;
    return *locked ? static_cast<Scx3DPoint*>(GlobalLock(*locked)) : nullptr;
}
