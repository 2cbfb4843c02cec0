// The 3D engine's interface with the kernel: the callbacks the kernel supplies, the
// plot-host request codes, the view record of a 3D layer and the object store.
//
// The kernel owns every record here; the engine reads and writes them in place during
// one call and keeps no pointer to them between calls.
//
// Width rules (the engine is built 64-bit):
// - Callback arguments, contexts and results are pointer-sized, because they carry
//   windows, blocks, records and function pointers.
// - The view record keeps its 731 bytes: the kernel stores it with the layer. Its two
//   fields that hold something pointer-like are handled so: the plot-host callback the
//   kernel binds through command 33 sits in the first 8 of the 10 leading bytes that the
//   engine otherwise carries unchanged; the device context stays an int32, which holds
//   any GDI handle (GDI handles keep 32 significant bits, sign-extended).
// - The object store never meets a file (the kernel rebuilds it from the layer's data),
//   so its handle and callback fields are widened in place; every field after a widened
//   one moves by the widening. The offsets below are the layout both sides compile.
#pragma once

#include <windows.h>
#include <stddef.h>
#include <stdint.h>

#include "QKPlotHost.h" // the plot-host callback, its requests and the colour hook

// ---------------------------------------------------------------------------------------
// Callbacks

// The per-object callback kept in each object's attributes, with the user value beside it.
typedef INT_PTR(WINAPI* Plot3DObjectCallback)(INT_PTR user, UINT code, INT_PTR a1, INT_PTR a2,
                                              INT_PTR a3, INT_PTR a4);

// The drawing callback handed to the paint commands: (code, three operands).
typedef INT_PTR(WINAPI* Scx3DDrawCallback)(UINT code, INT_PTR a1, INT_PTR a2, INT_PTR a3);

// Codes of the drawing callback used by the line and polygon objects.
enum Scx3DDrawCode : UINT {
    SCX3D_DRAW_BEGIN = 0,      // (0, 0, 0)
    SCX3D_DRAW_END = 2,        // (0, 0, 0)
    SCX3D_DRAW_ATTRIBUTES = 4, // (attributes, 0, 0): select the object's pen and brush
    SCX3D_DRAW_RESTORE = 5,    // (0, 0, 0): put the previous pen and brush back
    SCX3D_DRAW_POINT_EVEN = 10, // (0, device point, 0): a line segment's start
    SCX3D_DRAW_POINT_ODD = 11,  // (0, device point, 0): a line segment's end
};

// ---------------------------------------------------------------------------------------
// The view record of a 3D layer

// Bits of Scx3DView::state.
enum : uint8_t {
    SCX3D_STATE_PERSPECTIVE = 0x01, // the perspective changed (with REPROJECT)
    SCX3D_STATE_EXTENT = 0x04,      // the extent must be recomputed
    SCX3D_STATE_REPROJECT = 0x08,   // objects must be reprojected
    SCX3D_STATE_WALLS = 0x10,       // the wall sides changed
};

// Bits of Scx3DView::walls.
enum : uint8_t {
    SCX3D_WALL_Z = 0x01,
    SCX3D_WALL_X = 0x02,
    SCX3D_WALL_Y = 0x04,
    SCX3D_WALLS_FOLLOW_EYE = 0x08,
    SCX3D_WALL_Z_FAR = 0x10,
    SCX3D_WALL_X_FAR = 0x20,
    SCX3D_WALL_Y_FAR = 0x40,
    SCX3D_WALLS_CLIP_SCATTER = 0x80,
};

