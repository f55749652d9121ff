#include "sim/board_variant.h"

namespace vrx::sim {

namespace {

struct VariantInfo {
    BoardVariant variant;
    std::string_view name;
    // Exactly ten bytes each. The program recognises a board by fixed positions of this text,
    // first match winning: "ZEP", "ZAP", "EV" with "V2.5" at 6, "EV" with "V3." at 6, "EV880".
    // The kit texts are chosen so that each one matches its own pattern and no earlier one.
    std::string_view identification;
};

constexpr VariantInfo kVariants[] = {
    {BoardVariant::Plain, "plain", "VRX630V1.0"},   {BoardVariant::Zepha, "zepha", "ZEPHA V1.2"},
    {BoardVariant::Balsen, "balsen", "ZAP630V1.0"}, {BoardVariant::Vrx516Kit, "516", "EV630 V2.5"},
    {BoardVariant::Vrx52xKit, "52x", "EV630 V3.1"}, {BoardVariant::Vrx880Kit, "880", "EV880 V1.0"},
};

const VariantInfo& Info(BoardVariant variant) {
    for (const VariantInfo& info : kVariants) {
        if (info.variant == variant) {
            return info;
        }
    }
    return kVariants[0];
}

} // namespace

std::string_view IdentificationText(BoardVariant variant) {
    return Info(variant).identification;
}

std::string_view VariantName(BoardVariant variant) {
    return Info(variant).name;
}

std::optional<BoardVariant> ParseVariant(std::string_view name) {
    for (const VariantInfo& info : kVariants) {
        if (info.name == name) {
            return info.variant;
        }
    }
    return std::nullopt;
}

} // namespace vrx::sim
