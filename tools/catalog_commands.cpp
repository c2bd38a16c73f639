#include "catalog_commands.h"

#include "catalog_builder.h"
#include "table_text.h"
#include "text_format.h"

#include "catalog/CTQDuctSpec.h"
#include "catalog/CTQPipeMatl.h"
#include "catalog/CTQPipeValve.h"
#include "catalog/CTQSteamProp.h"
#include "catalog/CTQWaterProp.h"
#include "catalog/RVNDataBase.h"
#include "db/ADODatabase.h"

#include <algorithm>
#include <charconv>
#include <sys/stat.h>
#include <vector>

namespace tqrvn {

namespace {

std::string Num(double v) { return FormatNumber(v); }
std::string Int(long v) { return FormatNumber(static_cast<double>(v)); }

// Opens the catalog as the library's default connection for the lifetime of
// the object.
class OpenCatalog {
public:
    OpenCatalog(const std::string& path, std::ostream& err) {
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0) {
            err << "tqrvn: no catalog at " << path << " (create one with: tqrvn catalog create PATH)\n";
            return;
        }
        open_ = RVN::LoadRVNBaseDataBase(path.c_str());
        if (!open_) {
            CADODatabase* db = RVN::GetRVNBaseDataBase();
            err << "tqrvn: cannot open the catalog " << path
                << (db ? "\n" + db->GetLastErrorString() : std::string()) << "\n";
        }
    }
    ~OpenCatalog() {
        if (open_) {
            RVN::CloseRVNBaseDataBase();
        }
    }
    explicit operator bool() const { return open_; }

private:
    bool open_ = false;
};

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

bool FindMaterial(const std::string& key, CTQPipeMatl& matl) {
    if (CTQPipeMatlManager::GetMatl(matl, key.c_str(), nullptr)) {
        return true;
    }
    long id = 0;
    const auto r = std::from_chars(key.data(), key.data() + key.size(), id);
    return r.ec == std::errc() && r.ptr == key.data() + key.size() && matl.UpdateData(id, true, nullptr);
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

int ListMaterials(bool json, std::ostream& out) {
    CTQArray<CTQPipeMatl> list;
    CTQPipeMatlManager::GetAllMatl(list, 0, nullptr);
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
    if (material.empty() || !FindMaterial(material, matl)) {
        err << "tqrvn: no material '" << material << "' in the catalog (see: tqrvn catalog list materials)\n";
        return kCatalogError;
    }
    CTQArray<CTQPipeSpec> list;
    matl.GetAllSpec(list, nullptr);
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

int ListDucts(bool json, std::ostream& out) {
    TextTable t({"Section", "Width mm", "Height mm", "Thickness mm"});
    std::vector<std::string> items;
    for (int section : {0, 1}) {
        CTQArray<CTQDuctSpec> list;
        CTQDuctSpecManager::GetAllSpec(list, section, nullptr);
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

int ListValves(bool json, std::ostream& out) {
    CTQArray<CTQPipeValve> list;
    CTQPipeValveManager::GetAllValve(list, 0, nullptr);
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

int ListWater(bool json, std::ostream& out) {
    CTQArray<CTQWaterProp> list;
    RVN::GetAllWaterProp(list, nullptr);
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

int ListSteam(bool json, std::ostream& out) {
    CTQArray<CTQSteamProp> list;
    RVN::GetAllSteamProp(list, nullptr);
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
    std::string error;
    if (!BuildCatalog(path, dataDir, force, error)) {
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
        return ListMaterials(json, out);
    }
    if (what == "sizes") {
        return ListSizes(material, json, out, err);
    }
    if (what == "ducts") {
        return ListDucts(json, out);
    }
    if (what == "valves") {
        return ListValves(json, out);
    }
    if (what == "water") {
        return ListWater(json, out);
    }
    if (what == "steam") {
        return ListSteam(json, out);
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
    if (!FindMaterial(name, matl)) {
        err << "tqrvn: no material '" << name << "' in the catalog\n";
        return kCatalogError;
    }
    CTQArray<CTQPipeSpec> specs;
    matl.GetAllSpec(specs, nullptr);
    if (!CTQPipeMatlManager::SaveMatlToXML(matl, specs, file.c_str())) {
        err << "tqrvn: cannot write " << file << "\n";
        return kCatalogError;
    }
    out << "exported " << matl.Name << " with " << specs.GetSize() << " sizes to " << file << "\n";
    return 0;
}

int CatalogImportMaterial(const std::string& catalog, const std::string& file, std::ostream& out,
                          std::ostream& err) {
    OpenCatalog open(catalog, err);
    if (!open) {
        return kCatalogError;
    }
    CTQPipeMatl matl;
    CTQArray<CTQPipeSpec> specs;
    if (!CTQPipeMatlManager::LoadMatlFromXML(matl, specs, file.c_str())) {
        err << "tqrvn: " << file << " is not a readable material file\n";
        return kCatalogError;
    }
    CTQPipeMatl existing;
    if (CTQPipeMatlManager::GetMatl(existing, matl.Name.c_str(), nullptr)) {
        err << "tqrvn: the catalog has a material '" << matl.Name << "' already\n";
        return kCatalogError;
    }
    CADODatabase* db = RVN::GetRVNBaseDataBase();
    if (db->BeginTransaction() <= 0) {
        err << "tqrvn: the catalog is locked by another program\n";
        return kCatalogError;
    }
    matl.ID = -1;
    bool ok = matl.Add(db);
    for (INT_PTR i = 0; ok && i < specs.GetSize(); ++i) {
        specs[i].ID = -1;
        specs[i].MatlID = matl.ID;
        ok = specs[i].Add(db);
    }
    if (!ok || db->CommitTransaction() != 0) {
        db->RollbackTransaction();
        err << "tqrvn: importing " << matl.Name << " failed; the catalog is unchanged\n"
            << db->GetLastErrorString() << "\n";
        return kCatalogError;
    }
    out << "imported " << matl.Name << " with " << specs.GetSize() << " sizes as material "
        << matl.ID << "\n";
    return 0;
}

} // namespace tqrvn
