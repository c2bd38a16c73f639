// Valves and fittings of the catalog and the totals of their local-resistance
// coefficients.
//
// CTQCalValve is the bare pair of a name and a local-resistance coefficient
// (the dimensionless loss factor zeta of a fitting: local loss = zeta x
// dynamic pressure).  CTQPipeValve extends it into a row of the catalog table
// "PipeValve": a fitting has either one fixed coefficient or, when the
// coefficient depends on the pipe size (Variable nonzero), a table of
// coefficients by nominal diameter DN (mm), read by lookup, clamping and
// linear interpolation (GetValue).  CTQPipeValveManager lists the table and
// adds up the coefficients of the fittings of a pipe segment.
//
// The DN table is kept in the columns "DnCandidate" and "CoefCandidate" (and
// under the exchange keys of the same names) as two parallel lists separated
// by "," without blanks: the DNs as decimal integers and the coefficients as
// fixed-point decimals with six digits after the point ("15,20" and
// "2.500000,2.000000").  The pairs are written in the map's iteration order
// (hash order, not sorted); readers pair the lists by position.  Both texts
// are written and read independently of the process locale.
//
// Every operation that takes a CADODatabase* uses the default catalog
// connection (RVNDataBase.h) when given null, and fails (false, 0 or 0.0)
// when there is none either.
#pragma once

#include "TQRVNBaseExport.h"
#include "catalog/CTQArray.h"
#include "catalog/CTQMap.h"

#include <string>

class CADODatabase;
class CADORecordset;
class CXTPPropExchange;

/// A fitting as the calculations see it: its name and its fixed
/// local-resistance coefficient.
class TQRVNBASE_API CTQCalValve {
public:
    /// No name, coefficient 0.5.
    CTQCalValve() = default;
    /// A null name gives an empty one.
    explicit CTQCalValve(const char* name, double coef = 0.5);
    explicit CTQCalValve(const std::string& name, double coef = 0.5);

    CTQCalValve(const CTQCalValve&) = default;
    CTQCalValve(CTQCalValve&&) noexcept = default;
    CTQCalValve& operator=(const CTQCalValve&) = default;
    CTQCalValve& operator=(CTQCalValve&&) noexcept = default;
    ~CTQCalValve() = default;

    std::string ValveName;  ///< name of the valve or fitting
    double Coef = 0.5;      ///< fixed local-resistance coefficient (dimensionless)
};

/// A valve or fitting of the catalog table "PipeValve".
class TQRVNBASE_API CTQPipeValve : public CTQCalValve {
public:
    /// Kind 1, calculation type 0, fixed coefficient, empty DN table, not
    /// stored (ID -1), version 0; no name and coefficient 0.5 by default.
    CTQPipeValve() = default;
    explicit CTQPipeValve(const char* name, double coef = 0.5);
    explicit CTQPipeValve(const std::string& name, double coef = 0.5);

    CTQPipeValve(const CTQPipeValve&) = default;
    CTQPipeValve(CTQPipeValve&&) noexcept = default;
    CTQPipeValve& operator=(const CTQPipeValve&) = default;
    CTQPipeValve& operator=(CTQPipeValve&&) noexcept = default;

    /// Exchanges the record: "ID", "Type", "ValveName", "Coef", "CalType",
    /// "Variable", "Version", then, for a DN-dependent valve, the DN table
    /// texts "DnCandidate" and "CoefCandidate".  Loading clears the DN table
    /// first.  True, except for a null exchange.
    virtual bool DoPropExchange(CXTPPropExchange* pPX);
    /// Reads (bRead) or writes the row of this record's folded kind (2 for
    /// kinds 2 and 3, else 1) whose name is `name`.  False when there is no
    /// such row or the transfer failed.
    virtual bool UpdateData(const std::string& name, bool bRead, CADODatabase* pDB = nullptr);
    /// The same for a name given as C text; a null name reads as the empty
    /// name (which no stored valve has).
    bool UpdateData(const char* name, bool bRead, CADODatabase* pDB = nullptr);
    /// Reads (bRead) or writes the row with that ID.  False when there is no
    /// such row or the transfer failed.
    virtual bool UpdateData(long id, bool bRead, CADODatabase* pDB = nullptr);
    /// Read: the current row into the record (true).  Write: edits the
    /// current row from the record and updates it; true only when every field
    /// write and the update succeeded (the pending edit is left to the caller
    /// to cancel otherwise).  "ID" is never written; a fixed-coefficient valve
    /// leaves the DN table columns as they are.
    virtual bool UpdateData(CADORecordset* pRs, bool bRead);
    /// Delete(ID).
    virtual bool Remove(CADODatabase* pDB = nullptr);
    /// Adds the record as a new row unless a row of the same kind (not
    /// folded) and name exists; on success ID holds the new row's ID.  The
    /// duplicate check and the insert run in one write transaction.  On any
    /// failure nothing is stored and ID keeps its value.
    virtual bool Add(CADODatabase* pDB = nullptr);

