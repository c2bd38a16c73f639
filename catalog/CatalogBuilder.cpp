#include "catalog/CatalogBuilder.h"

#include "db/AtomicFile.h"
#include "db/CsvReader.h"
#include "db/NumberText.h"

#include <sqlite3.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace RVN {
namespace {

enum class ColumnKind { Integer, Real, Text };

struct Column {
    std::string name;
    ColumnKind kind = ColumnKind::Text;
};

// Storage class of a declared column type, by the engine's affinity rules
// (INTEGER for a type containing "INT", text for CHAR/CLOB/TEXT, REAL for
// REAL/FLOA/DOUB).  Numeric and untyped columns are read as numbers.
ColumnKind KindOf(std::string declared) {
    for (char& c : declared) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    auto has = [&](const char* part) { return declared.find(part) != std::string::npos; };
    if (has("INT")) {
        return ColumnKind::Integer;
    }
    if (has("CHAR") || has("CLOB") || has("TEXT")) {
        return ColumnKind::Text;
    }
    return ColumnKind::Real;
}

std::string Quoted(const std::string& identifier) {
    std::string out = "\"";
    for (char c : identifier) {
        out += c;
        if (c == '"') {
            out += '"';
        }
    }
    return out + "\"";
}

bool ReadFile(const std::string& path, std::string& text, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": cannot read the file";
        return false;
    }
    std::ostringstream s;
    s << in.rdbuf();
    if (in.bad()) {
        error = path + ": cannot read the file";
        return false;
    }
    text = s.str();
    return true;
}

class Database {
public:
    ~Database() { Close(); }
    bool Open(const std::string& path) {
        return sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK;
    }
    int Close() {
        const int rc = sqlite3_close(db_);
        db_ = nullptr;
        return rc;
    }
    sqlite3* get() const { return db_; }
    std::string Message() const { return db_ ? sqlite3_errmsg(db_) : "out of memory"; }
    bool Exec(const char* sql) { return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }

private:
    sqlite3* db_ = nullptr;
};

class Statement {
public:
    Statement() = default;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement() { sqlite3_finalize(st_); }
    sqlite3_stmt** out() { return &st_; }
    sqlite3_stmt* get() const { return st_; }

private:
    sqlite3_stmt* st_ = nullptr;
};

int LineAt(const std::string& text, const char* at) {
    int line = 1;
    for (const char* p = text.data(); p < at; ++p) {
        if (*p == '\n') {
            ++line;
        }
    }
    return line;
}

// Runs the statements of the schema one by one, so that an error names the
// line of the statement that failed.
bool RunSchema(Database& db, const std::string& file, std::string& error) {
    std::string sql;
    if (!ReadFile(file, sql, error)) {
        return false;
    }
    const char* p = sql.c_str();
    const char* end = p + sql.size();
    bool any = false;
    while (p < end) {
        while (p < end && (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n')) {
            ++p;
        }
        Statement st;
        const char* tail = nullptr;
        if (sqlite3_prepare_v2(db.get(), p, static_cast<int>(end - p), st.out(), &tail) != SQLITE_OK) {
            error = file + ":" + FormatInteger(LineAt(sql, p)) + ": " + db.Message();
            return false;
        }
        if (st.get()) {
            any = true;
            if (sqlite3_step(st.get()) != SQLITE_DONE) {
                error = file + ":" + FormatInteger(LineAt(sql, p)) + ": " + db.Message();
                return false;
            }
        }
        if (tail == nullptr || tail <= p) {
            break;
        }
        p = tail;
    }
    if (!any) {
        error = file + ": no statements";
    }
    return any;
}

bool TableColumns(Database& db, const std::string& table, std::vector<Column>& columns) {
    Statement st;
    const std::string sql = "PRAGMA table_info(" + Quoted(table) + ")";
    if (sqlite3_prepare_v2(db.get(), sql.c_str(), -1, st.out(), nullptr) != SQLITE_OK) {
        return false;
    }
    columns.clear();
    int rc;
    while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
        const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 1));
        const auto* type = reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 2));
        columns.push_back({name ? name : "", KindOf(type ? type : "")});
    }
    return rc == SQLITE_DONE;
}

