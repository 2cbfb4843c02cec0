// The command strings of the page windows as the program finds them through its resource
// chain (a string of the program takes the place of the library's of the same id),
// against the table below; and the commands whose kernel side is built, run as the menus
// run them, over the script files of the program folder.
#include <gtest/gtest.h>
#include <windows.h>

#include <afxwin.h>

#include <QKAccess.h>
#include <QKCallLog.h>
#include <QKData.h>
#include <QKGraphObjects.h>
#include <QKScript.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "TestHelpers.h"

namespace {

struct CommandRow {
    UINT id;
    bool program; // the main program's replacement of the library's string
    const char* name;
    const char* script; // null: the string has no script part
};

// Every command string: its tool-tip name and script, as the commands were specified.
const CommandRow kCommands[] = {
    {36080, false, "Preferences", "system.dialog();"},
    {36081, false, "Color Palette", "edit -color;"},
    {36082, false, "Page Control", "Page;l"},
    {36083, false, "Layer Control", "Layer -K P;"},
    {36084, false, "Plot Details", "set %C;"},
    {36085, false, "Non-Linear Curve Fit", "qfit.control();"},
    {36086, false, "Reset to Full Range", "set %C -e;HideMarker;"},
    {36087, false, "Bottom X + Left Y", "Layer -new;"},
    {36088, false, "Top X + Right Y", "layer -new Both;"},
    {36089, false, "Top X", "layer -new X;"},
    {36090, false, "Right Y", "layer -new Y;"},
    {36091, false, "Worksheet Script", "worksheet -e script;"},
    {36097, false, "X Axis Title", "Label -e -x X Title;;clr;"},
    {36098, false, "Y Axis Title", "Label -e -y Y Title;;clr;"},
    {36099, false, "Z Axis Title", "Label -e -z Z Title;;clr;"},
    {36100, false, "Format X Tick Labels", "Axis -l x;"},
    {36101, false, "Format Y Tick Labels", "Axis -l y;"},
    {36102, false, "Format Z Tick Labels", "Axis -l z;"},
    {36103, false, "Format X Axis", "Axis X;"},
    {36104, false, "Format Y Axis", "Axis Y;"},
    {36105, false, "Format Z Axis", "Axis Z;"},
    {36115, false, "Add Line", "worksheet -P i line"},
    {36116, false, "Add Scatter", "worksheet -P i scatter"},
    {36117, false, "Add Line + Symbol", "worksheet -P i linesymb"},
    {36118, false, "Add Column", "worksheet -P i column"},
    {36119, false, "Add Area", "worksheet -P i area"},
    {36120, false, "New Function", "NewFunction"},
    {36121, false, "Stack Data", "layer -b stack -1;"},
    {36122, false, "Exchange Axes", "layer -b Xchange -1;"},
    {36123, false, "Arrange All Layers", "run.section(graph,ArrangeAllLayers);"},
    {36125, false, "Rotate Page", "run.section(Graph,RotatePage);"},
    {36126, false, "Merge Graphs", "run.section(Graph,MergeAllPages);"},
    {36127, false, "Maximize Layer", "run.section(Graph,MaxLayer);"},
    {36127, true, "Maximize Layer", "run.section(Graph,FitLayerToPage);"},
    {36128, false, "Full Screen", "run.section(Graph,FullScreen);"},
    {36129, false, "Fit page to encompass all layers", "run.section(Graph,FitPageToLayers)"},
    {36130, false, "pCLAMP", "run.section(Plot,pCLAMP);"},
    {36321, false, "Rescale", "layer -all ask;"},
    {36322, false, "Add Error Bars", "worksheet -e err;"},
    {36325, false, "New Legend", "@Legend,Standard"},
    {36326, false, "Add Color Scale", "@Spectrum,Standard"},
    {36327, false, "Add XY Scale", "@XYScale,Standard"},
    {33248, false, "Scatter", "@Scatter"},
    {33249, false, "Line", "@Line"},
    {33250, false, "Line + Symbol", "@LineSymbol"},
    {33251, false, "High-Low-Close", "@HiLoClose"},
    {33252, false, "Vector XYAM", "@Vector"},
    {33253, false, "Floating Bar", "@FloatBar"},
    {33254, false, "Floating Column", "@FloatColumn"},
    {33255, false, "Column", "@Column"},
    {33256, false, "Stack Column", "@StackCol"},
    {33257, false, "Bar", "@Bar"},
    {33258, false, "Stack Bar", "@StackBar"},
    {33259, false, "Area", "@Area"},
    {33260, false, "Polar", "@Polar"},
    {33261, false, "Box Chart", "@BoxChart"},
    {33262, false, "Outlier Chart", "@Outlier"},
    {33263, false, "Quantile Chart", "@Quantile"},
    {33265, false, "Column Scatter", "@ColumnScatter"},
    {33266, false, "Histogram", "@Histogram"},
    {33267, false, "Vector  XYXY", "@FlowVector"},
    {33281, false, "Scatter Matrix", nullptr},
    {33282, false, "Pareto Chart (Sorted Histogram)", nullptr},
    {33283, false, "Control Chart", nullptr},
    {33284, false, "Ternary", "@Ternary"},
    {33285, false, "Pie Chart", "@Pie"},
    {33286, false, "Piece-Percent Chart", "@PiecePie"},
    {33287, false, "Template", "@Template"},
    {33288, false, "Double Y Axis", "@DoubleY"},
    {33289, false, "Waterfall", "@Waterfall"},
    {33290, false, "Line Series", "@LineSeries"},
    {33291, false, "Fill Area", "@FillArea"},
    {33292, false, "QC (X-bar R) Chart", "@QCchart"},
    {33293, false, "Zoom", "@Zoom"},
    {33294, false, "Dose-Response Curve Fitting", "@DoseRespFit"},
    {33295, false, "Histogram + Probabilities", "@HistProb"},
    {33296, false, "Stacked Histograms", "@StackHist"},
    {33297, false, "Cumulative Histogram", "@CumulativeHist"},
    {33313, false, "Stack", "@Stack"},
    {33314, false, "Horizontal Step", "@HorzStep"},
    {33315, false, "Vertical Step", "@VertStep"},
    {33316, false, "Color Map", "@IndexColor"},
    {33317, false, "Bubble", "@IndexSize"},
    {33318, false, "Bubble + Color &Mapped", "@IndexColorSize"},
    {33319, false, "2 Point Segment", "@Segment2"},
    {33320, false, "3 Point Segment", "@Segment3"},
    {33321, false, "Horizontal 2 Panel", "@Panel2Horz"},
    {33322, false, "Vertical 2 Panel", "@Panel2Vert"},
    {33323, false, "4 Panel", "@Panel4"},
    {33324, false, "9 Panel", "@Panel9"},
    {33325, false, "Exponential Growth", "@ExpGrow"},
    {33326, false, "Exponential Decay", "@ExpDec"},
    {33327, false, "Sigmoidal (linear)", "@SigLinear"},
    {33328, false, "Auto Peak Find", "@AutoPeakFind"},
    {33329, false, "Horizontal Drop Line", "@HorzDropLine"},
    {33330, false, "Vertical Drop Line", "@VertDropLine"},
    {33331, false, "Linear Fit", "@LinearReg"},
    {33332, false, "Multiple Regression", "@MultReg"},
    {33333, false, "Spline Connected", "@Spline"},
    {33334, false, "Sigmoidal", "@Sigmoidal"},
    {33335, false, "Y Error", "@YError"},
    {33336, false, "X Y Error", "@XYError"},
    {33337, false, "Zoom In", "run.section(standard,ZoomIn);"},
    {33338, false, "Zoom Out", nullptr},
    {33024, false, "Zoom In", "@ZoomIn,Standard"},
    {33025, false, "Zoom Out", "@ZoomOut,Standard"},
    {33026, false, "Zoom Layer", nullptr},
    {33027, false, "Whole Page", "@ZoomWhole,Standard"},
    {33028, false, "Maximize Layer", nullptr},
    {33029, false, "Full Screen", "@FullScreen"},
    {33040, false, "Print", "Print"},
    {33041, false, "Date && Time", "@DateTime"},
    {33042, false, "Extract to Layers", "@ExtractLayers"},
    {33043, false, "Extract to Graphs", "@ExtractGraphs"},
    {33044, false, "Merge", "@Merge"},
    {33045, false, "Add Graph", "@AddPlot"},
    {33046, false, "Add Worksheet", "@AddWks"},
    {33047, false, "Custom Routine", "@Main,Custom"},
    {33048, false, "Zoom In", nullptr},
    {33049, false, "Zoom Out", nullptr},
    {33051, false, "Duplicate", "@Duplicate,Standard"},
    {33052, false, "Refresh", "@Refresh"},
    {33053, false, "Print", "@Print,Standard"},
    {33994, false, "Open Excel", "@OpenExcel"},
    {33995, false, "Open Window", "@OpenWindow"},
    {33996, false, "Open", "@Open"},
    {33997, false, "Append Project", "@AppendProject"},
    {33999, false, "CSV Export", "@CSVExport"},
    {34000, false, "ASCII Import Options", "@ImportASCIIOptions"},
    {34001, false, "Options for All Imports", "@ImportOptions"},
    {34002, false, "Spreadsheet Database", "@Spreadsheet"},
    {34003, false, "ODBC Import", "@Import,ODBC"},
    {34004, false, "Import using last-used method", "@LastImport"},
    {34005, false, "ASCII Export Options", "@ASCIIExport"},
    {34006, false, "New Worksheet", "@NewWks,Standard"},
    {34007, false, "New Graph", "@NewGraph,Standard"},
    {34008, false, "New Matrix", "@NewMatrix,Standard"},
    {34009, false, "New Layout", "@NewLayout,Standard"},
    {34010, false, "New Function", "@NewFunction,Standard"},
    {34011, false, "New Project", "@NewProject,Standard"},
    {34012, false, "Save Window", "@SaveWindow"},
    {34013, false, "Open Worksheet Template", "@OpenWksTemplate"},
    {34014, false, "Open Graph Template", "@OpenGraphTemplate"},
    {34015, false, "Open Matrix Template", "@OpenMatrixTemplate"},
    {34016, false, "Save as New Template", "@SaveAsTemplate"},
    {34017, false, "Close Project", "@Close"},
    {34018, false, "Export Page", "@ExportPage,GraphExp"},
    {34019, false, "Single Import", "@SingleImport"},
    {34020, false, "Multiple Import", "@MultiImportGraph"},
    {34021, false, "Export ASCII", "run.section(file,ASCIIExport)"},
    {34022, false, "Print", "@Print"},
    {34023, false, "Print Setup", "@PrintSetup"},
    {34024, false, "New Excel", "@NewExcel,Standard"},
    {34025, false, "New Notes", "@NewNotes,Standard"},
    {34026, false, "Open Template", "@OpenAnyTemplate"},
    {34028, false, "Import Lotus", "run.section(file,ImportLotus);"},
    {34029, false, "Import Excel", "run.section(file,ImportExcel32);"},
    {34030, false, "Import dBASE", "run.section(file,ImportDBase32);"},
    {34031, false, "Import DIF", "run.section(file,ImportDIF);"},
    {34032, false, "Import LabTech", "run.section(appfile,LabTech);"},
    {34033, false, "Import SigmaPlot", "run.section(appfile,ImportSigma);"},
    {34034, false, "Import WAV", "run.section(appfile,WAV);"},
    {34035, false, "Import Mathematica", "run.section(appfile,Mathematica);"},
    {34036, false, "Import Kaleidagraph", "run.section(appfile,ImportKaleid);"},
    {34037, false, "Import Multiple ASCII", "run.section(file,MultiImportToolbar);"},
    {34038, false, "Import Axon pCLAMP files", "@main,pClamp"},
    {34039, false, "New Scrivex Editor", nullptr},
    {34040, false, "Import Image", "@ImportImage,imgfile"},
    {34041, false, "Export Image", "@ExportImage,imgfile"},
    {34048, false, "Save Project", "@SaveProject"},
    {34049, false, "Project Save As", "@SaveProjectAs"},
    {34050, false, "Import ASCII", "@ImportAscii"},
    {34051, false, "Save Template", "@SaveTemplate"},
    {34052, false, "Import Multiple ASCII", "@MultiImportWKS"},
    {35520, false, "Horizontal Alignment", "@Horizontal"},
    {35521, false, "Vertical Alignment", "@Vertical"},
    {35522, false, "Narrow Head", "@Narrow"},
    {35523, false, "Widen Head", "@Widen"},
    {35524, false, "Lengthen Head", "@Lengthen"},
    {35525, false, "Shorten Head", "@Shorten"},
    {35488, false, "Left", "@Left"},
    {35489, false, "Right", "@Right"},
    {35490, false, "Top", "@Top"},
    {35491, false, "Bottom", "@Bottom"},
    {35492, false, "Vertical", "@Vertical"},
    {35493, false, "Horizontal", "@Horizontal"},
    {35494, false, "Uniform Width", "@Width"},
    {35495, false, "Uniform Height", "@Height"},
    {35496, false, "Front", "@FrontObj"},
    {35497, false, "Back", "@BackObj"},
    {35498, false, "Front(data)", "@FrontData"},
    {35499, false, "Back(data)", "@BackData"},
    {35500, false, "Group", "@Group"},
    {35501, false, "Ungroup", "@Ungroup"},
    {35502, false, "Arrow", "@Arrow"},
    {35503, false, "Color Palette", "@ColorPalette"},
    {35504, false, "Increase Font", "@FontUp"},
    {35505, false, "Decrease Font", "@FontDown"},
    {35536, false, "Mask range", "@Range,Mask"},
    {35537, false, "Mask point toggle", "@Point,Mask"},
    {35538, false, "Change mask color", "@Color,Mask"},
    {35539, false, "Hide/Show masked points", "@Hide,Mask"},
    {35540, false, "Swap mask", "@Swap,Mask"},
    {35541, false, "Disable/Enable masking", "@Analysis,Mask"},
    {35542, false, "Unmask range", "@Clear,Mask"},
    {35568, false, "3D Scatter Plot", "@Scatter,Plot3d"},
    {35569, false, "3D Trajectory", "@Trajectory,Plot3D"},
    {35570, false, "XYY 3D Bars", "@Bar,Plot3D"},
    {35571, false, "3D Ribbons", "@Ribbon,Plot3D"},
    {35572, false, "3D Walls", "@Walls,Plot3D"},
    {35573, false, "3D Waterfall", "@Waterfall,Plot3D"},
    {35574, false, "3D Color Fill Surface", "@ColorFill,Plot3D"},
    {35575, false, "3D X Constant with Base", "@XConstant,Plot3D"},
    {35576, false, "3D Y Constant with Base", "@YConstant,Plot3D"},
    {35577, false, "3D Color Map", "@ColorMap,Plot3D"},
    {35578, false, "Matrix 3D Bars", "@3DBars,Plot3D"},
    {35579, false, "3D Wire Frame", "@WireFrame,Plot3D"},
    {35580, false, "3D wire surface", "@WireSurface,Plot3D"},
    {35581, false, "Contour - color fill", "@ContourColor,Plot3D"},
    {35582, false, "Contour B/W lines", "@ContourBW,Plot3D"},
    {35583, false, "Gray Scale Map", "@GrayScaleMap,Plot3D"},
    {35552, false, "Rotate counterclockwise", "@2,3d,OneToSix"},
    {35553, false, "Rotate clockwise", "@1,3d,OneToSix"},
    {35554, false, "Tilt left", "@4,3d,OneToSix"},
    {35555, false, "Tilt right", "@3,3d,OneToSix"},
    {35556, false, "Tilt down", "@6,3d,OneToSix"},
    {35557, false, "Tilt up", "@5,3d,OneToSix"},
    {35558, false, "Increase perspective", "@Per3Plus,3d"},
    {35559, false, "Decrease perspective", "@Per3Minus,3d"},
    {35560, false, "Fit frame to layer", "@FitFrame,3d"},
    {35561, false, "Reset rotation", "@RotRestore,3d"},
    {36401, false, "Column Format", "@Column"},
    {36402, false, "", nullptr},
    {36403, false, "Label Control", nullptr},
    {32965, false, "Set Display Range", "@SetDisplayRange"},
    {32966, false, "Data Markers", nullptr},
    {32967, false, "Move Data Points", "@MoveData"},
    {32968, false, "Remove Bad Data", "@RemoveBadData"},
    {34145, false, "Simple Math", "@Simple"},
    {34146, false, "Savitzky-Golay", "@MenuSG,Smooth"},
    {34147, false, "Adjacent Averaging", "@MenuMovingWindow,Smooth"},
    {34148, false, "FFT Filter", "@MenuFFTFilter,Smooth"},
    {34149, false, "Low Pass FFT Filter", "@LowPass"},
    {34150, false, "High Pass FFT Filter", "@HighPass"},
    {34151, false, "Band Pass FFT Filter", "@BandPass"},
    {34152, false, "Band Block FFT Filter", "@BandBlock"},
    {34153, false, "Differentiate", "@Diff"},
    {34154, false, "Diff/Smooth", "@MenuDiffSmooth,Smooth"},
    {34155, false, "Integrate", "@Integ"},
    {34156, false, "Subtract Data", "@SubRef"},
    {34157, false, "Subtract Line", "@SubLine"},
    {34158, false, "Translate Vertical", "@TransY"},
    {34159, false, "Translate Horizontal", "@TransX"},
    {34160, false, "Average Mulitple Curves", "@AveCurves"},
    {34161, false, "Inter\\Extrapolate", "@Interpolate"},
    {34163, false, "Linear Fit", "@MenuLR,LR"},
    {34164, false, "Polynomial Fit", "@MenuPR,PR"},
    {34165, false, "Exponential Decay 1", "@ExpDecay1,Fit"},
    {34166, false, "Exponential Decay 2", "@ExpDecay2,Fit"},
    {34167, false, "Exponential Decay 3", "@ExpDecay3,Fit"},
    {34168, false, "Exponential Growth", "@ExpGrowth,Fit"},
    {34169, false, "Sigmodial", "@Sigmoidal,Fit"},
    {34170, false, "Gaussian", "run.section(fit,Fit1Peak,Gauss);"},
    {34171, false, "Lorentzian", "run.section(fit,Fit1Peak,Lorentz);"},
    {34172, false, "Malti-Peak Gaussian", "run.section(fit,FitNPeaks,Gauss);"},
    {34173, false, "Multi-Peak Lorentzian", "run.section(fit,FitNPeaks,Lorentz);"},
    {34174, false, "Threshold filter", "run.section(granaly,threshold);"},
    {9999, false, "FFT", "@FFT"},
    {36433, false, "Set column values", "@SetColValues"},
    {36434, false, "Statistics on Column(s)", "@StatCol"},
    {36435, false, "Statistics on Row(s)", "@StatRow"},
    {36436, false, "Sort", "@Sort"},
    {36437, false, "Error Bar Options", nullptr},
    {36438, false, "Set As Begin", nullptr},
    {36439, false, "Set As End", nullptr},
    {36440, false, "Reset to Full Range", nullptr},
    {36441, false, "Insert", nullptr},
    {36442, false, "Delete", nullptr},
    {36444, false, "Set column values according to row number", nullptr},
    {36445, false, "Set column values with uniform random numbers", nullptr},
    {36446, false, "Set column values with normal random numbers", nullptr},
    {36448, false, "Sort Range Ascending", "@SortRangeAsc"},
    {36449, false, "Sort Range Descending", "@SortRangeDesc"},
    {36450, false, "Sort Column Ascending", "@SortColAsc"},
    {36451, false, "Sort Column Descending", "@SortColDesc"},
    {36458, false, "Show X Column", nullptr},
    {36459, false, "Multiple X", nullptr},
    {36464, false, "Sort Worksheet Ascending", "@SortWksAsc"},
    {36465, false, "Sort Worksheet Descending", "@SortWksDesc"},
    {36466, true, "Transpose", nullptr},
    {36495, false, "Set Worksheet X", nullptr},
    {36496, false, "Extract Worksheet Data", nullptr},
    {36497, false, "Clear Worksheet", nullptr},
    {36500, false, "Worksheet Display Control", nullptr},
    {36501, false, "Add New Columns", "@AddNewCol"},
    {32818, false, "Split Data", "run.dialog(SPLIT);"},
    {32819, false, "Join Data", "run.dialog(JOIN);"},
    {32820, false, "Indexed Extraction", "run.dialog(INDEX,MASK);"},
    {32821, false, "Select Cases", "run.dialog(SLCT);"},
    {32822, false, "Sort", "run.dialog(SORT);"},
    {32823, false, "Rank", "run.dialog(RANK);"},
    {32824, false, "Convert (Direct)", "@Wks2Mat"},
    {32825, false, "Convert (Expand)", "@ExpRow2Mat"},
    {32832, false, "Add New Columns", "@AddNewCol"},
    {32833, false, "Go To Row", "@GoToRow"},
    {32834, false, "Convert into binned matrix", "@2DBinning"},
    {32835, false, "Convert Regular", "run.section(Wks,ConvReg);"},
    {32836, false, "Convert Random", "run.section(Wks,ConvRandom);"},
    {32849, false, "Column Format", "@Column"},
    {32867, false, "Frequency Count", "@FreqCount"},
    {32868, false, "Normalize", "@Normalize"},
    {32898, false, "t-Test (One Pop)", "@tTestOne,wksStat"},
    {32899, false, "t-Test (Two Pop)", "@tTestTwo,wksStat"},
    {32900, false, "One-Way Anova", "@AnovaOne,wksStat"},
    {32901, false, "Multiple Regression", "@MultiReg,wksStat"},
    {32902, false, "Convolute", "@Convolute"},
    {32903, false, "Deconvolute", "@Deconvolute"},
    {32904, false, "Correlate", "@Correlate"},
    {36048, false, "Matrix Dimension", "@Dimension"},
    {36049, false, "Matrix X Y Coordinates", "@Coordinates"},
    {36050, false, "Matrix Values", "@Values"},
    {36051, false, "Transpose", "@Transpose"},
    {36052, false, "Inverse", "@Inverse"},
    {36053, false, "Expand", "@Expand"},
    {36054, false, "Shrink", "@Shrink"},
    {36055, false, "Convert to Worksheet", "@Mat2Wks"},
    {36056, false, "Smooth", "@Smooth"},
    {36057, false, "Integrate", "@Integrate"},
    {36058, false, "Convert XYZ", "@ConvXYZ"},
};

std::vector<std::string> Parts(const CString& text)
{
    std::vector<std::string> parts;
    std::string s = (LPCTSTR)text;
    size_t from = 0;
    for (size_t nl; (nl = s.find('\n', from)) != std::string::npos; from = nl + 1)
        parts.push_back(s.substr(from, nl - from));
    parts.push_back(s.substr(from));
    return parts;
}

// The row a command's string must match: the program's where it has one.
const CommandRow* Expected(UINT id)
{
    const CommandRow* found = nullptr;
    for (const CommandRow& row : kCommands)
        if (row.id == id && (found == nullptr || row.program))
            found = &row;
    return found;
}

} // namespace

