// The parts of segment sizing shared by its two source files; not installed.
#pragma once

#include "design/SegmentDesign.h"

#include <utility>
#include <vector>

namespace RVN::detail {

// A request whose every field has been read and checked.
struct Resolved {
    const CTQCatalogSnapshot* catalog = nullptr;
    const CTQPipeMatl* matl = nullptr;
    const CTQArray<CTQPipeSpec>* sizes = nullptr;  // the list judged (steam limits for steam by velocity)
    std::vector<std::pair<const CTQPipeValve*, int>> fittings;
    TQFluid fluid = TQFluid::Water;
    TQSelection by = TQSelection::Rm;
    double temperature = 0, rho = 0, nu = 0;  // degC, kg/m3, 1e-6 m2/s
    double volumeFlow = 0, massFlow = 0;      // m3/s, kg/s
    double heatLoad = kNotGiven, deltaT = kNotGiven;  // W, K
    double loadBasis = kNotGiven;              // K, the material's load-range basis, for selection by load
    double loadAtBasis = kNotGiven;            // W at loadBasis
    double length = 0, zeta = 0, roughness = 0;  // m, -, m
};

// Checks every field of the request against the catalog; false with the
// error set at the first field at fault.
bool Resolve(const CTQCatalogSnapshot& cat, const CTQSegmentRequest& rq, Resolved& r, CTQDesignError& e);

}  // namespace RVN::detail
