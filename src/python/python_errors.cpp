#include "python/python_errors.h"

#include "protocol/command_errors.h"

namespace py = pybind11;

namespace vrx::python {

namespace {

// Owned by the module, which holds them for as long as the interpreter runs.
PyObject* g_boardError = nullptr;
PyObject* g_noAnswer = nullptr;
PyObject* g_noMotion = nullptr;
PyObject* g_stopped = nullptr;
PyObject* g_fileRefused = nullptr;

PyObject* NewError(py::module_& module, const char* name, const char* doc, PyObject* base) {
    const std::string qualified = "vrx630." + std::string(name);
    PyObject* type = PyErr_NewExceptionWithDoc(qualified.c_str(), doc, base, nullptr);
    if (type == nullptr) {
        throw py::error_already_set();
    }
    module.add_object(name, py::handle(type));
    return type;
}

// Raises an exception of `type` with `message`, with the attributes `set` gives it.
template <class Set> void Raise(PyObject* type, const char* message, Set&& set) {
    py::object error = py::reinterpret_borrow<py::object>(type)(message);
    set(error);
    PyErr_SetObject(type, error.ptr());
}

void Translate(std::exception_ptr failure) {
    if (!failure) {
        return;
    }
    try {
        std::rethrow_exception(failure);
    } catch (const FileRefused& e) {
        Raise(g_fileRefused, e.what(), [&](py::object& error) {
            error.attr("path") = e.path;
            error.attr("line") = e.line;
            error.attr("key") = e.key.empty() ? py::object(py::none()) : py::str(e.key);
        });
    } catch (const BoardClosed& e) {
        Raise(PyExc_ValueError, e.what(), [&](py::object& error) {
            error.attr("written") = e.written ? py::object(py::int_(*e.written)) : py::none();
            error.attr("planned") = e.planned ? py::object(py::int_(*e.planned)) : py::none();
        });
    } catch (const FileError& e) {
        PyErr_SetString(PyExc_OSError, e.what());
    } catch (const UsageError& e) {
        PyErr_SetString(PyExc_ValueError, e.what());
    } catch (const Unfinished& e) {
        if (e.interrupted) {
            PyErr_SetString(PyExc_KeyboardInterrupt, e.what());
            return;
        }
        Raise(g_noAnswer, e.what(), [&](py::object& error) {
            error.attr("written") = e.written;
            error.attr("planned") = e.planned;
        });
    } catch (const Interrupted& e) {
        PyErr_SetString(PyExc_KeyboardInterrupt, e.what());
    } catch (const NoAnswer& e) {
        PyErr_SetString(g_noAnswer, e.what());
    } catch (const CaptureTimeout& e) {
        PyErr_SetString(PyExc_TimeoutError, e.what());
    } catch (const Stopped& e) {
        PyErr_SetString(g_stopped, e.what());
    } catch (const NoMotion& e) {
        PyErr_SetString(g_noMotion, e.what());
    } catch (const BoardError& e) {
        PyErr_SetString(g_boardError, e.what());
    }
}

} // namespace

void RegisterErrors(py::module_& module) {
    g_boardError = NewError(module, "BoardError",
                            "The board does not answer, refuses, or does not do what it was told.",
                            PyExc_Exception);
    g_noAnswer = NewError(module, "NoAnswer",
                          "The board left a telegram unanswered, or its port went away. After a "
                          "write that ended partway, `written` and `planned` say how far it got.",
                          g_boardError);
    g_noMotion =
        NewError(module, "NoMotion",
                 "A motor that was to arrive stood still for 2 s without arriving.", g_boardError);
    g_stopped = NewError(module, "Stopped",
                         "A motor that was to arrive was stopped on its way, by stop() of this "
                         "board from another thread or a signal handler.",
                         g_noMotion);
    g_fileRefused = NewError(module, "FileRefused",
                             "A configuration or .630 file that is not of its form: `path`, "
                             "`line` (0 for the file as a whole) and `key` (the section and key "
                             "at fault, as \"motor2.X_TARGET\", or None) say where.",
                             PyExc_ValueError);
    py::register_local_exception_translator(Translate);
}

} // namespace vrx::python
