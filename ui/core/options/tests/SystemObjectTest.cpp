// The members of the script object `system` as scripts reach them: values each row
// stores, refuses or maps, the methods, the listing and the defaults Init brings back.
#include "OptionsTestKit.h"

#include "QKSysMethod.h"
#include "qxtest/ReferenceExample.h"

namespace {

using SystemObjectTest = OptionsTest;

TEST_F(SystemObjectTest, PropertiesStoreWhatTheirRulesAllow)
{
    struct Case {
        const char* member;
        double set;
        double stored;
    } cases[] = {
        {"excel.dlgplot", 1, 1},        {"excel.dlgplot", 5, 0},
        {"excel.plotmulti", 2, 2},      {"excel.plotmulti", 3, 0},
        {"excel.legendtxtsel", 1, 1},   {"excel.legendtxtsel", -1, 0},
        {"excel.saveasexcel", 7, 7},    {"excel.closeafterplot", -3, -3},
        {"excel.openasexcel", 9, 1},    {"excel.openasprompt", 0, 0},
        {"operations.usespacer", 4, 1}, {"operations.inplace", 0, 0},
        {"dialog.activepagenum", 17, 17}, {"dialog.closeprompt", 5, 1},
        {"dialog.saveonclose", 1, 1},   {"results.autoopen", 3, 1},
        {"results.tabsize", -1, -1},    {"results.tabsize", 12, 12},
        {"results.viewmode", 3, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.member);
        ASSERT_TRUE(Run(std::string("system.") + c.member + " = " + std::to_string(c.set))) << err;
        EXPECT_EQ(c.stored, Number(std::string("system.") + c.member));
    }

    // Refused values stop the script and leave the value as it was.
    struct Refused {
        const char* member;
        double set;
        double kept;
    } refused[] = {
        {"results.tabsize", 0, 12},
        {"results.tabsize", -2, 12},
        {"results.viewmode", 4, 3},
        {"results.viewmode", 0, 3},
        {"excel.dragdropplot", 4, 0},
        {"toolbar.names", 1, 0},
    };
    ASSERT_TRUE(Run("system.excel.dragdropplot = 0")) << err;
    for (const Refused& r : refused) {
        SCOPED_TRACE(r.member);
        EXPECT_FALSE(Run(std::string("system.") + r.member + " = " + std::to_string(r.set)));
        EXPECT_NE(std::string::npos, err.find("failed")) << err;
        if (std::string(r.member) != "toolbar.names")
            EXPECT_EQ(r.kept, Number(std::string("system.") + r.member));
    }
}

TEST_F(SystemObjectTest, TheReferenceExampleRunsAsItsPageShowsAndKeepsItsSettings)
{
    EXPECT_EQ("", qxtest::CheckReferenceExample(QX_REFERENCE_DIR, "system", "system.md"));
    ASSERT_TRUE(Run("system.results.viewmode = 2; system.loadstartup()")) << err;
    EXPECT_EQ(1, Number("system.results.viewmode")) << "the saved start-up settings come back";
}

TEST_F(SystemObjectTest, ViewModeSelectsTheResultsLogViewCode)
{
    const int codes[] = {4, 2, 3};
    for (int mode = 1; mode <= 3; ++mode) {
        ASSERT_TRUE(Run("system.results.viewmode = " + std::to_string(mode))) << err;
        EXPECT_EQ(codes[mode - 1], system->GetRefResults().GetViewCode()) << mode;
    }
}

TEST_F(SystemObjectTest, DragDropPlotMapsToThePlotCommands)
{
    const int ids[] = {33249, 33248, 33250, 33280};
    for (int v = 0; v < 4; ++v) {
        ASSERT_TRUE(Run("system.excel.dragdropplot = " + std::to_string(v))) << err;
        EXPECT_EQ(ids[v], qkuSetGetDefaultPlotType(-1));
        EXPECT_EQ(v, Number("system.excel.dragdropplot"));
    }
    // Any other plot type the kernel holds reads as "Current".
    system->GetRefGraph().SetDefaultPlotType(33300);
    EXPECT_EQ(3, Number("system.excel.dragdropplot"));
}

TEST_F(SystemObjectTest, MethodsWithoutAMainWindowDoNothingAndSayNo)
{
    // Toolbars live in the main frame: without one every toolbar method answers 1.
    for (const char* call : {"system.toolbar.create(Standard, Mine)", "system.toolbar.exists(Mine)",
                             "system.toolbar.isopen(Mine)", "system.toolbar.open(Mine)",
                             "system.toolbar.close(Mine)", "system.toolbar.delete(Mine)",
                             "system.toolbar.createcategory(\"user.ini\", Mine)"}) {
        SCOPED_TRACE(call);
        EXPECT_EQ(1, Number(call));
    }
    EXPECT_FALSE(Run("%A = system.toolbar.names$"));

    // The Excel save dialog is shown only when asked for and a workbook is open.
    ASSERT_TRUE(Run("system.excel.saveasexcel = 0")) << err;
    EXPECT_EQ(1, Number("system.excel()"));
    ASSERT_TRUE(Run("system.excel.saveasexcel = 1")) << err;
    EXPECT_EQ(1, Number("system.excel()"));

    // Members without a method of their own answer 0.
    EXPECT_EQ(0, Number("system.operations()"));
    EXPECT_FALSE(Run("x = system.nomember()"));
}

TEST_F(SystemObjectTest, ListingNamesEveryMember)
{
    ASSERT_TRUE(Run("system.=")) << err;
    for (const char* name : {"DIALOG()", "DIALOG.ACTIVEPAGENUM", "EXCEL.DRAGDROPPLOT", "OPERATIONS.INPLACE",
                             "RESULTS.VIEWMODE", "TOOLBAR()", "TOOLBAR.CREATECATEGORY()", "TOOLBAR.NAMES$",
                             "SAVESTARTUP()"})
        EXPECT_NE(std::string::npos, out.find(std::string(name) + "\n")) << name << " in\n" << out;
    // Own members come before the kernel's.
    EXPECT_LT(out.find("TOOLBAR()"), out.find("SAVESTARTUP()"));
}

TEST_F(SystemObjectTest, InitBringsBackTheDefaults)
{
    ASSERT_TRUE(Run("system.results.tabsize = 8; system.results.viewmode = 1; system.results.autoopen = 0;"
                    "system.dialog.closeprompt = 0;"
                    "system.excel.plotmulti = 2; system.operations.usespacer = 0"))
        << err;
    system->GetRefNumeric().SetNumDecDigits(11);
    system->Init();
    EXPECT_EQ(-1, Number("system.results.tabsize"));
    EXPECT_EQ(2, Number("system.results.viewmode"));
    EXPECT_EQ(1, Number("system.results.autoopen"));
    EXPECT_EQ(1, Number("system.dialog.closeprompt"));
    EXPECT_EQ(0, Number("system.excel.plotmulti"));
    EXPECT_EQ(1, Number("system.operations.usespacer"));
    EXPECT_EQ(QKSysMethodNumeric().GetNumDecDigits(), system->GetRefNumeric().GetNumDecDigits());
}

TEST_F(SystemObjectTest, StartupOptionsKeepTheMembers)
{
    ASSERT_TRUE(Run("system.excel.plotmulti = 2; system.results.tabsize = 6; system.dialog.activepagenum = 4;"
                    "system.savestartup()"))
        << err;
    access->Uninit();
    system = dynamic_cast<CQUQrxSystem*>(&qkfxGetQrxSystem());
    ASSERT_NE(nullptr, system);
    EXPECT_EQ(2, Number("system.excel.plotmulti"));
    EXPECT_EQ(6, Number("system.results.tabsize"));
    EXPECT_EQ(4, Number("system.dialog.activepagenum"));
}

} // namespace
