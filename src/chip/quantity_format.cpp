#include "chip/quantity_format.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace vrx {

namespace {

constexpr int kSignificantDigits = 4;
constexpr int kMaxDecimals = 9;

std::string GroupThousands(const std::string& digits) {
    std::string grouped;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            grouped += ',';
        }
        grouped += digits[i];
    }
    return grouped;
}

int WholeDigits(double magnitude) {
    return static_cast<int>(std::floor(std::log10(magnitude))) + 1;
}

std::string Significant(double value, int significant) {
    const double magnitude = std::abs(value);
    int decimals = 0;
    if (magnitude > 0) {
        decimals = std::clamp(significant - WholeDigits(magnitude), 0, kMaxDecimals);
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, magnitude);
    std::string text = buffer;
    std::string fraction;
    if (const size_t point = text.find('.'); point != std::string::npos) {
        fraction = text.substr(point + 1);
        text.resize(point);
        while (!fraction.empty() && fraction.back() == '0') {
            fraction.pop_back();
        }
    }
    std::string result = GroupThousands(text);
    if (!fraction.empty()) {
        result += '.' + fraction;
    }
    // A value that rounds to zero shows no sign.
    if (value < 0 && result != "0") {
        result.insert(0, 1, '-');
    }
    return result;
}

} // namespace

std::string FormatQuantity(double value) {
    return Significant(value, kSignificantDigits);
}

std::string FormatQuantityPrefixed(double value, int significant) {
    static constexpr const char* kPrefixes[] = {"", "k", "M", "G", "T"};
    // Rounded first, so 999,960 at three digits becomes "1M", not "1,000k".
    double rounded = value;
    if (value != 0 && std::isfinite(value)) {
        const double scale = std::pow(10.0, WholeDigits(std::abs(value)) - significant);
        rounded = std::round(value / scale) * scale;
    }
    size_t prefix = 0;
    while (std::abs(rounded) >= 1000 && prefix + 1 < std::size(kPrefixes)) {
        rounded /= 1000;
        ++prefix;
    }
    return Significant(rounded, significant) + kPrefixes[prefix];
}

std::string FormatStepRate(StepRate rate) {
    return FormatQuantity(rate.perSecond) + " steps/s";
}

std::string FormatStepAcceleration(StepAcceleration accel) {
    return FormatQuantity(accel.perSecondSquared) + " steps/s\xC2\xB2";
}

} // namespace vrx
