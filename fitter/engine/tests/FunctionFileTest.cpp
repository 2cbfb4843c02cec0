// Function definition files, the function catalogue and the binding of function libraries:
// reading every kind of value, writing a function that has no file yet, the catalogue
// entries a save makes, edits that only change letter case, texts and paths longer than
// their room, and library names that point outside the program folder.
#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>

#include "FitMemory.h"
#include "FitTestKit.h"

namespace {

void WriteText(const std::string& path, const std::string& text)
{
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_TRUE(f != nullptr) << path;
    fwrite(text.data(), 1, text.size(), f);
    fclose(f);
}

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string Profile(const std::string& file, const char* section, const char* key)
{
    char value[512] = "";
    GetPrivateProfileStringA(section, key, "", value, sizeof value, file.c_str());
    return value;
}

class FunctionFileTest : public FitTest {
protected:
    void SetUp() override
    {
        FitTest::SetUp();
        Get("NPARA");  // makes the session
        s = Session();
        ASSERT_TRUE(s != nullptr);
        def = AllocArray<FunctionDef>(1);
        ASSERT_TRUE(def != nullptr);
    }
    void TearDown() override
    {
        ReleaseFunction(def);
        FreeLockedBlock(def);
        FitTest::TearDown();
    }
    // Writes <settings>\name.fdf and reads it into def; the read's result.
    int ReadDefinition(const std::string& text, const char* name = "f")
    {
        const std::string base = host.settingsDir + "\\" + name;
        WriteText(base + ".fdf", text);
        return ReadFunctionFile(s, def, base.c_str());
    }

    FittingSession* s = nullptr;
    FunctionDef* def = nullptr;
};

const char kFull[] =
    "[GENERAL INFORMATION]\r\n"
    "Function Name=Peak\r\n"
    "Brief Description=a peak ; with a comment\r\n"
    "Function Source=fittestfuncs.Line\r\n"
    "Function Type=Built-in\r\n"
    "Function Form=Y-Script\r\n"
    "Number Of Parameters=2\r\n"
    "Number Of Independent Variables=1\r\n"
    "Number Of Dependent Variables=1\r\n"
    "\r\n"
    "[FITTING PARAMETERS]\r\n"
    "Naming Method=Default\r\n"
    "Names=a,b ; comment\r\n"
    "Initial Values=1(V),2(F)\r\n"
    "Lower Bounds=0(X,On),--(I,Off)\r\n"
    "\r\n"
    "[FORMULA]\r\n"
    "y=a+b*x; z=1\r\n"
    "\r\n"
    "[CONSTRAINTS]\r\n"
    "a<b\r\n"
    "\r\n"
    "[CONSTANTS]\r\n"
    "k=2\r\n"
    "m=3\r\n"
    "[INDEPENDENT VARIABLES]\r\n"
    "x=\r\n"
    "[DEPENDENT VARIABLES]\r\n"
    "y=data_b\r\n"
    "[CONTROLS]\r\n"
    "General Linear Constraints=On\r\n"
    "Number Of Duplicates=N/A\r\n"
    "Curve Point Spacing=Uniform\r\n"
    "Keep Parameters=Maybe\r\n";

}  // namespace

