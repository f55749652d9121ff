// Port names on every system: COM1..COM256 name the system's ports, everything else is a
// device as it stands; the device behind COMn is the system's own (tested with its backend).
#include "serial/device_name.h"

#include <gtest/gtest.h>

namespace vrx {
namespace {

TEST(DeviceName, ComNamesAreTheSystemsPortsAndOtherNamesStandAsTheyAre) {
    const struct {
        const char* name;
        int port; // 0: the name stands as it is
    } cases[] = {
        {"COM1", 1},   {"com9", 9},    {"Com12", 12},       {"COM256", 256},
        {"COM257", 0}, {"COM0", 0},    {"COM01", 0},        {"COMX", 0},
        {"COM", 0},    {"COM1234", 0}, {"/dev/ttyUSB0", 0}, {"\\\\.\\COM3", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ResolveDeviceName(c.name), c.port ? ComPortDevice(c.port) : c.name) << c.name;
    }
    EXPECT_NE(ComPortDevice(1), ComPortDevice(2));
}

} // namespace
} // namespace vrx
