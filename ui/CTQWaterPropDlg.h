// CTQWaterPropDlg: the catalog's water properties by temperature, one row
// chosen and handed back; editable on a connection.
#pragma once

#include "TQRVNBaseExport.h"
#include "ui/CTQPropTableDlg.h"

class TQRVNBASEUI_API CTQWaterPropDlg : public CTQPropTableDlg<CTQWaterProp> {
public:
    using CTQPropTableDlg<CTQWaterProp>::CTQPropTableDlg;
    ~CTQWaterPropDlg() override;
};