TEST_F(FunctionFileTest, ReadsEveryKindOfValue)
{
    ASSERT_EQ(0, ReadDefinition(kFull));
    EXPECT_STREQ("Peak", def->name);
    EXPECT_STREQ("a peak", def->description);
    EXPECT_EQ(KW_BUILTIN, def->functionType);
    EXPECT_EQ(KW_Y_SCRIPT, def->functionForm);
    EXPECT_EQ(KW_DEFAULT_NAMING, def->namingMethod);
    EXPECT_EQ(2, def->nParams);
    EXPECT_STREQ("a,b", def->paramNames);
    EXPECT_STREQ("1(V),2(F)", def->initialValues);
    // Section bodies keep their ";".
    EXPECT_STREQ("y=a+b*x; z=1", def->formula);
    ASSERT_TRUE(def->constraints != nullptr);
    EXPECT_STREQ("a<b", def->constraints);
    EXPECT_STREQ("k=2,m=3", def->constants);
    EXPECT_STREQ("x=", def->independentNames);
    EXPECT_STREQ("y=data_b", def->dependentNames);
    EXPECT_EQ(KW_ON, def->constraintsSwitch);
    EXPECT_EQ(KW_OFF, def->initSwitch);
    EXPECT_EQ(-1, def->nDuplicates);
    EXPECT_EQ(KW_SPACING_UNIFORM, def->options[OPT_SPACING]);
    // An unknown word takes the fitter's setting, marked as inherited.
    EXPECT_EQ(s->optKeepParams | OPTION_INHERITED, def->options[OPT_KEEP_PARAMS] & 0xFFFF);
    EXPECT_EQ((host.settingsDir + "\\f"), std::string(def->path));
}

TEST_F(FunctionFileTest, AFileWithOnlyANameReadsAsANewUserDefinedExpression)
{
    ASSERT_EQ(0, ReadDefinition("[GENERAL INFORMATION]\r\nFunction Name=Bare\r\n"));
    EXPECT_EQ(KW_USER_DEFINED, def->functionType);
    EXPECT_EQ(KW_EXPRESSION, def->functionForm);
    EXPECT_EQ(KW_USER_DEFINED, def->namingMethod);
    EXPECT_EQ(-1, def->nParams);
    EXPECT_EQ(-1, def->nIndependent);
    EXPECT_STREQ("", def->paramNames);
    EXPECT_EQ(KW_OFF, def->constraintsSwitch);
    EXPECT_EQ(KW_OFF, def->afterSwitch);
    EXPECT_TRUE(def->options[OPT_CURVES] & OPTION_INHERITED);
    EXPECT_EQ(1, ReadFunctionFile(s, def, (host.settingsDir + "\\missing").c_str()));
}

// Counts are whole numbers of 16 bits; anything else is "not given" rather than the digits
// of the text run together ("1.5" must not become 15).
TEST_F(FunctionFileTest, NumberValues)
{
    const struct {
        const char* text;
        int expected;
    } rows[] = {
        {"3", 3}, {"-2", -2}, {"+4", 4}, {"N/A", -1}, {"n/a", -1}, {"", -1}, {"3x", -1},
        {"1.5", -1}, {"1,5", -1}, {"99999", -1}, {"32767", 32767}, {"- 2", -1}, {"7 ; comment", 7},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        ASSERT_EQ(0, ReadDefinition(std::string("[GENERAL INFORMATION]\r\nFunction Name=n\r\nNumber Of Parameters=") +
                                    row.text + "\r\n"));
        EXPECT_EQ(row.expected, def->nParams);
    }
}

// Texts longer than their room: a key value is cut at 255 characters; a formula that does
// not fit is not read at all rather than cut; a path longer than the platform allows is
// not read. None of them writes past a field.
TEST_F(FunctionFileTest, LongTextsAndPaths)
{
    const std::string longName(1000, 'n');
    ASSERT_EQ(0, ReadDefinition("[GENERAL INFORMATION]\r\nFunction Name=" + longName + "\r\n"));
    EXPECT_EQ(std::string(FDF_TEXT_CHARS - 1, 'n'), std::string(def->name));

    const std::string longFormula(FDF_BODY_CHARS + 100, 'x');
    EXPECT_EQ(1, ReadDefinition("[GENERAL INFORMATION]\r\nFunction Name=f\r\n[FORMULA]\r\n" + longFormula + "\r\n"));

    const std::string longPath = host.settingsDir + "\\" + std::string(400, 'p');
    EXPECT_EQ(1, ReadFunctionFile(s, def, longPath.c_str()));
}

