#pragma once
// The board variants the simulated board can play, with the 10-byte identification each sends
// after the detection burst and the names the command line uses for them.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace vrx::sim {

enum class BoardVariant : uint8_t { Plain, Zepha, Balsen, Vrx516Kit, Vrx52xKit, Vrx880Kit };

constexpr std::array<BoardVariant, 6> kAllVariants = {
    BoardVariant::Plain,     BoardVariant::Zepha,     BoardVariant::Balsen,
    BoardVariant::Vrx516Kit, BoardVariant::Vrx52xKit, BoardVariant::Vrx880Kit};

constexpr size_t kIdentificationLength = 10;

// The ten identification bytes of a variant (ASCII text).
std::string_view IdentificationText(BoardVariant variant);

// Command-line name: plain, zepha, balsen, 516, 52x, 880.
std::string_view VariantName(BoardVariant variant);
std::optional<BoardVariant> ParseVariant(std::string_view name);

} // namespace vrx::sim
