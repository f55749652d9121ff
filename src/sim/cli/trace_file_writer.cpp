#include "sim/cli/trace_file_writer.h"

#include <cstdio>

namespace vrx::sim {

bool TraceFileWriter::Open(const std::string& path, std::string& error) {
    file_.open(path, std::ios::out | std::ios::trunc);
    if (!file_) {
        error = "cannot write the trace file " + path;
        return false;
    }
    file_ << "# time_ms byte\n";
    file_.flush();
    return true;
}

void TraceFileWriter::Write(std::span<const TraceEntry> entries) {
    for (const TraceEntry& entry : entries) {
        file_ << FormatLine(entry) << '\n';
    }
    file_.flush();
}

std::string TraceFileWriter::FormatLine(const TraceEntry& entry) {
    char line[48];
    std::snprintf(line, sizeof line, "%.3f 0x%02X", entry.timeMs,
                  static_cast<unsigned>(entry.byte));
    return line;
}

} // namespace vrx::sim
