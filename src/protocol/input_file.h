#pragma once
// A file a command reads whole before it sends anything, of a bounded size.

#include <string>

namespace vrx {

// The file's text; one byte more than `maxBytes` shows the reader a file that is too large,
// without reading it all. A FileError with the system's reason when it cannot be read.
std::string ReadInputFile(const std::string& path, size_t maxBytes);

} // namespace vrx
