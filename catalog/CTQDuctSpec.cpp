#include "catalog/CTQDuctSpec.h"

#include "calc/RVNCalc.h"
#include "catalog/CXTPPropExchange.h"
#include "catalog/CatalogSql.h"
#include "db/ADODatabase.h"
#include "db/ADORecordset.h"

#include <string>

using RVN::detail::ResolveDatabase;
using RVN::detail::SqlFormat;

const char* const CTQDuctSpec::sTableName = "DuctSpec";
const char* const CTQDuctSpec::sFieldName_ID = "ID";
const char* const CTQDuctSpec::sFieldName_SEC = "SEC";
const char* const CTQDuctSpec::sFieldName_WIDTH = "WIDTH";
const char* const CTQDuctSpec::sFieldName_HEIGHT = "HEIGHT";
const char* const CTQDuctSpec::sFieldName_THICKNESS = "THICKNESS";
const char* const CTQDuctSpec::sFieldName_VERSION = "VERSION";

namespace {
// Section code of a circular duct; every other code is treated as rectangular.
constexpr int kCircular = 0;
// Half-width of the tolerance band around the requested aspect ratios: a
// standard size series steps the ratio by about one, so a duct whose ratio
// is within half a step of the range still counts as fitting it.
constexpr double kRatioMargin = 0.5;
// Stands for "no upper limit" when the maximum aspect ratio is zero.
constexpr double kUnboundedRatio = 1e30;
} // namespace

CTQDuctSpec::CTQDuctSpec() : Section(1), Width(0), Height(0), Thickness(0.0), ID(-1), Version(0) {}

CTQDuctSpec::CTQDuctSpec(const CTQDuctSpec& other)
    : Section(other.Section), Width(other.Width), Height(other.Height), Thickness(other.Thickness),
      ID(other.ID), Version(other.Version) {}

CTQDuctSpec& CTQDuctSpec::operator=(const CTQDuctSpec& other) {
    if (this != &other) {
        Section = other.Section;
        Width = other.Width;
        Height = other.Height;
        Thickness = other.Thickness;
        ID = other.ID;
        Version = other.Version;
    }
    return *this;
}

CTQDuctSpec::~CTQDuctSpec() = default;

bool CTQDuctSpec::DoPropExchange(CXTPPropExchange* px) {
    PX_Long(px, sFieldName_ID, ID);
    PX_Int(px, sFieldName_SEC, Section);
    PX_Int(px, sFieldName_WIDTH, Width);
    PX_Int(px, sFieldName_HEIGHT, Height);
    PX_Double(px, sFieldName_THICKNESS, Thickness);
    PX_Int(px, sFieldName_VERSION, Version);
    return true;
}

bool CTQDuctSpec::UpdateData(long id, bool read, CADODatabase* db) {
    return RVN::detail::TransferFirstRow(*this, ResolveDatabase(db),
                                         SqlFormat("select * from %s where ID = %ld ", {sTableName, id}), read);
}

bool CTQDuctSpec::UpdateData(CADORecordset* rs, bool read) {
    if (!rs) {
        return false;
    }
    if (read) {
        rs->GetFieldValue(sFieldName_ID, ID);
        rs->GetFieldValue(sFieldName_SEC, Section);
        rs->GetFieldValue(sFieldName_WIDTH, Width);
        rs->GetFieldValue(sFieldName_HEIGHT, Height);
        rs->GetFieldValue(sFieldName_THICKNESS, Thickness);
        rs->GetFieldValue(sFieldName_VERSION, Version);
        return true;
    }
    rs->Edit();
    const bool written = rs->SetFieldValue(sFieldName_SEC, Section) &&
                         rs->SetFieldValue(sFieldName_WIDTH, Width) &&
                         rs->SetFieldValue(sFieldName_HEIGHT, Height) &&
                         rs->SetFieldValue(sFieldName_THICKNESS, Thickness);
    if (!written) {
        rs->CancelUpdate(); // store nothing rather than part of the row
        return false;
    }
    return rs->Update() != 0;
}

