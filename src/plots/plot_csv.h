#pragma once
// The data export of the plot window: every pass of the history in view, one line each, with
// its time and the motor's values as the plot draws them.

#include "plots/pass_history.h"
#include "plots/plot_view.h"

#include <string>

namespace vrx {

// "time_ms,position,velocity,target_velocity,acceleration", then a line per pass in `range`,
// its time counted from `originMs` (a capture's trigger: negative before it); the velocities and
// the acceleration as magnitudes, as plotted. CR LF line ends.
std::string PlotCsv(const PassHistory& history, int motor, const PlotView::Range& range,
                    int64_t originMs = 0);

} // namespace vrx
