// Generated projects, built as a developer builds them.
//   ProjectBuildCheck generate FOLDER  writes one project of each kind into FOLDER\<kind>
//   ProjectBuildCheck check FOLDER     loads each FOLDER\<kind>\Demo.dll, built from the
//                                      generated resource script, and checks its resources
// BuildGeneratedProjects.cmake runs the two with the resource compiler and linker between
// them. Exit code 0 when every check passed; each failure is printed.
#include "WizardHost.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

int g_failures = 0;

void Fail(const std::string& where, const std::string& what)
{
    printf("FAIL %s: %s\n", where.c_str(), what.c_str());
    ++g_failures;
}

void Expect(bool ok, const std::string& where, const std::string& what)
{
    if (!ok)
        Fail(where, what);
}

struct Kind {
    const char* name;
    const char* key;
    int pages; // pages of a wizard; tabs keep their default two
};
const Kind kKinds[] = {
    {"empty", "DDK_PROJECT_EMPTY", 0},
    {"simple", "DDK_PROJECT_SIMPLE", 0},
    {"tabbed", "DDK_PROJECT_TABBED", 0},
    {"wizard", "DDK_PROJECT_WIZARD", 3},
};

int Generate(const std::string& folder)
{
    CWizardHost host;
    CString error;
    if (!host.LoadWizard("qxdlgwizard.dll", error)) {
        Fail("load", (LPCTSTR)error);
        return 1;
    }
    CCustomAppWiz* wizard = host.GetWizard();
    CreateDirectoryA(folder.c_str(), nullptr);
    for (const Kind& kind : kKinds) {
        // The dictionary as the steps leave it: the step defaults, the chosen kind, and
        // for the wizard a third page added to the list.
        wizard->m_Dictionary.RemoveAll();
        wizard->m_Dictionary["root"] = "Demo";
        wizard->m_Dictionary["ROOT"] = "DEMO";
        wizard->InitCustomAppWiz();
        wizard->m_Dictionary.RemoveKey("DDK_PROJECT_EMPTY");
        wizard->m_Dictionary[kind.key] = "1";
        if (kind.pages == 3) {
            wizard->m_Dictionary["DDK_PAGE_COUNT"] = "3";
            wizard->m_Dictionary["DDK_PAGE_CAPTION_2"] = "Third Page";
            wizard->m_Dictionary["DDK_PAGE_IDNAME_2"] = "IDD_THIRDPAGE";
            wizard->m_Dictionary["DDK_PAGE_IDVAL_2"] = "3002";
            wizard->m_Dictionary["DDK_PAGE_SCRIPTNAME_2"] = "ThirdPage";
        }
        std::string target = folder + "\\" + kind.name;
        if (!host.GenerateProject("Demo", target.c_str(), error))
            Fail(kind.name, (LPCTSTR)error);
        wizard->ExitCustomAppWiz();
    }
    return g_failures ? 1 : 0;
}

// A dialog template of the DIALOG statement, read as the dialog manager reads it.
struct DialogItem {
    DWORD style;
    short x, y, cx, cy;
    WORD id;
    std::string text;
};
struct DialogTemplate {
    bool found = false;
    DWORD style = 0;
    short cx = 0, cy = 0;
    std::string caption, font;
    WORD pointSize = 0;
    std::vector<DialogItem> items;
};

std::string ReadText(const WORD*& p)
{
    // A string or an ordinal; ordinals are shown as #n.
    if (*p == 0xFFFF) {
        std::string text = "#" + std::to_string(p[1]);
        p += 2;
        return text;
    }
    std::string text;
    while (*p)
        text += char(*p++);
    ++p;
    return text;
}

