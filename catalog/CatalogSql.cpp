#include "catalog/CatalogSql.h"

#include "db/NumberText.h"

#include "db/ADOFault.h"


namespace RVN::detail {

std::string SqlFormat(std::string_view tmpl, std::initializer_list<SqlArg> args) {
    std::string out;
    out.reserve(tmpl.size() + 32);
    auto next = args.begin();
    for (std::size_t i = 0; i < tmpl.size(); ++i) {
        const char c = tmpl[i];
        if (c != '%' || i + 1 >= tmpl.size()) {
            out += c;
            continue;
        }
        std::size_t j = i + 1;
        if (tmpl[j] == '%') {
            out += '%';
            i = j;
            continue;
        }
        if (tmpl[j] == 'l') {
            ++j;
        }
        if (j >= tmpl.size() || (tmpl[j] != 's' && tmpl[j] != 'd')) {
            out += c; // not a conversion of ours: keep the text as it is
            continue;
        }
        if (next != args.end()) {
            if (tmpl[j] == 's') {
                out += next->IsText() ? next->Text() : std::string_view();
            } else {
                out += RVN::FormatInteger(next->IsText() ? 0L : next->Number());
            }
            ++next;
        }
        i = j;
    }
    return out;
}

std::string SqlQuoted(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    for (char c : text) {
        out += c;
        if (c == '\'') {
            out += '\'';
        }
    }
    return out;
}

std::string SqlTextEquals(std::string_view column, std::string_view text) {
    const std::string col(column);
    if (text.empty()) {
        return "(" + col + " = '' or " + col + " is null)";
    }
    return col + " = '" + SqlQuoted(text) + "'";
}

bool ExecuteStatement(CADODatabase* db, const std::string& statement) {
    return db && db->Execute(statement) != 0;
}

bool DeleteById(CADODatabase* db, const char* table, long id) {
    return ExecuteStatement(ResolveDatabase(db), SqlFormat("delete * from %s where ID = %ld", {table, id}));
}

void CancelQuietly(CADORecordset* rs) {
    try {
        rs->CancelUpdate();
    } catch (...) {
        // Nothing was pending.
    }
}

bool BeginTransaction(CADODatabase* db) {
    try {
        return db->BeginTransaction() > 0;
    } catch (const RVNADO::ComError& e) {
        if (ClassifyADOError(e) != ADOFault::Locked) {
            throw;
        }
        db->RecordError(e); // another writer holds the file beyond the timeout
        return false;
    }
}

bool EndTransaction(CADODatabase* db, bool ok) {
    try {
        return (ok ? db->CommitTransaction() : db->RollbackTransaction()) == 0;
    } catch (const RVNADO::ComError& e) {
        db->RecordError(e);
    } catch (...) {
    }
    if (ok) {
        try {
            db->RollbackTransaction();
        } catch (...) {
        }
    }
    return false;
}

void RecordFailure(CADODatabase* db, CADORecordset& rs, const char* fallback) {
    if (rs.GetLastError() != 0) {
        db->RecordError(rs.GetLastError(), rs.GetLastErrorString());
    } else {
        db->RecordError(RVNADO::ComError(RVNADO::Status::Fail, "TQRVNBase", fallback));
    }
}

void RecordDuplicate(CADODatabase* db, const std::string& duplicateQuery) {
    db->RecordError(RVNADO::ComError(RVNADO::Status::IntegrityViolation, "TQRVNBase",
                                     "A row with the same key is in the table already (" +
                                         duplicateQuery + ")."));
}

} // namespace RVN::detail
