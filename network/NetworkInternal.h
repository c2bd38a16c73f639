// The parts of the network layer shared by its source files; not installed.
#pragma once

#include "network/Network.h"

#include <span>
#include <string>
#include <string_view>

namespace RVN::detail {

// Collects the errors of a reading or a check, up to kMaxNetworkErrors.
class NetworkErrors {
public:
    explicit NetworkErrors(std::vector<CTQNetworkError>& out) : m_out(out) {}
    void Add(long line, std::string id, std::string field, std::string message) {
        if (m_out.size() < kMaxNetworkErrors)
            m_out.push_back({line, std::move(id), std::move(field), std::move(message)});
        else
            m_full = true;
    }
    bool Full() const { return m_full || m_out.size() >= kMaxNetworkErrors; }
    bool Any() const { return !m_out.empty(); }

private:
    std::vector<CTQNetworkError>& m_out;
    bool m_full = false;
};

// A setting of the network from its key and text ("supply", "75 degC").
// False with `message` set when the key is unknown or the text is not a
// value of the key.
bool SetNetworkSetting(CTQNetworkSettings& s, std::string_view key, std::string_view text,
                       std::string& message, std::string* pipes = nullptr);
// The piping model a file states ("paired", "single" or "" when it states
// none) against its kind: heating is paired segments, water supply single
// pipes; "" when they agree, else the reason.
std::string PipesMismatch(const CTQNetworkSettings& s, const std::string& pipes);

// The value of a column of a segment row (segment or terminal part).  Result
// columns of a written file are accepted and ignored; `terminalField` is set
// when the column belongs to the terminal.  False with `message` set when
// the column is unknown or its text is not a value of it.
enum class ColumnKind { Segment, Terminal, Result, Unknown };
ColumnKind KindOfColumn(std::string_view column);
bool SetSegmentColumn(CTQNetworkSegment& seg, std::string_view column, std::string_view text,
                      std::string& message);
bool SetTerminalColumn(CTQNetworkTerminal& t, std::string_view column, std::string_view text,
                       std::string& message);

// The names of the result columns of a written CSV file, in their order.
std::span<const char* const> ResultColumns();

// Text of a quantity with its unit for writing ("12.5 m", "1200 W"): the
// value in the base unit, read back exactly.
std::string QuantityText(double value, const char* unit);

} // namespace RVN::detail

namespace RVN::detail {

// The tree of a checked network, by indices: nodes numbered in order of
// first appearance, segments in input order.
struct Topology {
    std::vector<std::string> nodes;
    int source = -1;
    std::vector<int> from, to; // per segment: node indices
    std::vector<int> feeder;   // per node: the segment leading to it, -1 for the source
    std::vector<int> childStart,
        child; // per node: its outgoing segments, child[childStart[n]..childStart[n+1])
    std::vector<int> order;      // segments with every segment after the one feeding it
    std::vector<int> terminalAt; // per node: index into the terminals, -1 when none
    std::vector<const CTQPipeMatl*> material; // per segment
};

// Checks the network as given and builds its tree; false with the errors
// added when it does not hold.
bool CheckNetwork(const CTQCatalogSnapshot& catalog, const CTQNetwork& net, Topology& topo,
                  NetworkErrors& errors);

// From the sized segments: the loss of every circuit, the index circuit, the
// pump, the surplus and valve of each terminal, the tees.
void WorkOutCircuits(const CTQNetwork& net, const Topology& topo, CTQNetworkResult& result);

// Re-sizes the segments of the circuits nearer the source down within their
// limits and the surplus of the circuits they feed; then works the circuits
// out again.
void BalanceBySize(const CTQCatalogSnapshot& catalog, const CTQNetwork& net, const Topology& topo,
                   CTQNetworkResult& result);

// The design request of a segment of the network at its mass flow.
CTQSegmentRequest SegmentRequest(const CTQNetwork& net, const Topology& topo, int segment,
                                 double massFlow, double temperature);

} // namespace RVN::detail
