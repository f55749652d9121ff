#pragma once
// The resident memory of this process, for the benchmarks that report what they hold.

#include <unistd.h>

#include <fstream>

namespace vrx::bench {

inline long ResidentKb() {
    std::ifstream statm("/proc/self/statm");
    long size = 0;
    long resident = 0;
    statm >> size >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

} // namespace vrx::bench