DialogTemplate ReadDialog(HMODULE module, int id)
{
    DialogTemplate d;
    HRSRC res = FindResourceA(module, MAKEINTRESOURCEA(id), (LPCSTR)RT_DIALOG);
    if (!res)
        return d;
    auto* t = static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(module, res)));
    d.found = true;
    d.style = t->style;
    d.cx = t->cx;
    d.cy = t->cy;
    const WORD* p = reinterpret_cast<const WORD*>(t + 1);
    ReadText(p); // menu
    ReadText(p); // class
    d.caption = ReadText(p);
    if (t->style & DS_SETFONT) {
        d.pointSize = *p++;
        d.font = ReadText(p);
    }
    for (int i = 0; i < t->cdit; ++i) {
        p = reinterpret_cast<const WORD*>((reinterpret_cast<UINT_PTR>(p) + 3) & ~UINT_PTR(3));
        auto* item = reinterpret_cast<const DLGITEMTEMPLATE*>(p);
        DialogItem it{item->style, item->x, item->y, item->cx, item->cy, item->id, {}};
        p = reinterpret_cast<const WORD*>(item + 1);
        ReadText(p); // class
        it.text = ReadText(p);
        WORD extra = *p++;
        p = reinterpret_cast<const WORD*>(reinterpret_cast<const BYTE*>(p) + extra);
        d.items.push_back(it);
    }
    return d;
}

const DWORD kMainStyle = DS_MODALFRAME | WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU;
const DWORD kChildStyle = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;

void CheckDialog(HMODULE module, const std::string& where, int id, DWORD style, short cx, short cy,
                 const std::string& caption, const std::vector<DialogItem>& items)
{
    std::string at = where + " dialog " + std::to_string(id);
    DialogTemplate d = ReadDialog(module, id);
    if (!d.found)
        return Fail(at, "missing");
    Expect((d.style & ~DS_SETFONT) == style, at, "style " + std::to_string(d.style));
    Expect(d.cx == cx && d.cy == cy, at, "size " + std::to_string(d.cx) + " x " + std::to_string(d.cy));
    Expect(d.caption == caption, at, "caption \"" + d.caption + "\"");
    Expect(d.pointSize == 8 && d.font == "MS Sans Serif", at, "font " + d.font);
    if (d.items.size() != items.size())
        return Fail(at, std::to_string(d.items.size()) + " controls");
    for (size_t i = 0; i < items.size(); ++i) {
        const DialogItem &a = d.items[i], &e = items[i];
        std::string c = at + " control " + std::to_string(e.id);
        Expect(a.id == e.id && a.text == e.text, c, "id " + std::to_string(a.id) + " \"" + a.text + "\"");
        Expect(a.x == e.x && a.y == e.y && a.cx == e.cx && a.cy == e.cy, c,
               "at " + std::to_string(a.x) + "," + std::to_string(a.y) + " size " + std::to_string(a.cx) + " x "
                   + std::to_string(a.cy));
        Expect((a.style & e.style) == e.style, c, "style " + std::to_string(a.style));
        if (e.text.empty())
            Expect(!(a.style & WS_VISIBLE), c, "the placeholder is visible");
    }
}

void CheckStrings(HMODULE module, const std::string& where, const std::vector<std::pair<int, std::string>>& strings)
{
    for (const auto& s : strings) {
        char text[256] = "";
        LoadStringA(module, s.first, text, sizeof text);
        Expect(s.second == text, where + " string " + std::to_string(s.first), std::string("\"") + text + "\"");
    }
}

void CheckVersion(const std::string& path, const std::string& where)
{
    DWORD handle = 0, size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    std::vector<char> data(size);
    if (!size || !GetFileVersionInfoA(path.c_str(), 0, size, data.data()))
        return Fail(where, "no version resource");
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT len = 0;
    VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &len);
    Expect(fixed && fixed->dwFileVersionMS == 0x00010000 && fixed->dwFileVersionLS == 0x00000001
               && fixed->dwProductVersionMS == 0x00010000 && fixed->dwProductVersionLS == 0x00000001,
           where, "version numbers");
    Expect(fixed && fixed->dwFileType == VFT_DLL, where, "file type");
    const char* const entries[][2] = {
        {"FileVersion", "1, 0, 0, 1"}, {"ProductVersion", "1, 0, 0, 1"}, {"LegalCopyright", "Copyright \xa9"},
        {"CompanyName", ""}, {"FileDescription", ""}, {"ProductName", ""}, {"InternalName", ""},
        {"OriginalFilename", ""}, {"Comments", ""}, {"LegalTrademarks", ""},
    };
    for (const auto& e : entries) {
        char* value = nullptr;
        std::string key = std::string("\\StringFileInfo\\040904B0\\") + e[0];
        bool found = VerQueryValueA(data.data(), key.c_str(), reinterpret_cast<void**>(&value), &len);
        Expect(found && value && std::string(value) == e[1], where, std::string(e[0]) + " \"" + (value ? value : "") + "\"");
    }
    WORD* translation = nullptr;
    VerQueryValueA(data.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &len);
    Expect(translation && len >= 4 && translation[0] == 0x409 && translation[1] == 1200, where, "translation");
}

