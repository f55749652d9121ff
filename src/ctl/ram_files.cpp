#include "ctl/ram_files.h"

#include "chip/strict_ram_file.h"
#include "ctl/ctl_errors.h"

#include <cerrno>
#include <cstring>
#include <fstream>

namespace vrx::ctl {

namespace {

std::string Reason() {
    return errno != 0 ? std::string(": ") + std::strerror(errno) : std::string();
}

} // namespace

RamTable LoadStrictRamFile(const std::string& path) {
    errno = 0;
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw UsageError("cannot read " + path + Reason());
    }
    // One byte more than a file may have shows that it is too long, without reading it all.
    std::string text(kMaxStrictRamFileBytes + 1, '\0');
    file.read(text.data(), std::streamsize(text.size()));
    if (file.bad()) {
        throw UsageError("cannot read " + path + Reason());
    }
    text.resize(size_t(file.gcount()));
    RamTable table;
    if (const auto error = ReadRamFileStrictly(text, table)) {
        throw UsageError(path + " is not a .630 file: " + error->Text());
    }
    return table;
}

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

} // namespace vrx::ctl