bool CTQDuctSpec::Delete(long id, CADODatabase* db) {
    return RVN::detail::DeleteById(db, sTableName, id);
}

bool CTQDuctSpec::Remove(CADODatabase* db) {
    return Delete(ID, db);
}

bool CTQDuctSpec::Add(CADODatabase* db) {
    db = ResolveDatabase(db);
    if (!db) {
        return false;
    }
    std::string query =
        SqlFormat("select * from %s where SEC = %d and  WIDTH = %d", {sTableName, Section, Width});
    if (Section > 0) {
        query += SqlFormat(" and HEIGHT = %d", {Height});
    }
    return RVN::detail::AddGuarded(db, query, ID,
                                   [this](CADORecordset* rs) { return UpdateData(rs, false); });
}

bool operator==(const CTQDuctSpec& a, const CTQDuctSpec& b) {
    if (a.Section != b.Section || a.Width != b.Width) {
        return false;
    }
    return a.Section <= 0 || a.Height == b.Height;
}

bool operator<(const CTQDuctSpec& a, const CTQDuctSpec& b) {
    if (a.Section != b.Section) {
        return a.Section < b.Section;
    }
    if (a.Width != b.Width) {
        return a.Width < b.Width;
    }
    return a.Section != kCircular && a.Height < b.Height;
}

bool operator>(const CTQDuctSpec& a, const CTQDuctSpec& b) {
    return b < a;
}

int CTQDuctSpecManager::GetAllSpec(CTQArray<CTQDuctSpec>& arr, int section, CADODatabase* db) {
    db = ResolveDatabase(db);
    if (!db) {
        return 0;
    }
    arr.RemoveAll();
    const long n = RVN::detail::ListRows<CTQDuctSpec>(
        db,
        SqlFormat("select * from %s where %s = %d order by  %s",
                  {CTQDuctSpec::sTableName, CTQDuctSpec::sFieldName_SEC, section, CTQDuctSpec::sFieldName_WIDTH}),
        arr);
    return n < 0 ? 0 : static_cast<int>(n);
}

int CTQDuctSpecManager::GetAllSpec(CTQArray<CTQDuctSpec>& arr, int section, double minRatio,
                                   double maxRatio, int minSize, int maxSize, CADODatabase* db) {
    db = ResolveDatabase(db);
    if (!db) {
        return 0;
    }
    std::string query = SqlFormat("select * from %s where %s = %d",
                                  {CTQDuctSpec::sTableName, CTQDuctSpec::sFieldName_SEC, section});
    // A rectangular duct is sized by its height, a circular one by its diameter.
    const char* sizeField =
        section != kCircular ? CTQDuctSpec::sFieldName_HEIGHT : CTQDuctSpec::sFieldName_WIDTH;
    if (minSize != 0 && maxSize != 0) {
        query += SqlFormat(" and %s between %d and %d", {sizeField, minSize, maxSize});
    } else if (minSize != 0) {
        query += SqlFormat(" and %s >= %d", {sizeField, minSize});
    } else if (maxSize != 0) {
        query += SqlFormat(" and %s <= %d", {sizeField, maxSize});
    }
    query += SqlFormat(" order by  %s", {CTQDuctSpec::sFieldName_WIDTH});

    CADORecordset rs(db);
    if (!rs.Open(query, CADORecordset::openUnknown)) {
        return -1;
    }
    arr.RemoveAll();
    const double lowRatio = minRatio - kRatioMargin;
    const double highRatio = (RVN::IsZero(maxRatio) ? kUnboundedRatio : maxRatio) + kRatioMargin;
    while (!rs.IsEof()) {
        CTQDuctSpec spec;
        if (spec.UpdateData(&rs, true)) {
            if (spec.Section == kCircular) {
                arr.Add(spec);
            } else if (spec.Height != 0 && RVN::InZone(static_cast<double>(spec.Width) /
                                                           static_cast<double>(spec.Height),
                                                       lowRatio, highRatio)) {
                arr.Add(spec);
            }
        }
        rs.MoveNext();
    }
    rs.Close();
    return static_cast<int>(arr.GetSize());
}
