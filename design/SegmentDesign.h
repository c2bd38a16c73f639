// Sizing one pipe segment against a catalog snapshot: the rules an engineer
// relies on, in one place for every host, the tool, the network sizing and
// the Python module.
#pragma once

#include "TQRVNBaseExport.h"
#include "design/CatalogSnapshot.h"
#include "design/DesignTypes.h"

#include <vector>

namespace RVN {

/// The flow regime that RVN::GetLmd chooses for (re, eps) and its formula.
struct CTQFrictionRegime {
    const char* name;     ///< "laminar", "transition", "smooth", "mixed", "rough", "no flow", "undefined"
    const char* formula;  ///< "x_LF", "0.0025 Re^(1/3)", "x_TF_B", "x_TF_CW", "x_TF_X", "none"
};
/// Classifies (re, eps) by the tests of RVN::GetLmd, in the same order.
TQRVNBASE_API CTQFrictionRegime ClassifyFriction(double re, double eps);

/// The Darcy friction factor of the design layer: RVN::GetLmd, except that
/// where the formula of the regime is used outside its range (Blasius above
/// Re 1e5 in the smooth zone, which small roughnesses such as copper's or
/// stainless steel's reach at ordinary velocities) Colebrook-White, which
/// holds across the turbulent regimes, is taken instead.
struct CTQFrictionChoice {
    double lambda = 0.0;
    CTQFrictionRegime regime{"undefined", "none"};
    const char* formula = "none";  ///< the formula whose value lambda is
    bool fallback = false;         ///< Colebrook-White stood in for the regime's formula
};
/// Example: DesignFriction(2e5, 1.5e-5) is in the smooth zone, where Blasius
/// gives -1; the result is Colebrook-White's 0.01576 with fallback set.
TQRVNBASE_API CTQFrictionChoice DesignFriction(double re, double eps);

/// Highest design velocity of saturated steam in a pipe of nominal diameter
/// dn (mm), m/s: 35 m/s up to DN 200 and 60 m/s above, the limits for
/// saturated steam of the urban heating network design code (CJJ 34).
/// Steam is sized by these limits, never by the catalog's hot-water ones.
TQRVNBASE_API double SteamVelocityLimit(int dn);

/// The temperature difference, K, for which the catalog states the load
/// ranges of its sizes (MinH..MaxH, W) unless a material says otherwise: the
/// 20 K of a 95/75 or 80/60 degC heating system.
inline constexpr double kLoadBasisDeltaT = 20.0;

/// The temperature difference, K, of a material's load ranges: the number
/// after "温差" and before "K" in its comment ("负荷 W (温差 10 K)", the
/// seed catalog's way of stating it), else kLoadBasisDeltaT.  A segment's
/// load at another difference is compared as the load its flow would carry
/// at this one.
TQRVNBASE_API double LoadBasisDeltaT(const CTQPipeMatl& material);

/// Sizes a segment: checks every field of the request, takes the material's
/// sizes in DN order and chooses the first whose range (Rm, velocity or
/// load) holds the segment's value, else the nearest, or checks the size the
/// request fixes; then totals the fittings' coefficients at that DN and
/// works out the losses by the material's method (Darcy for water pipe, the
/// plastic-pipe method, the PPR gradient formula, the steam-pipe formula).
/// Water takes its density and viscosity from the water formulas (0 to 100
/// degC), steam from the catalog's row of its saturation temperature.
/// Never throws: a bad request or a catalog that lacks what it needs is an
/// error naming the field.
TQRVNBASE_API CTQDesignOutcome<CTQSegmentResult> SizeSegment(const CTQCatalogSnapshot& catalog,
                                                           const CTQSegmentRequest& request);

/// The handbook table of a segment: every size of its material, in DN order,
/// at the segment's flow, each as SizeSegment checks a fixed size (velocity,
/// Rm, losses, whether its range holds the segment's value).  request.dn is
/// ignored.
TQRVNBASE_API CTQDesignOutcome<std::vector<CTQSegmentResult>> ListSegmentSizes(const CTQCatalogSnapshot& catalog,
                                                                             const CTQSegmentRequest& request);

}  // namespace RVN
