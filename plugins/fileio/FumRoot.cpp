// The root of fum: its settings, its two name tables and the lookups that search them
// before the framework's own members.
#include "Fum.h"

IMPLEMENT_DYNAMIC(FUM, QmDLL)
IMPLEMENT_DYNAMIC(QmNotBuilt, QmFUMIO)

namespace {

FUM theFum;

} // namespace

QmDLL& QmRootObject()
{
    return theFum;
}

FUM& TheFum()
{
    return theFum;
}

bool FumExtended()
{
    return theFum.Extended();
}

int FUM_CauseToErrno(int cause)
{
    switch (cause) {
    case CFileException::fileNotFound: return 23;
    case CFileException::tooManyOpenFiles: return 24;
    case CFileException::accessDenied: return 13;
    case CFileException::invalidFile: return 9;
    case CFileException::hardIO: return 5;
    case CFileException::sharingViolation: return 36;
    case CFileException::diskFull: return 28;
    default: return 0;
    }
}

// ---- Methods not in this build --------------------------------------------------------

QmNotBuilt::QmNotBuilt(const char* usageText, const char* displayName) : displayName_(displayName)
{
    usage.SetText(usageText);
}

int QmNotBuilt::Begin(const char*, QmDLL*)
{
    QmClearErrors();
    TheFum().error.value = 0;
    return 0;
}

int QmNotBuilt::Process(double* result, QmDLL* root)
{
    QmFUMIO::Process(result, root);
    QmPrintText((std::string("fum.") + displayName_ + "() is not available in this version of qxfileio.").c_str());
    return TheFum().Fail(FUM_ERR_NOT_BUILT, FUM_ERR_NOT_BUILT);
}

// ---- The root -------------------------------------------------------------------------

