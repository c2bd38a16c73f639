// TQRVNBase: hydraulic calculations, pipe sizing and the engineering catalog.
// The one header a host includes for the whole core API.
#pragma once

#include "TQRVNBaseExport.h"

#include "calc/RVNCalc.h"

#include "catalog/CTQArray.h"
#include "catalog/CTQMap.h"
#include "catalog/CXTPPropExchange.h"
#include "sizing/CTQPipeData.h"

#include "catalog/RVNDataBase.h"
#include "catalog/CatalogBuilder.h"
#include "catalog/CTQPipeSpec.h"
#include "catalog/CTQPipeMatl.h"
#include "catalog/CTQDuctSpec.h"
#include "catalog/CTQPipeValve.h"
#include "catalog/CTQWaterProp.h"
#include "catalog/CTQSteamProp.h"
#include "catalog/CatalogChecks.h"
#include "catalog/CatalogCopy.h"

#include "db/ADODatabase.h"
#include "db/ADOException.h"
#include "db/ADOFault.h"
#include "db/AtomicFile.h"
#include "db/ADORecordset.h"
#include "db/NumberText.h"
#include "db/provider/RVNADO.h"
#include "db/provider/RVNADOTypes.h"
#include "db/provider/Variant.h"

#include "sizing/RVNSizing.h"
#include "db/ADOCommand.h"
#include "db/ADORecordBinding.h"
#include "db/provider/Bitmap.h"
#include "db/CsvReader.h"
#include "db/TextEncoding.h"

#include "design/DesignTypes.h"
#include "design/Quantity.h"
#include "design/CatalogSnapshot.h"
#include "design/SegmentDesign.h"
#include "design/DuctDesign.h"
#include "design/SegmentFields.h"

#include "network/Network.h"
