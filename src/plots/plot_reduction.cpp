#include "plots/plot_reduction.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace vrx {

namespace {

// The first pass at or after time `t` (a fraction of a millisecond included).
uint64_t FirstAtOrAfter(const PassHistory& history, double t) {
    if (t <= 0) {
        return history.FirstSeq();
    }
    if (t > double(UINT32_MAX)) {
        return history.EndSeq();
    }
    return history.LowerBound(uint32_t(std::ceil(t)));
}

} // namespace

size_t ValueIndex(PlotSeries series, int motor) {
    // A row holds X_ACTUAL, V_ACTUAL, A_ACTUAL, V_TARGET per motor.
    size_t k = 0;
    switch (series) {
    case PlotSeries::Position:
        k = 0;
        break;
    case PlotSeries::Velocity:
        k = 1;
        break;
    case PlotSeries::Acceleration:
        k = 2;
        break;
    case PlotSeries::TargetVelocity:
        k = 3;
        break;
    }
    return size_t(4 * motor) + k;
}

int64_t CurveValue(PlotSeries series, int32_t raw) {
    return series == PlotSeries::Position ? raw : std::abs(int64_t(raw));
}

ValueExtremes CurveExtremes(const PassHistory& history, PlotSeries series, int motor, uint64_t from,
                            uint64_t to) {
    const ValueExtremes raw = history.Extremes(ValueIndex(series, motor), from, to);
    if (series == PlotSeries::Position) {
        return raw;
    }
    // Magnitudes: the largest of either end; the smallest 0 where the values cross it.
    const int64_t low = std::abs(int64_t(raw.min));
    const int64_t high = std::abs(int64_t(raw.max));
    const int32_t most = int32_t(std::min<int64_t>(std::max(low, high), INT32_MAX));
    const int32_t least = raw.min <= 0 && raw.max >= 0
                              ? 0
                              : int32_t(std::min<int64_t>(std::min(low, high), INT32_MAX));
    return {least, most};
}

double ColumnOf(const PlotView::Range& range, int width, double timeMs) {
    return range.Span() > 0 ? (timeMs - range.start) * width / range.Span() : 0;
}

int PixelOf(const PlotView::Range& range, int width, double timeMs) {
    return int(std::floor(ColumnOf(range, width, timeMs)));
}

double TimeAt(const PlotView::Range& range, int width, double x) {
    return range.start + x * range.Span() / std::max(width, 1);
}

std::pair<uint64_t, uint64_t> PassesIn(const PassHistory& history, const PlotView::Range& range) {
    const uint64_t first = FirstAtOrAfter(history, range.start);
    // The right edge belongs to the view: the newest pass of a live view sits on it.
    const uint64_t end = std::max(first, FirstAtOrAfter(history, std::floor(range.end) + 1));
    return {first, end};
}

ReducedCurve ReduceCurve(const PassHistory& history, PlotSeries series, int motor,
                         const PlotView::Range& range, int width) {
    ReducedCurve curve;
    curve.columns.resize(size_t(std::max(width, 0)));
    if (history.Empty() || width <= 0 || range.Span() <= 0) {
        return curve;
    }
    const size_t value = ValueIndex(series, motor);
    const auto at = [&](uint64_t seq) { return CurveValue(series, history.Value(seq, value)); };
    const auto [first, end] = PassesIn(history, range);
    uint64_t seq = first;
    for (int x = 0; x < width && seq < end; ++x) {
        const uint64_t next =
            x + 1 == width ? end
                           : std::min(end, FirstAtOrAfter(history, TimeAt(range, width, x + 1)));
        if (next > seq) {
            PlotColumn& c = curve.columns[size_t(x)];
            const ValueExtremes e = CurveExtremes(history, series, motor, seq, next);
            c = {true,
                 at(seq),
                 at(next - 1),
                 e.min,
                 e.max,
                 history.TimeOf(seq),
                 history.TimeOf(next - 1)};
            seq = next;
        }
    }
    if (first > history.FirstSeq()) {
        const uint64_t s = first - 1;
        curve.before =
            PlotAnchor{ColumnOf(range, width, history.TimeOf(s)), at(s), history.TimeOf(s)};
    }
    if (end < history.EndSeq()) {
        curve.after =
            PlotAnchor{ColumnOf(range, width, history.TimeOf(end)), at(end), history.TimeOf(end)};
    }
    return curve;
}

ScaleLimits LimitsInView(const PassHistory& history, int motor, const PlotView::Range& range) {
    SeriesExtremes e;
    const auto [first, end] = PassesIn(history, range);
    if (first < end) {
        const auto most = [&](PlotSeries s) {
            return int64_t(CurveExtremes(history, s, motor, first, end).max);
        };
        e.vmax = most(PlotSeries::Velocity);
        e.amax = most(PlotSeries::Acceleration);
        e.tmax = most(PlotSeries::TargetVelocity);
        const ValueExtremes p = CurveExtremes(history, PlotSeries::Position, motor, first, end);
        e.pmax = std::max<int64_t>(p.max, -1);
        e.pmin = std::min<int64_t>(p.min, 0);
    }
    return LimitsFor(e);
}

} // namespace vrx
