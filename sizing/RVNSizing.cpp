// Size selection from catalog lists: pipe sizes by load, velocity or
// specific friction, duct sizes by velocity.

#include "sizing/RVNSizing.h"

#include <cmath>

#include "calc/RVNCalc.h"

namespace {

// Starting distance of the nearest-size search: larger than any real one.
constexpr double kFarAway = 1e30;

// Distance of x from the range [low, high] for the nearest-size search:
// the nearer of the two limits, not widened, zero limits taken as they are.
double RangeDistance(double x, double low, double high) {
    return std::fmin(std::fabs(low - x), std::fabs(high - x));
}

// The size's DN, inner diameter and wall thickness into the segment.
void WriteSize(CTQPipeData& data, const CTQPipeSpec& spec) {
    data.DN = spec.DN;
    data.Diameter = spec.InsD;
    data.ThickNess = spec.Thickness;
}

// Nearest-size bookkeeping of one walk.  The best size is referred to by
// address (the list is not changed during a call); a size replaces it only
// when strictly nearer, so the earliest of equally near sizes stays.
struct Nearest {
    explicit Nearest(const CTQPipeSpec* start) : spec(start) {}

    const CTQPipeSpec* spec;
    double distance = kFarAway;

    void Offer(const CTQPipeSpec& candidate, double d) {
        if (d < distance) {
            distance = d;
            spec = &candidate;
        }
    }
};

bool HasSizes(const CTQArray<CTQPipeSpec>* list) { return list != nullptr && !list->IsEmpty(); }

// Zero flow: the first size is written, velocity and specific friction
// zeroed; nothing fits.
bool ZeroFlow(CTQPipeData& data, const CTQPipeSpec& first) {
    WriteSize(data, first);
    data.Velocity = 0.0;
    data.Rm = 0.0;
    return false;
}

}  // namespace

namespace RVN {

bool SelectSpecByLoad(double load, CTQPipeSpec& spec, CTQArray<CTQPipeSpec>* list) {
    if (list == nullptr) return false;
    Nearest best{nullptr};
    for (const CTQPipeSpec& size : *list) {
        if (size.CanTakeH(load)) {
            spec = size;
            return true;
        }
        best.Offer(size, RangeDistance(load, size.MinH, size.MaxH));
    }
    spec = best.spec != nullptr ? *best.spec : CTQPipeSpec();
    return false;
}

bool SelectSpecByLoad(CTQPipeData* data, CTQArray<CTQPipeSpec>* list) {
    if (!HasSizes(list) || data == nullptr) return false;
    Nearest best{&list->GetAt(0)};
    for (const CTQPipeSpec& size : *list) {
        if (size.CanTakeH(data->Load)) {
            WriteSize(*data, size);
            return true;
        }
        best.Offer(size, RangeDistance(data->Load, size.MinH, size.MaxH));
    }
    WriteSize(*data, *best.spec);
    return false;
}

bool SelectSpecByVelocity(CTQPipeSpec& spec, double flux, CTQArray<CTQPipeSpec>* list) {
    if (!HasSizes(list)) return false;
    Nearest best{&list->GetAt(0)};
    if (IsZero(flux)) {
        spec = *best.spec;
        return false;
    }
    for (const CTQPipeSpec& size : *list) {
        const double v = GetVelocity(flux, GetArea_CIRC(size.InsD * 0.001));
        if (size.CanTakeV(v)) {
            spec = size;
            return true;
        }
        best.Offer(size, RangeDistance(v, size.MinV, size.MaxV));
    }
    spec = *best.spec;
    return false;
}

bool SelectSpecByVelocity(CTQPipeData* data, CTQArray<CTQPipeSpec>* list) {
    if (!HasSizes(list) || data == nullptr) return false;
    Nearest best{&list->GetAt(0)};
    if (IsZero(data->Flux)) return ZeroFlow(*data, *best.spec);
    for (const CTQPipeSpec& size : *list) {
        WriteSize(*data, size);
        const double v = data->CalVelocity();
        if (size.CanTakeV(v)) return true;
        best.Offer(size, RangeDistance(v, size.MinV, size.MaxV));
    }
    WriteSize(*data, *best.spec);
    data->CalVelocity();
    return false;
}

bool SelectSpecByRm(CTQPipeData* data, CTQArray<CTQPipeSpec>* list, double roughness, double rho,
                    double nu) {
    if (!HasSizes(list) || data == nullptr) return false;
    Nearest best{&list->GetAt(0)};
    if (IsZero(data->Flux)) return ZeroFlow(*data, *best.spec);
    // The plastic and PPR methods return 0 without storing it for a size
    // they cannot compute (DN 0, zero bore); the stored Rm then still
    // belonged to the previous size, so the result is stored here.
    for (const CTQPipeSpec& size : *list) {
        WriteSize(*data, size);
        data->CalVelocity();
        const double r = data->CalRm(roughness, rho, nu);
        data->Rm = r;
        if (size.CanTakeR(r)) return true;
        best.Offer(size, RangeDistance(r, size.MinR, size.MaxR));
    }
    WriteSize(*data, *best.spec);
    data->CalVelocity();
    data->Rm = data->CalRm(roughness, rho, nu);
    return false;
}

namespace {

// The duct whose velocity (by velocityOf) is nearest the target; the first
// of equally near ducts.
template <class VelocityOf>
CTQDuctSpec NearestDuct(double velocity, CTQArray<CTQDuctSpec>* list, VelocityOf velocityOf) {
    if (list == nullptr || list->IsEmpty()) return CTQDuctSpec();
    const CTQDuctSpec* best = &list->GetAt(0);
    double bestDistance = kFarAway;
    for (const CTQDuctSpec& duct : *list) {
        const double d = std::fabs(velocityOf(duct) - velocity);
        if (bestDistance > d) {
            bestDistance = d;
            best = &duct;
        }
    }
    return *best;
}

}  // namespace

CTQDuctSpec SelectSpecByVelocity_Circ(double flux, double velocity, CTQArray<CTQDuctSpec>* list) {
    return NearestDuct(velocity, list, [flux](const CTQDuctSpec& duct) {
        return GetVelocity_CIRC(flux, duct.Width * 0.001);
    });
}

CTQDuctSpec SelectSpecByVelocity_Rect(double flux, double velocity, CTQArray<CTQDuctSpec>* list) {
    return NearestDuct(velocity, list, [flux](const CTQDuctSpec& duct) {
        return GetVelocity_RECT(flux, duct.Width * 0.001, duct.Height * 0.001);
    });
}

}  // namespace RVN
