// Segment requests from Python values and the fields of a segment result,
// shared by SizeSegment and the column batch.
#pragma once

#include "PyRecords.h"

#include "design/DesignTypes.h"

#include <pybind11/pybind11.h>

#include <string>
#include <vector>

namespace tqrvn_py {

/// A quantity argument in the base unit of its quantity: a number is taken
/// as it is (SI), a text is read by RVN::ParseQuantity ("25 m", "15 kW"),
/// None is "not given" (NaN).  Raises DesignError naming the field.
double QuantityArgument(const std::string& field, const pybind11::handle& value, int quantity,
                        bool unitRequired);

/// Sets one member of a request from a Python value; false when `key` names
/// no member.  Raises DesignError naming the field for a value it cannot
/// take.
bool SetRequestField(RVN::CTQSegmentRequest& rq, const std::string& key,
                     const pybind11::handle& value);

/// A request from keyword arguments; an unknown keyword is a TypeError
/// naming `function` and the accepted keywords.
RVN::CTQSegmentRequest RequestFromKeywords(const pybind11::kwargs& kw, const char* function);

/// The request keywords, for messages and the stubs.
const char* RequestKeywords();

/// The fields of a segment result ("lambda" included; fluid and by as their
/// keys "water"/"steam", "rm"/"velocity"/"load").
std::vector<Field<RVN::CTQSegmentResult>> SegmentResultFields();

const char* SizeSegmentDoc();

} // namespace tqrvn_py
