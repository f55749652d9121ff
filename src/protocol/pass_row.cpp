#include "protocol/pass_row.h"

#include "chip/poll_slots.h"

namespace vrx {

namespace {

constexpr const char* kValueNames[] = {"X_ACTUAL", "V_ACTUAL", "A_ACTUAL", "V_TARGET"};
constexpr uint16_t kAllValues = (1u << 12) - 1;

// The column of a slot's value in a row, or -1.
int ColumnOf(int slot) {
    for (int motor = 0; motor < 3; ++motor) {
        const int slots[] = {XActualSlot(motor), VActualSlot(motor), AActualSlot(motor),
                             VTargetSlot(motor)};
        for (int k = 0; k < 4; ++k) {
            if (slots[k] == slot) {
                return 4 * motor + k;
            }
        }
    }
    return -1;
}

} // namespace

std::string PassCsvHeader() {
    std::string header = "time_ms";
    for (int motor = 1; motor <= 3; ++motor) {
        for (const char* name : kValueNames) {
            header += ',';
            header += name;
            header += '_' + std::to_string(motor);
        }
    }
    return header + ",STATUS";
}

std::string PassCsvLine(uint32_t timeMs, const PassRow& row) {
    std::string line = std::to_string(timeMs);
    for (const int32_t value : row.values) {
        line += ',' + std::to_string(value);
    }
    return line + ',' + std::to_string(row.status);
}

void PassCollector::Take(int slot, int32_t value, uint8_t status) {
    row_.status = status;
    const int column = ColumnOf(slot);
    if (column >= 0) {
        row_.values[size_t(column)] = value;
        seen_ = uint16_t(seen_ | (1u << column));
    }
}

std::optional<PassRow> PassCollector::Finish() {
    const bool complete = seen_ == kAllValues;
    seen_ = 0;
    return complete ? std::optional<PassRow>(row_) : std::nullopt;
}

} // namespace vrx
