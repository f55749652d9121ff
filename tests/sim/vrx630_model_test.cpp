#include "chip/register_map.h"
#include "sim/vrx630_model.h"

#include <gtest/gtest.h>

#include <vector>

namespace vrx::sim {
namespace {

// Writes through telegram bytes and reads back the answer data, as the program does.
uint32_t WriteThenRead(Vrx630Model& model, const Telegram& write, const Telegram& read) {
    model.Execute(write);
    return model.Execute(read).Value();
}

std::vector<int32_t> SampleValues(const Field& field) {
    return {field.min, field.max, field.min + (field.max - field.min) / 3};
}

const Field* ReadFieldLike(const RegisterDef& reg, size_t writeIndex) {
    const Field& written = reg.writeFields[writeIndex];
    for (const Field& field : reg.readFields) {
        if (field.name == written.name && field.lowBit == written.lowBit) {
            return &field;
        }
    }
    return nullptr;
}

void ExpectRoundTrip(Vrx630Model& model, const RegisterDef& reg, int motor) {
    for (size_t sample = 0; sample < 3; ++sample) {
        std::vector<int32_t> values;
        for (const Field& field : reg.writeFields) {
            values.push_back(SampleValues(field)[sample]);
        }
        const uint32_t data =
            WriteThenRead(model, WriteTelegram(reg, motor, values), ReadTelegram(reg, motor));
        for (size_t i = 0; i < reg.writeFields.size(); ++i) {
            const Field* readField = ReadFieldLike(reg, i);
            ASSERT_NE(readField, nullptr) << reg.name;
            EXPECT_EQ(DecodeField(*readField, data), values[i])
                << reg.name << " field " << reg.writeFields[i].name << " motor " << motor;
        }
    }
}

TEST(Vrx630Model, EveryWritableMotorRegisterReadsBackWhatWasWritten) {
    for (int motor = 0; motor < kMotorCount; ++motor) {
        Vrx630Model model;
        for (const RegisterDef& reg : MotorRegisters()) {
            if (reg.writable && !reg.writeFields.empty()) {
                ExpectRoundTrip(model, reg, motor);
            }
        }
    }
}

TEST(Vrx630Model, EveryWritableGlobalRegisterReadsBackWhatWasWritten) {
    Vrx630Model model;
    for (const RegisterDef& reg : GlobalRegisters()) {
        if (reg.writable && !reg.writeFields.empty()) {
            ExpectRoundTrip(model, reg, 0);
        }
    }
}

TEST(Vrx630Model, BitsOutsideTheWriteLayoutAreStoredAsZero) {
    struct Case {
        const RegisterDef* reg;
        uint32_t expected; // read back after writing 0xFFFFFF
    };
    const Case cases[] = {
        {&Register(MotorReg::XTarget), 0xFFFFFF},
        {&Register(MotorReg::VMin), 0x000FFF},
        {&Register(MotorReg::VMax), 0x000FFF},
        {&Register(MotorReg::VTarget), 0x000FFF},
        {&Register(MotorReg::AMax), 0x000FFF},
        {&Register(MotorReg::Currents), 0xFFF7FF},
        {&Register(MotorReg::PMulPDiv), 0x00FF0F},
        {&Register(MotorReg::RefConfRampMode), 0x000F03},
        {&Register(MotorReg::Interrupts), 0x00FFFF},
        {&Register(MotorReg::Dividers), 0x00FF07},
        {&Register(MotorReg::DxRefTolerance), 0x000FFF},
        {&Register(GlobalReg::Cover), 0x003F1F},
        {&Register(GlobalReg::CoverTelegram), 0xFFFFFF},
        {&Register(GlobalReg::GlobalParameters), 0x31FFFF},
    };
    for (const Case& c : cases) {
        Vrx630Model model;
        const Telegram write = Telegram::Make(WriteByte(*c.reg, 1), 0xFFFFFF);
        EXPECT_EQ(WriteThenRead(model, write, ReadTelegram(*c.reg, 1)), c.expected) << c.reg->name;
    }
}

TEST(Vrx630Model, ReadOnlyRegistersIgnoreWritesAndXLatchedResetsOnWrite) {
    Vrx630Model model;
    model.Execute(Telegram::Make(RegisterByte(Motor1, 7, false), 0x000123)); // A_ACTUAL
    EXPECT_EQ(model.ReadRegister(Motor1, 7), 0u);
    model.Execute(Telegram::Make(RegisterByte(GlobalUnit, 1, false), 0x123456));
    EXPECT_EQ(model.ReadRegister(GlobalUnit, 1), 0u);
    model.Execute(Telegram::Make(RegisterByte(GlobalUnit, 14, false), 0x00003F));
    EXPECT_EQ(model.ReadRegister(GlobalUnit, 14), 0u);

    model.Motor(0).SetSwitches({-10, std::nullopt});
    model.Execute(WriteTelegram(Register(MotorReg::XActual), 0, std::vector<int32_t>{-25}));
    model.Advance(1); // the reference switch goes active at -25 and latches the position
    EXPECT_EQ(model.Execute(ReadTelegram(Register(MotorReg::XLatched), 0)).Value(), 0xFFFFE7u);
    model.Execute(WriteTelegram(Register(MotorReg::XLatched), 0, {}));
    EXPECT_EQ(model.ReadRegister(Motor1, 14), 0u);
}

TEST(Vrx630Model, RamWordsRoundTripTheirLowSixteenBits) {
    Vrx630Model model;
    for (unsigned word = 0; word < kRamWords; ++word) {
        const uint32_t data = 0xA50000 | RamWordData(uint8_t(2 * word), uint8_t(0xFF - word));
        model.Execute(Telegram::Make(RamByte(word, false), data));
    }
    for (unsigned word = 0; word < kRamWords; ++word) {
        const Answer answer = model.Execute(Telegram::Make(RamByte(word, true), 0));
        EXPECT_EQ(RamLowByte(answer.Value()), uint8_t(2 * word)) << word;
        EXPECT_EQ(RamHighByte(answer.Value()), uint8_t(0xFF - word)) << word;
        EXPECT_EQ(answer.a1, 0) << word; // bits 23..16 are not stored
    }
    // RAM and registers are separate: the register file is untouched.
    EXPECT_EQ(model.ReadRegister(Motor1, 0), 0u);
}

TEST(Vrx630Model, StatusByteShowsTargetReachedSwitchesCoverAndInterrupt) {
    Vrx630Model model;
    EXPECT_EQ(model.StatusByte(), 0x15); // all three motors stand on their target 0
    model.Execute(Telegram::Make(RegisterByte(Motor2, 0, false), 100));
    EXPECT_EQ(model.StatusByte(), 0x11);

    model.Motor(2).SetSwitches({0, 1000});
    EXPECT_EQ(model.StatusByte() & 0x20, 0x20); // the left switch is the reference switch
    model.Execute(Telegram::Make(RegisterByte(Motor3, 10, false), 0x000800)); // REF_RnL
    EXPECT_EQ(model.StatusByte() & 0x20, 0x00);
    EXPECT_EQ(model.ReadRegister(GlobalUnit, 14), 0x20u); // input "Left 3"

    model.Execute(Telegram::Make(RegisterByte(GlobalUnit, 3, false), 0x123456));
    EXPECT_EQ(model.StatusByte() & kStatusCoverWaiting, kStatusCoverWaiting);
    model.Advance(1);
    EXPECT_EQ(model.StatusByte() & kStatusCoverWaiting, 0);

    // A flag raises INTERRUPT only while its mask bit is set.
    model.Execute(Telegram::Make(RegisterByte(Motor1, 11, false), 0x000004));
    EXPECT_EQ(model.StatusByte() & kStatusInterrupt, 0);
    model.Execute(Telegram::Make(RegisterByte(Motor1, 11, false), 0x000404));
    EXPECT_EQ(model.StatusByte() & kStatusInterrupt, kStatusInterrupt);
}

TEST(Vrx630Model, EveryAnswerCarriesTheStatusByteAndWritesAnswerZeroData) {
    Vrx630Model model;
    const Answer write = model.Execute(Telegram::Make(RegisterByte(Motor1, 3, false), 0x7FF));
    EXPECT_EQ(write, Answer::Make(0x15, 0));
    const Answer read = model.Execute(Telegram::Make(RegisterByte(Motor1, 3, true), 0));
    EXPECT_EQ(read, Answer::Make(0x15, 0x7FF));
}

TEST(Vrx630Model, GetLowHighWordLatchesTheDriverDatagram) {
    Vrx630Model model;
    const int32_t positions[] = {0x1234, -2, 0x00AB};
    for (int m = 0; m < kMotorCount; ++m) {
        model.Execute(
            WriteTelegram(Register(MotorReg::XActual), m, std::vector<int32_t>{positions[m]}));
    }
    model.Execute(WriteTelegram(Register(GlobalReg::TelegramLowWord), 0, {}));
    // 48 bits: motor 3, motor 2, motor 1, sixteen bits each.
    EXPECT_EQ(model.Execute(ReadTelegram(Register(GlobalReg::TelegramLowWord))).Value(), 0xFE1234u);
    EXPECT_EQ(model.Execute(ReadTelegram(Register(GlobalReg::TelegramHighWord))).Value(),
              0x00ABFFu);
}

} // namespace
} // namespace vrx::sim