TEST(CommandStrings, EveryCommandHasItsPromptNameAndScript)
{
    std::set<UINT> ids;
    for (const CommandRow& row : kCommands)
        ids.insert(row.id);
    ASSERT_EQ(ids.size(), 328u);
    for (UINT id : ids) {
        const CommandRow* row = Expected(id);
        CString text;
        ASSERT_TRUE(text.LoadString(id)) << id;
        std::vector<std::string> parts = Parts(text);
        ASSERT_EQ(parts.size(), row->script ? 3u : 2u) << id << ": " << (LPCTSTR)text;
        EXPECT_FALSE(parts[0].empty()) << id << " has no prompt";
        EXPECT_EQ(parts[1], row->name) << id;
        if (row->script)
            EXPECT_EQ(parts[2], row->script) << id;
    }
}

TEST(CommandStrings, TheWholeStringsGivenAsExamplesAreTheResources)
{
    const struct {
        UINT id;
        const char* text;
    } cases[] = {
        {36080, "Open the user preferences dialog box\nPreferences\nsystem.dialog();"},
        {36084, "Open the Plot Details dialog box for %C\nPlot Details\nset %C;"},
        {33997, "Append a project to the current open project\nAppend Project\n@AppendProject"},
        {34024, "Create a new, empty Excel window\nNew Excel\n@NewExcel,Standard"},
        {36436, "Sort the active worksheet/column according to the highlighted column\nSort\n@Sort"},
        {36127, "Maximize the active layer to fit the page\nMaximize Layer\nrun.section(Graph,FitLayerToPage);"},
    };
    for (const auto& c : cases) {
        CString text;
        ASSERT_TRUE(text.LoadString(c.id)) << c.id;
        EXPECT_STREQ(text, c.text);
    }
}

