// A network written back in the forms it is read from, CSV and JSON, with
// the results beside the input when there are results.
#include "db/NumberText.h"
#include "db/TextEncoding.h"
#include "network/NetworkInternal.h"

#include <cmath>
#include <unordered_map>

namespace RVN {

namespace {

// ---- CSV ---------------------------------------------------------------------

void CsvField(std::string& out, std::string_view text) {
    const bool quote =
        text.find_first_of(",\"\r\n") != std::string_view::npos ||
        (!text.empty() && (text.front() == ' ' || text.back() == ' ' || text.front() == '#'));
    if (!quote) {
        out.append(text);
        return;
    }
    out += '"';
    for (char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

void CsvNumber(std::string& out, double v) {
    if (std::isfinite(v))
        AppendNumber(out, v);
}

std::string FittingText(const std::vector<CTQFittingCount>& fittings) {
    std::string t;
    for (const CTQFittingCount& f : fittings) {
        if (!t.empty())
            t += ';';
        t.append(f.name).append("=").append(FormatInteger(f.count));
    }
    return t;
}

void CsvSettings(std::string& out, const CTQNetworkSettings& s) {
    auto row = [&](const char* key, const std::string& value) {
        out.append(key).append(",");
        CsvField(out, value);
        out.append("\n");
    };
    const bool heating = s.kind == TQNetworkKind::Heating;
    row("kind", NetworkKindKey(s.kind));
    row("source", s.source);
    row("pipes", heating ? "paired" : "single");
    if (!std::isnan(s.supplyTemperature))
        row(heating ? "supply" : "temp", detail::QuantityText(s.supplyTemperature, "degC"));
    if (!std::isnan(s.deltaT))
        row("dt", detail::QuantityText(s.deltaT, "K"));
    if (!s.material.empty())
        row("material", s.material);
    row("by", NetworkSizingKey(s.by));
    row("target", FormatNumber(s.targetRm));
    row("plant", detail::QuantityText(s.plantLoss, "Pa"));
    row("margin", FormatNumber(s.margin));
    row("limit", FormatNumber(s.imbalanceLimit));
    row("balance", s.balanceBySize ? "yes" : "no");
}

void CsvSegmentResult(std::string& out, const CTQNetworkSegmentResult& r) {
    out += ',';
    CsvNumber(out, r.volumeFlow * 3600.0);
    out += ',';
    CsvNumber(out, r.heatLoad);
    if (!r.sized) {
        out.append(",,,,,,,");
    } else {
        out.append(",").append(FormatInteger(r.size.dn)).append(",");
        for (double v : {r.size.velocity, r.size.rm, r.size.frictionLoss, r.size.localLoss,
                         r.size.totalLoss}) {
            CsvNumber(out, v);
            out += ',';
        }
        out.append(r.onIndexCircuit ? "yes" : "");
    }
}

void CsvTerminalResult(std::string& out, const CTQNetworkTerminalResult* t,
                       const CTQNetworkSegmentResult& r) {
    out += ',';
    if (t != nullptr) {
        CsvNumber(out, t->pathLoss);
        out += ',';
        CsvNumber(out, t->surplus);
        out += ',';
        CsvNumber(out, t->valveKv);
    } else {
        out += ',';
        out += ',';
    }
    out += ',';
    std::string note = r.sized ? std::string() : r.error;
    for (const std::string& w : r.warnings)
        note += (note.empty() ? "" : "; ") + w;
    CsvField(out, note);
}

// ---- JSON --------------------------------------------------------------------

// Strings through the library's one JSON string writer (valid UTF-8 always).
void JsonText(std::string& out, std::string_view text) { AppendJsonString(out, text); }

void JsonNumber(std::string& out, double v) {
    if (std::isfinite(v))
        AppendNumber(out, v);
    else
        out += "null";
}

// Writes `"key":` with the comma before it when needed.
class JsonObject {
public:
    explicit JsonObject(std::string& out) : m_out(out) { m_out += '{'; }
    std::string& Key(const char* key) {
        if (!m_first)
            m_out += ',';
        m_first = false;
        JsonText(m_out, key);
        m_out += ':';
        return m_out;
    }
    void Num(const char* key, double v) { JsonNumber(Key(key), v); }
    void Str(const char* key, std::string_view v) { JsonText(Key(key), v); }
    void Bool(const char* key, bool v) { Key(key) += v ? "true" : "false"; }
    void Close() { m_out += '}'; }

private:
    std::string& m_out;
    bool m_first = true;
};

void JsonSettings(JsonObject& o, const CTQNetworkSettings& s) {
    const bool heating = s.kind == TQNetworkKind::Heating;
    o.Str("kind", NetworkKindKey(s.kind));
    o.Str("source", s.source);
    o.Str("pipes", heating ? "paired" : "single");
    if (!std::isnan(s.supplyTemperature))
        o.Num(heating ? "supply" : "temp", s.supplyTemperature);
    if (!std::isnan(s.deltaT))
        o.Num("dt", s.deltaT);
    if (!s.material.empty())
        o.Str("material", s.material);
    o.Str("by", NetworkSizingKey(s.by));
    o.Num("target", s.targetRm);
    o.Num("plant", s.plantLoss);
    o.Num("margin", s.margin);
    o.Num("limit", s.imbalanceLimit);
    o.Bool("balance", s.balanceBySize);
}

void JsonSegment(std::string& out, const CTQNetworkSegment& s) {
    JsonObject o(out);
    o.Str("id", s.id);
    o.Str("from", s.from);
    o.Str("to", s.to);
    o.Num("length", s.length);
    if (!s.material.empty())
        o.Str("material", s.material);
    if (!s.fittings.empty()) {
        JsonObject f(o.Key("fittings"));
        for (const CTQFittingCount& c : s.fittings)
            f.Num(c.name.c_str(), c.count);
        f.Close();
    }
    if (s.zeta != 0)
        o.Num("zeta", s.zeta);
    if (s.dn != 0)
        o.Num("dn", s.dn);
    if (!std::isnan(s.roughness))
        o.Num("roughness", s.roughness);
    if (s.rise != 0)
        o.Num("rise", s.rise);
    o.Close();
}

void JsonTerminal(std::string& out, const CTQNetworkTerminal& t) {
    JsonObject o(out);
    o.Str("node", t.node);
    if (!std::isnan(t.heatLoad))
        o.Num("load", t.heatLoad);
    if (!std::isnan(t.volumeFlow))
        o.Num("flow", t.volumeFlow);
    o.Str("unit", TerminalUnitKey(t.unit));
    if (!std::isnan(t.unitLoss))
        o.Num("unitdp", t.unitLoss);
    o.Close();
}

void JsonStrings(std::string& out, const std::vector<std::string>& items) {
    out += '[';
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0)
            out += ',';
        JsonText(out, items[i]);
    }
    out += ']';
}

void JsonSegmentResult(std::string& out, const CTQNetworkSegmentResult& r) {
    JsonObject o(out);
    o.Str("id", r.id);
    o.Num("massFlow", r.massFlow);
    o.Num("volumeFlow", r.volumeFlow);
    o.Num("heatLoad", r.heatLoad);
    o.Num("pipeLength", r.pipeLength);
    o.Bool("sized", r.sized);
    if (!r.sized) {
        o.Str("error", r.error);
    } else {
        o.Str("material", r.size.material);
        o.Num("dn", r.size.dn);
        o.Num("innerDiameter", r.size.innerDiameter);
        o.Num("velocity", r.size.velocity);
        o.Num("rm", r.size.rm);
        o.Num("frictionLoss", r.size.frictionLoss);
        o.Num("zeta", r.size.zeta);
        o.Num("localLoss", r.size.localLoss);
        o.Num("totalLoss", r.size.totalLoss);
        o.Bool("fits", r.size.fits);
    }
    o.Bool("indexCircuit", r.onIndexCircuit);
    if (r.dnBeforeBalance != 0)
        o.Num("dnBeforeBalance", r.dnBeforeBalance);
    JsonStrings(o.Key("warnings"), r.warnings);
    o.Close();
}

void JsonTerminalResult(std::string& out, const CTQNetworkTerminalResult& t) {
    JsonObject o(out);
    o.Str("node", t.node);
    o.Num("heatLoad", t.heatLoad);
    o.Num("massFlow", t.massFlow);
    o.Num("volumeFlow", t.volumeFlow);
    o.Num("unitLoss", t.unitLoss);
    o.Num("height", t.height);
    o.Num("staticLift", t.staticLift);
    o.Num("pathLoss", t.pathLoss);
    o.Bool("complete", t.complete);
    o.Bool("index", t.index);
    o.Num("surplus", t.surplus);
    o.Num("valveKv", t.valveKv);
    o.Close();
}

void JsonTee(std::string& out, const CTQNetworkTee& tee) {
    JsonObject o(out);
    o.Str("node", tee.node);
    o.Num("imbalance", tee.imbalance);
    o.Bool("overLimit", tee.overLimit);
    std::string& b = o.Key("branches");
    b += '[';
    for (std::size_t i = 0; i < tee.branches.size(); ++i) {
        if (i > 0)
            b += ',';
        JsonObject br(b);
        br.Str("segment", tee.branches[i].segment);
        br.Num("loss", tee.branches[i].loss);
        br.Num("volumeFlow", tee.branches[i].volumeFlow);
        br.Num("surplus", tee.branches[i].surplus);
        br.Num("valveKv", tee.branches[i].valveKv);
        br.Close();
    }
    b += ']';
    o.Close();
}

template <class T, class F> void JsonList(std::string& out, const std::vector<T>& items, F write) {
    out += "[\n";
    for (std::size_t i = 0; i < items.size(); ++i) {
        write(out, items[i]);
        out += i + 1 < items.size() ? ",\n" : "\n";
    }
    out += ']';
}

void JsonResults(std::string& out, const CTQNetworkResult& r) {
    JsonObject o(out);
    o.Num("waterTemperature", r.waterTemperature);
    o.Num("pumpFlow", r.pumpFlow);
    o.Num("pumpMassFlow", r.pumpMassFlow);
    o.Num("indexLoss", r.indexLoss);
    o.Num("pumpHead", r.pumpHead);
    o.Str("indexTerminal", r.indexTerminal >= 0 ? r.terminals[r.indexTerminal].node : "");
    std::vector<std::string> path;
    for (int s : r.indexPath)
        path.push_back(r.segments[s].id);
    JsonStrings(o.Key("indexPath"), path);
    JsonList(o.Key("segments"), r.segments, JsonSegmentResult);
    JsonList(o.Key("terminals"), r.terminals, JsonTerminalResult);
    JsonList(o.Key("tees"), r.tees, JsonTee);
    JsonList(o.Key("balanceChanges"), r.balanceChanges,
             [](std::string& s, const CTQBalanceChange& c) {
                 JsonObject b(s);
                 b.Str("segment", c.segment);
                 b.Num("dnBefore", c.dnBefore);
                 b.Num("dnAfter", c.dnAfter);
                 b.Num("lossBefore", c.lossBefore);
                 b.Num("lossAfter", c.lossAfter);
                 b.Close();
             });
    JsonStrings(o.Key("warnings"), r.warnings);
    o.Close();
}

} // namespace

std::string NetworkCsv(const CTQNetwork& net, const CTQNetworkResult* result) {
    std::string out;
    out.reserve(128 * (net.segments.size() + 8));
    CsvSettings(out, net.settings);
    out += "id,from,to,length,material,fitting,zeta,dn,roughness,rise,load,flow,unit,unitdp";
    const bool withResults = result != nullptr && result->segments.size() == net.segments.size();
    if (withResults)
        for (const char* c : detail::ResultColumns())
            out.append(",").append(c);
    out += '\n';
    std::unordered_map<std::string, int> terminalAt;
    for (int i = 0; i < int(net.terminals.size()); ++i)
        terminalAt.emplace(net.terminals[i].node, i);
    for (std::size_t i = 0; i < net.segments.size(); ++i) {
        const CTQNetworkSegment& s = net.segments[i];
        for (const std::string* text : {&s.id, &s.from, &s.to}) {
            CsvField(out, *text);
            out += ',';
        }
        CsvNumber(out, s.length);
        out += ',';
        CsvField(out, s.material);
        out += ',';
        CsvField(out, FittingText(s.fittings));
        out += ',';
        if (s.zeta != 0)
            CsvNumber(out, s.zeta);
        out.append(",").append(s.dn != 0 ? FormatInteger(s.dn) : "").append(",");
        CsvNumber(out, s.roughness);
        out += ',';
        if (s.rise != 0)
            CsvNumber(out, s.rise);
        const auto t = terminalAt.find(s.to);
        const CTQNetworkTerminal* term =
            t == terminalAt.end() ? nullptr : &net.terminals[t->second];
        if (term != nullptr) {
            out += ',';
            CsvNumber(out, term->heatLoad);
            out += ',';
            CsvNumber(out, term->volumeFlow);
            out.append(",").append(TerminalUnitKey(term->unit)).append(",");
            CsvNumber(out, term->unitLoss);
        } else {
            out += ",,,,";
        }
        if (withResults) {
            CsvSegmentResult(out, result->segments[i]);
            CsvTerminalResult(out, term == nullptr ? nullptr : &result->terminals[t->second],
                              result->segments[i]);
        }
        out += '\n';
    }
    return out;
}

std::string NetworkJson(const CTQNetwork& net, const CTQNetworkResult* result) {
    std::string out;
    out.reserve(256 * (net.segments.size() + 8));
    JsonObject o(out);
    JsonSettings(o, net.settings);
    out += '\n';
    JsonList(o.Key("segments"), net.segments, JsonSegment);
    out += '\n';
    JsonList(o.Key("terminals"), net.terminals, JsonTerminal);
    if (result != nullptr) {
        out += '\n';
        JsonResults(o.Key("results"), *result);
    }
    o.Close();
    out += '\n';
    return out;
}

} // namespace RVN
