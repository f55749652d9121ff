#include "serial/port_names.h"

#include <windows.h>

#include <cstring>

namespace vrx {

std::vector<std::string> SystemPortNames() {
    // Every serial port driver enters its ports here, one value per port with the name as data.
    std::vector<std::string> names;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
        return names;
    }
    for (DWORD index = 0;; ++index) {
        char valueName[256];
        DWORD valueNameSize = sizeof valueName;
        char data[256] = {};
        DWORD dataSize = sizeof data - 1; // room for a terminator the registry may not store
        DWORD type = 0;
        const LONG result = RegEnumValueA(key, index, valueName, &valueNameSize, nullptr, &type,
                                          reinterpret_cast<BYTE*>(data), &dataSize);
        if (result == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (result == ERROR_SUCCESS && type == REG_SZ && data[0] != '\0') {
            names.emplace_back(data, strnlen(data, dataSize));
        }
    }
    RegCloseKey(key);
    SortPortNames(names);
    return names;
}

} // namespace vrx