TEST(CommandStrings, TheProgramsStringTakesThePlaceOfTheLibrarys)
{
    CString text;
    ASSERT_TRUE(text.LoadString(36127));
    EXPECT_EQ(Parts(text).back(), "run.section(Graph,FitLayerToPage);");
    // The library keeps its own.
    char library[512] = "";
    ASSERT_GT(LoadStringA(GetModuleHandleA("qxuser.dll"), 36127, library, sizeof library), 0);
    EXPECT_EQ(Parts(library).back(), "run.section(Graph,MaxLayer);");
    ASSERT_TRUE(text.LoadString(36466));
    EXPECT_EQ(Parts(text).size(), 2u) << "Transpose has no script";
}

// A command either runs or the kernel refuses it, so that its item is grey.
TEST(CommandStrings, OnlyTheBuiltCommandsRun)
{
    std::set<UINT> built = {32832, 32833, 33051, 33052, 33994, 33995, 33996, 33997, 34000, 34003, 34006, 34007,
                                  34008, 34009, 34025, 34011, 34012, 34013, 34014, 34015, 34016, 34017, 34019,
                                  34020, 34021, 34024, 34026, 34033, 34034, 34035, 34036, 34037, 34048,
                                  34049, 34050, 34051, 34052, 36080, 36501};
    // The plot kinds the kernel makes, Plot Details, the fitter, new layers, the axis titles
    // and axis dialogs.
    for (UINT id : {36084, 36085, 36087, 36088, 36089, 36090})
        built.insert(id);
    // Print and Print Setup.
    for (UINT id : {33040, 33053, 34022, 34023})
        built.insert(id);
    for (UINT id : {33248, 33249, 33250, 33251, 33252, 33253, 33254, 33255, 33256, 33257, 33258, 33259,
                    33261, 33266, 33267, 33285, 33291, 33316, 33317, 33318, 33329, 33330, 33335})
        built.insert(id);
    for (UINT id = 35568; id <= 35583; ++id)
        if (id != 35573 && id != 35575 && id != 35576)
            built.insert(id);
    for (UINT id = 36097; id <= 36105; ++id)
        built.insert(id);
    // Every matrix command.
    for (UINT id = 36048; id <= 36058; ++id)
        built.insert(id);
    // Zoom, Rotate Page and New Legend of the graph window, and the object, arrow and masking
    // commands.
    for (UINT id : {33024, 33025, 33027, 33337, 35502, 35504, 35505, 36125, 36325})
        built.insert(id);
    for (UINT id = 35488; id <= 35499; ++id)
        built.insert(id);
    for (UINT id = 35520; id <= 35525; ++id)
        built.insert(id);
    for (UINT id = 35536; id <= 35542; ++id)
        built.insert(id);
    // Rescale, Reset to Full Range and the 3D rotation commands.
    for (UINT id : {36321, 36086})
        built.insert(id);
    for (UINT id = 35552; id <= 35561; ++id)
        built.insert(id);
    // The quick fits of the graph's Analysis menu.
    for (UINT id = 34163; id <= 34173; ++id)
        built.insert(id);
    // The colour palette, from the Format menu and the object-editing toolbar.
    for (UINT id : {36081, 35503})
        built.insert(id);
    // Set Column Values and the sorts of the worksheet.
    for (UINT id : {36433, 36436, 36448, 36449, 36450, 36451, 36464, 36465})
        built.insert(id);
    // Column Format, ASCII Export Options (the export's own section), the statistics.
    for (UINT id : {32849, 36401, 34005, 36434, 36435})
        built.insert(id);
    // The conversions to a matrix, Worksheet Script, Options for All Imports and Import
    // using last-used method.
    for (UINT id : {32824, 32825, 32834, 32835, 32836, 36091, 34001, 34004})
        built.insert(id);
    // The layer and page commands of the graph window.
    for (UINT id : {36082, 36083, 36115, 36116, 36117, 36118, 36119, 36123, 36126, 36127, 36129, 33042, 33043, 33044})
        built.insert(id);
    // Polar, Ternary, the step, segment and spline lines, X Y Error, Stack Data and Exchange
    // Axes.
    for (UINT id : {33260, 33284, 33314, 33315, 33319, 33320, 33333, 33336, 36121, 36122})
        built.insert(id);
    // The plot template commands: graphs of several layers, a template file, the charts.
    for (UINT id : {33288, 33321, 33322, 33323, 33324, 33313, 33289, 33290, 33293, 33287, 33262, 33263, 33265, 33286,
                    33292, 33295, 33296, 33297})
        built.insert(id);
    // Full Screen, Date & Time, New Function, Export Page, Set Display Range, and the fitting
    // templates of the worksheet's plot commands.
    for (UINT id : {33029, 36128, 33041, 34010, 36120, 34018, 32965, 33294, 33325, 33326, 33331, 33334})
        built.insert(id);
    // Move Data Points, Remove Bad Data, the layout's Add Graph and Add Worksheet, Group,
    // Ungroup and New Color Scale.
    for (UINT id : {32967, 32968, 33045, 33046, 35500, 35501, 36326})
        built.insert(id);
    std::set<UINT> running;
    for (const CommandRow& row : kCommands)
        if (row.script && qkfxGetUnbuiltCommandArea((int)row.id) == nullptr)
            running.insert(row.id);
    EXPECT_EQ(running, built);
}

