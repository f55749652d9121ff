#pragma once
// How the simulated board's serial line behaves: optional wire timing for performance work, and
// the fault knobs that make the board misbehave the way real boards and cables do.

#include <optional>
#include <string>

namespace vrx::sim {

constexpr int kBaudRate = 19200;
constexpr int kBitsPerByte = 10; // start bit, eight data bits, stop bit
constexpr double kByteTimeMs = 1000.0 * kBitsPerByte / kBaudRate;
// The byte sent after each reply when extraByte is set.
constexpr unsigned char kExtraByte = 0xEE;

struct LineOptions {
    // Bytes take 10 bits at 19200 baud in both directions: a reply cannot start before its
    // request has fully arrived at wire speed, and each reply byte takes one byte time to send.
    bool wireTiming = false;
    // Faults.
    bool silent = false;           // no replies at all
    int dropEvery = 0;             // every Nth reply is lost (0: none)
    int delayMs = 0;               // every reply goes out this much later
    std::optional<int> splitGapMs; // replies go out as their first two bytes, then the rest
    bool extraByte = false;        // one extra byte follows every reply
    int identDelayMs = 0;          // the identification goes out this much later
    // Answers this many telegram frames and queries, then hangs up when the next one comes.
    std::optional<int> hangUpAfter;
    std::optional<std::string> wrongIdent; // sent as given instead of the identification

    friend bool operator==(const LineOptions&, const LineOptions&) = default;
};

} // namespace vrx::sim
