#include "config/config_export.h"

#include "chip/motion_units.h"
#include "chip/quantity_format.h"
#include "chip/register_names.h"
#include "chip/value_format.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <stdexcept>

namespace vrx {

namespace {

// Keywords and alternative tokens of C (up to C23) and C++ (up to C++20): a header for both
// may use none of them as a name.
// clang-format off
constexpr std::string_view kKeywords[] = {
    "alignas", "alignof", "and", "and_eq", "asm", "auto", "bitand", "bitor", "bool", "break",
    "case", "catch", "char", "char8_t", "char16_t", "char32_t", "class", "compl", "concept",
    "const", "consteval", "constexpr", "constinit", "const_cast", "continue", "co_await",
    "co_return", "co_yield", "decltype", "default", "delete", "do", "double", "dynamic_cast",
    "else", "enum", "explicit", "export", "extern", "false", "float", "for", "friend", "goto",
    "if", "inline", "int", "long", "mutable", "namespace", "new", "noexcept", "not", "not_eq",
    "nullptr", "operator", "or", "or_eq", "private", "protected", "public", "register",
    "reinterpret_cast", "requires", "restrict", "return", "short", "signed", "sizeof", "static",
    "static_assert", "static_cast", "struct", "switch", "template", "this", "thread_local",
    "throw", "true", "try", "typedef", "typeid", "typename", "typeof", "typeof_unqual", "union",
    "unsigned", "using", "virtual", "void", "volatile", "wchar_t", "while", "xor", "xor_eq"};
// clang-format on

std::string Hex2(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value & 0xFFu);
    return text;
}

// "steps/s" and "steps/s^2": a comment stays ASCII for every firmware tool chain.
std::string InSteps(UnitKind kind, double value) {
    return FormatQuantity(value) + (kind == UnitKind::Velocity ? " steps/s" : " steps/s^2");
}

std::string RamComment(const Telegram& t) {
    const unsigned word = t.RamWord();
    return "RAM word " + std::to_string(word) + ": byte " + Hex2(2 * word) + " = " +
           Hex2(RamLowByte(t.Data())) + ", byte " + Hex2(2 * word + 1) + " = " +
           Hex2(RamHighByte(t.Data()));
}

// The register's unit and index, then each field it writes with its value, velocities and
// accelerations also in steps/s at the clock and the motor's dividers.
std::string RegisterComment(const ConfigRegister& cr, uint32_t data,
                            const std::array<MotorDividers, kMotorCount>& dividers, int clockMhz) {
    const RegisterDef& reg = *cr.reg;
    const bool global = cr.section == ConfigSection::Global;
    const std::vector<int32_t> values = DecodeFields(reg.writeFields, data);
    std::string text = (global ? std::string("global") : "motor " + std::to_string(cr.motor + 1)) +
                       " register " + std::to_string(reg.index) + ":";
    for (size_t f = 0; f < values.size(); ++f) {
        const Field& field = reg.writeFields[f];
        const std::string key = NormalName(FieldName(reg, field));
        const auto entry = FindEntry(cr.section, key);
        const int32_t value = HeldValue(field, values[f]);
        text += (f == 0 ? " " : ", ") + key + " " +
                (entry ? ValueText(ConfigEntries()[*entry], value) : std::to_string(value));
        if (const auto kind = UnitKindOf(reg); kind && !global) {
            const MotorDividers& d = dividers[size_t(cr.motor)];
            text +=
                " = " +
                InSteps(*kind, PhysicalUnits(clockMhz, d.pulsDiv, d.rampDiv).InUnit(*kind, value));
        }
    }
    return text;
}

std::string Hex8(uint32_t word) {
    char text[12];
    std::snprintf(text, sizeof text, "%08X", unsigned(word));
    return text;
}

uint32_t WordOf(const Telegram& t) {
    return uint32_t(t.b0) << 24 | t.Data();
}

// A name as a comment may hold it: printable ASCII, and never the comment's end.
std::string CommentSafe(std::string text) {
    for (char& c : text) {
        if (c < 0x20 || c > 0x7E) {
            c = '?';
        }
    }
    for (size_t at = text.find("*/"); at != std::string::npos; at = text.find("*/", at)) {
        text.replace(at, 2, "* /");
    }
    return text;
}

std::string OpeningComment(const ExportSource& source, const ExportOptions& options, size_t words) {
    std::string text = "/*\n * VRX630 configuration from " + CommentSafe(source.name) + "\n";
    if (!source.sha256.empty()) {
        text += " * SHA-256 of the file: " + source.sha256 + "\n";
    }
    text += " * Exported by the VRX630 evaluation kit program " VRX_VERSION "; steps/s at a " +
            std::to_string(options.clockMhz) + " MHz clock.\n *\n * " + std::to_string(words) +
            " words, each one SPI telegram of 32 bits: send it most significant byte first,\n"
            " * with the chip select low for that word alone. In this order they take a chip "
            "from\n"
            " * reset to the configuration: the global registers, then motors 1 to 3, each "
            "register\n";
    text += options.ram ? " * whole (fields the source leaves out at their reset value 0), then "
                          "the RAM as 64\n"
                          " * words (byte 2k in bits 7..0, byte 2k+1 in bits 15..8).\n"
                        : " * whole (fields the source leaves out at their reset value 0). The "
                          "RAM is left out.\n";
    return text + " */\n";
}

} // namespace

