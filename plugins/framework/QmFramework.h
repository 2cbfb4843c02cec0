// Everything a framework plug-in includes.
#pragma once

#include "QmErrors.h"
#include "QmHostRequests.h"
#include "QmObjects.h"
