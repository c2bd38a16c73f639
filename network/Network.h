// Whole-system sizing of a heating or water-supply network: from the loads of
// its terminals to the size of every pipe, the loss of every circuit, the
// index circuit and the pump head, the pressure each balancing valve must
// take and the imbalance at every tee.
//
// The network is a tree: one source node (a boiler, a heat exchanger, a
// supply main) feeds segments; every other node has exactly one segment
// coming from the source side.  Branches may join only on the source side;
// a segment that closes a loop is an error.
//
// Two-pipe heating is modelled as paired segments: each segment stands for a
// supply pipe and its return pipe alongside, of the same size and route.  Its
// length is the route length and is counted twice (supply and return); its
// fittings and further coefficients are those of both pipes together.  A
// separate return segment (a row marked `side=return`, or a segment leading
// back into the source) is an error, not a silently mis-modelled circuit.  A
// water-supply network has single pipes: its lengths count once.
//
// Units are SI in memory (m, W, Pa, m3/s, kg/s, degC, K).  Nothing here
// throws: every function returns a result or the errors that prevented it.
#pragma once

#include "TQRVNBaseExport.h"
#include "design/CatalogSnapshot.h"
#include "design/DesignTypes.h"

#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace RVN {

// ---- The network as given --------------------------------------------------

enum class TQNetworkKind {
    Heating,     ///< closed two-pipe hot-water heating, paired segments
    WaterSupply, ///< open cold or hot water supply, single pipes, static lift counts
};

/// How the segments are sized.
enum class TQNetworkSizing {
    Rm,       ///< the first size whose specific-friction range MinR..MaxR holds Rm
    Velocity, ///< the first size whose velocity range MinV..MaxV holds the velocity
    TargetRm, ///< the smallest size whose Rm does not exceed the target Rm
};

/// The terminal unit, whose pressure drop at design flow is part of its circuit.
enum class TQTerminalUnit {
    Radiator, ///< a radiator with its thermostatic valve; kRadiatorLoss unless given
    FanCoil,  ///< a fan-coil unit with its control valve; kFanCoilLoss unless given
    Fixed,    ///< any unit whose pressure drop is given (required)
};

/// Design pressure drop of a radiator with its thermostatic valve, Pa: the
/// 10 kPa at which such valves are commonly laid out to keep their
/// authority; give the unit's own value where it is known.
inline constexpr double kRadiatorLoss = 10000.0;
/// Design pressure drop of a fan-coil unit with its two-way valve, Pa: coil
/// about 15 kPa, valve about 15 kPa at design flow.
inline constexpr double kFanCoilLoss = 30000.0;

struct CTQNetworkSettings {
    TQNetworkKind kind = TQNetworkKind::Heating;
    std::string source; ///< id of the source node (required)
    /// degC.  Heating: the supply temperature, 0 to 100.  Water supply: the
    /// water temperature (20 when not given).
    double supplyTemperature = kNotGiven;
    /// Heating: supply minus return temperature, K, above 0 (required).
    double deltaT = kNotGiven;
    std::string material; ///< default material, name or ID; "": the first water-pipe material
    TQNetworkSizing by = TQNetworkSizing::Rm;
    double targetRm = 100.0;      ///< Pa/m, for TQNetworkSizing::TargetRm
    double plantLoss = 0.0;       ///< Pa, pressure drop of the source equipment (boiler, exchanger)
    double margin = 10.0;         ///< %, added to the index circuit's loss for the pump head
    double imbalanceLimit = 15.0; ///< %, a tee's imbalance above it is flagged
    /// Before balancing valves take the surplus, re-size the segments of the
    /// circuits nearer the source down within their limits.
    bool balanceBySize = false;
};

struct CTQNetworkSegment {
    std::string id;
    std::string from;          ///< upstream node (source side)
    std::string to;            ///< downstream node
    double length = kNotGiven; ///< route length, m, above 0
    std::string material;      ///< "": the network's
    std::vector<CTQFittingCount> fittings;
    double zeta = 0.0;            ///< further local-resistance coefficients
    int dn = 0;                   ///< above 0: an existing pipe of this size, checked, not re-sized
    double rise = 0.0;            ///< m, height of the downstream end over the upstream end
    double roughness = kNotGiven; ///< m; NaN: the material's
    long line = 0;                ///< line of the file it was read from (0: none)
};

struct CTQNetworkTerminal {
    std::string node;              ///< the node the unit sits at
    double heatLoad = kNotGiven;   ///< W (heating), or
    double volumeFlow = kNotGiven; ///< m3/s at the temperature of the segments' water
    TQTerminalUnit unit = TQTerminalUnit::Radiator;
    double unitLoss = kNotGiven; ///< Pa at design flow; NaN: the unit's default
    long line = 0;
};