bool UserTables(Database& db, std::vector<std::string>& tables) {
    Statement st;
    const char* sql =
        "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite\\_%' "
        "ESCAPE '\\' ORDER BY name";
    if (sqlite3_prepare_v2(db.get(), sql, -1, st.out(), nullptr) != SQLITE_OK) {
        return false;
    }
    int rc;
    while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
        tables.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 0)));
    }
    return rc == SQLITE_DONE;
}

// Loads `file` into `table`: the header must name each column of the table
// exactly once.
bool LoadTable(Database& db, const std::string& table, const std::string& file, std::string& error) {
    std::vector<Column> columns;
    if (!TableColumns(db, table, columns)) {
        error = table + ": " + db.Message();
        return false;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        error = file + ": cannot read the file";
        return false;
    }
    CTQCsvReader csv(in);
    std::vector<CTQCsvField> fields;
    auto fail = [&](long line, const std::string& what) {
        error = file + ":" + FormatInteger(line) + ": " + what;
        return false;
    };
    // Next is false at the end and on an error; an error names its line.
    auto next = [&]() { return csv.Next(fields); };
    if (!next()) {
        if (!csv.Error().empty()) {
            return fail(csv.ErrorLine(), csv.ErrorWhat());
        }
        if (in.bad()) {
            return fail(1, "cannot read the file");
        }
        return fail(1, "no header row");
    }
    // order[i]: index into `columns` of the CSV's i-th field.
    std::vector<std::size_t> order;
    std::vector<bool> seen(columns.size(), false);
    for (const CTQCsvField& f : fields) {
        std::size_t i = 0;
        while (i < columns.size() && columns[i].name != f.text) {
            ++i;
        }
        if (i == columns.size()) {
            return fail(csv.Line(), "header names '" + f.text + "', which is not a column of table " + table);
        }
        if (seen[i]) {
            return fail(csv.Line(), "header names column '" + f.text + "' twice");
        }
        seen[i] = true;
        order.push_back(i);
    }
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (!seen[i]) {
            return fail(csv.Line(), "header lacks column '" + columns[i].name + "' of table " + table);
        }
    }

    std::string sql = "INSERT INTO " + Quoted(table) + " (";
    std::string values;
    for (std::size_t i = 0; i < order.size(); ++i) {
        sql += (i ? ", " : "") + Quoted(columns[order[i]].name);
        values += i ? ", ?" : "?";
    }
    sql += ") VALUES (" + values + ")";
    Statement insert;
    if (sqlite3_prepare_v2(db.get(), sql.c_str(), -1, insert.out(), nullptr) != SQLITE_OK) {
        error = table + ": " + db.Message();
        return false;
    }

    while (next()) {
        if (fields.size() != order.size()) {
            return fail(csv.Line(), FormatInteger(static_cast<long long>(fields.size())) +
                                        " fields where the header has " +
                                        FormatInteger(static_cast<long long>(order.size())));
        }
        sqlite3_reset(insert.get());
        for (std::size_t i = 0; i < fields.size(); ++i) {
            const Column& col = columns[order[i]];
            const CTQCsvField& f = fields[i];
            const int slot = static_cast<int>(i) + 1;
            int rc;
            if (f.text.empty() && !f.quoted) {
                rc = sqlite3_bind_null(insert.get(), slot);
            } else if (col.kind == ColumnKind::Integer) {
                long long v = 0;
                if (!ParseInteger(f.text, v)) {
                    return fail(csv.Line(), "column '" + col.name + "': not an integer: '" + f.text + "'");
                }
                rc = sqlite3_bind_int64(insert.get(), slot, v);
            } else if (col.kind == ColumnKind::Real) {
                double v = 0;
                if (!ParseNumber(f.text, v)) {
                    return fail(csv.Line(), "column '" + col.name + "': not a number: '" + f.text + "'");
                }
                rc = sqlite3_bind_double(insert.get(), slot, v);
            } else {
                rc = sqlite3_bind_text(insert.get(), slot, f.text.data(), static_cast<int>(f.text.size()),
                                       SQLITE_TRANSIENT);
            }
            if (rc != SQLITE_OK) {
                return fail(csv.Line(), db.Message());
            }
        }
        if (sqlite3_step(insert.get()) != SQLITE_DONE) {
            return fail(csv.Line(), db.Message());
        }
    }
    if (!csv.Error().empty()) {
        return fail(csv.ErrorLine(), csv.ErrorWhat());
    }
    if (in.bad()) {
        return fail(csv.Line(), "cannot read the file");
    }
    return true;
}

