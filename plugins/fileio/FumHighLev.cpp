// Worksheet-level methods: the frame that saves and restores the root's settings and
// runs other methods by number, the byte reader they share with the text loop, and
// WKSBLOCK, a rectangle of numbers from a text table.
#include "Fum.h"

#include "qxutil.h"

#include <string.h>

#include <algorithm>

IMPLEMENT_DYNAMIC(QmHighLev, QmFUMIO)
IMPLEMENT_DYNAMIC(QmWksBlock, QmHighLev)
IMPLEMENT_DYNAMIC(QmImportIO, QmHighLev)

// ---- FumByteReader ----------------------------------------------------------------------

FumByteReader::FumByteReader(FUM_File* file) : file_(file)
{
    int64_t start = file->Position64();
    int64_t total = file->ReadingLength64();
    int64_t left = total > start ? total - start : 0;
    length_ = left > 0xFFFFFFFFll ? 0xFFFFFFFFu : static_cast<uint32_t>(left);
}

int FumByteReader::Peek()
{
    return consumed_ < length_ ? file_->PeekByte() : -1;
}

// ---- QmHighLev --------------------------------------------------------------------------

int QmHighLev::Begin(const char* argText, QmDLL* root)
{
    int r = QmFUMIO::Begin(argText, root);
    if (r)
        return r;
    r = BeginChecks();
    if (r)
        return r;
    for (int n = 0; n < FUM_S_COUNT; ++n)
        saved_[n] = GetSetting(n);
    // Set last: the framework runs End only after a Begin that succeeded.
    running_ = true;
    g_fumWorksheetLevel = true;
    return 0;
}

void QmHighLev::End(QmDLL* root)
{
    if (running_) {
        for (int n = 0; n < FUM_S_COUNT; ++n)
            if (n != FUM_S_ERROR && n != FUM_S_SYSERR)
                SetSetting(n, saved_[n]);
        running_ = false;
        g_fumWorksheetLevel = false;
    }
    QmFUMIO::End(root);
}

int QmHighLev::BeginChecks()
{
    if (!Given(0) || !args[0]->GetStr())
        return TheFum().Fail(FUM_ERR_BAD_ARG, FUM_OLD_NO_ARG);
    wksName_.SetText(args[0]->GetStr());
    return 0;
}

double QmHighLev::GetSetting(int n)
{
    QmInt* s = TheFum().Setting(n);
    return s ? s->value : MISSING_VALUE;
}

int QmHighLev::SetSetting(int n, double value)
{
    QmInt* s = TheFum().Setting(n);
    return s ? s->SetValue(value) : 1;
}

void QmHighLev::Prepare(int m)
{
    // Arguments a call does not set must not carry the given marks of an earlier script
    // call (a stale hFile would turn the import to another file).
    QmFUMIO* method = TheFum().byNumber[m];
    for (int i = 0; i < method->argCount; ++i)
        if (method->args[i])
            method->args[i]->given = 0;
}

int QmHighLev::Invoke(int m, double* result)
{
    QmFUMIO* method = TheFum().byNumber[m];
    *result = MISSING_VALUE;
    int r = method->Begin("", &TheFum());
    if (r)
        return r;
    r = method->Process(result, &TheFum());
    if (r)
        return r;
    method->End(&TheFum());
    return 0;
}

int QmHighLev::CallMethod(int m, double* result)
{
    if (m < 0 || m >= FUM_M_COUNT)
        return 1;
    Prepare(m);
    return Invoke(m, result);
}

int QmHighLev::CallMethodInt(int m, double* result, int i)
{
    if (m < 0 || m >= FUM_M_COUNT)
        return 1;
    Prepare(m);
    int r = TheFum().byNumber[m]->SetIntArg(0, i);
    return r ? r : Invoke(m, result);
}

int QmHighLev::CallMethodPosition(int m, double* result, int64_t position)
{
    if (m < 0 || m >= FUM_M_COUNT)
        return 1;
    Prepare(m);
    int r = TheFum().byNumber[m]->SetRealArg(0, static_cast<double>(position));
    return r ? r : Invoke(m, result);
}

int QmHighLev::CallMethodText(int m, double* result, const char* text, int i)
{
    if (m < 0 || m >= FUM_M_COUNT)
        return 1;
    Prepare(m);
    QmFUMIO* method = TheFum().byNumber[m];
    int r = method->SetStringArg(0, text);
    if (!r)
        r = method->SetIntArg(1, i);
    return r ? r : Invoke(m, result);
}

int QmHighLev::CallMethodText3(int m, double* result, const char* text, int i, int j, int k)
{
    if (m < 0 || m >= FUM_M_COUNT)
        return 1;
    Prepare(m);
    QmFUMIO* method = TheFum().byNumber[m];
    int r = method->SetStringArg(0, text);
    if (!r)
        r = method->SetIntArg(1, i);
    if (!r)
        r = method->SetIntArg(2, j);
    if (!r)
        r = method->SetIntArg(3, k);
    return r ? r : Invoke(m, result);
}

