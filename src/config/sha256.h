#pragma once
// SHA-256 of a byte string, as 64 lower-case hexadecimal digits: what an exported configuration
// names its source file by, so a header can be traced to the exact file it came from.

#include <string>
#include <string_view>

namespace vrx {

std::string Sha256Hex(std::string_view bytes);

} // namespace vrx
