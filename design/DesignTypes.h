// Sizing as a library service: the types shared by the design functions.
//
// A design function takes a request in SI units and returns a result or an
// error value that names the field at fault and the reason; it never throws
// and never crashes on bad input.  Results carry every figure an engineer
// reads off a sizing sheet, with the units stated beside each member.
#pragma once

#include "TQRVNBaseExport.h"

#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace RVN {

/// A value not given (or not applicable): a quiet NaN.
inline constexpr double kNotGiven = std::numeric_limits<double>::quiet_NaN();

/// Where a design request went wrong.
enum class TQDesignErrorKind {
    None,     ///< no error
    Input,    ///< a field of the request is missing, out of range or unknown
    Catalog,  ///< the catalog lacks what the request needs, or cannot be read
};

/// The error of a design function: the field at fault ("flow", "material",
/// "fittings", or a catalog table such as "PipeSpec") and a sentence for a
/// person that names the value and the reason.
struct CTQDesignError {
    TQDesignErrorKind kind = TQDesignErrorKind::None;
    std::string field;
    std::string message;

    bool IsError() const { return kind != TQDesignErrorKind::None; }
    /// "field: message" (the message alone when there is no field).
    std::string Text() const { return field.empty() ? message : field + ": " + message; }
};

/// A result or the error that prevented it.
template <class T>
struct CTQDesignOutcome {
    T value{};
    CTQDesignError error;

    bool Ok() const { return !error.IsError(); }
};

/// Material categories of the catalog (the "Type" of a material).  The one
/// place that names them; the kinds of valves follow from them (steel-pipe
/// fittings for water pipe, plastic fittings for plastic and PPR pipe).
enum TQMaterialCategory : int {
    kCategoryNone = 0,
    kCategoryWaterPipe = 1,    ///< 水管: steel, copper, stainless steel; the Darcy method
    kCategoryPlasticPipe = 2,  ///< 塑料管: PE and the like; the plastic-pipe method
    kCategoryPprPipe = 3,      ///< PPR管: PP-R; the PPR gradient formula
};

/// "water", "plastic", "ppr" for the three categories, "" otherwise.
TQRVNBASE_API const char* CategoryKey(int category);
/// "water pipe", "plastic pipe", "PPR pipe"; "unknown kind" otherwise.
TQRVNBASE_API const char* CategoryTitle(int category);
/// "水管", "塑料管", "PPR管"; "" otherwise.
TQRVNBASE_API const char* CategoryTitleChinese(int category);
/// The category of a key ("water", "plastic", "ppr", any case) or of its
/// digit ("1", "2", "3"); 0 when text names none.
TQRVNBASE_API int ParseCategory(std::string_view text);
/// The valve kind whose fittings a material category uses: 1 (steel-pipe
/// fittings) for water pipe, 2 (plastic fittings) for plastic and PPR pipe.
TQRVNBASE_API int ValveKindOfCategory(int category);

enum class TQFluid { Water, Steam };

/// The range of a catalog size against which a segment is judged.
enum class TQSelection {
    Rm,        ///< specific friction MinR..MaxR, Pa/m
    Velocity,  ///< velocity MinV..MaxV, m/s (for steam: the steam limits by DN)
    Load,      ///< load MinH..MaxH, W, stated for the catalog's temperature difference
};

/// "rm", "velocity", "load".
TQRVNBASE_API const char* SelectionKey(TQSelection by);
/// The selection of a key ("rm", "velocity", "load", any case); false when
/// text names none.
TQRVNBASE_API bool ParseSelection(std::string_view text, TQSelection& by);

/// One kind of fitting of a segment, by its catalog name (or ID), and how
/// many of it.
struct CTQFittingCount {
    std::string name;
    int count = 1;
};