struct CTQNetwork {
    CTQNetworkSettings settings;
    std::vector<CTQNetworkSegment> segments;
    std::vector<CTQNetworkTerminal> terminals;
};

// ---- Errors ----------------------------------------------------------------

/// A fault of the network as given: where it is and what is wrong.
struct CTQNetworkError {
    long line = 0;     ///< line of the file, 0 when not known
    std::string id;    ///< the segment or node at fault, "" when none
    std::string field; ///< the column or key, "" when none
    std::string message;
    /// "line 7: segment R3: length: '-2' must be positive" (parts absent are left out).
    TQRVNBASE_API std::string Text() const;
};

template <class T> struct CTQNetworkOutcome {
    T value{};
    std::vector<CTQNetworkError> errors; ///< every fault found (at most kMaxNetworkErrors)
    bool Ok() const { return errors.empty(); }
};
/// Errors reported at most; a file with more stops there.
inline constexpr std::size_t kMaxNetworkErrors = 50;

// ---- Results ---------------------------------------------------------------

struct CTQNetworkSegmentResult {
    std::string id;
    std::string from, to;
    double heatLoad = kNotGiven; ///< W carried (heating terminals given by load only)
    double massFlow = 0.0;       ///< kg/s
    double volumeFlow = 0.0;     ///< m3/s at the segment's water temperature
    double pipeLength = 0.0;     ///< m of pipe: twice the route length for paired segments
    bool sized = false;          ///< false: the design layer refused it (see error); losses unknown
    std::string error;
    /// The design layer's result (size, velocity, Rm, friction, local and
    /// total loss over pipeLength); meaningful when sized.
    CTQSegmentResult size;
    bool onIndexCircuit = false;
    int dnBeforeBalance = 0; ///< the size before --balance-by-size changed it; 0: unchanged
    std::vector<std::string> warnings;
};

struct CTQNetworkTerminalResult {
    std::string node;
    double heatLoad = kNotGiven; ///< W
    double massFlow = 0.0;       ///< kg/s
    double volumeFlow = 0.0;     ///< m3/s
    double unitLoss = 0.0;       ///< Pa
    double height = 0.0;         ///< m above the source
    double staticLift = 0.0;     ///< Pa, rho g height (water supply only)
    double pathLoss = 0.0;       ///< Pa: segments from the source, the unit, the static lift
    bool complete = true;        ///< every segment of the path was sized
    bool index = false;          ///< the index circuit ends here
    double surplus = 0.0;        ///< Pa the circuit's balancing valve must take
    double valveKv = kNotGiven;  ///< m3/h at 1 bar; NaN: no valve needed
    std::vector<int> path;       ///< segment indices from the source to this terminal
};

/// One branch leaving a tee.
struct CTQNetworkBranch {
    std::string segment;        ///< the branch's first segment
    double loss = 0.0;          ///< Pa, its most demanding circuit from the tee on
    double volumeFlow = 0.0;    ///< m3/s
    double surplus = 0.0;       ///< Pa a balancing valve at its start would take
    double valveKv = kNotGiven; ///< m3/h at 1 bar; NaN: none needed
};

/// A node with two or more branches leaving it.
struct CTQNetworkTee {
    std::string node;
    std::vector<CTQNetworkBranch> branches;
    double imbalance = 0.0; ///< %, (largest - smallest) / largest branch loss
    bool overLimit = false;
};

/// A size --balance-by-size changed.
struct CTQBalanceChange {
    std::string segment;
    int dnBefore = 0, dnAfter = 0;
    double lossBefore = 0.0, lossAfter = 0.0; ///< Pa, the segment's total loss
};

struct CTQNetworkResult {
    CTQNetworkSettings settings;
    double waterTemperature = 0.0; ///< degC of the segments' water (heating: the mean)
    std::vector<CTQNetworkSegmentResult> segments;   ///< in input order
    std::vector<CTQNetworkTerminalResult> terminals; ///< in input order
    std::vector<CTQNetworkTee> tees;
    int indexTerminal = -1;     ///< into terminals; -1 when no circuit is complete
    std::vector<int> indexPath; ///< segment indices from the source
    double indexLoss = 0.0;     ///< Pa, the index circuit's loss with the plant's
    double pumpFlow = 0.0;      ///< m3/s leaving the source
    double pumpMassFlow = 0.0;  ///< kg/s
    double pumpHead = 0.0;      ///< Pa, indexLoss with the margin
    std::vector<CTQBalanceChange> balanceChanges;
    std::vector<std::string> warnings;
};

// ---- Reading, computing, writing ---------------------------------------------

