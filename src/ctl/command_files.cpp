#include "ctl/command_files.h"

#include "chip/strict_ram_file.h"
#include "config/config_file.h"
#include "ctl/ctl_errors.h"

#include <cerrno>
#include <cstring>
#include <fstream>

namespace vrx::ctl {

namespace {

// The file's text; one byte more than `maxBytes` shows the reader a file that is too large,
// without reading it all.
std::string ReadInputFile(const std::string& path, size_t maxBytes) {
    errno = 0;
    std::ifstream file(path, std::ios::binary);
    const auto unreadable = [&] {
        return UsageError("cannot read " + path +
                          (errno != 0 ? std::string(": ") + std::strerror(errno) : ""));
    };
    if (!file) {
        throw unreadable();
    }
    std::string text(maxBytes + 1, '\0');
    file.read(text.data(), std::streamsize(text.size()));
    if (file.bad()) {
        throw unreadable();
    }
    text.resize(size_t(file.gcount()));
    return text;
}

ChipConfig LoadConfigFile(const std::string& path) {
    const ParsedConfig parsed = ParseConfig(ReadInputFile(path, kMaxConfigFileBytes));
    if (parsed.error) {
        throw UsageError(ConfigErrorText(path, *parsed.error));
    }
    return parsed.config;
}

RamTable LoadStrictRamFile(const std::string& path) {
    RamTable table;
    if (const auto error =
            ReadRamFileStrictly(ReadInputFile(path, kMaxStrictRamFileBytes), table)) {
        throw UsageError(path + " is not a .630 file: " + error->Text());
    }
    return table;
}

} // namespace

OutputFile::OutputFile(std::string path) : path_(std::move(path)), file_(path_) {
    if (!file_.Error().empty()) {
        Unwritable();
    }
}

void OutputFile::Commit(const std::string& text) {
    if (!file_.Commit(text)) {
        Unwritable();
    }
}

void OutputFile::Unwritable() const {
    throw UsageError("cannot write " + path_ + ": " + file_.Error());
}

CommandFiles::CommandFiles(const Invocation& inv) {
    const std::string& c = inv.command;
    if (c == "config diff" || c == "config load") {
        config = LoadConfigFile(inv.words.front());
    } else if (c == "ram write") {
        ram = LoadStrictRamFile(inv.words.front());
    } else if (c == "config save" || c == "ram read") {
        output.emplace(inv.words.front());
    } else if (c == "ram shape" && !inv.output.empty()) {
        output.emplace(inv.output);
    }
}

} // namespace vrx::ctl
