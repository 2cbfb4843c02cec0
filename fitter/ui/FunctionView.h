// The function view of the select page (window class "FormulaDisplay"): the selected
// function's equation picture, its sample curve or the text of its function file, with
// the equation fonts the pictures use.
//
// Pictures (".wmf") and sample curves (".cuv") are metafiles behind a 22-byte placeable
// header, beside the function file or, without such a file, members of the containers
// "curvelib.qqs" (pictures) and "curvelib.qcs" (curves) in the program folder.
#pragma once

#include <windows.h>
#include <stdint.h>

struct FittingSession;
struct FunctionDef;

// The placeable header as it is in the file.
#pragma pack(push, 1)
struct PlaceableHeader {
    uint32_t key;  // 0x9AC6CDD7
    uint16_t handle;
    int16_t left, top, right, bottom;
    uint16_t unitsPerInch;
    uint32_t reserved;
    uint16_t checksum;
};
#pragma pack(pop)
static_assert(sizeof(PlaceableHeader) == 22, "the placeable metafile header is 22 bytes");

enum : uint32_t { PLACEABLE_KEY = 0x9AC6CDD7u };
enum : int { PICTURE_PIXELS_PER_INCH = 124 };

// Window procedure of the view (ordinal 51); registered with the fitter's classes.
extern "C" LRESULT CALLBACK EquationPicScroll(HWND view, UINT message, WPARAM wParam, LPARAM lParam);
bool RegisterFormulaDisplay(HINSTANCE instance);

// The font-family and metafile-record callbacks (ordinals 52, 53).
extern "C" int CALLBACK EnumFamCallBack(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM data);
extern "C" int CALLBACK EnumMetaFileProc(HDC, HANDLETABLE*, METARECORD* record, int, LPARAM data);

// The header of path (with its extension): 0 read, 1 when neither the loose file nor the
// container member holds a usable one.
int GetPictureExtent(FittingSession* s, const char* path, PlaceableHeader* header);
// The metafile of path (with its extension), or null.
HMETAFILE LoadFunctionMetafile(FittingSession* s, const char* path, PlaceableHeader* header = nullptr);
// Plays the metafile of path on dc between a save and a restore of the dc; 1 when it could
// not be loaded.
int PlayFunctionMetafile(FittingSession* s, HDC dc, const char* path);

// Draws the view's content for the function in the mode given (0 equation, 1 sample curve,
// 2 file text) into dc over a client area of width x height, scrolled by the positions
// (characters, lines). What cannot be drawn falls back to the file text.
void PaintFunctionView(FittingSession* s, HDC dc, int width, int height, const FunctionDef* def, int mode,
                       int horizontal, int vertical);

// The view's scroll ranges for the function and the session's view mode; both positions
// go back to 0. No function: both ranges 0.
void ShowFunctionInView(FittingSession* s, HWND view, const FunctionDef* def);

// Whether the function has an equation picture it can show (fonts installed) and a sample
// curve.
void CheckFunctionPictures(FittingSession* s, const FunctionDef* def, bool* picture, bool* curve);

// Installs the equation fonts from the program folder when they are missing (once in the
// module's life), then answers which are there: 1 "MT Extra", 2 "Fences".
int InstallEquationFonts(FittingSession* s);
// True when the picture uses no equation font that is missing.
bool PictureFontsAvailable(FittingSession* s, const char* picturePath);
