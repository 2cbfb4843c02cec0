// The host services and script-object dispatch, through a plug-in that calls the callback
// the kernel hands it, exactly as the real plug-ins do.
#include "KernelTest.h"

#include "QKPlotModel.h"

#include <string.h>

#include <functional>
#include <set>

#include "QKFile.h"
#include "QKHost.h"

namespace {

typedef INT_PTR (*RequestProc)(UINT, INT_PTR, INT_PTR);
typedef INT_PTR (*FitRequestProc)(HWND, UINT, INT_PTR, INT_PTR);

class HostTest : public KernelTest {
protected:
    void SetUp() override
    {
        KernelTest::SetUp();
        ASSERT_TRUE(qkfxRegisterScriptObject("tplug", "qxtestplug.dll", QK_ENTRY_QMDLL));
        ASSERT_TRUE(qkfxRegisterScriptObject("tfit", "qxtestplug.dll", QK_ENTRY_FITTER));
        qkfxRequestAbort(false);
    }

    // Binds the plug-in's callbacks with one call of each entry, then hands out the
    // functions that send requests through them.
    void Bind()
    {
        ASSERT_TRUE(Run("tplug.x = 0; x = tfit.p1")) << err;
        HMODULE plug = GetModuleHandleA("qxtestplug.dll");
        ASSERT_NE(plug, nullptr);
        request = reinterpret_cast<RequestProc>(GetProcAddress(plug, "TestPlugRequest"));
        fitRequest = reinterpret_cast<FitRequestProc>(GetProcAddress(plug, "TestPlugFitRequest"));
        objectRequest = reinterpret_cast<FitRequestProc>(GetProcAddress(plug, "TestPlugObjectRequest"));
        ASSERT_TRUE(request && fitRequest && objectRequest);
    }

    INT_PTR Fit(UINT code, INT_PTR a, INT_PTR b) { return fitRequest(nullptr, code, a, b); }
    INT_PTR FitWin(UINT code, INT_PTR a, INT_PTR b) { return fitRequest(qkfxGetHostWindow(), code, a, b); }
    static INT_PTR S(const char* text) { return (INT_PTR)text; }

    RequestProc request = nullptr;
    FitRequestProc fitRequest = nullptr;
    FitRequestProc objectRequest = nullptr;
};

} // namespace

TEST_F(HostTest, ScriptObjectsDispatchToPlugins)
{
    struct { const char* script; const char* expected; } cases[] = {
        {"tplug.x = 4; type $(tplug.x) $(TPLUG.X * 2)", "4 8\n"},
        {"tplug.s$ = hello there; %A = tplug.s$; type %A", "hello there\n"},
        {"i = 2; x = tplug.add(2, 3*i); type $(x) $(tplug.add.last)", "8 8\n"},
        {"tplug.echo(some text, kept as it is )", "some text, kept as it is \n"},
        {"tplug.=", "X\nS$\nADD()\n"},
        {"i = 4; type $(tfit.p3) $(tfit.P(i+1)) $(tfit.P)", "30 50 10\n"},
        {"tfit.init(); tfit.=", "NPARA\nINIT()\n"},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.script);
        EXPECT_TRUE(Run(c.script)) << err;
        EXPECT_EQ(out, c.expected);
    }
    qkfxRegisterScriptObject("nolib", "qxnothere.dll", QK_ENTRY_QMDLL);
    qkfxRegisterScriptObject("noexport", "qxkernel.dll", QK_ENTRY_QMDLL);
    struct { const char* script; const char* message; } failures[] = {
        {"tplug.fail()", "\"tplug.fail()\" failed"},
        {"tplug.fail(cannot open \"x.csv\": no such file)",
         "\"tplug.fail()\" failed: cannot open \"x.csv\": no such file"},
        {"x = tplug.nosuch", "\"tplug.NOSUCH\" is not a member"},
        {"x = tfit.Q", "\"tfit.Q\" is not a member"},
        {"x = tplug.add(1)", "failed"},
        {"nolib.x = 1", "cannot load the plug-in library"},
        {"x = noexport.x", "qxkernel.dll has no export QMDLL"},
    };
    for (auto& c : failures) {
        SCOPED_TRACE(c.script);
        EXPECT_FALSE(Run(c.script));
        EXPECT_NE(qkfxGetScript().GetLastError().find(c.message), std::string::npos) << qkfxGetScript().GetLastError();
    }
    // A reason belongs to the call that gave it.
    EXPECT_FALSE(Run("tplug.fail()"));
    const std::string& last = qkfxGetScript().GetLastError();
    EXPECT_EQ(last.substr(last.size() - 6), "failed") << last;
}

