#pragma once
// A command's result as a list of named values in the order they are shown: a number, a text or
// a flag each. vrx630ctl prints them for people or as one JSON object; the Python module hands
// them over as a dict. Names are identifiers.

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace vrx {

struct NamedValue {
    std::string name;
    std::variant<long long, std::string, bool> value; // JSON: a number, a string, true/false
};
using NamedValues = std::vector<NamedValue>;

NamedValue Number(std::string name, long long value);
NamedValue Text(std::string name, std::string text);
NamedValue Flag(std::string name, bool on);
// Upper-case hexadecimal with at least `digits` digits.
std::string Hex(uint32_t value, int digits);

} // namespace vrx