namespace {

// The access object of these tests: the file dialog answers with the file the test chose.
class ChoosingAccess : public CQKAccess {
public:
    int GetFileToOpen(const std::string& filter, std::string& path) override
    {
        m_filters.push_back(filter);
        path = m_choice;
        return !path.empty();
    }
    int GetFilesToOpen(const std::string& filter, const std::string&, std::vector<std::string>& paths) override
    {
        m_filters.push_back(filter);
        paths = m_choices;
        return !paths.empty();
    }
    std::vector<std::string> m_choices;
    int DoMessageBox(const char* text, UINT) override
    {
        m_messages.push_back(text);
        return m_answer;
    }
    int GetFileToSave(const std::string& filter, const std::string& title, std::string& path) override
    {
        m_filters.push_back(filter);
        m_titles.push_back(title);
        m_proposals.push_back(path);
        path = m_saveChoice;
        return !path.empty();
    }
    int m_answer = IDOK;
    std::string m_choice, m_saveChoice;
    std::vector<std::string> m_titles, m_proposals;
    std::vector<std::string> m_filters;
    std::vector<std::string> m_messages;
};

class BuiltCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        qkfxGetProject().New();
        qkfxGetScript().Reset();
        qkfxGetCallLog().Clear();
    }
    void TearDown() override { qkfxGetProject().New(); }

    // Runs a command as the menus do: the kernel may refuse it; else its string runs.
    bool Run(const char* group, UINT id)
    {
        if (!access.on_before_run_command(group, (int)id))
            return false;
        CString text;
        EXPECT_TRUE(text.LoadString(id)) << id;
        return access.run_resurce_string_ex(group, text, nullptr) == 0;
    }
    std::vector<std::string> PageNames()
    {
        std::vector<std::string> names;
        for (int i = 0; i < qkfxGetProject().GetNumPages(); ++i)
            names.push_back(qkfxGetProject().GetPage(i)->GetName());
        return names;
    }

    ChoosingAccess access;
};

} // namespace

TEST_F(BuiltCommands, NewWindowsProjectAndClose)
{
    struct Case {
        const char* group;
        UINT id;
        std::vector<std::string> pages; // afterwards
    } cases[] = {
        {"FILE", 34006, {"Data1"}},
        {"FILE", 34007, {"Data1", "Graph1"}},
        {"FILE", 34008, {"Data1", "Graph1", "Matrix1"}},
        {"FILE", 34009, {"Data1", "Graph1", "Matrix1", "Layout1"}},
        {"FILE", 34011, {"Data1"}}, // a new project starts with one worksheet
        {"FILE", 34017, {}},        // closing leaves an empty project
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(Run(c.group, c.id)) << c.id << ": " << qkfxGetScript().GetLastError();
        EXPECT_EQ(PageNames(), c.pages) << c.id;
    }
    // Closing a modified project asked first; an empty one closes without a word.
    ASSERT_EQ(access.m_messages.size(), 2u);
    EXPECT_NE(access.m_messages[0].find("Save changes to the project?"), std::string::npos);
    Run("FILE", 34017);
    EXPECT_EQ(access.m_messages.size(), 2u);
    // A user who cancels keeps the project.
    ASSERT_TRUE(Run("FILE", 34006));
    access.m_answer = IDCANCEL;
    EXPECT_FALSE(Run("FILE", 34011));
    EXPECT_EQ(PageNames(), std::vector<std::string>{"Data1"});
    EXPECT_NE(qkfxGetScript().GetLastError().find("the project stays open"), std::string::npos);
}