TEST_F(HostTest, FrameworkRequestsReadAndWriteWorksheets)
{
    ASSERT_TRUE(Run("win -t wks; for(i=1;i<=4;i+=1) col(A)[i] = i/10;"));
    Bind();
    CQKProject& p = qkfxGetProject();
    CQKWksPage* wks = static_cast<CQKWksPage*>(p.FindPage("Data1"));

    INT_PTR page = 0;
    ASSERT_EQ(request(HOST_FIND_OBJECT, S("data1"), (INT_PTR)&page), 0);
    EXPECT_EQ(page, wks->GetHandle());
    INT_PTR none = -1;
    EXPECT_NE(request(HOST_FIND_OBJECT, S("Data9"), (INT_PTR)&none), 0);
    QmWindowRecord window = {1, -1, "Data1"};
    EXPECT_EQ(request(HOST_FIND_WINDOW, (INT_PTR)&window, S("Data1")), wks->GetHandle());
    EXPECT_EQ(request(HOST_WKS_NUM_COLUMNS, page, 0), 2);

    // A result column that does not exist yet: the worksheet grows to it.
    QmRangeRecord range = {3, 0, -1, -1};
    INT_PTR c = request(HOST_OPEN_DATASET, S("Data1"), (INT_PTR)&range);
    ASSERT_NE(c, 0);
    EXPECT_EQ(p.GetDatasetFromHandle(c), wks->GetColumn(3));
    QmValueRecord value = {2, 0, 7.5};
    ASSERT_EQ(request(HOST_SET_VALUE, c, (INT_PTR)&value), 0);
    value = {2, 0, 0};
    ASSERT_EQ(request(HOST_GET_VALUE, c, (INT_PTR)&value), 0);
    EXPECT_EQ(value.value, 7.5);
    value.row = 0;
    EXPECT_NE(request(HOST_GET_VALUE, c, (INT_PTR)&value), 0) << "a missing value is no value";
    EXPECT_TRUE(IsMissingValue(value.value));

    char text[QM_STRING_RESULT_SIZE];
    QmTextRecord cell = {1, (char*)"label"};
    ASSERT_EQ(request(HOST_SET_TEXT, c, (INT_PTR)&cell), 0);
    cell.text = text;
    ASSERT_EQ(request(HOST_GET_TEXT, c, (INT_PTR)&cell), 0);
    EXPECT_STREQ(text, "label");

    QmSizeFormatRecord size = {0, 5, 0x8002};
    ASSERT_EQ(request(HOST_SET_SIZE_FORMAT, c, (INT_PTR)&size), 0);
    QmRangeRecord got = {};
    request(HOST_GET_RANGE, c, (INT_PTR)&got);
    EXPECT_EQ(got.request, 0);
    EXPECT_EQ(got.requestEnd, 5);

    QmRangeRecord found = {0, 0, -1, -1};
    INT_PTR a = request(HOST_FIND_DATASET, S("Data1_A"), (INT_PTR)&found);
    EXPECT_EQ(a, wks->GetColumn(1)->GetHandle());
    EXPECT_EQ(found.hostFirst, 0);
    EXPECT_EQ(found.hostEnd, 4);
    EXPECT_EQ(request(HOST_FIND_DATASET, S("Data1_A_and_a_name_longer_than_24"), (INT_PTR)&found), 0);
    QmRangeRecord byName = {S("C"), 0, 0, 0};
    EXPECT_EQ(request(HOST_FIND_DATASET_EX, S("Data1"), (INT_PTR)&byName), c);
    EXPECT_EQ(request(HOST_GET_COLUMN_DATASET, 2, S("Data1")), c) << "the column index is 0-based";

    QmPairRecord pair = {3, 0, {0, 0}};
    wks->GetColumn(3)->SetValue(3, 9);
    ASSERT_EQ(request(HOST_GET_PAIR, c, (INT_PTR)&pair), 0);
    EXPECT_EQ(pair.pair[0], 0.4) << "X comes from the X column";
    EXPECT_EQ(pair.pair[1], 9);

    int column[QM_COLUMN_NAME_BUFFER / sizeof(int)] = {2};
    ASSERT_EQ(request(HOST_WKS_REQ_6801, page, (INT_PTR)column), 0);
    EXPECT_STREQ((char*)column, "B");
    QmColumnTextRecord rename = {3, "Out"};
    request(HOST_WKS_SET_COLUMN_NAME, page, (INT_PTR)&rename);
    EXPECT_EQ(p.FindDataset("Data1_Out"), wks->GetColumn(3));
    QmColumnTextRecord label = {3, "Result"};
    request(HOST_WKS_REQ_6818, page, (INT_PTR)&label);
    EXPECT_EQ(wks->GetColumn(3)->m_label, "Result");
    int getFormat[2] = {1, 3};
    ASSERT_EQ(request(HOST_WKS_GET_COLUMN_ATTR, page, (INT_PTR)getFormat), 0);
    EXPECT_EQ(getFormat[0], QM_FORMAT_NUMBER) << "a new column holds numbers";
    int setFormat[3] = {1, 3, QM_FORMAT_TEXT};
    ASSERT_EQ(request(HOST_WKS_SET_COLUMN_ATTR, page, (INT_PTR)setFormat), 0);
    EXPECT_EQ(wks->GetColumn(3)->m_format, QK_FORMAT_TEXT);
    getFormat[0] = 1;
    ASSERT_EQ(request(HOST_WKS_GET_COLUMN_ATTR, page, (INT_PTR)getFormat), 0);
    EXPECT_EQ(getFormat[0], QM_FORMAT_TEXT);
    char saved[16] = "";
    QmSavedTextRead read = {0, sizeof saved, saved};
    EXPECT_NE(request(HOST_REQ_9600, (INT_PTR)&read, S("SQL1")), 0) << "nothing kept yet";
    QmSavedTextWrite write = {0, "SELECT 1", 0};
    ASSERT_EQ(request(HOST_REQ_9601, (INT_PTR)&write, S("SQL1")), 0);
    ASSERT_EQ(request(HOST_REQ_9600, (INT_PTR)&read, S("sql1")), 0);
    EXPECT_STREQ(saved, "SELECT 1");
    int append[4] = {0, 9, 0, 0};
    request(HOST_WKS_REQ_6806, page, (INT_PTR)append);
    EXPECT_EQ(wks->GetNumCols(), 4);

    EXPECT_EQ(request(HOST_IS_DATASET_NAME, c, 0), 0);
    EXPECT_NE(request(HOST_NAME_IN_USE, S("DATA1"), 0), 0);
    EXPECT_EQ(request(HOST_NAME_IN_USE, S("Data2"), 0), 0);
}

