// Resource ids of the Group, box Data and Percentile pages (templates in PlotDetailsResources.h).
#pragma once

// Group page.
#define IDC_PD_GROUP_MEMBERS 1152
#define IDC_PD_GROUP_INDEPENDENT 1153
#define IDC_PD_GROUP_DEPENDENT 1154
#define IDC_PD_GROUP_OPTION0 1155 // eight check boxes, 1155 to 1162
#define IDC_PD_GROUP_OPTION7 1162

// Box chart Data page.
#define IDC_PD_BOXD_CURVE_TYPE 1342
#define IDC_PD_BOXD_SNAP 1343
#define IDC_PD_BOXD_BIN_SIZE 1376
#define IDC_PD_BOXD_BIN_BEGIN 1377
#define IDC_PD_BOXD_BIN_END 1378
#define IDC_PD_BOXD_ALIGN_CENTER 1379
#define IDC_PD_BOXD_ALIGN_LEFT 1380
#define IDC_PD_BOXD_ALIGN_RIGHT 1381
#define IDC_PD_BOXD_PREVIEW 1392
#define IDC_PD_BOXD_SINGLE 1393
#define IDC_PD_BOXD_CURVE_SCALE 1394
#define IDC_PD_BOXD_TYPE 1395
#define IDC_PD_BOXD_BIN_HEIGHT 1396
#define IDC_PD_BOXD_BIN_COUNT 1406
#define IDC_PD_BOXD_AUTO_BIN 1407
#define IDC_PD_BOXD_ALIGN_GROUP 1410

// Percentile page: the symbol buttons of maximum, 99 %, mean, 1 % and minimum.
#define IDC_PD_PERC_MAX 1386
#define IDC_PD_PERC_MEAN 1387
#define IDC_PD_PERC_MIN 1388
#define IDC_PD_PERC_99 1389
#define IDC_PD_PERC_1 1390
#define IDC_PD_PERC_SIZE 1391
#define IDC_PD_PERC_EDGE 1408
#define IDC_PD_PERC_FILL 1409

#define IDS_PD_BIN_COUNT_EXCEEDS 10363
#define IDS_PD_ZERO_BIN_WIDTH 10371
#define IDS_PD_CURVE_SCALES 41380
#define IDS_PD_PERC_SIZES 41381
