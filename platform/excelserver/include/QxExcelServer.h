// The stand-in spreadsheet automation server: what a client needs to know beyond the
// dispatch identifiers of the automation surface itself (see README.md).
#pragma once
#include <windows.h>

// The class registered under the ProgID "Excel.Sheet.8": a workbook object.
// {5E1C7A40-9C3B-4D7E-A1F2-3B6C8D0E4F11}
DEFINE_GUID(CLSID_QxStandInWorkbook, 0x5e1c7a40, 0x9c3b, 0x4d7e, 0xa1, 0xf2, 0x3b, 0x6c, 0x8d, 0x0e, 0x4f, 0x11);

// Test controls on the Application object. They lie outside the identifiers a real
// server uses, so no client code reaches them by accident.
enum {
    // put (count, scode): the next `count` calls into any object of the server fail with
    // `scode` (RPC_E_CALL_REJECTED imitates a server busy editing a cell).
    QXDISPID_FAILNEXTCALLS = 0x6F000001,
    // put n: reading or writing Value over more than n cells fails with E_OUTOFMEMORY,
    // as a server short of memory refuses large blocks; 0 lifts the limit.
    QXDISPID_MAXTRANSFERCELLS = 0x6F000002,
    // put VARIANT: what GetSaveAsFilename answers (a file name, or FALSE for a cancel).
    QXDISPID_SAVEASANSWER = 0x6F000003,
    // get: the members called since the last get, one "Object.Member" per line.
    QXDISPID_CALLLOG = 0x6F000004,
    // put text: the version text the Application reports ("8.0" at start).
    QXDISPID_VERSION = 0x6F000005,
    // get: the data object (VT_UNKNOWN) a drag of the active sheet's selection offers.
    QXDISPID_DRAGDATA = 0x6F000006,
};
