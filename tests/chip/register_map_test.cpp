#include "chip/register_map.h"
#include "chip/value_format.h"

#include <gtest/gtest.h>

#include <vector>

namespace vrx {
namespace {

TEST(TelegramBytes, FirstBytesOfRegisterAndRamAccess) {
    EXPECT_EQ(RegisterByte(Motor2, 5, false), 0x2A);
    EXPECT_EQ(RegisterByte(Motor2, 5, true), 0x2B);
    EXPECT_EQ(RamByte(63, true), 0xFF);
    EXPECT_EQ(RamByte(0, false), 0x80);
    const Telegram t = Telegram::Make(0xAB, 0x123456);
    EXPECT_EQ(t, (Telegram{0xAB, 0x12, 0x34, 0x56}));
    EXPECT_TRUE(t.IsRam());
    EXPECT_TRUE(t.IsRead());
    EXPECT_EQ(t.RamWord(), 0x15u); // bits 30..25 of 0xAB
    EXPECT_EQ(Answer::Make(0x81, 0xFEDCBA).Value(), 0xFEDCBAu);
}

TEST(RegisterMap, WriteAndReadBytesOfEveryMotorRegister) {
    ASSERT_EQ(MotorRegisters().size(), size_t{kMotorRegisterCount});
    for (int motor = 0; motor < kMotorCount; ++motor) {
        for (const RegisterDef& reg : MotorRegisters()) {
            EXPECT_EQ(WriteByte(reg, motor), 0x20 * motor + 2 * reg.index);
            EXPECT_EQ(ReadByte(reg, motor), 0x20 * motor + 2 * reg.index + 1);
        }
    }
    const std::vector<std::pair<GlobalReg, int>> globals = {
        {GlobalReg::TelegramLowWord, 0x60}, {GlobalReg::TelegramHighWord, 0x62},
        {GlobalReg::Cover, 0x64},           {GlobalReg::CoverTelegram, 0x66},
        {GlobalReg::RefSwitchInputs, 0x7C}, {GlobalReg::GlobalParameters, 0x7E}};
    for (auto [reg, write] : globals) {
        EXPECT_EQ(WriteByte(Register(reg), 2), write); // the motor does not matter
        EXPECT_EQ(ReadByte(Register(reg)), write + 1);
    }
    EXPECT_FALSE(Register(MotorReg::AActual).writable);
    EXPECT_FALSE(Register(GlobalReg::TelegramHighWord).writable);
    EXPECT_FALSE(Register(GlobalReg::RefSwitchInputs).writable);
}

struct WriteCase {
    const char* what;
    const RegisterDef* reg;
    int motor;
    std::vector<int32_t> values;
    Telegram expected;
};

class WriteTelegramTest : public testing::TestWithParam<WriteCase> {};

TEST_P(WriteTelegramTest, ComposesTheFieldsIntoTheirBits) {
    const WriteCase& c = GetParam();
    EXPECT_EQ(WriteTelegram(*c.reg, c.motor, c.values), c.expected) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WriteTelegramTest,
    testing::Values(
        WriteCase{
            "X_TARGET -1 motor 3", &Register(MotorReg::XTarget), 2, {-1}, {0x40, 0xFF, 0xFF, 0xFF}},
        WriteCase{
            "V_TARGET -1 motor 1", &Register(MotorReg::VTarget), 0, {-1}, {0x08, 0x00, 0x0F, 0xFF}},
        WriteCase{"currents",
                  &Register(MotorReg::Currents),
                  0,
                  {7, 1, 2, 2047},
                  {0x10, 0x71, 0x27, 0xFF}},
        WriteCase{"V_MIN masked to 12 bits",
                  &Register(MotorReg::VMin),
                  1,
                  {0x1FFF},
                  {0x24, 0x00, 0x0F, 0xFF}},
        WriteCase{
            "P_MUL/P_DIV", &Register(MotorReg::PMulPDiv), 0, {237, 6}, {0x12, 0x00, 0xED, 0x06}},
        WriteCase{"REF_CONF/RAMP_MODE",
                  &Register(MotorReg::RefConfRampMode),
                  1,
                  {0xA, 3},
                  {0x34, 0x00, 0x0A, 0x03}},
        WriteCase{
            "dividers", &Register(MotorReg::Dividers), 2, {13, 7, 5}, {0x58, 0x00, 0xD7, 0x05}},
        WriteCase{
            "X_LATCHED reset", &Register(MotorReg::XLatched), 0, {}, {0x1C, 0x00, 0x00, 0x00}},
        WriteCase{"Get Low/High Word",
                  &Register(GlobalReg::TelegramLowWord),
                  0,
                  {},
                  {0x60, 0x00, 0x00, 0x00}},
        WriteCase{"cover", &Register(GlobalReg::Cover), 0, {63, 31}, {0x64, 0x00, 0x3F, 0x1F}},
        WriteCase{"global parameters",
                  &Register(GlobalReg::GlobalParameters),
                  0,
                  {1, 1, 1, 4, 1, 0, 0, 0, 0, 1, 1},
                  {0x7E, 0x31, 0x04, 0x85}}));

TEST(RegisterMap, DecodesTheGlobalParameterRegister) {
    const auto& reg = Register(GlobalReg::GlobalParameters);
    const std::vector<int32_t> fields = DecodeFields(reg.readFields, 0x310485);
    const std::vector<int32_t> expected = {1, 1, 1, 4, 1, 0, 0, 0, 0, 1, 1};
    EXPECT_EQ(fields, expected);
    EXPECT_EQ(reg.readFields[0].name, "M1R_REF");
    EXPECT_EQ(reg.readFields[10].name, "LSMD");
}

TEST(RegisterMap, ReadsTheLpFlagAndTheDividersFromTheAnswer) {
    const auto ramp = DecodeFields(Register(MotorReg::RefConfRampMode).readFields, 0x010B02);
    EXPECT_EQ(ramp, (std::vector<int32_t>{0xB, 2, 1}));
    const auto div = DecodeFields(Register(MotorReg::Dividers).readFields, 0x00D705);
    EXPECT_EQ(div, (std::vector<int32_t>{13, 7, 5}));
}

// Values at both ends of each field's range and one in the middle.
std::vector<int32_t> Probes(const Field& f) {
    return {f.min, f.max, f.min + (f.max - f.min) / 3};
}

TEST(RegisterMap, EveryWritableRegisterRoundTripsThroughItsTelegram) {
    std::vector<const RegisterDef*> all;
    for (const RegisterDef& reg : MotorRegisters()) {
        all.push_back(&reg);
    }
    for (const RegisterDef& reg : GlobalRegisters()) {
        all.push_back(&reg);
    }
    for (const RegisterDef* reg : all) {
        if (!reg->writable) {
            continue;
        }
        for (int motor = 0; motor < kMotorCount; ++motor) {
            for (size_t probe = 0; probe < 3; ++probe) {
                std::vector<int32_t> values;
                for (const Field& f : reg->writeFields) {
                    values.push_back(Probes(f)[probe]);
                }
                const Telegram t = WriteTelegram(*reg, motor, values);
                EXPECT_EQ(t.b0, WriteByte(*reg, motor));
                if (reg->writeFields.size() == 1) {
                    // single values are read back as the whole answer by the display sign bit
                    const int sign = reg->displaySignBit < 0 ? 0 : reg->displaySignBit;
                    EXPECT_EQ(SignExtend(t.Data(), sign), values[0]) << reg->name;
                    EXPECT_EQ(DecodeField(reg->readFields[0], t.Data()), values[0]) << reg->name;
                } else {
                    std::vector<int32_t> decoded = DecodeFields(reg->readFields, t.Data());
                    decoded.resize(values.size()); // read-only extras such as the LP flag
                    EXPECT_EQ(decoded, values) << reg->name;
                }
            }
        }
    }
}

TEST(RegisterMap, SystemTexts) {
    EXPECT_EQ(kStatusBitLabels[0], "X_ACTUAL1 = X_TARGET1");
    EXPECT_EQ(kStatusBitLabels[7], "INTERRUPT");
    EXPECT_EQ(kRampModeNames[3], "HOLD");
    EXPECT_EQ(kRefConfNames[3], "REF_RnL");
    EXPECT_EQ(kInterruptMaskNames[7], "MASK_STOP_RIGHT_HIGH");
    EXPECT_EQ(kInterruptFlagNames[0], "INT_POS_END");
    EXPECT_EQ(kRefSwitchInputNames[5], "Left 3");
    EXPECT_EQ(StatusTargetReached(2), 0x10);
    EXPECT_EQ(StatusReferenceSwitch(1), 0x08);
}

} // namespace
} // namespace vrx
