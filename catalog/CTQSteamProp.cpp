#include "catalog/CTQSteamProp.h"

#include "catalog/CXTPPropExchange.h"
#include "catalog/CatalogSql.h"
#include "db/ADODatabase.h"
#include "db/ADORecordset.h"

#include <string>

using RVN::detail::ResolveDatabase;
using RVN::detail::SqlFormat;

const char* const CTQSteamProp::sTableName = "SteamProp";
const char* const CTQSteamProp::sFieldName_ID = "ID";
const char* const CTQSteamProp::sFieldName_WD = "Temperature";
const char* const CTQSteamProp::sFieldName_YL = "Pressure";
const char* const CTQSteamProp::sFieldName_QHR = "Qhr";
const char* const CTQSteamProp::sFieldName_MD = "Density";
const char* const CTQSteamProp::sFieldName_ND = "Viscosity";
const char* const CTQSteamProp::sFieldName_BR = "SpecificHeat";
const char* const CTQSteamProp::sFieldName_Version = "Version";

CTQSteamProp::CTQSteamProp()
    : ID(-1), Temperature(100), Pressure(0.0), Density(0.0), Qhr(0.0), SpecificHeat(0.0),
      Viscosity(0.0), Version(0) {}

CTQSteamProp::CTQSteamProp(const CTQSteamProp& other)
    : ID(other.ID), Temperature(other.Temperature), Pressure(other.Pressure),
      Density(other.Density), Qhr(other.Qhr), SpecificHeat(other.SpecificHeat),
      Viscosity(other.Viscosity), Version(0) {}

CTQSteamProp& CTQSteamProp::operator=(const CTQSteamProp& other) {
    if (this != &other) {
        ID = other.ID;
        Temperature = other.Temperature;
        Pressure = other.Pressure;
        Density = other.Density;
        Qhr = other.Qhr;
        SpecificHeat = other.SpecificHeat;
        Viscosity = other.Viscosity;
    }
    return *this;
}

CTQSteamProp::~CTQSteamProp() = default;

bool CTQSteamProp::DoPropExchange(CXTPPropExchange* px) {
    PX_Long(px, sFieldName_ID, ID);
    PX_Int(px, sFieldName_WD, Temperature);
    PX_Double(px, sFieldName_MD, Density);
    PX_Double(px, sFieldName_ND, Viscosity);
    PX_Double(px, sFieldName_BR, SpecificHeat);
    PX_Double(px, sFieldName_YL, Pressure);
    PX_Double(px, sFieldName_QHR, Qhr);
    return true;
}

bool CTQSteamProp::UpdateData(long id, bool read, CADODatabase* db) {
    return RVN::detail::TransferFirstRow(*this, ResolveDatabase(db),
                                         SqlFormat("select * from %s where ID = %ld ", {sTableName, id}), read);
}

bool CTQSteamProp::UpdateData(CADORecordset* rs, bool read) {
    if (!rs) {
        return false;
    }
    if (read) {
        rs->GetFieldValue(sFieldName_ID, ID);
        rs->GetFieldValue(sFieldName_WD, Temperature);
        rs->GetFieldValue(sFieldName_MD, Density);
        rs->GetFieldValue(sFieldName_ND, Viscosity);
        rs->GetFieldValue(sFieldName_BR, SpecificHeat);
        rs->GetFieldValue(sFieldName_YL, Pressure);
        rs->GetFieldValue(sFieldName_QHR, Qhr);
        return true;
    }
    rs->Edit();
    const bool written =
        rs->SetFieldValue(sFieldName_WD, Temperature) &&
        rs->SetFieldValue(sFieldName_MD, Density) && rs->SetFieldValue(sFieldName_ND, Viscosity) &&
        rs->SetFieldValue(sFieldName_BR, SpecificHeat) &&
        rs->SetFieldValue(sFieldName_YL, Pressure) && rs->SetFieldValue(sFieldName_QHR, Qhr);
    if (!written) {
        rs->CancelUpdate(); // store nothing rather than part of the row
        return false;
    }
    return rs->Update() != 0;
}

bool CTQSteamProp::Delete(long id, CADODatabase* db) {
    if (id == -1) {
        return true; // never stored: nothing to delete
    }
    return RVN::detail::DeleteById(db, sTableName, id);
}

bool CTQSteamProp::Remove(CADODatabase* db) {
    return RVN::detail::DeleteById(db, sTableName, ID); // no shortcut for -1
}

bool CTQSteamProp::Add(CADODatabase* db) {
    db = ResolveDatabase(db);
    if (!db) {
        return false;
    }
    const std::string query =
        SqlFormat("select * from %s where %s = %d", {sTableName, sFieldName_WD, Temperature});
    return RVN::detail::AddGuarded(db, query, ID,
                                   [this](CADORecordset* rs) { return UpdateData(rs, false); });
}

bool operator==(const CTQSteamProp& a, const CTQSteamProp& b) {
    return a.Temperature == b.Temperature;
}
bool operator<(const CTQSteamProp& a, const CTQSteamProp& b) {
    return a.Temperature < b.Temperature;
}
bool operator>(const CTQSteamProp& a, const CTQSteamProp& b) {
    return a.Temperature > b.Temperature;
}

namespace RVN {

double GetSteamProp(CTQSteamProp& prop, int temperature, CADODatabase* db) {
    db = ResolveDatabase(db);
    if (!db) {
        return -1.0;
    }
    CADORecordset rs(db);
    if (!rs.Open(SqlFormat("select * from %s where temperature = %d",
                           {CTQSteamProp::sTableName, temperature}),
                 CADORecordset::openUnknown)) {
        rs.Close();
        return 0.0;
    }
    // No row: prop keeps what it held, as every field read would leave it.
    if (!rs.IsEof()) {
        prop.UpdateData(&rs, true);
    }
    rs.Close();
    return prop.Density;
}

int GetAllSteamProp(CTQArray<CTQSteamProp>& arr, CADODatabase* db) {
    db = ResolveDatabase(db);
    if (!db) {
        return -1;
    }
    arr.RemoveAll();
    const long n = RVN::detail::ListRows<CTQSteamProp>(
        db, SqlFormat("select * from %s order by  %s", {CTQSteamProp::sTableName, CTQSteamProp::sFieldName_WD}), arr);
    return n < 0 ? 0 : static_cast<int>(n);
}

} // namespace RVN
