// The utility library qxutil.dll: numbers and text, dates, files and profile texts,
// distribution functions, matrix inversion, the progress box and the drawing helpers
// of the 3D engine. Callers bind these functions by ordinal (the comment before each
// gives it); the import library does that for code that links against qxutil.
//
// Conventions every function keeps:
// - Null pointers and empty texts never crash: they give the failure answer stated.
// - Functions that take a buffer size truncate to it and always terminate the text.
// - Functions that write text with no size given state the room the caller must provide.
// - Numbers that cannot be computed are MISSING_VALUE (qxdefs.h) unless stated otherwise.
#pragma once
#include <windows.h>
#include <stddef.h>
#include <stdint.h>

#ifdef QXUTIL_BUILD
#define QXUTIL_API
#else
#define QXUTIL_API __declspec(dllimport)
#endif

#ifdef __cplusplus
extern "C" {
#endif

// ---- Numbers ---------------------------------------------------------------------------

// Room a caller must give UtilFormatNumber; no format writes more (terminator included).
#define UTIL_NUMBER_TEXT_SIZE 40

// 3: the integer at the start of the text (blanks skipped, optional sign, digits up to
// the first other character). No digits, or a null text, give 0; values beyond the
// 32-bit range are clamped to it.
QXUTIL_API int UtilTextToInt(const char *text);

// 4: the value of a text that holds one decimal number and nothing else but blanks
// ("1.5", "-2e3", ".5"). Anything else (empty, "1.5x", "inf", "nan", a number too large
// for a double) gives MISSING_VALUE; a number too small for a double gives 0.
QXUTIL_API double UtilTextToDouble(const char *text);

// 5: the decimal text of an integer, in a buffer of the calling thread that stays valid
// until that thread's next call.
QXUTIL_API const char *UtilIntToText(int value);

// 7: the number as text in `buffer` (at least UTIL_NUMBER_TEXT_SIZE bytes); returns
// `buffer`, or null when buffer is null. Formats:
//   ".n"  n decimals (0..15), e.g. ".1": 0.25 -> "0.2" (the binary value decides ties);
//         |x| >= 1e15 in exponent form with n decimals ("1.5E+20");
//   "*n"  n significant digits (1..17), laid out as C's %G: 1150 with "*3" -> "1.15E+03",
//         0.5 -> "0.5" (trailing zeros dropped);
//   "*"   (also "*0", null or an unknown format) the shortest text that reads back as the
//         very same double, laid out as "*17" would.
// MISSING_VALUE, infinities and NaN are written "--"; negative zero as "0".
QXUTIL_API char *UtilFormatNumber(double value, char *buffer, const char *format);

// 8: removes blanks (spaces and tabs) from the text in place, except inside double
// quotes, so quoted names keep their blanks. Returns the text (null for null).
QXUTIL_API char *UtilStripBlanks(char *text);

// 9: reads the decimal number at the start of the text (after blanks) into *value and
// returns the number of characters used (blanks included); what follows the number is
// left alone. No number: *value := MISSING_VALUE and the answer is 0.
QXUTIL_API int UtilScanNumber(const char *text, double *value);

// ---- Text ------------------------------------------------------------------------------

// Options of UtilFindSeparator. 0 and UTIL_SEP_PLAIN find the first occurrence.
#define UTIL_SEP_PLAIN 1
// Separators inside parentheses, brackets, braces or double quotes are passed over, so
// that "f(1,2),3" splits after ")".
#define UTIL_SEP_SKIP_NESTED 16

// 14: pointer to the first `separator` in the text (see the options above), or null
// when there is none or the text is null. Callers split argument lists with it.
QXUTIL_API char *UtilFindSeparator(const char *text, int separator, int option);

// 15: the text inside double quotes: the first non-blank character must be '"'; the
// closing quote is replaced by a terminator in place and a pointer to the first quoted
// character returned. No opening or closing quote (or a null text): null.
QXUTIL_API char *UtilQuotedText(char *text);

// 92: copies the next word of `text` (words are separated by blanks, tabs, CR and LF)
// into `buffer`, which must hold strlen(text) + 1 bytes, and returns the text right
// behind the word. No word left: buffer := "" and null is returned.
QXUTIL_API const char *UtilNextWord(char *buffer, const char *text);

// 930: splits a member name into its base name and trailing decimal index: "X3" gives
// "X" and 3, "DF12" "DF" and 12, "X" "X" and 0. `base` must hold strlen(name) + 1
// bytes. An index too large for an int gives -1. Returns 1 when the name ends in
// digits, else 0 (also for null arguments, which leave the outputs untouched).
QXUTIL_API int UtilSplitIndexedName(char *base, int *index, const char *name);

// 120: copies count bytes (overlapping ranges are allowed). Null pointers copy nothing.
QXUTIL_API void UtilCopyBytes(void *destination, const void *source, size_t count);

// 600: nonzero when the first count bytes differ, 0 when they are equal (and for
// count 0). A null pointer with count > 0 differs from anything.
QXUTIL_API int UtilCompareBytes(const void *a, const void *b, size_t count);

// ---- Dates -----------------------------------------------------------------------------

// Calendar fields of UtilCalendarToNumber, as 32-bit values in this order.
struct UtilCalendar {
    int32_t second;   // 0..59 (60 is accepted for a leap second)
    int32_t minute;   // 0..59
    int32_t hour;     // 0..23
    int32_t day;      // 1..31, checked against the month
    int32_t month;    // 0..11
    int32_t year;     // full year, 1..9999, proleptic Gregorian calendar
    int32_t unused[3];
};

// 20: the date number of the fields into *number: days, with the time of day as the
// fraction, counted so that 1899-12-30 00:00 is 2415018 and 1970-01-01 00:00 is
// 2440587 (the Julian day number minus one half). `fieldCount` must be 6 (the fields
// through the year are used). Answers 0 when done; 1 for fields out of range, a null
// pointer or another field count (*number is then untouched).
QXUTIL_API int UtilCalendarToNumber(const UtilCalendar *fields, double *number, int fieldCount);

// ---- Files and profile texts -----------------------------------------------------------

// 22 (no name exported): opens or creates a file as CreateFile does, with the given
// access (GENERIC_READ | GENERIC_WRITE is 0xC0000000) and disposition (CREATE_NEW 1 ..
// TRUNCATE_EXISTING 5); others may read but not write it meanwhile. Returns the handle,
// or INVALID_HANDLE_VALUE (-1) when the file cannot be opened or the path is null.
QXUTIL_API HANDLE UtilOpenFile(const char *path, DWORD access, DWORD disposition);

// 985 (no name exported): the length in bytes of an open file, -1 for a bad handle.
QXUTIL_API int64_t UtilFileLength(HANDLE file);

// The profile readers read the layout of profile (INI) files: "[section]" lines, then
// "key=value" lines. Section and key names compare without regard to case and to blanks
// around them; a value loses the blanks around it and one pair of enclosing quotes, as
// GetPrivateProfileString does. The first section of a name counts. Each answers the
// number of characters written, the terminator not counted.

// 958: a key's value from profile text in memory, like GetPrivateProfileString with
// `text` in place of a file. A null key gives the section's key names, each terminated,
// the list ended by a second terminator (lines starting with ';' are comments). A key or
// section that is missing gives `defaultValue` (null: ""). A value that does not fit is
// cut to size - 1 characters; a key list that does not fit is cut to whole names and
// doubly terminated, and the answer is then size - 2.
QXUTIL_API DWORD UtilReadProfileString(const char *section, const char *key,
                                       const char *defaultValue, char *buffer, DWORD size,
                                       const char *text);

// 957 (no name exported): the body of a section of profile text in memory: every line
// after the "[section]" line up to the next line that starts a section, exactly as it
// stands (line ends, comments and blank lines included). Missing section: "". Cut to
// size - 1 characters when it does not fit.
QXUTIL_API DWORD UtilReadProfileSectionText(const char *section, char *buffer, DWORD size,
                                            const char *text);

// 955 (no name exported): as 957, over the profile file `fileName`. A missing file
// gives "".
QXUTIL_API DWORD UtilReadProfileSection(const char *section, char *buffer, DWORD size,
                                        const char *fileName);

// 980: a member of a container file (layout in the library's README) as a new movable
// global memory block that the caller frees; *size (may be null) := its length. A
// missing file or member, a damaged container or no memory give null and *size := 0.
QXUTIL_API HGLOBAL UtilReadContainerMember(const char *container, const char *member,
                                           DWORD *size);

// ---- Distributions and numerics ----------------------------------------------------------
// Accurate to a relative error of 1e-12 or better for degrees of freedom up to 1e7 and
// probabilities in [1e-12, 1 - 1e-12]; degrees of freedom need not be whole numbers.
// A probability outside (0, 1), degrees of freedom (or beta parameters) outside
// (0, 1e10], NaN or MISSING_VALUE in the arguments, and a quantile beyond the range of
// doubles give the failure answer.

// 2005 (no name exported): quantile of Student's t: args = {p; df}. MISSING_VALUE on
// failure.
QXUTIL_API double UtilTQuantile(const double *args);

// 2006 (no name exported): quantile of the F distribution: args = {p; df1; df2}.
// MISSING_VALUE on failure.
QXUTIL_API double UtilFQuantile(const double *args);

// 2007 (no name exported): quantile of the chi-square distribution: args = {p; df},
// df at most 1e7. -1 on failure. With df = 1 its square root is the normal quantile of
// (1 + p) / 2.
QXUTIL_API double UtilChiSquareQuantile(const double *args);

// 2030: quantile of Student's t: args = {p; df} into *result. Answers 0 when done;
// 1 on failure, with *result := MISSING_VALUE.
QXUTIL_API int UtilStudentTInverse(const double *args, double *result);

// 2036: regularized incomplete beta I_x(a, b): args = {x; a; b} with x in [0, 1],
// a > 0, b > 0. MISSING_VALUE on failure. The upper tail of Student's t with df degrees
// of freedom at t is I_{df/(df+t*t)}(df/2, 1/2) / 2; that of F is
// I_{df2/(df2+df1*F)}(df2/2, df1/2).
QXUTIL_API double UtilIncompleteBeta(const double *args);

// 2038: the error function, in place. MISSING_VALUE and NaN become MISSING_VALUE.
QXUTIL_API void UtilErf(double *x);

// 2108: the binomial coefficient C(j, i) into *result; `jMinusI` must equal j - i.
// Answers 0 when done; 1 for 0 <= i <= j not holding, an inconsistent j - i or a value
// beyond the double range (then *result := MISSING_VALUE).
QXUTIL_API int UtilBinomial(int i, int j, int jMinusI, double *result);

// 2110: record = {x; y; angle}: the angle of the vector (x, y) from the X axis, in
// radians in (-pi, pi], into the third field. Answers nonzero when done; 0 for the null
// vector, MISSING_VALUE or NaN components (the angle field is then untouched).
QXUTIL_API int UtilVectorAngle(double *record);

// 2004: inverts the n x n matrix of doubles (row by row) in place; `option` must be 1.
// Answers 0 when done, 1 when the matrix is singular (to working precision) and 2 for
// bad arguments (n < 1, a null matrix, another option, non-finite elements, no memory).
// On failure the matrix is left as it was.
QXUTIL_API int UtilInvertMatrix(int n, double *matrix, int option);

// ---- Windows -----------------------------------------------------------------------------

// Commands of UtilProgressBox.
#define UTIL_PROGRESS_OPEN 0
#define UTIL_PROGRESS_OPEN_ALT 4096   // as UTIL_PROGRESS_OPEN, the box shown only after half a second
#define UTIL_PROGRESS_SET 1
#define UTIL_PROGRESS_POLL 2
#define UTIL_PROGRESS_CLOSE 3

// 520: the progress box of the calling thread, a small window with the title, a bar, the
// percentage and a Cancel button, owned by `window` (may be null), shown without taking
// the focus. Set also handles the box's messages, so it repaints between polls.
//   open (0 or 4096): shows the box with `title` at 0 %, forgetting an earlier Cancel;
//                     a box already open is reused. Answers 0.
//   set (1):          shows `value` percent (clamped to 0..100). Answers 0.
//   poll (2):         handles the box's pending messages; answers 1 once Cancel was
//                     pressed or the box closed by the user, else 0.
//   close (3):        destroys the box. Answers 0.
// `window` and `title` are used only on open. Without a box (or when no window can be
// made) set, poll and close answer 0. An unknown command answers -1.
QXUTIL_API int UtilProgressBox(HWND window, int command, int value, const char *title);

// Modes of UtilPrepareDC.
#define UTIL_DC_COLOR_COUNT 3     // answers the number of standard colours
#define UTIL_DC_END_OUTLINE 5     // after an outline: stock black pen and null brush
#define UTIL_DC_COLOR_COMBO 7     // fills a combo box with the standard colour names
#define UTIL_DC_AREAS 8           // before area fills: transparent text background,
                                  // alternate fill mode, the registered palette
#define UTIL_DC_END_FILL 11       // after a fill: the stock null brush

// 150: prepares a window or a device context (`target`) for what follows, by `mode`
// (above); the two middle arguments are not used. Mode 7 empties the combo box and adds
// the names of the standard colours (qxcolors.h) in index order, each with its RGB
// value as item data, so that a selection index is a colour index; it answers the
// number of colours, or -1 when target is no window. Modes 5, 8 and 11 answer 1, or 0
// when target is no device context. Mode 3 answers the colour count. Other modes: -1.
QXUTIL_API int UtilPrepareDC(HANDLE target, int unused1, int unused2, int mode);

// Operations of UtilPaletteService.
#define UTIL_PALETTE_REGISTER 7
#define UTIL_PALETTE_DISPLAY_COLOR 10

// One colour slot as colour maps keep it (10 bytes, packed); only the colour is read.
#pragma pack(push, 1)
struct UtilColorSlot {
    uint32_t color;     // 0x00BBGGRR
    int16_t level;
    int32_t object;
};
#pragma pack(pop)

// 530: the colours that drawing asks for.
//   register (7): `value` colour slots at `data` (UtilColorSlot, at most 256 are kept)
//                 become the library's palette, realised by UtilPrepareDC mode 8 on
//                 devices that use palettes. Answers the number kept (0 for null data).
//   display colour (10): `value` is a colour 0x00BBGGRR; answers the colour the device
//                 context `dc` shows for it (the nearest one on palette devices; the
//                 colour itself with no dc or on true-colour devices).
// Other operations answer 0.
QXUTIL_API DWORD UtilPaletteService(HDC dc, int operation, DWORD_PTR value, const void *data);

#ifdef __cplusplus
}
#endif