FUM::FUM()
{
    auto add = [this](QmScript* object, std::initializer_list<const char*> names) {
        for (const char* n : names)
            methodTable_.push_back({object, n});
    };
    auto pending = [&](const char* usageText, std::initializer_list<const char*> names) {
        QmNotBuilt* m = new QmNotBuilt(usageText, *names.begin());
        notBuilt.push_back(m);
        add(m, names);
    };
    add(&reset, {"RESET"});
    add(&mListSep, {"LISTSEP"});
    add(&mOpen, {"OPEN"});
    add(&mClose, {"CLOSE"});
    add(&mCloseAll, {"CLOSEALL", "CLOSEALLFILES"});
    add(&mExists, {"EXISTS", "EXIST"});
    add(&mRemove, {"REMOVE", "DELETE"});
    add(&mSize, {"SIZE"});
    add(&mGetPos, {"GETPOS"});
    add(&mSetPos, {"SETPOS"});
    add(&mRewind, {"REWIND", "TOSTART", "TOBEGIN", "TOBEGINNING"});
    add(&mToEnd, {"TOEND", "FFORWARD", "FASTFORWARD"});
    add(&mJump, {"JUMP"});
    add(&mJumpChunk, {"JUMPCHUNK", "JUMPCHUNKS"});
    add(&mSwitchMode, {"SWITCHMODE"});
    add(&mRead, {"READ", "INTEGERREAD", "INTREAD"});
    add(&mWrite, {"WRITE", "INTEGERWRITE", "INTWRITE"});
    add(&mFRead, {"FREAD", "FLOATREAD"});
    add(&mFWrite, {"FWRITE", "FLOATWRITE"});
    add(&mDRead, {"DREAD", "DOUBLEREAD"});
    add(&mDWrite, {"DWRITE", "DOUBLEWRITE"});
    add(&mLDRead, {"LDREAD", "LONGDOUBLEREAD", "LDOUBLEREAD"});
    add(&mLDWrite, {"LDWRITE", "LONGDOUBLEWRITE", "LDOUBLEWRITE"});
    add(&mARead, {"AREAD", "ARRAYREAD"});
    add(&mAWrite, {"AWRITE", "ARRAYWRITE"});
    add(&mReadRowBin, {"READROWBIN"});
    add(&mReadRecord, {"READRECORD", "RRECORD", "RECORDREAD", "RREAD"});
    add(&mWriteRecord, {"WRITERECORD", "WRECORD", "RECORDWRITE", "RWRITE"});
    add(&mReadRow, {"READROW"});
    add(&mLineRow, {"LINEROW"});
    add(&mTRead, {"TREAD"});
    add(&mLRead, {"LREAD"});
    add(&mReadToken, {"READTOKEN"});
    add(&mReadArray, {"READARRAY"});
    add(&mASCII, {"ASCII", "READASCII"});
    add(&mCRead, {"CREAD"});
    add(&mTWrite, {"TWRITE"});
    add(&mLWrite, {"LWRITE"});
    pending("(wksname$[,hFile])", {"MATHEMATICA"});
    pending("(wksname$[,hFile])", {"SIGMADOS"});
    pending("(wksname$[,hFile])", {"SIGMAWIN"});
    pending("(wksname$[,hFile])", {"WAV"});
    pending("(wksname$, colbegin, colend, rowbegin, rowend)", {"WKSBLOCK"});
    add(&mSyntax, {"SYNTAX"});
    add(&mAltSpell, {"ALTERNATESPELLINGS", "ALTERNATESPELLING", "ALTSPELLINGS", "ALTSPELLING", "ALTSPELL"});
    add(&mListAll, {"LISTALL", "LISTALLFILES"});
    methodTable_.push_back({nullptr, nullptr});

    propertyTable_ = {
        {&newActions, "NEWACTIONS"}, {&newActions, "NEWACTION"}, {&newActions, "NEW"},
        {&mOpen.fileName, "FILENAME"}, {&mOpen.fileName, "NAME"},
        {&mOpen.wksName, "WKSNAME"}, {&mOpen.wksName, "WORKSHEETNAME"},
        {&mOpen.mode, "MODE"}, {&mOpen.mode, "OPENMODE"},
        {&hFile, "HFILE"},
        {&nBytes, "NBYTES"}, {&nBytes, "NBYTE"},
        {&byteOrder, "BYTEORDER"},
        {&isSigned, "SIGNED"},
        {&skip, "SKIP"},
        {&nLinesMode, "NLINEMODE"}, {&nLinesMode, "NLINESMODE"},
        {&listSep, "LISTSEP"},
        {&error, "ERROR"},
        {&sysErr, "SYSERR"},
        {nullptr, nullptr},
    };

    fumProperties = propertyTable_.data();
    fumMethods = methodTable_.data();
    // Names of the first entry of each object; alternate spellings follow it.
    for (auto it = methodTable_.rbegin(); it != methodTable_.rend(); ++it)
        if (it->object)
            it->object->SetName(it->name);
    for (auto it = propertyTable_.rbegin(); it != propertyTable_.rend(); ++it)
        if (it->object)
            it->object->SetName(it->name);
    ResetAll();
}

FUM::~FUM()
{
    files.CloseAll();
    for (QmNotBuilt* m : notBuilt)
        delete m;
}

int FUM::Fail(int ext, int old, int extSys, int oldSys, int oldCode)
{
    if (Extended()) {
        error.value = ext;
        if (extSys >= 0)
            sysErr.value = extSys;
        return ext;
    }
    error.value = old;
    if (oldSys >= 0)
        sysErr.value = oldSys;
    return oldCode;
}

int FUM::Property(const char* name, int flags, void* value)
{
    int r = find_value(name, flags, value, fumProperties, nullptr);
    if (r)
        return r;
    return QmDLL::Property(name, flags, value);
}

void FUM::ListAll()
{
    list_table(fumMethods, nullptr);
    list_table(fumProperties, nullptr);
    QmDLL::ListAll();
}

int FUM::Command(const char* methodName, const char* argText, double* result)
{
    int r = find_command(methodName, argText, result, fumMethods);
    if (r)
        return r;
    return QmDLL::Command(methodName, argText, result);
}

int FUM::CommandValue(const char* methodName, const char* name, void* value, int flags)
{
    int r = find_command_value(methodName, name, flags, value, fumMethods);
    if (r)
        return r;
    return QmDLL::CommandValue(methodName, name, value, flags);
}

void FUM::ResetAll()
{
    QmDLL::init_members();
    init_table(fumProperties);
    init_table(fumMethods);
    SetDefaults();
}

void FUM::SetDefaults()
{
    hFile.Reset();
    nBytes.value = 1;
    listSep.value = 44;
    m_spare.value = 5;
    m_version.value = 4.132;
}
