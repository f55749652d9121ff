#pragma once
// Drawing of the plot window's surfaces: the four curves of a motor over the stretch of the
// history in view, reduced to one column per pixel; the numbers of its two scale strips; the
// time ticks below; and the cursors. Apart from the window so the benchmark draws the same.

#include "controls/units_state.h"
#include "plots/pass_history.h"
#include "plots/plot_reduction.h"
#include "plots/plot_view.h"
#include "plots/scale_limits.h"

#include <QColor>

class QPainter;

namespace vrx {

// Rows of the plot surface: a scale's lowest value sits on BaseRow, its highest FullScale rows
// above.
constexpr int kPlotBaseRow = 431;
constexpr int kPlotFullScale = 420;

enum class ScaleStrip {
    Left, // position (left edge) and target velocity (right)
    Right // velocity (left edge) and acceleration (right)
};

QColor PlotColor(PlotSeries series);

// The row of a curve's value on the scales `limits`.
int RowOf(PlotSeries series, int64_t value, const ScaleLimits& limits);

// Acceleration, target velocity and position first, velocity last so it lies on top. Passes
// further apart than a pause in polling are not joined: the gap shows as it was.
// `pale` draws them in paler shades, for a capture laid over the view; `shiftMs` moves the
// history's times by that much onto the view's.
void PaintPlotCurves(QPainter& canvas, const PassHistory& history, int motor,
                     const PlotView::Range& range, int width, const ScaleLimits& limits,
                     bool pale = false, double shiftMs = 0);
// One number per step of each scale, from its lowest value up to below its highest, the
// lowest on the base row; with `units` shown, the velocities and the acceleration in steps/s
// and steps/s² ("1.91k"), at the clock and dividers of `unitsNow`.
void PaintScaleStrip(QPainter& canvas, const ScaleLimits& limits, ScaleStrip strip, int width,
                     const UnitsState* units, const MotionUnits& unitsNow, int motor);
// Ticks in seconds along the time axis, a number under every few.
void PaintTimeStrip(QPainter& canvas, const PlotView::Range& range, int width, int height);

} // namespace vrx
