#include "chip/register_map.h"
#include "sim/board_peripherals.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace vrx::sim {
namespace {

TEST(BoardPeripherals, LoadValuesFollowTheirMotorsSpeed) {
    Vrx630Model model;
    BoardPeripherals peripherals;
    EXPECT_EQ(peripherals.LoadValue(Vrx529, model), 0); // standing still
    // Motor 1 (VRX529) accelerating, then cruising fast; motor 2 (VRX526) slow.
    model.Motor(0).Write(MotorReg::Dividers, 0x0700); // RAMPDIV 7: 1.3 s up to V 2000
    model.Motor(0).Write(MotorReg::AMax, 100);
    model.Motor(0).Write(MotorReg::VTarget, 2000);
    model.Motor(0).Write(MotorReg::RefConfRampMode, RampModeVelocity);
    model.Motor(1).Write(MotorReg::RefConfRampMode, RampModeHold);
    model.Motor(1).Write(MotorReg::VActual, 100);
    model.Advance(100);
    const uint8_t accelerating = peripherals.LoadValue(Vrx529, model);
    model.Advance(3000);
    const uint8_t cruising = peripherals.LoadValue(Vrx529, model);
    EXPECT_GE(accelerating, 1);
    EXPECT_GT(cruising, accelerating);
    EXPECT_LE(cruising, 7);
    EXPECT_EQ(peripherals.LoadValue(Vrx526, model), 1);
    const auto answer = peripherals.Answer(kQueryLoadValues, model);
    EXPECT_EQ(answer[1], cruising);
    EXPECT_EQ(answer[2], 1);
    peripherals.PinLoadValue(Vrx526, 6);
    EXPECT_EQ(peripherals.LoadValue(Vrx526, model), 6);
}

TEST(BoardPeripherals, PotentiometerDriftsSlowlyAndVoltageStaysNearTwentyFourVolts) {
    BoardPeripherals peripherals;
    std::set<uint16_t> potValues;
    int largestJump = 0;
    uint16_t previous = peripherals.PotentiometerRaw(0);
    for (int64_t t = 0; t <= kPotentiometerPeriodMs; t += 100) {
        const uint16_t pot = peripherals.PotentiometerRaw(t);
        potValues.insert(pot);
        largestJump = std::max(largestJump, std::abs(int(pot) - int(previous)));
        previous = pot;
        const double volts = peripherals.VoltageRaw(t) / 1023.0 * 38.0;
        EXPECT_NEAR(volts, 24.0, 0.2) << t;
    }
    EXPECT_GT(potValues.size(), 100u); // it moves...
    EXPECT_LE(largestJump, 10);        // ...slowly
    EXPECT_GE(*potValues.begin(), kPotentiometerCentre - kPotentiometerSwing);
    EXPECT_LE(*potValues.rbegin(), kPotentiometerCentre + kPotentiometerSwing);
    peripherals.PinPotentiometer(77);
    peripherals.PinVoltage(300);
    EXPECT_EQ(peripherals.PotentiometerRaw(1234), 77);
    EXPECT_EQ(peripherals.VoltageRaw(1234), 300);
}

TEST(BoardPeripherals, QueriesCarryRawValuesLowByteFirst) {
    Vrx630Model model;
    model.Advance(7500); // a quarter period: the potentiometer at its top
    BoardPeripherals peripherals;
    const auto pot = peripherals.Answer(kQueryPotentiometer, model);
    EXPECT_EQ(pot[2] + 256 * pot[3], kPotentiometerCentre + kPotentiometerSwing);
    const auto voltage = peripherals.Answer(kQueryVoltage, model);
    EXPECT_EQ(voltage[0], 0);
    EXPECT_EQ(voltage[1], 0);
    EXPECT_NEAR(voltage[2] + 256 * voltage[3], kNominalVoltageRaw, 1);
    EXPECT_EQ(peripherals.Answer(kQueryModeByte, model)[3], 0x04); // enabled, three-phase
    EXPECT_TRUE(IsQuery(kQueryErrorFlags));
    EXPECT_FALSE(IsQuery(0x53));
}

} // namespace
} // namespace vrx::sim