/// Reads a network from CSV (UTF-8, or GB18030 as spreadsheet programs save
/// it).  Before the header, settings as two-field rows `key,value`: kind
/// (heating or water), source, supply (degC), dt (K), temp (degC, water
/// supply), pipes (heating: "paired", the only model; water: "single"), material, by (rm, velocity
/// or target), target (Pa/m), plant, margin (%), limit (%), balance (yes or no).  Then a header
/// naming the columns, id first: id, from, to, length, material, fitting, zeta, dn, rise,
/// roughness, side; and for the terminal at the segment's downstream node: load, flow, unit
/// (radiator, fancoil, fixed), unitdp.  Quantities may carry units ("12 m", "1.2 kW", "0.3 m3/h",
/// "8 kPa"); without one they are in the base unit (m, W, m3/s, Pa).  Result columns of a written
/// file are ignored.  Lines beginning with '#' are comments.
TQRVNBASE_API CTQNetworkOutcome<CTQNetwork> ReadNetworkCsv(std::istream& in);
/// Sets one setting from its key and text, as a settings row of the CSV
/// form ("margin", "15"; "supply", "80 degC"; "by", "target"): what a front
/// end's options override.  False with the reason in message when the key
/// is unknown or the text is not a value of it.
TQRVNBASE_API bool SetNetworkSetting(CTQNetworkSettings& settings, std::string_view key,
                                     std::string_view text, std::string& message);
/// Reads a network from JSON: an object with the settings as members (the
/// same keys), "segments" (objects with the CSV's column names; "fittings"
/// an object of name to count) and "terminals" (objects with "node", "load",
/// "flow", "unit", "unitdp").  Numbers are in base units; strings may carry
/// units.  A "results" member of a written file is ignored.
TQRVNBASE_API CTQNetworkOutcome<CTQNetwork> ReadNetworkJson(std::istream& in);
/// Reads a file by its ending: ".json" as JSON, anything else as CSV.  An
/// unreadable file is one error naming it.
TQRVNBASE_API CTQNetworkOutcome<CTQNetwork> ReadNetworkFile(const std::string& path);

/// Checks the network (source, tree, loads, materials, fittings, lengths)
/// and, when it holds, sizes every segment, works out every circuit, the
/// index circuit, the pump, the valves and the tees.  Errors of the network
/// as given stop it; a segment the design layer cannot size is marked in the
/// result and the rest is still worked out.
TQRVNBASE_API CTQNetworkOutcome<CTQNetworkResult> ComputeNetwork(const CTQCatalogSnapshot& catalog,
                                                                 const CTQNetwork& network);

/// The report for a person: segments, terminals, the index circuit, tees,
/// pump, changes and warnings.  Numbers to 4 significant digits.
TQRVNBASE_API std::string NetworkReportText(const CTQNetworkResult& result);
/// The network in the form ReadNetworkCsv reads, with the results of each
/// segment and terminal in further columns when result is given.
TQRVNBASE_API std::string NetworkCsv(const CTQNetwork& network,
                                     const CTQNetworkResult* result = nullptr);
/// The network in the form ReadNetworkJson reads, with a "results" member
/// when result is given.
TQRVNBASE_API std::string NetworkJson(const CTQNetwork& network,
                                      const CTQNetworkResult* result = nullptr);
/// The schematic in Graphviz's DOT language: segments labelled with size and
/// flow, the index circuit in bold red, terminals coloured by surplus.
TQRVNBASE_API std::string NetworkDot(const CTQNetworkResult& result);
/// The schematic laid out and drawn by Graphviz as SVG; false with the
/// reason in error when Graphviz fails.
TQRVNBASE_API bool RenderNetworkSvg(const CTQNetworkResult& result, std::string& svg,
                                    std::string& error);
/// The same drawn as a PNG image (Graphviz's cairo renderer), for documents.
TQRVNBASE_API bool RenderNetworkPng(const CTQNetworkResult& result, std::string& png,
                                    std::string& error);

/// Kv of a valve, m3/h: the flow it passes at a pressure drop of 1 bar,
/// Kv = Q / sqrt(dp) with Q in m3/h and dp in bar; here volumeFlow in m3/s
/// and pressureDrop in Pa.  Example: ValveKv(0.5 / 3600, 25000) = 1 (0.5 m3/h
/// at 0.25 bar).  NaN for a drop or flow that is not positive.
TQRVNBASE_API double ValveKv(double volumeFlow, double pressureDrop);

/// "heating", "water"; "rm", "velocity", "target"; "radiator", "fancoil", "fixed".
TQRVNBASE_API const char* NetworkKindKey(TQNetworkKind kind);
TQRVNBASE_API const char* NetworkSizingKey(TQNetworkSizing by);
TQRVNBASE_API const char* TerminalUnitKey(TQTerminalUnit unit);

} // namespace RVN
