#include "catalog/CTQPipeMatl.h"

#include "catalog/CXTPPropExchange.h"
#include "catalog/CatalogSql.h"

using RVN::detail::ResolveDatabase;
using RVN::detail::SqlFormat;
using RVN::detail::SqlQuoted;

const char* const CTQPipeMatl::sTableName = "Material";
const char* const CTQPipeMatl::sFieldName_ID = "ID";
const char* const CTQPipeMatl::sFieldName_TYPE = "Type";
const char* const CTQPipeMatl::sFieldName_NAME = "Name";
const char* const CTQPipeMatl::sFieldName_UNIT = "Unit";
const char* const CTQPipeMatl::sFieldName_Mark = "Mark";
const char* const CTQPipeMatl::sFieldName_Symbol = "Symbol";
const char* const CTQPipeMatl::sFieldName_K = "K";
const char* const CTQPipeMatl::sFieldName_Density = "Density";
const char* const CTQPipeMatl::sFieldName_Comment = "Comment";
const char* const CTQPipeMatl::sFieldName_PARAM1 = "Param1";
const char* const CTQPipeMatl::sFieldName_PARAM2 = "Param2";
const char* const CTQPipeMatl::sFieldName_PARAM3 = "Param3";
const char* const CTQPipeMatl::sFieldName_Version = "Version";

CTQPipeMatl::CTQPipeMatl()
    : Type(1), Unit("m^2"), Mark("DN"), Symbol(2), K(0.2), Density(0.0), Param1(0.0), ID(-1),
      Version(1) {}

CTQPipeMatl::CTQPipeMatl(const CTQPipeMatl& src) = default;

CTQPipeMatl& CTQPipeMatl::operator=(const CTQPipeMatl& src) {
    if (this != &src) {
        Type = src.Type;
        Name = src.Name;
        Unit = src.Unit;
        Mark = src.Mark;
        Symbol = src.Symbol;
        K = src.K;
        Density = src.Density;
        Comment = src.Comment;
        Param1 = src.Param1;
        Param2 = src.Param2;
        Param3 = src.Param3;
        ID = src.ID;
        Version = src.Version;
    }
    return *this;
}

CTQPipeMatl::~CTQPipeMatl() = default;

bool CTQPipeMatl::DoPropExchange(CXTPPropExchange* px) {
    PX_Long(px, sFieldName_ID, ID);
    PX_Int(px, sFieldName_TYPE, Type);
    PX_String(px, sFieldName_NAME, Name);
    PX_String(px, sFieldName_UNIT, Unit);
    PX_Int(px, sFieldName_Symbol, Symbol);
    PX_Double(px, sFieldName_K, K);
    PX_String(px, sFieldName_Mark, Mark);
    PX_Double(px, sFieldName_Density, Density);
    PX_String(px, sFieldName_Comment, Comment);
    PX_Double(px, sFieldName_PARAM1, Param1);
    PX_String(px, sFieldName_PARAM2, Param2);
    PX_String(px, sFieldName_PARAM3, Param3);
    PX_Int(px, sFieldName_Version, Version);
    return true;
}

bool CTQPipeMatl::UpdateData(CADORecordset* rs, bool read) {
    if (!rs) {
        return false;
    }
    if (read) {
        rs->GetFieldValue(sFieldName_ID, ID);
        rs->GetFieldValue(sFieldName_TYPE, Type);
        rs->GetFieldValue(sFieldName_NAME, Name, "");
        rs->GetFieldValue(sFieldName_UNIT, Unit, "");
        rs->GetFieldValue(sFieldName_Symbol, Symbol);
        rs->GetFieldValue(sFieldName_K, K);
        rs->GetFieldValue(sFieldName_Mark, Mark, "");
        rs->GetFieldValue(sFieldName_Density, Density);
        rs->GetFieldValue(sFieldName_Comment, Comment, "");
        rs->GetFieldValue(sFieldName_PARAM1, Param1);
        rs->GetFieldValue(sFieldName_PARAM2, Param2, "");
        rs->GetFieldValue(sFieldName_PARAM3, Param3, "");
        rs->GetFieldValue(sFieldName_Version, Version);
        return true;
    }
    rs->Edit();
    bool ok = true;
    ok = rs->SetFieldValue(sFieldName_TYPE, Type) && ok;
    ok = rs->SetFieldValue(sFieldName_NAME, Name) && ok;
    ok = rs->SetFieldValue(sFieldName_UNIT, Unit) && ok;
    ok = rs->SetFieldValue(sFieldName_Symbol, Symbol) && ok;
    ok = rs->SetFieldValue(sFieldName_K, K) && ok;
    ok = rs->SetFieldValue(sFieldName_Mark, Mark) && ok;
    ok = rs->SetFieldValue(sFieldName_Density, Density) && ok;
    ok = rs->SetFieldValue(sFieldName_Comment, Comment) && ok;
    ok = rs->SetFieldValue(sFieldName_PARAM1, Param1) && ok;
    ok = rs->SetFieldValue(sFieldName_PARAM2, Param2) && ok;
    ok = rs->SetFieldValue(sFieldName_PARAM3, Param3) && ok;
    ok = rs->SetFieldValue(sFieldName_Version, Version) && ok;
    if (!ok) {
        RVN::detail::CancelQuietly(rs);
        return false;
    }
    return rs->Update() != 0;
}


