// TQRVNBaseUI: the catalog dialogs on Qt Widgets.  The one header a host
// includes for the dialogs library; it needs Qt's headers (RVNDialogs.h
// alone does not).
#pragma once

#include "TQRVNBaseExport.h"

#include "ui/CTQCatalogDlg.h"
#include "ui/CTQDuctSpecDlg.h"
#include "ui/CTQPipeSpecDlg.h"
#include "ui/CTQPipeValveDlg.h"
#include "ui/CTQPrompter.h"
#include "ui/CTQPropTableDlg.h"
#include "ui/CTQPropertyGrid.h"
#include "ui/CTQReportGrid.h"
#include "ui/CTQSteamPropDlg.h"
#include "ui/CTQWaterPropDlg.h"
#include "ui/RVNDialogs.h"
