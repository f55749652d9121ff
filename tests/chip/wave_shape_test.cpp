#include "chip/wave_shape.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

namespace vrx {
namespace {

std::string Hex(const std::array<uint8_t, kShapeEntries>& table) {
    std::string text;
    for (uint8_t entry : table) {
        char digits[4];
        std::snprintf(digits, sizeof digits, "%s%02X", text.empty() ? "" : " ", entry);
        text += digits;
    }
    return text;
}

std::string Repeat(const char* entry, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += std::string(" ") + entry;
    }
    return text;
}

struct ShapeCase {
    double sigma;
    std::string table;
};

class CalcShapeTableTest : public testing::TestWithParam<ShapeCase> {};

TEST_P(CalcShapeTableTest, GivesTheReferenceTable) {
    EXPECT_EQ(Hex(CalcShapeTable(GetParam().sigma)), GetParam().table) << GetParam().sigma;
}

const std::string kTriangle =
    "00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10 11 12 13 14 15 16 17 18 19 1A 1B 1C 1D 1E "
    "1F 20 20 21 22 23 24 25 26 27 28 29 2A 2B 2C 2D 2E 2F 30 31 32 33 34 35 36 37 38 39 3A 3B 3C "
    "3D 3E";
const std::string kTrapezoid = "00 01 03 04 06 07 08 0A 0B 0D 0E 0F 11 12 13 15 16 18 19 1A 1C 1D "
                               "1F 20 21 23 24 26 27 28 2A 2B" +
                               Repeat("2D", 32);

INSTANTIATE_TEST_SUITE_P(
    Sigmas, CalcShapeTableTest,
    testing::Values(
        ShapeCase{-1.0, kTriangle},
        ShapeCase{-0.5,
                  "00 01 03 04 05 06 08 09 0A 0B 0D 0E 0F 10 12 13 14 15 16 18 19 1A 1B 1C 1D "
                  "1E 20 21 22 23 24 25 26 27 28 29 2A 2B 2C 2D 2E 2F 30 31 31 32 33 34 35 36 "
                  "36 37 38 38 39 3A 3A 3B 3C 3C 3D 3D 3E 3E"},
        ShapeCase{0.0, "00 02 03 05 06 08 09 0B 0C 0E 0F 11 12 14 15 17 18 1A 1B 1C 1E 1F 20 22 23 "
                       "24 26 27 28 29 2A 2B 2D 2E 2F 30 31 32 33 34 34 35 36 37 38 38 39 3A 3A 3B "
                       "3B 3C 3C 3D 3D 3D 3E 3E 3E 3F 3F 3F 3F 3F"},
        ShapeCase{0.5, "00 01 03 04 06 07 09 0A 0C 0D 0F 10 11 13 14 16 17 19 1A 1B 1D 1E 20 21 22 "
                       "24 25 26 27 29 2A 2B 2D 2D 2E 2E 2F 2F 30 30 30 31 31 32 32 32 33 33 33 34 "
                       "34 34 34 35 35 35 35 35 35 36 36 36 36 36"},
        ShapeCase{1.0, kTrapezoid},
        // Out of range and not a number: clamped, the minimum.
        ShapeCase{2.0, kTrapezoid}, ShapeCase{-3.0, kTriangle},
        ShapeCase{std::nan(""), kTriangle}));

} // namespace
} // namespace vrx