#pragma pack(push, 1)
struct Scx3DView {
    PlotHostCallback hostCallback; // 0x00: bound by command 33
    uint8_t carried0[2];
    float eyeLocal[3];             // 0x0A: (0, 0, eye distance); [2] is the eye distance D
    float legacyScale;             // 0x16: > 100: box sizes still in unit measure
    float pixelScale;              // 0x1A: device pixels per projected world unit
    float rotation;                // 0x1E: degrees
    float roll;                    // 0x22
    float tilt;                    // 0x26
    float accumulated[3];          // 0x2A: [1] and [2] summed by the viewing-axis rotations
    float viewMatrix[16];          // 0x36: world to viewing, row vectors, row by row
    float viewDir[3];              // 0x76
    float viewUp[3];               // 0x82
    float boxCentre[3];            // 0x8E
    float axisU[3];                // 0x9A
    float axisV[3];                // 0xA6
    float axisW[3];                // 0xB2
    int16_t stepAxis;              // 0xBE
    float stepAngle;               // 0xC0
    float perspective;             // 0xC4: degrees, 0.001 .. 30.001
    uint8_t state;                 // 0xC8
    uint8_t horizontal;            // 0xC9
    float xyRect[4];               // 0xCA: X from, X to, Y to, Y from
    uint8_t carried1[0x199 - 0xDA];
    uint8_t oldWalls;              // 0x199: wall bits of records before version 3
    uint8_t wallColour[3];         // 0x19A: Z, X, Y
    float wallZ;                   // 0x19D
    float wallX;                   // 0x1A1
    float wallY;                   // 0x1A5
    float eyeWorld[3];             // 0x1A9
    uint8_t bucketSpec[34];        // 0x1B5
    uint8_t viewOptions;           // 0x1D7
    int16_t gridCount1;            // 0x1D8
    int16_t gridCount2;            // 0x1DA
    float boxX;                    // 0x1DC
    float boxY;                    // 0x1E0
    float boxZ;                    // 0x1E4
    float screenOffsetX;           // 0x1E8
    float screenOffsetY;           // 0x1EC
    float extent[4];               // 0x1F0: y minimum, x maximum, y maximum, x minimum
    float wallDepthUnit;           // 0x200
    uint8_t flat;                  // 0x204
    float flatMatrix[16];          // 0x205
    uint8_t walls;                 // 0x245
    uint8_t version;               // 0x246
    int32_t deviceContext;         // 0x247
    int32_t viewport[4];           // 0x24B: left, top, right, bottom
    int32_t frameFlag;             // 0x25B: negative: a box frame is added
    uint8_t frameAttr0;            // 0x25F
    uint8_t carried2[3];
    uint8_t frameAttr1;            // 0x263
    uint8_t carried3;
    int16_t frameAttr2;            // 0x265
    uint8_t carried4[0x2DB - 0x267];
};
#pragma pack(pop)

static_assert(sizeof(Scx3DView) == 731, "the view record is stored by the kernel");
static_assert(offsetof(Scx3DView, eyeLocal) == 0x0A, "layout");
static_assert(offsetof(Scx3DView, viewMatrix) == 0x36, "layout");
static_assert(offsetof(Scx3DView, stepAxis) == 0xBE, "layout");
static_assert(offsetof(Scx3DView, xyRect) == 0xCA, "layout");
static_assert(offsetof(Scx3DView, oldWalls) == 0x199, "layout");
static_assert(offsetof(Scx3DView, eyeWorld) == 0x1A9, "layout");
static_assert(offsetof(Scx3DView, viewOptions) == 0x1D7, "layout");
static_assert(offsetof(Scx3DView, boxX) == 0x1DC, "layout");
static_assert(offsetof(Scx3DView, extent) == 0x1F0, "layout");
static_assert(offsetof(Scx3DView, flat) == 0x204, "layout");
static_assert(offsetof(Scx3DView, walls) == 0x245, "layout");
static_assert(offsetof(Scx3DView, deviceContext) == 0x247, "layout");
static_assert(offsetof(Scx3DView, frameFlag) == 0x25B, "layout");
static_assert(offsetof(Scx3DView, frameAttr2) == 0x265, "layout");

// ---------------------------------------------------------------------------------------
// The object store: one movable block, a header and `capacity` object records.

enum : uint32_t {
    SCX3D_STORE_HEADER_SIZE = 128,
    SCX3D_OBJECT_SIZE = 144,
    SCX3D_ATTRIBUTE_SIZE = 40,
    SCX3D_DESCRIPTION_SIZE = 8 + SCX3D_ATTRIBUTE_SIZE,
    SCX3D_POINT_SIZE = 20,
    SCX3D_INLINE_POINTS = 4,
    SCX3D_DEFAULT_CAPACITY = 500,
};

// Bits of Scx3DObject::storage.
enum : uint8_t {
    SCX3D_STORAGE_POINT_BLOCK = 0x10, // the points live in pointBlock
    SCX3D_STORAGE_AUX_BLOCK = 0x20,   // auxBlock belongs to the object
};

#pragma pack(push, 1)
struct Scx3DStoreHeader {
    uint32_t count;     // objects in use
    uint32_t capacity;  // objects the block has room for
    HGLOBAL extraBlock; // the drawing order, freed and duplicated with the store
    int32_t owner;      // given at creation; its byte 1 carries store-wide pass flags
    uint8_t zero[SCX3D_STORE_HEADER_SIZE - 20];
};

