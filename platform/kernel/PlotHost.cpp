// The 3D and contour library in the project: loading it, the plot-host callback it calls
// (served from the project: named blocks, script text, the colour hook), the contour plot
// nodes it makes, and their grids filled from the project's data.
#include "QKPlotHost.h"
#include "KernelInternal.h"

#include <ctype.h>
#include <math.h>

#include "QKCallLog.h"
#include "QKContour.h"
#include "QKData.h"
#include "QKScript.h"

namespace {

const char kSurfaceLibrary[] = "qxsurface.dll";

typedef INT_PTR(WINAPI* ContourEntryProc)(HWND window, void* object, INT_PTR argument, UINT message);
typedef INT_PTR(WINAPI* PlotFactoryProc)(int request, INT_PTR, INT_PTR, INT_PTR, INT_PTR);
typedef INT_PTR(WINAPI* ColorMapControlProc)(HWND window, double* output, const double* range, UINT request);
typedef INT_PTR(WINAPI* ScxColorControlProc)(UINT code, INT_PTR argument, INT_PTR pointer, void* block);

// The library's entries the kernel calls; loaded and bound once for the process, as the
// library itself keeps one plot host for life.
struct SurfaceLibrary {
    HMODULE module = nullptr;
    ContourEntryProc contour = nullptr;
    PlotFactoryProc factory = nullptr;
    ColorMapControlProc colorMap = nullptr;
    ScxColorControlProc colorControl = nullptr;
};

SurfaceLibrary g_surface;

// Contour-module messages and colour-map requests the kernel sends.
const UINT kContourBindHost = 60;     // (host window, callback): binds the plot host
const UINT kColorMapLoad = 10;        // fetches or makes "ZCOLORS" for a Z range
const UINT kColorScaleOf = 39;        // a real Z to the colour map's scale
const int kFactoryContourPlot = 1;    // the factory's request for a contour plot

std::string Upper(std::string s)
{
    for (char& c : s)
        c = (char)toupper((unsigned char)c);
    return s;
}

} // namespace

// ---- named blocks of the project ---------------------------------------------------------

void* CQKProject::CreateNamedBlock(const std::string& name, size_t size)
{
    if (name.empty() || size > QK_MAX_NAMED_BLOCK)
        return nullptr;
    std::vector<BYTE>& block = m_namedBlocks[Upper(name)];
    // A block of no bytes still needs an address that is not null.
    block.assign(size ? size : 1, 0);
    m_modified = true;
    return block.data();
}

void* CQKProject::GetNamedBlock(const std::string& name, size_t* size) const
{
    auto it = m_namedBlocks.find(Upper(name));
    if (it == m_namedBlocks.end())
        return nullptr;
    if (size)
        *size = it->second.size();
    return const_cast<BYTE*>(it->second.data());
}

bool CQKProject::DeleteNamedBlock(const std::string& name)
{
    return m_namedBlocks.erase(Upper(name)) != 0;
}

std::vector<std::string> CQKProject::GetNamedBlockNames() const
{
    std::vector<std::string> names;
    for (const auto& entry : m_namedBlocks)
        names.push_back(entry.first);
    return names;
}

// ---- the plot host -----------------------------------------------------------------------

INT_PTR WINAPI qkPlotHostCallback(INT_PTR, UINT code, INT_PTR argument, INT_PTR pointer)
{
    CQKProject& project = qkfxGetProject();
    const char* text = reinterpret_cast<const char*>(pointer);
    switch (code & 0xFFFF) {
    case PLOTHOST_RUN_SCRIPT:
        if (text)
            qkfxGetScript().Execute(text, "the 3D library");
        return 0;
    case PLOTHOST_BLOCK_CREATE:
        return text ? reinterpret_cast<INT_PTR>(project.CreateNamedBlock(text, (size_t)argument)) : 0;
    case PLOTHOST_BLOCK_GET: {
        // A block smaller than the record the library asks for (one a damaged project
        // file held, say) is no block of its: it makes a new one.
        size_t size = 0;
        void* block = text ? project.GetNamedBlock(text, &size) : nullptr;
        return block && (argument <= 0 || size >= (size_t)argument) ? reinterpret_cast<INT_PTR>(block) : 0;
    }
    case PLOTHOST_BLOCK_RELEASE:
        // The blocks stay with the project; the library only stops using the address.
        return 0;
    case PLOTHOST_BLOCKS_BEGIN:
    case PLOTHOST_BLOCKS_END:
        return 0;
    case PLOTHOST_QUERY_054A:
        return reinterpret_cast<INT_PTR>(&qkColorControlHook);
    default:
        qkfxGetCallLog().Add("qkPlotHostCallback: unknown request", std::to_string(code & 0xFFFF));
        return 0;
    }
}

