#include "ctl/ram_files.h"

#include "chip/strict_ram_file.h"
#include "ctl/ctl_errors.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

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

OutputFile::OutputFile(std::string path) : path_(std::move(path)), part_(path_ + ".part") {
    errno = 0;
    file_.open(part_, std::ios::binary | std::ios::trunc);
    if (!file_) {
        throw UsageError("cannot write " + path_ + Reason());
    }
}

OutputFile::~OutputFile() {
    if (!committed_) {
        file_.close();
        std::error_code ignored;
        std::filesystem::remove(part_, ignored);
    }
}

void OutputFile::Commit(const std::string& text) {
    errno = 0;
    file_.write(text.data(), std::streamsize(text.size()));
    file_.close();
    if (!file_) {
        throw UsageError("cannot write " + path_ + Reason());
    }
    std::error_code error;
    std::filesystem::rename(part_, path_, error);
    if (error) {
        throw UsageError("cannot write " + path_ + ": " + error.message());
    }
    committed_ = true;
}

} // namespace vrx::ctl
