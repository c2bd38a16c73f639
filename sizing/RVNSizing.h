// Size selection: choosing a pipe size from a material's sizes by load,
// velocity or specific friction, and a duct size by velocity.
//
// Pipe selection walks the list from the first size to the last and stops at
// the first size whose range (CTQPipeSpec::CanTakeH / CanTakeV / CanTakeR,
// widened by 1e-06, both limits zero = no limit) takes the segment's value;
// on a list ordered by ascending DN that is the smallest size that fits.
// When no size fits, the result is the size whose range comes nearest: the
// distance of a size is min(|Min - x|, |Max - x|), not widened, and a size
// replaces the best one only when its distance is strictly smaller, so among
// equally distant sizes the earliest wins.  The functions then return false.
//
// "Writing a size into a segment" sets the segment's DN = size DN,
// Diameter = InsD (mm) and ThickNess = Thickness (mm) and nothing else.
//
// Lists are never changed.  roughness (m), rho (kg/m^3) and nu
// (1e-6 m^2/s) are handed unchanged to the segment's own CalRm.
#pragma once

#include "TQRVNBaseExport.h"
#include "catalog/CTQArray.h"
#include "catalog/CTQDuctSpec.h"
#include "catalog/CTQPipeSpec.h"
#include "sizing/CTQPipeData.h"

namespace RVN {

/// The first size whose load range takes load.  spec receives every size as
/// it is tried, so on true it holds the chosen size; when none fits it
/// receives the nearest size (a default CTQPipeSpec for an empty list) and
/// the result is false.  A null list returns false with spec unchanged.
TQRVNBASE_API bool SelectSpecByLoad(double load, CTQPipeSpec& spec, CTQArray<CTQPipeSpec>* list);

/// The first size whose load range takes data->Load, written into data
/// (DN, Diameter, ThickNess); the nearest size when none fits (false).
/// Nothing is calculated: Velocity, Rm and the losses keep their values.
/// A null or empty list or a null data returns false with data unchanged.
TQRVNBASE_API bool SelectSpecByLoad(CTQPipeData* data, CTQArray<CTQPipeSpec>* list);

/// The first size whose velocity range takes the velocity of flux (m^3/s)
/// through its inner diameter InsD; on true spec holds that size, otherwise
/// the nearest size (false).  A zero flux gives false with spec = the first
/// size.  A null or empty list returns false with spec unchanged.
TQRVNBASE_API bool SelectSpecByVelocity(CTQPipeSpec& spec, double flux, CTQArray<CTQPipeSpec>* list);

/// The first size whose velocity range takes the segment's velocity
/// (data->CalVelocity(), the segment's own method, on each size in turn).
/// The chosen size (the nearest one when none fits, false) is written into
/// data and data->Velocity holds its velocity.  A zero Flux writes the first
/// size, sets Velocity and Rm to 0 and returns false.  A null or empty list
/// or a null data returns false with data unchanged.
TQRVNBASE_API bool SelectSpecByVelocity(CTQPipeData* data, CTQArray<CTQPipeSpec>* list);

/// The first size whose specific-friction range (Pa/m) takes the segment's
/// Rm, computed for each size by the segment's own CalVelocity and
/// CalRm(roughness, rho, nu) (Darcy, plastic, PPR without RmFactor, steam).
/// The chosen size (the nearest one when none fits, false) is written into
/// data, with Velocity and Rm calculated for it; the losses are not updated
/// (CalAllData does that).  Zero Flux, null or empty list, null data: as
/// SelectSpecByVelocity(data, list).
TQRVNBASE_API bool SelectSpecByRm(CTQPipeData* data, CTQArray<CTQPipeSpec>* list, double roughness,
                                  double rho, double nu);

/// The duct whose velocity for flux (m^3/s), taking each element as a circle
/// of diameter Width (mm), is nearest velocity (m/s); the earliest of equally
/// near ducts.  Section is not looked at.  A null or empty list gives a
/// default-constructed CTQDuctSpec.
TQRVNBASE_API CTQDuctSpec SelectSpecByVelocity_Circ(double flux, double velocity, CTQArray<CTQDuctSpec>* list);

/// The duct whose velocity for flux (m^3/s) through Width x Height (mm) is
/// nearest velocity (m/s); the earliest of equally near ducts.  Section is
/// not looked at.  A null or empty list gives a default-constructed
/// CTQDuctSpec.
TQRVNBASE_API CTQDuctSpec SelectSpecByVelocity_Rect(double flux, double velocity, CTQArray<CTQDuctSpec>* list);

}  // namespace RVN
