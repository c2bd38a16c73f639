#include "catalog/CTQPipeValve.h"

#include "catalog/CXTPPropExchange.h"
#include "catalog/CatalogSql.h"
#include "db/ADODatabase.h"
#include "db/ADORecordset.h"
#include "db/NumberText.h"

#include <algorithm>
#include <system_error>

using RVN::detail::ResolveDatabase;
using RVN::detail::SqlFormat;
using RVN::detail::SqlQuoted;

const char* const CTQPipeValve::sTableName = "PipeValve";
const char* const CTQPipeValve::sFieldName_ID = "ID";
const char* const CTQPipeValve::sFieldName_Type = "Type";
const char* const CTQPipeValve::sFieldName_ValveName = "ValveName";
const char* const CTQPipeValve::sFieldName_Coef = "Coef";
const char* const CTQPipeValve::sFieldName_CalType = "CalType";
const char* const CTQPipeValve::sFieldName_Variable = "Variable";
const char* const CTQPipeValve::sFieldName_DnCandidate = "DnCandidate";
const char* const CTQPipeValve::sFieldName_CoefCandidate = "CoefCandidate";
const char* const CTQPipeValve::sFieldName_Version = "Version";

namespace {

// Separator of the two DN table lists.
constexpr char kListSeparator = ',';

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// A list part without its leading blanks.
std::string_view PartText(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    return std::string_view(text).substr(i);
}

// A DN from its decimal text: an optional sign and the digits that follow,
// read up to the first other character ("20.5" gives 20); 0 when there is no
// number or it does not fit an int.
int TextToDn(const std::string& text) {
    const std::string_view part = PartText(text);
    std::size_t n = part.size() > 0 && (part[0] == '+' || part[0] == '-') ? 1 : 0;
    while (n < part.size() && part[n] >= '0' && part[n] <= '9') ++n;
    int value = 0;
    return RVN::ParseInteger(part.substr(0, n), value) ? value : 0;
}

// A coefficient from its decimal text, read up to the first character that
// is not part of the number; 0 when there is none or it is out of the range
// of a double.
double TextToCoef(const std::string& text) {
    double value = 0.0;
    return RVN::ParseNumberPrefix(PartText(text), value) > 0 ? value : 0.0;
}

// A coefficient as fixed-point text with six decimals ("0.500000"), the same
// in every locale.
std::string CoefToText(double value) { return DoubleToText(value, 6); }

// Kind searched by the lookup by name: 2 for kinds 2 and 3, 1 for any other.
int FoldLookupKind(int type) { return (type == 2 || type == 3) ? 2 : 1; }

// Kind filtered by the listing (type > 0): 4 lists kind 1, 3 lists kind 2.
int FoldListingKind(int type) {
    if (type == 4) return 1;
    if (type == 3) return 2;
    return type;
}

} // namespace

// ---- CTQCalValve ------------------------------------------------------------

CTQCalValve::CTQCalValve(const char* name, double coef) : ValveName(name ? name : ""), Coef(coef) {}

CTQCalValve::CTQCalValve(const std::string& name, double coef) : ValveName(name), Coef(coef) {}

// ---- CTQPipeValve -----------------------------------------------------------

CTQPipeValve::CTQPipeValve(const char* name, double coef) : CTQCalValve(name, coef) {}

CTQPipeValve::CTQPipeValve(const std::string& name, double coef) : CTQCalValve(name, coef) {}

void CTQPipeValve::FormatDnTable(std::string& dnText, std::string& coefText) const {
    dnText.clear();
    coefText.clear();
    for (POSITION pos = DnCoef.GetStartPosition(); pos != nullptr;) {
        int dn = 0;
        double coef = 0.0;
        DnCoef.GetNextAssoc(pos, dn, coef);
        dnText += IntToText(dn);
        dnText += kListSeparator;
        coefText += CoefToText(coef);
        coefText += kListSeparator;
    }
    while (!dnText.empty() && dnText.back() == kListSeparator) dnText.pop_back();
    while (!coefText.empty() && coefText.back() == kListSeparator) coefText.pop_back();
}

void CTQPipeValve::ParseDnTable(const std::string& dnText, const std::string& coefText) {
    DnCoef.RemoveAll();
    CTQArray<std::string> dns;
    CTQArray<std::string> coefs;
    const int n = std::min(SplitString(dns, dnText, kListSeparator), SplitString(coefs, coefText, kListSeparator));
    for (int i = 0; i < n; ++i) {
        DnCoef[TextToDn(dns[i])] = TextToCoef(coefs[i]);
    }
}

int CTQPipeValve::SplitString(CTQArray<std::string>& out, const std::string& text, char delimiter) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && text[first] == delimiter) ++first;
    while (last > first && text[last - 1] == delimiter) --last;

    out.RemoveAll();
    while (first < last) {
        const std::size_t cut = text.find(delimiter, first);
        if (cut == std::string::npos || cut >= last) {
            out.Add(text.substr(first, last - first));
            break;
        }
        out.Add(text.substr(first, cut - first));
        first = cut + 1;
    }
    return static_cast<int>(out.GetSize());
}

