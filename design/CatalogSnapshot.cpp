// Reading the catalog once for sizing.
#include "design/CatalogSnapshot.h"

#include "catalog/RVNDataBase.h"
#include "db/ADODatabase.h"
#include "db/ADORecordset.h"
#include "db/NumberText.h"
#include "db/TextEncoding.h"
#include "design/SegmentDesign.h"

#include <algorithm>
#include <exception>

using RVN::CTQDesignError;
using RVN::CTQDesignOutcome;
using RVN::TQDesignErrorKind;

namespace {

// Reads every row of a query into records through their row transfer.  False
// with the error set when the query does not open or a row cannot be read.
template <class Record>
bool ReadTable(CADODatabase* db, const char* table, const std::string& sql, std::vector<Record>& out,
               CTQDesignError& error)
{
    const auto fail = [&](const std::string& why) {
        error.kind = TQDesignErrorKind::Catalog;
        error.field = table;
        error.message = "the catalog's table " + std::string(table) + " cannot be read: " + why;
        return false;
    };
    try {
        CADORecordset rs(db);
        if (!rs.Open(sql))
            return fail(rs.GetLastErrorString());
        while (!rs.IsEOF()) {
            Record r;
            if (!r.UpdateData(&rs, true))
                return fail("a row cannot be read (" + rs.GetLastErrorString() + ")");
            out.push_back(std::move(r));
            rs.MoveNext();
        }
        return true;
    } catch (const std::exception& e) {
        return fail(e.what());
    } catch (...) {
        return fail("an unknown error of the database layer");
    }
}

}  // namespace

CTQDesignOutcome<CTQCatalogSnapshot::Ptr> CTQCatalogSnapshot::Load(CADODatabase* db)
{
    CTQDesignOutcome<Ptr> out;
    if (db == nullptr)
        db = RVN::GetRVNBaseDataBase();
    if (db == nullptr || !db->IsOpen()) {
        out.error = {TQDesignErrorKind::Catalog, "catalog", "no catalog is open"};
        return out;
    }
    std::vector<CTQPipeMatl> materials;
    std::vector<CTQPipeSpec> sizes;
    std::vector<CTQPipeValve> valves;
    std::vector<CTQSteamProp> steam;
    std::vector<CTQDuctSpec> ducts;
    std::vector<CTQWaterProp> water;
    CTQDesignError& e = out.error;
    if (!ReadTable(db, "Material", "select * from Material order by Type, Name", materials, e) ||
        !ReadTable(db, "PipeSpec", "select * from PipeSpec order by MatlID, DN", sizes, e) ||
        !ReadTable(db, "PipeValve", "select * from PipeValve order by Type, ValveName", valves, e) ||
        !ReadTable(db, "SteamProp", "select * from SteamProp order by Temperature", steam, e) ||
        !ReadTable(db, "WaterProp", "select * from WaterProp order by Temperature", water, e) ||
        !ReadTable(db, "DuctSpec", "select * from DuctSpec order by SEC, WIDTH", ducts, e))
        return out;
    out.value = FromRecords(std::move(materials), std::move(sizes), std::move(valves), std::move(steam),
                            std::move(ducts), std::move(water));
    return out;
}

CTQCatalogSnapshot::Ptr CTQCatalogSnapshot::FromRecords(std::vector<CTQPipeMatl> materials,
                                                        std::vector<CTQPipeSpec> sizes,
                                                        std::vector<CTQPipeValve> valves,
                                                        std::vector<CTQSteamProp> steam,
                                                        std::vector<CTQDuctSpec> ducts,
                                                        std::vector<CTQWaterProp> water)
{
    std::shared_ptr<CTQCatalogSnapshot> s(new CTQCatalogSnapshot());
    s->m_materials = std::move(materials);
    std::stable_sort(s->m_materials.begin(), s->m_materials.end(), [](const CTQPipeMatl& a, const CTQPipeMatl& b) {
        return a.Type != b.Type ? a.Type < b.Type : a.Name < b.Name;
    });
    std::stable_sort(sizes.begin(), sizes.end(), [](const CTQPipeSpec& a, const CTQPipeSpec& b) {
        return a.MatlID != b.MatlID ? a.MatlID < b.MatlID : a.DN < b.DN;
    });
    for (const CTQPipeSpec& size : sizes) {
        s->m_sizes[size.MatlID].Add(size);
        CTQPipeSpec limited = size;
        limited.MinV = 0.0;
        limited.MaxV = RVN::SteamVelocityLimit(size.DN);
        s->m_steamSizes[size.MatlID].Add(limited);
    }
    s->m_valves = std::move(valves);
    for (const CTQPipeValve& v : s->m_valves) {
        std::pair<int, int> range{1, 0};
        if (v.Variable != 0)
            for (POSITION pos = v.DnCoef.GetStartPosition(); pos != nullptr;) {
                int dn = 0;
                double coef = 0.0;
                v.DnCoef.GetNextAssoc(pos, dn, coef);
                range = range.first > range.second ? std::pair{dn, dn}
                                                   : std::pair{std::min(dn, range.first), std::max(dn, range.second)};
            }
        s->m_valveRanges.push_back(range);
    }
    s->m_steam = std::move(steam);
    std::stable_sort(s->m_steam.begin(), s->m_steam.end(),
                     [](const CTQSteamProp& a, const CTQSteamProp& b) { return a.Temperature < b.Temperature; });
    s->m_water = std::move(water);
    std::stable_sort(ducts.begin(), ducts.end(), [](const CTQDuctSpec& a, const CTQDuctSpec& b) {
        return a.Section != b.Section ? a.Section < b.Section : a.Width < b.Width;
    });
    for (const CTQDuctSpec& d : ducts)
        if (d.Section == 0 || d.Section == 1)
            s->m_ducts[d.Section].Add(d);
    return s;
}

