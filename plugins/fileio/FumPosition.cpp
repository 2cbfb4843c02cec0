// Telling and moving the position of the current file, and reopening it in another mode.
#include "Fum.h"

IMPLEMENT_DYNAMIC(QmTracking, QmGeneralIO)
IMPLEMENT_DYNAMIC(QmSwitchMode, QmGeneralIO)

QmTracking::QmTracking(FumMove move) : move_(move)
{
    switch (move) {
    case FUM_SETPOS:
        usage.SetText("(pos[,hFile])");
        AddReal();
        break;
    case FUM_JUMP:
        usage.SetText("(offset[,hFile])");
        AddReal();
        break;
    case FUM_JUMPCHUNK:
        usage.SetText("(offset[,nBytes][,hFile])");
        AddReal();
        AddInt();
        break;
    default:
        usage.SetText("([hFile])");
        break;
    }
    AddInt();
}

int QmTracking::GetPosition(FUM_File* file, int64_t* position)
{
    try {
        *position = file->Position64();
    } catch (CFileException* e) {
        int cause = e->m_cause;
        e->Delete();
        return TheFum().Fail(FUM_ERR_GETPOS, FUM_OLD_FILE, cause, FUM_CauseToErrno(cause));
    }
    return 0;
}

int QmTracking::Seek(FUM_File* file, int64_t* offset, int base)
{
    try {
        *offset = file->Seek64(*offset, base);
    } catch (CFileException* e) {
        int cause = e->m_cause;
        e->Delete();
        return TheFum().Fail(FUM_ERR_SEEK, FUM_OLD_FILE, cause, FUM_CauseToErrno(cause));
    }
    return 0;
}

int QmTracking::Process(double* result, QmDLL* root)
{
    QmFUMIO::Process(result, root);
    FUM& fum = TheFum();
    FUM_File* file = fum.hFile.File();
    int64_t p = 0;
    int base = CFile::begin;
    switch (move_) {
    case FUM_GETPOS: {
        int r = GetPosition(file, &p);
        if (r) {
            *result = -1;
            return r;
        }
        if (p < 0) {
            if (!fum.Extended())
                fum.error.value = FUM_OLD_FILE;
            return 2;
        }
        *result = static_cast<double>(p);
        return 0;
    }
    case FUM_SETPOS:
        if (!Given(0))
            return fum.Fail(FUM_ERR_BAD_ARG, FUM_OLD_NO_TEXT);
        p = Int64Arg(0);
        break;
    case FUM_REWIND:
        break;
    case FUM_TOEND:
        base = CFile::end;
        break;
    case FUM_JUMP:
        if (!Given(0)) {
            fum.error.value = FUM_ERR_BAD_ARG;
            return FUM_ERR_BAD_ARG;
        }
        p = Int64Arg(0);
        base = CFile::current;
        break;
    case FUM_JUMPCHUNK: {
        if (!Given(0)) {
            fum.error.value = FUM_ERR_BAD_ARG;
            return FUM_ERR_BAD_ARG;
        }
        int chunk;
        if (Given(1)) {
            int c = fum.nBytes.Check(IntArg(1));
            if (c)
                return c + 256;
            chunk = IntArg(1);
        } else {
            int c = fum.nBytes.CheckCurrent();
            if (c)
                return c;
            chunk = fum.nBytes.value;
        }
        p = Int64Arg(0) * chunk;
        base = CFile::current;
        break;
    }
    }
    int r = Seek(file, &p, base);
    if (r) {
        *result = -1;
        return r;
    }
    *result = static_cast<double>(p);
    return 0;
}

QmSwitchMode::QmSwitchMode()
{
    usage.SetText("(mode[,hFile])");
    AddInt();
    AddInt();
}

int QmSwitchMode::Process(double* result, QmDLL* root)
{
    QmFUMIO::Process(result, root);
    FUM& fum = TheFum();
    FUM_File* file = fum.hFile.File();
    if (!Given(0))
        return fum.Fail(FUM_ERR_BAD_ARG, FUM_OLD_NO_TEXT);
    int mode = IntArg(0);
    int64_t p = 0;
    int r = QmTracking::GetPosition(file, &p);
    if (r) {
        *result = -1;
        return r;
    }
    // A wrong mode is refused before the file is let go, so that a typing error in a
    // script does not close a file it goes on using.
    if (mode < 0 || mode > 2)
        return fum.Fail(FUM_ERR_RANGE, FUM_OLD_RANGE);
    CString path = file->GetFilePath();
    try {
        file->Close();
    } catch (CFileException* e) {
        int cause = e->m_cause;
        e->Delete();
        *result = -1;
        if (fum.Extended())
            fum.hFile.Forget();
        return fum.Fail(FUM_ERR_CLOSE, FUM_OLD_FILE, cause, FUM_CauseToErrno(cause));
    }
    CFileException e;
    e.m_cause = 0;
    e.m_lOsError = -1;
    if (!file->Open(path, static_cast<UINT>(mode), &e)) {
        *result = -1;
        // A file that could not be opened again is closed: it leaves the list, so that no
        // later call finds a dead entry.
        fum.files.Remove(file);
        delete file;
        fum.hFile.Reset();
        return fum.Fail(FUM_ERR_OPEN, FUM_OLD_OPEN, e.m_cause, 0);
    }
    file->mode = static_cast<BYTE>(mode);
    fum.hFile.Attach(file);
    r = QmTracking::Seek(file, &p, CFile::begin);
    if (r) {
        *result = -1;
        return r;
    }
    *result = file->Handle();
    return 0;
}
