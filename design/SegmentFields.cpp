#include "design/SegmentFields.h"

#include "db/NumberText.h"
#include "db/TextEncoding.h"
#include "design/Quantity.h"

namespace RVN {

namespace {

constexpr const char* kNames[] = {"id", "material", "category", "flow", "load", "dt", "length",
                                  "zeta", "fitting", "temp", "by", "roughness", "steam", "dn"};

bool SameText(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

bool Refuse(CTQDesignError& e, const char* field, std::string message)
{
    e = {TQDesignErrorKind::Input, field, std::move(message)};
    return false;
}

// A quantity field into `out` (left as it is when the field is empty); a
// flow, a load and a length must be positive, said with the text as typed.
bool Quantity(const char* field, const std::string& text, std::initializer_list<int> q, bool unitRequired,
              double& out, CTQDesignError& e, int* quantity = nullptr)
{
    if (TrimBlanks(text).empty())
        return true;
    const auto o = ParseQuantity(field, text, q, unitRequired);
    if (!o.Ok()) {
        e = o.error;
        return false;
    }
    const std::string_view name = field;
    if ((name == "flow" || name == "load" || name == "length") && !(o.value.value > 0))
        return Refuse(e, field, "'" + std::string(TrimBlanks(FoldFullWidth(text))) + "' must be positive");
    out = o.value.value;
    if (quantity != nullptr)
        *quantity = o.value.quantity;
    return true;
}

bool YesNo(const std::string& text, bool& value, CTQDesignError& e)
{
    const std::string folded = FoldFullWidth(text);
    const std::string_view t = TrimBlanks(folded);
    for (const char* yes : {"yes", "y", "true", "1"})
        if (SameText(t, yes))
            return value = true, true;
    for (const char* no : {"", "no", "n", "false", "0"})
        if (SameText(t, no))
            return value = false, true;
    return Refuse(e, "steam", "'" + std::string(t) + "' is not yes or no");
}

// "NAME=COUNT;NAME=COUNT" (or with commas; full-width separators too).
bool Fittings(const std::string& text, std::vector<CTQFittingCount>& out, CTQDesignError& e)
{
    // Only the separators and counts are folded: a name is looked up as written.
    std::string t = text;
    for (std::size_t at = t.find("\xEF\xBC"); at != std::string::npos; at = t.find("\xEF\xBC", at + 1)) {
        if (at + 2 >= t.size())
            break;
        const unsigned char third = static_cast<unsigned char>(t[at + 2]);
        if (third == 0x9B || third == 0x8C || third == 0x9D)  // ；，＝
            t.replace(at, 3, third == 0x9D ? "=" : ";");
    }
    std::size_t pos = 0;
    while (pos <= t.size()) {
        const std::size_t end = std::min(t.find_first_of(";,", pos), t.size());
        const std::string_view part = TrimBlanks(std::string_view(t).substr(pos, end - pos));
        pos = end + 1;
        if (part.empty())
            continue;
        const std::size_t eq = part.rfind('=');
        CTQFittingCount f;
        f.name = std::string(TrimBlanks(part.substr(0, eq)));
        if (eq != std::string_view::npos) {
            const std::string count = FoldFullWidth(part.substr(eq + 1));
            if (!ParseInteger(TrimBlanks(count), f.count) || f.count < 1 || f.count > 10000)
                return Refuse(e, "fitting", "'" + std::string(part) +
                                                "': the count after '=' must be a whole number from 1 to 10000");
        }
        if (f.name.empty())
            return Refuse(e, "fitting", "'" + std::string(part) + "' has no name");
        out.push_back(std::move(f));
    }
    return true;
}

bool Plain(const char* field, const std::string& text, double& out, CTQDesignError& e)
{
    const std::string folded = FoldFullWidth(text);
    const std::string_view t = TrimBlanks(folded);
    if (t.empty())
        return true;
    if (!ParseNumber(t, out))
        return Refuse(e, field, "'" + std::string(t) + "' is not a number (with '.' as decimal point)");
    return true;
}

bool Texts(const CTQSegmentFields& f, CTQSegmentRequest& r, CTQDesignError& e)
{
    r.id = f.id;
    r.material = std::string(TrimBlanks(f.material));
    const std::string category = FoldFullWidth(f.category);
    if (!TrimBlanks(category).empty() && (r.category = ParseCategory(category)) == kCategoryNone)
        return Refuse(e, "category", "'" + std::string(TrimBlanks(category)) + "' is not water, plastic or ppr (1, 2, 3)");
    bool steam = false;
    if (!YesNo(f.steam, steam, e))
        return false;
    r.fluid = steam ? TQFluid::Steam : TQFluid::Water;
    const std::string by = FoldFullWidth(f.by);
    if (!TrimBlanks(by).empty() && !ParseSelection(by, r.by))
        return Refuse(e, "by", "'" + std::string(TrimBlanks(by)) + "' is not rm, velocity or load");
    const std::string dn = FoldFullWidth(f.dn);
    if (!TrimBlanks(dn).empty() && (!ParseInteger(TrimBlanks(dn), r.dn) || r.dn <= 0))
        return Refuse(e, "dn", "'" + std::string(TrimBlanks(dn)) + "' is not a nominal diameter (a whole number above 0)");
    return Fittings(f.fittings, r.fittings, e);
}

}  // namespace

std::span<const char* const> SegmentFieldNames() { return kNames; }

std::string_view SegmentFieldOfRequestField(std::string_view requestField)
{
    static const std::pair<std::string_view, std::string_view> kMap[] = {
        {"heatLoad", "load"}, {"deltaT", "dt"}, {"temperature", "temp"}, {"fittings", "fitting"},
        {"fluid", "steam"},   {"volumeFlow", "flow"}, {"massFlow", "flow"}};
    for (const auto& [from, to] : kMap)
        if (requestField == from)
            return to;
    return requestField;
}

int SegmentFieldIndex(std::string_view name)
{
    for (std::size_t i = 0; i < std::size(kNames); ++i)
        if (SameText(name, kNames[i]))
            return static_cast<int>(i);
    return SameText(name, "fittings") ? 8 : -1;
}

std::string& SegmentFieldAt(CTQSegmentFields& f, int index)
{
    std::string* const fields[] = {&f.id,     &f.material, &f.category, &f.flow, &f.load,      &f.dt,
                                   &f.length, &f.zeta,     &f.fittings, &f.temp, &f.by,        &f.roughness,
                                   &f.steam,  &f.dn};
    return *fields[index >= 0 && index < static_cast<int>(std::size(fields)) ? index : 0];
}

std::string* SegmentField(CTQSegmentFields& f, std::string_view name)
{
    const int index = SegmentFieldIndex(name);
    return index < 0 ? nullptr : &SegmentFieldAt(f, index);
}

CTQDesignOutcome<CTQSegmentRequest> ParseSegmentFields(const CTQSegmentFields& f)
{
    CTQDesignOutcome<CTQSegmentRequest> o;
    CTQSegmentRequest& r = o.value;
    CTQDesignError& e = o.error;
    int flowQuantity = kQuantityVolumeFlow;
    double flow = kNotGiven;
    if (!Texts(f, r, e) ||
        !Quantity("flow", f.flow, {kQuantityVolumeFlow, kQuantityMassFlow}, true, flow, e, &flowQuantity) ||
        !Quantity("load", f.load, {kQuantityPower}, true, r.heatLoad, e) ||
        !Quantity("dt", f.dt, {kQuantityTemperatureDifference}, false, r.deltaT, e) ||
        !Quantity("length", f.length, {kQuantityLength}, false, r.length, e) ||
        !Quantity("temp", f.temp, {kQuantityTemperature}, false, r.temperature, e) ||
        !Quantity("roughness", f.roughness, {kQuantityLength}, false, r.roughness, e) ||
        !Plain("zeta", f.zeta, r.zeta, e))
        return o;
    (flowQuantity == kQuantityMassFlow ? r.massFlow : r.volumeFlow) = flow;
    return o;
}

}  // namespace RVN
