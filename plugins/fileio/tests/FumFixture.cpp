#include "FumFixture.h"

#include <stdio.h>

void FumTest::SetUp()
{
    TestHost::Get().Reset();
    static HMODULE module = LoadLibraryA("qxfileio.dll");
    ASSERT_NE(module, nullptr) << "qxfileio.dll not loaded, error " << GetLastError();
    qmdll_ = reinterpret_cast<QMDLLProc>(GetProcAddress(module, "QMDLL"));
    ASSERT_NE(qmdll_, nullptr);
    double v = 0;
    ASSERT_EQ(Call("CLOSEALL", "", &v, OBJOP_CALL_METHOD), 1);
    ASSERT_EQ(Call("RESET", "", &v, OBJOP_CALL_METHOD), 1);

    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = std::string(temp) + "qxfileio_" + info->test_suite_name() + "_" + info->name() + "_" +
           std::to_string(GetCurrentProcessId());
    CreateDirectoryA(dir_.c_str(), nullptr);
    TestHost::Get().Reset();
}

void FumTest::TearDown()
{
    double v = 0;
    if (qmdll_)
        Call("CLOSEALL", "", &v, OBJOP_CALL_METHOD);
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((dir_ + "\\*").c_str(), &found);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            DeleteFileA(Path(found.cFileName).c_str());
        } while (FindNextFileA(h, &found));
        FindClose(h);
    }
    RemoveDirectoryA(dir_.c_str());
}

int FumTest::Call(const char* method, const char* name, void* result, int code)
{
    return qmdll_(TestHost::Context(), method, name, result, &TestHost::Callback, code);
}

double FumTest::Get(const char* name)
{
    double v = -999;
    EXPECT_EQ(Call(nullptr, name, &v, OBJOP_GET_NUMBER), 1) << name;
    return v;
}

std::string FumTest::GetText(const char* name)
{
    std::vector<char> buffer(QM_STRING_RESULT_SIZE, 'x');
    EXPECT_EQ(Call(nullptr, name, buffer.data(), OBJOP_GET_STRING), 1) << name;
    return buffer.data();
}

int FumTest::Set(const char* name, double v)
{
    return Call(nullptr, name, &v, OBJOP_SET_NUMBER);
}

int FumTest::SetText(const char* name, const std::string& text)
{
    std::vector<char> buffer(text.begin(), text.end());
    buffer.resize(QM_STRING_RESULT_SIZE, '\0');
    return Call(nullptr, name, buffer.data(), OBJOP_SET_STRING);
}

int FumTest::Run(const char* method, const std::string& argument, double* value)
{
    double scratch = 0;
    return Call(method, argument.c_str(), value ? value : &scratch, OBJOP_CALL_METHOD);
}

double FumTest::Value(const char* method, const std::string& argument)
{
    double v = -999;
    EXPECT_EQ(Run(method, argument, &v), 1) << method << "(" << argument << ") ERROR " << Get("ERROR");
    return v;
}

void FumTest::WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes)
{
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    if (!bytes.empty())
        fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

std::vector<unsigned char> FumTest::ReadBytes(const std::string& path)
{
    std::vector<unsigned char> out;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return out;
    int c;
    while ((c = fgetc(f)) != EOF)
        out.push_back(static_cast<unsigned char>(c));
    fclose(f);
    return out;
}

bool FumTest::Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
