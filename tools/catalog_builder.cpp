#include "catalog_builder.h"

#include "db/AtomicFile.h"

#include <sqlite3.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tqrvn {
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

struct Field {
    std::string text;
    bool quoted = false;
};

// Reader of RFC 4180 records.  Blank lines are skipped.
class CsvReader {
public:
    explicit CsvReader(const std::string& text) : text_(text) {
        if (text_.compare(0, 3, "\xEF\xBB\xBF") == 0) {
            pos_ = 3;
        }
    }

    enum class Result { Record, End, Error };

    // Reads the next record into `fields`; Line() is then the line it starts on.
    Result Next(std::vector<Field>& fields, std::string& error) {
        for (;;) {
            if (pos_ >= text_.size()) {
                return Result::End;
            }
            recordLine_ = line_;
            const Result r = ReadRecord(fields, error);
            if (r != Result::Record || fields.size() != 1 || fields[0].quoted ||
                !fields[0].text.empty()) {
                return r;
            }
        }
    }

    int Line() const { return recordLine_; }
    // Line of the error that Next reported.
    int ErrorLine() const { return errorLine_; }

private:
    // Consumes a line end at pos_; false when there is none.
    bool LineEnd() {
        if (text_[pos_] == '\n') {
            ++pos_;
        } else if (text_[pos_] == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n') {
            pos_ += 2;
        } else {
            return false;
        }
        ++line_;
        return true;
    }

    Result ReadRecord(std::vector<Field>& fields, std::string& error) {
        fields.clear();
        for (;;) {
            Field f;
            errorLine_ = line_;
            if (pos_ < text_.size() && text_[pos_] == '"') {
                f.quoted = true;
                ++pos_;
                for (;;) {
                    if (pos_ >= text_.size()) {
                        error = "unterminated quoted field";
                        return Result::Error;  // named by the line where it opens
                    }
                    const char c = text_[pos_++];
                    if (c == '"') {
                        if (pos_ < text_.size() && text_[pos_] == '"') {
                            f.text += '"';
                            ++pos_;
                            continue;
                        }
                        break;
                    }
                    if (c == '\n') {
                        ++line_;
                    }
                    f.text += c;
                }
                errorLine_ = line_;
                if (pos_ < text_.size() && text_[pos_] != ',' && text_[pos_] != '\n' &&
                    text_[pos_] != '\r') {
                    error = "text after the closing quote of a field";
                    return Result::Error;
                }
            } else {
                while (pos_ < text_.size() && text_[pos_] != ',' && text_[pos_] != '\n' &&
                       text_[pos_] != '\r') {
                    if (text_[pos_] == '"') {
                        error = "quote inside an unquoted field";
                        return Result::Error;
                    }
                    f.text += text_[pos_++];
                }
            }
            fields.push_back(std::move(f));
            if (pos_ >= text_.size()) {
                return Result::Record;
            }
            if (text_[pos_] == ',') {
                ++pos_;
                continue;
            }
            if (!LineEnd()) {
                error = "carriage return without line feed";
                return Result::Error;
            }
            return Result::Record;
        }
    }

    const std::string& text_;
    std::size_t pos_ = 0;
    int line_ = 1;
    int recordLine_ = 1;
    int errorLine_ = 1;
};

bool ParseInteger(const std::string& text, long long& value) {
    const char* end = text.data() + text.size();
    const auto r = std::from_chars(text.data(), end, value);
    return r.ec == std::errc() && r.ptr == end;
}

bool ParseReal(const std::string& text, double& value) {
    const char* end = text.data() + text.size();
    const auto r = std::from_chars(text.data(), end, value, std::chars_format::general);
    return r.ec == std::errc() && r.ptr == end && std::isfinite(value);
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
            error = file + ":" + std::to_string(LineAt(sql, p)) + ": " + db.Message();
            return false;
        }
        if (st.get()) {
            any = true;
            if (sqlite3_step(st.get()) != SQLITE_DONE) {
                error = file + ":" + std::to_string(LineAt(sql, p)) + ": " + db.Message();
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
    std::string text;
    if (!ReadFile(file, text, error)) {
        return false;
    }
    CsvReader csv(text);
    std::vector<Field> fields;
    auto fail = [&](int line, const std::string& what) {
        error = file + ":" + std::to_string(line) + ": " + what;
        return false;
    };
    switch (csv.Next(fields, error)) {
    case CsvReader::Result::Error:
        return fail(csv.ErrorLine(), error);
    case CsvReader::Result::End:
        return fail(1, "no header row");
    case CsvReader::Result::Record:
        break;
    }
    // order[i]: index into `columns` of the CSV's i-th field.
    std::vector<std::size_t> order;
    std::vector<bool> seen(columns.size(), false);
    for (const Field& f : fields) {
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

    for (;;) {
        const CsvReader::Result r = csv.Next(fields, error);
        if (r == CsvReader::Result::End) {
            return true;
        }
        if (r == CsvReader::Result::Error) {
            return fail(csv.ErrorLine(), error);
        }
        if (fields.size() != order.size()) {
            return fail(csv.Line(), std::to_string(fields.size()) + " fields where the header has " +
                                        std::to_string(order.size()));
        }
        sqlite3_reset(insert.get());
        for (std::size_t i = 0; i < fields.size(); ++i) {
            const Column& col = columns[order[i]];
            const Field& f = fields[i];
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
                if (!ParseReal(f.text, v)) {
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

bool Fill(Database& db, const std::string& dataDir, std::string& error) {
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
    if (!UserTables(db, tables)) {
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

}  // namespace

bool BuildCatalog(const std::string& path, const std::string& dataDir, bool force, std::string& error) {
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
    RVN::AtomicFile file(path);
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
            ok = Fill(db, dataDir, error) && Sound(db, path, error);
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

}  // namespace tqrvn
