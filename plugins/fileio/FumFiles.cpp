// The method base of fum and the methods that open, close and ask about files.
#include "Fum.h"

#include "qxutil.h"

IMPLEMENT_DYNAMIC(QmFUMIO, QmMethod)
IMPLEMENT_DYNAMIC(QmGeneralIO, QmFUMIO)
IMPLEMENT_DYNAMIC(QmDOS, QmGeneralIO)
IMPLEMENT_DYNAMIC(QmOpen, QmGeneralIO)
IMPLEMENT_DYNAMIC(QmClose, QmGeneralIO)
IMPLEMENT_DYNAMIC(QmCloseAll, QmGeneralIO)
IMPLEMENT_DYNAMIC(QmExists, QmDOS)
IMPLEMENT_DYNAMIC(QmRemove, QmDOS)
IMPLEMENT_DYNAMIC(QmSize, QmDOS)

// ---- QmFUMIO --------------------------------------------------------------------------

bool g_fumWorksheetLevel = false;

int QmFUMIO::Begin(const char* argText, QmDLL* root)
{
    int r = g_fumWorksheetLevel ? 0 : QmMethod::Begin(argText, root);
    if (r)
        return r;
    FUM& fum = TheFum();
    fum.error.value = 0;
    if (fum.Extended())
        fum.sysErr.value = 0;
    int i = HFileArgIndex();
    if (i != 255) {
        QmProperty* a = i >= 0 && i < argCount ? args[i] : nullptr;
        r = ResolveFile(a && a->given ? IntArg(i) : 0, a && a->given);
        if (r)
            return r;
    }
    if (!fum.Extended())
        fum.sysErr.value = 0;
    return 0;
}

int QmFUMIO::Process(double* result, QmDLL*)
{
    if (result)
        *result = MISSING_VALUE;
    return 0;
}

int QmFUMIO::ResolveFile(int number, int given)
{
    FUM& fum = TheFum();
    if (given) {
        int r = fum.hFile.SetChecked(number);
        if (r && fum.Extended())
            return r + 256;
        return r;
    }
    int r = fum.hFile.CheckCurrent();
    if (!r)
        return 0;
    if (fum.Extended())
        return r;
    fum.error.value = FUM_OLD_NO_CURRENT;
    return 1024;
}

int QmFUMIO::GetStringArg(std::string& out, QmProperty* argument)
{
    FUM& fum = TheFum();
    if (argument && argument->given) {
        const char* text = argument->GetStr();
        if (text) {
            out = text;
            return 0;
        }
        return fum.Extended() ? fum.Fail(FUM_ERR_EMPTY_TEXT, 0) : 0;
    }
    return fum.Fail(FUM_ERR_NO_TEXT, FUM_OLD_NO_TEXT);
}

int QmFUMIO::SetIntArg(int index, int value)
{
    delete args[index];
    QmInt* a = new QmInt;
    args[index] = a;
    a->given = 1;
    return a->SetValue(static_cast<double>(value));
}

int QmFUMIO::SetRealArg(int index, double value)
{
    delete args[index];
    QmReal* a = new QmReal;
    args[index] = a;
    a->given = 1;
    return a->SetValue(value);
}

int QmFUMIO::SetStringArg(int index, const char* text)
{
    delete args[index];
    QmString* a = new QmString;
    args[index] = a;
    a->given = 1;
    if (a->SetText(text))
        return TheFum().Fail(FUM_ERR_MEMORY, FUM_OLD_MEMORY);
    return 0;
}

int QmFUMIO::IntArg(int index) const
{
    if (index < 0 || index >= argCount || !args[index])
        return 0;
    double v = args[index]->GetReal();
    return v == MISSING_VALUE ? 0 : static_cast<int>(v);
}

int64_t QmFUMIO::Int64Arg(int index) const
{
    if (index < 0 || index >= argCount || !args[index])
        return 0;
    double v = args[index]->GetReal();
    // Beyond 2^62 no file reaches; the cast would be undefined.
    if (v == MISSING_VALUE || v != v || v > 4.6e18 || v < -4.6e18)
        return 0;
    return static_cast<int64_t>(v);
}

// ---- The open-file list ---------------------------------------------------------------

FUM_FileList::~FUM_FileList()
{
    for (FUM_File* f : Files())
        delete f;
}

FUM_File* FUM_FileList::FindByHandle(int number) const
{
    // A reader called once per line asks for the same file each time.
    if (last_ && last_->Handle() == number)
        return last_;
    for (POSITION p = list.GetHeadPosition(); p;) {
        FUM_File* f = static_cast<FUM_File*>(list.GetNext(p));
        if (f->Handle() == number)
            return last_ = f;
    }
    return nullptr;
}

