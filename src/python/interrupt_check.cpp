#include "python/interrupt_check.h"

#include <pythread.h>

namespace py = pybind11;

namespace vrx::python {

bool InterruptCheck::operator()() {
    if (closing_ || raised_) {
        return true;
    }
    const auto now = std::chrono::steady_clock::now();
    // Python runs signal handlers on its main thread only; on any other the check finds nothing.
    if (PyThread_get_thread_ident() != mainThread_ || now - lastCheck_ < kCheckInterval) {
        return false;
    }
    lastCheck_ = now;
    py::gil_scoped_acquire gil;
    if (PyErr_CheckSignals() != 0) {
        raised_.emplace(); // takes the exception the handler raised
    }
    return raised_.has_value();
}

void InterruptCheck::Begin() {
    raised_.reset();
    lastCheck_ = {};
}

std::optional<py::error_already_set> InterruptCheck::TakeRaised() {
    std::optional<py::error_already_set> raised = std::move(raised_);
    raised_.reset();
    return raised;
}

} // namespace vrx::python
