#pragma once
// Results of the shared commands as Python sees them: the named values as a dict in their
// order, numbers as int, texts as str, flags as bool and physical values as float, the keys of
// vrx630ctl --json.

#include "protocol/named_values.h"

#include <pybind11/pybind11.h>

namespace vrx::python {

pybind11::dict ToDict(const NamedValues& values);

} // namespace vrx::python
