#pragma once
// PlotInterval: the smoothed time between two plot columns, as the time label shows it. Each
// advance halves the distance between the average and the latest interval; the label shows the
// average cut down to tens, or nothing ("---") for the first advance after a pause.

#include <cstdint>
#include <optional>

namespace vrx {

class PlotInterval {
public:
    // A column was added at `now` (milliseconds of the monotonic tick clock).
    void Advance(uint32_t now);
    // The plot paused: the next advance starts the average again.
    void Pause() { LastTick.reset(); }
    void Clear();

    // The milliseconds the label shows, or -1 for "---".
    int64_t Shown() const { return shown_; }

    std::optional<uint32_t> LastTick;
    // 64 bit: the first interval after the port was closed for weeks must not overflow.
    int64_t AvgInterval = -1;

private:
    int64_t shown_ = -1;
};

} // namespace vrx