// A function defined anew has no file and perhaps no fitfunc folder yet: saving makes both,
// enters the function in the current category even when that category lists nothing yet,
// and leaves out the options it only inherits.
TEST_F(FunctionFileTest, ANewFunctionIsSavedAndListedInItsCategory)
{
    DefaultFunction(s, def);
    strcpy(def->name, "MyLine");
    strcpy(def->path, "MyLine");
    strcpy(def->paramNames, "a,b");
    strcpy(def->formula, "a+b*x");
    strcpy(def->independentNames, "x=");
    strcpy(def->dependentNames, "y=");
    def->nParams = 2;
    def->nIndependent = def->nDependent = 1;
    def->options[OPT_RESIDUE] = KW_YES;
    snprintf(s->category, sizeof s->category, "Mine");
    const std::string ini = host.settingsDir + "\\qfit.ini";
    WritePrivateProfileStringA("Category", "Mine", "fitfunc", ini.c_str());

    ASSERT_EQ(0, WriteFunctionFile(s, def));
    EXPECT_EQ(0, def->modified);
    const std::string file = host.settingsDir + "\\fitfunc\\MyLine.fdf";
    const std::string text = ReadText(file);
    EXPECT_NE(std::string::npos, text.find("[FORMULA]\r\na+b*x\r\n\r\n\r\n"));
    EXPECT_NE(std::string::npos, text.find("Generate Residue After Fitting=Yes\r\n"));
    EXPECT_EQ(std::string::npos, text.find("Keep Parameters"));
    EXPECT_EQ("MyLine", Profile(ini, "Mine", "MyLine"));

    FunctionDef* back = AllocArray<FunctionDef>(1);
    ASSERT_EQ(0, ReadFunctionFile(s, back, (host.settingsDir + "\\fitfunc\\MyLine").c_str()));
    EXPECT_EQ(0, FunctionsDiffer(def, back));
    ReleaseFunction(back);
    FreeLockedBlock(back);

    // Renamed and saved again: the old key goes, the new one names the same file.
    strcpy(def->name, "MyStraightLine");
    ASSERT_EQ(0, WriteFunctionFile(s, def));
    EXPECT_EQ("", Profile(ini, "Mine", "MyLine"));
    EXPECT_EQ("MyLine", Profile(ini, "Mine", "MyStraightLine"));

    // The catalogue finds it by name from a fresh session.
    SelectFunction(s, nullptr);
    FreeFunctionList(s);
    s->category[0] = 0;
    SetText("FUNC", "mystraightline");
    EXPECT_EQ(0, Err());
    EXPECT_EQ("MyStraightLine", GetText("FUNC"));
    EXPECT_EQ(2, Get("NPARA"));
}

TEST_F(FunctionFileTest, AWriteProtectedFileIsNotOverwritten)
{
    DefaultFunction(s, def);
    strcpy(def->name, "Locked");
    strcpy(def->path, "Locked");
    const std::string folder = host.settingsDir + "\\fitfunc";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string file = folder + "\\Locked.fdf";
    WriteText(file, "old");
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(1, WriteFunctionFile(s, def));
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ("old", ReadText(file));
}

// An edit that only changes letter case is an edit: it marks the definition changed and
// makes it differ from the saved one.
TEST_F(FunctionFileTest, EditsThatOnlyChangeLetterCaseAreKept)
{
    ASSERT_EQ(0, ReadDefinition(kFull));
    FunctionDef* saved = AllocArray<FunctionDef>(1);
    ASSERT_EQ(0, CopyFunction(saved, def));
    EXPECT_EQ(0, FunctionsDiffer(def, saved));
    EXPECT_EQ(1, SetFunctionField(def, 4103, "A,B"));
    EXPECT_STREQ("A,B", def->paramNames);
    EXPECT_TRUE(def->modified & FDF_CHANGED);
    EXPECT_EQ(1, FunctionsDiffer(def, saved));
    EXPECT_EQ(0, SetFunctionField(def, 4103, "A,B"));
    EXPECT_EQ(1, SetFunctionField(def, 4099, "A<B"));
    EXPECT_STREQ("A<B", def->constraints);
    EXPECT_STREQ("a<b", saved->constraints);
    EXPECT_EQ(0, SetFunctionField(def, 4103, std::string(FDF_TEXT_CHARS, 'z').c_str()));
    ReleaseFunction(saved);
    FreeLockedBlock(saved);
}