std::string ExportNameProblem(std::string_view name) {
    const auto letter = [](char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; };
    const auto inName = [&](char c) {
        return letter(c) || c == '_' || std::isdigit(static_cast<unsigned char>(c)) != 0;
    };
    const std::string quoted = "\"" + std::string(name) + "\"";
    if (name.empty() || !(letter(name[0]) || name[0] == '_') ||
        !std::all_of(name.begin(), name.end(), inName)) {
        return quoted + " is not a C identifier (a letter or _, then letters, digits and _)";
    }
    if (name.size() > kMaxExportNameLength) {
        return quoted + " is longer than " + std::to_string(kMaxExportNameLength) + " characters";
    }
    if (std::find(std::begin(kKeywords), std::end(kKeywords), name) != std::end(kKeywords)) {
        return quoted + " is a keyword of C or C++";
    }
    // The array stands at file scope, where C reserves every name with a leading _.
    if (name[0] == '_' || name.find("__") != std::string_view::npos) {
        return quoted + " is reserved for the compiler (a leading _, or __)";
    }
    if (name.ends_with("_t")) {
        return quoted + " ends in _t, as the types of <stdint.h> do";
    }
    return {};
}

std::vector<Telegram> ExportWords(const ChipConfig& config, bool ram) {
    // A chip at reset holds 0 in every register and RAM byte, as an empty configuration reads.
    std::vector<Telegram> words;
    for (const ApplyStep& step : ApplySteps(ChipConfig(), config, true)) {
        if (ram || !step.telegram.IsRam()) {
            words.push_back(step.telegram);
        }
    }
    return words;
}

std::string ExportOptionsProblem(const ExportOptions& options) {
    if (const std::string problem = ExportNameProblem(options.name); !problem.empty()) {
        return "the name " + problem;
    }
    if (!ValidClockMhz(options.clockMhz)) {
        return "the clock must be " + std::to_string(kMinClockMhz) + ".." +
               std::to_string(kMaxClockMhz) + " MHz";
    }
    return {};
}

std::string ExportText(const ChipConfig& config, const ExportSource& source,
                       const ExportOptions& options) {
    if (const std::string problem = ExportOptionsProblem(options); !problem.empty()) {
        throw std::invalid_argument(problem);
    }
    const std::vector<Telegram> words = ExportWords(config, options.ram);
    std::string text;
    if (options.format == ExportFormat::Hex) {
        for (const Telegram& t : words) {
            text += Hex8(WordOf(t)) + "\n";
        }
        return text;
    }
    // Every register is written, one word each in their order, the RAM words after them. The
    // steps/s of a velocity follow the dividers its motor is given, whatever comes first.
    const auto& registers = ConfigRegisters();
    std::array<MotorDividers, kMotorCount> dividers{};
    for (size_t r = 0; r < registers.size(); ++r) {
        if (registers[r].reg == &Register(MotorReg::Dividers)) {
            dividers[size_t(registers[r].motor)] = DecodeDividers(words[r].Data());
        }
    }
    const std::string& name = options.name;
    text = OpeningComment(source, options, words.size());
    text += "#ifndef " + name + "_H\n#define " + name + "_H\n\n#include <stdint.h>\n\n";
    text += "#define " + name + "_WORDS " + std::to_string(words.size()) + "\n\n";
    text += "static const uint32_t " + name + "[" + name + "_WORDS] = {\n";
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string comment =
            i < registers.size()
                ? RegisterComment(registers[i], words[i].Data(), dividers, options.clockMhz)
                : RamComment(words[i]);
        text += "    0x" + Hex8(WordOf(words[i])) + "u, /* " + comment + " */\n";
    }
    text += "};\n\n#endif\n";
    return text;
}

std::string ExportSourceName(std::string_view path) {
#ifdef _WIN32
    const size_t slash = path.find_last_of("/\\");
#else
    const size_t slash = path.rfind('/');
#endif
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

} // namespace vrx
