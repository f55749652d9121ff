#include "chip/physical_units.h"
#include "chip/register_map.h"
#include "chip/value_format.h"
#include "sim/vrx630_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

namespace vrx::sim {
namespace {

constexpr int kMotor = 1; // motor 2, so the unit select bits are exercised
// At 16 MHz, PULSDIV 7 and RAMPDIV 7 one velocity unit is 1.907 steps/s and one acceleration
// unit 15.26 velocity units/s: moves of a few thousand steps take seconds.
constexpr int kPulsDiv = 7;
constexpr int kRampDiv = 7;
const PhysicalUnits kUnits(kDefaultClockMhz, kPulsDiv, kRampDiv);

// Drives the model through telegrams like the program's Go sequence does.
class Bench {
public:
    explicit Bench(int pulsDiv = kPulsDiv, int rampDiv = kRampDiv) {
        Write(MotorReg::Dividers, {pulsDiv, rampDiv, 0});
    }
    void Write(MotorReg reg, std::vector<int32_t> values) {
        model.Execute(WriteTelegram(Register(reg), kMotor, values));
    }
    int32_t Read(MotorReg reg) {
        const RegisterDef& def = Register(reg);
        return SignExtend(model.Execute(ReadTelegram(def, kMotor)).Value(), def.displaySignBit);
    }
    bool TargetReachedBit() { return (model.StatusByte() & StatusTargetReached(kMotor)) != 0; }
    void Go(int mode, int vMax, int aMax, int32_t target, int vMin = 0, int refConf = 0) {
        Write(MotorReg::RefConfRampMode, {refConf, mode});
        Write(MotorReg::AMax, {aMax});
        Write(MotorReg::VMax, {vMax});
        Write(MotorReg::VMin, {vMin});
        Write(MotorReg::XTarget, {target});
    }

