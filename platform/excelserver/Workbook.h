// The stand-in server's workbooks: sheets of cells, the selection, a file of its own, and
// the automation objects that reach them through IDispatch.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <oleauto.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace qxxl {

// Rows and columns of a sheet, as the version 8 clients expect them.
const int kMaxRows = 65536;
const int kMaxCols = 256;

struct Cell {
    VARTYPE vt = VT_EMPTY; // VT_R8, VT_BSTR, VT_BOOL, VT_CY or VT_DATE
    double number = 0;     // VT_R8, VT_DATE
    LONGLONG currency = 0; // VT_CY, in ten-thousandths
    bool flag = false;     // VT_BOOL
    std::string text;      // VT_BSTR, UTF-8
};

// A block of cells, 1-based and inclusive.
struct Area {
    int r1, c1, r2, c2;
    int Rows() const { return r2 - r1 + 1; }
    int Cols() const { return c2 - c1 + 1; }
};

struct Sheet {
    std::string name;
    std::map<std::pair<int, int>, Cell> cells; // by (row, column)
    std::vector<Area> selection{{1, 1, 1, 1}};
    const Cell* Find(int row, int col) const;
    void Put(int row, int col, const Cell& cell); // an empty cell is removed
    Area UsedRange() const;
};

struct Book {
    std::vector<std::shared_ptr<Sheet>> sheets;
    int active = 0; // index of the active sheet
    bool saved = true;
    std::wstring file;

    Book(); // one sheet, "Sheet1"
    int FindSheet(const std::string& name) const; // -1 when there is none
    std::string NextSheetName() const;
    // The file: a header line, then per sheet "SHEET name" and its cells.
    bool Save(const std::wstring& path) const;
    bool Load(const std::wstring& path, std::string& error);
    // The same text in memory, for a workbook kept inside a container's storage.
    std::string Write() const;
    bool Read(const std::string& text, std::string& error);

    // Called after each automation call that may change the book (cells, sheets, the
    // active sheet, the selection), so what shows the book can follow.
    std::function<void()> changed;
};

// Server-wide state: test controls, the call log, live objects.
struct ServerState {
    LONG objects = 0;
    LONG locks = 0;
    int failCount = 0;
    SCODE failCode = S_OK;
    int maxTransferCells = 0;
    VARIANT saveAsAnswer; // VT_EMPTY until set: then FALSE is answered
    std::string callLog;
    std::string version = "8.0";
    ServerState() { VariantInit(&saveAsAnswer); }
};
ServerState& Server();

std::string FromBSTR(BSTR text);
BSTR ToBSTR(const std::string& text);
// "A1", "$B$3", "A1:A2048", "A:B" (whole columns), areas separated by commas.
bool ParseRangeName(const std::string& name, std::vector<Area>& areas);

// The text a cell shows: numbers in up to 15 significant digits, currency in two decimals.
std::string CellText(const Cell* c);
std::string FormatNumber(double v);

// The automation object of a workbook (IDispatch, IPersistFile), one reference.
IDispatch* NewWorkbookDispatch(const std::shared_ptr<Book>& book);
// A new workbook that can also be embedded and activated in place, for the class factory.
HRESULT CreateWorkbookObject(REFIID riid, void** object);
// What a drag of the active sheet's selection offers (IDataObject, also the drag's
// IDropSource): "Link Source" naming the book's file, the sheet and the block.
// MK_E_UNAVAILABLE when the book has no file.
HRESULT CreateRangeDragData(const Book& book, IDataObject** data);

} // namespace qxxl
