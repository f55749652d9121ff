#pragma once
// The commands the simulated board received, as the program framed them, and the rule that at
// most one command is on the line: none leaves while the one before awaits its reply, unless
// the reply timeout has passed.

#include "sim/byte_trace.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace vrx::test {

// A command on the wire: its bytes, the time its first byte came.
struct Command {
    std::vector<uint8_t> bytes;
    double timeMs;
    bool ExpectsReply() const { return bytes.size() == 5 || bytes.size() == 1; }
};

inline std::vector<Command> Commands(const std::vector<sim::TraceEntry>& entries) {
    std::vector<Command> commands;
    for (size_t i = 0; i < entries.size();) {
        const uint8_t head = entries[i].byte;
        const size_t length = head == 0x23 ? 5 : (head == 0x50 || head == 0x53) ? 3 : 1;
        Command command{{}, entries[i].timeMs};
        for (size_t k = i; k < std::min(entries.size(), i + length); ++k) {
            command.bytes.push_back(entries[k].byte);
        }
        commands.push_back(command);
        i += length;
    }
    return commands;
}

// Each command that left while the one before it still awaited its reply (fewer than four
// reply bytes sent between them, and less than the reply timeout passed).
inline std::vector<std::string> CommandsOnTopOfAnother(const std::vector<sim::TraceEntry>& received,
                                                       const std::vector<sim::TraceEntry>& sent,
                                                       double timeoutMs) {
    std::vector<std::string> faults;
    const Command* previous = nullptr;
    const std::vector<Command> commands = Commands(received);
    for (const Command& command : commands) {
        if (!command.ExpectsReply()) {
            continue;
        }
        if (previous != nullptr) {
            const auto replyBytes = std::count_if(sent.begin(), sent.end(), [&](const auto& e) {
                return e.timeMs >= previous->timeMs && e.timeMs <= command.timeMs;
            });
            if (replyBytes < 4 && command.timeMs - previous->timeMs < timeoutMs - 30) {
                faults.push_back("a command at " + std::to_string(command.timeMs) +
                                 " ms while the one at " + std::to_string(previous->timeMs) +
                                 " ms waited for its reply");
            }
        }
        previous = &command;
    }
    return faults;
}

} // namespace vrx::test
