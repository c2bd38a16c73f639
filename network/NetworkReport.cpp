// The report of a sized network for a person: the system, the pump, every
// segment and terminal, the index circuit, the tees, the changes made by
// balancing by size, and the warnings.
#include "db/NumberText.h"
#include "network/NetworkInternal.h"

#include <cmath>

namespace RVN {

namespace {

std::string Num(double v) {
    return std::isfinite(v) ? FormatSignificant(v, 4) : std::string("-");
}

// Columns the width of their heading: display width counts a CJK
// character as two columns, any other character as one.
std::size_t Width(std::string_view text) {
    std::size_t w = 0;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const std::size_t len = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        w += len >= 3 ? 2 : 1;
        i += len;
    }
    return w;
}

class Table {
public:
    explicit Table(std::vector<std::string> heads) : m_rows{std::move(heads)} {}
    void Row(std::vector<std::string> cells) { m_rows.push_back(std::move(cells)); }
    void Write(std::string& out) const {
        std::vector<std::size_t> widths(m_rows[0].size(), 0);
        for (const auto& r : m_rows)
            for (std::size_t c = 0; c < r.size() && c < widths.size(); ++c)
                widths[c] = std::max(widths[c], Width(r[c]));
        for (const auto& r : m_rows) {
            std::string line = " ";
            for (std::size_t c = 0; c < r.size(); ++c) {
                // The first column (a name) to the left, numbers to the right.
                const std::string pad(widths[c] - Width(r[c]), ' ');
                line += ' ';
                line += c == 0 ? r[c] + pad : pad + r[c];
            }
            while (!line.empty() && line.back() == ' ')
                line.pop_back();
            out.append(line).append("\n");
        }
    }

private:
    std::vector<std::vector<std::string>> m_rows;
};

void Head(std::string& out, const CTQNetworkResult& r) {
    const CTQNetworkSettings& s = r.settings;
    if (s.kind == TQNetworkKind::Heating)
        out += "Heating network, supply " + Num(s.supplyTemperature) + " degC, dt " +
               Num(s.deltaT) + " K, water at " + Num(r.waterTemperature) +
               " degC; each segment is supply and return (length x 2)\n";
    else
        out +=
            "Water-supply network, water at " + Num(r.waterTemperature) + " degC, single pipes\n";
    const char* by = s.by == TQNetworkSizing::Rm         ? "by the Rm range of each size"
                     : s.by == TQNetworkSizing::Velocity ? "by the velocity range of each size"
                                                         : "by target Rm ";
    out += std::string("Sized ") + by +
           (s.by == TQNetworkSizing::TargetRm ? Num(s.targetRm) + " Pa/m" : "") +
           (s.balanceBySize ? ", then balanced by size" : "") + "\n";
    out += "Pump: flow " + Num(r.pumpFlow * 3600) + " m3/h (" + Num(r.pumpMassFlow) +
           " kg/s), head " + Num(r.pumpHead / 1000) + " kPa (" + Num(r.pumpHead / 9806.65) +
           " m H2O) = index circuit " + Num((r.indexLoss - s.plantLoss) / 1000) + " kPa";
    if (s.plantLoss > 0)
        out += " + plant " + Num(s.plantLoss / 1000) + " kPa";
    out += " + " + Num(s.margin) + " % margin\n";
}

void Segments(std::string& out, const CTQNetworkResult& r) {
    out += "\nSegments\n";
    Table t({"id", "load W", "flow m3/h", "DN", "v m/s", "Rm Pa/m", "length m", "friction Pa",
             "zeta", "local Pa", "total Pa", ""});
    for (const CTQNetworkSegmentResult& s : r.segments) {
        if (!s.sized) {
            t.Row({s.id, Num(s.heatLoad), Num(s.volumeFlow * 3600), "-", "-", "-",
                   Num(s.pipeLength), "-", "-", "-", "-", "NOT SIZED"});
            continue;
        }
        std::string mark = s.onIndexCircuit ? "index" : "";
        if (!s.size.fits && (s.size.fixedSize || s.size.criterion > s.size.rangeMax))
            mark += mark.empty() ? "!" : " !";
        t.Row({s.id, Num(s.heatLoad), Num(s.volumeFlow * 3600),
               s.size.sizeMark + FormatInteger(s.size.dn), Num(s.size.velocity), Num(s.size.rm),
               Num(s.pipeLength), Num(s.size.frictionLoss), Num(s.size.zeta), Num(s.size.localLoss),
               Num(s.size.totalLoss), mark});
    }
    t.Write(out);
}

void Terminals(std::string& out, const CTQNetworkResult& r) {
    out += "\nTerminals (surplus: what the circuit's balancing valve must take)\n";
    Table t({"node", "load W", "flow m3/h", "unit Pa", "path Pa", "surplus Pa", "valve Kv", ""});
    for (const CTQNetworkTerminalResult& x : r.terminals)
        t.Row({x.node, Num(x.heatLoad), Num(x.volumeFlow * 3600), Num(x.unitLoss), Num(x.pathLoss),
               Num(x.surplus), std::isnan(x.valveKv) ? "-" : Num(x.valveKv),
               x.index      ? "index"
               : x.complete ? ""
                            : "incomplete"});
    t.Write(out);
}

void IndexCircuit(std::string& out, const CTQNetworkResult& r) {
    if (r.indexTerminal < 0)
        return;
    const CTQNetworkTerminalResult& end = r.terminals[r.indexTerminal];
    out += "\nIndex circuit: source " + r.settings.source + " to " + end.node + "\n";
    Table t({"segment", "DN", "total Pa", "from source Pa"});
    double sum = 0;
    for (int s : r.indexPath) {
        const CTQNetworkSegmentResult& seg = r.segments[s];
        sum += seg.size.totalLoss;
        t.Row({seg.id, seg.size.sizeMark + FormatInteger(seg.size.dn), Num(seg.size.totalLoss),
               Num(sum)});
    }
    if (end.staticLift != 0)
        t.Row({"static lift", "", Num(end.staticLift), Num(sum += end.staticLift)});
    t.Row({"terminal unit", "", Num(end.unitLoss), Num(sum += end.unitLoss)});
    if (r.settings.plantLoss > 0)
        t.Row({"plant", "", Num(r.settings.plantLoss), Num(sum += r.settings.plantLoss)});
    t.Write(out);
}

void Tees(std::string& out, const CTQNetworkResult& r) {
    if (r.tees.empty())
        return;
    out +=
        "\nTees (imbalance of parallel circuits, limit " + Num(r.settings.imbalanceLimit) + " %)\n";
    for (const CTQNetworkTee& tee : r.tees) {
        out += "  " + tee.node + ": " + Num(tee.imbalance) + " %" +
               (tee.overLimit ? "  OVER LIMIT" : "") + "\n";
        Table t({"branch", "loss Pa", "flow m3/h", "surplus Pa", "valve Kv"});
        for (const CTQNetworkBranch& b : tee.branches)
            t.Row({b.segment, Num(b.loss), Num(b.volumeFlow * 3600), Num(b.surplus),
                   std::isnan(b.valveKv) ? "-" : Num(b.valveKv)});
        std::string rows;
        t.Write(rows);
        for (std::size_t at = 0; at < rows.size();) {
            const std::size_t end = rows.find('\n', at);
            out.append("  ").append(rows, at, end - at + 1);
            at = end + 1;
        }
    }
}

void Notes(std::string& out, const CTQNetworkResult& r) {
    if (r.settings.balanceBySize) {
        out += "\nBalancing by size: ";
        out += r.balanceChanges.empty()
                   ? "no segment could be made smaller within its limits\n"
                   : FormatInteger(long(r.balanceChanges.size())) + " segments re-sized\n";
        for (const CTQBalanceChange& c : r.balanceChanges)
            out += "  " + c.segment + ": DN" + FormatInteger(c.dnBefore) + " -> DN" +
                   FormatInteger(c.dnAfter) + ", " + Num(c.lossBefore) + " -> " + Num(c.lossAfter) +
                   " Pa\n";
    }
    std::vector<std::string> lines = r.warnings;
    for (const CTQNetworkSegmentResult& s : r.segments)
        for (const std::string& w : s.warnings)
            lines.push_back("segment " + s.id + ": " + w);
    for (const CTQNetworkTee& tee : r.tees)
        if (tee.overLimit)
            lines.push_back("tee " + tee.node + ": imbalance " + Num(tee.imbalance) +
                            " % over the limit " + Num(r.settings.imbalanceLimit) + " %");
    if (lines.empty())
        return;
    out += "\nWarnings\n";
    for (const std::string& w : lines)
        out += "  " + w + "\n";
}

} // namespace

std::string NetworkReportText(const CTQNetworkResult& result) {
    std::string out;
    Head(out, result);
    Segments(out, result);
    Terminals(out, result);
    IndexCircuit(out, result);
    Tees(out, result);
    Notes(out, result);
    return out;
}

} // namespace RVN