struct Scx3DPoint {
    float x, y, z;          // world coordinates, 0 .. box size
    int32_t deviceX, deviceY; // filled by projection
};

// Attributes: bytes 0-15 are the type's, then the object callback's user value and the
// callback itself, then the type's bytes 32-39.
struct Scx3DAttributes {
    uint8_t bytes[16];
    INT_PTR callbackUser;
    Plot3DObjectCallback callback;
    uint8_t more[8];
};

// The grid of a mesh object, kept at the object's point area (the point-block handle
// inside it, widened) and given in the mesh's description.
struct MeshGridSpec {
    uint8_t carried0[2];
    HGLOBAL pointBlock;       // in the object: the point block
    uint16_t meshColumns;     // grid lines along X (points per row)
    uint16_t meshRows;        // grid lines along Y
    uint16_t meshWalkFlags;   // the gridFlags of the current pass
    float meshX0, meshDx;
    float meshY0, meshDy;
    int16_t meshRowOffset;    // bucket-grid row of the mesh's first row
    int16_t meshColumnOffset;
    int16_t indexScale;       // factors of the hit index mapping
    int16_t columnStride;
    int16_t rowStride;
    uint8_t carried1[4];
};

struct Scx3DObject {
    uint8_t kind;             // low 4 bits: the object type
    uint8_t storage;
    int32_t pointCount;
    uint8_t patchLevel[4];
    int16_t objectId;         // 0: never reported by the hit test
    Scx3DAttributes attributes;
    HGLOBAL auxBlock;         // with SCX3D_STORAGE_AUX_BLOCK
    float depthKey;           // sort key of the drawing order
    union {
        Scx3DPoint inlinePoints[SCX3D_INLINE_POINTS];
        struct {
            uint8_t gridHead[2];
            HGLOBAL pointBlock; // with SCX3D_STORAGE_POINT_BLOCK: pointCount + 1 points
            uint8_t gridRest[32];
            float pointValue;   // with SCX3D_STORAGE_POINT_BLOCK: the add's extra value
            uint8_t gridTail[34];
        } grid;
        MeshGridSpec mesh;
    };
};

// The object records of a locked store.
inline Scx3DObject* StoreObjects(Scx3DStoreHeader* header)
{
    return reinterpret_cast<Scx3DObject*>(reinterpret_cast<uint8_t*>(header) + SCX3D_STORE_HEADER_SIZE);
}

// What the kernel passes to add a text object (its own form): anchors inline, the text
// separately.
#pragma pack(push, 1)
struct TextDescription {
    uint8_t kind, storage;
    int32_t pointCount;   // anchors, up to 4
    int16_t objectId;
    float anchors[4][3];
    uint8_t attributes[16]; // int16 at 4: text height; byte 8: alignment code
};
#pragma pack(pop)

// What the kernel passes to add a mesh; the z values come separately, row by row.
struct MeshDescription {
    uint8_t kind;
    uint8_t storage;
    int32_t pointCount;   // meshColumns * meshRows
    int16_t objectId;
    MeshGridSpec grid;
    Scx3DAttributes attributes;
};

// What a caller passes to add an object; the points come separately as float triples.
struct Scx3DDescription {
    uint8_t kind;
    uint8_t storage;
    int32_t pointCount;
    int16_t objectId;
    Scx3DAttributes attributes;
};

// The record filled by a hit test.
struct Scx3DHit {
    uint16_t kindWord;   // bytes 0 and 1 of the object
    int16_t objectId;
    int32_t rect[4];     // left, top, right, bottom of the square that was hit
    int32_t deviceX, deviceY;
    int32_t pointIndex;
};
#pragma pack(pop)

