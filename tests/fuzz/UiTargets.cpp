// The bitmap readers (the program's own picture class and the button bitmaps of the
// toolbars) and the button-group files a user installs.
#include "Fuzz.h"

#include <afxwin.h>

#include "QKDIB.h"
#include "UserDefButtons.h"

namespace {

using qxfuzz::Bytes;

// Message boxes and dialogs the readers open are answered at once, as a user pressing
// Cancel would, so no input waits for a person.
LRESULT CALLBACK Dismiss(int code, WPARAM wp, LPARAM lp)
{
    if (code == HCBT_ACTIVATE) {
        qxfuzz::Tally("box answered");
        PostMessageA(reinterpret_cast<HWND>(wp), WM_COMMAND, IDCANCEL, 0);
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

void Answering()
{
    static HHOOK hook = SetWindowsHookExA(WH_CBT, Dismiss, nullptr, GetCurrentThreadId());
    (void)hook;
}

// Parsed or refused; a parsed picture lies inside the file, and a button bitmap loaded has
// no more pixels than its four-bit rows can hold.
std::string RunBitmap(const Bytes& input)
{
    BITMAPINFO* info = reinterpret_cast<BITMAPINFO*>(new BYTE[sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD)]);
    size_t offset = 0;
    DWORD bitsSize = 0;
    BOOL parsed = CQKDIB::ParseFile(input.data(), input.size(), info, &offset, &bitsSize);
    BITMAPINFOHEADER header = info->bmiHeader;
    delete[] reinterpret_cast<BYTE*>(info);
    if (parsed) {
        qxfuzz::Tally("parsed");
        if (offset > input.size() || bitsSize > input.size() - offset)
            return "the pixels of a parsed bitmap lie outside the file";
        if (CQKDIB::NeededBitsSize(header) > bitsSize)
            return "a parsed bitmap has fewer pixel bytes than its header needs";
    } else {
        qxfuzz::Tally("refused");
    }
    qxfuzz::WriteScratch(input);
    CQKDIB dib;
    if (dib.LoadFile(qxfuzz::ScratchFile().c_str()) && dib.GetBitsSize() > input.size())
        return "a loaded bitmap holds more pixel bytes than the file";
    GetBitmapBitCount(qxfuzz::ScratchFile().c_str());
    CBitmap bitmap;
    if (LoadSysColorBitmap(qxfuzz::ScratchFile().c_str(), bitmap)) {
        qxfuzz::Tally("button bitmap");
        BITMAP b;
        if (!bitmap.GetBitmap(&b))
            return "a button bitmap was loaded but is no bitmap";
        if (static_cast<double>(b.bmWidth) * b.bmHeight > 2.0 * input.size())
            return "a button bitmap has more pixels than the file holds";
    }
    return std::string();
}

// A four-bit bitmap of three 16-pixel buttons, beside the group file.
void WriteButtonBitmap(const std::string& path)
{
    const int width = 48, height = 15, row = (width * 4 + 31) / 32 * 4;
    Bytes b(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + 16 * sizeof(RGBQUAD) + row * height, 0x11);
    BITMAPFILEHEADER* file = reinterpret_cast<BITMAPFILEHEADER*>(b.data());
    BITMAPINFOHEADER* h = reinterpret_cast<BITMAPINFOHEADER*>(b.data() + sizeof(BITMAPFILEHEADER));
    memset(file, 0, sizeof *file + sizeof *h + 16 * sizeof(RGBQUAD));
    file->bfType = 0x4D42;
    file->bfSize = static_cast<DWORD>(b.size());
    file->bfOffBits = static_cast<DWORD>(b.size() - row * height);
    h->biSize = sizeof *h;
    h->biWidth = width;
    h->biHeight = height;
    h->biPlanes = 1;
    h->biBitCount = 4;
    if (FILE* f = fopen(path.c_str(), "wb")) {
        fwrite(b.data(), 1, b.size(), f);
        fclose(f);
    }
}

// Loaded or refused with a message; a group loaded has a name and at most 50 buttons.
std::string RunButtonGroup(const Bytes& input)
{
    Answering();
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + "qxfuzz-buttons-" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    static bool written = false;
    if (!written) {
        WriteButtonBitmap(folder + "fuzz.bmp");
        written = true;
    }
    std::string ini = folder + "group.ini";
    if (FILE* f = fopen(ini.c_str(), "wb")) {
        if (!input.empty())
            fwrite(input.data(), 1, input.size(), f);
        fclose(f);
    }
    CQUUserDefButtons group;
    group.Init(ini.c_str(), "", FALSE, (folder + "fuzz.bmp").c_str(), 0);
    if (!group.Load(CQUUserDefButtons::LoadAddExisting)) {
        qxfuzz::Tally("refused");
        return std::string();
    }
    qxfuzz::Tally("loaded");
    if (group.GetName().IsEmpty())
        return "a group was loaded without a name";
    if (group.GetButtonCount() < 1 || group.GetButtonCount() > CQUUserDefButtons::MaxButtons)
        return "a group was loaded with " + std::to_string(group.GetButtonCount()) + " buttons";
    for (int i = 0; i < group.GetButtonCount(); ++i)
        group.ReadButtonImage(i);
    return std::string();
}

qxfuzz::Registration bitmap({"bitmap", "bitmap", RunBitmap, nullptr, nullptr, {"BM", "\x28\0\0\0"}});
qxfuzz::Registration buttonGroup({"buttongroup", "buttongroup", RunButtonGroup, nullptr, nullptr,
                                  {"[Common]", "GroupName=", "BitmapFile=", "ButtonCount=", "[CustomButton",
                                   "Image=", "FileName=", "SectionName=", "\r\n", "=", "..\\", "C:\\",
                                   "99999999999", "-1"}});

} // namespace