// Import ASCII fills the active worksheet; the multiple import puts each further file into
// a worksheet of its own; from a graph window every file makes a new worksheet.
TEST_F(BuiltCommands, ImportAsciiReachesTheKernelsImport)
{
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    const std::string a = std::string(dir) + "qx_cmd_a.csv", b = std::string(dir) + "qx_cmd_b.dat";
    std::ofstream(a, std::ios::binary) << "1,2\r\n3,4\r\n";
    std::ofstream(b, std::ios::binary) << "7\t8\t9\n";
    ASSERT_TRUE(Run("FILE", 34006));
    access.m_choice = a;
    ASSERT_TRUE(Run("FILE", 34050)) << qkfxGetScript().GetLastError();
    CQKWksPage* wks = qkfxGetProject().GetActiveWks();
    ASSERT_EQ(wks->GetName(), "Data1");
    EXPECT_EQ(wks->GetColumn(2)->GetValue(1), 4);
    EXPECT_EQ(access.m_filters.back().substr(0, 13), "ASCII (*.dat)");

    access.m_choices = {a, b};
    ASSERT_TRUE(Run("FILE", 34052)) << qkfxGetScript().GetLastError();
    EXPECT_EQ(PageNames(), (std::vector<std::string>{"Data1", "Data2"}));
    EXPECT_EQ(qkfxGetProject().GetActiveWks()->GetColumn(3)->GetValue(0), 9);

    ASSERT_TRUE(Run("FILE", 34007));
    access.m_choice = b;
    ASSERT_TRUE(Run("FILE", 34019)) << qkfxGetScript().GetLastError();
    EXPECT_EQ(PageNames(), (std::vector<std::string>{"Data1", "Data2", "Graph1", "Data3"}));
    // Cancelled: nothing happens.
    access.m_choice.clear();
    access.m_choices.clear();
    EXPECT_TRUE(Run("FILE", 34050));
    EXPECT_TRUE(Run("FILE", 34020));
    EXPECT_EQ(qkfxGetProject().GetNumPages(), 4);
    DeleteFileA(a.c_str());
    DeleteFileA(b.c_str());
}

// Add New Columns and Go To Row ask for their number (without a main window the default
// stands: one column, row 1).
TEST_F(BuiltCommands, AddNewColumnsAndGoToRow)
{
    ASSERT_TRUE(Run("FILE", 34006));
    CQKWksPage* wks = qkfxGetProject().GetActiveWks();
    ASSERT_TRUE(Run("WKSANALY", 32832)) << qkfxGetScript().GetLastError();
    EXPECT_EQ(wks->GetNumCols(), 3);
    ASSERT_TRUE(Run("WKS", 36501)) << qkfxGetScript().GetLastError();
    EXPECT_EQ(wks->GetNumCols(), 4);
    wks->GoToRow(41);
    ASSERT_TRUE(Run("WKSANALY", 32833)) << qkfxGetScript().GetLastError();
    EXPECT_EQ(wks->GetActiveRow(), 0);
    ASSERT_TRUE(qkfxGetScript().Execute("wks.goto(1000)"));
    EXPECT_EQ(wks->GetActiveRow(), 999);
    EXPECT_FALSE(qkfxGetScript().Execute("wks.goto(0)"));
}

