#include "FunctionView.h"

#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "FitterResources.h"
#include "FitterWindow.h"
#include "qxutil.h"

#include "../engine/FitSession.h"
#include "../engine/FitUtil.h"

namespace {

const char kViewClass[] = "FormulaDisplay";
const char kMtExtra[] = "MT Extra";
const char kFences[] = "Fences";
enum : int { FONT_MT_EXTRA = 1, FONT_FENCES = 2, FONT_BOTH = 3 };

// The view's scrolling, in characters and lines of its text font. One fitter window, so
// one view, exists per process.
struct ViewState {
    int lineHeight = 16, charWidth = 8;
    int hRange = 0, vRange = 0, hPos = 0, vPos = 0;
    int pageWidth = 1, pageHeight = 1;  // the client area in characters and lines
};
ViewState gView;

// Fonts: copied into the Fonts folder once in the module's life; which are installed is
// asked once per session.
bool gFontsPending = true;
const FittingSession* gFontsSession = nullptr;
int gFontMask = 0;

// The container that holds members like path's: sample curves in "curvelib.qcs",
// equation pictures in "curvelib.qqs".
std::string ContainerPath(FittingSession* s, const char* path)
{
    const char* dot = strrchr(path, '.');
    const bool curve = dot && _stricmp(dot + 1, "cuv") == 0;
    return HostFolder(s, HOST_GET_PROGRAM_DIR) + (curve ? "curvelib.qcs" : "curvelib.qqs");
}

// A header worth using: the placeable key, and a unit that is not zero (it divides).
bool UsableHeader(const PlaceableHeader& h)
{
    return h.key == PLACEABLE_KEY && h.unitsPerInch != 0 && h.right > h.left && h.bottom > h.top;
}

// The header and the metafile bits behind it, from the loose file or else the container
// member of the same file name. Anything of 22 bytes or less holds no picture.
bool ReadPicture(FittingSession* s, const char* path, PlaceableHeader* header, std::vector<BYTE>* bits)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        const DWORD size = GetFileSize(file, nullptr);
        bool read = false;
        if (size != INVALID_FILE_SIZE && size > sizeof(PlaceableHeader)) {
            std::vector<BYTE> bytes(size);
            DWORD got = 0;
            if (ReadFile(file, bytes.data(), size, &got, nullptr) && got == size) {
                memcpy(header, bytes.data(), sizeof *header);
                bits->assign(bytes.begin() + sizeof *header, bytes.end());
                read = UsableHeader(*header);
            }
        }
        CloseHandle(file);
        if (read)
            return true;
    }
    DWORD size = 0;
    HGLOBAL member = UtilReadContainerMember(ContainerPath(s, path).c_str(), PathFileName(path), &size);
    if (!member)
        return false;
    bool read = false;
    if (size > sizeof(PlaceableHeader)) {
        if (const BYTE* bytes = static_cast<const BYTE*>(GlobalLock(member))) {
            memcpy(header, bytes, sizeof *header);
            bits->assign(bytes + sizeof *header, bytes + size);
            read = UsableHeader(*header);
            GlobalUnlock(member);
        }
    }
    GlobalFree(member);
    return read;
}

std::string PicturePath(const FunctionDef* def, const char* extension)
{
    return std::string(def->path) + extension;
}

HFONT CreateTextFont()
{
    char face[32] = "";
    LoadStringA(FitterInstance, IDS_VIEW_FONT, face, sizeof face);
    if (strcmp(face, "J") == 0)
        return CreateFontA(12, 0, 0, 0, FW_NORMAL, 0, 0, 0, SHIFTJIS_CHARSET, 0, 0, 0, 0, "");
    // Height 6 as a point size: the view's text stays readable whatever the display.
    HDC screen = GetDC(nullptr);
    const int height = -MulDiv(6, screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96, 72);
    if (screen)
        ReleaseDC(nullptr, screen);
    return CreateFontA(height, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "MS Sans Serif");
}

