#pragma once
// Command-line arguments from a fuzzer's bytes, for the targets of the command lines: the
// arguments are separated by NUL bytes; at most kMaxArguments are taken.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace vrx::fuzz {

constexpr size_t kMaxArguments = 24;

inline std::vector<std::string> Arguments(const uint8_t* data, size_t size) {
    std::vector<std::string> args(1);
    for (size_t i = 0; i < size && args.size() <= kMaxArguments; ++i) {
        if (data[i] == 0) {
            args.emplace_back();
        } else {
            args.back() += char(data[i]);
        }
    }
    return args;
}

// A rule of the target that does not hold is a finding.
inline void Require(bool holds) {
    if (!holds) {
        std::abort();
    }
}

} // namespace vrx::fuzz
