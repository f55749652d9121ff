#pragma once
// Drawing of the plot window's surfaces from the model: the four curves of a motor and the
// numbers of its two scale strips. Apart from the window so the benchmark draws the same.

#include "controls/units_state.h"
#include "plots/plot_model.h"

#include <QColor>

class QPainter;

namespace vrx {

enum class ScaleStrip {
    Left, // position (left edge) and target velocity (right)
    Right // velocity (left edge) and acceleration (right)
};

QColor PlotColor(PlotSeries series);

// Acceleration, target velocity and position first, velocity last so it lies on top; the
// column being filled is left out.
void PaintPlotCurves(QPainter& canvas, const PlotModel& model, int motor);
// One number per step of each scale, from its lowest value up to below its highest, the
// lowest on the base row; with `units` shown, the velocities and the acceleration in steps/s
// and steps/s² ("1.91k").
void PaintScaleStrip(QPainter& canvas, const PlotModel& model, int motor, ScaleStrip strip,
                     int width, const UnitsState* units = nullptr);

} // namespace vrx
