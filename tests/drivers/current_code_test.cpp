// The current code of the VRX516 command: rounding with halves to even, and the clamp.
#include "drivers/current_code.h"

#include <gtest/gtest.h>

#include <climits>

namespace vrx {
namespace {

struct CodeCase {
    int milliamps;
    int code;
};

class CurrentCodeTest : public testing::TestWithParam<CodeCase> {};

TEST_P(CurrentCodeTest, ScalesToTheCodeByte) {
    EXPECT_EQ(CurrentCode(GetParam().milliamps), GetParam().code) << GetParam().milliamps;
}

INSTANTIATE_TEST_SUITE_P(Values, CurrentCodeTest,
                         testing::Values(CodeCase{0, 0}, CodeCase{1, 0}, CodeCase{2, 0},
                                         CodeCase{3, 1}, CodeCase{1000, 170}, CodeCase{1499, 255},
                                         CodeCase{1500, 255}));

// v * 255 / 1500 ends in .5 exactly: the even neighbour wins.
INSTANTIATE_TEST_SUITE_P(Halves, CurrentCodeTest,
                         testing::Values(CodeCase{50, 8}, CodeCase{150, 26}, CodeCase{250, 42},
                                         CodeCase{750, 128}, CodeCase{1350, 230},
                                         CodeCase{1450, 246}));

INSTANTIATE_TEST_SUITE_P(Clamped, CurrentCodeTest,
                         testing::Values(CodeCase{2000, 255}, CodeCase{INT_MAX, 255},
                                         CodeCase{-1, 0}, CodeCase{INT_MIN, 0}));

} // namespace
} // namespace vrx
