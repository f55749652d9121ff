#include "chip/value_format.h"

#include <charconv>
#include <cstdio>

namespace vrx {

int32_t SignExtend(uint32_t value, int signBit) {
    if (signBit > 0 && signBit < 31 && value >= (uint32_t{1} << signBit)) {
        return static_cast<int32_t>(int64_t{value} - (int64_t{1} << (signBit + 1)));
    }
    return static_cast<int32_t>(value);
}

std::string FormatSlotValue(int32_t value, int signBit) {
    if (signBit < 0) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%0*X", -signBit, static_cast<unsigned>(value));
        return buf;
    }
    return std::to_string(value);
}

std::optional<int64_t> ParseWholeNumber(std::string_view text) {
    const bool negative = text.starts_with('-');
    if (negative) {
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
    } else if (text.size() > 2 && text[0] == '0' && (text[1] == 'b' || text[1] == 'B')) {
        base = 2;
    }
    if (base != 10) {
        text.remove_prefix(2);
    }
    uint64_t magnitude = 0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
        magnitude > (uint64_t{1} << 62)) {
        return std::nullopt;
    }
    return negative ? -int64_t(magnitude) : int64_t(magnitude);
}

std::string BitString(uint32_t value, int digits) {
    std::string text;
    text.reserve(digits > 0 ? static_cast<size_t>(digits) : 0);
    for (int bit = digits - 1; bit >= 0; --bit) {
        text += (bit < 32 && (value >> bit) & 1) ? '1' : '0';
    }
    return text;
}

uint32_t ParseBitString(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    uint32_t value = 0;
    uint32_t weight = 1;
    for (auto it = text.rbegin(); it != text.rend(); ++it) {
        if (blank(*it)) {
            break;
        }
        if (*it == '1') {
            value += weight;
        } else if (*it != '0') {
            throw BitStringError();
        }
        weight <<= 1; // wraps to 0 past 32 digits: higher digits no longer count
    }
    return value;
}

} // namespace vrx
