#include "catalog/CTQPipeSpec.h"

#include "calc/RVNCalc.h"
#include "catalog/CXTPPropExchange.h"
#include "catalog/CatalogSql.h"

using RVN::detail::SqlFormat;

const char* const CTQPipeSpec::sTableName = "PipeSpec";
const char* const CTQPipeSpec::sFieldName_ID = "ID";
const char* const CTQPipeSpec::sFieldName_MATLID = "MatlID";
const char* const CTQPipeSpec::sFieldName_DN = "DN";
const char* const CTQPipeSpec::sFieldName_INSD = "InsD";
const char* const CTQPipeSpec::sFieldName_OUTD = "OutD";
const char* const CTQPipeSpec::sFieldName_THICKNESS = "Thickness";
const char* const CTQPipeSpec::sFieldName_MinV = "MinV";
const char* const CTQPipeSpec::sFieldName_MAXV = "MaxV";
const char* const CTQPipeSpec::sFieldName_MINH = "MinH";
const char* const CTQPipeSpec::sFieldName_MAXH = "MaxH";
const char* const CTQPipeSpec::sFieldName_MINR = "MinR";
const char* const CTQPipeSpec::sFieldName_MAXR = "MaxR";
const char* const CTQPipeSpec::sFieldName_Version = "Version";

// Specific-friction limits of a new size, Pa/m: the usual design band of
// heating and water-supply mains.
CTQPipeSpec::CTQPipeSpec()
    : DN(0), InsD(0.0), OutD(0.0), Thickness(0.0), MaxV(0.0), MinV(0.0), MaxH(0.0), MinH(0.0),
      MaxR(300), MinR(100), MatlID(-1), ID(-1), Version(1) {}

CTQPipeSpec::CTQPipeSpec(const CTQPipeSpec& src) = default;

CTQPipeSpec& CTQPipeSpec::operator=(const CTQPipeSpec& src) {
    if (this != &src) {
        DN = src.DN;
        InsD = src.InsD;
        OutD = src.OutD;
        Thickness = src.Thickness;
        MaxV = src.MaxV;
        MinV = src.MinV;
        MaxH = src.MaxH;
        MinH = src.MinH;
        MaxR = src.MaxR;
        MinR = src.MinR;
        MatlID = src.MatlID;
        ID = src.ID;
        Version = src.Version;
    }
    return *this;
}

CTQPipeSpec::~CTQPipeSpec() = default;

namespace {
// A range of two zero limits takes any value above -1.
bool RangeTakes(double x, double low, double high) {
    if (RVN::IsZero(high) && RVN::IsZero(low)) {
        return RVN::InZone(x, -1.0, 1e30);
    }
    return RVN::InZone(x, low, high);
}
} // namespace

bool CTQPipeSpec::CanTakeH(double x) const { return RangeTakes(x, MinH, MaxH); }
bool CTQPipeSpec::CanTakeV(double x) const { return RangeTakes(x, MinV, MaxV); }
bool CTQPipeSpec::CanTakeR(double x) const { return RangeTakes(x, MinR, MaxR); }

bool CTQPipeSpec::DoPropExchange(CXTPPropExchange* px) {
    PX_Long(px, sFieldName_ID, ID);
    PX_Long(px, sFieldName_MATLID, MatlID);
    PX_Int(px, sFieldName_DN, DN);
    PX_Double(px, sFieldName_INSD, InsD);
    PX_Double(px, sFieldName_OUTD, OutD);
    PX_Double(px, sFieldName_THICKNESS, Thickness);
    PX_Double(px, sFieldName_MinV, MinV);
    PX_Double(px, sFieldName_MAXV, MaxV);
    PX_Double(px, sFieldName_MINH, MinH);
    PX_Double(px, sFieldName_MAXH, MaxH);
    PX_Double(px, sFieldName_MINR, MinR);
    PX_Double(px, sFieldName_MAXR, MaxR);
    PX_Int(px, sFieldName_Version, Version);
    return true;
}

