#include "python/python_values.h"

#include "protocol/command_errors.h"

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

namespace {

[[noreturn]] void WrongType(const py::handle& value, const char* name, const char* wanted) {
    throw py::type_error(std::string(name) + " takes " + wanted + ", not " +
                         py::str(py::type::of(value).attr("__name__")).cast<std::string>());
}

} // namespace

std::optional<long long> IntArgument(const py::handle& value, const char* name) {
    if (value.is_none()) {
        return std::nullopt;
    }
    if (!PyLong_Check(value.ptr()) || PyBool_Check(value.ptr())) {
        WrongType(value, name, "an int");
    }
    int overflow = 0;
    const long long v = PyLong_AsLongLongAndOverflow(value.ptr(), &overflow);
    if (overflow != 0) {
        throw UsageError(std::string(name) + ": " + std::string(py::str(value)) +
                         " is out of range");
    }
    return v;
}

std::optional<double> FloatArgument(const py::handle& value, const char* name) {
    if (value.is_none()) {
        return std::nullopt;
    }
    if (PyBool_Check(value.ptr()) || !(PyLong_Check(value.ptr()) || PyFloat_Check(value.ptr()))) {
        WrongType(value, name, "an int or a float");
    }
    return value.cast<double>();
}

} // namespace vrx::python