TEST_F(HostTest, RowsGoToWorksheets)
{
    ASSERT_TRUE(Run("win -t wks; col(A)[1] = 1; col(A)[2] = 2; col(B)[1] = 5;"));
    Bind();
    CQKProject& p = qkfxGetProject();
    INT_PTR page = 0;
    ASSERT_EQ(request(HOST_FIND_OBJECT, S("Data1"), (INT_PTR)&page), 0);
    HWND wks = reinterpret_cast<HWND>(page);

    // The row goes after the last row in use of the columns it fills.
    double values[3] = {3, 30, 300};
    QmRowRecord row = {QM_ROW_RECORD_KIND, 2, 1, 0, 0, 0, values};
    ASSERT_EQ(objectRequest(wks, HOST_OBJECT_PUT_ROW, (INT_PTR)&row, 0), 0);
    EXPECT_EQ(p.FindDataset("Data1_A")->GetValue(2), 3);
    EXPECT_EQ(p.FindDataset("Data1_B")->GetValue(2), 30);
    EXPECT_EQ(p.FindDataset("Data1_B")->GetValue(1), MISSING_VALUE);

    QmRowRecord tooWide = row, badKind = row;
    tooWide.count = 3;
    badKind.kind = 0;
    EXPECT_NE(objectRequest(wks, HOST_OBJECT_PUT_ROW, (INT_PTR)&tooWide, 0), 0) << "more values than columns";
    EXPECT_NE(objectRequest(wks, HOST_OBJECT_PUT_ROW, (INT_PTR)&badKind, 0), 0);
    EXPECT_NE(objectRequest(nullptr, HOST_OBJECT_PUT_ROW, (INT_PTR)&row, 0), 0) << "no worksheet";
    EXPECT_EQ(p.FindDataset("Data1_A")->GetEnd(), 3) << "a refused row stores nothing";

    EXPECT_EQ(request(HOST_LIST_SEPARATOR, S("\";\""), 0), 0);
}

TEST_F(HostTest, FrameworkRequestsForVariablesTextsAndMemory)
{
    Bind();
    char buf[QM_STRING_RESULT_SIZE];
    ASSERT_EQ(request(HOST_SET_STRING_VAR, S("abc"), 1), 0);
    ASSERT_EQ(request(HOST_GET_STRING_VAR, (INT_PTR)buf, 1), 0);
    EXPECT_STREQ(buf, "abc");
    EXPECT_NE(request(HOST_SET_STRING_VAR, S("x"), 7), 0) << "%H names the active window";
    EXPECT_NE(request(HOST_SET_STRING_VAR, S("x"), 26), 0);

    double v = 0;
    ASSERT_EQ(request(HOST_EVAL_NUMBER, S("2+3"), (INT_PTR)&v), 0);
    EXPECT_EQ(v, 5);
    EXPECT_NE(request(HOST_EVAL_NUMBER, S("undefinedName"), (INT_PTR)&v), 0);

    double quarter = 0.25;
    char formatted[64];
    QmFormatRecord format = {formatted, "*"};
    request(HOST_FORMAT_NUMBER, (INT_PTR)&quarter, (INT_PTR)&format);
    EXPECT_STREQ(formatted, "0.25");

    request(HOST_PRINT_TEXT, S("printed line"), 0);
    EXPECT_EQ(out, "printed line\n");

    double in = 3, outValue = 0;
    request(HOST_TO_AXIS_SCALE, (INT_PTR)&in, (INT_PTR)&outValue);
    EXPECT_EQ(outValue, 3);

    QmMemBlockRecord block = {0, 64};
    char* mem = (char*)request(HOST_MEMBLOCK_GET, (INT_PTR)&block, S("Scratch"));
    ASSERT_NE(mem, nullptr);
    strcpy(mem, "kept");
    request(HOST_MEMBLOCK_RELEASE, (INT_PTR)&block, S("Scratch"));
    block.value = 0;
    EXPECT_EQ((char*)request(HOST_MEMBLOCK_GET, (INT_PTR)&block, S("SCRATCH")), mem);
    size_t size = 0;
    EXPECT_STREQ((char*)qkfxGetMemoryBlock("scratch", &size), "kept");
    EXPECT_EQ(size, 64u);

    // Temporary datasets live until the plug-in call that is running (or the next) ends.
    INT_PTR temp = request(HOST_NEW_TEMP_DATASET, 0, 0);
    ASSERT_NE(qkfxGetProject().GetDatasetFromHandle(temp), nullptr);
    ASSERT_TRUE(Run("tplug.x = 1"));
    EXPECT_EQ(qkfxGetProject().GetDatasetFromHandle(temp), nullptr);
    EXPECT_NE(request(HOST_IS_DATASET_NAME, temp, 0), 0);
}

