// Resources of the application core's tests: a main frame and the six window kinds.
#pragma once

#define IDR_TEST_MAINFRAME 480
#define IDR_TEST_WKS 501
#define IDR_TEST_GRAPH 502
#define IDR_TEST_LAYOUT 503
#define IDR_TEST_MATRIX 504
#define IDR_TEST_EXCEL 505
#define IDR_TEST_NOTES 506
#define IDS_TEST_COMMAND 36084
#define IDS_TEST_SECTION_COMMAND 36085
#define IDS_TEST_NO_SCRIPT 36086
#define IDS_TEST_FAILING_COMMAND 36087
#define IDS_TEST_FILE_COMMAND 34000
