// Files, profile texts and container files.
#include <gtest/gtest.h>
#include <windows.h>

#include "Container.h"
#include "qxutil.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

std::string TempPath(const char *name)
{
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + name;
}

void WriteFileBytes(const std::string &path, const std::string &bytes)
{
    FILE *f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

// A profile text as a function definition holds it (CR LF, comments, bodies with ";").
const char kProfile[] =
    "[GENERAL INFORMATION]\r\n"
    "Function Name = Gauss \r\n"
    "Brief Description=\"quoted value\"\r\n"
    "Empty=\r\n"
    "; a comment line\r\n"
    "\r\n"
    "[FORMULA]\r\n"
    "y=a+b*x; z=1\r\n"
    "; not a comment here\r\n"
    "\r\n"
    "\r\n"
    "[ Independent Variables ]\r\n"
    "x=\r\n"
    "t=Data1_A\r\n"
    "bare\r\n"
    "[FORMULA]\r\n"
    "second=ignored\r\n";

std::string Value(const char *section, const char *key, const char *def, DWORD size = 256,
                  DWORD *answer = nullptr)
{
    std::vector<char> buffer(size + 1, '#');
    DWORD n = UtilReadProfileString(section, key, def, buffer.data(), size, kProfile);
    if (answer)
        *answer = n;
    EXPECT_EQ(buffer[size], '#') << "wrote past the buffer";
    return buffer.data();
}

TEST(ProfileString, ReadsKeysAsTheSystemReaderDoes)
{
    struct Case { const char *section, *key, *def, *expected; };
    const Case cases[] = {
        {"GENERAL INFORMATION", "Function Name", "", "Gauss"},
        {"general information", "FUNCTION NAME", "", "Gauss"},
        {"GENERAL INFORMATION", "Brief Description", "", "quoted value"},
        {"GENERAL INFORMATION", "Empty", "dflt", ""},
        {"GENERAL INFORMATION", "Missing", "dflt  ", "dflt"},
        {"GENERAL INFORMATION", "Missing", nullptr, ""},
        {"NO SECTION", "Function Name", "d", "d"},
        {"Independent Variables", "t", "", "Data1_A"},
        {"FORMULA", "second", "none", "none"},
        {"FORMULA", "y", "", "a+b*x; z=1"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(Value(c.section, c.key, c.def), c.expected) << c.section << "/" << c.key;
}

TEST(ProfileString, CutsToTheBuffer)
{
    DWORD n = 0;
    EXPECT_EQ(Value("GENERAL INFORMATION", "Function Name", "", 4, &n), "Gau");
    EXPECT_EQ(n, 3u);
    EXPECT_EQ(Value("GENERAL INFORMATION", "Function Name", "", 1, &n), "");
    EXPECT_EQ(n, 0u);
    EXPECT_EQ(UtilReadProfileString("A", "b", "c", nullptr, 10, kProfile), 0u);
    char buffer[8] = "x";
    EXPECT_EQ(UtilReadProfileString("A", "b", "c", buffer, 0, kProfile), 0u);
    EXPECT_EQ(UtilReadProfileString(nullptr, "b", "c", buffer, 8, kProfile), 1u);
    EXPECT_STREQ(buffer, "c");
    EXPECT_EQ(UtilReadProfileString("A", "b", "dd", buffer, 8, nullptr), 2u);
    EXPECT_STREQ(buffer, "dd");
}

TEST(ProfileString, ListsKeyNames)
{
    char buffer[64];
    std::memset(buffer, '#', sizeof buffer);
    DWORD n = UtilReadProfileString("Independent Variables", nullptr, "", buffer, sizeof buffer, kProfile);
    EXPECT_EQ(n, 9u);
    EXPECT_EQ(std::string(buffer, 10), std::string("x\0t\0bare\0\0", 10));

    // Only whole names fit; the answer says the list was cut.
    std::memset(buffer, '#', sizeof buffer);
    n = UtilReadProfileString("Independent Variables", nullptr, "", buffer, 6, kProfile);
    EXPECT_EQ(n, 4u);
    EXPECT_EQ(std::string(buffer, 5), std::string("x\0t\0\0", 5));
    EXPECT_EQ(buffer[6], '#');

    n = UtilReadProfileString("None", nullptr, "", buffer, sizeof buffer, kProfile);
    EXPECT_EQ(n, 0u);
    EXPECT_EQ(buffer[0], 0);
    EXPECT_EQ(buffer[1], 0);
}

TEST(ProfileSection, BodyFromTextAndFileAsItStands)
{
    const char body[] = "y=a+b*x; z=1\r\n; not a comment here\r\n\r\n\r\n";
    char buffer[128];
    EXPECT_EQ(UtilReadProfileSectionText("formula", buffer, sizeof buffer, kProfile), sizeof body - 1);
    EXPECT_STREQ(buffer, body);

    std::string path = TempPath("qxutil_profile.ini");
    WriteFileBytes(path, kProfile);
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(UtilReadProfileSection("FORMULA", buffer, sizeof buffer, path.c_str()), sizeof body - 1);
    EXPECT_STREQ(buffer, body);
    DeleteFileA(path.c_str());

    // Cut to the buffer; a last section runs to the end of the text.
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(UtilReadProfileSectionText("FORMULA", buffer, 5, kProfile), 4u);
    EXPECT_STREQ(buffer, "y=a+");
    EXPECT_EQ(UtilReadProfileSectionText("Last", buffer, sizeof buffer, "[Last]\nline"), 4u);
    EXPECT_STREQ(buffer, "line");

    // Missing things give an empty body.
    std::strcpy(buffer, "x");
    EXPECT_EQ(UtilReadProfileSectionText("Nope", buffer, sizeof buffer, kProfile), 0u);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(UtilReadProfileSection("FORMULA", buffer, sizeof buffer, "C:\\no\\such.ini"), 0u);
    EXPECT_EQ(UtilReadProfileSection("FORMULA", buffer, sizeof buffer, nullptr), 0u);
    EXPECT_EQ(UtilReadProfileSectionText(nullptr, buffer, sizeof buffer, kProfile), 0u);
    EXPECT_EQ(UtilReadProfileSectionText("FORMULA", nullptr, 10, kProfile), 0u);
}

TEST(OpenFile, OpensWithDispositionAndMeasures)
{
    std::string path = TempPath("qxutil_open.dat");
    DeleteFileA(path.c_str());
    // OPEN_EXISTING on a file that is not there fails; OPEN_ALWAYS creates it.
    EXPECT_EQ(UtilOpenFile(path.c_str(), 0xC0000000, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    HANDLE h = UtilOpenFile(path.c_str(), 0xC0000000, OPEN_ALWAYS);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(h, "12345", 5, &written, nullptr);
    EXPECT_EQ(UtilFileLength(h), 5);
    CloseHandle(h);

    h = UtilOpenFile(path.c_str(), GENERIC_READ, OPEN_EXISTING);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(UtilFileLength(h), 5);
    CloseHandle(h);
    DeleteFileA(path.c_str());

    EXPECT_EQ(UtilOpenFile(nullptr, GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(UtilOpenFile("", GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(UtilFileLength(INVALID_HANDLE_VALUE), -1);
    EXPECT_EQ(UtilFileLength(nullptr), -1);
}

// Builds container bytes from members, with the layout the library documents.
std::string MakeContainer(const std::vector<std::pair<std::string, std::string>> &members)
{
    qxutil::ContainerHeader header = {{'Q', 'X', 'C', 'F'}, 1, uint32_t(members.size()), 0};
    std::string out(reinterpret_cast<const char *>(&header), sizeof header);
    uint32_t offset = uint32_t(sizeof header + members.size() * sizeof(qxutil::ContainerEntry));
    for (const auto &[name, data] : members) {
        qxutil::ContainerEntry entry = {};
        std::strncpy(entry.name, name.c_str(), sizeof entry.name - 1);
        entry.offset = offset;
        entry.length = uint32_t(data.size());
        offset += entry.length;
        out.append(reinterpret_cast<const char *>(&entry), sizeof entry);
    }
    for (const auto &member : members)
        out += member.second;
    return out;
}

std::string ReadMember(const std::string &path, const char *member, DWORD *size)
{
    HGLOBAL block = UtilReadContainerMember(path.c_str(), member, size);
    if (!block)
        return "<none>";
    EXPECT_EQ(GlobalFlags(block) & GMEM_LOCKCOUNT, 0u);
    std::string data(static_cast<const char *>(GlobalLock(block)), *size);
    GlobalUnlock(block);
    GlobalFree(block);
    return data;
}

TEST(Container, ReadsMembersByName)
{
    std::string path = TempPath("qxutil_test.qqs");
    WriteFileBytes(path, MakeContainer({{"Gauss.wmf", std::string("\xD7\xCD\xC6\x9A\0pic", 8)},
                                        {"Line.cuv", "curve"},
                                        {"Empty.wmf", ""}}));
    DWORD size = 99;
    EXPECT_EQ(ReadMember(path, "Gauss.wmf", &size), std::string("\xD7\xCD\xC6\x9A\0pic", 8));
    EXPECT_EQ(size, 8u);
    EXPECT_EQ(ReadMember(path, "LINE.CUV", &size), "curve");
    EXPECT_EQ(ReadMember(path, "Empty.wmf", &size), "");
    EXPECT_EQ(size, 0u);
    size = 99;
    EXPECT_EQ(ReadMember(path, "Missing.wmf", &size), "<none>");
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(UtilReadContainerMember(path.c_str(), nullptr, &size), nullptr);
    EXPECT_EQ(UtilReadContainerMember("C:\\no\\such.qqs", "Gauss.wmf", &size), nullptr);
    DeleteFileA(path.c_str());
}

TEST(Container, RefusesDamagedFiles)
{
    std::string good = MakeContainer({{"a.wmf", "abcdef"}});
    std::vector<std::string> damaged;
    damaged.push_back(good.substr(0, 10));                        // shorter than the header
    damaged.push_back("XXCF" + good.substr(4));                     // wrong magic
    std::string count = good;
    count[8] = '\xFF'; count[9] = '\xFF'; count[10] = '\xFF'; count[11] = '\x7F';
    damaged.push_back(count);                                       // entries past the end
    std::string length = good;
    length[16 + 68] = '\xFF'; length[16 + 69] = '\xFF';
    damaged.push_back(length);                                      // member past the end
    std::string offset = good;
    offset[16 + 67] = '\xFF';
    damaged.push_back(offset);                                      // offset past the end
    std::string name = good;
    std::memset(&name[16], 'n', 64);
    damaged.push_back(name);                                        // unterminated name
    damaged.push_back(good.substr(0, good.size() - 1));             // member cut short

    std::string path = TempPath("qxutil_bad.qqs");
    for (size_t i = 0; i < damaged.size(); ++i) {
        WriteFileBytes(path, damaged[i]);
        DWORD size = 5;
        EXPECT_EQ(UtilReadContainerMember(path.c_str(), "a.wmf", &size), nullptr) << "case " << i;
        EXPECT_EQ(size, 0u);
    }
    DeleteFileA(path.c_str());
}

} // namespace
