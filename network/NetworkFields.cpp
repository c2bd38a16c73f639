// The settings and columns of a network file, read from their text: one
// reading for the CSV and the JSON forms.
#include "db/NumberText.h"
#include "db/TextEncoding.h"
#include "design/Quantity.h"
#include "design/SegmentFields.h"
#include "network/NetworkInternal.h"

#include <cmath>
#include <cstring>

namespace RVN {

namespace {

bool Same(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const char x = a[i] >= 'A' && a[i] <= 'Z' ? char(a[i] - 'A' + 'a') : a[i];
        if (x != b[i])
            return false;
    }
    return true;
}

std::string Folded(std::string_view text) {
    return std::string(TrimBlanks(FoldFullWidth(text)));
}

// A quantity in the base unit of the first accepted quantity when no unit is
// written.
bool Quantity(std::string_view field, std::string_view text, std::initializer_list<int> q,
              double& out, std::string& message) {
    const auto o = ParseQuantity(field, text, q, false);
    if (!o.Ok()) {
        message = o.error.message;
        return false;
    }
    out = o.value.value;
    return true;
}

bool Plain(std::string_view text, double& out, std::string& message) {
    const std::string t = Folded(text);
    if (!ParseNumber(t, out)) {
        message = "'" + t + "' is not a number (with '.' as decimal point)";
        return false;
    }
    return true;
}

bool YesNo(std::string_view text, bool& out, std::string& message) {
    const std::string t = Folded(text);
    for (const char* yes : {"yes", "y", "true", "1"})
        if (Same(t, yes))
            return out = true, true;
    for (const char* no : {"", "no", "n", "false", "0"})
        if (Same(t, no))
            return out = false, true;
    message = "'" + t + "' is not yes or no";
    return false;
}

constexpr const char* kSegmentColumns[] = {
    "id", "from", "to", "length", "material", "fitting", "zeta", "dn", "roughness", "rise", "side"};
constexpr const char* kTerminalColumns[] = {"load", "flow", "unit", "unitdp"};
constexpr const char* kResultColumns[] = {
    "result_flow_m3h", "result_load_w",      "result_dn",         "result_velocity_ms",
    "result_rm_pam",   "result_friction_pa", "result_local_pa",   "result_total_pa",
    "result_index",    "result_path_pa",     "result_surplus_pa", "result_kv",
    "result_note"};

bool In(std::string_view column, std::span<const char* const> names) {
    for (const char* n : names)
        if (Same(column, n))
            return true;
    return false;
}

} // namespace

