// Long work of the readers and imports, and the user's way to stop it.
#include "Fum.h"

#include "qxutil.h"

namespace {

const DWORD kQuietMs = 500; // work shorter than this shows no progress box

} // namespace

// The clock starts at the first poll, which comes only once the work has run a while:
// short reads, called once per line, never ask for the time.
FumLongWork::FumLongWork(const char* title) : title_(title) {}

FumLongWork::~FumLongWork()
{
    if (open_)
        UtilProgressBox(g_qmHostContext, UTIL_PROGRESS_CLOSE, 0, nullptr);
}

bool FumLongWork::Stopped(int percent)
{
    if (QmHostBound() && QmCallHost(HOST_POLL_ABORT, 0, 0) != 0)
        return true;
    if (!polled_) {
        polled_ = true;
        start_ = GetTickCount();
    }
    if (!open_ && GetTickCount() - start_ >= kQuietMs) {
        UtilProgressBox(g_qmHostContext, UTIL_PROGRESS_OPEN, 0, title_);
        open_ = true;
    }
    if (!open_)
        return false;
    UtilProgressBox(g_qmHostContext, UTIL_PROGRESS_SET, percent, nullptr);
    return UtilProgressBox(g_qmHostContext, UTIL_PROGRESS_POLL, 0, nullptr) != 0;
}

int FumLongWork::Stop()
{
    QmPrintText("fum: stopped by the user; what was read so far is kept.");
    return TheFum().Fail(FUM_ERR_STOPPED, FUM_ERR_STOPPED);
}
