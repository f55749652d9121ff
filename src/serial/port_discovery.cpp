#include "serial/port_discovery.h"

#include "serial/device_name.h"

#include <algorithm>
#include <cctype>

namespace vrx {

namespace {

// Cuts "<tag><digits>" off the end of `name` where it ends so; interface numbers are hexadecimal.
void CutNumberedSuffix(std::string_view& name, std::string_view tag, bool hex) {
    const size_t at = name.rfind(tag);
    if (at == std::string_view::npos || at == 0 || at + tag.size() == name.size()) {
        return;
    }
    const std::string_view number = name.substr(at + tag.size());
    const bool digits = std::all_of(number.begin(), number.end(), [hex](char c) {
        const auto u = static_cast<unsigned char>(c);
        return hex ? std::isxdigit(u) != 0 : std::isdigit(u) != 0;
    });
    if (digits) {
        name = name.substr(0, at);
    }
}

} // namespace

std::vector<SerialPortInfo> ListPortChoices([[maybe_unused]] const std::string& devDir) {
    std::vector<SerialPortInfo> choices;
    for (int n = 1; n <= kFixedComPorts; ++n) {
        const std::string name = "COM" + std::to_string(n);
        choices.push_back({name, ComPortDevice(n), std::string(), name});
    }
#ifdef _WIN32
    const std::vector<SerialPortInfo> present = ListSerialPorts();
#else
    const std::vector<SerialPortInfo> present = ListSerialPortsIn(devDir);
#endif
    for (const SerialPortInfo& info : present) {
        const auto fixed =
            std::find_if(choices.begin(), choices.begin() + kFixedComPorts,
                         [&](const SerialPortInfo& c) { return c.port == info.port; });
        if (fixed != choices.begin() + kFixedComPorts) {
            *fixed = info; // COM1..COM9 keep their places, with the system's name for them
        } else {
            choices.push_back(info);
        }
    }
    return choices;
}

std::string ByIdDescription(std::string_view linkName) {
    std::string text(linkName);
    if (linkName.starts_with("usb-") && linkName.size() > 4) {
        std::string_view rest = linkName.substr(4);
        CutNumberedSuffix(rest, "-port", false);
        CutNumberedSuffix(rest, "-if", true);
        const size_t last = rest.rfind('_');
        std::string words(rest);
        if (last != std::string_view::npos && last > 0 && last + 1 < rest.size()) {
            words =
                std::string(rest.substr(0, last)) + " (" + std::string(rest.substr(last + 1)) + ")";
        }
        std::replace(words.begin(), words.end(), '_', ' ');
        // A model that ends in a replaced character ("USB2.0-Ser_") leaves a blank behind.
        const size_t begin = words.find_first_not_of(' ');
        if (begin != std::string::npos) {
            text = words.substr(begin, words.find_last_not_of(' ') + 1 - begin);
        }
    }
    for (char& c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7f) {
            c = '?';
        }
    }
    return text;
}

} // namespace vrx
