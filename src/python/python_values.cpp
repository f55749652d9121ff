#include "python/python_values.h"

namespace py = pybind11;

namespace vrx::python {

py::dict ToDict(const NamedValues& values) {
    py::dict dict;
    for (const NamedValue& value : values) {
        dict[py::str(value.name)] =
            std::visit([](const auto& v) -> py::object { return py::cast(v); }, value.value);
    }
    return dict;
}

} // namespace vrx::python