static_assert(sizeof(Scx3DStoreHeader) == SCX3D_STORE_HEADER_SIZE, "layout");
static_assert(offsetof(Scx3DStoreHeader, owner) == 16, "layout");
static_assert(sizeof(Scx3DPoint) == SCX3D_POINT_SIZE, "layout");
static_assert(sizeof(Scx3DAttributes) == SCX3D_ATTRIBUTE_SIZE, "layout");
static_assert(sizeof(Scx3DObject) == SCX3D_OBJECT_SIZE, "layout");
static_assert(offsetof(Scx3DObject, objectId) == 10, "layout");
static_assert(offsetof(Scx3DObject, attributes) == 12, "layout");
static_assert(offsetof(Scx3DObject, auxBlock) == 52, "layout");
static_assert(offsetof(Scx3DObject, depthKey) == 60, "layout");
static_assert(offsetof(Scx3DObject, inlinePoints) == 64, "layout");
static_assert(offsetof(Scx3DObject, grid.pointBlock) == 66, "layout");
static_assert(offsetof(Scx3DObject, grid.pointValue) == 106, "layout");
static_assert(sizeof(Scx3DDescription) == SCX3D_DESCRIPTION_SIZE, "layout");
static_assert(sizeof(MeshGridSpec) == 46, "layout");
static_assert(offsetof(MeshGridSpec, meshColumns) == 10, "layout");
static_assert(offsetof(MeshGridSpec, meshRowOffset) == 32, "layout");
static_assert(offsetof(Scx3DObject, mesh.pointBlock) == offsetof(Scx3DObject, grid.pointBlock), "layout");
static_assert(offsetof(MeshDescription, attributes) == 54, "layout");
static_assert(sizeof(TextDescription) == 72, "layout");
static_assert(offsetof(TextDescription, attributes) == 56, "layout");
static_assert(sizeof(Scx3DHit) == 32, "layout");

// ---------------------------------------------------------------------------------------
// The bucket grid: per-cell lists of 3D pieces, sorted by depth.

// Bits of BucketGridSpec::gridFlags.
enum : uint16_t {
    BUCKET_QUADRANT_MASK = 0x0300, // the far corner q, bits 8-9
    BUCKET_WALK_ROWS_OUTER = 0x0400,
    BUCKET_WALK_NEXT = 0x0800,
    BUCKET_ROWS_DOWN = 0x1000,
    BUCKET_COLUMNS_DOWN = 0x2000,
};

#pragma pack(push, 1)
struct BucketGridSpec {
    uint16_t columns;  // grid lines along X (cells: columns - 1)
    uint16_t rows;     // grid lines along the second axis (Y, or Z in an upright view)
    uint16_t gridFlags;
    float x0, dx;      // first line and spacing on X, world units
    float y0, dy;      // ... on the second axis
    int16_t rowCorner0, rowCorner1, colCorner0, colCorner1; // line indices of the walk
    int16_t rowStep, colStep;
};

// A piece of an object put into a cell. Widened like the object records: the callback
// pair is pointer-sized, and the bytes after it follow.
struct BucketPiece {
    uint16_t kind;          // BUCKET_PIECE_SURFACE, BUCKET_PIECE_BAR or a plain piece;
                            // its low 4 bits name the object type that draws it
    uint8_t bytes2[2];
    union {
        float corners[4][3]; // a bar's four corners; the last is the reference point
        struct {
            uint8_t before[36];
            float reference[3]; // 40: x, y, z in world units; z is the sort key
        };
    };
    uint8_t bytes52[84 - 52];
    uint8_t flags;          // 84: BUCKET_PIECE_HIDDEN, BUCKET_PIECE_SPLIT, bits 0-1 to the callback
    uint8_t bytes85[104 - 85];
    INT_PTR callbackUser;   // 104
    Plot3DObjectCallback callback; // 112
    uint8_t bytes120[12];
};
#pragma pack(pop)

enum : uint16_t {
    BUCKET_PIECE_SURFACE = 0x1000,
    BUCKET_PIECE_BAR = 0x5002,
};
enum : uint8_t {
    BUCKET_PIECE_HIDDEN = 0x08,
    BUCKET_PIECE_SPLIT = 0x10,
};
// Byte 2 of a mesh cell's piece that the cell's own list draws: this mark and the part.
enum : uint8_t { BUCKET_PIECE_MESH_PART = 0x80 };

static_assert(sizeof(BucketGridSpec) == 34, "the grid description is copied into the view record");
static_assert(offsetof(BucketGridSpec, rowCorner0) == 22, "layout");
static_assert(offsetof(BucketPiece, reference) == 40, "layout");
static_assert(offsetof(BucketPiece, flags) == 84, "layout");
static_assert(offsetof(BucketPiece, callbackUser) == 104, "layout");
static_assert(sizeof(BucketPiece) == 132, "layout");

// ---------------------------------------------------------------------------------------
// The colour map, kept by the kernel in the named block "ZCOLORS" (its older form, the
// 3D colour record, under "3DCOLOR"). Both are stored with the project: sizes are fixed.

