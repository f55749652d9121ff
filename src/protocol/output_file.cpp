#include "protocol/output_file.h"

#include "protocol/command_errors.h"

namespace vrx {

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
    throw FileError("cannot write " + path_ + ": " + file_.Error());
}

} // namespace vrx
