// The bucket grid: a regular XY grid over the box whose cells hold the 3D pieces whose
// reference point falls inside them, each cell's list sorted by depth. Painting cell by
// cell from the far corner, each list back to front, lets GDI's painting order hide what
// lies behind without a depth buffer. One grid exists per process at a time.
#include "Surface.h"

#include <math.h>
#include <string.h>

#include <vector>

namespace {

struct CellList {
    std::vector<BucketPiece> pieces; // in drawing order
};

struct Grid {
    BucketGridSpec spec;
    int cellRows = 0, cellColumns = 0;
    std::vector<CellList*> cells; // null until a piece lands in the cell
    int currentRow = 0, currentColumn = 0;
    bool horizontal = true;
    float boxY = 0, boxZ = 0;

    CellList*& At(int row, int column)
    {
        if (row >= cellRows) row = cellRows - 1;
        if (column >= cellColumns) column = cellColumns - 1;
        return cells[(size_t)row * cellColumns + column];
    }
    ~Grid()
    {
        for (CellList* list : cells)
            delete list;
    }
};

Grid* g_grid = nullptr;


// Adds grid lines until the grid covers 0 .. box on one axis.
void Cover(float* first, float step, uint16_t* lines, float box)
{
    if (!(step > 0))
        return;
    if (*first > 0) {
        int k = (int)(*first / step + 1);
        *lines = (uint16_t)(*lines + k);
        *first -= k * step;
    }
    double n = box - *first - (*lines - 1) * (double)step;
    if (n > 0)
        *lines = (uint16_t)(*lines + (int)(n / step + 1));
}

void SetUp(BucketGridSpec* spec, Scx3DView* view)
{
    delete g_grid;
    g_grid = nullptr;
    int q = (spec->gridFlags >> 8) & 3;
    bool a = (spec->gridFlags & BUCKET_WALK_ROWS_OUTER) != 0, b = (spec->gridFlags & BUCKET_WALK_NEXT) != 0;
    bool r = a != b;
    int rowCorner0 = kWalkCorner[q][0], colCorner0 = kWalkCorner[q][1];
    int rowCorner1 = kWalkCorner[r ? NextCorner(q) : PrevCorner(q)][0];
    int colCorner1 = kWalkCorner[r ? PrevCorner(q) : NextCorner(q)][1];
    Cover(&spec->x0, spec->dx, &spec->columns, view->boxX);
    Cover(&spec->y0, spec->dy, &spec->rows, view->boxY);
    spec->rowCorner0 = (int16_t)(rowCorner0 * (spec->rows - 1));
    spec->rowCorner1 = (int16_t)(rowCorner1 * (spec->rows - 1));
    spec->colCorner0 = (int16_t)(colCorner0 * (spec->columns - 1));
    spec->colCorner1 = (int16_t)(colCorner1 * (spec->columns - 1));
    spec->rowStep = (spec->gridFlags & BUCKET_ROWS_DOWN) ? -1 : 1;
    spec->colStep = (spec->gridFlags & BUCKET_COLUMNS_DOWN) ? -1 : 1;
    memcpy(view->bucketSpec, spec, sizeof *spec);
    if (spec->rows < 2 || spec->columns < 2)
        return;
    Grid* grid = new (std::nothrow) Grid;
    if (!grid)
        return;
    grid->spec = *spec;
    grid->cellRows = spec->rows - 1;
    grid->cellColumns = spec->columns - 1;
    grid->cells.assign((size_t)grid->cellRows * grid->cellColumns, nullptr);
    grid->horizontal = view->horizontal != 0;
    grid->boxY = view->boxY;
    grid->boxZ = view->boxZ;
    g_grid = grid;
}

// The cell of a coordinate; a point on the last line joins the last cell.
int CellIndex(double s, float first, float step, int lines)
{
    double offset = s - first;
    if (fabs((lines - 1) * (double)step - offset) < 0.001)
        return lines - 2;
    return (int)(offset / step);
}

void InsertPlain(CellList* list, const BucketPiece& piece, const Scx3DView* view)
{
    // Far pieces first: from above (or in an upright view) the higher z is farther, from
    // below the floor the lower z is.
    bool descending = view->eyeWorld[2] > 0 || !view->horizontal;
    float key = piece.reference[2];
    auto it = list->pieces.begin();
    for (; it != list->pieces.end(); ++it)
        if (descending ? it->reference[2] < key : it->reference[2] > key)
            break;
    list->pieces.insert(it, piece);
}

// A bar goes last in its cell. The surface pieces of the cell within the bar's depth
// range that lie on the eye's side of its face plane would then be hidden by the bar, so
// they move behind it in the list (keeping their order) and are drawn over it; those on
// the far side stay before it.
void InsertBar(CellList* list, const BucketPiece& bar, const Scx3DView* view)
{
    float zLow = 1e7f, zHigh = -1e7f;
    for (const float* c : bar.corners) {
        zLow = c[2] < zLow ? c[2] : zLow;
        zHigh = c[2] > zHigh ? c[2] : zHigh;
    }
    const float* c0 = bar.corners[0];
    double u[3], w[3], n[3];
    for (int i = 0; i < 3; ++i) {
        u[i] = (double)bar.corners[1][i] - c0[i];
        w[i] = (double)bar.corners[2][i] - c0[i];
    }
    n[0] = u[1] * w[2] - u[2] * w[1];
    n[1] = u[2] * w[0] - u[0] * w[2];
    n[2] = u[0] * w[1] - u[1] * w[0];
    auto side = [&](const float* p) {
        return n[0] * ((double)p[0] - c0[0]) + n[1] * ((double)p[1] - c0[1]) + n[2] * ((double)p[2] - c0[2]);
    };
    double eyeSide = side(view->eyeWorld);
    std::vector<BucketPiece> behind, inFront;
    for (const BucketPiece& piece : list->pieces) {
        bool surface = piece.kind == BUCKET_PIECE_SURFACE;
        float key = piece.reference[2];
        double s = side(piece.reference);
        if (surface && key >= zLow && key <= zHigh && eyeSide != 0 && s * eyeSide > 0)
            inFront.push_back(piece);
        else
            behind.push_back(piece);
    }
    behind.push_back(bar);
    behind.insert(behind.end(), inFront.begin(), inFront.end());
    list->pieces.swap(behind);
}

INT_PTR Insert(const BucketPiece* piece, const Scx3DView* view)
{
    if (!g_grid || !piece)
        return 1;
    CellList*& list = g_grid->At(g_grid->currentRow, g_grid->currentColumn);
    if (!list)
        list = new CellList;
    if (piece->kind == BUCKET_PIECE_BAR)
        InsertBar(list, *piece, view);
    else
        InsertPlain(list, *piece, view);
    return 0;
}

INT_PTR Fill(const BucketPiece* piece, const Scx3DView* view)
{
    if (!g_grid || !piece)
        return 1;
    const BucketGridSpec& s = g_grid->spec;
    double x = piece->reference[0];
    double second = g_grid->horizontal ? piece->reference[1]
                                       : piece->reference[2] * (double)g_grid->boxY / g_grid->boxZ;
    int row = CellIndex(second, s.y0, s.dy, s.rows);
    int column = CellIndex(x, s.x0, s.dx, s.columns);
    if (row < 0 || row >= s.rows - 1 || column < 0 || column >= s.columns - 1)
        return 1;
    g_grid->currentRow = row;
    g_grid->currentColumn = column;
    return Insert(piece, view);
}

INT_PTR g_drawCallback = 0;

void DrawList(CellList* list, INT_PTR selector, void* view)
{
    for (BucketPiece& piece : list->pieces) {
        if (piece.kind == BUCKET_PIECE_SURFACE && (piece.flags & BUCKET_PIECE_HIDDEN))
            continue;
        ObjectCommand(SCX3D_OBJ_DRAW_PIECE, 0, reinterpret_cast<HWND>(selector), view, &piece, g_drawCallback);
    }
}

// The parts of a mesh cell: one drawn now, or one put into the cell's list to be drawn
// among its pieces in depth order.
void RequestPart(BucketPiece* cell, int part, INT_PTR selector, void* view)
{
    ObjectCommand(SCX3D_OBJ_DRAW_PIECE, part, reinterpret_cast<HWND>(selector), view, cell, g_drawCallback);
}

void InsertPart(CellList* list, const BucketPiece& cell, int part, const Scx3DView* view)
{
    BucketPiece piece = cell;
    piece.bytes2[0] = (uint8_t)(BUCKET_PIECE_MESH_PART | part);
    InsertPlain(list, piece, view);
}

INT_PTR DrawCell(INT_PTR a, INT_PTR b, Scx3DView* view, Scx3DObject* mesh, INT_PTR drawCallback)
{
    if (!g_grid)
        return 1;
    const BucketGridSpec& s = g_grid->spec;
    int row = (int)(s.rowStep == -1 ? a - 1 : a);
    int column = (int)(s.colStep == -1 ? b - 1 : b);
    if (row < 0 || row >= g_grid->cellRows || column < 0 || column >= g_grid->cellColumns)
        return 0;
    g_grid->currentRow = row;
    g_grid->currentColumn = column;
    INT_PTR selector = (s.gridFlags & BUCKET_WALK_ROWS_OUTER) ? row : column;
    g_drawCallback = drawCallback;
    CellList*& list = g_grid->At(row, column);
    // A cell that lies inside the pass's mesh interleaves the mesh's own parts with its
    // list; one outside it draws its list alone. Part 0 is the cell itself, 1 and 2 what
    // lies below and above it, ordered by where the eye is.
    BucketPiece cell;
    memset(&cell, 0, sizeof cell);
    if (mesh) {
        cell.kind = (uint16_t)(mesh->kind | (mesh->storage << 8));
        if (!ObjectCommand(SCX3D_OBJ_MESH_CELL, a, reinterpret_cast<HWND>(b), view, mesh,
                           reinterpret_cast<INT_PTR>(reinterpret_cast<uint8_t*>(&cell) + 4)))
            mesh = nullptr;
        else
            memcpy(reinterpret_cast<uint8_t*>(&cell) + 88, &mesh->attributes, sizeof mesh->attributes);
        if (mesh && mesh->attributes.bytes[6] == 3)
            MeshMarkCellBars(view, mesh, (int)a, (int)b, reinterpret_cast<uint8_t*>(&cell));
    }
    if (!mesh) {
        if (list)
            DrawList(list, selector, view);
        return 0;
    }
    bool above = view->boxZ > view->eyeWorld[2], over = view->eyeWorld[2] > 0;
    // The cell itself goes into its list too, so that the pieces in front of it are
    // drawn over it and those behind it under it.
    if (list) {
        if (above && over) {
            RequestPart(&cell, 1, 0, view);
            InsertPart(list, cell, 2, view);
            InsertPart(list, cell, 0, view);
            DrawList(list, selector, view);
        } else {
            InsertPart(list, cell, above ? 2 : 1, view);
            InsertPart(list, cell, 0, view);
            DrawList(list, selector, view);
            RequestPart(&cell, above ? 1 : 2, 0, view);
        }
    } else if (above && over) {
        RequestPart(&cell, 1, 0, view);
        RequestPart(&cell, 2, 0, view);
        RequestPart(&cell, 0, selector, view);
    } else if (above) {
        RequestPart(&cell, 2, 0, view);
        RequestPart(&cell, 0, selector, view);
        RequestPart(&cell, 1, 0, view);
    } else {
        RequestPart(&cell, 1, 0, view);
        RequestPart(&cell, 0, selector, view);
        RequestPart(&cell, 2, 0, view);
    }
    return 0;
}

} // namespace