#pragma pack(push, 1)
struct ZColorSlot {
    int32_t colour;   // 0x00BBGGRR
    int16_t level;    // scale units
    int32_t object;   // a GDI brush the kernel keeps for the slot (GDI handles fit 32 bits)
};

struct ZColorsBlock {
    int16_t version;      // 3850
    int16_t scaleHigh;    // 2300
    int16_t scaleLow;     // 0
    int16_t levelMin, levelMax;           // scale units
    int16_t secondHigh, secondLow;        // scale units
    int32_t colourBelow, colourAbove;
    int16_t n;            // colour bands
    int16_t lastSlot;     // n + 23
    int32_t rampLow, rampHigh, rampMiddle;
    int32_t colourMissing;
    double zMin, zMax, zMissing;
    int16_t rampMode;     // 0, 1 or 2
    int16_t flags;        // ZCOLORS_BY_RAMP, ZCOLORS_EVEN_LEVELS
    int16_t digits;       // bits 0-3: significant digits of level texts
    int16_t scaleKind;    // ZCOLORS_LOG: natural logarithm, else linear
    uint8_t reserved[102 - 74];
    ZColorSlot slots[1];  // n + 24 of them
};

struct Legacy3DColors {
    float levelMin, levelMax;   // real Z
    int32_t colourBelow, colourAbove;
    int16_t bands;              // at most 31
    int32_t rampLow, rampHigh, rampMiddle;
    int32_t bandColours[32];
    float secondHigh, secondLow;
    float zMin, zMax;
    uint8_t rampMode;
    uint8_t spare;
};
#pragma pack(pop)

enum : int16_t {
    ZCOLORS_VERSION = 3850,
    ZCOLORS_BY_RAMP = 0x01,
    ZCOLORS_EVEN_LEVELS = 0x02,
    ZCOLORS_LOG = 1,
};

static_assert(offsetof(ZColorsBlock, colourBelow) == 14, "layout");
static_assert(offsetof(ZColorsBlock, n) == 22, "layout");
static_assert(offsetof(ZColorsBlock, zMin) == 42, "layout");
static_assert(offsetof(ZColorsBlock, rampMode) == 66, "layout");
static_assert(offsetof(ZColorsBlock, scaleKind) == 72, "layout");
static_assert(offsetof(ZColorsBlock, slots) == 102, "layout");
static_assert(sizeof(ZColorSlot) == 10, "layout");
static_assert(sizeof(Legacy3DColors) == 176, "layout");
static_assert(offsetof(Legacy3DColors, bandColours) == 30, "layout");
static_assert(offsetof(Legacy3DColors, secondHigh) == 158, "layout");
static_assert(offsetof(Legacy3DColors, rampMode) == 174, "layout");

inline size_t ZColorsSize(int n) { return 342 + 10 * (size_t)n; }

// A formatting callback the kernel hands in (code 19): it may change a legend value
// before it is written; `code` is 22.
typedef void(WINAPI* ColourFormatCallback)(INT_PTR context, UINT code, double* value);

// ---------------------------------------------------------------------------------------
// Contours

// The kernel's contour grid as the contouring reads it: values on the colour map's
// 16-bit scale, node (column j, row k) at values[k * stride + j].
struct ContourGridView {
    int rows;
    int cols;
    int stride;
    float* values;
    int perturbationDone; // set once the values that equalled a level were moved off it
};

enum : uint8_t {
    CONTOUR_EDGE = 7,  // a line that starts on the border, closed along it
    CONTOUR_INNER = 8, // a closed line inside the grid
};

// One contour line. Kept in memory only (lines are computed again after loading), so the
// point list's handle is pointer-sized.
#pragma pack(push, 1)
struct ContourRecord {
    int16_t colourIndex;  // colour-map slot that fills the line's region
    int16_t levelIndex;
    uint8_t kind;         // CONTOUR_EDGE or CONTOUR_INNER
    uint8_t zero;
    uint16_t pointCount;
    int16_t labelPoint;   // -1: no automatic label
    int16_t borderPart;   // first point added along the border; 0 for an inner line
    int16_t zero2;
    uint16_t pointCapacity;
    float area;           // grid cells; + rows * cols for border lines
    HGLOBAL points;       // float pairs (x, y) in grid units
};
#pragma pack(pop)
static_assert(offsetof(ContourRecord, area) == 16, "layout");

// Commands of SCX3D that the kernel uses by name.
enum : UINT {
    SCX3D_OBJECT_COMMAND = 0x1000,
    SCX3D_PROJECTION_COMMAND = 0x2000,
    SCX3D_STORE_COMMAND = 0x4000,

