#include "sim/board_variant.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace vrx::sim {
namespace {

// The program's identification table written out once more, independently of the board: tested
// in this order, first match wins, positions from 0.
BoardVariant Classify(std::string_view id) {
    if (id.size() != 10) {
        return BoardVariant::Plain;
    }
    if (id.substr(0, 3) == "ZEP") {
        return BoardVariant::Zepha;
    }
    if (id.substr(0, 3) == "ZAP") {
        return BoardVariant::Balsen;
    }
    if (id.substr(0, 2) == "EV" && id.substr(6, 4) == "V2.5") {
        return BoardVariant::Vrx516Kit;
    }
    if (id.substr(0, 2) == "EV" && id.substr(6, 3) == "V3.") {
        return BoardVariant::Vrx52xKit;
    }
    if (id.substr(0, 5) == "EV880") {
        return BoardVariant::Vrx880Kit;
    }
    return BoardVariant::Plain;
}

TEST(BoardVariant, EachIdentificationIsTenBytesAndClassifiesAsItsVariant) {
    for (BoardVariant variant : kAllVariants) {
        const std::string_view id = IdentificationText(variant);
        EXPECT_EQ(id.size(), kIdentificationLength) << VariantName(variant);
        EXPECT_EQ(Classify(id), variant) << id;
    }
}

TEST(BoardVariant, ClassifierFollowsTheFirstMatchingRow) {
    // Guards the classifier above: texts that match several rows go to the first.
    struct Case {
        std::string_view id;
        BoardVariant expected;
    };
    const Case cases[] = {
        {"EV880 V2.5", BoardVariant::Vrx516Kit}, {"EV880 V3.0", BoardVariant::Vrx52xKit},
        {"EV880 V1.0", BoardVariant::Vrx880Kit}, {"ZEPEV V2.5", BoardVariant::Zepha},
        {"EV630 V2.4", BoardVariant::Plain},     {"EV630V2.5x", BoardVariant::Plain},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Classify(c.id), c.expected) << c.id;
    }
}

TEST(BoardVariant, NamesRoundTripAndUnknownNamesAreRejected) {
    for (BoardVariant variant : kAllVariants) {
        EXPECT_EQ(ParseVariant(VariantName(variant)), variant);
    }
    EXPECT_EQ(ParseVariant("zepha"), BoardVariant::Zepha);
    EXPECT_EQ(ParseVariant("52x"), BoardVariant::Vrx52xKit);
    EXPECT_FALSE(ParseVariant("ZEPHA").has_value());
    EXPECT_FALSE(ParseVariant("").has_value());
    EXPECT_FALSE(ParseVariant("630").has_value());
}

} // namespace
} // namespace vrx::sim