    virtual ~CTQPipeValve() = default;

    /// Deletes the row with that ID: true when the statement executed (also
    /// when no row had that ID).
    static bool Delete(long id, CADODatabase* pDB = nullptr);

    /// The coefficient at nominal diameter dn (mm): the fixed coefficient for
    /// a valve that does not depend on DN; otherwise from the DN table, 0 when
    /// it is empty, the exact entry when there is one, the smallest (largest)
    /// DN's coefficient below (above) the table, and linear interpolation
    /// between the neighbouring DNs in between.
    double GetValue(int dn) const;

    /// Splits text at delimiter into parts (out is emptied first).  Leading
    /// and trailing delimiters are ignored; two delimiters in a row give an
    /// empty part: "a,,b" -> a, "", b; ",a," -> a; "" -> nothing.  Returns the
    /// number of parts.
    static int SplitString(CTQArray<std::string>& out, const std::string& text, char delimiter);

    long GetID() const { return ID; }
    int GetVersion() const { return Version; }

    int Type = 1;          ///< kind code, 1 or 2 in the table (see the manager's folding)
    int CalType = 0;       ///< calculation type code of the host, stored and exchanged only
    int Variable = 0;      ///< nonzero: the coefficient is taken from DnCoef, Coef is ignored
    CTQMap<int, double> DnCoef;  ///< nominal diameter (mm) -> coefficient
    long ID = -1;          ///< table key (autonumber); -1 = not stored
    int Version = 0;       ///< data version

    static const char* const sTableName;
    static const char* const sFieldName_ID;
    static const char* const sFieldName_Type;
    static const char* const sFieldName_ValveName;
    static const char* const sFieldName_Coef;
    static const char* const sFieldName_CalType;
    static const char* const sFieldName_Variable;
    static const char* const sFieldName_DnCandidate;
    static const char* const sFieldName_CoefCandidate;
    static const char* const sFieldName_Version;

    /// The DN table as its two column texts, in the map's iteration order.
    void FormatDnTable(std::string& dnText, std::string& coefText) const;
    /// Replaces the DN table by the pairs of the two column texts, paired by
    /// position up to the shorter list; a later equal DN overwrites an earlier
    /// one.  A part that is not a number, or whose DN does not fit an int,
    /// reads as 0 (decimal text is read up to its first invalid character).
    void ParseDnTable(const std::string& dnText, const std::string& coefText);
};

/// Equal when both IDs are equal and not -1, or else when the names are
/// equal (byte comparison).
TQRVNBASE_API bool operator==(const CTQPipeValve& a, const CTQPipeValve& b);
/// The left ID is smaller, or the left name compares less (either suffices).
TQRVNBASE_API bool operator<(const CTQPipeValve& a, const CTQPipeValve& b);
/// The left ID is greater, or the left name compares greater (either suffices).
TQRVNBASE_API bool operator>(const CTQPipeValve& a, const CTQPipeValve& b);

/// Listing, lookup, coefficient totals and exchange of valve arrays.
class TQRVNBASE_API CTQPipeValveManager {
public:
    CTQPipeValveManager() = delete;

    /// The valve of valve's folded kind named `name`, read into valve.
    static bool GetValve(CTQPipeValve& valve, const std::string& name, CADODatabase* pDB = nullptr);
    /// The same for a name given as C text; a null name reads as the empty name.
    static bool GetValve(CTQPipeValve& valve, const char* name, CADODatabase* pDB = nullptr);

    /// Fills arr with the valves of a kind ordered by name (4 lists kind 1,
    /// 3 lists kind 2; 0 or less lists every kind) and returns their number.
    /// 0 when the query does not open (arr is then empty); 0 without any
    /// connection, arr untouched.
    static int GetAllValve(CTQArray<CTQPipeValve>& arr, int type = 0, CADODatabase* pDB = nullptr);

    /// Sum of GetValue(dn) over the array's elements (each occurrence counts).
    static double GetTotalCoef(const CTQArray<CTQPipeValve>& arr, int dn);

    /// Sum over the pairs (valve ID, count) of count x GetValue(dn) of the
    /// valve with that ID read from the catalog; IDs not found add nothing.
    /// 0 without any connection.
    static double GetTotalCoef(const CTQMap<long, int>& counts, int dn, CADODatabase* pDB = nullptr);

    /// Exchanges arr as the section "Valves" of items "Valve", in index order
    /// when storing, in file order when loading (arr is emptied first).
    /// False for a null exchange.
    static bool DoPropExchange(CXTPPropExchange* pPX, CTQArray<CTQPipeValve>& arr);
};
