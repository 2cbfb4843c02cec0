#include "KernelTest.h"

#include "QKSysMethod.h"

using InterpreterTest = KernelTest;

// Each script runs in a fresh kernel; `expected` is everything it prints.
TEST_F(InterpreterTest, ScriptsPrintWhatTheyCompute)
{
    struct { const char* script; const char* expected; } cases[] = {
        {"type hello world", "hello world\n"},
        {"type \"slope $(2*3)\"; type \"a\" and \"b\"", "slope 6\n\"a\" and \"b\"\n"},
        {"ty -a OLE error 51: it failed. Please, call the vendor's support.\n",
         "OLE error 51: it failed. Please, call the vendor's support.\n"},
        {"type -a [Max # contours exceeded]", "[Max # contours exceeded]\n"},
        {"x = 1 + 2 * 3 ^ 2; type $(x) $(-2^2) $((1+2)*3) $(7/2) $(10/4*2)", "19 -4 9 3.5 5\n"},
        {"a=5;a+=2;a*=3;a-=1;a/=4; type $(a)", "5\n"},
        {"type $(1/0) $(sqrt(-1)) $(-- + 1) $(2 > 1) $(2 <= 1) $(1 == 1 && 0 || 1)", "-- -- -- 1 0 1\n"},
        {"type $(abs(-3)) $(int(-2.7)) $(nint(2.5)) $(mod(7,3)) $(min(3,1,2)) $(max(3,1,2)) $(exp(0)) $(ln(1)) $(log(100))",
         "3 -2 3 1 1 3 1 0 2\n"},
        {"type $(sin(pi/2)) $(cos(0)) $(atan2(1,1)*4/pi)", "1 1 1\n"},
        {";;x=3;;type $(x) ; ", "3\n"},
        {"if (1) type yes; else type no;", "yes\n"},
        {"if(0){type yes;} else {type no;};", "no\n"},
        {"x = 2;\nif (x == 1)\n{\n   type one;\n}\nelse\n{\n\ttype other;\n}\n type after", "other\nafter\n"},
        {"for (i = 1; i <= 3; i += 1) { type i=$(i); }", "i=1\ni=2\ni=3\n"},
        {"for(i=1;i<=5;i+=1){if(i==3)break;type $(i);}", "1\n2\n"},
        {"for(i=1;i<=4;i+=1){if(i==2)continue;type $(i);}", "1\n3\n4\n"},
        {"/* a whole script that is a comment */", ""},
        {"x = 1; // the rest of the line is a comment\ntype $(x)", "1\n"},
        {"x = 2 // no ';' before the comment\ntype $(x) see http://example.org/x", "2 see http://example.org/x\n"},
        {"%A = first; %B = %A second; type %B|%b", "first second|first second\n"},
        {"%A = \"quoted text\"; type [%A]", "[quoted text]\n"},
        {"%Z = alpha beta gamma; i = 2; %A = %[%z,#i ]; type %A", "beta\n"},
        {"type 50% of %Q is empty", "50% of  is empty\n"},
        {"y'P1 = 4; type $(y'P1 + 1)", "5\n"},
        {"intTemp = 3; del -v intTemp; type $(exist(intTemp))", "0\n"},
        {"qdaA = 1; qdaB = 2; keep = 3; del -v qda*; type $(exist(qdaA))$(exist(qdaB))$(exist(keep))", "004\n"},
        {"type -b $QDARead.Untested", "Files of this version have not been tested with this import; check the data.\n"},
        {"%A = $General.UserDefinedGroup; type %A", "User-defined button group\n"},
        {"EndIterate; EndFit; QuitFit", ""},
        {"type a\r\nx = 2;\r\nif (x == 2)\r\n{\r\n\ttype b\r\n}\r\n", "a\nb\n"},
        {"x = 5; return; type unreachable", ""},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.script);
        SetUp();
        EXPECT_TRUE(Run(c.script)) << err;
        EXPECT_EQ(out, c.expected);
    }
}

TEST_F(InterpreterTest, WorksheetsAreFilledFromExpressions)
{
    ASSERT_TRUE(Run("win -t wks;\n"
                    "for (i = 1; i <= 4; i += 1) col(A)[i] = i;\n"
                    "col(B) = col(A)^2 + 1;\n"
                    "wks.ncols = 3;\n"
                    "wcol(3) = Data1_B - col(A);\n"
                    "Data1_C[6] = 99;\n"
                    "col(B)[2]$ = n/a;\n"
                    "%A = col(B)[2]$; %B = Data1_B[3]$;\n"
                    "type %H %A %B $(wks.ncols) $(Data1_C[5]) $(col(C)[4])"))
        << err;
    EXPECT_EQ(out, "Data1 n/a 10 3 -- 13\n");
    CQKDataset* b = qkfxGetProject().FindDataset("Data1_B");
    EXPECT_TRUE(b->IsText(1));
    EXPECT_EQ(b->GetValue(3), 17);
    EXPECT_EQ(qkfxGetProject().FindDataset("Data1_C")->GetEnd(), 6);
}

