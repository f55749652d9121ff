// Port names on Windows: COMn opens as \\.\COMn, the system lists the board's port, the port
// list shows a port by its friendly name, and vrx630ctl names the ports present when a named one
// does not exist.
#include "board_port.h"
#include "ctl/ctl_run.h"
#include "serial/device_name.h"
#include "serial/port_discovery.h"
#include "serial/port_names.h"

#include <gtest/gtest.h>

#include <windows.h>

// initguid.h first: with it, devguid.h defines the class GUIDs in this file.
#include <initguid.h>

#include <devguid.h>
#include <setupapi.h>

#include <algorithm>
#include <optional>
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

// A device of the ports class with a friendly name and a port name, as a serial driver installs
// one; removed again at the end.
class PortsClassDevice {
public:
    PortsClassDevice(const wchar_t* friendlyName, const wchar_t* portName) {
        set_ = SetupDiCreateDeviceInfoList(&GUID_DEVCLASS_PORTS, nullptr);
        data_.cbSize = sizeof data_;
        created_ = set_ != INVALID_HANDLE_VALUE &&
                   SetupDiCreateDeviceInfoW(set_, L"PORTS", &GUID_DEVCLASS_PORTS, nullptr, nullptr,
                                            DICD_GENERATE_ID, &data_) &&
                   SetupDiRegisterDeviceInfo(set_, &data_, 0, nullptr, nullptr, nullptr);
        if (!created_) {
            return;
        }
        SetupDiSetDeviceRegistryPropertyW(set_, &data_, SPDRP_FRIENDLYNAME,
                                          reinterpret_cast<const BYTE*>(friendlyName),
                                          DWORD((wcslen(friendlyName) + 1) * sizeof(wchar_t)));
        const HKEY key =
            SetupDiCreateDevRegKeyW(set_, &data_, DICS_FLAG_GLOBAL, 0, DIREG_DEV, nullptr, nullptr);
        if (key != INVALID_HANDLE_VALUE) {
            RegSetValueExW(key, L"PortName", 0, REG_SZ, reinterpret_cast<const BYTE*>(portName),
                           DWORD((wcslen(portName) + 1) * sizeof(wchar_t)));
            RegCloseKey(key);
        }
    }
    ~PortsClassDevice() {
        if (created_) {
            SetupDiRemoveDevice(set_, &data_);
        }
        if (set_ != INVALID_HANDLE_VALUE) {
            SetupDiDestroyDeviceInfoList(set_);
        }
    }
    bool Created() const { return created_; }

private:
    HDEVINFO set_ = INVALID_HANDLE_VALUE;
    SP_DEVINFO_DATA data_{};
    bool created_ = false;
};

bool UnderWine() {
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

TEST(Win32Names, ThePortListShowsTheBoardsPortByItsFriendlyName) {
    const std::string port = test::BoardPort();
    ASSERT_FALSE(port.empty()) << "name the board's COM port in VRX_TEST_PORT";
    const auto listed = [&port] {
        const std::vector<SerialPortInfo> ports = ListSerialPorts();
        const auto it = std::find_if(ports.begin(), ports.end(),
                                     [&](const SerialPortInfo& p) { return p.port == port; });
        return it == ports.end() ? std::optional<SerialPortInfo>() : *it;
    };
    std::optional<SerialPortInfo> info = listed();
    ASSERT_TRUE(info.has_value()) << port << " is not listed";
    EXPECT_EQ(info->device, port);
    EXPECT_EQ(info->label, info->description.empty() ? port : info->description);
    if (!UnderWine()) {
        return; // a real system names its ports itself; no device is installed for the test
    }
    // Wine has no serial driver that installs its ports as devices: the test installs one.
    const std::wstring wide(port.begin(), port.end());
    const std::wstring friendly = L"USB Serial Port (" + wide + L")";
    const PortsClassDevice device(friendly.c_str(), wide.c_str());
    ASSERT_TRUE(device.Created()) << GetLastError();
    info = listed();
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->description, "USB Serial Port (" + port + ")");
    EXPECT_EQ(info->label, info->description);
}

TEST(Win32Names, Vrx630ctlNamesThePortsPresent) {
    const std::string port = test::BoardPort();
    ASSERT_FALSE(port.empty()) << "name the board's COM port in VRX_TEST_PORT";
    const struct {
        std::vector<std::string> args;
        int status;
        std::string message;
    } cases[] = {
        {{"--port", "COM233", "identify"}, 1, "The port does not exist. Serial ports here: "},
        {{"--port", "COM233", "identify"}, 1, port},
    };
    for (const auto& c : cases) {
        std::ostringstream out, err;
        EXPECT_EQ(ctl::Run(c.args, out, err), c.status) << c.args[1];
        EXPECT_NE(err.str().find(c.message), std::string::npos) << err.str();
        EXPECT_EQ(out.str(), "");
    }
}

// Without pseudo-terminals the tool serves its board over the board's loopback line.
TEST(Win32Names, Vrx630ctlServesTheSimulatedBoardItself) {
    std::ostringstream out, err;
    EXPECT_EQ(ctl::Run({"--simulated", "plain", "identify"}, out, err), 0) << err.str();
    EXPECT_TRUE(out.str().starts_with("board           VRX630 board\n")) << out.str();
}

} // namespace
} // namespace vrx
