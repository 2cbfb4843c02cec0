// Section "QFIT Control" of qfit.ini: reading with comments, keywords in any case and
// unknown keys, script-variable overrides, and writing back on the module's close message.
#include <gtest/gtest.h>

#include <stdio.h>

#include <string>

#include "FitTestKit.h"
#include <qxtest/FileText.h>

namespace {

void WriteFile(const std::string& path, const std::string& text)
{
    FILE* f = fopen(path.c_str(), "wb");
    fwrite(text.data(), 1, text.size(), f);
    fclose(f);
}

const char kIni[] =
    "[QFIT Control]\r\n"
    "tolerance=1e-4 ; looser than the default\r\n"
    "FITNPTS=33\r\n"
    "Keep Parameters=yes\r\n"
    "Curve Point Spacing=uniform\r\n"
    "Generate Residue After Fitting=perhaps\r\n"
    "Function Group=My Peaks   \r\n"
    "SomethingElse=5\r\n"
    "ErrorsWithChiSq=1\r\n";

class SettingsTest : public FitTest {
protected:
    std::string Ini() { return host.settingsDir + "\\qfit.ini"; }
};

}  // namespace

TEST_F(SettingsTest, ReadsTheSection)
{
    WriteFile(Ini(), kIni);
    Get("NPARA");
    FittingSession* s = Session();
    EXPECT_EQ(1e-4, Get("TOLERANCE"));
    EXPECT_EQ(33, Get("XPOINTS"));
    EXPECT_EQ(0.005, Get("DERIVSTEP")) << "a missing key takes its default";
    EXPECT_EQ(5e-30, Get("MINDERIVSTEP"));
    EXPECT_EQ(KW_YES, s->optKeepParams);
    EXPECT_EQ(KW_SPACING_UNIFORM, s->optSpacing);
    EXPECT_EQ(KW_NO, s->optResidue) << "an unknown keyword takes the default";
    EXPECT_STREQ("My Peaks", s->category);
    EXPECT_EQ(1, Get("CHISQRERR"));
    Set("CHISQRERR", 0);
}

TEST_F(SettingsTest, ScriptVariableOverridesTheFile)
{
    WriteFile(Ini(), kIni);
    host.variables["TOLERANCE"] = 0.001;
    EXPECT_EQ(0.001, Get("TOLERANCE"));
}

TEST_F(SettingsTest, MissingFileGivesDefaults)
{
    Get("NPARA");
    FittingSession* s = Session();
    EXPECT_EQ(0.05, Get("TOLERANCE"));
    EXPECT_EQ(60, Get("XPOINTS"));
    EXPECT_EQ(5e30, Get("MAXDERIVSTEP"));
    EXPECT_EQ(KW_SPACING_UNIFORM_AXIS, s->optSpacing);
    EXPECT_STREQ("Quorix Basic Functions", s->category);
}

// UNINIT leaves the file alone; the module's close message writes the session's settings
// back, keeping keys it does not own, and a new session reads them again.
TEST_F(SettingsTest, WrittenBackOnlyOnClose)
{
    WriteFile(Ini(), kIni);
    Set("TOLERANCE", 0.0123);
    ScxFit(window, 2, 0, nullptr, TestHost::Callback);
    EXPECT_EQ(kIni, qxtest::FileText(Ini()));

    QFITModuleInit(window, QFITMOD_CREATE, 0, TestHost::Callback, 0);
    Set("TOLERANCE", 0.0123);
    Set("DERIVSTEP", 1.0 / 3);
    EXPECT_EQ(1, QFITModuleInit(window, QFITMOD_CLOSE, 0, TestHost::Callback, 0));
    const std::string text = qxtest::FileText(Ini());
    EXPECT_NE(std::string::npos, text.find("tolerance=0.0123")) << text;
    EXPECT_NE(std::string::npos, text.find("SomethingElse=5")) << text;
    EXPECT_NE(std::string::npos, text.find("Keep Parameters=Yes")) << text;
    EXPECT_NE(std::string::npos, text.find("ErrorsWithChiSq=1")) << text;
    EXPECT_EQ(0.0123, Get("TOLERANCE"));
    EXPECT_EQ(1.0 / 3, Get("DERIVSTEP")) << "numbers are written so that they read back exactly";
    EXPECT_EQ(33, Get("XPOINTS"));
    Set("CHISQRERR", 0);
}

// A settings folder without qfit.ini reads the program folder's; writing back leaves that
// shared (here read-only) file alone and gives the settings folder a copy of it, catalogue
// included, with the session's settings.
TEST_F(SettingsTest, WrittenToTheSettingsFolderWhenOnlyTheProgramFolderHasTheFile)
{
    host.fallbackDir = host.settingsDir + "\\program";
    CreateDirectoryA(host.fallbackDir.c_str(), nullptr);
    const std::string shipped = host.fallbackDir + "\\qfit.ini";
    const std::string catalogue = std::string(kIni) + "[Category]\r\nMy Peaks=peaks\r\n[My Peaks]\r\nBump=Bump\r\n";
    WriteFile(shipped, catalogue);
    SetFileAttributesA(shipped.c_str(), FILE_ATTRIBUTE_READONLY);

    EXPECT_EQ(1e-4, Get("TOLERANCE")) << "read from the program folder";
    Set("TOLERANCE", 0.0123);
    EXPECT_EQ(1, QFITModuleInit(window, QFITMOD_CLOSE, 0, TestHost::Callback, 0));
    EXPECT_EQ(catalogue, qxtest::FileText(shipped));
    const std::string text = qxtest::FileText(Ini());
    EXPECT_NE(std::string::npos, text.find("tolerance=0.0123")) << text;
    EXPECT_NE(std::string::npos, text.find("Bump=Bump")) << text;
    EXPECT_EQ(0.0123, Get("TOLERANCE")) << "a new session reads the settings folder's file";
    Set("CHISQRERR", 0);
    SetFileAttributesA(shipped.c_str(), FILE_ATTRIBUTE_NORMAL);
}
