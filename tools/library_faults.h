// What the tool tells the user when the library fails: the faults of the
// catalog in words of their own (ADOFault), anything else with the
// library's description.
#pragma once

#include <functional>
#include <ostream>
#include <string>

namespace tqrvn {

/// Runs one command of the tool and returns its status.  What the library
/// may throw (a provider error from an operation that lets it through, such
/// as a transaction or a new row on a locked, read-only, full or damaged
/// catalog; a shortage of memory) becomes one message on err and status 1.
int RunCatchingFaults(const std::function<int()>& command, std::ostream& err);

/// An error recorded by the database classes (GetLastError code and
/// GetLastErrorString text) as a line for the user: "the catalog is locked
/// by another program (...)", or the error's description.
std::string DescribeDatabaseError(unsigned long code, const std::string& text);

}  // namespace tqrvn
