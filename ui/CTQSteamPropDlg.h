// CTQSteamPropDlg: the catalog's saturated-steam properties by temperature,
// one row chosen and handed back; editable on a connection.
#pragma once

#include "TQRVNBaseExport.h"
#include "ui/CTQPropTableDlg.h"

class TQRVNBASEUI_API CTQSteamPropDlg : public CTQPropTableDlg<CTQSteamProp> {
public:
    using CTQPropTableDlg<CTQSteamProp>::CTQPropTableDlg;
    ~CTQSteamPropDlg() override;
};
