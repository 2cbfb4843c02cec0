// The root's names and settings, the checked properties in both reporting modes, and the
// help methods' printed lines.
#include "FumFixture.h"

#include "qxdefs.h"

TEST_F(FumTest, AlternateNamesReachOneObjectAndNamesAreWholeAndTyped)
{
    EXPECT_EQ(Set("NEW", 1), 1);
    EXPECT_EQ(Get("NEWACTIONS"), 1);
    EXPECT_EQ(Set("NewActions", 0), 1);
    EXPECT_EQ(Get("NEWACTION"), 0);
    double v = 0;
    EXPECT_EQ(Call(nullptr, "NEWACT", &v, OBJOP_GET_NUMBER), QM_NOT_FOUND);
    // A text property is no number.
    EXPECT_EQ(Call(nullptr, "FILENAME", &v, OBJOP_GET_NUMBER), QM_NOT_FOUND);
    EXPECT_EQ(SetText("NAME", "a.dat"), 1);
    EXPECT_EQ(GetText("FILENAME"), "a.dat");
    EXPECT_EQ(GetText("WORKSHEETNAME"), "");
    // The framework's members stay reachable behind the object's own.
    EXPECT_EQ(Value("LASTERRID"), 0);
}

TEST_F(FumTest, ListingShowsOwnMembersBeforeTheFrameworks)
{
    double v = 0;
    ASSERT_EQ(Call(nullptr, "", &v, OBJOP_GET_NUMBER), 1);
    const std::vector<std::string>& lines = Printed();
    auto at = [&](const std::string& line) {
        for (size_t i = 0; i < lines.size(); ++i)
            if (lines[i] == line)
                return static_cast<int>(i);
        return -1;
    };
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "RESET()");
    EXPECT_GE(at("  OPEN.MODE\t0"), 0);
    EXPECT_GE(at("  READASCII.NTOKENS\t1"), 0);
    EXPECT_LT(at("LISTALLFILES()"), at("NEWACTIONS\t0"));
    EXPECT_LT(at("HFILE\t-1"), at("LISTERR()"));
    EXPECT_LT(at("SYSERR\t0"), at("LISTERR()"));
    EXPECT_LT(at("LISTERR()"), at("WARNMSG\t0"));
}

TEST_F(FumTest, ResetRestoresEveryDefaultAndLeavesFilesOpen)
{
    double h = Value("OPEN", Path("kept.dat") + ",1");
    const char* zeroed[] = {"BYTEORDER", "SIGNED", "NLINESMODE", "SKIP", "NEWACTIONS", "MODE"};
    for (const char* name : zeroed)
        EXPECT_EQ(Set(name, 1), 1) << name;
    EXPECT_EQ(Set("NBYTES", 4), 1);
    EXPECT_EQ(Set("LISTSEP", 59), 1);
    EXPECT_EQ(Value("RESET"), 0);
    for (const char* name : zeroed)
        EXPECT_EQ(Get(name), 0) << name;
    EXPECT_EQ(Get("HFILE"), -1);
    EXPECT_EQ(Get("NBYTES"), 1);
    EXPECT_EQ(Get("LISTSEP"), 44);
    EXPECT_EQ(Get("ERROR"), 0);
    EXPECT_EQ(Get("SYSERR"), 0);
    // The file is still open under its number.
    EXPECT_EQ(Value("CLOSE", std::to_string(static_cast<int>(h))), 0);
}

TEST_F(FumTest, CheckedPropertiesRefuseOnlyInExtendedMode)
{
    struct Row {
        const char* name;
        double value;
        bool allowed;
    } rows[] = {
        {"BYTEORDER", 2, true}, {"BYTEORDER", 3, false}, {"BYTEORDER", -1, false},
        {"SIGNED", 1, true}, {"SIGNED", 2, false},
        {"NBYTES", 10, true}, {"NBYTES", 5, false}, {"NBYTES", 0, false},
        {"NLINESMODE", 2, true}, {"NLINEMODE", 3, false},
        {"LISTSEP", 255, true}, {"LISTSEP", 256, false},
        {"MODE", 2, true}, {"OPENMODE", 3, false},
        {"HFILE", 100000, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.name) + " := " + std::to_string(row.value));
        ASSERT_EQ(Value("RESET"), 0);
        double before = Get(row.name);
        // Classic: stored as given (truncated), whatever it is.
        EXPECT_EQ(Set(row.name, row.value + 0.7 * (row.value >= 0 ? 1 : -1)), 1);
        EXPECT_EQ(Get(row.name), row.value);
        ASSERT_EQ(Value("RESET"), 0);
        ASSERT_EQ(Set("NEWACTIONS", 1), 1);
        if (row.allowed) {
            EXPECT_EQ(Set(row.name, row.value), 1);
            EXPECT_EQ(Get(row.name), row.value);
        } else {
            EXPECT_EQ(Set(row.name, row.value), QM_NOT_HANDLED);
            EXPECT_EQ(Get(row.name), before);
            EXPECT_EQ(Get("ERROR"), row.name == std::string("HFILE") ? 13 : 12);
        }
    }
}

