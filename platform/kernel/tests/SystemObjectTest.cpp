// The system object: its row walker as scripts reach it, the snapshot the options sheet
// restores, startup options and file type groups kept in the INI file.
#include "KernelTest.h"

#include "QKAccess.h"
#include "QKGraphObjects.h"
#include "QKSysMethod.h"
#include "QmHost.h"

namespace {

// A settings member object with one integer, one text and one function, in the shape
// the user interface's members take.
class TestMember : public QmMethod {
public:
    TestMember()
    {
        m_rows[0] = QmIntRow<TestMember>("LEVEL", &TestMember::GetLevel, &TestMember::SetLevel, 3);
        m_rows[1] = QmTextRow<TestMember>("LABEL", &TestMember::GetLabel, &TestMember::SetLabel);
        m_rows[2] = QmIntRow<TestMember>("FIXED", &TestMember::GetLevel, nullptr, 0);
        m_rows[3] = QmEndRow();
        m_methods[0] = QmFunctionRow<TestMember>("JOIN", &TestMember::Join);
        m_methods[1] = QmEndRow();
    }
    QmRow* GetTable() override { return m_rows; }
    QmRow* GetTableOfSimpleMethods() override { return m_methods; }
    int Process(double* result, QmDLL*) override
    {
        ++calls;
        *result = 42;
        return 0;
    }

    // 1 to 9; anything else is refused.
    int GetLevel(int* v)
    {
        *v = level;
        return 1;
    }
    int SetLevel(int v)
    {
        if (v < 1 || v > 9)
            return 0;
        level = v;
        return 1;
    }
    int GetLabel(char* buffer)
    {
        lstrcpynA(buffer, label.c_str(), QM_ROW_TEXT_SIZE);
        return 1;
    }
    int SetLabel(const char* text)
    {
        label = text;
        return 1;
    }
    int Join(double* result, const char* argText, QmDLL*)
    {
        CreateArguments(2);
        Begin(argText, nullptr);
        joined = std::string(args[0]->GetText()) + "|" + args[1]->GetText();
        DeleteArguments();
        *result = 7;
        return 0;
    }

    int level = 3, calls = 0;
    std::string label, joined;

private:
    QmRow m_rows[4];
    QmRow m_methods[2];
};

class TestSystem : public CQKQrxSystem {
public:
    TestSystem()
    {
        m_own[0] = QmObjectRow("MEMBER", &member, QM_KIND_OBJECT_2);
        m_own[1] = QmEndRow();
    }
    int FindCommand(const char* name, const char* argText, double* result) override
    {
        int rc = find_command(name, argText, result, m_own);
        return rc ? rc : CQKQrxSystem::FindCommand(name, argText, result);
    }
    int FindCommandValue(const char* methodName, const char* name, char* text, int op) override
    {
        int rc = find_command_value(methodName, name, text, op, m_own);
        return rc ? rc : CQKQrxSystem::FindCommandValue(methodName, name, text, op);
    }
    void List() override
    {
        list_table(m_own, "");
        CQKQrxSystem::List();
    }
    void Init() override
    {
        CQKQrxSystem::Init();
        init_table(m_own, this);
    }
    int LoadSaveINI(STINI* ini, const char* section) override
    {
        load_save_INI(ini, section, m_own, this);
        return CQKQrxSystem::LoadSaveINI(ini, section);
    }

    TestMember member;

private:
    QmRow m_own[2];
};

class TestAccess : public CQKAccess {
public:
    CQKQrxSystem* create_QrxSystem_object() override { return new TestSystem; }
    int OnColorPaletteDialog() override
    {
        ++paletteDialogs;
        return IDOK;
    }
    int paletteDialogs = 0;
};

class SystemObjectTest : public KernelTest {
protected:
    void SetUp() override
    {
        KernelTest::SetUp();
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        char old[MAX_PATH];
        qkfxGetGlobalINIPath(old);
        oldIni = old;
        iniFolder = std::string(temp) + "qxsystemtest" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(iniFolder.c_str(), nullptr);
        qkfxSetGlobalINIPath(iniFolder.c_str());
        DeleteFileA(qkfxGetINIFileFullPathName().c_str());
        // The access object made last makes the system object, anew after Uninit.
        access.reset(new TestAccess);
        access->Uninit();
        system = dynamic_cast<TestSystem*>(&qkfxGetQrxSystem());
        ASSERT_NE(nullptr, system);
    }
    void TearDown() override
    {
        DeleteFileA(qkfxGetINIFileFullPathName().c_str());
        RemoveDirectoryA(iniFolder.c_str());
        access->Uninit();
        access.reset();
        qkfxSetGlobalINIPath(oldIni.c_str());
        KernelTest::TearDown();
    }

