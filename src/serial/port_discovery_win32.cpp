#include "serial/port_discovery.h"

#include "serial/port_names.h"

#include <windows.h>

// initguid.h first: with it, devguid.h defines the class GUIDs in this file.
#include <initguid.h>

#include <devguid.h>
#include <setupapi.h>

#include <map>

namespace vrx {

namespace {

std::string Utf8(const wchar_t* text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) {
        return {};
    }
    std::string utf8(size_t(size - 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), size, nullptr, nullptr);
    return utf8;
}

// The port name ("COM5") of a device of the ports class, from its device key.
std::string DevicePortName(HDEVINFO set, SP_DEVINFO_DATA& device) {
    const HKEY key = SetupDiOpenDevRegKey(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    if (key == INVALID_HANDLE_VALUE) {
        return {};
    }
    wchar_t name[64] = {};
    DWORD size = sizeof name - sizeof(wchar_t); // room for a terminator the registry may not store
    DWORD type = 0;
    const LONG result =
        RegQueryValueExW(key, L"PortName", nullptr, &type, reinterpret_cast<BYTE*>(name), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS && type == REG_SZ ? Utf8(name) : std::string();
}

// Port name to friendly name ("USB Serial Port (COM5)") of the ports present that have one.
std::map<std::string, std::string> FriendlyNames() {
    std::map<std::string, std::string> names;
    const HDEVINFO set =
        SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (set == INVALID_HANDLE_VALUE) {
        return names;
    }
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD index = 0; SetupDiEnumDeviceInfo(set, index, &device); ++index) {
        wchar_t friendly[256] = {};
        if (!SetupDiGetDeviceRegistryPropertyW(set, &device, SPDRP_FRIENDLYNAME, nullptr,
                                               reinterpret_cast<BYTE*>(friendly),
                                               sizeof friendly - sizeof(wchar_t), nullptr)) {
            continue;
        }
        const std::string port = DevicePortName(set, device);
        if (!port.empty()) {
            names[port] = Utf8(friendly);
        }
    }
    SetupDiDestroyDeviceInfoList(set);
    return names;
}

} // namespace

std::vector<SerialPortInfo> ListSerialPorts() {
    const std::map<std::string, std::string> friendly = FriendlyNames();
    std::vector<SerialPortInfo> ports;
    for (const std::string& name : SystemPortNames()) {
        const auto it = friendly.find(name);
        const std::string description = it == friendly.end() ? std::string() : it->second;
        ports.push_back({name, name, description, description.empty() ? name : description});
    }
    return ports;
}

} // namespace vrx