// The shape of the QDA import: loops over columns by number, members named through $(),
// tags in labels, string-table messages and the clean-up of the script's variables.
TEST_F(InterpreterTest, ColumnLoopsInTheShapeOfAnImportScript)
{
    ASSERT_TRUE(Run("win -t wks; qdan = 3; if (wks.ncols < qdan) wo -a qdan - wks.ncols;\n"
                    "for (qdai = 1; qdai <= qdan; qdai += 1)\n"
                    "{\n"
                    "   wks.col$(qdai).nrows = qdai;\n"
                    "   wcol(qdai)[1] = qdai * 100;\n"
                    "   wks.col$(qdai).label$ = T;\n"
                    "}\n"
                    "if (exist(qdav7) == 0) type -b $QDARead.Untested;\n"
                    "%A = wks.col2.label$;\n"
                    "if (\"%A\" == \"T\") { wks.col2.format = 2; wks.col2.label$ = \"\"; }\n"
                    "del -v qda*; %B = wks.col2.label$;\n"
                    "type $(wks.col2.format) [%B] $(exist(qdan)) $(wks.col3.nrows) $(col(C)[1])"))
        << err;
    EXPECT_EQ(out, "Files of this version have not been tested with this import; check the data.\n"
                   "2 [] 0 3 300\n");
}

TEST_F(InterpreterTest, WksObjectReadsAndSetsColumnsAndSelection)
{
    ASSERT_TRUE(Run("win -t wks Quorix Raw; wo -a 2;\n"
                    "wks.col3.name$ = Volts; wks.col3.label$ = Input voltage; wks.col3.format = 4;\n"
                    "wks.col3.width = 12; wks.col3.nrows = 5; wks.col4.type = 3;\n"
                    "wks.c1 = 2; wks.c2 = 3;\n"
                    "%A = wks.col3.name$; %B = wks.col3.label$;\n"
                    "type %A|%B|$(wks.col3.format)|$(wks.col3.width)|$(wks.col3.nrows)|$(wks.col1.type)|$(wks.col4.type)\n"
                    "type $(wks.sel) $(wks.iscolsel(2)) $(wks.iscolsel(4)) $(wks.c2-wks.c1+1)\n"
                    "wks.r1 = 2; wks.r2 = 2; wks.c2 = 2; type $(wks.sel); wks.labels();"))
        << err;
    EXPECT_EQ(out, "Volts|Input voltage|4|12|5|4|3\n8 1 0 2\n1\n");
    EXPECT_EQ(qkfxGetProject().GetActivePage()->GetName(), "Raw");
    EXPECT_EQ(qkfxGetProject().GetActivePage()->GetTemplateName(), "Quorix");
    EXPECT_TRUE(static_cast<CQKWksPage*>(qkfxGetProject().GetActivePage())->m_labelsShown);
    EXPECT_NE(qkfxGetCallLog().Find("win -t"), -1);
}

TEST_F(InterpreterTest, WindowsAndDatasetsAnswerExistAndNameComparisons)
{
    ASSERT_TRUE(Run("win -t wks; win -t plot; win -t matrix; win -n notes; x = 1;\n"
                    "type $(exist(Data1)) $(exist(Graph1)) $(exist(Matrix1)) $(exist(Notes1)) $(exist(Data1_A)) $(exist(x)) $(exist(none))\n"
                    "intTemp = exist(%H); type %H $(intTemp)\n"
                    "win -a Data1; type %H\n"
                    "%A = Data1_B; %C = data1_b; type $(%A == %C) $(%A != Data1_A)\n"
                    "%A = Data1_B; if (exist(%A) != 5) { type not a matrix; }"))
        << err;
    EXPECT_EQ(out, "2 3 5 9 1 4 0\nNotes1 9\nData1\n1 1\nnot a matrix\n");
}

