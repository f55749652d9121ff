#pragma once
// The data export of one motor's plot: its filled columns (those drawn, 0 to SampleCount - 1)
// as comma-separated text with a header line, each with the milliseconds since the first of
// them ended and the values as stored (velocities as magnitudes), lines ending in CR LF.

#include "plots/plot_model.h"

#include <string>

namespace vrx {

std::string PlotCsv(const PlotModel& model, int motor);

} // namespace vrx
