#include "python/python_values.h"

#include <type_traits>

namespace py = pybind11;

namespace vrx::python {

py::dict ToDict(const NamedValues& values) {
    py::dict dict;
    for (const NamedValue& value : values) {
        dict[py::str(value.name)] = std::visit(
            [](const auto& v) -> py::object {
                if constexpr (std::is_same_v<std::decay_t<decltype(v)>, Quantity>) {
                    return py::float_(v.value);
                } else {
                    return py::cast(v);
                }
            },
            value.value);
    }
    return dict;
}

} // namespace vrx::python
