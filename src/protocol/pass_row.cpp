#include "protocol/pass_row.h"

#include "chip/poll_slots.h"
#include "chip/quantity_format.h"

namespace vrx {

namespace {

constexpr const char* kValueNames[] = {"X_ACTUAL", "V_ACTUAL", "A_ACTUAL", "V_TARGET"};
// The units columns of a motor, as PassInUnits gives them: V_ACTUAL_1_STEPS_S, ...
constexpr const char* kUnitColumns[][2] = {
    {"V_ACTUAL", "STEPS_S"}, {"A_ACTUAL", "STEPS_S2"}, {"V_TARGET", "STEPS_S"}};
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

std::array<PassMotorUnits, MotionUnits::kMotors> PassInUnits(const PassRow& row,
                                                             const MotionUnits& units) {
    std::array<PassMotorUnits, MotionUnits::kMotors> motors;
    for (int m = 0; m < MotionUnits::kMotors; ++m) {
        const PhysicalUnits u = units.Of(m + 1);
        // The bits the chip holds of each value, not all it answered with.
        const auto value = [&](int k) {
            return HeldValue(Register(kPassRegisters[size_t(k)]).readFields.front(),
                             row.values[size_t(4 * m + k)]);
        };
        motors[size_t(m)] = {u.Velocity(value(1)), u.Acceleration(value(2)), u.Velocity(value(3))};
    }
    return motors;
}

std::string PassCsvHeader(bool withUnits) {
    std::string header = "time_ms";
    for (int motor = 1; motor <= 3; ++motor) {
        for (const char* name : kValueNames) {
            header += ',';
            header += name;
            header += '_' + std::to_string(motor);
        }
    }
    header += ",STATUS";
    for (int motor = 1; withUnits && motor <= 3; ++motor) {
        for (const auto& column : kUnitColumns) {
            header += std::string(",") + column[0] + '_' + std::to_string(motor) + '_' + column[1];
        }
    }
    return header;
}

std::string PassCsvLine(int64_t timeMs, const PassRow& row, const MotionUnits* units) {
    std::string line = std::to_string(timeMs);
    for (const int32_t value : row.values) {
        line += ',' + std::to_string(value);
    }
    line += ',' + std::to_string(row.status);
    if (units != nullptr) {
        for (const PassMotorUnits& m : PassInUnits(row, *units)) {
            line += ',' + PlainQuantity(m.vActual.perSecond);
            line += ',' + PlainQuantity(m.aActual.perSecondSquared);
            line += ',' + PlainQuantity(m.vTarget.perSecond);
        }
    }
    return line;
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
