// Reading a quantity from the text an engineer types.
#include "design/Quantity.h"

#include "db/NumberText.h"
#include "db/TextEncoding.h"

namespace RVN {

namespace {

// "volume flow: m3/s, m3/h, ...; mass flow: kg/s, ..." for messages.
std::string AcceptedUnits(std::initializer_list<int> accepted)
{
    std::string out;
    for (int q : accepted) {
        if (QuantityName(q) == nullptr)
            continue;
        if (!out.empty())
            out += "; ";
        out += std::string(QuantityName(q)) + ": " + UnitSymbolList(q);
    }
    return out;
}

CTQDesignOutcome<CTQQuantityValue> Refuse(std::string_view field, std::string message)
{
    CTQDesignOutcome<CTQQuantityValue> r;
    r.error.kind = TQDesignErrorKind::Input;
    r.error.field = std::string(field);
    r.error.message = std::move(message);
    return r;
}

}  // namespace

CTQDesignOutcome<CTQQuantityValue> ParseQuantity(std::string_view field, std::string_view text,
                                                 std::initializer_list<int> accepted, bool unitRequired)
{
    // Text beyond ASCII may hold full-width forms; ASCII text is read as it is.
    std::string folded;
    std::string_view t = text;
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) {
            folded = FoldFullWidth(text);
            t = folded;
            break;
        }
    t = TrimBlanks(t);
    const auto quoted = [&] { return "'" + std::string(t) + "'"; };
    if (t.empty())
        return Refuse(field, "no value was given (" + AcceptedUnits(accepted) + ")");
    double number = 0.0;
    const std::size_t used = ParseNumberPrefix(t, number);
    if (used == 0)
        return Refuse(field, quoted() + " is not a number with an optional unit (" + AcceptedUnits(accepted) + ")");
    const std::string_view unit = TrimBlanks(t.substr(used));
    if (!unit.empty() && (unit.front() == ',' || unit.front() == '.' || (unit.front() >= '0' && unit.front() <= '9')))
        return Refuse(field, quoted() + " is not a number: write the decimal point as '.' (e.g. 1.5), without digit grouping");
    CTQDesignOutcome<CTQQuantityValue> r;
    if (unit.empty()) {
        if (unitRequired || accepted.size() == 0)
            return Refuse(field, quoted() + " needs a unit (" + AcceptedUnits(accepted) + ")");
        r.value.value = number;
        r.value.quantity = *accepted.begin();
        return r;
    }
    const CTQUnitSymbol* u = FindUnitSymbol(unit);
    bool fits = false;
    for (int q : accepted)
        fits = fits || (u != nullptr && u->quantity == q);
    if (!fits) {
        std::string names;
        for (int q : accepted)
            if (QuantityName(q) != nullptr)
                names += (names.empty() ? "" : " or ") + std::string(QuantityName(q));
        return Refuse(field, quoted() + ": '" + std::string(unit) + "' is not a unit of " + names + " (" +
                                 AcceptedUnits(accepted) + ")");
    }
    r.value.value = ToBaseUnit(*u, number);
    r.value.quantity = u->quantity;
    r.value.unit = std::string(unit);
    return r;
}

}  // namespace RVN