TEST_F(FunctionFileTest, RenderingAndParsingAgree)
{
    ASSERT_EQ(0, ReadDefinition(kFull));
    // Rendered text states every option, so parsing it back makes inherited ones explicit.
    for (int16_t& option : def->options)
        option = static_cast<int16_t>(option & 0x7FFF);
    char text[8192];
    ASSERT_EQ(0, RenderFunction(s, def, text, sizeof text));
    EXPECT_EQ(0, strncmp(text, "[GENERAL INFORMATION]\r\nFunction Name=Peak\r\n", 43));
    FunctionDef* parsed = AllocArray<FunctionDef>(1);
    DefaultFunction(s, parsed);
    ASSERT_EQ(0, ParseFunctionDefinition(s, parsed, text));
    strcpy(parsed->path, def->path);
    EXPECT_EQ(0, FunctionsDiffer(def, parsed));
    EXPECT_EQ(1, RenderFunction(s, def, text, 40));
    MeasureFunction(s, def);
    EXPECT_GT(def->measuredLines, 30);
    size_t widest = 0;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
        widest = std::max(widest, line.size() - (line.empty() || line.back() != '\r' ? 0 : 1));
    EXPECT_EQ(static_cast<int>(widest), def->measuredWidth);
    ReleaseFunction(parsed);
    FreeLockedBlock(parsed);
}

// The catalogue: a category's folder relative to the settings folder, its default function,
// a category that lists only its default, and removing functions from the loaded list.
TEST_F(FunctionFileTest, CategoriesLoadTheirFunctions)
{
    const std::string ini = host.settingsDir + "\\qfit.ini";
    const std::string folder = host.settingsDir + "\\fits";
    CreateDirectoryA(folder.c_str(), nullptr);
    for (const char* name : {"One", "Two", "Three"})
        WriteText(folder + "\\" + name + ".fdf", std::string("[GENERAL INFORMATION]\r\nFunction Name=") + name +
                                                     "\r\nFunction Type=Built-in\r\nFunction Source=fittestfuncs.Line\r\n");
    WritePrivateProfileStringA("Category", "Lines", "fits", ini.c_str());
    WritePrivateProfileStringA("Category", "Empty", "fits", ini.c_str());
    WritePrivateProfileStringA("Lines", "One", "One", ini.c_str());
    WritePrivateProfileStringA("Lines", "Two", "Two", ini.c_str());
    WritePrivateProfileStringA("Lines", "Gone", "NoSuchFile", ini.c_str());
    WritePrivateProfileStringA("Lines", "Three", (folder + "\\Three").c_str(), ini.c_str());
    WritePrivateProfileStringA("Lines", "Default Function", "Two", ini.c_str());
    WritePrivateProfileStringA("Empty", "Default Function", "One", ini.c_str());

    Call("CATEGORY", "Lines");
    EXPECT_EQ(3, s->nFunctions);
    EXPECT_EQ("Two", GetText("FUNC"));
    EXPECT_EQ(2, Get("NPARA"));  // the library's count wins over the file's missing one

    // Removing the current last function makes the one before it current.
    SetText("FUNC", "Three");
    ASSERT_EQ(0, RemoveFunction(s, 2));
    EXPECT_EQ("Two", GetText("FUNC"));
    // Removing one before the current keeps the same definition current.
    ASSERT_EQ(0, RemoveFunction(s, 0));
    EXPECT_EQ("Two", GetText("FUNC"));
    EXPECT_EQ(1, s->nFunctions);

    EXPECT_EQ(1, LoadFunctionGroup(s, "Empty"));
    EXPECT_EQ(0, s->nFunctions);
    SetText("FUNC", "Nothing");
    EXPECT_EQ(28041, Err());

    // A new session loads the group of the setting "Function Group" with its default.
    WritePrivateProfileStringA("QFIT Control", "Function Group", "Lines", ini.c_str());
    ScxFit(window, 2, 0, nullptr, TestHost::Callback);
    EXPECT_EQ("Two", GetText("FUNC"));
    s = Session();
}

