#include "size_command.h"

#include "catalog_commands.h"
#include "text_format.h"
#include "unit_symbols.h"

#include <TQRVNBase.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <limits>
#include <map>
#include <optional>
#include <sstream>
#include <string_view>
#include <sys/stat.h>
#include <vector>

namespace tqrvn {

namespace {

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

// Water temperatures the property formulas cover (GetWaterMD is tabulated
// from 0 to 100 degC and clamps outside, so a value beyond is refused).
constexpr double kWaterMinTemp = 0.0;
constexpr double kWaterMaxTemp = 100.0;
// Temperature taken for water when none is given, degC.
constexpr double kDefaultWaterTemp = 20.0;
// A roughness from 10 mm up is a unit slip (mm given as m), not a pipe wall.
constexpr double kMaxRoughness = 0.01;

// Air in ducts: 20 degC, 50 % relative humidity, standard atmosphere.
constexpr double kAirTemp = 20.0;
constexpr double kAirHumidity = 0.5;
constexpr double kAirPressure = 101325.0; // Pa
// Kinematic viscosity of air at 20 degC and 101325 Pa, m2/s: the dynamic
// viscosity of the property tables, 18.13e-6 Pa s, over the dry-air density
// 1.204 kg/m3.
constexpr double kAirViscosity = 15.06e-6;
// Absolute roughness of galvanised sheet-steel ducts, m (0.15 mm, the value
// of the duct friction charts).
constexpr double kDuctRoughness = 0.15e-3;

// ---------------------------------------------------------------------------
// Text
// ---------------------------------------------------------------------------

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
        s.remove_suffix(1);
    }
    return s;
}

bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) {
            return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

std::string Quote(std::string_view text) {
    return "'" + std::string(text) + "'";
}

// Whole numbers as integers ("100000", where FormatNumber gives "1e+05").
std::string IntText(long long v) {
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

// A value rounded for reading: four significant digits, whole numbers from
// 1000 up.  Machine output (JSON, CSV) carries the full value.
std::string Show(double v) {
    if (!std::isfinite(v) || v == 0.0) {
        return FormatNumber(v);
    }
    const int exponent = static_cast<int>(std::floor(std::log10(std::fabs(v))));
    const int decimals = std::max(0, 3 - exponent);
    if (decimals == 0 && std::fabs(v) < 1e15) {
        return IntText(std::llround(v));
    }
    const double scale = std::pow(10.0, decimals);
    return FormatNumber(std::round(v * scale) / scale + 0.0);
}

bool ReadInt(std::string_view text, long& value) {
    text = Trim(text);
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && r.ec == std::errc() && r.ptr == text.data() + text.size();
}

// Splits "VALUE UNIT", "VALUEUNIT" or "VALUE" into its number and unit text.
bool SplitMeasure(std::string_view text, double& value, std::string_view& unit) {
    text = Trim(text);
    const std::size_t start = !text.empty() && text.front() == '+' ? 1 : 0;
    double scratch = 0;
    const auto r = std::from_chars(text.data() + start, text.data() + text.size(), scratch);
    if (r.ec != std::errc()) {
        return false;
    }
    const auto n = static_cast<std::size_t>(r.ptr - text.data());
    unit = Trim(text.substr(n));
    if (!unit.empty() && (unit.front() == ',' || unit.front() == '.' ||
                          (unit.front() >= '0' && unit.front() <= '9'))) {
        return false; // "1,5": a decimal comma, or stray digits
    }
    return ParseNumber(text.substr(0, n), value) && std::isfinite(value);
}

// A problem with one segment: its exit status and what to tell the user.
struct Problem {
    int status = kInputError;
    std::string message;
};

bool Fail(Problem& p, std::string message, int status = kInputError) {
    p.status = status;
    p.message = std::move(message);
    return false;
}

// A plain number (no unit) of the field `what`.
bool ReadPlain(std::string_view what, std::string_view text, double& value, Problem& p) {
    std::string_view unit;
    if (!SplitMeasure(text, value, unit) || !unit.empty()) {
        return Fail(p, std::string(what) + " " + Quote(Trim(text)) +
                           " is not a number (with '.' as decimal point)");
    }
    return true;
}

// A measure of `quantity`, returned in the quantity's base unit; a bare
// number is in the base unit too.
bool ReadMeasure(std::string_view what, std::string_view text, int quantity, double& value,
                 Problem& p) {
    std::string_view unit;
    if (!SplitMeasure(text, value, unit)) {
        return Fail(p, std::string(what) + " " + Quote(Trim(text)) +
                           " is not a number (with '.' as decimal point) and an optional unit (" +
                           QuantityName(quantity) + " units: " + SymbolList(quantity) + ")");
    }
    if (unit.empty()) {
        return true;
    }
    const UnitSymbol* u = FindUnit(unit);
    if (!u || u->quantity != quantity) {
        return Fail(p, std::string(what) + " " + Quote(Trim(text)) + ": " + Quote(unit) +
                           " is not a unit of " + QuantityName(quantity) + " (" +
                           SymbolList(quantity) + ")");
    }
    value = Convert(quantity, u->member, 0, value);
    return true;
}

// A volume flow (m3/s) or a mass flow (kg/s); the unit is required.
bool ReadFlow(std::string_view what, std::string_view text, double& value, bool& mass, Problem& p) {
    const auto units = [] {
        return "volume flow: " + SymbolList(QUANTITY_VOLUME_FLOW) +
               "; mass flow: " + SymbolList(QUANTITY_MASS_FLOW);
    };
    std::string_view unit;
    if (!SplitMeasure(text, value, unit)) {
        return Fail(
            p, std::string(what) + " " + Quote(Trim(text)) +
                   " is not a flow: write VALUE UNIT with '.' as decimal point, e.g. 1.2 m3/h (" +
                   units() + ")");
    }
    if (unit.empty()) {
        return Fail(p, std::string(what) + " " + Quote(Trim(text)) +
                           " needs a unit, e.g. 1.2 m3/h (" + units() + ")");
    }
    const UnitSymbol* u = FindUnit(unit);
    if (!u || (u->quantity != QUANTITY_VOLUME_FLOW && u->quantity != QUANTITY_MASS_FLOW)) {
        return Fail(p, std::string(what) + " " + Quote(Trim(text)) + ": " + Quote(unit) +
                           " is not a unit of flow (" + units() + ")");
    }
    mass = u->quantity == QUANTITY_MASS_FLOW;
    value = Convert(u->quantity, u->member, 0, value);
    if (!(value > 0)) {
        return Fail(p, std::string(what) + " " + Quote(Trim(text)) + " must be positive");
    }
    return true;
}

bool ReadYesNo(std::string_view what, std::string_view text, bool& value, Problem& p) {
    text = Trim(text);
    for (const char* yes : {"yes", "y", "true", "1"}) {
        if (SameText(text, yes)) {
            value = true;
            return true;
        }
    }
    for (const char* no : {"", "no", "n", "false", "0"}) {
        if (SameText(text, no)) {
            value = false;
            return true;
        }
    }
    return Fail(p, std::string(what) + " " + Quote(text) + " is not yes or no");
}

// ---------------------------------------------------------------------------
// The fields of a segment
// ---------------------------------------------------------------------------

enum Field {
    kId,
    kMaterial,
    kCategory,
    kFlow,
    kLoad,
    kDt,
    kLength,
    kZeta,
    kFittings,
    kTemp,
    kBy,
    kRoughness,
    kSteam,
    kFieldCount
};

// Field names: the batch header's column names and the option names.
constexpr std::array<const char*, kFieldCount> kFieldNames = {
    "id",   "material", "category", "flow", "load",      "dt",   "length",
    "zeta", "fitting",  "temp",     "by",   "roughness", "steam"};

using Fields = std::array<std::string_view, kFieldCount>;

Fields FieldsOf(const SegmentText& s) {
    return {s.id,   s.material, s.category, s.flow, s.load,      s.dt,   s.length,
            s.zeta, s.fittings, s.temp,     s.by,   s.roughness, s.steam};
}

enum class By { Rm, Velocity, Load };

const char* ByName(By by) {
    switch (by) {
    case By::Rm:
        return "rm";
    case By::Velocity:
        return "velocity";
    case By::Load:
        return "load";
    }
    return "";
}

// Material types of the catalog.
constexpr int kWaterPipe = 1;
constexpr int kPlasticPipe = 2;
constexpr int kPprPipe = 3;

const char* CategoryName(int type) {
    switch (type) {
    case kWaterPipe:
        return "water";
    case kPlasticPipe:
        return "plastic";
    case kPprPipe:
        return "ppr";
    }
    return "unknown";
}

const char* CategoryTitle(int type) {
    switch (type) {
    case kWaterPipe:
        return "water pipe";
    case kPlasticPipe:
        return "plastic pipe";
    case kPprPipe:
        return "PPR pipe";
    }
    return "unknown kind";
}

bool ReadCategory(std::string_view text, int& type, Problem& p) {
    text = Trim(text);
    for (int t = kWaterPipe; t <= kPprPipe; ++t) {
        const char digit = static_cast<char>('0' + t);
        if (SameText(text, CategoryName(t)) || text == std::string_view(&digit, 1)) {
            type = t;
            return true;
        }
    }
    return Fail(p, "category " + Quote(text) + " is not water, plastic or ppr (1, 2, 3)");
}

// ---------------------------------------------------------------------------
// The catalog, read once per run
// ---------------------------------------------------------------------------

// One fitting of a segment and how many of it.
struct FittingItem {
    const CTQPipeValve* valve;
    int count;
};

// The fittings of a fitting list: each fitting once per occurrence (for
// CTQPipeValveManager::GetTotalCoef) and as name-count pairs (for the output).
struct FittingSet {
    CTQArray<CTQPipeValve> occurrences;
    std::vector<FittingItem> items;
};

// Valve kinds: steel-pipe fittings are kind 1, plastic and PPR fittings kind 2.
int ValveKind(int materialType) {
    return materialType == kWaterPipe ? 1 : 2;
}

// The default catalog connection with what the sizing reads from it, each
// table read at its first use and kept for the rest of the run.
class Catalog {
public:
    Catalog() = default;
    Catalog(const Catalog&) = delete;
    Catalog& operator=(const Catalog&) = delete;
    ~Catalog() {
        if (open_) {
            RVN::CloseRVNBaseDataBase();
        }
    }

    bool Open(const std::string& path, std::ostream& err) {
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0) {
            err << "tqrvn: no catalog at " << path
                << " (create one with: tqrvn catalog create PATH)\n";
            return false;
        }
        open_ = RVN::LoadRVNBaseDataBase(path.c_str());
        if (!open_) {
            CADODatabase* db = RVN::GetRVNBaseDataBase();
            err << "tqrvn: cannot open the catalog " << path
                << (db ? "\n" + db->GetLastErrorString() : std::string()) << "\n";
        }
        return open_;
    }

    // The material of a name, else of an ID.
    const CTQPipeMatl* Material(std::string_view key) {
        const CTQArray<CTQPipeMatl>& all = Materials(0);
        for (const CTQPipeMatl& m : all) {
            if (m.Name == key) {
                return &m;
            }
        }
        long id = 0;
        if (ReadInt(key, id)) {
            for (const CTQPipeMatl& m : all) {
                if (m.ID == id) {
                    return &m;
                }
            }
        }
        return nullptr;
    }

    // The materials of a category in the catalog's order (by name); type 0: all.
    const CTQArray<CTQPipeMatl>& Materials(int type) {
        auto it = materials_.find(type);
        if (it == materials_.end()) {
            it = materials_.emplace(type, CTQArray<CTQPipeMatl>()).first;
            CTQPipeMatlManager::GetAllMatl(it->second, type);
        }
        return it->second;
    }

    std::string MaterialNames(int type) {
        std::string names;
        for (const CTQPipeMatl& m : Materials(type)) {
            names += (names.empty() ? "" : ", ") + m.Name;
        }
        return names.empty() ? "none" : names;
    }

    // The sizes of a material ordered by DN.
    const CTQArray<CTQPipeSpec>& Sizes(const CTQPipeMatl& m) {
        auto it = sizes_.find(m.ID);
        if (it == sizes_.end()) {
            it = sizes_.emplace(m.ID, CTQArray<CTQPipeSpec>()).first;
            CTQPipeMatlManager::GetAllSpec(it->second, m.ID);
        }
        return it->second;
    }

    // The saturated-steam row of a whole-degree temperature, or null.
    const CTQSteamProp* Steam(int t) {
        ReadSteam();
        const auto it =
            std::lower_bound(steam_.begin(), steam_.end(), t,
                             [](const CTQSteamProp& s, int x) { return s.Temperature < x; });
        return it != steam_.end() && it->Temperature == t ? &*it : nullptr;
    }

    // The temperatures of the steam rows nearest t, for a message.
    std::string SteamNeighbours(double t) {
        ReadSteam();
        if (steam_.IsEmpty()) {
            return "the catalog has no steam rows";
        }
        const CTQSteamProp* below = nullptr;
        const CTQSteamProp* above = nullptr;
        for (const CTQSteamProp& s : steam_) {
            if (s.Temperature < t) {
                below = &s;
            } else if (s.Temperature > t && !above) {
                above = &s;
            }
        }
        const auto deg = [](const CTQSteamProp* s) { return IntText(s->Temperature) + " degC"; };
        if (below && above) {
            return "nearest rows: " + deg(below) + " and " + deg(above);
        }
        return "nearest row: " + deg(below ? below : above);
    }

    // The fittings of a list "NAME=COUNT;NAME=COUNT" (or with commas) of a valve kind.
    const FittingSet* Fittings(int kind, std::string_view text, Problem& p) {
        auto& sets = fittingSets_[kind == 1 ? 0 : 1];
        if (const auto it = sets.find(text); it != sets.end()) {
            return &it->second;
        }
        FittingSet set;
        std::size_t pos = 0;
        while (pos <= text.size()) {
            const std::size_t end = std::min(text.find_first_of(";,", pos), text.size());
            const std::string_view part = Trim(text.substr(pos, end - pos));
            pos = end + 1;
            if (part.empty()) {
                continue;
            }
            const std::size_t eq = part.rfind('=');
            const std::string_view name = Trim(part.substr(0, eq));
            long count = 1;
            if (eq != std::string_view::npos &&
                (!ReadInt(part.substr(eq + 1), count) || count < 1 || count > 10000)) {
                Fail(p, "fitting " + Quote(part) +
                            ": the count after '=' must be a whole number from 1 to 10000");
                return nullptr;
            }
            if (name.empty()) {
                Fail(p, "fitting " + Quote(part) + " has no name");
                return nullptr;
            }
            const CTQPipeValve* valve = Valve(kind, name);
            if (!valve) {
                Fail(p, "no fitting " + Quote(name) + " for " + (kind == 1 ? "steel" : "plastic") +
                            " pipe in the catalog (see: tqrvn catalog list valves)");
                return nullptr;
            }
            set.items.push_back({valve, static_cast<int>(count)});
            for (long i = 0; i < count; ++i) {
                set.occurrences.Add(*valve);
            }
        }
        return &sets.emplace(std::string(text), std::move(set)).first->second;
    }

    // The ducts of a section (0 circular, 1 rectangular) ordered by width.
    const CTQArray<CTQDuctSpec>& Ducts(int section) {
        auto it = ducts_.find(section);
        if (it == ducts_.end()) {
            it = ducts_.emplace(section, CTQArray<CTQDuctSpec>()).first;
            CTQDuctSpecManager::GetAllSpec(it->second, section);
        }
        return it->second;
    }

private:
    void ReadSteam() {
        if (!steamRead_) {
            steamRead_ = true;
            if (RVN::GetAllSteamProp(steam_) < 0) {
                steam_.RemoveAll();
            }
            std::sort(steam_.begin(), steam_.end(),
                      [](const CTQSteamProp& a, const CTQSteamProp& b) {
                          return a.Temperature < b.Temperature;
                      });
        }
    }

    // The valve of a kind by name, else by ID (looked up once each).
    const CTQPipeValve* Valve(int kind, std::string_view name) {
        auto& valves = valves_[kind == 1 ? 0 : 1];
        auto it = valves.find(name);
        if (it == valves.end()) {
            std::optional<CTQPipeValve> found;
            CTQPipeValve v;
            v.Type = kind;
            long id = 0;
            if (CTQPipeValveManager::GetValve(v, std::string(name))) {
                found = v;
            } else if (ReadInt(name, id) && v.UpdateData(id, true) &&
                       (v.Type == 2 || v.Type == 3 ? 2 : 1) == kind) {
                found = v; // a valve of another kind has its DN table in other units
            }
            it = valves.emplace(std::string(name), std::move(found)).first;
        }
        return it->second ? &*it->second : nullptr;
    }

    bool open_ = false;
    std::map<int, CTQArray<CTQPipeMatl>> materials_;
    std::map<long, CTQArray<CTQPipeSpec>> sizes_;
    std::map<int, CTQArray<CTQDuctSpec>> ducts_;
    CTQArray<CTQSteamProp> steam_;
    bool steamRead_ = false;
    std::array<std::map<std::string, std::optional<CTQPipeValve>, std::less<>>, 2> valves_;
    std::array<std::map<std::string, FittingSet, std::less<>>, 2> fittingSets_;
};

// ---------------------------------------------------------------------------
// One segment: checked request, size selection, losses
// ---------------------------------------------------------------------------

// A segment whose every input has been read and checked.
struct Request {
    const CTQPipeMatl* matl = nullptr;
    const CTQArray<CTQPipeSpec>* sizes = nullptr;
    const FittingSet* fittings = nullptr;
    bool steam = false;
    By by = By::Rm;
    double flux = 0;         // m3/s
    double massFlow = 0;     // kg/s
    bool flowByMass = false; // the flow was given as a mass flow
    double load = kNone;     // W
    double dt = kNone;       // K
    double length = 0;       // m
    double zeta = 0;         // coefficients besides the fittings
    double temp = 0;         // degC
    double rho = 0;          // kg/m3
    double nu = 0;           // 1e-6 m2/s
    double roughness = 0;    // m
};

// The chosen size and the segment's results.
struct Result {
    int dn = 0;
    double insD = 0, thickness = 0;
    double velocity = 0, rm = 0, friction = 0, dynamic = 0, zeta = 0, local = 0, total = 0;
    bool fits = false;
    double low = 0, high = 0; // the chosen size's range of the selection criterion
};

bool Prepare(const Fields& f, Catalog& cat, Request& rq, Problem& p) {
    rq = Request();
    if (!ReadYesNo("steam", f[kSteam], rq.steam, p)) {
        return false;
    }
    int category = 0;
    if (!Trim(f[kCategory]).empty() && !ReadCategory(f[kCategory], category, p)) {
        return false;
    }
    const std::string_view material = Trim(f[kMaterial]);
    if (!material.empty()) {
        rq.matl = cat.Material(material);
        if (!rq.matl) {
            return Fail(p, "no material " + Quote(material) +
                               " in the catalog (materials: " + cat.MaterialNames(0) + ")");
        }
        if (category != 0 && rq.matl->Type != category) {
            return Fail(p, "material " + rq.matl->Name + " is " + CategoryTitle(rq.matl->Type) +
                               ", not of category " + CategoryName(category));
        }
    } else {
        const int type = category != 0 ? category : kWaterPipe;
        const CTQArray<CTQPipeMatl>& list = cat.Materials(type);
        if (list.IsEmpty()) {
            return Fail(
                p, std::string("the catalog has no material of category ") + CategoryName(type),
                kCatalogError);
        }
        rq.matl = &list[0];
    }
    const int type = rq.matl->Type;
    if (type < kWaterPipe || type > kPprPipe) {
        return Fail(p, "material " + rq.matl->Name + " has type " + IntText(type) +
                           ", which is not water (1), plastic (2) or PPR (3) pipe");
    }
    if (rq.steam && type != kWaterPipe) {
        return Fail(p, "steam needs a water-pipe (steel) material; " + rq.matl->Name + " is " +
                           CategoryTitle(type));
    }
    rq.sizes = &cat.Sizes(*rq.matl);
    if (rq.sizes->IsEmpty()) {
        return Fail(p, "material " + rq.matl->Name + " has no sizes in the catalog", kCatalogError);
    }

    const std::string_view by = Trim(f[kBy]);
    if (by.empty() || SameText(by, "rm")) {
        rq.by = By::Rm;
    } else if (SameText(by, "velocity")) {
        rq.by = By::Velocity;
    } else if (SameText(by, "load")) {
        rq.by = By::Load;
    } else {
        return Fail(p, "by " + Quote(by) + " is not rm, velocity or load");
    }

    // The fluid's density and viscosity.
    if (rq.steam) {
        if (Trim(f[kTemp]).empty()) {
            return Fail(p, "steam needs its saturation temperature (temp, degC)");
        }
        if (!ReadPlain("temp", f[kTemp], rq.temp, p)) {
            return false;
        }
        const CTQSteamProp* row = rq.temp == std::floor(rq.temp) && std::fabs(rq.temp) < 1e6
                                      ? cat.Steam(static_cast<int>(rq.temp))
                                      : nullptr;
        if (!row) {
            return Fail(p, "no saturated-steam row at " + FormatNumber(rq.temp) +
                               " degC in the catalog; " + cat.SteamNeighbours(rq.temp));
        }
        rq.rho = row->Density;
        rq.nu = row->Viscosity;
        if (!(rq.rho > 0) || !(rq.nu > 0)) {
            return Fail(p,
                        "the steam row at " + FormatNumber(rq.temp) +
                            " degC has no density or viscosity",
                        kCatalogError);
        }
    } else {
        rq.temp = kDefaultWaterTemp;
        if (!Trim(f[kTemp]).empty() && !ReadPlain("temp", f[kTemp], rq.temp, p)) {
            return false;
        }
        if (rq.temp < kWaterMinTemp || rq.temp > kWaterMaxTemp) {
            return Fail(p, "temp " + FormatNumber(rq.temp) + " degC is outside the water data (" +
                               FormatNumber(kWaterMinTemp) + " to " + FormatNumber(kWaterMaxTemp) +
                               " degC)");
        }
        rq.rho = RVN::GetWaterMD(rq.temp);
        rq.nu = RVN::GetWaterND(rq.temp);
    }

    // The flow: given, or carried by a heat load.
    const bool hasFlow = !Trim(f[kFlow]).empty();
    const bool hasLoad = !Trim(f[kLoad]).empty();
    const bool hasDt = !Trim(f[kDt]).empty();
    if (hasFlow && hasLoad) {
        return Fail(p, "give either a flow or a load, not both");
    }
    if (hasFlow) {
        double value = 0;
        if (!ReadFlow("flow", f[kFlow], value, rq.flowByMass, p)) {
            return false;
        }
        if (hasDt) {
            return Fail(p, "dt is used only with a load");
        }
        rq.flux = rq.flowByMass ? value / rq.rho : value;
        rq.massFlow = rq.flowByMass ? value : value * rq.rho;
    } else if (hasLoad) {
        if (rq.steam) {
            return Fail(
                p,
                "steam is sized by its mass flow: give flow in kg/h (a load with dt is for water)");
        }
        if (!ReadMeasure("load", f[kLoad], QUANTITY_POWER, rq.load, p)) {
            return false;
        }
        if (!(rq.load > 0)) {
            return Fail(p, "load " + Quote(Trim(f[kLoad])) + " must be positive");
        }
        if (!hasDt) {
            return Fail(p, "a load needs dt, the temperature difference it is carried across (K)");
        }
        double dt = 0;
        std::string_view unit;
        if (!SplitMeasure(f[kDt], dt, unit) || (!unit.empty() && unit != "K")) {
            return Fail(p, "dt " + Quote(Trim(f[kDt])) + " is not a temperature difference in K");
        }
        if (!(dt > 0)) {
            return Fail(p, "dt " + Quote(Trim(f[kDt])) + " must be positive");
        }
        rq.dt = dt;
        rq.massFlow = RVN::GetWaterFlux(rq.load, dt);
        rq.flux = rq.massFlow / rq.rho;
    } else {
        return Fail(
            p, rq.steam
                   ? "give the steam's mass flow (flow, e.g. 500 kg/h)"
                   : "give a flow (e.g. 1.2 m3/h) or a heat load with dt (e.g. 15 kW and 10 K)");
    }
    if (rq.by == By::Load && std::isnan(rq.load)) {
        return Fail(p, "selection by load needs a load (W) with dt");
    }

    if (Trim(f[kLength]).empty()) {
        return Fail(p, "give the length of the segment (m)");
    }
    if (!ReadMeasure("length", f[kLength], QUANTITY_LENGTH, rq.length, p)) {
        return false;
    }
    if (!(rq.length > 0)) {
        return Fail(p, "length " + Quote(Trim(f[kLength])) + " must be positive");
    }

    if (!Trim(f[kZeta]).empty()) {
        if (!ReadPlain("zeta", f[kZeta], rq.zeta, p)) {
            return false;
        }
        if (rq.zeta < 0) {
            return Fail(p, "zeta " + Quote(Trim(f[kZeta])) + " must not be negative");
        }
    }

    if (Trim(f[kRoughness]).empty()) {
        rq.roughness = rq.matl->K * 0.001; // the catalog keeps K in mm
    } else if (!ReadMeasure("roughness", f[kRoughness], QUANTITY_LENGTH, rq.roughness, p)) {
        return false;
    }
    if (!(rq.roughness > 0) || rq.roughness >= kMaxRoughness) {
        return Fail(p, "roughness " + FormatNumber(rq.roughness) +
                           " m is not a wall roughness (above 0 and below 10 mm; write e.g. 0.2 mm "
                           "for millimetres)");
    }

    if (!Trim(f[kFittings]).empty()) {
        rq.fittings = cat.Fittings(ValveKind(type), Trim(f[kFittings]), p);
        if (!rq.fittings) {
            return false;
        }
    }
    return true;
}

// The segment records of the four kinds, reused from segment to segment.
class Sizer {
public:
    bool Size(const Request& rq, Result& r, Problem& p) {
        CTQPipeData& seg = Segment(rq);
        seg = CTQPipeData(); // base members back to their defaults
        seg.Flux = rq.flux;
        seg.Length = rq.length;
        seg.Load = std::isnan(rq.load) ? 0.0 : rq.load;
        seg.DragCoef = rq.zeta;
        auto* sizes =
            const_cast<CTQArray<CTQPipeSpec>*>(rq.sizes); // selection never changes the list
        switch (rq.by) {
        case By::Rm:
            r.fits = RVN::SelectSpecByRm(&seg, sizes, rq.roughness, rq.rho, rq.nu);
            break;
        case By::Velocity:
            r.fits = RVN::SelectSpecByVelocity(&seg, sizes);
            break;
        case By::Load:
            r.fits = RVN::SelectSpecByLoad(&seg, sizes);
            break;
        }
        // The size does not depend on the local losses, so the fittings are
        // taken at the DN just chosen.
        r.zeta = rq.zeta;
        if (rq.fittings) {
            r.zeta += CTQPipeValveManager::GetTotalCoef(rq.fittings->occurrences, seg.DN);
        }
        seg.DragCoef = r.zeta;
        if (!seg.CalAllData(rq.roughness, rq.rho, rq.nu)) {
            return Fail(
                p, "size DN" + IntText(seg.DN) + " of " + rq.matl->Name + " has no inner diameter",
                kCatalogError);
        }
        r.dn = seg.DN;
        r.insD = seg.Diameter;
        r.thickness = seg.ThickNess;
        r.velocity = seg.GetVelocity();
        r.rm = seg.GetRm();
        r.friction = seg.GetOnWayResistance();
        r.dynamic = seg.GetDynamicPressure();
        r.local = seg.GetLocalResistance();
        r.total = seg.GetAllResistance();
        if (!std::isfinite(r.total) || !(r.rm >= 0)) {
            const double re = r.velocity * r.insD * 0.001 / (rq.nu * 1e-6);
            return Fail(p, "no friction result for DN" + IntText(r.dn) +
                               " at this flow (velocity " + Show(r.velocity) + " m/s, Re " +
                               Show(re) + "): outside the range of the friction-factor formula");
        }
        for (const CTQPipeSpec& s : *rq.sizes) {
            if (s.DN == r.dn) {
                r.low = rq.by == By::Rm ? s.MinR : rq.by == By::Velocity ? s.MinV : s.MinH;
                r.high = rq.by == By::Rm ? s.MaxR : rq.by == By::Velocity ? s.MaxV : s.MaxH;
                break;
            }
        }
        return true;
    }

private:
    CTQPipeData& Segment(const Request& rq) {
        if (rq.steam) {
            return steam_;
        }
        switch (rq.matl->Type) {
        case kPlasticPipe:
            return plastic_;
        case kPprPipe:
            return ppr_;
        default:
            return water_;
        }
    }

    CTQPipeData water_;
    CTQRVNPlasticData plastic_;
    CTQRVNPPRData ppr_;
    CTQRVNSteamData steam_;
};

// ---------------------------------------------------------------------------
// Output
// ---------------------------------------------------------------------------

const char* CriterionTitle(By by) {
    switch (by) {
    case By::Rm:
        return "specific friction";
    case By::Velocity:
        return "velocity";
    case By::Load:
        return "load";
    }
    return "";
}

std::string RangeUnit(const Request& rq) {
    switch (rq.by) {
    case By::Rm:
        return "Pa/m";
    case By::Velocity:
        return "m/s";
    case By::Load:
        return rq.matl->Unit.empty() ? "W" : rq.matl->Unit;
    }
    return "";
}

const char* RangeName(By by) {
    switch (by) {
    case By::Rm:
        return "Rm";
    case By::Velocity:
        return "velocity";
    case By::Load:
        return "load";
    }
    return "";
}

std::string SizeName(const Request& rq, int dn) {
    return (rq.matl->Mark.empty() ? std::string("DN") : rq.matl->Mark) + IntText(dn);
}

// "弯头 2 x 1.5 + 闸阀 1 x 0.5" at a DN.
std::string FittingsText(const FittingSet& set, int dn) {
    std::string out;
    for (const FittingItem& item : set.items) {
        out += (out.empty() ? "" : " + ") + item.valve->ValveName + " " + IntText(item.count) +
               " x " + Show(item.valve->GetValue(dn));
    }
    return out;
}

std::string FittingsJson(const FittingSet* set, int dn) {
    std::vector<std::string> items;
    if (set) {
        for (const FittingItem& item : set->items) {
            items.push_back(JsonObject()
                                .Add("name", item.valve->ValveName)
                                .AddRaw("ID", IntText(item.valve->ID))
                                .AddRaw("count", IntText(item.count))
                                .Add("zeta_each", item.valve->GetValue(dn))
                                .Str());
        }
    }
    return JsonArray(items);
}

void PrintText(const Request& rq, const Result& r, std::ostream& out) {
    const auto line = [&out](const char* label, const std::string& value) {
        out << "  " << PadRight(label, 20) << value << "\n";
    };
    out << rq.matl->Name << " (" << CategoryTitle(rq.matl->Type) << "), "
        << (rq.steam ? "saturated steam" : "water") << " at " << FormatNumber(rq.temp)
        << " degC, sized by " << CriterionTitle(rq.by) << "\n";
    std::string flow;
    if (rq.steam) {
        flow = Show(rq.massFlow * 3600) + " kg/h (" + Show(rq.flux * 3600) + " m3/h)";
    } else {
        flow = Show(rq.flux * 1000) + " l/s (" + Show(rq.flux * 3600) + " m3/h)";
    }
    if (!std::isnan(rq.load)) {
        flow += " carrying " + Show(rq.load) + " W at dt " + Show(rq.dt) + " K";
    }
    line("flow", flow);
    line("length", Show(rq.length) + " m");
    line("density", Show(rq.rho) + " kg/m3");
    line("kinematic viscosity", Show(rq.nu) + " mm2/s");
    line("roughness", Show(rq.roughness * 1000) + " mm");
    const std::string range = Show(r.low) + " to " + Show(r.high) + " " + RangeUnit(rq);
    out << SizeName(rq, r.dn) << ": ";
    if (r.fits) {
        out << "fits its " << RangeName(rq.by) << " range " << range << "\n";
    } else {
        out << "nearest size only: no size of " << rq.matl->Name << " has the segment's "
            << RangeName(rq.by) << " within its range (" << SizeName(rq, r.dn) << ": " << range
            << ")\n";
    }
    line("inner diameter", Show(r.insD) + " mm");
    line("velocity", Show(r.velocity) + " m/s");
    line("Rm", Show(r.rm) + " Pa/m");
    line("friction loss", Show(r.friction) + " Pa");
    line("dynamic pressure", Show(r.dynamic) + " Pa");
    std::string zeta = Show(r.zeta);
    if (rq.fittings && !rq.fittings->items.empty()) {
        zeta += " = " + (rq.zeta != 0 ? Show(rq.zeta) + " + " : std::string()) +
                FittingsText(*rq.fittings, r.dn);
    }
    line("zeta", zeta);
    line("local loss", Show(r.local) + " Pa");
    line("total loss", Show(r.total) + " Pa");
}

void PrintJson(const Request& rq, const Result& r, std::ostream& out) {
    JsonObject o;
    o.Add("material", rq.matl->Name)
        .Add("category", CategoryName(rq.matl->Type))
        .Add("fluid", rq.steam ? "steam" : "water")
        .Add("temp_degC", rq.temp)
        .Add("density_kg_m3", rq.rho)
        .Add("viscosity_mm2_s", rq.nu)
        .Add("roughness_m", rq.roughness)
        .Add("flow_m3_s", rq.flux)
        .Add("mass_flow_kg_s", rq.massFlow);
    if (std::isnan(rq.load)) {
        o.AddNull("load_W").AddNull("dt_K");
    } else {
        o.Add("load_W", rq.load).Add("dt_K", rq.dt);
    }
    o.Add("length_m", rq.length)
        .Add("by", ByName(rq.by))
        .AddRaw("DN", IntText(r.dn))
        .Add("inner_diameter_mm", r.insD)
        .Add("thickness_mm", r.thickness)
        .Add("velocity_m_s", r.velocity)
        .Add("Rm_Pa_m", r.rm)
        .Add("friction_loss_Pa", r.friction)
        .Add("dynamic_pressure_Pa", r.dynamic)
        .Add("zeta", r.zeta)
        .AddRaw("fittings", FittingsJson(rq.fittings, r.dn))
        .Add("local_loss_Pa", r.local)
        .Add("total_loss_Pa", r.total)
        .AddRaw("fits", r.fits ? "true" : "false")
        .AddRaw("range",
                JsonObject().Add("min", r.low).Add("max", r.high).Add("unit", RangeUnit(rq)).Str());
    out << o.Str() << "\n";
}

// ---------------------------------------------------------------------------
// Batch
// ---------------------------------------------------------------------------

constexpr const char* kCsvColumns =
    "line,id,status,material,DN,inner_diameter_mm,velocity_m_s,Rm_Pa_m,friction_loss_Pa,"
    "dynamic_pressure_Pa,zeta,local_loss_Pa,total_loss_Pa,fit,message";

void AppendCsv(std::string& out, std::string_view text) {
    if (text.find_first_of(",\"\n\r") == std::string_view::npos) {
        out += text;
        return;
    }
    out += '"';
    for (const char c : text) {
        if (c == '"') {
            out += '"';
        }
        out += c;
    }
    out += '"';
}

void AppendNumber(std::string& out, double v) {
    out += ',';
    out += FormatNumber(v);
}

// Splits one CSV line into cells (RFC 4180 quoting within the line; cells
// outside quotes are trimmed).  The cell strings are reused from line to line.
bool SplitCsv(std::string_view line, std::vector<std::string>& cells, std::size_t& count) {
    count = 0;
    std::size_t i = 0;
    while (true) {
        if (count == cells.size()) {
            cells.emplace_back();
        }
        std::string& cell = cells[count++];
        cell.clear();
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) {
            ++i;
        }
        if (i < line.size() && line[i] == '"') {
            ++i;
            while (true) {
                if (i >= line.size()) {
                    return false; // unterminated quote
                }
                if (line[i] == '"') {
                    if (i + 1 < line.size() && line[i + 1] == '"') {
                        cell += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                cell += line[i++];
            }
            while (i < line.size() && line[i] != ',') {
                if (line[i] != ' ' && line[i] != '\t' && line[i] != '\r') {
                    return false; // text after the closing quote
                }
                ++i;
            }
        } else {
            const std::size_t end = std::min(line.find(',', i), line.size());
            cell.assign(Trim(line.substr(i, end - i)));
            i = end;
        }
        if (i >= line.size()) {
            return true;
        }
        ++i; // the comma
    }
}

// A progress bar on standard error, drawn once a batch has run for a second.
class ProgressBar {
public:
    ProgressBar(bool enabled, std::size_t total, std::ostream& err)
        : enabled_(enabled && total > 0), total_(total), err_(err), start_(Clock::now()) {}

    void Step(std::size_t done) {
        if (!enabled_ || done % 64 != 0) {
            return;
        }
        const Clock::time_point now = Clock::now();
        if (now - start_ < std::chrono::seconds(1) ||
            (shown_ && now - drawn_ < std::chrono::milliseconds(200))) {
            return;
        }
        drawn_ = now;
        constexpr std::size_t kWidth = 30;
        const std::size_t filled = done * kWidth / total_;
        std::string bar = "\rsizing [" + std::string(filled, '#') +
                          std::string(kWidth - filled, '.') + "] " +
                          IntText(static_cast<long long>(done * 100 / total_)) + "% " +
                          IntText(static_cast<long long>(done)) + "/" +
                          IntText(static_cast<long long>(total_)) + " segments";
        width_ = bar.size();
        err_ << bar << std::flush;
        shown_ = true;
    }

    // Removes the bar (before a message and at the end).
    void Clear() {
        if (shown_) {
            err_ << "\r" << std::string(width_, ' ') << "\r" << std::flush;
            shown_ = false;
        }
    }

private:
    using Clock = std::chrono::steady_clock;
    bool enabled_;
    std::size_t total_;
    std::ostream& err_;
    Clock::time_point start_;
    Clock::time_point drawn_{};
    bool shown_ = false;
    std::size_t width_ = 0;
};

bool ReadFile(const std::string& path, std::string& text) {
    if (path == "-") {
        text.assign(std::istreambuf_iterator<char>(std::cin), {});
        return !std::cin.bad();
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    std::ostringstream s;
    s << in.rdbuf();
    text = std::move(s).str();
    return !in.bad();
}

bool IsSkipped(std::string_view line) {
    line = Trim(line);
    return line.empty() || line.front() == '#';
}

int RunBatch(const SizeOptions& options, Catalog& cat, std::ostream& out, std::ostream& err) {
    std::string text;
    if (!ReadFile(options.batch, text)) {
        err << "tqrvn: cannot read the batch file " << options.batch << "\n";
        return kInputError;
    }
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        text.erase(0, 3); // UTF-8 byte-order mark
    }
    const std::string_view all = text;
    const std::string where = (options.batch == "-" ? std::string("<stdin>") : options.batch) + ":";

    // The lines, numbered from 1.
    std::vector<std::string_view> lines;
    for (std::size_t pos = 0; pos < all.size();) {
        const std::size_t end = std::min(all.find('\n', pos), all.size());
        lines.push_back(all.substr(pos, end - pos));
        pos = end + 1;
    }
    std::size_t headerLine = 0;
    while (headerLine < lines.size() && IsSkipped(lines[headerLine])) {
        ++headerLine;
    }
    if (headerLine == lines.size()) {
        err << "tqrvn: " << where << " no header line (columns: ";
        for (std::size_t i = 0; i < kFieldNames.size(); ++i) {
            err << (i ? "," : "") << kFieldNames[i];
        }
        err << ")\n";
        return kInputError;
    }

    // The header names the columns.
    std::vector<std::string> cells;
    std::size_t count = 0;
    if (!SplitCsv(lines[headerLine], cells, count)) {
        err << "tqrvn: " << where << headerLine + 1 << ": unterminated quote in the header\n";
        return kInputError;
    }
    std::vector<int> columns(count, -1);
    std::array<bool, kFieldCount> seen{};
    for (std::size_t c = 0; c < count; ++c) {
        const std::string_view name = cells[c];
        for (int fi = 0; fi < kFieldCount; ++fi) {
            if (SameText(name, kFieldNames[static_cast<std::size_t>(fi)]) ||
                (fi == kFittings && SameText(name, "fittings"))) {
                columns[c] = fi;
            }
        }
        if (columns[c] < 0) {
            err << "tqrvn: " << where << headerLine + 1 << ": unknown column " << Quote(name)
                << " (columns: ";
            for (std::size_t i = 0; i < kFieldNames.size(); ++i) {
                err << (i ? "," : "") << kFieldNames[i];
            }
            err << ")\n";
            return kInputError;
        }
        if (seen[static_cast<std::size_t>(columns[c])]) {
            err << "tqrvn: " << where << headerLine + 1 << ": column " << Quote(name)
                << " appears twice\n";
            return kInputError;
        }
        seen[static_cast<std::size_t>(columns[c])] = true;
    }

    std::size_t total = 0;
    for (std::size_t i = headerLine + 1; i < lines.size(); ++i) {
        total += IsSkipped(lines[i]) ? 0 : 1;
    }

    const Fields defaults = FieldsOf(options.segment);
    Sizer sizer;
    Request rq;
    Result r;
    Problem p;
    ProgressBar progress(options.progress, total, err);
    std::string buf;
    buf.reserve(1 << 17);
    if (!options.json) {
        buf += kCsvColumns;
        buf += '\n';
    }
    int status = 0;
    std::size_t done = 0;
    for (std::size_t i = headerLine + 1; i < lines.size(); ++i) {
        if (IsSkipped(lines[i])) {
            continue;
        }
        const std::size_t lineNo = i + 1;
        Fields f = defaults;
        bool ok = true;
        if (!SplitCsv(lines[i], cells, count)) {
            ok = Fail(p, "unterminated quote");
        } else {
            for (std::size_t c = 0; c < count; ++c) {
                if (c >= columns.size()) {
                    if (!cells[c].empty()) {
                        ok = Fail(p, IntText(static_cast<long long>(count)) +
                                         " fields, the header has " +
                                         IntText(static_cast<long long>(columns.size())));
                        break;
                    }
                    continue;
                }
                if (!cells[c].empty()) {
                    f[static_cast<std::size_t>(columns[c])] = cells[c];
                }
            }
        }
        ok = ok && Prepare(f, cat, rq, p) && sizer.Size(rq, r, p);
        if (!ok) {
            progress.Clear();
            err << "tqrvn: " << where << lineNo << ": " << p.message << "\n";
            status = std::max(status, p.status);
        }
        const std::string_view id = f[kId];
        if (options.json) {
            JsonObject o;
            o.AddRaw("line", IntText(static_cast<long long>(lineNo))).Add("id", id);
            if (ok) {
                o.Add("status", "ok")
                    .Add("material", rq.matl->Name)
                    .AddRaw("DN", IntText(r.dn))
                    .Add("inner_diameter_mm", r.insD)
                    .Add("velocity_m_s", r.velocity)
                    .Add("Rm_Pa_m", r.rm)
                    .Add("friction_loss_Pa", r.friction)
                    .Add("dynamic_pressure_Pa", r.dynamic)
                    .Add("zeta", r.zeta)
                    .Add("local_loss_Pa", r.local)
                    .Add("total_loss_Pa", r.total)
                    .AddRaw("fits", r.fits ? "true" : "false");
            } else {
                o.Add("status", "error").Add("error", p.message);
            }
            buf += o.Str();
        } else {
            buf += IntText(static_cast<long long>(lineNo));
            buf += ',';
            AppendCsv(buf, id);
            if (ok) {
                buf += ",ok,";
                AppendCsv(buf, rq.matl->Name);
                buf += ',';
                buf += IntText(r.dn);
                AppendNumber(buf, r.insD);
                AppendNumber(buf, r.velocity);
                AppendNumber(buf, r.rm);
                AppendNumber(buf, r.friction);
                AppendNumber(buf, r.dynamic);
                AppendNumber(buf, r.zeta);
                AppendNumber(buf, r.local);
                AppendNumber(buf, r.total);
                buf += r.fits ? ",fits," : ",nearest,";
            } else {
                buf += ",error,,,,,,,,,,,,";
                AppendCsv(buf, p.message);
            }
        }
        buf += '\n';
        if (buf.size() > (1 << 16)) {
            out.write(buf.data(), static_cast<std::streamsize>(buf.size()));
            buf.clear();
        }
        progress.Step(++done);
    }
    out.write(buf.data(), static_cast<std::streamsize>(buf.size()));
    out.flush();
    progress.Clear();
    return status;
}

} // namespace

int SizeCommand(const SizeOptions& options, std::ostream& out, std::ostream& err) {
    Catalog cat;
    if (!cat.Open(CatalogPath(options.catalog), err)) {
        return kCatalogError;
    }
    if (!options.batch.empty()) {
        return RunBatch(options, cat, out, err);
    }
    Request rq;
    Result r;
    Problem p;
    Sizer sizer;
    if (!Prepare(FieldsOf(options.segment), cat, rq, p) || !sizer.Size(rq, r, p)) {
        err << "tqrvn: " << p.message << "\n";
        return p.status;
    }
    if (options.json) {
        PrintJson(rq, r, out);
    } else {
        PrintText(rq, r, out);
    }
    return 0;
}

const char* SizeHelpFooter() {
    return R"(Fluid:
  Water by default, at --temp (default 20 degC, 0 to 100 degC): density and kinematic
  viscosity from the water formulas.  --steam sizes saturated steam in a water-pipe (steel)
  material: density and viscosity from the catalog's steam row of --temp, a whole degree the
  catalog holds (100 to 300 degC in the shipped catalog); --temp is then required.
Flow:
  --flow VALUE UNIT: a volume flow (m3/s, m3/h, l/s, l/h, ...) or a mass flow (kg/s, kg/h,
  ...; divided by the fluid's density).  Steam is given by its mass flow, e.g. --flow 500 kg/h.
  Water may instead be given by its heat load, --load VALUE [UNIT] (W, or kW, kcal/h, ...)
  with --dt K: mass flow = load / (4.187 kJ/(kg K) x dt).
Selection (--by):
  rm (default): the first size in DN order whose specific-friction range MinR-MaxR holds its
  Rm (each material's own friction method: Darcy for water pipe and steam, the plastic and
  PPR formulas); velocity: the velocity range MinV-MaxV; load: the load range MinH-MaxH,
  which needs --load.  When no size fits, the nearest size is taken and reported as the
  nearest size only.
Fittings:
  --fitting NAME=COUNT, repeatable (NAME alone counts once): valves and fittings of
  'tqrvn catalog list valves' by name or ID, of kind 1 for water pipe and steam, kind 2 for
  plastic and PPR pipe.  Their coefficients depend on the DN, so they are read at the DN
  chosen and added to --zeta; the choice itself does not depend on local losses.
Batch (--batch FILE, or - for standard input):
  CSV in UTF-8, one segment per line; blank lines and lines starting with # are skipped.
  The first other line is a header naming the columns, in any order, from
    id,material,category,flow,load,dt,length,zeta,fitting,temp,by,roughness,steam
  each column written as its option (fitting: NAME=COUNT;NAME=COUNT, or with commas
  inside quotes; steam: yes or no;
  id: a label copied to the output).  An empty or missing column takes the command-line
  option's value, else its default.  Example:
    id,flow,length,fitting,temp
    R1,0.65 m3/h,12,弯头=2;闸阀=1,60
  Output, one row per segment in input order (JSON lines with --json):
    line,id,status,material,DN,inner_diameter_mm,velocity_m_s,Rm_Pa_m,friction_loss_Pa,
    dynamic_pressure_Pa,zeta,local_loss_Pa,total_loss_Pa,fit,message
  fit is fits or nearest.  A bad row has status error and the reason in message, and is
  reported on standard error with its line number; the other rows still run, and the exit
  status is then 2.  A batch running over a second draws a progress bar on a terminal.
Exit status: 0 sized, 1 catalog missing or unusable, 2 bad input.
Example: a 60 degC heating branch of 25 m carrying 15 kW at dt 10 K, with two elbows (弯头)
and a gate valve (闸阀):
  tqrvn size --load 15 kW --dt 10 --temp 60 --length 25 --fitting 弯头=2 --fitting 闸阀=1
)";
}

// ---------------------------------------------------------------------------
// Ducts
// ---------------------------------------------------------------------------

namespace {

struct DuctResult {
    CTQDuctSpec duct;
    double velocity = 0, re = 0, lambda = 0, rm = 0, dynamic = 0;
    const char* formula = "flow-regime formula";
};

// Friction factor of air in a duct of hydraulic diameter dh (m) at the
// result's velocity: the formula of the flow regime (GetLmd).  Where that
// formula is out of its range (Blasius beyond Re 1e5, common in ducts, whose
// relative roughness puts them in the smooth regime up to Re 2e5 and more),
// Colebrook-White, which holds across the turbulent regimes.
void DuctFriction(DuctResult& d, double dh, double roughness) {
    d.re = RVN::Re(dh, d.velocity, kAirViscosity);
    d.lambda = RVN::GetLmd(d.re, roughness / dh);
    if (d.lambda < 0) {
        d.lambda = RVN::x_TF_CW(d.re, roughness / dh);
        d.formula = "Colebrook-White";
    }
}

std::string DuctJson(const DuctResult& d, bool circular) {
    JsonObject o;
    if (circular) {
        o.AddRaw("diameter_mm", IntText(d.duct.Width));
    } else {
        o.AddRaw("width_mm", IntText(d.duct.Width)).AddRaw("height_mm", IntText(d.duct.Height));
    }
    return o.Add("thickness_mm", d.duct.Thickness)
        .Add("velocity_m_s", d.velocity)
        .Add("Re", d.re)
        .Add("lambda", d.lambda)
        .Add("lambda_formula", d.formula)
        .Add("Rm_Pa_m", d.rm)
        .Add("dynamic_pressure_Pa", d.dynamic)
        .Str();
}

} // namespace

int DuctCommand(const DuctOptions& options, std::ostream& out, std::ostream& err) {
    Problem p;
    double flow = 0, velocity = 0, roughness = kDuctRoughness;
    bool mass = false;
    const double rho = RVN::GetDensity(kAirTemp, kAirHumidity, kAirPressure);
    if (Trim(options.flow).empty()) {
        err << "tqrvn: give the air flow (--flow VALUE UNIT, e.g. 3000 m3/h)\n";
        return kInputError;
    }
    if (!ReadFlow("flow", options.flow, flow, mass, p)) {
        err << "tqrvn: " << p.message << "\n";
        return kInputError;
    }
    const double flux = mass ? flow / rho : flow;
    if (Trim(options.velocity).empty()) {
        err << "tqrvn: give the target velocity (--velocity VALUE, m/s)\n";
        return kInputError;
    }
    if (!ReadMeasure("velocity", options.velocity, QUANTITY_SPEED, velocity, p) ||
        (!(velocity > 0) &&
         !Fail(p, "velocity " + Quote(Trim(options.velocity)) + " must be positive"))) {
        err << "tqrvn: " << p.message << "\n";
        return kInputError;
    }
    if (!Trim(options.roughness).empty() &&
        (!ReadMeasure("roughness", options.roughness, QUANTITY_LENGTH, roughness, p) ||
         ((!(roughness > 0) || roughness >= kMaxRoughness) &&
          !Fail(p,
                "roughness " + FormatNumber(roughness) +
                    " m is not a wall roughness (above 0 and below 10 mm; write e.g. 0.15 mm)")))) {
        err << "tqrvn: " << p.message << "\n";
        return kInputError;
    }
    Catalog cat;
    if (!cat.Open(CatalogPath(options.catalog), err)) {
        return kCatalogError;
    }
    const bool both = options.circular == options.rectangular;
    std::optional<DuctResult> circ, rect;
    if (both || options.circular) {
        auto& list = const_cast<CTQArray<CTQDuctSpec>&>(cat.Ducts(0));
        if (list.IsEmpty()) {
            err << "tqrvn: the catalog has no circular ducts\n";
            return kCatalogError;
        }
        DuctResult d;
        d.duct = RVN::SelectSpecByVelocity_Circ(flux, velocity, &list);
        const double dia = d.duct.Width * 0.001;
        d.velocity = RVN::GetVelocity_CIRC(flux, dia);
        DuctFriction(d, dia, roughness);
        d.rm = RVN::Rm_Circle(d.lambda, dia, d.velocity, rho);
        d.dynamic = RVN::GetDY(d.velocity, rho);
        circ = d;
    }
    if (both || options.rectangular) {
        auto& list = const_cast<CTQArray<CTQDuctSpec>&>(cat.Ducts(1));
        if (list.IsEmpty()) {
            err << "tqrvn: the catalog has no rectangular ducts\n";
            return kCatalogError;
        }
        DuctResult d;
        d.duct = RVN::SelectSpecByVelocity_Rect(flux, velocity, &list);
        const double a = d.duct.Width * 0.001, b = d.duct.Height * 0.001;
        d.velocity = RVN::GetVelocity_RECT(flux, a, b);
        DuctFriction(d, RVN::D(RVN::GetHydraulicRadius_RECT(a, b)), roughness);
        d.rm = RVN::Rm_Square(d.lambda, a, b, d.velocity, rho);
        d.dynamic = RVN::GetDY(d.velocity, rho);
        rect = d;
    }
    if (options.json) {
        JsonObject o;
        o.Add("flow_m3_s", flux)
            .Add("target_velocity_m_s", velocity)
            .Add("air_temp_degC", kAirTemp)
            .Add("density_kg_m3", rho)
            .Add("viscosity_m2_s", kAirViscosity)
            .Add("roughness_m", roughness);
        if (circ) {
            o.AddRaw("circular", DuctJson(*circ, true));
        }
        if (rect) {
            o.AddRaw("rectangular", DuctJson(*rect, false));
        }
        out << o.Str() << "\n";
        return 0;
    }
    out << "air at " << FormatNumber(kAirTemp) << " degC: density " << Show(rho)
        << " kg/m3, kinematic viscosity " << Show(kAirViscosity * 1e6) << " mm2/s; roughness "
        << Show(roughness * 1000) << " mm\n";
    out << "flow " << Show(flux) << " m3/s (" << Show(flux * 3600) << " m3/h), target velocity "
        << Show(velocity) << " m/s\n";
    const auto print = [&out](const DuctResult& d, const std::string& title) {
        out << title << " (sheet " << Show(d.duct.Thickness) << " mm)\n";
        out << "  " << PadRight("velocity", 20) << Show(d.velocity) << " m/s\n";
        out << "  " << PadRight("Rm", 20) << Show(d.rm) << " Pa/m (lambda " << Show(d.lambda)
            << " by " << d.formula << ", Re " << Show(d.re) << ")\n";
        out << "  " << PadRight("dynamic pressure", 20) << Show(d.dynamic) << " Pa\n";
    };
    if (circ) {
        print(*circ, "circular duct D" + IntText(circ->duct.Width) + " mm");
    }
    if (rect) {
        print(*rect, "rectangular duct " + IntText(rect->duct.Width) + " x " +
                         IntText(rect->duct.Height) + " mm");
    }
    return 0;
}

const char* DuctHelpFooter() {
    return R"(Picks from the catalog's duct sizes the circular and the rectangular duct (both unless
--circ or --rect is given) whose velocity comes nearest the target, and prints its velocity,
its specific friction Rm and its dynamic pressure.  Air at 20 degC, 50 % humidity and
101325 Pa (density by the humid-air formula, kinematic viscosity 15.06e-6 m2/s); wall
roughness 0.15 mm of galvanised sheet unless --roughness is given.  --flow takes a volume
flow (m3/h, m3/s, l/s, ...) or a mass flow (kg/h, ...).
Example: tqrvn duct --flow 3000 m3/h --velocity 6
)";
}

} // namespace tqrvn
