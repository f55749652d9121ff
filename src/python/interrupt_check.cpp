#include "python/interrupt_check.h"

#include "protocol/line_lock.h"

#include <pythread.h>

namespace py = pybind11;

namespace vrx::python {

bool InterruptCheck::OnMainThread() {
    return PyThread_get_thread_ident() == mainThread_;
}

bool InterruptCheck::operator()() {
    if (closing_) {
        return true;
    }
    if (!OnMainThread()) {
        return false;
    }
    if (raised_) {
        return true;
    }
    // A handler that used the board while this thread holds its line would wait for itself, or
    // break into the telegram in flight: handlers run between telegrams.
    const auto now = std::chrono::steady_clock::now();
    if (LineLock::HeldByThisThread() || now - lastCheck_ < kCheckInterval) {
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
    if (OnMainThread()) {
        raised_.reset();
        lastCheck_ = {};
    }
}

std::optional<py::error_already_set> InterruptCheck::TakeRaised() {
    if (!OnMainThread()) {
        return std::nullopt;
    }
    std::optional<py::error_already_set> raised = std::move(raised_);
    raised_.reset();
    return raised;
}

} // namespace vrx::python
