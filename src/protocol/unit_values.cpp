#include "protocol/unit_values.h"

#include "chip/quantity_format.h"
#include "protocol/command_errors.h"
#include "protocol/required_answer.h"

#include <cmath>

namespace vrx {

MotorDividers ReadDividers(BoardSession& board, int motor) {
    const RegisterDef& reg = Register(MotorReg::Dividers);
    return DecodeDividers(RequiredAnswer(board, ReadTelegram(reg, motor)).Value());
}

PhysicalUnits ReadUnits(BoardSession& board, int motor, int clockMhz) {
    const MotorDividers d = ReadDividers(board, motor);
    return PhysicalUnits(clockMhz, d.pulsDiv, d.rampDiv);
}

MotionUnits ReadMotionUnits(BoardSession& board, int clockMhz) {
    MotionUnits units;
    units.SetClockMhz(clockMhz);
    const RegisterDef& reg = Register(MotorReg::Dividers);
    for (int motor = 1; motor <= MotionUnits::kMotors; ++motor) {
        units.SetDividers(motor, RequiredAnswer(board, ReadTelegram(reg, motor - 1)).Value());
    }
    return units;
}

NamedValue PhysicalValue(const RegisterDef& reg, int32_t raw, const PhysicalUnits& units) {
    const UnitKind unit = UnitKindOf(reg).value_or(UnitKind::Velocity);
    const double value = units.InUnit(unit, raw);
    const char* suffix = unit == UnitKind::Velocity ? "_STEPS_S" : "_STEPS_S2";
    return Measured(std::string(reg.name) + suffix, value, FormatInUnit(unit, value));
}

int32_t RawValueOf(const RegisterDef& reg, double value, int clockMhz, MotorDividers dividers,
                   const std::string& option) {
    const UnitKind unit = UnitKindOf(reg).value_or(UnitKind::Velocity);
    const bool rate = unit == UnitKind::Velocity;
    const PhysicalUnits units(clockMhz, dividers.pulsDiv, dividers.rampDiv);
    const Field& field = reg.writeFields.front();
    const auto raw =
        rate ? units.RawVelocity({value}, field) : units.RawAcceleration({value}, field);
    const std::string given =
        std::isfinite(value) ? FormatInUnit(unit, value) : std::to_string(value);
    const std::string at = "PULSDIV " + std::to_string(dividers.pulsDiv) +
                           (rate ? "" : ", RAMPDIV " + std::to_string(dividers.rampDiv)) + " and " +
                           std::to_string(clockMhz) + " MHz";
    if (raw && *raw == 0 && value != 0) {
        // Sent as 0, a motor asked to move would stand.
        throw UsageError(option + ": " + given + " is below the smallest step, " +
                         FormatInUnit(unit, units.InUnit(unit, 1)) + " at " + at);
    }
    if (raw) {
        return *raw;
    }
    // The range the field covers here, as a hint what the dividers would have to be.
    throw UsageError(option + ": " + given + " fits no " + std::string(reg.name) + ": " +
                     std::to_string(field.min) + ".." + std::to_string(field.max) + " is " +
                     FormatQuantity(units.InUnit(unit, field.min)) + " to " +
                     FormatInUnit(unit, units.InUnit(unit, field.max)) + " at " + at);
}

} // namespace vrx
