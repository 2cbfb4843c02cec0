// The template language and the project's configurations.
#include <gtest/gtest.h>

#include "WizardHost.h"

namespace {

struct ExpandCase {
    const char* name;
    const char* text;
    const char* expected; // null: expansion must fail
    const char* errorPart;
};

TEST(TemplateEngine, ExpandsConditionsLoopsAndKeys)
{
    CMapStringToString dict;
    dict["root"] = "Demo";
    dict["A"] = "1";
    dict["NAME"] = "Main";
    dict["N"] = "3";
    dict["ITEM_0"] = "x";
    dict["ITEM_1"] = "y";
    dict["ITEM_2"] = "z";
    dict["FLAG_1"] = "1";
    dict["ZERO"] = "0";
    dict["BAD"] = "2a";

    const ExpandCase cases[] = {
        {"plain text and keys", "$$root$$.rc\n$$NAME$$ and $$A$$\n", "Demo.rc\r\nMain and 1\r\n", ""},
        {"comments dropped, LF and CRLF alike", "$$// note\r\na\r\nb", "a\r\nb\r\n", ""},
        {"dollars enclosing no key stay text", "$(x) $ $$ $$a b$$ $$\n", "$(x) $ $$ $$a b$$ $$\r\n", ""},
        {"first present branch wins", "$$IF(MISSING)\n1\n$$ELIF(A)\n2\n$$ELIF(NAME)\n3\n$$ENDIF\n", "2\r\n", ""},
        {"no branch present", "$$IF(MISSING)\n1\n$$ELIF(OTHER)\n2\n$$ENDIF\nend\n", "end\r\n", ""},
        {"any of several keys", "$$IF(MISSING || A)\nyes\n$$ENDIF\n", "yes\r\n", ""},
        {"nested conditions", "$$IF(A)\n$$IF(MISSING)\nno\n$$ELIF(NAME)\nin\n$$ENDIF\n$$ENDIF\n", "in\r\n", ""},
        {"inactive branch may name unknown keys", "$$IF(MISSING)\n$$UNKNOWN$$\n$$ENDIF\n", "", ""},
        {"loop numbers keys, shared keys fall back",
         "$$BEGINLOOP(N)\n$$NAME$$.$$ITEM$$\n$$IF(FLAG)\nflag\n$$ENDIF\n$$ENDLOOP\n",
         "Main.x\r\nMain.y\r\nflag\r\nMain.z\r\n", ""},
        {"zero passes", "a\n$$BEGINLOOP(ZERO)\n$$ITEM$$\n$$ENDLOOP\nb\n", "a\r\nb\r\n", ""},
        {"loop in an inactive branch is skipped", "$$IF(MISSING)\n$$BEGINLOOP(BAD)\nq\n$$ENDLOOP\n$$ENDIF\n", "", ""},
        {"unknown key", "x $$NOPE$$\n", nullptr, "line 1: the key NOPE"},
        {"unclosed if", "a\n$$IF(A)\nb\n", nullptr, "line 2: $$IF without $$ENDIF"},
        {"stray endif", "$$ENDIF\n", nullptr, "$$ENDIF without $$IF"},
        {"stray elif", "$$ELIF(A)\n", nullptr, "$$ELIF without $$IF"},
        {"if without parentheses", "$$IF A\n$$ENDIF\n", nullptr, "$$IF needs a key"},
        {"count not a number", "$$BEGINLOOP(BAD)\n$$ENDLOOP\n", nullptr, "not a decimal number"},
        {"count missing", "$$BEGINLOOP(NOCOUNT)\n$$ENDLOOP\n", nullptr, "NOCOUNT is not in the dictionary"},
        {"unclosed loop", "$$BEGINLOOP(N)\nx\n", nullptr, "$$BEGINLOOP without $$ENDLOOP"},
        {"nested loops", "$$BEGINLOOP(N)\n$$BEGINLOOP(N)\n$$ENDLOOP\n$$ENDLOOP\n", nullptr, "loops do not nest"},
        {"if left open inside a loop", "$$BEGINLOOP(N)\n$$IF(A)\n$$ENDLOOP\n", nullptr, "$$IF without $$ENDIF"},
    };
    for (const ExpandCase& c : cases) {
        SCOPED_TRACE(c.name);
        CString result, error;
        BOOL ok = ExpandTemplate(c.text, dict, result, error);
        if (c.expected) {
            EXPECT_TRUE(ok) << (LPCTSTR)error;
            EXPECT_STREQ(c.expected, (LPCTSTR)result);
        } else {
            EXPECT_FALSE(ok) << (LPCTSTR)result;
            EXPECT_NE(std::string((LPCTSTR)error).find(c.errorPart), std::string::npos) << (LPCTSTR)error;
        }
    }
}

TEST(BuildProject, ToolSettingsGoOnlyToToolsTheConfigurationUses)
{
    CBuildProject project;
    project.Reset("Demo", "C:\\x");
    CStringArray tools;
    tools.Add("rc.exe");
    tools.Add("link.exe");
    project.AddConfiguration("Release", tools);
    ASSERT_EQ(1, project.GetConfigurationCount());
    EXPECT_EQ(nullptr, project.GetConfiguration(0));
    EXPECT_EQ(nullptr, project.GetConfiguration(2));
    CBuildConfiguration* config = project.GetConfiguration(1);
    ASSERT_NE(nullptr, config);

    EXPECT_EQ(S_OK, config->AddToolSettings("LINK.EXE", "/NOENTRY"));
    EXPECT_EQ(S_OK, config->AddToolSettings("link.exe", " /DLL "));
    EXPECT_EQ(E_INVALIDARG, config->AddToolSettings("cl.exe", "/O2"));
    EXPECT_EQ(E_INVALIDARG, config->AddToolSettings("rc.exe", "  "));
    EXPECT_STREQ("/NOENTRY /DLL", (LPCTSTR)config->GetToolSettings("link.exe"));
    EXPECT_STREQ("", (LPCTSTR)config->GetToolSettings("rc.exe"));
    EXPECT_STREQ("", (LPCTSTR)config->GetToolSettings("cl.exe"));
}

} // namespace
