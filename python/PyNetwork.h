// The network layer from Python: the network as objects, and its result with
// the network it was computed from.
#pragma once

#include "network/Network.h"

#include <pybind11/pybind11.h>

#include <vector>

namespace tqrvn_py {

/// A sized network: its result and the network it came from (for the CSV
/// and JSON written with the results).
struct NetworkSized {
    RVN::CTQNetwork network;
    RVN::CTQNetworkResult result;
};

/// Raises tqrvn.NetworkError carrying every fault, one per line, with the
/// attribute errors (a list of dicts: line, id, field, message).
[[noreturn]] void RaiseNetworkErrors(const std::vector<RVN::CTQNetworkError>& errors);

/// A network from a Network object, a dict (the JSON form) or a path.
RVN::CTQNetwork NetworkFrom(const pybind11::handle& source);

void BindNetworkInput(pybind11::module_& m);
void BindNetworkResult(pybind11::module_& m);

} // namespace tqrvn_py
