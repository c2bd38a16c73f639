#include "catalog/CTQWaterProp.h"

#include "catalog/CXTPPropExchange.h"
#include "catalog/CatalogSql.h"
#include "db/ADODatabase.h"
#include "db/ADORecordset.h"

#include <string>

using RVN::detail::ResolveDatabase;
using RVN::detail::SqlFormat;

const char* const CTQWaterProp::sTableName = "WaterProp";
const char* const CTQWaterProp::sFieldName_ID = "ID";
const char* const CTQWaterProp::sFieldName_WD = "Temperature";
const char* const CTQWaterProp::sFieldName_MD = "Density";
const char* const CTQWaterProp::sFieldName_ND = "Viscosity";
const char* const CTQWaterProp::sFieldName_BR = "SpecificHeat";
const char* const CTQWaterProp::sFieldName_Version = "Version";

CTQWaterProp::CTQWaterProp()
    : ID(-1), Temperature(-1), Density(0.0), Viscosity(0.0), SpecificHeat(0.0), Version(0) {}

CTQWaterProp::CTQWaterProp(const CTQWaterProp& other)
    : ID(other.ID), Temperature(other.Temperature), Density(other.Density),
      Viscosity(other.Viscosity), SpecificHeat(other.SpecificHeat), Version(0) {}

CTQWaterProp& CTQWaterProp::operator=(const CTQWaterProp& other) {
    if (this != &other) {
        ID = other.ID;
        Temperature = other.Temperature;
        Density = other.Density;
        Viscosity = other.Viscosity;
        SpecificHeat = other.SpecificHeat;
    }
    return *this;
}

CTQWaterProp::~CTQWaterProp() = default;

bool CTQWaterProp::DoPropExchange(CXTPPropExchange* px) {
    PX_Long(px, sFieldName_ID, ID);
    PX_Int(px, sFieldName_WD, Temperature);
    PX_Double(px, sFieldName_MD, Density);
    PX_Double(px, sFieldName_ND, Viscosity);
    PX_Double(px, sFieldName_BR, SpecificHeat);
    return true;
}

bool CTQWaterProp::UpdateData(long id, bool read, CADODatabase* db) {
    return RVN::detail::TransferFirstRow(*this, ResolveDatabase(db),
                                         SqlFormat("select * from %s where ID = %ld ", {sTableName, id}), read);
}

bool CTQWaterProp::UpdateData(CADORecordset* rs, bool read) {
    if (!rs) {
        return false;
    }
    if (read) {
        rs->GetFieldValue(sFieldName_ID, ID);
        rs->GetFieldValue(sFieldName_WD, Temperature);
        rs->GetFieldValue(sFieldName_MD, Density);
        rs->GetFieldValue(sFieldName_ND, Viscosity);
        rs->GetFieldValue(sFieldName_BR, SpecificHeat);
        return true;
    }
    rs->Edit();
    const bool written = rs->SetFieldValue(sFieldName_WD, Temperature) &&
                         rs->SetFieldValue(sFieldName_MD, Density) &&
                         rs->SetFieldValue(sFieldName_ND, Viscosity) &&
                         rs->SetFieldValue(sFieldName_BR, SpecificHeat);
    if (!written) {
        rs->CancelUpdate(); // store nothing rather than part of the row
        return false;
    }
    return rs->Update() != 0;
}

bool CTQWaterProp::Delete(long id, CADODatabase* db) {
    if (id == -1) {
        return true; // never stored: nothing to delete
    }
    return RVN::detail::DeleteById(db, sTableName, id);
}

bool CTQWaterProp::Remove(CADODatabase* db) {
    return RVN::detail::DeleteById(db, sTableName, ID); // no shortcut for -1
}

bool CTQWaterProp::Add(CADODatabase* db) {
    db = ResolveDatabase(db);
    if (!db) {
        return false;
    }
    const std::string query =
        SqlFormat("select * from %s where %s = %d", {sTableName, sFieldName_WD, Temperature});
    return RVN::detail::AddGuarded(db, query, ID,
                                   [this](CADORecordset* rs) { return UpdateData(rs, false); });
}

bool operator==(const CTQWaterProp& a, const CTQWaterProp& b) {
    return a.Temperature == b.Temperature;
}
bool operator<(const CTQWaterProp& a, const CTQWaterProp& b) {
    return a.Temperature < b.Temperature;
}
bool operator>(const CTQWaterProp& a, const CTQWaterProp& b) {
    return a.Temperature > b.Temperature;
}

namespace RVN {

double GetWaterProp(CTQWaterProp& prop, int temperature, CADODatabase* db) {
    db = ResolveDatabase(db);
    if (!db) {
        return -1.0;
    }
    CADORecordset rs(db);
    if (!rs.Open(SqlFormat("select * from %s where temperature = %d",
                           {CTQWaterProp::sTableName, temperature}),
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

int GetAllWaterProp(CTQArray<CTQWaterProp>& arr, CADODatabase* db) {
    db = ResolveDatabase(db);
    if (!db) {
        return -1;
    }
    arr.RemoveAll();
    const long n = RVN::detail::ListRows<CTQWaterProp>(
        db, SqlFormat("select * from %s order by  %s", {CTQWaterProp::sTableName, CTQWaterProp::sFieldName_WD}), arr);
    return n < 0 ? 0 : static_cast<int>(n);
}

} // namespace RVN
