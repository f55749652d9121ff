// The operating-voltage text of the VRX880 window.
#include "drivers/voltage_text.h"

#include <gtest/gtest.h>

namespace vrx {
namespace {

struct VoltageCase {
    uint16_t raw;
    QLocale::Language language;
    const char* text;
};

class VoltageTextTest : public testing::TestWithParam<VoltageCase> {};

TEST_P(VoltageTextTest, ShowsOneDecimalInTheLocale) {
    const VoltageCase& c = GetParam();
    EXPECT_EQ(VoltageText(c.raw, QLocale(c.language)).toStdString(), c.text) << c.raw;
}

INSTANTIATE_TEST_SUITE_P(Readings, VoltageTextTest,
                         testing::Values(VoltageCase{1023, QLocale::C, "38.0V"},
                                         VoltageCase{512, QLocale::C, "19.0V"},
                                         VoltageCase{300, QLocale::C, "11.1V"},
                                         VoltageCase{0, QLocale::C, "0.0V"},
                                         VoltageCase{65283, QLocale::C, "2425.0V"},
                                         VoltageCase{512, QLocale::German, "19,0V"},
                                         VoltageCase{65283, QLocale::German, "2425,0V"}));

} // namespace
} // namespace vrx
