#include "config/config_file.h"

#include "chip/ram_table.h"
#include "chip/register_names.h"

#include <toml++/toml.h>

#include <cctype>
#include <cstdio>
#include <set>

namespace vrx {

namespace {

std::string Binary(int32_t value, int width) {
    std::string digits = "0b";
    for (int bit = width - 1; bit >= 0; --bit) {
        digits += ((value >> bit) & 1) ? '1' : '0';
    }
    return digits;
}

std::string HexByte(uint8_t value) {
    static const char digits[] = "0123456789ABCDEF";
    return {digits[value >> 4], digits[value & 15]};
}

// A TOML basic string: in double quotes, with the quote, the backslash and control characters
// escaped.
std::string Quoted(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
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

// The TOML parser of the toml++ version Debian ships reaches a point it declares unreachable
// (undefined behaviour) when it asks whether many a character from U+00A1 to U+FEFE is a blank:
// in a quoted key, or where a value or key may follow. No key or value of a configuration is
// non-ASCII, so every two- and three-byte character is swapped for a letter of the same length
// that the parser handles (U+0500, U+4E00) before parsing: lines, columns and every refusal
// stay as they were. Malformed sequences are left for the parser to report.
std::string SafeForParser(std::string_view text) {
    std::string safe(text);
    const auto continuation = [&](size_t k) {
        return k < safe.size() && (static_cast<unsigned char>(safe[k]) & 0xC0) == 0x80;
    };
    for (size_t i = 0; i < safe.size(); ++i) {
        const auto lead = static_cast<unsigned char>(safe[i]);
        if ((lead & 0xE0) == 0xC0 && lead >= 0xC2 && continuation(i + 1)) {
            safe[i] = char(0xD4);
            safe[i + 1] = char(0x80);
            i += 1;
        } else if ((lead & 0xF0) == 0xE0 && continuation(i + 1) && continuation(i + 2) &&
                   !(lead == 0xE0 && static_cast<unsigned char>(safe[i + 1]) < 0xA0) && // overlong
                   !(lead == 0xED &&
                     static_cast<unsigned char>(safe[i + 1]) >= 0xA0)) { // surrogate
            safe.replace(i, 3, "\xE4\xB8\x80");
            i += 2;
        }
    }
    return safe;
}

[[noreturn]] void Refuse(const toml::source_region& where, std::string message) {
    throw Refusal{{int(where.begin.line), int(where.begin.column), std::move(message)}};
}

// Keys matched without regard to case: two that differ only in case name the same thing.
void RefuseDuplicate(std::set<std::string>& seen, const toml::key& key, std::string_view what) {
    if (!seen.insert(NormalName(key.str())).second) {
        Refuse(key.source(), std::string(what) + " " + std::string(key.str()) + " appears twice");
    }
}

void ReadFileSection(const toml::table& table) {
    std::set<std::string> seen;
    for (const auto& [key, node] : table) {
        RefuseDuplicate(seen, key, "key");
        const std::string name = Lower(key.str());
        if (name == "format") {
            const auto format = node.value<int64_t>();
            if (!node.is_integer() || *format != kConfigFormat) {
                Refuse(node.source(), "[file] format must be 1, the only format this program "
                                      "reads");
            }
        } else if (name == "saved_by" || name == "board") {
            if (!node.is_string()) {
                Refuse(node.source(), "[file] " + name + " must be a string");
            }
        } else {
            Refuse(key.source(), "[file] has no key " + std::string(key.str()));
        }
    }
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
        RefuseDuplicate(seen, key, "key");
        if (Lower(key.str()) != "rows") {
            Refuse(key.source(), "[ram] has no key " + std::string(key.str()));
        }
        const toml::array* rows = node.as_array();
        if (rows == nullptr) {
            Refuse(node.source(), "[ram] rows must be a list of strings");
        }
        if (rows->size() > size_t(RamTable::kRows)) {
            Refuse((*rows)[RamTable::kRows].source(), "[ram] rows holds more than 8 rows");
        }
        for (size_t r = 0; r < rows->size(); ++r) {
            const toml::node& row = (*rows)[r];
            std::array<uint8_t, 16> bytes{};
            if (!row.is_string() || !ParseRow(*row.value<std::string>(), bytes)) {
                Refuse(row.source(), "[ram] row " + std::to_string(r + 1) +
                                         " is not sixteen two-digit hexadecimal bytes");
            }
            for (size_t c = 0; c < bytes.size(); ++c) {
                config.ram[r * bytes.size() + c] = bytes[c];
            }
        }
    }
}

void ReadFieldSection(ConfigSection section, const toml::table& table, ChipConfig& config) {
    const std::string prefix = "[" + std::string(SectionName(section)) + "] ";
    std::set<std::string> seen;
    for (const auto& [key, node] : table) {
        RefuseDuplicate(seen, key, prefix + "key");
        const std::string name(key.str());
        const auto entry = FindEntry(section, name);
        if (!entry) {
            if (const auto why = WhyNotConfiguration(name)) {
                Refuse(key.source(), prefix + *why + "; a configuration does not hold it");
            }
            Refuse(key.source(), prefix + "has no field " + name);
        }
        const ConfigRange limits = RangeOf(FieldOf(ConfigEntries()[*entry]));
        const std::string range = std::to_string(limits.min) + ".." + std::to_string(limits.max);
        if (!node.is_integer()) {
            Refuse(node.source(), prefix + name + " must be a whole number in " + range);
        }
        const int64_t value = *node.value<int64_t>();
        if (value < limits.min || value > limits.max) {
            Refuse(node.source(),
                   prefix + name + " = " + std::to_string(value) + " is outside " + range);
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
            text += entry.key + " = " +
                    (entry.bitList ? Binary(value, FieldOf(entry).width) : std::to_string(value)) +
                    "\n";
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
            ConfigError{0, 0, "the file is larger than 1 MiB, more than any configuration"};
        return parsed;
    }
    try {
        const toml::table root = toml::parse(SafeForParser(text));
        std::set<std::string> seen;
        for (const auto& [key, node] : root) {
            RefuseDuplicate(seen, key, "section");
            const toml::table* table = node.as_table();
            const std::string name(key.str());
            if (table == nullptr) {
                Refuse(key.source(), name + " is not a section; keys belong to [file], "
                                            "[motor1], [motor2], [motor3], [global] or [ram]");
            }
            const std::string lower = Lower(name);
            if (lower == "file") {
                ReadFileSection(*table);
            } else if (lower == "ram") {
                ReadRamSection(*table, parsed.config);
            } else if (const auto section = FindSection(name)) {
                ReadFieldSection(*section, *table, parsed.config);
            } else {
                Refuse(key.source(), "unknown section [" + name + "]");
            }
        }
    } catch (const toml::parse_error& e) {
        parsed.error = ConfigError{int(e.source().begin.line), int(e.source().begin.column),
                                   "not TOML: " + std::string(e.description())};
    } catch (const Refusal& refusal) {
        parsed.error = refusal.error;
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
    }
    return text + ": " + error.message + ".";
}

} // namespace vrx
