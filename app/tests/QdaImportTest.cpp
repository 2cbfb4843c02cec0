// The QDA import script that quorix61.exe carries, run by the kernel's interpreter over
// QDA files written by data/make_qda.py. The script asks the file dialog through the
// section OpenAppData of AppFile.qgs; here that section names the test's file.
#include <gtest/gtest.h>
#include <windows.h>
#include "TestHelpers.h"

#include <QKData.h>
#include <QKScript.h>
#include <qxdefs.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

std::string FullPath(const std::string& relative)
{
    char full[MAX_PATH];
    GetFullPathNameA(relative.c_str(), MAX_PATH, full, nullptr);
    return full;
}

void Collect(const char* text, int kind, void* user)
{
    ((std::vector<std::pair<int, std::string>>*)user)->push_back({kind, text});
}

class QdaImport : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = TestFolder("quorix61_qda");

        // The script as the program carries it.
        HMODULE program = LoadLibraryExA("quorix61.exe", nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(nullptr, program);
        HRSRC found = FindResourceA(program, MAKEINTRESOURCEA(1), "SCRIVEX");
        ASSERT_NE(nullptr, found);
        std::string script((const char*)LockResource(LoadResource(program, found)),
                           SizeofResource(program, found));
        FreeLibrary(program);
        std::ofstream(folder + "\\QDAREAD.QGS", std::ios::binary) << script;
        std::ofstream(folder + "\\File.qgs", std::ios::binary) << "[Init]\nreturn 0;\n";

        qkfxGetProject().New();
        CQKScript& s = qkfxGetScript();
        s.Reset();
        s.SetOutput(Collect, &output);
        ASSERT_TRUE(s.Execute("win -t wks")) << s.GetLastError();
    }
    void TearDown() override { qkfxGetScript().SetOutput(nullptr, nullptr); }

    // Runs the import on a file of the test data, as a user picking it would.
    double Import(const std::string& file)
    {
        std::string data = FullPath("quorix61_testdata\\") + "\\";
        std::ofstream(folder + "\\AppFile.qgs", std::ios::binary)
            << "[OpenAppData]\n%B = " << data << "\n%A = " << file << "\nreturn 0;\n";
        double result = -1;
        CQKScript& s = qkfxGetScript();
        EXPECT_TRUE(s.RunSection(folder + "\\QDAREAD.QGS", "Main", {}, &result)) << s.GetLastError();
        return result;
    }
    CQKWksPage* Wks() { return qkfxGetProject().GetActiveWks(); }
    CQKDataset* Col(int n) { return Wks()->GetColumn(n); }
    std::vector<std::string> Messages(int kind)
    {
        std::vector<std::string> texts;
        for (auto& m : output)
            if (m.first == kind)
                texts.push_back(m.second);
        return texts;
    }

    std::string folder;
    std::vector<std::pair<int, std::string>> output;
};

