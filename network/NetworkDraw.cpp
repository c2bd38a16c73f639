// The schematic of a sized network: the tree in Graphviz's DOT language,
// laid out top-down by Graphviz's dot and drawn as SVG (or PNG).
#include "db/NumberText.h"
#include "network/NetworkInternal.h"

#include <graphviz/cgraph.h>
#include <graphviz/gvc.h>

#include <cmath>
#include <cstring>
#include <mutex>
#include <unordered_map>

namespace RVN {

namespace {

std::string Num(double v) {
    return FormatSignificant(v, 3);
}

void Quoted(std::string& out, std::string_view text) {
    out += '"';
    for (char c : text) {
        if (c == '\n') {
            out += "\\n"; // a line break of a label
            continue;
        }
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    out += '"';
}

// Fill of a terminal by its surplus as a share of the index circuit's loss:
// green where the circuit is near the index (little to throttle), through
// yellow to red where a valve must take half the head or more.
const char* SurplusColour(double surplus, double indexLoss) {
    if (!std::isfinite(surplus))
        return "#bbbbbb";
    const double share = indexLoss > 0 ? surplus / indexLoss : 0.0;
    if (share < 0.05)
        return "#a6d96a";
    if (share < 0.15)
        return "#d9ef8b";
    if (share < 0.30)
        return "#fee08b";
    if (share < 0.50)
        return "#fdae61";
    return "#f46d43";
}

void Nodes(std::string& out, const CTQNetworkResult& r) {
    std::unordered_map<std::string, int> terminalAt;
    for (int i = 0; i < int(r.terminals.size()); ++i)
        terminalAt.emplace(r.terminals[i].node, i);
    std::unordered_map<std::string, bool> seen;
    auto node = [&](const std::string& name) {
        if (!seen.emplace(name, true).second)
            return;
        out += "  ";
        Quoted(out, name);
        const auto t = terminalAt.find(name);
        if (name == r.settings.source) {
            out += " [shape=box, style=\"filled,bold\", fillcolor=\"#9ecae1\", label=";
            Quoted(out, name + "\n" + Num(r.pumpFlow * 3600) + " m3/h, " + Num(r.pumpHead / 1000) +
                            " kPa");
        } else if (t != terminalAt.end()) {
            const CTQNetworkTerminalResult& x = r.terminals[t->second];
            out += " [shape=box, style=\"rounded,filled\", fillcolor=\"";
            out += SurplusColour(x.surplus, r.indexLoss);
            out += x.index ? "\", color=\"#d7191c\", penwidth=2.5, label=" : "\", label=";
            std::string label = name + "\n";
            label += std::isfinite(x.heatLoad) ? Num(x.heatLoad) + " W"
                                               : Num(x.volumeFlow * 3600) + " m3/h";
            label += x.index ? "\nindex"
                     : std::isfinite(x.valveKv)
                         ? "\n+" + Num(x.surplus / 1000) + " kPa, Kv " + Num(x.valveKv)
                         : "";
            Quoted(out, label);
        } else {
            out += " [shape=circle, width=0.25, fixedsize=false, fontsize=8, label=";
            Quoted(out, name);
        }
        out += "];\n";
    };
    node(r.settings.source);
    for (const CTQNetworkSegmentResult& s : r.segments) {
        node(s.from);
        node(s.to);
    }
}

} // namespace

std::string NetworkDot(const CTQNetworkResult& r) {
    std::string out;
    out.reserve(160 * (r.segments.size() + 4));
    out += "digraph network {\n  rankdir=TB; nodesep=0.25; ranksep=0.35; fontname=\"Noto Sans CJK "
           "SC,sans-serif\";\n";
    out += "  node [fontname=\"Noto Sans CJK SC,sans-serif\", fontsize=10];\n";
    out += "  edge [fontname=\"Noto Sans CJK SC,sans-serif\", fontsize=9, arrowsize=0.6];\n";
    out += "  labelloc=t; label=";
    Quoted(out, std::string(r.settings.kind == TQNetworkKind::Heating ? "Heating network"
                                                                      : "Water-supply network") +
                    ": pump " + Num(r.pumpFlow * 3600) + " m3/h, " + Num(r.pumpHead / 1000) +
                    " kPa; index circuit in red; terminals by surplus: green little, red much");
    out += ";\n";
    Nodes(out, r);
    for (const CTQNetworkSegmentResult& s : r.segments) {
        out += "  ";
        Quoted(out, s.from);
        out += " -> ";
        Quoted(out, s.to);
        out += " [label=";
        std::string label =
            s.id + "\n" +
            (s.sized ? s.size.sizeMark + FormatInteger(s.size.dn) : std::string("not sized")) +
            "  " + Num(s.volumeFlow * 3600) + " m3/h";
        Quoted(out, label);
        if (s.onIndexCircuit)
            out += ", color=\"#d7191c\", fontcolor=\"#d7191c\", penwidth=2.5";
        else if (!s.sized)
            out += ", style=dashed, color=\"#888888\"";
        out += "];\n";
    }
    out += "}\n";
    return out;
}

namespace {

// Graphviz keeps global state: one drawing at a time.
std::mutex g_graphviz;
std::string* g_graphvizErrors = nullptr;

int CollectError(char* message) {
    if (g_graphvizErrors != nullptr && g_graphvizErrors->size() < 4096)
        g_graphvizErrors->append(message);
    return 0;
}

bool Render(const std::string& dot, const char* format, std::string& image, std::string& error) {
    std::lock_guard<std::mutex> lock(g_graphviz);
    std::string messages;
    g_graphvizErrors = &messages;
    const agusererrf before = agseterrf(CollectError);
    GVC_t* gvc = gvContext();
    Agraph_t* g = gvc == nullptr ? nullptr : agmemread(dot.c_str());
    bool ok = false;
    if (g != nullptr && gvLayout(gvc, g, "dot") == 0) {
        char* data = nullptr;
        unsigned int length = 0;
        if (gvRenderData(gvc, g, format, &data, &length) == 0 && data != nullptr) {
            image.assign(data, length);
            ok = true;
        }
        gvFreeRenderData(data);
        gvFreeLayout(gvc, g);
    }
    if (g != nullptr)
        agclose(g);
    if (gvc != nullptr)
        gvFreeContext(gvc);
    agseterrf(before);
    g_graphvizErrors = nullptr;
    if (!ok)
        error = "Graphviz could not draw the network as " + std::string(format) +
                (messages.empty() ? std::string() : ": " + std::string(TrimBlanks(messages)));
    return ok;
}

} // namespace

bool RenderNetworkSvg(const CTQNetworkResult& result, std::string& svg, std::string& error) {
    try {
        return Render(NetworkDot(result), "svg", svg, error);
    } catch (const std::exception& e) {
        error = e.what();
        return false;
    }
}

bool RenderNetworkPng(const CTQNetworkResult& result, std::string& png, std::string& error) {
    try {
        return Render(NetworkDot(result), "png", png, error);
    } catch (const std::exception& e) {
        error = e.what();
        return false;
    }
}

} // namespace RVN