void MeasureText(HDC dc)
{
    HFONT font = CreateTextFont();
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICA tm = {};
    if (GetTextMetricsA(dc, &tm)) {
        gView.lineHeight = tm.tmHeight + tm.tmExternalLeading > 0 ? tm.tmHeight + tm.tmExternalLeading : 16;
        gView.charWidth = tm.tmAveCharWidth > 0 ? tm.tmAveCharWidth : 8;
    }
    SelectObject(dc, old);
    DeleteObject(font);
}

void Scroll(HWND view, int bar, WPARAM wParam)
{
    int& pos = bar == SB_HORZ ? gView.hPos : gView.vPos;
    const int range = bar == SB_HORZ ? gView.hRange : gView.vRange;
    const int page = bar == SB_HORZ ? gView.pageWidth : gView.pageHeight;
    int next = pos;
    switch (LOWORD(wParam)) {
    case SB_LINEUP:
        next = pos - 1;
        break;
    case SB_LINEDOWN:
        next = pos + 1;
        break;
    case SB_PAGEUP:
        next = pos - page;
        break;
    case SB_PAGEDOWN:
        next = pos + page;
        break;
    case SB_THUMBPOSITION:
        next = HIWORD(wParam);
        break;
    default:
        return;
    }
    next = next < 0 ? 0 : next > range ? range : next;
    if (next == GetScrollPos(view, bar))
        return;
    pos = next;
    SetScrollPos(view, bar, pos, TRUE);
    InvalidateRect(view, nullptr, TRUE);
}

// Which equation fonts the records of a picture create.
struct FontsSeen {
    int mask = 0;
};

}  // namespace

int CALLBACK EnumFamCallBack(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM data)
{
    int* mask = reinterpret_cast<int*>(data);
    if (_stricmp(font->lfFaceName, kMtExtra) == 0)
        *mask |= FONT_MT_EXTRA;
    else if (_stricmp(font->lfFaceName, kFences) == 0)
        *mask |= FONT_FENCES;
    return *mask == FONT_BOTH ? 0 : 1;
}

int CALLBACK EnumMetaFileProc(HDC, HANDLETABLE*, METARECORD* record, int, LPARAM data)
{
    // META_CREATEFONTINDIRECT: a 16-bit LOGFONT whose face name follows 18 bytes of fields.
    const DWORD kCreateFont = 0x02FB, kFaceOffset = 18, kFaceChars = 32;
    FontsSeen* seen = reinterpret_cast<FontsSeen*>(data);
    if (record->rdFunction != kCreateFont || record->rdSize * 2 < 6 + kFaceOffset + 1)
        return 1;
    const DWORD available = record->rdSize * 2 - 6 - kFaceOffset;
    char face[kFaceChars + 1] = "";
    memcpy(face, reinterpret_cast<const BYTE*>(record->rdParm) + kFaceOffset,
           available < kFaceChars ? available : kFaceChars);
    if (_stricmp(face, kMtExtra) == 0)
        seen->mask |= FONT_MT_EXTRA;
    else if (_stricmp(face, kFences) == 0)
        seen->mask |= FONT_FENCES;
    return seen->mask == FONT_BOTH ? 0 : 1;
}

int GetPictureExtent(FittingSession* s, const char* path, PlaceableHeader* header)
{
    std::vector<BYTE> bits;
    return ReadPicture(s, path, header, &bits) ? 0 : 1;
}

HMETAFILE LoadFunctionMetafile(FittingSession* s, const char* path, PlaceableHeader* header)
{
    PlaceableHeader h = {};
    std::vector<BYTE> bits;
    if (!ReadPicture(s, path, &h, &bits))
        return nullptr;
    if (header)
        *header = h;
    return SetMetaFileBitsEx(static_cast<UINT>(bits.size()), bits.data());
}

