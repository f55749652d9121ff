#include "protocol/input_file.h"

#include "protocol/command_errors.h"

#include <cerrno>
#include <cstring>
#include <fstream>

namespace vrx {

std::string ReadInputFile(const std::string& path, size_t maxBytes) {
    errno = 0;
    std::ifstream file(path, std::ios::binary);
    const auto unreadable = [&] {
        return FileError("cannot read " + path +
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

} // namespace vrx
