#include "sim/board_peripherals.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace vrx::sim {

bool IsQuery(uint8_t byte) {
    return byte == kQueryErrorFlags || byte == kQueryLoadValues || byte == kQueryModeByte ||
           byte == kQueryVoltage || byte == kQueryPotentiometer;
}

uint8_t BoardPeripherals::LoadValue(int chip, const Vrx630Model& model) const {
    if (loadPin_[Chip(chip)]) {
        return *loadPin_[Chip(chip)];
    }
    const MotorAxis& motor = model.Motor(chip == Vrx529 ? 0 : 1);
    const int speed = std::abs(motor.VActual());
    if (speed == 0) {
        return 0;
    }
    const int load = 1 + speed * 5 / 2048 + (motor.AActual() != 0 ? 1 : 0);
    return static_cast<uint8_t>(std::min(load, 7));
}

uint16_t BoardPeripherals::VoltageRaw(int64_t timeMs) const {
    if (voltagePin_) {
        return *voltagePin_;
    }
    return static_cast<uint16_t>(kNominalVoltageRaw - 1 + (timeMs / 700) % 3);
}

uint16_t BoardPeripherals::PotentiometerRaw(int64_t timeMs) const {
    if (potentiometerPin_) {
        return *potentiometerPin_;
    }
    const double phase = 2 * std::numbers::pi *
                         static_cast<double>(timeMs % kPotentiometerPeriodMs) /
                         kPotentiometerPeriodMs;
    return static_cast<uint16_t>(kPotentiometerCentre +
                                 std::lround(kPotentiometerSwing * std::sin(phase)));
}

std::array<uint8_t, 4> BoardPeripherals::Answer(uint8_t query, const Vrx630Model& model) const {
    auto lowHigh = [](uint16_t raw) {
        return std::array<uint8_t, 4>{0, 0, static_cast<uint8_t>(raw),
                                      static_cast<uint8_t>(raw >> 8)};
    };
    switch (query) {
    case kQueryErrorFlags:
        return {0, ErrorFlags(Vrx529), ErrorFlags(Vrx526), 0};
    case kQueryLoadValues:
        return {0, LoadValue(Vrx529, model), LoadValue(Vrx526, model), 0};
    case kQueryModeByte:
        return {0, 0, 0, mode_};
    case kQueryVoltage:
        return lowHigh(VoltageRaw(model.ElapsedMs()));
    case kQueryPotentiometer:
        return lowHigh(PotentiometerRaw(model.ElapsedMs()));
    default:
        return {0, 0, 0, 0};
    }
}

} // namespace vrx::sim