double CTQPipeValve::GetValue(int dn) const {
    if (Variable == 0) return Coef;
    if (DnCoef.IsEmpty()) return 0.0;

    double coef = 0.0;
    if (DnCoef.Lookup(dn, coef)) return coef;

    CTQArray<int> dns;
    dns.SetSize(0, DnCoef.GetCount());
    for (POSITION pos = DnCoef.GetStartPosition(); pos != nullptr;) {
        int key = 0;
        double value = 0.0;
        DnCoef.GetNextAssoc(pos, key, value);
        dns.Add(key);
    }
    std::sort(dns.begin(), dns.end());

    const int smallest = dns[0];
    const int largest = dns[dns.GetSize() - 1];
    if (dn < smallest || dns.GetSize() == 1) {
        DnCoef.Lookup(smallest, coef);
        return coef;
    }
    if (dn > largest) {
        DnCoef.Lookup(largest, coef);
        return coef;
    }

    // smallest < dn < largest and dn is not in the table, so a greater DN
    // exists and is not the first.
    const int* hiIt = std::upper_bound(dns.begin(), dns.end(), dn);
    const int hi = *hiIt;
    const int lo = *(hiIt - 1);
    double coefHi = 0.0;
    double coefLo = 0.0;
    DnCoef.Lookup(hi, coefHi);
    DnCoef.Lookup(lo, coefLo);
    // In double arithmetic: DN differences of extreme keys overflow an int.
    const double x = dn;
    const double x0 = lo;
    const double x1 = hi;
    return ((x - x0) * coefHi + (x1 - x) * coefLo) / (x1 - x0);
}

bool CTQPipeValve::DoPropExchange(CXTPPropExchange* pPX) {
    if (pPX == nullptr) return false;

    PX_Long(pPX, sFieldName_ID, ID);
    PX_Int(pPX, sFieldName_Type, Type);
    PX_String(pPX, sFieldName_ValveName, ValveName);
    PX_Double(pPX, sFieldName_Coef, Coef);
    PX_Int(pPX, sFieldName_CalType, CalType);
    PX_Bool(pPX, sFieldName_Variable, Variable);
    PX_Int(pPX, sFieldName_Version, Version);

    std::string dnText;
    std::string coefText;
    if (pPX->IsLoading()) {
        DnCoef.RemoveAll();
        if (Variable != 0) {
            PX_String(pPX, sFieldName_DnCandidate, dnText);
            PX_String(pPX, sFieldName_CoefCandidate, coefText);
            ParseDnTable(dnText, coefText);
        }
    } else if (Variable != 0) {
        FormatDnTable(dnText, coefText);
        PX_String(pPX, sFieldName_DnCandidate, dnText);
        PX_String(pPX, sFieldName_CoefCandidate, coefText);
    }
    return true;
}

bool CTQPipeValve::UpdateData(CADORecordset* pRs, bool bRead) {
    if (pRs == nullptr) return false;

    if (bRead) {
        pRs->GetFieldValue(sFieldName_ID, ID);
        pRs->GetFieldValue(sFieldName_Type, Type);
        pRs->GetFieldValue(sFieldName_ValveName, ValveName);
        pRs->GetFieldValue(sFieldName_Coef, Coef);
        pRs->GetFieldValue(sFieldName_CalType, CalType);
        pRs->GetFieldValue(sFieldName_Variable, Variable);
        if (Variable != 0) {
            std::string dnText;
            std::string coefText;
            pRs->GetFieldValue(sFieldName_DnCandidate, dnText);
            pRs->GetFieldValue(sFieldName_CoefCandidate, coefText);
            ParseDnTable(dnText, coefText);
        }
        pRs->GetFieldValue(sFieldName_Version, Version);
        return true;
    }

    pRs->Edit();
    bool ok = pRs->SetFieldValue(sFieldName_Type, Type) && pRs->SetFieldValue(sFieldName_ValveName, ValveName) &&
              pRs->SetFieldValue(sFieldName_Coef, Coef) && pRs->SetFieldValue(sFieldName_CalType, CalType) &&
              pRs->SetFieldValue(sFieldName_Variable, Variable);
    if (ok && Variable != 0) {
        std::string dnText;
        std::string coefText;
        FormatDnTable(dnText, coefText);
        ok = pRs->SetFieldValue(sFieldName_DnCandidate, dnText) &&
             pRs->SetFieldValue(sFieldName_CoefCandidate, coefText);
    }
    ok = ok && pRs->SetFieldValue(sFieldName_Version, Version);
    // Only a complete row is stored: after a refused field write the edit
    // stays pending and is dropped by the caller (or by closing the recordset).
    return ok && pRs->Update() != 0;
}

bool CTQPipeValve::UpdateData(long id, bool bRead, CADODatabase* pDB) {
    CADODatabase* db = ResolveDatabase(pDB);
    if (db == nullptr) return false;
    const std::string sql = SqlFormat("select * from %s where %s = %ld", {sTableName, sFieldName_ID, id});
    return RVN::detail::TransferFirstRow(*this, db, sql, bRead);
}

