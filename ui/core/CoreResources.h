// Resource ids of the application core.
#pragma once

#define IDS_QU_MENU_LEVEL_MAXIMIZED 10079
#define IDS_QU_BUTTON_GROUP 10535
#define IDS_QU_BUTTON_GROUP_INI_NAME 10542
#define IDS_QU_BUTTON_GROUP_INI_EXISTS 10543