int PlayFunctionMetafile(FittingSession* s, HDC dc, const char* path)
{
    HMETAFILE metafile = LoadFunctionMetafile(s, path);
    if (!metafile)
        return 1;
    const int saved = SaveDC(dc);
    PlayMetaFile(dc, metafile);
    RestoreDC(dc, saved);
    DeleteMetaFile(metafile);
    return 0;
}

void PaintFunctionView(FittingSession* s, HDC dc, int width, int height, const FunctionDef* def, int mode,
                       int horizontal, int vertical)
{
    RECT client = {0, 0, width, height};
    if (!def) {
        HBRUSH cyan = CreateSolidBrush(RGB(0, 255, 255));
        FillRect(dc, &client, cyan);
        DeleteObject(cyan);
        return;
    }
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    MeasureText(dc);
    if (mode == 0 || mode == 1) {
        PlaceableHeader h = {};
        HMETAFILE metafile = LoadFunctionMetafile(s, PicturePath(def, mode == 0 ? ".wmf" : ".cuv").c_str(), &h);
        if (metafile) {
            const int saved = SaveDC(dc);
            SetMapMode(dc, MM_ANISOTROPIC);
            // The header's box is the picture's own coordinate space; a picture that sets
            // its own window extent overrides it as it plays.
            SetWindowOrgEx(dc, h.left, h.top, nullptr);
            SetWindowExtEx(dc, h.right - h.left, h.bottom - h.top, nullptr);
            bool play = true;
            if (mode == 1) {
                // The sample curve is stretched over the whole view.
                SetViewportOrgEx(dc, 0, 0, nullptr);
                SetViewportExtEx(dc, width, height, nullptr);
            } else {
                const int scaledWidth = MulDiv(h.right - h.left, PICTURE_PIXELS_PER_INCH, h.unitsPerInch);
                const int scaledHeight = MulDiv(h.bottom - h.top, PICTURE_PIXELS_PER_INCH, h.unitsPerInch);
                play = scaledHeight > vertical * gView.lineHeight;
                SetViewportOrgEx(dc, -horizontal * gView.charWidth, -vertical * gView.lineHeight, nullptr);
                SetViewportExtEx(dc, scaledWidth, scaledHeight, nullptr);
            }
            if (play)
                PlayMetaFile(dc, metafile);
            RestoreDC(dc, saved);
            DeleteMetaFile(metafile);
            return;
        }
    }
    const int saved = SaveDC(dc);
    HFONT font = CreateTextFont();
    SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetMapMode(dc, MM_TEXT);
    SetViewportOrgEx(dc, -horizontal * gView.charWidth, -vertical * gView.lineHeight, nullptr);
    DrawFunction(s, def, dc, 0, gView.lineHeight, s->basicFitter == KW_YES);
    RestoreDC(dc, saved);
    DeleteObject(font);
}

void ShowFunctionInView(FittingSession* s, HWND view, const FunctionDef* def)
{
    RECT client = {};
    GetClientRect(view, &client);
    if (HDC dc = GetDC(view)) {
        MeasureText(dc);
        ReleaseDC(view, dc);
    }
    gView.pageWidth = client.right / gView.charWidth;
    gView.pageHeight = client.bottom / gView.lineHeight;
    gView.hRange = gView.vRange = 0;
    if (def && s->viewMode == 0) {
        PlaceableHeader h = {};
        if (GetPictureExtent(s, PicturePath(def, ".wmf").c_str(), &h) == 0) {
            const int scaledWidth = MulDiv(h.right - h.left, PICTURE_PIXELS_PER_INCH, h.unitsPerInch);
            const int scaledHeight = MulDiv(h.bottom - h.top, PICTURE_PIXELS_PER_INCH, h.unitsPerInch);
            if (scaledWidth > client.right)
                gView.hRange = scaledWidth / gView.charWidth - gView.pageWidth;
            if (scaledHeight > client.bottom)
                gView.vRange = scaledHeight / gView.lineHeight - gView.pageHeight;
        }
    } else if (def && s->viewMode == 2) {
        gView.hRange = def->measuredWidth - gView.pageWidth;
        gView.vRange = def->measuredLines - gView.pageHeight + 1;
    }
    gView.hRange = gView.hRange > 0 ? gView.hRange : 0;
    gView.vRange = gView.vRange > 0 ? gView.vRange : 0;
    gView.hPos = gView.vPos = 0;
    SetScrollRange(view, SB_HORZ, 0, gView.hRange, FALSE);
    SetScrollRange(view, SB_VERT, 0, gView.vRange, FALSE);
    SetScrollPos(view, SB_HORZ, 0, TRUE);
    SetScrollPos(view, SB_VERT, 0, TRUE);
    InvalidateRect(view, nullptr, TRUE);
}

