#pragma once
// What a plot surface draws of the history: the passes in view reduced to one column per pixel
// for each curve of a motor, with the first, last, smallest and largest value of the passes in
// the column, so a paint costs the width, not the history, and no peak is lost; and the scale
// limits from the values in view. Free of the user interface.

#include "plots/pass_history.h"
#include "plots/plot_view.h"
#include "plots/scale_limits.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace vrx {

// The four curves of a motor, as the legend names them.
enum class PlotSeries { Velocity, Position, Acceleration, TargetVelocity };
constexpr std::array<PlotSeries, 4> kPlotSeries = {PlotSeries::Velocity, PlotSeries::Position,
                                                   PlotSeries::Acceleration,
                                                   PlotSeries::TargetVelocity};

// The index of a curve's register value in a pass row.
size_t ValueIndex(PlotSeries series, int motor);
// What a curve draws of a raw value: the position as it is, the others as magnitudes.
int64_t CurveValue(PlotSeries series, int32_t raw);
// The curve's values over the passes [from, to), as CurveValue gives them.
ValueExtremes CurveExtremes(const PassHistory& history, PlotSeries series, int motor, uint64_t from,
                            uint64_t to);

struct PlotColumn {
    bool any = false;
    int64_t first = 0, last = 0, min = 0, max = 0;
    uint32_t firstMs = 0, lastMs = 0;
};

// A pass just outside the view, so a line leaves the surface towards it.
struct PlotAnchor {
    double x = 0; // pixel column, outside 0..width
    int64_t value = 0;
    uint32_t timeMs = 0;
};

struct ReducedCurve {
    std::vector<PlotColumn> columns; // one per pixel column
    std::optional<PlotAnchor> before, after;
};

// The pixel column of a time in `range` over `width` pixels.
double ColumnOf(const PlotView::Range& range, int width, double timeMs);
// The pixel column a pass at `timeMs` is drawn in.
int PixelOf(const PlotView::Range& range, int width, double timeMs);
// The time at the left edge of pixel column `x`.
double TimeAt(const PlotView::Range& range, int width, double x);

ReducedCurve ReduceCurve(const PassHistory& history, PlotSeries series, int motor,
                         const PlotView::Range& range, int width);
// The passes whose time lies in `range`: [first, end).
std::pair<uint64_t, uint64_t> PassesIn(const PassHistory& history, const PlotView::Range& range);
// The motor's scale limits from the values of the passes in `range`, by the rules of the
// scales; an empty view gives the smallest scales.
ScaleLimits LimitsInView(const PassHistory& history, int motor, const PlotView::Range& range);

} // namespace vrx
