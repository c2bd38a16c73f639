// Types of the class framework that the catalog containers and the property
// exchange use in their signatures, as host programs know them.
//
// INT_PTR: signed index and count type of the containers (pointer-sized).
// POSITION: opaque iteration handle of the containers and of the exchange's
// item sequences.  A null POSITION means "at the end"; any other value is
// meaningful only to the object that handed it out and only until that
// object is changed.
#pragma once

#include <cstddef>

using INT_PTR = std::ptrdiff_t;

struct TQRVNPositionTag;
using POSITION = TQRVNPositionTag*;