bool CTQPipeSpec::UpdateData(CADORecordset* rs, bool read) {
    if (!rs) {
        return false;
    }
    if (read) {
        rs->GetFieldValue(sFieldName_ID, ID);
        rs->GetFieldValue(sFieldName_MATLID, MatlID);
        rs->GetFieldValue(sFieldName_DN, DN);
        rs->GetFieldValue(sFieldName_INSD, InsD);
        rs->GetFieldValue(sFieldName_OUTD, OutD);
        rs->GetFieldValue(sFieldName_THICKNESS, Thickness);
        rs->GetFieldValue(sFieldName_MinV, MinV);
        rs->GetFieldValue(sFieldName_MAXV, MaxV);
        rs->GetFieldValue(sFieldName_MINR, MinR);
        rs->GetFieldValue(sFieldName_MAXR, MaxR);
        // Older catalogs have no load columns; the members then keep their values.
        if (rs->GetField(sFieldName_MINH)) {
            rs->GetFieldValue(sFieldName_MINH, MinH);
        }
        if (rs->GetField(sFieldName_MAXH)) {
            rs->GetFieldValue(sFieldName_MAXH, MaxH);
        }
        rs->GetFieldValue(sFieldName_Version, Version);
        return true;
    }
    rs->Edit();
    bool ok = true;
    ok = rs->SetFieldValue(sFieldName_MATLID, MatlID) && ok;
    ok = rs->SetFieldValue(sFieldName_DN, DN) && ok;
    ok = rs->SetFieldValue(sFieldName_INSD, InsD) && ok;
    ok = rs->SetFieldValue(sFieldName_OUTD, OutD) && ok;
    ok = rs->SetFieldValue(sFieldName_THICKNESS, Thickness) && ok;
    ok = rs->SetFieldValue(sFieldName_MinV, MinV) && ok;
    ok = rs->SetFieldValue(sFieldName_MAXV, MaxV) && ok;
    ok = rs->SetFieldValue(sFieldName_MINH, MinH) && ok;
    ok = rs->SetFieldValue(sFieldName_MAXH, MaxH) && ok;
    ok = rs->SetFieldValue(sFieldName_MINR, MinR) && ok;
    ok = rs->SetFieldValue(sFieldName_MAXR, MaxR) && ok;
    ok = rs->SetFieldValue(sFieldName_Version, Version) && ok;
    if (!ok) {
        RVN::detail::CancelQuietly(rs);
        return false;
    }
    return rs->Update() != 0;
}

bool CTQPipeSpec::UpdateData(long id, bool read, CADODatabase* db) {
    return RVN::detail::TransferFirstRow(*this, RVN::detail::ResolveDatabase(db),
                                         SqlFormat("select * from %s where ID = %ld ", {sTableName, id}), read);
}

bool CTQPipeSpec::Delete(long id, CADODatabase* db) {
    if (id == -1) {
        return true;
    }
    return RVN::detail::DeleteById(db, sTableName, id);
}

bool CTQPipeSpec::Remove(CADODatabase* db) {
    return RVN::detail::DeleteById(db, sTableName, ID); // no shortcut for -1
}

bool CTQPipeSpec::Add(CADODatabase* db) {
    CADODatabase* d = RVN::detail::ResolveDatabase(db);
    const std::string query =
        SqlFormat("select * from %s where DN = %d and MatlID = %ld", {sTableName, DN, MatlID});
    return RVN::detail::AddGuarded(d, query, ID,
                                   [this](CADORecordset* rs) { return UpdateData(rs, false); });
}

bool operator==(const CTQPipeSpec& a, const CTQPipeSpec& b) { return a.DN == b.DN; }
bool operator<(const CTQPipeSpec& a, const CTQPipeSpec& b) { return a.DN < b.DN; }
bool operator>(const CTQPipeSpec& a, const CTQPipeSpec& b) { return a.DN > b.DN; }
