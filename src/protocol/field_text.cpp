#include "protocol/field_text.h"

#include "chip/register_names.h"
#include "chip/value_format.h"
#include "protocol/command_errors.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

namespace vrx {

std::string RangeProblem(const std::string& text, long long min, long long max) {
    return text + " is out of range " + std::to_string(min) + ".." + std::to_string(max);
}

std::string NumberProblem(const std::string& text, long long min, long long max, int64_t& value) {
    const auto parsed = ParseWholeNumber(text);
    if (!parsed) {
        return "\"" + text + "\" is not a whole number (decimal, 0x hexadecimal or 0b binary)";
    }
    if (*parsed < min || *parsed > max) {
        return RangeProblem(text, min, max);
    }
    value = *parsed;
    return {};
}

void CheckOption(const OptionStyle& style, std::string_view option, long long value, long long min,
                 long long max) {
    if (value < min || value > max) {
        throw UsageError(style.Option(option) + ": " +
                         RangeProblem(std::to_string(value), min, max));
    }
}

std::optional<double> ParseUnitFraction(const std::string& text) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !std::isfinite(value) || value < -1 || value > 1) {
        return std::nullopt;
    }
    return value;
}

std::optional<uint8_t> ParseHexByte(const std::string& text) {
    const auto value = text.size() <= 2 ? ParseWholeNumber("0x" + text) : std::nullopt;
    if (!value || *value < 0) {
        return std::nullopt;
    }
    return uint8_t(*value);
}

std::string RampModeProblem(const std::string& text, int& mode) {
    for (size_t m = 0; m < kRampModeNames.size(); ++m) {
        if (NormalName(text) == kRampModeNames[m]) {
            mode = int(m);
            return {};
        }
    }
    return "\"" + text + "\" is not a ramp mode (RAMP, SOFTMODE, VELOCITY, HOLD)";
}

bool IsBitList(const Field& field) {
    return !BitNames(field).empty();
}

std::span<const std::string_view> BitNames(const Field& field) {
    if (field.name == "REF_CONF") {
        return kRefConfNames;
    }
    if (field.name == "INTERRUPT_MASK") {
        return kInterruptMaskNames;
    }
    if (field.name == "INTERRUPT_FLAGS") {
        return kInterruptFlagNames;
    }
    return {};
}

int32_t ParseFieldValue(const RegisterDef& reg, const Field& field, const std::string& text,
                        bool force, const std::string& forceFlag) {
    const std::string name = Identifier(FieldName(reg, field));
    // The register window shows these fields as bit strings; read as decimal, such a string
    // would be a wholly different value.
    if (IsBitList(field) && text.size() > 1 && text[0] == '0' && std::isdigit(uint8_t(text[1]))) {
        throw UsageError(name + ": \"" + text + "\" is ambiguous: write 0b" + text +
                         " for bits, or the number without leading zeros");
    }
    int64_t value = 0;
    const ValueRange range = force ? HeldRange(field) : AdvisedRange(field);
    const std::string problem = NumberProblem(text, range.min, range.max, value);
    if (!problem.empty()) {
        const ValueRange held = HeldRange(field);
        const auto parsed = ParseWholeNumber(text);
        const bool forceWould =
            !force && !forceFlag.empty() && parsed && held.min <= *parsed && *parsed <= held.max;
        throw UsageError(name + ": " + problem +
                         (forceWould ? "; the chip holds it: " + forceFlag + " writes it" : ""));
    }
    return int32_t(value);
}

NamedValue FieldValue(const RegisterDef& reg, const Field& field, int32_t value) {
    const std::string name = Identifier(FieldName(reg, field));
    if (IsBitList(field)) {
        return Text(name, "0b" + BitString(uint32_t(value), field.width));
    }
    if (reg.displaySignBit < 0) {
        return Text(name, "0x" + Hex(uint32_t(value), (field.width + 3) / 4));
    }
    return Number(name, value);
}

std::string RegisterTitle(const RegisterDef& reg) {
    std::string title;
    std::string_view rest = reg.name;
    for (;;) {
        const size_t slash = rest.find(" / ");
        title += Identifier(rest.substr(0, slash));
        if (slash == std::string_view::npos) {
            return title;
        }
        title += " / ";
        rest.remove_prefix(slash + 3);
    }
}

std::string Identifier(std::string_view name) {
    std::string id = NormalName(name);
    for (size_t at; (at = id.find("_=_")) != std::string::npos;) {
        id.replace(at, 3, "_EQ_");
    }
    return id;
}

} // namespace vrx
