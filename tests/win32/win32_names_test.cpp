// Port names on Windows: COMn opens as \\.\COMn, the system lists the board's port, and
// vrx630ctl names the ports present when a named one does not exist.
#include "board_port.h"
#include "ctl/ctl_run.h"
#include "serial/device_name.h"
#include "serial/port_names.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace vrx {
namespace {

TEST(Win32Names, ComPortsOpenByTheirDeviceName) {
    EXPECT_EQ(ResolveDeviceName("COM1"), "\\\\.\\COM1");
    EXPECT_EQ(ResolveDeviceName("com12"), "\\\\.\\COM12");
    EXPECT_EQ(ResolveDeviceName("\\\\.\\COM12"), "\\\\.\\COM12");
}

TEST(Win32Names, TheSystemListsTheBoardsPort) {
    const std::string port = test::BoardPort();
    ASSERT_FALSE(port.empty()) << "name the board's COM port in VRX_TEST_PORT";
    const std::vector<std::string> names = SystemPortNames();
    EXPECT_NE(std::find(names.begin(), names.end(), port), names.end())
        << port << " is not among the " << names.size() << " ports listed";
}

TEST(Win32Names, Vrx630ctlNamesThePortsPresentAndRefusesTheSimulatedBoard) {
    const std::string port = test::BoardPort();
    ASSERT_FALSE(port.empty()) << "name the board's COM port in VRX_TEST_PORT";
    const struct {
        std::vector<std::string> args;
        int status;
        std::string message;
    } cases[] = {
        {{"--port", "COM233", "identify"}, 1, "The port does not exist. Serial ports here: "},
        {{"--port", "COM233", "identify"}, 1, port},
        {{"--simulated", "plain", "identify"}, 2, "the simulated board runs on Linux"},
    };
    for (const auto& c : cases) {
        std::ostringstream out, err;
        EXPECT_EQ(ctl::Run(c.args, out, err), c.status) << c.args[1];
        EXPECT_NE(err.str().find(c.message), std::string::npos) << err.str();
        EXPECT_EQ(out.str(), "");
    }
}

} // namespace
} // namespace vrx
