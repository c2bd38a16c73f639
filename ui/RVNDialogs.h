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
TQRVNBASEUI_API void ShowDuctSpecDlg(CTQArray<CTQDuctSpec>& circular, CTQArray<CTQDuctSpec>& rectangular);

} // namespace RVN
