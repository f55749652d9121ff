#pragma once
// Writes the bytes the board receives to a text file as they come, one line per byte: the time
// in milliseconds since the board started and the byte in hex, e.g. "1234.567 0x23". Lines are
// flushed per batch so the file can be followed while the board runs.

#include "sim/byte_trace.h"

#include <fstream>
#include <span>
#include <string>

namespace vrx::sim {

class TraceFileWriter {
public:
    bool Open(const std::string& path, std::string& error);
    void Write(std::span<const TraceEntry> entries);

    static std::string FormatLine(const TraceEntry& entry);

private:
    std::ofstream file_;
};

} // namespace vrx::sim
