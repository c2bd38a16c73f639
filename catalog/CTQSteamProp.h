// Properties of saturated steam by whole-degree saturation temperature:
// CTQSteamProp is one row of the catalog's "SteamProp" table.
// RVN::GetSteamProp fetches the row of one exact temperature (no
// interpolation) and RVN::GetAllSteamProp lists the table in temperature
// order for the property dialog.
//
// Every operation that takes a CADODatabase* uses the default catalog
// connection when given null; with neither, record operations return false,
// the lookup -1.0 and the listing -1.  Provider errors the database layer
// catches are recorded there; the ones it lets through (moving, counting
// rows, adding a row, closing) reach the caller as RVNADO::ComError.
//
// The virtual operations are declared in their fixed slot order; the virtual
// destructor comes after the last of them.
#pragma once

#include "TQRVNBaseExport.h"
#include "catalog/CTQArray.h"

class CADODatabase;
class CADORecordset;
class CXTPPropExchange;

class TQRVNBASE_API CTQSteamProp {
public:
    /// ID -1, temperature 100, all values 0, version 0.
    CTQSteamProp();
    /// Copies ID, temperature and the property values; the version is 0.
    CTQSteamProp(const CTQSteamProp& other);
    /// Copies ID, temperature and the property values; the version stays.
    /// Assignment to itself does nothing.
    CTQSteamProp& operator=(const CTQSteamProp& other);

    // slot 0
    /// Exchanges "ID" (long), "Temperature" (int), "Density", "Viscosity",
    /// "SpecificHeat", "Pressure", "Qhr" (doubles), in this order.  Returns
    /// true.
    virtual bool DoPropExchange(CXTPPropExchange* px);
    // slot 1
    /// Reads (read = true) or rewrites (read = false) the row with that ID
    /// through the recordset form.  False when there is no connection, the
    /// query does not open or no row has that ID.
    virtual bool UpdateData(long id, bool read, CADODatabase* db = nullptr);
    // slot 2
    /// Read: "ID", "Temperature", "Density", "Viscosity", "SpecificHeat",
    /// "Pressure", "Qhr" of the current row into the members (a field that
    /// cannot be read leaves its member as it was); true.  Write: the same
    /// columns except "ID" into the current row and update it; true only
    /// when every field write and the update succeeded, otherwise the
    /// pending edit is cancelled and nothing is stored.  False for a null
    /// recordset.
    virtual bool UpdateData(CADORecordset* rs, bool read);
    // slot 3
    /// Runs the delete of Delete with this record's ID, -1 included.
    virtual bool Remove(CADODatabase* db = nullptr);
    // slot 4
    /// Stores the record as a new row unless a row of the same temperature
    /// exists.  On success ID holds the new row's key; on failure nothing is
    /// stored and ID keeps its value.
    virtual bool Add(CADODatabase* db = nullptr);

    virtual ~CTQSteamProp();

    /// Deletes the row with that ID: true when the statement ran (also when
    /// no row matched); true at once for ID -1.
    static bool Delete(long id, CADODatabase* db = nullptr);

    long GetID() const { return ID; }
    int GetVersion() const { return Version; }

    long ID;             ///< table key (autonumber); -1 = not stored
    int Temperature;     ///< saturation temperature, degC
    double Pressure;     ///< saturation pressure, kPa
    double Density;      ///< kg/m^3
    double Qhr;          ///< latent heat of vaporisation, kJ/kg
    double SpecificHeat; ///< kJ/(kg K)
    double Viscosity;    ///< kinematic viscosity, 1e-6 m^2/s
    /// Data version: 0 from the constructor, never read from the table,
    /// written, exchanged or assigned.
    int Version;

    static const char* const sTableName;
    static const char* const sFieldName_ID;
    static const char* const sFieldName_WD;      ///< "Temperature"
    static const char* const sFieldName_YL;      ///< "Pressure"
    static const char* const sFieldName_QHR;     ///< "Qhr"
    static const char* const sFieldName_MD;      ///< "Density"
    static const char* const sFieldName_ND;      ///< "Viscosity"
    static const char* const sFieldName_BR;      ///< "SpecificHeat"
    static const char* const sFieldName_Version; ///< "Version"
};

/// The comparisons look at the temperatures only.
TQRVNBASE_API bool operator==(const CTQSteamProp& a, const CTQSteamProp& b);
TQRVNBASE_API bool operator<(const CTQSteamProp& a, const CTQSteamProp& b);
TQRVNBASE_API bool operator>(const CTQSteamProp& a, const CTQSteamProp& b);

namespace RVN {

/// Fills prop from the row of exactly that temperature and returns its
/// density, kg/m^3.  When no row has the temperature prop keeps its values
/// and their density is returned (fill prop with a marker such as a default
/// temperature no row has, such as -1, to tell).  0.0 when the query does not open;
/// -1.0 with prop unchanged without any connection.
TQRVNBASE_API double GetSteamProp(CTQSteamProp& prop, int temperature, CADODatabase* db = nullptr);

/// Empties arr and appends every row in temperature order; returns the
/// number of rows listed, 0 when the query does not open.  -1 with arr
/// untouched without any connection.
TQRVNBASE_API int GetAllSteamProp(CTQArray<CTQSteamProp>& arr, CADODatabase* db = nullptr);

} // namespace RVN