    SCX3D_DEFAULTS = 3,
    SCX3D_FIT_VIEWPORT = 4,
    SCX3D_END_DRAWING = 5,
    SCX3D_PREPARE_DRAWING = 11,
    SCX3D_PAINT = 12,
    SCX3D_ROTATE = 14,
    SCX3D_LETTER = 18,
    SCX3D_WORLD_TO_SCREEN = 22,
    SCX3D_SCREEN_TO_WORLD = 23,
    SCX3D_SET_DEPTH = 24,
    SCX3D_WALL_DRAG = 25,
    SCX3D_WALL_AXES = 26,
    SCX3D_WALL_AXES_NOMINAL = 29,
    SCX3D_BIND_HOST = 33,
    SCX3D_PAINT_FRAME = 37,
    SCX3D_RECOVER_ANGLES = 38,

    SCX3D_OBJ_ADD = 0x1001,
    SCX3D_OBJ_EDIT = 0x1004,
    SCX3D_OBJ_DIALOG = 0x1005,
    SCX3D_OBJ_PLAIN = 0x1006,      // nonzero: the object paints without the grid
    SCX3D_OBJ_FILL_GRID = 0x1007,  // count = the object's index; bit 0 of the answer stops
    SCX3D_OBJ_MESH_CELL = 0x1008,
    SCX3D_OBJ_DRAW_PIECE = 0x1009, // count = part selector, object = the piece
    SCX3D_OBJ_PASS_MESH = 0x100D,
    SCX3D_OBJ_TOLERANCE = 0x100E,
    SCX3D_AFTER_PAINT = 28,
    SCX3D_OBJ_HIT_NOTICE = 0x5009,

    SCX3D_STORE_CREATE = 0x5000,
    SCX3D_STORE_RESERVE = 0x5001,
    SCX3D_STORE_ADD_ONE = 0x5002,
    SCX3D_STORE_FREE = 0x5003,
    SCX3D_STORE_NOTHING = 0x5004,
    SCX3D_STORE_WALLS = 0x5005,
    SCX3D_STORE_HIT = 0x5006,
    SCX3D_STORE_HIT_RECT = 0x5007,
    SCX3D_STORE_HIT_INDEX = 0x5008,
    SCX3D_STORE_DUPLICATE = 0x500A,
};

extern "C" {
// The command entry of every 3D layer. `count` carries a store handle, a device
// context, a point count or flags by command; `argument` a pointer or a value.
INT_PTR WINAPI SCX3D(HWND window, UINT type, INT_PTR count, void* record, INT_PTR argument);

// The bucket grid (exported as _BucketGrids@24 and _BucketControl@20). Codes of
// BucketGrids: 1 set up (record = BucketGridSpec, other = view), 3 fill (record = piece,
// view), 4 draw a cell (a = row line, b = column line, record = view, other = the mesh
// object or null, view = the drawing callback), 6 free. Codes of BucketControl: 0 create
// the current cell's list, 1 insert `piece` into it (view = view record), 2 draw it with
// part selector `a` (view = view record).
INT_PTR WINAPI BucketGrids(int code, INT_PTR a, INT_PTR b, void* record, void* other, void* view);
INT_PTR WINAPI BucketControl(void* grid, INT_PTR a, void* piece, void* view, int code);

// The colour map: numbered requests over a block (or the kernel's hook), and the block
// service: request 10 fetches, converts and recomputes "ZCOLORS"; 1 hands out the block
// (its address, 0 when there is none), 2 takes it back, 8 grows the handed-out block for
// the n it now holds and answers the new address.
INT_PTR WINAPI ScxColorControl(UINT code, INT_PTR argument, INT_PTR pointer, void* block);
INT_PTR WINAPI ColorMapControl(HWND window, double* output, const double* range, UINT request);

// The colour map as a script object: (window, member name, argument text, value,
// plot-host callback, operation).
INT_PTR WINAPI ScxCmdObj(HWND window, const char* name, const char* argument, double* value,
                         PlotHostCallback callback, UINT operation);

// The contour module's message entry and the factory of its contour plot object.
INT_PTR WINAPI Contour(HWND window, void* object, INT_PTR argument, UINT message);
INT_PTR WINAPI qc3dxEntry(int request, INT_PTR, INT_PTR, INT_PTR, INT_PTR);
}
