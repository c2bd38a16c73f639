// Picking air ducts from the catalog by velocity.
#pragma once

#include "TQRVNBaseExport.h"
#include "design/CatalogSnapshot.h"
#include "design/DesignTypes.h"

namespace RVN {

/// Air of the duct sizing: 20 degC, 50 % relative humidity, 101325 Pa.
inline constexpr double kDuctAirTemperature = 20.0;     ///< degC
inline constexpr double kDuctAirHumidity = 0.5;         ///< relative humidity, 0..1
inline constexpr double kDuctAirPressure = 101325.0;    ///< Pa
/// Kinematic viscosity of that air, m2/s: the dynamic viscosity of the
/// property tables, 18.13e-6 Pa s, over the dry-air density 1.204 kg/m3.
inline constexpr double kDuctAirViscosity = 15.06e-6;
/// Absolute roughness of galvanised sheet-steel ducts, m (0.15 mm, the value
/// of the duct friction charts).
inline constexpr double kDuctRoughness = 0.15e-3;

enum class TQDuctShape { Both, Circular, Rectangular };

struct CTQDuctRequest {
    double volumeFlow = kNotGiven;  ///< m3/s; or
    double massFlow = kNotGiven;    ///< kg/s (divided by the air's density)
    double velocity = kNotGiven;    ///< target velocity, m/s
    double roughness = kDuctRoughness;  ///< m, above 0 and below 10 mm
    TQDuctShape shape = TQDuctShape::Both;
};

/// One duct picked: its catalog size and the air flow in it.
struct CTQDuctChoice {
    bool circular = true;
    int width = 0;               ///< mm; the diameter of a circular duct
    int height = 0;              ///< mm; 0 for a circular duct
    double thickness = 0.0;      ///< sheet, mm
    double hydraulicDiameter = 0.0;  ///< m
    double velocity = 0.0;       ///< m/s
    double reynolds = 0.0;
    double lambda = 0.0;
    std::string formula;         ///< the friction-factor formula used
    bool formulaFallback = false;  ///< Colebrook-White stood in for the regime's formula
    double rm = 0.0;             ///< Pa/m
    double dynamicPressure = 0.0;  ///< Pa
};

struct CTQDuctResult {
    double volumeFlow = 0.0;     ///< m3/s
    double targetVelocity = 0.0;  ///< m/s
    double density = 0.0;        ///< air, kg/m3
    double viscosity = kDuctAirViscosity;  ///< m2/s
    double roughness = 0.0;      ///< m
    bool hasCircular = false;
    bool hasRectangular = false;
    CTQDuctChoice circular;
    CTQDuctChoice rectangular;
};

/// Picks the circular and/or rectangular duct of the catalog whose velocity
/// comes nearest the target (RVN::SelectSpecByVelocity_Circ and _Rect) and
/// works out its velocity, friction factor (as DesignFriction), specific
/// friction and dynamic pressure.  Never throws.
TQRVNBASE_API CTQDesignOutcome<CTQDuctResult> PickDucts(const CTQCatalogSnapshot& catalog, const CTQDuctRequest& request);

}  // namespace RVN