// Statistics on Columns and on Rows make a worksheet of results: a row for each selected
// column (or row), with mean, standard deviation, standard error, extremes and count,
// missing values left out.
TEST_F(BuiltCommands, StatisticsOnColumnsAndRows)
{
    struct Case {
        const char* what;
        UINT id;
        const char* select; // script selecting in the data worksheet ("" nothing)
        // Each results row: what it describes, then Mean SD SE Min Max N as text.
        std::vector<std::string> rows;
    } cases[] = {
        {"every column", 36434, "",
         {"A 2.5 1.2909944487358056 0.6454972243679028 1 4 4", "B 26.666666666666668 15.275252316519467 8.819171036881968 10 40 3",
          "C -- -- -- -- -- 0"}},
        {"the second column", 36434, "wks.c1 = 2; wks.c2 = 2; wks.r1 = 0; wks.r2 = 0",
         {"B 26.666666666666668 15.275252316519467 8.819171036881968 10 40 3"}},
        {"every row", 36435, "",
         {"1 5.5 6.363961030678928 4.5 1 10 2", "2 2 -- -- 2 2 1", "3 16.5 19.091883092036785 13.5 3 30 2",
          "4 22 25.45584412271571 18 4 40 2"}},
        {"rows 2 to 3 of A and B", 36435, "wks.c1 = 1; wks.c2 = 2; wks.r1 = 2; wks.r2 = 3",
         {"2 2 -- -- 2 2 1", "3 16.5 19.091883092036785 13.5 3 30 2"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        qkfxGetProject().New();
        ASSERT_TRUE(qkfxGetScript().Execute(
            "win -t wks; wks.ncols = 3; for (i = 1; i <= 4; i += 1) { col(A)[i] = i; col(B)[i] = 10 * i; }"
            "col(B)[2] = --; col(C)[4] = --"))
            << qkfxGetScript().GetLastError();
        if (c.select[0])
            ASSERT_TRUE(qkfxGetScript().Execute(c.select)) << qkfxGetScript().GetLastError();
        ASSERT_TRUE(Run("WKS", c.id)) << qkfxGetScript().GetLastError();
        CQKWksPage* results = qkfxGetProject().GetActiveWks();
        ASSERT_EQ(results->GetName(), "Data2");
        ASSERT_EQ(results->GetNumCols(), 7);
        std::string names;
        for (int n = 1; n <= 7; ++n)
            names += (n > 1 ? " " : "") + results->GetColumn(n)->m_columnName;
        EXPECT_EQ(names, "Column Mean SD SE Min Max N");
        std::vector<std::string> rows;
        for (int r = 0; r < results->GetColumn(1)->GetEnd(); ++r) {
            std::string row;
            for (int n = 1; n <= 7; ++n)
                row += (n > 1 ? " " : "") + results->GetColumn(n)->GetText(r);
            rows.push_back(row);
        }
        EXPECT_EQ(rows, c.rows);
    }
    // An empty worksheet has no rows to describe: the command is refused (its item grey).
    qkfxGetProject().New();
    ASSERT_TRUE(qkfxGetScript().Execute("win -t wks")) << qkfxGetScript().GetLastError();
    EXPECT_FALSE(Run("WKS", 36435));
    EXPECT_EQ(qkfxGetProject().GetNumPages(), 1);
    // Selected columns without rows: the section says so in the Results Log, makes nothing.
    ASSERT_TRUE(qkfxGetScript().Execute("wks.ncols = 3; col(C)[1] = 1; wks.c1 = 1; wks.c2 = 2; wks.r1 = 0; wks.r2 = 0"));
    qkfxGetCallLog().Clear();
    EXPECT_TRUE(Run("WKS", 36435));
    EXPECT_EQ(qkfxGetProject().GetNumPages(), 1);
    EXPECT_NE(qkfxGetCallLog().ToString().find("no rows to describe"), std::string::npos) << qkfxGetCallLog().ToString();
}

// Save Notes As of a notes window runs File,NotesSaveAs with the notes' name and file: the
// Save As box proposes the file (or the name as a text file), the text is written as it
// is, and the notes keep the file for the next time; cancelling writes nothing.
TEST_F(BuiltCommands, SaveNotesAsWritesTheTextToTheFileNamed)
{
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    const std::string file = std::string(dir) + "qx_notes_saved.txt";
    DeleteFileA(file.c_str());
    auto* notes = static_cast<CQKNotesPage*>(qkfxGetProject().CreatePage(QK_PAGE_NOTES, "Lab"));
    ASSERT_NE(notes, nullptr);
    notes->m_text = "first line\r\n\tsecond line\r\n";
    struct Case {
        const char* what;
        std::string choice;    // the file the user names ("" cancels)
        const char* proposed;  // what the box proposed
        bool written;
    } cases[] = {
        {"cancelled", "", "Lab.txt", false},
        {"named", file, "Lab.txt", true},
        {"again: its own file proposed", file, nullptr, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        access.m_saveChoice = c.choice;
        std::string proposal = notes->GetFullPathFileName().empty() ? "Lab" : notes->GetFullPathFileName();
        std::string text = "File,NotesSaveAs,\"Lab\" \"" + proposal + "\"";
        EXPECT_EQ(access.run_section_script(text.c_str(), nullptr), 0) << qkfxGetScript().GetLastError();
        EXPECT_EQ(access.m_titles.back(), "Save Notes As");
        EXPECT_EQ(access.m_proposals.back(), c.proposed ? std::string(c.proposed) : file);
        std::ifstream in(file, std::ios::binary);
        std::string saved((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(saved, c.written ? notes->m_text : std::string());
        EXPECT_EQ(notes->GetFullPathFileName(), c.written ? file : std::string());
    }
    DeleteFileA(file.c_str());
}

TEST_F(BuiltCommands, DuplicateCopiesWorksheetsAndMatricesOnly)
{
    ASSERT_TRUE(qkfxGetScript().Execute("win -t wks; col(A)[1] = 1; col(A)[2] = 2; col(B)[2] = 5; wks.col2.label$ = Speed"));
    CQKWksPage* source = qkfxGetProject().GetActiveWks();
    source->GetColumn(1)->SetText(3, "three");
    ASSERT_TRUE(Run("STANDARD", 33051)) << qkfxGetScript().GetLastError();
    CQKWksPage* copy = qkfxGetProject().GetActiveWks();
    ASSERT_NE(copy, source);
    EXPECT_EQ(copy->GetName(), "Data2");
    ASSERT_EQ(copy->GetNumCols(), source->GetNumCols());
    for (int c = 1; c <= source->GetNumCols(); ++c) {
        CQKDataset* a = source->GetColumn(c);
        CQKDataset* b = copy->GetColumn(c);
        EXPECT_EQ(b->m_columnName, a->m_columnName);
        EXPECT_EQ(b->m_label, a->m_label);
        ASSERT_EQ(b->GetEnd(), a->GetEnd()) << c;
        for (int r = 0; r < a->GetEnd(); ++r)
            EXPECT_EQ(b->GetText(r), a->GetText(r)) << c << "," << r;
    }
    // A copy is independent of its source.
    copy->GetColumn(1)->SetValue(0, 42);
    EXPECT_EQ(source->GetColumn(1)->GetValue(0), 1);

    ASSERT_TRUE(qkfxGetScript().Execute("win -t matrix; matrix -ps dim 2 3"));
    qkfxGetProject().GetActiveMatrix()->SetCell(2, 3, 7.5);
    ASSERT_TRUE(Run("STANDARD", 33051));
    CQKMatrixPage* matrix = qkfxGetProject().GetActiveMatrix();
    EXPECT_EQ(matrix->GetName(), "Matrix2");
    EXPECT_EQ(matrix->GetRows(), 2);
    EXPECT_EQ(matrix->GetCols(), 3);
    EXPECT_EQ(matrix->GetCell(2, 3), 7.5);

    // A graph is not duplicated: the kernel refuses the command, so its item is grey.
    ASSERT_TRUE(qkfxGetScript().Execute("win -t plot"));
    int pages = qkfxGetProject().GetNumPages();
    EXPECT_FALSE(Run("STANDARD", 33051));
    EXPECT_EQ(qkfxGetProject().GetNumPages(), pages);
}

// The plot menus run the sections of Plot.qgs and Plot3D.qgs in the program folder: each
// makes a new graph of its kind from the active worksheet, or from the active matrix for
// the kinds that plot one.
TEST_F(BuiltCommands, PlotMenusMakeAGraphOfTheirKind)
{
    ASSERT_TRUE(qkfxGetScript().Execute(
        "win -t wks; wks.ncols = 3; for (i = 1; i <= 5; i += 1) { col(A)[i] = i; col(B)[i] = i * i; col(C)[i] = 10 - i; }"
        "wks.col1.type = 4; wks.col3.type = 6"))
        << qkfxGetScript().GetLastError();
    CQKWksPage* wks = qkfxGetProject().GetActiveWks();
    ASSERT_TRUE(qkfxGetScript().Execute("win -t matrix; matrix -ps dim 4 4"));
    CQKMatrixPage* matrix = qkfxGetProject().GetActiveMatrix();
    for (int r = 1; r <= 4; ++r)
        for (int c = 1; c <= 4; ++c)
            matrix->SetCell(r, c, r * c);
    struct Case {
        const char* group;
        UINT id;
        bool fromMatrix;
        int type;
    } cases[] = {
        {"Plot", 33249, false, QK_PLOT_LINE},
        {"Plot", 33248, false, QK_PLOT_SCATTER},
        {"Plot", 33255, false, QK_PLOT_COLUMN},
        {"Plot", 33259, false, QK_PLOT_AREA},
        {"PlotProf", 33330, false, QK_PLOT_VERT_DROP_LINE},
        {"PlotProf", 33314, false, QK_PLOT_LINE},
        {"Plot", 33260, false, QK_PLOT_LINE_SYMBOL},
        {"Plot", 33285, false, QK_PLOT_PIE},
        {nullptr, 35568, false, QK_PLOT_3D_SCATTER},
        {nullptr, 35581, true, QK_PLOT_CONTOUR},
        {nullptr, 35574, true, QK_PLOT_3D_SURFACE},
        {nullptr, 35579, true, QK_PLOT_3D_WIRE_FRAME},
    };
    for (const Case& c : cases) {
        qkfxGetProject().SetActivePage(c.fromMatrix ? (CQKPage*)matrix : wks);
        int pages = qkfxGetProject().GetNumPages();
        ASSERT_TRUE(Run(c.group, c.id)) << c.id << ": " << qkfxGetScript().GetLastError();
        ASSERT_EQ(qkfxGetProject().GetNumPages(), pages + 1) << c.id;
        CQKGraphPage* graph = qkfxGetProject().GetActiveGraph();
        ASSERT_NE(graph, nullptr) << c.id;
        CQKGraphicLayer* layer = graph->GetActiveLayer();
        ASSERT_GT(layer->GetNumPlots(), 0) << c.id;
        EXPECT_EQ(layer->PlotObjByIndex(0, 1)->GetPlotObjectType(0), c.type) << c.id;
    }
    // A kind the kernel cannot make is refused, so its item is grey.
    qkfxGetProject().SetActivePage(wks);
    EXPECT_FALSE(Run("Plot", 33281));
}

// The plot template commands run their sections of Plot.qgs and PlotProf.qgs: each makes a
// graph of its layers from the active worksheet (the charts a worksheet of values too);
// Template, cancelled in its Open box (no main window here), plots nothing.
TEST_F(BuiltCommands, PlotTemplateMenusMakeTheirGraphs)
{
    ASSERT_TRUE(qkfxGetScript().Execute(
        "win -t wks; wks.ncols = 4; for (i = 1; i <= 10; i += 1) { col(A)[i] = i; col(B)[i] = i * i; col(C)[i] = 10 - i; "
        "col(D)[i] = mod(i, 3); } wks.col1.type = 4"))
        << qkfxGetScript().GetLastError();
    CQKWksPage* wks = qkfxGetProject().GetActiveWks();
    struct Case {
        const char* group;
        UINT id;
        int layers, worksheets;
    } cases[] = {
        {"Plot", 33288, 2, 0},     {"PlotProf", 33321, 2, 0}, {"PlotProf", 33322, 2, 0}, {"PlotProf", 33323, 4, 0},
        {"PlotProf", 33324, 9, 0}, {"PlotProf", 33313, 3, 0}, {"Plot", 33289, 1, 0},     {"Plot", 33290, 1, 1},
        {"Plot", 33293, 2, 0},     {"Plot", 33262, 1, 0},     {"Plot", 33263, 1, 1},     {"Plot", 33265, 1, 0},
        {"Plot", 33286, 1, 0},     {"Plot", 33292, 2, 1},     {"Plot", 33295, 2, 1},     {"Plot", 33296, 3, 1},
        {"Plot", 33297, 1, 1},
    };
    for (const Case& c : cases) {
        qkfxGetProject().SetActivePage(wks);
        const int pages = qkfxGetProject().GetNumPages();
        ASSERT_TRUE(Run(c.group, c.id)) << c.id << ": " << qkfxGetScript().GetLastError();
        ASSERT_EQ(qkfxGetProject().GetNumPages(), pages + 1 + c.worksheets) << c.id;
        CQKGraphPage* graph = qkfxGetProject().GetActiveGraph();
        ASSERT_NE(graph, nullptr) << c.id;
        EXPECT_EQ(graph->GetNumLayers(), c.layers) << c.id;
        EXPECT_GT(graph->GetLayerByIndex(0, 1)->GetNumPlots(), 0) << c.id;
    }
    qkfxGetProject().SetActivePage(wks);
    const int pages = qkfxGetProject().GetNumPages();
    Run("Plot", 33287);
    EXPECT_EQ(qkfxGetProject().GetNumPages(), pages);
}

// Plot Details works on the active layer's first plot; the layer commands add linked
// layers; the axis commands make the titles.
TEST_F(BuiltCommands, GraphCommandsWorkOnTheActiveLayer)
{
    ASSERT_TRUE(qkfxGetScript().Execute("win -t wks; col(A)[1] = 1; col(B)[1] = 2; col(A)[2] = 3; col(B)[2] = 1"));
    ASSERT_TRUE(Run("Plot", 33249)) << qkfxGetScript().GetLastError();
    CQKGraphPage* graph = qkfxGetProject().GetActiveGraph();
    ASSERT_NE(graph, nullptr);
    ASSERT_TRUE(Run(nullptr, 36084)) << qkfxGetScript().GetLastError();
    EXPECT_GE(qkfxGetCallLog().Find("CQKGraphPage::PlotDetailsDialog"), 0) << qkfxGetCallLog().ToString();
    ASSERT_TRUE(Run(nullptr, 36088)) << qkfxGetScript().GetLastError();
    EXPECT_EQ(graph->GetNumLayers(), 2);
    ASSERT_TRUE(Run(nullptr, 36097)) << qkfxGetScript().GetLastError();
    EXPECT_NE(graph->GetActiveLayer()->FindTextObj("XB"), nullptr);
    // Without a plot in the active layer Plot Details says why.
    EXPECT_FALSE(Run(nullptr, 36084));
}

// The layer and page commands through the program's own strings and script files: a
// second graph merged into the first, its plot extracted back into a layer and a graph,
// the active layer maximised.
TEST_F(BuiltCommands, LayerAndPageCommandsRunTheirSections)
{
    ASSERT_TRUE(qkfxGetScript().Execute("win -t wks; col(A)[1] = 1; col(B)[1] = 2; col(A)[2] = 3; col(B)[2] = 1"));
    CQKWksPage* wks = qkfxGetProject().GetActiveWks();
    ASSERT_TRUE(Run("Plot", 33249)) << qkfxGetScript().GetLastError();
    CQKGraphPage* first = qkfxGetProject().GetActiveGraph();
    EXPECT_FALSE(Run(nullptr, 36126)) << "one graph merges with nothing";
    qkfxGetProject().SetActivePage(wks);
    ASSERT_TRUE(Run("Plot", 33248)) << qkfxGetScript().GetLastError();
    qkfxGetProject().SetActivePage(first);
    ASSERT_TRUE(Run(nullptr, 36126)) << qkfxGetScript().GetLastError();
    EXPECT_EQ(PageNames(), (std::vector<std::string>{wks->GetName(), first->GetName()}));
    ASSERT_EQ(first->GetNumLayers(), 2);
    ASSERT_TRUE(Run("STANDARD", 33043)) << qkfxGetScript().GetLastError();
    EXPECT_EQ(first->GetNumLayers(), 1);
    EXPECT_EQ(qkfxGetProject().GetNumPages(), 3);
    // Add Scatter puts the worksheet's columns into the active layer: two plots to extract.
    qkfxGetProject().SetActivePage(first);
    ASSERT_TRUE(Run(nullptr, 36116)) << qkfxGetScript().GetLastError();
    ASSERT_EQ(first->GetActiveLayer()->GetNumPlots(), 2);
    ASSERT_TRUE(Run("STANDARD", 33042)) << qkfxGetScript().GetLastError();
    EXPECT_EQ(first->GetNumLayers(), 2);
    ASSERT_TRUE(Run(nullptr, 36127)) << qkfxGetScript().GetLastError();
    EXPECT_EQ(first->GetActiveLayer()->GetRestorePlace().size(), 5u);
}

TEST_F(BuiltCommands, RefreshRedrawsTheWindows)
{
    ASSERT_TRUE(Run("STANDARD", 33052));
    EXPECT_GE(qkfxGetCallLog().Find("doc -uw"), 0);
}

TEST_F(BuiltCommands, OpenReadsEachKindOfFileAndSaysWhatItCannot)
{
    std::string folder = TestFolder("quorix61_open");
    std::ofstream(folder + "\\lines.qgs") << "type one\ntype two\n";
    ASSERT_TRUE(qkfxGetScript().Execute("win -t wks; col(A)[1] = 3; win -t plot"));
    ASSERT_TRUE(qkfxGetScript().Execute(("save -w Data1 \"" + folder + "\\Data1.qgw\"; save -t Graph1 \"" + folder +
                                         "\\Plot.qtp\"; save \"" + folder + "\\p.qpj\"")
                                            .c_str()))
        << qkfxGetScript().GetLastError();
    qkfxGetProject().New();
    struct Case {
        std::string file;
        std::vector<std::string> pages; // afterwards
        const char* message;            // part of the message, or null for none
    } cases[] = {
        {"", {}, nullptr},                                 // cancelled
        {folder + "\\p.qpj", {"Data1", "Graph1"}, nullptr},
        {folder + "\\Data1.qgw", {"Data1", "Graph1", "Data2"}, nullptr},
        {folder + "\\Plot.qtp", {"Data1", "Graph1", "Data2", "Graph2"}, nullptr},
        {folder + "\\lines.qgs", {"Data1", "Graph1", "Data2", "Graph2"}, nullptr}, // into the script window
        {folder + "\\x.doc", {"Data1", "Graph1", "Data2", "Graph2"}, "is not a file this program can open"},
    };
    for (const Case& c : cases) {
        access.m_choice = c.file;
        access.m_messages.clear();
        EXPECT_TRUE(Run("FILE", 33996)) << c.file << ": " << qkfxGetScript().GetLastError();
        EXPECT_EQ(PageNames(), c.pages) << c.file;
        if (c.message) {
            ASSERT_EQ(access.m_messages.size(), 1u) << c.file;
            EXPECT_NE(access.m_messages[0].find(c.message), std::string::npos) << access.m_messages[0];
        } else {
            EXPECT_TRUE(access.m_messages.empty()) << c.file;
        }
    }
    EXPECT_EQ(qkfxGetProject().FindDataset("Data2_A")->GetValue(0), 3);
    // A file that cannot be read stops the command with the reason.
    access.m_choice = folder + "\\gone.qpj";
    EXPECT_FALSE(Run("FILE", 33996));
    EXPECT_NE(qkfxGetScript().GetLastError().find("cannot open"), std::string::npos);
    // The dialog offered the program's own files.
    std::string filter = access.m_filters.front();
    for (const char* pattern : {"*.qpj", "*.qgw", "*.qtp", "*.qgs"})
        EXPECT_NE(filter.find(pattern), std::string::npos) << pattern;
    // The script opened in the script window.
    CQKScriptWindow* window = access.GetScriptWindow();
    ASSERT_TRUE(window->IsShown());
    char text[256] = "";
    GetWindowTextA(window->GetEditHwnd(), text, sizeof text);
    EXPECT_STREQ(text, "type one\r\ntype two\r\n");
    window->Show(false);
}

// The File menu's commands: windows made with New are saved in a project, which closes
// and opens again as it was; windows and templates are saved and opened; Append joins a
// project to the open one.
TEST_F(BuiltCommands, WindowsMadeWithNewAreSavedAndOpenedAgain)
{
    std::string folder = TestFolder("quorix61_save");
    for (UINT id : {34006u, 34007u, 34008u, 34009u})
        ASSERT_TRUE(Run("FILE", id)) << id << ": " << qkfxGetScript().GetLastError();
    // Save Project of an untitled project asks for the name; cancelling saves nothing.
    EXPECT_TRUE(Run("FILE", 34048));
    EXPECT_EQ(access.m_titles, std::vector<std::string>{"Save Project As"});
    EXPECT_TRUE(qkfxGetProject().IsModified());
    access.m_saveChoice = folder + "\\work.qpj";
    ASSERT_TRUE(Run("FILE", 34048)) << qkfxGetScript().GetLastError();
    EXPECT_FALSE(qkfxGetProject().IsModified());
    std::string before = qkfxDumpProject();
    // Save Project now writes to its file without asking; Save As asks again.
    access.m_saveChoice.clear();
    ASSERT_TRUE(Run("FILE", 34048));
    EXPECT_EQ(access.m_titles.size(), 2u);
    ASSERT_TRUE(Run("FILE", 34049));
    EXPECT_EQ(access.m_titles.size(), 3u);
    // Save Window and Save Template of the active window (the layout).
    access.m_saveChoice = folder + "\\page.qgl";
    ASSERT_TRUE(Run("FILE", 34012)) << qkfxGetScript().GetLastError();
    EXPECT_EQ(access.m_titles.back(), "Save Window As");
    ASSERT_TRUE(qkfxGetScript().Execute("win -a Matrix1"));
    access.m_saveChoice = folder + "\\grid.qtm";
    ASSERT_TRUE(Run("FILE", 34016)) << qkfxGetScript().GetLastError();
    EXPECT_NE(GetFileAttributesA((folder + "\\grid.qtm").c_str()), INVALID_FILE_ATTRIBUTES);

    ASSERT_TRUE(Run("FILE", 34017)); // Close: saved, so nothing is asked
    EXPECT_TRUE(PageNames().empty());
    EXPECT_TRUE(access.m_messages.empty());
    access.m_choice = folder + "\\work.qpj";
    ASSERT_TRUE(Run("FILE", 33996)) << qkfxGetScript().GetLastError();
    EXPECT_EQ(qkfxDumpProject(), before);
    EXPECT_EQ(PageNames(), (std::vector<std::string>{"Data1", "Graph1", "Matrix1", "Layout1"}));

    // Append adds the project's windows under new names; Open Window and the template.
    ASSERT_TRUE(Run("FILE", 33997)) << qkfxGetScript().GetLastError();
    access.m_choice = folder + "\\page.qgl";
    ASSERT_TRUE(Run("FILE", 33995)) << qkfxGetScript().GetLastError();
    access.m_choice = folder + "\\grid.qtm";
    ASSERT_TRUE(Run("FILE", 34015)) << qkfxGetScript().GetLastError();
    EXPECT_EQ(PageNames(), (std::vector<std::string>{"Data1", "Graph1", "Matrix1", "Layout1", "Data2", "Graph2",
                                                     "Matrix2", "Layout2", "Layout3", "Matrix3"}));
}

TEST_F(BuiltCommands, KaleidagraphImportReadsTheChosenFile)
{
    // The program registers the script it carries; here the test module carries it.
    qkfxAddScriptResource("QDAREAD.QGS", GetModuleHandleA(nullptr), 1);
    // The import fills the active worksheet: without one it does not run.
    EXPECT_FALSE(Run("FILE", 34036));
    ASSERT_TRUE(qkfxGetScript().Execute("win -t plot"));
    EXPECT_FALSE(Run("FILE", 34036));
    EXPECT_TRUE(access.m_filters.empty());
    char full[MAX_PATH];
    GetFullPathNameA("quorix61_testdata\\all_types_v8.qda", MAX_PATH, full, nullptr);
    ASSERT_NE(GetFileAttributesA(full), INVALID_FILE_ATTRIBUTES) << full;
    ASSERT_TRUE(qkfxGetScript().Execute("win -t wks"));
    access.m_choice = full;
    EXPECT_TRUE(Run("FILE", 34036)) << qkfxGetScript().GetLastError();
    ASSERT_EQ(access.m_filters.size(), 1u);
    EXPECT_NE(access.m_filters[0].find("*.qda"), std::string::npos);
    CQKWksPage* wks = qkfxGetProject().GetActiveWks();
    ASSERT_NE(wks, nullptr);
    EXPECT_GT(wks->GetColumn(1)->GetEnd(), 0);

    // Cancelling the dialog imports nothing.
    ASSERT_TRUE(qkfxGetScript().Execute("win -t wks"));
    access.m_choice.clear();
    EXPECT_TRUE(Run("FILE", 34036));
    EXPECT_EQ(qkfxGetProject().GetActiveWks()->GetColumn(1)->GetEnd(), 0);
}

// The conversions to a matrix from the worksheet's Edit menu, with the sizes their
// sections propose (without a main window nothing is asked); refused while no worksheet with
// values is active. The cells themselves are the kernel's tests'.
TEST_F(BuiltCommands, ConversionsToAMatrix)
{
    struct Case {
        UINT id;
        int rows, cols;
    } cases[] = {
        {32824, 4, 3},   // Direct: the worksheet's cells
        {32825, 3, 10},  // Expand: three columns of four values, a row of 10 each
        {32834, 10, 10}, // 2D Binning: 10 x 10 bins
        {32835, 2, 2},   // Regular XYZ: X 1, 2 and Y 10, 20
        {32836, 20, 20}, // Random XYZ: 20 x 20 nodes
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        qkfxGetProject().New();
        ASSERT_TRUE(qkfxGetScript().Execute("win -t wks; wks.ncols = 3; col(A)[1] = 1; col(A)[2] = 2; col(A)[3] = 1;"
                                            "col(A)[4] = 2; col(B)[1] = 10; col(B)[2] = 10; col(B)[3] = 20;"
                                            "col(B)[4] = 20; for (i = 1; i <= 4; i += 1) col(C)[i] = i"))
            << qkfxGetScript().GetLastError();
        ASSERT_TRUE(Run("WKSANALY", c.id)) << qkfxGetScript().GetLastError();
        CQKMatrixPage* m = qkfxGetProject().GetActiveMatrix();
        ASSERT_NE(m, nullptr);
        EXPECT_EQ(m->GetRows(), c.rows);
        EXPECT_EQ(m->GetCols(), c.cols);
        ASSERT_TRUE(Run("FILE", 34007));
        EXPECT_FALSE(Run("WKSANALY", c.id));
        ASSERT_TRUE(Run("FILE", 34006)); // an empty worksheet
        EXPECT_FALSE(Run("WKSANALY", c.id));
    }
}

// Import using last-used method runs the import command used last again; before any it is
// refused. Options for All Imports are the ASCII import's.
TEST_F(BuiltCommands, LastImportAndImportOptions)
{
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    const std::string a = std::string(dir) + "qx_cmd_last.csv";
    std::ofstream(a, std::ios::binary) << "1,2\r\n3,4\r\n";
    EXPECT_FALSE(Run("FILE", 34004));
    ASSERT_TRUE(Run("FILE", 34006));
    access.m_choice = a;
    access.OnCommandBegin(34019, 0); // Single Import: into a new worksheet
    ASSERT_TRUE(Run("FILE", 34019)) << qkfxGetScript().GetLastError();
    access.OnCommandEnd(34019, 0);
    EXPECT_EQ(PageNames(), (std::vector<std::string>{"Data1", "Data2"}));
    access.OnCommandBegin(34004, 0);
    ASSERT_TRUE(Run("FILE", 34004)) << qkfxGetScript().GetLastError();
    access.OnCommandEnd(34004, 0);
    EXPECT_EQ(PageNames(), (std::vector<std::string>{"Data1", "Data2", "Data3"}));
    EXPECT_EQ(qkfxGetProject().GetActiveWks()->GetColumn(2)->GetValue(1), 4);
    DeleteFileA(a.c_str());

    qkfxGetCallLog().Clear();
    ASSERT_TRUE(Run("FILE", 34001)) << qkfxGetScript().GetLastError();
    EXPECT_NE(qkfxGetCallLog().ToString().find("ASCII Import Options"), std::string::npos) << qkfxGetCallLog().ToString();
}