TEST_F(FumTest, SyntaxAndAltSpellPrintTheTables)
{
    EXPECT_EQ(Value("SYNTAX"), 0);
    ASSERT_EQ(Printed().size(), 82u);
    EXPECT_EQ(Printed()[0], "Methods available in FUM: ");
    EXPECT_EQ(Printed()[1], "RESET");
    EXPECT_EQ(Printed()[81], "LISTALLFILES");

    Printed().clear();
    EXPECT_EQ(Value("ALTSPELL"), 0);
    ASSERT_EQ(Printed().size(), 21u);
    EXPECT_EQ(Printed()[0], "Properties available in FUM: ");
    EXPECT_EQ(Printed()[1], "NEWACTIONS");
    EXPECT_EQ(Printed()[20], "SYSERR");

    struct Row {
        const char* method;
        const char* argument;
        std::vector<std::string> lines;
    } rows[] = {
        {"SYNTAX", "open", {"fum.open([filename$][,mode])"}},
        {"SYNTAX", "Size", {"fum.Size([[hFile][,filename$]])\r\nNote: only one argument-- hFile OR filename$."}},
        {"ALTSPELL", "rewind", {"REWIND", "TOSTART", "TOBEGIN", "TOBEGINNING"}},
        {"ALTSPELL", "nbyte", {"NBYTES", "NBYTE"}},
        // A name that is both a method and a property gives the method's spellings.
        {"ALTSPELL", "listsep", {"LISTSEP"}},
        {"ALTSPELL", "name", {"FILENAME", "NAME"}},
        {"SYNTAX", "nosuch", {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.method) + "(" + row.argument + ")");
        Printed().clear();
        EXPECT_EQ(Value(row.method, row.argument), 0);
        EXPECT_EQ(Printed(), row.lines);
    }

    ASSERT_EQ(Set("NEWACTIONS", 1), 1);
    EXPECT_EQ(Run("SYNTAX", "nosuch"), QM_NOT_HANDLED);
    EXPECT_EQ(Get("ERROR"), 262);
    EXPECT_EQ(Run("ALTSPELL", "nosuch"), QM_NOT_HANDLED);
    EXPECT_EQ(Get("ERROR"), 264);
}

TEST_F(FumTest, ListAllShowsNumbersModesAndNames)
{
    EXPECT_EQ(Value("LISTALL"), 0);
    EXPECT_EQ(Printed(), std::vector<std::string>{"No open files."});

    int r = static_cast<int>(Value("OPEN", Path("one.dat") + ",2"));
    int w = static_cast<int>(Value("OPEN", Path("two.dat") + ",1"));
    char number[2][16];
    snprintf(number[0], 16, "%6d  ", r);
    snprintf(number[1], 16, "%6d  ", w);

    Printed().clear();
    EXPECT_EQ(Value("LISTALL", "m,p"), 2);
    EXPECT_EQ(Printed(), (std::vector<std::string>{" hFile  Mode   Path", "",
                                                   number[0] + std::string("both   ") + Path("one.dat"),
                                                   number[1] + std::string("write  ") + Path("two.dat")}));
    Printed().clear();
    EXPECT_EQ(Value("LISTALL", ",Path"), 2);
    EXPECT_EQ(Printed()[0], " hFile  Path");
    EXPECT_EQ(Printed()[2], number[0] + Path("one.dat"));
    Printed().clear();
    EXPECT_EQ(Value("LISTALL"), 2);
    EXPECT_EQ(Printed()[0], " hFile  Name");
    EXPECT_EQ(Printed()[3], number[1] + std::string("two.dat"));
}

TEST_F(FumTest, ListSepTakesTheQuotedCharacter)
{
    EXPECT_EQ(Value("LISTSEP", "\";\""), MISSING_VALUE);
    EXPECT_EQ(Get("LISTSEP"), 59);
    auto offered = TestHost::Get().Requests(0x100E);
    ASSERT_EQ(offered.size(), 1u);
    EXPECT_EQ(Value("LISTSEP", "\"\t\""), MISSING_VALUE);
    EXPECT_EQ(Get("LISTSEP"), 9);
    EXPECT_EQ(Value("LISTSEP"), MISSING_VALUE);
    EXPECT_EQ(Get("LISTSEP"), 44);

    EXPECT_EQ(Run("LISTSEP", ";"), QM_NOT_HANDLED);
    EXPECT_EQ(Get("ERROR"), 65);
    ASSERT_EQ(Set("NEWACTIONS", 1), 1);
    EXPECT_EQ(Run("LISTSEP", ";"), QM_NOT_HANDLED);
    EXPECT_EQ(Get("ERROR"), 10);
    // A character the separator cannot hold is refused, not silently ignored.
    EXPECT_EQ(Run("LISTSEP", "\"\xE9\""), QM_NOT_HANDLED);
    EXPECT_EQ(Get("ERROR"), 12);
    EXPECT_EQ(Get("LISTSEP"), 44);
}
