#pragma once
// The board variant named by the 10-byte answer to the detection burst.

#include <array>
#include <cstdint>
#include <string_view>

namespace vrx {

enum class BoardKind { Plain, Zepha, Balsen, Kit516, Kit52x, Kit880 };

using Identification = std::array<uint8_t, 10>;

// Patterns tested in order, the first match winning; anything else is a plain VRX630 board.
BoardKind IdentifyBoard(const Identification& bytes);

// The board as the program announces it: "VRX630/VRX52x evaluation board", "ZEPHA", ...
std::string_view BoardName(BoardKind kind);
// The variant's short name, as scripts choose a simulated board: plain, zepha, balsen, 516,
// 52x, 880.
std::string_view VariantName(BoardKind kind);

} // namespace vrx
