// Single binary values at the current position of the current file: integers of one to
// four bytes, floats, doubles and 80-bit extended numbers.
#include "Fum.h"

IMPLEMENT_DYNAMIC(QmScribe, QmFUMIO)
IMPLEMENT_DYNAMIC(QmPiecewise, QmScribe)
IMPLEMENT_DYNAMIC(QmIntIO, QmPiecewise)
IMPLEMENT_DYNAMIC(QmRead, QmIntIO)
IMPLEMENT_DYNAMIC(QmWrite, QmIntIO)
IMPLEMENT_DYNAMIC(QmRealIO, QmPiecewise)
IMPLEMENT_DYNAMIC(QmLDWrite, QmPiecewise)

static const char* kBinaryNote = "\r\nNote: Affected by .ByteOrder and .Signed!";

// ---- QmPiecewise ------------------------------------------------------------------------

int QmPiecewise::ReadBytes(FUM_File* file, uint8_t* buffer, int n)
{
    FUM& fum = TheFum();
    n &= 0xFF;
    UINT got = 0;
    try {
        got = file->Read(buffer, n);
    } catch (CFileException* e) {
        int cause = e->m_cause;
        e->Delete();
        fum.sysErr.value = fum.Extended() ? cause : FUM_CauseToErrno(cause);
        if (cause == CFileException::endOfFile) {
            endOfFileMark = 1;
            fum.error.value = FUM_ERR_END_OF_FILE;
            return FUM_ERR_END_OF_FILE;
        }
        fum.error.value = FUM_ERR_READ_ITEM;
        return FUM_ERR_READ_ITEM;
    }
    if (static_cast<int>(got) < n) {
        endOfFileMark = 1;
        fum.error.value = FUM_ERR_END_OF_FILE;
        return FUM_ERR_END_OF_FILE;
    }
    return 0;
}

int QmPiecewise::WriteBytes(FUM_File* file, const uint8_t* buffer, int n)
{
    try {
        file->Write(buffer, n & 0xFF);
    } catch (CFileException* e) {
        int cause = e->m_cause;
        e->Delete();
        return TheFum().Fail(FUM_ERR_WRITE_ITEM, FUM_OLD_WRITE, cause, FUM_CauseToErrno(cause));
    }
    return 0;
}

int QmPiecewise::CheckSettings()
{
    FUM& fum = TheFum();
    int r = fum.isSigned.CheckCurrent();
    if (r)
        return r;
    return fum.byteOrder.CheckCurrent();
}

// ---- READ and WRITE ---------------------------------------------------------------------

int QmIntIO::Begin(const char* argText, QmDLL* root)
{
    int r = QmFUMIO::Begin(argText, root);
    return r ? r : CheckSettings();
}

int QmIntIO::ReadValueBytes(FUM_File* file, uint8_t* buffer, int n)
{
    int r = ReadBytes(file, buffer, n);
    if (r == 0)
        return 0;
    if (r == FUM_ERR_END_OF_FILE)
        return TheFum().Fail(FUM_ERR_END_OF_FILE, FUM_OLD_END_OF_FILE);
    return TheFum().Fail(r, FUM_OLD_READ);
}

int QmIntIO::Width(int index, int* width)
{
    FUM& fum = TheFum();
    if (Given(index)) {
        int c = fum.intWidths.SetChecked(IntArg(index));
        if (c)
            return fum.Extended() ? fum.Fail(c + 256, 0) : fum.Fail(0, c);
    } else {
        int c = fum.intWidths.SetChecked(fum.nBytes.value);
        if (c)
            return fum.Extended() ? fum.Fail(c, 0) : fum.Fail(0, c);
    }
    *width = fum.intWidths.value;
    return 0;
}

QmRead::QmRead()
{
    usage.SetText((std::string("([nBytes[,hFile]])") + kBinaryNote).c_str());
    AddInt();
    AddInt();
}

