#pragma once
// PlotModel: the motion history behind the plot window. For each of the three motors it keeps
// four series (velocity, position, acceleration, target velocity) of 481 columns, one column
// per polling pass, each sample with the pixel row where it is drawn. The polling cycle stores
// the samples of a pass into column SampleCount; AdvanceColumn then moves on to the next column
// (scrolling left once the buffer is full), adapts each motor's scales to the extremes of its
// buffer and smooths the time between passes. Fixed buffers: nothing is allocated while
// plotting. Free of the user interface, so its rules are tested alone.

#include "plots/plot_interval.h"
#include "plots/scale_limits.h"
#include "serial/tick_clock.h"

#include <array>
#include <cstdint>

namespace vrx {

struct PlotSample {
    int32_t value = 0;
    int32_t row = 0; // pixel row on the plot surface, counted downwards
};

enum class PlotSeries { Velocity, Position, Acceleration, TargetVelocity };

class PlotModel {
public:
    static constexpr int BaseRow = 431;   // row of a scale's lowest value
    static constexpr int FullScale = 420; // rows from a scale's lowest to its highest value
    static constexpr int kColumns = 481;
    static constexpr int kLastColumn = kColumns - 1;
    static constexpr int kMotors = 3;
    static constexpr int kSeries = 4;

    // What an advance changed, so the window repaints only that.
    struct Advance {
        bool added = false;                   // false while the plot is frozen
        std::array<bool, kMotors> rescaled{}; // the motor's scales changed
    };

    explicit PlotModel(TickClock clock = MonotonicTickCount);

    // Store one sample of the current pass into column SampleCount; the velocities are kept as
    // magnitudes. A motor index outside 0..2 is ignored.
    void AddPosition(int value, int motor);
    void AddVelocity(int value, int motor);
    void AddAcceleration(int value, int motor);
    void AddTargetVelocity(int value, int motor);

    // Once per polling pass, after its samples. With `stopWhenStanding`, a plot whose three
    // motors stood still in the last two columns stays where it is.
    Advance AdvanceColumn(bool stopWhenStanding);
    // New conversion factors from the motor's limits, and every row of the motor again.
    void RescaleMotor(int motor);
    // Every sample 0 at the base row, fixed initial factors, the history empty.
    void Clear();

    int SampleCount() const { return sampleCount_; }
    const PlotSample& Sample(PlotSeries series, int motor, int column) const {
        return series_[Index(series)][static_cast<size_t>(column)][static_cast<size_t>(motor)];
    }
    // The tick of the clock when the pass of a filled column ended.
    uint32_t ColumnTick(int column) const { return ticks_[static_cast<size_t>(column)]; }
    const ScaleLimits& Limits(int motor) const { return limits_[static_cast<size_t>(motor)]; }
    const PlotInterval& Interval() const { return interval_; }

private:
    // Conversion factors from values to rows, one per series.
    using Factors = std::array<double, kSeries>;
    // One series: columns of the three motors' samples, so a column moves as one block.
    using Columns = std::array<std::array<PlotSample, kMotors>, kColumns>;

    static size_t Index(PlotSeries series) { return static_cast<size_t>(series); }
    void Store(PlotSeries series, int value, int motor);
    int32_t RowOf(PlotSeries series, int32_t value, int motor) const;
    bool Standing(int column) const;
    SeriesExtremes ExtremesOf(int motor) const;

    TickClock clock_;
    std::array<Columns, kSeries> series_{};
    std::array<uint32_t, kColumns> ticks_{};
    std::array<ScaleLimits, kMotors> limits_{};
    std::array<Factors, kMotors> factors_{};
    int sampleCount_ = 0;
    PlotInterval interval_;
};

} // namespace vrx
