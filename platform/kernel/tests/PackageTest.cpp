// Packed files: a list packed by qpack.pack, opened into a fresh settings folder, its
// setup script run and removed; qpack.undo() putting the folder back; damaged packages
// refused before anything is written.
#include <windows.h>

#include <fstream>
#include <sstream>

#include "KernelTest.h"
#include "QKAccess.h"

namespace {

std::string Slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return "<none>";
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void Write(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

class PackageTest : public KernelTest {
protected:
    void SetUp() override
    {
        KernelTest::SetUp();
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        base = std::string(temp) + "qpk" + std::to_string(GetCurrentProcessId()) + "\\";
        group = base + "group\\";
        fresh = base + "fresh\\";
        CreateDirectoryA(base.c_str(), nullptr);
        CreateDirectoryA(group.c_str(), nullptr);
        CreateDirectoryA(fresh.c_str(), nullptr);
        Write(group + "Calc.ini", "[Common]\r\nGroupName=Calc\r\n");
        Write(group + "Calc.qgs", "[OnBeforeSetup]\r\nreturn refuse;\r\n[OnAfterSetup]\r\nafter = 1;\r\n");
        Write(base + "extra.dat", std::string("1 2\r\n\0\x01\xff", 9));
        Write(group + "QPKSetup.qgs", "if (run.section(Calc.qgs, OnBeforeSetup) == 1)\r\n{\r\n   qpack.undo();\r\n"
                                      "   return;\r\n}\r\nrun.section(Calc.qgs, OnAfterSetup);");
        Write(group + "ExpGroup.tmp", "Calc.qpk\r\nCalc.ini\r\nCalc.qgs\r\n" + base + "extra.dat\r\nQPKSetup.qgs");
        qkfxSetGlobalINIPath(group.c_str());
    }
    void TearDown() override
    {
        qkfxSetGlobalINIPath(nullptr);
        for (const std::string& folder : {group, fresh}) {
            WIN32_FIND_DATAA fd;
            HANDLE h = FindFirstFileA((folder + "*").c_str(), &fd);
            if (h != INVALID_HANDLE_VALUE) {
                do
                    DeleteFileA((folder + fd.cFileName).c_str());
                while (FindNextFileA(h, &fd));
                FindClose(h);
            }
            RemoveDirectoryA(folder.c_str());
        }
        DeleteFileA((base + "extra.dat").c_str());
        RemoveDirectoryA(base.c_str());
        KernelTest::TearDown();
    }
    // The package made from the list, opened with the settings in the fresh folder.
    bool PackAndOpen(const std::string& before = "refuse = 0;")
    {
        if (!Run("qpack.pack(ExpGroup.tmp)"))
            return false;
        qkfxSetGlobalINIPath(fresh.c_str());
        return Run(before + "open \"" + group + "Calc.qpk\"");
    }

    std::string base, group, fresh;
};

TEST_F(PackageTest, OpeningAPackageInstallsItsFilesAndRunsItsSetup)
{
    ASSERT_TRUE(PackAndOpen()) << err;
    EXPECT_EQ(Slurp(fresh + "Calc.ini"), Slurp(group + "Calc.ini"));
    EXPECT_EQ(Slurp(fresh + "Calc.qgs"), Slurp(group + "Calc.qgs"));
    EXPECT_EQ(Slurp(fresh + "extra.dat"), Slurp(base + "extra.dat")) << "bytes kept exactly, a file from elsewhere by its name";
    EXPECT_EQ(Slurp(fresh + "QPKSetup.qgs"), "<none>") << "the setup script goes once it ran";
    EXPECT_EQ(Var("after"), 1);
}

TEST_F(PackageTest, UndoInTheSetupPutsTheFolderBack)
{
    Write(fresh + "Calc.ini", "the user's own");
    ASSERT_TRUE(PackAndOpen("refuse = 1;")) << err;
    EXPECT_EQ(Slurp(fresh + "Calc.ini"), "the user's own");
    for (const char* name : {"Calc.qgs", "extra.dat", "QPKSetup.qgs"})
        EXPECT_EQ(Slurp(fresh + name), "<none>") << name;
    EXPECT_FALSE(qkfxGetScript().FindVariable("after"));
}

TEST_F(PackageTest, ListsThatCannotBePackedSayWhyAndKeepTheOldPackage)
{
    ASSERT_TRUE(Run("qpack.pack(ExpGroup.tmp)")) << err;
    std::string good = Slurp(group + "Calc.qpk");
    struct Case {
        const char* list;
        const char* reason;
    } cases[] = {
        {"Calc.qpk\r\nCalc.ini\r\nmissing.qgs\r\nQPKSetup.qgs", "missing.qgs\" cannot be read"},
        {"Calc.qpk\r\nCalc.ini\r\nCalc.ini\r\nQPKSetup.qgs", "two files to pack are named \"Calc.ini\""},
        {"Calc.qpk\r\n", "names no files"},
    };
    for (const Case& c : cases) {
        Write(group + "ExpGroup.tmp", c.list);
        EXPECT_FALSE(Run("qpack.pack(ExpGroup.tmp)")) << c.list;
        EXPECT_NE(err.find(c.reason), std::string::npos) << err;
        EXPECT_EQ(Slurp(group + "Calc.qpk"), good);
    }
}

TEST_F(PackageTest, DamagedPackagesAreRefusedBeforeAnythingIsWritten)
{
    ASSERT_TRUE(Run("qpack.pack(ExpGroup.tmp)")) << err;
    const std::string good = Slurp(group + "Calc.qpk");
    Write(group + "ExpGroup.tmp", "NoSetup.qpk\r\nCalc.ini");
    ASSERT_TRUE(Run("qpack.pack(ExpGroup.tmp)")) << err;
    // The first file's name starts at byte 16 (magic, version, count, name length).
    auto withName = [&](const std::string& name) {
        std::string bytes = good;
        bytes.replace(16, 8, name);
        return bytes;
    };
    struct Case {
        std::string bytes;
        const char* reason;
    } cases[] = {
        {"PK\x03\x04" + good.substr(4), "not a packed file"},
        {good.substr(0, good.size() - 3), "cut short"},
        {good.substr(0, 10), "cut short"},
        {good + "x", "bytes after its last file"},
        {withName("..\\a.ini"), "not a plain file name"},
        {withName("C:a.qini"), "not a plain file name"},
        {withName("Calc.qgs"), "holds \"Calc.qgs\" twice"},
        {good.substr(0, 4) + std::string("\x02\0\0\0", 4) + good.substr(8), "version 2"},
        {Slurp(group + "NoSetup.qpk"), "no setup script"},
    };
    qkfxSetGlobalINIPath(fresh.c_str());
    for (const Case& c : cases) {
        Write(base + "bad.qpk", c.bytes);
        EXPECT_FALSE(Run("refuse = 0; open \"" + base + "bad.qpk\""));
        EXPECT_NE(err.find(c.reason), std::string::npos) << c.reason << ": " << err;
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((fresh + "*.*").c_str(), &fd);
        int files = 0;
        if (h != INVALID_HANDLE_VALUE) {
            do
                files += (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? 0 : 1;
            while (FindNextFileA(h, &fd));
            FindClose(h);
        }
        EXPECT_EQ(files, 0) << c.reason;
    }
    DeleteFileA((base + "bad.qpk").c_str());
}

} // namespace
