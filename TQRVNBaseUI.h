// TQRVNBaseUI: the one header a host includes for the catalog dialogs, beside
// TQRVNBase.h for the core.  The same as <ui/TQRVNBaseUI.h>; it needs Qt's
// headers.
#pragma once

#include "ui/TQRVNBaseUI.h"