// The engine's quick integrity check of the new catalog: a file that fails
// it never replaces anything.
bool Sound(Database& db, const std::string& path, std::string& error) {
    Statement st;
    if (sqlite3_prepare_v2(db.get(), "PRAGMA quick_check(1)", -1, st.out(), nullptr) != SQLITE_OK ||
        sqlite3_step(st.get()) != SQLITE_ROW) {
        error = path + ": " + db.Message();
        return false;
    }
    const auto* result = reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 0));
    if (result == nullptr || std::strcmp(result, "ok") != 0) {
        error = path + ": the new catalog fails the integrity check (" + (result ? result : "") + ")";
        return false;
    }
    return true;
}

bool Fill(Database& db, const std::string& dataDir, bool seed, std::string& error) {
    if (!db.Exec("PRAGMA journal_mode = MEMORY") || !db.Exec("PRAGMA synchronous = OFF") ||
        !db.Exec("BEGIN")) {
        error = db.Message();
        return false;
    }
    const std::filesystem::path dir(dataDir);
    if (!RunSchema(db, (dir / "schema.sql").string(), error)) {
        return false;
    }
    std::vector<std::string> tables;
    if (seed && !UserTables(db, tables)) {
        error = db.Message();
        return false;
    }
    for (const std::string& table : tables) {
        if (!LoadTable(db, table, (dir / (table + ".csv")).string(), error)) {
            return false;
        }
    }
    if (!db.Exec("COMMIT")) {
        error = "commit: " + db.Message();
        return false;
    }
    return true;
}

bool Build(const std::string& path, const std::string& dataDir, bool force, bool seed,
           std::string& error) {
    error.clear();
    if (path.empty()) {
        error = "no catalog file name";
        return false;
    }
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        if (!force) {
            error = path + ": the file exists (use force to replace it)";
            return false;
        }
        if (S_ISDIR(st.st_mode)) {
            error = path + ": is a folder";
            return false;
        }
        if (!S_ISREG(st.st_mode)) {
            error = path + ": is not a regular file";
            return false;
        }
    }

    // Built in a temporary file beside the target (the engine writes it by
    // name), which only a complete, checked catalog replaces the target with.
    AtomicFile file(path);
    if (!file.Open()) {
        error = file.Error();
        return false;
    }
    bool ok;
    {
        Database db;
        ok = db.Open(file.TempPath());
        if (!ok) {
            error = path + ": " + db.Message();
        } else {
            ok = Fill(db, dataDir, seed, error) && Sound(db, path, error);
        }
        if (db.Close() != SQLITE_OK && ok) {
            error = path + ": cannot close the database";
            ok = false;
        }
    }
    if (!ok) {
        return false;
    }
    if (!file.Commit(force)) {
        error = file.ErrorNumber() == EEXIST ? path + ": the file exists (use force to replace it)"
                                             : file.Error();
        return false;
    }
    return true;
}

}  // namespace

bool BuildCatalog(const std::string& path, const std::string& dataDir, bool force,
                  std::string& error) {
    return Build(path, dataDir, force, true, error);
}

bool BuildEmptyCatalog(const std::string& path, const std::string& dataDir, bool force,
                       std::string& error) {
    return Build(path, dataDir, force, false, error);
}

std::string SeedDataFolder() {
    std::error_code ec;
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&SeedDataFolder), &info) != 0 && info.dli_fname) {
        const std::filesystem::path installed =
            std::filesystem::path(info.dli_fname).parent_path() / TQRVN_SEED_DATA_FROM_LIBDIR;
        if (std::filesystem::is_regular_file(installed / "schema.sql", ec)) {
            return installed.lexically_normal().string() + "/";
        }
    }
    const std::filesystem::path source(TQRVN_SOURCE_DATA_DIR);
    if (std::filesystem::is_regular_file(source / "schema.sql", ec)) {
        return source.string() + "/";
    }
    return std::string();
}

}  // namespace RVN