int QmRead::Process(double* result, QmDLL* root)
{
    QmFUMIO::Process(result, root);
    FUM& fum = TheFum();
    int n = 0;
    int r = Width(0, &n);
    if (r)
        return r;
    uint8_t buffer[4] = {};
    r = ReadValueBytes(fum.hFile.File(), buffer, n);
    if (r) {
        if (!fum.Extended())
            *result = 0;
        return r;
    }
    g_fumConverter.LoadSettings();
    FumCodec codec = nullptr;
    FUM_SelectConversion(&codec, FUM_CLASS_INTEGER, n, true);
    return codec(buffer, result);
}

QmWrite::QmWrite()
{
    usage.SetText((std::string("(value[,nBytes][,hFile])") + kBinaryNote).c_str());
    AddArgument(new QmReal);
    AddInt();
    AddInt();
}

int QmWrite::Process(double* result, QmDLL* root)
{
    QmFUMIO::Process(result, root);
    FUM& fum = TheFum();
    if (fum.Extended())
        *result = 0;
    if (!Given(0))
        return fum.Fail(FUM_ERR_BAD_ARG, FUM_OLD_NO_TEXT);
    double v = args[0]->GetReal();
    int n = 0;
    int r = Width(1, &n);
    if (r)
        return r;
    g_fumConverter.LoadSettings();
    FumCodec codec = nullptr;
    FUM_SelectConversion(&codec, FUM_CLASS_INTEGER, n, false);
    uint8_t buffer[4] = {};
    codec(buffer, &v);
    r = WriteBytes(fum.hFile.File(), buffer, n);
    if (r)
        return r;
    *result = n;
    return 0;
}

// ---- FREAD, FWRITE, DREAD, DWRITE, LDREAD -----------------------------------------------

QmRealIO::QmRealIO(int width, bool write) : width_(width), write_(write)
{
    usage.SetText(((write ? std::string("(value[,hFile])") : std::string("([hFile])")) + kBinaryNote).c_str());
    if (write)
        AddArgument(new QmReal);
    AddInt();
}

int QmRealIO::Begin(const char* argText, QmDLL* root)
{
    int r = QmFUMIO::Begin(argText, root);
    return r ? r : CheckSettings();
}

int QmRealIO::ReadValueBytes(FUM_File* file, uint8_t* buffer, int n)
{
    int r = ReadBytes(file, buffer, n);
    return r ? TheFum().Fail(r, FUM_OLD_READ) : 0;
}

int QmRealIO::Process(double* result, QmDLL* root)
{
    QmFUMIO::Process(result, root);
    FUM& fum = TheFum();
    uint8_t buffer[10] = {};
    FumCodec codec = nullptr;
    if (!write_) {
        int r = ReadValueBytes(fum.hFile.File(), buffer, width_);
        if (r) {
            if (!fum.Extended())
                *result = 0;
            return r;
        }
        g_fumConverter.LoadSettings();
        FUM_SelectConversion(&codec, FUM_CLASS_FLOAT, width_, true);
        return codec(buffer, result);
    }
    if (fum.Extended())
        *result = 0;
    if (!Given(0))
        return fum.Fail(FUM_ERR_BAD_ARG, FUM_OLD_NO_TEXT);
    double v = args[0]->GetReal();
    g_fumConverter.LoadSettings();
    FUM_SelectConversion(&codec, FUM_CLASS_FLOAT, width_, false);
    codec(buffer, &v);
    int r = WriteBytes(fum.hFile.File(), buffer, width_);
    if (r)
        return r;
    *result = width_;
    return 0;
}

QmLDWrite::QmLDWrite()
{
    usage.SetText((std::string("(value[,hFile])") + kBinaryNote).c_str());
    AddArgument(new QmReal);
    AddInt();
}

int QmLDWrite::Begin(const char*, QmDLL*)
{
    QmPrintText("file.LDWrite() is not supported in this version");
    return 1;
}
