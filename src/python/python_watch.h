#pragma once
// Board.watch(): the polling pass as an iterator, one row per interval as it comes, under the
// recorder's column names. Each row is read as a command of its own, so other threads' commands
// on the same board go between rows and Ctrl+C ends the wait for the next one.

#include "protocol/pass_watch.h"
#include "python/python_board.h"

#include <pybind11/pybind11.h>

#include <memory>
#include <optional>

namespace vrx::python {

class PythonWatch {
public:
    // A row every `intervalMs` (0: back to back), `count` rows (none: until Ctrl+C or close);
    // with `units` the units columns too, at the dividers read before the first row and then
    // as the board's own telegrams change them.
    PythonWatch(std::shared_ptr<PythonBoard> board, long long intervalMs,
                std::optional<long long> count, bool units);
    // The next row; pybind11::stop_iteration after the last.
    pybind11::dict Next();

private:
    std::shared_ptr<PythonBoard> board_;
    int intervalMs_;
    int count_;
    bool units_;
    std::optional<PassWatch> watch_; // begun by the first row, so its clock starts there
};

} // namespace vrx::python
