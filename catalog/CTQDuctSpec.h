// Air-duct sizes of the catalog: CTQDuctSpec is one row of the "DuctSpec"
// table, CTQDuctSpecManager lists the rows of one section, optionally
// narrowed to a size range and, for rectangular ducts, to a range of aspect
// ratios.  Duct size selection and the duct dialog work on these lists.
//
// A circular duct (Section 0) is described by its diameter in Width; a
// rectangular one (Section 1) by Width x Height.  Sizes are whole mm, the
// sheet thickness is in mm.
//
// Every operation that takes a CADODatabase* uses the default catalog
// connection when given null; with neither it returns false (records) or 0
// (listings).  Provider errors the database layer catches are recorded there
// and give false, 0 or -1; the ones it lets through (moving, counting rows,
// adding a row, closing) reach the caller as RVNADO::ComError.
//
// The virtual operations are declared in their fixed slot order; the virtual
// destructor comes after the last of them.
#pragma once

#include "TQRVNBaseExport.h"
#include "catalog/CTQArray.h"

class CADODatabase;
class CADORecordset;
class CXTPPropExchange;

class TQRVNBASE_API CTQDuctSpec {
public:
    /// A rectangular duct (Section 1) of 0 x 0 mm, thickness 0, ID -1, version 0.
    CTQDuctSpec();
    CTQDuctSpec(const CTQDuctSpec& other);
    /// Copies every member; assignment to itself does nothing.
    CTQDuctSpec& operator=(const CTQDuctSpec& other);

    // slot 0
    /// Exchanges "ID" (long), "SEC", "WIDTH", "HEIGHT" (int), "THICKNESS"
    /// (double), "VERSION" (int), in this order.  Returns true.
    virtual bool DoPropExchange(CXTPPropExchange* px);
    // slot 1
    /// Reads (read = true) or rewrites (read = false) the row with that ID
    /// through the recordset form.  False when there is no connection, the
    /// query does not open or no row has that ID.
    virtual bool UpdateData(long id, bool read, CADODatabase* db = nullptr);
    // slot 2
    /// Read: "ID", "SEC", "WIDTH", "HEIGHT", "THICKNESS", "VERSION" of the
    /// current row into the members (a field that cannot be read leaves its
    /// member as it was); true.  Write: "SEC", "WIDTH", "HEIGHT", "THICKNESS"
    /// into the current row and update it ("ID" and "VERSION" are never
    /// written); true only when every field write and the update succeeded,
    /// otherwise the pending edit is cancelled and nothing is stored.  False
    /// for a null recordset.
    virtual bool UpdateData(CADORecordset* rs, bool read);
    // slot 3
    /// Delete(ID, db).
    virtual bool Remove(CADODatabase* db = nullptr);
    // slot 4
    /// Stores the record as a new row unless a duct of the same section and
    /// size exists (width alone for a circular duct, width and height
    /// otherwise).  On success ID holds the new row's key; on failure
    /// nothing is stored and ID keeps its value.
    virtual bool Add(CADODatabase* db = nullptr);

    virtual ~CTQDuctSpec();

    /// Deletes the row with that ID: true when the statement ran (also when
    /// no row matched).
    static bool Delete(long id, CADODatabase* db = nullptr);

    long GetID() const { return ID; }
    int GetVersion() const { return Version; }

    int Section;      ///< 0 = circular duct, 1 = rectangular duct
    int Width;        ///< mm; the diameter of a circular duct
    int Height;       ///< mm; not used for a circular duct
    double Thickness; ///< sheet thickness, mm
    long ID;          ///< table key (autonumber); -1 = not stored
    int Version;      ///< data version

    static const char* const sTableName;
    static const char* const sFieldName_ID;
    static const char* const sFieldName_SEC;
    static const char* const sFieldName_WIDTH;
    static const char* const sFieldName_HEIGHT;
    static const char* const sFieldName_THICKNESS;
    static const char* const sFieldName_VERSION;
};

/// Same section and width and, unless the section is 0 or less, the same height.
TQRVNBASE_API bool operator==(const CTQDuctSpec& a, const CTQDuctSpec& b);
/// By section, then width, then (when the section is not 0) height.
TQRVNBASE_API bool operator<(const CTQDuctSpec& a, const CTQDuctSpec& b);
/// b < a.
TQRVNBASE_API bool operator>(const CTQDuctSpec& a, const CTQDuctSpec& b);

class TQRVNBASE_API CTQDuctSpecManager {
public:
    /// Empties arr, then appends every duct of the section ordered by width
    /// (rectangular ducts of one width in the database's order).  Returns
    /// the number of ducts listed, 0 when the query does not open; without
    /// any connection 0 with arr untouched.
    static int GetAllSpec(CTQArray<CTQDuctSpec>& arr, int section, CADODatabase* db = nullptr);

    /// The ducts of the section ordered by width, narrowed to a size range
    /// and, for rectangular ducts, to a range of aspect ratios.
    ///
    /// The size range applies to the height of a rectangular duct (section
    /// not 0) and to the width of a circular one; a limit of 0 leaves that
    /// side open.  A rectangular duct passes when its width / height lies
    /// between minRatio - 0.5 and maxRatio + 0.5 (widened by 1e-06); a
    /// maxRatio of zero means no upper bound, and a height of 0 never passes.
    /// Returns the number of ducts listed; -1 with arr untouched when the
    /// query does not open; 0 with arr untouched without any connection.
    static int GetAllSpec(CTQArray<CTQDuctSpec>& arr, int section, double minRatio, double maxRatio,
                          int minSize, int maxSize, CADODatabase* db = nullptr);
};
