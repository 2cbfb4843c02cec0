// The link to the plot host. The library keeps exactly one callback and one context for
// the whole process: the kernel binds it through whichever entry it calls first, and a
// later binder (a second graph, the colour-map script object) must not replace it, so
// the first binding stays for life.
#include "Surface.h"

namespace {
PlotHostCallback g_callback = nullptr;
INT_PTR g_context = 0;

}

INT_PTR PlotHostRequest(UINT code, INT_PTR argument, INT_PTR pointer)
{
    code &= 0xFFFF;
    if (code == PLOTHOST_BIND) {
        if (!g_callback && pointer) {
            g_callback = reinterpret_cast<PlotHostCallback>(pointer);
            g_context = argument;
        }
        return 0;
    }
    if (!g_callback)
        return 0;
    return g_callback(g_context, code, argument, pointer);
}

void PlotHostRunScript(const char* text)
{
    PlotHostRequest(PLOTHOST_RUN_SCRIPT, 0, reinterpret_cast<INT_PTR>(text));
}

