#pragma once
// One polling pass as a row: the actual position, velocity and acceleration and the target
// velocity of the three motors, and the status byte of the pass's last reply. The recorder of
// the program and `vrx630ctl watch` write the same CSV header and rows, so one script reads
// both. With the motion units, each motor's V_ACTUAL, A_ACTUAL and V_TARGET follow in steps/s
// and steps/s² at the dividers and clock of the moment, after the raw columns.

#include "chip/motion_units.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace vrx {

// The registers of a motor's values in a row, in their order.
constexpr std::array<MotorReg, 4> kPassRegisters = {MotorReg::XActual, MotorReg::VActual,
                                                    MotorReg::AActual, MotorReg::VTarget};

struct PassRow {
    // X_ACTUAL, V_ACTUAL, A_ACTUAL, V_TARGET of motor 1, then of motors 2 and 3.
    std::array<int32_t, 12> values{};
    uint8_t status = 0;
};

// One motor's values of a row in physical units.
struct PassMotorUnits {
    StepRate vActual;
    StepAcceleration aActual;
    StepRate vTarget;
};
std::array<PassMotorUnits, MotionUnits::kMotors> PassInUnits(const PassRow& row,
                                                             const MotionUnits& units);

// "time_ms,X_ACTUAL_1,V_ACTUAL_1,A_ACTUAL_1,V_TARGET_1,...,STATUS", without a line end; with
// units then ",V_ACTUAL_1_STEPS_S,A_ACTUAL_1_STEPS_S2,V_TARGET_1_STEPS_S,..." for motors 1..3.
std::string PassCsvHeader(bool withUnits = false);
// "time_ms,values...,status", signed decimals, without a line end; with units then the physical
// values as PlainQuantity writes them ("1907.35").
std::string PassCsvLine(int64_t timeMs, const PassRow& row, const MotionUnits* units = nullptr);

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