    std::unique_ptr<TestAccess> access;
    TestSystem* system = nullptr;
    std::string iniFolder, oldIni;
};

TEST_F(SystemObjectTest, ScriptsReachTheRowsOfTheMembers)
{
    ASSERT_TRUE(Run("v = system.member.level; system.member.level = 7; w = system.member.level;"
                    "system.member.label$ = \"a b\"; %A = system.member.label$;"
                    "r = system.member(); j = system.member.join( one , \"two\" );"))
        << err;
    EXPECT_EQ(3, Var("v"));
    EXPECT_EQ(7, Var("w"));
    EXPECT_EQ("a b", system->member.label);
    EXPECT_EQ(42, Var("r"));
    EXPECT_EQ(1, system->member.calls);
    EXPECT_EQ(7, Var("j"));
    EXPECT_EQ("one|two", system->member.joined);
    ASSERT_TRUE(Run("type %A")) << err;
    EXPECT_EQ("a b\n", out);

    // A refused value, a read-only member and a missing one stop the script and keep the value.
    struct Case {
        const char* script;
        const char* error;
    } cases[] = {
        {"system.member.level = 12", "failed"},
        {"system.member.fixed = 2", "failed"},
        {"system.member.nothing = 2", "failed"},
        {"x = system.nothing", "is not a member"},
        {"x = system.member.label", "failed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        EXPECT_FALSE(Run(c.script));
        EXPECT_NE(std::string::npos, err.find(c.error)) << err;
    }
    EXPECT_EQ(7, system->member.level);
}

TEST_F(SystemObjectTest, ListingNamesEveryMember)
{
    ASSERT_TRUE(Run("system.=")) << err;
    for (const char* name : {"MEMBER()\n", "MEMBER.JOIN()\n", "MEMBER.LEVEL\n", "MEMBER.LABEL$\n",
                             "SAVESTARTUP()\n", "LOADSTARTUP()\n"})
        EXPECT_NE(std::string::npos, out.find(name)) << name << " in\n" << out;
}

TEST_F(SystemObjectTest, SnapshotBringsBackEverySettingAndInitTheDefaults)
{
    system->member.level = 5;
    system->GetRefNumeric().SetNumDecDigits(9);
    system->GetRefDash().SetDefinition(3, "1 1");
    system->SaveTemporary();
    system->member.level = 8;
    system->GetRefNumeric().SetNumDecDigits(2);
    system->GetRefDash().SetDefinition(3, "9 9");
    system->LoadTemporary();
    EXPECT_EQ(5, system->member.level);
    EXPECT_EQ(9, system->GetRefNumeric().GetNumDecDigits());
    EXPECT_EQ("1 1", system->GetRefDash().GetDefinition(3));

    system->Init();
    EXPECT_EQ(3, system->member.level);
    EXPECT_EQ(QKSysMethodNumeric().GetNumDecDigits(), system->GetRefNumeric().GetNumDecDigits());
}

TEST_F(SystemObjectTest, StartupOptionsSurviveANewSystemObject)
{
    system->member.level = 6;
    system->member.label = "kept";
    system->GetRefGraph().SetDefaultImportPlotXY("Scatter");
    system->GetRefAxis().SetWidth(2.25);
    system->GetRefFileExt().EnableTrackingBetweenSessions(TRUE);
    ASSERT_TRUE(Run("system.savestartup()")) << err;

    access->Uninit();
    system = dynamic_cast<TestSystem*>(&qkfxGetQrxSystem());
    ASSERT_NE(nullptr, system);
    EXPECT_EQ(6, system->member.level);
    EXPECT_EQ("kept", system->member.label);
    EXPECT_EQ("Scatter", system->GetRefGraph().GetDefaultImportPlotXY());
    EXPECT_EQ(2.25, system->GetRefAxis().GetWidth());
    EXPECT_TRUE(system->GetRefFileExt().IsTrackingBetweenSessions());

    system->member.level = 2;
    ASSERT_TRUE(Run("system.loadstartup()")) << err;
    EXPECT_EQ(6, system->member.level);
}

TEST_F(SystemObjectTest, FileTypeGroupsRoundTripThroughTheIniFile)
{
    QKSysMethodFileExt& ext = system->GetRefFileExt();
    CQKFileTypeGroupPtrArray groups;
    ASSERT_TRUE(ext.Load(groups));
    int ascii = groups.GetGroupIndex("ascii");
    ASSERT_GE(ascii, 0);
    EXPECT_GE(groups.GetGroupIndex("Template"), 0);

    CQKFileTypeGroup* g = groups.GetAt(ascii);
    int types = g->GetNumTypes();
    EXPECT_FALSE(g->AddType("Nothing", "  "));
    ASSERT_TRUE(g->AddType(std::string(70, 'd'), "Test?.DAT; Data??.* and much more"));
    g->SetDefaultPath("C:\\data\\");
    g->SetDefaultType(types);
    groups.GetAt(0 == ascii ? 1 : 0)->DeleteType(0);
    ASSERT_TRUE(ext.Save(groups));

    CQKFileTypeGroupPtrArray back;
    ASSERT_TRUE(ext.Load(back));
    ASSERT_EQ(groups.GetSize(), back.GetSize());
    for (int i = 0; i < groups.GetSize(); ++i) {
        const CQKFileTypeGroup* a = groups.GetAt(i);
        const CQKFileTypeGroup* b = back.GetAt(i);
        EXPECT_EQ(a->GetName(), b->GetName());
        EXPECT_EQ(a->GetDefaultPath(), b->GetDefaultPath());
        EXPECT_EQ(a->GetDefaultType(), b->GetDefaultType());
        ASSERT_EQ(a->GetNumTypes(), b->GetNumTypes()) << a->GetName();
        for (int t = 0; t < a->GetNumTypes(); ++t) {
            EXPECT_EQ(a->GetTypeDescription(t), b->GetTypeDescription(t));
            EXPECT_EQ(a->GetTypeExtensions(t), b->GetTypeExtensions(t));
        }
    }
    const CQKFileTypeGroup* added = back.GetAt(ascii);
    EXPECT_EQ(59u, added->GetTypeDescription(types).size());
    EXPECT_EQ("Test?.DAT; Data??.*", added->GetTypeExtensions(types));

    // Deleting the default type moves the default to the first type; after it, it follows.
    CQKFileTypeGroup* a = back.GetAt(ascii);
    a->SetDefaultType(2);
    a->DeleteType(0);
    EXPECT_EQ(1, a->GetDefaultType());
    a->DeleteType(1);
    EXPECT_EQ(0, a->GetDefaultType());
    EXPECT_FALSE(a->DeleteType(99));

    // The running program's groups are a copy of their own.
    ext.SetAllGroups(back);
    back.GetAt(ascii)->SetDefaultPath("elsewhere");
    CQKFileTypeGroupPtrArray current;
    ext.GetAllGroups(current);
    EXPECT_EQ("C:\\data\\", current.GetAt(ascii)->GetDefaultPath());
}

TEST_F(SystemObjectTest, DefaultPlotTypeTakesOnlyKnownIds)
{
    EXPECT_EQ(33250, qkuSetGetDefaultPlotType(qkuCheckConvertPlotId(33250)));
    EXPECT_EQ(33250, qkuSetGetDefaultPlotType(-1));
    EXPECT_EQ(33249, qkuCheckConvertPlotId(12345));
    EXPECT_EQ(33280, qkuCheckConvertPlotId(33280));
}

} // namespace

// The colour table the palette dialog edits: its limits, the defaults, and the INI file,
// read again at start and by system.loadstartup().
TEST_F(SystemObjectTest, ColourTableEditsWithinItsLimitsAndRoundTripsThroughTheIniFile)
{
    using Colours = std::vector<std::pair<std::string, DWORD>>;
    Colours defaults;
    CQKColor::RestoreQuorixDefaultColors();
    CQKColor::GetColors(defaults);
    ASSERT_EQ(24u, defaults.size());
    const int max = CQKColor::GetMaxNumOfColors();
    ASSERT_GE(max, (int)defaults.size());

    struct Case {
        const char* what;
        Colours colours;
        BOOL accepted;
    } cases[] = {
        {"one colour", {{"Only", RGB(1, 2, 3)}}, TRUE},
        {"no colours", {}, FALSE},
        {"a blank name", {{"A", 0}, {"  ", 0}}, FALSE},
        {"the largest number", Colours(max, {"Same", RGB(9, 9, 9)}), TRUE},
        {"one too many", Colours(max + 1, {"Same", 0}), FALSE},
    };
    for (const Case& c : cases) {
        CQKColor::RestoreQuorixDefaultColors();
        EXPECT_EQ(c.accepted, CQKColor::SetColors(c.colours)) << c.what;
        Colours now;
        CQKColor::GetColors(now);
        EXPECT_EQ(c.accepted ? c.colours : defaults, now) << c.what;
    }

    // An index past a shortened table is refused, never read.
    ASSERT_TRUE(CQKColor::SetColors({{"Ink", RGB(10, 20, 30)}, {"Sea", RGB(0, 90, 200)}}));
    DWORD rgb = 0;
    std::string name;
    EXPECT_TRUE(CQKColor::GetColorRef(1, rgb, 0));
    EXPECT_EQ(RGB(0, 90, 200), rgb);
    EXPECT_FALSE(CQKColor::GetColorRef(2, rgb, 0));
    EXPECT_FALSE(CQKColor::GetColorName(23, name));

    // Saved, changed, read back at start and by loadstartup.
    CQKPalette::SetPaletteMode(1);
    ASSERT_TRUE(CQKColor::SavePaletteToINIFile());
    ASSERT_TRUE(CQKPalette::SavePaletteTypeToINIFile());
    CQKColor::RestoreQuorixDefaultColors();
    CQKPalette::SetPaletteMode(0);
    access->Uninit();
    qkfxGetQrxSystem();
    Colours now;
    CQKColor::GetColors(now);
    EXPECT_EQ((Colours{{"Ink", RGB(10, 20, 30)}, {"Sea", RGB(0, 90, 200)}}), now);
    EXPECT_EQ(1, CQKPalette::GetPaletteMode());
    CQKColor::RestoreQuorixDefaultColors();
    ASSERT_TRUE(Run("system.loadstartup()")) << err;
    CQKColor::GetColors(now);
    EXPECT_EQ(2u, now.size());

    // A damaged section leaves the table as it is.
    const std::string ini = qkfxGetINIFileFullPathName();
    for (const char* bad : {"300 0 0 Red", "1 2 Red", "1 2 3", "x 2 3 Red"}) {
        CQKColor::RestoreQuorixDefaultColors();
        WritePrivateProfileStringA("Color Palette", "Color2", bad, ini.c_str());
        EXPECT_FALSE(CQKColor::ReadPaletteFromINIFile()) << bad;
        CQKColor::GetColors(now);
        EXPECT_EQ(defaults, now) << bad;
    }
    WritePrivateProfileStringA("Color Palette", "Color2", "0 90 200 Sea", ini.c_str());
    WritePrivateProfileStringA("Color Palette", "Count", "0", ini.c_str());
    EXPECT_FALSE(CQKColor::ReadPaletteFromINIFile());
    CQKColor::RestoreQuorixDefaultColors();
    CQKPalette::SetPaletteMode(0);
}

TEST_F(SystemObjectTest, EditColorOpensThePaletteDialog)
{
    ASSERT_TRUE(Run("edit -color;")) << err;
    EXPECT_EQ(1, access->paletteDialogs);
}
