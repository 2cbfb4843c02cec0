#include "KernelTest.h"

#include "QKAccess.h"
#include "QKSysMethod.h"

using AccessTest = KernelTest;

TEST_F(AccessTest, CommandStringsRunTheirScriptPart)
{
    TempFile lib("qxk_commands.qgs",
                 "[ZoomIn]\ntype zoom in\n"
                 "[OneToSix]\ntype direction %1\n"
                 "[NotesSaveAs]\ntype save %1\n"
                 "[Broken]\nnosuchcommand\n");
    std::string group = lib.path.substr(0, lib.path.size() - 4); // the group names the file
    CQKAccess* access = qkfxGetAccess();
    struct { const char* group; std::string command; int result; const char* expected; } cases[] = {
        {"FILE", "Do it\nDo\ntype direct;type second", 0, "direct\nsecond\n"},
        {group.c_str(), "Zoom\nZoom In\n@ZoomIn", 0, "zoom in\n"},
        {"GRAPH", "Zoom\nZoom In\n@ZoomIn," + lib.path, 0, "zoom in\n"},
        {"GRAPH", "Rotate\nRotate\n@2," + lib.path + ",OneToSix", 0, "direction 2\n"},
        {"WKS", "Transpose the worksheet\nTranspose", 0, ""},
        {"WKS", "Bad\nBad\nnosuchcommand", 1, ""},
        {"WKS", "Bad\nBad\n@Broken," + lib.path, 1, ""},
        {nullptr, "Zoom\nZoom In\n@ZoomIn", 1, ""},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.command);
        out.clear();
        EXPECT_EQ(access->run_resurce_string_ex(c.group, c.command.c_str(), nullptr), c.result) << err;
        EXPECT_EQ(out, c.expected);
    }
    EXPECT_NE(qkfxGetCallLog().Find("run_resurce_string_ex: no script"), -1);

    out.clear();
    double result = -1;
    std::string call = lib.path + ",NotesSaveAs,\"Notes1\" \"C:\\notes.txt\"";
    EXPECT_EQ(access->run_section_script(call.c_str(), &result), 0) << err;
    EXPECT_EQ(out, "save \"Notes1\" \"C:\\notes.txt\"\n") << "the argument text stays one argument";
    EXPECT_EQ(result, 0);
    EXPECT_NE(access->run_section_script("no comma here", &result), 0);
    EXPECT_EQ(access->execute_script("x = 3", 0), 0);
    EXPECT_EQ(access->execute_script("x = ", 0), 1);
}

TEST_F(AccessTest, TheBridgeMadeByTheUserInterfaceIsTheAccessObject)
{
    struct Bridge : CQKAccess {
        int execute_script(const char* text, int flags) override { return 7; }
    };
    CQKAccess* plain = qkfxGetAccess();
    {
        Bridge bridge;
        EXPECT_EQ(qkfxGetAccess(), &bridge);
        EXPECT_EQ(qkfxGetAccess()->execute_script("x=1", 0), 7);
    }
    EXPECT_EQ(qkfxGetAccess(), plain);
}

TEST_F(AccessTest, ApplicationMembersAnswerOrRecordWhatNeedsTheUserInterface)
{
    CQKAccess* access = qkfxGetAccess();
    EXPECT_NE(access->Init(nullptr, "\"C:\\data\\run 1.qpj\" /h"), 0);
    EXPECT_EQ(access->OnAfterMainFrameCreate(nullptr, 1, 1), SW_HIDE);
    EXPECT_EQ(access->OnAfterMainFrameCreate(nullptr, 1, 0), SW_SHOWNORMAL);
    EXPECT_EQ(access->on_before_run_command("FILE", 34012), 1);
    EXPECT_EQ(access->QKOnIdle(0), 0);
    EXPECT_EQ(access->GetPageManager(), &qkfxGetProject());
    EXPECT_EQ(access->GetQrxSystem(), &qkfxGetQrxSystem());
    EXPECT_TRUE(access->IsProjectFileName("C:\\a\\b.QPJ"));
    EXPECT_FALSE(access->IsProjectFileName("b.qgs"));
    EXPECT_EQ(qkfxExecuteCommandLine(nullptr), 1) << "a file that does not open does not end the start";
    EXPECT_EQ(qkfxGetCallLog().GetAt(qkfxGetCallLog().Find("CQKAccess::OpenProjectFile")).args, "C:\\data\\run 1.qpj");
    EXPECT_NE(err.find("reading project files is not available"), std::string::npos);
    EXPECT_NE(access->run_user_menu_script(33360, nullptr), 0);

    access->OnlineHelp(501);
    access->OnQrxWebSite(3);
    access->OnSendProjectTo();
    access->GetScriptWindow()->OnMainFrameOpen(nullptr);
    access->Uninit();
    for (const char* op : {"CQKAccess::OnlineHelp", "CQKAccess::OnQrxWebSite", "CQKAccess::OnSendProjectTo",
                           "CQKScriptWindow::OnMainFrameOpen", "CQKAccess::Uninit"})
        EXPECT_NE(qkfxGetCallLog().Find(op), -1) << op;

    CQKQrxSystem& system = qkfxGetQrxSystem();
    EXPECT_EQ(system.GetNumMenuLevels(), 1);
    EXPECT_FALSE(system.ChangeMenuLevel(1));
    EXPECT_TRUE(system.ChangeMenuLevel(0));
    bool shown = system.IsScriptWindowShown();
    system.ToggleScriptWindow();
    EXPECT_NE(system.IsScriptWindowShown(), shown);
    system.ToggleScriptWindow();
    system.AboutDialog();
    EXPECT_NE(qkfxGetCallLog().Find("CQKQrxSystem::AboutDialog"), -1);

    std::string ext;
    EXPECT_TRUE(qkfxGetQrxTemplateFileExtension(QK_PAGE_GRAPH, ext));
    EXPECT_EQ(ext, ".qtp");
    EXPECT_FALSE(qkfxGetQrxTemplateFileExtension(QK_PAGE_NOTES, ext));
    qkfxSetQuickVariable(201, 4);
    EXPECT_EQ(qkfxGetQuickVariable(201), 4);
    qkfxSetVariableValue("ROTANGLE3D", 10);
    EXPECT_EQ(Var("rotangle3d"), 10);
    char ini[MAX_PATH];
    qkfxSetGlobalINIPath("C:\\settings");
    qkfxGetGlobalINIPath(ini);
    EXPECT_STREQ(ini, "C:\\settings");
    EXPECT_EQ(qkfxGetINIFileFullPathName(), "C:\\settings\\quorix61.ini");
    qkfxSetGlobalINIPath("");
    EXPECT_TRUE(qkfxIsIniPathEQProgPath());
}