TEST_F(HostTest, FitterRequestsForVariablesScriptsAndFolders)
{
    Bind();
    CQKScript& script = qkfxGetScript();
    QFitVariableRecord param = {1.5, 4.0, 1.0};
    ASSERT_EQ(Fit(HOST_SET_VARIABLE, S("P1"), (INT_PTR)&param), 0);
    EXPECT_EQ(script.FindVariable("p1")->kind, 4.0);
    ASSERT_EQ(Fit(HOST_SET_VARIABLE, S("P2"), 0), 0);
    double v = -1;
    ASSERT_EQ(Fit(HOST_GET_VARIABLE, S("P2"), (INT_PTR)&v), 0);
    EXPECT_EQ(v, 0) << "the name alone declares the variable";
    QFitTextRecord formula = {"P1*2", 0};
    ASSERT_EQ(Fit(HOST_EVAL_RECORD, (INT_PTR)&formula, (INT_PTR)&v), 0);
    EXPECT_EQ(v, 3);
    Fit(HOST_DELETE_VARIABLE, S("P2"), 0);
    EXPECT_NE(Fit(HOST_GET_VARIABLE, S("P2"), (INT_PTR)&v), 0);

    EXPECT_EQ(Fit(HOST_RUN_SCRIPT, S("type from the fitter"), 0), 0);
    EXPECT_EQ(out, "from the fitter\n");
    EXPECT_NE(Fit(HOST_RUN_SCRIPT, S("nosuchcommand"), 0), 0) << "a failing script is reported to the caller";
    EXPECT_NE(Fit(HOST_IS_RESERVED_NAME, 0, S("X1")), 0);
    EXPECT_EQ(Fit(HOST_IS_RESERVED_NAME, 0, S("P1")), 0);

    // A model's formula prepared once, its variables set by slot.
    int handle = 0, slot = 0;
    ASSERT_EQ(Fit(HOST_PREPARE_FORMULA, S("P1*XX+1"), (INT_PTR)&handle), 0);
    ASSERT_EQ(Fit(HOST_VARIABLE_SLOT, S("XX"), (INT_PTR)&slot), 0);
    EXPECT_TRUE(script.FindVariable("xx")) << "a slot's variable exists";
    QFitVariableRecord x = {4, 1.0, 0.0};
    ASSERT_EQ(Fit(HOST_SET_VARIABLE_SLOT, slot, (INT_PTR)&x), 0);
    ASSERT_EQ(Fit(HOST_EVAL_PREPARED, handle, (INT_PTR)&v), 0);
    EXPECT_EQ(v, 7);
    Fit(HOST_DELETE_VARIABLE, S("XX"), 0);
    EXPECT_NE(Fit(HOST_EVAL_PREPARED, handle, (INT_PTR)&v), 0) << "a deleted variable is undefined";
    ASSERT_EQ(Fit(HOST_SET_VARIABLE_SLOT, slot, (INT_PTR)&x), 0);
    ASSERT_EQ(Fit(HOST_EVAL_PREPARED, handle, (INT_PTR)&v), 0);
    EXPECT_EQ(v, 7);
    EXPECT_NE(Fit(HOST_EVAL_PREPARED, 0, (INT_PTR)&v), 0);
    EXPECT_NE(Fit(HOST_SET_VARIABLE_SLOT, 0, (INT_PTR)&x), 0);

    // The same formula for many rows in one request; a row that fails ends it there.
    const double xs[3] = {1, 2, 3};
    const double* columns[1] = {xs};
    const int32_t slots[1] = {slot};
    double rows[3] = {};
    QFitRowsRecord batch = {handle, 3, 1, slots, columns, rows, -1};
    ASSERT_EQ(Fit(HOST_EVAL_PREPARED_ROWS, 0, (INT_PTR)&batch), 0);
    EXPECT_EQ(batch.done, 3);
    EXPECT_EQ(rows[0], 2.5); // P1 is 1.5
    EXPECT_EQ(rows[2], 5.5);
    ASSERT_EQ(Fit(HOST_GET_VARIABLE, S("XX"), (INT_PTR)&v), 0);
    EXPECT_EQ(v, 3) << "the variable keeps the last row's value";
    int undefined = 0;
    ASSERT_EQ(Fit(HOST_PREPARE_FORMULA, S("XX+NOSUCHNAME"), (INT_PTR)&undefined), 0);
    batch.handle = undefined;
    EXPECT_NE(Fit(HOST_EVAL_PREPARED_ROWS, 0, (INT_PTR)&batch), 0);
    EXPECT_EQ(batch.done, 0);
    EXPECT_NE(Fit(HOST_EVAL_PREPARED_ROWS, 0, 0), 0);
    EXPECT_NE(Fit(HOST_PREPARE_FORMULA, S(""), (INT_PTR)&handle), 0);

    char buf[QFIT_FORMULA_CAPACITY];
    ASSERT_EQ(Fit(HOST_TRANSLATE_FORMULA, (INT_PTR)buf, S("P1*SIN(X)")), 0);
    EXPECT_STREQ(buf, "P1*SIN(X)");
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string folder(exe);
    folder = folder.substr(0, folder.find_last_of('\\'));
    for (UINT code : {HOST_GET_PROGRAM_DIR, HOST_GET_FALLBACK_DIR, HOST_GET_SETTINGS_DIR}) {
        buf[0] = 0;
        ASSERT_EQ(Fit(code, (INT_PTR)buf, 0), 0);
        EXPECT_STRCASEEQ(buf, folder.c_str()) << code;
    }

    ASSERT_EQ(Fit(HOST_SET_STRING_VAR, S("Data1_B"), 0), 0);
    ASSERT_EQ(Fit(HOST_GET_STRING_VAR, (INT_PTR)buf, 0), 0);
    EXPECT_STREQ(buf, "Data1_B");

    EXPECT_EQ(FitWin(HOST_POLL_ABORT, 0, 0), 0);
    qkfxRequestAbort(true);
    EXPECT_NE(FitWin(HOST_POLL_ABORT, 0, 0), 0);
    qkfxRequestAbort(false);

    FitWin(HOST_REPORT_PROGRESS, 16009, S("25"));
    EXPECT_EQ(qkfxGetProgressText(), "Iterations: 25");
    FitWin(HOST_REPORT_PROGRESS, 0, 0);
    EXPECT_EQ(qkfxGetProgressText(), "");
    Fit(HOST_STATUS_TEXT, S("Loading fitting functions..."), 0);
    EXPECT_EQ(qkfxGetStatusText(), "Loading fitting functions...");
    FitWin(HOST_REPORT_ERROR, 28030, 0);
    EXPECT_NE(err.find("28030"), std::string::npos);
    EXPECT_NE(qkfxGetCallLog().Find("HOST_REPORT_ERROR"), -1);

    int session = 0;
    void* found = nullptr;
    EXPECT_NE(FitWin(HOST_FIND_SESSION, (INT_PTR)&found, 0), 0);
    ASSERT_EQ(FitWin(HOST_ATTACH_SESSION, (INT_PTR)&session, 0), 0);
    ASSERT_EQ(FitWin(HOST_FIND_SESSION, (INT_PTR)&found, 0), 0);
    EXPECT_EQ(found, &session);
    EXPECT_EQ(qkfxGetAttachedSession(), &session);
    Fit(HOST_DETACH_SESSION, 0, 0);
    EXPECT_NE(FitWin(HOST_FIND_SESSION, (INT_PTR)&found, 0), 0);
}

