#include "python/python_watch.h"

#include "protocol/command_errors.h"
#include "protocol/field_text.h"
#include "python/python_values.h"

namespace py = pybind11;

namespace vrx::python {

PythonWatch::PythonWatch(std::shared_ptr<PythonBoard> board, long long intervalMs,
                         std::optional<long long> count, bool units)
    : board_(std::move(board)), units_(units) {
    CheckOption(kKeywordOptions, "interval_ms", intervalMs, 0, kMaxWatchIntervalMs);
    if (count) {
        CheckOption(kKeywordOptions, "count", *count, 1, kMaxWatchCount);
    }
    intervalMs_ = int(intervalMs);
    count_ = int(count.value_or(0));
}

py::dict PythonWatch::Next() {
    struct Row {
        std::optional<TimedPassRow> pass;
        MotionUnits units;
    };
    const Row row = board_->Run([this](BoardSession& session) {
        if (!watch_) {
            watch_.emplace(session, intervalMs_, count_,
                           units_ ? std::optional(board_->ClockMhz()) : std::nullopt);
        }
        auto pass = watch_->Next();
        // The dividers of the row's moment, as the board's own telegrams left them: a set() of
        // PULSDIV from another thread converts the rows after it.
        return Row{std::move(pass), board_->FollowedUnits()};
    });
    if (!row.pass) {
        throw py::stop_iteration();
    }
    return ToDict(PassValues(row.pass->timeMs, row.pass->row, units_ ? &row.units : nullptr));
}

} // namespace vrx::python
