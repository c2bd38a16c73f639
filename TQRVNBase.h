// TQRVNBase: hydraulic calculations, pipe sizing and the engineering catalog.
// The one header a host includes for the whole core API.
#pragma once

#include "TQRVNBaseExport.h"

#include "calc/RVNCalc.h"

#include "catalog/CTQArray.h"
#include "catalog/CTQMap.h"
#include "catalog/CXTPPropExchange.h"
#include "sizing/CTQPipeData.h"