void CheckNoEntryPoint(const std::string& path, const std::string& where)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() < sizeof(IMAGE_DOS_HEADER))
        return Fail(where, "not a library");
    auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(bytes.data());
    auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(bytes.data() + dos->e_lfanew);
    Expect(nt->FileHeader.Characteristics & IMAGE_FILE_DLL, where, "not a DLL");
    Expect(nt->OptionalHeader.AddressOfEntryPoint == 0, where, "has an entry point");
}

int Check(const std::string& folder)
{
    for (const Kind& kind : kKinds) {
        std::string where = kind.name;
        std::string path = folder + "\\" + kind.name + "\\Demo.dll";
        HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        if (!module) {
            Fail(where, "cannot load " + path);
            continue;
        }
        CheckVersion(path, where);
        CheckNoEntryPoint(path, where);
        std::string k = kind.name;
        if (k == "empty") {
            Expect(!FindResourceA(module, MAKEINTRESOURCEA(100), (LPCSTR)RT_DIALOG), where, "has a dialog");
            char text[16] = "";
            Expect(LoadStringA(module, 100, text, sizeof text) == 0, where, "has strings");
        } else if (k == "simple") {
            CheckDialog(module, where, 100, kMainStyle, 194, 127, "My Dialog",
                        {{BS_DEFPUSHBUTTON, 39, 106, 50, 14, IDOK, "OK"}, {0, 105, 106, 50, 14, IDCANCEL, "Cancel"}});
            CheckStrings(module, where, {{100, "MyDialog"}});
        } else if (k == "tabbed") {
            CheckDialog(module, where, 100, kMainStyle, 234, 159, "My Dialog",
                        {{SS_BLACKFRAME, 2, 5, 230, 150, 1000, ""}});
            CheckDialog(module, where, 3000, kChildStyle, 220, 130, "First Tab", {});
            CheckDialog(module, where, 3001, kChildStyle, 220, 130, "Second Tab", {});
            CheckStrings(module, where, {{100, "MyDialog"}, {1000, "MyDialog.Tab -I"},
                                         {3000, "MyDialog.Tab.FirstTab"}, {3001, "MyDialog.Tab.SecondTab"}});
        } else {
            CheckDialog(module, where, 100, kMainStyle, 242, 236, "My Dialog",
                        {{SS_BLACKFRAME, 3, 3, 235, 199, 2000, ""},
                         {0, 44, 213, 32, 14, 0x3023, "<< Back"},
                         {0, 82, 213, 32, 14, 0x3024, "Next >>"},
                         {0, 120, 213, 32, 14, IDCANCEL, "Cancel"},
                         {0, 158, 213, 32, 14, 0x3025, "Finish"}});
            const char* pages[] = {"First Page", "Second Page", "Third Page"};
            for (int i = 0; i < 3; ++i)
                CheckDialog(module, where, 3000 + i, kChildStyle, 228, 193, pages[i], {});
            CheckStrings(module, where, {{100, "MyDialog -TW"}, {2000, "MyDialog.Page"},
                                         {3000, "MyDialog.Page.FirstPage"}, {3001, "MyDialog.Page.SecondPage"},
                                         {3002, "MyDialog.Page.ThirdPage"}});
        }
        FreeLibrary(module);
    }
    return g_failures ? 1 : 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        printf("usage: ProjectBuildCheck generate|check FOLDER\n");
        return 2;
    }
    std::string mode = argv[1];
    int result = mode == "generate" ? Generate(argv[2]) : mode == "check" ? Check(argv[2]) : 2;
    printf("%s: %d failure(s)\n", mode.c_str(), g_failures);
    return result;
}
