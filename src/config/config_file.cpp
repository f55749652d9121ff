#include "config/config_file.h"

#include "chip/ram_table.h"
#include "chip/register_names.h"

// toml++ 3.3 fails its own assertions on some malformed files (a '}' in a list, for one), and a
// build with NDEBUG takes them for facts: undefined behaviour. Here each one is checked in every
// build, and one that fails refuses the file.
// (Where a check sits in a function that may not throw, a failed one ends the program, as an
// assertion does.)
namespace vrx {
struct TomlParserFault {};
[[noreturn]] void TomlAssertionFailed();
} // namespace vrx
#define TOML_ASSERT(expr) ((expr) ? static_cast<void>(0) : ::vrx::TomlAssertionFailed())
#ifdef NDEBUG
#undef NDEBUG // else toml++ drops the check above
#include <toml++/toml.h>
#define NDEBUG
#else
#include <toml++/toml.h>
#endif

#include <cctype>
#include <cstdio>
#include <set>

namespace vrx {

void TomlAssertionFailed() {
    throw TomlParserFault{};
}

namespace {

std::string HexByte(uint8_t value) {
    static const char digits[] = "0123456789ABCDEF";
    return {digits[value >> 4], digits[value & 15]};
}

// A TOML basic string: in double quotes, with the quote, the backslash and control characters
// escaped, and anything beyond ASCII as '?'.
std::string Quoted(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (static_cast<unsigned char>(c) > 0x7F) {
            quoted += '?'; // a file holds ASCII only
        } else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04X",
                          unsigned(static_cast<unsigned char>(c)));
            quoted += escape;
        } else {
            quoted += c;
        }
    }
    return quoted + '"';
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        c = char(std::tolower(static_cast<unsigned char>(c)));
    }
    return lower;
}

// The refusal of a file, thrown from deep in the walk and caught once.
struct Refusal {
    ConfigError error;
};

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// No key or value of a configuration needs a character beyond ASCII, and the TOML parser of the
// toml++ version Debian ships fails on many of them (an assertion, or undefined behaviour in a
// release build). So such text never reaches it: a byte above 0x7F outside a comment refuses
// the file with its place, and one inside a comment (a name, a remark) becomes '?'.
std::optional<ConfigError> KeepToAscii(std::string& text) {
    enum class In { Plain, Comment, Basic, Literal, MultiBasic, MultiLiteral } in = In::Plain;
    int line = 1;
    int column = 0;
    const auto at = [&](size_t i, std::string_view what) {
        return text.compare(i, what.size(), what) == 0;
    };
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        ++column;
        if (static_cast<unsigned char>(c) > 0x7F) {
            if (in != In::Comment) {
                return ConfigError{line, column, "a character that is not ASCII", ""};
            }
            text[i] = '?';
            continue;
        }
        if (c == '\n') {
            ++line;
            column = 0;
            if (in != In::MultiBasic && in != In::MultiLiteral) {
                in = In::Plain; // a single-line string left open is the parser's to report
            }
            continue;
        }
        switch (in) {
        case In::Plain:
            if (c == '#') {
                in = In::Comment;
            } else if (at(i, "\"\"\"") || at(i, "'''")) {
                in = c == '"' ? In::MultiBasic : In::MultiLiteral;
                i += 2;
                column += 2;
            } else if (c == '"' || c == '\'') {
                in = c == '"' ? In::Basic : In::Literal;
            }
            break;
        case In::Basic:
        case In::MultiBasic:
            if (c == '\\' && i + 1 < text.size() && text[i + 1] != '\n') {
                ++i; // an escaped character, the quote included
                ++column;
            } else if (in == In::Basic ? c == '"' : at(i, "\"\"\"")) {
                in = In::Plain;
            }
            break;
        case In::Literal:
        case In::MultiLiteral:
            if (in == In::Literal ? c == '\'' : at(i, "'''")) {
                in = In::Plain;
            }
            break;
        case In::Comment:
            break;
        }
    }
    return std::nullopt;
}

// `at`: the section and key at fault, as "motor2.X_TARGET", or a section alone.
[[noreturn]] void Refuse(const toml::source_region& where, std::string message, std::string at) {
    throw Refusal{
        {int(where.begin.line), int(where.begin.column), std::move(message), std::move(at)}};
}

std::string KeyIn(std::string_view section, const toml::key& key) {
    return std::string(section) + "." + std::string(key.str());
}

