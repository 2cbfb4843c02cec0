// Resources of the frames' test program: a main frame and two document templates.
#pragma once
#define IDR_TEST_MAINFRAME 480
#define IDR_TEST_WKS 501
#define IDR_TEST_GRAPH 502
#define IDR_TEST_NOTES 506
#define ID_TEST_WINDOW_CASCADE 0xE130
#define IDS_TEST_STATUS_ACTIVE 40001
