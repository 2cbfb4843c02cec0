// Everything a framework plug-in includes.
#pragma once

#include "QmData.h"
#include "QmErrors.h"
#include "QmHostRequests.h"
#include "QmLayer.h"
#include "QmMatrix.h"
#include "QmObjects.h"
#include "QmVector.h"
#include "QmWks.h"