bool CTQPipeMatl::UpdateData(const char* name, bool read, CADODatabase* db) {
    return RVN::detail::TransferFirstRow(
        *this, ResolveDatabase(db),
        SqlFormat("select * from %s where %s = '%s'", {sTableName, sFieldName_NAME, SqlQuoted(name ? name : "")}),
        read);
}

bool CTQPipeMatl::UpdateData(long id, bool read, CADODatabase* db) {
    return RVN::detail::TransferFirstRow(*this, ResolveDatabase(db),
                            SqlFormat("select * from %s where %s = %ld", {sTableName, sFieldName_ID, id}),
                            read);
}

bool CTQPipeMatl::Add(CADODatabase* db) {
    // An empty name is stored as null: the check finds both as one name.
    const std::string query =
        SqlFormat("select * from %s where %s", {sTableName, RVN::detail::SqlTextEquals(sFieldName_NAME, Name)});
    return RVN::detail::AddGuarded(ResolveDatabase(db), query, ID,
                                   [this](CADORecordset* rs) { return UpdateData(rs, false); });
}

bool CTQPipeMatl::Delete(long id, CADODatabase* db) {
    return RVN::detail::DeleteById(db, sTableName, id);
}

bool CTQPipeMatl::Remove(CADODatabase* db) { return Delete(ID, db); }

int CTQPipeMatl::GetAllSpec(CTQArray<CTQPipeSpec>& specs, CADODatabase* db) {
    return CTQPipeMatlManager::GetAllSpec(specs, ID, db);
}

int CTQPipeMatl::GetAllSpec(CTQArray<CTQPipeSpec>& specs, int dnMin, int dnMax, CADODatabase* db) {
    return CTQPipeMatlManager::GetAllSpec(specs, ID, dnMin, dnMax, db);
}

bool CTQPipeMatl::GetSpec(CTQPipeSpec& spec, int dn, CADODatabase* db) {
    return CTQPipeMatlManager::GetSpec(spec, ID, dn, db);
}

bool operator==(const CTQPipeMatl& a, const CTQPipeMatl& b) {
    if (a.ID == b.ID && a.ID != -1) {
        return true;
    }
    return a.Name == b.Name;
}

bool operator<(const CTQPipeMatl& a, const CTQPipeMatl& b) { return a.ID < b.ID || a.Name < b.Name; }

bool operator>(const CTQPipeMatl& a, const CTQPipeMatl& b) { return a.ID > b.ID || a.Name > b.Name; }

// ---- Manager -----------------------------------------------------------------

int CTQPipeMatlManager::GetAllMatl(CTQArray<CTQPipeMatl>& matls, int type, CADODatabase* db) {
    CADODatabase* d = ResolveDatabase(db);
    if (!d) {
        return 0;
    }
    matls.RemoveAll();
    std::string query = SqlFormat("select * from %s", {CTQPipeMatl::sTableName});
    if (type <= 0) {
        query += SqlFormat(" where %s < 5", {CTQPipeMatl::sFieldName_TYPE});
    } else {
        // Category 4 has no materials of its own: it lists the water pipes.
        query += SqlFormat(" where %s = %d", {CTQPipeMatl::sFieldName_TYPE, type == 4 ? 1 : type});
    }
    query += SqlFormat(" order by %s", {CTQPipeMatl::sFieldName_NAME});
    const long n = RVN::detail::ListRows<CTQPipeMatl>(d, query, matls);
    return n < 0 ? 0 : static_cast<int>(n);
}

bool CTQPipeMatlManager::GetMatl(CTQPipeMatl& matl, const char* name, CADODatabase* db) {
    return matl.UpdateData(name, true, db);
}

int CTQPipeMatlManager::GetAllSpec(CTQArray<CTQPipeSpec>& specs, long matlId, CADODatabase* db) {
    CADODatabase* d = ResolveDatabase(db);
    if (!d) {
        return 0;
    }
    specs.RemoveAll();
    const std::string query =
        SqlFormat("select * from %s where %s = %ld order by  %s",
                  {CTQPipeSpec::sTableName, CTQPipeSpec::sFieldName_MATLID, matlId, CTQPipeSpec::sFieldName_DN});
    const long n = RVN::detail::ListRows<CTQPipeSpec>(d, query, specs);
    return n < 0 ? 0 : static_cast<int>(n);
}