void FUM_FileList::Remove(FUM_File* file)
{
    if (file == last_)
        last_ = nullptr;
    POSITION p = list.Find(file);
    if (p)
        list.RemoveAt(p);
}

std::vector<FUM_File*> FUM_FileList::Files() const
{
    std::vector<FUM_File*> out;
    for (POSITION p = list.GetHeadPosition(); p;)
        out.push_back(static_cast<FUM_File*>(list.GetNext(p)));
    return out;
}

int FUM_FileList::CloseAll()
{
    FUM& fum = TheFum();
    for (FUM_File* f : Files()) {
        bool failed = false;
        int cause = 0;
        try {
            f->Close();
        } catch (CFileException* e) {
            failed = true;
            cause = e->m_cause;
            e->Delete();
        }
        if (failed && fum.Extended()) {
            fum.error.value = FUM_ERR_CLOSE;
            fum.sysErr.value = cause;
            return FUM_ERR_CLOSE;
        }
        // A close that failed in classic mode has still let go of the handle.
        Remove(f);
        if (fum.hFile.file == f)
            fum.hFile.file = nullptr;
        delete f;
    }
    return 0;
}

// ---- OPEN -----------------------------------------------------------------------------

QmOpen::QmOpen()
{
    usage.SetText("([filename$][,mode])");
    AddText();
    AddInt();
    table[0] = {&mode, "MODE"};
    table[1] = {&fileName, "FILENAME"};
    table[2] = {&fileName, "NAME"};
    table[3] = {&wksName, "WKSNAME"};
    table[4] = {&wksName, "WORKSHEETNAME"};
    table[5] = {nullptr, nullptr};
    mode.SetName("MODE");
    fileName.SetName("FILENAME");
    wksName.SetName("WKSNAME");
}

void QmOpen::init_members()
{
    mode.init();
    fileName.init();
    wksName.init();
}

int QmOpen::Process(double* result, QmDLL* root)
{
    QmFUMIO::Process(result, root);
    FUM& fum = TheFum();
    *result = -1;
    int m;
    if (Given(1)) {
        m = IntArg(1);
        int r = mode.Check(m);
        if (r)
            return r;
    } else {
        int r = mode.CheckCurrent();
        if (r)
            return r;
        m = mode.value;
    }
    if (Given(0))
        fileName.SetText(args[0]->GetStr());
    if (!fileName.HasText()) {
        fum.hFile.Reset();
        return fum.Fail(FUM_ERR_EMPTY_TEXT, FUM_OLD_OPEN, 0, 0);
    }
    static const UINT flags[3] = {CFile::modeRead | CFile::shareDenyNone,
                                  CFile::modeWrite | CFile::shareDenyWrite,
                                  CFile::modeReadWrite | CFile::shareDenyWrite};
    int number = FUM_File::NextNumber();
    if (number < 0) {
        fum.hFile.Reset();
        QmFailureReason("cannot open \"%s\": every file number (0 to 99999) has been given out in this session, "
                        "and none is given twice; start the program again", fileName.text);
        return fum.Fail(FUM_ERR_HFILE_RANGE, FUM_OLD_OPEN, 0, 0);
    }
    FUM_File* file = new FUM_File;
    file->mode = static_cast<BYTE>(m);
    file->number = number;
    CFileException e;
    BOOL opened = file->Open(fileName.text, flags[m], &e);
    // A file opened for writing may be new; one opened only for reading must exist, or a
    // mistyped name would leave an empty file behind and read as an empty success.
    if (!opened && e.m_cause == CFileException::fileNotFound && m != 0) {
        CFileException c;
        if (!file->Open(fileName.text, flags[m] | CFile::modeCreate, &c)) {
            delete file;
            fum.hFile.Reset();
            return fum.Fail(FUM_ERR_CREATE, FUM_OLD_OPEN, c.m_cause, 0);
        }
        opened = TRUE;
    }
    if (!opened) {
        delete file;
        fum.hFile.Reset();
        QmFailureReason("cannot open \"%s\": %s", fileName.text, e.m_cause == CFileException::fileNotFound ? "no such file" : "the system refused it");
        return fum.Fail(FUM_ERR_OPEN, FUM_OLD_OPEN, e.m_cause, 0);
    }
    fum.files.Append(file);
    fum.hFile.Attach(file);
    *result = file->Handle();
    return 0;
}