TEST_F(HostTest, PluginsPlotEveryKindIntoTheTreeThroughTheHost)
{
    Bind();
    // X, three Y and a Z column: every kind finds the columns its shape takes.
    ASSERT_EQ(Fit(HOST_RUN_SCRIPT, S("win -t wks; wks.ncols = 5; wks.col5.type = 6; col(B)[1] = 1"), 0), 0);
    CQKPage* wks = qkfxGetProject().GetActivePage();
    const char* words[] = {"Line", "Scatter", "LineSymbol", "Column", "Bar", "StackCol", "StackBar",
                           "FloatColumn", "FloatBar", "Area", "FillArea", "YError", "VertDropLine",
                           "HorzDropLine", "HiLoClose", "Vector", "FlowVector", "Pie", "BoxChart", "Histogram",
                           "IndexSize", "IndexColor", "IndexColorSize", "3DScatter", "Trajectory", "3DBar",
                           "Ribbon", "Walls", "ColorFill", "ColorMap", "3DBars", "WireFrame", "WireSurface",
                           "ContourColor", "ContourBW", "GrayScaleMap"};
    for (const char* word : words) {
        SCOPED_TRACE(word);
        const QKPlotWord* entry = qkfxFindPlotWord(word);
        ASSERT_NE(entry, nullptr);
        qkfxGetProject().SetActivePage(wks);
        std::string script = std::string("worksheet -p 201 ") + word;
        ASSERT_EQ(Fit(HOST_RUN_SCRIPT, S(script.c_str()), 0), 0) << err;
        CQKGraphicLayer* layer = qkfxGetProject().GetActiveGraph()->GetActiveLayer();
        ASSERT_GT(layer->GetNumPlots(), 0);
        EXPECT_EQ(layer->PlotObjByIndex(0, 1)->GetPlotObjectType(0), entry->type);
        if (entry->command)
            EXPECT_EQ(qkfxFindPlotCommand(entry->command), entry) << "the menu command names the same kind";
    }
}

