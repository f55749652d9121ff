#pragma once
// The values a pointer over a plot reads off: those of the column under it, as stored (the
// velocities and the acceleration as the magnitudes the curves show).

#include "controls/units_state.h"
#include "plots/plot_model.h"

#include <string>

namespace vrx {

// "Column 312: position 5000, velocity 120, target velocity 150, acceleration 30"; empty for a
// column that holds no pass yet. With `units` shown, each velocity and the acceleration is
// followed by its physical value: "velocity 1000 (1,907 steps/s)".
std::string CursorText(const PlotModel& model, int motor, int column,
                       const UnitsState* units = nullptr);

} // namespace vrx