TEST_F(QdaImport, EveryColumnTypeBecomesAColumnWithItsFormatWidthAndName)
{
    EXPECT_EQ(0, Import("all_types_v8.qda"));
    EXPECT_TRUE(Messages(2).empty()) << Messages(2)[0];
    ASSERT_EQ(7, Wks()->GetNumCols());

    const struct { int format, subformat, width, rows; const char* label; } columns[] = {
        {QK_FORMAT_NUMERIC, -1, 10, 3, "Time s"},
        {QK_FORMAT_TEXT, -1, 12, 3, "City"},
        {QK_FORMAT_DATE, 2, 14, 2, "Day"},
        {QK_FORMAT_NUMERIC, -1, 16, 4, "Double"},
        {QK_FORMAT_NUMERIC, -1, 8, 2, "Count"},
        {QK_FORMAT_NUMERIC, -1, 6, 1, "Empty"},
        {QK_FORMAT_TIME, 4, 9, 1, "Clock"},
    };
    for (int i = 0; i < 7; ++i) {
        CQKDataset* c = Col(i + 1);
        EXPECT_EQ(columns[i].format, c->m_format) << "column " << i + 1;
        if (columns[i].subformat >= 0) {
            EXPECT_EQ(columns[i].subformat, c->m_subformat) << "column " << i + 1;
        }
        EXPECT_EQ(columns[i].width, c->m_width) << "column " << i + 1;
        EXPECT_EQ(columns[i].rows, c->GetEnd()) << "column " << i + 1;
        EXPECT_EQ(columns[i].label, c->m_label) << "column " << i + 1;
    }

    // 4-byte floats are exact for these values; doubles and longs are exact.
    EXPECT_EQ(1.5, Col(1)->GetValue(0));
    EXPECT_EQ(-2.25, Col(1)->GetValue(1));
    EXPECT_EQ(1048576.5, Col(1)->GetValue(2));
    EXPECT_EQ("alpha", Col(2)->GetText(0));
    EXPECT_EQ("New York", Col(2)->GetText(1));
    EXPECT_EQ("twenty-one character", Col(2)->GetText(2));
    EXPECT_EQ(2416480.0, Col(3)->GetValue(0)); // 0 s after 1 January 1904
    EXPECT_EQ(2416482.5, Col(3)->GetValue(1));
    EXPECT_EQ(3.141592653589793, Col(4)->GetValue(0));
    EXPECT_EQ(-1e-300, Col(4)->GetValue(1));
    EXPECT_EQ(1e300, Col(4)->GetValue(3));
    EXPECT_EQ(-7, Col(5)->GetValue(0));
    EXPECT_EQ(123456, Col(5)->GetValue(1));
    EXPECT_EQ(MISSING_VALUE, Col(6)->GetValue(0)); // a column of no rows
    EXPECT_EQ(2416480.5, Col(7)->GetValue(0));     // noon as a time of day

    // The script's own variables are gone; the file object's settings are as before.
    double value = 0;
    EXPECT_FALSE(qkfxGetScript().GetVariable("qdancols", &value));
    ASSERT_TRUE(qkfxGetScript().Evaluate("file.listsep", &value));
    EXPECT_EQ(44, value);
    ASSERT_TRUE(qkfxGetScript().Evaluate("file.byteorder", &value));
    EXPECT_EQ(0, value);
}

TEST_F(QdaImport, VersionSevenDatesCountDaysAndTheUntestedNoteCanBeSilenced)
{
    EXPECT_EQ(0, Import("dates_v7.qda"));
    EXPECT_EQ(2415019.0, Col(1)->GetValue(0)); // 1 January 1900
    EXPECT_EQ(2451544.0, Col(1)->GetValue(1)); // 1 January 2000
    EXPECT_EQ(QK_FORMAT_DATE, Col(1)->m_format);
    EXPECT_EQ(1u, Messages(1).size());

    output.clear();
    qkfxGetScript().SetVariable("qdav7", 1);
    EXPECT_EQ(0, Import("dates_v7.qda"));
    EXPECT_TRUE(Messages(1).empty());
    double value = 0;
    EXPECT_TRUE(qkfxGetScript().GetVariable("qdav7", &value)); // the user's, not the script's
}

TEST_F(QdaImport, AnUnknownTypeStopsAtItsColumnAndTooManyColumnsImportNothing)
{
    EXPECT_EQ(0, Import("unknown_type.qda"));
    EXPECT_TRUE(Messages(2).empty()) << Messages(2)[0];
    ASSERT_EQ(1u, Messages(1).size());
    EXPECT_EQ(5, Col(1)->GetValue(0));
    EXPECT_EQ(7, Col(2)->m_format);
    EXPECT_NE(6, Col(3)->GetValue(0)); // never reached

    qkfxGetProject().New();
    ASSERT_TRUE(qkfxGetScript().Execute("win -t wks"));
    output.clear();
    EXPECT_EQ(0, Import("too_many_columns.qda"));
    EXPECT_EQ(2, Wks()->GetNumCols());
    EXPECT_EQ(0, Col(1)->GetEnd());
}

TEST_F(QdaImport, ACancelledFileDialogChangesNothing)
{
    std::ofstream(folder + "\\AppFile.qgs", std::ios::binary) << "[OpenAppData]\nreturn 1;\n";
    double result = -1;
    ASSERT_TRUE(qkfxGetScript().RunSection(folder + "\\QDAREAD.QGS", "Main", {}, &result));
    EXPECT_EQ(1, result);
    EXPECT_EQ(2, Wks()->GetNumCols());
}

} // namespace
