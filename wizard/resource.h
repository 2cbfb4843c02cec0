// Resource ids of qxdlgwizard.dll.
#pragma once

// Step dialogs: each step is built with the dialog resource of its number.
#define IDD_STEP_PROJECT_KIND   100
#define IDD_STEP_DIALOG_INFO    101
#define IDD_STEP_TABS           102
#define IDD_STEP_PAGES          103

// Step 100
#define IDC_KIND_EMPTY          1000
#define IDC_KIND_SIMPLE         1001
#define IDC_KIND_TABBED         1002
#define IDC_KIND_WIZARD         1003

// Steps 101 to 103
#define IDC_CAPTION             1000
#define IDC_RESOURCE_ID         1001
#define IDC_SCRIPT_NAME         1002
#define IDC_NEXT_HINT           1005
#define IDC_CHILD_LIST          1022
#define IDC_ADD                 1023
#define IDC_UP                  1024
#define IDC_DOWN                1025
#define IDC_REMOVE              1026

#define IDS_TABS_HINT           3
#define IDS_PAGES_HINT          4
#define IDS_LIST_COLUMNS        6
#define IDS_CAPTION_EMPTY       2000
#define IDS_CAPTION_USED        2001
#define IDS_RESOURCE_ID_EMPTY   2002
#define IDS_RESOURCE_ID_USED    2003
#define IDS_SCRIPT_NAME_EMPTY   2004
#define IDS_SCRIPT_NAME_USED    2005
#define IDS_CAPTION_QUOTE       2006
#define IDS_RESOURCE_ID_INVALID 2007
#define IDS_RESOURCE_ID_TAKEN   2008
#define IDS_SCRIPT_NAME_INVALID 2009
#define IDS_ADD_ERROR_CAPTION   2010
#define IDS_DIALOG_INFO_CAPTION 2011
