#include "ui/CTQSteamPropDlg.h"

#include "ui/RVNDialogs.h"

#include "catalog/RVNDataBase.h"

#include <QApplication>

#include <cstdio>

CTQSteamPropDlg::~CTQSteamPropDlg() = default;

namespace RVN {

bool ShowSteamPropDlg(CTQSteamProp& prop, CADODatabase* db) {
    if (!EnsureDialogApplication()) {
        return false;
    }
    if (!db) {
        db = GetRVNBaseDataBase();
    }
    try {
        CTQSteamPropDlg dlg(db, prop, QApplication::activeWindow());
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