    Vrx630Model model;
};

struct RampCase {
    int mode;
    int vMax;
    int aMax;
    int32_t start;
    int32_t target;
    double minSeconds; // from the motion law, with a margin
    double maxSeconds;
    int pulsDiv = kPulsDiv;
    int rampDiv = kRampDiv;
};

void PrintTo(const RampCase& c, std::ostream* os) {
    *os << "mode " << c.mode << " V_MAX " << c.vMax << " A_MAX " << c.aMax << " from " << c.start
        << " to " << c.target << " PULSDIV " << c.pulsDiv << " RAMPDIV " << c.rampDiv;
}

class RampMove : public testing::TestWithParam<RampCase> {};

TEST_P(RampMove, EndsExactlyOnTargetWithinVMaxAndOnTime) {
    const RampCase& c = GetParam();
    Bench bench(c.pulsDiv, c.rampDiv);
    bench.Write(MotorReg::XActual, {c.start});
    bench.Go(c.mode, c.vMax, c.aMax, c.target);
    EXPECT_FALSE(bench.TargetReachedBit());
    int ms = 0;
    int maxSpeed = 0;
    int previousX = c.start;
    while (!bench.TargetReachedBit() && ms < 20000) {
        bench.model.Advance(1);
        ++ms;
        const int32_t x = bench.Read(MotorReg::XActual);
        maxSpeed = std::max(maxSpeed, std::abs(bench.Read(MotorReg::VActual)));
        // Never backwards, never beyond the target.
        ASSERT_GE((x - previousX) * (c.target > c.start ? 1 : -1), 0) << "at " << ms << " ms";
        ASSERT_LE(std::abs(x - c.start), std::abs(c.target - c.start)) << "at " << ms << " ms";
        previousX = x;
    }
    EXPECT_EQ(bench.Read(MotorReg::XActual), c.target);
    EXPECT_EQ(bench.Read(MotorReg::VActual), 0);
    EXPECT_EQ(bench.Read(MotorReg::AActual), 0);
    EXPECT_LE(maxSpeed, c.vMax);
    EXPECT_GE(ms / 1000.0, c.minSeconds);
    EXPECT_LE(ms / 1000.0, c.maxSeconds);
    // It stays there.
    bench.model.Advance(500);
    EXPECT_EQ(bench.Read(MotorReg::XActual), c.target);
    EXPECT_TRUE(bench.TargetReachedBit());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RampMove,
    testing::Values(
        // 5000 steps at V_MAX 1000: 1907 steps/s; A_MAX 100 accelerates in 0.66 s, 1000 in 0.07 s.
        RampCase{RampModeRamp, 1000, 100, 0, 5000, 3.2, 3.35},
        RampCase{RampModeRamp, 1000, 1000, 0, 5000, 2.6, 2.75},
        RampCase{RampModeRamp, 1000, 100, 2000, -3000, 3.2, 3.35},
        RampCase{RampModeRamp, 2047, 2047, 0, 3, 0.0, 0.1},   // never reaches V_MAX
        RampCase{RampModeRamp, 300, 5, 100, 130, 0.5, 3.0},   // tiny acceleration
        RampCase{RampModeSoft, 1000, 100, 0, 5000, 4.0, 6.0}, // gentler end takes longer
        RampCase{RampModeSoft, 1000, 1000, 0, -5000, 2.7, 3.2},
        RampCase{RampModeSoft, 500, 7, -8388000, -8387900, 0.5, 5.0},
        // The dividers at reset: 244,141 steps/s, V_MAX within 5 ms, some 250 steps a tick.
        RampCase{RampModeRamp, 1000, 100, 0, 5000, 0.024, 0.028, 0, 0},
        RampCase{RampModeSoft, 2047, 2047, 0, -100000, 0.19, 0.25, 0, 0}));

TEST(Motion, VMinIsTheStartAndStopVelocity) {
    Bench bench;
    bench.Go(RampModeRamp, 1000, 10, 1000, 200);
    bench.model.Advance(1);
    EXPECT_EQ(bench.Read(MotorReg::VActual), 200);
    int ms = 1;
    while (!bench.TargetReachedBit() && ms < 10000) {
        bench.model.Advance(1);
        ++ms;
        if (!bench.TargetReachedBit()) {
            EXPECT_GE(bench.Read(MotorReg::VActual), 200);
        }
    }
    EXPECT_EQ(bench.Read(MotorReg::XActual), 1000);
}

TEST(Motion, ATargetMovedBehindTheMotorIsApproachedAfterBraking) {
    Bench bench;
    bench.Go(RampModeRamp, 1000, 200, 10000);
    bench.model.Advance(1500); // at full speed now
    const int32_t x = bench.Read(MotorReg::XActual);
    bench.Write(MotorReg::XTarget, {x + 10});
    int ms = 0;
    int32_t furthest = x;
    while (!bench.TargetReachedBit() && ms < 10000) {
        bench.model.Advance(1);
        ++ms;
        furthest = std::max(furthest, bench.Read(MotorReg::XActual));
        EXPECT_LE(std::abs(bench.Read(MotorReg::AActual)), 200);
    }
    EXPECT_GT(furthest, x + 10); // it could not stop in ten steps
    EXPECT_EQ(bench.Read(MotorReg::XActual), x + 10);
}

struct VelocityCase {
    int vTarget;
    int aMax;
    int startVelocity;
};

void PrintTo(const VelocityCase& c, std::ostream* os) {
    *os << "V_TARGET " << c.vTarget << " A_MAX " << c.aMax << " from " << c.startVelocity;
}

class VelocityMode : public testing::TestWithParam<VelocityCase> {};

TEST_P(VelocityMode, ReachesTheTargetVelocityWithinAMax) {
    const VelocityCase& c = GetParam();
    Bench bench;
    bench.Write(MotorReg::VActual, {c.startVelocity});
    bench.Write(MotorReg::AMax, {c.aMax});
    bench.Write(MotorReg::VTarget, {c.vTarget});
    bench.Write(MotorReg::RefConfRampMode, {0, RampModeVelocity});
    // Velocity may change by A_MAX acceleration units per second, read every 10 ms.
    const double perSecond = c.aMax * kUnits.VelocityUnitsPerSecondPerAccelUnit();
    const double allowedStep = perSecond * 0.010 + 1;
    int previous = bench.Read(MotorReg::VActual);
    const int expectedMs = int(std::abs(c.vTarget - c.startVelocity) * 1000.0 / perSecond);
    int ms = 0;
    while (bench.Read(MotorReg::VActual) != c.vTarget && ms < 30000) {
        bench.model.Advance(10);
        ms += 10;
        const int v = bench.Read(MotorReg::VActual);
        EXPECT_LE(std::abs(v - previous), allowedStep) << ms;
        EXPECT_LE(std::abs(bench.Read(MotorReg::AActual)), c.aMax) << ms;
        previous = v;
    }
    EXPECT_EQ(bench.Read(MotorReg::VActual), c.vTarget);
    // V_ACTUAL shows the velocity rounded: it may read the target half a unit early.
    EXPECT_NEAR(ms, expectedMs, 10 + 500.0 / perSecond);
    const int32_t x = bench.Read(MotorReg::XActual);
    bench.model.Advance(1000);
    EXPECT_EQ(bench.Read(MotorReg::AActual), 0);
    EXPECT_NEAR(bench.Read(MotorReg::XActual) - x, kUnits.Velocity(c.vTarget).perSecond, 1);
}

INSTANTIATE_TEST_SUITE_P(Cases, VelocityMode,
                         testing::Values(VelocityCase{1000, 100, 0}, VelocityCase{-2048, 2047, 0},
                                         VelocityCase{-500, 50, 300}, VelocityCase{0, 1000, 2047},
                                         VelocityCase{2047, 1, 2000}));

TEST(Motion, HoldKeepsTheVelocityAsWrittenAndMovesThePosition) {
    Bench bench;
    bench.Write(MotorReg::AMax, {100});
    bench.Write(MotorReg::VTarget, {0});
    bench.Write(MotorReg::RefConfRampMode, {0, RampModeHold});
    bench.Write(MotorReg::VActual, {-750});
    bench.model.Advance(2000);
    EXPECT_EQ(bench.Read(MotorReg::VActual), -750);
    EXPECT_EQ(bench.Read(MotorReg::AActual), 0);
    EXPECT_EQ(bench.Read(MotorReg::XActual), -2861); // 1430.5 steps/s for 2 s
    bench.Write(MotorReg::VActual, {100});
    bench.model.Advance(500);
    EXPECT_EQ(bench.Read(MotorReg::XActual), -2766); // and 190.7 steps/s for 0.5 s

    // At the reset dividers the same integration stays exact at 244,140.625 steps/s.
    Bench fast(0, 0);
    fast.Write(MotorReg::RefConfRampMode, {0, RampModeHold});
    fast.Write(MotorReg::VActual, {1000});
    fast.model.Advance(1000);
    EXPECT_EQ(fast.Read(MotorReg::XActual), 244141);
}

TEST(Motion, PositionWrapsAsTwentyFourBitTwosComplement) {
    Bench bench;
    bench.Write(MotorReg::XActual, {8388600});
    bench.Write(MotorReg::RefConfRampMode, {0, RampModeHold});
    bench.Write(MotorReg::VActual, {10}); // 19.07 steps/s
    bench.model.Advance(1000);
    EXPECT_EQ(bench.Read(MotorReg::XActual), -8388597);
}

TEST(Motion, StopSwitchHaltsMotionTowardsItUnlessDisabled) {
    struct Case {
        const char* what;
        int refConf;
        bool stops;
        int pulsDiv = kPulsDiv;
    };
    const Case cases[] = {
        {"hard stop", 0x0, true},
        {"soft stop", 0x4, true},
        {"left stop disabled", 0x1, false},
        {"only right stop disabled", 0x2, true},
        // 122 steps a tick: the stop and the latch still land on the switch.
        {"hard stop at 122,070 steps/s", 0x0, true, 0},
        {"left stop disabled at 122,070 steps/s", 0x1, false, 0},
    };
    for (const Case& c : cases) {
        Bench bench(c.pulsDiv);
        bench.model.Motor(kMotor).SetSwitches({-100, 100});
        bench.Write(MotorReg::Interrupts, {0xFF, 0});
        bench.Go(RampModeRamp, 500, 200, -1000, 0, c.refConf);
        bench.model.Advance(5000);
        const int32_t x = bench.Read(MotorReg::XActual);
        const uint8_t flags = uint8_t(bench.Read(MotorReg::Interrupts) & 0xFF);
        if (c.stops) {
            if ((c.refConf & kRefConfSoftStop) == 0) {
                EXPECT_EQ(x, -100) << c.what;
            } else {
                EXPECT_LT(x, -100) << c.what; // brakes from the switch on
            }
            EXPECT_GT(x, -1000) << c.what;
            EXPECT_EQ(bench.Read(MotorReg::VActual), 0) << c.what;
            EXPECT_NE(flags & kIntStop, 0) << c.what;
            EXPECT_NE(bench.model.StatusByte() & kStatusInterrupt, 0) << c.what;
        } else {
            EXPECT_EQ(x, -1000) << c.what;
            EXPECT_EQ(flags & kIntStop, 0) << c.what;
        }
        EXPECT_NE(flags & kIntStopLeftHigh, 0) << c.what;
        EXPECT_NE(bench.model.StatusByte() & StatusReferenceSwitch(kMotor), 0) << c.what;
        EXPECT_EQ(bench.Read(MotorReg::XLatched), -100) << c.what;
    }
}

TEST(Motion, ArrivalRaisesPosEnd) {
    Bench bench;
    bench.Go(RampModeRamp, 1000, 1000, 50);
    bench.model.Advance(2000);
    EXPECT_TRUE(bench.TargetReachedBit());
    EXPECT_EQ(bench.Read(MotorReg::Interrupts) & kIntPosEnd, kIntPosEnd);
}

} // namespace
} // namespace vrx::sim