int CTQPipeMatlManager::GetAllSpec(CTQArray<CTQPipeSpec>& specs, long matlId, int dnMin, int dnMax,
                                   CADODatabase* db) {
    CADODatabase* d = ResolveDatabase(db);
    if (!d) {
        return 0;
    }
    specs.RemoveAll();
    std::string query = SqlFormat("select * from %s where %s = %ld",
                                  {CTQPipeSpec::sTableName, CTQPipeSpec::sFieldName_MATLID, matlId});
    const char* dn = CTQPipeSpec::sFieldName_DN;
    if (dnMin != 0 && dnMax != 0) {
        query += SqlFormat(" and %s between %d and %d", {dn, dnMin, dnMax});
    } else if (dnMin != 0) {
        query += SqlFormat(" and %s >= %d", {dn, dnMin});
    } else if (dnMax != 0) {
        query += SqlFormat(" and %s <= %d", {dn, dnMax});
    }
    query += SqlFormat(" order by  %s", {dn});
    const long n = RVN::detail::ListRows<CTQPipeSpec>(d, query, specs);
    return n < 0 ? 0 : static_cast<int>(n);
}

bool CTQPipeMatlManager::GetSpec(CTQPipeSpec& spec, long matlId, int dn, CADODatabase* db) {
    const std::string query =
        SqlFormat("select * from %s where %s = %ld and %s = %d",
                  {CTQPipeSpec::sTableName, CTQPipeSpec::sFieldName_MATLID, matlId, CTQPipeSpec::sFieldName_DN, dn});
    return RVN::detail::TransferFirstRow(spec, ResolveDatabase(db), query, true);
}

// ---- Material exchange file ----------------------------------------------------

namespace {
// Root section of a material file and the version written into it.
constexpr const char* kMatlRoot = "TQRVNPipeMatl";
constexpr int kMatlFileVersion = 5;
} // namespace

bool CTQPipeMatlManager::SaveMatlToXML(CTQPipeMatl& matl, CTQArray<CTQPipeSpec>& specs, const char* path) {
    std::string error;
    return SaveMatlToXML(matl, specs, path, error);
}

bool CTQPipeMatlManager::SaveMatlToXML(CTQPipeMatl& matl, CTQArray<CTQPipeSpec>& specs, const char* path,
                                       std::string& error) {
    CXTPPropExchangeXMLNode root(false, kMatlRoot);
    int version = kMatlFileVersion;
    PX_Int(&root, "Version", version);
    std::unique_ptr<CXTPPropExchange> section = root.GetSection("MATL");
    matl.DoPropExchange(section.get());
    std::unique_ptr<CXTPPropExchangeEnumerator> items = section->GetEnumerator("SPEC");
    POSITION pos = items->GetPosition(static_cast<std::size_t>(specs.GetSize()), false);
    for (INT_PTR i = 0; i < specs.GetSize(); ++i) {
        std::unique_ptr<CXTPPropExchange> item = items->GetNext(pos);
        specs[i].DoPropExchange(item.get());
    }
    // A file that could not be written is reported: callers may keep their
    // only copy of the material in it.
    const bool saved = root.SaveToFile(path, true);
    error = saved ? std::string() : root.GetFileError();
    return saved;
}

bool CTQPipeMatlManager::LoadMatlFromXML(CTQPipeMatl& matl, CTQArray<CTQPipeSpec>& specs, const char* path) {
    std::string error;
    return LoadMatlFromXML(matl, specs, path, error);
}

bool CTQPipeMatlManager::LoadMatlFromXML(CTQPipeMatl& matl, CTQArray<CTQPipeSpec>& specs, const char* path,
                                         std::string& error) {
    CXTPPropExchangeXMLNode root(true, kMatlRoot);
    if (!root.LoadFromFile(path)) {
        error = root.GetFileError();
        return false;
    }
    if (!root.OnBeforeExchange()) {
        error = std::string(path) + ": not a material file (its root is not the section " + kMatlRoot + ")";
        return false;
    }
    error.clear();
    root.SetCompactMode(true);
    std::unique_ptr<CXTPPropExchange> section = root.GetSection("MATL");
    matl.DoPropExchange(section.get());
    specs.RemoveAll();
    std::unique_ptr<CXTPPropExchangeEnumerator> items = section->GetEnumerator("SPEC");
    POSITION pos = items->GetPosition(0, true);
    while (pos) {
        std::unique_ptr<CXTPPropExchange> item = items->GetNext(pos);
        CTQPipeSpec spec;
        spec.DoPropExchange(item.get());
        specs.Add(spec);
    }
    return true;
}
