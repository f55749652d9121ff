#pragma once
// The polling pass read on demand: each motor's X_ACTUAL, V_ACTUAL, A_ACTUAL and V_TARGET, as
// the program's polling cycle reads them, and a watch that reads one pass per interval and
// hands each row on as it comes, under the recorder's column names.

#include "chip/register_map.h"
#include "protocol/board_session.h"
#include "protocol/named_values.h"
#include "protocol/pass_row.h"

#include <array>
#include <chrono>
#include <optional>

namespace vrx {

// One motor's values of a pass, in the order of kPassRegisters; `status` is the last reply's.
std::array<int32_t, 4> ReadMotorPass(BoardSession& board, int motor, uint8_t& status);
PassRow ReadPass(BoardSession& board);
// A row under the recorder's column names, time_ms first and STATUS last of the raw columns,
// then with `units` the units columns.
NamedValues PassValues(int64_t timeMs, const PassRow& row, const MotionUnits* units = nullptr);

struct TimedPassRow {
    uint32_t timeMs; // from the start of the watch to the start of the pass
    PassRow row;
};

// The longest interval and the most passes a watch takes.
constexpr int kMaxWatchIntervalMs = 3600000;
constexpr int kMaxWatchCount = 1 << 30;

class PassWatch {
public:
    // A pass every `intervalMs` (0: back to back) timed from now, `count` passes (0: no end).
    // With `unitsClockMhz` the three motors' dividers are read first, once, for the units
    // columns at that clock.
    PassWatch(BoardSession& board, int intervalMs, int count,
              std::optional<int> unitsClockMhz = std::nullopt);
    // The next pass once its time has come; nothing after the last. Throws Interrupted when the
    // session's stop request ends the wait.
    std::optional<TimedPassRow> Next();
    // The units of the rows, or nothing for a watch without.
    const MotionUnits* Units() const { return units_ ? &*units_ : nullptr; }

private:
    BoardSession& board_;
    int intervalMs_;
    int count_;
    int sample_ = 0;
    std::optional<MotionUnits> units_;
    std::chrono::steady_clock::time_point start_; // after the dividers' reads
};

} // namespace vrx
