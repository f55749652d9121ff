#pragma once
// Results of the shared commands as Python sees them: the named values as a dict in their
// order, numbers as int, texts as str, flags as bool and physical values as float, the keys of
// vrx630ctl --json.

#include "protocol/named_values.h"

#include <pybind11/pybind11.h>

#include <optional>

namespace vrx::python {

pybind11::dict ToDict(const NamedValues& values);

// An argument that takes an int (or None, for nothing): a TypeError naming the argument for
// anything else, a float included, instead of pybind11's list of the signatures; an int beyond
// 64 bits is a ValueError, as any value out of range.
std::optional<long long> IntArgument(const pybind11::handle& value, const char* name);
// The same for an argument in steps/s or steps/s²: an int or a float.
std::optional<double> FloatArgument(const pybind11::handle& value, const char* name);

} // namespace vrx::python