namespace detail {

std::span<const char* const> ResultColumns() {
    return kResultColumns;
}

std::string QuantityText(double value, const char* unit) {
    std::string out = FormatNumber(value);
    if (unit != nullptr && *unit != '\0')
        out.append(" ").append(unit);
    return out;
}

ColumnKind KindOfColumn(std::string_view column) {
    if (In(column, kSegmentColumns) || Same(column, "fittings"))
        return ColumnKind::Segment;
    if (In(column, kTerminalColumns))
        return ColumnKind::Terminal;
    if (In(column, kResultColumns))
        return ColumnKind::Result;
    return ColumnKind::Unknown;
}

std::string PipesMismatch(const CTQNetworkSettings& s, const std::string& pipes) {
    const bool heating = s.kind == TQNetworkKind::Heating;
    if (pipes.empty() || Same(pipes, heating ? "paired" : "single"))
        return {};
    return heating
               ? "heating is modelled as paired segments (supply and return in one, length counted "
                 "twice): state pipes,paired"
               : "a water-supply network has single pipes: state pipes,single";
}

bool SetNetworkSetting(CTQNetworkSettings& s, std::string_view key, std::string_view text,
                       std::string& message, std::string* pipes) {
    const std::string t = Folded(text);
    if (Same(key, "kind")) {
        if (Same(t, "heating"))
            s.kind = TQNetworkKind::Heating;
        else if (Same(t, "water"))
            s.kind = TQNetworkKind::WaterSupply;
        else
            return message = "'" + t + "' is not heating or water", false;
        return true;
    }
    if (Same(key, "source")) {
        s.source = t;
        return true;
    }
    if (Same(key, "pipes")) {
        // Stated in the file so that a reader sees how lengths count.
        if (Same(t, "paired") || Same(t, "single") || t.empty()) {
            if (pipes != nullptr)
                *pipes = t;
            return true;
        }
        return message =
                   "'" + t +
                   "' is not a piping model: heating takes paired segments (supply and return "
                   "in one segment, its length counted twice), water supply single pipes",
               false;
    }
    if (Same(key, "supply") || Same(key, "temp"))
        return Quantity(key, t, {kQuantityTemperature}, s.supplyTemperature, message);
    if (Same(key, "dt"))
        return Quantity(key, t, {kQuantityTemperatureDifference}, s.deltaT, message);
    if (Same(key, "material")) {
        s.material = t;
        return true;
    }
    if (Same(key, "by")) {
        if (Same(t, "rm"))
            s.by = TQNetworkSizing::Rm;
        else if (Same(t, "velocity"))
            s.by = TQNetworkSizing::Velocity;
        else if (Same(t, "target"))
            s.by = TQNetworkSizing::TargetRm;
        else
            return message = "'" + t + "' is not rm, velocity or target", false;
        return true;
    }
    if (Same(key, "target"))
        return Plain(t, s.targetRm, message);
    if (Same(key, "plant"))
        return Quantity(key, t, {kQuantityPressure}, s.plantLoss, message);
    if (Same(key, "margin"))
        return Plain(t, s.margin, message);
    if (Same(key, "limit"))
        return Plain(t, s.imbalanceLimit, message);
    if (Same(key, "balance"))
        return YesNo(t, s.balanceBySize, message);
    message = "unknown setting (kind, source, pipes, supply, dt, temp, material, by, target, "
              "plant, margin, "
              "limit, balance)";
    return false;
}

bool SetSegmentColumn(CTQNetworkSegment& seg, std::string_view column, std::string_view text,
                      std::string& message) {
    const std::string t = Folded(text);
    if (Same(column, "id"))
        return seg.id = t, true;
    if (Same(column, "from"))
        return seg.from = t, true;
    if (Same(column, "to"))
        return seg.to = t, true;
    if (Same(column, "material"))
        return seg.material = t, true;
    if (Same(column, "side")) {
        if (t.empty() || Same(t, "supply") || Same(t, "paired") || Same(t, "both"))
            return true;
        message = "'" + t +
                  "': separate supply and return segments are not modelled; give each route once, "
                  "its supply and return counted together (pipes=paired)";
        return false;
    }
    if (t.empty())
        return true;
    if (Same(column, "length"))
        return Quantity("length", t, {kQuantityLength}, seg.length, message);
    if (Same(column, "rise"))
        return Quantity("rise", t, {kQuantityLength}, seg.rise, message);
    if (Same(column, "roughness"))
        return Quantity("roughness", t, {kQuantityLength}, seg.roughness, message);
    if (Same(column, "zeta"))
        return Plain(t, seg.zeta, message);
    if (Same(column, "dn")) {
        if (!ParseInteger(t, seg.dn) || seg.dn <= 0)
            return message = "'" + t + "' is not a size (a whole number above 0)", false;
        return true;
    }
    if (Same(column, "fitting") || Same(column, "fittings")) {
        CTQSegmentFields f;
        f.fittings = std::string(text);
        const auto o = ParseSegmentFields(f);
        if (!o.Ok())
            return message = o.error.message, false;
        seg.fittings = o.value.fittings;
        return true;
    }
    message = "unknown column";
    return false;
}

bool SetTerminalColumn(CTQNetworkTerminal& term, std::string_view column, std::string_view text,
                       std::string& message) {
    const std::string t = Folded(text);
    if (t.empty())
        return true;
    if (Same(column, "load"))
        return Quantity("load", t, {kQuantityPower}, term.heatLoad, message);
    if (Same(column, "flow"))
        return Quantity("flow", t, {kQuantityVolumeFlow}, term.volumeFlow, message);
    if (Same(column, "unitdp"))
        return Quantity("unitdp", t, {kQuantityPressure}, term.unitLoss, message);
    if (Same(column, "unit")) {
        if (Same(t, "radiator"))
            term.unit = TQTerminalUnit::Radiator;
        else if (Same(t, "fancoil"))
            term.unit = TQTerminalUnit::FanCoil;
        else if (Same(t, "fixed"))
            term.unit = TQTerminalUnit::Fixed;
        else
            return message = "'" + t + "' is not radiator, fancoil or fixed", false;
        return true;
    }
    message = "unknown column";
    return false;
}

} // namespace detail

bool SetNetworkSetting(CTQNetworkSettings& settings, std::string_view key, std::string_view text,
                       std::string& message) {
    try {
        return detail::SetNetworkSetting(settings, key, text, message);
    } catch (const std::exception& e) {
        message = e.what();
        return false;
    }
}

std::string CTQNetworkError::Text() const {
    std::string out;
    if (line > 0)
        out.append("line ").append(FormatInteger(line)).append(": ");
    if (!id.empty())
        out.append(id).append(": ");
    if (!field.empty())
        out.append(field).append(": ");
    return out.append(message);
}

const char* NetworkKindKey(TQNetworkKind kind) {
    return kind == TQNetworkKind::Heating ? "heating" : "water";
}

const char* NetworkSizingKey(TQNetworkSizing by) {
    switch (by) {
    case TQNetworkSizing::Velocity:
        return "velocity";
    case TQNetworkSizing::TargetRm:
        return "target";
    default:
        return "rm";
    }
}

const char* TerminalUnitKey(TQTerminalUnit unit) {
    switch (unit) {
    case TQTerminalUnit::FanCoil:
        return "fancoil";
    case TQTerminalUnit::Fixed:
        return "fixed";
    default:
        return "radiator";
    }
}

double ValveKv(double volumeFlow, double pressureDrop) {
    if (!(volumeFlow > 0) || !(pressureDrop > 0))
        return kNotGiven;
    // m3/s to m3/h, Pa to bar (1 bar = 1e5 Pa).
    return volumeFlow * 3600.0 / std::sqrt(pressureDrop * 1e-5);
}

} // namespace RVN
