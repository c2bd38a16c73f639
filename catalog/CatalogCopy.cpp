// Copying a whole catalog between two connections.
#include "catalog/CatalogCopy.h"

#include "catalog/CTQDuctSpec.h"
#include "catalog/CTQPipeMatl.h"
#include "catalog/CTQPipeSpec.h"
#include "catalog/CTQPipeValve.h"
#include "catalog/CTQSteamProp.h"
#include "catalog/CTQWaterProp.h"
#include "catalog/CatalogSql.h"
#include "db/ADODatabase.h"
#include "db/ADORecordset.h"
#include "db/provider/ConnectionText.h"
#include "db/NumberText.h"

#include <cmath>
#include <vector>

namespace RVN {

namespace {

std::vector<const char*> CatalogTables() {
    return {CTQPipeMatl::sTableName,  CTQPipeSpec::sTableName,  CTQDuctSpec::sTableName,
            CTQPipeValve::sTableName, CTQWaterProp::sTableName, CTQSteamProp::sTableName};
}

bool StartsWithNoCase(const std::string& text, const char* prefix) {
    std::size_t i = 0;
    for (; prefix[i] != '\0'; ++i) {
        if (i >= text.size() || std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) {
            return false;
        }
    }
    return true;
}

bool HasProvider(const std::string& name) {
    for (std::size_t p = 0; p < name.size(); ++p) {
        if (StartsWithNoCase(name.substr(p), "provider=")) {
            return true;
        }
    }
    return false;
}

// One value as an SQL literal; false for a value that has none (a number
// that is not finite).
bool Literal(const RVNADO::Variant& v, std::string& out) {
    if (v.IsEmptyOrNull()) {
        out = "NULL";
        return true;
    }
    if (v.IsInteger()) {
        out = FormatInteger(v.GetInt());
        return true;
    }
    double d = 0;
    if ((v.Kind() == RVNADO::VT_R8 || v.Kind() == RVNADO::VT_R4) && v.ToDouble(d)) {
        out = FormatNumber(d);
        return std::isfinite(d);
    }
    out = "'" + detail::SqlQuoted(v.Kind() == RVNADO::VT_BSTR ? v.GetString() : v.ToText()) + "'";
    return true;
}

// The rows of one table of `from` inserted into `to`.
bool CopyTable(CADODatabase& from, CADODatabase& to, const char* table, std::string& error) {
    CADORecordset rs(&from);
    if (!rs.Open(std::string("select * from ") + table, CADORecordset::openQuery)) {
        error = "cannot read the table " + std::string(table) + ": " + rs.GetLastErrorString();
        return false;
    }
    const int fields = rs.GetFieldCount();
    std::string head = std::string("insert into ") + table + " (";
    for (int i = 0; i < fields; ++i) {
        CADOFieldInfo info;
        rs.GetFieldInfo(i, &info);
        head += (i > 0 ? ", " : "") + std::string(info.m_strName);
    }
    head += ") values (";
    for (; !rs.IsEof(); rs.MoveNext()) {
        std::string sql = head;
        for (int i = 0; i < fields; ++i) {
            RVNADO::Variant v;
            std::string literal;
            if (!rs.GetFieldValue(i, v) || !Literal(v, literal)) {
                error = "a value of the table " + std::string(table) + " cannot be copied";
                return false;
            }
            sql += (i > 0 ? ", " : "") + literal;
        }
        if (!to.Execute(sql + ")")) {
            error = "cannot write the table " + std::string(table) + ": " + to.GetLastErrorString();
            return false;
        }
    }
    return true;
}

// Whether the target has every catalog table and whether any holds rows.
// Asked before the copy's transaction: on a server, a failed query spoils
// the transaction it runs in.
void SurveyTarget(CADODatabase& to, bool& missing, bool& empty) {
    missing = false;
    empty = true;
    for (const char* table : CatalogTables()) {
        CADORecordset rs(&to);
        if (!rs.Open(std::string("select count(*) from ") + table, CADORecordset::openQuery)) {
            missing = true;
            continue;
        }
        long rows = 0;
        rs.GetFieldValue(0, rows);
        empty = empty && rows == 0;
    }
}

// Makes the tables the target lacks and empties the others.
bool PrepareTarget(CADODatabase& to, const std::string& schemaSql, bool missing,
                   std::string& error) {
    if (missing && (schemaSql.empty() || !to.Execute(schemaSql))) {
        error = "cannot make the catalog tables on the target: " + to.GetLastErrorString();
        return false;
    }
    for (const char* table : CatalogTables()) {
        if (!to.Execute(std::string("delete from ") + table)) {
            error = "cannot empty the table " + std::string(table) + ": " + to.GetLastErrorString();
            return false;
        }
    }
    return true;
}

} // namespace

std::string CatalogConnectionString(const std::string& name) {
    if (HasProvider(name)) {
        return name;
    }
    if (StartsWithNoCase(name, "postgresql://") || StartsWithNoCase(name, "postgres://")) {
        return "Provider=PostgreSQL;Data Source=" + name;
    }
    std::string value = "\"";
    for (char c : name) {
        value += c == '"' ? "\"\"" : std::string(1, c);
    }
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + value + "\"";
}

std::string CatalogDisplayName(const std::string& name) {
    return IsServerCatalog(name) ? RVNADO::detail::MaskPassword(name) : name;
}

bool IsServerCatalog(const std::string& name) {
    return CatalogConnectionString(name).find("Provider=Microsoft.Jet.OLEDB.4.0") != 0;
}

bool CopyCatalog(CADODatabase& from, CADODatabase& to, const std::string& schemaSql, bool replace,
                 std::string& error) {
    bool ok = false;
    try {
        bool missing = false, empty = true;
        SurveyTarget(to, missing, empty);
        if (!empty && !replace) {
            error = "the target catalog is not empty (replace it with --force)";
            return false;
        }
        if (to.BeginTransaction() <= 0) {
            error = "cannot begin a transaction on the target: " + to.GetLastErrorString();
            return false;
        }
        ok = PrepareTarget(to, schemaSql, missing, error);
        for (const char* table : CatalogTables()) {
            ok = ok && CopyTable(from, to, table, error);
        }
        if (ok) {
            ok = to.CommitTransaction() == 0;
        } else {
            to.RollbackTransaction();
        }
    } catch (const std::exception& e) {
        error = std::string("the copy failed: ") + e.what();
        try {
            to.RollbackTransaction();
        } catch (...) {
        }
        return false;
    }
    return ok;
}

} // namespace RVN