const CTQPipeMatl* CTQCatalogSnapshot::FindMaterial(std::string_view nameOrId) const
{
    for (const CTQPipeMatl& m : m_materials)
        if (m.Name == nameOrId)
            return &m;
    const std::string folded = RVN::FoldFullWidth(nameOrId);
    for (const CTQPipeMatl& m : m_materials)
        if (RVN::FoldFullWidth(m.Name) == folded)
            return &m;
    long id = 0;
    if (RVN::ParseInteger(RVN::TrimBlanks(folded), id))
        return MaterialById(id);
    return nullptr;
}

const CTQPipeMatl* CTQCatalogSnapshot::MaterialById(long id) const
{
    for (const CTQPipeMatl& m : m_materials)
        if (m.ID == id)
            return &m;
    return nullptr;
}

const CTQPipeMatl* CTQCatalogSnapshot::DefaultMaterial(int category) const
{
    const CTQPipeMatl* first = nullptr;
    for (const CTQPipeMatl& m : m_materials)
        if (m.Type == category && (first == nullptr || m.ID < first->ID))
            first = &m;
    return first;
}

std::string CTQCatalogSnapshot::MaterialNames(int category) const
{
    std::string names;
    for (const CTQPipeMatl& m : m_materials)
        if (category == 0 || m.Type == category)
            names += (names.empty() ? "" : ", ") + m.Name;
    return names.empty() ? std::string("none") : names;
}

const CTQArray<CTQPipeSpec>& CTQCatalogSnapshot::Sizes(long materialId) const
{
    const auto it = m_sizes.find(materialId);
    return it != m_sizes.end() ? it->second : m_noSizes;
}

const CTQArray<CTQPipeSpec>& CTQCatalogSnapshot::SteamSizes(long materialId) const
{
    const auto it = m_steamSizes.find(materialId);
    return it != m_steamSizes.end() ? it->second : m_noSizes;
}

bool CTQCatalogSnapshot::ValveTableRange(const CTQPipeValve& valve, int& lowest, int& highest) const
{
    if (m_valves.empty() || &valve < m_valves.data() || &valve >= m_valves.data() + m_valves.size())
        return false;
    const std::pair<int, int>& r = m_valveRanges[static_cast<std::size_t>(&valve - m_valves.data())];
    if (r.first > r.second)
        return false;
    lowest = r.first;
    highest = r.second;
    return true;
}

const CTQPipeValve* CTQCatalogSnapshot::FindValve(int kind, std::string_view nameOrId) const
{
    // Stored kinds are 1 and 2; 3 (PPR) folds into 2 as the catalog lookup does.
    const auto sameKind = [kind](const CTQPipeValve& v) { return (v.Type == 2 || v.Type == 3 ? 2 : 1) == kind; };
    for (const CTQPipeValve& v : m_valves)
        if (sameKind(v) && v.ValveName == nameOrId)
            return &v;
    const std::string folded = RVN::FoldFullWidth(nameOrId);
    for (const CTQPipeValve& v : m_valves)
        if (sameKind(v) && RVN::FoldFullWidth(v.ValveName) == folded)
            return &v;
    long id = 0;
    if (RVN::ParseInteger(RVN::TrimBlanks(folded), id))
        for (const CTQPipeValve& v : m_valves)
            if (v.ID == id && sameKind(v))
                return &v;
    return nullptr;
}

const CTQSteamProp* CTQCatalogSnapshot::SteamRow(int temperature) const
{
    const auto it = std::lower_bound(m_steam.begin(), m_steam.end(), temperature,
                                     [](const CTQSteamProp& s, int t) { return s.Temperature < t; });
    return it != m_steam.end() && it->Temperature == temperature ? &*it : nullptr;
}

const CTQArray<CTQDuctSpec>& CTQCatalogSnapshot::Ducts(int section) const
{
    static const CTQArray<CTQDuctSpec> none;
    return section == 0 || section == 1 ? m_ducts[section] : none;
}