// Keys matched without regard to case: two that differ only in case name the same thing.
// `section` is empty for the sections themselves.
void RefuseDuplicate(std::set<std::string>& seen, const toml::key& key, std::string_view what,
                     std::string_view section) {
    if (!seen.insert(NormalName(key.str())).second) {
        Refuse(key.source(), std::string(what) + " " + std::string(key.str()) + " appears twice",
               section.empty() ? std::string(key.str()) : KeyIn(section, key));
    }
}

// True when the section has the format key (of the one format there is).
bool ReadFileSection(const toml::table& table) {
    bool hasFormat = false;
    std::set<std::string> seen;
    for (const auto& [key, node] : table) {
        RefuseDuplicate(seen, key, "key", "file");
        const std::string name = Lower(key.str());
        if (name == "format") {
            const auto format = node.value<int64_t>();
            if (!node.is_integer() || *format != kConfigFormat) {
                Refuse(node.source(), "[file] format must be 1, the only format this program reads",
                       KeyIn("file", key));
            }
            hasFormat = true;
        } else if (name == "saved_by" || name == "board") {
            if (!node.is_string()) {
                Refuse(node.source(), "[file] " + name + " must be a string", KeyIn("file", key));
            }
        } else {
            Refuse(key.source(), "[file] has no key " + std::string(key.str()), KeyIn("file", key));
        }
    }
    return hasFormat;
}

// Sixteen two-digit hexadecimal bytes separated by blanks.
bool ParseRow(std::string_view text, std::array<uint8_t, 16>& bytes) {
    size_t count = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        if (text[pos] == ' ' || text[pos] == '\t') {
            ++pos;
            continue;
        }
        if (count == bytes.size() || pos + 2 > text.size() ||
            !std::isxdigit(static_cast<unsigned char>(text[pos])) ||
            !std::isxdigit(static_cast<unsigned char>(text[pos + 1])) ||
            (pos + 2 < text.size() && text[pos + 2] != ' ' && text[pos + 2] != '\t')) {
            return false;
        }
        bytes[count++] = uint8_t(std::stoi(std::string(text.substr(pos, 2)), nullptr, 16));
        pos += 2;
    }
    return count == bytes.size();
}

void ReadRamSection(const toml::table& table, ChipConfig& config) {
    std::set<std::string> seen;
    for (const auto& [key, node] : table) {
        RefuseDuplicate(seen, key, "key", "ram");
        const std::string at = KeyIn("ram", key);
        if (Lower(key.str()) != "rows") {
            Refuse(key.source(), "[ram] has no key " + std::string(key.str()), at);
        }
        const toml::array* rows = node.as_array();
        if (rows == nullptr) {
            Refuse(node.source(), "[ram] rows must be a list of strings", at);
        }
        if (rows->size() > size_t(RamTable::kRows)) {
            Refuse((*rows)[RamTable::kRows].source(), "[ram] rows holds more than 8 rows", at);
        }
        for (size_t r = 0; r < rows->size(); ++r) {
            const toml::node& row = (*rows)[r];
            std::array<uint8_t, 16> bytes{};
            if (!row.is_string() || !ParseRow(*row.value<std::string>(), bytes)) {
                Refuse(row.source(),
                       "[ram] row " + std::to_string(r + 1) +
                           " is not sixteen two-digit hexadecimal bytes",
                       at);
            }
            for (size_t c = 0; c < bytes.size(); ++c) {
                config.ram[r * bytes.size() + c] = bytes[c];
            }
        }
        // The RAM is written whole or not at all: part of a table is no table.
        if (rows->size() < size_t(RamTable::kRows)) {
            Refuse(node.source(),
                   "[ram] rows holds " + std::to_string(rows->size()) + " of the 8 rows of the RAM",
                   at);
        }
    }
    if (seen.empty()) {
        Refuse(table.source(), "[ram] has no rows; the RAM needs all 8", "ram");
    }
}