const std::vector<BucketPiece>* BucketCell(int row, int column)
{
    if (!g_grid || row < 0 || column < 0 || row >= g_grid->cellRows || column >= g_grid->cellColumns)
        return nullptr;
    CellList* list = g_grid->At(row, column);
    return list ? &list->pieces : nullptr;
}

extern "C" INT_PTR WINAPI BucketGrids(int code, INT_PTR a, INT_PTR b, void* record, void* other, void* view)
{
    switch (code) {
    case 1:
        SetUp(static_cast<BucketGridSpec*>(record), static_cast<Scx3DView*>(other));
        return 0;
    case 3: return Fill(static_cast<const BucketPiece*>(record), static_cast<const Scx3DView*>(view));
    case 4:
        return DrawCell(a, b, static_cast<Scx3DView*>(record), static_cast<Scx3DObject*>(other),
                        reinterpret_cast<INT_PTR>(view));
    case 6:
        if (record) {
            delete g_grid;
            g_grid = nullptr;
        }
        return 0;
    default: return 0;
    }
}

extern "C" INT_PTR WINAPI BucketControl(void* grid, INT_PTR a, void* piece, void* view, int code)
{
    switch (code) {
    case 0:
        if (!g_grid)
            return 1;
        if (!g_grid->At(g_grid->currentRow, g_grid->currentColumn))
            g_grid->At(g_grid->currentRow, g_grid->currentColumn) = new CellList;
        return 0;
    case 1: return Insert(static_cast<const BucketPiece*>(piece), static_cast<const Scx3DView*>(view));
    case 2:
        if (g_grid)
            if (CellList* list = g_grid->At(g_grid->currentRow, g_grid->currentColumn))
                DrawList(list, a, view);
        return 0;
    default: return 0;
    }
}
