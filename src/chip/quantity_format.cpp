#include "chip/quantity_format.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

namespace vrx {

namespace {

constexpr int kSignificantDigits = 4;
constexpr int kMaxDecimals = 9;
constexpr int kPlainSignificantDigits = 6;
constexpr int kPlainMaxDecimals = 24; // far below the smallest unit of any divider and clock

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

// The magnitude rounded to `significant` digits but at most `maxDecimals` decimals, its
// trailing zeros dropped, split at the point: {"1907", "35"}.
std::pair<std::string, std::string> Digits(double magnitude, int significant, int maxDecimals) {
    int decimals = 0;
    if (magnitude > 0) {
        decimals = std::clamp(significant - WholeDigits(magnitude), 0, maxDecimals);
    }
    char buffer[400]; // the largest double has 309 whole digits
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, magnitude);
    std::string whole = buffer;
    std::string fraction;
    if (const size_t point = whole.find('.'); point != std::string::npos) {
        fraction = whole.substr(point + 1);
        whole.resize(point);
        while (!fraction.empty() && fraction.back() == '0') {
            fraction.pop_back();
        }
    }
    return {whole, fraction};
}

// The sign and the parts as one number; a value that rounds to zero shows no sign.
std::string Joined(double value, const std::string& whole, const std::string& fraction) {
    std::string result = fraction.empty() ? whole : whole + '.' + fraction;
    if (value < 0 && result != "0") {
        result.insert(0, 1, '-');
    }
    return result;
}

} // namespace

std::string FormatQuantity(double value) {
    const auto [whole, fraction] = Digits(std::abs(value), kSignificantDigits, kMaxDecimals);
    return Joined(value, GroupThousands(whole), fraction);
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
    const auto [whole, fraction] = Digits(std::abs(rounded), significant, kMaxDecimals);
    return Joined(rounded, GroupThousands(whole), fraction) + kPrefixes[prefix];
}

std::string PlainQuantity(double value) {
    const auto [whole, fraction] =
        Digits(std::abs(value), kPlainSignificantDigits, kPlainMaxDecimals);
    return Joined(value, whole, fraction);
}

std::string FormatInUnit(UnitKind kind, double value, bool compact) {
    const std::string number = compact && std::abs(value) >= 1e6
                                   ? FormatQuantityPrefixed(value, kSignificantDigits)
                                   : FormatQuantity(value);
    return number + (kind == UnitKind::Velocity ? " steps/s" : " steps/s\xC2\xB2");
}

std::string FormatStepRate(StepRate rate) {
    return FormatInUnit(UnitKind::Velocity, rate.perSecond);
}

std::string FormatStepAcceleration(StepAcceleration accel) {
    return FormatInUnit(UnitKind::Acceleration, accel.perSecondSquared);
}

} // namespace vrx
