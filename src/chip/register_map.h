#pragma once
// The VRX630 register map: every register of the three motor units and the global unit, with
// the bits each field occupies in a write telegram and how the answer is read. Windows compose
// and decode telegrams from these tables instead of repeating the bit arithmetic.

#include "chip/telegram.h"

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace vrx {

// One field of a register: `width` bits starting at `lowBit` of the 24 data bits. Decoding
// sign-extends the extracted bits by `signBit` (0 = unsigned), exactly as SignExtend does.
// Each field carries both ranges of the one table every reader and writer of values uses: what
// the program advises (min..max: the windows and set offer it) and what the chip holds
// (HeldRange: files and set --force accept it, and a configuration saved holds it).
struct Field {
    std::string_view name;
    uint8_t lowBit;
    uint8_t width;
    int8_t signBit;
    int32_t min; // range advised, and offered for input
    int32_t max;
    uint8_t heldWidth = 0; // the bits the chip keeps, where fewer than the field carries

    constexpr uint32_t Mask() const { return width >= 32 ? ~0u : (1u << width) - 1; }
    constexpr int HeldBits() const { return heldWidth != 0 ? heldWidth : width; }
};

// A range of whole values, both ends included.
struct ValueRange {
    int min;
    int max;
    constexpr bool Contains(int v) const { return v >= min && v <= max; }
};

// What the program advises for a field: the windows and set take this.
constexpr ValueRange AdvisedRange(const Field& field) {
    return {field.min, field.max};
}
// Every value the chip holds in the field: two's complement where the field is signed.
ValueRange HeldRange(const Field& field);
// A value of the field as the chip holds it: cut to its held bits, sign-extended where signed.
// A velocity read as 4095 from the 11 bits of V_MAX is 2047.
int32_t HeldValue(const Field& field, int32_t value);

struct RegisterDef {
    std::string_view name;
    uint8_t unit; // 0 for the motor registers (the motor is chosen when addressing), 3 global
    uint8_t index;
    bool writable;
    bool readable;
    int8_t displaySignBit; // how the whole answer value is shown (23, 11, 0, or -6 for hex)
    std::span<const Field> writeFields; // fields composed into a write telegram
    std::span<const Field> readFields;  // fields decoded from the answer
};

enum class MotorReg : uint8_t {
    XTarget = 0,
    XActual = 1,
    VMin = 2,
    VMax = 3,
    VTarget = 4,
    VActual = 5,
    AMax = 6,
    AActual = 7,
    Currents = 8, // I_S_AGTAT / I_S_ALEAT / I_S_V0 / A_THRESHOLD
    PMulPDiv = 9,
    RefConfRampMode = 10,
    Interrupts = 11, // INTERRUPT_MASK / INTERRUPT_FLAGS
    Dividers = 12,   // PULSDIV / RAMPDIV / uSTEP_RES
    DxRefTolerance = 13,
    XLatched = 14,
};
constexpr int kMotorRegisterCount = 15;

enum class GlobalReg : uint8_t {
    TelegramLowWord = 0,
    TelegramHighWord = 1,
    Cover = 2,
    CoverTelegram = 3,
    RefSwitchInputs = 14,
    GlobalParameters = 15,
};

std::span<const RegisterDef> MotorRegisters();  // indices 0..14 in order
std::span<const RegisterDef> GlobalRegisters(); // indices 0, 1, 2, 3, 14, 15
const RegisterDef& Register(MotorReg reg);
const RegisterDef& Register(GlobalReg reg);

// First byte of the register's write or read telegram; motor 0..2 for motor registers.
uint8_t WriteByte(const RegisterDef& reg, int motor = 0);
uint8_t ReadByte(const RegisterDef& reg, int motor = 0);

// The data bits of a write telegram from one value per write field (bits outside the fields 0).
uint32_t ComposeFields(std::span<const Field> fields, std::span<const int32_t> values);
int32_t DecodeField(const Field& field, uint32_t data);
std::vector<int32_t> DecodeFields(std::span<const Field> fields, uint32_t data);

// A complete write telegram of a register for a motor (ignored for global registers).
Telegram WriteTelegram(const RegisterDef& reg, int motor, std::span<const int32_t> values);
Telegram ReadTelegram(const RegisterDef& reg, int motor = 0);

// Texts of the system: the status-bit labels, the ramp modes, the check-list items.
extern const std::array<std::string_view, 8> kStatusBitLabels;
extern const std::array<std::string_view, 4> kRampModeNames;
extern const std::array<std::string_view, 4> kRefConfNames;        // bits 8..11
extern const std::array<std::string_view, 8> kInterruptMaskNames;  // bits 8..15
extern const std::array<std::string_view, 8> kInterruptFlagNames;  // bits 0..7
extern const std::array<std::string_view, 6> kRefSwitchInputNames; // bits 0..5

enum RampMode : int { RampModeRamp = 0, RampModeSoft = 1, RampModeVelocity = 2, RampModeHold = 3 };

// Status byte bits.
constexpr uint8_t StatusTargetReached(int motor) {
    return uint8_t(1u << (2 * motor));
}
constexpr uint8_t StatusReferenceSwitch(int motor) {
    return uint8_t(2u << (2 * motor));
}
constexpr uint8_t kStatusCoverWaiting = 0x40;
constexpr uint8_t kStatusInterrupt = 0x80;

} // namespace vrx
