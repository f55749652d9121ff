#include "chip/value_format.h"

#include <gtest/gtest.h>

namespace vrx {
namespace {

struct SignCase {
    uint32_t value;
    int signBit;
    int32_t expected;
};

class SignExtendTest : public testing::TestWithParam<SignCase> {};

TEST_P(SignExtendTest, InterpretsBySignBit) {
    EXPECT_EQ(SignExtend(GetParam().value, GetParam().signBit), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, SignExtendTest,
                         testing::Values(SignCase{0x800000, 23, -8388608},
                                         SignCase{0x7FFFFF, 23, 8388607},
                                         SignCase{0xFFFFFF, 23, -1}, SignCase{0xFFF, 11, -1},
                                         SignCase{0x7FF, 11, 2047}, SignCase{0x800, 11, -2048},
                                         // bits above the field are not masked off first
                                         SignCase{0x001800, 11, 2048}, SignCase{0x000800, 0, 2048},
                                         SignCase{0xFFFFFF, 0, 16777215},
                                         SignCase{0xABCDEF, -6, 0xABCDEF}));

TEST(FormatSlotValue, HexPadsToTheDigitCountAndDecimalKeepsTheSign) {
    EXPECT_EQ(FormatSlotValue(0xABC, -6), "000ABC");
    EXPECT_EQ(FormatSlotValue(0xFEDCBA, -6), "FEDCBA");
    EXPECT_EQ(FormatSlotValue(-5, 11), "-5");
    EXPECT_EQ(FormatSlotValue(0, 23), "0");
    EXPECT_EQ(FormatSlotValue(2048, 0), "2048");
    EXPECT_EQ(FormatSlotValue(-8388608, 23), "-8388608");
}

TEST(BitString, WritesMostSignificantBitFirst) {
    EXPECT_EQ(BitString(0xA5, 8), "10100101");
    EXPECT_EQ(BitString(5, 4), "0101");
    EXPECT_EQ(BitString(0xFF, 4), "1111"); // higher bits are cut off
    EXPECT_EQ(BitString(0, 0), "");
}

struct ParseCase {
    const char* text;
    uint32_t expected;
};

class ParseBitStringTest : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseBitStringTest, ReadsFromTheEnd) {
    EXPECT_EQ(ParseBitString(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ParseBitStringTest,
                         testing::Values(ParseCase{"10100101", 165}, ParseCase{"  0101  ", 5},
                                         ParseCase{"10 1", 1}, ParseCase{"", 0},
                                         ParseCase{"   ", 0}, ParseCase{"1", 1},
                                         ParseCase{"x 11", 3})); // stops at the blank

TEST(ParseBitString, RejectsOtherCharactersWithTheSystemText) {
    for (const char* bad : {"102", "1a", "abc", "1 0x1"}) {
        try {
            ParseBitString(bad);
            ADD_FAILURE() << "accepted " << bad;
        } catch (const BitStringError& e) {
            EXPECT_STREQ(e.what(), "Ung\xC3\xBCltige Bin\xC3\xA4rzahl");
        }
    }
}

TEST(ParseBitString, RoundTripsBitString) {
    for (uint32_t value : {0u, 1u, 0x5Au, 0xFFu, 0x123456u}) {
        EXPECT_EQ(ParseBitString(BitString(value, 24)), value);
    }
}

} // namespace
} // namespace vrx
