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

} // namespace

std::string FormatQuantity(double value) {
    const double magnitude = std::abs(value);
    int decimals = 0;
    if (magnitude > 0) {
        const int wholeDigits = static_cast<int>(std::floor(std::log10(magnitude))) + 1;
        decimals = std::clamp(kSignificantDigits - wholeDigits, 0, kMaxDecimals);
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

std::string FormatStepRate(StepRate rate) {
    return FormatQuantity(rate.perSecond) + " steps/s";
}

std::string FormatStepAcceleration(StepAcceleration accel) {
    return FormatQuantity(accel.perSecondSquared) + " steps/s\xC2\xB2";
}

} // namespace vrx
