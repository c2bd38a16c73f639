// The small rules of the design layer: names of categories and selections,
// the friction factor with its regime, the steam velocity limits.
#include "design/DesignTypes.h"
#include "design/SegmentDesign.h"

#include "calc/RVNCalc.h"
#include "db/NumberText.h"

#include <cmath>

namespace RVN {

namespace {

bool SameText(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char c = a[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != b[i])
            return false;
    }
    return true;
}

// 8/7, the exponent of the smooth-zone bound 26.98 (1/eps)^(8/7).
constexpr double kEightSevenths = 1.1428571428571428;

}  // namespace

const char* CategoryKey(int category)
{
    switch (category) {
    case kCategoryWaterPipe: return "water";
    case kCategoryPlasticPipe: return "plastic";
    case kCategoryPprPipe: return "ppr";
    default: return "";
    }
}

const char* CategoryTitle(int category)
{
    switch (category) {
    case kCategoryWaterPipe: return "water pipe";
    case kCategoryPlasticPipe: return "plastic pipe";
    case kCategoryPprPipe: return "PPR pipe";
    default: return "unknown kind";
    }
}

const char* CategoryTitleChinese(int category)
{
    switch (category) {
    case kCategoryWaterPipe: return "水管";
    case kCategoryPlasticPipe: return "塑料管";
    case kCategoryPprPipe: return "PPR管";
    default: return "";
    }
}

int ParseCategory(std::string_view text)
{
    text = TrimBlanks(text);
    for (int c = kCategoryWaterPipe; c <= kCategoryPprPipe; ++c) {
        const char digit = static_cast<char>('0' + c);
        if (SameText(text, CategoryKey(c)) || text == std::string_view(&digit, 1))
            return c;
    }
    return kCategoryNone;
}

int ValveKindOfCategory(int category) { return category == kCategoryWaterPipe ? 1 : 2; }

const char* SelectionKey(TQSelection by)
{
    switch (by) {
    case TQSelection::Velocity: return "velocity";
    case TQSelection::Load: return "load";
    default: return "rm";
    }
}

bool ParseSelection(std::string_view text, TQSelection& by)
{
    text = TrimBlanks(text);
    for (TQSelection s : {TQSelection::Rm, TQSelection::Velocity, TQSelection::Load})
        if (SameText(text, SelectionKey(s))) {
            by = s;
            return true;
        }
    return false;
}

CTQFrictionRegime ClassifyFriction(double re, double eps)
{
    if (std::isnan(re) || std::isnan(eps))
        return {"undefined", "none"};
    if (IsZero(re))
        return {"no flow", "none"};
    if (re < 2300)
        return {"laminar", "x_LF"};
    if (re <= 4000)
        return {"transition", "0.0025 Re^(1/3)"};
    const double r = 1 / eps;
    if (re < std::pow(r, kEightSevenths) * 26.98)
        return {"smooth", "x_TF_B"};
    if (re > r / std::sqrt(x_TF_CW(re, eps)) * 191.2)
        return {"rough", "x_TF_X"};
    return {"mixed", "x_TF_CW"};
}

// The zones and formulas of GetLmd, with the Colebrook root computed once
// for both the rough-zone test and the mixed zone (GetLmd and a separate
// classification would each solve it).  lambda equals GetLmd(re, eps)
// wherever GetLmd has a value.
CTQFrictionChoice DesignFriction(double re, double eps)
{
    CTQFrictionChoice c;
    if (std::isnan(re) || std::isnan(eps) || IsZero(re) || re < 2300 || re <= 4000) {
        c.regime = ClassifyFriction(re, eps);
        c.formula = c.regime.formula;
        c.lambda = GetLmd(re, eps);
        return c;
    }
    const double r = 1 / eps;
    if (re < std::pow(r, kEightSevenths) * 26.98) {
        c.regime = {"smooth", "x_TF_B"};
        c.formula = "x_TF_B";
        c.lambda = x_TF_B(re);
        if (!(c.lambda >= 0.0)) {  // Blasius above Re 1e5
            c.lambda = x_TF_CW(re, eps);
            c.formula = "x_TF_CW";
            c.fallback = true;
        }
        return c;
    }
    const double lcw = x_TF_CW(re, eps);
    if (re > r / std::sqrt(lcw) * 191.2) {
        c.regime = {"rough", "x_TF_X"};
        c.lambda = x_TF_X(eps);
    } else {
        c.regime = {"mixed", "x_TF_CW"};
        c.lambda = lcw;
    }
    c.formula = c.regime.formula;
    return c;
}

double LoadBasisDeltaT(const CTQPipeMatl& material)
{
    static const std::string_view kMarker = "温差";
    const std::string& c = material.Comment;
    const std::size_t at = c.find(kMarker);
    if (at == std::string::npos)
        return kLoadBasisDeltaT;
    std::string_view rest = TrimBlanks(std::string_view(c).substr(at + kMarker.size()));
    double dt = 0.0;
    const std::size_t used = ParseNumberPrefix(rest, dt);
    if (used == 0 || !(dt > 0) || dt > 200)
        return kLoadBasisDeltaT;
    rest = TrimBlanks(rest.substr(used));
    return !rest.empty() && rest.front() == 'K' ? dt : kLoadBasisDeltaT;
}

// Highest design velocities of saturated steam by nominal diameter, m/s:
// 35 m/s for DN <= 200 and 60 m/s above (urban heating network design code
// CJJ 34, maximum design velocities of steam pipes, saturated steam).
double SteamVelocityLimit(int dn) { return dn <= 200 ? 35.0 : 60.0; }

}  // namespace RVN
