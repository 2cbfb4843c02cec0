// Resource ids of the document/view test program.
#pragma once

#define IDR_MAINFRAME 200
#define IDR_TEXTTYPE 201
#define IDR_DATATYPE 202

#define ID_TEST_VIEW 32800
#define ID_TEST_DOC 32801
#define ID_TEST_FRAME 32802
#define ID_TEST_APP 32803
#define ID_TEST_NONE 32804
#define ID_TEST_CHECKED 32805
#define ID_TEST_DISABLED 32806
#define ID_TEST_SHARED 32807
#define ID_TEST_TEMPLATE 32808

#define IDD_BAR 210
#define IDC_BAR_EDIT 2100
#define IDR_SDITYPE 203