TEST_F(InterpreterTest, MatrixAndPlotCommandsChangeTheProject)
{
    ASSERT_TRUE(Run("%A = VarCov; if(exist(%A)!=5){win -t matrix matrix %A;} else {win -a %A;};\n"
                    "matrix -ps dim 3 4;\n"
                    "win -t wks; col(B)[3] = 1; wks.c1 = 2; wks.c2 = 2; worksheet -P 201 scatter;\n"
                    "layer -c; type $(count) %Z\n"
                    "intTemp = 0; doc -e D {if(%A==%C) intTemp=1;}; type $(intTemp)\n"
                    "%A = Data1_B; doc -e D {if(%A==%C) intTemp=1;}; type $(intTemp)\n"
                    "layer -c;intTemp=0;for(i=1;i<=count;i+=1){if(%A==%[%z,#i ]){intTemp=1;break;}}; type $(intTemp)"))
        << err;
    EXPECT_EQ(out, "1 Data1_B\n0\n1\n1\n");
    CQKMatrixPage* m = static_cast<CQKMatrixPage*>(qkfxGetProject().FindPage("VarCov"));
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->GetRows(), 3);
    EXPECT_EQ(m->GetCols(), 4);
    EXPECT_NE(qkfxGetCallLog().Find("worksheet -p"), -1);
}

TEST_F(InterpreterTest, UserInterfaceCommandsAreRecorded)
{
    ASSERT_TRUE(Run("win -t wks; worksheet -p 200 line; %C = Data1_B;"
                    "Layer -K P; layer -k c; set %C -e;HideMarker; Label -e -x X Title;;clr;"
                    "Axis -l x; edit -color; rescale; doc -uw; worksheet -e err; run.dialog(INDEX,MASK);"
                    "GetFile *.fdf; ed.open(); qpack.undo()"))
        << err;
    // The graph commands reach the nodes, whose plain dialogs are recorded.
    const char* ops[] = {"CQKGraphPage::PlotDetailsDialog", "layer", "hidemarker", "CQKTextObj::DoDialog", "clr", "CQKAxes::DoDialog", "CQKAccess::OnColorPaletteDialog",
                         "doc -uw", "worksheet -e", "run.dialog", "GetFile", "ed.open",
                         "qpack.undo"};
    size_t at = 0;
    for (const char* op : ops) {
        int i = qkfxGetCallLog().Find(op, at);
        ASSERT_GE(i, 0) << op << "\n" << qkfxGetCallLog().ToString();
        at = i + 1;
    }
    EXPECT_EQ(qkfxGetCallLog().GetAt(qkfxGetCallLog().Find("layer")).args, "-k c");
}

TEST_F(InterpreterTest, FailuresStopTheScriptAndNameTheLine)
{
    auto times = [](const std::string& text, int n) {
        std::string all;
        for (int i = 0; i < n; ++i)
            all += text;
        return all;
    };
    struct { std::string script; const char* message; } cases[] = {
        {"type one\nfrobnicate 3\ntype two", "line 2: unknown command \"frobnicate\""},
        {"x = 1 +", "line 1: the expression \"1 +\" is incomplete"},
        {"x = y + 1", "\"y\" is not defined"},
        {"\n\nx = sin(1,2)", "line 3: sin() takes 1 argument"},
        {"x = nosuch(1)", "unknown function \"nosuch\""},
        {"if (1 { type a }", "'(' is not closed"},
        {"for (i=1; i<3) type a", "'for' needs (start; condition; step)"},
        {"else type a", "'else' without 'if'"},
        {"}", "'}' without a matching '{'"},
        {"col(A)[1] = 2", "there is no active worksheet"},
        {"win -t wks; col(Q)[1] = 2", "has no column \"Q\""},
        {"win -t wks; Data1_A[0] = 1", "row 0 is outside the dataset Data1_A"},
        {"x = Stat2.mean", "\"Stat2\" is not an object"},
        {"win -t wks; x = Data1_A + 1", "is a dataset; name a row"},
        {"win -a Graph9", "there is no window \"Graph9\""},
        {"win -t wks Quorix 1bad", "is not a free window name"},
        {"%H = x", "%H cannot be set"},
        {"run.section(nosuchfile, Main)", "cannot find the script file \"nosuchfile.qgs\""},
        {"/* open", "comment \"/*\" is not closed"},
        {"type one\ntype \"two; x = 1\ntype three", "line 2: a double quote is not closed on this line"},
        {"type one\n%A = \"open", "line 2: a double quote is not closed on this line"},
        {"x = \"abc\" < 1", "texts can only be compared with == and !="},
        {"break", "'break' or 'continue' outside a loop"},
        {"x = " + std::string(5000, '(') + "1" + std::string(5000, ')'), "parentheses are nested too deeply"},
        {std::string(5000, '{') + std::string(5000, '}'), "blocks are nested too deeply"},
        {"x = " + times("- ", 50000) + "1", "expressions are nested too deeply"},
        {"x = " + std::string(50000, '!') + "1", "expressions are nested too deeply"},
        {"x = " + times("2^", 50000) + "1", "expressions are nested too deeply"},
        {"x = " + times("sin(", 50000) + "1" + std::string(50000, ')'), "expressions are nested too deeply"},
        {times("if (1) ", 50000) + "type deep", "statements are nested too deeply"},
        {"if (0) type a; " + times("else if (0) type b; ", 50000) + "else type c", "statements are nested too deeply"},
        {times("for (i = 0; i < 1; i += 1) ", 50000) + "type deep", "statements are nested too deeply"},
        {"type " + times("$(", 50000) + "1" + std::string(50000, ')'), "substitutions are nested too deeply"},
        {"%A = " + times("%[", 50000) + times("a b,#1]", 50000), "substitutions are nested too deeply"},
        {"system.dialog()", "\"system.DIALOG()\" is not a member"},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.script);
        SetUp();
        EXPECT_FALSE(Run(c.script + "\ntype not reached"));
        EXPECT_NE(qkfxGetScript().GetLastError().find(c.message), std::string::npos) << qkfxGetScript().GetLastError();
        EXPECT_EQ(err, qkfxGetScript().GetLastError() + "\n");
        EXPECT_EQ(out.find("not reached"), std::string::npos);
    }
}

