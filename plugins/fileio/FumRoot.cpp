// The root of fum: its settings, its two name tables and the lookups that search them
// before the framework's own members.
#include "Fum.h"

IMPLEMENT_DYNAMIC(FUM, QmDLL)

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

// ---- The root -------------------------------------------------------------------------

FUM::FUM()
{
    auto add = [this](QmScript* object, std::initializer_list<const char*> names) {
        for (const char* n : names)
            methodTable_.push_back({object, n});
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
    add(&mMathematica, {"MATHEMATICA"});
    add(&mSigmaDos, {"SIGMADOS"});
    add(&mSigmaWin, {"SIGMAWIN"});
    add(&mWav, {"WAV"});
    add(&mWksBlock, {"WKSBLOCK"});
    add(&mSyntax, {"SYNTAX"});
    add(&mAltSpell, {"ALTERNATESPELLINGS", "ALTERNATESPELLING", "ALTSPELLINGS", "ALTSPELLING", "ALTSPELL"});
    add(&mListAll, {"LISTALL", "LISTALLFILES"});
    methodTable_.push_back({nullptr, nullptr});

    QmFUMIO* numbered[FUM_M_COUNT] = {
        &mOpen, &mClose, &mCloseAll, &mExists, &mRemove, &mSize, &mGetPos, &mSetPos, &mRewind,
        &mToEnd, &mJump, &mJumpChunk, &mSwitchMode, &mRead, &mWrite, &mFRead, &mFWrite, &mDRead,
        &mDWrite, &mLDRead, &mLDWrite, &mARead, &mAWrite, &mReadRowBin, &mReadRecord,
        &mWriteRecord, &mCRead, &mLineRow, &mListSep, &mLRead, &mLWrite, &mReadArray, &mReadRow,
        &mReadToken, &mTRead, &mTWrite, &mASCII, &mSyntax, &mAltSpell, &mListAll, &mSigmaWin,
        &mSigmaDos, &mWav, &mWksBlock, &mMathematica};
    for (int i = 0; i < FUM_M_COUNT; ++i)
        byNumber[i] = numbered[i];

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

QmInt* FUM::Setting(int n)
{
    QmInt* settings[FUM_S_COUNT] = {&newActions, &error, &sysErr, &hFile, &nBytes,
                                    &byteOrder, &isSigned, &skip, &nLinesMode, &listSep};
    return n >= 0 && n < FUM_S_COUNT ? settings[n] : nullptr;
}

void FUM::SetDefaults()
{
    hFile.Reset();
    nBytes.value = 1;
    listSep.value = 44;
    m_spare.value = 5;
    m_version.value = 4.132;
}
