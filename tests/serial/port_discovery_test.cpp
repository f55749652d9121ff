// The port list over a fake device folder: by-id links to pseudo-terminals, devices without a
// link, a link whose adapter is gone.
#include "serial/port_discovery.h"

#include "support/pty_pair.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace vrx {
namespace {

namespace fs = std::filesystem;

TEST(ByIdDescription, MakerModelAndSerialFromTheLinkName) {
    const struct {
        const char* name;
        const char* description;
    } cases[] = {
        {"usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0", "FTDI FT232R USB UART (A1B2C3)"},
        {"usb-Arduino_Uno_8553-if0A", "Arduino Uno (8553)"},    // hexadecimal interface, no port
        {"usb-1a86_USB2.0-Ser_-if00-port0", "1a86 USB2.0-Ser"}, // no serial number
        {"usb-Bridge-if00", "Bridge"},
        {"usb-_-if00", "usb-_-if00"}, // nothing left: the name as it is
        {"pci-serial_port", "pci-serial_port"},
        {"usb-A_B\x01\x7f-if00", "A (B?"
                                 "?)"}, // control characters
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ByIdDescription(c.name), c.description) << c.name;
    }
}

class FakeDevTree : public testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/vrx630-dev-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dev = pattern;
        fs::create_directories(dev / "serial" / "by-id");
    }
    void TearDown() override { fs::remove_all(dev); }
    void Link(const fs::path& target, const std::string& name) {
        fs::create_symlink(target, dev / "serial" / "by-id" / name);
    }
    void Device(const std::string& name) { std::ofstream(dev / name).put('\0'); }

    fs::path dev;
};

TEST_F(FakeDevTree, LinksByNameThenTheDevicesNoLinkPointsAt) {
    test::PtyPair usb0, dual;
    ASSERT_FALSE(usb0.SlavePath().empty());
    ASSERT_FALSE(dual.SlavePath().empty());
    fs::create_symlink(usb0.SlavePath(), dev / "ttyUSB0"); // the adapter's device
    for (const char* name : {"ttyUSB10", "ttyUSB1", "ttyACM0", "ttyS0", "sda"}) {
        Device(name);
    }
    Link("../../ttyUSB0", "usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0"); // as udev links
    Link(dual.SlavePath(), "usb-FTDI_Dual_RS232-HS_FT4ABC-if01-port0");
    Link("../../ttyUSB9", "usb-FTDI_FT232R_USB_UART_GONE-if00-port0"); // just pulled

    const std::string d = dev.string() + "/";
    const std::string byId = d + "serial/by-id/";
    const std::vector<SerialPortInfo> expected = {
        {byId + "usb-FTDI_Dual_RS232-HS_FT4ABC-if01-port0", dual.SlavePath(),
         "FTDI Dual RS232-HS (FT4ABC)", "FTDI Dual RS232-HS (FT4ABC) on " + dual.SlavePath()},
        {byId + "usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0", d + "ttyUSB0",
         "FTDI FT232R USB UART (A1B2C3)", "FTDI FT232R USB UART (A1B2C3) on ttyUSB0"},
        {d + "ttyACM0", d + "ttyACM0", "", d + "ttyACM0"},
        {d + "ttyUSB1", d + "ttyUSB1", "", d + "ttyUSB1"},
        {d + "ttyUSB10", d + "ttyUSB10", "", d + "ttyUSB10"},
    };
    const std::vector<SerialPortInfo> ports = ListSerialPortsIn(dev.string() + "/");
    ASSERT_EQ(ports.size(), expected.size());
    for (size_t i = 0; i < ports.size(); ++i) {
        EXPECT_EQ(ports[i].port, expected[i].port) << i;
        EXPECT_EQ(ports[i].device, expected[i].device) << i;
        EXPECT_EQ(ports[i].description, expected[i].description) << i;
        EXPECT_EQ(ports[i].label, expected[i].label) << i;
    }
}

TEST_F(FakeDevTree, NoFolderNoPorts) {
    EXPECT_TRUE(ListSerialPortsIn((dev / "missing").string()).empty());
}

} // namespace
} // namespace vrx