TEST_F(InterpreterTest, SectionsRunFromFilesWithArgumentsAndResults)
{
    TempFile lib("qxk_lib.qgs",
                 "type top of the file\n"
                 "[Main]\n"
                 "type main %1|%2\n"
                 "return 1;\n"
                 "[Twice]\n"
                 "return %1 * 2\n"
                 "[Nested]\n"
                 "x = run.section(qxk_lib, twice, 21);\n"
                 "type nested $(x)\n"
                 "[Broken]\n"
                 "type before\n"
                 "nosuchcommand\n");
    ASSERT_TRUE(Run("run.section(" + lib.path + ", Main, Kaleidagraph Any, two)\n"
                    "if (run.section(" + lib.path + ", main) == 1) type returned one;\n"
                    "run.section(" + lib.path + ",NESTED);"))
        << err;
    EXPECT_EQ(out, "main Kaleidagraph Any|two\nmain |\nreturned one\nnested 42\n");

    EXPECT_FALSE(Run("run.section(" + lib.path + ", Broken)"));
    EXPECT_NE(qkfxGetScript().GetLastError().find("qxk_lib.qgs, line 12: unknown command \"nosuchcommand\""),
              std::string::npos)
        << qkfxGetScript().GetLastError();
    EXPECT_FALSE(Run("run.section(" + lib.path + ", NoSuchSection)"));
    EXPECT_NE(qkfxGetScript().GetLastError().find("has no section [NoSuchSection]"), std::string::npos);

    TempFile loop("qxk_loop.qgs", "[Main]\nrun.section(qxk_loop, Main)\n");
    EXPECT_FALSE(Run("run.section(" + loop.path + ", Main)"));
    EXPECT_NE(qkfxGetScript().GetLastError().find("too deeply"), std::string::npos);

    std::vector<std::string> args = {"a1"};
    ASSERT_TRUE(qkfxGetScript().RunFile(lib.path, args)) << err;
    EXPECT_EQ(out, "top of the file\n") << "a file runs its text before the first section";
}

TEST_F(InterpreterTest, EvaluationFailsForUndefinedNamesAndFollowsTheAngleUnit)
{
    CQKScript& s = qkfxGetScript();
    double v = 0;
    s.SetVariable("P1", 2.5, 4.0, 1);
    EXPECT_TRUE(s.Evaluate("p1*2", &v));
    EXPECT_EQ(v, 5);
    EXPECT_FALSE(s.Evaluate("P2", &v)) << "an undefined name must not read as 0";
    EXPECT_FALSE(s.Evaluate("", &v));
    EXPECT_TRUE(s.Evaluate("--", &v));
    EXPECT_TRUE(IsMissingValue(v));
    EXPECT_EQ(s.FindVariable("p1")->kind, 4.0);

    QKSysMethodMath& math = qkfxGetQrxSystem().GetRefMath();
    math.SetAngularUnits(1);
    EXPECT_TRUE(s.Evaluate("sin(90)", &v));
    math.SetAngularUnits(0);
    EXPECT_DOUBLE_EQ(v, 1);

    EXPECT_TRUE(s.IsReservedName("TYPE"));
    EXPECT_TRUE(s.IsReservedName("X3"));
    EXPECT_TRUE(s.IsReservedName("SIN"));
    EXPECT_TRUE(s.IsReservedName("qfit"));
    EXPECT_FALSE(s.IsReservedName("P1"));

    std::string text;
    s.SetStringVar(2, "Data1_B");
    qkfxSubstituteScrivexString(text, "Open the Plot Details dialog box for %C (in %)", 0);
    EXPECT_EQ(text, "Open the Plot Details dialog box for Data1_B (in %)");
    EXPECT_FALSE(s.SetStringVar(26, "x"));
    EXPECT_FALSE(s.SetStringVar(7, "x"));
}