void CheckFunctionPictures(FittingSession* s, const FunctionDef* def, bool* picture, bool* curve)
{
    PlaceableHeader h;
    const std::string equation = PicturePath(def, ".wmf");
    *picture = GetPictureExtent(s, equation.c_str(), &h) == 0 && PictureFontsAvailable(s, equation.c_str());
    *curve = GetPictureExtent(s, PicturePath(def, ".cuv").c_str(), &h) == 0;
}

int InstallEquationFonts(FittingSession* s)
{
    if (gFontsPending) {
        gFontsPending = false;
        const std::string program = HostFolder(s, HOST_GET_PROGRAM_DIR);
        char windows[MAX_PATH] = "";
        GetWindowsDirectoryA(windows, sizeof windows);
        int added = 0;
        for (const char* name : {"Fences", "MTExtra"}) {
            const std::string source = program + name + ".ttf";
            const std::string target = std::string(windows) + "\\Fonts\\" + name + ".ttf";
            // A font already in the Fonts folder, or missing here, is left alone.
            if (CopyFileA(source.c_str(), target.c_str(), TRUE) && AddFontResourceA(target.c_str()) > 0)
                ++added;
        }
        if (added > 0)
            SendMessageA(HWND_BROADCAST, WM_FONTCHANGE, 0, 0);
    }
    if (gFontsSession != s) {
        gFontsSession = s;
        gFontMask = 0;
        HDC dc = GetDC(s->hostWindow);
        if (dc) {
            EnumFontFamiliesA(dc, nullptr, reinterpret_cast<FONTENUMPROCA>(EnumFamCallBack),
                              reinterpret_cast<LPARAM>(&gFontMask));
            ReleaseDC(s->hostWindow, dc);
        }
    }
    return gFontMask;
}

bool PictureFontsAvailable(FittingSession* s, const char* picturePath)
{
    HMETAFILE metafile = LoadFunctionMetafile(s, picturePath);
    if (!metafile)
        return false;
    const int installed = InstallEquationFonts(s);
    FontsSeen seen;
    HDC dc = GetDC(s->hostWindow);
    if (dc) {
        EnumMetaFile(dc, metafile, EnumMetaFileProc, reinterpret_cast<LPARAM>(&seen));
        ReleaseDC(s->hostWindow, dc);
    }
    DeleteMetaFile(metafile);
    return (seen.mask & ~installed) == 0;
}

LRESULT CALLBACK EquationPicScroll(HWND view, UINT message, WPARAM wParam, LPARAM lParam)
{
    FittingSession* s = WindowSession();
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(view, &ps);
        RECT client;
        GetClientRect(view, &client);
        if (s)
            PaintFunctionView(s, dc, client.right, client.bottom, s->current, s->viewMode, gView.hPos, gView.vPos);
        EndPaint(view, &ps);
        return 0;
    }
    case WM_HSCROLL:
        Scroll(view, SB_HORZ, wParam);
        return 0;
    case WM_VSCROLL:
        Scroll(view, SB_VERT, wParam);
        return 0;
    }
    return DefWindowProcA(view, message, wParam, lParam);
}

bool RegisterFormulaDisplay(HINSTANCE instance)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = EquationPicScroll;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = kViewClass;
    wc.style = CS_GLOBALCLASS;  // the page templates name the class
    return RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}
