#include "plots/plot_interval.h"

#include "serial/tick_clock.h"

namespace vrx {

void PlotInterval::Advance(uint32_t now) {
    if (!LastTick) {
        AvgInterval = 0;
        shown_ = -1;
    } else {
        AvgInterval = (static_cast<int64_t>(TicksSince(now, *LastTick)) + AvgInterval) / 2;
        shown_ = (AvgInterval / 10) * 10;
    }
    LastTick = now;
}

void PlotInterval::Clear() {
    LastTick.reset();
    AvgInterval = -1;
    shown_ = -1;
}

} // namespace vrx
