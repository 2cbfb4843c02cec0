// The fixture of the kernel's tests: a fresh project, interpreter and call log for each
// test, and the interpreter's output caught as text.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "QKCallLog.h"
#include "QKData.h"
#include "QKScript.h"

class KernelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        qkfxGetProject().New();
        qkfxGetScript().Reset();
        qkfxGetCallLog().Clear();
        qkfxGetScript().SetOutput(&KernelTest::Catch, this);
    }
    void TearDown() override { qkfxGetScript().SetOutput(nullptr, nullptr); }

    // Runs a script; the printed lines, each ended by "\n", are in out, errors in err.
    bool Run(const std::string& text)
    {
        out.clear();
        err.clear();
        return qkfxGetScript().Execute(text);
    }

    double Var(const char* name)
    {
        double v = MISSING_VALUE;
        EXPECT_TRUE(qkfxGetScript().GetVariable(name, &v)) << name;
        return v;
    }

    std::string out, err;

private:
    static void Catch(const char* text, int kind, void* user)
    {
        KernelTest* self = static_cast<KernelTest*>(user);
        (kind == 2 ? self->err : self->out) += std::string(text) + "\n";
    }
};

// Writes a file into the temporary folder and gives its path; removed with the object.
class TempFile {
public:
    TempFile(const char* name, const std::string& text)
    {
        char dir[MAX_PATH];
        GetTempPathA(MAX_PATH, dir);
        path = std::string(dir) + name;
        FILE* f = fopen(path.c_str(), "wb");
        fwrite(text.data(), 1, text.size(), f);
        fclose(f);
    }
    ~TempFile() { DeleteFileA(path.c_str()); }
    std::string path;
};