// Library names: "curvelib" maps to the system's own library; a name that reaches outside
// the program folder is refused; a library without the function is not kept and the
// message names the source.
TEST_F(FunctionFileTest, LibrariesLoadOnlyFromTheProgramFolder)
{
    const struct {
        const char* source;
        int bound;
    } rows[] = {
        {"fittestfuncs.Line", 1},
        {"..\\bin\\fittestfuncs.Line", 0},
        {"C:\\windows\\system32\\fittestfuncs.Line", 0},
        {"fittestfuncs.NoSuchFunction", 0},
        {"nosuchlibrary.Line", 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.source);
        FunctionDef d = {};
        snprintf(d.name, sizeof d.name, "F%d", static_cast<int>(&row - rows));
        d.functionType = KW_BUILTIN;
        snprintf(d.source, sizeof d.source, "%s", row.source);
        ASSERT_EQ(0, AddLoadedFunction(s, &d));
        host.errors.clear();
        SetText("FUNC", d.name);
        if (row.bound) {
            EXPECT_EQ(0, Err());
            EXPECT_TRUE(s->current->module != nullptr);
        } else {
            EXPECT_EQ(28041, Err());
            EXPECT_TRUE(s->current == nullptr || s->current->module == nullptr);
            ASSERT_FALSE(host.errors.empty());
            EXPECT_EQ(row.source, host.errors.back().second);
        }
    }
}

// Old-format files: a ".f" file is read through the converter library when no ".fdf" file
// of the name exists; one that already has a "General Information" section with keys, or
// that the converter refuses, is not read.
TEST_F(FunctionFileTest, OldFormatFilesGoThroughTheConverter)
{
    const std::string base = host.settingsDir + "\\";
    WriteText(base + "oldline.f", "OLD\r\na+b*x\r\n");
    WriteText(base + "refused.f", "NEW\r\n");
    WriteText(base + "current.f", "[General Information]\r\nFunction Name=current\r\n");
    ASSERT_EQ(0, ReadFunctionFile(s, def, (base + "oldline").c_str()));
    EXPECT_STREQ("oldline", def->name);
    EXPECT_STREQ("a+b*x", def->formula);
    EXPECT_EQ(KW_USER_DEFINED, def->functionType);
    EXPECT_EQ(1, ReadFunctionFile(s, def, (base + "refused").c_str()));
    EXPECT_EQ(1, ReadFunctionFile(s, def, (base + "current").c_str()));

    // Old function lists of the host's profile file become categories of qfit.ini, and the
    // old section goes once every list was converted.
    WritePrivateProfileStringA("FitFunc", "path", host.settingsDir.c_str(), host.profileFile.c_str());
    WritePrivateProfileStringA("FitFunc", "list1", "oldline refused", host.profileFile.c_str());
    WritePrivateProfileStringA("FitFunc", "other", "oldline", host.profileFile.c_str());
    ASSERT_EQ(0, ConvertOldFunctionLists(s));
    const std::string ini = host.settingsDir + "\\qfit.ini";
    EXPECT_EQ(host.settingsDir, Profile(ini, "Category", "Quorix_list1"));
    EXPECT_EQ("oldline", Profile(ini, "Quorix_list1", "oldline"));
    EXPECT_EQ("", Profile(ini, "Quorix_list1", "refused"));
    EXPECT_EQ("", Profile(host.profileFile, "FitFunc", "path"));
    EXPECT_EQ(1, ConvertOldFunctionLists(s)) << "nothing left to convert";

    // The converted category loads like any other.
    Call("CATEGORY", "Quorix_list1");
    SetText("FUNC", "oldline");
    EXPECT_EQ(0, Err());
}
