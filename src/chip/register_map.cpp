#include "chip/register_map.h"

#include "chip/value_format.h"

#include <cassert>

namespace vrx {

namespace {

constexpr int32_t kPos24Min = -8388608;
constexpr int32_t kPos24Max = 8388607;

// Single-value registers: one field for writing, one for reading.
constexpr Field kPositionField[] = {{"", 0, 24, 23, kPos24Min, kPos24Max}};
// Read as 24 bits, shown as they come; the chip holds 12 (velocities, accelerations) or 11 (the
// limits), which is what a value means.
constexpr Field kVelocity12Write[] = {{"", 0, 12, 11, -2048, 2047}};
constexpr Field kVelocity12Read[] = {{"", 0, 24, 11, -2048, 2047, 12}};
constexpr Field kUnsigned11Write[] = {{"", 0, 12, 0, 0, 2047, 11}};
constexpr Field kUnsigned11Read[] = {{"", 0, 24, 0, 0, 0xFFFFFF, 11}};
constexpr Field kDxRefWrite[] = {{"", 0, 12, 0, 0, 4095}};
constexpr Field kDxRefRead[] = {{"", 0, 24, 0, 0, 0xFFFFFF, 12}};
constexpr Field kHex24[] = {{"", 0, 24, 0, 0, 0xFFFFFF}};

constexpr Field kCurrentFields[] = {
    {"I_S_AGTAT", 20, 4, 0, 0, 7},
    {"I_S_ALEAT", 16, 4, 0, 0, 7},
    {"I_S_V0", 12, 4, 0, 0, 7},
    {"A_THRESHOLD", 0, 11, 0, 0, 2047},
};
constexpr Field kPMulPDivFields[] = {
    {"P_MUL", 8, 8, 0, 128, 255},
    {"P_DIV", 0, 4, 0, 0, 13},
};
constexpr Field kRefConfRampWrite[] = {
    {"REF_CONF", 8, 4, 0, 0, 15},
    {"RAMP_MODE", 0, 2, 0, 0, 3},
};
constexpr Field kRefConfRampRead[] = {
    {"REF_CONF", 8, 4, 0, 0, 15},
    {"RAMP_MODE", 0, 2, 0, 0, 3},
    {"LP", 16, 1, 0, 0, 1},
};
constexpr Field kInterruptFields[] = {
    {"INTERRUPT_MASK", 8, 8, 0, 0, 255},
    {"INTERRUPT_FLAGS", 0, 8, 0, 0, 255},
};
constexpr Field kDividerFields[] = {
    {"PULSDIV", 12, 4, 0, 0, 13},
    {"RAMPDIV", 8, 4, 0, 0, 13},
    {"\xC2\xB5STEP_RES", 0, 3, 0, 0, 7},
};
constexpr Field kCoverFields[] = {
    {"SPI_COVER_POS", 8, 6, 0, 0, 63},
    {"SPI_COVER LEN", 0, 5, 0, 0, 31},
};
constexpr Field kRefSwitchFields[] = {
    {"Right 1", 0, 1, 0, 0, 1}, {"Left 1", 1, 1, 0, 0, 1},  {"Right 2", 2, 1, 0, 0, 1},
    {"Left 2", 3, 1, 0, 0, 1},  {"Right 3", 4, 1, 0, 0, 1}, {"Left 3", 5, 1, 0, 0, 1},
};
constexpr Field kGlobalParameterFields[] = {
    {"M1R_REF", 21, 1, 0, 0, 1},
    {"REFMUX", 20, 1, 0, 0, 1},
    {"SPI_CONTINUOUS_UPD", 16, 1, 0, 0, 1},
    {"SPI_CLK_DIV", 8, 8, 0, 0, 255},
    {"csComInd", 7, 1, 0, 0, 1},
    {"PoDAC", 6, 1, 0, 0, 1},
    {"PoFD", 5, 1, 0, 0, 1},
    {"PoPH", 4, 1, 0, 0, 1},
    {"SPI_CLK", 3, 1, 0, 0, 1},
    {"SPI_CS", 2, 1, 0, 0, 1},
    {"LSMD", 0, 2, 0, 0, 3},
};

using F = std::span<const Field>;

constexpr RegisterDef kMotorRegisters[kMotorRegisterCount] = {
    {"X_TARGET", 0, 0, true, true, 23, F(kPositionField), F(kPositionField)},
    {"X_ACTUAL", 0, 1, true, true, 23, F(kPositionField), F(kPositionField)},
    {"V_MIN", 0, 2, true, true, 0, F(kUnsigned11Write), F(kUnsigned11Read)},
    {"V_MAX", 0, 3, true, true, 0, F(kUnsigned11Write), F(kUnsigned11Read)},
    {"V_TARGET", 0, 4, true, true, 11, F(kVelocity12Write), F(kVelocity12Read)},
    {"V_ACTUAL", 0, 5, true, true, 11, F(kVelocity12Write), F(kVelocity12Read)},
    {"A_MAX", 0, 6, true, true, 0, F(kUnsigned11Write), F(kUnsigned11Read)},
    {"A_ACTUAL", 0, 7, false, true, 11, F(), F(kVelocity12Read)},
    {"I_S_AGTAT / I_S_ALEAT / I_S_V0 / A_THRESHOLD", 0, 8, true, true, 0, F(kCurrentFields),
     F(kCurrentFields)},
    {"P_MUL / P_DIV", 0, 9, true, true, 0, F(kPMulPDivFields), F(kPMulPDivFields)},
    {"REF_CONF / RAMP_MODE", 0, 10, true, true, 0, F(kRefConfRampWrite), F(kRefConfRampRead)},
    {"INTERRUPT_MASK / INTERRUPT_FLAGS", 0, 11, true, true, 0, F(kInterruptFields),
     F(kInterruptFields)},
    {"PULSDIV / RAMPDIV / \xC2\xB5STEP_RES", 0, 12, true, true, 0, F(kDividerFields),
     F(kDividerFields)},
    {"DX_REF_TOLERANCE", 0, 13, true, true, 0, F(kDxRefWrite), F(kDxRefRead)},
    // Written only with data 0, which resets the latched position.
    {"X_LATCHED", 0, 14, true, true, 23, F(), F(kPositionField)},
};

constexpr RegisterDef kGlobalRegisters[] = {
    // Writing 0 to the low word is the "Get Low/High Word" telegram.
    {"SPI_TELEGRAM_LOW_WORD", 3, 0, true, true, kSignBitHex6, F(), F(kHex24)},
    {"SPI_TELEGRAM_HIGH_WORD", 3, 1, false, true, kSignBitHex6, F(), F(kHex24)},
    {"SPI_COVER_POS / SPI_COVER LEN", 3, 2, true, true, 0, F(kCoverFields), F(kCoverFields)},
    {"SPI_COVER_TELEGRAM", 3, 3, true, true, kSignBitHex6, F(kHex24), F(kHex24)},
    {"reference switch inputs", 3, 14, false, true, 0, F(), F(kRefSwitchFields)},
    {"Stepper Motor Global Parameter Reg.", 3, 15, true, true, 0, F(kGlobalParameterFields),
     F(kGlobalParameterFields)},
};

} // namespace

const std::array<std::string_view, 8> kStatusBitLabels = {
    "X_ACTUAL1 = X_TARGET1", "REFERENCE_SWITCH_1", "X_ACTUAL2 = X_TARGET2", "REFERENCE_SWITCH_2",
    "X_ACTUAL3 = X_TARGET3", "REFERENCE_SWITCH_3", "COVER_WAITING",         "INTERRUPT"};
const std::array<std::string_view, 4> kRampModeNames = {"RAMP", "SOFTMODE", "VELOCITY", "HOLD"};
const std::array<std::string_view, 4> kRefConfNames = {"DISABLE_STOP_L", "DISABLE_STOP_R",
                                                       "SOFT_STOP", "REF_RnL"};
const std::array<std::string_view, 8> kInterruptMaskNames = {
    "MASK_POS_END",       "MASK_REF_WRONG",      "MASK_REF_MISS",       "MASK_STOP",
    "MASK_STOP_LEFT_LOW", "MASK_STOP_RIGHT_LOW", "MASK_STOP_LEFT_HIGH", "MASK_STOP_RIGHT_HIGH"};
const std::array<std::string_view, 8> kInterruptFlagNames = {
    "INT_POS_END",       "INT_REF_WRONG",      "INT_REF_MISS",       "INT_STOP",
    "INT_STOP_LEFT_LOW", "INT_STOP_RIGHT_LOW", "INT_STOP_LEFT_HIGH", "INT_STOP_RIGHT_HIGH"};
const std::array<std::string_view, 6> kRefSwitchInputNames = {"Right 1", "Left 1",  "Right 2",
                                                              "Left 2",  "Right 3", "Left 3"};

std::span<const RegisterDef> MotorRegisters() {
    return kMotorRegisters;
}
std::span<const RegisterDef> GlobalRegisters() {
    return kGlobalRegisters;
}

const RegisterDef& Register(MotorReg reg) {
    return kMotorRegisters[static_cast<int>(reg)];
}

const RegisterDef& Register(GlobalReg reg) {
    for (const RegisterDef& def : kGlobalRegisters) {
        if (def.index == static_cast<uint8_t>(reg)) {
            return def;
        }
    }
    assert(false && "every GlobalReg has a table entry");
    return kGlobalRegisters[0];
}

static uint8_t FirstByte(const RegisterDef& reg, int motor, bool read) {
    const unsigned unit = reg.unit == GlobalUnit ? unsigned{GlobalUnit} : unsigned(motor);
    return RegisterByte(unit, reg.index, read);
}

uint8_t WriteByte(const RegisterDef& reg, int motor) {
    return FirstByte(reg, motor, false);
}
uint8_t ReadByte(const RegisterDef& reg, int motor) {
    return FirstByte(reg, motor, true);
}

uint32_t ComposeFields(std::span<const Field> fields, std::span<const int32_t> values) {
    uint32_t data = 0;
    for (size_t i = 0; i < fields.size() && i < values.size(); ++i) {
        data |= (static_cast<uint32_t>(values[i]) & fields[i].Mask()) << fields[i].lowBit;
    }
    return data & kDataMask;
}

int32_t DecodeField(const Field& field, uint32_t data) {
    return SignExtend((data >> field.lowBit) & field.Mask(), field.signBit);
}

ValueRange HeldRange(const Field& field) {
    const int bits = field.HeldBits();
    if (field.signBit > 0) {
        return {-(1 << (bits - 1)), (1 << (bits - 1)) - 1};
    }
    return {0, int((uint32_t(1) << bits) - 1)};
}

int32_t HeldValue(const Field& field, int32_t value) {
    const int bits = field.HeldBits();
    const uint32_t held = uint32_t(value) & ((uint32_t(1) << bits) - 1);
    return field.signBit > 0 ? SignExtend(held, bits - 1) : int32_t(held);
}

std::vector<int32_t> DecodeFields(std::span<const Field> fields, uint32_t data) {
    std::vector<int32_t> values;
    values.reserve(fields.size());
    for (const Field& field : fields) {
        values.push_back(DecodeField(field, data));
    }
    return values;
}

Telegram WriteTelegram(const RegisterDef& reg, int motor, std::span<const int32_t> values) {
    return Telegram::Make(WriteByte(reg, motor), ComposeFields(reg.writeFields, values));
}

Telegram ReadTelegram(const RegisterDef& reg, int motor) {
    return Telegram::Make(ReadByte(reg, motor), 0);
}

} // namespace vrx
