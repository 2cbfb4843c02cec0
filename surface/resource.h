// Resource ids of qxsurface.dll.
#pragma once

#define IDS_STORE_GROW_FAILED 23000
