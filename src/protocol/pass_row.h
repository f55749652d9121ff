#pragma once
// One polling pass as a row: the actual position, velocity and acceleration and the target
// velocity of the three motors, and the status byte of the pass's last reply. The recorder of
// the program and `vrx630ctl watch` write the same CSV header and rows, so one script reads
// both.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace vrx {

struct PassRow {
    // X_ACTUAL, V_ACTUAL, A_ACTUAL, V_TARGET of motor 1, then of motors 2 and 3.
    std::array<int32_t, 12> values{};
    uint8_t status = 0;
};

// "time_ms,X_ACTUAL_1,V_ACTUAL_1,A_ACTUAL_1,V_TARGET_1,...,STATUS", without a line end.
std::string PassCsvHeader();
// "time_ms,values...,status", signed decimals, without a line end.
std::string PassCsvLine(uint32_t timeMs, const PassRow& row);

// Gathers the replies of one pass of the polling cycle by their poll slots. A pass yields a row
// only when all twelve values came: a pass the board left partly unanswered yields none.
class PassCollector {
public:
    // Every telegram reply of the pass, by its poll slot: its status byte counts as the pass's
    // last, its value counts when it is one of the twelve.
    void Take(int slot, int32_t value, uint8_t status);
    // The row of the pass that ends here, if complete; the next pass starts empty.
    std::optional<PassRow> Finish();

private:
    PassRow row_;
    uint16_t seen_ = 0;
};

} // namespace vrx