int QmHighLev::CalledFailed(int status)
{
    FUM& fum = TheFum();
    if (fum.Extended())
        return status + 0x200;
    fum.error.value = FUM_OLD_CALLED;
    return FUM_OLD_CALLED;
}

// ---- WKSBLOCK ---------------------------------------------------------------------------

QmWksBlock::QmWksBlock()
{
    usage.SetText("(wksname$, colbegin, colend, rowbegin, rowend)");
    AddText();
    AddInt();
    AddInt();
    AddInt();
    AddInt();
}

static bool BlockCharacter(char c)
{
    return c == '-' || c == '.' || (c >= '0' && c <= '9') || c == 'E';
}

int QmWksBlock::Process(double* result, QmDLL* root)
{
    QmFUMIO::Process(result, root);
    *result = 0;
    FUM& fum = TheFum();
    // The block is read from the current file at its position: the file that the script
    // positioned is the one whose lines it means.
    if (fum.hFile.CheckCurrent()) {
        fum.error.value = FUM_OLD_NO_TEXT_FILE;
        return 0;
    }
    FUM_File* file = fum.hFile.File();
    QmQuorixWks worksheet(wksName_);
    int c1 = IntArg(1), c2 = IntArg(2);
    int r0 = IntArg(3) - 1;
    int r1 = IntArg(4);
    if (r1 == 0)
        r1 = 0x7FFFFFFF;
    char separator = static_cast<char>(fum.listSep.value);
    std::unique_ptr<FumByteReader> reader;
    try {
        reader.reset(new FumByteReader(file));
    } catch (CFileException* e) {
        e->Delete();
        fum.error.value = FUM_OLD_NO_TEXT_FILE;
        return 0;
    }
    if (int r = FumRefuseUtf16(file))
        return r;
    FumLongWork work("Reading a block of numbers");
    int j = r0;
    for (; j < r1; ++j) {
        if (((j - r0) & 0x3FF) == 0x3FF && work.Stopped(0)) {
            *result = j - r0;
            return work.Stop();
        }
        // One line, CR LF or LF ended; the file is left behind it.
        std::string line;
        int ch = 0, cause = 0, got;
        bool any = false;
        while ((got = reader->Next(&ch, &cause)) == 1) {
            any = true;
            if (ch == '\n')
                break;
            line += static_cast<char>(ch);
        }
        if (got < 0) {
            fum.sysErr.value = fum.Extended() ? cause : FUM_CauseToErrno(cause);
            return fum.Fail(FUM_ERR_READ_ITEM, FUM_OLD_CALLED);
        }
        if (!any) {
            *result = j - r0;
            fum.error.value = FUM_OLD_END_OF_BLOCK;
            if (fum.Extended()) {
                fum.error.value = FUM_ERR_END_OF_FILE;
                return FUM_ERR_END_OF_FILE;
            }
            return 0;
        }
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            continue;
        std::string scanned = line;
        size_t bad = std::string::npos;
        for (size_t i = 0; i < scanned.size(); ++i) {
            char c = scanned[i];
            if (c == separator)
                scanned[i] = ' ';
            else if (c == '\t' || c == ' ' || c == '\r')
                continue;
            else if (!BlockCharacter(c)) {
                bad = i;
                break;
            }
        }
        auto stop = [&](const std::string& rest) {
            FumSetStringVariable('Z', rest);
            *result = j - r0;
            fum.error.value = FUM_OLD_NOT_NUMBER;
            return 0;
        };
        if (bad != std::string::npos)
            return stop(line.substr(bad));
        std::vector<char> word(scanned.size() + 1);
        const char* rest = scanned.c_str();
        for (int column = c1; column <= c2; ++column) {
            rest = UtilNextWord(word.data(), rest);
            if (!rest)
                break;
            double v = UtilTextToDouble(word.data());
            if (v == MISSING_VALUE)
                return stop(rest);
            if (worksheet.SetCell(column, j, v)) {
                *result = j - r0;
                return fum.Fail(FUM_ERR_HOST, FUM_OLD_HOST);
            }
        }
    }
    *result = j - r0;
    return 0;
}

// ---- Imports ----------------------------------------------------------------------------

QmImportIO::QmImportIO()
{
    usage.SetText("(wksname$[,hFile])");
    AddText();
    AddInt();
}

int QmImportIO::Read(int n, double* value)
{
    int r = CallMethodInt(FUM_M_READ, value, n);
    return r ? CalledFailed(r) : 0;
}

int QmImportIO::SetPos(int64_t position)
{
    double v;
    int r = CallMethodPosition(FUM_M_SETPOS, &v, position);
    return r ? CalledFailed(r) : 0;
}

int QmImportIO::Jump(int64_t offset)
{
    double v;
    int r = CallMethodPosition(FUM_M_JUMP, &v, offset);
    return r ? CalledFailed(r) : 0;
}

int QmImportIO::GetPos(double* position)
{
    int r = CallMethod(FUM_M_GETPOS, position);
    return r ? CalledFailed(r) : 0;
}
