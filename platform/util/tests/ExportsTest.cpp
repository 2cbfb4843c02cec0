// The export table of qxutil.dll: callers bind by ordinal, so every ordinal they use
// must be there, with its name where it has one and without one where it has none.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>

namespace {

// The expected table, kept here apart from the .def file so that a slip in either shows.
const std::map<unsigned, std::string> kExpected = {
    {3, "UtilTextToInt"},         {4, "UtilTextToDouble"},      {5, "UtilIntToText"},
    {7, "UtilFormatNumber"},      {8, "UtilStripBlanks"},       {9, "UtilScanNumber"},
    {14, "UtilFindSeparator"},    {15, "UtilQuotedText"},       {20, "UtilCalendarToNumber"},
    {22, ""},                     {92, "UtilNextWord"},         {120, "UtilCopyBytes"},
    {150, "UtilPrepareDC"},       {520, "UtilProgressBox"},     {530, "UtilPaletteService"},
    {600, "UtilCompareBytes"},    {930, "UtilSplitIndexedName"}, {955, ""},
    {957, ""},                    {958, "UtilReadProfileString"}, {980, "UtilReadContainerMember"},
    {985, ""},                    {2004, "UtilInvertMatrix"},   {2005, ""},
    {2006, ""},                   {2007, ""},                   {2030, "UtilStudentTInverse"},
    {2036, "UtilIncompleteBeta"}, {2038, "UtilErf"},            {2108, "UtilBinomial"},
    {2110, "UtilVectorAngle"},
};

// Reads the export directory of a loaded module: ordinal -> name ("" when unnamed).
std::map<unsigned, std::string> ReadExportTable(HMODULE module)
{
    auto base = reinterpret_cast<const BYTE *>(module);
    auto dos = reinterpret_cast<const IMAGE_DOS_HEADER *>(base);
    auto nt = reinterpret_cast<const IMAGE_NT_HEADERS *>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY &dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    auto exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY *>(base + dir.VirtualAddress);
    auto functions = reinterpret_cast<const DWORD *>(base + exports->AddressOfFunctions);
    auto names = reinterpret_cast<const DWORD *>(base + exports->AddressOfNames);
    auto nameOrdinals = reinterpret_cast<const WORD *>(base + exports->AddressOfNameOrdinals);
    std::map<unsigned, std::string> table;
    for (DWORD i = 0; i < exports->NumberOfFunctions; ++i)
        if (functions[i] != 0)
            table[exports->Base + i] = "";
    for (DWORD i = 0; i < exports->NumberOfNames; ++i)
        table[exports->Base + nameOrdinals[i]] = reinterpret_cast<const char *>(base + names[i]);
    return table;
}

TEST(Exports, TableHoldsEveryOrdinalWithItsName)
{
    HMODULE module = LoadLibraryA("qxutil.dll");
    ASSERT_NE(module, nullptr);
    std::map<unsigned, std::string> actual = ReadExportTable(module);
    for (const auto &[ordinal, name] : kExpected) {
        auto it = actual.find(ordinal);
        if (it == actual.end()) {
            ADD_FAILURE() << "ordinal " << ordinal << " (" << name << ") is missing";
            continue;
        }
        EXPECT_EQ(it->second, name) << "name of ordinal " << ordinal;
        EXPECT_NE(GetProcAddress(module, MAKEINTRESOURCEA(ordinal)), nullptr) << ordinal;
    }
    for (const auto &[ordinal, name] : actual)
        EXPECT_TRUE(kExpected.count(ordinal)) << "unexpected export " << ordinal << " " << name;
    FreeLibrary(module);
}

} // namespace