TEST_F(HostTest, FitterRequestsForDatasetsAndResults)
{
    ASSERT_TRUE(Run("win -t wks; for(i=1;i<=5;i+=1){col(A)[i]=i; col(B)[i]=2*i;}; col(B)[1] = --; win -t plot"));
    Bind();
    CQKProject& p = qkfxGetProject();
    INT_PTR b = p.FindDataset("Data1_B")->GetHandle(), a = p.FindDataset("Data1_A")->GetHandle();

    QFitRowRange range = {-1, -1};
    ASSERT_EQ(Fit(HOST_FIND_DATASET, S("data1_b"), (INT_PTR)&range), b);
    EXPECT_EQ(range.first, 0);
    EXPECT_EQ(range.end, 5);
    EXPECT_EQ(Fit(HOST_GET_X_DATASET, b, 0), a);
    QFitRowRanges rows = {};
    ASSERT_EQ(Fit(HOST_GET_ROW_RANGE, b, (INT_PTR)&rows), 0);
    EXPECT_EQ(rows.full.end, 5);
    EXPECT_EQ(rows.used.first, 1) << "the leading missing value is not in use";
    QFitXBounds bounds = {};
    ASSERT_EQ(Fit(HOST_GET_X_BOUNDS, b, (INT_PTR)&bounds), 0);
    EXPECT_EQ(bounds.first, 2);
    EXPECT_EQ(bounds.last, 5);
    EXPECT_EQ(Fit(HOST_REQ_3422, b, 0), a);
    ASSERT_EQ(Fit(HOST_REQ_3423, b, (INT_PTR)&bounds), 0);
    EXPECT_EQ(bounds.first, 2);

    QFitValueRecord value = {0, 0, 0};
    EXPECT_NE(Fit(HOST_GET_VALUE_ALT, b, (INT_PTR)&value), 0);
    value.row = 4;
    ASSERT_EQ(Fit(HOST_GET_VALUE, b, (INT_PTR)&value), 0);
    EXPECT_EQ(value.value, 10);

    INT_PTR fit = Fit(HOST_CREATE_DATASET, S("YFIT"), 10);
    ASSERT_NE(fit, 0);
    EXPECT_EQ(p.GetDatasetFromHandle(fit)->GetEnd(), 10);
    QFitXStartStep uniform = {1.0, 0.5};
    ASSERT_EQ(Fit(HOST_REQ_3005, fit, (INT_PTR)&uniform), 0);
    value = {3, 0, 42};
    Fit(HOST_SET_VALUE, fit, (INT_PTR)&value);
    QFitPairRecord pair = {3, 0, 0, 0};
    ASSERT_EQ(Fit(HOST_GET_PAIR, fit, (INT_PTR)&pair), 0);
    EXPECT_EQ(pair.first, 2.5);
    EXPECT_EQ(pair.second, 42);
    EXPECT_EQ(Fit(HOST_REQ_3009, S("YFIT"), 4), fit) << "a result dataset made again is reused";
    EXPECT_EQ(Fit(HOST_CREATE_DATASET, S("Data1_B"), 4), 0) << "a column's data is never cleared for a result";
    EXPECT_EQ(p.FindDataset("Data1_B")->GetValue(4), 10);
    EXPECT_EQ(p.GetDatasetFromHandle(fit)->GetEnd(), 4);
    EXPECT_TRUE(IsMissingValue(p.GetDatasetFromHandle(fit)->GetValue(3)));
    QFitRowRange part = {1, 3};
    ASSERT_EQ(Fit(HOST_SET_RANGE, fit, (INT_PTR)&part), 0);
    EXPECT_EQ(p.GetDatasetFromHandle(fit)->GetFirst(), 1);
    ASSERT_EQ(Fit(HOST_SET_X_DATASET, fit, a), 0);
    EXPECT_EQ(Fit(HOST_GET_X_DATASET, fit, 0), a);
    Fit(HOST_SET_DATASET_LABEL, fit, S("fit of B"));
    char name[QFIT_HOST_TEXT_CAPACITY];
    ASSERT_EQ(Fit(HOST_GET_DATASET_NAME, fit, (INT_PTR)name), 0);
    EXPECT_STREQ(name, "YFIT");
    EXPECT_EQ(p.GetDatasetFromHandle(fit)->m_label, "fit of B");

    QFitPlotRecord curve = {{1, 0, 4000, 0, 250, 0, 0, 1}};
    ASSERT_EQ(Fit(HOST_DATASET_UPDATE, fit, (INT_PTR)&curve), 0);
    CQKGraphicLayer* layer = p.GetActiveGraph()->GetActiveLayer();
    ASSERT_NE(qkfxFindPlot(layer, "YFIT"), nullptr) << "the fit curve is drawn in the graph";
    EXPECT_EQ(qkfxFindPlot(layer, "YFIT")->GetDataName(QK_ROLE_X), "Data1_A") << "with the X the fitter gave it";
    int plots = layer->GetNumPlots();
    ASSERT_EQ(Fit(HOST_DATASET_UPDATE, fit, (INT_PTR)&curve), 0);
    EXPECT_EQ(layer->GetNumPlots(), plots) << "updated again, the curve is the same plot";
    Fit(HOST_REQ_3004, fit, 0);
    EXPECT_TRUE(IsMissingValue(p.GetDatasetFromHandle(fit)->GetValue(2)));

    char list[QFIT_DATASET_LIST_CAPACITY];
    ASSERT_EQ(Fit(HOST_LIST_DATASETS, (INT_PTR)list, 0), 0);
    EXPECT_STREQ(list, "Data1_A Data1_B YFIT YFIT_X") << "columns first, then free datasets";

    QFitColumnQuery query = {b, 0, 0, name, (int)sizeof name, 0};
    ASSERT_EQ(FitWin(HOST_REQ_3018, (INT_PTR)&query, 0), 0);
    EXPECT_STREQ(name, "Data1");
    EXPECT_EQ(query.column, 2);

    strcpy(name, "FIT");
    ASSERT_EQ(Fit(HOST_REQ_3416, fit, (INT_PTR)name), 0);
    EXPECT_STREQ(name, "FIT1");
    INT_PTR window = 0;
    ASSERT_EQ(Fit(HOST_REQ_1023, S("Graph1"), (INT_PTR)&window), 0);
    EXPECT_EQ(window, p.FindPage("Graph1")->GetHandle());
    ASSERT_EQ(Fit(HOST_ACTIVATE_WINDOW, S("Data1"), 0), 0);
    ASSERT_EQ(Fit(HOST_GET_WINDOW_NAME, (INT_PTR)qkfxGetHostWindow(), (INT_PTR)name), 0);
    EXPECT_STREQ(name, "Data1");
    INT_PTR column = Fit(HOST_ADD_COLUMN, 0, S("LCL"));
    EXPECT_EQ(p.FindDataset("Data1_LCL")->GetHandle(), column);

    ASSERT_TRUE(p.DeleteDataset("YFIT"));
    EXPECT_NE(Fit(HOST_CHECK_DATASET, fit, 0), 0);
    EXPECT_NE(Fit(HOST_GET_VALUE, fit, (INT_PTR)&value), 0);
    EXPECT_EQ(Fit(HOST_CHECK_DATASET, b, 0), 0);
}

TEST_F(HostTest, FitterExportsAreReachedThroughTheQfitLibrary)
{
    ASSERT_TRUE(qkfxRegisterScriptObject("qfit", "qxtestplug.dll", QK_ENTRY_FITTER));
    double result = 0;
    EXPECT_EQ(qkfxScxFit(0x401, 25, &result), 0);
    EXPECT_EQ(result, 0x401 + 25);
    EXPECT_EQ(qkfxFitModuleInit(QFITMOD_CAN_START), 1);
    EXPECT_EQ(qkfxFitModuleInit(QFITMOD_CLOSE), 2);
    typedef HWND (*WindowProc)();
    WindowProc window = (WindowProc)GetProcAddress(GetModuleHandleA("qxtestplug.dll"), "TestPlugFitWindow");
    EXPECT_EQ(window(), qkfxGetHostWindow());
    ASSERT_TRUE(qkfxRegisterScriptObject("qfit", "qxfitter.dll", QK_ENTRY_FITTER));
}

