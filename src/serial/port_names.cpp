#include "serial/port_names.h"

#include <algorithm>
#include <cctype>
#include <string_view>
#include <utility>

namespace vrx {

namespace {

std::pair<std::string_view, long long> NumberedKey(std::string_view name) {
    size_t digits = name.size();
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(name[digits - 1]))) {
        --digits;
    }
    if (digits == name.size() || name.size() - digits > 9) {
        return {name, -1}; // no number, or one too long to be a port's: by the name alone
    }
    return {name.substr(0, digits), std::stoll(std::string(name.substr(digits)))};
}

} // namespace

void SortPortNames(std::vector<std::string>& names) {
    std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return NumberedKey(a) < NumberedKey(b);
    });
}

} // namespace vrx