INT_PTR WINAPI qkColorControlHook(UINT code, INT_PTR, INT_PTR pointer, int* handled, INT_PTR)
{
    // The kernel's missing value is no Z: it lies at the colour map's missing scale value,
    // never somewhere on the scale. Everything else is the colour map's own work.
    if ((code & 0xFFFF) == kColorScaleOf && pointer && handled) {
        double z = *reinterpret_cast<const double*>(pointer);
        if (IsMissingValue(z) || isnan(z)) {
            *handled = 1;
            return QK_COLORMAP_MISSING_SCALE;
        }
    }
    return 0;
}

HMODULE qkfxGetSurfaceLibrary(std::string* error)
{
    if (g_surface.module)
        return g_surface.module;
    std::string path = qkGetProgramFolder() + "\\" + kSurfaceLibrary;
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!module) {
        if (error)
            *error = "cannot load the 3D and contour library " + path + " (error " +
                     std::to_string(GetLastError()) + ")";
        return nullptr;
    }
    SurfaceLibrary lib;
    lib.module = module;
    lib.contour = reinterpret_cast<ContourEntryProc>(GetProcAddress(module, "Contour"));
    lib.factory = reinterpret_cast<PlotFactoryProc>(GetProcAddress(module, "qc3dxEntry"));
    lib.colorMap = reinterpret_cast<ColorMapControlProc>(GetProcAddress(module, "ColorMapControl"));
    lib.colorControl = reinterpret_cast<ScxColorControlProc>(GetProcAddress(module, "ScxColorControl"));
    if (!lib.contour || !lib.factory || !lib.colorMap || !lib.colorControl) {
        FreeLibrary(module);
        if (error)
            *error = path + " lacks the entries of the 3D and contour library";
        return nullptr;
    }
    lib.contour(qkGetHostWindow(), reinterpret_cast<void*>(&qkPlotHostCallback), 0, kContourBindHost);
    g_surface = lib;
    return module;
}

// ---- contour plots -----------------------------------------------------------------------

CQKContourPlotObj* qkCreateContourPlot(std::string* error)
{
    if (!qkfxGetSurfaceLibrary(error))
        return nullptr;
    auto* plot = reinterpret_cast<CQKContourPlotObj*>(g_surface.factory(kFactoryContourPlot, 0, 0, 0, 0));
    if (!plot && error)
        *error = "the 3D and contour library made no contour plot (out of memory)";
    return plot;
}

bool qkFillContourGrid(CQKContourPlotObj* plot)
{
    CQKProject& project = qkfxGetProject();
    auto* matrix = dynamic_cast<CQKMatrixPage*>(project.FindPage(plot->GetDataName(QK_ROLE_MATRIX)));
    if (!matrix || !qkfxGetSurfaceLibrary(nullptr))
        return false;
    const int rows = matrix->GetRows(), cols = matrix->GetCols();
    double low = HUGE_VAL, high = -HUGE_VAL;
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= cols; ++c) {
            double z = matrix->GetCell(r, c);
            if (!IsMissingValue(z) && isfinite(z)) {
                low = fmin(low, z);
                high = fmax(high, z);
            }
        }
    if (low > high)
        low = high = 0; // no value at all: every node is missing
    // The colour map spans the data; the grid holds each node on its scale.
    double range[2] = {low, high}, used[2] = {low, high};
    g_surface.colorMap(qkGetHostWindow(), used, range, kColorMapLoad);
    void* map = project.GetNamedBlock("ZCOLORS");
    if (!map)
        return false;
    CQKContourGrid* grid = plot->GetContourGrid();
    grid->SetSize(rows, cols);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            double z = matrix->GetCell(r + 1, c + 1);
            grid->SetValue(c, r, (float)g_surface.colorControl(kColorScaleOf, 0, reinterpret_cast<INT_PTR>(&z), map));
        }
    // Grid units to world: the matrix spans X along its columns, Y along its rows.
    grid->SetWorldMapping(cols > 1 ? (matrix->m_x2 - matrix->m_x1) / (cols - 1) : 1, matrix->m_x1,
                          rows > 1 ? (matrix->m_y2 - matrix->m_y1) / (rows - 1) : 1, matrix->m_y1);
    return true;
}
