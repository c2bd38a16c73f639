#include "catalog_commands.h"

#include "catalog/CatalogBuilder.h"
#include "library_faults.h"
#include "table_text.h"
#include "text_format.h"

#include "catalog/CTQDuctSpec.h"
#include "catalog/CatalogCopy.h"
#include "catalog/CTQPipeMatl.h"
#include "catalog/CTQPipeValve.h"
#include "catalog/CTQSteamProp.h"
#include "catalog/CTQWaterProp.h"
#include "catalog/RVNDataBase.h"
#include "db/ADODatabase.h"
#include "db/ADORecordset.h"

#include <algorithm>
#include "catalog/CatalogChecks.h"
#include "db/NumberText.h"
#include <set>
#include <sys/stat.h>
#include <vector>

namespace tqrvn {

namespace {

std::string Num(double v) { return FormatNumber(v); }
std::string Int(long v) { return FormatNumber(static_cast<double>(v)); }

// Opens the catalog and makes it the library's default connection for the
// lifetime of the object.  The connection is the tool's own, handed to the
// library as a host does, so that its errors can be read here.
class OpenCatalog {
public:
    OpenCatalog(const std::string& path, std::ostream& err) {
        struct stat st {};
        if (!RVN::IsServerCatalog(path) && ::stat(path.c_str(), &st) != 0) {
            err << "tqrvn: no catalog at " << path << " (create one with: tqrvn catalog create PATH)\n";
            return;
        }
        if (!db_.Open(RVN::CatalogConnectionString(path))) {
            err << "tqrvn: cannot open the catalog " << path << ": "
                << DescribeDatabaseError(db_.GetLastError(), db_.GetLastErrorString()) << "\n";
            return;
        }
        RVN::SetRVNBaseDataBase(&db_);
        open_ = true;
    }
    ~OpenCatalog() {
        if (open_) {
            RVN::SetRVNBaseDataBase(nullptr);
        }
    }
    OpenCatalog(const OpenCatalog&) = delete;
    OpenCatalog& operator=(const OpenCatalog&) = delete;
    explicit operator bool() const { return open_; }
    CADODatabase* db() { return &db_; }

private:
    CADODatabase db_;
    bool open_ = false;
};

// Runs a listing or lookup of the library and tells whether a query of it
// failed: the library then gives an empty result and records the reason on
// the connection, which is printed here.
template <typename Read>
bool ReadCatalog(Read&& read, const std::string& what, std::ostream& err) {
    CADODatabase* db = RVN::GetRVNBaseDataBase();
    db->ClearLastError();
    read();
    if (db->GetLastError() == 0) {
        return true;
    }
    err << "tqrvn: cannot read " << what << " from the catalog: "
        << DescribeDatabaseError(db->GetLastError(), db->GetLastErrorString()) << "\n";
    return false;
}

// The DN table of a valve as "DN:coef" pairs in ascending DN.
std::string DnTableText(const CTQPipeValve& v) {
    std::vector<std::pair<int, double>> pairs;
    POSITION pos = v.DnCoef.GetStartPosition();
    while (pos) {
        int dn = 0;
        double coef = 0;
        v.DnCoef.GetNextAssoc(pos, dn, coef);
        pairs.emplace_back(dn, coef);
    }
    std::sort(pairs.begin(), pairs.end());
    std::string out;
    for (const auto& [dn, coef] : pairs) {
        out += (out.empty() ? "" : " ") + Int(dn) + ":" + Num(coef);
    }
    return out;
}

enum class Lookup { Found, Missing, Failed };

// The material of a name, else of an ID; Failed when a query failed (the
// reason is printed on err).
Lookup FindMaterial(const std::string& key, CTQPipeMatl& matl, std::ostream& err) {
    bool found = false;
    const bool read = ReadCatalog(
        [&] {
            found = CTQPipeMatlManager::GetMatl(matl, key.c_str(), nullptr);
            long id = 0;
            found = found || (RVN::ParseInteger(key, id) && matl.UpdateData(id, true, nullptr));
        },
        "the materials", err);
    return !read ? Lookup::Failed : found ? Lookup::Found : Lookup::Missing;
}

int Print(const TextTable& table, const std::vector<std::string>& json, bool asJson,
          std::ostream& out) {
    if (asJson) {
        out << JsonArray(json) << "\n";
    } else {
        out << table.Render();
    }
    return 0;
}

int ListMaterials(bool json, std::ostream& out, std::ostream& err) {
    CTQArray<CTQPipeMatl> list;
    if (!ReadCatalog([&] { CTQPipeMatlManager::GetAllMatl(list, 0, nullptr); }, "the materials", err)) {
        return kCatalogError;
    }
    TextTable t({"ID", "Type", "Name", "Mark", "K", "Density", "Unit"});
    std::vector<std::string> items;
    for (INT_PTR i = 0; i < list.GetSize(); ++i) {
        const CTQPipeMatl& m = list[i];
        t.AddRow({Int(m.ID), Int(m.Type), m.Name, m.Mark, Num(m.K), Num(m.Density), m.Unit});
        items.push_back(JsonObject()
                            .Add("ID", static_cast<double>(m.ID))
                            .Add("Type", m.Type)
                            .Add("Name", m.Name)
                            .Add("Unit", m.Unit)
                            .Add("Mark", m.Mark)
                            .Add("Symbol", m.Symbol)
                            .Add("K", m.K)
                            .Add("Density", m.Density)
                            .Add("Comment", m.Comment)
                            .Str());
    }
    return Print(t, items, json, out);
}

int ListSizes(const std::string& material, bool json, std::ostream& out, std::ostream& err) {
    CTQPipeMatl matl;
    const Lookup found = material.empty() ? Lookup::Missing : FindMaterial(material, matl, err);
    if (found != Lookup::Found) {
        if (found == Lookup::Missing) {
            err << "tqrvn: no material '" << material
                << "' in the catalog (see: tqrvn catalog list materials)\n";
        }
        return kCatalogError;
    }
    CTQArray<CTQPipeSpec> list;
    if (!ReadCatalog([&] { matl.GetAllSpec(list, nullptr); }, "the sizes of " + matl.Name, err)) {
        return kCatalogError;
    }
    TextTable t({"DN", "InsD mm", "OutD mm", "Thickness mm", "MinV m/s", "MaxV m/s", "MinH", "MaxH",
                 "MinR Pa/m", "MaxR Pa/m"});
    std::vector<std::string> items;
    for (INT_PTR i = 0; i < list.GetSize(); ++i) {
        const CTQPipeSpec& s = list[i];
        t.AddRow({Int(s.DN), Num(s.InsD), Num(s.OutD), Num(s.Thickness), Num(s.MinV), Num(s.MaxV),
                  Num(s.MinH), Num(s.MaxH), Num(s.MinR), Num(s.MaxR)});
        items.push_back(JsonObject()
                            .Add("ID", static_cast<double>(s.ID))
                            .Add("DN", s.DN)
                            .Add("InsD", s.InsD)
                            .Add("OutD", s.OutD)
                            .Add("Thickness", s.Thickness)
                            .Add("MinV", s.MinV)
                            .Add("MaxV", s.MaxV)
                            .Add("MinH", s.MinH)
                            .Add("MaxH", s.MaxH)
                            .Add("MinR", s.MinR)
                            .Add("MaxR", s.MaxR)
                            .Str());
    }
    if (!json) {
        out << matl.Name << " (" << matl.Mark << ")\n";
    }
    return Print(t, items, json, out);
}

int ListDucts(bool json, std::ostream& out, std::ostream& err) {
    TextTable t({"Section", "Width mm", "Height mm", "Thickness mm"});
    std::vector<std::string> items;
    for (int section : {0, 1}) {
        CTQArray<CTQDuctSpec> list;
        if (!ReadCatalog([&] { CTQDuctSpecManager::GetAllSpec(list, section, nullptr); }, "the ducts",
                         err)) {
            return kCatalogError;
        }
        for (INT_PTR i = 0; i < list.GetSize(); ++i) {
            const CTQDuctSpec& d = list[i];
            t.AddRow({section == 0 ? "circular" : "rectangular", Int(d.Width),
                      section == 0 ? "" : Int(d.Height), Num(d.Thickness)});
            items.push_back(JsonObject()
                                .Add("SEC", d.Section)
                                .Add("WIDTH", d.Width)
                                .Add("HEIGHT", d.Height)
                                .Add("THICKNESS", d.Thickness)
                                .Str());
        }
    }
    return Print(t, items, json, out);
}

int ListValves(bool json, std::ostream& out, std::ostream& err) {
    CTQArray<CTQPipeValve> list;
    if (!ReadCatalog([&] { CTQPipeValveManager::GetAllValve(list, 0, nullptr); }, "the valves", err)) {
        return kCatalogError;
    }
    TextTable t({"ID", "Kind", "Name", "Coefficient"});
    std::vector<std::string> items;
    for (INT_PTR i = 0; i < list.GetSize(); ++i) {
        const CTQPipeValve& v = list[i];
        const std::string coef = v.Variable ? "by DN " + DnTableText(v) : Num(v.Coef);
        t.AddRow({Int(v.ID), Int(v.Type), v.ValveName, coef});
        JsonObject o;
        o.Add("ID", static_cast<double>(v.ID)).Add("Type", v.Type).Add("ValveName", v.ValveName);
        if (v.Variable) {
            o.Add("ByDN", DnTableText(v));
        } else {
            o.Add("Coef", v.Coef);
        }
        items.push_back(o.Str());
    }
    return Print(t, items, json, out);
}

int ListWater(bool json, std::ostream& out, std::ostream& err) {
    CTQArray<CTQWaterProp> list;
    if (!ReadCatalog([&] { RVN::GetAllWaterProp(list, nullptr); }, "the water properties", err)) {
        return kCatalogError;
    }
    TextTable t({"t degC", "Density kg/m3", "Viscosity 1e-6 m2/s", "SpecificHeat kJ/(kg K)"});
    std::vector<std::string> items;
    for (INT_PTR i = 0; i < list.GetSize(); ++i) {
        const CTQWaterProp& w = list[i];
        t.AddRow({Int(w.Temperature), Num(w.Density), Num(w.Viscosity), Num(w.SpecificHeat)});
        items.push_back(JsonObject()
                            .Add("Temperature", w.Temperature)
                            .Add("Density", w.Density)
                            .Add("Viscosity", w.Viscosity)
                            .Add("SpecificHeat", w.SpecificHeat)
                            .Str());
    }
    return Print(t, items, json, out);
}

int ListSteam(bool json, std::ostream& out, std::ostream& err) {
    CTQArray<CTQSteamProp> list;
    if (!ReadCatalog([&] { RVN::GetAllSteamProp(list, nullptr); }, "the steam properties", err)) {
        return kCatalogError;
    }
    TextTable t({"t degC", "Pressure kPa", "Density kg/m3", "Qhr kJ/kg", "SpecificHeat kJ/(kg K)",
                 "Viscosity 1e-6 m2/s"});
    std::vector<std::string> items;
    for (INT_PTR i = 0; i < list.GetSize(); ++i) {
        const CTQSteamProp& s = list[i];
        t.AddRow({Int(s.Temperature), Num(s.Pressure), Num(s.Density), Num(s.Qhr), Num(s.SpecificHeat),
                  Num(s.Viscosity)});
        items.push_back(JsonObject()
                            .Add("Temperature", s.Temperature)
                            .Add("Pressure", s.Pressure)
                            .Add("Density", s.Density)
                            .Add("Qhr", s.Qhr)
                            .Add("SpecificHeat", s.SpecificHeat)
                            .Add("Viscosity", s.Viscosity)
                            .Str());
    }
    return Print(t, items, json, out);
}

} // namespace

std::string CatalogPath(const std::string& path) {
    if (!path.empty()) {
        return path;
    }
    std::string file;
    RVN::GetDataSourceFileName(file);
    return file;
}

int CatalogCreate(const std::string& path, const std::string& dataDir, bool force,
                  std::ostream& out, std::ostream& err) {
    if (RVN::IsServerCatalog(path)) {
        return CatalogCreateOnServer(path, dataDir, force, out, err);
    }
    std::string error;
    if (!RVN::BuildCatalog(path, dataDir, force, error)) {
        err << "tqrvn: " << error << "\n";
        return kCatalogError;
    }
    out << "created " << path << "\n";
    return 0;
}

int CatalogList(const std::string& catalog, const std::string& what, const std::string& material,
                bool json, std::ostream& out, std::ostream& err) {
    OpenCatalog open(catalog, err);
    if (!open) {
        return kCatalogError;
    }
    if (what == "materials") {
        return ListMaterials(json, out, err);
    }
    if (what == "sizes") {
        return ListSizes(material, json, out, err);
    }
    if (what == "ducts") {
        return ListDucts(json, out, err);
    }
    if (what == "valves") {
        return ListValves(json, out, err);
    }
    if (what == "water") {
        return ListWater(json, out, err);
    }
    if (what == "steam") {
        return ListSteam(json, out, err);
    }
    err << "tqrvn: unknown table '" << what << "' (materials, sizes MATERIAL, ducts, valves, water, steam)\n";
    return 2;
}

int CatalogExportMaterial(const std::string& catalog, const std::string& name,
                          const std::string& file, std::ostream& out, std::ostream& err) {
    OpenCatalog open(catalog, err);
    if (!open) {
        return kCatalogError;
    }
    CTQPipeMatl matl;
    const Lookup found = FindMaterial(name, matl, err);
    if (found != Lookup::Found) {
        if (found == Lookup::Missing) {
            err << "tqrvn: no material '" << name << "' in the catalog\n";
        }
        return kCatalogError;
    }
    CTQArray<CTQPipeSpec> specs;
    if (!ReadCatalog([&] { matl.GetAllSpec(specs, nullptr); }, "the sizes of " + matl.Name, err)) {
        return kCatalogError;
    }
    std::string error;
    if (!CTQPipeMatlManager::SaveMatlToXML(matl, specs, file.c_str(), error)) {
        err << "tqrvn: cannot write the material file: " << error << "\n";
        return kCatalogError;
    }
    out << "exported " << matl.Name << " with " << specs.GetSize() << " sizes to " << file << "\n";
    return 0;
}

namespace {

// Why a material file cannot be imported as it stands ("" when it can), by
// the library's rules for what a catalog keeper stores: a material needs a
// name, a size a DN above 0, and a DN may be listed once.
std::string RefusedMaterial(const CTQPipeMatl& matl, const CTQArray<CTQPipeSpec>& specs) {
    if (RVN::TrimBlanks(matl.Name).empty()) {
        return "it names no material (no Name in its MATL section)";
    }
    const RVN::TQEditCheck check = RVN::CheckPipeSizes(specs);
    switch (check.problem) {
    case RVN::TQEditProblem::ZeroDN:
        return "size " + Int(check.row + 1) + " has DN " + Int(check.dn) + ", not a nominal diameter";
    case RVN::TQEditProblem::DnTwice:
        return "it lists DN " + Int(check.dn) + " twice";
    default:
        return {};
    }
}

// The engine's quick integrity check of the open catalog: "" when it finds
// the file sound, else what it found (or why it could not look).  A write into a damaged file can make
// the damage worse (a new row in a broken index), so the tool refuses to.
std::string Damage(CADODatabase* db) {
    CADORecordset rs(db);
    // The first problem is enough to refuse.
    if (!rs.Open("PRAGMA quick_check(1)", CADORecordset::openUnknown)) {
        return DescribeDatabaseError(rs.GetLastError(), rs.GetLastErrorString());
    }
    std::string found;
    rs.GetFieldValue(0, found);
    rs.Close();
    if (found == "ok") {
        return {};
    }
    // "*** in database main ***\nOn tree page 7 cell 254: ..." on one line.
    const std::string heading = "*** in database main ***\n";
    if (found.compare(0, heading.size(), heading) == 0) {
        found.erase(0, heading.size());
    }
    std::replace(found.begin(), found.end(), '\n', ' ');
    return "the catalog file is damaged (" + found + ")";
}

// A write transaction on the default connection, rolled back unless
// committed; a failing begin or commit raises the provider's error.
class Transaction {
public:
    explicit Transaction(CADODatabase* db) : db_(db) {
        db_->BeginTransaction();
        active_ = true;
    }
    ~Transaction() {
        if (active_) {
            try {
                db_->RollbackTransaction();
            } catch (...) {
                // Closing the connection rolls back what is left.
            }
        }
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void Commit() {
        db_->CommitTransaction();
        active_ = false;
    }

private:
    CADODatabase* db_;
    bool active_ = false;
};

// Adds the material and its sizes in one transaction: all or nothing.  An
// error the library throws rolls back and goes on to the caller.
int AddMaterial(CADODatabase* db, CTQPipeMatl& matl, CTQArray<CTQPipeSpec>& specs,
                std::ostream& out, std::ostream& err) {
    Transaction transaction(db);
    matl.ID = -1;
    std::string failed;
    if (!matl.Add(db)) {
        failed = "the material";
    }
    for (INT_PTR i = 0; failed.empty() && i < specs.GetSize(); ++i) {
        specs[i].ID = -1;
        specs[i].MatlID = matl.ID;
        if (!specs[i].Add(db)) {
            failed = "size DN " + Int(specs[i].DN);
        }
    }
    if (!failed.empty()) {
        err << "tqrvn: importing " << matl.Name << " failed at " << failed
            << "; the catalog is unchanged: "
            << DescribeDatabaseError(db->GetLastError(), db->GetLastErrorString()) << "\n";
        return kCatalogError;
    }
    transaction.Commit();
    out << "imported " << matl.Name << " with " << specs.GetSize() << " sizes as material "
        << matl.ID << "\n";
    return 0;
}

} // namespace

int CatalogImportMaterial(const std::string& catalog, const std::string& file, std::ostream& out,
                          std::ostream& err) {
    CTQPipeMatl matl;
    CTQArray<CTQPipeSpec> specs;
    std::string error;
    if (!CTQPipeMatlManager::LoadMatlFromXML(matl, specs, file.c_str(), error)) {
        err << "tqrvn: " << file << " is not a readable material file: " << error << "\n";
        return kCatalogError;
    }
    const std::string refused = RefusedMaterial(matl, specs);
    if (!refused.empty()) {
        err << "tqrvn: " << file << " cannot be imported: " << refused << "\n";
        return kCatalogError;
    }
    OpenCatalog open(catalog, err);
    if (!open) {
        return kCatalogError;
    }
    const std::string damage = Damage(open.db());
    if (!damage.empty()) {
        err << "tqrvn: nothing was imported: " << damage << "\n";
        return kCatalogError;
    }
    CTQPipeMatl existing;
    bool exists = false;
    if (!ReadCatalog([&] { exists = CTQPipeMatlManager::GetMatl(existing, matl.Name.c_str(), nullptr); },
                     "the materials", err)) {
        return kCatalogError;
    }
    if (exists) {
        err << "tqrvn: the catalog has a material '" << matl.Name << "' already\n";
        return kCatalogError;
    }
    return AddMaterial(open.db(), matl, specs, out, err);
}

} // namespace tqrvn
