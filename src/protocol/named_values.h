#pragma once
// A command's result as a list of named values in the order they are shown: a number, a text, a
// flag or a physical quantity each. vrx630ctl prints them for people or as one JSON object; the
// Python module hands them over as a dict. Names are identifiers.

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace vrx {

// A physical value: the number for scripts, the text with its unit for people ("1,907 steps/s").
struct Quantity {
    double value;
    std::string text;
};

struct NamedValue {
    std::string name;
    // JSON: a number, a string, true/false, a number
    std::variant<long long, std::string, bool, Quantity> value;
};
using NamedValues = std::vector<NamedValue>;

NamedValue Number(std::string name, long long value);
NamedValue Text(std::string name, std::string text);
NamedValue Flag(std::string name, bool on);
NamedValue Measured(std::string name, double value, std::string text);
// Upper-case hexadecimal with at least `digits` digits.
std::string Hex(uint32_t value, int digits);

} // namespace vrx
