#pragma once
// How a front end spells the options of a command in its messages: vrx630ctl "--target",
// "--vmax-steps" and "--force", the Python module "target", "vmax_steps" and "force=True". The
// commands' checks say what to give in the caller's own words.

#include <algorithm>
#include <string>
#include <string_view>

namespace vrx {

struct OptionStyle {
    std::string_view prefix;     // before an option's name
    std::string_view flagSuffix; // after a flag's name, to switch it on
    char wordSeparator;          // between the words of a name, given with '_'

    std::string Option(std::string_view name) const {
        std::string option = std::string(prefix) + std::string(name);
        std::replace(option.begin() + long(prefix.size()), option.end(), '_', wordSeparator);
        return option;
    }
    std::string Flag(std::string_view name) const { return Option(name) + std::string(flagSuffix); }
};

inline constexpr OptionStyle kCommandLineOptions{"--", "", '-'};
inline constexpr OptionStyle kKeywordOptions{"", "=True", '_'};

} // namespace vrx
