// Opening, closing and asking about files, and the errors of both reporting modes.
#include "FumFixture.h"

#include "qxdefs.h"

TEST_F(FumTest, OpenGivesDistinctNumbersAndMakesTheFileCurrent)
{
    WriteBytes(Path("a.dat"), {1, 2, 3});
    double a = Value("OPEN", Path("a.dat"));
    double b = Value("OPEN", Path("a.dat") + ",0");
    EXPECT_GE(a, 0);
    EXPECT_NE(a, b);
    EXPECT_EQ(Get("HFILE"), b);
    EXPECT_EQ(GetText("FILENAME"), Path("a.dat"));
    // SIZE by number, by the current file and by name.
    EXPECT_EQ(Value("SIZE", std::to_string(static_cast<int>(a))), 3);
    EXPECT_EQ(Get("HFILE"), a);
    EXPECT_EQ(Value("SIZE"), 3);
    EXPECT_EQ(Value("SIZE", "," + Path("a.dat")), 3);

    // OPEN without a name uses FILENAME; a missing file opened for writing is created.
    ASSERT_EQ(SetText("FILENAME", Path("new.dat")), 1);
    ASSERT_EQ(Set("MODE", 1), 1);
    double c = Value("OPEN");
    EXPECT_TRUE(Exists(Path("new.dat")));
    EXPECT_EQ(Value("SIZE", std::to_string(static_cast<int>(c))), 0);

    // CLOSE without a number closes the current file; then a call needing one fails.
    EXPECT_EQ(Value("CLOSE"), 0);
    EXPECT_EQ(Run("CLOSE", ""), QM_NOT_HANDLED);
    EXPECT_EQ(Get("ERROR"), 1028);
    EXPECT_EQ(Value("CLOSEALL"), 0);
    EXPECT_EQ(Run("SIZE", std::to_string(static_cast<int>(a))), QM_NOT_HANDLED);
}

TEST_F(FumTest, OpeningAMissingFileForReadingFailsAndCreatesNothing)
{
    struct Row {
        int extended;
        double error, syserr;
    } rows[] = {{0, 1153, 0}, {1, 22, 2}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.extended);
        ASSERT_EQ(Set("NEWACTIONS", row.extended), 1);
        double v = 0;
        EXPECT_EQ(Run("OPEN", Path("missing.dat") + ",0", &v), QM_NOT_HANDLED);
        EXPECT_EQ(Get("ERROR"), row.error);
        EXPECT_EQ(Get("SYSERR"), row.syserr);
        EXPECT_EQ(Get("HFILE"), -1);
        EXPECT_FALSE(Exists(Path("missing.dat")));
    }
}

TEST_F(FumTest, FailuresInBothReportingModes)
{
    WriteBytes(Path("here.dat"), {7});
    struct Row {
        const char* method;
        std::string argument;
        double classicError, classicSys, extendedError, extendedSys;
    } rows[] = {
        {"OPEN", Path("here.dat") + ",3", 3, 0, 12, 0},
        {"OPEN", "", 1153, 0, 261, 0},
        {"CLOSE", "7", 1156, 9, 14, 0},
        {"CLOSE", "100000", 3, 0, 13, 0},
        // No number and no current file.
        {"CLOSE", "", 1028, 0, 13, 0},
        {"SIZE", "", 1028, 0, 13, 0},
        {"REMOVE", Path("nothing.dat"), 1156, 2, 15, 0},
        {"REMOVE", "", 65, 0, 5, 0},
        {"EXISTS", "", 65, 0, 5, 0},
    };
    for (const Row& row : rows) {
        for (int extended = 0; extended < 2; ++extended) {
            SCOPED_TRACE(std::string(row.method) + "(" + row.argument + ") extended " + std::to_string(extended));
            ASSERT_EQ(Value("RESET"), 0);
            ASSERT_EQ(Set("NEWACTIONS", extended), 1);
            EXPECT_EQ(Run(row.method, row.argument), QM_NOT_HANDLED);
            EXPECT_EQ(Get("ERROR"), extended ? row.extendedError : row.classicError);
            EXPECT_EQ(Get("SYSERR"), extended ? row.extendedSys : row.classicSys);
        }
    }
    // SIZE takes a number or a name, never both.
    for (int extended = 0; extended < 2; ++extended) {
        ASSERT_EQ(Set("NEWACTIONS", extended), 1);
        double h = Value("OPEN", Path("here.dat"));
        EXPECT_EQ(Run("SIZE", std::to_string(static_cast<int>(h)) + "," + Path("here.dat")), QM_NOT_HANDLED);
        EXPECT_EQ(Get("ERROR"), 9);
    }
    // A successful call clears the error of the one before.
    EXPECT_EQ(Value("EXISTS", Path("here.dat")), 1);
    EXPECT_EQ(Get("ERROR"), 0);
    // More arguments than declared fail in the framework's split, before ERROR is cleared.
    EXPECT_EQ(Run("CLOSE", "1,2"), QM_NOT_HANDLED);
    EXPECT_EQ(Value("LASTERRID"), 900);
}

TEST_F(FumTest, ExistsAndRemoveWorkByName)
{
    WriteBytes(Path("gone.dat"), {1});
    EXPECT_EQ(Value("EXISTS", Path("gone.dat")), 1);
    EXPECT_EQ(Value("EXISTS", Path("never.dat")), 0);
    EXPECT_EQ(Get("ERROR"), 0);
    EXPECT_EQ(Value("DELETE", Path("gone.dat")), 1);
    EXPECT_FALSE(Exists(Path("gone.dat")));
    EXPECT_EQ(Value("EXIST", Path("gone.dat")), 0);
}

TEST_F(FumTest, CloseAllEmptiesTheListAndForgetsTheCurrentFile)
{
    EXPECT_EQ(Value("CLOSEALLFILES"), 0);
    Value("OPEN", Path("x.dat") + ",1");
    Value("OPEN", Path("y.dat") + ",2");
    EXPECT_EQ(Value("CLOSEALL"), 0);
    Printed().clear();
    EXPECT_EQ(Value("LISTALL"), 0);
    EXPECT_EQ(Printed(), std::vector<std::string>{"No open files."});
    EXPECT_EQ(Run("SIZE", ""), QM_NOT_HANDLED);
    EXPECT_EQ(Get("ERROR"), 1028);
}
