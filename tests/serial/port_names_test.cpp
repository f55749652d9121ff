#include "serial/port_names.h"

#include <gtest/gtest.h>

namespace vrx {
namespace {

TEST(PortNames, SortedByNameThenByNumber) {
    const struct {
        std::vector<std::string> given;
        std::vector<std::string> sorted;
    } cases[] = {
        {{"COM10", "COM2", "COM1"}, {"COM1", "COM2", "COM10"}},
        {{"/dev/ttyUSB10", "/dev/ttyACM0", "/dev/ttyUSB2"},
         {"/dev/ttyACM0", "/dev/ttyUSB2", "/dev/ttyUSB10"}},
        {{"COM3", "COM", "AUX"}, {"AUX", "COM", "COM3"}},
        {{"COM99999999999", "COM5"}, {"COM5", "COM99999999999"}},
        {{}, {}},
    };
    for (auto c : cases) {
        SortPortNames(c.given);
        EXPECT_EQ(c.given, c.sorted);
    }
}

} // namespace
} // namespace vrx
