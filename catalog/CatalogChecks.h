// Checks a catalog keeper's edits must pass before they are stored.
//
// An editor (the catalog dialogs, a tool, a host's own screens) gathers the
// rows it is about to store and asks these functions first; a refusal names
// the first offending row by its position in the list checked, so the
// editor can point the user at it.  Nothing here touches a database: the
// caller lists what is stored and passes it in.
//
//  - A material needs a name that is not blank, and no two materials of the
//    catalog may share a name, whatever their kinds: sizing and the material
//    exchange file find a material by its name.
//  - A pipe size needs a DN above 0, unique within its material.
//  - A duct needs a width above 0 (its diameter when circular) and, when
//    rectangular, a height above 0; no size twice within one section.
//  - A row the user deleted is never handed back as the user's choice.
#pragma once

#include "TQRVNBaseExport.h"
#include "catalog/CTQArray.h"
#include "catalog/CTQDuctSpec.h"
#include "catalog/CTQPipeMatl.h"
#include "catalog/CTQPipeSpec.h"

#include <string>

namespace RVN {

/// What is wrong with a list of edited rows.
enum class TQEditProblem {
    None,
    EmptyName, ///< a material without a name (or only blanks)
    NameTwice, ///< two rows of the list share a name
    NameTaken, ///< a stored material outside the list already has the name
    ZeroDN,    ///< a pipe size with DN 0 or below
    DnTwice,   ///< two sizes of one material share a DN
    ZeroDuct,  ///< a duct of 0 mm (width, or height of a rectangular duct)
    DuctTwice, ///< two ducts of one section with the same size
};

/// The outcome of a check: the problem and the row it was found at.
struct TQRVNBASE_API TQEditCheck {
    TQEditProblem problem = TQEditProblem::None;
    int row = -1;      ///< position in the list checked (0-based); -1 when none
    int firstRow = -1; ///< NameTwice, DnTwice, DuctTwice: the earlier row with the same key
    std::string name;  ///< the material name concerned
    int otherKind = 0; ///< NameTaken: the kind (Type) of the material that has the name
    long otherId = -1; ///< NameTaken: its ID
    int dn = 0;        ///< ZeroDN, DnTwice: the DN
    int width = 0;     ///< ZeroDuct, DuctTwice: the duct's width, mm
    int height = 0;    ///< and height, mm

    bool Ok() const { return problem == TQEditProblem::None; }
};

/// Checks the names of the materials an editor stores.  `edited`: its rows
/// as they will be stored (ID -1 for new ones); `stored`: every material of
/// the catalog, of all kinds, as stored now; `deleted`: IDs the editor
/// deletes before it stores.  A stored material the editor rewrites (same
/// ID) or deletes does not hold on to its old name.  The first problem in
/// row order is reported: a blank name, a name twice in `edited`, or a name
/// another stored material keeps.
TQRVNBASE_API TQEditCheck CheckMaterialNames(const CTQArray<CTQPipeMatl>& edited,
                                             const CTQArray<CTQPipeMatl>& stored,
                                             const CTQArray<long>& deleted);

/// Checks the sizes of one material in list order: DN above 0, no DN twice.
TQRVNBASE_API TQEditCheck CheckPipeSizes(const CTQArray<CTQPipeSpec>& sizes);

/// Checks duct sizes in list order: width above 0 and, for a rectangular duct
/// (Section 1), height above 0; no size twice within a section (a circular
/// duct is keyed by its width alone).
TQRVNBASE_API TQEditCheck CheckDuctSizes(const CTQArray<CTQDuctSpec>& ducts);

/// Whether a row the user chose may be handed back once the editor stored its
/// changes: true exactly when `chosenId` (the chosen row's ID as stored, -1
/// for a new row that never was) is among `storedIds` (the rows the table
/// holds after the writes) and not among `deleted`.  A row chosen and then
/// deleted is never handed back; the caller keeps the record it had.
TQRVNBASE_API bool MayHandBack(long chosenId, const CTQArray<long>& storedIds,
                               const CTQArray<long>& deleted);

} // namespace RVN
