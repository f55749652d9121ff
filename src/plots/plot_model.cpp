#include "plots/plot_model.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vrx {

namespace {

// Magnitude of a value; the one int32 without a positive twin saturates instead of overflowing.
int32_t Magnitude(int value) {
    return value == std::numeric_limits<int32_t>::min() ? std::numeric_limits<int32_t>::max()
                                                        : std::abs(value);
}

// A sample stored before its scale has caught up can lie far outside the plot; its row must
// still fit an int32 (register values never come near this bound).
constexpr double kRowBound = 1.0e9;

// The factors a clear leaves behind, until the next advance rescales every motor.
constexpr double kClearedMagnitudeFactor = PlotModel::FullScale / 2047.0;
constexpr double kClearedPositionFactor = PlotModel::FullScale / 16777215.0;

bool ValidMotor(int motor) {
    return motor >= 0 && motor < PlotModel::kMotors;
}

} // namespace

PlotModel::PlotModel(TickClock clock) : clock_(std::move(clock)) {
    Clear();
    limits_.fill(ScaleLimits{});
}

void PlotModel::AddPosition(int value, int motor) {
    Store(PlotSeries::Position, value, motor);
}

void PlotModel::AddVelocity(int value, int motor) {
    Store(PlotSeries::Velocity, Magnitude(value), motor);
}

void PlotModel::AddAcceleration(int value, int motor) {
    Store(PlotSeries::Acceleration, Magnitude(value), motor);
}

void PlotModel::AddTargetVelocity(int value, int motor) {
    Store(PlotSeries::TargetVelocity, Magnitude(value), motor);
}

void PlotModel::Store(PlotSeries series, int value, int motor) {
    if (!ValidMotor(motor)) {
        return;
    }
    PlotSample& sample =
        series_[Index(series)][static_cast<size_t>(sampleCount_)][static_cast<size_t>(motor)];
    sample.value = value;
    sample.row = RowOf(series, value, motor);
}

int32_t PlotModel::RowOf(PlotSeries series, int32_t value, int motor) const {
    const size_t m = static_cast<size_t>(motor);
    double lifted = value;
    if (series == PlotSeries::Position) {
        lifted -= static_cast<double>(limits_[m].PosMin); // PosMin <= 0: adds its magnitude
    }
    const double scaled = std::clamp(lifted * factors_[m][Index(series)], -kRowBound, kRowBound);
    return BaseRow - static_cast<int32_t>(scaled); // the conversion cuts towards zero
}

bool PlotModel::Standing(int column) const {
    const auto& velocities = series_[Index(PlotSeries::Velocity)][static_cast<size_t>(column)];
    return std::all_of(velocities.begin(), velocities.end(),
                       [](const PlotSample& s) { return s.value == 0; });
}

SeriesExtremes PlotModel::ExtremesOf(int motor) const {
    const size_t m = static_cast<size_t>(motor);
    SeriesExtremes e;
    // Every column counts, also those not filled since the last clear (they hold 0).
    for (size_t x = 0; x < kColumns; ++x) {
        e.vmax = std::max<int64_t>(e.vmax, series_[Index(PlotSeries::Velocity)][x][m].value);
        e.amax = std::max<int64_t>(e.amax, series_[Index(PlotSeries::Acceleration)][x][m].value);
        e.tmax = std::max<int64_t>(e.tmax, series_[Index(PlotSeries::TargetVelocity)][x][m].value);
        const int64_t position = series_[Index(PlotSeries::Position)][x][m].value;
        e.pmax = std::max(e.pmax, position);
        e.pmin = std::min(e.pmin, position);
    }
    return e;
}

PlotModel::Advance PlotModel::AdvanceColumn(bool stopWhenStanding) {
    Advance result;
    if (stopWhenStanding && sampleCount_ > 0 && Standing(sampleCount_) &&
        Standing(sampleCount_ - 1)) {
        interval_.Pause();
        return result;
    }
    const uint32_t now = clock_();
    if (sampleCount_ < kLastColumn) {
        ticks_[static_cast<size_t>(sampleCount_)] = now;
        ++sampleCount_;
    } else {
        // Scroll left; the last column keeps its samples until the next pass overwrites them.
        for (Columns& columns : series_) {
            std::copy(columns.begin() + 1, columns.end(), columns.begin());
        }
        std::copy(ticks_.begin() + 1, ticks_.end(), ticks_.begin());
        ticks_[kLastColumn - 1] = now;
    }
    for (int m = 0; m < kMotors; ++m) {
        const SeriesExtremes extremes = ExtremesOf(m);
        if (!LimitsMatch(limits_[static_cast<size_t>(m)], extremes)) {
            limits_[static_cast<size_t>(m)] = LimitsFor(extremes);
            RescaleMotor(m);
            result.rescaled[static_cast<size_t>(m)] = true;
        }
    }
    interval_.Advance(now);
    result.added = true;
    return result;
}

void PlotModel::RescaleMotor(int motor) {
    if (!ValidMotor(motor)) {
        return;
    }
    const size_t m = static_cast<size_t>(motor);
    const ScaleLimits& l = limits_[m];
    Factors& f = factors_[m];
    f[Index(PlotSeries::Velocity)] = FullScale / static_cast<double>(l.VelMax);
    f[Index(PlotSeries::Position)] = FullScale / static_cast<double>(l.PosMax - l.PosMin);
    f[Index(PlotSeries::Acceleration)] = FullScale / static_cast<double>(l.AccMax);
    f[Index(PlotSeries::TargetVelocity)] = FullScale / static_cast<double>(l.TVelMax);
    for (size_t s = 0; s < kSeries; ++s) {
        for (auto& column : series_[s]) {
            column[m].row = RowOf(static_cast<PlotSeries>(s), column[m].value, motor);
        }
    }
}

void PlotModel::Clear() {
    for (Columns& columns : series_) {
        for (auto& column : columns) {
            column.fill(PlotSample{0, BaseRow});
        }
    }
    for (size_t m = 0; m < kMotors; ++m) {
        factors_[m].fill(kClearedMagnitudeFactor);
        factors_[m][Index(PlotSeries::Position)] = kClearedPositionFactor;
        limits_[m].PosMax = 10000;
        limits_[m].PosMin = 0;
        limits_[m].AccMax = 100;
        limits_[m].VelMax = 100;
        // TVelMax keeps its value; the next advance rescales every motor anyway.
    }
    sampleCount_ = 0;
    interval_.Clear();
}

} // namespace vrx