/// A pipe segment to size (or to check at a fixed size).  SI units; a NaN
/// means "not given".
struct CTQSegmentRequest {
    std::string id;          ///< a label, copied to the result
    std::string material;    ///< material name, or its ID in digits
    long materialId = -1;    ///< material ID when material is empty; -1: none
    int category = 0;        ///< a TQMaterialCategory; with no material, its first material
    TQFluid fluid = TQFluid::Water;
    /// degC.  Water: 0 to 100, 20 when not given.  Steam: the saturation
    /// temperature of a row of the catalog's steam table (required).
    double temperature = kNotGiven;
    /// The flow, exactly one of: a volume flow (m3/s), a mass flow (kg/s),
    /// or, for water, a heat load (W) with the temperature difference that
    /// carries it (K).
    double volumeFlow = kNotGiven;
    double massFlow = kNotGiven;
    double heatLoad = kNotGiven;
    double deltaT = kNotGiven;
    double length = kNotGiven;  ///< m, above 0
    std::vector<CTQFittingCount> fittings;
    double zeta = 0.0;          ///< further local-resistance coefficients, 0 or more
    double roughness = kNotGiven;  ///< absolute wall roughness, m; NaN: the material's
    TQSelection by = TQSelection::Rm;
    int dn = 0;                 ///< above 0: check this catalog size instead of selecting one
};

/// One kind of fitting of a sized segment.
struct CTQFittingLoss {
    std::string name;
    long id = -1;
    int count = 0;
    double zetaEach = 0.0;      ///< its coefficient at the segment's DN
    bool outsideTable = false;  ///< the DN lies outside the fitting's DN table (nearest entry taken)
};

/// A sized (or checked) pipe segment.
struct CTQSegmentResult {
    std::string id;
    // What was sized, as used.
    std::string material;
    long materialId = -1;
    int category = 0;
    std::string sizeMark;       ///< the material's size designation, "DN" or "dn"
    TQFluid fluid = TQFluid::Water;
    double temperature = 0.0;   ///< degC
    double density = 0.0;       ///< kg/m3
    double viscosity = 0.0;     ///< kinematic, m2/s
    double roughness = 0.0;     ///< m
    double volumeFlow = 0.0;    ///< m3/s
    double massFlow = 0.0;      ///< kg/s
    double heatLoad = kNotGiven;  ///< W, when the flow came from a load
    double deltaT = kNotGiven;  ///< K, with heatLoad
    double length = 0.0;        ///< m
    TQSelection by = TQSelection::Rm;
    bool fixedSize = false;     ///< the size was given (checked, not selected)
    // The size.
    int dn = 0;
    double innerDiameter = 0.0;  ///< mm
    double wall = 0.0;           ///< mm
    double outerDiameter = 0.0;  ///< mm
    // The flow in it.
    double velocity = 0.0;      ///< m/s
    double reynolds = 0.0;      ///< on the inner diameter
    /// Darcy friction factor; for the PPR and steam formulas, which give Rm
    /// directly, the factor that gives the same Rm by Darcy-Weisbach.
    double lambda = 0.0;
    std::string formula;        ///< the formula that gave lambda or Rm
    std::string regime;         ///< the flow regime it was chosen for
    bool formulaFallback = false;  ///< the regime's formula was out of range; Colebrook-White taken
    double rm = 0.0;            ///< specific friction, Pa/m
    double frictionLoss = 0.0;  ///< Pa
    double dynamicPressure = 0.0;  ///< Pa
    double zeta = 0.0;          ///< total local-resistance coefficient
    double extraZeta = 0.0;     ///< the part given besides the fittings
    std::vector<CTQFittingLoss> fittings;
    double localLoss = 0.0;     ///< Pa
    double totalLoss = 0.0;     ///< Pa
    // The judgement.
    bool fits = false;          ///< the size's range holds the segment's value
    double criterion = 0.0;     ///< the value judged (Rm, velocity, or load at the catalog's basis)
    double rangeMin = 0.0;
    double rangeMax = 0.0;
    std::string rangeUnit;      ///< "Pa/m", "m/s", "W"
    /// For selection by load: the temperature difference (K) for which the
    /// catalog states its load ranges; the segment's load was scaled to it.
    double loadBasisDeltaT = kNotGiven;
    /// What an engineer should know beyond the judgement: a formula used out
    /// of its range and replaced, a DN outside a fitting's table, a load
    /// compared at another temperature difference.
    std::vector<std::string> warnings;
};

}  // namespace RVN
