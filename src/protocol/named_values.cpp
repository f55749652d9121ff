#include "protocol/named_values.h"

#include <cstdio>

namespace vrx {

NamedValue Number(std::string name, long long value) {
    return {std::move(name), value};
}

NamedValue Text(std::string name, std::string text) {
    return {std::move(name), std::move(text)};
}

NamedValue Flag(std::string name, bool on) {
    return {std::move(name), on};
}

NamedValue Measured(std::string name, double value, std::string text) {
    return {std::move(name), Quantity{value, std::move(text)}};
}

std::string Hex(uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

} // namespace vrx
