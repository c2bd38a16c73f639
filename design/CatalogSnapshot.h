// The catalog read once for sizing: every material with its sizes, the
// valves and fittings, the water and steam tables and the duct sizes.
//
// A snapshot is immutable once loaded, so any number of threads may size
// against one snapshot at the same time.  It does not follow later changes
// of the catalog: load a new one to see them.
#pragma once

#include "TQRVNBaseExport.h"
#include "catalog/CTQArray.h"
#include "catalog/CTQDuctSpec.h"
#include "catalog/CTQPipeMatl.h"
#include "catalog/CTQPipeSpec.h"
#include "catalog/CTQPipeValve.h"
#include "catalog/CTQSteamProp.h"
#include "catalog/CTQWaterProp.h"
#include "design/DesignTypes.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CADODatabase;

class TQRVNBASE_API CTQCatalogSnapshot {
public:
    using Ptr = std::shared_ptr<const CTQCatalogSnapshot>;

    /// Reads the catalog of the connection (the default connection when
    /// null).  Every table is read whole; a table that cannot be read is an
    /// error naming it and the engine's reason, never an empty table.
    static RVN::CTQDesignOutcome<Ptr> Load(CADODatabase* db = nullptr);
    /// Builds a snapshot from records already in memory (a host's own
    /// lists, or tests); sizes are grouped by their MatlID and ordered by DN.
    static Ptr FromRecords(std::vector<CTQPipeMatl> materials, std::vector<CTQPipeSpec> sizes,
                           std::vector<CTQPipeValve> valves, std::vector<CTQSteamProp> steam,
                           std::vector<CTQDuctSpec> ducts = {}, std::vector<CTQWaterProp> water = {});

    /// Every material, by category and then by name (the catalog's listing
    /// order).
    const std::vector<CTQPipeMatl>& Materials() const { return m_materials; }
    /// The material of that exact name, else the one whose ID the text
    /// spells (digits); nullptr when none.
    const CTQPipeMatl* FindMaterial(std::string_view nameOrId) const;
    const CTQPipeMatl* MaterialById(long id) const;
    /// The first material of a category: the one entered first (lowest ID),
    /// which in the seed catalog is the category's standard pipe.  nullptr
    /// when the category has none.
    const CTQPipeMatl* DefaultMaterial(int category) const;
    /// The names of a category's materials (every material for 0), joined
    /// by ", ", for messages.
    std::string MaterialNames(int category) const;

    /// The sizes of a material ordered by DN (an empty array when none).
    const CTQArray<CTQPipeSpec>& Sizes(long materialId) const;
    /// The sizes of a water-pipe material with the velocity limits of
    /// saturated steam in place of the catalog's water limits (MinV 0, MaxV
    /// by DN, see RVN::SteamVelocityLimit); the other ranges as they are.
    const CTQArray<CTQPipeSpec>& SteamSizes(long materialId) const;

    const std::vector<CTQPipeValve>& Valves() const { return m_valves; }
    /// The valve of a kind (1 steel-pipe fittings, 2 plastic fittings) of that
    /// exact name; else of that name with full-width forms read as ASCII;
    /// else whose ID the text spells.  nullptr when none.
    const CTQPipeValve* FindValve(int kind, std::string_view nameOrId) const;
    /// The smallest and largest DN of the coefficient table of a valve of
    /// this snapshot; false for a fixed coefficient, an empty table or a
    /// valve from elsewhere.
    bool ValveTableRange(const CTQPipeValve& valve, int& lowest, int& highest) const;

    /// Saturated-steam rows by temperature.
    const std::vector<CTQSteamProp>& SteamRows() const { return m_steam; }
    /// The steam row of a whole-degree temperature, nullptr when none.
    const CTQSteamProp* SteamRow(int temperature) const;
    const std::vector<CTQWaterProp>& WaterRows() const { return m_water; }
    /// Duct sizes of a section (0 circular, 1 rectangular) by width.
    const CTQArray<CTQDuctSpec>& Ducts(int section) const;

private:
    CTQCatalogSnapshot() = default;

    std::vector<CTQPipeMatl> m_materials;
    std::map<long, CTQArray<CTQPipeSpec>> m_sizes;
    std::map<long, CTQArray<CTQPipeSpec>> m_steamSizes;
    std::vector<CTQPipeValve> m_valves;
    std::vector<std::pair<int, int>> m_valveRanges;  // per valve; lowest > highest: no table
    std::vector<CTQSteamProp> m_steam;
    std::vector<CTQWaterProp> m_water;
    CTQArray<CTQDuctSpec> m_ducts[2];
    CTQArray<CTQPipeSpec> m_noSizes;
};