TEST_F(HostTest, NotificationsAndTheLesserRequests)
{
    ASSERT_TRUE(Run("win -t wks; for(i=1;i<=3;i+=1){col(A)[i]=i*10; col(B)[i]=i;}; wks.c1=2; wks.c2=2; worksheet -p 0 line"));
    Bind();
    CQKProject& p = qkfxGetProject();
    INT_PTR a = p.FindDataset("Data1_A")->GetHandle(), b = p.FindDataset("Data1_B")->GetHandle();

    // Fitter side.
    char buf[QFIT_HOST_TEXT_CAPACITY];
    ASSERT_EQ(Fit(HOST_REQ_1019, (INT_PTR)buf, 0), 0);
    EXPECT_NE(std::string(buf).find("quorix61.ini"), std::string::npos) << buf;
    EXPECT_EQ(Fit(HOST_REQ_1018, 3, 0x3F), 0);
    int id = 0;
    ASSERT_EQ(Fit(HOST_GET_WINDOW_ID, 0, (INT_PTR)&id), 0);
    EXPECT_EQ(id, (int)(p.GetActivePage()->GetHandle() & 0xFFFF));
    EXPECT_EQ(Fit(HOST_GET_PLOT_X_DATASET, b, 0), a) << "Data1_B is plotted in the active graph";
    EXPECT_EQ(Fit(HOST_GET_PLOT_X_DATASET, a, 0), 0);
    double in = 2, back = 0;
    ASSERT_EQ(Fit(HOST_FROM_AXIS_SCALE, (INT_PTR)&in, (INT_PTR)&back), 0);
    EXPECT_EQ(back, 2);
    EXPECT_EQ(Fit(HOST_REQ_101F, S("Chi^2 = 0.5"), 0), 0);
    EXPECT_NE(out.find("Chi^2 = 0.5\n"), std::string::npos);
    for (UINT code : {HOST_REQ_101E, HOST_REQ_1025, HOST_REQ_1027, HOST_REQ_1030, HOST_REQ_1033, HOST_REQ_1034,
                      HOST_REQ_103B, HOST_REQ_340D, HOST_REQ_344C})
        EXPECT_EQ(Fit(code, 0, 0), 0) << code;
    EXPECT_EQ(qkfxGetCallLog().GetAt(qkfxGetCallLog().Find("HOST_REQ")).args, "0x101E");

    // Framework side.
    EXPECT_EQ(request(HOST_REQ_300C, 0, 0), 0);
    int record = 0;
    EXPECT_EQ(request(HOST_REQ_3412, b, (INT_PTR)&record), (INT_PTR)&record);
    EXPECT_STREQ((const char*)request(HOST_DATASET_TEXT, b, 0), "Data1_B");
    QmKeyRecord key = {20, 0};
    ASSERT_EQ(request(HOST_GET_VALUE_AT, b, (INT_PTR)&key), 0);
    EXPECT_EQ(key.value, 2) << "the row whose X is 20";
    key.key = 25;
    EXPECT_NE(request(HOST_GET_VALUE_AT, b, (INT_PTR)&key), 0);
    QmPairRecord pair = {3, 0, {40, 4}};
    ASSERT_EQ(request(HOST_SET_PAIR, b, (INT_PTR)&pair), 0);
    EXPECT_EQ(p.FindDataset("Data1_A")->GetValue(3), 40);
    EXPECT_EQ(p.FindDataset("Data1_B")->GetValue(3), 4);
    for (UINT set : {HOST_SET_VALUE_K2, HOST_SET_VALUE_K4}) {
        QmValueRecord v = {4, 0, (double)set};
        ASSERT_EQ(request(set, b, (INT_PTR)&v), 0);
        v.value = 0;
        ASSERT_EQ(request(set == HOST_SET_VALUE_K2 ? HOST_GET_VALUE_K2 : HOST_GET_VALUE_K4, b, (INT_PTR)&v), 0);
        EXPECT_EQ(v.value, (double)set);
    }
    INT_PTR page = p.FindPage("Data1")->GetHandle();
    request(HOST_WKS_REQ_6804, page, 2);
    request(HOST_WKS_REQ_681A, page, 5);
    EXPECT_NE(qkfxGetCallLog().Find("HOST_WKS_REQ_6804"), -1);
    EXPECT_NE(qkfxGetCallLog().Find("HOST_WKS_REQ_681A"), -1);
    EXPECT_NE(request(0x7777, 0, 0), 0) << "an unknown request must not pass for done";
    EXPECT_EQ(qkfxGetCallLog().GetAt(qkfxGetCallLog().Find("unknown host request")).args, "0x7777");
}