void ReadFieldSection(ConfigSection section, const toml::table& table, ChipConfig& config) {
    const std::string_view sectionName = SectionName(section);
    const std::string prefix = "[" + std::string(sectionName) + "] ";
    std::set<std::string> seen;
    for (const auto& [key, node] : table) {
        RefuseDuplicate(seen, key, prefix + "key", sectionName);
        const std::string name(key.str());
        const std::string at = KeyIn(sectionName, key);
        const auto entry = FindEntry(section, name);
        if (!entry) {
            if (const auto why = WhyNotConfiguration(name)) {
                Refuse(key.source(), prefix + *why + "; a configuration does not hold it", at);
            }
            Refuse(key.source(), prefix + "has no field " + name, at);
        }
        // Whatever the chip holds: a saved chip loads back, P_MUL 0 of a chip after power-up too.
        const ValueRange limits = HeldRange(FieldOf(ConfigEntries()[*entry]));
        const std::string range = std::to_string(limits.min) + ".." + std::to_string(limits.max);
        if (!node.is_integer()) {
            Refuse(node.source(), prefix + name + " must be a whole number in " + range, at);
        }
        const int64_t value = *node.value<int64_t>();
        if (value < limits.min || value > limits.max) {
            Refuse(node.source(),
                   prefix + name + " = " + std::to_string(value) + " is outside " + range, at);
        }
        config.values[*entry] = int32_t(value);
    }
}

} // namespace

std::string ConfigText(const ChipConfig& config, const ConfigFileInfo& info) {
    std::string text = "# VRX630 configuration\n[file]\nformat = 1\n";
    text += "saved_by = " + Quoted(info.savedBy) + "\n";
    text += "board = " + Quoted(info.board) + "\n";
    const auto& entries = ConfigEntries();
    for (int section = 0; section < kConfigSections; ++section) {
        text += "\n[" + std::string(SectionName(ConfigSection(section))) + "]\n";
        for (size_t i = 0; i < entries.size(); ++i) {
            const ConfigEntry& entry = entries[i];
            if (int(RegisterOf(entry).section) != section || !config.values[i]) {
                continue;
            }
            const int32_t value = *config.values[i];
            text += entry.key + " = " + ValueText(entry, value) + "\n";
        }
    }
    text += "\n[ram]\nrows = [\n";
    for (int row = 0; row < RamTable::kRows; ++row) {
        text += "    \"";
        for (int column = 0; column < RamTable::kColumns; ++column) {
            text += (column > 0 ? " " : "") +
                    HexByte(config.ram[size_t(row * RamTable::kColumns + column)].value_or(0));
        }
        text += "\",\n";
    }
    text += "]\n";
    return text;
}

ParsedConfig ParseConfig(std::string_view text) {
    ParsedConfig parsed;
    if (text.size() > kMaxConfigFileBytes) {
        parsed.error =
            ConfigError{0, 0, "the file is larger than 1 MiB, more than any configuration", ""};
        return parsed;
    }
    try {
        std::string ascii(text.starts_with(kByteOrderMark) ? text.substr(kByteOrderMark.size())
                                                           : text);
        if (const auto error = KeepToAscii(ascii)) {
            throw Refusal{*error};
        }
        const toml::table root = toml::parse(ascii);
        std::set<std::string> seen;
        bool format = false;
        for (const auto& [key, node] : root) {
            RefuseDuplicate(seen, key, "section", "");
            const toml::table* table = node.as_table();
            const std::string name(key.str());
            if (table == nullptr) {
                Refuse(key.source(),
                       name + " is not a section; keys belong to [file], [motor1], [motor2], "
                              "[motor3], [global] or [ram]",
                       name);
            }
            const std::string lower = Lower(name);
            if (lower == "file") {
                format = ReadFileSection(*table);
            } else if (lower == "ram") {
                ReadRamSection(*table, parsed.config);
            } else if (const auto section = FindSection(name)) {
                ReadFieldSection(*section, *table, parsed.config);
            } else {
                Refuse(key.source(), "unknown section [" + name + "]", name);
            }
        }
        if (!format) {
            throw Refusal{{0, 0, "not a configuration file: [file] format is missing", "file"}};
        }
    } catch (const toml::parse_error& e) {
        parsed.error = ConfigError{int(e.source().begin.line), int(e.source().begin.column),
                                   "not TOML: " + std::string(e.description()), ""};
    } catch (const Refusal& refusal) {
        parsed.error = refusal.error;
    } catch (const TomlParserFault&) {
        parsed.error =
            ConfigError{0, 0, "not TOML: the reader stopped at something it cannot take", ""};
    }
    if (parsed.error) {
        parsed.config = ChipConfig();
    }
    return parsed;
}

std::string ConfigErrorText(std::string_view file, const ConfigError& error) {
    std::string text(file);
    if (error.line > 0) {
        text += ", line " + std::to_string(error.line);
        if (error.column > 0) {
            text += ", column " + std::to_string(error.column);
        }
    }
    return text + ": " + error.message + ".";
}

} // namespace vrx
