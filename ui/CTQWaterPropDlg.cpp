#include "ui/CTQWaterPropDlg.h"

#include "ui/RVNDialogs.h"

#include "catalog/RVNDataBase.h"

#include <QApplication>

#include <cstdio>

CTQWaterPropDlg::~CTQWaterPropDlg() = default;

namespace RVN {

bool ShowWaterPropDlg(CTQWaterProp& prop, CADODatabase* db) {
    if (!EnsureDialogApplication()) {
        return false;
    }
    if (!db) {
        db = GetRVNBaseDataBase();
    }
    try {
        CTQWaterPropDlg dlg(db, prop, QApplication::activeWindow());
        if (dlg.DoModal() != CTQCatalogDlg::IDOK) {
            return false;
        }
        prop = dlg.Result();
        return true;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "TQRVNBaseUI: %s\n", e.what());
        return false;
    }
}

} // namespace RVN
