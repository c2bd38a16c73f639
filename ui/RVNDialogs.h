// The catalog dialogs a host calls.  This header needs no Qt headers: a
// host without Qt of its own links the dialogs library and calls these.
//
// Each function runs its dialog modally on the calling thread, which must be
// the user-interface thread.  When the host runs no QApplication one is
// created on first use, provided a display can be opened (see
// RVN::EnsureDialogApplication); without one the functions return false
// (Cancel) at once, after a line on standard error.
#pragma once

#include "TQRVNBaseExport.h"
#include "catalog/CTQArray.h"
#include "catalog/CTQDuctSpec.h"
#include "catalog/CTQPipeValve.h"
#include "catalog/CTQSteamProp.h"
#include "catalog/CTQWaterProp.h"

class CADODatabase;

namespace RVN {

/// The pipe materials of one kind (1 water, 2 plastic, 3 PPR pipe, any other
/// value all) with their sizes, editable with a connection (null: the
/// default catalog connection).  True when closed with OK after every change
/// was written.
TQRVNBASEUI_API bool ShowPipeSpecDlg(int kind, CADODatabase* db = nullptr);

/// The catalog's circular and rectangular duct sizes, editable with a
/// connection (null: the default catalog connection).  True when closed
/// with OK after every change was written.
TQRVNBASEUI_API bool ShowDuctSpecDlg(CADODatabase* db = nullptr);

/// Shows two lists of duct sizes (circular, rectangular) read-only; the
/// caller's arrays are never changed.
TQRVNBASEUI_API void ShowDuctSpecDlg(CTQArray<CTQDuctSpec>& circular,
                                     CTQArray<CTQDuctSpec>& rectangular);

/// The catalog's water property rows in temperature order; the user picks
/// one and, with a connection (null: the default catalog connection), may
/// edit, add and delete rows.  True when closed with OK (after every change
/// was written); prop then holds the chosen row (unchanged when none was
/// chosen).  False on Cancel, prop unchanged.
TQRVNBASEUI_API bool ShowWaterPropDlg(CTQWaterProp& prop, CADODatabase* db = nullptr);

/// The same for the saturated-steam property rows.
TQRVNBASEUI_API bool ShowSteamPropDlg(CTQSteamProp& prop, CADODatabase* db = nullptr);

/// Lets the user count the valves and fittings of one pipe segment of
/// nominal diameter dn (mm).  The catalog's valves of a kind (as
/// CTQPipeValveManager::GetAllValve takes it) are listed with a count each:
/// fixed-coefficient ones on the left and, when showDnDependent is nonzero,
/// DN-dependent ones on the right; an extra coefficient covers everything
/// not listed.  valves holds the segment's previous choice on entry and the
/// new one after OK (the unnamed extra valve first, then each listed valve
/// repeated by its count).  Returns the total coefficient on OK, -1.0 on
/// Cancel (valves unchanged).  Null db: the default catalog connection.
TQRVNBASEUI_API double ShowPipeValveDlg(CTQArray<CTQPipeValve>& valves, int dn, int kind,
                                        int showDnDependent, CADODatabase* db = nullptr);

} // namespace RVN