// Saved queries and the plug-ins' named memory blocks belong to the project: its file keeps
// them, and opening another project brings its own.
TEST_F(HostTest, SavedQueriesAndMemoryBlocksGoWithTheProjectFile)
{
    Bind();
    QmSavedTextWrite write = {0, "Comment\nsource\ntable\n0\nSELECT *", 0};
    ASSERT_EQ(request(HOST_REQ_9601, (INT_PTR)&write, S("SQL1")), 0);
    QmMemBlockRecord block = {0, 16};
    char* mem = (char*)request(HOST_MEMBLOCK_GET, (INT_PTR)&block, S("Params"));
    ASSERT_NE(mem, nullptr);
    strcpy(mem, "a b c");
    request(HOST_MEMBLOCK_RELEASE, (INT_PTR)&block, S("Params"));
    std::vector<BYTE> bytes;
    qkfxSaveProjectToMemory(bytes);
    std::string before = qkfxDumpProject();
    EXPECT_NE(before.find("query SQL1"), std::string::npos);
    EXPECT_NE(before.find("memblock PARAMS"), std::string::npos);

    // Another query and block of the session go when the project is opened.
    QmSavedTextWrite other = {0, "SELECT 2", 0};
    ASSERT_EQ(request(HOST_REQ_9601, (INT_PTR)&other, S("SQL2")), 0);
    strcpy(mem, "changed");
    std::string error;
    ASSERT_TRUE(qkfxOpenProjectFromMemory(bytes.data(), bytes.size(), false, &error)) << error;
    EXPECT_EQ(qkfxDumpProject(), before);
    char saved[64] = "";
    QmSavedTextRead read = {0, sizeof saved, saved};
    EXPECT_NE(request(HOST_REQ_9600, (INT_PTR)&read, S("SQL2")), 0);
    ASSERT_EQ(request(HOST_REQ_9600, (INT_PTR)&read, S("sql1")), 0);
    EXPECT_STREQ(saved, "Comment\nsource\ntable\n0\nSELECT *");
    EXPECT_STREQ((char*)qkfxGetMemoryBlock("params", nullptr), "a b c");
}

// The change stamp moves with every change of a worksheet's structure that a reader kept
// from call to call would trip over, and with nothing else; a stamp is never given twice.
TEST_F(HostTest, WorksheetChangeStampsMoveWithTheStructure)
{
    ASSERT_TRUE(Run("win -t wks; col(A)[1] = 1; col(A)[2] = 2; col(B)[1] = 5;"));
    Bind();
    CQKProject& p = qkfxGetProject();
    auto* wks = static_cast<CQKWksPage*>(p.FindPage("Data1"));
    ASSERT_NE(wks, nullptr);
    const INT_PTR handle = wks->GetHandle();
    auto stamp = [&] { return request(HOST_WKS_CHANGE_STAMP, handle, 0); };
    struct {
        const char* what;
        std::function<void()> change;
        bool moves;
    } cases[] = {
        {"a value within the rows", [&] { wks->GetColumn(1)->SetValue(0, 7); }, false},
        {"a text within the rows", [&] { wks->GetColumn(1)->SetText(1, "x"); }, false},
        {"the same range again", [&] { wks->GetColumn(1)->SetRange(0, 2); }, false},
        {"the same format again", [&] { wks->GetColumn(1)->SetFormat(QK_FORMAT_NUMERIC); }, false},
        {"a value past the end", [&] { wks->GetColumn(2)->SetValue(4, 1); }, true},
        {"a text past the end", [&] { wks->GetColumn(1)->SetText(6, "y"); }, true},
        {"values past the end", [&] { double v[2] = {1, 2}; wks->GetColumn(1)->SetValues(6, v, 2); }, true},
        {"rows cut", [&] { wks->GetColumn(1)->SetRange(0, 3); }, true},
        {"rows inserted", [&] { wks->GetColumn(1)->InsertRows(0, 1); }, true},
        {"rows deleted", [&] { wks->GetColumn(1)->DeleteRows(0, 1); }, true},
        {"values taken over", [&] { wks->GetColumn(2)->TakeValues({1, 2, 3}); }, true},
        {"another format", [&] { wks->GetColumn(2)->SetFormat(QK_FORMAT_TEXT); }, true},
        {"a column added", [&] { wks->AddColumn(); }, true},
        {"a column renamed", [&] { wks->RenameColumn(3, "Z"); }, true},
        {"a column deleted", [&] { wks->DeleteColumn(3); }, true},
        {"the worksheet renamed", [&] { wks->SetName("Renamed"); }, true},
        {"a script's format", [&] { ASSERT_TRUE(Run("wks.col1.format = 2")) << err; }, true},
        {"a plug-in's format", [&] {
             int record[3] = {1, 1, QM_FORMAT_NUMBER};
             request(HOST_WKS_SET_COLUMN_ATTR, handle, (INT_PTR)record);
         }, true},
        {"columns moved", [&] { wks->SelectColumns(1, 1); wks->MoveSelectedColumns(38770); }, true},
        {"a column inserted", [&] { wks->SelectColumns(1, 1); wks->InsertSelected(); }, true},
    };
    std::set<INT_PTR> seen = {stamp()};
    for (const auto& c : cases) {
        const INT_PTR before = stamp();
        c.change();
        const INT_PTR after = stamp();
        EXPECT_NE(after, 0) << c.what;
        EXPECT_EQ(after != before, c.moves) << c.what;
        if (c.moves) {
            EXPECT_TRUE(seen.insert(after).second) << c.what << ": a stamp came back";
        }
    }
    // A worksheet made later never answers a stamp given before; a deleted one answers 0.
    auto* other = static_cast<CQKWksPage*>(p.CreatePage(QK_PAGE_WKS, "Data1"));
    ASSERT_NE(other, nullptr);
    EXPECT_TRUE(seen.insert(request(HOST_WKS_CHANGE_STAMP, other->GetHandle(), 0)).second);
    p.DeletePage("Renamed");
    EXPECT_EQ(request(HOST_WKS_CHANGE_STAMP, handle, 0), 0);
}
