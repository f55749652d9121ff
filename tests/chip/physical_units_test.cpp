#include "chip/motion_units.h"
#include "chip/physical_units.h"
#include "chip/quantity_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>

namespace vrx {
namespace {

enum class Kind { Velocity, Acceleration };

struct UnitCase {
    int clockMhz, pulsDiv, rampDiv;
    Kind kind;
    MotorReg reg;               // whose field bounds the raw value
    double physical;            // steps/s or steps/s^2
    std::optional<int32_t> raw; // the nearest raw value; nothing when refused
    bool exact;                 // physical is the image of raw
};

void PrintTo(const UnitCase& c, std::ostream* os) {
    *os << c.clockMhz << " MHz, PULSDIV " << c.pulsDiv << ", RAMPDIV " << c.rampDiv << ", "
        << Register(c.reg).name << " " << c.physical;
}

class PhysicalUnitsTest : public testing::TestWithParam<UnitCase> {};

TEST_P(PhysicalUnitsTest, MapsRawValuesToStepsAndBackToTheNearestValueInRange) {
    const UnitCase& c = GetParam();
    const PhysicalUnits units(c.clockMhz, c.pulsDiv, c.rampDiv);
    const Field& field = Register(c.reg).writeFields[0];
    const bool velocity = c.kind == Kind::Velocity;
    if (c.exact) {
        const double forward = velocity ? units.Velocity(*c.raw).perSecond
                                        : units.Acceleration(*c.raw).perSecondSquared;
        EXPECT_NEAR(forward, c.physical, std::abs(c.physical) * 1e-12);
    }
    const std::optional<int32_t> back = velocity ? units.RawVelocity({c.physical}, field)
                                                 : units.RawAcceleration({c.physical}, field);
    EXPECT_EQ(back, c.raw);
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr auto V = Kind::Velocity;
constexpr auto A = Kind::Acceleration;

INSTANTIATE_TEST_SUITE_P(
    Cases, PhysicalUnitsTest,
    testing::Values(
        // Both directions, values worked out from the law by hand.
        UnitCase{16, 7, 0, V, MotorReg::VMax, 1907.3486328125, 1000, true},
        UnitCase{16, 0, 0, V, MotorReg::VMax, 244140.625, 1000, true},
        UnitCase{32, 13, 0, V, MotorReg::VMax, 122.01070785522461, 2047, true},
        UnitCase{16, 5, 0, V, MotorReg::VTarget, -15625.0, -2048, true},
        UnitCase{16, 13, 0, V, MotorReg::VMin, 0.029802322387695312, 1, true},
        UnitCase{16, 7, 7, A, MotorReg::AMax, 29.103830456733704, 1, true},
        UnitCase{32, 5, 0, A, MotorReg::AMax, 59604.644775390625, 1, true},
        UnitCase{16, 13, 13, A, MotorReg::AMax, 14.54480980100925, 2047, true},
        UnitCase{32, 0, 0, A, MotorReg::AMax, 3904342651.3671875, 2047, true},
        UnitCase{32, 13, 5, A, MotorReg::AMax, 72.75957614183426, 10, true},
        // Rounding to the nearest raw value: 1000.4 and 1000.6 velocity units, 0.09 and 1.55
        // acceleration units.
        UnitCase{16, 7, 0, V, MotorReg::VMax, 1908.11838, 1000, false},
        UnitCase{16, 7, 0, V, MotorReg::VMax, 1908.49985, 1001, false},
        UnitCase{16, 7, 7, A, MotorReg::AMax, 2.5, 0, false},
        UnitCase{16, 7, 7, A, MotorReg::AMax, 45.0, 2, false},
        // Refused: nearest value beyond the field (2048, -1, -2049), far too large, not a number.
        UnitCase{16, 0, 0, V, MotorReg::VMax, 499853.515625, 2047, false}, // 2047.4 units
        UnitCase{16, 0, 0, V, MotorReg::VMax, 499902.34375, std::nullopt, false},
        UnitCase{16, 7, 0, V, MotorReg::VMax, -10.0, std::nullopt, false},
        UnitCase{16, 5, 0, V, MotorReg::VTarget, -15629.6, std::nullopt, false},
        UnitCase{16, 7, 7, A, MotorReg::AMax, 1e12, std::nullopt, false},
        UnitCase{16, 7, 7, A, MotorReg::AMax, kNaN, std::nullopt, false}));

TEST(QuantityFormat, KeepsAboutFourSignificantDigitsWithThousandsSeparators) {
    struct Case {
        double value;
        const char* text;
    };
    const Case cases[] = {
        {1907.3486328125, "1,907"},
        {244140.625, "244,141"},
        {3904342651.37, "3,904,342,651"},
        {29.103830456733704, "29.1"},
        {14.5448, "14.54"},
        {122.0107, "122"},
        {0.0298023, "0.0298"},
        {-15625.0, "-15,625"},
        {999.96, "1,000"},
        {0.0, "0"},
        {-1e-12, "0"},
        {-0.00001, "-0.00001"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatQuantity(c.value), c.text) << c.value;
    }
    const Case prefixed[] = {
        {1907.3486328125, "1.91k"}, {244140.625, "244k"}, {999960.0, "1M"},
        {976076698.0, "976M"},      {-29.1038, "-29.1"},  {0.0298023, "0.0298"},
    };
    for (const Case& c : prefixed) {
        EXPECT_EQ(FormatQuantityPrefixed(c.value, 3), c.text) << c.value;
    }
    EXPECT_EQ(FormatQuantityPrefixed(976076698.0, 4), "976.1M");
    EXPECT_EQ(FormatStepRate({1907.3486328125}), "1,907 steps/s");
    EXPECT_EQ(FormatStepAcceleration({29.103830456733704}), "29.1 steps/s\xC2\xB2");
}

TEST(MotionUnits, TakesEachMotorsDividersFromRegister12AndKeepsTheClockInRange) {
    MotionUnits units;
    EXPECT_DOUBLE_EQ(units.Of(2).Velocity(1000).perSecond, 244140.625); // reset: 16 MHz, 0/0
    units.SetDividers(2, 0x007703); // PULSDIV 7, RAMPDIV 7, microstep resolution 3
    EXPECT_DOUBLE_EQ(units.Of(2).Velocity(1000).perSecond, 1907.3486328125);
    EXPECT_DOUBLE_EQ(units.Of(2).Acceleration(1).perSecondSquared, 29.103830456733704);
    EXPECT_DOUBLE_EQ(units.Of(1).Velocity(1000).perSecond, 244140.625); // the others keep theirs
    units.SetDividers(4, 0x00D000);                                     // no such motor
    EXPECT_EQ(units.Dividers(3).pulsDiv, 0);
    units.SetClockMhz(32);
    EXPECT_DOUBLE_EQ(units.Of(2).Velocity(1000).perSecond, 2 * 1907.3486328125);
    units.SetClockMhz(0);
    EXPECT_EQ(units.ClockMhz(), kMinClockMhz);
    units.SetClockMhz(1000);
    EXPECT_EQ(units.ClockMhz(), kMaxClockMhz);
}

} // namespace
} // namespace vrx
