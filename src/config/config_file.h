#pragma once
// Configuration files: TOML, one key a line, so a text diff of two files reads well.
//
//   [file]    format = 1 (required), and who saved it from which board (information only)
//   [motor1] [motor2] [motor3] [global]
//             one key per configuration field, upper case when written, any case when read;
//             bit-list fields as binary integers of the field's width, others in decimal
//   [ram]     rows = eight strings of sixteen two-digit hexadecimal bytes, all eight
//
// A file is ASCII (a byte-order mark at the start is skipped; comments may hold any text).
//
// A file is checked whole before anything is taken from it: a section, key or value that is
// not what a configuration holds refuses the file, with the line and the key. A key or section
// the file leaves out keeps the chip's value.

#include "config/chip_config.h"

#include <optional>
#include <string>
#include <string_view>

namespace vrx {

constexpr int kConfigFormat = 1;
constexpr size_t kMaxConfigFileBytes = size_t{1} << 20;

struct ConfigFileInfo {
    std::string savedBy; // program and version
    std::string board;   // the board it was read from
};

std::string ConfigText(const ChipConfig& config, const ConfigFileInfo& info);

struct ConfigError {
    int line = 0; // from 1; 0 for the file as a whole
    int column = 0;
    std::string message;
    std::string key; // the section and key at fault ("motor2.X_TARGET"), a section, or empty
};

struct ParsedConfig {
    ChipConfig config;
    std::optional<ConfigError> error; // set: the file is refused and `config` means nothing
};

ParsedConfig ParseConfig(std::string_view text);

// "FILE, line L, column C: message", or "FILE: message" for the whole file.
std::string ConfigErrorText(std::string_view file, const ConfigError& error);

} // namespace vrx
