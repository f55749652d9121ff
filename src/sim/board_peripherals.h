#pragma once
// The parts of the board beside the VRX630 that the one-byte queries report and the driver
// commands set: the two VRX52x driver chips (error flags, load values, stall thresholds), the
// maximum currents of the three motor drivers, the VRX880 mode byte, the potentiometer and the
// supply voltage.
//
// Values look alive unless a test or the command line pins them:
//   - the VRX529 carries motor 1 and the VRX526 motor 2; a chip's load value (0..7) grows with
//     its motor's speed and rises by one while the motor accelerates or brakes;
//   - the potentiometer drifts slowly around mid-scale (a sine of 30 s period on a 10-bit range);
//   - the supply voltage sits at about 24 V (raw 646 of 1023 = 38 V) with a wobble of one count.

#include "sim/vrx630_model.h"

#include <array>
#include <cstdint>
#include <optional>

namespace vrx::sim {

// Chip numbers of the "S" command.
enum DriverChip : int { Vrx529 = 0, Vrx526 = 1 };
constexpr int kDriverChipCount = 2;

// One-byte queries.
constexpr uint8_t kQueryErrorFlags = 0x66;
constexpr uint8_t kQueryLoadValues = 0x73;
constexpr uint8_t kQueryModeByte = 0x6D;
constexpr uint8_t kQueryVoltage = 0x76;
constexpr uint8_t kQueryPotentiometer = 0x70;

constexpr uint16_t kNominalVoltageRaw = 646;
constexpr uint16_t kPotentiometerCentre = 512;
constexpr uint16_t kPotentiometerSwing = 400;
constexpr int kPotentiometerPeriodMs = 30000;

bool IsQuery(uint8_t byte);

class BoardPeripherals {
public:
    void SetErrorFlags(int chip, uint8_t flags) { errorFlags_[Chip(chip)] = flags; }
    uint8_t ErrorFlags(int chip) const { return errorFlags_[Chip(chip)]; }

    void PinLoadValue(int chip, std::optional<uint8_t> value) { loadPin_[Chip(chip)] = value; }
    uint8_t LoadValue(int chip, const Vrx630Model& model) const;

    // Last threshold code of an "S" command and current of a "P" command; empty until one came.
    void SetStallThreshold(int chip, uint8_t code) { stallThreshold_[Chip(chip)] = code; }
    std::optional<uint8_t> StallThreshold(int chip) const { return stallThreshold_[Chip(chip)]; }
    void SetMaxCurrent(int motor, uint8_t value) {
        maxCurrent_[static_cast<size_t>(motor)] = value;
    }
    std::optional<uint8_t> MaxCurrent(int motor) const {
        return maxCurrent_[static_cast<size_t>(motor)];
    }

    // Bit 0 enable (active low), bit 1 shaft, bit 2 three-phase, bit 3 general-purpose output.
    void SetModeByte(uint8_t mode) { mode_ = mode; }
    uint8_t ModeByte() const { return mode_; }

    void PinVoltage(std::optional<uint16_t> raw) { voltagePin_ = raw; }
    uint16_t VoltageRaw(int64_t timeMs) const;
    void PinPotentiometer(std::optional<uint16_t> raw) { potentiometerPin_ = raw; }
    uint16_t PotentiometerRaw(int64_t timeMs) const;

    // The four answer bytes of a one-byte query; byte 0 is always 0.
    std::array<uint8_t, 4> Answer(uint8_t query, const Vrx630Model& model) const;

private:
    static size_t Chip(int chip) { return static_cast<size_t>(chip & 1); }

    std::array<uint8_t, kDriverChipCount> errorFlags_{};
    std::array<std::optional<uint8_t>, kDriverChipCount> loadPin_{};
    std::array<std::optional<uint8_t>, kDriverChipCount> stallThreshold_{};
    std::array<std::optional<uint8_t>, kMotorCount> maxCurrent_{};
    uint8_t mode_ = 0x04; // enabled, three-phase
    std::optional<uint16_t> voltagePin_;
    std::optional<uint16_t> potentiometerPin_;
};

} // namespace vrx::sim
