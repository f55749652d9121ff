#include "chip/ramp_calc.h"

#include <gtest/gtest.h>

namespace vrx {
namespace {

TEST(MinAMax, IsTwoToTheDividerDifferenceMinusOneAndAtLeastOne) {
    EXPECT_EQ(MinAMax(0, 0), 1);
    EXPECT_EQ(MinAMax(7, 3), 8);
    EXPECT_EQ(MinAMax(13, 0), 4096);
    EXPECT_EQ(MinAMax(0, 13), 1);
    EXPECT_EQ(MinAMax(1, 0), 1);
    EXPECT_EQ(MinAMax(2, 0), 2);
    EXPECT_EQ(MinAMax(15, 0), 16384);
}

struct PCase {
    int aMax, rampDiv, pulseDiv;
    PMulPDiv expected;
};

class CalcPMulPDivTest : public testing::TestWithParam<PCase> {};

TEST_P(CalcPMulPDivTest, CutsToEightSignificantBits) {
    const PCase& c = GetParam();
    EXPECT_EQ(CalcPMulPDiv(c.aMax, c.rampDiv, c.pulseDiv), c.expected)
        << c.aMax << "," << c.rampDiv << "," << c.pulseDiv;
}

INSTANTIATE_TEST_SUITE_P(Cases, CalcPMulPDivTest,
                         testing::Values(PCase{1000, 7, 3, {237, 6}}, PCase{500, 5, 5, {237, 3}},
                                         PCase{2047, 0, 0, {243, 1}}, PCase{1, 0, 0, {243, 12}},
                                         PCase{33, 6, 0, {250, 13}}, PCase{0, 0, 0, {128, 0}},
                                         PCase{0, 13, 13, {128, 0}}, PCase{1000, 3, 7, {128, 0}},
                                         PCase{100, 13, 0, {128, 0}},
                                         // m = 0.95 * 1024 / 2048 = 0.475 -> 243.2 at i = 6
                                         PCase{1024, 4, 0, {243, 6}}));

TEST(CalcPMulPDiv, EveryResultLiesInTheRegisterRanges) {
    for (int aMax = 0; aMax <= 2047; aMax += 7) {
        for (int rampDiv = 0; rampDiv <= 13; ++rampDiv) {
            for (int pulseDiv = 0; pulseDiv <= 13; ++pulseDiv) {
                const PMulPDiv r = CalcPMulPDiv(aMax, rampDiv, pulseDiv);
                ASSERT_GE(r.pMul, 128);
                ASSERT_LE(r.pMul, 255);
                ASSERT_GE(r.pDiv, 0);
                ASSERT_LE(r.pDiv, 13);
            }
        }
    }
}

} // namespace
} // namespace vrx