// ---- CLOSE and CLOSEALL ---------------------------------------------------------------

QmClose::QmClose()
{
    usage.SetText("([hFile])");
    AddInt();
}

int QmClose::Process(double* result, QmDLL* root)
{
    QmFUMIO::Process(result, root);
    FUM& fum = TheFum();
    FUM_File* file = fum.hFile.File();
    try {
        file->Close();
    } catch (CFileException* e) {
        int cause = e->m_cause;
        e->Delete();
        *result = -1;
        if (fum.Extended())
            fum.hFile.Reset();
        return fum.Fail(FUM_ERR_CLOSE, FUM_OLD_FILE, cause, FUM_CauseToErrno(cause));
    }
    fum.files.Remove(file);
    delete file;
    fum.hFile.Forget();
    *result = 0;
    return 0;
}

QmCloseAll::QmCloseAll()
{
    usage.SetText("()");
}

int QmCloseAll::Process(double* result, QmDLL* root)
{
    QmFUMIO::Process(result, root);
    FUM& fum = TheFum();
    int r = fum.files.CloseAll();
    if (r) {
        *result = -1;
        return r;
    }
    fum.hFile.Forget();
    *result = 0;
    return 0;
}

// ---- EXISTS, REMOVE, SIZE -------------------------------------------------------------

QmExists::QmExists()
{
    usage.SetText("(filename$)");
    AddText();
}

int QmExists::Process(double* result, QmDLL* root)
{
    QmFUMIO::Process(result, root);
    std::string name;
    int r = GetStringArg(name, args[0]);
    if (r)
        return r;
    CFileStatus status;
    *result = !name.empty() && CFile::GetStatus(name.c_str(), status) ? 1 : 0;
    return 0;
}

QmRemove::QmRemove()
{
    usage.SetText("(filename$)");
    AddText();
}

int QmRemove::Process(double* result, QmDLL* root)
{
    QmFUMIO::Process(result, root);
    FUM& fum = TheFum();
    std::string name;
    int r = GetStringArg(name, args[0]);
    if (r)
        return r;
    CFileStatus status;
    if (name.empty() || !CFile::GetStatus(name.c_str(), status))
        return fum.Fail(FUM_ERR_NO_SUCH_FILE, FUM_OLD_FILE, 0, 2);
    try {
        CFile::Remove(name.c_str());
    } catch (CFileException* e) {
        int cause = e->m_cause;
        e->Delete();
        return fum.Fail(FUM_ERR_REMOVE, FUM_OLD_FILE, cause, 0);
    }
    *result = 1;
    return 0;
}

QmSize::QmSize()
{
    usage.SetText("([[hFile][,filename$]])\r\nNote: only one argument-- hFile OR filename$.");
    AddInt();
    AddText();
}

int QmSize::Begin(const char* argText, QmDLL* root)
{
    name_.clear();
    file_ = nullptr;
    int r = QmFUMIO::Begin(argText, root);
    if (r)
        return r;
    FUM& fum = TheFum();
    if (Given(0) && Given(1))
        // Neither the number nor the name is chosen: the call must not guess.
        return fum.Extended() ? fum.Fail(FUM_ERR_BOTH_ARGS, 0, 0) : fum.Fail(0, FUM_ERR_BOTH_ARGS);
    if (Given(1)) {
        fum.sysErr.value = 0;
        r = GetStringArg(name_, args[1]);
        if (r)
            return r;
        if (name_.empty())
            return fum.Fail(FUM_ERR_EMPTY_TEXT, FUM_OLD_NO_TEXT);
        return 0;
    }
    file_ = fum.hFile.File();
    return 0;
}

int QmSize::Process(double* result, QmDLL* root)
{
    QmFUMIO::Process(result, root);
    FUM& fum = TheFum();
    if (fum.Extended())
        *result = -1;
    if (file_) {
        int64_t length = 0;
        try {
            length = file_->Length64();
        } catch (CFileException* e) {
            int cause = e->m_cause;
            e->Delete();
            return fum.Fail(FUM_ERR_LENGTH, FUM_OLD_FILE, cause, FUM_CauseToErrno(cause));
        }
        *result = static_cast<double>(length);
        return 0;
    }
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExA(name_.c_str(), GetFileExInfoStandard, &data)) {
        *result = static_cast<double>((static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
        return 0;
    }
    CFileStatus status;
    if (!CFile::GetStatus(name_.c_str(), status))
        return fum.Fail(FUM_ERR_NO_SUCH_FILE, FUM_OLD_FILE, 0, 2);
    *result = status.m_size;
    return 0;
}