bool CTQPipeValve::UpdateData(const std::string& name, bool bRead, CADODatabase* pDB) {
    CADODatabase* db = ResolveDatabase(pDB);
    if (db == nullptr) return false;
    const std::string sql = SqlFormat("select * from %s where %s = '%s' and %s = %d",
                                      {sTableName, sFieldName_ValveName, SqlQuoted(name), sFieldName_Type,
                                       FoldLookupKind(Type)});
    return RVN::detail::TransferFirstRow(*this, db, sql, bRead);
}

bool CTQPipeValve::UpdateData(const char* name, bool bRead, CADODatabase* pDB) {
    return UpdateData(std::string(name ? name : ""), bRead, pDB);
}

bool CTQPipeValve::Remove(CADODatabase* pDB) { return Delete(ID, pDB); }

bool CTQPipeValve::Add(CADODatabase* pDB) {
    CADODatabase* db = ResolveDatabase(pDB);
    if (db == nullptr) return false;
    // An empty name is stored as null: the check finds both as one name.
    const std::string duplicate =
        SqlFormat("select * from %s where %s = %d and %s",
                  {sTableName, sFieldName_Type, Type, RVN::detail::SqlTextEquals(sFieldName_ValveName, ValveName)});
    return RVN::detail::AddGuarded(db, duplicate, ID, [this](CADORecordset* rs) { return UpdateData(rs, false); });
}

bool CTQPipeValve::Delete(long id, CADODatabase* pDB) {
    return RVN::detail::DeleteById(pDB, sTableName, id);
}

// ---- comparison -------------------------------------------------------------

bool operator==(const CTQPipeValve& a, const CTQPipeValve& b) {
    if (a.ID == b.ID && a.ID != -1) return true;
    return a.ValveName == b.ValveName;
}

bool operator<(const CTQPipeValve& a, const CTQPipeValve& b) {
    return a.ID < b.ID || a.ValveName.compare(b.ValveName) < 0;
}

bool operator>(const CTQPipeValve& a, const CTQPipeValve& b) {
    return a.ID > b.ID || a.ValveName.compare(b.ValveName) > 0;
}

// ---- CTQPipeValveManager ----------------------------------------------------

bool CTQPipeValveManager::GetValve(CTQPipeValve& valve, const std::string& name, CADODatabase* pDB) {
    return valve.UpdateData(name, true, pDB);
}

bool CTQPipeValveManager::GetValve(CTQPipeValve& valve, const char* name, CADODatabase* pDB) {
    return valve.UpdateData(std::string(name ? name : ""), true, pDB);
}

int CTQPipeValveManager::GetAllValve(CTQArray<CTQPipeValve>& arr, int type, CADODatabase* pDB) {
    CADODatabase* db = ResolveDatabase(pDB);
    if (db == nullptr) return 0;

    std::string sql = SqlFormat("select * from %s ", {CTQPipeValve::sTableName});
    if (type > 0) {
        sql += SqlFormat(" where %s = %d", {CTQPipeValve::sFieldName_Type, FoldListingKind(type)});
    }
    sql += " order by ";
    sql += CTQPipeValve::sFieldName_ValveName;

    arr.RemoveAll();
    const long n = RVN::detail::ListRows<CTQPipeValve>(db, sql, arr);
    return n < 0 ? 0 : static_cast<int>(n);
}

double CTQPipeValveManager::GetTotalCoef(const CTQArray<CTQPipeValve>& arr, int dn) {
    double total = 0.0;
    for (const CTQPipeValve& valve : arr) total += valve.GetValue(dn);
    return total;
}

double CTQPipeValveManager::GetTotalCoef(const CTQMap<long, int>& counts, int dn, CADODatabase* pDB) {
    CADODatabase* db = ResolveDatabase(pDB);
    if (db == nullptr) return 0.0;

    double total = 0.0;
    for (POSITION pos = counts.GetStartPosition(); pos != nullptr;) {
        long id = -1;
        int count = 0;
        counts.GetNextAssoc(pos, id, count);
        CTQPipeValve valve;
        if (valve.UpdateData(id, true, db)) total += count * valve.GetValue(dn);
    }
    return total;
}

bool CTQPipeValveManager::DoPropExchange(CXTPPropExchange* pPX, CTQArray<CTQPipeValve>& arr) {
    if (pPX == nullptr) return false;

    CXTPPropExchangeSection section(pPX->GetSection("Valves"));
    CXTPPropExchangeEnumeratorPtr items(section->GetEnumerator("Valve"));
    if (pPX->IsStoring()) {
        POSITION pos = items->GetPosition(static_cast<std::size_t>(arr.GetSize()));
        for (CTQPipeValve& valve : arr) {
            CXTPPropExchangeSection item(items->GetNext(pos));
            valve.DoPropExchange(item);
        }
    } else {
        arr.RemoveAll();
        POSITION pos = items->GetPosition();
        while (pos != nullptr) {
            CXTPPropExchangeSection item(items->GetNext(pos));
            CTQPipeValve valve;
            valve.DoPropExchange(item);
            arr.Add(valve);
        }
    }
    return true;
}
